// Combo boxes with an edit (CBS_DROPDOWN and CBS_SIMPLE): the edit holds
// the text, CBN_EDITUPDATE and CBN_EDITCHANGE come only from typing, and
// the combo box counts as focused while its edit has the focus.
#include "win32/user32/listcombo_fixture.h"

namespace tam::test {
namespace {

using Codes_ = std::vector<int>;

class ComboEdit : public ControlTest {
protected:
    void SetUp() override {
        ControlTest::SetUp();
        WNDCLASSEXW edit{};
        edit.cbSize = sizeof(edit);
        if (!GetClassInfoExW(nullptr, u"Edit", &edit)) GTEST_SKIP() << "no Edit class to make the field of";
    }
    HWND MakeCombo(DWORD style, std::initializer_list<const char16_t*> items = {}) {
        HWND combo = MakeControl(u"ComboBox", style, RECT{20, 20, 220, 170}, 200);
        EXPECT_NE(combo, nullptr);
        AddStrings(combo, CB_ADDSTRING, items);
        ClearLog();
        return combo;
    }
    static HWND EditOf(HWND combo) {
        COMBOBOXINFO info{};
        info.cbSize = sizeof(info);
        EXPECT_TRUE(GetComboBoxInfo(combo, &info));
        return info.hwndItem;
    }
    static HWND ListOf(HWND combo) {
        COMBOBOXINFO info{};
        info.cbSize = sizeof(info);
        EXPECT_TRUE(GetComboBoxInfo(combo, &info));
        return info.hwndList;
    }
    static void Type(HWND edit, const char16_t* text) {
        for (; *text; ++text) SendMessageW(edit, WM_CHAR, *text, 1);
    }
};

TEST_F(ComboEdit, DropDownKeepsItsTextInAnEditWithTheId1001) {
    HWND combo = MakeCombo(CBS_DROPDOWN | CBS_AUTOHSCROLL, {u"Letter", u"A4"});
    HWND edit = EditOf(combo);
    ASSERT_NE(edit, combo);
    EXPECT_EQ(GetDlgItem(combo, 1001), edit);
    WCHAR name[16] = {};
    GetClassNameW(edit, name, 16);
    EXPECT_EQ(std::u16string(name), u"Edit");
    EXPECT_TRUE(GetWindowLongW(edit, GWL_STYLE) & ES_AUTOHSCROLL);
    // Text set by the program reaches the edit and is not a person's edit.
    EXPECT_EQ(SendMessageW(combo, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(u"Custom 1")), TRUE);
    EXPECT_EQ(WindowText(edit), u"Custom 1");
    EXPECT_EQ(WindowText(combo), u"Custom 1");
    EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), CB_ERR);  // text no item has
    EXPECT_EQ(SendMessageW(combo, CB_SETCURSEL, 1, 0), 1);
    EXPECT_EQ(WindowText(combo), u"A4");
    EXPECT_EQ(SendMessageW(combo, CB_SETCURSEL, WPARAM(-1), 0), CB_ERR);
    EXPECT_EQ(WindowText(combo), u"");
    EXPECT_TRUE(Codes(combo).empty());
}

TEST_F(ComboEdit, TypingSendsEditUpdateThenEditChangeForEveryCharacter) {
    HWND combo = MakeCombo(CBS_DROPDOWN, {u"Letter"});
    HWND edit = EditOf(combo);
    Type(edit, u"A5");
    EXPECT_EQ(WindowText(combo), u"A5");
    EXPECT_EQ(Codes(combo), (Codes_{CBN_EDITUPDATE, CBN_EDITCHANGE, CBN_EDITUPDATE, CBN_EDITCHANGE}));
    ClearLog();
    SendMessageW(combo, CB_RESETCONTENT, 0, 0);  // empties the edit too, without a word
    EXPECT_EQ(WindowText(combo), u"");
    EXPECT_TRUE(Codes(combo).empty());
}

TEST_F(ComboEdit, LimitTextLimitsWhatAPersonTypesOnly) {
    HWND combo = MakeCombo(CBS_DROPDOWN);
    HWND edit = EditOf(combo);
    EXPECT_EQ(SendMessageW(combo, CB_LIMITTEXT, 4, 0), TRUE);
    Type(edit, u"ABCDEF");
    EXPECT_EQ(WindowText(combo), u"ABCD");
    SendMessageW(combo, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(u"Longer than four"));
    EXPECT_EQ(WindowText(combo), u"Longer than four");
}

struct EditSelectionCase {
    const char* what;
    SHORT start;
    SHORT end;
    DWORD start2;  // the selection CB_GETEDITSEL answers after
    DWORD end2;
};
// The text is "Letter" (6 characters).
const EditSelectionCase kSelections[] = {
    {"a range", 1, 3, 1, 3},
    {"to the end", 2, -1, 2, 6},
    {"all", 0, -1, 0, 6},
    {"past the end", 4, 40, 4, 6},
};
std::ostream& operator<<(std::ostream& out, const EditSelectionCase& c) { return out << c.what; }
class ComboEditSelection : public ComboEdit, public testing::WithParamInterface<EditSelectionCase> {};

TEST_P(ComboEditSelection, SetEditSelSelectsInTheEdit) {
    HWND combo = MakeCombo(CBS_DROPDOWN, {u"Letter"});
    SendMessageW(combo, CB_SETCURSEL, 0, 0);
    const EditSelectionCase& c = GetParam();
    EXPECT_EQ(SendMessageW(combo, CB_SETEDITSEL, 0, MAKELPARAM(c.start, c.end)), TRUE);
    DWORD start = 99, end = 99;
    LRESULT both = SendMessageW(combo, CB_GETEDITSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, c.start2);
    EXPECT_EQ(end, c.end2);
    EXPECT_EQ(both, MAKELRESULT(c.start2, c.end2));
}
INSTANTIATE_TEST_SUITE_P(All, ComboEditSelection, testing::ValuesIn(kSelections));

TEST_F(ComboEdit, TheComboBoxIsFocusedWhileItsEditIs) {
    HWND combo = MakeCombo(CBS_DROPDOWN, {u"Letter"});
    HWND other = MakeControl(u"ListBox", 0, RECT{250, 10, 350, 100}, 300);
    SetFocus(combo);
    EXPECT_EQ(GetFocus(), EditOf(combo));
    EXPECT_EQ(Codes(combo), (Codes_{CBN_SETFOCUS}));
    SetFocus(combo);  // already inside: nothing more
    SetFocus(EditOf(combo));
    EXPECT_EQ(Codes(combo), (Codes_{CBN_SETFOCUS}));
    SetFocus(other);
    EXPECT_EQ(Codes(combo), (Codes_{CBN_SETFOCUS, CBN_KILLFOCUS}));
}

TEST_F(ComboEdit, AChoiceInTheDroppedListFillsTheEditWithoutAnEditChange) {
    HWND combo = MakeCombo(CBS_DROPDOWN, {u"Letter", u"A4", u"Legal"});
    HWND edit = EditOf(combo);
    SendMessageW(combo, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(u"a4"));
    EXPECT_TRUE(SendMessageW(combo, CB_SHOWDROPDOWN, TRUE, 0));
    EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), 1);  // the list opens on the edit's text
    HWND list = ListOf(combo);
    Click(list, ItemCenter(list, 2));
    EXPECT_EQ(WindowText(edit), u"Legal");
    DWORD start = 9, end = 9;
    SendMessageW(combo, CB_GETEDITSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 0u);  // the chosen text is selected whole
    EXPECT_EQ(end, 5u);
    EXPECT_EQ(Codes(combo), (Codes_{CBN_DROPDOWN, CBN_SELENDOK, CBN_CLOSEUP, CBN_SELCHANGE}));
    // Arrows in the edit move the selection.
    ClearLog();
    Key(edit, VK_UP);
    EXPECT_EQ(WindowText(edit), u"A4");
    EXPECT_EQ(Codes(combo), (Codes_{CBN_SELCHANGE}));
}

TEST_F(ComboEdit, SimpleComboShowsItsListAndAClickSelectsWithSelEndOkFirst) {
    HWND combo = MakeCombo(CBS_SIMPLE, {u"Letter", u"A4", u"Legal"});
    HWND list = ListOf(combo);
    EXPECT_EQ(GetParent(list), combo);
    EXPECT_TRUE(IsWindowVisible(list));
    EXPECT_EQ(SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0), FALSE);
    EXPECT_EQ(SendMessageW(combo, CB_SETEXTENDEDUI, TRUE, 0), CB_ERR);
    Click(list, ItemCenter(list, 1));
    EXPECT_EQ(WindowText(combo), u"A4");
    EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), 1);
    SendMessageW(list, WM_LBUTTONDBLCLK, MK_LBUTTON, At(ItemCenter(list, 1)));
    EXPECT_EQ(Codes(combo), (Codes_{CBN_SETFOCUS, CBN_SELENDOK, CBN_SELCHANGE, CBN_DBLCLK}));
    ClearLog();
    Key(EditOf(combo), VK_DOWN);
    EXPECT_EQ(WindowText(combo), u"Legal");
    EXPECT_EQ(Codes(combo), (Codes_{CBN_SELENDOK, CBN_SELCHANGE}));
}

}  // namespace
}  // namespace tam::test
