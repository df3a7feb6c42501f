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

std::u16string ControlText(HWND control) {
    int length = GetWindowTextLengthW(control);
    if (length <= 0) return {};
    std::u16string text(size_t(length) + 1, u'\0');
    text.resize(size_t(GetWindowTextW(control, text.data(), length + 1)));
    return text;
}

}  // namespace w32
