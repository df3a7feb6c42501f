// Paths and painted areas on a DC's surface.
//
//   DrawFillPath           DrvFillPath when hooked, else EngFillPath
//   DrawStrokePath         DrvStrokePath when hooked; a geometric stroke
//                          it refuses comes back widened to DrvFillPath
//                          (WINDING); then EngStrokePath
//   DrawStrokeAndFillPath  DrvStrokeAndFillPath when hooked, else the fill
//                          and the stroke each on their own way
//   DrawPaint              DrvPaint when hooked, else DrvBitBlt with the
//                          mix's ROP3 when blits are hooked, else EngPaint
//
// The brush mix is the DC's ROP2 in both bytes, as GDI derives it; a null
// brush fills nothing and a PS_NULL pen strokes nothing.
//
// A solid cosmetic pen drawn with R2_COPYPEN on a bitmap no driver draws
// (a memory DC's), inside one clip rectangle or none, goes straight into
// the bitmap: the pixels EngStrokePath would paint, without the span list,
// the clip, brush and path objects in between.
#include "win32k/dispatch.h"
#include "win32k/engdraw.h"
#include "win32k/rasterclip.h"

namespace w32 {

namespace {

FLONG FillOptions(const DrawContext& dc) { return dc.polyFillMode == WINDING ? FP_WINDINGMODE : FP_ALTERNATEMODE; }

RECTL PathBounds(const DevicePath& path, LONG margin) {
    EnginePathObj po(path);
    RECTFX bounds;
    PATHOBJ_vGetBounds(&po, &bounds);
    return PixelBounds(bounds, margin);
}

// Half the pen's width and a pixel more, for what joins and caps may add.
LONG StrokeMargin(const EnginePen& pen, FLOAT miterLimit) {
    if (!pen.geometric) return 1;
    const double half = double(pen.width) / 2 + 1;
    return LONG(pen.join == PS_JOIN_MITER ? half * std::max(1.0, double(miterLimit)) : half * 1.5) + 1;
}

// The brush a pen paints with.
EngineBrush PenBrush(const EnginePen& pen) {
    if (pen.geometric && pen.brush) return *pen.brush;
    EngineBrush brush;
    brush.style = BS_SOLID;
    brush.color = pen.color;
    return brush;
}

bool FillWithEngine(const DrawCall& call, const DevicePath& path, const EngineBrush& brush, FLONG options,
                    const RECTL& bounds, MIX mix) {
    return call.DrawWithEngine(bounds, [&](const EngineTarget& target) {
        DevicePath shifted = path;
        shifted.Offset(target.shift.x << 4, target.shift.y << 4);
        EnginePathObj po(shifted);
        EngineClip clip(target.clip, Shifted(bounds, target.shift));
        EngineBrushObj bo(brush, call.Context(), target.colors);
        POINTL origin{call.Context().brushOrigin.x + target.shift.x, call.Context().brushOrigin.y + target.shift.y};
        return EngFillPath(target.surface, &po, &clip, &bo, &origin, mix, options) != FALSE;
    });
}

bool Fill(const DrawCall& call, const DevicePath& path, const EngineBrush& brush, FLONG options) {
    const DrawContext& dc = call.Context();
    const RECTL bounds = PathBounds(path, 0);
    const MIX mix = MIX_FROM_ROP2(dc.rop2);
    if (auto fill = call.Hooked<PFN_DrvFillPath>(HOOK_FILLPATH, INDEX_DrvFillPath)) {
        EngineClip clip(call.Clip(), bounds);
        if (!clip.visible) return true;
        EnginePathObj po(path);
        EngineBrushObj bo(brush, dc, call.Colors());
        POINTL origin = dc.brushOrigin;
        if (call.CallDriver("DrvFillPath", mix,
                            [&] { return fill(call.Surface(), &po, &clip, &bo, &origin, mix, options); }))
            return true;
    }
    return FillWithEngine(call, path, brush, options, bounds, mix);
}

bool Stroke(const DrawCall& call, const DevicePath& path, const EnginePen& pen) {
    const DrawContext& dc = call.Context();
    const RECTL bounds = PathBounds(path, StrokeMargin(pen, dc.miterLimit));
    const MIX mix = MIX_FROM_ROP2(dc.rop2);
    const EngineBrush brush = PenBrush(pen);
    EngineLineAttrs attrs(pen, dc.miterLimit);
    if (auto stroke = call.Hooked<PFN_DrvStrokePath>(HOOK_STROKEPATH, INDEX_DrvStrokePath)) {
        EngineClip clip(call.Clip(), bounds);
        if (!clip.visible) return true;
        EnginePathObj po(path);
        EngineBrushObj bo(brush, dc, call.Colors());
        EngineXform xform;
        POINTL origin = dc.brushOrigin;
        if (call.CallDriver("DrvStrokePath", mix, [&] {
                return stroke(call.Surface(), &po, &clip, &xform, &bo, &origin, &attrs, mix);
            }))
            return true;
    }
    if (pen.geometric) {
        // The area the pen covers, filled as the driver fills any path.
        DevicePath wide = WidenPath(path, GeometricPenOf(&attrs));
        if (auto fill = call.Hooked<PFN_DrvFillPath>(HOOK_FILLPATH, INDEX_DrvFillPath)) {
            EngineClip clip(call.Clip(), bounds);
            EnginePathObj po(wide);
            EngineBrushObj bo(brush, dc, call.Colors());
            POINTL origin = dc.brushOrigin;
            if (call.CallDriver("DrvFillPath", mix,
                                [&] { return fill(call.Surface(), &po, &clip, &bo, &origin, mix, FP_WINDINGMODE); }))
                return true;
        }
        return FillWithEngine(call, wide, brush, FP_WINDINGMODE, bounds, mix);
    }
    return call.DrawWithEngine(bounds, [&](const EngineTarget& target) {
        DevicePath shifted = path;
        shifted.Offset(target.shift.x << 4, target.shift.y << 4);
        EnginePathObj po(shifted);
        EngineClip clip(target.clip, Shifted(bounds, target.shift));
        EngineBrushObj bo(brush, dc, target.colors);
        EngineXform xform;
        POINTL origin{dc.brushOrigin.x + target.shift.x, dc.brushOrigin.y + target.shift.y};
        return EngStrokePath(target.surface, &po, &clip, &xform, &bo, &origin, &attrs, mix) != FALSE;
    });
}

// Writes one pixel value over the pixels of a line, inside the bitmap: 32
// bits a pixel straight into the rows, the other formats as the raster
// engine fills them.
class SolidLineWriter final : public LinePixelSink {
public:
    SolidLineWriter(const raster::Bitmap& bitmap, ULONG pixel)
        : bitmap_(bitmap), pixel_(pixel), direct_(bitmap.format == BMF_32BPP) {}

    void Row(LONG y, LONG left, LONG right) override {
        if (direct_) {
            uint32_t* row = reinterpret_cast<uint32_t*>(bitmap_.Line(y));
            std::fill(row + left, row + right, uint32_t(pixel_));
        } else {
            raster::FillSolidRect(bitmap_, RECTL{left, y, right, y + 1}, pixel_);
        }
    }
    void Column(LONG x, LONG top, LONG bottom) override {
        if (direct_) {
            BYTE* at = bitmap_.Line(top) + intptr_t(x) * 4;
            for (LONG y = top; y < bottom; ++y, at += bitmap_.delta) *reinterpret_cast<uint32_t*>(at) = pixel_;
        } else {
            raster::FillSolidRect(bitmap_, RECTL{x, top, x + 1, bottom}, pixel_);
        }
    }

private:
    const raster::Bitmap& bitmap_;
    ULONG pixel_;
    bool direct_;
};

// The line straight into the DC's bitmap, when the pen gives every pixel
// one value whatever was there (solid, cosmetic, R2_COPYPEN), no driver
// takes the call and the clip is one rectangle or none. False, with
// nothing drawn, for any other: the line then goes the usual way.
bool StrokeIntoBitmap(const DrawContext& dc, const DevicePath& path, const EnginePen& pen) {
    if (pen.geometric || pen.style != PS_SOLID || dc.rop2 != R2_COPYPEN) return false;
    const EngineSurface* surface = dc.target.surface.get();
    if (!surface || dc.target.device || surface->so.iType != STYPE_BITMAP) return false;
    if (dc.clip && dc.clip->RectCount() > 1) return false;
    const SurfaceColors colors = ColorsOfSurface(*surface, nullptr);
    raster::Bitmap bitmap;
    if (!BitmapOfSurface(surface->so, colors, bitmap)) return false;
    RECTL limit = w32::BitmapRect(bitmap);
    if (dc.clip) limit = dc.clip->Empty() ? RECTL{0, 0, 0, 0} : Intersect(limit, dc.clip->Bounds());
    // The pen's colour as EngineBrushObj makes it the brush's pixel.
    SolidLineWriter writer(bitmap, colors.PixelFor(pen.color & 0xFFFFFF) & bitmap.PixelMask());
    return SolidCosmeticLine(path, limit, writer);
}

}  // namespace

bool DrawFillPath(const DrawContext& dc, const DevicePath& path, const EngineBrush& brush) {
    std::lock_guard lock(EngineLock());
    DrawCall call(dc);
    if (!call.Ready()) return false;
    if (brush.style == BS_NULL || path.Empty()) return true;
    return Fill(call, path, brush, FillOptions(dc));
}

bool DrawStrokePath(const DrawContext& dc, const DevicePath& path, const EnginePen& pen) {
    std::lock_guard lock(EngineLock());
    if (StrokeIntoBitmap(dc, path, pen)) return true;
    DrawCall call(dc);
    if (!call.Ready()) return false;
    if (pen.style == PS_NULL || path.Empty()) return true;
    return Stroke(call, path, pen);
}

bool DrawStrokeAndFillPath(const DrawContext& dc, const DevicePath& path, const EnginePen& pen,
                           const EngineBrush& brush) {
    std::lock_guard lock(EngineLock());
    DrawCall call(dc);
    if (!call.Ready()) return false;
    if (path.Empty()) return true;
    const bool fills = brush.style != BS_NULL, strokes = pen.style != PS_NULL;
    if (fills && strokes) {
        if (auto both = call.Hooked<PFN_DrvStrokeAndFillPath>(HOOK_STROKEANDFILLPATH, INDEX_DrvStrokeAndFillPath)) {
            const RECTL bounds = PathBounds(path, StrokeMargin(pen, dc.miterLimit));
            EngineClip clip(call.Clip(), bounds);
            if (!clip.visible) return true;
            const MIX mix = MIX_FROM_ROP2(dc.rop2);
            const EngineBrush penBrush = PenBrush(pen);
            EnginePathObj po(path);
            EngineBrushObj stroke(penBrush, dc, call.Colors()), fill(brush, dc, call.Colors());
            EngineLineAttrs attrs(pen, dc.miterLimit);
            EngineXform xform;
            POINTL origin = dc.brushOrigin;
            const FLONG options = FillOptions(dc);
            if (call.CallDriver("DrvStrokeAndFillPath", mix, [&] {
                    return both(call.Surface(), &po, &clip, &xform, &stroke, &attrs, &fill, &origin, mix, options);
                }))
                return true;
        }
    }
    if (fills && !Fill(call, path, brush, FillOptions(dc))) return false;
    return !strokes || Stroke(call, path, pen);
}

bool DrawPaint(const DrawContext& dc, const Region& region, const EngineBrush& brush, MIX mix) {
    std::lock_guard lock(EngineLock());
    DrawCall call(dc);
    if (!call.Ready()) return false;
    if (brush.style == BS_NULL) return true;
    const Region area = region.Intersect(call.Clip());
    if (area.Empty()) return true;
    const RECTL bounds = area.Bounds();
    // The clip is the area to paint, told against the whole surface so that
    // it is never trivial.
    const RECTL surface{0, 0, call.Surface()->sizlBitmap.cx, call.Surface()->sizlBitmap.cy};
    if (auto paint = call.Hooked<PFN_DrvPaint>(HOOK_PAINT, INDEX_DrvPaint)) {
        EngineClip clip(area, surface);
        EngineBrushObj bo(brush, dc, call.Colors());
        POINTL origin = dc.brushOrigin;
        if (call.CallDriver("DrvPaint", mix, [&] { return paint(call.Surface(), &clip, &bo, &origin, mix); }))
            return true;
    } else if (auto blt = call.Hooked<PFN_DrvBitBlt>(HOOK_BITBLT, INDEX_DrvBitBlt)) {
        EngineClip clip(area, bounds);
        EngineBrushObj bo(brush, dc, call.Colors());
        POINTL origin = dc.brushOrigin;
        RECTL target = bounds;
        const ROP4 rop4 = ROP4_FROM_ROP3(raster::Rop2ToRop3(int(mix & 0xFF)));
        if (call.CallDriver("DrvBitBlt", rop4, [&] {
                return blt(call.Surface(), nullptr, nullptr, &clip, nullptr, &target, nullptr, nullptr, &bo, &origin,
                           rop4);
            }))
            return true;
    }
    return call.DrawWithEngine(bounds, [&](const EngineTarget& target) {
        Region shifted = area;
        shifted.Offset(target.shift.x, target.shift.y);
        EngineClip clip(shifted.Intersect(target.clip), Shifted(surface, target.shift));
        EngineBrushObj bo(brush, dc, target.colors);
        POINTL origin{dc.brushOrigin.x + target.shift.x, dc.brushOrigin.y + target.shift.y};
        return EngPaint(target.surface, &clip, &bo, &origin, mix) != FALSE;
    });
}

}  // namespace w32
