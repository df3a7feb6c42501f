// Rectangles painted with a brush: FillRect, FrameRect and InvertRect.
//
// A rectangle covers its left column and top row, not its right column
// and bottom row (FillRect(0, 0, 4, 4) paints pixels 0 to 3); the corners
// may come in either order. FillRect and FrameRect paint with the brush
// given, not the DC's, and ignore the ROP2. Windows also takes a system
// colour index plus one for the brush; without user32's system colours in
// this layer only real brushes are taken (else ERROR_INVALID_HANDLE).
#include <windows.h>

#include <algorithm>
#include <cmath>

#include "gdi32/drawcall.h"

namespace w32::gdi {

namespace {

std::optional<Region> DeviceRect(const DeviceContext& dc, const RECT& rect) {
    const RECTL ordered{std::min(rect.left, rect.right), std::min(rect.top, rect.bottom),
                        std::max(rect.left, rect.right), std::max(rect.top, rect.bottom)};
    return LogicalRegionToDevice(dc, Region(ordered));
}

}  // namespace

}  // namespace w32::gdi

using namespace w32::gdi;

int WINAPI FillRect(HDC hDC, const RECT* lprc, HBRUSH hbr) {
    auto dc = LockDrawingDC(hDC);
    if (!dc) return 0;
    if (!lprc) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    auto brush = LookupBrush(hbr);
    if (!brush) return 0;
    const auto rect = DeviceRect(*dc, *lprc);
    return rect && PaintDeviceRegion(*dc, *rect, *brush, MixOf(R2_COPYPEN)) ? 1 : 0;
}

// A border one logical unit wide inside the rectangle.
int WINAPI FrameRect(HDC hDC, const RECT* lprc, HBRUSH hbr) {
    auto dc = LockDrawingDC(hDC);
    if (!dc) return 0;
    if (!lprc) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    auto brush = LookupBrush(hbr);
    if (!brush) return 0;
    const auto rect = DeviceRect(*dc, *lprc);
    if (!rect) return 0;
    const XFORM m = LogicalToDeviceTransform(*dc);
    const LONG width = std::max(LONG(1), LONG(std::lround(std::fabs(m.eM11))));
    const LONG height = std::max(LONG(1), LONG(std::lround(std::fabs(m.eM22))));
    return PaintDeviceRegion(*dc, RegionFrame(*rect, width, height), *brush, MixOf(R2_COPYPEN)) ? 1 : 0;
}

// Each pixel of the rectangle becomes its inverse (R2_NOT).
BOOL WINAPI InvertRect(HDC hDC, const RECT* lprc) {
    auto dc = LockDrawingDC(hDC);
    if (!dc) return FALSE;
    if (!lprc) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const auto rect = DeviceRect(*dc, *lprc);
    w32::EngineBrush unused;  // R2_NOT reads no brush
    return rect && PaintDeviceRegion(*dc, *rect, unused, MixOf(R2_NOT));
}
