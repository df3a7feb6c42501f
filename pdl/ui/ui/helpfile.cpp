// The driver's help file and HTML Help, which is bound at run time.
#include <windows.h>
#include <htmlhelp.h>
#include <strsafe.h>

#include <mutex>

#include "ui/ui/language.h"
#include "ui/ui/resdll.h"

namespace {

bool FileExists(LPCWSTR path) {
    DWORD attributes = GetFileAttributesW(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// HTML Help's entry point, found on first use; null for the rest of the
// process when neither the registered module nor "hhctrl.ocx" provides it.
PFN_HtmlHelpW gHtmlHelp = nullptr;
std::once_flag gHtmlHelpBound;

// The module registered as the HTML Help control's in-process server.
bool RegisteredHelpModule(WCHAR (&path)[UI_PATH_CHARS]) {
    path[0] = 0;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, u"CLSID\\" CLSID_HHCtrl_String u"\\InprocServer32", 0, KEY_QUERY_VALUE,
                      &key) != ERROR_SUCCESS)
        return false;
    WCHAR value[UI_PATH_CHARS] = {};
    DWORD type = 0, size = sizeof(value) - sizeof(WCHAR);
    LSTATUS status = RegQueryValueExW(key, nullptr, nullptr, &type, reinterpret_cast<LPBYTE>(value), &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ) || !value[0]) return false;
    if (type == REG_SZ) {
        lstrcpynW(path, value, UI_PATH_CHARS);
        return true;
    }
    DWORD expanded = ExpandEnvironmentStringsW(value, path, UI_PATH_CHARS);
    return expanded > 0 && expanded <= UI_PATH_CHARS;
}

PFN_HtmlHelpW BindFrom(LPCWSTR moduleName) {
    HMODULE module = LoadLibraryW(moduleName);
    if (!module) return nullptr;
    auto entry = reinterpret_cast<PFN_HtmlHelpW>(GetProcAddress(module, MAKEINTRESOURCEA(HTMLHELP_ORDINAL_W)));
    if (!entry) FreeLibrary(module);
    return entry;
}

PFN_HtmlHelpW HtmlHelpEntry() {
    std::call_once(gHtmlHelpBound, [] {
        WCHAR registered[UI_PATH_CHARS];
        if (RegisteredHelpModule(registered)) gHtmlHelp = BindFrom(registered);
        if (!gHtmlHelp) gHtmlHelp = BindFrom(u"hhctrl.ocx");
        if (!gHtmlHelp) OutputDebugStringW(u"HTML Help is not available\n");
    });
    return gHtmlHelp;
}

}  // namespace

void GetHelpFilePath(LPCWSTR driverName, LPWSTR buffer) {
    if (!buffer) return;
    buffer[0] = 0;
    WCHAR folder[UI_PATH_CHARS];
    WCHAR prefix[UI_PATH_CHARS];
    if (!GetUiModuleFolder(folder) || !GetDriverBaseName(prefix)) return;
    WCHAR suffix[UI_SUFFIX_CHARS];
    GetLanguageSuffix(driverName, suffix);
    WCHAR names[kLanguageCandidates][UI_PATH_CHARS];
    int count = LanguageFileCandidates(prefix, suffix, u".chm", names);
    // The first candidate that exists; when none does, the last one all the
    // same, and HTML Help reports the missing file itself.
    for (int i = 0; i < count; ++i) {
        StringCchPrintfW(buffer, UI_PATH_CHARS, u"%s\\%s", folder, names[i]);
        if (FileExists(buffer)) return;
    }
}

void ShowHelpTopic(HWND window, DWORD topic, LPCWSTR driverName) {
    PFN_HtmlHelpW htmlHelp = HtmlHelpEntry();
    if (!htmlHelp) return;
    WCHAR path[UI_PATH_CHARS];
    GetHelpFilePath(driverName, path);
    if (!path[0]) return;
    if (topic == 0)
        htmlHelp(window, path, HH_DISPLAY_TOPIC, 0);
    else
        htmlHelp(window, path, HH_HELP_CONTEXT, topic);
}
