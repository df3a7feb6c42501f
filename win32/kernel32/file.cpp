// CreateFileW and the functions that work on an open file handle.
//
// CreateFileW's dispositions: CREATE_NEW fails on an existing file
// (ERROR_FILE_EXISTS); CREATE_ALWAYS and OPEN_ALWAYS open an existing file and
// say so with ERROR_ALREADY_EXISTS, CREATE_ALWAYS cutting it to nothing;
// OPEN_EXISTING and TRUNCATE_EXISTING need the file (ERROR_FILE_NOT_FOUND),
// TRUNCATE_EXISTING cutting it. An open of an existing file meets the handles
// already open on it (fileobject.h): its access against their share modes,
// its share mode against their access, ERROR_SHARING_VIOLATION on a conflict.
// An open that cuts the file is checked as a writer, and before anything is
// cut, so that a refused open leaves the file as it was. A protected system
// file (filepath.h) opens only for reading.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <windows.h>

#include <cerrno>
#include <climits>
#include <memory>
#include <type_traits>

#include "kernel32/filefaults.h"
#include "kernel32/filehost.h"
#include "kernel32/fileobject.h"
#include "kernel32/filepath.h"
#include "kernel32/devicename.h"

using namespace w32::files;

namespace {

HANDLE FailHandle(DWORD error) {
    SetLastError(error);
    return INVALID_HANDLE_VALUE;
}

BOOL Fail(DWORD error) {
    SetLastError(error);
    return FALSE;
}

std::shared_ptr<FileObject> LookupFile(HANDLE handle) { return w32::LookupHandleAs<FileObject>(handle); }

// ReadFile and WriteFile: the checks around one transfer of `io` (IoObject's
// Read or Write) and the count of bytes it moved, which is reported even
// when it fails part way.
template <class Buffer>
BOOL Transfer(HANDLE hFile, Buffer buffer, DWORD size, LPDWORD done, LPOVERLAPPED overlapped,
              DWORD (w32::IoObject::*io)(Buffer, DWORD, DWORD&)) {
    if (done) *done = 0;
    auto object = w32::LookupHandleAs<w32::IoObject>(hFile);
    if (!object) return Fail(ERROR_INVALID_HANDLE);
    if (overlapped) return Fail(ERROR_NOT_SUPPORTED);
    if (!done) return Fail(ERROR_INVALID_PARAMETER);
    if (!buffer && size) return Fail(ERROR_NOACCESS);
    // The fault set of the tests (filefaults.h) may fail a write or cut a read short.
    if (auto file = std::dynamic_pointer_cast<FileObject>(object)) {
        DWORD faultError = ERROR_SUCCESS;
        if constexpr (std::is_const_v<std::remove_pointer_t<Buffer>>) {
            if (TakeWriteFault(*file, size, faultError) == w32::files::FaultAction::FailWrite) return Fail(faultError);
        } else if (TakeReadFault(*file, size) == w32::files::FaultAction::ShortRead) {
            size /= 2;
        }
    }
    DWORD moved = 0;
    DWORD error = ((*object).*io)(buffer, size, moved);
    *done = moved;
    return error ? Fail(error) : TRUE;
}

// The host open flags for a file opened with these rights.
int HostOpenFlags(DWORD rights) {
    bool read = rights & (FILE_READ_DATA | FILE_EXECUTE);
    bool write = rights & (FILE_WRITE_DATA | FILE_APPEND_DATA);
    int flags = O_CLOEXEC;
    if (read && write) {
        flags |= O_RDWR;
    } else if (write) {
        flags |= O_WRONLY;
    } else {
        flags |= O_RDONLY;
    }
    // A handle that may only append writes at the end whatever its position.
    if ((rights & FILE_APPEND_DATA) && !(rights & FILE_WRITE_DATA)) flags |= O_APPEND;
    return flags;
}

DWORD RequestedAttributes(DWORD flagsAndAttributes) {
    return (flagsAndAttributes & kSettableAttributes & ~FILE_ATTRIBUTE_NORMAL) | FILE_ATTRIBUTE_ARCHIVE;
}

// Hands out a handle to a file already in the share table.
HANDLE Publish(std::shared_ptr<FileObject> file, bool deleteOnClose, DWORD successError) {
    if (deleteOnClose) file->SetDeleteOnClose();
    HANDLE handle = w32::InsertHandle(std::move(file));
    SetLastError(successError);
    return handle;
}

HANDLE OpenFolder(const ApiPath& path, const HostInfo& info, DWORD rights, DWORD share, DWORD disposition,
                  DWORD flags) {
    if (!(flags & FILE_FLAG_BACKUP_SEMANTICS)) return FailHandle(ERROR_ACCESS_DENIED);
    if (disposition == CREATE_NEW) return FailHandle(ERROR_FILE_EXISTS);
    if (disposition == CREATE_ALWAYS || disposition == TRUNCATE_EXISTING) return FailHandle(ERROR_ACCESS_DENIED);
    bool deleteOnClose = flags & FILE_FLAG_DELETE_ON_CLOSE;
    if (deleteOnClose && (info.attributes & FILE_ATTRIBUTE_READONLY)) return FailHandle(ERROR_ACCESS_DENIED);
    int fd = open(path.host.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return FailHandle(ErrorFromErrno(errno));
    auto folder = std::make_shared<FileObject>(fd, FileKey{info.device, info.inode}, rights, share, true, path.host);
    if (DWORD error = RegisterOpen(folder.get())) return FailHandle(error);
    return Publish(std::move(folder), deleteOnClose,
                  disposition == OPEN_ALWAYS ? DWORD(ERROR_ALREADY_EXISTS) : DWORD(ERROR_SUCCESS));
}

HANDLE OpenExistingFile(const ApiPath& path, const HostInfo& info, DWORD rights, DWORD share, DWORD disposition,
                        DWORD flags) {
    if (disposition == CREATE_NEW) return FailHandle(ERROR_FILE_EXISTS);
    if (path.trailingSeparator) return FailHandle(ERROR_INVALID_NAME);
    bool deleteOnClose = flags & FILE_FLAG_DELETE_ON_CLOSE;
    bool truncates = disposition == CREATE_ALWAYS || disposition == TRUNCATE_EXISTING;
    if (DWORD error = CheckSystemFile(path, rights | (truncates ? DWORD(FILE_WRITE_DATA) : 0)))
        return FailHandle(error);
    if (info.attributes & FILE_ATTRIBUTE_READONLY) {
        if ((rights & (FILE_WRITE_DATA | FILE_APPEND_DATA)) || truncates || deleteOnClose)
            return FailHandle(ERROR_ACCESS_DENIED);
    }
    // Overwriting a hidden or system file must say so by asking for the same attribute.
    if (disposition == CREATE_ALWAYS) {
        for (DWORD attribute : {DWORD(FILE_ATTRIBUTE_HIDDEN), DWORD(FILE_ATTRIBUTE_SYSTEM)})
            if ((info.attributes & attribute) && !(flags & attribute)) return FailHandle(ERROR_ACCESS_DENIED);
    }
    int fd = open(path.host.c_str(), HostOpenFlags(rights));
    if (fd < 0) return FailHandle(ErrorFromErrno(errno));
    auto file = std::make_shared<FileObject>(fd, FileKey{info.device, info.inode}, rights, share, false, path.host);
    // Overwriting is writing: the other handles must share writing even with
    // a caller that asked only to read, and nothing is cut before they agree.
    if (DWORD error = RegisterOpen(file.get(), truncates ? DWORD(FILE_WRITE_DATA) : 0)) return FailHandle(error);
    if (truncates) {
        // CREATE_ALWAYS truncates even for a handle that may not write.
        int writable = (rights & FILE_WRITE_DATA) ? fd : open(path.host.c_str(), O_WRONLY | O_CLOEXEC);
        if (writable < 0) return FailHandle(ErrorFromErrno(errno));
        int result = ftruncate(writable, 0);
        int truncateError = errno;
        if (writable != fd) close(writable);
        if (result != 0) return FailHandle(ErrorFromErrno(truncateError));
        // The file keeps its attributes, gains those asked for, and needs backing up.
        DWORD kept = info.attributes & kSettableAttributes & ~FILE_ATTRIBUTE_NORMAL;
        StoreAttributes(fd, kept | (disposition == CREATE_ALWAYS ? RequestedAttributes(flags)
                                                                 : DWORD(FILE_ATTRIBUTE_ARCHIVE)));
    }
    bool existedAndReported = disposition == CREATE_ALWAYS || disposition == OPEN_ALWAYS;
    return Publish(std::move(file), deleteOnClose,
                  existedAndReported ? DWORD(ERROR_ALREADY_EXISTS) : DWORD(ERROR_SUCCESS));
}

HANDLE CreateNewFile(const ApiPath& path, DWORD rights, DWORD share, DWORD disposition, DWORD flags,
                     HANDLE templateFile) {
    if (disposition == OPEN_EXISTING || disposition == TRUNCATE_EXISTING) return FailHandle(ERROR_FILE_NOT_FOUND);
    if (path.trailingSeparator) return FailHandle(ERROR_INVALID_NAME);
    DWORD attributes = RequestedAttributes(flags);
    if (templateFile && templateFile != INVALID_HANDLE_VALUE) {
        // A new file takes the attributes of the template file as well.
        auto model = LookupFile(templateFile);
        if (!model) return FailHandle(ERROR_INVALID_HANDLE);
        HostInfo modelInfo;
        if (QueryHost(model->Descriptor(), modelInfo) == ERROR_SUCCESS)
            attributes |= modelInfo.attributes & kSettableAttributes & ~FILE_ATTRIBUTE_NORMAL;
    }
    int fd = open(path.host.c_str(), HostOpenFlags(rights) | O_CREAT | O_EXCL, 0666);
    if (fd < 0) return FailHandle(errno == EEXIST ? DWORD(ERROR_FILE_EXISTS) : ErrorFromErrno(errno));
    HostInfo info;
    DWORD stored = StoreAttributes(fd, attributes);
    if (!stored) stored = QueryHost(fd, info);
    if (stored) {
        close(fd);
        unlink(path.host.c_str());
        return FailHandle(stored);
    }
    auto file = std::make_shared<FileObject>(fd, FileKey{info.device, info.inode}, rights, share, false, path.host);
    if (DWORD error = RegisterOpen(file.get())) return FailHandle(error);
    return Publish(std::move(file), flags & FILE_FLAG_DELETE_ON_CLOSE, ERROR_SUCCESS);
}

}  // namespace

HANDLE WINAPI CreateFileW(LPCWSTR lpFileName, DWORD dwDesiredAccess, DWORD dwShareMode, LPSECURITY_ATTRIBUTES,
                          DWORD dwCreationDisposition, DWORD dwFlagsAndAttributes, HANDLE hTemplateFile) {
    if (dwCreationDisposition < CREATE_NEW || dwCreationDisposition > TRUNCATE_EXISTING)
        return FailHandle(ERROR_INVALID_PARAMETER);
    if (dwShareMode & ~DWORD(FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE))
        return FailHandle(ERROR_INVALID_PARAMETER);
    // Every handle of the layer is synchronous.
    if (dwFlagsAndAttributes & FILE_FLAG_OVERLAPPED) return FailHandle(ERROR_NOT_SUPPORTED);
    DWORD rights = MapGenericFileAccess(dwDesiredAccess);
    if (dwFlagsAndAttributes & FILE_FLAG_DELETE_ON_CLOSE) rights |= DELETE;
    if (dwCreationDisposition == TRUNCATE_EXISTING && !(rights & FILE_WRITE_DATA))
        return FailHandle(ERROR_INVALID_PARAMETER);

    if (lpFileName) {
        w32::PathKind kind = w32::ClassifyPath(lpFileName);
        if (kind == w32::PathKind::Pipe || kind == w32::PathKind::Device) {
            w32::SpecialOpenRequest request{lpFileName, kind, rights, dwShareMode, dwCreationDisposition,
                                            dwFlagsAndAttributes};
            return w32::OpenSpecialPath(request);
        }
    }
    ApiPath path = ResolveApiPath(lpFileName);
    if (path.error) return FailHandle(path.error);
    HostInfo info;
    if (path.exists && QueryHost(path.host, info) == ERROR_SUCCESS) {
        if (info.directory)
            return OpenFolder(path, info, rights, dwShareMode, dwCreationDisposition, dwFlagsAndAttributes);
        return OpenExistingFile(path, info, rights, dwShareMode, dwCreationDisposition, dwFlagsAndAttributes);
    }
    return CreateNewFile(path, rights, dwShareMode, dwCreationDisposition, dwFlagsAndAttributes, hTemplateFile);
}

BOOL WINAPI ReadFile(HANDLE hFile, LPVOID lpBuffer, DWORD nNumberOfBytesToRead, LPDWORD lpNumberOfBytesRead,
                     LPOVERLAPPED lpOverlapped) {
    return Transfer(hFile, lpBuffer, nNumberOfBytesToRead, lpNumberOfBytesRead, lpOverlapped, &w32::IoObject::Read);
}

BOOL WINAPI WriteFile(HANDLE hFile, LPCVOID lpBuffer, DWORD nNumberOfBytesToWrite, LPDWORD lpNumberOfBytesWritten,
                      LPOVERLAPPED lpOverlapped) {
    return Transfer(hFile, lpBuffer, nNumberOfBytesToWrite, lpNumberOfBytesWritten, lpOverlapped,
                    &w32::IoObject::Write);
}

BOOL WINAPI SetFilePointerEx(HANDLE hFile, LARGE_INTEGER liDistanceToMove, PLARGE_INTEGER lpNewFilePointer,
                             DWORD dwMoveMethod) {
    auto file = LookupFile(hFile);
    if (!file) return Fail(w32::LookupHandle(hFile) ? ERROR_INVALID_FUNCTION : ERROR_INVALID_HANDLE);
    long long base = 0;
    switch (dwMoveMethod) {
        case FILE_BEGIN:
            break;
        case FILE_CURRENT:
            base = lseek(file->Descriptor(), 0, SEEK_CUR);
            break;
        case FILE_END: {
            struct stat st;
            base = fstat(file->Descriptor(), &st) == 0 ? st.st_size : -1;
            break;
        }
        default:
            return Fail(ERROR_INVALID_PARAMETER);
    }
    if (base < 0) return Fail(ErrorFromErrno(errno));
    long long target = 0;
    if (__builtin_add_overflow(base, liDistanceToMove.QuadPart, &target)) return Fail(ERROR_INVALID_PARAMETER);
    if (target < 0) return Fail(ERROR_NEGATIVE_SEEK);
    if (lseek(file->Descriptor(), target, SEEK_SET) < 0) return Fail(ErrorFromErrno(errno));
    if (lpNewFilePointer) lpNewFilePointer->QuadPart = target;
    return TRUE;
}

DWORD WINAPI SetFilePointer(HANDLE hFile, LONG lDistanceToMove, PLONG lpDistanceToMoveHigh, DWORD dwMoveMethod) {
    LARGE_INTEGER distance;
    if (lpDistanceToMoveHigh) {
        distance.LowPart = DWORD(lDistanceToMove);
        distance.HighPart = *lpDistanceToMoveHigh;
    } else {
        distance.QuadPart = lDistanceToMove;  // a signed 32-bit move
    }
    LARGE_INTEGER position;
    if (!SetFilePointerEx(hFile, distance, &position, dwMoveMethod)) return INVALID_SET_FILE_POINTER;
    if (lpDistanceToMoveHigh) *lpDistanceToMoveHigh = position.HighPart;
    // A position whose low part is all ones is told from a failure by the last error.
    if (position.LowPart == INVALID_SET_FILE_POINTER) SetLastError(ERROR_SUCCESS);
    return position.LowPart;
}

BOOL WINAPI SetEndOfFile(HANDLE hFile) {
    auto file = LookupFile(hFile);
    if (!file) return Fail(ERROR_INVALID_HANDLE);
    if (!file->CanWrite()) return Fail(ERROR_ACCESS_DENIED);
    if (file->IsDirectory()) return Fail(ERROR_INVALID_FUNCTION);
    off_t position = lseek(file->Descriptor(), 0, SEEK_CUR);
    if (position < 0 || ftruncate(file->Descriptor(), position) != 0) return Fail(ErrorFromErrno(errno));
    file->NoteChanged();
    return TRUE;
}

BOOL WINAPI GetFileSizeEx(HANDLE hFile, PLARGE_INTEGER lpFileSize) {
    auto file = LookupFile(hFile);
    if (!file) return Fail(ERROR_INVALID_HANDLE);
    if (!lpFileSize) return Fail(ERROR_INVALID_PARAMETER);
    HostInfo info;
    if (DWORD error = QueryHost(file->Descriptor(), info)) return Fail(error);
    lpFileSize->QuadPart = (LONGLONG)info.size;
    return TRUE;
}

DWORD WINAPI GetFileSize(HANDLE hFile, LPDWORD lpFileSizeHigh) {
    LARGE_INTEGER size;
    if (!GetFileSizeEx(hFile, &size)) return INVALID_FILE_SIZE;
    if (lpFileSizeHigh) *lpFileSizeHigh = DWORD(size.HighPart);
    // A size whose low part is all ones is told from a failure by the last error.
    SetLastError(ERROR_SUCCESS);
    return size.LowPart;
}

BOOL WINAPI FlushFileBuffers(HANDLE hFile) {
    auto io = w32::LookupHandleAs<w32::IoObject>(hFile);
    if (!io) return Fail(ERROR_INVALID_HANDLE);
    if (DWORD error = io->Flush()) return Fail(error);
    return TRUE;
}

DWORD WINAPI GetFileType(HANDLE hFile) {
    auto object = w32::LookupHandle(hFile);
    if (!object) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FILE_TYPE_UNKNOWN;
    }
    auto io = std::dynamic_pointer_cast<w32::IoObject>(object);
    SetLastError(ERROR_SUCCESS);
    return io ? io->FileType() : FILE_TYPE_UNKNOWN;
}

BOOL WINAPI GetFileTime(HANDLE hFile, LPFILETIME lpCreationTime, LPFILETIME lpLastAccessTime,
                        LPFILETIME lpLastWriteTime) {
    auto file = LookupFile(hFile);
    if (!file) return Fail(ERROR_INVALID_HANDLE);
    if (!(file->Access() & FILE_READ_ATTRIBUTES)) return Fail(ERROR_ACCESS_DENIED);
    HostInfo info;
    if (DWORD error = QueryHost(file->Descriptor(), info)) return Fail(error);
    if (lpCreationTime) *lpCreationTime = info.creation;
    if (lpLastAccessTime) *lpLastAccessTime = info.lastAccess;
    if (lpLastWriteTime) *lpLastWriteTime = info.lastWrite;
    return TRUE;
}

BOOL WINAPI SetFileTime(HANDLE hFile, const FILETIME* lpCreationTime, const FILETIME* lpLastAccessTime,
                        const FILETIME* lpLastWriteTime) {
    auto file = LookupFile(hFile);
    if (!file) return Fail(ERROR_INVALID_HANDLE);
    if (!(file->Access() & FILE_WRITE_ATTRIBUTES)) return Fail(ERROR_ACCESS_DENIED);
    // Zero leaves a time alone; all ones asks to stop updating it, which a
    // synchronous handle of this layer never does on its own anyway.
    auto given = [](const FILETIME* time) {
        return time && (time->dwLowDateTime || time->dwHighDateTime) &&
               !(time->dwLowDateTime == 0xFFFFFFFFu && time->dwHighDateTime == 0xFFFFFFFFu);
    };
    for (const FILETIME* time : {lpCreationTime, lpLastAccessTime, lpLastWriteTime})
        if (given(time) && (time->dwHighDateTime & 0x80000000u)) return Fail(ERROR_INVALID_PARAMETER);
    struct timespec times[2];
    const FILETIME* sources[2] = {lpLastAccessTime, lpLastWriteTime};
    bool any = false;
    for (int i = 0; i < 2; ++i) {
        if (given(sources[i])) {
            long long seconds = 0;
            long nanoseconds = 0;
            UnixFromFileTime(*sources[i], seconds, nanoseconds);
            times[i].tv_sec = seconds;
            times[i].tv_nsec = nanoseconds;
            any = true;
        } else {
            times[i].tv_sec = 0;
            times[i].tv_nsec = UTIME_OMIT;
        }
    }
    if (any && futimens(file->Descriptor(), times) != 0) return Fail(ErrorFromErrno(errno));
    if (given(lpCreationTime)) {
        if (DWORD error = StoreCreationTime(file->Descriptor(), *lpCreationTime)) return Fail(error);
    }
    return TRUE;
}

BOOL WINAPI GetFileInformationByHandle(HANDLE hFile, LPBY_HANDLE_FILE_INFORMATION lpFileInformation) {
    auto file = LookupFile(hFile);
    if (!file) return Fail(ERROR_INVALID_HANDLE);
    if (!lpFileInformation) return Fail(ERROR_INVALID_PARAMETER);
    HostInfo info;
    if (DWORD error = QueryHost(file->Descriptor(), info)) return Fail(error);
    lpFileInformation->dwFileAttributes = info.attributes;
    lpFileInformation->ftCreationTime = info.creation;
    lpFileInformation->ftLastAccessTime = info.lastAccess;
    lpFileInformation->ftLastWriteTime = info.lastWrite;
    lpFileInformation->dwVolumeSerialNumber = DWORD(info.device);
    lpFileInformation->nFileSizeHigh = DWORD(info.size >> 32);
    lpFileInformation->nFileSizeLow = DWORD(info.size);
    lpFileInformation->nNumberOfLinks = info.links;
    lpFileInformation->nFileIndexHigh = DWORD(ULONGLONG(info.inode) >> 32);
    lpFileInformation->nFileIndexLow = DWORD(info.inode);
    return TRUE;
}
