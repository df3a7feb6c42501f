// Pictures of windows, for tests and tools.
#pragma once
#include <windows.h>

#include <string>

namespace w32 {

// Brings the window and its children up to date (the frames, erases and
// WM_PAINTs they wait for are sent now) and saves what the window shows,
// frame and children included, as a 32-bit PNG file. `path` is a path of
// the host's file system (not of the machine). False with the last error
// set: ERROR_INVALID_WINDOW_HANDLE, or the file's error.
bool SaveWindowPng(HWND window, const std::u16string& path);

// Copies what the window shows on its surface (its client area, or the
// whole window with `whole`) into the DC at the DC's logical (0, 0).
bool CopyShownPixels(HWND window, bool whole, HDC target);

}  // namespace w32
