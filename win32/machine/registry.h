// The registry of the simulated machine: a tree of keys holding named, typed
// values. It is kept in two hives, HKLM (the machine's keys) and HKU (the
// users' keys, .DEFAULT and the user of the machine under a SID-like name),
// each a file in <machine>/registry that is rewritten after every change.
// A machine without a folder keeps its registry in memory only.
//
// This is the store; the Win32 functions (RegOpenKeyExW and friends, with
// their handles, predefined keys, views and access rules) are in advapi32.
// Every use of keys and values goes under Registry::Mutex().
//
// registry.cpp: the registry of the machine, batches and saving, making and
// loading; registrykey.cpp: the key tree and its changes; registryhive.h:
// the hive file format; registrydefaults.cpp: the keys of a fresh machine.
#pragma once
#include <ext/pb_ds/assoc_container.hpp>
#include <ext/pb_ds/tree_policy.hpp>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "minwindef.h"

namespace w32 {

class Machine;
class Clock;

// Limits the registry enforces, in characters without a terminator.
constexpr size_t kMaxKeyNameLength = 255;
constexpr size_t kMaxValueNameLength = 16383;
// The deepest a key may lie below its hive's root.
constexpr unsigned kMaxKeyDepth = 512;

struct RegistryValue {
    std::u16string name;  // the spelling it was first given
    DWORD type = 0;
    std::vector<BYTE> data;  // exactly the bytes given
};

// Names are looked up without regard to case and kept in the spelling they
// were first given. A key's subkeys and values are ordered by their names
// compared case-insensitively (upper-cased, unit by unit), which is the order
// in which the Win32 functions enumerate them: Windows orders subkeys this
// way, and this registry orders values the same way, so that enumeration is
// stable. Access by position is O(log n), so enumerating n entries is
// O(n log n).
// The name a key or value is indexed under: upper-cased unit by unit.
std::u16string RegistryIndexName(std::u16string_view name);

template <class T>
using RegistryNameIndex = __gnu_pbds::tree<std::u16string, T, std::less<std::u16string>, __gnu_pbds::rb_tree_tag,
                                           __gnu_pbds::tree_order_statistics_node_update>;

enum class RegistryHive { Machine, Users };

class RegistryKey;
using RegistryKeyPtr = std::shared_ptr<RegistryKey>;

class RegistryKey {
public:
    const std::u16string& Name() const { return name_; }
    const std::u16string& ClassName() const { return className_; }
    RegistryHive Hive() const { return hive_; }
    // A deleted key stays valid for those who hold it, but has no parent and
    // is no longer part of the tree.
    bool IsDeleted() const { return deleted_; }
    // A volatile key and its values are never written to the hive file.
    bool IsVolatile() const { return volatile_; }
    // 0 for a hive's root.
    unsigned Depth() const { return depth_; }
    // FILETIME units of the machine clock.
    ULONGLONG LastWriteTime() const { return lastWrite_; }
    RegistryKeyPtr Parent() const { return parent_.lock(); }
    // Changes whenever a subkey is added or removed.
    ULONGLONG SubkeyGeneration() const { return subkeyGeneration_; }

    size_t SubkeyCount() const { return subkeys_.size(); }
    RegistryKeyPtr SubkeyAt(size_t index) const;
    RegistryKeyPtr FindSubkey(std::u16string_view name) const;
    size_t ValueCount() const { return values_.size(); }
    const RegistryValue* ValueAt(size_t index) const;
    const RegistryValue* FindValue(std::u16string_view name) const;

    // Longest subkey name and class (characters), value name (characters) and
    // value data (bytes); each a scan of the key's entries.
    size_t LongestSubkeyName() const;
    size_t LongestSubkeyClass() const;
    size_t LongestValueName() const;
    size_t LargestValueData() const;

private:
    friend class Registry;
    friend struct RegistryCodec;
    std::u16string name_;
    std::u16string className_;
    RegistryHive hive_ = RegistryHive::Machine;
    bool deleted_ = false;
    bool volatile_ = false;
    unsigned depth_ = 0;
    ULONGLONG lastWrite_ = 0;
    ULONGLONG subkeyGeneration_ = 0;
    std::weak_ptr<RegistryKey> parent_;
    RegistryNameIndex<RegistryKeyPtr> subkeys_;  // folded name -> key
    RegistryNameIndex<RegistryValue> values_;    // folded name -> value
};

// The key name of the machine's user under HKEY_USERS: a SID in the form
// Windows gives a local account (S-1-5-21-a-b-c-1001), its numbers derived
// from the user name so that it is the same on every run.
std::u16string UserSidString(std::u16string_view userName);

class Registry {
public:
    // The registry of the current machine (making the default machine when
    // there is none). Null only while a machine is being closed.
    static std::shared_ptr<Registry> Current();

    // Lays out a fresh registry for the machine (and writes its hives when the
    // machine has a folder).
    static std::shared_ptr<Registry> CreateFor(Machine& machine);
    // Loads the hives of an existing machine folder. A missing, truncated or
    // damaged hive throws MachineError; nothing is written then.
    static std::shared_ptr<Registry> LoadFor(Machine& machine);

    ~Registry();

    std::recursive_mutex& Mutex() const { return mutex_; }

    RegistryKeyPtr LocalMachine() const { return roots_[0]; }
    RegistryKeyPtr Users() const { return roots_[1]; }
    const std::u16string& UserSid() const { return userSid_; }
    // HKU\<user SID>; null if someone deleted it.
    RegistryKeyPtr CurrentUser() const;
    bool Is64Bit() const { return is64Bit_; }
    // False once the machine it belongs to has been closed: its keys are then
    // stale and must not be used.
    bool IsLoaded() const;
    bool BelongsTo(const Machine& machine) const { return owner_ == &machine; }
    // A hive's root or a key directly below one (SOFTWARE, SYSTEM, .DEFAULT,
    // the user's key): those stand for whole hives on Windows and cannot be
    // deleted.
    static bool IsHiveTop(const RegistryKey& key) { return key.Depth() <= 1; }

    // Changes. Each returns a Win32 error code and saves the hive it changed:
    // at once, or at the end of the outermost Batch when one is open.
    // CreateSubkey opens the subkey when it exists (created = false).
    LONG CreateSubkey(const RegistryKeyPtr& parent, std::u16string_view name, bool isVolatile,
                      std::u16string_view className, RegistryKeyPtr& key, bool& created);
    LONG SetValue(const RegistryKeyPtr& key, std::u16string_view name, DWORD type, const void* data, size_t size);
    LONG DeleteValue(const RegistryKeyPtr& key, std::u16string_view name);
    // Refuses (ERROR_ACCESS_DENIED) a key that has subkeys or is a hive's top.
    LONG DeleteKey(const RegistryKeyPtr& key);
    // Deletes the key's subkeys and values, and the key itself when asked.
    LONG DeleteTree(const RegistryKeyPtr& key, bool includingKey);
    // Writes any hive whose last save failed.
    LONG Flush();

    // Groups changes so that the hives are written once, when the outermost
    // batch ends. Finish turns a successful status into ERROR_REGISTRY_IO_FAILED
    // when a hive could not be written.
    class Batch {
    public:
        explicit Batch(Registry& registry);
        ~Batch();
        LONG Finish(LONG status);
        Batch(const Batch&) = delete;
        Batch& operator=(const Batch&) = delete;

    private:
        Registry& registry_;
        bool finished_ = false;
    };

    // Helpers for the layer's own code; paths are backslash-separated, below
    // `from`. Find gives null when a key is missing; Ensure creates what is
    // missing.
    RegistryKeyPtr Find(const RegistryKeyPtr& from, std::u16string_view path) const;
    RegistryKeyPtr Ensure(const RegistryKeyPtr& from, std::u16string_view path);
    void SetString(const RegistryKeyPtr& key, std::u16string_view name, std::u16string_view value,
                   DWORD type = 1 /* REG_SZ */);
    void SetDword(const RegistryKeyPtr& key, std::u16string_view name, DWORD value);

    // The machine is closing: writes anything unsaved and detaches.
    void Unload();

private:
    Registry() = default;
    struct HiveFile {
        std::filesystem::path path;  // empty: in memory only
        bool dirty = false;
        bool failed = false;  // the last save did not succeed
    };

    static RegistryKeyPtr NewRoot(RegistryHive hive);
    static void MarkDeleted(const RegistryKeyPtr& top);
    ULONGLONG Now() const;
    void Touch(const RegistryKey& key);
    void EndBatch();
    bool SaveHive(int index);
    void LayOutMachineHive(const Machine& machine);
    void LayOutUserKeys(const Machine& machine);

    mutable std::recursive_mutex mutex_;
    RegistryKeyPtr roots_[2];
    HiveFile files_[2];
    std::u16string userSid_;
    bool is64Bit_ = true;
    bool loaded_ = true;
    int batchDepth_ = 0;
    Clock* clock_ = nullptr;
    const Machine* owner_ = nullptr;
};

}  // namespace w32
