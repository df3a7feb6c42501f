// Window DCs: GetDC, GetDCEx, GetWindowDC, ReleaseDC and WindowFromDC.
//
// A window DC is a gdi32 DC over the surface of the window's top-level
// window (or the desktop's, for GetDC(NULL)), its origin at the client area
// (the window's corner with DCX_WINDOW). Drawing reaches only what shows of
// the window: nothing while it or a parent is hidden, never outside its
// parents' client areas, not over its visible children with
// DCX_CLIPCHILDREN, not over the siblings above it with DCX_CLIPSIBLINGS
// (GetDC takes these from WS_CLIPCHILDREN and WS_CLIPSIBLINGS). With
// DCX_PARENTCLIP (GetDC of a CS_PARENTDC class) the parent's client area
// bounds the DC instead of the window's own. DCX_INTERSECTRGN and
// DCX_EXCLUDERGN cut the DC by a region in screen coordinates, which the
// call takes over and deletes (the value 1 of WM_NCPAINT stands for none).
// Every DC is a cache DC here: each GetDC gives a new one with the default
// attributes, which ReleaseDC deletes.
#include <mutex>
#include <unordered_map>

#include "gdi32/regions.h"
#include "gdi32/windowdc.h"
#include "user32/paint.h"

namespace w32 {

namespace {

std::mutex& DcLock() {
    static auto* lock = new std::mutex;
    return *lock;
}

// Guarded by DcLock().
std::unordered_map<HDC, HWND>& WindowOfDC() {
    static auto* dcs = new std::unordered_map<HDC, HWND>;
    return *dcs;
}

RECTL Moved(const RECT& r, POINT by) { return RECTL{r.left + by.x, r.top + by.y, r.right + by.x, r.bottom + by.y}; }

// A window's rectangle in screen coordinates.
RECTL ScreenWindowRect(const Window* window) {
    const POINT parent = window->parent ? ClientOriginLocked(window->parent) : POINT{0, 0};
    return Moved(window->rect, parent);
}

RECTL ScreenClientRect(const Window* window) {
    const POINT parent = window->parent ? ClientOriginLocked(window->parent) : POINT{0, 0};
    return Moved(window->client, parent);
}

// Takes away the visible siblings above `window` from `visible` (screen coordinates).
void ExcludeSiblingsAbove(const Window* window, Region& visible) {
    for (const Window* above = window->prev; above; above = above->prev) {
        if (above->style & WS_VISIBLE) visible = visible.Subtract(Region(ScreenWindowRect(above)));
    }
}

// What of the window a DC with these flags may draw on, in screen coordinates.
Region VisibleAreaLocked(const Window* window, DWORD flags) {
    const bool root = IsRootLocked(window);
    if (!root && !ShowsLocked(window)) return Region();
    const bool topLevel = !root && IsRootLocked(window->parent);
    Region visible(flags & DCX_WINDOW ? ScreenWindowRect(window) : ScreenClientRect(window));
    if ((flags & DCX_PARENTCLIP) && !root && !topLevel) visible = Region(ScreenClientRect(window->parent));
    for (const Window* up = window->parent; up && !IsRootLocked(up); up = up->parent) {
        visible = visible.Intersect(Region(ScreenClientRect(up)));
        if ((up->style & WS_CLIPSIBLINGS) && !IsRootLocked(up->parent)) ExcludeSiblingsAbove(up, visible);
    }
    if ((flags & DCX_CLIPCHILDREN) && !root) {
        for (const Window* child = window->firstChild; child; child = child->next) {
            if (child->style & WS_VISIBLE) visible = visible.Subtract(Region(ScreenWindowRect(child)));
        }
    }
    if ((flags & DCX_CLIPSIBLINGS) && !root && !topLevel) ExcludeSiblingsAbove(window, visible);
    return visible;
}

}  // namespace

DWORD DcFlagsOfWindow(HWND hwnd) {
    std::lock_guard lock(ManagerLock());
    const Window* window = FindWindowLocked(hwnd);
    if (!window) return 0;
    DWORD flags = DCX_CACHE;
    if (window->style & WS_CLIPCHILDREN) flags |= DCX_CLIPCHILDREN;
    if (window->style & WS_CLIPSIBLINGS) flags |= DCX_CLIPSIBLINGS;
    if (window->windowClass && (window->windowClass->style & CS_PARENTDC)) flags |= DCX_PARENTCLIP;
    return flags;
}

HDC MakeWindowDC(HWND hwnd, DWORD flags, const Region* clip) {
    EnsureWindowManager();
    HDC hdc = nullptr;
    {
        std::lock_guard lock(ManagerLock());
        Window* window = hwnd ? FindWindowOrFailLocked(hwnd) : DesktopLocked();
        if (!window) return nullptr;
        if (window == MessageRootLocked() || IsSelfOrDescendantLocked(window, MessageRootLocked())) {
            // Message-only windows have nothing to draw on.
            flags &= ~DWORD(DCX_WINDOW);
        }
        Window* top = TopLevelLocked(window);
        HBITMAP surface = SurfaceLocked(top);
        if (!surface) return nullptr;
        const RECTL corner = flags & DCX_WINDOW ? ScreenWindowRect(window) : ScreenClientRect(window);
        const RECTL topCorner = ScreenWindowRect(top);
        Region visible = VisibleAreaLocked(window, flags);
        if (clip) {
            Region placed = *clip;
            placed.Offset(corner.left, corner.top);
            visible = visible.Intersect(placed);
        }
        visible.Offset(-topCorner.left, -topCorner.top);
        hdc = gdi::CreateWindowSurfaceDC(surface, POINT{corner.left - topCorner.left, corner.top - topCorner.top},
                                         visible);
        if (!hdc) return nullptr;
        hwnd = window->handle;
    }
    std::lock_guard lock(DcLock());
    WindowOfDC()[hdc] = hwnd;
    return hdc;
}

bool EndWindowDC(HDC hdc) {
    {
        std::lock_guard lock(DcLock());
        if (!WindowOfDC().erase(hdc)) return false;
    }
    return gdi::DeleteWindowSurfaceDC(hdc);
}

}  // namespace w32

using namespace w32;

HDC WINAPI GetDCEx(HWND hwnd, HRGN clipRegion, DWORD flags) {
    Region clip;
    bool clipped = false;
    if ((flags & (DCX_INTERSECTRGN | DCX_EXCLUDERGN)) && clipRegion && clipRegion != reinterpret_cast<HRGN>(1)) {
        auto object = gdi::RegionOf(clipRegion);
        if (!object) return nullptr;
        // The region is in screen coordinates; the DC's are its origin's.
        POINT origin{0, 0};
        if (hwnd) {
            RECT r{};
            if (flags & DCX_WINDOW) {
                if (!GetWindowRect(hwnd, &r)) return nullptr;
                origin = POINT{r.left, r.top};
            } else if (!ClientToScreen(hwnd, &origin)) {
                return nullptr;
            }
        }
        clip = object->region;
        clip.Offset(-origin.x, -origin.y);
        if (flags & DCX_EXCLUDERGN) {
            constexpr LONG kFar = 1 << 28;
            clip = Region(RECTL{-kFar, -kFar, kFar, kFar}).Subtract(clip);
        }
        clipped = true;
        DeleteObject(clipRegion);
    }
    return MakeWindowDC(hwnd, flags, clipped ? &clip : nullptr);
}

HDC WINAPI GetDC(HWND hwnd) {
    if (hwnd && !IsWindow(hwnd)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    return MakeWindowDC(hwnd, hwnd ? DcFlagsOfWindow(hwnd) : DCX_CACHE, nullptr);
}

HDC WINAPI GetWindowDC(HWND hwnd) {
    if (hwnd && !IsWindow(hwnd)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return nullptr;
    }
    return MakeWindowDC(hwnd, (hwnd ? DcFlagsOfWindow(hwnd) : DCX_CACHE) | DCX_WINDOW, nullptr);
}

// 1 when the DC was released, 0 when it is no window DC.
int WINAPI ReleaseDC(HWND, HDC hdc) { return EndWindowDC(hdc) ? 1 : 0; }

HWND WINAPI WindowFromDC(HDC hdc) {
    std::lock_guard lock(DcLock());
    auto it = WindowOfDC().find(hdc);
    return it == WindowOfDC().end() ? nullptr : it->second;
}
