// StretchBlt's four modes and TransparentBlt, against mappings computed here.
#include <cmath>

#include "raster_fixture.h"

namespace {

using namespace rastertest;
namespace raster = w32::raster;

// The source pixel under the centre of destination pixel i of n, from m.
LONG Centre(LONG i, LONG n, LONG m) { return LONG(std::floor((i + 0.5) * m / n)); }

struct Mirror { const char* name; bool x, y; };
const Mirror kMirrors[] = {{"None", false, false}, {"X", true, false}, {"Y", false, true}, {"Both", true, true}};

// 3x3 -> 7x5 with COLORONCOLOR: every destination pixel shows the source
// pixel under its centre; mirrored by inverting the destination in x and
// the source in y.
TEST(StretchBlt, ColorOnColorEnlargesByCentreSamples) {
    for (const Mirror& m : kMirrors) {
        OwnedBitmap source(kFormats[2], 3, 3), destination(kFormats[2], 9, 7);
        for (LONG i = 0; i < 9; ++i) source.Set(i % 3, i / 3, ULONG(10 + i));
        const RECTL destinationRect = m.x ? RECTL{8, 1, 1, 6} : RECTL{1, 1, 8, 6};
        const RECTL sourceRect = m.y ? RECTL{0, 3, 3, 0} : RECTL{0, 0, 3, 3};
        const RECTL clip[] = {Whole(destination.bitmap)};
        raster::StretchBlt(destination.bitmap, destinationRect, {&source.bitmap, nullptr}, sourceRect, COLORONCOLOR,
                           nullptr, 0xCC, clip);
        for (LONG y = 0; y < 7; ++y)
            for (LONG x = 0; x < 9; ++x) {
                ULONG expected = 0;
                if (x >= 1 && x < 8 && y >= 1 && y < 6) {
                    const LONG i = m.x ? 6 - (x - 1) : x - 1, j = m.y ? 4 - (y - 1) : y - 1;
                    expected = 10 + ULONG(Centre(j, 5, 3) * 3 + Centre(i, 7, 3));
                }
                ASSERT_EQ(destination.At(x, y), expected) << m.name << " at " << x << "," << y;
            }
    }
}

// 6x4 -> 3x2 halves each axis: each destination pixel merges a 2x2 block.
// BLACKONWHITE keeps any 0 (AND), WHITEONBLACK any 1 (OR), COLORONCOLOR
// the block's pixel under the centre, (1, 1) of the block.
TEST(StretchBlt, ShrinkingMergesByMode) {
    const ULONG pattern[4][6] = {{1, 1, 0, 1, 0, 0}, {1, 1, 1, 1, 0, 1}, {1, 0, 0, 0, 1, 1}, {0, 1, 0, 0, 1, 1}};
    struct Mode { int mode; ULONG (*merge)(ULONG a, ULONG b, ULONG c, ULONG d); };
    const Mode modes[] = {
        {BLACKONWHITE, [](ULONG a, ULONG b, ULONG c, ULONG d) { return a & b & c & d; }},
        {WHITEONBLACK, [](ULONG a, ULONG b, ULONG c, ULONG d) { return a | b | c | d; }},
        {COLORONCOLOR, [](ULONG, ULONG, ULONG, ULONG d) { return d; }},
    };
    for (const Mirror& m : kMirrors)
        for (const Mode& mode : modes) {
            OwnedBitmap source(kFormats[0], 6, 4), destination(kFormats[0], 3, 2);
            for (LONG y = 0; y < 4; ++y)
                for (LONG x = 0; x < 6; ++x) source.Set(x, y, pattern[y][x]);
            const RECTL destinationRect = {m.x ? 3 : 0, m.y ? 2 : 0, m.x ? 0 : 3, m.y ? 0 : 2};
            const RECTL clip[] = {Whole(destination.bitmap)};
            raster::StretchBlt(destination.bitmap, destinationRect, {&source.bitmap, nullptr}, {0, 0, 6, 4}, mode.mode,
                               nullptr, 0xCC, clip);
            for (LONG y = 0; y < 2; ++y)
                for (LONG x = 0; x < 3; ++x) {
                    const LONG bx = 2 * (m.x ? 2 - x : x), by = 2 * (m.y ? 1 - y : y);
                    const ULONG expected = mode.merge(pattern[by][bx], pattern[by][bx + 1], pattern[by + 1][bx],
                                                      pattern[by + 1][bx + 1]);
                    ASSERT_EQ(destination.At(x, y), expected)
                        << "mode " << mode.mode << " mirror " << m.name << " at " << x << "," << y;
                }
        }
}

// HALFTONE: each destination pixel is the average of the source area it
// covers, weighted by overlap, computed here in floating point.
TEST(StretchBlt, HalftoneAveragesTheCoveredArea) {
    struct Size { LONG sw, sh, dw, dh; };
    for (const Size& size : {Size{3, 3, 7, 5}, Size{7, 5, 3, 2}, Size{2, 1, 1, 1}}) {
        OwnedBitmap source(kFormats[5], size.sw, size.sh), destination(kFormats[5], size.dw, size.dh);
        std::mt19937 random(2);
        source.Randomize(random);
        const RECTL clip[] = {Whole(destination.bitmap)};
        raster::StretchBlt(destination.bitmap, Whole(destination.bitmap), {&source.bitmap, nullptr},
                           Whole(source.bitmap), HALFTONE, nullptr, 0xCC, clip);
        auto overlap = [](double a0, double a1, double b0, double b1) {
            return std::max(0.0, std::min(a1, b1) - std::max(a0, b0));
        };
        for (LONG y = 0; y < size.dh; ++y)
            for (LONG x = 0; x < size.dw; ++x) {
                const double x0 = double(x) * size.sw / size.dw, x1 = double(x + 1) * size.sw / size.dw;
                const double y0 = double(y) * size.sh / size.dh, y1 = double(y + 1) * size.sh / size.dh;
                double sum[3] = {}, total = 0;
                for (LONG sy = 0; sy < size.sh; ++sy)
                    for (LONG sx = 0; sx < size.sw; ++sx) {
                        const double w = overlap(x0, x1, sx, sx + 1) * overlap(y0, y1, sy, sy + 1);
                        const ULONG p = source.At(sx, sy);
                        for (int c = 0; c < 3; ++c) sum[c] += w * ((p >> (8 * c)) & 0xFF);
                        total += w;
                    }
                const ULONG got = destination.At(x, y);
                for (int c = 0; c < 3; ++c)
                    EXPECT_NEAR(double((got >> (8 * c)) & 0xFF), sum[c] / total, 1.0) << x << "," << y << " channel " << c;
            }
    }
}

// TransparentBlt enlarges like COLORONCOLOR and skips the transparent value.
TEST(TransparentBlt, SkipsTheTransparentPixelValue) {
    OwnedBitmap source(kFormats[2], 2, 2), destination(kFormats[2], 4, 4);
    const ULONG values[] = {3, 7, 7, 5};
    for (LONG i = 0; i < 4; ++i) source.Set(i % 2, i / 2, values[i]);
    for (LONG i = 0; i < 16; ++i) destination.Set(i % 4, i / 4, 99);
    const RECTL clip[] = {Whole(destination.bitmap)};
    raster::TransparentBlt(destination.bitmap, Whole(destination.bitmap), {&source.bitmap, nullptr},
                           Whole(source.bitmap), 7, clip);
    for (LONG y = 0; y < 4; ++y)
        for (LONG x = 0; x < 4; ++x) {
            const ULONG s = values[(y / 2) * 2 + x / 2];
            EXPECT_EQ(destination.At(x, y), s == 7 ? 99u : s) << x << "," << y;
        }
}

}  // namespace
