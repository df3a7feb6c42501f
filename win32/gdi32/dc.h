// Device contexts. A printer DC holds the engine's device for the printer
// (driver, PDEV, surface: win32k/engine.h); documents, pages and drawing
// pass through it to the driver.
#pragma once
#include <windows.h>

#include <memory>
#include <string>

#include "gdi32/gdiobj.h"
#include "win32k/engine.h"

namespace w32::gdi {

struct DeviceContext : GdiObject {
    DWORD ObjectType() const override { return OBJ_DC; }
    bool informationContext = false;  // CreateICW: capabilities only, no drawing
    std::u16string deviceName;        // the printer, as the program named it
    std::shared_ptr<PrinterDevice> device;
};

// Null for a handle that is no DC.
std::shared_ptr<DeviceContext> LookupDC(HDC hdc);

}  // namespace w32::gdi

namespace w32 {

// The engine's state of a printer DC (its driver's callbacks, the PDEV, the
// surface, what the driver answered); null for a handle that is no printer DC.
PrinterDevice* EngineDeviceOfDC(HDC hdc);

}  // namespace w32
