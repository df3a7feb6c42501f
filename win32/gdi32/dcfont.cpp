// Realising a DC's selected font (gdi32/dcfont.h).
#include "gdi32/dcfont.h"

#include <cmath>

#include "gdi32/fontobject.h"
#include "machine/paths.h"
#include "win32k/devicefont.h"
#include "win32k/fontmap.h"
#include "win32k/fonttable.h"

namespace w32::gdi {

namespace {

LONG Round(double value) { return LONG(std::lround(value)); }

// The mapper's choice for a font object, made again once the machine's
// fonts have changed.
bool ChooseFace(const GdiFont& font, ChosenFace& out) {
    std::lock_guard lock(font.choiceLock);
    const uint64_t generation = FontMachineGeneration();
    if (!font.choice || font.choiceGeneration != generation) {
        font.choice = MapFont(font.logFont);
        font.choiceGeneration = generation;
    }
    if (!font.choice->file) {
        font.choice.reset();
        SetLastError(ERROR_FILE_NOT_FOUND);
        return false;
    }
    out = *font.choice;
    return true;
}

// A printer's own font of the face asked comes before the installed fonts
// on its DC, unless the program asks for TrueType alone.
bool ChooseDeviceFace(const DeviceContext& dc, const LOGFONTW& logFont, ChosenFace& out) {
    if (!dc.device || logFont.lfOutPrecision == OUT_TT_ONLY_PRECIS) return false;
    size_t length = 0;
    while (length < LF_FACESIZE && logFont.lfFaceName[length]) ++length;
    if (!length) return false;
    const std::u16string_view name(logFont.lfFaceName, length);
    for (const auto& face : DeviceFonts(dc.device)) {
        if (!NamesEqual(name, face->familyName) && !NamesEqual(name, face->faceName)) continue;
        out = ChosenFace{};
        out.device = face;
        out.faceName = face->familyName;
        out.charset = face->Ifi().jWinCharSet;
        return true;
    }
    return false;
}

bool ChooseFace(const DeviceContext& dc, const GdiFont& font, ChosenFace& out) {
    return ChooseDeviceFace(dc, font.logFont, out) || ChooseFace(font, out);
}

}  // namespace

LONG DcFont::ToLogicalX(LONG device) const { return Round(device / scaleX); }
LONG DcFont::ToLogicalY(LONG device) const { return Round(device / scaleY); }
LONG DcFont::ToDeviceX(LONG logical) const { return Round(logical * scaleX); }

bool ChooseDcFace(const DeviceContext& dc, ChosenFace& out) {
    const auto font = LookupGdiObjectAs<GdiFont>(dc.state.font);
    if (!font) {
        SetLastError(ERROR_INVALID_HANDLE);
        return false;
    }
    return ChooseFace(dc, *font, out);
}

bool RealizeDcFont(const DeviceContext& dc, DcFont& out) {
    const auto font = LookupGdiObjectAs<GdiFont>(dc.state.font);
    if (!font) {
        SetLastError(ERROR_INVALID_HANDLE);
        return false;
    }
    ChosenFace face;
    if (!ChooseFace(dc, *font, face)) return false;

    const XFORM toDevice = LogicalToDeviceTransform(dc);
    const bool advanced = dc.state.graphicsMode == GM_ADVANCED;
    XFORM fontTransform{};
    if (advanced) {
        fontTransform = toDevice;
        // A page whose y axis points up (MM_LOENGLISH, a negative viewport
        // extent) would draw the glyphs upside down: take the flip out.
        const double pageY = double(dc.state.viewportExtent.cy) / dc.state.windowExtent.cy;
        if (dc.state.mapMode != MM_TEXT && pageY < 0) {
            fontTransform.eM21 = -fontTransform.eM21;
            fontTransform.eM22 = -fontTransform.eM22;
        }
    } else {
        fontTransform = XFORM{FLOAT(std::hypot(toDevice.eM11, toDevice.eM12)), 0, 0,
                              FLOAT(std::hypot(toDevice.eM21, toDevice.eM22)), 0, 0};
    }
    out.font = RealizeFont(face, FontRealizationRequest::FromLogFont(font->logFont, fontTransform, advanced));
    if (!out.font) return false;
    out.logFont = font->logFont;
    out.scaleX = std::hypot(toDevice.eM11, toDevice.eM12);
    out.scaleY = std::hypot(toDevice.eM21, toDevice.eM22);
    if (!(out.scaleX > 0) || !(out.scaleY > 0)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        out.font.reset();
        return false;
    }
    return true;
}

}  // namespace w32::gdi
