// CreateDIBSection: a bitmap whose bits the program reaches directly, laid
// out as the DIB it described (bottom-up unless the height is negative,
// scan lines of whole 32-bit words).
//
// Bits in a file mapping (a section handle) are not provided:
// ERROR_NOT_SUPPORTED. DIB_PAL_COLORS takes its colours from the palette
// of the DC, which must be given then.
#include <windows.h>

#include "gdi32/bitmaps.h"
#include "gdi32/dibformat.h"

HBITMAP WINAPI CreateDIBSection(HDC hdc, const BITMAPINFO* pbmi, UINT usage, VOID** ppvBits, HANDLE hSection,
                                DWORD offset) {
    if (ppvBits) *ppvBits = nullptr;
    (void)offset;
    if (hSection) {
        SetLastError(ERROR_NOT_SUPPORTED);
        return nullptr;
    }
    std::shared_ptr<w32::gdi::DeviceContext> dc;
    if (hdc) {
        dc = w32::gdi::LookupDC(hdc);
        if (!dc) {
            SetLastError(ERROR_INVALID_HANDLE);
            return nullptr;
        }
    }
    w32::gdi::DibFormat format;
    if (!w32::gdi::ReadDibFormat(pbmi, usage, dc.get(), format)) return nullptr;
    auto bitmap = w32::gdi::NewBitmap(format.width, format.height, format.bitCount, true, format.topDown,
                                      w32::gdi::DibPalette(format));
    if (!bitmap) return nullptr;
    BITMAPINFOHEADER& header = bitmap->dibHeader;
    header = pbmi->bmiHeader;
    header.biSize = sizeof(BITMAPINFOHEADER);
    header.biSizeImage = DWORD(format.imageBytes);
    const auto& palette = bitmap->surface->palette;
    if (palette && palette->mode == PAL_BITFIELDS) {
        bitmap->bitfields[0] = palette->redMask;
        bitmap->bitfields[1] = palette->greenMask;
        bitmap->bitfields[2] = palette->blueMask;
    }
    if (ppvBits) *ppvBits = bitmap->surface->so.pvBits;
    return static_cast<HBITMAP>(w32::gdi::InsertGdiObject(bitmap));
}
