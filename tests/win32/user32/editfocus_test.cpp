// An edit control gaining and losing the focus: EN_SETFOCUS, EN_KILLFOCUS
// while GetFocus already answers the new window, and the caret.
#include "win32/user32/edit_fixture.h"

namespace tam::test {
namespace {

TEST_F(EditTest, KillFocusIsSentWhileGetFocusAnswersTheNewWindow) {
    HWND edit = MakeEdit(0, u"abc");
    HWND cancel = Make(WS_CHILD | WS_VISIBLE, parent_, IDCANCEL);
    SetFocus(edit);
    HWND focusDuringKill = reinterpret_cast<HWND>(1);
    TheHook() = [&](HWND hwnd, UINT message, WPARAM wParam, LPARAM) -> std::optional<LRESULT> {
        if (hwnd == parent_ && message == WM_COMMAND && HIWORD(wParam) == EN_KILLFOCUS) focusDuringKill = GetFocus();
        return std::nullopt;
    };
    ClearLog();
    SetFocus(cancel);
    EXPECT_EQ(focusDuringKill, cancel);
    EXPECT_EQ(Notifications(edit), std::vector<std::string>{"EN_KILLFOCUS"});
}

TEST_F(EditTest, FocusShowsTheCaretAtTheCaretPositionAndLosingItRemovesIt) {
    HWND edit = MakeEdit(0, u"abcdef");
    SendMessageW(edit, EM_SETSEL, 4, 4);
    ClearLog();
    SetFocus(edit);
    EXPECT_EQ(Notifications(edit), std::vector<std::string>{"EN_SETFOCUS"});
    POINT caret{};
    ASSERT_TRUE(GetCaretPos(&caret));
    LRESULT pos = SendMessageW(edit, EM_POSFROMCHAR, 4, 0);
    EXPECT_EQ(caret.x, SHORT(LOWORD(pos)));
    EXPECT_EQ(caret.y, SHORT(HIWORD(pos)));
    // Typing moves it.
    SendMessageW(edit, WM_CHAR, u'x', 1);
    ASSERT_TRUE(GetCaretPos(&caret));
    EXPECT_EQ(caret.x, SHORT(LOWORD(SendMessageW(edit, EM_POSFROMCHAR, 5, 0))));
    SetFocus(parent_);
    SetLastError(0);
    EXPECT_FALSE(GetCaretPos(&caret));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ACCESS_DENIED));
}

// The focus leaving and coming back keeps the selection.
TEST_F(EditTest, FocusDoesNotChangeTheSelection) {
    HWND edit = MakeEdit(0, u"abcdef");
    SendMessageW(edit, EM_SETSEL, 1, 3);
    SetFocus(edit);
    SetFocus(parent_);
    EXPECT_EQ(Selection(edit), std::make_pair(DWORD(1), DWORD(3)));
}

}  // namespace
}  // namespace tam::test
