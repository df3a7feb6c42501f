// Blits: bitmaps, stretched and transparent blits and gradients on the
// device surface.
//
// Not printed yet: each callback refuses with ERROR_NOT_SUPPORTED and
// writes nothing.
#include <windows.h>
#include <winddi.h>

#include "pcl6/gdi/nt/ddi.h"

BOOL APIENTRY DrvBitBlt(SURFOBJ*, SURFOBJ*, SURFOBJ*, CLIPOBJ*, XLATEOBJ*, RECTL*, POINTL*, POINTL*, BRUSHOBJ*,
                        POINTL*, ROP4) {
    SetLastError(ERROR_NOT_SUPPORTED);
    return FALSE;
}

BOOL APIENTRY DrvStretchBlt(SURFOBJ*, SURFOBJ*, SURFOBJ*, CLIPOBJ*, XLATEOBJ*, COLORADJUSTMENT*, POINTL*, RECTL*,
                            RECTL*, POINTL*, ULONG) {
    SetLastError(ERROR_NOT_SUPPORTED);
    return FALSE;
}

BOOL APIENTRY DrvCopyBits(SURFOBJ*, SURFOBJ*, CLIPOBJ*, XLATEOBJ*, RECTL*, POINTL*) {
    SetLastError(ERROR_NOT_SUPPORTED);
    return FALSE;
}

BOOL APIENTRY DrvGradientFill(SURFOBJ*, CLIPOBJ*, XLATEOBJ*, TRIVERTEX*, ULONG, PVOID, ULONG, RECTL*, POINTL*, ULONG) {
    SetLastError(ERROR_NOT_SUPPORTED);
    return FALSE;
}

BOOL APIENTRY DrvTransparentBlt(SURFOBJ*, SURFOBJ*, CLIPOBJ*, XLATEOBJ*, RECTL*, RECTL*, ULONG, ULONG) {
    SetLastError(ERROR_NOT_SUPPORTED);
    return FALSE;
}
