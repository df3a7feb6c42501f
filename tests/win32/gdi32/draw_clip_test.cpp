// Clipping: what a fill of the whole surface leaves painted under a clip
// made of a rectangle, a region of two rectangles, or a path; and what the
// clip queries answer.
#include <cmath>

#include "win32/gdi32/memory_dc_fixture.h"

using tam::test::DibPixel;
using tam::test::MemoryDCTest;
using tam::test::PixelSet;
using tam::test::RectPixels;

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);

class DrawClip : public MemoryDCTest {
protected:
    void FillAll() {
        HBRUSH red = CreateSolidBrush(kRed);
        const RECT all{0, 0, kWidth, kHeight};
        ASSERT_NE(FillRect(dc_, &all, red), 0);
        DeleteObject(red);
    }
};

// IntersectClipRect takes logical coordinates: with the viewport moved by
// (3, 2), the logical rectangle (1, 1)-(5, 4) is device pixels (4, 3)-(8, 6).
// GetClipBox answers in logical coordinates again.
TEST_F(DrawClip, ByARectangleInLogicalCoordinates) {
    SetViewportOrgEx(dc_, 3, 2, nullptr);
    EXPECT_EQ(IntersectClipRect(dc_, 1, 1, 5, 4), SIMPLEREGION);
    FillAll();
    EXPECT_EQ(Drawn(), RectPixels(4, 3, 8, 6));
    RECT box{};
    EXPECT_EQ(GetClipBox(dc_, &box), SIMPLEREGION);
    EXPECT_EQ(box.left, 1);
    EXPECT_EQ(box.top, 1);
    EXPECT_EQ(box.right, 5);
    EXPECT_EQ(box.bottom, 4);
    EXPECT_TRUE(PtVisible(dc_, 1, 1));
    EXPECT_FALSE(PtVisible(dc_, 5, 1));
    const RECT outside{6, 0, 9, 9};
    EXPECT_FALSE(RectVisible(dc_, &outside));
    // Excluding a part of it.
    Clear(RGB(255, 255, 255));
    EXPECT_EQ(ExcludeClipRect(dc_, 2, 1, 3, 4), COMPLEXREGION);
    FillAll();
    PixelSet expected = RectPixels(4, 3, 8, 6);
    for (auto p : RectPixels(5, 3, 6, 6)) expected.erase(p);
    EXPECT_EQ(Drawn(), expected);
}

TEST_F(DrawClip, ByARegionOfTwoRectanglesThenNone) {
    HRGN first = CreateRectRgn(1, 1, 5, 4), second = CreateRectRgn(10, 6, 13, 12);
    HRGN both = CreateRectRgn(0, 0, 0, 0);
    CombineRgn(both, first, second, RGN_OR);
    EXPECT_EQ(SelectClipRgn(dc_, both), COMPLEXREGION);
    DeleteObject(both);  // the DC keeps its own copy
    FillAll();
    PixelSet expected = RectPixels(1, 1, 5, 4);
    for (auto p : RectPixels(10, 6, 13, 12)) expected.insert(p);
    EXPECT_EQ(Drawn(), expected);
    HRGN copy = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetClipRgn(dc_, copy), 1);
    CombineRgn(first, first, second, RGN_OR);
    EXPECT_TRUE(EqualRgn(copy, first));
    EXPECT_EQ(SelectClipRgn(dc_, nullptr), SIMPLEREGION);
    EXPECT_EQ(GetClipRgn(dc_, copy), 0);
    RECT box{};
    EXPECT_EQ(GetClipBox(dc_, &box), SIMPLEREGION);
    EXPECT_EQ(box.right, kWidth);
    EXPECT_EQ(box.bottom, kHeight);
    // RGN_DIFF with no clip takes away from the whole surface.
    EXPECT_EQ(ExtSelectClipRgn(dc_, second, RGN_DIFF), COMPLEXREGION);
    Clear(RGB(255, 255, 255));
    FillAll();
    EXPECT_EQ(Drawn().size(), size_t(kWidth * kHeight - 3 * 6));
    SetLastError(0);
    EXPECT_EQ(ExtSelectClipRgn(dc_, nullptr, RGN_AND), ERROR);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    DeleteObject(first);
    DeleteObject(second);
    DeleteObject(copy);
}

// SelectClipPath of an ellipse: the fill reaches what lies well inside the
// ellipse of the compatible box (4..25 x 2..19) and nothing well outside.
TEST_F(DrawClip, ByAnEllipsePath) {
    ASSERT_TRUE(BeginPath(dc_));
    ASSERT_TRUE(Ellipse(dc_, 4, 2, 26, 20));
    ASSERT_TRUE(EndPath(dc_));
    ASSERT_TRUE(SelectClipPath(dc_, RGN_COPY));
    FillAll();
    const double cx = (4 + 25) / 2.0, cy = (2 + 19) / 2.0, rx = (25 - 4) / 2.0, ry = (19 - 2) / 2.0;
    for (LONG y = 0; y < kHeight; ++y)
        for (LONG x = 0; x < kWidth; ++x) {
            const double d = std::hypot((x - cx) / rx, (y - cy) / ry);
            if (d < 0.9) {
                EXPECT_EQ(Pixel(x, y), DibPixel(kRed)) << x << "," << y;
            }
            if (d > 1.1) {
                EXPECT_NE(Pixel(x, y), DibPixel(kRed)) << x << "," << y;
            }
        }
    // The path was used up.
    SetLastError(0);
    EXPECT_FALSE(SelectClipPath(dc_, RGN_COPY));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_CAN_NOT_COMPLETE));
}

}  // namespace
