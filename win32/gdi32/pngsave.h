// Pictures for people and tests: what a program drew, saved as a PNG file
// in one call.
#pragma once
#include <windows.h>

namespace w32::gdi {

// Saves a bitmap (HBITMAP, a DIB section included) or the bitmap selected
// into a memory DC. False with the last error set: ERROR_INVALID_HANDLE
// for anything else, the file's error when it cannot be written.
bool SavePng(HGDIOBJ bitmapOrMemoryDC, const char* path);

// Saves a DIB a program holds (header, colour table and bits, as for
// StretchDIBits); its colour table is read as DIB_RGB_COLORS.
bool SaveDibPng(const BITMAPINFO* info, const void* bits, const char* path);

}  // namespace w32::gdi
