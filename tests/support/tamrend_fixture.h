// Tamrend on a test machine, installed as a printer driver package installs
// it: Tamrend.dll (and, when a test asks, the stand-in of the outside
// image-processing library Zodaridoz.DLL) with the user interface DLL and its
// resource modules in the machine's driver folder, the driver "Korvan Laser
// PCL6" registered with a data file and a configuration file, and the
// printer "Korvan Laser" that uses it.
#pragma once
#include <windows.h>
#include <winspool.h>

#include <string>

#include "machine/machine.h"
#include "support/machine_fixture.h"
#include "support/module_install.h"
#include "support/printer_fixture.h"

namespace tam::test {

inline constexpr char16_t kTamrendDriver[] = u"Korvan Laser PCL6";
inline constexpr char16_t kKorvanLaser[] = u"Korvan Laser";
inline constexpr char16_t kTamrendFile[] = u"Tamrend.dll";
inline constexpr char16_t kTamrendDataFile[] = u"Tamrend.dat";
inline constexpr char16_t kIpsFile[] = u"Zodaridoz.DLL";

struct TamrendInstall {
    bool imageLibrary = false;  // Zodaridoz.DLL beside Tamrend.dll
};

// The driver's files, from the build, as the driver record lists them.
inline DriverFiles TamrendDriverFiles(const TamrendInstall& options = {}) {
    DriverFiles files;
    files.name = kTamrendDriver;
    files.driverFile = kTamrendFile;
    files.dataFile = kTamrendDataFile;  // a placeholder: nothing reads it
    files.configFile = u"Tamsheetui.dll";
    files.dependentFiles = {u"Tamsheetenus.dll", u"TamsheetResBmp.dll"};
    const auto built = BuiltFolder();
    files.hostFiles[kTamrendFile] = built / "Tamrend.dll";
    files.hostFiles[u"Tamsheetui.dll"] = built / "Tamsheetui.dll";
    files.hostFiles[u"Tamsheetenus.dll"] = built / "Tamsheetenus.res";
    files.hostFiles[u"TamsheetResBmp.dll"] = built / "TamsheetResBmp.res";
    if (options.imageLibrary) {
        files.dependentFiles.push_back(kIpsFile);
        files.hostFiles[kIpsFile] = built / "Zodaridoz.dll";
    }
    return files;
}

// The driver, and the printer "Korvan Laser" with `printerDefaults` as its
// default settings (none when null). Gives ERROR_SUCCESS or the spooler's error.
inline DWORD InstallKorvanLaser(const w32::Machine& machine, const DEVMODEW* printerDefaults,
                                const TamrendInstall& options = {}) {
    PrinterSettings settings;
    settings.devMode = printerDefaults;
    return InstallPrinter(machine, TamrendDriverFiles(options), kKorvanLaser, settings);
}

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
