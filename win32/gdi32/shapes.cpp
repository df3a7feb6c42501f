// Filled shapes with straight sides: Rectangle, RoundRect, Polygon and
// PolyPolygon. Each is filled with the selected brush (polygons in the
// DC's poly fill mode) and outlined with the selected pen, or recorded in
// the open path as closed figures.
//
// Rectangle and RoundRect follow the arc direction: counterclockwise (the
// default) from the top-right corner leftwards, clockwise from the
// top-left corner rightwards, which is also the order a path records.
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "gdi32/drawcall.h"
#include "gdi32/shapegeometry.h"

namespace w32::gdi {

namespace {

BOOL DrawPolygons(HDC hdc, const POINT* points, const INT* counts, size_t polygonCount) {
    auto dc = LockDrawingDC(hdc);
    if (!dc) return FALSE;
    DevicePath figures;
    std::vector<POINTFIX> device;
    for (size_t i = 0; i < polygonCount; ++i) {
        if (!ToDeviceFix(*dc, points, size_t(counts[i]), device)) return FALSE;
        figures.MoveTo(device[0]);
        for (size_t j = 1; j < device.size(); ++j) figures.LineTo(device[j]);
        figures.CloseFigure();
        points += counts[i];
    }
    return FillStrokeOrRecord(*dc, figures) ? TRUE : FALSE;
}

}  // namespace

}  // namespace w32::gdi

using namespace w32::gdi;

BOOL WINAPI Rectangle(HDC hdc, int left, int top, int right, int bottom) {
    auto dc = LockDrawingDC(hdc);
    if (!dc) return FALSE;
    ShapeFrame frame;
    if (!MakeShapeFrame(*dc, left, top, right, bottom, frame)) return FALSE;
    ShapeFigure figure;
    if (dc->state.arcDirection == AD_CLOCKWISE) {
        figure.MoveTo(frame.left, frame.top);
        figure.LineTo(frame.right, frame.top);
        figure.LineTo(frame.right, frame.bottom);
        figure.LineTo(frame.left, frame.bottom);
    } else {
        figure.MoveTo(frame.right, frame.top);
        figure.LineTo(frame.left, frame.top);
        figure.LineTo(frame.left, frame.bottom);
        figure.LineTo(frame.right, frame.bottom);
    }
    figure.Close();
    return DrawShape(*dc, frame, figure);
}

// Corners rounded by an ellipse `width` by `height` (logical units), no
// larger than the rectangle.
BOOL WINAPI RoundRect(HDC hdc, int left, int top, int right, int bottom, int width, int height) {
    auto dc = LockDrawingDC(hdc);
    if (!dc) return FALSE;
    ShapeFrame frame;
    if (!MakeShapeFrame(*dc, left, top, right, bottom, frame)) return FALSE;
    double rx = std::fabs(double(width)) / 2, ry = std::fabs(double(height)) / 2;
    if (frame.deviceSpace) {
        const XFORM m = LogicalToDeviceTransform(*dc);
        rx *= std::fabs(m.eM11);
        ry *= std::fabs(m.eM22);
    }
    rx = std::min(rx, frame.RadiusX());
    ry = std::min(ry, frame.RadiusY());
    const double l = frame.left, t = frame.top, r = frame.right, b = frame.bottom;
    ShapeFigure figure;
    figure.MoveTo(r - rx, t);
    figure.LineTo(l + rx, t);
    figure.ArcTo(l + rx, t + ry, rx, ry, kPi / 2, kPi / 2);
    figure.LineTo(l, b - ry);
    figure.ArcTo(l + rx, b - ry, rx, ry, kPi, kPi / 2);
    figure.LineTo(r - rx, b);
    figure.ArcTo(r - rx, b - ry, rx, ry, 3 * kPi / 2, kPi / 2);
    figure.LineTo(r, t + ry);
    figure.ArcTo(r - rx, t + ry, rx, ry, 0, kPi / 2);
    figure.Close();
    if (dc->state.arcDirection == AD_CLOCKWISE) figure.Reverse();
    return DrawShape(*dc, frame, figure);
}

// At least two points; the figure is closed back to the first.
BOOL WINAPI Polygon(HDC hdc, const POINT* apt, int cpt) {
    if (!apt || cpt < 2 || size_t(cpt) > kMostPoints) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    return DrawPolygons(hdc, apt, &cpt, 1);
}

// `asz` gives the points of each polygon, two at least each; they are
// filled together, so overlaps follow the poly fill mode.
BOOL WINAPI PolyPolygon(HDC hdc, const POINT* apt, const INT* asz, int csz) {
    if (!apt || !asz || csz <= 0 || size_t(csz) > kMostPoints) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    size_t total = 0;
    for (int i = 0; i < csz; ++i) {
        if (asz[i] < 2 || size_t(asz[i]) > kMostPoints) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return FALSE;
        }
        total += size_t(asz[i]);
    }
    if (total > kMostPoints) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    return DrawPolygons(hdc, apt, asz, size_t(csz));
}
