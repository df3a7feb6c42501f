// The system's "Button" class: push buttons, check boxes, radio buttons,
// group boxes and owner-drawn buttons, one procedure chosen by the low four
// bits of the style (BS_TYPEMASK).
//
//  BM_GETCHECK/SETCHECK  the check of check boxes and radio buttons (0 for
//                      the others); setting it notifies nobody, checks no
//                      other radio button, and gives a radio button
//                      WS_TABSTOP when checked and takes it when unchecked
//  BM_GETSTATE/SETSTATE  BST_PUSHED, BST_FOCUS and the check
//  BM_SETSTYLE         changes the button's kind (BS_TYPEMASK) only, so the
//                      dialog manager's BS_PUSHBUTTON/BS_DEFPUSHBUTTON keeps
//                      BS_NOTIFY, BS_MULTILINE and the rest
//  BM_CLICK            WM_LBUTTONDOWN and WM_LBUTTONUP to the button itself,
//                      as a person's click; nothing when it is disabled
//  WM_LBUTTONDOWN      focus and capture, pushed; while captured the button
//                      is pushed only with the pointer over it
//  WM_LBUTTONUP        over the button: unpushed, capture released, then the
//                      automatic kinds change their check (an automatic
//                      radio button also clears the other radio buttons of
//                      its group), then BN_CLICKED; elsewhere no click
//  Space               down pushes, up clicks as the mouse does
//  WM_KILLFOCUS        a pushed button comes back up without a click
//  WM_GETDLGCODE       DLGC_BUTTON with DLGC_DEFPUSHBUTTON or
//                      DLGC_UNDEFPUSHBUTTON (push buttons) or
//                      DLGC_RADIOBUTTON; DLGC_STATIC for group boxes
//  WM_NCHITTEST        group boxes are transparent (HTTRANSPARENT)
//
// A group is the run of siblings from the nearest WS_GROUP window at or
// before the button to the next WS_GROUP window. An owner-drawn button asks
// nothing of the dialog manager's default handling (DLGC_BUTTON alone): a
// BM_SETSTYLE(BS_DEFPUSHBUTTON) would otherwise take its owner-drawn kind.
#include "user32/button.h"

#include "user32/control.h"
#include "user32/systemclasses.h"

namespace w32 {

namespace {

enum class Kind { Push, Check, Radio, Group, OwnerDraw };

Kind KindOf(DWORD style) {
    switch (style & BS_TYPEMASK) {
        case BS_CHECKBOX:
        case BS_AUTOCHECKBOX:
        case BS_3STATE:
        case BS_AUTO3STATE:
            return Kind::Check;
        case BS_RADIOBUTTON:
        case BS_AUTORADIOBUTTON:
            return Kind::Radio;
        case BS_GROUPBOX:
            return Kind::Group;
        case BS_OWNERDRAW:
            return Kind::OwnerDraw;
        default:
            return Kind::Push;
    }
}

bool IsThreeState(DWORD style) {
    DWORD type = style & BS_TYPEMASK;
    return type == BS_3STATE || type == BS_AUTO3STATE;
}

ButtonRecord* RecordOf(HWND hwnd) {
    return ControlRecord<ButtonRecord>(hwnd);
}

bool PointInClient(HWND hwnd, LPARAM lParam) {
    RECT client;
    if (!GetClientRect(hwnd, &client)) return false;
    int x = short(LOWORD(lParam)), y = short(HIWORD(lParam));
    return x >= client.left && x < client.right && y >= client.top && y < client.bottom;
}

void SetPushed(HWND hwnd, bool pushed) {
    ButtonRecord* record = RecordOf(hwnd);
    if (!record || record->pushed == pushed) return;
    record->pushed = pushed;
    RedrawButton(hwnd, ODA_SELECT);
}

// The radio buttons sharing the group of `button` among its siblings.
void ClearOtherRadiosOfGroup(HWND button) {
    HWND first = button;
    while (!(ControlStyle(first) & WS_GROUP)) {
        HWND prev = GetWindow(first, GW_HWNDPREV);
        if (!prev) break;
        first = prev;
    }
    for (HWND sibling = first; sibling; sibling = GetWindow(sibling, GW_HWNDNEXT)) {
        if (sibling != first && (ControlStyle(sibling) & WS_GROUP)) break;
        if (sibling == button) continue;
        if (SendMessageW(sibling, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON) {
            SendMessageW(sibling, BM_SETCHECK, BST_UNCHECKED, 0);
        }
    }
}

// A completed click: the automatic kinds change their check, then the
// parent hears BN_CLICKED and sees the new state.
void Click(HWND hwnd) {
    DWORD style = ControlStyle(hwnd);
    switch (style & BS_TYPEMASK) {
        case BS_AUTOCHECKBOX: {
            LRESULT check = SendMessageW(hwnd, BM_GETCHECK, 0, 0);
            SendMessageW(hwnd, BM_SETCHECK, check == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED, 0);
            break;
        }
        case BS_AUTO3STATE: {
            LRESULT check = SendMessageW(hwnd, BM_GETCHECK, 0, 0);
            SendMessageW(hwnd, BM_SETCHECK, (check + 1) % 3, 0);
            break;
        }
        case BS_AUTORADIOBUTTON:
            SendMessageW(hwnd, BM_SETCHECK, BST_CHECKED, 0);
            ClearOtherRadiosOfGroup(hwnd);
            break;
        default:
            break;
    }
    if (IsWindow(hwnd)) NotifyParent(hwnd, BN_CLICKED);
}

LRESULT SetCheck(HWND hwnd, WPARAM check) {
    ButtonRecord* record = RecordOf(hwnd);
    DWORD style = ControlStyle(hwnd);
    Kind kind = KindOf(style);
    if (!record || (kind != Kind::Check && kind != Kind::Radio)) return 0;
    UINT value = check == BST_INDETERMINATE && IsThreeState(style) ? BST_INDETERMINATE
                 : check                                          ? BST_CHECKED
                                                                  : BST_UNCHECKED;
    if (kind == Kind::Radio) {
        // The checked radio button of a group is the one Tab stops at.
        DWORD tabbed = value ? (style | WS_TABSTOP) : (style & ~DWORD(WS_TABSTOP));
        if (tabbed != style) SetWindowLongW(hwnd, GWL_STYLE, LONG(tabbed));
        record = RecordOf(hwnd);
        if (!record) return 0;
    }
    if (record->check != value) {
        record->check = value;
        RedrawButton(hwnd, ODA_DRAWENTIRE);
    }
    return 0;
}

LRESULT GetDialogCode(DWORD style) {
    switch (KindOf(style)) {
        case Kind::Push:
            return DLGC_BUTTON | ((style & BS_TYPEMASK) == BS_DEFPUSHBUTTON ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
        case Kind::Radio:
            return DLGC_BUTTON | DLGC_RADIOBUTTON;
        case Kind::Group:
            return DLGC_STATIC;
        default:
            return DLGC_BUTTON;
    }
}

LRESULT SetStyle(HWND hwnd, WPARAM newStyle, LPARAM redraw) {
    DWORD style = ControlStyle(hwnd);
    DWORD changed = (style & ~DWORD(BS_TYPEMASK)) | (DWORD(newStyle) & BS_TYPEMASK);
    if (changed != style) SetWindowLongW(hwnd, GWL_STYLE, LONG(changed));
    if (redraw) RedrawButton(hwnd, ODA_DRAWENTIRE);
    return 0;
}

// The image a BS_BITMAP or BS_ICON button shows; answers the previous one.
LRESULT SetImage(HWND hwnd, WPARAM type, LPARAM image) {
    ButtonRecord* record = RecordOf(hwnd);
    if (!record || (type != IMAGE_BITMAP && type != IMAGE_ICON)) return 0;
    HANDLE previous = record->image;
    record->image = reinterpret_cast<HANDLE>(image);
    record->imageType = UINT(type);
    RedrawButton(hwnd, ODA_DRAWENTIRE);
    return reinterpret_cast<LRESULT>(previous);
}

LRESULT GetImage(HWND hwnd, WPARAM type) {
    ButtonRecord* record = RecordOf(hwnd);
    if (!record || !record->image || record->imageType != type) return 0;
    return reinterpret_cast<LRESULT>(record->image);
}

void ButtonDown(HWND hwnd) {
    if (GetFocus() != hwnd) SetFocus(hwnd);
    if (!IsWindow(hwnd)) return;
    SetCapture(hwnd);
    ButtonRecord* record = RecordOf(hwnd);
    if (!record) return;
    record->tracking = true;
    SetPushed(hwnd, true);
}

void ButtonUp(HWND hwnd, LPARAM point) {
    ButtonRecord* record = RecordOf(hwnd);
    if (!record || !record->tracking) return;
    record->tracking = false;
    bool inside = PointInClient(hwnd, point);
    SetPushed(hwnd, false);
    if (GetCapture() == hwnd) ReleaseCapture();
    if (inside && IsWindow(hwnd)) Click(hwnd);
}

// The button comes back up without a click (focus or capture lost).
void CancelPress(HWND hwnd) {
    ButtonRecord* record = RecordOf(hwnd);
    if (!record) return;
    bool hadCapture = record->tracking;
    record->tracking = false;
    record->spaceDown = false;
    SetPushed(hwnd, false);
    if (hadCapture && GetCapture() == hwnd) ReleaseCapture();
}

}  // namespace

LRESULT CALLBACK ButtonWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_NCCREATE:
            MakeControlRecord<ButtonRecord>(hwnd);
            return DefWindowProcW(hwnd, message, wParam, lParam);
        case WM_NCDESTROY:
            FreeControlRecord<ButtonRecord>(hwnd);
            return DefWindowProcW(hwnd, message, wParam, lParam);
        case WM_GETDLGCODE:
            return GetDialogCode(ControlStyle(hwnd));
        case WM_NCHITTEST:
            if (KindOf(ControlStyle(hwnd)) == Kind::Group) return HTTRANSPARENT;
            return DefWindowProcW(hwnd, message, wParam, lParam);
        case BM_GETCHECK: {
            ButtonRecord* record = RecordOf(hwnd);
            Kind kind = KindOf(ControlStyle(hwnd));
            return record && (kind == Kind::Check || kind == Kind::Radio) ? record->check : 0;
        }
        case BM_SETCHECK:
            return SetCheck(hwnd, wParam);
        case BM_GETSTATE: {
            ButtonRecord* record = RecordOf(hwnd);
            if (!record) return 0;
            return record->check | (record->pushed ? BST_PUSHED : 0) | (record->focused ? BST_FOCUS : 0);
        }
        case BM_SETSTATE:
            SetPushed(hwnd, wParam != 0);
            return 0;
        case BM_SETSTYLE:
            return SetStyle(hwnd, wParam, lParam);
        case BM_CLICK:
            if (!IsWindowEnabled(hwnd)) return 0;
            SendMessageW(hwnd, WM_LBUTTONDOWN, 0, 0);
            if (IsWindow(hwnd)) SendMessageW(hwnd, WM_LBUTTONUP, 0, 0);
            return 0;
        case BM_SETIMAGE:
            return SetImage(hwnd, wParam, lParam);
        case BM_GETIMAGE:
            return GetImage(hwnd, wParam);
        case WM_LBUTTONDBLCLK: {
            DWORD style = ControlStyle(hwnd);
            Kind kind = KindOf(style);
            if (kind == Kind::Group) return 0;
            // Radio and owner-drawn buttons, and buttons asking for it,
            // report a double click; the others take it as a second press.
            if ((style & BS_NOTIFY) || kind == Kind::Radio || kind == Kind::OwnerDraw) {
                NotifyParent(hwnd, BN_DBLCLK);
                return 0;
            }
            ButtonDown(hwnd);
            return 0;
        }
        case WM_LBUTTONDOWN:
            if (KindOf(ControlStyle(hwnd)) == Kind::Group || !IsWindowEnabled(hwnd)) return 0;
            ButtonDown(hwnd);
            return 0;
        case WM_MOUSEMOVE: {
            ButtonRecord* record = RecordOf(hwnd);
            if (record && record->tracking) SetPushed(hwnd, PointInClient(hwnd, lParam));
            return 0;
        }
        case WM_LBUTTONUP:
            ButtonUp(hwnd, lParam);
            return 0;
        case WM_CAPTURECHANGED: {
            ButtonRecord* record = RecordOf(hwnd);
            if (record && record->tracking && reinterpret_cast<HWND>(lParam) != hwnd) CancelPress(hwnd);
            return 0;
        }
        case WM_KEYDOWN: {
            ButtonRecord* record = RecordOf(hwnd);
            if (wParam != VK_SPACE || !record || KindOf(ControlStyle(hwnd)) == Kind::Group) break;
            if (!record->tracking && !(lParam & 0x40000000)) {  // not a key repeat
                record->spaceDown = true;
                SetPushed(hwnd, true);
            }
            return 0;
        }
        case WM_KEYUP: {
            ButtonRecord* record = RecordOf(hwnd);
            if (wParam != VK_SPACE || !record) break;
            if (record->spaceDown) {
                record->spaceDown = false;
                bool pushed = record->pushed;
                SetPushed(hwnd, false);
                if (pushed && IsWindow(hwnd)) Click(hwnd);
            }
            return 0;
        }
        case WM_SETFOCUS: {
            ButtonRecord* record = RecordOf(hwnd);
            if (!record) return 0;
            record->focused = true;
            RedrawButton(hwnd, ODA_FOCUS);
            if (ControlStyle(hwnd) & BS_NOTIFY) NotifyParent(hwnd, BN_SETFOCUS);
            return 0;
        }
        case WM_KILLFOCUS: {
            ButtonRecord* record = RecordOf(hwnd);
            if (!record) return 0;
            record->focused = false;
            CancelPress(hwnd);
            RedrawButton(hwnd, ODA_FOCUS);
            if (ControlStyle(hwnd) & BS_NOTIFY) NotifyParent(hwnd, BN_KILLFOCUS);
            return 0;
        }
        case WM_ENABLE:
            RedrawButton(hwnd, ODA_DRAWENTIRE);
            return 0;
        case WM_SETTEXT: {
            LRESULT result = DefWindowProcW(hwnd, message, wParam, lParam);
            RedrawButton(hwnd, ODA_DRAWENTIRE);
            return result;
        }
        case WM_SETFONT: {
            ButtonRecord* record = RecordOf(hwnd);
            if (record) record->font = reinterpret_cast<HFONT>(wParam);
            if (LOWORD(lParam)) RedrawButton(hwnd, ODA_DRAWENTIRE);
            return 0;
        }
        case WM_GETFONT: {
            ButtonRecord* record = RecordOf(hwnd);
            return record ? reinterpret_cast<LRESULT>(record->font) : 0;
        }
        case WM_PRINTCLIENT:
            PaintButton(hwnd, reinterpret_cast<HDC>(wParam));
            return 0;
        default:
            break;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace w32
