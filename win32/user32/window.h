// The process's windows. For now the desktop and the program's active
// top-level window, whose title and instance follow the machine's settings;
// the window manager of dialogs and controls builds on these records.
#pragma once
#include <windows.h>

#include <string>

namespace w32 {

struct WindowRecord {
    HWND handle = nullptr;
    HWND parent = nullptr;
    HINSTANCE instance = nullptr;
    DWORD style = 0;
    DWORD exStyle = 0;
    LONG_PTR id = 0;
    LONG_PTR userData = 0;
    std::u16string className;
    std::u16string text;
};

HWND DesktopWindowHandle();
HWND ProgramWindowHandle();
// A copy of the window's record; false when the handle names no window.
bool QueryWindow(HWND window, WindowRecord& record);

}  // namespace w32
