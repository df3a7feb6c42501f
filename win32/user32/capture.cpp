// Windows drawn into DCs and files: PrintWindow, DefWindowProcW's WM_PRINT
// and WM_PRINTCLIENT (defwindow.cpp), and the layer's SaveWindowPng.
//
// A window's pixels are those of its top-level window's surface, where it
// and its children painted: WM_PRINTCLIENT's default copies them, so that
// a window that only answers WM_PAINT still prints.
#include "user32/capture.h"

#include <algorithm>
#include <vector>

#include "gdi32/pngsave.h"
#include "user32/paint.h"

namespace w32 {

bool CopyShownPixels(HWND hwnd, bool whole, HDC target) {
    HWND top = GetAncestor(hwnd, GA_ROOT);
    if (!top) return false;
    RECT topRect{}, part{};
    if (!GetWindowRect(top, &topRect)) return false;
    if (whole) {
        if (!GetWindowRect(hwnd, &part)) return false;
    } else {
        RECT client{};
        POINT origin{0, 0};
        if (!GetClientRect(hwnd, &client) || !ClientToScreen(hwnd, &origin)) return false;
        part = RECT{origin.x, origin.y, origin.x + client.right, origin.y + client.bottom};
    }
    // The part in the surface's pixels, cut to the surface.
    OffsetRect(&part, -topRect.left, -topRect.top);
    const RECT surface{0, 0, topRect.right - topRect.left, topRect.bottom - topRect.top};
    RECT shown{};
    if (!IntersectRect(&shown, &part, &surface)) return true;
    HDC source = GetDCEx(top, nullptr, DCX_WINDOW | DCX_CACHE);
    if (!source) return false;
    const BOOL copied = BitBlt(target, shown.left - part.left, shown.top - part.top, shown.right - shown.left,
                               shown.bottom - shown.top, source, shown.left, shown.top, SRCCOPY);
    ReleaseDC(top, source);
    return copied != FALSE;
}

bool SaveWindowPng(HWND hwnd, const std::u16string& path) {
    if (!IsWindow(hwnd)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return false;
    }
    UpdateNow(hwnd, true);
    RECT r{};
    GetWindowRect(hwnd, &r);
    const int width = std::max(1, int(r.right - r.left)), height = std::max(1, int(r.bottom - r.top));
    DWORD* bits = nullptr;
    HBITMAP bitmap = MakeDib(width, height, &bits);
    if (!bitmap) return false;
    HDC memory = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(memory, bitmap);
    bool saved = CopyShownPixels(hwnd, true, memory);
    SelectObject(memory, old);
    DeleteDC(memory);
    if (saved) {
        const int size = WideCharToMultiByte(CP_UTF8, 0, path.c_str(), -1, nullptr, 0, nullptr, nullptr);
        std::vector<char> narrow(size_t(std::max(size, 1)), '\0');
        WideCharToMultiByte(CP_UTF8, 0, path.c_str(), -1, narrow.data(), size, nullptr, nullptr);
        saved = gdi::SavePng(bitmap, narrow.data());
    }
    DeleteObject(bitmap);
    return saved;
}

}  // namespace w32

using namespace w32;

BOOL WINAPI PrintWindow(HWND hwnd, HDC hdc, UINT flags) {
    if (!IsWindow(hwnd)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    if (GetObjectType(hdc) != OBJ_DC && GetObjectType(hdc) != OBJ_MEMDC) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    UINT print = PRF_CLIENT | PRF_ERASEBKGND | PRF_CHILDREN;
    POINT old{};
    if (flags & PW_CLIENTONLY) {
        // WM_PRINT's DC has its origin at the window's corner.
        RECT window{};
        POINT client{0, 0};
        GetWindowRect(hwnd, &window);
        ClientToScreen(hwnd, &client);
        OffsetViewportOrgEx(hdc, window.left - client.x, window.top - client.y, &old);
    } else {
        print |= PRF_NONCLIENT;
    }
    SendMessageW(hwnd, WM_PRINT, reinterpret_cast<WPARAM>(hdc), print);
    if (flags & PW_CLIENTONLY) SetViewportOrgEx(hdc, old.x, old.y, nullptr);
    return TRUE;
}
