// Routines the system's controls share (control.h).
#include "user32/control.h"

namespace w32 {

void NotifyParent(HWND control, WORD code) {
    HWND parent = GetParent(control);
    if (!parent) return;
    SendMessageW(parent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control), code), reinterpret_cast<LPARAM>(control));
}

DWORD ControlStyle(HWND control) {
    return DWORD(GetWindowLongW(control, GWL_STYLE));
}

}  // namespace w32
