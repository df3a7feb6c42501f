// The window menu's states and WM_SYSCOMMAND's default processing.
#include "win32/user32/dialog_fixture.h"

namespace tam::test {
namespace {

class WindowMenu : public DialogTest {};

TEST_F(WindowMenu, EnableMenuItemAnswersThePreviousStateOrMinusOne) {
    HWND window = Make(WS_OVERLAPPEDWINDOW);
    HMENU menu = GetSystemMenu(window, FALSE);
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(GetSystemMenu(window, FALSE), menu);  // the window keeps its copy
    EXPECT_EQ(GetMenuState(menu, SC_CLOSE, MF_BYCOMMAND), UINT(MF_ENABLED));
    EXPECT_EQ(EnableMenuItem(menu, SC_CLOSE, MF_BYCOMMAND | MF_GRAYED), BOOL(MF_ENABLED));
    EXPECT_EQ(EnableMenuItem(menu, SC_CLOSE, MF_BYCOMMAND | MF_ENABLED), BOOL(MF_GRAYED));
    EXPECT_EQ(EnableMenuItem(menu, 0x1234, MF_BYCOMMAND | MF_GRAYED), -1);
    EXPECT_EQ(GetMenuState(menu, 0x1234, MF_BYCOMMAND), UINT(-1));
    for (UINT command : {SC_RESTORE, SC_MOVE, SC_SIZE, SC_MINIMIZE, SC_MAXIMIZE, SC_CLOSE}) {
        EXPECT_NE(GetMenuState(menu, command, MF_BYCOMMAND), UINT(-1)) << command;
    }
    SetLastError(0xdeadbeef);
    EXPECT_EQ(EnableMenuItem(reinterpret_cast<HMENU>(0x5), SC_CLOSE, MF_GRAYED), -1);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_MENU_HANDLE));
    DestroyWindow(window);
    EXPECT_FALSE(IsMenu(menu));  // it went with its window
}

TEST_F(WindowMenu, GreyedCloseMakesScCloseDoNothingUntilTheMenuIsReset) {
    HWND window = Make(WS_OVERLAPPEDWINDOW);
    HMENU menu = GetSystemMenu(window, FALSE);
    EnableMenuItem(menu, SC_CLOSE, MF_BYCOMMAND | MF_GRAYED);
    ClearLog();
    EXPECT_EQ(SendMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0), 0);
    EXPECT_EQ(MessagesOf(window), std::vector<std::string>{"WM_SYSCOMMAND"});
    EXPECT_EQ(GetSystemMenu(window, TRUE), nullptr);
    EXPECT_FALSE(IsMenu(menu));
    SendMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_FALSE(IsWindow(window));  // WM_CLOSE, then DestroyWindow
}

TEST_F(WindowMenu, SystemCommandsShowTheWindowAndMovesAnswerAtOnce) {
    HWND window = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    SendMessageW(window, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_TRUE(IsIconic(window));
    SendMessageW(window, WM_SYSCOMMAND, SC_RESTORE, 0);
    EXPECT_FALSE(IsIconic(window));
    SendMessageW(window, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    EXPECT_TRUE(IsZoomed(window));
    SendMessageW(window, WM_SYSCOMMAND, SC_RESTORE, 0);
    RECT before{}, after{};
    GetWindowRect(window, &before);
    EXPECT_EQ(SendMessageW(window, WM_SYSCOMMAND, SC_MOVE | 2 /* HTCAPTION */, 0), 0);
    GetWindowRect(window, &after);
    EXPECT_EQ(before.left, after.left);
    EXPECT_EQ(before.top, after.top);
    DestroyWindow(window);
}

TEST_F(WindowMenu, ClosingADialogFromItsMenuCancelsIt) {
    HWND dialog = MakeDialog(IDD_SETTINGS);
    ASSERT_NE(dialog, nullptr);
    SendMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    PumpDialog(dialog);
    EXPECT_EQ(Commands(dialog), std::vector<int>{IDCANCEL});
    EnableMenuItem(GetSystemMenu(dialog, FALSE), SC_CLOSE, MF_BYCOMMAND | MF_GRAYED);
    SendMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    PumpDialog(dialog);
    EXPECT_EQ(Commands(dialog), std::vector<int>{IDCANCEL});
    DestroyWindow(dialog);
}

}  // namespace
}  // namespace tam::test
