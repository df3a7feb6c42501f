// Window records, CreateWindowExW and DestroyWindow.
//
// CreateWindowExW sends, in Windows' order: WM_GETMINMAXINFO (windows with a
// sizing frame, and overlapped windows), WM_NCCREATE (FALSE fails the
// creation), WM_NCCALCSIZE, WM_CREATE (-1 fails it: the window is destroyed
// and the call answers NULL), WM_SIZE and WM_MOVE, WM_PARENTNOTIFY to the
// parent of a child (unless WS_EX_NOPARENTNOTIFY), and, for a window made
// with WS_VISIBLE, what ShowWindow sends to show it. Children are linked at
// the bottom of their siblings, so the first child is the first made; top-
// level windows go on top.
//
// DestroyWindow (only on the window's own thread) sends WM_PARENTNOTIFY to a
// child's parent, hides a visible window (a child through ShowWindow, with
// WM_SHOWWINDOW; a top-level window without it), destroys the top-level
// windows it owns, moves the activation away, then sends WM_DESTROY to the
// window and its descendants parent-first, and WM_NCDESTROY children-first,
// the window last. From then on the handle names nothing; the record itself
// lives until the last message on the stack for it has returned.
#include "user32/window.h"

#include <algorithm>
#include <unordered_map>

#include "kernel32/thread.h"
#include "user32/focus.h"
#include "user32/msgqueue.h"
#include "user32/paint.h"
#include "user32/wndpos.h"

namespace w32 {

namespace {

struct WindowTable {
    std::unordered_map<HWND, std::shared_ptr<Window>> windows;
    ULONG_PTR nextHandle = 0x30000;
};

// Guarded by ManagerLock().
WindowTable& Table() {
    static WindowTable* table = new WindowTable;
    return *table;
}

// Where an overlapped window made with CW_USEDEFAULT goes, and its size.
constexpr int kDefaultX = 26;
constexpr int kDefaultY = 26;

LRESULT Send(HWND hwnd, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    return SendMessageW(hwnd, message, wParam, lParam);
}

bool Valid(HWND hwnd) {
    std::lock_guard lock(ManagerLock());
    return FindWindowLocked(hwnd) != nullptr;
}

// A child tells its parent it is made or going (WM_PARENTNOTIFY).
void NotifyParent(HWND hwnd, UINT event) {
    HWND parent = nullptr;
    LONG_PTR id = 0;
    {
        std::lock_guard lock(ManagerLock());
        Window* window = FindWindowLocked(hwnd);
        if (!window || (window->style & (WS_CHILD | WS_POPUP)) != WS_CHILD) return;
        if ((window->exStyle & WS_EX_NOPARENTNOTIFY) || !window->parent || IsRootLocked(window->parent)) return;
        parent = window->parent->handle;
        id = window->id;
    }
    Send(parent, WM_PARENTNOTIFY, MAKEWPARAM(event, WORD(id)), reinterpret_cast<LPARAM>(hwnd));
}

// Takes the window and whatever is still below it out of the tree and the
// table (children made during their parent's WM_NCDESTROY go unannounced).
void DropLocked(Window* window, std::vector<std::shared_ptr<Window>>& dropped) {
    while (Window* child = window->firstChild) DropLocked(child, dropped);
    dropped.push_back(window->shared_from_this());
    ForgetPaintingLocked(window);
    FreeSurfaceLocked(window);
    window->state = WindowState::Dead;
    UnlinkWindowLocked(window);
    if (window->owner) {
        --window->owner->ownedCount;
        window->owner = nullptr;
    }
    if (window->ownedCount > 0) {
        for (Window* w = DesktopLocked()->firstChild; w; w = w->next) {
            if (w->owner == window) w->owner = nullptr;
        }
        window->ownedCount = 0;
    }
    if (window->windowClass) --window->windowClass->windows;
    Table().windows.erase(window->handle);
}

// The last step of a window's end: WM_NCDESTROY to its children and then to
// it, after which its handle is gone from the table.
void FreeWindow(const std::shared_ptr<Window>& window) {
    std::vector<std::shared_ptr<Window>> children;
    {
        std::lock_guard lock(ManagerLock());
        children = ChildrenLocked(window.get());
        for (auto& child : children) child->state = WindowState::Destroying;
    }
    for (auto& child : children) FreeWindow(child);
    Send(window->handle, WM_NCDESTROY);
    {
        std::vector<std::shared_ptr<Window>> dropped;  // freed after the lock is let go
        std::lock_guard lock(ManagerLock());
        if (window->state != WindowState::Dead) DropLocked(window.get(), dropped);
    }
    if (window->threadId == CurrentThreadId()) {
        ForgetInputState(window->handle);
        ForgetWindowMessages(window->handle);
    }
}

// WM_DESTROY to the window, then to each of its descendants, parent first.
void SendDestroy(const std::shared_ptr<Window>& window) {
    Send(window->handle, WM_DESTROY);
    std::vector<std::shared_ptr<Window>> children;
    {
        std::lock_guard lock(ManagerLock());
        children = ChildrenLocked(window.get());
        for (auto& child : children) child->state = WindowState::Destroying;
    }
    for (auto& child : children) SendDestroy(child);
}

}  // namespace

std::mutex& ManagerLock() {
    static std::mutex* lock = new std::mutex;
    return *lock;
}

Window* FindWindowLocked(HWND handle) {
    if (!handle) return nullptr;
    auto& windows = Table().windows;
    auto it = windows.find(handle);
    if (it == windows.end() || it->second->state == WindowState::Dead) return nullptr;
    return it->second.get();
}

Window* FindWindowOrFailLocked(HWND handle) {
    Window* window = FindWindowLocked(handle);
    if (!window) SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return window;
}

std::shared_ptr<Window> GetWindowRecord(HWND handle) {
    EnsureWindowManager();
    std::lock_guard lock(ManagerLock());
    Window* window = FindWindowOrFailLocked(handle);
    if (!window) return nullptr;
    return window->shared_from_this();
}

HWND InsertWindowLocked(const std::shared_ptr<Window>& window, HWND fixed) {
    auto& table = Table();
    HWND handle = fixed;
    if (!handle) {
        handle = reinterpret_cast<HWND>(table.nextHandle);
        table.nextHandle += 2;
    }
    window->handle = handle;
    table.windows[handle] = window;
    return handle;
}

bool QueryWindow(HWND hwnd, WindowRecord& record) {
    EnsureWindowManager();
    std::lock_guard lock(ManagerLock());
    Window* window = FindWindowLocked(hwnd);
    if (!window) return false;
    record = WindowRecord{};
    record.handle = window->handle;
    record.parent = window->parent && !IsRootLocked(window->parent) ? window->parent->handle : nullptr;
    record.owner = window->owner ? window->owner->handle : nullptr;
    record.instance = window->instance;
    record.threadId = window->threadId;
    record.style = window->style;
    record.exStyle = window->exStyle;
    record.id = window->id;
    record.userData = window->userData;
    if (window->windowClass) record.className = window->windowClass->name;
    record.text = InternalWindowText(window);
    return true;
}

void DestroyThreadWindows() {
    const DWORD thread = CurrentThreadId();
    if (!QueueOfThread(thread)) return;  // a thread makes its queue before its first window
    std::vector<HWND> mine;
    {
        std::lock_guard lock(ManagerLock());
        for (auto& [handle, window] : Table().windows) {
            if (window->threadId != thread || window->state != WindowState::Alive) continue;
            // The highest window of the thread in each branch; its descendants go with it.
            if (IsRootLocked(window->parent) || window->parent->threadId != thread) mine.push_back(handle);
        }
    }
    for (HWND hwnd : mine) DestroyWindow(hwnd);
}

namespace {

class WindowThreadObserver final : public ThreadObserver {
public:
    void ThreadDetached() override { DestroyThreadWindows(); }
};

const bool gObserverAdded = [] {
    static WindowThreadObserver observer;
    AddThreadObserver(&observer);
    return true;
}();

}  // namespace

}  // namespace w32

HWND WINAPI CreateWindowExW(DWORD exStyle, LPCWSTR className, LPCWSTR windowName, DWORD style, int x, int y,
                            int width, int height, HWND parentHandle, HMENU menu, HINSTANCE instance, LPVOID param) {
    using namespace w32;
    EnsureWindowManager();
    CurrentQueue();  // a thread with windows has a queue
    auto window = std::make_shared<Window>();
    HWND hwnd = nullptr;
    bool overlapped = !(style & (WS_POPUP | WS_CHILD));
    {
        std::lock_guard lock(ManagerLock());
        auto windowClass = FindClassLocked(className, instance);
        if (!windowClass) {
            SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
            return nullptr;
        }
        Window* parent = DesktopLocked();
        Window* owner = nullptr;
        if (parentHandle == HWND_MESSAGE) {
            parent = MessageRootLocked();
        } else if (parentHandle) {
            Window* given = FindWindowLocked(parentHandle);
            if (!given || given->state == WindowState::Destroying) {
                SetLastError(ERROR_INVALID_WINDOW_HANDLE);
                return nullptr;
            }
            if (style & WS_CHILD) {
                parent = given;
            } else {
                // A top-level window's "parent" is its owner, which is always top-level.
                while (given->parent && !IsRootLocked(given->parent)) given = given->parent;
                owner = IsRootLocked(given) ? nullptr : given;
            }
        } else if ((style & (WS_CHILD | WS_POPUP)) == WS_CHILD) {
            SetLastError(ERROR_TLW_WITH_WSCHILD);
            return nullptr;
        }
        if (!(style & WS_CHILD) && menu) {
            SetLastError(ERROR_INVALID_MENU_HANDLE);  // the layer has no menus
            return nullptr;
        }
        window->windowClass = windowClass;
        window->threadId = CurrentThreadId();
        window->instance = instance;
        window->style = style & ~WS_VISIBLE;  // shown at the end, with its messages
        window->exStyle = exStyle;
        if (!(style & WS_CHILD)) {
            window->style |= WS_CLIPSIBLINGS;
            if (!(style & WS_POPUP)) window->style |= WS_CAPTION;
        }
        if (exStyle & WS_EX_DLGMODALFRAME) {
            window->exStyle |= WS_EX_WINDOWEDGE;
        } else if (style & (WS_DLGFRAME | WS_THICKFRAME)) {
            if (!((exStyle & WS_EX_STATICEDGE) && (style & (WS_CHILD | WS_POPUP)))) window->exStyle |= WS_EX_WINDOWEDGE;
        } else {
            window->exStyle &= ~WS_EX_WINDOWEDGE;
        }
        window->id = (style & WS_CHILD) ? reinterpret_cast<LONG_PTR>(menu) : 0;
        window->proc = windowClass->proc;
        window->extra.assign(size_t(windowClass->wndExtra), 0);
        window->owner = owner;
        if (owner) ++owner->ownedCount;
        ++windowClass->windows;

        if (!(style & WS_CHILD)) {
            if (x == CW_USEDEFAULT) {
                x = kDefaultX;
                y = kDefaultY;
            }
            if (width == CW_USEDEFAULT) {
                width = GetSystemMetrics(SM_CXSCREEN) * 3 / 4;
                height = GetSystemMetrics(SM_CYSCREEN) * 3 / 4;
            }
        } else {
            if (x == CW_USEDEFAULT) x = y = 0;
            if (width == CW_USEDEFAULT) width = height = 0;
        }
        if (width < 0) width = 0;
        if (height < 0) height = 0;
        window->rect = RECT{x, y, x + width, y + height};
        window->client = window->rect;
        hwnd = InsertWindowLocked(window);
        LinkWindowLocked(window.get(), parent, (style & WS_CHILD) ? HWND_BOTTOM : HWND_TOP);
    }

    CREATESTRUCTW cs{param, instance, menu, parentHandle, height, width, y, x, LONG(style), windowName, className, exStyle};
    if ((style & WS_THICKFRAME) || overlapped) {
        MINMAXINFO info{};
        info.ptMaxSize = POINT{GetSystemMetrics(SM_CXMAXIMIZED), GetSystemMetrics(SM_CYMAXIMIZED)};
        info.ptMaxPosition = POINT{-8, -8};
        info.ptMinTrackSize = POINT{GetSystemMetrics(SM_CXMINTRACK), GetSystemMetrics(SM_CYMINTRACK)};
        info.ptMaxTrackSize = POINT{GetSystemMetrics(SM_CXMAXTRACK), GetSystemMetrics(SM_CYMAXTRACK)};
        Send(hwnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
        std::lock_guard lock(ManagerLock());
        if (!FindWindowLocked(hwnd)) return nullptr;
        RECT& r = window->rect;
        LONG w = std::max(std::min(r.right - r.left, info.ptMaxTrackSize.x), info.ptMinTrackSize.x);
        LONG h = std::max(std::min(r.bottom - r.top, info.ptMaxTrackSize.y), info.ptMinTrackSize.y);
        r.right = r.left + w;
        r.bottom = r.top + h;
        window->client = r;
        cs.cx = w;
        cs.cy = h;
    }

    if (!Send(hwnd, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&cs))) {
        if (Valid(hwnd)) FreeWindow(window);
        return nullptr;
    }
    RECT client;
    {
        std::lock_guard lock(ManagerLock());
        if (!FindWindowLocked(hwnd)) return nullptr;
        if (window->state == WindowState::Creating) window->state = WindowState::Alive;
        client = window->rect;
    }
    Send(hwnd, WM_NCCALCSIZE, FALSE, reinterpret_cast<LPARAM>(&client));
    {
        std::lock_guard lock(ManagerLock());
        if (!FindWindowLocked(hwnd)) return nullptr;
        window->client = client;
    }
    if (Send(hwnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
        if (Valid(hwnd)) DestroyWindow(hwnd);
        return nullptr;
    }
    if (!Valid(hwnd)) return nullptr;
    {
        RECT c;
        {
            std::lock_guard lock(ManagerLock());
            c = window->client;
        }
        Send(hwnd, WM_SIZE, SIZE_RESTORED, MAKELONG(c.right - c.left, c.bottom - c.top));
        Send(hwnd, WM_MOVE, 0, MAKELONG(c.left, c.top));
    }
    if (!Valid(hwnd)) return nullptr;
    NotifyParent(hwnd, WM_CREATE);
    if (!Valid(hwnd)) return nullptr;
    if (style & WS_VISIBLE) {
        int show = (style & WS_MINIMIZE) ? SW_SHOWMINIMIZED : (style & WS_MAXIMIZE) ? SW_SHOWMAXIMIZED : SW_SHOW;
        ShowWindow(hwnd, show);
        if (!Valid(hwnd)) return nullptr;
    }
    return hwnd;
}

BOOL WINAPI DestroyWindow(HWND hwnd) {
    using namespace w32;
    auto window = GetWindowRecord(hwnd);
    if (!window) return FALSE;
    bool child, visible;
    {
        std::lock_guard lock(ManagerLock());
        if (IsRootLocked(window.get()) || hwnd == ProgramWindowHandle() ||
            window->threadId != CurrentThreadId()) {
            SetLastError(ERROR_ACCESS_DENIED);
            return FALSE;
        }
        // A second request while the first is under way has nothing left to do.
        if (window->state == WindowState::Destroying) return TRUE;
        window->state = WindowState::Destroying;
        child = (window->style & WS_CHILD) != 0;
        visible = (window->style & WS_VISIBLE) != 0;
    }
    if (child) NotifyParent(hwnd, WM_DESTROY);
    if (!Valid(hwnd)) return TRUE;
    if (visible) {
        if (child)
            ShowWindow(hwnd, SW_HIDE);
        else
            SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_HIDEWINDOW);
        if (!Valid(hwnd)) return TRUE;
    }
    if (!child) {
        // Owned windows of this thread go first; those of other threads lose their owner.
        std::vector<HWND> owned;
        {
            std::lock_guard lock(ManagerLock());
            for (Window* w = DesktopLocked()->firstChild; w && window->ownedCount > 0; w = w->next) {
                if (w->owner != window.get()) continue;
                if (w->threadId == CurrentThreadId()) {
                    owned.push_back(w->handle);
                } else {
                    w->owner = nullptr;
                    --window->ownedCount;
                }
            }
        }
        for (HWND o : owned) DestroyWindow(o);
    }
    if (GetActiveWindow() == hwnd) ActivateOtherWindow(hwnd);
    if (!Valid(hwnd)) return TRUE;
    SendDestroy(window);
    if (!Valid(hwnd)) return TRUE;
    FreeWindow(window);
    return TRUE;
}

BOOL WINAPI IsWindow(HWND hwnd) {
    w32::EnsureWindowManager();
    std::lock_guard lock(w32::ManagerLock());
    return w32::FindWindowLocked(hwnd) != nullptr;
}

BOOL WINAPI IsWindowUnicode(HWND hwnd) { return w32::GetWindowRecord(hwnd) != nullptr; }

DWORD WINAPI GetWindowThreadProcessId(HWND hwnd, LPDWORD processId) {
    auto window = w32::GetWindowRecord(hwnd);
    if (!window) return 0;
    if (processId) *processId = GetCurrentProcessId();
    std::lock_guard lock(w32::ManagerLock());
    return window->threadId;
}
