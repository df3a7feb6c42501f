// Paths: lines, curves and filled shapes on the device surface.
//
// Not printed yet: each callback refuses with ERROR_NOT_SUPPORTED and
// writes nothing.
#include <windows.h>
#include <winddi.h>

#include "pcl6/gdi/nt/ddi.h"

BOOL APIENTRY DrvStrokePath(SURFOBJ*, PATHOBJ*, CLIPOBJ*, XFORMOBJ*, BRUSHOBJ*, POINTL*, LINEATTRS*, MIX) {
    SetLastError(ERROR_NOT_SUPPORTED);
    return FALSE;
}

BOOL APIENTRY DrvFillPath(SURFOBJ*, PATHOBJ*, CLIPOBJ*, BRUSHOBJ*, POINTL*, MIX, FLONG) {
    SetLastError(ERROR_NOT_SUPPORTED);
    return FALSE;
}

BOOL APIENTRY DrvStrokeAndFillPath(SURFOBJ*, PATHOBJ*, CLIPOBJ*, XFORMOBJ*, BRUSHOBJ*, LINEATTRS*, BRUSHOBJ*, POINTL*,
                                   MIX, FLONG) {
    SetLastError(ERROR_NOT_SUPPORTED);
    return FALSE;
}
