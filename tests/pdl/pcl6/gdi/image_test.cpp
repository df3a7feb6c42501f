// Image output: every image is decoded by the job decoder and compared, row
// by row and pixel by pixel, with a reference resampler written here from
// the rules (rows and columns picked by trunc(i x size / output size), the
// last one the last of the source).
#include <gtest/gtest.h>
#include <windows.h>
#include <winddi.h>

#include <random>
#include <set>
#include <string>
#include <vector>

#include "job_fixture.h"
#include "machine/machine.h"
#include "pcl6/gdi/gx.h"
#include "pcl6/gdi/image.h"
#include "pcl6/gdi/imagerows.h"
#include "pcl6/gdi/pagemedia.h"
#include "pcl6/gdi/pjl.h"
#include "pcl6/gdi/rowcompress.h"
#include "pcl6/intrface/util.h"

namespace tam::test {
namespace {

// A source bitmap whose memory ends with its last row, so that a read past
// the surface is a fault the sanitizer sees.
struct Bitmap {
    ULONG format;
    LONG width, height;
    LONG delta;  // bytes a scan line, padded to 4
    std::vector<BYTE> bits;
    SURFOBJ surface{};

    Bitmap(ULONG f, LONG w, LONG h) : format(f), width(w), height(h) {
        delta = LONG((ULONGLONG(w) * Bits() + 31) / 32 * 4);
        bits.assign(size_t(delta) * size_t(h), 0);
        surface.iBitmapFormat = format;
        surface.sizlBitmap = {w, h};
        surface.pvScan0 = surface.pvBits = bits.data();
        surface.lDelta = delta;
        surface.cjBits = ULONG(bits.size());
        surface.iType = STYPE_BITMAP;
        surface.fjBitmap = BMF_TOPDOWN;
    }
    DWORD Bits() const {
        static const DWORD kBits[] = {0, 1, 4, 8, 16, 24, 32};
        return kBits[format];
    }
    // The raw value of pixel (x, y): an index, a 16-bit word, or the bytes
    // 0, 1, 2 of a 24- or 32-bit pixel as 0x00BBGGRR.
    ULONG Get(LONG x, LONG y) const {
        const BYTE* row = bits.data() + size_t(y) * delta;
        switch (Bits()) {
            case 1: return (row[x / 8] >> (7 - x % 8)) & 1;
            case 4: return (row[x / 2] >> (x % 2 ? 0 : 4)) & 15;
            case 8: return row[x];
            case 16: return row[2 * x] | row[2 * x + 1] << 8;
            default: {
                const BYTE* p = row + size_t(x) * (Bits() / 8);
                return p[0] | p[1] << 8 | p[2] << 16;
            }
        }
    }
    void Set(LONG x, LONG y, ULONG value) {
        BYTE* row = bits.data() + size_t(y) * delta;
        switch (Bits()) {
            case 1: row[x / 8] = BYTE((row[x / 8] & ~(0x80 >> (x % 8))) | ((value & 1) << (7 - x % 8))); break;
            case 4: row[x / 2] = BYTE(x % 2 ? (row[x / 2] & 0xF0) | (value & 15) : (row[x / 2] & 0x0F) | (value & 15) << 4); break;
            case 8: row[x] = BYTE(value); break;
            case 16: row[2 * x] = BYTE(value), row[2 * x + 1] = BYTE(value >> 8); break;
            default: {
                BYTE* p = row + size_t(x) * (Bits() / 8);
                p[0] = BYTE(value), p[1] = BYTE(value >> 8), p[2] = BYTE(value >> 16);
                if (Bits() == 32) p[3] = 0x5A;  // the fourth byte never counts
            }
        }
    }
    // Smooth areas and noise: rows of both kinds of compressibility.
    void Fill(unsigned seed) {
        std::mt19937 random(seed);
        for (LONG y = 0; y < height; ++y)
            for (LONG x = 0; x < width; ++x)
                Set(x, y, (y / 3) % 2 ? ULONG(random()) : ULONG((x / 5 + y / 7) * 0x010305));
    }
};

// The pixel the decoder shows for a source pixel: an index for indexed
// formats, the grey level in a monochrome job, 0xRRGGBB in a colour job.
ULONG Expected(const Bitmap& source, ULONG raw, bool colorJob) {
    if (source.Bits() <= 8) return raw;
    ULONG red, green, blue;
    if (source.Bits() == 16) {  // no translation: the word is the device colour
        red = raw & 0xFF, green = (raw >> 8) & 0xFF, blue = 0;
    } else {
        red = raw & 0xFF, green = (raw >> 8) & 0xFF, blue = (raw >> 16) & 0xFF;
    }
    if (colorJob) return red << 16 | green << 8 | blue;
    return (74 * red + 155 * green + 27 * blue) >> 8;
}

LONG Picked(LONG index, LONG outputSize, LONG size) {
    return index == outputSize - 1 ? size - 1 : LONG(LONGLONG(index) * size / outputSize);
}

class ImageTest : public JobTest {
protected:
    // A job on a page of A4 at 600 dpi, one page a sheet, unscaled; the
    // job's colour and the current settings' colour as asked.
    PDEV* Page(bool colorJob = false, bool currentColor = false) {
        PDEV* pdev = EnableDefault();
        if (!pdev) return nullptr;
        OpenJob(pdev);
        pdev->Job.JobDevmode.pub.dmColor = colorJob ? DMCOLOR_COLOR : DMCOLOR_MONOCHROME;
        pdev->Devmode.pub.dmColor = currentColor ? DMCOLOR_COLOR : DMCOLOR_MONOCHROME;
        LayoutState& layout = pdev->Job.State.Layout;
        layout.SheetGeometry.Width = 4960, layout.SheetGeometry.Height = 7016;
        layout.ScaleX = layout.ScaleY = layout.ShiftScale = 1.0;
        layout.NupColumns = 1;
        pdev->Devmode.priv.PagesPerSheet = 1;
        Gx_ResetCache(pdev);
        EXPECT_TRUE(Pxl_BeginSession(pdev));
        EXPECT_TRUE(Pxl_BeginPageMedia(pdev));
        return pdev;
    }

    job::DecodedJob Finish(PDEV* pdev) {
        Pxl_EndPage(pdev, 1);
        Pxl_CloseDataSource(pdev);
        Pjl_WriteEndOfJob(pdev);
        Spool_Flush(pdev);
        const Bytes bytes = JobBytes();
        return job::DecodeJob(std::span<const uint8_t>(bytes.data(), bytes.size()));
    }

    // Draws `source` (or its part at `origin`, `width` x `height`) into `dest`.
    job::DecodedJob Draw(PDEV* pdev, Bitmap& source, RECTL dest, POINTL origin = {0, 0}, LONG width = 0,
                         LONG height = 0, BOOL flipV = FALSE, BOOL flipH = FALSE, XLATEOBJ* xlate = nullptr) {
        EXPECT_TRUE(Img_Output(pdev, &source.surface, width ? width : source.width, height ? height : source.height,
                               origin, &dest, xlate, flipV, flipH));
        return Finish(pdev);
    }

    // Every pixel of the decoded image against the reference.
    static void Compare(const job::Raster& image, const Bitmap& source, POINTL origin, LONG width, LONG height,
                        bool flipV, bool flipH, bool colorJob) {
        ASSERT_TRUE(image.rowsKept);
        ASSERT_EQ(image.RowsHeld(), image.height);
        const LONG outW = LONG(image.width), outH = LONG(image.height);
        for (LONG i = 0; i < outH; ++i) {
            LONG y = Picked(i, outH, height);
            y = flipV ? origin.y + height - 1 - y : origin.y + y;
            for (LONG j = 0; j < outW; ++j) {
                LONG x = Picked(j, outW, width);
                x = flipH ? origin.x + width - 1 - x : origin.x + x;
                const ULONG want = Expected(source, source.Get(x, y), colorJob);
                ASSERT_EQ(image.Pixel(uint32_t(j), uint32_t(i)), want) << "output pixel " << j << ", row " << i;
            }
        }
    }
};

// ---- The band buffer ----

TEST(ImageBand, SizesAndRows) {
    struct Case {
        DWORD stride;
        LONG rows, rowsOut;
        DWORD size;
    } cases[] = {
        {4, 1, 1, 12},           {100, 50, 50, 5200},        {100, 117, 117, 11900},
        {100, 118, 120, 12200},  {5999, 1, 2, 23998},        {12000, 1, 1, 36000},
        {36000, 100, 1, 108000},
    };
    for (const Case& c : cases) {
        LONG rows = c.rows;
        DWORD size = 0;
        BYTE* band = Img_AllocBand(nullptr, c.stride, &rows, &size);
        ASSERT_NE(band, nullptr);
        EXPECT_EQ(rows, c.rowsOut) << c.stride << " x " << c.rows;
        EXPECT_EQ(size, c.size) << c.stride << " x " << c.rows;
        EXPECT_EQ(Util_GlobalSize(band), size);
        Util_GlobalFree(nullptr, band);
    }
}

TEST(ImageBand, ShortMemoryQuartersTheRows) {
    LONG rows = 200;
    DWORD size = 0;
    Util_FailGlobalAlloc(1);
    BYTE* band = Img_AllocBand(nullptr, 100, &rows, &size);
    ASSERT_NE(band, nullptr);
    EXPECT_EQ(rows, 30);  // 120 rows fit the band; a quarter of them
    EXPECT_EQ(size, 3200u);
    Util_GlobalFree(nullptr, band);
    rows = 3;
    Util_FailGlobalAlloc(1);
    EXPECT_EQ(Img_AllocBand(nullptr, 100, &rows, &size), nullptr);
}

// ---- Row transforms ----

TEST(ImageRows, ShiftMovesPixelsToTheFirstBit) {
    const BYTE row[3] = {0x0F, 0xF0, 0xAA};
    BYTE out[3] = {};
    Img_ShiftRow(row, out, 16, 4);  // 16 bits from bit 4: F F 0 A
    EXPECT_EQ(HexText(Bytes(out, out + 2)), "FF 0A");
    // The source bytes that hold the bits are all it reads.
    Img_ShiftRow(row, out, 12, 4);
    EXPECT_EQ(HexText(Bytes(out, out + 2)), "FF 00");
    Img_ShiftRow(row, out, 4, 4);
    EXPECT_EQ(out[0], 0xF0);
}

TEST(ImageRows, MirrorRepacksSmallPixels) {
    struct Case {
        DWORD bits;
        LONG width;
        const char* in;
        const char* out;
    } cases[] = {
        {1, 10, "C0 40", "80 C0"},
        {4, 3, "12 30", "32 10"},
        {8, 3, "01 02 03", "03 02 01"},
        {24, 2, "01 02 03 04 05 06", "04 05 06 01 02 03"},
    };
    for (const Case& c : cases) {
        const Bytes in = Hex(c.in);
        Bytes out(in.size(), 0xEE);
        Img_MirrorRow(nullptr, in.data(), out.data(), c.width, c.bits);
        EXPECT_EQ(HexText(out), HexText(Hex(c.out))) << c.bits << " bits";
    }
}

TEST(ImageRows, TranslationKinds) {
    ULONG table[2] = {0, 0xFFFFFF};
    XLATEOBJ indexed{};
    indexed.flXlate = XO_TABLE;
    indexed.cEntries = 2;
    indexed.pulXlate = table;
    EXPECT_EQ(Img_TranslationKind(&indexed, BMF_8BPP), IMG_KIND_IN_PLACE);
    EXPECT_EQ(Img_TranslationKind(nullptr, BMF_1BPP), IMG_KIND_IN_PLACE);
    EXPECT_EQ(Img_TranslationKind(nullptr, BMF_16BPP), IMG_KIND_TRANSLATE);
    EXPECT_EQ(Img_TranslationKind(nullptr, BMF_24BPP), IMG_KIND_RGB);
    EXPECT_EQ(Img_TranslationKind(nullptr, BMF_32BPP), IMG_KIND_RGB);
    // A translation that keeps the masks, the alpha byte included, must
    // translate every pixel.
    XLATEOBJ trivial{};
    trivial.flXlate = XO_TRIVIAL;
    EXPECT_EQ(Img_TranslationKind(&trivial, BMF_32BPP), IMG_KIND_TRANSLATE);
}

class ImageRowConversion : public ImageTest {};

TEST_F(ImageRowConversion, ByteOrdersOfDirectPixels) {
    PDEV* pdev = Page(true);
    ASSERT_NE(pdev, nullptr);
    const BYTE pixels[8] = {0x10, 0x20, 0x30, 0x99, 0x40, 0x50, 0x60, 0x99};
    BYTE out[6] = {};
    Img_ConvertRow(pdev, pixels, out, nullptr, IMG_KIND_BGR, 32, 2);
    EXPECT_EQ(HexText(Bytes(out, out + 6)), "30 20 10 60 50 40");
    Img_ConvertRow(pdev, pixels, out, nullptr, IMG_KIND_RGB, 24, 2);
    EXPECT_EQ(HexText(Bytes(out, out + 6)), "10 20 30 99 40 50");
    pdev->Job.JobDevmode.pub.dmColor = DMCOLOR_MONOCHROME;
    const BYTE white[3] = {0xFF, 0xFF, 0xFF}, red[3] = {0xFF, 0, 0};
    Img_ConvertRow(pdev, white, out, nullptr, IMG_KIND_RGB, 24, 1);
    Img_ConvertRow(pdev, red, out + 1, nullptr, IMG_KIND_RGB, 24, 1);
    EXPECT_EQ(HexText(Bytes(out, out + 2)), "FF 49");
}

// The trial samples rows 0, H/5, ... 4H/5 in reading order: here the even
// rows are runs of one byte and the odd ones noise.
TEST(ImageRows, CompressionTrialSamplesFiveRows) {
    Bitmap source(BMF_8BPP, 100, 10);
    std::mt19937 random(2);
    for (LONG y = 0; y < 10; ++y)
        for (LONG x = 0; x < 100; ++x) source.Set(x, y, y % 2 ? ULONG(random()) : 7);
    LONG rows = 10;
    DWORD size = 0;
    BYTE* band = Img_AllocBand(nullptr, 100, &rows, &size);
    ASSERT_NE(band, nullptr);
    // Five runs of 100 bytes: 2 bytes each, 2 % of the rows.
    EXPECT_EQ(Img_CompressionTrial(nullptr, band, source.bits.data(), 100, nullptr, 100, 10, rows, source.delta, 800,
                                   8, 0, IMG_KIND_IN_PLACE), 2u);
    // Bottom to top: rows 9, 7, 5, 3 and 1, a literal of 101 bytes each.
    EXPECT_EQ(Img_CompressionTrial(nullptr, band, source.bits.data() + 9 * source.delta, 100, nullptr, 100, 10, rows,
                                   -source.delta, 800, 8, 0, IMG_KIND_IN_PLACE), 101u);
    Util_GlobalFree(nullptr, band);
}

// ---- Whole images ----

struct ImageCase {
    const char* name;
    ULONG format;
    LONG surfaceW, surfaceH;
    POINTL origin;
    LONG w, h;
    LONG destW, destH;
    BOOL flipV, flipH;
    bool colorJob;
};

void PrintTo(const ImageCase& c, std::ostream* os) { *os << c.name; }

const ImageCase kImages[] = {
    {"1-bit whole", BMF_1BPP, 37, 20, {0, 0}, 37, 20, 37, 20, FALSE, FALSE, false},
    {"1-bit part at bit 3, mirrored", BMF_1BPP, 50, 30, {3, 4}, 41, 26, 41, 26, FALSE, TRUE, false},
    {"4-bit odd start, flipped both ways", BMF_4BPP, 21, 15, {5, 2}, 13, 13, 13, 13, TRUE, TRUE, false},
    {"8-bit reduced both ways", BMF_8BPP, 90, 80, {0, 0}, 90, 80, 36, 20, FALSE, FALSE, false},
    {"8-bit last column of the last rows", BMF_8BPP, 10, 12, {9, 6}, 1, 6, 1, 6, FALSE, FALSE, false},
    {"8-bit tail of the rows", BMF_8BPP, 30, 12, {21, 2}, 9, 10, 9, 10, TRUE, FALSE, false},
    {"16-bit grey", BMF_16BPP, 40, 9, {1, 1}, 39, 8, 39, 8, FALSE, FALSE, false},
    {"24-bit grey reduced, mirrored", BMF_24BPP, 120, 50, {0, 0}, 120, 50, 48, 25, FALSE, TRUE, false},
    {"24-bit colour", BMF_24BPP, 333, 64, {0, 0}, 333, 64, 333, 64, FALSE, FALSE, true},
    {"32-bit colour, flipped", BMF_32BPP, 70, 40, {10, 0}, 60, 40, 30, 20, TRUE, FALSE, true},
    {"32-bit grey", BMF_32BPP, 17, 3, {0, 0}, 17, 3, 17, 3, FALSE, FALSE, false},
};

class ImageReference : public ImageTest, public testing::WithParamInterface<ImageCase> {};

// In run-length jobs (with incompressible rows sent raw) and delta-row jobs
// (colour settings), every image decodes to the reference pixels.
TEST_P(ImageReference, DecodesToTheReferencePixels) {
    const ImageCase& c = GetParam();
    for (bool currentColor : {false, true}) {
        SCOPED_TRACE(currentColor ? "colour settings" : "monochrome settings");
        PDEV* pdev = Page(c.colorJob, currentColor);
        ASSERT_NE(pdev, nullptr);
        Bitmap source(c.format, c.surfaceW, c.surfaceH);
        source.Fill(unsigned(c.surfaceW * 31 + c.surfaceH));
        const RECTL dest = {100, 200, 100 + c.destW, 200 + c.destH};
        const job::DecodedJob decoded = Draw(pdev, source, dest, c.origin, c.w, c.h, c.flipV, c.flipH);
        ASSERT_TRUE(decoded.Ok()) << Problems(decoded);
        ASSERT_EQ(decoded.rasters.size(), 1u);
        const job::Raster& image = decoded.rasters[0];
        EXPECT_EQ(image.width, uint32_t(c.w > c.destW ? c.destW : c.w));
        EXPECT_EQ(image.height, uint32_t(c.h > c.destH ? c.destH : c.h));
        EXPECT_EQ(image.destWidth, uint32_t(c.destW));
        EXPECT_EQ(image.destHeight, uint32_t(c.destH));
        const job::Operator* begin = decoded.First("BeginImage");
        ASSERT_NE(begin, nullptr);
        EXPECT_EQ(begin->Int("ColorMapping"), c.format <= BMF_8BPP ? 1 : 0);
        Compare(image, source, c.origin, c.w, c.h, c.flipV, c.flipH, c.colorJob);
        if (currentColor && c.format > BMF_8BPP) {
            EXPECT_EQ(image.compressModes, std::vector<int>{3});
        } else {
            for (int mode : image.compressModes) EXPECT_TRUE(mode == 0 || mode == 1) << mode;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(All, ImageReference, testing::ValuesIn(kImages));

// One image of many bands, of rows that do not compress and rows that do,
// sent raw and run-length (modes 0 and 1) and as delta rows (mode 3),
// decodes to the same pixels. Rows of 16 bytes that do not compress go raw.
TEST_F(ImageTest, CompressionModesDecodeAlike) {
    struct Case {
        LONG width, height;
        std::vector<int> modes;
    } cases[] = {{700, 90, {1}}, {5, 3000, {0, 1}}};
    for (const Case& c : cases) {
        std::vector<std::vector<BYTE>> results;
        for (bool deltaRows : {false, true}) {
            PDEV* pdev = Page(true, deltaRows);
            ASSERT_NE(pdev, nullptr);
            Bitmap source(BMF_24BPP, c.width, c.height);
            source.Fill(5);
            const job::DecodedJob decoded = Draw(pdev, source, {0, 0, c.width, c.height});
            ASSERT_TRUE(decoded.Ok()) << Problems(decoded);
            ASSERT_EQ(decoded.rasters.size(), 1u);
            const job::Raster& image = decoded.rasters[0];
            EXPECT_GT(decoded.Count("ReadImage"), 3u) << c.width << " x " << c.height << (deltaRows ? " delta" : "");
            std::set<int> modes;
            for (const job::Operator* read : decoded.Find("ReadImage")) modes.insert(int(*read->Int("CompressMode")));
            EXPECT_EQ(std::vector<int>(modes.begin(), modes.end()), deltaRows ? std::vector<int>{3} : c.modes)
                << c.width << " x " << c.height;
            Compare(image, source, {0, 0}, c.width, c.height, false, false, true);
            results.push_back(image.pixels);
        }
        EXPECT_EQ(results[0], results[1]);
    }
}

TEST_F(ImageTest, OneRowImageIsOneBlockOfOneRow) {
    PDEV* pdev = Page();
    ASSERT_NE(pdev, nullptr);
    Bitmap source(BMF_8BPP, 30, 1);
    source.Fill(1);
    const job::DecodedJob decoded = Draw(pdev, source, {0, 0, 30, 1});
    ASSERT_TRUE(decoded.Ok()) << Problems(decoded);
    const auto reads = decoded.Find("ReadImage");
    ASSERT_EQ(reads.size(), 1u);
    EXPECT_EQ(reads[0]->Int("StartLine"), 0);
    EXPECT_EQ(reads[0]->Int("BlockHeight"), 1);
    EXPECT_EQ(decoded.Count("EndImage"), 1u);
}

// 3000 rows into 1000: rows 0, 3, ... 2994 and then the last, 2999.
// 2000 columns into 1000: columns 0, 2, ... 1996 and then the last, 1999.
TEST_F(ImageTest, RowsAndColumnsPicked) {
    PDEV* pdev = Page(true);
    ASSERT_NE(pdev, nullptr);
    Bitmap tall(BMF_24BPP, 2, 3000);
    for (LONG y = 0; y < 3000; ++y) tall.Set(0, y, ULONG(y >> 8) | ULONG(y & 0xFF) << 8);
    const RECTL tallDest = {0, 0, 2, 1000};
    ASSERT_TRUE(Img_Output(pdev, &tall.surface, 2, 3000, {0, 0}, &tallDest, nullptr, FALSE, FALSE));
    Bitmap wide(BMF_24BPP, 2000, 1);
    for (LONG x = 0; x < 2000; ++x) wide.Set(x, 0, ULONG(x >> 8) | ULONG(x & 0xFF) << 8);
    const RECTL wideDest = {0, 0, 1000, 1};
    ASSERT_TRUE(Img_Output(pdev, &wide.surface, 2000, 1, {0, 0}, &wideDest, nullptr, FALSE, FALSE));
    const job::DecodedJob decoded = Finish(pdev);
    ASSERT_TRUE(decoded.Ok()) << Problems(decoded);
    ASSERT_EQ(decoded.rasters.size(), 2u);
    const auto value = [](ULONG rgb) { return LONG((rgb >> 16) << 8 | ((rgb >> 8) & 0xFF)); };
    const job::Raster& rows = decoded.rasters[0];
    ASSERT_EQ(rows.height, 1000u);
    std::vector<LONG> picked, expected;
    for (uint32_t i = 0; i < 1000; ++i) picked.push_back(value(rows.Pixel(0, i)));
    for (LONG i = 0; i < 999; ++i) expected.push_back(3 * i);
    expected.push_back(2999);
    EXPECT_EQ(picked, expected);
    const job::Raster& columns = decoded.rasters[1];
    ASSERT_EQ(columns.width, 1000u);
    picked.clear(), expected.clear();
    for (uint32_t j = 0; j < 1000; ++j) picked.push_back(value(columns.Pixel(j, 0)));
    for (LONG j = 0; j < 999; ++j) expected.push_back(2 * j);
    expected.push_back(1999);
    EXPECT_EQ(picked, expected);
}

// A page-size image drawn 1:1 goes at 70 %, unless the program is the one
// whose images must be larger than their destination for that.
TEST_F(ImageTest, PageSizeImagesAndTheCallingProgram) {
    struct Case {
        const char16_t* program;
        uint32_t width, height;
    } cases[] = {
        {u"C:\\Program Files\\Tools\\tamprint.exe", 3360, 4620},
        {u"C:\\Program Files\\Office\\POWERPNT.EXE", 4800, 6600},
    };
    for (const Case& c : cases) {
        machine().MutableSettings().programPath = c.program;
        PDEV* pdev = Page();
        ASSERT_NE(pdev, nullptr);
        Bitmap source(BMF_1BPP, 4800, 6600);
        source.Fill(3);
        const job::DecodedJob decoded = Draw(pdev, source, {0, 0, 4800, 6600});
        ASSERT_TRUE(decoded.Ok()) << Problems(decoded);
        ASSERT_EQ(decoded.rasters.size(), 1u);
        EXPECT_EQ(decoded.rasters[0].width, c.width);
        EXPECT_EQ(decoded.rasters[0].height, c.height);
        Compare(decoded.rasters[0], source, {0, 0}, 4800, 6600, false, false, false);
    }
}

TEST_F(ImageTest, NupCellTakesHalfTheImage) {
    PDEV* pdev = Page();
    ASSERT_NE(pdev, nullptr);
    pdev->Devmode.priv.PagesPerSheet = 4;
    pdev->Job.State.Layout.ShiftScale = 0.5;
    Bitmap source(BMF_8BPP, 2000, 2000);
    source.Fill(9);
    const job::DecodedJob decoded = Draw(pdev, source, {0, 0, 2000, 2000});
    ASSERT_TRUE(decoded.Ok()) << Problems(decoded);
    ASSERT_EQ(decoded.rasters.size(), 1u);
    EXPECT_EQ(decoded.rasters[0].width, 1000u);
    EXPECT_EQ(decoded.rasters[0].height, 1000u);
    Compare(decoded.rasters[0], source, {0, 0}, 2000, 2000, false, false, false);
}

// Colour rows wider than the band are sent at every third pixel of every
// third row.
TEST_F(ImageTest, WideColourImageGoesAtAThird) {
    PDEV* pdev = Page(true, true);
    ASSERT_NE(pdev, nullptr);
    Bitmap source(BMF_24BPP, 12000, 100);
    source.Fill(4);
    const job::DecodedJob decoded = Draw(pdev, source, {0, 0, 12000, 100});
    ASSERT_TRUE(decoded.Ok()) << Problems(decoded);
    ASSERT_EQ(decoded.rasters.size(), 1u);
    const job::Raster& image = decoded.rasters[0];
    ASSERT_EQ(image.width, 4000u);
    ASSERT_EQ(image.height, 34u);
    for (uint32_t i = 0; i < 34; ++i)
        for (uint32_t j = 0; j < 4000; ++j)
            ASSERT_EQ(image.Pixel(j, i), Expected(source, source.Get(LONG(3 * j), LONG(3 * i)), true)) << j << ", " << i;
}

// Rows of more than 10 bytes that run-length would grow by a tenth or more
// go raw. PackBits grows a row by one byte in 128 (and one), so from 20
// bytes on no row goes raw.
TEST(ImageRows, WhichRowsGoRaw) {
    struct Case {
        DWORD stride, length;
        bool raw;
    } cases[] = {{4, 6, false}, {20, 22, true}, {20, 21, false}, {16, 17, true}, {10, 12, false}, {100, 110, true}};
    for (const Case& c : cases)
        EXPECT_EQ(Img_RowGoesRaw(c.stride, c.length) != FALSE, c.raw) << c.stride << " to " << c.length;
    for (DWORD stride = 20; stride < 5000; ++stride)
        ASSERT_FALSE(Img_RowGoesRaw(stride, stride + (stride + 127) / 128)) << stride;
}

TEST_F(ImageTest, IncompressibleRowsGoRaw) {
    struct Case {
        LONG width;
        int mode;
    } cases[] = {{16, 0}, {12, 0}, {20, 1}, {4, 1}};
    for (const Case& c : cases) {
        PDEV* pdev = Page();
        ASSERT_NE(pdev, nullptr);
        Bitmap source(BMF_8BPP, c.width, 3);
        for (LONG y = 0; y < 3; ++y)
            for (LONG x = 0; x < c.width; ++x) source.Set(x, y, ULONG(x + 1));  // no two bytes alike
        const job::DecodedJob decoded = Draw(pdev, source, {0, 0, c.width, 3});
        ASSERT_TRUE(decoded.Ok()) << Problems(decoded);
        ASSERT_EQ(decoded.rasters.size(), 1u);
        EXPECT_EQ(decoded.rasters[0].compressModes, std::vector<int>{c.mode}) << c.width << " bytes";
        EXPECT_EQ(Bytes(decoded.rasters[0].pixels), source.bits);
    }
}

TEST_F(ImageTest, MonochromeJobSendsGreyRows) {
    PDEV* pdev = Page(false);
    ASSERT_NE(pdev, nullptr);
    Bitmap source(BMF_24BPP, 3, 1);
    source.Set(0, 0, 0x0000FF), source.Set(1, 0, 0xFFFFFF), source.Set(2, 0, 0x00FF00);
    const job::DecodedJob decoded = Draw(pdev, source, {0, 0, 3, 1});
    ASSERT_TRUE(decoded.Ok()) << Problems(decoded);
    const job::Operator* begin = decoded.First("BeginImage");
    ASSERT_NE(begin, nullptr);
    EXPECT_EQ(begin->Int("ColorMapping"), 0);
    EXPECT_EQ(begin->Int("ColorDepth"), 2);
    EXPECT_EQ(decoded.rasters[0].colorSpace, 1);
    EXPECT_EQ(HexText(Bytes(decoded.rasters[0].pixels)), "49 FF 9A");
}

// An indexed image takes its translation's table as palette; without a
// table nothing is written and the colour space in force stays.
TEST_F(ImageTest, PaletteFromTheTranslationTable) {
    PDEV* pdev = Page(false);
    ASSERT_NE(pdev, nullptr);
    Bitmap source(BMF_8BPP, 4, 1);
    XLATEOBJ none{};
    none.flXlate = 0;
    const RECTL first = {0, 0, 4, 1}, second = {0, 10, 8, 11};
    ASSERT_TRUE(Img_Output(pdev, &source.surface, 4, 1, {0, 0}, &first, &none, FALSE, FALSE));
    ULONG colors[2] = {0x000000FF, 0x00FFFFFF};
    XLATEOBJ table{};
    table.flXlate = XO_TABLE;
    table.cEntries = 2;
    table.pulXlate = colors;
    Bitmap mono(BMF_1BPP, 8, 1);
    ASSERT_TRUE(Img_Output(pdev, &mono.surface, 8, 1, {0, 0}, &second, &table, FALSE, FALSE));
    const job::DecodedJob decoded = Finish(pdev);
    ASSERT_TRUE(decoded.Ok()) << Problems(decoded);
    ASSERT_EQ(decoded.rasters.size(), 2u);
    EXPECT_TRUE(decoded.rasters[0].palette.empty());
    EXPECT_EQ(decoded.rasters[1].palette, (std::vector<uint8_t>{0x49, 0xFF}));
    // Only the second image has a colour space of its own before it.
    const auto spaces = decoded.Find("SetColorSpace");
    ASSERT_FALSE(spaces.empty());
    EXPECT_GT(spaces.back()->offset, decoded.ops[decoded.rasters[0].endOp].offset);
}

TEST_F(ImageTest, MirroredOneBitRow) {
    PDEV* pdev = Page();
    ASSERT_NE(pdev, nullptr);
    Bitmap source(BMF_1BPP, 10, 1);
    source.bits[0] = 0xC0, source.bits[1] = 0x40;  // pixels 0, 1 and 9
    const job::DecodedJob decoded = Draw(pdev, source, {0, 0, 10, 1}, {0, 0}, 0, 0, FALSE, TRUE);
    ASSERT_TRUE(decoded.Ok()) << Problems(decoded);
    const job::Operator* read = decoded.First("ReadImage");
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(HexText(Bytes(decoded.rasters[0].pixels)), "80 C0");  // pixels 0, 8 and 9
}

TEST_F(ImageTest, RefusedWithoutWriting) {
    PDEV* pdev = Page();
    ASSERT_NE(pdev, nullptr);
    TakeOutput(pdev);
    Bitmap source(BMF_8BPP, 10, 10);
    const RECTL dest = {0, 0, 10, 10};
    SURFOBJ rle = source.surface;
    rle.iBitmapFormat = BMF_8RLE;
    struct Case {
        const char* name;
        SURFOBJ* surface;
        LONG w, h;
        POINTL origin;
    } cases[] = {
        {"run-length source", &rle, 10, 10, {0, 0}},
        {"past the right edge", &source.surface, 10, 10, {1, 0}},
        {"past the last row", &source.surface, 5, 5, {0, 6}},
        {"no rows", &source.surface, 10, 0, {0, 0}},
        {"no surface", nullptr, 10, 10, {0, 0}},
    };
    for (const Case& c : cases) {
        SetLastError(0);
        EXPECT_FALSE(Img_Output(pdev, c.surface, c.w, c.h, c.origin, &dest, nullptr, FALSE, FALSE)) << c.name;
        EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER)) << c.name;
    }
    // No memory for the band.
    Util_FailGlobalAlloc(1);
    Bitmap one(BMF_8BPP, 4, 1);
    EXPECT_FALSE(Img_Output(pdev, &one.surface, 4, 1, {0, 0}, &dest, nullptr, FALSE, FALSE));
    EXPECT_EQ(TakeOutput(pdev).size(), 0u);
}

// Rows and columns the settings' image options send.
struct OptionCase {
    const char* name;
    LONG options, widthPercent, heightPercent, threshold;
    LONG w, h, destW, destH;
    uint32_t outW, outH;
};

void PrintTo(const OptionCase& c, std::ostream* os) { *os << c.name; }

const OptionCase kOptions[] = {
    {"to the destination, rows only", 0x8C, 100, 100, 100, 50, 80, 100, 40, 50, 40},
    {"to the destination, not enlarged", 0x8C, 100, 100, 100, 50, 30, 100, 40, 50, 30},
    {"by the percentages", 0x10, 50, 25, 100, 100, 80, 60, 100, 30, 20},
    {"destination before percentages", 0x18, 50, 25, 100, 100, 80, 60, 100, 60, 100},
    {"poorly compressible 1:1 image", 0x20, 50, 50, 0, 500, 10, 500, 10, 250, 10},
    {"compressible enough", 0x20, 50, 50, 999, 500, 10, 500, 10, 500, 10},
    {"no option", 0x00, 100, 100, 100, 100, 80, 50, 40, 100, 80},
};

class ImageOptions : public ImageTest, public testing::WithParamInterface<OptionCase> {};

TEST_P(ImageOptions, SentSize) {
    const OptionCase& c = GetParam();
    PDEV* pdev = Page();
    ASSERT_NE(pdev, nullptr);
    RendPrivate& settings = pdev->Job.JobDevmode.priv;
    settings.RenderOptions = c.options;
    settings.ImageWidthPercent = c.widthPercent;
    settings.ImageHeightPercent = c.heightPercent;
    settings.ImageTrialThreshold = c.threshold;
    Bitmap source(BMF_8BPP, c.w, c.h);
    source.Fill(8);
    const job::DecodedJob decoded = Draw(pdev, source, {0, 0, c.destW, c.destH});
    ASSERT_TRUE(decoded.Ok()) << Problems(decoded);
    ASSERT_EQ(decoded.rasters.size(), 1u);
    EXPECT_EQ(decoded.rasters[0].width, c.outW);
    EXPECT_EQ(decoded.rasters[0].height, c.outH);
    Compare(decoded.rasters[0], source, {0, 0}, c.w, c.h, false, false, false);
}

INSTANTIATE_TEST_SUITE_P(All, ImageOptions, testing::ValuesIn(kOptions));

// Images reduced by the percentage or trial options carry the marker when
// the options ask for it, labelled with the trial's result (999 when the
// trial did not run); the usual reduction to the destination does not.
TEST_F(ImageTest, MarkerOverOptionReducedImages) {
    struct Case {
        LONG options;
        const char* label;
    } cases[] = {{0x50, "999%"}, {0x10, nullptr}, {0xC8, nullptr}};
    for (const Case& c : cases) {
        PDEV* pdev = Page();
        ASSERT_NE(pdev, nullptr);
        pdev->Job.JobDevmode.priv.RenderOptions = c.options;
        pdev->Job.JobDevmode.priv.ImageWidthPercent = pdev->Job.JobDevmode.priv.ImageHeightPercent = 50;
        Bitmap source(BMF_8BPP, 100, 100);
        const job::DecodedJob decoded = Draw(pdev, source, {300, 400, 350, 450});
        ASSERT_TRUE(decoded.Ok()) << Problems(decoded);
        ASSERT_EQ(decoded.rasters.size(), 1u);
        EXPECT_LT(decoded.rasters[0].width, 100u);
        const job::Operator* text = decoded.First("Text");
        if (!c.label) {
            EXPECT_EQ(text, nullptr) << c.options;
            continue;
        }
        ASSERT_NE(text, nullptr) << c.options;
        EXPECT_GT(text->offset, decoded.ops[decoded.rasters[0].endOp].offset);
        EXPECT_EQ(text->Text("TextData"), c.label);
    }
}

// A wide image of a PDF document printed landscape that does not compress
// (trial 70 % or more) is fitted to its destination and escapes the 70 %
// rule of page-size images; one that compresses does not.
TEST_F(ImageTest, PoorlyCompressibleWideLandscapePdfImageIsFitted) {
    struct Case {
        bool pdf, noise;
        uint32_t width, height;
    } cases[] = {{true, true, 3400, 4000}, {true, false, 2380, 2800}, {false, true, 2380, 2800}};
    for (const Case& c : cases) {
        PDEV* pdev = Page();
        ASSERT_NE(pdev, nullptr);
        if (c.pdf) pdev->Job.JobFlags |= JOBF_PDF_DOCUMENT;
        pdev->Orientation = DMORIENT_LANDSCAPE;
        Bitmap source(BMF_1BPP, 3400, 4000);
        if (c.noise) source.Fill(6);
        const job::DecodedJob decoded = Draw(pdev, source, {0, 0, 3400, 4000});
        ASSERT_TRUE(decoded.Ok()) << Problems(decoded);
        ASSERT_EQ(decoded.rasters.size(), 1u);
        EXPECT_EQ(decoded.rasters[0].width, c.width) << c.pdf << c.noise;
        EXPECT_EQ(decoded.rasters[0].height, c.height) << c.pdf << c.noise;
    }
}

}  // namespace
}  // namespace tam::test
