// The glyphs of a realised font: each is loaded hinted at the font's em,
// scaled, turned for vertical writing and emboldened in its own space
// (LoadUpright), then put through the upright matrix for its ABC widths or
// the device matrix for its black box, bitmaps and outline. FreeType
// rasterises; the results are cached per font, within a byte budget.
#include "win32k/fontrealize.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <algorithm>
#include <climits>
#include <cmath>
#include <limits>

namespace w32 {
namespace {

// What a font keeps of its glyphs' bitmaps and outlines.
constexpr size_t kGlyphCacheBytes = 4u << 20;
constexpr size_t kGlyphCacheEntries = 2048;
// Metrics of this many glyphs are kept; the cache starts again when full.
constexpr size_t kMetricsCacheEntries = 8192;

enum CacheKind : BYTE { kMonoBitmap, kCoverageBitmap, kHintedOutline, kUnhintedOutline };

// Applies a device (y-down) matrix to FreeType's y-up points.
FT_Vector Apply(const FontMatrix& m, const FT_Vector& p) {
    const double x = double(p.x), y = double(p.y);
    return {FT_Pos(std::llround(m.m11 * x - m.m21 * y)), FT_Pos(std::llround(-m.m12 * x + m.m22 * y))};
}

void Transform(FT_Outline& outline, const FontMatrix& m) {
    if (m.IsIdentity()) return;
    for (short i = 0; i < outline.n_points; ++i) outline.points[i] = Apply(m, outline.points[i]);
}

// The control box of the outline put through `m`, 26.6, y up.
FT_BBox TransformedBox(const FT_Outline& outline, const FontMatrix& m) {
    if (m.IsIdentity() || outline.n_points == 0) {
        FT_BBox box;
        FT_Outline_Get_CBox(&outline, &box);
        return box;
    }
    FT_BBox box = {LONG_MAX, LONG_MAX, LONG_MIN, LONG_MIN};
    for (short i = 0; i < outline.n_points; ++i) {
        const FT_Vector p = Apply(m, outline.points[i]);
        box.xMin = std::min(box.xMin, p.x), box.xMax = std::max(box.xMax, p.x);
        box.yMin = std::min(box.yMin, p.y), box.yMax = std::max(box.yMax, p.y);
    }
    return box;
}

// The pixels a one-bit rendering sets at most: those whose centres the box
// covers, widened to one pixel where it covers none (toward the nearer
// side), as the monochrome rasteriser sizes its bitmap.
void PixelSpan(FT_Pos low, FT_Pos high, LONG* first, LONG* end) {
    *first = LONG((low + 31) >> 6);
    *end = LONG((high + 32) >> 6);
    if (*first == *end) {
        if (((low + 31) & 63) - 31 + ((high + 32) & 63) - 32 < 0) --*first;
        else ++*end;
    }
}

RECT PixelBox(const FT_BBox& box) {
    LONG left, right, bottom, top;
    PixelSpan(box.xMin, box.xMax, &left, &right);
    PixelSpan(box.yMin, box.yMax, &bottom, &top);
    return {left, -top, right, -bottom};  // y down
}

// Outlines stay far inside 32 bits (kLargestEm pixels in 26.6); clamped all the same.
LONG ToLong(FT_Pos v) {
    return LONG(std::clamp<FT_Pos>(v, std::numeric_limits<LONG>::min(), std::numeric_limits<LONG>::max()));
}

// FT_Outline_Decompose's callbacks: the device path, y down, contours closed.
struct PathBuilder {
    GlyphOutline* out;
    bool open = false;

    void Add(GlyphOutline::Verb verb, std::initializer_list<const FT_Vector*> points) {
        out->verbs.push_back(verb);
        for (const FT_Vector* p : points) out->pathPoints.push_back({ToLong(p->x), ToLong(-p->y)});
    }
    static int MoveTo(const FT_Vector* to, void* user) {
        auto* self = static_cast<PathBuilder*>(user);
        if (self->open) self->out->verbs.push_back(GlyphOutline::Verb::Close);
        self->Add(GlyphOutline::Verb::Move, {to});
        self->open = true;
        return 0;
    }
    static int LineTo(const FT_Vector* to, void* user) {
        static_cast<PathBuilder*>(user)->Add(GlyphOutline::Verb::Line, {to});
        return 0;
    }
    static int ConicTo(const FT_Vector* control, const FT_Vector* to, void* user) {
        static_cast<PathBuilder*>(user)->Add(GlyphOutline::Verb::Quadratic, {control, to});
        return 0;
    }
    static int CubicTo(const FT_Vector* control1, const FT_Vector* control2, const FT_Vector* to, void* user) {
        static_cast<PathBuilder*>(user)->Add(GlyphOutline::Verb::Cubic, {control1, control2, to});
        return 0;
    }
};

}  // namespace

bool RealizedFont::LoadUpright(HGLYPH glyph, bool hinted, double* advance) const {
    const bool turned = (glyph & kVerticalGlyph) != 0;
    const HGLYPH index = glyph & ~kVerticalGlyph;
    if (!face_) {  // a device font: only its printer has the glyphs
        SetLastError(ERROR_NOT_SUPPORTED);
        return false;
    }
    if (index >= glyphCount_ || (turned && !chosen_.vertical)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    const bool hint = hinted && hinted_;
    const FT_Int32 flags =
        FT_LOAD_NO_BITMAP | FT_LOAD_NO_AUTOHINT | (hint ? FT_LOAD_TARGET_MONO : FT_LOAD_NO_HINTING);
    if (FT_Load_Glyph(face_, FT_UInt(index), flags) != 0 || face_->glyph->format != FT_GLYPH_FORMAT_OUTLINE) {
        SetLastError(ERROR_INVALID_DATA);
        return false;
    }
    const FT_GlyphSlot slot = face_->glyph;
    FT_Outline& outline = slot->outline;
    // GDI's advances are whole pixels of the hinted glyph.
    *advance = hinted_ ? double((slot->advance.x + 32) >> 6)
                       : std::round(double(slot->linearHoriAdvance) / 65536.0 * loadScale_);
    if (loadScale_ != 1) Transform(outline, FontMatrix{loadScale_, 0, 0, loadScale_});
    if (turned) {
        // A quarter turn counter-clockwise: the glyph's top to the left of
        // the cell, its middle on the middle of the cell's height.
        const FT_Pos ascent = FT_Pos(metrics_.ascent) * 64, descent = FT_Pos(metrics_.descent) * 64;
        const FT_Pos shift = (ascent - descent) / 2 - FT_Pos(*advance * 32);
        for (short i = 0; i < outline.n_points; ++i) {
            const FT_Vector p = outline.points[i];
            outline.points[i] = {ascent - p.y, p.x + shift};
        }
        *advance = metrics_.height;
    }
    if (chosen_.simulateBold && outline.n_points > 0) {
        // One pixel wider, to the right: the left edge stays where it was.
        FT_BBox before, after;
        FT_Outline_Get_CBox(&outline, &before);
        FT_Outline_EmboldenXY(&outline, 64, 0);
        FT_Outline_Get_CBox(&outline, &after);
        FT_Outline_Translate(&outline, before.xMin - after.xMin, 0);
    }
    return true;
}

GlyphMetrics RealizedFont::Measure(double advance) const {
    const FT_Outline& outline = face_->glyph->outline;
    GlyphMetrics m;
    m.advance = LONG(std::lround(advance * stretch_)) + (chosen_.simulateBold ? 1 : 0);
    const RECT upright = PixelBox(TransformedBox(outline, upright_));
    m.abcA = upright.left;
    m.abcB = upright.right - upright.left;
    m.abcC = m.advance - m.abcA - m.abcB;
    m.blackBox = PixelBox(TransformedBox(outline, glyphMatrix_));
    m.cellIncrement = {LONG(std::lround(baseline_[0] * m.advance)), LONG(std::lround(baseline_[1] * m.advance))};
    return m;
}

std::optional<GlyphMetrics> RealizedFont::Glyph(HGLYPH glyph) const {
    if (Device()) return DeviceGlyph(glyph);
    std::lock_guard lock(FreeTypeLock());
    if (const auto known = metricsCache_.find(glyph); known != metricsCache_.end()) return known->second;
    double advance = 0;
    if (!LoadUpright(glyph, true, &advance)) return std::nullopt;
    const GlyphMetrics m = Measure(advance);
    if (metricsCache_.size() >= kMetricsCacheEntries) metricsCache_.clear();
    metricsCache_.emplace(glyph, m);
    return m;
}

std::shared_ptr<const GlyphBitmap> RealizedFont::Bitmap(HGLYPH glyph, bool coverage) const {
    std::lock_guard lock(FreeTypeLock());
    const CacheKey key{glyph, BYTE(coverage ? kCoverageBitmap : kMonoBitmap)};
    if (auto known = Cached(key)) return std::static_pointer_cast<const GlyphBitmap>(known);
    double advance = 0;
    if (!LoadUpright(glyph, true, &advance)) return nullptr;
    const FT_GlyphSlot slot = face_->glyph;
    Transform(slot->outline, glyphMatrix_);

    // Refuse what would be too large to hold, before FreeType allocates it.
    FT_BBox box;
    FT_Outline_Get_CBox(&slot->outline, &box);
    const double width = double(box.xMax - box.xMin) / 64 + 2, height = double(box.yMax - box.yMin) / 64 + 2;
    const double bytes = (coverage ? width : std::ceil(width / 8)) * height;
    if (width > 0x7FFF || height > 0x7FFF || bytes > double(kLargestGlyphBitmap)) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    if (FT_Render_Glyph(slot, coverage ? FT_RENDER_MODE_NORMAL : FT_RENDER_MODE_MONO) != 0) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    const FT_Bitmap& rendered = slot->bitmap;
    auto bitmap = std::make_shared<GlyphBitmap>();
    bitmap->bitsPerPixel = coverage ? 8 : 1;
    bitmap->size = {LONG(rendered.width), LONG(rendered.rows)};
    bitmap->stride = coverage ? LONG(rendered.width) : LONG((rendered.width + 7) / 8);
    if (rendered.width > 0 && rendered.rows > 0) {
        bitmap->origin = {slot->bitmap_left, -slot->bitmap_top};
        bitmap->bits.resize(size_t(bitmap->stride) * rendered.rows);
        for (unsigned row = 0; row < rendered.rows; ++row) {
            const BYTE* from = rendered.pitch >= 0 ? rendered.buffer + size_t(row) * rendered.pitch
                                                   : rendered.buffer + size_t(rendered.rows - 1 - row) * -rendered.pitch;
            std::copy(from, from + bitmap->stride, bitmap->bits.begin() + ptrdiff_t(row) * bitmap->stride);
        }
    }
    Keep(key, bitmap, bitmap->bits.size() + sizeof(GlyphBitmap));
    return bitmap;
}

std::shared_ptr<const GlyphOutline> RealizedFont::Outline(HGLYPH glyph, bool hinted) const {
    std::lock_guard lock(FreeTypeLock());
    const CacheKey key{glyph, BYTE(hinted ? kHintedOutline : kUnhintedOutline)};
    if (auto known = Cached(key)) return std::static_pointer_cast<const GlyphOutline>(known);
    double advance = 0;
    if (!LoadUpright(glyph, hinted, &advance)) return nullptr;
    FT_Outline& outline = face_->glyph->outline;
    Transform(outline, glyphMatrix_);

    auto result = std::make_shared<GlyphOutline>();
    for (short i = 0; i < outline.n_points; ++i) {
        result->points.push_back({ToLong(outline.points[i].x), ToLong(outline.points[i].y)});
        result->tags.push_back(BYTE(outline.tags[i] & 3));
    }
    for (short i = 0; i < outline.n_contours; ++i) result->contourEnds.push_back(USHORT(outline.contours[i]));

    PathBuilder builder{result.get()};
    FT_Outline_Funcs funcs = {};
    funcs.move_to = &PathBuilder::MoveTo;
    funcs.line_to = &PathBuilder::LineTo;
    funcs.conic_to = &PathBuilder::ConicTo;
    funcs.cubic_to = &PathBuilder::CubicTo;
    if (outline.n_contours > 0 && FT_Outline_Decompose(&outline, &funcs, &builder) != 0) {
        SetLastError(ERROR_INVALID_DATA);
        return nullptr;
    }
    if (builder.open) result->verbs.push_back(GlyphOutline::Verb::Close);
    Keep(key, result,
         sizeof(GlyphOutline) + (result->points.size() + result->pathPoints.size()) * sizeof(POINT) +
             result->tags.size() + result->verbs.size() + result->contourEnds.size() * sizeof(USHORT));
    return result;
}

std::shared_ptr<const void> RealizedFont::Cached(CacheKey key) const {
    const auto found = glyphCache_.find(key);
    if (found == glyphCache_.end()) return nullptr;
    glyphAges_.splice(glyphAges_.begin(), glyphAges_, found->second.age);
    return found->second.data;
}

void RealizedFont::Keep(CacheKey key, std::shared_ptr<const void> data, size_t bytes) const {
    if (bytes > kGlyphCacheBytes / 4) return;  // one huge glyph would push out all the others
    glyphAges_.push_front(key);
    glyphCache_[key] = {std::move(data), bytes, glyphAges_.begin()};
    glyphCacheBytes_ += bytes;
    while (glyphCacheBytes_ > kGlyphCacheBytes || glyphCache_.size() > kGlyphCacheEntries) {
        const auto oldest = glyphCache_.find(glyphAges_.back());
        glyphCacheBytes_ -= oldest->second.bytes;
        glyphCache_.erase(oldest);
        glyphAges_.pop_back();
    }
}

}  // namespace w32
