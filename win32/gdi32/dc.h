// Device contexts. A printer DC holds the engine's device for the printer
// (driver, PDEV, surface: win32k/engine.h); documents, pages and drawing
// pass through it to the driver.
#pragma once
#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "gdi32/gdiobj.h"
#include "win32k/drawing.h"
#include "win32k/engine.h"
#include "win32k/geometry.h"
#include "win32k/region.h"

namespace w32::gdi {

// Where a DC is in printing a document (gdi32/document.cpp).
enum class DocumentState {
    None,      // no document: StartDocW may start one
    Open,      // between StartDocW and EndDoc or AbortDoc, outside a page
    PageOpen,  // between StartPage and EndPage
};

// What SaveDC keeps and RestoreDC brings back.
struct DcState {
    HGDIOBJ pen = nullptr;      // selected objects; a new DC has the stock ones
    HGDIOBJ brush = nullptr;
    HGDIOBJ font = nullptr;
    HGDIOBJ bitmap = nullptr;   // memory DCs
    HGDIOBJ palette = nullptr;
    int rop2 = R2_COPYPEN;
    int bkMode = OPAQUE;
    COLORREF bkColor = RGB(255, 255, 255);
    COLORREF textColor = RGB(0, 0, 0);
    int polyFillMode = ALTERNATE;
    int stretchMode = BLACKONWHITE;
    int arcDirection = AD_COUNTERCLOCKWISE;
    UINT textAlign = TA_LEFT | TA_TOP | TA_NOUPDATECP;  // SetTextAlign
    int charExtra = 0;  // SetTextCharacterExtra: logical units added after each character
    FLOAT miterLimit = 10.0f;
    COLORADJUSTMENT colorAdjustment{sizeof(COLORADJUSTMENT), 0, 0, 10000, 10000, 10000, 0, 10000, 0, 0, 0, 0};
    POINT brushOrigin{};
    POINT currentPosition{};
    // The colours of the stock DC_BRUSH and DC_PEN while selected.
    COLORREF dcBrushColor = RGB(255, 255, 255);
    COLORREF dcPenColor = RGB(0, 0, 0);
    // Mapping: page space to device space by window and viewport.
    int mapMode = MM_TEXT;
    POINT windowOrigin{};
    SIZE windowExtent{1, 1};
    POINT viewportOrigin{};
    SIZE viewportExtent{1, 1};
    // World space to page space (GM_ADVANCED only).
    int graphicsMode = GM_COMPATIBLE;
    XFORM world{1, 0, 0, 1, 0, 0};
    DWORD layout = 0;  // LAYOUT_RTL, LAYOUT_BITMAPORIENTATIONPRESERVED
    // The clip region a program set, in device pixels; none: no clipping.
    std::optional<Region> clip;
};

struct GdiBitmap;

// A path being recorded (BeginPath .. EndPath) or closed, in device space.
enum class PathState { None, Open, Closed };

struct DeviceContext : GdiObject {
    DWORD ObjectType() const override { return memory ? OBJ_MEMDC : OBJ_DC; }
    bool memory = false;  // CreateCompatibleDC: draws into its selected bitmap
    DcState state;
    std::vector<DcState> saved;  // SaveDC
    PathState pathState = PathState::None;
    DevicePath path;
    bool informationContext = false;  // CreateICW: capabilities only, no drawing
    std::u16string deviceName;        // the printer, as the program named it
    std::shared_ptr<PrinterDevice> device;
    DocumentState document = DocumentState::None;
    DWORD jobId = 0;  // the spooler job of the open document
    // A memory DC made compatible with a printer DC answers GetDeviceCaps
    // with the printer's capabilities, copied so that they outlive it.
    bool printerCompatible = false;
    GDIINFO compatibleGdiInfo{};
    DEVINFO compatibleDevInfo{};
    // A window's DC (made by the window manager, gdi32/windowdc.h): it has
    // no bitmap of its own and draws into the surface of the window's top-
    // level window. Its device origin lies at `windowOrigin` in the
    // surface's pixels and every pixel it draws is cut to `windowVisible`
    // (surface pixels). Regions a program selects are device units of the
    // window, relative to that origin.
    std::shared_ptr<GdiBitmap> windowSurface;
    POINT windowOrigin{};
    Region windowVisible;
};

// The bitmap a memory DC (its selected bitmap) or a window DC (its
// window's surface) draws into; null for printer DCs.
std::shared_ptr<GdiBitmap> TargetBitmap(const DeviceContext& dc);

// Null for a handle that is no DC.
std::shared_ptr<DeviceContext> LookupDC(HDC hdc);
// The same, setting ERROR_INVALID_HANDLE when it answers null.
std::shared_ptr<DeviceContext> LookupDCOrSetError(HDC hdc);

// Copies a field of the DC's state to the caller, as the Get...Ex calls
// do: FALSE with ERROR_INVALID_HANDLE for a handle that is no DC, with
// ERROR_INVALID_PARAMETER when there is nowhere to put it.
template <typename T>
BOOL GetStateField(HDC hdc, T DcState::*field, T* out) {
    const auto dc = LookupDCOrSetError(hdc);
    if (!dc) return FALSE;
    if (!out) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *out = dc->state.*field;
    return TRUE;
}

// Gives a new DC (printer or memory) the default state: stock pen, brush,
// font and palette, the stock 1x1 monochrome bitmap for a memory DC, and
// the default modes, colours and mapping (gdi32/defaultstate.cpp).
void InitDcState(DeviceContext& dc);

// The DC's mapping from logical coordinates to device ones (world, page and
// layout transforms together), and back.
XFORM LogicalToDeviceTransform(const DeviceContext& dc);
POINTFIX LogicalToDeviceFix(const DeviceContext& dc, LONG x, LONG y);
POINT LogicalToDevice(const DeviceContext& dc, LONG x, LONG y);
// Lengths (pen widths): the x axis scaled, never below 0.
ULONG LogicalWidthToDevice(const DeviceContext& dc, LONG width);

// The engine's view of the DC for one drawing call: its surface, its
// clip (the program's clip region cut to the surface), and its modes.
// False when the DC cannot draw (an information context, a printer DC
// outside a page, a memory DC with its 1x1 stock bitmap still draws).
bool MakeDrawContext(const DeviceContext& dc, DrawContext& out);
// The engine pen and brush of the selected objects, in device units.
EnginePen SelectedPen(const DeviceContext& dc);
std::shared_ptr<EngineBrush> SelectedBrush(const DeviceContext& dc);

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
