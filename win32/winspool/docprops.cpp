// DocumentPropertiesW: the spooler client hands the call to the printer
// driver's user-interface DLL (DrvDocumentPropertySheets), loaded for the
// call. A call that asks for no sheet (no DM_IN_PROMPT) reaches the driver
// without a PROPSHEETUI_INFO: its lParam is the DOCUMENTPROPERTYHEADER of
// the call, as Windows hands it. The driver answers a size query (fMode 0,
// or no out DEVMODE) with its DEVMODE's size, and writes its settings into
// the out DEVMODE for the other modes; the header's cbOut tells it the out
// DEVMODE's size, which the spooler asks the driver for first.
#include <windows.h>
#include <winddiui.h>
#include <winspool.h>

#include "winspool/uidriver.h"

namespace {

using DocumentPropertySheetsFunction = LONG(WINAPI*)(PPROPSHEETUI_INFO, LPARAM);

// The property-sheet caller: the driver's sheet callback, with no sheet for
// a header whose mode asks for none. Sheets need the common property-sheet
// host of the window manager, which the layer does not have yet.
LONG CallDocumentPropertySheets(DocumentPropertySheetsFunction sheets, DOCUMENTPROPERTYHEADER& header) {
    if (header.fMode & DM_IN_PROMPT) {
        SetLastError(ERROR_NOT_SUPPORTED);
        return -1;
    }
    return sheets(nullptr, reinterpret_cast<LPARAM>(&header));
}

// The printer behind the call: the caller's handle, or one opened by name
// for the call.
class CallPrinter {
public:
    ~CallPrinter() {
        if (opened_) ClosePrinter(opened_);
    }
    DWORD Resolve(HANDLE printer, LPCWSTR name) {
        if (printer) {
            handle_ = printer;
            return ERROR_SUCCESS;
        }
        if (!name) return ERROR_INVALID_HANDLE;
        if (!OpenPrinterW(name, &opened_, nullptr)) return GetLastError();
        handle_ = opened_;
        return ERROR_SUCCESS;
    }
    HANDLE Handle() const { return handle_; }

private:
    HANDLE handle_ = nullptr;
    HANDLE opened_ = nullptr;
};

}  // namespace

LONG WINAPI DocumentPropertiesW(HWND, HANDLE hPrinter, LPWSTR pDeviceName, PDEVMODEW pDevModeOutput,
                                PDEVMODEW pDevModeInput, DWORD fMode) {
    CallPrinter printer;
    if (DWORD status = printer.Resolve(hPrinter, pDeviceName)) {
        SetLastError(status);
        return -1;
    }
    w32::spool::UiDriverModule driver;
    if (DWORD status = driver.Load(printer.Handle())) {
        SetLastError(status);
        return -1;
    }
    auto sheets = driver.Export<DocumentPropertySheetsFunction>("DrvDocumentPropertySheets");
    if (!sheets) {
        SetLastError(ERROR_NOT_SUPPORTED);
        return -1;
    }

    // The size of the driver's DEVMODE, which is also the out buffer's.
    DOCUMENTPROPERTYHEADER header{};
    header.cbSize = sizeof(header);
    header.hPrinter = printer.Handle();
    header.pszPrinterName = pDeviceName;
    LONG size = CallDocumentPropertySheets(sheets, header);
    if (size <= 0) return size < 0 ? size : -1;
    if (fMode == 0) return size;
    if ((fMode & DM_OUT_BUFFER) && !pDevModeOutput) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return -1;
    }

    header = DOCUMENTPROPERTYHEADER{};
    header.cbSize = sizeof(header);
    header.hPrinter = printer.Handle();
    header.pszPrinterName = pDeviceName;
    header.pdmIn = (fMode & DM_IN_BUFFER) ? pDevModeInput : nullptr;
    header.pdmOut = (fMode & DM_OUT_BUFFER) ? pDevModeOutput : nullptr;
    header.cbOut = header.pdmOut ? DWORD(size) : 0;
    header.fMode = fMode;
    LONG result = CallDocumentPropertySheets(sheets, header);
    if (result < 0) return result;
    // A call that wrote nothing back (no out buffer) has nothing to report
    // but success.
    return IDOK;
}
