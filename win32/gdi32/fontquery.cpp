// The DC's font for GDI's font queries (gdi32/fontquery.h).
#include "gdi32/fontquery.h"

#include <cmath>
#include <limits>

namespace w32::gdi {

namespace {

std::shared_ptr<DeviceContext> CheckedDC(HDC hdc, bool argumentsValid) {
    auto dc = LookupDCOrSetError(hdc);
    if (dc && !argumentsValid) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return dc;
}

}  // namespace

bool QueryDcFont(HDC hdc, bool argumentsValid, FontQuery& out) {
    out.dc = CheckedDC(hdc, argumentsValid);
    return out.dc && RealizeDcFont(*out.dc, out.font);
}

bool QueryDcFace(HDC hdc, bool argumentsValid, ChosenFace& out) {
    const auto dc = CheckedDC(hdc, argumentsValid);
    return dc && ChooseDcFace(*dc, out);
}

void DeviceResolution(HDC hdc, LONG& x, LONG& y) {
    x = GetDeviceCaps(hdc, LOGPIXELSX);
    y = GetDeviceCaps(hdc, LOGPIXELSY);
}

TEXTMETRICW LogicalTextMetrics(const DcFont& font, LONG aspectX, LONG aspectY) {
    const FontMetrics& m = font.font->Metrics();
    TEXTMETRICW tm{};
    tm.tmAscent = font.ToLogicalY(m.ascent);
    tm.tmDescent = font.ToLogicalY(m.descent);
    tm.tmHeight = tm.tmAscent + tm.tmDescent;
    tm.tmInternalLeading = font.ToLogicalY(m.internalLeading);
    tm.tmExternalLeading = font.ToLogicalY(m.externalLeading);
    tm.tmAveCharWidth = font.ToLogicalX(m.aveCharWidth);
    tm.tmMaxCharWidth = font.ToLogicalX(m.maxCharWidth);
    tm.tmWeight = m.weight;
    tm.tmOverhang = font.ToLogicalX(m.overhang);
    tm.tmDigitizedAspectX = aspectX;
    tm.tmDigitizedAspectY = aspectY;
    tm.tmFirstChar = m.firstChar;
    tm.tmLastChar = m.lastChar;
    tm.tmDefaultChar = m.defaultChar;
    tm.tmBreakChar = m.breakChar;
    tm.tmItalic = m.italic ? 255 : 0;
    tm.tmUnderlined = font.logFont.lfUnderline ? 255 : 0;
    tm.tmStruckOut = font.logFont.lfStrikeOut ? 255 : 0;
    tm.tmPitchAndFamily = m.pitchAndFamily;
    tm.tmCharSet = m.charset;
    return tm;
}

bool DeviceSumToLogicalX(const DcFont& font, long long device, LONG& out) {
    const double logical = std::round(double(device) / font.scaleX);
    if (!(std::fabs(logical) <= double(std::numeric_limits<LONG>::max()))) return false;
    out = LONG(logical);
    return true;
}

}  // namespace w32::gdi
