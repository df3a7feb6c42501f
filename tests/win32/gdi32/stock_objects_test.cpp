// Stock objects: their types, their records, and that deleting them does
// nothing.
#include <gtest/gtest.h>
#include <windows.h>

#include "support/machine_fixture.h"

using tam::test::MachineTest;

namespace {

struct StockCase {
    int index;
    DWORD type;
};

const StockCase kStock[] = {
    {WHITE_BRUSH, OBJ_BRUSH},      {LTGRAY_BRUSH, OBJ_BRUSH},     {GRAY_BRUSH, OBJ_BRUSH},
    {DKGRAY_BRUSH, OBJ_BRUSH},     {BLACK_BRUSH, OBJ_BRUSH},      {NULL_BRUSH, OBJ_BRUSH},
    {WHITE_PEN, OBJ_PEN},          {BLACK_PEN, OBJ_PEN},          {NULL_PEN, OBJ_PEN},
    {OEM_FIXED_FONT, OBJ_FONT},    {ANSI_FIXED_FONT, OBJ_FONT},   {ANSI_VAR_FONT, OBJ_FONT},
    {SYSTEM_FONT, OBJ_FONT},       {DEVICE_DEFAULT_FONT, OBJ_FONT}, {DEFAULT_PALETTE, OBJ_PAL},
    {SYSTEM_FIXED_FONT, OBJ_FONT}, {DEFAULT_GUI_FONT, OBJ_FONT},  {DC_BRUSH, OBJ_BRUSH},
    {DC_PEN, OBJ_PEN},
};

class StockObject : public MachineTest, public testing::WithParamInterface<StockCase> {};

TEST_P(StockObject, HasItsTypeAndOutlivesDeleteObject) {
    const StockCase& c = GetParam();
    HGDIOBJ object = GetStockObject(c.index);
    ASSERT_NE(object, nullptr);
    EXPECT_EQ(GetStockObject(c.index), object);  // the same object each time
    EXPECT_EQ(GetObjectType(object), c.type);
    EXPECT_TRUE(DeleteObject(object));
    EXPECT_EQ(GetObjectType(object), c.type);
    EXPECT_GT(GetObjectW(object, 0, nullptr), 0);
}

INSTANTIATE_TEST_SUITE_P(All, StockObject, testing::ValuesIn(kStock),
                         [](const auto& info) { return std::to_string(info.param.index); });

class StockObjects : public MachineTest {};

TEST_F(StockObjects, RecordsAreTheDocumentedOnes) {
    LOGBRUSH brush{};
    ASSERT_EQ(GetObjectW(GetStockObject(LTGRAY_BRUSH), sizeof(brush), &brush), int(sizeof(LOGBRUSH)));
    EXPECT_EQ(brush.lbStyle, UINT(BS_SOLID));
    EXPECT_EQ(brush.lbColor, RGB(192, 192, 192));
    ASSERT_EQ(GetObjectW(GetStockObject(NULL_BRUSH), sizeof(brush), &brush), int(sizeof(LOGBRUSH)));
    EXPECT_EQ(brush.lbStyle, UINT(BS_NULL));
    LOGPEN pen{};
    ASSERT_EQ(GetObjectW(GetStockObject(NULL_PEN), sizeof(pen), &pen), int(sizeof(LOGPEN)));
    EXPECT_EQ(pen.lopnStyle, UINT(PS_NULL));
    ASSERT_EQ(GetObjectW(GetStockObject(WHITE_PEN), sizeof(pen), &pen), int(sizeof(LOGPEN)));
    EXPECT_EQ(pen.lopnColor, RGB(255, 255, 255));
    // The default palette holds the 20 static colours: black first, white last.
    HPALETTE palette = static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE));
    EXPECT_EQ(GetPaletteEntries(palette, 0, 0, nullptr), 20u);
    PALETTEENTRY ends[2];
    ASSERT_EQ(GetPaletteEntries(palette, 0, 1, &ends[0]), 1u);
    ASSERT_EQ(GetPaletteEntries(palette, 19, 5, &ends[1]), 1u);
    EXPECT_EQ(RGB(ends[0].peRed, ends[0].peGreen, ends[0].peBlue), RGB(0, 0, 0));
    EXPECT_EQ(RGB(ends[1].peRed, ends[1].peGreen, ends[1].peBlue), RGB(255, 255, 255));
}

TEST_F(StockObjects, IndicesWithoutAnObjectGiveNull) {
    for (int index : {-1, 9, STOCK_LAST + 1, 1000}) {
        SetLastError(0xdeadbeef);
        EXPECT_EQ(GetStockObject(index), nullptr) << index;
        EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER)) << index;
    }
}

TEST_F(StockObjects, DcBrushAndPenColoursAnswerThePreviousOne) {
    HDC dc = CreateCompatibleDC(nullptr);
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(GetDCBrushColor(dc), RGB(255, 255, 255));
    EXPECT_EQ(GetDCPenColor(dc), RGB(0, 0, 0));
    EXPECT_EQ(SetDCBrushColor(dc, RGB(1, 2, 3)), RGB(255, 255, 255));
    EXPECT_EQ(SetDCPenColor(dc, RGB(4, 5, 6)), RGB(0, 0, 0));
    EXPECT_EQ(GetDCBrushColor(dc), RGB(1, 2, 3));
    EXPECT_EQ(GetDCPenColor(dc), RGB(4, 5, 6));
    EXPECT_TRUE(DeleteDC(dc));
    SetLastError(0xdeadbeef);
    EXPECT_EQ(SetDCBrushColor(dc, 0), CLR_INVALID);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
}

}  // namespace
