// The spooler's entry points for a printer's settings: DrvConvertDevMode
// converts a devmode between this driver's versions and the NT 3.51 form, or
// writes the driver's defaults; DrvUpgradePrinter brings the printer's
// driver-data record up to this version after the driver was upgraded.
#include <windows.h>
#include <winddiui.h>
#include <winspool.h>

#include <cstring>

#include "pcl6/intrface/util.h"
#include "ui/ui/devmode.h"
#include "ui/ui/devmodemerge.h"
#include "ui/ui/printerdata.h"

namespace {

// The NT 3.51 form of this driver's devmode.
constexpr WORD kSpecVersion351 = 0x320;
constexpr WORD kPublicSize351 = 192;
constexpr WORD kDriverVersion351 = 0x350;
constexpr WORD kDriverExtra351 = 112;

BOOL Fail(DWORD error) {
    SetLastError(error);
    return FALSE;
}

// The size the caller's buffer has, in bytes (a negative count holds none).
DWORD Capacity(const LONG* size) { return *size > 0 ? DWORD(*size) : 0; }

BOOL ConvertToDriverVersion(PDEVMODEW in, PDEVMODEW out, PLONG size) {
    if (!out) return Fail(ERROR_INVALID_PARAMETER);
    const DWORD outBytes = DWORD(out->dmSize) + out->dmDriverExtra;
    if (Capacity(size) < outBytes || CopyDevmodeNegotiated(out, Capacity(size), in) == 0)
        return Fail(ERROR_INVALID_PARAMETER);
    *size = LONG(DWORD(out->dmSize) + out->dmDriverExtra);
    return TRUE;
}

BOOL ConvertTo351(PDEVMODEW in, PDEVMODEW out, PLONG size) {
    constexpr LONG needed = kPublicSize351 + kDriverExtra351;
    if (!out || *size < needed) {
        *size = needed;
        return Fail(ERROR_INSUFFICIENT_BUFFER);
    }
    out->dmSpecVersion = kSpecVersion351;
    out->dmSize = kPublicSize351;
    out->dmDriverVersion = kDriverVersion351;
    out->dmDriverExtra = kDriverExtra351;
    if (CopyDevmodeNegotiated(out, Capacity(size), in) == 0) return Fail(ERROR_INVALID_PARAMETER);
    *size = needed;
    return TRUE;
}

// The driver's default devmode, public part and private part, with the
// printer's driver name as the device name.
BOOL WriteDriverDefaults(LPWSTR printerName, PDEVMODEW out, PLONG size) {
    constexpr LONG needed = UI_DEVMODE_SIZE;
    if (!out || *size < needed) {
        *size = needed;
        return Fail(ERROR_INSUFFICIENT_BUFFER);
    }
    *size = needed;
    HANDLE printer = nullptr;
    if (!OpenPrinterW(printerName, &printer, nullptr)) return FALSE;
    BOOL result = FALSE;
    auto* info = reinterpret_cast<DRIVER_INFO_2W*>(GetPrinterDriverInfo(printer, 2));
    if (info) {
        // The private defaults too: the caller's buffer holds the whole
        // devmode, and none of it may be left as it was.
        SetDevmodeDefaults(reinterpret_cast<UiDevmode*>(out), info->pName, info->pName);
        Util_GlobalFree(nullptr, info);
        result = TRUE;
    }
    const DWORD error = GetLastError();
    ClosePrinter(printer);
    SetLastError(error);
    return result;
}

}  // namespace

extern "C" BOOL WINAPI DrvConvertDevMode(LPWSTR pPrinterName, PDEVMODEW pdmIn, PDEVMODEW pdmOut, PLONG pcbNeeded,
                                         DWORD fMode) {
    if (!pcbNeeded) return Fail(ERROR_INVALID_PARAMETER);
    switch (fMode) {
        case CDM_CONVERT:
            return ConvertToDriverVersion(pdmIn, pdmOut, pcbNeeded);
        case CDM_CONVERT351:
            return ConvertTo351(pdmIn, pdmOut, pcbNeeded);
        case CDM_DRIVER_DEFAULT:
            return WriteDriverDefaults(pPrinterName, pdmOut, pcbNeeded);
        default:
            return FALSE;
    }
}

extern "C" BOOL WINAPI DrvUpgradePrinter(DWORD Level, LPBYTE pDriverUpgradeInfo) {
    if (Level != 1 || !pDriverUpgradeInfo) return Fail(ERROR_INVALID_PARAMETER);
    const auto* info = reinterpret_cast<const DRIVER_UPGRADE_INFO_1W*>(pDriverUpgradeInfo);
    PRINTER_DEFAULTSW defaults{nullptr, nullptr, PRINTER_ALL_ACCESS};
    HANDLE printer = nullptr;
    if (!OpenPrinterW(info->pPrinterName, &printer, &defaults)) return Fail(ERROR_INVALID_PARAMETER);

    DriverDataRecord* record = ReadDriverData(printer);
    if (record && record->version < DRIVER_DATA_VERSION) {
        // An older record keeps what its own size covers; the rest is new.
        DriverDataRecord fresh{};
        const size_t kept = record->size < sizeof(fresh) ? record->size : sizeof(fresh);
        std::memcpy(&fresh, record, kept);
        fresh.version = DRIVER_DATA_VERSION;
        fresh.size = sizeof(fresh);
        *record = fresh;
    }
    // The spooler's upgrade goes on whatever happens to the record: a record
    // that cannot be written is only logged.
    if (!record || !WriteDriverData(printer, record, sizeof(*record)))
        DebugMessage("DrvUpgradePrinter: the driver data record could not be written (error %u)\n",
                     unsigned(GetLastError()));
    Util_GlobalFree(nullptr, record);
    ClosePrinter(printer);
    return TRUE;
}
