// The dialog item helpers: numbers in controls' text, check states, and
// failures for ids no control has.
#include "win32/user32/dialog_fixture.h"

namespace tam::test {
namespace {

class DialogItems : public DialogTest {
protected:
    void SetUp() override {
        DialogTest::SetUp();
        dialog = MakeDialog(IDD_SETTINGS);
        ASSERT_NE(dialog, nullptr);
    }
    void TearDown() override {
        if (IsWindow(dialog)) DestroyWindow(dialog);
        DialogTest::TearDown();
    }
    HWND dialog = nullptr;
};

struct IntCase {
    const char16_t* text;
    BOOL isSigned;
    UINT value;
    BOOL translated;
};

void PrintTo(const IntCase& c, std::ostream* os) {
    *os << '"';
    for (const char16_t* p = c.text; *p; ++p) *os << char(*p);
    *os << '"' << (c.isSigned ? " signed" : " unsigned");
}

class DialogItemInt : public DialogItems, public testing::WithParamInterface<IntCase> {};

TEST_P(DialogItemInt, ReadsDecimalTextOrFails) {
    const auto& c = GetParam();
    ASSERT_TRUE(SetDlgItemTextW(dialog, IDC_USERNAME, c.text));
    BOOL translated = 0x55;
    EXPECT_EQ(GetDlgItemInt(dialog, IDC_USERNAME, &translated, c.isSigned), c.value);
    EXPECT_EQ(translated, c.translated);
}

const IntCase kInts[] = {
    {u"12", FALSE, 12, TRUE},
    {u"  12", FALSE, 12, TRUE},
    {u"-3", TRUE, UINT(-3), TRUE},
    {u"-3", FALSE, 0, FALSE},
    {u"12a", FALSE, 0, FALSE},
    {u"", FALSE, 0, FALSE},
    {u"-", TRUE, 0, FALSE},
    {u"+5", TRUE, 0, FALSE},
    {u"2147483647", TRUE, 2147483647u, TRUE},
    {u"2147483648", TRUE, 0, FALSE},
    {u"-2147483648", TRUE, 0x80000000u, TRUE},
    {u"2147483648", FALSE, 2147483648u, TRUE},
    {u"4294967295", FALSE, 4294967295u, TRUE},
    {u"4294967296", FALSE, 0, FALSE},
};
INSTANTIATE_TEST_SUITE_P(All, DialogItemInt, testing::ValuesIn(kInts));

TEST_F(DialogItems, SetDlgItemIntWritesSignedOrUnsignedText) {
    WCHAR text[16];
    ASSERT_TRUE(SetDlgItemInt(dialog, IDC_USERNAME, UINT(-5), TRUE));
    EXPECT_EQ(GetDlgItemTextW(dialog, IDC_USERNAME, text, 16), 2u);
    EXPECT_EQ(std::u16string(text), u"-5");
    ASSERT_TRUE(SetDlgItemInt(dialog, IDC_USERNAME, UINT(-5), FALSE));
    GetDlgItemTextW(dialog, IDC_USERNAME, text, 16);
    EXPECT_EQ(std::u16string(text), u"4294967291");
}

TEST_F(DialogItems, CheckRadioButtonChecksOneAndClearsTheRestOfTheRange) {
    for (int id : {IDC_PORTRAIT, IDC_LANDSCAPE, IDC_APPLY}) CheckDlgButton(dialog, id, BST_CHECKED);
    ClearLog();
    ASSERT_TRUE(CheckRadioButton(dialog, IDC_PORTRAIT, IDC_HIDDEN, IDC_LANDSCAPE));
    EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_PORTRAIT), UINT(BST_UNCHECKED));
    EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_LANDSCAPE), UINT(BST_CHECKED));
    EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_APPLY), UINT(BST_CHECKED));  // outside the range
    for (int id : {IDC_PORTRAIT, IDC_LANDSCAPE, IDC_SEPIA, IDC_HIDDEN}) {
        EXPECT_EQ(All(GetDlgItem(dialog, id), BM_SETCHECK).size(), 1u) << id;
    }
    EXPECT_TRUE(All(GetDlgItem(dialog, IDC_APPLY), BM_SETCHECK).empty());
}

TEST_F(DialogItems, IdsWithoutAControlFail) {
    WCHAR text[8] = u"xyz";
    SetLastError(0xdeadbeef);
    EXPECT_EQ(GetDlgItemTextW(dialog, 4242, text, 8), 0u);
    EXPECT_EQ(text[0], u'\0');
    EXPECT_EQ(GetLastError(), DWORD(ERROR_CONTROL_ID_NOT_FOUND));
    SetLastError(0xdeadbeef);
    EXPECT_FALSE(CheckDlgButton(dialog, 4242, BST_CHECKED));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_CONTROL_ID_NOT_FOUND));
    EXPECT_EQ(IsDlgButtonChecked(dialog, 4242), 0u);
    BOOL translated = TRUE;
    EXPECT_EQ(GetDlgItemInt(dialog, 4242, &translated, FALSE), 0u);
    EXPECT_FALSE(translated);
    EXPECT_EQ(SendDlgItemMessageW(dialog, 4242, BM_GETCHECK, 0, 0), 0);
}

TEST_F(DialogItems, MapDialogRectNeedsADialog) {
    HWND plain = Make(WS_POPUP);
    RECT rect{0, 0, 4, 8};
    SetLastError(0xdeadbeef);
    EXPECT_FALSE(MapDialogRect(plain, &rect));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_WINDOW_NOT_DIALOG));
    EXPECT_EQ(rect.right, 4);
    DestroyWindow(plain);
}

}  // namespace
}  // namespace tam::test
