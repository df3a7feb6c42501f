// Single pixels: SetPixel, SetPixelV and GetPixel.
//
// SetPixel paints one device pixel in the colour, whatever the ROP2, and
// answers the colour the pixel took: on a memory DC the nearest its bitmap
// can hold, on a printer the colour asked for. A pixel outside the clip or
// the surface is not painted: CLR_INVALID. GetPixel reads a memory DC's
// bitmap; a printer's pixels stay with its driver (CLR_INVALID).
#include <windows.h>

#include "gdi32/drawcall.h"
#include "win32k/raster.h"

namespace w32::gdi {

namespace {

// The raster view of a memory DC's bitmap or a window DC's surface; false
// for any other DC.
bool MemoryBitmap(const DeviceContext& dc, raster::Bitmap& out) {
    auto bitmap = TargetBitmap(dc);
    return bitmap && bitmap->surface && SurfaceBitmap(*bitmap->surface, out);
}

// The device pixel of a logical point, when drawing can reach it.
bool VisiblePixel(const DeviceContext& dc, int x, int y, POINT& device) {
    return ToDevicePoint(dc, x, y, device) && VisibleRegion(dc).Contains(device.x, device.y);
}

COLORREF PaintPixel(HDC hdc, int x, int y, COLORREF color) {
    auto dc = LockDrawingDC(hdc);
    if (!dc) return CLR_INVALID;
    POINT device;
    if (!VisiblePixel(*dc, x, y, device)) return CLR_INVALID;
    EngineBrush brush;
    brush.style = BS_SOLID;
    brush.color = color;
    if (!PaintDeviceRegion(*dc, Region(RECTL{device.x, device.y, device.x + 1, device.y + 1}), brush,
                           MixOf(R2_COPYPEN)))
        return CLR_INVALID;
    raster::Bitmap bitmap;
    if (MemoryBitmap(*dc, bitmap))
        return raster::PixelToColor(bitmap, raster::GetPixel(bitmap, device.x, device.y));
    return color;
}

}  // namespace

}  // namespace w32::gdi

using namespace w32::gdi;

COLORREF WINAPI SetPixel(HDC hdc, int x, int y, COLORREF color) { return PaintPixel(hdc, x, y, color); }

BOOL WINAPI SetPixelV(HDC hdc, int x, int y, COLORREF color) { return PaintPixel(hdc, x, y, color) != CLR_INVALID; }

COLORREF WINAPI GetPixel(HDC hdc, int x, int y) {
    auto dc = LockDrawingDC(hdc);
    if (!dc) return CLR_INVALID;
    w32::raster::Bitmap bitmap;
    POINT device;
    if (!MemoryBitmap(*dc, bitmap) || !VisiblePixel(*dc, x, y, device)) return CLR_INVALID;
    return w32::raster::PixelToColor(bitmap, w32::raster::GetPixel(bitmap, device.x, device.y));
}
