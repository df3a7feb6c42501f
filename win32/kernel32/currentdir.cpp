// The machine's current directory. The Linux process's own working directory
// is never read or changed.
#include <windows.h>
// windows.h maps SetCurrentDirectory to SetCurrentDirectoryW, which would
// rename the machine's own member of that name here.
#undef SetCurrentDirectory

#include "kernel32/filehost.h"
#include "kernel32/filepath.h"
#include "machine/machine.h"

using namespace w32::files;

DWORD WINAPI GetCurrentDirectoryW(DWORD nBufferLength, LPWSTR lpBuffer) {
    return CopyOut(w32::Machine::Current().CurrentDirectory(), lpBuffer, nBufferLength);
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
    w32::Machine::Current().SetCurrentDirectory(path.windows);
    return TRUE;
}
