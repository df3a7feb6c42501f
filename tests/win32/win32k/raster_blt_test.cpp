// Blits between and within bitmaps: scrolling a bitmap onto itself,
// colour translation, and rectangles partly outside the bitmaps.
#include "raster_fixture.h"

namespace {

using namespace rastertest;
namespace raster = w32::raster;

struct Scroll { const char* name; LONG dx, dy; };
const Scroll kScrolls[] = {{"Up", 0, -1}, {"Down", 0, 2}, {"Left", -3, 0}, {"Right", 1, 0}, {"Diagonal", 2, 1}};

// The whole bitmap moved by (dx, dy) onto itself, through two clip
// rectangles: each pixel must come from the picture as it was before.
TEST(BitBltOverlap, ScrollingWithinOneBitmapReadsTheOriginal) {
    for (const Format& f : {kFormats[0], kFormats[1], kFormats[2], kFormats[5], kFormats[6]}) {
        for (const Scroll& s : kScrolls) {
            OwnedBitmap bitmap(f, 11, 7);
            std::mt19937 random(5);
            bitmap.Randomize(random);
            const std::vector<ULONG> before = bitmap.Pixels();
            const RECTL clip[] = {{0, 0, 11, 3}, {0, 3, 11, 7}};
            for (BYTE rop : {BYTE(0xCC), BYTE(0x66)}) {
                OwnedBitmap copy(f, 11, 7);
                for (LONG y = 0; y < 7; ++y)
                    for (LONG x = 0; x < 11; ++x) copy.Set(x, y, before[size_t(y * 11 + x)]);
                raster::BitBlt(copy.bitmap, {s.dx, s.dy, 11 + s.dx, 7 + s.dy}, {&copy.bitmap, nullptr}, {0, 0},
                               nullptr, {}, nullptr, ULONG(rop | rop << 8), clip);
                for (LONG y = 0; y < 7; ++y)
                    for (LONG x = 0; x < 11; ++x) {
                        const LONG sx = x - s.dx, sy = y - s.dy;
                        const ULONG d = before[size_t(y * 11 + x)];
                        const bool covered = sx >= 0 && sx < 11 && sy >= 0 && sy < 7;
                        const ULONG expected =
                            covered ? Rop3Oracle(rop, 0, before[size_t(sy * 11 + sx)], d, f.Bits()) : d;
                        ASSERT_EQ(copy.At(x, y), expected) << f.name << " " << s.name << " rop " << int(rop) << " at "
                                                            << x << "," << y;
                    }
                EXPECT_TRUE(copy.GuardsIntact());
            }
        }
    }
}

// A destination rectangle and source origin reaching past every edge:
// only the pixels with both a destination and a source pixel are drawn.
TEST(BitBltClipping, RectanglesOutsideTheBitmapsDrawOnlyTheOverlap) {
    for (const Format& f : kFormats) {
        OwnedBitmap destination(f, 6, 5), source(f, 4, 4);
        std::mt19937 random(9);
        destination.Randomize(random), source.Randomize(random);
        const std::vector<ULONG> before = destination.Pixels();
        const RECTL clip[] = {{-100, -100, 100, 100}};
        // Destination (-2,-3) shows source (-1,-1).
        raster::BitBlt(destination.bitmap, {-2, -3, 20, 20}, {&source.bitmap, nullptr}, {-1, -1}, nullptr, {},
                       nullptr, 0x3333, clip);
        for (LONG y = 0; y < 5; ++y)
            for (LONG x = 0; x < 6; ++x) {
                const LONG sx = x + 1, sy = y + 2;
                const bool covered = sx < 4 && sy < 4;
                const ULONG expected = covered ? ~source.At(sx, sy) & source.Mask() : before[size_t(y * 6 + x)];
                ASSERT_EQ(destination.At(x, y), expected) << f.name << " at " << x << "," << y;
            }
        EXPECT_TRUE(destination.GuardsIntact());
        // Stretching and blending past every edge stay inside the memory too.
        const BLENDFUNCTION half{AC_SRC_OVER, 0, 128, 0};
        raster::StretchBlt(destination.bitmap, {30, -40, -30, 40}, {&source.bitmap, nullptr}, {-5, 9, 9, -5},
                           HALFTONE, nullptr, 0xCC, clip);
        raster::AlphaBlend(destination.bitmap, {-7, -7, 70, 70}, source.bitmap, {-3, -3, 9, 9}, half, clip);
        raster::TransparentBlt(destination.bitmap, {-7, -7, 70, 70}, {&source.bitmap, nullptr}, {-3, -3, 9, 9}, 0,
                               clip);
        EXPECT_TRUE(destination.GuardsIntact()) << f.name;
    }
}

TEST(Translation, MonochromeSourceTakesTextAndBackgroundColours) {
    OwnedBitmap mono(kFormats[0], 2, 1), colour(kFormats[5], 2, 1);
    mono.Set(0, 0, 0), mono.Set(1, 0, 1);
    const COLORREF text = RGB(10, 20, 30), background = RGB(200, 100, 50);
    const raster::Translation t = raster::Translation::Between(mono.bitmap, colour.bitmap, text, background);
    const RECTL clip[] = {Whole(colour.bitmap)};
    raster::BitBlt(colour.bitmap, Whole(colour.bitmap), {&mono.bitmap, &t}, {0, 0}, nullptr, {}, nullptr, 0xCCCC, clip);
    EXPECT_EQ(raster::PixelToColor(colour.bitmap, colour.At(0, 0)), text);
    EXPECT_EQ(raster::PixelToColor(colour.bitmap, colour.At(1, 0)), background);
}

TEST(Translation, ColourToMonochromeIsOneWhereTheBackgroundColourIs) {
    const COLORREF background = RGB(200, 100, 50);
    for (const Format& f : {kFormats[2], kFormats[4], kFormats[5], kFormats[6]}) {
        OwnedBitmap colour(f, 3, 1), mono(kFormats[0], 3, 1);
        if (!colour.bitmap.colors.empty()) colour.bitmap.colors[7] = background;
        colour.Set(0, 0, raster::ColorToPixel(colour.bitmap, background));
        colour.Set(1, 0, raster::ColorToPixel(colour.bitmap, RGB(0, 0, 0)));
        colour.Set(2, 0, raster::ColorToPixel(colour.bitmap, RGB(255, 255, 255)));
        const raster::Translation t = raster::Translation::Between(colour.bitmap, mono.bitmap, RGB(1, 2, 3), background);
        EXPECT_EQ(t(colour.At(0, 0)), 1u) << f.name;
        EXPECT_EQ(t(colour.At(1, 0)), 0u) << f.name;
        EXPECT_EQ(t(colour.At(2, 0)), 0u) << f.name;
    }
}

// Nearest entry by distance in RGB; of two equal entries the first.
TEST(Translation, IndexedDestinationTakesTheNearestEntryFirstOfEquals) {
    OwnedBitmap palette(kFormats[2], 1, 1), colour(kFormats[6], 4, 1);
    palette.bitmap.colors = {RGB(0, 0, 0), RGB(250, 0, 0), RGB(0, 0, 250), RGB(250, 0, 0), RGB(100, 100, 100)};
    const COLORREF inputs[] = {RGB(255, 10, 10), RGB(90, 120, 95), RGB(10, 0, 10), RGB(0, 0, 200)};
    const ULONG expected[] = {1, 4, 0, 2};
    for (LONG x = 0; x < 4; ++x) colour.Set(x, 0, raster::ColorToPixel(colour.bitmap, inputs[x]));
    const raster::Translation t = raster::Translation::Between(colour.bitmap, palette.bitmap, 0, 0);
    for (LONG x = 0; x < 4; ++x) {
        EXPECT_EQ(t(colour.At(x, 0)), expected[x]) << x;
        EXPECT_EQ(raster::ColorToPixel(palette.bitmap, inputs[x]), expected[x]) << x;
    }
}

// 5-bit and 6-bit channels widen by repeating their high bits.
TEST(PixelColours, MaskedChannelsWidenToFullRange) {
    OwnedBitmap rgb555(kFormats[3], 1, 1), rgb565(kFormats[4], 1, 1);
    EXPECT_EQ(raster::PixelToColor(rgb555.bitmap, 0x7FFF), RGB(255, 255, 255));
    EXPECT_EQ(raster::PixelToColor(rgb565.bitmap, 0xFFFF), RGB(255, 255, 255));
    // 555: red 0x10 -> 0x84; 565: green 0x20 -> 0x82.
    EXPECT_EQ(raster::PixelToColor(rgb555.bitmap, 0x10 << 10), RGB(0x84, 0, 0));
    EXPECT_EQ(raster::PixelToColor(rgb565.bitmap, 0x20 << 5), RGB(0, 0x82, 0));
    EXPECT_EQ(raster::ColorToPixel(rgb565.bitmap, RGB(0xFF, 0x80, 0x08)), ULONG(0x1F << 11 | 0x20 << 5 | 0x01));
}

}  // namespace
