// Blits in device pixels: a straight copy when source and destination
// match in size and orientation, a stretch otherwise.
#include "gdi32/blitcall.h"

#include <algorithm>
#include <climits>

#include "gdi32/drawcall.h"
#include "gdi32/objects.h"

namespace w32::gdi {

RECTL Ordered(const RECTL& r) {
    return RECTL{std::min(r.left, r.right), std::min(r.top, r.bottom), std::max(r.left, r.right),
                 std::max(r.top, r.bottom)};
}

std::shared_ptr<EngineSurface> ReadableSurfaceOf(const DeviceContext& source) {
    if (source.memory || source.windowSurface) {
        auto bitmap = TargetBitmap(source);
        if (bitmap && bitmap->surface) return bitmap->surface;
    }
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
}

bool DeviceBlitRect(const DeviceContext& dc, int x, int y, int width, int height, RECTL& out) {
    const long long right = (long long)x + width, bottom = (long long)y + height;
    if (right < INT_MIN || right > INT_MAX || bottom < INT_MIN || bottom > INT_MAX) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    POINT a, b;
    if (!ToDevicePoint(dc, x, y, a) || !ToDevicePoint(dc, LONG(right), LONG(bottom), b)) return false;
    out = RECTL{a.x, a.y, b.x, b.y};
    return true;
}

bool DrawBlit(const DeviceContext& dc, RECTL destination, const std::shared_ptr<EngineSurface>& source,
              RECTL sourceRect, const EngineSurface* mask, POINTL maskOrigin, BYTE foreground, BYTE background) {
    DrawContext context;
    if (!PrepareDraw(dc, context)) return false;
    const bool readsSource = Rop3ReadsSource(foreground) || Rop3ReadsSource(background);
    const bool readsPattern = Rop3ReadsPattern(foreground) || Rop3ReadsPattern(background);
    std::shared_ptr<EngineBrush> brush;
    if (readsPattern) {
        brush = SelectedBrush(dc);
        if (!brush) brush = std::make_shared<EngineBrush>();
    }
    const ROP4 rop4 = MakeDdiRop4(foreground, background);
    RECTL target = Ordered(destination);
    if (target.left == target.right || target.top == target.bottom) return true;
    if (!readsSource) return DrawBitBlt(context, target, nullptr, mask, maskOrigin, brush.get(), rop4);
    if (!source) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    const SIZEL size = source->so.sizlBitmap;
    const LONG dw = destination.right - destination.left, dh = destination.bottom - destination.top;
    const LONG sw = sourceRect.right - sourceRect.left, sh = sourceRect.bottom - sourceRect.top;
    if (dw == sw && dh == sh) {
        // A straight copy reads only what the source bitmap has; the
        // destination shrinks with the part of the source cut away.
        const RECTL wanted = Ordered(sourceRect);
        const RECTL readable{std::max(wanted.left, LONG(0)), std::max(wanted.top, LONG(0)), std::min(wanted.right, size.cx),
                             std::min(wanted.bottom, size.cy)};
        if (readable.left >= readable.right || readable.top >= readable.bottom) return true;
        const LONG cutLeft = readable.left - wanted.left, cutTop = readable.top - wanted.top;
        target = RECTL{target.left + cutLeft, target.top + cutTop,
                       target.left + cutLeft + (readable.right - readable.left),
                       target.top + cutTop + (readable.bottom - readable.top)};
        maskOrigin.x += cutLeft;
        maskOrigin.y += cutTop;
        const BlitSource blitSource{DrawSurface{source, nullptr}, POINTL{readable.left, readable.top}};
        return DrawBitBlt(context, target, &blitSource, mask, maskOrigin, brush.get(), rop4);
    }
    if (mask) {
        SetLastError(ERROR_NOT_SUPPORTED);  // masks go with straight copies only
        return false;
    }
    const RECTL wanted = Ordered(sourceRect);
    if (wanted.left == wanted.right || wanted.top == wanted.bottom) return true;
    if (wanted.left < 0 || wanted.top < 0 || wanted.right > size.cx || wanted.bottom > size.cy) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    const BlitSource blitSource{DrawSurface{source, nullptr}, POINTL{wanted.left, wanted.top}};
    return DrawStretchBlt(context, destination, blitSource, sourceRect, brush.get(), rop4);
}

BOOL DrawFromWholeSource(HDC hdcDest, int xDest, int yDest, int wDest, int hDest, HDC hdcSrc, int xSrc, int ySrc,
                         int wSrc, int hSrc, bool refuseOverlap, const WholeSourceDraw& draw) {
    if (wDest < 0 || hDest < 0 || wSrc < 0 || hSrc < 0) {
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
    if (!source || !DeviceBlitRect(*dc, xDest, yDest, wDest, hDest, destination) ||
        !DeviceBlitRect(*src, xSrc, ySrc, wSrc, hSrc, sourceRect))
        return FALSE;
    destination = Ordered(destination);
    sourceRect = Ordered(sourceRect);
    const SIZEL size = source->so.sizlBitmap;
    const auto target = TargetBitmap(*dc);
    const bool sameBitmap = target && target == TargetBitmap(*src);
    const bool overlap = sameBitmap && destination.left < sourceRect.right && sourceRect.left < destination.right &&
                         destination.top < sourceRect.bottom && sourceRect.top < destination.bottom;
    if (sourceRect.left < 0 || sourceRect.top < 0 || sourceRect.right > size.cx || sourceRect.bottom > size.cy ||
        (refuseOverlap && overlap)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (destination.left == destination.right || destination.top == destination.bottom ||
        sourceRect.left == sourceRect.right || sourceRect.top == sourceRect.bottom)
        return TRUE;
    DrawContext context;
    if (!PrepareDraw(*dc, context)) return FALSE;
    const BlitSource blitSource{DrawSurface{source, nullptr}, POINTL{sourceRect.left, sourceRect.top}};
    return draw(context, destination, blitSource, sourceRect);
}

}  // namespace w32::gdi
