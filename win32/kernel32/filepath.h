// Where a path given to a file function lies: the checks every file function
// makes on a caller's path, and the mapping of host errors to Win32 codes.
#pragma once
#include <windows.h>

#include <filesystem>
#include <string>
#include <string_view>

namespace w32::files {

// The Win32 error for an errno value of the host.
DWORD ErrorFromErrno(int error);

enum class Wildcards { Refuse, AllowInLastName };

// ERROR_INVALID_NAME when a name of the path holds < > : " | or a control
// character, or * ? where they are not allowed; else 0.
DWORD CheckNameCharacters(std::u16string_view path, Wildcards wildcards);

// A caller's path on the machine's drive.
struct ApiPath {
    DWORD error = ERROR_SUCCESS;     // set when the path cannot name a file of the drive
    std::u16string windows;          // absolute; existing names in their spelling on disk
    std::filesystem::path host;      // where it is, or would be, on the host
    bool exists = false;
    bool trailingSeparator = false;  // the caller's path ended in a separator
    bool systemFile = false;         // a protected system file (IsProtectedSystemFile)
};

// Checks and resolves a path: ERROR_INVALID_PARAMETER for null,
// ERROR_PATH_NOT_FOUND for an empty path, another drive, a missing parent
// folder or a machine without a drive, ERROR_BAD_NETPATH for UNC paths,
// ERROR_FILE_NOT_FOUND for pipe and device names (which are not files),
// ERROR_INVALID_NAME for bad characters. A path whose parent exists resolves
// with error 0 whether or not it exists itself.
ApiPath ResolveApiPath(LPCWSTR path, Wildcards wildcards = Wildcards::Refuse);

// A file of the drive that is a symbolic link leading out of the drive is a
// file of the host that the machine shows without copying it (the standard
// fonts). A write through the link would change the host's own file, so the
// layer protects it as Windows protects its system files: it can be read,
// found and copied elsewhere (the copy is an ordinary file), but it cannot be
// opened for writing, cut, deleted, renamed, overwritten, or given other
// attributes or times.
bool IsProtectedSystemFile(const std::filesystem::path& host);

// The check every call that changes a file by name makes: ERROR_ACCESS_DENIED
// when `path` is a protected system file and `rights` (the access Windows
// checks for the change: FILE_WRITE_DATA to write or cut it, DELETE to
// delete, rename or replace it, FILE_WRITE_ATTRIBUTES for its attributes and
// times) would change it; else 0.
DWORD CheckSystemFile(const ApiPath& path, DWORD rights);

// True for "C:\".
bool IsDriveRoot(std::u16string_view windowsPath);

// The last name of a normalized path (empty for a drive root).
std::u16string_view LastName(std::u16string_view windowsPath);

// True when the machine's current directory is this folder or lies inside
// it: the process holds it open, so it cannot be removed or moved.
bool HoldsCurrentDirectory(std::u16string_view windowsFolder);

// Copies text out under the usual size protocol: when it fits (terminator
// included) returns its length; else returns the size needed including the
// terminator and leaves the buffer alone.
DWORD CopyOut(std::u16string_view text, LPWSTR buffer, DWORD size);

}  // namespace w32::files
