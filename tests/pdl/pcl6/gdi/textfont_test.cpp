// Choosing the printer font of a string, driven through DrvTextOut and the
// selection itself: the codes of a downloaded TrueType font come from its
// cache, a substituted printer-resident font takes the codes of the string,
// and the fonts of sheets a job keeps and plays again (a booklet, manual
// duplex) are downloaded by each sheet that uses them.
#include <gtest/gtest.h>
#include <windows.h>
#include <winddi.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "font_objects.h"
#include "job_fixture.h"
#include "pcl6/gdi/fontcache.h"
#include "pcl6/gdi/gx.h"
#include "pcl6/gdi/nt/ddi.h"
#include "pcl6/gdi/nt/textfont.h"
#include "pcl6/gdi/text.h"
#include "spool_fixture.h"
#include "support/placed_text.h"

namespace tam::test {
namespace {

using TextFont = JobTest;

// In a downloaded TrueType font TextData holds the cache's codes, low byte
// first; a glyph the cache lacks writes nothing and is reported.
TEST_F(TextFont, TrueTypeTextDataTakesTheCacheCodes) {
    PDEV* pdev = StartJob();
    ASSERT_NE(pdev, nullptr);
    TextState& text = pdev->Job.Text;
    text.TextFlags = TEXTF_UTF16;
    text.TrueTypeText = 1;
    UINT16 id = 0;
    ASSERT_TRUE(FontCach_SetCharDown(pdev, "Arial", 0, 0, 0x40000001, &id, nullptr, 0));
    for (UINT16 key : {u'a', u'b', u'c', u'd', u'\u00e9'}) ASSERT_NE(FontCach_AddChar(pdev, id, key, 10), 0u);
    text.TrueTypeFontId = id;
    TakeOutput(pdev);
    const std::u16string e = u"\u00e9a";
    EXPECT_EQ(Pxl_WriteTextData(pdev, e.data(), 2, FALSE), TRUE);
    EXPECT_EQ(Out(pdev), "C9 C0 02 05 00 01 00 F8 AB");
    const std::u16string missing = u"az";
    EXPECT_EQ(Pxl_WriteTextData(pdev, missing.data(), 2, FALSE), TXT_MISSING);
    EXPECT_EQ(Out(pdev), "");
}

// A face the user's list replaces by a printer-resident font, printed right
// after a string in a downloaded TrueType font, is selected by the
// resident font's name and takes its codes from the string.
TEST_F(TextFont, SubstitutedResidentFontAfterTrueType) {
    PDEV* pdev = StartJob();
    ASSERT_NE(pdev, nullptr);
    auto font = TestFontObject::OfFace(u"DejaVu Sans", -80);
    ASSERT_NE(font, nullptr);
    STROBJ* string = font->String(u"\u00e9t\u00e9");
    ASSERT_NE(string, nullptr);
    // A downloaded TrueType string first.
    pdev->Job.Text.TextFlags = TEXTF_UTF16;
    ASSERT_TRUE(Txt_SelectFont(pdev, font->get(), string, FALSE));
    EXPECT_EQ(pdev->Job.Text.TrueTypeText, 1);
    // Then the face replaced by resident font 6 (Arial).
    FontSubstitutionEntry entry{};
    std::u16string(u"DejaVu Sans").copy(entry.Units, FONTSUB_FACE_CHARS - 1);
    entry.Units[FONTSUB_RESIDENT_INDEX] = 6;
    pdev->FontSubstitution = {1, &entry};
    pdev->Job.JobDevmode.priv.UseSoftFont = 0;
    TakeOutput(pdev);
    EXPECT_TRUE(Txt_SelectFont(pdev, font->get(), string, FALSE));
    EXPECT_EQ(pdev->Job.Text.TrueTypeText, 0);
    EXPECT_EQ(pdev->Job.Text.FontNumber, 10006);
    const std::string selected = Out(pdev);
    EXPECT_NE(selected.find(HexText(Hex("C8 C1 10 00 \"Arial           \" F8 A8"))), std::string::npos) << selected;
    EXPECT_NE(selected.find("C1 15 01 F8 AA 6F"), std::string::npos) << selected;
    const std::u16string codes = u"\u00e9t";
    EXPECT_EQ(Pxl_WriteTextData(pdev, codes.data(), 2, FALSE), TRUE);
    EXPECT_EQ(Out(pdev), "C9 C0 02 E9 00 74 00 F8 AB");
    // Indexes outside 1..93, and the use of downloaded fonts, replace nothing.
    char name[17];
    UINT16 symbolSet = 0;
    entry.Units[FONTSUB_RESIDENT_INDEX] = 94;
    EXPECT_EQ(Txt_SubstituteFont(pdev, font->get(), name, &symbolSet), 0);
    entry.Units[FONTSUB_RESIDENT_INDEX] = 93;
    EXPECT_EQ(Txt_SubstituteFont(pdev, font->get(), name, &symbolSet), 93);
    EXPECT_STREQ(name, "Wingdings       ");
    pdev->Job.JobDevmode.priv.UseSoftFont = 1;
    EXPECT_EQ(Txt_SubstituteFont(pdev, font->get(), name, &symbolSet), 0);
    pdev->FontSubstitution = {0, nullptr};
}

// The engine is told of no device fonts: face 0 (how many faces) answers 0,
// and no face has metrics.
TEST_F(TextFont, QueryFontHasNoDeviceFaces) {
    PDEV* pdev = StartJob();
    ASSERT_NE(pdev, nullptr);
    ULONG_PTR id = 77;
    SetLastError(0);
    EXPECT_EQ(DrvQueryFont(AsDhpdev(pdev), 0, 0, &id), nullptr);
    EXPECT_EQ(GetLastError(), 0u);
    EXPECT_EQ(id, 0u);
    for (ULONG face : {1u, 2u}) {
        id = 77;
        SetLastError(0);
        EXPECT_EQ(DrvQueryFont(AsDhpdev(pdev), 0, face, &id), nullptr);
        EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
        EXPECT_EQ(id, 0u);
    }
    EXPECT_EQ(pdev->Job.Text.FontQueries, 3u);
}

// Booklets and manual duplex keep their sheets and play them in another
// order: each sheet downloads the fonts and characters it uses.
struct ReplayCase {
    const char* name;
    std::function<void(RendDevmode&)> edit;
};

void PrintTo(const ReplayCase& c, std::ostream* os) { *os << c.name; }

class TextFontReplay : public SpoolTest, public testing::WithParamInterface<ReplayCase> {};

TEST_P(TextFontReplay, SheetsDownloadWhatTheyUse) {
    PDEV* pdev = EnableWith(GetParam().edit);
    ASSERT_NE(pdev, nullptr);
    auto arial = TestFontObject::OfFace(u"Arial", -80);
    auto serif = TestFontObject::OfFace(u"Times New Roman", -60);
    ASSERT_TRUE(arial && serif);
    ASSERT_TRUE(StartJob(pdev));
    BRUSHOBJ black{0, nullptr, 0};
    for (int page = 1; page <= 6; ++page) {
        ASSERT_TRUE(DrvStartPage(surface()));
        STROBJ* common = arial->String(u"Common");
        ASSERT_TRUE(DrvTextOut(surface(), common, arial->get(), nullptr, nullptr, nullptr, &black, nullptr, nullptr,
                               MIX_FROM_ROP2(R2_COPYPEN)));
        const std::u16string own = u"Page " + std::u16string(1, char16_t(u'0' + page));
        STROBJ* mine = (page % 2 ? serif : arial)->String(own);
        ASSERT_TRUE(DrvTextOut(surface(), mine, (page % 2 ? serif : arial)->get(), nullptr, nullptr, nullptr, &black,
                               nullptr, nullptr, MIX_FROM_ROP2(R2_COPYPEN)));
        ASSERT_TRUE(DrvSendPage(surface()));
    }
    const EndResult end = EndJob();
    ASSERT_TRUE(end.ended) << end.error;
    const job::DecodedJob decoded = Decoded();
    const TextRead read = ReadText(decoded);
    EXPECT_EQ(read.faults, std::vector<std::string>{});
    EXPECT_EQ(read.texts.size(), 12u);
    EXPECT_GT(decoded.Count("BeginFontHeader"), 2u);
}

const ReplayCase kReplays[] = {
    {"Booklet", [](RendDevmode& s) { s.priv.BookletOn = 1; }},
    {"ManualDuplex", [](RendDevmode& s) { s.priv.DuplexBinding = 3; }},
    {"ReverseOrder", [](RendDevmode& s) { s.priv.OppositeOrder = 1; }},
};

INSTANTIATE_TEST_SUITE_P(All, TextFontReplay, testing::ValuesIn(kReplays),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tam::test
