// The drawing items of a document's page: shapes with their pen and brush,
// in points (1/72 inch) from the top-left corner of the page (the paper,
// not its printable area), x to the right and y down.
//
//   {"line": [[72, 72], [540, 72]], "pen": {"colour": "#000000", "width": 2}}
//   {"polyline": [[72, 100], [200, 140], [300, 100]], "pen": {"style": "dash"}}
//   {"rectangle": [[72, 200], [200, 300]], "brush": {"colour": "#c0c0c0"}}
//   {"roundrect": [[240, 200], [400, 300]], "corner": [30, 20]}
//   {"ellipse": [[72, 320], [200, 400]], "brush": {"hatch": "cross"}}
//   {"arc": [[240, 320], [400, 400], [400, 360], [240, 360]]}
//   {"polygon": [[72, 420], [200, 420], [136, 520]], "brush": "none"}
//   {"bezier": [[240, 470], [280, 420], [360, 520], [400, 470]]}
//   {"path": [{"move": [72, 560]}, {"line": [[200, 560], [200, 640]]},
//             {"bezier": [[180, 680], [100, 680], [72, 640]]}, "close"]}
//
// A rectangle, rounded rectangle and ellipse take two opposite corners of
// their box; an arc takes its ellipse's box and the points on the rays
// where it starts and ends, drawn counter-clockwise as GDI draws arcs; a
// rounded rectangle's "corner" is the width and height of the ellipse that
// rounds its corners. A line takes 2 points, a polyline 2 or more, a
// polygon 3 or more, a Bezier curve 3n+1. A path is a list of steps that
// starts with "move" and takes "line" (1 or more points), "bezier" (3n
// points) and "close"; it is stroked with the pen and filled with the brush.
//
// "pen": "none", or {"colour", "width", "style"}: a colour "#rrggbb"
// (black), a width in points (0, the thinnest line the printer draws), a
// style "solid", "dash", "dot", "dashdot" or "none". Dashed and dotted pens
// are the thinnest pens (GDI styles only those). "brush": "none" (the
// default) or {"colour"} for a solid brush, or {"hatch", "colour"} with a
// hatch "horizontal", "vertical", "fdiagonal", "bdiagonal", "cross" or
// "diagcross". Open shapes (line, polyline, arc, bezier) take no brush.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "pictures.h"
#include "textitems.h"

namespace tamprint {

// A point of the page, in points from its top-left corner.
struct PagePoint {
    double x = 0, y = 0;
};

struct ShapePen {
    int style = PS_SOLID;  // PS_SOLID, PS_DASH, PS_DOT, PS_DASHDOT or PS_NULL
    COLORREF colour = RGB(0, 0, 0);
    double width = 0;  // points; 0 the thinnest
};

struct ShapeBrush {
    enum class Kind { None, Solid, Hatch } kind = Kind::None;
    COLORREF colour = RGB(0, 0, 0);
    int hatch = HS_HORIZONTAL;
};

struct PathStep {
    enum class Kind { Move, Line, Bezier, Close } kind = Kind::Move;
    std::vector<PagePoint> points;
};

enum class ShapeKind { Line, Polyline, Rectangle, RoundRect, Ellipse, Arc, Polygon, Bezier, Path, Text, Image, Gradient };

struct DrawItem {
    ShapeKind shape = ShapeKind::Line;
    std::vector<PagePoint> points;  // every shape but a path
    PagePoint corner;               // a rounded rectangle's corner ellipse
    std::vector<PathStep> steps;    // a path
    ShapePen pen;
    ShapeBrush brush;
    TextSpec text;                  // a text or text block (textitems.h)
    ImageSpec image;                // an image (pictures.h)
    GradientSpec gradient;          // a gradient (pictures.h)
};

// The page's geometry on a printer DC: its resolution and where its
// printable area starts on the paper, in device pixels.
struct DeviceFrame {
    int dpiX = 600, dpiY = 600;
    int offsetX = 0, offsetY = 0;

    // A page position in the DC's device pixels, to the nearest pixel.
    POINT Device(const PagePoint& p) const;
    // A length across or down the page in device pixels.
    int Across(double points) const;
    int Down(double points) const;
};

// The frame of the page a printer DC is on.
DeviceFrame FrameOf(HDC dc);

// Draws one item on the DC with its own pen and brush (a text item with its
// own font, a picture as it is), which it deletes afterwards. False when a GDI call fails (the last error says why).
bool DrawShape(HDC dc, const DeviceFrame& frame, const DrawItem& item);

}  // namespace tamprint
