// Window DCs: where a window's drawing lands in its top-level window's
// surface and what it is kept from.
#include "win32/user32/window_fixture.h"

namespace tam::test {
namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);

class WindowDCs : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        // A top-level window at (100, 50) of 200 x 100 with a 1-pixel border:
        // its client area starts at (1, 1) of its surface.
        top = Make(WS_POPUP | WS_BORDER | WS_VISIBLE, nullptr, 0, u"", 0, RECT{100, 50, 300, 150});
        ASSERT_TRUE(top);
        child = Make(WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, top, 1, u"", 0, RECT{20, 10, 80, 40});
        ASSERT_TRUE(child);
        Whiten(top);
    }
    static void Whiten(HWND hwnd) {
        HDC hdc = GetDCEx(hwnd, nullptr, DCX_WINDOW | DCX_CACHE);
        RECT all{0, 0, 1000, 1000};
        FillRect(hdc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        ReleaseDC(hwnd, hdc);
    }
    // A pixel of the top-level surface, by its place in the window rectangle.
    COLORREF Surface(int x, int y) {
        HDC hdc = GetDCEx(top, nullptr, DCX_WINDOW | DCX_CACHE);
        COLORREF c = GetPixel(hdc, x, y);
        ReleaseDC(top, hdc);
        return c;
    }
    void FillChild(HWND hwnd, COLORREF color) {
        HDC hdc = GetDC(hwnd);
        ASSERT_TRUE(hdc);
        HBRUSH brush = CreateSolidBrush(color);
        RECT far{-500, -500, 500, 500};
        EXPECT_TRUE(FillRect(hdc, &far, brush));
        DeleteObject(brush);
        EXPECT_EQ(ReleaseDC(hwnd, hdc), 1);
    }
    HWND top = nullptr, child = nullptr;
};

TEST_F(WindowDCs, ChildDrawingLandsAtItsPlaceAndStaysInside) {
    FillChild(child, kRed);
    // The child's client area is (21, 11)..(81, 41) of the surface.
    EXPECT_EQ(Surface(21, 11), kRed);
    EXPECT_EQ(Surface(80, 40), kRed);
    EXPECT_EQ(Surface(20, 11), kWhite);
    EXPECT_EQ(Surface(81, 40), kWhite);
    EXPECT_EQ(Surface(80, 41), kWhite);
}

TEST_F(WindowDCs, ParentsAndSiblingsAboveBoundTheDrawing) {
    // A child reaching past its parent's client area, and a sibling above it.
    HWND wide = Make(WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, top, 2, u"", 0, RECT{150, 60, 250, 150});
    ASSERT_TRUE(SetWindowPos(child, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE));
    HWND over = Make(WS_CHILD | WS_VISIBLE, top, 3, u"", 0, RECT{50, 0, 100, 20});
    ASSERT_TRUE(SetWindowPos(over, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE));
    FillChild(wide, kRed);
    EXPECT_EQ(Surface(151, 61), kRed);
    EXPECT_EQ(Surface(198, 98), kRed);
    EXPECT_EQ(Surface(199, 99), kWhite);  // the border, outside the parent's client area
    FillChild(child, kRed);
    EXPECT_EQ(Surface(30, 30), kRed);
    EXPECT_EQ(Surface(60, 15), kWhite);  // under the sibling above
}

TEST_F(WindowDCs, ClipChildrenKeepsTheParentOffItsChildren) {
    SetWindowLongW(top, GWL_STYLE, GetWindowLongW(top, GWL_STYLE) | WS_CLIPCHILDREN);
    FillChild(top, kRed);
    EXPECT_EQ(Surface(1, 1), kRed);
    EXPECT_EQ(Surface(30, 20), kWhite);
    SetWindowLongW(top, GWL_STYLE, GetWindowLongW(top, GWL_STYLE) & ~WS_CLIPCHILDREN);
    FillChild(top, kRed);
    EXPECT_EQ(Surface(30, 20), kRed);
    EXPECT_EQ(Surface(0, 0), kWhite);  // the border is not the client area
}

TEST_F(WindowDCs, HiddenWindowDrawsNothing) {
    ShowWindow(child, SW_HIDE);
    FillChild(child, kRed);
    EXPECT_EQ(Surface(30, 20), kWhite);
}

TEST_F(WindowDCs, ClipRegionsAreWindowUnits) {
    HDC hdc = GetDC(child);
    HRGN region = CreateRectRgn(0, 0, 10, 10);
    EXPECT_EQ(SelectClipRgn(hdc, region), SIMPLEREGION);
    RECT box{};
    EXPECT_EQ(GetClipBox(hdc, &box), SIMPLEREGION);
    EXPECT_EQ(box.right, 10);
    EXPECT_EQ(box.bottom, 10);
    HRGN back = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetClipRgn(hdc, back), 1);
    EXPECT_TRUE(EqualRgn(back, region));
    RECT all{0, 0, 100, 100};
    FillRect(hdc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    EXPECT_EQ(GetPixel(hdc, 9, 9), RGB(0, 0, 0));
    EXPECT_EQ(GetPixel(hdc, 10, 10), CLR_INVALID);  // outside the clip
    EXPECT_EQ(GetObjectType(hdc), DWORD(OBJ_DC));
    EXPECT_FALSE(DeleteDC(hdc));  // a window DC goes back with ReleaseDC
    EXPECT_EQ(ReleaseDC(child, hdc), 1);
    EXPECT_EQ(ReleaseDC(child, hdc), 0);
    EXPECT_EQ(WindowFromDC(hdc), nullptr);
    DeleteObject(region);
    DeleteObject(back);
    EXPECT_EQ(Surface(30, 20), RGB(0, 0, 0));
    EXPECT_EQ(Surface(31, 21), kWhite);
}

TEST_F(WindowDCs, SurfaceFollowsTheWindowSize) {
    FillChild(top, kRed);
    ASSERT_TRUE(SetWindowPos(top, nullptr, 0, 0, 300, 200, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE));
    EXPECT_EQ(Surface(5, 5), kRed);  // kept from before
    HDC hdc = GetWindowDC(top);
    EXPECT_NE(GetPixel(hdc, 299, 199), CLR_INVALID);
    EXPECT_EQ(GetDeviceCaps(hdc, BITSPIXEL), 32);
    ReleaseDC(top, hdc);
}

TEST_F(WindowDCs, BadHandlesFail) {
    SetLastError(0);
    EXPECT_EQ(GetDC(reinterpret_cast<HWND>(0x1234)), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_WINDOW_HANDLE));
    EXPECT_EQ(ReleaseDC(top, reinterpret_cast<HDC>(0x1234)), 0);
    HDC screen = GetDC(nullptr);
    ASSERT_TRUE(screen);
    EXPECT_EQ(WindowFromDC(screen), GetDesktopWindow());
    EXPECT_NE(GetPixel(screen, 1919, 1079), CLR_INVALID);
    ReleaseDC(nullptr, screen);
}

TEST(SystemColors, AreWindows10sDefaultsWithStockBrushes) {
    struct { int index; COLORREF color; } const kColors[] = {
        {COLOR_WINDOW, RGB(255, 255, 255)}, {COLOR_WINDOWTEXT, RGB(0, 0, 0)},
        {COLOR_BTNFACE, RGB(240, 240, 240)}, {COLOR_BTNSHADOW, RGB(160, 160, 160)},
        {COLOR_3DDKSHADOW, RGB(105, 105, 105)}, {COLOR_HIGHLIGHT, RGB(0, 120, 215)},
        {COLOR_GRAYTEXT, RGB(109, 109, 109)}, {COLOR_INFOBK, RGB(255, 255, 225)},
        {COLOR_HOTLIGHT, RGB(0, 102, 204)},
    };
    for (const auto& c : kColors) {
        EXPECT_EQ(GetSysColor(c.index), c.color) << c.index;
        HBRUSH brush = GetSysColorBrush(c.index);
        ASSERT_TRUE(brush);
        EXPECT_TRUE(DeleteObject(brush));
        LOGBRUSH lb{};
        ASSERT_EQ(GetObjectW(brush, sizeof(lb), &lb), int(sizeof(lb)));  // still there
        EXPECT_EQ(lb.lbColor, c.color);
    }
    EXPECT_EQ(GetSysColorBrush(25), nullptr);
    EXPECT_EQ(GetSysColorBrush(31), nullptr);
}

}  // namespace
}  // namespace tam::test
