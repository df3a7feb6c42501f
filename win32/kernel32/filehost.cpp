#include "kernel32/filehost.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "kernel32/filepath.h"

namespace w32::files {

namespace {

constexpr const char* kAttributesName = "user.korvan.attributes";
constexpr const char* kCreatedName = "user.korvan.created";
constexpr ULONGLONG kUnixEpochAsFileTime = 116444736000000000ull;

// The extended attributes of a file, by path or by descriptor.
struct Target {
    const std::filesystem::path* path = nullptr;
    int fd = -1;

    ssize_t Get(const char* name, char* value, size_t size) const {
        return path ? getxattr(path->c_str(), name, value, size) : fgetxattr(fd, name, value, size);
    }
    int Set(const char* name, const std::string& value) const {
        return path ? setxattr(path->c_str(), name, value.data(), value.size(), 0)
                    : fsetxattr(fd, name, value.data(), value.size(), 0);
    }
    int Remove(const char* name) const { return path ? removexattr(path->c_str(), name) : fremovexattr(fd, name); }
    int Stat(struct statx& st) const {
        unsigned mask = STATX_BASIC_STATS | STATX_BTIME;
        return path ? statx(AT_FDCWD, path->c_str(), 0, mask, &st) : statx(fd, "", AT_EMPTY_PATH, mask, &st);
    }
    int Chmod(mode_t mode) const { return path ? chmod(path->c_str(), mode) : fchmod(fd, mode); }
};

bool ReadNumber(const Target& target, const char* name, ULONGLONG& value) {
    char text[32];
    ssize_t n = target.Get(name, text, sizeof(text) - 1);
    if (n <= 0) return false;
    text[n] = 0;
    char* end = nullptr;
    value = std::strtoull(text, &end, 10);
    return end && *end == 0;
}

FILETIME SplitFileTime(ULONGLONG value) {
    return FILETIME{DWORD(value & 0xFFFFFFFFu), DWORD(value >> 32)};
}

DWORD Query(const Target& target, HostInfo& info) {
    struct statx st;
    if (target.Stat(st) != 0) return ErrorFromErrno(errno);
    info = HostInfo{};
    info.directory = S_ISDIR(st.stx_mode);
    info.size = info.directory ? 0 : st.stx_size;
    info.device = makedev(st.stx_dev_major, st.stx_dev_minor);
    info.inode = st.stx_ino;
    info.links = st.stx_nlink;
    info.lastAccess = FileTimeFromUnix(st.stx_atime.tv_sec, st.stx_atime.tv_nsec);
    info.lastWrite = FileTimeFromUnix(st.stx_mtime.tv_sec, st.stx_mtime.tv_nsec);
    ULONGLONG created = 0;
    if (ReadNumber(target, kCreatedName, created)) {
        info.creation = SplitFileTime(created);
    } else if (st.stx_mask & STATX_BTIME) {
        info.creation = FileTimeFromUnix(st.stx_btime.tv_sec, st.stx_btime.tv_nsec);
    } else {
        info.creation = info.lastWrite;
    }
    ULONGLONG stored = 0;
    DWORD kept = ReadNumber(target, kAttributesName, stored) ? DWORD(stored) & kSettableAttributes
                                                             : (info.directory ? 0 : FILE_ATTRIBUTE_ARCHIVE);
    if (info.directory) {
        info.attributes = FILE_ATTRIBUTE_DIRECTORY | kept;
    } else {
        kept &= ~FILE_ATTRIBUTE_READONLY;
        if (!(st.stx_mode & S_IWUSR)) kept |= FILE_ATTRIBUTE_READONLY;
        info.attributes = kept ? kept : FILE_ATTRIBUTE_NORMAL;
    }
    return ERROR_SUCCESS;
}

DWORD Store(const Target& target, DWORD attributes) {
    struct statx st;
    if (target.Stat(st) != 0) return ErrorFromErrno(errno);
    bool directory = S_ISDIR(st.stx_mode);
    attributes &= kSettableAttributes;
    DWORD kept = attributes;
    if (!directory) {
        // Read-only is the owner write bit; the rest goes to the attribute record.
        mode_t mode = st.stx_mode & 07777;
        mode_t wanted = (attributes & FILE_ATTRIBUTE_READONLY) ? mode & ~mode_t(0222) : mode | S_IWUSR;
        if (wanted != mode && target.Chmod(wanted) != 0) return ErrorFromErrno(errno);
        kept &= ~FILE_ATTRIBUTE_READONLY;
    }
    DWORD byDefault = directory ? 0 : FILE_ATTRIBUTE_ARCHIVE;
    if (kept == byDefault) {
        if (target.Remove(kAttributesName) != 0 && errno != ENODATA && errno != ENOTSUP)
            return ErrorFromErrno(errno);
        return ERROR_SUCCESS;
    }
    if (target.Set(kAttributesName, std::to_string(kept)) != 0) return ErrorFromErrno(errno);
    return ERROR_SUCCESS;
}

}  // namespace

DWORD QueryHost(const std::filesystem::path& host, HostInfo& info) { return Query(Target{&host, -1}, info); }
DWORD QueryHost(int fd, HostInfo& info) { return Query(Target{nullptr, fd}, info); }
DWORD StoreAttributes(const std::filesystem::path& host, DWORD attributes) {
    return Store(Target{&host, -1}, attributes);
}
DWORD StoreAttributes(int fd, DWORD attributes) { return Store(Target{nullptr, fd}, attributes); }

DWORD StoreCreationTime(int fd, const FILETIME& time) {
    ULONGLONG value = (ULONGLONG(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    if (Target{nullptr, fd}.Set(kCreatedName, std::to_string(value)) != 0) return ErrorFromErrno(errno);
    return ERROR_SUCCESS;
}

FILETIME FileTimeFromUnix(long long seconds, long nanoseconds) {
    long long value = seconds * 10000000ll + nanoseconds / 100 + (long long)kUnixEpochAsFileTime;
    if (value < 0) value = 0;
    return SplitFileTime(ULONGLONG(value));
}

void UnixFromFileTime(const FILETIME& time, long long& seconds, long& nanoseconds) {
    ULONGLONG value = (ULONGLONG(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    if (value >= kUnixEpochAsFileTime) {
        ULONGLONG since = value - kUnixEpochAsFileTime;
        seconds = (long long)(since / 10000000ull);
        nanoseconds = long(since % 10000000ull) * 100;
    } else {
        ULONGLONG before = kUnixEpochAsFileTime - value;
        seconds = -(long long)((before + 9999999ull) / 10000000ull);
        nanoseconds = long((ULONGLONG(-seconds) * 10000000ull - before) * 100);
    }
}

}  // namespace w32::files
