// The "ListBox" control: items, searches, selection, and the notifications
// that only a person's clicks and keys send.
#include "win32/user32/listcombo_fixture.h"

namespace tam::test {
namespace {

using Codes_ = std::vector<int>;

class ListBox : public ControlTest {
protected:
    HWND MakeList(DWORD style, std::initializer_list<const char16_t*> items = {}) {
        HWND list = MakeControl(u"ListBox", style | LBS_NOINTEGRALHEIGHT);
        EXPECT_NE(list, nullptr);
        AddStrings(list, LB_ADDSTRING, items);
        ClearLog();
        return list;
    }
    std::vector<std::u16string> Items(HWND list) {
        std::vector<std::u16string> out;
        int count = int(SendMessageW(list, LB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) out.push_back(ItemText(list, LB_GETTEXTLEN, LB_GETTEXT, i));
        return out;
    }
};

TEST_F(ListBox, SortedListOrdersWithoutCaseAndInsertKeepsTheIndex) {
    HWND list = MakeList(LBS_SORT, {u"pear", u"Banana", u"apple", u"banana split", u"Cherry", u"APPLE"});
    EXPECT_EQ(Items(list), (std::vector<std::u16string>{u"apple", u"APPLE", u"Banana", u"banana split", u"Cherry",
                                                        u"pear"}));
    // LB_INSERTSTRING does not sort, even in a sorted list; -1 is the end.
    EXPECT_EQ(SendMessageW(list, LB_INSERTSTRING, 1, reinterpret_cast<LPARAM>(u"zebra")), 1);
    EXPECT_EQ(SendMessageW(list, LB_INSERTSTRING, WPARAM(-1), reinterpret_cast<LPARAM>(u"aardvark")), 7);
    EXPECT_EQ(ItemText(list, LB_GETTEXTLEN, LB_GETTEXT, 1), u"zebra");
    EXPECT_EQ(ItemText(list, LB_GETTEXTLEN, LB_GETTEXT, 7), u"aardvark");
    // Unsorted lists keep the order of adding.
    HWND plain = MakeList(0, {u"b", u"a"});
    EXPECT_EQ(Items(plain), (std::vector<std::u16string>{u"b", u"a"}));
}

struct BadIndexCase {
    const char* name;
    UINT message;
    WPARAM wParam;
};
const BadIndexCase kBadIndexes[] = {
    {"GETTEXT past the end", LB_GETTEXT, 3},  {"GETTEXTLEN -1", LB_GETTEXTLEN, WPARAM(-1)},
    {"GETITEMDATA", LB_GETITEMDATA, 3},       {"SETITEMDATA", LB_SETITEMDATA, 7},
    {"DELETESTRING", LB_DELETESTRING, 3},     {"DELETESTRING -1", LB_DELETESTRING, WPARAM(-1)},
    {"INSERTSTRING past", LB_INSERTSTRING, 4}, {"SETCURSEL", LB_SETCURSEL, 3},
    {"GETSEL", LB_GETSEL, 3},                 {"SETTOPINDEX", LB_SETTOPINDEX, 3},
    {"SETCARETINDEX", LB_SETCARETINDEX, 9},   {"GETITEMRECT", LB_GETITEMRECT, 3},
};
std::ostream& operator<<(std::ostream& out, const BadIndexCase& c) { return out << c.name; }
class ListBoxBadIndex : public ListBox, public testing::WithParamInterface<BadIndexCase> {};

TEST_P(ListBoxBadIndex, AnswersErrAndChangesNothing) {
    HWND list = MakeList(0, {u"one", u"two", u"three"});
    SendMessageW(list, LB_SETCURSEL, 1, 0);
    WCHAR buffer[32] = {u'x'};
    RECT rect{1, 2, 3, 4};
    LPARAM lParam = GetParam().message == LB_GETTEXT           ? reinterpret_cast<LPARAM>(buffer)
                    : GetParam().message == LB_GETITEMRECT     ? reinterpret_cast<LPARAM>(&rect)
                    : GetParam().message == LB_INSERTSTRING    ? reinterpret_cast<LPARAM>(u"new")
                                                               : 5;
    EXPECT_EQ(SendMessageW(list, GetParam().message, GetParam().wParam, lParam), LB_ERR) << GetParam().name;
    EXPECT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), 3);
    EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(buffer[0], u'x');
    EXPECT_EQ(rect.left, 1);
    EXPECT_TRUE(Codes(list).empty());
}
INSTANTIATE_TEST_SUITE_P(All, ListBoxBadIndex, testing::ValuesIn(kBadIndexes));

TEST_F(ListBox, DeleteAnswersTheCountLeftAndTheSelectionFollowsItsItem) {
    HWND list = MakeList(0, {u"a", u"b", u"c", u"d"});
    EXPECT_EQ(SendMessageW(list, LB_SETCURSEL, 2, 0), 2);
    EXPECT_EQ(SendMessageW(list, LB_DELETESTRING, 0, 0), 3);
    EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), 1);  // "c" moved up
    EXPECT_EQ(SendMessageW(list, LB_DELETESTRING, 1, 0), 2);
    EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), LB_ERR);  // its item is gone
    EXPECT_EQ(Items(list), (std::vector<std::u16string>{u"b", u"d"}));
    EXPECT_EQ(SendMessageW(list, LB_RESETCONTENT, 0, 0), TRUE);
    EXPECT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), 0);
    EXPECT_EQ(SendMessageW(list, LB_DELETESTRING, 0, 0), LB_ERR);
}

TEST_F(ListBox, ItemDataStaysWithItsItemAndDeletingSendsDeleteItem) {
    HWND list = MakeList(LBS_SORT, {u"m", u"z"});
    EXPECT_EQ(SendMessageW(list, LB_SETITEMDATA, 0, 0x1234), TRUE);
    EXPECT_EQ(SendMessageW(list, LB_SETITEMDATA, 1, LPARAM(0x5678abcdef)), TRUE);
    AddStrings(list, LB_ADDSTRING, {u"a"});  // sorts before both
    EXPECT_EQ(SendMessageW(list, LB_GETITEMDATA, 0, 0), 0);
    EXPECT_EQ(SendMessageW(list, LB_GETITEMDATA, 1, 0), 0x1234);
    EXPECT_EQ(SendMessageW(list, LB_GETITEMDATA, 2, 0), LRESULT(0x5678abcdef));
    // Items with data are announced to the parent as they go.
    std::vector<DELETEITEMSTRUCT> deleted;
    TheHook() = [&](HWND, UINT message, WPARAM, LPARAM lParam) -> std::optional<LRESULT> {
        if (message == WM_DELETEITEM) deleted.push_back(*reinterpret_cast<DELETEITEMSTRUCT*>(lParam));
        return std::nullopt;
    };
    EXPECT_EQ(SendMessageW(list, LB_DELETESTRING, 0, 0), 2);  // "a" has no data: nothing sent
    EXPECT_TRUE(deleted.empty());
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    ASSERT_EQ(deleted.size(), 2u);
    EXPECT_EQ(deleted[0].CtlType, UINT(ODT_LISTBOX));
    EXPECT_EQ(deleted[0].CtlID, 100u);
    EXPECT_EQ(deleted[0].itemID, 0u);
    EXPECT_EQ(deleted[0].hwndItem, list);
    EXPECT_EQ(deleted[0].itemData, 0x1234u);
    EXPECT_EQ(deleted[1].itemID, 1u);
    EXPECT_EQ(deleted[1].itemData, ULONG_PTR(0x5678abcdef));
}

struct FindCase {
    UINT message;
    int start;
    const char16_t* text;
    int expected;
};
// Items: "Apple", "apricot", "Banana", "apple".
const FindCase kFinds[] = {
    {LB_FINDSTRING, -1, u"ap", 0},       {LB_FINDSTRING, 0, u"ap", 1},     {LB_FINDSTRING, 1, u"AP", 3},
    {LB_FINDSTRING, 3, u"ap", 0},        // goes round to the first
    {LB_FINDSTRING, 2, u"ban", 2},       // ends at the start item itself
    {LB_FINDSTRING, -1, u"cherry", LB_ERR}, {LB_FINDSTRING, 9, u"b", 2},  // past the end: from the first
    {LB_FINDSTRINGEXACT, -1, u"APPLE", 0}, {LB_FINDSTRINGEXACT, 0, u"apple", 3},
    {LB_FINDSTRINGEXACT, -1, u"appl", LB_ERR}, {LB_FINDSTRINGEXACT, -1, u"apple pie", LB_ERR},
    {LB_SELECTSTRING, 0, u"a", 1},       {LB_SELECTSTRING, -1, u"x", LB_ERR},
};
std::ostream& operator<<(std::ostream& out, const FindCase& c) {
    return out << "message " << c.message << " from " << c.start << " for \"" << MessageText(c.text) << "\"";
}
class ListBoxFind : public ListBox, public testing::WithParamInterface<FindCase> {};

TEST_P(ListBoxFind, SearchesWithoutCaseFromAfterTheStart) {
    HWND list = MakeList(0, {u"Apple", u"apricot", u"Banana", u"apple"});
    SendMessageW(list, LB_SETCURSEL, 2, 0);
    const FindCase& c = GetParam();
    EXPECT_EQ(SendMessageW(list, c.message, WPARAM(c.start), reinterpret_cast<LPARAM>(c.text)), c.expected);
    int selection = c.message == LB_SELECTSTRING && c.expected >= 0 ? c.expected : 2;
    EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), selection);
    EXPECT_TRUE(Codes(list).empty());
}
INSTANTIATE_TEST_SUITE_P(All, ListBoxFind, testing::ValuesIn(kFinds));

TEST_F(ListBox, ProgramSelectionSendsNothingButAPersonsClickDoes) {
    HWND list = MakeList(LBS_NOTIFY, {u"a", u"b", u"c"});
    EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), LB_ERR);
    EXPECT_EQ(SendMessageW(list, LB_SETCURSEL, 1, 0), 1);
    EXPECT_EQ(SendMessageW(list, LB_SETCURSEL, WPARAM(-1), 0), LB_ERR);  // -1 clears and answers LB_ERR
    EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), LB_ERR);
    EXPECT_EQ(SendMessageW(list, LB_SELECTSTRING, WPARAM(-1), reinterpret_cast<LPARAM>(u"c")), 2);
    EXPECT_TRUE(Codes(list).empty());

    Click(list, ItemCenter(list, 0));
    EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(GetFocus(), list);
    EXPECT_EQ(Codes(list), (Codes_{LBN_SETFOCUS, LBN_SELCHANGE}));
    ClearLog();
    Click(list, ItemCenter(list, 0));  // the same item again: a person chose it again
    SendMessageW(list, WM_LBUTTONDBLCLK, MK_LBUTTON, At(ItemCenter(list, 0)));
    EXPECT_EQ(Codes(list), (Codes_{LBN_SELCHANGE, LBN_DBLCLK}));
    ClearLog();
    // A click below the last item selects nothing.
    RECT client{};
    GetClientRect(list, &client);
    Click(list, POINT{5, client.bottom - 2});
    EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), 0);
    EXPECT_TRUE(Codes(list).empty());
}

TEST_F(ListBox, WithoutNotifyOnlyTheFocusIsAnnounced) {
    HWND list = MakeList(0, {u"a", u"b"});
    Click(list, ItemCenter(list, 1));
    SendMessageW(list, WM_LBUTTONDBLCLK, MK_LBUTTON, At(ItemCenter(list, 1)));
    Key(list, VK_UP);
    SetFocus(parent);
    EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(Codes(list), (Codes_{LBN_SETFOCUS, LBN_KILLFOCUS}));
}

struct KeyCase {
    WPARAM key;
    int from;
    int to;
    bool notifies;
};
// Ten items of which the list shows four whole ones (PageUp/PageDown move
// by the items shown less one).
const KeyCase kKeys[] = {
    {VK_DOWN, 0, 1, true},   {VK_UP, 5, 4, true},   {VK_UP, 0, 0, false},   {VK_DOWN, 9, 9, false},
    {VK_HOME, 6, 0, true},   {VK_END, 2, 9, true},  {VK_NEXT, 1, 4, true},  {VK_PRIOR, 8, 5, true},
    {VK_DOWN, -1, 0, true},  {VK_RIGHT, 3, 4, true}, {VK_END, 9, 9, false},
};
std::ostream& operator<<(std::ostream& out, const KeyCase& c) {
    return out << "key " << c.key << " from " << c.from << " to " << c.to;
}
class ListBoxKeys : public ListBox, public testing::WithParamInterface<KeyCase> {};

TEST_P(ListBoxKeys, MoveTheSelectionAndNotifyWhenItMoved) {
    HWND list = MakeList(LBS_NOTIFY, {u"0", u"1", u"2", u"3", u"4", u"5", u"6", u"7", u"8", u"9"});
    int height = int(SendMessageW(list, LB_GETITEMHEIGHT, 0, 0));
    RECT rect{};
    GetWindowRect(list, &rect);
    MoveWindow(list, 10, 10, rect.right - rect.left, 4 * height + 2, FALSE);
    SendMessageW(list, LB_SETCURSEL, WPARAM(GetParam().from), 0);
    ClearLog();
    Key(list, GetParam().key);
    EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), GetParam().to);
    EXPECT_EQ(Codes(list), GetParam().notifies ? Codes_{LBN_SELCHANGE} : Codes_{});
    // The selection is in view.
    int top = int(SendMessageW(list, LB_GETTOPINDEX, 0, 0));
    EXPECT_LE(top, GetParam().to);
    EXPECT_GT(top + 4, GetParam().to);
}
INSTANTIATE_TEST_SUITE_P(All, ListBoxKeys, testing::ValuesIn(kKeys));

TEST_F(ListBox, ALetterSelectsTheNextItemStartingWithIt) {
    HWND list = MakeList(LBS_NOTIFY, {u"Paper", u"tray", u"Photo", u"plain", u"Tray 2"});
    SendMessageW(list, WM_CHAR, u'p', 1);
    EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), 0);
    SendMessageW(list, WM_CHAR, u'P', 1);
    EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), 2);
    SendMessageW(list, WM_CHAR, u'p', 1);
    SendMessageW(list, WM_CHAR, u'p', 1);
    EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), 0);  // round past the end
    SendMessageW(list, WM_CHAR, u'x', 1);                    // no item: nothing moves
    EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(Codes(list), (Codes_{LBN_SELCHANGE, LBN_SELCHANGE, LBN_SELCHANGE, LBN_SELCHANGE}));
}

TEST_F(ListBox, SelectingScrollsTheItemIntoViewAndPointsFindItems) {
    HWND list = MakeList(0, {u"0", u"1", u"2", u"3", u"4", u"5", u"6", u"7"});
    int height = int(SendMessageW(list, LB_GETITEMHEIGHT, 0, 0));
    ASSERT_GT(height, 0);
    MoveWindow(list, 10, 10, 100, 3 * height, FALSE);
    EXPECT_EQ(SendMessageW(list, LB_SETCURSEL, 6, 0), 6);
    EXPECT_EQ(SendMessageW(list, LB_GETTOPINDEX, 0, 0), 4);
    RECT rect{};
    EXPECT_EQ(SendMessageW(list, LB_GETITEMRECT, 6, reinterpret_cast<LPARAM>(&rect)), LB_OKAY);
    EXPECT_EQ(rect.top, 2 * height);
    EXPECT_EQ(rect.bottom, 3 * height);
    EXPECT_EQ(rect.left, 0);
    EXPECT_EQ(rect.right, 100);
    EXPECT_EQ(SendMessageW(list, LB_GETITEMRECT, 3, reinterpret_cast<LPARAM>(&rect)), LB_OKAY);
    EXPECT_EQ(rect.top, -height);  // above the first item shown
    EXPECT_EQ(SendMessageW(list, LB_ITEMFROMPOINT, 0, MAKELPARAM(5, height + 1)), MAKELRESULT(5, 0));
    EXPECT_EQ(SendMessageW(list, LB_ITEMFROMPOINT, 0, MAKELPARAM(5, 10 * height)), MAKELRESULT(7, 1));
    EXPECT_EQ(SendMessageW(list, LB_SETTOPINDEX, 0, 0), LB_OKAY);
    EXPECT_EQ(SendMessageW(list, LB_GETTOPINDEX, 0, 0), 0);
    // The last items cannot scroll above the bottom.
    EXPECT_EQ(SendMessageW(list, LB_SETTOPINDEX, 7, 0), LB_OKAY);
    EXPECT_EQ(SendMessageW(list, LB_GETTOPINDEX, 0, 0), 5);
}

TEST_F(ListBox, HeightShrinksToWholeItemsUnlessNoIntegralHeight) {
    HWND integral = MakeControl(u"ListBox", 0, RECT{0, 0, 100, 100});
    HWND free = MakeControl(u"ListBox", LBS_NOINTEGRALHEIGHT, RECT{0, 0, 100, 100});
    int height = int(SendMessageW(integral, LB_GETITEMHEIGHT, 0, 0));
    RECT client{};
    GetClientRect(integral, &client);
    EXPECT_EQ(client.bottom % height, 0);
    EXPECT_GT(client.bottom, 100 - height);
    GetClientRect(free, &client);
    EXPECT_EQ(client.bottom, 100);
    EXPECT_EQ(SendMessageW(free, LB_SETITEMHEIGHT, 0, 300), LB_ERR);
    EXPECT_EQ(SendMessageW(free, LB_SETITEMHEIGHT, 0, 20), LB_OKAY);
    EXPECT_EQ(SendMessageW(free, LB_GETITEMHEIGHT, 0, 0), 20);
}

TEST_F(ListBox, MultipleSelectionTogglesAndCounts) {
    HWND list = MakeList(LBS_MULTIPLESEL | LBS_NOTIFY, {u"a", u"b", u"c", u"d"});
    EXPECT_EQ(SendMessageW(list, LB_SETCURSEL, 1, 0), LB_ERR);
    EXPECT_EQ(SendMessageW(list, LB_SETSEL, TRUE, 1), LB_OKAY);
    EXPECT_EQ(SendMessageW(list, LB_SETSEL, TRUE, 3), LB_OKAY);
    EXPECT_EQ(SendMessageW(list, LB_SETSEL, TRUE, 4), LB_ERR);
    EXPECT_EQ(SendMessageW(list, LB_GETSELCOUNT, 0, 0), 2);
    INT selected[4] = {-1, -1, -1, -1};
    EXPECT_EQ(SendMessageW(list, LB_GETSELITEMS, 1, reinterpret_cast<LPARAM>(selected)), 1);  // room for one
    EXPECT_EQ(selected[1], -1);
    EXPECT_EQ(SendMessageW(list, LB_GETSELITEMS, 4, reinterpret_cast<LPARAM>(selected)), 2);
    EXPECT_EQ(selected[0], 1);
    EXPECT_EQ(selected[1], 3);
    EXPECT_TRUE(Codes(list).empty());
    Click(list, ItemCenter(list, 1));  // toggles it off
    EXPECT_EQ(SendMessageW(list, LB_GETSEL, 1, 0), 0);
    EXPECT_GT(SendMessageW(list, LB_GETSEL, 3, 0), 0);
    Key(list, VK_UP);
    Key(list, VK_SPACE);  // the caret is on item 0 now
    EXPECT_GT(SendMessageW(list, LB_GETSEL, 0, 0), 0);
    EXPECT_EQ(Codes(list), (Codes_{LBN_SETFOCUS, LBN_SELCHANGE, LBN_SELCHANGE}));
    EXPECT_EQ(SendMessageW(list, LB_SETSEL, FALSE, -1), LB_OKAY);
    EXPECT_EQ(SendMessageW(list, LB_GETSELCOUNT, 0, 0), 0);
    // Single-selection lists have no count.
    HWND single = MakeList(0, {u"a"});
    EXPECT_EQ(SendMessageW(single, LB_GETSELCOUNT, 0, 0), LB_ERR);
    EXPECT_EQ(SendMessageW(single, LB_GETSELITEMS, 4, reinterpret_cast<LPARAM>(selected)), LB_ERR);
}

TEST_F(ListBox, ExtendedSelectionExtendsWithShiftAndAddsWithControl) {
    HWND list = MakeList(LBS_EXTENDEDSEL, {u"a", u"b", u"c", u"d", u"e"});
    Click(list, ItemCenter(list, 1));
    Click(list, ItemCenter(list, 3), MK_SHIFT);
    EXPECT_EQ(SendMessageW(list, LB_GETSELCOUNT, 0, 0), 3);
    Click(list, ItemCenter(list, 0), MK_CONTROL);
    EXPECT_EQ(SendMessageW(list, LB_GETSELCOUNT, 0, 0), 4);
    Click(list, ItemCenter(list, 4));
    EXPECT_EQ(SendMessageW(list, LB_GETSELCOUNT, 0, 0), 1);
    EXPECT_GT(SendMessageW(list, LB_GETSEL, 4, 0), 0);
}

TEST_F(ListBox, OwnerDrawnFixedListIsMeasuredOnceAtCreation) {
    std::vector<MEASUREITEMSTRUCT> measured;
    TheHook() = [&](HWND, UINT message, WPARAM wParam, LPARAM lParam) -> std::optional<LRESULT> {
        if (message != WM_MEASUREITEM) return std::nullopt;
        auto measure = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
        EXPECT_EQ(wParam, 100u);
        EXPECT_GT(measure->itemHeight, 0u);  // comes preset to the font's line
        measured.push_back(*measure);
        measure->itemHeight = 24;
        return TRUE;
    };
    HWND list = MakeControl(u"ListBox", LBS_OWNERDRAWFIXED | LBS_NOINTEGRALHEIGHT);
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(measured.size(), 1u);
    EXPECT_EQ(measured[0].CtlType, UINT(ODT_LISTBOX));
    EXPECT_EQ(measured[0].CtlID, 100u);
    EXPECT_EQ(measured[0].itemID, 0u);
    EXPECT_EQ(SendMessageW(list, LB_GETITEMHEIGHT, 0, 0), 24);
    // Without LBS_HASSTRINGS the item is its data word.
    EXPECT_EQ(SendMessageW(list, LB_ADDSTRING, 0, 0x77), 0);
    EXPECT_EQ(SendMessageW(list, LB_GETITEMDATA, 0, 0), 0x77);
    EXPECT_EQ(SendMessageW(list, LB_FINDSTRING, WPARAM(-1), 0x77), 0);
    EXPECT_EQ(measured.size(), 1u);
    // Every item of an owner-drawn list is announced as it goes.
    std::vector<DELETEITEMSTRUCT> deleted;
    TheHook() = [&](HWND, UINT message, WPARAM, LPARAM lParam) -> std::optional<LRESULT> {
        if (message == WM_DELETEITEM) deleted.push_back(*reinterpret_cast<DELETEITEMSTRUCT*>(lParam));
        return std::nullopt;
    };
    SendMessageW(list, LB_SETITEMDATA, 0, 0);
    SendMessageW(list, LB_DELETESTRING, 0, 0);
    ASSERT_EQ(deleted.size(), 1u);
    EXPECT_EQ(deleted[0].CtlType, UINT(ODT_LISTBOX));
}

TEST_F(ListBox, OwnerDrawnVariableListMeasuresEveryItem) {
    std::vector<UINT> ids;
    TheHook() = [&](HWND, UINT message, WPARAM, LPARAM lParam) -> std::optional<LRESULT> {
        if (message != WM_MEASUREITEM) return std::nullopt;
        auto measure = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
        ids.push_back(measure->itemID);
        measure->itemHeight = UINT(10 + measure->itemData);
        return TRUE;
    };
    HWND list = MakeControl(u"ListBox", LBS_OWNERDRAWVARIABLE);
    ASSERT_NE(list, nullptr);
    EXPECT_TRUE(ids.empty());
    SendMessageW(list, LB_ADDSTRING, 0, 5);
    SendMessageW(list, LB_ADDSTRING, 0, 20);
    EXPECT_EQ(ids, (std::vector<UINT>{0, 1}));
    EXPECT_EQ(SendMessageW(list, LB_GETITEMHEIGHT, 1, 0), 30);
    RECT rect{};
    SendMessageW(list, LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&rect));
    EXPECT_EQ(rect.top, 15);
    EXPECT_EQ(rect.bottom, 45);
    EXPECT_EQ(SendMessageW(list, LB_GETITEMHEIGHT, 2, 0), LB_ERR);
}

TEST_F(ListBox, SortedOwnerDrawnListWithoutStringsAsksTheParentToCompare) {
    TheHook() = [&](HWND, UINT message, WPARAM, LPARAM lParam) -> std::optional<LRESULT> {
        if (message != WM_COMPAREITEM) return std::nullopt;
        auto compare = reinterpret_cast<COMPAREITEMSTRUCT*>(lParam);
        EXPECT_EQ(compare->CtlType, UINT(ODT_LISTBOX));
        return compare->itemData1 < compare->itemData2 ? -1 : compare->itemData1 > compare->itemData2 ? 1 : 0;
    };
    HWND list = MakeControl(u"ListBox", LBS_OWNERDRAWFIXED | LBS_SORT);
    for (LPARAM data : {30, 10, 20}) SendMessageW(list, LB_ADDSTRING, 0, data);
    EXPECT_EQ(SendMessageW(list, LB_GETITEMDATA, 0, 0), 10);
    EXPECT_EQ(SendMessageW(list, LB_GETITEMDATA, 1, 0), 20);
    EXPECT_EQ(SendMessageW(list, LB_GETITEMDATA, 2, 0), 30);
}

TEST_F(ListBox, WantKeyboardInputAsksTheParentFirst) {
    HWND list = MakeList(LBS_WANTKEYBOARDINPUT | LBS_NOTIFY, {u"a", u"b", u"c"});
    SendMessageW(list, LB_SETCURSEL, 1, 0);
    LRESULT answer = -2;
    std::vector<WPARAM> asked;
    TheHook() = [&](HWND, UINT message, WPARAM wParam, LPARAM lParam) -> std::optional<LRESULT> {
        if (message != WM_VKEYTOITEM) return std::nullopt;
        EXPECT_EQ(lParam, reinterpret_cast<LPARAM>(list));
        asked.push_back(wParam);
        return answer;
    };
    Key(list, VK_DOWN);
    EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), 1);  // -2: the parent handled it
    answer = -1;
    Key(list, VK_DOWN);
    EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), 2);
    EXPECT_EQ(asked, (std::vector<WPARAM>{MAKEWPARAM(VK_DOWN, 1), MAKEWPARAM(VK_DOWN, 1)}));
    EXPECT_EQ(Codes(list), (Codes_{LBN_SELCHANGE}));
    // Without the style nobody is asked.
    HWND plain = MakeList(0, {u"a", u"b"});
    asked.clear();
    Key(plain, VK_DOWN);
    EXPECT_TRUE(asked.empty());
}

TEST_F(ListBox, AnswersDialogCodesFontsAndUnsupportedMessages) {
    HWND list = MakeList(0, {u"a"});
    EXPECT_EQ(SendMessageW(list, WM_GETDLGCODE, 0, 0), DLGC_WANTARROWS | DLGC_WANTCHARS);
    HFONT font = CreateFontW(-24, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, u"DejaVu Sans");
    int before = int(SendMessageW(list, LB_GETITEMHEIGHT, 0, 0));
    SendMessageW(list, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    EXPECT_EQ(SendMessageW(list, WM_GETFONT, 0, 0), reinterpret_cast<LRESULT>(font));
    EXPECT_GT(SendMessageW(list, LB_GETITEMHEIGHT, 0, 0), before);
    SetLastError(0);
    EXPECT_EQ(SendMessageW(list, LB_DIR, 0, reinterpret_cast<LPARAM>(u"*.*")), LB_ERR);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_CALL_NOT_IMPLEMENTED));
    EXPECT_EQ(SendMessageW(list, LB_INITSTORAGE, WPARAM(0x7FFFFFFF), 0), LB_ERRSPACE);
    EXPECT_GE(SendMessageW(list, LB_INITSTORAGE, 100, 1000), 100);
    DestroyWindow(list);
    DeleteObject(font);
}

TEST_F(ListBox, AParentDestroyingTheListInItsNotificationEndsCleanly) {
    HWND list = MakeList(LBS_NOTIFY, {u"a", u"b"});
    TheHook() = [&](HWND, UINT message, WPARAM wParam, LPARAM) -> std::optional<LRESULT> {
        if (message == WM_COMMAND && HIWORD(wParam) == LBN_SELCHANGE) DestroyWindow(list);
        return std::nullopt;
    };
    Click(list, ItemCenter(list, 1));
    EXPECT_FALSE(IsWindow(list));
    EXPECT_EQ(GetCapture(), nullptr);
}

}  // namespace
}  // namespace tam::test
