// Environment variables of the machine: GetEnvironmentVariableW,
// SetEnvironmentVariableW and ExpandEnvironmentStringsW.
//
// Names are compared without regard to case. The Get and Expand functions
// follow the Win32 size protocol: with room, the text and its terminator are
// written and Get returns the length without the terminator, Expand the count
// with it; without room, both return the count needed with the terminator.
#include <windows.h>

#include <string>

#include "kernel32/envexpand.h"
#include "kernel32/filepath.h"
#include "machine/machine.h"

using w32::files::CopyOut;

namespace w32 {

std::u16string ExpandEnvironmentText(std::u16string_view text) {
    const Machine& machine = Machine::Current();
    std::u16string out;
    size_t i = 0;
    while (i < text.size()) {
        size_t open = text.find(u'%', i);
        if (open == std::u16string_view::npos) {
            out.append(text.substr(i));
            break;
        }
        out.append(text.substr(i, open - i));
        size_t close = text.find(u'%', open + 1);
        if (close == std::u16string_view::npos) {
            out.append(text.substr(open));
            break;
        }
        std::u16string value;
        std::u16string_view name = text.substr(open + 1, close - open - 1);
        if (!name.empty() && machine.GetEnvironment(name, value)) {
            out += value;
            i = close + 1;
        } else {
            // "%NAME" stays; the closing '%' is read again as a possible opening one.
            out.append(text.substr(open, close - open));
            i = close;
        }
    }
    return out;
}

}  // namespace w32

DWORD WINAPI GetEnvironmentVariableW(LPCWSTR lpName, LPWSTR lpBuffer, DWORD nSize) {
    if (!lpName) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::u16string value;
    if (!*lpName || !w32::Machine::Current().GetEnvironment(lpName, value)) {
        SetLastError(ERROR_ENVVAR_NOT_FOUND);
        return 0;
    }
    // An empty value returns 0 too; the last error tells it from a failure.
    if (value.empty()) SetLastError(ERROR_SUCCESS);
    return CopyOut(value, lpBuffer, nSize);
}

BOOL WINAPI SetEnvironmentVariableW(LPCWSTR lpName, LPCWSTR lpValue) {
    // A name may not be empty or hold '=' after its first character.
    if (!lpName || !*lpName || std::u16string_view(lpName + 1).find(u'=') != std::u16string_view::npos) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (lpValue) {
        std::u16string value(lpValue);
        w32::Machine::Current().SetEnvironment(lpName, &value);
    } else {
        w32::Machine::Current().SetEnvironment(lpName, nullptr);
    }
    return TRUE;
}

DWORD WINAPI ExpandEnvironmentStringsW(LPCWSTR lpSrc, LPWSTR lpDst, DWORD nSize) {
    if (!lpSrc) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::u16string expanded = w32::ExpandEnvironmentText(lpSrc);
    DWORD needed = DWORD(expanded.size() + 1);
    if (lpDst && nSize >= needed) {
        expanded.copy(lpDst, expanded.size());
        lpDst[expanded.size()] = 0;
    }
    return needed;
}
