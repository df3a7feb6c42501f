// Rectangular regions and region arithmetic: CreateRectRgn(Indirect),
// SetRectRgn, CombineRgn, OffsetRgn, PtInRegion, RectInRegion, EqualRgn
// and GetRgnBox.
//
// A rectangle's region holds the pixels from its left and top edges up to,
// not including, its right and bottom ones: CreateRectRgn(0, 0, 4, 4) holds
// pixels 0 to 3 each way. Corners given the wrong way round are swapped.
// The calls that change a region answer its complexity (NULLREGION,
// SIMPLEREGION, COMPLEXREGION), or ERROR with the last error set.
#include <windows.h>

#include <algorithm>

#include "gdi32/regions.h"

namespace w32::gdi {

HRGN InsertRegion(Region region) {
    auto object = std::make_shared<GdiRegion>();
    object->region = std::move(region);
    return static_cast<HRGN>(InsertGdiObject(object));
}

std::shared_ptr<GdiRegion> RegionOf(HRGN handle) {
    auto region = LookupGdiObjectAs<GdiRegion>(handle);
    if (!region) SetLastError(ERROR_INVALID_HANDLE);
    return region;
}

Region RegionFromPath(const DevicePath& path, int fillMode) {
    const std::vector<Span> spans = FillPathSpans(FlattenPath(path), fillMode);
    return Region::FromSpans(spans);
}

}  // namespace w32::gdi

namespace {

using w32::Region;
using w32::gdi::RegionOf;

RECTL Normalized(int x1, int y1, int x2, int y2) {
    return RECTL{std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2)};
}

}  // namespace

HRGN WINAPI CreateRectRgn(int x1, int y1, int x2, int y2) {
    return w32::gdi::InsertRegion(Region(Normalized(x1, y1, x2, y2)));
}

HRGN WINAPI CreateRectRgnIndirect(const RECT* lprect) {
    if (!lprect) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return CreateRectRgn(lprect->left, lprect->top, lprect->right, lprect->bottom);
}

BOOL WINAPI SetRectRgn(HRGN hrgn, int left, int top, int right, int bottom) {
    auto region = RegionOf(hrgn);
    if (!region) return FALSE;
    region->region = Region(Normalized(left, top, right, bottom));
    return TRUE;
}

int WINAPI CombineRgn(HRGN hrgnDst, HRGN hrgnSrc1, HRGN hrgnSrc2, int iMode) {
    if (iMode < RGN_AND || iMode > RGN_COPY) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return ERROR;
    }
    auto destination = RegionOf(hrgnDst);
    auto first = RegionOf(hrgnSrc1);
    auto second = iMode == RGN_COPY ? first : RegionOf(hrgnSrc2);
    if (!destination || !first || !second) return ERROR;
    const Region& a = first->region;
    const Region& b = second->region;
    switch (iMode) {
        case RGN_AND: destination->region = a.Intersect(b); break;
        case RGN_OR: destination->region = a.Union(b); break;
        case RGN_XOR: destination->region = a.Xor(b); break;
        case RGN_DIFF: destination->region = a.Subtract(b); break;
        case RGN_COPY: destination->region = Region(a); break;
    }
    return destination->region.Complexity();
}

int WINAPI OffsetRgn(HRGN hrgn, int x, int y) {
    auto region = RegionOf(hrgn);
    if (!region) return ERROR;
    region->region.Offset(x, y);
    return region->region.Complexity();
}

BOOL WINAPI PtInRegion(HRGN hrgn, int x, int y) {
    auto region = RegionOf(hrgn);
    return region && region->region.Contains(x, y);
}

BOOL WINAPI RectInRegion(HRGN hrgn, const RECT* lprect) {
    auto region = RegionOf(hrgn);
    if (!region) return FALSE;
    if (!lprect) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const RECTL rect = Normalized(lprect->left, lprect->top, lprect->right, lprect->bottom);
    return rect.left < rect.right && rect.top < rect.bottom && region->region.Intersects(rect);
}

BOOL WINAPI EqualRgn(HRGN hrgn1, HRGN hrgn2) {
    auto a = RegionOf(hrgn1);
    auto b = RegionOf(hrgn2);
    if (!a || !b) return ERROR;
    return a->region == b->region;
}

int WINAPI GetRgnBox(HRGN hrgn, LPRECT lprc) {
    auto region = RegionOf(hrgn);
    if (!region) return ERROR;
    if (!lprc) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return ERROR;
    }
    const RECTL box = region->region.Bounds();
    *lprc = RECT{box.left, box.top, box.right, box.bottom};
    return region->region.Complexity();
}
