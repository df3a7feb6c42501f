// Reading the pictures a document places on its pages, and drawing them and
// its gradients on a printer DC as an application does.
#include "pictures.h"

#include <png.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>

#include "shapes.h"

namespace tamprint {
namespace {

// The largest image the tool reads: 16384 pixels each way and 256 MB of
// rows, far beyond any page's needs and well inside the memory of a run.
constexpr LONG kMaxSide = 16384;
constexpr size_t kMaxBits = size_t(256) << 20;

uint32_t Read32(const std::vector<uint8_t>& data, size_t at) {
    return uint32_t(data[at]) | uint32_t(data[at + 1]) << 8 | uint32_t(data[at + 2]) << 16 | uint32_t(data[at + 3]) << 24;
}
uint16_t Read16(const std::vector<uint8_t>& data, size_t at) { return uint16_t(data[at] | data[at + 1] << 8); }

std::string SizeText(LONG width, LONG height) { return std::to_string(width) + " x " + std::to_string(height); }

bool ReadPng(const std::vector<uint8_t>& data, Picture& picture, std::string& error) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, data.data(), data.size())) {
        error = std::string("not a readable PNG image: ") + image.message;
        png_image_free(&image);
        return false;
    }
    if (image.width < 1 || image.height < 1 || image.width > uint32_t(kMaxSide) || image.height > uint32_t(kMaxSide)) {
        error = "a PNG image of " + SizeText(LONG(image.width), LONG(image.height)) + " pixels is larger than " +
                SizeText(kMaxSide, kMaxSide);
        png_image_free(&image);
        return false;
    }
    // Blue, green, red rows as a 24-bit DIB holds them, bottom row first;
    // transparent pixels are laid over white paper.
    image.format = PNG_FORMAT_BGR;
    picture = MakePicture(LONG(image.width), LONG(image.height), 24);
    const png_color white{255, 255, 255};
    const png_int_32 stride = png_int_32(PictureStride(LONG(image.width), 24));
    if (!png_image_finish_read(&image, &white, picture.bits.data(), -stride, nullptr)) {
        error = std::string("not a readable PNG image: ") + image.message;
        png_image_free(&image);
        return false;
    }
    return true;
}

bool ReadBmp(const std::vector<uint8_t>& data, Picture& picture, std::string& error) {
    constexpr size_t kFileHeader = 14;
    if (data.size() < kFileHeader + sizeof(BITMAPINFOHEADER)) {
        error = "not a readable BMP image: the file is too short";
        return false;
    }
    const uint32_t offBits = Read32(data, 10);
    const uint32_t headerSize = Read32(data, 14);
    const LONG width = LONG(Read32(data, 18));
    const LONG height = LONG(Read32(data, 22));
    const WORD planes = Read16(data, 26), bitCount = Read16(data, 28);
    const uint32_t compression = Read32(data, 30), colours = Read32(data, 46);
    if (headerSize < sizeof(BITMAPINFOHEADER) || headerSize > data.size() - kFileHeader || planes != 1) {
        error = "not a readable BMP image: its header is damaged or of an unknown kind";
        return false;
    }
    if (compression != BI_RGB || (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 24 && bitCount != 32)) {
        error = "a BMP image is read uncompressed with 1, 4, 8, 24 or 32 bits a pixel, not " +
                std::to_string(bitCount) + " bits with compression " + std::to_string(compression);
        return false;
    }
    const LONG rows = height == LONG(0x80000000) ? 0 : height < 0 ? -height : height;
    if (width < 1 || rows < 1 || width > kMaxSide || rows > kMaxSide) {
        error = "a BMP image of " + SizeText(width, height) + " pixels: it takes 1 to " + std::to_string(kMaxSide) +
                " pixels each way";
        return false;
    }
    const size_t maxColours = bitCount <= 8 ? size_t(1) << bitCount : 0;
    const size_t paletteSize = bitCount <= 8 ? (colours ? colours : maxColours) : 0;
    if (paletteSize > maxColours) {
        error = "not a readable BMP image: a colour table of " + std::to_string(colours) + " entries";
        return false;
    }
    const size_t paletteAt = kFileHeader + headerSize;
    const size_t stride = PictureStride(width, bitCount);
    const size_t bitsSize = stride * size_t(rows);
    if (paletteSize * 4 > data.size() - paletteAt || offBits > data.size() || bitsSize > data.size() - offBits) {
        error = "not a readable BMP image: the file ends before its pixels do";
        return false;
    }
    std::vector<RGBQUAD> palette(paletteSize);
    if (paletteSize) std::memcpy(palette.data(), data.data() + paletteAt, paletteSize * 4);
    picture = MakePicture(width, height, bitCount, palette);
    std::copy_n(data.begin() + std::ptrdiff_t(offBits), bitsSize, picture.bits.begin());
    return true;
}

}  // namespace

size_t PictureStride(LONG width, WORD bitCount) { return (size_t(width) * bitCount + 31) / 32 * 4; }

Picture MakePicture(LONG width, LONG height, WORD bitCount, const std::vector<RGBQUAD>& palette) {
    Picture picture;
    picture.info.assign(std::max(sizeof(BITMAPINFOHEADER) + palette.size() * sizeof(RGBQUAD), sizeof(BITMAPINFO)), 0);
    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = bitCount;
    header.biCompression = BI_RGB;
    header.biClrUsed = DWORD(palette.size());
    std::memcpy(picture.info.data(), &header, sizeof header);
    if (!palette.empty())
        std::memcpy(picture.info.data() + sizeof header, palette.data(), palette.size() * sizeof(RGBQUAD));
    picture.bits.assign(PictureStride(width, bitCount) * size_t(height < 0 ? -height : height), 0);
    return picture;
}

bool ReadPictureFile(const std::string& path, Picture& picture, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot read " + path + ": " + std::strerror(errno);
        return false;
    }
    in.seekg(0, std::ios::end);
    const std::streamoff length = in.tellg();
    if (length < 0 || size_t(length) > kMaxBits + (size_t(1) << 20)) {
        error = "cannot read " + path + ": " + (length < 0 ? "it is not a file" : "it is larger than 257 MB");
        return false;
    }
    in.seekg(0);
    std::vector<uint8_t> data(static_cast<size_t>(length));
    if (!data.empty()) in.read(reinterpret_cast<char*>(data.data()), std::streamsize(data.size()));
    if (!in) {
        error = "cannot read " + path + ": " + std::strerror(errno);
        return false;
    }
    static const uint8_t kPng[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    bool read = false;
    if (data.size() >= sizeof kPng && std::equal(std::begin(kPng), std::end(kPng), data.begin())) {
        read = ReadPng(data, picture, error);
    } else if (data.size() >= 2 && data[0] == 'B' && data[1] == 'M') {
        read = ReadBmp(data, picture, error);
    } else {
        error = "not a PNG or BMP image";
    }
    if (!read) error = path + ": " + error;
    return read;
}

bool DrawImageItem(HDC dc, const DeviceFrame& frame, const ImageSpec& image) {
    if (!image.picture) return false;
    const POINT a = frame.Device(PagePoint{image.x, image.y});
    const POINT b = frame.Device(PagePoint{image.x + image.width, image.y + image.height});
    // An image too small to reach one device pixel still takes one.
    const int width = std::max<int>(1, b.x - a.x), height = std::max<int>(1, b.y - a.y);
    const Picture& picture = *image.picture;
    const int lines = StretchDIBits(dc, a.x, a.y, width, height, 0, 0, picture.Width(), picture.Height(),
                                    picture.bits.data(), picture.Info(), DIB_RGB_COLORS, SRCCOPY);
    return lines > 0;
}

bool DrawGradientItem(HDC dc, const DeviceFrame& frame, const GradientSpec& gradient) {
    const POINT a = frame.Device(PagePoint{gradient.left, gradient.top});
    const POINT b = frame.Device(PagePoint{gradient.right, gradient.bottom});
    auto vertex = [](LONG x, LONG y, COLORREF colour) {
        return TRIVERTEX{x, y, COLOR16(GetRValue(colour) << 8), COLOR16(GetGValue(colour) << 8),
                         COLOR16(GetBValue(colour) << 8), 0};
    };
    // The box's right and bottom edges are left out, as GDI leaves them out
    // of its rectangles: a gradient meets the one beside it without overlap.
    TRIVERTEX corners[2] = {vertex(std::min(a.x, b.x), std::min(a.y, b.y), gradient.from),
                            vertex(std::max(a.x, b.x), std::max(a.y, b.y), gradient.to)};
    if (corners[1].x == corners[0].x) ++corners[1].x;
    if (corners[1].y == corners[0].y) ++corners[1].y;
    GRADIENT_RECT mesh{0, 1};
    return GradientFill(dc, corners, 2, &mesh, 1, gradient.vertical ? GRADIENT_FILL_RECT_V : GRADIENT_FILL_RECT_H);
}

}  // namespace tamprint
