// Logical fonts: CreateFontIndirectW and CreateFontW.
//
// A font object keeps the LOGFONTW as given: any height, width, angle,
// weight or charset is accepted here, and what the values mean is worked out
// when a DC realises the font. The face name is taken up to its first NUL
// within its LF_FACESIZE characters and always ends in one, so a name that
// fills the field is cut to 31 characters and nothing past the field is
// read; the characters after the NUL are cleared, so GetObjectW gives back
// a clean record. A null LOGFONTW fails with ERROR_INVALID_PARAMETER.
#include <windows.h>

#include <algorithm>

#include "gdi32/fontobject.h"

namespace {

// The name up to its first NUL, cut to leave room for one, the rest of the field cleared.
void CopyFaceName(WCHAR (&to)[LF_FACESIZE], const WCHAR* from) {
    size_t length = 0;
    if (from)
        while (length < LF_FACESIZE - 1 && from[length]) ++length;
    std::copy(from, from + length, to);
    std::fill(to + length, to + LF_FACESIZE, WCHAR(0));
}

}  // namespace

HFONT WINAPI CreateFontIndirectW(const LOGFONTW* lplf) {
    if (!lplf) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto font = std::make_shared<w32::gdi::GdiFont>();
    font->logFont = *lplf;
    CopyFaceName(font->logFont.lfFaceName, lplf->lfFaceName);
    return static_cast<HFONT>(w32::gdi::InsertGdiObject(font));
}

HFONT WINAPI CreateFontW(int cHeight, int cWidth, int cEscapement, int cOrientation, int cWeight, DWORD bItalic,
                         DWORD bUnderline, DWORD bStrikeOut, DWORD iCharSet, DWORD iOutPrecision,
                         DWORD iClipPrecision, DWORD iQuality, DWORD iPitchAndFamily, LPCWSTR pszFaceName) {
    // The flags and the byte-sized fields keep their low byte, as the
    // LOGFONTW they become holds them.
    LOGFONTW logFont{};
    logFont.lfHeight = cHeight;
    logFont.lfWidth = cWidth;
    logFont.lfEscapement = cEscapement;
    logFont.lfOrientation = cOrientation;
    logFont.lfWeight = cWeight;
    logFont.lfItalic = BYTE(bItalic);
    logFont.lfUnderline = BYTE(bUnderline);
    logFont.lfStrikeOut = BYTE(bStrikeOut);
    logFont.lfCharSet = BYTE(iCharSet);
    logFont.lfOutPrecision = BYTE(iOutPrecision);
    logFont.lfClipPrecision = BYTE(iClipPrecision);
    logFont.lfQuality = BYTE(iQuality);
    logFont.lfPitchAndFamily = BYTE(iPitchAndFamily);
    CopyFaceName(logFont.lfFaceName, pszFaceName);
    return CreateFontIndirectW(&logFont);
}
