// Text printed through GDI on "Korvan Laser", checked from the decoded job
// alone: every Text operator's characters stand where GDI placed the glyphs
// (the cursor, then each character's spacing values added up), in a font
// the stream downloaded before it selects it and with characters that font
// holds. Plain, N-up, turned, clipped and opaque text, and the fonts of
// sheets that the job keeps and plays again in another order or more than
// once.
#include <gtest/gtest.h>
#include <windows.h>

#include <set>
#include <string>
#include <vector>

#include "print_fixture.h"
#include "support/placed_text.h"

namespace tam::test {
namespace {

class TextJob : public PrintTest {
protected:
    // A font of `height` pixels (an em) turned by `escapement` tenths.
    HFONT Font(LPCWSTR face, LONG height, LONG escapement = 0, bool italic = false, LONG weight = FW_NORMAL) {
        LOGFONTW logFont{};
        logFont.lfHeight = -height;
        logFont.lfEscapement = logFont.lfOrientation = escapement;
        logFont.lfItalic = italic;
        logFont.lfWeight = weight;
        logFont.lfCharSet = DEFAULT_CHARSET;
        lstrcpynW(logFont.lfFaceName, face, LF_FACESIZE);
        HFONT font = CreateFontIndirectW(&logFont);
        EXPECT_NE(font, nullptr);
        fonts_.push_back(font);
        return font;
    }

    void TearDown() override {
        for (HFONT font : fonts_) DeleteObject(font);
        PrintTest::TearDown();
    }

    // A document of pages drawn by `draw` (called with the page's number
    // from 0) on a DC of `settings`; the decoded job.
    job::DecodedJob PrintDrawn(const UiDevmode& settings, int pages, const std::function<void(HDC, int)>& draw) {
        HDC dc = Create(settings);
        EXPECT_NE(dc, nullptr) << GetLastError();
        if (!dc) return {};
        const DWORD jobId = StartDocument(dc);
        EXPECT_NE(jobId, 0u);
        for (int page = 0; page < pages; ++page) {
            EXPECT_GT(StartPage(dc), 0) << GetLastError();
            draw(dc, page);
            EXPECT_GT(EndPage(dc), 0) << GetLastError();
        }
        EXPECT_GT(EndDoc(dc), 0) << GetLastError();
        return Decode(jobId);
    }

    // ExtTextOutW of `text` from (x, y) on its baseline with the advances
    // `dx`; the places GDI gives the glyphs: (x, y) and then the advances
    // added up.
    static std::vector<job::Point> DrawSpaced(HDC dc, HFONT font, int x, int y, std::u16string_view text,
                                              const std::vector<INT>& dx) {
        SelectObject(dc, font);
        SetTextAlign(dc, TA_BASELINE | TA_LEFT);
        SetBkMode(dc, TRANSPARENT);
        EXPECT_TRUE(ExtTextOutW(dc, x, y, 0, nullptr, text.data(), UINT(text.size()), dx.data()));
        std::vector<job::Point> places;
        for (size_t i = 0; i < text.size(); ++i) {
            places.push_back(job::Point{x, y});
            x += dx[i];
        }
        return places;
    }

private:
    std::vector<HFONT> fonts_;
};

// Advances of every kind: even, uneven, wider than a byte, backwards.
struct SpacingCase {
    const char* name;
    std::u16string text;
    std::vector<INT> dx;
};

const SpacingCase kSpacing[] = {
    {"Even", u"Hello", {40, 40, 40, 40, 40}},
    {"Uneven", u"Tamrend", {61, 55, 80, 37, 55, 55, 60}},
    {"WiderThanAByte", u"W i d e", {300, 12, 600, 12, 280, 5, 0}},
    {"RightToLeft", u"abc", {-50, -45, -60}},
};

class TextSpacing : public TextJob, public testing::WithParamInterface<SpacingCase> {};

TEST_P(TextSpacing, CharactersStandWhereGdiPlacedThem) {
    const SpacingCase& c = GetParam();
    std::vector<job::Point> expected;
    const job::DecodedJob decoded = PrintDrawn(Settings(), 1, [&](HDC dc, int) {
        expected = DrawSpaced(dc, Font(u"Arial", 100), 600, 900, c.text, c.dx);
    });
    const TextRead read = ReadText(decoded);
    EXPECT_EQ(read.faults, std::vector<std::string>{});
    EXPECT_EQ(PlacesOf(read), expected);
    ASSERT_EQ(read.texts.size(), 1u);
    // A downloaded TrueType font's codes are its own: one per distinct character.
    std::set<int64_t> codes;
    for (const Placed& p : read.texts[0]) codes.insert(p.code);
    EXPECT_EQ(codes.size(), std::set<char16_t>(c.text.begin(), c.text.end()).size());
    EXPECT_EQ(read.fontsUsed[0].substr(0, 3), "0TT");
}

INSTANTIATE_TEST_SUITE_P(All, TextSpacing, testing::ValuesIn(kSpacing),
                         [](const auto& info) { return std::string(info.param.name); });

// Strings at the font's own advances, turned a quarter (exact), in every
// face the machine maps, and a line of Chinese in the collection font.
TEST_F(TextJob, TurnedAndCollectionTextStandsOnItsBaseline) {
    std::vector<std::vector<job::Point>> lines;
    const job::DecodedJob decoded = PrintDrawn(Settings(), 1, [&](HDC dc, int) {
        SetBkMode(dc, TRANSPARENT);
        SetTextAlign(dc, TA_BASELINE | TA_LEFT);
        struct Line {
            HFONT font;
            int x, y;
            std::u16string text;
        };
        const Line drawn[] = {
            {Font(u"Times New Roman", 80, 900), 1000, 4000, u"Upward"},
            {Font(u"Arial", 80, 2700), 3000, 1000, u"Downward"},
            {Font(u"NSimSun", 90), 500, 5000, u"中文打印"},
            {Font(u"Courier New", 70, 0, true, FW_BOLD), 500, 5500, u"bold italic"},
        };
        for (const Line& line : drawn) {
            SelectObject(dc, line.font);
            // The advances GDI uses, asked of GDI: each glyph one advance
            // further along the turned baseline.
            std::vector<job::Point> places;
            int along = 0;
            for (char16_t ch : line.text) {
                INT width = 0;
                EXPECT_TRUE(GetCharWidth32W(dc, ch, ch, &width));
                LOGFONTW lf{};
                GetObjectW(line.font, sizeof(lf), &lf);
                const int turn = ((lf.lfEscapement % 3600) + 3600) % 3600;
                const int ax = turn == 900 ? 0 : turn == 2700 ? 0 : 1;
                const int ay = turn == 900 ? -1 : turn == 2700 ? 1 : 0;
                places.push_back(job::Point{line.x + ax * along, line.y + ay * along});
                along += width;
            }
            lines.push_back(places);
            EXPECT_TRUE(TextOutW(dc, line.x, line.y, line.text.data(), int(line.text.size())));
        }
    });
    const TextRead read = ReadText(decoded);
    EXPECT_EQ(read.faults, std::vector<std::string>{});
    std::vector<job::Point> expected;
    for (const auto& line : lines) expected.insert(expected.end(), line.begin(), line.end());
    EXPECT_EQ(PlacesOf(read), expected);
    // Turned strings go as bitmap fonts, upright ones as TrueType outlines.
    ASSERT_EQ(read.fontsUsed.size(), 4u);
    EXPECT_NE(read.fontsUsed[0].find("BM"), std::string::npos);
    EXPECT_NE(read.fontsUsed[1].find("BM"), std::string::npos);
    EXPECT_NE(read.fontsUsed[2].find("TT"), std::string::npos);
    EXPECT_NE(read.fontsUsed[3].find("TT"), std::string::npos);
}

// Text on the pages of N-up sheets stands at the places GDI gave on its
// own page; the page transform places the page in its cell.
TEST_F(TextJob, NupPagesKeepTheirPlaces) {
    UiDevmode settings = Settings();
    settings.priv.MultipleUp = 4;
    std::vector<job::Point> expected;
    const job::DecodedJob decoded = PrintDrawn(settings, 5, [&](HDC dc, int page) {
        const std::u16string text = u"Page " + std::u16string(1, char16_t(u'1' + page));
        const auto places = DrawSpaced(dc, Font(u"Arial", 90), 400 + 10 * page, 700 + 20 * page, text,
                                       {60, 45, 50, 48, 20, 55});
        expected.insert(expected.end(), places.begin(), places.end());
    });
    const TextRead read = ReadText(decoded);
    EXPECT_EQ(read.faults, std::vector<std::string>{});
    EXPECT_EQ(PlacesOf(read), expected);
    EXPECT_EQ(Sheets(decoded).size(), 2u);
}

// A clip rectangle is set around the text, and an opaque box is filled
// under it before the glyphs; the glyphs keep their places.
TEST_F(TextJob, ClippedAndOpaqueText) {
    std::vector<job::Point> expected;
    const job::DecodedJob decoded = PrintDrawn(Settings(), 1, [&](HDC dc, int) {
        IntersectClipRect(dc, 500, 500, 700, 1000);
        auto places = DrawSpaced(dc, Font(u"Arial", 100), 450, 800, u"clip", {70, 70, 70, 70});
        expected.insert(expected.end(), places.begin(), places.end());
        SelectClipRgn(dc, nullptr);
        SetBkColor(dc, RGB(192, 192, 192));
        const RECT box = {1000, 1500, 1800, 1700};
        const INT dx[] = {80, 80, 80};
        SetTextAlign(dc, TA_BASELINE | TA_LEFT);
        EXPECT_TRUE(ExtTextOutW(dc, 1100, 1650, ETO_OPAQUE, &box, u"box", 3, dx));
        for (int i = 0; i < 3; ++i) expected.push_back(job::Point{1100 + 80 * i, 1650});
    });
    const TextRead read = ReadText(decoded);
    EXPECT_EQ(read.faults, std::vector<std::string>{});
    EXPECT_EQ(PlacesOf(read), expected);
    // The clip of the first string, and the grey box painted before the
    // second string's Text.
    std::vector<std::string> seen;
    for (const job::Operator& op : decoded.ops) {
        if (op.name == "RectanglePath" || op.name == "Text" || op.name == "SetClipReplace")
            seen.push_back(std::string(op.name));
    }
    const std::vector<std::string> order = {"RectanglePath", "SetClipReplace", "Text", "RectanglePath",
                                            "SetClipReplace", "RectanglePath", "Text"};
    EXPECT_EQ(seen, order);
    const auto clips = decoded.Find("SetClipReplace");
    ASSERT_FALSE(clips.empty());
    const auto boxes = decoded.Find("RectanglePath");
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_EQ(boxes[0]->Int("BoundingBox", 0), 500);
    EXPECT_EQ(boxes[0]->Int("BoundingBox", 2), 700);
    EXPECT_EQ(boxes[2]->Int("BoundingBox", 0), 1000);
    EXPECT_EQ(boxes[2]->Int("BoundingBox", 1), 1500);
}

// More distinct glyphs in one string than a downloaded TrueType font holds
// (511): the string is printed whole, as bitmaps, and the job ends.
TEST_F(TextJob, StringOfMoreGlyphsThanAFontHolds) {
    std::u16string text;
    for (char16_t ch = 0x4E00; text.size() < 600; ++ch) text.push_back(ch);
    std::vector<INT> dx(text.size(), 12);
    std::vector<job::Point> expected;
    const job::DecodedJob decoded = PrintDrawn(Settings(), 1, [&](HDC dc, int) {
        expected = DrawSpaced(dc, Font(u"SimSun", 40), 100, 400, text, dx);
    });
    const TextRead read = ReadText(decoded);
    EXPECT_EQ(read.faults, std::vector<std::string>{});
    EXPECT_EQ(PlacesOf(read), expected);
    for (const std::string& font : read.fontsUsed) EXPECT_NE(font.find("BM"), std::string::npos) << font;
}

// A glyph index is keyed in the font cache as the index plus 0x8000, as is
// the character of that value: glyph 1 and U+8001 in one face go into two
// fonts, so that neither prints as the other.
TEST_F(TextJob, GlyphIndexesAndCharactersKeepApart) {
    const job::DecodedJob decoded = PrintDrawn(Settings(), 1, [&](HDC dc, int) {
        SelectObject(dc, Font(u"SimSun", 40));
        SetTextAlign(dc, TA_BASELINE);
        EXPECT_TRUE(ExtTextOutW(dc, 100, 400, 0, nullptr, u"\u8001", 1, nullptr));
        const WCHAR glyph = 1;
        EXPECT_TRUE(ExtTextOutW(dc, 100, 500, ETO_GLYPH_INDEX, nullptr, &glyph, 1, nullptr));
    });
    const TextRead read = ReadText(decoded);
    EXPECT_EQ(read.faults, std::vector<std::string>{});
    ASSERT_EQ(read.fontsUsed.size(), 2u);
    EXPECT_NE(read.fontsUsed[0], read.fontsUsed[1]);
    for (const std::string& font : read.fontsUsed) EXPECT_NE(font.find("TT"), std::string::npos) << font;
}

// Sheets the job keeps and plays again (in reverse order, as collated
// copies) each carry the fonts and characters they use: every SetFont and Text of the job finds them
// downloaded before, in the same stream, whatever order the sheets come in.
struct ReplayCase {
    const char* name;
    void (*edit)(UiDevmode&);
};

const ReplayCase kReplays[] = {
    {"ReverseOrder", [](UiDevmode& s) { s.priv.OppositeSide = 1; }},
    {"CollatedCopies",
     [](UiDevmode& s) {
         s.pub.dmCopies = 2;
         s.pub.dmCollate = DMCOLLATE_TRUE;
     }},
};

class TextReplay : public TextJob, public testing::WithParamInterface<ReplayCase> {};

TEST_P(TextReplay, SheetsCarryTheirFonts) {
    UiDevmode settings = Settings();
    GetParam().edit(settings);
    const job::DecodedJob decoded = PrintDrawn(settings, 4, [&](HDC dc, int page) {
        // A face on every page, one more on the later pages, and a
        // character of each page's own.
        DrawSpaced(dc, Font(u"Arial", 80), 300, 600, u"Same text", {50, 50, 50, 50, 50, 50, 50, 50, 50});
        if (page >= 2) DrawSpaced(dc, Font(u"Times New Roman", 60), 300, 900, u"Serif", {40, 40, 40, 40, 40});
        const std::u16string own(1, char16_t(u'A' + page));
        DrawSpaced(dc, Font(u"Arial", 80), 300, 1200, own, {50});
    });
    const TextRead read = ReadText(decoded);
    EXPECT_EQ(read.faults, std::vector<std::string>{});
    EXPECT_GE(read.texts.size(), 4u * 2);
    // Kept sheets download their fonts again: more headers than faces.
    EXPECT_GT(decoded.Count("BeginFontHeader"), 2u);
}

INSTANTIATE_TEST_SUITE_P(All, TextReplay, testing::ValuesIn(kReplays),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tam::test
