// GetGlyphIndicesW: the glyphs of the DC's font for a string, one WORD per
// character, as the face's character map gives them.
//
// A character the face lacks gets 0xFFFF with GGI_MARK_NONEXISTING_GLYPHS,
// else the face's default glyph (its default character's glyph, or glyph
// 0). A vertical ("@") face answers its characters' own glyphs; turning
// them is left to drawing. Answers the number of characters converted, or
// GDI_ERROR: ERROR_INVALID_HANDLE for a handle that is no DC,
// ERROR_INVALID_PARAMETER for a negative count or a null string or output
// with characters. Other flags are ignored.
#include <windows.h>

#include "gdi32/fontquery.h"

DWORD WINAPI GetGlyphIndicesW(HDC hdc, LPCWSTR lpstr, int c, LPWORD pgi, DWORD fl) {
    w32::gdi::FontQuery query;
    if (!w32::gdi::QueryDcFont(hdc, c >= 0 && (c == 0 || (lpstr && pgi)), query)) return GDI_ERROR;
    const w32::RealizedFont& font = *query.font.font;
    const bool mark = (fl & GGI_MARK_NONEXISTING_GLYPHS) != 0;
    for (int i = 0; i < c; ++i) {
        bool present = false;
        const HGLYPH glyph = font.GlyphIndex(lpstr[i], &present);
        pgi[i] = !present && mark ? WORD(0xFFFF) : WORD(glyph & ~w32::kVerticalGlyph);
    }
    return DWORD(c);
}
