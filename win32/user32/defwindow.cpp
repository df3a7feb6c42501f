// DefWindowProcW: what a window does with a message its procedure leaves.
//
//  WM_NCCREATE        keeps the title from CREATESTRUCTW; TRUE
//  WM_NCCALCSIZE      the client area is the window less its frame, caption
//                     and edges (as AdjustWindowRectEx adds them)
//  WM_SETTEXT         keeps the text; TRUE
//  WM_GETTEXT         copies as much as fits (wParam characters with the
//                     terminator); the number of characters copied
//  WM_GETTEXTLENGTH   the text's length
//  WM_CLOSE           DestroyWindow
//  WM_SYSCOMMAND      SC_CLOSE sends WM_CLOSE unless the window menu has Close
//                     greyed; SC_MINIMIZE, SC_MAXIMIZE and SC_RESTORE show
//                     the window so; SC_MOVE and SC_SIZE (from the keyboard or
//                     a drag of the caption, HTCAPTION in the low bits) answer
//                     at once, as a move loop nobody drags ends; 0
//  WM_WINDOWPOSCHANGED  WM_MOVE and WM_SIZE when the client area moved or
//                     changed size
//  WM_ACTIVATE        activation gives the focus to the window (unless it is
//                     minimized)
//  WM_NCACTIVATE      TRUE
//  everything else    0
#include <algorithm>
#include <string>

#include "user32/sysmenu.h"
#include "user32/window.h"
#include "user32/wndpos.h"

namespace {

void KeepText(HWND hwnd, LPCWSTR text) {
    std::lock_guard lock(w32::ManagerLock());
    w32::Window* window = w32::FindWindowLocked(hwnd);
    if (!window) return;
    if (!text)
        window->text.clear();
    else
        window->text = text;
}

std::u16string KeptText(HWND hwnd) {
    std::lock_guard lock(w32::ManagerLock());
    w32::Window* window = w32::FindWindowLocked(hwnd);
    return window ? window->text : std::u16string();
}

void ClientFromWindow(HWND hwnd, RECT& rect) {
    DWORD style = 0, exStyle = 0;
    {
        std::lock_guard lock(w32::ManagerLock());
        w32::Window* window = w32::FindWindowLocked(hwnd);
        if (!window) return;
        style = window->style;
        exStyle = window->exStyle;
    }
    RECT insets = w32::FrameInsets(style, exStyle, false);
    rect.left += insets.left;
    rect.top += insets.top;
    rect.right -= insets.right;
    rect.bottom -= insets.bottom;
    if (rect.right < rect.left) rect.right = rect.left;
    if (rect.bottom < rect.top) rect.bottom = rect.top;
}

}  // namespace

LRESULT WINAPI DefWindowProcW(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_NCCREATE: {
            auto cs = reinterpret_cast<const CREATESTRUCTW*>(lParam);
            // A title given as a resource ordinal (0xFFFF, id) is no text.
            if (cs && cs->lpszName && !IS_INTRESOURCE(cs->lpszName) && cs->lpszName[0] != 0xFFFF) {
                KeepText(hwnd, cs->lpszName);
            }
            return TRUE;
        }
        case WM_NCCALCSIZE:
            if (lParam) ClientFromWindow(hwnd, *reinterpret_cast<RECT*>(lParam));  // rgrc[0] when wParam is TRUE
            return 0;
        case WM_SETTEXT:
            KeepText(hwnd, reinterpret_cast<LPCWSTR>(lParam));
            return TRUE;
        case WM_GETTEXT: {
            auto buffer = reinterpret_cast<LPWSTR>(lParam);
            if (!buffer || wParam == 0) return 0;
            std::u16string text = KeptText(hwnd);
            lstrcpynW(buffer, text.c_str(), int(std::min<WPARAM>(wParam, 0x7FFFFFFF)));
            return lstrlenW(buffer);
        }
        case WM_GETTEXTLENGTH:
            return LRESULT(KeptText(hwnd).size());
        case WM_CLOSE:
            DestroyWindow(hwnd);
            return 0;
        case WM_SYSCOMMAND:
            switch (wParam & 0xFFF0) {
                case SC_CLOSE:
                    if (!w32::IsSystemCommandDisabled(hwnd, SC_CLOSE)) SendMessageW(hwnd, WM_CLOSE, 0, 0);
                    break;
                case SC_MINIMIZE:
                    ShowWindow(hwnd, SW_MINIMIZE);
                    break;
                case SC_MAXIMIZE:
                    ShowWindow(hwnd, SW_MAXIMIZE);
                    break;
                case SC_RESTORE:
                    ShowWindow(hwnd, SW_RESTORE);
                    break;
                default:
                    break;
            }
            return 0;
        case WM_WINDOWPOSCHANGED: {
            auto pos = reinterpret_cast<const WINDOWPOS*>(lParam);
            if (!pos) return 0;
            RECT client;
            {
                std::lock_guard lock(w32::ManagerLock());
                w32::Window* window = w32::FindWindowLocked(hwnd);
                if (!window) return 0;
                client = window->client;
            }
            if (!(pos->flags & SWP_NOCLIENTMOVE)) SendMessageW(hwnd, WM_MOVE, 0, MAKELONG(client.left, client.top));
            if (!(pos->flags & SWP_NOCLIENTSIZE)) {
                WPARAM kind = IsIconic(hwnd) ? SIZE_MINIMIZED : IsZoomed(hwnd) ? SIZE_MAXIMIZED : SIZE_RESTORED;
                SendMessageW(hwnd, WM_SIZE, kind, MAKELONG(client.right - client.left, client.bottom - client.top));
            }
            return 0;
        }
        case WM_ACTIVATE:
            if (LOWORD(wParam) != WA_INACTIVE && !IsIconic(hwnd)) SetFocus(hwnd);
            return 0;
        case WM_NCACTIVATE:
        case WM_QUERYENDSESSION:
            return TRUE;
        default:
            return 0;
    }
}
