// Brushes: CreateSolidBrush, CreateHatchBrush, CreatePatternBrush,
// CreateDIBPatternBrushPt and CreateBrushIndirect. Each brush object holds
// an engine brush with an id of its own, for the life of the brush.
//
// A pattern brush keeps a copy of the bitmap it was made from, so that the
// program may delete or change the bitmap afterwards; a monochrome pattern
// takes the DC's text and background colours when painted. A DIB pattern
// (BS_DIBPATTERNPT) is read once into an engine bitmap; GetObjectW reports
// it as BS_DIBPATTERN, as Windows does.
#include <windows.h>

#include <atomic>
#include <cstring>

#include "gdi32/brushes.h"
#include "gdi32/objects.h"

namespace w32::gdi {

std::shared_ptr<EngineBrush> MakeEngineBrush(UINT style, COLORREF color, ULONG hatch,
                                             std::shared_ptr<EngineSurface> pattern) {
    static std::atomic<uint64_t> lastId{0};
    auto brush = std::make_shared<EngineBrush>();
    brush->style = style;
    brush->color = color;
    brush->hatch = hatch;
    brush->pattern = std::move(pattern);
    brush->id = ++lastId;
    return brush;
}

namespace {

HBRUSH InsertBrush(const LOGBRUSH& logBrush, std::shared_ptr<EngineSurface> pattern = nullptr) {
    auto brush = std::make_shared<GdiBrush>();
    brush->logBrush = logBrush;
    const UINT engineStyle = logBrush.lbStyle == BS_DIBPATTERNPT ? UINT(BS_DIBPATTERN) : logBrush.lbStyle;
    brush->engine = MakeEngineBrush(engineStyle, logBrush.lbColor & 0x00FFFFFF, ULONG(logBrush.lbHatch),
                                    std::move(pattern));
    if (brush->logBrush.lbStyle == BS_DIBPATTERNPT) brush->logBrush.lbStyle = BS_DIBPATTERN;
    return static_cast<HBRUSH>(InsertGdiObject(brush));
}

// A copy of an engine bitmap, pixels and, when `withPalette`, palette.
std::shared_ptr<EngineSurface> CopySurface(const EngineSurface& source, bool withPalette) {
    const SURFOBJ& so = source.so;
    const LONG stride = so.lDelta < 0 ? -so.lDelta : so.lDelta;
    HBITMAP copy = EngCreateBitmap(so.sizlBitmap, stride, so.iBitmapFormat, BMF_TOPDOWN, nullptr);
    auto surface = LookupSurface(reinterpret_cast<HSURF>(copy));
    if (!surface) return nullptr;
    // The copy is the brush's alone: it need not stay in the engine's table.
    RemoveEngineObject(copy, EngineObjectType::Surface);
    for (LONG y = 0; y < so.sizlBitmap.cy; ++y)
        std::memcpy(static_cast<BYTE*>(surface->so.pvScan0) + intptr_t(y) * stride,
                    static_cast<const BYTE*>(so.pvScan0) + intptr_t(y) * so.lDelta, size_t(stride));
    if (withPalette && source.palette) surface->palette = std::make_shared<EnginePalette>(*source.palette);
    return surface;
}

}  // namespace

}  // namespace w32::gdi

using w32::gdi::InsertBrush;

HBRUSH WINAPI CreateSolidBrush(COLORREF color) { return InsertBrush(LOGBRUSH{BS_SOLID, color, 0}); }

HBRUSH WINAPI CreateHatchBrush(int iHatch, COLORREF color) {
    if (iHatch < HS_HORIZONTAL || iHatch > HS_DIAGCROSS) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return InsertBrush(LOGBRUSH{BS_HATCHED, color, ULONG_PTR(iHatch)});
}

HBRUSH WINAPI CreatePatternBrush(HBITMAP hbm) {
    auto bitmap = w32::gdi::LookupGdiObjectAs<w32::gdi::GdiBitmap>(hbm);
    if (!bitmap || !bitmap->surface) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    // A monochrome device-dependent bitmap has no colours of its own: without
    // a palette, the engine paints it in the DC's text and background colours.
    const bool monochrome = bitmap->surface->so.iBitmapFormat == BMF_1BPP && !bitmap->dibSection;
    auto pattern = w32::gdi::CopySurface(*bitmap->surface, !monochrome);
    if (!pattern) return nullptr;
    // GetObjectW gives the bitmap's handle in lbHatch, as Windows does.
    return InsertBrush(LOGBRUSH{BS_PATTERN, 0, ULONG_PTR(hbm)}, std::move(pattern));
}

HBRUSH WINAPI CreateDIBPatternBrushPt(const VOID* lpPackedDIB, UINT iUsage) {
    if (!lpPackedDIB || (iUsage != DIB_RGB_COLORS && iUsage != DIB_PAL_COLORS)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    // The pixels follow the header and its colour table or masks.
    const auto* info = static_cast<const BITMAPINFO*>(lpPackedDIB);
    const BITMAPINFOHEADER& header = info->bmiHeader;
    if (header.biSize < sizeof(BITMAPINFOHEADER) || header.biSize > 4096 || header.biBitCount > 32) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    size_t colorCount = header.biClrUsed;
    if (header.biBitCount <= 8 && !colorCount) colorCount = size_t(1) << header.biBitCount;
    if (colorCount > 256) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    const size_t entrySize = iUsage == DIB_PAL_COLORS ? sizeof(WORD) : sizeof(RGBQUAD);
    size_t tableBytes = colorCount * entrySize;
    if (header.biCompression == BI_BITFIELDS && header.biSize == sizeof(BITMAPINFOHEADER)) tableBytes += 3 * sizeof(DWORD);
    const BYTE* bits = static_cast<const BYTE*>(lpPackedDIB) + header.biSize + tableBytes;
    auto pattern = w32::SurfaceFromDib(info, bits, iUsage);
    if (!pattern) return nullptr;
    return InsertBrush(LOGBRUSH{BS_DIBPATTERNPT, iUsage, ULONG_PTR(lpPackedDIB)}, std::move(pattern));
}

HBRUSH WINAPI CreateBrushIndirect(const LOGBRUSH* plbrush) {
    if (!plbrush) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    switch (plbrush->lbStyle) {
        case BS_SOLID: return CreateSolidBrush(plbrush->lbColor);
        case BS_NULL: return InsertBrush(LOGBRUSH{BS_NULL, 0, 0});
        case BS_HATCHED: return CreateHatchBrush(int(plbrush->lbHatch), plbrush->lbColor);
        case BS_PATTERN:
        case BS_PATTERN8X8: return CreatePatternBrush(reinterpret_cast<HBITMAP>(plbrush->lbHatch));
        case BS_DIBPATTERNPT:
        case BS_DIBPATTERN8X8:
            return CreateDIBPatternBrushPt(reinterpret_cast<const VOID*>(plbrush->lbHatch), plbrush->lbColor);
        case BS_DIBPATTERN:
            // lbHatch is a global memory handle holding the packed DIB; the layer's
            // global handles are not such memory.
            SetLastError(ERROR_NOT_SUPPORTED);
            return nullptr;
        default: SetLastError(ERROR_INVALID_PARAMETER); return nullptr;
    }
}
