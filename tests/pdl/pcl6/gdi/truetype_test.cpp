// The TrueType reader on the machine's fonts, checked against FreeType
// reading the same files, and on damaged copies of them.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "font_objects.h"
#include "job_fixture.h"
#include "pcl6/gdi/fontcache.h"

namespace tam::test {
namespace {

UINT16 Be16(const BYTE* p) { return UINT16(p[0] << 8 | p[1]); }

DWORD Tag(const char (&tag)[5]) { return TT_TAG(tag[0], tag[1], tag[2], tag[3]); }

// The whole table through the reader.
std::vector<BYTE> ReadWhole(const std::vector<BYTE>& file, const char (&tag)[5], UINT16 index, BYTE flags = 0) {
    const DWORD length = TrueType_ReadTable(file.data(), DWORD(file.size()), Tag(tag), 0, nullptr, 0, flags, index);
    std::vector<BYTE> table(length);
    if (length) {
        EXPECT_EQ(TrueType_ReadTable(file.data(), DWORD(file.size()), Tag(tag), 0, table.data(), length, flags, index),
                  length);
    }
    return table;
}

struct FaceCase {
    const char* name;
    std::string path;
    FT_Long freeTypeIndex;
    UINT16 fontIndex;  // the reader's: 0 outside collections, else 1-based
    std::u16string sample;
};

class TrueTypeReader : public testing::TestWithParam<FaceCase> {};

// Glyph count, location format, the "loca", "hmtx" and other tables, and
// the character map, as FreeType reads them.
TEST_P(TrueTypeReader, AgreesWithFreeType) {
    const FaceCase& c = GetParam();
    const std::vector<BYTE> file = ReadHostFile(c.path);
    ASSERT_FALSE(file.empty()) << c.path;
    FreeTypeFont reference(file, c.freeTypeIndex);
    ASSERT_NE(reference.get(), nullptr);

    const std::vector<BYTE> maxp = ReadWhole(file, "maxp", c.fontIndex);
    ASSERT_GE(maxp.size(), 6u);
    EXPECT_EQ(Be16(maxp.data() + 4), reference.get()->num_glyphs);
    BYTE head[54];
    ASSERT_EQ(TrueType_ReadTable(file.data(), DWORD(file.size()), Tag("head"), 0, head, 54, 0, c.fontIndex), 54u);
    EXPECT_EQ(Be16(head + 50), reference.IndexToLocFormat());
    for (const auto& tag : {"loca", "hmtx", "hhea", "cvt ", "fpgm", "prep", "cmap", "name", "OS/2"}) {
        char t[5];
        std::memcpy(t, tag, 5);
        EXPECT_EQ(ReadWhole(file, reinterpret_cast<const char(&)[5]>(t), c.fontIndex),
                  reference.Table(reinterpret_cast<const char(&)[5]>(t)))
            << tag;
    }
    // A part of a table from an offset, cut at the table's end.
    const std::vector<BYTE> loca = reference.Table("loca");
    BYTE tail[16];
    EXPECT_EQ(TrueType_ReadTable(file.data(), DWORD(file.size()), Tag("loca"), DWORD(loca.size() - 6), tail,
                                 sizeof(tail), 0, c.fontIndex),
              6u);
    EXPECT_EQ(std::memcmp(tail, loca.data() + loca.size() - 6, 6), 0);
    // Tag 0 is the font's offset table; tags the driver does not read give nothing.
    BYTE offsetTable[12];
    ASSERT_EQ(TrueType_ReadTable(file.data(), DWORD(file.size()), 0, 0, offsetTable, 12, 0, c.fontIndex), 12u);
    EXPECT_EQ(HexText(Bytes(offsetTable, offsetTable + 4)), "00 01 00 00");  // the TrueType sfnt version
    EXPECT_EQ(TrueType_ReadTable(file.data(), DWORD(file.size()), Tag("GSUB"), 0, nullptr, 0, 0, c.fontIndex), 0u);

    for (const char16_t ch : c.sample) {
        EXPECT_EQ(TrueType_GlyphIndex(file.data(), DWORD(file.size()), 0, c.fontIndex, c.name, ch),
                  FT_Get_Char_Index(reference.get(), ch))
            << "U+" << std::hex << int(ch);
    }
}

INSTANTIATE_TEST_SUITE_P(
    MachineFonts, TrueTypeReader,
    testing::Values(FaceCase{"DejaVu Sans", kDejaVuSansFile, 0, 0, u"A Zaz09\u00e9\u20ac\u0416\u03a9\ufb01\u4e00\uffff"},
                    FaceCase{"DejaVu Sans Mono", kDejaVuMonoFile, 0, 0, u"Mm_\u00e9\u2500"},
                    FaceCase{"WenQuanYi Micro Hei", kWqyCollectionFile, 0, 1, u"Aa\u4e00\u4e2d\u6587\uff01\u00e9"},
                    FaceCase{"WenQuanYi Micro Hei Mono", kWqyCollectionFile, 1, 2, u"Aa\u4e00\u4e2d\u6587\uff01"}),
    [](const testing::TestParamInfo<FaceCase>& info) {
        std::string name = info.param.name;
        std::erase(name, ' ');
        return name;
    });

// A collection's font by the index: 1-based, 100 more standing for the
// same, and 0 for the first or the last font by the collection flag.
TEST(TrueTypeCollection, SelectsTheFontOfItsIndex) {
    const std::vector<BYTE> file = ReadHostFile(kWqyCollectionFile);
    FreeTypeFont first(file, 0), second(file, 1);
    const std::vector<BYTE> names[2] = {first.Table("name"), second.Table("name")};
    ASSERT_NE(names[0], names[1]);
    struct Case {
        UINT16 index;
        BYTE flags;
        int font;  // -1: none
    };
    const Case cases[] = {{1, 0, 0}, {2, 0, 1}, {101, 0, 0}, {102, 1, 1}, {0, 1, 0},
                          {0, 0, 1}, {100, 1, 0}, {3, 0, -1}, {103, 0, -1}, {0xFFFF, 0, -1}};
    for (const Case& c : cases) {
        SCOPED_TRACE("index " + std::to_string(c.index) + " flags " + std::to_string(c.flags));
        const std::vector<BYTE> name = ReadWhole(file, "name", c.index, c.flags);
        if (c.font < 0) {
            EXPECT_TRUE(name.empty());
        } else {
            EXPECT_EQ(name, names[c.font]);
        }
    }
}

using CollectionIndex = JobTest;

// The PDEV's collection index: the position of the collection font whose
// names begin with the face name; 0 for a file that is no collection.
TEST_F(CollectionIndex, FoundByTheFaceName) {
    PDEV* pdev = EnableDefault();
    ASSERT_NE(pdev, nullptr);
    const struct {
        const char16_t* face;
        UINT16 index;
    } cases[] = {{u"WenQuanYi Micro Hei", 1}, {u"WenQuanYi Micro Hei Mono", 2}, {u"DejaVu Sans", 0}};
    for (const auto& c : cases) {
        auto font = TestFontObject::OfFace(c.face);
        ASSERT_NE(font, nullptr);
        pdev->Job.FontCache.CollectionIndex = 77;
        TrueType_FindCollectionIndex(pdev, font->get());
        EXPECT_EQ(pdev->Job.FontCache.CollectionIndex, c.index) << job::Utf16ToUtf8(c.face);
    }
}

// Damaged files give nothing, and no read leaves the file.
TEST(TrueTypeDamage, ReadsStayInsideTheFile) {
    const std::vector<BYTE> good = ReadHostFile(kDejaVuSansFile);
    const std::vector<BYTE> collection = ReadHostFile(kWqyCollectionFile);
    struct Damage {
        const char* name;
        std::vector<BYTE> bytes;
        UINT16 index;
    };
    auto patched = [](std::vector<BYTE> bytes, size_t at, std::vector<BYTE> with) {
        std::copy(with.begin(), with.end(), bytes.begin() + ptrdiff_t(at));
        return bytes;
    };
    // The directory entry of a table of the single font.
    auto entry = [&](const char (&tag)[5]) {
        for (size_t i = 0; i < Be16(good.data() + 4); ++i)
            if (std::memcmp(good.data() + 12 + 16 * i, tag, 4) == 0) return 12 + 16 * i;
        ADD_FAILURE() << tag;
        return size_t(0);
    };
    const Damage damages[] = {
        {"cut to 11 bytes", std::vector<BYTE>(good.begin(), good.begin() + 11), 0},
        {"cut inside its directory", std::vector<BYTE>(good.begin(), good.begin() + 100), 0},
        {"cut inside its tables", std::vector<BYTE>(good.begin(), good.begin() + ptrdiff_t(good.size() / 2)), 0},
        {"table counts past the end", patched(good, 4, {0xFF, 0xFF}), 0},
        {"cmap past the end", patched(good, entry("cmap") + 8, {0x7F, 0xFF, 0xFF, 0xF0}), 0},
        {"cmap longer than the file", patched(good, entry("cmap") + 12, {0x7F, 0xFF, 0xFF, 0xF0}), 0},
        {"collection of a billion fonts", patched(collection, 8, {0x40, 0, 0, 0}), 1},
        {"collection font past the end", patched(collection, 12, {0x7F, 0xFF, 0xFF, 0xF0}), 1},
        {"collection index past its fonts", collection, 150},
    };
    for (const Damage& d : damages) {
        SCOPED_TRACE(d.name);
        const BYTE* file = d.bytes.data();
        const DWORD size = DWORD(d.bytes.size());
        BYTE buffer[64];
        for (const char* tag : {"cmap", "glyf", "loca", "head", "maxp", "name"}) {
            const DWORD length = TrueType_ReadTable(file, size, TT_TAG(tag[0], tag[1], tag[2], tag[3]), 0, nullptr, 0,
                                                    0, d.index);
            EXPECT_LE(length, size) << tag;
            TrueType_ReadTable(file, size, TT_TAG(tag[0], tag[1], tag[2], tag[3]), length / 2, buffer,
                               sizeof(buffer), 0, d.index);
        }
        const bool cmapDamaged = std::string_view(d.name).starts_with("cmap");
        for (const char16_t ch : std::u16string_view(u"Aa\u00e9\u4e00\uffff")) {
            const UINT16 glyph = TrueType_GlyphIndex(file, size, 0, d.index, "DejaVu Sans", ch);
            if (cmapDamaged) {
                EXPECT_EQ(glyph, 0);
            }
        }
    }
}

}  // namespace
}  // namespace tam::test
