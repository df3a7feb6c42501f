// Shapes in device space: paths in 28.4 fixed point with GDI's point types
// (PT_MOVETO, PT_LINETO, PT_BEZIERTO, PT_CLOSEFIGURE), Bézier flattening,
// scan conversion with GDI's pixel rules, cosmetic lines with styles, and
// the widening of a path by a geometric pen (Clipper unites the fragments).
#pragma once
#include <windows.h>
#include <winddi.h>

#include <vector>

#include "win32k/span.h"

namespace w32 {

// A path as GDI records it: one type byte per point. A figure starts with
// PT_MOVETO; PT_BEZIERTO points come in threes; PT_CLOSEFIGURE is or-ed
// into the type of a figure's last point.
struct DevicePath {
    std::vector<POINTFIX> points;
    std::vector<BYTE> types;

    bool Empty() const { return points.empty(); }
    void MoveTo(POINTFIX p);
    void LineTo(POINTFIX p);
    void BezierTo(POINTFIX c1, POINTFIX c2, POINTFIX end);
    void CloseFigure();
    // The smallest rectangle holding every point (control points included), in 28.4.
    RECTFX Bounds() const;
    void Offset(FIX dx, FIX dy);
};

inline POINTFIX PointFix(LONG x, LONG y) { return POINTFIX{x << 4, y << 4}; }

// One figure of a path made only of PT_MOVETO and PT_LINETO points (as
// FlattenPath returns it): its points, and whether PT_CLOSEFIGURE ends it.
struct PathFigure {
    const POINTFIX* points = nullptr;
    size_t count = 0;
    bool closed = false;
};
std::vector<PathFigure> LineFigures(const DevicePath& flat);

// The same path with each Bézier replaced by lines, within a quarter
// pixel of the curve.
DevicePath FlattenPath(const DevicePath& path);

// The pixels a fill covers, in ALTERNATE or WINDING mode. Every figure is
// closed. Pixel (x, y) is filled when the point (x, y) lies inside; a point
// on an edge is inside on left and top edges and outside on right and
// bottom ones, so Polygon (0,0) (4,0) (4,4) (0,4) fills pixels 0 to 3 both ways.
std::vector<Span> FillPathSpans(const DevicePath& path, int fillMode);
// The same, only the pixels inside `limit` (the surface or the clip's
// bounds): a shape far larger than the surface costs what is visible.
std::vector<Span> FillPathSpans(const DevicePath& path, int fillMode, const RECTL& limit);

// A cosmetic pen: one pixel wide, drawn with its style.
struct CosmeticPen {
    int style = PS_SOLID;         // PS_SOLID, PS_DASH, PS_DOT, PS_DASHDOT, PS_DASHDOTDOT, PS_ALTERNATE, PS_USERSTYLE, PS_NULL
    std::vector<ULONG> userStyle;  // PS_USERSTYLE: dash and gap lengths in pixels, from a dash
};

// The pixels of a cosmetic line along the path: each segment from its
// first pixel up to, not including, its last, as GDI draws lines; the style
// runs on from one segment to the next of a figure. `gaps` receives the
// pixels of the style's gaps (painted in the background colour in OPAQUE
// mode), when not null.
std::vector<Span> CosmeticLineSpans(const DevicePath& path, const CosmeticPen& pen,
                                    std::vector<Span>* gaps = nullptr);
// The same, only the pixels inside `limit`; the style still counts the
// pixels outside it.
std::vector<Span> CosmeticLineSpans(const DevicePath& path, const CosmeticPen& pen, const RECTL& limit,
                                    std::vector<Span>* gaps = nullptr);

// Receives the pixels of a solid cosmetic line as they are found: runs
// along a row (pixels `left` up to, not including, `right`) and columns
// (pixels of column x from row `top` up to, not including, `bottom`).
class LinePixelSink {
public:
    virtual void Row(LONG y, LONG left, LONG right) = 0;
    virtual void Column(LONG x, LONG top, LONG bottom) = 0;

protected:
    ~LinePixelSink() = default;
};

// The pixels of a solid cosmetic line along the path inside `limit`, the
// same as CosmeticLineSpans gives for a PS_SOLID pen, handed to `sink`
// without a list in between. A pixel where segments meet or cross may come
// more than once, and the order is not the drawing order: for a drawing
// whose result depends on neither (one value written to every pixel).
// Only for a path of lines whose every figure starts with a PT_MOVETO
// (closing none): false, with nothing drawn, for any other.
bool SolidCosmeticLine(const DevicePath& path, const RECTL& limit, LinePixelSink& sink);

// A geometric pen: a width in device pixels, end caps, joins and style.
struct GeometricPen {
    ULONG width = 1;
    ULONG endCap = PS_ENDCAP_ROUND;  // PS_ENDCAP_ROUND, PS_ENDCAP_SQUARE, PS_ENDCAP_FLAT
    ULONG join = PS_JOIN_ROUND;      // PS_JOIN_ROUND, PS_JOIN_BEVEL, PS_JOIN_MITER
    double miterLimit = 10.0;        // as SetMiterLimit
    int style = PS_SOLID;            // PS_SOLID ... PS_USERSTYLE: dashes scale with the width
    std::vector<ULONG> userStyle;
};

// The outline of the area the pen covers along the path, as closed
// figures to be filled in WINDING mode (WidenPath). A long path comes as
// several united outlines that may overlap one another; in WINDING mode
// they cover the union.
DevicePath WidenPath(const DevicePath& path, const GeometricPen& pen);

}  // namespace w32
