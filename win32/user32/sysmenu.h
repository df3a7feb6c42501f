// The window menu (sysmenu.cpp), for the default processing of WM_SYSCOMMAND.
#pragma once
#include <windows.h>

namespace w32 {

// Whether the window's menu has the command greyed or disabled (false for
// a window whose menu was never asked for: all its commands are enabled).
bool IsSystemCommandDisabled(HWND hwnd, UINT command);

}  // namespace w32
