// The engine's path drawing on bitmaps it keeps: EngFillPath (ALTERNATE or
// WINDING, FP_*MODE), EngStrokePath (a cosmetic pen one pixel wide with its
// style, a geometric pen widened and filled in WINDING mode),
// EngStrokeAndFillPath (the fill, then the stroke) and EngPaint (the clip
// area itself). The MIX's low byte is the ROP2 the brush is painted with.
// The background byte is the ROP2 of the gaps of a styled cosmetic line,
// which are painted in the DC's background colour when its background mode
// is OPAQUE (the engine's BRUSHOBJ carries both) and left alone otherwise;
// hatches in TRANSPARENT mode leave their gaps alone through the pattern.
#include "win32k/engdraw.h"

namespace w32 {

bool PathOf(PATHOBJ* path, DevicePath& out) {
    const EnginePathObj* known = KnownPath(path);
    if (!known) return false;
    out = known->path;
    return true;
}

namespace {

// Paints spans, cut to the clip, with the brush under the mix.
bool PaintSpans(const raster::Bitmap& target, std::vector<Span> spans, const CLIPOBJ* clip, BRUSHOBJ* brush,
                POINTL* origin, MIX mix) {
    raster::Pattern pattern;
    if (!BrushPattern(brush, origin, pattern)) return Failed(ERROR_INVALID_PARAMETER);
    const int rop2 = int(mix & 0xFF);
    if (rop2 < R2_BLACK || rop2 > R2_WHITE) return Failed(ERROR_INVALID_PARAMETER);
    // Every caller makes its spans within the surface and the clip's bounds,
    // which is all a trivial or rectangular clip says: only a complex one
    // still cuts them.
    if (clip && clip->iDComplexity == DC_COMPLEX) spans = ClipRegion(clip, BitmapRect(target)).Clip(spans);
    raster::FillSpans(target, spans, pattern, BYTE(raster::Rop2ToRop3(rop2)));
    return true;
}

// Where a path may draw: the surface, within the clip's bounds when it cuts.
RECTL Limit(const raster::Bitmap& target, const CLIPOBJ* clip) {
    RECTL limit = BitmapRect(target);
    if (clip && clip->iDComplexity != DC_TRIVIAL) limit = Intersect(limit, clip->rclBounds);
    return limit;
}

bool Fill(SURFOBJ* pso, PATHOBJ* ppo, CLIPOBJ* pco, BRUSHOBJ* pbo, POINTL* origin, MIX mix, FLONG options) {
    raster::Bitmap target;
    DevicePath path;
    if (!EngineBitmap(pso, target)) return false;
    if (!PathOf(ppo, path)) return Failed(ERROR_INVALID_PARAMETER);
    const int mode = (options & FP_WINDINGMODE) ? WINDING : ALTERNATE;
    const RECTL limit = Limit(target, pco);
    if (EmptyRect(limit)) return true;
    return PaintSpans(target, FillPathSpans(path, mode, limit), pco, pbo, origin, mix);
}

bool Stroke(SURFOBJ* pso, PATHOBJ* ppo, CLIPOBJ* pco, BRUSHOBJ* pbo, POINTL* origin, LINEATTRS* attrs, MIX mix) {
    raster::Bitmap target;
    DevicePath path;
    if (!EngineBitmap(pso, target)) return false;
    if (!PathOf(ppo, path) || !attrs) return Failed(ERROR_INVALID_PARAMETER);
    const RECTL limit = Limit(target, pco);
    if (EmptyRect(limit)) return true;
    if (attrs->fl & LA_GEOMETRIC)
        return PaintSpans(target, FillPathSpans(WidenPath(path, GeometricPenOf(attrs)), WINDING, limit), pco, pbo,
                          origin, mix);
    std::vector<Span> gaps;
    std::vector<Span> spans = CosmeticLineSpans(FlattenPath(path), CosmeticPenOf(attrs), limit, &gaps);
    // The gaps first, so that where a line crosses its own gap the dash is on top.
    const EngineBrushObj* known = KnownBrush(pbo);
    if (!gaps.empty() && known && known->opaqueBackground) {
        BRUSHOBJ background{};
        background.iSolidColor = known->target.PixelFor(known->bkColor);
        // A mix without a background byte paints the gaps as the dashes.
        const MIX gapMix = (mix >> 8) & 0xFF ? (mix >> 8) & 0xFF : mix & 0xFF;
        if (!PaintSpans(target, std::move(gaps), pco, &background, origin, gapMix)) return false;
    }
    return PaintSpans(target, std::move(spans), pco, pbo, origin, mix);
}

}  // namespace

}  // namespace w32

using namespace w32;

BOOL APIENTRY EngFillPath(SURFOBJ* pso, PATHOBJ* ppo, CLIPOBJ* pco, BRUSHOBJ* pbo, POINTL* pptlBrushOrg, MIX mix,
                          FLONG flOptions) {
    std::lock_guard lock(EngineLock());
    return Fill(pso, ppo, pco, pbo, pptlBrushOrg, mix, flOptions);
}

BOOL APIENTRY EngStrokePath(SURFOBJ* pso, PATHOBJ* ppo, CLIPOBJ* pco, XFORMOBJ*, BRUSHOBJ* pbo, POINTL* pptlBrushOrg,
                            LINEATTRS* plineattrs, MIX mix) {
    std::lock_guard lock(EngineLock());
    return Stroke(pso, ppo, pco, pbo, pptlBrushOrg, plineattrs, mix);
}

BOOL APIENTRY EngStrokeAndFillPath(SURFOBJ* pso, PATHOBJ* ppo, CLIPOBJ* pco, XFORMOBJ*, BRUSHOBJ* pboStroke,
                                   LINEATTRS* plineattrs, BRUSHOBJ* pboFill, POINTL* pptlBrushOrg, MIX mixFill,
                                   FLONG flOptions) {
    std::lock_guard lock(EngineLock());
    return Fill(pso, ppo, pco, pboFill, pptlBrushOrg, mixFill, flOptions) &&
           Stroke(pso, ppo, pco, pboStroke, pptlBrushOrg, plineattrs, mixFill);
}

BOOL APIENTRY EngPaint(SURFOBJ* pso, CLIPOBJ* pco, BRUSHOBJ* pbo, POINTL* pptlBrushOrg, MIX mix) {
    std::lock_guard lock(EngineLock());
    raster::Bitmap target;
    if (!EngineBitmap(pso, target)) return FALSE;
    // The clip is the area to paint; a trivial one is the whole surface.
    const RECTL bounds = pco && pco->iDComplexity != DC_TRIVIAL ? pco->rclBounds : BitmapRect(target);
    std::vector<RECTL> rects = ClipRects(pco, bounds, target);
    std::vector<Span> spans;
    for (const RECTL& r : rects)
        for (LONG y = r.top; y < r.bottom; ++y) spans.push_back(Span{y, r.left, r.right});
    return PaintSpans(target, std::move(spans), pco, pbo, pptlBrushOrg, mix);
}
