// The "Button" class: checks, clicks by mouse, Space and BM_CLICK, radio
// groups, owner drawing and the dialog codes, as Windows' buttons behave.
#include <tuple>

#include "win32/user32/control_fixture.h"

namespace tam::test {
namespace {

constexpr WPARAM kLeftButton = 0x0001;  // MK_LBUTTON: the left button is down
constexpr LPARAM kInside = MAKELPARAM(5, 5);
constexpr LPARAM kOutside = MAKELPARAM(-5, 200);

class Button : public ControlTest {
protected:
    HWND MakeButton(DWORD style, int id = 7, RECT rect = RECT{10, 10, 110, 40}) {
        return Control(u"Button", style, id, u"&Go", rect);
    }
    static LRESULT Check(HWND button) { return SendMessageW(button, BM_GETCHECK, 0, 0); }
    static LRESULT State(HWND button) { return SendMessageW(button, BM_GETSTATE, 0, 0); }
};

// --- Checks set by the program --------------------------------------------

struct SetCheckCase {
    DWORD style;
    WPARAM set;
    LRESULT expected;
};
const SetCheckCase kSetCheck[] = {
    {BS_CHECKBOX, BST_CHECKED, BST_CHECKED},
    {BS_AUTOCHECKBOX, BST_CHECKED, BST_CHECKED},
    {BS_AUTOCHECKBOX, BST_INDETERMINATE, BST_CHECKED},  // two states only
    {BS_3STATE, BST_INDETERMINATE, BST_INDETERMINATE},
    {BS_AUTO3STATE, BST_INDETERMINATE, BST_INDETERMINATE},
    {BS_RADIOBUTTON, BST_CHECKED, BST_CHECKED},
    {BS_AUTORADIOBUTTON, BST_CHECKED, BST_CHECKED},
    {BS_PUSHBUTTON, BST_CHECKED, BST_UNCHECKED},  // push buttons keep no check
    {BS_GROUPBOX, BST_CHECKED, BST_UNCHECKED},
};

void PrintTo(const SetCheckCase& c, std::ostream* out) {
    *out << "style " << c.style << " set " << c.set;
}

class ButtonSetCheck : public Button, public testing::WithParamInterface<SetCheckCase> {};

TEST_P(ButtonSetCheck, ChangesTheCheckAndNotifiesNobody) {
    HWND button = MakeButton(GetParam().style);
    ASSERT_TRUE(button);
    ClearLog();
    EXPECT_EQ(SendMessageW(button, BM_SETCHECK, GetParam().set, 0), 0);
    EXPECT_EQ(Check(button), GetParam().expected);
    EXPECT_EQ(State(button) & 3, GetParam().expected);
    EXPECT_TRUE(Heard().empty());
    SendMessageW(button, BM_SETCHECK, BST_UNCHECKED, 0);
    EXPECT_EQ(Check(button), BST_UNCHECKED);
    EXPECT_TRUE(Heard().empty());
}
INSTANTIATE_TEST_SUITE_P(All, ButtonSetCheck, testing::ValuesIn(kSetCheck));

// A checked radio button is the one Tab stops at in its group.
TEST_F(Button, RadioCheckCarriesTheTabStop) {
    HWND radio = MakeButton(BS_RADIOBUTTON);
    EXPECT_FALSE(GetWindowLongW(radio, GWL_STYLE) & WS_TABSTOP);
    SendMessageW(radio, BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_TRUE(GetWindowLongW(radio, GWL_STYLE) & WS_TABSTOP);
    SendMessageW(radio, BM_SETCHECK, BST_UNCHECKED, 0);
    EXPECT_FALSE(GetWindowLongW(radio, GWL_STYLE) & WS_TABSTOP);
}

// --- Clicks ------------------------------------------------------------------

enum class ClickBy { Mouse, Space, Message };

void ClickButton(HWND button, ClickBy by) {
    switch (by) {
        case ClickBy::Mouse:
            SendMessageW(button, WM_LBUTTONDOWN, kLeftButton, kInside);
            SendMessageW(button, WM_LBUTTONUP, 0, kInside);
            break;
        case ClickBy::Space:
            SetFocus(button);
            SendMessageW(button, WM_KEYDOWN, VK_SPACE, 0x00390001);
            SendMessageW(button, WM_KEYUP, VK_SPACE, LPARAM(0xC0390001));
            break;
        case ClickBy::Message:
            SendMessageW(button, BM_CLICK, 0, 0);
            break;
    }
}

struct ClickCase {
    DWORD style;
    WPARAM before;
    LRESULT after;
};
const ClickCase kClick[] = {
    {BS_PUSHBUTTON, BST_UNCHECKED, BST_UNCHECKED},
    {BS_DEFPUSHBUTTON, BST_UNCHECKED, BST_UNCHECKED},
    {BS_OWNERDRAW, BST_UNCHECKED, BST_UNCHECKED},
    {BS_CHECKBOX, BST_UNCHECKED, BST_UNCHECKED},  // the program checks it
    {BS_AUTOCHECKBOX, BST_UNCHECKED, BST_CHECKED},
    {BS_AUTOCHECKBOX, BST_CHECKED, BST_UNCHECKED},
    {BS_3STATE, BST_CHECKED, BST_CHECKED},
    {BS_AUTO3STATE, BST_UNCHECKED, BST_CHECKED},
    {BS_AUTO3STATE, BST_CHECKED, BST_INDETERMINATE},
    {BS_AUTO3STATE, BST_INDETERMINATE, BST_UNCHECKED},
    {BS_RADIOBUTTON, BST_UNCHECKED, BST_UNCHECKED},
    {BS_AUTORADIOBUTTON, BST_UNCHECKED, BST_CHECKED},
    {BS_AUTORADIOBUTTON, BST_CHECKED, BST_CHECKED},
};

void PrintTo(const ClickCase& c, std::ostream* out) {
    *out << "style " << c.style << " from " << c.before;
}
void PrintTo(ClickBy by, std::ostream* out) {
    *out << (by == ClickBy::Mouse ? "mouse" : by == ClickBy::Space ? "space" : "BM_CLICK");
}

class ButtonClick : public Button, public testing::WithParamInterface<std::tuple<ClickCase, ClickBy>> {};

// The parent hears BN_CLICKED once, after the button changed its check.
TEST_P(ButtonClick, ChangesTheCheckThenSendsClicked) {
    auto [c, by] = GetParam();
    HWND button = MakeButton(c.style);
    ASSERT_TRUE(button);
    SendMessageW(button, BM_SETCHECK, c.before, 0);
    LRESULT seenInClick = -1;
    TheHook() = [&](HWND hwnd, UINT message, WPARAM wParam, LPARAM) -> std::optional<LRESULT> {
        if (hwnd == parent && message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) seenInClick = Check(button);
        return std::nullopt;
    };
    ClearLog();
    ClickButton(button, by);
    EXPECT_EQ(Heard(), (std::vector<Notification>{Command(7, BN_CLICKED, button)}));
    EXPECT_EQ(seenInClick, c.after);
    EXPECT_EQ(Check(button), c.after);
    EXPECT_EQ(State(button) & BST_PUSHED, 0);
    EXPECT_EQ(GetCapture(), nullptr);
}
INSTANTIATE_TEST_SUITE_P(All, ButtonClick,
                         testing::Combine(testing::ValuesIn(kClick),
                                          testing::Values(ClickBy::Mouse, ClickBy::Space, ClickBy::Message)));

// A press takes the focus and the capture; while the pointer is away the
// button is up, and released away from it there is no click.
TEST_F(Button, PressDraggedOutAndReleasedGivesNoClick) {
    HWND button = MakeButton(BS_AUTOCHECKBOX);
    ClearLog();
    SendMessageW(button, WM_LBUTTONDOWN, kLeftButton, kInside);
    EXPECT_EQ(GetFocus(), button);
    EXPECT_EQ(GetCapture(), button);
    EXPECT_EQ(State(button), BST_PUSHED | BST_FOCUS);
    SendMessageW(button, WM_MOUSEMOVE, kLeftButton, kOutside);
    EXPECT_EQ(State(button), BST_FOCUS);
    SendMessageW(button, WM_MOUSEMOVE, kLeftButton, kInside);
    EXPECT_EQ(State(button), BST_PUSHED | BST_FOCUS);
    SendMessageW(button, WM_MOUSEMOVE, kLeftButton, kOutside);
    SendMessageW(button, WM_LBUTTONUP, 0, kOutside);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(State(button), BST_FOCUS);
    EXPECT_EQ(Check(button), BST_UNCHECKED);
    EXPECT_TRUE(Heard().empty());
}

// Losing the focus or the capture while pushed brings the button up
// without a click.
TEST_F(Button, LosingFocusOrCaptureWhilePushedCancelsTheClick) {
    HWND button = MakeButton(BS_PUSHBUTTON);
    HWND other = MakeButton(BS_PUSHBUTTON, 8, RECT{10, 50, 110, 80});
    SetFocus(button);
    ClearLog();
    SendMessageW(button, WM_KEYDOWN, VK_SPACE, 0x00390001);
    EXPECT_EQ(State(button), BST_PUSHED | BST_FOCUS);
    SetFocus(other);
    EXPECT_EQ(State(button), 0);
    SendMessageW(button, WM_KEYUP, VK_SPACE, LPARAM(0xC0390001));

    SendMessageW(button, WM_LBUTTONDOWN, kLeftButton, kInside);
    EXPECT_EQ(State(button), BST_PUSHED | BST_FOCUS);
    SetCapture(other);
    EXPECT_EQ(State(button) & BST_PUSHED, 0);
    SendMessageW(button, WM_LBUTTONUP, 0, kInside);
    EXPECT_TRUE(Heard().empty());
}

TEST_F(Button, DisabledButtonIgnoresClicks) {
    HWND button = MakeButton(BS_AUTOCHECKBOX);
    EnableWindow(button, FALSE);
    ClearLog();
    for (ClickBy by : {ClickBy::Mouse, ClickBy::Message}) ClickButton(button, by);
    EXPECT_EQ(Check(button), BST_UNCHECKED);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_TRUE(Heard().empty());
}

// A parent that destroys the button when it hears the click.
TEST_F(Button, ParentMayDestroyTheButtonInItsClick) {
    for (ClickBy by : {ClickBy::Mouse, ClickBy::Space, ClickBy::Message}) {
        HWND button = MakeButton(BS_AUTORADIOBUTTON);
        TheHook() = [&](HWND hwnd, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
            if (hwnd == parent && message == WM_COMMAND) DestroyWindow(button);
            return std::nullopt;
        };
        ClickButton(button, by);
        EXPECT_FALSE(IsWindow(button));
        EXPECT_EQ(GetCapture(), nullptr);
    }
}

// --- Radio groups --------------------------------------------------------------

// Two groups of auto radio buttons, each started by WS_GROUP; the first
// group also holds a check box.
class RadioGroups : public Button {
protected:
    void SetUp() override {
        Button::SetUp();
        a1 = Radio(WS_GROUP, 1);
        a2 = Radio(0, 2);
        box = MakeButton(BS_AUTOCHECKBOX, 3, Row(3));
        a3 = Radio(0, 4);
        b1 = Radio(WS_GROUP, 5);
        b2 = Radio(0, 6);
        for (HWND hwnd : {a1, a2, box, a3, b1, b2}) SendMessageW(hwnd, BM_SETCHECK, BST_CHECKED, 0);
        ClearLog();
    }
    static RECT Row(int i) { return RECT{10, 10 + 30 * i, 110, 35 + 30 * i}; }
    HWND Radio(DWORD style, int id) { return MakeButton(BS_AUTORADIOBUTTON | style, id, Row(id)); }
    std::vector<LRESULT> Checks() const {
        std::vector<LRESULT> out;
        for (HWND hwnd : {a1, a2, box, a3, b1, b2}) out.push_back(Check(hwnd));
        return out;
    }
    HWND a1 = nullptr, a2 = nullptr, box = nullptr, a3 = nullptr, b1 = nullptr, b2 = nullptr;
};

TEST_F(RadioGroups, ClickClearsTheOtherRadiosOfItsGroupOnly) {
    SendMessageW(a2, BM_CLICK, 0, 0);
    EXPECT_EQ(Checks(), (std::vector<LRESULT>{0, 1, 1, 0, 1, 1}));
    EXPECT_EQ(Heard(), (std::vector<Notification>{Command(2, BN_CLICKED, a2)}));
    ClearLog();
    SendMessageW(b2, WM_LBUTTONDOWN, kLeftButton, kInside);
    SendMessageW(b2, WM_LBUTTONUP, 0, kInside);
    EXPECT_EQ(Checks(), (std::vector<LRESULT>{0, 1, 1, 0, 0, 1}));
    EXPECT_EQ(Heard(), (std::vector<Notification>{Command(6, BN_CLICKED, b2)}));
}

TEST_F(RadioGroups, FirstOfAGroupClearsTheRestOfIt) {
    SendMessageW(a1, BM_CLICK, 0, 0);
    EXPECT_EQ(Checks(), (std::vector<LRESULT>{1, 0, 1, 0, 1, 1}));
}

// --- Kinds, styles and notifications ------------------------------------------

struct DialogCodeCase {
    DWORD style;
    LRESULT code;
};
const DialogCodeCase kDialogCodes[] = {
    {BS_PUSHBUTTON, DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON},
    {BS_DEFPUSHBUTTON, DLGC_BUTTON | DLGC_DEFPUSHBUTTON},
    {BS_CHECKBOX, DLGC_BUTTON},
    {BS_AUTO3STATE, DLGC_BUTTON},
    {BS_RADIOBUTTON, DLGC_BUTTON | DLGC_RADIOBUTTON},
    {BS_AUTORADIOBUTTON, DLGC_BUTTON | DLGC_RADIOBUTTON},
    {BS_GROUPBOX, DLGC_STATIC},
    {BS_OWNERDRAW, DLGC_BUTTON},
};
void PrintTo(const DialogCodeCase& c, std::ostream* out) {
    *out << "style " << c.style;
}
class ButtonDialogCode : public Button, public testing::WithParamInterface<DialogCodeCase> {};
TEST_P(ButtonDialogCode, AnswersItsKind) {
    HWND button = MakeButton(GetParam().style);
    EXPECT_EQ(SendMessageW(button, WM_GETDLGCODE, 0, 0), GetParam().code);
}
INSTANTIATE_TEST_SUITE_P(All, ButtonDialogCode, testing::ValuesIn(kDialogCodes));

// The dialog manager moves the default between push buttons with
// BM_SETSTYLE; the button's other style bits stay.
TEST_F(Button, SetStyleSwitchesTheDefaultPushButton) {
    HWND button = MakeButton(BS_PUSHBUTTON | BS_NOTIFY | BS_MULTILINE | WS_TABSTOP);
    EXPECT_EQ(SendMessageW(button, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE), 0);
    EXPECT_EQ(SendMessageW(button, WM_GETDLGCODE, 0, 0), DLGC_BUTTON | DLGC_DEFPUSHBUTTON);
    EXPECT_EQ(DWORD(GetWindowLongW(button, GWL_STYLE)),
              DWORD(WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON | BS_NOTIFY | BS_MULTILINE));
    SendMessageW(button, BM_SETSTYLE, BS_PUSHBUTTON, FALSE);
    EXPECT_EQ(SendMessageW(button, WM_GETDLGCODE, 0, 0), DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON);
}

TEST_F(Button, GroupBoxIsTransparentAndTakesNoClicks) {
    HWND group = MakeButton(BS_GROUPBOX);
    EXPECT_EQ(SendMessageW(group, WM_NCHITTEST, 0, MAKELPARAM(15, 15)), HTTRANSPARENT);
    ClearLog();
    SendMessageW(group, BM_CLICK, 0, 0);
    EXPECT_TRUE(Heard().empty());
    EXPECT_EQ(GetCapture(), nullptr);
}

// Focus notifications and double clicks come only from buttons that ask
// for them with BS_NOTIFY (radio and owner-drawn buttons always report
// double clicks).
struct NotifyCase {
    DWORD style;
    bool focusNotes;
    bool doubleClickNote;
};
const NotifyCase kNotify[] = {
    {BS_PUSHBUTTON, false, false},
    {BS_PUSHBUTTON | BS_NOTIFY, true, true},
    {BS_AUTOCHECKBOX | BS_NOTIFY, true, true},
    {BS_AUTORADIOBUTTON, false, true},
    {BS_OWNERDRAW, false, true},
};
void PrintTo(const NotifyCase& c, std::ostream* out) {
    *out << "style " << c.style;
}
class ButtonNotify : public Button, public testing::WithParamInterface<NotifyCase> {};
TEST_P(ButtonNotify, FocusAndDoubleClick) {
    HWND button = MakeButton(GetParam().style);
    ClearLog();
    SetFocus(button);
    SetFocus(parent);
    SendMessageW(button, WM_LBUTTONDBLCLK, kLeftButton, kInside);
    std::vector<Notification> expected;
    if (GetParam().focusNotes) {
        expected.push_back(Command(7, BN_SETFOCUS, button));
        expected.push_back(Command(7, BN_KILLFOCUS, button));
    }
    if (GetParam().doubleClickNote) expected.push_back(Command(7, BN_DBLCLK, button));
    EXPECT_EQ(Heard(), expected);
    SendMessageW(button, WM_LBUTTONUP, 0, kInside);  // ends a press that the double click began
}
INSTANTIATE_TEST_SUITE_P(All, ButtonNotify, testing::ValuesIn(kNotify));

TEST_F(Button, KeepsItsFontAndImage) {
    HWND button = MakeButton(BS_PUSHBUTTON | BS_BITMAP);
    HFONT font = CreateFontW(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, u"DejaVu Sans");
    EXPECT_EQ(SendMessageW(button, WM_GETFONT, 0, 0), 0);
    SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    EXPECT_EQ(SendMessageW(button, WM_GETFONT, 0, 0), reinterpret_cast<LRESULT>(font));

    HBITMAP first = CreateBitmap(8, 8, 1, 32, nullptr), second = CreateBitmap(8, 8, 1, 32, nullptr);
    EXPECT_EQ(SendMessageW(button, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(first)), 0);
    EXPECT_EQ(SendMessageW(button, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(second)),
              reinterpret_cast<LRESULT>(first));
    EXPECT_EQ(SendMessageW(button, BM_GETIMAGE, IMAGE_BITMAP, 0), reinterpret_cast<LRESULT>(second));
    EXPECT_EQ(SendMessageW(button, BM_GETIMAGE, IMAGE_ICON, 0), 0);
    DestroyWindow(button);
    BITMAP info{};
    EXPECT_EQ(GetObjectW(second, sizeof(info), &info), int(sizeof(info)));  // not the button's to delete
    DeleteObject(first);
    DeleteObject(second);
    DeleteObject(font);
}

// --- Owner drawing -------------------------------------------------------------

struct OwnerDrawCase {
    const char* name;
    bool pushed, focused, disabled;
    UINT state;
};
const OwnerDrawCase kOwnerDraw[] = {
    {"normal", false, false, false, 0},
    {"pushed", true, false, false, ODS_SELECTED},
    {"focused", false, true, false, ODS_FOCUS},
    {"disabled", false, false, true, ODS_DISABLED},
    {"pushedFocused", true, true, false, ODS_SELECTED | ODS_FOCUS},
};
class ButtonOwnerDraw : public Button, public testing::WithParamInterface<OwnerDrawCase> {};

TEST_P(ButtonOwnerDraw, ParentDrawsWithTheButtonsState) {
    const OwnerDrawCase& c = GetParam();
    HWND button = MakeButton(BS_OWNERDRAW, 42, RECT{5, 5, 85, 35});
    if (c.focused) SetFocus(button);
    if (c.pushed) SendMessageW(button, BM_SETSTATE, TRUE, 0);
    if (c.disabled) EnableWindow(button, FALSE);
    std::optional<DRAWITEMSTRUCT> drawn;
    WPARAM drawnId = 0;
    TheHook() = [&](HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) -> std::optional<LRESULT> {
        if (hwnd != parent || message != WM_DRAWITEM) return std::nullopt;
        drawnId = wParam;
        drawn = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        return TRUE;
    };
    HDC dc = CreateCompatibleDC(nullptr);
    SendMessageW(button, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    ASSERT_TRUE(drawn);
    EXPECT_EQ(drawnId, 42u);
    EXPECT_EQ(drawn->CtlType, UINT(ODT_BUTTON));
    EXPECT_EQ(drawn->CtlID, 42u);
    EXPECT_EQ(drawn->itemAction, UINT(ODA_DRAWENTIRE));
    EXPECT_EQ(drawn->itemState, c.state);
    EXPECT_EQ(drawn->hwndItem, button);
    EXPECT_EQ(drawn->hDC, dc);
    EXPECT_EQ(drawn->rcItem.left, 0);
    EXPECT_EQ(drawn->rcItem.top, 0);
    EXPECT_EQ(drawn->rcItem.right, 80);
    EXPECT_EQ(drawn->rcItem.bottom, 30);
    DeleteDC(dc);
}
INSTANTIATE_TEST_SUITE_P(All, ButtonOwnerDraw, testing::ValuesIn(kOwnerDraw),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tam::test
