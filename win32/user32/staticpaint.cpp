// Drawing of the "Static" class. An owner-drawn static's parent draws it
// (WM_DRAWITEM with a DRAWITEMSTRUCT of ODT_STATIC).
#include "user32/control.h"
#include "user32/static.h"

namespace w32 {

namespace {

void DrawOwnerDrawn(HWND control, HDC dc) {
    DRAWITEMSTRUCT item{};
    item.CtlType = ODT_STATIC;
    item.CtlID = UINT(GetDlgCtrlID(control));
    item.itemAction = ODA_DRAWENTIRE;
    item.itemState = IsWindowEnabled(control) ? 0 : ODS_DISABLED;
    item.hwndItem = control;
    item.hDC = dc;
    GetClientRect(control, &item.rcItem);
    SendMessageW(GetParent(control), WM_DRAWITEM, item.CtlID, reinterpret_cast<LPARAM>(&item));
}

}  // namespace

void RedrawStatic(HWND) {}

void PaintStatic(HWND control, HDC dc) {
    if ((ControlStyle(control) & SS_TYPEMASK) == SS_OWNERDRAW) DrawOwnerDrawn(control, dc);
}

}  // namespace w32
