// Making and removing folders.
#include <sys/stat.h>
#include <unistd.h>
#include <windows.h>

#include <cerrno>

#include "kernel32/filehost.h"
#include "kernel32/fileobject.h"
#include "kernel32/filepath.h"

using namespace w32::files;

namespace {

BOOL Fail(DWORD error) {
    SetLastError(error);
    return FALSE;
}

}  // namespace

BOOL WINAPI CreateDirectoryW(LPCWSTR lpPathName, LPSECURITY_ATTRIBUTES) {
    ApiPath path = ResolveApiPath(lpPathName);
    if (path.error) return Fail(path.error);
    if (IsDriveRoot(path.windows)) return Fail(ERROR_ACCESS_DENIED);
    if (path.exists) return Fail(ERROR_ALREADY_EXISTS);
    if (mkdir(path.host.c_str(), 0777) != 0) return Fail(ErrorFromErrno(errno));
    return TRUE;
}

BOOL WINAPI RemoveDirectoryW(LPCWSTR lpPathName) {
    ApiPath path = ResolveApiPath(lpPathName);
    if (path.error) return Fail(path.error);
    if (!path.exists) return Fail(ERROR_FILE_NOT_FOUND);
    if (IsDriveRoot(path.windows)) return Fail(ERROR_ACCESS_DENIED);
    HostInfo info;
    if (DWORD error = QueryHost(path.host, info)) return Fail(error);
    if (!info.directory) return Fail(ERROR_DIRECTORY);
    if (info.attributes & FILE_ATTRIBUTE_READONLY) return Fail(ERROR_ACCESS_DENIED);
    if (HoldsCurrentDirectory(path.windows)) return Fail(ERROR_SHARING_VIOLATION);
    constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    if (DWORD error = CheckShareAccess(FileKey{info.device, info.inode}, DELETE, kShareAll)) return Fail(error);
    if (rmdir(path.host.c_str()) != 0) {
        return Fail(errno == EEXIST ? DWORD(ERROR_DIR_NOT_EMPTY) : ErrorFromErrno(errno));
    }
    return TRUE;
}
