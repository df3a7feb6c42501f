// The order Tab and the arrow keys move through a dialog's controls.
//
// The controls are the dialog's children in z-order (template order), with
// a visible, enabled child that has WS_EX_CONTROLPARENT (a page, a nested
// dialog) standing for its own controls in its place. Only visible, enabled
// controls are found.
//
//  GetNextDlgTabItem     the next (previous) control with WS_TABSTOP after
//                        hCtl, wrapping at the end; with a null hCtl the
//                        search starts from the last (first) control, so it
//                        finds the first (last) tab stop. hCtl itself when it
//                        is the only one.
//  GetNextDlgGroupItem   the next (previous) control of hCtl's group, wrapping
//                        inside it: a group starts at a control with WS_GROUP
//                        and runs up to the next such control.
#include <vector>

#include "user32/dialog.h"

namespace {

struct Control {
    HWND hwnd;
    DWORD style;
};

void CollectControls(HWND parent, std::vector<Control>& out, int depth = 0) {
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        DWORD style = DWORD(GetWindowLongW(child, GWL_STYLE));
        DWORD exStyle = DWORD(GetWindowLongW(child, GWL_EXSTYLE));
        // Nesting is bounded: a tree of containers deeper than this is not a dialog.
        if ((exStyle & WS_EX_CONTROLPARENT) && (style & WS_VISIBLE) && !(style & WS_DISABLED) && depth < 32) {
            CollectControls(child, out, depth + 1);
        } else {
            out.push_back({child, style});
        }
    }
}

bool Usable(const Control& c) { return (c.style & WS_VISIBLE) && !(c.style & WS_DISABLED); }

// The index of the control that is or holds `hwnd`, or -1.
int IndexOf(const std::vector<Control>& controls, HWND hwnd) {
    if (!hwnd) return -1;
    for (size_t i = 0; i < controls.size(); ++i) {
        if (controls[i].hwnd == hwnd || IsChild(controls[i].hwnd, hwnd)) return int(i);
    }
    return -1;
}

bool Prepare(HWND dialog, HWND control, std::vector<Control>& controls, int& start, bool previous) {
    if (!IsWindow(dialog)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return false;
    }
    CollectControls(dialog, controls);
    if (controls.empty()) return false;
    start = IndexOf(controls, control);
    if (start < 0) start = previous ? 0 : int(controls.size()) - 1;
    return true;
}

}  // namespace

HWND WINAPI GetNextDlgTabItem(HWND dialog, HWND control, BOOL previous) {
    std::vector<Control> controls;
    int start = 0;
    if (!Prepare(dialog, control, controls, start, previous)) return nullptr;
    const int n = int(controls.size());
    for (int k = 1; k <= n; ++k) {
        int j = previous ? (start - k % n + n) % n : (start + k) % n;
        if ((controls[j].style & WS_TABSTOP) && Usable(controls[j])) return controls[j].hwnd;
    }
    return control;
}

HWND WINAPI GetNextDlgGroupItem(HWND dialog, HWND control, BOOL previous) {
    std::vector<Control> controls;
    int start = 0;
    if (!Prepare(dialog, control, controls, start, previous)) return nullptr;
    int begin = start;
    while (begin > 0 && !(controls[begin].style & WS_GROUP)) --begin;
    int end = start + 1;
    while (end < int(controls.size()) && !(controls[end].style & WS_GROUP)) ++end;
    const int n = end - begin;
    for (int k = 1; k <= n; ++k) {
        int offset = start - begin;
        int j = begin + (previous ? (offset - k % n + n) % n : (offset + k) % n);
        if (Usable(controls[j])) return controls[j].hwnd;
    }
    return control;
}
