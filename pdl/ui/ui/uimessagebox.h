// The user interface's message box. Every box of TamsheetUI goes through
// UiMessageBox, which adds right-to-left reading when the user interface
// runs right to left.
//
// The boxes are shown by the window layer's MessageBoxW once windows exist;
// until then UiMessageBox records each box it is asked for and answers the
// reply set with SetUiMessageBoxReply (IDOK when none is set), so that the
// callers' boxes can be checked. Showing real boxes is a change to
// UiMessageBox alone.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

// Shows `text` with `caption` and `style` over `window`; answers the button
// chosen (IDOK, IDYES, IDNO ...).
int UiMessageBox(HWND window, LPCWSTR text, LPCWSTR caption, UINT style);

// A box UiMessageBox was asked for, as it would have shown it.
struct UiMessageBoxRecord {
    HWND window;
    std::u16string text;
    std::u16string caption;
    UINT style;  // with the right-to-left flags when they were added
};

// The boxes asked for since the last call, oldest first; the record is then
// emptied.
std::vector<UiMessageBoxRecord> TakeUiMessageBoxRecords();
// The button the next boxes answer (IDOK until set).
void SetUiMessageBoxReply(int reply);
