// Blits between memory DCs and from a program's DIB: straight copies,
// stretches in COLORONCOLOR (each destination pixel takes the source pixel
// under its centre: floor((k + 0.5) * source / destination)), mirrors and
// ROPs that read no source.
#include <cmath>
#include <vector>

#include "win32/gdi32/memory_dc_fixture.h"

using tam::test::DibPixel;
using tam::test::MemoryDCTest;
using tam::test::RectPixels;

namespace {

// A colour for each source pixel, all different.
COLORREF SourceColor(LONG x, LONG y) { return RGB(40 + 60 * x, 30 + 70 * y, 200 - 20 * (x + y)); }

class DrawBlit : public MemoryDCTest {
protected:
    void SetUp() override {
        MemoryDCTest::SetUp();
        source_ = MakeSurface(3, 3, sourceBits_, sourceBitmap_);
        for (LONG y = 0; y < 3; ++y)
            for (LONG x = 0; x < 3; ++x) sourceBits_[y * 3 + x] = DibPixel(SourceColor(x, y));
    }
    void TearDown() override {
        DeleteDC(source_);
        DeleteObject(sourceBitmap_);
        MemoryDCTest::TearDown();
    }
    HDC source_ = nullptr;
    HBITMAP sourceBitmap_ = nullptr;
    DWORD* sourceBits_ = nullptr;
};

TEST_F(DrawBlit, BitBltCopiesAndCutsTheSourceToItsBitmap) {
    ASSERT_TRUE(BitBlt(dc_, 5, 4, 3, 3, source_, 0, 0, SRCCOPY));
    for (LONG y = 0; y < 3; ++y)
        for (LONG x = 0; x < 3; ++x) EXPECT_EQ(Pixel(5 + x, 4 + y), DibPixel(SourceColor(x, y)));
    EXPECT_EQ(Drawn(), RectPixels(5, 4, 8, 7));
    // A rectangle reaching past the source copies only what the source has.
    Clear(RGB(255, 255, 255));
    ASSERT_TRUE(BitBlt(dc_, 10, 10, 5, 5, source_, 1, 1, SRCCOPY | NOMIRRORBITMAP));
    EXPECT_EQ(Drawn(), RectPixels(10, 10, 12, 12));
    EXPECT_EQ(Pixel(10, 10), DibPixel(SourceColor(1, 1)));
}

struct StretchCase {
    int wDest, hDest;  // negative: mirrored
};
class StretchColorOnColor : public DrawBlit, public testing::WithParamInterface<StretchCase> {};

TEST_P(StretchColorOnColor, EachPixelTakesTheSourcePixelUnderItsCentre) {
    const int wd = GetParam().wDest, hd = GetParam().hDest;
    const LONG left = wd < 0 ? 2 - wd : 2, top = hd < 0 ? 3 - hd : 3;
    SetStretchBltMode(dc_, COLORONCOLOR);
    ASSERT_TRUE(StretchBlt(dc_, left, top, wd, hd, source_, 0, 0, 3, 3, SRCCOPY));
    const LONG w = std::abs(wd), h = std::abs(hd), x0 = std::min<LONG>(left, left + wd),
               y0 = std::min<LONG>(top, top + hd);
    EXPECT_EQ(Drawn(), RectPixels(x0, y0, x0 + w, y0 + h));
    for (LONG k = 0; k < h; ++k)
        for (LONG j = 0; j < w; ++j) {
            LONG sx = LONG(std::floor((j + 0.5) * 3 / w)), sy = LONG(std::floor((k + 0.5) * 3 / h));
            if (wd < 0) sx = 2 - sx;
            if (hd < 0) sy = 2 - sy;
            EXPECT_EQ(Pixel(x0 + j, y0 + k), DibPixel(SourceColor(sx, sy))) << j << "," << k;
        }
}

INSTANTIATE_TEST_SUITE_P(All, StretchColorOnColor,
                         testing::Values(StretchCase{7, 5}, StretchCase{-7, 5}, StretchCase{7, -5},
                                         StretchCase{2, 2}));

// ROPs that read no source take no source DC; PatBlt refuses one that does.
TEST_F(DrawBlit, RopsWithoutSource) {
    UseBrush(RGB(255, 0, 0));
    ASSERT_TRUE(BitBlt(dc_, 1, 1, 4, 3, nullptr, 0, 0, BLACKNESS));
    EXPECT_EQ(PixelsOf(RGB(0, 0, 0)), RectPixels(1, 1, 5, 4));
    ASSERT_TRUE(PatBlt(dc_, 3, 2, 4, 4, PATCOPY));
    EXPECT_EQ(PixelsOf(RGB(255, 0, 0)), RectPixels(3, 2, 7, 6));
    ASSERT_TRUE(PatBlt(dc_, 0, 0, 2, 2, DSTINVERT));
    EXPECT_EQ(Pixel(0, 0), DibPixel(RGB(0, 0, 0)));
    EXPECT_EQ(Pixel(1, 1), DibPixel(RGB(255, 255, 255)));  // black inverted
    SetLastError(0);
    EXPECT_FALSE(PatBlt(dc_, 0, 0, 2, 2, SRCCOPY));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    SetLastError(0);
    EXPECT_FALSE(BitBlt(dc_, 0, 0, 2, 2, nullptr, 0, 0, SRCCOPY));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
}

// A bottom-up DIB's first row is its bottom one: StretchDIBits counts the
// source from there, and answers the rows it copied.
TEST_F(DrawBlit, StretchDIBitsOfABottomUpDib) {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), 2, 3, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    // Stored bottom row first.
    const DWORD bits[] = {DibPixel(RGB(1, 0, 0)), DibPixel(RGB(2, 0, 0)), DibPixel(RGB(3, 0, 0)),
                          DibPixel(RGB(4, 0, 0)), DibPixel(RGB(5, 0, 0)), DibPixel(RGB(6, 0, 0))};
    EXPECT_EQ(StretchDIBits(dc_, 4, 4, 2, 3, 0, 0, 2, 3, bits, &info, DIB_RGB_COLORS, SRCCOPY), 3);
    EXPECT_EQ(Pixel(4, 4), DibPixel(RGB(5, 0, 0)));  // the top row is the last stored
    EXPECT_EQ(Pixel(5, 6), DibPixel(RGB(2, 0, 0)));
    // The lower two rows only, from the bottom.
    Clear(RGB(255, 255, 255));
    EXPECT_EQ(StretchDIBits(dc_, 0, 0, 2, 2, 0, 0, 2, 2, bits, &info, DIB_RGB_COLORS, SRCCOPY), 2);
    EXPECT_EQ(Pixel(0, 0), DibPixel(RGB(3, 0, 0)));
    EXPECT_EQ(Pixel(1, 1), DibPixel(RGB(2, 0, 0)));
    // SetDIBitsToDevice of a band of one row (the DIB's second stored row).
    Clear(RGB(255, 255, 255));
    EXPECT_EQ(SetDIBitsToDevice(dc_, 8, 8, 2, 3, 0, 0, 1, 1, bits + 2, &info, DIB_RGB_COLORS), 1);
    EXPECT_EQ(Drawn(), RectPixels(8, 9, 10, 10));  // the middle row of the 2x3 rectangle
    EXPECT_EQ(Pixel(8, 9), DibPixel(RGB(3, 0, 0)));
}

}  // namespace
