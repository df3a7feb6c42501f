// The engine's font and string objects for tests of font downloads: a
// FONTOBJ of an installed face (or of font bytes a test made), a STROBJ of a
// string laid out in it, and FreeType's reading of the same font file, the
// oracle for what the driver reads from it.
#pragma once
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H
#include FT_TRUETYPE_TAGS_H
#include <gtest/gtest.h>
#include <windows.h>
#include <winddi.h>

#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "win32/win32k/text_fixture.h"
#include "win32k/fontobj.h"

namespace tam::test {

inline const std::string kWqyCollectionFile = kFontFolder + "wqy/wqy-microhei.ttc";

inline std::vector<BYTE> ReadHostFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<BYTE>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A FONTOBJ at 600 dpi with the strings laid out in it.
class TestFontObject {
public:
    explicit TestFontObject(std::shared_ptr<const w32::RealizedFont> font)
        : font_(std::move(font)), object_(std::make_unique<w32::EngineFont>(font_, SIZE{600, 600})) {}

    // An installed face by name.
    static std::unique_ptr<TestFontObject> OfFace(std::u16string face, LONG height = -100) {
        FontAsk ask;
        ask.face = std::move(face);
        ask.height = height;
        auto font = RealizedTestFont(ask);
        return font ? std::make_unique<TestFontObject>(font) : nullptr;
    }

    // Face 0 of font bytes the test made; null when the engine refuses them.
    static std::unique_ptr<TestFontObject> OfBytes(std::vector<BYTE> bytes, std::u16string faceName) {
        DWORD error = 0;
        auto file = w32::FontFile::FromBytes(std::move(bytes), &error);
        if (!file) return nullptr;
        w32::ChosenFace chosen;
        chosen.file = file;
        chosen.faceName = std::move(faceName);
        LOGFONTW logFont{};
        logFont.lfHeight = -100;
        auto font = w32::RealizeFont(chosen, w32::FontRealizationRequest::FromLogFont(logFont, XFORM{1, 0, 0, 1, 0, 0},
                                                                                      false));
        return font ? std::make_unique<TestFontObject>(font) : nullptr;
    }

    FONTOBJ* get() const { return object_.get(); }
    const std::shared_ptr<const w32::RealizedFont>& font() const { return font_; }

    // A string of characters at the font's own advances.
    STROBJ* String(std::u16string_view text) {
        return Keep(std::make_unique<w32::TextRun>(LaidOutRun(font_, text, POINTL{300, 300})));
    }
    // A string of characters placed 50 pixels apart, whatever the glyphs
    // (for fonts whose glyphs the engine may not measure).
    STROBJ* SpacedString(std::u16string_view text) {
        auto run = std::make_unique<w32::TextRun>();
        run->font = font_;
        run->characters = text;
        for (size_t i = 0; i < text.size(); ++i) {
            run->glyphs.push_back(font_->GlyphIndex(text[i]));
            run->positions.push_back(POINTL{LONG(300 + 50 * i), 300});
        }
        return Keep(std::move(run));
    }
    // A string of glyph indexes (no characters).
    STROBJ* GlyphString(const std::vector<HGLYPH>& glyphs) {
        auto run = std::make_unique<w32::TextRun>();
        run->font = font_;
        run->glyphs = glyphs;
        run->glyphIndices = true;
        for (size_t i = 0; i < glyphs.size(); ++i) run->positions.push_back(POINTL{LONG(300 + 50 * i), 300});
        return Keep(std::move(run));
    }

private:
    // The layout keeps the run's places, so the run stays as long.
    STROBJ* Keep(std::unique_ptr<w32::TextRun> run) {
        auto layout = std::make_unique<w32::TextLayout>();
        EXPECT_TRUE(layout->Make(*run));
        runs_.push_back(std::move(run));
        layouts_.push_back(std::move(layout));
        strings_.push_back(std::make_unique<w32::EngineStrObj>(*layouts_.back(), *object_, FO_GLYPHBITS, POINTL{0, 0}));
        return strings_.back().get();
    }

    std::shared_ptr<const w32::RealizedFont> font_;
    std::unique_ptr<w32::EngineFont> object_;
    std::vector<std::unique_ptr<w32::TextRun>> runs_;
    std::vector<std::unique_ptr<w32::TextLayout>> layouts_;
    std::vector<std::unique_ptr<w32::EngineStrObj>> strings_;
};

// A font file as FreeType reads it: face `index` of the file.
class FreeTypeFont {
public:
    FreeTypeFont(const std::vector<BYTE>& bytes, FT_Long index) : bytes_(bytes) {
        EXPECT_EQ(FT_Init_FreeType(&library_), 0);
        EXPECT_EQ(FT_New_Memory_Face(library_, bytes_.data(), FT_Long(bytes_.size()), index, &face_), 0);
    }
    ~FreeTypeFont() {
        if (face_) FT_Done_Face(face_);
        FT_Done_FreeType(library_);
    }
    FreeTypeFont(const FreeTypeFont&) = delete;
    FreeTypeFont& operator=(const FreeTypeFont&) = delete;

    FT_Face get() const { return face_; }

    // A whole table; empty when the face has none.
    std::vector<BYTE> Table(const char (&tag)[5]) const {
        const FT_ULong t = FT_MAKE_TAG(tag[0], tag[1], tag[2], tag[3]);
        FT_ULong length = 0;
        if (FT_Load_Sfnt_Table(face_, t, 0, nullptr, &length) != 0) return {};
        std::vector<BYTE> table(length);
        if (length) {
            EXPECT_EQ(FT_Load_Sfnt_Table(face_, t, 0, table.data(), &length), 0);
        }
        return table;
    }

    int IndexToLocFormat() const {
        auto* head = static_cast<TT_Header*>(FT_Get_Sfnt_Table(face_, FT_SFNT_HEAD));
        return head ? head->Index_To_Loc_Format : -1;
    }

    // The outline bytes of a glyph in "glyf", through "loca".
    std::vector<BYTE> GlyphOutline(FT_UInt glyph) const {
        const std::vector<BYTE> loca = Table("loca"), glyf = Table("glyf");
        size_t start = 0, end = 0;
        if (IndexToLocFormat() == 1) {
            start = Be32(loca, 4 * glyph);
            end = Be32(loca, 4 * glyph + 4);
        } else {
            start = 2 * Be16(loca, 2 * glyph);
            end = 2 * Be16(loca, 2 * glyph + 2);
        }
        return std::vector<BYTE>(glyf.begin() + ptrdiff_t(start), glyf.begin() + ptrdiff_t(end));
    }

    // The glyph's advance width (FreeType's) and left side bearing ("hmtx"
    // by the metric count of FreeType's "hhea") in font units.
    std::pair<int, int> Metrics(FT_UInt glyph) const {
        EXPECT_EQ(FT_Load_Glyph(face_, glyph, FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING), 0);
        const int advance = int(face_->glyph->metrics.horiAdvance);
        auto* hhea = static_cast<TT_HoriHeader*>(FT_Get_Sfnt_Table(face_, FT_SFNT_HHEA));
        const size_t longMetrics = hhea ? hhea->number_Of_HMetrics : 0;
        const std::vector<BYTE> hmtx = Table("hmtx");
        const size_t at = glyph < longMetrics ? 4 * glyph + 2 : 4 * longMetrics + 2 * (glyph - longMetrics);
        return {advance, int(int16_t(Be16(hmtx, at)))};
    }

    static size_t Be16(const std::vector<BYTE>& b, size_t at) { return size_t(b.at(at) << 8 | b.at(at + 1)); }
    static size_t Be32(const std::vector<BYTE>& b, size_t at) { return Be16(b, at) << 16 | Be16(b, at + 2); }

private:
    std::vector<BYTE> bytes_;
    FT_Library library_ = nullptr;
    FT_Face face_ = nullptr;
};

}  // namespace tam::test
