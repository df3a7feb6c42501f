// SaveBitmapPng: files decoded again with libpng show the bitmap's colours.
#include <png.h>

#include <cstdlib>
#include <filesystem>

#include "raster_fixture.h"

namespace {

using namespace rastertest;
namespace raster = w32::raster;

class SavePng : public testing::Test {
protected:
    void SetUp() override {
        const auto* test = testing::UnitTest::GetInstance()->current_test_info();
        folder_ = (std::filesystem::temp_directory_path() /
                   (std::string("raster-png-") + test->name() + "-" + std::to_string(std::random_device()())))
                      .string();
        std::filesystem::create_directories(folder_);
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }

    // The file as 8-bit RGBA rows.
    std::vector<BYTE> Decode(const std::string& path, png_uint_32& width, png_uint_32& height, png_uint_32& format) {
        png_image image{};
        image.version = PNG_IMAGE_VERSION;
        EXPECT_TRUE(png_image_begin_read_from_file(&image, path.c_str())) << image.message;
        format = image.format;
        image.format = PNG_FORMAT_RGBA;
        std::vector<BYTE> pixels(PNG_IMAGE_SIZE(image));
        EXPECT_TRUE(png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) << image.message;
        width = image.width, height = image.height;
        return pixels;
    }

    std::string folder_;
};

// 5-bit and 6-bit channels widen by repeating their high bits; 8-bit ones are as they are.
BYTE Widen(ULONG value, int bits) {
    ULONG v = value << (8 - bits);
    for (int filled = bits; filled < 8; filled += bits) v |= v >> bits;
    return BYTE(v);
}

COLORREF Expected(const Format& f, const Bitmap& b, ULONG pixel) {
    switch (f.Bits()) {
    case 1:
    case 4:
    case 8: return b.colors[pixel];
    case 16:
        return f.green == 0x07E0 ? RGB(Widen(pixel >> 11, 5), Widen((pixel >> 5) & 0x3F, 6), Widen(pixel & 0x1F, 5))
                                 : RGB(Widen(pixel >> 10 & 0x1F, 5), Widen((pixel >> 5) & 0x1F, 5), Widen(pixel & 0x1F, 5));
    default: return RGB(pixel >> 16 & 0xFF, pixel >> 8 & 0xFF, pixel & 0xFF);
    }
}

TEST_F(SavePng, EveryFormatDecodesToItsColours) {
    for (const Format& f : kFormats) {
        OwnedBitmap bitmap(f, 7, 3);
        std::mt19937 random(8);
        bitmap.Randomize(random);
        const std::string path = folder_ + "/" + f.name + ".png";
        ASSERT_TRUE(raster::SaveBitmapPng(bitmap.bitmap, path.c_str())) << f.name;
        png_uint_32 width, height, format;
        const std::vector<BYTE> pixels = Decode(path, width, height, format);
        ASSERT_EQ(width, 7u);
        ASSERT_EQ(height, 3u);
        EXPECT_EQ(format & PNG_FORMAT_FLAG_ALPHA, 0u) << f.name;
        for (LONG y = 0; y < 3; ++y)
            for (LONG x = 0; x < 7; ++x) {
                const BYTE* p = &pixels[size_t(y * 7 + x) * 4];
                ASSERT_EQ(RGB(p[0], p[1], p[2]), Expected(f, bitmap.bitmap, bitmap.At(x, y)))
                    << f.name << " at " << x << "," << y;
            }
    }
}

TEST_F(SavePng, ThirtyTwoBitsKeepTheirAlphaWhenAsked) {
    OwnedBitmap bitmap(kFormats[6], 2, 1);
    bitmap.Set(0, 0, 0x80102030), bitmap.Set(1, 0, 0x00FFFFFF);
    const std::string path = folder_ + "/alpha.png";
    ASSERT_TRUE(raster::SaveBitmapPng(bitmap.bitmap, path.c_str(), true));
    png_uint_32 width, height, format;
    const std::vector<BYTE> pixels = Decode(path, width, height, format);
    EXPECT_NE(format & PNG_FORMAT_FLAG_ALPHA, 0u);
    const std::vector<BYTE> expected = {0x10, 0x20, 0x30, 0x80, 0xFF, 0xFF, 0xFF, 0x00};
    EXPECT_EQ(pixels, expected);
}

TEST_F(SavePng, FailuresSetTheLastError) {
    OwnedBitmap bitmap(kFormats[5], 2, 2);
    struct Case { std::string path; DWORD error; };
    const Case cases[] = {{folder_ + "/missing/a.png", ERROR_PATH_NOT_FOUND}, {folder_, ERROR_ACCESS_DENIED}};
    for (const Case& c : cases) {
        SetLastError(0xdeadbeef);
        EXPECT_FALSE(raster::SaveBitmapPng(bitmap.bitmap, c.path.c_str())) << c.path;
        EXPECT_EQ(GetLastError(), c.error) << c.path;
    }
    Bitmap empty;
    SetLastError(0xdeadbeef);
    EXPECT_FALSE(raster::SaveBitmapPng(empty, (folder_ + "/empty.png").c_str()));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    EXPECT_FALSE(std::filesystem::exists(folder_ + "/empty.png"));
}

}  // namespace
