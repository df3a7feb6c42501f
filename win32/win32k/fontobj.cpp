// FONTOBJ: a realised font as drivers get it with a string, and the engine
// services that describe it (FONTOBJ_pifi, FONTOBJ_pxoGetXform,
// FONTOBJ_vGetInfo), give its glyphs (FONTOBJ_cGetGlyphs,
// FONTOBJ_cGetAllGlyphHandles) and its TrueType file
// (FONTOBJ_pvTrueTypeFontFile, the whole file, a collection's too).
//
// FONTOBJ_cGetGlyphs gives one glyph a call (the first of those asked) as
// a GLYPHDATA in the font object's buffer, valid until the next call: its
// advance, bearings and ink in 28.4 along the baseline, its black box on
// the device, and its bitmap (FO_GLYPHBITS) or its outline (FO_PATHOBJ: a
// PATHOBJ in 28.4 device units from the reference point, every contour a
// closed figure, the font's quadratic curves as the cubic Béziers a
// PATHOBJ holds). A handle the font does not have gives its default glyph.
#include "win32k/fontobj.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <unordered_map>

#include "win32k/devicefont.h"
#include "win32k/driver.h"

namespace w32 {

namespace {

using PfnDrvDestroyFont = VOID(APIENTRY*)(FONTOBJ* pfo);

// The first size of a PDEV's font table at which fonts no longer in use are let go.
constexpr size_t kFirstPrune = 16;

std::atomic<ULONG> gNextFontUniq{1};

ULONG NextUniq() {
    ULONG uniq = gNextFontUniq++;
    if (!uniq) uniq = gNextFontUniq++;  // 0 is no number
    return uniq;
}

// The font objects of one PDEV (key: its HDEV), or of memory DCs (key 0).
struct FontObjects {
    std::unordered_map<const RealizedFont*, std::unique_ptr<EngineFont>> fonts;
    size_t pruneAt = kFirstPrune;
};

// Kept for the life of the process, never destroyed: font objects left at
// exit would otherwise go after the table of live drawing objects.
std::unordered_map<uintptr_t, FontObjects>& Registry() {
    static auto* registry = new std::unordered_map<uintptr_t, FontObjects>;
    return *registry;
}

// The font's notional units (y up) to device pixels (y down): the em
// square scaled to the em in pixels, then the glyphs' own turn, stretch
// and slant.
XFORML NotionalToDevice(const RealizedFont& font) {
    const double s = font.Metrics().yScale;
    const FontMatrix& g = font.GlyphMatrix();
    return XFORML{FLOATL(g.m11 * s), FLOATL(g.m12 * s), FLOATL(-g.m21 * s), FLOATL(-g.m22 * s), 0.0f, 0.0f};
}

constexpr BYTE kDoubleByteCharsets[] = {SHIFTJIS_CHARSET, HANGUL_CHARSET, GB2312_CHARSET, CHINESEBIG5_CHARSET,
                                        JOHAB_CHARSET};

bool DoubleByteFace(const FontFaceInfo& info) {
    for (BYTE charset : kDoubleByteCharsets)
        if (info.CoversCharset(charset)) return true;
    return false;
}

bool DoubleByteCharset(BYTE charset) {
    return std::find(std::begin(kDoubleByteCharsets), std::end(kDoubleByteCharsets), charset) !=
           std::end(kDoubleByteCharsets);
}

// The IFIMETRICS drivers read: the device font's own, or one made from the face.
IFIMETRICS* FontMetricsOf(EngineFont& font) {
    if (const DeviceFontFace* device = font.font->Device())
        return const_cast<IFIMETRICS*>(&device->Ifi());
    if (!font.ifi) font.ifi.emplace(font.font->Face());
    return font.ifi->get();
}

void DestroyFont(PrinterDevice* device, const EnginePdev* pdev, EngineFont& font) {
    if (!device || !device->driver || !pdev || !font.givenToDriver) return;
    auto destroy = device->driver->Callback<PfnDrvDestroyFont>(INDEX_DrvDestroyFont);
    if (!destroy) return;
    {
        DriverCall call(*device);
        destroy(&font);
    }
    RecordDdiCall("DrvDestroyFont", pdev);
}

// Lets go of the fonts only the engine still holds.
void Prune(PrinterDevice* device, FontObjects& objects) {
    std::erase_if(objects.fonts, [&](auto& entry) {
        if (entry.second->font.use_count() > 1) return false;
        DestroyFont(device, device ? device->pdev.get() : nullptr, *entry.second);
        return true;
    });
}

LONG Fix(LONG pixels) { return LONG(ULONG(pixels) << 4); }

// 26.6 to 28.4, to the nearest sixteenth.
FIX ToFix(double v) { return FIX(std::clamp(std::floor(v / 4 + 0.5), -2147483648.0, 2147483647.0)); }

// A glyph's outline as the device path a PATHOBJ holds.
DevicePath OutlinePath(const GlyphOutline& outline) {
    DevicePath path;
    size_t at = 0;
    double x = 0, y = 0;  // the current point, 26.6
    auto point = [&](size_t i) { return POINTFIX{ToFix(outline.pathPoints[i].x), ToFix(outline.pathPoints[i].y)}; };
    for (const GlyphOutline::Verb verb : outline.verbs) {
        const size_t needed = verb == GlyphOutline::Verb::Cubic       ? 3
                              : verb == GlyphOutline::Verb::Quadratic ? 2
                              : verb == GlyphOutline::Verb::Close     ? 0
                                                                      : 1;
        if (at + needed > outline.pathPoints.size()) break;
        switch (verb) {
            case GlyphOutline::Verb::Move: path.MoveTo(point(at)); break;
            case GlyphOutline::Verb::Line: path.LineTo(point(at)); break;
            case GlyphOutline::Verb::Quadratic: {
                // The cubic with the same curve: controls two thirds of the
                // way from each end to the quadratic's control point.
                const POINT c = outline.pathPoints[at], end = outline.pathPoints[at + 1];
                path.BezierTo(POINTFIX{ToFix(x + 2.0 / 3 * (c.x - x)), ToFix(y + 2.0 / 3 * (c.y - y))},
                              POINTFIX{ToFix(end.x + 2.0 / 3 * (c.x - end.x)), ToFix(end.y + 2.0 / 3 * (c.y - end.y))},
                              point(at + 1));
                break;
            }
            case GlyphOutline::Verb::Cubic: path.BezierTo(point(at), point(at + 1), point(at + 2)); break;
            case GlyphOutline::Verb::Close: path.CloseFigure(); break;
        }
        at += needed;
        if (needed) x = outline.pathPoints[at - 1].x, y = outline.pathPoints[at - 1].y;
    }
    return path;
}

void Measure(GLYPHDATA& data, const RealizedFont& font, HGLYPH glyph, const GlyphMetrics& m) {
    data = GLYPHDATA{};
    data.hg = glyph;
    data.fxD = Fix(m.advance);
    data.fxA = Fix(m.abcA);
    data.fxAB = Fix(m.abcA + m.abcB);
    // Ink above the baseline is positive.
    data.fxInkTop = Fix(-m.blackBox.top);
    data.fxInkBottom = Fix(-m.blackBox.bottom);
    data.rclInk = RECTL{m.blackBox.left, m.blackBox.top, m.blackBox.right, m.blackBox.bottom};
    double bx, by;
    font.BaselineVector(&bx, &by);
    constexpr double kOne = 4294967296.0;  // 1 in 32.32
    data.ptqD.x.QuadPart = std::llround(bx * m.advance * kOne);
    data.ptqD.y.QuadPart = std::llround(by * m.advance * kOne);
}

}  // namespace

HGLYPH ValidGlyph(const RealizedFont& font, HGLYPH glyph) {
    if (const DeviceFontFace* device = font.Device())
        return device->HasGlyph(glyph) ? glyph : font.GlyphIndex(font.Metrics().defaultChar);
    const HGLYPH index = glyph & ~kVerticalGlyph;
    const bool turned = (glyph & kVerticalGlyph) != 0;
    if (index < font.GlyphCount() && (!turned || font.Face().vertical)) return glyph;
    return font.GlyphIndex(font.Metrics().defaultChar) & ~kVerticalGlyph;
}

EngineFont::EngineFont(std::shared_ptr<const RealizedFont> realized, SIZE resolution)
    : FONTOBJ{}, font(std::move(realized)), xform(NotionalToDevice(*font)) {
    const ChosenFace& face = font->Face();
    const FontMetrics& m = font->Metrics();
    iUniq = NextUniq();
    sizLogResPpi = resolution;
    ulStyleSize = ULONG(std::lround(double(m.em) * 72 / resolution.cy));
    cxMax = ULONG(std::max<LONG>(0, m.maxCharWidth));
    if (const DeviceFontFace* device = font->Device()) {
        // The printer's own font: its number among the driver's, no file.
        iFace = device->iFace;
        flFontType = FO_TYPE_DEVICE;
        if (DoubleByteCharset(device->Ifi().jWinCharSet)) flFontType |= FO_DBCS_FONT;
        return;
    }
    const FontFaceInfo& info = face.Info();
    iFace = face.face + 1;
    flFontType = FO_TYPE_TRUETYPE;
    if (!info.trueTypeOutlines) flFontType |= FO_CFF;
    if (face.simulateBold) flFontType |= FO_SIM_BOLD;
    if (face.simulateItalic) flFontType |= FO_SIM_ITALIC;
    if (DoubleByteFace(info)) flFontType |= FO_DBCS_FONT;
    if (face.vertical) flFontType |= FO_VERT_FACE;
    if (font->Antialiased()) flFontType |= FO_GRAY16;
    iTTUniq = iFile = ULONG_PTR(face.file->Id());
}

EngineFont* KnownFont(const FONTOBJ* font) {
    return IsDrawingObject(font) ? const_cast<EngineFont*>(static_cast<const EngineFont*>(font)) : nullptr;
}

EngineFont& FontObjectFor(PrinterDevice* device, const std::shared_ptr<const RealizedFont>& font) {
    std::lock_guard lock(EngineLock());
    const EnginePdev* pdev = device ? device->pdev.get() : nullptr;
    FontObjects& objects = Registry()[pdev ? pdev->handle : 0];
    if (auto found = objects.fonts.find(font.get()); found != objects.fonts.end()) return *found->second;
    if (objects.fonts.size() >= objects.pruneAt) {
        Prune(device, objects);
        objects.pruneAt = std::max(kFirstPrune, 2 * objects.fonts.size());
    }
    SIZE resolution{96, 96};
    if (pdev && pdev->gdiInfo.ulLogPixelsX && pdev->gdiInfo.ulLogPixelsY)
        resolution = SIZE{LONG(pdev->gdiInfo.ulLogPixelsX), LONG(pdev->gdiInfo.ulLogPixelsY)};
    auto made = std::make_unique<EngineFont>(font, resolution);
    EngineFont& result = *made;
    objects.fonts.emplace(font.get(), std::move(made));
    return result;
}

void ReleaseFontObjects(PrinterDevice& device, const EnginePdev& pdev) {
    std::lock_guard lock(EngineLock());
    auto found = Registry().find(pdev.handle);
    if (found == Registry().end()) return;
    for (auto& [key, font] : found->second.fonts) DestroyFont(&device, &pdev, *font);
    Registry().erase(found);
}

bool AppendGlyphBits(const RealizedFont& font, HGLYPH glyph, std::vector<uint64_t>& storage, size_t& offset) {
    const bool gray = font.Antialiased();
    const auto bitmap = font.Bitmap(glyph, gray);
    POINTL origin{bitmap ? bitmap->origin.x : 0, bitmap ? bitmap->origin.y : 0};
    LONG width = bitmap ? bitmap->size.cx : 0, height = bitmap ? bitmap->size.cy : 0;
    const bool blank = width <= 0 || height <= 0;
    if (blank) {
        const auto metrics = font.Glyph(glyph);
        origin = metrics ? POINTL{metrics->blackBox.left, metrics->blackBox.top} : POINTL{0, -1};
        width = height = 1;
    }
    const size_t rowBytes = gray ? size_t(width + 1) / 2 : size_t(width + 7) / 8;
    const size_t bytes = std::max(sizeof(GLYPHBITS), offsetof(GLYPHBITS, aj) + rowBytes * size_t(height));
    offset = storage.size() * sizeof(uint64_t);
    storage.resize(storage.size() + (bytes + 7) / 8, 0);
    BYTE* at = reinterpret_cast<BYTE*>(storage.data()) + offset;
    const GLYPHBITS header{origin, SIZEL{width, height}, {0}};
    std::memcpy(at, &header, offsetof(GLYPHBITS, aj));
    if (blank) return bitmap != nullptr;
    BYTE* rows = at + offsetof(GLYPHBITS, aj);
    for (LONG y = 0; y < height; ++y) {
        const BYTE* from = bitmap->bits.data() + size_t(y) * size_t(bitmap->stride);
        BYTE* to = rows + size_t(y) * rowBytes;
        if (!gray) {
            std::memcpy(to, from, rowBytes);
            continue;
        }
        for (LONG x = 0; x < width; ++x)
            to[x / 2] |= BYTE(CoverageLevel(from[x], 16) << ((x & 1) ? 0 : 4));
    }
    return true;
}

}  // namespace w32

using w32::EngineFont;

PIFIMETRICS APIENTRY FONTOBJ_pifi(FONTOBJ* pfo) {
    EngineFont* font = w32::KnownFont(pfo);
    if (!font) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    std::lock_guard lock(w32::EngineLock());
    return w32::FontMetricsOf(*font);
}

XFORMOBJ* APIENTRY FONTOBJ_pxoGetXform(FONTOBJ* pfo) {
    EngineFont* font = w32::KnownFont(pfo);
    if (!font) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return &font->xform;
}

ULONG APIENTRY FONTOBJ_cGetGlyphs(FONTOBJ* pfo, ULONG iMode, ULONG cGlyph, HGLYPH* phg, PVOID* ppvGlyph) {
    EngineFont* font = w32::KnownFont(pfo);
    if (!font || !cGlyph || !phg || !ppvGlyph || (iMode != FO_GLYPHBITS && iMode != FO_PATHOBJ)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::lock_guard lock(w32::EngineLock());
    const w32::RealizedFont& realized = *font->font;
    const HGLYPH glyph = w32::ValidGlyph(realized, phg[0]);
    const auto metrics = realized.Glyph(glyph);
    if (!metrics) return 0;
    GLYPHDATA& data = font->glyphData;
    w32::Measure(data, realized, glyph, *metrics);
    if (iMode == FO_GLYPHBITS) {
        font->glyphBits.clear();
        size_t offset = 0;
        if (!w32::AppendGlyphBits(realized, glyph, font->glyphBits, offset)) return 0;
        data.gdf.pgb = reinterpret_cast<GLYPHBITS*>(reinterpret_cast<BYTE*>(font->glyphBits.data()) + offset);
    } else {
        const auto outline = realized.Outline(glyph);
        if (!outline) return 0;
        font->glyphPath.reset();
        font->glyphPath.emplace(w32::OutlinePath(*outline));
        data.gdf.ppo = &*font->glyphPath;
    }
    *ppvGlyph = &data;
    return 1;
}

PVOID APIENTRY FONTOBJ_pvTrueTypeFontFile(FONTOBJ* pfo, ULONG* pcjFile) {
    EngineFont* font = w32::KnownFont(pfo);
    if (!font) {
        if (pcjFile) *pcjFile = 0;
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (!font->font->Face().file) {  // a device font has no file
        if (pcjFile) *pcjFile = 0;
        SetLastError(ERROR_NOT_SUPPORTED);
        return nullptr;
    }
    // The engine's copy of the file, which lives as long as the font does.
    const std::span<const BYTE> bytes = font->font->Face().file->Bytes();
    if (pcjFile) *pcjFile = ULONG(bytes.size());
    return const_cast<BYTE*>(bytes.data());
}

ULONG APIENTRY FONTOBJ_cGetAllGlyphHandles(FONTOBJ* pfo, HGLYPH* phg) {
    EngineFont* font = w32::KnownFont(pfo);
    if (!font) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const ULONG count = font->font->GlyphCount();
    if (phg) {
        if (const w32::DeviceFontFace* device = font->font->Device()) std::copy(device->handles.begin(), device->handles.end(), phg);
        else
            for (ULONG i = 0; i < count; ++i) phg[i] = i;
    }
    return count;
}

VOID APIENTRY FONTOBJ_vGetInfo(FONTOBJ* pfo, ULONG cjSize, FONTINFO* pfi) {
    EngineFont* font = w32::KnownFont(pfo);
    if (!font || !pfi) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return;
    }
    std::lock_guard lock(w32::EngineLock());
    // The largest glyph: the face's box on the device, a pixel more each way
    // for rounding and one more across for emboldening.
    const RECTL& box = w32::FontMetricsOf(*font)->rclFontBox;
    const XFORML& m = font->xform.matrix;
    double left = 0, right = 0, top = 0, bottom = 0;
    bool first = true;
    for (const LONG x : {box.left, box.right})
        for (const LONG y : {box.top, box.bottom}) {
            const double dx = m.eM11 * x + m.eM21 * y, dy = m.eM12 * x + m.eM22 * y;
            left = first ? dx : std::min(left, dx), right = first ? dx : std::max(right, dx);
            top = first ? dy : std::min(top, dy), bottom = first ? dy : std::max(bottom, dy);
            first = false;
        }
    const double width = std::ceil(right - left) + 3, height = std::ceil(bottom - top) + 2;
    auto bytes = [&](double rowBytes) {
        const double total = double(offsetof(GLYPHBITS, aj)) + rowBytes * height;
        return ULONG(std::min(total, 4294967295.0));
    };
    FONTINFO info{};
    info.cjThis = sizeof(FONTINFO);
    info.flCaps = font->font->Device() ? 0 : FO_OUTLINE_CAPABLE;
    info.cGlyphsSupported = font->font->GlyphCount();
    info.cjMaxGlyph1 = bytes(std::ceil(width / 8));
    info.cjMaxGlyph4 = bytes(std::ceil(width / 2));
    info.cjMaxGlyph8 = bytes(width);
    info.cjMaxGlyph32 = bytes(width * 4);
    std::memcpy(pfi, &info, std::min<size_t>(cjSize, sizeof(info)));
}
