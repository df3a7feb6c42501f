// A device path's own bookkeeping: adding points with their types, its
// bounds and its offset, and the walk of its figures once it holds only lines.
#include <algorithm>
#include <climits>
#include <cstdint>

#include "win32k/geometry.h"

namespace w32 {

namespace {

// Coordinates saturate at the ends of the 28.4 range instead of wrapping.
FIX SaturatedSum(FIX v, FIX d) {
    const int64_t sum = int64_t(v) + d;
    return FIX(sum < INT_MIN ? INT_MIN : sum > INT_MAX ? INT_MAX : sum);
}

}  // namespace

void DevicePath::MoveTo(POINTFIX p) {
    points.push_back(p);
    types.push_back(PT_MOVETO);
}

void DevicePath::LineTo(POINTFIX p) {
    points.push_back(p);
    types.push_back(PT_LINETO);
}

void DevicePath::BezierTo(POINTFIX c1, POINTFIX c2, POINTFIX end) {
    for (POINTFIX p : {c1, c2, end}) {
        points.push_back(p);
        types.push_back(PT_BEZIERTO);
    }
}

void DevicePath::CloseFigure() {
    if (!types.empty()) types.back() |= PT_CLOSEFIGURE;
}

RECTFX DevicePath::Bounds() const {
    if (points.empty()) return {};
    RECTFX box{points[0].x, points[0].y, points[0].x, points[0].y};
    for (const POINTFIX& p : points) {
        if (p.x < box.xLeft) box.xLeft = p.x;
        if (p.x > box.xRight) box.xRight = p.x;
        if (p.y < box.yTop) box.yTop = p.y;
        if (p.y > box.yBottom) box.yBottom = p.y;
    }
    return box;
}

void DevicePath::Offset(FIX dx, FIX dy) {
    for (POINTFIX& p : points) {
        p.x = SaturatedSum(p.x, dx);
        p.y = SaturatedSum(p.y, dy);
    }
}

std::vector<PathFigure> LineFigures(const DevicePath& flat) {
    std::vector<PathFigure> figures;
    const size_t count = std::min(flat.points.size(), flat.types.size());
    for (size_t i = 0; i < count; ++i) {
        // Every PT_MOVETO begins a figure; so does a first point of another type.
        if ((flat.types[i] & ~PT_CLOSEFIGURE) == PT_MOVETO || figures.empty())
            figures.push_back({&flat.points[i], 0, false});
        PathFigure& figure = figures.back();
        ++figure.count;
        if (flat.types[i] & PT_CLOSEFIGURE) figure.closed = true;
    }
    return figures;
}

}  // namespace w32
