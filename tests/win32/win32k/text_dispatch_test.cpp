// Text on a printer device of the test driver (modules/fakerend.cpp): what
// DrvTextOut gets (the string, the font, the clip, the rectangles and the
// brushes), the glyph-mode question asked once per font and device, the
// font objects kept for the driver and let go with DrvDestroyFont, long
// strings in batches, and the engine's own drawing between two DrvCopyBits
// when the driver does not take the text. The device has 600 dots per inch
// and a PAL_RGB palette (red in the low byte).
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cstring>
#include <sstream>

#include "win32/win32k/engine_fixture.h"
#include "win32/win32k/text_fixture.h"
#include "win32k/ddiobj.h"
#include "win32k/textout.h"

namespace {

using tam::test::EngineTest;
using Calls = std::vector<std::string>;

// The value of `key=` in a logged line: up to the next space, or a whole
// bracketed list.
std::string Field(const std::string& line, const std::string& key) {
    size_t at = line.find(" " + key + "=");
    if (at == std::string::npos) return "(missing " + key + ")";
    at += key.size() + 2;
    const size_t end = line[at] == '[' ? line.find(']', at) + 1 : line.find(' ', at);
    return line.substr(at, end == std::string::npos ? std::string::npos : end - at);
}

std::string RectText(const RECTL& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
           std::to_string(r.bottom);
}

// "hg@x,y ..." of a run, as the driver lists glyphs.
std::string GlyphList(const w32::TextRun& run, size_t from = 0, size_t to = SIZE_MAX) {
    std::string text;
    for (size_t i = from; i < std::min(to, run.glyphs.size()); ++i)
        text += (text.empty() ? "" : " ") + std::to_string(run.glyphs[i]) + "@" + std::to_string(run.positions[i].x) +
                "," + std::to_string(run.positions[i].y);
    return text;
}

class TextDispatch : public tam::test::DeviceDrawingTest {
protected:
    // A device with the driver's wishes, drawing blue text on yellow.
    w32::DrawContext Device(const std::u16string& wishes = u"") {
        w32::DrawContext dc = DeviceDrawingTest::Device(wishes);
        dc.textColor = RGB(0, 0, 255);
        dc.bkColor = RGB(255, 255, 0);
        return dc;
    }
};

// Hooked: one DrvGetGlyphMode, then DrvTextOut with the whole string in
// pgp (each glyph's bitmap the one FONTOBJ_cGetGlyphs gives), the cells as
// the background box, the characters, a trivial clip, both rectangles,
// the blue text colour and the yellow background as PAL_RGB pixels, the
// copy mix, and the font with its face, resolution, description and file.
TEST_F(TextDispatch, HookedTextReachesDrvTextOutWithItsObjects) {
    w32::DrawContext dc = Device(u"textout-glyphbits");
    const auto font = tam::test::RealizedTestFont();
    w32::TextRun run = tam::test::LaidOutRun(font, u"Hi!", POINTL{100, 200});
    run.opaque = RECTL{90, 150, 200, 220};
    run.extras = {RECTL{100, 205, 160, 208}};
    ASSERT_TRUE(w32::DrawTextOut(dc, run)) << GetLastError();

    EXPECT_EQ(DrawingCalls(), (Calls{"DrvGetGlyphMode", "DrvTextOut"}));
    const std::string line = DriverLine("DrvTextOut");
    EXPECT_EQ(Field(line, "glyphs"), "3");
    EXPECT_EQ(Field(line, "accel"), "0003") << "SO_HORIZONTAL | SO_FLAG_DEFAULT_PLACEMENT";
    EXPECT_EQ(Field(line, "charinc"), "0");
    const w32::FontMetrics& m = font->Metrics();
    const LONG width = run.positions[2].x + font->Glyph(run.glyphs[2])->advance - 100;
    EXPECT_EQ(Field(line, "bk"), RectText(RECTL{100, 200 - m.ascent, 100 + width, 200 + m.descent}));
    EXPECT_EQ(Field(line, "pgp"), "given");
    EXPECT_EQ(Field(line, "text"), "Hi!");
    EXPECT_EQ(Field(line, "clip"), "0");
    EXPECT_EQ(Field(line, "opaque"), "90,150,200,220");
    EXPECT_EQ(Field(line, "extra"), "[100,205,160,208]");
    EXPECT_EQ(Field(line, "fore"), "00ff0000");
    EXPECT_EQ(Field(line, "back"), "0000ffff");
    EXPECT_EQ(Field(line, "mix"), "0d0d");
    EXPECT_EQ(Field(line, "face"), "1");
    EXPECT_EQ(Field(line, "type"), "00000004") << "FO_TYPE_TRUETYPE";
    EXPECT_EQ(Field(line, "res"), "600x600");
    EXPECT_NE(line.find("name=DejaVu Sans em=2048 "), std::string::npos) << line;
    EXPECT_EQ(Field(line, "file"), std::to_string(font->Face().file->Bytes().size()) + ":00010000");

    // Each glyph at its place, with the bitmap FONTOBJ_cGetGlyphs gives for it.
    const std::string list = Field(line, "list"), bits = Field(line, "glyphbits");
    std::istringstream entries(list.substr(1, list.size() - 2)), fetched(bits.substr(1, bits.size() - 2));
    for (size_t i = 0; i < run.glyphs.size(); ++i) {
        std::string entry, bitmap;
        entries >> entry;
        fetched >> bitmap;
        EXPECT_EQ(entry.substr(0, entry.find('=')), GlyphList(run, i, i + 1));
        // "WxH#sum" from pgdf against "WxH@x,y#sum" from FONTOBJ_cGetGlyphs.
        EXPECT_EQ(entry.substr(entry.find('=') + 1),
                  bitmap.substr(0, bitmap.find('@')) + bitmap.substr(bitmap.find('#')))
            << entry << " " << bitmap;
    }
    ASSERT_EQ(w32::DdiCallLog().size(), 2u);
    EXPECT_EQ(w32::DdiCallLog()[1].argument, 0x0D0Du);
}

struct GlyphModeCase {
    const char* name;
    const char16_t* wishes;
    bool asked;    // DrvGetGlyphMode is called
    bool bitmaps;  // GLYPHPOS carry bitmaps
};
void PrintTo(const GlyphModeCase& c, std::ostream* out) { *out << c.name; }
const GlyphModeCase kGlyphModes[] = {
    {"GlyphBits", u"", true, true},
    {"Handles", u"glyphmode=0", true, false},
    {"Paths", u"glyphmode=2", true, false},
    {"NoGlyphModeCallback", u"without-DrvGetGlyphMode", false, true},
};

class TextGlyphMode : public TextDispatch, public testing::WithParamInterface<GlyphModeCase> {};

// The glyph mode is asked once per font on a device, before its first
// string; the font object stays for the font's later strings (same iUniq,
// the driver's pvConsumer kept) and goes with DrvDestroyFont when the
// device does.
TEST_P(TextGlyphMode, AskedOncePerFontAndDeviceAndKeptWithTheFont) {
    const GlyphModeCase& c = GetParam();
    w32::DrawContext dc = Device(c.wishes);
    const auto sans = tam::test::RealizedTestFont();
    const auto mono = tam::test::RealizedTestFont({.face = u"DejaVu Sans Mono"});
    ASSERT_TRUE(w32::DrawTextOut(dc, tam::test::LaidOutRun(sans, u"one", POINTL{10, 100})));
    ASSERT_TRUE(w32::DrawTextOut(dc, tam::test::LaidOutRun(sans, u"two", POINTL{10, 200})));
    ASSERT_TRUE(w32::DrawTextOut(dc, tam::test::LaidOutRun(mono, u"three", POINTL{10, 300})));
    const Calls expected = c.asked
                               ? Calls{"DrvGetGlyphMode", "DrvTextOut", "DrvTextOut", "DrvGetGlyphMode", "DrvTextOut"}
                               : Calls{"DrvTextOut", "DrvTextOut", "DrvTextOut"};
    EXPECT_EQ(DrawingCalls(), expected);

    std::vector<std::string> lines;
    for (const std::string& line : DriverLog())
        if (line.rfind("DrvTextOut ", 0) == 0) lines.push_back(line);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(Field(lines[0], "font"), Field(lines[1], "font"));
    EXPECT_NE(Field(lines[0], "font"), Field(lines[2], "font"));
    EXPECT_NE(lines[0].find(" consumer=new 1"), std::string::npos) << lines[0];
    EXPECT_NE(lines[1].find(" consumer=1"), std::string::npos) << lines[1];
    EXPECT_NE(lines[2].find(" consumer=new 2"), std::string::npos) << lines[2];
    for (const std::string& line : lines)
        EXPECT_EQ(Field(line, "list").find('=') != std::string::npos, c.bitmaps) << line;

    w32::DebugLogClear();
    w32::DisablePrinterDevice(*device_);
    device_.reset();
    EXPECT_NE(DriverLine("DrvDestroyFont", "consumer=1"), "");
    EXPECT_NE(DriverLine("DrvDestroyFont", "consumer=2"), "");
    EXPECT_EQ(DriverCalls(), (Calls{"DrvDestroyFont", "DrvDestroyFont", "DrvDisableSurface", "DrvDisablePDEV",
                                    "DrvDisableDriver"}));
}
INSTANTIATE_TEST_SUITE_P(All, TextGlyphMode, testing::ValuesIn(kGlyphModes),
                         [](const auto& info) { return std::string(info.param.name); });

// A reset gives the device a new PDEV: the old PDEV's fonts go with it
// (DrvDestroyFont before its DrvDisablePDEV), and the new one asks the
// glyph mode again and gets a font object of its own.
TEST_F(TextDispatch, ResetStartsTheFontsAgain) {
    w32::DrawContext dc = Device();
    const auto font = tam::test::RealizedTestFont();
    const w32::TextRun run = tam::test::LaidOutRun(font, u"reset", POINTL{10, 100});
    ASSERT_TRUE(w32::DrawTextOut(dc, run));
    const std::string before = DriverLine("DrvTextOut");
    ASSERT_TRUE(w32::ResetPrinterDevice(*device_, nullptr));
    dc.target.surface = w32::LookupSurface(device_->pdev->surface);
    ASSERT_TRUE(w32::DrawTextOut(dc, run));
    const Calls calls = DrawingCalls();
    const auto at = [&](const std::string& call) { return std::find(calls.begin(), calls.end(), call) - calls.begin(); };
    EXPECT_LT(at("DrvResetPDEV"), at("DrvDestroyFont"));
    EXPECT_LT(at("DrvDestroyFont"), at("DrvDisablePDEV"));
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "DrvGetGlyphMode"), 2);
    EXPECT_EQ(calls.back(), "DrvTextOut");
    std::string after;
    for (const std::string& line : DriverLog())
        if (line.rfind("DrvTextOut ", 0) == 0) after = line;
    EXPECT_NE(Field(before, "font"), Field(after, "font"));
    EXPECT_NE(after.find(" consumer=new 2"), std::string::npos) << after;
}

// Unhooked or refused, the engine draws the string on a bitmap of its
// bounds between two DrvCopyBits: the pixels inked are those the glyphs'
// bitmaps set, and the underline's.
TEST_F(TextDispatch, UnhookedOrRefusedTextIsDrawnOnATemporaryBitmap) {
    const struct {
        const char16_t* wishes;
        Calls calls;
    } cases[] = {
        {u"hooks=0x401", {"DrvCopyBits", "DrvCopyBits"}},
        {u"refuse-DrvTextOut", {"DrvGetGlyphMode", "DrvTextOut", "DrvCopyBits", "DrvCopyBits"}},
    };
    for (const auto& c : cases) {
        w32::DrawContext dc = Device(c.wishes);
        const auto font = tam::test::RealizedTestFont();
        w32::TextRun run = tam::test::LaidOutRun(font, u"HIT", POINTL{300, 400});
        run.extras = {RECTL{300, 410, 340, 413}};  // below the capitals, which sit on the baseline
        unsigned long inked = 40 * 3;
        for (HGLYPH glyph : run.glyphs) {
            const auto bitmap = font->Bitmap(glyph, false);
            for (BYTE b : bitmap->bits) inked += std::popcount(unsigned(b));
        }
        ASSERT_TRUE(w32::DrawTextOut(dc, run)) << GetLastError();
        EXPECT_EQ(DrawingCalls(), c.calls);
        EXPECT_NE(DriverLine("DrvCopyBits", "to=bitmap from=device"), "");
        EXPECT_NE(DriverLine("DrvCopyBits", "to=device from=bitmap"), "");
        EXPECT_EQ(Field(DriverLine("DrvCopyBits", "to=device"), "inked"), std::to_string(inked));
    }
}

struct BatchCase {
    size_t glyphs;
    const char* pgp;
    size_t batches;  // through STROBJ_bEnum when pgp is null
};
void PrintTo(const BatchCase& c, std::ostream* out) { *out << c.glyphs << " glyphs"; }
const BatchCase kBatches[] = {{128, "given", 0}, {129, "null", 2}, {300, "null", 3}};

class TextBatches : public TextDispatch, public testing::WithParamInterface<BatchCase> {};

// A string of up to 128 glyphs comes whole in pgp; a longer one has pgp
// null, and its batches hand out every glyph once, in order, at its place.
TEST_P(TextBatches, LongStringsComeThroughEnumeration) {
    const BatchCase& c = GetParam();
    w32::DrawContext dc = Device();
    const auto font = tam::test::RealizedTestFont({.height = -12});
    std::u16string text;
    for (size_t i = 0; i < c.glyphs; ++i) text += char16_t(u'a' + i % 26);
    const w32::TextRun run = tam::test::LaidOutRun(font, text, POINTL{0, 50});
    ASSERT_TRUE(w32::DrawTextOut(dc, run));
    const std::string line = DriverLine("DrvTextOut");
    EXPECT_EQ(Field(line, "pgp"), c.pgp);
    if (c.batches) {
        EXPECT_EQ(Field(line, "batches"), std::to_string(c.batches));
        EXPECT_EQ(Field(line, "enumerated"), std::to_string(c.glyphs));
    }
    std::string listed = Field(line, "list");
    // Without the bitmaps: "hg@x,y" only.
    std::string places;
    std::istringstream entries(listed.substr(1, listed.size() - 2));
    for (std::string entry; entries >> entry;) places += (places.empty() ? "" : " ") + entry.substr(0, entry.find('='));
    EXPECT_EQ(places, GlyphList(run));
}
INSTANTIATE_TEST_SUITE_P(All, TextBatches, testing::ValuesIn(kBatches),
                         [](const auto& info) { return std::to_string(info.param.glyphs); });

// The clip's complexity is told against all the text touches; a string
// wholly outside the clip reaches no callback at all.
TEST_F(TextDispatch, ClipComplexityAgainstTheText) {
    const auto font = tam::test::RealizedTestFont();
    const w32::TextRun run = tam::test::LaidOutRun(font, u"Clip", POINTL{100, 100});
    const struct {
        std::vector<RECTL> clip;
        const char* complexity;  // empty: no call
    } cases[] = {
        {{{0, 0, 1000, 1000}}, "0"},
        {{{0, 0, 120, 1000}}, "1"},
        {{{0, 0, 110, 1000}, {130, 0, 1000, 1000}}, "3"},
        {{{500, 500, 600, 600}}, ""},
    };
    for (const auto& c : cases) {
        w32::DrawContext dc = Device();
        dc.clip = w32::Region::FromRects(c.clip);
        ASSERT_TRUE(w32::DrawTextOut(dc, run));
        const std::string line = DriverLine("DrvTextOut");
        if (*c.complexity) EXPECT_EQ(Field(line, "clip"), c.complexity) << line;
        else EXPECT_EQ(DrawingCalls(), Calls{});
    }
}

// Glyph handles the font does not have reach the driver as its default
// glyph (DejaVu Sans names no default character: .notdef, glyph 0); a run
// without a font, or with a place missing, fails.
TEST_F(TextDispatch, BadGlyphsAndBadRuns) {
    w32::DrawContext dc = Device(u"glyphmode=0");
    const auto font = tam::test::RealizedTestFont();
    w32::TextRun run;
    run.font = font;
    run.glyphIndices = true;
    run.glyphs = {0x7FFFFFFF, font->GlyphCount(), w32::kVerticalGlyph | font->GlyphIndex(u'a')};
    run.positions = {POINTL{10, 100}, POINTL{30, 100}, POINTL{60, 100}};
    ASSERT_TRUE(w32::DrawTextOut(dc, run));
    const std::string line = DriverLine("DrvTextOut");
    EXPECT_EQ(Field(line, "list"), "[0@10,100 0@30,100 0@60,100]");
    EXPECT_EQ(Field(line, "text"), "(null)");
    EXPECT_EQ(std::stoul(Field(line, "accel"), nullptr, 16) & SO_GLYPHINDEX_TEXTOUT, ULONG(SO_GLYPHINDEX_TEXTOUT));

    w32::TextRun missing = run;
    missing.positions.pop_back();
    SetLastError(0);
    EXPECT_FALSE(w32::DrawTextOut(dc, missing));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    w32::TextRun fontless = run;
    fontless.font.reset();
    SetLastError(0);
    EXPECT_FALSE(w32::DrawTextOut(dc, fontless));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
}

// A million glyphs reach the driver in one DrvTextOut, in batches, and the
// engine's call log records that one call, not the glyphs.
TEST_F(TextDispatch, AMillionGlyphsAreOneCall) {
    w32::DrawContext dc = Device();
    const auto font = tam::test::RealizedTestFont({.height = -10});
    w32::TextRun run;
    run.font = font;
    run.glyphIndices = true;
    const HGLYPH glyphs[] = {font->GlyphIndex(u'x'), font->GlyphIndex(u'y'), 0xFFFFFF};
    for (LONG i = 0; i < 1000000; ++i) {
        run.glyphs.push_back(glyphs[i % 3]);
        run.positions.push_back(POINTL{(i % 700) * 6, 20 + (i / 700) % 1000 * 6});
    }
    ASSERT_TRUE(w32::DrawTextOut(dc, run));
    const std::string line = DriverLine("DrvTextOut");
    EXPECT_EQ(Field(line, "enumerated"), "1000000");
    EXPECT_EQ(Field(line, "batches"), std::to_string((1000000 + 127) / 128));
    EXPECT_EQ(EngineCalls(), (Calls{"DrvGetGlyphMode", "DrvTextOut"}));
}

}  // namespace
