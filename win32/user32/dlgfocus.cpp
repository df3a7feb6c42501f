// Giving a dialog's control the focus, and the default push button.
//
// A dialog has one default push button (DM_SETDEFID, else the first control
// that said DLGC_DEFPUSHBUTTON when it was made). While the focus is on a
// push button, that button looks like the default (BS_DEFPUSHBUTTON) and
// Enter presses it; when the focus moves to a control that is no push
// button, the look goes back to the default button. Each change is a
// BM_SETSTYLE with the button's style and the new type.
#include "user32/dialog.h"

namespace w32 {

namespace {

UINT CodeOf(HWND control) {
    return control && IsWindow(control) ? UINT(SendMessageW(control, WM_GETDLGCODE, 0, 0)) : 0;
}

void SetButtonType(HWND button, DWORD type) {
    DWORD style = DWORD(GetWindowLongW(button, GWL_STYLE));
    SendMessageW(button, BM_SETSTYLE, (style & 0xFFFF & ~DWORD(BS_TYPEMASK)) | type, TRUE);
}

// The dialog's default button, when it has one and it is a push button.
HWND DefaultButton(HWND dialog) {
    bool has = false;
    WORD id = DefaultButtonId(dialog, has);
    if (!has) return nullptr;
    SetLastError(ERROR_SUCCESS);
    HWND button = GetDlgItem(dialog, id);
    return (CodeOf(button) & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) ? button : nullptr;
}

}  // namespace

WORD DefaultButtonId(HWND dialog, bool& has) {
    LRESULT answer = SendMessageW(dialog, DM_GETDEFID, 0, 0);
    has = HIWORD(answer) == DC_HASDEFID;
    return has ? LOWORD(answer) : 0;
}

void MoveDefaultButton(HWND dialog, HWND from, HWND to) {
    if (from == to) return;
    const UINT toCode = CodeOf(to);
    if (toCode & DLGC_UNDEFPUSHBUTTON) {
        // The focus comes to a push button: it takes the look from whoever has it.
        if (CodeOf(from) & DLGC_DEFPUSHBUTTON) SetButtonType(from, BS_PUSHBUTTON);
        HWND current = DefaultButton(dialog);
        if (current && current != to && (CodeOf(current) & DLGC_DEFPUSHBUTTON)) SetButtonType(current, BS_PUSHBUTTON);
        SetButtonType(to, BS_DEFPUSHBUTTON);
    } else if (!(toCode & DLGC_DEFPUSHBUTTON)) {
        // The focus leaves the push buttons: the default button gets its look back.
        HWND current = DefaultButton(dialog);
        if (from && from != current && (CodeOf(from) & DLGC_DEFPUSHBUTTON)) SetButtonType(from, BS_PUSHBUTTON);
        if (current && (CodeOf(current) & DLGC_UNDEFPUSHBUTTON)) SetButtonType(current, BS_DEFPUSHBUTTON);
    }
}

void SetDialogFocus(HWND dialog, HWND control) {
    if (!control || !IsWindow(control)) return;
    HWND old = GetFocus();
    if (!IsWithin(dialog, old)) old = nullptr;
    MoveDefaultButton(dialog, old, control);
    if (CodeOf(control) & DLGC_HASSETSEL) SendMessageW(control, EM_SETSEL, 0, -1);
    // Focusing a control of an inactive dialog activates the dialog first,
    // whose WM_ACTIVATE would give the focus back to the saved control.
    auto info = FindDialogInfo(dialog);
    if (info) info->givingFocus = true;
    SetFocus(control);
    if (info) info->givingFocus = false;
}

}  // namespace w32
