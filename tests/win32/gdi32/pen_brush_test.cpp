// Pens and brushes: ExtCreatePen's documented restrictions, and brushes
// that keep their own copy of the pattern they were made from.
#include <gtest/gtest.h>
#include <windows.h>

#include "support/machine_fixture.h"

using tam::test::MachineTest;

namespace {

constexpr DWORD kStyle[2] = {3, 1};

struct ExtPenCase {
    const char* name;
    DWORD style;
    DWORD width;
    UINT brushStyle;
    DWORD styleCount;
    const DWORD* styles;
    bool accepted;
};

const ExtPenCase kExtPens[] = {
    {"CosmeticSolid", PS_COSMETIC | PS_SOLID, 1, BS_SOLID, 0, nullptr, true},
    {"CosmeticAlternate", PS_COSMETIC | PS_ALTERNATE, 1, BS_SOLID, 0, nullptr, true},
    {"CosmeticUserStyle", PS_COSMETIC | PS_USERSTYLE, 1, BS_SOLID, 2, kStyle, true},
    {"CosmeticWide", PS_COSMETIC | PS_SOLID, 2, BS_SOLID, 0, nullptr, false},
    {"CosmeticHatched", PS_COSMETIC | PS_SOLID, 1, BS_HATCHED, 0, nullptr, false},
    {"CosmeticInsideFrame", PS_COSMETIC | PS_INSIDEFRAME, 1, BS_SOLID, 0, nullptr, false},
    {"GeometricWide", PS_GEOMETRIC | PS_DASH | PS_ENDCAP_SQUARE | PS_JOIN_BEVEL, 7, BS_SOLID, 0, nullptr, true},
    {"GeometricHatched", PS_GEOMETRIC | PS_SOLID, 4, BS_HATCHED, 0, nullptr, true},
    {"GeometricInsideFrame", PS_GEOMETRIC | PS_INSIDEFRAME, 4, BS_SOLID, 0, nullptr, true},
    {"GeometricAlternate", PS_GEOMETRIC | PS_ALTERNATE, 4, BS_SOLID, 0, nullptr, false},
    {"UserStyleWithoutEntries", PS_GEOMETRIC | PS_USERSTYLE, 4, BS_SOLID, 0, nullptr, false},
    {"UserStyleWithSeventeen", PS_GEOMETRIC | PS_USERSTYLE, 4, BS_SOLID, 17, kStyle, false},
    {"EntriesWithoutUserStyle", PS_GEOMETRIC | PS_SOLID, 4, BS_SOLID, 2, kStyle, false},
    {"UnknownStyle", PS_GEOMETRIC | 9, 4, BS_SOLID, 0, nullptr, false},
    {"UnknownEndCap", PS_GEOMETRIC | 0x300, 4, BS_SOLID, 0, nullptr, false},
    {"UnknownJoin", PS_GEOMETRIC | 0x3000, 4, BS_SOLID, 0, nullptr, false},
    {"UnknownType", 0x20000, 4, BS_SOLID, 0, nullptr, false},
};

class ExtCreatePenRules : public MachineTest, public testing::WithParamInterface<ExtPenCase> {};

TEST_P(ExtCreatePenRules, AcceptOrRefuseWithInvalidParameter) {
    const ExtPenCase& c = GetParam();
    const LOGBRUSH brush{c.brushStyle, RGB(1, 2, 3), HS_CROSS};
    SetLastError(0xdeadbeef);
    HPEN pen = ExtCreatePen(c.style, c.width, &brush, c.styleCount, c.styles);
    if (c.accepted) {
        ASSERT_NE(pen, nullptr) << GetLastError();
        EXPECT_EQ(GetObjectType(pen), DWORD(OBJ_EXTPEN));
        EXPECT_TRUE(DeleteObject(pen));
    } else {
        EXPECT_EQ(pen, nullptr);
        EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    }
}

INSTANTIATE_TEST_SUITE_P(All, ExtCreatePenRules, testing::ValuesIn(kExtPens),
                         [](const auto& info) { return std::string(info.param.name); });

class PensAndBrushes : public MachineTest {};

TEST_F(PensAndBrushes, BadArgumentsAreRefused) {
    auto check = [](HGDIOBJ (*make)(), DWORD error, const char* what) {
        SetLastError(0xdeadbeef);
        EXPECT_EQ(make(), nullptr) << what;
        EXPECT_EQ(GetLastError(), error) << what;
    };
    check([] { return HGDIOBJ(CreatePen(PS_ALTERNATE, 1, 0)); }, ERROR_INVALID_PARAMETER, "CreatePen");
    check([] { return HGDIOBJ(CreatePenIndirect(nullptr)); }, ERROR_INVALID_PARAMETER, "CreatePenIndirect");
    check([] { return HGDIOBJ(ExtCreatePen(PS_COSMETIC, 1, nullptr, 0, nullptr)); }, ERROR_INVALID_PARAMETER,
          "ExtCreatePen");
    check([] { return HGDIOBJ(CreateHatchBrush(HS_DIAGCROSS + 1, 0)); }, ERROR_INVALID_PARAMETER, "CreateHatchBrush");
    check([] { return HGDIOBJ(CreateBrushIndirect(nullptr)); }, ERROR_INVALID_PARAMETER, "CreateBrushIndirect");
    check([] { return HGDIOBJ(CreatePatternBrush(nullptr)); }, ERROR_INVALID_HANDLE, "CreatePatternBrush");
}

// A pattern brush outlives its bitmap: filling with it after the bitmap is
// deleted paints the bitmap's pixels, repeated from the brush origin.
TEST_F(PensAndBrushes, PatternBrushKeepsACopyOfItsBitmap) {
    // 2x2 monochrome, one 16-bit word a row: row 0 holds bits 0 1, row 1 bits 1 0.
    const BYTE rows[4] = {0x40, 0x00, 0x80, 0x00};
    HBITMAP pattern = CreateBitmap(2, 2, 1, 1, rows);
    ASSERT_NE(pattern, nullptr);
    HBRUSH brush = CreatePatternBrush(pattern);
    ASSERT_NE(brush, nullptr);
    LOGBRUSH record{};
    ASSERT_EQ(GetObjectW(brush, sizeof(record), &record), int(sizeof(record)));
    EXPECT_EQ(record.lbStyle, UINT(BS_PATTERN));
    ASSERT_TRUE(DeleteObject(pattern));

    BITMAPINFO info{};
    info.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), 4, -2, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP target = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC dc = CreateCompatibleDC(nullptr);
    SelectObject(dc, target);
    // A monochrome pattern paints 0 bits in the text colour and 1 bits in the background colour.
    SetTextColor(dc, RGB(255, 0, 0));
    SetBkColor(dc, RGB(0, 0, 255));
    const RECT all{0, 0, 4, 2};
    ASSERT_TRUE(FillRect(dc, &all, brush));
    const DWORD* pixels = static_cast<const DWORD*>(bits);
    const DWORD red = 0xFF0000, blue = 0x0000FF;
    const DWORD expected[8] = {red, blue, red, blue, blue, red, blue, red};
    for (int i = 0; i < 8; ++i) EXPECT_EQ(pixels[i], expected[i]) << "pixel " << i;
    DeleteDC(dc);
    DeleteObject(target);
    DeleteObject(brush);
}

}  // namespace
