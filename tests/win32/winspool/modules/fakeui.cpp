// A printer driver's user-interface DLL for the spooler's tests. Each entry
// point writes a line "fakeui <function> <what it was given>" to the debug
// log, which outlives the module, and answers in a way the test can check:
//   DrvConvertDevMode, CDM_DRIVER_DEFAULT: needs 100 bytes (else *pcbNeeded
//     = 100 and ERROR_INSUFFICIENT_BUFFER); writes the printer's name as the
//     device name and 100 into *pcbNeeded.
//   any other mode: FALSE with ERROR_INVALID_DATA, *pcbNeeded untouched.
//   DrvDeviceCapabilities: answers 1000 plus the capability; with an output
//     buffer writes the device name into it.
#include <windows.h>
#include <winddiui.h>

#include <cstdio>

namespace {

void Log(const char* text) { OutputDebugStringA(text); }

}  // namespace

extern "C" BOOL WINAPI DrvConvertDevMode(LPWSTR pPrinterName, PDEVMODEW pdmIn, PDEVMODEW pdmOut, PLONG pcbNeeded,
                                         DWORD fMode) {
    char line[160];
    char name[64] = {};
    for (int i = 0; pPrinterName && pPrinterName[i] && i < 63; ++i) name[i] = char(pPrinterName[i]);
    std::snprintf(line, sizeof(line), "fakeui DrvConvertDevMode %s mode=%u size=%d in=%s out=%s\n", name,
                  unsigned(fMode), pcbNeeded ? int(*pcbNeeded) : -1, pdmIn ? "yes" : "no", pdmOut ? "yes" : "no");
    Log(line);
    if (fMode != CDM_DRIVER_DEFAULT) {
        SetLastError(ERROR_INVALID_DATA);
        return FALSE;
    }
    if (!pdmOut || *pcbNeeded < 100) {
        *pcbNeeded = 100;
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    lstrcpynW(pdmOut->dmDeviceName, pPrinterName, CCHDEVICENAME);
    *pcbNeeded = 100;
    return TRUE;
}

extern "C" DWORD WINAPI DrvDeviceCapabilities(HANDLE hPrinter, PWSTR pDeviceName, WORD iDevCap, PVOID pvOutput,
                                              PDEVMODEW pDevMode) {
    char line[160];
    char name[64] = {};
    for (int i = 0; pDeviceName && pDeviceName[i] && i < 63; ++i) name[i] = char(pDeviceName[i]);
    std::snprintf(line, sizeof(line), "fakeui DrvDeviceCapabilities %s capability=%u printer=%s out=%s devmode=%s\n",
                  name, unsigned(iDevCap), hPrinter ? "yes" : "no", pvOutput ? "yes" : "no", pDevMode ? "yes" : "no");
    Log(line);
    if (pvOutput) lstrcpynW(static_cast<LPWSTR>(pvOutput), pDeviceName, 64);
    return 1000u + iDevCap;
}
