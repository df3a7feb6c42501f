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
    if (ftn.BlendOp != AC_SRC_OVER || (ftn.AlphaFormat & ~AC_SRC_ALPHA)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    return DrawFromWholeSource(hdcDest, xoriginDest, yoriginDest, wDest, hDest, hdcSrc, xoriginSrc, yoriginSrc, wSrc,
                               hSrc, true,
                               [&](const w32::DrawContext& context, const RECTL& destination,
                                   const w32::BlitSource& source, const RECTL& sourceRect) {
                                   return DrawAlphaBlend(context, destination, source, sourceRect, ftn);
                               });
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
