#include "kernel32/resfile.h"

#include <algorithm>
#include <cstring>
#include <fstream>

#include "machine/paths.h"

namespace w32 {

namespace {

WORD ReadWord(const BYTE* p) {
    WORD value;
    std::memcpy(&value, p, sizeof(value));
    return value;
}

DWORD ReadDword(const BYTE* p) {
    DWORD value;
    std::memcpy(&value, p, sizeof(value));
    return value;
}

size_t AlignUp4(size_t value) { return (value + 3) & ~size_t(3); }

std::u16string Fold(std::u16string_view text) {
    std::u16string folded(text);
    for (auto& c : folded) c = FoldNameChar(c);
    return folded;
}

// A type or name field of an entry header, at `offset` and inside `end`.
bool ReadResId(const std::vector<BYTE>& image, size_t& offset, size_t end, ResId& out) {
    if (offset + 2 > end) return false;
    WORD first = ReadWord(&image[offset]);
    if (first == 0xFFFF) {
        if (offset + 4 > end) return false;
        out = ResId{};
        out.id = ReadWord(&image[offset + 2]);
        offset += 4;
        return true;
    }
    std::u16string text;
    while (true) {
        if (offset + 2 > end) return false;
        WORD c = ReadWord(&image[offset]);
        offset += 2;
        if (c == 0) break;
        text += char16_t(c);
    }
    if (text.empty()) return false;
    out = ResId::FromText(std::move(text));
    return true;
}

}  // namespace

LPWSTR ResId::AsResource() const {
    if (IsId()) return MAKEINTRESOURCEW(id);
    return const_cast<LPWSTR>(text.c_str());
}

ResId ResId::FromText(std::u16string value) {
    ResId result;
    result.folded = Fold(value);
    result.text = std::move(value);
    return result;
}

ResId ResId::From(LPCWSTR value) {
    ResId result;
    if (IS_INTRESOURCE(value)) {
        result.id = LOWORD(reinterpret_cast<ULONG_PTR>(value));
        return result;
    }
    std::u16string_view text(value);
    if (text.size() > 1 && text[0] == u'#') {
        DWORD number = 0;
        bool digits = true;
        for (size_t i = 1; i < text.size() && digits; ++i) {
            if (text[i] < u'0' || text[i] > u'9') digits = false;
            else number = std::min<DWORD>(number * 10 + (text[i] - u'0'), 0x10000);
        }
        if (digits && number <= 0xFFFF) {
            result.id = WORD(number);
            return result;
        }
    }
    return FromText(std::u16string(text));
}

bool ResIdLess::operator()(const ResId& a, const ResId& b) const {
    if (a.IsId() != b.IsId()) return !a.IsId();
    if (a.IsId()) return a.id < b.id;
    return a.folded < b.folded;
}

bool ResFile::HasSignature(const BYTE* head, size_t size) {
    static const BYTE kEmptyEntry[kSignatureSize] = {0, 0, 0, 0, 0x20, 0, 0, 0, 0xFF, 0xFF, 0, 0, 0xFF, 0xFF, 0, 0};
    return size >= kSignatureSize && std::memcmp(head, kEmptyEntry, kSignatureSize) == 0;
}

std::unique_ptr<ResFile> ResFile::Load(const std::filesystem::path& file, DWORD& error) {
    std::ifstream in(file, std::ios::binary | std::ios::ate);
    std::streamoff size = in ? std::streamoff(in.tellg()) : -1;
    if (size < 0) {
        error = ERROR_FILE_NOT_FOUND;
        return nullptr;
    }
    std::vector<BYTE> bytes(static_cast<size_t>(size));
    in.seekg(0);
    if (!in.read(reinterpret_cast<char*>(bytes.data()), size)) {
        error = ERROR_FILE_NOT_FOUND;
        return nullptr;
    }
    return Parse(std::move(bytes), error);
}

std::unique_ptr<ResFile> ResFile::Parse(std::vector<BYTE> bytes, DWORD& error) {
    error = ERROR_BAD_FORMAT;
    if (!HasSignature(bytes.data(), bytes.size())) return nullptr;
    std::unique_ptr<ResFile> file(new ResFile);
    file->image_ = std::move(bytes);
    const auto& image = file->image_;
    const size_t total = image.size();

    struct Pending {
        const ResId* type;
        const ResId* name;
        WORD language;
        size_t dataOffset;
        DWORD size;
    };
    std::vector<Pending> pending;
    size_t offset = kSignatureSize;
    while (offset < total) {
        if (total - offset < 8) return nullptr;
        DWORD dataSize = ReadDword(&image[offset]);
        DWORD headerSize = ReadDword(&image[offset + 4]);
        if (headerSize < 16 || headerSize > total - offset || dataSize > total - offset - headerSize) return nullptr;
        size_t headerEnd = offset + headerSize;
        size_t p = offset + 8;
        ResId type, name;
        if (!ReadResId(image, p, headerEnd, type) || !ReadResId(image, p, headerEnd, name)) return nullptr;
        p = AlignUp4(p);
        if (p + 16 > headerEnd) return nullptr;
        WORD language = ReadWord(&image[p + 6]);
        size_t dataOffset = headerEnd;
        offset = AlignUp4(dataOffset + dataSize);

        // Another empty entry carries nothing.
        if (type.IsId() && type.id == 0 && name.IsId() && name.id == 0) continue;
        auto& typeNode = file->types_[type];
        const ResId* typeKey = &file->types_.find(type)->first;
        auto [nameIt, inserted] = typeNode.names.try_emplace(std::move(name));
        (void)inserted;
        auto& languages = nameIt->second.languages;
        if (languages.count(language)) continue;  // the first of duplicates wins
        languages[language] = pending.size();
        pending.push_back({typeKey, &nameIt->first, language, dataOffset, dataSize});
    }
    file->entries_.reserve(pending.size());
    for (const auto& item : pending)
        file->entries_.push_back({item.type, item.name, item.language, image.data() + item.dataOffset, item.size});
    for (auto& [type, node] : file->types_) {
        (void)type;
        for (const auto& [name, nameNode] : node.names) {
            (void)nameNode;
            node.order.push_back(&name);
        }
    }
    error = ERROR_SUCCESS;
    return file;
}

std::vector<LANGID> ResourceLanguageOrder(LANGID requested, LANGID uiLanguage, LANGID userLanguage,
                                          LANGID systemLanguage) {
    if (requested == MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT)) requested = userLanguage;
    else if (requested == MAKELANGID(LANG_NEUTRAL, SUBLANG_SYS_DEFAULT)) requested = systemLanguage;
    const LANGID order[] = {
        requested,
        LANGID(MAKELANGID(PRIMARYLANGID(requested), SUBLANG_NEUTRAL)),
        LANGID(MAKELANGID(PRIMARYLANGID(requested), SUBLANG_DEFAULT)),
        LANGID(MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL)),
        uiLanguage,
        LANGID(MAKELANGID(PRIMARYLANGID(uiLanguage), SUBLANG_NEUTRAL)),
        LANGID(MAKELANGID(PRIMARYLANGID(uiLanguage), SUBLANG_DEFAULT)),
        LANGID(MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US)),
    };
    std::vector<LANGID> result;
    for (LANGID language : order)
        if (std::find(result.begin(), result.end(), language) == result.end()) result.push_back(language);
    return result;
}

const ResFile::Entry* ResFile::Find(const ResId& type, const ResId& name, const std::vector<LANGID>& languages,
                                    DWORD& error) const {
    auto typeIt = types_.find(type);
    if (typeIt == types_.end()) {
        error = ERROR_RESOURCE_TYPE_NOT_FOUND;
        return nullptr;
    }
    auto nameIt = typeIt->second.names.find(name);
    if (nameIt == typeIt->second.names.end() || nameIt->second.languages.empty()) {
        error = ERROR_RESOURCE_NAME_NOT_FOUND;
        return nullptr;
    }
    const auto& present = nameIt->second.languages;
    for (LANGID language : languages) {
        auto it = present.find(language);
        if (it != present.end()) return &entries_[it->second];
    }
    return &entries_[present.begin()->second];
}

const ResFile::Entry* ResFile::EntryFromHandle(const void* handle) const {
    if (entries_.empty()) return nullptr;
    auto address = reinterpret_cast<uintptr_t>(handle);
    auto first = reinterpret_cast<uintptr_t>(entries_.data());
    auto end = reinterpret_cast<uintptr_t>(entries_.data() + entries_.size());
    if (address < first || address >= end || (address - first) % sizeof(Entry) != 0) return nullptr;
    return &entries_[(address - first) / sizeof(Entry)];
}

const ResFile::Entry* ResFile::EntryContaining(const void* address) const {
    if (!ContainsAddress(address)) return nullptr;
    auto p = reinterpret_cast<uintptr_t>(address);
    for (const Entry& entry : entries_) {
        auto first = reinterpret_cast<uintptr_t>(entry.data);
        if (p >= first && p < first + entry.size) return &entry;
    }
    return nullptr;
}

bool ResFile::ContainsAddress(const void* address) const {
    auto p = reinterpret_cast<uintptr_t>(address);
    auto first = reinterpret_cast<uintptr_t>(image_.data());
    return !image_.empty() && p >= first && p < first + image_.size();
}

std::vector<const ResId*> ResFile::Types() const {
    std::vector<const ResId*> result;
    for (const auto& [type, node] : types_) {
        (void)node;
        result.push_back(&type);
    }
    return result;
}

const std::vector<const ResId*>* ResFile::Names(const ResId& type) const {
    auto it = types_.find(type);
    return it == types_.end() ? nullptr : &it->second.order;
}

std::vector<WORD> ResFile::Languages(const ResId& type, const ResId& name) const {
    std::vector<WORD> result;
    auto typeIt = types_.find(type);
    if (typeIt == types_.end()) return result;
    auto nameIt = typeIt->second.names.find(name);
    if (nameIt == typeIt->second.names.end()) return result;
    for (const auto& [language, index] : nameIt->second.languages) {
        (void)index;
        result.push_back(language);
    }
    return result;
}

}  // namespace w32
