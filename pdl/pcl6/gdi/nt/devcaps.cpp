// The device as the engine sees it. The surface has the resolution of the
// settings (600 or 1200 dpi); the settings' scale is applied by telling the
// engine a lower or higher logical resolution than the surface has.
#include <windows.h>
#include <winddi.h>

#include "pcl6/gdi/dbgassert.h"
#include "pcl6/gdi/nt/devcaps.h"
#include "pcl6/gdi/pdev.h"
#include "pcl6/intrface/rendutil.h"

namespace {

// The colours of the device, in units of 1/10000.
constexpr COLORINFO kColorInfo = {
    {6380, 3350, 0},  // red
    {2345, 6075, 0},  // green
    {1410, 932, 0},   // blue
    {2000, 2450, 0},  // cyan
    {5210, 2100, 0},  // magenta
    {4750, 5100, 0},  // yellow
    {3127, 3290, 0},  // alignment white
    12500,            // red gamma
    12500,            // green gamma
    12500,            // blue gamma
    585,              // magenta in cyan dye
    120,              // yellow in cyan dye
    0,                // cyan in magenta dye
    0,                // yellow in magenta dye
    0,                // cyan in yellow dye
    10000,            // magenta in yellow dye
};

// The default device fonts by the settings' choice.
const WCHAR* const kDefaultFaces[] = {u"Arial", u"Courier"};

constexpr FLONG kTextCaps = TC_OP_CHARACTER | TC_OP_STROKE | TC_CP_STROKE | TC_CR_ANY | TC_SF_X_YINDEP |
                            TC_SA_DOUBLE | TC_SA_INTEGER | TC_SA_CONTIN | TC_UA_ABLE | TC_SO_ABLE;
constexpr FLONG kGraphicsCaps =
    GCAPS_BEZIERS | GCAPS_GEOMETRICWIDE | GCAPS_ALTERNATEFILL | GCAPS_WINDINGFILL | GCAPS_HALFTONE | GCAPS_OPAQUERECT;

}  // namespace

LONG Enable_Resolution(const PDEV* pdev) { return 600 * (LONG(pdev->Devmode.priv.ColorAdjust.ResolutionStep) + 1); }

SIZEL Enable_PrintableSize(const PDEV* pdev) {
    const PageGeometry& g = pdev->Geometry;
    return SIZEL{LONG(g.Width) - g.Right - g.Left, LONG(g.Height) - g.Bottom - g.Top};
}

ULONG Enable_HalftonePatternSize(ULONG xResolution, ULONG yResolution, BOOL eightBitFormat) {
    const ULONG resolution = xResolution < yResolution ? xResolution : yResolution;
    ULONG size;
    if (resolution >= 2400)
        size = HT_PATSIZE_16x16_M;
    else if (resolution >= 1800)
        size = HT_PATSIZE_14x14_M;
    else if (resolution >= 1200)
        size = HT_PATSIZE_12x12_M;
    else if (resolution >= 900)
        size = HT_PATSIZE_10x10_M;
    else if (resolution >= 400)
        size = HT_PATSIZE_8x8_M;
    else if (resolution < 180)
        size = HT_PATSIZE_4x4_M;
    else
        size = HT_PATSIZE_6x6_M;
    return eightBitFormat ? size - 2 : size;
}

void Enable_BuildGdiInfo(const PDEV* pdev, GDIINFO* gdi) {
    const DEVMODEW& dm = pdev->Devmode.pub;
    const LONG res = Enable_Resolution(pdev);
    const LONG dpi = res * dm.dmScale / 100;
    const SIZEL printable = Enable_PrintableSize(pdev);

    *gdi = GDIINFO{};
    gdi->ulVersion = 0x400;
    gdi->ulTechnology = DT_RASPRINTER;
    if (dpi > 0) {
        gdi->ulHorzSize = ULONG(printable.cx * 25.4 / dpi);
        gdi->ulVertSize = ULONG(printable.cy * 25.4 / dpi);
    }
    gdi->ulHorzRes = ULONG(printable.cx);
    gdi->ulVertRes = ULONG(printable.cy);
    gdi->cBitsPixel = 24;
    gdi->cPlanes = 1;
    gdi->ulNumColors = dm.dmColor == DMCOLOR_MONOCHROME ? 16 : dm.dmColor == DMCOLOR_COLOR ? 20 : 0;
    gdi->flRaster = 0;
    gdi->ulLogPixelsX = ULONG(dpi);
    gdi->ulLogPixelsY = ULONG(dpi);
    gdi->flTextCaps = kTextCaps;
    gdi->ulAspectX = ULONG(res);
    gdi->ulAspectY = ULONG(res);
    gdi->ulAspectXY = ULONG(res) * 1414u / 1000u;
    gdi->xStyleStep = 1;
    gdi->yStyleStep = 1;
    gdi->denStyleStep = res / 50;
    gdi->ptlPhysOffset = POINTL{pdev->Geometry.Left, pdev->Geometry.Top};
    gdi->szlPhysSize = SIZEL{pdev->Geometry.Width, pdev->Geometry.Height};
    gdi->ciDevice = kColorInfo;
    gdi->ulPrimaryOrder = PRIMARY_ORDER_ABC;
    gdi->ulHTPatternSize = Enable_HalftonePatternSize(ULONG(res), ULONG(res), FALSE);
    gdi->ulHTOutputFormat =
        (dm.dmColor == DMCOLOR_MONOCHROME || dm.dmColor == DMCOLOR_COLOR) ? HT_FORMAT_24BPP : HT_FORMAT_1BPP;
    gdi->flHTFlags = HT_FLAG_HAS_BLACK_DYE;
    gdi->flShadeBlend = SB_GRAD_RECT | SB_GRAD_TRI;
}

BOOL Enable_BuildDevInfo(PDEV* pdev, DEVINFO* devInfo) {
    const RendPrivate& priv = pdev->Devmode.priv;
    const LONG res = Enable_Resolution(pdev);

    *devInfo = DEVINFO{};
    // Without a watermark the engine may not journal the job.
    devInfo->flGraphicsCaps = kGraphicsCaps | (priv.Watermark.WatermarkOn == 1 ? 0 : GCAPS_DONTJOURNAL);

    if (priv.DefaultFontFace <= 1) {
        LOGFONTW font{};
        // The size is in tenths of a point; the height uses the device
        // resolution, not the scaled one.
        font.lfHeight = -LONG((priv.DefaultFontSize / 10.0 * res + 36) / 72);
        font.lfWeight = FW_NORMAL;
        font.lfCharSet = ANSI_CHARSET;
        font.lfPitchAndFamily = FF_MODERN | FIXED_PITCH;
        lstrcpynW(font.lfFaceName, kDefaultFaces[priv.DefaultFontFace], LF_FACESIZE);
        devInfo->lfDefaultFont = font;
        devInfo->lfAnsiVarFont = font;
        devInfo->lfAnsiFixFont = font;
    }
    devInfo->cFonts = pdev->DeviceFonts.Resident + pdev->DeviceFonts.Downloadable;
    devInfo->iDitherFormat = BMF_24BPP;

    if (pdev->Palette) {
        Dbg_Print("Check.\n");
        EngDeletePalette(pdev->Palette);
        pdev->Palette = nullptr;
    }
    pdev->Palette = EngCreatePalette(PAL_RGB, 0, nullptr, 0, 0, 0);
    if (!pdev->Palette) {
        Dbg_Assert(pdev, "enable", __LINE__);
        return FALSE;
    }
    devInfo->hpalDefault = pdev->Palette;
    devInfo->flGraphicsCaps2 = 0;
    return TRUE;
}
