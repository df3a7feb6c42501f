// Engine bitmaps from the DIBs programs pass (StretchDIBits, SetDIBits,
// CreateDIBSection, pattern brushes), and the raster view and PNG copy of
// an engine bitmap.
//
// A DIB header is checked before anything is read through it: a
// BITMAPINFOHEADER or larger (biSize at least 40; the old 12-byte core
// header is refused), one plane, 1, 4, 8, 16, 24 or 32 bits per pixel,
// BI_RGB or BI_BITFIELDS (16 and 32 bits only, with three non-zero masks
// that do not overlap), no more colours than the bits can index, a width
// above 0, a height other than 0, and rows times height within 2^31 bytes.
// Compressed DIBs (RLE, JPEG, PNG) fail with ERROR_NOT_SUPPORTED, anything
// else with ERROR_INVALID_PARAMETER. The pixels are copied top row first.
#include <cstring>

#include "win32k/ddiobj.h"

namespace w32 {

namespace {

std::shared_ptr<EngineSurface> Refuse(DWORD error) {
    SetLastError(error);
    return nullptr;
}

}  // namespace

std::shared_ptr<EngineSurface> SurfaceFromDib(const BITMAPINFO* info, const void* bits, UINT usage,
                                              std::span<const PALETTEENTRY> dcPalette) {
    if (!info || !bits || (usage != DIB_RGB_COLORS && usage != DIB_PAL_COLORS)) return Refuse(ERROR_INVALID_PARAMETER);
    const BITMAPINFOHEADER& header = info->bmiHeader;
    if (header.biSize < sizeof(BITMAPINFOHEADER) || header.biPlanes != 1) return Refuse(ERROR_INVALID_PARAMETER);
    // A JPEG or PNG image says 0 bits per pixel: refused for what it is.
    if (header.biCompression == BI_JPEG || header.biCompression == BI_PNG) return Refuse(ERROR_NOT_SUPPORTED);
    const ULONG format = raster::FormatOfBitCount(header.biBitCount);
    if (!format) return Refuse(ERROR_INVALID_PARAMETER);
    switch (header.biCompression) {
        case BI_RGB: break;
        case BI_BITFIELDS:
            if (header.biBitCount != 16 && header.biBitCount != 32) return Refuse(ERROR_INVALID_PARAMETER);
            break;
        case BI_RLE8:
        case BI_RLE4:
        case BI_JPEG:
        case BI_PNG: return Refuse(ERROR_NOT_SUPPORTED);
        default: return Refuse(ERROR_INVALID_PARAMETER);
    }
    if (header.biWidth <= 0 || header.biHeight == 0 || header.biHeight == LONG(0x80000000))
        return Refuse(ERROR_INVALID_PARAMETER);
    const bool indexed = header.biBitCount <= 8;
    if (indexed && header.biClrUsed > (1u << header.biBitCount)) return Refuse(ERROR_INVALID_PARAMETER);
    const LONG height = header.biHeight < 0 ? -header.biHeight : header.biHeight;
    const uint64_t stride = (uint64_t(header.biWidth) * header.biBitCount + 31) / 32 * 4;
    if (stride * uint64_t(height) > 0x80000000ull) return Refuse(ERROR_INVALID_PARAMETER);

    auto palette = std::make_shared<EnginePalette>();
    const BYTE* table = reinterpret_cast<const BYTE*>(info) + header.biSize;
    if (indexed) {
        const ULONG count = header.biClrUsed ? header.biClrUsed : 1u << header.biBitCount;
        palette->mode = PAL_INDEXED;
        palette->colors.reserve(count);
        for (ULONG i = 0; i < count; ++i) {
            if (usage == DIB_PAL_COLORS) {
                WORD index;
                std::memcpy(&index, table + i * sizeof(WORD), sizeof(index));
                const PALETTEENTRY entry = index < dcPalette.size() ? dcPalette[index] : PALETTEENTRY{};
                palette->colors.push_back(RGB(entry.peRed, entry.peGreen, entry.peBlue));
            } else {
                RGBQUAD quad;
                std::memcpy(&quad, table + i * sizeof(RGBQUAD), sizeof(quad));
                palette->colors.push_back(RGB(quad.rgbRed, quad.rgbGreen, quad.rgbBlue));
            }
        }
    } else if (header.biCompression == BI_BITFIELDS) {
        // The masks follow a 40-byte header, and sit inside a larger one.
        const BYTE* masks = reinterpret_cast<const BYTE*>(info) + sizeof(BITMAPINFOHEADER);
        DWORD m[3];
        std::memcpy(m, masks, sizeof(m));
        if (!m[0] || !m[1] || !m[2] || (m[0] & m[1]) || (m[0] & m[2]) || (m[1] & m[2]))
            return Refuse(ERROR_INVALID_PARAMETER);
        if (header.biBitCount == 16 && ((m[0] | m[1] | m[2]) & 0xFFFF0000u)) return Refuse(ERROR_INVALID_PARAMETER);
        palette->mode = PAL_BITFIELDS;
        palette->redMask = m[0], palette->greenMask = m[1], palette->blueMask = m[2];
    } else if (header.biBitCount == 16) {
        palette->mode = PAL_BITFIELDS;
        palette->redMask = 0x7C00, palette->greenMask = 0x03E0, palette->blueMask = 0x001F;
    } else {
        palette->mode = PAL_BGR;
    }

    auto surface = std::make_shared<EngineSurface>();
    if (!surface->memory.Allocate(size_t(stride * uint64_t(height)))) return Refuse(ERROR_NOT_ENOUGH_MEMORY);
    const BYTE* from = static_cast<const BYTE*>(bits);
    const bool bottomUp = header.biHeight > 0;
    for (LONG y = 0; y < height; ++y)
        std::memcpy(surface->memory.data() + size_t(y) * stride,
                    from + size_t(bottomUp ? height - 1 - y : y) * stride, size_t(stride));
    SURFOBJ& so = surface->so;
    so.sizlBitmap = SIZEL{header.biWidth, height};
    so.cjBits = ULONG(surface->memory.size());
    so.pvBits = so.pvScan0 = surface->memory.data();
    so.lDelta = LONG(stride);
    so.iBitmapFormat = format;
    so.iType = STYPE_BITMAP;
    so.fjBitmap = BMF_TOPDOWN;
    surface->palette = std::move(palette);
    return surface;
}

bool SurfaceBitmap(const EngineSurface& surface, raster::Bitmap& out) {
    return BitmapOfSurface(surface.so, ColorsOfSurface(surface, nullptr), out);
}

bool SaveSurfacePng(const EngineSurface& surface, const char* path, bool alpha) {
    raster::Bitmap bitmap;
    if (!SurfaceBitmap(surface, bitmap)) {
        SetLastError(surface.so.iType == STYPE_BITMAP ? ERROR_INVALID_PARAMETER : ERROR_NOT_SUPPORTED);
        return false;
    }
    return raster::SaveBitmapPng(bitmap, path, alpha);
}

}  // namespace w32
