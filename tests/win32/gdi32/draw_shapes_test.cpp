// Lines and shapes on a memory DC, checked pixel by pixel against sets
// worked out by hand from GDI's pixel rules.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "win32/gdi32/memory_dc_fixture.h"

using tam::test::DibPixel;
using tam::test::MemoryDCTest;
using tam::test::PixelSet;
using tam::test::RectPixels;

namespace {

class DrawShapes : public MemoryDCTest {};

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlack = RGB(0, 0, 0);

// Rectangle(2, 3, 6, 7): a 4x4 box. With a pen the outline runs through
// columns 2..5 and rows 3..6 and the brush fills the inside; without one
// the brush covers columns 2..4 and rows 3..5, one pixel short on the
// right and bottom.
TEST_F(DrawShapes, RectangleFourByFourWithPen) {
    UsePen(kBlack);
    UseBrush(kRed);
    ASSERT_TRUE(Rectangle(dc_, 2, 3, 6, 7));
    EXPECT_EQ(PixelsOf(kRed), RectPixels(3, 4, 5, 6));
    PixelSet outline = RectPixels(2, 3, 6, 7);
    for (auto p : RectPixels(3, 4, 5, 6)) outline.erase(p);
    EXPECT_EQ(PixelsOf(kBlack), outline);
}

TEST_F(DrawShapes, RectangleFourByFourWithoutPen) {
    UsePen(CLR_INVALID);
    UseBrush(kRed);
    ASSERT_TRUE(Rectangle(dc_, 2, 3, 6, 7));
    EXPECT_EQ(Drawn(), RectPixels(2, 3, 5, 6));
    // The corners in the other order draw the same.
    Clear(RGB(255, 255, 255));
    ASSERT_TRUE(Rectangle(dc_, 6, 7, 2, 3));
    EXPECT_EQ(Drawn(), RectPixels(2, 3, 5, 6));
}

TEST_F(DrawShapes, DiagonalLineCoversItsPixelsUpToTheEnd) {
    UsePen(kBlack);
    POINT previous{};
    ASSERT_TRUE(MoveToEx(dc_, 1, 2, nullptr));
    ASSERT_TRUE(LineTo(dc_, 7, 8));
    EXPECT_EQ(Drawn(), (PixelSet{{1, 2}, {2, 3}, {3, 4}, {4, 5}, {5, 6}, {6, 7}}));
    ASSERT_TRUE(MoveToEx(dc_, 0, 0, &previous));
    EXPECT_EQ(previous.x, 7);  // LineTo moved the current position to its end
    EXPECT_EQ(previous.y, 8);
    // Polyline draws the same without moving it.
    Clear(RGB(255, 255, 255));
    const POINT points[] = {{1, 2}, {7, 8}};
    ASSERT_TRUE(Polyline(dc_, points, 2));
    EXPECT_EQ(Drawn(), (PixelSet{{1, 2}, {2, 3}, {3, 4}, {4, 5}, {5, 6}, {6, 7}}));
    ASSERT_TRUE(MoveToEx(dc_, 0, 0, &previous));
    EXPECT_EQ(previous.x, 0);
    EXPECT_EQ(previous.y, 0);
}

// A square inside a square, both the same way round: the inner one is a
// hole in ALTERNATE mode (crossed twice) and filled in WINDING mode (wound
// twice). Drawn as one polygon (the two joined by a bridge run both ways,
// which cancels) and as a PolyPolygon.
struct FillModeCase {
    int mode;
    bool polyPolygon;
};
class PolygonFillMode : public DrawShapes, public testing::WithParamInterface<FillModeCase> {};

TEST_P(PolygonFillMode, NestedSquares) {
    UsePen(CLR_INVALID);
    UseBrush(kRed);
    SetPolyFillMode(dc_, GetParam().mode);
    const POINT outer[] = {{2, 2}, {12, 2}, {12, 12}, {2, 12}};
    const POINT inner[] = {{5, 5}, {9, 5}, {9, 9}, {5, 9}};
    if (GetParam().polyPolygon) {
        POINT points[8];
        std::copy(outer, outer + 4, points);
        std::copy(inner, inner + 4, points + 4);
        const INT counts[] = {4, 4};
        ASSERT_TRUE(PolyPolygon(dc_, points, counts, 2));
    } else {
        const POINT points[] = {{2, 2}, {12, 2}, {12, 12}, {2, 12}, {2, 2}, {5, 5}, {9, 5}, {9, 9}, {5, 9}, {5, 5}};
        ASSERT_TRUE(Polygon(dc_, points, 10));
    }
    PixelSet expected = RectPixels(2, 2, 12, 12);
    if (GetParam().mode == ALTERNATE)
        for (auto p : RectPixels(5, 5, 9, 9)) expected.erase(p);
    EXPECT_EQ(Drawn(), expected);
}

INSTANTIATE_TEST_SUITE_P(All, PolygonFillMode,
                         testing::Values(FillModeCase{ALTERNATE, false}, FillModeCase{WINDING, false},
                                         FillModeCase{ALTERNATE, true}, FillModeCase{WINDING, true}));

// Ellipse(4, 2, 26, 20): with its pen it reaches exactly columns 4..25 and
// rows 2..19 (the compatible rule's box, one short on the right and
// bottom); the brush alone covers what lies well inside the ellipse of
// that box and nothing well outside it, and the picture is the same
// turned half round about the box's centre.
TEST_F(DrawShapes, EllipseBoundsShapeAndSymmetry) {
    UsePen(kBlack);
    UseBrush(kRed);
    ASSERT_TRUE(Ellipse(dc_, 4, 2, 26, 20));
    const PixelSet drawn = Drawn();
    ASSERT_FALSE(drawn.empty());
    LONG minX = 1000, maxX = -1, minY = 1000, maxY = -1;
    for (auto [x, y] : drawn) {
        minX = std::min(minX, x), maxX = std::max(maxX, x);
        minY = std::min(minY, y), maxY = std::max(maxY, y);
    }
    EXPECT_EQ(minX, 4);
    EXPECT_EQ(maxX, 25);
    EXPECT_EQ(minY, 2);
    EXPECT_EQ(maxY, 19);
    size_t unmatched = 0;
    for (auto [x, y] : drawn) unmatched += !drawn.count({4 + 25 - x, 2 + 19 - y});
    EXPECT_LE(unmatched, drawn.size() / 50) << "the ellipse is lopsided";

    UsePen(CLR_INVALID);
    Clear(RGB(255, 255, 255));
    ASSERT_TRUE(Ellipse(dc_, 4, 2, 26, 20));
    const double cx = (4 + 25) / 2.0, cy = (2 + 19) / 2.0, rx = (25 - 4) / 2.0, ry = (19 - 2) / 2.0;
    for (LONG y = 0; y < kHeight; ++y)
        for (LONG x = 0; x < kWidth; ++x) {
            const double d = std::hypot((x - cx) / rx, (y - cy) / ry);
            if (d < 0.85) {
                EXPECT_EQ(Pixel(x, y), DibPixel(kRed)) << x << "," << y;
            }
            if (d > 1.1) {
                EXPECT_NE(Pixel(x, y), DibPixel(kRed)) << x << "," << y;
            }
        }
}

// R2_XORPEN twice gives the picture back; once, it changed it.
TEST_F(DrawShapes, XorDrawingTwiceRestoresTheImage) {
    for (LONG i = 0; i < kWidth * kHeight; ++i) bits_[i] = DWORD(i * 2654435761u) & 0xffffff;
    const std::vector<DWORD> before(bits_, bits_ + kWidth * kHeight);
    UsePen(RGB(0x12, 0x34, 0x56));
    UseBrush(RGB(0xa0, 0x0f, 0x5c));
    SetROP2(dc_, R2_XORPEN);
    const POINT triangle[] = {{3, 20}, {15, 1}, {29, 17}};
    auto draw = [&] {
        ASSERT_TRUE(Rectangle(dc_, 2, 2, 12, 9));
        ASSERT_TRUE(MoveToEx(dc_, 0, 23, nullptr));
        ASSERT_TRUE(LineTo(dc_, 31, 0));
        ASSERT_TRUE(Polygon(dc_, triangle, 3));
    };
    draw();
    EXPECT_NE(std::vector<DWORD>(bits_, bits_ + kWidth * kHeight), before);
    draw();
    EXPECT_EQ(std::vector<DWORD>(bits_, bits_ + kWidth * kHeight), before);
}

// FillRect paints its rectangle with the brush given, whatever is selected;
// FrameRect a border one pixel wide; InvertRect flips every bit.
TEST_F(DrawShapes, FillFrameAndInvertRect) {
    UseBrush(RGB(0, 255, 0));
    HBRUSH red = CreateSolidBrush(kRed);
    const RECT box{3, 4, 9, 8};
    EXPECT_NE(FillRect(dc_, &box, red), 0);
    EXPECT_EQ(PixelsOf(kRed), RectPixels(3, 4, 9, 8));
    Clear(RGB(255, 255, 255));
    EXPECT_NE(FrameRect(dc_, &box, red), 0);
    PixelSet frame = RectPixels(3, 4, 9, 8);
    for (auto p : RectPixels(4, 5, 8, 7)) frame.erase(p);
    EXPECT_EQ(PixelsOf(kRed), frame);
    EXPECT_TRUE(InvertRect(dc_, &box));
    EXPECT_EQ(PixelsOf(RGB(0, 255, 255)), frame);          // red inverted
    EXPECT_EQ(PixelsOf(kBlack), RectPixels(4, 5, 8, 7));  // white inverted
    // A system colour index plus one stands for that colour's brush; 25
    // names no colour and so is no brush.
    EXPECT_NE(FillRect(dc_, &box, HBRUSH(uintptr_t(COLOR_HIGHLIGHT + 1))), 0);
    EXPECT_EQ(PixelsOf(RGB(0, 120, 215)), RectPixels(3, 4, 9, 8));
    SetLastError(0);
    EXPECT_EQ(FillRect(dc_, &box, HBRUSH(uintptr_t(25 + 1))), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
    DeleteObject(red);
}

}  // namespace
