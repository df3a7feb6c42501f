// The engine's view of a DC: pens and brushes in device units and colours,
// points in 28.4 fixed point, and the surface a DC draws on.
#include <windows.h>

#include "gdi32/dc.h"
#include "win32/win32k/engine_fixture.h"

using tam::test::EngineTest;
using tam::test::kFakePrinter;

namespace {

class DrawContextOf : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        dc_ = CreateCompatibleDC(nullptr);
        ASSERT_NE(dc_, nullptr);
    }
    void TearDown() override {
        DeleteDC(dc_);
        EngineTest::TearDown();
    }
    // Three device pixels to the logical unit each way.
    void ScaleByThree() {
        SetMapMode(dc_, MM_ANISOTROPIC);
        SetWindowExtEx(dc_, 1, 1, nullptr);
        SetViewportExtEx(dc_, 3, 3, nullptr);
    }
    w32::EnginePen PenOf(HPEN pen) {
        SelectObject(dc_, pen);
        const w32::EnginePen engine = w32::gdi::SelectedPen(*w32::gdi::LookupDC(dc_));
        SelectObject(dc_, GetStockObject(BLACK_PEN));
        DeleteObject(pen);
        return engine;
    }
    HDC dc_ = nullptr;
};

TEST_F(DrawContextOf, PenWidthsScaleWithTheMapping) {
    ScaleByThree();
    // Two logical units: six pixels, drawn solid with round ends.
    w32::EnginePen pen = PenOf(CreatePen(PS_DASH, 2, RGB(255, 0, 0)));
    EXPECT_TRUE(pen.geometric);
    EXPECT_EQ(pen.width, 6u);
    EXPECT_EQ(pen.style, PS_SOLID);
    EXPECT_EQ(pen.color, RGB(255, 0, 0));
    // Width 0: one pixel whatever the mapping, with its style.
    pen = PenOf(CreatePen(PS_DASH, 0, RGB(0, 0, 255)));
    EXPECT_FALSE(pen.geometric);
    EXPECT_EQ(pen.width, 1u);
    EXPECT_EQ(pen.style, PS_DASH);
    const LOGBRUSH brush{BS_SOLID, RGB(0, 255, 0), 0};
    pen = PenOf(ExtCreatePen(PS_GEOMETRIC | PS_ENDCAP_FLAT | PS_JOIN_BEVEL, 4, &brush, 0, nullptr));
    EXPECT_TRUE(pen.geometric);
    EXPECT_EQ(pen.width, 12u);
    EXPECT_EQ(pen.endCap, ULONG(PS_ENDCAP_FLAT));
    EXPECT_EQ(pen.join, ULONG(PS_JOIN_BEVEL));
    ASSERT_NE(pen.brush, nullptr);
    EXPECT_EQ(pen.brush->color, RGB(0, 255, 0));
    pen = PenOf(ExtCreatePen(PS_COSMETIC | PS_DOT, 1, &brush, 0, nullptr));
    EXPECT_FALSE(pen.geometric);
    EXPECT_EQ(pen.width, 1u);
}

TEST_F(DrawContextOf, DcPenAndBrushTakeTheDcsColours) {
    const auto dc = w32::gdi::LookupDC(dc_);
    SelectObject(dc_, GetStockObject(DC_PEN));
    SelectObject(dc_, GetStockObject(DC_BRUSH));
    SetDCPenColor(dc_, RGB(1, 2, 3));
    SetDCBrushColor(dc_, RGB(4, 5, 6));
    EXPECT_EQ(w32::gdi::SelectedPen(*dc).color, RGB(1, 2, 3));
    const auto brush = w32::gdi::SelectedBrush(*dc);
    EXPECT_EQ(brush->style, UINT(BS_SOLID));
    EXPECT_EQ(brush->color, RGB(4, 5, 6));
    // Another brush object: its own engine brush, the same each time.
    HBRUSH hatched = CreateHatchBrush(HS_CROSS, RGB(7, 8, 9));
    SelectObject(dc_, hatched);
    const auto first = w32::gdi::SelectedBrush(*dc);
    EXPECT_EQ(first->style, UINT(BS_HATCHED));
    EXPECT_EQ(first->hatch, ULONG(HS_CROSS));
    EXPECT_EQ(w32::gdi::SelectedBrush(*dc)->id, first->id);
    EXPECT_NE(first->id, brush->id);
    SelectObject(dc_, GetStockObject(WHITE_BRUSH));
    DeleteObject(hatched);
}

// A third of a pixel to the logical unit: logical 1 is 16 / 3 sixteenths,
// which round to 5; logical 2 is two thirds of a pixel, which rounds to 1.
TEST_F(DrawContextOf, PointsRoundOnceFromTheWholeTransform) {
    SetMapMode(dc_, MM_ANISOTROPIC);
    SetWindowExtEx(dc_, 3, 3, nullptr);
    SetViewportExtEx(dc_, 1, 1, nullptr);
    SetViewportOrgEx(dc_, 10, 20, nullptr);
    const auto dc = w32::gdi::LookupDC(dc_);
    const POINTFIX fix = w32::gdi::LogicalToDeviceFix(*dc, 1, 2);
    EXPECT_EQ(fix.x, 10 * 16 + 5);
    EXPECT_EQ(fix.y, 20 * 16 + 11);
    const POINT point = w32::gdi::LogicalToDevice(*dc, 2, 1);
    EXPECT_EQ(point.x, 11);
    EXPECT_EQ(point.y, 20);
}

TEST_F(DrawContextOf, MemoryDcDrawsOnItsBitmapAndPrinterDcOnlyInAPage) {
    HBITMAP bitmap = CreateBitmap(7, 5, 1, 32, nullptr);
    SelectObject(dc_, bitmap);
    SetTextColor(dc_, RGB(9, 9, 9));
    w32::DrawContext context;
    ASSERT_TRUE(w32::gdi::MakeDrawContext(*w32::gdi::LookupDC(dc_), context));
    EXPECT_EQ(context.target.device, nullptr);
    EXPECT_EQ(context.target.surface->so.sizlBitmap.cx, 7);
    EXPECT_EQ(context.textColor, RGB(9, 9, 9));
    EXPECT_FALSE(context.clip.has_value());

    InstallFakePrinter();
    HDC printer = CreateDCW(nullptr, kFakePrinter, nullptr, nullptr);
    ASSERT_NE(printer, nullptr) << GetLastError();
    const auto printerDc = w32::gdi::LookupDC(printer);
    SetLastError(0xdeadbeef);
    EXPECT_FALSE(w32::gdi::MakeDrawContext(*printerDc, context));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    DOCINFOW doc{sizeof(DOCINFOW), u"context", nullptr, nullptr, 0};
    ASSERT_GT(StartDocW(printer, &doc), 0);
    ASSERT_GT(StartPage(printer), 0);
    ASSERT_TRUE(w32::gdi::MakeDrawContext(*printerDc, context));
    EXPECT_EQ(context.target.device, w32::EngineDeviceOfDC(printer));
    EXPECT_EQ(context.target.surface->so.sizlBitmap.cx, GetDeviceCaps(printer, HORZRES));
    EXPECT_GT(EndPage(printer), 0);
    EXPECT_FALSE(w32::gdi::MakeDrawContext(*printerDc, context));
    EXPECT_GT(EndDoc(printer), 0);
    DeleteDC(printer);
    DeleteDC(dc_);
    dc_ = CreateCompatibleDC(nullptr);
    DeleteObject(bitmap);
}

}  // namespace
