// DeviceCapabilitiesW: the spooler hands the question to the printer's
// user-interface DLL (its DrvDeviceCapabilities), loaded for the call.
#include <windows.h>
#include <winddiui.h>
#include <winspool.h>

#include <string>

#include "winspool/uidriver.h"

namespace {

using DeviceCapabilitiesFunction = DWORD(WINAPI*)(HANDLE, PWSTR, WORD, PVOID, PDEVMODEW);

}  // namespace

int WINAPI DeviceCapabilitiesW(LPCWSTR pDevice, LPCWSTR, WORD fwCapability, LPWSTR pOutput, const DEVMODEW* pDevMode) {
    if (!pDevice) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return -1;
    }
    HANDLE printer = nullptr;
    if (!OpenPrinterW(pDevice, &printer, nullptr)) return -1;
    int answer = -1;
    w32::spool::UiDriverModule driver;
    if (DWORD status = driver.Load(printer)) {
        SetLastError(status);
    } else if (auto capabilities = driver.Export<DeviceCapabilitiesFunction>("DrvDeviceCapabilities")) {
        // The driver takes the name as a writable string.
        std::u16string name(pDevice);
        answer = int(capabilities(printer, name.data(), fwCapability, pOutput, const_cast<PDEVMODEW>(pDevMode)));
    } else {
        SetLastError(ERROR_NOT_SUPPORTED);
    }
    ClosePrinter(printer);
    return answer;
}
