// Rectangles, positions, z-order and visibility: GetWindowRect,
// GetClientRect, SetWindowPos, MoveWindow, ShowWindow, MapWindowPoints and
// friends, AdjustWindowRectEx.
//
// A window's rectangles are kept in its parent's client coordinates (a top-
// level window's parent, the desktop, has its client origin at the screen's).
//
// SetWindowPos sends WM_WINDOWPOSCHANGING (whose WINDOWPOS the procedure may
// change) unless SWP_NOSENDCHANGING, WM_NCCALCSIZE(TRUE) when the size
// changes or SWP_FRAMECHANGED, makes the change, activates a top-level window
// unless SWP_NOACTIVATE, and sends WM_WINDOWPOSCHANGED, whose flags carry
// SWP_NOCLIENTSIZE and SWP_NOCLIENTMOVE when the client area kept its size or
// place (DefWindowProcW turns it into WM_SIZE and WM_MOVE).
//
// ShowWindow sends WM_SHOWWINDOW only when the window's visibility really
// changes. SW_SHOW and SW_SHOWNA on a shown window and SW_HIDE on a hidden
// one send nothing at all; the other commands go through SetWindowPos even
// when the visibility stays (WM_WINDOWPOSCHANGING and WM_WINDOWPOSCHANGED,
// and the activation unless the command says otherwise). Hiding a window that holds the focus (or
// whose child does) gives the focus to its parent; hiding the active window
// activates another one.
#include <algorithm>

#include "kernel32/thread.h"
#include "user32/focus.h"
#include "user32/paint.h"
#include "user32/window.h"
#include "user32/wndpos.h"

namespace w32 {

// The sizing frame is the border plus the padded border (4 pixels on a
// 96-dpi Windows 10 desktop); captions and menus include their bottom line.
RECT FrameInsets(DWORD style, DWORD exStyle, bool menu) {
    constexpr int kBorder = 1;
    constexpr int kPaddedBorder = 4;
    int adjust = 0;
    if ((exStyle & (WS_EX_STATICEDGE | WS_EX_DLGMODALFRAME)) == WS_EX_STATICEDGE) {
        adjust = 1;
    } else if ((exStyle & WS_EX_DLGMODALFRAME) || (style & (WS_THICKFRAME | WS_DLGFRAME))) {
        adjust = 2;
    }
    if (style & WS_THICKFRAME) adjust += kBorder + kPaddedBorder;
    if ((style & (WS_BORDER | WS_DLGFRAME)) || (exStyle & WS_EX_DLGMODALFRAME)) ++adjust;
    RECT insets{adjust, adjust, adjust, adjust};
    if ((style & WS_CAPTION) == WS_CAPTION) {
        insets.top += GetSystemMetrics((exStyle & WS_EX_TOOLWINDOW) ? SM_CYSMCAPTION : SM_CYCAPTION);
    }
    if (menu) insets.top += GetSystemMetrics(SM_CYMENU);
    if (exStyle & WS_EX_CLIENTEDGE) {
        insets.left += 2;
        insets.top += 2;
        insets.right += 2;
        insets.bottom += 2;
    }
    return insets;
}

namespace {

struct Geometry {
    RECT rect;
    RECT client;
    POINT parentOrigin;  // screen coordinates of the parent's client origin
    DWORD style;
    bool topLevel;
    bool root;
};

bool GeometryOf(HWND hwnd, Geometry& g) {
    EnsureWindowManager();
    std::lock_guard lock(ManagerLock());
    Window* window = FindWindowOrFailLocked(hwnd);
    if (!window) return false;
    g.rect = window->rect;
    g.client = window->client;
    g.parentOrigin = window->parent ? ClientOriginLocked(window->parent) : POINT{0, 0};
    g.style = window->style;
    g.root = IsRootLocked(window);
    g.topLevel = !g.root && IsRootLocked(window->parent);
    return true;
}

// Screen coordinates of a window's client origin; NULL is the screen.
bool ClientOrigin(HWND hwnd, POINT& origin) {
    if (!hwnd) {
        origin = POINT{0, 0};
        return true;
    }
    EnsureWindowManager();
    std::lock_guard lock(ManagerLock());
    Window* window = FindWindowOrFailLocked(hwnd);
    if (!window) return false;
    origin = ClientOriginLocked(window);
    return true;
}

bool SameSize(const RECT& a, const RECT& b) {
    return a.right - a.left == b.right - b.left && a.bottom - a.top == b.bottom - b.top;
}

RECTL AsRectl(const RECT& r) { return RECTL{r.left, r.top, r.right, r.bottom}; }

// With the lock held, after a window was placed: what must be painted
// again. A window shown is invalid whole; a window hidden has nothing left
// to paint, and a child hidden or moved uncovers its parent (and the
// siblings) where it was. A child moved or sized paints again whole; a
// window that changes size paints what it gained, and whole when its class
// asks for it (CS_HREDRAW for a new width, CS_VREDRAW for a new height);
// its frame is drawn again. A top-level window's move shows nothing new (it
// keeps its surface). True when a window became one to paint.
bool InvalidatePlacedLocked(Window* window, const RECT& oldRect, const RECT& oldClient, UINT flags,
                            bool topLevel) {
    constexpr UINT kWhole = RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN;
    bool joined = false;
    const bool redraw = !(flags & SWP_NOREDRAW);
    if (flags & SWP_HIDEWINDOW) {
        std::vector<std::shared_ptr<Window>> below;
        DescendantsLocked(window, below);
        ForgetPaintingLocked(window);
        for (auto& w : below) ForgetPaintingLocked(w.get());
    }
    const bool moved = !(flags & SWP_NOMOVE), sized = !(flags & SWP_NOSIZE);
    if (!topLevel && redraw && ((flags & SWP_HIDEWINDOW) || ((moved || sized) && (window->style & WS_VISIBLE)))) {
        const Region area(AsRectl(oldRect));  // in the parent's client coordinates
        joined |= RedrawLocked(window->parent, &area, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    }
    if (!(window->style & WS_VISIBLE)) return joined;
    if (flags & SWP_SHOWWINDOW) return RedrawLocked(window, nullptr, kWhole) || joined;
    if (!redraw) return joined;
    const UINT classStyle = window->windowClass ? window->windowClass->style : 0;
    const LONG oldWidth = oldRect.right - oldRect.left, oldHeight = oldRect.bottom - oldRect.top;
    const LONG width = window->rect.right - window->rect.left, height = window->rect.bottom - window->rect.top;
    const bool wider = width != oldWidth, taller = height != oldHeight;
    if ((!topLevel && moved) || ((classStyle & CS_HREDRAW) && wider) || ((classStyle & CS_VREDRAW) && taller)) {
        return RedrawLocked(window, nullptr, kWhole) || joined;
    }
    if (sized) {
        const RECT client = ClientAreaLocked(window);
        Region gained = Region(AsRectl(client)).Subtract(
            Region(RECTL{0, 0, oldClient.right - oldClient.left, oldClient.bottom - oldClient.top}));
        joined |= RedrawLocked(window, &gained, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    }
    if ((sized || (flags & SWP_FRAMECHANGED)) && ShowsLocked(window)) {
        window->frameNeeded = true;
        joined |= UpdatePaintSetLocked(window);
    }
    return joined;
}

}  // namespace

}  // namespace w32

BOOL WINAPI GetWindowRect(HWND hwnd, LPRECT rect) {
    w32::Geometry g;
    if (!w32::GeometryOf(hwnd, g)) return FALSE;
    if (!rect) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *rect = RECT{g.rect.left + g.parentOrigin.x, g.rect.top + g.parentOrigin.y, g.rect.right + g.parentOrigin.x,
                 g.rect.bottom + g.parentOrigin.y};
    return TRUE;
}

BOOL WINAPI GetClientRect(HWND hwnd, LPRECT rect) {
    w32::Geometry g;
    if (!w32::GeometryOf(hwnd, g)) return FALSE;
    if (!rect) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *rect = RECT{0, 0, g.client.right - g.client.left, g.client.bottom - g.client.top};
    return TRUE;
}

BOOL WINAPI SetWindowPos(HWND hwnd, HWND after, int x, int y, int cx, int cy, UINT flags) {
    using namespace w32;
    auto window = GetWindowRecord(hwnd);
    if (!window) return FALSE;
    Geometry g;
    if (!GeometryOf(hwnd, g)) return FALSE;
    if (g.root) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    WINDOWPOS pos{hwnd, after, x, y, cx, cy, flags & ~UINT(SWP_NOCLIENTSIZE | SWP_NOCLIENTMOVE)};
    const bool wasVisible = (g.style & WS_VISIBLE) != 0;
    if (wasVisible)
        pos.flags &= ~SWP_SHOWWINDOW;
    else
        pos.flags &= ~SWP_HIDEWINDOW;
    if (pos.flags & SWP_NOSIZE) {
        pos.cx = g.rect.right - g.rect.left;
        pos.cy = g.rect.bottom - g.rect.top;
    }
    if (pos.flags & SWP_NOMOVE) {
        pos.x = g.rect.left;
        pos.y = g.rect.top;
    }
    pos.cx = std::max(pos.cx, 0);
    pos.cy = std::max(pos.cy, 0);
    if (pos.cx == g.rect.right - g.rect.left && pos.cy == g.rect.bottom - g.rect.top) pos.flags |= SWP_NOSIZE;
    if (pos.x == g.rect.left && pos.y == g.rect.top) pos.flags |= SWP_NOMOVE;
    if (!g.topLevel || hwnd == GetActiveWindow()) pos.flags |= SWP_NOACTIVATE;
    if (pos.flags & SWP_HIDEWINDOW) pos.flags |= SWP_NOACTIVATE;

    if (!(pos.flags & SWP_NOSENDCHANGING)) {
        SendMessageW(hwnd, WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(&pos));
        if (!IsWindow(hwnd)) return FALSE;
    }
    RECT newRect{pos.x, pos.y, pos.x + std::max(pos.cx, 0), pos.y + std::max(pos.cy, 0)};
    if (pos.flags & SWP_NOMOVE) newRect = RECT{g.rect.left, g.rect.top, g.rect.left + pos.cx, g.rect.top + pos.cy};
    if (pos.flags & SWP_NOSIZE) {
        newRect.right = newRect.left + (g.rect.right - g.rect.left);
        newRect.bottom = newRect.top + (g.rect.bottom - g.rect.top);
    }
    RECT newClient{g.client.left + newRect.left - g.rect.left, g.client.top + newRect.top - g.rect.top,
                   g.client.right + newRect.left - g.rect.left, g.client.bottom + newRect.top - g.rect.top};
    if (!SameSize(newRect, g.rect) || (pos.flags & SWP_FRAMECHANGED)) {
        NCCALCSIZE_PARAMS params{};
        params.rgrc[0] = newRect;
        params.rgrc[1] = g.rect;
        params.rgrc[2] = g.client;
        params.lppos = &pos;
        SendMessageW(hwnd, WM_NCCALCSIZE, TRUE, reinterpret_cast<LPARAM>(&params));
        if (!IsWindow(hwnd)) return FALSE;
        newClient = params.rgrc[0];
    }
    bool becamePaintable = false;
    {
        std::lock_guard lock(ManagerLock());
        if (!FindWindowLocked(hwnd)) return FALSE;
        window->rect = newRect;
        window->client = newClient;
        if (!(pos.flags & SWP_NOZORDER) && window->parent) {
            HWND insertAfter = pos.hwndInsertAfter;
            if (insertAfter == HWND_TOPMOST) window->exStyle |= WS_EX_TOPMOST;
            if (insertAfter == HWND_NOTOPMOST) window->exStyle &= ~WS_EX_TOPMOST;
            if (insertAfter != hwnd) {
                Window* parent = window->parent;
                UnlinkWindowLocked(window.get());
                LinkWindowLocked(window.get(), parent, insertAfter);
            }
        }
        if (pos.flags & SWP_SHOWWINDOW) window->style |= WS_VISIBLE;
        if (pos.flags & SWP_HIDEWINDOW) window->style &= ~WS_VISIBLE;
        becamePaintable = InvalidatePlacedLocked(window.get(), g.rect, g.client, pos.flags, g.topLevel);
    }
    if (becamePaintable) WakePaintingThreads();
    if (SameSize(newClient, g.client)) pos.flags |= SWP_NOCLIENTSIZE;
    if (newClient.left == g.client.left && newClient.top == g.client.top) pos.flags |= SWP_NOCLIENTMOVE;
    if (!(pos.flags & SWP_NOACTIVATE) && window->threadId == CurrentThreadId() && IsWindowVisible(hwnd)) {
        ActivateWindow(hwnd);
        if (!IsWindow(hwnd)) return FALSE;
    }
    SendMessageW(hwnd, WM_WINDOWPOSCHANGED, 0, reinterpret_cast<LPARAM>(&pos));
    return TRUE;
}

BOOL WINAPI MoveWindow(HWND hwnd, int x, int y, int width, int height, BOOL repaint) {
    return SetWindowPos(hwnd, nullptr, x, y, width, height,
                        SWP_NOZORDER | SWP_NOACTIVATE | (repaint ? 0 : SWP_NOREDRAW));
}

BOOL WINAPI ShowWindow(HWND hwnd, int command) {
    using namespace w32;
    auto window = GetWindowRecord(hwnd);
    if (!window) return FALSE;
    Geometry g;
    if (!GeometryOf(hwnd, g) || g.root) return FALSE;
    const bool wasVisible = (g.style & WS_VISIBLE) != 0;
    bool show = true;
    DWORD state = g.style & (WS_MINIMIZE | WS_MAXIMIZE);
    UINT swp = SWP_NOSIZE | SWP_NOMOVE;
    switch (command) {
        case SW_HIDE:
            if (!wasVisible) return FALSE;
            show = false;
            swp |= SWP_HIDEWINDOW | SWP_NOACTIVATE | SWP_NOZORDER;
            break;
        case SW_SHOWMINNOACTIVE:
        case SW_MINIMIZE:
        case SW_FORCEMINIMIZE:
            swp |= SWP_NOACTIVATE;
            [[fallthrough]];
        case SW_SHOWMINIMIZED:
            state = WS_MINIMIZE;
            swp |= SWP_SHOWWINDOW;
            break;
        case SW_SHOWMAXIMIZED:
            state = WS_MAXIMIZE;
            swp |= SWP_SHOWWINDOW;
            break;
        case SW_SHOWNA:
        case SW_SHOWNOACTIVATE:
            swp |= SWP_SHOWWINDOW | SWP_NOACTIVATE | SWP_NOZORDER;
            break;
        case SW_SHOW:
            swp |= SWP_SHOWWINDOW;
            break;
        case SW_RESTORE:
        case SW_SHOWNORMAL:
        case SW_SHOWDEFAULT:
            state = 0;
            swp |= SWP_SHOWWINDOW;
            break;
        default:
            SetLastError(ERROR_INVALID_PARAMETER);
            return FALSE;
    }
    if (!g.topLevel) swp |= SWP_NOACTIVATE | SWP_NOZORDER;
    const bool stateChanged = show && state != (g.style & (WS_MINIMIZE | WS_MAXIMIZE));
    // Showing a shown window plainly, or hiding a hidden one, does nothing;
    // the other commands still place the window (and may activate it).
    if (show == wasVisible && !stateChanged && (command == SW_SHOW || command == SW_SHOWNA || command == SW_HIDE)) {
        return wasVisible;
    }
    if (stateChanged) {
        std::lock_guard lock(ManagerLock());
        window->style = (window->style & ~DWORD(WS_MINIMIZE | WS_MAXIMIZE)) | state;
    }
    if (show != wasVisible) {
        SendMessageW(hwnd, WM_SHOWWINDOW, show, 0);
        if (!IsWindow(hwnd)) return wasVisible;
    }
    SetWindowPos(hwnd, HWND_TOP, 0, 0, 0, 0, swp);
    if (!show && IsWindow(hwnd) && window->threadId == CurrentThreadId()) {
        if (GetActiveWindow() == hwnd) ActivateOtherWindow(hwnd);
        HWND focus = GetFocus();
        if (focus && (focus == hwnd || IsChild(hwnd, focus))) {
            HWND parent = GetAncestor(hwnd, GA_PARENT);
            SetFocus(parent == GetDesktopWindow() ? nullptr : parent);
        }
    }
    return wasVisible;
}

BOOL WINAPI IsWindowVisible(HWND hwnd) {
    w32::EnsureWindowManager();
    std::lock_guard lock(w32::ManagerLock());
    const w32::Window* window = w32::FindWindowLocked(hwnd);
    if (!window) return FALSE;
    for (; window; window = window->parent) {
        if (!(window->style & WS_VISIBLE)) return FALSE;
    }
    return TRUE;
}

BOOL WINAPI IsIconic(HWND hwnd) {
    w32::Geometry g;
    return w32::GeometryOf(hwnd, g) && (g.style & WS_MINIMIZE);
}

BOOL WINAPI IsZoomed(HWND hwnd) {
    w32::Geometry g;
    return w32::GeometryOf(hwnd, g) && (g.style & WS_MAXIMIZE);
}

int WINAPI MapWindowPoints(HWND from, HWND to, LPPOINT points, UINT count) {
    POINT fromOrigin, toOrigin;
    if (!w32::ClientOrigin(from, fromOrigin) || !w32::ClientOrigin(to, toOrigin)) return 0;
    const LONG dx = fromOrigin.x - toOrigin.x;
    const LONG dy = fromOrigin.y - toOrigin.y;
    for (UINT i = 0; points && i < count; ++i) {
        points[i].x += dx;
        points[i].y += dy;
    }
    return MAKELONG(LOWORD(dx), LOWORD(dy));
}

BOOL WINAPI ClientToScreen(HWND hwnd, LPPOINT point) {
    POINT origin;
    if (!w32::ClientOrigin(hwnd ? hwnd : reinterpret_cast<HWND>(-1), origin) || !point) return FALSE;
    point->x += origin.x;
    point->y += origin.y;
    return TRUE;
}

BOOL WINAPI ScreenToClient(HWND hwnd, LPPOINT point) {
    POINT origin;
    if (!w32::ClientOrigin(hwnd ? hwnd : reinterpret_cast<HWND>(-1), origin) || !point) return FALSE;
    point->x -= origin.x;
    point->y -= origin.y;
    return TRUE;
}

BOOL WINAPI AdjustWindowRectEx(LPRECT rect, DWORD style, BOOL menu, DWORD exStyle) {
    if (!rect) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    RECT insets = w32::FrameInsets(style, exStyle, menu != FALSE);
    rect->left -= insets.left;
    rect->top -= insets.top;
    rect->right += insets.right;
    rect->bottom += insets.bottom;
    return TRUE;
}

BOOL WINAPI AdjustWindowRect(LPRECT rect, DWORD style, BOOL menu) { return AdjustWindowRectEx(rect, style, menu, 0); }
