// Widening: the area a geometric pen covers along a path, as the union of
// simple fragments: a rectangle of the pen's width for each segment, a cap at
// each open end, a join at each corner. A styled pen first cuts each
// figure into dashes, each an open line with its own caps. Clipper unites
// the fragments (all turned the same way, non-zero rule) into closed figures,
// consecutive fragments a batch at a time.
//
// Choices where GDI leaves room:
// - the standard geometric styles, in pen widths: PS_DASH 3 on 1 off,
//   PS_DOT and PS_ALTERNATE 1 on 1 off, PS_DASHDOT 3,1,1,1, PS_DASHDOTDOT
//   3,1,1,1,1,1; a user style is in device pixels as given; a list of odd
//   length runs through twice, drawn and skipped entries swapped;
// - a dash that runs over a closed figure's first point is cut there;
// - a figure without any length (one point, or all its points equal)
//   covers nothing, whatever the caps;
// - a pen of width 0 is one pixel wide.
#include <polyclipping/clipper.hpp>

#include <algorithm>
#include <climits>
#include <cmath>

#include "win32k/geometry.h"

namespace w32 {

namespace {

using ClipperLib::cInt;
using ClipperLib::IntPoint;
using ClipperLib::Path;
using ClipperLib::Paths;

// Clipper's integer units per 28.4 unit: 1/256 pixel.
constexpr double kScale = 16.0;
// Round fragments are polygons whose sides stray at most this far (28.4) inside the circle.
constexpr double kArcTolerance = 1.0;
constexpr double kPi = 3.14159265358979323846;
// Fragment corners united in one Clipper run (see WidenPath).
constexpr size_t kBatchVertices = 1024;

struct Vec {
    double x = 0, y = 0;
};
Vec operator+(Vec a, Vec b) { return {a.x + b.x, a.y + b.y}; }
Vec operator-(Vec a, Vec b) { return {a.x - b.x, a.y - b.y}; }
Vec operator*(Vec a, double k) { return {a.x * k, a.y * k}; }
double Dot(Vec a, Vec b) { return a.x * b.x + a.y * b.y; }
double Cross(Vec a, Vec b) { return a.x * b.y - a.y * b.x; }
double Length(Vec a) { return std::hypot(a.x, a.y); }
bool Same(Vec a, Vec b) { return a.x == b.x && a.y == b.y; }

// The fragments of one widening, each kept turning the same way so that the
// non-zero union never cancels two overlapping ones.
class Fragments {
public:
    explicit Fragments(double halfWidth) : half_(halfWidth) {
        const double ratio = std::max(-1.0, 1.0 - kArcTolerance / half_);
        arcSteps_ = half_ <= kArcTolerance ? 8 : int(std::ceil(kPi / std::acos(ratio)));
        // A multiple of four: a vertex lies on each axis of a disc and at the tip of a cap.
        arcSteps_ = std::clamp((arcSteps_ + 3) / 4 * 4, 8, 4096);
    }

    void Add(std::initializer_list<Vec> corners) { Add(std::vector<Vec>(corners)); }

    void Add(const std::vector<Vec>& corners) {
        Path path;
        path.reserve(corners.size());
        for (Vec c : corners) path.push_back(IntPoint(cInt(std::llround(c.x * kScale)), cInt(std::llround(c.y * kScale))));
        if (!ClipperLib::Orientation(path)) ClipperLib::ReversePath(path);
        all_.push_back(std::move(path));
    }

    // The segment's rectangle, lengthened by `before` and `after` along it.
    void Segment(Vec a, Vec b, double before, double after) {
        const Vec d = (b - a) * (1.0 / Length(b - a)), n{-d.y * half_, d.x * half_};
        const Vec start = a - d * before, end = b + d * after;
        Add({start + n, end + n, end - n, start - n});
    }

    // The half disc at an end point, on the side `outward` points to.
    void RoundCap(Vec p, Vec outward) {
        const double base = std::atan2(outward.y, outward.x) - kPi / 2;
        std::vector<Vec> arc;
        for (int i = 0; i <= arcSteps_ / 2; ++i) {
            const double angle = base + 2 * kPi * i / arcSteps_;
            arc.push_back(p + Vec{std::cos(angle), std::sin(angle)} * half_);
        }
        Add(arc);
    }

    // The sector of the disc about `p` between the outer ends of the two
    // segments' widths, its arc in steps no coarser than a whole disc's.
    void RoundWedge(Vec p, Vec in, Vec out, double turn) {
        const double side = turn > 0 ? -1.0 : 1.0;
        const Vec from = Vec{-in.y, in.x} * side;
        const double angle = std::atan2(std::abs(turn), Dot(in, out));  // the turn, below a half turn
        const int steps = std::max(1, int(std::ceil(angle * arcSteps_ / (2 * kPi))));
        // Turning left (turn > 0) the outer side is on the right, and the
        // arc runs clockwise from `from`; turning right, counter-clockwise.
        const double direction = turn > 0 ? 1.0 : -1.0;
        const double base = std::atan2(from.y, from.x);
        std::vector<Vec> wedge{p};
        for (int i = 0; i <= steps; ++i) {
            const double a = base + direction * angle * i / steps;
            wedge.push_back(p + Vec{std::cos(a), std::sin(a)} * half_);
        }
        Add(wedge);
    }

    void Disc(Vec p) {
        std::vector<Vec> circle;
        for (int i = 0; i < arcSteps_; ++i) {
            const double angle = 2 * kPi * i / arcSteps_;
            circle.push_back(p + Vec{std::cos(angle), std::sin(angle)} * half_);
        }
        Add(circle);
    }

    // The corner at `p` between a segment along `in` and one along `out`
    // (unit vectors), the shorter of the two `shortest` long.
    void Join(Vec p, Vec in, Vec out, double shortest, ULONG join, double miterLimit) {
        const double turn = Cross(in, out);
        if (join == PS_JOIN_ROUND) {
            // Each rectangle covers the half of the disc about `p` on its own
            // side when it is at least the pen's half width long, so the
            // disc adds only the wedge between them on the outer side.
            if (shortest < half_ || (turn == 0 && Dot(in, out) < 0)) Disc(p);
            else if (turn != 0) RoundWedge(p, in, out, turn);
            return;
        }
        if (turn == 0) return;  // straight on, or straight back: the rectangles meet without a corner
        // The outer side of the corner: away from the way the line turns.
        const double side = turn > 0 ? -1.0 : 1.0;
        const Vec outerIn = Vec{-in.y, in.x} * (side * half_), outerOut = Vec{-out.y, out.x} * (side * half_);
        const double cosTurn = Dot(in, out);
        // Miter length over width is 1 / cos(turn / 2), and cos^2(turn / 2) = (1 + cos turn) / 2.
        const double halfCosSquared = (1 + cosTurn) / 2;
        if (join == PS_JOIN_MITER && halfCosSquared > 0 && 1 / std::sqrt(halfCosSquared) <= miterLimit) {
            const Vec tip = p + (outerIn + outerOut) * (1 / (1 + cosTurn));
            Add({p, p + outerIn, tip, p + outerOut});
        } else {
            Add({p, p + outerIn, p + outerOut});
        }
    }

    double Half() const { return half_; }
    Paths& All() { return all_; }

private:
    double half_;
    int arcSteps_ = 8;
    Paths all_;
};

// The fragments of a line through `points` (no two consecutive equal): open
// with caps at both ends, or closed with a join at every corner.
void AddLine(Fragments& fragments, const std::vector<Vec>& points, bool closed, const GeometricPen& pen) {
    const size_t count = points.size();
    if (count < 2) return;
    const ULONG cap = pen.endCap & PS_ENDCAP_MASK;
    const double square = cap == PS_ENDCAP_SQUARE ? fragments.Half() : 0;
    const size_t segments = closed ? count : count - 1;
    auto direction = [&](size_t i) {
        const Vec d = points[(i + 1) % count] - points[i];
        return d * (1.0 / Length(d));
    };
    auto length = [&](size_t i) { return Length(points[(i + 1) % count] - points[i]); };
    // Each segment, then the corner at its end: fragments that lie together
    // stay together in the batches of the union.
    for (size_t i = 0; i < segments; ++i) {
        const bool first = !closed && i == 0, last = !closed && i + 1 == segments;
        fragments.Segment(points[i], points[(i + 1) % count], first ? square : 0, last ? square : 0);
        if (last) break;
        const size_t next = (i + 1) % count;
        fragments.Join(points[next], direction(i), direction(next), std::min(length(i), length(next)),
                       pen.join & PS_JOIN_MASK, pen.miterLimit);
    }
    if (!closed && cap == PS_ENDCAP_ROUND) {
        fragments.RoundCap(points[0], direction(0) * -1.0);
        fragments.RoundCap(points[count - 1], direction(count - 2));
    }
}

// Dash and gap lengths in 28.4, alternately drawn and skipped from a drawn
// one; empty for a solid line.
std::vector<double> DashPattern(const GeometricPen& pen, double width) {
    std::vector<double> pattern;
    auto inWidths = [&](std::initializer_list<double> lengths) {
        for (double l : lengths) pattern.push_back(l * width);
    };
    switch (pen.style & PS_STYLE_MASK) {
    case PS_DASH: inWidths({3, 1}); break;
    case PS_DOT:
    case PS_ALTERNATE: inWidths({1, 1}); break;
    case PS_DASHDOT: inWidths({3, 1, 1, 1}); break;
    case PS_DASHDOTDOT: inWidths({3, 1, 1, 1, 1, 1}); break;
    case PS_USERSTYLE:
        for (ULONG l : pen.userStyle) pattern.push_back(16.0 * l);
        break;
    default: break;
    }
    if (pattern.size() % 2) pattern.insert(pattern.end(), pattern.begin(), pattern.end());
    double period = 0;
    for (double l : pattern) period += l;
    if (period <= 0) pattern.clear();
    return pattern;
}

// Cuts the line through `points` into the dashes of the pattern, the
// pattern starting afresh with the line.
void AddDashes(Fragments& fragments, std::vector<Vec> points, bool closed, const std::vector<double>& pattern,
               const GeometricPen& pen) {
    if (closed) points.push_back(points[0]);
    size_t entry = 0;
    double left = pattern[0];  // of the current entry
    std::vector<Vec> dash;
    if (left > 0) dash.push_back(points[0]);
    for (size_t i = 0; i + 1 < points.size(); ++i) {
        Vec from = points[i];
        const Vec to = points[i + 1];
        double remaining = Length(to - from);
        const Vec unit = (to - from) * (1.0 / remaining);
        while (left <= remaining) {
            // The entry ends on this segment.
            from = from + unit * left;
            remaining -= left;
            if (entry % 2 == 0) {
                if (dash.empty() || !Same(dash.back(), from)) dash.push_back(from);
                AddLine(fragments, dash, false, pen);
                dash.clear();
            } else {
                dash.push_back(from);
            }
            entry = (entry + 1) % pattern.size();
            left = pattern[entry];
            if (entry % 2 == 1) dash.clear();
        }
        left -= remaining;
        if (entry % 2 == 0 && !Same(dash.back(), to)) dash.push_back(to);
    }
    if (entry % 2 == 0) AddLine(fragments, dash, false, pen);
}

// Clipper's closed outlines as figures in 28.4.
void AddOutlines(DevicePath& result, const Paths& outlines) {
    for (const Path& outline : outlines) {
        if (outline.size() < 3) continue;
        for (size_t i = 0; i < outline.size(); ++i) {
            const POINTFIX p{FIX(std::clamp<double>(std::nearbyint(outline[i].X / kScale), INT_MIN, INT_MAX)),
                             FIX(std::clamp<double>(std::nearbyint(outline[i].Y / kScale), INT_MIN, INT_MAX))};
            if (i == 0) result.MoveTo(p);
            else result.LineTo(p);
        }
        result.CloseFigure();
    }
}

}  // namespace

DevicePath WidenPath(const DevicePath& path, const GeometricPen& pen) {
    DevicePath result;
    if ((pen.style & PS_STYLE_MASK) == PS_NULL) return result;
    const double width = 16.0 * std::max<ULONG>(pen.width, 1);
    Fragments fragments(width / 2);
    const std::vector<double> pattern = DashPattern(pen, width);
    const DevicePath flat = FlattenPath(path);
    for (const PathFigure& figure : LineFigures(flat)) {
        std::vector<Vec> points;
        points.reserve(figure.count);
        for (size_t i = 0; i < figure.count; ++i) {
            const Vec p{double(figure.points[i].x), double(figure.points[i].y)};
            if (points.empty() || !Same(points.back(), p)) points.push_back(p);
        }
        bool closed = figure.closed;
        if (closed && points.size() > 1 && Same(points.front(), points.back())) points.pop_back();
        if (points.size() < 2) continue;
        if (pattern.empty()) AddLine(fragments, points, closed, pen);
        else AddDashes(fragments, points, closed, pattern, pen);
    }
    if (fragments.All().empty()) return result;

    // Clipper sweeps a line across its edges, each step walking all the
    // edges the line crosses: one union of a long path lying along the
    // sweep would take the square of its length. So consecutive fragments are
    // united a batch at a time. Each batch's outlines have winding number
    // 1 inside and 0 outside, so the figures of all batches together,
    // filled in WINDING mode, cover exactly the union even where batches overlap.
    const Paths& all = fragments.All();
    for (size_t first = 0; first < all.size();) {
        size_t end = first, vertices = 0;
        while (end < all.size() && (end == first || vertices + all[end].size() <= kBatchVertices))
            vertices += all[end++].size();
        ClipperLib::Clipper clipper;
        clipper.AddPaths(Paths(all.begin() + first, all.begin() + end), ClipperLib::ptSubject, true);
        Paths united;
        clipper.Execute(ClipperLib::ctUnion, united, ClipperLib::pftNonZero, ClipperLib::pftNonZero);
        AddOutlines(result, united);
        first = end;
    }
    return result;
}

}  // namespace w32
