// Text as GDI hands it to the engine for one ExtTextOutW: the glyphs of one
// realised font at their places on the device, the rectangle to fill behind
// them, and the underline and strike-out bars. The DC's text colour,
// background colour and mode come with the DrawContext.
//
// On a printer DC that hooked text the driver's DrvTextOut gets it, with a
// FONTOBJ of the font (one per font and device, kept while the font is, so
// that what a driver keeps in pvConsumer lasts) and a STROBJ of the glyphs;
// before the first string in a font the engine asks DrvGetGlyphMode how the
// driver wants the glyphs. What the driver did not hook, or refused, the
// engine draws itself (EngTextOut), on a device-managed surface on a
// temporary bitmap between two DrvCopyBits; on a memory DC straight into
// the bitmap.
#pragma once
#include <windows.h>
#include <winddi.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "win32k/drawing.h"
#include "win32k/fontrealize.h"

namespace w32 {

struct TextRun {
    std::shared_ptr<const RealizedFont> font;
    std::vector<HGLYPH> glyphs;
    std::vector<POINTL> positions;  // each glyph's reference point, device pixels
    std::u16string characters;      // the string as the program gave it (pwszOrg); empty for glyph indices
    bool glyphIndices = false;      // the program gave glyph indices (ETO_GLYPH_INDEX)
    bool defaultPlacement = false;  // the glyphs sit at the font's own advances (no lpDx, no extra spacing)
    // Filled with the background colour before the glyphs are drawn: the
    // ETO_OPAQUE rectangle, or the text's box when the background mode is OPAQUE.
    std::optional<RECTL> opaque;
    std::vector<RECTL> extras;  // underline and strike-out bars, filled with the text colour
};

// Draws the run; false with the last error set when it could not.
bool DrawTextOut(const DrawContext& dc, const TextRun& run);

}  // namespace w32
