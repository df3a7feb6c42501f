// Engine bitmaps made of a program's DIB (SurfaceFromDib): the header is
// checked before anything is read through it, and the pixels come top row
// first whichever way the DIB stores them.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <vector>

#include "win32k/ddiobj.h"
#include "win32k/drawing.h"

namespace {

// A header, three masks or colours after it, and pixels enough for the
// small DIBs; a lying header never gets them read.
struct Dib {
    BITMAPINFOHEADER header;
    DWORD table[3];
};

struct HeaderCase {
    const char* name;
    DWORD size;
    WORD planes, bits;
    DWORD compression;
    LONG width, height;
    DWORD colorsUsed;
    DWORD masks[3];
    UINT usage;
    DWORD error;  // 0: accepted
};

const HeaderCase kHeaders[] = {
    {"Core12", 12, 1, 24, BI_RGB, 2, 2, 0, {}, DIB_RGB_COLORS, ERROR_INVALID_PARAMETER},
    {"Size39", 39, 1, 24, BI_RGB, 2, 2, 0, {}, DIB_RGB_COLORS, ERROR_INVALID_PARAMETER},
    {"NoPlanes", 40, 0, 24, BI_RGB, 2, 2, 0, {}, DIB_RGB_COLORS, ERROR_INVALID_PARAMETER},
    {"TwoPlanes", 40, 2, 24, BI_RGB, 2, 2, 0, {}, DIB_RGB_COLORS, ERROR_INVALID_PARAMETER},
    {"ZeroBits", 40, 1, 0, BI_RGB, 2, 2, 0, {}, DIB_RGB_COLORS, ERROR_INVALID_PARAMETER},
    {"TwoBits", 40, 1, 2, BI_RGB, 2, 2, 0, {}, DIB_RGB_COLORS, ERROR_INVALID_PARAMETER},
    {"FortyEightBits", 40, 1, 48, BI_RGB, 2, 2, 0, {}, DIB_RGB_COLORS, ERROR_INVALID_PARAMETER},
    {"Rle8", 40, 1, 8, BI_RLE8, 2, 2, 0, {}, DIB_RGB_COLORS, ERROR_NOT_SUPPORTED},
    {"Jpeg", 40, 1, 0, BI_JPEG, 2, 2, 0, {}, DIB_RGB_COLORS, ERROR_NOT_SUPPORTED},
    {"UnknownCompression", 40, 1, 24, 99, 2, 2, 0, {}, DIB_RGB_COLORS, ERROR_INVALID_PARAMETER},
    {"BitfieldsOf24Bits", 40, 1, 24, BI_BITFIELDS, 2, 2, 0, {0xFF0000, 0xFF00, 0xFF}, DIB_RGB_COLORS,
     ERROR_INVALID_PARAMETER},
    {"BitfieldsWithoutMasks", 40, 1, 32, BI_BITFIELDS, 2, 2, 0, {0, 0, 0}, DIB_RGB_COLORS, ERROR_INVALID_PARAMETER},
    {"BitfieldsOneMaskMissing", 40, 1, 16, BI_BITFIELDS, 2, 2, 0, {0xF800, 0, 0x1F}, DIB_RGB_COLORS,
     ERROR_INVALID_PARAMETER},
    {"BitfieldsOverlapping", 40, 1, 32, BI_BITFIELDS, 2, 2, 0, {0xFF0000, 0x1FF00, 0xFF}, DIB_RGB_COLORS,
     ERROR_INVALID_PARAMETER},
    {"BitfieldsBeyond16Bits", 40, 1, 16, BI_BITFIELDS, 2, 2, 0, {0xF8000, 0x07E0, 0x1F}, DIB_RGB_COLORS,
     ERROR_INVALID_PARAMETER},
    {"ThreeColoursOf1Bit", 40, 1, 1, BI_RGB, 2, 2, 3, {}, DIB_RGB_COLORS, ERROR_INVALID_PARAMETER},
    {"SeventeenColoursOf4Bits", 40, 1, 4, BI_RGB, 2, 2, 17, {}, DIB_RGB_COLORS, ERROR_INVALID_PARAMETER},
    {"ZeroWidth", 40, 1, 24, BI_RGB, 0, 2, 0, {}, DIB_RGB_COLORS, ERROR_INVALID_PARAMETER},
    {"NegativeWidth", 40, 1, 24, BI_RGB, -2, 2, 0, {}, DIB_RGB_COLORS, ERROR_INVALID_PARAMETER},
    {"ZeroHeight", 40, 1, 24, BI_RGB, 2, 0, 0, {}, DIB_RGB_COLORS, ERROR_INVALID_PARAMETER},
    {"MostNegativeHeight", 40, 1, 24, BI_RGB, 2, INT_MIN, 0, {}, DIB_RGB_COLORS, ERROR_INVALID_PARAMETER},
    // 65536 pixels of 4 bytes a row, 8193 rows: 2^31 + 2^18 bytes.
    {"RowsOver2GiB", 40, 1, 32, BI_RGB, 65536, 8193, 0, {}, DIB_RGB_COLORS, ERROR_INVALID_PARAMETER},
    {"TopDownOver2GiB", 40, 1, 32, BI_RGB, 65536, -8193, 0, {}, DIB_RGB_COLORS, ERROR_INVALID_PARAMETER},
    {"BadUsage", 40, 1, 24, BI_RGB, 2, 2, 0, {}, 7, ERROR_INVALID_PARAMETER},
    // Accepted: the largest colour count of 1 bit, good 5-6-5 masks, top-down rows.
    {"TwoColoursOf1Bit", 40, 1, 1, BI_RGB, 2, 2, 2, {}, DIB_RGB_COLORS, 0},
    {"Bitfields565", 40, 1, 16, BI_BITFIELDS, 2, 2, 0, {0xF800, 0x07E0, 0x001F}, DIB_RGB_COLORS, 0},
    {"TopDown24", 40, 1, 24, BI_RGB, 2, -2, 0, {}, DIB_RGB_COLORS, 0},
};

class DibHeaders : public testing::TestWithParam<HeaderCase> {};

TEST_P(DibHeaders, LyingHeadersAreRefusedWithTheirError) {
    const HeaderCase& c = GetParam();
    Dib dib{};
    dib.header = BITMAPINFOHEADER{c.size, c.width, c.height, c.planes, c.bits, c.compression, 0, 0, 0, c.colorsUsed, 0};
    std::memcpy(dib.table, c.masks, sizeof(dib.table));
    const BYTE pixels[64] = {};
    SetLastError(0xdeadbeef);
    auto surface = w32::SurfaceFromDib(reinterpret_cast<const BITMAPINFO*>(&dib), pixels, c.usage);
    if (c.error) {
        EXPECT_EQ(surface, nullptr);
        EXPECT_EQ(GetLastError(), c.error);
        return;
    }
    ASSERT_NE(surface, nullptr) << GetLastError();
    EXPECT_EQ(surface->so.sizlBitmap.cx, c.width);
    EXPECT_EQ(surface->so.sizlBitmap.cy, c.height < 0 ? -c.height : c.height);
    EXPECT_EQ(surface->so.iType, ULONG(STYPE_BITMAP));
}

INSTANTIATE_TEST_SUITE_P(All, DibHeaders, testing::ValuesIn(kHeaders),
                         [](const auto& info) { return std::string(info.param.name); });

// A bottom-up DIB's last row in memory is its top row; a top-down one's first.
TEST(DibSurface, RowsComeTopFirstEitherWay) {
    Dib dib{};
    // 1 pixel wide, 2 rows of 4 bytes: the rows are 0x11.. and 0x22...
    const BYTE pixels[8] = {0x11, 0x11, 0x11, 0, 0x22, 0x22, 0x22, 0};
    for (LONG height : {2, -2}) {
        dib.header = BITMAPINFOHEADER{40, 1, height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
        auto surface = w32::SurfaceFromDib(reinterpret_cast<const BITMAPINFO*>(&dib), pixels, DIB_RGB_COLORS);
        ASSERT_NE(surface, nullptr) << GetLastError();
        const BYTE* top = static_cast<const BYTE*>(surface->so.pvScan0);
        EXPECT_EQ(top[0], height > 0 ? 0x22 : 0x11) << height;
        EXPECT_EQ(top[surface->so.lDelta], height > 0 ? 0x11 : 0x22) << height;
    }
}

}  // namespace
