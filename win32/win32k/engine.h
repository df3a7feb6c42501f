// The graphics engine's side of printer device contexts: loading a printer's
// graphics driver and enabling, resetting and disabling its PDEVs in the
// order Windows calls them. GDI (gdi32) keeps one PrinterDevice per printer
// DC; tests and the print path read the engine state through it. Documents,
// pages and escapes on a device are in win32k/document.h.
//
// Errors: when a driver callback fails, the engine reports the last error
// the driver set during the call; when it set none, ERROR_INVALID_PARAMETER
// for a PDEV the driver would not enable or reset (the settings were refused)
// and ERROR_BAD_DRIVER for anything else the driver got wrong.
#pragma once
#include <windows.h>
#include <winddi.h>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "win32k/engobj.h"

namespace w32 {

// The version of the driver interface the engine offers, as Windows 10
// passes it to DrvEnableDriver.
inline constexpr ULONG kEngineDdiVersion = DDI_DRIVER_VERSION_NT5_01_SP1;

// A loaded printer graphics driver: one per driver module, shared by every
// device that uses it, and unloaded when the last of them goes.
struct DriverModule {
    HMODULE module = nullptr;
    std::u16string path;       // as the spooler named it
    ULONG driverVersion = 0;   // the DRVENABLEDATA.iDriverVersion it answered
    PFN callbacks[INDEX_LAST] = {};  // by INDEX_Drv*; null where it has none
    PFN_DrvDisableDriver disableDriver = nullptr;
    unsigned users = 0;  // devices using it

    template <class F>
    F Callback(ULONG index) const {
        return index < INDEX_LAST ? reinterpret_cast<F>(callbacks[index]) : nullptr;
    }
};

// The document a device is printing (win32k/document.h); null when none.
struct EngineDocument;

// The engine's side of one printer DC.
struct PrinterDevice {
    HANDLE printer = nullptr;  // the spooler handle the driver is given; closed with the device
    std::u16string deviceName;
    bool informationOnly = false;  // an information context: no surface
    std::shared_ptr<DriverModule> driver;
    // The current PDEV; null once the device is disabled, or when a reset
    // failed after the old PDEV was gone.
    std::shared_ptr<EnginePdev> pdev;
    uint64_t id = 0;  // owner of the engine objects its driver makes
    std::shared_ptr<EngineDocument> document;

    // The SURFOBJ of the PDEV's surface; null when there is none.
    SURFOBJ* SurfaceObject() const;
};

// Enables a device for `printer` (an OpenPrinterW handle, which the device
// owns from here on and closes, on failure too): loads the printer's driver
// (GetPrinterDriverW), then DrvEnablePDEV, DrvCompletePDEV and, unless
// `informationOnly`, DrvEnableSurface. `devMode` is copied; null gives the
// driver no settings. Null with the last error set when anything fails,
// after undoing what was done.
std::shared_ptr<PrinterDevice> EnablePrinterDevice(HANDLE printer, std::u16string_view deviceName,
                                                   const DEVMODEW* devMode, bool informationOnly);

// Gives the device a PDEV enabled with new settings: DrvEnablePDEV (new),
// DrvResetPDEV (old, new), DrvDisableSurface and DrvDisablePDEV (old),
// DrvCompletePDEV and DrvEnableSurface (new). When the new PDEV cannot be
// enabled or the driver refuses the reset, the old PDEV stays and the call
// fails. A new surface that cannot be enabled leaves the device without a
// PDEV. A document open on the device stays open: the driver carries it to
// the new PDEV in DrvResetPDEV, and the later pages go to the new surface.
bool ResetPrinterDevice(PrinterDevice& device, const DEVMODEW* devMode);

// Ends a document still open with DrvEndDoc(ED_ABORTDOC), then
// DrvDisableSurface, DrvDisablePDEV, frees the engine objects the driver
// left, closes the printer handle and lets go of the driver (unloading it
// after its last device). Safe to call twice.
void DisablePrinterDevice(PrinterDevice& device);

// The drivers loaded now.
std::vector<std::shared_ptr<DriverModule>> LoadedDrivers();

// The driver entry points and callbacks the engine called, in order, since
// the process started or the log was cleared.
struct DdiCall {
    std::string function;  // "DrvEnablePDEV", ...
    DHPDEV dhpdev = nullptr;  // the PDEV called (DrvResetPDEV: the old one)
    HDEV hdev = nullptr;
    DHPDEV dhpdevNew = nullptr;  // DrvResetPDEV: the new PDEV
    // DrvStartDoc: the job id; DrvEndDoc: the flags; DrvEscape and
    // DrvDrawEscape: the escape code; DrvBitBlt, DrvStretchBltROP: the ROP4;
    // DrvFillPath, DrvStrokePath, DrvStrokeAndFillPath, DrvPaint, DrvTextOut:
    // the mix; DrvGetGlyphMode: its answer;
    // DrvStretchBlt: iMode; DrvRealizeBrush: iHatch; DrvGradientFill: the
    // mode; DrvTransparentBlt: the transparent pixel; DrvQueryFont and
    // DrvQueryFontTree: iFace; DrvQueryAdvanceWidths: the glyph count; 0
    // for the others.
    ULONG argument = 0;
};
std::vector<DdiCall> DdiCallLog();
void ClearDdiCallLog();
// The log records only while a test has it on (it is off when a process
// starts), so that a long print job keeps flat memory.
void EnableDdiCallLog(bool on);

}  // namespace w32
