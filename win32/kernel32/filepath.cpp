#include "kernel32/filepath.h"

#include <cerrno>
#include <system_error>

#include "machine/machine.h"
#include "machine/paths.h"

namespace w32::files {

namespace {

bool IsSeparator(char16_t c) { return c == u'\\' || c == u'/'; }

}  // namespace

DWORD ErrorFromErrno(int error) {
    switch (error) {
        case 0:
            return ERROR_SUCCESS;
        case ENOENT:
            return ERROR_FILE_NOT_FOUND;
        case ENOTDIR:
        case ELOOP:
            return ERROR_PATH_NOT_FOUND;
        case EACCES:
        case EPERM:
        case EROFS:
        case EISDIR:
            return ERROR_ACCESS_DENIED;
        case EEXIST:
            return ERROR_ALREADY_EXISTS;
        case ENOTEMPTY:
            return ERROR_DIR_NOT_EMPTY;
        case ENOSPC:
        case EDQUOT:
        case EFBIG:
            return ERROR_DISK_FULL;
        case EMFILE:
        case ENFILE:
            return ERROR_TOO_MANY_OPEN_FILES;
        case ENAMETOOLONG:
            return ERROR_FILENAME_EXCED_RANGE;
        case EBADF:
            return ERROR_INVALID_HANDLE;
        case EINVAL:
            return ERROR_INVALID_PARAMETER;
        case EXDEV:
            return ERROR_NOT_SAME_DEVICE;
        case ENOMEM:
            return ERROR_NOT_ENOUGH_MEMORY;
        case EBUSY:
        case ETXTBSY:
            return ERROR_SHARING_VIOLATION;
        case ENOTSUP:
            return ERROR_NOT_SUPPORTED;
        case EIO:
            return ERROR_IO_DEVICE;
        default:
            return ERROR_GEN_FAILURE;
    }
}

DWORD CheckNameCharacters(std::u16string_view path, Wildcards wildcards) {
    std::u16string_view rest = path;
    if (rest.size() >= 4 && IsSeparator(rest[0]) && IsSeparator(rest[1]) && rest[2] == u'?' && IsSeparator(rest[3]))
        rest.remove_prefix(4);
    if (rest.size() >= 2 && rest[1] == u':') rest.remove_prefix(2);
    size_t lastSeparator = rest.find_last_of(u"\\/");
    size_t lastNameStart = lastSeparator == std::u16string_view::npos ? 0 : lastSeparator + 1;
    for (size_t i = 0; i < rest.size(); ++i) {
        char16_t c = rest[i];
        if (c < 32 || c == u'<' || c == u'>' || c == u':' || c == u'"' || c == u'|') return ERROR_INVALID_NAME;
        if ((c == u'*' || c == u'?') && (wildcards == Wildcards::Refuse || i < lastNameStart))
            return ERROR_INVALID_NAME;
    }
    return ERROR_SUCCESS;
}

ApiPath ResolveApiPath(LPCWSTR path, Wildcards wildcards) {
    ApiPath result;
    if (!path) {
        result.error = ERROR_INVALID_PARAMETER;
        return result;
    }
    std::u16string_view raw(path);
    if (raw.empty()) {
        result.error = ERROR_PATH_NOT_FOUND;
        return result;
    }
    switch (ClassifyPath(raw)) {
        case PathKind::Pipe:
        case PathKind::Device:
            result.error = ERROR_FILE_NOT_FOUND;
            return result;
        case PathKind::Network:
            result.error = ERROR_BAD_NETPATH;
            return result;
        case PathKind::File:
            break;
    }
    if (DWORD error = CheckNameCharacters(raw, wildcards)) {
        result.error = error;
        return result;
    }
    Machine& machine = Machine::Current();
    if (!machine.HasDrive()) {
        result.error = ERROR_PATH_NOT_FOUND;
        return result;
    }
    result.trailingSeparator = IsSeparator(raw.back());
    std::u16string normalized = NormalizeWindowsPath(raw, machine.WorkingDirectory());
    ResolvedPath resolved = ResolveOnDrive(machine.DriveRoot(), normalized);
    result.error = resolved.error;
    result.windows = std::move(resolved.windows);
    result.host = std::move(resolved.host);
    result.exists = resolved.exists;
    result.systemFile = result.exists && IsProtectedSystemFile(result.host);
    return result;
}

bool IsProtectedSystemFile(const std::filesystem::path& host) {
    std::error_code ec;
    if (!std::filesystem::is_symlink(host, ec)) return false;
    const std::filesystem::path drive = Machine::Current().DriveRoot();
    if (drive.empty()) return false;
    const std::filesystem::path root = std::filesystem::weakly_canonical(drive, ec);
    if (ec) return false;
    // A link that cannot be followed leads nowhere on the drive either.
    const std::filesystem::path target = std::filesystem::weakly_canonical(host, ec);
    if (ec) return true;
    auto rootPart = root.begin();
    for (auto targetPart = target.begin(); rootPart != root.end(); ++rootPart, ++targetPart)
        if (targetPart == target.end() || *targetPart != *rootPart) return true;
    return false;
}

DWORD CheckSystemFile(const ApiPath& path, DWORD rights) {
    constexpr DWORD kChangingRights =
        FILE_WRITE_DATA | FILE_APPEND_DATA | FILE_WRITE_ATTRIBUTES | FILE_WRITE_EA | DELETE | WRITE_DAC | WRITE_OWNER;
    return path.systemFile && (rights & kChangingRights) ? DWORD(ERROR_ACCESS_DENIED) : DWORD(ERROR_SUCCESS);
}

bool IsDriveRoot(std::u16string_view windowsPath) { return windowsPath.size() == 3 && windowsPath[1] == u':'; }

std::u16string_view LastName(std::u16string_view windowsPath) {
    if (IsDriveRoot(windowsPath)) return {};
    size_t slash = windowsPath.rfind(u'\\');
    return slash == std::u16string_view::npos ? windowsPath : windowsPath.substr(slash + 1);
}

bool HoldsCurrentDirectory(std::u16string_view windowsFolder) {
    std::u16string current = Machine::Current().WorkingDirectory();
    if (current.size() < windowsFolder.size()) return false;
    if (!NamesEqual(std::u16string_view(current).substr(0, windowsFolder.size()), windowsFolder)) return false;
    return current.size() == windowsFolder.size() || current[windowsFolder.size()] == u'\\' ||
           IsDriveRoot(windowsFolder);
}

DWORD CopyOut(std::u16string_view text, LPWSTR buffer, DWORD size) {
    if (!buffer || size <= text.size()) return DWORD(text.size() + 1);
    text.copy(buffer, text.size());
    buffer[text.size()] = 0;
    return DWORD(text.size());
}

}  // namespace w32::files
