// N-up borders as they reach the job: the frame of one cell and the grid of
// a sheet, read back through the job decoder. A4 portrait at 600 dpi,
// printable 4768 x 6816.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <ostream>
#include <span>
#include <vector>

#include "job_fixture.h"
#include "pcl6/gdi/gx.h"
#include "pcl6/gdi/layout.h"
#include "pcl6/gdi/pjl.h"
#include "pcl6/intrface/xmodel.h"

namespace tam::test {
namespace {

struct Box {
    int64_t left, top, right, bottom;
    bool operator==(const Box&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Box& b) {
    return os << "(" << b.left << ", " << b.top << ", " << b.right << ", " << b.bottom << ")";
}

class LayoutBorders : public JobTest {
protected:
    // A job of `pagesPerSheet` pages per sheet on A4 portrait, its layout
    // computed, its session begun, with a graphics state just reset.
    PDEV* Start(int pagesPerSheet, bool color = false) {
        PDEV* pdev = EnableDefault();
        if (!pdev) return nullptr;
        pdev->Devmode.pub.dmPaperSize = DMPAPER_A4;
        pdev->Devmode.pub.dmOrientation = DMORIENT_PORTRAIT;
        pdev->Devmode.priv.PagesPerSheet = BYTE(pagesPerSheet);
        EXPECT_TRUE(Xmodel_Lookup(&pdev->Geometry, &pdev->Devmode, DMPAPER_A4, FALSE));
        pdev->Orientation = DMORIENT_PORTRAIT;
        OpenJob(pdev);
        if (color) pdev->Job.JobDevmode.pub.dmColor = DMCOLOR_COLOR;
        pdev->Job.State.PageCounter = 1;
        pdev->Job.State.SheetPageCount = 1;
        Layout_StartJob(pdev);
        EXPECT_TRUE(Pxl_BeginSession(pdev));
        Gx_ResetCache(pdev);
        return pdev;
    }

    // The whole job, ended after what the test wrote.
    job::DecodedJob Decode(PDEV* pdev) {
        Pxl_CloseDataSource(pdev);
        EXPECT_TRUE(Pjl_WriteEndOfJob(pdev));
        const Bytes bytes = TakeOutput(pdev);
        job::DecodedJob decoded = job::DecodeJob(std::span<const uint8_t>(bytes.data(), bytes.size()));
        EXPECT_TRUE(decoded.Ok()) << Problems(decoded);
        return decoded;
    }

    // The bounding boxes of the RectanglePath operators, in order.
    static std::vector<Box> Rectangles(const job::DecodedJob& decoded) {
        std::vector<Box> boxes;
        for (const job::Operator* op : decoded.Find("RectanglePath")) {
            const job::Attribute* box = op->Find("BoundingBox");
            if (!box) {
                ADD_FAILURE() << "RectanglePath without a bounding box";
                continue;
            }
            boxes.push_back({box->value.Int(0), box->value.Int(1), box->value.Int(2), box->value.Int(3)});
        }
        return boxes;
    }
};

TEST_F(LayoutBorders, GridOutlinesEveryCellInsideItsClip) {
    PDEV* pdev = Start(4);
    ASSERT_NE(pdev, nullptr);
    const RECTL rect = {0, 0, 200, 100};
    EXPECT_TRUE(Layout_DrawGrid(pdev, &rect, 2, 1, 4, 0));
    const job::DecodedJob decoded = Decode(pdev);
    // The clip first, grown by half the pen, then one rectangle a cell.
    const std::vector<Box> expected = {{-2, -2, 202, 102}, {0, 0, 100, 100}, {100, 0, 200, 100}};
    EXPECT_EQ(Rectangles(decoded), expected);
    EXPECT_EQ(decoded.Count("SetClipReplace"), 1u);
    EXPECT_EQ(decoded.Count("PaintPath"), 2u);
    const job::Operator* width = decoded.First("SetPenWidth");
    ASSERT_NE(width, nullptr);
    EXPECT_EQ(width->Int("PenWidth"), 4);
    const job::Operator* brush = decoded.First("SetBrushSource");
    ASSERT_NE(brush, nullptr);
    EXPECT_TRUE(brush->Has("NullBrush"));
    const job::Operator* pen = decoded.First("SetPenSource");
    ASSERT_NE(pen, nullptr);
    EXPECT_EQ(pen->Int("GrayLevel"), 0);  // black without flag 0x1
}

struct PenCase {
    int flags;
    int red, green, blue;
};
const PenCase kPens[] = {
    {0x0, 0, 0, 0},          {0x1, 255, 255, 255},   {0x3, 0xFF, 0xC8, 0xC8},
    {0x5, 0xC8, 0xFA, 0x96}, {0x9, 0xC8, 0xC8, 0xC8}, {0x8, 0, 0, 0},
};

class LayoutGridPen : public LayoutBorders, public testing::WithParamInterface<PenCase> {};

TEST_P(LayoutGridPen, FlagsPickThePenColour) {
    PDEV* pdev = Start(4, true);
    ASSERT_NE(pdev, nullptr);
    const RECTL rect = {10, 10, 20, 20};
    EXPECT_TRUE(Layout_DrawGrid(pdev, &rect, 1, 1, 2, GetParam().flags));
    const job::DecodedJob decoded = Decode(pdev);
    const job::Operator* pen = decoded.First("SetPenSource");
    ASSERT_NE(pen, nullptr);
    const job::Attribute* rgb = pen->Find("RGBColor");
    ASSERT_NE(rgb, nullptr);
    ASSERT_EQ(rgb->value.Count(), 3u);
    EXPECT_EQ(rgb->value.Int(0), GetParam().red);
    EXPECT_EQ(rgb->value.Int(1), GetParam().green);
    EXPECT_EQ(rgb->value.Int(2), GetParam().blue);
}

INSTANTIATE_TEST_SUITE_P(All, LayoutGridPen, testing::ValuesIn(kPens));

TEST_F(LayoutBorders, CellFrameIsTheCellInsetWithPenThree) {
    PDEV* pdev = Start(4);
    ASSERT_NE(pdev, nullptr);
    // Cell 2 of a 2 x 2 sheet: (2384, 0) to (4768, 3408), inset by 16 and 2.
    EXPECT_TRUE(Layout_DrawCellFrame(pdev, 2, 2));
    const job::DecodedJob decoded = Decode(pdev);
    const std::vector<Box> expected = {{2401, 17, 4751, 3391}, {2402, 18, 4750, 3390}};
    EXPECT_EQ(Rectangles(decoded), expected);
    const job::Operator* width = decoded.First("SetPenWidth");
    ASSERT_NE(width, nullptr);
    EXPECT_EQ(width->Int("PenWidth"), 3);
}

// The image shift right (direction 5 on a portrait sheet) by 300 dots,
// 204 beyond D: the cells were shrunk to leave it its room, so each of the
// two columns is (4768 - 204) / 2 = 2282 wide; the page moves by the whole
// shift, or with the shift fit by its column's share (204 x (2 - c) / 2).
// The frame is that cell as placed, inset by 18.
struct ShiftedFrameCase {
    int cell;
    int fit;
    Box frame;
};
const ShiftedFrameCase kShiftedFrames[] = {
    {1, 1, {204 + 18, 18, 204 + 2282 - 18, 3390}},
    {2, 1, {2384 + 102 + 18, 18, 2384 + 102 + 2282 - 18, 3390}},
    {4, 1, {2384 + 102 + 18, 3408 + 18, 2384 + 102 + 2282 - 18, 6798}},
    {1, 0, {204 + 18, 18, 204 + 2282 - 18, 3390}},
    {2, 0, {2384 + 204 + 18, 18, 2384 + 204 + 2282 - 18, 3390}},
};

class LayoutShiftedFrame : public LayoutBorders, public testing::WithParamInterface<ShiftedFrameCase> {};

TEST_P(LayoutShiftedFrame, IsTheCellAsItsPageIsPlaced) {
    const ShiftedFrameCase& c = GetParam();
    PDEV* pdev = Start(4);
    ASSERT_NE(pdev, nullptr);
    RendPrivate& job = pdev->Job.JobDevmode.priv;
    job.ImageShiftDirection = 5;
    job.FrontShift = 300;
    job.ShiftFit = BYTE(c.fit);
    Layout_ComputeNup(pdev);
    ASSERT_DOUBLE_EQ(pdev->Job.State.Layout.ShiftScale, (4768.0 - 204) / (4768 * 2));
    // The page's origin moves as the frame does.
    pdev->Job.State.SheetPageCount = UINT16(c.cell);
    INT16 x = 0, y = 0;
    ASSERT_EQ(Layout_PageTransform(pdev, &x, &y, c.cell), 0);
    EXPECT_EQ(x, 96 + c.frame.left - 18);
    EXPECT_EQ(y, 96 + c.frame.top - 18);
    EXPECT_TRUE(Layout_DrawCellFrame(pdev, 2, c.cell));
    const std::vector<Box> boxes = Rectangles(Decode(pdev));
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[1], c.frame);
}

INSTANTIATE_TEST_SUITE_P(All, LayoutShiftedFrame, testing::ValuesIn(kShiftedFrames));

TEST_F(LayoutBorders, SheetGridCoversThePrintableArea) {
    PDEV* pdev = Start(4);
    ASSERT_NE(pdev, nullptr);
    EXPECT_TRUE(Layout_DrawCellFrame(pdev, 3, 0));
    const job::DecodedJob decoded = Decode(pdev);
    // (1, 1) to (4767, 6815) in 2 x 2 cells, pen width 2.
    const std::vector<Box> expected = {
        {0, 0, 4768, 6816}, {1, 1, 2384, 3408}, {2384, 1, 4767, 3408}, {1, 3408, 2384, 6815}, {2384, 3408, 4767, 6815},
    };
    EXPECT_EQ(Rectangles(decoded), expected);
    EXPECT_EQ(decoded.Count("PaintPath"), 4u);
    EXPECT_EQ(decoded.First("SetPenWidth")->Int("PenWidth"), 2);
}

// Two pages per sheet turn the sheet: it lies across the portrait page the
// printer is given, its two halves one above the other, and the frames and
// the grid follow the pages there.
TEST_F(LayoutBorders, TurnedSheetFramesLieOnThePrintersPage) {
    PDEV* pdev = Start(2);
    ASSERT_NE(pdev, nullptr);
    INT16 x = 0, y = 0;
    ASSERT_EQ(Layout_PageTransform(pdev, &x, &y, 1), 270);
    // The second cell: the lower half, (0, 3408) to (4768, 6816), inset by 18.
    EXPECT_TRUE(Layout_DrawCellFrame(pdev, 2, 2));
    EXPECT_TRUE(Layout_DrawCellFrame(pdev, 3, 0));
    const std::vector<Box> expected = {
        {17, 3425, 4751, 6799}, {18, 3426, 4750, 6798},                       // frame: clip, rectangle
        {0, 0, 4768, 6816},     {1, 1, 4767, 3408},     {1, 3408, 4767, 6815},  // grid: clip, two cells
    };
    EXPECT_EQ(Rectangles(Decode(pdev)), expected);
}

TEST_F(LayoutBorders, OtherModeIsAnInternalCheckAndWritesNothing) {
    PDEV* pdev = Start(4);
    ASSERT_NE(pdev, nullptr);
    TakeOutput(pdev);
    EXPECT_FALSE(Layout_DrawCellFrame(pdev, 1, 1));
    EXPECT_FALSE(Layout_DrawCellFrame(pdev, 4, 1));
    EXPECT_TRUE(TakeOutput(pdev).empty());
    EXPECT_TRUE(pdev->Job.JobFlags & JOBF_CHECK_REPORTED);
    EXPECT_STREQ(pdev->Job.Gstate.CheckText, "File:jobctrl Line:7040\n");
}

TEST(LayoutBorderMode, IsTheLowByteOfTheCurrentSettings) {
    auto pdev = std::make_unique<PDEV>();
    pdev->Devmode.priv.PageBorderMode = 0x10C;
    pdev->Job.JobDevmode.priv.PageBorderMode = 0x4;
    EXPECT_EQ(Layout_GetBorderMode(pdev.get()), 0x0C);
    EXPECT_EQ(Layout_GetBorderMode(nullptr), 0);
}

TEST_F(LayoutBorders, EmptyGridWritesNothing) {
    PDEV* pdev = Start(4);
    ASSERT_NE(pdev, nullptr);
    TakeOutput(pdev);
    const RECTL rect = {0, 0, 10, 10};
    EXPECT_FALSE(Layout_DrawGrid(pdev, &rect, 0, 1, 2, 0));
    EXPECT_FALSE(Layout_DrawGrid(pdev, nullptr, 1, 1, 2, 0));
    EXPECT_TRUE(TakeOutput(pdev).empty());
}

}  // namespace
}  // namespace tam::test
