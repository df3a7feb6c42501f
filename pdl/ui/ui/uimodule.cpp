// This module's handle, its folder and the driver prefix taken from its file
// name. The prefix names the language and bitmap DLLs, the help file and the
// driver's other files ("Tamsheetui.dll" gives "Tamsheet").
#include <windows.h>
#include <strsafe.h>

#include <atomic>

#include "ui/ui/resdll.h"

namespace {

std::atomic<HMODULE> gUiModule{nullptr};

// This module's full path; FALSE when the module is unknown or the path
// does not fit (a cut path would name another file).
BOOL ReadModulePath(WCHAR (&path)[UI_PATH_CHARS]) {
    path[0] = 0;
    HMODULE module = gUiModule.load();
    if (!module) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return FALSE;
    }
    DWORD length = GetModuleFileNameW(module, path, UI_PATH_CHARS);
    if (length == 0) return FALSE;
    if (length >= UI_PATH_CHARS) {
        path[0] = 0;
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return FALSE;
    }
    return TRUE;
}

void Trace(LPCWSTR format, LPCWSTR first, LPCWSTR second = u"") {
    WCHAR text[2 * UI_PATH_CHARS + 128];
    StringCchPrintfW(text, sizeof(text) / sizeof(text[0]), format, first, second);
    OutputDebugStringW(text);
}

}  // namespace

void SetUiModule(HMODULE module) { gUiModule.store(module); }

BOOL GetUiModuleFolder(LPWSTR buffer) {
    if (!buffer) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    buffer[0] = 0;
    WCHAR path[UI_PATH_CHARS];
    if (!ReadModulePath(path)) return FALSE;
    int separator = -1;
    for (int i = 0; path[i]; ++i)
        if (path[i] == u'\\' || path[i] == u'/') separator = i;
    if (separator < 0) {
        SetLastError(ERROR_BAD_PATHNAME);
        return FALSE;
    }
    path[separator] = 0;
    lstrcpynW(buffer, path, UI_PATH_CHARS);
    return TRUE;
}

BOOL GetDriverBaseName(LPWSTR buffer) {
    if (!buffer) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    buffer[0] = 0;
    WCHAR path[UI_PATH_CHARS];
    if (!ReadModulePath(path)) return FALSE;
    LPCWSTR name = path;
    for (LPCWSTR p = path; *p; ++p)
        if (*p == u'\\' || *p == u'/') name = p + 1;

    // The prefix ends at the first "ui", compared case-sensitively.
    int cut = -1;
    for (int i = 0; name[i] && name[i + 1]; ++i) {
        if (name[i] == u'u' && name[i + 1] == u'i') {
            cut = i;
            break;
        }
    }
    Trace(u"TamsheetUI module: %s\n", path);
    if (cut >= 0) {
        lstrcpynW(buffer, name, cut + 1);
        Trace(u"Driver prefix: %s\n", buffer);
        return TRUE;
    }
    // A module renamed without "ui" still names its files after itself: the
    // file name without its extension is the prefix.
    int length = lstrlenW(name);
    for (int i = length - 1; i > 0; --i) {
        if (name[i] == u'.') {
            length = i;
            break;
        }
    }
    lstrcpynW(buffer, name, length + 1);
    Trace(u"Driver prefix: %s (the module name %s holds no \"ui\": its name without the extension is used)\n", buffer,
          name);
    return TRUE;
}
