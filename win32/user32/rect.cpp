// The rectangle helpers: SetRect, SetRectEmpty, CopyRect, IsRectEmpty,
// EqualRect, PtInRect, OffsetRect, InflateRect, IntersectRect, UnionRect
// and SubtractRect.
//
// A rectangle holds its left column and top row, not its right column and
// bottom row; it is empty when it has no width or no height. The functions
// that make a rectangle answer FALSE (and an empty result) when it is empty.
#include <windows.h>

#include <algorithm>

namespace {

bool Empty(const RECT& r) { return r.left >= r.right || r.top >= r.bottom; }

}  // namespace

BOOL WINAPI SetRect(LPRECT rect, int left, int top, int right, int bottom) {
    if (!rect) return FALSE;
    *rect = RECT{left, top, right, bottom};
    return TRUE;
}

BOOL WINAPI SetRectEmpty(LPRECT rect) { return SetRect(rect, 0, 0, 0, 0); }

BOOL WINAPI CopyRect(LPRECT to, const RECT* from) {
    if (!to || !from) return FALSE;
    *to = *from;
    return TRUE;
}

BOOL WINAPI IsRectEmpty(const RECT* rect) { return !rect || Empty(*rect); }

BOOL WINAPI EqualRect(const RECT* a, const RECT* b) {
    if (!a || !b) return FALSE;
    return a->left == b->left && a->top == b->top && a->right == b->right && a->bottom == b->bottom;
}

BOOL WINAPI PtInRect(const RECT* rect, POINT point) {
    return rect && point.x >= rect->left && point.x < rect->right && point.y >= rect->top && point.y < rect->bottom;
}

BOOL WINAPI OffsetRect(LPRECT rect, int dx, int dy) {
    if (!rect) return FALSE;
    rect->left += dx;
    rect->right += dx;
    rect->top += dy;
    rect->bottom += dy;
    return TRUE;
}

BOOL WINAPI InflateRect(LPRECT rect, int dx, int dy) {
    if (!rect) return FALSE;
    rect->left -= dx;
    rect->right += dx;
    rect->top -= dy;
    rect->bottom += dy;
    return TRUE;
}

BOOL WINAPI IntersectRect(LPRECT out, const RECT* a, const RECT* b) {
    if (!out) return FALSE;
    if (!a || !b || Empty(*a) || Empty(*b) || a->left >= b->right || b->left >= a->right || a->top >= b->bottom ||
        b->top >= a->bottom) {
        *out = RECT{};
        return FALSE;
    }
    *out = RECT{std::max(a->left, b->left), std::max(a->top, b->top), std::min(a->right, b->right),
                std::min(a->bottom, b->bottom)};
    return TRUE;
}

// An empty rectangle adds nothing.
BOOL WINAPI UnionRect(LPRECT out, const RECT* a, const RECT* b) {
    if (!out || !a || !b) return FALSE;
    if (Empty(*a) && Empty(*b)) {
        *out = RECT{};
        return FALSE;
    }
    if (Empty(*a)) {
        *out = *b;
    } else if (Empty(*b)) {
        *out = *a;
    } else {
        *out = RECT{std::min(a->left, b->left), std::min(a->top, b->top), std::max(a->right, b->right),
                    std::max(a->bottom, b->bottom)};
    }
    return TRUE;
}

// `a` less `b`, when what is left is a rectangle (`b` covers a whole side
// of it); else `a` itself.
BOOL WINAPI SubtractRect(LPRECT out, const RECT* a, const RECT* b) {
    if (!out || !a || !b) return FALSE;
    if (Empty(*a)) {
        *out = RECT{};
        return FALSE;
    }
    RECT result = *a;
    RECT overlap;
    if (IntersectRect(&overlap, a, b)) {
        const bool fullWidth = overlap.left == a->left && overlap.right == a->right;
        const bool fullHeight = overlap.top == a->top && overlap.bottom == a->bottom;
        if (fullWidth && overlap.top == a->top) result.top = overlap.bottom;
        else if (fullWidth && overlap.bottom == a->bottom) result.bottom = overlap.top;
        else if (fullHeight && overlap.left == a->left) result.left = overlap.right;
        else if (fullHeight && overlap.right == a->right) result.right = overlap.left;
    }
    *out = result;
    if (Empty(result)) {
        *out = RECT{};
        return FALSE;
    }
    return TRUE;
}
