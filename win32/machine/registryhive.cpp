// Hive files in the format registryhive.h describes.
#include "machine/registryhive.h"

#include <cstring>
#include <vector>

#include "machine/machine.h"

namespace w32 {

namespace {

constexpr char kHiveMagic[8] = {'T', 'A', 'M', 'H', 'I', 'V', 'E', 0x1A};
constexpr uint32_t kHiveVersion = 1;
constexpr size_t kHeaderSize = 24;
constexpr size_t kMaxClassLength = 32767;

uint32_t Crc32(const char* data, size_t size) {
    static const auto table = [] {
        std::vector<uint32_t> t(256);
        for (uint32_t i = 0; i < 256; ++i) {
            uint32_t c = i;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[i] = c;
        }
        return t;
    }();
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = 0; i < size; ++i) crc = table[(crc ^ uint8_t(data[i])) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

// Numbers in a hive are little-endian.
template <class Number>
void PutLittleEndian(std::string& out, Number v) {
    for (size_t i = 0; i < sizeof(Number); ++i) out.push_back(char((v >> (8 * i)) & 0xFF));
}

void PutU32(std::string& out, uint32_t v) { PutLittleEndian(out, v); }
void PutU64(std::string& out, uint64_t v) { PutLittleEndian(out, v); }

void PutText(std::string& out, std::u16string_view text) {
    PutU32(out, uint32_t(text.size()));
    for (char16_t c : text) {
        out.push_back(char(c & 0xFF));
        out.push_back(char(c >> 8));
    }
}

struct Reader {
    const std::string& data;
    size_t pos;
    std::string file;

    [[noreturn]] void Fail(const std::string& what) const {
        throw MachineError("registry hive " + file + " is damaged: " + what + " (at byte " + std::to_string(pos) + ")");
    }
    void Need(size_t bytes) const {
        if (data.size() - pos < bytes) Fail("truncated record");
    }
    size_t Left() const { return data.size() - pos; }
    template <class Number>
    Number LittleEndian() {
        Need(sizeof(Number));
        Number v = 0;
        for (size_t i = 0; i < sizeof(Number); ++i) v |= Number(uint8_t(data[pos + i])) << (8 * i);
        pos += sizeof(Number);
        return v;
    }
    uint32_t U32() { return LittleEndian<uint32_t>(); }
    uint64_t U64() { return LittleEndian<uint64_t>(); }
    std::u16string Text(size_t maxLength, const char* what) {
        uint32_t length = U32();
        if (length > maxLength) Fail(std::string(what) + " too long");
        Need(size_t(length) * 2);
        std::u16string text(length, u'\0');
        for (size_t i = 0; i < length; ++i)
            text[i] = char16_t(uint8_t(data[pos + 2 * i]) | (uint8_t(data[pos + 2 * i + 1]) << 8));
        pos += size_t(length) * 2;
        return text;
    }
};

}  // namespace

// Reads and writes keys on behalf of Registry; a friend of RegistryKey.
struct RegistryCodec {
    static void Write(std::string& out, const RegistryKey& key) {
        PutText(out, key.name_);
        PutText(out, key.className_);
        PutU64(out, key.lastWrite_);
        PutU32(out, uint32_t(key.values_.size()));
        for (const auto& [folded, value] : key.values_) {
            PutText(out, value.name);
            PutU32(out, value.type);
            PutU32(out, uint32_t(value.data.size()));
            out.append(reinterpret_cast<const char*>(value.data.data()), value.data.size());
        }
        uint32_t persistent = 0;
        for (const auto& [folded, child] : key.subkeys_) persistent += child->volatile_ ? 0 : 1;
        PutU32(out, persistent);
        for (const auto& [folded, child] : key.subkeys_)
            if (!child->volatile_) Write(out, *child);
    }

    static void Read(Reader& in, RegistryKey& key) {
        key.className_ = in.Text(kMaxClassLength, "class name");
        key.lastWrite_ = in.U64();
        uint32_t values = in.U32();
        // The smallest value record is 12 bytes, the smallest key record 24.
        if (values > in.Left() / 12) in.Fail("value count beyond the end of the file");
        for (uint32_t i = 0; i < values; ++i) {
            RegistryValue value;
            value.name = in.Text(kMaxValueNameLength, "value name");
            value.type = in.U32();
            uint32_t size = in.U32();
            in.Need(size);
            value.data.assign(in.data.begin() + std::ptrdiff_t(in.pos), in.data.begin() + std::ptrdiff_t(in.pos + size));
            in.pos += size;
            std::u16string folded = RegistryIndexName(value.name);
            if (key.values_.find(folded) != key.values_.end()) in.Fail("value name appears twice");
            key.values_.insert({std::move(folded), std::move(value)});
        }
        uint32_t subkeys = in.U32();
        if (subkeys > in.Left() / 24) in.Fail("subkey count beyond the end of the file");
        if (subkeys > 0 && key.depth_ >= kMaxKeyDepth) in.Fail("keys nested too deep");
        for (uint32_t i = 0; i < subkeys; ++i) {
            auto child = std::make_shared<RegistryKey>();
            child->name_ = in.Text(kMaxKeyNameLength, "key name");
            if (child->name_.empty() || child->name_.find(u'\\') != std::u16string::npos) in.Fail("bad key name");
            child->hive_ = key.hive_;
            child->depth_ = key.depth_ + 1;
            std::u16string folded = RegistryIndexName(child->name_);
            if (key.subkeys_.find(folded) != key.subkeys_.end()) in.Fail("key name appears twice");
            Read(in, *child);
            key.subkeys_.insert({std::move(folded), child});
        }
    }

    static void SetParent(const RegistryKeyPtr& key) {
        for (const auto& [folded, child] : key->subkeys_) {
            child->parent_ = key;
            SetParent(child);
        }
    }
};

std::string EncodeHive(const RegistryKey& root) {
    std::string body;
    RegistryCodec::Write(body, root);
    std::string image(kHiveMagic, sizeof(kHiveMagic));
    PutU32(image, kHiveVersion);
    PutU32(image, Crc32(body.data(), body.size()));
    PutU64(image, body.size());
    image += body;
    return image;
}

void DecodeHive(const std::string& image, const std::string& file, const RegistryKeyPtr& root) {
    Reader in{image, 0, file};
    if (image.size() < kHeaderSize) in.Fail("shorter than its header");
    if (std::memcmp(image.data(), kHiveMagic, sizeof(kHiveMagic)) != 0) in.Fail("not a registry hive (bad magic)");
    in.pos = sizeof(kHiveMagic);
    uint32_t version = in.U32();
    if (version != kHiveVersion) in.Fail("unknown format version " + std::to_string(version));
    uint32_t crc = in.U32();
    uint64_t length = in.U64();
    if (length != image.size() - kHeaderSize)
        in.Fail("the body should be " + std::to_string(length) + " bytes but the file holds " +
                std::to_string(image.size() - kHeaderSize));
    if (Crc32(image.data() + kHeaderSize, image.size() - kHeaderSize) != crc) in.Fail("checksum mismatch");

    if (!in.Text(0, "root key name").empty()) in.Fail("the root key has a name");
    RegistryCodec::Read(in, *root);
    if (in.pos != image.size()) in.Fail("bytes after the root key");
    RegistryCodec::SetParent(root);
}

}  // namespace w32
