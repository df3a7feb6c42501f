// Elliptic shapes: Ellipse, Arc, ArcTo, Chord, Pie and AngleArc.
//
// The ellipse fits the bounding box (GDI's compatible rule takes its last
// column and row away, see shapegeometry.h). An arc runs in the DC's arc
// direction from where the ray from the centre towards the start point
// meets the ellipse to where the ray towards the end point does; equal
// rays make a whole ellipse. Chord closes the arc with a straight line,
// Pie with the two radii from the centre. Ellipse starts at its rightmost
// point. AngleArc turns counterclockwise for a positive sweep, whatever
// the arc direction.
#include <windows.h>

#include <cmath>

#include "gdi32/drawcall.h"
#include "gdi32/shapegeometry.h"

namespace w32::gdi {

namespace {

enum class ArcKind { Open, Chord, Pie };

// The arc of the frame's ellipse between the rays towards two logical points.
ShapeFigure ArcFigure(const DeviceContext& dc, const ShapeFrame& frame, int xStart, int yStart, int xEnd, int yEnd,
                      ArcKind kind) {
    double sx, sy, ex, ey;
    FramePoint(dc, frame, xStart, yStart, sx, sy);
    FramePoint(dc, frame, xEnd, yEnd, ex, ey);
    const double from = RadialAngle(frame, sx, sy), to = RadialAngle(frame, ex, ey);
    const double sweep = ArcSweep(from, to, dc.state.arcDirection);
    const double cx = frame.CenterX(), cy = frame.CenterY(), rx = frame.RadiusX(), ry = frame.RadiusY();
    ShapeFigure figure;
    if (kind == ArcKind::Pie) {
        figure.MoveTo(cx, cy);
        figure.LineTo(cx + rx * std::cos(from), cy - ry * std::sin(from));
    } else {
        figure.MoveTo(cx + rx * std::cos(from), cy - ry * std::sin(from));
    }
    figure.ArcTo(cx, cy, rx, ry, from, sweep);
    if (kind != ArcKind::Open) figure.Close();
    return figure;
}

BOOL DrawArcShape(HDC hdc, int l, int t, int r, int b, int xs, int ys, int xe, int ye, ArcKind kind) {
    auto dc = LockDrawingDC(hdc);
    if (!dc) return FALSE;
    ShapeFrame frame;
    POINTFIX unused;
    if (!MakeShapeFrame(*dc, l, t, r, b, frame) || !ToDeviceFix(*dc, xs, ys, unused) ||
        !ToDeviceFix(*dc, xe, ye, unused))
        return FALSE;
    DevicePath path;
    ArcFigure(*dc, frame, xs, ys, xe, ye, kind).AppendTo(path, frame.toDevice);
    if (kind == ArcKind::Open) return StrokeOrRecord(*dc, path, false) ? TRUE : FALSE;
    return FillStrokeOrRecord(*dc, path) ? TRUE : FALSE;
}

// A line from the current position to the figure's first point, then the
// figure; the current position moves to its end.
BOOL DrawFromCurrentPosition(DeviceContext& dc, const ShapeFigure& figure, const XFORM& toDevice) {
    POINTFIX start;
    if (!ToDeviceFix(dc, dc.state.currentPosition.x, dc.state.currentPosition.y, start)) return FALSE;
    DevicePath shape;
    figure.AppendTo(shape, toDevice);
    DevicePath path;
    path.MoveTo(start);
    path.points.insert(path.points.end(), shape.points.begin(), shape.points.end());
    path.types.insert(path.types.end(), shape.types.begin(), shape.types.end());
    path.types[1] = PT_LINETO;  // the figure's own start is reached by the line
    if (!StrokeOrRecord(dc, path, true)) return FALSE;
    dc.state.currentPosition = DeviceFixToLogical(dc, path.points.back());
    return TRUE;
}

}  // namespace

}  // namespace w32::gdi

using namespace w32::gdi;

BOOL WINAPI Ellipse(HDC hdc, int left, int top, int right, int bottom) {
    auto dc = LockDrawingDC(hdc);
    if (!dc) return FALSE;
    ShapeFrame frame;
    if (!MakeShapeFrame(*dc, left, top, right, bottom, frame)) return FALSE;
    ShapeFigure figure;
    figure.MoveTo(frame.right, frame.CenterY());
    figure.ArcTo(frame.CenterX(), frame.CenterY(), frame.RadiusX(), frame.RadiusY(), 0,
                 dc->state.arcDirection == AD_CLOCKWISE ? -2 * kPi : 2 * kPi);
    figure.Close();
    return DrawShape(*dc, frame, figure);
}

BOOL WINAPI Arc(HDC hdc, int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) {
    return DrawArcShape(hdc, x1, y1, x2, y2, x3, y3, x4, y4, ArcKind::Open);
}

BOOL WINAPI Chord(HDC hdc, int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) {
    return DrawArcShape(hdc, x1, y1, x2, y2, x3, y3, x4, y4, ArcKind::Chord);
}

BOOL WINAPI Pie(HDC hdc, int left, int top, int right, int bottom, int xr1, int yr1, int xr2, int yr2) {
    return DrawArcShape(hdc, left, top, right, bottom, xr1, yr1, xr2, yr2, ArcKind::Pie);
}

// As Arc, with a line from the current position to the arc's start; the
// current position moves to the arc's end.
BOOL WINAPI ArcTo(HDC hdc, int left, int top, int right, int bottom, int xr1, int yr1, int xr2, int yr2) {
    auto dc = LockDrawingDC(hdc);
    if (!dc) return FALSE;
    ShapeFrame frame;
    POINTFIX unused;
    if (!MakeShapeFrame(*dc, left, top, right, bottom, frame) || !ToDeviceFix(*dc, xr1, yr1, unused) ||
        !ToDeviceFix(*dc, xr2, yr2, unused))
        return FALSE;
    return DrawFromCurrentPosition(*dc, ArcFigure(*dc, frame, xr1, yr1, xr2, yr2, ArcKind::Open), frame.toDevice);
}

// A circle of radius `r` about (x, y), from `startAngle` for `sweepAngle`
// degrees, counterclockwise when positive; a sweep beyond a whole turn
// winds on.
BOOL WINAPI AngleArc(HDC hdc, int x, int y, DWORD r, FLOAT startAngle, FLOAT sweepAngle) {
    auto dc = LockDrawingDC(hdc);
    if (!dc) return FALSE;
    if (!std::isfinite(startAngle) || !std::isfinite(sweepAngle) || std::fabs(sweepAngle) > 1e6f ||
        r > (1u << 27)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    POINTFIX unused;
    const LONG radius = LONG(r);
    if (!ToDeviceFix(*dc, x - radius, y - radius, unused) || !ToDeviceFix(*dc, x + radius, y + radius, unused))
        return FALSE;
    const double from = startAngle * kPi / 180, sweep = sweepAngle * kPi / 180;
    ShapeFigure figure;
    figure.MoveTo(x + radius * std::cos(from), y - radius * std::sin(from));
    if (sweep != 0) figure.ArcTo(x, y, radius, radius, from, sweep);
    return DrawFromCurrentPosition(*dc, figure, LogicalToDeviceTransform(*dc));
}
