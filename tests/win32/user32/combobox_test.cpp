// The "ComboBox" control: its parts, the CB_ messages, and the order of the
// notifications a person's clicks and keys send.
#include "win32/user32/listcombo_fixture.h"

namespace tam::test {
namespace {

using Codes_ = std::vector<int>;

class ComboBox : public ControlTest {
protected:
    HWND MakeCombo(DWORD style, std::initializer_list<const char16_t*> items = {}, int height = 150) {
        HWND combo = MakeControl(u"ComboBox", style, RECT{20, 20, 220, 20 + height}, 200);
        EXPECT_NE(combo, nullptr);
        AddStrings(combo, CB_ADDSTRING, items);
        ClearLog();
        return combo;
    }
    static COMBOBOXINFO Info(HWND combo) {
        COMBOBOXINFO info{};
        info.cbSize = sizeof(info);
        EXPECT_TRUE(GetComboBoxInfo(combo, &info));
        return info;
    }
    static POINT FieldCenter(HWND combo) {
        RECT field = Info(combo).rcItem;
        return POINT{(field.left + field.right) / 2, (field.top + field.bottom) / 2};
    }
    // A person opens the list with a click on the field and clicks an item.
    void ChooseByClick(HWND combo, int index) {
        Click(combo, FieldCenter(combo));
        HWND list = Info(combo).hwndList;
        ASSERT_TRUE(SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0));
        Click(list, ItemCenter(list, index));
    }
};

TEST_F(ComboBox, DropDownListIsMadeOfAFieldAndAListOnTheDesktop) {
    HWND combo = MakeCombo(CBS_DROPDOWNLIST, {u"A4", u"Letter"}, 150);
    COMBOBOXINFO info = Info(combo);
    EXPECT_EQ(info.hwndCombo, combo);
    EXPECT_EQ(info.hwndItem, combo);  // no edit
    ASSERT_NE(info.hwndList, nullptr);
    WCHAR name[32] = {};
    GetClassNameW(info.hwndList, name, 32);
    EXPECT_EQ(std::u16string(name), u"ComboLBox");
    EXPECT_EQ(GetAncestor(info.hwndList, GA_PARENT), GetDesktopWindow());
    EXPECT_FALSE(IsWindowVisible(info.hwndList));
    EXPECT_EQ(GetWindow(combo, GW_CHILD), nullptr);
    EXPECT_TRUE(GetWindowLongW(info.hwndList, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    // The window is as tall as its field; the rest of the height is the list's.
    RECT rect{};
    GetWindowRect(combo, &rect);
    int field = int(SendMessageW(combo, CB_GETITEMHEIGHT, WPARAM(-1), 0));
    EXPECT_EQ(rect.bottom - rect.top, field + 6);
    EXPECT_EQ(info.stateButton, 0u);
    EXPECT_EQ(info.rcButton.right - info.rcButton.left, GetSystemMetrics(SM_CXVSCROLL));
    EXPECT_LE(info.rcItem.right, info.rcButton.left);
    RECT dropped{};
    EXPECT_TRUE(SendMessageW(combo, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped)));
    EXPECT_EQ(dropped.left, rect.left);
    EXPECT_EQ(dropped.top, rect.top);
    EXPECT_EQ(dropped.bottom - dropped.top, 150);
    // A wrong size is refused.
    COMBOBOXINFO bad{};
    bad.cbSize = 4;
    SetLastError(0);
    EXPECT_FALSE(GetComboBoxInfo(combo, &bad));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    EXPECT_FALSE(GetComboBoxInfo(reinterpret_cast<HWND>(0x4321), &info));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_WINDOW_HANDLE));
    // The list goes with the combo box.
    DestroyWindow(combo);
    EXPECT_FALSE(IsWindow(info.hwndList));
}

TEST_F(ComboBox, ProgramSelectionSendsNothingAndShowsTheItemInTheField) {
    HWND combo = MakeCombo(CBS_DROPDOWNLIST, {u"A4", u"Letter", u"Legal"});
    EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), CB_ERR);
    EXPECT_EQ(SendMessageW(combo, CB_SETCURSEL, 1, 0), 1);
    EXPECT_EQ(WindowText(combo), u"Letter");
    EXPECT_EQ(SendMessageW(combo, WM_GETTEXTLENGTH, 0, 0), 6);
    EXPECT_EQ(SendMessageW(combo, CB_SELECTSTRING, WPARAM(-1), reinterpret_cast<LPARAM>(u"le")), 1);
    EXPECT_EQ(SendMessageW(combo, CB_SELECTSTRING, 1, reinterpret_cast<LPARAM>(u"le")), 2);
    EXPECT_EQ(SendMessageW(combo, CB_SELECTSTRING, 1, reinterpret_cast<LPARAM>(u"B5")), CB_ERR);
    EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), 2);  // a failed search changes nothing
    // Past the end, or -1: no selection, an empty field and CB_ERR.
    EXPECT_EQ(SendMessageW(combo, CB_SETCURSEL, 3, 0), CB_ERR);
    EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), CB_ERR);
    EXPECT_EQ(WindowText(combo), u"");
    SendMessageW(combo, CB_SETCURSEL, 0, 0);
    EXPECT_EQ(SendMessageW(combo, CB_SETCURSEL, WPARAM(-1), 0), CB_ERR);
    EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), CB_ERR);
    // WM_SETTEXT selects the item that has the text, without case.
    EXPECT_EQ(SendMessageW(combo, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(u"legal")), TRUE);
    EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), 2);
    EXPECT_EQ(SendMessageW(combo, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(u"Tabloid")), CB_ERR);
    EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), 2);
    EXPECT_TRUE(Codes(combo).empty());
}

TEST_F(ComboBox, AClickOnAnItemSendsSelEndOkThenCloseUpThenSelChange) {
    HWND combo = MakeCombo(CBS_DROPDOWNLIST, {u"A4", u"Letter", u"Legal"});
    SendMessageW(combo, CB_SETCURSEL, 0, 0);
    std::u16string fieldAtSelChange;
    BOOL droppedAtSelChange = TRUE;
    TheHook() = [&](HWND, UINT message, WPARAM wParam, LPARAM) -> std::optional<LRESULT> {
        if (message == WM_COMMAND && HIWORD(wParam) == CBN_SELCHANGE) {
            fieldAtSelChange = WindowText(combo);
            droppedAtSelChange = BOOL(SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0));
        }
        return std::nullopt;
    };
    ChooseByClick(combo, 2);
    EXPECT_EQ(Codes(combo), (Codes_{CBN_SETFOCUS, CBN_DROPDOWN, CBN_SELENDOK, CBN_CLOSEUP, CBN_SELCHANGE}));
    EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), 2);
    EXPECT_EQ(fieldAtSelChange, u"Legal");
    EXPECT_FALSE(droppedAtSelChange);
    EXPECT_FALSE(IsWindowVisible(Info(combo).hwndList));
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(GetFocus(), combo);
    // Choosing the selected item again is a choice too.
    ClearLog();
    ChooseByClick(combo, 2);
    EXPECT_EQ(Codes(combo), (Codes_{CBN_DROPDOWN, CBN_SELENDOK, CBN_CLOSEUP, CBN_SELCHANGE}));
}

TEST_F(ComboBox, TheDroppedListShowsBelowTheFieldAtTheDroppedWidth) {
    HWND combo = MakeCombo(CBS_DROPDOWNLIST, {u"A4", u"Letter", u"Legal"});
    EXPECT_EQ(SendMessageW(combo, CB_GETDROPPEDWIDTH, 0, 0), 200);  // the combo box's own width
    EXPECT_EQ(SendMessageW(combo, CB_SETDROPPEDWIDTH, 320, 0), 320);
    EXPECT_EQ(SendMessageW(combo, CB_GETDROPPEDWIDTH, 0, 0), 320);
    EXPECT_EQ(SendMessageW(combo, CB_SETDROPPEDWIDTH, WPARAM(-5), 0), CB_ERR);
    EXPECT_TRUE(SendMessageW(combo, CB_SHOWDROPDOWN, TRUE, 0));
    EXPECT_TRUE(SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0));
    COMBOBOXINFO info = Info(combo);
    EXPECT_EQ(info.stateButton, DWORD(STATE_SYSTEM_PRESSED));
    EXPECT_TRUE(IsWindowVisible(info.hwndList));
    RECT field{}, list{};
    GetWindowRect(combo, &field);
    GetWindowRect(info.hwndList, &list);
    EXPECT_EQ(list.left, field.left);
    EXPECT_EQ(list.top, field.bottom);
    EXPECT_EQ(list.right - list.left, 320);
    EXPECT_EQ(GetCapture(), info.hwndList);
    EXPECT_TRUE(SendMessageW(combo, CB_SHOWDROPDOWN, FALSE, 0));
    EXPECT_FALSE(IsWindowVisible(info.hwndList));
    EXPECT_EQ(Codes(combo), (Codes_{CBN_DROPDOWN, CBN_CLOSEUP}));
    // A width below the combo box's own leaves the list as wide as the box.
    EXPECT_EQ(SendMessageW(combo, CB_SETDROPPEDWIDTH, 50, 0), 200);
}

struct CancelCase {
    const char* how;
    int way;  // 0 Esc, 1 a click outside the list, 2 the focus leaving
};
const CancelCase kCancels[] = {{"Esc", 0}, {"click outside", 1}, {"focus leaves", 2}};
std::ostream& operator<<(std::ostream& out, const CancelCase& c) { return out << c.how; }
class ComboBoxCancel : public ComboBox, public testing::WithParamInterface<CancelCase> {};

TEST_P(ComboBoxCancel, SendsSelEndCancelThenCloseUpAndKeepsTheSelection) {
    HWND combo = MakeCombo(CBS_DROPDOWNLIST, {u"A4", u"Letter", u"Legal"});
    HWND other = MakeControl(u"ListBox", 0, RECT{250, 10, 350, 100}, 300);
    SendMessageW(combo, CB_SETCURSEL, 1, 0);
    SetFocus(combo);
    Click(combo, FieldCenter(combo));
    HWND list = Info(combo).hwndList;
    // The pointer passing over an item highlights it without a word.
    SendMessageW(list, WM_MOUSEMOVE, 0, At(ItemCenter(list, 2)));
    EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), 2);
    ClearLog();
    switch (GetParam().way) {
        case 0: Key(combo, VK_ESCAPE); break;
        case 1: Click(list, POINT{-30, -30}); break;
        case 2: SetFocus(other); break;
    }
    Codes_ expected{CBN_SELENDCANCEL, CBN_CLOSEUP};
    if (GetParam().way == 2) expected.push_back(CBN_KILLFOCUS);
    EXPECT_EQ(Codes(combo), expected) << GetParam().how;
    EXPECT_FALSE(SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0));
    EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(WindowText(combo), u"Letter");
    EXPECT_EQ(GetCapture(), nullptr);
}
INSTANTIATE_TEST_SUITE_P(All, ComboBoxCancel, testing::ValuesIn(kCancels));

TEST_F(ComboBox, KeysMoveTheSelectionOfAClosedListWithSelChangeOnly) {
    HWND combo = MakeCombo(CBS_DROPDOWNLIST, {u"A4", u"Letter", u"Legal", u"B5"});
    Key(combo, VK_DOWN);
    EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), 0);
    Key(combo, VK_DOWN);
    Key(combo, VK_END);
    Key(combo, VK_DOWN);  // at the end: nothing moves, nothing is sent
    Key(combo, VK_HOME);
    EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(Codes(combo), (Codes_{CBN_SELCHANGE, CBN_SELCHANGE, CBN_SELCHANGE, CBN_SELCHANGE}));
    EXPECT_FALSE(SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0));
    // F4 opens, arrows move within the open list, Enter chooses.
    ClearLog();
    Key(combo, VK_F4);
    Key(combo, VK_DOWN);
    Key(combo, VK_RETURN);
    EXPECT_EQ(Codes(combo), (Codes_{CBN_DROPDOWN, CBN_SELCHANGE, CBN_SELENDOK, CBN_CLOSEUP}));
    EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), 1);
    // With the extended interface F4 does nothing and Down opens the list.
    EXPECT_EQ(SendMessageW(combo, CB_SETEXTENDEDUI, TRUE, 0), CB_OKAY);
    EXPECT_TRUE(SendMessageW(combo, CB_GETEXTENDEDUI, 0, 0));
    ClearLog();
    Key(combo, VK_F4);
    EXPECT_FALSE(SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0));
    Key(combo, VK_DOWN);
    EXPECT_TRUE(SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0));
    EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(Codes(combo), (Codes_{CBN_DROPDOWN}));
    // A dropped list asks the dialog for Enter and Esc.
    MSG msg{combo, WM_KEYDOWN, VK_ESCAPE, 0, 0, {}, 0};
    EXPECT_EQ(SendMessageW(combo, WM_GETDLGCODE, VK_ESCAPE, reinterpret_cast<LPARAM>(&msg)),
              DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_WANTMESSAGE);
}

TEST_F(ComboBox, TypingInADropDownListSelectsTheNextItemStartingWithTheLetter) {
    HWND combo = MakeCombo(CBS_DROPDOWNLIST, {u"Tray 1", u"Manual", u"tray 2", u"Auto"});
    SendMessageW(combo, WM_CHAR, u't', 1);
    EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), 0);
    SendMessageW(combo, WM_CHAR, u'T', 1);
    EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), 2);
    EXPECT_EQ(WindowText(combo), u"tray 2");
    SendMessageW(combo, WM_CHAR, u'q', 1);
    EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), 2);
    SendMessageW(combo, WM_CHAR, u'a', 1);
    EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), 3);
    EXPECT_EQ(Codes(combo), (Codes_{CBN_SELCHANGE, CBN_SELCHANGE, CBN_SELCHANGE}));
}

struct FindCase {
    UINT message;
    int start;
    const char16_t* text;
    int expected;
};
// Items: "Letter", "legal", "A4", "LETTER small".
const FindCase kFinds[] = {
    {CB_FINDSTRINGEXACT, -1, u"letter", 0},        {CB_FINDSTRINGEXACT, -1, u"LEGAL", 1},
    {CB_FINDSTRINGEXACT, 0, u"letter", 0},          // goes round back to the start
    {CB_FINDSTRINGEXACT, -1, u"lett", CB_ERR},      {CB_FINDSTRINGEXACT, -1, u"", CB_ERR},
    {CB_FINDSTRING, -1, u"le", 0},                  {CB_FINDSTRING, 0, u"le", 1},
    {CB_FINDSTRING, 1, u"LE", 3},                   {CB_FINDSTRING, 3, u"le", 0},
    {CB_FINDSTRING, -1, u"b5", CB_ERR},             {CB_FINDSTRING, -1, u"", 0},
};
std::ostream& operator<<(std::ostream& out, const FindCase& c) {
    return out << "message " << c.message << " from " << c.start << " for \"" << MessageText(c.text) << "\"";
}
class ComboBoxFind : public ComboBox, public testing::WithParamInterface<FindCase> {};

TEST_P(ComboBoxFind, SearchesTheItemsWithoutCase) {
    HWND combo = MakeCombo(CBS_DROPDOWNLIST, {u"Letter", u"legal", u"A4", u"LETTER small"});
    const FindCase& c = GetParam();
    EXPECT_EQ(SendMessageW(combo, c.message, WPARAM(c.start), reinterpret_cast<LPARAM>(c.text)), c.expected);
}
INSTANTIATE_TEST_SUITE_P(All, ComboBoxFind, testing::ValuesIn(kFinds));

struct ComboBadIndexCase {
    UINT message;
    WPARAM wParam;
};
const ComboBadIndexCase kComboBadIndexes[] = {
    {CB_GETLBTEXT, 2},  {CB_GETLBTEXTLEN, 2},         {CB_GETITEMDATA, 5}, {CB_SETITEMDATA, 2},
    {CB_DELETESTRING, 2}, {CB_DELETESTRING, WPARAM(-1)}, {CB_INSERTSTRING, 3}, {CB_SETITEMHEIGHT, 0},
};
std::ostream& operator<<(std::ostream& out, const ComboBadIndexCase& c) {
    return out << "message " << c.message << " index " << INT_PTR(c.wParam);
}
class ComboBoxBadIndex : public ComboBox, public testing::WithParamInterface<ComboBadIndexCase> {};

TEST_P(ComboBoxBadIndex, AnswersErr) {
    HWND combo = MakeCombo(CBS_DROPDOWNLIST, {u"A4", u"Letter"});
    WCHAR buffer[16] = {u'x'};
    LPARAM lParam = GetParam().message == CB_GETLBTEXT      ? reinterpret_cast<LPARAM>(buffer)
                    : GetParam().message == CB_INSERTSTRING ? reinterpret_cast<LPARAM>(u"B5")
                    : GetParam().message == CB_SETITEMHEIGHT ? 300
                                                             : 7;
    EXPECT_EQ(SendMessageW(combo, GetParam().message, GetParam().wParam, lParam), CB_ERR);
    EXPECT_EQ(SendMessageW(combo, CB_GETCOUNT, 0, 0), 2);
    EXPECT_EQ(buffer[0], u'x');
}
INSTANTIATE_TEST_SUITE_P(All, ComboBoxBadIndex, testing::ValuesIn(kComboBadIndexes));

TEST_F(ComboBox, ItemsKeepTheirDataAndTextThroughTheList) {
    HWND combo = MakeCombo(CBS_DROPDOWNLIST | CBS_SORT, {u"Letter", u"A4"});
    EXPECT_EQ(SendMessageW(combo, CB_INSERTSTRING, 0, reinterpret_cast<LPARAM>(u"Z first")), 0);
    EXPECT_EQ(SendMessageW(combo, CB_SETITEMDATA, 2, 0x4242), TRUE);
    EXPECT_EQ(SendMessageW(combo, CB_GETITEMDATA, 2, 0), 0x4242);
    EXPECT_EQ(ItemText(combo, CB_GETLBTEXTLEN, CB_GETLBTEXT, 1), u"A4");
    EXPECT_EQ(ItemText(combo, CB_GETLBTEXTLEN, CB_GETLBTEXT, 2), u"Letter");
    EXPECT_EQ(SendMessageW(combo, CB_DELETESTRING, 0, 0), 2);
    EXPECT_EQ(SendMessageW(combo, CB_GETITEMDATA, 1, 0), 0x4242);
    SendMessageW(combo, CB_SETCURSEL, 1, 0);
    EXPECT_EQ(SendMessageW(combo, CB_RESETCONTENT, 0, 0), CB_OKAY);
    EXPECT_EQ(SendMessageW(combo, CB_GETCOUNT, 0, 0), 0);
    EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), CB_ERR);
    EXPECT_EQ(WindowText(combo), u"");
    // A drop-down list has no edit to select in or to limit.
    EXPECT_EQ(SendMessageW(combo, CB_SETEDITSEL, 0, MAKELPARAM(0, -1)), CB_ERR);
    EXPECT_EQ(SendMessageW(combo, CB_GETEDITSEL, 0, 0), CB_ERR);
    EXPECT_TRUE(Codes(combo).empty());
}

TEST_F(ComboBox, OwnerDrawnFixedMeasuresTheFieldThenTheItems) {
    std::vector<MEASUREITEMSTRUCT> measured;
    TheHook() = [&](HWND, UINT message, WPARAM wParam, LPARAM lParam) -> std::optional<LRESULT> {
        if (message != WM_MEASUREITEM) return std::nullopt;
        auto measure = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
        EXPECT_EQ(wParam, 200u);
        measured.push_back(*measure);
        measure->itemHeight = measure->itemID == UINT(-1) ? 22 : 18;
        return TRUE;
    };
    HWND combo = MakeCombo(CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS, {u"Watermark"});
    ASSERT_EQ(measured.size(), 2u);
    EXPECT_EQ(measured[0].CtlType, UINT(ODT_COMBOBOX));
    EXPECT_EQ(measured[0].CtlID, 200u);
    EXPECT_EQ(measured[0].itemID, UINT(-1));
    EXPECT_EQ(measured[1].CtlType, UINT(ODT_COMBOBOX));
    EXPECT_EQ(measured[1].itemID, 0u);
    EXPECT_EQ(SendMessageW(combo, CB_GETITEMHEIGHT, WPARAM(-1), 0), 22);
    EXPECT_EQ(SendMessageW(combo, CB_GETITEMHEIGHT, 0, 0), 18);
    RECT rect{};
    GetWindowRect(combo, &rect);
    EXPECT_EQ(rect.bottom - rect.top, 28);
    EXPECT_EQ(ItemText(combo, CB_GETLBTEXTLEN, CB_GETLBTEXT, 0), u"Watermark");
    EXPECT_EQ(SendMessageW(combo, CB_SETITEMHEIGHT, WPARAM(-1), 30), CB_OKAY);
    GetWindowRect(combo, &rect);
    EXPECT_EQ(rect.bottom - rect.top, 36);
    // Items of an owner-drawn combo box go to its parent as combo box items.
    std::vector<DELETEITEMSTRUCT> deleted;
    TheHook() = [&](HWND, UINT message, WPARAM, LPARAM lParam) -> std::optional<LRESULT> {
        if (message == WM_DELETEITEM) deleted.push_back(*reinterpret_cast<DELETEITEMSTRUCT*>(lParam));
        return std::nullopt;
    };
    SendMessageW(combo, CB_DELETESTRING, 0, 0);
    ASSERT_EQ(deleted.size(), 1u);
    EXPECT_EQ(deleted[0].CtlType, UINT(ODT_COMBOBOX));
    EXPECT_EQ(deleted[0].CtlID, 200u);
    EXPECT_EQ(deleted[0].hwndItem, combo);
}

TEST_F(ComboBox, AParentDestroyingTheComboBoxInANotificationEndsCleanly) {
    HWND combo = MakeCombo(CBS_DROPDOWNLIST, {u"A4", u"Letter"});
    HWND list = Info(combo).hwndList;
    TheHook() = [&](HWND, UINT message, WPARAM wParam, LPARAM) -> std::optional<LRESULT> {
        if (message == WM_COMMAND && HIWORD(wParam) == CBN_SELENDOK) DestroyWindow(combo);
        return std::nullopt;
    };
    ChooseByClick(combo, 1);
    EXPECT_FALSE(IsWindow(combo));
    EXPECT_FALSE(IsWindow(list));
    EXPECT_EQ(GetCapture(), nullptr);
}

}  // namespace
}  // namespace tam::test
