// The font cache: identifiers, fonts by their keys, the glyphs of TrueType
// (list) and bitmap (hash) fonts, eviction and removal with the RemoveFont
// the printer gets.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "font_job_fixture.h"
#include "pcl6/gdi/fontcache.h"
#include "pcl6/intrface/util.h"

namespace tam::test {
namespace {

class FontCache : public FontJobTest {
protected:
    void SetUp() override {
        FontJobTest::SetUp();
        ASSERT_EQ(pdev_->Job.FontCache.NextId, 100);
    }

    // Registers a font as text output does: TrueType fonts with the
    // TrueType-text flag set.
    UINT16 Register(const char* name, UINT32 key3, bool trueType) {
        pdev_->Job.Text.TrueTypeText = trueType ? 1 : 0;
        UINT16 id = 0;
        EXPECT_TRUE(FontCach_SetCharDown(pdev_, name, 0, 0, key3, &id, nullptr, 0));
        return id;
    }

    // The slots of a hash block that hold keys.
    static std::vector<int> TakenSlots(const GlyphTableBlock& block) {
        std::vector<int> slots;
        for (int i = 0; i < FONTCACHE_BLOCK_ENTRIES; ++i)
            if (block.Entries[i][1]) slots.push_back(i);
        return slots;
    }

};

TEST_F(FontCache, FontNameBytes) {
    struct Case {
        const char* name;
        UINT16 number;
        DWORD flags;
        const char* bytes;
    };
    const Case cases[] = {
        {"Arial", 100, FONTNAME_PREFIX, "C8 C1 08 00 \"0TTArial\" F8 A8"},
        {"Arial", 112, FONTNAME_PREFIX | FONTNAME_BITMAP, "C8 C1 09 00 \"12BMArial\" F8 A8"},
        {"Courier", 10005, 0, "C8 C1 07 00 \"Courier\" F8 A8"},
        {"", 100, FONTNAME_PREFIX, "C8 C1 03 00 \"0TT\" F8 A8"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes);
        const Bytes expected = Hex(c.bytes);
        EXPECT_EQ(Pxl_WriteFontName(pdev_, c.name, c.number, c.flags), DWORD(expected.size() - 6));
        EXPECT_EQ(HexText(TakeOutput(pdev_)), HexText(expected));
    }
    EXPECT_TRUE(Pxl_RemoveFont(pdev_, "Arial", 101, FONTNAME_PREFIX));
    EXPECT_EQ(HexText(TakeOutput(pdev_)), HexText(Hex("C8 C1 08 00 \"1TTArial\" F8 A8 55")));
}

TEST_F(FontCache, FindsFontsByAllThreeKeysWithTheirData) {
    const BYTE data[4] = {0, 1, 0x20, 0x03};
    pdev_->Job.Text.TrueTypeText = 1;
    UINT16 first = 0, second = 0;
    ASSERT_TRUE(FontCach_SetCharDown(pdev_, "Face", 1, 2, 3, &first, data, sizeof(data)));
    ASSERT_TRUE(FontCach_SetCharDown(pdev_, "Face", 1, 2, 4, &second, nullptr, 0));
    EXPECT_EQ(first, 100);
    EXPECT_EQ(second, 101);
    ASSERT_NE(FontCach_AddChar(pdev_, first, 65, 40), 0u);

    BYTE got[FONTCACHE_USER_BYTES + 20];
    std::memset(got, 0xEE, sizeof(got));
    UINT16 id = 0;
    DWORD glyphs = 99;
    ASSERT_TRUE(FontCach_FindFont(pdev_, 1, 2, 3, &id, got, 4, &glyphs));
    EXPECT_EQ(id, first);
    EXPECT_EQ(glyphs, 1u);
    EXPECT_EQ(std::memcmp(got, data, 4), 0);
    EXPECT_EQ(got[4], 0xEE);  // no more than asked for
    // More than the 100 bytes kept is an internal check and gives 100.
    ASSERT_TRUE(FontCach_FindFont(pdev_, 1, 2, 3, &id, got, sizeof(got), &glyphs));
    EXPECT_EQ(got[FONTCACHE_USER_BYTES - 1], 0);
    EXPECT_EQ(got[FONTCACHE_USER_BYTES], 0xEE);
    ASSERT_TRUE(FontCach_FindFont(pdev_, 1, 2, 4, &id, nullptr, 0, &glyphs));
    EXPECT_EQ(id, second);
    EXPECT_EQ(glyphs, 0u);
    EXPECT_FALSE(FontCach_FindFont(pdev_, 1, 9, 3, &id, nullptr, 0, nullptr));
    EXPECT_FALSE(FontCach_FindFont(pdev_, 0, 2, 3, &id, nullptr, 0, nullptr));
}

TEST_F(FontCache, RefusesWhatItCannotKeep) {
    BYTE data[FONTCACHE_USER_BYTES + 1] = {};
    UINT16 id = 0;
    EXPECT_FALSE(FontCach_SetCharDown(pdev_, "Face", 0, 0, 1, &id, data, sizeof(data)));
    EXPECT_EQ(pdev_->Job.FontCache.Fonts, nullptr);
    Util_FailGlobalAlloc(1);
    EXPECT_FALSE(FontCach_SetCharDown(pdev_, "Face", 0, 0, 1, &id, data, 4));
    EXPECT_EQ(pdev_->Job.FontCache.Fonts, nullptr);
    EXPECT_EQ(FontCach_NextId(pdev_), 100);
    EXPECT_EQ(pdev_->Job.FontCache.MemoryInUse, 0);
    // Identifiers that were never given are unknown.
    EXPECT_EQ(FontCach_AddChar(pdev_, 100, 65, 10), 0u);
    EXPECT_FALSE(FontCach_IsCharDown(pdev_, 100, 65));
    EXPECT_EQ(FontCach_GetCharCount(pdev_, 99), 0u);
    EXPECT_FALSE(FontCach_RemoveFont(pdev_, 100, nullptr, nullptr));
    // A glyph block that cannot be had leaves the glyph out.
    const UINT16 font = Register("Face", 1, false);
    Util_FailGlobalAlloc(1);
    EXPECT_EQ(FontCach_AddChar(pdev_, font, 65, 10), 0u);
    EXPECT_FALSE(FontCach_IsCharDown(pdev_, font, 65));
    EXPECT_EQ(FontCach_GetCharCount(pdev_, font), 0u);
}

// A TrueType font numbers its glyphs 1 to 511 in the order they come; the
// 512th is refused and changes nothing.
TEST_F(FontCache, TrueTypeFontHolds511Glyphs) {
    const UINT16 id = Register("Outline", 7, true);
    for (UINT16 n = 1; n <= 511; ++n) {
        const UINT16 key = UINT16(0x8000 + 3 * n);
        const ULONGLONG result = FontCach_AddChar(pdev_, id, key, n);
        ASSERT_EQ(result, (ULONGLONG(n) << 32) | n) << "glyph " << n;
    }
    EXPECT_EQ(FontCach_AddChar(pdev_, id, 0x7000, 10), 0u);
    EXPECT_EQ(FontCach_GetCharCount(pdev_, id), 511u);
    const struct {
        UINT16 key;
        bool held;
        UINT16 code;
    } lookups[] = {{0x8003, true, 1}, {UINT16(0x8000 + 3 * 300), true, 300}, {UINT16(0x8000 + 3 * 511), true, 511},
                   {0x7000, false, 0}, {0x8001, false, 0}};
    for (const auto& l : lookups) {
        UINT16 code = 0;
        EXPECT_EQ(FontCach_GetCharCode(pdev_, id, l.key, &code), l.held) << l.key;
        EXPECT_EQ(FontCach_IsCharDown(pdev_, id, l.key), l.held) << l.key;
        if (l.held) {
            EXPECT_EQ(code, l.code) << l.key;
        }
    }
    // All 511 glyphs sit in the font's one block.
    int blocks = 0;
    for (const GlyphTableBlock* b = pdev_->Job.FontCache.GlyphBlocks; b; b = b->Next) ++blocks;
    EXPECT_EQ(blocks, 1);
}

// A bitmap glyph lies on its probe sequence: after k mod 512 the steps 79,
// 37, 17 and 7, each added to the last; a key whose four slots are taken
// goes on in the font's next block.
TEST_F(FontCache, BitmapGlyphsFollowTheProbeSequence) {
    struct Case {
        UINT16 key;
        std::vector<int> slots;  // taken by key, key + 512, key + 1024, key + 1536
    };
    const Case cases[] = {
        {5, {84, 121, 138, 145}},
        {500, {67, 104, 121, 128}},     // wrapping past the end of the block
        {0xE900, {335, 372, 389, 396}},  // U+00E9 with its bytes exchanged: 0xE900 mod 512 = 256
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        const UINT16 id = Register("Bitmap", c.key, false);
        for (int n = 0; n < 4; ++n) {
            const UINT16 key = UINT16(c.key + 512 * n);
            const ULONGLONG result = FontCach_AddChar(pdev_, id, key, 34);
            EXPECT_EQ(result >> 32, 34u);
            // Bitmap glyphs carry no code: the low half is the byte total.
            EXPECT_EQ(DWORD(result), DWORD(pdev_->Job.FontCache.BytesDownloaded));
        }
        const GlyphTableBlock* block = pdev_->Job.FontCache.GlyphBlocks;
        while (block && block->Owner != id) block = block->Next;
        ASSERT_NE(block, nullptr);
        EXPECT_EQ(block->Kind, GLYPHBLOCK_HASH);
        EXPECT_EQ(TakenSlots(*block), c.slots);
        for (int n = 0; n < 4; ++n) EXPECT_EQ(block->Entries[c.slots[size_t(n)]][0], UINT16(c.key + 512 * n));
        // The fifth key of the sequence starts a second block at its first probe.
        ASSERT_NE(FontCach_AddChar(pdev_, id, UINT16(c.key + 2048), 34), 0u);
        const GlyphTableBlock* second = block->Next;
        while (second && second->Owner != id) second = second->Next;
        ASSERT_NE(second, nullptr);
        EXPECT_EQ(TakenSlots(*second), std::vector<int>{c.slots[0]});
        for (int n = 0; n <= 4; ++n) EXPECT_TRUE(FontCach_IsCharDown(pdev_, id, UINT16(c.key + 512 * n))) << n;
        EXPECT_FALSE(FontCach_IsCharDown(pdev_, id, UINT16(c.key + 1)));
        // Bitmap glyphs have no codes to look up.
        EXPECT_FALSE(FontCach_GetCharCode(pdev_, id, c.key, nullptr));
        EXPECT_EQ(FontCach_GetCharCount(pdev_, id), 5u);
        FontCach_Reset(pdev_);
    }
}

TEST_F(FontCache, RemovingTheHighestFontLowersTheNextIdAndGapsStay) {
    struct Step {
        int remove;      // font to remove (0: register one more)
        UINT16 nextId;   // then
    };
    for (int n = 0; n < 3; ++n) Register("Face", UINT32(n), false);
    const Step steps[] = {{101, 103}, {0, 104}, {103, 103}, {0, 104}, {102, 104}, {100, 104}, {103, 103}};
    UINT16 expectedNew = 103;
    for (const Step& s : steps) {
        if (s.remove) {
            UINT32 key3 = 99;
            DWORD bytes = 99;
            ASSERT_TRUE(FontCach_RemoveFont(pdev_, UINT16(s.remove), &key3, &bytes)) << s.remove;
            EXPECT_EQ(bytes, 0u);
            EXPECT_FALSE(FontCach_RemoveFont(pdev_, UINT16(s.remove), nullptr, nullptr));
        } else {
            EXPECT_EQ(Register("Face", 50, false), expectedNew);
        }
        EXPECT_EQ(FontCach_NextId(pdev_), s.nextId) << "after " << s.remove;
    }
    EXPECT_EQ(pdev_->Job.FontCache.Fonts, nullptr);
}

// A removed font's blocks are emptied and serve the next font, and its
// bytes move to the removed count.
TEST_F(FontCache, RemovedFontsLeaveTheirBlocksEmpty) {
    const UINT16 a = Register("A", 1, true);
    ASSERT_NE(FontCach_AddChar(pdev_, a, 40, 100), 0u);
    ASSERT_NE(FontCach_AddChar(pdev_, a, 41, 20), 0u);
    UINT32 key3 = 0;
    DWORD bytes = 0;
    ASSERT_TRUE(FontCach_RemoveFont(pdev_, a, &key3, &bytes));
    EXPECT_EQ(key3, 1u);
    EXPECT_EQ(bytes, 120u);
    EXPECT_EQ(pdev_->Job.FontCache.BytesRemoved, 120);
    EXPECT_EQ(pdev_->Job.FontCache.FontsRemoved, 1);
    const UINT16 b = Register("B", 2, false);
    EXPECT_EQ(b, a);  // the highest went, so its identifier comes again
    EXPECT_FALSE(FontCach_IsCharDown(pdev_, b, 40));
    ASSERT_NE(FontCach_AddChar(pdev_, b, 40, 10), 0u);
    const GlyphTableBlock* block = pdev_->Job.FontCache.GlyphBlocks;
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(block->Next, nullptr);
    EXPECT_EQ(block->Owner, b);
    EXPECT_EQ(block->Kind, GLYPHBLOCK_HASH);
    EXPECT_EQ(TakenSlots(*block), std::vector<int>{(40 + 79) % 512});
    // Reset gives every byte back.
    FontCach_Reset(pdev_);
    EXPECT_EQ(pdev_->Job.FontCache.MemoryInUse, 0);
    EXPECT_GT(pdev_->Job.FontCache.MemoryPeak, 0);
}

// Registering the 300th font removes the oldest, in the cache and in the
// printer.
TEST_F(FontCache, The300thFontEvictsTheOldest) {
    for (int n = 0; n < 299; ++n) Register(n % 2 ? "Serif" : "Sans", UINT32(n), n % 2 == 0);
    EXPECT_TRUE(TakeOutput(pdev_).empty());
    ASSERT_TRUE(FontCach_FindFont(pdev_, 0, 0, 0, nullptr, nullptr, 0, nullptr));
    EXPECT_EQ(Register("Last", 299, false), 399);
    EXPECT_EQ(HexText(TakeOutput(pdev_)), HexText(Hex("C8 C1 07 00 \"0TTSans\" F8 A8 55")));
    EXPECT_FALSE(FontCach_FindFont(pdev_, 0, 0, 0, nullptr, nullptr, 0, nullptr));
    EXPECT_TRUE(FontCach_FindFont(pdev_, 0, 0, 1, nullptr, nullptr, 0, nullptr));
    // The next registration removes the next oldest, a bitmap font.
    EXPECT_EQ(Register("More", 300, false), 400);
    EXPECT_EQ(HexText(TakeOutput(pdev_)), HexText(Hex("C8 C1 08 00 \"1BMSerif\" F8 A8 55")));
}

// Removing all fonts takes, each time, the oldest font or the first later
// one that downloaded more bytes, and writes each RemoveFont.
TEST_F(FontCache, RemoveAllWritesEveryRemoveFont) {
    const UINT16 a = Register("A", 1, true);
    const UINT16 b = Register("B", 2, false);
    const UINT16 c = Register("C", 3, true);
    ASSERT_NE(FontCach_AddChar(pdev_, a, 1, 10), 0u);
    pdev_->Job.Text.TrueTypeText = 0;
    ASSERT_NE(FontCach_AddChar(pdev_, b, 1, 5), 0u);
    pdev_->Job.Text.TrueTypeText = 1;
    ASSERT_NE(FontCach_AddChar(pdev_, c, 1, 30), 0u);
    UINT16 victim = 0;
    char name[FONTCACHE_NAME_BYTES];
    ASSERT_TRUE(FontCach_PickVictim(pdev_, &victim, name, FALSE));
    EXPECT_EQ(victim, a);
    ASSERT_TRUE(FontCach_PickVictim(pdev_, &victim, name, TRUE));
    EXPECT_EQ(victim, c);
    EXPECT_STREQ(name, "C");
    FontCach_RemoveAll(pdev_);
    EXPECT_EQ(HexText(TakeOutput(pdev_)),
              HexText(Hex("C8 C1 04 00 \"2TTC\" F8 A8 55 C8 C1 04 00 \"0TTA\" F8 A8 55 C8 C1 04 00 \"1BMB\" F8 A8 55")));
    EXPECT_EQ(pdev_->Job.FontCache.Fonts, nullptr);
    EXPECT_FALSE(FontCach_PickVictim(pdev_, &victim, name, TRUE));
    // Only the removal of the highest font (C, then B) lowered the next identifier.
    EXPECT_EQ(FontCach_NextId(pdev_), 101);
}

}  // namespace
}  // namespace tam::test
