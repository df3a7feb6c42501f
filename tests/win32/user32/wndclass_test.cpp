// Window classes: registration by module, global classes, class words and
// extra bytes, unregistering.
#include "win32/user32/window_fixture.h"

namespace tam::test {
namespace {

HINSTANCE const kOtherModule = reinterpret_cast<HINSTANCE>(ULONG_PTR(0x7A0000));

LRESULT CALLBACK OtherProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

ATOM Register(LPCWSTR name, HINSTANCE instance, UINT style = 0, int clsExtra = 0, int wndExtra = 0) {
    WNDCLASSW wc{};
    wc.style = style;
    wc.lpfnWndProc = OtherProc;
    wc.cbClsExtra = clsExtra;
    wc.cbWndExtra = wndExtra;
    wc.hInstance = instance;
    wc.hCursor = reinterpret_cast<HCURSOR>(ULONG_PTR(0x111));
    wc.lpszMenuName = u"Main";
    wc.lpszClassName = name;
    return RegisterClassW(&wc);
}

using WindowClasses = WindowTest;

TEST_F(WindowClasses, RegisteringTwiceInOneModuleFailsButAnotherModuleMay) {
    ATOM atom = Register(u"Panel", GetModuleHandleW(nullptr));
    ASSERT_NE(atom, 0);
    EXPECT_GE(atom, 0xC000);
    SetLastError(0);
    EXPECT_EQ(Register(u"PANEL", GetModuleHandleW(nullptr)), 0);  // names ignore case
    EXPECT_EQ(GetLastError(), DWORD(ERROR_CLASS_ALREADY_EXISTS));
    EXPECT_EQ(Register(u"Panel", kOtherModule), atom);  // the same name has the same atom
}

TEST_F(WindowClasses, LocalClassIsFoundOnlyForItsModuleGlobalForAll) {
    ASSERT_NE(Register(u"Local", kOtherModule), 0);
    ASSERT_NE(Register(u"Shared", kOtherModule, CS_GLOBALCLASS), 0);
    SetLastError(0);
    EXPECT_EQ(CreateWindowExW(0, u"Local", u"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_CANNOT_FIND_WND_CLASS));
    HWND local = CreateWindowExW(0, u"Local", u"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, kOtherModule, nullptr);
    EXPECT_NE(local, nullptr);
    HWND shared = CreateWindowExW(0, u"shared", u"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    EXPECT_NE(shared, nullptr);
    WNDCLASSW info{};
    EXPECT_FALSE(GetClassInfoW(nullptr, u"Local", &info));
    EXPECT_TRUE(GetClassInfoW(nullptr, u"Shared", &info));
}

TEST_F(WindowClasses, ClassInfoGivesBackWhatWasRegistered) {
    ATOM atom = Register(u"Info", kOtherModule, CS_DBLCLKS, 8, 24);
    WNDCLASSEXW info{};
    info.cbSize = sizeof(info);
    EXPECT_EQ(GetClassInfoExW(kOtherModule, u"info", &info), BOOL(atom));
    EXPECT_EQ(info.style, UINT(CS_DBLCLKS));
    EXPECT_EQ(info.lpfnWndProc, OtherProc);
    EXPECT_EQ(info.cbClsExtra, 8);
    EXPECT_EQ(info.cbWndExtra, 24);
    EXPECT_EQ(info.hInstance, kOtherModule);
    EXPECT_EQ(info.hCursor, reinterpret_cast<HCURSOR>(ULONG_PTR(0x111)));
    EXPECT_EQ(std::u16string(info.lpszMenuName), u"Main");
    // By atom too.
    WNDCLASSW byAtom{};
    EXPECT_TRUE(GetClassInfoW(kOtherModule, MAKEINTATOM(atom), &byAtom));
    EXPECT_EQ(byAtom.cbWndExtra, 24);
    SetLastError(0);
    EXPECT_FALSE(GetClassInfoExW(kOtherModule, u"Missing", &info));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_CLASS_DOES_NOT_EXIST));
}

TEST_F(WindowClasses, WindowByAtomAndClassWords) {
    ATOM atom = Register(u"Words", GetModuleHandleW(nullptr), 0, 16, 0);
    HWND first = CreateWindowExW(0, MAKEINTATOM(atom), u"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    HWND second = CreateWindowExW(0, u"Words", u"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(first && second);
    EXPECT_EQ(GetClassLongPtrW(first, GCW_ATOM), atom);
    EXPECT_EQ(GetClassLongPtrW(first, GCLP_WNDPROC), reinterpret_cast<ULONG_PTR>(OtherProc));
    // The class's extra bytes are shared by its windows.
    EXPECT_EQ(SetClassLongPtrW(first, 8, 0x1234), 0u);
    EXPECT_EQ(GetClassLongPtrW(second, 8), 0x1234u);
    EXPECT_EQ(SetClassLongPtrW(second, GCL_STYLE, CS_NOCLOSE), 0u);
    EXPECT_EQ(GetClassLongW(first, GCL_STYLE), DWORD(CS_NOCLOSE));
    SetLastError(0);
    EXPECT_EQ(GetClassLongPtrW(first, 9), 0u);  // 9 + 8 bytes run past the 16
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_INDEX));
    WCHAR name[16];
    EXPECT_EQ(GetClassNameW(first, name, 16), 5);
    EXPECT_EQ(std::u16string(name), u"Words");
    EXPECT_EQ(GetClassNameW(first, name, 3), 2);  // cut and terminated
}

TEST_F(WindowClasses, ClassWithWindowsCannotBeUnregistered) {
    ASSERT_NE(Register(u"Busy", GetModuleHandleW(nullptr)), 0);
    HWND hwnd = CreateWindowExW(0, u"Busy", u"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(hwnd, nullptr);
    SetLastError(0);
    EXPECT_FALSE(UnregisterClassW(u"Busy", nullptr));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_CLASS_HAS_WINDOWS));
    ASSERT_TRUE(DestroyWindow(hwnd));
    EXPECT_TRUE(UnregisterClassW(u"BUSY", nullptr));
    SetLastError(0);
    EXPECT_FALSE(UnregisterClassW(u"Busy", nullptr));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_CLASS_DOES_NOT_EXIST));
    EXPECT_NE(Register(u"Busy", GetModuleHandleW(nullptr)), 0);  // the name is free again
}

TEST_F(WindowClasses, BadRegistrationsAreRefused) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc) - 1;
    wc.lpszClassName = u"Bad";
    SetLastError(0);
    EXPECT_EQ(RegisterClassExW(&wc), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    wc.cbSize = sizeof(wc);
    wc.cbWndExtra = -4;
    EXPECT_EQ(RegisterClassExW(&wc), 0);
    wc.cbWndExtra = 0;
    wc.lpszClassName = nullptr;
    EXPECT_EQ(RegisterClassExW(&wc), 0);
    EXPECT_EQ(RegisterClassW(nullptr), 0);
}

}  // namespace
}  // namespace tam::test
