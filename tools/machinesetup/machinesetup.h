// Installs the driver package on a simulated machine as an installer does:
// the modules the build made are copied into the machine's driver folder,
// the driver is registered with AddPrinterDriverExW and a printer that uses
// it is added with AddPrinterW. The print tool sets up its machines with
// these routines, and the test fixtures theirs, so that a test machine holds
// what a user's machine holds.
//
// Header-only: the routines need nothing but the layer's headers and
// libraries that every user links already.
#pragma once
#include <windows.h>
#include <winspool.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <stdexcept>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "machine/machine.h"
#include "machine/paths.h"
#include "machine/unicode.h"

namespace tam::setup {

// The folder holding the build's binaries: the running program's own folder
// (tools and test programs are built beside the modules).
inline std::filesystem::path BuiltFolder() {
    return std::filesystem::read_symlink("/proc/self/exe").parent_path();
}

// Where a Windows path of the machine lies on the host, existing or not:
// missing folders keep the spelling given, existing ones the spelling on disk.
inline std::filesystem::path MachineHostPath(const w32::Machine& machine, std::u16string_view windowsPath) {
    auto normalized = w32::NormalizeWindowsPath(windowsPath, u"C:\\");
    return w32::ResolveOnDrive(machine.DriveRoot(), normalized).host;
}

// Where installed drivers' files live on the machine.
inline std::u16string DriverFolder(const w32::Machine& machine) {
    return machine.Settings().is64Bit ? u"C:\\Windows\\System32\\spool\\drivers\\x64\\3"
                                      : u"C:\\Windows\\System32\\spool\\drivers\\W32X86\\3";
}

// Copies a built module (a name in the build's folder, or a path) to
// `windowsPath` on the machine, making the folders on the way. A code
// module's .res file, when the build made one, goes beside it under the new
// base name. A built .res file installed under a .dll name is a
// resource-only module. Throws std::runtime_error when something is missing.
inline std::filesystem::path InstallModule(w32::Machine& machine, const std::filesystem::path& built,
                                           std::u16string_view windowsPath) {
    std::filesystem::path source = built.is_absolute() ? built : BuiltFolder() / built;
    if (!std::filesystem::is_regular_file(source)) throw std::runtime_error("not built: " + source.string());
    std::filesystem::path target = MachineHostPath(machine, windowsPath);
    std::filesystem::create_directories(target.parent_path());
    std::filesystem::copy_file(source, target, std::filesystem::copy_options::overwrite_existing);
    if (source.extension() != ".res") {
        std::filesystem::path resources = source;
        resources.replace_extension(".res");
        if (std::filesystem::is_regular_file(resources)) {
            std::filesystem::path besideTarget = target;
            besideTarget.replace_extension(".res");
            std::filesystem::copy_file(resources, besideTarget, std::filesystem::copy_options::overwrite_existing);
        }
    }
    return target;
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

// Puts a file on the machine's drive; placeholder text when no host file is
// given. Throws std::filesystem::filesystem_error when the copy fails.
inline void PutMachineFile(const w32::Machine& machine, std::u16string_view windowsPath,
                           const std::filesystem::path& hostFile = {}) {
    std::filesystem::path target = MachineHostPath(machine, windowsPath);
    std::filesystem::create_directories(target.parent_path());
    if (!hostFile.empty()) {
        std::filesystem::copy_file(hostFile, target, std::filesystem::copy_options::overwrite_existing);
        return;
    }
    std::ofstream out(target, std::ios::binary | std::ios::trunc);
    out << "placeholder for " << w32::ToUtf8(w32::NormalizeWindowsPath(windowsPath, u"C:\\")) << "\n";
}

// The host files of a driver that are missing, by their host path.
inline std::vector<std::filesystem::path> MissingHostFiles(const DriverFiles& driver) {
    std::vector<std::filesystem::path> missing;
    for (const auto& [name, host] : driver.hostFiles)
        if (!std::filesystem::is_regular_file(host)) missing.push_back(host);
    return missing;
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

// Brings the files an installed driver takes from the host up to date: each
// whose bytes differ from the host file's is copied again, as an update of
// the package would. Gives how many were copied. Throws
// std::filesystem::filesystem_error when a file cannot be read or written.
inline int RefreshDriverFiles(const w32::Machine& machine, const DriverFiles& driver) {
    auto readAll = [](const std::filesystem::path& path, std::string& bytes) {
        std::ifstream in(path, std::ios::binary);
        if (!in) return false;
        bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        return !in.bad();
    };
    const std::u16string folder = DriverFolder(machine);
    int copied = 0;
    for (const auto& [name, host] : driver.hostFiles) {
        const std::filesystem::path target = MachineHostPath(machine, folder + u"\\" + name);
        std::string installed, built;
        if (!readAll(host, built))
            throw std::filesystem::filesystem_error("cannot read", host,
                                                    std::make_error_code(std::errc::io_error));
        if (readAll(target, installed) && installed == built) continue;
        PutMachineFile(machine, folder + u"\\" + name, host);
        ++copied;
    }
    return copied;
}

struct PrinterSettings {
    std::u16string port = u"FILE:";
    const DEVMODEW* devMode = nullptr;  // the printer's default DEVMODE; none when null
    std::u16string comment;
    std::u16string location;
    DWORD attributes = 0;
};

// Adds a printer that uses the driver `driverName`, with the winprint print
// processor, and closes the handle AddPrinterW gives. Gives ERROR_SUCCESS
// or the error of AddPrinterW. (winspool.h makes "AddPrinter" a macro,
// hence the name.)
inline DWORD AddPrinterUsing(const std::u16string& printerName, const std::u16string& driverName,
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
    return AddPrinterUsing(printerName, driver.name, settings);
}

// The Korvan package: Tamrend.dll (and, when asked, the stand-in of the
// outside image-processing library Zodaridoz.DLL) with the user interface
// DLL and its resource modules in the machine's driver folder, the driver
// "Korvan Laser PCL6" registered with a data file and a configuration file,
// and the printer "Korvan Laser" that uses it.
inline constexpr char16_t kTamrendDriver[] = u"Korvan Laser PCL6";
inline constexpr char16_t kKorvanLaser[] = u"Korvan Laser";
inline constexpr char16_t kTamrendFile[] = u"Tamrend.dll";
inline constexpr char16_t kTamrendDataFile[] = u"Tamrend.dat";
inline constexpr char16_t kTamsheetUiFile[] = u"Tamsheetui.dll";
inline constexpr char16_t kIpsFile[] = u"Zodaridoz.DLL";

struct TamrendInstall {
    bool imageLibrary = false;  // Zodaridoz.DLL beside Tamrend.dll
    // Where the built modules are; the running program's folder when empty.
    std::filesystem::path builtFolder;
};

// The driver's files, from the build, as the driver record lists them.
inline DriverFiles TamrendDriverFiles(const TamrendInstall& options = {}) {
    DriverFiles files;
    files.name = kTamrendDriver;
    files.driverFile = kTamrendFile;
    files.dataFile = kTamrendDataFile;  // a placeholder: nothing reads it
    files.configFile = kTamsheetUiFile;
    files.dependentFiles = {u"Tamsheetenus.dll", u"TamsheetResBmp.dll"};
    const auto built = options.builtFolder.empty() ? BuiltFolder() : options.builtFolder;
    files.hostFiles[kTamrendFile] = built / "Tamrend.dll";
    files.hostFiles[kTamsheetUiFile] = built / "Tamsheetui.dll";
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

}  // namespace tam::setup
