// The window tree: z-order among siblings, parents and owners, searches.
#include "win32/user32/window_fixture.h"

namespace tam::test {
namespace {

// P (a popup) with children A, B, C made in that order, A with a child A1;
// O a popup owned by P; M a message-only window.
class Tree : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        p = Make(WS_POPUP, nullptr, 0, u"Panel Window");
        a = Make(WS_CHILD, p, 10, u"A");
        a1 = Make(WS_CHILD, a, 11, u"A1");
        b = Make(WS_CHILD, p, 20, u"B");
        c = Make(WS_CHILD, p, 30, u"C");
        o = Make(WS_POPUP, a1, 0, u"Owned");  // the owner is the top-level window above A1
        m = Make(WS_POPUP, HWND_MESSAGE, 0, u"Hidden");
        ASSERT_TRUE(p && a && a1 && b && c && o && m);
    }
    HWND p, a, a1, b, c, o, m;
};

TEST_F(Tree, ChildrenKeepTheOrderTheyWereMadeIn) {
    struct Step {
        HWND from;
        UINT command;
        HWND expected;
    };
    const Step steps[] = {
        {p, GW_CHILD, a},       {a, GW_HWNDNEXT, b},     {b, GW_HWNDNEXT, c},       {c, GW_HWNDNEXT, nullptr},
        {c, GW_HWNDPREV, b},    {b, GW_HWNDFIRST, a},    {a, GW_HWNDLAST, c},       {a, GW_CHILD, a1},
        {a1, GW_CHILD, nullptr}, {o, GW_OWNER, p},       {a, GW_OWNER, nullptr},
    };
    for (const Step& s : steps) {
        EXPECT_EQ(GetWindow(s.from, s.command), s.expected) << "command " << s.command;
    }
    // Top-level windows go on top: the newest first.
    EXPECT_EQ(GetTopWindow(nullptr), o);
    EXPECT_EQ(GetWindow(o, GW_HWNDNEXT), p);
}

TEST_F(Tree, ParentsOwnersAndAncestors) {
    EXPECT_EQ(GetParent(a1), a);
    EXPECT_EQ(GetParent(a), p);
    EXPECT_EQ(GetParent(p), nullptr);
    EXPECT_EQ(GetParent(o), p);  // a popup's parent is its owner
    EXPECT_EQ(GetAncestor(a1, GA_PARENT), a);
    EXPECT_EQ(GetAncestor(p, GA_PARENT), GetDesktopWindow());
    EXPECT_EQ(GetAncestor(a1, GA_ROOT), p);
    EXPECT_EQ(GetAncestor(o, GA_ROOT), o);
    EXPECT_EQ(GetAncestor(o, GA_ROOTOWNER), p);
    EXPECT_EQ(GetAncestor(GetDesktopWindow(), GA_PARENT), nullptr);
    EXPECT_TRUE(IsChild(p, a1));
    EXPECT_TRUE(IsChild(a, a1));
    EXPECT_FALSE(IsChild(a1, p));
    EXPECT_FALSE(IsChild(p, o));  // owned, not a child
    EXPECT_FALSE(IsChild(b, a1));
    EXPECT_EQ(GetWindowLongPtrW(a1, GWLP_HWNDPARENT), reinterpret_cast<LONG_PTR>(a));
    EXPECT_EQ(GetWindowLongPtrW(o, GWLP_HWNDPARENT), reinterpret_cast<LONG_PTR>(p));
}

TEST_F(Tree, DialogItemsById) {
    EXPECT_EQ(GetDlgItem(p, 20), b);
    EXPECT_EQ(GetDlgCtrlID(c), 30);
    EXPECT_EQ(GetDlgItem(p, 11), nullptr);  // a grandchild is not an item
    SetLastError(0);
    EXPECT_EQ(GetDlgItem(p, 99), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_CONTROL_ID_NOT_FOUND));
}

std::vector<HWND>* gSeen = nullptr;
HWND gStopAt = nullptr;
BOOL CALLBACK Collect(HWND hwnd, LPARAM tag) {
    EXPECT_EQ(tag, 77);
    gSeen->push_back(hwnd);
    return hwnd != gStopAt;
}

TEST_F(Tree, EnumerationsListWindowsInTreeOrder) {
    std::vector<HWND> seen;
    gSeen = &seen;
    EXPECT_TRUE(EnumChildWindows(p, Collect, 77));
    EXPECT_EQ(seen, (std::vector<HWND>{a, a1, b, c}));
    seen.clear();
    gStopAt = a1;
    EXPECT_FALSE(EnumChildWindows(p, Collect, 77));
    EXPECT_EQ(seen, (std::vector<HWND>{a, a1}));
    seen.clear();
    gStopAt = nullptr;
    EXPECT_TRUE(EnumWindows(Collect, 77));
    EXPECT_EQ(seen, (std::vector<HWND>{o, p, GetActiveWindow()}));  // message-only windows are not listed
    seen.clear();
    EXPECT_TRUE(EnumThreadWindows(GetCurrentThreadId(), Collect, 77));
    EXPECT_EQ(seen.size(), 3u);
    gSeen = nullptr;
}

TEST_F(Tree, FindWindowByClassAndTitle) {
    EXPECT_EQ(FindWindowW(kClass, u"panel window"), p);  // titles compare without regard to case
    EXPECT_EQ(FindWindowW(nullptr, u"Owned"), o);
    EXPECT_EQ(FindWindowW(kClass, u"Hidden"), nullptr);
    EXPECT_EQ(FindWindowExW(HWND_MESSAGE, nullptr, nullptr, u"Hidden"), m);
    EXPECT_EQ(FindWindowExW(p, nullptr, kClass, nullptr), a);
    EXPECT_EQ(FindWindowExW(p, a, kClass, nullptr), b);
    EXPECT_EQ(FindWindowExW(p, nullptr, nullptr, u"C"), c);
    EXPECT_EQ(FindWindowW(u"KorvanDocumentWindow", nullptr), GetActiveWindow());
    SetLastError(0);
    EXPECT_EQ(FindWindowW(u"NeverRegistered", nullptr), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_CANNOT_FIND_WND_CLASS));
}

TEST_F(Tree, SetParentMovesAWindowUnderAnother) {
    EXPECT_EQ(SetParent(c, a), p);
    EXPECT_EQ(GetParent(c), a);
    EXPECT_EQ(GetWindow(a, GW_CHILD), c);  // on top of its new siblings
    EXPECT_EQ(GetWindow(b, GW_HWNDNEXT), nullptr);
    SetLastError(0);
    EXPECT_EQ(SetParent(p, a1), nullptr);  // not under its own descendant
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    // Destroying the new parent takes the moved window along.
    ASSERT_TRUE(DestroyWindow(a));
    EXPECT_FALSE(IsWindow(c));
    EXPECT_EQ(GetWindow(p, GW_CHILD), b);
}

TEST_F(Tree, SetWindowPosChangesTheZOrder) {
    ASSERT_TRUE(SetWindowPos(a, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE));
    EXPECT_EQ(GetWindow(p, GW_CHILD), b);
    EXPECT_EQ(GetWindow(p, GW_CHILD) ? GetWindow(b, GW_HWNDNEXT) : nullptr, c);
    EXPECT_EQ(GetWindow(c, GW_HWNDNEXT), a);
    ASSERT_TRUE(SetWindowPos(a, b, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE));
    EXPECT_EQ(GetWindow(b, GW_HWNDNEXT), a);
    ASSERT_TRUE(SetWindowPos(c, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE));
    EXPECT_EQ(GetWindow(p, GW_CHILD), c);
}

}  // namespace
}  // namespace tam::test
