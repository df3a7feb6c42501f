// AlphaBlend against the blend formula, per channel, in real arithmetic.
#include <cmath>

#include "raster_fixture.h"

namespace {

using namespace rastertest;
namespace raster = w32::raster;

// Dst = Src * SCA / 255 + Dst * (1 - SrcAlpha * SCA / 255 / 255); the
// engine rounds the source term, the blended alpha and the destination
// term, each by at most half a step, so it may differ by up to 1.5.
double Blend(double source, double destination, double sourceAlpha, double constant) {
    return source * constant / 255 + destination * (1 - sourceAlpha * constant / 255 / 255);
}

struct Case { const char* name; BYTE constant; bool perPixel; size_t destinationFormat; };
const Case kCases[] = {
    {"Constant32", 100, false, 6}, {"PerPixel32", 255, true, 6}, {"PerPixelAndConstant32", 77, true, 6},
    {"Constant24", 200, false, 5}, {"PerPixel24", 128, true, 5},
};

TEST(AlphaBlend, FollowsTheBlendFormula) {
    for (const Case& c : kCases) {
        OwnedBitmap source(kFormats[6], 4, 3), destination(kFormats[c.destinationFormat], 4, 3);
        std::mt19937 random(4);
        destination.Randomize(random);
        // Premultiplied: no colour channel above its alpha.
        for (LONG y = 0; y < 3; ++y)
            for (LONG x = 0; x < 4; ++x) {
                const ULONG a = random() & 0xFF;
                ULONG p = a << 24;
                for (int ch = 0; ch < 3; ++ch) p |= (a ? ULONG(random() % (a + 1)) : 0) << (8 * ch);
                source.Set(x, y, p);
            }
        const std::vector<ULONG> before = destination.Pixels();
        const BLENDFUNCTION blend{AC_SRC_OVER, 0, c.constant, BYTE(c.perPixel ? AC_SRC_ALPHA : 0)};
        const RECTL clip[] = {Whole(destination.bitmap)};
        raster::AlphaBlend(destination.bitmap, Whole(destination.bitmap), source.bitmap, Whole(source.bitmap), blend,
                           clip);
        for (LONG y = 0; y < 3; ++y)
            for (LONG x = 0; x < 4; ++x) {
                const ULONG s = source.At(x, y), d = before[size_t(y * 4 + x)], got = destination.At(x, y);
                const double alpha = c.perPixel ? double(s >> 24) : 255.0;
                for (int ch = 0; ch < 3; ++ch)
                    EXPECT_NEAR(double((got >> (8 * ch)) & 0xFF),
                                Blend((s >> (8 * ch)) & 0xFF, (d >> (8 * ch)) & 0xFF, alpha, c.constant), 1.5)
                        << c.name << " at " << x << "," << y << " channel " << ch;
            }
    }
}

// Fully transparent premultiplied pixels leave the destination; opaque ones replace it.
TEST(AlphaBlend, TransparentAndOpaqueSourcePixels) {
    OwnedBitmap source(kFormats[6], 2, 1), destination(kFormats[6], 2, 1);
    source.Set(0, 0, 0x00000000), source.Set(1, 0, 0xFF102030);
    destination.Set(0, 0, 0x00ABCDEF), destination.Set(1, 0, 0x00ABCDEF);
    const RECTL clip[] = {Whole(destination.bitmap)};
    raster::AlphaBlend(destination.bitmap, Whole(destination.bitmap), source.bitmap, Whole(source.bitmap),
                       {AC_SRC_OVER, 0, 255, AC_SRC_ALPHA}, clip);
    EXPECT_EQ(destination.At(0, 0) & 0xFFFFFF, 0xABCDEFu);
    EXPECT_EQ(destination.At(1, 0) & 0xFFFFFF, 0x102030u);
}

}  // namespace
