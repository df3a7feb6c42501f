// Device paths: their bounds and offset, and the flattening of Béziers into
// lines within a quarter pixel of the curve, malformed paths included.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>

#include "geometry_test_support.h"

namespace {

using namespace geometry_test;
using w32::DevicePath;
using w32::FlattenPath;

struct Point {
    double x, y;
};

Point Cubic(const POINTFIX p[4], double t) {
    const double s = 1 - t;
    const double b[4] = {s * s * s, 3 * s * s * t, 3 * s * t * t, t * t * t};
    Point q{0, 0};
    for (int i = 0; i < 4; ++i) {
        q.x += b[i] * p[i].x;
        q.y += b[i] * p[i].y;
    }
    return q;
}

double DistanceToSegment(Point q, POINTFIX a, POINTFIX b) {
    const double dx = double(b.x) - a.x, dy = double(b.y) - a.y, length2 = dx * dx + dy * dy;
    double t = length2 == 0 ? 0 : ((q.x - a.x) * dx + (q.y - a.y) * dy) / length2;
    t = std::clamp(t, 0.0, 1.0);
    return std::hypot(q.x - (a.x + t * dx), q.y - (a.y + t * dy));
}

double DistanceToPolyline(Point q, const DevicePath& flat) {
    double best = INFINITY;
    for (size_t i = 0; i + 1 < flat.points.size(); ++i)
        best = std::min(best, DistanceToSegment(q, flat.points[i], flat.points[i + 1]));
    return best;
}

struct CurveCase {
    const char* name;
    POINTFIX p[4];  // 28.4
};

const CurveCase kCurves[] = {
    {"Arch", {{0, 0}, {0, 1600}, {1600, 1600}, {1600, 0}}},
    {"SCurve", {{0, 0}, {3200, 0}, {-1600, 1600}, {1600, 1600}}},
    {"Loop", {{0, 0}, {4000, 3000}, {-2400, 3000}, {1600, 0}}},
    {"Cusp", {{0, 0}, {1600, 1600}, {0, 1600}, {1600, 0}}},
    {"Tiny", {{5, 5}, {6, 9}, {9, 6}, {10, 10}}},
    {"Straight", {{0, 0}, {100, 100}, {200, 200}, {300, 300}}},
};

void PrintTo(const CurveCase& c, std::ostream* os) { *os << c.name; }

class Flatten : public testing::TestWithParam<CurveCase> {};

TEST_P(Flatten, LinesStayWithinAQuarterPixelOfTheCurve) {
    const CurveCase& c = GetParam();
    DevicePath path;
    path.MoveTo(c.p[0]);
    path.BezierTo(c.p[1], c.p[2], c.p[3]);
    path.CloseFigure();
    const DevicePath flat = FlattenPath(path);
    ASSERT_GE(flat.points.size(), 2u);
    ASSERT_EQ(flat.points.size(), flat.types.size());
    EXPECT_EQ(flat.types.front(), PT_MOVETO);
    for (size_t i = 1; i + 1 < flat.types.size(); ++i) EXPECT_EQ(flat.types[i], PT_LINETO) << i;
    EXPECT_EQ(flat.types.back(), PT_LINETO | PT_CLOSEFIGURE);
    EXPECT_EQ(flat.points.front().x, c.p[0].x);
    EXPECT_EQ(flat.points.front().y, c.p[0].y);
    EXPECT_EQ(flat.points.back().x, c.p[3].x);
    EXPECT_EQ(flat.points.back().y, c.p[3].y);
    // Every point of the curve is near the lines, and every corner of the lines near the curve.
    for (int k = 0; k <= 2000; ++k) EXPECT_LE(DistanceToPolyline(Cubic(c.p, k / 2000.0), flat), 4.0) << k;
    DevicePath fine;
    for (int k = 0; k <= 20000; ++k) {
        const Point q = Cubic(c.p, k / 20000.0);
        fine.LineTo({FIX(std::lround(q.x)), FIX(std::lround(q.y))});
    }
    for (const POINTFIX& corner : flat.points)
        EXPECT_LE(DistanceToPolyline({double(corner.x), double(corner.y)}, fine), 4.0);
}

INSTANTIATE_TEST_SUITE_P(All, Flatten, testing::ValuesIn(kCurves),
                         [](const testing::TestParamInfo<CurveCase>& info) { return info.param.name; });

TEST(Flatten, CurveAcrossTheWholeRangeKeepsItsEnds) {
    DevicePath path;
    path.MoveTo({INT_MIN, INT_MIN});
    path.BezierTo({INT_MAX, INT_MIN}, {INT_MIN, INT_MAX}, {INT_MAX, INT_MAX});
    const DevicePath flat = FlattenPath(path);
    ASSERT_GT(flat.points.size(), 2u);
    EXPECT_EQ(flat.points.back().x, INT_MAX);
    EXPECT_EQ(flat.points.back().y, INT_MAX);
    // The curve's middle, (0, 0) less a hair, lies on the lines.
    EXPECT_LE(DistanceToPolyline(Cubic(path.points.data(), 0.5), flat), 4.0);
}

TEST(Flatten, LinesAndLoneMovesStayAsTheyAre) {
    DevicePath path = Polygon({{0, 0}, {4, 0}, {4, 4}});
    path.MoveTo(w32::PointFix(9, 9));  // a figure of one point
    AddFigure(path, {{1, 1}, {2, 2}}, false);
    const DevicePath flat = FlattenPath(path);
    EXPECT_EQ(flat.types, path.types);
    ASSERT_EQ(flat.points.size(), path.points.size());
    for (size_t i = 0; i < flat.points.size(); ++i) {
        EXPECT_EQ(flat.points[i].x, path.points[i].x);
        EXPECT_EQ(flat.points[i].y, path.points[i].y);
    }
}

// Malformed paths read as flatten.cpp says: a figure begins at a point that
// is not a move, an incomplete Bézier ends its figure (its close flag kept),
// and the shorter of points and types counts.
TEST(Flatten, MalformedPathsEndTheirFiguresWithoutReadingPastThem) {
    struct Case {
        const char* name;
        std::vector<BYTE> types;
        std::vector<BYTE> expected;
    };
    const Case cases[] = {
        {"StartsWithALine", {PT_LINETO, PT_LINETO}, {PT_MOVETO, PT_LINETO}},
        {"StartsWithACurve", {PT_BEZIERTO, PT_BEZIERTO, PT_BEZIERTO}, {PT_MOVETO}},
        {"TwoCurvePointsLeft", {PT_MOVETO, PT_LINETO, PT_BEZIERTO, PT_BEZIERTO}, {PT_MOVETO, PT_LINETO}},
        {"IncompleteCurveCloses", {PT_MOVETO, PT_LINETO, PT_BEZIERTO | PT_CLOSEFIGURE, PT_LINETO},
         {PT_MOVETO, PT_LINETO | PT_CLOSEFIGURE, PT_MOVETO}},
        {"CurveCutByALine", {PT_MOVETO, PT_BEZIERTO, PT_LINETO, PT_LINETO}, {PT_MOVETO, PT_MOVETO, PT_LINETO}},
        {"LineAfterAClosedFigure", {PT_MOVETO, PT_LINETO | PT_CLOSEFIGURE, PT_LINETO, PT_LINETO},
         {PT_MOVETO, PT_LINETO | PT_CLOSEFIGURE, PT_MOVETO, PT_LINETO}},
        {"UnknownTypeIsALine", {PT_MOVETO, 0}, {PT_MOVETO, PT_LINETO}},
    };
    for (const Case& c : cases) {
        DevicePath path;
        path.types = c.types;
        for (size_t i = 0; i < c.types.size(); ++i) path.points.push_back(w32::PointFix(LONG(i), 0));
        EXPECT_EQ(FlattenPath(path).types, c.expected) << c.name;
    }
    DevicePath shortTypes;
    shortTypes.points = {w32::PointFix(0, 0), w32::PointFix(1, 0), w32::PointFix(2, 0)};
    shortTypes.types = {PT_MOVETO, PT_LINETO};
    EXPECT_EQ(FlattenPath(shortTypes).points.size(), 2u);
    shortTypes.points.resize(1);
    EXPECT_EQ(FlattenPath(shortTypes).types, std::vector<BYTE>{PT_MOVETO});
}

TEST(DevicePath, BoundsHoldEveryPointControlPointsIncluded) {
    DevicePath path;
    EXPECT_EQ(path.Bounds().xRight, 0);
    path.MoveTo({10, 20});
    path.BezierTo({-30, 500}, {90, -70}, {40, 40});
    const RECTFX bounds = path.Bounds();
    EXPECT_EQ(bounds.xLeft, -30);
    EXPECT_EQ(bounds.yTop, -70);
    EXPECT_EQ(bounds.xRight, 90);
    EXPECT_EQ(bounds.yBottom, 500);
}

TEST(DevicePath, OffsetMovesEveryPointAndSaturatesAtTheRange) {
    DevicePath path;
    path.MoveTo({10, 20});
    path.LineTo({INT_MAX - 5, INT_MIN + 5});
    path.Offset(16, -32);
    EXPECT_EQ(path.points[0].x, 26);
    EXPECT_EQ(path.points[0].y, -12);
    EXPECT_EQ(path.points[1].x, INT_MAX);
    EXPECT_EQ(path.points[1].y, INT_MIN);
}

}  // namespace
