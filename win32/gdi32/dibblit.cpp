// A program's DIB drawn on a DC: StretchDIBits and SetDIBitsToDevice.
//
// The DIB's pixels become an engine bitmap (SurfaceFromDib: the header is
// checked there, and a header that lies fails with its last error), whose
// colours come from its colour table (DIB_RGB_COLORS) or from the DC's
// selected palette by index (DIB_PAL_COLORS). Source coordinates count
// from the DIB's first stored row: the bottom one of a bottom-up DIB
// (positive biHeight), the top one of a top-down DIB.
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "gdi32/blitcall.h"
#include "gdi32/drawcall.h"

namespace w32::gdi {

namespace {

// The DC's palette entries for DIB_PAL_COLORS.
std::vector<PALETTEENTRY> PaletteOf(const DeviceContext& dc) {
    auto palette = LookupGdiObjectAs<GdiPalette>(dc.state.palette);
    return palette ? palette->entries : std::vector<PALETTEENTRY>{};
}

bool ValidUsage(UINT usage) {
    if (usage != DIB_RGB_COLORS && usage != DIB_PAL_COLORS) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    return true;
}

// The header of a band of `lines` rows of the DIB, with the DIB's colour
// table or masks, in a buffer large enough for any table SurfaceFromDib
// may read. Empty with ERROR_INVALID_PARAMETER for a header this cannot
// copy safely (an unknown header size, more than 256 colours).
std::vector<BYTE> BandHeader(const BITMAPINFO* info, UINT usage, LONG lines) {
    const BITMAPINFOHEADER& header = info->bmiHeader;
    // BITMAPINFOHEADER, BITMAPV4HEADER, BITMAPV5HEADER.
    if ((header.biSize != 40 && header.biSize != 108 && header.biSize != 124) || header.biClrUsed > 256) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return {};
    }
    size_t entries = header.biClrUsed;
    if (header.biBitCount <= 8 && entries == 0) entries = size_t(1) << header.biBitCount;
    const size_t entrySize = usage == DIB_PAL_COLORS ? sizeof(WORD) : sizeof(RGBQUAD);
    size_t table = entries * entrySize;
    if (header.biSize == 40 && header.biCompression == BI_BITFIELDS) table += 3 * sizeof(DWORD);
    std::vector<BYTE> copy(header.biSize + 256 * sizeof(RGBQUAD) + 3 * sizeof(DWORD), 0);
    std::memcpy(copy.data(), info, header.biSize + table);
    auto* band = reinterpret_cast<BITMAPINFOHEADER*>(copy.data());
    band->biHeight = header.biHeight < 0 ? -lines : lines;
    band->biSizeImage = 0;
    return copy;
}

}  // namespace

}  // namespace w32::gdi

using namespace w32::gdi;

// Answers the number of scan lines of the source rectangle drawn, 0 on failure.
int WINAPI StretchDIBits(HDC hdc, int xDest, int yDest, int DestWidth, int DestHeight, int xSrc, int ySrc,
                         int SrcWidth, int SrcHeight, const VOID* lpBits, const BITMAPINFO* lpbmi, UINT iUsage,
                         DWORD rop) {
    auto dc = LockDrawingDC(hdc);
    if (!dc) return 0;
    const BYTE rop3 = Rop3Of(rop);
    const bool readsSource = Rop3ReadsSource(rop3);
    if (!lpbmi || (readsSource && !lpBits) || !ValidUsage(iUsage)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    RECTL destination;
    if (!DeviceBlitRect(*dc, xDest, yDest, DestWidth, DestHeight, destination)) return 0;
    std::shared_ptr<w32::EngineSurface> surface;
    RECTL sourceRect{};
    if (readsSource) {
        const std::vector<PALETTEENTRY> palette = PaletteOf(*dc);
        surface = w32::SurfaceFromDib(lpbmi, lpBits, iUsage, palette);
        if (!surface) return 0;
        const long long height = surface->so.sizlBitmap.cy;
        const long long left = xSrc, right = (long long)xSrc + SrcWidth;
        long long top = ySrc, bottom = (long long)ySrc + SrcHeight;
        if (lpbmi->bmiHeader.biHeight > 0) {  // rows counted from the bottom
            top = height - ((long long)ySrc + SrcHeight);
            bottom = height - ySrc;
        }
        const long long limit = (long long)kLargestDeviceCoordinate;
        for (long long v : {left, right, top, bottom})
            if (v < -limit || v > limit) {
                SetLastError(ERROR_INVALID_PARAMETER);
                return 0;
            }
        sourceRect = RECTL{LONG(left), LONG(top), LONG(right), LONG(bottom)};
    }
    if (!DrawBlit(*dc, destination, surface, sourceRect, nullptr, POINTL{}, rop3, rop3)) return 0;
    return std::abs(SrcHeight);
}

// Copies `w` by `h` pixels of the DIB from (xSrc, ySrc) to the logical
// point (xDest, yDest), unscaled. `lpvBits` holds only `cLines` rows of the
// DIB from row `StartScan` (a band); the part of the rectangle in the band
// is drawn. Answers the number of rows of the band, 0 on failure.
int WINAPI SetDIBitsToDevice(HDC hdc, int xDest, int yDest, DWORD w, DWORD h, int xSrc, int ySrc, UINT StartScan,
                             UINT cLines, const VOID* lpvBits, const BITMAPINFO* lpbmi, UINT ColorUse) {
    auto dc = LockDrawingDC(hdc);
    if (!dc) return 0;
    if (!lpbmi || !lpvBits || !ValidUsage(ColorUse)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const long long rows = std::abs((long long)lpbmi->bmiHeader.biHeight);
    const long long limit = (long long)kLargestDeviceCoordinate;
    if (w > limit || h > limit || rows > limit || std::abs((long long)xSrc) > limit ||
        std::abs((long long)ySrc) > limit) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (cLines == 0 || StartScan >= rows) return 0;
    const long long lines = std::min<long long>(cLines, rows - StartScan);
    POINT origin;
    if (!ToDevicePoint(*dc, xDest, yDest, origin)) return 0;
    const std::vector<BYTE> header = BandHeader(lpbmi, ColorUse, LONG(lines));
    if (header.empty()) return 0;
    const std::vector<PALETTEENTRY> palette = PaletteOf(*dc);
    auto band = w32::SurfaceFromDib(reinterpret_cast<const BITMAPINFO*>(header.data()), lpvBits, ColorUse, palette);
    if (!band) return 0;
    // The rows of the source rectangle that the band holds, counted as the
    // DIB counts them.
    const long long first = std::max<long long>(ySrc, StartScan);
    const long long end = std::min<long long>((long long)ySrc + h, StartScan + lines);
    if (first >= end) return int(lines);
    long long destinationRow, bandRow;
    if (lpbmi->bmiHeader.biHeight > 0) {  // bottom-up: higher rows are drawn higher up
        destinationRow = (long long)ySrc + h - end;
        bandRow = StartScan + lines - end;
    } else {
        destinationRow = first - ySrc;
        bandRow = first - StartScan;
    }
    const LONG top = LONG(origin.y + destinationRow), height = LONG(end - first);
    const RECTL destination{origin.x, top, LONG(origin.x + (long long)w), top + height};
    const RECTL sourceRect{xSrc, LONG(bandRow), LONG(xSrc + (long long)w), LONG(bandRow) + height};
    const BYTE copy = Rop3Of(SRCCOPY);
    if (!DrawBlit(*dc, destination, band, sourceRect, nullptr, POINTL{}, copy, copy)) return 0;
    return int(lines);
}
