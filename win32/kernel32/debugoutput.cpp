#include <windows.h>

#include <string>

#include "machine/debuglog.h"
#include "machine/unicode.h"

void WINAPI OutputDebugStringW(LPCWSTR lpOutputString) {
    if (!lpOutputString) return;
    w32::DebugLogAppend(w32::ToUtf8(lpOutputString));
}

// The narrow text is in the machine's ANSI code page.
void WINAPI OutputDebugStringA(LPCSTR lpOutputString) {
    if (!lpOutputString) return;
    DWORD saved = GetLastError();
    int count = MultiByteToWideChar(CP_ACP, 0, lpOutputString, -1, nullptr, 0);
    std::u16string wide(count > 0 ? count : 0, u'\0');
    if (count > 0) MultiByteToWideChar(CP_ACP, 0, lpOutputString, -1, wide.data(), count);
    if (!wide.empty()) wide.pop_back();
    w32::DebugLogAppend(w32::ToUtf8(wide));
    SetLastError(saved);
}
