// Bitmaps for the raster engine's tests: owned pixel memory in any of the
// formats, with guard bytes around it that no operation may touch.
#pragma once
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "win32k/raster.h"

namespace rastertest {

using w32::raster::Bitmap;

struct Format {
    const char* name;
    ULONG format;
    ULONG red, green, blue;
    bool bottomUp;
    ULONG Bits() const {
        static const ULONG bits[] = {0, 1, 4, 8, 16, 24, 32};
        return bits[format];
    }
};

inline const Format kFormats[] = {
    {"1bpp", BMF_1BPP, 0, 0, 0, false},          {"4bpp", BMF_4BPP, 0, 0, 0, true},
    {"8bpp", BMF_8BPP, 0, 0, 0, false},          {"16bpp555", BMF_16BPP, 0, 0, 0, false},
    {"16bpp565", BMF_16BPP, 0xF800, 0x07E0, 0x001F, true}, {"24bpp", BMF_24BPP, 0, 0, 0, false},
    {"32bpp", BMF_32BPP, 0, 0, 0, true},
};

constexpr size_t kGuard = 16;
constexpr BYTE kGuardByte = 0xA5;

// Scan lines padded to 4 bytes as DIBs are; bottom-up bitmaps start at the
// last line of memory.
struct OwnedBitmap {
    std::vector<BYTE> memory;
    Bitmap bitmap;

    OwnedBitmap(const Format& f, LONG width, LONG height) {
        const LONG stride = LONG(((width * f.Bits() + 31) / 32) * 4);
        memory.assign(kGuard * 2 + size_t(stride) * size_t(height), kGuardByte);
        std::memset(memory.data() + kGuard, 0, size_t(stride) * size_t(height));
        BYTE* first = memory.data() + kGuard;
        bitmap.format = f.format;
        bitmap.width = width, bitmap.height = height;
        bitmap.redMask = f.red, bitmap.greenMask = f.green, bitmap.blueMask = f.blue;
        bitmap.scan0 = f.bottomUp ? first + size_t(stride) * size_t(height - 1) : first;
        bitmap.delta = f.bottomUp ? -stride : stride;
        // A table with distinct colours in every indexed format.
        if (f.Bits() <= 8)
            for (ULONG i = 0; i < (1u << f.Bits()); ++i)
                bitmap.colors.push_back(RGB((i * 37) & 0xFF, (i * 91) & 0xFF, (i * 151) & 0xFF));
        if (f.format == BMF_1BPP) bitmap.colors = {RGB(0, 0, 0), RGB(255, 255, 255)};
    }
    OwnedBitmap(const OwnedBitmap&) = delete;

    ULONG Mask() const { return bitmap.PixelMask(); }
    ULONG At(LONG x, LONG y) const { return w32::raster::GetPixel(bitmap, x, y); }
    void Set(LONG x, LONG y, ULONG v) { w32::raster::SetPixel(bitmap, x, y, v); }
    void Randomize(std::mt19937& random) {
        for (LONG y = 0; y < bitmap.height; ++y)
            for (LONG x = 0; x < bitmap.width; ++x) Set(x, y, ULONG(random()) & Mask());
    }
    std::vector<ULONG> Pixels() const {
        std::vector<ULONG> all;
        for (LONG y = 0; y < bitmap.height; ++y)
            for (LONG x = 0; x < bitmap.width; ++x) all.push_back(At(x, y));
        return all;
    }
    bool GuardsIntact() const {
        for (size_t i = 0; i < kGuard; ++i)
            if (memory[i] != kGuardByte || memory[memory.size() - 1 - i] != kGuardByte) return false;
        return true;
    }
};

inline RECTL Whole(const Bitmap& b) { return {0, 0, b.width, b.height}; }

// The ROP3 truth table applied bit by bit, as the code's definition reads.
inline ULONG Rop3Oracle(BYTE rop, ULONG p, ULONG s, ULONG d, ULONG bits) {
    ULONG result = 0;
    for (ULONG bit = 0; bit < bits; ++bit) {
        const ULONG index = ((p >> bit) & 1) << 2 | ((s >> bit) & 1) << 1 | ((d >> bit) & 1);
        result |= ((rop >> index) & 1u) << bit;
    }
    return result;
}

}  // namespace rastertest
