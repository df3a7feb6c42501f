// The font a DC measures and draws text with: the selected logical font,
// mapped to an installed face (on a printer DC, to the printer's own font
// of that name first: win32k/devicefont.h) and realised at the DC's scale,
// with the conversion of its device-pixel measures back to logical units.
//
// In GM_COMPATIBLE the font follows only the page scale (the mapping mode's
// extents, never mirrored); in GM_ADVANCED it follows the world transform
// too, with a page whose y axis points up taken out so that text stays
// upright, as GDI keeps it.
#pragma once
#include <windows.h>

#include <memory>

#include "gdi32/dc.h"
#include "win32k/fontrealize.h"

namespace w32::gdi {

struct DcFont {
    std::shared_ptr<const RealizedFont> font;
    LOGFONTW logFont{};
    // Device pixels per logical unit along x and y (both positive).
    double scaleX = 1, scaleY = 1;

    // A device length as logical units, rounded.
    LONG ToLogicalX(LONG device) const;
    LONG ToLogicalY(LONG device) const;
    // A logical length as device pixels, rounded.
    LONG ToDeviceX(LONG logical) const;
};

// False with the last error set: ERROR_INVALID_HANDLE when the DC's font is
// gone, ERROR_FILE_NOT_FOUND when no font is installed, or the realisation's
// error.
bool RealizeDcFont(const DeviceContext& dc, DcFont& out);

// The face the mapper chose for the DC's selected font, without realising
// it (GetTextFaceW, GetFontData). The same errors but the realisation's.
bool ChooseDcFace(const DeviceContext& dc, ChosenFace& out);

}  // namespace w32::gdi
