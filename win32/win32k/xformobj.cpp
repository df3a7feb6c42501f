// XFORMOBJ: the transform of the points a driver is given. The engine hands
// paths to drivers already in device space, so the transform it gives is
// the identity: XFORMOBJ_iGetXform answers GX_IDENTITY, and
// XFORMOBJ_bApplyXform only changes units between whole pixels (POINTL)
// and 28.4 fixed point (POINTFIX).
#include "win32k/ddiobj.h"

ULONG APIENTRY XFORMOBJ_iGetXform(XFORMOBJ* pxo, XFORML* pxform) {
    if (!pxo) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return DDI_ERROR;
    }
    if (pxform) *pxform = XFORML{1.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f};
    return GX_IDENTITY;
}

BOOL APIENTRY XFORMOBJ_bApplyXform(XFORMOBJ* pxo, ULONG iMode, ULONG cPoints, PVOID pvIn, PVOID pvOut) {
    if (!pxo || !pvIn || !pvOut || iMode > XF_INV_FXTOL) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    // POINTL and POINTFIX are both two LONGs; in and out may be the same array.
    const auto* in = static_cast<const LONG*>(pvIn);
    auto* out = static_cast<LONG*>(pvOut);
    for (ULONG i = 0; i < 2 * cPoints; ++i) {
        const LONG v = in[i];
        switch (iMode) {
            case XF_LTOFX: out[i] = LONG(ULONG(v) << 4); break;
            case XF_INV_FXTOL: out[i] = (v + 8) >> 4; break;  // to the nearest pixel
            default: out[i] = v; break;
        }
    }
    return TRUE;
}
