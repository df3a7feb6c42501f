// Colour adjustment and palettes.
#include <windows.h>

#include <cstring>

#include "pcl6/gdi/gx.h"
#include "pcl6/gdi/ips.h"
#include "pcl6/gdi/jobsettings.h"
#include "pcl6/gdi/nt/ntcolor.h"
#include "pcl6/gdi/outbuf.h"
#include "pcl6/gdi/pclxl.h"
#include "pcl6/gdi/pdev.h"

namespace {

constexpr int kLevelLimit = 100;
// PaletteDepth: 8 bits an entry.
constexpr int kPaletteDepth8 = 2;

bool Paused(const PDEV* pdev) { return (pdev->Job.JobFlags & (JOBF_UI_DRAWING | JOBF_RECORDING_PART)) != 0; }

bool TripleIsZero(const PDEV* pdev, int triple) {
    for (int k = 0; k < 3; ++k)
        if (Settings_ColorLevel(pdev, triple, k)) return false;
    return true;
}

bool TripleInRange(const PDEV* pdev, int triple) {
    for (int k = 0; k < 3; ++k) {
        const int level = Settings_ColorLevel(pdev, triple, k);
        if (level < -kLevelLimit || level > kLevelLimit) return false;
    }
    return true;
}

// The level triple that adjusts the current object; -1 for none.
int TripleFor(const PDEV* pdev) {
    if (Settings_ColorAllObjectsMode(pdev) == 1) {
        const int all = SETTINGS_ALL_OBJECTS_TRIPLE;
        return TripleIsZero(pdev, all) || !TripleInRange(pdev, all) ? -1 : all;
    }
    // A level out of range anywhere switches the adjustment off for every kind.
    bool allZero = true;
    for (int t = 0; t < SETTINGS_ALL_OBJECTS_TRIPLE; ++t) {
        if (!TripleInRange(pdev, t)) return -1;
        allZero = allZero && TripleIsZero(pdev, t);
    }
    if (allZero) return -1;
    const int kind = pdev->Job.Gstate.ObjectKind;
    if (kind > GX_OBJECT_IMAGE || TripleIsZero(pdev, kind)) return -1;
    return kind;
}

// The palette entries as a ubyte array with a uint16 count.
void WritePaletteArray(PDEV* pdev, const BYTE* bytes, DWORD size) {
    const BYTE header[4] = {PXL_TAG_UBYTE_ARRAY, PXL_TAG_UINT16, BYTE(size), BYTE(size >> 8)};
    Spool_Write(pdev, header, sizeof(header));
    Spool_Write(pdev, bytes, size);
}

}  // namespace

void Color_AdjustRgb(PDEV* pdev, BYTE* red, BYTE* green, BYTE* blue) {
    if (!pdev || !red || !green || !blue || Paused(pdev)) return;
    const int triple = TripleFor(pdev);
    if (triple < 0) return;
    const PFN_ColorAdjustmentN adjust = Ips_Binding().ColorAdjustmentN;
    if (!adjust) return;
    BYTE rgb[3] = {*red, *green, *blue};
    if (!adjust(rgb, rgb, 1, Settings_ColorLevel(pdev, triple, 0), Settings_ColorLevel(pdev, triple, 1),
                Settings_ColorLevel(pdev, triple, 2)))
        return;
    *red = rgb[0];
    *green = rgb[1];
    *blue = rgb[2];
}

void Color_AdjustGray(PDEV* pdev, BYTE* grey) {
    if (!pdev || !grey || Paused(pdev)) return;
    const int l1 = Settings_GreyLevel(pdev, 0), l2 = Settings_GreyLevel(pdev, 1), l3 = Settings_GreyLevel(pdev, 2);
    if (!Settings_GreyForced(pdev)) {
        const LONG mode = Settings_GreyMode(pdev);
        if (mode == 0 || (mode == 1 && !l1 && !l2 && !l3)) return;
    }
    const PFN_GrayAdjustmentTRC adjust = Ips_Binding().GrayAdjustmentTRC;
    if (!adjust) return;
    BYTE value = *grey;
    if (adjust(&value, 1, 0, l1, l2, l3)) *grey = value;
}

BOOL Color_SetPalette(PDEV* pdev, const BYTE* palette, int kind) {
    if (!pdev || !palette) return FALSE;
    int entries, space;
    switch (kind) {
        case COLOR_PALETTE_2: entries = 2, space = GX_SPACE_PALETTE_2; break;
        case COLOR_PALETTE_16: entries = 16, space = GX_SPACE_PALETTE_16; break;
        case COLOR_PALETTE_256: entries = 256, space = GX_SPACE_PALETTE_256; break;
        default: return FALSE;
    }
    const bool color = Settings_IsColorJob(pdev);
    const DWORD size = DWORD(entries) * (color ? 3 : 1);
    PaletteCache& cache = pdev->Job.Gstate.Palettes;

    bool changed = true;
    if (kind != COLOR_PALETTE_256) {
        BYTE* last = kind == COLOR_PALETTE_2 ? cache.TwoEntries : cache.SixteenEntries;
        changed = std::memcmp(last, palette, size) != 0;
        std::memcpy(last, palette, size);
    }
    // In a monochrome job the user interface's watermark images print with
    // a fixed black and white palette.
    const bool blackWhite = !color && kind == COLOR_PALETTE_2 && (pdev->Job.JobFlags & JOBF_UI_DRAWING) &&
                            Job_Settings(pdev).priv.Watermark.WatermarkOn;
    if (blackWhite != (cache.BlackWhiteInForce != 0)) changed = true;
    if (pdev->Job.Gstate.ColorSpace == space && !changed) return TRUE;
    cache.BlackWhiteInForce = blackWhite;

    static const BYTE kBlackWhite[6] = {0, 0, 0, 255, 255, 255};
    Pxl_WriteAttr(pdev, color || blackWhite ? GX_SPACE_RGB : GX_SPACE_GREY, PXL_ATTR_COLOR_SPACE, PXL_TYPE_UBYTE);
    Pxl_WriteAttr(pdev, kPaletteDepth8, PXL_ATTR_PALETTE_DEPTH, PXL_TYPE_UBYTE);
    if (blackWhite)
        WritePaletteArray(pdev, kBlackWhite, sizeof(kBlackWhite));
    else
        WritePaletteArray(pdev, palette, size);
    // The PaletteData id and SetColorSpace finish the palette.
    Gx_SetColorSpace(pdev, space);
    return !(pdev->Job.JobFlags & JOBF_OUTPUT_ERROR);
}
