// The DC's modes and colours: ROP2, background mode and colour, text
// colour, polygon fill mode, stretch mode, colour adjustment, brush origin,
// arc direction, miter limit, the current position and the colours of the
// DC brush and pen.
//
// Each setter answers the previous value; on a bad DC or value it answers
// 0 (CLR_INVALID for colours, FALSE for the ...Ex calls) with
// ERROR_INVALID_HANDLE or ERROR_INVALID_PARAMETER.
#include <windows.h>

#include <memory>

#include "gdi32/dc.h"

namespace {

using w32::gdi::DcState;

// The state of a DC, null with ERROR_INVALID_HANDLE for a bad handle. It
// shares the DC's life, so that a DeleteDC meanwhile cannot free it.
std::shared_ptr<DcState> StateOf(HDC hdc) {
    auto dc = w32::gdi::LookupDCOrSetError(hdc);
    if (!dc) return nullptr;
    return std::shared_ptr<DcState>(dc, &dc->state);
}

// Sets an int mode within [low, high]; answers the previous one or 0.
int SetMode(HDC hdc, int DcState::*mode, int value, int low, int high) {
    const auto state = StateOf(hdc);
    if (!state) return 0;
    if (value < low || value > high) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const int previous = (*state).*mode;
    (*state).*mode = value;
    return previous;
}

int GetMode(HDC hdc, int DcState::*mode) {
    const auto state = StateOf(hdc);
    return state ? (*state).*mode : 0;
}

COLORREF SetColor(HDC hdc, COLORREF DcState::*color, COLORREF value) {
    const auto state = StateOf(hdc);
    if (!state) return CLR_INVALID;
    const COLORREF previous = (*state).*color;
    (*state).*color = value;
    return previous;
}

COLORREF GetColor(HDC hdc, COLORREF DcState::*color) {
    const auto state = StateOf(hdc);
    return state ? (*state).*color : CLR_INVALID;
}

bool Within(int value, int low, int high) { return value >= low && value <= high; }

}  // namespace

int WINAPI SetROP2(HDC hdc, int rop2) { return SetMode(hdc, &DcState::rop2, rop2, R2_BLACK, R2_WHITE); }
int WINAPI GetROP2(HDC hdc) { return GetMode(hdc, &DcState::rop2); }
int WINAPI SetBkMode(HDC hdc, int mode) { return SetMode(hdc, &DcState::bkMode, mode, TRANSPARENT, OPAQUE); }
int WINAPI GetBkMode(HDC hdc) { return GetMode(hdc, &DcState::bkMode); }
int WINAPI SetPolyFillMode(HDC hdc, int mode) { return SetMode(hdc, &DcState::polyFillMode, mode, ALTERNATE, WINDING); }
int WINAPI GetPolyFillMode(HDC hdc) { return GetMode(hdc, &DcState::polyFillMode); }
int WINAPI SetStretchBltMode(HDC hdc, int mode) {
    return SetMode(hdc, &DcState::stretchMode, mode, BLACKONWHITE, HALFTONE);
}
int WINAPI GetStretchBltMode(HDC hdc) { return GetMode(hdc, &DcState::stretchMode); }
int WINAPI SetArcDirection(HDC hdc, int dir) {
    return SetMode(hdc, &DcState::arcDirection, dir, AD_COUNTERCLOCKWISE, AD_CLOCKWISE);
}
int WINAPI GetArcDirection(HDC hdc) { return GetMode(hdc, &DcState::arcDirection); }

COLORREF WINAPI SetBkColor(HDC hdc, COLORREF color) { return SetColor(hdc, &DcState::bkColor, color); }
COLORREF WINAPI GetBkColor(HDC hdc) { return GetColor(hdc, &DcState::bkColor); }
COLORREF WINAPI SetTextColor(HDC hdc, COLORREF color) { return SetColor(hdc, &DcState::textColor, color); }
COLORREF WINAPI GetTextColor(HDC hdc) { return GetColor(hdc, &DcState::textColor); }
COLORREF WINAPI SetDCBrushColor(HDC hdc, COLORREF color) { return SetColor(hdc, &DcState::dcBrushColor, color); }
COLORREF WINAPI GetDCBrushColor(HDC hdc) { return GetColor(hdc, &DcState::dcBrushColor); }
COLORREF WINAPI SetDCPenColor(HDC hdc, COLORREF color) { return SetColor(hdc, &DcState::dcPenColor, color); }
COLORREF WINAPI GetDCPenColor(HDC hdc) { return GetColor(hdc, &DcState::dcPenColor); }

// The documented ranges: gammas 2500 to 65000 (0.25 to 6.5), reference
// black 0 to 4000 and white 6000 to 10000, the rest -100 to 100.
BOOL WINAPI SetColorAdjustment(HDC hdc, const COLORADJUSTMENT* lpca) {
    const auto state = StateOf(hdc);
    if (!state) return FALSE;
    if (!lpca) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const COLORADJUSTMENT& ca = *lpca;
    const bool valid = ca.caSize == sizeof(COLORADJUSTMENT) && !(ca.caFlags & ~(CA_NEGATIVE | CA_LOG_FILTER)) &&
                       ca.caIlluminantIndex <= ILLUMINANT_MAX_INDEX && Within(ca.caRedGamma, 2500, 65000) &&
                       Within(ca.caGreenGamma, 2500, 65000) && Within(ca.caBlueGamma, 2500, 65000) &&
                       Within(ca.caReferenceBlack, 0, 4000) && Within(ca.caReferenceWhite, 6000, 10000) &&
                       Within(ca.caContrast, -100, 100) && Within(ca.caBrightness, -100, 100) &&
                       Within(ca.caColorfulness, -100, 100) && Within(ca.caRedGreenTint, -100, 100);
    if (!valid) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    state->colorAdjustment = ca;
    return TRUE;
}

BOOL WINAPI GetColorAdjustment(HDC hdc, LPCOLORADJUSTMENT lpca) {
    return w32::gdi::GetStateField(hdc, &DcState::colorAdjustment, lpca);
}

BOOL WINAPI SetBrushOrgEx(HDC hdc, int x, int y, LPPOINT lppt) {
    const auto state = StateOf(hdc);
    if (!state) return FALSE;
    if (lppt) *lppt = state->brushOrigin;
    state->brushOrigin = POINT{x, y};
    return TRUE;
}

BOOL WINAPI GetBrushOrgEx(HDC hdc, LPPOINT lppt) { return w32::gdi::GetStateField(hdc, &DcState::brushOrigin, lppt); }

// A miter limit below 1 is refused: a join is never shorter than the pen is wide.
BOOL WINAPI SetMiterLimit(HDC hdc, FLOAT limit, PFLOAT old) {
    const auto state = StateOf(hdc);
    if (!state) return FALSE;
    if (!(limit >= 1.0f)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (old) *old = state->miterLimit;
    state->miterLimit = limit;
    return TRUE;
}

BOOL WINAPI GetMiterLimit(HDC hdc, PFLOAT plimit) { return w32::gdi::GetStateField(hdc, &DcState::miterLimit, plimit); }

BOOL WINAPI GetCurrentPositionEx(HDC hdc, LPPOINT lppt) {
    return w32::gdi::GetStateField(hdc, &DcState::currentPosition, lppt);
}
