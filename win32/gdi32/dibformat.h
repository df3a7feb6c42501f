// The format of a DIB a program passes (BITMAPINFO and its colour table or
// masks), read and checked once for CreateDIBSection, CreateDIBitmap,
// SetDIBits and GetDIBits.
#pragma once
#include <windows.h>

#include <memory>
#include <vector>

#include "gdi32/dc.h"
#include "win32k/engobj.h"
#include "win32k/rasterbitmap.h"

namespace w32::gdi {

struct DibFormat {
    LONG width = 0;
    LONG height = 0;  // always positive; see topDown
    bool topDown = false;
    UINT bitCount = 0;
    DWORD compression = BI_RGB;  // BI_RGB or BI_BITFIELDS
    DWORD masks[3] = {};         // BI_BITFIELDS: red, green, blue
    std::vector<COLORREF> colors;  // the colour table at 1, 4 and 8 bits per pixel
    size_t stride = 0;             // bytes of a scan line, whole 32-bit words
    size_t imageBytes = 0;         // stride * height
};

// Reads a DIB header: BITMAPINFOHEADER or a later, longer header, with its
// colour table (RGBQUADs, or with DIB_PAL_COLORS indices into the DC's
// palette) or masks. False with ERROR_INVALID_PARAMETER for a header that
// lies (size, planes, bit count, compression, dimensions, colour count),
// ERROR_NOT_SUPPORTED for compressed bits.
bool ReadDibFormat(const BITMAPINFO* info, UINT usage, const DeviceContext* dc, DibFormat& out);

// The engine palette of bits in that format; null at 24 bits per pixel.
std::shared_ptr<EnginePalette> DibPalette(const DibFormat& format);
// The pixels of a DIB in that format at `bits`.
raster::Bitmap DibPixels(const DibFormat& format, void* bits);

}  // namespace w32::gdi
