// Realised fonts: a chosen face at the size and turn a DC asks for, as GDI
// realises a logical font before it measures or draws text with it. A
// realised font gives, in device pixels, the metrics of the upright font
// (what TEXTMETRICW is made from), each glyph's advance, ABC widths and
// black box, its bitmaps (one bit a pixel for drivers and plain text, eight
// bits of coverage for smoothed text and GetGlyphOutlineW's grey levels) and
// its outline, and the face's kerning pairs.
//
// How GDI's rules are applied here:
// - Size. lfHeight < 0 asks for an em of -lfHeight; lfHeight > 0 for a cell
//   (usWinAscent + usWinDescent, else the hhea ascender and descender) of
//   lfHeight; 0 for GDI's default, an em of 12 units. The em in device
//   pixels is rounded to a whole number of pixels (at least 1), the size the
//   glyphs are hinted at, and every metric is scaled from it:
//   ascent = round(usWinAscent * em / unitsPerEm), likewise descent,
//   height = ascent + descent, internal leading = height - em, external
//   leading = max(0, round((lineGap - (winAscent + winDescent - (hhea
//   ascender - hhea descender))) * em / unitsPerEm)). The average width is
//   OS/2 xAvgCharWidth's, the largest hhea advanceWidthMax's (one more with
//   simulated bold); the first and last characters are OS/2's (a symbol
//   face's 0xF0xx codes less 0xF000), the default and break characters
//   usDefaultChar and usBreakChar (0 and 0x20 before OS/2 version 2).
// - Width. lfWidth 0 keeps the face's own proportions (stretched by the
//   transform's ratio of x to y scale); otherwise x is scaled so that the
//   average character width (OS/2 xAvgCharWidth) comes out at |lfWidth|
//   (in device pixels: |lfWidth| times the x scale).
// - Turning. In GM_COMPATIBLE the glyphs and the baseline both turn by
//   lfEscapement (lfOrientation is ignored, as GDI does), and the transform
//   only scales heights and widths: glyphs never shear or mirror. In
//   GM_ADVANCED the glyphs turn by lfOrientation, the baseline runs along
//   lfEscapement, and the whole transform applies to glyphs and advances.
//   Angles are tenths of a degree counter-clockwise as seen on the device.
// - Simulations. Simulated bold widens each glyph by one device pixel to
//   the right and its advance by one (tmOverhang stays 0, as for TrueType);
//   simulated italic slants the glyph by 12 degrees (x moves right by 0.2126
//   of the height above the baseline).
// - Quality. NONANTIALIASED_QUALITY, DEFAULT_QUALITY, DRAFT_QUALITY and
//   PROOF_QUALITY draw one-bit glyphs (the machine's font smoothing is off,
//   as on a server and always on a printer); ANTIALIASED_QUALITY and the
//   ClearType qualities draw grey ones (no sub-pixel colour).
// - Glyphs are hinted by the face's own instructions for monochrome output
//   (the grey bitmaps are rendered from the same hinted outline, so text
//   keeps its advances whatever the quality); faces without instructions are only scaled, never
//   auto-hinted. Embedded bitmaps are not used. Above kLargestHintedEm
//   pixels the outlines are scaled unhinted.
// - Vertical "@" faces: the characters that are wide in East Asian text
//   (CJK, kana, hangul, full-width forms) map to their glyph turned 90
//   degrees counter-clockwise, centred on the cell's middle, advancing by the
//   cell height, so that a line drawn at escapement 2700 shows them upright.
//   Vertical alternate forms (the 'vert' substitutions) are not applied.
//
// - Device fonts (win32k/devicefont.h): sized by the same rules from the
//   driver's IFIMETRICS, turned by the escapement, never emboldened or
//   slanted by the engine; their widths are the driver's, and they have no
//   bitmaps, outlines or kerning pairs here (ERROR_NOT_SUPPORTED).
//
// Errors: null (or nullopt / false) with the last error set:
// ERROR_INVALID_PARAMETER for a face that is not in its file, a singular or
// non-finite transform, or a size beyond kLargestEm; ERROR_INVALID_DATA when
// FreeType refuses the face or the size; ERROR_NOT_ENOUGH_MEMORY for a glyph
// bitmap larger than kLargestGlyphBitmap (metrics and outlines still work).
//
// Thread safety: every call holds FreeTypeLock(); realised fonts are shared
// between DCs and threads as `const`. A device font's first measure asks its
// driver (win32k/devicefont.h) with the engine lock taken first.
#pragma once
#include <windows.h>
#include <winddi.h>

#include <list>
#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

#include "win32k/fontchoice.h"

namespace w32 {

// The largest em, in device pixels, a font is realised at.
inline constexpr LONG kLargestEm = 1 << 20;
// Above this em the glyphs are scaled from unhinted outlines.
inline constexpr LONG kLargestHintedEm = 4096;
// The largest glyph bitmap made, in bytes.
inline constexpr size_t kLargestGlyphBitmap = 16u << 20;
// GDI's default em for lfHeight 0, in logical units.
inline constexpr LONG kDefaultFontEm = 12;
// Set in a glyph handle of a vertical face: the glyph turned for vertical writing.
inline constexpr HGLYPH kVerticalGlyph = 0x00010000;

// A 2x2 matrix in device space (y down), named as XFORM names its members:
// x' = m11 * x + m21 * y, y' = m12 * x + m22 * y.
struct FontMatrix {
    double m11 = 1, m12 = 0, m21 = 0, m22 = 1;

    // This after `first`: applies `first`, then this.
    FontMatrix operator*(const FontMatrix& first) const {
        return {m11 * first.m11 + m21 * first.m12, m12 * first.m11 + m22 * first.m12,
                m11 * first.m21 + m21 * first.m22, m12 * first.m21 + m22 * first.m22};
    }
    double X(double x, double y) const { return m11 * x + m21 * y; }
    double Y(double x, double y) const { return m12 * x + m22 * y; }
    bool IsIdentity() const { return m11 == 1 && m12 == 0 && m21 == 0 && m22 == 1; }
};

// What a DC realises a logical font with, beyond the face the mapper chose.
struct FontRealizationRequest {
    LONG height = 0;       // lfHeight, logical units
    LONG width = 0;        // lfWidth, logical units
    LONG escapement = 0;   // lfEscapement, tenths of a degree
    LONG orientation = 0;  // lfOrientation, tenths of a degree
    BYTE quality = DEFAULT_QUALITY;
    // Logical to device; eDx and eDy are not used. It maps the glyph's own
    // space (x along the baseline, y down as in MM_TEXT): the identity for
    // MM_TEXT, the mapping mode's scale otherwise. Under GM_ADVANCED it is
    // the world transform with the page scale, and a caller whose logical y
    // axis points up takes that flip out, as GDI keeps such text upright.
    XFORM transform = {1, 0, 0, 1, 0, 0};
    bool advanced = false;  // GM_ADVANCED: the transform applies to glyphs

    static FontRealizationRequest FromLogFont(const LOGFONTW& font, const XFORM& toDevice, bool advanced);
    bool operator==(const FontRealizationRequest& other) const;
};

// The upright font's metrics in device pixels.
struct FontMetrics {
    LONG em = 0;  // pixels per em the glyphs are hinted at
    LONG height = 0, ascent = 0, descent = 0;
    LONG internalLeading = 0, externalLeading = 0;
    LONG aveCharWidth = 0, maxCharWidth = 0;
    LONG weight = FW_NORMAL;
    LONG overhang = 0;
    WCHAR firstChar = 0, lastChar = 0, defaultChar = 0, breakChar = 0;
    bool italic = false;
    BYTE pitchAndFamily = 0;  // TMPF_* with the FF_* family, as tmPitchAndFamily
    BYTE charset = ANSI_CHARSET;
    // Underline below the baseline and strikeout above it, positive distances.
    LONG underlinePosition = 0, underlineThickness = 0;
    LONG strikeoutPosition = 0, strikeoutThickness = 0;
    USHORT unitsPerEm = 0;
    double xScale = 0, yScale = 0;  // device pixels per font unit, along the baseline and up
};

// One glyph's measures in device pixels.
struct GlyphMetrics {
    LONG advance = 0;  // along the baseline, upright, as GetCharWidth32W counts it
    // The upright glyph's ABC widths: abcA + abcB + abcC == advance.
    LONG abcA = 0, abcB = 0, abcC = 0;
    // The realised (turned) glyph's pixels from its reference point, y down:
    // the box of its one-bit bitmap. Boxes hold the pixels whose centres the
    // outline's control box covers, at least one pixel each way, so a blank
    // glyph has a blank pixel above the reference point (abcB 1), as GDI
    // gives it.
    RECT blackBox = {};
    POINT cellIncrement = {};  // the advance as a device vector, rounded
};

// A glyph's bitmap: rows from the top, `stride` bytes each; one bit a pixel
// (most significant first, rows of (width + 7) / 8 bytes) or one byte of
// coverage (0 to 255) a pixel.
struct GlyphBitmap {
    POINT origin = {};  // the top-left pixel from the reference point, y down
    SIZE size = {};
    LONG stride = 0;
    BYTE bitsPerPixel = 1;
    std::vector<BYTE> bits;
};

// A glyph's outline in device units relative to its reference point, 26.6
// fixed point, in two forms.
struct GlyphOutline {
    // As the font holds it (y up, contours in the font's own order): points
    // with their kinds (tag & 3: 1 on the curve, 0 a quadratic control point,
    // 2 a cubic one) and the last point of each contour. GetGlyphOutlineW's
    // native and Bezier forms are made from this.
    std::vector<POINT> points;
    std::vector<BYTE> tags;
    std::vector<USHORT> contourEnds;

    // As a path on the device (y down), every contour closed: Move and Line
    // take one point, Quadratic two (control, end), Cubic three.
    enum class Verb : BYTE { Move, Line, Quadratic, Cubic, Close };
    std::vector<Verb> verbs;
    std::vector<POINT> pathPoints;
};

// GetGlyphOutlineW's grey levels from 8-bit coverage: 0 to levels - 1 (5,
// 17 or 65 levels for GGO_GRAY2/4/8_BITMAP).
inline BYTE CoverageLevel(BYTE coverage, UINT levels) {
    return levels < 2 ? 0 : BYTE((coverage * (levels - 1) + 127) / 255);
}

class RealizedFont : public std::enable_shared_from_this<RealizedFont> {
public:
    // A new realisation; RealizeFont below shares them.
    static std::shared_ptr<const RealizedFont> Create(const ChosenFace& face, const FontRealizationRequest& request);
    ~RealizedFont();
    RealizedFont(const RealizedFont&) = delete;
    RealizedFont& operator=(const RealizedFont&) = delete;

    const ChosenFace& Face() const { return chosen_; }
    // The printer's own font this realises; null for an installed face.
    const DeviceFontFace* Device() const { return chosen_.device.get(); }
    // Every character has the same advance.
    bool FixedPitch() const { return fixedPitch_; }
    const FontRealizationRequest& Request() const { return request_; }
    const FontMetrics& Metrics() const { return metrics_; }
    // The text is drawn with the 8-bit coverage bitmaps rather than the 1-bit ones.
    bool Antialiased() const { return antialiased_; }
    // Glyphs differ from the upright font: turned, slanted, stretched or sheared.
    bool GlyphsTransformed() const { return !glyphMatrix_.IsIdentity(); }
    // The upright glyph to the device glyph (after hinting at Metrics().em).
    const FontMatrix& GlyphMatrix() const { return glyphMatrix_; }
    // The device vector one pixel of upright advance moves the pen by.
    void BaselineVector(double* x, double* y) const {
        *x = baseline_[0];
        *y = baseline_[1];
    }
    // Glyph handles run from 0 to GlyphCount() - 1 (a device font's are the
    // driver's: see win32k/devicefont.h).
    ULONG GlyphCount() const { return glyphCount_; }

    // The glyph for a character: the cmap's (a symbol face's (3,0) cmap at
    // 0xF000 + code), else the face's default character's, else glyph 0;
    // `*present` says whether the face has the character.
    HGLYPH GlyphIndex(WCHAR ch, bool* present = nullptr) const;

    std::optional<GlyphMetrics> Glyph(HGLYPH glyph) const;
    // Shared, so that it outlives the font's cache.
    std::shared_ptr<const GlyphBitmap> Bitmap(HGLYPH glyph, bool coverage) const;
    std::shared_ptr<const GlyphOutline> Outline(HGLYPH glyph, bool hinted = true) const;

    // The 'kern' table's adjustment between two glyphs, device pixels along the baseline.
    LONG Kerning(HGLYPH left, HGLYPH right) const;
    // Every pair of the 'kern' table (horizontal format 0 subtables) as
    // characters, in device pixels, ordered by first and second character.
    const std::vector<KERNINGPAIR>& KerningPairs() const;

private:
    RealizedFont() = default;
    // A device font's realisation: metrics from the driver's IFIMETRICS.
    static std::shared_ptr<const RealizedFont> CreateForDevice(const ChosenFace& face,
                                                               const FontRealizationRequest& request);
    std::optional<GlyphMetrics> DeviceGlyph(HGLYPH glyph) const;
    // Loads `glyph` into the face's slot as the realised glyph's outline
    // before the upright and device matrices (scaled, turned for vertical
    // writing, emboldened), with its advance in pixels before the stretch.
    bool LoadUpright(HGLYPH glyph, bool hinted, double* advance) const;
    GlyphMetrics Measure(double hintedAdvance) const;

    struct CacheKey {
        HGLYPH glyph;
        BYTE kind;
        bool operator==(const CacheKey& o) const { return glyph == o.glyph && kind == o.kind; }
    };
    struct CacheKeyHash {
        size_t operator()(const CacheKey& k) const { return size_t(k.glyph) * 4 + k.kind; }
    };
    struct CacheEntry {
        std::shared_ptr<const void> data;
        size_t bytes;
        std::list<CacheKey>::iterator age;
    };
    std::shared_ptr<const void> Cached(CacheKey key) const;
    void Keep(CacheKey key, std::shared_ptr<const void> data, size_t bytes) const;

    ChosenFace chosen_;  // holds the file the FreeType face reads
    FontRealizationRequest request_;
    FT_Face face_ = nullptr;
    FontMetrics metrics_;
    bool antialiased_ = false;
    bool hinted_ = true;        // the em is small enough to hint at
    double loadScale_ = 1;      // device pixels per pixel of the FreeType size
    double stretch_ = 1;        // upright x scale (width asked, transform's x to y ratio)
    double italicSlant_ = 0;
    FontMatrix upright_;        // the upright glyph's stretch and slant
    FontMatrix glyphMatrix_;    // the device glyph's
    double baseline_[2] = {1, 0};
    ULONG glyphCount_ = 0;
    bool symbolCmap_ = false;
    bool fixedPitch_ = false;
    HGLYPH defaultGlyph_ = 0;
    // A device font's widths in pixels by the face's handles, once asked.
    mutable std::optional<std::vector<LONG>> deviceWidths_;

    mutable std::unordered_map<HGLYPH, GlyphMetrics> metricsCache_;
    mutable std::unordered_map<CacheKey, CacheEntry, CacheKeyHash> glyphCache_;
    mutable std::list<CacheKey> glyphAges_;  // most recently used first
    mutable size_t glyphCacheBytes_ = 0;
    mutable std::optional<std::vector<KERNINGPAIR>> kerningPairs_;
};

// The realised font for a face and a request: the one realised before for
// the same inputs while it is among the recently used, else a new one.
std::shared_ptr<const RealizedFont> RealizeFont(const ChosenFace& face, const FontRealizationRequest& request);

}  // namespace w32
