// Installs a printer driver on a test machine and adds printers that use it,
// as an installer would: the driver's files go into the machine's driver
// folder (copied from the host, or small placeholder files for tests that
// never load them), the driver is registered with AddPrinterDriverExW, and a
// printer is added with AddPrinterW.
#pragma once
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "machine/machine.h"
#include "machine/paths.h"
#include "machine/unicode.h"

namespace tam::test {

// Where installed drivers' files live on the machine.
inline std::u16string DriverFolder(const w32::Machine& machine) {
    return machine.Settings().is64Bit ? u"C:\\Windows\\System32\\spool\\drivers\\x64\\3"
                                      : u"C:\\Windows\\System32\\spool\\drivers\\W32X86\\3";
}

struct DriverFiles {
    std::u16string name = u"Korvan Test Driver";
    std::u16string driverFile = u"testrend.dll";
    std::u16string dataFile = u"testdata.gpd";
    std::u16string configFile = u"testui.dll";
    std::u16string helpFile;  // none when empty
    std::vector<std::u16string> dependentFiles;
    std::u16string monitor;          // a language monitor that is installed, or none
    std::u16string defaultDatatype;  // none when empty
    // Files taken from the host, by their name in the driver folder (e.g.
    // u"Tamrend.dll" -> the built module). Files not listed are written as
    // placeholders.
    std::map<std::u16string, std::filesystem::path> hostFiles;

    std::vector<std::u16string> Files() const {
        std::vector<std::u16string> files = {driverFile, dataFile, configFile};
        if (!helpFile.empty()) files.push_back(helpFile);
        files.insert(files.end(), dependentFiles.begin(), dependentFiles.end());
        return files;
    }
};

// Puts a file on the machine's drive; placeholder text when no host file is given.
inline void PutMachineFile(const w32::Machine& machine, std::u16string_view windowsPath,
                           const std::filesystem::path& hostFile = {}) {
    auto normalized = w32::NormalizeWindowsPath(windowsPath, u"C:\\");
    std::filesystem::path target = w32::ResolveOnDrive(machine.DriveRoot(), normalized).host;
    std::filesystem::create_directories(target.parent_path());
    if (!hostFile.empty()) {
        std::filesystem::copy_file(hostFile, target, std::filesystem::copy_options::overwrite_existing);
        return;
    }
    std::ofstream out(target, std::ios::binary | std::ios::trunc);
    out << "placeholder for " << w32::ToUtf8(normalized) << "\n";
}

// Writes the driver's files into the driver folder and registers the driver
// (level 3, bare file names). Gives ERROR_SUCCESS or the error of
// AddPrinterDriverExW.
inline DWORD InstallDriver(const w32::Machine& machine, const DriverFiles& driver) {
    const std::u16string folder = DriverFolder(machine);
    for (const auto& file : driver.Files()) {
        auto host = driver.hostFiles.find(file);
        PutMachineFile(machine, folder + u"\\" + file,
                       host == driver.hostFiles.end() ? std::filesystem::path() : host->second);
    }
    std::u16string dependent;
    for (const auto& file : driver.dependentFiles) dependent += file + u'\0';
    dependent += u'\0';
    std::u16string name = driver.name, driverFile = driver.driverFile, dataFile = driver.dataFile,
                   configFile = driver.configFile, helpFile = driver.helpFile, monitor = driver.monitor,
                   datatype = driver.defaultDatatype;
    auto optional = [](std::u16string& text) { return text.empty() ? nullptr : text.data(); };
    DRIVER_INFO_3W info{};
    info.cVersion = 3;
    info.pName = name.data();
    info.pDriverPath = driverFile.data();
    info.pDataFile = dataFile.data();
    info.pConfigFile = configFile.data();
    info.pHelpFile = optional(helpFile);
    info.pDependentFiles = driver.dependentFiles.empty() ? nullptr : dependent.data();
    info.pMonitorName = optional(monitor);
    info.pDefaultDataType = optional(datatype);
    if (!AddPrinterDriverExW(nullptr, 3, reinterpret_cast<LPBYTE>(&info), APD_COPY_NEW_FILES)) return GetLastError();
    return ERROR_SUCCESS;
}

struct PrinterSettings {
    std::u16string port = u"FILE:";
    const DEVMODEW* devMode = nullptr;  // the printer's default DEVMODE; none when null
    std::u16string comment;
    std::u16string location;
    DWORD attributes = 0;
};

// Adds a printer with the winprint print processor and closes the handle
// AddPrinterW gives. Gives ERROR_SUCCESS or the error of AddPrinterW.
inline DWORD AddTestPrinter(const std::u16string& printerName, const std::u16string& driverName,
                            const PrinterSettings& settings = {}) {
    std::u16string name = printerName, driver = driverName, port = settings.port, processor = u"winprint",
                   datatype = u"RAW", comment = settings.comment, location = settings.location;
    PRINTER_INFO_2W info{};
    info.pPrinterName = name.data();
    info.pDriverName = driver.data();
    info.pPortName = port.data();
    info.pPrintProcessor = processor.data();
    info.pDatatype = datatype.data();
    info.pComment = comment.data();
    info.pLocation = location.data();
    info.pDevMode = const_cast<LPDEVMODEW>(settings.devMode);
    info.Attributes = settings.attributes;
    info.Priority = 1;
    HANDLE printer = AddPrinterW(nullptr, 2, reinterpret_cast<LPBYTE>(&info));
    if (!printer) return GetLastError();
    ClosePrinter(printer);
    return ERROR_SUCCESS;
}

// A driver and a printer that uses it.
inline DWORD InstallPrinter(const w32::Machine& machine, const DriverFiles& driver, const std::u16string& printerName,
                            const PrinterSettings& settings = {}) {
    if (DWORD status = InstallDriver(machine, driver)) return status;
    return AddTestPrinter(printerName, driver.name, settings);
}

}  // namespace tam::test
