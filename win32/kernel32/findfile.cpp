// Searching a folder: FindFirstFileW, FindNextFileW, FindClose.
//
// The search takes its list when it starts: names that match the pattern, in
// the order of their upper-cased names (the order NTFS gives), with "." and
// ".." first in a folder other than the root. A search handle lives in the
// kernel's handle table so that a stale or foreign handle is refused.
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

#include "kernel32/filehost.h"
#include "kernel32/filepath.h"
#include "kernel32/handles.h"
#include "kernel32/wildcard.h"
#include "machine/paths.h"
#include "machine/unicode.h"

using namespace w32::files;

namespace {

struct FoundEntry {
    std::u16string name;
    HostInfo info;
};

class FindObject : public w32::KernelObject {
public:
    explicit FindObject(std::vector<FoundEntry> entries) : entries_(std::move(entries)) {}

    // False when the list is used up.
    bool Next(FoundEntry& entry) {
        std::lock_guard lock(lock_);
        if (next_ >= entries_.size()) return false;
        entry = entries_[next_++];
        return true;
    }

private:
    std::mutex lock_;
    std::vector<FoundEntry> entries_;
    size_t next_ = 0;
};

bool FoldedLess(const std::u16string& a, const std::u16string& b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char16_t x, char16_t y) {
        return w32::FoldNameChar(x) < w32::FoldNameChar(y);
    });
}

void Fill(const FoundEntry& entry, WIN32_FIND_DATAW& data) {
    std::memset(&data, 0, sizeof(data));
    data.dwFileAttributes = entry.info.attributes;
    data.ftCreationTime = entry.info.creation;
    data.ftLastAccessTime = entry.info.lastAccess;
    data.ftLastWriteTime = entry.info.lastWrite;
    data.nFileSizeHigh = DWORD(entry.info.size >> 32);
    data.nFileSizeLow = DWORD(entry.info.size);
    size_t length = std::min<size_t>(entry.name.size(), MAX_PATH - 1);
    entry.name.copy(data.cFileName, length);
}

// Lists the matching entries of a folder; 0 or a Win32 error.
DWORD Search(std::u16string_view pattern, std::vector<FoundEntry>& found) {
    size_t separator = pattern.find_last_of(u"\\/");
    // The folder part: up to the last separator, a bare drive ("C:*" is the
    // current directory of that drive), or else the current directory.
    size_t split = separator != std::u16string_view::npos          ? separator + 1
                   : pattern.size() >= 2 && pattern[1] == u':' ? 2
                                                                   : 0;
    std::u16string folder = split ? std::u16string(pattern.substr(0, split)) : std::u16string(1, u'.');
    std::u16string_view namePattern = pattern.substr(split);
    if (namePattern.empty()) return ERROR_FILE_NOT_FOUND;

    ApiPath path = ResolveApiPath(folder.c_str());
    if (path.error) return path.error;
    if (!path.exists) return ERROR_PATH_NOT_FOUND;
    HostInfo folderInfo;
    if (DWORD error = QueryHost(path.host, folderInfo)) return error;
    if (!folderInfo.directory) return ERROR_DIRECTORY;

    std::error_code ec;
    std::vector<FoundEntry> entries;
    for (const auto& item : std::filesystem::directory_iterator(path.host, ec)) {
        std::u16string name = w32::FromUtf8(item.path().filename().string());
        if (!MatchesPattern(name, namePattern)) continue;
        FoundEntry entry{name, {}};
        if (QueryHost(item.path(), entry.info) != ERROR_SUCCESS) continue;  // gone since the listing
        entries.push_back(std::move(entry));
    }
    if (ec) return ErrorFromErrno(ec.value());
    std::sort(entries.begin(), entries.end(),
              [](const FoundEntry& a, const FoundEntry& b) { return FoldedLess(a.name, b.name); });

    if (!IsDriveRoot(path.windows)) {
        if (MatchesPattern(u".", namePattern)) found.push_back({u".", folderInfo});
        HostInfo parentInfo;
        if (MatchesPattern(u"..", namePattern) && QueryHost(path.host.parent_path(), parentInfo) == ERROR_SUCCESS)
            found.push_back({u"..", parentInfo});
    }
    for (auto& entry : entries) found.push_back(std::move(entry));
    return found.empty() ? DWORD(ERROR_FILE_NOT_FOUND) : DWORD(ERROR_SUCCESS);
}

}  // namespace

HANDLE WINAPI FindFirstFileW(LPCWSTR lpFileName, LPWIN32_FIND_DATAW lpFindFileData) {
    if (!lpFileName || !lpFindFileData) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    std::u16string_view pattern(lpFileName);
    DWORD error = ERROR_SUCCESS;
    if (pattern.empty()) {
        error = ERROR_FILE_NOT_FOUND;
    } else if (w32::ClassifyPath(pattern) != w32::PathKind::File) {
        error = ResolveApiPath(lpFileName).error;
    } else {
        error = CheckNameCharacters(pattern, Wildcards::AllowInLastName);
    }
    std::vector<FoundEntry> found;
    if (!error) error = Search(pattern, found);
    if (error) {
        SetLastError(error);
        return INVALID_HANDLE_VALUE;
    }
    auto search = std::make_shared<FindObject>(std::move(found));
    FoundEntry first;
    search->Next(first);
    Fill(first, *lpFindFileData);
    SetLastError(ERROR_SUCCESS);
    return w32::InsertHandle(std::move(search));
}

BOOL WINAPI FindNextFileW(HANDLE hFindFile, LPWIN32_FIND_DATAW lpFindFileData) {
    auto search = w32::LookupHandleAs<FindObject>(hFindFile);
    if (!search) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (!lpFindFileData) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    FoundEntry entry;
    if (!search->Next(entry)) {
        SetLastError(ERROR_NO_MORE_FILES);
        return FALSE;
    }
    Fill(entry, *lpFindFileData);
    return TRUE;
}

BOOL WINAPI FindClose(HANDLE hFindFile) {
    if (!w32::LookupHandleAs<FindObject>(hFindFile) || !w32::RemoveHandle(hFindFile)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}
