// A compiled resource file (.res, as windres -O res writes it), read once and
// indexed by type, name and language.
//
// The file is a run of entries, each a header (data size, header size, type,
// name, data version, memory flags, language, version, characteristics; type
// and name are 0xFFFF followed by an id, or a NUL-terminated UTF-16 string)
// followed by the data, every part aligned to 4 bytes. The first entry is an
// empty one of 32 bytes, which is how a .res file is told from other files.
#pragma once
#include <windows.h>

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace w32 {

// A resource type or name: an id, or a string compared without regard to case.
struct ResId {
    WORD id = 0;
    std::u16string text;    // empty for an id
    std::u16string folded;  // text in upper case, for comparing

    bool IsId() const { return text.empty(); }
    // As the Win32 functions take and give it: MAKEINTRESOURCE(id) or the text.
    LPWSTR AsResource() const;
    // From a Win32 argument; "#123" is the id 123.
    static ResId From(LPCWSTR value);
    static ResId FromText(std::u16string text);
};

// Names before ids, names in folded order, ids ascending.
struct ResIdLess {
    bool operator()(const ResId& a, const ResId& b) const;
};

class ResFile {
public:
    struct Entry {
        const ResId* type;
        const ResId* name;
        WORD language;
        const BYTE* data;
        DWORD size;
    };

    static constexpr size_t kSignatureSize = 32;
    // Whether the first bytes of a file are the empty entry that opens a .res file.
    static bool HasSignature(const BYTE* head, size_t size);

    // Reads and indexes a file. Null with ERROR_FILE_NOT_FOUND when it cannot
    // be read, ERROR_BAD_FORMAT when it is not a well-formed .res file.
    static std::unique_ptr<ResFile> Load(const std::filesystem::path& file, DWORD& error);
    static std::unique_ptr<ResFile> Parse(std::vector<BYTE> bytes, DWORD& error);

    // The entry for a type and name in the first of `languages` it has, else
    // in the first language it has (see ResourceLanguageOrder). Null with
    // ERROR_RESOURCE_TYPE_NOT_FOUND or ERROR_RESOURCE_NAME_NOT_FOUND.
    const Entry* Find(const ResId& type, const ResId& name, const std::vector<LANGID>& languages,
                      DWORD& error) const;

    // Whether a handle is one of this file's entries, and a pointer inside its data.
    const Entry* EntryFromHandle(const void* handle) const;
    bool ContainsAddress(const void* address) const;
    // The entry whose data holds the address, or null.
    const Entry* EntryContaining(const void* address) const;

    // For the enumeration functions. Names and types live as long as the file.
    std::vector<const ResId*> Types() const;
    // Null when the type is missing.
    const std::vector<const ResId*>* Names(const ResId& type) const;
    // Empty when the type or name is missing.
    std::vector<WORD> Languages(const ResId& type, const ResId& name) const;

    size_t EntryCount() const { return entries_.size(); }

private:
    struct NameNode {
        std::map<WORD, size_t> languages;  // language -> index in entries_
    };
    struct TypeNode {
        std::map<ResId, NameNode, ResIdLess> names;
        std::vector<const ResId*> order;  // the names, in map order
    };

    std::vector<BYTE> image_;
    std::vector<Entry> entries_;
    std::map<ResId, TypeNode, ResIdLess> types_;
};

// The languages tried for a request, in order (duplicates removed), before
// falling back to the first language a resource has.
std::vector<LANGID> ResourceLanguageOrder(LANGID requested, LANGID uiLanguage, LANGID userLanguage,
                                          LANGID systemLanguage);

}  // namespace w32
