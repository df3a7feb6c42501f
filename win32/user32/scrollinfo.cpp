// SetScrollInfo, GetScrollInfo, SetScrollPos, GetScrollPos, SetScrollRange
// and GetScrollRange. On SB_CTL they send the SBM_* messages to the
// scroll-bar control the handle names (scrollbar.cpp keeps its values). A
// window's own bars (SB_HORZ, SB_VERT) are not kept by this window manager:
// a window without WS_HSCROLL/WS_VSCROLL fails with ERROR_NO_SCROLLBARS as on
// Windows, one with them with ERROR_CALL_NOT_IMPLEMENTED.
#include "user32/window.h"

namespace {

// Whether the call can go to the control; sets the last error when not.
bool ReachesControl(HWND hwnd, int bar) {
    auto window = w32::GetWindowRecord(hwnd);
    if (!window) return false;
    if (bar == SB_CTL) return true;
    if (bar != SB_HORZ && bar != SB_VERT) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    DWORD style = DWORD(GetWindowLongW(hwnd, GWL_STYLE));
    DWORD wanted = bar == SB_HORZ ? WS_HSCROLL : WS_VSCROLL;
    SetLastError((style & wanted) ? ERROR_CALL_NOT_IMPLEMENTED : ERROR_NO_SCROLLBARS);
    return false;
}

bool ValidInfo(const SCROLLINFO* info) {
    if (!info) return false;
    // The record without nTrackPos is the older form of the same call.
    if (info->cbSize != sizeof(SCROLLINFO) && info->cbSize != sizeof(SCROLLINFO) - sizeof(int)) return false;
    return (info->fMask & ~UINT(SIF_ALL | SIF_DISABLENOSCROLL)) == 0;
}

}  // namespace

int WINAPI SetScrollInfo(HWND hwnd, int nBar, LPCSCROLLINFO lpsi, BOOL redraw) {
    if (!ReachesControl(hwnd, nBar)) return 0;
    if (!ValidInfo(lpsi)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    return int(SendMessageW(hwnd, SBM_SETSCROLLINFO, WPARAM(redraw), reinterpret_cast<LPARAM>(lpsi)));
}

BOOL WINAPI GetScrollInfo(HWND hwnd, int nBar, LPSCROLLINFO lpsi) {
    if (!ReachesControl(hwnd, nBar)) return FALSE;
    if (!ValidInfo(lpsi)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    return BOOL(SendMessageW(hwnd, SBM_GETSCROLLINFO, 0, reinterpret_cast<LPARAM>(lpsi)));
}

int WINAPI SetScrollPos(HWND hWnd, int nBar, int nPos, BOOL bRedraw) {
    if (!ReachesControl(hWnd, nBar)) return 0;
    return int(SendMessageW(hWnd, SBM_SETPOS, WPARAM(nPos), bRedraw));
}

int WINAPI GetScrollPos(HWND hWnd, int nBar) {
    if (!ReachesControl(hWnd, nBar)) return 0;
    return int(SendMessageW(hWnd, SBM_GETPOS, 0, 0));
}

BOOL WINAPI SetScrollRange(HWND hWnd, int nBar, int nMinPos, int nMaxPos, BOOL bRedraw) {
    if (!ReachesControl(hWnd, nBar)) return FALSE;
    if ((long long)nMaxPos - nMinPos > 0x7FFFFFFF) {
        SetLastError(ERROR_INVALID_SCROLLBAR_RANGE);
        return FALSE;
    }
    SendMessageW(hWnd, bRedraw ? SBM_SETRANGEREDRAW : SBM_SETRANGE, WPARAM(nMinPos), LPARAM(nMaxPos));
    return TRUE;
}

BOOL WINAPI GetScrollRange(HWND hWnd, int nBar, LPINT lpMinPos, LPINT lpMaxPos) {
    if (!lpMinPos || !lpMaxPos) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (!ReachesControl(hWnd, nBar)) return FALSE;
    SendMessageW(hWnd, SBM_GETRANGE, reinterpret_cast<WPARAM>(lpMinPos), reinterpret_cast<LPARAM>(lpMaxPos));
    return TRUE;
}
