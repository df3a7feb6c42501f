// GetTextExtentPoint32W, GetTextExtentPointW and GetTextExtentExPointW: how
// far a string of the DC's font reaches, in logical units.
//
// Each character advances by its glyph's advance in device pixels (a
// character the face lacks by its default glyph's) plus the DC's character
// extra, scaled to device pixels once, as ExtTextOutW places glyphs without
// lpDx; no kerning is applied. The sums are converted to logical units, so
// rounding never drifts along a long string. The height is the font's
// tmHeight, for an empty string too.
//
// GetTextExtentExPointW also gives, with lpnDx, the extent of the string up
// to and including each character (all cchString of them), and with
// lpnFit the number of characters whose extent stays within nMaxExtent; a
// negative nMaxExtent sets no limit.
//
// Errors (FALSE): ERROR_INVALID_HANDLE for a handle that is no DC;
// ERROR_INVALID_PARAMETER for a negative count, a null string with
// characters, or no SIZE; ERROR_ARITHMETIC_OVERFLOW when an extent passes
// what a LONG holds.
#include <windows.h>

#include <unordered_map>

#include "gdi32/fontquery.h"

namespace {

using namespace w32::gdi;

// The device advances of a string's characters, each glyph measured once.
class Advances {
public:
    Advances(const DeviceContext& dc, const DcFont& font)
        : font_(*font.font), extra_(font.ToDeviceX(dc.state.charExtra)) {}

    // False with the engine's error when a glyph cannot be measured.
    bool Of(WCHAR ch, long long& advance) {
        if (const auto known = known_.find(ch); known != known_.end()) {
            advance = known->second;
            return true;
        }
        const std::optional<w32::GlyphMetrics> glyph = font_.Glyph(font_.GlyphIndex(ch));
        if (!glyph) return false;
        advance = known_[ch] = glyph->advance + extra_;
        return true;
    }

private:
    const w32::RealizedFont& font_;
    LONG extra_;
    std::unordered_map<WCHAR, LONG> known_;
};

BOOL Overflow() {
    SetLastError(ERROR_ARITHMETIC_OVERFLOW);
    return FALSE;
}

BOOL TextExtent(HDC hdc, LPCWSTR string, int count, int maxExtent, LPINT fit, LPINT partialExtents, LPSIZE size) {
    FontQuery query;
    if (!QueryDcFont(hdc, count >= 0 && (string || count == 0) && size, query)) return FALSE;
    const DcFont& font = query.font;
    Advances advances(*query.dc, font);
    long long device = 0;
    int fitting = 0;
    bool fits = true;
    for (int i = 0; i < count; ++i) {
        long long advance = 0;
        if (!advances.Of(string[i], advance)) return FALSE;
        device += advance;
        if (!partialExtents && !fit) continue;
        LONG extent = 0;
        if (!DeviceSumToLogicalX(font, device, extent)) return Overflow();
        if (partialExtents) partialExtents[i] = extent;
        if (fits && (maxExtent < 0 || extent <= maxExtent)) ++fitting;
        else fits = false;
    }
    LONG width = 0;
    if (!DeviceSumToLogicalX(font, device, width)) return Overflow();
    const w32::FontMetrics& m = font.font->Metrics();
    *size = SIZE{width, font.ToLogicalY(m.ascent) + font.ToLogicalY(m.descent)};
    if (fit) *fit = fitting;
    return TRUE;
}

}  // namespace

BOOL WINAPI GetTextExtentPoint32W(HDC hdc, LPCWSTR lpString, int c, LPSIZE psizl) {
    return TextExtent(hdc, lpString, c, -1, nullptr, nullptr, psizl);
}

BOOL WINAPI GetTextExtentPointW(HDC hdc, LPCWSTR lpString, int c, LPSIZE lpsz) {
    return TextExtent(hdc, lpString, c, -1, nullptr, nullptr, lpsz);
}

BOOL WINAPI GetTextExtentExPointW(HDC hdc, LPCWSTR lpszString, int cchString, int nMaxExtent, LPINT lpnFit,
                                  LPINT lpnDx, LPSIZE lpSize) {
    return TextExtent(hdc, lpszString, cchString, nMaxExtent, lpnFit, lpnDx, lpSize);
}
