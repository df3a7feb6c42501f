// Downloaded fonts: the TrueType and bitmap font headers with their segments
// and the character data, as the driver's font download writes them.
#include "sample_job.h"

#include <gtest/gtest.h>

namespace tam::job::test {
namespace {

void Be(std::vector<uint8_t>& out, uint32_t v, int size) {
    for (int i = size - 1; i >= 0; --i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

struct GlobalTable {
    const char* tag;
    size_t length;  // 0: the font lacks it
};

// "cvt ", "fpgm", "gdir", "head", "maxp", "prep", with fpgm and gdir missing.
const GlobalTable kTables[] = {{"cvt ", 6}, {"fpgm", 0}, {"gdir", 0}, {"head", 54}, {"maxp", 32}, {"prep", 3}};

size_t Round4(size_t n) { return (n + 3) / 4 * 4; }

struct TrueTypeJob {
    JobBuilder b;
    size_t entriesAt = 0;  // job offset of the first directory entry
};

// Font header of a TrueType font as the driver sends it, one ReadFontHeader
// per block; `damageEntry` >= 0 makes that directory entry's length too large.
void WriteTrueTypeFont(TrueTypeJob& job, int damageEntry = -1) {
    JobBuilder& b = job.b;
    auto block = [&](const std::vector<uint8_t>& data) {
        b.U16(static_cast<uint16_t>(data.size())).Attr(id::FontHeaderLength).Op(tag::ReadFontHeader).Data(data);
    };
    b.String("1TTDejaVu").Attr(id::FontName).U8(0).Attr(id::FontFormat).Op(tag::BeginFontHeader);
    block({0x00, 0x00, 0x00, 0x02, 0x01, 0x00, 0x03, 0xE8});
    size_t total = 12 + 96;
    for (const GlobalTable& t : kTables) total += Round4(t.length);
    std::vector<uint8_t> gt = {'G', 'T'};
    Be(gt, static_cast<uint32_t>(total), 4);
    block(gt);
    block({'t', 't', 'c', 'f', 0x00, 0x06, 0x00, 0x40, 0x00, 0x02, 0x00, 0x20});
    std::vector<uint8_t> entries;
    uint32_t offset = 108;
    for (size_t i = 0; i < 6; ++i) {
        const GlobalTable& t = kTables[i];
        entries.insert(entries.end(), t.tag, t.tag + 4);
        Be(entries, 0, 4);
        Be(entries, t.length ? offset : 0, 4);
        Be(entries, static_cast<uint32_t>(Round4(t.length)) + (int(i) == damageEntry ? 1000 : 0), 4);
        offset += static_cast<uint32_t>(Round4(t.length));
    }
    job.entriesAt = b.Size() + 3 + 2 + 1 + 2;  // uint16 value, attribute, operator, FB and length
    block(entries);
    for (const GlobalTable& t : kTables) {
        if (!t.length) continue;
        std::vector<uint8_t> data(Round4(t.length), 0);
        for (size_t k = 0; k < t.length; ++k) data[k] = static_cast<uint8_t>(k + t.tag[0]);
        block(data);
    }
    block({'G', 'C', 0x00, 0x00, 0x00, 0x06, 0x00, 0x00, 0xFF, 0xFF, 0x00, 0x00});
    block(NullSegment());
    b.Op(tag::EndFontHeader);
}

const std::vector<uint8_t> kOutline = {0x00, 0x01, 0x00, 0x10, 0x00, 0x20, 0x01, 0x00, 0x02, 0x00, 0x00, 0x03};

TEST(Fonts, TrueTypeHeaderAndCharactersDecode) {
    TrueTypeJob t;
    JobBuilder& b = t.b;
    b.JobStart().PageStart();
    WriteTrueTypeFont(t);
    b.String("1TTDejaVu").Attr(id::FontName).Op(tag::BeginChar);
    std::vector<uint8_t> glyph = {0x01, 0x01};
    Be(glyph, static_cast<uint32_t>(kOutline.size() + 8), 2);
    Be(glyph, 0xFFF0, 2);  // left side bearing -16
    Be(glyph, 1233, 2);    // advance width
    Be(glyph, 36, 2);      // glyph index
    glyph.insert(glyph.end(), kOutline.begin(), kOutline.end());
    b.Raw({0xC1, 0x05, 0x00}).Attr(id::CharCode).U16(static_cast<uint16_t>(glyph.size())).Attr(id::CharDataSize);
    b.Op(tag::ReadChar).Data(glyph);
    const std::vector<uint8_t> space = {0x01, 0x01, 0x00, 0x08, 0x00, 0x00, 0x00, 0x00, 0x00, 0x03};
    b.U16(6).Attr(id::CharCode).U16(10).Attr(id::CharDataSize).Op(tag::ReadChar).Data(space).Op(tag::EndChar);
    b.String("1TTDejaVu").Attr(id::FontName).Real(48).Attr(id::CharSize).U16(2).Attr(id::SymbolSet).Op(tag::SetFont);
    b.Array(DataType::UInt16Array, {5, 6}).Attr(id::TextData).Array(DataType::UByteArray, {30, 14});
    b.Attr(id::XSpacingData).Op(tag::Text).PageEnd().JobEnd();

    const DecodedJob job = Decode(b);
    ASSERT_TRUE(job.Ok()) << FormatJob(job);
    const Font* font = job.FindFont("1TTDejaVu");
    ASSERT_NE(font, nullptr);
    const FontHeader& h = font->header;
    EXPECT_TRUE(h.parsed);
    EXPECT_EQ(h.scaling, 1);
    EXPECT_EQ(h.mapping, 2);
    EXPECT_EQ(h.numberOfChars, 1000);
    ASSERT_EQ(h.segments.size(), 3u);
    EXPECT_EQ(h.segments[0].Name(), "GT");
    EXPECT_EQ(h.segments[0].data.size(), 12u + 96 + 8 + 56 + 32 + 4);
    EXPECT_EQ(h.segments[1].Name(), "GC");
    EXPECT_EQ(h.segments[1].data, (std::vector<uint8_t>{0x00, 0x00, 0xFF, 0xFF, 0x00, 0x00}));
    EXPECT_EQ(h.segments[2].Name(), "null");
    ASSERT_EQ(h.tables.size(), 6u);
    const FontTable* cvt = h.Table("cvt ");
    const FontTable* fpgm = h.Table("fpgm");
    const FontTable* head = h.Table("head");
    const FontTable* prep = h.Table("prep");
    ASSERT_TRUE(cvt && fpgm && head && prep);
    EXPECT_EQ(cvt->offset, 108u);
    EXPECT_EQ(cvt->length, 8u);
    EXPECT_EQ(fpgm->offset, 0u);
    EXPECT_EQ(fpgm->length, 0u);
    EXPECT_EQ(head->offset, 116u);
    EXPECT_EQ(head->length, 56u);
    EXPECT_EQ(prep->offset, 116u + 56 + 32);
    EXPECT_EQ(h.segments[0].data[head->offset], 'h');  // the table data lies where the entry says

    ASSERT_EQ(font->glyphs.size(), 2u);
    const Glyph* g = font->Find(5);
    ASSERT_NE(g, nullptr);
    EXPECT_EQ(g->format, 1);
    EXPECT_EQ(g->charClass, 1);
    EXPECT_EQ(g->sizeField, kOutline.size() + 8);
    EXPECT_EQ(g->leftSideBearing, -16);
    EXPECT_EQ(g->advanceWidth, 1233);
    EXPECT_EQ(g->glyphId, 36);
    EXPECT_EQ(g->body, kOutline);
    const Glyph* blank = font->Find(6);
    ASSERT_NE(blank, nullptr);
    EXPECT_EQ(blank->glyphId, 3);
    EXPECT_TRUE(blank->body.empty());
    EXPECT_EQ(job.First("SetFont")->font, 0);
    const auto reads = job.Find("ReadChar");
    EXPECT_EQ(reads[0]->glyph, 0);
    EXPECT_EQ(reads[1]->glyph, 1);
}

TEST(Fonts, DamagedDirectoryEntryIsReportedAtItsByteInTheJob) {
    TrueTypeJob t;
    t.b.JobStart().PageStart();
    WriteTrueTypeFont(t, 3);  // "head"
    t.b.PageEnd().JobEnd();
    const DecodedJob job = Decode(t.b);
    ASSERT_EQ(job.problems.size(), 1u) << FormatJob(job);
    EXPECT_EQ(job.problems[0].offset, t.entriesAt + 3 * 16);
    EXPECT_EQ(job.problems[0].reason,
              "font \"1TTDejaVu\": GT table 'head' (offset 116, 1056 bytes) lies outside the segment");
}

TEST(Fonts, BitmapFontHeaderAndCharacter) {
    JobBuilder b;
    BuildSampleJob(b);
    const DecodedJob job = Decode(b);
    ASSERT_TRUE(job.Ok()) << FormatJob(job);
    const Font* font = job.FindFont("0BMArial");
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(font->header.scaling, 254);
    EXPECT_EQ(font->header.resolutionX, 600);
    EXPECT_EQ(font->header.resolutionY, 600);
    EXPECT_EQ(font->headerBytes.size(), 24u);
    const Glyph* g = font->Find(0xE9);
    ASSERT_NE(g, nullptr);
    EXPECT_EQ(g->format, 0);
    EXPECT_EQ(g->left, 1);
    EXPECT_EQ(g->top, -12);
    EXPECT_EQ(g->width, 9);
    EXPECT_EQ(g->height, 12);
    EXPECT_TRUE(g->BitAt(0, 0));
    EXPECT_TRUE(g->BitAt(8, 0));
    EXPECT_TRUE(g->BitAt(0, 5));
    EXPECT_FALSE(g->BitAt(4, 5));
    EXPECT_TRUE(g->BitAt(8, 11));
    EXPECT_FALSE(g->BitAt(9, 0));  // outside the character
}

TEST(Fonts, TrueTypeCharacterInABitmapFontIsReported) {
    JobBuilder b;
    b.JobStart().PageStart();
    b.String("0BMF").Attr(id::FontName).U8(0).Attr(id::FontFormat).Op(tag::BeginFontHeader);
    b.U16(18).Attr(id::FontHeaderLength).Op(tag::ReadFontHeader).Data(BitmapFontDescriptor());
    b.U16(6).Attr(id::FontHeaderLength).Op(tag::ReadFontHeader).Data(NullSegment()).Op(tag::EndFontHeader);
    b.String("0BMF").Attr(id::FontName).Op(tag::BeginChar);
    b.U16(32).Attr(id::CharCode).U16(10).Attr(id::CharDataSize).Op(tag::ReadChar);
    const size_t at = b.Size() + 2;
    b.Data(std::vector<uint8_t>{0x01, 0x01, 0x00, 0x08, 0x00, 0x00, 0x00, 0x00, 0x00, 0x03}).Op(tag::EndChar);
    b.PageEnd().JobEnd();
    const DecodedJob job = Decode(b);
    ASSERT_EQ(job.problems.size(), 1u) << FormatJob(job);
    EXPECT_EQ(job.problems[0].offset, at);
    EXPECT_EQ(job.problems[0].reason, "character format 1 does not suit a font of scaling technology 254");
}

}  // namespace
}  // namespace tam::job::test
