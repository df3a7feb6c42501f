// What the engine's text tests share: a realised font of an installed face
// (the machine's font mapper and realisation, as GDI makes them), a string
// laid out at the font's own advances, and FreeType's own rendering of a
// glyph from the font's file on disk, the oracle for the engine's bitmaps.
#pragma once
#include <ft2build.h>
#include FT_FREETYPE_H
#include <gtest/gtest.h>
#include <windows.h>

#include <cmath>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "win32k/fontmap.h"
#include "win32k/fontrealize.h"
#include "win32k/textout.h"

namespace tam::test {

inline const std::string kFontFolder = "/usr/share/fonts/truetype/";
inline const std::string kDejaVuSansFile = kFontFolder + "dejavu/DejaVuSans.ttf";
inline const std::string kDejaVuSansBoldFile = kFontFolder + "dejavu/DejaVuSans-Bold.ttf";
inline const std::string kDejaVuMonoFile = kFontFolder + "dejavu/DejaVuSansMono.ttf";
inline const std::string kLiberationItalicFile = kFontFolder + "liberation2/LiberationSans-Italic.ttf";

struct FontAsk {
    std::u16string face = u"DejaVu Sans";
    LONG height = -40;  // device pixels, an em when negative
    LONG weight = FW_NORMAL;
    bool italic = false;
    LONG escapement = 0;  // tenths of a degree
    BYTE quality = DEFAULT_QUALITY;
};

// The font GDI would draw a LOGFONT with on a DC that maps logical units to pixels.
inline std::shared_ptr<const w32::RealizedFont> RealizedTestFont(const FontAsk& ask = {}) {
    LOGFONTW logFont{};
    logFont.lfHeight = ask.height;
    logFont.lfWeight = ask.weight;
    logFont.lfItalic = ask.italic;
    logFont.lfEscapement = logFont.lfOrientation = ask.escapement;
    logFont.lfQuality = ask.quality;
    logFont.lfCharSet = ANSI_CHARSET;
    ask.face.copy(logFont.lfFaceName, LF_FACESIZE - 1);
    const w32::ChosenFace chosen = w32::MapFont(logFont);
    auto font =
        w32::RealizeFont(chosen, w32::FontRealizationRequest::FromLogFont(logFont, XFORM{1, 0, 0, 1, 0, 0}, false));
    EXPECT_TRUE(font) << GetLastError();
    return font;
}

// The characters of `text` from `origin` along the font's baseline, each
// glyph one advance after the one before.
inline w32::TextRun LaidOutRun(const std::shared_ptr<const w32::RealizedFont>& font, std::u16string_view text,
                               POINTL origin) {
    w32::TextRun run;
    run.font = font;
    run.characters = text;
    run.defaultPlacement = true;
    double bx, by;
    font->BaselineVector(&bx, &by);
    LONG pen = 0;
    for (const char16_t ch : text) {
        const HGLYPH glyph = font->GlyphIndex(ch);
        run.glyphs.push_back(glyph);
        run.positions.push_back(POINTL{origin.x + LONG(std::lround(pen * bx)), origin.y + LONG(std::lround(pen * by))});
        pen += font->Glyph(glyph)->advance;
    }
    return run;
}

// A glyph as FreeType renders it: one bit a pixel, rows of (width + 7) / 8
// bytes from the top, `left` and `top` the top-left pixel from the
// reference point (y down).
struct ReferenceGlyph {
    LONG left = 0, top = 0, width = 0, rows = 0;
    std::vector<BYTE> bits;

    bool At(LONG x, LONG y) const {
        return bits[size_t(y) * size_t((width + 7) / 8) + size_t(x / 8)] & (0x80 >> (x % 8));
    }
};

// A font file opened by a FreeType library of the test's own, at an em of
// `em` pixels, glyphs loaded as GDI loads monochrome text: the face's own
// hinting, no auto-hinter, no embedded bitmaps.
class ReferenceFace {
public:
    ReferenceFace(const std::string& path, LONG em) {
        EXPECT_EQ(FT_Init_FreeType(&library_), 0);
        EXPECT_EQ(FT_New_Face(library_, path.c_str(), 0, &face_), 0) << path;
        if (face_) {
            EXPECT_EQ(FT_Set_Pixel_Sizes(face_, 0, FT_UInt(em)), 0);
        }
    }
    ~ReferenceFace() {
        if (face_) FT_Done_Face(face_);
        FT_Done_FreeType(library_);
    }
    ReferenceFace(const ReferenceFace&) = delete;
    ReferenceFace& operator=(const ReferenceFace&) = delete;

    FT_Face get() const { return face_; }

    // The hinted outline in the slot, 26.6, y up.
    FT_Outline& Load(FT_UInt glyph) const {
        EXPECT_EQ(FT_Load_Glyph(face_, glyph, FT_LOAD_NO_BITMAP | FT_LOAD_NO_AUTOHINT | FT_LOAD_TARGET_MONO), 0);
        return face_->glyph->outline;
    }

    ReferenceGlyph Render(FT_UInt glyph) const {
        Load(glyph);
        EXPECT_EQ(FT_Render_Glyph(face_->glyph, FT_RENDER_MODE_MONO), 0);
        const FT_Bitmap& b = face_->glyph->bitmap;
        ReferenceGlyph out{face_->glyph->bitmap_left, -face_->glyph->bitmap_top, LONG(b.width), LONG(b.rows), {}};
        const size_t rowBytes = (b.width + 7) / 8;
        for (unsigned row = 0; row < b.rows; ++row)
            out.bits.insert(out.bits.end(), b.buffer + ptrdiff_t(row) * b.pitch,
                            b.buffer + ptrdiff_t(row) * b.pitch + ptrdiff_t(rowBytes));
        return out;
    }

private:
    FT_Library library_ = nullptr;
    FT_Face face_ = nullptr;
};

}  // namespace tam::test
