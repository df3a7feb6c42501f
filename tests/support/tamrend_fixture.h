// Tamrend on a test machine, installed as a printer driver package installs
// it: Tamrend.dll (and, when a test asks, the stand-in of the outside
// image-processing library Zodaridoz.DLL) with the user interface DLL and its
// resource modules in the machine's driver folder, the driver "Korvan Laser
// PCL6" registered with a data file and a configuration file, and the
// printer "Korvan Laser" that uses it. The installation is the one the print
// tool makes (tools/machinesetup).
#pragma once
#include <windows.h>
#include <winspool.h>

#include <string>

#include "machine/machine.h"
#include "support/machine_fixture.h"
#include "support/module_install.h"
#include "support/printer_fixture.h"

namespace tam::test {

using tam::setup::InstallKorvanLaser;
using tam::setup::kIpsFile;
using tam::setup::kKorvanLaser;
using tam::setup::kTamrendDataFile;
using tam::setup::kTamrendDriver;
using tam::setup::kTamrendFile;
using tam::setup::TamrendDriverFiles;
using tam::setup::TamrendInstall;

// The driver's registry key, where the spooler keeps its record.
inline std::u16string TamrendDriverKey() {
    return std::u16string(u"SYSTEM\\CurrentControlSet\\Control\\Print\\Environments\\Windows x64\\Drivers\\"
                          u"Version-3\\") +
           kTamrendDriver;
}

// A machine in an A4 country (Germany) on which the driver is installed.
class TamrendMachineTest : public MachineTest {
protected:
    w32::MachineSettings MakeSettings() const override {
        w32::MachineSettings settings = MachineTest::MakeSettings();
        settings.country = 49;
        return settings;
    }

    std::u16string InDriverFolder(std::u16string_view fileName) const {
        return DriverFolder(machine()) + u"\\" + std::u16string(fileName);
    }
};

}  // namespace tam::test
