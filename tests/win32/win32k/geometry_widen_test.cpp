// Widening: the outline of what a geometric pen covers, checked by asking
// whether chosen points lie inside it (a winding-number test of our own)
// and where its bounds fall.
#include <gtest/gtest.h>

#include <cmath>

#include "geometry_test_support.h"

namespace {

using namespace geometry_test;
using w32::DevicePath;
using w32::GeometricPen;
using w32::WidenPath;

// The winding number of the point (x, y) in pixels about the closed figures of `outline`.
int WindingAt(const DevicePath& outline, double x, double y) {
    x *= 16;
    y *= 16;
    int winding = 0;
    for (const w32::PathFigure& figure : w32::LineFigures(outline)) {
        for (size_t i = 0; i < figure.count; ++i) {
            const POINTFIX a = figure.points[i], b = figure.points[(i + 1) % figure.count];
            const double cross = (double(b.x) - a.x) * (y - a.y) - (x - a.x) * (double(b.y) - a.y);
            if (a.y <= y && b.y > y && cross > 0) ++winding;
            if (a.y > y && b.y <= y && cross < 0) --winding;
        }
    }
    return winding;
}

bool Inside(const DevicePath& outline, double x, double y) { return WindingAt(outline, x, y) != 0; }

void ExpectClosedFigures(const DevicePath& outline) {
    ASSERT_EQ(outline.points.size(), outline.types.size());
    for (const w32::PathFigure& figure : w32::LineFigures(outline)) {
        EXPECT_TRUE(figure.closed);
        EXPECT_GE(figure.count, 3u);
    }
    if (!outline.types.empty()) {
        EXPECT_EQ(outline.types[0], PT_MOVETO);
    }
}

GeometricPen Pen(ULONG width, ULONG endCap, ULONG join, double miterLimit = 10.0) {
    GeometricPen pen;
    pen.width = width;
    pen.endCap = endCap;
    pen.join = join;
    pen.miterLimit = miterLimit;
    return pen;
}

struct Probe {
    double x, y;
    bool inside;
};

struct CapCase {
    const char* name;
    ULONG cap;
    RECTFX bounds;  // 28.4
    std::vector<Probe> probes;
};

// (10,10) to (20,10), four pixels wide: y from 8 to 12; flat ends at x = 10
// and 20, square ones two pixels further, round ones a half disc of radius 2.
const CapCase kCaps[] = {
    {"Flat", PS_ENDCAP_FLAT, {160, 128, 320, 192},
     {{10.2, 10, true}, {9.8, 10, false}, {19.8, 11.8, true}, {20.2, 10, false}, {15, 12.2, false}}},
    {"Square", PS_ENDCAP_SQUARE, {128, 128, 352, 192},
     {{8.2, 10, true}, {7.8, 10, false}, {8.3, 8.3, true}, {21.7, 11.7, true}, {22.2, 10, false}}},
    {"Round", PS_ENDCAP_ROUND, {128, 128, 352, 192},
     {{8.2, 10, true}, {7.8, 10, false}, {8.5, 8.5, false}, {21.7, 11.7, false}, {21.3, 11.3, true}}},
};

void PrintTo(const CapCase& c, std::ostream* os) { *os << c.name; }

class WidenCap : public testing::TestWithParam<CapCase> {};

TEST_P(WidenCap, CoversTheSegmentAndItsEnds) {
    const CapCase& c = GetParam();
    const DevicePath outline = WidenPath(Polyline({{10, 10}, {20, 10}}), Pen(4, c.cap, PS_JOIN_ROUND));
    ExpectClosedFigures(outline);
    const RECTFX bounds = outline.Bounds();
    EXPECT_EQ(bounds.xLeft, c.bounds.xLeft);
    EXPECT_EQ(bounds.yTop, c.bounds.yTop);
    EXPECT_EQ(bounds.xRight, c.bounds.xRight);
    EXPECT_EQ(bounds.yBottom, c.bounds.yBottom);
    for (const Probe& p : c.probes) EXPECT_EQ(Inside(outline, p.x, p.y), p.inside) << p.x << "," << p.y;
}

INSTANTIATE_TEST_SUITE_P(All, WidenCap, testing::ValuesIn(kCaps),
                         [](const testing::TestParamInfo<CapCase>& info) { return info.param.name; });

struct JoinCase {
    const char* name;
    ULONG join;
    double miterLimit;
    bool tip;     // (21.7, 8.3): beyond the bevel's cut and the disc, inside the miter
    bool corner;  // (21.3, 8.7): inside the disc and the miter, beyond the bevel's cut
};

// Right along y = 10, then down along x = 20, four pixels wide: the outer
// corner is at the top right, the miter's tip at (22, 8), and the miter
// is sqrt(2) times the width.
const JoinCase kJoins[] = {
    {"Miter", PS_JOIN_MITER, 10.0, true, true},
    {"MiterJustWithinTheLimit", PS_JOIN_MITER, 1.42, true, true},
    {"MiterPastTheLimitBevels", PS_JOIN_MITER, 1.41, false, false},
    {"Bevel", PS_JOIN_BEVEL, 10.0, false, false},
    {"Round", PS_JOIN_ROUND, 10.0, false, true},
};

void PrintTo(const JoinCase& c, std::ostream* os) { *os << c.name; }

class WidenJoin : public testing::TestWithParam<JoinCase> {};

TEST_P(WidenJoin, FillsTheOuterCornerAsItsKindDoes) {
    const JoinCase& c = GetParam();
    const DevicePath outline =
        WidenPath(Polyline({{10, 10}, {20, 10}, {20, 20}}), Pen(4, PS_ENDCAP_FLAT, c.join, c.miterLimit));
    ExpectClosedFigures(outline);
    EXPECT_EQ(Inside(outline, 21.7, 8.3), c.tip);
    EXPECT_EQ(Inside(outline, 21.3, 8.7), c.corner);
    // What every join shares: the bevel's triangle, and both segments.
    EXPECT_TRUE(Inside(outline, 21.5, 9.8));
    EXPECT_TRUE(Inside(outline, 15, 8.2));
    EXPECT_TRUE(Inside(outline, 21.8, 19.8));
    EXPECT_FALSE(Inside(outline, 22.2, 8.3));
    EXPECT_EQ(outline.Bounds().yTop, 128);
}

INSTANTIATE_TEST_SUITE_P(All, WidenJoin, testing::ValuesIn(kJoins),
                         [](const testing::TestParamInfo<JoinCase>& info) { return info.param.name; });

TEST(Widen, ClosedFigureJoinsAllRoundAndLeavesItsMiddleOpen) {
    // A square from 10 to 20, two pixels wide, mitred: a frame from 9 to 21
    // around a hole from 11 to 19, with no caps anywhere.
    const DevicePath outline =
        WidenPath(Polygon({{10, 10}, {20, 10}, {20, 20}, {10, 20}}), Pen(2, PS_ENDCAP_ROUND, PS_JOIN_MITER));
    ExpectClosedFigures(outline);
    EXPECT_EQ(w32::LineFigures(outline).size(), 2u);
    for (const Probe& p : {Probe{9.2, 9.2, true}, Probe{20.8, 9.2, true}, Probe{20.8, 20.8, true}, Probe{9.2, 20.8, true},
                           Probe{15, 15, false}, Probe{11.2, 11.2, false}, Probe{15, 10.5, true}, Probe{8.8, 15, false}})
        EXPECT_EQ(Inside(outline, p.x, p.y), p.inside) << p.x << "," << p.y;
    const RECTFX bounds = outline.Bounds();
    EXPECT_EQ(bounds.xLeft, 9 * 16);
    EXPECT_EQ(bounds.xRight, 21 * 16);
}

TEST(Widen, StyledPensCutDashesInWidthsOrAsTheUserGaveThem) {
    struct Case {
        const char* name;
        int style;
        std::vector<ULONG> userStyle;
        int on, period;  // pixels along the line
    };
    // Two pixels wide: a dash is three widths and a gap one; a dot one and
    // one; a user style is in pixels as given.
    for (const Case& c : {Case{"Dash", PS_DASH, {}, 6, 8}, Case{"Dot", PS_DOT, {}, 2, 4},
                          Case{"User", PS_USERSTYLE, {5, 3}, 5, 8}}) {
        GeometricPen pen = Pen(2, PS_ENDCAP_FLAT, PS_JOIN_BEVEL);
        pen.style = c.style;
        pen.userStyle = c.userStyle;
        const DevicePath outline = WidenPath(Polyline({{0, 10}, {40, 10}}), pen);
        ExpectClosedFigures(outline);
        for (int x = 0; x < 40; ++x)
            EXPECT_EQ(Inside(outline, x + 0.5, 10.5), x % c.period < c.on) << c.name << " at " << x;
    }
}

TEST(Widen, DashesRunOnRoundCorners) {
    // A dash of 6 from x = 16 runs 4 pixels right and 2 down the corner at (20, 10).
    GeometricPen pen = Pen(2, PS_ENDCAP_FLAT, PS_JOIN_MITER);
    pen.style = PS_DASH;
    const DevicePath outline = WidenPath(Polyline({{0, 10}, {20, 10}, {20, 30}}), pen);
    EXPECT_TRUE(Inside(outline, 20.8, 9.2));   // the corner's miter: the dash goes through it
    EXPECT_TRUE(Inside(outline, 20, 11.8));
    EXPECT_FALSE(Inside(outline, 20, 12.2));   // the gap after it
    EXPECT_TRUE(Inside(outline, 20, 14.5));    // the next dash, 4 to 10 pixels down
}

TEST(Widen, NullPensAndPointsCoverNothing) {
    GeometricPen pen = Pen(6, PS_ENDCAP_ROUND, PS_JOIN_ROUND);
    DevicePath lonePoints = Polyline({{5, 5}, {5, 5}});
    lonePoints.MoveTo(w32::PointFix(9, 9));
    EXPECT_TRUE(WidenPath(lonePoints, pen).Empty());
    pen.style = PS_NULL;
    EXPECT_TRUE(WidenPath(Polyline({{0, 0}, {9, 0}}), pen).Empty());
}

TEST(Widen, CurvesAreWidenedAlongTheirLines) {
    // A quarter circle of radius 20 about (0, 0), from (20, 0) to (0, 20), six pixels wide.
    DevicePath arc;
    arc.MoveTo(w32::PointFix(20, 0));
    const double k = 0.5523 * 20 * 16;  // control distance of a quarter circle
    arc.BezierTo({320, FIX(k)}, {FIX(k), 320}, w32::PointFix(0, 20));
    const DevicePath outline = WidenPath(arc, Pen(6, PS_ENDCAP_FLAT, PS_JOIN_ROUND));
    for (double angle = 0.05; angle < 1.55; angle += 0.1) {
        EXPECT_TRUE(Inside(outline, 22.5 * std::cos(angle), 22.5 * std::sin(angle))) << angle;
        EXPECT_TRUE(Inside(outline, 17.5 * std::cos(angle), 17.5 * std::sin(angle))) << angle;
        EXPECT_FALSE(Inside(outline, 23.5 * std::cos(angle), 23.5 * std::sin(angle))) << angle;
        EXPECT_FALSE(Inside(outline, 16.5 * std::cos(angle), 16.5 * std::sin(angle))) << angle;
    }
}

TEST(Widen, LongSawtoothAlongTheSweepStaysFastAndWhole) {
    // 100,000 corners between y = 0 and y = 5, three pixels apart: every
    // scan line crosses the whole path. Two pixels wide and mitred, the
    // corners and the middles of the teeth are covered; the points between
    // two lower corners are 2.57 pixels from the teeth, outside.
    constexpr LONG kCorners = 100000;
    DevicePath saw;
    saw.MoveTo(w32::PointFix(0, 0));
    for (LONG i = 1; i < kCorners; ++i) saw.LineTo(w32::PointFix(3 * i, 5 * (i % 2)));
    const DevicePath outline = WidenPath(saw, Pen(2, PS_ENDCAP_FLAT, PS_JOIN_MITER));
    ExpectClosedFigures(outline);
    for (LONG i : {2, 5000, 49998, 99990}) {
        EXPECT_TRUE(Inside(outline, 3 * i, 0.5)) << i;
        EXPECT_TRUE(Inside(outline, 3 * i + 1.5, 2.5)) << i;
        EXPECT_FALSE(Inside(outline, 3 * i, 5)) << i;
    }
    const RECTFX bounds = outline.Bounds();
    EXPECT_EQ(bounds.xLeft, -14);  // the flat end's corner: 1/sqrt(34) * 5 of a pixel left of the start
    EXPECT_GE(bounds.xRight, 3 * (kCorners - 1) * 16);
}

TEST(Widen, RoundCornersBetweenShortSegmentsStayWholeDiscs) {
    // The first segment is one pixel long, shorter than the pen's half
    // width of 4: the corner's disc reaches behind it, beside the flat start.
    const DevicePath outline =
        WidenPath(Polyline({{10, 10}, {11, 10}, {11, 20}}), Pen(8, PS_ENDCAP_FLAT, PS_JOIN_ROUND));
    EXPECT_TRUE(Inside(outline, 7.5, 9.5));
    EXPECT_TRUE(Inside(outline, 13.5, 7.5));
    EXPECT_FALSE(Inside(outline, 7.5, 7.5));
}

TEST(Widen, StrokedCircleIsOneRing) {
    // A circle of radius 667 pixels (80 points at 600 dpi), 17 pixels wide:
    // an outer and an inner outline, a few points for each point of the
    // flattened circle, not a piece for each corner.
    DevicePath circle;
    const double r = 667 * 16, k = 0.5523 * r, c = 2000 * 16;
    circle.MoveTo({FIX(c + r), FIX(c)});
    circle.BezierTo({FIX(c + r), FIX(c + k)}, {FIX(c + k), FIX(c + r)}, {FIX(c), FIX(c + r)});
    circle.BezierTo({FIX(c - k), FIX(c + r)}, {FIX(c - r), FIX(c + k)}, {FIX(c - r), FIX(c)});
    circle.BezierTo({FIX(c - r), FIX(c - k)}, {FIX(c - k), FIX(c - r)}, {FIX(c), FIX(c - r)});
    circle.BezierTo({FIX(c + k), FIX(c - r)}, {FIX(c + r), FIX(c - k)}, {FIX(c + r), FIX(c)});
    circle.CloseFigure();
    const DevicePath outline = WidenPath(circle, Pen(17, PS_ENDCAP_ROUND, PS_JOIN_ROUND));
    ExpectClosedFigures(outline);
    EXPECT_EQ(w32::LineFigures(outline).size(), 2u);
    EXPECT_LT(outline.points.size(), 4 * w32::FlattenPath(circle).points.size());
    for (double angle = 0; angle < 6.28; angle += 0.05) {
        EXPECT_TRUE(Inside(outline, 2000 + 675 * std::cos(angle), 2000 + 675 * std::sin(angle))) << angle;
        EXPECT_TRUE(Inside(outline, 2000 + 659 * std::cos(angle), 2000 + 659 * std::sin(angle))) << angle;
        EXPECT_FALSE(Inside(outline, 2000 + 677 * std::cos(angle), 2000 + 677 * std::sin(angle))) << angle;
        EXPECT_FALSE(Inside(outline, 2000 + 657 * std::cos(angle), 2000 + 657 * std::sin(angle))) << angle;
    }
}

}  // namespace
