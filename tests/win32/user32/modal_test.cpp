// Modal dialogs: DialogBoxParamW's loop, its owner, and EndDialog.
#include "win32/user32/dialog_fixture.h"

namespace tam::test {
namespace {

class Modal : public DialogTest {
protected:
    INT_PTR Run(HWND owner, LPARAM param = 0) {
        return DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_SETTINGS), owner, LoggingDialogProc,
                               param);
    }
};

TEST_F(Modal, AnswersEndDialogsValueWithTheOwnerDisabledMeanwhile) {
    HWND owner = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    SetActiveWindow(owner);
    HWND dialog = nullptr;
    bool ownerEnabled = true, shown = false;
    TheDialogHook() = [&](HWND hwnd, UINT message, WPARAM, LPARAM) -> std::optional<INT_PTR> {
        if (message == WM_INITDIALOG) {
            dialog = hwnd;
            PostMessageW(hwnd, WM_APP, 0, 0);  // runs once the loop takes messages
        }
        if (message == WM_APP) {
            ownerEnabled = IsWindowEnabled(owner);
            shown = IsWindowVisible(hwnd) && GetActiveWindow() == hwnd;
            EndDialog(hwnd, 42);
            return TRUE;
        }
        return std::nullopt;
    };
    EXPECT_EQ(Run(owner, 9), 42);
    EXPECT_FALSE(ownerEnabled);
    EXPECT_TRUE(shown);
    EXPECT_EQ(First(dialog, WM_INITDIALOG).lParam, 9);
    EXPECT_FALSE(IsWindow(dialog));
    EXPECT_TRUE(IsWindowEnabled(owner));
    EXPECT_EQ(GetActiveWindow(), owner);
    // The owner is enabled again, and active, before the dialog is destroyed.
    auto order = Sequence({{owner, "owner"}, {dialog, "dialog"}});
    auto last = [&](const std::string& entry) {
        return std::find(order.rbegin(), order.rend(), entry).base() - order.begin() - 1;
    };
    EXPECT_LT(last("owner:WM_ENABLE"), last("dialog:WM_DESTROY"));
    EXPECT_LT(last("owner:WM_ACTIVATE"), last("dialog:WM_DESTROY"));
    EXPECT_EQ(All(owner, WM_ENABLE).size(), 2u);
}

TEST_F(Modal, IdleQueueSendsEnterIdleToTheOwnerAndTimersStillRun) {
    HWND owner = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    HWND dialog = nullptr;
    TheDialogHook() = [&](HWND hwnd, UINT message, WPARAM, LPARAM) -> std::optional<INT_PTR> {
        if (message == WM_INITDIALOG) {
            dialog = hwnd;
            SetTimer(hwnd, 1, 500, nullptr);
        }
        if (message == WM_TIMER) {
            KillTimer(hwnd, 1);
            EndDialog(hwnd, 7);
            return TRUE;
        }
        return std::nullopt;
    };
    EXPECT_EQ(Run(owner), 7);
    auto idle = All(owner, WM_ENTERIDLE);
    ASSERT_FALSE(idle.empty());
    EXPECT_EQ(idle[0].wParam, WPARAM(MSGF_DIALOGBOX));
    EXPECT_EQ(reinterpret_cast<HWND>(idle[0].lParam), dialog);
}

TEST_F(Modal, QuitEndsTheLoopAndIsPostedAgain) {
    HWND dialog = nullptr;
    TheDialogHook() = [&](HWND hwnd, UINT message, WPARAM, LPARAM) -> std::optional<INT_PTR> {
        if (message == WM_INITDIALOG) {
            dialog = hwnd;
            PostQuitMessage(5);
        }
        return std::nullopt;
    };
    EXPECT_EQ(Run(nullptr), 0);
    EXPECT_FALSE(IsWindow(dialog));
    MSG msg{};
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, UINT(WM_QUIT));
    EXPECT_EQ(msg.wParam, 5u);
}

TEST_F(Modal, EndDialogDuringInitDialogNeverShowsTheDialog) {
    HWND owner = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE);
    HWND dialog = nullptr;
    TheDialogHook() = [&](HWND hwnd, UINT message, WPARAM, LPARAM) -> std::optional<INT_PTR> {
        if (message == WM_INITDIALOG) {
            dialog = hwnd;
            EndDialog(hwnd, 3);
        }
        return std::nullopt;
    };
    EXPECT_EQ(Run(owner), 3);
    EXPECT_TRUE(All(dialog, WM_SHOWWINDOW).empty());
    EXPECT_TRUE(IsWindowEnabled(owner));
}

TEST_F(Modal, EndDialogOnAModelessDialogOnlyHidesIt) {
    HWND dialog = MakeDialog(IDD_SETTINGS);
    ASSERT_NE(dialog, nullptr);
    ShowWindow(dialog, SW_SHOW);
    EXPECT_TRUE(EndDialog(dialog, 1));
    EXPECT_TRUE(IsWindow(dialog));
    EXPECT_FALSE(IsWindowVisible(dialog));
    DestroyWindow(dialog);
}

TEST_F(Modal, EndDialogRefusesWhatIsNoDialog) {
    HWND plain = Make(WS_POPUP);
    SetLastError(0xdeadbeef);
    EXPECT_FALSE(EndDialog(plain, 1));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_WINDOW_NOT_DIALOG));
    DestroyWindow(plain);
    SetLastError(0xdeadbeef);
    EXPECT_FALSE(EndDialog(plain, 1));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_WINDOW_HANDLE));
}

TEST_F(Modal, KeysReachTheModalDialogThroughItsLoop) {
    TheDialogHook() = [&](HWND hwnd, UINT message, WPARAM wParam, LPARAM) -> std::optional<INT_PTR> {
        if (message == WM_INITDIALOG) PostMessageW(GetDlgItem(hwnd, IDC_USERNAME), WM_KEYDOWN, VK_ESCAPE, 1);
        if (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL) {
            EndDialog(hwnd, IDCANCEL);
            return TRUE;
        }
        return std::nullopt;
    };
    EXPECT_EQ(Run(nullptr), IDCANCEL);
}

}  // namespace
}  // namespace tam::test
