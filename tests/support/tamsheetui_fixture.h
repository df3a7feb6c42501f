// TamsheetUI on a test machine: the module Tamsheetui.dll with its English
// language module and its bitmap module in the machine's driver folder, as
// an installed driver has them.
#pragma once
#include <windows.h>

#include <filesystem>
#include <string>

#include "support/machine_fixture.h"
#include "support/module_install.h"
#include "support/printer_fixture.h"

namespace tam::test {

// Puts a built module or resource file (e.g. "TamsheetenGB.res") into the
// driver folder under `fileName`.
inline std::filesystem::path InstallIntoDriverFolder(w32::Machine& machine, const std::filesystem::path& built,
                                                     std::u16string_view fileName) {
    return InstallModule(machine, built, DriverFolder(machine) + u"\\" + std::u16string(fileName));
}

// Tamsheetui.dll, Tamsheetenus.dll and TamsheetResBmp.dll.
inline void InstallTamsheetUi(w32::Machine& machine) {
    InstallIntoDriverFolder(machine, "Tamsheetui.dll", u"Tamsheetui.dll");
    InstallIntoDriverFolder(machine, "Tamsheetenus.res", u"Tamsheetenus.dll");
    InstallIntoDriverFolder(machine, "TamsheetResBmp.res", u"TamsheetResBmp.dll");
}

// A machine with TamsheetUI installed in its driver folder.
class TamsheetUiMachineTest : public MachineTest {
protected:
    void SetUp() override {
        MachineTest::SetUp();
        InstallTamsheetUi(machine());
    }

    std::u16string DriverFolderPath() const { return DriverFolder(machine()); }
    std::u16string InDriverFolder(std::u16string_view fileName) const {
        return DriverFolderPath() + u"\\" + std::u16string(fileName);
    }
};

}  // namespace tam::test
