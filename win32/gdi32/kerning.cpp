// GetKerningPairsW: the kerning pairs of the DC's font, in logical units.
//
// The pairs are those of the face's 'kern' table (win32k/fontrealize.h)
// as characters, ordered by first and then second character, each amount
// scaled to the realised font (a pair whose amount rounds to 0 stays).
// Without a buffer, or when nPairs is 0, the call answers the number of
// pairs; else it copies the first nPairs of them (all when there are
// fewer) and answers how many it copied. 0 with ERROR_INVALID_HANDLE for a
// handle that is no DC.
#include <windows.h>

#include <algorithm>

#include "gdi32/fontquery.h"

DWORD WINAPI GetKerningPairsW(HDC hdc, DWORD nPairs, LPKERNINGPAIR lpKernPair) {
    w32::gdi::FontQuery query;
    if (!w32::gdi::QueryDcFont(hdc, true, query)) return 0;
    const w32::gdi::DcFont& font = query.font;
    const std::vector<KERNINGPAIR>& pairs = font.font->KerningPairs();
    if (!lpKernPair || nPairs == 0) return DWORD(pairs.size());
    const size_t copied = std::min<size_t>(nPairs, pairs.size());
    for (size_t i = 0; i < copied; ++i)
        lpKernPair[i] = KERNINGPAIR{pairs[i].wFirst, pairs[i].wSecond, font.ToLogicalX(pairs[i].iKernAmount)};
    return DWORD(copied);
}
