// What a combo box's list ("ComboLBox") tells the combo box it belongs to.
// The list keeps the items; the combo box decides what a person's choice
// means and sends the notifications (combobox.cpp).
#pragma once
#include <windows.h>

namespace w32 {

enum class ComboListEvent {
    Chosen,          // the mouse button came up on an item of the list
    Cancelled,       // the mouse button went down outside the dropped list
    SelectionMoved,  // a click in a simple combo box's list selected an item
    DoubleClicked,   // a double click in a simple combo box's list
};
void NotifyComboOfList(HWND combo, ComboListEvent event);

// Whether the combo box shows its list now (a simple combo box always does).
bool IsComboListShown(HWND combo);

}  // namespace w32
