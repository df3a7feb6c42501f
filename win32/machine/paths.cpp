#include "machine/paths.h"

#include <system_error>
#include <vector>

#include "machine/unicode.h"

namespace w32 {

namespace {

bool IsSeparator(char16_t c) { return c == u'\\' || c == u'/'; }

std::vector<std::u16string> SplitComponents(std::u16string_view rest) {
    std::vector<std::u16string> parts;
    std::u16string current;
    for (char16_t c : rest) {
        if (IsSeparator(c)) {
            if (!current.empty()) parts.push_back(std::move(current));
            current.clear();
        } else {
            current += c;
        }
    }
    if (!current.empty()) parts.push_back(std::move(current));
    return parts;
}

}  // namespace

char16_t FoldNameChar(char16_t c) {
    if (c >= u'a' && c <= u'z') return char16_t(c - 32);
    // Latin-1 letters, except the sharp s and the division sign.
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return char16_t(c - 32);
    if (c == 0xFF) return 0x178;
    // Greek and Cyrillic basic blocks.
    if (c >= 0x3B1 && c <= 0x3C9 && c != 0x3C2) return char16_t(c - 32);
    if (c >= 0x430 && c <= 0x44F) return char16_t(c - 32);
    if (c >= 0x450 && c <= 0x45F) return char16_t(c - 80);
    // Latin Extended-A pairs.
    if (c >= 0x100 && c <= 0x17F && (c & 1) && c != 0x131 && c != 0x138 && c != 0x149 && !(c >= 0x139 && c <= 0x148) &&
        !(c >= 0x179 && c <= 0x17E))
        return char16_t(c - 1);
    if (((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E)) && !(c & 1)) return char16_t(c - 1);
    if (c >= 0xFF41 && c <= 0xFF5A) return char16_t(c - 32);  // full-width letters
    return c;
}

bool NamesEqual(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (FoldNameChar(a[i]) != FoldNameChar(b[i])) return false;
    return true;
}

PathKind ClassifyPath(std::u16string_view path) {
    auto starts = [&](std::u16string_view prefix) {
        if (path.size() < prefix.size()) return false;
        for (size_t i = 0; i < prefix.size(); ++i) {
            char16_t a = path[i] == u'/' ? u'\\' : path[i];
            if (FoldNameChar(a) != FoldNameChar(prefix[i])) return false;
        }
        return true;
    };
    if (starts(u"\\\\.\\pipe\\")) return PathKind::Pipe;
    if (starts(u"\\\\?\\") && path.size() >= 6 && path[5] == u':') return PathKind::File;  // \\?\C:\...
    if (starts(u"\\\\.\\") || starts(u"\\\\?\\")) return PathKind::Device;
    if (starts(u"\\\\")) return PathKind::Network;
    return PathKind::File;
}

std::u16string NormalizeWindowsPath(std::u16string_view path, std::u16string_view currentDirectory) {
    if (path.empty()) return {};
    std::u16string_view p = path;
    if (p.size() >= 4 && IsSeparator(p[0]) && IsSeparator(p[1]) && p[2] == u'?' && IsSeparator(p[3])) p.remove_prefix(4);

    std::u16string drive;
    std::u16string_view rest;
    bool rooted = false;
    if (p.size() >= 2 && p[1] == u':' && ((p[0] | 32) >= u'a' && (p[0] | 32) <= u'z')) {
        drive = std::u16string(1, char16_t(p[0] & ~32)) + u":";
        rest = p.substr(2);
        rooted = !rest.empty() && IsSeparator(rest[0]);
        if (!rooted) {
            // "C:name" is relative to the current directory when it is on that drive.
            if (currentDirectory.size() >= 2 && FoldNameChar(currentDirectory[0]) == drive[0]) {
                std::u16string joined(currentDirectory);
                joined += u'\\';
                joined += rest;
                return NormalizeWindowsPath(joined, u"");
            }
        }
    } else if (!p.empty() && IsSeparator(p[0])) {
        // Rooted on the current drive.
        drive = currentDirectory.size() >= 2 ? std::u16string(currentDirectory.substr(0, 2)) : u"C:";
        rest = p;
    } else {
        std::u16string joined(currentDirectory.empty() ? std::u16string_view(u"C:\\") : currentDirectory);
        joined += u'\\';
        joined += p;
        return NormalizeWindowsPath(joined, u"");
    }

    std::vector<std::u16string> out;
    for (auto& part : SplitComponents(rest)) {
        if (part == u".") continue;
        if (part == u"..") {
            if (!out.empty()) out.pop_back();
            continue;
        }
        // Windows drops trailing dots and spaces from a name.
        while (!part.empty() && (part.back() == u'.' || part.back() == u' ')) part.pop_back();
        if (part.empty()) continue;
        out.push_back(std::move(part));
    }
    std::u16string result = drive + u"\\";
    for (size_t i = 0; i < out.size(); ++i) {
        if (i) result += u'\\';
        result += out[i];
    }
    return result;
}

ResolvedPath ResolveOnDrive(const std::filesystem::path& driveRoot, std::u16string_view normalizedPath) {
    ResolvedPath result;
    if (normalizedPath.size() < 3 || FoldNameChar(normalizedPath[0]) != u'C' || normalizedPath[1] != u':') {
        result.error = ERROR_PATH_NOT_FOUND;
        return result;
    }
    auto parts = SplitComponents(normalizedPath.substr(2));
    std::filesystem::path host = driveRoot;
    std::u16string windows = u"C:\\";
    std::error_code ec;
    for (size_t i = 0; i < parts.size(); ++i) {
        bool last = i + 1 == parts.size();
        std::u16string name = parts[i];
        std::filesystem::path exact = host / ToUtf8(name);
        bool found = std::filesystem::exists(std::filesystem::symlink_status(exact, ec));
        if (!found) {
            // Look for the name in another case.
            for (const auto& entry : std::filesystem::directory_iterator(host, ec)) {
                std::u16string candidate = FromUtf8(entry.path().filename().string());
                if (NamesEqual(candidate, name)) {
                    name = candidate;
                    exact = entry.path();
                    found = true;
                    break;
                }
            }
        }
        if (i) windows += u'\\';
        windows += name;
        host = exact;
        if (!found) {
            if (!last) {
                result.error = ERROR_PATH_NOT_FOUND;
                // Keep the rest of the path as given, for messages.
                for (size_t k = i + 1; k < parts.size(); ++k) windows += u"\\" + parts[k];
                for (size_t k = i + 1; k < parts.size(); ++k) host /= ToUtf8(parts[k]);
            }
            result.host = host;
            result.windows = windows;
            return result;
        }
        if (!last && !std::filesystem::is_directory(host, ec)) {
            result.error = ERROR_PATH_NOT_FOUND;
            result.host = host;
            result.windows = windows;
            return result;
        }
    }
    result.host = host;
    result.windows = windows;
    result.exists = true;
    return result;
}

}  // namespace w32
