// Path names: the full form of a relative path, and the long and short forms
// of a name (the same here: the drive keeps no 8.3 names).
#include <windows.h>

#include <string>

#include "kernel32/filepath.h"
#include "machine/machine.h"
#include "machine/paths.h"

using namespace w32::files;

namespace {

bool IsSeparator(char16_t c) { return c == u'\\' || c == u'/'; }

// The absolute form of a path, as GetFullPathNameW gives it: no check that it
// exists, the caller's spelling kept, a trailing separator kept.
std::u16string FullPath(std::u16string_view name) {
    if (w32::ClassifyPath(name) != w32::PathKind::File) {
        std::u16string text(name);
        for (auto& c : text)
            if (c == u'/') c = u'\\';
        return text;
    }
    std::u16string full = w32::NormalizeWindowsPath(name, w32::Machine::Current().WorkingDirectory());
    if (IsSeparator(name.back()) && full.back() != u'\\') full += u'\\';
    return full;
}

// GetLongPathNameW and GetShortPathNameW: an existing path, given back as it is.
DWORD SamePathName(LPCWSTR from, LPWSTR to, DWORD size) {
    if (!from) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    ApiPath path = ResolveApiPath(from);
    DWORD error = path.error ? path.error : path.exists ? DWORD(ERROR_SUCCESS) : DWORD(ERROR_FILE_NOT_FOUND);
    if (error) {
        SetLastError(error);
        return 0;
    }
    std::u16string text(from);  // the buffers may be the same
    return CopyOut(text, to, size);
}

}  // namespace

DWORD WINAPI GetFullPathNameW(LPCWSTR lpFileName, DWORD nBufferLength, LPWSTR lpBuffer, LPWSTR* lpFilePart) {
    if (lpFilePart) *lpFilePart = nullptr;
    if (!lpFileName) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (!*lpFileName) {
        SetLastError(ERROR_INVALID_NAME);
        return 0;
    }
    std::u16string full = FullPath(lpFileName);
    DWORD result = CopyOut(full, lpBuffer, nBufferLength);
    if (result == full.size() && lpFilePart && full.back() != u'\\') {
        size_t slash = full.rfind(u'\\');
        *lpFilePart = lpBuffer + (slash == std::u16string::npos ? 0 : slash + 1);
    }
    return result;
}

DWORD WINAPI GetLongPathNameW(LPCWSTR lpszShortPath, LPWSTR lpszLongPath, DWORD cchBuffer) {
    return SamePathName(lpszShortPath, lpszLongPath, cchBuffer);
}

DWORD WINAPI GetShortPathNameW(LPCWSTR lpszLongPath, LPWSTR lpszShortPath, DWORD cchBuffer) {
    return SamePathName(lpszLongPath, lpszShortPath, cchBuffer);
}
