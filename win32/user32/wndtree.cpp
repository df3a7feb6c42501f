// The window tree: parents, owners, z-order among siblings, and the searches
// over it (GetWindow, GetAncestor, EnumChildWindows, FindWindowExW, ...).
//
// GetParent answers a child's parent and a popup's owner, NULL for an
// overlapped top-level window. IsChild follows the chain of parents only
// while the windows on it are children. The enumerations list the windows
// first and then call back, so windows made or destroyed by the callback do
// not disturb them (a destroyed one is skipped).
#include "kernel32/thread.h"
#include "user32/window.h"

namespace w32 {

void LinkWindowLocked(Window* window, Window* parent, HWND after) {
    window->parent = parent;
    Window* above = nullptr;  // the sibling the window goes below (null: on top)
    if (after == HWND_BOTTOM) {
        above = parent->lastChild;
    } else if (after != HWND_TOP && after != HWND_TOPMOST && after != HWND_NOTOPMOST) {
        Window* sibling = FindWindowLocked(after);
        above = (sibling && sibling->parent == parent && sibling != window) ? sibling : nullptr;
    }
    window->prev = above;
    window->next = above ? above->next : parent->firstChild;
    if (window->prev)
        window->prev->next = window;
    else
        parent->firstChild = window;
    if (window->next)
        window->next->prev = window;
    else
        parent->lastChild = window;
}

void UnlinkWindowLocked(Window* window) {
    Window* parent = window->parent;
    if (!parent) return;
    if (window->prev)
        window->prev->next = window->next;
    else if (parent->firstChild == window)
        parent->firstChild = window->next;
    if (window->next)
        window->next->prev = window->prev;
    else if (parent->lastChild == window)
        parent->lastChild = window->prev;
    window->prev = window->next = nullptr;
}

bool IsSelfOrDescendantLocked(const Window* window, const Window* ancestor) {
    for (; window; window = window->parent) {
        if (window == ancestor) return true;
    }
    return false;
}

std::vector<std::shared_ptr<Window>> ChildrenLocked(const Window* parent) {
    std::vector<std::shared_ptr<Window>> children;
    for (Window* child = parent->firstChild; child; child = child->next) children.push_back(child->shared_from_this());
    return children;
}

void DescendantsLocked(const Window* parent, std::vector<std::shared_ptr<Window>>& out) {
    for (Window* child = parent->firstChild; child; child = child->next) {
        out.push_back(child->shared_from_this());
        DescendantsLocked(child, out);
    }
}

POINT ClientOriginLocked(const Window* window) {
    POINT origin{0, 0};
    for (; window && !IsRootLocked(window); window = window->parent) {
        origin.x += window->client.left;
        origin.y += window->client.top;
    }
    return origin;
}

namespace {

HWND HandleOf(const Window* window) { return window ? window->handle : nullptr; }

// The parent a search starts from: NULL is the desktop.
Window* SearchParentLocked(HWND hwnd) {
    if (!hwnd) return DesktopLocked();
    if (hwnd == HWND_MESSAGE) return MessageRootLocked();
    return FindWindowOrFailLocked(hwnd);
}

BOOL Enumerate(const std::vector<std::shared_ptr<Window>>& windows, WNDENUMPROC proc, LPARAM lParam) {
    for (const auto& window : windows) {
        if (!IsWindow(window->handle)) continue;
        if (!proc(window->handle, lParam)) return FALSE;
    }
    return TRUE;
}

bool SameText(const std::u16string& a, LPCWSTR b) { return lstrcmpiW(a.c_str(), b) == 0; }

}  // namespace

}  // namespace w32

HWND WINAPI GetDesktopWindow(void) { return w32::DesktopWindowHandle(); }

HWND WINAPI GetParent(HWND hwnd) {
    w32::EnsureWindowManager();
    std::lock_guard lock(w32::ManagerLock());
    w32::Window* window = w32::FindWindowOrFailLocked(hwnd);
    if (!window) return nullptr;
    if (window->style & WS_POPUP) return w32::HandleOf(window->owner);
    if ((window->style & WS_CHILD) && window->parent && !w32::IsRootLocked(window->parent)) {
        return window->parent->handle;
    }
    return nullptr;
}

HWND WINAPI GetAncestor(HWND hwnd, UINT flags) {
    w32::EnsureWindowManager();
    std::lock_guard lock(w32::ManagerLock());
    w32::Window* window = w32::FindWindowOrFailLocked(hwnd);
    if (!window || w32::IsRootLocked(window)) return nullptr;
    switch (flags) {
        case GA_PARENT:
            return window->parent->handle;
        case GA_ROOT:
        case GA_ROOTOWNER: {
            while (!w32::IsRootLocked(window->parent)) window = window->parent;
            if (flags == GA_ROOTOWNER) {
                // Then up the owners (GetParent of a top-level window).
                while (window->owner && (window->style & WS_POPUP)) window = window->owner;
            }
            return window->handle;
        }
        default:
            SetLastError(ERROR_INVALID_PARAMETER);
            return nullptr;
    }
}

HWND WINAPI GetWindow(HWND hwnd, UINT command) {
    w32::EnsureWindowManager();
    std::lock_guard lock(w32::ManagerLock());
    w32::Window* window = w32::FindWindowOrFailLocked(hwnd);
    if (!window) return nullptr;
    switch (command) {
        case GW_HWNDFIRST:
            return window->parent ? w32::HandleOf(window->parent->firstChild) : nullptr;
        case GW_HWNDLAST:
            return window->parent ? w32::HandleOf(window->parent->lastChild) : nullptr;
        case GW_HWNDNEXT:
            return w32::HandleOf(window->next);
        case GW_HWNDPREV:
            return w32::HandleOf(window->prev);
        case GW_OWNER:
            return w32::HandleOf(window->owner);
        case GW_CHILD:
            return w32::HandleOf(window->firstChild);
        case GW_ENABLEDPOPUP:
            for (w32::Window* w = w32::DesktopLocked()->firstChild; w; w = w->next) {
                if (w->owner == window && (w->style & WS_VISIBLE) && !(w->style & WS_DISABLED)) return w->handle;
            }
            return nullptr;
        default:
            SetLastError(ERROR_INVALID_PARAMETER);
            return nullptr;
    }
}

HWND WINAPI GetTopWindow(HWND hwnd) {
    w32::EnsureWindowManager();
    std::lock_guard lock(w32::ManagerLock());
    w32::Window* parent = w32::SearchParentLocked(hwnd);
    return parent ? w32::HandleOf(parent->firstChild) : nullptr;
}

// The window keeps its place relative to its new parent's client area and
// goes on top of its new siblings; its WS_CHILD style is the caller's to set.
HWND WINAPI SetParent(HWND hwnd, HWND newParent) {
    w32::EnsureWindowManager();
    std::lock_guard lock(w32::ManagerLock());
    w32::Window* window = w32::FindWindowOrFailLocked(hwnd);
    if (!window) return nullptr;
    w32::Window* parent = w32::SearchParentLocked(newParent);
    if (!parent) return nullptr;
    if (w32::IsRootLocked(window) || hwnd == w32::ProgramWindowHandle() ||
        window->state == w32::WindowState::Destroying) {
        SetLastError(ERROR_ACCESS_DENIED);
        return nullptr;
    }
    if (w32::IsSelfOrDescendantLocked(parent, window) || parent->state == w32::WindowState::Destroying) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    w32::Window* old = window->parent;
    w32::UnlinkWindowLocked(window);
    w32::LinkWindowLocked(window, parent, HWND_TOP);
    // The client rectangle moves with the window rectangle.
    return old ? old->handle : nullptr;
}

BOOL WINAPI IsChild(HWND parentHandle, HWND hwnd) {
    w32::EnsureWindowManager();
    std::lock_guard lock(w32::ManagerLock());
    w32::Window* parent = w32::FindWindowLocked(parentHandle);
    w32::Window* window = w32::FindWindowLocked(hwnd);
    if (!parent || !window) return FALSE;
    while ((window->style & WS_CHILD) && window->parent && !w32::IsRootLocked(window->parent)) {
        window = window->parent;
        if (window == parent) return TRUE;
    }
    return FALSE;
}

HWND WINAPI GetDlgItem(HWND dialog, int id) {
    w32::EnsureWindowManager();
    std::lock_guard lock(w32::ManagerLock());
    w32::Window* parent = w32::FindWindowOrFailLocked(dialog);
    if (!parent) return nullptr;
    for (w32::Window* child = parent->firstChild; child; child = child->next) {
        if (LONG(child->id) == LONG(id)) return child->handle;
    }
    SetLastError(ERROR_CONTROL_ID_NOT_FOUND);
    return nullptr;
}

int WINAPI GetDlgCtrlID(HWND hwnd) {
    w32::EnsureWindowManager();
    std::lock_guard lock(w32::ManagerLock());
    w32::Window* window = w32::FindWindowOrFailLocked(hwnd);
    return window ? int(window->id) : 0;
}

BOOL WINAPI EnumChildWindows(HWND parentHandle, WNDENUMPROC proc, LPARAM lParam) {
    if (!parentHandle) return EnumWindows(proc, lParam);
    std::vector<std::shared_ptr<w32::Window>> windows;
    {
        w32::EnsureWindowManager();
        std::lock_guard lock(w32::ManagerLock());
        w32::Window* parent = w32::FindWindowOrFailLocked(parentHandle);
        if (!parent) return FALSE;
        w32::DescendantsLocked(parent, windows);
    }
    if (!proc) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    return w32::Enumerate(windows, proc, lParam);
}

BOOL WINAPI EnumWindows(WNDENUMPROC proc, LPARAM lParam) {
    if (!proc) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::vector<std::shared_ptr<w32::Window>> windows;
    {
        w32::EnsureWindowManager();
        std::lock_guard lock(w32::ManagerLock());
        windows = w32::ChildrenLocked(w32::DesktopLocked());
    }
    return w32::Enumerate(windows, proc, lParam);
}

BOOL WINAPI EnumThreadWindows(DWORD threadId, WNDENUMPROC proc, LPARAM lParam) {
    if (!proc) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::vector<std::shared_ptr<w32::Window>> windows;
    {
        w32::EnsureWindowManager();
        std::lock_guard lock(w32::ManagerLock());
        for (w32::Window* w = w32::DesktopLocked()->firstChild; w; w = w->next) {
            if (w->threadId == threadId) windows.push_back(w->shared_from_this());
        }
    }
    return w32::Enumerate(windows, proc, lParam);
}

// Compares the class by atom and the title (the text the window keeps,
// without a message) without regard to case.
HWND WINAPI FindWindowExW(HWND parentHandle, HWND after, LPCWSTR className, LPCWSTR title) {
    w32::EnsureWindowManager();
    std::lock_guard lock(w32::ManagerLock());
    w32::Window* parent = w32::SearchParentLocked(parentHandle);
    if (!parent) return nullptr;
    ATOM atom = 0;
    if (className) {
        if (IS_INTRESOURCE(className)) {
            atom = ATOM(reinterpret_cast<ULONG_PTR>(className));
        } else if (!w32::FindAtomName(className, atom)) {
            SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
            return nullptr;
        }
    }
    w32::Window* start = parent->firstChild;
    if (after) {
        w32::Window* previous = w32::FindWindowLocked(after);
        if (!previous || previous->parent != parent) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return nullptr;
        }
        start = previous->next;
    }
    for (w32::Window* w = start; w; w = w->next) {
        if (atom && (!w->windowClass || w->windowClass->atom != atom)) continue;
        if (title && !w32::SameText(w32::InternalWindowText(w), title)) continue;
        return w->handle;
    }
    return nullptr;
}

HWND WINAPI FindWindowW(LPCWSTR className, LPCWSTR title) { return FindWindowExW(nullptr, nullptr, className, title); }
