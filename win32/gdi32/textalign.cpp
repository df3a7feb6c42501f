// How text sits on its reference point and how much space follows each
// character: SetTextAlign, GetTextAlign, SetTextCharacterExtra and
// GetTextCharacterExtra (DcState::textAlign, DcState::charExtra).
//
// SetTextAlign keeps the bits of TA_MASK (horizontal and vertical
// alignment, TA_UPDATECP, TA_RTLREADING) and answers the previous
// alignment; both alignment calls answer GDI_ERROR for a handle that is no
// DC. The character extra is in logical units, added by ExtTextOutW after
// each character it places by the font's advance; the calls answer the
// previous (or current) value, and 0x80000000 for a handle that is no DC,
// which is therefore also refused as a value (ERROR_INVALID_PARAMETER).
// Every failure sets ERROR_INVALID_HANDLE unless said otherwise.
#include <windows.h>

#include "gdi32/dc.h"

namespace {

constexpr int kCharExtraError = int(0x80000000u);

}  // namespace

UINT WINAPI SetTextAlign(HDC hdc, UINT align) {
    const auto dc = w32::gdi::LookupDCOrSetError(hdc);
    if (!dc) return GDI_ERROR;
    const UINT previous = dc->state.textAlign;
    dc->state.textAlign = align & TA_MASK;
    return previous;
}

UINT WINAPI GetTextAlign(HDC hdc) {
    const auto dc = w32::gdi::LookupDCOrSetError(hdc);
    return dc ? dc->state.textAlign : GDI_ERROR;
}

int WINAPI SetTextCharacterExtra(HDC hdc, int extra) {
    const auto dc = w32::gdi::LookupDCOrSetError(hdc);
    if (!dc) return kCharExtraError;
    if (extra == kCharExtraError) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return kCharExtraError;
    }
    const int previous = dc->state.charExtra;
    dc->state.charExtra = extra;
    return previous;
}

int WINAPI GetTextCharacterExtra(HDC hdc) {
    const auto dc = w32::gdi::LookupDCOrSetError(hdc);
    return dc ? dc->state.charExtra : kCharExtraError;
}
