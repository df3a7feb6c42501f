// A glyph's outline as GetGlyphOutlineW hands it out: one TTPOLYGONHEADER
// per contour followed by its TTPOLYCURVE records, points in 16.16 fixed
// point, device pixels from the glyph's origin, y up.
//
// The native form (GGO_NATIVE) keeps the font's own points: a contour
// starts at its first on-curve point (the middle of its last and first
// points when it has none); runs of on-curve points become TT_PRIM_LINE
// records; the quadratic control points up to the next on-curve point become
// a TT_PRIM_QSPLINE record ending with that point, its controls' implied
// on-curve middles left out, as TrueType stores them; cubic control points
// (CFF faces) become TT_PRIM_CSPLINE records of (control, control, end). A
// contour that ends with a straight line back to its start leaves that line
// out (each polygon closes itself); one that ends with a curve ends the
// curve on the start point.
//
// The Bezier form (GGO_BEZIER) has the same lines, and each quadratic
// curve, implied middles made explicit, raised to a cubic of the same
// shape; consecutive cubics share one TT_PRIM_CSPLINE record.
#pragma once
#include <windows.h>

#include <vector>

#include "win32k/fontrealize.h"

namespace w32::gdi {

std::vector<BYTE> NativePolygons(const GlyphOutline& outline);
std::vector<BYTE> BezierPolygons(const GlyphOutline& outline);

}  // namespace w32::gdi
