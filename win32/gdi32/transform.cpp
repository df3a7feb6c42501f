// The DC's mapping of logical coordinates to device pixels, and back:
// the world transform (GM_ADVANCED), then the page transform of window and
// viewport, then the mirroring of a right-to-left layout, which turns x
// into (device width - 1 - x). LPtoDP and DPtoLP round to the nearest
// pixel or unit; drawing gets device points in 28.4 fixed point, rounded
// once from the whole transform.
#include <windows.h>

#include <cmath>

#include "gdi32/dc.h"
#include "gdi32/objects.h"

namespace w32::gdi {

namespace {

// x' = x * m11 + y * m21 + dx, y' = x * m12 + y * m22 + dy, in doubles so
// that large coordinates keep their precision.
struct Affine {
    double m11 = 1, m12 = 0, m21 = 0, m22 = 1, dx = 0, dy = 0;

    void Apply(double x, double y, double& ox, double& oy) const {
        ox = x * m11 + y * m21 + dx;
        oy = x * m12 + y * m22 + dy;
    }
    // This one first, then `next`.
    Affine Then(const Affine& next) const {
        Affine r;
        r.m11 = m11 * next.m11 + m12 * next.m21;
        r.m12 = m11 * next.m12 + m12 * next.m22;
        r.m21 = m21 * next.m11 + m22 * next.m21;
        r.m22 = m21 * next.m12 + m22 * next.m22;
        r.dx = dx * next.m11 + dy * next.m21 + next.dx;
        r.dy = dx * next.m12 + dy * next.m22 + next.dy;
        return r;
    }
    bool Inverse(Affine& out) const {
        const double det = m11 * m22 - m12 * m21;
        if (det == 0 || !std::isfinite(det)) return false;
        Affine inverse;
        inverse.m11 = m22 / det;
        inverse.m12 = -m12 / det;
        inverse.m21 = -m21 / det;
        inverse.m22 = m11 / det;
        inverse.dx = -(dx * inverse.m11 + dy * inverse.m21);
        inverse.dy = -(dx * inverse.m12 + dy * inverse.m22);
        out = inverse;  // `out` may be this one
        return true;
    }
};

// The width of what the DC draws on: its bitmap, or the printer's page.
LONG DeviceWidth(const DeviceContext& dc) {
    if (dc.memory || dc.windowSurface) {
        auto bitmap = TargetBitmap(dc);
        return bitmap && bitmap->surface ? bitmap->surface->so.sizlBitmap.cx : 1;
    }
    std::lock_guard lock(EngineLock());
    return dc.device && dc.device->pdev ? LONG(dc.device->pdev->gdiInfo.ulHorzRes) : 1;
}

Affine LogicalToDeviceAffine(const DeviceContext& dc) {
    const DcState& s = dc.state;
    Affine world;
    if (s.graphicsMode == GM_ADVANCED)
        world = Affine{s.world.eM11, s.world.eM12, s.world.eM21, s.world.eM22, s.world.eDx, s.world.eDy};
    const double sx = double(s.viewportExtent.cx) / double(s.windowExtent.cx);
    const double sy = double(s.viewportExtent.cy) / double(s.windowExtent.cy);
    const Affine page{sx, 0, 0, sy, s.viewportOrigin.x - s.windowOrigin.x * sx,
                      s.viewportOrigin.y - s.windowOrigin.y * sy};
    Affine total = world.Then(page);
    if (s.layout & LAYOUT_RTL) total = total.Then(Affine{-1, 0, 0, 1, double(DeviceWidth(dc) - 1), 0});
    // A window DC's device pixels are its window's, placed in the surface.
    total.dx += dc.windowOrigin.x;
    total.dy += dc.windowOrigin.y;
    return total;
}

LONG RoundToLong(double value) {
    const double rounded = std::floor(value + 0.5);
    if (rounded > 2147483647.0) return 0x7FFFFFFF;
    if (rounded < -2147483648.0) return LONG(-2147483647 - 1);
    return LONG(rounded);
}

// Maps the points with the DC's transform or its inverse; false when the
// inverse does not exist or the arguments are bad (last error set).
BOOL MapPoints(HDC hdc, LPPOINT points, int count, bool toDevice) {
    auto dc = LookupDC(hdc);
    if (!dc) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (count < 0 || (count > 0 && !points)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    Affine transform = LogicalToDeviceAffine(*dc);
    if (!toDevice && !transform.Inverse(transform)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    for (int i = 0; i < count; ++i) {
        double x, y;
        transform.Apply(points[i].x, points[i].y, x, y);
        points[i] = POINT{RoundToLong(x), RoundToLong(y)};
    }
    return TRUE;
}

}  // namespace

XFORM LogicalToDeviceTransform(const DeviceContext& dc) {
    const Affine a = LogicalToDeviceAffine(dc);
    return XFORM{FLOAT(a.m11), FLOAT(a.m12), FLOAT(a.m21), FLOAT(a.m22), FLOAT(a.dx), FLOAT(a.dy)};
}

POINTFIX LogicalToDeviceFix(const DeviceContext& dc, LONG x, LONG y) {
    double dx, dy;
    LogicalToDeviceAffine(dc).Apply(x, y, dx, dy);
    return POINTFIX{RoundToLong(dx * 16), RoundToLong(dy * 16)};
}

POINT LogicalToDevice(const DeviceContext& dc, LONG x, LONG y) {
    double dx, dy;
    LogicalToDeviceAffine(dc).Apply(x, y, dx, dy);
    return POINT{RoundToLong(dx), RoundToLong(dy)};
}

ULONG LogicalWidthToDevice(const DeviceContext& dc, LONG width) {
    const Affine a = LogicalToDeviceAffine(dc);
    // The length a logical unit along x takes on the device.
    const double scale = std::hypot(a.m11, a.m12);
    const LONG device = RoundToLong(std::fabs(double(width)) * scale);
    return device < 0 ? 0 : ULONG(device);
}

}  // namespace w32::gdi

BOOL WINAPI LPtoDP(HDC hdc, LPPOINT lppt, int c) { return w32::gdi::MapPoints(hdc, lppt, c, true); }

BOOL WINAPI DPtoLP(HDC hdc, LPPOINT lppt, int c) { return w32::gdi::MapPoints(hdc, lppt, c, false); }
