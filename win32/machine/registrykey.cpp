// The registry's key tree: looking up subkeys and values by name or by
// position, and the changes Registry makes to the tree (creating keys,
// setting and deleting values, deleting keys and trees), each refused with
// the Win32 error the registry functions report (a deleted key, a name too
// long, a volatile parent) and marking its hive for saving.
#include <algorithm>
#include <vector>

#include "machine/paths.h"
#include "machine/registry.h"
#include "winreg.h"

namespace w32 {

std::u16string RegistryIndexName(std::u16string_view name) {
    std::u16string folded(name);
    for (auto& c : folded) c = FoldNameChar(c);
    return folded;
}

RegistryKeyPtr RegistryKey::SubkeyAt(size_t index) const {
    auto it = subkeys_.find_by_order(index);
    return it == subkeys_.end() ? nullptr : it->second;
}

RegistryKeyPtr RegistryKey::FindSubkey(std::u16string_view name) const {
    auto it = subkeys_.find(RegistryIndexName(name));
    return it == subkeys_.end() ? nullptr : it->second;
}

const RegistryValue* RegistryKey::ValueAt(size_t index) const {
    auto it = values_.find_by_order(index);
    return it == values_.end() ? nullptr : &it->second;
}

const RegistryValue* RegistryKey::FindValue(std::u16string_view name) const {
    auto it = values_.find(RegistryIndexName(name));
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

RegistryKeyPtr Registry::NewRoot(RegistryHive hive) {
    auto root = std::make_shared<RegistryKey>();
    root->hive_ = hive;
    return root;
}

// Marks a key and everything below it deleted.
void Registry::MarkDeleted(const RegistryKeyPtr& top) {
    std::vector<RegistryKey*> pending{top.get()};
    while (!pending.empty()) {
        RegistryKey* key = pending.back();
        pending.pop_back();
        key->deleted_ = true;
        for (const auto& [folded, child] : key->subkeys_) pending.push_back(child.get());
    }
    top->parent_.reset();
}

LONG Registry::CreateSubkey(const RegistryKeyPtr& parent, std::u16string_view name, bool isVolatile,
                            std::u16string_view className, RegistryKeyPtr& key, bool& created) {
    Batch batch(*this);
    created = false;
    if (!loaded_) return batch.Finish(ERROR_INVALID_HANDLE);
    if (parent->deleted_) return batch.Finish(ERROR_KEY_DELETED);
    if (name.empty() || name.size() > kMaxKeyNameLength || name.find(u'\\') != std::u16string_view::npos)
        return batch.Finish(ERROR_INVALID_PARAMETER);
    std::u16string folded = RegistryIndexName(name);
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
    std::u16string folded = RegistryIndexName(name);
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
    auto it = key->values_.find(RegistryIndexName(name));
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
        parent->subkeys_.erase(RegistryIndexName(key->name_));
        ++parent->subkeyGeneration_;
        parent->lastWrite_ = Now();
        Touch(*key);
        Touch(*parent);
        MarkDeleted(key);
        return batch.Finish(ERROR_SUCCESS);
    }
    bool changed = !key->values_.empty() || !key->subkeys_.empty();
    bool persistentChange = !key->values_.empty();
    for (const auto& [folded, child] : key->subkeys_) {
        persistentChange = persistentChange || !child->volatile_;
        MarkDeleted(child);
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

}  // namespace w32
