// The engine drawing text itself (EngTextOut, through DrawTextOut on a
// memory DC's bitmap): every pixel of the bitmap against the page built by
// hand from FreeType's renderings of the same glyphs at the places given,
// with the clip, the opaque rectangle and the extra rectangles.
#include <gtest/gtest.h>

#include <functional>

#include "support/machine_fixture.h"
#include "win32/win32k/text_fixture.h"
#include "win32k/ddiobj.h"
#include "win32k/fontobj.h"
#include "win32k/textout.h"

namespace {

using tam::test::MachineTest;

constexpr LONG kWidth = 400, kHeight = 120;
constexpr COLORREF kWhite = RGB(255, 255, 255);

bool Inside(const std::vector<RECTL>& rects, LONG x, LONG y) {
    for (const RECTL& r : rects)
        if (x >= r.left && x < r.right && y >= r.top && y < r.bottom) return true;
    return false;
}

class EngText : public MachineTest {
protected:
    void SetUp() override {
        MachineTest::SetUp();
        handle_ = EngCreateBitmap(SIZEL{kWidth, kHeight}, 0, BMF_24BPP, BMF_TOPDOWN, nullptr);
        surface_ = w32::LookupSurface(reinterpret_cast<HSURF>(handle_));
        RECTL all{0, 0, kWidth, kHeight};
        EngEraseSurface(&surface_->so, &all, 0xFFFFFF);
        dc_.target.surface = surface_;
        dc_.textColor = RGB(0, 0, 128);
        dc_.bkColor = RGB(255, 255, 0);
    }
    void TearDown() override {
        EngDeleteSurface(reinterpret_cast<HSURF>(handle_));
        MachineTest::TearDown();
    }

    COLORREF At(LONG x, LONG y) const {
        const BYTE* p = static_cast<const BYTE*>(surface_->so.pvScan0) + y * surface_->so.lDelta + 3 * x;
        return RGB(p[2], p[1], p[0]);
    }

    // The first pixel that differs from `expected`; "" when none does.
    std::string Differences(const std::function<COLORREF(LONG, LONG)>& expected) const {
        for (LONG y = 0; y < kHeight; ++y)
            for (LONG x = 0; x < kWidth; ++x)
                if (At(x, y) != expected(x, y)) {
                    char text[96];
                    std::snprintf(text, sizeof(text), "at %ld,%ld: %06lx, expected %06lx", long(x), long(y),
                                  (unsigned long)At(x, y), (unsigned long)expected(x, y));
                    return text;
                }
        return "";
    }

    HBITMAP handle_ = nullptr;
    std::shared_ptr<w32::EngineSurface> surface_;
    w32::DrawContext dc_;
};

struct PlacementCase {
    const char* name;
    std::vector<RECTL> clip;  // none when empty
    std::optional<RECTL> opaque;
    std::vector<RECTL> extras;
};
void PrintTo(const PlacementCase& c, std::ostream* out) { *out << c.name; }
const PlacementCase kPlacements[] = {
    {"Unclipped", {}, {}, {}},
    {"ClippedByARectangle", {{40, 0, 150, kHeight}}, {}, {}},
    {"ClippedByARegion", {{0, 0, 60, 50}, {0, 50, 400, 58}, {100, 58, 130, 120}, {160, 58, 400, 120}}, {}, {}},
    {"OpaqueAndExtras", {{0, 0, 60, 50}, {0, 50, 400, 58}, {100, 58, 130, 120}, {160, 58, 400, 120}},
     RECTL{10, 20, 380, 90}, {{15, 70, 300, 72}, {15, 45, 300, 47}}},
};

class EngTextPlacement : public EngText, public testing::WithParamInterface<PlacementCase> {};

// Glyph pixels land where the glyph's bitmap, put at its place, sets them,
// and only inside the clip; the opaque rectangle is the background colour
// under them, the extra rectangles the text colour over them.
TEST_P(EngTextPlacement, PixelsAreTheGlyphsAtTheirPlaces) {
    const PlacementCase& c = GetParam();
    const auto font = tam::test::RealizedTestFont();
    w32::TextRun run = tam::test::LaidOutRun(font, u"Wave& gjy!", POINTL{20, 60});
    run.opaque = c.opaque;
    run.extras = c.extras;
    if (!c.clip.empty()) dc_.clip = w32::Region::FromRects(c.clip);
    ASSERT_TRUE(w32::DrawTextOut(dc_, run)) << GetLastError();

    tam::test::ReferenceFace ref(tam::test::kDejaVuSansFile, font->Metrics().em);
    std::vector<bool> ink(size_t(kWidth) * kHeight, false);
    for (size_t i = 0; i < run.glyphs.size(); ++i) {
        const tam::test::ReferenceGlyph glyph = ref.Render(run.glyphs[i]);
        for (LONG y = 0; y < glyph.rows; ++y)
            for (LONG x = 0; x < glyph.width; ++x) {
                const LONG px = run.positions[i].x + glyph.left + x, py = run.positions[i].y + glyph.top + y;
                if (glyph.At(x, y) && px >= 0 && py >= 0 && px < kWidth && py < kHeight)
                    ink[size_t(py) * kWidth + px] = true;
            }
    }
    const std::string differences = Differences([&](LONG x, LONG y) {
        if (!c.clip.empty() && !Inside(c.clip, x, y)) return kWhite;
        if (Inside(c.extras, x, y) || ink[size_t(y) * kWidth + x]) return dc_.textColor;
        if (c.opaque && Inside({*c.opaque}, x, y)) return dc_.bkColor;
        return kWhite;
    });
    EXPECT_EQ(differences, "");
}
INSTANTIATE_TEST_SUITE_P(All, EngTextPlacement, testing::ValuesIn(kPlacements),
                         [](const auto& info) { return std::string(info.param.name); });

// A smoothed font blends the text colour over the destination by the
// glyph's coverage: black over white leaves 255 less the coverage.
TEST_F(EngText, SmoothedGlyphsBlendTheirCoverage) {
    const auto font = tam::test::RealizedTestFont({.quality = ANTIALIASED_QUALITY});
    dc_.textColor = RGB(0, 0, 0);
    w32::TextRun run;
    run.font = font;
    run.characters = u"Sg";
    run.glyphs = {font->GlyphIndex(u'S'), font->GlyphIndex(u'g')};
    run.positions = {POINTL{20, 60}, POINTL{120, 60}};  // far enough apart not to touch
    ASSERT_TRUE(w32::DrawTextOut(dc_, run));

    tam::test::ReferenceFace ref(tam::test::kDejaVuSansFile, font->Metrics().em);
    std::vector<BYTE> coverage(size_t(kWidth) * kHeight, 0);
    for (size_t i = 0; i < run.glyphs.size(); ++i) {
        ref.Load(run.glyphs[i]);
        ASSERT_EQ(FT_Render_Glyph(ref.get()->glyph, FT_RENDER_MODE_NORMAL), 0);
        const FT_GlyphSlot slot = ref.get()->glyph;
        for (unsigned y = 0; y < slot->bitmap.rows; ++y)
            for (unsigned x = 0; x < slot->bitmap.width; ++x) {
                const LONG px = run.positions[i].x + slot->bitmap_left + LONG(x);
                const LONG py = run.positions[i].y - slot->bitmap_top + LONG(y);
                coverage[size_t(py) * kWidth + px] = slot->bitmap.buffer[y * slot->bitmap.pitch + x];
            }
    }
    EXPECT_EQ(Differences([&](LONG x, LONG y) {
                  const BYTE v = BYTE(255 - coverage[size_t(y) * kWidth + x]);
                  return RGB(v, v, v);
              }),
              "");
}

// A million glyphs, among them handles the font does not have (drawn as
// its default glyph), draw in one call.
TEST_F(EngText, AMillionGlyphsDraw) {
    const auto font = tam::test::RealizedTestFont({.height = -8});
    w32::TextRun run;
    run.font = font;
    run.glyphIndices = true;
    const HGLYPH glyphs[] = {font->GlyphIndex(u'x'), 0xFFFFFFFF, font->GlyphIndex(u'o')};
    for (LONG i = 0; i < 1000000; ++i) {
        run.glyphs.push_back(glyphs[i % 3]);
        run.positions.push_back(POINTL{(i % 80) * 5, 10 + (i / 80) % 12 * 10});
    }
    ASSERT_TRUE(w32::DrawTextOut(dc_, run));
    size_t inked = 0;
    for (LONG y = 0; y < kHeight; ++y)
        for (LONG x = 0; x < kWidth; ++x) inked += At(x, y) != kWhite;
    EXPECT_GT(inked, 0u);
}

TEST_F(EngText, BadCallsFail) {
    const auto font = tam::test::RealizedTestFont();
    w32::TextRun run = tam::test::LaidOutRun(font, u"ok", POINTL{10, 60});
    w32::TextLayout layout;
    ASSERT_TRUE(layout.Make(run));
    w32::EngineFont& fo = w32::FontObjectFor(nullptr, font);
    w32::EngineStrObj string(layout, fo, FO_HGLYPHS, POINTL{0, 0});
    BRUSHOBJ black{0, nullptr, 0};
    FONTOBJ foreign{};
    const struct {
        SURFOBJ* surface;
        STROBJ* string;
        FONTOBJ* font;
        BRUSHOBJ* fore;
        DWORD error;
    } cases[] = {
        {nullptr, &string, &fo, &black, ERROR_INVALID_PARAMETER},
        {&surface_->so, nullptr, &fo, &black, ERROR_INVALID_PARAMETER},
        {&surface_->so, &string, &foreign, &black, ERROR_INVALID_PARAMETER},
        {&surface_->so, &string, &fo, nullptr, ERROR_INVALID_PARAMETER},
    };
    for (const auto& c : cases) {
        SetLastError(0);
        EXPECT_FALSE(
            EngTextOut(c.surface, c.string, c.font, nullptr, nullptr, nullptr, c.fore, nullptr, nullptr, 0x0D0D));
        EXPECT_EQ(GetLastError(), c.error);
    }
    SetLastError(0);
    EXPECT_FALSE(EngTextOut(&surface_->so, &string, &fo, nullptr, nullptr, nullptr, &black, nullptr, nullptr, 0x0D00));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    EXPECT_TRUE(EngTextOut(&surface_->so, &string, &fo, nullptr, nullptr, nullptr, &black, nullptr, nullptr, 0x0D0D));
}

}  // namespace
