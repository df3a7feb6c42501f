#include "kernel32/namedobject.h"

#include <map>
#include <mutex>

namespace w32 {

namespace {

std::mutex& NamesLock() {
    static std::mutex* lock = new std::mutex;
    return *lock;
}

std::map<std::u16string, std::weak_ptr<NamedObject>>& Names() {
    static auto* names = new std::map<std::u16string, std::weak_ptr<NamedObject>>;
    return *names;
}

bool StartsWithFolded(std::u16string_view text, std::u16string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i) {
        char16_t c = text[i];
        if (c >= u'A' && c <= u'Z') c = char16_t(c - u'A' + u'a');
        if (c != prefix[i]) return false;
    }
    return true;
}

// The key of a name in the name space, or an error code.
DWORD NameKey(LPCWSTR name, std::u16string& key) {
    std::u16string_view text(name);
    if (text.size() > MAX_PATH) return ERROR_FILENAME_EXCED_RANGE;
    for (std::u16string_view prefix : {u"global\\", u"local\\"}) {
        if (StartsWithFolded(text, prefix)) {
            text.remove_prefix(prefix.size());
            if (text.empty()) return ERROR_INVALID_NAME;
            break;
        }
    }
    // No other folder of the object name space exists.
    if (text.find(u'\\') != std::u16string_view::npos) return ERROR_PATH_NOT_FOUND;
    key.assign(text);
    return ERROR_SUCCESS;
}

}  // namespace

void NamedObject::OnLastHandleClosed() {
    if (name_.empty()) return;
    std::lock_guard lock(NamesLock());
    auto it = Names().find(name_);
    if (it != Names().end() && it->second.lock().get() == this) Names().erase(it);
}

HANDLE CreateNamedObject(LPCWSTR name, const std::type_info& type,
                         const std::function<std::shared_ptr<NamedObject>()>& make) {
    if (!name || !*name) {
        HANDLE handle = InsertHandle(make());
        SetLastError(ERROR_SUCCESS);
        return handle;
    }
    std::u16string key;
    if (DWORD error = NameKey(name, key)) {
        SetLastError(error);
        return nullptr;
    }
    std::lock_guard lock(NamesLock());
    auto& names = Names();
    auto it = names.find(key);
    if (it != names.end()) {
        if (auto existing = it->second.lock()) {
            if (const NamedObject& found = *existing; typeid(found) != type) {
                SetLastError(ERROR_INVALID_HANDLE);
                return nullptr;
            }
            HANDLE handle = InsertHandle(existing);
            SetLastError(ERROR_ALREADY_EXISTS);
            return handle;
        }
    }
    auto object = make();
    object->name_ = key;
    names[key] = object;
    HANDLE handle = InsertHandle(object);
    SetLastError(ERROR_SUCCESS);
    return handle;
}

HANDLE OpenNamedObject(LPCWSTR name, const std::type_info& type) {
    if (!name) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    std::u16string key;
    if (DWORD error = NameKey(name, key)) {
        SetLastError(error);
        return nullptr;
    }
    std::lock_guard lock(NamesLock());
    auto it = Names().find(key);
    auto existing = it == Names().end() ? nullptr : it->second.lock();
    if (!existing) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return nullptr;
    }
    if (const NamedObject& found = *existing; typeid(found) != type) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    return InsertHandle(existing);
}

}  // namespace w32
