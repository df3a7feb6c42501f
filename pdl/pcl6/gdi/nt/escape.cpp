// Escapes: the standard queries and the private escapes of the user
// interface DLL.
//
// None is answered yet: both callbacks return 0 (not supported) with
// ERROR_NOT_SUPPORTED and write nothing.
#include <windows.h>
#include <winddi.h>

#include "pcl6/gdi/nt/ddi.h"

ULONG APIENTRY DrvEscape(SURFOBJ*, ULONG, ULONG, PVOID, ULONG, PVOID) {
    SetLastError(ERROR_NOT_SUPPORTED);
    return 0;
}

ULONG APIENTRY DrvDrawEscape(SURFOBJ*, ULONG, CLIPOBJ*, RECTL*, ULONG, PVOID) {
    SetLastError(ERROR_NOT_SUPPORTED);
    return 0;
}
