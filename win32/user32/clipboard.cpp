// The clipboard: one for the process, opened by one thread at a time.
//
//  OpenClipboard(hwnd)     opens it for the calling thread (hwnd, which may be
//                          NULL, is the window that opened it); fails with
//                          ERROR_ACCESS_DENIED while another thread has it
//                          open
//  EmptyClipboard          frees every format; the window that opened it
//                          becomes the owner
//  SetClipboardData(f, h)  the clipboard takes the global memory handle (it
//                          frees it when emptied); a NULL handle (rendering
//                          on request) is not supported:
//                          ERROR_CALL_NOT_IMPLEMENTED
//  GetClipboardData(f)     the handle of a format; CF_TEXT is made from
//                          CF_UNICODETEXT in the ANSI code page when only
//                          that is there
//  CloseClipboard          closes it
// Calls that need the clipboard open fail with ERROR_CLIPBOARD_NOT_OPEN.
#include <algorithm>
#include <cstring>
#include <map>
#include <mutex>

#include "kernel32/thread.h"
#include "user32/window.h"

namespace {

struct Clipboard {
    std::mutex lock;
    DWORD openThread = 0;
    HWND openWindow = nullptr;
    HWND owner = nullptr;
    std::map<UINT, HANDLE> formats;  // in the order of their numbers
    bool textMade = false;           // CF_TEXT was made from CF_UNICODETEXT

    // The clipboard owns the memory handed to it: what is on it when the
    // process ends is freed with it.
    ~Clipboard() {
        for (auto& [format, handle] : formats) GlobalFree(handle);
    }
};

Clipboard& TheClipboard() {
    static Clipboard clipboard;
    return clipboard;
}

bool OpenedHereLocked(const Clipboard& clipboard) {
    if (clipboard.openThread != w32::CurrentThreadId()) {
        SetLastError(ERROR_CLIPBOARD_NOT_OPEN);
        return false;
    }
    return true;
}

void FreeFormatsLocked(Clipboard& clipboard) {
    for (auto& [format, handle] : clipboard.formats) GlobalFree(handle);
    clipboard.formats.clear();
    clipboard.textMade = false;
}

// CF_TEXT from the CF_UNICODETEXT held, kept with the other formats.
HANDLE SynthesizeTextLocked(Clipboard& clipboard) {
    auto it = clipboard.formats.find(CF_UNICODETEXT);
    if (it == clipboard.formats.end()) return nullptr;
    auto wide = static_cast<LPCWSTR>(GlobalLock(it->second));
    if (!wide) return nullptr;
    int length = int(std::min<SIZE_T>(GlobalSize(it->second) / sizeof(WCHAR), 0x7FFFFFFF));
    length = int(std::find(wide, wide + length, u'\0') - wide);
    int bytes = WideCharToMultiByte(CP_ACP, 0, wide, length, nullptr, 0, nullptr, nullptr);
    HGLOBAL text = GlobalAlloc(GMEM_MOVEABLE, SIZE_T(bytes) + 1);
    if (text) {
        auto narrow = static_cast<LPSTR>(GlobalLock(text));
        WideCharToMultiByte(CP_ACP, 0, wide, length, narrow, bytes, nullptr, nullptr);
        narrow[bytes] = 0;
        GlobalUnlock(text);
        clipboard.formats[CF_TEXT] = text;
        clipboard.textMade = true;
    }
    GlobalUnlock(it->second);
    return text;
}

}  // namespace

BOOL WINAPI OpenClipboard(HWND hwnd) {
    if (hwnd && !w32::GetWindowRecord(hwnd)) return FALSE;
    Clipboard& clipboard = TheClipboard();
    std::lock_guard lock(clipboard.lock);
    if (clipboard.openThread && clipboard.openThread != w32::CurrentThreadId()) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    clipboard.openThread = w32::CurrentThreadId();
    clipboard.openWindow = hwnd;
    return TRUE;
}

BOOL WINAPI CloseClipboard(void) {
    Clipboard& clipboard = TheClipboard();
    std::lock_guard lock(clipboard.lock);
    if (!OpenedHereLocked(clipboard)) return FALSE;
    clipboard.openThread = 0;
    clipboard.openWindow = nullptr;
    return TRUE;
}

BOOL WINAPI EmptyClipboard(void) {
    Clipboard& clipboard = TheClipboard();
    std::lock_guard lock(clipboard.lock);
    if (!OpenedHereLocked(clipboard)) return FALSE;
    FreeFormatsLocked(clipboard);
    clipboard.owner = clipboard.openWindow;
    return TRUE;
}

HANDLE WINAPI SetClipboardData(UINT format, HANDLE data) {
    Clipboard& clipboard = TheClipboard();
    std::lock_guard lock(clipboard.lock);
    if (!OpenedHereLocked(clipboard)) return nullptr;
    if (!data) {
        SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
        return nullptr;
    }
    // A Unicode text set anew drops the ANSI text made from the former one.
    if (format == CF_UNICODETEXT && clipboard.textMade) {
        GlobalFree(clipboard.formats[CF_TEXT]);
        clipboard.formats.erase(CF_TEXT);
        clipboard.textMade = false;
    }
    if (format == CF_TEXT) clipboard.textMade = false;
    auto& slot = clipboard.formats[format];
    if (slot && slot != data) GlobalFree(slot);
    slot = data;
    return data;
}

HANDLE WINAPI GetClipboardData(UINT format) {
    Clipboard& clipboard = TheClipboard();
    std::lock_guard lock(clipboard.lock);
    if (!OpenedHereLocked(clipboard)) return nullptr;
    auto it = clipboard.formats.find(format);
    if (it != clipboard.formats.end()) return it->second;
    if (format == CF_TEXT) return SynthesizeTextLocked(clipboard);
    return nullptr;
}

BOOL WINAPI IsClipboardFormatAvailable(UINT format) {
    Clipboard& clipboard = TheClipboard();
    std::lock_guard lock(clipboard.lock);
    if (clipboard.formats.count(format)) return TRUE;
    return format == CF_TEXT && clipboard.formats.count(CF_UNICODETEXT);
}

int WINAPI CountClipboardFormats(void) {
    Clipboard& clipboard = TheClipboard();
    std::lock_guard lock(clipboard.lock);
    return int(clipboard.formats.size());
}

HWND WINAPI GetClipboardOwner(void) {
    Clipboard& clipboard = TheClipboard();
    std::lock_guard lock(clipboard.lock);
    if (clipboard.owner && !IsWindow(clipboard.owner)) clipboard.owner = nullptr;
    return clipboard.owner;
}

HWND WINAPI GetOpenClipboardWindow(void) {
    Clipboard& clipboard = TheClipboard();
    std::lock_guard lock(clipboard.lock);
    return clipboard.openThread ? clipboard.openWindow : nullptr;
}
