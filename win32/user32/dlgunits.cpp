// Dialog base units: GetDialogBaseUnits (the system font's) and
// MapDialogRect (the dialog's font's). A horizontal dialog unit is a quarter
// of the average character width, a vertical one an eighth of the height.
#include "user32/dialog.h"

namespace w32 {

SIZE FontBaseUnits(HFONT font) {
    static const char16_t kAlphabet[] = u"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    SIZE units{8, 16};  // the system font's at 96 dpi, should measuring fail
    HDC dc = CreateCompatibleDC(nullptr);
    if (!dc) return units;
    HGDIOBJ old = SelectObject(dc, font ? HGDIOBJ(font) : GetStockObject(SYSTEM_FONT));
    TEXTMETRICW metrics{};
    SIZE extent{};
    if (GetTextMetricsW(dc, &metrics) && GetTextExtentPoint32W(dc, kAlphabet, 52, &extent)) {
        // The width of the 52 letters over 26, halved with rounding.
        units.cx = (extent.cx / 26 + 1) / 2;
        units.cy = metrics.tmHeight;
    }
    SelectObject(dc, old);
    DeleteDC(dc);
    return units;
}

}  // namespace w32

LONG WINAPI GetDialogBaseUnits(void) {
    static const SIZE units = w32::FontBaseUnits(nullptr);
    return MAKELONG(units.cx, units.cy);
}

BOOL WINAPI MapDialogRect(HWND dialog, LPRECT rect) {
    auto info = w32::FindDialogInfo(dialog);
    if (!info) {
        if (IsWindow(dialog)) SetLastError(ERROR_WINDOW_NOT_DIALOG);
        else SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    if (!rect) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    rect->left = MulDiv(rect->left, info->baseX, 4);
    rect->right = MulDiv(rect->right, info->baseX, 4);
    rect->top = MulDiv(rect->top, info->baseY, 8);
    rect->bottom = MulDiv(rect->bottom, info->baseY, 8);
    return TRUE;
}
