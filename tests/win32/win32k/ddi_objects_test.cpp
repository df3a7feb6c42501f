// The engine objects a driver reads: CLIPOBJ enumeration, PATHOBJ fragments
// and XLATEOBJ translations, made as the dispatch makes them for a call.
#include <gtest/gtest.h>

#include "win32k/ddiobj.h"

// Found by the standard algorithms, which look in the record's own namespace.
static bool operator==(const RECTL& a, const RECTL& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

namespace {

struct Rects {
    ULONG c;
    RECTL arcl[8];
};

// Every rectangle of an enumeration, in order, with `room` rectangles a call.
std::vector<RECTL> Enumerate(CLIPOBJ* clip, ULONG room) {
    std::vector<RECTL> all;
    Rects buffer{};
    const ULONG bytes = sizeof(ULONG) + room * sizeof(RECTL);
    BOOL more;
    int calls = 0;
    do {
        more = CLIPOBJ_bEnum(clip, bytes, reinterpret_cast<ULONG*>(&buffer));
        EXPECT_LE(buffer.c, room);
        all.insert(all.end(), buffer.arcl, buffer.arcl + buffer.c);
    } while (more && ++calls < 100);
    return all;
}

// A clip of three rectangles: two side by side on top, one below.
w32::Region ThreeRects() {
    const RECTL rects[] = {{0, 0, 10, 10}, {20, 0, 30, 10}, {0, 20, 30, 30}};
    return w32::Region::FromRects(rects);
}

TEST(ClipObject, ComplexityAgainstTheDrawingBounds) {
    const w32::Region clip = ThreeRects();
    w32::EngineClip inside(clip, RECTL{2, 2, 8, 8});
    EXPECT_EQ(inside.iDComplexity, DC_TRIVIAL);
    w32::EngineClip cut(clip, RECTL{5, 5, 15, 15});
    EXPECT_EQ(cut.iDComplexity, DC_RECT);
    EXPECT_TRUE(cut.rclBounds == (RECTL{5, 5, 10, 10}));
    w32::EngineClip complex(clip, RECTL{0, 0, 40, 40});
    EXPECT_EQ(complex.iDComplexity, DC_COMPLEX);
    EXPECT_EQ(complex.iFComplexity, FC_RECT4);
    EXPECT_TRUE(complex.rclBounds == (RECTL{0, 0, 30, 30}));
    w32::EngineClip outside(clip, RECTL{12, 12, 18, 18});
    EXPECT_FALSE(outside.visible);
    // The same clip keeps its name; another gets a new one.
    EXPECT_EQ(inside.iUniq, cut.iUniq);
    w32::EngineClip other(w32::Region(RECTL{0, 0, 5, 5}), RECTL{0, 0, 9, 9});
    EXPECT_NE(other.iUniq, inside.iUniq);
    EXPECT_NE(other.iUniq, 0u);
}

struct DirectionCase {
    ULONG direction;
    std::vector<RECTL> order;
};
const DirectionCase kDirections[] = {
    {CD_RIGHTDOWN, {{0, 0, 10, 10}, {20, 0, 30, 10}, {0, 20, 30, 30}}},
    {CD_LEFTDOWN, {{20, 0, 30, 10}, {0, 0, 10, 10}, {0, 20, 30, 30}}},
    {CD_RIGHTUP, {{0, 20, 30, 30}, {0, 0, 10, 10}, {20, 0, 30, 10}}},
    {CD_LEFTUP, {{0, 20, 30, 30}, {20, 0, 30, 10}, {0, 0, 10, 10}}},
};
class ClipDirection : public testing::TestWithParam<DirectionCase> {};

TEST_P(ClipDirection, OrdersTheRectangles) {
    w32::EngineClip clip(ThreeRects(), RECTL{0, 0, 40, 40});
    EXPECT_EQ(CLIPOBJ_cEnumStart(&clip, TRUE, CT_RECTANGLES, GetParam().direction, 0), 3u);
    // One rectangle a call: the buffer holds no more than its size says.
    EXPECT_EQ(Enumerate(&clip, 1), GetParam().order);
}
INSTANTIATE_TEST_SUITE_P(All, ClipDirection, testing::ValuesIn(kDirections));

TEST(ClipObject, EnumerationWithinBoundsLimitAndSmallBuffers) {
    // Drawing only the left half: without bAll, the rectangles inside rclBounds, cut to it.
    w32::EngineClip clip(ThreeRects(), RECTL{0, 0, 15, 40});
    EXPECT_EQ(CLIPOBJ_cEnumStart(&clip, FALSE, CT_RECTANGLES, CD_ANY, 0), 2u);
    EXPECT_EQ(Enumerate(&clip, 8), (std::vector<RECTL>{{0, 0, 10, 10}, {0, 20, 15, 30}}));
    EXPECT_EQ(CLIPOBJ_cEnumStart(&clip, TRUE, CT_RECTANGLES, CD_ANY, 0), 3u);
    EXPECT_EQ(CLIPOBJ_cEnumStart(&clip, TRUE, CT_RECTANGLES, CD_ANY, 2), 0xFFFFFFFFu);
    EXPECT_EQ(Enumerate(&clip, 2).size(), 3u);

    // A buffer without room for one rectangle.
    CLIPOBJ_cEnumStart(&clip, TRUE, CT_RECTANGLES, CD_ANY, 0);
    Rects buffer{99, {}};
    SetLastError(0);
    EXPECT_FALSE(CLIPOBJ_bEnum(&clip, sizeof(ULONG) + sizeof(RECTL) - 1, reinterpret_cast<ULONG*>(&buffer)));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(buffer.c, 0u);
    EXPECT_EQ(Enumerate(&clip, 8).size(), 3u);  // nothing was consumed

    // A clip the engine did not make is refused, not read.
    CLIPOBJ own{};
    EXPECT_EQ(CLIPOBJ_cEnumStart(&own, TRUE, CT_RECTANGLES, CD_ANY, 0), 0xFFFFFFFFu);
    EXPECT_FALSE(CLIPOBJ_bEnum(&own, sizeof(buffer), reinterpret_cast<ULONG*>(&buffer)));
}

TEST(ClipObject, OutlineIsOneClosedFigurePerRectangle) {
    w32::EngineClip clip(ThreeRects(), RECTL{0, 0, 40, 40});
    PATHOBJ* path = CLIPOBJ_ppoGetPath(&clip);
    ASSERT_NE(path, nullptr);
    PATHOBJ_vEnumStart(path);
    PATHDATA data;
    int figures = 0;
    BOOL more;
    do {
        more = PATHOBJ_bEnum(path, &data);
        EXPECT_EQ(data.flags, ULONG(PD_BEGINSUBPATH | PD_RESETSTYLE | PD_ENDSUBPATH | PD_CLOSEFIGURE));
        EXPECT_EQ(data.count, 4u);
        ++figures;
    } while (more);
    EXPECT_EQ(figures, 3);
    EngDeletePath(path);
}

// A long run of Béziers comes in fragments of whole curves; the fragments put
// together are the path again.
TEST(PathObject, BeziersAreNeverSplit) {
    w32::DevicePath path;
    path.MoveTo(w32::PointFix(0, 0));
    for (LONG i = 0; i < 40; ++i)
        path.BezierTo(POINTFIX{i * 48 + 16, 8}, POINTFIX{i * 48 + 32, 8}, POINTFIX{i * 48 + 48, 3});
    path.LineTo(w32::PointFix(0, 100));
    path.CloseFigure();
    w32::EnginePathObj po(path);
    EXPECT_EQ(po.fl, ULONG(PO_BEZIERS));  // the curves end off whole pixels
    EXPECT_EQ(po.cCurves, 42u);           // 40 curves, a line and the closing line

    std::vector<POINTFIX> points;
    std::vector<ULONG> flags;
    PATHDATA data;
    BOOL more;
    do {
        more = PATHOBJ_bEnum(&po, &data);
        flags.push_back(data.flags);
        const ULONG curvePoints = data.count - ((data.flags & PD_BEGINSUBPATH) ? 1 : 0);
        if (data.flags & PD_BEZIERS) {
            EXPECT_EQ(curvePoints % 3, 0u) << data.count;
        }
        points.insert(points.end(), data.pptfx, data.pptfx + data.count);
    } while (more);
    ASSERT_GE(flags.size(), 3u);  // 121 curve points take more than one fragment
    EXPECT_EQ(flags.front(), ULONG(PD_BEGINSUBPATH | PD_RESETSTYLE | PD_BEZIERS));
    EXPECT_EQ(flags.back(), ULONG(PD_ENDSUBPATH | PD_CLOSEFIGURE));
    ASSERT_EQ(points.size(), path.points.size());
    for (size_t i = 0; i < points.size(); ++i)
        EXPECT_TRUE(points[i].x == path.points[i].x && points[i].y == path.points[i].y) << i;
    RECTFX bounds;
    PATHOBJ_vGetBounds(&po, &bounds);
    EXPECT_EQ(bounds.xRight, 40 * 48);
    EXPECT_EQ(bounds.yBottom, 100 * 16);
}

TEST(XlateObject, TrivialTableAndPalettes) {
    const w32::SurfaceColors rgb = [] {
        w32::SurfaceColors c;
        c.mode = PAL_RGB;
        return c;
    }();
    w32::EngineXlate same(rgb, rgb, 0, 0xFFFFFF, true);
    EXPECT_EQ(same.flXlate, ULONG(XO_TRIVIAL));
    EXPECT_EQ(XLATEOBJ_iXlate(&same, 0x123456), 0x123456u);

    // Black and white to the device's red-low order; a monochrome bitmap
    // without colours takes text (red) for 0 and background (white) for 1.
    w32::EngineXlate mono(w32::DefaultColors(BMF_1BPP), rgb, RGB(255, 0, 0), RGB(255, 255, 255), true);
    EXPECT_EQ(mono.flXlate, ULONG(XO_TABLE));
    ASSERT_EQ(mono.cEntries, 2u);
    EXPECT_EQ(mono.pulXlate[0], 0x0000FFu);
    EXPECT_EQ(mono.pulXlate[1], 0xFFFFFFu);
    ULONG entries[4] = {};
    EXPECT_EQ(XLATEOBJ_cGetPalette(&mono, XO_SRCPALETTE, 0, nullptr), 2u);
    EXPECT_EQ(XLATEOBJ_cGetPalette(&mono, XO_SRCPALETTE, 4, entries), 2u);
    EXPECT_EQ(entries[0], 0x0000FFu);

    // Blue-low 24 bits to red-low: neither trivial nor a table; swapped by iXlate.
    w32::EngineXlate swap(w32::DefaultColors(BMF_24BPP), rgb, 0, 0xFFFFFF, true);
    EXPECT_EQ(swap.flXlate, 0u);
    EXPECT_EQ(XLATEOBJ_iXlate(&swap, 0x112233), 0x332211u);
    ULONG masks[3] = {};
    EXPECT_EQ(XLATEOBJ_cGetPalette(&swap, XO_DESTBITFIELDS, 3, masks), 3u);
    EXPECT_EQ(masks[0], 0x0000FFu);
    SetLastError(0);
    EXPECT_EQ(XLATEOBJ_cGetPalette(&swap, XO_DESTPALETTE, 4, entries), 0u);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));

    // To monochrome: 1 where the source is the background colour.
    w32::EngineXlate toMono(w32::DefaultColors(BMF_24BPP), w32::DefaultColors(BMF_1BPP), 0, RGB(0, 0, 255), true);
    EXPECT_TRUE(toMono.flXlate & XO_TO_MONO);
    EXPECT_EQ(XLATEOBJ_iXlate(&toMono, 0xFF0000), 0u);  // pure blue as a blue-low pixel is 0x0000FF
    EXPECT_EQ(XLATEOBJ_iXlate(&toMono, 0x0000FF), 1u);
}

}  // namespace
