// The engine's font and string objects as a driver reads them, checked
// against the font files read by FreeType in the test: the IFIMETRICS of a
// face, glyph bitmaps and outlines from FONTOBJ_cGetGlyphs, the TrueType
// file, the font's transform, and the STROBJ of a string with its
// arrangement and its batches. Fonts are those the machine's mapper picks
// for a LOGFONT.
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_BBOX_H
#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <string>

#include "support/machine_fixture.h"
#include "win32/win32k/text_fixture.h"
#include "win32k/fontobj.h"

namespace {

using tam::test::FontAsk;
using tam::test::MachineTest;

std::u16string FromUtf8(const char* text) { return std::u16string(text, text + std::strlen(text)); }

std::u16string IfiString(const IFIMETRICS* ifi, PTRDIFF offset) {
    return reinterpret_cast<const char16_t*>(reinterpret_cast<const BYTE*>(ifi) + offset);
}

std::vector<BYTE> FileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<BYTE>(std::istreambuf_iterator<char>(in), {});
}

class FontObjects : public MachineTest {};

struct IfiCase {
    const char* name;
    FontAsk ask;
    const std::string* file;
    const char16_t* faceName;  // GDI's face name of the face: its full name
    USHORT selection;          // the FM_SEL_* the face is
    BYTE pitchAndFamily;
};
void PrintTo(const IfiCase& c, std::ostream* out) { *out << c.name; }
const IfiCase kIfi[] = {
    {"Regular", {}, &tam::test::kDejaVuSansFile, u"DejaVu Sans", FM_SEL_REGULAR, VARIABLE_PITCH | FF_SWISS},
    {"Bold", {.weight = FW_BOLD}, &tam::test::kDejaVuSansBoldFile, u"DejaVu Sans Bold", FM_SEL_BOLD,
     VARIABLE_PITCH | FF_SWISS},
    {"Italic", {.face = u"Liberation Sans", .italic = true}, &tam::test::kLiberationItalicFile,
     u"Liberation Sans Italic", FM_SEL_ITALIC, VARIABLE_PITCH | FF_SWISS},
    {"Mono", {.face = u"DejaVu Sans Mono"}, &tam::test::kDejaVuMonoFile, u"DejaVu Sans Mono", FM_SEL_REGULAR,
     FIXED_PITCH | FF_MODERN},
};

class FontIfiMetrics : public FontObjects, public testing::WithParamInterface<IfiCase> {};

// Each field against the face's own tables as FreeType reads them; the
// names are strings after the record, within cjThis.
TEST_P(FontIfiMetrics, DescribeTheFaceFromItsTables) {
    const IfiCase& c = GetParam();
    const auto font = tam::test::RealizedTestFont(c.ask);
    ASSERT_TRUE(font);
    w32::EngineFont& fo = w32::FontObjectFor(nullptr, font);
    const IFIMETRICS* ifi = FONTOBJ_pifi(&fo);
    ASSERT_NE(ifi, nullptr);
    tam::test::ReferenceFace ref(*c.file, 20);
    FT_Face face = ref.get();
    const auto& os2 = *static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    const auto& hhea = *static_cast<const TT_HoriHeader*>(FT_Get_Sfnt_Table(face, FT_SFNT_HHEA));
    const auto& post = *static_cast<const TT_Postscript*>(FT_Get_Sfnt_Table(face, FT_SFNT_POST));

    EXPECT_EQ(ifi->fwdUnitsPerEm, face->units_per_EM);
    EXPECT_EQ(ifi->fsSelection, os2.fsSelection & 0x7F);
    EXPECT_EQ(ifi->fsSelection & (FM_SEL_REGULAR | FM_SEL_BOLD | FM_SEL_ITALIC), c.selection);
    EXPECT_EQ(ifi->fsType, os2.fsType & 0x000E);
    EXPECT_EQ(ifi->jWinPitchAndFamily, c.pitchAndFamily);
    EXPECT_EQ(ifi->usWinWeight, os2.usWeightClass);
    EXPECT_EQ(ifi->jWinCharSet, ANSI_CHARSET);
    EXPECT_EQ(IfiString(ifi, ifi->dpwszFamilyName), FromUtf8(face->family_name));
    EXPECT_EQ(IfiString(ifi, ifi->dpwszStyleName), FromUtf8(face->style_name));
    EXPECT_EQ(IfiString(ifi, ifi->dpwszFaceName), c.faceName);
    EXPECT_FALSE(IfiString(ifi, ifi->dpwszUniqueName).empty());
    const std::u16string unique = IfiString(ifi, ifi->dpwszUniqueName);
    EXPECT_LE(size_t(ifi->dpwszUniqueName) + (unique.size() + 1) * 2, ifi->cjThis);
    EXPECT_EQ(reinterpret_cast<const BYTE*>(ifi)[ifi->dpCharSets], ANSI_CHARSET);
    EXPECT_EQ(ifi->fwdWinAscender, os2.usWinAscent);
    EXPECT_EQ(ifi->fwdWinDescender, os2.usWinDescent);
    EXPECT_EQ(ifi->fwdMacAscender, hhea.Ascender);
    EXPECT_EQ(ifi->fwdMacDescender, hhea.Descender);
    EXPECT_EQ(ifi->fwdMacLineGap, hhea.Line_Gap);
    EXPECT_EQ(ifi->fwdTypoAscender, os2.sTypoAscender);
    EXPECT_EQ(ifi->fwdTypoDescender, os2.sTypoDescender);
    EXPECT_EQ(ifi->fwdAveCharWidth, os2.xAvgCharWidth);
    EXPECT_EQ(ifi->fwdMaxCharInc, hhea.advance_Width_Max);
    EXPECT_EQ(ifi->fwdStrikeoutSize, os2.yStrikeoutSize);
    EXPECT_EQ(ifi->fwdStrikeoutPosition, os2.yStrikeoutPosition);
    EXPECT_EQ(ifi->fwdUnderscoreSize, post.underlineThickness);
    EXPECT_EQ(ifi->fwdUnderscorePosition, post.underlinePosition);
    EXPECT_EQ(ifi->rclFontBox.left, face->bbox.xMin);
    EXPECT_EQ(ifi->rclFontBox.top, face->bbox.yMax);
    EXPECT_EQ(ifi->rclFontBox.right, face->bbox.xMax);
    EXPECT_EQ(ifi->rclFontBox.bottom, face->bbox.yMin);
    EXPECT_EQ(std::memcmp(&ifi->panose, os2.panose, 10), 0);
    EXPECT_EQ(std::memcmp(ifi->achVendId, os2.achVendID, 4), 0);
    EXPECT_EQ(ifi->lItalicAngle, std::lround(post.italicAngle / 65536.0 * 10));
    EXPECT_TRUE(ifi->flInfo & FM_INFO_TECH_TRUETYPE);
    EXPECT_EQ((ifi->flInfo & FM_INFO_CONSTANT_WIDTH) != 0, c.pitchAndFamily == (FIXED_PITCH | FF_MODERN));
    EXPECT_EQ(ifi->ptlBaseline.x, 1);
    EXPECT_EQ(ifi->ptlBaseline.y, 0);
}
INSTANTIATE_TEST_SUITE_P(All, FontIfiMetrics, testing::ValuesIn(kIfi),
                         [](const auto& info) { return std::string(info.param.name); });

struct GlyphCase {
    const char* name;
    FontAsk ask;
    const std::string* file;
};
void PrintTo(const GlyphCase& c, std::ostream* out) { *out << c.name; }
const GlyphCase kGlyphs[] = {
    {"Sans13", {.height = -13}, &tam::test::kDejaVuSansFile},
    {"Sans50", {.height = -50}, &tam::test::kDejaVuSansFile},
    {"Bold33", {.height = -33, .weight = FW_BOLD}, &tam::test::kDejaVuSansBoldFile},
    {"Italic100", {.face = u"Liberation Sans", .height = -100, .italic = true}, &tam::test::kLiberationItalicFile},
};
const char16_t kGlyphText[] = u"AgW&@jy.%";

class FontGlyphs : public FontObjects, public testing::WithParamInterface<GlyphCase> {};

// FO_GLYPHBITS: FreeType's monochrome rendering of the glyph at the font's
// em, bit for bit and in the same place, with the advance in 28.4.
TEST_P(FontGlyphs, BitmapsAreFreeTypesMonochromeRendering) {
    const GlyphCase& c = GetParam();
    const auto font = tam::test::RealizedTestFont(c.ask);
    w32::EngineFont& fo = w32::FontObjectFor(nullptr, font);
    tam::test::ReferenceFace ref(*c.file, font->Metrics().em);
    for (const char16_t* ch = kGlyphText; *ch; ++ch) {
        SCOPED_TRACE(std::string(1, char(*ch)));
        HGLYPH glyph = FT_Get_Char_Index(ref.get(), *ch);
        GLYPHDATA* data = nullptr;
        ASSERT_EQ(FONTOBJ_cGetGlyphs(&fo, FO_GLYPHBITS, 1, &glyph, reinterpret_cast<PVOID*>(&data)), 1u);
        const tam::test::ReferenceGlyph expected = ref.Render(glyph);
        EXPECT_EQ(data->hg, glyph);
        EXPECT_EQ(data->fxD, LONG((ref.get()->glyph->advance.x + 32) >> 6) * 16);
        const GLYPHBITS* bits = data->gdf.pgb;
        ASSERT_EQ(bits->sizlBitmap.cx, expected.width);
        ASSERT_EQ(bits->sizlBitmap.cy, expected.rows);
        EXPECT_EQ(bits->ptlOrigin.x, expected.left);
        EXPECT_EQ(bits->ptlOrigin.y, expected.top);
        const BYTE* rows = reinterpret_cast<const BYTE*>(bits) + offsetof(GLYPHBITS, aj);
        EXPECT_EQ(std::vector<BYTE>(rows, rows + expected.bits.size()), expected.bits);
    }
}

// FO_PATHOBJ: the hinted outline in 28.4 device units from the reference
// point, y down; each contour one closed figure. Its control points hold
// the outline's exact bounds and stay inside FreeType's control box (a
// quadratic's control point is beyond the cubic's).
TEST_P(FontGlyphs, OutlinesLieWithinFreeTypesBoxes) {
    const GlyphCase& c = GetParam();
    const auto font = tam::test::RealizedTestFont(c.ask);
    w32::EngineFont& fo = w32::FontObjectFor(nullptr, font);
    tam::test::ReferenceFace ref(*c.file, font->Metrics().em);
    for (const char16_t* ch = kGlyphText; *ch; ++ch) {
        SCOPED_TRACE(std::string(1, char(*ch)));
        HGLYPH glyph = FT_Get_Char_Index(ref.get(), *ch);
        GLYPHDATA* data = nullptr;
        ASSERT_EQ(FONTOBJ_cGetGlyphs(&fo, FO_PATHOBJ, 1, &glyph, reinterpret_cast<PVOID*>(&data)), 1u);
        PATHOBJ* path = data->gdf.ppo;
        RECTFX bounds;
        PATHOBJ_vGetBounds(path, &bounds);
        FT_Outline& outline = ref.Load(glyph);
        FT_BBox exact, box;
        FT_Outline_Get_BBox(&outline, &exact);
        FT_Outline_Get_CBox(&outline, &box);
        // 26.6 y up against 28.4 y down; a sixteenth of rounding either way.
        EXPECT_LE(bounds.xLeft * 4, exact.xMin + 2);
        EXPECT_GE(bounds.xLeft * 4, box.xMin - 2);
        EXPECT_GE(bounds.xRight * 4, exact.xMax - 2);
        EXPECT_LE(bounds.xRight * 4, box.xMax + 2);
        EXPECT_LE(bounds.yTop * 4, -exact.yMax + 2);
        EXPECT_GE(bounds.yTop * 4, -box.yMax - 2);
        EXPECT_GE(bounds.yBottom * 4, -exact.yMin - 2);
        EXPECT_LE(bounds.yBottom * 4, -box.yMin + 2);
        int figures = 0;
        PATHOBJ_vEnumStart(path);
        PATHDATA fragment;
        BOOL more;
        do {
            more = PATHOBJ_bEnum(path, &fragment);
            if (fragment.flags & PD_ENDSUBPATH) {
                ++figures;
                EXPECT_TRUE(fragment.flags & PD_CLOSEFIGURE);
            }
        } while (more);
        EXPECT_EQ(figures, outline.n_contours);
    }
}
INSTANTIATE_TEST_SUITE_P(All, FontGlyphs, testing::ValuesIn(kGlyphs),
                         [](const auto& info) { return std::string(info.param.name); });

struct FontObjectCase {
    const char* name;
    FontAsk ask;
    const char* file;  // under kFontFolder
    ULONG face;        // iFace
    FLONG type;        // flFontType
};
void PrintTo(const FontObjectCase& c, std::ostream* out) { *out << c.name; }
const FontObjectCase kFontObjects[] = {
    {"Regular", {}, "dejavu/DejaVuSans.ttf", 1, FO_TYPE_TRUETYPE},
    {"SimulatedItalic", {.italic = true}, "dejavu/DejaVuSans.ttf", 1, FO_TYPE_TRUETYPE | FO_SIM_ITALIC},
    {"Smoothed", {.quality = ANTIALIASED_QUALITY}, "dejavu/DejaVuSans.ttf", 1, FO_TYPE_TRUETYPE | FO_GRAY16},
    {"SimulatedBoldCjk", {.face = u"WenQuanYi Micro Hei", .weight = FW_BOLD}, "wqy/wqy-microhei.ttc", 1,
     FO_TYPE_TRUETYPE | FO_SIM_BOLD | FO_DBCS_FONT},
    {"VerticalSecondFace", {.face = u"@WenQuanYi Micro Hei Mono"}, "wqy/wqy-microhei.ttc", 2,
     FO_TYPE_TRUETYPE | FO_DBCS_FONT | FO_VERT_FACE},
};

class FontObjectFields : public FontObjects, public testing::WithParamInterface<FontObjectCase> {};

// The face counted from 1 in its file, the kind and simulations, the
// file's whole bytes (a collection's too), a number of its own that stays
// with the realisation, and the resolution of memory DCs.
TEST_P(FontObjectFields, NameTheFaceAndItsFile) {
    const FontObjectCase& c = GetParam();
    const auto font = tam::test::RealizedTestFont(c.ask);
    w32::EngineFont& fo = w32::FontObjectFor(nullptr, font);
    EXPECT_EQ(&w32::FontObjectFor(nullptr, font), &fo);
    EXPECT_NE(fo.iUniq, 0u);
    EXPECT_EQ(fo.iFace, c.face);
    EXPECT_EQ(fo.flFontType, c.type);
    EXPECT_EQ(fo.iFile, ULONG_PTR(font->Face().file->Id()));
    EXPECT_EQ(fo.sizLogResPpi.cx, 96);
    EXPECT_EQ(fo.sizLogResPpi.cy, 96);
    EXPECT_EQ(fo.ulStyleSize, ULONG(std::lround(font->Metrics().em * 72 / 96.0)));
    const std::vector<BYTE> bytes = FileBytes(tam::test::kFontFolder + c.file);
    ULONG size = 0;
    const BYTE* file = static_cast<const BYTE*>(FONTOBJ_pvTrueTypeFontFile(&fo, &size));
    ASSERT_EQ(size, bytes.size());
    EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), file));
    EXPECT_EQ(FONTOBJ_cGetAllGlyphHandles(&fo, nullptr), font->GlyphCount());
    FONTINFO info{};
    FONTOBJ_vGetInfo(&fo, sizeof(info), &info);
    EXPECT_EQ(info.cGlyphsSupported, font->GlyphCount());
    EXPECT_EQ(info.flCaps, ULONG(FO_OUTLINE_CAPABLE));
}
INSTANTIATE_TEST_SUITE_P(All, FontObjectFields, testing::ValuesIn(kFontObjects),
                         [](const auto& info) { return std::string(info.param.name); });

// A smoothed font's GLYPHBITS are four bits a pixel, FreeType's coverage in sixteen levels.
TEST_F(FontObjects, SmoothedGlyphBitsAreFourBitsAPixel) {
    const auto font = tam::test::RealizedTestFont({.quality = ANTIALIASED_QUALITY});
    w32::EngineFont& fo = w32::FontObjectFor(nullptr, font);
    tam::test::ReferenceFace ref(tam::test::kDejaVuSansFile, font->Metrics().em);
    HGLYPH glyph = FT_Get_Char_Index(ref.get(), u'S');
    GLYPHDATA* data = nullptr;
    ASSERT_EQ(FONTOBJ_cGetGlyphs(&fo, FO_GLYPHBITS, 1, &glyph, reinterpret_cast<PVOID*>(&data)), 1u);
    ref.Load(glyph);
    ASSERT_EQ(FT_Render_Glyph(ref.get()->glyph, FT_RENDER_MODE_NORMAL), 0);
    const FT_Bitmap& b = ref.get()->glyph->bitmap;
    const GLYPHBITS* bits = data->gdf.pgb;
    ASSERT_EQ(bits->sizlBitmap.cx, LONG(b.width));
    ASSERT_EQ(bits->sizlBitmap.cy, LONG(b.rows));
    const BYTE* rows = reinterpret_cast<const BYTE*>(bits) + offsetof(GLYPHBITS, aj);
    const size_t rowBytes = (b.width + 1) / 2;
    for (unsigned y = 0; y < b.rows; ++y)
        for (unsigned x = 0; x < b.width; ++x) {
            const BYTE level = (rows[y * rowBytes + x / 2] >> (x % 2 ? 0 : 4)) & 0xF;
            ASSERT_EQ(level, (b.buffer[y * b.pitch + x] * 15 + 127) / 255) << x << "," << y;
        }
}

// The notional (em) square onto the device: the em in pixels per em in
// units, y turned down; turned with the escapement.
TEST_F(FontObjects, TransformMapsTheEmSquareOntoTheDevice) {
    const struct {
        LONG escapement;
        ULONG kind;
        POINTL corner;  // where notional (unitsPerEm, unitsPerEm) lands, in em pixels
    } cases[] = {{0, GX_SCALE, {1, -1}}, {900, GX_GENERAL, {-1, -1}}, {1800, GX_SCALE, {-1, 1}}};
    for (const auto& c : cases) {
        const auto font = tam::test::RealizedTestFont({.height = -64, .escapement = c.escapement});
        w32::EngineFont& fo = w32::FontObjectFor(nullptr, font);
        XFORMOBJ* xo = FONTOBJ_pxoGetXform(&fo);
        XFORML m{};
        EXPECT_EQ(XFORMOBJ_iGetXform(xo, &m), c.kind);
        const LONG em = font->Metrics().em, units = font->Metrics().unitsPerEm;
        POINTL p{units, units};
        ASSERT_TRUE(XFORMOBJ_bApplyXform(xo, XF_LTOL, 1, &p, &p));
        EXPECT_EQ(p.x, c.corner.x * em) << c.escapement;
        EXPECT_EQ(p.y, c.corner.y * em) << c.escapement;
        ASSERT_TRUE(XFORMOBJ_bApplyXform(xo, XF_INV_LTOL, 1, &p, &p));
        EXPECT_EQ(p.x, units);
        EXPECT_EQ(p.y, units);
    }
}

struct AccelCase {
    const char* name;
    FontAsk ask;
    const char16_t* text;
    POINTL step;  // extra offset of each place from the one before (lpDx in y)
    bool glyphIndices;
    FLONG accel;
    bool fixedIncrement;  // ulCharInc is the advance
};
void PrintTo(const AccelCase& c, std::ostream* out) { *out << c.name; }
const AccelCase kAccel[] = {
    {"Proportional", {}, u"Hello", {0, 0}, false, SO_HORIZONTAL | SO_FLAG_DEFAULT_PLACEMENT, false},
    {"FixedPitch", {.face = u"DejaVu Sans Mono"}, u"Hello", {0, 0}, false, SO_HORIZONTAL | SO_FLAG_DEFAULT_PLACEMENT,
     true},
    {"Leftwards", {.escapement = 1800}, u"Hello", {0, 0}, false,
     SO_HORIZONTAL | SO_REVERSED | SO_FLAG_DEFAULT_PLACEMENT, false},
    {"Downwards", {.escapement = 2700}, u"Hello", {0, 0}, false, SO_VERTICAL | SO_FLAG_DEFAULT_PLACEMENT, false},
    {"Upwards", {.escapement = 900}, u"Hello", {0, 0}, false, SO_VERTICAL | SO_REVERSED | SO_FLAG_DEFAULT_PLACEMENT,
     false},
    {"Slanted", {.escapement = 450}, u"Hello", {0, 0}, false, SO_FLAG_DEFAULT_PLACEMENT, false},
    {"StepsInY", {}, u"Hello", {0, 3}, false, SO_DXDY, false},
    {"GlyphIndices", {}, u"Hello", {0, 0}, true, SO_HORIZONTAL | SO_FLAG_DEFAULT_PLACEMENT | SO_GLYPHINDEX_TEXTOUT,
     false},
};

class StringArrangement : public FontObjects, public testing::WithParamInterface<AccelCase> {};

TEST_P(StringArrangement, FlagsIncrementAndCharacters) {
    const AccelCase& c = GetParam();
    const auto font = tam::test::RealizedTestFont(c.ask);
    w32::TextRun run = tam::test::LaidOutRun(font, c.text, POINTL{500, 500});
    if (c.step.x || c.step.y) {
        run.defaultPlacement = false;
        for (size_t i = 0; i < run.positions.size(); ++i)
            run.positions[i].x += LONG(i) * c.step.x, run.positions[i].y += LONG(i) * c.step.y;
    }
    run.glyphIndices = c.glyphIndices;
    w32::TextLayout layout;
    ASSERT_TRUE(layout.Make(run));
    w32::EngineStrObj string(layout, w32::FontObjectFor(nullptr, font), FO_GLYPHBITS, POINTL{0, 0});
    EXPECT_EQ(string.flAccel, c.accel);
    EXPECT_EQ(string.ulCharInc, c.fixedIncrement ? ULONG(font->Glyph(run.glyphs[0])->advance) : 0u);
    EXPECT_EQ(string.cGlyphs, 5u);
    if (c.glyphIndices) EXPECT_EQ(string.pwszOrg, nullptr);
    else EXPECT_EQ(std::u16string(string.pwszOrg), c.text);
    EXPECT_EQ(STROBJ_dwGetCodePage(&string), GetACP());
}
INSTANTIATE_TEST_SUITE_P(All, StringArrangement, testing::ValuesIn(kAccel),
                         [](const auto& info) { return std::string(info.param.name); });

// A string longer than a batch has pgp null; its batches, in order, hold
// every glyph at its place (moved by the STROBJ's shift) with the bitmap
// FONTOBJ_cGetGlyphs gives for it, a glyph that comes twice in a batch
// sharing one GLYPHDEF; the enumeration starts again from the beginning.
TEST_F(FontObjects, LongStringsComeInBatchesOfTheirGlyphs) {
    const auto font = tam::test::RealizedTestFont({.height = -20});
    std::u16string text;
    for (int i = 0; i < 300; ++i) text += char16_t(u'a' + i % 7);
    const w32::TextRun run = tam::test::LaidOutRun(font, text, POINTL{0, 40});
    w32::TextLayout layout;
    ASSERT_TRUE(layout.Make(run));
    w32::EngineFont& fo = w32::FontObjectFor(nullptr, font);
    w32::EngineStrObj string(layout, fo, FO_GLYPHBITS, POINTL{-5, 7});
    EXPECT_EQ(string.pgp, nullptr);
    for (int pass = 0; pass < 2; ++pass) {
        STROBJ_vEnumStart(&string);
        size_t seen = 0, batches = 0;
        BOOL more;
        do {
            ULONG count = 0;
            GLYPHPOS* batch = nullptr;
            more = STROBJ_bEnum(&string, &count, &batch);
            ++batches;
            ASSERT_LE(count, w32::kGlyphBatch);
            std::map<HGLYPH, GLYPHDEF*> definitions;
            for (ULONG i = 0; i < count; ++i, ++seen) {
                ASSERT_LT(seen, run.glyphs.size());
                EXPECT_EQ(batch[i].hg, run.glyphs[seen]);
                EXPECT_EQ(batch[i].ptl.x, run.positions[seen].x - 5);
                EXPECT_EQ(batch[i].ptl.y, run.positions[seen].y + 7);
                ASSERT_NE(batch[i].pgdf, nullptr);
                auto [known, added] = definitions.emplace(batch[i].hg, batch[i].pgdf);
                EXPECT_EQ(known->second, batch[i].pgdf);
                if (!added) continue;
                const GLYPHBITS* bits = batch[i].pgdf->pgb;
                HGLYPH glyph = batch[i].hg;
                GLYPHDATA* data = nullptr;
                ASSERT_EQ(FONTOBJ_cGetGlyphs(&fo, FO_GLYPHBITS, 1, &glyph, reinterpret_cast<PVOID*>(&data)), 1u);
                const GLYPHBITS* fetched = data->gdf.pgb;
                const size_t size = offsetof(GLYPHBITS, aj) + (bits->sizlBitmap.cx + 7) / 8 * bits->sizlBitmap.cy;
                EXPECT_EQ(std::memcmp(bits, fetched, size), 0) << "glyph " << glyph;
            }
        } while (more);
        EXPECT_EQ(seen, run.glyphs.size());
        EXPECT_EQ(batches, 3u);
        ULONG count = 1;
        GLYPHPOS* batch = nullptr;
        EXPECT_FALSE(STROBJ_bEnum(&string, &count, &batch));
        EXPECT_EQ(count, 0u);
    }
}

TEST_F(FontObjects, ObjectsTheEngineDidNotMakeAreRefused) {
    FONTOBJ own{};
    SetLastError(0);
    EXPECT_EQ(FONTOBJ_pifi(&own), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    HGLYPH glyph = 0;
    PVOID data = nullptr;
    EXPECT_EQ(FONTOBJ_cGetGlyphs(&own, FO_GLYPHBITS, 1, &glyph, &data), 0u);
    ULONG size = 1;
    EXPECT_EQ(FONTOBJ_pvTrueTypeFontFile(&own, &size), nullptr);
    EXPECT_EQ(size, 0u);
    STROBJ string{};
    ULONG count = 1;
    GLYPHPOS* batch = nullptr;
    SetLastError(0);
    EXPECT_FALSE(STROBJ_bEnum(&string, &count, &batch));
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    // A mode that is no glyph form.
    const auto font = tam::test::RealizedTestFont();
    EXPECT_EQ(FONTOBJ_cGetGlyphs(&w32::FontObjectFor(nullptr, font), FO_HGLYPHS, 1, &glyph, &data), 0u);
}

}  // namespace
