// Bounding boxes of shapes in GDI's two graphics modes, and elliptic arcs
// as Bézier figures.
#include "gdi32/shapegeometry.h"

#include <algorithm>
#include <cmath>

#include "gdi32/drawcall.h"

namespace w32::gdi {

namespace {

FIX ToFix(double v) { return FIX(std::lround(v * 16)); }

}  // namespace

bool MakeShapeFrame(const DeviceContext& dc, int l, int t, int r, int b, ShapeFrame& out) {
    POINTFIX corners[4];
    if (!ToDeviceFix(dc, l, t, corners[0]) || !ToDeviceFix(dc, r, b, corners[1]) ||
        !ToDeviceFix(dc, l, b, corners[2]) || !ToDeviceFix(dc, r, t, corners[3]))
        return false;
    out = ShapeFrame{};
    double scale = 1;  // device pixels per unit of the frame's space
    if (dc.state.graphicsMode != GM_ADVANCED) {
        // Compatible mode maps without turning: the box is upright on the
        // device, and loses its last column and row.
        out.left = std::min(corners[0].x, corners[1].x) / 16.0;
        out.right = std::max(corners[0].x, corners[1].x) / 16.0 - 1;
        out.top = std::min(corners[0].y, corners[1].y) / 16.0;
        out.bottom = std::max(corners[0].y, corners[1].y) / 16.0 - 1;
        out.right = std::max(out.right, out.left);
        out.bottom = std::max(out.bottom, out.top);
    } else {
        out.deviceSpace = false;
        out.toDevice = LogicalToDeviceTransform(dc);
        out.left = std::min(l, r);
        out.right = std::max(l, r);
        out.top = std::min(t, b);
        out.bottom = std::max(t, b);
        scale = std::sqrt(std::fabs(double(out.toDevice.eM11) * out.toDevice.eM22 -
                                    double(out.toDevice.eM12) * out.toDevice.eM21));
    }
    if (dc.pathState != PathState::Open && scale > 0) {
        const EnginePen pen = SelectedPen(dc);
        if (pen.style == PS_INSIDEFRAME && pen.width > 1) {
            const double inset = std::min({pen.width / 2.0 / scale, (out.right - out.left) / 2,
                                           (out.bottom - out.top) / 2});
            out.left += inset;
            out.right -= inset;
            out.top += inset;
            out.bottom -= inset;
        }
    }
    return true;
}

void FramePoint(const DeviceContext& dc, const ShapeFrame& frame, LONG x, LONG y, double& fx, double& fy) {
    if (!frame.deviceSpace) {
        fx = x;
        fy = y;
        return;
    }
    const XFORM m = LogicalToDeviceTransform(dc);
    fx = x * double(m.eM11) + y * double(m.eM21) + m.eDx;
    fy = x * double(m.eM12) + y * double(m.eM22) + m.eDy;
}

double RadialAngle(const ShapeFrame& frame, double x, double y) {
    // The ray meets the ellipse where (rx cos a, ry sin a) points along
    // it; y grows downwards, the angle counterclockwise.
    const double rx = std::max(frame.RadiusX(), 1e-9), ry = std::max(frame.RadiusY(), 1e-9);
    const double dx = x - frame.CenterX(), dy = frame.CenterY() - y;
    if (dx == 0 && dy == 0) return 0;
    return std::atan2(dy / ry, dx / rx);
}

double ArcSweep(double from, double to, int arcDirection) {
    double turn = std::fmod(to - from, 2 * kPi);
    if (arcDirection == AD_CLOCKWISE) {
        if (turn >= 0) turn -= 2 * kPi;
        return turn;
    }
    if (turn <= 0) turn += 2 * kPi;
    return turn;
}

void ShapeFigure::MoveTo(double x, double y) {
    points_.push_back({x, y});
    types_.push_back(PT_MOVETO);
}

void ShapeFigure::LineTo(double x, double y) {
    points_.push_back({x, y});
    types_.push_back(PT_LINETO);
}

void ShapeFigure::BezierTo(double x1, double y1, double x2, double y2, double x3, double y3) {
    points_.insert(points_.end(), {{x1, y1}, {x2, y2}, {x3, y3}});
    types_.insert(types_.end(), 3, PT_BEZIERTO);
}

void ShapeFigure::ArcTo(double cx, double cy, double rx, double ry, double from, double sweep) {
    const int fragments = std::max(1, int(std::ceil(std::fabs(sweep) / (kPi / 2) - 1e-9)));
    const double step = sweep / fragments;
    const double k = 4.0 / 3.0 * std::tan(step / 4);
    for (int i = 0; i < fragments; ++i) {
        const double a = from + step * i, b = (i + 1 == fragments) ? from + sweep : a + step;
        // Point (cx + rx cos t, cy - ry sin t); its tangent (-rx sin t, -ry cos t).
        const double ax = cx + rx * std::cos(a), ay = cy - ry * std::sin(a);
        const double bx = cx + rx * std::cos(b), by = cy - ry * std::sin(b);
        BezierTo(ax - k * rx * std::sin(a), ay - k * ry * std::cos(a), bx + k * rx * std::sin(b),
                 by + k * ry * std::cos(b), bx, by);
    }
}

void ShapeFigure::Close() {
    if (!types_.empty()) types_.back() |= PT_CLOSEFIGURE;
}

void ShapeFigure::Reverse() {
    if (points_.empty()) return;
    const bool closed = types_.back() & PT_CLOSEFIGURE;
    ShapeFigure reversed;
    size_t j = points_.size() - 1;
    reversed.MoveTo(points_[j].x, points_[j].y);
    while (j > 0) {
        if ((types_[j] & ~PT_CLOSEFIGURE) == PT_BEZIERTO && j >= 3) {
            reversed.BezierTo(points_[j - 1].x, points_[j - 1].y, points_[j - 2].x, points_[j - 2].y,
                              points_[j - 3].x, points_[j - 3].y);
            j -= 3;
        } else {
            reversed.LineTo(points_[j - 1].x, points_[j - 1].y);
            j -= 1;
        }
    }
    if (closed) reversed.Close();
    *this = std::move(reversed);
}

void ShapeFigure::AppendTo(DevicePath& path, const XFORM& m) const {
    for (size_t i = 0; i < points_.size(); ++i) {
        const double x = points_[i].x * double(m.eM11) + points_[i].y * double(m.eM21) + m.eDx;
        const double y = points_[i].x * double(m.eM12) + points_[i].y * double(m.eM22) + m.eDy;
        path.points.push_back(POINTFIX{ToFix(x), ToFix(y)});
        path.types.push_back(types_[i]);
    }
}

BOOL DrawShape(DeviceContext& dc, const ShapeFrame& frame, const ShapeFigure& figure) {
    DevicePath path;
    figure.AppendTo(path, frame.toDevice);
    return FillStrokeOrRecord(dc, path) ? TRUE : FALSE;
}

}  // namespace w32::gdi
