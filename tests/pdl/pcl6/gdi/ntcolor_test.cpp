// Colour adjustment through the image-processing library (its stand-in,
// modules/zodaridoz.cpp, which leaves colours alone unless the machine's
// TAM_ZODARIDOZ says "levels": then it adds each level to its component),
// and the palettes of indexed images and patterns.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "job_fixture.h"
#include "machine/debuglog.h"
#include "pcl6/gdi/gx.h"
#include "pcl6/gdi/ips.h"
#include "pcl6/gdi/module.h"
#include "pcl6/gdi/nt/ntcolor.h"
#include "pcl6/gdi/pjl.h"
#include "support/module_install.h"

namespace tam::test {
namespace {

class ColorAdjustment : public JobTest {
protected:
    void TearDown() override {
        Tamrend_SetModule(nullptr);
        JobTest::TearDown();
    }

    // Puts the library beside the driver and binds it, as the session start does.
    void BindLibrary(bool addLevels) {
        InstallModule(machine(), "Zodaridoz.dll", InDriverFolder(kIpsFile));
        HMODULE module = LoadLibraryW(InDriverFolder(kTamrendFile).c_str());
        ASSERT_NE(module, nullptr);
        Tamrend_SetModule(module);
        ASSERT_TRUE(Ips_Load());
        if (addLevels) {
            const std::u16string levels = u"levels";
            machine().SetEnvironment(u"TAM_ZODARIDOZ", &levels);
        }
        w32::DebugLogClear();
    }

    PDEV* StartPage(bool color) {
        PDEV* pdev = EnableDefault();
        if (!pdev) return nullptr;
        OpenJob(pdev);
        if (color) pdev->Job.JobDevmode.pub.dmColor = DMCOLOR_COLOR;
        Gx_ResetCache(pdev);
        return pdev;
    }

    static void SetTriple(PDEV* pdev, int triple, int a, int b, int c) {
        INT8* levels = pdev->Job.JobDevmode.priv.ColorAdjust.Levels[triple];
        levels[0] = INT8(a), levels[1] = INT8(b), levels[2] = INT8(c);
    }

    static std::vector<int> Adjusted(PDEV* pdev, BYTE r, BYTE g, BYTE b) {
        Color_AdjustRgb(pdev, &r, &g, &b);
        return {r, g, b};
    }

    static size_t Calls(const std::string& function) {
        const std::string log = w32::DebugLogText();
        size_t count = 0;
        for (size_t at = log.find("zodaridoz " + function); at != std::string::npos;
             at = log.find("zodaridoz " + function, at + 1))
            ++count;
        return count;
    }
};

struct Triple {
    int index, a, b, c;
};

struct RgbCase {
    const char* name;
    int allObjectsMode;
    std::vector<Triple> triples;
    int kind;
    UINT32 flags;
    std::vector<int> result;  // from (100, 100, 100)
};

TEST_F(ColorAdjustment, LevelTriplesByObjectKind) {
    const RgbCase cases[] = {
        {"all objects", 1, {{3, 10, 20, 30}}, GX_OBJECT_TEXT, 0, {110, 120, 130}},
        {"all objects for images too", 1, {{3, 10, 20, 30}}, GX_OBJECT_IMAGE, 0, {110, 120, 130}},
        {"all objects with a zero triple", 1, {{3, 0, 0, 0}, {0, 5, 5, 5}}, GX_OBJECT_TEXT, 0, {100, 100, 100}},
        {"all objects out of range", 1, {{3, 101, 0, 0}}, GX_OBJECT_TEXT, 0, {100, 100, 100}},
        {"text", 0, {{0, 5, 6, 7}}, GX_OBJECT_TEXT, 0, {105, 106, 107}},
        {"vector triple for text", 0, {{1, 5, 6, 7}}, GX_OBJECT_TEXT, 0, {100, 100, 100}},
        {"vector", 0, {{1, 5, 6, 7}}, GX_OBJECT_VECTOR, 0, {105, 106, 107}},
        {"image", 0, {{2, -10, 0, 10}}, GX_OBJECT_IMAGE, 0, {90, 100, 110}},
        {"a level of 101 anywhere", 0, {{0, 5, 6, 7}, {2, 0, 101, 0}}, GX_OBJECT_TEXT, 0, {100, 100, 100}},
        {"a level of -101 anywhere", 0, {{1, 5, 6, 7}, {0, -101, 0, 0}}, GX_OBJECT_VECTOR, 0, {100, 100, 100}},
        {"the all-objects triple is not read", 0, {{3, 5, 6, 7}}, GX_OBJECT_TEXT, 0, {100, 100, 100}},
        {"another kind", 0, {{0, 5, 6, 7}, {1, 5, 6, 7}, {2, 5, 6, 7}}, 3, 0, {100, 100, 100}},
        {"the interface's watermark", 0, {{0, 5, 6, 7}}, GX_OBJECT_TEXT, JOBF_UI_DRAWING, {100, 100, 100}},
        {"a recorded page part", 1, {{3, 5, 6, 7}}, GX_OBJECT_TEXT, JOBF_RECORDING_PART, {100, 100, 100}},
    };
    BindLibrary(true);
    for (const RgbCase& c : cases) {
        SCOPED_TRACE(c.name);
        PDEV* pdev = StartPage(true);
        ASSERT_NE(pdev, nullptr);
        pdev->Job.JobDevmode.priv.ColorAdjust.Value12 = BYTE(c.allObjectsMode);
        for (const Triple& t : c.triples) SetTriple(pdev, t.index, t.a, t.b, t.c);
        pdev->Job.Gstate.ObjectKind = BYTE(c.kind);
        pdev->Job.JobFlags |= c.flags;
        EXPECT_EQ(Adjusted(pdev, 100, 100, 100), c.result);
    }
}

TEST_F(ColorAdjustment, IdentityLibraryIsAskedButChangesNothing) {
    BindLibrary(false);
    PDEV* pdev = StartPage(true);
    ASSERT_NE(pdev, nullptr);
    pdev->Job.JobDevmode.priv.ColorAdjust.Value12 = 0;
    SetTriple(pdev, 1, 5, -6, 7);
    pdev->Job.Gstate.ObjectKind = GX_OBJECT_VECTOR;
    EXPECT_EQ(Adjusted(pdev, 1, 2, 3), (std::vector<int>{1, 2, 3}));
    EXPECT_NE(w32::DebugLogText().find("zodaridoz ColorAdjustmentN count=1 levels=5,-6,7\n"), std::string::npos)
        << w32::DebugLogText();
    // The defaults of the settings ask for nothing.
    w32::DebugLogClear();
    std::memcpy(&pdev->Job.JobDevmode, &pdev->Devmode, sizeof(RendDevmode));
    EXPECT_EQ(Adjusted(pdev, 1, 2, 3), (std::vector<int>{1, 2, 3}));
    BYTE grey = 50;
    Color_AdjustGray(pdev, &grey);
    EXPECT_EQ(grey, 50);
    EXPECT_EQ(Calls(""), 0u) << w32::DebugLogText();
}

TEST_F(ColorAdjustment, WithoutTheLibraryColoursStayAsTheyAre) {
    if (Ips_Binding().Library) GTEST_SKIP() << "the library is bound in this process already";
    PDEV* pdev = StartPage(true);
    ASSERT_NE(pdev, nullptr);
    pdev->Job.JobDevmode.priv.ColorAdjust.Value12 = 1;
    SetTriple(pdev, 3, 10, 10, 10);
    EXPECT_EQ(Adjusted(pdev, 1, 2, 3), (std::vector<int>{1, 2, 3}));
    pdev->Job.JobDevmode.priv.ColorAdjust.Value11 = 1;
    BYTE grey = 50;
    Color_AdjustGray(pdev, &grey);
    EXPECT_EQ(grey, 50);
}

TEST_F(ColorAdjustment, GreyLevelsByMode) {
    struct GreyCase {
        const char* name;
        LONG mode;
        BYTE force;
        std::vector<BYTE> levels;
        UINT32 flags;
        int result;  // from 100
        size_t calls;
    };
    const GreyCase cases[] = {
        {"mode 0", 0, 0, {5, 5, 10}, 0, 100, 0},
        {"mode 1 with levels", 1, 0, {5, 5, 10}, 0, 120, 1},
        {"mode 1 without levels", 1, 0, {0, 0, 0}, 0, 100, 0},
        {"mode 2 without levels", 2, 0, {0, 0, 0}, 0, 100, 1},
        {"forced in mode 0", 0, 1, {1, 2, 3}, 0, 106, 1},
        {"the interface's watermark", 1, 1, {5, 5, 10}, JOBF_UI_DRAWING, 100, 0},
        {"a recorded page part", 1, 0, {5, 5, 10}, JOBF_RECORDING_PART, 100, 0},
    };
    BindLibrary(true);
    for (const GreyCase& c : cases) {
        SCOPED_TRACE(c.name);
        PDEV* pdev = StartPage(false);
        ASSERT_NE(pdev, nullptr);
        RendColorAdjust& settings = pdev->Job.JobDevmode.priv.ColorAdjust;
        settings.Value4 = c.mode;
        settings.Value11 = c.force;
        for (int i = 0; i < 3; ++i) settings.GreyLevels[i] = c.levels[i];
        pdev->Job.JobFlags |= c.flags;
        w32::DebugLogClear();
        BYTE grey = 100;
        Color_AdjustGray(pdev, &grey);
        EXPECT_EQ(grey, c.result);
        EXPECT_EQ(Calls("GrayAdjustmentTRC count=1 curve=0"), c.calls) << w32::DebugLogText();
    }
}

// Pens and brushes go out adjusted.
TEST_F(ColorAdjustment, PensAndBrushesAreWrittenAdjusted) {
    BindLibrary(true);
    PDEV* color = StartPage(true);
    ASSERT_NE(color, nullptr);
    color->Job.JobDevmode.priv.ColorAdjust.Value12 = 1;
    SetTriple(color, 3, 10, -10, 20);
    Gx_SetPenColor(color, RGB(100, 100, 100));
    EXPECT_EQ(HexText(TakeOutput(color)), HexText(Hex("C0 02 F8 03 6A C8 C1 03 00 6E 5A 78 F8 0B 79")));
    // Brushes too dark to change, and pure white, stay as they are.
    struct Brush {
        COLORREF in;
        const char* bytes;
    };
    const Brush brushes[] = {
        {RGB(100, 100, 100), "C8 C1 03 00 6E 5A 78 F8 0B 63"},
        {RGB(1, 0, 0), "C8 C1 03 00 01 00 00 F8 0B 63"},
        {RGB(0, 1, 1), "C8 C1 03 00 00 01 01 F8 0B 63"},
        {RGB(2, 1, 0), "C8 C1 03 00 0C 00 14 F8 0B 63"},  // 148 + 155 = 303: adjusted
        {RGB(255, 255, 255), "C8 C1 03 00 FF FF FF F8 0B 63"},
    };
    for (const Brush& b : brushes) {
        SCOPED_TRACE(b.bytes);
        Gx_SetBrushColor(color, b.in);
        EXPECT_EQ(HexText(TakeOutput(color)), HexText(Hex(b.bytes)));
    }

    // A grey job: the grey adjustment applies to the level.
    PDEV* mono = StartPage(false);
    ASSERT_NE(mono, nullptr);
    mono->Job.JobDevmode.priv.ColorAdjust.Value4 = 1;
    mono->Job.JobDevmode.priv.ColorAdjust.GreyLevels[2] = 7;
    Gx_SetBrushColor(mono, RGB(50, 50, 50));
    EXPECT_EQ(HexText(TakeOutput(mono)), HexText(Hex("C0 01 F8 03 6A C0 39 F8 09 63")));
}

class Palettes : public ColorAdjustment {};

TEST_F(Palettes, TheSamePaletteIsWrittenOnce) {
    PDEV* pdev = StartPage(false);
    ASSERT_NE(pdev, nullptr);
    const BYTE blackWhite[2] = {0x00, 0xFF};
    const std::string twoEntries = HexText(Hex("C0 01 F8 03 C0 02 F8 02 C8 C1 02 00 00 FF F8 06 6A"));
    EXPECT_TRUE(Color_SetPalette(pdev, blackWhite, COLOR_PALETTE_2));
    EXPECT_EQ(HexText(TakeOutput(pdev)), twoEntries);
    EXPECT_TRUE(Color_SetPalette(pdev, blackWhite, COLOR_PALETTE_2));
    EXPECT_EQ(HexText(TakeOutput(pdev)), "");
    EXPECT_EQ(pdev->Job.Gstate.ColorSpace, GX_SPACE_PALETTE_2);

    // Another palette, or another colour space in between, writes it again.
    const BYTE whiteBlack[2] = {0xFF, 0x00};
    Color_SetPalette(pdev, whiteBlack, COLOR_PALETTE_2);
    EXPECT_EQ(HexText(TakeOutput(pdev)), HexText(Hex("C0 01 F8 03 C0 02 F8 02 C8 C1 02 00 FF 00 F8 06 6A")));
    Gx_SetPenColor(pdev, RGB(0, 0, 0));
    TakeOutput(pdev);
    Color_SetPalette(pdev, whiteBlack, COLOR_PALETTE_2);
    EXPECT_EQ(TakeOutput(pdev).size(), 17u);
    // So does a new page.
    Gx_ResetCache(pdev);
    Color_SetPalette(pdev, whiteBlack, COLOR_PALETTE_2);
    EXPECT_EQ(TakeOutput(pdev).size(), 17u);

    // Sixteen entries are kept apart from two; 256 are always written.
    BYTE sixteen[16];
    for (int i = 0; i < 16; ++i) sixteen[i] = BYTE(i * 17);
    Color_SetPalette(pdev, sixteen, COLOR_PALETTE_16);
    const Bytes written = TakeOutput(pdev);
    ASSERT_EQ(written.size(), 12u + 16u + 3u);
    EXPECT_EQ(HexText(Bytes(written.begin(), written.begin() + 12)),
              HexText(Hex("C0 01 F8 03 C0 02 F8 02 C8 C1 10 00")));
    EXPECT_EQ(HexText(Bytes(written.end() - 3, written.end())), "F8 06 6A");
    Color_SetPalette(pdev, sixteen, COLOR_PALETTE_16);
    EXPECT_TRUE(TakeOutput(pdev).empty());
    BYTE ramp[256];
    for (int i = 0; i < 256; ++i) ramp[i] = BYTE(i);
    for (int round = 0; round < 2; ++round) {
        Color_SetPalette(pdev, ramp, COLOR_PALETTE_256);
        EXPECT_EQ(TakeOutput(pdev).size(), 12u + 256u + 3u) << round;
    }
    EXPECT_FALSE(Color_SetPalette(pdev, ramp, 3));
    EXPECT_TRUE(TakeOutput(pdev).empty());
}

TEST_F(Palettes, ColourJobsWriteRgbEntries) {
    PDEV* pdev = StartPage(true);
    ASSERT_NE(pdev, nullptr);
    const BYTE redBlue[6] = {0xFF, 0, 0, 0, 0, 0xFF};
    Color_SetPalette(pdev, redBlue, COLOR_PALETTE_2);
    EXPECT_EQ(HexText(TakeOutput(pdev)),
              HexText(Hex("C0 02 F8 03 C0 02 F8 02 C8 C1 06 00 FF 00 00 00 00 FF F8 06 6A")));
    // The whole of each entry counts.
    const BYTE redGreen[6] = {0xFF, 0, 0, 0, 0xFF, 0};
    Color_SetPalette(pdev, redGreen, COLOR_PALETTE_2);
    EXPECT_EQ(TakeOutput(pdev).size(), 21u);
}

TEST_F(Palettes, PaletteColourSpaceDecodes) {
    PDEV* pdev = StartPage(true);
    ASSERT_NE(pdev, nullptr);
    ASSERT_TRUE(Pxl_BeginSession(pdev));
    BYTE sixteen[48];
    for (int i = 0; i < 48; ++i) sixteen[i] = BYTE(i * 5);
    ASSERT_TRUE(Color_SetPalette(pdev, sixteen, COLOR_PALETTE_16));
    Pxl_CloseDataSource(pdev);
    Pjl_WriteEndOfJob(pdev);
    Spool_Flush(pdev);
    const Bytes bytes = JobBytes();
    const job::DecodedJob decoded = job::DecodeJob(std::span<const uint8_t>(bytes.data(), bytes.size()));
    ASSERT_TRUE(decoded.Ok()) << Problems(decoded);
    const job::Operator* space = decoded.First("SetColorSpace");
    ASSERT_NE(space, nullptr);
    EXPECT_EQ(space->Int("ColorSpace"), 2);
    EXPECT_EQ(space->Int("PaletteDepth"), 2);
    const auto* palette = space->Find("PaletteData");
    ASSERT_NE(palette, nullptr);
    EXPECT_EQ(palette->value.Count(), 48u);
    EXPECT_EQ(palette->value.Int(47), 235);
}

TEST_F(Palettes, TheInterfacesWatermarkPrintsBlackAndWhite) {
    PDEV* pdev = StartPage(false);
    ASSERT_NE(pdev, nullptr);
    pdev->Job.JobDevmode.priv.Watermark.WatermarkOn = 1;
    pdev->Job.JobFlags |= JOBF_UI_DRAWING;
    const BYTE greys[2] = {0x40, 0xC0};
    const std::string fixed =
        HexText(Hex("C0 02 F8 03 C0 02 F8 02 C8 C1 06 00 00 00 00 FF FF FF F8 06 6A"));
    Color_SetPalette(pdev, greys, COLOR_PALETTE_2);
    EXPECT_EQ(HexText(TakeOutput(pdev)), fixed);
    Color_SetPalette(pdev, greys, COLOR_PALETTE_2);
    EXPECT_TRUE(TakeOutput(pdev).empty());
    // When the interface is done, the page's own palette comes back.
    pdev->Job.JobFlags &= ~JOBF_UI_DRAWING;
    Color_SetPalette(pdev, greys, COLOR_PALETTE_2);
    EXPECT_EQ(HexText(TakeOutput(pdev)), HexText(Hex("C0 01 F8 03 C0 02 F8 02 C8 C1 02 00 40 C0 F8 06 6A")));
    // Without a watermark in the settings nothing is replaced.
    pdev->Job.JobDevmode.priv.Watermark.WatermarkOn = 0;
    pdev->Job.JobFlags |= JOBF_UI_DRAWING;
    Color_SetPalette(pdev, greys, COLOR_PALETTE_2);
    EXPECT_TRUE(TakeOutput(pdev).empty());
}

}  // namespace
}  // namespace tam::test
