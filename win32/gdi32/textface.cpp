// GetTextFaceW: the face name of the DC's font, as the font mapper chose it
// (a program that asked for a substituted name reads that name back).
//
// Without a buffer the call answers the name's length with its terminator,
// in characters. With one, it copies as much of the name as fits in c - 1
// characters, always terminated, and answers the characters copied with
// the terminator. A negative c (with a buffer or without), or c of 0 with a
// buffer, fails with ERROR_INVALID_PARAMETER; a handle that is no DC with
// ERROR_INVALID_HANDLE.
#include <windows.h>

#include <algorithm>

#include "gdi32/fontquery.h"

int WINAPI GetTextFaceW(HDC hdc, int c, LPWSTR lpName) {
    w32::ChosenFace face;
    if (!w32::gdi::QueryDcFace(hdc, c > 0 || (c == 0 && !lpName), face)) return 0;
    const std::u16string& name = face.faceName;
    if (!lpName) return int(name.size() + 1);
    const size_t copied = std::min(name.size(), size_t(c) - 1);
    std::copy(name.begin(), name.begin() + ptrdiff_t(copied), lpName);
    lpName[copied] = 0;
    return int(copied + 1);
}
