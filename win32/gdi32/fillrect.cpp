// Rectangles painted with a brush: FillRect, FrameRect and InvertRect.
//
// A rectangle covers its left column and top row, not its right column
// and bottom row (FillRect(0, 0, 4, 4) paints pixels 0 to 3); the corners
// may come in either order. FillRect and FrameRect paint with the brush
// given, not the DC's, and ignore the ROP2. The brush may also be a system
// colour's index plus one (COLOR_BTNFACE + 1), standing for that colour.
#include <windows.h>

#include <algorithm>
#include <cmath>

#include "gdi32/drawcall.h"
#include "gdi32/syscolors.h"

namespace w32::gdi {

namespace {

std::optional<Region> DeviceRect(const DeviceContext& dc, const RECT& rect) {
    const RECTL ordered{std::min(rect.left, rect.right), std::min(rect.top, rect.bottom),
                        std::max(rect.left, rect.right), std::max(rect.top, rect.bottom)};
    return LogicalRegionToDevice(dc, Region(ordered));
}

// Paints with the brush given, ignoring the ROP2, the region `pick` makes
// of the logical rectangle in device pixels: 1 when painted, else 0 with
// the last error set.
template <typename Pick>
int PaintWithBrush(HDC hdc, const RECT* logical, HBRUSH hbr, Pick pick) {
    auto dc = LockDrawingDC(hdc);
    if (!dc) return 0;
    if (!logical) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    auto brush = LookupBrush(BrushOrSystemColor(hbr));
    if (!brush) return 0;
    const auto rect = DeviceRect(*dc, *logical);
    return rect && PaintDeviceRegion(*dc, pick(*dc, *rect), *brush, MixOf(R2_COPYPEN)) ? 1 : 0;
}

}  // namespace

}  // namespace w32::gdi

using namespace w32::gdi;

int WINAPI FillRect(HDC hDC, const RECT* lprc, HBRUSH hbr) {
    return PaintWithBrush(hDC, lprc, hbr,
                          [](const DeviceContext&, const w32::Region& rect) -> const w32::Region& { return rect; });
}

// A border one logical unit wide inside the rectangle.
int WINAPI FrameRect(HDC hDC, const RECT* lprc, HBRUSH hbr) {
    return PaintWithBrush(hDC, lprc, hbr, [](const DeviceContext& dc, const w32::Region& rect) {
        const XFORM m = LogicalToDeviceTransform(dc);
        const LONG width = std::max(LONG(1), LONG(std::lround(std::fabs(m.eM11))));
        const LONG height = std::max(LONG(1), LONG(std::lround(std::fabs(m.eM22))));
        return RegionFrame(rect, width, height);
    });
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
