// Creating and destroying windows: the messages in Windows' order, failed
// creations, windows that destroy themselves inside a message, dead handles
// and a hundred thousand windows.
#include <set>

#include "win32/user32/window_fixture.h"

namespace tam::test {
namespace {

using Messages = std::vector<std::string>;

struct CreateCase {
    const char* name;
    DWORD style;
    DWORD exStyle;
    bool child;  // made as a child of a hidden popup "parent"
    Messages expected;
};

const CreateCase kCreate[] = {
    {"Overlapped",
     WS_OVERLAPPEDWINDOW,
     0,
     false,
     {"w:WM_GETMINMAXINFO", "w:WM_NCCREATE", "w:WM_NCCALCSIZE", "w:WM_CREATE", "w:WM_SIZE", "w:WM_MOVE"}},
    {"Popup", WS_POPUP, 0, false, {"w:WM_NCCREATE", "w:WM_NCCALCSIZE", "w:WM_CREATE", "w:WM_SIZE", "w:WM_MOVE"}},
    {"VisiblePopupIsActivated",
     WS_POPUP | WS_VISIBLE,
     0,
     false,
     {"w:WM_NCCREATE", "w:WM_NCCALCSIZE", "w:WM_CREATE", "w:WM_SIZE", "w:WM_MOVE", "w:WM_SHOWWINDOW",
      "w:WM_WINDOWPOSCHANGING", "w:WM_NCACTIVATE", "w:WM_ACTIVATE", "w:WM_SETFOCUS", "w:WM_WINDOWPOSCHANGED"}},
    {"Child",
     WS_CHILD,
     0,
     true,
     {"w:WM_NCCREATE", "w:WM_NCCALCSIZE", "w:WM_CREATE", "w:WM_SIZE", "w:WM_MOVE", "parent:WM_PARENTNOTIFY"}},
    {"VisibleChild",
     WS_CHILD | WS_VISIBLE,
     0,
     true,
     {"w:WM_NCCREATE", "w:WM_NCCALCSIZE", "w:WM_CREATE", "w:WM_SIZE", "w:WM_MOVE", "parent:WM_PARENTNOTIFY",
      "w:WM_SHOWWINDOW", "w:WM_WINDOWPOSCHANGING", "w:WM_WINDOWPOSCHANGED"}},
    {"ChildWithoutParentNotify",
     WS_CHILD,
     WS_EX_NOPARENTNOTIFY,
     true,
     {"w:WM_NCCREATE", "w:WM_NCCALCSIZE", "w:WM_CREATE", "w:WM_SIZE", "w:WM_MOVE"}},
    {"SizableChild",
     WS_CHILD | WS_THICKFRAME,
     0,
     true,
     {"w:WM_GETMINMAXINFO", "w:WM_NCCREATE", "w:WM_NCCALCSIZE", "w:WM_CREATE", "w:WM_SIZE", "w:WM_MOVE",
      "parent:WM_PARENTNOTIFY"}},
};

void PrintTo(const CreateCase& c, std::ostream* os) { *os << c.name; }

class CreationOrder : public WindowTest, public testing::WithParamInterface<CreateCase> {};

TEST_P(CreationOrder, MessagesInWindowsOrder) {
    const CreateCase& c = GetParam();
    HWND parent = c.child ? Make(WS_POPUP) : nullptr;
    ClearLog();
    HWND hwnd = Make(c.style, parent, c.child ? 7 : 0, u"", c.exStyle);  // a top-level window's id is its menu
    ASSERT_NE(hwnd, nullptr);
    EXPECT_EQ(Sequence({{hwnd, "w"}, {parent, "parent"}}), c.expected);
    if (c.child && !(c.exStyle & WS_EX_NOPARENTNOTIFY)) {
        LoggedMessage notify = First(parent, WM_PARENTNOTIFY);
        EXPECT_EQ(notify.wParam, MAKEWPARAM(WM_CREATE, 7));
        EXPECT_EQ(notify.lParam, reinterpret_cast<LPARAM>(hwnd));
    }
    // WM_CREATE carries the creation parameters; WM_SIZE the client size.
    auto create = reinterpret_cast<const CREATESTRUCTW*>(First(hwnd, WM_CREATE).lParam);
    ASSERT_NE(create, nullptr);
    RECT client;
    ASSERT_TRUE(GetClientRect(hwnd, &client));
    EXPECT_EQ(First(hwnd, WM_SIZE).lParam, MAKELONG(client.right, client.bottom));
}

INSTANTIATE_TEST_SUITE_P(All, CreationOrder, testing::ValuesIn(kCreate),
                         [](const auto& info) { return std::string(info.param.name); });

// P with children A (with its own child A1) and B, made in that order.
class Destruction : public WindowTest {
protected:
    void MakeTree(DWORD parentStyle) {
        p = Make(parentStyle);
        a = Make(WS_CHILD | WS_VISIBLE, p, 1);
        a1 = Make(WS_CHILD | WS_VISIBLE, a, 11);
        b = Make(WS_CHILD | WS_VISIBLE, p, 2);
        ASSERT_TRUE(p && a && a1 && b);
        ClearLog();
    }
    std::map<HWND, std::string> Names() const { return {{p, "P"}, {a, "A"}, {a1, "A1"}, {b, "B"}}; }
    HWND p = nullptr, a = nullptr, a1 = nullptr, b = nullptr;
};

// WM_DESTROY goes parent-first, WM_NCDESTROY children-first and the window last.
TEST_F(Destruction, HiddenParentDestroyMessagesThenNcDestroy) {
    MakeTree(WS_POPUP);
    ASSERT_TRUE(DestroyWindow(p));
    EXPECT_EQ(Sequence(Names()), (Messages{"P:WM_DESTROY", "A:WM_DESTROY", "A1:WM_DESTROY", "B:WM_DESTROY",
                                           "A1:WM_NCDESTROY", "A:WM_NCDESTROY", "B:WM_NCDESTROY", "P:WM_NCDESTROY"}));
    for (HWND w : {p, a, a1, b}) EXPECT_FALSE(IsWindow(w));
}

// A visible child tells its parent, hides with WM_SHOWWINDOW, then goes.
TEST_F(Destruction, VisibleChildNotifiesAndHidesFirst) {
    MakeTree(WS_POPUP);
    ASSERT_TRUE(DestroyWindow(b));
    EXPECT_EQ(Sequence(Names()), (Messages{"P:WM_PARENTNOTIFY", "B:WM_SHOWWINDOW", "B:WM_WINDOWPOSCHANGING",
                                           "B:WM_WINDOWPOSCHANGED", "B:WM_DESTROY", "B:WM_NCDESTROY"}));
    EXPECT_EQ(First(p, WM_PARENTNOTIFY).wParam, MAKEWPARAM(WM_DESTROY, 2));
    EXPECT_EQ(GetWindow(p, GW_CHILD), a);
    EXPECT_EQ(GetWindow(a, GW_HWNDNEXT), nullptr);
}

// A visible active top-level window hides without WM_SHOWWINDOW and hands
// the activation on before WM_DESTROY.
TEST_F(Destruction, ActiveTopLevelWindowDeactivatesBeforeDestroy) {
    MakeTree(WS_POPUP | WS_VISIBLE);
    ASSERT_EQ(GetActiveWindow(), p);
    ASSERT_TRUE(DestroyWindow(p));
    Messages seen = MessagesOf(p);
    EXPECT_EQ(seen, (Messages{"WM_WINDOWPOSCHANGING", "WM_WINDOWPOSCHANGED", "WM_NCACTIVATE", "WM_ACTIVATE",
                              "WM_KILLFOCUS", "WM_DESTROY", "WM_NCDESTROY"}));
    EXPECT_NE(GetActiveWindow(), p);
    EXPECT_EQ(GetFocus(), GetActiveWindow());
}

TEST_F(Destruction, OwnedWindowsGoBeforeTheirOwner) {
    HWND owner = Make(WS_POPUP);
    HWND owned = Make(WS_POPUP, owner);
    ClearLog();
    ASSERT_TRUE(DestroyWindow(owner));
    EXPECT_EQ(Sequence({{owner, "owner"}, {owned, "owned"}}),
              (Messages{"owned:WM_DESTROY", "owned:WM_NCDESTROY", "owner:WM_DESTROY", "owner:WM_NCDESTROY"}));
    EXPECT_FALSE(IsWindow(owned));
}

struct FailCase {
    const char* name;
    UINT message;  // the message the procedure refuses
    LRESULT answer;
    Messages expected;
};

const FailCase kFailures[] = {
    {"NcCreateFalse", WM_NCCREATE, FALSE, {"WM_NCCREATE", "WM_NCDESTROY"}},
    {"CreateMinusOne",
     WM_CREATE,
     -1,
     {"WM_NCCREATE", "WM_NCCALCSIZE", "WM_CREATE", "WM_DESTROY", "WM_NCDESTROY"}},
};

void PrintTo(const FailCase& c, std::ostream* os) { *os << c.name; }

class CreationRefused : public WindowTest, public testing::WithParamInterface<FailCase> {};

TEST_P(CreationRefused, WindowIsGoneAndCallAnswersNull) {
    const FailCase& c = GetParam();
    HWND seen = nullptr;
    TheHook() = [&](HWND hwnd, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
        seen = hwnd;
        if (message == c.message) return c.answer;
        return std::nullopt;
    };
    EXPECT_EQ(Make(WS_POPUP), nullptr);
    ASSERT_NE(seen, nullptr);
    EXPECT_EQ(MessagesOf(seen), c.expected);
    EXPECT_FALSE(IsWindow(seen));
}

INSTANTIATE_TEST_SUITE_P(All, CreationRefused, testing::ValuesIn(kFailures),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(WindowTest, CreationErrors) {
    SetLastError(0);
    EXPECT_EQ(CreateWindowExW(0, u"NoSuchClass", u"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr),
              nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_CANNOT_FIND_WND_CLASS));
    SetLastError(0);
    EXPECT_EQ(Make(WS_CHILD), nullptr);  // a child needs a parent
    EXPECT_EQ(GetLastError(), DWORD(ERROR_TLW_WITH_WSCHILD));
    SetLastError(0);
    EXPECT_EQ(Make(WS_CHILD, reinterpret_cast<HWND>(ULONG_PTR(0x4242))), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_WINDOW_HANDLE));
    EXPECT_TRUE(Logged().empty());
}

// A procedure that destroys its own window inside a message: the message
// returns normally, the window's later messages are not sent, and every
// call on the handle afterwards fails.
TEST_F(WindowTest, ProcedureDestroysItsWindowInsideAMessage) {
    HWND parent = Make(WS_POPUP | WS_VISIBLE);
    HWND hwnd = Make(WS_CHILD | WS_VISIBLE, parent, 3);
    ASSERT_TRUE(SetFocus(hwnd));
    LONG_PTR afterDestroy = 1;
    DWORD errorAfter = 0;
    TheHook() = [&](HWND h, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (h != hwnd || message != WM_USER) return std::nullopt;
        EXPECT_TRUE(DestroyWindow(h));
        SetLastError(0);
        afterDestroy = GetWindowLongPtrW(h, GWLP_ID);
        errorAfter = GetLastError();
        DefWindowProcW(h, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(u"late"));  // no window to keep it
        return 99;
    };
    ClearLog();
    EXPECT_EQ(SendMessageW(hwnd, WM_USER, 0, 0), 99);
    EXPECT_EQ(afterDestroy, 0);
    EXPECT_EQ(errorAfter, DWORD(ERROR_INVALID_WINDOW_HANDLE));
    EXPECT_EQ(MessagesOf(hwnd), (Messages{"WM_USER", "WM_SHOWWINDOW", "WM_WINDOWPOSCHANGING", "WM_WINDOWPOSCHANGED",
                                          "WM_KILLFOCUS", "WM_DESTROY", "WM_NCDESTROY"}));
    EXPECT_EQ(GetFocus(), parent);  // hiding the focus window gave it to the parent
    SetLastError(0);
    EXPECT_EQ(SendMessageW(hwnd, WM_USER, 0, 0), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_WINDOW_HANDLE));
}

// DestroyWindow again from inside WM_DESTROY, and during WM_CREATE.
TEST_F(WindowTest, DestroyingAgainWhileBeingDestroyedDoesNothingMore) {
    HWND hwnd = Make(WS_POPUP);
    TheHook() = [&](HWND h, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (message == WM_DESTROY) EXPECT_TRUE(DestroyWindow(h));
        return std::nullopt;
    };
    ClearLog();
    EXPECT_TRUE(DestroyWindow(hwnd));
    EXPECT_EQ(MessagesOf(hwnd), (Messages{"WM_DESTROY", "WM_NCDESTROY"}));

    TheHook() = [&](HWND h, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (message == WM_CREATE) DestroyWindow(h);
        return std::nullopt;
    };
    EXPECT_EQ(Make(WS_POPUP | WS_VISIBLE), nullptr);
}

TEST_F(WindowTest, OnlyTheOwningThreadDestroysAWindow) {
    HWND hwnd = Make(WS_POPUP);
    DWORD error = 0;
    BOOL result = TRUE;
    HANDLE thread = StartThread([&] {
        SetLastError(0);
        result = DestroyWindow(hwnd);
        error = GetLastError();
        return 0;
    });
    ASSERT_NE(thread, nullptr);
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    EXPECT_FALSE(result);
    EXPECT_EQ(error, DWORD(ERROR_ACCESS_DENIED));
    EXPECT_TRUE(IsWindow(hwnd));
    SetLastError(0);
    EXPECT_FALSE(DestroyWindow(GetDesktopWindow()));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ACCESS_DENIED));
}

// Windows a thread leaves behind are destroyed when it ends, on that thread.
TEST_F(WindowTest, WindowsOfAnEndingThreadAreDestroyed) {
    HWND hwnd = nullptr;
    DWORD workerId = 0, destroyedOn = 0;
    TheHook() = [&](HWND, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (message == WM_DESTROY) destroyedOn = GetCurrentThreadId();
        return std::nullopt;
    };
    HANDLE thread = StartThread([&] {
        workerId = GetCurrentThreadId();
        hwnd = Make(WS_POPUP);
        return 0;
    });
    ASSERT_NE(thread, nullptr);
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    ASSERT_NE(hwnd, nullptr);
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_EQ(destroyedOn, workerId);
}

struct DeadHandleCase {
    const char* name;
    std::function<LONG_PTR(HWND)> call;
};

const DeadHandleCase kDeadHandle[] = {
    {"GetWindowLongPtrW", [](HWND h) { return GetWindowLongPtrW(h, GWLP_USERDATA); }},
    {"SetWindowLongPtrW", [](HWND h) { return SetWindowLongPtrW(h, GWLP_USERDATA, 5); }},
    {"GetClassLongPtrW", [](HWND h) { return LONG_PTR(GetClassLongPtrW(h, GCW_ATOM)); }},
    {"SetWindowTextW", [](HWND h) { return LONG_PTR(SetWindowTextW(h, u"x")); }},
    {"GetWindowTextLengthW", [](HWND h) { return LONG_PTR(GetWindowTextLengthW(h)); }},
    {"SendMessageW", [](HWND h) { return SendMessageW(h, WM_USER, 0, 0); }},
    {"PostMessageW", [](HWND h) { return LONG_PTR(PostMessageW(h, WM_USER, 0, 0)); }},
    {"DestroyWindow", [](HWND h) { return LONG_PTR(DestroyWindow(h)); }},
    {"ShowWindow", [](HWND h) { return LONG_PTR(ShowWindow(h, SW_SHOW)); }},
    {"SetWindowPos", [](HWND h) { return LONG_PTR(SetWindowPos(h, nullptr, 0, 0, 5, 5, SWP_NOZORDER)); }},
    {"GetWindowRect", [](HWND h) { RECT r; return LONG_PTR(GetWindowRect(h, &r)); }},
    {"GetParent", [](HWND h) { return reinterpret_cast<LONG_PTR>(GetParent(h)); }},
    {"GetWindow", [](HWND h) { return reinterpret_cast<LONG_PTR>(GetWindow(h, GW_CHILD)); }},
    {"EnableWindow", [](HWND h) { return LONG_PTR(EnableWindow(h, FALSE)); }},
    {"SetFocus", [](HWND h) { return reinterpret_cast<LONG_PTR>(SetFocus(h)); }},
    {"SetPropW", [](HWND h) { return LONG_PTR(SetPropW(h, u"p", reinterpret_cast<HANDLE>(1))); }},
    {"SetTimer", [](HWND h) { return LONG_PTR(SetTimer(h, 1, 100, nullptr)); }},
    {"GetDlgItem", [](HWND h) { return reinterpret_cast<LONG_PTR>(GetDlgItem(h, 1)); }},
    {"SetParent", [](HWND h) { return reinterpret_cast<LONG_PTR>(SetParent(h, nullptr)); }},
    {"PeekMessageW", [](HWND h) { MSG m; return LONG_PTR(PeekMessageW(&m, h, 0, 0, PM_REMOVE)); }},
    {"GetMessageW", [](HWND h) { MSG m; return LONG_PTR(GetMessageW(&m, h, 0, 0)) + 1; }},  // -1 + 1
};

void PrintTo(const DeadHandleCase& c, std::ostream* os) { *os << c.name; }

class DeadHandle : public WindowTest, public testing::WithParamInterface<DeadHandleCase> {};

TEST_P(DeadHandle, FailsWithInvalidWindowHandle) {
    HWND hwnd = Make(WS_POPUP);
    ASSERT_TRUE(DestroyWindow(hwnd));
    ClearLog();
    SetLastError(0);
    EXPECT_EQ(GetParam().call(hwnd), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_WINDOW_HANDLE));
    EXPECT_FALSE(IsWindow(hwnd));
    EXPECT_TRUE(Logged().empty());
}

INSTANTIATE_TEST_SUITE_P(All, DeadHandle, testing::ValuesIn(kDeadHandle),
                         [](const auto& info) { return std::string(info.param.name); });

// A hundred thousand children under one parent, and as many top-level
// windows destroyed one by one: every handle distinct, every one gone.
TEST_F(WindowTest, HundredThousandWindows) {
    constexpr int kCount = 100000;
    HWND parent = Make(WS_POPUP);
    std::vector<HWND> children;
    children.reserve(kCount);
    for (int i = 0; i < kCount; ++i) {
        HWND child = Make(WS_CHILD, parent, i + 1);
        ASSERT_NE(child, nullptr) << i;
        children.push_back(child);
    }
    EXPECT_EQ(std::set<HWND>(children.begin(), children.end()).size(), size_t(kCount));
    EXPECT_EQ(GetDlgItem(parent, kCount), children.back());
    EXPECT_EQ(GetWindow(parent, GW_CHILD), children.front());
    EXPECT_EQ(GetWindow(children.front(), GW_HWNDLAST), children.back());
    ClearLog();
    ASSERT_TRUE(DestroyWindow(parent));
    EXPECT_EQ(Logged().size(), size_t(2 * (kCount + 1)));  // WM_DESTROY and WM_NCDESTROY each
    EXPECT_FALSE(IsWindow(children[kCount / 2]));

    std::vector<HWND> tops;
    tops.reserve(kCount);
    for (int i = 0; i < kCount; ++i) tops.push_back(Make(WS_POPUP));
    for (HWND top : tops) ASSERT_TRUE(DestroyWindow(top));
    EXPECT_FALSE(IsWindow(tops.front()));
    EXPECT_FALSE(IsWindow(tops.back()));
}

}  // namespace
}  // namespace tam::test
