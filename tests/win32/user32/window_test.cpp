#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "support/machine_fixture.h"

namespace {

class ProgramWindow : public tam::test::MachineTest {
protected:
    w32::MachineSettings MakeSettings() const override {
        auto s = MachineTest::MakeSettings();
        s.programPath = u"C:\\Program Files\\Office\\POWERPNT.EXE";
        s.programWindowTitle = u"Quarterly review - PowerPoint";
        return s;
    }
};

TEST_F(ProgramWindow, ActiveWindowLeadsToTheProgramsFile) {
    HWND active = GetActiveWindow();
    ASSERT_TRUE(IsWindow(active));
    EXPECT_EQ(GetForegroundWindow(), active);
    auto instance = reinterpret_cast<HMODULE>(GetWindowLongPtrW(active, GWLP_HINSTANCE));
    EXPECT_EQ(instance, GetModuleHandleW(nullptr));
    WCHAR path[MAX_PATH];
    DWORD n = GetModuleFileNameW(instance, path, MAX_PATH);
    EXPECT_EQ(std::u16string(path, n), u"C:\\Program Files\\Office\\POWERPNT.EXE");
}

TEST_F(ProgramWindow, TitleFollowsTheMachine) {
    WCHAR title[64];
    EXPECT_EQ(GetWindowTextW(GetActiveWindow(), title, 64), 29);
    EXPECT_EQ(std::u16string(title), u"Quarterly review - PowerPoint");
    EXPECT_EQ(GetWindowTextLengthW(GetActiveWindow()), 29);
    EXPECT_EQ(GetWindowTextW(GetActiveWindow(), title, 6), 5);  // cut and terminated
    EXPECT_EQ(std::u16string(title), u"Quart");
    EXPECT_EQ(GetAncestor(GetActiveWindow(), GA_ROOT), GetActiveWindow());
    EXPECT_EQ(GetParent(GetActiveWindow()), nullptr);
}

TEST_F(ProgramWindow, UnknownWindowIsRefused) {
    HWND bogus = reinterpret_cast<HWND>(ULONG_PTR(0x4242));
    EXPECT_FALSE(IsWindow(bogus));
    SetLastError(0);
    EXPECT_EQ(GetWindowLongPtrW(bogus, GWLP_HINSTANCE), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_WINDOW_HANDLE));
    WCHAR title[8] = u"x";
    EXPECT_EQ(GetWindowTextW(bogus, title, 8), 0);
    EXPECT_EQ(title[0], 0);
}

// A dialog result or a message for a window that does not exist fails with
// the handle error; the program's window has no word at DWLP_MSGRESULT and
// the desktop's words are not the program's to change.
TEST_F(ProgramWindow, WindowWordsAndMessagesOfWindowsThatCannotTakeThem) {
    HWND bogus = reinterpret_cast<HWND>(ULONG_PTR(0x4242));
    SetLastError(0);
    EXPECT_EQ(SetWindowLongPtrW(bogus, DWLP_MSGRESULT, 5), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_WINDOW_HANDLE));
    SetLastError(0);
    EXPECT_EQ(SendMessageW(bogus, WM_USER, 1, 2), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_WINDOW_HANDLE));

    SetLastError(0);
    EXPECT_EQ(SetWindowLongPtrW(GetActiveWindow(), DWLP_MSGRESULT, 5), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_INDEX));
    SetLastError(0);
    EXPECT_EQ(SetWindowLongPtrW(GetDesktopWindow(), GWLP_USERDATA, 5), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ACCESS_DENIED));
    SetLastError(0);
    EXPECT_EQ(SendMessageW(GetActiveWindow(), WM_USER, 0, 0), 0);
    EXPECT_EQ(GetLastError(), 0u);
}

}  // namespace
