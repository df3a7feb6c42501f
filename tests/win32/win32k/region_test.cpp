// Regions: GDI's y-x banded rectangles, their arithmetic, and the clipping
// of spans and rectangles by them.
#include <gtest/gtest.h>
#include <windows.h>

#include <climits>
#include <vector>

#include "win32k/region.h"

namespace {

using w32::Region;
using w32::Span;

bool operator==(const RECTL& a, const RECTL& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
bool SameSpans(const std::vector<Span>& a, const std::vector<Span>& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i].y != b[i].y || a[i].left != b[i].left || a[i].right != b[i].right) return false;
    return true;
}

// Two 4x4 squares overlapping in the 2x2 square (2,2)-(4,4). The expected
// rectangles are the bands a person draws: cut wherever a top or bottom
// edge starts or ends, each band's rectangles from left to right.
const Region kA(RECTL{0, 0, 4, 4});
const Region kB(RECTL{2, 2, 6, 6});

struct Combination {
    const char* name;
    Region (Region::*op)(const Region&) const;
    std::vector<RECTL> rects;
};

const Combination kCombinations[] = {
    {"Union", &Region::Union, {{0, 0, 4, 2}, {0, 2, 6, 4}, {2, 4, 6, 6}}},
    {"Intersect", &Region::Intersect, {{2, 2, 4, 4}}},
    {"Subtract", &Region::Subtract, {{0, 0, 4, 2}, {0, 2, 2, 4}}},
    {"Xor", &Region::Xor, {{0, 0, 4, 2}, {0, 2, 2, 4}, {4, 2, 6, 4}, {2, 4, 6, 6}}},
};

class RegionCombination : public testing::TestWithParam<Combination> {};

TEST_P(RegionCombination, GivesTheBandedRectangles) {
    const Combination& c = GetParam();
    const Region result = (kA.*c.op)(kB);
    const std::vector<RECTL> rects = result.Rects();
    ASSERT_EQ(rects.size(), c.rects.size());
    for (size_t i = 0; i < rects.size(); ++i) EXPECT_TRUE(rects[i] == c.rects[i]) << i;
    EXPECT_EQ(result, Region::FromRects(c.rects));
    EXPECT_EQ(result.Complexity(), c.rects.size() == 1 ? SIMPLEREGION : COMPLEXREGION);
}

INSTANTIATE_TEST_SUITE_P(All, RegionCombination, testing::ValuesIn(kCombinations),
                         [](const testing::TestParamInfo<Combination>& info) { return info.param.name; });

TEST(Region, EmptyAndInvertedRectanglesAreEmpty) {
    for (const RECTL& r : {RECTL{0, 0, 0, 5}, RECTL{0, 0, 5, 0}, RECTL{5, 0, 0, 5}, RECTL{0, 5, 5, 0}}) {
        const Region region(r);
        EXPECT_TRUE(region.Empty());
        EXPECT_EQ(region.Complexity(), NULLREGION);
        EXPECT_TRUE(region.Bounds() == (RECTL{0, 0, 0, 0}));
        EXPECT_EQ(region, Region());
    }
    EXPECT_TRUE(kA.Subtract(kA).Empty());
    EXPECT_TRUE(Region(RECTL{0, 0, 2, 2}).Intersect(Region(RECTL{2, 0, 4, 2})).Empty());  // touching edges share no pixel
}

TEST(Region, ContainsThePixelsOfItsHalfOpenRectangles) {
    const Region u = kA.Union(kB);
    struct Probe { LONG x, y; bool inside; };
    for (const Probe& p : {Probe{0, 0, true}, Probe{3, 3, true}, Probe{5, 5, true}, Probe{4, 0, false},
                           Probe{0, 4, false}, Probe{6, 5, false}, Probe{5, 6, false}, Probe{1, 5, false},
                           Probe{-1, 0, false}})
        EXPECT_EQ(u.Contains(p.x, p.y), p.inside) << p.x << "," << p.y;
    EXPECT_TRUE(u.Intersects(RECTL{5, 5, 9, 9}));
    EXPECT_FALSE(u.Intersects(RECTL{4, 0, 9, 2}));      // right of the top band
    EXPECT_FALSE(u.Intersects(RECTL{3, 3, 3, 9}));      // an empty rectangle meets nothing
    EXPECT_FALSE(u.Intersects(RECTL{INT_MAX - 1, 0, INT_MAX, 9}));  // beyond the range kept
}

TEST(Region, FromSpansMergesTouchingAndOverlappingRuns) {
    const std::vector<Span> spans = {{0, 0, 2}, {0, 2, 4}, {1, 1, 3}, {1, 0, 4}, {2, 7, 7}};
    const Region region = Region::FromSpans(spans);
    const std::vector<RECTL> rects = region.Rects();
    ASSERT_EQ(rects.size(), 1u);  // two full rows make one rectangle; the empty span adds nothing
    EXPECT_TRUE(rects[0] == (RECTL{0, 0, 4, 2}));
}

TEST(Region, OffsetMovesEveryRectangle) {
    Region u = kA.Union(kB);
    u.Offset(10, -3);
    const Region expected = Region(RECTL{10, -3, 14, 1}).Union(Region(RECTL{12, -1, 16, 3}));
    EXPECT_EQ(u, expected);
    EXPECT_TRUE(u.Bounds() == (RECTL{10, -3, 16, 3}));
}

TEST(Region, OffsetPastTheRangeDropsThePixelsMovedOut) {
    Region r(RECTL{0, 0, 10, 10});
    r.Offset(INT_MAX - 5, 0);
    EXPECT_TRUE(r.Empty());
    EXPECT_TRUE(r.Union(kA) == kA);  // and it still takes part in arithmetic
    Region half(RECTL{0, 0, 10, 10});
    half.Offset(INT_MAX / 2 - 5, -(INT_MAX / 2));  // the right half passes the end of the range
    EXPECT_TRUE(half.Bounds() == (RECTL{INT_MAX / 2 - 5, -(INT_MAX / 2), INT_MAX / 2, -(INT_MAX / 2) + 10}));
}

TEST(Region, ClipCutsSpansToTheBandsTheyCross) {
    // Two rectangles in one band, and a lower band.
    const Region region = Region::FromRects(std::vector<RECTL>{{0, 0, 2, 2}, {4, 0, 6, 2}, {10, 0, 12, 2}, {1, 2, 3, 3}});
    const std::vector<Span> spans = {{1, 1, 11}, {0, -5, 1}, {2, 0, 10}, {3, 0, 10}, {-1, 0, 10}, {1, 2, 4}, {0, 5, 5}};
    const std::vector<Span> expected = {{1, 1, 2}, {1, 4, 6}, {1, 10, 11}, {0, 0, 1}, {2, 1, 3}};
    EXPECT_TRUE(SameSpans(region.Clip(spans), expected));
    EXPECT_TRUE(Region().Clip(spans).empty());
}

TEST(Region, ClipRectGivesTheRectanglesInside) {
    const std::vector<RECTL> rects = kA.Union(kB).ClipRect(RECTL{1, 1, 5, 5});
    const std::vector<RECTL> expected = {{1, 1, 4, 2}, {1, 2, 5, 4}, {2, 4, 5, 5}};
    ASSERT_EQ(rects.size(), expected.size());
    for (size_t i = 0; i < rects.size(); ++i) EXPECT_TRUE(rects[i] == expected[i]) << i;
    EXPECT_TRUE(kA.ClipRect(RECTL{5, 5, 1, 1}).empty());
}

TEST(Region, CopiesAndMovesKeepTheirOwnRectangles) {
    Region a = kA;
    Region b = std::move(a);
    EXPECT_EQ(b, kA);
    EXPECT_TRUE(a.Empty());  // a moved-from region is empty and usable
    a = kB;
    b = a;
    a.Offset(1, 1);
    EXPECT_EQ(b, kB);
    const Region& same = b;
    b = same;
    EXPECT_EQ(b, kB);
}

}  // namespace
