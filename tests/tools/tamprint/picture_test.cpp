// Documents with pictures: PNG and BMP files the test writes, placed and
// scaled on the page, and gradient rectangles, checked from the decoded job
// alone: each image lands at its point, at its size, with its own pixels
// the right way up; each gradient is an image of its box running from its
// first colour to its second. Mistakes in picture items are refused with
// their line as other items are.
#include <gtest/gtest.h>
#include <png.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "support/page_marks.h"
#include "tamprint_fixture.h"

namespace tam::test {
namespace {

using TamprintPictures = TamprintTest;

// A PNG of `width` x `height` RGB pixels, row by row from the top.
void WritePng(const std::filesystem::path& path, uint32_t width, uint32_t height, const std::vector<uint8_t>& rgb) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = width;
    image.height = height;
    image.format = PNG_FORMAT_RGB;
    ASSERT_TRUE(png_image_write_to_file(&image, path.c_str(), 0, rgb.data(), 0, nullptr)) << image.message;
}

void Put16(std::string& out, uint32_t v) { out += char(v & 0xFF), out += char(v >> 8 & 0xFF); }
void Put32(std::string& out, uint32_t v) { Put16(out, v & 0xFFFF), Put16(out, v >> 16); }

// A BMP file of 8 bits a pixel with a black and white colour table; `rows`
// from the bottom up, as the file holds them, each padded to 4 bytes.
std::string Bmp8(int32_t width, int32_t height, const std::vector<std::vector<uint8_t>>& rows) {
    const uint32_t stride = (uint32_t(width) + 3) / 4 * 4;
    const uint32_t offBits = 14 + 40 + 2 * 4;
    std::string out = "BM";
    Put32(out, offBits + stride * uint32_t(rows.size()));
    Put32(out, 0);
    Put32(out, offBits);
    Put32(out, 40);
    Put32(out, uint32_t(width));
    Put32(out, uint32_t(height));
    Put16(out, 1);
    Put16(out, 8);
    for (int i = 0; i < 6; ++i) Put32(out, i == 4 ? 2 : 0);  // compression .. colours used (2) .. important
    Put32(out, 0x000000);
    Put32(out, 0xFFFFFF);
    for (const std::vector<uint8_t>& row : rows) {
        std::string bytes(row.begin(), row.end());
        bytes.resize(stride, '\0');
        out += bytes;
    }
    return out;
}

// A pixel's lightness, 0 to 255, whatever the raster's colour space.
int Level(const job::Raster& raster, uint32_t x, uint32_t y) {
    uint32_t value = raster.Pixel(x, y);
    const size_t components = raster.colorSpace == 1 ? 1 : 3;
    if (raster.colorMapping == 1) {
        const size_t at = size_t(value) * components;
        if (at + components > raster.palette.size()) return -1;
        value = 0;
        for (size_t i = 0; i < components; ++i) value = value << 8 | raster.palette[at + i];
    }
    if (components == 1) return raster.colorDepth == 0 ? int(value) * 255 : int(value);
    return int(((value >> 16 & 0xFF) + (value >> 8 & 0xFF) + (value & 0xFF)) / 3);
}

// The page origin the job's first page sets.
std::pair<int64_t, int64_t> PageOrigin(const job::DecodedJob& decoded) {
    int64_t x = 0, y = 0;
    for (const job::Operator* op : decoded.Find("SetPageOrigin")) {
        x += op->Int("PageOrigin", 0).value_or(0);
        y += op->Int("PageOrigin", 1).value_or(0);
    }
    return {x, y};
}

long Device(double points) { return std::lround(points * 600 / 72.0); }

TEST_F(TamprintPictures, ImagesAndGradientsLandAtTheirPlaceAndSize) {
    // A 4 x 3 photograph: black top-left corner, mid-grey bottom-right, white
    // elsewhere. Beside the document, which names it by a relative path.
    std::filesystem::create_directories(Dir() / "docs");
    std::vector<uint8_t> rgb(4 * 3 * 3, 255);
    std::fill_n(rgb.begin(), 3, 0);
    std::fill_n(rgb.end() - 3, 3, 128);
    WritePng(Dir() / "docs" / "photo.png", 4, 3, rgb);
    // A 5 x 2 BMP, bottom row first: black at the bottom right and top left.
    const auto bmp = WriteFile("logo.bmp", Bmp8(5, 2, {{1, 1, 1, 1, 0}, {0, 1, 1, 1, 1}}));
    const auto document = WriteFile("docs/doc.json", R"({"pages": [{"draw": [
  {"image": "photo.png", "at": [100, 120], "size": [144, 72]},
  {"image": ")" + bmp.string() + R"(", "at": [300.5, 400], "size": [37.3, 18]},
  {"gradient": [[250, 560], [100, 500]], "from": "#000000", "to": "#ffffff"},
  {"gradient": [[300, 600], [400, 700]], "from": "#ffffff", "to": "#000000", "direction": "vertical"}
]}]})");
    const RunResult result = Print({"--resolution", "600", document.string()});
    ASSERT_EQ(result.code, 0) << result.err;
    const job::DecodedJob decoded = Decode(JobPath());
    ASSERT_TRUE(decoded.Ok()) << job::FormatJob(decoded);
    const auto [originX, originY] = PageOrigin(decoded);

    std::vector<Mark> images;
    for (const Mark& mark : Marks(decoded))
        if (mark.kind == Mark::Kind::Image) images.push_back(mark);
    ASSERT_EQ(images.size(), 4u) << job::FormatJob(decoded);
    struct Placed {
        const char* name;
        double left, top, right, bottom;  // points
    };
    const Placed kPlaced[] = {{"photo", 100, 120, 244, 192},
                              {"logo", 300.5, 400, 337.8, 418},
                              {"horizontal gradient", 100, 500, 250, 560},
                              {"vertical gradient", 300, 600, 400, 700}};
    for (size_t i = 0; i < images.size(); ++i) {
        SCOPED_TRACE(kPlaced[i].name);
        const Mark& mark = images[i];
        EXPECT_EQ(mark.rop, 0xCC);
        EXPECT_NEAR(mark.left + originX, Device(kPlaced[i].left), 1);
        EXPECT_NEAR(mark.top + originY, Device(kPlaced[i].top), 1);
        EXPECT_NEAR(mark.right + originX, Device(kPlaced[i].right), 1);
        EXPECT_NEAR(mark.bottom + originY, Device(kPlaced[i].bottom), 1);
        ASSERT_NE(mark.raster, nullptr);
        ASSERT_TRUE(mark.raster->valid && mark.raster->rowsKept);
    }

    const job::Raster& photo = *images[0].raster;
    ASSERT_EQ(photo.width, 4u);
    ASSERT_EQ(photo.height, 3u);
    EXPECT_LT(Level(photo, 0, 0), 40);
    EXPECT_GT(Level(photo, 1, 0), 215);
    EXPECT_GT(Level(photo, 0, 2), 215);
    EXPECT_NEAR(Level(photo, 3, 2), 128, 40);

    const job::Raster& logo = *images[1].raster;
    ASSERT_EQ(logo.width, 5u);
    ASSERT_EQ(logo.height, 2u);
    for (uint32_t x = 0; x < 5; ++x) {
        EXPECT_EQ(Level(logo, x, 0) < 128, x == 0) << x;
        EXPECT_EQ(Level(logo, x, 1) < 128, x == 4) << x;
    }

    // Dark to light across the horizontal one, light to dark down the
    // vertical one, and even the other way.
    const job::Raster& across = *images[2].raster;
    ASSERT_GE(across.width, 2u);
    ASSERT_GE(across.height, 1u);
    EXPECT_LT(Level(across, 0, 0), 40);
    EXPECT_GT(Level(across, across.width - 1, 0), 215);
    EXPECT_EQ(Level(across, across.width / 2, 0), Level(across, across.width / 2, across.height - 1));
    const job::Raster& down = *images[3].raster;
    ASSERT_GE(down.height, 2u);
    EXPECT_GT(Level(down, 0, 0), 215);
    EXPECT_LT(Level(down, 0, down.height - 1), 40);
    EXPECT_EQ(Level(down, 0, down.height / 2), Level(down, down.width - 1, down.height / 2));
}

// A PNG with transparency is laid over the white paper.
TEST_F(TamprintPictures, TransparentPixelsAreWhite) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = 2;
    image.height = 1;
    image.format = PNG_FORMAT_RGBA;
    const uint8_t pixels[] = {0, 0, 0, 0, 0, 0, 0, 255};  // clear black, then solid black
    ASSERT_TRUE(png_image_write_to_file(&image, (Dir() / "clear.png").c_str(), 0, pixels, 0, nullptr));
    const auto document =
        WriteFile("doc.json", R"({"pages": [{"draw": [{"image": "clear.png", "at": [72, 72], "size": [20, 10]}]}]})");
    const RunResult result = Print({document.string()});
    ASSERT_EQ(result.code, 0) << result.err;
    const job::DecodedJob decoded = Decode(JobPath());
    ASSERT_TRUE(decoded.Ok()) << job::FormatJob(decoded);
    ASSERT_EQ(decoded.rasters.size(), 1u);
    EXPECT_GT(Level(decoded.rasters[0], 0, 0), 215);
    EXPECT_LT(Level(decoded.rasters[0], 1, 0), 40);
}

// The sample's fourth page: a landscape photograph and a one-bit logo made
// by the tool, and two gradients, where the page puts them.
TEST_F(TamprintPictures, SamplePageOfPicturesDecodes) {
    const RunResult result = Print({});
    ASSERT_EQ(result.code, 0) << result.err;
    const job::DecodedJob decoded = Decode(JobPath());
    ASSERT_TRUE(decoded.Ok()) << job::FormatJob(decoded);
    ASSERT_EQ(decoded.PageCount(), 4u);
    std::vector<Mark> images;
    for (const Mark& mark : Marks(decoded))
        if (mark.kind == Mark::Kind::Image && mark.sheet == 4) images.push_back(mark);
    ASSERT_EQ(images.size(), 4u);  // two gradients, the photograph, the logo
    const job::Raster* photo = images[2].raster;
    const job::Raster* logo = images[3].raster;
    ASSERT_NE(photo, nullptr);
    ASSERT_NE(logo, nullptr);
    EXPECT_EQ(photo->width, 240u);
    EXPECT_EQ(photo->height, 160u);
    EXPECT_EQ(images[2].right - images[2].left, Device(541) - Device(54));
    EXPECT_EQ(images[2].bottom - images[2].top, Device(455) - Device(130));
    // Light sky above dark hills.
    EXPECT_GT(Level(*photo, 20, 5), Level(*photo, 20, 155) + 30);
    EXPECT_EQ(logo->width, 64u);
    EXPECT_EQ(logo->height, 64u);
    EXPECT_EQ(images[3].right - images[3].left, Device(150) - Device(54));
    // Ink on the ring and the bar, paper in the corner and between them.
    EXPECT_LT(Level(*logo, 32, 4), 128);
    EXPECT_LT(Level(*logo, 32, 32), 128);
    EXPECT_GT(Level(*logo, 0, 0), 128);
    EXPECT_GT(Level(*logo, 20, 20), 128);
}

struct PictureCase {
    const char* name;
    const char* item;     // the draw item; %D is the test's folder
    const char* message;  // after "tamprint: <path>: line 2: pages[0].draw[0]"; %D as above
};

const PictureCase kBadPictures[] = {
    {"MissingFile", R"({"image": "none.png", "at": [0, 0], "size": [10, 10]})",
     ".image: cannot read %D/none.png: No such file or directory"},
    {"Folder", R"({"image": "sub", "at": [0, 0], "size": [10, 10]})", ".image: cannot read %D/sub: it is a folder"},
    {"NotAnImage", R"({"image": "doc.json", "at": [0, 0], "size": [10, 10]})",
     ".image: %D/doc.json: not a PNG or BMP image"},
    {"DamagedPng", R"({"image": "damaged.png", "at": [0, 0], "size": [10, 10]})",
     ".image: %D/damaged.png: not a readable PNG image: "},
    {"ShortBmp", R"({"image": "short.bmp", "at": [0, 0], "size": [10, 10]})",
     ".image: %D/short.bmp: not a readable BMP image: the file ends before its pixels do"},
    {"CompressedBmp", R"({"image": "rle.bmp", "at": [0, 0], "size": [10, 10]})",
     ".image: %D/rle.bmp: a BMP image is read uncompressed with 1, 4, 8, 24 or 32 bits a pixel, not 8 bits with "
     "compression 1"},
    {"HugeBmp", R"({"image": "huge.bmp", "at": [0, 0], "size": [10, 10]})",
     ".image: %D/huge.bmp: a BMP image of 100000 x 2 pixels: it takes 1 to 16384 pixels each way"},
    {"ZeroSize", R"({"image": "good.bmp", "at": [0, 0], "size": [0, 10]})",
     ".size: an image's width and height are more than 0 points"},
    {"NegativeSize", R"({"image": "good.bmp", "at": [0, 0], "size": [10, -1]})",
     ".size: a value of 0 to 14400 points"},
    {"NoSize", R"({"image": "good.bmp", "at": [0, 0]})", ": an image takes \"size\": [width, height] in points"},
    {"NoPlace", R"({"image": "good.bmp", "size": [5, 5]})", ": an image takes \"at\": [x, y] of its top-left corner"},
    {"ImageNotAString", R"({"image": 3, "at": [0, 0], "size": [5, 5]})", ".image: expected the path of a PNG or BMP file"},
    {"ImageUnknownKey", R"({"image": "good.bmp", "at": [0, 0], "size": [5, 5], "pen": "none"})",
     ": unknown key \"pen\" (an image takes \"image\", \"at\" and \"size\")"},
    {"BadColour", R"({"gradient": [[0, 0], [9, 9]], "from": "#12345", "to": "#ffffff"})",
     ".from: a colour is \"#rrggbb\" in hexadecimal, not \"#12345\""},
    {"NoColours", R"({"gradient": [[0, 0], [9, 9]], "to": "#ffffff"})",
     ": a gradient takes the colours \"from\" and \"to\""},
    {"OneCorner", R"({"gradient": [[0, 0]], "from": "#000000", "to": "#ffffff"})",
     ".gradient: a gradient takes 2 points (opposite corners of its box), not 1"},
    {"BadDirection", R"({"gradient": [[0, 0], [9, 9]], "from": "#000000", "to": "#ffffff", "direction": "up"})",
     ".direction: expected \"horizontal\" or \"vertical\""},
};

std::string WithFolder(std::string text, const std::string& folder) {
    for (size_t at; (at = text.find("%D")) != std::string::npos;) text.replace(at, 2, folder);
    return text;
}

class RefusedPicture : public TamprintTest, public testing::WithParamInterface<PictureCase> {};

TEST_P(RefusedPicture, ExitsTwoNamingTheLine) {
    const PictureCase& c = GetParam();
    std::filesystem::create_directory(Dir() / "sub");
    WriteFile("damaged.png", std::string("\x89PNG\r\n\x1a\n", 8) + "not really");
    const std::string good = Bmp8(2, 2, {{0, 1}, {1, 0}});
    WriteFile("good.bmp", good);
    WriteFile("short.bmp", good.substr(0, good.size() - 3));
    std::string rle = good;
    rle[30] = 1;
    WriteFile("rle.bmp", rle);
    std::string huge = good;
    huge[18] = char(0xA0), huge[19] = char(0x86), huge[20] = 1;  // 100000 pixels wide
    WriteFile("huge.bmp", huge);
    const auto document = WriteFile("doc.json", "{\"pages\": [{\"draw\": [\n" + std::string(c.item) + "\n]}]}");
    const RunResult result = Print({document.string()});
    EXPECT_EQ(result.code, 2);
    EXPECT_EQ(result.out, "");
    const std::string expected =
        "tamprint: " + document.string() + ": line 2: pages[0].draw[0]" + WithFolder(c.message, Dir().string());
    // libpng's own words follow a damaged PNG's message.
    EXPECT_EQ(result.err.substr(0, expected.size()), expected);
    if (std::string(c.name) != "DamagedPng") {
        EXPECT_EQ(result.err, expected + "\n");
    }
    EXPECT_FALSE(std::filesystem::exists(JobPath()));
}

INSTANTIATE_TEST_SUITE_P(All, RefusedPicture, testing::ValuesIn(kBadPictures),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tam::test
