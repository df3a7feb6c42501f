// The graphics mode, the world transform and the layout.
//
// The world transform applies in GM_ADVANCED only, and only there can it
// be set; a DC goes back to GM_COMPATIBLE only with the identity as its
// world transform. A transform that cannot be inverted is refused (its
// determinant is 0), as DPtoLP needs the inverse.
#include <windows.h>

#include "gdi32/dc.h"

namespace {

BOOL Fail(DWORD error) {
    SetLastError(error);
    return FALSE;
}

constexpr XFORM kIdentity{1, 0, 0, 1, 0, 0};

bool IsIdentity(const XFORM& x) {
    return x.eM11 == 1 && x.eM12 == 0 && x.eM21 == 0 && x.eM22 == 1 && x.eDx == 0 && x.eDy == 0;
}

bool Invertible(const XFORM& x) {
    const double det = double(x.eM11) * x.eM22 - double(x.eM12) * x.eM21;
    return det != 0 && det == det;
}

// `first` applied, then `second`.
XFORM Combine(const XFORM& first, const XFORM& second) {
    XFORM r;
    r.eM11 = first.eM11 * second.eM11 + first.eM12 * second.eM21;
    r.eM12 = first.eM11 * second.eM12 + first.eM12 * second.eM22;
    r.eM21 = first.eM21 * second.eM11 + first.eM22 * second.eM21;
    r.eM22 = first.eM21 * second.eM12 + first.eM22 * second.eM22;
    r.eDx = first.eDx * second.eM11 + first.eDy * second.eM21 + second.eDx;
    r.eDy = first.eDx * second.eM12 + first.eDy * second.eM22 + second.eDy;
    return r;
}

}  // namespace

int WINAPI SetGraphicsMode(HDC hdc, int iMode) {
    auto dc = w32::gdi::LookupDCOrSetError(hdc);
    if (!dc) return 0;
    if ((iMode != GM_COMPATIBLE && iMode != GM_ADVANCED) || (iMode == GM_COMPATIBLE && !IsIdentity(dc->state.world))) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const int previous = dc->state.graphicsMode;
    dc->state.graphicsMode = iMode;
    return previous;
}

int WINAPI GetGraphicsMode(HDC hdc) {
    auto dc = w32::gdi::LookupDCOrSetError(hdc);
    return dc ? dc->state.graphicsMode : 0;
}

BOOL WINAPI SetWorldTransform(HDC hdc, const XFORM* lpxf) {
    auto dc = w32::gdi::LookupDCOrSetError(hdc);
    if (!dc) return FALSE;
    if (!lpxf || dc->state.graphicsMode != GM_ADVANCED || !Invertible(*lpxf)) return Fail(ERROR_INVALID_PARAMETER);
    dc->state.world = *lpxf;
    return TRUE;
}

BOOL WINAPI ModifyWorldTransform(HDC hdc, const XFORM* lpxf, DWORD mode) {
    auto dc = w32::gdi::LookupDCOrSetError(hdc);
    if (!dc) return FALSE;
    if (dc->state.graphicsMode != GM_ADVANCED) return Fail(ERROR_INVALID_PARAMETER);
    XFORM result;
    switch (mode) {
        case MWT_IDENTITY: result = kIdentity; break;
        case MWT_LEFTMULTIPLY:
            if (!lpxf) return Fail(ERROR_INVALID_PARAMETER);
            result = Combine(*lpxf, dc->state.world);
            break;
        case MWT_RIGHTMULTIPLY:
            if (!lpxf) return Fail(ERROR_INVALID_PARAMETER);
            result = Combine(dc->state.world, *lpxf);
            break;
        default: return Fail(ERROR_INVALID_PARAMETER);
    }
    if (!Invertible(result)) return Fail(ERROR_INVALID_PARAMETER);
    dc->state.world = result;
    return TRUE;
}

BOOL WINAPI GetWorldTransform(HDC hdc, LPXFORM lpxf) {
    return w32::gdi::GetStateField(hdc, &w32::gdi::DcState::world, lpxf);
}

// LAYOUT_RTL mirrors x about the device's width; LAYOUT_BITMAPORIENTATIONPRESERVED
// keeps blits from mirroring. Other bits are kept off.
DWORD WINAPI SetLayout(HDC hdc, DWORD l) {
    auto dc = w32::gdi::LookupDCOrSetError(hdc);
    if (!dc) return GDI_ERROR;
    const DWORD previous = dc->state.layout;
    dc->state.layout = l & (LAYOUT_RTL | LAYOUT_BITMAPORIENTATIONPRESERVED);
    return previous;
}

DWORD WINAPI GetLayout(HDC hdc) {
    auto dc = w32::gdi::LookupDCOrSetError(hdc);
    return dc ? dc->state.layout : GDI_ERROR;
}
