// Text in the job stream, written straight into a job: the font selection
// and the names of downloaded fonts.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "job_fixture.h"
#include "pcl6/gdi/fontcache.h"
#include "pcl6/gdi/text.h"

namespace tam::test {
namespace {

using TextStream = JobTest;

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

// The printer code of a character in each encoding a string can have.
struct CharCodeCase {
    const char* name;
    UINT32 flags;
    UINT32 codePage;
    WCHAR character;
    UINT16 code;
    BOOL known;
};

const CharCodeCase kCharCodes[] = {
    {"Utf16Exchanged", TEXTF_UTF16, 1252, 0x00E9, 0xE900, TRUE},
    {"Utf16Chinese", TEXTF_UTF16, 1252, 0x4E2D, 0x2D4E, TRUE},
    {"Utf16Zero", TEXTF_UTF16, 1252, 0, 0xFFFF, TRUE},
    {"SingleByte", 0, 1252, 0x00E9, 0x00E9, TRUE},
    {"SingleByteEuro", 0, 1252, 0x20AC, 0x0080, TRUE},
    {"DoubleByteLeadHigh", TEXTF_DOUBLE_BYTE, 936, 0x4E2D, 0xD6D0, TRUE},
    {"DoubleByteAscii", TEXTF_DOUBLE_BYTE, 936, u'A', 0x0041, TRUE},
    {"SingleByteNeedsTwo", 0, 936, 0x4E2D, 0xFFFF, FALSE},
};

class CharCode : public TextStream, public testing::WithParamInterface<CharCodeCase> {};

TEST_P(CharCode, IsTheCodeThePrinterReads) {
    const CharCodeCase& c = GetParam();
    PDEV* pdev = StartJob();
    ASSERT_NE(pdev, nullptr);
    pdev->Job.Text.TextFlags = c.flags;
    pdev->Job.Text.CodePage = c.codePage;
    UINT16 code = 0;
    EXPECT_EQ(Tx_CharCode(pdev, c.character, &code), c.known);
    EXPECT_EQ(code, c.code);
}

INSTANTIATE_TEST_SUITE_P(All, CharCode, testing::ValuesIn(kCharCodes),
                         [](const auto& info) { return std::string(info.param.name); });

// TextData carries each code as the uint16 the printer reads, the value
// its font holds the glyph under: a UTF-16 value, a double-byte code as
// the glyph download sends it (lead byte first), or a single byte as the
// single-byte CharCode sends it.
TEST_F(TextStream, TextDataHoldsTheCodesTheFontsHold) {
    struct Case {
        UINT32 flags;
        UINT32 codePage;
        std::u16string text;
        const char* bytes;
    };
    const Case cases[] = {
        {TEXTF_UTF16, 1252, u"\u00e9A", "C9 C0 02 E9 00 41 00 F8 AB"},
        {0, 1252, u"\u00e9A", "C9 C0 02 E9 00 41 00 F8 AB"},
        {TEXTF_DOUBLE_BYTE, 936, u"\u4e2dA", "C9 C0 02 D6 D0 00 41 F8 AB"},
    };
    PDEV* pdev = StartJob();
    ASSERT_NE(pdev, nullptr);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes);
        pdev->Job.Text.TextFlags = c.flags;
        pdev->Job.Text.CodePage = c.codePage;
        EXPECT_TRUE(Pxl_WriteTextData(pdev, c.text.data(), DWORD(c.text.size()), FALSE));
        EXPECT_EQ(Out(pdev), HexText(Hex(c.bytes)));
    }
}

TEST_F(TextStream, ChunkOf300CharactersHasAWordCount) {
    PDEV* pdev = StartJob();
    ASSERT_NE(pdev, nullptr);
    pdev->Job.Text.TextFlags = TEXTF_UTF16;
    const std::u16string text(300, u'a');
    EXPECT_TRUE(Pxl_WriteTextData(pdev, text.data(), 300, FALSE));
    const Bytes out = TakeOutput(pdev);
    ASSERT_EQ(out.size(), 4u + 600u + 2u);
    EXPECT_EQ(HexText(Bytes(out.begin(), out.begin() + 4)), "C9 C1 2C 01");
    for (size_t i = 4; i < 604; i += 2) {
        ASSERT_EQ(out[i], 0x61) << i;
        ASSERT_EQ(out[i + 1], 0x00) << i;
    }
    EXPECT_EQ(HexText(Bytes(out.end() - 2, out.end())), "F8 AB");
    // A chunk holds 1 to 1500 codes.
    EXPECT_FALSE(Pxl_WriteTextData(pdev, text.data(), 0, FALSE));
    EXPECT_EQ(Out(pdev), "");
}

// The spacing arrays of one batch: the advance from each glyph to the next
// (none after the last), x always, y when any is not 0; a ubyte array when
// every value fits 0..255.
struct SpacingCase {
    const char* name;
    std::vector<POINTL> places;
    ULONG fixedAdvance;
    INT32 escapement;
    const char* spacing;  // after TextData, before Text
};

const SpacingCase kSpacing[] = {
    {"HorizontalBytes", {{100, 50}, {110, 50}, {122, 50}}, 0, 360, "C8 C0 03 0A 0C 00 F8 AF"},
    {"RightToLeftWords", {{300, 50}, {250, 50}, {205, 50}}, 0, 360, "CB C0 03 CE FF D3 FF 00 00 F8 AF"},
    {"WideGap", {{0, 50}, {256, 50}}, 0, 360, "CB C0 02 00 01 00 00 F8 AF"},
    // A vertical run: every x advance is 0, the y advances vary.
    {"VerticalRun", {{100, 100}, {100, 150}, {100, 190}}, 0, 360,
     "C8 C0 03 00 00 00 F8 AF C8 C0 03 32 28 00 F8 B0"},
    // Upward y advances are negative: sint16.
    {"UpwardRun", {{100, 300}, {100, 260}, {100, 200}}, 0, 360,
     "C8 C0 03 00 00 00 F8 AF CB C0 03 D8 FF C4 FF 00 00 F8 B0"},
    // A fixed advance along the escapement: unturned, and turned a quarter
    // (every y advance the same, not 0).
    {"FixedPitch", {{100, 50}, {140, 50}, {180, 50}}, 40, 360, "C8 C0 03 28 28 28 F8 AF"},
    {"FixedPitchTurned", {{100, 300}, {100, 260}, {100, 220}}, 40, 90,
     "C8 C0 03 00 00 00 F8 AF CB C0 03 D8 FF D8 FF D8 FF F8 B0"},
};

class TextSpacing : public TextStream, public testing::WithParamInterface<SpacingCase> {};

TEST_P(TextSpacing, Arrays) {
    const SpacingCase& c = GetParam();
    PDEV* pdev = StartJob();
    ASSERT_NE(pdev, nullptr);
    pdev->Job.Text.TextFlags = TEXTF_UTF16;
    pdev->Job.Text.Escapement = c.escapement;
    std::vector<GLYPHPOS> glyphs(c.places.size());
    std::u16string codes;
    for (size_t i = 0; i < c.places.size(); ++i) {
        glyphs[i].ptl = c.places[i];
        codes.push_back(u'a');
    }
    STROBJ string{};
    EXPECT_TRUE(Pxl_WriteText(pdev, nullptr, DWORD(glyphs.size()), glyphs.data(), codes.data(), &string,
                              c.fixedAdvance));
    const std::string data = "C9 C0 0" + std::to_string(glyphs.size());
    std::string expected = data;
    for (size_t i = 0; i < glyphs.size(); ++i) expected += " 61 00";
    expected += " F8 AB " + std::string(c.spacing) + " A8";
    EXPECT_EQ(Out(pdev), HexText(Hex(expected)));
}

INSTANTIATE_TEST_SUITE_P(All, TextSpacing, testing::ValuesIn(kSpacing),
                         [](const auto& info) { return std::string(info.param.name); });

// 3000 glyphs go as two Text operators of 1500: the first one's last
// advance leads to the second's first glyph, so the cursor needs no move.
TEST_F(TextStream, LongBatchIsCutIntoTextsOf1500) {
    PDEV* pdev = StartJob();
    ASSERT_NE(pdev, nullptr);
    pdev->Job.Text.TextFlags = TEXTF_UTF16;
    std::vector<GLYPHPOS> glyphs(3000);
    for (size_t i = 0; i < glyphs.size(); ++i) glyphs[i].ptl = POINTL{LONG(3 * i), 40};
    const std::u16string codes(3000, u'x');
    STROBJ string{};
    EXPECT_TRUE(Pxl_WriteText(pdev, nullptr, 3000, glyphs.data(), codes.data(), &string, 0));
    const Bytes out = TakeOutput(pdev);
    // TextData (4 + 3000 + 2 bytes), XSpacingData (4 + 1500 + 2), Text.
    const size_t chunk = 3006 + 1506 + 1;
    ASSERT_EQ(out.size(), 2 * chunk);
    for (size_t first : {size_t(0), chunk}) {
        EXPECT_EQ(HexText(Bytes(out.begin() + first, out.begin() + first + 4)), "C9 C1 DC 05");
        EXPECT_EQ(HexText(Bytes(out.begin() + first + 3006, out.begin() + first + 3010)), "C8 C1 DC 05");
        EXPECT_EQ(out[first + chunk - 1], 0xA8);
    }
    EXPECT_EQ(out[chunk - 4], 3);  // the first Text's last advance
    EXPECT_EQ(out[2 * chunk - 4], 0);
}

struct HypotCase {
    LONG a, b;
    ULONG length;
};

TEST(TextUtil, IntHypotRoundsUp) {
    const HypotCase cases[] = {
        {0, 0, 0}, {0, -7, 7}, {-9, 0, 9}, {3, 4, 5}, {1, 1, 2}, {1, 2, 3},
        {-5, 12, 13}, {4096, 0, 4096}, {46341, 46341, 65537}, {2896, -2896, 4096},
    };
    for (const HypotCase& c : cases) EXPECT_EQ(Util_IntHypot(c.a, c.b), c.length) << c.a << ", " << c.b;
}

TEST(TextUtil, NameValueIsDecimalOfTheBytes) {
    EXPECT_EQ(Util_NameValue(""), 0u);
    EXPECT_EQ(Util_NameValue("A"), 65u);
    EXPECT_EQ(Util_NameValue("AB"), 716u);
    EXPECT_EQ(Util_NameValue("Arial"), 775578u);
    EXPECT_EQ(Util_NameValue("Liberation Sans"), 0xBA5EBDBu);  // past 32 bits, wrapped
    EXPECT_EQ(Util_NameValue(nullptr), 0u);
}

}  // namespace
}  // namespace tam::test
