// Reading and checking the headers of DIBs programs pass.
#include "gdi32/dibformat.h"

#include <winddi.h>

#include "gdi32/bitmaps.h"
#include "gdi32/objects.h"

namespace w32::gdi {

namespace {

// The header sizes Windows knows: BITMAPINFOHEADER, the two sizes of
// BITMAPV2/V3INFOHEADER, BITMAPV4HEADER and BITMAPV5HEADER.
bool KnownHeaderSize(DWORD size) { return size == 40 || size == 52 || size == 56 || size == 108 || size == 124; }

bool Fail(DWORD error) {
    SetLastError(error);
    return false;
}

}  // namespace

bool ReadDibFormat(const BITMAPINFO* info, UINT usage, const DeviceContext* dc, DibFormat& out) {
    if (!info || (usage != DIB_RGB_COLORS && usage != DIB_PAL_COLORS)) return Fail(ERROR_INVALID_PARAMETER);
    const BITMAPINFOHEADER& header = info->bmiHeader;
    if (!KnownHeaderSize(header.biSize) || header.biPlanes != 1 || !raster::FormatOfBitCount(header.biBitCount))
        return Fail(ERROR_INVALID_PARAMETER);
    if (header.biCompression == BI_RLE4 || header.biCompression == BI_RLE8 || header.biCompression == BI_JPEG ||
        header.biCompression == BI_PNG)
        return Fail(ERROR_NOT_SUPPORTED);
    if (header.biCompression != BI_RGB &&
        !(header.biCompression == BI_BITFIELDS && (header.biBitCount == 16 || header.biBitCount == 32)))
        return Fail(ERROR_INVALID_PARAMETER);
    const int64_t height = header.biHeight < 0 ? -int64_t(header.biHeight) : int64_t(header.biHeight);
    if (header.biWidth <= 0 || height == 0 || header.biWidth > kMaxBitmapDimension || height > kMaxBitmapDimension)
        return Fail(ERROR_INVALID_PARAMETER);
    const DWORD tableLimit = header.biBitCount <= 8 ? (1u << header.biBitCount) : 256u;
    if (header.biClrUsed > tableLimit) return Fail(ERROR_INVALID_PARAMETER);

    out = DibFormat{};
    out.width = header.biWidth;
    out.height = LONG(height);
    out.topDown = header.biHeight < 0;
    out.bitCount = header.biBitCount;
    out.compression = header.biCompression;
    out.stride = size_t(DwordAlignedWidthBytes(header.biWidth, header.biBitCount));
    out.imageBytes = out.stride * size_t(height);
    // The masks follow a BITMAPINFOHEADER and sit at the same place inside the longer headers.
    const BYTE* afterBase = reinterpret_cast<const BYTE*>(info) + sizeof(BITMAPINFOHEADER);
    if (out.compression == BI_BITFIELDS) {
        const auto* masks = reinterpret_cast<const DWORD*>(afterBase);
        for (int i = 0; i < 3; ++i) out.masks[i] = masks[i];
        if (!out.masks[0] || !out.masks[1] || !out.masks[2]) return Fail(ERROR_INVALID_PARAMETER);
    }
    if (out.bitCount <= 8) {
        const size_t count = header.biClrUsed ? header.biClrUsed : tableLimit;
        const BYTE* table = reinterpret_cast<const BYTE*>(info) + header.biSize;
        if (usage == DIB_RGB_COLORS) {
            const auto* quads = reinterpret_cast<const RGBQUAD*>(table);
            for (size_t i = 0; i < count; ++i) out.colors.push_back(RGB(quads[i].rgbRed, quads[i].rgbGreen, quads[i].rgbBlue));
        } else {
            // Indices into the palette of the DC.
            auto palette = dc ? LookupGdiObjectAs<GdiPalette>(dc->state.palette) : nullptr;
            if (!palette || palette->entries.empty()) return Fail(ERROR_INVALID_PARAMETER);
            const auto* indices = reinterpret_cast<const WORD*>(table);
            for (size_t i = 0; i < count; ++i) {
                const PALETTEENTRY& e = palette->entries[indices[i] % palette->entries.size()];
                out.colors.push_back(RGB(e.peRed, e.peGreen, e.peBlue));
            }
        }
        // Pixels past a short table read as its first colour.
        out.colors.resize(tableLimit, out.colors.empty() ? 0 : out.colors[0]);
    }
    return true;
}

std::shared_ptr<EnginePalette> DibPalette(const DibFormat& format) {
    auto palette = std::make_shared<EnginePalette>();
    if (format.bitCount <= 8) {
        palette->mode = PAL_INDEXED;
        palette->colors = format.colors;
    } else if (format.compression == BI_BITFIELDS) {
        palette->mode = PAL_BITFIELDS;
        palette->redMask = format.masks[0], palette->greenMask = format.masks[1], palette->blueMask = format.masks[2];
    } else if (format.bitCount != 24) {
        palette = DefaultBitmapPalette(format.bitCount);
    } else {
        return nullptr;
    }
    return palette;
}

raster::Bitmap DibPixels(const DibFormat& format, void* bits) {
    raster::Bitmap pixels;
    BYTE* base = static_cast<BYTE*>(bits);
    pixels.width = format.width;
    pixels.height = format.height;
    pixels.delta = format.topDown ? LONG(format.stride) : -LONG(format.stride);
    pixels.scan0 = format.topDown ? base : base + format.stride * size_t(format.height - 1);
    pixels.format = raster::FormatOfBitCount(format.bitCount);
    pixels.colors = format.colors;
    if (format.compression == BI_BITFIELDS) {
        pixels.redMask = format.masks[0], pixels.greenMask = format.masks[1], pixels.blueMask = format.masks[2];
    }
    return pixels;
}

}  // namespace w32::gdi
