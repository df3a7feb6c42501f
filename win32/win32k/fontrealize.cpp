// Realising a chosen face: the size and turn GDI derives from the logical
// font and the DC's transform, the upright font's metrics from the face's
// OS/2, hhea and post tables, characters to glyphs, kerning, and the cache
// of recently realised fonts. The glyphs themselves are in fontglyphs.cpp.
#include "win32k/fontrealize.h"

#include "win32k/devicefont.h"
#include "win32k/engobj.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_ADVANCES_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>

namespace w32 {
namespace {

// Simulated italic's slant: tan(12 degrees) of the height above the baseline.
constexpr double kItalicSlant = 0.21255656167002213;
// Recently realised fonts kept for reuse.
constexpr size_t kRealizedFontCacheSize = 16;

// A counter-clockwise turn by `tenths` of a degree as seen on a y-down
// device; quarter turns are exact.
FontMatrix Rotation(LONG tenths) {
    const LONG angle = ((tenths % 3600) + 3600) % 3600;
    double c, s;
    switch (angle) {
        case 0: c = 1, s = 0; break;
        case 900: c = 0, s = 1; break;
        case 1800: c = -1, s = 0; break;
        case 2700: c = 0, s = -1; break;
        default: {
            const double radians = angle * (M_PI / 1800.0);
            c = std::cos(radians), s = std::sin(radians);
        }
    }
    return {c, -s, s, c};
}

FontMatrix Scale(double x, double y) { return {x, 0, 0, y}; }

uint16_t BigEndian16(std::span<const BYTE> b, size_t at) { return uint16_t(b[at] << 8 | b[at + 1]); }

// Characters East Asian text sets full width, which a vertical face turns.
bool IsWideCharacter(WCHAR ch) {
    return (ch >= 0x1100 && ch <= 0x115F) || (ch >= 0x2E80 && ch <= 0x303E) || (ch >= 0x3041 && ch <= 0x33FF) ||
           (ch >= 0x3400 && ch <= 0x4DBF) || (ch >= 0x4E00 && ch <= 0x9FFF) || (ch >= 0xA000 && ch <= 0xA4CF) ||
           (ch >= 0xAC00 && ch <= 0xD7A3) || (ch >= 0xF900 && ch <= 0xFAFF) || (ch >= 0xFE30 && ch <= 0xFE4F) ||
           (ch >= 0xFF00 && ch <= 0xFF60) || (ch >= 0xFFE0 && ch <= 0xFFE6);
}

bool SameChoice(const ChosenFace& a, const ChosenFace& b) {
    return a.file == b.file && a.face == b.face && a.simulateBold == b.simulateBold &&
           a.simulateItalic == b.simulateItalic && a.vertical == b.vertical && a.charset == b.charset &&
           a.faceName == b.faceName && a.device == b.device;
}

std::shared_ptr<const RealizedFont> Fail(DWORD error) {
    SetLastError(error);
    return nullptr;
}

// The transform's scales along x and y; false for one that cannot place text.
bool TransformScales(const FontMatrix& toDevice, double& sx, double& sy) {
    sx = std::hypot(toDevice.m11, toDevice.m12), sy = std::hypot(toDevice.m21, toDevice.m22);
    const double determinant = toDevice.m11 * toDevice.m22 - toDevice.m12 * toDevice.m21;
    return std::isfinite(sx) && std::isfinite(sy) && std::isfinite(determinant) && determinant != 0 && sx != 0 &&
           sy != 0;
}

// The em in whole device pixels for a request, from the face's em and cell
// in its units; 0 beyond kLargestEm.
LONG EmPixels(const FontRealizationRequest& request, double sy, double unitsPerEm, double cellUnits) {
    double emLogical = kDefaultFontEm;
    if (request.height < 0) emLogical = -double(request.height);
    else if (request.height > 0) emLogical = double(request.height) * unitsPerEm / cellUnits;
    const double emDevice = std::round(emLogical * sy);
    if (!(emDevice <= kLargestEm)) return 0;
    return std::max<LONG>(1, LONG(emDevice));
}

// The upright x scale: the transform's ratio of x to y scale, or the width
// asked against the average width; 0 when it is too large.
double Stretch(const FontRealizationRequest& request, double sx, double sy, LONG em, double averageUnits,
               double unitsPerEm) {
    double stretch = sx / sy;
    if (request.width != 0) stretch = std::fabs(double(request.width)) * sx / (averageUnits * em / unitsPerEm);
    return stretch * em <= kLargestEm && stretch > 0 ? stretch : 0;
}

// The cell of an em of `em` pixels from the face's units: ascent, descent,
// leadings (`lineGap` the face's line gap over a `lineAscender` -
// `lineDescender` line, when it has one).
void SetCell(FontMetrics& m, LONG em, double unitsPerEm, double stretch, double ascentUnits, double descentUnits,
             std::optional<double> lineGap, double lineAscender, double lineDescender) {
    m.em = em;
    m.unitsPerEm = USHORT(unitsPerEm);
    m.yScale = em / unitsPerEm;
    m.xScale = m.yScale * stretch;
    m.ascent = std::lround(ascentUnits * m.yScale);
    m.descent = std::lround(descentUnits * m.yScale);
    m.height = m.ascent + m.descent;
    m.internalLeading = m.height - em;
    if (lineGap) {
        const double gap = *lineGap - ((ascentUnits + descentUnits) - (lineAscender - lineDescender));
        m.externalLeading = std::max<LONG>(0, std::lround(gap * m.yScale));
    }
}

// The underline below and the strike-out above the baseline from the face's
// units; a size of 0 or less leaves GDI's defaults from the em.
void SetBars(FontMetrics& m, double underlinePosition, double underlineSize, double strikeoutPosition,
             double strikeoutSize) {
    if (underlineSize > 0) {
        m.underlinePosition = -std::lround(underlinePosition * m.yScale);
        m.underlineThickness = std::max<LONG>(1, std::lround(underlineSize * m.yScale));
    } else {
        m.underlinePosition = std::max<LONG>(1, m.descent / 2);
        m.underlineThickness = std::max<LONG>(1, m.em / 20);
    }
    if (strikeoutSize > 0) {
        m.strikeoutPosition = std::lround(strikeoutPosition * m.yScale);
        m.strikeoutThickness = std::max<LONG>(1, std::lround(strikeoutSize * m.yScale));
    } else {
        m.strikeoutPosition = std::lround(m.em * 0.25);
        m.strikeoutThickness = m.underlineThickness;
    }
}

// How the glyphs and the baseline turn on the device (see the header).
void Orient(const FontRealizationRequest& request, const FontMatrix& toDevice, double sx, double sy, double stretch,
            const FontMatrix& slant, FontMatrix& glyph, double baseline[2]) {
    if (request.advanced) {
        const FontMatrix page{toDevice.m11 / sy, toDevice.m12 / sy, toDevice.m21 / sy, toDevice.m22 / sy};
        glyph = page * Rotation(request.orientation) * Scale(stretch * sy / sx, 1) * slant;
        const FontMatrix direction = FontMatrix{toDevice.m11 / sx, toDevice.m12 / sx, toDevice.m21 / sx,
                                                toDevice.m22 / sx} * Rotation(request.escapement);
        baseline[0] = direction.m11, baseline[1] = direction.m12;
    } else {
        glyph = Rotation(request.escapement) * Scale(stretch, 1) * slant;
        const FontMatrix direction = Rotation(request.escapement);
        baseline[0] = direction.m11, baseline[1] = direction.m12;
    }
}

}  // namespace

FontRealizationRequest FontRealizationRequest::FromLogFont(const LOGFONTW& font, const XFORM& toDevice,
                                                           bool advanced) {
    FontRealizationRequest request;
    request.height = font.lfHeight;
    request.width = font.lfWidth;
    request.escapement = font.lfEscapement;
    request.orientation = font.lfOrientation;
    request.quality = font.lfQuality;
    request.transform = toDevice;
    request.advanced = advanced;
    return request;
}

bool FontRealizationRequest::operator==(const FontRealizationRequest& o) const {
    return height == o.height && width == o.width && escapement == o.escapement && orientation == o.orientation &&
           quality == o.quality && transform.eM11 == o.transform.eM11 && transform.eM12 == o.transform.eM12 &&
           transform.eM21 == o.transform.eM21 && transform.eM22 == o.transform.eM22 && advanced == o.advanced;
}

std::shared_ptr<const RealizedFont> RealizedFont::Create(const ChosenFace& chosen,
                                                         const FontRealizationRequest& request) {
    if (chosen.device) return CreateForDevice(chosen, request);
    if (!chosen.file || chosen.face >= chosen.file->Faces().size()) return Fail(ERROR_INVALID_PARAMETER);
    const XFORM& t = request.transform;
    const FontMatrix toDevice{t.eM11, t.eM12, t.eM21, t.eM22};
    double sx, sy;
    if (!TransformScales(toDevice, sx, sy)) return Fail(ERROR_INVALID_PARAMETER);

    std::lock_guard lock(FreeTypeLock());
    std::shared_ptr<RealizedFont> font(new RealizedFont());
    font->chosen_ = chosen;
    font->request_ = request;
    font->face_ = NewFreeTypeFace(*chosen.file, chosen.face);
    if (!font->face_) return Fail(ERROR_INVALID_DATA);
    FT_Face face = font->face_;
    const FontFaceInfo& info = chosen.Info();
    const double unitsPerEm = face->units_per_EM ? face->units_per_EM : 2048;
    const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    const auto* hhea = static_cast<const TT_HoriHeader*>(FT_Get_Sfnt_Table(face, FT_SFNT_HHEA));
    const auto* post = static_cast<const TT_Postscript*>(FT_Get_Sfnt_Table(face, FT_SFNT_POST));
    if (os2 && os2->version == 0xFFFF) os2 = nullptr;

    // The cell: the Windows ascent and descent, else hhea's, else the em.
    double ascentUnits = 0, descentUnits = 0;
    if (os2 && os2->usWinAscent + os2->usWinDescent > 0) {
        ascentUnits = os2->usWinAscent, descentUnits = os2->usWinDescent;
    } else if (hhea && hhea->Ascender - hhea->Descender > 0) {
        ascentUnits = hhea->Ascender, descentUnits = -hhea->Descender;
    } else {
        ascentUnits = unitsPerEm * 0.8, descentUnits = unitsPerEm * 0.2;
    }

    // The em in logical units, then in whole device pixels.
    const LONG em = EmPixels(request, sy, unitsPerEm, ascentUnits + descentUnits);
    if (!em) return Fail(ERROR_INVALID_PARAMETER);

    // Along the baseline: the transform's ratio of x to y scale, or the width asked.
    double averageUnits = os2 && os2->xAvgCharWidth > 0 ? os2->xAvgCharWidth : 0;
    if (averageUnits == 0) {
        FT_Fixed advance = 0;
        const FT_UInt x = FT_Get_Char_Index(face, 'x');
        if (x && FT_Get_Advance(face, x, FT_LOAD_NO_SCALE, &advance) == 0) averageUnits = double(advance);
        if (averageUnits <= 0) averageUnits = unitsPerEm / 2;
    }
    const double stretch = Stretch(request, sx, sy, em, averageUnits, unitsPerEm);
    if (!stretch) return Fail(ERROR_INVALID_PARAMETER);

    // The size FreeType hints at; larger ems are scaled from it unhinted.
    const LONG loadEm = std::min(em, kLargestHintedEm);
    font->hinted_ = em <= kLargestHintedEm;
    font->loadScale_ = double(em) / loadEm;
    if (FT_Set_Pixel_Sizes(face, 0, FT_UInt(loadEm)) != 0) return Fail(ERROR_INVALID_DATA);

    font->glyphCount_ = ULONG(std::max<FT_Long>(0, face->num_glyphs));
    font->stretch_ = stretch;
    font->italicSlant_ = chosen.simulateItalic ? kItalicSlant : 0;
    const FontMatrix slant{1, 0, -font->italicSlant_, 1};
    font->upright_ = Scale(stretch, 1) * slant;
    Orient(request, toDevice, sx, sy, stretch, slant, font->glyphMatrix_, font->baseline_);
    font->antialiased_ = request.quality == ANTIALIASED_QUALITY || request.quality == CLEARTYPE_QUALITY ||
                         request.quality == CLEARTYPE_QUALITY + 1;  // CLEARTYPE_NATURAL_QUALITY

    // The upright font's metrics.
    FontMetrics& m = font->metrics_;
    SetCell(m, em, unitsPerEm, stretch, ascentUnits, descentUnits,
            hhea ? std::optional<double>(hhea->Line_Gap) : std::nullopt, hhea ? hhea->Ascender : 0,
            hhea ? hhea->Descender : 0);
    const LONG bold = chosen.simulateBold ? 1 : 0;
    m.aveCharWidth = std::lround(averageUnits * m.xScale);
    m.maxCharWidth = std::lround((hhea ? hhea->advance_Width_Max : unitsPerEm) * m.xScale) + bold;
    m.weight = chosen.simulateBold ? FW_BOLD : info.weight;
    m.overhang = 0;
    m.italic = info.italic || chosen.simulateItalic;
    m.pitchAndFamily = BYTE((info.fixedPitch ? 0 : TMPF_FIXED_PITCH) | TMPF_VECTOR |
                            (info.trueTypeOutlines ? TMPF_TRUETYPE : 0) | info.familyClass);
    m.charset = chosen.charset;
    font->fixedPitch_ = info.fixedPitch;

    // A symbol face is read through its (3,0) cmap, whose codes sit at 0xF000.
    font->symbolCmap_ = info.symbol && FT_Select_Charmap(face, FT_ENCODING_MS_SYMBOL) == 0;
    if (!font->symbolCmap_) FT_Select_Charmap(face, FT_ENCODING_UNICODE);
    auto symbolCode = [&](ULONG code) {
        return WCHAR(font->symbolCmap_ && code >= 0xF000 && code <= 0xF0FF ? code - 0xF000 : std::min<ULONG>(code, 0xFFFF));
    };
    if (os2) {
        m.firstChar = symbolCode(os2->usFirstCharIndex);
        m.lastChar = symbolCode(os2->usLastCharIndex);
    } else {
        FT_UInt glyph = 0;
        m.firstChar = symbolCode(FT_Get_First_Char(face, &glyph));
        m.lastChar = 0xFFFF;
    }
    m.defaultChar = os2 && os2->version >= 2 ? os2->usDefaultChar : 0;
    m.breakChar = os2 && os2->version >= 2 ? os2->usBreakChar : 0x20;
    if (m.defaultChar) {
        bool present = false;
        const HGLYPH glyph = font->GlyphIndex(m.defaultChar, &present);
        font->defaultGlyph_ = present ? glyph & ~kVerticalGlyph : 0;
    }

    SetBars(m, post ? post->underlinePosition : 0, post ? post->underlineThickness : 0,
            os2 ? os2->yStrikeoutPosition : 0, os2 ? os2->yStrikeoutSize : 0);
    return font;
}

RealizedFont::~RealizedFont() {
    if (!face_) return;
    std::lock_guard lock(FreeTypeLock());
    FT_Done_Face(face_);
}

HGLYPH RealizedFont::GlyphIndex(WCHAR ch, bool* present) const {
    if (const DeviceFontFace* device = Device()) {
        bool has = false;
        const HGLYPH glyph = device->Glyph(ch, &has);
        if (present) *present = has;
        return has ? glyph : defaultGlyph_;
    }
    std::lock_guard lock(FreeTypeLock());
    FT_UInt glyph = 0;
    if (symbolCmap_ && ch < 0x100) glyph = FT_Get_Char_Index(face_, 0xF000u + ch);
    if (!glyph) glyph = FT_Get_Char_Index(face_, ch);
    if (present) *present = glyph != 0;
    if (!glyph) return defaultGlyph_;
    if (chosen_.vertical && IsWideCharacter(ch)) return HGLYPH(glyph) | kVerticalGlyph;
    return glyph;
}

LONG RealizedFont::Kerning(HGLYPH left, HGLYPH right) const {
    if (Device() || left >= glyphCount_ || right >= glyphCount_) return 0;  // unknown or turned for vertical writing
    std::lock_guard lock(FreeTypeLock());
    FT_Vector kern = {0, 0};
    if (FT_Get_Kerning(face_, left, right, FT_KERNING_UNSCALED, &kern) != 0) return 0;
    return std::lround(double(kern.x) * metrics_.xScale);
}

const std::vector<KERNINGPAIR>& RealizedFont::KerningPairs() const {
    std::lock_guard lock(FreeTypeLock());
    if (kerningPairs_) return *kerningPairs_;
    kerningPairs_.emplace();
    if (Device()) return *kerningPairs_;  // the driver gives no pairs
    // The 'kern' table (version 0): subtables of a header of six bytes;
    // format 0 holds sorted (left, right, value) entries of six bytes.
    const std::span<const BYTE> kern = chosen_.file->Table(chosen_.face, FontTag("kern"));
    if (kern.size() < 4 || BigEndian16(kern, 0) != 0) return *kerningPairs_;
    std::unordered_map<uint32_t, LONG> amounts;  // left << 16 | right, font units
    size_t at = 4;
    for (uint16_t table = 0, tables = BigEndian16(kern, 2); table < tables && kern.size() - at >= 6; ++table) {
        const uint16_t length = BigEndian16(kern, at + 2), coverage = BigEndian16(kern, at + 4);
        const bool horizontal = (coverage & 1) != 0, minimum = (coverage & 2) != 0, crossStream = (coverage & 4) != 0;
        const bool replace = (coverage & 8) != 0;
        if ((coverage >> 8) == 0 && horizontal && !minimum && !crossStream && kern.size() - at >= 14) {
            // The pairs may run past a length that overflowed 16 bits: the count rules.
            const size_t count = std::min<size_t>(BigEndian16(kern, at + 6), (kern.size() - at - 14) / 6);
            for (size_t i = 0; i < count; ++i) {
                const size_t entry = at + 14 + 6 * i;
                const uint32_t pair = uint32_t(BigEndian16(kern, entry)) << 16 | BigEndian16(kern, entry + 2);
                const LONG value = int16_t(BigEndian16(kern, entry + 4));
                amounts[pair] = replace ? value : amounts[pair] + value;
            }
        }
        if (length < 6) break;
        at += length;
        if (at > kern.size()) break;
    }
    if (amounts.empty()) return *kerningPairs_;

    // The characters of each glyph, as the cmap gives them.
    std::unordered_map<FT_UInt, std::vector<WCHAR>> characters;
    FT_UInt glyph = 0;
    for (FT_ULong code = FT_Get_First_Char(face_, &glyph); glyph != 0; code = FT_Get_Next_Char(face_, code, &glyph)) {
        if (symbolCmap_ && code >= 0xF000 && code <= 0xF0FF) code -= 0xF000;
        if (code <= 0xFFFF) characters[glyph].push_back(WCHAR(code));
    }
    for (const auto& [pair, amount] : amounts) {
        const auto first = characters.find(pair >> 16), second = characters.find(pair & 0xFFFF);
        if (first == characters.end() || second == characters.end()) continue;
        const int scaled = int(std::lround(amount * metrics_.xScale));
        for (const WCHAR a : first->second)
            for (const WCHAR b : second->second) kerningPairs_->push_back({a, b, scaled});
    }
    std::sort(kerningPairs_->begin(), kerningPairs_->end(), [](const KERNINGPAIR& x, const KERNINGPAIR& y) {
        return x.wFirst != y.wFirst ? x.wFirst < y.wFirst : x.wSecond < y.wSecond;
    });
    return *kerningPairs_;
}

// A device font is sized from the driver's IFIMETRICS as an installed face
// from its tables: the em of fwdUnitsPerEm units, the cell of fwdWinAscender
// and fwdWinDescender, the average and largest widths of fwdAveCharWidth and
// fwdMaxCharInc. Its glyphs turn with the escapement as outline glyphs do;
// the engine neither emboldens nor slants them.
std::shared_ptr<const RealizedFont> RealizedFont::CreateForDevice(const ChosenFace& chosen,
                                                                  const FontRealizationRequest& request) {
    const XFORM& t = request.transform;
    const FontMatrix toDevice{t.eM11, t.eM12, t.eM21, t.eM22};
    double sx, sy;
    if (!TransformScales(toDevice, sx, sy)) return Fail(ERROR_INVALID_PARAMETER);
    const DeviceFontFace& device = *chosen.device;
    const IFIMETRICS& ifi = device.Ifi();
    const double unitsPerEm = ifi.fwdUnitsPerEm > 0 ? ifi.fwdUnitsPerEm : 1000;
    double ascentUnits = ifi.fwdWinAscender, descentUnits = ifi.fwdWinDescender;
    if (ascentUnits + descentUnits <= 0) ascentUnits = unitsPerEm * 0.8, descentUnits = unitsPerEm * 0.2;
    const LONG em = EmPixels(request, sy, unitsPerEm, ascentUnits + descentUnits);
    if (!em) return Fail(ERROR_INVALID_PARAMETER);
    const double averageUnits = ifi.fwdAveCharWidth > 0 ? ifi.fwdAveCharWidth : unitsPerEm / 2;
    const double stretch = Stretch(request, sx, sy, em, averageUnits, unitsPerEm);
    if (!stretch) return Fail(ERROR_INVALID_PARAMETER);

    std::shared_ptr<RealizedFont> font(new RealizedFont());
    font->chosen_ = chosen;
    font->chosen_.simulateBold = font->chosen_.simulateItalic = false;
    font->request_ = request;
    font->glyphCount_ = ULONG(device.handles.size());
    font->stretch_ = stretch;
    font->upright_ = Scale(stretch, 1);
    Orient(request, toDevice, sx, sy, stretch, FontMatrix{}, font->glyphMatrix_, font->baseline_);
    font->fixedPitch_ = (ifi.jWinPitchAndFamily & 0x3) == FIXED_PITCH || (ifi.flInfo & FM_INFO_CONSTANT_WIDTH);

    FontMetrics& m = font->metrics_;
    SetCell(m, em, unitsPerEm, stretch, ascentUnits, descentUnits, double(ifi.fwdMacLineGap), ifi.fwdMacAscender,
            ifi.fwdMacDescender);
    m.aveCharWidth = std::lround(averageUnits * m.xScale);
    m.maxCharWidth = std::lround((ifi.fwdMaxCharInc > 0 ? ifi.fwdMaxCharInc : averageUnits) * m.xScale);
    m.weight = ifi.usWinWeight ? ifi.usWinWeight : FW_NORMAL;
    m.italic = (ifi.fsSelection & FM_SEL_ITALIC) != 0;
    m.pitchAndFamily = BYTE((font->fixedPitch_ ? 0 : TMPF_FIXED_PITCH) | TMPF_DEVICE |
                            ((ifi.flInfo & FM_INFO_TECH_BITMAP) ? 0 : TMPF_VECTOR) |
                            (ifi.jWinPitchAndFamily & 0xF0));
    m.charset = chosen.charset;
    m.firstChar = ifi.wcFirstChar;
    m.lastChar = ifi.wcLastChar;
    m.defaultChar = ifi.wcDefaultChar;
    m.breakChar = ifi.wcBreakChar;
    bool present = false;
    const HGLYPH fallback = device.Glyph(m.defaultChar, &present);
    font->defaultGlyph_ = present ? fallback : (device.handles.empty() ? 0 : device.handles.front());
    SetBars(m, ifi.fwdUnderscorePosition, ifi.fwdUnderscoreSize, ifi.fwdStrikeoutPosition, ifi.fwdStrikeoutSize);
    return font;
}

std::optional<GlyphMetrics> RealizedFont::DeviceGlyph(HGLYPH glyph) const {
    const DeviceFontFace& device = *Device();
    const auto at = std::lower_bound(device.handles.begin(), device.handles.end(), glyph);
    if (at == device.handles.end() || *at != glyph) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return std::nullopt;
    }
    // The driver is asked with the engine lock held, taken before the
    // font's own, as on every other path that measures on a device.
    std::lock_guard engine(EngineLock());
    std::lock_guard lock(FreeTypeLock());
    if (!deviceWidths_) {
        std::vector<LONG> widths;
        if (!QueryDeviceAdvanceWidths(*this, widths) || widths.size() != device.handles.size())
            widths.assign(device.handles.size(), metrics_.aveCharWidth);
        deviceWidths_ = std::move(widths);
    }
    GlyphMetrics m;
    m.advance = (*deviceWidths_)[size_t(at - device.handles.begin())];
    m.abcB = m.advance;
    // The cell, turned with the baseline: along it (bx, by), down across it (-by, bx).
    const double bx = baseline_[0], by = baseline_[1];
    double left = 0, right = 0, top = 0, bottom = 0;
    bool first = true;
    for (const double along : {0.0, double(m.advance)})
        for (const double down : {double(-metrics_.ascent), double(metrics_.descent)}) {
            const double x = along * bx - down * by, y = along * by + down * bx;
            left = first ? x : std::min(left, x), right = first ? x : std::max(right, x);
            top = first ? y : std::min(top, y), bottom = first ? y : std::max(bottom, y);
            first = false;
        }
    m.blackBox = RECT{LONG(std::floor(left)), LONG(std::floor(top)), std::max(LONG(std::ceil(right)), LONG(std::floor(left)) + 1),
                      std::max(LONG(std::ceil(bottom)), LONG(std::floor(top)) + 1)};
    m.cellIncrement = {LONG(std::lround(bx * m.advance)), LONG(std::lround(by * m.advance))};
    return m;
}

std::shared_ptr<const RealizedFont> RealizeFont(const ChosenFace& face, const FontRealizationRequest& request) {
    std::lock_guard lock(FreeTypeLock());
    static std::list<std::shared_ptr<const RealizedFont>> recent;  // most recently used first
    for (auto it = recent.begin(); it != recent.end(); ++it) {
        if (SameChoice((*it)->Face(), face) && (*it)->Request() == request) {
            recent.splice(recent.begin(), recent, it);
            return recent.front();
        }
    }
    auto font = RealizedFont::Create(face, request);
    if (!font) return nullptr;
    recent.push_front(font);
    if (recent.size() > kRealizedFontCacheSize) recent.pop_back();
    return font;
}

}  // namespace w32
