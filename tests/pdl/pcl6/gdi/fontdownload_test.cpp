// Font downloads: the bitmap font header and the bitmaps of a string's
// glyphs, by their bytes and through the job decoder.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <functional>
#include <set>
#include <string>

#include "font_objects.h"
#include "font_job_fixture.h"
#include "pcl6/gdi/fontcache.h"
#include "pcl6/gdi/pjl.h"
#include "pcl6/gdi/text.h"

namespace tam::test {
namespace {

using BitmapFontDownload = JobTest;

TEST_F(BitmapFontDownload, HeaderBytes) {
    struct Case {
        int step;
        const char* resolution;
    };
    const Case cases[] = {{1, "02 58 02 58"}, {2, "04 B0 04 B0"}};
    PDEV* pdev = EnableDefault();
    ASSERT_NE(pdev, nullptr);
    OpenJob(pdev);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.step);
        ASSERT_TRUE(Pxl_DownloadBitmapFontHeader(pdev, "Arial", 103, c.step));
        EXPECT_EQ(HexText(TakeOutput(pdev)),
                  HexText(Hex(std::string("C8 C1 08 00 \"3BMArial\" F8 A8 C0 00 F8 A9 4F "
                                          "C1 12 00 F8 A7 50 FB 12 00 00 00 02 FE 00 03 E8 42 52 00 00 00 04 ") +
                              c.resolution + " C1 06 00 F8 A7 50 FB 06 FF FF 00 00 00 00 51")));
    }
}


class BitmapGlyphs : public FontJobTest {
protected:
    void SetUp() override {
        FontJobTest::SetUp();
        // A string of glyphs: its codes are the UTF-16 values.
        pdev_->Job.Text.TextFlags = TEXTF_UTF16;
        pdev_->Job.Text.TrueTypeText = 0;
    }

    // A bitmap font registered and its header sent, as text output does.
    UINT16 Font(const char* name) {
        UINT16 id = 0;
        EXPECT_TRUE(FontCach_SetCharDown(pdev_, name, 40, 0, 0x80000001u, &id, nullptr, 0));
        EXPECT_TRUE(Pxl_DownloadBitmapFontHeader(pdev_, name, id, 1));
        return id;
    }


    // The engine's bitmap of a glyph.
    static const GLYPHBITS* EngineBits(FONTOBJ* font, HGLYPH glyph) {
        GLYPHDATA* data = nullptr;
        if (FONTOBJ_cGetGlyphs(font, FO_GLYPHBITS, 1, &glyph, reinterpret_cast<PVOID*>(&data)) != 1) return nullptr;
        return data->gdf.pgb;
    }

};

// Each glyph the font lacks goes once, under its character's code, as the
// engine's bitmap: offsets, size and rows; held glyphs are not sent again.
TEST_F(BitmapGlyphs, SentOnceAsTheEngineDrawsThem) {
    auto font = TestFontObject::OfFace(u"DejaVu Sans", -60);
    ASSERT_NE(font, nullptr);
    const std::u16string text = u"Gl\u00e9e \u0416\u20ac!";
    UINT16 id = 0;
    DWORD count = 99;
    Bytes written;
    const job::DecodedJob decoded = InJob(
        [&] {
            id = Font("DejaVu Sans");
            EXPECT_TRUE(Pxl_DownloadBitmapGlyphs(pdev_, "DejaVu Sans", id, font->get(), font->String(text), &count));
        },
        &written);
    EXPECT_TRUE(decoded.Ok()) << Problems(decoded);
    const std::set<char16_t> distinct(text.begin(), text.end());
    EXPECT_EQ(count, distinct.size());
    // BeginChar and the first character's CharCode: its UTF-16 value as a uint16.
    const Bytes begin = Hex("C8 C1 0E 00 \"0BMDejaVu Sans\" F8 A8 52 C1 47 00 F8 A2");
    EXPECT_NE(std::search(written.begin(), written.end(), begin.begin(), begin.end()), written.end());
    // U+00E9 likewise: C1 E9 00 F8 A2.
    const Bytes eAcute = Hex("C1 E9 00 F8 A2 C1");
    EXPECT_NE(std::search(written.begin(), written.end(), eAcute.begin(), eAcute.end()), written.end());
    ASSERT_EQ(decoded.fonts.size(), 1u);
    const job::Font& downloaded = decoded.fonts[0];
    EXPECT_EQ(downloaded.glyphs.size(), distinct.size());
    for (const char16_t ch : distinct) {
        SCOPED_TRACE(int(ch));
        const job::Glyph* glyph = downloaded.Find(ch);
        ASSERT_NE(glyph, nullptr);
        const GLYPHBITS* bits = EngineBits(font->get(), font->font()->GlyphIndex(ch));
        ASSERT_NE(bits, nullptr);
        EXPECT_EQ(glyph->format, 0);
        EXPECT_EQ(glyph->left, bits->ptlOrigin.x);
        EXPECT_EQ(glyph->top, -bits->ptlOrigin.y);
        EXPECT_EQ(glyph->width, bits->sizlBitmap.cx);
        EXPECT_EQ(glyph->height, bits->sizlBitmap.cy);
        const size_t size = size_t(bits->sizlBitmap.cx + 7) / 8 * size_t(bits->sizlBitmap.cy);
        EXPECT_EQ(glyph->body, std::vector<BYTE>(bits->aj, bits->aj + size));
        EXPECT_EQ(decoded.ops[glyph->op].Int("CharDataSize"), int64_t(size + 10));
        UINT16 code = 0;
        ASSERT_TRUE(Tx_CharCode(pdev_, ch, &code));
        EXPECT_TRUE(FontCach_IsCharDown(pdev_, id, code));
    }
    // A second string of the same characters sends nothing at all.
    count = 99;
    EXPECT_TRUE(Pxl_DownloadBitmapGlyphs(pdev_, "DejaVu Sans", id, font->get(), font->String(u"eGl\u00e9"), &count));
    EXPECT_EQ(count, 0u);
    EXPECT_TRUE(TakeOutput(pdev_).empty());
}

// A glyph bitmap 9 pixels wide and 12 high is 12 rows of 2 bytes,
// CharDataSize 34.
TEST_F(BitmapGlyphs, NinePixelsWideTwelveHigh) {
    // A character and a size at which the engine draws it 9 by 12.
    std::unique_ptr<TestFontObject> font;
    char16_t found = 0;
    const std::u16string characters = u"nouvxzaehkbdpqgy0123456789NOUVXZ";
    for (LONG height = -10; height >= -30 && !font; --height) {
        auto candidate = TestFontObject::OfFace(u"DejaVu Sans", height);
        ASSERT_NE(candidate, nullptr);
        for (const char16_t ch : characters) {
            const GLYPHBITS* bits = EngineBits(candidate->get(), candidate->font()->GlyphIndex(ch));
            if (bits && bits->sizlBitmap.cx == 9 && bits->sizlBitmap.cy == 12) {
                found = ch;
                font = std::move(candidate);
                break;
            }
        }
    }
    ASSERT_NE(font, nullptr) << "no size draws a character 9 by 12";
    const UINT16 id = Font("F");
    TakeOutput(pdev_);
    DWORD count = 0;
    EXPECT_TRUE(Pxl_DownloadBitmapGlyphs(pdev_, "F", id, font->get(), font->String(std::u16string(1, found)), &count));
    EXPECT_EQ(count, 1u);
    const Bytes written = TakeOutput(pdev_);
    const Bytes start = Hex("C8 C1 04 00 \"0BMF\" F8 A8 52 C1 " + HexText(Bytes{BYTE(found)}) +
                            " 00 F8 A2 C1 22 00 F8 A3 53 FB 22 00 00");
    ASSERT_EQ(written.size(), start.size() + 8 + 24 + 1);
    EXPECT_EQ(HexText(Bytes(written.begin(), written.begin() + ptrdiff_t(start.size()))), HexText(start));
    EXPECT_EQ(HexText(Bytes(written.begin() + ptrdiff_t(start.size()) + 4, written.begin() + ptrdiff_t(start.size()) + 8)),
              "00 09 00 0C");
    EXPECT_EQ(written.back(), 0x54);  // EndChar
}

// A glyph the engine cannot draw (its outline claims 32767 contours) is
// recorded in the font and never sent; the others go.
TEST_F(BitmapGlyphs, GlyphWithoutBitmapIsRecordedNotSent) {
    std::vector<BYTE> bytes = ReadHostFile(kDejaVuSansFile);
    FreeTypeFont reference(bytes, 0);
    const FT_UInt a = FT_Get_Char_Index(reference.get(), u'A');
    size_t loca = 0, glyf = 0;
    for (size_t i = 0; i < size_t(bytes[4] << 8 | bytes[5]); ++i) {
        const BYTE* entry = bytes.data() + 12 + 16 * i;
        if (std::memcmp(entry, "loca", 4) == 0) loca = FreeTypeFont::Be32(bytes, 12 + 16 * i + 8);
        if (std::memcmp(entry, "glyf", 4) == 0) glyf = FreeTypeFont::Be32(bytes, 12 + 16 * i + 8);
    }
    const size_t outline = glyf + FreeTypeFont::Be32(bytes, loca + 4 * a);
    bytes[outline] = 0x7F;
    bytes[outline + 1] = 0xFF;
    auto font = TestFontObject::OfBytes(bytes, u"DejaVu Sans");
    ASSERT_NE(font, nullptr);
    ASSERT_EQ(EngineBits(font->get(), a), nullptr);
    UINT16 id = 0;
    DWORD count = 0;
    const job::DecodedJob decoded = InJob([&] {
        id = Font("D");
        EXPECT_TRUE(Pxl_DownloadBitmapGlyphs(pdev_, "D", id, font->get(), font->SpacedString(u"AB"), &count));
    });
    EXPECT_TRUE(decoded.Ok()) << Problems(decoded);
    EXPECT_EQ(count, 2u);
    ASSERT_EQ(decoded.fonts.size(), 1u);
    ASSERT_EQ(decoded.fonts[0].glyphs.size(), 1u);
    EXPECT_EQ(decoded.fonts[0].glyphs[0].code, u'B');
    UINT16 code = 0;
    ASSERT_TRUE(Tx_CharCode(pdev_, u'A', &code));
    EXPECT_TRUE(FontCach_IsCharDown(pdev_, id, code));
}

}  // namespace
}  // namespace tam::test
