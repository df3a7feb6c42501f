// Placing the glyphs of one ExtTextOutW (gdi32/textlayout.h).
#include "gdi32/textlayout.h"

#include <cmath>
#include <cstdint>

#include "gdi32/drawcall.h"

namespace w32::gdi {

namespace {

// cos and sin of a counter-clockwise turn by `tenths` of a degree, quarter
// turns exact, as the font turns its baseline.
void Turn(LONG tenths, double& c, double& s) {
    switch (((tenths % 3600) + 3600) % 3600) {
        case 0: c = 1, s = 0; return;
        case 900: c = 0, s = 1; return;
        case 1800: c = -1, s = 0; return;
        case 2700: c = 0, s = -1; return;
        default: {
            const double radians = double(tenths) * (M_PI / 1800.0);
            c = std::cos(radians), s = std::sin(radians);
        }
    }
}

// The device vector of one upright pixel down across the baseline. In
// GM_COMPATIBLE the font turns on the device, so it is the baseline turned
// a quarter clockwise; in GM_ADVANCED it is the font's vertical, turned by
// the escapement, through the font's transform.
void DownVector(const RealizedFont& font, double alongX, double alongY, double& downX, double& downY) {
    const FontRealizationRequest& request = font.Request();
    if (!request.advanced) {
        downX = -alongY, downY = alongX;
        return;
    }
    double c, s;
    Turn(request.escapement, c, s);
    const XFORM& t = request.transform;
    const double sy = std::hypot(double(t.eM21), double(t.eM22));
    // The turn maps (0, 1) to (s, c) in the glyph's y-down space.
    downX = (t.eM11 * s + t.eM21 * c) / sy;
    downY = (t.eM12 * s + t.eM22 * c) / sy;
}

LONG RoundPixel(double value) { return LONG(std::floor(value + 0.5)); }

bool Representable(double x, double y) {
    return std::fabs(x) <= kLargestDeviceCoordinate && std::fabs(y) <= kLargestDeviceCoordinate;
}

// The glyph and its advance (upright device pixels) of one element of the string.
HGLYPH GlyphOf(const RealizedFont& font, WCHAR element, bool glyphIndex, LONG& advance) {
    HGLYPH glyph = glyphIndex ? HGLYPH(element) : font.GlyphIndex(element);
    std::optional<GlyphMetrics> metrics = font.Glyph(glyph);
    if (!metrics && glyph != 0) {
        glyph = 0;
        metrics = font.Glyph(glyph);
    }
    advance = metrics ? metrics->advance : 0;
    return glyph;
}

}  // namespace

bool LayOutText(const DeviceContext& dc, const DcFont& dcFont, const TextLayoutInput& input, TextLayout& out) {
    const RealizedFont& font = *dcFont.font;
    const FontMetrics& metrics = font.Metrics();
    const bool glyphIndex = input.options & ETO_GLYPH_INDEX;
    const bool pairs = input.options & ETO_PDY;
    const size_t n = input.count;

    POINTFIX reference;
    if (!ToDeviceFix(dc, input.reference.x, input.reference.y, reference)) return false;
    out.referenceX = reference.x / 16.0;
    out.referenceY = reference.y / 16.0;
    font.BaselineVector(&out.alongX, &out.alongY);
    DownVector(font, out.alongX, out.alongY, out.downX, out.downY);

    // Each glyph's upright offset from the run's start.
    std::vector<double> offsetU(n), offsetV;
    out.glyphs.resize(n);
    out.defaultPlacement = !input.dx && dc.state.charExtra == 0;
    if (input.dx) {
        if (pairs) offsetV.resize(n);
        int64_t sumX = 0, sumY = 0;  // logical units
        for (size_t i = 0; i < n; ++i) {
            LONG unused;
            out.glyphs[i] = GlyphOf(font, input.string[i], glyphIndex, unused);
            offsetU[i] = double(sumX) * dcFont.scaleX;
            if (pairs) {
                offsetV[i] = -double(sumY) * dcFont.scaleY;
                sumX += input.dx[2 * i];
                sumY += input.dx[2 * i + 1];
            } else {
                sumX += input.dx[i];
            }
        }
        out.endU = double(sumX) * dcFont.scaleX;
        out.endV = -double(sumY) * dcFont.scaleY;
    } else {
        const int64_t extra = dcFont.ToDeviceX(dc.state.charExtra);
        int64_t sum = 0;  // device pixels
        for (size_t i = 0; i < n; ++i) {
            LONG advance;
            out.glyphs[i] = GlyphOf(font, input.string[i], glyphIndex, advance);
            offsetU[i] = double(sum);
            sum += advance + extra;
        }
        out.endU = double(sum);
        out.endV = 0;
    }

    // The run's start on its baseline after the alignment.
    const UINT align = dc.state.textAlign;
    double shiftU = 0, shiftV = 0;
    if ((align & TA_CENTER) == TA_CENTER) {
        shiftU = -out.endU / 2, shiftV = -out.endV / 2;
    } else if ((align & TA_CENTER) == TA_RIGHT) {
        shiftU = -out.endU, shiftV = -out.endV;
    }
    if ((align & TA_BASELINE) == TA_BASELINE) {
    } else if ((align & TA_BASELINE) == TA_BOTTOM) {
        shiftV -= metrics.descent;
    } else {
        shiftV += metrics.ascent;
    }
    out.originX = out.referenceX + shiftU * out.alongX + shiftV * out.downX;
    out.originY = out.referenceY + shiftU * out.alongY + shiftV * out.downY;
    if (!Representable(out.DeviceX(out.endU, out.endV), out.DeviceY(out.endU, out.endV))) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }

    out.positions.resize(n);
    for (size_t i = 0; i < n; ++i) {
        const double v = offsetV.empty() ? 0 : offsetV[i];
        const double x = out.DeviceX(offsetU[i], v), y = out.DeviceY(offsetU[i], v);
        if (!Representable(x, y)) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return false;
        }
        out.positions[i] = POINTL{RoundPixel(x), RoundPixel(y)};
    }
    return true;
}

}  // namespace w32::gdi
