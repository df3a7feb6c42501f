// The machine's registry as a whole: the registry of the current machine,
// batches of changes and the hive files they are saved to (registryhive.h
// holds their format), and making a fresh registry (registrydefaults.cpp
// lays out its keys) or loading one from the machine's folder. The key tree
// and its changes are in registrykey.cpp.
#include "machine/registry.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <utility>

#include "machine/machine.h"
#include "machine/registryhive.h"
#include "winreg.h"

namespace w32 {

namespace {

const char* const kHiveNames[2] = {"HKLM.hive", "HKU.hive"};

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

}  // namespace

std::shared_ptr<Registry> Registry::Current() {
    Machine::Current();
    std::lock_guard lock(gCurrentLock);
    return gCurrent;
}

Registry::~Registry() = default;

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
    std::string image = EncodeHive(*roots_[index]);

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

        auto root = NewRoot(i == 0 ? RegistryHive::Machine : RegistryHive::Users);
        DecodeHive(image, path.string(), root);
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

}  // namespace w32
