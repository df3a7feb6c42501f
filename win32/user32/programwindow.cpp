// The windows the process starts with: the desktop (class "#32769"), the
// hidden root of message-only windows (class "Message"), and the program's
// main window: a visible overlapped window of the main thread, of the class
// "KorvanDocumentWindow" registered for the program's module, active and in
// the foreground when the program starts. Its title is the machine's
// programWindowTitle, read each time it is asked for (tests change it on a
// running machine); setting its text changes the machine's title.
#include <mutex>

#include "kernel32/thread.h"
#include "machine/machine.h"
#include "user32/msgqueue.h"
#include "user32/window.h"
#include "user32/wndpos.h"

namespace w32 {

namespace {

// Fixed handles, distinct from every other kind of handle in the layer.
HWND const kDesktop = reinterpret_cast<HWND>(ULONG_PTR(0x10010));
HWND const kProgramWindow = reinterpret_cast<HWND>(ULONG_PTR(0x10020));
HWND const kMessageRoot = reinterpret_cast<HWND>(ULONG_PTR(0x10030));

Window* gDesktop = nullptr;
Window* gMessageRoot = nullptr;

LRESULT CALLBACK RootProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CLOSE) return 0;  // the desktop is never closed
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK ProgramWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SETTEXT:
            Machine::Current().MutableSettings().programWindowTitle =
                lParam ? std::u16string(reinterpret_cast<LPCWSTR>(lParam)) : std::u16string();
            return TRUE;
        case WM_GETTEXTLENGTH:
            return LRESULT(Machine::Current().Settings().programWindowTitle.size());
        case WM_GETTEXT: {
            auto buffer = reinterpret_cast<LPWSTR>(lParam);
            if (!buffer || wParam == 0) return 0;
            lstrcpynW(buffer, Machine::Current().Settings().programWindowTitle.c_str(), int(wParam));
            return lstrlenW(buffer);
        }
        case WM_CLOSE:
            return 0;  // the program decides when it ends
        default:
            return DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

std::shared_ptr<WindowClass> SystemClass(LPCWSTR name, WNDPROC proc, HINSTANCE instance) {
    auto c = std::make_shared<WindowClass>();
    c->atom = AddAtomName(name);
    c->name = name;
    c->proc = proc;
    c->instance = instance;
    c->system = instance == nullptr;
    return c;
}

// With the lock held.
Window* MakeRoot(HWND handle, LPCWSTR className, DWORD style) {
    auto root = std::make_shared<Window>();
    root->windowClass = SystemClass(className, RootProc, nullptr);
    root->windowClass->windows = 1;
    root->style = style;
    root->rect = RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    root->client = root->rect;
    root->state = WindowState::Alive;
    InsertWindowLocked(root, handle);
    return root.get();
}

void MakeWindows() {
    const HINSTANCE program = GetModuleHandleW(nullptr);
    MakeQueueOfThread(MainThreadId());  // messages may be posted to the program's window at once
    std::lock_guard lock(ManagerLock());
    gDesktop = MakeRoot(kDesktop, u"#32769", WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN);
    gMessageRoot = MakeRoot(kMessageRoot, u"Message", WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN);
    RegisterSystemClassesLocked();

    auto window = std::make_shared<Window>();
    window->windowClass = SystemClass(u"KorvanDocumentWindow", ProgramWindowProc, program);
    window->windowClass->windows = 1;
    window->threadId = MainThreadId();
    window->instance = program;
    window->proc = ProgramWindowProc;
    window->style = WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
    window->exStyle = WS_EX_WINDOWEDGE;
    // Over the work area: the screen less the taskbar.
    window->rect = RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN) - 40};
    RECT insets = FrameInsets(window->style, window->exStyle, false);
    window->client = RECT{window->rect.left + insets.left, window->rect.top + insets.top,
                          window->rect.right - insets.right, window->rect.bottom - insets.bottom};
    window->state = WindowState::Alive;
    InsertWindowLocked(window, kProgramWindow);
    LinkWindowLocked(window.get(), gDesktop, HWND_TOP);
}

}  // namespace

void EnsureWindowManager() {
    static std::once_flag once;
    std::call_once(once, MakeWindows);
}

Window* DesktopLocked() { return gDesktop; }
Window* MessageRootLocked() { return gMessageRoot; }
bool IsRootLocked(const Window* window) { return window == gDesktop || window == gMessageRoot; }

HWND DesktopWindowHandle() {
    EnsureWindowManager();
    return kDesktop;
}

HWND ProgramWindowHandle() {
    EnsureWindowManager();
    return kProgramWindow;
}

std::u16string InternalWindowText(const Window* window) {
    if (window->handle == kProgramWindow) return Machine::Current().Settings().programWindowTitle;
    return window->text;
}

}  // namespace w32
