#include <windows.h>

#include <string>

#include "kernel32/ansitext.h"
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
    std::u16string wide;
    w32::AnsiToWide(lpOutputString, wide);
    w32::DebugLogAppend(w32::ToUtf8(wide));
    SetLastError(saved);
}
