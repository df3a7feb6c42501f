// Window classes: RegisterClassW/ExW, UnregisterClassW, GetClassInfoW/ExW,
// the class words and the process's atom table.
//
// A class is known by its name (without regard to case) or its atom, and by
// the module that registered it. An application class is local to its
// module unless registered with CS_GLOBALCLASS; CreateWindowExW looks for a
// local class of the instance it is given, then a global class, then the
// classes of the system. Registering a name the module (or, for a global
// class, anyone) already registered fails with ERROR_CLASS_ALREADY_EXISTS.
// A class's extra bytes (cbClsExtra) are read and written with the class
// words at indexes 0 and above; its windows get cbWndExtra bytes each.
#include <algorithm>
#include <cstring>
#include <map>
#include <type_traits>

#include "user32/window.h"

namespace w32 {

namespace {

struct ClassTable {
    std::vector<std::shared_ptr<WindowClass>> classes;
    std::map<std::u16string, ATOM> atoms;  // upper-cased name -> atom
    std::map<ATOM, std::u16string> names;
    ATOM nextAtom = 0xC000;
};

// Guarded by ManagerLock().
ClassTable& Classes() {
    static ClassTable* table = new ClassTable;
    return *table;
}

std::u16string Folded(std::u16string_view name) {
    std::u16string folded(name);
    if (!folded.empty()) CharUpperBuffW(folded.data(), DWORD(folded.size()));
    return folded;
}

HINSTANCE ProgramInstance(HINSTANCE instance) { return instance ? instance : GetModuleHandleW(nullptr); }

// The name a class name parameter gives: a string, or the name of an atom.
bool ClassNameOf(LPCWSTR name, std::u16string& out) {
    if (!name) return false;
    if (IS_INTRESOURCE(name)) {
        auto it = Classes().names.find(ATOM(reinterpret_cast<ULONG_PTR>(name)));
        if (it == Classes().names.end()) return false;
        out = it->second;
        return true;
    }
    out = name;
    return true;
}

bool SameName(const WindowClass& c, const std::u16string& name) {
    return c.name.size() == name.size() && Folded(c.name) == Folded(name);
}

ATOM Register(const WNDCLASSEXW& wc, bool system) {
    if (!wc.lpszClassName || wc.cbClsExtra < 0 || wc.cbWndExtra < 0 || wc.cbClsExtra > 40000 ||
        wc.cbWndExtra > 40000) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    EnsureWindowManager();
    std::lock_guard lock(ManagerLock());
    return RegisterLocked(wc, system);
}

}  // namespace

ATOM RegisterLocked(const WNDCLASSEXW& wc, bool system) {
    std::u16string name;
    if (!ClassNameOf(wc.lpszClassName, name) || name.empty()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const HINSTANCE instance = system ? nullptr : ProgramInstance(wc.hInstance);
    const bool global = system || (wc.style & CS_GLOBALCLASS);
    for (const auto& c : Classes().classes) {
        if (!SameName(*c, name) || c->system != system) continue;
        const bool otherGlobal = c->system || (c->style & CS_GLOBALCLASS);
        if (c->instance == instance || (global && otherGlobal)) {
            SetLastError(ERROR_CLASS_ALREADY_EXISTS);
            return 0;
        }
    }
    auto c = std::make_shared<WindowClass>();
    c->atom = AddAtomName(name);
    c->name = name;
    c->style = wc.style;
    c->proc = wc.lpfnWndProc;
    c->clsExtra = wc.cbClsExtra;
    c->wndExtra = wc.cbWndExtra;
    c->instance = instance;
    c->icon = wc.hIcon;
    c->iconSmall = wc.hIconSm;
    c->cursor = wc.hCursor;
    c->background = wc.hbrBackground;
    if (wc.lpszMenuName && !IS_INTRESOURCE(wc.lpszMenuName)) {
        c->menuNameText = wc.lpszMenuName;
        c->menuName = c->menuNameText.c_str();
    } else {
        c->menuName = wc.lpszMenuName;
    }
    c->extra.assign(size_t(wc.cbClsExtra), 0);
    c->system = system;
    Classes().classes.push_back(c);
    return c->atom;
}

namespace {

// With the lock held: the class a window handle's record names, or null
// with ERROR_INVALID_WINDOW_HANDLE.
WindowClass* ClassOfWindowLocked(HWND hwnd) {
    Window* window = FindWindowOrFailLocked(hwnd);
    if (!window) return nullptr;
    return window->windowClass.get();
}

bool ExtraIndexOk(const WindowClass& c, int index, size_t size) {
    if (index < 0 || size_t(index) + size > c.extra.size()) {
        SetLastError(ERROR_INVALID_INDEX);
        return false;
    }
    return true;
}

// Reads (and with `set`, replaces) a class word; answers the previous value.
ULONG_PTR ClassWord(HWND hwnd, int index, bool set, LONG_PTR value, size_t extraSize) {
    std::lock_guard lock(ManagerLock());
    WindowClass* c = ClassOfWindowLocked(hwnd);
    if (!c) return 0;
    auto swap = [&](auto& field) {
        using T = std::remove_reference_t<decltype(field)>;
        ULONG_PTR old;
        if constexpr (std::is_pointer_v<T>)
            old = reinterpret_cast<ULONG_PTR>(field);
        else
            old = ULONG_PTR(field);
        if (set) {
            if constexpr (std::is_pointer_v<T>)
                field = reinterpret_cast<T>(value);
            else
                field = T(value);
        }
        return old;
    };
    if (index >= 0) {
        if (!ExtraIndexOk(*c, index, extraSize)) return 0;
        ULONG_PTR old = 0;
        std::memcpy(&old, c->extra.data() + index, extraSize);
        if (set) std::memcpy(c->extra.data() + index, &value, extraSize);
        return old;
    }
    switch (index) {
        case GCLP_MENUNAME: {
            ULONG_PTR old = reinterpret_cast<ULONG_PTR>(c->menuName);
            if (set) {
                auto name = reinterpret_cast<LPCWSTR>(value);
                if (name && !IS_INTRESOURCE(name)) {
                    c->menuNameText = name;
                    c->menuName = c->menuNameText.c_str();
                } else {
                    c->menuName = name;
                }
            }
            return old;
        }
        case GCLP_HBRBACKGROUND:
            return swap(c->background);
        case GCLP_HCURSOR:
            return swap(c->cursor);
        case GCLP_HICON:
            return swap(c->icon);
        case GCLP_HICONSM:
            return swap(c->iconSmall);
        case GCLP_HMODULE:
            return swap(c->instance);
        case GCLP_WNDPROC:
            return swap(c->proc);
        case GCL_STYLE:
            return swap(c->style);
        case GCL_CBWNDEXTRA:
            return swap(c->wndExtra);  // windows made later get the new size
        case GCL_CBCLSEXTRA:
            if (set) {  // the class's own bytes cannot grow once registered
                SetLastError(ERROR_INVALID_PARAMETER);
                return 0;
            }
            return ULONG_PTR(c->clsExtra);
        case GCW_ATOM:
            if (set) {
                SetLastError(ERROR_INVALID_INDEX);
                return 0;
            }
            return c->atom;
        default:
            SetLastError(ERROR_INVALID_INDEX);
            return 0;
    }
}

template <class Info>
BOOL ClassInfo(HINSTANCE instance, LPCWSTR name, Info* info) {
    if (!info || !name) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    EnsureWindowManager();
    std::lock_guard lock(ManagerLock());
    auto c = FindClassLocked(name, instance);
    if (!c) {
        SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
        return FALSE;
    }
    info->style = c->style;
    info->lpfnWndProc = c->proc;
    info->cbClsExtra = c->clsExtra;
    info->cbWndExtra = c->wndExtra;
    info->hInstance = c->system ? nullptr : c->instance;
    info->hIcon = c->icon;
    info->hCursor = c->cursor;
    info->hbrBackground = c->background;
    info->lpszMenuName = c->menuName;
    info->lpszClassName = name;
    if constexpr (std::is_same_v<Info, WNDCLASSEXW>) info->hIconSm = c->iconSmall;
    return c->atom;  // the class's atom, as Windows answers
}

}  // namespace

ATOM AddAtomName(std::u16string_view name) {
    auto& table = Classes();
    auto key = Folded(name);
    auto it = table.atoms.find(key);
    if (it != table.atoms.end()) return it->second;
    if (table.nextAtom == 0) return 0;  // the table is full
    ATOM atom = table.nextAtom++;
    table.atoms.emplace(key, atom);
    table.names.emplace(atom, std::u16string(name));
    return atom;
}

bool FindAtomName(std::u16string_view name, ATOM& atom) {
    auto it = Classes().atoms.find(Folded(name));
    if (it == Classes().atoms.end()) return false;
    atom = it->second;
    return true;
}

std::shared_ptr<WindowClass> FindClassLocked(LPCWSTR className, HINSTANCE instance) {
    std::u16string name;
    if (!ClassNameOf(className, name)) return nullptr;
    instance = ProgramInstance(instance);
    std::shared_ptr<WindowClass> global, system;
    for (const auto& c : Classes().classes) {
        if (!SameName(*c, name)) continue;
        if (c->system) {
            system = c;
        } else if (c->instance == instance) {
            return c;
        } else if (c->style & CS_GLOBALCLASS) {
            global = c;
        }
    }
    return global ? global : system;
}

ATOM RegisterSystemClass(const WNDCLASSEXW& wc) { return Register(wc, true); }

}  // namespace w32

ATOM WINAPI RegisterClassExW(const WNDCLASSEXW* wc) {
    if (!wc || wc->cbSize != sizeof(WNDCLASSEXW)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    return w32::Register(*wc, false);
}

ATOM WINAPI RegisterClassW(const WNDCLASSW* wc) {
    if (!wc) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    WNDCLASSEXW ex{sizeof(WNDCLASSEXW), wc->style,   wc->lpfnWndProc,  wc->cbClsExtra,    wc->cbWndExtra,    wc->hInstance,
                   wc->hIcon,           wc->hCursor, wc->hbrBackground, wc->lpszMenuName, wc->lpszClassName, nullptr};
    return w32::Register(ex, false);
}

BOOL WINAPI UnregisterClassW(LPCWSTR className, HINSTANCE instance) {
    w32::EnsureWindowManager();
    std::lock_guard lock(w32::ManagerLock());
    std::u16string name;
    if (!w32::ClassNameOf(className, name)) {
        SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
        return FALSE;
    }
    instance = w32::ProgramInstance(instance);
    auto& classes = w32::Classes().classes;
    auto it = std::find_if(classes.begin(), classes.end(), [&](const std::shared_ptr<w32::WindowClass>& c) {
        return !c->system && c->instance == instance && w32::SameName(*c, name);
    });
    if (it == classes.end()) {
        SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
        return FALSE;
    }
    if ((*it)->windows > 0) {
        SetLastError(ERROR_CLASS_HAS_WINDOWS);
        return FALSE;
    }
    classes.erase(it);
    return TRUE;
}

BOOL WINAPI GetClassInfoExW(HINSTANCE instance, LPCWSTR name, LPWNDCLASSEXW info) {
    return w32::ClassInfo(instance, name, info);
}

BOOL WINAPI GetClassInfoW(HINSTANCE instance, LPCWSTR name, LPWNDCLASSW info) {
    return w32::ClassInfo(instance, name, info);
}

ULONG_PTR WINAPI GetClassLongPtrW(HWND hwnd, int index) {
    return w32::ClassWord(hwnd, index, false, 0, sizeof(LONG_PTR));
}

ULONG_PTR WINAPI SetClassLongPtrW(HWND hwnd, int index, LONG_PTR value) {
    return w32::ClassWord(hwnd, index, true, value, sizeof(LONG_PTR));
}

DWORD WINAPI GetClassLongW(HWND hwnd, int index) { return DWORD(w32::ClassWord(hwnd, index, false, 0, sizeof(LONG))); }

DWORD WINAPI SetClassLongW(HWND hwnd, int index, LONG value) {
    return DWORD(w32::ClassWord(hwnd, index, true, value, sizeof(LONG)));
}

int WINAPI GetClassNameW(HWND hwnd, LPWSTR buffer, int size) {
    std::lock_guard lock(w32::ManagerLock());
    w32::WindowClass* c = w32::ClassOfWindowLocked(hwnd);
    if (!c) return 0;
    if (!buffer || size <= 0) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    lstrcpynW(buffer, c->name.c_str(), size);
    return lstrlenW(buffer);
}
