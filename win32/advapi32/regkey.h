// What a registry key handle refers to, and the steps every Reg* function
// shares: finding the registry and the handle's key, walking a subkey path
// (with the 32-bit view and the merged HKEY_CLASSES_ROOT), and the access
// rules.
//
// Key handles are this library's own, not kernel handles: they live in a
// table of their own, are never reused, and die with the machine they were
// opened on (a handle from a machine that has been closed is refused with
// ERROR_INVALID_HANDLE).
//
// Access rules, kept simple: a handle carries the rights it was opened
// with, and each function checks the right it needs (KEY_QUERY_VALUE to
// read values, KEY_SET_VALUE to change them, KEY_ENUMERATE_SUB_KEYS to list
// subkeys, KEY_CREATE_SUB_KEY to create one). On top of that, a user who is
// not an elevated administrator (machine settings `administrator` false or
// `uacFiltered` true) may change only keys below his own key of HKEY_USERS:
// opening any other key for writing, creating a key there, or changing or
// deleting it fails with ERROR_ACCESS_DENIED.
#pragma once
#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "machine/registry.h"

namespace w32::reg {

struct KeyObject {
    std::shared_ptr<Registry> registry;
    REGSAM access = 0;  // granted rights, generic rights mapped
    // A plain key.
    RegistryKeyPtr key;
    // A key of HKEY_CLASSES_ROOT: the same path below HKCU\Software\Classes
    // and HKLM\SOFTWARE\Classes, either of which may be missing. Values come
    // from the user's key when there is one, else from the machine's;
    // subkeys are the union of both.
    bool merged = false;
    RegistryKeyPtr userPart;
    RegistryKeyPtr machinePart;
    std::vector<std::u16string> classesPath;  // path below Software\Classes

    // The merged subkeys (for each name, the user's key if any, else the
    // machine's), rebuilt when either part changes.
    std::vector<RegistryKeyPtr> mergedSubkeys;
    RegistryKeyPtr cachedUser;  // held, so that an address is never mistaken for another key's
    RegistryKeyPtr cachedMachine;
    ULONGLONG cachedUserGeneration = 0;
    ULONGLONG cachedMachineGeneration = 0;
    bool cacheValid = false;

    // The key whose values and class the handle shows.
    RegistryKeyPtr Primary() const { return merged ? (userPart ? userPart : machinePart) : key; }
    // Subkeys in enumeration order.
    size_t SubkeyCount();
    RegistryKeyPtr SubkeyAt(size_t index);
};

using KeyObjectPtr = std::shared_ptr<KeyObject>;

bool IsAdministrator();
// Whether the user may change this key (see above).
bool MayWrite(const Registry& registry, const RegistryKey& key);

// One Reg* call: holds the registry's lock for its length (so that it is
// atomic and the hives are written once, at the end) and the key the handle
// refers to.
class Call {
public:
    // Finds the registry and the handle's key: ERROR_INVALID_HANDLE for an
    // unknown handle, ERROR_KEY_DELETED when its key was deleted.
    LONG Begin(HKEY hKey);
    // Ends the call; a failed hive write turns success into ERROR_REGISTRY_IO_FAILED.
    LONG Finish(LONG status);

    Registry& registry() { return *registry_; }
    KeyObject& object() { return *object_; }
    const KeyObjectPtr& objectPtr() const { return object_; }

    // ERROR_ACCESS_DENIED unless the handle holds `rights` (and, for rights
    // that change the key, the user may change it).
    LONG Require(REGSAM rights) const;

private:
    std::shared_ptr<Registry> registry_;
    std::optional<Registry::Batch> batch_;
    KeyObjectPtr object_;
};

// Splits a subkey path at backslashes. A path that starts with a backslash
// is ERROR_BAD_PATHNAME; empty components are skipped.
LONG SplitPath(LPCWSTR path, std::vector<std::u16string>& parts);

struct CreateOptions {
    bool isVolatile = false;
    std::u16string className;
    bool parentMayCreate = false;  // the parent handle holds KEY_CREATE_SUB_KEY
};

// Walks `parts` below the call's key. Opens when `create` is null, else
// creates missing keys. The result is a new, unregistered object (no
// rights yet). `view32` selects the 32-bit view of HKLM\SOFTWARE.
LONG Walk(Call& call, const std::vector<std::u16string>& parts, bool view32, const CreateOptions* create,
          KeyObjectPtr& result, bool* created);

// Whether a call asks for the 32-bit view (KEY_WOW64_32KEY on a 64-bit machine).
bool WantsView32(const Registry& registry, REGSAM samDesired);

// The rights a handle gets for `samDesired`, or ERROR_ACCESS_DENIED.
LONG GrantAccess(const Registry& registry, const KeyObject& object, REGSAM samDesired, REGSAM& granted);

HKEY InsertKeyHandle(KeyObjectPtr object);

// Opens a subkey of a handle for the functions that take one (RegGetValueW,
// RegSetValueW, ...). An empty or null path gives the handle's own key.
LONG OpenForCall(Call& call, LPCWSTR subKey, REGSAM samDesired, KeyObjectPtr& result);

}  // namespace w32::reg
