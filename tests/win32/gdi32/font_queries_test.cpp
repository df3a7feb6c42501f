// GDI's font queries on a memory DC, against FreeType reading the host's
// files: GetFontData gives the file's own bytes (a whole file, one table,
// one face of a collection), character widths, ABC widths, glyph indices
// and kerning pairs are the face's, GetOutlineTextMetricsW lays out its
// record and names, and the buffer protocols and errors are Windows'. Bad
// input (a face name filling its field, extreme heights, a string of a
// million characters) fails cleanly or is measured.
#include <algorithm>
#include <chrono>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>

#include "win32/gdi32/font_fixture.h"

using namespace tam::test;

namespace {

constexpr LONG kEm = 20;

using FontQueries = FontTest;

std::vector<BYTE> HostFile(const char* path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<BYTE>(std::istreambuf_iterator<char>(in), {});
}

uint32_t BigEndian32(const std::vector<BYTE>& b, size_t at) {
    return uint32_t(b[at]) << 24 | uint32_t(b[at + 1]) << 16 | uint32_t(b[at + 2]) << 8 | b[at + 3];
}

// --- GetTextFaceW -------------------------------------------------------------------

struct FaceNameCase {
    int c;
    bool buffer;
    int result;
    const char16_t* text;  // what the buffer holds after a success
    DWORD error;           // for a failure, which writes nothing
};
const FaceNameCase kFaceNames[] = {
    {0, false, 6, u"", 0},                        // the length with the terminator
    {64, true, 6, u"Arial", 0},                   // "Arial" as asked for, not the face it maps to
    {6, true, 6, u"Arial", 0},
    {3, true, 3, u"Ar", 0},                       // cut and terminated
    {1, true, 1, u"", 0},
    {0, true, 0, u"", ERROR_INVALID_PARAMETER},
    {-1, true, 0, u"", ERROR_INVALID_PARAMETER},
    {-1, false, 0, u"", ERROR_INVALID_PARAMETER},
};

class TextFace : public FontTest, public testing::WithParamInterface<FaceNameCase> {};

TEST_P(TextFace, BufferProtocol) {
    const FaceNameCase& c = GetParam();
    HDC dc = MemoryDCWith(u"Arial", kEm);
    WCHAR buffer[64];
    std::fill(std::begin(buffer), std::end(buffer), WCHAR(0xFFFF));
    SetLastError(0xdeadbeef);
    EXPECT_EQ(GetTextFaceW(dc, c.c, c.buffer ? buffer : nullptr), c.result);
    EXPECT_EQ(GetLastError(), c.error ? c.error : 0xdeadbeef);
    if (!c.buffer) return;
    if (c.error) {
        EXPECT_EQ(buffer[0], WCHAR(0xFFFF));  // nothing written
    } else {
        EXPECT_EQ(std::u16string(buffer), c.text);
    }
}

INSTANTIATE_TEST_SUITE_P(All, TextFace, testing::ValuesIn(kFaceNames));

// --- GetFontData ----------------------------------------------------------------------

struct FontDataCase {
    const char* label;
    const char16_t* face;
    const char* file;
    FT_Long faceIndex;
    DWORD table;
    DWORD offset;
    DWORD size;  // the buffer's size; 0 asks for the size
};
const FontDataCase kFontData[] = {
    {"WholeFile", u"DejaVu Sans", kDejaVuSans, 0, 0, 0, 0},
    {"WholeFileRead", u"DejaVu Sans", kDejaVuSans, 0, 0, 0, 0x7FFFFFFF},
    {"HeadTable", u"DejaVu Sans", kDejaVuSans, 0, MAKE_FONT_TABLE_TAG('h', 'e', 'a', 'd'), 0, 0x7FFFFFFF},
    {"PartOfCmap", u"DejaVu Sans", kDejaVuSans, 0, MAKE_FONT_TABLE_TAG('c', 'm', 'a', 'p'), 10, 7},
    {"RestOfCmap", u"DejaVu Sans", kDejaVuSans, 0, MAKE_FONT_TABLE_TAG('c', 'm', 'a', 'p'), 10, 0},
    {"FaceOfCollection", u"WenQuanYi Micro Hei Mono", kMicroHei, 1, 0, 0, 0x7FFFFFFF},
    {"WholeCollection", u"WenQuanYi Micro Hei Mono", kMicroHei, 1, MAKE_FONT_TABLE_TAG('t', 't', 'c', 'f'), 0,
     0x7FFFFFFF},
    {"TableOfCollectionFace", u"WenQuanYi Micro Hei Mono", kMicroHei, 1, MAKE_FONT_TABLE_TAG('n', 'a', 'm', 'e'), 0,
     0x7FFFFFFF},
};

// What the case names, read from the host file.
std::vector<BYTE> ExpectedData(const FontDataCase& c) {
    const std::vector<BYTE> file = HostFile(c.file);
    std::vector<BYTE> all;
    if (c.table == 0) {
        // A face's font file: from its table directory on.
        const size_t start = c.faceIndex ? BigEndian32(file, 12 + 4 * size_t(c.faceIndex)) : 0;
        all.assign(file.begin() + ptrdiff_t(start), file.end());
    } else if (c.table == MAKE_FONT_TABLE_TAG('t', 't', 'c', 'f')) {
        all = file;
    } else {
        const FtFace ft(c.file, kEm, c.faceIndex);
        const DWORD t = c.table;
        all = ft.Table(FT_MAKE_TAG(t & 0xFF, t >> 8 & 0xFF, t >> 16 & 0xFF, t >> 24));
    }
    return std::vector<BYTE>(all.begin() + c.offset, all.end());
}

class FontData : public FontTest, public testing::WithParamInterface<FontDataCase> {};

TEST_P(FontData, BytesOfTheFile) {
    const FontDataCase& c = GetParam();
    HDC dc = MemoryDCWith(c.face, kEm);
    const std::vector<BYTE> expected = ExpectedData(c);
    ASSERT_FALSE(expected.empty());
    SetLastError(0xdeadbeef);
    if (c.size == 0) {
        EXPECT_EQ(GetFontData(dc, c.table, c.offset, nullptr, 0), expected.size());
        BYTE byte = 0xAB;
        EXPECT_EQ(GetFontData(dc, c.table, c.offset, &byte, 0), expected.size());
        EXPECT_EQ(byte, 0xAB);
        return;
    }
    const size_t wanted = std::min<size_t>(c.size, expected.size());
    std::vector<BYTE> buffer(wanted + 16, 0xAB);
    EXPECT_EQ(GetFontData(dc, c.table, c.offset, buffer.data(), DWORD(std::min<size_t>(c.size, buffer.size()))),
              wanted);
    EXPECT_EQ(GetLastError(), 0xdeadbeefu);
    EXPECT_TRUE(std::equal(expected.begin(), expected.begin() + ptrdiff_t(wanted), buffer.begin()));
    EXPECT_TRUE(std::all_of(buffer.begin() + ptrdiff_t(wanted), buffer.end(), [](BYTE b) { return b == 0xAB; }));
}

INSTANTIATE_TEST_SUITE_P(All, FontData, testing::ValuesIn(kFontData),
                         [](const auto& info) { return std::string(info.param.label); });

// --- Widths, glyph indices, kerning -----------------------------------------------------

// Each character's width is its hinted advance; its ABC widths place the
// black box where the one-bit rendering puts it.
TEST_F(FontQueries, CharacterWidthsAndAbcWidths) {
    HDC dc = MemoryDCWith(u"DejaVu Sans", kEm);
    const FtFace ft(kDejaVuSans, kEm);
    const UINT first = '!', last = '~';
    std::vector<INT> widths(last - first + 1), oldWidths(widths.size());
    std::vector<ABC> abc(widths.size());
    ASSERT_TRUE(GetCharWidth32W(dc, first, last, widths.data()));
    ASSERT_TRUE(GetCharWidthW(dc, first, last, oldWidths.data()));
    ASSERT_TRUE(GetCharABCWidthsW(dc, first, last, abc.data()));
    EXPECT_EQ(widths, oldWidths);
    for (UINT ch = first; ch <= last; ++ch) {
        const size_t i = ch - first;
        const FT_GlyphSlot slot = ft.Render(ch, FT_RENDER_MODE_MONO);
        EXPECT_EQ(widths[i], (slot->advance.x + 32) >> 6) << char(ch);
        EXPECT_EQ(abc[i].abcA, slot->bitmap_left) << char(ch);
        EXPECT_EQ(abc[i].abcB, slot->bitmap.width) << char(ch);
        EXPECT_EQ(abc[i].abcA + LONG(abc[i].abcB) + abc[i].abcC, widths[i]) << char(ch);
    }
}

TEST_F(FontQueries, GlyphIndicesMarkMissingCharacters) {
    HDC dc = MemoryDCWith(u"DejaVu Sans", kEm);
    const FtFace ft(kDejaVuSans, kEm);
    const std::u16string text = u"Aé\u4E2Dz";  // DejaVu Sans has no CJK
    WORD marked[4] = {}, plain[4] = {};
    EXPECT_EQ(GetGlyphIndicesW(dc, text.data(), 4, marked, GGI_MARK_NONEXISTING_GLYPHS), 4u);
    EXPECT_EQ(GetGlyphIndicesW(dc, text.data(), 4, plain, 0), 4u);
    for (int i = 0; i < 4; ++i) {
        const FT_UInt glyph = ft.GlyphOf(text[i]);
        EXPECT_EQ(marked[i], glyph ? glyph : 0xFFFF) << i;
        EXPECT_EQ(plain[i], glyph) << i;  // the face has no default character: glyph 0
    }
    EXPECT_EQ(GetGlyphIndicesW(dc, nullptr, 0, nullptr, 0), 0u);
}

// Every pair is the 'kern' table's amount between the characters' glyphs,
// scaled to the em; the list is ordered, and a short buffer gets its head.
TEST_F(FontQueries, KerningPairsOfArial) {
    HDC dc = MemoryDCWith(u"Arial", 100);
    const FtFace ft(kLiberationSans, 100);
    const DWORD count = GetKerningPairsW(dc, 0, nullptr);
    ASSERT_GT(count, 100u);
    std::vector<KERNINGPAIR> pairs(count + 1);
    ASSERT_EQ(GetKerningPairsW(dc, count + 1, pairs.data()), count);
    pairs.resize(count);
    bool foundAV = false;
    for (size_t i = 0; i < count; ++i) {
        const KERNINGPAIR& p = pairs[i];
        FT_Vector kern{};
        ASSERT_EQ(FT_Get_Kerning(ft.get(), ft.GlyphOf(p.wFirst), ft.GlyphOf(p.wSecond), FT_KERNING_UNSCALED, &kern), 0);
        EXPECT_EQ(p.iKernAmount, ft.Scaled(double(kern.x))) << p.wFirst << "," << p.wSecond;
        if (i > 0) {
            EXPECT_LT((pairs[i - 1].wFirst << 16) | pairs[i - 1].wSecond, (p.wFirst << 16) | p.wSecond);
        }
        foundAV |= p.wFirst == 'A' && p.wSecond == 'V' && p.iKernAmount < 0;
    }
    EXPECT_TRUE(foundAV);
    std::vector<KERNINGPAIR> head(5);
    ASSERT_EQ(GetKerningPairsW(dc, 5, head.data()), 5u);
    for (size_t i = 0; i < 5; ++i) EXPECT_EQ(std::memcmp(&head[i], &pairs[i], sizeof(KERNINGPAIR)), 0);
}

// --- Extents ------------------------------------------------------------------------

TEST_F(FontQueries, ExtentExGivesPartialExtentsAndFit) {
    HDC dc = MemoryDCWith(u"DejaVu Sans", kEm);
    const FtFace ft(kDejaVuSans, kEm);
    const std::u16string text = u"Hamburg";
    std::vector<INT> dx(text.size());
    LONG sum = 0;
    std::vector<INT> expected;
    for (const char16_t ch : text) expected.push_back(sum += ft.Advance(ch));
    INT fit = -1;
    SIZE size{};
    ASSERT_TRUE(GetTextExtentExPointW(dc, text.data(), int(text.size()), expected[3], &fit, dx.data(), &size));
    EXPECT_EQ(dx, expected);
    EXPECT_EQ(fit, 4);
    EXPECT_EQ(size.cx, sum);
    ASSERT_TRUE(GetTextExtentExPointW(dc, text.data(), int(text.size()), expected[3] - 1, &fit, nullptr, &size));
    EXPECT_EQ(fit, 3);
    ASSERT_TRUE(GetTextExtentExPointW(dc, text.data(), int(text.size()), -1, &fit, nullptr, &size));
    EXPECT_EQ(fit, int(text.size()));  // a negative extent sets no limit
    ASSERT_TRUE(GetTextExtentExPointW(dc, text.data(), int(text.size()), 0, &fit, nullptr, &size));
    EXPECT_EQ(fit, 0);
}

TEST_F(FontQueries, ExtentOfAnEmptyStringIsTheCellHeight) {
    HDC dc = MemoryDCWith(u"DejaVu Sans", kEm);
    TEXTMETRICW tm{};
    ASSERT_TRUE(GetTextMetricsW(dc, &tm));
    SIZE size{-1, -1};
    ASSERT_TRUE(GetTextExtentPoint32W(dc, nullptr, 0, &size));
    EXPECT_EQ(size.cx, 0);
    EXPECT_EQ(size.cy, tm.tmHeight);
}

// --- GetOutlineTextMetricsW -------------------------------------------------------------

std::u16string StringAt(const OUTLINETEXTMETRICW* otm, PSTR offset) {
    return reinterpret_cast<const char16_t*>(reinterpret_cast<const BYTE*>(otm) + reinterpret_cast<size_t>(offset));
}

TEST_F(FontQueries, OutlineTextMetricsRecordAndNames) {
    HDC dc = MemoryDCWith(u"Arial", 100);
    const FtFace ft(kLiberationSans, 100);
    const UINT size = GetOutlineTextMetricsW(dc, 0, nullptr);
    ASSERT_GT(size, sizeof(OUTLINETEXTMETRICW));
    std::vector<BYTE> bytes(size + 8, 0xAB);
    auto* otm = reinterpret_cast<OUTLINETEXTMETRICW*>(bytes.data());
    ASSERT_EQ(GetOutlineTextMetricsW(dc, size, otm), size);
    EXPECT_EQ(otm->otmSize, size);
    TEXTMETRICW tm{};
    ASSERT_TRUE(GetTextMetricsW(dc, &tm));
    EXPECT_EQ(std::memcmp(&otm->otmTextMetrics, &tm, sizeof(tm)), 0);
    EXPECT_EQ(otm->otmEMSquare, ft->units_per_EM);
    EXPECT_EQ(otm->otmAscent, ft.Scaled(ft.Os2().sTypoAscender));
    EXPECT_EQ(otm->otmDescent, ft.Scaled(ft.Os2().sTypoDescender));
    EXPECT_EQ(otm->otmrcFontBox.left, ft.Scaled(ft->bbox.xMin));
    EXPECT_EQ(otm->otmrcFontBox.top, ft.Scaled(ft->bbox.yMax));
    EXPECT_EQ(otm->otmrcFontBox.bottom, ft.Scaled(ft->bbox.yMin));
    const auto* post = static_cast<const TT_Postscript*>(FT_Get_Sfnt_Table(ft.get(), FT_SFNT_POST));
    EXPECT_EQ(otm->otmsUnderscorePosition, ft.Scaled(post->underlinePosition));
    EXPECT_EQ(otm->otmsUnderscoreSize, ft.Scaled(post->underlineThickness));
    EXPECT_EQ(otm->otmsXHeight, UINT(ft.Scaled(ft.Os2().sxHeight)));
    EXPECT_EQ(otm->otmItalicAngle, 0);
    EXPECT_EQ(otm->otmfsSelection & 0x21, 0u);  // neither italic nor bold
    EXPECT_EQ(StringAt(otm, otm->otmpFamilyName), u"Liberation Sans");
    EXPECT_EQ(StringAt(otm, otm->otmpFaceName), u"Liberation Sans");
    EXPECT_EQ(StringAt(otm, otm->otmpStyleName), u"Regular");
    EXPECT_FALSE(StringAt(otm, otm->otmpFullName).empty());
    // The last string ends at the record's end; nothing written past it.
    const size_t fullAt = reinterpret_cast<size_t>(otm->otmpFullName);
    EXPECT_EQ(fullAt + (StringAt(otm, otm->otmpFullName).size() + 1) * 2, size);
    EXPECT_EQ(bytes[size], 0xAB);
}

// A buffer for the record alone gets the record, with no offsets to strings
// it does not hold, and the call answers the bytes copied.
TEST_F(FontQueries, OutlineTextMetricsIntoAShortBuffer) {
    HDC dc = MemoryDCWith(u"Arial", kEm);
    const UINT size = GetOutlineTextMetricsW(dc, 0, nullptr);
    std::vector<BYTE> full(size);
    ASSERT_EQ(GetOutlineTextMetricsW(dc, size, reinterpret_cast<OUTLINETEXTMETRICW*>(full.data())), size);
    OUTLINETEXTMETRICW otm{};
    ASSERT_EQ(GetOutlineTextMetricsW(dc, sizeof(otm), &otm), sizeof(otm));
    EXPECT_EQ(otm.otmSize, size);
    EXPECT_EQ(otm.otmpFamilyName, nullptr);
    EXPECT_EQ(otm.otmpFullName, nullptr);
    EXPECT_EQ(std::memcmp(&otm, full.data(), offsetof(OUTLINETEXTMETRICW, otmpFamilyName)), 0);
}

// --- Errors -------------------------------------------------------------------------------

constexpr MAT2 kIdentity = {{0, 1}, {0, 0}, {0, 0}, {0, 1}};

struct ErrorCase {
    const char* label;
    bool badHandle;  // called with a handle that is no DC
    DWORD failure;   // the call's failing answer, as a DWORD
    DWORD error;
    std::function<DWORD(HDC)> call;
};

const WCHAR kText[] = u"abc";
TEXTMETRICW gTm;
SIZE gSize;
INT gInts[4];
WORD gWords[4];
ABC gAbc[4];
GLYPHMETRICS gGm;
BYTE gBytes[4];
constexpr DWORD kFalse = 0, kGdiError = GDI_ERROR;

const ErrorCase kErrors[] = {
    {"TextMetricsBadDC", true, kFalse, ERROR_INVALID_HANDLE, [](HDC dc) { return DWORD(GetTextMetricsW(dc, &gTm)); }},
    {"TextMetricsNull", false, kFalse, ERROR_INVALID_PARAMETER,
     [](HDC dc) { return DWORD(GetTextMetricsW(dc, nullptr)); }},
    {"TextFaceBadDC", true, kFalse, ERROR_INVALID_HANDLE,
     [](HDC dc) { return DWORD(GetTextFaceW(dc, 0, nullptr)); }},
    {"OutlineMetricsBadDC", true, kFalse, ERROR_INVALID_HANDLE,
     [](HDC dc) { return DWORD(GetOutlineTextMetricsW(dc, 0, nullptr)); }},
    {"ExtentBadDC", true, kFalse, ERROR_INVALID_HANDLE,
     [](HDC dc) { return DWORD(GetTextExtentPoint32W(dc, kText, 3, &gSize)); }},
    {"ExtentNegativeCount", false, kFalse, ERROR_INVALID_PARAMETER,
     [](HDC dc) { return DWORD(GetTextExtentPoint32W(dc, kText, -1, &gSize)); }},
    {"ExtentNullSize", false, kFalse, ERROR_INVALID_PARAMETER,
     [](HDC dc) { return DWORD(GetTextExtentPointW(dc, kText, 3, nullptr)); }},
    {"ExtentNullString", false, kFalse, ERROR_INVALID_PARAMETER,
     [](HDC dc) { return DWORD(GetTextExtentPoint32W(dc, nullptr, 3, &gSize)); }},
    {"ExtentExNegativeCount", false, kFalse, ERROR_INVALID_PARAMETER,
     [](HDC dc) { return DWORD(GetTextExtentExPointW(dc, kText, -5, 100, gInts, gInts, &gSize)); }},
    {"ExtentExNullSize", false, kFalse, ERROR_INVALID_PARAMETER,
     [](HDC dc) { return DWORD(GetTextExtentExPointW(dc, kText, 3, 100, gInts, gInts, nullptr)); }},
    {"CharWidthBadDC", true, kFalse, ERROR_INVALID_HANDLE,
     [](HDC dc) { return DWORD(GetCharWidth32W(dc, 'a', 'c', gInts)); }},
    {"CharWidthBackwards", false, kFalse, ERROR_INVALID_PARAMETER,
     [](HDC dc) { return DWORD(GetCharWidth32W(dc, 'c', 'a', gInts)); }},
    {"CharWidthPastUnicode", false, kFalse, ERROR_INVALID_PARAMETER,
     [](HDC dc) { return DWORD(GetCharWidthW(dc, 0xFFFF, 0x10000, gInts)); }},
    {"CharWidthNull", false, kFalse, ERROR_INVALID_PARAMETER,
     [](HDC dc) { return DWORD(GetCharWidth32W(dc, 'a', 'c', nullptr)); }},
    {"AbcNull", false, kFalse, ERROR_INVALID_PARAMETER,
     [](HDC dc) { return DWORD(GetCharABCWidthsW(dc, 'a', 'c', nullptr)); }},
    {"AbcBackwards", false, kFalse, ERROR_INVALID_PARAMETER,
     [](HDC dc) { return DWORD(GetCharABCWidthsW(dc, 'c', 'a', gAbc)); }},
    {"GlyphIndicesBadDC", true, kGdiError, ERROR_INVALID_HANDLE,
     [](HDC dc) { return GetGlyphIndicesW(dc, kText, 3, gWords, 0); }},
    {"GlyphIndicesNegativeCount", false, kGdiError, ERROR_INVALID_PARAMETER,
     [](HDC dc) { return GetGlyphIndicesW(dc, kText, -1, gWords, 0); }},
    {"GlyphIndicesNullOutput", false, kGdiError, ERROR_INVALID_PARAMETER,
     [](HDC dc) { return GetGlyphIndicesW(dc, kText, 3, nullptr, 0); }},
    {"GlyphOutlineBadDC", true, kGdiError, ERROR_INVALID_HANDLE,
     [](HDC dc) { return GetGlyphOutlineW(dc, 'a', GGO_METRICS, &gGm, 0, nullptr, &kIdentity); }},
    {"GlyphOutlineNullMatrix", false, kGdiError, ERROR_INVALID_PARAMETER,
     [](HDC dc) { return GetGlyphOutlineW(dc, 'a', GGO_METRICS, &gGm, 0, nullptr, nullptr); }},
    {"GlyphOutlineNullMetrics", false, kGdiError, ERROR_INVALID_PARAMETER,
     [](HDC dc) { return GetGlyphOutlineW(dc, 'a', GGO_BITMAP, nullptr, 0, nullptr, &kIdentity); }},
    {"GlyphOutlineUnknownFormat", false, kGdiError, ERROR_INVALID_PARAMETER,
     [](HDC dc) { return GetGlyphOutlineW(dc, 'a', 7, &gGm, 0, nullptr, &kIdentity); }},
    {"GlyphOutlineGlyphPastTheFace", false, kGdiError, ERROR_INVALID_PARAMETER,
     [](HDC dc) { return GetGlyphOutlineW(dc, 60000, GGO_METRICS | GGO_GLYPH_INDEX, &gGm, 0, nullptr, &kIdentity); }},
    {"GlyphOutlineShortBuffer", false, kGdiError, ERROR_INSUFFICIENT_BUFFER,
     [](HDC dc) { return GetGlyphOutlineW(dc, 'W', GGO_NATIVE, &gGm, sizeof(gBytes), gBytes, &kIdentity); }},
    {"GlyphOutlineSingularMatrix", false, kGdiError, ERROR_INVALID_PARAMETER,
     [](HDC dc) {
         const MAT2 flat = {{0, 1}, {0, 0}, {0, 1}, {0, 0}};  // every point onto one line
         return GetGlyphOutlineW(dc, 'a', GGO_BITMAP, &gGm, 0, nullptr, &flat);
     }},
    {"FontDataBadDC", true, kGdiError, ERROR_INVALID_HANDLE, [](HDC dc) { return GetFontData(dc, 0, 0, nullptr, 0); }},
    {"FontDataMissingTable", false, kGdiError, ERROR_INVALID_PARAMETER,
     [](HDC dc) { return GetFontData(dc, MAKE_FONT_TABLE_TAG('C', 'F', 'F', ' '), 0, nullptr, 0); }},
    {"FontDataCollectionOfASingleFont", false, kGdiError, ERROR_INVALID_PARAMETER,
     [](HDC dc) { return GetFontData(dc, MAKE_FONT_TABLE_TAG('t', 't', 'c', 'f'), 0, nullptr, 0); }},
    {"FontDataOffsetAtTheEnd", false, kGdiError, ERROR_INVALID_PARAMETER,
     [](HDC dc) {
         const DWORD size = GetFontData(dc, MAKE_FONT_TABLE_TAG('h', 'e', 'a', 'd'), 0, nullptr, 0);
         return GetFontData(dc, MAKE_FONT_TABLE_TAG('h', 'e', 'a', 'd'), size, gBytes, sizeof(gBytes));
     }},
    {"KerningBadDC", true, kFalse, ERROR_INVALID_HANDLE, [](HDC dc) { return GetKerningPairsW(dc, 0, nullptr); }},
    {"EnumBadDC", true, kFalse, ERROR_INVALID_HANDLE,
     [](HDC dc) {
         LOGFONTW lf{};
         return DWORD(EnumFontFamiliesExW(dc, &lf, [](const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM) { return 1; },
                                          0, 0));
     }},
    {"EnumNullCallback", false, kFalse, ERROR_INVALID_PARAMETER,
     [](HDC dc) {
         LOGFONTW lf{};
         return DWORD(EnumFontFamiliesExW(dc, &lf, nullptr, 0, 0));
     }},
    {"EnumNullLogFont", false, kFalse, ERROR_INVALID_PARAMETER,
     [](HDC dc) {
         return DWORD(EnumFontFamiliesExW(dc, nullptr, [](const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM) { return 1; },
                                          0, 0));
     }},
    {"CreateFontNull", false, kFalse, ERROR_INVALID_PARAMETER,
     [](HDC) { return DWORD(CreateFontIndirectW(nullptr) != nullptr); }},
};

class FontErrors : public FontTest, public testing::WithParamInterface<ErrorCase> {};

TEST_P(FontErrors, FailWithTheWin32Error) {
    const ErrorCase& c = GetParam();
    HDC dc = MemoryDCWith(u"DejaVu Sans", kEm);
    HDC gone = CreateCompatibleDC(nullptr);
    DeleteDC(gone);
    SetLastError(0xdeadbeef);
    EXPECT_EQ(c.call(c.badHandle ? gone : dc), c.failure);
    EXPECT_EQ(GetLastError(), c.error);
}

INSTANTIATE_TEST_SUITE_P(All, FontErrors, testing::ValuesIn(kErrors),
                         [](const auto& info) { return std::string(info.param.label); });

// --- Bad input ------------------------------------------------------------------------------

// A face name that fills the whole field, with no NUL: nothing past the
// field is read (the record ends where the heap block ends) and the font
// keeps 31 characters of it.
TEST_F(FontQueries, FaceNameWithoutTerminator) {
    auto lf = std::make_unique<LOGFONTW>();
    *lf = LOGFONTW{};
    lf->lfHeight = -kEm;
    std::fill(std::begin(lf->lfFaceName), std::end(lf->lfFaceName), WCHAR(u'D'));
    HFONT font = CreateFontW(-kEm, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, lf->lfFaceName);
    ASSERT_NE(font, nullptr);
    HFONT indirect = CreateFontIndirectW(lf.get());
    ASSERT_NE(indirect, nullptr);
    for (HFONT made : {font, indirect}) {
        LOGFONTW back{};
        ASSERT_EQ(GetObjectW(made, sizeof(back), &back), int(sizeof(back)));
        EXPECT_EQ(std::u16string(back.lfFaceName), std::u16string(31, u'D'));
    }
    HDC dc = MakeDC(DcKind::Memory);
    SelectObject(dc, indirect);
    TEXTMETRICW tm{};
    EXPECT_TRUE(GetTextMetricsW(dc, &tm));  // an unknown name draws with a fallback face
    EXPECT_GT(tm.tmHeight, 0);
    int calls = 0;
    EXPECT_EQ(EnumFontFamiliesExW(
                  dc, lf.get(),
                  [](const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM p) { return ++*reinterpret_cast<int*>(p); },
                  LPARAM(&calls), 0),
              1);
    EXPECT_EQ(calls, 0);
    SelectObject(dc, GetStockObject(SYSTEM_FONT));
    DeleteObject(font);
    DeleteObject(indirect);
}

struct HeightCase {
    LONG height;
    LONG em;  // the em realised
};
class ExtremeHeight : public FontTest, public testing::WithParamInterface<HeightCase> {};

// Height 0 is GDI's default em of 12; an em of 100000 pixels still measures,
// its advances scaled from the design, though its glyph bitmaps are too
// large to make.
TEST_P(ExtremeHeight, MeasuresWithoutBitmaps) {
    HDC dc = MakeDC(DcKind::Memory);
    Use(dc, u"DejaVu Sans", GetParam().height);
    const LONG em = GetParam().em;
    TEXTMETRICW tm{};
    ASSERT_TRUE(GetTextMetricsW(dc, &tm)) << GetLastError();
    EXPECT_EQ(tm.tmHeight - tm.tmInternalLeading, em);
    const FtFace ft(kDejaVuSans, 12);
    FT_Fixed units = 0;
    ASSERT_EQ(FT_Get_Advance(ft.get(), ft.GlyphOf('W'), FT_LOAD_NO_SCALE, &units), 0);
    SIZE size{};
    ASSERT_TRUE(GetTextExtentPoint32W(dc, u"WW", 2, &size));
    EXPECT_NEAR(size.cx, 2.0 * units * em / ft->units_per_EM, 2.0);
    GLYPHMETRICS gm{};
    EXPECT_NE(GetGlyphOutlineW(dc, 'W', GGO_METRICS, &gm, 0, nullptr, &kIdentity), GDI_ERROR);
    EXPECT_NEAR(double(gm.gmBlackBoxY), double(em) * 0.73, em * 0.05);  // a capital's height
    if (em > 10000) {
        SetLastError(0xdeadbeef);
        EXPECT_EQ(GetGlyphOutlineW(dc, 'W', GGO_BITMAP, &gm, 0, nullptr, &kIdentity), GDI_ERROR);
        EXPECT_EQ(GetLastError(), DWORD(ERROR_NOT_ENOUGH_MEMORY));
    }
}

INSTANTIATE_TEST_SUITE_P(All, ExtremeHeight, testing::Values(HeightCase{0, 12}, HeightCase{-100000, 100000}));

// A million characters are measured in one pass over the string.
TEST_F(FontQueries, MillionCharacterString) {
    HDC dc = MemoryDCWith(u"DejaVu Sans", kEm);
    const std::u16string text = [] {
        std::u16string s(1000000, u'a');
        for (size_t i = 0; i < s.size(); i += 7) s[i] = u'W';
        return s;
    }();
    INT a = 0, w = 0;
    ASSERT_TRUE(GetCharWidth32W(dc, 'a', 'a', &a));
    ASSERT_TRUE(GetCharWidth32W(dc, 'W', 'W', &w));
    const LONG ws = LONG((text.size() + 6) / 7);
    const auto start = std::chrono::steady_clock::now();
    SIZE size{};
    ASSERT_TRUE(GetTextExtentPoint32W(dc, text.data(), int(text.size()), &size));
    EXPECT_EQ(size.cx, ws * w + (LONG(text.size()) - ws) * a);
    INT fit = 0;
    ASSERT_TRUE(GetTextExtentExPointW(dc, text.data(), int(text.size()), 1000, &fit, nullptr, &size));
    EXPECT_GT(fit, 0);
    EXPECT_LT(fit, 1000);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
}

}  // namespace
