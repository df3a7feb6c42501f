// Window text: SetWindowTextW sends WM_SETTEXT; GetWindowTextW and
// GetWindowTextLengthW send WM_GETTEXT and WM_GETTEXTLENGTH to a window of
// the calling thread, so a window procedure decides what its text is.
// For a window of another thread they read the text the window keeps (as
// Windows does for another program's window), so that a thread asking about
// a busy thread's window does not wait on it.
#include "kernel32/thread.h"
#include "user32/window.h"

namespace {

// The window, and whether the calling thread answers its messages.
std::shared_ptr<w32::Window> Lookup(HWND hwnd, bool& ownThread) {
    auto window = w32::GetWindowRecord(hwnd);
    ownThread = window && (window->threadId == 0 || window->threadId == w32::CurrentThreadId());
    return window;
}

std::u16string KeptText(const std::shared_ptr<w32::Window>& window) {
    std::lock_guard lock(w32::ManagerLock());
    return w32::InternalWindowText(window.get());
}

}  // namespace

BOOL WINAPI SetWindowTextW(HWND hwnd, LPCWSTR text) {
    if (!w32::GetWindowRecord(hwnd)) return FALSE;
    return SendMessageW(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text)) != 0;
}

int WINAPI GetWindowTextW(HWND hwnd, LPWSTR text, int maxCount) {
    if (text && maxCount > 0) text[0] = 0;
    bool own;
    auto window = Lookup(hwnd, own);
    if (!window || !text || maxCount <= 0) return 0;
    if (own) return int(SendMessageW(hwnd, WM_GETTEXT, WPARAM(maxCount), reinterpret_cast<LPARAM>(text)));
    lstrcpynW(text, KeptText(window).c_str(), maxCount);
    return lstrlenW(text);
}

int WINAPI GetWindowTextLengthW(HWND hwnd) {
    bool own;
    auto window = Lookup(hwnd, own);
    if (!window) return 0;
    if (own) return int(SendMessageW(hwnd, WM_GETTEXTLENGTH, 0, 0));
    return int(KeptText(window).size());
}
