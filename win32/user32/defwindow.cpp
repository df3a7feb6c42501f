// DefWindowProcW: what a window does with a message its procedure leaves.
//
//  WM_NCCREATE        keeps the title from CREATESTRUCTW; TRUE
//  WM_NCCALCSIZE      the client area is the window less its frame, caption
//                     and edges (as AdjustWindowRectEx adds them)
//  WM_SETTEXT         keeps the text, draws the caption again; TRUE
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
//  WM_NCACTIVATE      draws the frame active (wParam TRUE) or inactive; TRUE
//  WM_NCPAINT         draws the frame and caption (nonclient.cpp)
//  WM_PRINT           draws the frame (PRF_NONCLIENT), sends WM_ERASEBKGND
//                     (PRF_ERASEBKGND) and WM_PRINTCLIENT (PRF_CLIENT) with
//                     the DC's origin at the client area, and WM_PRINT to
//                     the visible children (PRF_CHILDREN), bottom first;
//                     nothing for a hidden window with PRF_CHECKVISIBLE
//  WM_PRINTCLIENT     copies what the window painted on its surface
//  WM_NCHITTEST       the part of the window under the point (nonclient.cpp)
//  WM_SETICON         keeps the big (ICON_BIG) or small icon; the one before
//  WM_GETICON         the big or small icon kept; ICON_SMALL2 the small one,
//                     else the big one
//  WM_QUERYDRAGICON   the class icon
//  WM_PAINT           BeginPaint and EndPaint: the window is validated
//  WM_ERASEBKGND      fills the client area with the class background brush
//                     (a brush, or a system colour index plus one); nonzero
//                     when it erased
//  everything else    0
#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "user32/capture.h"
#include "user32/nonclient.h"
#include "user32/paint.h"
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

// WM_SETICON and WM_GETICON: the window's icon of a kind, set when `set`.
HICON WindowIcon(HWND hwnd, bool set, WPARAM kind, HICON icon) {
    std::lock_guard lock(w32::ManagerLock());
    w32::Window* window = w32::FindWindowLocked(hwnd);
    if (!window || kind > ICON_SMALL2 || (set && kind == ICON_SMALL2)) return nullptr;
    HICON& slot = kind == ICON_BIG ? window->iconBig : window->iconSmall;
    HICON previous = slot;
    if (set) {
        slot = icon;
        return previous;
    }
    if (kind == ICON_SMALL2 && !previous) return window->iconBig;
    return previous;
}

// WM_PRINT's default: the DC's origin is the window's corner.
void PrintInto(HWND hwnd, HDC hdc, UINT flags) {
    if ((flags & PRF_CHECKVISIBLE) && !IsWindowVisible(hwnd)) return;
    RECT window{}, client{};
    POINT origin{0, 0};
    GetWindowRect(hwnd, &window);
    GetClientRect(hwnd, &client);
    ClientToScreen(hwnd, &origin);
    if (flags & PRF_NONCLIENT) w32::DrawNonClient(hwnd, hdc, w32::IsActiveForFrame(hwnd));
    const int saved = SaveDC(hdc);
    OffsetViewportOrgEx(hdc, origin.x - window.left, origin.y - window.top, nullptr);
    IntersectClipRect(hdc, 0, 0, client.right, client.bottom);
    if (flags & PRF_ERASEBKGND) SendMessageW(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(hdc), 0);
    if (flags & PRF_CLIENT) SendMessageW(hwnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(hdc), flags);
    if (flags & PRF_CHILDREN) {
        std::vector<std::pair<HWND, RECT>> children;
        {
            std::lock_guard lock(w32::ManagerLock());
            w32::Window* w = w32::FindWindowLocked(hwnd);
            for (w32::Window* child = w ? w->lastChild : nullptr; child; child = child->prev) {
                if (child->style & WS_VISIBLE) children.emplace_back(child->handle, child->rect);
            }
        }
        for (const auto& [child, rect] : children) {
            const int inner = SaveDC(hdc);
            IntersectClipRect(hdc, rect.left, rect.top, rect.right, rect.bottom);
            OffsetViewportOrgEx(hdc, rect.left, rect.top, nullptr);
            SendMessageW(child, WM_PRINT, reinterpret_cast<WPARAM>(hdc), flags & ~UINT(PRF_CHECKVISIBLE));
            RestoreDC(hdc, inner);
        }
    }
    RestoreDC(hdc, saved);
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
            if ((GetWindowLongW(hwnd, GWL_STYLE) & WS_CAPTION) == WS_CAPTION)
                w32::RedrawNonClient(hwnd, w32::IsActiveForFrame(hwnd));
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
            w32::RedrawNonClient(hwnd, wParam != FALSE);
            return TRUE;
        case WM_NCHITTEST:
            return w32::HitTest(hwnd, POINT{SHORT(LOWORD(lParam)), SHORT(HIWORD(lParam))});
        case WM_NCPAINT:
            w32::RedrawNonClient(hwnd, w32::IsActiveForFrame(hwnd));
            return 0;
        case WM_PRINT:
            PrintInto(hwnd, reinterpret_cast<HDC>(wParam), UINT(lParam));
            return 0;
        case WM_PRINTCLIENT:
            w32::UpdateNow(hwnd, false);
            w32::CopyShownPixels(hwnd, false, reinterpret_cast<HDC>(wParam));
            return 0;
        case WM_SETICON:
        case WM_GETICON:
            return reinterpret_cast<LRESULT>(WindowIcon(hwnd, message == WM_SETICON, wParam,
                                                        reinterpret_cast<HICON>(lParam)));
        case WM_QUERYDRAGICON:
            return LRESULT(GetClassLongPtrW(hwnd, GCLP_HICON));
        case WM_QUERYENDSESSION:
            return TRUE;
        case WM_PAINT: {
            PAINTSTRUCT paint;
            if (BeginPaint(hwnd, &paint)) EndPaint(hwnd, &paint);
            return 0;
        }
        case WM_ERASEBKGND:
            return w32::EraseWithClassBrush(hwnd, reinterpret_cast<HDC>(wParam)) ? 1 : 0;
        default:
            return 0;
    }
}
