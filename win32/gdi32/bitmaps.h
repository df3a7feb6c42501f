// What the bitmap functions share: formats, scan-line sizes, the colours
// of device-dependent bitmaps, and the making of a bitmap object with its
// engine surface.
#pragma once
#include <windows.h>
#include <winddi.h>

#include <memory>
#include <vector>

#include "gdi32/dc.h"
#include "gdi32/objects.h"
#include "win32k/rasterbitmap.h"

namespace w32::gdi {

// A width or height above this is refused (ERROR_INVALID_PARAMETER); a
// bitmap of more than 2^31 - 1 bytes cannot be made (ERROR_NOT_ENOUGH_MEMORY).
inline constexpr LONG kMaxBitmapDimension = 65535;

// Bytes of a scan line: device-dependent bitmaps use whole 16-bit words,
// DIBs whole 32-bit words. 64-bit so that no width overflows.
int64_t WordAlignedWidthBytes(int64_t width, UINT bitCount);
int64_t DwordAlignedWidthBytes(int64_t width, UINT bitCount);

// The colour table a device-dependent bitmap, or a DIB GDI fills in, has at
// 1, 4 and 8 bits per pixel: black and white; the 16 VGA colours; the 20
// system colours around a 6x6x6 colour cube and a grey ramp.
std::vector<COLORREF> DefaultColorTable(UINT bitCount);
// The palette of a device-dependent bitmap: that colour table, 5-5-5
// masks at 16 bits, none at 24, 8-8-8 masks at 32.
std::shared_ptr<EnginePalette> DefaultBitmapPalette(UINT bitCount);

// A new bitmap object with zeroed pixels: top-down rows of whole words for
// a device-dependent bitmap; rows of whole 32-bit words for a DIB section,
// stored bottom-up unless `topDown`. Null with the last error set when the
// size is out of range.
std::shared_ptr<GdiBitmap> NewBitmap(LONG width, LONG height, UINT bitCount, bool dibSection, bool topDown,
                                     std::shared_ptr<EnginePalette> palette);
// The bitmap object GetObjectW describes; its bits pointer only for a DIB section.
BITMAP BitmapRecord(const GdiBitmap& bitmap);
// The pixels of a bitmap object with their colours.
raster::Bitmap BitmapPixels(const GdiBitmap& bitmap);
// A bitmap compatible with the DC (CreateCompatibleBitmap): the format of
// the bitmap a memory DC holds, 32 bits per pixel for a printer DC.
HBITMAP MakeCompatibleBitmap(const DeviceContext& dc, int width, int height);

}  // namespace w32::gdi
