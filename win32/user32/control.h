// Routines the system's controls (button.cpp, static.cpp, scrollbar.cpp)
// share: the record each keeps in its window's extra bytes, notifying the
// parent, and the font a control draws with.
#pragma once
#include <windows.h>

#include <string>

namespace w32 {

// Each control keeps a pointer to its own record in the first extra bytes of
// its window (the class reserves ControlExtraBytes).
constexpr int kControlExtraBytes = sizeof(LONG_PTR);

// The record of a control of the calling thread, or null when the window is
// gone (a control destroyed by its parent in a notification has no record).
template <class Record>
Record* ControlRecord(HWND hwnd) {
    return reinterpret_cast<Record*>(GetWindowLongPtrW(hwnd, 0));
}

// Made in WM_NCCREATE, freed in WM_NCDESTROY.
template <class Record>
Record* MakeControlRecord(HWND hwnd) {
    auto record = new Record();
    SetWindowLongPtrW(hwnd, 0, reinterpret_cast<LONG_PTR>(record));
    return record;
}

template <class Record>
void FreeControlRecord(HWND hwnd) {
    delete ControlRecord<Record>(hwnd);
    SetWindowLongPtrW(hwnd, 0, 0);
}

// Sends WM_COMMAND (MAKEWPARAM(id, code), the control) to the control's
// parent, as every control notifies.
void NotifyParent(HWND control, WORD code);

// The control's style bits (GWL_STYLE).
DWORD ControlStyle(HWND control);

// The control's window text (what WM_GETTEXT answers).
std::u16string ControlText(HWND control);

}  // namespace w32
