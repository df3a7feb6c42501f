// The calling thread's caret (caret.cpp), as the controls that draw it see it.
#pragma once
#include <windows.h>

namespace w32 {

// The window that owns the calling thread's caret, or null.
HWND CaretOwner();
// The caret of the calling thread when it belongs to `hwnd` and is shown:
// its rectangle in the window's client coordinates.
bool VisibleCaret(HWND hwnd, RECT& rect);

}  // namespace w32
