// Creating a folder together with the folders above it.
#include <shlobj.h>
#include <shlwapi.h>

#include <string>

namespace {

int Finish(DWORD error) {
    SetLastError(error);
    return int(error);
}

}  // namespace

int WINAPI SHCreateDirectoryExW(HWND, LPCWSTR pszPath, const SECURITY_ATTRIBUTES* psa) {
    if (!pszPath || !*pszPath || PathIsRelativeW(pszPath)) return Finish(ERROR_BAD_PATHNAME);
    auto attributes = const_cast<LPSECURITY_ATTRIBUTES>(psa);
    if (CreateDirectoryW(pszPath, attributes)) return Finish(ERROR_SUCCESS);
    DWORD error = GetLastError();
    if (error == ERROR_ALREADY_EXISTS) {
        DWORD existing = GetFileAttributesW(pszPath);
        bool folder = existing != INVALID_FILE_ATTRIBUTES && (existing & FILE_ATTRIBUTE_DIRECTORY);
        return Finish(folder ? ERROR_ALREADY_EXISTS : ERROR_FILE_EXISTS);
    }
    if (error != ERROR_PATH_NOT_FOUND) return Finish(error);

    // Make each missing folder from the top down.
    DWORD length = GetFullPathNameW(pszPath, 0, nullptr, nullptr);
    if (length == 0) return Finish(GetLastError());
    std::u16string full(length, u'\0');
    full.resize(GetFullPathNameW(pszPath, length, full.data(), nullptr));
    while (!full.empty() && full.back() == u'\\') full.pop_back();
    size_t start = full.size() >= 2 && full[1] == u':' ? 3 : 0;
    for (size_t end = full.find(u'\\', start); ; end = full.find(u'\\', end + 1)) {
        std::u16string folder = full.substr(0, end);
        if (!CreateDirectoryW(folder.c_str(), attributes) && GetLastError() != ERROR_ALREADY_EXISTS)
            return Finish(GetLastError());
        if (end == std::u16string::npos) break;
    }
    return Finish(ERROR_SUCCESS);
}

int WINAPI SHCreateDirectory(HWND hwnd, LPCWSTR pszPath) { return SHCreateDirectoryExW(hwnd, pszPath, nullptr); }
