// Blits: bitmaps, raster-operation fills, stretched and transparent blits
// and gradients on the device surface.
//
// A blit whose raster operation reads no source becomes a rectangle painted
// with a solid or pattern brush; one that reads the source becomes an image
// (Blt_Image), which the printer scales to the destination. What PCL XL
// cannot say goes back to the engine: a mask (EngBitBlt, EngStretchBlt), a
// colour adjustment (EngStretchBlt), a transparent blit of fewer than 24
// bits a pixel (EngTransparentBlt) and every gradient (EngGradientFill). The
// engine draws those on a bitmap of its own and brings it to the page
// through DrvCopyBits.
//
// Every drawing callback first checks that the PDEV is sound with its job
// open, a page open and output going; nothing is drawn when the settings
// switch images off (output-mask bit 0x8) or the object range leaves the
// call out.
#include <windows.h>
#include <winddi.h>

#include <cstdint>
#include <utility>

#include "pcl6/gdi/brush.h"
#include "pcl6/gdi/dbgassert.h"
#include "pcl6/gdi/gx.h"
#include "pcl6/gdi/image.h"
#include "pcl6/gdi/jobctrl.h"
#include "pcl6/gdi/jobsettings.h"
#include "pcl6/gdi/nt/ddi.h"
#include "pcl6/gdi/nt/drawcheck.h"
#include "pcl6/gdi/nt/devcaps.h"
#include "pcl6/gdi/pdev.h"
#include "pcl6/intrface/rendutil.h"
#include "pcl6/intrface/util.h"

namespace {

// The settings' output-mask bit of images and blits.
constexpr INT32 kOutputImages = 0x8;
// The pattern where the mask is set, the destination elsewhere: a pattern
// fill whose gaps stay transparent.
constexpr ROP4 kRop4PatternThroughMask = 0xAAF0;
constexpr BYTE kRopPattern = 0xF0;
constexpr BYTE kRopBlack = 0x00;
constexpr BYTE kRopWhite = 0xFF;
constexpr BYTE kRopInvert = 0x55;
constexpr BYTE kRopSourceCopy = 0xCC;
// The two passes of a transparent blit: opaque pixels whitened (source OR
// destination), then their colours printed on the white (source AND
// destination), where a white source pixel leaves the page alone.
constexpr BYTE kRopWhitenMask = 0xEE;
constexpr BYTE kRopPrintOnWhite = 0x88;



// Whether a ROP3 reads the source: all but the sixteen source-free codes.
bool UsesSource(BYTE rop) { return rop % 80 > 15 || rop % 5 != 0; }
// Whether a ROP3 reads the pattern: all but the multiples of 17.
bool UsesPattern(BYTE rop) { return rop % 17 != 0; }

// The checks every blit makes before drawing: a sound PDEV with its job, a
// page open, output going; images switched on and the call inside the
// object range. Counts the calls that draw.
DrawCheck CheckCall(PDEV* pdev, int callType, INT32 GraphicsStateCache::*counter) {
    const DrawCheck check = Ddi_CheckDrawing(pdev, callType, GX_OBJECT_IMAGE, kOutputImages);
    if (check == DrawCheck::Draw) ++(pdev->Job.Gstate.*counter);
    return check;
}

// Traces a source the printer takes compressed; the image output refuses it.
void TraceCompressedSource(SURFOBJ* source) {
    if (source && (source->iBitmapFormat == BMF_JPEG || source->iBitmapFormat == BMF_PNG))
        Dbg_Print("Blt: %s source\n", source->iBitmapFormat == BMF_JPEG ? "JPEG" : "PNG");
}

// The result of a drawing call that wrote: FALSE once the job's output failed.
BOOL Written(PDEV* pdev) {
    if (!Job_IsOutputError(pdev)) return TRUE;
    SetLastError(ERROR_WRITE_FAULT);
    return FALSE;
}

// `length` destination pixels cover `total` source pixels: the destination
// pixels that `cut` of them take.
LONG DestinationShare(LONG cut, LONG total, LONG length) {
    return total > 0 ? LONG(int64_t(cut) * length / total) : 0;
}

// Draws `width` x `height` source pixels from `origin` into `dest`, which
// the printer scales to; a destination inverted left to right or top to
// bottom mirrors the image. Source pixels outside the surface are left out,
// and the destination loses the same share, so that the pixels kept land
// where they would have. Nothing is drawn (TRUE) when no pixel is left.
BOOL Blt_Image(PDEV* pdev, CLIPOBJ* pco, SURFOBJ* source, LONG width, LONG height, POINTL origin, const RECTL* dest,
               XLATEOBJ* xlate) {
    if (!source || !dest) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    RECTL to = *dest;
    const BOOL flipHorizontal = to.left > to.right;
    const BOOL flipVertical = to.top > to.bottom;
    if (flipHorizontal) std::swap(to.left, to.right);
    if (flipVertical) std::swap(to.top, to.bottom);

    // The columns cut at the source's left come off the destination's left,
    // or its right when mirrored; likewise the columns past the source's
    // right end, and the rows.
    auto cut = [](LONG amount, LONG& size, LONG& nearEdge, LONG& farEdge, BOOL mirrored, bool atStart) {
        const LONG share = DestinationShare(amount, size, farEdge - nearEdge);
        if (atStart != bool(mirrored))
            nearEdge += share;
        else
            farEdge -= share;
        size -= amount;
    };
    if (origin.x < 0) {
        cut(-origin.x, width, to.left, to.right, flipHorizontal, true);
        origin.x = 0;
    }
    if (origin.y < 0) {
        cut(-origin.y, height, to.top, to.bottom, flipVertical, true);
        origin.y = 0;
    }

    if (!((pdev->Job.JobFlags & JOBF_UI_DRAWING) &&
          pdev->Job.State.Layout.NupColumns * pdev->Job.State.Layout.NupRows > 1))
        Gx_SetClipObj(pdev, pco, &to);

    const LONG columns = source->sizlBitmap.cx - origin.x, rows = source->sizlBitmap.cy - origin.y;
    if (width > columns && width > 0) cut(width - columns, width, to.left, to.right, flipHorizontal, false);
    if (height > rows && height > 0) cut(height - rows, height, to.top, to.bottom, flipVertical, false);
    if (width <= 0 || height <= 0 || to.left >= to.right || to.top >= to.bottom) return TRUE;

    if (!Img_Output(pdev, source, width, height, origin, &to, xlate, flipVertical, flipHorizontal)) return FALSE;
    return Written(pdev);
}

// The rectangle painted with the brush in force: non-zero winding, clipped.
BOOL FillRectangle(PDEV* pdev, CLIPOBJ* pco, const RECTL& rect) {
    Gx_SetFillMode(pdev, FALSE);
    Gx_SetClipObj(pdev, pco, &rect);
    Gx_FillRect(pdev, &rect);
    return Written(pdev);
}

}  // namespace

BOOL APIENTRY DrvBitBlt(SURFOBJ* psoTrg, SURFOBJ* psoSrc, SURFOBJ* psoMask, CLIPOBJ* pco, XLATEOBJ* pxlo,
                        RECTL* prclTrg, POINTL* pptlSrc, POINTL* pptlMask, BRUSHOBJ* pbo, POINTL* pptlBrush,
                        ROP4 rop4) {
    // PCL XL has no masks: the engine draws the call, through DrvCopyBits.
    if (psoMask)
        return EngBitBlt(psoTrg, psoSrc, psoMask, pco, pxlo, prclTrg, pptlSrc, pptlMask, pbo, pptlBrush, rop4);

    PDEV* pdev = SurfacePdev(psoTrg);
    const DrawCheck prelude = CheckCall(pdev, PDEVCALL_BITBLT, &GraphicsStateCache::BitBltCalls);
    if (prelude != DrawCheck::Draw) return prelude == DrawCheck::Skip;
    if (!prclTrg) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    TraceCompressedSource(psoSrc);

    RECTL target = *prclTrg;
    if (target.bottom < target.top) {
        Dbg_Print("It happens\n");
        Dbg_Assert(pdev, "bitblt", __LINE__);
        std::swap(target.top, target.bottom);
    }
    const SIZEL printable = Enable_PrintableSize(pdev);
    const RECTL page{0, 0, printable.cx, printable.cy};
    RECTL clipped;
    if (!Util_IntersectRect(&clipped, &target, &page)) return TRUE;

    const bool throughMask = rop4 == kRop4PatternThroughMask;
    const BYTE rop = throughMask ? kRopPattern : BYTE(rop4 >> 8);
    const int transfer = throughMask ? GX_TX_TRANSPARENT : GX_TX_OPAQUE;

    if (rop == kRopBlack || rop == kRopWhite) {
        pdev->Job.Gstate.ObjectKind = GX_OBJECT_VECTOR;
        Gx_SetRopAndModes(pdev, rop, transfer, transfer, GX_TREATMENT_FILL);
        Gx_SetNullPen(pdev);
        Gx_SetBrushColor(pdev, rop == kRopBlack ? RGB(0, 0, 0) : RGB(255, 255, 255));
        return FillRectangle(pdev, pco, clipped);
    }
    if (rop == kRopInvert) {
        pdev->Job.Gstate.ObjectKind = GX_OBJECT_VECTOR;
        Gx_SetRopAndModes(pdev, rop, transfer, transfer, GX_TREATMENT_FILL);
        Gx_SetBrushColor(pdev, RGB(0, 0, 0));
        Gx_SetFillMode(pdev, FALSE);
        Gx_SetClipObj(pdev, pco, &clipped);
        Gx_SetNullPen(pdev);
        Gx_FillRect(pdev, &clipped);
        return Written(pdev);
    }
    if (UsesSource(rop)) {
        if (!psoSrc || !pptlSrc) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return FALSE;
        }
        if (UsesPattern(rop) && !Brush_Select(pdev, pbo, pptlBrush, TRUE)) return FALSE;
        Gx_SetRopAndModes(pdev, rop, transfer, transfer, GX_TREATMENT_IMAGE);
        return Blt_Image(pdev, pco, psoSrc, target.right - target.left, target.bottom - target.top, *pptlSrc, &target,
                         pxlo);
    }
    // A fill with the pattern alone; without a brush there is nothing to paint.
    if (!pbo) return TRUE;
    pdev->Job.Gstate.ObjectKind = GX_OBJECT_VECTOR;
    Gx_SetRopAndModes(pdev, rop, transfer, transfer, GX_TREATMENT_FILL);
    Gx_SetNullPen(pdev);
    if (!Brush_Select(pdev, pbo, pptlBrush, TRUE)) return TRUE;
    return FillRectangle(pdev, pco, clipped);
}

BOOL APIENTRY DrvCopyBits(SURFOBJ* psoDest, SURFOBJ* psoSrc, CLIPOBJ* pco, XLATEOBJ* pxlo, RECTL* prclDest,
                          POINTL* pptlSrc) {
    if (!psoDest || !psoSrc || !prclDest || !pptlSrc) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    // The engine reads the page back before it draws on a bitmap of its own:
    // the printer keeps no pixels to give, so the page reads as white.
    if (psoSrc->iType != STYPE_BITMAP) return EngEraseSurface(psoDest, prclDest, 0xFFFFFFFF);
    if (psoDest->iType != STYPE_DEVICE) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }

    PDEV* pdev = SurfacePdev(psoDest);
    const DrawCheck prelude = CheckCall(pdev, PDEVCALL_COPYBITS, &GraphicsStateCache::CopyBitsCalls);
    if (prelude != DrawCheck::Draw) return prelude == DrawCheck::Skip;
    TraceCompressedSource(psoSrc);

    GraphicsStateCache& gs = pdev->Job.Gstate;
    if (gs.TransparentCopy) {
        gs.TransparentCopy = FALSE;
        Gx_SetRopAndModes(pdev, kRopSourceCopy, GX_TX_TRANSPARENT, GX_TX_OPAQUE, GX_TREATMENT_IMAGE);
    } else {
        Gx_SetRopAndModes(pdev, kRopSourceCopy, GX_TX_OPAQUE, GX_TX_OPAQUE, GX_TREATMENT_IMAGE);
    }
    const BOOL done = Blt_Image(pdev, pco, psoSrc, prclDest->right - prclDest->left,
                                prclDest->bottom - prclDest->top, *pptlSrc, prclDest, pxlo);
    if (done && pco && pco->iDComplexity == DC_RECT) Gx_DrawDebugOutline(pdev, GX_OUTLINE_RED, prclDest);
    return done;
}

BOOL APIENTRY DrvStretchBlt(SURFOBJ* psoDest, SURFOBJ* psoSrc, SURFOBJ* psoMask, CLIPOBJ* pco, XLATEOBJ* pxlo,
                            COLORADJUSTMENT* pca, POINTL* pptlHTOrg, RECTL* prclDest, RECTL* prclSrc,
                            POINTL* pptlMask, ULONG iMode) {
    PDEV* pdev = SurfacePdev(psoDest);
    const DrawCheck prelude = CheckCall(pdev, PDEVCALL_STRETCHBLT, &GraphicsStateCache::StretchBltCalls);
    if (prelude != DrawCheck::Draw) return prelude == DrawCheck::Skip;
    // A colour adjustment (the halftone stretch) and a mask are the engine's
    // to draw; its answer is the call's.
    if (pca || psoMask)
        return EngStretchBlt(psoDest, psoSrc, psoMask, pco, pxlo, pca, pptlHTOrg, prclDest, prclSrc, pptlMask, iMode);
    if (!psoSrc || !prclDest || !prclSrc) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    TraceCompressedSource(psoSrc);

    Gx_SetRopAndModes(pdev, kRopSourceCopy, GX_TX_OPAQUE, GX_TX_OPAQUE, GX_TREATMENT_IMAGE);
    const BOOL done = Blt_Image(pdev, pco, psoSrc, prclSrc->right - prclSrc->left, prclSrc->bottom - prclSrc->top,
                                POINTL{prclSrc->left, prclSrc->top}, prclDest, pxlo);
    if (done && pco && pco->iDComplexity == DC_RECT) Gx_DrawDebugOutline(pdev, GX_OUTLINE_RED, prclDest);
    return done;
}

BOOL APIENTRY DrvTransparentBlt(SURFOBJ* psoDst, SURFOBJ* psoSrc, CLIPOBJ* pco, XLATEOBJ* pxlo, RECTL* prclDst,
                                RECTL* prclSrc, ULONG iTransColor, ULONG ulReserved) {
    if (!psoDst || !psoSrc || !prclDst || !prclSrc) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const ULONG format = psoSrc->iBitmapFormat;
    if (format != BMF_24BPP && format != BMF_32BPP)
        return EngTransparentBlt(psoDst, psoSrc, pco, pxlo, prclDst, prclSrc, iTransColor, ulReserved);

    PDEV* pdev = SurfacePdev(psoDst);
    const DrawCheck prelude = CheckCall(pdev, PDEVCALL_TRANSPARENTBLT, &GraphicsStateCache::TransparentBltCalls);
    if (prelude != DrawCheck::Draw) return prelude == DrawCheck::Skip;

    const LONG width = psoSrc->sizlBitmap.cx, height = psoSrc->sizlBitmap.cy;
    if (width <= 0 || height <= 0 || !psoSrc->pvScan0) return TRUE;
    const LONG delta = psoSrc->lDelta;
    const DWORD pixelBytes = format == BMF_24BPP ? 3 : 4;
    const DWORD sourceRow = (DWORD(width) * pixelBytes + 3) / 4 * 4;
    const DWORD maskRow = (DWORD(width + 7) / 8 + 3) / 4 * 4;
    const LONG absDelta = delta < 0 ? -delta : delta;
    if (DWORD(absDelta) < sourceRow && height > 1) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const uint64_t maskBytes = uint64_t(maskRow) * DWORD(height), copyBytes = uint64_t(sourceRow) * DWORD(height);
    if (maskBytes > 0x7FFFFFFF || copyBytes > 0x7FFFFFFF) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return FALSE;
    }
    auto* mask = static_cast<BYTE*>(Util_GlobalAlloc(nullptr, DWORD(maskBytes)));
    auto* copy = mask ? static_cast<BYTE*>(Util_GlobalAlloc(nullptr, DWORD(copyBytes))) : nullptr;
    if (!mask || !copy) {
        if (mask) Util_GlobalFree(nullptr, mask);
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return FALSE;
    }

    // The mask has a bit set (most significant first) for every pixel that
    // prints; a pixel of the transparent colour becomes white in the copy.
    // Only the 24 colour bits are compared, also for 32-bit pixels.
    const ULONG transparent = iTransColor & 0xFFFFFF;
    for (LONG y = 0; y < height; ++y) {
        const BYTE* from = static_cast<const BYTE*>(psoSrc->pvScan0) + int64_t(y) * delta;
        BYTE* to = copy + size_t(sourceRow) * size_t(y);
        BYTE* bits = mask + size_t(maskRow) * size_t(y);
        for (LONG x = 0; x < width; ++x) {
            const BYTE* pixel = from + size_t(x) * pixelBytes;
            BYTE* out = to + size_t(x) * pixelBytes;
            const ULONG colour = ULONG(pixel[0]) | ULONG(pixel[1]) << 8 | ULONG(pixel[2]) << 16;
            for (DWORD k = 0; k < pixelBytes; ++k) out[k] = pixel[k];
            if (colour == transparent)
                for (DWORD k = 0; k < pixelBytes; ++k) out[k] = 0xFF;
            else
                bits[x / 8] |= BYTE(0x80 >> (x % 8));
        }
    }

    // Both are kept top row first, whatever the source's row order.
    SURFOBJ maskSurface{};
    maskSurface.sizlBitmap = psoSrc->sizlBitmap;
    maskSurface.iBitmapFormat = BMF_1BPP;
    maskSurface.iType = STYPE_BITMAP;
    maskSurface.cjBits = ULONG(maskBytes);
    maskSurface.pvBits = maskSurface.pvScan0 = mask;
    maskSurface.lDelta = LONG(maskRow);
    maskSurface.fjBitmap = BMF_TOPDOWN;
    SURFOBJ copySurface = maskSurface;
    copySurface.iBitmapFormat = format;
    copySurface.cjBits = ULONG(copyBytes);
    copySurface.pvBits = copySurface.pvScan0 = copy;
    copySurface.lDelta = LONG(sourceRow);

    // The mask's two colours: clear bits black, set bits white.
    ULONG blackWhite[2] = {0x000000, 0xFFFFFF};
    XLATEOBJ maskColors{};
    maskColors.flXlate = XO_TABLE;
    maskColors.iSrcType = PAL_INDEXED;
    maskColors.iDstType = PAL_RGB;
    maskColors.cEntries = 2;
    maskColors.pulXlate = blackWhite;

    const LONG sourceWidth = prclSrc->right - prclSrc->left, sourceHeight = prclSrc->bottom - prclSrc->top;
    const POINTL origin{prclSrc->left, prclSrc->top};
    Gx_SetRopAndModes(pdev, kRopWhitenMask, GX_TX_OPAQUE, GX_TX_OPAQUE, GX_TREATMENT_IMAGE);
    BOOL done = Blt_Image(pdev, pco, &maskSurface, sourceWidth, sourceHeight, origin, prclDst, &maskColors);
    if (done) {
        Gx_SetRopAndModes(pdev, kRopPrintOnWhite, GX_TX_OPAQUE, GX_TX_OPAQUE, GX_TREATMENT_IMAGE);
        done = Blt_Image(pdev, pco, &copySurface, sourceWidth, sourceHeight, origin, prclDst, pxlo);
    }
    Util_GlobalFree(nullptr, copy);
    Util_GlobalFree(nullptr, mask);
    return done;
}

BOOL APIENTRY DrvGradientFill(SURFOBJ* psoDest, CLIPOBJ* pco, XLATEOBJ* pxlo, TRIVERTEX* pVertex, ULONG nVertex,
                              PVOID pMesh, ULONG nMesh, RECTL* prclExtents, POINTL* pptlDitherOrg, ULONG ulMode) {
    PDEV* pdev = SurfacePdev(psoDest);
    if (!Job_CheckPdev(pdev, FALSE, PDEVCALL_GRADIENTFILL)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    // The engine draws the gradient on a white bitmap; triangles leave that
    // white around them, which must not cover the page.
    GraphicsStateCache& gs = pdev->Job.Gstate;
    if (ulMode == GRADIENT_FILL_TRIANGLE) gs.TransparentCopy = TRUE;
    const BOOL done =
        EngGradientFill(psoDest, pco, pxlo, pVertex, nVertex, pMesh, nMesh, prclExtents, pptlDitherOrg, ulMode);
    // The mark is for this gradient's copy only, also when none was made.
    gs.TransparentCopy = FALSE;
    return done;
}
