// Rectangles, coordinates, SetWindowPos and ShowWindow.
#include "win32/user32/window_fixture.h"

namespace tam::test {
namespace {

using Messages = std::vector<std::string>;

struct AdjustCase {
    const char* name;
    DWORD style;
    DWORD exStyle;
    BOOL menu;
    RECT expected;  // the adjusted rectangle of a client area at 0, 0, 100, 50
};

void PrintTo(const AdjustCase& c, std::ostream* os) { *os << c.name; }

// The frames of a 96-dpi Windows 10 desktop.
const AdjustCase kAdjust[] = {
    {"Overlapped", WS_OVERLAPPEDWINDOW, 0, FALSE, {-8, -31, 108, 58}},
    {"OverlappedWithMenu", WS_OVERLAPPEDWINDOW, 0, TRUE, {-8, -51, 108, 58}},
    {"ModalDialog", WS_POPUP | WS_CAPTION | WS_SYSMENU, WS_EX_DLGMODALFRAME, FALSE, {-3, -26, 103, 53}},
    {"PopupWithoutFrame", WS_POPUP, 0, FALSE, {0, 0, 100, 50}},
    {"BorderedChild", WS_CHILD | WS_BORDER, 0, FALSE, {-1, -1, 101, 51}},
    {"ClientEdge", WS_CHILD, WS_EX_CLIENTEDGE, FALSE, {-2, -2, 102, 52}},
    {"StaticEdge", WS_CHILD, WS_EX_STATICEDGE, FALSE, {-1, -1, 101, 51}},
    {"ToolWindow", WS_POPUP | WS_CAPTION | WS_THICKFRAME, WS_EX_TOOLWINDOW, FALSE, {-8, -31, 108, 58}},
};

class AdjustWindow : public testing::TestWithParam<AdjustCase> {};

TEST_P(AdjustWindow, AddsTheFrame) {
    RECT rect{0, 0, 100, 50};
    ASSERT_TRUE(AdjustWindowRectEx(&rect, GetParam().style, GetParam().menu, GetParam().exStyle));
    const RECT& e = GetParam().expected;
    EXPECT_EQ(std::vector<LONG>({rect.left, rect.top, rect.right, rect.bottom}),
              std::vector<LONG>({e.left, e.top, e.right, e.bottom}));
}

INSTANTIATE_TEST_SUITE_P(All, AdjustWindow, testing::ValuesIn(kAdjust),
                         [](const auto& info) { return std::string(info.param.name); });

class Geometry : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        // A frameless popup at 100, 50 and a bordered child at 10, 20 in it.
        parent = Make(WS_POPUP, nullptr, 0, u"", 0, RECT{100, 50, 500, 350});
        child = Make(WS_CHILD | WS_BORDER, parent, 1, u"", 0, RECT{10, 20, 60, 50});
        ASSERT_TRUE(parent && child);
        ClearLog();
    }
    HWND parent = nullptr, child = nullptr;
};

TEST_F(Geometry, RectanglesAndCoordinates) {
    RECT r;
    ASSERT_TRUE(GetWindowRect(child, &r));
    EXPECT_EQ(std::vector<LONG>({r.left, r.top, r.right, r.bottom}), std::vector<LONG>({110, 70, 160, 100}));
    ASSERT_TRUE(GetClientRect(child, &r));
    EXPECT_EQ(std::vector<LONG>({r.left, r.top, r.right, r.bottom}), std::vector<LONG>({0, 0, 48, 28}));
    POINT pt{0, 0};
    ASSERT_TRUE(ClientToScreen(child, &pt));
    EXPECT_EQ(std::make_pair(pt.x, pt.y), std::make_pair(LONG(111), LONG(71)));
    ASSERT_TRUE(ScreenToClient(parent, &pt));
    EXPECT_EQ(std::make_pair(pt.x, pt.y), std::make_pair(LONG(11), LONG(21)));
    POINT points[2] = {{0, 0}, {5, 5}};
    EXPECT_EQ(MapWindowPoints(child, parent, points, 2), MAKELONG(11, 21));
    EXPECT_EQ(std::make_pair(points[1].x, points[1].y), std::make_pair(LONG(16), LONG(26)));
    EXPECT_EQ(MapWindowPoints(parent, nullptr, points, 1), MAKELONG(100, 50));  // NULL is the screen
    EXPECT_EQ(std::make_pair(points[0].x, points[0].y), std::make_pair(LONG(111), LONG(71)));
}

// Moving and sizing: WM_NCCALCSIZE only when the size changes, then WM_MOVE
// and WM_SIZE from DefWindowProcW's handling of WM_WINDOWPOSCHANGED.
TEST_F(Geometry, MoveWindowMessages) {
    ASSERT_TRUE(MoveWindow(child, 20, 30, 50, 30, TRUE));  // moved only
    EXPECT_EQ(MessagesOf(child), (Messages{"WM_WINDOWPOSCHANGING", "WM_WINDOWPOSCHANGED", "WM_MOVE"}));
    EXPECT_EQ(First(child, WM_MOVE).lParam, MAKELONG(21, 31));  // the client area's place
    ClearLog();
    ASSERT_TRUE(MoveWindow(child, 20, 30, 80, 40, TRUE));  // sized only
    EXPECT_EQ(MessagesOf(child), (Messages{"WM_WINDOWPOSCHANGING", "WM_NCCALCSIZE", "WM_WINDOWPOSCHANGED", "WM_SIZE"}));
    EXPECT_EQ(First(child, WM_SIZE).lParam, MAKELONG(78, 38));
    auto changed = reinterpret_cast<const WINDOWPOS*>(First(child, WM_WINDOWPOSCHANGED).lParam);
    ASSERT_NE(changed, nullptr);
    ClearLog();
    ASSERT_TRUE(MoveWindow(child, 20, 30, 80, 40, TRUE));  // no change at all
    EXPECT_EQ(MessagesOf(child), (Messages{"WM_WINDOWPOSCHANGING", "WM_WINDOWPOSCHANGED"}));
}

TEST_F(Geometry, WindowPosChangingMayAlterTheChange) {
    TheHook() = [](HWND, UINT message, WPARAM, LPARAM lParam) -> std::optional<LRESULT> {
        if (message == WM_WINDOWPOSCHANGING) reinterpret_cast<WINDOWPOS*>(lParam)->cx = 33;
        return std::nullopt;
    };
    ASSERT_TRUE(SetWindowPos(child, nullptr, 0, 0, 200, 40, SWP_NOMOVE | SWP_NOZORDER));
    RECT r;
    GetWindowRect(child, &r);
    EXPECT_EQ(r.right - r.left, 33);
    EXPECT_EQ(r.bottom - r.top, 40);
}

struct ShowCase {
    const char* name;
    bool visibleBefore;
    int command;
    BOOL answer;  // whether it was visible
    Messages expected;
    bool visibleAfter;
};

void PrintTo(const ShowCase& c, std::ostream* os) { *os << c.name; }

const ShowCase kShow[] = {
    {"ShowHidden", false, SW_SHOW, FALSE, {"WM_SHOWWINDOW", "WM_WINDOWPOSCHANGING", "WM_WINDOWPOSCHANGED"}, true},
    {"ShowVisible", true, SW_SHOW, TRUE, {}, true},
    {"HideVisible", true, SW_HIDE, TRUE, {"WM_SHOWWINDOW", "WM_WINDOWPOSCHANGING", "WM_WINDOWPOSCHANGED"}, false},
    {"HideHidden", false, SW_HIDE, FALSE, {}, false},
    {"ShowNoActivateHidden",
     false,
     SW_SHOWNOACTIVATE,
     FALSE,
     {"WM_SHOWWINDOW", "WM_WINDOWPOSCHANGING", "WM_WINDOWPOSCHANGED"},
     true},
    {"ShowNaVisible", true, SW_SHOWNA, TRUE, {}, true},
    // Other commands place a shown window again without WM_SHOWWINDOW.
    {"ShowNormalVisible", true, SW_SHOWNORMAL, TRUE, {"WM_WINDOWPOSCHANGING", "WM_WINDOWPOSCHANGED"}, true},
};

class ShowWindowCases : public Geometry, public testing::WithParamInterface<ShowCase> {};

// WM_SHOWWINDOW only when the visibility really changes.
TEST_P(ShowWindowCases, SendsOnlyOnARealChange) {
    const ShowCase& c = GetParam();
    ShowWindow(parent, SW_SHOWNA);
    if (c.visibleBefore) ShowWindow(child, SW_SHOWNA);
    ClearLog();
    EXPECT_EQ(ShowWindow(child, c.command), c.answer);
    EXPECT_EQ(MessagesOf(child), c.expected);
    EXPECT_EQ(IsWindowVisible(child) != FALSE, c.visibleAfter);
    if (c.visibleBefore != c.visibleAfter) EXPECT_EQ(First(child, WM_SHOWWINDOW).wParam, WPARAM(c.visibleAfter));
}

INSTANTIATE_TEST_SUITE_P(All, ShowWindowCases, testing::ValuesIn(kShow),
                         [](const auto& info) { return std::string(info.param.name); });

// A visible child of a hidden parent is not visible.
TEST_F(Geometry, VisibilityFollowsTheParents) {
    ShowWindow(child, SW_SHOW);
    EXPECT_FALSE(IsWindowVisible(child));
    EXPECT_TRUE(GetWindowLongW(child, GWL_STYLE) & WS_VISIBLE);
    ShowWindow(parent, SW_SHOWNA);
    EXPECT_TRUE(IsWindowVisible(child));
    EXPECT_EQ(GetActiveWindow(), GetForegroundWindow());  // SW_SHOWNA left the activation alone
    EXPECT_NE(GetActiveWindow(), parent);
}

TEST_F(Geometry, OverlappedWindowClientAreaAndMinMaxInfo) {
    TheHook() = [](HWND, UINT message, WPARAM, LPARAM lParam) -> std::optional<LRESULT> {
        if (message == WM_GETMINMAXINFO) reinterpret_cast<MINMAXINFO*>(lParam)->ptMinTrackSize = POINT{300, 200};
        return std::nullopt;
    };
    HWND hwnd = Make(WS_OVERLAPPEDWINDOW, nullptr, 0, u"", 0, RECT{0, 0, 120, 80});
    ASSERT_NE(hwnd, nullptr);
    RECT window, client;
    GetWindowRect(hwnd, &window);
    GetClientRect(hwnd, &client);
    EXPECT_EQ(window.right - window.left, 300);  // raised to the minimum the procedure asked for
    EXPECT_EQ(window.bottom - window.top, 200);
    EXPECT_EQ(client.right, 300 - 16);
    EXPECT_EQ(client.bottom, 200 - 39);
}

}  // namespace
}  // namespace tam::test
