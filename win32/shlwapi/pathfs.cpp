// Path questions answered by the file system.
#include <shlwapi.h>

#include <string>

BOOL WINAPI PathFileExistsW(LPCWSTR pszPath) {
    if (!pszPath) return FALSE;
    return GetFileAttributesW(pszPath) != INVALID_FILE_ATTRIBUTES ? TRUE : FALSE;
}

BOOL WINAPI PathIsDirectoryW(LPCWSTR pszPath) {
    if (!pszPath) return FALSE;
    DWORD attributes = GetFileAttributesW(pszPath);
    if (attributes == INVALID_FILE_ATTRIBUTES) return FALSE;
    return BOOL(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

BOOL WINAPI PathIsDirectoryEmptyW(LPCWSTR pszPath) {
    if (!PathIsDirectoryW(pszPath)) return FALSE;
    std::u16string pattern(pszPath);
    if (pattern.back() != u'\\' && pattern.back() != u'/') pattern += u'\\';
    pattern += u"*";
    WIN32_FIND_DATAW data;
    HANDLE search = FindFirstFileW(pattern.c_str(), &data);
    if (search == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_FILE_NOT_FOUND ? TRUE : FALSE;
    bool empty = true;
    do {
        std::u16string_view name(data.cFileName);
        if (name != u"." && name != u"..") empty = false;
    } while (empty && FindNextFileW(search, &data));
    FindClose(search);
    return empty ? TRUE : FALSE;
}
