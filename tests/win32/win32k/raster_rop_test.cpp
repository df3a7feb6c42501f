// Raster operations on pixel values: every ROP3 code in every format, the
// ROP2 mixes, ROP4 with a mask, and fills.
#include "raster_fixture.h"

namespace {

using namespace rastertest;
namespace raster = w32::raster;

class RopOverFormat : public testing::TestWithParam<Format> {};

// A 5-pixel-wide run starting at x = 1 of a 7x3 destination (so packed
// formats start and end inside bytes), from x = 2 of a source, under a 2x2
// pattern; every pixel against the truth table taken bit by bit.
TEST_P(RopOverFormat, EveryRop3MatchesItsTruthTable) {
    const Format& f = GetParam();
    std::mt19937 random(7);
    for (int rop = 0; rop < 256; ++rop) {
        OwnedBitmap destination(f, 7, 3), source(f, 8, 4);
        destination.Randomize(random);
        source.Randomize(random);
        raster::Pattern brush;
        brush.width = brush.height = 2;
        brush.pixels.clear();
        for (int i = 0; i < 4; ++i) brush.pixels.push_back(ULONG(random()) & destination.Mask());
        brush.origin = {1, 0};
        const std::vector<ULONG> before = destination.Pixels();
        const RECTL rect{1, 0, 6, 3};
        const RECTL clip[] = {Whole(destination.bitmap)};
        raster::BitBlt(destination.bitmap, rect, {&source.bitmap, nullptr}, {2, 1}, nullptr, {}, &brush,
                       ULONG(rop | rop << 8), clip);
        for (LONG y = 0; y < 3; ++y)
            for (LONG x = 0; x < 7; ++x) {
                const ULONG d = before[size_t(y * 7 + x)];
                ULONG expected = d;
                if (x >= 1 && x < 6) {
                    const ULONG p = brush.pixels[size_t(((y - 0) & 1) * 2 + ((x - 1) & 1))];
                    expected = Rop3Oracle(BYTE(rop), p, source.At(x + 1, y + 1), d, f.Bits());
                }
                ASSERT_EQ(destination.At(x, y), expected) << "rop " << rop << " at " << x << "," << y;
            }
        ASSERT_TRUE(destination.GuardsIntact());
    }
}

// Solid fills (the fast paths) of a rectangle partly outside the bitmap.
TEST_P(RopOverFormat, SolidFillCoversItsRectangleOnly) {
    const Format& f = GetParam();
    std::mt19937 random(3);
    for (BYTE rop : {BYTE(0xF0), BYTE(0x00), BYTE(0xFF), BYTE(0x5A)}) {
        OwnedBitmap destination(f, 37, 5);
        destination.Randomize(random);
        const std::vector<ULONG> before = destination.Pixels();
        const ULONG pen = 0x5A5A5A5A & destination.Mask();
        const RECTL rects[] = {{3, -2, 45, 2}, {-10, 4, 1, 9}};
        raster::FillRects(destination.bitmap, rects, raster::Pattern::Solid(pen), rop);
        for (LONG y = 0; y < 5; ++y)
            for (LONG x = 0; x < 37; ++x) {
                const bool inside = (x >= 3 && y < 2) || (x < 1 && y == 4);
                const ULONG d = before[size_t(y * 37 + x)];
                ASSERT_EQ(destination.At(x, y), inside ? Rop3Oracle(rop, pen, 0, d, f.Bits()) : d)
                    << int(rop) << " at " << x << "," << y;
            }
        EXPECT_TRUE(destination.GuardsIntact());
    }
}

INSTANTIATE_TEST_SUITE_P(Formats, RopOverFormat, testing::ValuesIn(kFormats),
                         [](const auto& info) { return std::string(info.param.name); });

// The ROP2 mixes as GDI defines them over pen P and destination D.
TEST(Rop2, EveryMixThroughItsRop3) {
    struct Mix { int rop2; ULONG (*f)(ULONG p, ULONG d); };
    const Mix mixes[] = {
        {R2_BLACK, [](ULONG, ULONG) { return 0u; }},
        {R2_NOTMERGEPEN, [](ULONG p, ULONG d) { return ~(p | d); }},
        {R2_MASKNOTPEN, [](ULONG p, ULONG d) { return ~p & d; }},
        {R2_NOTCOPYPEN, [](ULONG p, ULONG) { return ~p; }},
        {R2_MASKPENNOT, [](ULONG p, ULONG d) { return p & ~d; }},
        {R2_NOT, [](ULONG, ULONG d) { return ~d; }},
        {R2_XORPEN, [](ULONG p, ULONG d) { return p ^ d; }},
        {R2_NOTMASKPEN, [](ULONG p, ULONG d) { return ~(p & d); }},
        {R2_MASKPEN, [](ULONG p, ULONG d) { return p & d; }},
        {R2_NOTXORPEN, [](ULONG p, ULONG d) { return ~(p ^ d); }},
        {R2_NOP, [](ULONG, ULONG d) { return d; }},
        {R2_MERGENOTPEN, [](ULONG p, ULONG d) { return ~p | d; }},
        {R2_COPYPEN, [](ULONG p, ULONG) { return p; }},
        {R2_MERGEPENNOT, [](ULONG p, ULONG d) { return p | ~d; }},
        {R2_MERGEPEN, [](ULONG p, ULONG d) { return p | d; }},
        {R2_WHITE, [](ULONG, ULONG) { return ~0u; }},
    };
    const Format& f = kFormats[2];  // 8 bpp
    for (const Mix& mix : mixes) {
        OwnedBitmap destination(f, 16, 16);
        for (ULONG i = 0; i < 256; ++i) destination.Set(LONG(i % 16), LONG(i / 16), i);
        const ULONG pen = 0x3C;
        const RECTL all[] = {Whole(destination.bitmap)};
        raster::FillRects(destination.bitmap, all, raster::Pattern::Solid(pen), BYTE(raster::Rop2ToRop3(mix.rop2)));
        for (ULONG i = 0; i < 256; ++i)
            ASSERT_EQ(destination.At(LONG(i % 16), LONG(i / 16)), mix.f(pen, i) & 0xFF) << "R2 " << mix.rop2;
    }
    EXPECT_EQ(raster::Rop2ToRop3(R2_COPYPEN), 0xF0u);
    EXPECT_EQ(raster::Rop2ToRop3(R2_NOP), 0xAAu);
    EXPECT_EQ(raster::Rop2ToRop3(R2_XORPEN), 0x5Au);
}

// Foreground ROP3 (low byte) where the mask is 1, background (high byte) where 0.
TEST(Rop4, MaskChoosesForegroundOrBackground) {
    const Format& f = kFormats[5];  // 24 bpp
    struct Case { BYTE foreground, background; };
    const Case cases[] = {{0xCC, 0xAA}, {0xAA, 0xCC}, {0x66, 0xF0}, {0x00, 0x55}};
    std::mt19937 random(11);
    for (const Case& c : cases) {
        OwnedBitmap destination(f, 9, 4), source(f, 9, 4), mask(kFormats[0], 12, 5);
        destination.Randomize(random), source.Randomize(random), mask.Randomize(random);
        const std::vector<ULONG> before = destination.Pixels();
        const ULONG pen = 0x123456;
        const raster::Pattern brush = raster::Pattern::Solid(pen);
        const RECTL clip[] = {Whole(destination.bitmap)};
        raster::BitBlt(destination.bitmap, Whole(destination.bitmap), {&source.bitmap, nullptr}, {0, 0},
                       &mask.bitmap, {3, 1}, &brush, ULONG(c.foreground | c.background << 8), clip);
        for (LONG y = 0; y < 4; ++y)
            for (LONG x = 0; x < 9; ++x) {
                const BYTE rop = mask.At(x + 3, y + 1) ? c.foreground : c.background;
                ASSERT_EQ(destination.At(x, y), Rop3Oracle(rop, pen, source.At(x, y), before[size_t(y * 9 + x)], 24))
                    << x << "," << y;
            }
    }
}

// A transparent pattern pixel (hatch in TRANSPARENT mode) leaves its pixel alone.
TEST(PatternFill, TransparentPatternPixelsKeepTheDestination) {
    OwnedBitmap destination(kFormats[2], 6, 2);
    for (LONG x = 0; x < 6; ++x) destination.Set(x, 0, 9), destination.Set(x, 1, 9);
    raster::Pattern hatch;
    hatch.width = 2, hatch.height = 1;
    hatch.pixels = {4, 5};
    hatch.opaque = {true, false};
    const RECTL all[] = {Whole(destination.bitmap)};
    raster::FillRects(destination.bitmap, all, hatch, 0xF0);
    for (LONG x = 0; x < 6; ++x) EXPECT_EQ(destination.At(x, 1), x % 2 == 0 ? 4u : 9u);
}

}  // namespace
