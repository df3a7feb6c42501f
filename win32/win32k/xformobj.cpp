// XFORMOBJ: the transform of the points a driver is given. The engine hands
// paths to drivers already in device space, so the transform of a drawing
// call is the identity: XFORMOBJ_iGetXform answers GX_IDENTITY, and
// XFORMOBJ_bApplyXform only changes units between whole pixels (POINTL)
// and 28.4 fixed point (POINTFIX). A font's transform (FONTOBJ_pxoGetXform)
// maps its notional space, the em square of the font's own units with y up,
// onto the device; it is classified as GX_SCALE when it only stretches
// along the axes and GX_GENERAL when it turns or shears, and applied with
// the points rounded to the nearest whole unit.
#include <algorithm>
#include <cmath>
#include <limits>

#include "win32k/ddiobj.h"

namespace w32 {

const EngineXform* KnownXform(const XFORMOBJ* xform) {
    return IsDrawingObject(xform) ? static_cast<const EngineXform*>(xform) : nullptr;
}

namespace {

constexpr XFORML kIdentity{1.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f};

XFORML MatrixOf(const XFORMOBJ* xform) {
    const EngineXform* known = KnownXform(xform);
    return known ? known->matrix : kIdentity;
}

bool IsIdentity(const XFORML& m) {
    return m.eM11 == 1.0f && m.eM12 == 0.0f && m.eM21 == 0.0f && m.eM22 == 1.0f && m.eDx == 0.0f && m.eDy == 0.0f;
}

LONG Saturated(double v) {
    if (!(v == v)) return 0;
    const double low = std::numeric_limits<LONG>::min(), high = std::numeric_limits<LONG>::max();
    return LONG(std::clamp(std::floor(v + 0.5), low, high));
}

// `in` through the matrix (or its inverse), each coordinate multiplied by
// `scaleIn` before and `scaleOut` after. False for a singular matrix.
bool Apply(const XFORML& m, bool inverse, double scaleIn, double scaleOut, ULONG count, const LONG* in, LONG* out) {
    double a = m.eM11, b = m.eM12, c = m.eM21, d = m.eM22, dx = m.eDx, dy = m.eDy;
    if (inverse) {
        const double det = a * d - b * c;
        if (det == 0 || !std::isfinite(det)) return false;
        const double ia = d / det, ib = -b / det, ic = -c / det, id = a / det;
        const double idx = -(dx * ia + dy * ic), idy = -(dx * ib + dy * id);
        a = ia, b = ib, c = ic, d = id, dx = idx, dy = idy;
    }
    for (ULONG i = 0; i < count; ++i) {
        const double x = in[2 * i] * scaleIn, y = in[2 * i + 1] * scaleIn;
        out[2 * i] = Saturated((a * x + c * y + dx) * scaleOut);
        out[2 * i + 1] = Saturated((b * x + d * y + dy) * scaleOut);
    }
    return true;
}

}  // namespace

}  // namespace w32

ULONG APIENTRY XFORMOBJ_iGetXform(XFORMOBJ* pxo, XFORML* pxform) {
    if (!pxo) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return DDI_ERROR;
    }
    const XFORML m = w32::MatrixOf(pxo);
    if (pxform) *pxform = m;
    if (w32::IsIdentity(m)) return GX_IDENTITY;
    if (m.eM12 != 0.0f || m.eM21 != 0.0f) return GX_GENERAL;
    if (m.eM11 != 1.0f || m.eM22 != 1.0f) return GX_SCALE;
    return GX_OFFSET;
}

BOOL APIENTRY XFORMOBJ_bApplyXform(XFORMOBJ* pxo, ULONG iMode, ULONG cPoints, PVOID pvIn, PVOID pvOut) {
    if (!pxo || !pvIn || !pvOut || iMode > XF_INV_FXTOL) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    // POINTL and POINTFIX are both two LONGs; in and out may be the same array.
    const auto* in = static_cast<const LONG*>(pvIn);
    auto* out = static_cast<LONG*>(pvOut);
    const XFORML m = w32::MatrixOf(pxo);
    if (!w32::IsIdentity(m)) {
        const bool inverse = iMode == XF_INV_LTOL || iMode == XF_INV_FXTOL;
        const double scaleIn = iMode == XF_INV_FXTOL ? 1.0 / 16 : 1.0, scaleOut = iMode == XF_LTOFX ? 16.0 : 1.0;
        if (w32::Apply(m, inverse, scaleIn, scaleOut, cPoints, in, out)) return TRUE;
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
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
