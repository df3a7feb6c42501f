// Scan conversion with GDI's pixel rules. Row y is sampled along the line
// through the points (x, y), x whole: an edge from y0 to y1 (28.4) crosses
// the rows with y0 <= 16y < y1, so a shape takes its top row and not its
// bottom one. A crossing at x (28.4) lies left of, or on, the points of
// the pixels from ceil(x / 16) on; the winding number of pixel x is the
// sum of the directions of the crossings at or left of it. So a point on a
// left edge is inside and one on a right edge outside: the half-open
// [left, right) and [top, bottom) of GDI's fills.
//
// Edges are sorted by their first row and moved through an active list
// row by row; each row sorts its crossings once: n log n in the edges and
// crossings, never edges times rows.
#include <algorithm>
#include <climits>
#include <cstdint>

#include "win32k/exactstep.h"
#include "win32k/geometry.h"

namespace w32 {

namespace {

struct Edge {
    int64_t firstRow = 0;  // the rows [firstRow, endRow) it crosses
    int64_t endRow = 0;
    int direction = 0;     // +1 going down, -1 going up
    // For the stepper, made when the edge becomes active.
    POINTFIX top{}, bottom{};
};

struct ActiveEdge {
    int64_t endRow;
    int direction;
    CeilStepper column;  // ceil(crossing x / 16) at the current row
};

struct Crossing {
    int64_t column;
    int direction;
};

int64_t CeilDiv16(int64_t v) { return -((-v) >> 4); }

// The stepper of the crossing's column from row `row` on:
// x = x0 + (16 row - y0) dx / dy, column = ceil(x / 16).
ActiveEdge Activate(const Edge& e, int64_t row) {
    const int64_t dx = int64_t(e.bottom.x) - e.top.x, dy = int64_t(e.bottom.y) - e.top.y;
    const __int128 numerator = __int128(e.top.x) * dy + __int128(16 * row - e.top.y) * dx;
    return {e.endRow, e.direction, CeilStepper(numerator, 16 * dy, 16 * dx)};
}

void AddEdges(std::vector<Edge>& edges, const PathFigure& figure, const RECTL& limit) {
    for (size_t i = 0; i < figure.count; ++i) {
        // Every figure is closed: the last point joins the first.
        POINTFIX a = figure.points[i], b = figure.points[(i + 1) % figure.count];
        if (a.y == b.y) continue;  // a horizontal edge crosses no row
        Edge e;
        e.direction = a.y < b.y ? 1 : -1;
        if (a.y > b.y) std::swap(a, b);
        e.top = a;
        e.bottom = b;
        e.firstRow = std::max<int64_t>(CeilDiv16(a.y), limit.top);
        e.endRow = std::min<int64_t>(CeilDiv16(b.y), limit.bottom);
        if (e.firstRow < e.endRow) edges.push_back(e);
    }
}

// Adds [left, right) of row y, clipped to the limit's columns, merging it
// with the span before when they touch.
void AddSpan(std::vector<Span>& spans, int64_t y, int64_t left, int64_t right, const RECTL& limit) {
    left = std::max<int64_t>(left, limit.left);
    right = std::min<int64_t>(right, limit.right);
    if (left >= right) return;
    if (!spans.empty() && spans.back().y == y && spans.back().right == left) {
        spans.back().right = LONG(right);
        return;
    }
    spans.push_back({LONG(y), LONG(left), LONG(right)});
}

}  // namespace

std::vector<Span> FillPathSpans(const DevicePath& path, int fillMode, const RECTL& limit) {
    std::vector<Span> spans;
    if (limit.left >= limit.right || limit.top >= limit.bottom) return spans;
    const DevicePath flat = FlattenPath(path);
    std::vector<Edge> edges;
    edges.reserve(flat.points.size());
    for (const PathFigure& figure : LineFigures(flat)) AddEdges(edges, figure, limit);
    std::sort(edges.begin(), edges.end(), [](const Edge& a, const Edge& b) { return a.firstRow < b.firstRow; });

    const bool winding = fillMode == WINDING;
    std::vector<ActiveEdge> active;
    std::vector<Crossing> crossings;
    size_t next = 0;
    int64_t row = edges.empty() ? 0 : edges[0].firstRow;
    while (next < edges.size() || !active.empty()) {
        if (active.empty()) row = std::max(row, edges[next].firstRow);
        while (next < edges.size() && edges[next].firstRow == row) active.push_back(Activate(edges[next++], row));

        crossings.clear();
        for (const ActiveEdge& e : active) crossings.push_back({e.column.Value(), e.direction});
        std::sort(crossings.begin(), crossings.end(),
                  [](const Crossing& a, const Crossing& b) { return a.column < b.column; });
        int count = 0;  // winding number, or crossings so far for ALTERNATE
        int64_t start = 0;
        for (size_t k = 0; k < crossings.size();) {
            const int64_t column = crossings[k].column;
            const bool wasInside = winding ? count != 0 : (count & 1) != 0;
            for (; k < crossings.size() && crossings[k].column == column; ++k)
                count += winding ? crossings[k].direction : 1;
            const bool inside = winding ? count != 0 : (count & 1) != 0;
            if (!wasInside && inside) start = column;
            if (wasInside && !inside) AddSpan(spans, row, start, column, limit);
        }

        ++row;
        size_t kept = 0;
        for (ActiveEdge& e : active) {
            if (e.endRow <= row) continue;
            e.column.Advance();
            active[kept++] = e;
        }
        active.erase(active.begin() + kept, active.end());
    }
    return spans;
}

std::vector<Span> FillPathSpans(const DevicePath& path, int fillMode) {
    return FillPathSpans(path, fillMode, RECTL{INT_MIN, INT_MIN, INT_MAX, INT_MAX});
}

}  // namespace w32
