// Printer drivers: installing them (with their files), reading, listing and
// removing them, and the folders their files go to.
#include <windows.h>

#include "machine/machine.h"
#include "machine/paths.h"
#include "winspool/packer.h"
#include "winspool/printhandle.h"
#include "winspool/spooler.h"
#include "winspool/store.h"

using namespace w32::spool;
using w32::RegistryKeyPtr;
using w32::RegistryValue;

namespace {

// --- Taking a caller's driver ----------------------------------------------------------

// The members every DRIVER_INFO level from 2 up shares, then those of 3, 4 and 6.
DWORD TakeDriverInfo(DWORD level, const BYTE* data, DriverRecord& r, std::u16string& environment,
                     std::vector<std::u16string>& references) {
    DRIVER_INFO_6W info{};
    switch (level) {
        case 2: std::memcpy(&info, data, sizeof(DRIVER_INFO_2W)); break;
        case 3: std::memcpy(&info, data, sizeof(DRIVER_INFO_3W)); break;
        case 4: std::memcpy(&info, data, sizeof(DRIVER_INFO_4W)); break;
        case 6: std::memcpy(&info, data, sizeof(DRIVER_INFO_6W)); break;
        // Level 8's extra members (printer-class attributes, core drivers) are not kept.
        case 8: return ERROR_NOT_SUPPORTED;
        default: return ERROR_INVALID_LEVEL;
    }
    // Only user-mode (version 3) drivers run on this system.
    if (info.cVersion != kDriverVersion) return ERROR_INVALID_PARAMETER;
    r.name = Text(info.pName);
    if (!IsKeyName(r.name) || r.name.find(u',') != std::u16string::npos) return ERROR_INVALID_PARAMETER;
    environment = Text(info.pEnvironment);
    // The driver, its data file and its user-interface DLL are required.
    references = {Text(info.pDriverPath), Text(info.pDataFile), Text(info.pConfigFile), Text(info.pHelpFile)};
    if (references[0].empty() || references[1].empty() || references[2].empty()) return ERROR_INVALID_PARAMETER;
    std::vector<std::u16string> dependent = TextList(info.pDependentFiles);
    references.insert(references.end(), dependent.begin(), dependent.end());
    r.monitor = Text(info.pMonitorName);
    r.datatype = Text(info.pDefaultDataType);
    r.previousNames = TextList(info.pszzPreviousNames);
    r.date = info.ftDriverDate;
    r.driverVersion = info.dwlDriverVersion;
    r.manufacturer = Text(info.pszMfgName);
    r.oemUrl = Text(info.pszOEMUrl);
    r.hardwareId = Text(info.pszHardwareID);
    r.provider = Text(info.pszProvider);
    return ERROR_SUCCESS;
}

bool IsFile(const std::u16string& path) {
    DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool LastWrite(const std::u16string& path, ULONGLONG& time) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return false;
    time = (ULONGLONG(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime;
    return true;
}

std::u16string Folder(std::u16string_view path) {
    size_t slash = path.rfind(u'\\');
    return std::u16string(path.substr(0, slash == std::u16string_view::npos ? 0 : slash));
}

// Where one of a driver's files comes from.
struct DriverFile {
    std::u16string name;    // its name in the version folder
    std::u16string source;  // where to take it from; empty when it is in place
    bool move = false;      // an installer's file in the driver folder, moved into the version folder
};

// A full path names a file to copy (unless it already lies in the version
// folder). A bare name is an installer's file in the driver folder or else
// one already in the version folder. Files an installer put into the driver
// folder are moved from there into the version folder.
DWORD LocateDriverFile(const std::u16string& reference, const Environment& environment, DriverFile& file) {
    const std::u16string versionFolder = DriverVersionDirectory(environment);
    if (reference.find_first_of(u"\\/:") != std::u16string::npos) {
        std::u16string path = w32::NormalizeWindowsPath(reference, w32::Machine::Current().WorkingDirectory());
        file.name = path.substr(path.rfind(u'\\') + 1);
        if (file.name.empty()) return ERROR_INVALID_PARAMETER;
        if (!IsFile(path)) return ERROR_FILE_NOT_FOUND;
        if (!w32::NamesEqual(Folder(path), versionFolder)) file.source = path;
        file.move = w32::NamesEqual(Folder(path), DriverDirectory(environment));
        return ERROR_SUCCESS;
    }
    file.name = reference;
    std::u16string staged = DriverDirectory(environment) + u"\\" + reference;
    if (IsFile(staged)) {
        file.source = staged;
        file.move = true;
        return ERROR_SUCCESS;
    }
    return IsFile(versionFolder + u"\\" + reference) ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
}

// Puts a file into the version folder. APD_COPY_ALL_FILES replaces what is
// there; otherwise a file already there is replaced only by a newer one.
DWORD PlaceDriverFile(const DriverFile& file, const Environment& environment, DWORD flags) {
    if (file.source.empty()) return ERROR_SUCCESS;
    std::u16string target = DriverVersionDirectory(environment) + u"\\" + file.name;
    bool copy = true;
    ULONGLONG sourceTime = 0, targetTime = 0;
    if (!(flags & APD_COPY_ALL_FILES) && LastWrite(target, targetTime) && LastWrite(file.source, sourceTime))
        copy = sourceTime > targetTime;
    BOOL done = TRUE;
    if (file.move) {
        done = copy ? MoveFileExW(file.source.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING)
                    : DeleteFileW(file.source.c_str());
    } else if (copy) {
        done = CopyFileW(file.source.c_str(), target.c_str(), FALSE);
    }
    return done ? ERROR_SUCCESS : GetLastError();
}

DWORD AddDriverImpl(Call& call, LPCWSTR pName, DWORD level, const BYTE* data, DWORD flags) {
    if (DWORD status = CheckAdministration(pName)) return status;
    if (!data)
        return level == 2 || level == 3 || level == 4 || level == 6 ? ERROR_INVALID_PARAMETER : ERROR_INVALID_LEVEL;
    // Upgrades and downgrades that depend on the files' versions are not decided here.
    if (flags & (APD_STRICT_UPGRADE | APD_STRICT_DOWNGRADE)) return ERROR_NOT_SUPPORTED;
    DriverRecord r;
    std::u16string environmentName;
    std::vector<std::u16string> references;
    if (DWORD status = TakeDriverInfo(level, data, r, environmentName, references)) return status;
    Environment environment;
    if (DWORD status =
            ResolveEnvironment(call, environmentName.empty() ? nullptr : environmentName.c_str(), environment))
        return status;
    r.environment = environment.name;
    // A language monitor must be installed first.
    if (!r.monitor.empty() && !FindNamedSubkey(call.Find(kMonitorsKey), r.monitor)) return ERROR_UNKNOWN_PRINT_MONITOR;

    // Every file is found before any is copied, so a missing one changes nothing.
    std::vector<DriverFile> files;
    std::vector<std::u16string> names;
    for (size_t i = 0; i < references.size(); ++i) {
        names.emplace_back();
        if (references[i].empty()) continue;  // no help file
        DriverFile file;
        if (DWORD status = LocateDriverFile(references[i], environment, file)) return status;
        names.back() = file.name;
        bool seen = false;
        for (const auto& known : files) seen = seen || w32::NamesEqual(known.name, file.name);
        if (!seen) files.push_back(std::move(file));
    }
    // The spooler makes the folders of an environment it has not installed for yet.
    for (const auto& folder : {DriverDirectory(environment), DriverVersionDirectory(environment)})
        if (!CreateDirectoryW(folder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) return GetLastError();
    for (const auto& file : files)
        if (DWORD status = PlaceDriverFile(file, environment, flags)) return status;
    r.driverFile = names[0];
    r.dataFile = names[1];
    r.configFile = names[2];
    r.helpFile = names[3];
    r.dependentFiles.assign(names.begin() + 4, names.end());

    // A driver added again replaces the one installed: printers that use it
    // use the new one (Windows does not refuse with
    // ERROR_PRINTER_DRIVER_ALREADY_INSTALLED).
    RegistryKeyPtr drivers = DriversKey(call, environment, true);
    if (!drivers) return ERROR_INVALID_ENVIRONMENT;
    RegistryKeyPtr key;
    if (DWORD status = CreateSubkey(call, drivers, r.name, key)) return status;
    WriteDriver(call, key, r);
    return ERROR_SUCCESS;
}

// --- Filling the caller's buffer -----------------------------------------------------------

struct DriverView {
    DriverRecord record;
    std::u16string folder;  // the version folder
};

DriverView View(const Environment& environment, const RegistryKeyPtr& key) {
    return DriverView{ReadDriver(environment, key), DriverVersionDirectory(environment)};
}

std::u16string FullPath(const DriverView& v, const std::u16string& file) {
    return file.empty() ? std::u16string() : v.folder + u"\\" + file;
}

template <class Info>
void FillCommon(Packer& p, const DriverView& v, Info& out) {
    const DriverRecord& r = v.record;
    out.cVersion = r.version;
    out.pName = p.String(r.name);
    out.pEnvironment = p.String(r.environment);
    out.pDriverPath = p.String(FullPath(v, r.driverFile));
    out.pDataFile = p.String(FullPath(v, r.dataFile));
    out.pConfigFile = p.String(FullPath(v, r.configFile));
}

template <class Info>
void FillLevel3(Packer& p, const DriverView& v, Info& out) {
    FillCommon(p, v, out);
    const DriverRecord& r = v.record;
    out.pHelpFile = p.OptionalString(FullPath(v, r.helpFile));
    std::vector<std::u16string> dependent;
    for (const auto& file : r.dependentFiles) dependent.push_back(FullPath(v, file));
    out.pDependentFiles = p.MultiString(dependent);
    out.pMonitorName = p.OptionalString(r.monitor);
    out.pDefaultDataType = p.OptionalString(r.datatype);
}

void Fill1(Packer& p, const DriverView& v, DRIVER_INFO_1W& out) { out.pName = p.String(v.record.name); }
void Fill2(Packer& p, const DriverView& v, DRIVER_INFO_2W& out) { FillCommon(p, v, out); }
void Fill3(Packer& p, const DriverView& v, DRIVER_INFO_3W& out) { FillLevel3(p, v, out); }
void Fill4(Packer& p, const DriverView& v, DRIVER_INFO_4W& out) {
    FillLevel3(p, v, out);
    out.pszzPreviousNames = p.MultiString(v.record.previousNames);
}
void Fill6(Packer& p, const DriverView& v, DRIVER_INFO_6W& out) {
    FillLevel3(p, v, out);
    const DriverRecord& r = v.record;
    out.pszzPreviousNames = p.MultiString(r.previousNames);
    out.ftDriverDate = r.date;
    out.dwlDriverVersion = r.driverVersion;
    out.pszMfgName = p.OptionalString(r.manufacturer);
    out.pszOEMUrl = p.OptionalString(r.oemUrl);
    out.pszHardwareID = p.OptionalString(r.hardwareId);
    out.pszProvider = p.OptionalString(r.provider);
}

DWORD PackDrivers(const std::vector<DriverView>& drivers, DWORD level, LPBYTE buffer, DWORD size, LPDWORD needed,
                  LPDWORD returned) {
    switch (level) {
        case 1: return PackRecords<DRIVER_INFO_1W>(drivers, Fill1, buffer, size, needed, returned);
        case 2: return PackRecords<DRIVER_INFO_2W>(drivers, Fill2, buffer, size, needed, returned);
        case 3: return PackRecords<DRIVER_INFO_3W>(drivers, Fill3, buffer, size, needed, returned);
        case 4: return PackRecords<DRIVER_INFO_4W>(drivers, Fill4, buffer, size, needed, returned);
        case 6: return PackRecords<DRIVER_INFO_6W>(drivers, Fill6, buffer, size, needed, returned);
        case 5:
        case 8: return ERROR_NOT_SUPPORTED;
    }
    return ERROR_INVALID_LEVEL;
}

DWORD GetDriverImpl(Call& call, HANDLE hPrinter, LPCWSTR pEnvironment, DWORD level, LPBYTE buffer, DWORD size,
                    LPDWORD needed) {
    if (DWORD status = CheckBufferArguments(buffer, size, needed, nullptr, false)) return status;
    PrinterHandlePtr handle;
    RegistryKeyPtr printer;
    if (DWORD status = ResolvePrinter(call, hPrinter, handle, printer)) return status;
    Environment environment;
    if (DWORD status = ResolveEnvironment(call, pEnvironment, environment)) return status;
    RegistryKeyPtr key = FindDriverKey(call, environment, ReadString(printer, u"Printer Driver"));
    if (!key) return ERROR_UNKNOWN_PRINTER_DRIVER;
    return PackDrivers({View(environment, key)}, level, buffer, size, needed, nullptr);
}

DWORD EnumDriversImpl(Call& call, LPCWSTR pName, LPCWSTR pEnvironment, DWORD level, LPBYTE buffer, DWORD size,
                      LPDWORD needed, LPDWORD returned) {
    if (DWORD status = CheckBufferArguments(buffer, size, needed, returned, true)) return status;
    if (DWORD status = CheckServerName(pName)) return status;
    std::vector<Environment> environments;
    if (pEnvironment && w32::NamesEqual(pEnvironment, u"all")) {
        environments = AllEnvironments(call);
    } else {
        environments.emplace_back();
        if (DWORD status = ResolveEnvironment(call, pEnvironment, environments.back())) return status;
    }
    std::vector<DriverView> drivers;
    for (const auto& environment : environments) {
        RegistryKeyPtr key = DriversKey(call, environment, false);
        for (size_t i = 0; key && i < key->SubkeyCount(); ++i) drivers.push_back(View(environment, key->SubkeyAt(i)));
    }
    return PackDrivers(drivers, level, buffer, size, needed, returned);
}

// Whether any other driver of the environment uses a file.
bool FileUsedByOthers(Call& call, const Environment& environment, const std::u16string& driver,
                      const std::u16string& file) {
    RegistryKeyPtr drivers = DriversKey(call, environment, false);
    for (size_t i = 0; drivers && i < drivers->SubkeyCount(); ++i) {
        RegistryKeyPtr key = drivers->SubkeyAt(i);
        if (w32::NamesEqual(key->Name(), driver)) continue;
        for (const auto& used : ReadDriver(environment, key).Files())
            if (w32::NamesEqual(used, file)) return true;
    }
    return false;
}

DWORD DeleteDriverImpl(Call& call, LPCWSTR pName, LPCWSTR pEnvironment, LPCWSTR pDriverName, DWORD deleteFlags,
                       DWORD versionFlag) {
    if (DWORD status = CheckAdministration(pName)) return status;
    constexpr DWORD kKnownFlags = DPD_DELETE_UNUSED_FILES | DPD_DELETE_SPECIFIC_VERSION | DPD_DELETE_ALL_FILES;
    if (deleteFlags & ~kKnownFlags) return ERROR_INVALID_PARAMETER;
    Environment environment;
    if (DWORD status = ResolveEnvironment(call, pEnvironment, environment)) return status;
    std::u16string name = Text(pDriverName);
    RegistryKeyPtr key = FindDriverKey(call, environment, name);
    if (!key) return ERROR_UNKNOWN_PRINTER_DRIVER;
    if ((deleteFlags & DPD_DELETE_SPECIFIC_VERSION) && versionFlag != kDriverVersion)
        return ERROR_UNKNOWN_PRINTER_DRIVER;
    if (PrintersUse(call, environment, u"Printer Driver", key->Name())) return ERROR_PRINTER_DRIVER_IN_USE;
    std::vector<std::u16string> files;
    if (deleteFlags & (DPD_DELETE_UNUSED_FILES | DPD_DELETE_ALL_FILES)) {
        for (const auto& file : ReadDriver(environment, key).Files()) {
            if (!FileUsedByOthers(call, environment, key->Name(), file)) {
                files.push_back(file);
            } else if (deleteFlags & DPD_DELETE_ALL_FILES) {
                return ERROR_PRINTER_DRIVER_IN_USE;  // all its files cannot go
            }
        }
    }
    if (DWORD status = call.registry().DeleteTree(key, true)) return status;
    const std::u16string folder = DriverVersionDirectory(environment);
    for (const auto& file : files) DeleteFileW((folder + u"\\" + file).c_str());  // one already gone is no matter
    return ERROR_SUCCESS;
}

// The folder functions: level 1 only; the size is in bytes, terminator included.
DWORD CopyFolder(Call& call, LPCWSTR pName, LPCWSTR pEnvironment, DWORD level, LPBYTE buffer, DWORD size,
                 LPDWORD needed, std::u16string (*folder)(const Environment&)) {
    if (DWORD status = CheckBufferArguments(buffer, size, needed, nullptr, false)) return status;
    if (DWORD status = CheckServerName(pName)) return status;
    if (level != 1) return ERROR_INVALID_LEVEL;
    Environment environment;
    if (DWORD status = ResolveEnvironment(call, pEnvironment, environment)) return status;
    std::u16string path = folder(environment);
    return CopyToBuffer(path.c_str(), (path.size() + 1) * sizeof(WCHAR), buffer, size, needed,
                        ERROR_INSUFFICIENT_BUFFER);
}

}  // namespace

BOOL WINAPI AddPrinterDriverExW(LPCWSTR pName, DWORD Level, LPBYTE pDriverInfo, DWORD dwFileCopyFlags) {
    return RunBool([&](Call& call) { return AddDriverImpl(call, pName, Level, pDriverInfo, dwFileCopyFlags); });
}

BOOL WINAPI AddPrinterDriverW(LPCWSTR pName, DWORD Level, LPBYTE pDriverInfo) {
    return AddPrinterDriverExW(pName, Level, pDriverInfo, APD_COPY_NEW_FILES);
}

BOOL WINAPI DeletePrinterDriverW(LPCWSTR pName, LPCWSTR pEnvironment, LPCWSTR pDriverName) {
    return DeletePrinterDriverExW(pName, pEnvironment, pDriverName, 0, 0);
}

BOOL WINAPI DeletePrinterDriverExW(LPCWSTR pName, LPCWSTR pEnvironment, LPCWSTR pDriverName, DWORD dwDeleteFlag,
                                   DWORD dwVersionFlag) {
    return RunBool([&](Call& call) {
        return DeleteDriverImpl(call, pName, pEnvironment, pDriverName, dwDeleteFlag, dwVersionFlag);
    });
}

BOOL WINAPI GetPrinterDriverW(HANDLE hPrinter, LPCWSTR pEnvironment, DWORD Level, LPBYTE pDriverInfo, DWORD cbBuf,
                              LPDWORD pcbNeeded) {
    return RunBool(
        [&](Call& call) { return GetDriverImpl(call, hPrinter, pEnvironment, Level, pDriverInfo, cbBuf, pcbNeeded); });
}

// The window would let Windows ask the user before fetching a driver from a
// server; this machine's printers are all local, so there is nothing to ask.
BOOL WINAPI GetPrinterDriver2W(HWND, HANDLE hPrinter, LPCWSTR pEnvironment, DWORD Level, LPBYTE pDriverInfo,
                               DWORD cbBuf, LPDWORD pcbNeeded) {
    return GetPrinterDriverW(hPrinter, pEnvironment, Level, pDriverInfo, cbBuf, pcbNeeded);
}

BOOL WINAPI EnumPrinterDriversW(LPCWSTR pName, LPCWSTR pEnvironment, DWORD Level, LPBYTE pDriverInfo, DWORD cbBuf,
                                LPDWORD pcbNeeded, LPDWORD pcReturned) {
    return RunBool([&](Call& call) {
        return EnumDriversImpl(call, pName, pEnvironment, Level, pDriverInfo, cbBuf, pcbNeeded, pcReturned);
    });
}

BOOL WINAPI GetPrinterDriverDirectoryW(LPCWSTR pName, LPCWSTR pEnvironment, DWORD Level, LPBYTE pDriverDirectory,
                                       DWORD cbBuf, LPDWORD pcbNeeded) {
    return RunBool([&](Call& call) {
        return CopyFolder(call, pName, pEnvironment, Level, pDriverDirectory, cbBuf, pcbNeeded, DriverDirectory);
    });
}

BOOL WINAPI GetPrintProcessorDirectoryW(LPCWSTR pName, LPCWSTR pEnvironment, DWORD Level, LPBYTE pPrintProcessorInfo,
                                        DWORD cbBuf, LPDWORD pcbNeeded) {
    return RunBool([&](Call& call) {
        return CopyFolder(call, pName, pEnvironment, Level, pPrintProcessorInfo, cbBuf, pcbNeeded,
                          PrintProcessorDirectory);
    });
}
