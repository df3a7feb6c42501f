// Focus, activation, enabling and capture: the messages in Windows' order.
#include "win32/user32/window_fixture.h"

namespace tam::test {
namespace {

using Messages = std::vector<std::string>;

// A visible active popup P with visible children A and B.
class Focus : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        p = Make(WS_POPUP | WS_VISIBLE);
        a = Make(WS_CHILD | WS_VISIBLE, p, 1);
        b = Make(WS_CHILD | WS_VISIBLE, p, 2);
        ASSERT_TRUE(p && a && b);
        ASSERT_EQ(GetActiveWindow(), p);
        ASSERT_EQ(GetFocus(), p);
        ClearLog();
    }
    std::map<HWND, std::string> Names() const { return {{p, "P"}, {a, "A"}, {b, "B"}}; }
    HWND p = nullptr, a = nullptr, b = nullptr;
};

// The focus moves first: during WM_KILLFOCUS GetFocus already answers the
// window gaining it.
TEST_F(Focus, KillFocusThenSetFocus) {
    HWND focusDuringKill = nullptr;
    TheHook() = [&](HWND, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (message == WM_KILLFOCUS) focusDuringKill = GetFocus();
        return std::nullopt;
    };
    EXPECT_EQ(SetFocus(a), p);
    EXPECT_EQ(SetFocus(b), a);
    EXPECT_EQ(Sequence(Names()), (Messages{"P:WM_KILLFOCUS", "A:WM_SETFOCUS", "A:WM_KILLFOCUS", "B:WM_SETFOCUS"}));
    EXPECT_EQ(focusDuringKill, b);
    LoggedMessage kill = Logged()[2];
    EXPECT_EQ(kill.wParam, reinterpret_cast<WPARAM>(b));
    EXPECT_EQ(First(b, WM_SETFOCUS).wParam, reinterpret_cast<WPARAM>(a));
    EXPECT_EQ(GetFocus(), b);
    ClearLog();
    EXPECT_EQ(SetFocus(b), b);  // already there: nothing sent
    EXPECT_TRUE(Logged().empty());
    EXPECT_EQ(SetFocus(nullptr), b);
    EXPECT_EQ(Sequence(Names()), (Messages{"B:WM_KILLFOCUS"}));
    EXPECT_EQ(GetFocus(), nullptr);
}

TEST_F(Focus, DisabledWindowsAndTheirChildrenRefuseTheFocus) {
    EnableWindow(a, FALSE);
    ClearLog();
    EXPECT_EQ(SetFocus(a), nullptr);
    EXPECT_EQ(GetFocus(), p);
    HWND inner = Make(WS_CHILD | WS_VISIBLE, a, 5);
    ClearLog();
    EXPECT_EQ(SetFocus(inner), nullptr);
    EXPECT_TRUE(Logged().empty());
}

// WM_ENABLE only when the state changes; disabling the focus window takes
// the focus away.
TEST_F(Focus, EnableWindowSendsOnlyOnAChange) {
    ASSERT_EQ(SetFocus(a), p);
    ClearLog();
    EXPECT_FALSE(EnableWindow(a, FALSE));  // was enabled
    EXPECT_EQ(Sequence(Names()), (Messages{"A:WM_CANCELMODE", "A:WM_KILLFOCUS", "A:WM_ENABLE"}));
    EXPECT_EQ(First(a, WM_ENABLE).wParam, WPARAM(FALSE));
    EXPECT_FALSE(IsWindowEnabled(a));
    EXPECT_EQ(GetFocus(), nullptr);
    ClearLog();
    EXPECT_TRUE(EnableWindow(a, FALSE));  // was disabled already
    EXPECT_TRUE(Logged().empty());
    EXPECT_TRUE(EnableWindow(a, TRUE));
    EXPECT_EQ(Sequence(Names()), (Messages{"A:WM_ENABLE"}));
    EXPECT_EQ(First(a, WM_ENABLE).wParam, WPARAM(TRUE));
    EXPECT_TRUE(IsWindowEnabled(a));
}

// Activating another top-level window: the old one hears it loses the
// activation, the new one that it gains it, then the focus follows.
TEST_F(Focus, ActivationOrder) {
    HWND q = Make(WS_POPUP);
    ShowWindow(q, SW_SHOWNA);  // shown without taking the activation
    ASSERT_EQ(GetActiveWindow(), p);
    ClearLog();
    EXPECT_EQ(SetActiveWindow(q), p);
    auto names = Names();
    names[q] = "Q";
    EXPECT_EQ(Sequence(names), (Messages{"P:WM_NCACTIVATE", "P:WM_ACTIVATE", "Q:WM_NCACTIVATE", "Q:WM_ACTIVATE",
                                         "P:WM_KILLFOCUS", "Q:WM_SETFOCUS"}));
    EXPECT_EQ(LOWORD(First(p, WM_ACTIVATE).wParam), WA_INACTIVE);
    EXPECT_EQ(First(p, WM_ACTIVATE).lParam, reinterpret_cast<LPARAM>(q));
    EXPECT_EQ(LOWORD(First(q, WM_ACTIVATE).wParam), WA_ACTIVE);
    EXPECT_EQ(First(q, WM_ACTIVATE).lParam, reinterpret_cast<LPARAM>(p));
    EXPECT_EQ(GetActiveWindow(), q);
    EXPECT_EQ(GetForegroundWindow(), q);
    // Focusing a child of P activates P again first (which takes the focus
    // from Q), so the focus it answers is P's.
    ClearLog();
    EXPECT_EQ(SetFocus(a), p);
    EXPECT_EQ(GetActiveWindow(), p);
    EXPECT_EQ(GetFocus(), a);
    Messages seen = Sequence(names);
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.back(), "A:WM_SETFOCUS");
}

TEST_F(Focus, HidingTheFocusWindowGivesTheFocusToItsParent) {
    ASSERT_EQ(SetFocus(b), p);
    ClearLog();
    EXPECT_TRUE(ShowWindow(b, SW_HIDE));
    EXPECT_EQ(Sequence(Names()), (Messages{"B:WM_SHOWWINDOW", "B:WM_WINDOWPOSCHANGING", "B:WM_WINDOWPOSCHANGED",
                                           "B:WM_KILLFOCUS", "P:WM_SETFOCUS"}));
    EXPECT_EQ(GetFocus(), p);
}

TEST_F(Focus, CaptureChangesAreAnnounced) {
    EXPECT_EQ(SetCapture(a), nullptr);
    EXPECT_TRUE(Logged().empty());
    EXPECT_EQ(GetCapture(), a);
    EXPECT_EQ(SetCapture(b), a);
    EXPECT_EQ(Sequence(Names()), (Messages{"A:WM_CAPTURECHANGED"}));
    EXPECT_EQ(First(a, WM_CAPTURECHANGED).lParam, reinterpret_cast<LPARAM>(b));
    ClearLog();
    EXPECT_TRUE(ReleaseCapture());
    EXPECT_EQ(Sequence(Names()), (Messages{"B:WM_CAPTURECHANGED"}));
    EXPECT_EQ(First(b, WM_CAPTURECHANGED).lParam, 0);
    EXPECT_EQ(GetCapture(), nullptr);
    // A destroyed window lets go of the capture.
    SetCapture(a);
    ASSERT_TRUE(DestroyWindow(a));
    EXPECT_EQ(GetCapture(), nullptr);
}

// Another thread has no active window or focus of its own; the foreground
// window is the process's.
TEST_F(Focus, FocusAndActivationBelongToTheThread) {
    HWND active = reinterpret_cast<HWND>(1), focus = reinterpret_cast<HWND>(1), foreground = nullptr, setFocus = nullptr;
    HANDLE thread = StartThread([&] {
        active = GetActiveWindow();
        focus = GetFocus();
        foreground = GetForegroundWindow();
        setFocus = SetFocus(a);  // another thread's window
        return 0;
    });
    ASSERT_NE(thread, nullptr);
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    EXPECT_EQ(active, nullptr);
    EXPECT_EQ(focus, nullptr);
    EXPECT_EQ(foreground, p);
    EXPECT_EQ(setFocus, nullptr);
    EXPECT_EQ(GetFocus(), p);
}

}  // namespace
}  // namespace tam::test
