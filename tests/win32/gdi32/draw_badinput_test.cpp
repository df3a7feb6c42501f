// Drawing calls given what they cannot take: no DC or a deleted one,
// counts too small, coordinates beyond what device space holds, figures of
// millions of points, and a printer DC where only a memory DC will do.
#include <climits>
#include <vector>

#include "win32/gdi32/memory_dc_fixture.h"
#include "win32/win32k/engine_fixture.h"

using tam::test::EngineTest;
using tam::test::MemoryDCTest;

namespace {

class DrawBadInput : public MemoryDCTest {};

// Each call on a DC handle that is none fails with ERROR_INVALID_HANDLE.
TEST_F(DrawBadInput, NoDcOrADeletedOne) {
    HDC deleted = CreateCompatibleDC(nullptr);
    ASSERT_TRUE(DeleteDC(deleted));
    const POINT points[] = {{0, 0}, {5, 5}};
    const RECT rect{0, 0, 4, 4};
    HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
    for (HDC dc : {HDC(nullptr), deleted}) {
        auto check = [&](bool failed, const char* call) {
            EXPECT_TRUE(failed) << call;
            EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE)) << call;
            SetLastError(0);
        };
        SetLastError(0);
        check(!LineTo(dc, 3, 3), "LineTo");
        check(!Polyline(dc, points, 2), "Polyline");
        check(!Rectangle(dc, 0, 0, 4, 4), "Rectangle");
        check(!Ellipse(dc, 0, 0, 4, 4), "Ellipse");
        check(!BitBlt(dc, 0, 0, 2, 2, dc_, 0, 0, SRCCOPY), "BitBlt to");
        check(!BitBlt(dc_, 0, 0, 2, 2, dc, 0, 0, SRCCOPY), "BitBlt from");
        check(FillRect(dc, &rect, brush) == 0, "FillRect");
        check(!BeginPath(dc), "BeginPath");
        check(IntersectClipRect(dc, 0, 0, 2, 2) == ERROR, "IntersectClipRect");
        check(SetPixel(dc, 1, 1, 0) == CLR_INVALID, "SetPixel");
    }
    DeleteObject(brush);
    EXPECT_TRUE(Drawn().empty());
}

TEST_F(DrawBadInput, CountsTooSmall) {
    const POINT points[4] = {{0, 0}, {5, 5}, {9, 0}, {3, 3}};
    const INT oneLonePoint[] = {3, 1};
    auto expectRefused = [](BOOL result, const char* call) {
        EXPECT_FALSE(result) << call;
        EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER)) << call;
        SetLastError(0);
    };
    expectRefused(Polyline(dc_, points, 1), "Polyline of 1");
    expectRefused(Polyline(dc_, points, -3), "Polyline of -3");
    expectRefused(Polygon(dc_, points, 1), "Polygon of 1");
    expectRefused(PolyBezier(dc_, points, 3), "PolyBezier of 3");
    expectRefused(PolyBezierTo(dc_, points, 4), "PolyBezierTo of 4");
    expectRefused(PolyPolygon(dc_, points, oneLonePoint, 2), "PolyPolygon with a polygon of 1");
    expectRefused(Polyline(dc_, nullptr, 2), "Polyline without points");
    EXPECT_TRUE(Drawn().empty());
}

// Device space holds 27 bits of whole pixels; beyond that the call fails
// with ERROR_INVALID_PARAMETER and draws nothing, also when a mapping
// scales an ordinary logical coordinate out of range.
TEST_F(DrawBadInput, CoordinatesBeyondDeviceSpace) {
    UseBrush(RGB(0, 0, 0));
    SetLastError(0);
    EXPECT_FALSE(LineTo(dc_, INT_MAX, 3));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    EXPECT_FALSE(Rectangle(dc_, INT_MIN, INT_MIN, INT_MAX, INT_MAX));
    EXPECT_FALSE(Ellipse(dc_, -(1 << 28), 0, 4, 4));
    EXPECT_FALSE(BitBlt(dc_, INT_MAX - 1, 0, 5, 5, nullptr, 0, 0, BLACKNESS));
    SetMapMode(dc_, MM_ANISOTROPIC);
    SetWindowExtEx(dc_, 1, 1, nullptr);
    SetViewportExtEx(dc_, 1000, 1000, nullptr);
    SetLastError(0);
    EXPECT_FALSE(Rectangle(dc_, 0, 0, 200000, 2));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    EXPECT_TRUE(Drawn().empty());
    // Large but in range: drawn, cut to the surface.
    SetMapMode(dc_, MM_TEXT);
    EXPECT_TRUE(Rectangle(dc_, -100000000, -100000000, 100000000, 100000000));
    EXPECT_EQ(Drawn().size(), size_t(kWidth * kHeight));
    // As a path made into a region (two million rows): the compatible box,
    // one short on the right and bottom, in full.
    ASSERT_TRUE(BeginPath(dc_));
    ASSERT_TRUE(Rectangle(dc_, -1000000, -1000000, 1000000, 1000000));
    ASSERT_TRUE(EndPath(dc_));
    HRGN region = PathToRegion(dc_);
    ASSERT_NE(region, nullptr);
    RECT box{};
    EXPECT_EQ(GetRgnBox(region, &box), SIMPLEREGION);
    EXPECT_EQ(box.left, -1000000);
    EXPECT_EQ(box.top, -1000000);
    EXPECT_EQ(box.right, 1000000 - 1);
    EXPECT_EQ(box.bottom, 1000000 - 1);
    DeleteObject(region);
}

// Two million points zigzagging across the surface, as a polyline and as
// a recorded path made into a region: each finishes and draws.
TEST_F(DrawBadInput, MillionsOfPoints) {
    std::vector<POINT> points(2000000);
    for (size_t i = 0; i < points.size(); ++i) points[i] = POINT{LONG(i % 2 ? kWidth - 1 : 0), LONG(i % kHeight)};
    UsePen(RGB(0, 0, 0));
    EXPECT_TRUE(Polyline(dc_, points.data(), int(points.size())));
    EXPECT_FALSE(Drawn().empty());
    ASSERT_TRUE(BeginPath(dc_));
    ASSERT_TRUE(PolylineTo(dc_, points.data(), DWORD(points.size())));
    ASSERT_TRUE(EndPath(dc_));
    EXPECT_EQ(GetPath(dc_, nullptr, nullptr, 0), int(points.size() + 1));
    HRGN region = PathToRegion(dc_);
    ASSERT_NE(region, nullptr);
    DeleteObject(region);
}

// A printer's pixels stay with its driver: GetPixel answers CLR_INVALID and
// a printer DC is no blit source (ERROR_INVALID_PARAMETER).
class DrawOnPrinter : public EngineTest {};

TEST_F(DrawOnPrinter, PrinterPixelsCannotBeRead) {
    InstallFakePrinter();
    HDC printer = CreateDCW(nullptr, tam::test::kFakePrinter, nullptr, nullptr);
    ASSERT_NE(printer, nullptr) << GetLastError();
    EXPECT_EQ(GetPixel(printer, 1, 1), CLR_INVALID);
    HDC memory = CreateCompatibleDC(nullptr);
    SetLastError(0);
    EXPECT_FALSE(BitBlt(memory, 0, 0, 1, 1, printer, 0, 0, SRCCOPY));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    DeleteDC(memory);
    DeleteDC(printer);
}

}  // namespace
