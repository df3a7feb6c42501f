// The frame and caption of windows (nonclient.cpp).
#pragma once
#include <windows.h>

namespace w32 {

// Draws the window's non-client area into a DC whose origin is the
// window's corner (GetWindowDC, or a DC given to WM_PRINT), leaving the
// client area as it is; `active` draws the active look.
void DrawNonClient(HWND hwnd, HDC hdc, bool active);
// Draws it again on the window's surface, when the window shows.
void RedrawNonClient(HWND hwnd, bool active);
// Whether the window (or its top-level window) is the active window.
bool IsActiveForFrame(HWND hwnd);
// WM_NCHITTEST's default for a point in screen coordinates.
LRESULT HitTest(HWND hwnd, POINT point);
// The caption's font: Segoe UI of 9 points.
HFONT CaptionFont();

}  // namespace w32
