// End to end: shapes drawn on a memory DC, saved as a PNG in one call, the
// file decoded with libpng and compared pixel by pixel with the DIB
// section's bits; a program's DIB saved the same way.
#include <png.h>

#include <filesystem>
#include <vector>

#include "gdi32/pngsave.h"
#include "win32/gdi32/memory_dc_fixture.h"

using tam::test::MemoryDCTest;

namespace {

class DrawPng : public MemoryDCTest {};

// The pixels of a PNG file as 0x00RRGGBB, row by row; empty when unreadable.
std::vector<DWORD> ReadPng(const std::filesystem::path& file, png_uint_32& width, png_uint_32& height) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, file.string().c_str())) return {};
    width = image.width;
    height = image.height;
    image.format = PNG_FORMAT_RGB;
    std::vector<png_byte> rgb(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) return {};
    std::vector<DWORD> pixels;
    for (size_t i = 0; i + 2 < rgb.size(); i += 3)
        pixels.push_back((DWORD(rgb[i]) << 16) | (DWORD(rgb[i + 1]) << 8) | rgb[i + 2]);
    return pixels;
}

TEST_F(DrawPng, SavedPictureMatchesTheBitmap) {
    UsePen(RGB(0, 0, 128), 3);
    UseBrush(RGB(250, 200, 0));
    ASSERT_TRUE(Rectangle(dc_, 1, 1, 12, 9));
    ASSERT_TRUE(Ellipse(dc_, 10, 4, 30, 22));
    const POINT star[] = {{16, 1}, {20, 20}, {3, 8}, {29, 8}, {12, 20}};
    SetPolyFillMode(dc_, WINDING);
    UseBrush(RGB(30, 160, 90));
    ASSERT_TRUE(Polygon(dc_, star, 5));
    UsePen(RGB(200, 0, 0));
    ASSERT_TRUE(Arc(dc_, 2, 12, 14, 23, 14, 12, 2, 23));
    ASSERT_FALSE(Drawn().empty());

    const std::filesystem::path file = std::filesystem::temp_directory_path() / "gdidraw-shapes.png";
    // The memory DC and its bitmap save the same picture.
    for (HGDIOBJ source : {HGDIOBJ(dc_), HGDIOBJ(bitmap_)}) {
        ASSERT_TRUE(w32::gdi::SavePng(source, file.string().c_str())) << GetLastError();
        png_uint_32 width = 0, height = 0;
        const std::vector<DWORD> decoded = ReadPng(file, width, height);
        std::filesystem::remove(file);
        ASSERT_EQ(width, png_uint_32(kWidth));
        ASSERT_EQ(height, png_uint_32(kHeight));
        ASSERT_EQ(decoded.size(), size_t(kWidth * kHeight));
        for (LONG y = 0; y < kHeight; ++y)
            for (LONG x = 0; x < kWidth; ++x) ASSERT_EQ(decoded[size_t(y * kWidth + x)], Pixel(x, y)) << x << "," << y;
    }
}

TEST_F(DrawPng, AProgramsDibIsSavedWithItsColourTable) {
    // A bottom-up 4-bit DIB, 3x2: the bottom row first in memory.
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colors[2];
    } dib{};
    dib.header = {sizeof(BITMAPINFOHEADER), 3, 2, 1, 4, BI_RGB, 0, 0, 0, 2, 0};
    dib.colors[0] = {0x10, 0x20, 0x30, 0};  // blue, green, red
    dib.colors[1] = {0xF0, 0xE0, 0xD0, 0};
    const BYTE bits[] = {0x01, 0x00, 0, 0,   // bottom row: 0 1 0
                         0x10, 0x10, 0, 0};  // top row: 1 0 1
    const std::filesystem::path file = std::filesystem::temp_directory_path() / "gdidraw-dib.png";
    ASSERT_TRUE(w32::gdi::SaveDibPng(reinterpret_cast<const BITMAPINFO*>(&dib), bits, file.string().c_str()))
        << GetLastError();
    png_uint_32 width = 0, height = 0;
    const std::vector<DWORD> decoded = ReadPng(file, width, height);
    std::filesystem::remove(file);
    const DWORD c0 = 0x302010, c1 = 0xD0E0F0;
    EXPECT_EQ(decoded, (std::vector<DWORD>{c1, c0, c1, c0, c1, c0}));
}

TEST_F(DrawPng, OnlyBitmapsAndMemoryDCsAreSaved) {
    HPEN pen = CreatePen(PS_SOLID, 1, 0);
    SetLastError(0);
    EXPECT_FALSE(w32::gdi::SavePng(pen, "/nonexistent/never.png"));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
    DeleteObject(pen);
}

}  // namespace
