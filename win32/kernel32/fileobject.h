// An open file or folder: a host descriptor with the access and share mode it
// was opened with. The share modes of all open files of the process are kept
// here, so that an open, a delete or a rename that Windows would refuse
// because of another handle is refused the same way.
#pragma once
#include <sys/types.h>
#include <windows.h>

#include <filesystem>
#include <string>

#include "kernel32/iobject.h"

namespace w32::files {

// The file's identity on the host.
struct FileKey {
    dev_t device = 0;
    ino_t inode = 0;
    bool operator<(const FileKey& other) const {
        return device != other.device ? device < other.device : inode < other.inode;
    }
    bool operator==(const FileKey& other) const { return device == other.device && inode == other.inode; }
};

// GENERIC_* rights turned into the rights of a file they stand for.
DWORD MapGenericFileAccess(DWORD access);

class FileObject : public IoObject {
public:
    FileObject(int fd, FileKey key, DWORD access, DWORD share, bool directory, std::filesystem::path host);
    ~FileObject() override;

    DWORD Read(void* buffer, DWORD size, DWORD& done) override;
    DWORD Write(const void* buffer, DWORD size, DWORD& done) override;
    DWORD Flush() override;
    DWORD FileType() const override { return FILE_TYPE_DISK; }
    void OnLastHandleClosed() override;

    int Descriptor() const { return fd_; }
    DWORD Access() const { return access_; }
    DWORD Share() const { return share_; }
    bool IsDirectory() const { return directory_; }
    const FileKey& Key() const { return key_; }
    const std::filesystem::path& HostPath() const { return host_; }
    void SetDeleteOnClose() { deleteOnClose_ = true; }
    bool CanRead() const { return access_ & (FILE_READ_DATA | FILE_EXECUTE); }
    bool CanWrite() const { return access_ & (FILE_WRITE_DATA | FILE_APPEND_DATA); }
    // Marks the file changed: Windows sets the archive attribute on a write.
    void NoteChanged();

private:
    void Release();

    int fd_;
    FileKey key_;
    DWORD access_;
    DWORD share_;
    bool directory_;
    bool deleteOnClose_ = false;
    bool changed_ = false;
    std::filesystem::path host_;
};

// Adds an open to the share table, or returns ERROR_SHARING_VIOLATION when it
// conflicts with a handle already open on the same file (ERROR_ACCESS_DENIED
// when the file is waiting to be deleted). `impliedAccess` joins the open's
// own access for the check only: an open that overwrites the file is checked
// as a writer (FILE_WRITE_DATA) whatever access it asked for, but the handle
// it gives restricts later opens by its own access alone.
DWORD RegisterOpen(FileObject* file, DWORD impliedAccess = 0);
// Removes an open. A handle opened with FILE_FLAG_DELETE_ON_CLOSE marks its
// file for deletion; the file goes when its last open goes, whichever handle
// that is. Returns true, with the path to delete, when the caller is to
// delete the file now.
bool UnregisterOpen(FileObject* file, bool deleteOnClose, std::filesystem::path& toDelete);
// Whether an open with this access and share mode would conflict (0 or ERROR_SHARING_VIOLATION).
DWORD CheckShareAccess(const FileKey& key, DWORD access, DWORD share);

}  // namespace w32::files
