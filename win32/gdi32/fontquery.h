// What GDI's font queries (GetTextMetricsW, the extents, widths, glyphs,
// font data, kerning pairs) start from: the DC behind a handle and its
// selected font realised at the DC's scale, and the font's metrics as
// TEXTMETRICW gives them in the DC's logical units.
#pragma once
#include <windows.h>

#include <memory>

#include "gdi32/dc.h"
#include "gdi32/dcfont.h"
#include "win32k/fontchoice.h"

namespace w32::gdi {

struct FontQuery {
    std::shared_ptr<DeviceContext> dc;
    DcFont font;
};

// False with the last error set: ERROR_INVALID_HANDLE for a handle that is
// no DC; then ERROR_INVALID_PARAMETER when the caller found its other
// arguments invalid (`argumentsValid` false), as GDI checks the handle
// first; else what realising the DC's font set (gdi32/dcfont.h).
bool QueryDcFont(HDC hdc, bool argumentsValid, FontQuery& out);
// The face chosen for the DC's font, not realised: the same errors.
bool QueryDcFace(HDC hdc, bool argumentsValid, ChosenFace& out);

// The device's resolution, dots per inch (LOGPIXELSX, LOGPIXELSY): the
// digitised aspect of the fonts realised for it.
void DeviceResolution(HDC hdc, LONG& x, LONG& y);

// A realised font's metrics in logical units (the font's scale divided
// out), heights along y and widths along x. tmHeight is always tmAscent +
// tmDescent. tmItalic, tmUnderlined and tmStruckOut are 255 when set, as
// GDI reports them; the underline and strike-out come from the logical
// font.
TEXTMETRICW LogicalTextMetrics(const DcFont& font, LONG aspectX, LONG aspectY);

// A device length along the baseline in logical units; a 64-bit sum of
// device pixels is first checked against LONG's range (false beyond it).
bool DeviceSumToLogicalX(const DcFont& font, long long device, LONG& out);

}  // namespace w32::gdi
