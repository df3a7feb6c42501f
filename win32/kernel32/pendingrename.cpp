#include "kernel32/pendingrename.h"

#include <cstring>
#include <mutex>
#include <vector>

#include "machine/registry.h"

namespace w32::files {

namespace {

constexpr char16_t kSessionManager[] = u"SYSTEM\\CurrentControlSet\\Control\\Session Manager";
constexpr char16_t kValueName[] = u"PendingFileRenameOperations";

// The value holds pairs of NT paths (\??\C:\...), source then target; an
// empty target means delete, a target starting with '!' may replace a file.
// Empty targets make the list impossible to read by its double NUL, so it is
// read by its size: each string ends with a NUL and one more NUL ends the list.
std::vector<std::u16string> ReadEntries(const RegistryValue* value) {
    std::vector<std::u16string> entries;
    if (!value || value->type != 7 /* REG_MULTI_SZ */) return entries;
    std::u16string text(value->data.size() / 2, u'\0');
    std::memcpy(text.data(), value->data.data(), text.size() * 2);
    if (text.size() >= 2 && text[text.size() - 1] == 0 && text[text.size() - 2] == 0) text.pop_back();
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find(u'\0', start);
        if (end == std::u16string::npos) end = text.size();
        entries.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return entries;
}

}  // namespace

DWORD RecordPendingRename(const std::u16string& from, const std::u16string* to, bool replaceExisting) {
    std::shared_ptr<Registry> registry = Registry::Current();
    if (!registry || !registry->IsLoaded()) return ERROR_NOT_SUPPORTED;
    std::lock_guard lock(registry->Mutex());
    RegistryKeyPtr key = registry->Ensure(registry->LocalMachine(), kSessionManager);
    if (!key) return ERROR_REGISTRY_IO_FAILED;
    std::vector<std::u16string> entries = ReadEntries(key->FindValue(kValueName));
    entries.push_back(u"\\??\\" + from);
    entries.push_back(to ? (replaceExisting ? u"!\\??\\" : u"\\??\\") + *to : std::u16string());
    std::u16string text;
    for (const auto& entry : entries) {
        text += entry;
        text += u'\0';
    }
    text += u'\0';
    return DWORD(registry->SetValue(key, kValueName, 7 /* REG_MULTI_SZ */, text.data(), text.size() * 2));
}

}  // namespace w32::files
