// Enabling, keyboard focus, activation, the foreground window and the mouse
// capture.
//
// Focus, activation and capture belong to the calling thread, as on Windows
// (each thread's queue has its own); the main thread starts with the
// program's window active, in the foreground and holding the focus.
//
//  SetFocus(hwnd)    refused (NULL) for a window that is, or lies in, a
//                    disabled or minimized window, or belongs to another
//                    thread; activates its top-level window first. The focus
//                    moves before WM_KILLFOCUS (wParam: the new window) goes
//                    to the old window, so GetFocus then answers the new
//                    one; WM_SETFOCUS (wParam: the old window) follows unless
//                    the focus moved again meanwhile.
//  activation        WM_NCACTIVATE(FALSE) and WM_ACTIVATE(WA_INACTIVE) to the
//                    window losing it, then WM_NCACTIVATE(TRUE) and
//                    WM_ACTIVATE(WA_ACTIVE) to the window gaining it, whose
//                    DefWindowProcW takes the focus; if the focus is still
//                    outside it afterwards, it goes to the window itself.
//  EnableWindow      WM_ENABLE only when the state changes; disabling sends
//                    WM_CANCELMODE first and takes the focus and the capture
//                    away from the window.
//  SetCapture        WM_CAPTURECHANGED (lParam: the new window) to the window
//                    that loses the capture.
#include <atomic>

#include "kernel32/thread.h"
#include "user32/focus.h"
#include "user32/window.h"

namespace w32 {

namespace {

struct InputState {
    bool ready = false;
    HWND focus = nullptr;
    HWND active = nullptr;
    HWND capture = nullptr;
};

thread_local InputState tInput;
std::atomic<HWND> gForeground{nullptr};
std::atomic<bool> gForegroundSet{false};

InputState& Input() {
    if (!tInput.ready) {
        tInput.ready = true;
        if (CurrentThreadId() == MainThreadId()) {
            tInput.active = tInput.focus = ProgramWindowHandle();
        }
    }
    return tInput;
}

// The handle if it still names a window, else null (and the slot forgets it).
HWND Valid(HWND& slot) {
    if (slot && !IsWindow(slot)) slot = nullptr;
    return slot;
}

HWND Foreground() {
    if (!gForegroundSet.exchange(true)) {
        HWND none = nullptr;
        gForeground.compare_exchange_strong(none, ProgramWindowHandle());
    }
    HWND hwnd = gForeground.load();
    return hwnd && IsWindow(hwnd) ? hwnd : nullptr;
}

struct Facts {
    bool valid = false;
    DWORD style = 0;
    DWORD threadId = 0;
    HWND root = nullptr;
};

Facts FactsOf(HWND hwnd) {
    Facts facts;
    std::lock_guard lock(ManagerLock());
    Window* window = FindWindowLocked(hwnd);
    if (!window) return facts;
    facts.valid = true;
    facts.style = window->style;
    facts.threadId = window->threadId;
    Window* root = window;
    while (root->parent && !IsRootLocked(root->parent)) root = root->parent;
    facts.root = IsRootLocked(root) ? nullptr : root->handle;
    return facts;
}

HWND MoveFocus(HWND hwnd) {
    InputState& input = Input();
    HWND previous = Valid(input.focus);
    if (previous == hwnd) return previous;
    input.focus = hwnd;
    if (previous) {
        SendMessageW(previous, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hwnd), 0);
        if (Input().focus != hwnd) return previous;  // moved again by the message
    }
    if (hwnd && IsWindow(hwnd)) SendMessageW(hwnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(previous), 0);
    return previous;
}

// Whether the window can take the activation from the thread.
bool CanActivate(HWND hwnd, HWND leaving) {
    if (!hwnd || hwnd == leaving) return false;
    Facts facts = FactsOf(hwnd);
    return facts.valid && facts.threadId == CurrentThreadId() && facts.root == hwnd &&
           (facts.style & WS_VISIBLE) && !(facts.style & WS_DISABLED);
}

}  // namespace

HWND ActivateWindow(HWND hwnd) {
    InputState& input = Input();
    HWND previous = Valid(input.active);
    if (previous == hwnd) return previous;
    if (previous) {
        SendMessageW(previous, WM_NCACTIVATE, FALSE, reinterpret_cast<LPARAM>(hwnd));
        SendMessageW(previous, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, IsIconic(previous) ? 1 : 0),
                     reinterpret_cast<LPARAM>(hwnd));
    }
    if (hwnd && !IsWindow(hwnd)) hwnd = nullptr;
    Input().active = hwnd;
    if (hwnd) {
        // The foreground follows the activation of a thread that has it (or when none has it).
        HWND foreground = Foreground();
        if (!foreground || FactsOf(foreground).threadId == CurrentThreadId()) gForeground = hwnd;
        SendMessageW(hwnd, WM_NCACTIVATE, TRUE, reinterpret_cast<LPARAM>(previous));
        SendMessageW(hwnd, WM_ACTIVATE, MAKEWPARAM(WA_ACTIVE, IsIconic(hwnd) ? 1 : 0),
                     reinterpret_cast<LPARAM>(previous));
        if (Valid(Input().active) == hwnd) {
            HWND focus = Valid(Input().focus);
            if (!focus || FactsOf(focus).root != hwnd) MoveFocus(hwnd);
        }
    } else {
        MoveFocus(nullptr);
    }
    return previous;
}

void ActivateOtherWindow(HWND leaving) {
    HWND next = nullptr;
    HWND owner = GetWindow(leaving, GW_OWNER);
    if (CanActivate(owner, leaving)) {
        next = owner;
    } else {
        std::vector<HWND> candidates;
        {
            std::lock_guard lock(ManagerLock());
            for (Window* w = DesktopLocked()->firstChild; w; w = w->next) {
                if (w->threadId == CurrentThreadId()) candidates.push_back(w->handle);
            }
        }
        for (HWND candidate : candidates) {
            if (CanActivate(candidate, leaving)) {
                next = candidate;
                break;
            }
        }
    }
    ActivateWindow(next);
}

void ForgetInputState(HWND hwnd) {
    InputState& input = Input();
    if (input.focus == hwnd) input.focus = nullptr;
    if (input.active == hwnd) input.active = nullptr;
    if (input.capture == hwnd) input.capture = nullptr;
    HWND expected = hwnd;
    gForeground.compare_exchange_strong(expected, nullptr);
}

}  // namespace w32

HWND WINAPI GetFocus(void) { return w32::Valid(w32::Input().focus); }
HWND WINAPI GetActiveWindow(void) { return w32::Valid(w32::Input().active); }
HWND WINAPI GetCapture(void) { return w32::Valid(w32::Input().capture); }
HWND WINAPI GetForegroundWindow(void) { return w32::Foreground(); }

HWND WINAPI SetFocus(HWND hwnd) {
    using namespace w32;
    if (!hwnd) return MoveFocus(nullptr);
    auto window = GetWindowRecord(hwnd);
    if (!window) return nullptr;
    if (FactsOf(hwnd).threadId != CurrentThreadId()) {
        SetLastError(ERROR_ACCESS_DENIED);
        return nullptr;
    }
    // The window and each parent up to the top-level window must be able to take it.
    HWND top = hwnd;
    for (;;) {
        Facts facts = FactsOf(top);
        if (!facts.valid || (facts.style & (WS_MINIMIZE | WS_DISABLED))) return nullptr;
        if (!(facts.style & WS_CHILD) || facts.root == top) break;
        top = GetAncestor(top, GA_PARENT);
    }
    if (top != GetActiveWindow()) {
        ActivateWindow(top);
        if (!IsWindow(hwnd) || top != GetActiveWindow()) return nullptr;
    }
    return MoveFocus(hwnd);
}

HWND WINAPI SetActiveWindow(HWND hwnd) {
    using namespace w32;
    if (hwnd) {
        Facts facts = FactsOf(hwnd);
        if (!facts.valid) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return nullptr;
        }
        if (facts.threadId != CurrentThreadId()) {
            SetLastError(ERROR_ACCESS_DENIED);
            return nullptr;
        }
        if ((facts.style & (WS_POPUP | WS_CHILD)) == WS_CHILD) return GetActiveWindow();
    }
    return ActivateWindow(hwnd);
}

BOOL WINAPI SetForegroundWindow(HWND hwnd) {
    using namespace w32;
    Facts facts = FactsOf(hwnd);
    if (!facts.valid || !facts.root) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    Foreground();
    gForeground = facts.root;
    if (facts.threadId == CurrentThreadId()) ActivateWindow(facts.root);
    return TRUE;
}

HWND WINAPI SetCapture(HWND hwnd) {
    using namespace w32;
    if (hwnd && !GetWindowRecord(hwnd)) return nullptr;
    InputState& input = Input();
    HWND previous = Valid(input.capture);
    input.capture = hwnd;
    if (previous && previous != hwnd) {
        SendMessageW(previous, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(hwnd));
    }
    return previous;
}

BOOL WINAPI ReleaseCapture(void) {
    using namespace w32;
    InputState& input = Input();
    HWND previous = Valid(input.capture);
    input.capture = nullptr;
    if (previous) SendMessageW(previous, WM_CAPTURECHANGED, 0, 0);
    return TRUE;
}

BOOL WINAPI EnableWindow(HWND hwnd, BOOL enable) {
    using namespace w32;
    auto window = GetWindowRecord(hwnd);
    if (!window) return FALSE;
    DWORD style;
    {
        std::lock_guard lock(ManagerLock());
        style = window->style;
    }
    const bool wasDisabled = (style & WS_DISABLED) != 0;
    if (enable && wasDisabled) {
        {
            std::lock_guard lock(ManagerLock());
            window->style &= ~WS_DISABLED;
        }
        SendMessageW(hwnd, WM_ENABLE, TRUE, 0);
    } else if (!enable && !wasDisabled) {
        SendMessageW(hwnd, WM_CANCELMODE, 0, 0);
        {
            std::lock_guard lock(ManagerLock());
            window->style |= WS_DISABLED;
        }
        if (window->threadId == CurrentThreadId()) {
            if (GetFocus() == hwnd) MoveFocus(nullptr);
            if (GetCapture() == hwnd) ReleaseCapture();
        }
        SendMessageW(hwnd, WM_ENABLE, FALSE, 0);
    }
    return wasDisabled;
}

BOOL WINAPI IsWindowEnabled(HWND hwnd) {
    auto window = w32::GetWindowRecord(hwnd);
    if (!window) return FALSE;
    std::lock_guard lock(w32::ManagerLock());
    return !(window->style & WS_DISABLED);
}
