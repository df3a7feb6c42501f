// Logical palettes: entries in and out, the nearest entry to a colour,
// selection into a DC and colours given as palette indices.
#include <gtest/gtest.h>
#include <windows.h>

#include "support/machine_fixture.h"

using tam::test::MachineTest;

namespace {

struct ThreeColours {
    LOGPALETTE head;
    PALETTEENTRY more[2];
};

class Palettes : public MachineTest {
protected:
    void SetUp() override {
        MachineTest::SetUp();
        ThreeColours colours{{0x300, 3, {{255, 0, 0, 0}}}, {{0, 200, 0, 0}, {10, 10, 10, 0}}};
        palette_ = CreatePalette(&colours.head);
        ASSERT_NE(palette_, nullptr);
    }
    void TearDown() override {
        DeleteObject(palette_);
        MachineTest::TearDown();
    }
    HPALETTE palette_ = nullptr;
};

TEST_F(Palettes, EntriesInAndOut) {
    EXPECT_EQ(GetPaletteEntries(palette_, 0, 0, nullptr), 3u);
    PALETTEENTRY entries[4]{};
    EXPECT_EQ(GetPaletteEntries(palette_, 1, 10, entries), 2u);
    EXPECT_EQ(entries[0].peGreen, 200);
    EXPECT_EQ(entries[1].peRed, 10);
    EXPECT_EQ(GetPaletteEntries(palette_, 3, 1, entries), 0u);
    const PALETTEENTRY blue{0, 0, 255, 0};
    EXPECT_EQ(SetPaletteEntries(palette_, 2, 5, &blue), 1u);
    EXPECT_EQ(GetPaletteEntries(palette_, 2, 1, entries), 1u);
    EXPECT_EQ(entries[0].peBlue, 255);
    // The default palette is everybody's: it stays as it is.
    SetLastError(0xdeadbeef);
    EXPECT_EQ(SetPaletteEntries(static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE)), 0, 1, &blue), 0u);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
}

TEST_F(Palettes, NearestIndexIsTheClosestColour) {
    EXPECT_EQ(GetNearestPaletteIndex(palette_, RGB(250, 30, 30)), 0u);
    EXPECT_EQ(GetNearestPaletteIndex(palette_, RGB(0, 140, 0)), 1u);
    EXPECT_EQ(GetNearestPaletteIndex(palette_, RGB(0, 0, 0)), 2u);
    SetLastError(0xdeadbeef);
    EXPECT_EQ(GetNearestPaletteIndex(nullptr, 0), CLR_INVALID);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
}

TEST_F(Palettes, SelectedIntoADcItGivesPaletteIndicesTheirColours) {
    HDC dc = CreateCompatibleDC(nullptr);
    HPALETTE previous = SelectPalette(dc, palette_, FALSE);
    EXPECT_EQ(previous, GetStockObject(DEFAULT_PALETTE));
    EXPECT_EQ(GetCurrentObject(dc, OBJ_PAL), palette_);
    EXPECT_EQ(RealizePalette(dc), 3u);
    EXPECT_EQ(GetNearestColor(dc, PALETTEINDEX(1)), RGB(0, 200, 0));
    EXPECT_EQ(GetNearestColor(dc, RGB(1, 2, 3)), RGB(1, 2, 3));  // a true-colour device
    EXPECT_EQ(SelectPalette(dc, previous, FALSE), palette_);
    SetLastError(0xdeadbeef);
    EXPECT_EQ(SelectPalette(dc, reinterpret_cast<HPALETTE>(GetStockObject(BLACK_PEN)), FALSE), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
    DeleteDC(dc);
}

TEST_F(Palettes, CreatePaletteChecksItsRecord) {
    LOGPALETTE bad{0x200, 1, {{0, 0, 0, 0}}};
    SetLastError(0xdeadbeef);
    EXPECT_EQ(CreatePalette(&bad), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    LOGPALETTE empty{0x300, 0, {{0, 0, 0, 0}}};
    EXPECT_EQ(CreatePalette(&empty), nullptr);
    EXPECT_EQ(CreatePalette(nullptr), nullptr);
}

}  // namespace
