// Drawing of the "Button" class. An owner-drawn button's parent draws it
// (WM_DRAWITEM with a DRAWITEMSTRUCT of ODT_BUTTON).
#include "user32/button.h"
#include "user32/control.h"

namespace w32 {

namespace {

void DrawOwnerDrawn(HWND button, HDC dc, UINT action) {
    ButtonRecord* record = ControlRecord<ButtonRecord>(button);
    if (!record) return;
    DRAWITEMSTRUCT item{};
    item.CtlType = ODT_BUTTON;
    item.CtlID = UINT(GetDlgCtrlID(button));
    item.itemAction = action;
    item.itemState = (record->pushed ? ODS_SELECTED : 0) | (record->focused ? ODS_FOCUS : 0) |
                     (IsWindowEnabled(button) ? 0 : ODS_DISABLED);
    item.hwndItem = button;
    item.hDC = dc;
    GetClientRect(button, &item.rcItem);
    SendMessageW(GetParent(button), WM_DRAWITEM, item.CtlID, reinterpret_cast<LPARAM>(&item));
}

}  // namespace

void RedrawButton(HWND, UINT) {}

void PaintButton(HWND button, HDC dc) {
    if ((ControlStyle(button) & BS_TYPEMASK) == BS_OWNERDRAW) DrawOwnerDrawn(button, dc, ODA_DRAWENTIRE);
}

}  // namespace w32
