#include "advapi32/regkey.h"

#include <mutex>

#include "kernel32/handletable.h"
#include "machine/machine.h"
#include "machine/paths.h"

namespace w32::reg {

namespace {

// Rights that change a key.
constexpr REGSAM kChangeRights = KEY_SET_VALUE | KEY_CREATE_SUB_KEY | KEY_CREATE_LINK | DELETE | WRITE_DAC | WRITE_OWNER;

// --- The handle table ------------------------------------------------------

// Far from the kernel's handles, so that a key handle given to CloseHandle
// (or a kernel handle given to RegCloseKey) is refused.
HandleTable<KeyObject> gTable(0x40000000);

// --- Predefined keys ---------------------------------------------------------

enum Predefined { kClassesRoot = 0, kCurrentUser = 1, kLocalMachine = 2, kUsers = 3, kCurrentConfig = 5 };
constexpr int kPredefinedSlots = 8;

// The predefined keys are sign-extended 0x80000000 + n. Gives n, or -1.
int PredefinedIndex(HKEY hKey) {
    ULONG_PTR value = reinterpret_cast<ULONG_PTR>(hKey);
    ULONG_PTR base = reinterpret_cast<ULONG_PTR>(HKEY_CLASSES_ROOT);
    if (value < base || value > base + 0x60) return -1;
    return int(value - base);
}

// One object per predefined key and registry, so that the merged subkey list
// of HKEY_CLASSES_ROOT is cached across calls like that of an opened key.
std::mutex gPredefinedLock;
std::weak_ptr<Registry> gPredefinedOwner;
KeyObjectPtr gPredefined[kPredefinedSlots];

KeyObjectPtr PredefinedObject(const std::shared_ptr<Registry>& registry, int index) {
    std::lock_guard lock(gPredefinedLock);
    if (gPredefinedOwner.lock() != registry) {
        for (auto& slot : gPredefined) slot.reset();
        gPredefinedOwner = registry;
    }
    auto& slot = gPredefined[index];
    if (!slot) {
        slot = std::make_shared<KeyObject>();
        slot->registry = registry;
        slot->access = KEY_ALL_ACCESS;
        slot->merged = index == kClassesRoot;
    }
    return slot;
}

// Points a predefined object at its key(s) as the tree is now.
LONG RefreshPredefined(Registry& registry, KeyObject& object, int index) {
    switch (index) {
        case kLocalMachine: object.key = registry.LocalMachine(); break;
        case kUsers: object.key = registry.Users(); break;
        case kCurrentUser: object.key = registry.CurrentUser(); break;
        case kCurrentConfig:
            object.key = registry.Find(registry.LocalMachine(), u"SYSTEM\\CurrentControlSet\\Hardware Profiles\\Current");
            break;
        case kClassesRoot: {
            auto user = registry.CurrentUser();
            object.userPart = user ? registry.Find(user, u"Software\\Classes") : nullptr;
            object.machinePart = registry.Find(registry.LocalMachine(), u"SOFTWARE\\Classes");
            return object.userPart || object.machinePart ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
        }
    }
    return object.key ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
}

// Compares names as the registry orders them.
int CompareNames(std::u16string_view a, std::u16string_view b) {
    size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        char16_t x = FoldNameChar(a[i]), y = FoldNameChar(b[i]);
        if (x != y) return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

bool IsSoftwareKey(const Registry& registry, const RegistryKey& key) {
    return registry.Is64Bit() && !key.IsDeleted() && key.Depth() == 1 && key.Hive() == RegistryHive::Machine &&
           NamesEqual(key.Name(), u"SOFTWARE");
}

// Keys below HKLM\SOFTWARE that the 32-bit view does not redirect. The
// shared keys Windows keeps under SOFTWARE are not modelled, and Classes
// stays shared so that HKEY_CLASSES_ROOT means the same in both views.
bool IsUnredirected(std::u16string_view name) { return NamesEqual(name, u"Wow6432Node") || NamesEqual(name, u"Classes"); }

}  // namespace

// --- KeyObject -----------------------------------------------------------------

size_t KeyObject::SubkeyCount() {
    if (!merged) return key->SubkeyCount();
    SubkeyAt(0);
    return mergedSubkeys.size();
}

RegistryKeyPtr KeyObject::SubkeyAt(size_t index) {
    if (!merged) return key->SubkeyAt(index);
    bool fresh = cacheValid && cachedUser == userPart && cachedMachine == machinePart &&
                 (!userPart || userPart->SubkeyGeneration() == cachedUserGeneration) &&
                 (!machinePart || machinePart->SubkeyGeneration() == cachedMachineGeneration);
    if (!fresh) {
        mergedSubkeys.clear();
        size_t u = 0, m = 0;
        size_t userCount = userPart ? userPart->SubkeyCount() : 0;
        size_t machineCount = machinePart ? machinePart->SubkeyCount() : 0;
        RegistryKeyPtr nextUser = userCount ? userPart->SubkeyAt(0) : nullptr;
        RegistryKeyPtr nextMachine = machineCount ? machinePart->SubkeyAt(0) : nullptr;
        while (nextUser || nextMachine) {
            int order = !nextUser ? 1 : !nextMachine ? -1 : CompareNames(nextUser->Name(), nextMachine->Name());
            mergedSubkeys.push_back(order <= 0 ? nextUser : nextMachine);
            if (order <= 0) nextUser = ++u < userCount ? userPart->SubkeyAt(u) : nullptr;
            if (order >= 0) nextMachine = ++m < machineCount ? machinePart->SubkeyAt(m) : nullptr;
        }
        cachedUser = userPart;
        cachedMachine = machinePart;
        cachedUserGeneration = userPart ? userPart->SubkeyGeneration() : 0;
        cachedMachineGeneration = machinePart ? machinePart->SubkeyGeneration() : 0;
        cacheValid = true;
    }
    return index < mergedSubkeys.size() ? mergedSubkeys[index] : nullptr;
}

// --- Rules ---------------------------------------------------------------------

bool IsAdministrator() {
    const auto& settings = Machine::Current().Settings();
    return settings.administrator && !settings.uacFiltered;
}

bool MayWrite(const Registry& registry, const RegistryKey& key) {
    if (IsAdministrator()) return true;
    if (key.Hive() != RegistryHive::Users || key.Depth() == 0) return false;
    RegistryKeyPtr holder;
    const RegistryKey* top = &key;
    while (top->Depth() > 1) {
        holder = top->Parent();
        if (!holder) return false;
        top = holder.get();
    }
    return NamesEqual(top->Name(), registry.UserSid());
}

bool WantsView32(const Registry& registry, REGSAM samDesired) {
    return registry.Is64Bit() && (samDesired & KEY_WOW64_RES) == KEY_WOW64_32KEY;
}

LONG GrantAccess(const Registry& registry, const KeyObject& object, REGSAM samDesired, REGSAM& granted) {
    REGSAM want = samDesired & ~(KEY_WOW64_RES | MAXIMUM_ALLOWED | GENERIC_READ | GENERIC_WRITE | GENERIC_EXECUTE |
                                 GENERIC_ALL | SYNCHRONIZE);
    if (samDesired & GENERIC_READ) want |= KEY_READ;
    if (samDesired & GENERIC_WRITE) want |= KEY_WRITE;
    if (samDesired & GENERIC_EXECUTE) want |= KEY_EXECUTE;
    if (samDesired & GENERIC_ALL) want |= KEY_ALL_ACCESS;
    // Below a merged key a user can always create keys (they go to his own
    // part); whether its values may change is checked when they are changed.
    bool writable = object.merged || MayWrite(registry, *object.Primary());
    if (samDesired & MAXIMUM_ALLOWED) want |= writable ? KEY_ALL_ACCESS : KEY_READ;
    if ((want & kChangeRights) && !writable) return ERROR_ACCESS_DENIED;
    granted = want;
    return ERROR_SUCCESS;
}

HKEY InsertKeyHandle(KeyObjectPtr object) { return gTable.Insert<HKEY>(std::move(object)); }

// --- Calls ---------------------------------------------------------------------

LONG Call::Begin(HKEY hKey) {
    registry_ = Registry::Current();
    if (!registry_) return ERROR_INVALID_HANDLE;
    batch_.emplace(*registry_);
    if (!registry_->IsLoaded()) return ERROR_INVALID_HANDLE;
    int predefined = PredefinedIndex(hKey);
    if (predefined >= 0) {
        if (predefined != kClassesRoot && predefined != kCurrentUser && predefined != kLocalMachine &&
            predefined != kUsers && predefined != kCurrentConfig) {
            // Performance data and the other dynamic keys are not kept here.
            return predefined < kPredefinedSlots || predefined == 0x50 || predefined == 0x60 ? ERROR_NOT_SUPPORTED
                                                                                             : ERROR_INVALID_HANDLE;
        }
        object_ = PredefinedObject(registry_, predefined);
        if (LONG status = RefreshPredefined(*registry_, *object_, predefined)) return status;
    } else {
        object_ = gTable.Find(hKey);
        if (!object_ || object_->registry != registry_) return ERROR_INVALID_HANDLE;
    }
    if (object_->merged) {
        if (object_->userPart && object_->userPart->IsDeleted()) object_->userPart.reset();
        if (object_->machinePart && object_->machinePart->IsDeleted()) object_->machinePart.reset();
        if (!object_->userPart && !object_->machinePart) return ERROR_KEY_DELETED;
    } else if (!object_->key || object_->key->IsDeleted()) {
        return ERROR_KEY_DELETED;
    }
    return ERROR_SUCCESS;
}

LONG Call::Finish(LONG status) { return batch_ ? batch_->Finish(status) : status; }

LONG Call::Require(REGSAM rights) const {
    if ((object_->access & rights) != rights) return ERROR_ACCESS_DENIED;
    if ((rights & kChangeRights & ~KEY_CREATE_SUB_KEY) && !MayWrite(*registry_, *object_->Primary()))
        return ERROR_ACCESS_DENIED;
    return ERROR_SUCCESS;
}

LONG SplitPath(LPCWSTR path, std::vector<std::u16string>& parts) {
    parts.clear();
    if (!path) return ERROR_SUCCESS;
    if (path[0] == u'\\') return ERROR_BAD_PATHNAME;
    std::u16string current;
    for (const WCHAR* p = path; *p; ++p) {
        if (*p == u'\\') {
            if (!current.empty()) parts.push_back(std::move(current));
            current.clear();
        } else {
            current += *p;
        }
    }
    if (!current.empty()) parts.push_back(std::move(current));
    return ERROR_SUCCESS;
}

namespace {

LONG WalkMerged(Call& call, const std::vector<std::u16string>& parts, const CreateOptions* create,
                KeyObjectPtr& result, bool* created) {
    Registry& registry = call.registry();
    const KeyObject& from = call.object();
    RegistryKeyPtr user = from.userPart, machine = from.machinePart;
    std::vector<std::u16string> path = from.classesPath;
    bool made = false;
    for (size_t i = 0; i < parts.size(); ++i) {
        const auto& name = parts[i];
        RegistryKeyPtr nextUser = user ? user->FindSubkey(name) : nullptr;
        RegistryKeyPtr nextMachine = machine ? machine->FindSubkey(name) : nullptr;
        made = false;
        if (!nextUser && !nextMachine) {
            if (!create) return ERROR_FILE_NOT_FOUND;
            if (!create->parentMayCreate) return ERROR_ACCESS_DENIED;
            // An administrator's new keys go to the machine's classes when the
            // parent is there, as on Windows; other users' go to their own.
            bool userSide = !IsAdministrator() || !machine;
            if (userSide && !user) {
                // Make the parent's path in the user's classes first.
                user = registry.CurrentUser();
                if (!user) return ERROR_FILE_NOT_FOUND;
                std::vector<std::u16string> userPath = {u"Software", u"Classes"};
                userPath.insert(userPath.end(), path.begin(), path.end());
                for (const auto& step : userPath) {
                    RegistryKeyPtr next;
                    bool stepMade = false;
                    if (LONG status = registry.CreateSubkey(user, step, user->IsVolatile(), u"", next, stepMade))
                        return status;
                    user = next;
                }
            }
            RegistryKeyPtr parent = userSide ? user : machine;
            if (!MayWrite(registry, *parent)) return ERROR_ACCESS_DENIED;
            RegistryKeyPtr next;
            bool last = i + 1 == parts.size();
            if (LONG status = registry.CreateSubkey(parent, name, create->isVolatile, last ? create->className : u"",
                                                    next, made))
                return status;
            (userSide ? nextUser : nextMachine) = next;
        }
        user = nextUser;
        machine = nextMachine;
        path.push_back(name);
    }
    result = std::make_shared<KeyObject>();
    result->registry = from.registry;
    result->merged = true;
    result->userPart = user;
    result->machinePart = machine;
    result->classesPath = std::move(path);
    if (created) *created = made;
    return ERROR_SUCCESS;
}

}  // namespace

LONG Walk(Call& call, const std::vector<std::u16string>& parts, bool view32, const CreateOptions* create,
          KeyObjectPtr& result, bool* created) {
    if (created) *created = false;
    if (call.object().merged) return WalkMerged(call, parts, create, result, created);
    Registry& registry = call.registry();
    RegistryKeyPtr key = call.object().key;
    bool made = false;
    auto step = [&](const std::u16string& name, bool last) -> LONG {
        made = false;
        RegistryKeyPtr next = key->FindSubkey(name);
        if (!next) {
            if (!create) return ERROR_FILE_NOT_FOUND;
            if (!create->parentMayCreate || !MayWrite(registry, *key)) return ERROR_ACCESS_DENIED;
            if (LONG status = registry.CreateSubkey(key, name, create->isVolatile, last ? create->className : u"",
                                                    next, made))
                return status;
        }
        key = next;
        return ERROR_SUCCESS;
    };
    for (size_t i = 0; i < parts.size(); ++i) {
        // The 32-bit view of HKLM\SOFTWARE is HKLM\SOFTWARE\Wow6432Node.
        if (view32 && IsSoftwareKey(registry, *key) && !IsUnredirected(parts[i]))
            if (LONG status = step(u"Wow6432Node", false)) return status;
        if (LONG status = step(parts[i], i + 1 == parts.size())) return status;
    }
    if (view32 && !parts.empty() && IsSoftwareKey(registry, *key)) {
        bool madeKey = made;
        if (LONG status = step(u"Wow6432Node", false)) return status;
        made = madeKey;
    }
    result = std::make_shared<KeyObject>();
    result->registry = call.object().registry;
    result->key = key;
    if (created) *created = made;
    return ERROR_SUCCESS;
}

namespace {

// Opens a subkey path below the call's key as a new object holding the
// rights asked for.
LONG OpenPath(Call& call, LPCWSTR subKey, REGSAM samDesired, KeyObjectPtr& result) {
    std::vector<std::u16string> parts;
    if (LONG status = SplitPath(subKey, parts)) return status;
    if (LONG status = Walk(call, parts, WantsView32(call.registry(), samDesired), nullptr, result, nullptr))
        return status;
    return GrantAccess(call.registry(), *result, samDesired, result->access);
}

}  // namespace

LONG OpenForCall(Call& call, LPCWSTR subKey, REGSAM samDesired, KeyObjectPtr& result) {
    if (!subKey || !*subKey) {
        result = call.objectPtr();
        return ERROR_SUCCESS;
    }
    return OpenPath(call, subKey, samDesired, result);
}

}  // namespace w32::reg

using namespace w32;
using namespace w32::reg;

namespace {

void SetFileTime(PFILETIME out, ULONGLONG time) {
    if (!out) return;
    out->dwLowDateTime = DWORD(time);
    out->dwHighDateTime = DWORD(time >> 32);
}

// RegCreateKeyW and RegOpenKeyW with no subkey give back the handle itself
// (once it is known to be valid), as Windows does.
LONG SameKey(HKEY hKey, PHKEY phkResult) {
    Call call;
    if (LONG status = call.Begin(hKey)) return status;
    *phkResult = hKey;
    return ERROR_SUCCESS;
}

// Copies a name into a caller's buffer of `*count` characters; on return
// *count is its length without the terminator. ERROR_MORE_DATA (nothing
// copied, *count unchanged) when it does not fit with its terminator.
LONG CopyName(const std::u16string& name, LPWSTR buffer, LPDWORD count) {
    if (*count <= name.size()) return ERROR_MORE_DATA;
    std::copy(name.begin(), name.end(), buffer);
    buffer[name.size()] = 0;
    *count = DWORD(name.size());
    return ERROR_SUCCESS;
}

LONG CreateKey(HKEY hKey, LPCWSTR lpSubKey, LPCWSTR lpClass, DWORD dwOptions, REGSAM samDesired, PHKEY phkResult,
               LPDWORD lpdwDisposition) {
    if (!phkResult) return ERROR_INVALID_PARAMETER;
    *phkResult = nullptr;
    // Symbolic links between keys are not kept in this registry.
    if (dwOptions & REG_OPTION_CREATE_LINK) return ERROR_NOT_SUPPORTED;
    Call call;
    if (LONG status = call.Begin(hKey)) return status;
    std::vector<std::u16string> parts;
    if (LONG status = SplitPath(lpSubKey, parts)) return status;
    CreateOptions options;
    options.isVolatile = (dwOptions & REG_OPTION_VOLATILE) != 0;
    options.className = lpClass ? std::u16string(lpClass) : std::u16string();
    options.parentMayCreate = (call.object().access & KEY_CREATE_SUB_KEY) != 0;
    KeyObjectPtr object;
    bool created = false;
    if (LONG status = Walk(call, parts, WantsView32(call.registry(), samDesired), &options, object, &created))
        return call.Finish(status);
    if (LONG status = GrantAccess(call.registry(), *object, samDesired, object->access)) return call.Finish(status);
    *phkResult = InsertKeyHandle(object);
    if (lpdwDisposition) *lpdwDisposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    return call.Finish(ERROR_SUCCESS);
}

}  // namespace

// --- Opening and closing ---------------------------------------------------------

LSTATUS WINAPI RegCreateKeyExW(HKEY hKey, LPCWSTR lpSubKey, DWORD, LPWSTR lpClass, DWORD dwOptions,
                               REGSAM samDesired, LPSECURITY_ATTRIBUTES, PHKEY phkResult, LPDWORD lpdwDisposition) {
    return CreateKey(hKey, lpSubKey, lpClass, dwOptions, samDesired, phkResult, lpdwDisposition);
}

LSTATUS WINAPI RegCreateKeyW(HKEY hKey, LPCWSTR lpSubKey, PHKEY phkResult) {
    if (!phkResult) return ERROR_INVALID_PARAMETER;
    if (!lpSubKey || !*lpSubKey) return SameKey(hKey, phkResult);
    return CreateKey(hKey, lpSubKey, nullptr, 0, MAXIMUM_ALLOWED, phkResult, nullptr);
}

LSTATUS WINAPI RegOpenKeyExW(HKEY hKey, LPCWSTR lpSubKey, DWORD, REGSAM samDesired, PHKEY phkResult) {
    if (!phkResult) return ERROR_INVALID_PARAMETER;
    *phkResult = nullptr;
    Call call;
    if (LONG status = call.Begin(hKey)) return status;
    KeyObjectPtr object;
    if (LONG status = OpenPath(call, lpSubKey, samDesired, object)) return status;
    *phkResult = InsertKeyHandle(object);
    return call.Finish(ERROR_SUCCESS);
}

LSTATUS WINAPI RegOpenKeyW(HKEY hKey, LPCWSTR lpSubKey, PHKEY phkResult) {
    if (!phkResult) return ERROR_INVALID_PARAMETER;
    if (!lpSubKey || !*lpSubKey) return SameKey(hKey, phkResult);
    return RegOpenKeyExW(hKey, lpSubKey, 0, MAXIMUM_ALLOWED, phkResult);
}

LSTATUS WINAPI RegOpenCurrentUser(REGSAM samDesired, PHKEY phkResult) {
    return RegOpenKeyExW(HKEY_CURRENT_USER, nullptr, 0, samDesired, phkResult);
}

LSTATUS WINAPI RegCloseKey(HKEY hKey) {
    if (PredefinedIndex(hKey) >= 0) return ERROR_SUCCESS;
    // The object is released here, outside the table's lock.
    return gTable.Remove(hKey) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

LSTATUS WINAPI RegFlushKey(HKEY hKey) {
    Call call;
    if (LONG status = call.Begin(hKey)) return status;
    return call.Finish(call.registry().Flush());
}

// --- Deleting ----------------------------------------------------------------------

LSTATUS WINAPI RegDeleteKeyExW(HKEY hKey, LPCWSTR lpSubKey, REGSAM samDesired, DWORD) {
    if (!lpSubKey) return ERROR_INVALID_PARAMETER;
    Call call;
    if (LONG status = call.Begin(hKey)) return status;
    std::vector<std::u16string> parts;
    if (LONG status = SplitPath(lpSubKey, parts)) return status;
    KeyObjectPtr object;
    if (LONG status = Walk(call, parts, WantsView32(call.registry(), samDesired), nullptr, object, nullptr))
        return status;
    // In HKEY_CLASSES_ROOT the user's key goes first; the machine's may then show through.
    RegistryKeyPtr target = object->Primary();
    if (!MayWrite(call.registry(), *target)) return ERROR_ACCESS_DENIED;
    return call.Finish(call.registry().DeleteKey(target));
}

LSTATUS WINAPI RegDeleteKeyW(HKEY hKey, LPCWSTR lpSubKey) { return RegDeleteKeyExW(hKey, lpSubKey, 0, 0); }

// Below HKEY_CLASSES_ROOT both the user's and the machine's keys are deleted,
// so that the key is gone from the merged view.
LSTATUS WINAPI RegDeleteTreeW(HKEY hKey, LPCWSTR lpSubKey) {
    Call call;
    if (LONG status = call.Begin(hKey)) return status;
    KeyObjectPtr object = call.objectPtr();
    if (lpSubKey) {
        std::vector<std::u16string> parts;
        if (LONG status = SplitPath(lpSubKey, parts)) return status;
        if (LONG status = Walk(call, parts, false, nullptr, object, nullptr)) return status;
    } else if (LONG status = call.Require(KEY_ENUMERATE_SUB_KEYS | KEY_QUERY_VALUE | KEY_SET_VALUE)) {
        return status;
    }
    std::vector<RegistryKeyPtr> targets;
    if (object->merged) {
        if (object->userPart) targets.push_back(object->userPart);
        if (object->machinePart) targets.push_back(object->machinePart);
    } else {
        targets.push_back(object->key);
    }
    for (const auto& target : targets)
        if (!MayWrite(call.registry(), *target)) return ERROR_ACCESS_DENIED;
    LONG status = ERROR_SUCCESS;
    for (const auto& target : targets) {
        if (target->Depth() == 0) return ERROR_ACCESS_DENIED;  // a whole hive
        status = call.registry().DeleteTree(target, lpSubKey != nullptr);
        if (status != ERROR_SUCCESS) break;
    }
    return call.Finish(status);
}

// --- Enumerating and describing ------------------------------------------------------

LSTATUS WINAPI RegEnumKeyExW(HKEY hKey, DWORD dwIndex, LPWSTR lpName, LPDWORD lpcchName, LPDWORD, LPWSTR lpClass,
                             LPDWORD lpcchClass, PFILETIME lpftLastWriteTime) {
    if (!lpName || !lpcchName || (lpClass && !lpcchClass)) return ERROR_INVALID_PARAMETER;
    Call call;
    if (LONG status = call.Begin(hKey)) return status;
    if (LONG status = call.Require(KEY_ENUMERATE_SUB_KEYS)) return status;
    RegistryKeyPtr subkey = call.object().SubkeyAt(dwIndex);
    if (!subkey) return ERROR_NO_MORE_ITEMS;
    if (lpClass && *lpcchClass <= subkey->ClassName().size()) return ERROR_MORE_DATA;
    if (LONG status = CopyName(subkey->Name(), lpName, lpcchName)) return status;
    if (lpClass) CopyName(subkey->ClassName(), lpClass, lpcchClass);
    SetFileTime(lpftLastWriteTime, subkey->LastWriteTime());
    return ERROR_SUCCESS;
}

LSTATUS WINAPI RegEnumKeyW(HKEY hKey, DWORD dwIndex, LPWSTR lpName, DWORD cchName) {
    return RegEnumKeyExW(hKey, dwIndex, lpName, &cchName, nullptr, nullptr, nullptr, nullptr);
}

// Keys carry no security descriptors here, so their size is reported as 0.
LSTATUS WINAPI RegQueryInfoKeyW(HKEY hKey, LPWSTR lpClass, LPDWORD lpcchClass, LPDWORD, LPDWORD lpcSubKeys,
                                LPDWORD lpcbMaxSubKeyLen, LPDWORD lpcbMaxClassLen, LPDWORD lpcValues,
                                LPDWORD lpcbMaxValueNameLen, LPDWORD lpcbMaxValueLen, LPDWORD lpcbSecurityDescriptor,
                                PFILETIME lpftLastWriteTime) {
    if (lpClass && !lpcchClass) return ERROR_INVALID_PARAMETER;
    Call call;
    if (LONG status = call.Begin(hKey)) return status;
    if (LONG status = call.Require(KEY_QUERY_VALUE)) return status;
    KeyObject& object = call.object();
    RegistryKeyPtr primary = object.Primary();
    size_t subkeys = object.SubkeyCount();
    size_t longestName = 0, longestClass = 0;
    ULONGLONG lastWrite = primary->LastWriteTime();
    if (object.merged) {
        for (size_t i = 0; i < subkeys; ++i) {
            RegistryKeyPtr subkey = object.SubkeyAt(i);
            longestName = std::max(longestName, subkey->Name().size());
            longestClass = std::max(longestClass, subkey->ClassName().size());
        }
        if (object.userPart && object.machinePart)
            lastWrite = std::max(object.userPart->LastWriteTime(), object.machinePart->LastWriteTime());
    } else {
        longestName = primary->LongestSubkeyName();
        longestClass = primary->LongestSubkeyClass();
    }
    if (lpcSubKeys) *lpcSubKeys = DWORD(subkeys);
    if (lpcbMaxSubKeyLen) *lpcbMaxSubKeyLen = DWORD(longestName);
    if (lpcbMaxClassLen) *lpcbMaxClassLen = DWORD(longestClass);
    if (lpcValues) *lpcValues = DWORD(primary->ValueCount());
    if (lpcbMaxValueNameLen) *lpcbMaxValueNameLen = DWORD(primary->LongestValueName());
    if (lpcbMaxValueLen) *lpcbMaxValueLen = DWORD(primary->LargestValueData());
    if (lpcbSecurityDescriptor) *lpcbSecurityDescriptor = 0;
    SetFileTime(lpftLastWriteTime, lastWrite);
    const std::u16string& className = primary->ClassName();
    if (lpClass) {
        if (*lpcchClass <= className.size()) {
            *lpcchClass = DWORD(className.size());
            return ERROR_MORE_DATA;
        }
        CopyName(className, lpClass, lpcchClass);
    } else if (lpcchClass) {
        *lpcchClass = DWORD(className.size());
    }
    return ERROR_SUCCESS;
}
