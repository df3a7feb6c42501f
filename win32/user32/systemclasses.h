// The window procedures of the system's own classes (systemclasses.cpp
// registers them): the dialog class "#32770" and the standard controls.
#pragma once
#include <windows.h>

namespace w32 {

LRESULT CALLBACK ButtonWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK StaticWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK ScrollBarWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
// "ListBox", and "ComboLBox", the list of a combo box (listbox.cpp).
LRESULT CALLBACK ListBoxWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
// "ComboBox" (combobox.cpp).
LRESULT CALLBACK ComboBoxWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
// The "Edit" control (edit.cpp).
LRESULT CALLBACK EditWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace w32
