// Brushes: solid colours as grey levels or RGB, hatch patterns defined once
// per job under ids from 8 (and, past the pool's limit, each time as the
// temporary pattern), bitmap patterns kept by their content, the pattern
// origin, the realisations DrvRealizeBrush refuses, and the pattern lists'
// life: a job starts them empty, a kept sheet ends them, a reset PDEV
// carries them over.
#include <gtest/gtest.h>
#include <windows.h>
#include <winddi.h>

#include <cstring>
#include <string>
#include <vector>

#include "job_fixture.h"
#include "pcl6/gdi/brush.h"
#include "pcl6/gdi/gx.h"
#include "pcl6/gdi/jobctrl.h"
#include "pcl6/gdi/nt/ddi.h"

namespace tam::test {
namespace {

// A realised brush made by hand: header, rows, colour table.
struct Realized {
    std::vector<BYTE> bytes;
    BRUSHOBJ object{0xFFFFFFFF, nullptr, 0};

    RealizedBrush* Header() { return reinterpret_cast<RealizedBrush*>(bytes.data()); }
    BRUSHOBJ* Object() {
        object.pvRbrush = bytes.data();
        return &object;
    }
};

// A hatch with colours [background, lines]: grey bytes in a monochrome
// job, 32-bit colours in a colour job.
Realized Hatch(ULONG hatch, ULONG background, ULONG lines, bool color) {
    Realized r;
    r.bytes.assign(sizeof(RealizedBrush) + (color ? 8 : 2), 0);
    *r.Header() = {8, 8, BMF_1BPP, 2, sizeof(RealizedBrush), hatch, 0};
    BYTE* table = r.bytes.data() + sizeof(RealizedBrush);
    if (color) {
        std::memcpy(table, &background, 4);
        std::memcpy(table + 4, &lines, 4);
    } else {
        table[0] = BYTE(background);
        table[1] = BYTE(lines);
    }
    return r;
}

// A colour job's 2 x 2 RGB pattern (format 5, no table), rows padded to 8.
Realized RgbPattern(BYTE seed) {
    Realized r;
    r.bytes.assign(sizeof(RealizedBrush) + 16, 0);
    *r.Header() = {2, 2, BRUSH_FORMAT_RGB24, 0, sizeof(RealizedBrush) + 16, 12, 8};
    for (int i = 0; i < 6; ++i) r.bytes[sizeof(RealizedBrush) + i] = BYTE(seed + i);
    return r;
}

class BrushTest : public JobTest {
protected:
    PDEV* Page(bool color = false) {
        PDEV* pdev = StartJob(color);
        if (pdev) TakeOutput(pdev);
        return pdev;
    }
};

TEST(BrushGrey, WeighsRedGreenAndBlue) {
    EXPECT_EQ(Brush_GreyOf(RGB(255, 0, 0)), 73);
    EXPECT_EQ(Brush_GreyOf(RGB(0, 255, 0)), 154);
    EXPECT_EQ(Brush_GreyOf(RGB(0, 0, 255)), 26);
    EXPECT_EQ(Brush_GreyOf(RGB(255, 255, 255)), 255);
    EXPECT_EQ(Brush_GreyOf(RGB(128, 128, 128)), 128);
}

// The first cross hatch of a monochrome job, black lines on white: a grey
// palette [lines, background], the 1-bit 8 x 8 pattern as id 8 for the
// session, its rows padded to 4 bytes, and its selection.
TEST_F(BrushTest, FirstMonochromeCrossHatch) {
    PDEV* pdev = Page();
    ASSERT_NE(pdev, nullptr);
    Realized cross = Hatch(HS_CROSS, 255, 0, false);
    ASSERT_TRUE(Brush_Select(pdev, cross.Object(), nullptr, TRUE));
    EXPECT_EQ(Out(pdev), HexText(Hex("C0 01 F8 03 C0 02 F8 02 C8 C1 02 00 00 FF F8 06 6A "
                                     "C0 01 F8 64 C0 00 F8 62 C1 08 00 F8 6C C1 08 00 F8 6B D1 20 00 20 00 F8 67 "
                                     "C3 08 00 F8 69 C0 02 F8 68 B3 "
                                     "C1 00 00 F8 6D C1 08 00 F8 63 C0 00 F8 65 B4 FB 20 "
                                     "00 00 00 00 00 00 00 00 3F 00 00 00 3F 00 00 00 3F 00 00 00 "
                                     "3F 00 00 00 3F 00 00 00 3F 00 00 00 B5 C3 08 00 F8 08 63")));
    // Selected again: nothing. As the pen: the selection alone.
    ASSERT_TRUE(Brush_Select(pdev, cross.Object(), nullptr, TRUE));
    EXPECT_EQ(Out(pdev), "");
    ASSERT_TRUE(Brush_Select(pdev, cross.Object(), nullptr, FALSE));
    EXPECT_EQ(Out(pdev), HexText(Hex("C3 08 00 F8 08 79")));
    // Another colour is another pattern.
    Realized grey = Hatch(HS_CROSS, 255, 128, false);
    ASSERT_TRUE(Brush_Select(pdev, grey.Object(), nullptr, TRUE));
    const std::string out = Out(pdev);
    EXPECT_NE(out.find(HexText(Hex("C3 09 00 F8 69"))), std::string::npos) << out;
    EXPECT_EQ(pdev->Job.Patterns.PatternCount, 2);
}

// A colour job's hatch: RGB pixels, a 0 bit taking the lines' colour.
TEST_F(BrushTest, ColourHatchCarriesRgbPixels) {
    PDEV* pdev = Page(true);
    ASSERT_NE(pdev, nullptr);
    Realized hatch = Hatch(HS_HORIZONTAL, RGB(255, 255, 0), RGB(0, 0, 255), true);
    ASSERT_TRUE(Brush_Select(pdev, hatch.Object(), nullptr, TRUE));
    const Bytes out = TakeOutput(pdev);
    const Bytes head = Hex("C0 02 F8 03 6A C0 00 F8 64 C0 02 F8 62 C1 08 00 F8 6C C1 08 00 F8 6B "
                           "D1 20 00 20 00 F8 67 C3 08 00 F8 69 C0 02 F8 68 B3 "
                           "C1 00 00 F8 6D C1 08 00 F8 63 C0 00 F8 65 B4 FB C0");
    ASSERT_GE(out.size(), head.size() + 192);
    EXPECT_EQ(Bytes(out.begin(), out.begin() + head.size()), head);
    const BYTE* pixels = out.data() + head.size();
    // Rows 0 and 1 are the blue line, the rest the yellow background.
    EXPECT_EQ(Bytes(pixels, pixels + 3), Hex("00 00 FF"));
    EXPECT_EQ(Bytes(pixels + 8 * 3, pixels + 8 * 3 + 3), Hex("00 00 FF"));
    EXPECT_EQ(Bytes(pixels + 16 * 3, pixels + 16 * 3 + 3), Hex("FF FF 00"));
}

TEST_F(BrushTest, PatternOriginUnlessTheDocumentKeepsIt) {
    struct Case {
        const char16_t* document;
        const char* bytes;
    };
    const Case cases[] = {
        {u"Report", "C3 08 00 F8 08 D3 03 00 04 00 F8 0C 63"},
        {u"Slides - pp0722-lodner.PPTX", "C3 08 00 F8 08 63"},
        {u"Slides - PP0722(CU19374)-Lodner.pptx [1]", "C3 08 00 F8 08 63"},
    };
    for (const Case& c : cases) {
        PDEV* pdev = Page();
        ASSERT_NE(pdev, nullptr);
        lstrcpynW(pdev->Job.State.DocumentName, c.document, JOB_DOCUMENT_NAME_CHARS);
        Realized hatch = Hatch(HS_VERTICAL, 255, 0, false);
        const POINTL origin{3, 4};
        ASSERT_TRUE(Brush_Select(pdev, hatch.Object(), nullptr, TRUE));  // defined and selected at (0, 0)
        TakeOutput(pdev);
        ASSERT_TRUE(Brush_Select(pdev, hatch.Object(), &origin, TRUE));
        EXPECT_EQ(Out(pdev), HexText(Hex(c.bytes)));
    }
}

// The pool holds 5120 hatches (ids 8 to 5127); further ones are defined
// at each use under the temporary id.
TEST_F(BrushTest, PastThePoolHatchesAreTemporary) {
    PDEV* pdev = Page();
    ASSERT_NE(pdev, nullptr);
    int defined = 0;
    for (ULONG hatch = 0; hatch < 6 && defined < 5120; ++hatch)
        for (ULONG bg = 0; bg < 256 && defined < 5120; ++bg)
            for (ULONG line = 0; line < 4 && defined < 5120; ++line, ++defined) {
                Realized r = Hatch(hatch, bg, line, false);
                ASSERT_EQ(Brush_DefineHatch(pdev, r.Header()), 8 + defined);
            }
    EXPECT_EQ(pdev->Job.Patterns.PoolBytes, PATTERN_POOL_LIMIT);
    TakeOutput(pdev);
    Realized extra = Hatch(HS_DIAGCROSS, 255, 200, false);
    for (int use = 0; use < 2; ++use) {
        ASSERT_TRUE(Brush_Select(pdev, extra.Object(), nullptr, TRUE));
        const std::string out = Out(pdev);
        EXPECT_NE(out.find(HexText(Hex("C3 01 80 F8 69 C0 00 F8 68 B3"))), std::string::npos) << out;
        EXPECT_NE(out.find(HexText(Hex("C3 01 80 F8 08 63"))), std::string::npos) << out;
    }
    // A cached hatch is still found.
    Realized first = Hatch(0, 0, 0, false);
    EXPECT_EQ(Brush_DefineHatch(pdev, first.Header()), 8);
}

// Bitmap patterns without a colour table are kept by their content.
TEST_F(BrushTest, BitmapPatternsAreFoundByContent) {
    PDEV* pdev = Page(true);
    ASSERT_NE(pdev, nullptr);
    Realized a = RgbPattern(10), same = RgbPattern(10), other = RgbPattern(20);
    ASSERT_TRUE(Brush_Select(pdev, a.Object(), nullptr, TRUE));
    const std::string first = Out(pdev);
    // Direct 8-bit RGB, 2 x 2 pixels at 4 device pixels each, id 8.
    EXPECT_NE(first.find(HexText(Hex("C0 00 F8 64 C0 02 F8 62 C1 02 00 F8 6C C1 02 00 F8 6B D1 08 00 08 00 F8 67 "
                                     "C3 08 00 F8 69 C0 02 F8 68 B3"))),
              std::string::npos)
        << first;
    EXPECT_NE(first.find(HexText(Hex("B4 FB 10 0A 0B 0C 0D 0E 0F 00 00"))), std::string::npos) << first;
    Gx_SetBrushColor(pdev, RGB(1, 2, 3));
    TakeOutput(pdev);
    EXPECT_EQ(Brush_DefineBitmapPattern(pdev, same.Header()), 8);
    EXPECT_EQ(Out(pdev), "");
    EXPECT_EQ(Brush_DefineBitmapPattern(pdev, other.Header()), 9);
}

// Patterns with a colour table are defined for each use.
TEST_F(BrushTest, IndexedBitmapPatternsAreTemporary) {
    PDEV* pdev = Page();
    ASSERT_NE(pdev, nullptr);
    Realized r;
    r.bytes.assign(sizeof(RealizedBrush) + 8 * 4 + 2, 0);
    *r.Header() = {8, 8, BMF_1BPP, 2, sizeof(RealizedBrush) + 32, 12, 4};
    r.bytes[sizeof(RealizedBrush)] = 0xAA;
    r.bytes[sizeof(RealizedBrush) + 32] = 0;
    r.bytes[sizeof(RealizedBrush) + 33] = 255;
    for (int use = 0; use < 2; ++use) {
        EXPECT_EQ(Brush_DefineBitmapPattern(pdev, r.Header()), PATTERN_TEMPORARY_ID);
        const std::string out = Out(pdev);
        EXPECT_NE(out.find(HexText(Hex("C0 01 F8 64 C0 00 F8 62"))), std::string::npos) << out;
    }
    EXPECT_EQ(pdev->Job.Patterns.PatternCount, 0);
}

TEST_F(BrushTest, SolidColoursAndTheAlternatePen) {
    struct Case {
        bool color;
        bool alternate;
        ULONG solid;
        const char* bytes;
    };
    const Case cases[] = {
        {false, false, RGB(255, 0, 0), "C0 01 F8 03 6A C0 49 F8 09 79"},
        {false, true, RGB(0, 0, 0), "C0 01 F8 03 6A C0 3F F8 09 79"},
        {false, true, RGB(128, 128, 128), "C0 01 F8 03 6A C0 5F F8 09 79"},
        {true, false, RGB(1, 2, 3), "C0 02 F8 03 6A C8 C1 03 00 01 02 03 F8 0B 79"},
    };
    for (const Case& c : cases) {
        PDEV* pdev = Page(c.color);
        ASSERT_NE(pdev, nullptr);
        pdev->Job.Gstate.AlternateLine = c.alternate;
        BRUSHOBJ brush{c.solid, nullptr, 0};
        ASSERT_TRUE(Brush_Select(pdev, &brush, nullptr, FALSE));
        EXPECT_EQ(Out(pdev), HexText(Hex(c.bytes)));
    }
    // No brush: the null pen and brush. A non-solid brush without a
    // realisation is refused.
    PDEV* pdev = Page();
    ASSERT_NE(pdev, nullptr);
    ASSERT_TRUE(Brush_Select(pdev, nullptr, nullptr, FALSE));
    ASSERT_TRUE(Brush_Select(pdev, nullptr, nullptr, TRUE));
    EXPECT_EQ(Out(pdev), HexText(Hex("C0 00 F8 05 79 C0 00 F8 04 63")));
    BRUSHOBJ unrealized{0xFFFFFFFF, nullptr, 0};
    EXPECT_FALSE(Brush_Select(pdev, &unrealized, nullptr, TRUE));
}

// Realisations refused before any memory is asked for: a hatch whose
// translation has a single colour, and a pattern in a format that has no
// rows of the six pixel formats.
TEST_F(BrushTest, RealizeRefusesHatchesOfOneColourAndUnknownFormats) {
    PDEV* pdev = Page();
    ASSERT_NE(pdev, nullptr);
    SURFOBJ target{};
    target.dhpdev = AsDhpdev(pdev);
    BRUSHOBJ brush{0xFFFFFFFF, nullptr, 0};
    ULONG one[1] = {0};
    XLATEOBJ xlate{};
    xlate.flXlate = XO_TABLE;
    xlate.cEntries = 1;
    xlate.pulXlate = one;
    BYTE bits[64] = {};
    SURFOBJ hatch{};
    hatch.iBitmapFormat = BMF_1BPP;
    hatch.sizlBitmap = {8, 8};
    hatch.pvScan0 = bits;
    hatch.lDelta = 4;
    EXPECT_FALSE(DrvRealizeBrush(&brush, &target, &hatch, nullptr, &xlate, HS_CROSS));
    for (ULONG format : {ULONG(BMF_4RLE), ULONG(BMF_JPEG), ULONG(0), ULONG(77)}) {
        SURFOBJ pattern = hatch;
        pattern.iBitmapFormat = format;
        SetLastError(0);
        EXPECT_FALSE(DrvRealizeBrush(&brush, &target, &pattern, nullptr, nullptr, HS_API_MAX)) << format;
        EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    }
    EXPECT_EQ(brush.pvRbrush, nullptr);
}

// The pattern lists belong to the job: a new job on the same PDEV defines
// its patterns again from id 8, a sheet kept for a replay ends them, and a
// reset PDEV carries them on.
TEST_F(BrushTest, PatternListsLiveWithTheJob) {
    PDEV* pdev = Page();
    ASSERT_NE(pdev, nullptr);
    Realized a = Hatch(HS_CROSS, 255, 0, false), b = Hatch(HS_VERTICAL, 255, 0, false);
    EXPECT_EQ(Brush_DefineHatch(pdev, a.Header()), 8);
    EXPECT_EQ(Brush_DefineHatch(pdev, b.Header()), 9);

    // A reset PDEV takes the lists over.
    PDEV* next = EnableDefault();
    ASSERT_NE(next, nullptr);
    ASSERT_TRUE(Job_ResetPdev(next, pdev));
    EXPECT_EQ(pdev->Job.Patterns.Hatches, nullptr);
    EXPECT_EQ(Brush_DefineHatch(next, b.Header()), 9);
    TakeOutput(next);

    // A sheet kept in the spool file ends them.
    next->Job.JobDevmode.priv.SheetKeepValue = 1;
    Job_CompleteSheet(next);
    EXPECT_EQ(next->Job.Patterns.PatternCount, 0);
    EXPECT_EQ(Brush_DefineHatch(next, b.Header()), 8);

    // A new job starts them empty.
    CloseJob();
    OpenJob(next);
    EXPECT_EQ(next->Job.Patterns.Hatches, nullptr);
    EXPECT_EQ(Brush_DefineHatch(next, a.Header()), 8);
}

}  // namespace
}  // namespace tam::test
