// The non-client area: the frame and caption DefWindowProcW draws for
// WM_NCPAINT and WM_NCACTIVATE, and for WM_PRINT with PRF_NONCLIENT.
//
// The parts lie as FrameInsets (wndpos.cpp) places the client area, from
// the outside in: the border line (WS_BORDER, WS_DLGFRAME,
// WS_EX_DLGMODALFRAME), the sizing band (WS_THICKFRAME, 5 pixels), the
// window edge (WS_EX_STATICEDGE alone: one sunken line; WS_DLGFRAME,
// WS_THICKFRAME or WS_EX_DLGMODALFRAME: a raised edge of 2 pixels), the
// caption (WS_CAPTION) and the client edge (WS_EX_CLIENTEDGE: a sunken edge
// of 2 pixels). A top-level window with a caption is drawn flat, as
// Windows 10 draws it: one grey line around a white frame, the title in the
// caption font on the white caption (grey while inactive) and a close
// button at its right end. Child windows get the 3-D edges of the classic
// look.
#include "user32/nonclient.h"

#include "user32/paint.h"
#include "user32/wndpos.h"

namespace w32 {

namespace {

constexpr COLORREF kActiveBorder = RGB(112, 112, 112);
constexpr COLORREF kInactiveBorder = RGB(170, 170, 170);
constexpr COLORREF kFlatFrame = RGB(255, 255, 255);
constexpr COLORREF kActiveTitle = RGB(0, 0, 0);
constexpr COLORREF kInactiveTitle = RGB(153, 153, 153);
// The caption's title starts this far from the window's edge.
constexpr int kTitleIndent = 8;

void Fill(HDC hdc, const RECT& r, COLORREF color) {
    if (r.left >= r.right || r.top >= r.bottom) return;
    HBRUSH brush = CreateSolidBrush(color);
    FillRect(hdc, &r, brush);
    DeleteObject(brush);
}

// A band `width` pixels wide inside `r` on every side, filled; `r` moves in.
void Band(HDC hdc, RECT& r, int width, COLORREF color) {
    if (width <= 0) return;
    Fill(hdc, RECT{r.left, r.top, r.right, r.top + width}, color);
    Fill(hdc, RECT{r.left, r.bottom - width, r.right, r.bottom}, color);
    Fill(hdc, RECT{r.left, r.top, r.left + width, r.bottom}, color);
    Fill(hdc, RECT{r.right - width, r.top, r.right, r.bottom}, color);
    r.left += width;
    r.top += width;
    r.right -= width;
    r.bottom -= width;
}

void DrawCloseButton(HDC hdc, const RECT& button, COLORREF color) {
    const int cx = (button.left + button.right) / 2, cy = (button.top + button.bottom) / 2;
    constexpr int kHalf = 5;
    HPEN pen = CreatePen(PS_SOLID, 1, color);
    HGDIOBJ old = SelectObject(hdc, pen);
    MoveToEx(hdc, cx - kHalf, cy - kHalf, nullptr);
    LineTo(hdc, cx + kHalf + 1, cy + kHalf + 1);
    MoveToEx(hdc, cx + kHalf, cy - kHalf, nullptr);
    LineTo(hdc, cx - kHalf - 1, cy + kHalf + 1);
    SelectObject(hdc, old);
    DeleteObject(pen);
}

}  // namespace

HFONT CaptionFont() {
    static HFONT font = CreateFontW(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                    OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY,
                                    VARIABLE_PITCH | FF_SWISS, u"Segoe UI");
    return font;
}

void DrawNonClient(HWND hwnd, HDC hdc, bool active) {
    DWORD style = 0, exStyle = 0;
    RECT window{}, client{};
    bool topLevel = false;
    std::u16string title;
    {
        std::lock_guard lock(ManagerLock());
        Window* w = FindWindowLocked(hwnd);
        if (!w || IsRootLocked(w)) return;
        style = w->style;
        exStyle = w->exStyle;
        topLevel = IsRootLocked(w->parent);
        window = RECT{0, 0, w->rect.right - w->rect.left, w->rect.bottom - w->rect.top};
        client = RECT{w->client.left - w->rect.left, w->client.top - w->rect.top, w->client.right - w->rect.left,
                      w->client.bottom - w->rect.top};
        title = InternalWindowText(w);
    }
    const bool caption = (style & WS_CAPTION) == WS_CAPTION;
    const bool flat = topLevel && caption;
    const int saved = SaveDC(hdc);
    ExcludeClipRect(hdc, client.left, client.top, client.right, client.bottom);
    RECT r = window;
    const bool staticEdge = (exStyle & (WS_EX_STATICEDGE | WS_EX_DLGMODALFRAME)) == WS_EX_STATICEDGE;
    const bool raisedEdge = !staticEdge && ((exStyle & WS_EX_DLGMODALFRAME) || (style & (WS_THICKFRAME | WS_DLGFRAME)));
    const bool borderLine = (style & (WS_BORDER | WS_DLGFRAME)) || (exStyle & WS_EX_DLGMODALFRAME);
    if (flat) {
        Band(hdc, r, 1, active ? kActiveBorder : kInactiveBorder);
        const RECT inner = r;
        Fill(hdc, inner, kFlatFrame);
        RECT insets = FrameInsets(style, exStyle, false);
        const int edges = (exStyle & WS_EX_CLIENTEDGE) ? 2 : 0;
        const int captionTop = r.top, captionBottom = window.top + insets.top - edges;
        const int frame = insets.left - edges;
        RECT bar{window.left + frame, captionTop, window.right - frame, captionBottom};
        const int buttonWidth = GetSystemMetrics(SM_CXSIZE);
        if (style & WS_SYSMENU) {
            RECT button{bar.right - buttonWidth, bar.top, bar.right, bar.bottom};
            DrawCloseButton(hdc, button, active ? kActiveTitle : kInactiveTitle);
            bar.right = button.left;
        }
        RECT text{window.left + kTitleIndent, bar.top, bar.right - 4, bar.bottom};
        HGDIOBJ oldFont = SelectObject(hdc, CaptionFont());
        SetBkMode(hdc, TRANSPARENT);
        SetTextColor(hdc, active ? kActiveTitle : kInactiveTitle);
        DrawTextW(hdc, title.c_str(), int(title.size()), &text,
                  DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_END_ELLIPSIS | DT_NOPREFIX);
        SelectObject(hdc, oldFont);
        r = RECT{window.left + insets.left - edges, window.top + insets.top - edges, window.right - insets.right + edges,
                 window.bottom - insets.bottom + edges};
    } else {
        if (borderLine) Band(hdc, r, 1, GetSysColor(COLOR_WINDOWFRAME));
        if (style & WS_THICKFRAME) Band(hdc, r, 5, GetSysColor(active ? COLOR_ACTIVEBORDER : COLOR_INACTIVEBORDER));
        if (staticEdge) DrawEdge(hdc, &r, BDR_SUNKENOUTER, BF_RECT | BF_ADJUST);
        if (raisedEdge) DrawEdge(hdc, &r, EDGE_RAISED, BF_RECT | BF_ADJUST);
        if (caption) {
            const int height = GetSystemMetrics((exStyle & WS_EX_TOOLWINDOW) ? SM_CYSMCAPTION : SM_CYCAPTION);
            RECT bar{r.left, r.top, r.right, r.top + height};
            Fill(hdc, bar, GetSysColor(active ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION));
            RECT text{bar.left + 4, bar.top, bar.right - 4, bar.bottom};
            HGDIOBJ oldFont = SelectObject(hdc, CaptionFont());
            SetBkMode(hdc, TRANSPARENT);
            SetTextColor(hdc, GetSysColor(active ? COLOR_CAPTIONTEXT : COLOR_INACTIVECAPTIONTEXT));
            DrawTextW(hdc, title.c_str(), int(title.size()), &text,
                      DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_END_ELLIPSIS | DT_NOPREFIX);
            SelectObject(hdc, oldFont);
            r.top = bar.bottom;
        }
    }
    if (exStyle & WS_EX_CLIENTEDGE) DrawEdge(hdc, &r, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
    RestoreDC(hdc, saved);
}

void RedrawNonClient(HWND hwnd, bool active) {
    if (!IsWindowVisible(hwnd)) return;
    HDC hdc = GetDCEx(hwnd, nullptr, DCX_WINDOW | DCX_CACHE);
    if (!hdc) return;
    DrawNonClient(hwnd, hdc, active);
    ReleaseDC(hwnd, hdc);
}

bool IsActiveForFrame(HWND hwnd) {
    HWND active = GetActiveWindow();
    return active && (active == hwnd || GetAncestor(hwnd, GA_ROOT) == active);
}

}  // namespace w32

namespace w32 {

// WM_NCHITTEST's default, for a point in screen coordinates: HTCLIENT in
// the client area; HTCLOSE on a flat caption's close button, HTCAPTION on
// the rest of the caption; on the frame of a sizing window the side or
// corner (HTLEFT .. HTBOTTOMRIGHT, corners reaching the caption's height
// along the sides), HTBORDER on other frames; HTNOWHERE outside.
LRESULT HitTest(HWND hwnd, POINT point) {
    RECT window{}, client{};
    DWORD style = 0, exStyle = 0;
    bool topLevel = false;
    {
        std::lock_guard lock(ManagerLock());
        Window* w = FindWindowLocked(hwnd);
        if (!w || IsRootLocked(w)) return HTNOWHERE;
        const POINT parent = w->parent ? ClientOriginLocked(w->parent) : POINT{0, 0};
        window = RECT{w->rect.left + parent.x, w->rect.top + parent.y, w->rect.right + parent.x,
                      w->rect.bottom + parent.y};
        client = RECT{w->client.left + parent.x, w->client.top + parent.y, w->client.right + parent.x,
                      w->client.bottom + parent.y};
        style = w->style;
        exStyle = w->exStyle;
        topLevel = IsRootLocked(w->parent);
    }
    if (!PtInRect(&window, point)) return HTNOWHERE;
    if (PtInRect(&client, point)) return HTCLIENT;
    const RECT insets = FrameInsets(style, exStyle, false);
    const int edges = (exStyle & WS_EX_CLIENTEDGE) ? 2 : 0;
    if ((style & WS_CAPTION) == WS_CAPTION) {
        const int frame = insets.left - edges;
        const RECT caption{window.left + frame, window.top + frame, window.right - frame, client.top - edges};
        if (PtInRect(&caption, point)) {
            if (topLevel && (style & WS_SYSMENU) && point.x >= caption.right - GetSystemMetrics(SM_CXSIZE))
                return HTCLOSE;
            return HTCAPTION;
        }
    }
    if (!(style & WS_THICKFRAME)) return HTBORDER;
    const int frame = insets.left - edges;
    const int corner = GetSystemMetrics(SM_CYCAPTION);
    const bool left = point.x < window.left + frame, right = point.x >= window.right - frame;
    const bool top = point.y < window.top + frame, bottom = point.y >= window.bottom - frame;
    const bool nearTop = point.y < window.top + corner, nearBottom = point.y >= window.bottom - corner;
    const bool nearLeft = point.x < window.left + corner, nearRight = point.x >= window.right - corner;
    if ((top && nearLeft) || (left && nearTop)) return HTTOPLEFT;
    if ((top && nearRight) || (right && nearTop)) return HTTOPRIGHT;
    if ((bottom && nearLeft) || (left && nearBottom)) return HTBOTTOMLEFT;
    if ((bottom && nearRight) || (right && nearBottom)) return HTBOTTOMRIGHT;
    if (left) return HTLEFT;
    if (right) return HTRIGHT;
    if (top) return HTTOP;
    if (bottom) return HTBOTTOM;
    return HTBORDER;
}

}  // namespace w32
