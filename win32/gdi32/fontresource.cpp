// Font resources: AddFontResourceW, AddFontResourceExW, RemoveFontResourceW
// and RemoveFontResourceExW, on the engine's table of installed fonts
// (win32k/fonttable.h).
//
// Adding answers the number of fonts (faces) the file holds: 2 for a
// collection of two. A file added again gains a reference and answers the
// same number; each addition is taken back by one removal with the same
// flags, and the fonts stay until the last. A missing file fails with
// ERROR_FILE_NOT_FOUND, a file that is no font (empty, cut short, damaged)
// with ERROR_INVALID_DATA. FR_PRIVATE makes a font the process's own, which
// every font added here is, as the process is all that sees them; FR_NOT_ENUM
// keeps it out of enumeration. Other flags, a null name or a non-null
// reserved pointer fail with ERROR_INVALID_PARAMETER. Removing a file not
// added with these flags fails with ERROR_FILE_NOT_FOUND.
#include <windows.h>

#include "win32k/fonttable.h"

namespace {

constexpr DWORD kFontResourceFlags = FR_PRIVATE | FR_NOT_ENUM;

bool ValidRequest(LPCWSTR name, DWORD flags, PVOID reserved) {
    if (!name || !*name || (flags & ~kFontResourceFlags) || reserved) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    return true;
}

}  // namespace

int WINAPI AddFontResourceExW(LPCWSTR name, DWORD fl, PVOID res) {
    if (!ValidRequest(name, fl, res)) return 0;
    DWORD error = ERROR_SUCCESS;
    const int added = w32::AddFontResourceFile(name, fl, &error);
    if (added == 0) SetLastError(error);
    return added;
}

int WINAPI AddFontResourceW(LPCWSTR lpFileName) { return AddFontResourceExW(lpFileName, 0, nullptr); }

BOOL WINAPI RemoveFontResourceExW(LPCWSTR name, DWORD fl, PVOID pdv) {
    if (!ValidRequest(name, fl, pdv)) return FALSE;
    DWORD error = ERROR_SUCCESS;
    if (!w32::RemoveFontResourceFile(name, fl, &error)) {
        SetLastError(error);
        return FALSE;
    }
    return TRUE;
}

BOOL WINAPI RemoveFontResourceW(LPCWSTR lpFileName) { return RemoveFontResourceExW(lpFileName, 0, nullptr); }
