// The graphics state: each state operator is written when its value changes
// and only then, the black conversion of greys, the clip, the colour
// treatment and the raster-operation overrides, and the diagnostic aids.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "job_fixture.h"
#include "pcl6/gdi/gx.h"

namespace tam::test {
namespace {

class GraphicsState : public JobTest {
protected:
    // A job on a page whose state was just reset.
    PDEV* StartPage(bool color = false) { return StartJob(color); }
};

struct Change {
    const char* name;
    std::function<BOOL(PDEV*)> first;
    const char* firstBytes;
    std::function<BOOL(PDEV*)> second;  // a different value
    const char* secondBytes;
};

// Each request is written, repeated it writes nothing, changed it writes again.
TEST_F(GraphicsState, RepeatedValuesAreWrittenOnce) {
    const Change changes[] = {
        {"brush", [](PDEV* p) { return Gx_SetBrushColor(p, RGB(128, 0, 0)); }, "C0 01 F8 03 6A C0 80 F8 09 63",
         [](PDEV* p) { return Gx_SetBrushColor(p, RGB(64, 0, 0)); }, "C0 40 F8 09 63"},
        {"pen", [](PDEV* p) { return Gx_SetPenColor(p, RGB(128, 0, 0)); }, "C0 80 F8 09 79",
         [](PDEV* p) { return Gx_SetPenColor(p, RGB(0, 0, 0)); }, "C0 00 F8 09 79"},
        {"raster operation", [](PDEV* p) { return Gx_SetRopAndModes(p, 252, GX_TX_OPAQUE, GX_TX_OPAQUE, 0); },
         "C0 FC F8 2C 7B C0 00 F8 2D 7C C0 00 F8 2D 78",
         [](PDEV* p) { return Gx_SetRopAndModes(p, 240, GX_TX_OPAQUE, GX_TX_TRANSPARENT, 0); },
         "C0 F0 F8 2C 7B C0 01 F8 2D 78"},
        {"pen width", [](PDEV* p) { return Gx_SetPenWidth(p, 3); }, "C1 03 00 F8 4B 7A",
         [](PDEV* p) { return Gx_SetPenWidth(p, 600); }, "C1 58 02 F8 4B 7A"},
        {"fill mode", [](PDEV* p) { return Gx_SetFillMode(p, TRUE); }, "C0 01 F8 46 6E",
         [](PDEV* p) { return Gx_SetFillMode(p, FALSE); }, "C0 00 F8 46 6E"},
        {"clip mode", [](PDEV* p) { return Gx_SetClipMode(p, FALSE); }, "C0 00 F8 54 7F",
         [](PDEV* p) { return Gx_SetClipMode(p, TRUE); }, "C0 01 F8 54 7F"},
        {"character angle", [](PDEV* p) { return Gx_SetCharAngle(p, 90); }, "C1 5A 00 F8 A1 64",
         [](PDEV* p) { return Gx_SetCharAngle(p, 0); }, "C1 00 00 F8 A1 64"},
        {"character shear", [](PDEV* p) { return Gx_SetCharShear(p, 0.0, 0.5); },
         "D5 00 00 00 00 00 00 00 3F F8 A5 66", [](PDEV* p) { return Gx_SetCharShear(p, 0.0, 0.0); },
         "D5 00 00 00 00 00 00 00 00 F8 A5 66"},
        {"character bold value", [](PDEV* p) { return Gx_SetCharBoldValue(p, 0.5); }, "C5 00 00 00 3F F8 B1 7D",
         [](PDEV* p) { return Gx_SetCharBoldValue(p, 0.0); }, "C5 00 00 00 00 F8 B1 7D"},
        {"character scale", [](PDEV* p) { return Gx_SetCharScale(p, -2.0, FALSE); },
         "D5 00 00 00 40 00 00 80 3F F8 A4 65", [](PDEV* p) { return Gx_SetCharScale(p, 0.5, FALSE); },
         "D5 00 00 00 3F 00 00 80 3F F8 A4 65"},
        {"dash", [](PDEV* p) { return Gx_SetLineDash(p, 1); }, "C8 C0 02 3C 1E F8 4A 70",
         [](PDEV* p) { return Gx_SetLineDash(p, 0); }, "C0 00 F8 4E 70"},
    };
    PDEV* pdev = StartPage();
    ASSERT_NE(pdev, nullptr);
    for (const Change& c : changes) {
        SCOPED_TRACE(c.name);
        EXPECT_TRUE(c.first(pdev));
        EXPECT_EQ(Out(pdev), HexText(Hex(c.firstBytes)));
        c.first(pdev);
        EXPECT_EQ(Out(pdev), "");
        EXPECT_TRUE(c.second(pdev));
        EXPECT_EQ(Out(pdev), HexText(Hex(c.secondBytes)));
    }
}

// After a reset the printer's defaults are assumed: pen width 1 and a solid
// line are not written, everything else is.
TEST_F(GraphicsState, ResetMakesTheNextRequestsWrite) {
    PDEV* pdev = StartPage();
    ASSERT_NE(pdev, nullptr);
    Gx_SetPenColor(pdev, RGB(10, 0, 0));
    Gx_SetFillMode(pdev, FALSE);
    Gx_SetCharAngle(pdev, 0);
    TakeOutput(pdev);
    Gx_ResetCache(pdev);
    EXPECT_TRUE(Gx_SetPenWidth(pdev, 1));
    EXPECT_EQ(Out(pdev), "");
    Gx_SetPenColor(pdev, RGB(10, 0, 0));
    Gx_SetFillMode(pdev, FALSE);
    Gx_SetCharAngle(pdev, 0);
    Gx_SetCharScale(pdev, 1.0, FALSE);  // the printer's own scale after a reset
    EXPECT_EQ(Out(pdev), HexText(Hex("C0 01 F8 03 6A C0 0A F8 09 79 C0 00 F8 46 6E C1 00 00 F8 A1 64")));
}

TEST_F(GraphicsState, NullSourcesAlwaysWriteAndForceTheNextColour) {
    PDEV* pdev = StartPage();
    ASSERT_NE(pdev, nullptr);
    Gx_SetBrushColor(pdev, RGB(0, 0, 0));
    Gx_SetPenColor(pdev, RGB(0, 0, 0));
    TakeOutput(pdev);
    EXPECT_TRUE(Gx_SetNullBrush(pdev));
    EXPECT_TRUE(Gx_SetNullBrush(pdev));
    EXPECT_TRUE(Gx_SetNullPen(pdev));
    EXPECT_EQ(Out(pdev), HexText(Hex("C0 00 F8 04 63 C0 00 F8 04 63 C0 00 F8 05 79")));
    EXPECT_EQ(pdev->Job.Gstate.BrushKind, GX_BRUSH_NULL);
    EXPECT_EQ(pdev->Job.Gstate.PenKind, GX_PEN_NULL);
    Gx_SetBrushColor(pdev, RGB(0, 0, 0));
    Gx_SetPenColor(pdev, RGB(0, 0, 0));
    EXPECT_EQ(Out(pdev), HexText(Hex("C0 00 F8 09 63 C0 00 F8 09 79")));
    EXPECT_EQ(pdev->Job.Gstate.BrushKind, GX_BRUSH_COLOR);
}

TEST_F(GraphicsState, DashPatternsScaleWithTheResolution) {
    struct Dash {
        int style;
        int step;
        BOOL wrote;
        const char* bytes;
    };
    const Dash dashes[] = {
        {4, 0, TRUE, "C8 C0 06 3C 1E 0F 1E 0F 1E F8 4A 70"},
        {1, 0, TRUE, "C8 C0 02 3C 1E F8 4A 70"},
        {2, 0, TRUE, "C8 C0 02 0F 1E F8 4A 70"},
        {3, 0, TRUE, "C8 C0 04 0F 1E 3C 1E F8 4A 70"},
        {4, 1, TRUE, "C8 C0 06 78 3C 1E 3C 1E 3C F8 4A 70"},
        {6, 0, FALSE, ""},
        {7, 0, FALSE, ""},
        {5, 0, FALSE, ""},
    };
    for (const Dash& d : dashes) {
        SCOPED_TRACE(testing::Message() << d.style << " at step " << d.step);
        PDEV* pdev = StartPage();
        ASSERT_NE(pdev, nullptr);
        pdev->Job.JobDevmode.priv.ColorAdjust.ResolutionStep = BYTE(d.step);
        EXPECT_EQ(Gx_SetLineDash(pdev, d.style), d.wrote);
        EXPECT_EQ(Out(pdev), HexText(Hex(d.bytes)));
        EXPECT_EQ(pdev->Job.Gstate.DashStyle, d.wrote ? d.style : 0);
    }
    // A pen width after a dash pattern makes the line solid and is written
    // even when the width is the one in force.
    PDEV* pdev = StartPage();
    ASSERT_NE(pdev, nullptr);
    Gx_SetLineDash(pdev, 2);
    TakeOutput(pdev);
    EXPECT_TRUE(Gx_SetPenWidth(pdev, 1));
    EXPECT_EQ(Out(pdev), HexText(Hex("C0 00 F8 4E 70 C1 01 00 F8 4B 7A")));
}

TEST_F(GraphicsState, BlackConversionOfGreyLevels) {
    struct Grey {
        int kind;        // object kind
        int conversion;  // the settings' black conversion
        UINT32 flags;    // extra JobFlags
        int level;
        int written;
    };
    const Grey greys[] = {
        {GX_OBJECT_TEXT, 1, 0, 128, 0},
        {GX_OBJECT_IMAGE, 1, 0, 128, 128},
        {GX_OBJECT_IMAGE, 3, 0, 128, 128},
        {GX_OBJECT_VECTOR, 1, 0, 128, 128},
        {GX_OBJECT_VECTOR, 2, 0, 128, 0},
        {GX_OBJECT_TEXT, 3, 0, 200, 0},
        {GX_OBJECT_VECTOR, 3, 0, 1, 0},
        {GX_OBJECT_TEXT, 0, 0, 128, 128},
        {GX_OBJECT_TEXT, 1, 0, 255, 255},
        {GX_OBJECT_TEXT, 3, JOBF_UI_DRAWING, 128, 128},
        {GX_OBJECT_TEXT, 3, JOBF_RECORDING_PART, 128, 128},
    };
    for (const Grey& g : greys) {
        SCOPED_TRACE(testing::Message() << "kind " << g.kind << ", conversion " << g.conversion << ", flags "
                                        << g.flags << ", level " << g.level);
        PDEV* pdev = StartPage();
        ASSERT_NE(pdev, nullptr);
        pdev->Job.JobDevmode.priv.ColorAdjust.Value32 = BYTE(g.conversion);
        pdev->Job.JobFlags |= g.flags;
        pdev->Job.Gstate.ObjectKind = BYTE(g.kind);
        EXPECT_TRUE(Gx_SetBrushColor(pdev, RGB(g.level, g.level, g.level)));
        const Bytes bytes = TakeOutput(pdev);
        ASSERT_EQ(bytes.size(), 10u);
        EXPECT_EQ(bytes[6], g.written);
        EXPECT_EQ(pdev->Job.Gstate.BrushColor, g.written);
    }
    // A level already converted is not sent again for the same request.
    PDEV* pdev = StartPage();
    ASSERT_NE(pdev, nullptr);
    pdev->Job.JobDevmode.priv.ColorAdjust.Value32 = 1;
    Gx_SetBrushColor(pdev, RGB(128, 128, 128));
    TakeOutput(pdev);
    Gx_SetBrushColor(pdev, RGB(128, 128, 128));
    EXPECT_EQ(Out(pdev), "");
    pdev->Job.Gstate.ObjectKind = GX_OBJECT_IMAGE;
    Gx_SetBrushColor(pdev, RGB(128, 128, 128));
    EXPECT_EQ(Out(pdev), "C0 80 F8 09 63");
}

TEST_F(GraphicsState, RgbColoursInAColourJob) {
    PDEV* pdev = StartPage(true);
    ASSERT_NE(pdev, nullptr);
    EXPECT_TRUE(Gx_SetBrushColor(pdev, RGB(1, 2, 3)));
    EXPECT_EQ(Out(pdev), HexText(Hex("C0 02 F8 03 6A C8 C1 03 00 01 02 03 F8 0B 63")));
    Gx_SetBrushColor(pdev, RGB(1, 2, 3));
    EXPECT_EQ(Out(pdev), "");
    Gx_SetPenColor(pdev, RGB(1, 2, 3));
    EXPECT_EQ(Out(pdev), HexText(Hex("C8 C1 03 00 01 02 03 F8 0B 79")));
    // While a page part is recorded the brush colour is always sent.
    pdev->Job.JobFlags |= JOBF_RECORDING_PART;
    Gx_SetBrushColor(pdev, RGB(1, 2, 3));
    Gx_SetPenColor(pdev, RGB(1, 2, 3));
    EXPECT_EQ(Out(pdev), HexText(Hex("C8 C1 03 00 01 02 03 F8 0B 63")));
    // An explicit colour space is always written; the job's only when it is not in force.
    EXPECT_TRUE(Gx_SetColorSpace(pdev, GX_SPACE_GREY));
    EXPECT_TRUE(Gx_SetColorSpace(pdev, GX_SPACE_JOB));
    EXPECT_FALSE(Gx_SetColorSpace(pdev, GX_SPACE_JOB));
    EXPECT_TRUE(Gx_SetColorSpace(pdev, GX_SPACE_RGB));
    EXPECT_FALSE(Gx_SetColorSpace(pdev, 3));
    EXPECT_EQ(Out(pdev), HexText(Hex("C0 01 F8 03 6A C0 02 F8 03 6A C0 02 F8 03 6A")));
    EXPECT_EQ(pdev->Job.Gstate.ColorSpace, GX_SPACE_RGB);
}

TEST_F(GraphicsState, ClipRectangleWithinThePrintableArea) {
    PDEV* pdev = StartPage();
    ASSERT_NE(pdev, nullptr);
    // A4 at 600 dpi: 4960 x 7008 with margins of 96: printable 4768 x 6816.
    const RECTL wanted = {2734, 10, 9000, 500};
    EXPECT_TRUE(Gx_SetClipRect(pdev, &wanted));
    EXPECT_EQ(Out(pdev), HexText(Hex("85 E3 AD 0A 0A 00 A0 12 F4 01 F8 42 A1 C0 00 F8 53 62")));
    EXPECT_TRUE(Gx_SetClipRect(pdev, &wanted));
    const RECTL same = {2733, 10, 4768, 500};
    EXPECT_TRUE(Gx_SetClipRect(pdev, &same));
    EXPECT_EQ(Out(pdev), "");
    EXPECT_TRUE(Gx_SetClipRect(pdev, nullptr));
    EXPECT_EQ(Out(pdev), HexText(Hex("85 E3 00 00 00 00 A0 12 A0 1A F8 42 A1 C0 00 F8 53 62")));
    EXPECT_EQ(pdev->Job.Gstate.ClipChanges, 2);
    // Without clipping the box is only remembered.
    pdev->Job.Gstate.NoClip = 1;
    const RECTL other = {0, 0, 100, 100};
    EXPECT_TRUE(Gx_SetClipRect(pdev, &other));
    EXPECT_EQ(Out(pdev), "");
    EXPECT_EQ(pdev->Job.Gstate.ClipBox.right, 100);
    EXPECT_EQ(pdev->Job.Gstate.ClipChanges, 3);
}

TEST_F(GraphicsState, ColourTreatmentOnlyInColourJobs) {
    PDEV* mono = StartPage();
    ASSERT_NE(mono, nullptr);
    EXPECT_TRUE(Gx_SetColorTreatment(mono, 0));
    EXPECT_EQ(Out(mono), "");

    PDEV* color = StartPage(true);
    ASSERT_NE(color, nullptr);
    const std::string command = HexText(Hex("C2 02 20 70 68 F8 91 C0 00 F8 93 46"));
    EXPECT_TRUE(Gx_SetColorTreatment(color, 0));
    EXPECT_EQ(Out(color), command);
    EXPECT_TRUE(Gx_SetColorTreatment(color, 0));  // 0 is always written
    EXPECT_EQ(Out(color), command);
    EXPECT_TRUE(Gx_SetColorTreatment(color, 2));
    EXPECT_EQ(color->Job.Gstate.ColorTreatment, 2);
    EXPECT_FALSE(Gx_SetColorTreatment(color, 4));
    EXPECT_EQ(color->Job.Gstate.ColorTreatment, 2);
    EXPECT_EQ(Out(color), "");
    // The treatment is not part of the page's reset.
    Gx_ResetCache(color);
    EXPECT_EQ(color->Job.Gstate.ColorTreatment, 2);
}

TEST_F(GraphicsState, WatermarkAndPagePartsOverrideTheRasterOperation) {
    struct Step {
        UINT32 flags;
        BYTE alternate;
        int treatment;
        const char* bytes;
    };
    // From ROP 252 with opaque modes in force.
    const Step steps[] = {
        {JOBF_UI_DRAWING, 0, 1, "C0 F0 F8 2C 7B"},
        {JOBF_UI_DRAWING, 0, 2, "C0 FC F8 2C 7B"},
        {JOBF_UI_DRAWING, 1, 3, "C0 A0 F8 2C 7B"},
        {JOBF_UI_DRAWING, 1, 3, "C0 FA F8 2C 7B C0 01 F8 2D 7C C0 01 F8 2D 78"},
        {JOBF_UI_DRAWING, 1, 1, "C0 A0 F8 2C 7B C0 00 F8 2D 7C C0 00 F8 2D 78"},
        {JOBF_UI_DRAWING, 1, 1, "C0 FA F8 2C 7B C0 01 F8 2D 7C C0 01 F8 2D 78"},
        {JOBF_UI_DRAWING, 1, 3, "C0 A0 F8 2C 7B C0 00 F8 2D 7C C0 00 F8 2D 78"},
        {JOBF_RECORDING_PART, 0, 3, "C0 F0 F8 2C 7B"},
        {JOBF_RECORDING_PART, 0, 1, "C0 FC F8 2C 7B"},
    };
    PDEV* pdev = StartPage();
    ASSERT_NE(pdev, nullptr);
    Gx_SetRopAndModes(pdev, 252, GX_TX_OPAQUE, GX_TX_OPAQUE, 0);
    TakeOutput(pdev);
    int index = 0;
    for (const Step& s : steps) {
        SCOPED_TRACE(index++);
        pdev->Job.JobFlags = JOBF_JOB_OPEN | s.flags;
        pdev->Job.Gstate.AlternatePattern = s.alternate;
        EXPECT_TRUE(Gx_SetRopAndModes(pdev, 252, GX_TX_OPAQUE, GX_TX_OPAQUE, s.treatment));
        EXPECT_EQ(Out(pdev), HexText(Hex(s.bytes)));
    }
}

TEST_F(GraphicsState, CharacterScaleForms) {
    PDEV* pdev = StartPage();
    ASSERT_NE(pdev, nullptr);
    const std::string integer = HexText(Hex("D1 01 00 01 00 F8 A4 65"));
    const std::string unit = HexText(Hex("D5 00 00 80 3F 00 00 80 3F F8 A4 65"));
    EXPECT_TRUE(Gx_SetCharScale(pdev, 3.0, TRUE));
    EXPECT_EQ(Out(pdev), integer);
    Gx_SetCharScale(pdev, 1.0, TRUE);
    EXPECT_EQ(Out(pdev), "");
    Gx_SetCharScale(pdev, 1.0, FALSE);  // equal, but last sent in the integer form
    EXPECT_EQ(Out(pdev), unit);
    Gx_SetCharScale(pdev, 1.0, FALSE);
    EXPECT_EQ(Out(pdev), "");
    Gx_SetCharScale(pdev, 1.0, TRUE);
    EXPECT_EQ(Out(pdev), integer);
}

TEST_F(GraphicsState, FillRectAndDebugOutline) {
    PDEV* pdev = StartPage();
    ASSERT_NE(pdev, nullptr);
    const RECTL rect = {10, 20, 30, 40};
    EXPECT_TRUE(Gx_FillRect(pdev, &rect));
    const std::string fill = HexText(Hex("D3 0A 00 14 00 F8 4C 6B 85 E3 0A 00 14 00 1E 00 28 00 F8 42 A1 86"));
    EXPECT_EQ(Out(pdev), fill);

    // Outlines of a type show only when the object mask has its bit.
    pdev->Job.JobDevmode.priv.OutputMask = 0x20E;
    Gx_DrawDebugOutline(pdev, GX_OUTLINE_BLUE, &rect);
    EXPECT_EQ(Out(pdev), "");
    pdev->Job.JobDevmode.priv.OutputMask = 0x20E | (1 << GX_OUTLINE_BLUE);
    Gx_DrawDebugOutline(pdev, GX_OUTLINE_BLUE, &rect);
    // ROP 252 and opaque modes; the null brush; the pen: grey space, the
    // blue colour's red byte (0) as its level; width 2; the frame.
    EXPECT_EQ(Out(pdev), HexText(Hex("C0 FC F8 2C 7B C0 00 F8 2D 7C C0 00 F8 2D 78 C0 00 F8 04 63 C0 01 F8 03 6A "
                                     "C0 00 F8 09 79 C1 02 00 F8 4B 7A")) +
                             " " + fill);
}

TEST_F(GraphicsState, InternalChecksAreReportedOncePerSheetWhileAJobIsOpen) {
    PDEV* pdev = EnableDefault();
    ASSERT_NE(pdev, nullptr);
    // No job: every check is reported.
    Dbg_Assert(pdev, "C:\\src\\pclxl.cpp", 10);
    EXPECT_STREQ(pdev->Job.Gstate.CheckText, "File:pclxl.cpp Line:10\n");
    Dbg_Assert(pdev, "gx", 11);
    EXPECT_STREQ(pdev->Job.Gstate.CheckText, "File:gx Line:11\n");

    OpenJob(pdev);
    Dbg_Assert(pdev, "src/spool.cpp", 20);
    EXPECT_STREQ(pdev->Job.Gstate.CheckText, "File:spool.cpp Line:20\n");
    EXPECT_TRUE(pdev->Job.JobFlags & JOBF_CHECK_REPORTED);
    Dbg_Assert(pdev, "gx", 21);
    EXPECT_STREQ(pdev->Job.Gstate.CheckText, "File:spool.cpp Line:20\n");
    // A new sheet reports again.
    pdev->Job.JobFlags &= ~JOBF_CHECK_REPORTED;
    Dbg_Assert(pdev, "gx", 22);
    EXPECT_STREQ(pdev->Job.Gstate.CheckText, "File:gx Line:22\n");
    EXPECT_TRUE(JobBytes().empty());
    Dbg_Assert(nullptr, "gx", 23);  // no PDEV: reported, nothing kept
}

TEST_F(GraphicsState, ObjectRangeFilter) {
    PDEV* pdev = StartPage();
    ASSERT_NE(pdev, nullptr);
    EXPECT_FALSE(Gx_SkipByRange(pdev));  // no range
    EXPECT_EQ(pdev->Job.Gstate.ObjectCounter, 0);
    pdev->Job.JobDevmode.priv.ObjectRangeFirst = 2;
    pdev->Job.JobDevmode.priv.ObjectRangeLast = 3;
    std::vector<bool> skipped;
    for (int i = 0; i < 5; ++i) skipped.push_back(Gx_SkipByRange(pdev));
    EXPECT_EQ(skipped, (std::vector<bool>{true, false, false, true, true}));
}

TEST_F(GraphicsState, BitmapHelpers) {
    PDEV* pdev = StartPage();
    ASSERT_NE(pdev, nullptr);
    BYTE pixels[7] = {1, 2, 3, 4, 5, 6, 7};
    Gx_SwapRedBlue(pdev, pixels, pixels, 7);  // the last byte is no whole pixel
    EXPECT_EQ(Bytes(pixels, pixels + 7), (Bytes{3, 2, 1, 6, 5, 4, 7}));
    EXPECT_EQ(std::string(pdev->Job.Gstate.CheckText).rfind("File:gx Line:", 0), 0u);
    BYTE copy[6] = {};
    Gx_SwapRedBlue(pdev, copy, pixels, 6);
    EXPECT_EQ(Bytes(copy, copy + 6), (Bytes{1, 2, 3, 4, 5, 6}));

    // 33 pixels wide: rows of 8 bytes; three rows.
    BYTE bits[24];
    for (int i = 0; i < 24; ++i) bits[i] = BYTE(i);
    Gx_FlipBitmap(bits, 33, 3);
    Bytes expected;
    for (int row : {2, 1, 0})
        for (int k = 0; k < 8; ++k) expected.push_back(BYTE(row * 8 + k));
    EXPECT_EQ(Bytes(bits, bits + 24), expected);
}

TEST_F(GraphicsState, TextLogStartsLinesWhenTheBaselineMoves) {
    PDEV* pdev = StartPage();
    ASSERT_NE(pdev, nullptr);
    HANDLE log = CreateFileW(u"C:\\text.txt", GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(log, INVALID_HANDLE_VALUE);
    pdev->Job.Text.CharSize = 100;
    // A line starts more than 0.2 of the size below the last baseline or
    // more than 0.8 of it above: at 1041 and at 881.
    const LONG baselines[] = {1000, 1000, 1020, 1041, 962, 881};
    for (LONG y : baselines) Dbg_TextLogNewLine(pdev, log, 0, y);
    EXPECT_EQ(GetFileSize(log, nullptr), 4u);
    Dbg_CloseFile(pdev, log);
    EXPECT_FALSE(Dbg_WriteFile(pdev, nullptr, "x", 1));
    EXPECT_FALSE(Dbg_WriteFile(pdev, INVALID_HANDLE_VALUE, "x", 1));
}

}  // namespace
}  // namespace tam::test
