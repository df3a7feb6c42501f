// Scan conversion: which pixels a fill covers, by GDI's rule that pixel
// (x, y) is filled when the point (x, y) is inside, points on left and top
// edges counting as inside and on right and bottom ones as outside.
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>

#include "geometry_test_support.h"

namespace {

using namespace geometry_test;
using w32::DevicePath;
using w32::FillPathSpans;
using w32::Span;

struct FillCase {
    const char* name;
    DevicePath path;
    int mode;
    std::function<bool(LONG, LONG)> inside;  // the sampling rule worked out for the shape
};

const FillCase kFills[] = {
    {"SquareAlternate", Polygon({{0, 0}, {4, 0}, {4, 4}, {0, 4}}), ALTERNATE,
     [](LONG x, LONG y) { return x >= 0 && x < 4 && y >= 0 && y < 4; }},
    {"SquareWinding", Polygon({{0, 0}, {4, 0}, {4, 4}, {0, 4}}), WINDING,
     [](LONG x, LONG y) { return x >= 0 && x < 4 && y >= 0 && y < 4; }},
    // Hypotenuse on the right: its points are outside.
    {"TriangleOpenOnTheRight", Polygon({{0, 0}, {4, 0}, {0, 4}}), ALTERNATE,
     [](LONG x, LONG y) { return x >= 0 && y >= 0 && x + y < 4; }},
    // Hypotenuse on the left: its points are inside, and the top corner's row
    // holds nothing but the point on the right edge.
    {"TriangleClosedOnTheLeft", Polygon({{4, 0}, {4, 4}, {0, 4}}), ALTERNATE,
     [](LONG x, LONG y) { return x < 4 && y < 4 && x + y >= 4; }},
    // Two squares drawn the same way round overlap in x 2..3: even-odd leaves
    // the overlap, non-zero fills it.
    {"SameWayOverlapAlternate", [] {
         DevicePath p = Polygon({{0, 0}, {4, 0}, {4, 4}, {0, 4}});
         AddFigure(p, {{2, 0}, {6, 0}, {6, 4}, {2, 4}}, false);  // closed implicitly
         return p;
     }(), ALTERNATE, [](LONG x, LONG y) { return y >= 0 && y < 4 && ((x >= 0 && x < 2) || (x >= 4 && x < 6)); }},
    {"SameWayOverlapWinding", [] {
         DevicePath p = Polygon({{0, 0}, {4, 0}, {4, 4}, {0, 4}});
         AddFigure(p, {{2, 0}, {6, 0}, {6, 4}, {2, 4}}, true);
         return p;
     }(), WINDING, [](LONG x, LONG y) { return y >= 0 && y < 4 && x >= 0 && x < 6; }},
    // Drawn the other way round, the second square cancels the first.
    {"OppositeWayOverlapWinding", [] {
         DevicePath p = Polygon({{0, 0}, {4, 0}, {4, 4}, {0, 4}});
         AddFigure(p, {{2, 0}, {2, 4}, {6, 4}, {6, 0}}, true);
         return p;
     }(), WINDING, [](LONG x, LONG y) { return y >= 0 && y < 4 && ((x >= 0 && x < 2) || (x >= 4 && x < 6)); }},
    // A one-pixel-wide band along the diagonal: points (x, y) with y <= x < y + 1.
    {"DiagonalBand", Polygon({{0, 0}, {1, 0}, {9, 8}, {8, 8}}), ALTERNATE,
     [](LONG x, LONG y) { return y >= 0 && y < 8 && x == y; }},
    // From 0.5 to 3.5: the points 1, 2 and 3 lie inside.
    {"FractionalSquare", [] {
         DevicePath p;
         p.MoveTo({8, 8});
         p.LineTo({56, 8});
         p.LineTo({56, 56});
         p.LineTo({8, 56});
         return p;
     }(), WINDING, [](LONG x, LONG y) { return x >= 1 && x <= 3 && y >= 1 && y <= 3; }},
};

void PrintTo(const FillCase& c, std::ostream* os) { *os << c.name; }

class Fill : public testing::TestWithParam<FillCase> {};

TEST_P(Fill, CoversThePixelsWhosePointsAreInside) {
    const FillCase& c = GetParam();
    const std::vector<Span> spans = FillPathSpans(c.path, c.mode);
    EXPECT_EQ(Pixels(spans), PixelsWhere(-2, -2, 12, 12, c.inside));
    // Sorted by row then column, each run as long as it goes.
    for (size_t i = 1; i < spans.size(); ++i) {
        const Span &a = spans[i - 1], &b = spans[i];
        EXPECT_TRUE(a.y < b.y || (a.y == b.y && a.right < b.left)) << "span " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(All, Fill, testing::ValuesIn(kFills),
                         [](const testing::TestParamInfo<FillCase>& info) { return info.param.name; });

TEST(Fill, StarCentreIsFilledOnlyByWinding) {
    // A five-pointed star drawn as one figure through every other corner.
    const DevicePath star = Polygon({{50, 0}, {79, 90}, {2, 35}, {97, 35}, {21, 90}});
    const PixelSet alternate = Pixels(FillPathSpans(star, ALTERNATE));
    const PixelSet winding = Pixels(FillPathSpans(star, WINDING));
    EXPECT_FALSE(alternate.count({50, 50}));
    EXPECT_TRUE(winding.count({50, 50}));
    for (const Pixel& tip : {Pixel{50, 10}, Pixel{10, 37}, Pixel{90, 37}})
        EXPECT_TRUE(alternate.count(tip) && winding.count(tip)) << tip.first << "," << tip.second;
    for (const Pixel& p : alternate) EXPECT_TRUE(winding.count(p));
}

TEST(Fill, LimitKeepsOnlyTheVisiblePixels) {
    // A triangle spanning the whole 28.4 range: its long edge x + y = -1/16
    // is a right edge, so the pixels with x + y <= -1 are inside. The
    // crossings need more than 64 bits on the way.
    DevicePath huge;
    huge.MoveTo({INT_MIN, INT_MIN});
    huge.LineTo({INT_MAX, INT_MIN});
    huge.LineTo({INT_MIN, INT_MAX});
    const RECTL limit{-4, -4, 4, 4};
    EXPECT_EQ(Pixels(FillPathSpans(huge, WINDING, limit)),
              PixelsWhere(-4, -4, 4, 4, [](LONG x, LONG y) { return x + y <= -1; }));
    EXPECT_TRUE(FillPathSpans(huge, WINDING, RECTL{4, 4, -4, -4}).empty());
}

TEST(Fill, DegenerateFiguresCoverNothing) {
    DevicePath path = Polygon({{0, 0}, {5, 0}, {9, 0}});  // flat
    AddFigure(path, {{3, 3}}, true);                        // one point
    AddFigure(path, {{1, 1}, {1, 7}}, true);                // there and back
    EXPECT_TRUE(FillPathSpans(path, ALTERNATE).empty());
    EXPECT_TRUE(FillPathSpans(DevicePath(), WINDING).empty());
}

TEST(Fill, StaircaseOfTwoMillionPoints) {
    // (0,0) (1,0) (1,1) (2,1) ... (K,K) (0,K): row y runs from the left edge
    // to the stair at x = y + 1, so it holds pixels 0..y.
    constexpr LONG K = 1000000;
    const DevicePath stairs = Staircase(K);
    const std::vector<Span> spans = FillPathSpans(stairs, ALTERNATE);
    ASSERT_EQ(spans.size(), size_t(K));
    int64_t area = 0;
    for (LONG y = 0; y < K; ++y) {
        ASSERT_EQ(spans[y].y, y);
        ASSERT_EQ(spans[y].left, 0);
        ASSERT_EQ(spans[y].right, y + 1);
        area += spans[y].right - spans[y].left;
    }
    EXPECT_EQ(area, int64_t(K) * (K + 1) / 2);
}

}  // namespace
