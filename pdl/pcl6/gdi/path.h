// Paths: the engine's paths (lines and cubic Béziers in 28.4 fixed point)
// as PCL XL path operators, the pen of the engine's line attributes, and
// the raster operation of the engine's mix modes.
//
// The path writer packs the points in the most compact form that holds
// them: relative steps of two signed bytes where they fit, signed 16-bit
// steps where they do not, and absolute 16-bit coordinates where even a
// 16-bit step does not fit. Coordinates are whole device pixels (the fixed
// point value shifted right by 4, rounding down), clamped to
// -32767..32767.
#pragma once
#include <windows.h>
#include <winddi.h>

struct PDEV;

// The raster operation (ROP3) of a mix's foreground ROP2 (its low 4 bits;
// 16 and 0 both give 0xFF).
BYTE Path_MixToRop3(MIX mix);
// The transfer mode (GX_TX_*) of a mix: a background mix of R2_NOP leaves
// the gaps transparent, any other paints them.
int Path_MixTransfer(MIX mix);

// The next fragment of a path: TRUE when more follow (the PATHOBJ_bEnum
// protocol).
typedef BOOL (*PathEnumProc)(void* context, PATHDATA* fragment);

// Writes the path's points after the caller's NewPath: a SetCursor at the
// start of each sub-path, the runs of each fragment in chunks of at most
// PXL_PATH_CHUNK_POINTS points, and CloseSubPath after a closed figure.
// `segments` (may be null) tells whether any fragment had points after its
// start point. FALSE with ERROR_INVALID_PARAMETER for a Bézier fragment
// whose points do not make whole curves (or a fragment without points), and
// FALSE when writing failed.
BOOL Path_Write(PDEV* pdev, PATHOBJ* path, BOOL* segments);
// The same over fragments from `next`.
BOOL Path_WriteFragments(PDEV* pdev, PathEnumProc next, void* context, BOOL* segments);

// The pen of the line attributes: FALSE for a geometric (wide) line, which
// the engine then widens and fills. Otherwise the pen width (the low 8 bits
// of the cosmetic width, at least 1) and the dash: solid, the lightened
// solid line of LA_ALTERNATE, or the user pattern of the style array in
// units of 1/50 inch. FALSE when the dash array cannot be had.
BOOL Pen_SetLineAttributes(PDEV* pdev, const LINEATTRS* attributes);
// Frees the dash array of the job's graphics state.
void Pen_FreeDash(PDEV* pdev);
