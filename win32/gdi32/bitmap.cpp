// Device-dependent bitmaps: CreateBitmap, CreateBitmapIndirect,
// CreateCompatibleBitmap, GetBitmapBits and SetBitmapBits.
//
// A bitmap of 0 width or height is the stock 1x1 monochrome bitmap, as
// Windows gives. The bits a program passes or reads are scan lines from
// the top, each a whole number of 16-bit words (bmWidthBytes); a DIB
// section's are whole 32-bit words, read from the top as well.
#include <windows.h>

#include <algorithm>
#include <cstring>

#include "gdi32/bitmaps.h"
#include "gdi32/stockobjects.h"

namespace {

using w32::gdi::GdiBitmap;

HBITMAP Fail(DWORD error) {
    SetLastError(error);
    return nullptr;
}

// The bits per pixel for planes of bits: rounded up to the next format.
UINT BitCountFor(UINT planes, UINT bitsPerPlane) {
    const UINT bits = planes * bitsPerPlane;
    for (UINT count : {1u, 4u, 8u, 16u, 24u, 32u})
        if (bits <= count) return count;
    return 0;
}

// Copies between the bitmap's scan lines (from the top) and a program's
// buffer of `bytes` bytes; gives the bytes copied.
LONG CopyBits(const GdiBitmap& bitmap, BYTE* buffer, size_t bytes, bool toBitmap) {
    const SURFOBJ& so = bitmap.surface->so;
    const size_t lineBytes = size_t(so.lDelta < 0 ? -so.lDelta : so.lDelta);
    const size_t total = std::min(bytes, lineBytes * size_t(so.sizlBitmap.cy));
    for (size_t done = 0; done < total;) {
        const size_t y = done / lineBytes;
        const size_t chunk = std::min(lineBytes, total - done);
        BYTE* line = static_cast<BYTE*>(so.pvScan0) + intptr_t(y) * so.lDelta;
        if (toBitmap)
            std::memcpy(line, buffer + done, chunk);
        else
            std::memcpy(buffer + done, line, chunk);
        done += chunk;
    }
    return LONG(total);
}

}  // namespace

HBITMAP WINAPI CreateBitmap(int nWidth, int nHeight, UINT nPlanes, UINT nBitCount, const VOID* lpBits) {
    if (nWidth < 0 || nHeight < 0 || nPlanes > 32 || nBitCount > 32) return Fail(ERROR_INVALID_PARAMETER);
    if (nWidth == 0 || nHeight == 0) return w32::gdi::StockBitmap();
    const UINT bitCount = BitCountFor(nPlanes ? nPlanes : 1, nBitCount ? nBitCount : 1);
    if (!bitCount) return Fail(ERROR_INVALID_PARAMETER);
    auto bitmap =
        w32::gdi::NewBitmap(nWidth, nHeight, bitCount, false, true, w32::gdi::DefaultBitmapPalette(bitCount));
    if (!bitmap) return nullptr;
    if (lpBits) {
        const SURFOBJ& so = bitmap->surface->so;
        CopyBits(*bitmap, static_cast<BYTE*>(const_cast<VOID*>(lpBits)), size_t(so.lDelta) * size_t(so.sizlBitmap.cy),
                 true);
    }
    return static_cast<HBITMAP>(w32::gdi::InsertGdiObject(bitmap));
}

HBITMAP WINAPI CreateBitmapIndirect(const BITMAP* pbm) {
    if (!pbm) return Fail(ERROR_INVALID_PARAMETER);
    // bmWidthBytes must be what the width and format give: the bits are read with it.
    if (pbm->bmWidth > 0 && pbm->bmHeight > 0 && pbm->bmBitsPixel <= 32 && pbm->bmPlanes <= 32) {
        const UINT bitCount = BitCountFor(pbm->bmPlanes ? pbm->bmPlanes : 1, pbm->bmBitsPixel ? pbm->bmBitsPixel : 1);
        if (pbm->bmWidthBytes != w32::gdi::WordAlignedWidthBytes(pbm->bmWidth, bitCount))
            return Fail(ERROR_INVALID_PARAMETER);
    }
    return CreateBitmap(pbm->bmWidth, pbm->bmHeight, pbm->bmPlanes, pbm->bmBitsPixel, pbm->bmBits);
}

HBITMAP WINAPI CreateCompatibleBitmap(HDC hdc, int cx, int cy) {
    auto dc = w32::gdi::LookupDC(hdc);
    if (!dc) return Fail(ERROR_INVALID_HANDLE);
    return w32::gdi::MakeCompatibleBitmap(*dc, cx, cy);
}

LONG WINAPI GetBitmapBits(HBITMAP hbit, LONG cb, LPVOID lpvBits) {
    auto bitmap = w32::gdi::LookupGdiObjectAs<GdiBitmap>(hbit);
    if (!bitmap) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    const SURFOBJ& so = bitmap->surface->so;
    const LONG size = LONG((so.lDelta < 0 ? -so.lDelta : so.lDelta) * so.sizlBitmap.cy);
    // Without a buffer: the bytes the bits take.
    if (!lpvBits) return size;
    if (cb <= 0) return 0;
    return CopyBits(*bitmap, static_cast<BYTE*>(lpvBits), size_t(cb), false);
}

LONG WINAPI SetBitmapBits(HBITMAP hbm, DWORD cb, const VOID* pvBits) {
    auto bitmap = w32::gdi::LookupGdiObjectAs<GdiBitmap>(hbm);
    if (!bitmap) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    if (!pvBits) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    // The shared stock bitmap stays as it is.
    if (bitmap->stock) return 0;
    return CopyBits(*bitmap, static_cast<BYTE*>(const_cast<VOID*>(pvBits)), cb, true);
}
