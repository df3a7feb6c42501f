#include "kernel32/inifile.h"

#include <algorithm>

#include "machine/paths.h"

namespace w32::files {

namespace {

enum class LineKind { Blank, Comment, Section, Entry };

struct ParsedLine {
    LineKind kind = LineKind::Blank;
    std::u16string_view name;   // section name or key
    std::u16string_view value;  // value of an entry
};

ParsedLine Parse(std::u16string_view line) {
    ParsedLine parsed;
    std::u16string_view text = TrimIniText(line);
    if (text.empty()) return parsed;
    if (text[0] == u';') {
        parsed.kind = LineKind::Comment;
    } else if (text[0] == u'[') {
        parsed.kind = LineKind::Section;
        size_t close = text.find(u']');
        size_t length = close == std::u16string_view::npos ? std::u16string_view::npos : close - 1;
        parsed.name = TrimIniText(text.substr(1, length));
    } else {
        parsed.kind = LineKind::Entry;
        size_t equals = text.find(u'=');
        parsed.name = TrimIniText(text.substr(0, equals));
        if (equals != std::u16string_view::npos) parsed.value = TrimIniText(text.substr(equals + 1));
    }
    return parsed;
}

std::u16string Decode(const std::string& bytes, int& encoding) {
    auto utf16 = [&](size_t start, bool bigEndian) {
        std::u16string text;
        for (size_t i = start; i + 1 < bytes.size(); i += 2) {
            unsigned char a = bytes[i], b = bytes[i + 1];
            text += bigEndian ? char16_t((a << 8) | b) : char16_t((b << 8) | a);
        }
        return text;
    };
    if (bytes.size() >= 2 && (unsigned char)bytes[0] == 0xFF && (unsigned char)bytes[1] == 0xFE) {
        encoding = 2;
        return utf16(2, false);
    }
    if (bytes.size() >= 2 && (unsigned char)bytes[0] == 0xFE && (unsigned char)bytes[1] == 0xFF) {
        encoding = 3;
        return utf16(2, true);
    }
    UINT codePage = CP_ACP;
    size_t start = 0;
    encoding = 0;
    if (bytes.size() >= 3 && (unsigned char)bytes[0] == 0xEF && (unsigned char)bytes[1] == 0xBB &&
        (unsigned char)bytes[2] == 0xBF) {
        codePage = CP_UTF8;
        start = 3;
        encoding = 1;
    }
    if (bytes.size() == start) return {};
    int length = MultiByteToWideChar(codePage, 0, bytes.data() + start, int(bytes.size() - start), nullptr, 0);
    std::u16string text(size_t(std::max(length, 0)), u'\0');
    if (length > 0)
        MultiByteToWideChar(codePage, 0, bytes.data() + start, int(bytes.size() - start), text.data(), length);
    return text;
}

}  // namespace

std::u16string_view TrimIniText(std::u16string_view text) {
    size_t first = 0;
    while (first < text.size() && (text[first] == u' ' || text[first] == u'\t')) ++first;
    size_t last = text.size();
    while (last > first && (text[last - 1] == u' ' || text[last - 1] == u'\t')) --last;
    return text.substr(first, last - first);
}

DWORD IniFile::Load(const std::u16string& path) {
    lines_.clear();
    encoding_ = Encoding::Ansi;
    exists_ = false;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? DWORD(ERROR_SUCCESS) : error;
    }
    LARGE_INTEGER size;
    std::string bytes;
    DWORD error = ERROR_SUCCESS;
    if (!GetFileSizeEx(file, &size)) {
        error = GetLastError();
    } else if (size.QuadPart > 0x7FFFFFFF) {
        error = ERROR_NOT_ENOUGH_MEMORY;
    } else {
        bytes.resize(size_t(size.QuadPart));
        DWORD read = 0;
        if (!ReadFile(file, bytes.data(), DWORD(bytes.size()), &read, nullptr)) error = GetLastError();
        bytes.resize(read);
    }
    CloseHandle(file);
    if (error) return error;
    exists_ = true;
    int encoding = 0;
    std::u16string text = Decode(bytes, encoding);
    encoding_ = Encoding(encoding);
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find_first_of(u"\r\n", start);
        if (end == std::u16string::npos) {
            lines_.push_back(text.substr(start));
            break;
        }
        lines_.push_back(text.substr(start, end - start));
        start = end + ((text[end] == u'\r' && end + 1 < text.size() && text[end + 1] == u'\n') ? 2 : 1);
    }
    return ERROR_SUCCESS;
}

DWORD IniFile::Save(const std::u16string& path) const {
    std::u16string text;
    for (const auto& line : lines_) {
        text += line;
        text += u"\r\n";
    }
    std::string bytes;
    switch (encoding_) {
        case Encoding::Utf16Le:
        case Encoding::Utf16Be: {
            bool big = encoding_ == Encoding::Utf16Be;
            bytes = big ? std::string("\xFE\xFF") : std::string("\xFF\xFE");
            for (char16_t c : text) {
                char high = char(c >> 8), low = char(c & 0xFF);
                bytes += big ? high : low;
                bytes += big ? low : high;
            }
            break;
        }
        case Encoding::Utf8:
        case Encoding::Ansi: {
            UINT codePage = encoding_ == Encoding::Utf8 ? CP_UTF8 : CP_ACP;
            if (encoding_ == Encoding::Utf8) bytes = "\xEF\xBB\xBF";
            if (!text.empty()) {
                int length =
                    WideCharToMultiByte(codePage, 0, text.data(), int(text.size()), nullptr, 0, nullptr, nullptr);
                std::string converted(size_t(std::max(length, 0)), '\0');
                if (length > 0)
                    WideCharToMultiByte(codePage, 0, text.data(), int(text.size()), converted.data(), length, nullptr,
                                        nullptr);
                bytes += converted;
            }
            break;
        }
    }
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return GetLastError();
    DWORD written = 0;
    DWORD error = ERROR_SUCCESS;
    if (!WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr) || !SetEndOfFile(file))
        error = GetLastError();
    CloseHandle(file);
    return error;
}

bool IniFile::SectionRange(std::u16string_view section, size_t& header, size_t& end) const {
    for (size_t i = 0; i < lines_.size(); ++i) {
        ParsedLine parsed = Parse(lines_[i]);
        if (parsed.kind != LineKind::Section || !NamesEqual(parsed.name, TrimIniText(section))) continue;
        header = i;
        end = i + 1;
        while (end < lines_.size() && Parse(lines_[end]).kind != LineKind::Section) ++end;
        return true;
    }
    return false;
}

size_t IniFile::KeyLine(size_t header, size_t end, std::u16string_view key) const {
    for (size_t i = header + 1; i < end; ++i) {
        ParsedLine parsed = Parse(lines_[i]);
        if (parsed.kind == LineKind::Entry && NamesEqual(parsed.name, TrimIniText(key))) return i;
    }
    return std::u16string::npos;
}

std::vector<std::u16string> IniFile::SectionNames() const {
    std::vector<std::u16string> names;
    for (const auto& line : lines_) {
        ParsedLine parsed = Parse(line);
        if (parsed.kind == LineKind::Section) names.emplace_back(parsed.name);
    }
    return names;
}

bool IniFile::Entries(std::u16string_view section,
                      std::vector<std::pair<std::u16string, std::u16string>>& entries) const {
    size_t header = 0, end = 0;
    if (!SectionRange(section, header, end)) return false;
    for (size_t i = header + 1; i < end; ++i) {
        ParsedLine parsed = Parse(lines_[i]);
        if (parsed.kind == LineKind::Entry) entries.emplace_back(parsed.name, parsed.value);
    }
    return true;
}

bool IniFile::Find(std::u16string_view section, std::u16string_view key, std::u16string& value) const {
    size_t header = 0, end = 0;
    if (!SectionRange(section, header, end)) return false;
    size_t line = KeyLine(header, end, key);
    if (line == std::u16string::npos) return false;
    value = std::u16string(Parse(lines_[line]).value);
    return true;
}

bool IniFile::Set(std::u16string_view section, std::u16string_view key, std::u16string_view value) {
    size_t header = 0, end = 0;
    if (!SectionRange(section, header, end)) {
        lines_.push_back(u"[" + std::u16string(TrimIniText(section)) + u"]");
        lines_.push_back(std::u16string(TrimIniText(key)) + u"=" + std::u16string(value));
        return true;
    }
    size_t line = KeyLine(header, end, key);
    if (line != std::u16string::npos) {
        // Keep the key as the file spells it.
        std::u16string replacement = std::u16string(Parse(lines_[line]).name) + u"=" + std::u16string(value);
        if (replacement == lines_[line]) return false;
        lines_[line] = replacement;
        return true;
    }
    // After the section's last non-blank line, so blank lines still part it from the next.
    size_t at = end;
    while (at > header + 1 && Parse(lines_[at - 1]).kind == LineKind::Blank) --at;
    lines_.insert(lines_.begin() + std::ptrdiff_t(at), std::u16string(TrimIniText(key)) + u"=" + std::u16string(value));
    return true;
}

bool IniFile::DeleteKey(std::u16string_view section, std::u16string_view key) {
    size_t header = 0, end = 0;
    if (!SectionRange(section, header, end)) return false;
    size_t line = KeyLine(header, end, key);
    if (line == std::u16string::npos) return false;
    lines_.erase(lines_.begin() + std::ptrdiff_t(line));
    return true;
}

bool IniFile::DeleteSection(std::u16string_view section) {
    size_t header = 0, end = 0;
    if (!SectionRange(section, header, end)) return false;
    lines_.erase(lines_.begin() + std::ptrdiff_t(header), lines_.begin() + std::ptrdiff_t(end));
    return true;
}

}  // namespace w32::files
