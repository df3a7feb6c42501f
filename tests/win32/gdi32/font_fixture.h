// The font tests' fixture: DCs of the three kinds that measure text (a
// memory DC of the 96 dpi screen, a printer DC and an information context
// of the test driver at 600 dpi) with a font selected, and FreeType opened
// on the host's font file as the independent oracle of what GDI reports.
#pragma once
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_ADVANCES_H
#include FT_TRUETYPE_TABLES_H
#include <gtest/gtest.h>
#include <windows.h>

#include <cmath>
#include <string>
#include <vector>

#include "win32/win32k/engine_fixture.h"

namespace tam::test {

inline constexpr char kDejaVuSans[] = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
inline constexpr char kLiberationSans[] = "/usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf";
inline constexpr char kMicroHei[] = "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc";

enum class DcKind { Memory, Printer, Information };

inline const char* DcKindName(DcKind kind) {
    switch (kind) {
        case DcKind::Memory: return "Memory";
        case DcKind::Printer: return "Printer";
        default: return "Information";
    }
}

// A face of a host font file at a pixel em, hinted as GDI hints for
// one-bit output: the face's own instructions, never the auto-hinter.
class FtFace {
public:
    static constexpr FT_Int32 kMonoLoad = FT_LOAD_NO_BITMAP | FT_LOAD_NO_AUTOHINT | FT_LOAD_TARGET_MONO;

    FtFace(const char* path, FT_UInt em, FT_Long index = 0) : em_(em) {
        EXPECT_EQ(FT_Init_FreeType(&library_), 0);
        EXPECT_EQ(FT_New_Face(library_, path, index, &face_), 0) << path;
        EXPECT_EQ(FT_Set_Pixel_Sizes(face_, 0, em), 0);
    }
    ~FtFace() {
        FT_Done_Face(face_);
        FT_Done_FreeType(library_);
    }
    FtFace(const FtFace&) = delete;
    FtFace& operator=(const FtFace&) = delete;

    FT_Face operator->() const { return face_; }
    FT_Face get() const { return face_; }
    LONG em() const { return LONG(em_); }
    const TT_OS2& Os2() const { return *static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face_, FT_SFNT_OS2)); }
    // Font units at this em, rounded to whole pixels.
    LONG Scaled(double units) const { return LONG(std::lround(units * em_ / face_->units_per_EM)); }
    LONG Ascent() const { return Scaled(Os2().usWinAscent); }
    LONG Descent() const { return Scaled(Os2().usWinDescent); }

    FT_UInt GlyphOf(FT_ULong ch) const { return FT_Get_Char_Index(face_, ch); }
    // The hinted glyph in the face's slot.
    FT_GlyphSlot Load(FT_UInt glyph) const {
        EXPECT_EQ(FT_Load_Glyph(face_, glyph, kMonoLoad), 0);
        return face_->glyph;
    }
    LONG Advance(FT_ULong ch) const { return LONG((Load(GlyphOf(ch))->advance.x + 32) >> 6); }
    LONG Extent(const std::u16string& text) const {
        LONG sum = 0;
        for (const char16_t ch : text) sum += Advance(ch);
        return sum;
    }
    FT_GlyphSlot Render(FT_ULong ch, FT_Render_Mode mode) const {
        FT_GlyphSlot slot = Load(GlyphOf(ch));
        EXPECT_EQ(FT_Render_Glyph(slot, mode), 0);
        return slot;
    }
    // A table of the face as FreeType reads it from the file.
    std::vector<BYTE> Table(FT_ULong tag) const {
        FT_ULong length = 0;
        EXPECT_EQ(FT_Load_Sfnt_Table(face_, tag, 0, nullptr, &length), 0);
        std::vector<BYTE> bytes(length);
        EXPECT_EQ(FT_Load_Sfnt_Table(face_, tag, 0, bytes.data(), &length), 0);
        return bytes;
    }

private:
    FT_UInt em_;
    FT_Library library_ = nullptr;
    FT_Face face_ = nullptr;
};

class FontTest : public EngineTest {
protected:
    void TearDown() override {
        for (HDC dc : dcs_) DeleteDC(dc);
        for (HGDIOBJ font : fonts_) DeleteObject(font);
        EngineTest::TearDown();
    }

    // A new DC of the kind, kept until the test ends.
    HDC MakeDC(DcKind kind) {
        HDC dc = nullptr;
        if (kind == DcKind::Memory) {
            dc = CreateCompatibleDC(nullptr);
        } else {
            if (!printerInstalled_) InstallFakePrinter();
            printerInstalled_ = true;
            dc = kind == DcKind::Printer ? CreateDCW(nullptr, kFakePrinter, nullptr, nullptr)
                                         : CreateICW(nullptr, kFakePrinter, nullptr, nullptr);
        }
        EXPECT_NE(dc, nullptr) << GetLastError();
        dcs_.push_back(dc);
        return dc;
    }
    static LONG Dpi(DcKind kind) { return kind == DcKind::Memory ? 96 : 600; }

    // Selects a new font of this face and height into the DC; the font is
    // kept until the test ends.
    HFONT Use(HDC dc, const char16_t* face, LONG height, LONG weight = FW_NORMAL, BYTE italic = 0) {
        LOGFONTW lf{};
        lf.lfHeight = height;
        lf.lfWeight = weight;
        lf.lfItalic = italic;
        for (int i = 0; face[i] && i < LF_FACESIZE - 1; ++i) lf.lfFaceName[i] = face[i];
        return Use(dc, lf);
    }
    HFONT Use(HDC dc, const LOGFONTW& lf) {
        HFONT font = CreateFontIndirectW(&lf);
        EXPECT_NE(font, nullptr);
        fonts_.push_back(font);
        SelectObject(dc, font);
        return font;
    }

    // A memory DC with the face at an em of `em` pixels.
    HDC MemoryDCWith(const char16_t* face, LONG em) {
        HDC dc = MakeDC(DcKind::Memory);
        Use(dc, face, -em);
        return dc;
    }

private:
    std::vector<HDC> dcs_;
    std::vector<HGDIOBJ> fonts_;
    bool printerInstalled_ = false;
};

}  // namespace tam::test
