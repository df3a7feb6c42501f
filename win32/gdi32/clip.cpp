// Clipping: SelectClipRgn, ExtSelectClipRgn, IntersectClipRect,
// ExcludeClipRect, OffsetClipRgn, GetClipBox, GetClipRgn, PtVisible and
// RectVisible.
//
// The DC keeps its clip in device pixels (DcState::clip, saved by SaveDC);
// none means the whole surface. Regions a program selects are taken in
// device units, as Windows documents; rectangles and points are logical
// and go through the DC's mapping. The calls that change the clip answer
// the complexity of what drawing can then reach, the clip cut to the surface.
#include "gdi32/clip.h"

#include <windows.h>

#include <algorithm>
#include <cmath>

#include "gdi32/drawcall.h"

namespace w32::gdi {

int CombineClip(DeviceContext& dc, const Region* region, int mode) {
    if (mode < RGN_AND || mode > RGN_COPY || (!region && mode != RGN_COPY)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return ERROR;
    }
    if (!region) {
        dc.state.clip.reset();
    } else {
        const SIZEL size = DrawingSurfaceSize(dc);
        const Region base = dc.state.clip ? *dc.state.clip : Region(RECTL{0, 0, size.cx, size.cy});
        switch (mode) {
            case RGN_AND: dc.state.clip = base.Intersect(*region); break;
            case RGN_OR: dc.state.clip = base.Union(*region); break;
            case RGN_XOR: dc.state.clip = base.Xor(*region); break;
            case RGN_DIFF: dc.state.clip = base.Subtract(*region); break;
            default: dc.state.clip = *region; break;
        }
    }
    return VisibleRegion(dc).Complexity();
}

namespace {

// A logical rectangle, in either corner order, as device pixels.
std::optional<Region> LogicalRectToDevice(const DeviceContext& dc, int left, int top, int right, int bottom) {
    const RECTL rect{std::min(left, right), std::min(top, bottom), std::max(left, right), std::max(top, bottom)};
    return LogicalRegionToDevice(dc, Region(rect));
}

int CombineClipRect(HDC hdc, int left, int top, int right, int bottom, int mode) {
    auto dc = LockDrawingDC(hdc);
    if (!dc) return ERROR;
    const std::optional<Region> rect = LogicalRectToDevice(*dc, left, top, right, bottom);
    if (!rect) return ERROR;
    return CombineClip(*dc, &*rect, mode);
}

}  // namespace

}  // namespace w32::gdi

using namespace w32::gdi;

// A copy of the region becomes the clip; NULL removes it.
int WINAPI SelectClipRgn(HDC hdc, HRGN hrgn) { return ExtSelectClipRgn(hdc, hrgn, RGN_COPY); }

int WINAPI ExtSelectClipRgn(HDC hdc, HRGN hrgn, int mode) {
    auto dc = LockDrawingDC(hdc);
    if (!dc) return ERROR;
    if (!hrgn) return CombineClip(*dc, nullptr, mode);
    auto region = LookupRegion(hrgn);
    if (!region) return ERROR;
    if (dc->windowSurface) {
        w32::Region placed = region->region;
        placed.Offset(dc->windowOrigin.x, dc->windowOrigin.y);
        return CombineClip(*dc, &placed, mode);
    }
    return CombineClip(*dc, &region->region, mode);
}

int WINAPI IntersectClipRect(HDC hdc, int left, int top, int right, int bottom) {
    return CombineClipRect(hdc, left, top, right, bottom, RGN_AND);
}

int WINAPI ExcludeClipRect(HDC hdc, int left, int top, int right, int bottom) {
    return CombineClipRect(hdc, left, top, right, bottom, RGN_DIFF);
}

// Moves the clip by a logical distance (scaled by the mapping); without a
// clip there is nothing to move.
int WINAPI OffsetClipRgn(HDC hdc, int x, int y) {
    auto dc = LockDrawingDC(hdc);
    if (!dc) return ERROR;
    if (dc->state.clip) {
        const XFORM m = LogicalToDeviceTransform(*dc);
        const double dx = std::round(x * double(m.eM11) + y * double(m.eM21));
        const double dy = std::round(x * double(m.eM12) + y * double(m.eM22));
        if (std::fabs(dx) > kLargestDeviceCoordinate || std::fabs(dy) > kLargestDeviceCoordinate) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return ERROR;
        }
        dc->state.clip->Offset(LONG(dx), LONG(dy));
    }
    return VisibleRegion(*dc).Complexity();
}

// The smallest logical rectangle around what drawing can reach.
int WINAPI GetClipBox(HDC hdc, LPRECT lprect) {
    auto dc = LockDrawingDC(hdc);
    if (!dc) return ERROR;
    if (!lprect) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return ERROR;
    }
    const w32::Region visible = VisibleRegion(*dc);
    *lprect = RECT{0, 0, 0, 0};
    if (!visible.Empty()) {
        const RECTL box = visible.Bounds();
        const POINT a = DeviceFixToLogical(*dc, w32::PointFix(box.left, box.top));
        const POINT b = DeviceFixToLogical(*dc, w32::PointFix(box.right, box.bottom));
        *lprect = RECT{std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
    }
    return visible.Complexity();
}

int WINAPI GetClipRgn(HDC hdc, HRGN hrgn) {
    auto dc = LockDrawingDC(hdc);
    if (!dc) return -1;
    auto region = LookupRegion(hrgn);
    if (!region) return -1;
    if (!dc->state.clip) return 0;
    region->region = *dc->state.clip;
    region->region.Offset(-dc->windowOrigin.x, -dc->windowOrigin.y);
    return 1;
}

// -1 for a bad DC.
BOOL WINAPI PtVisible(HDC hdc, int x, int y) {
    auto dc = LockDrawingDC(hdc);
    if (!dc) return -1;
    POINT device;
    if (!ToDevicePoint(*dc, x, y, device)) return FALSE;
    return VisibleRegion(*dc).Contains(device.x, device.y);
}

BOOL WINAPI RectVisible(HDC hdc, const RECT* lprect) {
    auto dc = LockDrawingDC(hdc);
    if (!dc) return FALSE;
    if (!lprect) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const std::optional<w32::Region> rect =
        LogicalRectToDevice(*dc, lprect->left, lprect->top, lprect->right, lprect->bottom);
    return rect && !VisibleRegion(*dc).Intersect(*rect).Empty();
}
