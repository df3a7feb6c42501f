// EngTextOut: the engine draws a string on a bitmap it keeps, in the order
// a driver's DrvTextOut would:
//   1. prclOpaque, when given, filled with pboOpaque (copied, whatever the mix)
//   2. each glyph at its place: the pixels its one-bit bitmap sets painted
//      with pboFore under the mix's foreground ROP2; a smoothed font
//      (FO_GRAY16) drawn with a solid brush and R2_COPYPEN blends its 8-bit
//      coverage over the destination instead (AlphaBlend's rule)
//   3. the rectangles of prclExtra (underlines, strike-outs; the array ends
//      with a rectangle whose coordinates are all 0) filled with pboFore
//      under the same ROP2
// all inside the clip. The glyphs come from the engine's font object
// (the FONTOBJ must be one the engine made), at the places of the engine's
// STROBJ, or of pgp for a STROBJ a driver made.
//
// The pixels set in a glyph's rows become spans, which the raster engine
// paints many glyphs at a time; a glyph meets only the clip rectangles of
// the bands it crosses.
#include <algorithm>
#include <unordered_map>

#include "win32k/engdraw.h"
#include "win32k/fontobj.h"
#include "win32k/raster.h"

namespace w32 {

namespace {

// Spans gathered before the raster engine paints them.
constexpr size_t kSpanBatch = 4096;
// Glyph bitmaps one call keeps at hand.
constexpr size_t kKeptGlyphs = 256;

// A clip's rectangles, banded top to bottom as a region keeps them.
class ClipBands {
public:
    explicit ClipBands(std::vector<RECTL> rects) : rects_(std::move(rects)) {}
    bool Empty() const { return rects_.empty(); }

    // Calls paint(r) for each non-empty part of `area` inside the clip.
    template <typename Paint>
    void ForEach(const RECTL& area, Paint&& paint) const {
        if (EmptyRect(area)) return;
        // Band bottoms never decrease: skip the bands above the area.
        auto first = std::partition_point(rects_.begin(), rects_.end(),
                                          [&](const RECTL& r) { return r.bottom <= area.top; });
        for (auto it = first; it != rects_.end() && it->top < area.bottom; ++it) {
            const RECTL cut = Intersect(*it, area);
            if (!EmptyRect(cut)) paint(cut);
        }
    }

private:
    std::vector<RECTL> rects_;
};

class GlyphPainter {
public:
    GlyphPainter(const raster::Bitmap& target, const ClipBands& clip, const EngineFont& font,
                 const raster::Pattern& brush, BYTE rop3, bool blend)
        : target_(target), clip_(clip), font_(*font.font), brush_(brush), rop3_(rop3), blend_(blend) {
        if (blend_) fore_ = raster::PixelToColor(target, brush.pixels[0]);
    }
    ~GlyphPainter() { Flush(); }

    void Draw(HGLYPH handle, POINTL place) {
        const HGLYPH glyph = ValidGlyph(font_, handle);
        const std::shared_ptr<const GlyphBitmap>& bitmap = BitmapOf(glyph);
        if (!bitmap || bitmap->size.cx <= 0 || bitmap->size.cy <= 0) return;
        const int64_t left = int64_t(place.x) + bitmap->origin.x, top = int64_t(place.y) + bitmap->origin.y;
        if (left >= target_.width || top >= target_.height || left + bitmap->size.cx <= 0 ||
            top + bitmap->size.cy <= 0)
            return;
        const RECTL area = Intersect(
            RECTL{LONG(left), LONG(top), LONG(left + bitmap->size.cx), LONG(top + bitmap->size.cy)},
            BitmapRect(target_));
        if (blend_) Blend(*bitmap, area, LONG(left), LONG(top));
        else Spans(*bitmap, area, LONG(left), LONG(top));
    }

    void Flush() {
        if (spans_.empty()) return;
        raster::FillSpans(target_, spans_, brush_, rop3_);
        spans_.clear();
    }

private:
    const std::shared_ptr<const GlyphBitmap>& BitmapOf(HGLYPH glyph) {
        auto found = kept_.find(glyph);
        if (found != kept_.end()) return found->second;
        if (kept_.size() >= kKeptGlyphs) kept_.clear();
        return kept_.emplace(glyph, font_.Bitmap(glyph, blend_)).first->second;
    }

    // The runs of set bits of each row, as spans.
    void Spans(const GlyphBitmap& glyph, const RECTL& area, LONG left, LONG top) {
        clip_.ForEach(area, [&](const RECTL& r) {
            for (LONG y = r.top; y < r.bottom; ++y) {
                const BYTE* row = glyph.bits.data() + size_t(y - top) * size_t(glyph.stride);
                LONG x = r.left;
                while (x < r.right) {
                    const LONG column = x - left;
                    if (!(column & 7) && !row[column >> 3]) {
                        x += 8;
                        continue;
                    }
                    if (!(row[column >> 3] & (0x80 >> (column & 7)))) {
                        ++x;
                        continue;
                    }
                    const LONG start = x;
                    while (x < r.right && (row[(x - left) >> 3] & (0x80 >> ((x - left) & 7)))) ++x;
                    spans_.push_back(Span{y, start, x});
                }
            }
        });
        if (spans_.size() >= kSpanBatch) Flush();
    }

    // The foreground colour over the destination by the glyph's coverage:
    // a premultiplied 32-bit source with the coverage as its alpha.
    void Blend(const GlyphBitmap& glyph, const RECTL& area, LONG left, LONG top) {
        const LONG width = glyph.size.cx, height = glyph.size.cy;
        source_.assign(size_t(width) * size_t(height), 0);
        for (LONG y = 0; y < height; ++y)
            for (LONG x = 0; x < width; ++x) {
                const ULONG a = glyph.bits[size_t(y) * size_t(glyph.stride) + size_t(x)];
                if (!a) continue;
                auto channel = [&](ULONG c) { return (c * a + 127) / 255; };
                source_[size_t(y) * size_t(width) + size_t(x)] = a << 24 | channel(GetRValue(fore_)) << 16 |
                                                                  channel(GetGValue(fore_)) << 8 |
                                                                  channel(GetBValue(fore_));
            }
        raster::Bitmap source;
        source.scan0 = reinterpret_cast<BYTE*>(source_.data());
        source.delta = width * 4;
        source.width = width;
        source.height = height;
        source.format = BMF_32BPP;
        cut_.clear();
        clip_.ForEach(area, [&](const RECTL& r) { cut_.push_back(r); });
        raster::AlphaBlend(target_, RECTL{left, top, left + width, top + height}, source, RECTL{0, 0, width, height},
                           BLENDFUNCTION{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA}, cut_);
    }

    const raster::Bitmap& target_;
    const ClipBands& clip_;
    const RealizedFont& font_;
    const raster::Pattern& brush_;
    BYTE rop3_;
    bool blend_;
    COLORREF fore_ = 0;
    std::vector<Span> spans_;
    std::vector<ULONG> source_;
    std::vector<RECTL> cut_;
    std::unordered_map<HGLYPH, std::shared_ptr<const GlyphBitmap>> kept_;
};

void FillInside(const raster::Bitmap& target, const ClipBands& clip, const RECTL& rect, const raster::Pattern& brush,
                BYTE rop3) {
    std::vector<RECTL> parts;
    clip.ForEach(Intersect(rect, BitmapRect(target)), [&](const RECTL& r) { parts.push_back(r); });
    raster::FillRects(target, parts, brush, rop3);
}

bool DrawString(SURFOBJ* pso, STROBJ* pstro, FONTOBJ* pfo, CLIPOBJ* pco, const RECTL* extras, const RECTL* opaque,
             BRUSHOBJ* pboFore, BRUSHOBJ* pboOpaque, POINTL* origin, MIX mix) {
    raster::Bitmap target;
    if (!EngineBitmap(pso, target)) return false;
    const EngineFont* font = KnownFont(pfo);
    const EngineStrObj* string = KnownString(pstro);
    if (!pstro || !font || (!string && pstro->cGlyphs && !pstro->pgp)) return Failed(ERROR_INVALID_PARAMETER);
    const int rop2 = int(mix & 0xFF);
    if (rop2 < R2_BLACK || rop2 > R2_WHITE) return Failed(ERROR_INVALID_PARAMETER);
    const BYTE rop3 = BYTE(raster::Rop2ToRop3(rop2));
    raster::Pattern fore, back;
    if (!BrushPattern(pboFore, origin, fore)) return Failed(ERROR_INVALID_PARAMETER);
    if (opaque && !BrushPattern(pboOpaque, origin, back)) return Failed(ERROR_INVALID_PARAMETER);

    const ClipBands clip(ClipRects(pco, BitmapRect(target), target));
    if (clip.Empty()) return true;
    if (opaque) FillInside(target, clip, Ordered(*opaque), back, 0xF0);
    {
        const bool solid = pboFore->iSolidColor != 0xFFFFFFFF;
        GlyphPainter painter(target, clip, *font, fore, rop3,
                             font->font->Antialiased() && solid && rop2 == R2_COPYPEN);
        if (string) {
            const TextLayout& layout = string->layout;
            for (size_t i = 0; i < layout.glyphs.size(); ++i)
                painter.Draw(layout.glyphs[i], POINTL{layout.positions[i].x + string->shift.x,
                                                      layout.positions[i].y + string->shift.y});
        } else {
            for (ULONG i = 0; i < pstro->cGlyphs; ++i) painter.Draw(pstro->pgp[i].hg, pstro->pgp[i].ptl);
        }
    }
    for (const RECTL* r = extras; r && (r->left || r->top || r->right || r->bottom); ++r)
        if (!EmptyRect(*r)) FillInside(target, clip, *r, fore, rop3);
    return true;
}

}  // namespace

}  // namespace w32

BOOL APIENTRY EngTextOut(SURFOBJ* pso, STROBJ* pstro, FONTOBJ* pfo, CLIPOBJ* pco, RECTL* prclExtra,
                         RECTL* prclOpaque, BRUSHOBJ* pboFore, BRUSHOBJ* pboOpaque, POINTL* pptlOrg, MIX mix) {
    std::lock_guard lock(w32::EngineLock());
    return w32::DrawString(pso, pstro, pfo, pco, prclExtra, prclOpaque, pboFore, pboOpaque, pptlOrg, mix);
}
