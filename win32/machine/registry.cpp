#include "machine/registry.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <utility>

#include "machine/machine.h"
#include "machine/paths.h"
#include "machine/unicode.h"
#include "winreg.h"

namespace w32 {

namespace {

std::u16string Fold(std::u16string_view name) {
    std::u16string folded(name);
    for (auto& c : folded) c = FoldNameChar(c);
    return folded;
}

std::u16string Number(unsigned long long value) { return FromUtf8(std::to_string(value)); }

std::u16string Hex(unsigned value, int digits) {
    char text[16];
    std::snprintf(text, sizeof(text), "%0*X", digits, value);
    return FromUtf8(text);
}

const char* const kHiveNames[2] = {"HKLM.hive", "HKU.hive"};

// --- Hive files ------------------------------------------------------------
//
// A hive file is a 24-byte header and a body:
//   0  8 bytes  magic "TAMHIVE" and 0x1A
//   8  u32      format version (1)
//  12  u32      CRC-32 of the body
//  16  u64      length of the body in bytes
// The body is the hive's root key, each key written as
//   name (u32 length in UTF-16 units, then the units), class (the same),
//   u64 last-write time, u32 value count, the values (name, u32 type,
//   u32 data length, data bytes), u32 subkey count, the subkeys.
// All numbers are little-endian. Volatile keys are left out.

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
            std::u16string folded = Fold(value.name);
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
            std::u16string folded = Fold(child->name_);
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

    // Marks a key and everything below it deleted.
    static void MarkDeleted(const RegistryKeyPtr& top) {
        std::vector<RegistryKey*> pending{top.get()};
        while (!pending.empty()) {
            RegistryKey* key = pending.back();
            pending.pop_back();
            key->deleted_ = true;
            for (const auto& [folded, child] : key->subkeys_) pending.push_back(child.get());
        }
        top->parent_.reset();
    }
};

// --- RegistryKey -----------------------------------------------------------

RegistryKeyPtr RegistryKey::SubkeyAt(size_t index) const {
    auto it = subkeys_.find_by_order(index);
    return it == subkeys_.end() ? nullptr : it->second;
}

RegistryKeyPtr RegistryKey::FindSubkey(std::u16string_view name) const {
    auto it = subkeys_.find(Fold(name));
    return it == subkeys_.end() ? nullptr : it->second;
}

const RegistryValue* RegistryKey::ValueAt(size_t index) const {
    auto it = values_.find_by_order(index);
    return it == values_.end() ? nullptr : &it->second;
}

const RegistryValue* RegistryKey::FindValue(std::u16string_view name) const {
    auto it = values_.find(Fold(name));
    return it == values_.end() ? nullptr : &it->second;
}

size_t RegistryKey::LongestSubkeyName() const {
    size_t longest = 0;
    for (const auto& [folded, child] : subkeys_) longest = std::max(longest, child->name_.size());
    return longest;
}

size_t RegistryKey::LongestSubkeyClass() const {
    size_t longest = 0;
    for (const auto& [folded, child] : subkeys_) longest = std::max(longest, child->className_.size());
    return longest;
}

size_t RegistryKey::LongestValueName() const {
    size_t longest = 0;
    for (const auto& [folded, value] : values_) longest = std::max(longest, value.name.size());
    return longest;
}

size_t RegistryKey::LargestValueData() const {
    size_t largest = 0;
    for (const auto& [folded, value] : values_) largest = std::max(largest, value.data.size());
    return largest;
}

// --- Names -----------------------------------------------------------------

std::u16string UserSidString(std::u16string_view userName) {
    // FNV-1a over the upper-cased name, so that the SID follows the account
    // and not the spelling it was typed in.
    auto hash = [](std::u16string_view text, uint64_t seed) {
        uint64_t h = 0xcbf29ce484222325ull ^ seed;
        for (char16_t c : text) {
            h ^= uint64_t(FoldNameChar(c));
            h *= 0x100000001b3ull;
        }
        return h;
    };
    uint64_t first = hash(userName, 0);
    uint64_t second = hash(userName, 0x5bd1e995);
    return u"S-1-5-21-" + Number(uint32_t(first)) + u"-" + Number(uint32_t(first >> 32)) + u"-" +
           Number(uint32_t(second)) + u"-1001";
}

// --- Registry --------------------------------------------------------------

namespace {

std::mutex gCurrentLock;
std::shared_ptr<Registry> gCurrent;

void Install(std::shared_ptr<Registry> registry) {
    std::shared_ptr<Registry> previous;
    {
        std::lock_guard lock(gCurrentLock);
        previous = std::exchange(gCurrent, std::move(registry));
    }
    if (previous) previous->Unload();
}

void Uninstall(const Machine& machine) {
    std::shared_ptr<Registry> registry;
    {
        std::lock_guard lock(gCurrentLock);
        if (gCurrent && gCurrent->BelongsTo(machine)) registry = std::move(gCurrent);
    }
    if (registry) registry->Unload();
}

// Loads the registry before the parts of the machine that keep their state in it.
class RegistryComponent final : public MachineComponent {
public:
    int Rank() const override { return 10; }
    void Create(Machine& machine) override { Install(Registry::CreateFor(machine)); }
    void Open(Machine& machine) override { Install(Registry::LoadFor(machine)); }
    void Close(Machine& machine) override { Uninstall(machine); }
};

RegistryComponent gComponent;
[[maybe_unused]] const bool gRegistered = (RegisterMachineComponent(&gComponent), true);

// Names of the locales the machine settings can carry.
std::u16string LocaleName(LANGID language) {
    static const std::pair<LANGID, const char16_t*> names[] = {
        {0x0401, u"ar-SA"}, {0x0404, u"zh-TW"}, {0x0405, u"cs-CZ"}, {0x0406, u"da-DK"}, {0x0407, u"de-DE"},
        {0x0408, u"el-GR"}, {0x0409, u"en-US"}, {0x040B, u"fi-FI"}, {0x040C, u"fr-FR"}, {0x040D, u"he-IL"},
        {0x040E, u"hu-HU"}, {0x0410, u"it-IT"}, {0x0411, u"ja-JP"}, {0x0412, u"ko-KR"}, {0x0413, u"nl-NL"},
        {0x0414, u"nb-NO"}, {0x0415, u"pl-PL"}, {0x0416, u"pt-BR"}, {0x0418, u"ro-RO"}, {0x0419, u"ru-RU"},
        {0x041B, u"sk-SK"}, {0x041D, u"sv-SE"}, {0x041E, u"th-TH"}, {0x041F, u"tr-TR"}, {0x042A, u"vi-VN"},
        {0x0804, u"zh-CN"}, {0x0809, u"en-GB"}, {0x0816, u"pt-PT"}, {0x0C0A, u"es-ES"}, {0x0C04, u"zh-HK"},
        {0x1004, u"zh-SG"},
    };
    for (const auto& [id, name] : names)
        if (id == language) return name;
    return {};
}

// The product name Windows records for a version; Windows 11 still records
// "Windows 10" here.
std::u16string ProductName(const MachineSettings& s) {
    bool server = s.productType != 1;
    if (s.osMajor >= 10) {
        if (!server) return u"Windows 10 Pro";
        if (s.osBuild >= 20348) return u"Windows Server 2022 Standard";
        if (s.osBuild >= 17763) return u"Windows Server 2019 Standard";
        return u"Windows Server 2016 Standard";
    }
    if (s.osMajor == 6) {
        switch (s.osMinor) {
            case 3: return server ? u"Windows Server 2012 R2 Standard" : u"Windows 8.1 Pro";
            case 2: return server ? u"Windows Server 2012 Standard" : u"Windows 8 Pro";
            case 1: return server ? u"Windows Server 2008 R2 Standard" : u"Windows 7 Professional";
            default: return server ? u"Windows Server (R) 2008 Standard" : u"Windows Vista (TM) Business";
        }
    }
    return server ? u"Microsoft Windows Server 2003" : u"Microsoft Windows XP";
}

}  // namespace

std::shared_ptr<Registry> Registry::Current() {
    Machine::Current();
    std::lock_guard lock(gCurrentLock);
    return gCurrent;
}

Registry::~Registry() = default;

RegistryKeyPtr Registry::NewRoot(RegistryHive hive) {
    auto root = std::make_shared<RegistryKey>();
    root->hive_ = hive;
    return root;
}

RegistryKeyPtr Registry::CurrentUser() const {
    std::lock_guard lock(mutex_);
    return roots_[1]->FindSubkey(userSid_);
}

bool Registry::IsLoaded() const {
    std::lock_guard lock(mutex_);
    return loaded_;
}

ULONGLONG Registry::Now() const { return clock_ ? clock_->NowFileTime() : 0; }

void Registry::Touch(const RegistryKey& key) {
    if (!key.volatile_) files_[key.hive_ == RegistryHive::Machine ? 0 : 1].dirty = true;
}

Registry::Batch::Batch(Registry& registry) : registry_(registry) {
    registry_.mutex_.lock();
    ++registry_.batchDepth_;
}

Registry::Batch::~Batch() {
    if (!finished_) Finish(ERROR_SUCCESS);
    registry_.mutex_.unlock();
}

LONG Registry::Batch::Finish(LONG status) {
    if (finished_) return status;
    finished_ = true;
    bool saved = true;
    if (--registry_.batchDepth_ == 0 && registry_.loaded_) {
        for (int i = 0; i < 2; ++i)
            if (registry_.files_[i].dirty) saved = registry_.SaveHive(i) && saved;
    }
    return status == ERROR_SUCCESS && !saved ? LONG(ERROR_REGISTRY_IO_FAILED) : status;
}

// Writes the whole hive to a new file and renames it over the old one, so
// that the file on disk is always a complete hive, the old or the new. There
// is no fsync: the rename guards against a program that dies mid-write,
// which is what the simulated machine has to survive.
bool Registry::SaveHive(int index) {
    HiveFile& file = files_[index];
    if (file.path.empty()) {
        file.dirty = false;
        return true;
    }
    std::string body;
    RegistryCodec::Write(body, *roots_[index]);
    std::string image(kHiveMagic, sizeof(kHiveMagic));
    PutU32(image, kHiveVersion);
    PutU32(image, Crc32(body.data(), body.size()));
    PutU64(image, body.size());
    image += body;

    auto temp = file.path;
    temp += ".new";
    bool ok = false;
    if (std::FILE* out = std::fopen(temp.c_str(), "wb")) {
        ok = std::fwrite(image.data(), 1, image.size(), out) == image.size();
        ok = std::fclose(out) == 0 && ok;
    }
    std::error_code ec;
    if (ok) std::filesystem::rename(temp, file.path, ec);
    ok = ok && !ec;
    file.failed = !ok;
    if (ok) file.dirty = false;
    return ok;
}

LONG Registry::Flush() {
    Batch batch(*this);
    return batch.Finish(ERROR_SUCCESS);
}

void Registry::Unload() {
    std::lock_guard lock(mutex_);
    if (!loaded_) return;
    for (int i = 0; i < 2; ++i)
        if (files_[i].dirty) SaveHive(i);
    loaded_ = false;
    clock_ = nullptr;
    owner_ = nullptr;
}

LONG Registry::CreateSubkey(const RegistryKeyPtr& parent, std::u16string_view name, bool isVolatile,
                            std::u16string_view className, RegistryKeyPtr& key, bool& created) {
    Batch batch(*this);
    created = false;
    if (!loaded_) return batch.Finish(ERROR_INVALID_HANDLE);
    if (parent->deleted_) return batch.Finish(ERROR_KEY_DELETED);
    if (name.empty() || name.size() > kMaxKeyNameLength || name.find(u'\\') != std::u16string_view::npos)
        return batch.Finish(ERROR_INVALID_PARAMETER);
    std::u16string folded = Fold(name);
    auto it = parent->subkeys_.find(folded);
    if (it != parent->subkeys_.end()) {
        key = it->second;
        return batch.Finish(ERROR_SUCCESS);
    }
    if (parent->depth_ >= kMaxKeyDepth) return batch.Finish(ERROR_INVALID_PARAMETER);
    if (!isVolatile && parent->volatile_) return batch.Finish(ERROR_CHILD_MUST_BE_VOLATILE);
    auto child = std::make_shared<RegistryKey>();
    child->name_ = std::u16string(name);
    child->className_ = std::u16string(className);
    child->hive_ = parent->hive_;
    child->volatile_ = isVolatile;
    child->depth_ = parent->depth_ + 1;
    child->parent_ = parent;
    child->lastWrite_ = parent->lastWrite_ = Now();
    parent->subkeys_.insert({std::move(folded), child});
    ++parent->subkeyGeneration_;
    Touch(*child);
    key = child;
    created = true;
    return batch.Finish(ERROR_SUCCESS);
}

LONG Registry::SetValue(const RegistryKeyPtr& key, std::u16string_view name, DWORD type, const void* data,
                        size_t size) {
    Batch batch(*this);
    if (!loaded_) return batch.Finish(ERROR_INVALID_HANDLE);
    if (key->deleted_) return batch.Finish(ERROR_KEY_DELETED);
    if (name.size() > kMaxValueNameLength || size > 0xFFFFFFFFu) return batch.Finish(ERROR_INVALID_PARAMETER);
    std::u16string folded = Fold(name);
    auto it = key->values_.find(folded);
    if (it == key->values_.end()) {
        RegistryValue value;
        value.name = std::u16string(name);
        it = key->values_.insert({std::move(folded), std::move(value)}).first;
    }
    it->second.type = type;
    const BYTE* bytes = static_cast<const BYTE*>(data);
    it->second.data.assign(bytes, bytes + (data ? size : 0));
    key->lastWrite_ = Now();
    Touch(*key);
    return batch.Finish(ERROR_SUCCESS);
}

LONG Registry::DeleteValue(const RegistryKeyPtr& key, std::u16string_view name) {
    Batch batch(*this);
    if (!loaded_) return batch.Finish(ERROR_INVALID_HANDLE);
    if (key->deleted_) return batch.Finish(ERROR_KEY_DELETED);
    auto it = key->values_.find(Fold(name));
    if (it == key->values_.end()) return batch.Finish(ERROR_FILE_NOT_FOUND);
    key->values_.erase(it);
    key->lastWrite_ = Now();
    Touch(*key);
    return batch.Finish(ERROR_SUCCESS);
}

LONG Registry::DeleteKey(const RegistryKeyPtr& key) {
    Batch batch(*this);
    if (!loaded_) return batch.Finish(ERROR_INVALID_HANDLE);
    if (key->deleted_) return batch.Finish(ERROR_KEY_DELETED);
    if (IsHiveTop(*key) || !key->subkeys_.empty()) return batch.Finish(ERROR_ACCESS_DENIED);
    return batch.Finish(DeleteTree(key, true));
}

LONG Registry::DeleteTree(const RegistryKeyPtr& key, bool includingKey) {
    Batch batch(*this);
    if (!loaded_) return batch.Finish(ERROR_INVALID_HANDLE);
    if (key->deleted_) return batch.Finish(ERROR_KEY_DELETED);
    if (includingKey) {
        if (IsHiveTop(*key)) return batch.Finish(ERROR_ACCESS_DENIED);
        auto parent = key->parent_.lock();
        parent->subkeys_.erase(Fold(key->name_));
        ++parent->subkeyGeneration_;
        parent->lastWrite_ = Now();
        Touch(*key);
        Touch(*parent);
        RegistryCodec::MarkDeleted(key);
        return batch.Finish(ERROR_SUCCESS);
    }
    bool changed = !key->values_.empty() || !key->subkeys_.empty();
    bool persistentChange = !key->values_.empty();
    for (const auto& [folded, child] : key->subkeys_) {
        persistentChange = persistentChange || !child->volatile_;
        RegistryCodec::MarkDeleted(child);
    }
    key->subkeys_.clear();
    key->values_.clear();
    if (changed) {
        ++key->subkeyGeneration_;
        key->lastWrite_ = Now();
        if (persistentChange) files_[key->hive_ == RegistryHive::Machine ? 0 : 1].dirty = true;
    }
    return batch.Finish(ERROR_SUCCESS);
}

RegistryKeyPtr Registry::Find(const RegistryKeyPtr& from, std::u16string_view path) const {
    std::lock_guard lock(mutex_);
    RegistryKeyPtr key = from;
    size_t start = 0;
    while (key && start <= path.size()) {
        size_t end = path.find(u'\\', start);
        if (end == std::u16string_view::npos) end = path.size();
        if (end > start) key = key->FindSubkey(path.substr(start, end - start));
        start = end + 1;
    }
    return key;
}

RegistryKeyPtr Registry::Ensure(const RegistryKeyPtr& from, std::u16string_view path) {
    Batch batch(*this);
    RegistryKeyPtr key = from;
    size_t start = 0;
    while (key && start <= path.size()) {
        size_t end = path.find(u'\\', start);
        if (end == std::u16string_view::npos) end = path.size();
        if (end > start) {
            RegistryKeyPtr next;
            bool created = false;
            if (CreateSubkey(key, path.substr(start, end - start), key->volatile_, u"", next, created) != ERROR_SUCCESS)
                next = nullptr;
            key = next;
        }
        start = end + 1;
    }
    return key;
}

void Registry::SetString(const RegistryKeyPtr& key, std::u16string_view name, std::u16string_view value, DWORD type) {
    std::u16string text(value);
    SetValue(key, name, type, text.c_str(), (text.size() + 1) * sizeof(char16_t));
}

void Registry::SetDword(const RegistryKeyPtr& key, std::u16string_view name, DWORD value) {
    BYTE bytes[4] = {BYTE(value), BYTE(value >> 8), BYTE(value >> 16), BYTE(value >> 24)};
    SetValue(key, name, REG_DWORD, bytes, sizeof(bytes));
}

// --- Making and loading ------------------------------------------------------

std::shared_ptr<Registry> Registry::CreateFor(Machine& machine) {
    std::shared_ptr<Registry> registry(new Registry);
    registry->is64Bit_ = machine.Settings().is64Bit;
    registry->userSid_ = UserSidString(machine.Settings().userName);
    registry->clock_ = &machine.TheClock();
    registry->owner_ = &machine;
    registry->roots_[0] = NewRoot(RegistryHive::Machine);
    registry->roots_[1] = NewRoot(RegistryHive::Users);
    if (machine.HasDrive()) {
        auto folder = machine.Folder() / "registry";
        std::error_code ec;
        std::filesystem::create_directories(folder, ec);
        if (ec) throw MachineError("cannot create " + folder.string() + ": " + ec.message());
        for (int i = 0; i < 2; ++i) registry->files_[i].path = folder / kHiveNames[i];
    }
    Batch batch(*registry);
    registry->LayOutMachineHive(machine);
    registry->LayOutUserKeys(machine);
    // Both files exist from the start, even a hive nothing was put in.
    registry->files_[0].dirty = registry->files_[1].dirty = true;
    if (batch.Finish(ERROR_SUCCESS) != ERROR_SUCCESS)
        throw MachineError("cannot write the registry hives in " + machine.Folder().string());
    return registry;
}

std::shared_ptr<Registry> Registry::LoadFor(Machine& machine) {
    auto folder = machine.Folder() / "registry";
    std::error_code ec;
    // A machine folder made before machines had a registry gets a fresh one.
    if (!std::filesystem::exists(folder, ec)) return CreateFor(machine);

    std::shared_ptr<Registry> registry(new Registry);
    registry->is64Bit_ = machine.Settings().is64Bit;
    registry->userSid_ = UserSidString(machine.Settings().userName);
    registry->clock_ = &machine.TheClock();
    registry->owner_ = &machine;
    for (int i = 0; i < 2; ++i) {
        auto path = folder / kHiveNames[i];
        registry->files_[i].path = path;
        std::ifstream file(path, std::ios::binary);
        if (!file) throw MachineError("registry hive " + path.string() + " is missing");
        std::string image((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        if (file.bad()) throw MachineError("cannot read registry hive " + path.string());

        Reader in{image, 0, path.string()};
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

        auto root = NewRoot(i == 0 ? RegistryHive::Machine : RegistryHive::Users);
        if (!in.Text(0, "root key name").empty()) in.Fail("the root key has a name");
        RegistryCodec::Read(in, *root);
        if (in.pos != image.size()) in.Fail("bytes after the root key");
        RegistryCodec::SetParent(root);
        registry->roots_[i] = root;
    }
    // The machine's user may have been renamed in its settings: give the user
    // a profile, as a first logon would.
    if (!registry->CurrentUser()) {
        Batch batch(*registry);
        registry->LayOutUserKeys(machine);
        if (batch.Finish(ERROR_SUCCESS) != ERROR_SUCCESS)
            throw MachineError("cannot write the registry hives in " + machine.Folder().string());
    }
    return registry;
}

// The keys a fresh Windows installation has that the layer and the programs
// it runs read. Other parts of the layer add their own keys when they lay
// out a machine.
void Registry::LayOutMachineHive(const Machine& machine) {
    const MachineSettings& s = machine.Settings();
    RegistryKeyPtr hklm = LocalMachine();
    Ensure(hklm, u"SOFTWARE\\Classes");
    // The HTML Help control, which programs find by its class.
    SetString(Ensure(hklm, u"SOFTWARE\\Classes\\CLSID\\{ADB880A6-D8FF-11CF-9377-00AA003B7A11}\\InprocServer32"), u"",
              machine.SystemDirectory() + u"\\hhctrl.ocx");

    auto setVersion = [&](const RegistryKeyPtr& nt) {
        SetString(nt, u"CurrentVersion", s.osMajor >= 10 ? u"6.3" : Number(s.osMajor) + u"." + Number(s.osMinor));
        if (s.osMajor >= 10) {
            SetDword(nt, u"CurrentMajorVersionNumber", s.osMajor);
            SetDword(nt, u"CurrentMinorVersionNumber", s.osMinor);
        }
        SetString(nt, u"CurrentBuild", Number(s.osBuild));
        SetString(nt, u"CurrentBuildNumber", Number(s.osBuild));
        SetString(nt, u"ProductName", ProductName(s));
        SetString(nt, u"InstallationType", s.productType == 1 ? u"Client" : u"Server");
        if (s.servicePackMajor) SetString(nt, u"CSDVersion", u"Service Pack " + Number(s.servicePackMajor));
        SetString(nt, u"SystemRoot", machine.WindowsDirectory());
        SetString(nt, u"RegisteredOwner", s.userName);
    };
    const std::u16string programFiles = u"C:\\Program Files";
    const std::u16string programFilesX86 = u"C:\\Program Files (x86)";
    auto setFolders = [&](const RegistryKeyPtr& cv, const std::u16string& programs) {
        SetString(cv, u"ProgramFilesDir", programs);
        SetString(cv, u"CommonFilesDir", programs + u"\\Common Files");
        if (s.is64Bit) {
            SetString(cv, u"ProgramFilesDir (x86)", programFilesX86);
            SetString(cv, u"CommonFilesDir (x86)", programFilesX86 + u"\\Common Files");
            SetString(cv, u"ProgramW6432Dir", programFiles);
            SetString(cv, u"CommonW6432Dir", programFiles + u"\\Common Files");
        }
        SetString(cv, u"DevicePath", u"%SystemRoot%\\inf", REG_EXPAND_SZ);
    };
    setFolders(Ensure(hklm, u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion"), programFiles);
    setVersion(Ensure(hklm, u"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion"));
    SetString(Ensure(hklm, u"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList\\" + userSid_),
              u"ProfileImagePath", machine.UserProfile(), REG_EXPAND_SZ);
    if (s.is64Bit) {
        // What a 32-bit program sees in its view of SOFTWARE.
        setFolders(Ensure(hklm, u"SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion"), programFilesX86);
        setVersion(Ensure(hklm, u"SOFTWARE\\Wow6432Node\\Microsoft\\Windows NT\\CurrentVersion"));
    }

    // CurrentControlSet is a link to ControlSet001 on Windows; here it is the key itself.
    RegistryKeyPtr control = Ensure(hklm, u"SYSTEM\\CurrentControlSet\\Control");
    Ensure(hklm, u"SYSTEM\\CurrentControlSet\\Services");
    Ensure(hklm, u"SYSTEM\\CurrentControlSet\\Hardware Profiles\\Current");
    RegistryKeyPtr print = Ensure(control, u"Print");
    Ensure(print, u"Monitors");
    Ensure(print, u"Printers");
    auto environment = [&](const std::u16string& name, const std::u16string& directory) {
        RegistryKeyPtr env = Ensure(print, u"Environments\\" + name);
        SetString(env, u"Directory", directory);
        Ensure(env, u"Drivers");
        Ensure(env, u"Print Processors");
    };
    if (s.is64Bit) environment(u"Windows x64", u"x64");
    environment(u"Windows NT x86", u"W32X86");

    RegistryKeyPtr language = Ensure(control, u"Nls\\Language");
    SetString(language, u"Default", Hex(s.systemLanguage, 4));
    SetString(language, u"InstallLanguage", Hex(s.systemLanguage, 4));
    RegistryKeyPtr codePage = Ensure(control, u"Nls\\CodePage");
    SetString(codePage, u"ACP", Number(s.ansiCodePage));
    SetString(codePage, u"OEMCP", Number(s.oemCodePage));
    SetString(Ensure(control, u"ComputerName\\ComputerName"), u"ComputerName", s.computerName);
    SetString(Ensure(control, u"ComputerName\\ActiveComputerName"), u"ComputerName", s.computerName);
}

void Registry::LayOutUserKeys(const Machine& machine) {
    const MachineSettings& s = machine.Settings();
    RegistryKeyPtr users = Users();
    auto international = [&](const RegistryKeyPtr& profile, LANGID languageId) {
        RegistryKeyPtr intl = Ensure(profile, u"Control Panel\\International");
        SetString(intl, u"Locale", Hex(languageId, 8));
        std::u16string name = LocaleName(languageId);
        if (!name.empty()) SetString(intl, u"LocaleName", name);
        SetString(intl, u"iCountry", Number(s.country));
    };
    if (!users->FindSubkey(u".DEFAULT")) {
        RegistryKeyPtr defaults = Ensure(users, u".DEFAULT");
        Ensure(defaults, u"Software");
        international(defaults, s.systemLanguage);
    }
    RegistryKeyPtr user = Ensure(users, userSid_);
    Ensure(user, u"Software\\Classes");
    Ensure(user, u"Software\\Microsoft\\Windows\\CurrentVersion");
    international(user, s.userLanguage);
    RegistryKeyPtr environment = Ensure(user, u"Environment");
    SetString(environment, u"TEMP", u"%USERPROFILE%\\AppData\\Local\\Temp", REG_EXPAND_SZ);
    SetString(environment, u"TMP", u"%USERPROFILE%\\AppData\\Local\\Temp", REG_EXPAND_SZ);
}

}  // namespace w32
