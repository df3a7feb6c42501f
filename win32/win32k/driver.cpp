// Printer graphics drivers: the spooler names the driver module of a printer
// (DRIVER_INFO_2W.pDriverPath); the engine loads it once, however many
// devices use it, and enables it with DrvEnableDriver, keeping the callback
// table the driver answers.
#include <windows.h>
#include <winddi.h>
#include <winspool.h>

#include <algorithm>
#include <vector>

#include "win32k/driver.h"

namespace w32 {

namespace {

std::vector<std::shared_ptr<DriverModule>>& Loaded() {
    static std::vector<std::shared_ptr<DriverModule>> loaded;
    return loaded;
}

std::vector<DdiCall>& CallLog() {
    static std::vector<DdiCall> log;
    return log;
}

bool gCallLogOn = false;

// The callbacks every graphics driver must have.
constexpr ULONG kRequiredCallbacks[] = {INDEX_DrvEnablePDEV, INDEX_DrvCompletePDEV, INDEX_DrvDisablePDEV,
                                        INDEX_DrvEnableSurface, INDEX_DrvDisableSurface};

DWORD DriverPath(HANDLE printer, std::u16string& path) {
    DWORD needed = 0;
    if (GetPrinterDriverW(printer, nullptr, 2, nullptr, 0, &needed)) return ERROR_BAD_DRIVER;
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) return GetLastError();
    std::vector<BYTE> buffer(needed);
    if (!GetPrinterDriverW(printer, nullptr, 2, buffer.data(), needed, &needed)) return GetLastError();
    const auto* info = reinterpret_cast<const DRIVER_INFO_2W*>(buffer.data());
    if (!info->pDriverPath || !*info->pDriverPath) return ERROR_UNKNOWN_PRINTER_DRIVER;
    path = info->pDriverPath;
    return ERROR_SUCCESS;
}

// Asks a new module whether it is a user-mode driver and enables it.
DWORD EnableDriver(DriverModule& driver) {
    auto query = reinterpret_cast<PFN_DrvQueryDriverInfo>(GetProcAddress(driver.module, "DrvQueryDriverInfo"));
    if (query) {
        // Drivers run in the calling program's process, as user-mode
        // printer drivers do; one that says it must run in the kernel is
        // not taken. A driver that cannot answer is taken.
        DWORD userMode = 1, needed = 0;
        BOOL answered = query(DRVQUERY_USERMODE, &userMode, sizeof(userMode), &needed);
        RecordDdiCall("DrvQueryDriverInfo");
        if (answered && !userMode) return ERROR_NOT_SUPPORTED;
    }
    auto enable = reinterpret_cast<PFN_DrvEnableDriver>(GetProcAddress(driver.module, "DrvEnableDriver"));
    if (!enable) return ERROR_PROC_NOT_FOUND;
    driver.disableDriver = reinterpret_cast<PFN_DrvDisableDriver>(GetProcAddress(driver.module, "DrvDisableDriver"));

    DRVENABLEDATA data{};
    SetLastError(ERROR_SUCCESS);
    BOOL enabled = enable(kEngineDdiVersion, sizeof(data), &data);
    RecordDdiCall("DrvEnableDriver");
    if (!enabled) return DriverError(ERROR_BAD_DRIVER);

    // The engine serves drivers written for any interface version from NT 4
    // up to its own.
    DWORD status = ERROR_SUCCESS;
    if (data.iDriverVersion < DDI_DRIVER_VERSION_NT4 || data.iDriverVersion > kEngineDdiVersion) {
        status = ERROR_BAD_DRIVER_LEVEL;
    } else if (data.c && !data.pdrvfn) {
        status = ERROR_BAD_DRIVER;
    } else {
        driver.driverVersion = data.iDriverVersion;
        for (ULONG i = 0; i < data.c; ++i) {
            const DRVFN& entry = data.pdrvfn[i];
            if (entry.iFunc < INDEX_LAST) driver.callbacks[entry.iFunc] = entry.pfn;
        }
        for (ULONG index : kRequiredCallbacks)
            if (!driver.callbacks[index]) status = ERROR_BAD_DRIVER;
    }
    if (status && driver.disableDriver) {
        driver.disableDriver();
        RecordDdiCall("DrvDisableDriver");
    }
    return status;
}

}  // namespace

DWORD AcquireDriver(HANDLE printer, std::shared_ptr<DriverModule>& driver) {
    std::lock_guard lock(EngineLock());
    std::u16string path;
    if (DWORD status = DriverPath(printer, path)) return status;
    HMODULE module = LoadLibraryW(path.c_str());
    if (!module) return GetLastError();
    auto& loaded = Loaded();
    auto found = std::find_if(loaded.begin(), loaded.end(), [module](const auto& d) { return d->module == module; });
    if (found != loaded.end()) {
        // The loader counted a second reference; the engine keeps one per driver.
        FreeLibrary(module);
        driver = *found;
        ++driver->users;
        return ERROR_SUCCESS;
    }
    auto fresh = std::make_shared<DriverModule>();
    fresh->module = module;
    fresh->path = path;
    if (DWORD status = EnableDriver(*fresh)) {
        FreeLibrary(module);
        return status;
    }
    fresh->users = 1;
    loaded.push_back(fresh);
    driver = std::move(fresh);
    return ERROR_SUCCESS;
}

void ReleaseDriver(std::shared_ptr<DriverModule>& driver) {
    if (!driver) return;
    std::lock_guard lock(EngineLock());
    std::shared_ptr<DriverModule> released = std::move(driver);
    if (released->users && --released->users) return;
    std::erase(Loaded(), released);
    if (released->disableDriver) {
        released->disableDriver();
        RecordDdiCall("DrvDisableDriver");
    }
    FreeLibrary(released->module);
    released->module = nullptr;
    std::fill(std::begin(released->callbacks), std::end(released->callbacks), nullptr);
    released->disableDriver = nullptr;
}

std::vector<std::shared_ptr<DriverModule>> LoadedDrivers() {
    std::lock_guard lock(EngineLock());
    return Loaded();
}

void RecordDdiCall(const char* function, const EnginePdev* pdev, const EnginePdev* other, ULONG argument) {
    std::lock_guard lock(EngineLock());
    if (!gCallLogOn) return;
    CallLog().push_back({function, pdev ? pdev->dhpdev : nullptr, pdev ? pdev->Hdev() : nullptr,
                         other ? other->dhpdev : nullptr, argument});
}

std::vector<DdiCall> DdiCallLog() {
    std::lock_guard lock(EngineLock());
    return CallLog();
}

void ClearDdiCallLog() {
    std::lock_guard lock(EngineLock());
    CallLog().clear();
}

void EnableDdiCallLog(bool on) {
    std::lock_guard lock(EngineLock());
    gCallLogOn = on;
}

}  // namespace w32
