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

// Where a DC is in printing a document (gdi32/document.cpp).
enum class DocumentState {
    None,      // no document: StartDocW may start one
    Open,      // between StartDocW and EndDoc or AbortDoc, outside a page
    PageOpen,  // between StartPage and EndPage
};

struct DeviceContext : GdiObject {
    DWORD ObjectType() const override { return OBJ_DC; }
    bool informationContext = false;  // CreateICW: capabilities only, no drawing
    std::u16string deviceName;        // the printer, as the program named it
    std::shared_ptr<PrinterDevice> device;
    DocumentState document = DocumentState::None;
    DWORD jobId = 0;  // the spooler job of the open document
};

// Null for a handle that is no DC.
std::shared_ptr<DeviceContext> LookupDC(HDC hdc);

// Ends the DC's open document as AbortDoc does: DrvEndDoc(ED_ABORTDOC),
// then AbortPrinter. False when the spooler refused (last error set). Call
// with the engine lock held.
bool AbortOpenDocument(DeviceContext& dc);

}  // namespace w32::gdi

namespace w32 {

// The engine's state of a printer DC (its driver's callbacks, the PDEV, the
// surface, what the driver answered); null for a handle that is no printer DC.
PrinterDevice* EngineDeviceOfDC(HDC hdc);

}  // namespace w32
