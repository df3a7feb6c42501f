// The dialog item helpers: each finds the control by id (GetDlgItem, which
// fails with ERROR_CONTROL_ID_NOT_FOUND) and sends it the message the
// operation stands for.
//
//  GetDlgItemInt   the text, after leading blanks, must be decimal digits
//                  (with one leading '-' when bSigned), optionally followed
//                  by blanks, and fit in an int (bSigned) or a UINT; otherwise
//                  0 with *lpTranslated FALSE.
//  CheckRadioButton  BM_SETCHECK to every control with an id from the first
//                  to the last: BST_CHECKED to the one named, BST_UNCHECKED
//                  to the others.
#include "user32/dialog.h"

LRESULT WINAPI SendDlgItemMessageW(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam) {
    HWND control = GetDlgItem(dialog, id);
    return control ? SendMessageW(control, message, wParam, lParam) : 0;
}

UINT WINAPI GetDlgItemTextW(HWND dialog, int id, LPWSTR text, int max) {
    HWND control = GetDlgItem(dialog, id);
    if (!control) {
        if (text && max > 0) text[0] = 0;
        return 0;
    }
    return UINT(GetWindowTextW(control, text, max));
}

BOOL WINAPI SetDlgItemTextW(HWND dialog, int id, LPCWSTR text) {
    HWND control = GetDlgItem(dialog, id);
    return control ? SetWindowTextW(control, text) : FALSE;
}

UINT WINAPI GetDlgItemInt(HWND dialog, int id, BOOL* translated, BOOL isSigned) {
    if (translated) *translated = FALSE;
    WCHAR text[64];
    HWND control = GetDlgItem(dialog, id);
    if (!control) return 0;
    int length = GetWindowTextW(control, text, 64);
    const WCHAR* p = text;
    const WCHAR* end = text + length;
    while (p < end && (*p == u' ' || *p == u'\t')) ++p;
    bool negative = false;
    if (isSigned && p < end && *p == u'-') {
        negative = true;
        ++p;
    }
    if (p == end || *p < u'0' || *p > u'9') return 0;
    unsigned long long value = 0;
    for (; p < end && *p >= u'0' && *p <= u'9'; ++p) {
        value = value * 10 + unsigned(*p - u'0');
        if (value > 0xFFFFFFFFull) return 0;
    }
    while (p < end && (*p == u' ' || *p == u'\t')) ++p;
    if (p != end) return 0;
    if (isSigned && value > (negative ? 0x80000000ull : 0x7FFFFFFFull)) return 0;
    if (translated) *translated = TRUE;
    return negative ? UINT(0u - UINT(value)) : UINT(value);
}

BOOL WINAPI SetDlgItemInt(HWND dialog, int id, UINT value, BOOL isSigned) {
    WCHAR text[16];
    wsprintfW(text, isSigned ? u"%d" : u"%u", value);
    return SetDlgItemTextW(dialog, id, text);
}

BOOL WINAPI CheckDlgButton(HWND dialog, int id, UINT check) {
    HWND control = GetDlgItem(dialog, id);
    if (!control) return FALSE;
    SendMessageW(control, BM_SETCHECK, check, 0);
    return TRUE;
}

UINT WINAPI IsDlgButtonChecked(HWND dialog, int id) {
    return UINT(SendDlgItemMessageW(dialog, id, BM_GETCHECK, 0, 0));
}

BOOL WINAPI CheckRadioButton(HWND dialog, int first, int last, int check) {
    if (!IsWindow(dialog)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        int id = GetDlgCtrlID(child);
        if (id < first || id > last) continue;
        SendMessageW(child, BM_SETCHECK, id == check ? BST_CHECKED : BST_UNCHECKED, 0);
    }
    return TRUE;
}
