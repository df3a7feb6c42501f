// Text: strings on the device surface and the engine's font queries.
//
// Strings are not printed yet: DrvTextOut refuses with ERROR_NOT_SUPPORTED
// and writes nothing. The engine is told of no device fonts, so it has no
// font to query; the queries refuse the same way.
#include <windows.h>
#include <winddi.h>

#include "pcl6/gdi/nt/ddi.h"

BOOL APIENTRY DrvTextOut(SURFOBJ*, STROBJ*, FONTOBJ*, CLIPOBJ*, RECTL*, RECTL*, BRUSHOBJ*, BRUSHOBJ*, POINTL*, MIX) {
    SetLastError(ERROR_NOT_SUPPORTED);
    return FALSE;
}

PIFIMETRICS APIENTRY DrvQueryFont(DHPDEV, ULONG_PTR, ULONG, ULONG_PTR* pid) {
    if (pid) *pid = 0;
    SetLastError(ERROR_NOT_SUPPORTED);
    return nullptr;
}

// Glyphs are asked for by handle, for every font; no PDEV is needed.
ULONG APIENTRY DrvGetGlyphMode(DHPDEV, FONTOBJ*) { return 1; }

BOOL APIENTRY DrvQueryAdvanceWidths(DHPDEV, FONTOBJ*, ULONG, HGLYPH*, PVOID, ULONG) {
    SetLastError(ERROR_NOT_SUPPORTED);
    return FALSE;
}
