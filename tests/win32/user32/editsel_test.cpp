// The edit control's selection: EM_SETSEL's rules, EM_GETSEL's two forms,
// where the caret goes, and selecting with the mouse.
#include "win32/user32/edit_fixture.h"

namespace tam::test {
namespace {

// On "abcdef" with 1..3 selected first.
struct SetSelCase {
    const char* name;
    WPARAM start;
    LPARAM end;
    DWORD selStart, selEnd;
    DWORD caret;  // the end the caret is at
};
const SetSelCase kSetSel[] = {
    {"All", 0, -1, 0, 6, 6},
    {"PastTheEndToTheEnd", 999, -1, 6, 6, 6},
    {"MinusOneDeselects", WPARAM(-1), 0, 3, 3, 3},
    {"BackwardsKeepsTheCaretAtTheEndGiven", 5, 2, 2, 5, 2},
    {"EndClampedToTheText", 2, 999, 2, 6, 6},
    {"Empty", 4, 4, 4, 4, 4},
    {"Forwards", 1, 4, 1, 4, 4},
};
class EditSetSel : public EditTest, public testing::WithParamInterface<SetSelCase> {};

TEST_P(EditSetSel, SelectsAsWindowsDoes) {
    const auto& c = GetParam();
    HWND edit = MakeEdit(0, u"abcdef");
    SendMessageW(edit, EM_SETSEL, 1, 3);
    ClearLog();
    EXPECT_EQ(SendMessageW(edit, EM_SETSEL, c.start, c.end), 0);
    EXPECT_EQ(Selection(edit), std::make_pair(c.selStart, c.selEnd));
    EXPECT_EQ(Notifications(edit), std::vector<std::string>{});
    // Typing goes where the selection is; the caret end shows where a
    // shift-click would extend from: the other end stays anchored.
    SetFocus(edit);
    POINT caret{};
    ASSERT_TRUE(GetCaretPos(&caret));
    EXPECT_EQ(caret.x, SHORT(LOWORD(SendMessageW(edit, EM_POSFROMCHAR, c.caret, 0))));
}
INSTANTIATE_TEST_SUITE_P(All, EditSetSel, testing::ValuesIn(kSetSel),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(EditTest, GetSelAnswersMinusOneWhenAnEndDoesNotFitAWord) {
    HWND edit = MakeEdit(ES_AUTOHSCROLL);
    SendMessageW(edit, EM_LIMITTEXT, 0, 0);
    std::u16string text(70000, u'a');
    SetWindowTextW(edit, text.c_str());
    SendMessageW(edit, EM_SETSEL, 10, 69000);
    DWORD start = 0, end = 0;
    EXPECT_EQ(SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end)), -1);
    EXPECT_EQ(start, 10u);
    EXPECT_EQ(end, 69000u);
    // Null pointers are allowed.
    SendMessageW(edit, EM_SETSEL, 3, 5);
    EXPECT_EQ(SendMessageW(edit, EM_GETSEL, 0, 0), MAKELRESULT(3, 5));
}

TEST_F(EditTest, SetSelDoesNotSplitALineBreak) {
    HWND edit = MakeEdit(ES_MULTILINE, u"ab\r\ncd");
    SendMessageW(edit, EM_SETSEL, 3, 3);
    EXPECT_EQ(Selection(edit), std::make_pair(DWORD(2), DWORD(2)));
}

TEST_F(EditTest, ClickPutsTheCaretAtTheNearestBoundaryAndTakesTheFocus) {
    HWND edit = MakeEdit(0, u"WWWWWW");
    ClearLog();
    LRESULT at3 = SendMessageW(edit, EM_POSFROMCHAR, 3, 0);
    LRESULT at4 = SendMessageW(edit, EM_POSFROMCHAR, 4, 0);
    int x3 = SHORT(LOWORD(at3)), x4 = SHORT(LOWORD(at4));
    ASSERT_LT(x3 + 1, x4 - 1);
    // Just right of boundary 3 and just left of boundary 4.
    SendMessageW(edit, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x3 + 1, 5));
    EXPECT_EQ(GetFocus(), edit);
    EXPECT_EQ(GetCapture(), edit);
    EXPECT_EQ(Selection(edit), std::make_pair(DWORD(3), DWORD(3)));
    SendMessageW(edit, WM_LBUTTONUP, 0, MAKELPARAM(x3 + 1, 5));
    EXPECT_EQ(GetCapture(), nullptr);
    SendMessageW(edit, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x4 - 1, 5));
    SendMessageW(edit, WM_LBUTTONUP, 0, MAKELPARAM(x4 - 1, 5));
    EXPECT_EQ(Selection(edit), std::make_pair(DWORD(4), DWORD(4)));
    EXPECT_EQ(Notifications(edit), std::vector<std::string>{"EN_SETFOCUS"});
}

TEST_F(EditTest, DraggingAndShiftClickSelectFromTheAnchor) {
    HWND edit = MakeEdit(0, u"hello world");
    auto x = [&](int index) { return SHORT(LOWORD(SendMessageW(edit, EM_POSFROMCHAR, index, 0))); };
    SendMessageW(edit, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x(8), 5));
    SendMessageW(edit, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x(2), 5));
    SendMessageW(edit, WM_LBUTTONUP, 0, MAKELPARAM(x(2), 5));
    EXPECT_EQ(Selection(edit), std::make_pair(DWORD(2), DWORD(8)));
    // Moving without the button held selects nothing more.
    SendMessageW(edit, WM_MOUSEMOVE, 0, MAKELPARAM(x(0), 5));
    EXPECT_EQ(Selection(edit), std::make_pair(DWORD(2), DWORD(8)));
    // The anchor stays at 8: a shift-click at 10 selects 8..10.
    SendMessageW(edit, WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, MAKELPARAM(x(10), 5));
    SendMessageW(edit, WM_LBUTTONUP, MK_SHIFT, MAKELPARAM(x(10), 5));
    EXPECT_EQ(Selection(edit), std::make_pair(DWORD(8), DWORD(10)));
}

TEST_F(EditTest, DoubleClickSelectsAWord) {
    HWND edit = MakeEdit(0, u"one two  three");
    auto x = [&](int index) { return SHORT(LOWORD(SendMessageW(edit, EM_POSFROMCHAR, index, 0))); };
    SendMessageW(edit, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x(5) + 1, 5));
    SendMessageW(edit, WM_LBUTTONUP, 0, MAKELPARAM(x(5) + 1, 5));
    SendMessageW(edit, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(x(5) + 1, 5));
    SendMessageW(edit, WM_LBUTTONUP, 0, MAKELPARAM(x(5) + 1, 5));
    EXPECT_EQ(Selection(edit), std::make_pair(DWORD(4), DWORD(7)));
}

TEST_F(EditTest, CtrlASelectsAll) {
    HWND edit = MakeEdit(0, u"abc");
    ClearLog();
    SendMessageW(edit, WM_CHAR, 1, 1);
    EXPECT_EQ(Selection(edit), std::make_pair(DWORD(0), DWORD(3)));
    EXPECT_EQ(Text(edit), u"abc");
    EXPECT_EQ(Notifications(edit), std::vector<std::string>{});
}

}  // namespace
}  // namespace tam::test
