// DrawFrameControl: the looks of push buttons, check boxes, radio buttons,
// scroll arrows (the combo box's arrow among them) and the caption's close
// button, in the system colours of the classic look.
//
//   push button   a raised edge filled with the face colour; sunken when
//                 DFCS_PUSHED or DFCS_CHECKED; flat or mono as DrawEdge
//   check box     a sunken square as large as the rectangle's smaller side,
//                 at its left, centred up and down; the window colour
//                 inside (the face colour when DFCS_INACTIVE or
//                 DFCS_PUSHED) and a tick when DFCS_CHECKED (grey for
//                 DFCS_BUTTON3STATE and inactive boxes)
//   radio button  a sunken circle the same way, with a dot when checked
//   scroll arrow  a raised button (sunken and flat when pushed) with a
//                 solid triangle pointing its way
//   close button  a raised button with a cross
// DFCS_ADJUSTRECT moves the rectangle in past a push button's edge. Other
// kinds (menus, size grips, the other caption buttons) fail with
// ERROR_CALL_NOT_IMPLEMENTED.
#include <windows.h>

#include <algorithm>

namespace {

HBRUSH Brush(int color) { return GetSysColorBrush(color); }

UINT EdgeLook(UINT state) {
    UINT flags = BF_RECT | BF_MIDDLE;
    if (state & DFCS_FLAT) flags |= BF_FLAT;
    if (state & DFCS_MONO) flags |= BF_MONO;
    return flags;
}

void DrawButtonLook(HDC hdc, RECT& r, UINT state, bool adjust) {
    const bool down = (state & (DFCS_PUSHED | DFCS_CHECKED)) != 0;
    RECT inside = r;
    DrawEdge(hdc, &inside, down ? EDGE_SUNKEN : EDGE_RAISED, EdgeLook(state) | BF_ADJUST | (down ? 0 : BF_SOFT));
    if (adjust) r = inside;
}

// The square a check box or radio button takes in the rectangle.
RECT MarkBox(const RECT& r) {
    const int size = std::max(0, int(std::min(r.right - r.left, r.bottom - r.top)));
    const int top = r.top + (r.bottom - r.top - size) / 2;
    return RECT{r.left, top, r.left + size, top + size};
}

void DrawCheckBox(HDC hdc, const RECT& r, UINT state) {
    RECT box = MarkBox(r);
    DrawEdge(hdc, &box, EDGE_SUNKEN, BF_RECT | BF_ADJUST | (state & DFCS_FLAT ? BF_FLAT : 0) |
                                         (state & DFCS_MONO ? BF_MONO : 0));
    const bool grey = (state & (DFCS_INACTIVE | DFCS_PUSHED)) != 0 || (state & DFCS_BUTTON3STATE);
    FillRect(hdc, &box, Brush(grey && (state & (DFCS_INACTIVE | DFCS_PUSHED)) ? COLOR_BTNFACE : COLOR_WINDOW));
    if (!(state & DFCS_CHECKED)) return;
    // A tick: down from the left third, up to the right.
    const int w = box.right - box.left, h = box.bottom - box.top;
    const int x0 = box.left + w / 5, y0 = box.top + h / 2;
    const int x1 = box.left + w * 2 / 5, y1 = box.top + h * 7 / 10;
    const int x2 = box.left + w * 4 / 5, y2 = box.top + h / 4;
    const int color = (state & (DFCS_INACTIVE | DFCS_BUTTON3STATE)) ? COLOR_GRAYTEXT : COLOR_WINDOWTEXT;
    HPEN pen = CreatePen(PS_SOLID, std::max(1, w / 6), GetSysColor(color));
    HGDIOBJ old = SelectObject(hdc, pen);
    MoveToEx(hdc, x0, y0, nullptr);
    LineTo(hdc, x1, y1);
    LineTo(hdc, x2, y2);
    SelectObject(hdc, old);
    DeleteObject(pen);
}

void Circle(HDC hdc, const RECT& r, int penColor, int brushColor) {
    HPEN pen = CreatePen(PS_SOLID, 1, GetSysColor(penColor));
    HGDIOBJ oldPen = SelectObject(hdc, pen);
    HGDIOBJ oldBrush = SelectObject(hdc, Brush(brushColor));
    Ellipse(hdc, r.left, r.top, r.right, r.bottom);
    SelectObject(hdc, oldBrush);
    SelectObject(hdc, oldPen);
    DeleteObject(pen);
}

void DrawRadio(HDC hdc, const RECT& r, UINT state) {
    RECT box = MarkBox(r);
    const bool grey = (state & (DFCS_INACTIVE | DFCS_PUSHED)) != 0;
    Circle(hdc, box, COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT);
    InflateRect(&box, -1, -1);
    Circle(hdc, box, COLOR_3DDKSHADOW, grey ? COLOR_BTNFACE : COLOR_WINDOW);
    if (!(state & DFCS_CHECKED)) return;
    const int size = box.right - box.left;
    InflateRect(&box, -size / 3, -size / 3);
    const int color = (state & DFCS_INACTIVE) ? COLOR_GRAYTEXT : COLOR_WINDOWTEXT;
    Circle(hdc, box, color, color);
}

void DrawArrow(HDC hdc, RECT r, UINT kind, UINT state) {
    const bool pushed = (state & DFCS_PUSHED) != 0;
    DrawEdge(hdc, &r, pushed ? BDR_SUNKENOUTER : EDGE_RAISED,
             BF_RECT | BF_MIDDLE | BF_ADJUST | (pushed ? BF_FLAT : 0) | (state & DFCS_FLAT ? BF_FLAT : 0));
    const int cx = (r.left + r.right) / 2 + (pushed ? 1 : 0), cy = (r.top + r.bottom) / 2 + (pushed ? 1 : 0);
    const int half = std::max(1, int(std::min(r.right - r.left, r.bottom - r.top)) / 4);
    POINT points[3];
    switch (kind) {
        case DFCS_SCROLLUP:
            points[0] = {cx - half, cy + half / 2}, points[1] = {cx + half, cy + half / 2}, points[2] = {cx, cy - half / 2};
            break;
        case DFCS_SCROLLLEFT:
            points[0] = {cx + half / 2, cy - half}, points[1] = {cx + half / 2, cy + half}, points[2] = {cx - half / 2, cy};
            break;
        case DFCS_SCROLLRIGHT:
            points[0] = {cx - half / 2, cy - half}, points[1] = {cx - half / 2, cy + half}, points[2] = {cx + half / 2, cy};
            break;
        default:  // down, and the combo box's arrow
            points[0] = {cx - half, cy - half / 2}, points[1] = {cx + half, cy - half / 2}, points[2] = {cx, cy + half / 2};
            break;
    }
    const int color = (state & DFCS_INACTIVE) ? COLOR_GRAYTEXT : COLOR_BTNTEXT;
    HPEN pen = CreatePen(PS_SOLID, 1, GetSysColor(color));
    HGDIOBJ oldPen = SelectObject(hdc, pen);
    HGDIOBJ oldBrush = SelectObject(hdc, Brush(color));
    Polygon(hdc, points, 3);
    SelectObject(hdc, oldBrush);
    SelectObject(hdc, oldPen);
    DeleteObject(pen);
}

void DrawClose(HDC hdc, RECT r, UINT state) {
    DrawButtonLook(hdc, r, state, true);
    const int inset = std::max(2, int(std::min(r.right - r.left, r.bottom - r.top)) / 4);
    const int color = (state & DFCS_INACTIVE) ? COLOR_GRAYTEXT : COLOR_BTNTEXT;
    HPEN pen = CreatePen(PS_SOLID, 1, GetSysColor(color));
    HGDIOBJ old = SelectObject(hdc, pen);
    MoveToEx(hdc, r.left + inset, r.top + inset, nullptr);
    LineTo(hdc, r.right - inset, r.bottom - inset);
    MoveToEx(hdc, r.right - inset - 1, r.top + inset, nullptr);
    LineTo(hdc, r.left + inset - 1, r.bottom - inset);
    SelectObject(hdc, old);
    DeleteObject(pen);
}

BOOL NotDrawn() {
    SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
    return FALSE;
}

}  // namespace

BOOL WINAPI DrawFrameControl(HDC hdc, LPRECT rect, UINT type, UINT state) {
    if (!rect) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (GetObjectType(hdc) != OBJ_DC && GetObjectType(hdc) != OBJ_MEMDC) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    const UINT kind = state & 0xFF;
    switch (type) {
        case DFC_BUTTON:
            if (kind & DFCS_BUTTONPUSH) {
                DrawButtonLook(hdc, *rect, state, (state & DFCS_ADJUSTRECT) != 0);
                return TRUE;
            }
            if (kind & (DFCS_BUTTONRADIO | DFCS_BUTTONRADIOIMAGE)) {
                DrawRadio(hdc, *rect, state);
                return TRUE;
            }
            if (kind & DFCS_BUTTONRADIOMASK) return NotDrawn();
            DrawCheckBox(hdc, *rect, state);
            return TRUE;
        case DFC_SCROLL:
            if (kind > DFCS_SCROLLRIGHT && kind != DFCS_SCROLLCOMBOBOX) return NotDrawn();
            DrawArrow(hdc, *rect, kind, state);
            return TRUE;
        case DFC_CAPTION:
            if (kind != DFCS_CAPTIONCLOSE) return NotDrawn();
            DrawClose(hdc, *rect, state);
            return TRUE;
        default:
            return NotDrawn();
    }
}
