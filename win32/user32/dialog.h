// The dialog manager's record of each dialog, and what its files share.
//
// Files, one idea each: dlgtemplate.cpp (reading templates), dlgunits.cpp
// (base units, MapDialogRect), dialog.cpp (making a dialog from a template),
// defdlgproc.cpp (the dialog class's default processing), modalloop.cpp
// (DialogBoxParamW, EndDialog), dlgnav.cpp (tab and group order),
// dlgmessage.cpp (IsDialogMessageW), dlgfocus.cpp (giving a control the
// focus and moving the default push button), dlgitem.cpp (the item helpers),
// sysmenu.cpp (the window menu).
//
// A dialog's record is made when the dialog manager makes the dialog, or on
// first use for a window of a class whose procedure is DefDlgProcW; it goes
// when the window is destroyed (DefDlgProcW's WM_NCDESTROY, or the next look
// for a window that no longer exists).
#pragma once
#include <windows.h>

#include <memory>

namespace w32 {

struct DialogInfo {
    HFONT font = nullptr;       // the template's font (WM_GETFONT)
    bool ownsFont = false;      // made from the template: deleted with the dialog
    int baseX = 0, baseY = 0;   // base units: average width and height, in pixels
    WORD defaultId = 0;         // DM_SETDEFID's id (valid with hasDefaultId)
    bool hasDefaultId = false;
    HWND savedFocus = nullptr;  // the control that had the focus when the dialog lost it
    bool givingFocus = false;   // SetDialogFocus is under way (its activation restores nothing)
    bool modal = false;
    bool ended = false;         // EndDialog was called
    INT_PTR result = 0;
    HWND disabledOwner = nullptr;  // the owner a modal loop disabled, until it is enabled again
};

// Makes a dialog from the template of `size` readable bytes at `data`
// (CreateDialogIndirectParamW; a modal dialog is made hidden, for its loop
// to show). Null with the last error set, and a line in the debug log when
// the template is at fault.
HWND MakeDialog(HINSTANCE instance, const void* data, size_t size, HWND owner, DLGPROC proc, LPARAM param,
                bool modal);
// Finds a dialog template resource: its data and size, or null with
// FindResourceW's last error.
const void* FindDialogTemplate(HINSTANCE instance, LPCWSTR name, size_t& size);

// The record of a dialog; with `make`, made for a window that has none (its
// base units those of the system font). Null when the handle names no
// window, or the window has no record and `make` is false.
std::shared_ptr<DialogInfo> FindDialogInfo(HWND dialog, bool make = false);
// Drops the record of a destroyed dialog, deleting its font.
void ForgetDialogInfo(HWND dialog);

// The average character width and the height of a font (the system font for
// null), as Windows measures base units: the width of the 52 letters of the
// alphabet over 52, rounded to nearest, and tmHeight.
SIZE FontBaseUnits(HFONT font);

// Gives a control the focus as the dialog manager does: the default push
// button follows the focus among push buttons, and an edit control's text
// is selected.
void SetDialogFocus(HWND dialog, HWND control);
// Moves the default push button's look from `from` to `to` (see dlgfocus.cpp).
void MoveDefaultButton(HWND dialog, HWND from, HWND to);
// The dialog's id of its default push button: DM_GETDEFID's.
WORD DefaultButtonId(HWND dialog, bool& has);

// Whether `window` is `ancestor` or lies below it.
bool IsWithin(HWND ancestor, HWND window);

}  // namespace w32

// Messages to the standard controls the dialog manager sends; the controls'
// own headers define them too.
#ifndef BM_GETCHECK
#define BM_GETCHECK 0x00F0
#endif
#ifndef BM_SETCHECK
#define BM_SETCHECK 0x00F1
#endif
#ifndef BM_SETSTYLE
#define BM_SETSTYLE 0x00F4
#endif
#ifndef BM_CLICK
#define BM_CLICK 0x00F5
#endif
#ifndef EM_SETSEL
#define EM_SETSEL 0x00B1
#endif
#ifndef BN_CLICKED
#define BN_CLICKED 0
#endif
#ifndef VK_LEFT
#define VK_LEFT 0x25
#define VK_UP 0x26
#define VK_RIGHT 0x27
#define VK_DOWN 0x28
#endif
#ifndef VK_EXECUTE
#define VK_EXECUTE 0x2B
#endif
#ifndef VK_CANCEL
#define VK_CANCEL 0x03
#endif
// Messages whose answer is the dialog procedure's own; the list, owner-draw
// and icon code define them too.
#ifndef WM_VKEYTOITEM
#define WM_VKEYTOITEM 0x002E
#endif
#ifndef WM_CHARTOITEM
#define WM_CHARTOITEM 0x002F
#endif
#ifndef WM_QUERYDRAGICON
#define WM_QUERYDRAGICON 0x0037
#endif
#ifndef WM_COMPAREITEM
#define WM_COMPAREITEM 0x0039
#endif
