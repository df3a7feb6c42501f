// DrawEdge and DrawFocusRect: the 3-D edges and the focus rectangle of the
// classic look, in the system colours.
//
// An edge is up to two lines on each side chosen by BF_LEFT, BF_TOP,
// BF_RIGHT and BF_BOTTOM: the outer line (BDR_RAISEDOUTER or
// BDR_SUNKENOUTER) and inside it the inner line (BDR_RAISEDINNER or
// BDR_SUNKENINNER). The top and left lines take the light colour of a
// raised border and the dark colour of a sunken one, the bottom and right
// lines the other; the bottom and right lines run the full length, so they
// own the top-right and bottom-left corners.
//
//   raised outer  3D light / 3D dark shadow     sunken outer  shadow / highlight
//   raised inner  highlight / shadow            sunken inner  3D dark shadow / 3D light
//
// BF_SOFT swaps the top-left colours of the outer and inner lines; BF_FLAT
// draws the outer line in the shadow colour and the inner in the face
// colour, BF_MONO the outer line in the window frame colour and the inner in
// the window colour. BF_MIDDLE fills what is inside with the face colour
// (the window colour with BF_MONO or BF_FLAT); BF_ADJUST moves the
// rectangle in by the width of the sides drawn. Diagonal edges (BF_DIAGONAL)
// are not drawn here: ERROR_CALL_NOT_IMPLEMENTED.
#include <windows.h>

namespace {

void Line(HDC hdc, int left, int top, int right, int bottom, int color) {
    const RECT r{left, top, right, bottom};
    if (left < right && top < bottom) FillRect(hdc, &r, GetSysColorBrush(color));
}

struct LineColors {
    int topLeft;
    int bottomRight;
};

// The colours of the outer (`outer` true) or inner line of an edge.
bool ColorsOf(UINT edge, UINT flags, bool outer, LineColors& out) {
    const UINT raised = outer ? BDR_RAISEDOUTER : BDR_RAISEDINNER;
    const UINT sunken = outer ? BDR_SUNKENOUTER : BDR_SUNKENINNER;
    if (!(edge & (raised | sunken))) return false;
    if (flags & BF_MONO) {
        out = outer ? LineColors{COLOR_WINDOWFRAME, COLOR_WINDOWFRAME} : LineColors{COLOR_WINDOW, COLOR_WINDOW};
        return true;
    }
    if (flags & BF_FLAT) {
        out = outer ? LineColors{COLOR_BTNSHADOW, COLOR_BTNSHADOW} : LineColors{COLOR_BTNFACE, COLOR_BTNFACE};
        return true;
    }
    const bool isRaised = (edge & raised) != 0;
    if (outer)
        out = isRaised ? LineColors{COLOR_3DLIGHT, COLOR_3DDKSHADOW} : LineColors{COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT};
    else
        out = isRaised ? LineColors{COLOR_BTNHIGHLIGHT, COLOR_BTNSHADOW} : LineColors{COLOR_3DDKSHADOW, COLOR_3DLIGHT};
    if (flags & BF_SOFT) {
        // The top-left colour of the other line of the same kind.
        if (outer)
            out.topLeft = isRaised ? COLOR_BTNHIGHLIGHT : COLOR_3DDKSHADOW;
        else
            out.topLeft = isRaised ? COLOR_3DLIGHT : COLOR_BTNSHADOW;
    }
    return true;
}

// Draws one line on the sides asked for and moves the rectangle in past it.
void DrawLine(HDC hdc, RECT& r, UINT flags, const LineColors& colors) {
    if (flags & BF_LEFT) Line(hdc, r.left, r.top, r.left + 1, r.bottom - 1, colors.topLeft);
    if (flags & BF_TOP) Line(hdc, r.left, r.top, r.right - 1, r.top + 1, colors.topLeft);
    if (flags & BF_RIGHT) Line(hdc, r.right - 1, r.top, r.right, r.bottom, colors.bottomRight);
    if (flags & BF_BOTTOM) Line(hdc, r.left, r.bottom - 1, r.right, r.bottom, colors.bottomRight);
    if (flags & BF_LEFT) ++r.left;
    if (flags & BF_TOP) ++r.top;
    if (flags & BF_RIGHT) --r.right;
    if (flags & BF_BOTTOM) --r.bottom;
}

}  // namespace

BOOL WINAPI DrawEdge(HDC hdc, LPRECT rect, UINT edge, UINT flags) {
    if (!rect) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (flags & BF_DIAGONAL) {
        SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
        return FALSE;
    }
    if (GetObjectType(hdc) != OBJ_DC && GetObjectType(hdc) != OBJ_MEMDC) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    RECT inside = *rect;
    LineColors colors;
    if (ColorsOf(edge, flags, true, colors)) DrawLine(hdc, inside, flags, colors);
    if (ColorsOf(edge, flags, false, colors)) DrawLine(hdc, inside, flags, colors);
    if (flags & BF_MIDDLE) {
        Line(hdc, inside.left, inside.top, inside.right, inside.bottom,
             (flags & (BF_MONO | BF_FLAT)) ? COLOR_WINDOW : COLOR_BTNFACE);
    }
    if (flags & BF_ADJUST) *rect = inside;
    return TRUE;
}

// Inverts every other pixel of the rectangle's one-pixel border, counted
// from its top-left corner; drawing it again puts the pixels back.
BOOL WINAPI DrawFocusRect(HDC hdc, const RECT* rect) {
    if (!rect) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const int left = rect->left, top = rect->top, right = rect->right, bottom = rect->bottom;
    if (right <= left || bottom <= top) return TRUE;
    HRGN dots = CreateRectRgn(0, 0, 0, 0);
    auto dot = [&](int x, int y) {
        if (((x - left) + (y - top)) % 2 != 0) return;
        HRGN one = CreateRectRgn(x, y, x + 1, y + 1);
        CombineRgn(dots, dots, one, RGN_OR);
        DeleteObject(one);
    };
    for (int x = left; x < right; ++x) {
        dot(x, top);
        if (bottom - 1 > top) dot(x, bottom - 1);
    }
    for (int y = top + 1; y < bottom - 1; ++y) {
        dot(left, y);
        if (right - 1 > left) dot(right - 1, y);
    }
    const BOOL done = InvertRgn(hdc, dots);
    DeleteObject(dots);
    return done;
}
