// Device-dependent bitmaps: sizes Windows refuses or turns into the stock
// 1x1 monochrome bitmap, bits in 16-bit-word scan lines, and the format of
// a bitmap compatible with a DC.
#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "support/machine_fixture.h"

using tam::test::MachineTest;

namespace {

class Bitmaps : public MachineTest {
protected:
    // The bitmap every new memory DC holds.
    static HGDIOBJ StockBitmap() {
        HDC dc = CreateCompatibleDC(nullptr);
        HGDIOBJ bitmap = GetCurrentObject(dc, OBJ_BITMAP);
        DeleteDC(dc);
        return bitmap;
    }
    static BITMAP Describe(HGDIOBJ bitmap) {
        BITMAP record{};
        EXPECT_EQ(GetObjectW(bitmap, sizeof(record), &record), int(sizeof(record)));
        return record;
    }
};

TEST_F(Bitmaps, NoAreaGivesTheStockMonochromeBitmap) {
    const HGDIOBJ stock = StockBitmap();
    const BITMAP record = Describe(stock);
    EXPECT_EQ(record.bmWidth, 1);
    EXPECT_EQ(record.bmHeight, 1);
    EXPECT_EQ(record.bmBitsPixel, 1);
    EXPECT_EQ(CreateBitmap(0, 0, 1, 1, nullptr), stock);
    EXPECT_EQ(CreateBitmap(0, 7, 1, 32, nullptr), stock);
    HDC dc = CreateCompatibleDC(nullptr);
    EXPECT_EQ(CreateCompatibleBitmap(dc, 5, 0), stock);
    DeleteDC(dc);
    EXPECT_TRUE(DeleteObject(stock));  // stock: nothing happens
    EXPECT_EQ(GetObjectType(stock), DWORD(OBJ_BITMAP));
}

struct SizeCase {
    int width, height;
    UINT bitCount;
    DWORD error;
};

const SizeCase kRefusedSizes[] = {
    {-1, 4, 1, ERROR_INVALID_PARAMETER},
    {4, -1, 1, ERROR_INVALID_PARAMETER},
    {65536, 65536, 1, ERROR_INVALID_PARAMETER},
    {65536, 1, 32, ERROR_INVALID_PARAMETER},
    {0x7FFFFFFF, 0x7FFFFFFF, 32, ERROR_INVALID_PARAMETER},
    // 60000 x 60000 at 32 bits is over 13 GB, beyond the 2^31-byte limit.
    {60000, 60000, 32, ERROR_NOT_ENOUGH_MEMORY},
    {4, 4, 33, ERROR_INVALID_PARAMETER},
};

class RefusedBitmapSize : public Bitmaps, public testing::WithParamInterface<SizeCase> {};

TEST_P(RefusedBitmapSize, FailsWithTheError) {
    const SizeCase& c = GetParam();
    SetLastError(0xdeadbeef);
    EXPECT_EQ(CreateBitmap(c.width, c.height, 1, c.bitCount, nullptr), nullptr);
    EXPECT_EQ(GetLastError(), c.error);
}

INSTANTIATE_TEST_SUITE_P(All, RefusedBitmapSize, testing::ValuesIn(kRefusedSizes));

TEST_F(Bitmaps, BitsTravelAsScanLinesOfWholeWords) {
    // 3 pixels of 8 bits: 3 bytes of each line, then one byte of padding.
    const BYTE in[8] = {1, 2, 3, 0, 4, 5, 6, 0};
    HBITMAP bitmap = CreateBitmap(3, 2, 1, 8, in);
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(Describe(bitmap).bmWidthBytes, 4);
    EXPECT_EQ(GetBitmapBits(bitmap, 0, nullptr), 8);
    BYTE out[10];
    std::fill(std::begin(out), std::end(out), 0xEE);
    EXPECT_EQ(GetBitmapBits(bitmap, sizeof(out), out), 8);
    for (int i : {0, 1, 2, 4, 5, 6}) EXPECT_EQ(out[i], in[i]) << i;
    EXPECT_EQ(out[8], 0xEE);  // nothing past the bits
    // A short buffer gets the first bytes.
    const BYTE change[5] = {9, 9, 9, 0, 7};
    EXPECT_EQ(SetBitmapBits(bitmap, sizeof(change), change), 5);
    EXPECT_EQ(GetBitmapBits(bitmap, 6, out), 6);
    EXPECT_EQ(out[0], 9);
    EXPECT_EQ(out[4], 7);
    EXPECT_EQ(out[5], 5);
    EXPECT_TRUE(DeleteObject(bitmap));
    SetLastError(0xdeadbeef);
    EXPECT_EQ(GetBitmapBits(bitmap, sizeof(out), out), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
}

// A bitmap compatible with a memory DC takes the format of the bitmap the
// DC holds: monochrome for a new DC, the DIB section's depth once one is selected.
TEST_F(Bitmaps, CompatibleBitmapTakesTheFormatOfTheDcsBitmap) {
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP mono = CreateCompatibleBitmap(dc, 10, 3);
    ASSERT_NE(mono, nullptr);
    EXPECT_EQ(Describe(mono).bmBitsPixel, 1);
    EXPECT_EQ(Describe(mono).bmWidthBytes, 2);

    BITMAPINFO info{};
    info.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), 4, 4, 1, 16, BI_RGB, 0, 0, 0, 0, 0};
    HBITMAP section = CreateDIBSection(dc, &info, DIB_RGB_COLORS, nullptr, nullptr, 0);
    ASSERT_NE(SelectObject(dc, section), nullptr);
    HBITMAP deep = CreateCompatibleBitmap(dc, 10, 3);
    ASSERT_NE(deep, nullptr);
    EXPECT_EQ(Describe(deep).bmBitsPixel, 16);
    EXPECT_EQ(Describe(deep).bmWidthBytes, 20);

    SetLastError(0xdeadbeef);
    EXPECT_EQ(CreateCompatibleBitmap(nullptr, 10, 3), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
    DeleteDC(dc);
    for (HGDIOBJ object : {HGDIOBJ(mono), HGDIOBJ(section), HGDIOBJ(deep)}) EXPECT_TRUE(DeleteObject(object));
}

}  // namespace
