// Cosmetic lines: the pixels GDI steps along each segment, the last one
// left for the next segment, and the styles counted in pixels.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <vector>

#include "geometry_test_support.h"

namespace {

using namespace geometry_test;
using w32::CosmeticLineSpans;
using w32::CosmeticPen;
using w32::DevicePath;
using w32::Span;

struct SegmentCase {
    const char* name;
    POINTFIX from, to;       // 28.4
    std::vector<Pixel> pixels;  // as a person steps them
};

POINTFIX At(LONG x, LONG y) { return w32::PointFix(x, y); }

// Minor coordinates are the exact line's, halves rounding down; endpoints
// round to the nearest pixel the same way.
const SegmentCase kSegments[] = {
    {"Diagonal", At(0, 0), At(4, 4), {{0, 0}, {1, 1}, {2, 2}, {3, 3}}},
    {"DiagonalBack", At(4, 4), At(0, 0), {{4, 4}, {3, 3}, {2, 2}, {1, 1}}},
    {"Horizontal", At(0, 0), At(5, 0), {{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}}},
    {"Leftward", At(5, 2), At(1, 2), {{5, 2}, {4, 2}, {3, 2}, {2, 2}}},
    {"Vertical", At(2, 0), At(2, 3), {{2, 0}, {2, 1}, {2, 2}}},
    {"Upward", At(2, 3), At(2, 0), {{2, 3}, {2, 2}, {2, 1}}},
    // x at y = 1 is 1/3, at y = 2 it is 2/3.
    {"Steep", At(0, 0), At(1, 3), {{0, 0}, {0, 1}, {1, 2}}},
    // y at x = 2 is exactly 1/2: it rounds down, in both directions.
    {"Shallow", At(0, 0), At(4, 1), {{0, 0}, {1, 0}, {2, 0}, {3, 1}}},
    {"ShallowBack", At(4, 1), At(0, 0), {{4, 1}, {3, 1}, {2, 0}, {1, 0}}},
    // 8/16 rounds to 0, 72/16 to 4; 9/16 to 1, 73/16 to 5.
    {"HalvesRoundDown", {8, 0}, {72, 0}, {{0, 0}, {1, 0}, {2, 0}, {3, 0}}},
    {"PastHalvesRoundUp", {9, 0}, {73, 0}, {{1, 0}, {2, 0}, {3, 0}, {4, 0}}},
    {"NegativeHalves", {-8, -24}, {-40, -24}, {{-1, -2}, {-2, -2}}},
    {"SinglePoint", At(3, 3), At(3, 3), {}},
    {"WithinOnePixel", {41, 41}, {47, 47}, {}},  // both ends round to (3, 3)
};

void PrintTo(const SegmentCase& c, std::ostream* os) { *os << c.name; }

class CosmeticSegment : public testing::TestWithParam<SegmentCase> {};

TEST_P(CosmeticSegment, StepsToButNotOntoTheLastPixel) {
    const SegmentCase& c = GetParam();
    DevicePath path;
    path.MoveTo(c.from);
    path.LineTo(c.to);
    std::vector<Span> gaps{{9, 9, 10}};
    const std::vector<Span> spans = CosmeticLineSpans(path, CosmeticPen{}, &gaps);
    std::vector<Pixel> drawn;
    for (const Span& s : spans) {
        // A run within a row comes as one span, listed in drawing order.
        const bool leftward = c.to.x < c.from.x;
        for (LONG i = 0; i < s.right - s.left; ++i) drawn.push_back({leftward ? s.right - 1 - i : s.left + i, s.y});
    }
    EXPECT_EQ(drawn, c.pixels);
    EXPECT_TRUE(gaps.empty());  // a solid line has none, and the list is the call's own
}

INSTANTIATE_TEST_SUITE_P(All, CosmeticSegment, testing::ValuesIn(kSegments),
                         [](const testing::TestParamInfo<SegmentCase>& info) { return info.param.name; });

TEST(CosmeticLine, PolylineCornersAreDrawnOnce) {
    const PixelSet open = Pixels(CosmeticLineSpans(Polyline({{0, 0}, {3, 0}, {3, 3}, {0, 3}}), CosmeticPen{}));
    // Three sides of the square, the last point (0, 3) left out.
    EXPECT_EQ(open, PixelsWhere(0, 0, 4, 4, [](LONG x, LONG y) {
                  return (y == 0 && x < 3) || (x == 3 && y < 3) || (y == 3 && x > 0);
              }));
    const PixelSet closed = Pixels(CosmeticLineSpans(Polygon({{0, 0}, {3, 0}, {3, 3}, {0, 3}}), CosmeticPen{}));
    EXPECT_EQ(closed, PixelsWhere(0, 0, 4, 4, [](LONG x, LONG y) { return x == 0 || y == 0 || x == 3 || y == 3; }));
}

// Whether the pixel at distance k along a line is drawn, for a pattern of
// lengths alternately drawn and skipped, from a drawn one.
bool DrawnAt(const std::vector<int>& pattern, int64_t k) {
    int64_t period = 0;
    for (int l : pattern) period += l;
    int64_t at = k % period;
    for (size_t i = 0;; ++i) {
        if (at < pattern[i]) return i % 2 == 0;
        at -= pattern[i];
    }
}

struct StyleCase {
    const char* name;
    int style;
    std::vector<ULONG> userStyle;
    std::vector<int> pattern;  // GDI's cosmetic lengths in pixels
};

const StyleCase kStyles[] = {
    {"Solid", PS_SOLID, {}, {1, 0}},
    {"Dash", PS_DASH, {}, {18, 6}},
    {"Dot", PS_DOT, {}, {3, 3}},
    {"DashDot", PS_DASHDOT, {}, {9, 6, 3, 6}},
    {"DashDotDot", PS_DASHDOTDOT, {}, {9, 3, 3, 3, 3, 3}},
    {"Alternate", PS_ALTERNATE, {}, {1, 1}},
    {"User", PS_USERSTYLE, {4, 2, 1, 5}, {4, 2, 1, 5}},
    // An odd list runs through a second time with drawn and skipped swapped.
    {"UserOdd", PS_USERSTYLE, {2, 1, 3}, {2, 1, 3, 2, 1, 3}},
    // A zero length draws or skips nothing.
    {"UserWithZero", PS_USERSTYLE, {3, 0, 2, 4}, {5, 4}},
};

void PrintTo(const StyleCase& c, std::ostream* os) { *os << c.name; }

class CosmeticStyle : public testing::TestWithParam<StyleCase> {};

TEST_P(CosmeticStyle, DrawsDashesAndGapsOfItsLengthsAcrossSegments) {
    const StyleCase& c = GetParam();
    CosmeticPen pen;
    pen.style = c.style;
    pen.userStyle = c.userStyle;
    // Right 70 pixels, then down 50: the style runs on round the corner.
    // A second figure starts the style again.
    DevicePath path = Polyline({{0, 0}, {70, 0}, {70, 50}});
    AddFigure(path, {{0, 100}, {40, 100}}, false);
    std::vector<Span> gaps;
    const PixelSet drawn = Pixels(CosmeticLineSpans(path, pen, &gaps));
    const PixelSet skipped = Pixels(gaps);
    PixelSet expectDrawn, expectSkipped;
    auto expect = [&](LONG x, LONG y, int64_t k) { (DrawnAt(c.pattern, k) ? expectDrawn : expectSkipped).insert({x, y}); };
    for (LONG x = 0; x < 70; ++x) expect(x, 0, x);
    for (LONG y = 0; y < 50; ++y) expect(70, y, 70 + y);
    for (LONG x = 0; x < 40; ++x) expect(x, 100, x);
    EXPECT_EQ(drawn, expectDrawn);
    EXPECT_EQ(skipped, expectSkipped);
}

INSTANTIATE_TEST_SUITE_P(All, CosmeticStyle, testing::ValuesIn(kStyles),
                         [](const testing::TestParamInfo<StyleCase>& info) { return info.param.name; });

TEST(CosmeticLine, NullPenDrawsNothing) {
    CosmeticPen pen;
    pen.style = PS_NULL;
    std::vector<Span> gaps;
    EXPECT_TRUE(CosmeticLineSpans(Polyline({{0, 0}, {9, 9}}), pen, &gaps).empty());
    EXPECT_TRUE(gaps.empty());
}

TEST(CosmeticLine, LimitKeepsThePixelsAndTheStyleOfTheWholeLine) {
    CosmeticPen pen;
    pen.style = PS_DASHDOT;
    const DevicePath path = Polyline({{-30, -7}, {45, 20}, {10, 60}});
    const RECTL limit{0, 0, 25, 40};
    std::vector<Span> gaps, limitedGaps;
    PixelSet whole = Pixels(CosmeticLineSpans(path, pen, &gaps));
    PixelSet wholeGaps = Pixels(gaps);
    auto inLimit = [&](const PixelSet& set) {
        PixelSet kept;
        for (const Pixel& p : set)
            if (p.first >= limit.left && p.first < limit.right && p.second >= limit.top && p.second < limit.bottom)
                kept.insert(p);
        return kept;
    };
    EXPECT_EQ(Pixels(CosmeticLineSpans(path, pen, limit, &limitedGaps)), inLimit(whole));
    EXPECT_EQ(Pixels(limitedGaps), inLimit(wholeGaps));
    EXPECT_FALSE(inLimit(whole).empty());
}

TEST(CosmeticLine, LineAcrossTheWholeRangeCostsOnlyWhatIsVisible) {
    DevicePath path;
    path.MoveTo({INT_MIN, INT_MIN});
    path.LineTo({INT_MAX, INT_MAX});
    // The diagonal through the origin; its ends round to -2^27 and 2^27.
    EXPECT_EQ(Pixels(CosmeticLineSpans(path, CosmeticPen{}, RECTL{-3, -3, 3, 3})),
              PixelsWhere(-3, -3, 3, 3, [](LONG x, LONG y) { return x == y; }));
}

TEST(CosmeticLine, StaircaseOfTwoMillionPointsDrawsEachPixelOnce) {
    // (0,0) (1,0) (1,1) ... (K,K) (0,K), closed: each unit step draws its
    // first pixel, the two long sides K pixels each.
    constexpr LONG K = 1000000;
    DevicePath stairs = Staircase(K);
    stairs.CloseFigure();
    const std::vector<Span> spans = CosmeticLineSpans(stairs, CosmeticPen{});
    std::vector<uint64_t> pixels;
    pixels.reserve(4 * size_t(K));
    for (const Span& s : spans)
        for (LONG x = s.left; x < s.right; ++x) pixels.push_back(uint64_t(uint32_t(s.y)) << 32 | uint32_t(x));
    ASSERT_EQ(pixels.size(), 4 * size_t(K));
    std::sort(pixels.begin(), pixels.end());
    EXPECT_EQ(std::adjacent_find(pixels.begin(), pixels.end()), pixels.end());
}

}  // namespace
