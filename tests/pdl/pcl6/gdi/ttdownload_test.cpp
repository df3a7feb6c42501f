// Downloaded TrueType fonts: the font header and the glyphs of strings,
// decoded from the job and compared with FreeType's reading of the font
// file; fonts that fill; damaged fonts that leave the stream untouched.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "font_objects.h"
#include "font_job_fixture.h"
#include "pcl6/gdi/fontcache.h"
#include "pcl6/gdi/pjl.h"

namespace tam::test {
namespace {

size_t Round4(size_t n) { return (n + 3) & ~size_t(3); }

class TrueTypeDownload : public FontJobTest {
protected:


    // The font's header downloaded and the font registered as text output
    // does (the TrueType-text flag set, its header values as user data).
    UINT16 Download(FONTOBJ* font, const char* name, UINT16* locFormat, UINT16* glyphCount) {
        TrueType_FindCollectionIndex(pdev_, font);
        const UINT16 id = FontCach_NextId(pdev_);
        EXPECT_TRUE(Pxl_DownloadTrueTypeHeader(pdev_, font, locFormat, glyphCount, name, id));
        pdev_->Job.Text.TrueTypeText = 1;
        UINT16 registered = 0;
        const UINT16 data[2] = {*locFormat, *glyphCount};
        EXPECT_TRUE(FontCach_SetCharDown(pdev_, name, 0, 0, 1, &registered, data, sizeof(data)));
        EXPECT_EQ(registered, id);
        return id;
    }

    // The components of a composite glyph, depth first.
    static bool Components(const FreeTypeFont& reference, FT_UInt glyph, int depth, std::vector<FT_Int>& out) {
        if (depth > 8 || FT_Load_Glyph(reference.get(), glyph, FT_LOAD_NO_SCALE | FT_LOAD_NO_RECURSE) != 0)
            return false;
        const FT_GlyphSlot slot = reference.get()->glyph;
        if (slot->format != FT_GLYPH_FORMAT_COMPOSITE) return true;
        std::vector<FT_Int> direct;
        for (FT_UInt s = 0; s < slot->num_subglyphs; ++s) {
            FT_Int index = 0, arg1 = 0, arg2 = 0;
            FT_UInt flags = 0;
            FT_Matrix matrix;
            if (FT_Get_SubGlyph_Info(slot, s, &index, &flags, &arg1, &arg2, &matrix) != 0) return false;
            direct.push_back(index);
        }
        for (const FT_Int index : direct) {
            out.push_back(index);
            if (!Components(reference, FT_UInt(index), depth + 1, out)) return false;
        }
        return true;
    }

    // Every glyph of the decoded font is the font file's: the outline
    // bytes, the glyph index, the metrics; a composite glyph is followed by
    // its components (code 0xFFFF). `expected` gives the glyph index each
    // printer code stands for.
    // The space (`spaceCode`) goes as glyph 3 without an outline.
    static void ExpectFileGlyphs(const job::Font& font, const FreeTypeFont& reference,
                                 const std::map<uint32_t, FT_UInt>& expected, uint32_t spaceCode = 0) {
        std::set<uint32_t> codes;
        for (size_t i = 0; i < font.glyphs.size(); ++i) {
            const job::Glyph& g = font.glyphs[i];
            SCOPED_TRACE("code " + std::to_string(g.code) + ", glyph " + std::to_string(g.glyphId));
            EXPECT_EQ(g.format, 1);
            EXPECT_EQ(g.charClass, 1);
            if (g.code != 0xFFFF) {
                codes.insert(g.code);
                ASSERT_TRUE(expected.contains(g.code));
                EXPECT_EQ(g.glyphId, expected.at(g.code));
                if (g.code == spaceCode) {
                    EXPECT_TRUE(g.body.empty());
                    EXPECT_EQ(g.advanceWidth, 0);
                    continue;
                }
            }
            const std::vector<BYTE> outline = reference.GlyphOutline(g.glyphId);
            EXPECT_EQ(g.body, outline);
            if (outline.empty()) {
                EXPECT_EQ(g.advanceWidth, 0);
                EXPECT_EQ(g.leftSideBearing, 0);
                continue;
            }
            const auto [advance, lsb] = reference.Metrics(g.glyphId);
            EXPECT_EQ(g.advanceWidth, advance);
            EXPECT_EQ(g.leftSideBearing, lsb);
            // The components, as FreeType finds them, follow in order, each
            // with its own components behind it.
            std::vector<FT_Int> components;
            ASSERT_TRUE(Components(reference, g.glyphId, 0, components));
            ASSERT_LE(i + 1 + components.size(), font.glyphs.size());
            for (size_t s = 0; s < components.size(); ++s) {
                EXPECT_EQ(font.glyphs[i + 1 + s].code, 0xFFFFu);
                EXPECT_EQ(font.glyphs[i + 1 + s].glyphId, components[s]);
            }
        }
        EXPECT_EQ(codes.size(), expected.size());
    }

};

TEST_F(TrueTypeDownload, HeaderCarriesTheGlobalTables) {
    auto font = TestFontObject::OfFace(u"DejaVu Sans");
    ASSERT_NE(font, nullptr);
    const std::vector<BYTE> file = ReadHostFile(kDejaVuSansFile);
    FreeTypeFont reference(file, 0);
    UINT16 locFormat = 9, glyphCount = 0;
    Bytes written;
    const job::DecodedJob decoded = InJob(
        [&] {
            TrueType_FindCollectionIndex(pdev_, font->get());
            ASSERT_TRUE(Pxl_DownloadTrueTypeHeader(pdev_, font->get(), &locFormat, &glyphCount, "DejaVu Sans", 100));
        },
        &written);
    EXPECT_TRUE(decoded.Ok()) << Problems(decoded);
    EXPECT_EQ(locFormat, reference.IndexToLocFormat());
    EXPECT_EQ(glyphCount, reference.get()->num_glyphs);

    const char* const tags[6] = {"cvt ", "fpgm", "gdir", "head", "maxp", "prep"};
    size_t segment = 12 + 96;
    for (const char* tag : tags) {
        char t[5];
        std::memcpy(t, tag, 5);
        segment += Round4(reference.Table(reinterpret_cast<const char(&)[5]>(t)).size());
    }
    const std::string start =
        "C8 C1 0E 00 \"0TTDejaVu Sans\" F8 A8 C0 00 F8 A9 4F C1 08 00 F8 A7 50 FB 08 00 00 00 02 01 00 03 E8 "
        "C1 06 00 F8 A7 50 FB 06 \"GT\" " +
        HexText(Bytes{BYTE(segment >> 24), BYTE(segment >> 16), BYTE(segment >> 8), BYTE(segment)}) +
        " C1 0C 00 F8 A7 50 FB 0C \"ttcf\" 00 06 00 40 00 02 00 20 C1 60 00 F8 A7 50 FB 60";
    const Bytes head = Hex(start);
    ASSERT_GE(written.size(), head.size());
    EXPECT_EQ(HexText(Bytes(written.begin(), written.begin() + ptrdiff_t(head.size()))), HexText(head));
    const Bytes end = Hex("C1 0C 00 F8 A7 50 FB 0C \"GC\" 00 00 00 06 00 00 FF FF 00 00 "
                          "C1 06 00 F8 A7 50 FB 06 FF FF 00 00 00 00 51");
    EXPECT_EQ(HexText(Bytes(written.end() - ptrdiff_t(end.size()), written.end())), HexText(end));

    // The directory: six entries in order, the first table at 108, "gdir"
    // (which DejaVu lacks) at 0 with no length; each table's bytes padded
    // to four.
    ASSERT_EQ(decoded.fonts.size(), 1u);
    const job::FontHeader& header = decoded.fonts[0].header;
    EXPECT_EQ(header.scaling, 1);
    EXPECT_EQ(header.numberOfChars, 1000);
    const job::FontSegment* gt = header.Segment("GT");
    ASSERT_NE(gt, nullptr);
    EXPECT_EQ(gt->data.size(), segment);
    ASSERT_EQ(header.tables.size(), 6u);
    uint32_t offset = 108;
    for (size_t i = 0; i < 6; ++i) {
        const job::FontTable& t = header.tables[i];
        SCOPED_TRACE(tags[i]);
        EXPECT_EQ(t.tag, tags[i]);
        EXPECT_EQ(t.checksum, 0u);
        char tag[5];
        std::memcpy(tag, tags[i], 5);
        std::vector<BYTE> expected = reference.Table(reinterpret_cast<const char(&)[5]>(tag));
        if (expected.empty()) {
            EXPECT_EQ(t.offset, 0u);
            EXPECT_EQ(t.length, 0u);
            continue;
        }
        expected.resize(Round4(expected.size()), 0);
        EXPECT_EQ(t.offset, offset);
        EXPECT_EQ(t.length, expected.size());
        EXPECT_EQ(std::vector<BYTE>(gt->data.begin() + t.offset, gt->data.begin() + t.offset + t.length), expected);
        offset += t.length;
    }
    EXPECT_EQ(header.tables[2].length, 0u);  // "gdir"
}

// A table longer than a FontHeaderLength can count goes in several blocks.
TEST_F(TrueTypeDownload, LongTableGoesInSeveralBlocks) {
    // DejaVu Sans with a "cvt " of 70001 bytes (zero values) at its end.
    std::vector<BYTE> bytes = ReadHostFile(kDejaVuSansFile);
    const size_t tables = size_t(bytes[4] << 8 | bytes[5]);
    const size_t at = bytes.size();
    for (size_t i = 0; i < tables; ++i) {
        BYTE* entry = bytes.data() + 12 + 16 * i;
        if (std::memcmp(entry, "cvt ", 4) != 0) continue;
        const Bytes place = {BYTE(at >> 24), BYTE(at >> 16), BYTE(at >> 8), BYTE(at), 0x00, 0x01, 0x11, 0x71};
        std::copy(place.begin(), place.end(), entry + 8);
    }
    bytes.resize(at + 70001, 0);
    auto font = TestFontObject::OfBytes(bytes, u"DejaVu Sans");
    ASSERT_NE(font, nullptr);
    UINT16 locFormat = 0, glyphCount = 0;
    const job::DecodedJob decoded = InJob([&] {
        ASSERT_TRUE(Pxl_DownloadTrueTypeHeader(pdev_, font->get(), &locFormat, &glyphCount, "Long", 100));
    });
    EXPECT_TRUE(decoded.Ok()) << Problems(decoded);
    std::vector<int64_t> blocks;
    for (const job::Operator* op : decoded.Find("ReadFontHeader")) blocks.push_back(op->Int("FontHeaderLength").value_or(-1));
    // Descriptor, GT, directory header, entries; "cvt " in two blocks; the others.
    ASSERT_GE(blocks.size(), 6u);
    EXPECT_EQ(blocks[4], 0xFFFC);
    EXPECT_EQ(blocks[5], 70004 - 0xFFFC);
    ASSERT_EQ(decoded.fonts.size(), 1u);
    const job::FontTable* cvt = decoded.fonts[0].header.Table("cvt ");
    ASSERT_NE(cvt, nullptr);
    EXPECT_EQ(cvt->offset, 108u);
    EXPECT_EQ(cvt->length, 70004u);
}

struct StringCase {
    const char* name;
    const char16_t* face;
    std::string file;     // read by the engine from the machine, or from bytes
    bool fromBytes;
    std::u16string text;
};

class TrueTypeStrings : public TrueTypeDownload, public testing::WithParamInterface<StringCase> {};

// The glyphs of a string: each one the font lacks goes once, with the next
// printer code, and is the font file's glyph; a second string of the same
// characters sends nothing.
TEST_P(TrueTypeStrings, GlyphsAreTheFileGlyphs) {
    const StringCase& c = GetParam();
    const std::vector<BYTE> file = ReadHostFile(c.file);
    auto font = c.fromBytes ? TestFontObject::OfBytes(file, c.face) : TestFontObject::OfFace(c.face);
    ASSERT_NE(font, nullptr);
    FreeTypeFont reference(file, 0);
    const std::string name = job::Utf16ToUtf8(c.face);
    UINT16 id = 0, locFormat = 0, glyphCount = 0;
    DWORD sent = 0;
    const job::DecodedJob decoded = InJob([&] {
        id = Download(font->get(), name.c_str(), &locFormat, &glyphCount);
        EXPECT_EQ(TrueType_DownloadString(pdev_, font->get(), font->String(c.text), id, name.c_str(), locFormat,
                                          glyphCount, &sent),
                  TTDL_DONE);
    });
    EXPECT_TRUE(decoded.Ok()) << Problems(decoded);
    const std::set<char16_t> distinct(c.text.begin(), c.text.end());
    EXPECT_EQ(sent, distinct.size());
    EXPECT_EQ(FontCach_GetCharCount(pdev_, id), distinct.size());
    std::map<uint32_t, FT_UInt> expected;
    UINT16 next = 1;
    std::set<char16_t> met;
    for (const char16_t ch : c.text) {
        if (!met.insert(ch).second) continue;
        UINT16 code = 0;
        ASSERT_TRUE(FontCach_GetCharCode(pdev_, id, ch, &code));
        EXPECT_EQ(code, next++);  // in the order the characters come
        expected[code] = ch == u' ' ? 3 : FT_Get_Char_Index(reference.get(), ch);
    }
    ASSERT_EQ(decoded.fonts.size(), 1u);
    EXPECT_EQ(decoded.Count("BeginChar"), 1u);
    EXPECT_EQ(decoded.Count("EndChar"), 1u);
    UINT16 spaceCode = 0;
    FontCach_GetCharCode(pdev_, id, u' ', &spaceCode);
    ExpectFileGlyphs(decoded.fonts[0], reference, expected, spaceCode);

    // The space goes without its outline, as glyph 3.
    if (distinct.contains(u' ')) {
        UINT16 code = 0;
        ASSERT_TRUE(FontCach_GetCharCode(pdev_, id, u' ', &code));
        const job::Glyph* space = decoded.fonts[0].Find(code);
        ASSERT_NE(space, nullptr);
        const job::Operator& op = decoded.ops[space->op];
        EXPECT_EQ(HexText(op.data), "01 01 00 08 00 00 00 00 00 03");
    }

    // Held glyphs are not sent again.
    sent = 9;
    EXPECT_EQ(TrueType_DownloadString(pdev_, font->get(), font->String(c.text), id, name.c_str(), locFormat,
                                      glyphCount, &sent),
              TTDL_DONE);
    EXPECT_EQ(sent, 0u);
    EXPECT_TRUE(TakeOutput(pdev_).empty());
}

INSTANTIATE_TEST_SUITE_P(
    MachineFonts, TrueTypeStrings,
    testing::Values(
        StringCase{"DejaVuSans", u"DejaVu Sans", kDejaVuSansFile, false,
                   u"H\u00e9llo, w\u00f6rld! \u00c5ngstr\u00f6m \u01fa fi\ufb01 \u0416\u20ac"},
        StringCase{"ShortLocations", u"DejaVu Sans ExtraLight", kFontFolder + "dejavu/DejaVuSans-ExtraLight.ttf",
                   true, u"Short \u00e9\u00e8\u00ea offsets"},
        StringCase{"LiberationSerif", u"Liberation Serif", kFontFolder + "liberation2/LiberationSerif-Regular.ttf",
                   false, u"Quiz \u00c7\u00e0 \u00ff"}),
    [](const testing::TestParamInfo<StringCase>& info) { return std::string(info.param.name); });

// A string of glyph indexes takes the keys 0x8000 + index; a fresh font
// holds 511 glyphs of one string, and a string of more goes as bitmaps
// without anything sent.
TEST_F(TrueTypeDownload, GlyphIndexStringsUpToAWholeFont) {
    auto font = TestFontObject::OfFace(u"DejaVu Sans");
    ASSERT_NE(font, nullptr);
    const std::vector<BYTE> file = ReadHostFile(kDejaVuSansFile);
    FreeTypeFont reference(file, 0);
    std::vector<HGLYPH> glyphs;
    for (HGLYPH g = 1; g <= 512; ++g) glyphs.push_back(g + 1000);
    UINT16 id = 0, locFormat = 0, glyphCount = 0;
    DWORD sent = 0;
    int tooMany = -1;
    const job::DecodedJob decoded = InJob([&] {
        id = Download(font->get(), "DejaVu Sans", &locFormat, &glyphCount);
        const Bytes header = TakeOutput(pdev_);
        tooMany = TrueType_DownloadString(pdev_, font->get(), font->GlyphString(glyphs), id, "DejaVu Sans", locFormat,
                                          glyphCount, &sent);
        EXPECT_TRUE(TakeOutput(pdev_).empty());
        Spool_Write(pdev_, header.data(), DWORD(header.size()));
        glyphs.pop_back();
        EXPECT_EQ(TrueType_DownloadString(pdev_, font->get(), font->GlyphString(glyphs), id, "DejaVu Sans",
                                          locFormat, glyphCount, &sent),
                  TTDL_DONE);
    });
    EXPECT_EQ(tooMany, TTDL_FAILED);
    EXPECT_TRUE(decoded.Ok()) << Problems(decoded);
    EXPECT_EQ(sent, 511u);
    std::map<uint32_t, FT_UInt> expected;
    for (size_t i = 0; i < glyphs.size(); ++i) {
        UINT16 code = 0;
        ASSERT_TRUE(FontCach_GetCharCode(pdev_, id, UINT16(0x8000 + glyphs[i]), &code));
        EXPECT_EQ(code, i + 1);
        expected[code] = FT_UInt(glyphs[i]);
    }
    ASSERT_EQ(decoded.fonts.size(), 1u);
    ExpectFileGlyphs(decoded.fonts[0], reference, expected);
}

// A font that holds glyphs and has no room for a string's new ones is
// reported full, and nothing is sent: the caller starts a fresh font.
TEST_F(TrueTypeDownload, FullFontSendsNothing) {
    auto font = TestFontObject::OfFace(u"DejaVu Sans");
    ASSERT_NE(font, nullptr);
    UINT16 locFormat = 0, glyphCount = 0;
    const UINT16 id = Download(font->get(), "DejaVu Sans", &locFormat, &glyphCount);
    for (UINT16 n = 0; n < 500; ++n) ASSERT_NE(FontCach_AddChar(pdev_, id, UINT16(0x9000 + n), 10), 0u);
    TakeOutput(pdev_);
    std::u16string text;
    for (char16_t ch = u'A'; ch < u'A' + 12; ++ch) text += ch;
    DWORD sent = 9;
    EXPECT_EQ(TrueType_DownloadString(pdev_, font->get(), font->String(text), id, "DejaVu Sans", locFormat,
                                      glyphCount, &sent),
              TTDL_FONT_FULL);
    EXPECT_EQ(sent, 0u);
    EXPECT_TRUE(TakeOutput(pdev_).empty());
    EXPECT_EQ(FontCach_GetCharCount(pdev_, id), 500u);
    // Eleven fit exactly.
    text.pop_back();
    EXPECT_EQ(TrueType_DownloadString(pdev_, font->get(), font->String(text), id, "DejaVu Sans", locFormat,
                                      glyphCount, &sent),
              TTDL_DONE);
    EXPECT_EQ(sent, 11u);
    EXPECT_EQ(FontCach_GetCharCount(pdev_, id), 511u);
}

// Damaged glyph data: the glyph is refused before a byte is written.
TEST_F(TrueTypeDownload, DamagedGlyphsSendNothing) {
    const std::vector<BYTE> good = ReadHostFile(kDejaVuSansFile);
    FreeTypeFont reference(good, 0);
    const UINT16 glyphCount = UINT16(reference.get()->num_glyphs);
    const FT_UInt plain = FT_Get_Char_Index(reference.get(), u'A');
    const FT_UInt composite = FT_Get_Char_Index(reference.get(), u'\u00e9');
    ASSERT_LT(int16_t(reference.GlyphOutline(composite).at(0) << 8 | reference.GlyphOutline(composite).at(1)), 0);

    // Where a table and a glyph lie in the file.
    auto table = [&](const char* tag) {
        for (size_t i = 0; i < size_t(good[4] << 8 | good[5]); ++i)
            if (std::memcmp(good.data() + 12 + 16 * i, tag, 4) == 0)
                return FreeTypeFont::Be32(good, 12 + 16 * i + 8);
        return size_t(0);
    };
    const size_t loca = table("loca"), glyf = table("glyf");
    const size_t compositeAt = glyf + FreeTypeFont::Be32(good, loca + 4 * composite);
    auto patched = [&](size_t at, std::vector<BYTE> with) {
        std::vector<BYTE> bytes = good;
        std::copy(with.begin(), with.end(), bytes.begin() + ptrdiff_t(at));
        return bytes;
    };
    struct Damage {
        const char* name;
        std::vector<BYTE> bytes;
        FT_UInt glyph;
        UINT16 glyphCount;
    };
    const Damage damages[] = {
        {"loca past glyf", patched(loca + 4 * plain + 4, {0x7F, 0, 0, 0}), plain, glyphCount},
        {"loca running backwards", patched(loca + 4 * plain + 4, {0, 0, 0, 0}), plain, glyphCount},
        {"loca past its table", good, FT_UInt(glyphCount + 5), UINT16(glyphCount + 10)},
        {"glyph beyond the glyph count", good, plain, UINT16(plain)},
        {"component beyond the glyph count", patched(compositeAt + 12, {0xFF, 0xF0}), composite, glyphCount},
        {"component record cut short",
         patched(loca + 4 * composite + 4,
                 {BYTE((compositeAt - glyf + 12) >> 24), BYTE((compositeAt - glyf + 12) >> 16),
                  BYTE((compositeAt - glyf + 12) >> 8), BYTE(compositeAt - glyf + 12)}),
         composite, glyphCount},
        {"component of itself", patched(compositeAt + 12, {BYTE(composite >> 8), BYTE(composite)}), composite,
         glyphCount},
        {"file cut inside glyf", std::vector<BYTE>(good.begin(), good.begin() + ptrdiff_t(glyf + 100)), plain,
         glyphCount},
    };
    for (const Damage& d : damages) {
        SCOPED_TRACE(d.name);
        BOOL empty = 7;
        EXPECT_FALSE(TrueType_DownloadGlyph(pdev_, d.bytes.data(), DWORD(d.bytes.size()), 5, UINT16(d.glyph), 1,
                                            d.glyphCount, &empty));
        EXPECT_TRUE(TakeOutput(pdev_).empty());
        EXPECT_EQ(empty, 7);
    }
    // The sound file sends both.
    BOOL empty = TRUE;
    EXPECT_TRUE(TrueType_DownloadGlyph(pdev_, good.data(), DWORD(good.size()), 5, UINT16(composite), 1, glyphCount,
                                       &empty));
    EXPECT_FALSE(empty);
    EXPECT_FALSE(TakeOutput(pdev_).empty());
}

// A font object whose file is damaged where the engine does not look:
// the header or the string is refused with nothing written, and the glyph
// is not recorded.
TEST_F(TrueTypeDownload, DamagedFontFilesFallBack) {
    const std::vector<BYTE> good = ReadHostFile(kDejaVuSansFile);
    FreeTypeFont reference(good, 0);
    const FT_UInt a = FT_Get_Char_Index(reference.get(), u'A');
    auto entry = [&](const char* tag) {
        for (size_t i = 0; i < size_t(good[4] << 8 | good[5]); ++i)
            if (std::memcmp(good.data() + 12 + 16 * i, tag, 4) == 0) return 12 + 16 * i;
        return size_t(0);
    };
    const size_t loca = FreeTypeFont::Be32(good, entry("loca") + 8);

    // "A" whose location runs past "glyf": the string is refused.
    std::vector<BYTE> bytes = good;
    bytes[loca + 4 * a + 4] = 0x7F;
    auto font = TestFontObject::OfBytes(bytes, u"DejaVu Sans");
    ASSERT_NE(font, nullptr);
    UINT16 locFormat = 0, glyphCount = 0;
    const UINT16 id = Download(font->get(), "DejaVu Sans", &locFormat, &glyphCount);
    TakeOutput(pdev_);
    DWORD sent = 9;
    EXPECT_EQ(TrueType_DownloadString(pdev_, font->get(), font->String(u"AA"), id, "DejaVu Sans", locFormat,
                                      glyphCount, &sent),
              TTDL_FAILED);
    EXPECT_EQ(sent, 0u);
    EXPECT_TRUE(TakeOutput(pdev_).empty());
    EXPECT_FALSE(FontCach_GetCharCode(pdev_, id, u'A', nullptr));

    // A collection font index past the collection's fonts (150 stands for
    // 50): neither the header nor a glyph is sent.
    auto collection = TestFontObject::OfFace(u"WenQuanYi Micro Hei");
    ASSERT_NE(collection, nullptr);
    pdev_->Job.FontCache.CollectionIndex = 150;
    EXPECT_FALSE(Pxl_DownloadTrueTypeHeader(pdev_, collection->get(), &locFormat, &glyphCount, "WenQuanYi", 101));
    EXPECT_TRUE(TakeOutput(pdev_).empty());
    EXPECT_EQ(TrueType_DownloadString(pdev_, collection->get(), collection->String(u"\u4e2d"), id, "WenQuanYi",
                                      locFormat, glyphCount, &sent),
              TTDL_FAILED);
    EXPECT_TRUE(TakeOutput(pdev_).empty());
}

// An "OS/2" table shorter than 78 bytes leaves the descriptor's character
// count at F0 02.
TEST_F(TrueTypeDownload, ShortOs2Table) {
    std::vector<BYTE> bytes = ReadHostFile(kDejaVuSansFile);
    for (size_t i = 0; i < size_t(bytes[4] << 8 | bytes[5]); ++i) {
        BYTE* entry = bytes.data() + 12 + 16 * i;
        if (std::memcmp(entry, "OS/2", 4) == 0) entry[15] = 68;  // its length: 68 bytes (version 0)
    }
    auto font = TestFontObject::OfBytes(bytes, u"DejaVu Sans");
    ASSERT_NE(font, nullptr);
    UINT16 locFormat = 0, glyphCount = 0;
    ASSERT_TRUE(Pxl_DownloadTrueTypeHeader(pdev_, font->get(), &locFormat, &glyphCount, "D", 100));
    const Bytes start = Hex("C8 C1 04 00 \"0TTD\" F8 A8 C0 00 F8 A9 4F C1 08 00 F8 A7 50 FB 08 00 00 00 02 01 00 F0 02");
    const Bytes written = TakeOutput(pdev_);
    ASSERT_GE(written.size(), start.size());
    EXPECT_EQ(HexText(Bytes(written.begin(), written.begin() + ptrdiff_t(start.size()))), HexText(start));
}

}  // namespace
}  // namespace tam::test
