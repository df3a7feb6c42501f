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

// DrvDocumentPropertySheets: logs whether a PROPSHEETUI_INFO came and the
// header's mode, out size and devmodes. A size query (no out devmode, or
// mode 0) answers 100 and writes it into cbOut; otherwise a cbOut under 100
// fails with ERROR_INSUFFICIENT_BUFFER, and the out devmode gets the
// printer's name, with the in devmode's copies when there is one: 1.
extern "C" LONG WINAPI DrvDocumentPropertySheets(PPROPSHEETUI_INFO info, LPARAM lParam) {
    auto* header = reinterpret_cast<DOCUMENTPROPERTYHEADER*>(info ? info->lParamInit : lParam);
    char line[160];
    std::snprintf(line, sizeof(line), "fakeui DrvDocumentPropertySheets info=%s mode=%u cbOut=%u in=%s out=%s\n",
                  info ? "yes" : "no", header ? unsigned(header->fMode) : 0u, header ? unsigned(header->cbOut) : 0u,
                  header && header->pdmIn ? "yes" : "no", header && header->pdmOut ? "yes" : "no");
    Log(line);
    if (!header) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return -1;
    }
    if (header->fMode == 0 || !header->pdmOut) {
        header->cbOut = 100;
        return 100;
    }
    if (header->cbOut < 100) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return -1;
    }
    lstrcpynW(header->pdmOut->dmDeviceName, header->pszPrinterName, CCHDEVICENAME);
    if (header->pdmIn) header->pdmOut->dmCopies = header->pdmIn->dmCopies;
    return 1;
}
