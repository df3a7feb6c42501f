// The simulated computer that the layer's functions act on: a folder holding
// drive C: and the registry hives, plus its settings, environment, current
// directory and clock. A process has one current machine. Until a test or a
// tool makes or opens one, it is a machine with default settings that lives
// in memory only and has no drive.
#pragma once
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>

#include "machine/clock.h"
#include "machine/settings.h"

namespace w32 {

// A machine folder that cannot be opened: missing, or a damaged file in it.
class MachineError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A machine folder that another process has open. The machine's state
// lives in the process that opened it and is written back when it closes,
// so a machine is used by one process at a time.
class MachineBusy : public MachineError {
public:
    using MachineError::MachineError;
};

class Machine;

// A part of the machine's state kept by a library of the layer (the registry,
// the spooler, ...). Components register once, from a static initializer, and
// are told when a machine is made, opened and closed, in order of rank.
class MachineComponent {
public:
    virtual ~MachineComponent() = default;
    virtual int Rank() const { return 100; }
    // A fresh machine: lay out the initial state (and write it, when the
    // machine has a folder).
    virtual void Create(Machine&) {}
    // An existing machine folder: load the state; throw MachineError when damaged.
    virtual void Open(Machine& machine) { Create(machine); }
    // The machine is going away: save and drop the state.
    virtual void Close(Machine&) {}
};
void RegisterMachineComponent(MachineComponent* component);

class Machine {
public:
    // The current machine (a memory-only default one until Create or Open).
    static Machine& Current();
    // Makes a fresh machine in `folder` (created; must be empty or missing)
    // with its standard folders, and makes it current. Throws MachineError
    // (MachineBusy while another process has the folder).
    static Machine& Create(const std::filesystem::path& folder, const MachineSettings& settings = {});
    // Opens a machine made earlier, and makes it current. Throws MachineError
    // (MachineBusy while another process has it open).
    static Machine& Open(const std::filesystem::path& folder);
    // Opens the machine in `folder`, or creates it there when the folder holds none.
    static Machine& OpenOrCreate(const std::filesystem::path& folder, const MachineSettings& settings = {});
    // Saves and closes the current machine; the memory-only default follows.
    static void CloseCurrent();
    // The folder a tool uses when none is given: $TAM_MACHINE, else
    // $XDG_DATA_HOME/korvan/machine, else ~/.local/share/korvan/machine.
    static std::filesystem::path DefaultFolder();

    ~Machine();

    const MachineSettings& Settings() const { return settings_; }
    MachineSettings& MutableSettings() { return settings_; }
    // Writes the settings to the machine folder (nothing for a memory-only machine).
    void SaveSettings() const;

    // Empty for the memory-only machine.
    const std::filesystem::path& Folder() const { return folder_; }
    bool HasDrive() const { return !folder_.empty(); }
    // The host folder that is drive C:.
    std::filesystem::path DriveRoot() const { return folder_.empty() ? folder_ : folder_ / "drive_c"; }

    // Standard Windows folders of this machine.
    std::u16string WindowsDirectory() const { return u"C:\\Windows"; }
    std::u16string SystemDirectory() const { return u"C:\\Windows\\System32"; }
    std::u16string UserProfile() const { return u"C:\\Users\\" + settings_.userName; }
    std::u16string TempDirectory() const { return UserProfile() + u"\\AppData\\Local\\Temp"; }
    std::u16string ProgramPath() const { return settings_.programPath; }
    std::u16string ProgramDirectory() const;

    // Environment variables (names without regard to case). Returns false when unset.
    bool GetEnvironment(std::u16string_view name, std::u16string& value) const;
    void SetEnvironment(std::u16string_view name, const std::u16string* value);
    std::map<std::u16string, std::u16string> Environment() const;

    std::u16string WorkingDirectory() const;
    void SetWorkingDirectory(const std::u16string& path);

    Clock& TheClock() { return clock_; }

    // Guards the machine's own members; components keep their own locks.
    std::recursive_mutex& Lock() const { return lock_; }

private:
    Machine() = default;
    void LayOutFolders();
    void ResetEnvironment();
    void LoadSettings();
    // Takes the folder for this process until the machine goes (MachineBusy
    // when another process holds it).
    void LockFolder();

    std::filesystem::path folder_;
    int folderLock_ = -1;  // descriptor of the folder, holding an exclusive flock
    MachineSettings settings_;
    std::map<std::u16string, std::pair<std::u16string, std::u16string>> environment_;  // folded name -> (name, value)
    std::u16string currentDirectory_;
    Clock clock_;
    mutable std::recursive_mutex lock_;
};

}  // namespace w32
