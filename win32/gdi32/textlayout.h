// Where ExtTextOutW puts each glyph: the string as glyphs of the DC's
// realised font, each glyph's reference point in device pixels, and the
// frame of the whole run (its start, its advance, its direction on the
// device) from which the caller makes the background box, the underline
// and strike-out bars and the new current position.
//
// How GDI's rules are applied here:
// - The reference point is (x, y) in logical units, or the current
//   position with TA_UPDATECP. TA_LEFT starts the run there, TA_RIGHT ends
//   it there, TA_CENTER centres it; TA_TOP puts the top of the cell
//   (ascent above the baseline) there, TA_BOTTOM its bottom (descent below),
//   TA_BASELINE the baseline.
// - Without lpDx each glyph advances by the font's advance in device
//   pixels plus the character extra (logical, scaled to device pixels
//   once), summed as whole pixels. With lpDx each advances by lpDx[i]
//   logical units (ETO_PDY: the pairs dx, dy, dy moving up the font's
//   vertical); the sums are kept in logical units and each glyph's offset
//   is scaled from its sum, so rounding never drifts along a long string.
// - The run's offsets are "upright" device pixels: u along the baseline, v
//   down across it. The device vectors of one such pixel turn them to the
//   device: along the baseline the font's BaselineVector (escapement; the
//   world transform in GM_ADVANCED), down across it the same turn of the
//   font's vertical. Each glyph's point is rounded to the nearest pixel.
// - A glyph index the face does not have (ETO_GLYPH_INDEX) is drawn as
//   glyph 0, the face's missing-glyph shape.
// - Each WCHAR is one character: surrogate pairs, combining marks and
//   right-to-left reading (TA_RTLREADING, ETO_RTLREADING) are not shaped.
#pragma once
#include <windows.h>

#include <vector>

#include "gdi32/dc.h"
#include "gdi32/dcfont.h"

namespace w32::gdi {

// The most characters one ExtTextOutW takes (ERROR_INVALID_PARAMETER
// beyond). Windows documents 8192 as the most ExtTextOutW takes; the layer
// draws longer strings rather than fail them, up to what the glyphs and
// their places (a few dozen bytes a character) take in memory comfortably.
inline constexpr UINT kMostTextCharacters = 1u << 24;

struct TextLayoutInput {
    const WCHAR* string = nullptr;  // characters, or glyph indices with ETO_GLYPH_INDEX
    UINT count = 0;
    UINT options = 0;         // ETO_GLYPH_INDEX and ETO_PDY matter here
    const INT* dx = nullptr;  // lpDx: count values, or count pairs with ETO_PDY
    POINT reference{};        // logical reference point (the current position with TA_UPDATECP)
};

struct TextLayout {
    std::vector<HGLYPH> glyphs;
    std::vector<POINTL> positions;  // each glyph's reference point, device pixels
    bool defaultPlacement = false;  // the font's advances, no lpDx and no extra

    // The frame: the run's start on the baseline after alignment, in
    // device pixels (unrounded); one upright pixel along and down as device
    // vectors; the run's end as an upright offset from its start.
    double originX = 0, originY = 0;
    double alongX = 1, alongY = 0, downX = 0, downY = 1;
    double endU = 0, endV = 0;
    // The reference point on the device (unrounded), where the current
    // position stands before the call.
    double referenceX = 0, referenceY = 0;

    // A point of the frame (u along the baseline from the run's start, v down) on the device.
    double DeviceX(double u, double v) const { return originX + u * alongX + v * downX; }
    double DeviceY(double u, double v) const { return originY + u * alongY + v * downY; }
    // The baseline runs along a device axis: boxes of the frame are device rectangles.
    bool AxisAligned() const { return (alongY == 0 && downX == 0) || (alongX == 0 && downY == 0); }
};

// Places the glyphs of the input with the DC's alignment and character
// extra. False with the last error set: ERROR_INVALID_PARAMETER when a
// point lands outside what device coordinates hold.
bool LayOutText(const DeviceContext& dc, const DcFont& font, const TextLayoutInput& input, TextLayout& out);

}  // namespace w32::gdi
