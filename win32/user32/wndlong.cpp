// Window words (GetWindowLongPtrW and SetWindowLongPtrW, and their 32-bit
// forms) and window properties.
//
// Negative indexes are the system's words: GWLP_WNDPROC (setting it
// subclasses the window: the caller keeps the old procedure and passes what
// it leaves to it through CallWindowProcW), GWLP_HINSTANCE, GWLP_HWNDPARENT
// (a child's parent, a top-level window's owner; setting it sets the owner),
// GWLP_ID, GWL_STYLE and GWL_EXSTYLE (setting them sends WM_STYLECHANGING,
// whose STYLESTRUCT the procedure may change, and WM_STYLECHANGED), and
// GWLP_USERDATA. Indexes 0 and above address the window's extra bytes
// (cbWndExtra of its class; a dialog's DWLP_MSGRESULT, DWLP_DLGPROC and
// DWLP_USER lie there); a word that does not fit in them fails with
// ERROR_INVALID_INDEX. The 32-bit forms cannot carry a procedure.
//
// Properties are kept by the atom of their name, so a name and
// MAKEINTATOM of its atom find the same property.
#include <cstring>

#include "user32/window.h"

namespace w32 {

namespace {

bool ExtraFits(const Window& window, int index, size_t size) {
    if (index < 0 || size_t(index) + size > window.extra.size()) {
        SetLastError(ERROR_INVALID_INDEX);
        return false;
    }
    return true;
}

LONG_PTR GetWord(HWND hwnd, int index, size_t size) {
    EnsureWindowManager();
    std::lock_guard lock(ManagerLock());
    Window* window = FindWindowOrFailLocked(hwnd);
    if (!window) return 0;
    if (index >= 0) {
        if (!ExtraFits(*window, index, size)) return 0;
        if (size == sizeof(LONG)) {
            LONG value;
            std::memcpy(&value, window->extra.data() + index, sizeof(value));
            return value;
        }
        LONG_PTR value;
        std::memcpy(&value, window->extra.data() + index, sizeof(value));
        return value;
    }
    switch (index) {
        case GWLP_WNDPROC:
            if (size == sizeof(LONG)) break;
            return reinterpret_cast<LONG_PTR>(window->proc);
        case GWLP_HINSTANCE:
            return reinterpret_cast<LONG_PTR>(window->instance);
        case GWLP_HWNDPARENT:
            if ((window->style & WS_CHILD) && window->parent && !IsRootLocked(window->parent)) {
                return reinterpret_cast<LONG_PTR>(window->parent->handle);
            }
            return reinterpret_cast<LONG_PTR>(window->owner ? window->owner->handle : nullptr);
        case GWLP_ID:
            return window->id;
        case GWL_STYLE:
            return LONG(window->style);
        case GWL_EXSTYLE:
            return LONG(window->exStyle);
        case GWLP_USERDATA:
            return window->userData;
        default:
            break;
    }
    SetLastError(ERROR_INVALID_INDEX);
    return 0;
}

// GWL_STYLE and GWL_EXSTYLE: the procedure hears of the change before and after.
LONG_PTR SetStyle(HWND hwnd, int index, DWORD value) {
    auto window = GetWindowRecord(hwnd);
    if (!window) return 0;
    STYLESTRUCT change{};
    {
        std::lock_guard lock(ManagerLock());
        change.styleOld = index == GWL_STYLE ? window->style : window->exStyle;
    }
    change.styleNew = value;
    SendMessageW(hwnd, WM_STYLECHANGING, WPARAM(index), reinterpret_cast<LPARAM>(&change));
    {
        std::lock_guard lock(ManagerLock());
        if (!FindWindowLocked(hwnd)) return LONG(change.styleOld);
        (index == GWL_STYLE ? window->style : window->exStyle) = change.styleNew;
    }
    SendMessageW(hwnd, WM_STYLECHANGED, WPARAM(index), reinterpret_cast<LPARAM>(&change));
    return LONG(change.styleOld);
}

LONG_PTR SetWord(HWND hwnd, int index, LONG_PTR value, size_t size) {
    if (index == GWL_STYLE || index == GWL_EXSTYLE) {
        auto window = GetWindowRecord(hwnd);
        if (!window) return 0;
        {
            std::lock_guard lock(ManagerLock());
            if (IsRootLocked(window.get())) {
                SetLastError(ERROR_ACCESS_DENIED);
                return 0;
            }
        }
        return SetStyle(hwnd, index, DWORD(value));
    }
    EnsureWindowManager();
    std::lock_guard lock(ManagerLock());
    Window* window = FindWindowOrFailLocked(hwnd);
    if (!window) return 0;
    if (IsRootLocked(window)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return 0;
    }
    if (index >= 0) {
        if (!ExtraFits(*window, index, size)) return 0;
        LONG_PTR old = 0;
        if (size == sizeof(LONG)) {
            LONG previous, next = LONG(value);
            std::memcpy(&previous, window->extra.data() + index, sizeof(previous));
            std::memcpy(window->extra.data() + index, &next, sizeof(next));
            old = previous;
        } else {
            std::memcpy(&old, window->extra.data() + index, sizeof(old));
            std::memcpy(window->extra.data() + index, &value, sizeof(value));
        }
        return old;
    }
    LONG_PTR old = 0;
    switch (index) {
        case GWLP_WNDPROC:
            if (size == sizeof(LONG)) break;
            old = reinterpret_cast<LONG_PTR>(window->proc);
            window->proc = reinterpret_cast<WNDPROC>(value);
            return old;
        case GWLP_HINSTANCE:
            old = reinterpret_cast<LONG_PTR>(window->instance);
            window->instance = reinterpret_cast<HINSTANCE>(value);
            return old;
        case GWLP_HWNDPARENT: {
            if (window->style & WS_CHILD) break;  // a child's parent changes with SetParent
            old = reinterpret_cast<LONG_PTR>(window->owner ? window->owner->handle : nullptr);
            Window* owner = FindWindowLocked(reinterpret_cast<HWND>(value));
            while (owner && owner->parent && !IsRootLocked(owner->parent)) owner = owner->parent;
            if (owner && (IsRootLocked(owner) || owner == window)) owner = nullptr;
            if (window->owner) --window->owner->ownedCount;
            window->owner = owner;
            if (owner) ++owner->ownedCount;
            return old;
        }
        case GWLP_ID:
            old = window->id;
            window->id = size == sizeof(LONG) ? LONG(value) : value;
            return old;
        case GWLP_USERDATA:
            old = window->userData;
            window->userData = size == sizeof(LONG) ? LONG(value) : value;
            return old;
        default:
            break;
    }
    SetLastError(ERROR_INVALID_INDEX);
    return 0;
}

// The atom a property name stands for; with `add`, made when missing.
ATOM PropertyAtom(LPCWSTR name, bool add) {
    if (!name) return 0;
    if (IS_INTRESOURCE(name)) return ATOM(reinterpret_cast<ULONG_PTR>(name));
    if (add) return AddAtomName(name);
    ATOM atom = 0;
    FindAtomName(name, atom);
    return atom;
}

}  // namespace

}  // namespace w32

LONG_PTR WINAPI GetWindowLongPtrW(HWND hwnd, int index) { return w32::GetWord(hwnd, index, sizeof(LONG_PTR)); }
LONG WINAPI GetWindowLongW(HWND hwnd, int index) { return LONG(w32::GetWord(hwnd, index, sizeof(LONG))); }

LONG_PTR WINAPI SetWindowLongPtrW(HWND hwnd, int index, LONG_PTR value) {
    return w32::SetWord(hwnd, index, value, sizeof(LONG_PTR));
}

LONG WINAPI SetWindowLongW(HWND hwnd, int index, LONG value) {
    return LONG(w32::SetWord(hwnd, index, value, sizeof(LONG)));
}

BOOL WINAPI SetPropW(HWND hwnd, LPCWSTR name, HANDLE data) {
    w32::EnsureWindowManager();
    std::lock_guard lock(w32::ManagerLock());
    w32::Window* window = w32::FindWindowOrFailLocked(hwnd);
    if (!window) return FALSE;
    ATOM atom = w32::PropertyAtom(name, true);
    if (!atom) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    for (auto& [key, value] : window->props) {
        if (key == atom) {
            value = data;
            return TRUE;
        }
    }
    window->props.emplace_back(atom, data);
    return TRUE;
}

HANDLE WINAPI GetPropW(HWND hwnd, LPCWSTR name) {
    w32::EnsureWindowManager();
    std::lock_guard lock(w32::ManagerLock());
    w32::Window* window = w32::FindWindowOrFailLocked(hwnd);
    if (!window) return nullptr;
    ATOM atom = w32::PropertyAtom(name, false);
    for (auto& [key, value] : window->props) {
        if (atom && key == atom) return value;
    }
    return nullptr;
}

HANDLE WINAPI RemovePropW(HWND hwnd, LPCWSTR name) {
    w32::EnsureWindowManager();
    std::lock_guard lock(w32::ManagerLock());
    w32::Window* window = w32::FindWindowOrFailLocked(hwnd);
    if (!window) return nullptr;
    ATOM atom = w32::PropertyAtom(name, false);
    for (auto it = window->props.begin(); it != window->props.end(); ++it) {
        if (atom && it->first == atom) {
            HANDLE value = it->second;
            window->props.erase(it);
            return value;
        }
    }
    return nullptr;
}
