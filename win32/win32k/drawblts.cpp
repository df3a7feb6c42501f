// Blits on a DC's surface.
//
//   DrawBitBlt          DrvBitBlt when hooked, else EngBitBlt
//   DrawStretchBlt      DrvStretchBlt (SRCCOPY) or DrvStretchBltROP (any
//                       other ROP) when hooked, with its stretch mode as
//                       iMode and, for the halftone mode, the DC's colour
//                       adjustment; else
//                       EngStretchBltROP
//   DrawTransparentBlt  DrvTransparentBlt when hooked, else EngTransparentBlt
//   DrawAlphaBlend      DrvAlphaBlend when hooked, else EngAlphaBlend
//   DrawGradientFill    DrvGradientFill when hooked, else EngGradientFill
//
// The source's pixels reach the destination's through an XLATEOBJ made for
// the call; a monochrome source without colours of its own takes the DC's
// text and background colours. A ROP that reads the pattern with a null
// brush draws nothing.
#include "win32k/dispatch.h"

namespace w32 {

namespace {

bool ReadsPattern(BYTE rop3) { return ((rop3 >> 4) ^ rop3) & 0x0F; }

// The colours of a blit's source and whether they come from the DC.
SurfaceColors SourceColors(const BlitSource& source, bool& monoColors) {
    const EngineSurface& surface = *source.surface.surface;
    monoColors = surface.so.iBitmapFormat == BMF_1BPP && !surface.palette;
    return ColorsOfSurface(surface, source.surface.device);
}

bool SourceReady(const BlitSource* source) {
    if (source && source->surface.surface) return true;
    return Failed(ERROR_INVALID_PARAMETER);
}

// A source that is the device's own surface cannot be read by the engine.
bool EngineCanRead(const BlitSource& source) {
    if (source.surface.surface->so.iType == STYPE_BITMAP) return true;
    return Failed(ERROR_NOT_SUPPORTED);
}

struct SourceObjects {
    SourceObjects(const DrawCall& call, const BlitSource& source, const SurfaceColors& target)
        : colors(SourceColors(source, monoColors)),
          xlate(colors, target, call.Context().textColor, call.Context().bkColor, monoColors) {}
    bool monoColors = false;
    SurfaceColors colors;
    EngineXlate xlate;
};

// A blit that reads all of a source rectangle (TransparentBlt, AlphaBlend):
// under the engine lock, the destination cut by the DC's clip (nothing
// visible draws nothing). `tryDriver(call, clip)` hands it to the driver's
// hook and answers whether the driver drew it; else the engine draws it
// through `drawOnEngine(target, from, clip)` with the source's colours
// translated to the target's.
template <typename TryDriver, typename DrawOnEngine>
bool DrawFromSource(const DrawContext& dc, const BlitSource& source, const RECTL& destination, TryDriver tryDriver,
                    DrawOnEngine drawOnEngine) {
    std::lock_guard lock(EngineLock());
    DrawCall call(dc);
    if (!call.Ready() || !SourceReady(&source)) return false;
    const RECTL bounds = Ordered(destination);
    EngineClip clip(call.Clip(), bounds);
    if (!clip.visible) return true;
    if (tryDriver(call, clip)) return true;
    if (!EngineCanRead(source)) return false;
    return call.DrawWithEngine(bounds, [&](const EngineTarget& target) {
        SourceObjects from(call, source, target.colors);
        EngineClip engineClip(target.clip, Shifted(bounds, target.shift));
        return drawOnEngine(target, from, engineClip);
    });
}

}  // namespace

bool DrawBitBlt(const DrawContext& dc, const RECTL& destination, const BlitSource* source,
                const EngineSurface* mask, POINTL maskOrigin, const EngineBrush* brush, ROP4 rop4) {
    std::lock_guard lock(EngineLock());
    DrawCall call(dc);
    if (!call.Ready()) return false;
    const BYTE fore = ROP4_FOREGROUND(rop4), back = ROP4_BACKGROUND(rop4);
    const bool readsSource = ((fore >> 2) ^ fore) & 0x33 || ((back >> 2) ^ back) & 0x33;
    if (readsSource && !SourceReady(source)) return false;
    if ((ReadsPattern(fore) || ReadsPattern(back)) && (!brush || brush->style == BS_NULL)) return true;
    const RECTL bounds = Ordered(destination);
    EngineClip clip(call.Clip(), bounds);
    if (!clip.visible) return true;
    const EngineBrush solidBlack{};
    const EngineBrush& paint = brush ? *brush : solidBlack;

    if (auto blt = call.Hooked<PFN_DrvBitBlt>(HOOK_BITBLT, INDEX_DrvBitBlt)) {
        std::optional<SourceObjects> from;
        if (readsSource) from.emplace(call, *source, call.Colors());
        EngineBrushObj bo(paint, dc, call.Colors());
        RECTL target = bounds;
        POINTL sourceOrigin = readsSource ? source->origin : POINTL{};
        POINTL maskAt = maskOrigin, origin = dc.brushOrigin;
        SURFOBJ* maskSurface = mask ? const_cast<SURFOBJ*>(&mask->so) : nullptr;
        if (call.CallDriver("DrvBitBlt", rop4, [&] {
                return blt(call.Surface(), readsSource ? &source->surface.surface->so : nullptr, maskSurface, &clip,
                           from ? &from->xlate : nullptr, &target, readsSource ? &sourceOrigin : nullptr,
                           maskSurface ? &maskAt : nullptr, brush ? &bo : nullptr, &origin, rop4);
            }))
            return true;
    }
    if (readsSource && !EngineCanRead(*source)) return false;
    return call.DrawWithEngine(bounds, [&](const EngineTarget& target) {
        std::optional<SourceObjects> from;
        if (readsSource) from.emplace(call, *source, target.colors);
        EngineClip engineClip(target.clip, Shifted(bounds, target.shift));
        EngineBrushObj bo(paint, dc, target.colors);
        RECTL to = Shifted(bounds, target.shift);
        POINTL sourceOrigin = readsSource ? source->origin : POINTL{};
        POINTL maskAt = maskOrigin;
        POINTL origin{dc.brushOrigin.x + target.shift.x, dc.brushOrigin.y + target.shift.y};
        SURFOBJ* maskSurface = mask ? const_cast<SURFOBJ*>(&mask->so) : nullptr;
        return EngBitBlt(target.surface, readsSource ? &source->surface.surface->so : nullptr, maskSurface,
                         &engineClip, from ? &from->xlate : nullptr, &to, readsSource ? &sourceOrigin : nullptr,
                         maskSurface ? &maskAt : nullptr, brush ? &bo : nullptr, &origin, rop4) != FALSE;
    });
}

bool DrawStretchBlt(const DrawContext& dc, const RECTL& destination, const BlitSource& source,
                    const RECTL& sourceRect, const EngineBrush* brush, ROP4 rop4) {
    std::lock_guard lock(EngineLock());
    DrawCall call(dc);
    if (!call.Ready() || !SourceReady(&source)) return false;
    const BYTE rop3 = ROP4_FOREGROUND(rop4);
    if (ReadsPattern(rop3) && (!brush || brush->style == BS_NULL)) return true;
    const RECTL bounds = Ordered(destination);
    EngineClip clip(call.Clip(), bounds);
    if (!clip.visible) return true;
    const EngineBrush solidBlack{};
    const EngineBrush& paint = brush ? *brush : solidBlack;
    const ULONG mode = ULONG(dc.stretchMode);
    SURFOBJ* sourceSurface = &source.surface.surface->so;
    {
        SourceObjects from(call, source, call.Colors());
        COLORADJUSTMENT adjustment = dc.colorAdjustment;
        POINTL halftoneOrigin = dc.brushOrigin;
        RECTL to = destination, read = sourceRect;
        if (rop3 == (SRCCOPY >> 16) && rop4 == ROP4_FROM_ROP3(rop3)) {
            if (auto stretch = call.Hooked<PFN_DrvStretchBlt>(HOOK_STRETCHBLT, INDEX_DrvStretchBlt))
                if (call.CallDriver("DrvStretchBlt", mode, [&] {
                        return stretch(call.Surface(), sourceSurface, nullptr, &clip, &from.xlate,
                                       mode == HALFTONE ? &adjustment : nullptr, &halftoneOrigin, &to, &read,
                                       nullptr, mode);
                    }))
                    return true;
        } else if (auto stretch = call.Hooked<PFN_DrvStretchBltROP>(HOOK_STRETCHBLTROP, INDEX_DrvStretchBltROP)) {
            EngineBrushObj bo(paint, dc, call.Colors());
            if (call.CallDriver("DrvStretchBltROP", rop4, [&] {
                    return stretch(call.Surface(), sourceSurface, nullptr, &clip, &from.xlate,
                                   mode == HALFTONE ? &adjustment : nullptr, &halftoneOrigin, &to, &read, nullptr, mode, brush ? &bo : nullptr, rop4);
                }))
                return true;
        }
    }
    if (!EngineCanRead(source)) return false;
    return call.DrawWithEngine(bounds, [&](const EngineTarget& target) {
        SourceObjects from(call, source, target.colors);
        EngineClip engineClip(target.clip, Shifted(bounds, target.shift));
        EngineBrushObj bo(paint, dc, target.colors);
        RECTL to = Shifted(destination, target.shift), read = sourceRect;
        return EngStretchBltROP(target.surface, sourceSurface, nullptr, &engineClip, &from.xlate, nullptr, nullptr,
                                &to, &read, nullptr, mode, brush ? &bo : nullptr, rop4) != FALSE;
    });
}

bool DrawTransparentBlt(const DrawContext& dc, const RECTL& destination, const BlitSource& source,
                        const RECTL& sourceRect, COLORREF transparent) {
    const RECTL bounds = Ordered(destination);
    // The transparent colour as a source pixel, once the source is known good.
    ULONG transparentPixel = 0;
    return DrawFromSource(
        dc, source, destination,
        [&](DrawCall& call, EngineClip& clip) {
            bool monoColors = false;
            transparentPixel = SourceColors(source, monoColors).PixelFor(transparent & 0xFFFFFF);
            auto blt = call.Hooked<PFN_DrvTransparentBlt>(HOOK_TRANSPARENTBLT, INDEX_DrvTransparentBlt);
            if (!blt) return false;
            SourceObjects from(call, source, call.Colors());
            RECTL to = bounds, read = sourceRect;
            return call.CallDriver("DrvTransparentBlt", transparentPixel, [&] {
                return blt(call.Surface(), &source.surface.surface->so, &clip, &from.xlate, &to, &read,
                           transparentPixel, 0);
            });
        },
        [&](const EngineTarget& target, SourceObjects& from, EngineClip& engineClip) {
            RECTL to = Shifted(bounds, target.shift), read = sourceRect;
            return EngTransparentBlt(target.surface, &source.surface.surface->so, &engineClip, &from.xlate, &to,
                                     &read, transparentPixel, 0) != FALSE;
        });
}

bool DrawAlphaBlend(const DrawContext& dc, const RECTL& destination, const BlitSource& source,
                    const RECTL& sourceRect, BLENDFUNCTION blend) {
    BLENDOBJ blendObj{blend};
    return DrawFromSource(
        dc, source, destination,
        [&](DrawCall& call, EngineClip& clip) {
            auto alpha = call.Hooked<PFN_DrvAlphaBlend>(HOOK_ALPHABLEND, INDEX_DrvAlphaBlend);
            if (!alpha) return false;
            SourceObjects from(call, source, call.Colors());
            RECTL to = destination, read = sourceRect;
            return call.CallDriver("DrvAlphaBlend", 0, [&] {
                return alpha(call.Surface(), &source.surface.surface->so, &clip, &from.xlate, &to, &read,
                             &blendObj);
            });
        },
        [&](const EngineTarget& target, SourceObjects& from, EngineClip& engineClip) {
            RECTL to = Shifted(destination, target.shift), read = sourceRect;
            return EngAlphaBlend(target.surface, &source.surface.surface->so, &engineClip, &from.xlate, &to, &read,
                                 &blendObj) != FALSE;
        });
}

bool DrawGradientFill(const DrawContext& dc, const TRIVERTEX* vertices, ULONG vertexCount, const void* mesh,
                      ULONG meshCount, ULONG mode) {
    std::lock_guard lock(EngineLock());
    DrawCall call(dc);
    if (!call.Ready()) return false;
    // Every mesh entry must name vertices that exist.
    const ULONG perEntry = mode == GRADIENT_FILL_TRIANGLE ? 3 : 2;
    if (!vertices || !vertexCount || !mesh || mode > GRADIENT_FILL_TRIANGLE || meshCount > (1u << 24))
        return Failed(ERROR_INVALID_PARAMETER);
    const ULONG* indexes = static_cast<const ULONG*>(mesh);
    for (ULONG i = 0; i < meshCount * perEntry; ++i)
        if (indexes[i] >= vertexCount) return Failed(ERROR_INVALID_PARAMETER);
    if (!meshCount) return true;
    RECTL bounds{vertices[0].x, vertices[0].y, vertices[0].x, vertices[0].y};
    for (ULONG i = 0; i < vertexCount; ++i) {
        bounds.left = std::min(bounds.left, vertices[i].x);
        bounds.top = std::min(bounds.top, vertices[i].y);
        bounds.right = std::max(bounds.right, vertices[i].x);
        bounds.bottom = std::max(bounds.bottom, vertices[i].y);
    }
    // A triangle's far edges hold pixels too.
    if (mode == GRADIENT_FILL_TRIANGLE) ++bounds.right, ++bounds.bottom;
    EngineClip clip(call.Clip(), bounds);
    if (!clip.visible) return true;
    std::vector<TRIVERTEX> copy(vertices, vertices + vertexCount);
    std::vector<ULONG> meshCopy(indexes, indexes + meshCount * perEntry);
    // Vertex colours are RGB, 16 bits a channel; the translation is from RGB.
    SurfaceColors rgb;
    rgb.format = BMF_24BPP;
    rgb.mode = PAL_RGB;
    if (auto gradient = call.Hooked<PFN_DrvGradientFill>(HOOK_GRADIENTFILL, INDEX_DrvGradientFill)) {
        EngineXlate xlate(rgb, call.Colors(), dc.textColor, dc.bkColor, false);
        RECTL extents = bounds;
        POINTL ditherOrigin{0, 0};
        if (call.CallDriver("DrvGradientFill", mode, [&] {
                return gradient(call.Surface(), &clip, &xlate, copy.data(), vertexCount, meshCopy.data(), meshCount,
                                &extents, &ditherOrigin, mode);
            }))
            return true;
    }
    return call.DrawWithEngine(bounds, [&](const EngineTarget& target) {
        std::vector<TRIVERTEX> shifted = copy;
        for (TRIVERTEX& v : shifted) v.x += target.shift.x, v.y += target.shift.y;
        EngineClip engineClip(target.clip, Shifted(bounds, target.shift));
        EngineXlate xlate(rgb, target.colors, dc.textColor, dc.bkColor, false);
        RECTL extents = Shifted(bounds, target.shift);
        POINTL ditherOrigin{0, 0};
        return EngGradientFill(target.surface, &engineClip, &xlate, shifted.data(), vertexCount, meshCopy.data(),
                               meshCount, &extents, &ditherOrigin, mode) != FALSE;
    });
}

}  // namespace w32
