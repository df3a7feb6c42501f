// The ANSI forms that only carry names: the names are converted from the
// ANSI code page and the wide forms do the work.
#include <windows.h>

#include <string>

#include "kernel32/ansitext.h"

namespace {

// Null stays null; text that does not convert becomes empty.
struct WideArg {
    explicit WideArg(LPCSTR text) : present(text != nullptr) {
        if (text) w32::AnsiToWide(text, value);
    }
    LPCWSTR get() const { return present ? value.c_str() : nullptr; }
    bool present;
    std::u16string value;
};

bool IsStringType(DWORD type) { return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ; }

}  // namespace

LSTATUS WINAPI RegOpenKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD ulOptions, REGSAM samDesired, PHKEY phkResult) {
    return RegOpenKeyExW(hKey, WideArg(lpSubKey).get(), ulOptions, samDesired, phkResult);
}

LSTATUS WINAPI RegCreateKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD Reserved, LPSTR lpClass, DWORD dwOptions,
                               REGSAM samDesired, LPSECURITY_ATTRIBUTES lpSecurityAttributes, PHKEY phkResult,
                               LPDWORD lpdwDisposition) {
    WideArg className(lpClass);
    return RegCreateKeyExW(hKey, WideArg(lpSubKey).get(), Reserved, const_cast<LPWSTR>(className.get()), dwOptions,
                           samDesired, lpSecurityAttributes, phkResult, lpdwDisposition);
}

LSTATUS WINAPI RegDeleteKeyA(HKEY hKey, LPCSTR lpSubKey) { return RegDeleteKeyW(hKey, WideArg(lpSubKey).get()); }

LSTATUS WINAPI RegDeleteTreeA(HKEY hKey, LPCSTR lpSubKey) { return RegDeleteTreeW(hKey, WideArg(lpSubKey).get()); }

LSTATUS WINAPI RegDeleteValueA(HKEY hKey, LPCSTR lpValueName) {
    return RegDeleteValueW(hKey, WideArg(lpValueName).get());
}

// String data is converted from the ANSI code page, byte for byte as given
// (a terminator given is converted with the rest); other data is stored as is.
LSTATUS WINAPI RegSetValueExA(HKEY hKey, LPCSTR lpValueName, DWORD Reserved, DWORD dwType, const BYTE* lpData,
                              DWORD cbData) {
    if (!lpData && cbData) return ERROR_NOACCESS;
    WideArg name(lpValueName);
    if (!IsStringType(dwType) || cbData == 0)
        return RegSetValueExW(hKey, name.get(), Reserved, dwType, lpData, cbData);
    LPCSTR text = reinterpret_cast<LPCSTR>(lpData);
    int length = MultiByteToWideChar(CP_ACP, 0, text, int(cbData), nullptr, 0);
    if (length <= 0) return ERROR_INVALID_PARAMETER;
    std::u16string wide(size_t(length), u'\0');
    MultiByteToWideChar(CP_ACP, 0, text, int(cbData), wide.data(), length);
    return RegSetValueExW(hKey, name.get(), Reserved, dwType, reinterpret_cast<const BYTE*>(wide.data()),
                          DWORD(wide.size() * sizeof(WCHAR)));
}
