// What the layer keeps about a file or folder on the host: its Windows
// attributes and times.
//
// Read-only on a file is the host's owner write bit, so that a read-only file
// stays read-only for host tools too. Everything else (hidden, system,
// archive, read-only on a folder, the creation time) lives in extended
// attributes of the host file ("user.korvan.*"), which follow the file when it
// is renamed and go with it when it is deleted. A file without the attribute
// record has the archive attribute, as a new Windows file does. On a host
// file system without extended attributes, only the default attributes and
// read-only can be set.
#pragma once
#include <sys/types.h>
#include <windows.h>

#include <filesystem>

namespace w32::files {

// Attributes SetFileAttributesW can change.
constexpr DWORD kSettableAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                                      FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_OFFLINE |
                                      FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

struct HostInfo {
    bool directory = false;
    DWORD attributes = 0;  // as GetFileAttributesW reports them
    ULONGLONG size = 0;
    FILETIME creation{};
    FILETIME lastAccess{};
    FILETIME lastWrite{};
    dev_t device = 0;
    ino_t inode = 0;
    DWORD links = 1;
};

// 0, or the Win32 error (ERROR_FILE_NOT_FOUND when it does not exist).
DWORD QueryHost(const std::filesystem::path& host, HostInfo& info);
DWORD QueryHost(int fd, HostInfo& info);

// Stores the settable attributes (others are ignored; FILE_ATTRIBUTE_NORMAL
// alone clears them). Returns 0 or a Win32 error.
DWORD StoreAttributes(const std::filesystem::path& host, DWORD attributes);
DWORD StoreAttributes(int fd, DWORD attributes);

// Records the creation time of a file (the host keeps none that can be set).
DWORD StoreCreationTime(int fd, const FILETIME& time);

// Conversions between host times and FILETIME.
FILETIME FileTimeFromUnix(long long seconds, long nanoseconds);
void UnixFromFileTime(const FILETIME& time, long long& seconds, long& nanoseconds);

}  // namespace w32::files
