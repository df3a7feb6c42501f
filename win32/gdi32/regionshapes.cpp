// Regions of shapes: CreateEllipticRgn(Indirect), CreateRoundRectRgn,
// CreatePolygonRgn and CreatePolyPolygonRgn.
//
// A polygon region holds the pixels a polygon fill covers (ALTERNATE or
// WINDING), with GDI's rule for points on edges: pixel (x, y) is in when
// the point (x, y) is inside, or on a left or top edge.
//
// An ellipse is approximated as GDI draws one: four Bézier arcs, flattened
// to within a quarter pixel; its region holds the pixels whose centres lie
// inside the ellipse inscribed in the rectangle, so that the region stays
// within the rectangle's pixels (right and bottom edges excluded) and is
// symmetric in it. A round rectangle is the rectangle with its corners cut
// by quarters of the ellipse of the given width and height.
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "gdi32/regions.h"

namespace {

using w32::DevicePath;
using w32::Region;

// A Bézier quarter circle's control points lie this far along the tangents.
constexpr double kArcControl = 0.5522847498307936;
// Points beyond this many in one call are refused.
constexpr int64_t kMaxPoints = 1 << 24;

POINTFIX Fix(double x, double y) { return POINTFIX{FIX(std::lround(x * 16)), FIX(std::lround(y * 16))}; }

// The rectangle with its corners rounded by an ellipse of `w` x `h`
// (the plain ellipse when they are the rectangle's size). Coordinates are
// shifted by half a pixel so that fills test pixel centres.
DevicePath RoundedRectPath(RECTL r, double w, double h) {
    const double left = r.left - 0.5, top = r.top - 0.5, right = r.right - 0.5, bottom = r.bottom - 0.5;
    const double rx = w / 2, ry = h / 2;
    const double cx = rx * kArcControl, cy = ry * kArcControl;
    DevicePath path;
    path.MoveTo(Fix(right - rx, top));
    // Top right, bottom right, bottom left, top left corners, clockwise on screen.
    path.BezierTo(Fix(right - rx + cx, top), Fix(right, top + ry - cy), Fix(right, top + ry));
    path.LineTo(Fix(right, bottom - ry));
    path.BezierTo(Fix(right, bottom - ry + cy), Fix(right - rx + cx, bottom), Fix(right - rx, bottom));
    path.LineTo(Fix(left + rx, bottom));
    path.BezierTo(Fix(left + rx - cx, bottom), Fix(left, bottom - ry + cy), Fix(left, bottom - ry));
    path.LineTo(Fix(left, top + ry));
    path.BezierTo(Fix(left, top + ry - cy), Fix(left + rx - cx, top), Fix(left + rx, top));
    path.CloseFigure();
    return path;
}

RECTL Normalized(int x1, int y1, int x2, int y2) {
    return RECTL{std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2)};
}

HRGN Fail(DWORD error) {
    SetLastError(error);
    return nullptr;
}

}  // namespace

HRGN WINAPI CreateRoundRectRgn(int x1, int y1, int x2, int y2, int w, int h) {
    const RECTL r = Normalized(x1, y1, x2, y2);
    if (r.left == r.right || r.top == r.bottom) return w32::gdi::InsertRegion(Region());
    const double width = double(r.right) - r.left, height = double(r.bottom) - r.top;
    const double cornerWidth = std::min(width, double(std::abs(w)));
    const double cornerHeight = std::min(height, double(std::abs(h)));
    // Corners under two pixels round nothing.
    if (cornerWidth < 2 || cornerHeight < 2) return w32::gdi::InsertRegion(Region(r));
    return w32::gdi::InsertRegion(w32::gdi::RegionFromPath(RoundedRectPath(r, cornerWidth, cornerHeight), WINDING));
}

HRGN WINAPI CreateEllipticRgn(int x1, int y1, int x2, int y2) {
    const RECTL r = Normalized(x1, y1, x2, y2);
    if (r.left == r.right || r.top == r.bottom) return w32::gdi::InsertRegion(Region());
    const double width = double(r.right) - r.left, height = double(r.bottom) - r.top;
    return w32::gdi::InsertRegion(w32::gdi::RegionFromPath(RoundedRectPath(r, width, height), WINDING));
}

HRGN WINAPI CreateEllipticRgnIndirect(const RECT* lprect) {
    if (!lprect) return Fail(ERROR_INVALID_PARAMETER);
    return CreateEllipticRgn(lprect->left, lprect->top, lprect->right, lprect->bottom);
}

HRGN WINAPI CreatePolyPolygonRgn(const POINT* pptl, const INT* pc, int cPoly, int iMode) {
    if (!pptl || !pc || cPoly <= 0 || cPoly > kMaxPoints || (iMode != ALTERNATE && iMode != WINDING))
        return Fail(ERROR_INVALID_PARAMETER);
    int64_t total = 0;
    for (int i = 0; i < cPoly; ++i) {
        if (pc[i] < 0) return Fail(ERROR_INVALID_PARAMETER);
        total += pc[i];
        if (total > kMaxPoints) return Fail(ERROR_INVALID_PARAMETER);
    }
    DevicePath path;
    const POINT* point = pptl;
    for (int i = 0; i < cPoly; ++i) {
        // A polygon of fewer than three points covers nothing.
        if (pc[i] >= 3) {
            path.MoveTo(w32::PointFix(point[0].x, point[0].y));
            for (int k = 1; k < pc[i]; ++k) path.LineTo(w32::PointFix(point[k].x, point[k].y));
            path.CloseFigure();
        }
        point += pc[i];
    }
    if (path.Empty()) return w32::gdi::InsertRegion(Region());
    return w32::gdi::InsertRegion(w32::gdi::RegionFromPath(path, iMode));
}

HRGN WINAPI CreatePolygonRgn(const POINT* pptl, int cPoint, int iMode) {
    if (cPoint < 0) return Fail(ERROR_INVALID_PARAMETER);
    const INT count = cPoint;
    return CreatePolyPolygonRgn(pptl, &count, 1, iMode);
}
