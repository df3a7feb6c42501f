// Printer device contexts: CreateDCW and CreateICW open the printer with the
// spooler and let the graphics engine enable its driver; ResetDCW changes the
// settings; DeleteDC ends it all.
//
// The driver and port names are ignored for printers, as on Windows; the
// device is the printer's name. Display DCs are not provided here.
#include <windows.h>
#include <winspool.h>

#include <string_view>
#include <vector>

#include "gdi32/dc.h"
#include "gdi32/selection.h"
#include "machine/paths.h"

namespace w32::gdi {

namespace {

bool IsDisplayName(LPCWSTR name) {
    if (!name) return false;
    std::u16string_view text(name);
    // "DISPLAY", and display devices such as "\\.\DISPLAY1".
    constexpr std::u16string_view kDevicePrefix = u"\\\\.\\DISPLAY";
    return NamesEqual(text, u"DISPLAY") ||
           (text.size() >= kDevicePrefix.size() && NamesEqual(text.substr(0, kDevicePrefix.size()), kDevicePrefix));
}

bool ValidDevMode(const DEVMODEW* devMode) {
    constexpr size_t kSmallest = offsetof(DEVMODEW, dmFields) + sizeof(DWORD);
    return !devMode || (devMode->dmSize >= kSmallest && devMode->dmSize <= sizeof(DEVMODEW));
}

// The printer's default settings (GetPrinterW level 2), kept in `bytes`;
// null when the printer has none.
DWORD DefaultDevMode(HANDLE printer, std::vector<BYTE>& bytes, const DEVMODEW*& devMode) {
    devMode = nullptr;
    DWORD needed = 0;
    if (!GetPrinterW(printer, 2, nullptr, 0, &needed) && GetLastError() != ERROR_INSUFFICIENT_BUFFER)
        return GetLastError();
    bytes.assign(needed, 0);
    if (!GetPrinterW(printer, 2, bytes.data(), needed, &needed)) return GetLastError();
    devMode = reinterpret_cast<const PRINTER_INFO_2W*>(bytes.data())->pDevMode;
    return ERROR_SUCCESS;
}

HDC CreatePrinterDC(LPCWSTR driver, LPCWSTR device, const DEVMODEW* devMode, bool informationContext) {
    if (IsDisplayName(driver) || IsDisplayName(device)) {
        SetLastError(ERROR_NOT_SUPPORTED);
        return nullptr;
    }
    if (!device || !*device || !ValidDevMode(devMode)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    PRINTER_DEFAULTSW defaults{nullptr, const_cast<DEVMODEW*>(devMode), PRINTER_ACCESS_USE};
    HANDLE printer = nullptr;
    if (!OpenPrinterW(device, &printer, &defaults)) return nullptr;
    std::vector<BYTE> printerInfo;
    if (!devMode) {
        if (DWORD status = DefaultDevMode(printer, printerInfo, devMode)) {
            ClosePrinter(printer);
            SetLastError(status);
            return nullptr;
        }
    }
    // DOCUMENT EVENT HOOK: DOCUMENTEVENT_CREATEDCPRE goes to the driver's UI
    // here, DOCUMENTEVENT_CREATEDCPOST once the DC exists.
    auto engineDevice = EnablePrinterDevice(printer, device, devMode, informationContext);
    if (!engineDevice) return nullptr;
    auto dc = std::make_shared<DeviceContext>();
    dc->informationContext = informationContext;
    dc->deviceName = device;
    dc->device = std::move(engineDevice);
    HDC made = static_cast<HDC>(InsertGdiObject(dc));
    InitDcState(*dc);
    return made;
}

}  // namespace

std::shared_ptr<DeviceContext> LookupDC(HDC hdc) { return LookupGdiObjectAs<DeviceContext>(hdc); }

std::shared_ptr<DeviceContext> LookupDCOrSetError(HDC hdc) {
    auto dc = LookupDC(hdc);
    if (!dc) SetLastError(ERROR_INVALID_HANDLE);
    return dc;
}

}  // namespace w32::gdi

namespace w32 {

PrinterDevice* EngineDeviceOfDC(HDC hdc) {
    auto dc = gdi::LookupDC(hdc);
    return dc ? dc->device.get() : nullptr;
}

}  // namespace w32

HDC WINAPI CreateDCW(LPCWSTR pwszDriver, LPCWSTR pwszDevice, LPCWSTR, const DEVMODEW* pdm) {
    return w32::gdi::CreatePrinterDC(pwszDriver, pwszDevice, pdm, false);
}

HDC WINAPI CreateICW(LPCWSTR pszDriver, LPCWSTR pszDevice, LPCWSTR, const DEVMODEW* pdm) {
    return w32::gdi::CreatePrinterDC(pszDriver, pszDevice, pdm, true);
}

// Null settings stand for the printer's default settings, as at CreateDCW.
// Between the pages of a document the reset keeps the document going on the
// new PDEV; inside a page it is refused (ERROR_INVALID_PRINTER_STATE).
HDC WINAPI ResetDCW(HDC hdc, const DEVMODEW* lpdm) {
    auto dc = w32::gdi::LookupDC(hdc);
    if (!dc || !dc->device) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    if (!w32::gdi::ValidDevMode(lpdm)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    std::lock_guard lock(w32::EngineLock());
    if (dc->document == w32::gdi::DocumentState::PageOpen) {
        SetLastError(ERROR_INVALID_PRINTER_STATE);
        return nullptr;
    }
    std::vector<BYTE> printerInfo;
    if (!lpdm) {
        if (DWORD status = w32::gdi::DefaultDevMode(dc->device->printer, printerInfo, lpdm)) {
            SetLastError(status);
            return nullptr;
        }
    }
    // DOCUMENT EVENT HOOK: DOCUMENTEVENT_RESETDCPRE goes to the driver's UI here.
    if (!w32::ResetPrinterDevice(*dc->device, lpdm)) return nullptr;
    // DOCUMENT EVENT HOOK: DOCUMENTEVENT_RESETDCPOST.
    return hdc;
}

BOOL WINAPI DeleteDC(HDC hdc) {
    auto dc = std::dynamic_pointer_cast<w32::gdi::DeviceContext>(w32::gdi::LookupGdiObject(hdc));
    // A window's DC goes back to the window manager with ReleaseDC or EndPaint.
    if (!dc || dc->windowSurface || !w32::gdi::RemoveGdiObject(hdc)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    w32::gdi::ReleaseDcObjects(*dc);
    // A memory DC has no device to end.
    if (dc->memory) return TRUE;
    std::lock_guard lock(w32::EngineLock());
    // A document still open is aborted, as AbortDoc would.
    if (dc->document != w32::gdi::DocumentState::None) w32::gdi::AbortOpenDocument(*dc);
    // DOCUMENT EVENT HOOK: DOCUMENTEVENT_DELETEDC goes to the driver's UI here.
    w32::DisablePrinterDevice(*dc->device);
    return TRUE;
}
