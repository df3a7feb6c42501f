// Geometry shared by the window manager's files (wndpos.cpp).
#pragma once
#include <windows.h>

namespace w32 {

// How far the window rectangle reaches beyond the client rectangle on each
// side for a window of these styles (what AdjustWindowRectEx adds).
RECT FrameInsets(DWORD style, DWORD exStyle, bool menu);

}  // namespace w32
