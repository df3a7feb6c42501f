// The keyboard interface of dialogs: tab and group order, IsDialogMessageW's
// keys and mnemonics, and the default push button.
#include "win32/user32/dialog_fixture.h"

namespace tam::test {
namespace {

// IDD_SETTINGS: Label, Name (tab stop), Portrait (tab stop, group),
// Landscape, Sepia (disabled), Hidden (hidden), Apply (tab stop, group), OK
// (default), Cancel.
class Navigation : public DialogTest {
protected:
    void SetUp() override {
        DialogTest::SetUp();
        dialog = MakeDialog(IDD_SETTINGS);
        ASSERT_NE(dialog, nullptr);
        ShowWindow(dialog, SW_SHOW);
        ClearLog();
    }
    void TearDown() override {
        if (IsWindow(dialog)) DestroyWindow(dialog);
        DialogTest::TearDown();
    }
    HWND Id(int id) const { return id ? GetDlgItem(dialog, id) : nullptr; }
    void Focus(int id) { SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Id(id)), TRUE); }
    DWORD TypeOf(int id) const { return DWORD(GetWindowLongW(Id(id), GWL_STYLE)) & BS_TYPEMASK; }

    HWND dialog = nullptr;
};

struct OrderCase {
    int from;  // 0: no control
    BOOL previous;
    int expected;
};

void PrintTo(const OrderCase& c, std::ostream* os) {
    *os << "from " << c.from << (c.previous ? " back" : " on") << " to " << c.expected;
}

class TabOrder : public Navigation, public testing::WithParamInterface<OrderCase> {};

TEST_P(TabOrder, SkipsDisabledHiddenAndNonTabStopControlsAndWraps) {
    const auto& c = GetParam();
    EXPECT_EQ(GetNextDlgTabItem(dialog, Id(c.from), c.previous), Id(c.expected));
}

const OrderCase kTabOrder[] = {
    {0, FALSE, IDC_USERNAME},          {0, TRUE, IDCANCEL},
    {IDC_USERNAME, FALSE, IDC_PORTRAIT}, {IDC_PORTRAIT, FALSE, IDC_APPLY},
    {IDC_LANDSCAPE, FALSE, IDC_APPLY},   {IDC_LABEL, FALSE, IDC_USERNAME},
    {IDCANCEL, FALSE, IDC_USERNAME},     {IDC_USERNAME, TRUE, IDCANCEL},
    {IDC_APPLY, TRUE, IDC_PORTRAIT},     {IDC_LANDSCAPE, TRUE, IDC_PORTRAIT},
};
INSTANTIATE_TEST_SUITE_P(All, TabOrder, testing::ValuesIn(kTabOrder));

class GroupOrder : public Navigation, public testing::WithParamInterface<OrderCase> {};

TEST_P(GroupOrder, StaysInsideTheGroupAndSkipsDisabledAndHiddenControls) {
    const auto& c = GetParam();
    EXPECT_EQ(GetNextDlgGroupItem(dialog, Id(c.from), c.previous), Id(c.expected));
}

const OrderCase kGroupOrder[] = {
    {IDC_PORTRAIT, FALSE, IDC_LANDSCAPE}, {IDC_LANDSCAPE, FALSE, IDC_PORTRAIT},
    {IDC_PORTRAIT, TRUE, IDC_LANDSCAPE},  {IDC_APPLY, FALSE, IDOK},
    {IDCANCEL, FALSE, IDC_APPLY},         {IDC_APPLY, TRUE, IDCANCEL},
    {IDC_LABEL, FALSE, IDC_USERNAME},     {IDC_USERNAME, FALSE, IDC_LABEL},
    {0, FALSE, IDC_APPLY},                {0, TRUE, IDC_USERNAME},
};
INSTANTIATE_TEST_SUITE_P(All, GroupOrder, testing::ValuesIn(kGroupOrder));

TEST_F(Navigation, TabMovesToTheNextTabStopAndNextDlgCtlBack) {
    ASSERT_EQ(GetFocus(), Id(IDC_USERNAME));
    PressKey(dialog, VK_TAB);
    EXPECT_EQ(GetFocus(), Id(IDC_PORTRAIT));
    PressKey(dialog, VK_TAB);
    EXPECT_EQ(GetFocus(), Id(IDC_APPLY));
    SendMessageW(dialog, WM_NEXTDLGCTL, 1, 0);  // what Shift+Tab sends
    EXPECT_EQ(GetFocus(), Id(IDC_PORTRAIT));
    EXPECT_TRUE(Commands(dialog).empty());
    EXPECT_TRUE(All(Id(IDC_USERNAME), WM_KEYDOWN).empty());  // the dialog took the key
}

TEST_F(Navigation, ArrowsMoveInTheGroupAndClickAutomaticRadioButtons) {
    Focus(IDC_PORTRAIT);
    PressKey(dialog, VK_DOWN);
    EXPECT_EQ(GetFocus(), Id(IDC_LANDSCAPE));
    EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_LANDSCAPE), UINT(BST_CHECKED));
    EXPECT_EQ(Commands(dialog), std::vector<int>{IDC_LANDSCAPE});
    EXPECT_EQ(All(Id(IDC_LANDSCAPE), BM_CLICK).size(), 1u);
    PressKey(dialog, VK_UP);
    EXPECT_EQ(GetFocus(), Id(IDC_PORTRAIT));
}

TEST_F(Navigation, ControlThatWantsArrowsOrEveryKeyGetsThem) {
    PressKey(dialog, VK_DOWN);  // the edit wants arrows
    EXPECT_EQ(GetFocus(), Id(IDC_USERNAME));
    EXPECT_EQ(All(Id(IDC_USERNAME), WM_KEYDOWN).size(), 1u);
    // WM_GETDLGCODE is asked with the key and the message.
    auto asked = All(Id(IDC_USERNAME), WM_GETDLGCODE);
    ASSERT_FALSE(asked.empty());
    EXPECT_EQ(asked.back().wParam, WPARAM(VK_DOWN));
    EXPECT_NE(asked.back().lParam, 0);

    HWND greedy = CreateWindowExW(0, u"ProbeGreedy", u"", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 0, 0, 10, 10, dialog,
                                  reinterpret_cast<HMENU>(77), GetModuleHandleW(nullptr), nullptr);
    SetFocus(greedy);
    for (WPARAM key : {WPARAM(VK_TAB), WPARAM(VK_RETURN), WPARAM(VK_ESCAPE)}) PressKey(dialog, key);
    EXPECT_EQ(GetFocus(), greedy);
    EXPECT_EQ(All(greedy, WM_KEYDOWN).size(), 3u);
    EXPECT_TRUE(Commands(dialog).empty());
}

TEST_F(Navigation, EnterPressesTheFocusedPushButtonElseTheDefaultOne) {
    PressKey(dialog, VK_RETURN);
    Focus(IDC_APPLY);
    PressKey(dialog, VK_RETURN);
    EXPECT_EQ(Commands(dialog), (std::vector<int>{IDOK, IDC_APPLY}));
    EXPECT_EQ(reinterpret_cast<HWND>(All(dialog, WM_COMMAND)[0].lParam), Id(IDOK));
}

TEST_F(Navigation, SetDefIdMovesTheDefaultButtonAndEnterFollowsIt) {
    EXPECT_EQ(SendMessageW(dialog, DM_GETDEFID, 0, 0), MAKELRESULT(IDOK, DC_HASDEFID));
    EXPECT_TRUE(SendMessageW(dialog, DM_SETDEFID, IDC_APPLY, 0));
    EXPECT_EQ(SendMessageW(dialog, DM_GETDEFID, 0, 0), MAKELRESULT(IDC_APPLY, DC_HASDEFID));
    EXPECT_EQ(TypeOf(IDC_APPLY), DWORD(BS_DEFPUSHBUTTON));
    EXPECT_EQ(TypeOf(IDOK), DWORD(BS_PUSHBUTTON));
    PressKey(dialog, VK_RETURN);
    EXPECT_EQ(Commands(dialog), std::vector<int>{IDC_APPLY});
}

TEST_F(Navigation, DefaultLookFollowsTheFocusAmongPushButtons) {
    Focus(IDCANCEL);
    EXPECT_EQ(TypeOf(IDCANCEL), DWORD(BS_DEFPUSHBUTTON));
    EXPECT_EQ(TypeOf(IDOK), DWORD(BS_PUSHBUTTON));
    Focus(IDC_APPLY);
    EXPECT_EQ(TypeOf(IDC_APPLY), DWORD(BS_DEFPUSHBUTTON));
    EXPECT_EQ(TypeOf(IDCANCEL), DWORD(BS_PUSHBUTTON));
    Focus(IDC_USERNAME);
    EXPECT_EQ(TypeOf(IDOK), DWORD(BS_DEFPUSHBUTTON));
    EXPECT_EQ(TypeOf(IDC_APPLY), DWORD(BS_PUSHBUTTON));
    // Only push buttons changed their style.
    EXPECT_TRUE(All(Id(IDC_PORTRAIT), BM_SETSTYLE).empty());
}

TEST_F(Navigation, EscapeSendsCancelWithItsButton) {
    PressKey(dialog, VK_ESCAPE);
    auto commands = All(dialog, WM_COMMAND);
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(commands[0].wParam, MAKEWPARAM(IDCANCEL, BN_CLICKED));
    EXPECT_EQ(reinterpret_cast<HWND>(commands[0].lParam), Id(IDCANCEL));
}

TEST_F(Navigation, MnemonicsFocusOrClickTheControlTheyName) {
    // Alt+N names the label: the focus goes to the control after it.
    Focus(IDC_APPLY);
    PressKey(dialog, u'n', WM_SYSCHAR);
    EXPECT_EQ(GetFocus(), Id(IDC_USERNAME));
    // A plain letter in the edit is the edit's own.
    PressKey(dialog, u'l', WM_CHAR);
    EXPECT_EQ(GetFocus(), Id(IDC_USERNAME));
    EXPECT_EQ(All(Id(IDC_USERNAME), WM_CHAR).size(), 1u);
    // From a push button a plain letter is a mnemonic: a radio button is focused and clicked.
    Focus(IDC_APPLY);
    PressKey(dialog, u'L', WM_CHAR);
    EXPECT_EQ(GetFocus(), Id(IDC_LANDSCAPE));
    EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_LANDSCAPE), UINT(BST_CHECKED));
    // A push button's mnemonic clicks it.
    PressKey(dialog, u'a', WM_SYSCHAR);
    EXPECT_EQ(All(Id(IDC_APPLY), BM_CLICK).size(), 1u);
    EXPECT_EQ(Commands(dialog), (std::vector<int>{IDC_LANDSCAPE, IDC_APPLY}));
}

TEST_F(Navigation, MessagesForOtherWindowsAreLeftToTheCaller) {
    HWND other = Make(WS_POPUP | WS_VISIBLE);
    ClearLog();
    MSG msg{other, WM_KEYDOWN, VK_TAB, 1, 0, {0, 0}, 0};
    EXPECT_FALSE(IsDialogMessageW(dialog, &msg));
    EXPECT_TRUE(MessagesOf(other).empty());
    DestroyWindow(other);
}

TEST_F(Navigation, TabGoesThroughANestedPageInItsPlace) {
    HWND host = MakeDialog(IDD_PAGE_HOST);
    ASSERT_NE(host, nullptr);
    HWND page = MakeDialog(IDD_PAGE, host);
    ASSERT_NE(page, nullptr);
    HWND name = GetDlgItem(host, IDC_USERNAME);
    SetWindowPos(page, name, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ShowWindow(host, SW_SHOW);
    EXPECT_TRUE(GetWindowLongW(page, GWL_EXSTYLE) & WS_EX_CONTROLPARENT);
    SendMessageW(host, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(name), TRUE);
    std::vector<HWND> order;
    for (int i = 0; i < 4; ++i) {
        PressKey(host, VK_TAB);
        order.push_back(GetFocus());
    }
    EXPECT_EQ(order, (std::vector<HWND>{GetDlgItem(page, IDC_PAGE_EDIT), GetDlgItem(page, IDC_APPLY),
                                        GetDlgItem(host, IDOK), name}));
    DestroyWindow(host);
}

}  // namespace
}  // namespace tam::test
