// GetGlyphOutlineW: one glyph of the DC's font as metrics, a bitmap or an
// outline, in device pixels, put through the caller's MAT2.
//
// The glyph is the character's (the default glyph for one the face lacks)
// or, with GGO_GLYPH_INDEX, the glyph of that index. The MAT2 (x' = eM11 x
// + eM21 y, y' = eM12 x + eM22 y, y up) acts on the glyph as the font's
// transform does: the font is realised with it added, so a MAT2 that
// doubles the size gives the glyph of a font twice as large, hinted at that
// size, and the cell increment turns and stretches with it. The identity
// gives the glyph the DC draws.
//
// Formats:
// - GGO_METRICS: the GLYPHMETRICS alone; answers 0.
// - GGO_BITMAP: the glyph's one-bit bitmap, rows from the top, each padded
//   to a DWORD, set bits the glyph's pixels; the metrics' black box is the
//   bitmap's box.
// - GGO_GRAY2_BITMAP, GGO_GRAY4_BITMAP, GGO_GRAY8_BITMAP: a byte a pixel of
//   5, 17 or 65 levels (0 to 4, 16 or 64) of the glyph's coverage, rows
//   padded to a DWORD; the black box is the grey bitmap's own box, which
//   takes in the pixels the glyph only touches.
// - GGO_NATIVE and GGO_BEZIER: TTPOLYGONHEADER records (gdi32/ttpolygons.h);
//   hinted as drawn, unless GGO_UNHINTED asks for the scaled outline.
//   Bitmaps are always of the hinted glyph.
// A glyph that sets no pixel (a space) has an empty bitmap: the call
// answers 0 and the metrics keep the glyph's black box, one blank pixel for
// a space.
//
// GLYPHMETRICS: gmptGlyphOrigin is the top-left of the black box from the
// glyph's origin, y up; gmCellIncX/Y the advance as a device vector, y up.
//
// Without a buffer, or with a size of 0, the call answers the bytes the
// format needs (and fills the metrics). Else it copies them and answers
// their number, or fails (GDI_ERROR) with ERROR_INSUFFICIENT_BUFFER when
// they do not fit. GDI_ERROR also for a handle that is no DC
// (ERROR_INVALID_HANDLE); a null GLYPHMETRICS or MAT2, an unknown format or
// flag, a character beyond 0xFFFF or a glyph index beyond the face's
// glyphs (ERROR_INVALID_PARAMETER); a singular MAT2 (the engine's
// ERROR_INVALID_PARAMETER); a bitmap too large to make
// (ERROR_NOT_ENOUGH_MEMORY).
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

#include "gdi32/fontquery.h"
#include "gdi32/ttpolygons.h"

namespace {

using namespace w32::gdi;

constexpr UINT kFormatFlags = GGO_GLYPH_INDEX | GGO_UNHINTED;

DWORD Fail(DWORD error) {
    SetLastError(error);
    return GDI_ERROR;
}

double FixedValue(FIXED f) { return f.value + f.fract / 65536.0; }

bool IsIdentity(const MAT2& m) {
    return m.eM11.value == 1 && m.eM11.fract == 0 && m.eM12.value == 0 && m.eM12.fract == 0 &&
           m.eM21.value == 0 && m.eM21.fract == 0 && m.eM22.value == 1 && m.eM22.fract == 0;
}

// The DC's font with the MAT2 added to its transform. The MAT2 works with
// y up, the font's transform with y down: the MAT2 is turned over first.
std::shared_ptr<const w32::RealizedFont> FontWithMatrix(const DcFont& font, const MAT2& m) {
    if (IsIdentity(m)) return font.font;
    const w32::FontMatrix extra{FixedValue(m.eM11), -FixedValue(m.eM12), -FixedValue(m.eM21), FixedValue(m.eM22)};
    w32::FontRealizationRequest request = font.font->Request();
    const XFORM& t = request.transform;
    const w32::FontMatrix combined = extra * w32::FontMatrix{t.eM11, t.eM12, t.eM21, t.eM22};
    request.transform = XFORM{FLOAT(combined.m11), FLOAT(combined.m12), FLOAT(combined.m21), FLOAT(combined.m22), 0, 0};
    if (!request.advanced) {
        // In GM_COMPATIBLE the escapement turns the glyphs; with the
        // transform applying to glyphs it has to say so as their orientation.
        request.orientation = request.escapement;
        request.advanced = true;
    }
    return w32::RealizeFont(font.font->Face(), request);
}

short ClampShort(LONG v) { return short(std::clamp<LONG>(v, -32768, 32767)); }

GLYPHMETRICS MetricsOf(const w32::GlyphMetrics& glyph) {
    const RECT& box = glyph.blackBox;
    GLYPHMETRICS gm{};
    gm.gmBlackBoxX = UINT(box.right - box.left);
    gm.gmBlackBoxY = UINT(box.bottom - box.top);
    gm.gmptGlyphOrigin = POINT{box.left, -box.top};
    gm.gmCellIncX = ClampShort(glyph.cellIncrement.x);
    gm.gmCellIncY = ClampShort(-glyph.cellIncrement.y);
    return gm;
}

// A bitmap's rows padded to DWORDs, each pixel as `convert` makes it; the
// metrics take the bitmap's box.
template <class Convert>
std::vector<BYTE> PaddedRows(const w32::GlyphBitmap& bitmap, size_t rowBytes, GLYPHMETRICS& gm, Convert convert) {
    std::vector<BYTE> out;
    if (std::all_of(bitmap.bits.begin(), bitmap.bits.end(), [](BYTE b) { return b == 0; })) return out;
    const size_t stride = (rowBytes + 3) & ~size_t(3);
    out.assign(stride * size_t(bitmap.size.cy), 0);
    for (LONG y = 0; y < bitmap.size.cy; ++y)
        convert(bitmap.bits.data() + size_t(y) * size_t(bitmap.stride), out.data() + size_t(y) * stride);
    gm.gmBlackBoxX = UINT(bitmap.size.cx);
    gm.gmBlackBoxY = UINT(bitmap.size.cy);
    gm.gmptGlyphOrigin = POINT{bitmap.origin.x, -bitmap.origin.y};
    return out;
}

UINT GrayLevels(UINT format) {
    switch (format) {
        case GGO_GRAY2_BITMAP: return 5;
        case GGO_GRAY4_BITMAP: return 17;
        default: return 65;
    }
}

}  // namespace

DWORD WINAPI GetGlyphOutlineW(HDC hdc, UINT uChar, UINT fuFormat, LPGLYPHMETRICS lpgm, DWORD cjBuffer,
                              LPVOID pvBuffer, const MAT2* lpmat2) {
    const UINT format = fuFormat & ~kFormatFlags;
    FontQuery query;
    if (!QueryDcFont(hdc, lpgm && lpmat2 && format <= GGO_GRAY8_BITMAP, query)) return GDI_ERROR;
    if (query.font.font->Device()) return Fail(ERROR_NOT_SUPPORTED);  // only the printer has its glyphs
    const auto font = FontWithMatrix(query.font, *lpmat2);
    if (!font) return GDI_ERROR;
    HGLYPH glyph = 0;
    if (fuFormat & GGO_GLYPH_INDEX) {
        if (uChar >= font->GlyphCount()) return Fail(ERROR_INVALID_PARAMETER);
        glyph = uChar;
    } else {
        if (uChar > 0xFFFF) return Fail(ERROR_INVALID_PARAMETER);
        glyph = font->GlyphIndex(WCHAR(uChar));
    }
    const std::optional<w32::GlyphMetrics> metrics = font->Glyph(glyph);
    if (!metrics) return GDI_ERROR;
    GLYPHMETRICS gm = MetricsOf(*metrics);

    std::vector<BYTE> data;
    switch (format) {
        case GGO_METRICS: *lpgm = gm; return 0;
        case GGO_BITMAP: {
            const auto bitmap = font->Bitmap(glyph, false);
            if (!bitmap) return GDI_ERROR;
            const size_t rowBytes = (size_t(bitmap->size.cx) + 7) / 8;
            data = PaddedRows(*bitmap, rowBytes, gm,
                              [&](const BYTE* from, BYTE* to) { std::memcpy(to, from, rowBytes); });
            break;
        }
        case GGO_NATIVE:
        case GGO_BEZIER: {
            const auto outline = font->Outline(glyph, !(fuFormat & GGO_UNHINTED));
            if (!outline) return GDI_ERROR;
            data = format == GGO_NATIVE ? NativePolygons(*outline) : BezierPolygons(*outline);
            break;
        }
        default: {
            const auto bitmap = font->Bitmap(glyph, true);
            if (!bitmap) return GDI_ERROR;
            const UINT levels = GrayLevels(format);
            const size_t width = size_t(bitmap->size.cx);
            data = PaddedRows(*bitmap, width, gm, [&](const BYTE* from, BYTE* to) {
                for (size_t x = 0; x < width; ++x) to[x] = w32::CoverageLevel(from[x], levels);
            });
        }
    }
    *lpgm = gm;
    if (!pvBuffer || cjBuffer == 0) return DWORD(data.size());
    if (cjBuffer < data.size()) return Fail(ERROR_INSUFFICIENT_BUFFER);
    std::copy(data.begin(), data.end(), static_cast<BYTE*>(pvBuffer));
    return DWORD(data.size());
}
