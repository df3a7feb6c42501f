// The clipboard and the edit control's cut, copy and paste through it.
#include <cstring>

#include "win32/user32/edit_fixture.h"

namespace tam::test {
namespace {

HGLOBAL GlobalText(std::u16string_view text) {
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(WCHAR));
    auto buffer = static_cast<LPWSTR>(GlobalLock(memory));
    std::memcpy(buffer, text.data(), text.size() * sizeof(WCHAR));
    buffer[text.size()] = 0;
    GlobalUnlock(memory);
    return memory;
}

std::u16string ClipboardText() {
    std::u16string text;
    if (!OpenClipboard(nullptr)) return u"(not open)";
    if (HANDLE memory = GetClipboardData(CF_UNICODETEXT)) {
        text = static_cast<LPCWSTR>(GlobalLock(memory));
        GlobalUnlock(memory);
    }
    CloseClipboard();
    return text;
}

void PutText(std::u16string_view text) {
    ASSERT_TRUE(OpenClipboard(nullptr));
    ASSERT_TRUE(EmptyClipboard());
    ASSERT_NE(SetClipboardData(CF_UNICODETEXT, GlobalText(text)), nullptr);
    ASSERT_TRUE(CloseClipboard());
}

using Clipboard = EditTest;

TEST_F(Clipboard, CallsNeedItOpen) {
    SetLastError(0);
    EXPECT_FALSE(EmptyClipboard());
    EXPECT_EQ(GetLastError(), DWORD(ERROR_CLIPBOARD_NOT_OPEN));
    HGLOBAL memory = GlobalText(u"x");
    EXPECT_EQ(SetClipboardData(CF_UNICODETEXT, memory), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_CLIPBOARD_NOT_OPEN));
    GlobalFree(memory);
    EXPECT_EQ(GetClipboardData(CF_UNICODETEXT), nullptr);
    EXPECT_FALSE(CloseClipboard());
    EXPECT_EQ(GetLastError(), DWORD(ERROR_CLIPBOARD_NOT_OPEN));
}

TEST_F(Clipboard, KeepsTextAndMakesAnsiTextFromIt) {
    ASSERT_TRUE(OpenClipboard(parent_));
    EXPECT_EQ(GetOpenClipboardWindow(), parent_);
    ASSERT_TRUE(EmptyClipboard());
    EXPECT_EQ(GetClipboardOwner(), parent_);
    HGLOBAL memory = GlobalText(u"Caf\u00e9");
    EXPECT_EQ(SetClipboardData(CF_UNICODETEXT, memory), memory);
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_UNICODETEXT));
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_TEXT));
    EXPECT_FALSE(IsClipboardFormatAvailable(CF_BITMAP));
    HANDLE ansi = GetClipboardData(CF_TEXT);
    ASSERT_NE(ansi, nullptr);
    EXPECT_STREQ(static_cast<const char*>(GlobalLock(ansi)), "Caf\xe9");
    GlobalUnlock(ansi);
    // A rendering on request is not supported.
    SetLastError(0);
    EXPECT_EQ(SetClipboardData(CF_DIB, nullptr), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_CALL_NOT_IMPLEMENTED));
    EXPECT_TRUE(CloseClipboard());
    EXPECT_EQ(GetOpenClipboardWindow(), nullptr);
    EXPECT_EQ(ClipboardText(), u"Caf\u00e9");
}

TEST_F(Clipboard, AnotherThreadCannotOpenItWhileOpen) {
    ASSERT_TRUE(OpenClipboard(nullptr));
    BOOL opened = TRUE;
    DWORD error = 0;
    HANDLE thread = StartThread([&] {
        opened = OpenClipboard(nullptr);
        error = GetLastError();
        return DWORD(0);
    });
    ASSERT_NE(thread, nullptr);
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    EXPECT_FALSE(opened);
    EXPECT_EQ(error, DWORD(ERROR_ACCESS_DENIED));
    EXPECT_TRUE(CloseClipboard());
}

TEST_F(Clipboard, EditCutCopyPaste) {
    HWND edit = MakeEdit(0, u"abcdef");
    SendMessageW(edit, EM_SETSEL, 1, 3);
    SendMessageW(edit, WM_COPY, 0, 0);
    EXPECT_EQ(ClipboardText(), u"bc");
    EXPECT_EQ(Text(edit), u"abcdef");
    SendMessageW(edit, EM_SETSEL, 3, 5);
    ClearLog();
    SendMessageW(edit, WM_CUT, 0, 0);
    EXPECT_EQ(ClipboardText(), u"de");
    EXPECT_EQ(Text(edit), u"abcf");
    EXPECT_EQ(Notifications(edit), (std::vector<std::string>{"EN_UPDATE", "EN_CHANGE"}));
    SendMessageW(edit, EM_SETSEL, 0, 0);
    SendMessageW(edit, WM_PASTE, 0, 0);
    EXPECT_EQ(Text(edit), u"deabcf");
    EXPECT_EQ(Selection(edit), std::make_pair(DWORD(2), DWORD(2)));
    // Ctrl+X, Ctrl+V and Ctrl+Z as typed characters.
    SendMessageW(edit, EM_SETSEL, 0, 2);
    SendMessageW(edit, WM_CHAR, 0x18, 1);
    EXPECT_EQ(Text(edit), u"abcf");
    SendMessageW(edit, EM_SETSEL, 4, 4);
    SendMessageW(edit, WM_CHAR, 0x16, 1);
    EXPECT_EQ(Text(edit), u"abcfde");
    SendMessageW(edit, WM_CHAR, 0x1A, 1);
    EXPECT_EQ(Text(edit), u"abcf");
}

TEST_F(Clipboard, SingleLinePasteStopsAtTheFirstLineBreak) {
    HWND single = MakeEdit(0);
    HWND multi = MakeEdit(ES_MULTILINE, u"", RECT{10, 50, 210, 150}, 101);
    PutText(u"first\r\nsecond");
    SendMessageW(single, WM_PASTE, 0, 0);
    SendMessageW(multi, WM_PASTE, 0, 0);
    EXPECT_EQ(Text(single), u"first");
    EXPECT_EQ(Text(multi), u"first\r\nsecond");
}

TEST_F(Clipboard, PasswordTextIsNotCopied) {
    PutText(u"before");
    HWND edit = MakeEdit(ES_PASSWORD, u"secret");
    SendMessageW(edit, EM_SETSEL, 0, -1);
    SendMessageW(edit, WM_COPY, 0, 0);
    SendMessageW(edit, WM_CUT, 0, 0);
    EXPECT_EQ(ClipboardText(), u"before");
}

TEST_F(Clipboard, ReadOnlyCopiesButDoesNotPaste) {
    PutText(u"new");
    HWND edit = MakeEdit(ES_READONLY, u"fixed");
    SendMessageW(edit, WM_PASTE, 0, 0);
    EXPECT_EQ(Text(edit), u"fixed");
    SendMessageW(edit, EM_SETSEL, 0, 3);
    SendMessageW(edit, WM_COPY, 0, 0);
    EXPECT_EQ(ClipboardText(), u"fix");
}

}  // namespace
}  // namespace tam::test
