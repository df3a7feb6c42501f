// INI files: GetPrivateProfileStringW and its family.
//
// Each call reads the file afresh and a write rewrites it at once, so that
// the file on disk is always what the functions report. Lists (section
// names, keys, a section's lines) come as strings each ended by a NUL, with
// one more NUL after the last; a list that does not fit is cut, ended by two
// NULs, and reported as the buffer size minus two.
#include <windows.h>

#include <algorithm>
#include <mutex>
#include <string>
#include <vector>

#include "kernel32/inifile.h"
#include "machine/machine.h"

using w32::files::IniFile;

namespace {

std::mutex gProfileLock;

// A bare file name means the file in the Windows folder.
std::u16string IniPath(LPCWSTR fileName) {
    std::u16string_view name(fileName);
    if (name.find_first_of(u"\\/") != std::u16string_view::npos) return std::u16string(name);
    return w32::Machine::Current().WindowsDirectory() + u"\\" + std::u16string(name);
}

DWORD CopyList(const std::vector<std::u16string>& items, LPWSTR buffer, DWORD size) {
    if (!buffer || size == 0) return 0;
    std::u16string all;
    for (const auto& item : items) {
        all += item;
        all += u'\0';
    }
    if (all.size() + 1 <= size) {
        all.copy(buffer, all.size());
        buffer[all.size()] = 0;
        if (all.empty() && size >= 2) buffer[1] = 0;
        return DWORD(all.size());
    }
    if (size < 2) {
        buffer[0] = 0;
        return 0;
    }
    all.copy(buffer, size - 2);
    buffer[size - 2] = 0;
    buffer[size - 1] = 0;
    return size - 2;
}

DWORD CopyValue(std::u16string_view value, LPWSTR buffer, DWORD size) {
    if (!buffer || size == 0) return 0;
    size_t length = std::min<size_t>(value.size(), size - 1);
    value.copy(buffer, length);
    buffer[length] = 0;
    return DWORD(length);
}

// A value in matching single or double quotes is given without them.
std::u16string_view Unquote(std::u16string_view value) {
    if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') && value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

// Digits with an optional sign, and 0x, 0o or 0b for another base, as the
// system's own integer conversion reads them; reading stops at the first
// character that is not a digit.
INT ParseProfileInt(std::u16string_view text) {
    size_t i = 0;
    while (i < text.size() && text[i] <= u' ') ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) negative = text[i++] == u'-';
    unsigned base = 10;
    if (i + 1 < text.size() && text[i] == u'0') {
        char16_t p = text[i + 1] | 0x20;
        base = p == u'x' ? 16 : p == u'o' ? 8 : p == u'b' ? 2 : 10;
        if (base != 10) i += 2;
    }
    unsigned value = 0;
    for (; i < text.size(); ++i) {
        char16_t c = text[i];
        unsigned digit = c >= u'0' && c <= u'9'   ? unsigned(c - u'0')
                         : (c | 0x20) >= u'a' && (c | 0x20) <= u'f' ? unsigned((c | 0x20) - u'a' + 10)
                                                                    : 99;
        if (digit >= base) break;
        value = value * base + digit;
    }
    return INT(negative ? 0u - value : value);
}

}  // namespace

DWORD WINAPI GetPrivateProfileStringW(LPCWSTR lpAppName, LPCWSTR lpKeyName, LPCWSTR lpDefault,
                                      LPWSTR lpReturnedString, DWORD nSize, LPCWSTR lpFileName) {
    if (!lpReturnedString || nSize == 0) return 0;
    if (!lpFileName) {
        lpReturnedString[0] = 0;
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::lock_guard lock(gProfileLock);
    // A file that cannot be read answers as an empty one: with the default.
    IniFile ini;
    DWORD loadError = ini.Load(IniPath(lpFileName));
    if (!lpAppName) return CopyList(ini.SectionNames(), lpReturnedString, nSize);
    if (!lpKeyName) {
        std::vector<std::pair<std::u16string, std::u16string>> entries;
        ini.Entries(lpAppName, entries);
        std::vector<std::u16string> keys;
        for (auto& entry : entries) keys.push_back(std::move(entry.first));
        return CopyList(keys, lpReturnedString, nSize);
    }
    std::u16string value;
    if (ini.Find(lpAppName, lpKeyName, value)) {
        SetLastError(ERROR_SUCCESS);
        return CopyValue(Unquote(value), lpReturnedString, nSize);
    }
    // The default loses its trailing blanks.
    std::u16string_view fallback = lpDefault ? std::u16string_view(lpDefault) : std::u16string_view();
    while (!fallback.empty() && fallback.back() == u' ') fallback.remove_suffix(1);
    SetLastError(loadError ? loadError : DWORD(ERROR_FILE_NOT_FOUND));
    return CopyValue(fallback, lpReturnedString, nSize);
}

UINT WINAPI GetPrivateProfileIntW(LPCWSTR lpAppName, LPCWSTR lpKeyName, INT nDefault, LPCWSTR lpFileName) {
    WCHAR buffer[64];
    if (!lpAppName || !lpKeyName) return UINT(nDefault);
    DWORD length = GetPrivateProfileStringW(lpAppName, lpKeyName, u"", buffer, 64, lpFileName);
    if (length == 0) return UINT(nDefault);
    return UINT(ParseProfileInt(std::u16string_view(buffer, length)));
}

DWORD WINAPI GetPrivateProfileSectionNamesW(LPWSTR lpszReturnBuffer, DWORD nSize, LPCWSTR lpFileName) {
    return GetPrivateProfileStringW(nullptr, nullptr, nullptr, lpszReturnBuffer, nSize, lpFileName);
}

DWORD WINAPI GetPrivateProfileSectionW(LPCWSTR lpAppName, LPWSTR lpReturnedString, DWORD nSize,
                                       LPCWSTR lpFileName) {
    if (!lpReturnedString || nSize == 0) return 0;
    if (!lpAppName || !lpFileName) {
        lpReturnedString[0] = 0;
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::lock_guard lock(gProfileLock);
    IniFile ini;
    ini.Load(IniPath(lpFileName));
    std::vector<std::pair<std::u16string, std::u16string>> entries;
    ini.Entries(lpAppName, entries);
    std::vector<std::u16string> lines;
    for (const auto& [key, value] : entries) lines.push_back(key + u"=" + value);
    return CopyList(lines, lpReturnedString, nSize);
}

BOOL WINAPI WritePrivateProfileStringW(LPCWSTR lpAppName, LPCWSTR lpKeyName, LPCWSTR lpString, LPCWSTR lpFileName) {
    // All null asks to flush a cache; nothing is cached here.
    if (!lpAppName && !lpKeyName && !lpString) return TRUE;
    if (!lpAppName || !lpFileName) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::lock_guard lock(gProfileLock);
    std::u16string path = IniPath(lpFileName);
    IniFile ini;
    DWORD error = ini.Load(path);
    if (!error) {
        bool changed = !lpKeyName  ? ini.DeleteSection(lpAppName)
                       : !lpString ? ini.DeleteKey(lpAppName, lpKeyName)
                                   : ini.Set(lpAppName, lpKeyName, lpString);
        if (changed || (lpKeyName && lpString && !ini.Exists())) error = ini.Save(path);
    }
    if (error) {
        SetLastError(error);
        return FALSE;
    }
    return TRUE;
}
