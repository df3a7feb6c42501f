// Blits between DCs and with the brush: PatBlt, BitBlt, StretchBlt,
// MaskBlt and TransparentBlt.
//
// Rectangles are logical, each in its own DC's mapping. The ROP decides
// what is read: a ROP that reads no source takes no source DC (it may be
// NULL), one that reads the pattern takes the destination's selected
// brush. NOMIRRORBITMAP and CAPTUREBLT in the ROP are flags, not pixels,
// and are dropped. A source DC is a memory DC or a window DC (gdi32/blitcall.h).
#include <windows.h>

#include "gdi32/blitcall.h"
#include "gdi32/drawcall.h"

namespace w32::gdi {

namespace {

// Source and destination rectangles in logical units, each of its own DC.
BOOL BlitBetween(HDC hdcDest, int xDest, int yDest, int wDest, int hDest, HDC hdcSrc, int xSrc, int ySrc, int wSrc,
                 int hSrc, const EngineSurface* mask, POINTL maskOrigin, BYTE foreground, BYTE background) {
    auto dc = LockDrawingDC(hdcDest);
    if (!dc) return FALSE;
    RECTL destination;
    if (!DeviceBlitRect(*dc, xDest, yDest, wDest, hDest, destination)) return FALSE;
    std::shared_ptr<EngineSurface> source;
    RECTL sourceRect{};
    if (Rop3ReadsSource(foreground) || Rop3ReadsSource(background)) {
        auto src = LookupDC(hdcSrc);
        if (!src) {
            SetLastError(ERROR_INVALID_HANDLE);
            return FALSE;
        }
        source = ReadableSurfaceOf(*src);
        if (!source || !DeviceBlitRect(*src, xSrc, ySrc, wSrc, hSrc, sourceRect)) return FALSE;
    }
    return DrawBlit(*dc, destination, source, sourceRect, mask, maskOrigin, foreground, background);
}

}  // namespace

}  // namespace w32::gdi

using namespace w32::gdi;

// Paints the rectangle with the selected brush under a ROP that reads no
// source (ERROR_INVALID_PARAMETER for one that does).
BOOL WINAPI PatBlt(HDC hdc, int x, int y, int w, int h, DWORD rop) {
    const BYTE rop3 = Rop3Of(rop);
    if (Rop3ReadsSource(rop3)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    auto dc = LockDrawingDC(hdc);
    if (!dc) return FALSE;
    RECTL destination;
    if (!DeviceBlitRect(*dc, x, y, w, h, destination)) return FALSE;
    return DrawBlit(*dc, destination, nullptr, RECTL{}, nullptr, POINTL{}, rop3, rop3);
}

BOOL WINAPI BitBlt(HDC hdc, int x, int y, int cx, int cy, HDC hdcSrc, int x1, int y1, DWORD rop) {
    const BYTE rop3 = Rop3Of(rop);
    return BlitBetween(hdc, x, y, cx, cy, hdcSrc, x1, y1, cx, cy, nullptr, POINTL{}, rop3, rop3);
}

// The source rectangle stretched onto the destination in the DC's stretch
// mode; a negative width or height on one side mirrors the image.
BOOL WINAPI StretchBlt(HDC hdcDest, int xDest, int yDest, int wDest, int hDest, HDC hdcSrc, int xSrc, int ySrc,
                       int wSrc, int hSrc, DWORD rop) {
    const BYTE rop3 = Rop3Of(rop);
    return BlitBetween(hdcDest, xDest, yDest, wDest, hDest, hdcSrc, xSrc, ySrc, wSrc, hSrc, nullptr, POINTL{}, rop3,
                       rop3);
}

// `rop` is MAKEROP4(foreground, background): the foreground ROP3 in bits
// 16 to 23 applies where the mask bit is 1, the background one in bits 24
// to 31 where it is 0. Without a mask, the foreground ROP alone, as
// BitBlt. The mask is a monochrome bitmap (else ERROR_INVALID_PARAMETER)
// whose rectangle at (xMask, yMask) must lie within it.
BOOL WINAPI MaskBlt(HDC hdcDest, int xDest, int yDest, int width, int height, HDC hdcSrc, int xSrc, int ySrc,
                    HBITMAP hbmMask, int xMask, int yMask, DWORD rop) {
    const BYTE foreground = BYTE((rop >> 16) & 0xff), background = BYTE((rop >> 24) & 0xff);
    if (!hbmMask)
        return BlitBetween(hdcDest, xDest, yDest, width, height, hdcSrc, xSrc, ySrc, width, height, nullptr,
                           POINTL{}, foreground, foreground);
    auto mask = LookupGdiObjectAs<GdiBitmap>(hbmMask);
    if (!mask || !mask->surface) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    const SIZEL size = mask->surface->so.sizlBitmap;
    if (mask->surface->so.iBitmapFormat != BMF_1BPP || width < 0 || height < 0 || xMask < 0 || yMask < 0 ||
        (long long)xMask + width > size.cx || (long long)yMask + height > size.cy) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    return BlitBetween(hdcDest, xDest, yDest, width, height, hdcSrc, xSrc, ySrc, width, height, mask->surface.get(),
                       POINTL{xMask, yMask}, foreground, background);
}

// Copies the source rectangle, stretched, leaving the destination alone
// where the source has the colour `crTransparent`. Sizes must not be
// negative, and the source rectangle must lie within its bitmap.
BOOL WINAPI TransparentBlt(HDC hdcDest, int xoriginDest, int yoriginDest, int wDest, int hDest, HDC hdcSrc,
                           int xoriginSrc, int yoriginSrc, int wSrc, int hSrc, UINT crTransparent) {
    return DrawFromWholeSource(hdcDest, xoriginDest, yoriginDest, wDest, hDest, hdcSrc, xoriginSrc, yoriginSrc, wSrc,
                               hSrc, false,
                               [&](const w32::DrawContext& context, const RECTL& destination,
                                   const w32::BlitSource& source, const RECTL& sourceRect) {
                                   return DrawTransparentBlt(context, destination, source, sourceRect,
                                                             COLORREF(crTransparent));
                               });
}
