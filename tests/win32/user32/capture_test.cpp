// Pictures of windows: PrintWindow through WM_PRINT, and SaveWindowPng of
// a small captioned window with a button-like child that paints itself.
#include <filesystem>

#include "user32/capture.h"
#include "win32/user32/window_fixture.h"

namespace tam::test {
namespace {

constexpr COLORREF kFace = RGB(240, 240, 240);

class Capture : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        // The child paints a raised button with its text; the parent's
        // class background is the button face.
        TheHook() = [](HWND w, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
            if (message != WM_PAINT || GetDlgCtrlID(w) != 1) return std::nullopt;
            PAINTSTRUCT ps;
            HDC hdc = BeginPaint(w, &ps);
            RECT r;
            GetClientRect(w, &r);
            DrawEdge(hdc, &r, EDGE_RAISED, BF_RECT | BF_MIDDLE | BF_SOFT | BF_ADJUST);
            SelectObject(hdc, GetStockObject(DEFAULT_GUI_FONT));
            SetBkMode(hdc, TRANSPARENT);
            DrawTextW(hdc, u"OK", -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
            EndPaint(w, &ps);
            return 0;
        };
        top = Make(WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_VISIBLE, nullptr, 0, u"Capture", 0,
                   RECT{40, 40, 280, 160});
        ASSERT_TRUE(top);
        SetClassLongPtrW(top, GCLP_HBRBACKGROUND, LONG_PTR(COLOR_BTNFACE + 1));
        InvalidateRect(top, nullptr, TRUE);
        button = Make(WS_CHILD | WS_VISIBLE, top, 1, u"", 0, RECT{140, 50, 215, 73});
        ASSERT_TRUE(button);
    }
    HWND top = nullptr, button = nullptr;
};

TEST_F(Capture, SavesTheWindowWithItsFrameAndChildren) {
    const std::filesystem::path path = std::filesystem::path(::testing::TempDir()) / "capture_window.png";
    ASSERT_TRUE(w32::SaveWindowPng(top, path.u16string())) << GetLastError();
    ASSERT_TRUE(std::filesystem::exists(path));
    EXPECT_GT(std::filesystem::file_size(path), 100u);
    // What was saved is what the surface shows: the face colour in the
    // client area, the button's edge where the button is.
    HDC hdc = GetWindowDC(top);
    POINT client{0, 0};
    ClientToScreen(top, &client);
    RECT window;
    GetWindowRect(top, &window);
    const int cx = client.x - window.left, cy = client.y - window.top;
    EXPECT_EQ(GetPixel(hdc, cx + 5, cy + 5), kFace);
    EXPECT_EQ(GetPixel(hdc, cx + 140, cy + 60), GetSysColor(COLOR_BTNHIGHLIGHT));  // the button's left edge
    EXPECT_EQ(GetPixel(hdc, cx + 214, cy + 60), GetSysColor(COLOR_3DDKSHADOW));   // its right edge
    EXPECT_EQ(GetPixel(hdc, 0, 0), RGB(112, 112, 112));                           // the frame's line
    EXPECT_EQ(GetPixel(hdc, 3, 3), RGB(255, 255, 255));                           // the flat frame
    ReleaseDC(top, hdc);
    std::filesystem::remove(path);
    SetLastError(0);
    EXPECT_FALSE(w32::SaveWindowPng(reinterpret_cast<HWND>(0x1234), path.u16string()));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_WINDOW_HANDLE));
}

TEST_F(Capture, PrintWindowDrawsFrameClientAndChildrenIntoADC) {
    RECT window;
    GetWindowRect(top, &window);
    const int width = window.right - window.left, height = window.bottom - window.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(memory, bitmap);
    RECT all{0, 0, width, height};
    FillRect(memory, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    UpdateWindow(top);
    ClearLog();
    ASSERT_TRUE(PrintWindow(top, memory, 0));
    EXPECT_EQ(Sequence({{top, "top"}, {button, "button"}}),
              (std::vector<std::string>{"top:WM_PRINT", "top:WM_ERASEBKGND", "top:WM_PRINTCLIENT",
                                        "button:WM_PRINT", "button:WM_ERASEBKGND", "button:WM_PRINTCLIENT"}));
    POINT client{0, 0};
    ClientToScreen(top, &client);
    const int cx = client.x - window.left, cy = client.y - window.top;
    EXPECT_EQ(GetPixel(memory, 0, 0), RGB(112, 112, 112));
    EXPECT_EQ(GetPixel(memory, cx + 5, cy + 5), kFace);
    EXPECT_EQ(GetPixel(memory, cx + 214, cy + 60), GetSysColor(COLOR_3DDKSHADOW));
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
}

}  // namespace
}  // namespace tam::test
