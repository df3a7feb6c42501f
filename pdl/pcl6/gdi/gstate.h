// The graphics-state cache: the PCL XL state last sent to the printer, so
// that an operator is written only when a value changes; with it the colour
// treatment, the palette cache of indexed images and patterns, and the
// PDEV's diagnostic aids.
#pragma once
#include <windows.h>

// Brush and pen kinds.
#define GX_BRUSH_COLOR 0
#define GX_BRUSH_NULL 1
#define GX_BRUSH_PATTERN 2
#define GX_PEN_PATTERN 2
#define GX_PEN_NULL 5

// The dash style of a user pattern (GraphicsStateCache.Dash).
#define GX_DASH_USER 7

// Source and paint transfer modes as callers pass them.
#define GX_TX_OPAQUE 10
#define GX_TX_TRANSPARENT 20

// Colour spaces: the two of the job, and the palette codes (the colour
// space written with a palette of 2, 16 or 256 entries).
#define GX_SPACE_JOB 0
#define GX_SPACE_GREY 1
#define GX_SPACE_RGB 2
#define GX_SPACE_PALETTE_2 134
#define GX_SPACE_PALETTE_16 70
#define GX_SPACE_PALETTE_256 22
#define GX_SPACE_PALETTE 6

// The kind of object being drawn, which the black conversion and the colour
// adjustment take into account.
#define GX_OBJECT_TEXT 0
#define GX_OBJECT_VECTOR 1
#define GX_OBJECT_IMAGE 2

// The last palette written, by size. A palette of 256 entries is
// never compared: it is written every time.
struct PaletteCache {
    BYTE TwoEntries[2 * 3];       // grey levels, or RGB triples in a colour job
    BYTE SixteenEntries[16 * 3];
    BYTE BlackWhiteInForce;       // the fixed black and white palette replaced the last one
};

// The PDEV's graphics-state cache (part of the job state). Job and page
// control resets the slots (Gx_ResetCache) whenever the printer's state is
// reset, so that the next request writes.
struct GraphicsStateCache {
    UINT16 BrushKind;         // GX_BRUSH_*
    INT32 PenKind;            // GX_PEN_NULL, or 0 for a colour
    INT32 BrushColor;         // colour or grey level last sent; -1 none
    INT32 PenColor;
    INT32 ColorSpace;         // GX_SPACE_GREY, GX_SPACE_RGB or a palette code; 0 none
    INT32 DashStyle;          // 0 solid, 1..4 dashes, GX_DASH_USER the array below; -1 none
    INT32 PenWidth;
    // The user dash pattern in force (GX_DASH_USER): its lengths in device
    // pixels (GlobalAlloc'ed, owned by the job) and its offset.
    UINT16* DashArray;
    UINT32 DashCount;
    INT32 DashOffset;
    BYTE AlternateLine;       // the line being drawn is LA_ALTERNATE: its pen is lightened
    // The pattern last made the brush or pen source (GX_BRUSH_PATTERN,
    // GX_PEN_PATTERN) and its origin.
    UINT16 BrushPattern;
    POINTL BrushPatternOrigin;
    UINT16 PenPattern;
    POINTL PenPatternOrigin;
    ULONG ComplexClip;        // iUniq of the complex clip in force; 0 none
    BYTE Rop3;
    BYTE SourceTransfer;      // GX_TX_*; 255 none
    BYTE PaintTransfer;
    BYTE FillMode;            // 0 non-zero winding, 1 even-odd; 255 none
    BYTE ClipMode;
    BYTE ObjectKind;          // GX_OBJECT_*, set by the drawing code
    BYTE ColorTreatment;      // 0..3; not reset with the page
    BYTE NoClip;              // set: clip rectangles are tracked but not written
    BYTE AlternatePattern;    // set: watermark fills alternate their raster operation
    RECTL ClipBox;
    BOOL ClipBoxValid;
    INT32 CharAngle;          // -1 none
    double CharScale;         // the scale last sent
    BOOL CharScaleInteger;    // ... sent in the integer form (1, 1)
    double CharShearX;
    double CharShearY;
    double CharBoldValue;
    PaletteCache Palettes;
    // Statistics.
    INT32 ColorChanges;
    INT32 ClipChanges;
    INT32 ObjectCounter;      // objects met by the object-range filter
    INT32 BitBltCalls;        // blit callbacks that passed their checks and drew
    INT32 CopyBitsCalls;
    INT32 StretchBltCalls;
    INT32 TransparentBltCalls;
    // A triangle gradient is being drawn by the engine: the copy that brings
    // its bitmap to the page leaves the bitmap's white background out
    // (transparent source), so the triangles' surroundings stay as they were.
    BYTE TransparentCopy;
    // Diagnostics: the debug file with its text log of printed characters
    // and row dumps, and the last baseline of the text log.
    BYTE TextLog;
    BYTE RowDump;
    HANDLE DebugFile;
    BOOL BaselineKnown;
    LONG BaselineX;
    LONG BaselineY;
    CHAR CheckText[64];       // the last internal-check report, "File:%s Line:%d\n"
};
