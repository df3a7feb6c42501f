// A printer's own fonts on its DC: the test driver (modules/fakerend.cpp)
// has two, "Fake Mono" (fixed pitch, handles 0x1000 plus the character,
// 600 units of 1000 wide) and "Fake Serif" (its characters as handles, 400
// + 50 x (character mod 7) units wide), 800 units above the baseline and
// 200 below. The engine asks for them once per PDEV, lists them first on
// the printer's DC, maps their names to them there and nowhere else,
// measures them with the driver's widths, and hands them to DrvTextOut as
// device fonts.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "win32/gdi32/font_fixture.h"

namespace {

using tam::test::DcKind;
using Calls = std::vector<std::string>;

struct Report {
    std::u16string face;
    DWORD type;
    BYTE pitchAndFamily;
    UINT ntmSizeEM;
};

int CALLBACK Collect(const LOGFONTW* lf, const TEXTMETRICW* tm, DWORD type, LPARAM param) {
    auto* out = reinterpret_cast<std::vector<Report>*>(param);
    out->push_back({lf->lfFaceName, type, lf->lfPitchAndFamily,
                    reinterpret_cast<const NEWTEXTMETRICEXW*>(tm)->ntmTm.ntmSizeEM});
    return 1;
}

std::vector<Report> Families(HDC dc, const char16_t* name = u"") {
    LOGFONTW lf{};
    lf.lfCharSet = DEFAULT_CHARSET;
    for (int i = 0; name[i]; ++i) lf.lfFaceName[i] = name[i];
    std::vector<Report> reports;
    EnumFontFamiliesExW(dc, &lf, &Collect, reinterpret_cast<LPARAM>(&reports), 0);
    return reports;
}

class DeviceFonts : public tam::test::FontTest {
protected:
    // The font calls among the driver's, with their face or id ("DrvQueryFont 1").
    static Calls FontCalls() {
        Calls calls;
        for (const std::string& line : DriverLog()) {
            for (const char* name : {"DrvQueryFont ", "DrvQueryFontTree ", "DrvFree ", "DrvQueryAdvanceWidths "}) {
                if (line.rfind(name, 0) != 0) continue;
                const std::string key = std::string(name) == "DrvFree " ? " id=" : " face=";
                const size_t at = line.find(key);
                std::string value = at == std::string::npos ? "" : line.substr(at + key.size());
                value = value.substr(0, value.find(' '));
                calls.push_back(std::string(name) + value);
            }
        }
        return calls;
    }

    HDC Printer(const std::u16string& wishes = u"") {
        SetDriverWishes(wishes);
        HDC dc = MakeDC(DcKind::Printer);
        w32::DebugLogClear();
        return dc;
    }
};

struct AskCase {
    const char* name;
    const char16_t* wishes;
    Calls asked;
};

class DeviceFontsAsked : public DeviceFonts, public testing::WithParamInterface<AskCase> {};

// Each face's IFIMETRICS and glyph set, each given back with DrvFree; a
// driver whose DEVINFO says -1 counts its faces first. Asked once: a
// second enumeration and a mapping ask nothing more.
TEST_P(DeviceFontsAsked, OncePerPdevInWindowsOrder) {
    HDC dc = Printer(GetParam().wishes);
    const std::vector<Report> reports = Families(dc);
    EXPECT_EQ(FontCalls(), GetParam().asked);
    ASSERT_GE(reports.size(), 3u);
    EXPECT_EQ(reports[0].face, u"Fake Mono");
    EXPECT_EQ(reports[0].type, DWORD(DEVICE_FONTTYPE));
    EXPECT_EQ(reports[0].pitchAndFamily, FIXED_PITCH | FF_MODERN);
    EXPECT_EQ(reports[0].ntmSizeEM, 1000u);
    EXPECT_EQ(reports[1].face, u"Fake Serif");
    EXPECT_EQ(reports[2].type, DWORD(TRUETYPE_FONTTYPE)) << "the installed fonts follow";

    w32::DebugLogClear();
    EXPECT_EQ(Families(dc).size(), reports.size());
    Use(dc, u"Fake Serif", -50);
    TEXTMETRICW tm{};
    EXPECT_TRUE(GetTextMetricsW(dc, &tm));
    EXPECT_EQ(FontCalls(), Calls{});
}

INSTANTIATE_TEST_SUITE_P(
    Counts, DeviceFontsAsked,
    testing::Values(AskCase{"Counted", u"",
                            {"DrvQueryFont 1", "DrvFree 101", "DrvQueryFontTree 1", "DrvFree 201", "DrvQueryFont 2",
                             "DrvFree 102", "DrvQueryFontTree 2", "DrvFree 202"}},
                    AskCase{"AskedForTheCount", u"devicefonts=-1",
                            {"DrvQueryFont 0", "DrvQueryFont 1", "DrvFree 101", "DrvQueryFontTree 1", "DrvFree 201",
                             "DrvQueryFont 2", "DrvFree 102", "DrvQueryFontTree 2", "DrvFree 202"}},
                    AskCase{"WithoutFontTree", u"without-DrvQueryFontTree",
                            {"DrvQueryFont 1", "DrvFree 101", "DrvQueryFont 2", "DrvFree 102"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DeviceFonts, NoneWhenTheDriverHasNone) {
    HDC dc = Printer(u"devicefonts=0");
    const std::vector<Report> reports = Families(dc);
    EXPECT_EQ(FontCalls(), Calls{});
    ASSERT_FALSE(reports.empty());
    for (const Report& r : reports) EXPECT_EQ(r.type, DWORD(TRUETYPE_FONTTYPE)) << std::string(r.face.begin(), r.face.end());
    EXPECT_TRUE(Families(dc, u"Fake Mono").empty());
}

// A face whose IFIMETRICS is shorter than the record is left out; it is
// still given back.
TEST_F(DeviceFonts, DamagedDescriptionIsLeftOut) {
    HDC dc = Printer(u"bad-devicefont");
    const std::vector<Report> reports = Families(dc);
    ASSERT_GE(reports.size(), 2u);
    EXPECT_EQ(reports[0].face, u"Fake Mono");
    EXPECT_EQ(reports[1].type, DWORD(TRUETYPE_FONTTYPE));
    const Calls calls = FontCalls();
    EXPECT_NE(std::find(calls.begin(), calls.end(), "DrvFree 102"), calls.end());
    Use(dc, u"Fake Serif", -100);
    WCHAR face[LF_FACESIZE] = {};
    ASSERT_GT(GetTextFaceW(dc, LF_FACESIZE, face), 0);
    EXPECT_NE(std::u16string(face), u"Fake Serif") << "mapped to an installed face instead";
}

struct MapCase {
    const char* name;
    DcKind kind;
    const char16_t* face;
    BYTE outPrecision;
    bool device;
};

class DeviceFontMapping : public DeviceFonts, public testing::WithParamInterface<MapCase> {};

// A printer DC maps the name (in any case) to the printer's font, unless
// TrueType alone is asked; other DCs never see it.
TEST_P(DeviceFontMapping, OnlyOnThePrinterDc) {
    const MapCase& c = GetParam();
    HDC dc = c.kind == DcKind::Memory ? MakeDC(DcKind::Memory) : Printer();
    LOGFONTW lf{};
    lf.lfHeight = -100;
    lf.lfOutPrecision = c.outPrecision;
    for (int i = 0; c.face[i]; ++i) lf.lfFaceName[i] = c.face[i];
    Use(dc, lf);
    TEXTMETRICW tm{};
    ASSERT_TRUE(GetTextMetricsW(dc, &tm));
    WCHAR face[LF_FACESIZE] = {};
    ASSERT_GT(GetTextFaceW(dc, LF_FACESIZE, face), 0);
    EXPECT_EQ((tm.tmPitchAndFamily & TMPF_DEVICE) != 0, c.device);
    EXPECT_EQ((tm.tmPitchAndFamily & TMPF_TRUETYPE) == 0, c.device);
    EXPECT_EQ(std::u16string(face) == u"Fake Mono", c.device) << std::string(face, face + 9);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DeviceFontMapping,
    testing::Values(MapCase{"Printer", DcKind::Printer, u"Fake Mono", OUT_DEFAULT_PRECIS, true},
                    MapCase{"OtherCase", DcKind::Printer, u"fAKE mONO", OUT_DEFAULT_PRECIS, true},
                    MapCase{"TrueTypeOnly", DcKind::Printer, u"Fake Mono", OUT_TT_ONLY_PRECIS, false},
                    MapCase{"MemoryDc", DcKind::Memory, u"Fake Mono", OUT_DEFAULT_PRECIS, false}),
    [](const auto& info) { return std::string(info.param.name); });

// The metrics come from the driver's IFIMETRICS at the size asked: an em
// of 100 pixels is 0.1 pixel a unit.
TEST_F(DeviceFonts, MetricsFollowTheDriversDescription) {
    HDC dc = Printer();
    Use(dc, u"Fake Mono", -100);
    TEXTMETRICW tm{};
    ASSERT_TRUE(GetTextMetricsW(dc, &tm));
    EXPECT_EQ(tm.tmAscent, 80);
    EXPECT_EQ(tm.tmDescent, 20);
    EXPECT_EQ(tm.tmInternalLeading, 0);
    EXPECT_EQ(tm.tmAveCharWidth, 60);
    EXPECT_EQ(tm.tmMaxCharWidth, 60);
    EXPECT_EQ(tm.tmWeight, FW_NORMAL);
    EXPECT_EQ(tm.tmPitchAndFamily, TMPF_DEVICE | TMPF_VECTOR | FF_MODERN) << "fixed pitch: TMPF_FIXED_PITCH clear";
    EXPECT_EQ(tm.tmFirstChar, 0x20);
    EXPECT_EQ(tm.tmLastChar, 0x7E);

    Use(dc, u"Fake Serif", 50);  // a cell of 50: the em is 50 too
    ASSERT_TRUE(GetTextMetricsW(dc, &tm));
    EXPECT_EQ(tm.tmHeight, 50);
    EXPECT_EQ(tm.tmWeight, FW_BOLD);
    EXPECT_EQ(tm.tmPitchAndFamily, TMPF_FIXED_PITCH | TMPF_DEVICE | TMPF_VECTOR | FF_ROMAN);
}

LONG SerifWidth(char16_t ch, double pixelsPerUnit) { return LONG(std::lround((400 + 50 * (ch % 7)) * pixelsPerUnit)); }

// Extents and widths add up the driver's advances, asked once for every
// glyph of the font with the font's FONTOBJ as a device font.
TEST_F(DeviceFonts, ExtentsAreTheDriversAdvanceWidths) {
    HDC dc = Printer();
    Use(dc, u"Fake Serif", -100);
    const std::u16string text = u"AB C\u00e9";
    LONG expected = 0;
    for (const char16_t ch : text) expected += SerifWidth(ch, 0.1);
    SIZE size{};
    ASSERT_TRUE(GetTextExtentPoint32W(dc, text.c_str(), int(text.size()), &size));
    EXPECT_EQ(size.cx, expected);
    EXPECT_EQ(size.cy, 100);
    INT widths[3] = {};
    ASSERT_TRUE(GetCharWidth32W(dc, 'A', 'C', widths));
    EXPECT_EQ(widths[0], SerifWidth('A', 0.1));
    EXPECT_EQ(widths[2], SerifWidth('C', 0.1));

    const Calls calls = FontCalls();
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "DrvQueryAdvanceWidths 2"), 1) << "once, for the whole font";
    const std::string line = DriverLine("DrvQueryAdvanceWidths");
    EXPECT_NE(line.find(" type=00000002 mode=0 count=224"), std::string::npos) << line;
}

// A driver that refuses, or has no DrvQueryAdvanceWidths, gives every glyph
// the average width.
class DeviceFontsWithoutWidths : public DeviceFonts, public testing::WithParamInterface<const char16_t*> {};

TEST_P(DeviceFontsWithoutWidths, EveryGlyphIsAverage) {
    HDC dc = Printer(GetParam());
    Use(dc, u"Fake Serif", -100);
    SIZE size{};
    ASSERT_TRUE(GetTextExtentPoint32W(dc, u"ABCD", 4, &size));
    EXPECT_EQ(size.cx, 4 * 55);
}

INSTANTIATE_TEST_SUITE_P(Drivers, DeviceFontsWithoutWidths,
                         testing::Values(u"refuse-DrvQueryAdvanceWidths", u"without-DrvQueryAdvanceWidths"));

// The font's file, outline and glyph shapes exist only in the printer.
TEST_F(DeviceFonts, FontFileQueriesFail) {
    HDC dc = Printer();
    Use(dc, u"Fake Mono", -100);
    EXPECT_EQ(GetFontData(dc, 0, 0, nullptr, 0), GDI_ERROR);
    EXPECT_EQ(GetOutlineTextMetricsW(dc, 0, nullptr), 0u);
    GLYPHMETRICS gm{};
    const MAT2 identity{{0, 1}, {0, 0}, {0, 0}, {0, 1}};
    EXPECT_EQ(GetGlyphOutlineW(dc, 'A', GGO_METRICS, &gm, 0, nullptr, &identity), GDI_ERROR);
    KERNINGPAIR pairs[4];
    EXPECT_EQ(GetKerningPairsW(dc, 4, pairs), 0u);
}

class DeviceFontText : public DeviceFonts {
protected:
    HDC Page(const std::u16string& wishes) {
        HDC dc = Printer(wishes);
        DOCINFOW info{sizeof(DOCINFOW), u"Device text", nullptr, nullptr, 0};
        EXPECT_GT(StartDocW(dc, &info), 0) << GetLastError();
        EXPECT_GT(StartPage(dc), 0) << GetLastError();
        w32::DebugLogClear();
        return dc;
    }
};

// DrvTextOut gets the glyph handles of the driver's glyph set at the
// driver's advances, with the font as a device font of its number and
// the driver's own IFIMETRICS, and no bitmaps even when the driver's glyph
// mode asks for them.
TEST_F(DeviceFontText, DrvTextOutGetsTheDeviceFont) {
    HDC dc = Page(u"");
    Use(dc, u"Fake Mono", -100);
    SetTextAlign(dc, TA_BASELINE);
    ASSERT_TRUE(ExtTextOutW(dc, 100, 200, 0, nullptr, u"Hi", 2, nullptr)) << GetLastError();
    const std::string line = DriverLine("DrvTextOut");
    const std::string glyphs = std::to_string(0x1000 + 'H') + "@100,200 " + std::to_string(0x1000 + 'i') + "@160,200";
    EXPECT_NE(line.find(glyphs), std::string::npos) << line;
    EXPECT_EQ(line.find("=1x"), std::string::npos) << "no glyph bitmaps: " << line;
    EXPECT_NE(line.find(" face=1 type=00000002 "), std::string::npos) << line;
    EXPECT_NE(line.find(" name=Fake Mono em=1000 file=0:"), std::string::npos) << line;
    EXPECT_NE(line.find(" charinc=60"), std::string::npos) << "fixed pitch: " << line;
}

// The engine cannot draw a printer's font: when the driver refuses, the
// text fails rather than vanishing.
TEST_F(DeviceFontText, RefusedTextFails) {
    HDC dc = Page(u"refuse-DrvTextOut");
    Use(dc, u"Fake Mono", -100);
    EXPECT_FALSE(ExtTextOutW(dc, 100, 200, 0, nullptr, u"Hi", 2, nullptr));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_NOT_SUPPORTED));
    EXPECT_EQ(DriverLine("DrvCopyBits"), "") << "nothing drawn on the engine's bitmap";
}

// A new PDEV (ResetDCW) has its fonts asked again.
TEST_F(DeviceFonts, ResetDcAsksAgain) {
    HDC dc = Printer();
    Families(dc);
    DEVMODEW dm{};
    dm.dmSize = sizeof(dm);
    dm.dmFields = DM_ORIENTATION;
    dm.dmOrientation = DMORIENT_LANDSCAPE;
    ASSERT_NE(ResetDCW(dc, &dm), nullptr) << GetLastError();
    w32::DebugLogClear();
    const std::vector<Report> reports = Families(dc);
    ASSERT_FALSE(reports.empty());
    EXPECT_EQ(reports[0].face, u"Fake Mono");
    EXPECT_EQ(FontCalls().size(), 8u);
}

}  // namespace
