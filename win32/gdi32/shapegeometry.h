// The outlines of GDI's bounded shapes (Rectangle, RoundRect, Ellipse,
// Arc, Chord, Pie, AngleArc) as figures of lines and Béziers.
//
// A shape is built in the space where its bounding box is an upright
// rectangle, then mapped to device space: in GM_COMPATIBLE that is device
// space itself, where the box loses its right column and bottom row of
// pixels (GDI's compatible rule: Rectangle(0, 0, 4, 4) covers pixels 0 to
// 3 with its pen); in GM_ADVANCED it is logical space, the box kept whole
// and the figure mapped by the world and page transforms (which keep
// Béziers Béziers). Elliptic arcs are Béziers of at most a quarter turn
// each, with control points at 4/3 tan(a/4) of the radius along the tangents
// (0.5523 for a quarter), so that a printer driver receives curves.
// DrawShape hands a closed figure to the DC's fill and pen, or to its path.
#pragma once
#include <windows.h>

#include <vector>

#include "gdi32/dc.h"
#include "win32k/geometry.h"

namespace w32::gdi {

inline constexpr double kPi = 3.14159265358979323846;

// A shape's bounding box in the space it is built in.
struct ShapeFrame {
    double left = 0, top = 0, right = 0, bottom = 0;  // ordered
    XFORM toDevice{1, 0, 0, 1, 0, 0};                 // identity when built in device space
    bool deviceSpace = true;

    double CenterX() const { return (left + right) / 2; }
    double CenterY() const { return (top + bottom) / 2; }
    double RadiusX() const { return (right - left) / 2; }
    double RadiusY() const { return (bottom - top) / 2; }
};

// The frame of the box (l, t)-(r, b) given in logical coordinates, for the
// DC's graphics mode. Outside a path, a PS_INSIDEFRAME pen wider than a
// pixel shrinks it by half its width so the stroke stays inside. False
// with ERROR_INVALID_PARAMETER for coordinates out of range.
bool MakeShapeFrame(const DeviceContext& dc, int l, int t, int r, int b, ShapeFrame& out);
// A logical point of the DC in the frame's space.
void FramePoint(const DeviceContext& dc, const ShapeFrame& frame, LONG x, LONG y, double& fx, double& fy);

// The angle (radians, counterclockwise as seen on the page) of the point
// where the ray from the centre towards (x, y) meets the ellipse of the frame.
double RadialAngle(const ShapeFrame& frame, double x, double y);
// The turn from one angle to another in the arc direction: counterclockwise
// positive; equal angles make a whole turn.
double ArcSweep(double from, double to, int arcDirection);

// A figure being built in frame space.
class ShapeFigure {
public:
    void MoveTo(double x, double y);
    void LineTo(double x, double y);
    void BezierTo(double x1, double y1, double x2, double y2, double x3, double y3);
    // Follows the ellipse (centre, radii) from angle `from` for `sweep`
    // radians, from the point at `from` (which must be the figure's last).
    void ArcTo(double cx, double cy, double rx, double ry, double from, double sweep);
    void Close();
    // The same figure run the other way from its last point.
    void Reverse();

    struct Point {
        double x, y;
    };
    Point Last() const { return points_.back(); }
    bool Empty() const { return points_.empty(); }
    // Appends the figure, mapped by `toDevice`, to `path`.
    void AppendTo(DevicePath& path, const XFORM& toDevice) const;

private:
    std::vector<Point> points_;
    std::vector<BYTE> types_;
};

// Fills and outlines the closed figure of a shape built in the frame's
// space, or records it in the open path (FillStrokeOrRecord).
BOOL DrawShape(DeviceContext& dc, const ShapeFrame& frame, const ShapeFigure& figure);

}  // namespace w32::gdi
