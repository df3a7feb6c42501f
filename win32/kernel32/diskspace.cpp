// Free and total space: the numbers of the host file system holding the drive.
#include <sys/statvfs.h>
#include <windows.h>

#include <algorithm>
#include <cerrno>

#include "kernel32/filehost.h"
#include "kernel32/filepath.h"
#include "machine/machine.h"

using namespace w32::files;

namespace {

// A folder of the drive: the current directory when none is given.
DWORD StatFolder(LPCWSTR folder, struct statvfs& st) {
    std::u16string current;
    if (!folder) {
        current = w32::Machine::Current().WorkingDirectory();
        folder = current.c_str();
    }
    ApiPath path = ResolveApiPath(folder);
    if (path.error) return path.error;
    if (!path.exists) return ERROR_PATH_NOT_FOUND;
    HostInfo info;
    if (DWORD error = QueryHost(path.host, info)) return error;
    if (!info.directory) return ERROR_DIRECTORY;
    if (statvfs(path.host.c_str(), &st) != 0) return ErrorFromErrno(errno);
    return ERROR_SUCCESS;
}

}  // namespace

BOOL WINAPI GetDiskFreeSpaceExW(LPCWSTR lpDirectoryName, PULARGE_INTEGER lpFreeBytesAvailableToCaller,
                                PULARGE_INTEGER lpTotalNumberOfBytes, PULARGE_INTEGER lpTotalNumberOfFreeBytes) {
    struct statvfs st;
    if (DWORD error = StatFolder(lpDirectoryName, st)) {
        SetLastError(error);
        return FALSE;
    }
    if (lpFreeBytesAvailableToCaller) lpFreeBytesAvailableToCaller->QuadPart = ULONGLONG(st.f_bavail) * st.f_frsize;
    if (lpTotalNumberOfBytes) lpTotalNumberOfBytes->QuadPart = ULONGLONG(st.f_blocks) * st.f_frsize;
    if (lpTotalNumberOfFreeBytes) lpTotalNumberOfFreeBytes->QuadPart = ULONGLONG(st.f_bfree) * st.f_frsize;
    return TRUE;
}

// Reported as 4 KB clusters of eight 512-byte sectors; counts beyond 32 bits
// are cut to the largest DWORD, as Windows does for large volumes.
BOOL WINAPI GetDiskFreeSpaceW(LPCWSTR lpRootPathName, LPDWORD lpSectorsPerCluster, LPDWORD lpBytesPerSector,
                              LPDWORD lpNumberOfFreeClusters, LPDWORD lpTotalNumberOfClusters) {
    struct statvfs st;
    if (DWORD error = StatFolder(lpRootPathName, st)) {
        SetLastError(error);
        return FALSE;
    }
    constexpr ULONGLONG kCluster = 4096;
    auto clusters = [&](ULONGLONG blocks) {
        return DWORD(std::min<ULONGLONG>(blocks * st.f_frsize / kCluster, 0xFFFFFFFFull));
    };
    if (lpSectorsPerCluster) *lpSectorsPerCluster = 8;
    if (lpBytesPerSector) *lpBytesPerSector = 512;
    if (lpNumberOfFreeClusters) *lpNumberOfFreeClusters = clusters(st.f_bavail);
    if (lpTotalNumberOfClusters) *lpTotalNumberOfClusters = clusters(st.f_blocks);
    return TRUE;
}
