// Bézier flattening: each cubic becomes lines whose corners lie on the
// curve, so many that no line strays more than a quarter pixel from it.
//
// A path can come malformed (from a driver or a program's PolyDraw); the
// walk never reads past its points and reads it this way:
// - points and types of different lengths: the shorter one counts;
// - a first point that is not PT_MOVETO, or a point after a closed figure
//   that is not PT_MOVETO, begins a new figure there as a PT_MOVETO would;
// - a type that is neither PT_MOVETO nor PT_BEZIERTO is a PT_LINETO;
// - a Bézier with fewer than three PT_BEZIERTO points left ends the figure
//   at the point before it; its points are dropped, and a PT_CLOSEFIGURE
//   among them still closes the figure.
#include <algorithm>
#include <climits>
#include <cmath>

#include "win32k/geometry.h"

namespace w32 {

namespace {

// Lines are placed within 3/16 pixel of the curve; rounding their corners
// to 28.4 adds at most 0.71/16, which keeps them inside the quarter pixel.
constexpr double kTolerance = 3.0;
// Enough lines for a curve spanning the whole 28.4 range.
constexpr int kMaxLines = 1 << 17;

FIX RoundToFix(double v) {
    const double r = std::nearbyint(v);
    return FIX(std::clamp(r, double(INT_MIN), double(INT_MAX)));
}

// The number of equal parameter steps that keep every line within the
// tolerance: a chord of a parameter interval h strays from the curve by at
// most h^2/8 times the largest second derivative, which for a cubic is six
// times the larger of its control polygon's two second differences.
int LinesFor(const POINTFIX p[4]) {
    double largest = 0;
    for (int i = 0; i < 2; ++i) {
        const double ddx = double(p[i].x) - 2.0 * p[i + 1].x + p[i + 2].x;
        const double ddy = double(p[i].y) - 2.0 * p[i + 1].y + p[i + 2].y;
        largest = std::max(largest, std::hypot(ddx, ddy));
    }
    const double lines = std::ceil(std::sqrt(0.75 * largest / kTolerance));
    return int(std::clamp(lines, 1.0, double(kMaxLines)));
}

void AddCubic(DevicePath& out, const POINTFIX p[4]) {
    const int lines = LinesFor(p);
    POINTFIX last = p[0];
    for (int i = 1; i < lines; ++i) {
        const double t = double(i) / lines, s = 1.0 - t;
        const double b0 = s * s * s, b1 = 3 * s * s * t, b2 = 3 * s * t * t, b3 = t * t * t;
        const POINTFIX q{RoundToFix(b0 * p[0].x + b1 * p[1].x + b2 * p[2].x + b3 * p[3].x),
                         RoundToFix(b0 * p[0].y + b1 * p[1].y + b2 * p[2].y + b3 * p[3].y)};
        if (q.x == last.x && q.y == last.y) continue;
        out.LineTo(q);
        last = q;
    }
    out.LineTo(p[3]);  // the end point exactly
}

}  // namespace

DevicePath FlattenPath(const DevicePath& path) {
    DevicePath out;
    const size_t count = std::min(path.points.size(), path.types.size());
    out.points.reserve(count);
    out.types.reserve(count);
    bool open = false;  // a figure is open to further lines
    size_t i = 0;
    while (i < count) {
        const BYTE type = path.types[i] & ~PT_CLOSEFIGURE;
        if (type == PT_MOVETO || !open) {
            out.MoveTo(path.points[i]);
            open = true;
            if (path.types[i] & PT_CLOSEFIGURE) {
                out.CloseFigure();
                open = false;
            }
            ++i;
            continue;
        }
        if (type == PT_BEZIERTO) {
            size_t run = 1;  // PT_BEZIERTO points from i on, up to three
            while (run < 3 && i + run < count && (path.types[i + run] & ~PT_CLOSEFIGURE) == PT_BEZIERTO) ++run;
            bool closes = false;
            for (size_t k = i; k < i + run; ++k) closes |= (path.types[k] & PT_CLOSEFIGURE) != 0;
            if (run == 3) {
                const POINTFIX cubic[4] = {out.points.back(), path.points[i], path.points[i + 1], path.points[i + 2]};
                AddCubic(out, cubic);
            } else {
                open = false;  // the figure ends before the incomplete curve
            }
            if (closes) {
                out.CloseFigure();
                open = false;
            }
            i += run;
            continue;
        }
        out.LineTo(path.points[i]);
        if (path.types[i] & PT_CLOSEFIGURE) {
            out.CloseFigure();
            open = false;
        }
        ++i;
    }
    return out;
}

}  // namespace w32
