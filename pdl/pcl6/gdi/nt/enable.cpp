// Driver enabling: the exported entry points the engine calls first, the
// table of DDI callbacks, and the PDEV's life from DrvEnablePDEV to
// DrvDisablePDEV.
//
// DrvEnablePDEV converts the application's DEVMODE into the driver's own
// settings, starts from the default settings of the device, merges the
// converted ones into them (nothing out of range is taken), computes the
// page geometry and answers the engine's GDIINFO and DEVINFO.
#include <windows.h>
#include <winddi.h>
#include <winspool.h>

#include <cstring>

#include "pcl6/gdi/dbgassert.h"
#include "pcl6/gdi/fontsub.h"
#include "pcl6/gdi/jobctrl.h"
#include "pcl6/gdi/nt/ddi.h"
#include "pcl6/gdi/nt/devcaps.h"
#include "pcl6/gdi/pdev.h"
#include "pcl6/intrface/devmod1.h"
#include "pcl6/intrface/devmod2.h"
#include "pcl6/intrface/rendutil.h"
#include "pcl6/intrface/xmodel.h"

namespace {

const DRVFN kCallbacks[TAMREND_CALLBACK_COUNT] = {
    {INDEX_DrvEnablePDEV, reinterpret_cast<PFN>(&DrvEnablePDEV)},
    {INDEX_DrvResetPDEV, reinterpret_cast<PFN>(&DrvResetPDEV)},
    {INDEX_DrvCompletePDEV, reinterpret_cast<PFN>(&DrvCompletePDEV)},
    {INDEX_DrvDisablePDEV, reinterpret_cast<PFN>(&DrvDisablePDEV)},
    {INDEX_DrvEnableSurface, reinterpret_cast<PFN>(&DrvEnableSurface)},
    {INDEX_DrvDisableSurface, reinterpret_cast<PFN>(&DrvDisableSurface)},
    {INDEX_DrvBitBlt, reinterpret_cast<PFN>(&DrvBitBlt)},
    {INDEX_DrvStretchBlt, reinterpret_cast<PFN>(&DrvStretchBlt)},
    {INDEX_DrvCopyBits, reinterpret_cast<PFN>(&DrvCopyBits)},
    {INDEX_DrvGradientFill, reinterpret_cast<PFN>(&DrvGradientFill)},
    {INDEX_DrvTransparentBlt, reinterpret_cast<PFN>(&DrvTransparentBlt)},
    {INDEX_DrvTextOut, reinterpret_cast<PFN>(&DrvTextOut)},
    {INDEX_DrvQueryFont, reinterpret_cast<PFN>(&DrvQueryFont)},
    {INDEX_DrvSendPage, reinterpret_cast<PFN>(&DrvSendPage)},
    {INDEX_DrvStrokePath, reinterpret_cast<PFN>(&DrvStrokePath)},
    {INDEX_DrvFillPath, reinterpret_cast<PFN>(&DrvFillPath)},
    {INDEX_DrvStrokeAndFillPath, reinterpret_cast<PFN>(&DrvStrokeAndFillPath)},
    {INDEX_DrvRealizeBrush, reinterpret_cast<PFN>(&DrvRealizeBrush)},
    {INDEX_DrvStartPage, reinterpret_cast<PFN>(&DrvStartPage)},
    {INDEX_DrvStartDoc, reinterpret_cast<PFN>(&DrvStartDoc)},
    {INDEX_DrvEscape, reinterpret_cast<PFN>(&DrvEscape)},
    {INDEX_DrvDrawEscape, reinterpret_cast<PFN>(&DrvDrawEscape)},
    {INDEX_DrvEndDoc, reinterpret_cast<PFN>(&DrvEndDoc)},
    {INDEX_DrvGetGlyphMode, reinterpret_cast<PFN>(&DrvGetGlyphMode)},
    {INDEX_DrvQueryAdvanceWidths, reinterpret_cast<PFN>(&DrvQueryAdvanceWidths)},
    {INDEX_DrvQueryDeviceSupport, reinterpret_cast<PFN>(&DrvQueryDeviceSupport)},
};

LPCSTR EngineVersionName(ULONG version) {
    switch (version) {
        case DDI_DRIVER_VERSION_NT4: return "DDI_DRIVER_VERSION_NT4";
        case DDI_DRIVER_VERSION_SP3: return "DDI_DRIVER_VERSION_SP3";
        case DDI_DRIVER_VERSION_NT5: return "DDI_DRIVER_VERSION_NT5";
        case DDI_DRIVER_VERSION_NT5_01: return "DDI_DRIVER_VERSION_NT5_01";
        case DDI_DRIVER_VERSION_NT5_01_SP1: return "DDI_DRIVER_VERSION_NT5_01_SP1";
        default: return "unknown";
    }
}

// Frees a PDEV with everything it owns; it is no longer live from here on.
void FreePdev(PDEV* pdev) {
    Pdev_Unregister(pdev);
    if (pdev->Palette) EngDeletePalette(pdev->Palette);
    Job_FreeFontData(&pdev->FontSubstitution);
    Job_FreeJobState(pdev);
    if (pdev->DriverInfo) LocalFree(pdev->DriverInfo);
    GlobalFree(pdev);
}

// Reads the printer's driver record (DRIVER_INFO_2W) into a block the PDEV
// keeps, and points the PDEV at its data file. FALSE when the driver has no
// data file; the last error says why.
BOOL ReadDriverInfo(PDEV* pdev, HANDLE printer) {
    DWORD needed = 0;
    if (GetPrinterDriverW(printer, nullptr, 2, nullptr, 0, &needed) || GetLastError() != ERROR_INSUFFICIENT_BUFFER)
        return FALSE;
    auto* info = static_cast<DRIVER_INFO_2W*>(LocalAlloc(LPTR, needed));
    if (!info) return FALSE;
    if (!GetPrinterDriverW(printer, nullptr, 2, reinterpret_cast<LPBYTE>(info), needed, &needed)) {
        LocalFree(info);
        return FALSE;
    }
    pdev->DriverInfo = info;
    if (!info->pDataFile || !info->pDataFile[0]) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return FALSE;
    }
    pdev->DataFile = info->pDataFile;
    return TRUE;
}

// The page geometry of the settings' paper. FALSE for settings whose paper
// the model cannot print (the check never lets such settings through).
BOOL ComputeGeometry(PDEV* pdev) {
    if (!Xmodel_Lookup(&pdev->Geometry, &pdev->Devmode, pdev->Devmode.pub.dmPaperSize, FALSE)) return FALSE;
    const SIZEL printable = Enable_PrintableSize(pdev);
    return printable.cx > 0 && printable.cy > 0;
}

}  // namespace

VOID APIENTRY DrvDisableDriver(VOID) {}

BOOL APIENTRY DrvEnableDriver(ULONG iEngineVersion, ULONG cj, DRVENABLEDATA* pded) {
    Dbg_Print("DrvEnableDriver: engine %s (0x%X)\n", EngineVersionName(iEngineVersion), iEngineVersion);
    // The answer is the whole record (12 bytes where pointers have 32 bits).
    if (iEngineVersion < DDI_DRIVER_VERSION_NT4 || cj < sizeof(DRVENABLEDATA) || !pded) {
        Dbg_Print("DrvEnableDriver\n");
        SetLastError(ERROR_BAD_DRIVER_LEVEL);
        return FALSE;
    }
    // An engine of interface 3.0 or newer is answered with the older number.
    pded->iDriverVersion = iEngineVersion >= DDI_DRIVER_VERSION_NT5 ? DDI_DRIVER_VERSION_NT4 : DDI_DRIVER_VERSION_NT5;
    pded->c = TAMREND_CALLBACK_COUNT;
    pded->pdrvfn = const_cast<DRVFN*>(kCallbacks);
    return TRUE;
}

BOOL APIENTRY DrvQueryDriverInfo(DWORD dwMode, PVOID pBuffer, DWORD cbBuf, PDWORD pcbNeeded) {
    if (dwMode != DRVQUERY_USERMODE) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (pcbNeeded) *pcbNeeded = sizeof(DWORD);
    if (!pBuffer || cbBuf < sizeof(DWORD)) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    *static_cast<DWORD*>(pBuffer) = 1;  // the driver runs in user mode
    return TRUE;
}

DHPDEV APIENTRY DrvEnablePDEV(DEVMODEW* pdm, LPWSTR, ULONG cPat, HSURF* phsurfPatterns, ULONG cjCaps,
                              ULONG* pdevcaps, ULONG cjDevInfo, DEVINFO* pdi, HDEV, LPWSTR pwszDeviceName,
                              HANDLE hDriver) {
    // The application's settings in the driver's own layout.
    alignas(8) RendDevmode converted;
    std::memset(&converted, 0, sizeof(converted));
    if (!Devmode_ConvertFromUi(pdm, &converted)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }

    // The PDEV.
    auto* pdev = static_cast<PDEV*>(GlobalAlloc(GPTR, sizeof(PDEV)));
    if (!pdev) {
        Dbg_Assert(nullptr, "enable", __LINE__);
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    std::memset(pdev, 0, sizeof(PDEV));
    Pdev_Register(pdev);

    // The printer and its driver's data file.
    pdev->SpoolerPrinter = hDriver;
    if (!ReadDriverInfo(pdev, hDriver)) {
        const DWORD error = GetLastError();
        Dbg_Assert(pdev, "enable", __LINE__);
        FreePdev(pdev);
        SetLastError(error ? error : ERROR_FILE_NOT_FOUND);
        return nullptr;
    }

    // The device's defaults with the application's settings merged in.
    Ui_DefaultSettings(&pdev->Devmode, pwszDeviceName);
    if (!Devmode_Prepare(&pdev->Devmode, &converted)) {
        FreePdev(pdev);
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }

    // The page.
    pdev->Job.Signature = PDEV_SIGNATURE;
    if (!ComputeGeometry(pdev)) {
        Dbg_Assert(pdev, "enable", __LINE__);
        FreePdev(pdev);
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    pdev->Orientation = pdev->Devmode.pub.dmOrientation;
    pdev->Job.Signature = PDEV_SIGNATURE;

    // GDIINFO. The copy limit is the whole record (304 bytes where
    // pointers have 32 bits), so that the engine gets flShadeBlend.
    GDIINFO gdi;
    Enable_BuildGdiInfo(pdev, &gdi);
    if (pdevcaps) std::memcpy(pdevcaps, &gdi, cjCaps < sizeof(gdi) ? cjCaps : sizeof(gdi));

    // No device fonts.
    pdev->DeviceFonts.Resident = 0;
    pdev->DeviceFonts.Downloadable = 0;

    // DEVINFO with the default palette.
    DEVINFO devInfo;
    if (!Enable_BuildDevInfo(pdev, &devInfo)) {
        Dbg_Assert(pdev, "enable", __LINE__);
        FreePdev(pdev);
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    // The copy limit is the whole record (300 bytes copied where pointers
    // have 32 bits), so that the engine gets the whole palette handle.
    if (pdi) std::memcpy(pdi, &devInfo, cjDevInfo < sizeof(devInfo) ? cjDevInfo : sizeof(devInfo));

    // No standard pattern surfaces.
    if (phsurfPatterns)
        for (ULONG i = 0; i < cPat; ++i) phsurfPatterns[i] = nullptr;

    // The user's font substitutions; none when the file is missing.
    Job_LoadFontData(pdev, &pdev->FontSubstitution);
    return AsDhpdev(pdev);
}

VOID APIENTRY DrvCompletePDEV(DHPDEV dhpdev, HDEV hdev) {
    PDEV* pdev = AsPdev(dhpdev);
    if (Job_CheckPdev(pdev, FALSE, PDEVCALL_COMPLETEPDEV)) pdev->Hdev = hdev;
}

BOOL APIENTRY DrvResetPDEV(DHPDEV dhpdevOld, DHPDEV dhpdevNew) {
    PDEV* oldPdev = AsPdev(dhpdevOld);
    PDEV* newPdev = AsPdev(dhpdevNew);
    if (!Job_CheckPdev(oldPdev, FALSE, PDEVCALL_RESETPDEV) || !Job_CheckPdev(newPdev, FALSE, PDEVCALL_RESETPDEV)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (!Job_ResetPdev(newPdev, oldPdev)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    return TRUE;
}

VOID APIENTRY DrvDisablePDEV(DHPDEV dhpdev) {
    PDEV* pdev = AsPdev(dhpdev);
    if (Job_CheckPdev(pdev, FALSE, PDEVCALL_DISABLEPDEV)) FreePdev(pdev);
}

BOOL APIENTRY DrvQueryDeviceSupport(SURFOBJ*, XLATEOBJ*, XFORMOBJ*, ULONG iType, ULONG, PVOID, ULONG, PVOID) {
    Dbg_Print("DrvQueryDeviceSupport: type %u\n", iType);
    return TRUE;
}
