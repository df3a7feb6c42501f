// The caret: one per thread, owned by a window of that thread.
//
//  CreateCaret(hwnd, bitmap, width, height)  replaces the thread's caret
//                   with a hidden one (a bitmap is taken as its size; width
//                   or height 0 is the border width or height); fails with
//                   ERROR_ACCESS_DENIED for a window of another thread
//  ShowCaret/HideCaret(hwnd)  count hidings: the caret shows when every
//                   HideCaret has a ShowCaret; hwnd NULL or the owner; fail
//                   with ERROR_ACCESS_DENIED when the thread has no caret or
//                   another window owns it
//  SetCaretPos/GetCaretPos  the position in the owner's client coordinates
//  DestroyCaret     removes the thread's caret; FALSE when there is none
// The caret does not blink here: drawing shows it while it is shown. A caret
// whose window is destroyed goes with it.
#include "kernel32/thread.h"
#include "user32/caret.h"
#include "user32/window.h"

namespace {

struct Caret {
    HWND owner = nullptr;
    int width = 0;
    int height = 0;
    POINT position{0, 0};
    int hidden = 1;
};

thread_local Caret tCaret;

// The thread's caret, forgotten when its window is gone.
Caret* ThreadCaret() {
    if (tCaret.owner && !IsWindow(tCaret.owner)) tCaret = Caret{};
    return tCaret.owner ? &tCaret : nullptr;
}

Caret* OwnedCaret(HWND hwnd) {
    Caret* caret = ThreadCaret();
    if (!caret || (hwnd && hwnd != caret->owner)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return nullptr;
    }
    return caret;
}

}  // namespace

namespace w32 {

HWND CaretOwner() {
    Caret* caret = ThreadCaret();
    return caret ? caret->owner : nullptr;
}

bool VisibleCaret(HWND hwnd, RECT& rect) {
    Caret* caret = ThreadCaret();
    if (!caret || caret->owner != hwnd || caret->hidden > 0) return false;
    rect = RECT{caret->position.x, caret->position.y, caret->position.x + caret->width,
                caret->position.y + caret->height};
    return true;
}

}  // namespace w32

BOOL WINAPI CreateCaret(HWND hwnd, HBITMAP bitmap, int width, int height) {
    auto window = w32::GetWindowRecord(hwnd);
    if (!window) return FALSE;
    if (window->threadId != w32::CurrentThreadId()) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    // A bitmap other than the grey (1) one gives the caret its size.
    if (bitmap && bitmap != reinterpret_cast<HBITMAP>(1)) {
        BITMAP info{};
        if (GetObjectW(bitmap, sizeof(info), &info)) {
            width = info.bmWidth;
            height = info.bmHeight;
        }
    }
    tCaret = Caret{};
    tCaret.owner = hwnd;
    tCaret.width = width > 0 ? width : GetSystemMetrics(SM_CXBORDER);
    tCaret.height = height > 0 ? height : GetSystemMetrics(SM_CYBORDER);
    return TRUE;
}

BOOL WINAPI DestroyCaret(void) {
    if (!ThreadCaret()) return FALSE;
    tCaret = Caret{};
    return TRUE;
}

BOOL WINAPI ShowCaret(HWND hwnd) {
    Caret* caret = OwnedCaret(hwnd);
    if (!caret) return FALSE;
    if (caret->hidden > 0) --caret->hidden;
    return TRUE;
}

BOOL WINAPI HideCaret(HWND hwnd) {
    Caret* caret = OwnedCaret(hwnd);
    if (!caret) return FALSE;
    ++caret->hidden;
    return TRUE;
}

BOOL WINAPI SetCaretPos(int x, int y) {
    Caret* caret = OwnedCaret(nullptr);
    if (!caret) return FALSE;
    caret->position = POINT{x, y};
    return TRUE;
}

BOOL WINAPI GetCaretPos(LPPOINT point) {
    if (!point) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    Caret* caret = OwnedCaret(nullptr);
    if (!caret) return FALSE;
    *point = caret->position;
    return TRUE;
}

UINT WINAPI GetCaretBlinkTime(void) { return 530; }
