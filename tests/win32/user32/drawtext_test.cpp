// DrawTextW: the sizes DT_CALCRECT gives, and the pictures it draws, each
// checked against what GDI's own calls say of the same text: the extents
// (GetTextExtentPoint32W) and metrics (GetTextMetricsW) of the DC's font,
// and TextOutW of the lines DrawTextW should have made, at the places the
// format puts them.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "gdi32/pngsave.h"
#include "support/dib_canvas.h"
#include "support/machine_fixture.h"

namespace {

using tam::test::PixelSet;

class DrawTextTest : public tam::test::MachineTest {
protected:
    static constexpr LONG kWidth = 400, kHeight = 160;

    void TearDown() override {
        canvases_.Release();
        for (HFONT font : fonts_) DeleteObject(font);
        MachineTest::TearDown();
    }

    // A white memory DC with black text of the face at a 16-pixel em, in the TRANSPARENT mode.
    HDC NewSurface(const char16_t* face = u"DejaVu Sans") {
        HDC dc = canvases_.New();
        HFONT font = CreateFontW(-16, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, face);
        fonts_.push_back(font);
        SelectObject(dc, font);
        SetBkMode(dc, TRANSPARENT);
        return dc;
    }

    PixelSet Ink(HDC dc) const { return canvases_.Ink(dc); }
    static LONG Extent(HDC dc, std::u16string_view text) { return tam::test::TextExtent(dc, text); }
    static TEXTMETRICW Metrics(HDC dc) { return tam::test::TextMetrics(dc); }
    // Lines of text drawn one under the other from (x, y), clipped to `clip` when given.
    static void DrawLines(HDC dc, LONG x, LONG y, const std::vector<std::u16string>& lines, const RECT* clip = nullptr) {
        for (const std::u16string& line : lines) {
            EXPECT_TRUE(ExtTextOutW(dc, x, y, clip ? ETO_CLIPPED : 0, clip, line.data(), UINT(line.size()), nullptr));
            y += Metrics(dc).tmHeight;
        }
    }

private:
    tam::test::DibCanvases canvases_{kWidth, kHeight};
    std::vector<HFONT> fonts_;
};

struct CalcCase {
    const char* name;
    std::u16string text;
    UINT format;
    std::u16string widthOf;  // the rectangle is as wide as this text, less a unit; empty: 1000
    std::vector<std::u16string> lines;
};
const CalcCase kCalc[] = {
    {"SingleLine", u"Hello world", DT_SINGLELINE, u"", {u"Hello world"}},
    {"LineBreaks", u"One\nTwo three\r\nFour", 0, u"", {u"One", u"Two three", u"Four"}},
    {"BreakAtTheEnd", u"One\r\n", 0, u"", {u"One"}},
    {"Empty", u"", 0, u"", {u""}},
    {"SingleLineDrawsBreaks", u"a\nb", DT_SINGLELINE, u"", {u"a\nb"}},
    {"WordBreak", u"The quick brown fox", DT_WORDBREAK, u"The quick brown", {u"The quick", u"brown fox"}},
    {"WideWordStaysWhole", u"a extraordinarily b", DT_WORDBREAK, u"ab", {u"a", u"extraordinarily", u"b"}},
    {"Prefix", u"&File", DT_SINGLELINE, u"", {u"File"}},
    {"DoubledPrefix", u"A&&B", DT_SINGLELINE, u"", {u"A&B"}},
    {"NoPrefix", u"&File", DT_SINGLELINE | DT_NOPREFIX, u"", {u"&File"}},
};
class DrawTextCalc : public DrawTextTest, public testing::WithParamInterface<CalcCase> {};

// DT_CALCRECT keeps the rectangle's top left, moves its right edge to the
// widest line and its bottom under the last line, and answers the height.
TEST_P(DrawTextCalc, SizesTheRectangleToTheLines) {
    const CalcCase& c = GetParam();
    HDC dc = NewSurface();
    const LONG width = c.widthOf.empty() ? 1000 : Extent(dc, c.widthOf) - 1;
    RECT rect{20, 30, 20 + width, 35};
    LONG widest = 0;
    for (const std::u16string& line : c.lines) widest = std::max(widest, Extent(dc, line));
    const LONG height = LONG(c.lines.size()) * Metrics(dc).tmHeight;
    EXPECT_EQ(DrawTextW(dc, c.text.data(), int(c.text.size()), &rect, c.format | DT_CALCRECT), height);
    EXPECT_EQ(rect.left, 20);
    EXPECT_EQ(rect.top, 30);
    EXPECT_EQ(rect.right, 20 + widest);
    EXPECT_EQ(rect.bottom, 30 + height);
    EXPECT_TRUE(Ink(dc).empty());
}

INSTANTIATE_TEST_SUITE_P(All, DrawTextCalc, testing::ValuesIn(kCalc),
                         [](const auto& info) { return std::string(info.param.name); });

// Tabs go to stops every 8 average character widths; lines are
// tmExternalLeading more from line to line with DT_EXTERNALLEADING; an edit control
// breaks a word too wide for the rectangle between its characters.
TEST_F(DrawTextTest, CalcRectOfTabsLeadingAndBrokenWords) {
    HDC dc = NewSurface(u"Liberation Sans");
    const TEXTMETRICW tm = Metrics(dc);
    auto calc = [&](const std::u16string& text, UINT format, LONG width = 1000) {
        RECT rect{0, 0, width, 0};
        const int height = DrawTextW(dc, text.data(), -1, &rect, format | DT_CALCRECT);
        EXPECT_EQ(rect.bottom, height);
        return std::pair{rect.right, height};
    };
    EXPECT_EQ(calc(u"a\tb", DT_EXPANDTABS), std::pair(8 * tm.tmAveCharWidth + Extent(dc, u"b"), tm.tmHeight));
    ASSERT_GT(tm.tmExternalLeading, 0);
    EXPECT_EQ(calc(u"a\nb\nc", DT_EXTERNALLEADING), std::pair(Extent(dc, u"a"), 3 * (tm.tmHeight + tm.tmExternalLeading)));
    const LONG narrow = Extent(dc, u"extra");
    const auto [right, height] = calc(u"extraordinarily", DT_WORDBREAK | DT_EDITCONTROL, narrow);
    EXPECT_LE(right, narrow);
    EXPECT_GE(height, 3 * tm.tmHeight);
}

// DT_TABSTOP takes the characters from one tab stop to the next from the
// format's second byte (which then holds no flags, so it cannot come with DT_CALCRECT).
TEST_F(DrawTextTest, TabStopSetsTheTabWidth) {
    HDC dc = NewSurface(), expected = NewSurface();
    RECT rect{10, 10, 300, 100};
    EXPECT_EQ(DrawTextW(dc, u"a\tb", -1, &rect, DT_EXPANDTABS | DT_TABSTOP | (3 << 8)), Metrics(dc).tmHeight);
    DrawLines(expected, 10, 10, {u"a"});
    DrawLines(expected, 10 + 3 * Metrics(dc).tmAveCharWidth, 10, {u"b"});
    EXPECT_EQ(Ink(dc), Ink(expected));
}

struct PlaceCase {
    const char* name;
    UINT format;
    char across;  // 'l', 'c', 'r': left, centred, right
    char down;    // 't', 'c', 'b': top, centred, bottom
};
const PlaceCase kPlace[] = {
    {"LeftTop", DT_LEFT | DT_TOP, 'l', 't'},
    {"Center", DT_CENTER, 'c', 't'},
    {"Right", DT_RIGHT, 'r', 't'},
    {"VCenterSingleLine", DT_SINGLELINE | DT_VCENTER, 'l', 'c'},
    {"BottomRightSingleLine", DT_SINGLELINE | DT_BOTTOM | DT_RIGHT, 'r', 'b'},
    {"VCenterNeedsSingleLine", DT_VCENTER | DT_BOTTOM, 'l', 't'},
};
class DrawTextPlace : public DrawTextTest, public testing::WithParamInterface<PlaceCase> {};

// The line lands where the format puts it in the rectangle (10, 10)-(300,
// 90), whatever the DC's text alignment, which DrawTextW leaves as it was;
// it answers the text's height, or with DT_VCENTER and DT_BOTTOM the offset
// of the text's bottom from the rectangle's top.
TEST_P(DrawTextPlace, PutsTheLineWhereTheFormatSays) {
    const PlaceCase& c = GetParam();
    HDC dc = NewSurface(), expected = NewSurface();
    SetTextAlign(dc, TA_BASELINE | TA_RIGHT);
    RECT rect{10, 10, 300, 90};
    const int answer = DrawTextW(dc, u"Label", -1, &rect, c.format);
    EXPECT_EQ(GetTextAlign(dc), UINT(TA_BASELINE | TA_RIGHT));
    const LONG width = Extent(expected, u"Label"), height = Metrics(expected).tmHeight;
    const LONG x = c.across == 'c' ? 10 + (290 - width) / 2 : c.across == 'r' ? 300 - width : 10;
    const LONG y = c.down == 'c' ? 10 + (80 - height) / 2 : c.down == 'b' ? 90 - height : 10;
    EXPECT_EQ(answer, c.down == 't' ? height : y - 10 + height);
    DrawLines(expected, x, y, {u"Label"});
    EXPECT_FALSE(Ink(expected).empty());
    EXPECT_EQ(Ink(dc), Ink(expected));
}

INSTANTIATE_TEST_SUITE_P(All, DrawTextPlace, testing::ValuesIn(kPlace),
                         [](const auto& info) { return std::string(info.param.name); });

// Word-wrapped lines are drawn one under the other, as DT_CALCRECT counts
// them. The picture is kept in the folder TAM_TEXT_PICTURES names, if any.
TEST_F(DrawTextTest, WrappedLinesAreDrawnUnderEachOther) {
    HDC dc = NewSurface(), expected = NewSurface();
    RECT rect{10, 10, 10 + Extent(dc, u"The quick brown") - 1, 150};
    EXPECT_EQ(DrawTextW(dc, u"The quick brown fox", -1, &rect, DT_WORDBREAK), 2 * Metrics(dc).tmHeight);
    DrawLines(expected, 10, 10, {u"The quick", u"brown fox"});
    EXPECT_EQ(Ink(dc), Ink(expected));
    if (const char* folder = std::getenv("TAM_TEXT_PICTURES")) {
        RECT more{10, 60, 390, 150};
        DrawTextW(dc, u"&Print the job\tnow, with C:\\Program Files\\Korvan\\Driver\\settings.dat", -1, &more,
                  DT_EXPANDTABS | DT_PATH_ELLIPSIS | DT_SINGLELINE | DT_CENTER | DT_VCENTER);
        EXPECT_TRUE(w32::gdi::SavePng(dc, (std::filesystem::path(folder) / "drawtext.png").string().c_str()));
    }
}

// An edit control draws no line the rectangle's bottom would cut; plain
// DrawTextW draws it, clipped.
TEST_F(DrawTextTest, EditControlLeavesOutALineTheBottomCuts) {
    HDC plain = NewSurface(), edit = NewSurface(), expected = NewSurface();
    const LONG height = Metrics(plain).tmHeight;
    RECT rect{10, 10, 200, 10 + 2 * height + height / 2};
    DrawTextW(plain, u"One\nTwo\nThree", -1, &rect, 0);
    DrawTextW(edit, u"One\nTwo\nThree", -1, &rect, DT_EDITCONTROL);
    DrawLines(expected, 10, 10, {u"One", u"Two"});
    EXPECT_EQ(Ink(edit), Ink(expected));
    const PixelSet plainInk = Ink(plain);
    EXPECT_TRUE(std::any_of(plainInk.begin(), plainInk.end(), [&](const auto& p) { return p.second >= 10 + 2 * height; }));
}

struct PrefixCase {
    const char* name;
    UINT format;
    std::u16string shown;  // the text drawn; empty: none
    bool underline;
};
const PrefixCase kPrefix[] = {
    {"Underlined", 0, u"File", true},
    {"Hidden", DT_HIDEPREFIX, u"File", false},
    {"UnderlineOnly", DT_PREFIXONLY, u"", true},
    {"NoPrefix", DT_NOPREFIX, u"&File", false},
};
class DrawTextPrefix : public DrawTextTest, public testing::WithParamInterface<PrefixCase> {};

// "&File" draws "File" and a bar under the F, below the baseline and
// within the F's width; each format keeps what it says.
TEST_P(DrawTextPrefix, DrawsTheTextAndTheUnderline) {
    const PrefixCase& c = GetParam();
    HDC dc = NewSurface(), text = NewSurface();
    RECT rect{10, 10, 300, 100};
    EXPECT_EQ(DrawTextW(dc, u"&File", 5, &rect, c.format), Metrics(dc).tmHeight);
    if (!c.shown.empty()) DrawLines(text, 10, 10, {c.shown});
    PixelSet bar = Ink(dc), shown = Ink(text);
    for (const auto& p : shown) EXPECT_EQ(bar.erase(p), 1u) << p.first << "," << p.second;  // the text is all there
    EXPECT_EQ(bar.empty(), !c.underline);
    const TEXTMETRICW tm = Metrics(dc);
    const LONG f = Extent(dc, u"F");
    for (const auto& [x, y] : bar) {
        EXPECT_TRUE(x >= 10 && x < 10 + f && y >= 10 + tm.tmAscent && y < 10 + tm.tmHeight) << x << "," << y;
    }
}

INSTANTIATE_TEST_SUITE_P(All, DrawTextPrefix, testing::ValuesIn(kPrefix),
                         [](const auto& info) { return std::string(info.param.name); });

struct EllipsisCase {
    const char* name;
    std::u16string text;
    UINT format;
    std::u16string shown;  // the rectangle is as wide as this
};
const EllipsisCase kEllipsis[] = {
    {"End", u"Hello wonderful world", DT_END_ELLIPSIS, u"Hello won..."},
    {"Word", u"Hello wonderful world", DT_WORD_ELLIPSIS, u"Hello won..."},
    {"Path", u"C:\\Korvan\\Driver\\settings.dat", DT_PATH_ELLIPSIS, u"C:\\Ko...\\settings.dat"},
    {"Fits", u"Short", DT_END_ELLIPSIS, u"Short"},
};
class DrawTextEllipsis : public DrawTextTest, public testing::WithParamInterface<EllipsisCase> {};

// What does not fit is replaced by "...": as much of the text as fits
// before it (and for a path, the text from the last backslash after it).
// DT_MODIFYSTRING writes the text shown into the buffer.
TEST_P(DrawTextEllipsis, ShortensTheTextToTheRectangle) {
    const EllipsisCase& c = GetParam();
    HDC dc = NewSurface(), expected = NewSurface();
    RECT rect{10, 10, 10 + Extent(dc, c.shown), 40};
    WCHAR buffer[64] = {};
    std::copy(c.text.begin(), c.text.end(), buffer);
    EXPECT_EQ(DrawTextW(dc, buffer, -1, &rect, c.format | DT_SINGLELINE | DT_MODIFYSTRING), Metrics(dc).tmHeight);
    EXPECT_EQ(std::u16string(buffer), c.shown);
    DrawLines(expected, 10, 10, {c.shown}, &rect);
    EXPECT_EQ(Ink(dc), Ink(expected));

    std::copy(c.text.begin(), c.text.end(), buffer);
    EXPECT_TRUE(DrawTextW(dc, buffer, -1, &rect, c.format | DT_SINGLELINE));
    EXPECT_EQ(std::u16string(buffer), c.text);  // untouched without DT_MODIFYSTRING
}

INSTANTIATE_TEST_SUITE_P(All, DrawTextEllipsis, testing::ValuesIn(kEllipsis),
                         [](const auto& info) { return std::string(info.param.name); });

// The text is clipped to the rectangle unless DT_NOCLIP.
TEST_F(DrawTextTest, ClippedToTheRectangleUnlessNoClip) {
    HDC clipped = NewSurface(), free = NewSurface();
    RECT rect{10, 10, 60, 40};
    DrawTextW(clipped, u"A label too long", -1, &rect, DT_SINGLELINE);
    DrawTextW(free, u"A label too long", -1, &rect, DT_SINGLELINE | DT_NOCLIP);
    const PixelSet inside = Ink(clipped), all = Ink(free);
    EXPECT_FALSE(inside.empty());
    for (const auto& [x, y] : inside) EXPECT_TRUE(x >= 10 && x < 60 && y >= 10 && y < 40) << x << "," << y;
    EXPECT_TRUE(std::any_of(all.begin(), all.end(), [](const auto& p) { return p.first >= 60; }));
}

// A million characters of words wrap into lines of as many words as fit,
// in time proportional to the text.
TEST_F(DrawTextTest, LongTextWrapsInLinearTime) {
    HDC dc = NewSurface();
    std::u16string text;
    for (int i = 0; i < 200000; ++i) text += u"word ";
    size_t perLine = 1;
    std::u16string line = u"word";
    while (Extent(dc, line + u" word") <= 100) line += u" word", ++perLine;
    RECT rect{0, 0, 100, 0};
    const int lines = int((200000 + perLine - 1) / perLine);
    EXPECT_EQ(DrawTextW(dc, text.data(), int(text.size()), &rect, DT_WORDBREAK | DT_CALCRECT),
              lines * Metrics(dc).tmHeight);
    EXPECT_EQ(rect.right, Extent(dc, line));
}

// Bad input answers 0 with the Win32 error and draws nothing.
TEST_F(DrawTextTest, BadInputFails) {
    HDC dc = NewSurface();
    RECT rect{0, 0, 100, 100};
    struct Case {
        const char* name;
        std::function<int()> call;
        DWORD error;
    };
    const Case cases[] = {
        {"BadDC", [&] { return DrawTextW(HDC(0x4321), u"abc", 3, &rect, 0); }, ERROR_INVALID_HANDLE},
        {"NullRect", [&] { return DrawTextW(dc, u"abc", 3, nullptr, 0); }, ERROR_INVALID_PARAMETER},
        {"NullTextWithCount", [&] { return DrawTextW(dc, nullptr, 5, &rect, 0); }, ERROR_INVALID_PARAMETER},
        {"NullTerminatedNull", [&] { return DrawTextW(dc, nullptr, -1, &rect, 0); }, ERROR_INVALID_PARAMETER},
        {"CountBelowMinusOne", [&] { return DrawTextW(dc, u"abc", -2, &rect, 0); }, ERROR_INVALID_PARAMETER},
    };
    for (const Case& c : cases) {
        SetLastError(0);
        EXPECT_EQ(c.call(), 0) << c.name;
        EXPECT_EQ(GetLastError(), c.error) << c.name;
    }
    EXPECT_TRUE(Ink(dc).empty());
    EXPECT_EQ(rect.right, 100);
}

}  // namespace
