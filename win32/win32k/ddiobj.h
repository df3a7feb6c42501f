// The engine's drawing objects as the engine makes them for one driver call:
// each public record (CLIPOBJ, PATHOBJ, XLATEOBJ, BRUSHOBJ, XFORMOBJ,
// LINEATTRS) is the first part of an engine record that holds what the
// enumeration and query functions need. A driver only ever sees the public
// part; the engine services find the engine record again through the
// registry of live objects, so a record the driver made itself (a BRUSHOBJ
// on its stack, say) is read by its public members only and never beyond.
#pragma once
#include <windows.h>
#include <winddi.h>

#include <memory>
#include <optional>
#include <vector>

#include "win32k/drawing.h"
#include "win32k/geometry.h"
#include "win32k/rasterbitmap.h"
#include "win32k/region.h"

namespace w32 {

// Marks an engine record live while it exists, so that the engine services
// can tell it from a record a driver made.
void RegisterDrawingObject(const void* object);
void UnregisterDrawingObject(const void* object);
bool IsDrawingObject(const void* object);

template <class Engine>
class LiveObject {
public:
    LiveObject() { RegisterDrawingObject(static_cast<Engine*>(this)); }
    ~LiveObject() { UnregisterDrawingObject(static_cast<Engine*>(this)); }
    LiveObject(const LiveObject&) = delete;
    LiveObject& operator=(const LiveObject&) = delete;
};

// --- Colours ---------------------------------------------------------------------------

// The colours of a surface's pixels as a DDI palette names them.
struct SurfaceColors {
    ULONG format = BMF_24BPP;  // BMF_*
    ULONG mode = PAL_BGR;      // PAL_INDEXED, PAL_BITFIELDS, PAL_RGB, PAL_BGR
    std::vector<ULONG> colors;  // PAL_INDEXED: 0x00BBGGRR
    FLONG red = 0, green = 0, blue = 0;  // PAL_BITFIELDS

    ULONG PixelFor(COLORREF color) const;  // the nearest entry for an indexed palette
    COLORREF ColorOf(ULONG pixel) const;
    bool operator==(const SurfaceColors& other) const;
    // The masks of PAL_BITFIELDS, PAL_RGB and PAL_BGR.
    void Masks(ULONG& r, ULONG& g, ULONG& b) const;
};

// The palette the engine gives a format when nothing says otherwise:
// black and white, the 16 and 256 standard colours, 5-5-5, and blue in the
// low byte for 24 and 32 bits.
SurfaceColors DefaultColors(ULONG format);
SurfaceColors ColorsOfPalette(const EnginePalette& palette, ULONG format);
// A surface's colours: its own palette, else the device's (DEVINFO.hpalDefault)
// for a surface in the device's format, else the default of its format.
SurfaceColors ColorsOfSurface(const EngineSurface& surface, const PrinterDevice* device);

// A raster view of a SURFOBJ's pixels with the colours given; false for a
// device surface or a format the engine does not draw.
bool BitmapOfSurface(const SURFOBJ& surface, const SurfaceColors& colors, raster::Bitmap& out);

// --- XLATEOBJ --------------------------------------------------------------------------

struct EngineXlate : XLATEOBJ, LiveObject<EngineXlate> {
    // `monoColors`: a monochrome source without a colour table of its own
    // takes the DC's text colour for 0 and background colour for 1; a colour
    // source going to a monochrome destination gives 1 where it is the
    // background colour.
    EngineXlate(const SurfaceColors& source, const SurfaceColors& destination, COLORREF textColor,
                COLORREF bkColor, bool monoColors);
    // A source of given colours by index (brush patterns, hatches).
    EngineXlate(std::vector<COLORREF> sourceColors, const SurfaceColors& destination);

    ULONG Translate(ULONG pixel) const;

    SurfaceColors source, destination;
    std::vector<ULONG> table;  // XO_TABLE
    bool toMono = false;
    COLORREF bkColor = 0;

private:
    void Finish();
};

// The engine record behind an XLATEOBJ; null for a driver's own or null one.
const EngineXlate* KnownXlate(const XLATEOBJ* xlate);
// The destination pixel for a source pixel through any XLATEOBJ (null: the same).
ULONG TranslatePixel(XLATEOBJ* xlate, ULONG pixel);

// --- CLIPOBJ ---------------------------------------------------------------------------

struct EngineClip : CLIPOBJ, LiveObject<EngineClip> {
    // `clip`: where drawing may go (already cut to the surface); `bounds`:
    // what the call draws, in device pixels.
    EngineClip(const Region& clip, const RECTL& bounds);

    Region region;            // the whole clip
    std::vector<RECTL> order;  // the enumeration under way
    size_t next = 0;
    bool visible = true;  // false when nothing of the bounds is inside the clip
};

const EngineClip* KnownClip(const CLIPOBJ* clip);
// The pixels a call may write within `bounds` for any CLIPOBJ (null: all of them).
Region ClipRegion(const CLIPOBJ* clip, const RECTL& bounds);

// --- PATHOBJ ---------------------------------------------------------------------------

struct EnginePathObj : PATHOBJ, LiveObject<EnginePathObj> {
    explicit EnginePathObj(const DevicePath& path);

    DevicePath path;  // every figure starting with PT_MOVETO
    size_t next = 0;  // the point the next PATHOBJ_bEnum starts at
};

const EnginePathObj* KnownPath(const PATHOBJ* path);
// A path the engine gives a driver to free with EngDeletePath. It belongs
// to the device whose callback asked for it, and goes with that device if
// the driver never frees it.
PATHOBJ* NewPathObj(const DevicePath& path);
// Frees the paths handed out during a device's callbacks and not yet
// freed; gives their number.
size_t FreePathsOwnedBy(uint64_t owner);

// --- BRUSHOBJ --------------------------------------------------------------------------

struct EngineBrushObj : BRUSHOBJ, LiveObject<EngineBrushObj> {
    // `device` null for a memory DC: nothing to realise.
    EngineBrushObj(const EngineBrush& brush, const DrawContext& dc, const SurfaceColors& target);

    const EngineBrush& brush;
    PrinterDevice* device;
    SurfaceColors target;
    COLORREF textColor, bkColor;
    bool opaqueBackground;
    bool realizing = false;

    // The brush as the raster engine paints it, in the target's pixels.
    raster::Pattern Pattern(POINTL origin) const;
};

EngineBrushObj* KnownBrush(const BRUSHOBJ* brush);
// The pattern any BRUSHOBJ paints with: its solid colour, or the engine
// brush's pattern; false when there is neither.
bool BrushPattern(BRUSHOBJ* brush, POINTL* origin, raster::Pattern& out);

// The engine's own 8x8 monochrome hatch of HS_* (1 bits on the lines).
const BYTE* StandardHatch(ULONG hatch);
HSURF StandardHatchSurface(ULONG hatch);

// --- XFORMOBJ and LINEATTRS ------------------------------------------------------------

// The identity unless made with a matrix (a font's notional space to the device).
struct EngineXform : XFORMOBJ, LiveObject<EngineXform> {
    EngineXform() : XFORMOBJ{} {}
    explicit EngineXform(const XFORML& m) : XFORMOBJ{}, matrix(m) {}

    XFORML matrix{1.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f};
};

const EngineXform* KnownXform(const XFORMOBJ* xform);

struct EngineLineAttrs : LINEATTRS, LiveObject<EngineLineAttrs> {
    EngineLineAttrs(const EnginePen& pen, FLOAT miterLimit);

    std::vector<FLOAT_LONG> styles;
    EnginePen pen;
    FLOAT miterLimit;
};

const EngineLineAttrs* KnownLineAttrs(const LINEATTRS* attrs);

// The engine's pen forms of a LINEATTRS (a driver's own: solid).
CosmeticPen CosmeticPenOf(const LINEATTRS* attrs);
GeometricPen GeometricPenOf(const LINEATTRS* attrs);

}  // namespace w32
