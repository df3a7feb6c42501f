#include "user32/window.h"

#include "machine/machine.h"

namespace w32 {

namespace {

// Fixed handles, distinct from every other kind of handle in the layer.
HWND const kDesktop = reinterpret_cast<HWND>(ULONG_PTR(0x10010));
HWND const kProgramWindow = reinterpret_cast<HWND>(ULONG_PTR(0x10020));

}  // namespace

HWND DesktopWindowHandle() { return kDesktop; }
HWND ProgramWindowHandle() { return kProgramWindow; }

bool QueryWindow(HWND window, WindowRecord& record) {
    if (window == kDesktop) {
        record = WindowRecord{};
        record.handle = kDesktop;
        record.className = u"#32769";
        record.style = WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
        return true;
    }
    if (window == kProgramWindow) {
        // The program runs with its main window active: the title comes from
        // the machine, the instance is the program's module.
        record = WindowRecord{};
        record.handle = kProgramWindow;
        record.parent = nullptr;
        record.instance = GetModuleHandleW(nullptr);
        record.style = WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN;
        record.className = u"KorvanDocumentWindow";
        record.text = Machine::Current().Settings().programWindowTitle;
        return true;
    }
    return false;
}

}  // namespace w32

namespace {

bool Lookup(HWND window, w32::WindowRecord& record) {
    if (w32::QueryWindow(window, record)) return true;
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return false;
}

}  // namespace

HWND WINAPI GetDesktopWindow(void) { return w32::DesktopWindowHandle(); }
HWND WINAPI GetActiveWindow(void) { return w32::ProgramWindowHandle(); }
HWND WINAPI GetForegroundWindow(void) { return w32::ProgramWindowHandle(); }

BOOL WINAPI IsWindow(HWND window) {
    w32::WindowRecord record;
    return w32::QueryWindow(window, record);
}

HWND WINAPI GetParent(HWND window) {
    w32::WindowRecord record;
    if (!Lookup(window, record)) return nullptr;
    return record.parent;
}

HWND WINAPI GetAncestor(HWND window, UINT flags) {
    w32::WindowRecord record;
    if (!Lookup(window, record)) return nullptr;
    if (window == w32::DesktopWindowHandle()) return nullptr;
    if (flags == GA_PARENT) return record.parent ? record.parent : w32::DesktopWindowHandle();
    // Top-level windows are their own root.
    HWND root = window;
    while (record.parent && w32::QueryWindow(record.parent, record)) root = record.handle;
    return root;
}

LONG_PTR WINAPI GetWindowLongPtrW(HWND window, int index) {
    w32::WindowRecord record;
    if (!Lookup(window, record)) return 0;
    switch (index) {
        case GWLP_HINSTANCE:
            return reinterpret_cast<LONG_PTR>(record.instance);
        case GWLP_HWNDPARENT:
            return reinterpret_cast<LONG_PTR>(record.parent);
        case GWLP_ID:
            return record.id;
        case GWL_STYLE:
            return LONG(record.style);
        case GWL_EXSTYLE:
            return LONG(record.exStyle);
        case GWLP_USERDATA:
            return record.userData;
        default:
            SetLastError(ERROR_INVALID_INDEX);
            return 0;
    }
}

LONG WINAPI GetWindowLongW(HWND window, int index) { return LONG(GetWindowLongPtrW(window, index)); }

int WINAPI GetWindowTextW(HWND window, LPWSTR text, int maxCount) {
    if (text && maxCount > 0) text[0] = 0;
    w32::WindowRecord record;
    if (!Lookup(window, record) || !text || maxCount <= 0) return 0;
    lstrcpynW(text, record.text.c_str(), maxCount);
    return lstrlenW(text);
}

int WINAPI GetWindowTextLengthW(HWND window) {
    w32::WindowRecord record;
    if (!Lookup(window, record)) return 0;
    return int(record.text.size());
}

// The desktop belongs to the system: its words are not the caller's to set.
// The program's window has no extra bytes (a dialog's DWLP_MSGRESULT is one
// of them), so a word at index 0 or above does not exist; its system words
// stay as the machine gives them until windows of the caller's own come with
// the window manager.
LONG_PTR WINAPI SetWindowLongPtrW(HWND window, int index, LONG_PTR) {
    w32::WindowRecord record;
    if (!Lookup(window, record)) return 0;
    if (window == w32::DesktopWindowHandle())
        SetLastError(ERROR_ACCESS_DENIED);
    else if (index >= 0)
        SetLastError(ERROR_INVALID_INDEX);
    else
        SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
    return 0;
}

// The desktop and the program's window take every message and answer 0.
LRESULT WINAPI SendMessageW(HWND window, UINT, WPARAM, LPARAM) {
    w32::WindowRecord record;
    if (!Lookup(window, record)) return 0;
    return 0;
}
