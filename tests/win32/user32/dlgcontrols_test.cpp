// The system's buttons and statics in a dialog: the dialog manager's keys
// work with them as with any control that answers WM_GETDLGCODE.
#include "win32/user32/dialog_fixture.h"

namespace tam::test {
namespace {

class StandardControls : public DialogTest {
protected:
    void SetUp() override {
        DialogTest::SetUp();
        dialog = MakeDialog(IDD_STANDARD_CONTROLS);
        ASSERT_NE(dialog, nullptr);
        ShowWindow(dialog, SW_SHOW);
        ClearLog();
    }
    void TearDown() override {
        if (IsWindow(dialog)) DestroyWindow(dialog);
        DialogTest::TearDown();
    }
    HWND Id(int id) const { return GetDlgItem(dialog, id); }
    DWORD TypeOf(int id) const { return DWORD(GetWindowLongW(Id(id), GWL_STYLE)) & BS_TYPEMASK; }
    HWND dialog = nullptr;
};

TEST_F(StandardControls, TemplateAtomsMakeTheSystemClasses) {
    EXPECT_EQ(ClassOf(Id(IDC_LABEL)), u"Static");
    EXPECT_EQ(ClassOf(Id(IDOK)), u"Button");
    EXPECT_EQ(SendMessageW(dialog, DM_GETDEFID, 0, 0), MAKELRESULT(IDOK, DC_HASDEFID));
    EXPECT_EQ(SendMessageW(Id(IDOK), WM_GETFONT, 0, 0), SendMessageW(dialog, WM_GETFONT, 0, 0));
}

TEST_F(StandardControls, ArrowsCheckRadioButtonsAndTheDefaultLookFollowsTheFocus) {
    SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Id(IDC_PORTRAIT)), TRUE);
    PressKey(dialog, VK_DOWN);
    EXPECT_EQ(GetFocus(), Id(IDC_LANDSCAPE));
    EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_LANDSCAPE), UINT(BST_CHECKED));
    EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_PORTRAIT), UINT(BST_UNCHECKED));
    EXPECT_EQ(Commands(dialog), std::vector<int>{IDC_LANDSCAPE});

    PressKey(dialog, VK_TAB);
    PressKey(dialog, VK_RIGHT);  // OK and Cancel form a group
    EXPECT_EQ(GetFocus(), Id(IDCANCEL));
    EXPECT_EQ(TypeOf(IDCANCEL), DWORD(BS_DEFPUSHBUTTON));
    EXPECT_EQ(TypeOf(IDOK), DWORD(BS_PUSHBUTTON));
    PressKey(dialog, VK_RETURN);
    EXPECT_EQ(Commands(dialog), (std::vector<int>{IDC_LANDSCAPE, IDCANCEL}));
}

TEST_F(StandardControls, StaticMnemonicFocusesTheControlAfterItAndEnterPressesOk) {
    SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(Id(IDCANCEL)), TRUE);
    PressKey(dialog, u'n', WM_SYSCHAR);
    EXPECT_EQ(GetFocus(), Id(IDC_USERNAME));
    EXPECT_EQ(TypeOf(IDOK), DWORD(BS_DEFPUSHBUTTON));
    EXPECT_EQ(TypeOf(IDCANCEL), DWORD(BS_PUSHBUTTON));
    PressKey(dialog, VK_RETURN);
    EXPECT_EQ(Commands(dialog), std::vector<int>{IDOK});
}

TEST_F(StandardControls, ClickOnTheDialogClosesTheFocusedComboBoxsList) {
    HWND combo = CreateWindowExW(0, u"ComboBox", u"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | CBS_DROPDOWNLIST, 7, 60,
                                 100, 80, dialog, reinterpret_cast<HMENU>(1300), GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(combo, nullptr);
    SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(combo), TRUE);
    SendMessageW(combo, CB_SHOWDROPDOWN, TRUE, 0);
    ASSERT_TRUE(SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0));
    SendMessageW(dialog, WM_LBUTTONDOWN, 0, MAKELPARAM(150, 60));
    EXPECT_FALSE(SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0));
}

}  // namespace
}  // namespace tam::test
