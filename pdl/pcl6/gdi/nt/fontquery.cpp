// The font object's face, size, angle and simulation, as text output sends
// them to the printer. The engine's transform takes the font's notional
// space (an em of fwdUnitsPerEm units) to device pixels.
#include <windows.h>
#include <winddi.h>

#include "pcl6/gdi/nt/fontquery.h"

#include "pcl6/gdi/dbgassert.h"
#include "pcl6/gdi/fxmath.h"
#include "pcl6/gdi/gx.h"
#include "pcl6/gdi/pdev.h"
#include "pcl6/gdi/text.h"

namespace {

// Device fonts are described on an em of this many units.
constexpr LONG kDeviceFontEm = 2048;

// The em of the font in notional units; the face's pitch and family go to
// the PDEV for the text output. 0 without metrics.
LONG EmHeight(PDEV* pdev, FONTOBJ* font, int missingLine, int deviceLine) {
    if (font->flFontType & FO_TYPE_DEVICE) {
        Dbg_Assert(pdev, "pclxlnt", deviceLine);
        return kDeviceFontEm;
    }
    const IFIMETRICS* ifi = FONTOBJ_pifi(font);
    if (!ifi) {
        Dbg_Assert(pdev, "pclxlnt", missingLine);
        return 0;
    }
    if (pdev) pdev->Job.Text.PitchAndFamily = ifi->jWinPitchAndFamily;
    return ifi->fwdUnitsPerEm;
}

}  // namespace

void Font_GetName(LPSTR buffer, FONTOBJ* font) {
    if (!buffer) return;
    buffer[0] = 0;
    const IFIMETRICS* ifi = font ? FONTOBJ_pifi(font) : nullptr;
    if (!ifi || !ifi->dpwszFaceName) return;
    LPCWSTR face = reinterpret_cast<LPCWSTR>(reinterpret_cast<const BYTE*>(ifi) + ifi->dpwszFaceName);
    ULONG bytes = 0;
    EngUnicodeToMultiByteN(buffer, 31, &bytes, face, ULONG(lstrlenW(face) * sizeof(WCHAR)));
    buffer[bytes < 31 ? bytes : 31] = 0;
}

void Font_GetCharSize(PDEV* pdev, FONTOBJ* font, LONG* width, LONG* height) {
    XFORMOBJ* xform = font ? FONTOBJ_pxoGetXform(font) : nullptr;
    if (!xform) {
        Dbg_Assert(pdev, "pclxlnt", 130);
        return;
    }
    const LONG em = EmHeight(pdev, font, 162, 144);
    if (!em) return;
    POINTL vector = {0, em};
    POINTL device{};
    XFORML matrix{};
    if (!XFORMOBJ_bApplyXform(xform, XF_LTOL, 1, &vector, &device)) return;
    XFORMOBJ_iGetXform(xform, &matrix);
    const LONG h = LONG(Util_IntHypot(device.x, device.y));
    const double m11 = matrix.eM11 < 0 ? -matrix.eM11 : matrix.eM11;
    const double m22 = matrix.eM22 < 0 ? -matrix.eM22 : matrix.eM22;
    LONG w = m22 == 0 ? 0 : LONG(m11 * h / m22);
    if (w == 0) w = h;
    if (width) *width = w;
    if (height) *height = h;
}

int Font_CharAngleOf(int direction) {
    if (direction >= 0 && direction <= 360) return 360 - direction;
    return 359 - ((direction - 361) % 360);
}

int Font_GetCharAngle(PDEV* pdev, FONTOBJ* font) {
    XFORMOBJ* xform = font ? FONTOBJ_pxoGetXform(font) : nullptr;
    if (!xform) {
        Dbg_Assert(pdev, "pclxlnt", 209);
        return -1;
    }
    const LONG em = EmHeight(pdev, font, 239, 144);
    if (!em) return -1;
    POINTL vector = {em, 0};
    POINTL device{};
    if (!XFORMOBJ_bApplyXform(xform, XF_LTOL, 1, &vector, &device)) return -1;
    const int tenths = Fx_Atan(device.x, device.y);
    return Font_CharAngleOf((tenths + 5) / 10);
}

BOOL Font_SetSimulation(PDEV* pdev, FONTOBJ* font, BOOL noSimulation) {
    double bold = 0, shear = 0;
    if (!noSimulation && font && (font->flFontType & (FO_SIM_BOLD | FO_SIM_ITALIC))) {
        const IFIMETRICS* ifi = FONTOBJ_pifi(font);
        const USHORT selection = ifi ? ifi->fsSelection : 0;
        if ((font->flFontType & FO_SIM_ITALIC) && !(selection & FM_SEL_ITALIC)) shear = FONT_SIM_ITALIC_SHEAR;
        if ((font->flFontType & FO_SIM_BOLD) && !(selection & FM_SEL_BOLD)) bold = FONT_SIM_BOLD_VALUE;
    }
    if (!Gx_SetCharBoldValue(pdev, bold)) return FALSE;
    return Gx_SetCharShear(pdev, shear, 0.0);
}
