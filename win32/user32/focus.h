// The calling thread's input state: focus, active window, capture (focus.cpp).
#pragma once
#include <windows.h>

namespace w32 {

// Makes the window the calling thread's active window with the messages
// Windows sends (WM_NCACTIVATE and WM_ACTIVATE to the window losing and the
// window gaining activation; DefWindowProcW then gives the focus). Null
// deactivates. Answers the previous active window.
HWND ActivateWindow(HWND hwnd);
// The active window is going away or hidden: activates its owner when that
// can take it, else the topmost visible enabled top-level window of the
// thread, else none.
void ActivateOtherWindow(HWND leaving);
// A window of the calling thread is gone: it no longer holds the focus, the
// activation or the capture (nothing is sent).
void ForgetInputState(HWND hwnd);

}  // namespace w32
