// The "Edit" control: its text, the notifications changes send, the limit,
// undo, and the styles that refuse or change what is typed.
#include "win32/user32/edit_fixture.h"

namespace tam::test {
namespace {

using Codes = std::vector<std::string>;
const Codes kChanged = {"EN_UPDATE", "EN_CHANGE"};

TEST_F(EditTest, CreationTextSendsNothing) {
    HWND edit = MakeEdit(0, u"first");
    EXPECT_EQ(Text(edit), u"first");
    EXPECT_EQ(Notifications(edit), Codes{});
    EXPECT_EQ(SendMessageW(edit, EM_GETMODIFY, 0, 0), FALSE);
    EXPECT_EQ(SendMessageW(edit, EM_CANUNDO, 0, 0), FALSE);
}

// WM_SETTEXT replaces the text and always sends EN_UPDATE then EN_CHANGE:
// the same text again, a multi-line, a read-only and a disabled control too.
struct SetTextCase {
    const char* name;
    DWORD style;
    const char16_t* before;
    const char16_t* after;
};
const SetTextCase kSetText[] = {
    {"SingleLine", ES_AUTOHSCROLL, u"old", u"new text"},
    {"SameText", ES_AUTOHSCROLL, u"same", u"same"},
    {"MultiLine", ES_MULTILINE, u"a\r\nb", u"one\r\ntwo\r\nthree"},
    {"ReadOnly", ES_READONLY, u"old", u"new"},
    {"Disabled", WS_DISABLED, u"old", u"new"},
    {"ToEmpty", 0, u"old", u""},
};
class EditSetText : public EditTest, public testing::WithParamInterface<SetTextCase> {};

TEST_P(EditSetText, SendsUpdateThenChangeAndResetsTheControl) {
    const auto& c = GetParam();
    HWND edit = MakeEdit(c.style, c.before);
    Type(edit, u"x");  // something to undo and a modified flag
    SendMessageW(edit, EM_SETSEL, 1, 2);
    ClearLog();
    EXPECT_TRUE(SetWindowTextW(edit, c.after));
    EXPECT_EQ(Notifications(edit), kChanged);
    EXPECT_EQ(Text(edit), c.after);
    EXPECT_EQ(Selection(edit), std::make_pair(DWORD(0), DWORD(0)));
    EXPECT_EQ(SendMessageW(edit, EM_GETMODIFY, 0, 0), FALSE);
    EXPECT_EQ(SendMessageW(edit, EM_CANUNDO, 0, 0), FALSE);
}
INSTANTIATE_TEST_SUITE_P(All, EditSetText, testing::ValuesIn(kSetText),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(EditTest, GetTextCopiesWhatFitsWithATerminator) {
    HWND edit = MakeEdit(0, u"abcdef");
    WCHAR buffer[8];
    std::fill(std::begin(buffer), std::end(buffer), u'#');
    EXPECT_EQ(SendMessageW(edit, WM_GETTEXT, 4, reinterpret_cast<LPARAM>(buffer)), 3);
    EXPECT_EQ(std::u16string(buffer), u"abc");
    EXPECT_EQ(buffer[4], u'#');
    EXPECT_EQ(SendMessageW(edit, WM_GETTEXT, 0, reinterpret_cast<LPARAM>(buffer)), 0);
    EXPECT_EQ(SendMessageW(edit, WM_GETTEXTLENGTH, 0, 0), 6);
}

TEST_F(EditTest, EachTypedCharacterSendsOneUpdateAndChange) {
    HWND edit = MakeEdit(0);
    ClearLog();
    Type(edit, u"abc");
    EXPECT_EQ(Text(edit), u"abc");
    EXPECT_EQ(Notifications(edit), (Codes{"EN_UPDATE", "EN_CHANGE", "EN_UPDATE", "EN_CHANGE", "EN_UPDATE", "EN_CHANGE"}));
    EXPECT_EQ(Selection(edit), std::make_pair(DWORD(3), DWORD(3)));
    EXPECT_EQ(SendMessageW(edit, EM_GETMODIFY, 0, 0), TRUE);
}

TEST_F(EditTest, TypingReplacesTheSelection) {
    HWND edit = MakeEdit(0, u"abcdef");
    SendMessageW(edit, EM_SETSEL, 1, 4);
    Type(edit, u"X");
    EXPECT_EQ(Text(edit), u"aXef");
    EXPECT_EQ(Selection(edit), std::make_pair(DWORD(2), DWORD(2)));
}

TEST_F(EditTest, BackspaceErasesTheCharacterBeforeTheCaretOrTheSelection) {
    HWND edit = MakeEdit(0, u"abcdef");
    SendMessageW(edit, EM_SETSEL, 3, 3);
    Type(edit, u"\b");
    EXPECT_EQ(Text(edit), u"abdef");
    SendMessageW(edit, EM_SETSEL, 1, 3);
    Type(edit, u"\b");
    EXPECT_EQ(Text(edit), u"aef");
    SendMessageW(edit, EM_SETSEL, 0, 0);
    ClearLog();
    Type(edit, u"\b");  // nothing before the caret
    EXPECT_EQ(Text(edit), u"aef");
    EXPECT_EQ(Notifications(edit), Codes{});
}

TEST_F(EditTest, BackspaceTakesALineBreakAsOne) {
    HWND edit = MakeEdit(ES_MULTILINE, u"ab\r\ncd");
    SendMessageW(edit, EM_SETSEL, 4, 4);
    Type(edit, u"\b");
    EXPECT_EQ(Text(edit), u"abcd");
    EXPECT_EQ(Selection(edit), std::make_pair(DWORD(2), DWORD(2)));
}

// Enter and Tab go into a multi-line control; a single-line control leaves
// them (and other control characters) to its dialog.
struct KeyCharCase {
    DWORD style;
    char16_t ch;
    const char16_t* expected;
};
const KeyCharCase kKeyChars[] = {
    {ES_MULTILINE | ES_WANTRETURN, u'\r', u"ab\r\n"}, {ES_MULTILINE, u'\t', u"ab\t"},
    {0, u'\r', u"ab"}, {0, u'\t', u"ab"}, {0, 0x1B, u"ab"}, {ES_MULTILINE, 0x1B, u"ab"}, {0, 0x02, u"ab"},
};
class EditKeyChars : public EditTest, public testing::WithParamInterface<KeyCharCase> {};

TEST_P(EditKeyChars, GoInOnlyWhereTheControlTakesThem) {
    HWND edit = MakeEdit(GetParam().style, u"ab");
    SendMessageW(edit, EM_SETSEL, 2, 2);
    Type(edit, std::u16string(1, GetParam().ch));
    EXPECT_EQ(Text(edit), GetParam().expected);
}
INSTANTIATE_TEST_SUITE_P(All, EditKeyChars, testing::ValuesIn(kKeyChars));

TEST_F(EditTest, DefaultLimitAndWhatZeroStandsFor) {
    HWND single = MakeEdit(0);
    HWND multi = MakeEdit(ES_MULTILINE, u"", RECT{10, 50, 210, 150}, 101);
    EXPECT_EQ(SendMessageW(single, EM_GETLIMITTEXT, 0, 0), 32767);
    SendMessageW(single, EM_LIMITTEXT, 0, 0);
    EXPECT_EQ(SendMessageW(single, EM_GETLIMITTEXT, 0, 0), 0x7FFFFFFE);
    SendMessageW(multi, EM_SETLIMITTEXT, 0, 0);
    EXPECT_EQ(DWORD(SendMessageW(multi, EM_GETLIMITTEXT, 0, 0)), 0xFFFFFFFFu);
    SendMessageW(single, EM_LIMITTEXT, 12, 0);
    EXPECT_EQ(SendMessageW(single, EM_GETLIMITTEXT, 0, 0), 12);
}

TEST_F(EditTest, LimitRefusesTypingBeyondItWithMaxText) {
    HWND edit = MakeEdit(0);
    SendMessageW(edit, EM_LIMITTEXT, 3, 0);
    Type(edit, u"ab");
    ClearLog();
    Type(edit, u"cd");
    EXPECT_EQ(Text(edit), u"abc");
    EXPECT_EQ(Notifications(edit), (Codes{"EN_UPDATE", "EN_CHANGE", "EN_MAXTEXT"}));
    // Typing over a selection has the selection's room.
    SendMessageW(edit, EM_SETSEL, 0, 1);
    Type(edit, u"Z");
    EXPECT_EQ(Text(edit), u"Zbc");
}

TEST_F(EditTest, LimitDoesNotCutSetTextButStopsTypingAfterIt) {
    HWND edit = MakeEdit(0);
    SendMessageW(edit, EM_LIMITTEXT, 3, 0);
    SetWindowTextW(edit, u"abcdef");
    EXPECT_EQ(Text(edit), u"abcdef");
    SendMessageW(edit, EM_SETSEL, 6, 6);
    ClearLog();
    Type(edit, u"g");
    EXPECT_EQ(Text(edit), u"abcdef");
    EXPECT_EQ(Notifications(edit), Codes{"EN_MAXTEXT"});
}

TEST_F(EditTest, ReplaceSelIsCutToTheLimit) {
    HWND edit = MakeEdit(0, u"ab");
    SendMessageW(edit, EM_LIMITTEXT, 5, 0);
    SendMessageW(edit, EM_SETSEL, 2, 2);
    ClearLog();
    SendMessageW(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(u"12345"));
    EXPECT_EQ(Text(edit), u"ab123");
    Codes codes = Notifications(edit);
    EXPECT_EQ(std::count(codes.begin(), codes.end(), "EN_MAXTEXT"), 1);
    EXPECT_EQ(std::count(codes.begin(), codes.end(), "EN_CHANGE"), 1);
}

// Without automatic scrolling typing stops where the control is full, with
// EN_MAXTEXT; with it the text scrolls on.
struct FullCase {
    const char* name;
    DWORD style;
    const char16_t* unit;  // typed again and again
    bool stops;
};
const FullCase kFull[] = {
    {"SingleLineFixed", 0, u"W", true},
    {"SingleLineScrolling", ES_AUTOHSCROLL, u"W", false},
    {"MultiLineFixed", ES_MULTILINE | ES_WANTRETURN, u"a\r", true},
    {"MultiLineScrolling", ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL, u"a\r", false},
};
class EditFull : public EditTest, public testing::WithParamInterface<FullCase> {};

TEST_P(EditFull, TypingStopsOnlyWithoutAutomaticScrolling) {
    const auto& c = GetParam();
    HWND edit = MakeEdit(c.style, u"", RECT{10, 10, 110, 70});
    for (int i = 0; i < 40; ++i) Type(edit, c.unit);
    Codes codes = Notifications(edit);
    int refused = int(std::count(codes.begin(), codes.end(), "EN_MAXTEXT"));
    int length = GetWindowTextLengthW(edit);
    if (c.stops) {
        EXPECT_GT(refused, 0);
        EXPECT_GT(length, 0);
        EXPECT_LT(length, 40);
        // What went in is still all in view.
        LRESULT end = SendMessageW(edit, EM_POSFROMCHAR, length, 0);
        RECT client{};
        GetClientRect(edit, &client);
        EXPECT_LE(SHORT(LOWORD(end)), client.right);
        EXPECT_LT(SHORT(HIWORD(end)), client.bottom);
    } else {
        EXPECT_EQ(refused, 0);
        EXPECT_GE(length, 40);
    }
}
INSTANTIATE_TEST_SUITE_P(All, EditFull, testing::ValuesIn(kFull),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(EditTest, UndoSwapsBackAndForth) {
    HWND edit = MakeEdit(0, u"start");
    SendMessageW(edit, EM_SETSEL, 5, 5);
    Type(edit, u" more");
    EXPECT_EQ(SendMessageW(edit, EM_CANUNDO, 0, 0), TRUE);
    ClearLog();
    EXPECT_EQ(SendMessageW(edit, EM_UNDO, 0, 0), TRUE);
    EXPECT_EQ(Text(edit), u"start");  // the whole typed run at once
    EXPECT_EQ(Notifications(edit), kChanged);
    EXPECT_EQ(SendMessageW(edit, EM_CANUNDO, 0, 0), TRUE);
    EXPECT_EQ(SendMessageW(edit, WM_UNDO, 0, 0), TRUE);
    EXPECT_EQ(Text(edit), u"start more");
    EXPECT_EQ(SendMessageW(edit, EM_UNDO, 0, 0), TRUE);
    EXPECT_EQ(Text(edit), u"start");
}

TEST_F(EditTest, UndoBringsBackErasedTextSelected) {
    HWND edit = MakeEdit(0, u"one two three");
    SendMessageW(edit, EM_SETSEL, 3, 7);
    SendMessageW(edit, WM_CLEAR, 0, 0);
    EXPECT_EQ(Text(edit), u"one three");
    SendMessageW(edit, EM_UNDO, 0, 0);
    EXPECT_EQ(Text(edit), u"one two three");
    EXPECT_EQ(Selection(edit), std::make_pair(DWORD(3), DWORD(7)));
}

TEST_F(EditTest, AMoveOfTheCaretStartsANewUndoUnit) {
    HWND edit = MakeEdit(0);
    Type(edit, u"ab");
    SendMessageW(edit, EM_SETSEL, 0, 0);
    Type(edit, u"X");
    SendMessageW(edit, EM_UNDO, 0, 0);
    EXPECT_EQ(Text(edit), u"ab");
}

TEST_F(EditTest, EmptyingTheUndoBufferAndReplaceSelWithoutUndo) {
    HWND single = MakeEdit(0);
    HWND multi = MakeEdit(ES_MULTILINE, u"", RECT{10, 50, 210, 150}, 101);
    for (HWND edit : {single, multi}) {
        Type(edit, u"abc");
        SendMessageW(edit, EM_EMPTYUNDOBUFFER, 0, 0);
        EXPECT_EQ(SendMessageW(edit, EM_CANUNDO, 0, 0), FALSE);
        Type(edit, u"d");
        SendMessageW(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(u"e"));
        EXPECT_EQ(SendMessageW(edit, EM_CANUNDO, 0, 0), FALSE);
        SendMessageW(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(u"f"));
        EXPECT_EQ(SendMessageW(edit, EM_CANUNDO, 0, 0), TRUE);
    }
    // With nothing to undo a single-line control still answers TRUE.
    SendMessageW(single, EM_EMPTYUNDOBUFFER, 0, 0);
    SendMessageW(multi, EM_EMPTYUNDOBUFFER, 0, 0);
    EXPECT_EQ(SendMessageW(single, EM_UNDO, 0, 0), TRUE);
    EXPECT_EQ(SendMessageW(multi, EM_UNDO, 0, 0), FALSE);
    EXPECT_EQ(Text(single), u"abcdef");
}

TEST_F(EditTest, ModifyFlagFollowsChangesAndEmSetModify) {
    HWND edit = MakeEdit(0, u"abc");
    EXPECT_EQ(SendMessageW(edit, EM_GETMODIFY, 0, 0), FALSE);
    SendMessageW(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(u"x"));
    EXPECT_EQ(SendMessageW(edit, EM_GETMODIFY, 0, 0), TRUE);
    SendMessageW(edit, EM_SETMODIFY, FALSE, 0);
    EXPECT_EQ(SendMessageW(edit, EM_GETMODIFY, 0, 0), FALSE);
    SendMessageW(edit, EM_SETMODIFY, TRUE, 0);
    EXPECT_EQ(SendMessageW(edit, EM_GETMODIFY, 0, 0), TRUE);
}

TEST_F(EditTest, NumberStyleRefusesNonDigitsSilently) {
    HWND edit = MakeEdit(ES_NUMBER);
    ClearLog();
    Type(edit, u"1a-2 ");
    EXPECT_EQ(Text(edit), u"12");
    EXPECT_EQ(Notifications(edit), (Codes{"EN_UPDATE", "EN_CHANGE", "EN_UPDATE", "EN_CHANGE"}));
}

struct CaseStyle {
    DWORD style;
    const char16_t* typed;
    const char16_t* expected;
};
const CaseStyle kCaseStyles[] = {
    {ES_UPPERCASE, u"MixEd 1", u"MIXED 1"},
    {ES_LOWERCASE, u"MixEd 1", u"mixed 1"},
    {0, u"MixEd 1", u"MixEd 1"},
};
class EditCase : public EditTest, public testing::WithParamInterface<CaseStyle> {};

TEST_P(EditCase, ConvertsTypedAndSetText) {
    HWND edit = MakeEdit(GetParam().style);
    Type(edit, GetParam().typed);
    EXPECT_EQ(Text(edit), GetParam().expected);
    SetWindowTextW(edit, GetParam().typed);
    EXPECT_EQ(Text(edit), GetParam().expected);
}
INSTANTIATE_TEST_SUITE_P(All, EditCase, testing::ValuesIn(kCaseStyles));

TEST_F(EditTest, PasswordCharacterAndTheRealText) {
    HWND edit = MakeEdit(ES_PASSWORD, u"secret");
    EXPECT_EQ(SendMessageW(edit, EM_GETPASSWORDCHAR, 0, 0), u'*');
    EXPECT_EQ(Text(edit), u"secret");
    SendMessageW(edit, EM_SETPASSWORDCHAR, u'#', 0);
    EXPECT_EQ(SendMessageW(edit, EM_GETPASSWORDCHAR, 0, 0), u'#');
    EXPECT_TRUE(GetWindowLongW(edit, GWL_STYLE) & ES_PASSWORD);
    SendMessageW(edit, EM_SETPASSWORDCHAR, 0, 0);
    EXPECT_EQ(SendMessageW(edit, EM_GETPASSWORDCHAR, 0, 0), 0);
    EXPECT_FALSE(GetWindowLongW(edit, GWL_STYLE) & ES_PASSWORD);

    HWND plain = MakeEdit(0, u"", RECT{10, 50, 210, 74}, 101);
    EXPECT_EQ(SendMessageW(plain, EM_GETPASSWORDCHAR, 0, 0), 0);
    SendMessageW(plain, EM_SETPASSWORDCHAR, u'*', 0);
    EXPECT_TRUE(GetWindowLongW(plain, GWL_STYLE) & ES_PASSWORD);
    // Multi-line controls have no password style.
    HWND multi = MakeEdit(ES_MULTILINE, u"", RECT{10, 80, 210, 150}, 102);
    SendMessageW(multi, EM_SETPASSWORDCHAR, u'*', 0);
    EXPECT_EQ(SendMessageW(multi, EM_GETPASSWORDCHAR, 0, 0), 0);
    EXPECT_FALSE(GetWindowLongW(multi, GWL_STYLE) & ES_PASSWORD);
}

TEST_F(EditTest, ReadOnlyRefusesTheUserButNotThePrograms) {
    HWND edit = MakeEdit(0, u"fixed");
    EXPECT_EQ(SendMessageW(edit, EM_SETREADONLY, TRUE, 0), TRUE);
    EXPECT_TRUE(GetWindowLongW(edit, GWL_STYLE) & ES_READONLY);
    SendMessageW(edit, EM_SETSEL, 0, 2);
    ClearLog();
    Type(edit, u"x\b");
    SendMessageW(edit, WM_CUT, 0, 0);
    SendMessageW(edit, WM_CLEAR, 0, 0);
    SendMessageW(edit, WM_PASTE, 0, 0);
    EXPECT_EQ(Text(edit), u"fixed");
    EXPECT_EQ(Notifications(edit), Codes{});
    EXPECT_EQ(Selection(edit), std::make_pair(DWORD(0), DWORD(2)));
    // A program still replaces text.
    SendMessageW(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(u"un"));
    EXPECT_EQ(Text(edit), u"unxed");

    EXPECT_EQ(SendMessageW(edit, EM_SETREADONLY, FALSE, 0), TRUE);
    EXPECT_FALSE(GetWindowLongW(edit, GWL_STYLE) & ES_READONLY);
    Type(edit, u"!");
    EXPECT_EQ(Text(edit), u"un!xed");
}

struct DialogCodeCase {
    DWORD style;
    UINT key;  // 0: no message asked about
    LRESULT expected;
};
constexpr LRESULT kSingleCode = DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS;
const DialogCodeCase kDialogCodes[] = {
    {0, 0, kSingleCode},
    {0, VK_RETURN, kSingleCode},
    {ES_MULTILINE, 0, kSingleCode | DLGC_WANTALLKEYS},
    {ES_MULTILINE, VK_ESCAPE, kSingleCode},
    {ES_MULTILINE, VK_RETURN, kSingleCode},
    {ES_MULTILINE | ES_WANTRETURN, VK_RETURN, kSingleCode | DLGC_WANTALLKEYS},
    {ES_MULTILINE, VK_TAB, kSingleCode | DLGC_WANTALLKEYS},
};
class EditDialogCode : public EditTest, public testing::WithParamInterface<DialogCodeCase> {};

TEST_P(EditDialogCode, AnswersWhatItWants) {
    const auto& c = GetParam();
    HWND edit = MakeEdit(c.style);
    MSG msg{edit, WM_KEYDOWN, c.key, 0, 0, {0, 0}, 0};
    LPARAM asked = c.key ? reinterpret_cast<LPARAM>(&msg) : 0;
    EXPECT_EQ(SendMessageW(edit, WM_GETDLGCODE, c.key, asked), c.expected);
}
INSTANTIATE_TEST_SUITE_P(All, EditDialogCode, testing::ValuesIn(kDialogCodes));

TEST_F(EditTest, FontIsKept) {
    HWND edit = MakeEdit(0);
    EXPECT_EQ(SendMessageW(edit, WM_GETFONT, 0, 0), 0);
    HFONT font = CreateFontW(-20, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, u"DejaVu Sans");
    SendMessageW(edit, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(edit, WM_GETFONT, 0, 0)), font);
    DestroyWindow(edit);
    DeleteObject(font);
}

TEST_F(EditTest, MarginsAreKept) {
    HWND edit = MakeEdit(0);
    SendMessageW(edit, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(4, 7));
    EXPECT_EQ(SendMessageW(edit, EM_GETMARGINS, 0, 0), MAKELRESULT(4, 7));
    SendMessageW(edit, EM_SETMARGINS, EC_RIGHTMARGIN, MAKELPARAM(1, 2));
    EXPECT_EQ(SendMessageW(edit, EM_GETMARGINS, 0, 0), MAKELRESULT(4, 2));
    // The first character sits at the left margin.
    SetWindowTextW(edit, u"abc");
    EXPECT_EQ(LOWORD(SendMessageW(edit, EM_POSFROMCHAR, 0, 0)), 4);
    RECT format{};
    SendMessageW(edit, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
    RECT client{};
    GetClientRect(edit, &client);
    EXPECT_EQ(format.left, 4);
    EXPECT_EQ(format.right, client.right - 2);
}

TEST_F(EditTest, AnEditMessageItDoesNotHandleFailsTheWin32Way) {
    HWND edit = MakeEdit(ES_MULTILINE);
    SetLastError(0);
    EXPECT_EQ(SendMessageW(edit, EM_SETTABSTOPS, 0, 0), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_CALL_NOT_IMPLEMENTED));
}

// A parent that destroys its edit while it is told of a change: the edit
// stops there, and nothing touches the dead control.
TEST_F(EditTest, ParentDestroyingTheControlInsideANotification) {
    HWND edit = MakeEdit(0, u"abc");
    TheHook() = [&](HWND hwnd, UINT message, WPARAM wParam, LPARAM) -> std::optional<LRESULT> {
        if (hwnd == parent_ && message == WM_COMMAND && HIWORD(wParam) == EN_UPDATE) DestroyWindow(edit);
        return std::nullopt;
    };
    ClearLog();
    SendMessageW(edit, WM_CHAR, u'x', 1);
    EXPECT_FALSE(IsWindow(edit));
    EXPECT_EQ(Notifications(edit), Codes{"EN_UPDATE"});
    EXPECT_EQ(SendMessageW(edit, WM_CHAR, u'y', 1), 0);
}

TEST_F(EditTest, AnotherThreadReadsTheTextTheControlKeeps) {
    HWND edit = MakeEdit(0);
    Type(edit, u"typed");
    std::u16string seen;
    HANDLE thread = StartThread([&] {
        WCHAR buffer[16] = {};
        GetWindowTextW(edit, buffer, 16);
        seen = buffer;
        return DWORD(0);
    });
    ASSERT_NE(thread, nullptr);
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    EXPECT_EQ(seen, u"typed");
}

}  // namespace
}  // namespace tam::test
