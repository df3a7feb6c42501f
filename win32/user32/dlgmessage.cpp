// IsDialogMessageW: the keyboard interface of a dialog, for modal loops and
// for the loops of modeless dialogs.
//
// A message for the dialog or one of its controls is taken (TRUE); others
// are left to the caller (FALSE). A key first asks the control it is for
// WM_GETDLGCODE (wParam: the key, lParam: the MSG); a control that answers
// DLGC_WANTMESSAGE gets every key, and otherwise:
//
//  Tab, Shift+Tab   WM_NEXTDLGCTL to the next or previous tab stop, unless
//                   the control wants tabs (DLGC_WANTTAB)
//  arrow keys       the next (Right, Down) or previous (Left, Up) control of
//                   the group gets the focus, unless the control wants arrows
//                   (DLGC_WANTARROWS); an automatic radio button is also
//                   clicked (BM_CLICK)
//  Enter            WM_COMMAND BN_CLICKED for the focused push button, else
//                   for the default id (DM_GETDEFID, when its control is
//                   enabled), else for IDOK
//  Esc              WM_COMMAND IDCANCEL (lParam: the Cancel button), unless
//                   the Cancel button is disabled
//  characters       a control that does not want characters (DLGC_WANTCHARS)
//                   lets a plain letter act as a mnemonic, as Alt+letter
//                   (WM_SYSCHAR) always does: the next control whose text
//                   has "&letter" is chosen; a push button is clicked, another
//                   button gets the focus and is clicked, a static passes the
//                   focus to the next control that takes it, any other
//                   control gets the focus.
// Everything else is translated and dispatched.
#include <vector>

#include "user32/dialog.h"

namespace w32 {

namespace {

UINT CodeOf(HWND control, const MSG* msg) {
    return control ? UINT(SendMessageW(control, WM_GETDLGCODE, msg ? msg->wParam : 0, reinterpret_cast<LPARAM>(msg)))
                   : 0;
}

HWND DialogFocus(HWND dialog) {
    HWND focus = GetFocus();
    return focus && focus != dialog && IsChild(dialog, focus) ? focus : nullptr;
}

void SendCommand(HWND dialog, int id, HWND control) {
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(control));
}

void PressEnter(HWND dialog) {
    HWND focus = DialogFocus(dialog);
    if (focus && (CodeOf(focus, nullptr) & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON))) {
        if (IsWindowEnabled(focus)) SendCommand(dialog, GetDlgCtrlID(focus), focus);
        return;
    }
    bool has = false;
    WORD id = DefaultButtonId(dialog, has);
    DWORD error = GetLastError();
    if (has) {
        HWND button = GetDlgItem(dialog, id);
        SetLastError(error);
        if (!button || IsWindowEnabled(button)) SendCommand(dialog, id, button);
        return;
    }
    HWND ok = GetDlgItem(dialog, IDOK);
    SetLastError(error);
    SendCommand(dialog, IDOK, ok);
}

void PressEscape(HWND dialog) {
    DWORD error = GetLastError();
    HWND cancel = GetDlgItem(dialog, IDCANCEL);
    SetLastError(error);
    if (cancel && !IsWindowEnabled(cancel)) return;
    SendCommand(dialog, IDCANCEL, cancel);
}

void MoveInGroup(HWND dialog, bool previous) {
    HWND focus = DialogFocus(dialog);
    HWND next = GetNextDlgGroupItem(dialog, focus, previous);
    if (!next || next == focus) return;
    SetDialogFocus(dialog, next);
    if ((CodeOf(next, nullptr) & DLGC_RADIOBUTTON) &&
        (DWORD(GetWindowLongW(next, GWL_STYLE)) & BS_TYPEMASK) == BS_AUTORADIOBUTTON) {
        SendMessageW(next, BM_CLICK, 0, 0);
    }
}

// The mnemonic of a control's text: the character after a single '&'.
WCHAR MnemonicOf(HWND control) {
    WCHAR text[256];
    int length = GetWindowTextW(control, text, 256);
    for (int i = 0; i + 1 < length; ++i) {
        if (text[i] != u'&') continue;
        if (text[i + 1] == u'&') {
            ++i;
            continue;
        }
        return text[i + 1];
    }
    return 0;
}

bool SameLetter(WCHAR a, WCHAR b) {
    WCHAR x[2] = {a, 0}, y[2] = {b, 0};
    CharUpperW(x);
    CharUpperW(y);
    return x[0] == y[0];
}

void CollectAll(HWND parent, std::vector<HWND>& out, int depth = 0) {
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        DWORD exStyle = DWORD(GetWindowLongW(child, GWL_EXSTYLE));
        if ((exStyle & WS_EX_CONTROLPARENT) && depth < 32)
            CollectAll(child, out, depth + 1);
        else
            out.push_back(child);
    }
}

bool Takes(HWND control) { return IsWindowVisible(control) && IsWindowEnabled(control); }

bool PressMnemonic(HWND dialog, WCHAR letter) {
    std::vector<HWND> controls;
    CollectAll(dialog, controls);
    const int n = int(controls.size());
    if (n == 0) return false;
    HWND focus = DialogFocus(dialog);
    int start = n - 1;
    for (int i = 0; i < n; ++i) {
        if (focus && (controls[i] == focus || IsChild(controls[i], focus))) start = i;
    }
    for (int k = 1; k <= n; ++k) {
        const int i = (start + k) % n;
        HWND control = controls[i];
        if (!IsWindowVisible(control)) continue;
        UINT code = CodeOf(control, nullptr);
        bool isStatic = (code & DLGC_STATIC) != 0;
        if (isStatic && (DWORD(GetWindowLongW(control, GWL_STYLE)) & SS_NOPREFIX)) continue;
        if (!isStatic && !IsWindowEnabled(control)) continue;
        WCHAR mnemonic = MnemonicOf(control);
        if (!mnemonic || !SameLetter(mnemonic, letter)) continue;
        if (isStatic) {
            for (int m = 1; m < n; ++m) {
                HWND next = controls[(i + m) % n];
                if (Takes(next) && !(CodeOf(next, nullptr) & DLGC_STATIC)) {
                    SetDialogFocus(dialog, next);
                    break;
                }
            }
        } else if (code & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) {
            SendMessageW(control, BM_CLICK, 0, 0);
        } else if (code & (DLGC_BUTTON | DLGC_RADIOBUTTON)) {
            SetDialogFocus(dialog, control);
            SendMessageW(control, BM_CLICK, 0, 0);
        } else {
            SetDialogFocus(dialog, control);
        }
        return true;
    }
    return false;
}

bool HandleKey(HWND dialog, const MSG* msg) {
    UINT code = CodeOf(msg->hwnd, msg);
    if (code & DLGC_WANTMESSAGE) return false;
    switch (msg->wParam) {
        case VK_TAB:
            if (code & DLGC_WANTTAB) return false;
            SendMessageW(dialog, WM_NEXTDLGCTL, (GetKeyState(VK_SHIFT) & 0x8000) ? 1 : 0, 0);
            return true;
        case VK_LEFT:
        case VK_UP:
        case VK_RIGHT:
        case VK_DOWN:
            if (code & DLGC_WANTARROWS) return false;
            MoveInGroup(dialog, msg->wParam == VK_LEFT || msg->wParam == VK_UP);
            return true;
        case VK_RETURN:
        case VK_EXECUTE:
            PressEnter(dialog);
            return true;
        case VK_ESCAPE:
        case VK_CANCEL:
            PressEscape(dialog);
            return true;
        default:
            return false;
    }
}

}  // namespace

}  // namespace w32

BOOL WINAPI IsDialogMessageW(HWND dialog, LPMSG msg) {
    using namespace w32;
    if (!msg || !IsWindow(dialog)) return FALSE;
    if (!msg->hwnd || (msg->hwnd != dialog && !IsChild(dialog, msg->hwnd))) return FALSE;
    switch (msg->message) {
        case WM_KEYDOWN:
            if (HandleKey(dialog, msg)) return TRUE;
            break;
        case WM_CHAR: {
            UINT code = CodeOf(msg->hwnd, msg);
            if (code & (DLGC_WANTCHARS | DLGC_WANTMESSAGE)) break;
            if (msg->wParam == u'\t' && (code & DLGC_WANTTAB)) break;
            // Tab, Enter and Esc were taken as keys; their characters do nothing.
            if (msg->wParam == u'\t' || msg->wParam == u'\r' || msg->wParam == 0x1B) return TRUE;
            if (PressMnemonic(dialog, WCHAR(msg->wParam))) return TRUE;
            break;
        }
        case WM_SYSCHAR:
            if (PressMnemonic(dialog, WCHAR(msg->wParam))) return TRUE;
            break;
        default:
            break;
    }
    TranslateMessage(msg);
    DispatchMessageW(msg);
    return TRUE;
}
