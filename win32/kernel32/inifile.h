// An INI file held as its lines, so that writing one value leaves every other
// line (comments, spacing, order) as it was. Read as UTF-16 (little or big
// endian) or UTF-8 when the file starts with a byte-order mark, else in the
// ANSI code page; written back in the encoding it came in.
#pragma once
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

namespace w32::files {

class IniFile {
public:
    // Reads the file; a missing file (or folder) gives an empty one
    // (Exists() false). Returns 0 or a Win32 error, leaving it empty.
    DWORD Load(const std::u16string& path);
    // Writes the file (creating it when needed). Returns 0 or a Win32 error.
    DWORD Save(const std::u16string& path) const;
    bool Exists() const { return exists_; }

    std::vector<std::u16string> SectionNames() const;
    // The keys of the first section of that name, in file order, with their
    // values; false when there is no such section.
    bool Entries(std::u16string_view section, std::vector<std::pair<std::u16string, std::u16string>>& entries) const;
    bool Find(std::u16string_view section, std::u16string_view key, std::u16string& value) const;

    // Each returns whether the file changed.
    bool Set(std::u16string_view section, std::u16string_view key, std::u16string_view value);
    bool DeleteKey(std::u16string_view section, std::u16string_view key);
    bool DeleteSection(std::u16string_view section);

private:
    enum class Encoding { Ansi, Utf8, Utf16Le, Utf16Be };
    // The range of lines of a section: its header line and the line after its last.
    bool SectionRange(std::u16string_view section, size_t& header, size_t& end) const;
    // The line of a key inside a section range, or npos.
    size_t KeyLine(size_t header, size_t end, std::u16string_view key) const;

    std::vector<std::u16string> lines_;
    Encoding encoding_ = Encoding::Ansi;
    bool exists_ = false;
};

// Spaces and tabs trimmed from both ends.
std::u16string_view TrimIniText(std::u16string_view text);

}  // namespace w32::files
