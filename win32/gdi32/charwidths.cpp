// GetCharWidth32W, GetCharWidthW and GetCharABCWidthsW: the widths of a
// range of characters of the DC's font, in logical units.
//
// A character's width is its glyph's advance (a character the face lacks
// has its default glyph's); the character extra of the DC is not counted.
// ABC widths split the advance into the space before the glyph's black box
// (A, negative when the glyph reaches left of its origin), the box (B) and
// the space after it (C); A + B + C is the advance. Every face the engine
// installs is an outline font, so ABC widths exist for all of them.
//
// The range is iFirst to iLast inclusive, both UTF-16 code units. FALSE
// with ERROR_INVALID_PARAMETER for a range that runs backwards or past
// 0xFFFF, or no buffer; with ERROR_INVALID_HANDLE for a handle that is no DC.
#include <windows.h>

#include <optional>

#include "gdi32/fontquery.h"

namespace {

using namespace w32::gdi;

bool ValidRange(UINT first, UINT last, const void* buffer) { return first <= last && last <= 0xFFFF && buffer; }

// Calls `take(index, glyph)` for each character of the range, or fails with the engine's error.
template <class Take>
BOOL EachGlyph(const DcFont& font, UINT first, UINT last, Take take) {
    for (UINT ch = first; ch <= last; ++ch) {
        const std::optional<w32::GlyphMetrics> glyph = font.font->Glyph(font.font->GlyphIndex(WCHAR(ch)));
        if (!glyph) return FALSE;
        take(ch - first, *glyph);
    }
    return TRUE;
}

BOOL CharWidths(HDC hdc, UINT first, UINT last, LPINT buffer) {
    FontQuery query;
    if (!QueryDcFont(hdc, ValidRange(first, last, buffer), query)) return FALSE;
    const DcFont& font = query.font;
    return EachGlyph(font, first, last,
                     [&](UINT i, const w32::GlyphMetrics& glyph) { buffer[i] = font.ToLogicalX(glyph.advance); });
}

}  // namespace

BOOL WINAPI GetCharWidth32W(HDC hdc, UINT iFirst, UINT iLast, LPINT lpBuffer) {
    return CharWidths(hdc, iFirst, iLast, lpBuffer);
}

BOOL WINAPI GetCharWidthW(HDC hdc, UINT iFirst, UINT iLast, LPINT lpBuffer) {
    return CharWidths(hdc, iFirst, iLast, lpBuffer);
}

BOOL WINAPI GetCharABCWidthsW(HDC hdc, UINT wFirst, UINT wLast, LPABC lpABC) {
    FontQuery query;
    if (!QueryDcFont(hdc, ValidRange(wFirst, wLast, lpABC), query)) return FALSE;
    const DcFont& font = query.font;
    return EachGlyph(font, wFirst, wLast, [&](UINT i, const w32::GlyphMetrics& glyph) {
        // A and A + B are converted as positions, so the three still add up to the advance.
        const LONG a = font.ToLogicalX(glyph.abcA), ab = font.ToLogicalX(glyph.abcA + glyph.abcB);
        lpABC[i] = ABC{a, UINT(ab - a), font.ToLogicalX(glyph.advance) - ab};
    });
}
