// Text in the job stream, written straight into a job: the font selection
// and the names of downloaded fonts.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "job_fixture.h"
#include "pcl6/gdi/fontcache.h"
#include "pcl6/gdi/text.h"

namespace tam::test {
namespace {

class TextStream : public JobTest {
protected:
    PDEV* StartJob() {
        PDEV* pdev = EnableDefault();
        if (pdev) OpenJob(pdev);
        return pdev;
    }
    std::string Out(PDEV* pdev) { return HexText(TakeOutput(pdev)); }
};

struct SetFontCase {
    const char* name;
    int number;
    LONG size;
    UINT16 symbolSet;
    DWORD flags;
    const char* bytes;
};

// FontName, CharSize as real32, SymbolSet as uint16, SetFont.
const SetFontCase kSetFont[] = {
    // a downloaded TrueType font: its number less 100 and "TT" before the face
    {"Arial", 103, 50, 2, FONTNAME_PREFIX,
     "C8 C1 08 00 \"3TTArial\" F8 A8 C5 00 00 48 42 F8 A6 C1 02 00 F8 AA 6F"},
    // a bitmap font, "BM"; a negative size is sent as its magnitude
    {"Arial", 100, -25, 2, FONTNAME_PREFIX | FONTNAME_BITMAP,
     "C8 C1 08 00 \"0BMArial\" F8 A8 C5 00 00 C8 41 F8 A6 C1 02 00 F8 AA 6F"},
    // a printer-resident font by its own name and symbol set
    {"Courier         ", 10003, 100, 277, 0,
     "C8 C1 10 00 \"Courier         \" F8 A8 C5 00 00 C8 42 F8 A6 C1 15 01 F8 AA 6F"},
    // a face name is cut to 31 bytes
    {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefgh", 112, 1, 2, FONTNAME_PREFIX,
     "C8 C1 23 00 \"12TTABCDEFGHIJKLMNOPQRSTUVWXYZabcde\" F8 A8 C5 00 00 80 3F F8 A6 C1 02 00 F8 AA 6F"},
};

TEST_F(TextStream, SetFontWritesNameSizeAndSymbolSet) {
    PDEV* pdev = StartJob();
    ASSERT_NE(pdev, nullptr);
    for (const SetFontCase& c : kSetFont) {
        SCOPED_TRACE(c.name);
        EXPECT_TRUE(Tx_SetFont(pdev, c.name, c.number, c.size, c.symbolSet, c.flags));
        EXPECT_EQ(Out(pdev), HexText(Hex(c.bytes)));
        EXPECT_EQ(pdev->Job.Text.CharSize, c.size);
        EXPECT_EQ(pdev->Job.Text.FontNumber, c.number);
    }
}

TEST_F(TextStream, FontNameGivesTheLengthWritten) {
    PDEV* pdev = StartJob();
    ASSERT_NE(pdev, nullptr);
    EXPECT_EQ(Pxl_WriteFontName(pdev, "Arial", 215, FONTNAME_PREFIX | FONTNAME_BITMAP), 10u);
    EXPECT_EQ(Out(pdev), HexText(Hex("C8 C1 0A 00 \"115BMArial\" F8 A8")));
    EXPECT_EQ(Pxl_WriteFontName(pdev, nullptr, 100, 0), 0u);
    EXPECT_FALSE(Tx_SetFont(pdev, nullptr, 100, 10, 2, 0));
    EXPECT_EQ(Out(pdev), "");
}

}  // namespace
}  // namespace tam::test
