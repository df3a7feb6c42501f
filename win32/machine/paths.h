// Windows paths on the machine's drive. A Windows path (drive letter,
// backslashes, any case) maps onto a folder under the machine's root; lookup
// is case-insensitive and gives back the spelling on disk.
#pragma once
#include <filesystem>
#include <string>
#include <string_view>

#include "winerror.h"

namespace w32 {

enum class PathKind {
    File,        // a path on a drive
    Pipe,        // \\.\pipe\name
    Device,      // \\.\name or \\?\usb#... device paths
    Network,     // \\server\share\...
};

// A Windows path made absolute and tidy: forward slashes become backslashes,
// doubled separators collapse, "." and ".." are resolved, trailing dots and
// spaces of a name are dropped, \\?\ is removed. Relative paths start from
// the given current directory. Returns an empty string for an empty path.
std::u16string NormalizeWindowsPath(std::u16string_view path, std::u16string_view currentDirectory);

PathKind ClassifyPath(std::u16string_view path);

// The host path of a normalized Windows path.
struct ResolvedPath {
    std::filesystem::path host;      // where it is (or would be) on disk
    std::u16string windows;          // normalized, in the spelling found on disk
    bool exists = false;             // the full path exists
    DWORD error = ERROR_SUCCESS;     // ERROR_PATH_NOT_FOUND when a parent folder is missing or the drive is unknown
};

// Resolves against a drive root (the host folder holding drive C:). A path
// whose parent folders exist resolves with error 0, whether or not the last
// component exists; otherwise ERROR_PATH_NOT_FOUND.
ResolvedPath ResolveOnDrive(const std::filesystem::path& driveRoot, std::u16string_view normalizedPath);

// Case-insensitive equality of two names as the file system compares them.
bool NamesEqual(std::u16string_view a, std::u16string_view b);
char16_t FoldNameChar(char16_t c);

}  // namespace w32
