// The machine's current directory. The Linux process's own working directory
// is never read or changed.
#include <windows.h>

#include "kernel32/filehost.h"
#include "kernel32/filepath.h"
#include "machine/machine.h"

using namespace w32::files;

DWORD WINAPI GetCurrentDirectoryW(DWORD nBufferLength, LPWSTR lpBuffer) {
    return CopyOut(w32::Machine::Current().WorkingDirectory(), lpBuffer, nBufferLength);
}

BOOL WINAPI SetCurrentDirectoryW(LPCWSTR lpPathName) {
    ApiPath path = ResolveApiPath(lpPathName);
    DWORD error = path.error ? path.error : path.exists ? DWORD(ERROR_SUCCESS) : DWORD(ERROR_FILE_NOT_FOUND);
    HostInfo info;
    if (!error) error = QueryHost(path.host, info);
    if (!error && !info.directory) error = ERROR_DIRECTORY;
    if (error) {
        SetLastError(error);
        return FALSE;
    }
    w32::Machine::Current().SetWorkingDirectory(path.windows);
    return TRUE;
}
