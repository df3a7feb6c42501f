// EnumFontFamiliesExW and EnumFontFamiliesW over the machine's fonts:
// each family once per charset its OS/2 code pages cover, each style of a
// named family, the vertical "@" family of the CJK faces, the records GDI
// fills (checked against FreeType reading the same files), the callback's
// power to stop, and fonts added with FR_NOT_ENUM left out.
#include <algorithm>
#include <filesystem>
#include <map>
#include <set>

#include "win32/gdi32/font_fixture.h"

using namespace tam::test;

namespace {

struct Report {
    ENUMLOGFONTEXW elf;
    NEWTEXTMETRICEXW ntm;
    DWORD type;
    std::u16string Face() const { return elf.elfLogFont.lfFaceName; }
    BYTE Charset() const { return elf.elfLogFont.lfCharSet; }
};

struct Collector {
    std::vector<Report> reports;
    int stopAt = 0;  // the call that answers 0; 0 for none
    int answer = 1;  // what the other calls answer
};

int CALLBACK Collect(const LOGFONTW* lf, const TEXTMETRICW* tm, DWORD type, LPARAM lParam) {
    auto* collector = reinterpret_cast<Collector*>(lParam);
    collector->reports.push_back({*reinterpret_cast<const ENUMLOGFONTEXW*>(lf),
                                  *reinterpret_cast<const NEWTEXTMETRICEXW*>(tm), type});
    return int(collector->reports.size()) == collector->stopAt ? 0 : collector->answer;
}

// The charset of each OS/2 code page bit, and the script name Windows gives it.
struct CodePage {
    int bit;
    BYTE charset;
    const char16_t* script;
};
const CodePage kCodePages[] = {
    {0, ANSI_CHARSET, u"Western"},
    {1, EASTEUROPE_CHARSET, u"Central European"},
    {2, RUSSIAN_CHARSET, u"Cyrillic"},
    {3, GREEK_CHARSET, u"Greek"},
    {4, TURKISH_CHARSET, u"Turkish"},
    {5, HEBREW_CHARSET, u"Hebrew"},
    {6, ARABIC_CHARSET, u"Arabic"},
    {7, BALTIC_CHARSET, u"Baltic"},
    {8, VIETNAMESE_CHARSET, u"Vietnamese"},
    {16, THAI_CHARSET, u"Thai"},
    {17, SHIFTJIS_CHARSET, u"Japanese"},
    {18, GB2312_CHARSET, u"CHINESE_GB2312"},
    {19, HANGUL_CHARSET, u"Hangul"},
    {20, CHINESEBIG5_CHARSET, u"CHINESE_BIG5"},
};

class FontEnum : public FontTest {
protected:
    void SetUp() override {
        FontTest::SetUp();
        dc_ = MakeDC(DcKind::Memory);
    }
    int EnumEx(const char16_t* face, BYTE charset, Collector& collector, HDC dc = nullptr) {
        LOGFONTW lf{};
        lf.lfCharSet = charset;
        for (int i = 0; face[i] && i < LF_FACESIZE - 1; ++i) lf.lfFaceName[i] = face[i];
        return EnumFontFamiliesExW(dc ? dc : dc_, &lf, Collect, LPARAM(&collector), 0);
    }
    static std::vector<const Report*> Of(const Collector& c, const std::u16string& face) {
        std::vector<const Report*> found;
        for (const Report& r : c.reports)
            if (r.Face() == face) found.push_back(&r);
        return found;
    }
    HDC dc_ = nullptr;
};

// Every family once per charset, the charsets those of its code pages with
// their script names, the CJK families also as vertical ones.
TEST_F(FontEnum, EveryFamilyInEachOfItsCharsets) {
    Collector all;
    EXPECT_EQ(EnumEx(u"", DEFAULT_CHARSET, all), 1);
    std::set<std::pair<std::u16string, BYTE>> seen;
    for (const Report& r : all.reports) {
        EXPECT_TRUE(seen.insert({r.Face(), r.Charset()}).second) << "twice";
        EXPECT_EQ(r.type, DWORD(TRUETYPE_FONTTYPE));
        const auto page = std::find_if(std::begin(kCodePages), std::end(kCodePages),
                                       [&](const CodePage& p) { return p.charset == r.Charset(); });
        if (page != std::end(kCodePages)) {
            EXPECT_EQ(std::u16string(r.elf.elfScript), page->script);
        }
    }
    for (const char16_t* family : {u"DejaVu Sans", u"DejaVu Serif", u"Liberation Sans", u"Liberation Mono",
                                   u"WenQuanYi Micro Hei", u"WenQuanYi Micro Hei Mono", u"@WenQuanYi Micro Hei"})
        EXPECT_FALSE(Of(all, family).empty()) << std::string(family, family + std::char_traits<char16_t>::length(family));
    EXPECT_TRUE(Of(all, u"@DejaVu Sans").empty());

    // DejaVu Sans: exactly the charsets of its code page bits, ANSI first, with its regular face.
    const FtFace ft(kDejaVuSans, 16);
    std::set<BYTE> expected;
    for (const CodePage& page : kCodePages)
        if (ft.Os2().ulCodePageRange1 & (1u << page.bit)) expected.insert(page.charset);
    const auto dejaVu = Of(all, u"DejaVu Sans");
    std::set<BYTE> reported;
    for (const Report* r : dejaVu) {
        reported.insert(r->Charset());
        EXPECT_EQ(std::u16string(r->elf.elfStyle), u"Book");
        EXPECT_EQ(r->ntm.ntmTm.ntmFlags & (NTM_REGULAR | NTM_BOLD | NTM_ITALIC), DWORD(NTM_REGULAR));
    }
    EXPECT_EQ(reported, expected);
    EXPECT_EQ(dejaVu.front()->Charset(), ANSI_CHARSET);
}

TEST_F(FontEnum, OneCharsetListsTheFamiliesCoveringIt) {
    Collector chinese;
    EnumEx(u"", GB2312_CHARSET, chinese);
    std::set<std::u16string> families;
    for (const Report& r : chinese.reports) {
        EXPECT_EQ(r.Charset(), GB2312_CHARSET);
        EXPECT_EQ(std::u16string(r.elf.elfScript), u"CHINESE_GB2312");
        families.insert(r.Face());
    }
    EXPECT_EQ(families, (std::set<std::u16string>{u"WenQuanYi Micro Hei", u"@WenQuanYi Micro Hei",
                                                  u"WenQuanYi Micro Hei Mono", u"@WenQuanYi Micro Hei Mono"}));
}

struct StyleCase {
    const char16_t* style;
    DWORD flags;
    LONG weight;
    bool italic;
};
const StyleCase kLiberationStyles[] = {
    {u"Regular", NTM_REGULAR, FW_NORMAL, false},
    {u"Bold", NTM_BOLD, FW_BOLD, false},
    {u"Italic", NTM_ITALIC, FW_NORMAL, true},
    {u"Bold Italic", NTM_BOLD | NTM_ITALIC, FW_BOLD, true},
};

// A named family reports each of its styles, with its own flags, weight and full name.
TEST_F(FontEnum, NamedFamilyReportsEachStyle) {
    Collector styles;
    EnumEx(u"liberation sans", ANSI_CHARSET, styles);  // names compare without regard to case
    ASSERT_EQ(styles.reports.size(), std::size(kLiberationStyles));
    for (const StyleCase& style : kLiberationStyles) {
        const auto found = std::find_if(styles.reports.begin(), styles.reports.end(), [&](const Report& r) {
            return std::u16string(r.elf.elfStyle) == style.style;
        });
        ASSERT_NE(found, styles.reports.end());
        EXPECT_EQ(found->Face(), u"Liberation Sans");
        EXPECT_EQ(std::u16string(found->elf.elfFullName),
                  std::u16string(u"Liberation Sans") + (style.flags == NTM_REGULAR ? u"" : u" " + std::u16string(style.style)));
        EXPECT_EQ(found->ntm.ntmTm.ntmFlags & (NTM_REGULAR | NTM_BOLD | NTM_ITALIC), style.flags);
        EXPECT_EQ(found->elf.elfLogFont.lfWeight, style.weight);
        EXPECT_EQ(found->elf.elfLogFont.lfItalic != 0, style.italic);
        EXPECT_EQ(found->ntm.ntmTm.tmItalic != 0, style.italic);
    }
}

// The records: the em, cell and average width in font units and the
// signature from the face's OS/2 table; the metrics of a 16-pixel cell at
// the device's resolution; and a LOGFONTW that makes that same font again.
class FontEnumRecords : public FontEnum, public testing::WithParamInterface<DcKind> {};

TEST_P(FontEnumRecords, FromTheFaceTables) {
    HDC dc = MakeDC(GetParam());
    Collector regular;
    EnumEx(u"Liberation Sans", ANSI_CHARSET, regular, dc);
    ASSERT_FALSE(regular.reports.empty());
    const Report& r = regular.reports.front();
    ASSERT_EQ(std::u16string(r.elf.elfStyle), u"Regular");
    const FtFace ft(kLiberationSans, 16);
    const TT_OS2& os2 = ft.Os2();
    const NEWTEXTMETRICW& n = r.ntm.ntmTm;
    EXPECT_EQ(n.ntmSizeEM, ft->units_per_EM);
    EXPECT_EQ(n.ntmCellHeight, UINT(os2.usWinAscent + os2.usWinDescent));
    EXPECT_EQ(n.ntmAvgWidth, UINT(os2.xAvgCharWidth));
    EXPECT_EQ(r.ntm.ntmFontSig.fsUsb[0], os2.ulUnicodeRange1);
    EXPECT_EQ(r.ntm.ntmFontSig.fsUsb[1], os2.ulUnicodeRange2);
    EXPECT_EQ(r.ntm.ntmFontSig.fsUsb[2], os2.ulUnicodeRange3);
    EXPECT_EQ(r.ntm.ntmFontSig.fsUsb[3], os2.ulUnicodeRange4);
    EXPECT_EQ(r.ntm.ntmFontSig.fsCsb[0], os2.ulCodePageRange1);
    EXPECT_EQ(r.ntm.ntmFontSig.fsCsb[1], os2.ulCodePageRange2);
    EXPECT_EQ(n.tmDigitizedAspectX, Dpi(GetParam()));
    EXPECT_EQ(n.tmDigitizedAspectY, Dpi(GetParam()));
    EXPECT_NEAR(n.tmHeight, 16, 1);
    EXPECT_EQ(n.tmHeight, n.tmAscent + n.tmDescent);
    EXPECT_EQ(n.tmPitchAndFamily & TMPF_TRUETYPE, TMPF_TRUETYPE);

    const LOGFONTW& lf = r.elf.elfLogFont;
    EXPECT_EQ(lf.lfHeight, n.tmHeight);
    EXPECT_EQ(lf.lfWidth, n.tmAveCharWidth);
    EXPECT_EQ(lf.lfOutPrecision, OUT_STROKE_PRECIS);
    EXPECT_EQ(lf.lfClipPrecision, CLIP_STROKE_PRECIS);
    EXPECT_EQ(lf.lfQuality, DRAFT_QUALITY);
    EXPECT_EQ(lf.lfPitchAndFamily, VARIABLE_PITCH | FF_SWISS);

    // The reported LOGFONTW, selected on a DC of one pixel a unit, is the
    // reported font (its whole-pixel width stretches it a little).
    HDC memory = MakeDC(DcKind::Memory);
    Use(memory, lf);
    TEXTMETRICW tm{};
    ASSERT_TRUE(GetTextMetricsW(memory, &tm));
    EXPECT_EQ(tm.tmHeight, n.tmHeight);
    EXPECT_EQ(tm.tmAscent, n.tmAscent);
    EXPECT_EQ(tm.tmAveCharWidth, n.tmAveCharWidth);
}

INSTANTIATE_TEST_SUITE_P(Devices, FontEnumRecords, testing::Values(DcKind::Memory, DcKind::Printer),
                         [](const auto& info) { return std::string(DcKindName(info.param)); });

struct StopCase {
    int stopAt;
    int answer;
    int result;
    bool all;  // every family reported
};
class FontEnumStop : public FontEnum, public testing::WithParamInterface<StopCase> {};

// A callback's 0 ends the enumeration, and the call answers the last
// callback's value.
TEST_P(FontEnumStop, LastCallbackValue) {
    Collector everything;
    EnumEx(u"", DEFAULT_CHARSET, everything);
    Collector c;
    c.stopAt = GetParam().stopAt;
    c.answer = GetParam().answer;
    EXPECT_EQ(EnumEx(u"", DEFAULT_CHARSET, c), GetParam().result);
    EXPECT_EQ(c.reports.size(), GetParam().all ? everything.reports.size() : size_t(GetParam().stopAt));
}

INSTANTIATE_TEST_SUITE_P(All, FontEnumStop,
                         testing::Values(StopCase{1, 1, 0, false}, StopCase{3, 1, 0, false},
                                         StopCase{0, 7, 7, true}, StopCase{0, -1, -1, true}));

TEST_F(FontEnum, VerticalFamilyByName) {
    Collector vertical, none;
    EnumEx(u"@WenQuanYi Micro Hei Mono", DEFAULT_CHARSET, vertical);
    ASSERT_FALSE(vertical.reports.empty());
    for (const Report& r : vertical.reports) {
        EXPECT_EQ(r.Face(), u"@WenQuanYi Micro Hei Mono");
        EXPECT_EQ(std::u16string(r.elf.elfFullName).front(), u'@');
    }
    EXPECT_EQ(EnumEx(u"@DejaVu Sans", DEFAULT_CHARSET, none), 1);
    EXPECT_TRUE(none.reports.empty());
    EXPECT_EQ(EnumEx(u"No Such Family", DEFAULT_CHARSET, none), 1);
    EXPECT_TRUE(none.reports.empty());
}

// The older call: each family once, or each style of a named family once,
// in the face's own first charset.
TEST_F(FontEnum, OlderCallReportsFamiliesOnce) {
    Collector families, styles;
    EXPECT_EQ(EnumFontFamiliesW(dc_, nullptr, Collect, LPARAM(&families)), 1);
    std::multiset<std::u16string> names;
    for (const Report& r : families.reports) names.insert(r.Face());
    for (const std::u16string& name : names) EXPECT_EQ(names.count(name), 1u);
    EXPECT_EQ(names.count(u"DejaVu Sans"), 1u);
    EXPECT_EQ(Of(families, u"DejaVu Sans").front()->Charset(), ANSI_CHARSET);

    EXPECT_EQ(EnumFontFamiliesW(dc_, u"Liberation Sans", Collect, LPARAM(&styles)), 1);
    EXPECT_EQ(styles.reports.size(), std::size(kLiberationStyles));
}

// A font added with FR_NOT_ENUM is drawn with but never listed.
TEST_F(FontEnum, NotEnumeratedFontIsLeftOut) {
    ASSERT_TRUE(CreateDirectoryW(u"C:\\Work", nullptr));
    std::filesystem::copy_file("/usr/share/fonts/truetype/dejavu/DejaVuSerif-Italic.ttf",
                               HostPath(u"C:\\Work\\SerifItalic.ttf"));
    constexpr LPCWSTR kFile = u"C:\\Work\\SerifItalic.ttf";
    auto styles = [&] {
        Collector c;
        EnumEx(u"DejaVu Serif", ANSI_CHARSET, c);
        std::set<std::u16string> found;
        for (const Report& r : c.reports) found.insert(r.elf.elfStyle);
        return found;
    };
    ASSERT_EQ(AddFontResourceExW(kFile, FR_PRIVATE | FR_NOT_ENUM, nullptr), 1);
    EXPECT_EQ(styles(), (std::set<std::u16string>{u"Book", u"Bold"}));
    ASSERT_TRUE(RemoveFontResourceExW(kFile, FR_PRIVATE | FR_NOT_ENUM, nullptr));
    ASSERT_EQ(AddFontResourceExW(kFile, FR_PRIVATE, nullptr), 1);
    EXPECT_EQ(styles(), (std::set<std::u16string>{u"Book", u"Bold", u"Italic"}));
}

}  // namespace
