// Images and raster patterns: rows in every pixel format, sent uncompressed,
// run-length and delta-row compressed, come back as the rows that were sent.
#include "sample_job.h"

#include <gtest/gtest.h>

#include <tuple>

namespace tam::job::test {
namespace {

struct Format {
    const char* name;
    int colorSpace;  // 1 grey, 2 RGB
    int mapping;     // 1 indexed
    int depth;       // ColorDepth
    uint32_t bitsPerPixel;
};

const Format kFormats[] = {
    {"Bilevel", 1, 1, 0, 1},
    {"Indexed4", 1, 1, 1, 4},
    {"Grey8", 1, 0, 2, 8},
    {"Rgb24", 2, 0, 2, 24},
};

constexpr uint32_t kWidth = 37;  // not a multiple of 8 or 4: rows end in part-bytes and padding
constexpr uint32_t kHeight = 9;

// Rows with runs and with noise, so that every packet kind appears.
std::vector<std::vector<uint8_t>> SourceRows(size_t rowBytes) {
    std::vector<std::vector<uint8_t>> rows(kHeight, std::vector<uint8_t>(rowBytes));
    uint32_t noise = 12345;
    for (uint32_t y = 0; y < kHeight; ++y) {
        for (size_t i = 0; i < rowBytes; ++i) {
            noise = noise * 1103515245 + 12345;
            rows[y][i] = (i / 7 + y) % 3 == 0 ? static_cast<uint8_t>(noise >> 16) : static_cast<uint8_t>(y * 40 + i / 9);
        }
        if (y == 4) rows[y] = rows[y - 1];  // an unchanged row
    }
    return rows;
}

class RasterRows : public testing::TestWithParam<std::tuple<Format, int>> {};

TEST_P(RasterRows, DecodeToTheRowsSent) {
    const auto [format, mode] = GetParam();
    const size_t rowBytes = (kWidth * format.bitsPerPixel + 7) / 8;
    const size_t padded = (rowBytes + 3) / 4 * 4;
    const std::vector<std::vector<uint8_t>> rows = SourceRows(rowBytes);

    JobBuilder b;
    b.JobStart().PageStart();
    b.U8(static_cast<uint8_t>(format.colorSpace)).Attr(id::ColorSpace);
    std::vector<double> palette;
    if (format.mapping == 1) {
        for (int i = 0; i < (1 << (format.depth == 0 ? 1 : 4)); ++i) palette.push_back(255 - i * 17);
        b.U8(2).Attr(id::PaletteDepth).Array(DataType::UByteArray, palette).Attr(id::PaletteData);
    }
    b.Op(tag::SetColorSpace);
    WriteImageHead(b, format.mapping, format.depth, kWidth, kHeight);
    std::vector<uint8_t> seed(padded);
    const uint32_t blocks[2][2] = {{0, 5}, {5, 4}};
    for (const auto& block : blocks) {
        std::vector<uint8_t> data;
        for (uint32_t y = block[0]; y < block[0] + block[1]; ++y) {
            std::vector<uint8_t> row = rows[y];
            row.resize(padded);
            const std::vector<uint8_t> encoded = mode == 0 ? row : mode == 1 ? PackBits(row) : DeltaRow(row, seed);
            data.insert(data.end(), encoded.begin(), encoded.end());
        }
        WriteReadImageHead(b, block[0], block[1], mode);
        b.Raw({0xFA}).Le(data.size(), 4).Raw(data);
    }
    b.Op(tag::EndImage).PageEnd().JobEnd();

    const DecodedJob job = Decode(b);
    ASSERT_TRUE(job.Ok()) << FormatJob(job);
    ASSERT_EQ(job.rasters.size(), 1u);
    const Raster& r = job.rasters[0];
    EXPECT_TRUE(r.valid);
    EXPECT_EQ(r.width, kWidth);
    EXPECT_EQ(r.height, kHeight);
    EXPECT_EQ(r.bitsPerPixel, format.bitsPerPixel);
    EXPECT_EQ(r.rowBytes, rowBytes);
    EXPECT_EQ(r.colorSpace, format.colorSpace);
    EXPECT_EQ(r.palette.size(), palette.size());
    EXPECT_EQ(r.compressModes, std::vector<int>{mode});
    EXPECT_EQ(r.destWidth, kWidth * 2);
    ASSERT_TRUE(r.rowsKept);
    ASSERT_EQ(r.RowsHeld(), kHeight);
    for (uint32_t y = 0; y < kHeight; ++y) {
        EXPECT_EQ(std::vector<uint8_t>(r.Row(y).begin(), r.Row(y).end()), rows[y]) << "row " << y;
    }
    // The last pixel of the last row, which shares its byte with padding bits.
    const std::vector<uint8_t>& last = rows[kHeight - 1];
    const uint32_t x = kWidth - 1;
    uint32_t expected = 0;
    switch (format.bitsPerPixel) {
    case 1: expected = (last[x / 8] >> (7 - x % 8)) & 1; break;
    case 4: expected = last[x / 2] >> 4; break;  // x is even: the high nibble
    case 8: expected = last[x]; break;
    default: expected = (last[3 * x] << 16) | (last[3 * x + 1] << 8) | last[3 * x + 2]; break;
    }
    EXPECT_EQ(r.Pixel(x, kHeight - 1), expected);
    const auto reads = job.Find("ReadImage");
    ASSERT_EQ(reads.size(), 2u);
    EXPECT_EQ(reads[1]->firstRow, 5u);
    EXPECT_EQ(reads[1]->rowCount, 4u);
    EXPECT_EQ(reads[1]->raster, 0);
}

INSTANTIATE_TEST_SUITE_P(All, RasterRows, testing::Combine(testing::ValuesIn(kFormats), testing::Values(0, 1, 3)),
                         [](const auto& info) {
                             const int mode = std::get<1>(info.param);
                             return std::string(std::get<0>(info.param).name) +
                                    (mode == 0 ? "Uncompressed" : mode == 1 ? "RunLength" : "DeltaRow");
                         });

// Row encodings as the driver's compressors write them.
struct EncodedRow {
    const char* name;
    uint32_t width;  // 8-bit grey pixels
    int mode;
    std::vector<uint8_t> data;
    std::vector<std::pair<size_t, uint8_t>> set;  // the row: zero except these bytes
    uint8_t fill;                                 // ... or all this byte when set is empty
};

const EncodedRow kEncodedRows[] = {
    {"RunLength300EqualBytes", 300, 1, {0x81, 7, 0x81, 7, 0xD5, 7}, {}, 7},
    {"RunLengthSkipsNoOpControl", 4, 1, {0x80, 0xFD, 9}, {}, 9},
    {"DeltaRowOnlyByte40", 44, 3, {0x03, 0x00, 0x1F, 0x09, 0x07}, {{40, 7}}, 0},
    {"DeltaRowOffset286", 300, 3, {0x04, 0x00, 0x1F, 0xFF, 0x00, 0x09}, {{286, 9}}, 0},
    {"DeltaRowNineBytes", 12, 3, {0x0B, 0x00, 0xE0, 1, 2, 3, 4, 5, 6, 7, 8, 0x00, 9},
     {{0, 1}, {1, 2}, {2, 3}, {3, 4}, {4, 5}, {5, 6}, {6, 7}, {7, 8}, {8, 9}}, 0},
    {"DeltaRowUnchanged", 4, 3, {0x00, 0x00}, {}, 0},
};

void PrintTo(const EncodedRow& c, std::ostream* os) { *os << c.name; }

class DriverRow : public testing::TestWithParam<EncodedRow> {};

TEST_P(DriverRow, Decodes) {
    const EncodedRow& c = GetParam();
    JobBuilder b;
    b.JobStart().PageStart();
    WriteImageHead(b, 0, 2, c.width, 1);
    WriteReadImageHead(b, 0, 1, c.mode);
    b.Data(c.data).Op(tag::EndImage).PageEnd().JobEnd();
    const DecodedJob job = Decode(b);
    ASSERT_TRUE(job.Ok()) << FormatJob(job);
    std::vector<uint8_t> expected(c.width, c.fill);
    for (const auto& [at, v] : c.set) expected[at] = v;
    ASSERT_EQ(job.rasters.size(), 1u);
    EXPECT_EQ(std::vector<uint8_t>(job.rasters[0].Row(0).begin(), job.rasters[0].Row(0).end()), expected);
}

INSTANTIATE_TEST_SUITE_P(All, DriverRow, testing::ValuesIn(kEncodedRows),
                         [](const auto& info) { return std::string(info.param.name); });

// A 1-bit 8 x 8 pattern of the given persistence, defined as id 20.
void DefinePattern(JobBuilder& b, int persistence) {
    b.U8(1).Attr(id::ColorMapping).U8(0).Attr(id::ColorDepth).U16(8).Attr(id::SourceWidth);
    b.U16(8).Attr(id::SourceHeight).Pair(DataType::UInt16XY, 32, 32).Attr(id::DestinationSize);
    b.S16(20).Attr(id::PatternDefineID).U8(static_cast<uint8_t>(persistence)).Attr(id::PatternPersistence);
    b.Op(tag::BeginRastPattern);
    b.U16(0).Attr(id::StartLine).U16(8).Attr(id::BlockHeight).U8(0).Attr(id::CompressMode).Op(tag::ReadRastPattern);
    b.Data(std::vector<uint8_t>(32, 0x55)).Op(tag::EndRastPattern);
}

struct PatternLife {
    int persistence;
    bool selectableOnNextPage;
};

class PatternLifetime : public testing::TestWithParam<PatternLife> {};

TEST_P(PatternLifetime, OnlySessionPatternsOutliveTheirPage) {
    const PatternLife c = GetParam();
    JobBuilder b;
    b.JobStart().PageStart();
    DefinePattern(b, c.persistence);
    b.S16(20).Attr(id::PatternSelectID).Op(tag::SetBrushSource).PageEnd().PageStart();
    b.S16(20).Attr(id::PatternSelectID);
    const size_t selectAt = b.Size();
    b.Op(tag::SetBrushSource).PageEnd().JobEnd();

    const DecodedJob job = Decode(b);
    ASSERT_EQ(job.rasters.size(), 1u);
    EXPECT_TRUE(job.rasters[0].pattern);
    EXPECT_EQ(job.rasters[0].persistence, c.persistence);
    EXPECT_EQ(job.rasters[0].Pixel(1, 7), 1u);
    if (c.selectableOnNextPage) {
        EXPECT_TRUE(job.Ok()) << FormatJob(job);
    } else {
        ASSERT_EQ(job.problems.size(), 1u) << FormatJob(job);
        EXPECT_EQ(job.problems[0].offset, selectAt);
        EXPECT_EQ(job.problems[0].reason, "pattern 20 is selected but not defined");
    }
}

INSTANTIATE_TEST_SUITE_P(All, PatternLifetime,
                         testing::Values(PatternLife{0, false}, PatternLife{1, false}, PatternLife{2, true}));

TEST(Raster, RowsBeyondTheBudgetAreNotKeptButStillChecked) {
    JobBuilder b;
    BuildSampleJob(b);
    DecodeOptions options;
    options.rowBudget = 16;  // the sample image has 18 bytes of rows
    const DecodedJob job = DecodeJob(std::span<const uint8_t>(b.bytes), options);
    ASSERT_TRUE(job.Ok()) << FormatJob(job);
    EXPECT_FALSE(job.rasters[0].rowsKept);
    EXPECT_EQ(job.rasters[0].RowsHeld(), 0u);
    EXPECT_EQ(job.rasters[0].rowsRead, 3u);
    EXPECT_TRUE(job.rasters[1].rowsKept);  // the pattern still fits
}

}  // namespace
}  // namespace tam::job::test
