// Regions as lists of rectangles: GetRegionData and ExtCreateRegion.
//
// The data is an RGNDATAHEADER (dwSize 32, RDH_RECTANGLES, the count, the
// bytes of the rectangles and the bounds) followed by the rectangles, top to
// bottom and left to right. GetRegionData answers the size it needs when
// given no buffer, the size of the buffer when it filled it, and 0 (the
// layer sets ERROR_INSUFFICIENT_BUFFER) when the buffer is too small.
// ExtCreateRegion refuses a header whose size, type or count does not fit
// the bytes given; rectangles with no area are skipped. A transform maps
// each rectangle's corners; rotated or sheared ones become polygons.
#include <windows.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "gdi32/regions.h"

namespace {

using w32::Region;

HRGN Fail(DWORD error) {
    SetLastError(error);
    return nullptr;
}

bool IsIdentity(const XFORM& x) {
    return x.eM11 == 1 && x.eM12 == 0 && x.eM21 == 0 && x.eM22 == 1 && x.eDx == 0 && x.eDy == 0;
}

POINTFIX Transformed(const XFORM& x, LONG px, LONG py) {
    const double tx = px * double(x.eM11) + py * double(x.eM21) + x.eDx;
    const double ty = px * double(x.eM12) + py * double(x.eM22) + x.eDy;
    return POINTFIX{FIX(std::lround(tx * 16)), FIX(std::lround(ty * 16))};
}

}  // namespace

DWORD WINAPI GetRegionData(HRGN hrgn, DWORD nCount, LPRGNDATA lpRgnData) {
    auto region = w32::gdi::RegionOf(hrgn);
    if (!region) return 0;
    const std::vector<RECTL> rects = region->region.Rects();
    const size_t size = sizeof(RGNDATAHEADER) + rects.size() * sizeof(RECT);
    if (!lpRgnData) return DWORD(size);
    if (nCount < size) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    const RECTL bounds = region->region.Bounds();
    RGNDATAHEADER& header = lpRgnData->rdh;
    header.dwSize = sizeof(RGNDATAHEADER);
    header.iType = RDH_RECTANGLES;
    header.nCount = DWORD(rects.size());
    header.nRgnSize = DWORD(rects.size() * sizeof(RECT));
    header.rcBound = RECT{bounds.left, bounds.top, bounds.right, bounds.bottom};
    for (size_t i = 0; i < rects.size(); ++i) {
        const RECT rect{rects[i].left, rects[i].top, rects[i].right, rects[i].bottom};
        std::memcpy(lpRgnData->Buffer + i * sizeof(RECT), &rect, sizeof(RECT));
    }
    return nCount;
}

HRGN WINAPI ExtCreateRegion(const XFORM* lpx, DWORD nCount, const RGNDATA* lpData) {
    if (!lpData || nCount < sizeof(RGNDATAHEADER)) return Fail(ERROR_INVALID_PARAMETER);
    const RGNDATAHEADER& header = lpData->rdh;
    if (header.dwSize != sizeof(RGNDATAHEADER) || header.iType != RDH_RECTANGLES ||
        header.nCount > (nCount - sizeof(RGNDATAHEADER)) / sizeof(RECT))
        return Fail(ERROR_INVALID_PARAMETER);
    if (lpx && !std::isfinite(lpx->eM11 + lpx->eM12 + lpx->eM21 + lpx->eM22 + lpx->eDx + lpx->eDy))
        return Fail(ERROR_INVALID_PARAMETER);
    std::vector<RECTL> rects;
    w32::DevicePath polygons;
    for (DWORD i = 0; i < header.nCount; ++i) {
        RECT r;
        std::memcpy(&r, lpData->Buffer + size_t(i) * sizeof(RECT), sizeof(RECT));
        if (r.left >= r.right || r.top >= r.bottom) continue;
        if (!lpx || IsIdentity(*lpx)) {
            rects.push_back(RECTL{r.left, r.top, r.right, r.bottom});
            continue;
        }
        polygons.MoveTo(Transformed(*lpx, r.left, r.top));
        polygons.LineTo(Transformed(*lpx, r.right, r.top));
        polygons.LineTo(Transformed(*lpx, r.right, r.bottom));
        polygons.LineTo(Transformed(*lpx, r.left, r.bottom));
        polygons.CloseFigure();
    }
    Region region = Region::FromRects(rects);
    if (!polygons.Empty()) region = region.Union(w32::gdi::RegionFromPath(polygons, WINDING));
    return w32::gdi::InsertRegion(std::move(region));
}
