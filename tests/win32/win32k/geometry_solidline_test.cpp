// Solid cosmetic lines handed to a sink (SolidCosmeticLine, what a memory
// DC's solid lines are drawn with): the same pixels as CosmeticLineSpans
// gives for a solid pen, inside the same limit, on many lines of every
// slope; and only for paths of lines each starting with PT_MOVETO.
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <random>
#include <set>
#include <vector>

#include "geometry_test_support.h"

namespace {

using namespace geometry_test;
using w32::CosmeticLineSpans;
using w32::CosmeticPen;
using w32::DevicePath;

// Gathers what the sink is given, checking each run is a real one inside the limit.
class Collector final : public w32::LinePixelSink {
public:
    explicit Collector(const RECTL& limit) : limit_(limit) {}

    void Row(LONG y, LONG left, LONG right) override {
        EXPECT_LT(left, right);
        Check(left, y), Check(right - 1, y);
        for (LONG x = left; x < right; ++x) pixels.insert({x, y});
        ++calls;
    }
    void Column(LONG x, LONG top, LONG bottom) override {
        EXPECT_LT(top, bottom);
        Check(x, top), Check(x, bottom - 1);
        for (LONG y = top; y < bottom; ++y) pixels.insert({x, y});
        ++calls;
    }

    PixelSet pixels;
    int calls = 0;

private:
    void Check(LONG x, LONG y) const {
        EXPECT_TRUE(x >= limit_.left && x < limit_.right && y >= limit_.top && y < limit_.bottom)
            << "pixel " << x << "," << y << " outside the limit";
    }
    RECTL limit_;
};

// The pixels of spans, a pixel that comes twice (where lines cross) once.
PixelSet Union(const std::vector<w32::Span>& spans) {
    PixelSet pixels;
    for (const w32::Span& s : spans)
        for (LONG x = s.left; x < s.right; ++x) pixels.insert({x, s.y});
    return pixels;
}

PixelSet SolidPixels(const DevicePath& path, const RECTL& limit) {
    Collector sink(limit);
    EXPECT_TRUE(w32::SolidCosmeticLine(path, limit, sink));
    return sink.pixels;
}

constexpr RECTL kEverywhere{INT_MIN, INT_MIN, INT_MAX, INT_MAX};

// Figures of two to five points in 28.4 anywhere around a 64 x 48 box
// (fractions included, so endpoints and halves round), some closed, cut by
// limits inside, across and outside the box: the sink sees exactly the
// pixels of the span list.
TEST(SolidCosmeticLine, GivesThePixelsOfTheSpanListForAnyLineAndLimit) {
    std::mt19937 random(20240611);
    std::uniform_int_distribution<LONG> coordinate(-40 * 16, 104 * 16), count(2, 5), figures(1, 3), coin(0, 1);
    std::uniform_int_distribution<LONG> edge(-10, 70);
    for (int round = 0; round < 3000; ++round) {
        DevicePath path;
        const LONG figureCount = figures(random);
        for (LONG f = 0; f < figureCount; ++f) {
            const LONG points = count(random);
            for (LONG i = 0; i < points; ++i) {
                POINTFIX p{coordinate(random), coordinate(random)};
                // Lines along an axis often: the runs and columns.
                if (i > 0 && coin(random)) {
                    if (coin(random)) p.x = path.points.back().x;
                    else p.y = path.points.back().y;
                }
                if (i == 0) path.MoveTo(p);
                else path.LineTo(p);
            }
            if (coin(random)) path.CloseFigure();
        }
        RECTL limit = kEverywhere;
        if (round % 4) {
            LONG a = edge(random), b = edge(random), c = edge(random), d = edge(random);
            limit = RECTL{std::min(a, b), std::min(c, d), std::max(a, b), std::max(c, d)};
        }
        const PixelSet expected = Union(CosmeticLineSpans(path, CosmeticPen{}, limit));
        ASSERT_EQ(SolidPixels(path, limit), expected) << "round " << round;
    }
}

TEST(SolidCosmeticLine, AxisLinesComeAsOneRunOrColumnEach) {
    const DevicePath path = Polyline({{2, 3}, {40, 3}, {40, 30}, {10, 30}, {10, 4}});
    Collector sink(kEverywhere);
    ASSERT_TRUE(w32::SolidCosmeticLine(path, kEverywhere, sink));
    EXPECT_EQ(sink.calls, 4);
    EXPECT_EQ(sink.pixels, Union(CosmeticLineSpans(path, CosmeticPen{})));
}

TEST(SolidCosmeticLine, AnEmptyLimitOrPathDrawsNothing) {
    Collector sink(kEverywhere);
    EXPECT_TRUE(w32::SolidCosmeticLine(Polyline({{0, 0}, {9, 9}}), RECTL{5, 5, 5, 9}, sink));
    EXPECT_TRUE(w32::SolidCosmeticLine(DevicePath{}, kEverywhere, sink));
    EXPECT_EQ(sink.calls, 0);
}

// Paths the engine's PATHOBJ or the flattening would change are refused,
// with nothing drawn: Béziers, a figure not started by PT_MOVETO, a line
// after a closed figure, a closing PT_MOVETO, unequal point and type counts.
TEST(SolidCosmeticLine, RefusesPathsThatAreNotPlainLines) {
    std::vector<DevicePath> refused;
    DevicePath curve;
    curve.MoveTo(w32::PointFix(0, 0));
    curve.BezierTo(w32::PointFix(4, 0), w32::PointFix(8, 4), w32::PointFix(8, 8));
    refused.push_back(curve);
    DevicePath noMove;
    noMove.LineTo(w32::PointFix(0, 0));
    noMove.LineTo(w32::PointFix(5, 0));
    refused.push_back(noMove);
    DevicePath afterClose = Polygon({{0, 0}, {5, 0}, {5, 5}});
    afterClose.LineTo(w32::PointFix(9, 9));
    refused.push_back(afterClose);
    DevicePath closedMove;
    closedMove.MoveTo(w32::PointFix(1, 1));
    closedMove.CloseFigure();
    closedMove.LineTo(w32::PointFix(6, 1));
    refused.push_back(closedMove);
    DevicePath uneven = Polyline({{0, 0}, {5, 0}});
    uneven.types.pop_back();
    refused.push_back(uneven);
    for (size_t i = 0; i < refused.size(); ++i) {
        Collector sink(kEverywhere);
        EXPECT_FALSE(w32::SolidCosmeticLine(refused[i], kEverywhere, sink)) << "path " << i;
        EXPECT_EQ(sink.calls, 0) << "path " << i;
    }
    // Closed figures one after another, each with its PT_MOVETO, are plain lines.
    DevicePath two = Polygon({{0, 0}, {5, 0}, {5, 5}});
    AddFigure(two, {{10, 10}, {20, 10}, {20, 20}}, true);
    EXPECT_EQ(SolidPixels(two, kEverywhere), Union(CosmeticLineSpans(two, CosmeticPen{})));
}

}  // namespace
