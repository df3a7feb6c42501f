// Path text: joining, splitting and tidying paths without looking at the disk.
#include <shlwapi.h>

#include <string>
#include <vector>

namespace {

size_t Length(LPCWSTR s) {
    size_t n = 0;
    while (s[n]) ++n;
    return n;
}

bool IsDriveLetter(WCHAR c) { return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z'); }

// Writes text into a MAX_PATH buffer; false when it does not fit.
bool Store(LPWSTR buffer, const std::u16string& text) {
    if (text.size() >= MAX_PATH) return false;
    text.copy(buffer, text.size());
    buffer[text.size()] = 0;
    return true;
}

// The root of a path: "C:\", "C:", "\\server\share", "\" or nothing.
std::u16string RootOf(std::u16string_view path) {
    if (path.size() >= 2 && IsDriveLetter(path[0]) && path[1] == u':')
        return std::u16string(path.substr(0, path.size() >= 3 && path[2] == u'\\' ? 3 : 2));
    if (path.size() >= 2 && path[0] == u'\\' && path[1] == u'\\') {
        size_t server = path.find(u'\\', 2);
        if (server == std::u16string_view::npos) return std::u16string(path);
        size_t share = path.find(u'\\', server + 1);
        return std::u16string(path.substr(0, share));
    }
    if (!path.empty() && path[0] == u'\\') return u"\\";
    return {};
}

// "." and ".." resolved; a trailing backslash kept.
std::u16string Canonical(std::u16string_view path) {
    if (path.empty()) return u"\\";
    std::u16string root;
    std::u16string_view rest = path;
    if (path.size() >= 2 && IsDriveLetter(path[0]) && path[1] == u':') {
        root = RootOf(path);
        rest = path.substr(root.size());
    } else if (path.size() >= 2 && path[0] == u'\\' && path[1] == u'\\') {
        root = u"\\\\";
        rest = path.substr(2);
    } else if (path[0] == u'\\') {
        root = u"\\";
        rest = path.substr(1);
    }
    std::vector<std::u16string_view> parts;
    bool trailing = !rest.empty() && rest.back() == u'\\';
    size_t start = 0;
    while (start <= rest.size()) {
        size_t end = rest.find(u'\\', start);
        if (end == std::u16string_view::npos) end = rest.size();
        std::u16string_view part = rest.substr(start, end - start);
        if (part == u"..") {
            if (!parts.empty()) parts.pop_back();
        } else if (part != u"." && !(part.empty() && end == rest.size())) {
            parts.push_back(part);
        }
        start = end + 1;
    }
    std::u16string result = root;
    for (size_t i = 0; i < parts.size(); ++i) {
        if (i) result += u'\\';
        result += parts[i];
    }
    if (trailing && !parts.empty()) result += u'\\';
    if (result.empty()) result = u"\\";
    return result;
}

}  // namespace

BOOL WINAPI PathIsRelativeW(LPCWSTR pszPath) {
    if (!pszPath || !*pszPath) return TRUE;
    if (pszPath[0] == u'\\') return FALSE;
    return pszPath[1] == u':' ? FALSE : TRUE;
}

BOOL WINAPI PathIsUNCW(LPCWSTR pszPath) {
    if (!pszPath || pszPath[0] != u'\\' || pszPath[1] != u'\\') return FALSE;
    // \\?\C:\... is a local path in long form; \\?\UNC\... is a network one.
    if (pszPath[2] == u'?') return std::u16string_view(pszPath).substr(0, 8) == u"\\\\?\\UNC\\" ? TRUE : FALSE;
    return TRUE;
}

BOOL WINAPI PathIsRootW(LPCWSTR pszPath) {
    if (!pszPath || !*pszPath) return FALSE;
    std::u16string_view path(pszPath);
    if (path == u"\\") return TRUE;
    if (path.size() == 3 && IsDriveLetter(path[0]) && path[1] == u':' && path[2] == u'\\') return TRUE;
    if (path.size() > 2 && path[0] == u'\\' && path[1] == u'\\') {
        // \\server or \\server\share, with nothing after the share.
        size_t server = path.find(u'\\', 2);
        if (server == std::u16string_view::npos) return TRUE;
        size_t share = path.find(u'\\', server + 1);
        return share == std::u16string_view::npos || share + 1 == path.size() ? TRUE : FALSE;
    }
    return FALSE;
}

BOOL WINAPI PathCanonicalizeW(LPWSTR pszBuf, LPCWSTR pszPath) {
    if (!pszBuf || !pszPath) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (!Store(pszBuf, Canonical(pszPath))) {
        pszBuf[0] = 0;
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return FALSE;
    }
    return TRUE;
}

LPWSTR WINAPI PathCombineW(LPWSTR pszDest, LPCWSTR pszDir, LPCWSTR pszFile) {
    if (!pszDest) return nullptr;
    if (!pszDir && !pszFile) {
        pszDest[0] = 0;
        return nullptr;
    }
    std::u16string joined;
    bool noDir = !pszDir || !*pszDir;
    if ((!pszFile || !*pszFile) && pszDir) {
        joined = pszDir;
    } else if (noDir || !PathIsRelativeW(pszFile)) {
        if (noDir || pszFile[0] != u'\\' || PathIsUNCW(pszFile)) {
            joined = pszFile;
        } else {
            // "\name" goes to the root of the folder.
            joined = RootOf(pszDir);
            joined += (!joined.empty() && joined.back() == u'\\') ? pszFile + 1 : pszFile;
        }
    } else {
        joined = pszDir;
        if (joined.back() != u'\\') joined += u'\\';
        joined += pszFile;
    }
    if (!Store(pszDest, Canonical(joined))) {
        pszDest[0] = 0;
        return nullptr;
    }
    return pszDest;
}

BOOL WINAPI PathAppendW(LPWSTR pszPath, LPCWSTR pszMore) {
    if (!pszPath || !pszMore) return FALSE;
    if (!PathIsUNCW(pszMore))
        while (*pszMore == u'\\') ++pszMore;
    WCHAR combined[MAX_PATH];
    if (!PathCombineW(combined, pszPath, pszMore)) return FALSE;
    Store(pszPath, combined);
    return TRUE;
}

BOOL WINAPI PathRemoveFileSpecW(LPWSTR pszPath) {
    if (!pszPath) return FALSE;
    WCHAR* cut = pszPath;
    WCHAR* p = pszPath;
    // A leading backslash (two for UNC) stays.
    if (*p == u'\\') cut = ++p;
    if (*p == u'\\') cut = ++p;
    while (*p) {
        if (*p == u'\\') {
            cut = p;
        } else if (*p == u':') {
            // After a drive, the root backslash stays too.
            cut = ++p;
            if (*p == u'\\') cut = ++p;
            continue;
        }
        ++p;
    }
    if (!*cut) return FALSE;
    *cut = 0;
    return TRUE;
}

LPWSTR WINAPI PathFindFileNameW(LPCWSTR pszPath) {
    if (!pszPath) return nullptr;
    LPCWSTR name = pszPath;
    for (LPCWSTR p = pszPath; *p; ++p) {
        if ((*p == u'\\' || *p == u'/' || *p == u':') && p[1] && p[1] != u'\\' && p[1] != u'/') name = p + 1;
    }
    return const_cast<LPWSTR>(name);
}

LPWSTR WINAPI PathFindExtensionW(LPCWSTR pszPath) {
    if (!pszPath) return nullptr;
    LPCWSTR dot = nullptr;
    LPCWSTR p = pszPath;
    for (; *p; ++p) {
        if (*p == u'\\' || *p == u' ') {
            dot = nullptr;
        } else if (*p == u'.') {
            dot = p;
        }
    }
    return const_cast<LPWSTR>(dot ? dot : p);
}

void WINAPI PathRemoveExtensionW(LPWSTR pszPath) {
    if (pszPath) *PathFindExtensionW(pszPath) = 0;
}

LPWSTR WINAPI PathAddBackslashW(LPWSTR pszPath) {
    if (!pszPath) return nullptr;
    size_t length = Length(pszPath);
    if (length >= MAX_PATH - 1) return nullptr;
    if (length && pszPath[length - 1] != u'\\') {
        pszPath[length++] = u'\\';
        pszPath[length] = 0;
    }
    return pszPath + length;
}

LPWSTR WINAPI PathRemoveBackslashW(LPWSTR pszPath) {
    if (!pszPath) return nullptr;
    size_t length = Length(pszPath);
    if (length == 0) return pszPath;
    LPWSTR last = pszPath + length - 1;
    if (*last == u'\\' && !PathIsRootW(pszPath)) *last = 0;
    return last;
}

void WINAPI PathStripPathW(LPWSTR pszPath) {
    if (!pszPath) return;
    LPWSTR name = PathFindFileNameW(pszPath);
    if (name == pszPath) return;
    size_t length = Length(name);
    for (size_t i = 0; i <= length; ++i) pszPath[i] = name[i];
}
