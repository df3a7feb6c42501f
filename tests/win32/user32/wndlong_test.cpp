// Window words (subclassing, user data, ids, styles, extra bytes), window
// text through WM_SETTEXT and WM_GETTEXT, properties, and DefWindowProcW's
// default processing.
#include "win32/user32/window_fixture.h"

namespace tam::test {
namespace {

using Messages = std::vector<std::string>;
using WindowWords = WindowTest;

WNDPROC gPrevious = nullptr;
std::vector<UINT>* gSubclassSaw = nullptr;

// Answers WM_USER itself and hands everything else to the procedure it replaced.
LRESULT CALLBACK Subclass(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    gSubclassSaw->push_back(message);
    if (message == WM_USER) return 1234;
    return CallWindowProcW(gPrevious, hwnd, message, wParam, lParam);
}

TEST_F(WindowWords, SubclassingThroughTheProcedureWord) {
    HWND hwnd = Make(WS_POPUP);
    std::vector<UINT> saw;
    gSubclassSaw = &saw;
    gPrevious = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Subclass)));
    EXPECT_EQ(gPrevious, RecordingProc);
    EXPECT_EQ(GetWindowLongPtrW(hwnd, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(Subclass));
    ClearLog();
    EXPECT_EQ(SendMessageW(hwnd, WM_USER, 0, 0), 1234);
    EXPECT_TRUE(SetWindowTextW(hwnd, u"Through"));
    EXPECT_EQ(saw, (std::vector<UINT>{WM_USER, WM_SETTEXT}));
    EXPECT_EQ(MessagesOf(hwnd), (Messages{"WM_SETTEXT"}));  // passed on to the original
    // The 32-bit form cannot carry a procedure.
    SetLastError(0);
    EXPECT_EQ(GetWindowLongW(hwnd, GWLP_WNDPROC), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_INDEX));
    SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(gPrevious));
    EXPECT_EQ(SendMessageW(hwnd, WM_USER, 0, 0), 0);
    gSubclassSaw = nullptr;
}

TEST_F(WindowWords, UserDataIdAndExtraBytes) {
    HWND parent = Make(WS_POPUP);
    HWND hwnd = Make(WS_CHILD, parent, 5);
    EXPECT_EQ(SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0x123456789A), 0);
    EXPECT_EQ(GetWindowLongPtrW(hwnd, GWLP_USERDATA), 0x123456789A);
    EXPECT_EQ(SetWindowLongPtrW(hwnd, GWLP_ID, 9), 5);
    EXPECT_EQ(GetDlgItem(parent, 9), hwnd);
    EXPECT_EQ(GetWindowLongPtrW(hwnd, GWLP_HINSTANCE), reinterpret_cast<LONG_PTR>(GetModuleHandleW(nullptr)));
    // The class gives DLGWINDOWEXTRA bytes: the dialog words fit.
    EXPECT_EQ(SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, 7), 0);
    EXPECT_EQ(SetWindowLongPtrW(hwnd, DWLP_USER, 0x5555), 0);
    EXPECT_EQ(GetWindowLongPtrW(hwnd, DWLP_MSGRESULT), 7);
    EXPECT_EQ(GetWindowLongPtrW(hwnd, DWLP_USER), 0x5555);
    EXPECT_EQ(SetWindowLongW(hwnd, DLGWINDOWEXTRA - 4, -2), 0);
    EXPECT_EQ(GetWindowLongW(hwnd, DLGWINDOWEXTRA - 4), -2);
    struct Bad {
        int index;
        bool wide;
    };
    for (Bad bad : {Bad{DLGWINDOWEXTRA - 7, true}, Bad{DLGWINDOWEXTRA - 3, false}, Bad{-100, true}}) {
        SetLastError(0);
        if (bad.wide)
            EXPECT_EQ(GetWindowLongPtrW(hwnd, bad.index), 0) << bad.index;
        else
            EXPECT_EQ(GetWindowLongW(hwnd, bad.index), 0) << bad.index;
        EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_INDEX)) << bad.index;
    }
}

TEST_F(WindowWords, StyleChangesAreAnnounced) {
    HWND hwnd = Make(WS_POPUP);
    DWORD changingOld = 0, changingNew = 0;
    TheHook() = [&](HWND, UINT message, WPARAM which, LPARAM lParam) -> std::optional<LRESULT> {
        if (message == WM_STYLECHANGING && which == WPARAM(GWL_STYLE)) {
            auto styles = reinterpret_cast<STYLESTRUCT*>(lParam);
            changingOld = styles->styleOld;
            changingNew = styles->styleNew;
            styles->styleNew |= WS_BORDER;  // the procedure may change what is set
        }
        return std::nullopt;
    };
    ClearLog();
    LONG old = LONG(WS_POPUP | WS_CLIPSIBLINGS);
    EXPECT_EQ(SetWindowLongW(hwnd, GWL_STYLE, LONG(WS_POPUP | WS_DISABLED)), old);
    EXPECT_EQ(MessagesOf(hwnd), (Messages{"WM_STYLECHANGING", "WM_STYLECHANGED"}));
    EXPECT_EQ(changingOld, DWORD(old));
    EXPECT_EQ(changingNew, DWORD(WS_POPUP | WS_DISABLED));
    EXPECT_EQ(DWORD(GetWindowLongW(hwnd, GWL_STYLE)), DWORD(WS_POPUP | WS_DISABLED | WS_BORDER));
    EXPECT_FALSE(IsWindowEnabled(hwnd));
    EXPECT_EQ(SetWindowLongPtrW(hwnd, GWL_EXSTYLE, WS_EX_TOOLWINDOW), 0);
    EXPECT_EQ(GetWindowLongPtrW(hwnd, GWL_EXSTYLE), WS_EX_TOOLWINDOW);
}

// Window text goes through the window's procedure.
TEST_F(WindowWords, TextThroughSetTextAndGetText) {
    HWND hwnd = Make(WS_POPUP, nullptr, 0, u"First");
    WCHAR text[32];
    EXPECT_EQ(GetWindowTextW(hwnd, text, 32), 5);  // WM_NCCREATE kept the title
    EXPECT_EQ(std::u16string(text), u"First");
    ClearLog();
    EXPECT_TRUE(SetWindowTextW(hwnd, u"Second title"));
    EXPECT_EQ(MessagesOf(hwnd), (Messages{"WM_SETTEXT"}));
    EXPECT_EQ(std::u16string(reinterpret_cast<LPCWSTR>(First(hwnd, WM_SETTEXT).lParam)), u"Second title");
    ClearLog();
    EXPECT_EQ(GetWindowTextLengthW(hwnd), 12);
    EXPECT_EQ(GetWindowTextW(hwnd, text, 7), 6);
    EXPECT_EQ(std::u16string(text), u"Second");
    EXPECT_EQ(MessagesOf(hwnd), (Messages{"WM_GETTEXTLENGTH", "WM_GETTEXT"}));
    EXPECT_EQ(First(hwnd, WM_GETTEXT).wParam, 7u);
    // A procedure that keeps WM_SETTEXT to itself keeps the old text.
    TheHook() = [](HWND, UINT message, WPARAM, LPARAM) -> std::optional<LRESULT> {
        if (message == WM_SETTEXT) return TRUE;
        return std::nullopt;
    };
    EXPECT_TRUE(SetWindowTextW(hwnd, u"Ignored"));
    EXPECT_EQ(GetWindowTextW(hwnd, text, 32), 12);
    // A procedure that answers WM_GETTEXT itself decides the text.
    TheHook() = [](HWND, UINT message, WPARAM size, LPARAM buffer) -> std::optional<LRESULT> {
        if (message != WM_GETTEXT) return std::nullopt;
        lstrcpynW(reinterpret_cast<LPWSTR>(buffer), u"Own", int(size));
        return 3;
    };
    EXPECT_EQ(GetWindowTextW(hwnd, text, 32), 3);
    EXPECT_EQ(std::u16string(text), u"Own");
    TheHook() = nullptr;
    EXPECT_TRUE(SetWindowTextW(hwnd, nullptr));
    EXPECT_EQ(GetWindowTextLengthW(hwnd), 0);
}

TEST_F(WindowWords, PropertiesByNameAndAtom) {
    HWND hwnd = Make(WS_POPUP);
    HANDLE value = reinterpret_cast<HANDLE>(ULONG_PTR(0xABC));
    EXPECT_TRUE(SetPropW(hwnd, u"Korvan.Page", value));
    EXPECT_EQ(GetPropW(hwnd, u"KORVAN.PAGE"), value);
    EXPECT_TRUE(SetPropW(hwnd, MAKEINTATOM(0x42), reinterpret_cast<HANDLE>(1)));
    EXPECT_EQ(GetPropW(hwnd, MAKEINTATOM(0x42)), reinterpret_cast<HANDLE>(1));
    EXPECT_EQ(GetPropW(hwnd, u"Other"), nullptr);
    EXPECT_EQ(RemovePropW(hwnd, u"Korvan.Page"), value);
    EXPECT_EQ(GetPropW(hwnd, u"Korvan.Page"), nullptr);
    EXPECT_EQ(RemovePropW(hwnd, u"Korvan.Page"), nullptr);
    HWND other = Make(WS_POPUP);
    EXPECT_EQ(GetPropW(other, MAKEINTATOM(0x42)), nullptr);  // each window has its own
}

struct DefaultCase {
    const char* name;
    UINT message;
    WPARAM wParam;
    Messages expected;  // what the window gets, the message itself first
    bool destroyed;
};

void PrintTo(const DefaultCase& c, std::ostream* os) { *os << c.name; }

const DefaultCase kDefaults[] = {
    {"CloseDestroys", WM_CLOSE, 0, {"WM_CLOSE", "WM_DESTROY", "WM_NCDESTROY"}, true},
    {"SysCommandCloseSendsClose",
     WM_SYSCOMMAND,
     SC_CLOSE,
     {"WM_SYSCOMMAND", "WM_CLOSE", "WM_DESTROY", "WM_NCDESTROY"},
     true},
    {"SysCommandLowBitsIgnored",
     WM_SYSCOMMAND,
     SC_CLOSE | 3,
     {"WM_SYSCOMMAND", "WM_CLOSE", "WM_DESTROY", "WM_NCDESTROY"},
     true},
    {"SysCommandMoveReturnsAtOnce", WM_SYSCOMMAND, SC_MOVE | 2, {"WM_SYSCOMMAND"}, false},
    {"UserMessageDoesNothing", WM_USER + 3, 0, {"message 1027"}, false},
};

class DefaultProcessing : public WindowTest, public testing::WithParamInterface<DefaultCase> {};

TEST_P(DefaultProcessing, AsWindowsDoes) {
    const DefaultCase& c = GetParam();
    HWND hwnd = Make(WS_POPUP);
    ClearLog();
    EXPECT_EQ(SendMessageW(hwnd, c.message, c.wParam, 0), 0);
    EXPECT_EQ(MessagesOf(hwnd), c.expected);
    EXPECT_EQ(IsWindow(hwnd) == FALSE, c.destroyed);
}

INSTANTIATE_TEST_SUITE_P(All, DefaultProcessing, testing::ValuesIn(kDefaults),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(WindowWords, ProgramWindowIsAWindowOfTheManager) {
    HWND program = GetActiveWindow();
    ASSERT_TRUE(IsWindow(program));
    EXPECT_TRUE(IsWindowVisible(program));
    EXPECT_EQ(GetAncestor(program, GA_PARENT), GetDesktopWindow());
    WCHAR name[32];
    EXPECT_EQ(GetClassNameW(program, name, 32), 20);
    EXPECT_EQ(std::u16string(name), u"KorvanDocumentWindow");
    // Its title is the machine's, both ways.
    machine().MutableSettings().programWindowTitle = u"Budget.xlsx - Excel";
    WCHAR title[32];
    EXPECT_EQ(GetWindowTextW(program, title, 32), 19);
    EXPECT_EQ(std::u16string(title), u"Budget.xlsx - Excel");
    EXPECT_TRUE(SetWindowTextW(program, u"Renamed"));
    EXPECT_EQ(machine().Settings().programWindowTitle, u"Renamed");
    // The program decides when its window goes.
    SendMessageW(program, WM_CLOSE, 0, 0);
    EXPECT_TRUE(IsWindow(program));
    SetLastError(0);
    EXPECT_FALSE(DestroyWindow(program));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ACCESS_DENIED));
    RECT rect;
    ASSERT_TRUE(GetWindowRect(program, &rect));
    EXPECT_EQ(rect.right - rect.left, GetSystemMetrics(SM_CXSCREEN));
}

}  // namespace
}  // namespace tam::test
