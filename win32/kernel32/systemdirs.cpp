// The Windows and system folders of the machine.
#include <windows.h>

#include "kernel32/filepath.h"
#include "machine/machine.h"

using w32::files::CopyOut;

UINT WINAPI GetWindowsDirectoryW(LPWSTR lpBuffer, UINT uSize) {
    return CopyOut(w32::Machine::Current().WindowsDirectory(), lpBuffer, uSize);
}

// With no terminal server, the shared Windows folder is the Windows folder.
UINT WINAPI GetSystemWindowsDirectoryW(LPWSTR lpBuffer, UINT uSize) {
    return CopyOut(w32::Machine::Current().WindowsDirectory(), lpBuffer, uSize);
}

UINT WINAPI GetSystemDirectoryW(LPWSTR lpBuffer, UINT uSize) {
    return CopyOut(w32::Machine::Current().SystemDirectory(), lpBuffer, uSize);
}

UINT WINAPI GetSystemWow64DirectoryW(LPWSTR lpBuffer, UINT uSize) {
    const w32::Machine& machine = w32::Machine::Current();
    if (!machine.Settings().is64Bit) {
        SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
        return 0;
    }
    return CopyOut(machine.WindowsDirectory() + u"\\SysWOW64", lpBuffer, uSize);
}
