// Brushes: the engine hands every non-solid brush to the driver once.
//
// Not realised yet: the callback refuses with ERROR_NOT_SUPPORTED.
#include <windows.h>
#include <winddi.h>

#include "pcl6/gdi/nt/ddi.h"

BOOL APIENTRY DrvRealizeBrush(BRUSHOBJ*, SURFOBJ*, SURFOBJ*, SURFOBJ*, XLATEOBJ*, ULONG) {
    SetLastError(ERROR_NOT_SUPPORTED);
    return FALSE;
}
