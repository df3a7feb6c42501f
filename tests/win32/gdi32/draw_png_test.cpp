// End to end: shapes drawn on a memory DC, its bitmap saved as a PNG by the
// engine, the file decoded with libpng and compared pixel by pixel with
// the DIB section's bits.
#include <png.h>

#include <filesystem>
#include <vector>

#include "gdi32/objects.h"
#include "win32/gdi32/memory_dc_fixture.h"
#include "win32k/drawing.h"

using tam::test::MemoryDCTest;

namespace {

class DrawPng : public MemoryDCTest {};

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

    auto bitmap = w32::gdi::LookupGdiObjectAs<w32::gdi::GdiBitmap>(bitmap_);
    ASSERT_TRUE(bitmap && bitmap->surface);
    const std::filesystem::path file = std::filesystem::temp_directory_path() / "gdidraw-shapes.png";
    ASSERT_TRUE(w32::SaveSurfacePng(*bitmap->surface, file.string().c_str())) << GetLastError();

    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    ASSERT_TRUE(png_image_begin_read_from_file(&image, file.string().c_str()));
    ASSERT_EQ(image.width, png_uint_32(kWidth));
    ASSERT_EQ(image.height, png_uint_32(kHeight));
    image.format = PNG_FORMAT_RGB;
    std::vector<png_byte> rgb(PNG_IMAGE_SIZE(image));
    ASSERT_TRUE(png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr));
    std::filesystem::remove(file);
    for (LONG y = 0; y < kHeight; ++y)
        for (LONG x = 0; x < kWidth; ++x) {
            const png_byte* p = &rgb[(y * kWidth + x) * 3];
            const DWORD decoded = (DWORD(p[0]) << 16) | (DWORD(p[1]) << 8) | p[2];
            ASSERT_EQ(decoded, Pixel(x, y)) << x << "," << y;
        }
}

}  // namespace
