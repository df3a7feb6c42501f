// Realised fonts, checked against FreeType used directly: the test opens the
// same font files with a FreeType library of its own and derives metrics,
// advances, bitmaps and kerning from the face's tables and renderings by
// GDI's rules, independently of the engine's code.
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H
#include <gtest/gtest.h>

#include <atomic>
#include <climits>
#include <string>
#include <string_view>
#include <thread>

#include "win32k/fontrealize.h"

namespace w32 {
namespace {

using namespace std::literals;

const std::string kFonts = "/usr/share/fonts/truetype/";
const std::string kDejaVuSans = kFonts + "dejavu/DejaVuSans.ttf";
const std::string kDejaVuMono = kFonts + "dejavu/DejaVuSansMono.ttf";
const std::string kLiberationSans = kFonts + "liberation2/LiberationSans-Regular.ttf";
const std::string kMicroHei = kFonts + "wqy/wqy-microhei.ttc";
const std::u16string kText = u"Hello, World! AVWay 0123 \u00e4\u00df\u20ac";

// The load GDI's monochrome text is measured and drawn from: the face's own
// hinting, no auto-hinter, no embedded bitmaps.
constexpr FT_Int32 kMonoLoad = FT_LOAD_NO_BITMAP | FT_LOAD_NO_AUTOHINT | FT_LOAD_TARGET_MONO;

ChosenFace Choose(const std::string& path, ULONG face = 0) {
    DWORD error = 0;
    ChosenFace chosen;
    chosen.file = FontFile::Open(path, &error);
    EXPECT_TRUE(chosen.file) << path << " " << error;
    chosen.face = face;
    return chosen;
}

FontRealizationRequest Em(LONG pixels) {
    FontRealizationRequest request;
    request.height = -pixels;
    return request;
}

// The same face opened by FreeType for the test alone.
class Reference {
public:
    Reference(const std::string& path, FT_UInt em, FT_Long index = 0) {
        EXPECT_EQ(FT_Init_FreeType(&library_), 0);
        EXPECT_EQ(FT_New_Face(library_, path.c_str(), index, &face_), 0);
        EXPECT_EQ(FT_Set_Pixel_Sizes(face_, 0, em), 0);
    }
    ~Reference() {
        FT_Done_Face(face_);
        FT_Done_FreeType(library_);
    }
    FT_Face operator->() const { return face_; }
    FT_Face get() const { return face_; }
    // Design units to the nearest whole pixel at the size's em.
    LONG Scaled(FT_Long units) const {
        return std::lround(double(units) * face_->size->metrics.y_ppem / face_->units_per_EM);
    }
    const TT_OS2& Os2() const { return *static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face_, FT_SFNT_OS2)); }
    const TT_HoriHeader& Hhea() const {
        return *static_cast<const TT_HoriHeader*>(FT_Get_Sfnt_Table(face_, FT_SFNT_HHEA));
    }
    LONG Advance(FT_UInt glyph) const {
        EXPECT_EQ(FT_Load_Glyph(face_, glyph, kMonoLoad), 0);
        return LONG((face_->glyph->advance.x + 32) >> 6);
    }
    // The glyph rendered in `mode`: FreeType's own bitmap in the slot.
    FT_GlyphSlot Render(FT_UInt glyph, FT_Render_Mode mode) const {
        EXPECT_EQ(FT_Load_Glyph(face_, glyph, kMonoLoad), 0);
        EXPECT_EQ(FT_Render_Glyph(face_->glyph, mode), 0);
        return face_->glyph;
    }

private:
    FT_Library library_ = nullptr;
    FT_Face face_ = nullptr;
};

// FreeType's bitmap and the engine's agree in place, size and every pixel.
void ExpectSameBitmap(const FT_GlyphSlot slot, const GlyphBitmap& bitmap, const char* what) {
    SCOPED_TRACE(what);
    const FT_Bitmap& b = slot->bitmap;
    ASSERT_EQ(bitmap.size.cx, LONG(b.width));
    ASSERT_EQ(bitmap.size.cy, LONG(b.rows));
    if (b.width == 0 || b.rows == 0) return;
    EXPECT_EQ(bitmap.origin.x, slot->bitmap_left);
    EXPECT_EQ(bitmap.origin.y, -slot->bitmap_top);
    const size_t rowBytes = b.pixel_mode == FT_PIXEL_MODE_MONO ? (b.width + 7) / 8 : b.width;
    ASSERT_EQ(size_t(bitmap.stride), rowBytes);
    for (unsigned row = 0; row < b.rows; ++row)
        for (size_t i = 0; i < rowBytes; ++i)
            ASSERT_EQ(bitmap.bits[row * rowBytes + i], b.buffer[row * b.pitch + i]) << "row " << row << " byte " << i;
}

// --- Metrics and advances at the sizes documents use -------------------------------------

struct SizeCase {
    const std::string* file;
    int points, dpi;
};

class FontRealizeSizes : public testing::TestWithParam<SizeCase> {};

TEST_P(FontRealizeSizes, MetricsAndAdvancesAreGdisFromTheFace) {
    const SizeCase& c = GetParam();
    const LONG em = (c.points * c.dpi + 36) / 72;  // MulDiv(points, dpi, 72)
    const auto font = RealizeFont(Choose(*c.file), Em(em));
    ASSERT_TRUE(font);
    Reference ref(*c.file, FT_UInt(em));
    const TT_OS2& os2 = ref.Os2();
    const TT_HoriHeader& hhea = ref.Hhea();

    const FontMetrics& m = font->Metrics();
    EXPECT_EQ(m.em, ref->size->metrics.y_ppem);
    EXPECT_EQ(m.ascent, ref.Scaled(os2.usWinAscent));
    EXPECT_EQ(m.descent, ref.Scaled(os2.usWinDescent));
    EXPECT_EQ(m.height, m.ascent + m.descent);
    EXPECT_EQ(m.internalLeading, m.height - em);
    const FT_Long gap = hhea.Line_Gap - ((os2.usWinAscent + os2.usWinDescent) - (hhea.Ascender - hhea.Descender));
    EXPECT_EQ(m.externalLeading, std::max<LONG>(0, ref.Scaled(gap)));
    EXPECT_EQ(m.aveCharWidth, ref.Scaled(os2.xAvgCharWidth));
    EXPECT_EQ(m.maxCharWidth, ref.Scaled(hhea.advance_Width_Max));
    EXPECT_EQ(m.weight, FW_NORMAL);
    EXPECT_EQ(m.overhang, 0);
    EXPECT_FALSE(m.italic);
    EXPECT_EQ(m.firstChar, os2.usFirstCharIndex);
    EXPECT_EQ(m.pitchAndFamily, TMPF_FIXED_PITCH | TMPF_VECTOR | TMPF_TRUETYPE | FF_SWISS);
    EXPECT_FALSE(font->GlyphsTransformed());

    LONG extent = 0, expected = 0;
    for (const char16_t ch : kText) {
        bool present = false;
        const HGLYPH glyph = font->GlyphIndex(ch, &present);
        EXPECT_TRUE(present) << char(ch);
        ASSERT_EQ(glyph, FT_Get_Char_Index(ref.get(), ch));
        const auto g = font->Glyph(glyph);
        ASSERT_TRUE(g);
        EXPECT_EQ(g->advance, ref.Advance(glyph)) << char(ch);
        EXPECT_EQ(g->abcA + g->abcB + g->abcC, g->advance);
        EXPECT_EQ(g->cellIncrement.x, g->advance);
        EXPECT_EQ(g->cellIncrement.y, 0);
        extent += g->advance;
        expected += ref.Advance(glyph);
    }
    EXPECT_EQ(extent, expected);
}

const SizeCase kSizes[] = {
    {&kDejaVuSans, 8, 96},      {&kDejaVuSans, 11, 96},      {&kDejaVuSans, 72, 96},
    {&kDejaVuSans, 8, 600},     {&kDejaVuSans, 11, 600},     {&kDejaVuSans, 72, 600},
    {&kLiberationSans, 8, 96},  {&kLiberationSans, 11, 96},  {&kLiberationSans, 72, 96},
    {&kLiberationSans, 8, 600}, {&kLiberationSans, 11, 600}, {&kLiberationSans, 72, 600},
};
INSTANTIATE_TEST_SUITE_P(Documents, FontRealizeSizes, testing::ValuesIn(kSizes),
                         [](const testing::TestParamInfo<SizeCase>& info) {
                             const SizeCase& c = info.param;
                             return (c.file == &kDejaVuSans ? "DejaVuSans" : "LiberationSans") + std::to_string(c.points) +
                                    "pt" + std::to_string(c.dpi) + "dpi";
                         });

// A positive lfHeight asks for the cell: the em is scaled so that the Windows
// ascent and descent fill it.
TEST(FontRealize, CellHeightSetsTheEmFromTheWindowsAscentAndDescent) {
    const ChosenFace face = Choose(kLiberationSans);
    for (const LONG cell : {13, 16, 37, 120}) {
        FontRealizationRequest request;
        request.height = cell;
        const auto font = RealizeFont(face, request);
        ASSERT_TRUE(font);
        Reference ref(kLiberationSans, 10);
        const double units = ref.Os2().usWinAscent + ref.Os2().usWinDescent;
        EXPECT_EQ(font->Metrics().em, std::lround(cell * ref->units_per_EM / units)) << cell;
        EXPECT_NEAR(font->Metrics().height, cell, 1) << cell;
    }
}

// lfWidth stretches x so that the average character width is the one asked.
TEST(FontRealize, WidthAskedIsTheAverageCharacterWidth) {
    const ChosenFace face = Choose(kDejaVuSans);
    const auto natural = RealizeFont(face, Em(40));
    FontRealizationRequest wide = Em(40);
    wide.width = 2 * natural->Metrics().aveCharWidth + 1;
    const auto font = RealizeFont(face, wide);
    ASSERT_TRUE(font);
    EXPECT_EQ(font->Metrics().aveCharWidth, wide.width);
    EXPECT_EQ(font->Metrics().height, natural->Metrics().height);
    const HGLYPH w = font->GlyphIndex(u'W');
    const auto stretched = font->Bitmap(w, false), upright = natural->Bitmap(w, false);
    ASSERT_TRUE(stretched && upright);
    EXPECT_NEAR(stretched->size.cx, 2.0 * upright->size.cx, 3);
    EXPECT_EQ(stretched->size.cy, upright->size.cy);
    EXPECT_NEAR(font->Glyph(w)->advance, 2.0 * natural->Glyph(w)->advance, 2);
}

// --- Glyph bitmaps and outlines ------------------------------------------------------

struct GlyphCase {
    const std::string* file;
    LONG em;
};
class FontRealizeGlyphs : public testing::TestWithParam<GlyphCase> {};

// The one-bit bitmap is FreeType's monochrome rendering of the hinted glyph
// bit for bit; the coverage bitmap its grey rendering of the same outline;
// the black box and ABC widths are the one-bit bitmap's.
TEST_P(FontRealizeGlyphs, BitmapsAreFreeTypesRenderingsOfTheHintedGlyph) {
    const GlyphCase& c = GetParam();
    const auto font = RealizeFont(Choose(*c.file), Em(c.em));
    ASSERT_TRUE(font);
    Reference ref(*c.file, FT_UInt(c.em));
    for (const char16_t ch : u"AgW@\u00e4,;% "sv) {
        const std::string what = "char " + std::to_string(int(ch)) + " at " + std::to_string(c.em);
        const HGLYPH glyph = font->GlyphIndex(ch);
        const auto mono = font->Bitmap(glyph, false);
        const auto grey = font->Bitmap(glyph, true);
        const auto g = font->Glyph(glyph);
        ASSERT_TRUE(mono && grey && g);
        EXPECT_EQ(mono->bitsPerPixel, 1);
        EXPECT_EQ(grey->bitsPerPixel, 8);
        EXPECT_EQ(g->blackBox.left, mono->origin.x) << what;
        EXPECT_EQ(g->blackBox.top, mono->origin.y) << what;
        EXPECT_EQ(g->blackBox.right - g->blackBox.left, mono->size.cx) << what;
        EXPECT_EQ(g->blackBox.bottom - g->blackBox.top, mono->size.cy) << what;
        EXPECT_EQ(g->abcA, mono->origin.x) << what;
        EXPECT_EQ(g->abcB, mono->size.cx) << what;
        ExpectSameBitmap(ref.Render(FT_UInt(glyph), FT_RENDER_MODE_MONO), *mono, what.c_str());
        ExpectSameBitmap(ref.Render(FT_UInt(glyph), FT_RENDER_MODE_NORMAL), *grey, what.c_str());
    }
}

// The outline is the hinted glyph's, in the font's own points (y up), and
// as a device path (y down) whose contours start at the contours' first
// points and are all closed.
TEST_P(FontRealizeGlyphs, OutlinesAreTheHintedGlyphs) {
    const GlyphCase& c = GetParam();
    const auto font = RealizeFont(Choose(*c.file), Em(c.em));
    ASSERT_TRUE(font);
    Reference ref(*c.file, FT_UInt(c.em));
    for (const char16_t ch : u"Ag8%"sv) {
        const HGLYPH glyph = font->GlyphIndex(ch);
        const auto outline = font->Outline(glyph);
        ASSERT_TRUE(outline);
        ASSERT_EQ(FT_Load_Glyph(ref.get(), FT_UInt(glyph), kMonoLoad), 0);
        const FT_Outline& expected = ref->glyph->outline;
        ASSERT_EQ(outline->points.size(), size_t(expected.n_points));
        for (short i = 0; i < expected.n_points; ++i) {
            EXPECT_EQ(outline->points[i].x, expected.points[i].x);
            EXPECT_EQ(outline->points[i].y, expected.points[i].y);
            EXPECT_EQ(outline->tags[i], expected.tags[i] & 3);
        }
        ASSERT_EQ(outline->contourEnds.size(), size_t(expected.n_contours));
        size_t point = 0, contour = 0;
        for (size_t v = 0; v < outline->verbs.size(); ++v) {
            using Verb = GlyphOutline::Verb;
            switch (outline->verbs[v]) {
                case Verb::Move: {
                    ASSERT_LT(contour, size_t(expected.n_contours));
                    const short first = contour == 0 ? 0 : expected.contours[contour - 1] + 1;
                    if (expected.tags[first] & 1) {  // a contour starting on the curve starts there
                        EXPECT_EQ(outline->pathPoints[point].x, expected.points[first].x);
                        EXPECT_EQ(outline->pathPoints[point].y, -expected.points[first].y);
                    }
                    ++contour, point += 1;
                    ASSERT_NE(v, outline->verbs.size() - 1);
                    break;
                }
                case Verb::Line: point += 1; break;
                case Verb::Quadratic: point += 2; break;
                case Verb::Cubic: point += 3; break;
                case Verb::Close: EXPECT_NE(outline->verbs[v - 1], Verb::Close); break;
            }
        }
        EXPECT_EQ(contour, size_t(expected.n_contours));
        EXPECT_EQ(point, outline->pathPoints.size());
        EXPECT_EQ(outline->verbs.back(), GlyphOutline::Verb::Close);
    }
}

const GlyphCase kGlyphSizes[] = {
    {&kDejaVuSans, 11}, {&kDejaVuSans, 33}, {&kDejaVuSans, 92}, {&kLiberationSans, 15}, {&kLiberationSans, 67},
};
INSTANTIATE_TEST_SUITE_P(Sizes, FontRealizeGlyphs, testing::ValuesIn(kGlyphSizes),
                         [](const testing::TestParamInfo<GlyphCase>& info) {
                             return (info.param.file == &kDejaVuSans ? "DejaVuSans" : "LiberationSans") +
                                    std::to_string(info.param.em) + "px";
                         });

// --- Turns and transforms ------------------------------------------------------------

// Where the upright glyph's box lands: as is, a quarter turn counter-
// clockwise, a half turn, a quarter turn clockwise, mirrored left to right.
enum class Lands { Upright, Quarter, Half, ThreeQuarters, Mirrored };

struct TurnCase {
    const char* name;
    XFORM transform;
    bool advanced;
    LONG escapement, orientation;
    Lands glyph;
    int cellX, cellY;  // the advance vector in advances
};

class FontRealizeTurns : public testing::TestWithParam<TurnCase> {};

TEST_P(FontRealizeTurns, GlyphsAndAdvancesTurn) {
    const TurnCase& c = GetParam();
    const ChosenFace face = Choose(kDejaVuSans);
    const auto upright = RealizeFont(face, Em(32));
    FontRealizationRequest request = Em(32);
    request.transform = c.transform;
    request.advanced = c.advanced;
    request.escapement = c.escapement;
    request.orientation = c.orientation;
    const auto font = RealizeFont(face, request);
    ASSERT_TRUE(font);
    EXPECT_EQ(font->Metrics().em, 32);
    for (const char16_t ch : u"LWg"sv) {
        const HGLYPH glyph = font->GlyphIndex(ch);
        const auto before = upright->Glyph(glyph), after = font->Glyph(glyph);
        const auto bitmap = font->Bitmap(glyph, false);
        ASSERT_TRUE(before && after && bitmap);
        EXPECT_EQ(after->advance, before->advance);
        EXPECT_EQ(after->cellIncrement.x, c.cellX * before->advance);
        EXPECT_EQ(after->cellIncrement.y, c.cellY * before->advance);
        const RECT& u = before->blackBox;
        const RECT& b = after->blackBox;
        EXPECT_EQ(bitmap->size.cx, b.right - b.left);
        EXPECT_EQ(bitmap->size.cy, b.bottom - b.top);
        // The outline turns exactly; its pixels may differ by one at the edges.
        RECT want = u;
        switch (c.glyph) {
            case Lands::Upright: break;
            case Lands::Quarter: want = {u.top, -u.right, u.bottom, -u.left}; break;
            case Lands::Half: want = {-u.right, -u.bottom, -u.left, -u.top}; break;
            case Lands::ThreeQuarters: want = {-u.bottom, u.left, -u.top, u.right}; break;
            case Lands::Mirrored: want = {-u.right, u.top, -u.left, u.bottom}; break;
        }
        EXPECT_NEAR(b.left, want.left, 1) << char(ch);
        EXPECT_NEAR(b.top, want.top, 1) << char(ch);
        EXPECT_NEAR(b.right, want.right, 1) << char(ch);
        EXPECT_NEAR(b.bottom, want.bottom, 1) << char(ch);
        if (c.glyph == Lands::Upright) {
            EXPECT_EQ(b.right - b.left, u.right - u.left);
        }
    }
}

constexpr XFORM kIdentity = {1, 0, 0, 1, 0, 0};
constexpr XFORM kMirror = {-1, 0, 0, 1, 0, 0};
constexpr XFORM kQuarterTurn = {0, -1, 1, 0, 0, 0};  // x to up, y to right: counter-clockwise on the device
const TurnCase kTurns[] = {
    {"Escapement90", kIdentity, false, 900, 0, Lands::Quarter, 0, -1},
    {"Escapement180", kIdentity, false, 1800, 0, Lands::Half, -1, 0},
    {"Escapement270", kIdentity, false, 2700, 900, Lands::ThreeQuarters, 0, 1},  // orientation ignored
    {"CompatibleNeverMirrors", kMirror, false, 0, 0, Lands::Upright, 1, 0},
    {"AdvancedMirrors", kMirror, true, 0, 0, Lands::Mirrored, -1, 0},
    {"AdvancedWorldTurn", kQuarterTurn, true, 0, 0, Lands::Quarter, 0, -1},
    {"AdvancedEscapementAlone", kIdentity, true, 900, 0, Lands::Upright, 0, -1},
    {"AdvancedOrientationAlone", kIdentity, true, 0, 900, Lands::Quarter, 1, 0},
};
INSTANTIATE_TEST_SUITE_P(All, FontRealizeTurns, testing::ValuesIn(kTurns),
                         [](const testing::TestParamInfo<TurnCase>& info) { return info.param.name; });

// Under the transform the em is the logical height scaled to the device:
// by the y scale in GM_COMPATIBLE, stretching x by the ratio of the x and y scales.
TEST(FontRealize, MappingScaleSetsTheDeviceEm) {
    const ChosenFace face = Choose(kDejaVuSans);
    FontRealizationRequest request = Em(10);
    request.transform = {3, 0, 0, -6.25f, 0, 0};  // a y-up mapping mode
    const auto font = RealizeFont(face, request);
    ASSERT_TRUE(font);
    EXPECT_EQ(font->Metrics().em, 63);  // 62.5 rounded
    const auto square = RealizeFont(face, Em(63));
    EXPECT_EQ(font->Metrics().ascent, square->Metrics().ascent);
    EXPECT_NEAR(font->Metrics().aveCharWidth, square->Metrics().aveCharWidth * 3 / 6.25, 1);
}

// --- Simulations ---------------------------------------------------------------------

// Simulated bold: each advance and black box one pixel wider, the face's
// weight FW_BOLD. Simulated italic: the glyph leans right, its top row
// starts further right than its bottom row.
TEST(FontRealize, SimulatedBoldWidensAndItalicSlants) {
    const ChosenFace regular = Choose(kDejaVuSans);
    ChosenFace bold = regular, italic = regular;
    bold.simulateBold = true;
    italic.simulateItalic = true;
    const auto plain = RealizeFont(regular, Em(40));
    const auto heavy = RealizeFont(bold, Em(40));
    const auto slanted = RealizeFont(italic, Em(40));
    ASSERT_TRUE(plain && heavy && slanted);
    EXPECT_EQ(heavy->Metrics().weight, FW_BOLD);
    EXPECT_FALSE(heavy->Metrics().italic);
    EXPECT_TRUE(slanted->Metrics().italic);
    EXPECT_EQ(slanted->Metrics().weight, FW_NORMAL);
    for (const char16_t ch : u"lHo"sv) {
        const HGLYPH glyph = plain->GlyphIndex(ch);
        EXPECT_EQ(heavy->Glyph(glyph)->advance, plain->Glyph(glyph)->advance + 1);
        EXPECT_EQ(slanted->Glyph(glyph)->advance, plain->Glyph(glyph)->advance);
        const auto thin = plain->Bitmap(glyph, false), thick = heavy->Bitmap(glyph, false);
        EXPECT_EQ(thick->size.cx, thin->size.cx + 1);
        EXPECT_EQ(thick->origin.x, thin->origin.x);
        EXPECT_EQ(thick->size.cy, thin->size.cy);
    }

    // The first set pixel of a row of a one-bit bitmap.
    auto firstInk = [](const GlyphBitmap& b, LONG row) {
        for (LONG x = 0; x < b.size.cx; ++x)
            if (b.bits[row * b.stride + x / 8] & (0x80 >> (x % 8))) return b.origin.x + x;
        return LONG(-1);
    };
    const HGLYPH l = plain->GlyphIndex(u'l');
    const auto upright = plain->Bitmap(l, false), leaning = slanted->Bitmap(l, false);
    ASSERT_TRUE(upright && leaning);
    EXPECT_EQ(firstInk(*upright, 0), firstInk(*upright, upright->size.cy - 1));
    const LONG lean = firstInk(*leaning, 0) - firstInk(*leaning, leaning->size.cy - 1);
    EXPECT_NEAR(lean, upright->size.cy * 0.2126, 2);
    EXPECT_EQ(leaning->size.cy, upright->size.cy);
}

// --- Collections, vertical faces, kerning ----------------------------------------------

// The second face of a collection realises from its own tables and gives
// its CJK glyphs' advances.
TEST(FontRealize, FaceOfACollectionGivesCjkAdvances) {
    const auto font = RealizeFont(Choose(kMicroHei, 1), Em(24));
    ASSERT_TRUE(font);
    Reference ref(kMicroHei, 24, 1);
    EXPECT_EQ(font->Metrics().ascent, ref.Scaled(ref.Os2().usWinAscent));
    const auto* post = static_cast<const TT_Postscript*>(FT_Get_Sfnt_Table(ref.get(), FT_SFNT_POST));
    EXPECT_EQ(font->Metrics().pitchAndFamily & TMPF_FIXED_PITCH, post->isFixedPitch ? 0 : TMPF_FIXED_PITCH);
    for (const char16_t ch : u"\u4e2d\u6587\u5b57A"sv) {
        bool present = false;
        const HGLYPH glyph = font->GlyphIndex(ch, &present);
        EXPECT_TRUE(present);
        ASSERT_EQ(glyph, FT_Get_Char_Index(ref.get(), ch));
        EXPECT_EQ(font->Glyph(glyph)->advance, ref.Advance(glyph));
        ExpectSameBitmap(ref.Render(FT_UInt(glyph), FT_RENDER_MODE_MONO), *font->Bitmap(glyph, false), "cjk");
    }
    EXPECT_NEAR(font->Glyph(font->GlyphIndex(u'\u4e2d'))->advance, 24, 1);
}

// An "@" face turns the wide glyphs a quarter turn counter-clockwise and
// advances them by the cell height; narrow ones stay as they are.
TEST(FontRealize, VerticalFaceTurnsWideGlyphs) {
    ChosenFace horizontal = Choose(kMicroHei);
    ChosenFace vertical = horizontal;
    vertical.vertical = true;
    const auto flat = RealizeFont(horizontal, Em(30));
    const auto upright = RealizeFont(vertical, Em(30));
    ASSERT_TRUE(flat && upright);
    const HGLYPH wide = upright->GlyphIndex(u'\u4e2d');
    EXPECT_EQ(wide, flat->GlyphIndex(u'\u4e2d') | kVerticalGlyph);
    EXPECT_EQ(upright->GlyphIndex(u'A'), flat->GlyphIndex(u'A'));
    const auto turned = upright->Bitmap(wide, false), lying = flat->Bitmap(wide & ~kVerticalGlyph, false);
    ASSERT_TRUE(turned && lying);
    EXPECT_NEAR(turned->size.cx, lying->size.cy, 1);
    EXPECT_NEAR(turned->size.cy, lying->size.cx, 1);
    EXPECT_EQ(upright->Glyph(wide)->advance, upright->Metrics().height);
    // Centred on the cell's middle: as far above it as below.
    const RECT box = upright->Glyph(wide)->blackBox;
    const double middle = -(upright->Metrics().ascent - upright->Metrics().descent) / 2.0;
    EXPECT_NEAR((box.top + box.bottom) / 2.0, middle, 1.5);
    EXPECT_GE(box.left, 0);
    EXPECT_LE(box.right, upright->Metrics().height);
    // Turned counter-clockwise: a full-width L's stem lies along the bottom
    // and its foot stands on the right.
    const HGLYPH ell = upright->GlyphIndex(u'\uff2c');
    ASSERT_TRUE(ell & kVerticalGlyph);
    const auto l = upright->Bitmap(ell, false);
    ASSERT_TRUE(l);
    auto ink = [&](LONG x, LONG y) { return (l->bits[y * l->stride + x / 8] & (0x80 >> (x % 8))) != 0; };
    LONG bottom = 0, top = 0, right = 0, left = 0;
    for (LONG x = 0; x < l->size.cx; ++x) bottom += ink(x, l->size.cy - 1), top += ink(x, 0);
    for (LONG y = 0; y < l->size.cy; ++y) right += ink(l->size.cx - 1, y), left += ink(0, y);
    EXPECT_GT(bottom, 2 * top);
    EXPECT_GT(right, 2 * left);
    // The handle is the vertical face's own.
    SetLastError(0);
    EXPECT_FALSE(flat->Glyph(wide));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
}

TEST(FontRealize, KerningPairsComeFromTheKernTable) {
    const auto font = RealizeFont(Choose(kLiberationSans), Em(100));
    ASSERT_TRUE(font);
    Reference ref(kLiberationSans, 100);
    const HGLYPH a = font->GlyphIndex(u'A'), v = font->GlyphIndex(u'V');
    FT_Vector unscaled;
    ASSERT_EQ(FT_Get_Kerning(ref.get(), FT_UInt(a), FT_UInt(v), FT_KERNING_UNSCALED, &unscaled), 0);
    ASSERT_LT(unscaled.x, 0);
    const LONG expected = std::lround(unscaled.x * 100.0 / ref->units_per_EM);
    EXPECT_EQ(font->Kerning(a, v), expected);
    EXPECT_LT(expected, 0);

    const auto& pairs = font->KerningPairs();
    ASSERT_FALSE(pairs.empty());
    const KERNINGPAIR* av = nullptr;
    for (size_t i = 0; i < pairs.size(); ++i) {
        if (pairs[i].wFirst == u'A' && pairs[i].wSecond == u'V') av = &pairs[i];
        if (i > 0) {
            EXPECT_TRUE(pairs[i - 1].wFirst < pairs[i].wFirst ||
                        (pairs[i - 1].wFirst == pairs[i].wFirst && pairs[i - 1].wSecond < pairs[i].wSecond));
        }
    }
    ASSERT_TRUE(av);
    EXPECT_EQ(av->iKernAmount, expected);
    // Every listed pair is one FreeType kerns by that amount.
    for (size_t i = 0; i < pairs.size(); i += 17) {
        FT_Vector k;
        FT_Get_Kerning(ref.get(), FT_Get_Char_Index(ref.get(), pairs[i].wFirst),
                       FT_Get_Char_Index(ref.get(), pairs[i].wSecond), FT_KERNING_UNSCALED, &k);
        EXPECT_EQ(pairs[i].iKernAmount, std::lround(k.x * 100.0 / ref->units_per_EM));
    }

    const auto mono = RealizeFont(Choose(kDejaVuMono), Em(100));
    EXPECT_TRUE(mono->KerningPairs().empty());
    EXPECT_EQ(mono->Kerning(mono->GlyphIndex(u'A'), mono->GlyphIndex(u'V')), 0);
}

// --- Quality, sharing, bounds ------------------------------------------------------------

TEST(FontRealize, QualityChoosesGreyOrOneBitText) {
    const ChosenFace face = Choose(kDejaVuSans);
    const std::pair<BYTE, bool> cases[] = {{DEFAULT_QUALITY, false},        {DRAFT_QUALITY, false},
                                           {PROOF_QUALITY, false},          {NONANTIALIASED_QUALITY, false},
                                           {ANTIALIASED_QUALITY, true},     {CLEARTYPE_QUALITY, true}};
    for (const auto& [quality, grey] : cases) {
        FontRealizationRequest request = Em(12);
        request.quality = quality;
        EXPECT_EQ(RealizeFont(face, request)->Antialiased(), grey) << int(quality);
    }
}

TEST(FontRealize, RealisationsAndGlyphsAreShared) {
    const ChosenFace face = Choose(kDejaVuSans);
    const auto first = RealizeFont(face, Em(20));
    EXPECT_EQ(RealizeFont(face, Em(20)), first);
    EXPECT_NE(RealizeFont(face, Em(21)), first);
    ChosenFace bold = face;
    bold.simulateBold = true;
    EXPECT_NE(RealizeFont(bold, Em(20)), first);
    const HGLYPH a = first->GlyphIndex(u'a');
    EXPECT_EQ(first->Bitmap(a, false), first->Bitmap(a, false));
    EXPECT_EQ(first->Outline(a), first->Outline(a));

    // The realisations kept are few: many others push the first out.
    for (LONG em = 30; em < 60; ++em) ASSERT_TRUE(RealizeFont(face, Em(em)));
    EXPECT_NE(RealizeFont(face, Em(20)), first);
}

TEST(FontRealize, GlyphCacheIsBounded) {
    const auto font = RealizedFont::Create(Choose(kMicroHei), Em(8));
    ASSERT_TRUE(font);
    const HGLYPH first = font->GlyphIndex(u'\u4e00');
    const auto kept = font->Bitmap(first, true);
    ASSERT_TRUE(kept);
    for (char16_t ch = 0x4e01; ch < 0x4e01 + 3000; ++ch) ASSERT_TRUE(font->Bitmap(font->GlyphIndex(ch), true));
    const auto again = font->Bitmap(first, true);
    EXPECT_NE(again, kept);  // made again: the cache let it go
    EXPECT_EQ(again->bits, kept->bits);
}

TEST(FontRealize, ThreadsShareAFont) {
    const auto font = RealizeFont(Choose(kDejaVuSans), Em(17));
    std::vector<std::shared_ptr<const GlyphBitmap>> expected;
    for (char16_t ch = u'A'; ch <= u'z'; ++ch) expected.push_back(font->Bitmap(font->GlyphIndex(ch), false));
    const auto fresh = RealizedFont::Create(font->Face(), font->Request());
    std::vector<std::thread> threads;
    std::atomic<int> mismatches{0};
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&] {
            for (char16_t ch = u'A'; ch <= u'z'; ++ch) {
                const auto b = fresh->Bitmap(fresh->GlyphIndex(ch), false);
                if (!b || b->bits != expected[ch - u'A']->bits) ++mismatches;
                fresh->Glyph(fresh->GlyphIndex(ch));
            }
        });
    for (auto& thread : threads) thread.join();
    EXPECT_EQ(mismatches, 0);
}

// --- Sizes and input it refuses --------------------------------------------------------

TEST(FontRealize, DefaultTinyAndHugeSizes) {
    const ChosenFace face = Choose(kDejaVuSans);
    FontRealizationRequest request;
    request.height = 0;
    const auto standard = RealizeFont(face, request);
    ASSERT_TRUE(standard);
    EXPECT_EQ(standard->Metrics().em, kDefaultFontEm);

    request.height = 1;
    const auto tiny = RealizeFont(face, request);
    ASSERT_TRUE(tiny);
    EXPECT_EQ(tiny->Metrics().em, 1);
    EXPECT_EQ(tiny->Metrics().height, 1);
    EXPECT_TRUE(tiny->Bitmap(tiny->GlyphIndex(u'W'), false));

    const auto huge = RealizeFont(face, Em(100000));
    ASSERT_TRUE(huge);
    Reference ref(kDejaVuSans, 10);
    const FontMetrics& m = huge->Metrics();
    EXPECT_EQ(m.em, 100000);
    EXPECT_EQ(m.ascent, std::lround(ref.Os2().usWinAscent * 100000.0 / ref->units_per_EM));
    EXPECT_EQ(m.descent, std::lround(ref.Os2().usWinDescent * 100000.0 / ref->units_per_EM));
    const HGLYPH w = huge->GlyphIndex(u'W');
    FT_Fixed unscaled = 0;
    ASSERT_EQ(FT_Load_Glyph(ref.get(), FT_UInt(w), FT_LOAD_NO_SCALE), 0);
    unscaled = ref->glyph->advance.x;
    const auto g = huge->Glyph(w);
    ASSERT_TRUE(g);
    EXPECT_NEAR(g->advance, unscaled * 100000.0 / ref->units_per_EM, 1);
    const auto outline = huge->Outline(w);
    ASSERT_TRUE(outline);
    EXPECT_FALSE(outline->verbs.empty());
    SetLastError(0);
    EXPECT_FALSE(huge->Bitmap(w, false));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_NOT_ENOUGH_MEMORY));
}

struct RefusedCase {
    const char* name;
    LONG height, width;
    XFORM transform;
    ULONG face;
};
class FontRealizeRefuses : public testing::TestWithParam<RefusedCase> {};

TEST_P(FontRealizeRefuses, WithInvalidParameter) {
    const RefusedCase& c = GetParam();
    ChosenFace face = Choose(kDejaVuSans);
    face.face = c.face;
    FontRealizationRequest request;
    request.height = c.height;
    request.width = c.width;
    request.transform = c.transform;
    SetLastError(0);
    EXPECT_FALSE(RealizeFont(face, request));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
}

const RefusedCase kRefused[] = {
    {"ZeroTransform", -12, 0, {0, 0, 0, 0, 0, 0}, 0},
    {"SingularTransform", -12, 0, {1, 2, 2, 4, 0, 0}, 0},
    {"FlatTransform", -12, 0, {1, 0, 0, 0, 0, 0}, 0},
    {"NotANumber", -12, 0, {__builtin_nanf(""), 0, 0, 1, 0, 0}, 0},
    {"Infinite", -12, 0, {1, 0, 0, __builtin_inff(), 0, 0}, 0},
    {"HeightBeyondLargest", INT_MIN, 0, kIdentity, 0},
    {"WidthBeyondLargest", -12, INT_MAX, kIdentity, 0},
    {"FaceNotInFile", -12, 0, kIdentity, 1},
};
INSTANTIATE_TEST_SUITE_P(All, FontRealizeRefuses, testing::ValuesIn(kRefused),
                         [](const testing::TestParamInfo<RefusedCase>& info) { return info.param.name; });

TEST(FontRealize, UnknownGlyphsAndMissingCharacters) {
    const auto font = RealizeFont(Choose(kDejaVuSans), Em(12));
    ASSERT_TRUE(font);
    for (const HGLYPH bad : {HGLYPH(font->GlyphCount()), HGLYPH(0xFFFFFFFF)}) {
        SetLastError(0);
        EXPECT_FALSE(font->Glyph(bad));
        EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
        EXPECT_FALSE(font->Bitmap(bad, false));
        EXPECT_FALSE(font->Outline(bad));
    }
    bool present = true;
    EXPECT_EQ(font->GlyphIndex(u'\u4e2d', &present), 0u);  // DejaVu has no CJK: the default glyph
    EXPECT_FALSE(present);
    EXPECT_TRUE(font->Glyph(0));

    SetLastError(0);
    EXPECT_FALSE(RealizeFont(ChosenFace{}, Em(12)));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
}

}  // namespace
}  // namespace w32
