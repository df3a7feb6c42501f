// GradientFill: rectangle endpoints, the pixels a triangle covers, and
// refused input.
#include "raster_fixture.h"

namespace {

using namespace rastertest;
namespace raster = w32::raster;

TRIVERTEX Vertex(LONG x, LONG y, COLOR16 red, COLOR16 green = 0, COLOR16 blue = 0) {
    return {x, y, red, green, blue, 0};
}

// Across 10 pixels from red 0 to 0xFF00: the first pixel has the first
// colour, pixel 9 stops short at 9/10 of the way, and the right and bottom
// edges are not painted. Down is the same turned.
TEST(GradientFill, RectanglesStartAtTheFirstColourAndExcludeTheFarEdges) {
    for (ULONG mode : {ULONG(GRADIENT_FILL_RECT_H), ULONG(GRADIENT_FILL_RECT_V)}) {
        const bool across = mode == GRADIENT_FILL_RECT_H;
        OwnedBitmap destination(kFormats[5], 12, 12);
        for (LONG i = 0; i < 144; ++i) destination.Set(i % 12, i / 12, 0x0000FF);
        // Vertex order does not matter: the colour belongs to its corner.
        const TRIVERTEX vertices[] = {Vertex(11, 11, 0xFF00, 0x8000), Vertex(1, 1, 0x0000, 0x8000)};
        const GRADIENT_RECT rect{0, 1};
        const RECTL clip[] = {Whole(destination.bitmap)};
        ASSERT_TRUE(raster::GradientFill(destination.bitmap, vertices, &rect, 1, mode, clip));
        auto at = [&](LONG t, LONG other) { return across ? destination.At(1 + t, other) : destination.At(other, 1 + t); };
        EXPECT_EQ(at(0, 5), 0x008000u) << mode;  // red 0, green 0x80
        EXPECT_EQ(at(9, 5) >> 16, ULONG(0xFF00 * 9 / 10) >> 8) << mode;  // red at 9/10
        EXPECT_EQ(at(10, 5), 0x0000FFu) << mode;  // far edge untouched
        if (across) EXPECT_EQ(destination.At(5, 11), 0x0000FFu);
        else EXPECT_EQ(destination.At(11, 5), 0x0000FFu);
        for (LONG t = 1; t < 10; ++t) EXPECT_GE(at(t, 5) >> 16, at(t - 1, 5) >> 16) << t;
    }
}

// Two triangles sharing the diagonal of a 4x4 square: the one above it
// (x >= y side) owns the diagonal's pixel centres, the one below does not,
// and together they cover each pixel once. The red channel is 0x1E00 * x
// at the vertices, so at a pixel centre it is 0x1E00 * (x + 0.5).
TEST(GradientFill, TrianglesShareAnEdgeWithoutGapOrOverlap) {
    OwnedBitmap destination(kFormats[6], 6, 6);
    const TRIVERTEX vertices[] = {Vertex(0, 0, 0), Vertex(4, 0, 4 * 0x1E00), Vertex(4, 4, 4 * 0x1E00),
                                  Vertex(0, 4, 0)};
    const RECTL clip[] = {Whole(destination.bitmap)};
    const GRADIENT_TRIANGLE upper{0, 1, 2}, lower{0, 2, 3};
    for (int which = 0; which < 2; ++which) {
        for (LONG i = 0; i < 36; ++i) destination.Set(i % 6, i / 6, 0xFFFFFFFF);
        ASSERT_TRUE(raster::GradientFill(destination.bitmap, vertices, which ? &lower : &upper, 1,
                                         GRADIENT_FILL_TRIANGLE, clip));
        for (LONG y = 0; y < 6; ++y)
            for (LONG x = 0; x < 6; ++x) {
                const bool inside = x < 4 && y < 4 && (which ? x < y : x >= y);
                const ULONG got = destination.At(x, y);
                if (!inside) {
                    EXPECT_EQ(got, 0xFFFFFFFFu) << which << " at " << x << "," << y;
                    continue;
                }
                EXPECT_EQ((got >> 16) & 0xFF, ULONG(0x1E00 * x + 0xF00) >> 8) << which << " at " << x << "," << y;
            }
    }
}

TEST(GradientFill, RefusesBadIndicesAndModesDrawingNothing) {
    OwnedBitmap destination(kFormats[2], 4, 4);
    const TRIVERTEX vertices[] = {Vertex(0, 0, 0xFF00), Vertex(4, 4, 0xFF00), Vertex(0, 4, 0xFF00)};
    const RECTL clip[] = {Whole(destination.bitmap)};
    const GRADIENT_RECT rects[] = {{0, 1}, {0, 3}};
    const GRADIENT_TRIANGLE triangles[] = {{0, 1, 2}, {0, 1, 7}};
    EXPECT_FALSE(raster::GradientFill(destination.bitmap, vertices, rects, 2, GRADIENT_FILL_RECT_H, clip));
    EXPECT_FALSE(raster::GradientFill(destination.bitmap, vertices, triangles, 2, GRADIENT_FILL_TRIANGLE, clip));
    EXPECT_FALSE(raster::GradientFill(destination.bitmap, vertices, rects, 1, 3, clip));
    EXPECT_FALSE(raster::GradientFill(destination.bitmap, vertices, nullptr, 1, GRADIENT_FILL_RECT_V, clip));
    EXPECT_EQ(destination.Pixels(), std::vector<ULONG>(16, 0u));
}

}  // namespace
