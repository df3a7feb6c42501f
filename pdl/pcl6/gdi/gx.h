// The graphics state: the state operators of PCL XL written only when the
// value differs from what was last sent (the cache of gstate.h), and the
// diagnostic aids the drawing code shares: debug outlines of drawn objects,
// the object-range filter, the debug files and two small bitmap routines.
//
// The writers return TRUE unless writing failed (the job's output error) or
// the request was refused; Gx_SetColorSpace and Gx_SetLineDash return
// whether they wrote something.
#pragma once
#include <windows.h>
#include <winddi.h>

#include "pcl6/gdi/dbgassert.h"
#include "pcl6/gdi/gstate.h"

struct PDEV;

// Resets the cache to the printer's state after a reset (a new page), so
// that every later request writes. The colour treatment and a solid dash
// style are kept; any other dash style is sent again with the next line.
void Gx_ResetCache(PDEV* pdev);

// NullBrush / NullPen and the source operator; the colour slot is cleared.
BOOL Gx_SetNullBrush(PDEV* pdev);
BOOL Gx_SetNullPen(PDEV* pdev);
// GX_SPACE_JOB: the job's colour space, written only when it is not the one
// in force. GX_SPACE_GREY, GX_SPACE_RGB: written always. A palette code: the
// caller has written the palette attributes; PaletteData's id and
// SetColorSpace finish them. Anything else is an internal check.
BOOL Gx_SetColorSpace(PDEV* pdev, int space);
// A solid pen or brush colour in the job's colour space (a grey job takes
// the red byte as the grey level), adjusted by the settings' levels.
BOOL Gx_SetPenColor(PDEV* pdev, COLORREF color);
BOOL Gx_SetBrushColor(PDEV* pdev, COLORREF color);
// 0 solid, 1..4 dash patterns scaled to the resolution; 6 and 7 write
// nothing; others are an internal check.
BOOL Gx_SetLineDash(PDEV* pdev, int style);
// A solid line of the width.
BOOL Gx_SetPenWidth(PDEV* pdev, int width);
// Raster operation, source and paint transfer modes (GX_TX_*) and the
// colour treatment; the user interface's watermark and recorded page parts
// override the operation.
BOOL Gx_SetRopAndModes(PDEV* pdev, int rop3, int sourceMode, int paintMode, int treatment);
// Colour treatments of what is drawn: glyphs, images, vector fills.
#define GX_TREATMENT_GLYPHS 1
#define GX_TREATMENT_IMAGE 2
#define GX_TREATMENT_FILL 3
BOOL Gx_SetFillMode(PDEV* pdev, BOOL evenOdd);
BOOL Gx_SetClipMode(PDEV* pdev, BOOL evenOdd);
// Clips to the rectangle within the page's printable area; null: to the
// printable area.
BOOL Gx_SetClipRect(PDEV* pdev, const RECTL* rect);
// SetCursor, NewPath, BoundingBox, RectanglePath, PaintPath.
BOOL Gx_FillRect(PDEV* pdev, const RECTL* rect);
// Colour jobs only: 0 writes the vendor-unique command that selects the
// printer's own colour treatment; 1..3 are kept for the raster operations.
BOOL Gx_SetColorTreatment(PDEV* pdev, int treatment);
BOOL Gx_SetCharAngle(PDEV* pdev, int angle);
// CharScale (|scale|, 1.0) as reals, or with `integerForm` (1, 1) as uint16_xy.
BOOL Gx_SetCharScale(PDEV* pdev, double scale, BOOL integerForm);
BOOL Gx_SetCharShear(PDEV* pdev, double sx, double sy);
BOOL Gx_SetCharBoldValue(PDEV* pdev, double value);

// Object types of the debug outlines.
#define GX_OUTLINE_BLUE 4
#define GX_OUTLINE_RED 5
#define GX_OUTLINE_GREEN 6
// Frames `rect` in the colour of the object type when the settings' object
// mask asks for outlines of that type.
void Gx_DrawDebugOutline(PDEV* pdev, int objectType, const RECTL* rect);
// With an object range in the settings: counts the object and tells whether
// it lies outside the range (skip it).
BOOL Gx_SkipByRange(PDEV* pdev);
// Exchanges the first and third byte of each 3-byte pixel from `in` into
// `out` (which may be `in`). A count that is not a multiple of 3 is an
// internal check; only whole pixels are handled.
void Gx_SwapRedBlue(PDEV* pdev, BYTE* out, const BYTE* in, DWORD byteCount);
// Turns a 1-bit bitmap (rows of whole 32-bit words) upside down in place.
void Gx_FlipBitmap(BYTE* bits, LONG width, LONG height);

// The debug files: nothing happens for a null or invalid handle.
BOOL Dbg_WriteFile(PDEV* pdev, HANDLE file, const void* bytes, DWORD count);
void Dbg_CloseFile(PDEV* pdev, HANDLE file);
// Starts a new line of the text log when the baseline moved by a line.
void Dbg_TextLogNewLine(PDEV* pdev, HANDLE file, LONG x, LONG y);

// The clip of a drawing call from the engine's clip object, for an object
// within `bounds` (device pixels; may be null): no clip object or a trivial
// one clips to the printable area, a rectangle to that rectangle, and a
// complex clip to the interior of its outline (even-odd), sent as a clip
// path unless the same complex clip (by its iUniq) is in force already.
// FALSE when writing failed.
BOOL Gx_SetClipObj(PDEV* pdev, CLIPOBJ* clip, const RECTL* bounds);
