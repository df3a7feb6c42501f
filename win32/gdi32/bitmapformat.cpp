// Bitmap formats, scan-line sizes and the default colours of bitmaps, and
// the making of bitmap objects over engine bitmaps.
#include <windows.h>

#include <cstring>

#include "gdi32/bitmaps.h"
#include "gdi32/stockobjects.h"
#include "win32k/drawing.h"

namespace w32::gdi {

int64_t WordAlignedWidthBytes(int64_t width, UINT bitCount) { return (width * bitCount + 15) / 16 * 2; }

int64_t DwordAlignedWidthBytes(int64_t width, UINT bitCount) { return (width * bitCount + 31) / 32 * 4; }

std::vector<COLORREF> DefaultColorTable(UINT bitCount) {
    auto color = [](const PALETTEENTRY& e) { return RGB(e.peRed, e.peGreen, e.peBlue); };
    const auto system = SystemPaletteEntries();
    switch (bitCount) {
        case 1: return {RGB(0, 0, 0), RGB(255, 255, 255)};
        case 4:
            return {RGB(0, 0, 0),       RGB(128, 0, 0),   RGB(0, 128, 0),   RGB(128, 128, 0),
                    RGB(0, 0, 128),     RGB(128, 0, 128), RGB(0, 128, 128), RGB(192, 192, 192),
                    RGB(128, 128, 128), RGB(255, 0, 0),   RGB(0, 255, 0),   RGB(255, 255, 0),
                    RGB(0, 0, 255),     RGB(255, 0, 255), RGB(0, 255, 255), RGB(255, 255, 255)};
        case 8: {
            std::vector<COLORREF> table;
            for (size_t i = 0; i < 10; ++i) table.push_back(color(system[i]));
            for (int r = 0; r < 6; ++r)
                for (int g = 0; g < 6; ++g)
                    for (int b = 0; b < 6; ++b) table.push_back(RGB(r * 51, g * 51, b * 51));
            // 20 greys between the cube's own, 11 apart.
            for (int i = 1; i <= 20; ++i) table.push_back(RGB(i * 12, i * 12, i * 12));
            for (size_t i = 10; i < 20; ++i) table.push_back(color(system[i]));
            return table;
        }
        default: return {};
    }
}

std::shared_ptr<EnginePalette> DefaultBitmapPalette(UINT bitCount) {
    auto palette = std::make_shared<EnginePalette>();
    switch (bitCount) {
        case 1:
        case 4:
        case 8:
            palette->mode = PAL_INDEXED;
            palette->colors = DefaultColorTable(bitCount);
            return palette;
        case 16:
            palette->mode = PAL_BITFIELDS;
            palette->redMask = 0x7C00, palette->greenMask = 0x03E0, palette->blueMask = 0x001F;
            return palette;
        case 32:
            palette->mode = PAL_BITFIELDS;
            palette->redMask = 0xFF0000, palette->greenMask = 0x00FF00, palette->blueMask = 0x0000FF;
            return palette;
        default: return nullptr;  // 24 bits: blue, green, red bytes
    }
}

std::shared_ptr<GdiBitmap> NewBitmap(LONG width, LONG height, UINT bitCount, bool dibSection, bool topDown,
                                     std::shared_ptr<EnginePalette> palette) {
    const ULONG format = raster::FormatOfBitCount(bitCount);
    if (!format || width <= 0 || height <= 0 || width > kMaxBitmapDimension || height > kMaxBitmapDimension) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    const int64_t stride = dibSection ? DwordAlignedWidthBytes(width, bitCount) : WordAlignedWidthBytes(width, bitCount);
    if (stride * height > 0x7FFFFFFF) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    const FLONG layout = !dibSection || topDown ? BMF_TOPDOWN : 0;
    HBITMAP engineBitmap = EngCreateBitmap(SIZEL{width, height}, LONG(stride), format, layout, nullptr);
    if (!engineBitmap) return nullptr;
    auto bitmap = std::make_shared<GdiBitmap>();
    bitmap->surface = LookupSurface(reinterpret_cast<HSURF>(engineBitmap));
    bitmap->surface->palette = std::move(palette);
    bitmap->dibSection = dibSection;
    return bitmap;
}

BITMAP BitmapRecord(const GdiBitmap& bitmap) {
    const SURFOBJ& so = bitmap.surface->so;
    BITMAP record{};
    record.bmType = 0;
    record.bmWidth = so.sizlBitmap.cx;
    record.bmHeight = so.sizlBitmap.cy;
    record.bmWidthBytes = so.lDelta < 0 ? -so.lDelta : so.lDelta;
    record.bmPlanes = 1;
    record.bmBitsPixel = WORD(raster::BitsPerPixelOfFormat(so.iBitmapFormat));
    record.bmBits = bitmap.dibSection ? so.pvBits : nullptr;
    return record;
}

raster::Bitmap BitmapPixels(const GdiBitmap& bitmap) {
    raster::Bitmap pixels;
    SurfaceBitmap(*bitmap.surface, pixels);
    return pixels;
}

HBITMAP MakeCompatibleBitmap(const DeviceContext& dc, int width, int height) {
    if (width == 0 || height == 0) return StockBitmap();
    if (width < 0 || height < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    UINT bitCount = 32;
    std::shared_ptr<EnginePalette> palette;
    if (dc.memory) {
        // The format of the bitmap the memory DC holds, colours included.
        auto held = LookupGdiObjectAs<GdiBitmap>(dc.state.bitmap);
        if (held && held->surface) {
            bitCount = raster::BitsPerPixelOfFormat(held->surface->so.iBitmapFormat);
            if (held->surface->palette) palette = std::make_shared<EnginePalette>(*held->surface->palette);
        }
    }
    if (!palette) palette = DefaultBitmapPalette(bitCount);
    auto bitmap = NewBitmap(width, height, bitCount, false, true, std::move(palette));
    return bitmap ? static_cast<HBITMAP>(InsertGdiObject(bitmap)) : nullptr;
}

}  // namespace w32::gdi
