#include "kernel32/fileobject.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <map>
#include <mutex>
#include <vector>

#include "kernel32/filehost.h"
#include "kernel32/filepath.h"

namespace w32::files {

namespace {

struct OpenFile {
    std::vector<FileObject*> opens;
    bool deletePending = false;  // a delete-on-close handle has been closed
    std::filesystem::path deletePath;  // the name that handle opened
};

std::mutex gShareLock;
std::map<FileKey, OpenFile> gOpenFiles;

constexpr DWORD kReadRights = FILE_READ_DATA | FILE_EXECUTE;
constexpr DWORD kWriteRights = FILE_WRITE_DATA | FILE_APPEND_DATA;
constexpr DWORD kDataRights = kReadRights | kWriteRights | DELETE;

// Windows' share check: an open that asks for no data access (only
// attributes, say) neither conflicts nor restricts later opens.
bool Conflicts(DWORD heldAccess, DWORD heldShare, DWORD access, DWORD share) {
    if (!(heldAccess & kDataRights) || !(access & kDataRights)) return false;
    if ((access & kReadRights) && !(heldShare & FILE_SHARE_READ)) return true;
    if ((access & kWriteRights) && !(heldShare & FILE_SHARE_WRITE)) return true;
    if ((access & DELETE) && !(heldShare & FILE_SHARE_DELETE)) return true;
    if ((heldAccess & kReadRights) && !(share & FILE_SHARE_READ)) return true;
    if ((heldAccess & kWriteRights) && !(share & FILE_SHARE_WRITE)) return true;
    if ((heldAccess & DELETE) && !(share & FILE_SHARE_DELETE)) return true;
    return false;
}

DWORD CheckLocked(const FileKey& key, DWORD access, DWORD share) {
    auto it = gOpenFiles.find(key);
    if (it == gOpenFiles.end()) return ERROR_SUCCESS;
    if (it->second.deletePending) return ERROR_ACCESS_DENIED;
    for (FileObject* held : it->second.opens)
        if (Conflicts(held->Access(), held->Share(), access, share)) return ERROR_SHARING_VIOLATION;
    return ERROR_SUCCESS;
}

}  // namespace

DWORD MapGenericFileAccess(DWORD access) {
    DWORD mapped = access & ~DWORD(GENERIC_READ | GENERIC_WRITE | GENERIC_EXECUTE | GENERIC_ALL | MAXIMUM_ALLOWED);
    if (access & GENERIC_READ) mapped |= FILE_GENERIC_READ;
    if (access & GENERIC_WRITE) mapped |= FILE_GENERIC_WRITE;
    if (access & GENERIC_EXECUTE) mapped |= FILE_GENERIC_EXECUTE;
    if (access & (GENERIC_ALL | MAXIMUM_ALLOWED)) mapped |= FILE_ALL_ACCESS;
    return mapped;
}

DWORD CheckShareAccess(const FileKey& key, DWORD access, DWORD share) {
    std::lock_guard lock(gShareLock);
    return CheckLocked(key, access, share);
}

DWORD RegisterOpen(FileObject* file, DWORD impliedAccess) {
    std::lock_guard lock(gShareLock);
    if (DWORD error = CheckLocked(file->Key(), file->Access() | impliedAccess, file->Share())) return error;
    gOpenFiles[file->Key()].opens.push_back(file);
    return ERROR_SUCCESS;
}

bool UnregisterOpen(FileObject* file, bool deleteOnClose, std::filesystem::path& toDelete) {
    std::lock_guard lock(gShareLock);
    auto it = gOpenFiles.find(file->Key());
    if (it == gOpenFiles.end()) return false;
    auto& list = it->second.opens;
    auto found = std::find(list.begin(), list.end(), file);
    if (found == list.end()) return false;
    list.erase(found);
    if (deleteOnClose && !it->second.deletePending) {
        it->second.deletePending = true;
        it->second.deletePath = file->HostPath();
    }
    if (!list.empty()) return false;
    bool remove = it->second.deletePending;
    toDelete = std::move(it->second.deletePath);
    gOpenFiles.erase(it);
    return remove;
}

FileObject::FileObject(int fd, FileKey key, DWORD access, DWORD share, bool directory, std::filesystem::path host)
    : fd_(fd), key_(key), access_(access), share_(share), directory_(directory), host_(std::move(host)) {}

FileObject::~FileObject() { Release(); }

void FileObject::OnLastHandleClosed() { Release(); }

void FileObject::Release() {
    if (fd_ < 0) return;
    std::filesystem::path doomed;
    if (UnregisterOpen(this, deleteOnClose_, doomed)) {
        // Delete the file that was opened, not one that has taken its name since.
        struct stat st;
        if (stat(doomed.c_str(), &st) == 0 && st.st_dev == key_.device && st.st_ino == key_.inode) {
            if (directory_) {
                rmdir(doomed.c_str());
            } else {
                unlink(doomed.c_str());
            }
        }
    }
    close(fd_);
    fd_ = -1;
}

DWORD FileObject::Read(void* buffer, DWORD size, DWORD& done) {
    done = 0;
    if (!CanRead()) return ERROR_ACCESS_DENIED;
    if (directory_) return ERROR_INVALID_FUNCTION;
    char* out = static_cast<char*>(buffer);
    while (done < size) {
        ssize_t n = read(fd_, out + done, size - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return ErrorFromErrno(errno);
        }
        if (n == 0) break;  // end of file
        done += DWORD(n);
    }
    return ERROR_SUCCESS;
}

DWORD FileObject::Write(const void* buffer, DWORD size, DWORD& done) {
    done = 0;
    if (!CanWrite()) return ERROR_ACCESS_DENIED;
    if (directory_) return ERROR_INVALID_FUNCTION;
    if (size == 0) return ERROR_SUCCESS;
    const char* in = static_cast<const char*>(buffer);
    while (done < size) {
        ssize_t n = write(fd_, in + done, size - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return ErrorFromErrno(errno);
        }
        done += DWORD(n);
    }
    NoteChanged();
    return ERROR_SUCCESS;
}

DWORD FileObject::Flush() {
    if (!CanWrite()) return ERROR_ACCESS_DENIED;
    if (fdatasync(fd_) != 0 && errno != EINVAL) return ErrorFromErrno(errno);
    return ERROR_SUCCESS;
}

void FileObject::NoteChanged() {
    if (changed_ || directory_) return;
    changed_ = true;
    HostInfo info;
    if (QueryHost(fd_, info) == ERROR_SUCCESS && !(info.attributes & FILE_ATTRIBUTE_ARCHIVE))
        StoreAttributes(fd_, (info.attributes & kSettableAttributes) | FILE_ATTRIBUTE_ARCHIVE);
}

}  // namespace w32::files
