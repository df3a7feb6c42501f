// The row encoders of ReadImage: the exact bytes of PackBits and delta-row
// commands, and round trips through small decoders written from the formats.
#include <gtest/gtest.h>
#include <windows.h>

#include <random>
#include <string>
#include <vector>

#include "job_fixture.h"
#include "pcl6/gdi/gx.h"
#include "pcl6/gdi/pagemedia.h"
#include "pcl6/gdi/pjl.h"
#include "pcl6/gdi/rowcompress.h"

namespace tam::test {
namespace {

Bytes Rle(const Bytes& row) {
    Bytes out(RLE_WORST_CASE(row.size()) + 16, 0xEE);
    const DWORD length = Rle_Compress(nullptr, out.data(), row.data(), DWORD(row.size()));
    EXPECT_LE(length, RLE_WORST_CASE(row.size()));
    out.resize(length);
    return out;
}

// PackBits read back: c = 0..127 copies c + 1 bytes, c = -1..-127 repeats
// the next byte 1 - c times.
Bytes UnRle(const Bytes& packed) {
    Bytes row;
    for (size_t p = 0; p < packed.size();) {
        const int c = static_cast<signed char>(packed[p++]);
        EXPECT_NE(c, -128);
        if (c >= 0) {
            row.insert(row.end(), packed.begin() + p, packed.begin() + p + c + 1);
            p += c + 1;
        } else {
            row.insert(row.end(), size_t(1 - c), packed[p++]);
        }
    }
    return row;
}

Bytes Repeat(BYTE value, size_t count) { return Bytes(count, value); }

struct RleCase {
    const char* name;
    Bytes row;
    Bytes packed;
};

Bytes Counting(size_t count) {
    Bytes bytes(count);
    for (size_t i = 0; i < count; ++i) bytes[i] = BYTE(i);
    return bytes;
}

Bytes Concat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

TEST(RunLength, PacketsOfTheFormat) {
    const BYTE A = 0x41, B = 0x42, C = 0x43, D = 0x44;
    const RleCase cases[] = {
        {"one byte", {0x58}, Hex("00 58")},
        {"two equal", {A, A}, Hex("FF 41")},
        {"two different", {A, B}, Hex("01 41 42")},
        {"run inside", {A, B, C, C, C, D}, Hex("01 41 42 FE 43 00 44")},
        {"pair at the end stays literal", {A, B, C, C}, Hex("03 41 42 43 43")},
        {"two runs", {A, A, B, B, B}, Hex("FF 41 FE 42")},
        {"300 equal", Repeat(0x77, 300), Hex("81 77 81 77 D5 77")},
        {"130 different", Counting(130),
         Concat({Hex("7F"), Bytes(Counting(128)), Hex("01 80 81")})},
        {"run after one byte", {A, B, B, B}, Hex("00 41 FE 42")},
    };
    for (const RleCase& c : cases) {
        EXPECT_EQ(HexText(Rle(c.row)), HexText(c.packed)) << c.name;
        EXPECT_EQ(UnRle(c.packed), c.row) << c.name;
    }
}

// Rows of random runs and literals of every length come back whole, within
// the worst case.
TEST(RunLength, RandomRowsRoundTrip) {
    std::mt19937 random(7);
    for (int trial = 0; trial < 300; ++trial) {
        Bytes row;
        const size_t length = 1 + random() % 700;
        while (row.size() < length) {
            const size_t run = 1 + random() % (random() % 3 ? 4 : 200);
            const BYTE value = BYTE(random() % 3);
            const bool same = random() % 2;
            for (size_t i = 0; i < run && row.size() < length; ++i) row.push_back(same ? value : BYTE(random()));
        }
        const Bytes packed = Rle(row);
        ASSERT_EQ(UnRle(packed), row) << "trial " << trial;
    }
}

Bytes Delta(const Bytes& row, Bytes& seed) {
    Bytes out(DELTAROW_WORST_CASE(row.size()) + 16, 0xEE);
    const DWORD length = DeltaRow_Compress(out.data(), row.data(), DWORD(row.size()), seed.data());
    EXPECT_LE(length, DELTAROW_WORST_CASE(row.size()));
    out.resize(length);
    return out;
}

// Delta row read back onto the seed: a little-endian count, then commands of
// (count - 1) << 5 | offset, offset 31 continued by bytes while they are 255.
Bytes UnDelta(const Bytes& packed, Bytes seed) {
    const size_t count = packed[0] | packed[1] << 8;
    EXPECT_EQ(count + 2, packed.size());
    size_t p = 2, cursor = 0;
    while (p < packed.size()) {
        const BYTE command = packed[p++];
        const size_t replace = (command >> 5) + 1;
        size_t offset = command & 31;
        if (offset == 31)
            for (BYTE more = 255; more == 255;) offset += (more = packed[p++]);
        cursor += offset;
        for (size_t i = 0; i < replace; ++i) seed.at(cursor++) = packed[p++];
    }
    return seed;
}

struct DeltaCase {
    const char* name;
    size_t length;
    std::vector<std::pair<size_t, BYTE>> changes;
    const char* packed;
};

TEST(DeltaRow, CommandsOfTheFormat) {
    const DeltaCase cases[] = {
        {"unchanged row", 64, {}, "00 00"},
        {"byte 40", 64, {{40, 0x5A}}, "03 00 1F 09 5A"},
        {"nine at the start", 16, {{0, 1}, {1, 2}, {2, 3}, {3, 4}, {4, 5}, {5, 6}, {6, 7}, {7, 8}, {8, 9}},
         "0B 00 E0 01 02 03 04 05 06 07 08 00 09"},
        {"offset 286", 400, {{286, 0x33}}, "04 00 1F FF 00 33"},
        {"offset 30 and 31", 80, {{30, 1}, {62, 2}}, "05 00 1E 01 1F 00 02"},
        {"runs of one apart", 6, {{0, 1}, {2, 2}, {4, 3}}, "06 00 00 01 01 02 01 03"},
    };
    for (const DeltaCase& c : cases) {
        Bytes seed(c.length, 0), row(c.length, 0);
        for (auto [at, value] : c.changes) row[at] = value;
        const Bytes before = seed;
        const Bytes packed = Delta(row, seed);
        EXPECT_EQ(HexText(packed), HexText(Hex(c.packed))) << c.name;
        EXPECT_EQ(seed, row) << c.name << ": the seed holds the new row";
        EXPECT_EQ(UnDelta(packed, before), row) << c.name;
    }
}

TEST(DeltaRow, EmitCommandWritesLongOffsets) {
    const BYTE data[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    struct Case {
        DWORD count, offset;
        const char* bytes;
    } cases[] = {
        {1, 0, "00 01"},       {8, 30, "FE 01 02 03 04 05 06 07 08"}, {2, 31, "3F 00 01 02"},
        {1, 285, "1F FE 01"}, {1, 286, "1F FF 00 01"},                {1, 541, "1F FF FF 00 01"},
    };
    for (const Case& c : cases) {
        BYTE out[32] = {};
        BYTE* end = DeltaRow_EmitCommand(out, c.count, data, c.offset);
        EXPECT_EQ(HexText(Bytes(out, end)), HexText(Hex(c.bytes))) << c.count << " at " << c.offset;
    }
}

// A sequence of rows, each against the seed the last one left, decodes row
// by row; the worst case holds for rows where every other byte changes.
TEST(DeltaRow, RowSequencesRoundTrip) {
    std::mt19937 random(11);
    for (size_t length : {1u, 7u, 9u, 40u, 300u, 1000u}) {
        Bytes seed(length, 0), decoded(length, 0);
        for (int r = 0; r < 40; ++r) {
            Bytes row = seed;
            const int mode = r % 4;
            for (size_t i = 0; i < length; ++i) {
                if (mode == 0 || (mode == 1 && i % 2 == 0) || (mode == 2 && random() % 9 == 0) ||
                    (mode == 3 && i % 10 != 9))
                    row[i] = BYTE(row[i] + 1 + random() % 200);
            }
            const Bytes packed = Delta(row, seed);
            decoded = UnDelta(packed, decoded);
            ASSERT_EQ(decoded, row) << "length " << length << " row " << r;
        }
    }
}

}  // namespace
}  // namespace tam::test

namespace tam::test {
namespace {

// With the row dump on, each row goes to the debug file before it is
// compressed: its length as 4 bytes, then its bytes.
class RowDump : public JobTest {};

TEST_F(RowDump, RowsGoToTheDebugFile) {
    PDEV* pdev = EnableDefault();
    ASSERT_NE(pdev, nullptr);
    const char16_t* path = u"C:\\rowdump.bin";
    HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    pdev->Job.Gstate.DebugFile = file;
    pdev->Job.Gstate.RowDump = 1;
    BYTE out[16];
    const Bytes first = Hex("05 05 05"), second = Hex("01 02");
    EXPECT_EQ(Rle_Compress(pdev, out, first.data(), 3), 2u);
    EXPECT_EQ(Rle_Compress(pdev, out, second.data(), 2), 3u);
    pdev->Job.Gstate.RowDump = 0;
    EXPECT_EQ(Rle_Compress(pdev, out, first.data(), 3), 2u);
    pdev->Job.Gstate.DebugFile = nullptr;
    CloseHandle(file);

    file = CreateFileW(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    BYTE dump[64] = {};
    DWORD read = 0;
    ASSERT_TRUE(ReadFile(file, dump, sizeof(dump), &read, nullptr));
    CloseHandle(file);
    EXPECT_EQ(HexText(Bytes(dump, dump + read)), "03 00 00 00 05 05 05 02 00 00 00 01 02");
}

}  // namespace
}  // namespace tam::test

namespace tam::test {
namespace {

// The compression marker decoded: its frame, the diagonals and the label.
class CompressionMarker : public JobTest {
protected:
    job::DecodedJob Draw(LONG x, LONG y, LONG width, LONG height, int flags, LONG percent) {
        PDEV* pdev = EnableDefault();
        if (!pdev) return {};
        OpenJob(pdev);
        pdev->Job.JobDevmode.pub.dmColor = DMCOLOR_COLOR;
        Gx_ResetCache(pdev);
        EXPECT_TRUE(Pxl_BeginSession(pdev));
        EXPECT_TRUE(Pxl_BeginPageMedia(pdev));
        TakeOutput(pdev);
        const size_t before = JobBytes().size();
        EXPECT_TRUE(Pxl_DrawCompressionMarker(pdev, x, y, width, height, flags, percent));
        Pxl_EndPage(pdev, 1);
        Pxl_CloseDataSource(pdev);
        Pjl_WriteEndOfJob(pdev);
        Spool_Flush(pdev);
        const Bytes bytes = JobBytes();
        job::DecodedJob decoded = job::DecodeJob(std::span<const uint8_t>(bytes.data(), bytes.size()));
        // Only what the marker wrote.
        std::erase_if(decoded.ops, [&](const job::Operator& op) { return op.offset < before; });
        return decoded;
    }
};

struct MarkerCase {
    LONG width, height, percent;
    LONG size;           // character size
    LONG cursorX, cursorY;
    const char* label;
};

TEST_F(CompressionMarker, LabelFitsTheBox) {
    const MarkerCase cases[] = {
        {200, 100, 999, 50, 100, 265, "999%"},   // width / 4 characters
        {400, 60, 5, 60, 240, 248, "5%"},        // at most the height
        {50, 30, 100, 20, 85, 221, "100%"},      // at least 20, wider than the box
    };
    for (const MarkerCase& c : cases) {
        const job::DecodedJob decoded = Draw(100, 200, c.width, c.height, MARKER_DIAGONALS, c.percent);
        ASSERT_TRUE(decoded.Ok()) << Problems(decoded);
        const job::Operator* font = decoded.First("SetFont");
        ASSERT_NE(font, nullptr) << c.label;
        EXPECT_EQ(font->Text("FontName"), "Courier         ");
        EXPECT_EQ(font->Number("CharSize"), double(c.size)) << c.label;
        EXPECT_EQ(font->Int("SymbolSet"), 629);
        const job::Operator* text = decoded.First("Text");
        ASSERT_NE(text, nullptr);
        EXPECT_EQ(text->Text("TextData"), c.label);
        const job::Attribute* spacing = text->Find("XSpacingData");
        ASSERT_NE(spacing, nullptr);
        EXPECT_EQ(spacing->value.type, job::DataType::SInt16Array);
        ASSERT_EQ(spacing->value.Count(), std::string(c.label).size());
        for (size_t i = 0; i < spacing->value.Count(); ++i) EXPECT_EQ(spacing->value.Int(i), c.size);
        // The cursor the label starts from is the last one set before it.
        const job::Operator* cursor = nullptr;
        for (const job::Operator& op : decoded.ops)
            if (op.name == "SetCursor" && op.offset < text->offset) cursor = &op;
        ASSERT_NE(cursor, nullptr);
        EXPECT_EQ(cursor->Int("Point", 0), c.cursorX) << c.label;
        EXPECT_EQ(cursor->Int("Point", 1), c.cursorY) << c.label;
    }
}

// Both diagonals in the flags' colours (blue unless red is asked for) after
// the black frame; the label takes the first diagonal's colour. A box under
// 20 pixels gets its frame alone.
TEST_F(CompressionMarker, DiagonalsAndSmallBoxes) {
    struct Case {
        int flags;
        std::vector<LONG> pens;  // RGB
        LONG brush;
    } cases[] = {
        {MARKER_DIAGONALS, {0x000000, 0x0000FF, 0x0000FF}, 0x0000FF},
        {MARKER_DIAGONALS | MARKER_FIRST_RED, {0x000000, 0xFF0000, 0x0000FF}, 0xFF0000},
        {MARKER_DIAGONALS | MARKER_SECOND_RED, {0x000000, 0x0000FF, 0xFF0000}, 0x0000FF},
        {0, {0x000000}, 0x0000FF},
    };
    const auto rgb = [](const job::Operator& op) {
        const job::Value& v = op.Find("RGBColor")->value;
        return LONG(v.Int(0) << 16 | v.Int(1) << 8 | v.Int(2));
    };
    for (const Case& c : cases) {
        const job::DecodedJob decoded = Draw(0, 0, 100, 100, c.flags, 42);
        ASSERT_TRUE(decoded.Ok()) << Problems(decoded);
        // The pen in force at each painted path.
        std::vector<LONG> pens;
        LONG pen = -1, brush = -1;
        for (const job::Operator& op : decoded.ops) {
            if (op.name == "SetPenSource" && op.Has("RGBColor")) pen = rgb(op);
            if (op.name == "SetBrushSource" && op.Has("RGBColor")) brush = rgb(op);
            if (op.name == "PaintPath") pens.push_back(pen);
        }
        EXPECT_EQ(pens, c.pens) << c.flags;
        EXPECT_EQ(brush, c.brush) << c.flags;
        EXPECT_EQ(decoded.Count("Text"), 1u);
    }
    const job::DecodedJob small = Draw(0, 0, 19, 300, MARKER_DIAGONALS, 42);
    ASSERT_TRUE(small.Ok()) << Problems(small);
    EXPECT_EQ(small.Count("Text"), 0u);
    EXPECT_EQ(small.Count("LinePath") + small.Count("LineRelPath"), 0u);
    EXPECT_GE(small.Count("PaintPath"), 1u);
}

}  // namespace
}  // namespace tam::test
