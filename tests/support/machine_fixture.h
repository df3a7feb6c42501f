// A fresh simulated machine for each test, in its own temporary folder, with
// a virtual clock. The folder is removed when the test ends.
#pragma once
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

#include "machine/machine.h"
#include "machine/paths.h"
#include "machine/unicode.h"

namespace tam::test {

inline std::filesystem::path MakeTempFolder(const char* prefix = "tam-test-") {
    std::string pattern = (std::filesystem::temp_directory_path() / (std::string(prefix) + "XXXXXX")).string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    return pattern;
}

class MachineTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = MakeTempFolder();
        w32::MachineSettings settings = MakeSettings();
        w32::Machine::Create(folder_ / "machine", settings);
    }

    void TearDown() override {
        w32::Machine::CloseCurrent();
        std::error_code ec;
        std::filesystem::remove_all(folder_, ec);
    }

    // Override to start from other settings; the clock is virtual by default.
    virtual w32::MachineSettings MakeSettings() const {
        w32::MachineSettings settings;
        settings.virtualClock = true;
        return settings;
    }

    w32::Machine& machine() const { return w32::Machine::Current(); }
    std::filesystem::path machineFolder() const { return folder_ / "machine"; }

    // Saves and closes the machine, then opens it again from its folder.
    w32::Machine& Reopen() {
        w32::Machine::CloseCurrent();
        return w32::Machine::Open(machineFolder());
    }

    // Where a Windows path of the machine lies on the host (existing or not).
    std::filesystem::path HostPath(std::u16string_view windowsPath) const {
        auto normalized = w32::NormalizeWindowsPath(windowsPath, u"C:\\");
        return w32::ResolveOnDrive(machine().DriveRoot(), normalized).host;
    }

private:
    std::filesystem::path folder_;
};

}  // namespace tam::test
