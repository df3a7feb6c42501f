// Saves a raster bitmap as a PNG file with libpng: 8-bit RGB from the
// colours of any format, or RGBA whose alpha is the high byte of a 32
// bits-per-pixel bitmap (other formats have no alpha and are written as RGB).
// The path is a host path. Errors come back as Win32 last errors: a missing
// folder ERROR_PATH_NOT_FOUND, a refused or read-only file
// ERROR_ACCESS_DENIED, a failure while writing ERROR_WRITE_FAULT, a
// bitmap that cannot be read ERROR_INVALID_PARAMETER.
#include <png.h>

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <new>
#include <vector>

#include "win32k/rasterbitmap.h"

namespace w32::raster {

namespace {

DWORD OpenError(int error) {
    switch (error) {
    case ENOENT:
    case ENOTDIR:
    case ENAMETOOLONG: return ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case ETXTBSY: return ERROR_ACCESS_DENIED;
    default: return ERROR_WRITE_FAULT;
    }
}

// libpng reports errors by longjmp; nothing with a destructor lives between
// the setjmp and the end of the write, and the rows are made beforehand.
bool WritePng(FILE* file, const std::vector<png_bytep>& rows, png_uint_32 width, png_uint_32 height, bool rgba) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, width, height, 8, rgba ? PNG_COLOR_TYPE_RGBA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_write_image(png, const_cast<png_bytepp>(rows.data()));
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

}  // namespace

static bool Save(const Bitmap& bitmap, const char* path, bool rgba);

bool SaveBitmapPng(const Bitmap& bitmap, const char* path, bool alpha) {
    if (!path || !bitmap.Usable()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    try {
        return Save(bitmap, path, alpha && bitmap.format == BMF_32BPP);
    } catch (const std::bad_alloc&) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return false;
    }
}

static bool Save(const Bitmap& bitmap, const char* path, bool rgba) {
    const size_t channels = rgba ? 4 : 3, width = size_t(bitmap.width);
    std::vector<png_byte> pixels(width * channels * size_t(bitmap.height));
    std::vector<png_bytep> rows(size_t(bitmap.height));
    std::vector<ULONG> line(width);
    // An indexed bitmap's colours are looked up once per table entry.
    std::vector<COLORREF> table;
    if (bitmap.BitsPerPixel() <= 8)
        for (ULONG i = 0; i < (1u << bitmap.BitsPerPixel()); ++i) table.push_back(PixelToColor(bitmap, i));
    for (LONG y = 0; y < bitmap.height; ++y) {
        png_bytep out = pixels.data() + size_t(y) * width * channels;
        rows[size_t(y)] = out;
        ReadPixels(bitmap, 0, y, bitmap.width, line.data());
        for (size_t x = 0; x < width; ++x, out += channels) {
            const COLORREF c = table.empty() ? PixelToColor(bitmap, line[x]) : table[line[x]];
            out[0] = GetRValue(c), out[1] = GetGValue(c), out[2] = GetBValue(c);
            if (rgba) out[3] = png_byte(line[x] >> 24);
        }
    }
    FILE* file = std::fopen(path, "wb");
    if (!file) {
        SetLastError(OpenError(errno));
        return false;
    }
    bool written = WritePng(file, rows, png_uint_32(bitmap.width), png_uint_32(bitmap.height), rgba);
    written = (std::fclose(file) == 0) && written;
    if (!written) {
        std::remove(path);
        SetLastError(ERROR_WRITE_FAULT);
        return false;
    }
    return true;
}

}  // namespace w32::raster
