// File and folder attributes by name.
#include <windows.h>

#include "kernel32/filehost.h"
#include "kernel32/filepath.h"

using namespace w32::files;

namespace {

DWORD Query(LPCWSTR name, HostInfo& info) {
    ApiPath path = ResolveApiPath(name);
    if (path.error) return path.error;
    if (!path.exists) return ERROR_FILE_NOT_FOUND;
    if (DWORD error = QueryHost(path.host, info)) return error;
    if (path.trailingSeparator && !info.directory) return ERROR_INVALID_NAME;
    return ERROR_SUCCESS;
}

}  // namespace

DWORD WINAPI GetFileAttributesW(LPCWSTR lpFileName) {
    HostInfo info;
    if (DWORD error = Query(lpFileName, info)) {
        SetLastError(error);
        return INVALID_FILE_ATTRIBUTES;
    }
    return info.attributes;
}

BOOL WINAPI GetFileAttributesExW(LPCWSTR lpFileName, GET_FILEEX_INFO_LEVELS fInfoLevelId, LPVOID lpFileInformation) {
    if (fInfoLevelId != GetFileExInfoStandard || !lpFileInformation) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    HostInfo info;
    if (DWORD error = Query(lpFileName, info)) {
        SetLastError(error);
        return FALSE;
    }
    auto* data = static_cast<WIN32_FILE_ATTRIBUTE_DATA*>(lpFileInformation);
    data->dwFileAttributes = info.attributes;
    data->ftCreationTime = info.creation;
    data->ftLastAccessTime = info.lastAccess;
    data->ftLastWriteTime = info.lastWrite;
    data->nFileSizeHigh = DWORD(info.size >> 32);
    data->nFileSizeLow = DWORD(info.size);
    return TRUE;
}

BOOL WINAPI SetFileAttributesW(LPCWSTR lpFileName, DWORD dwFileAttributes) {
    ApiPath path = ResolveApiPath(lpFileName);
    DWORD error = path.error ? path.error : path.exists ? DWORD(ERROR_SUCCESS) : DWORD(ERROR_FILE_NOT_FOUND);
    if (!error) error = CheckSystemFile(path, FILE_WRITE_ATTRIBUTES);
    if (!error) error = StoreAttributes(path.host, dwFileAttributes);
    if (error) {
        SetLastError(error);
        return FALSE;
    }
    return TRUE;
}
