// Loading a printer's user-interface DLL for the spooler functions that call
// into it, and ConvertDevMode, the first of them: the driver's
// DrvConvertDevMode converts a DEVMODE for the printer or writes the
// driver's default one.
#include "winspool/uidriver.h"

#include <windows.h>
#include <winddiui.h>
#include <winspool.h>

#include <string>
#include <vector>

namespace w32::spool {

UiDriverModule::~UiDriverModule() {
    if (module_) FreeLibrary(module_);
}

DWORD UiDriverModule::Load(HANDLE printer) {
    if (module_) {
        FreeLibrary(module_);
        module_ = nullptr;
    }
    DWORD needed = 0;
    if (GetPrinterDriverW(printer, nullptr, 2, nullptr, 0, &needed)) return ERROR_UNKNOWN_PRINTER_DRIVER;
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) return GetLastError();
    std::vector<BYTE> buffer(needed);
    if (!GetPrinterDriverW(printer, nullptr, 2, buffer.data(), needed, &needed)) return GetLastError();
    const auto* info = reinterpret_cast<const DRIVER_INFO_2W*>(buffer.data());
    if (!info->pConfigFile || !*info->pConfigFile) return ERROR_UNKNOWN_PRINTER_DRIVER;
    module_ = LoadLibraryW(info->pConfigFile);
    return module_ ? ERROR_SUCCESS : GetLastError();
}

DWORD UiDriverModule::Load(LPCWSTR printerName) {
    HANDLE printer = nullptr;
    if (!OpenPrinterW(printerName, &printer, nullptr)) return GetLastError();
    DWORD status = Load(printer);
    ClosePrinter(printer);
    return status;
}

}  // namespace w32::spool

namespace {

using ConvertDevModeFunction = BOOL(WINAPI*)(LPWSTR, PDEVMODEW, PDEVMODEW, PLONG, DWORD);

}  // namespace

// The driver's own conversion: its result, last error and *pcbNeeded are the
// caller's. A driver without DrvConvertDevMode converts nothing
// (ERROR_NOT_SUPPORTED).
BOOL WINAPI ConvertDevMode(LPCWSTR pPrinterName, PDEVMODEW pdmIn, PDEVMODEW pdmOut, PLONG pcbNeeded, DWORD fMode) {
    if (!pPrinterName || !pcbNeeded) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    w32::spool::UiDriverModule driver;
    if (DWORD status = driver.Load(pPrinterName)) {
        SetLastError(status);
        return FALSE;
    }
    auto convert = driver.Export<ConvertDevModeFunction>("DrvConvertDevMode");
    if (!convert) {
        SetLastError(ERROR_NOT_SUPPORTED);
        return FALSE;
    }
    // The driver takes the name as a writable string.
    std::u16string name(pPrinterName);
    return convert(name.data(), pdmIn, pdmOut, pcbNeeded, fMode);
}
