// Overlay form files: the path checks that recording a form relies on.
#include <windows.h>
#include <strsafe.h>

#include "pcl6/gdi/forms.h"

namespace {

bool IsSeparator(WCHAR c) { return c == u'\\' || c == u'/'; }

bool IsFolder(LPCWSTR path) {
    const DWORD attributes = GetFileAttributesW(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// CreateDirectoryW for one level; only a missing parent is a failure (an
// existing folder, or a drive, is fine).
bool MakeLevel(LPCWSTR folder) {
    if (!folder[0] || CreateDirectoryW(folder, nullptr)) return true;
    return GetLastError() != ERROR_PATH_NOT_FOUND;
}

BOOL MakeFolders(LPCWSTR path) {
    WCHAR folder[MAX_PATH];
    if (FAILED(StringCchCopyW(folder, MAX_PATH, path))) return FALSE;
    int cut = -1;
    for (int i = 0; folder[i]; ++i)
        if (IsSeparator(folder[i])) cut = i;
    if (cut < 0) return TRUE;  // a bare file name: no folder to make
    folder[cut] = 0;
    if (!folder[0] || IsFolder(folder)) return TRUE;
    // Each level from the left, the separators put back one at a time.
    for (int i = 0; folder[i]; ++i) {
        if (!IsSeparator(folder[i]) || i == 0) continue;
        const WCHAR separator = folder[i];
        folder[i] = 0;
        const bool made = MakeLevel(folder);
        folder[i] = separator;
        if (!made) return FALSE;
    }
    return MakeLevel(folder) ? TRUE : FALSE;
}

}  // namespace

BOOL Form_CheckPath(LPCWSTR path, int mode) {
    if (!path || !path[0]) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    switch (mode) {
        case FORM_PATH_EXISTS: {
            WCHAR file[MAX_PATH];
            if (FAILED(StringCchPrintfW(file, MAX_PATH, u"%s%s", path, FORM_FILE_EXTENSION))) return FALSE;
            WIN32_FIND_DATAW found;
            HANDLE search = FindFirstFileW(file, &found);
            if (search == INVALID_HANDLE_VALUE) return FALSE;
            FindClose(search);
            return TRUE;
        }
        case FORM_PATH_MAKE_FOLDERS: return MakeFolders(path);
        default: SetLastError(ERROR_INVALID_PARAMETER); return FALSE;
    }
}
