// GDI's drawing objects: pens, brushes, bitmaps (device-dependent bitmaps
// and DIB sections), regions and palettes. Each holds what the engine draws
// with (win32k/drawing.h) and what GetObjectW reports.
#pragma once
#include <windows.h>

#include <memory>
#include <vector>

#include "gdi32/gdiobj.h"
#include "win32k/drawing.h"
#include "win32k/region.h"

namespace w32::gdi {

struct GdiPen : GdiObject {
    DWORD ObjectType() const override { return extended ? OBJ_EXTPEN : OBJ_PEN; }
    bool extended = false;  // ExtCreatePen: GetObjectW gives an EXTLOGPEN
    LOGPEN logPen{};        // CreatePen(Indirect)
    EXTLOGPEN extLogPen{};  // ExtCreatePen, without its style entries
    std::vector<DWORD> styleEntries;
    // Widths are logical units; the engine pen is made in device units for
    // each drawing call (gdi32/drawcontext.h).
    EnginePen engine;
    bool stock = false;
};

struct GdiBrush : GdiObject {
    DWORD ObjectType() const override { return OBJ_BRUSH; }
    LOGBRUSH logBrush{};
    std::shared_ptr<EngineBrush> engine;
    bool stock = false;
};

struct GdiBitmap : GdiObject {
    DWORD ObjectType() const override { return OBJ_BITMAP; }
    // The pixels: an engine bitmap whose palette gives their colours.
    std::shared_ptr<EngineSurface> surface;
    bool dibSection = false;
    BITMAPINFOHEADER dibHeader{};  // a DIB section's header, as GetObjectW gives it
    DWORD bitfields[3] = {};
    HANDLE section = nullptr;
    DWORD sectionOffset = 0;
    HDC selectedInto = nullptr;  // the memory DC it is selected into; a bitmap is in one DC at most
    bool stock = false;          // the 1x1 monochrome bitmap of a new memory DC
};

struct GdiRegion : GdiObject {
    DWORD ObjectType() const override { return OBJ_REGION; }
    Region region;
};

struct GdiPalette : GdiObject {
    DWORD ObjectType() const override { return OBJ_PAL; }
    std::vector<PALETTEENTRY> entries;
    bool stock = false;
};

// True for a stock object: DeleteObject does nothing and answers TRUE.
bool IsStockObject(HGDIOBJ object);

}  // namespace w32::gdi
