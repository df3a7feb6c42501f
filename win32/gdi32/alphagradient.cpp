// Blending and shading: AlphaBlend and GradientFill.
//
// AlphaBlend takes AC_SRC_OVER only, sizes that are not negative, a source
// rectangle within the source bitmap, and no overlap of source and
// destination in one bitmap; anything else fails with
// ERROR_INVALID_PARAMETER, as on Windows. GradientFill's vertices are
// logical points; its mesh indices must name vertices that exist.
#include <windows.h>

#include <vector>

#include "gdi32/blitcall.h"
#include "gdi32/drawcall.h"

using namespace w32::gdi;

BOOL WINAPI AlphaBlend(HDC hdcDest, int xoriginDest, int yoriginDest, int wDest, int hDest, HDC hdcSrc,
                       int xoriginSrc, int yoriginSrc, int wSrc, int hSrc, BLENDFUNCTION ftn) {
    if (ftn.BlendOp != AC_SRC_OVER || (ftn.AlphaFormat & ~AC_SRC_ALPHA) || wDest < 0 || hDest < 0 || wSrc < 0 ||
        hSrc < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    auto dc = LockDrawingDC(hdcDest);
    if (!dc) return FALSE;
    auto src = LookupDC(hdcSrc);
    if (!src) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    auto source = ReadableSurfaceOf(*src);
    RECTL destination, sourceRect;
    if (!source || !DeviceBlitRect(*dc, xoriginDest, yoriginDest, wDest, hDest, destination) ||
        !DeviceBlitRect(*src, xoriginSrc, yoriginSrc, wSrc, hSrc, sourceRect))
        return FALSE;
    destination = Ordered(destination);
    sourceRect = Ordered(sourceRect);
    const SIZEL size = source->so.sizlBitmap;
    const bool sameBitmap = dc->memory && dc->state.bitmap == src->state.bitmap;
    const bool overlap = sameBitmap && destination.left < sourceRect.right && sourceRect.left < destination.right &&
                         destination.top < sourceRect.bottom && sourceRect.top < destination.bottom;
    if (sourceRect.left < 0 || sourceRect.top < 0 || sourceRect.right > size.cx || sourceRect.bottom > size.cy ||
        overlap) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (destination.left == destination.right || destination.top == destination.bottom ||
        sourceRect.left == sourceRect.right || sourceRect.top == sourceRect.bottom)
        return TRUE;
    w32::DrawContext context;
    if (!PrepareDraw(*dc, context)) return FALSE;
    const w32::BlitSource blitSource{w32::DrawSurface{source, nullptr}, POINTL{sourceRect.left, sourceRect.top}};
    return DrawAlphaBlend(context, destination, blitSource, sourceRect, ftn);
}

// Rectangles (GRADIENT_FILL_RECT_H, _V: a mesh of GRADIENT_RECT) or
// triangles (GRADIENT_FILL_TRIANGLE: GRADIENT_TRIANGLE) shaded between the
// colours of their vertices. Rectangles need a mapping that keeps them
// upright (else ERROR_NOT_SUPPORTED).
BOOL WINAPI GradientFill(HDC hdc, PTRIVERTEX pVertex, ULONG nVertex, PVOID pMesh, ULONG nMesh, ULONG ulMode) {
    auto dc = LockDrawingDC(hdc);
    if (!dc) return FALSE;
    const bool triangles = ulMode == GRADIENT_FILL_TRIANGLE;
    if (!pVertex || !pMesh || nVertex == 0 || nVertex > kMostPoints || nMesh > kMostPoints ||
        (ulMode != GRADIENT_FILL_RECT_H && ulMode != GRADIENT_FILL_RECT_V && !triangles)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    for (ULONG i = 0; i < nMesh; ++i) {
        bool named;
        if (triangles) {
            const auto& t = static_cast<const GRADIENT_TRIANGLE*>(pMesh)[i];
            named = t.Vertex1 < nVertex && t.Vertex2 < nVertex && t.Vertex3 < nVertex;
        } else {
            const auto& r = static_cast<const GRADIENT_RECT*>(pMesh)[i];
            named = r.UpperLeft < nVertex && r.LowerRight < nVertex;
        }
        if (!named) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return FALSE;
        }
    }
    if (!triangles && !AxisAligned(*dc)) {
        SetLastError(ERROR_NOT_SUPPORTED);
        return FALSE;
    }
    std::vector<TRIVERTEX> device(pVertex, pVertex + nVertex);
    for (TRIVERTEX& v : device) {
        POINT p;
        if (!ToDevicePoint(*dc, v.x, v.y, p)) return FALSE;
        v.x = p.x;
        v.y = p.y;
    }
    w32::DrawContext context;
    if (!PrepareDraw(*dc, context)) return FALSE;
    if (nMesh == 0) return TRUE;
    return DrawGradientFill(context, device.data(), nVertex, pMesh, nMesh, ulMode);
}
