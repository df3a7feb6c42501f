// Update regions: InvalidateRect, InvalidateRgn, ValidateRect, ValidateRgn,
// GetUpdateRect, GetUpdateRgn, RedrawWindow and UpdateWindow, and the sets
// of windows each thread has to paint (see paint.h).
//
// RedrawWindow takes a rectangle or a region in client coordinates (both
// null: the whole window). RDW_INVALIDATE adds it to the update region,
// RDW_ERASE asks for the background to be erased, RDW_FRAME for the frame
// (WM_NCPAINT) where the area reaches it; RDW_VALIDATE takes it away (the
// whole window also validates the frame unless RDW_NOFRAME). Children under
// the area follow with RDW_ALLCHILDREN, not with RDW_NOCHILDREN, and by
// default when the window lacks WS_CLIPCHILDREN; a window with
// WS_CLIPCHILDREN leaves what its visible children cover out of its own
// update region. RDW_ERASENOW then sends the pending WM_NCPAINT and
// WM_ERASEBKGND, RDW_UPDATENOW those and WM_PAINT, parent before children.
#include <algorithm>
#include <unordered_map>

#include "kernel32/thread.h"
#include "gdi32/regions.h"
#include "machine/clock.h"
#include "user32/msgqueue.h"
#include "user32/paint.h"

namespace w32 {

namespace {

struct ThreadPaintSet {
    std::shared_ptr<ThreadPaintCount> count = std::make_shared<ThreadPaintCount>();
    std::vector<Window*> windows;
};

// Guarded by ManagerLock().
std::unordered_map<DWORD, ThreadPaintSet>& PaintSets() {
    static auto* sets = new std::unordered_map<DWORD, ThreadPaintSet>;
    return *sets;
}

RECTL ToRectl(const RECT& r) { return RECTL{r.left, r.top, r.right, r.bottom}; }

bool WantsPaint(const Window* window) {
    return !window->update.Empty() || window->frameNeeded || window->internalPaint;
}

// The children a redraw reaches by default: all unless WS_CLIPCHILDREN.
bool ReachesChildren(const Window* window, UINT flags) {
    if (flags & RDW_ALLCHILDREN) return true;
    if (flags & RDW_NOCHILDREN) return false;
    return !(window->style & WS_CLIPCHILDREN);
}

// What visible children cover of the window's client area, in its client coordinates.
Region ChildrenCoverLocked(const Window* window) {
    Region cover;
    for (const Window* child = window->firstChild; child; child = child->next) {
        if (child->style & WS_VISIBLE) cover = cover.Union(Region(ToRectl(child->rect)));
    }
    return cover;
}

}  // namespace

RECT ClientAreaLocked(const Window* window) {
    return RECT{0, 0, window->client.right - window->client.left, window->client.bottom - window->client.top};
}

RECT WindowAreaInClientLocked(const Window* window) {
    return RECT{window->rect.left - window->client.left, window->rect.top - window->client.top,
                window->rect.right - window->client.left, window->rect.bottom - window->client.top};
}

bool ShowsLocked(const Window* window) {
    for (; window; window = window->parent) {
        if (window == DesktopLocked()) return true;
        if (!(window->style & WS_VISIBLE) || window->state == WindowState::Dead) return false;
    }
    return false;
}

std::shared_ptr<ThreadPaintCount> CurrentThreadPaintCount() {
    thread_local std::shared_ptr<ThreadPaintCount> count;
    if (!count) {
        std::lock_guard lock(ManagerLock());
        count = PaintSets()[CurrentThreadId()].count;
    }
    return count;
}

bool UpdatePaintSetLocked(Window* window) {
    const bool wants = WantsPaint(window) && window->threadId != 0 && window->state != WindowState::Dead;
    if (wants == window->toPaint) return false;
    ThreadPaintSet& set = PaintSets()[window->threadId];
    window->toPaint = wants;
    if (wants) {
        set.windows.push_back(window);
        ++set.count->windows;
        ++set.count->changes;
        return true;
    }
    set.windows.erase(std::remove(set.windows.begin(), set.windows.end(), window), set.windows.end());
    --set.count->windows;
    return false;
}

void ForgetPaintingLocked(Window* window) {
    window->update = Region();
    window->eraseNeeded = window->frameNeeded = window->internalPaint = window->eraseLeft = false;
    UpdatePaintSetLocked(window);
}

void WakePaintingThreads() {
    std::lock_guard lock(Clock::Mutex());
    Clock::NotifyAll();
}

bool RedrawLocked(Window* window, const Region* area, UINT flags) {
    bool joined = false;
    const bool root = IsRootLocked(window);
    if (!root && !ShowsLocked(window)) return false;
    const RECT client = ClientAreaLocked(window);
    const RECT whole = WindowAreaInClientLocked(window);
    Region reach = area ? area->Intersect(Region(ToRectl(whole))) : Region(ToRectl(whole));
    Region inClient = reach.Intersect(Region(ToRectl(client)));
    const bool touchesFrame = !reach.Subtract(Region(ToRectl(client))).Empty();
    if (!root) {
        if (flags & RDW_INVALIDATE) {
            Region add = inClient;
            if (window->style & WS_CLIPCHILDREN) add = add.Subtract(ChildrenCoverLocked(window));
            if (!add.Empty()) {
                window->update = window->update.Union(add);
                if (flags & RDW_ERASE) window->eraseNeeded = true;
            }
            if ((flags & RDW_FRAME) && (touchesFrame || !area)) window->frameNeeded = true;
            if (flags & RDW_INTERNALPAINT) window->internalPaint = true;
        } else if (flags & RDW_VALIDATE) {
            window->update = window->update.Subtract(inClient);
            if (window->update.Empty()) window->eraseNeeded = false;
            if (!area && !(flags & RDW_NOFRAME)) window->frameNeeded = false;
            if (flags & RDW_NOINTERNALPAINT) window->internalPaint = false;
        }
        if (flags & RDW_NOERASE) window->eraseNeeded = false;
        joined = UpdatePaintSetLocked(window);
    }
    if (!ReachesChildren(window, flags) && !root) return joined;
    if (root && !(flags & RDW_ALLCHILDREN)) return joined;
    // Each child under the area, in its own client coordinates; children
    // overpainted by their parent need their frames too.
    UINT childFlags = flags & ~UINT(RDW_NOCHILDREN);
    if (flags & RDW_INVALIDATE) childFlags |= RDW_FRAME;
    for (Window* child = window->firstChild; child; child = child->next) {
        if (!(child->style & WS_VISIBLE)) continue;
        Region part = reach.Intersect(Region(ToRectl(child->rect)));
        if (part.Empty()) continue;
        part.Offset(-child->client.left, -child->client.top);
        const bool wholeChild = !area;
        joined |= RedrawLocked(child, wholeChild ? nullptr : &part, childFlags);
    }
    return joined;
}

HWND WindowToPaint(HWND filter, UINT first, UINT last) {
    if (filter == reinterpret_cast<HWND>(-1)) return nullptr;
    MSG probe{};
    probe.message = WM_PAINT;
    std::lock_guard lock(ManagerLock());
    auto it = PaintSets().find(CurrentThreadId());
    if (it == PaintSets().end()) return nullptr;
    Window* chosen = nullptr;
    for (Window* window : it->second.windows) {
        if (!ShowsLocked(window)) continue;
        probe.hwnd = window->handle;
        if (!PassesFilter(probe, filter, first, last)) continue;
        // A parent that is itself to paint goes first.
        bool parentWaits = false;
        for (Window* up = window->parent; up && !IsRootLocked(up); up = up->parent) {
            if (up->toPaint && up->threadId == window->threadId && ShowsLocked(up) &&
                (!filter || filter == up->handle)) {
                parentWaits = true;
                break;
            }
        }
        if (parentWaits) continue;
        chosen = window;
        break;
    }
    return chosen ? chosen->handle : nullptr;
}

namespace {

std::vector<HWND> ShownChildren(HWND hwnd) {
    std::vector<HWND> children;
    std::lock_guard lock(ManagerLock());
    Window* window = FindWindowLocked(hwnd);
    if (!window) return children;
    for (Window* child = window->firstChild; child; child = child->next) {
        if (child->style & WS_VISIBLE) children.push_back(child->handle);
    }
    return children;
}

bool Redraw(HWND hwnd, const Region* area, UINT flags) {
    EnsureWindowManager();
    bool joined;
    {
        std::lock_guard lock(ManagerLock());
        Window* window = hwnd ? FindWindowOrFailLocked(hwnd) : DesktopLocked();
        if (!window) return false;
        if (!hwnd) flags |= RDW_ALLCHILDREN;
        joined = RedrawLocked(window, area, flags);
        if (!hwnd) hwnd = window->handle;
    }
    if (joined) WakePaintingThreads();
    if (flags & RDW_UPDATENOW) {
        UpdateNow(hwnd, !(flags & RDW_NOCHILDREN));
    } else if (flags & RDW_ERASENOW) {
        EraseNow(hwnd, !(flags & RDW_NOCHILDREN));
    }
    return true;
}

// The rectangle as a region of the window's client coordinates.
bool RectArea(const RECT* rect, Region& area) {
    if (!rect) return false;
    area = Region(RECTL{std::min(rect->left, rect->right), std::min(rect->top, rect->bottom),
                        std::max(rect->left, rect->right), std::max(rect->top, rect->bottom)});
    return true;
}

}  // namespace

void UpdateNow(HWND hwnd, bool children) {
    EraseNow(hwnd, false);
    bool wants = false;
    {
        std::lock_guard lock(ManagerLock());
        Window* window = FindWindowLocked(hwnd);
        wants = window && !IsRootLocked(window) && window->toPaint && ShowsLocked(window);
    }
    if (wants) SendMessageW(hwnd, WM_PAINT, 0, 0);
    if (!children) return;
    for (HWND child : ShownChildren(hwnd)) UpdateNow(child, true);
}

}  // namespace w32

using namespace w32;

BOOL WINAPI RedrawWindow(HWND hwnd, const RECT* rect, HRGN region, UINT flags) {
    Region area;
    const Region* given = nullptr;
    if (rect) {
        RectArea(rect, area);
        given = &area;
    } else if (region) {
        auto object = gdi::RegionOf(region);
        if (!object) return FALSE;
        area = object->region;
        given = &area;
    }
    return Redraw(hwnd, given, flags);
}

BOOL WINAPI InvalidateRect(HWND hwnd, const RECT* rect, BOOL erase) {
    return RedrawWindow(hwnd, rect, nullptr, RDW_INVALIDATE | (erase ? RDW_ERASE : 0));
}

BOOL WINAPI InvalidateRgn(HWND hwnd, HRGN region, BOOL erase) {
    return RedrawWindow(hwnd, nullptr, region, RDW_INVALIDATE | (erase ? RDW_ERASE : 0));
}

BOOL WINAPI ValidateRect(HWND hwnd, const RECT* rect) {
    return RedrawWindow(hwnd, rect, nullptr, RDW_VALIDATE | RDW_NOCHILDREN);
}

BOOL WINAPI ValidateRgn(HWND hwnd, HRGN region) {
    return RedrawWindow(hwnd, nullptr, region, RDW_VALIDATE | RDW_NOCHILDREN);
}

BOOL WINAPI UpdateWindow(HWND hwnd) {
    if (!hwnd) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    return RedrawWindow(hwnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

// The smallest rectangle around the update region, in client coordinates;
// nonzero when the region is not empty. With bErase, the pending erase
// happens first.
BOOL WINAPI GetUpdateRect(HWND hwnd, LPRECT rect, BOOL erase) {
    if (erase) EraseNow(hwnd, false);
    EnsureWindowManager();
    std::lock_guard lock(ManagerLock());
    Window* window = FindWindowOrFailLocked(hwnd);
    if (!window) return FALSE;
    const RECTL box = window->update.Bounds();
    if (rect) *rect = RECT{box.left, box.top, box.right, box.bottom};
    return !window->update.Empty();
}

// Copies the update region (client coordinates) into the region; answers
// its complexity.
int WINAPI GetUpdateRgn(HWND hwnd, HRGN region, BOOL erase) {
    if (erase) EraseNow(hwnd, false);
    auto object = gdi::RegionOf(region);
    if (!object) return ERROR;
    EnsureWindowManager();
    std::lock_guard lock(ManagerLock());
    Window* window = FindWindowOrFailLocked(hwnd);
    if (!window) return ERROR;
    object->region = window->update;
    return window->update.Complexity();
}
