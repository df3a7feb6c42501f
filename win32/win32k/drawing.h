// The engine's drawing calls, as GDI makes them for one DC in device
// coordinates. On a printer DC each goes to the driver's callback when the
// surface hooked it (with SURFOBJ, CLIPOBJ, BRUSHOBJ, PATHOBJ, XLATEOBJ
// made for the call); what the driver did not hook, or refused, the engine
// draws itself (EngBitBlt, EngFillPath, ...), on a device-managed surface
// through a temporary bitmap between two DrvCopyBits. On a memory DC (no
// device) the engine draws straight into the DC's bitmap.
#pragma once
#include <windows.h>
#include <winddi.h>

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "win32k/engine.h"
#include "win32k/engobj.h"
#include "win32k/geometry.h"
#include "win32k/rasterbitmap.h"
#include "win32k/region.h"

namespace w32 {

// A logical brush as the engine sees it. GDI's brush object holds one; the
// realisations a driver makes of it (DrvRealizeBrush) are kept here, one
// per device, for as long as the brush lives.
struct EngineBrush {
    UINT style = BS_SOLID;  // BS_SOLID, BS_NULL, BS_HATCHED, BS_PATTERN, BS_DIBPATTERN (BS_DIBPATTERNPT comes as this)
    COLORREF color = 0;     // solid and hatched
    ULONG hatch = 0;        // HS_*
    // BS_PATTERN and BS_DIBPATTERN: the pattern bitmap, with its palette
    // (a monochrome BS_PATTERN bitmap takes the DC's text and background colours).
    std::shared_ptr<EngineSurface> pattern;
    uint64_t id = 0;  // unique for the life of the process
    // Filled while the brush is drawn with, so mutable in a brush GDI passes as const.
    mutable std::map<uint64_t, std::vector<BYTE>> realizations;  // by device id: the bytes the driver allocated
};

// A pen as the engine sees it.
struct EnginePen {
    bool geometric = false;
    ULONG width = 0;  // device pixels; 0 or 1 and cosmetic: one pixel
    int style = PS_SOLID;  // PS_STYLE_MASK part
    ULONG endCap = PS_ENDCAP_ROUND;
    ULONG join = PS_JOIN_ROUND;
    COLORREF color = 0;
    std::vector<ULONG> userStyle;  // PS_USERSTYLE
    std::shared_ptr<EngineBrush> brush;  // geometric pens: what the stroke is painted with
};

// A surface GDI draws on or reads from: a printer's device surface or an
// engine bitmap (memory DC, DIB section, a program's DIB), with the colours
// of its pixels.
struct DrawSurface {
    std::shared_ptr<EngineSurface> surface;
    PrinterDevice* device = nullptr;  // the printer whose driver gets the calls; null for memory DCs
};

// The DC state a drawing call needs, in device coordinates.
struct DrawContext {
    DrawSurface target;
    std::optional<Region> clip;  // device pixels; none: the whole surface
    POINTL brushOrigin{};
    COLORREF textColor = RGB(0, 0, 0);
    COLORREF bkColor = RGB(255, 255, 255);
    int bkMode = OPAQUE;
    int rop2 = R2_COPYPEN;
    int polyFillMode = ALTERNATE;
    int stretchMode = BLACKONWHITE;
    COLORADJUSTMENT colorAdjustment{};
    FLOAT miterLimit = 10.0f;
};

// Paths (lines, polygons, ellipses, Béziers). A cosmetic pen strokes with
// the DC's ROP2 (mix); a geometric one that the driver refuses comes back
// widened to DrvFillPath.
bool DrawStrokePath(const DrawContext& dc, const DevicePath& path, const EnginePen& pen);
bool DrawFillPath(const DrawContext& dc, const DevicePath& path, const EngineBrush& brush);
bool DrawStrokeAndFillPath(const DrawContext& dc, const DevicePath& path, const EnginePen& pen,
                           const EngineBrush& brush);

// Paints a region with a brush under the DC's ROP2 (FillRgn, PaintRgn,
// FillRect): DrvPaint when hooked, else EngPaint (or DrvBitBlt with the
// matching ROP when the driver hooks blits but not painting).
bool DrawPaint(const DrawContext& dc, const Region& region, const EngineBrush& brush, MIX mix);

// A source of a blit: a surface (a DC's, or a program's DIB made into an
// engine bitmap), where `origin` is the top-left pixel read.
struct BlitSource {
    DrawSurface surface;
    POINTL origin{};
};

// BitBlt, PatBlt, MaskBlt: ROP4 as GDI derives it (a ROP3 in both bytes
// without a mask). `source`, `mask`, `brush` null when the ROP does not read them.
bool DrawBitBlt(const DrawContext& dc, const RECTL& destination, const BlitSource* source,
                const EngineSurface* mask, POINTL maskOrigin, const EngineBrush* brush, ROP4 rop4);
// StretchBlt, StretchDIBits: the destination or source rectangle may be
// inverted to mirror. The driver's DrvStretchBlt gets the DC's stretch
// mode as its iMode and, in HALFTONE mode only, the DC's colour
// adjustment; DrvStretchBltROP
// or DrvBitBlt where the ROP needs it.
bool DrawStretchBlt(const DrawContext& dc, const RECTL& destination, const BlitSource& source,
                    const RECTL& sourceRect, const EngineBrush* brush, ROP4 rop4);
bool DrawTransparentBlt(const DrawContext& dc, const RECTL& destination, const BlitSource& source,
                        const RECTL& sourceRect, COLORREF transparent);
bool DrawAlphaBlend(const DrawContext& dc, const RECTL& destination, const BlitSource& source,
                    const RECTL& sourceRect, BLENDFUNCTION blend);
bool DrawGradientFill(const DrawContext& dc, const TRIVERTEX* vertices, ULONG vertexCount, const void* mesh,
                      ULONG meshCount, ULONG mode);

// Makes an engine bitmap of a DIB's pixels (copied), with the palette of
// its colour table or masks; null with the last error set for a header that
// lies (size, colour count, compression, a width or height out of range).
std::shared_ptr<EngineSurface> SurfaceFromDib(const BITMAPINFO* info, const void* bits, UINT usage,
                                              std::span<const PALETTEENTRY> dcPalette = {});

// The raster view of an engine bitmap (STYPE_BITMAP) with the colours of
// its palette; false for a device surface.
bool SurfaceBitmap(const EngineSurface& surface, raster::Bitmap& out);

// Saves an engine bitmap as a PNG file (any format, as 24-bit colour, or
// 32-bit with alpha when `alpha`); false with the last error set.
bool SaveSurfacePng(const EngineSurface& surface, const char* path, bool alpha = false);

}  // namespace w32
