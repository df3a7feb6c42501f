// DefDlgProcW: the procedure of the dialog class "#32770".
//
// It calls the dialog procedure (DWLP_DLGPROC) first, with DWLP_MSGRESULT
// cleared. When that answers TRUE the message was handled: the answer is
// DWLP_MSGRESULT, except for the messages whose answer is the procedure's
// own (WM_CTLCOLOR*, WM_COMPAREITEM, WM_VKEYTOITEM, WM_CHARTOITEM,
// WM_QUERYDRAGICON, WM_INITDIALOG). When it answers FALSE, the dialog's
// default processing runs:
//
//  WM_ACTIVATE      keeps the control that had the focus when the dialog
//                   becomes inactive, and gives it the focus back (else the
//                   first tab stop) when it becomes active
//  WM_SETFOCUS      the same control (else the first tab stop) gets the focus
//  WM_SHOWWINDOW    keeps the focus control when the dialog is hidden
//  WM_CLOSE         posts WM_COMMAND IDCANCEL (lParam: the Cancel button),
//                   unless the dialog's Cancel button is disabled
//  WM_NEXTDLGCTL    moves the focus: to the control in wParam when
//                   LOWORD(lParam) is nonzero, else to the next (wParam 0) or
//                   previous tab stop; the default button follows
//  DM_GETDEFID      MAKELONG(id, DC_HASDEFID), or 0 without a default button
//  DM_SETDEFID      sets the default id, giving the old default push button
//                   BS_PUSHBUTTON and the new one BS_DEFPUSHBUTTON; TRUE
//  WM_GETFONT       the template's font
//  WM_LBUTTONDOWN   closes the list of the combo box that has the focus
//                   (CB_SHOWDROPDOWN FALSE), then DefWindowProcW
//  WM_INITDIALOG, WM_COMPAREITEM, WM_VKEYTOITEM, WM_CHARTOITEM   0
//  WM_NCDESTROY     forgets the dialog (and deletes its font)
//  everything else  DefWindowProcW
#include "user32/dialog.h"

namespace w32 {

namespace {

bool AnswersWithProcedureResult(UINT message) {
    switch (message) {
        case WM_CTLCOLORMSGBOX:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSCROLLBAR:
        case WM_CTLCOLORSTATIC:
        case WM_COMPAREITEM:
        case WM_VKEYTOITEM:
        case WM_CHARTOITEM:
        case WM_QUERYDRAGICON:
        case WM_INITDIALOG:
            return true;
        default:
            return false;
    }
}

void SaveFocus(HWND dialog, DialogInfo& info) {
    HWND focus = GetFocus();
    if (focus && focus != dialog && IsChild(dialog, focus)) info.savedFocus = focus;
}

void RestoreFocus(HWND dialog, DialogInfo& info) {
    if (info.givingFocus) return;
    HWND target = info.savedFocus;
    if (!target || !IsWindow(target) || !IsChild(dialog, target)) target = GetNextDlgTabItem(dialog, nullptr, FALSE);
    if (target) SetDialogFocus(dialog, target);
}

void RestyleDefault(HWND dialog, WORD id, DWORD type) {
    DWORD error = GetLastError();
    HWND button = GetDlgItem(dialog, id);
    SetLastError(error);
    if (!button) return;
    UINT code = UINT(SendMessageW(button, WM_GETDLGCODE, 0, 0));
    if (!(code & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON))) return;
    DWORD style = DWORD(GetWindowLongW(button, GWL_STYLE));
    SendMessageW(button, BM_SETSTYLE, (style & 0xFFFF & ~DWORD(BS_TYPEMASK)) | type, TRUE);
}

LRESULT DefaultProcessing(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto info = FindDialogInfo(dialog, true);
    if (!info) return DefWindowProcW(dialog, message, wParam, lParam);
    switch (message) {
        case WM_ACTIVATE:
            if (LOWORD(wParam) == WA_INACTIVE)
                SaveFocus(dialog, *info);
            else
                RestoreFocus(dialog, *info);
            return 0;
        case WM_SETFOCUS:
            RestoreFocus(dialog, *info);
            return 0;
        case WM_SHOWWINDOW:
            if (!wParam) SaveFocus(dialog, *info);
            return DefWindowProcW(dialog, message, wParam, lParam);
        case WM_CLOSE: {
            DWORD error = GetLastError();
            HWND cancel = GetDlgItem(dialog, IDCANCEL);
            SetLastError(error);
            if (cancel && !IsWindowEnabled(cancel)) return 0;
            PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), reinterpret_cast<LPARAM>(cancel));
            return 0;
        }
        case WM_NEXTDLGCTL: {
            HWND target;
            if (LOWORD(lParam)) {
                target = reinterpret_cast<HWND>(wParam);
            } else {
                HWND focus = GetFocus();
                if (!IsWithin(dialog, focus) || focus == dialog) focus = nullptr;
                target = GetNextDlgTabItem(dialog, focus, wParam != 0);
            }
            if (target && IsWithin(dialog, target)) SetDialogFocus(dialog, target);
            return 0;
        }
        case DM_GETDEFID:
            return info->hasDefaultId ? MAKELRESULT(info->defaultId, DC_HASDEFID) : 0;
        case DM_SETDEFID: {
            WORD oldId = info->defaultId;
            bool had = info->hasDefaultId;
            info->defaultId = WORD(wParam);
            info->hasDefaultId = true;
            if (had && oldId != WORD(wParam)) RestyleDefault(dialog, oldId, BS_PUSHBUTTON);
            RestyleDefault(dialog, WORD(wParam), BS_DEFPUSHBUTTON);
            return TRUE;
        }
        case WM_GETFONT:
            return reinterpret_cast<LRESULT>(info->font);
        case WM_LBUTTONDOWN: {
            // The focus may be the edit inside a combo box.
            for (HWND w = GetFocus(); w && w != dialog && IsChild(dialog, w); w = GetParent(w)) {
                WCHAR name[16] = {};
                GetClassNameW(w, name, 16);
                if (lstrcmpiW(name, u"ComboBox") == 0) {
                    SendMessageW(w, CB_SHOWDROPDOWN, FALSE, 0);
                    break;
                }
            }
            return DefWindowProcW(dialog, message, wParam, lParam);
        }
        case WM_INITDIALOG:
        case WM_COMPAREITEM:
        case WM_VKEYTOITEM:
        case WM_CHARTOITEM:
            return 0;
        case WM_NCDESTROY:
            ForgetDialogInfo(dialog);
            return DefWindowProcW(dialog, message, wParam, lParam);
        default:
            return DefWindowProcW(dialog, message, wParam, lParam);
    }
}

}  // namespace

}  // namespace w32

LRESULT WINAPI DefDlgProcW(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    using namespace w32;
    DWORD error = GetLastError();
    auto proc = reinterpret_cast<DLGPROC>(GetWindowLongPtrW(dialog, DWLP_DLGPROC));
    if (proc) SetWindowLongPtrW(dialog, DWLP_MSGRESULT, 0);
    SetLastError(error);
    INT_PTR handled = proc ? proc(dialog, message, wParam, lParam) : 0;
    if (!IsWindow(dialog)) return handled;  // the procedure destroyed its dialog
    if (handled) {
        if (AnswersWithProcedureResult(message)) return handled;
        return GetWindowLongPtrW(dialog, DWLP_MSGRESULT);
    }
    return DefaultProcessing(dialog, message, wParam, lParam);
}
