// DIBs in and out of bitmaps: GetDIBits, SetDIBits and CreateDIBitmap.
//
// The scan lines a call passes are counted in the DIB's own order: from the
// bottom for a bottom-up DIB (line `start` is the bitmap's row height - 1 -
// start), from the top for a top-down one; the buffer holds the lines from
// `start` on. Pixels change format through their colours: each pixel's
// colour, then the nearest pixel of the other format; bits of the same
// format and colours are copied as they are. The DIB's size is the one its
// header gives, so that a program's buffer sized by that header is never
// overrun; rows and columns beyond the bitmap are left alone.
#include <windows.h>

#include <algorithm>
#include <cstring>

#include "gdi32/bitmaps.h"
#include "gdi32/dibformat.h"

namespace {

using w32::gdi::GdiBitmap;
namespace raster = w32::raster;

int Fail(DWORD error) {
    SetLastError(error);
    return 0;
}

// 16 and 32 bits per pixel with all-zero masks mean the default masks.
void MasksOf(const raster::Bitmap& b, ULONG masks[3]) {
    masks[0] = b.redMask, masks[1] = b.greenMask, masks[2] = b.blueMask;
    if (masks[0] || masks[1] || masks[2]) return;
    if (b.format == BMF_16BPP) masks[0] = 0x7C00, masks[1] = 0x03E0, masks[2] = 0x001F;
    if (b.format == BMF_32BPP) masks[0] = 0xFF0000, masks[1] = 0x00FF00, masks[2] = 0x0000FF;
}

bool SamePixels(const raster::Bitmap& a, const raster::Bitmap& b) {
    if (a.format != b.format) return false;
    if (a.format <= BMF_8BPP) return a.colors == b.colors;
    ULONG ma[3], mb[3];
    MasksOf(a, ma);
    MasksOf(b, mb);
    return std::equal(ma, ma + 3, mb);
}

// Copies one row of `width` pixels from `source` row `sy` to `destination` row `dy`.
void CopyRow(const raster::Bitmap& source, LONG sy, const raster::Bitmap& destination, LONG dy, LONG width) {
    if (SamePixels(source, destination)) {
        const size_t bits = size_t(width) * source.BitsPerPixel();
        const size_t whole = bits / 8;
        std::memcpy(destination.Line(dy), source.Line(sy), whole);
        // A last, partial byte keeps the destination's bits beyond the width.
        if (bits % 8) {
            const BYTE keep = BYTE(0xFF >> (bits % 8));
            BYTE& last = destination.Line(dy)[whole];
            last = BYTE((source.Line(sy)[whole] & ~keep) | (last & keep));
        }
        return;
    }
    COLORREF lastColor = CLR_INVALID;
    ULONG lastPixel = 0;
    for (LONG x = 0; x < width; ++x) {
        const COLORREF color = raster::PixelToColor(source, raster::GetPixel(source, x, sy));
        if (color != lastColor) {
            lastColor = color;
            lastPixel = raster::ColorToPixel(destination, color);
        }
        raster::SetPixel(destination, x, dy, lastPixel);
    }
}

// The bitmap row of a DIB scan line.
LONG BitmapRow(LONG scan, bool topDown, LONG bitmapHeight) { return topDown ? scan : bitmapHeight - 1 - scan; }

// The lines of the buffer, line 0 first in memory.
raster::Bitmap BufferLines(const w32::gdi::DibFormat& format, void* bits, LONG lines) {
    raster::Bitmap view = w32::gdi::DibPixels(format, bits);
    view.scan0 = static_cast<BYTE*>(bits);
    view.delta = LONG(format.stride);
    view.height = lines;
    return view;
}

enum class ToBuffer { No, Yes };

// Copies the DIB's scan lines from `start` on, `cLines` of them or as many
// as it has, between the bitmap and the buffer: into the buffer for
// GetDIBits, out of it for SetDIBits. Answers the lines copied; lines
// beyond the bitmap are passed over.
int CopyScanLines(const raster::Bitmap& pixels, const w32::gdi::DibFormat& format, void* bits, UINT start,
                  UINT cLines, ToBuffer direction) {
    if (start >= UINT(format.height)) return 0;
    const LONG lines = LONG(std::min<UINT>(cLines, UINT(format.height) - start));
    const raster::Bitmap buffer = BufferLines(format, bits, lines);
    const LONG width = std::min(format.width, pixels.width);
    LONG copied = 0;
    for (LONG k = 0; k < lines; ++k) {
        const LONG row = BitmapRow(LONG(start) + k, format.topDown, pixels.height);
        if (row < 0 || row >= pixels.height) continue;
        if (direction == ToBuffer::Yes) CopyRow(pixels, row, buffer, k, width);
        else CopyRow(buffer, k, pixels, row, width);
        ++copied;
    }
    return copied;
}

// Fills the colour table (or masks) that follows the header GetDIBits writes.
void WriteColorTable(BITMAPINFO* info, UINT usage, const std::vector<COLORREF>& colors, const DWORD masks[3]) {
    BITMAPINFOHEADER& header = info->bmiHeader;
    BYTE* table = reinterpret_cast<BYTE*>(info) + header.biSize;
    if (header.biBitCount <= 8) {
        for (size_t i = 0; i < colors.size(); ++i) {
            if (usage == DIB_PAL_COLORS) {
                reinterpret_cast<WORD*>(table)[i] = WORD(i);
            } else {
                reinterpret_cast<RGBQUAD*>(table)[i] =
                    RGBQUAD{GetBValue(colors[i]), GetGValue(colors[i]), GetRValue(colors[i]), 0};
            }
        }
    } else if (header.biCompression == BI_BITFIELDS) {
        std::memcpy(reinterpret_cast<BYTE*>(info) + sizeof(BITMAPINFOHEADER), masks, 3 * sizeof(DWORD));
    }
}

}  // namespace

int WINAPI GetDIBits(HDC hdc, HBITMAP hbm, UINT start, UINT cLines, LPVOID lpvBits, LPBITMAPINFO lpbmi, UINT usage) {
    auto dc = w32::gdi::LookupDC(hdc);
    auto bitmap = w32::gdi::LookupGdiObjectAs<GdiBitmap>(hbm);
    if (!dc || !bitmap) return Fail(ERROR_INVALID_HANDLE);
    if (!lpbmi || lpbmi->bmiHeader.biSize < sizeof(BITMAPINFOHEADER) ||
        (usage != DIB_RGB_COLORS && usage != DIB_PAL_COLORS))
        return Fail(ERROR_INVALID_PARAMETER);
    BITMAPINFOHEADER& header = lpbmi->bmiHeader;
    const raster::Bitmap pixels = w32::gdi::BitmapPixels(*bitmap);
    const UINT ownBitCount = pixels.BitsPerPixel();

    if (header.biBitCount == 0) {
        // The bitmap's own format, without a colour table.
        if (lpvBits) return Fail(ERROR_INVALID_PARAMETER);
        header.biWidth = pixels.width;
        header.biHeight = pixels.height;
        header.biPlanes = 1;
        header.biBitCount = WORD(ownBitCount);
        header.biCompression = (pixels.redMask || pixels.greenMask || pixels.blueMask) ? BI_BITFIELDS : BI_RGB;
        header.biSizeImage = DWORD(w32::gdi::DwordAlignedWidthBytes(pixels.width, ownBitCount) * pixels.height);
        header.biXPelsPerMeter = header.biYPelsPerMeter = 0;
        header.biClrUsed = header.biClrImportant = 0;
        return pixels.height;
    }

    if (!lpvBits) {
        // The size of the whole bitmap in the asked format.
        header.biWidth = pixels.width;
        header.biHeight = header.biHeight < 0 ? -pixels.height : pixels.height;
    }
    header.biPlanes = 1;
    const DWORD compression = header.biCompression;
    if (!w32::raster::FormatOfBitCount(header.biBitCount) ||
        !(compression == BI_RGB || (compression == BI_BITFIELDS && (header.biBitCount == 16 || header.biBitCount == 32))))
        return Fail(compression == BI_RLE4 || compression == BI_RLE8 ? ERROR_NOT_SUPPORTED : ERROR_INVALID_PARAMETER);

    // The colour table: the bitmap's own at its own depth, else the default one.
    std::vector<COLORREF> colors;
    if (header.biBitCount <= 8)
        colors = header.biBitCount == ownBitCount ? pixels.colors : w32::gdi::DefaultColorTable(header.biBitCount);
    header.biClrUsed = header.biClrImportant = 0;
    w32::gdi::DibFormat format;
    const int64_t height = header.biHeight < 0 ? -int64_t(header.biHeight) : int64_t(header.biHeight);
    if (header.biWidth <= 0 || height <= 0 || header.biWidth > w32::gdi::kMaxBitmapDimension ||
        height > w32::gdi::kMaxBitmapDimension)
        return Fail(ERROR_INVALID_PARAMETER);
    format.width = header.biWidth;
    format.height = LONG(height);
    format.topDown = header.biHeight < 0;
    format.bitCount = header.biBitCount;
    format.compression = compression;
    format.colors = colors;
    format.stride = size_t(w32::gdi::DwordAlignedWidthBytes(format.width, format.bitCount));
    header.biSizeImage = DWORD(format.stride * size_t(format.height));
    if (compression == BI_BITFIELDS) {
        // The bitmap's masks at its own depth, else 5-6-5 or 8-8-8.
        if (header.biBitCount == ownBitCount) {
            ULONG masks[3];
            MasksOf(pixels, masks);
            std::copy(masks, masks + 3, format.masks);
        } else if (header.biBitCount == 16) {
            format.masks[0] = 0xF800, format.masks[1] = 0x07E0, format.masks[2] = 0x001F;
        } else {
            format.masks[0] = 0xFF0000, format.masks[1] = 0x00FF00, format.masks[2] = 0x0000FF;
        }
    }
    WriteColorTable(lpbmi, usage, colors, format.masks);
    if (!lpvBits) return pixels.height;

    return CopyScanLines(pixels, format, lpvBits, start, cLines, ToBuffer::Yes);
}

int WINAPI SetDIBits(HDC hdc, HBITMAP hbm, UINT start, UINT cLines, const VOID* lpBits, const BITMAPINFO* lpbmi,
                     UINT ColorUse) {
    std::shared_ptr<w32::gdi::DeviceContext> dc;
    if (hdc && !(dc = w32::gdi::LookupDC(hdc))) return Fail(ERROR_INVALID_HANDLE);
    auto bitmap = w32::gdi::LookupGdiObjectAs<GdiBitmap>(hbm);
    if (!bitmap) return Fail(ERROR_INVALID_HANDLE);
    if (!lpBits) return Fail(ERROR_INVALID_PARAMETER);
    w32::gdi::DibFormat format;
    if (!w32::gdi::ReadDibFormat(lpbmi, ColorUse, dc.get(), format)) return 0;
    // The shared stock bitmap stays as it is.
    if (bitmap->stock) return 0;
    return CopyScanLines(w32::gdi::BitmapPixels(*bitmap), format, const_cast<VOID*>(lpBits), start, cLines,
                         ToBuffer::No);
}

// With no DC the bitmap is monochrome, as on Windows; else compatible with the DC.
HBITMAP WINAPI CreateDIBitmap(HDC hdc, const BITMAPINFOHEADER* pbmih, DWORD flInit, const VOID* pjBits,
                              const BITMAPINFO* pbmi, UINT iUsage) {
    std::shared_ptr<w32::gdi::DeviceContext> dc;
    if (hdc && !(dc = w32::gdi::LookupDC(hdc))) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    if (!pbmih || pbmih->biSize < sizeof(BITMAPINFOHEADER) || pbmih->biWidth < 0 ||
        pbmih->biHeight < -w32::gdi::kMaxBitmapDimension) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    const LONG width = pbmih->biWidth;
    const LONG height = pbmih->biHeight < 0 ? -pbmih->biHeight : pbmih->biHeight;
    HBITMAP made = dc ? w32::gdi::MakeCompatibleBitmap(*dc, width, height) : CreateBitmap(width, height, 1, 1, nullptr);
    if (!made || !(flInit & CBM_INIT) || w32::gdi::IsStockObject(made)) return made;
    if (!pjBits || !pbmi || !SetDIBits(hdc, made, 0, UINT(height), pjBits, pbmi, iUsage)) {
        const DWORD error = pjBits && pbmi ? GetLastError() : DWORD(ERROR_INVALID_PARAMETER);
        DeleteObject(made);
        SetLastError(error);
        return nullptr;
    }
    return made;
}
