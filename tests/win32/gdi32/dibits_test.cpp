// DIBs: CreateDIBSection's checks of the header, GetDIBits' size protocol
// and colour conversions, scan-line ranges counted from the bottom of a
// bottom-up DIB, and SetDIBits back.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <vector>

#include "support/machine_fixture.h"

using tam::test::MachineTest;

namespace {

// A BITMAPINFO with room for 256 colours.
struct InfoWithColors {
    BITMAPINFOHEADER header;
    RGBQUAD colors[256];
};

InfoWithColors Info(LONG width, LONG height, WORD bitCount, DWORD compression = BI_RGB) {
    InfoWithColors info{};
    info.header = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), width, height, 1, bitCount, compression, 0, 0, 0, 0, 0};
    return info;
}

const BITMAPINFO* AsInfo(const InfoWithColors& info) { return reinterpret_cast<const BITMAPINFO*>(&info); }
BITMAPINFO* AsInfo(InfoWithColors& info) { return reinterpret_cast<BITMAPINFO*>(&info); }

struct LyingHeader {
    const char* name;
    void (*spoil)(BITMAPINFOHEADER&);
    DWORD error;
};

const LyingHeader kLies[] = {
    {"SizeTooSmall", [](BITMAPINFOHEADER& h) { h.biSize = 20; }, ERROR_INVALID_PARAMETER},
    {"SizeTooLarge", [](BITMAPINFOHEADER& h) { h.biSize = 1000; }, ERROR_INVALID_PARAMETER},
    {"MoreColoursThanTheDepthHolds", [](BITMAPINFOHEADER& h) { h.biClrUsed = 257; }, ERROR_INVALID_PARAMETER},
    {"TwoPlanes", [](BITMAPINFOHEADER& h) { h.biPlanes = 2; }, ERROR_INVALID_PARAMETER},
    {"SevenBits", [](BITMAPINFOHEADER& h) { h.biBitCount = 7; }, ERROR_INVALID_PARAMETER},
    {"BitfieldsAtEightBits", [](BITMAPINFOHEADER& h) { h.biCompression = BI_BITFIELDS; }, ERROR_INVALID_PARAMETER},
    {"NoWidth", [](BITMAPINFOHEADER& h) { h.biWidth = 0; }, ERROR_INVALID_PARAMETER},
    {"NegativeWidth", [](BITMAPINFOHEADER& h) { h.biWidth = -4; }, ERROR_INVALID_PARAMETER},
    {"NoHeight", [](BITMAPINFOHEADER& h) { h.biHeight = 0; }, ERROR_INVALID_PARAMETER},
    {"HugeWidth", [](BITMAPINFOHEADER& h) { h.biWidth = 65536; }, ERROR_INVALID_PARAMETER},
    {"HugeTopDown", [](BITMAPINFOHEADER& h) { h.biHeight = -2147483647 - 1; }, ERROR_INVALID_PARAMETER},
    {"RunLengthEncoded", [](BITMAPINFOHEADER& h) { h.biCompression = BI_RLE8; }, ERROR_NOT_SUPPORTED},
};

class DibSectionHeader : public MachineTest, public testing::WithParamInterface<LyingHeader> {};

TEST_P(DibSectionHeader, ThatLiesIsRefused) {
    InfoWithColors info = Info(4, 4, 8);
    GetParam().spoil(info.header);
    void* bits = reinterpret_cast<void*>(1);
    SetLastError(0xdeadbeef);
    EXPECT_EQ(CreateDIBSection(nullptr, AsInfo(info), DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
    EXPECT_EQ(GetLastError(), GetParam().error);
    EXPECT_EQ(bits, nullptr);
}

INSTANTIATE_TEST_SUITE_P(All, DibSectionHeader, testing::ValuesIn(kLies),
                         [](const auto& info) { return std::string(info.param.name); });

class Dibs : public MachineTest {
protected:
    void SetUp() override {
        MachineTest::SetUp();
        dc_ = CreateCompatibleDC(nullptr);
    }
    void TearDown() override {
        DeleteDC(dc_);
        MachineTest::TearDown();
    }
    HDC dc_ = nullptr;
};

TEST_F(Dibs, SectionBitsAreTheProgramsToWrite) {
    const InfoWithColors info = Info(3, 2, 24);
    void* bits = nullptr;
    HBITMAP section = CreateDIBSection(dc_, AsInfo(info), DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(section, nullptr);
    ASSERT_NE(bits, nullptr);
    // Bottom-up: the first scan line in memory is the bottom row.
    BYTE* bytes = static_cast<BYTE*>(bits);
    std::memset(bytes, 0, 16);
    bytes[0] = 0xFF;  // bottom-left pixel blue
    InfoWithColors asked = Info(3, -2, 32);  // read back top-down at 32 bits
    DWORD out[6] = {};
    ASSERT_EQ(GetDIBits(dc_, section, 0, 2, out, AsInfo(asked), DIB_RGB_COLORS), 2);
    EXPECT_EQ(out[3], 0x0000FFu);  // row 1 (the bottom), column 0
    EXPECT_EQ(out[0], 0u);
    SetLastError(0xdeadbeef);
    EXPECT_EQ(CreateDIBSection(dc_, AsInfo(info), DIB_RGB_COLORS, &bits, reinterpret_cast<HANDLE>(8), 0), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_NOT_SUPPORTED));  // no file mappings
    EXPECT_TRUE(DeleteObject(section));
}

// 16 bits with 5-6-5 masks: the masks go into the DIB section's record,
// and a pixel of all red bits reads back as full red.
TEST_F(Dibs, BitfieldsSectionKeepsItsMasks) {
    InfoWithColors info = Info(2, 1, 16, BI_BITFIELDS);
    const DWORD masks[3] = {0xF800, 0x07E0, 0x001F};
    std::memcpy(info.colors, masks, sizeof(masks));
    void* bits = nullptr;
    HBITMAP section = CreateDIBSection(dc_, AsInfo(info), DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(section, nullptr);
    static_cast<WORD*>(bits)[0] = 0xF800;
    static_cast<WORD*>(bits)[1] = 0x07E0;
    DIBSECTION record{};
    ASSERT_EQ(GetObjectW(section, sizeof(record), &record), int(sizeof(record)));
    EXPECT_EQ(record.dsBmih.biCompression, DWORD(BI_BITFIELDS));
    for (int i = 0; i < 3; ++i) EXPECT_EQ(record.dsBitfields[i], masks[i]) << i;
    InfoWithColors asked = Info(2, 1, 32);
    DWORD out[2] = {};
    ASSERT_EQ(GetDIBits(dc_, section, 0, 1, out, AsInfo(asked), DIB_RGB_COLORS), 1);
    EXPECT_EQ(out[0], 0xFF0000u);
    EXPECT_EQ(out[1], 0x00FF00u);
    // Masks of zero are no masks.
    const DWORD none[3] = {0, 0, 0};
    std::memcpy(info.colors, none, sizeof(none));
    SetLastError(0xdeadbeef);
    EXPECT_EQ(CreateDIBSection(dc_, AsInfo(info), DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    DeleteObject(section);
}

TEST_F(Dibs, NoBufferAndNoBitCountDescribesTheBitmap) {
    HBITMAP bitmap = CreateBitmap(10, 7, 1, 8, nullptr);
    InfoWithColors info{};
    info.header.biSize = sizeof(BITMAPINFOHEADER);
    info.colors[0] = RGBQUAD{1, 2, 3, 4};
    EXPECT_NE(GetDIBits(dc_, bitmap, 0, 7, nullptr, AsInfo(info), DIB_RGB_COLORS), 0);
    EXPECT_EQ(info.header.biWidth, 10);
    EXPECT_EQ(info.header.biHeight, 7);
    EXPECT_EQ(info.header.biPlanes, 1);
    EXPECT_EQ(info.header.biBitCount, 8);
    EXPECT_EQ(info.header.biCompression, DWORD(BI_RGB));
    EXPECT_EQ(info.header.biSizeImage, 12u * 7u);  // 10 bytes in whole 32-bit words
    EXPECT_EQ(info.colors[0].rgbRed, 3);  // no colour table without a bit count
    DeleteObject(bitmap);
}

TEST_F(Dibs, NoBufferWithABitCountGivesTheImageSizeAndColourTable) {
    HBITMAP bitmap = CreateBitmap(10, 7, 1, 1, nullptr);
    InfoWithColors info = Info(10, 7, 4);
    EXPECT_NE(GetDIBits(dc_, bitmap, 0, 7, nullptr, AsInfo(info), DIB_RGB_COLORS), 0);
    EXPECT_EQ(info.header.biSizeImage, 8u * 7u);  // 5 bytes in whole 32-bit words
    // A 4-bit table: black first, white last.
    EXPECT_EQ(info.colors[0].rgbRed + info.colors[0].rgbGreen + info.colors[0].rgbBlue, 0);
    EXPECT_EQ(info.colors[15].rgbRed + info.colors[15].rgbGreen + info.colors[15].rgbBlue, 3 * 255);

    info = Info(10, 7, 1);
    EXPECT_NE(GetDIBits(dc_, bitmap, 0, 7, nullptr, AsInfo(info), DIB_RGB_COLORS), 0);
    EXPECT_EQ(info.header.biSizeImage, 4u * 7u);
    EXPECT_EQ(info.colors[0].rgbRed, 0);
    EXPECT_EQ(info.colors[1].rgbRed, 255);
    DeleteObject(bitmap);
}

// Colours convert through the nearest colour: a 32-bit picture read as
// 1 bit per pixel is black where dark and white where light.
TEST_F(Dibs, ConversionToMonochromeTakesTheNearestColour) {
    const InfoWithColors info = Info(4, -1, 32);
    void* bits = nullptr;
    HBITMAP section = CreateDIBSection(dc_, AsInfo(info), DIB_RGB_COLORS, &bits, nullptr, 0);
    const DWORD row[4] = {0x000000, 0xFFFFFF, 0x202020, 0xE0E0E0};
    std::memcpy(bits, row, sizeof(row));
    InfoWithColors asked = Info(4, -1, 1);
    DWORD out = 0xFFFFFFFF;
    ASSERT_EQ(GetDIBits(dc_, section, 0, 1, &out, AsInfo(asked), DIB_RGB_COLORS), 1);
    EXPECT_EQ(out & 0xF0, 0x50u);  // 0 1 0 1 from the high bit of the first byte
    EXPECT_EQ(asked.colors[0].rgbRed, 0);
    EXPECT_EQ(asked.colors[1].rgbRed, 255);
    DeleteObject(section);
}

// A bottom-up DIB counts scan lines from the bottom: lines 1 and 2 of a
// five-row bitmap are rows 3 and 2.
TEST_F(Dibs, ScanLineRangesCountFromTheBottom) {
    const InfoWithColors info = Info(1, -5, 8);
    void* bits = nullptr;
    InfoWithColors gray = info;
    for (int i = 0; i < 256; ++i) gray.colors[i] = RGBQUAD{BYTE(i), BYTE(i), BYTE(i), 0};
    HBITMAP section = CreateDIBSection(dc_, AsInfo(gray), DIB_RGB_COLORS, &bits, nullptr, 0);
    for (int y = 0; y < 5; ++y) static_cast<BYTE*>(bits)[y * 4] = BYTE(10 * (y + 1));  // rows 10, 20, ... 50

    InfoWithColors asked = Info(1, 5, 32);
    DWORD out[3] = {0xAAAAAAAA, 0xAAAAAAAA, 0xAAAAAAAA};
    EXPECT_EQ(GetDIBits(dc_, section, 1, 2, out, AsInfo(asked), DIB_RGB_COLORS), 2);
    EXPECT_EQ(out[0], 0x282828u);  // row 3: 40
    EXPECT_EQ(out[1], 0x1E1E1Eu);  // row 2: 30
    EXPECT_EQ(out[2], 0xAAAAAAAAu);
    // Lines past the end are not there to copy.
    EXPECT_EQ(GetDIBits(dc_, section, 4, 10, out, AsInfo(asked), DIB_RGB_COLORS), 1);
    EXPECT_EQ(out[0], 0x0A0A0Au);  // row 0, the top
    EXPECT_EQ(GetDIBits(dc_, section, 5, 1, out, AsInfo(asked), DIB_RGB_COLORS), 0);

    // SetDIBits writes the same way round.
    const DWORD in[1] = {0x646464};
    EXPECT_EQ(SetDIBits(dc_, section, 0, 1, in, AsInfo(asked), DIB_RGB_COLORS), 1);
    EXPECT_EQ(static_cast<BYTE*>(bits)[4 * 4], 100);  // the bottom row
    DeleteObject(section);
}

TEST_F(Dibs, CreateDIBitmapInitialisesFromTheBits) {
    const InfoWithColors info = Info(2, 2, 32);
    const DWORD pixels[4] = {0x0000FF, 0x00FF00, 0xFF0000, 0xFFFFFF};  // bottom row first
    HDC screen = CreateCompatibleDC(nullptr);
    InfoWithColors wide = Info(2, 2, 32);
    HBITMAP select = CreateDIBSection(screen, AsInfo(wide), DIB_RGB_COLORS, nullptr, nullptr, 0);
    SelectObject(screen, select);
    HBITMAP bitmap = CreateDIBitmap(screen, &info.header, CBM_INIT, pixels, AsInfo(info), DIB_RGB_COLORS);
    ASSERT_NE(bitmap, nullptr);
    DWORD out[4] = {};
    InfoWithColors asked = Info(2, 2, 32);
    ASSERT_EQ(GetDIBits(screen, bitmap, 0, 2, out, AsInfo(asked), DIB_RGB_COLORS), 2);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(out[i], pixels[i]) << i;
    // Without a DC the bitmap is monochrome.
    HBITMAP mono = CreateDIBitmap(nullptr, &info.header, 0, nullptr, nullptr, 0);
    BITMAP record{};
    ASSERT_EQ(GetObjectW(mono, sizeof(record), &record), int(sizeof(record)));
    EXPECT_EQ(record.bmBitsPixel, 1);
    SetLastError(0xdeadbeef);
    EXPECT_EQ(CreateDIBitmap(screen, &info.header, CBM_INIT, nullptr, AsInfo(info), DIB_RGB_COLORS), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    DeleteDC(screen);
    for (HGDIOBJ object : {HGDIOBJ(select), HGDIOBJ(bitmap), HGDIOBJ(mono)}) DeleteObject(object);
}

TEST_F(Dibs, BadHandlesAndHeadersFail) {
    HBITMAP bitmap = CreateBitmap(2, 2, 1, 32, nullptr);
    InfoWithColors info = Info(2, 2, 32);
    DWORD out[4];
    SetLastError(0xdeadbeef);
    EXPECT_EQ(GetDIBits(nullptr, bitmap, 0, 2, out, AsInfo(info), DIB_RGB_COLORS), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
    SetLastError(0xdeadbeef);
    EXPECT_EQ(GetDIBits(dc_, nullptr, 0, 2, out, AsInfo(info), DIB_RGB_COLORS), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
    info.header.biSize = 12;
    SetLastError(0xdeadbeef);
    EXPECT_EQ(GetDIBits(dc_, bitmap, 0, 2, out, AsInfo(info), DIB_RGB_COLORS), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    info = Info(2, -2147483647 - 1, 32);
    SetLastError(0xdeadbeef);
    EXPECT_EQ(GetDIBits(dc_, bitmap, 0, 2, out, AsInfo(info), DIB_RGB_COLORS), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    info = Info(2, 2, 8);
    info.header.biClrUsed = 300;
    SetLastError(0xdeadbeef);
    EXPECT_EQ(SetDIBits(dc_, bitmap, 0, 2, out, AsInfo(info), DIB_RGB_COLORS), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    DeleteObject(bitmap);
}

}  // namespace
