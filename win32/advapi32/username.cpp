// The logon name of the machine's user.
#include <windows.h>

#include <cstring>
#include <string>

#include "machine/machine.h"

// *pcbBuffer counts characters with the NUL, in and out. A buffer that is
// too small (or missing) gets nothing: ERROR_INSUFFICIENT_BUFFER with the
// size needed.
BOOL WINAPI GetUserNameW(LPWSTR lpBuffer, LPDWORD pcbBuffer) {
    if (!pcbBuffer) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const std::u16string name = w32::Machine::Current().Settings().userName;
    const DWORD needed = DWORD(name.size() + 1);
    if (!lpBuffer || *pcbBuffer < needed) {
        *pcbBuffer = needed;
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    std::memcpy(lpBuffer, name.c_str(), needed * sizeof(WCHAR));
    *pcbBuffer = needed;
    return TRUE;
}
