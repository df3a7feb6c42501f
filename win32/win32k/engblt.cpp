// The engine's blits on bitmaps it keeps (STYPE_BITMAP): EngBitBlt,
// EngCopyBits, EngStretchBlt(ROP), EngTransparentBlt, EngAlphaBlend,
// EngGradientFill and EngEraseSurface. Each draws only inside the CLIPOBJ,
// takes source pixels through the XLATEOBJ into destination pixels and
// paints the BRUSHOBJ's solid colour or pattern.
//
// A device surface's pixels are the driver's. On one, as when a driver hands
// a call it cannot draw back to the engine, the engine draws on a temporary
// bitmap of the call's area: the driver's DrvCopyBits fills it from the
// device, the call is drawn on it, and DrvCopyBits brings it back inside the
// clip. The source read must then be a bitmap. EngEraseSurface, which a
// driver calls on bitmaps, still fails with ERROR_NOT_SUPPORTED there.
#include <algorithm>
#include <optional>

#include "win32k/dispatch.h"
#include "win32k/engdraw.h"

namespace w32 {

SurfaceColors ColorsOfSurfaceObject(const SURFOBJ* so) {
    if (so && so->hsurf)
        if (auto surface = LookupSurface(so->hsurf); surface && &surface->so == so)
            return ColorsOfSurface(*surface, nullptr);
    return DefaultColors(so ? so->iBitmapFormat : BMF_24BPP);
}

bool EngineBitmap(SURFOBJ* so, raster::Bitmap& out) {
    if (!so) return Failed(ERROR_INVALID_PARAMETER);
    if (so->iType != STYPE_BITMAP) return Failed(ERROR_NOT_SUPPORTED);
    if (!BitmapOfSurface(*so, ColorsOfSurfaceObject(so), out)) return Failed(ERROR_INVALID_PARAMETER);
    return true;
}

RECTL Intersect(const RECTL& a, const RECTL& b) {
    return RECTL{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                 std::min(a.bottom, b.bottom)};
}

bool EmptyRect(const RECTL& r) { return r.left >= r.right || r.top >= r.bottom; }

RECTL Ordered(const RECTL& r) {
    return RECTL{std::min(r.left, r.right), std::min(r.top, r.bottom), std::max(r.left, r.right),
                 std::max(r.top, r.bottom)};
}

std::vector<RECTL> ClipRects(const CLIPOBJ* clip, const RECTL& bounds, const raster::Bitmap& bitmap) {
    const RECTL inside = Intersect(bounds, BitmapRect(bitmap));
    if (EmptyRect(inside)) return {};
    return ClipRegion(clip, inside).Rects();
}

raster::Bitmap TranslatedCopy(const raster::Bitmap& source, const RECTL& rect, XLATEOBJ* xlate,
                              const raster::Bitmap& destination, std::vector<BYTE>& storage) {
    raster::Bitmap copy;
    copy.width = rect.right - rect.left;
    copy.height = rect.bottom - rect.top;
    copy.format = destination.format;
    copy.colors = destination.colors;
    copy.redMask = destination.redMask, copy.greenMask = destination.greenMask, copy.blueMask = destination.blueMask;
    copy.delta = LONG((uint64_t(copy.width) * destination.BitsPerPixel() + 31) / 32 * 4);
    storage.assign(size_t(copy.delta) * size_t(copy.height), 0);
    copy.scan0 = storage.data();
    std::vector<ULONG> row(size_t(copy.width));
    const RECTL readable = Intersect(rect, BitmapRect(source));
    for (LONG y = rect.top; y < rect.bottom; ++y) {
        std::fill(row.begin(), row.end(), 0);
        if (y >= readable.top && y < readable.bottom && readable.left < readable.right)
            raster::ReadPixels(source, readable.left, y, readable.right - readable.left,
                               row.data() + (readable.left - rect.left));
        for (ULONG& pixel : row) pixel = TranslatePixel(xlate, pixel);
        raster::WritePixels(copy, 0, y - rect.top, copy.width, row.data());
    }
    return copy;
}

namespace {

bool ReadsSource(BYTE rop3) { return ((rop3 >> 2) ^ rop3) & 0x33; }
bool ReadsPattern(BYTE rop3) { return ((rop3 >> 4) ^ rop3) & 0x0F; }

bool IsDeviceSurface(const SURFOBJ* so) { return so && so->iType == STYPE_DEVICE; }

// Draws a call on the device surface `so` within `bounds` and the clip
// object, through a temporary bitmap between the driver's two DrvCopyBits.
bool DrawOnDevice(SURFOBJ* so, CLIPOBJ* pco, const RECTL& bounds,
                  const std::function<bool(const EngineTarget&)>& draw) {
    auto surface = LookupSurface(so->hsurf);
    auto pdev = surface && &surface->so == so ? LookupPdev(so->hdev) : nullptr;
    if (!pdev || !pdev->device || !pdev->device->driver) return Failed(ERROR_NOT_SUPPORTED);
    const RECTL whole{0, 0, so->sizlBitmap.cx, so->sizlBitmap.cy};
    const RECTL inside = Intersect(bounds, whole);
    if (EmptyRect(inside)) return true;
    const Region clip = ClipRegion(pco, inside);
    return DrawOnDeviceBitmap(*pdev->device, so, ColorsOfSurface(*surface, pdev->device), clip, inside,
                              RGB(0, 0, 0), RGB(255, 255, 255), draw);
}

// A source read on the device's behalf must be a bitmap the engine can read.
bool ReadableSource(const SURFOBJ* source) {
    return !source || source->iType == STYPE_BITMAP || Failed(ERROR_NOT_SUPPORTED);
}

// The call's translation made again for the temporary bitmap's colours,
// when the engine made it; a driver's own goes through unchanged.
XLATEOBJ* OntoTemporary(XLATEOBJ* xlate, const SurfaceColors& colors, std::optional<EngineXlate>& storage) {
    const EngineXlate* known = KnownXlate(xlate);
    if (!known) return xlate;
    storage.emplace(known->source, colors, RGB(0, 0, 0), known->bkColor, false);
    return &*storage;
}

}  // namespace

}  // namespace w32

using namespace w32;

BOOL APIENTRY EngBitBlt(SURFOBJ* psoTrg, SURFOBJ* psoSrc, SURFOBJ* psoMask, CLIPOBJ* pco, XLATEOBJ* pxlo,
                        RECTL* prclTrg, POINTL* pptlSrc, POINTL* pptlMask, BRUSHOBJ* pbo, POINTL* pptlBrush,
                        ROP4 rop4) {
    std::lock_guard lock(EngineLock());
    raster::Bitmap target;
    if (!prclTrg) return Failed(ERROR_INVALID_PARAMETER);
    if (IsDeviceSurface(psoTrg)) {
        if (!ReadableSource(psoSrc) || !ReadableSource(psoMask)) return FALSE;
        const RECTL bounds = Ordered(*prclTrg);
        return DrawOnDevice(psoTrg, pco, bounds, [&](const EngineTarget& on) {
            EngineClip clip(on.clip, Shifted(bounds, on.shift));
            std::optional<EngineXlate> storage;
            RECTL to = Shifted(*prclTrg, on.shift);
            POINTL brushOrigin = pptlBrush ? *pptlBrush : POINTL{};
            brushOrigin.x += on.shift.x, brushOrigin.y += on.shift.y;
            return EngBitBlt(on.surface, psoSrc, psoMask, &clip, OntoTemporary(pxlo, on.colors, storage), &to,
                             pptlSrc, pptlMask, pbo, &brushOrigin, rop4) != FALSE;
        });
    }
    if (!EngineBitmap(psoTrg, target)) return FALSE;
    const BYTE fore = ROP4_FOREGROUND(rop4), back = ROP4_BACKGROUND(rop4);
    const bool needsSource = ReadsSource(fore) || ReadsSource(back);
    const bool needsPattern = ReadsPattern(fore) || ReadsPattern(back);
    const bool needsMask = fore != back;
    if ((needsSource && (!psoSrc || !pptlSrc)) || (needsMask && (!psoMask || !pptlMask)) || (needsPattern && !pbo))
        return Failed(ERROR_INVALID_PARAMETER);

    RECTL destination = Ordered(*prclTrg);
    std::vector<RECTL> clip = ClipRects(pco, destination, target);
    if (clip.empty()) return TRUE;

    raster::Bitmap source, translated, mask;
    std::vector<BYTE> storage;
    raster::Source from;
    POINTL sourceOrigin{};
    if (needsSource) {
        if (!EngineBitmap(psoSrc, source)) return FALSE;
        sourceOrigin = *pptlSrc;
        // The same pixels through no translation are read in place, so that
        // an overlapping copy on one bitmap reads them before they change.
        if (psoSrc == psoTrg || !pxlo || (pxlo->flXlate & XO_TRIVIAL)) {
            from.bitmap = &source;
        } else {
            const RECTL read{sourceOrigin.x, sourceOrigin.y, sourceOrigin.x + (destination.right - destination.left),
                             sourceOrigin.y + (destination.bottom - destination.top)};
            translated = TranslatedCopy(source, read, pxlo, target, storage);
            from.bitmap = &translated;
            sourceOrigin = POINTL{0, 0};
        }
    }
    if (needsMask) {
        if (!EngineBitmap(psoMask, mask)) return FALSE;
        if (mask.format != BMF_1BPP) return Failed(ERROR_INVALID_PARAMETER);
    }
    raster::Pattern brush;
    if (needsPattern && !BrushPattern(pbo, pptlBrush, brush)) return Failed(ERROR_INVALID_PARAMETER);
    raster::BitBlt(target, destination, from, sourceOrigin, needsMask ? &mask : nullptr,
                   pptlMask ? *pptlMask : POINTL{}, needsPattern ? &brush : nullptr, rop4, clip);
    return TRUE;
}

BOOL APIENTRY EngCopyBits(SURFOBJ* psoDest, SURFOBJ* psoSrc, CLIPOBJ* pco, XLATEOBJ* pxlo, RECTL* prclDest,
                          POINTL* pptlSrc) {
    return EngBitBlt(psoDest, psoSrc, nullptr, pco, pxlo, prclDest, pptlSrc, nullptr, nullptr, nullptr,
                     ROP4_FROM_ROP3(SRCCOPY >> 16));
}

BOOL APIENTRY EngStretchBltROP(SURFOBJ* psoDest, SURFOBJ* psoSrc, SURFOBJ* psoMask, CLIPOBJ* pco, XLATEOBJ* pxlo,
                               COLORADJUSTMENT* pca, POINTL* pptlHTOrg, RECTL* prclDest, RECTL* prclSrc,
                               POINTL* pptlMask, ULONG iMode, BRUSHOBJ* pbo, DWORD rop4) {
    std::lock_guard lock(EngineLock());
    raster::Bitmap target, source;
    if (!prclDest || !prclSrc) return Failed(ERROR_INVALID_PARAMETER);
    if (IsDeviceSurface(psoDest)) {
        if (!ReadableSource(psoSrc) || !ReadableSource(psoMask)) return FALSE;
        const RECTL bounds = Ordered(*prclDest);
        return DrawOnDevice(psoDest, pco, bounds, [&](const EngineTarget& on) {
            EngineClip clip(on.clip, Shifted(bounds, on.shift));
            std::optional<EngineXlate> storage;
            RECTL to = Shifted(*prclDest, on.shift);
            return EngStretchBltROP(on.surface, psoSrc, psoMask, &clip, OntoTemporary(pxlo, on.colors, storage),
                                    pca, pptlHTOrg, &to, prclSrc, pptlMask, iMode, pbo, rop4) != FALSE;
        });
    }
    if (!EngineBitmap(psoDest, target) || !EngineBitmap(psoSrc, source)) return FALSE;
    // A stretched mask is not drawn by the engine.
    const BYTE rop3 = ROP4_FOREGROUND(rop4);
    if (psoMask || rop3 != ROP4_BACKGROUND(rop4)) return Failed(ERROR_NOT_SUPPORTED);
    if (iMode < BLACKONWHITE || iMode > HALFTONE) return Failed(ERROR_INVALID_PARAMETER);
    raster::Pattern brush;
    const bool needsPattern = ReadsPattern(rop3);
    if (needsPattern && !BrushPattern(pbo, nullptr, brush)) return Failed(ERROR_INVALID_PARAMETER);

    std::vector<RECTL> clip = ClipRects(pco, Ordered(*prclDest), target);
    if (clip.empty()) return TRUE;
    const RECTL read = Ordered(*prclSrc);
    if (EmptyRect(read)) return TRUE;
    std::vector<BYTE> storage;
    raster::Bitmap translated = TranslatedCopy(source, read, pxlo, target, storage);
    // The source rectangle in the copy, still inverted where it mirrors.
    const RECTL inCopy{prclSrc->left - read.left, prclSrc->top - read.top, prclSrc->right - read.left,
                       prclSrc->bottom - read.top};
    raster::StretchBlt(target, *prclDest, raster::Source{&translated, nullptr}, inCopy, int(iMode),
                       needsPattern ? &brush : nullptr, rop3, clip);
    return TRUE;
}

BOOL APIENTRY EngStretchBlt(SURFOBJ* psoDest, SURFOBJ* psoSrc, SURFOBJ* psoMask, CLIPOBJ* pco, XLATEOBJ* pxlo,
                            COLORADJUSTMENT* pca, POINTL* pptlHTOrg, RECTL* prclDest, RECTL* prclSrc,
                            POINTL* pptlMask, ULONG iMode) {
    return EngStretchBltROP(psoDest, psoSrc, psoMask, pco, pxlo, pca, pptlHTOrg, prclDest, prclSrc, pptlMask, iMode,
                            nullptr, ROP4_FROM_ROP3(SRCCOPY >> 16));
}

BOOL APIENTRY EngTransparentBlt(SURFOBJ* psoDst, SURFOBJ* psoSrc, CLIPOBJ* pco, XLATEOBJ* pxlo, RECTL* prclDst,
                                RECTL* prclSrc, ULONG TransColor, ULONG ulReserved) {
    std::lock_guard lock(EngineLock());
    raster::Bitmap target, source;
    if (!prclDst || !prclSrc) return Failed(ERROR_INVALID_PARAMETER);
    if (IsDeviceSurface(psoDst)) {
        if (!ReadableSource(psoSrc)) return FALSE;
        const RECTL bounds = Ordered(*prclDst);
        return DrawOnDevice(psoDst, pco, bounds, [&](const EngineTarget& on) {
            EngineClip clip(on.clip, Shifted(bounds, on.shift));
            std::optional<EngineXlate> storage;
            RECTL to = Shifted(*prclDst, on.shift);
            return EngTransparentBlt(on.surface, psoSrc, &clip, OntoTemporary(pxlo, on.colors, storage), &to,
                                     prclSrc, TransColor, ulReserved) != FALSE;
        });
    }
    if (!EngineBitmap(psoDst, target) || !EngineBitmap(psoSrc, source)) return FALSE;
    const RECTL destination = Ordered(*prclDst), read = Ordered(*prclSrc);
    if (EmptyRect(destination) || EmptyRect(read)) return TRUE;
    const LONG dw = destination.right - destination.left, dh = destination.bottom - destination.top;
    const LONG sw = read.right - read.left, sh = read.bottom - read.top;
    // Each destination pixel takes the source pixel at its centre; a source
    // pixel equal to TransColor (before translation) leaves it alone.
    std::vector<ULONG> row;
    for (const RECTL& r : ClipRects(pco, destination, target)) {
        row.resize(size_t(r.right - r.left));
        for (LONG y = r.top; y < r.bottom; ++y) {
            const LONG sy = read.top + LONG((int64_t(y - destination.top) * 2 + 1) * sh / (2 * int64_t(dh)));
            raster::ReadPixels(target, r.left, y, r.right - r.left, row.data());
            for (LONG x = r.left; x < r.right; ++x) {
                const LONG sx = read.left + LONG((int64_t(x - destination.left) * 2 + 1) * sw / (2 * int64_t(dw)));
                if (sx < 0 || sy < 0 || sx >= source.width || sy >= source.height) continue;
                const ULONG pixel = raster::GetPixel(source, sx, sy);
                if (pixel != TransColor) row[size_t(x - r.left)] = TranslatePixel(pxlo, pixel);
            }
            raster::WritePixels(target, r.left, y, r.right - r.left, row.data());
        }
    }
    return TRUE;
}

BOOL APIENTRY EngAlphaBlend(SURFOBJ* psoDest, SURFOBJ* psoSrc, CLIPOBJ* pco, XLATEOBJ*, RECTL* prclDest,
                            RECTL* prclSrc, BLENDOBJ* pBlendObj) {
    std::lock_guard lock(EngineLock());
    raster::Bitmap target, source;
    if (!prclDest || !prclSrc || !pBlendObj) return Failed(ERROR_INVALID_PARAMETER);
    if (!EngineBitmap(psoDest, target) || !EngineBitmap(psoSrc, source)) return FALSE;
    // The blend reads both sides as colours, from their own palettes.
    std::vector<RECTL> clip = ClipRects(pco, Ordered(*prclDest), target);
    if (clip.empty()) return TRUE;
    raster::AlphaBlend(target, *prclDest, source, *prclSrc, pBlendObj->BlendFunction, clip);
    return TRUE;
}

BOOL APIENTRY EngGradientFill(SURFOBJ* psoDest, CLIPOBJ* pco, XLATEOBJ* pxlo, TRIVERTEX* pVertex, ULONG nVertex,
                              PVOID pMesh, ULONG nMesh, RECTL* prclExtents, POINTL* pptlDitherOrg, ULONG ulMode) {
    std::lock_guard lock(EngineLock());
    raster::Bitmap target;
    if (!pVertex || !nVertex || !pMesh) return Failed(ERROR_INVALID_PARAMETER);
    if (IsDeviceSurface(psoDest)) {
        RECTL bounds{pVertex[0].x, pVertex[0].y, pVertex[0].x + 1, pVertex[0].y + 1};
        for (ULONG i = 0; i < nVertex; ++i) {
            bounds.left = std::min(bounds.left, pVertex[i].x);
            bounds.top = std::min(bounds.top, pVertex[i].y);
            bounds.right = std::max(bounds.right, pVertex[i].x + 1);
            bounds.bottom = std::max(bounds.bottom, pVertex[i].y + 1);
        }
        if (prclExtents) bounds = Intersect(bounds, Ordered(*prclExtents));
        return DrawOnDevice(psoDest, pco, bounds, [&](const EngineTarget& on) {
            std::vector<TRIVERTEX> shifted(pVertex, pVertex + nVertex);
            for (TRIVERTEX& v : shifted) v.x += on.shift.x, v.y += on.shift.y;
            EngineClip clip(on.clip, Shifted(bounds, on.shift));
            RECTL extents = Shifted(bounds, on.shift);
            return EngGradientFill(on.surface, &clip, pxlo, shifted.data(), nVertex, pMesh, nMesh, &extents,
                                   pptlDitherOrg, ulMode) != FALSE;
        });
    }
    if (!EngineBitmap(psoDest, target)) return FALSE;
    const RECTL bounds = prclExtents ? *prclExtents : BitmapRect(target);
    std::vector<RECTL> clip = ClipRects(pco, bounds, target);
    if (clip.empty()) return TRUE;
    if (!raster::GradientFill(target, std::span<const TRIVERTEX>(pVertex, nVertex), pMesh, nMesh, ulMode, clip))
        return Failed(ERROR_INVALID_PARAMETER);
    return TRUE;
}

BOOL APIENTRY EngEraseSurface(SURFOBJ* pso, RECTL* prcl, ULONG iColor) {
    std::lock_guard lock(EngineLock());
    raster::Bitmap target;
    if (!prcl) return Failed(ERROR_INVALID_PARAMETER);
    if (!EngineBitmap(pso, target)) return FALSE;
    const RECTL r = Intersect(Ordered(*prcl), BitmapRect(target));
    if (EmptyRect(r)) return TRUE;
    raster::FillRects(target, std::span<const RECTL>(&r, 1), raster::Pattern::Solid(iColor), 0xF0);
    return TRUE;
}
