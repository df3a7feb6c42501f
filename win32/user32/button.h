// The "Button" class's record and drawing, shared by its procedure
// (button.cpp) and its painting (buttonpaint.cpp).
#pragma once
#include <windows.h>

namespace w32 {

struct ButtonRecord {
    UINT check = BST_UNCHECKED;  // BST_CHECKED or BST_INDETERMINATE
    bool pushed = false;         // BST_PUSHED
    bool focused = false;        // BST_FOCUS
    bool tracking = false;       // pressed by the mouse, holding the capture
    bool spaceDown = false;      // pressed by the space bar
    HFONT font = nullptr;        // WM_SETFONT; null for the system's font
    HANDLE image = nullptr;      // BM_SETIMAGE, not owned
    UINT imageType = IMAGE_BITMAP;
};

// Shows a change of the button: an owner-drawn button's parent draws it at
// once (WM_DRAWITEM with `action`), the others repaint.
void RedrawButton(HWND button, UINT action);

// Draws the whole button into the DC (WM_PAINT and WM_PRINTCLIENT).
void PaintButton(HWND button, HDC dc);

}  // namespace w32
