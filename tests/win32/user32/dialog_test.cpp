// Dialogs made from templates: the messages in Windows' order, controls
// placed in dialog units of the template's font, the dialog class, and
// DefDlgProcW's answers.
#include "win32/user32/dialog_fixture.h"

#include "machine/debuglog.h"

namespace tam::test {
namespace {

class Dialog : public DialogTest {};

// The base units of a font as Windows defines them: the average width of
// the 52 letters (their extent over 26, halved with rounding) and tmHeight.
SIZE MeasureBaseUnits(HFONT font) {
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font);
    SIZE extent{};
    GetTextExtentPoint32W(dc, u"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", 52, &extent);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, old);
    DeleteDC(dc);
    return SIZE{(extent.cx / 26 + 1) / 2, metrics.tmHeight};
}

RECT InDialogUnits(int x, int y, int cx, int cy, SIZE units) {
    return RECT{MulDiv(x, units.cx, 4), MulDiv(y, units.cy, 8), MulDiv(x + cx, units.cx, 4),
                MulDiv(y + cy, units.cy, 8)};
}

RECT ChildRect(HWND dialog, HWND child) {
    RECT r{};
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

void ExpectRect(const RECT& actual, const RECT& expected) {
    EXPECT_EQ(actual.left, expected.left);
    EXPECT_EQ(actual.top, expected.top);
    EXPECT_EQ(actual.right, expected.right);
    EXPECT_EQ(actual.bottom, expected.bottom);
}

TEST_F(Dialog, ProcedureGetsTheFontThenEachControlIsMadeThenInitDialog) {
    HWND dialog = MakeDialog(IDD_SETTINGS, nullptr, 0x5150);
    ASSERT_NE(dialog, nullptr);
    std::map<HWND, std::string> names{{dialog, "dialog"}};
    const std::pair<int, const char*> ids[] = {{IDC_LABEL, "label"},       {IDC_USERNAME, "name"},
                                               {IDC_PORTRAIT, "portrait"}, {IDC_LANDSCAPE, "landscape"},
                                               {IDC_SEPIA, "sepia"},       {IDC_HIDDEN, "hidden"},
                                               {IDC_APPLY, "apply"},       {IDOK, "ok"},
                                               {IDCANCEL, "cancel"}};
    std::vector<std::string> expected{"dialog:setfont"};
    for (auto [id, name] : ids) {
        names[Item(dialog, id)] = name;
        expected.push_back(std::string(name) + ":create");
        expected.push_back(std::string(name) + ":setfont");
    }
    expected.push_back("dialog:initdialog");
    std::vector<std::string> seen;
    for (const auto& m : Logged()) {
        auto it = names.find(m.hwnd);
        if (it == names.end()) continue;
        if (m.message == WM_SETFONT) seen.push_back(it->second + ":setfont");
        if (m.message == WM_CREATE) seen.push_back(it->second + ":create");
        if (m.message == WM_INITDIALOG) seen.push_back(it->second + ":initdialog");
    }
    EXPECT_EQ(seen, expected);

    // Controls are children in template order, with WS_EX_NOPARENTNOTIFY.
    HWND previous = nullptr;
    for (auto [id, name] : ids) {
        HWND control = Item(dialog, id);
        EXPECT_EQ(GetWindow(control, GW_HWNDPREV), previous) << name;
        EXPECT_TRUE(GetWindowLongW(control, GWL_EXSTYLE) & WS_EX_NOPARENTNOTIFY) << name;
        previous = control;
    }
    LoggedMessage init = First(dialog, WM_INITDIALOG);
    EXPECT_EQ(reinterpret_cast<HWND>(init.wParam), Item(dialog, IDC_USERNAME));  // the first tab stop
    EXPECT_EQ(init.lParam, 0x5150);
    // The procedure never sees creation itself.
    EXPECT_TRUE(All(dialog, WM_CREATE).empty());
    DestroyWindow(dialog);
}

TEST_F(Dialog, InitDialogAnsweringTrueFocusesTheFirstTabStopAndSelectsItsText) {
    HWND dialog = MakeDialog(IDD_SETTINGS);
    ASSERT_NE(dialog, nullptr);
    HWND name = Item(dialog, IDC_USERNAME);
    EXPECT_EQ(GetFocus(), name);
    auto selections = All(name, EM_SETSEL);
    ASSERT_EQ(selections.size(), 1u);
    EXPECT_EQ(selections[0].wParam, 0u);
    EXPECT_EQ(selections[0].lParam, -1);
    DestroyWindow(dialog);
}

TEST_F(Dialog, InitDialogAnsweringFalseLeavesTheFocusAlone) {
    HWND other = Make(WS_POPUP | WS_VISIBLE);
    SetFocus(other);
    TheDialogHook() = [](HWND, UINT message, WPARAM, LPARAM) -> std::optional<INT_PTR> {
        if (message == WM_INITDIALOG) return FALSE;
        return std::nullopt;
    };
    HWND dialog = MakeDialog(IDD_SETTINGS);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(GetFocus(), other);
    EXPECT_FALSE(IsWindowVisible(dialog));  // the template has no WS_VISIBLE
    DestroyWindow(dialog);
    DestroyWindow(other);
}

TEST_F(Dialog, ControlsAndClientAreaAreTheTemplatesRectanglesInTheFontsUnits) {
    HWND dialog = MakeDialog(IDD_SETTINGS);
    ASSERT_NE(dialog, nullptr);
    auto font = reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0));
    ASSERT_NE(font, nullptr);
    LOGFONTW lf{};
    ASSERT_EQ(GetObjectW(font, sizeof(lf), &lf), int(sizeof(lf)));
    EXPECT_EQ(lf.lfHeight, -11);  // 8 points at 96 dpi
    EXPECT_EQ(lf.lfWeight, 400);
    EXPECT_EQ(std::u16string(lf.lfFaceName), u"MS Shell Dlg");

    SIZE units = MeasureBaseUnits(font);
    ASSERT_GT(units.cx, 0);
    ExpectRect(ChildRect(dialog, Item(dialog, IDC_USERNAME)), InDialogUnits(50, 5, 100, 12, units));
    ExpectRect(ChildRect(dialog, Item(dialog, IDCANCEL)), InDialogUnits(143, 99, 50, 14, units));
    RECT client{};
    GetClientRect(dialog, &client);
    ExpectRect(client, InDialogUnits(0, 0, 200, 120, units));
    RECT mapped{10, 12, 210, 132};
    ASSERT_TRUE(MapDialogRect(dialog, &mapped));
    ExpectRect(mapped, InDialogUnits(10, 12, 200, 120, units));
    // The client area's origin is the template's position (no owner: on the screen).
    POINT origin{0, 0};
    ClientToScreen(dialog, &origin);
    EXPECT_EQ(origin.x, mapped.left);
    EXPECT_EQ(origin.y, mapped.top);
    DestroyWindow(dialog);
}

TEST_F(Dialog, WithoutAFontTheSystemFontsUnitsAndNoSetFont) {
    HWND dialog = MakeDialog(IDD_PLAIN_NOFONT);
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(All(dialog, WM_SETFONT).empty());
    EXPECT_EQ(SendMessageW(dialog, WM_GETFONT, 0, 0), 0);
    LONG base = GetDialogBaseUnits();
    SIZE units{LOWORD(base), HIWORD(base)};
    EXPECT_EQ(units.cx, MeasureBaseUnits(static_cast<HFONT>(GetStockObject(SYSTEM_FONT))).cx);
    RECT client{};
    GetClientRect(dialog, &client);
    ExpectRect(client, InDialogUnits(0, 0, 100, 50, units));
    // A static's title given as an ordinal reaches the control as 0xFFFF and the id.
    EXPECT_EQ(GetPropW(Item(dialog, IDC_ICON_STATIC), u"TitleOrdinal"), reinterpret_cast<HANDLE>(7));
    DestroyWindow(dialog);
}

TEST_F(Dialog, TemplateClassCopiedFromTheDialogClassMakesTheDialog) {
    WNDCLASSW wc{};
    ASSERT_TRUE(GetClassInfoW(nullptr, u"#32770", &wc));
    EXPECT_EQ(wc.cbWndExtra, DLGWINDOWEXTRA);
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = u"ProbeDialogClass";
    ASSERT_NE(RegisterClassW(&wc), 0);
    HWND dialog = MakeDialog(IDD_COPIED_CLASS);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(ClassOf(dialog), u"ProbeDialogClass");
    EXPECT_EQ(GetWindowLongPtrW(dialog, DWLP_DLGPROC), reinterpret_cast<LONG_PTR>(&LoggingDialogProc));
    EXPECT_EQ(All(dialog, WM_INITDIALOG).size(), 1u);
    EXPECT_EQ(GetFocus(), Item(dialog, IDC_COPIES));
    DestroyWindow(dialog);
}

TEST_F(Dialog, MissingTemplateFailsWithTheResourceError) {
    SetLastError(0xdeadbeef);
    EXPECT_EQ(MakeDialog(999), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_RESOURCE_NAME_NOT_FOUND));
    SetLastError(0xdeadbeef);
    EXPECT_EQ(DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(999), nullptr, LoggingDialogProc, 0), -1);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_RESOURCE_NAME_NOT_FOUND));
}

TEST_F(Dialog, ControlOfAMissingClassFailsTheDialogUnlessNoFailCreate) {
    SetLastError(0xdeadbeef);
    EXPECT_EQ(MakeDialog(IDD_MISSING_CLASS), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_CANNOT_FIND_WND_CLASS));
    EXPECT_EQ(FindWindowW(u"#32770", nullptr), nullptr);  // the half-made dialog is gone
    for (const auto& m : Logged()) EXPECT_NE(m.message, UINT(WM_INITDIALOG));

    HWND dialog = MakeDialog(IDD_MISSING_CLASS_NOFAIL);
    ASSERT_NE(dialog, nullptr);
    EXPECT_NE(Item(dialog, IDC_USERNAME), nullptr);
    EXPECT_EQ(Item(dialog, IDC_COPIES), nullptr);
    DestroyWindow(dialog);
}

// DefDlgProcW: a handled message answers DWLP_MSGRESULT, except those whose
// answer is the procedure's own.
TEST_F(Dialog, HandledMessagesAnswerMsgResultOrTheProceduresOwnValue) {
    HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
    TheDialogHook() = [brush](HWND hwnd, UINT message, WPARAM, LPARAM) -> std::optional<INT_PTR> {
        if (message == WM_APP + 5) {
            SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, 77);
            return TRUE;
        }
        if (message == WM_APP + 6) return TRUE;  // handled, result left 0
        if (message == WM_CTLCOLORSTATIC) return reinterpret_cast<INT_PTR>(brush);
        return std::nullopt;
    };
    HWND dialog = MakeDialog(IDD_SETTINGS);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(SendMessageW(dialog, WM_APP + 5, 0, 0), 77);
    EXPECT_EQ(SendMessageW(dialog, WM_APP + 6, 0, 0), 0);  // the word is cleared before each message
    EXPECT_EQ(SendMessageW(dialog, WM_CTLCOLORSTATIC, 0, 0), reinterpret_cast<LRESULT>(brush));
    EXPECT_EQ(GetWindowLongPtrW(dialog, DWLP_MSGRESULT), 0);
    DestroyWindow(dialog);
    DeleteObject(brush);
}

TEST_F(Dialog, CloseWithoutAnAnswerPostsCancelUnlessCancelIsDisabled) {
    HWND dialog = MakeDialog(IDD_SETTINGS);
    ASSERT_NE(dialog, nullptr);
    HWND cancel = Item(dialog, IDCANCEL);
    EXPECT_EQ(SendMessageW(dialog, WM_CLOSE, 0, 0), 0);
    EXPECT_TRUE(Commands(dialog).empty());  // posted, not sent
    PumpDialog(dialog);
    auto commands = All(dialog, WM_COMMAND);
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(commands[0].wParam, MAKEWPARAM(IDCANCEL, BN_CLICKED));
    EXPECT_EQ(reinterpret_cast<HWND>(commands[0].lParam), cancel);
    EXPECT_TRUE(IsWindow(dialog));

    EnableWindow(cancel, FALSE);
    SendMessageW(dialog, WM_CLOSE, 0, 0);
    PumpDialog(dialog);
    EXPECT_EQ(All(dialog, WM_COMMAND).size(), 1u);
    DestroyWindow(dialog);
}

TEST_F(Dialog, FocusIsKeptWhileInactiveAndGivenBackOnActivation) {
    HWND dialog = MakeDialog(IDD_SETTINGS);
    ASSERT_NE(dialog, nullptr);
    ShowWindow(dialog, SW_SHOW);
    HWND apply = Item(dialog, IDC_APPLY);
    SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(apply), TRUE);
    ASSERT_EQ(GetFocus(), apply);
    HWND other = Make(WS_POPUP | WS_VISIBLE);
    SetActiveWindow(other);
    EXPECT_NE(GetFocus(), apply);
    SetActiveWindow(dialog);
    EXPECT_EQ(GetFocus(), apply);
    DestroyWindow(other);
    DestroyWindow(dialog);
}

// Templates built in memory, in a GlobalAlloc block of exactly their size.
class TemplateWriter {
public:
    void Word(WORD w) { Put(&w, sizeof(w)); }
    void DWord(DWORD d) { Put(&d, sizeof(d)); }
    void String(std::u16string_view s) {
        for (char16_t c : s) Word(WORD(c));
        Word(0);
    }
    void Align() {
        while (bytes.size() % 4) bytes.push_back(0);
    }
    void Put(const void* p, size_t n) {
        auto b = static_cast<const BYTE*>(p);
        bytes.insert(bytes.end(), b, b + n);
    }
    std::vector<BYTE> bytes;
};

struct TemplateShape {
    const char* name;
    bool extended;
    WORD declaredItems;
    int items;
    WORD classAtom;  // 0: the class "ProbeEdit" by name
    WORD creationDeclared;
    WORD creationGiven;
    size_t cut;  // bytes taken off the end
};

std::vector<BYTE> BuildTemplate(const TemplateShape& s) {
    TemplateWriter w;
    const DWORD style = DS_SETFONT | WS_POPUP | WS_CAPTION;
    if (s.extended) {
        w.Word(1);
        w.Word(0xFFFF);
        w.DWord(0);  // help id
        w.DWord(0);  // extended style
        w.DWord(style);
    } else {
        w.DWord(style);
        w.DWord(0);
    }
    w.Word(s.declaredItems);
    for (short v : {short(0), short(0), short(100), short(50)}) w.Word(WORD(v));
    w.Word(0);  // no menu
    w.Word(0);  // the dialog class
    w.String(u"Built");
    w.Word(8);
    if (s.extended) {
        w.Word(400);
        w.Put("\0\1", 2);  // not italic, DEFAULT_CHARSET
    }
    w.String(u"MS Shell Dlg");
    for (int i = 0; i < s.items; ++i) {
        w.Align();
        const DWORD itemStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP;
        if (s.extended) {
            w.DWord(0);
            w.DWord(0);
            w.DWord(itemStyle);
        } else {
            w.DWord(itemStyle);
            w.DWord(0);
        }
        for (short v : {short(5), short(5 + 15 * i), short(40), short(12)}) w.Word(WORD(v));
        if (s.extended)
            w.DWord(DWORD(1200 + i));
        else
            w.Word(WORD(1200 + i));
        if (s.classAtom) {
            w.Word(0xFFFF);
            w.Word(s.classAtom);
        } else {
            w.String(u"ProbeEdit");
        }
        w.Word(0);  // no title
        w.Word(s.creationDeclared);
        for (WORD k = 0; k < s.creationGiven; ++k) w.Put("\x2A", 1);
    }
    w.bytes.resize(w.bytes.size() - s.cut);
    return w.bytes;
}

HGLOBAL InBlock(const std::vector<BYTE>& bytes) {
    HGLOBAL block = GlobalAlloc(GMEM_FIXED, bytes.size());
    std::memcpy(block, bytes.data(), bytes.size());
    return block;
}

void PrintTo(const TemplateShape& shape, std::ostream* os) { *os << shape.name; }

class MalformedTemplate : public DialogTest, public testing::WithParamInterface<TemplateShape> {};

TEST_P(MalformedTemplate, FailsTheDialogWithoutReadingPastItsEnd) {
    HGLOBAL block = InBlock(BuildTemplate(GetParam()));
    auto dialogTemplate = static_cast<LPCDLGTEMPLATEW>(block);
    w32::DebugLogClear();
    SetLastError(0xdeadbeef);
    EXPECT_EQ(CreateDialogIndirectParamW(nullptr, dialogTemplate, nullptr, LoggingDialogProc, 0), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    EXPECT_NE(w32::DebugLogText().find("dialog template refused"), std::string::npos);
    SetLastError(0xdeadbeef);
    EXPECT_EQ(DialogBoxIndirectParamW(nullptr, dialogTemplate, nullptr, LoggingDialogProc, 0), -1);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    EXPECT_TRUE(Logged().empty());  // no window was made
    GlobalFree(block);
}

const TemplateShape kMalformed[] = {
    {"CountPromisesAMissingItem", true, 2, 1, 0, 0, 0, 0},
    {"ClassicCountPromisesAMissingItem", false, 3, 2, 0, 0, 0, 0},
    {"CreationDataRunsPastTheEnd", true, 1, 1, 0, 8, 2, 0},
    {"FaceLosesItsTerminator", true, 0, 0, 0, 0, 0, 2},
    {"HeaderCutShort", true, 0, 0, 0, 0, 0, 54},
    {"UnknownControlAtom", true, 1, 1, 0x0090, 0, 0, 0},
    {"ItemCutInItsClassName", false, 1, 1, 0, 0, 0, 6},
};
INSTANTIATE_TEST_SUITE_P(All, MalformedTemplate, testing::ValuesIn(kMalformed),
                         [](const testing::TestParamInfo<TemplateShape>& info) { return info.param.name; });

TEST_F(Dialog, InMemoryTemplatesOfBothFormsMakeTheirControlsWithCreationData) {
    for (bool extended : {true, false}) {
        TemplateShape shape{"", extended, 2, 2, 0, 4, 4, 0};
        HGLOBAL block = InBlock(BuildTemplate(shape));
        HWND dialog = CreateDialogIndirectParamW(nullptr, static_cast<LPCDLGTEMPLATEW>(block), nullptr,
                                                 LoggingDialogProc, 0);
        ASSERT_NE(dialog, nullptr) << extended;
        for (int id : {1200, 1201}) {
            HWND control = Item(dialog, id);
            ASSERT_NE(control, nullptr) << id;
            EXPECT_EQ(ClassOf(control), u"ProbeEdit");
            // The control's WM_CREATE gets the count word and the bytes after it.
            EXPECT_EQ(GetPropW(control, u"CreationCount"), reinterpret_cast<HANDLE>(4));
            EXPECT_EQ(GetPropW(control, u"CreationFirst"), reinterpret_cast<HANDLE>(0x2A2A));
        }
        WCHAR title[16];
        GetWindowTextW(dialog, title, 16);
        EXPECT_EQ(std::u16string(title), u"Built");
        DestroyWindow(dialog);
        GlobalFree(block);
    }
}

}  // namespace
}  // namespace tam::test
