// BeginPaint and EndPaint, and the erasing that comes before painting.
//
// BeginPaint sends WM_NCPAINT when the frame is pending, validates the
// update region, gives a DC cut to it and sends WM_ERASEBKGND with that DC
// when an erase is pending; fErase tells the procedure that the background
// is still to be erased (WM_ERASEBKGND answered 0). rcPaint is the smallest
// rectangle around the region painted. EndPaint releases the DC. A window
// with nothing to paint still gets a DC, with an empty rcPaint.
//
// RDW_ERASENOW (and so UpdateWindow) sends the pending WM_NCPAINT and
// WM_ERASEBKGND before any WM_PAINT; what the erase answered is kept for
// the fErase of the next BeginPaint.
#include "user32/paint.h"

namespace w32 {

namespace {

struct Pending {
    bool frame = false;
    bool erase = false;
    Region update;
};

// Takes the pending frame and erase of a shown window; with `validate`, its
// update region too.
bool TakePending(HWND hwnd, bool validate, Pending& out) {
    std::lock_guard lock(ManagerLock());
    Window* window = FindWindowOrFailLocked(hwnd);
    if (!window) return false;
    const bool shows = ShowsLocked(window);
    out.frame = shows && window->frameNeeded;
    out.erase = shows && window->eraseNeeded;
    out.update = window->update;
    window->frameNeeded = false;
    window->eraseNeeded = false;
    if (validate) {
        window->update = Region();
        window->internalPaint = false;
    }
    UpdatePaintSetLocked(window);
    return true;
}

// Sends WM_ERASEBKGND with a DC cut to the region; whether it erased.
bool SendErase(HWND hwnd, const Region& region) {
    HDC hdc = MakeWindowDC(hwnd, DcFlagsOfWindow(hwnd), &region);
    if (!hdc) return false;
    const bool erased = SendMessageW(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(hdc), 0) != 0;
    EndWindowDC(hdc);
    return erased;
}

void SetEraseLeft(HWND hwnd, bool left) {
    std::lock_guard lock(ManagerLock());
    if (Window* window = FindWindowLocked(hwnd)) window->eraseLeft = left;
}

}  // namespace

void EraseNow(HWND hwnd, bool children) {
    Pending pending;
    if (!TakePending(hwnd, false, pending)) return;
    if (pending.frame) SendMessageW(hwnd, WM_NCPAINT, 1, 0);
    if (pending.erase && IsWindow(hwnd)) SetEraseLeft(hwnd, !SendErase(hwnd, pending.update));
    if (!children) return;
    std::vector<HWND> shown;
    {
        std::lock_guard lock(ManagerLock());
        Window* window = FindWindowLocked(hwnd);
        if (!window) return;
        for (Window* child = window->firstChild; child; child = child->next) {
            if (child->style & WS_VISIBLE) shown.push_back(child->handle);
        }
    }
    for (HWND child : shown) EraseNow(child, true);
}

bool EraseWithClassBrush(HWND hwnd, HDC hdc) {
    HBRUSH brush = reinterpret_cast<HBRUSH>(GetClassLongPtrW(hwnd, GCLP_HBRBACKGROUND));
    if (!brush) return false;
    RECT client;
    if (!GetClientRect(hwnd, &client)) return false;
    return FillRect(hdc, &client, brush) != 0;
}

}  // namespace w32

using namespace w32;

HDC WINAPI BeginPaint(HWND hwnd, LPPAINTSTRUCT paint) {
    if (!paint) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    Pending pending;
    if (!TakePending(hwnd, true, pending)) return nullptr;
    bool eraseLeft = false;
    {
        std::lock_guard lock(ManagerLock());
        if (Window* window = FindWindowLocked(hwnd)) {
            eraseLeft = window->eraseLeft;
            window->eraseLeft = false;
        }
    }
    if (pending.frame) SendMessageW(hwnd, WM_NCPAINT, 1, 0);
    HDC hdc = MakeWindowDC(hwnd, DcFlagsOfWindow(hwnd), &pending.update);
    if (!hdc) return nullptr;
    *paint = PAINTSTRUCT{};
    paint->hdc = hdc;
    paint->fErase = eraseLeft;
    if (pending.erase) paint->fErase = SendMessageW(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(hdc), 0) == 0;
    RECT client{};
    GetClientRect(hwnd, &client);
    const RECTL box = pending.update.Intersect(Region(RECTL{client.left, client.top, client.right, client.bottom}))
                          .Bounds();
    paint->rcPaint = RECT{box.left, box.top, box.right, box.bottom};
    return hdc;
}

BOOL WINAPI EndPaint(HWND, const PAINTSTRUCT* paint) {
    if (!paint) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    EndWindowDC(paint->hdc);
    return TRUE;
}
