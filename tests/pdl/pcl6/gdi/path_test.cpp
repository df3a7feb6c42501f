// Paths: the path writer's runs (relative bytes, relative 16-bit steps,
// absolute coordinates, chunks of 1500 points, curves, closed figures),
// the pen of the line attributes, and the three path callbacks on an open
// page: raster operations of mixes, the pen and brush, the fill mode, and
// what a path of bare start points or a refused line writes.
#include <gtest/gtest.h>
#include <windows.h>
#include <winddi.h>

#include <string>
#include <vector>

#include "job_fixture.h"
#include "pcl6/gdi/gx.h"
#include "pcl6/gdi/nt/ddi.h"
#include "pcl6/gdi/path.h"
#include "pcl6/intrface/util.h"
#include "win32k/ddiobj.h"

namespace tam::test {
namespace {

using w32::DevicePath;
using w32::PointFix;

class PathTest : public JobTest {
protected:
    // A job with an open page whose graphics state was just reset.
    PDEV* Page(int step = 0) {
        PDEV* pdev = EnableDefault();
        if (!pdev) return nullptr;
        OpenJob(pdev);
        pdev->Job.JobDevmode.priv.ColorAdjust.ResolutionStep = BYTE(step);
        Gx_ResetCache(pdev);
        pdev->Job.JobFlags |= JOBF_PAGE_OPEN;
        surface_.dhpdev = AsDhpdev(pdev);
        return pdev;
    }
    SURFOBJ* Surface() { return &surface_; }

private:
    SURFOBJ surface_{};
};

// A polyline through whole-pixel points.
DevicePath Polyline(std::initializer_list<POINT> points) {
    DevicePath path;
    bool first = true;
    for (const POINT& p : points) {
        if (first)
            path.MoveTo(PointFix(p.x, p.y));
        else
            path.LineTo(PointFix(p.x, p.y));
        first = false;
    }
    return path;
}

struct WriteCase {
    const char* name;
    DevicePath path;
    const char* bytes;
};

std::vector<WriteCase> WriteCases() {
    DevicePath curve;
    curve.MoveTo(PointFix(0, 0));
    curve.BezierTo(PointFix(10, 0), PointFix(20, 10), PointFix(30, 30));
    DevicePath wideCurve;
    wideCurve.MoveTo(PointFix(0, 0));
    wideCurve.BezierTo(PointFix(200, 0), PointFix(300, 10), PointFix(400, 30));
    DevicePath closed = Polyline({{5, 5}, {6, 5}, {6, 6}});
    closed.CloseFigure();
    DevicePath fraction;
    fraction.MoveTo(POINTFIX{-8, 24});        // (-0.5, 1.5): floors to (-1, 1)
    fraction.LineTo(POINTFIX{31, 40});        // (1.9, 2.5): (1, 2)
    return {
        // One byte run of one step, one 16-bit run of one step.
        {"ThreePoints", Polyline({{0, 0}, {10, 10}, {210, 10}}),
         "D3 00 00 00 00 F8 4C 6B C1 01 00 F8 4D C0 01 F8 50 9D FB 02 0A 0A "
         "C1 01 00 F8 4D C0 03 F8 50 9D FB 04 C8 00 00 00"},
        // A point beyond 32767 pixels makes the chunk absolute, clamped.
        {"FarPointClamped", Polyline({{0, 0}, {100, 0}, {40000, 5}}),
         "D3 00 00 00 00 F8 4C 6B C1 02 00 F8 4D C0 03 F8 50 9B FB 08 64 00 00 00 FF 7F 05 00"},
        // A step too long for 16 bits goes absolute; the next short step
        // returns to relative bytes.
        {"LongStepAbsoluteThenRelative", Polyline({{-30000, 0}, {30000, 0}, {30010, 2}}),
         "D3 D0 8A 00 00 F8 4C 6B C1 01 00 F8 4D C0 03 F8 50 9B FB 04 30 75 00 00 "
         "C1 01 00 F8 4D C0 01 F8 50 9D FB 02 0A 02"},
        {"CurveInBytes", curve, "D3 00 00 00 00 F8 4C 6B C1 03 00 F8 4D C0 01 F8 50 95 FB 06 0A 00 14 0A 1E 1E"},
        // Every control point is a step from the curve's start.
        {"CurveInWords", wideCurve,
         "D3 00 00 00 00 F8 4C 6B C1 03 00 F8 4D C0 03 F8 50 95 FB 0C C8 00 00 00 2C 01 0A 00 90 01 1E 00"},
        {"ClosedFigure", closed, "D3 05 00 05 00 F8 4C 6B C1 02 00 F8 4D C0 01 F8 50 9D FB 04 01 00 00 01 84"},
        {"FixedPointFloors", fraction,
         "D3 FF FF 01 00 F8 4C 6B C1 01 00 F8 4D C0 01 F8 50 9D FB 02 02 01"},
    };
}

class PathWrite : public PathTest, public testing::WithParamInterface<WriteCase> {};

TEST_P(PathWrite, PacksThePointsAsCompactlyAsTheyFit) {
    PDEV* pdev = Page();
    ASSERT_NE(pdev, nullptr);
    TakeOutput(pdev);
    w32::EnginePathObj path(GetParam().path);
    BOOL segments = FALSE;
    ASSERT_TRUE(Path_Write(pdev, &path, &segments));
    EXPECT_TRUE(segments);
    EXPECT_EQ(Out(pdev), HexText(Hex(GetParam().bytes)));
}

INSTANTIATE_TEST_SUITE_P(All, PathWrite, testing::ValuesIn(WriteCases()),
                         [](const auto& info) { return std::string(info.param.name); });

// Fragments handed out from a list, as PATHOBJ_bEnum would.
struct Fragments {
    std::vector<PATHDATA> list;
    size_t next = 0;
    static BOOL Next(void* context, PATHDATA* out) {
        auto* self = static_cast<Fragments*>(context);
        *out = self->list[self->next++];
        return self->next < self->list.size();
    }
};

// The NumberOfPoints of every run in the output, in order.
std::vector<int> RunLengths(const Bytes& out) {
    std::vector<int> runs;
    for (size_t i = 0; i + 4 < out.size(); ++i)
        if (out[i] == 0xC1 && out[i + 3] == 0xF8 && out[i + 4] == 0x4D) runs.push_back(out[i + 1] | out[i + 2] << 8);
    return runs;
}

TEST_F(PathTest, LongFragmentsGoOutInChunksOf1500Points) {
    PDEV* pdev = Page();
    ASSERT_NE(pdev, nullptr);
    TakeOutput(pdev);
    std::vector<POINTFIX> points;
    for (int i = 0; i <= 3001; ++i) points.push_back(PointFix(i, i % 2));
    Fragments fragments{{PATHDATA{PD_BEGINSUBPATH | PD_ENDSUBPATH, ULONG(points.size()), points.data()}}};
    ASSERT_TRUE(Path_WriteFragments(pdev, &Fragments::Next, &fragments, nullptr));
    const Bytes out = TakeOutput(pdev);
    EXPECT_EQ(RunLengths(out), (std::vector<int>{1500, 1500, 1}));
}

TEST_F(PathTest, CurvesMustComeInWholeTriples) {
    PDEV* pdev = Page();
    ASSERT_NE(pdev, nullptr);
    std::vector<POINTFIX> points(5, PointFix(1, 1));  // a start point and four more
    Fragments fragments{{PATHDATA{PD_BEGINSUBPATH | PD_BEZIERS | PD_ENDSUBPATH, 5, points.data()}}};
    SetLastError(0);
    EXPECT_FALSE(Path_WriteFragments(pdev, &Fragments::Next, &fragments, nullptr));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
}

// A cosmetic pen's dashes are its style entries in 1/50 inch.
TEST_F(PathTest, LineAttributesSetWidthAndDashes) {
    struct Case {
        const char* name;
        int step;
        std::vector<LONG> style;
        LONG styleState;
        const char* bytes;
    };
    const Case cases[] = {
        {"dotted at 600 dpi", 0, {1, 1}, 0, "C8 C0 02 0C 0C F8 4A 70"},
        {"dotted at 1200 dpi", 1, {1, 1}, 0, "C8 C0 02 18 18 F8 4A 70"},
        {"dashes past a byte with an offset", 0, {6, 30}, 2, "C9 C0 02 48 00 68 01 F8 4A C3 18 00 F8 43 70"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PDEV* pdev = Page(c.step);
        ASSERT_NE(pdev, nullptr);
        TakeOutput(pdev);
        std::vector<FLOAT_LONG> style;
        for (LONG entry : c.style) style.push_back(FLOAT_LONG{.l = entry});
        LINEATTRS attrs{};
        attrs.fl = LA_STYLED;
        attrs.elWidth.l = 1;
        attrs.cstyle = ULONG(style.size());
        attrs.pstyle = style.data();
        attrs.elStyleState.l = c.styleState;
        ASSERT_TRUE(Pen_SetLineAttributes(pdev, &attrs));
        EXPECT_EQ(Out(pdev), HexText(Hex(c.bytes)));
        // The same dashes again write nothing; a solid line after them does.
        ASSERT_TRUE(Pen_SetLineAttributes(pdev, &attrs));
        EXPECT_EQ(Out(pdev), "");
        LINEATTRS solid{};
        solid.elWidth.l = 3;
        ASSERT_TRUE(Pen_SetLineAttributes(pdev, &solid));
        EXPECT_EQ(Out(pdev), HexText(Hex("C0 00 F8 4E 70 C1 03 00 F8 4B 7A")));
    }
}

TEST_F(PathTest, GeometricLinesAndAMissingDashArrayAreRefused) {
    PDEV* pdev = Page();
    ASSERT_NE(pdev, nullptr);
    LINEATTRS wide{};
    wide.fl = LA_GEOMETRIC;
    wide.elWidth.e = 5.0f;
    EXPECT_FALSE(Pen_SetLineAttributes(pdev, &wide));
    FLOAT_LONG style[2] = {{.l = 1}, {.l = 1}};
    LINEATTRS dotted{};
    dotted.cstyle = 2;
    dotted.pstyle = style;
    TakeOutput(pdev);
    Util_FailGlobalAlloc(1);
    EXPECT_FALSE(Pen_SetLineAttributes(pdev, &dotted));
    Util_FailGlobalAlloc(0);
    EXPECT_EQ(Out(pdev), "");
}

// The stroke callback on an open page, with a solid black brush.
struct StrokeCase {
    const char* name;
    MIX mix;
    ULONG color;
    bool pathHasSegments;
    const char* bytes;  // after the call; the path's own bytes are replaced by "..."
};

class Stroke : public PathTest, public testing::WithParamInterface<StrokeCase> {};

TEST_P(Stroke, WritesTheOperationPenAndPath) {
    const StrokeCase& c = GetParam();
    PDEV* pdev = Page();
    ASSERT_NE(pdev, nullptr);
    TakeOutput(pdev);
    w32::EnginePathObj path(c.pathHasSegments ? Polyline({{0, 0}, {10, 0}}) : Polyline({{7, 7}}));
    BRUSHOBJ brush{c.color, nullptr, 0};
    LINEATTRS attrs{};
    attrs.elWidth.l = 1;
    ASSERT_TRUE(DrvStrokePath(Surface(), &path, nullptr, nullptr, &brush, nullptr, &attrs, c.mix));
    EXPECT_EQ(Out(pdev), HexText(Hex(c.bytes)));
}

const StrokeCase kStrokes[] = {
    {"NopWritesNothing", MIX_FROM_ROP2(R2_NOP), 0, true, ""},
    // Copy: ROP F0, opaque, a black pen, no brush, the clip, the path.
    {"CopyPen", MIX_FROM_ROP2(R2_COPYPEN), 0, true,
     "C0 F0 F8 2C 7B C0 00 F8 2D 7C C0 00 F8 2D 78 C0 01 F8 03 6A C0 00 F8 09 79 C0 00 F8 04 63 "
     "85 E3 00 00 00 00 A0 12 A0 1A F8 42 A1 C0 00 F8 53 62 "
     "85 D3 00 00 00 00 F8 4C 6B C1 01 00 F8 4D C0 01 F8 50 9D FB 02 0A 00 86"},
    // Invert prints as 7F with a black pen, whatever the brush.
    {"NotIsRop7FWithABlackPen", MIX_FROM_ROP2(R2_NOT), 0x808080, true,
     "C0 7F F8 2C 7B C0 00 F8 2D 7C C0 00 F8 2D 78 C0 01 F8 03 6A C0 00 F8 09 79 C0 00 F8 04 63 "
     "85 E3 00 00 00 00 A0 12 A0 1A F8 42 A1 C0 00 F8 53 62 "
     "85 D3 00 00 00 00 F8 4C 6B C1 01 00 F8 4D C0 01 F8 50 9D FB 02 0A 00 86"},
    // A path of a start point alone: NewPath and SetCursor, no PaintPath.
    {"StartPointOnlyPaintsNothing", MIX_FROM_ROP2(R2_COPYPEN), 0, false,
     "C0 F0 F8 2C 7B C0 00 F8 2D 7C C0 00 F8 2D 78 C0 01 F8 03 6A C0 00 F8 09 79 C0 00 F8 04 63 "
     "85 E3 00 00 00 00 A0 12 A0 1A F8 42 A1 C0 00 F8 53 62 "
     "85 D3 07 00 07 00 F8 4C 6B"},
};

INSTANTIATE_TEST_SUITE_P(All, Stroke, testing::ValuesIn(kStrokes),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PathTest, StrokeRefusesWideLinesAndClosedPages) {
    PDEV* pdev = Page();
    ASSERT_NE(pdev, nullptr);
    w32::EnginePathObj path(Polyline({{0, 0}, {10, 0}}));
    BRUSHOBJ brush{0, nullptr, 0};
    LINEATTRS wide{};
    wide.fl = LA_GEOMETRIC;
    wide.elWidth.e = 4.0f;
    EXPECT_FALSE(DrvStrokePath(Surface(), &path, nullptr, nullptr, &brush, nullptr, &wide, MIX_FROM_ROP2(R2_COPYPEN)));
    LINEATTRS thin{};
    pdev->Job.JobFlags &= ~JOBF_PAGE_OPEN;
    TakeOutput(pdev);
    EXPECT_FALSE(DrvStrokePath(Surface(), &path, nullptr, nullptr, &brush, nullptr, &thin, MIX_FROM_ROP2(R2_COPYPEN)));
    EXPECT_FALSE(DrvFillPath(Surface(), &path, nullptr, &brush, nullptr, MIX_FROM_ROP2(R2_COPYPEN), FP_WINDINGMODE));
    EXPECT_EQ(Out(pdev), "");
    SURFOBJ stranger{};
    stranger.dhpdev = reinterpret_cast<DHPDEV>(&stranger);
    EXPECT_FALSE(DrvFillPath(&stranger, &path, nullptr, &brush, nullptr, MIX_FROM_ROP2(R2_COPYPEN), 0));
}

// The fill rule: winding for FP_WINDINGMODE, even-odd otherwise; a closed
// figure ends with CloseSubPath and the fill always paints.
TEST_F(PathTest, FillSetsTheFillModeAndPaints) {
    PDEV* pdev = Page();
    ASSERT_NE(pdev, nullptr);
    DevicePath triangle = Polyline({{0, 0}, {20, 0}, {0, 20}});
    triangle.CloseFigure();
    w32::EnginePathObj path(triangle);
    BRUSHOBJ brush{0xFFFFFF, nullptr, 0};
    for (FLONG mode : {FLONG(FP_WINDINGMODE), FLONG(FP_ALTERNATEMODE)}) {
        SCOPED_TRACE(mode);
        TakeOutput(pdev);
        ASSERT_TRUE(DrvFillPath(Surface(), &path, nullptr, &brush, nullptr, MIX_FROM_ROP2(R2_COPYPEN), mode));
        const std::string out = Out(pdev);
        EXPECT_NE(out.find(HexText(Hex(mode == FP_WINDINGMODE ? "C0 00 F8 46 6E" : "C0 01 F8 46 6E"))),
                  std::string::npos)
            << out;
        EXPECT_NE(out.find(HexText(Hex("9D FB 04 14 00 EC 14 84 86"))), std::string::npos) << out;
    }
}

}  // namespace
}  // namespace tam::test
