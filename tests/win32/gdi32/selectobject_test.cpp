// SelectObject: the previous object back, refusals, regions as the clip,
// and objects deleted while selected.
#include <gtest/gtest.h>
#include <windows.h>

#include "win32/gdi32/compatible_dc_fixture.h"

using tam::test::CompatibleDCTest;

namespace {

class Selection : public CompatibleDCTest {};

TEST_F(Selection, AnswersThePreviousObjectOfEachKind) {
    HPEN pen = CreatePen(PS_SOLID, 3, RGB(1, 2, 3));
    HBRUSH brush = CreateSolidBrush(RGB(4, 5, 6));
    HBITMAP bitmap = CreateBitmap(2, 2, 1, 1, nullptr);
    HGDIOBJ font = GetStockObject(ANSI_VAR_FONT);
    EXPECT_EQ(SelectObject(dc_, pen), GetStockObject(BLACK_PEN));
    EXPECT_EQ(SelectObject(dc_, brush), GetStockObject(WHITE_BRUSH));
    EXPECT_EQ(SelectObject(dc_, font), GetStockObject(SYSTEM_FONT));
    const HGDIOBJ stockBitmap = SelectObject(dc_, bitmap);
    EXPECT_EQ(GetObjectType(stockBitmap), DWORD(OBJ_BITMAP));
    EXPECT_EQ(GetCurrentObject(dc_, OBJ_PEN), pen);
    EXPECT_EQ(GetCurrentObject(dc_, OBJ_BRUSH), brush);
    EXPECT_EQ(GetCurrentObject(dc_, OBJ_FONT), font);
    EXPECT_EQ(GetCurrentObject(dc_, OBJ_BITMAP), bitmap);
    EXPECT_EQ(GetCurrentObject(dc_, OBJ_PAL), GetStockObject(DEFAULT_PALETTE));
    // Selecting the same object again answers it.
    EXPECT_EQ(SelectObject(dc_, pen), pen);
    EXPECT_EQ(SelectObject(dc_, GetStockObject(BLACK_PEN)), pen);
    EXPECT_EQ(SelectObject(dc_, GetStockObject(WHITE_BRUSH)), brush);
    EXPECT_EQ(SelectObject(dc_, stockBitmap), bitmap);
    for (HGDIOBJ object : {HGDIOBJ(pen), HGDIOBJ(brush), HGDIOBJ(bitmap)}) EXPECT_TRUE(DeleteObject(object));
}

TEST_F(Selection, BadHandlesAndMisplacedObjectsGiveNull) {
    HBRUSH deleted = CreateSolidBrush(0);
    DeleteObject(deleted);
    HPALETTE palette = static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE));
    struct Case {
        HDC dc;
        HGDIOBJ object;
        DWORD error;
    } cases[] = {
        {nullptr, GetStockObject(BLACK_PEN), ERROR_INVALID_HANDLE},
        {dc_, nullptr, ERROR_INVALID_HANDLE},
        {dc_, deleted, ERROR_INVALID_HANDLE},
        {dc_, palette, ERROR_INVALID_PARAMETER},  // palettes go with SelectPalette
        {dc_, dc_, ERROR_INVALID_PARAMETER},
    };
    for (const Case& c : cases) {
        SetLastError(0xdeadbeef);
        EXPECT_EQ(SelectObject(c.dc, c.object), nullptr);
        EXPECT_EQ(GetLastError(), c.error);
    }
    EXPECT_EQ(GetCurrentObject(dc_, OBJ_BRUSH), GetStockObject(WHITE_BRUSH));
    SetLastError(0xdeadbeef);
    EXPECT_EQ(GetCurrentObject(dc_, OBJ_REGION), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
}

TEST_F(Selection, ABitmapGoesIntoOneMemoryDcAtATime) {
    HBITMAP bitmap = CreateBitmap(2, 2, 1, 1, nullptr);
    ASSERT_NE(SelectObject(dc_, bitmap), nullptr);
    HDC other = CreateCompatibleDC(nullptr);
    SetLastError(0xdeadbeef);
    EXPECT_EQ(SelectObject(other, bitmap), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_BUSY));
    // The stock bitmap sits in both DCs.
    HGDIOBJ stock = GetCurrentObject(other, OBJ_BITMAP);
    EXPECT_EQ(SelectObject(dc_, stock), bitmap);
    EXPECT_NE(SelectObject(other, bitmap), nullptr);
    DeleteDC(other);
    EXPECT_TRUE(DeleteObject(bitmap));
}

TEST_F(Selection, ARegionBecomesTheClipAndAnswersItsComplexity) {
    HRGN simple = CreateRectRgn(0, 0, 4, 4);
    HRGN complex = CreateRectRgn(0, 0, 2, 2);
    HRGN second = CreateRectRgn(5, 5, 6, 6);
    CombineRgn(complex, complex, second, RGN_OR);
    HRGN empty = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(SelectObject(dc_, simple), HGDIOBJ(LONG_PTR(SIMPLEREGION)));
    EXPECT_EQ(SelectObject(dc_, complex), HGDIOBJ(LONG_PTR(COMPLEXREGION)));
    EXPECT_EQ(SelectObject(dc_, empty), HGDIOBJ(LONG_PTR(NULLREGION)));
    // The DC keeps a copy: the region stays the program's to delete.
    EXPECT_TRUE(DeleteObject(simple));
    EXPECT_EQ(GetObjectType(simple), 0u);
    for (HGDIOBJ object : {HGDIOBJ(complex), HGDIOBJ(second), HGDIOBJ(empty)}) DeleteObject(object);
}

// A pen or brush deleted while selected goes once it is deselected; the DC
// holds it until then. A selected bitmap cannot be deleted.
TEST_F(Selection, DeletingSelectedObjects) {
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(9, 9, 9));
    SelectObject(dc_, pen);
    SaveDC(dc_);
    EXPECT_TRUE(DeleteObject(pen));
    EXPECT_EQ(GetObjectType(pen), DWORD(OBJ_PEN));
    EXPECT_EQ(GetCurrentObject(dc_, OBJ_PEN), pen);
    SelectObject(dc_, GetStockObject(WHITE_PEN));
    EXPECT_EQ(GetObjectType(pen), DWORD(OBJ_PEN));  // the saved state still holds it
    EXPECT_TRUE(RestoreDC(dc_, -1));
    EXPECT_EQ(GetCurrentObject(dc_, OBJ_PEN), pen);
    SelectObject(dc_, GetStockObject(BLACK_PEN));
    SetLastError(0xdeadbeef);
    EXPECT_EQ(GetObjectType(pen), 0u);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));

    HBITMAP bitmap = CreateBitmap(2, 2, 1, 1, nullptr);
    HGDIOBJ stock = SelectObject(dc_, bitmap);
    SetLastError(0xdeadbeef);
    EXPECT_FALSE(DeleteObject(bitmap));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_BUSY));
    SelectObject(dc_, stock);
    EXPECT_TRUE(DeleteObject(bitmap));

    // Deleting the DC lets go of a brush deleted while selected.
    HBRUSH brush = CreateSolidBrush(RGB(1, 1, 1));
    SelectObject(dc_, brush);
    EXPECT_TRUE(DeleteObject(brush));
    EXPECT_TRUE(DeleteDC(dc_));
    EXPECT_EQ(GetObjectType(brush), 0u);
    dc_ = CreateCompatibleDC(nullptr);
}

TEST_F(Selection, DeleteObjectRefusesUnknownHandlesAndDcs) {
    for (HGDIOBJ object : {static_cast<HGDIOBJ>(nullptr), static_cast<HGDIOBJ>(dc_)}) {
        SetLastError(0xdeadbeef);
        EXPECT_FALSE(DeleteObject(object));
        EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
    }
    HBRUSH brush = CreateSolidBrush(0);
    EXPECT_TRUE(DeleteObject(brush));
    SetLastError(0xdeadbeef);
    EXPECT_FALSE(DeleteObject(brush));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
}

}  // namespace
