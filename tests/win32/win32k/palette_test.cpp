// EngCreatePalette and EngDeletePalette.
#include <gtest/gtest.h>
#include <windows.h>
#include <winddi.h>

#include <ostream>
#include <vector>

#include "win32k/engobj.h"

namespace {

struct PaletteCase {
    ULONG mode;
    ULONG count;
    bool withColors;
    std::vector<ULONG> colors;  // what the palette holds
    FLONG masks[3];
};

const ULONG kColors[] = {0x000000, 0xFFFFFF, 0x0000FF, 0x00FF00};

const PaletteCase kPalettes[] = {
    {PAL_INDEXED, 4, true, {0x000000, 0xFFFFFF, 0x0000FF, 0x00FF00}, {0, 0, 0}},
    // Entries without a colour array are black, to be filled later.
    {PAL_INDEXED, 3, false, {0, 0, 0}, {0, 0, 0}},
    {PAL_BITFIELDS, 0, false, {}, {0xF800, 0x07E0, 0x001F}},
    {PAL_RGB, 0, false, {}, {0, 0, 0}},
    {PAL_BGR, 0, false, {}, {0, 0, 0}},
    {PAL_CMYK, 0, false, {}, {0, 0, 0}},
};

void PrintTo(const PaletteCase& c, std::ostream* os) {
    *os << "mode " << c.mode << ", " << c.count << (c.withColors ? " colours" : " entries");
}

class EnginePalettes : public testing::TestWithParam<PaletteCase> {};

TEST_P(EnginePalettes, HoldWhatTheirModeTakes) {
    const PaletteCase& c = GetParam();
    HPALETTE palette = EngCreatePalette(c.mode, c.count, c.withColors ? const_cast<ULONG*>(kColors) : nullptr,
                                        0xF800, 0x07E0, 0x001F);
    ASSERT_NE(palette, nullptr) << GetLastError();
    auto record = w32::LookupPalette(palette);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->mode, c.mode);
    EXPECT_EQ(record->colors, c.colors);
    EXPECT_EQ(record->redMask, c.masks[0]);
    EXPECT_EQ(record->greenMask, c.masks[1]);
    EXPECT_EQ(record->blueMask, c.masks[2]);
    EXPECT_TRUE(EngDeletePalette(palette));
    EXPECT_EQ(w32::LookupPalette(palette), nullptr);
}

INSTANTIATE_TEST_SUITE_P(All, EnginePalettes, testing::ValuesIn(kPalettes));

TEST(EnginePalette, RefusesAnUnknownModeAndTooManyEntries) {
    for (ULONG mode : {0u, 3u, 0x20u}) {
        SetLastError(0xdeadbeef);
        EXPECT_EQ(EngCreatePalette(mode, 0, nullptr, 0, 0, 0), nullptr) << mode;
        EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER)) << mode;
    }
    SetLastError(0xdeadbeef);
    EXPECT_EQ(EngCreatePalette(PAL_INDEXED, 65537, nullptr, 0, 0, 0), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
}

TEST(EnginePalette, DeletingAnUnknownOrDeletedPaletteOrASurfaceFails) {
    HPALETTE palette = EngCreatePalette(PAL_RGB, 0, nullptr, 0, 0, 0);
    ASSERT_NE(palette, nullptr);
    HSURF surface = EngCreateDeviceSurface(nullptr, SIZEL{10, 10}, BMF_24BPP);
    ASSERT_NE(surface, nullptr);
    EXPECT_TRUE(EngDeletePalette(palette));
    for (HPALETTE bad : {palette, static_cast<HPALETTE>(nullptr), reinterpret_cast<HPALETTE>(surface)}) {
        SetLastError(0xdeadbeef);
        EXPECT_FALSE(EngDeletePalette(bad));
        EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
    }
    EXPECT_TRUE(EngDeleteSurface(surface));  // untouched by the attempt
}

}  // namespace
