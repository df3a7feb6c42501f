// Deleting, copying and moving files by name.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <windows.h>

#include <cerrno>
#include <vector>

#include "kernel32/filehost.h"
#include "kernel32/fileobject.h"
#include "kernel32/filepath.h"
#include "kernel32/pendingrename.h"
#include "machine/machine.h"
#include "machine/paths.h"
#include "machine/unicode.h"

using namespace w32::files;

namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

BOOL Fail(DWORD error) {
    SetLastError(error);
    return FALSE;
}

FileKey KeyOf(const HostInfo& info) { return FileKey{info.device, info.inode}; }

// A path that must name something existing.
DWORD ResolveExisting(LPCWSTR name, ApiPath& path, HostInfo& info) {
    path = ResolveApiPath(name);
    if (path.error) return path.error;
    if (!path.exists) return ERROR_FILE_NOT_FOUND;
    if (DWORD error = QueryHost(path.host, info)) return error;
    // A separator after a file's name names a folder that is not there.
    if (path.trailingSeparator && !info.directory) return ERROR_INVALID_NAME;
    return ERROR_SUCCESS;
}

// The host name a new entry gets: the caller's spelling of the last name,
// even where a name differing only in case exists.
std::filesystem::path CallerSpelling(LPCWSTR name, const ApiPath& path) {
    std::u16string normalized = w32::NormalizeWindowsPath(name, w32::Machine::Current().WorkingDirectory());
    return path.host.parent_path() / w32::ToUtf8(LastName(normalized));
}

// Copies the bytes of one open file into another.
DWORD CopyContents(int from, int to) {
    std::vector<char> buffer(1 << 20);
    for (;;) {
        ssize_t n = read(from, buffer.data(), buffer.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return ErrorFromErrno(errno);
        }
        if (n == 0) return ERROR_SUCCESS;
        for (ssize_t written = 0; written < n;) {
            ssize_t m = write(to, buffer.data() + written, size_t(n - written));
            if (m < 0) {
                if (errno == EINTR) continue;
                return ErrorFromErrno(errno);
            }
            written += m;
        }
    }
}

// Copies a file with its attributes (plus archive) and last write time, as
// CopyFileW does. The target has been checked by the caller.
DWORD CopyHostFile(const std::filesystem::path& from, const HostInfo& fromInfo, const std::filesystem::path& to) {
    int in = open(from.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) return ErrorFromErrno(errno);
    bool existed = access(to.c_str(), F_OK) == 0;
    int out = open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (out < 0) {
        DWORD error = ErrorFromErrno(errno);
        close(in);
        return error;
    }
    DWORD error = CopyContents(in, out);
    if (!error) {
        DWORD attributes =
            (fromInfo.attributes & kSettableAttributes & ~FILE_ATTRIBUTE_NORMAL) | FILE_ATTRIBUTE_ARCHIVE;
        error = StoreAttributes(out, attributes);
    }
    if (!error) {
        struct timespec times[2];
        times[0].tv_sec = 0;
        times[0].tv_nsec = UTIME_OMIT;
        long long seconds = 0;
        long nanoseconds = 0;
        UnixFromFileTime(fromInfo.lastWrite, seconds, nanoseconds);
        times[1].tv_sec = seconds;
        times[1].tv_nsec = nanoseconds;
        futimens(out, times);
    }
    close(in);
    close(out);
    if (error && !existed) unlink(to.c_str());
    return error;
}

// Whether an existing target may be overwritten: not a folder, not read-only,
// not open by a handle that denies deleting.
DWORD CheckReplaceable(const HostInfo& target) {
    if (target.directory || (target.attributes & FILE_ATTRIBUTE_READONLY)) return ERROR_ACCESS_DENIED;
    return CheckShareAccess(KeyOf(target), DELETE, kShareAll);
}

std::u16string FullPathForRecord(LPCWSTR name) {
    return w32::NormalizeWindowsPath(name, w32::Machine::Current().WorkingDirectory());
}

}  // namespace

BOOL WINAPI DeleteFileW(LPCWSTR lpFileName) {
    ApiPath path;
    HostInfo info;
    if (DWORD error = ResolveExisting(lpFileName, path, info)) return Fail(error);
    if (info.directory || (info.attributes & FILE_ATTRIBUTE_READONLY)) return Fail(ERROR_ACCESS_DENIED);
    if (DWORD error = CheckSystemFile(path, DELETE)) return Fail(error);
    if (DWORD error = CheckShareAccess(KeyOf(info), DELETE, kShareAll)) return Fail(error);
    if (unlink(path.host.c_str()) != 0) return Fail(ErrorFromErrno(errno));
    return TRUE;
}

BOOL WINAPI CopyFileW(LPCWSTR lpExistingFileName, LPCWSTR lpNewFileName, BOOL bFailIfExists) {
    ApiPath source;
    HostInfo sourceInfo;
    if (DWORD error = ResolveExisting(lpExistingFileName, source, sourceInfo)) return Fail(error);
    if (sourceInfo.directory) return Fail(ERROR_ACCESS_DENIED);
    if (DWORD error = CheckShareAccess(KeyOf(sourceInfo), FILE_READ_DATA, kShareAll)) return Fail(error);
    ApiPath target = ResolveApiPath(lpNewFileName);
    if (target.error) return Fail(target.error);
    if (target.trailingSeparator) return Fail(ERROR_INVALID_NAME);
    HostInfo targetInfo;
    bool targetExists = target.exists && QueryHost(target.host, targetInfo) == ERROR_SUCCESS;
    if (targetExists) {
        // The target is opened exclusively while the source is open: a copy onto itself collides.
        if (KeyOf(targetInfo) == KeyOf(sourceInfo)) return Fail(ERROR_SHARING_VIOLATION);
        if (bFailIfExists) return Fail(ERROR_FILE_EXISTS);
        if (targetInfo.directory || (targetInfo.attributes & FILE_ATTRIBUTE_READONLY)) return Fail(ERROR_ACCESS_DENIED);
        if (DWORD error = CheckSystemFile(target, FILE_WRITE_DATA)) return Fail(error);
        // As with CREATE_ALWAYS, a hidden or system target is overwritten only by a file that is so too.
        for (DWORD attribute : {DWORD(FILE_ATTRIBUTE_HIDDEN), DWORD(FILE_ATTRIBUTE_SYSTEM)})
            if ((targetInfo.attributes & attribute) && !(sourceInfo.attributes & attribute))
                return Fail(ERROR_ACCESS_DENIED);
        if (DWORD error = CheckShareAccess(KeyOf(targetInfo), FILE_WRITE_DATA | DELETE, 0)) return Fail(error);
    }
    if (DWORD error = CopyHostFile(source.host, sourceInfo, target.host)) return Fail(error);
    SetLastError(ERROR_SUCCESS);
    return TRUE;
}

BOOL WINAPI MoveFileExW(LPCWSTR lpExistingFileName, LPCWSTR lpNewFileName, DWORD dwFlags) {
    constexpr DWORD kKnownFlags = MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED | MOVEFILE_DELAY_UNTIL_REBOOT |
                                  MOVEFILE_WRITE_THROUGH;
    // Hard links and link tracking are not part of this file system.
    if (dwFlags & (MOVEFILE_CREATE_HARDLINK | MOVEFILE_FAIL_IF_NOT_TRACKABLE)) return Fail(ERROR_NOT_SUPPORTED);
    if (dwFlags & ~kKnownFlags) return Fail(ERROR_INVALID_PARAMETER);

    if (dwFlags & MOVEFILE_DELAY_UNTIL_REBOOT) {
        if (dwFlags & MOVEFILE_COPY_ALLOWED) return Fail(ERROR_INVALID_PARAMETER);
        const auto& settings = w32::Machine::Current().Settings();
        if (!settings.administrator || settings.uacFiltered) return Fail(ERROR_ACCESS_DENIED);
        ApiPath source = ResolveApiPath(lpExistingFileName);
        if (source.error) return Fail(source.error);
        std::u16string to;
        if (lpNewFileName) {
            ApiPath target = ResolveApiPath(lpNewFileName);
            if (target.error) return Fail(target.error);
            to = FullPathForRecord(lpNewFileName);
        }
        DWORD error = RecordPendingRename(FullPathForRecord(lpExistingFileName), lpNewFileName ? &to : nullptr,
                                          dwFlags & MOVEFILE_REPLACE_EXISTING);
        if (error) return Fail(error);
        return TRUE;
    }

    if (!lpNewFileName) return Fail(ERROR_INVALID_PARAMETER);
    ApiPath source;
    HostInfo sourceInfo;
    if (DWORD error = ResolveExisting(lpExistingFileName, source, sourceInfo)) return Fail(error);
    if (w32::files::IsDriveRoot(source.windows)) return Fail(ERROR_ACCESS_DENIED);
    if (sourceInfo.directory && HoldsCurrentDirectory(source.windows)) return Fail(ERROR_SHARING_VIOLATION);
    if (DWORD error = CheckSystemFile(source, DELETE)) return Fail(error);
    if (DWORD error = CheckShareAccess(KeyOf(sourceInfo), DELETE, kShareAll)) return Fail(error);
    ApiPath target = ResolveApiPath(lpNewFileName);
    if (target.error) return Fail(target.error);
    std::filesystem::path newHost = CallerSpelling(lpNewFileName, target);
    HostInfo targetInfo;
    if (target.exists && QueryHost(target.host, targetInfo) == ERROR_SUCCESS) {
        if (KeyOf(targetInfo) == KeyOf(sourceInfo)) {
            // The same file under another spelling: only the spelling changes.
            if (rename(source.host.c_str(), newHost.c_str()) != 0) return Fail(ErrorFromErrno(errno));
            return TRUE;
        }
        if (!(dwFlags & MOVEFILE_REPLACE_EXISTING)) return Fail(ERROR_ALREADY_EXISTS);
        if (sourceInfo.directory) return Fail(ERROR_ACCESS_DENIED);
        if (DWORD error = CheckSystemFile(target, DELETE)) return Fail(error);
        if (DWORD error = CheckReplaceable(targetInfo)) return Fail(error);
        if (newHost != target.host && unlink(target.host.c_str()) != 0) return Fail(ErrorFromErrno(errno));
    }
    if (rename(source.host.c_str(), newHost.c_str()) == 0) return TRUE;
    if (errno != EXDEV) return Fail(ErrorFromErrno(errno));
    // Another host file system: a file may be copied and the original deleted.
    if (!(dwFlags & MOVEFILE_COPY_ALLOWED) || sourceInfo.directory) return Fail(ERROR_NOT_SAME_DEVICE);
    if (DWORD error = CopyHostFile(source.host, sourceInfo, newHost)) return Fail(error);
    if (unlink(source.host.c_str()) != 0) return Fail(ErrorFromErrno(errno));
    return TRUE;
}

BOOL WINAPI MoveFileW(LPCWSTR lpExistingFileName, LPCWSTR lpNewFileName) {
    return MoveFileExW(lpExistingFileName, lpNewFileName, MOVEFILE_COPY_ALLOWED);
}
