// A message of the user interface shown by its string id: the text and the
// caption come from the language DLL, the box from UiMessageBox.
#pragma once
#include <windows.h>

// Captions of the language DLL.
#define UI_MESSAGE_WARNING_CAPTION 2000
#define UI_MESSAGE_ERROR_CAPTION 2070

class UiMessage {
public:
    UiMessage(HWND window, UINT textId) : window_(window), textId_(textId) {}

    // Caption 2000, exclamation icon; texts of the process-wide language DLL.
    int ShowWarning() const;
    // As ShowWarning, with the texts of the language DLL of the sheet whose
    // context the dialog keeps in its window word 8 (the process-wide DLL
    // when the window keeps none).
    int ShowWarningFromDialog() const;
    // Caption 2070, stop icon.
    int ShowError() const;
    // Caption 2000, Yes and No with the exclamation icon: IDYES or IDNO.
    int AskYesNo() const;

private:
    int Show(HMODULE languageDll, UINT captionId, UINT style) const;

    HWND window_;
    UINT textId_;
};
