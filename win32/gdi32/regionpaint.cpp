// Regions painted on a DC: FillRgn (a brush given), PaintRgn (the selected
// brush, under the DC's ROP2), FrameRgn (a border of a brush) and InvertRgn.
//
// The region is in logical units; it reaches the device through the DC's
// mapping (gdi32/drawcall.h: rectangles stay rectangles under scaling and
// moving; a turned mapping fills each rectangle as a polygon).
#include <windows.h>

#include <cmath>

#include "gdi32/drawcall.h"

namespace w32::gdi {

namespace {

BOOL PaintRegionHandle(HDC hdc, HRGN hrgn, HBRUSH hbr, int rop2, bool selectedBrush) {
    auto dc = LockDrawingDC(hdc);
    if (!dc) return FALSE;
    auto region = LookupRegion(hrgn);
    if (!region) return FALSE;
    std::shared_ptr<EngineBrush> brush;
    if (selectedBrush) {
        brush = SelectedBrush(*dc);
        if (!brush) brush = std::make_shared<EngineBrush>();
    } else if (hbr || rop2 != R2_NOT) {
        brush = LookupBrush(hbr);
        if (!brush) return FALSE;
    } else {
        brush = std::make_shared<EngineBrush>();  // R2_NOT reads no brush
    }
    if (brush->style == BS_NULL) return TRUE;
    const std::optional<Region> device = LogicalRegionToDevice(*dc, region->region);
    return device && PaintDeviceRegion(*dc, *device, *brush, MixOf(rop2));
}

}  // namespace

}  // namespace w32::gdi

using namespace w32::gdi;

BOOL WINAPI FillRgn(HDC hdc, HRGN hrgn, HBRUSH hbr) { return PaintRegionHandle(hdc, hrgn, hbr, R2_COPYPEN, false); }

BOOL WINAPI PaintRgn(HDC hdc, HRGN hrgn) {
    auto dc = LockDrawingDC(hdc);
    if (!dc) return FALSE;
    return PaintRegionHandle(hdc, hrgn, nullptr, dc->state.rop2, true);
}

BOOL WINAPI InvertRgn(HDC hdc, HRGN hrgn) { return PaintRegionHandle(hdc, hrgn, nullptr, R2_NOT, false); }

// A border `w` logical units wide at the sides and `h` high at the top and
// bottom, inside the region's edges; both must be positive.
BOOL WINAPI FrameRgn(HDC hdc, HRGN hrgn, HBRUSH hbr, int w, int h) {
    auto dc = LockDrawingDC(hdc);
    if (!dc) return FALSE;
    auto region = LookupRegion(hrgn);
    if (!region) return FALSE;
    auto brush = LookupBrush(hbr);
    if (!brush) return FALSE;
    if (w <= 0 || h <= 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const XFORM m = LogicalToDeviceTransform(*dc);
    const double width = std::max(1.0, std::round(w * std::fabs(double(m.eM11))));
    const double height = std::max(1.0, std::round(h * std::fabs(double(m.eM22))));
    if (width > kLargestDeviceCoordinate || height > kLargestDeviceCoordinate) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const std::optional<w32::Region> device = LogicalRegionToDevice(*dc, region->region);
    return device && PaintDeviceRegion(*dc, RegionFrame(*device, LONG(width), LONG(height)), *brush,
                                       MixOf(R2_COPYPEN));
}
