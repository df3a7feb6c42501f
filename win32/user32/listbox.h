// What the list box's files share: the state of one list box (kept behind
// its window's first extra word) and the calls its combo box and its
// painting make on it. listbox.cpp answers the messages, listboxpaint.cpp
// draws the items.
#pragma once
#include <windows.h>

#include <vector>

#include "user32/listitems.h"

namespace w32 {

struct ListBoxState {
    HWND self = nullptr;
    DWORD style = 0;
    // The combo box the list belongs to ("ComboLBox"), or null.
    HWND combo = nullptr;
    std::vector<ListItem> items;
    int selection = -1;  // single-selection lists
    int caret = 0;       // the item with the focus rectangle
    int anchor = -1;     // where an extended selection starts
    int top = 0;         // the first item shown
    int itemHeight = 0;  // all items, unless the list is variable owner-drawn
    int horizontalExtent = 0;
    std::vector<int> tabStops;  // in pixels
    HFONT font = nullptr;
    LCID locale = 0;
    bool focused = false;
    bool redraw = true;
    bool tracking = false;  // the mouse button is down in the list
    bool adjustingHeight = false;
};

// The state of a list box (the class "ListBox" or "ComboLBox"), or null.
ListBoxState* ListBoxStateOf(HWND hwnd);

bool IsOwnerDrawn(const ListBoxState& list);
bool HasStrings(const ListBoxState& list);
bool IsMultipleSelection(const ListBoxState& list);
bool IsItemSelected(const ListBoxState& list, int index);
// The height of one item, and the rectangle of an item in the list's client
// coordinates (above the client area for items above the first shown).
int ItemHeightOf(const ListBoxState& list, int index);
RECT ItemRect(const ListBoxState& list, int index);
// The height of one line of text of the font (the system font for null).
int FontLineHeight(HFONT font);

// Who receives the owner-draw messages of the list, with the control type
// and id to put in them and the handle they name: the parent and the list
// itself, or, for a combo box's list, the combo box's parent and the combo.
struct ListOwner {
    HWND receiver = nullptr;
    UINT type = ODT_LISTBOX;
    UINT id = 0;
    HWND control = nullptr;
};
ListOwner OwnerOf(const ListBoxState& list);

// Draws the list's client area into the DC (WM_PAINT, WM_PRINTCLIENT).
void PaintListBox(ListBoxState& list, HDC dc);
// Redraws the list (nothing while WM_SETREDRAW holds it).
void RedrawListBox(const ListBoxState& list);

}  // namespace w32
