// Logical palettes: CreatePalette, SelectPalette, RealizePalette,
// GetPaletteEntries, SetPaletteEntries, GetNearestPaletteIndex and
// GetNearestColor.
//
// No device here has a hardware palette (SIZEPALETTE is 0 on the screen
// and on printers of more than 8 bits per pixel), so realising a palette
// maps each of its entries to the device's own colour: RealizePalette
// answers the number of entries of the selected palette. GetNearestColor
// answers the colour itself for such devices; PALETTEINDEX colours are
// looked up in the DC's palette.
#include <windows.h>

#include <algorithm>
#include <climits>

#include "gdi32/dc.h"
#include "gdi32/objects.h"
#include "gdi32/selection.h"
#include "gdi32/stockobjects.h"

namespace {

using w32::gdi::GdiPalette;

constexpr WORD kPaletteVersion = 0x300;

std::shared_ptr<GdiPalette> PaletteOf(HPALETTE handle) {
    auto palette = w32::gdi::LookupGdiObjectAs<GdiPalette>(handle);
    if (!palette) SetLastError(ERROR_INVALID_HANDLE);
    return palette;
}

// The index of the entry nearest to the colour: least squared distance, the first of equals.
UINT NearestIndex(const std::vector<PALETTEENTRY>& entries, COLORREF color) {
    UINT best = 0;
    long bestDistance = LONG_MAX;
    for (size_t i = 0; i < entries.size(); ++i) {
        const long dr = long(entries[i].peRed) - GetRValue(color);
        const long dg = long(entries[i].peGreen) - GetGValue(color);
        const long db = long(entries[i].peBlue) - GetBValue(color);
        const long distance = dr * dr + dg * dg + db * db;
        if (distance < bestDistance) {
            best = UINT(i);
            bestDistance = distance;
        }
    }
    return best;
}

}  // namespace

HPALETTE WINAPI CreatePalette(const LOGPALETTE* plpal) {
    if (!plpal || plpal->palVersion != kPaletteVersion || plpal->palNumEntries == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto palette = std::make_shared<GdiPalette>();
    palette->entries.assign(plpal->palPalEntry, plpal->palPalEntry + plpal->palNumEntries);
    return static_cast<HPALETTE>(w32::gdi::InsertGdiObject(palette));
}

HPALETTE WINAPI SelectPalette(HDC hdc, HPALETTE hPal, BOOL) {
    auto dc = w32::gdi::LookupDC(hdc);
    if (!dc || !PaletteOf(hPal)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    return static_cast<HPALETTE>(w32::gdi::ReplaceSelected(dc->state.palette, hPal));
}

UINT WINAPI RealizePalette(HDC hdc) {
    auto dc = w32::gdi::LookupDC(hdc);
    if (!dc) {
        SetLastError(ERROR_INVALID_HANDLE);
        return GDI_ERROR;
    }
    auto palette = w32::gdi::LookupGdiObjectAs<GdiPalette>(dc->state.palette);
    return palette ? UINT(palette->entries.size()) : 0;
}

// Without a buffer: the number of entries of the palette.
UINT WINAPI GetPaletteEntries(HPALETTE hpal, UINT iStart, UINT cEntries, LPPALETTEENTRY pPalEntries) {
    auto palette = PaletteOf(hpal);
    if (!palette) return 0;
    const size_t size = palette->entries.size();
    if (!pPalEntries) return UINT(size);
    if (iStart >= size) return 0;
    const UINT count = UINT(std::min<size_t>(cEntries, size - iStart));
    std::copy_n(palette->entries.begin() + iStart, count, pPalEntries);
    return count;
}

UINT WINAPI SetPaletteEntries(HPALETTE hpal, UINT iStart, UINT cEntries, const PALETTEENTRY* pPalEntries) {
    auto palette = PaletteOf(hpal);
    if (!palette) return 0;
    // The default palette is shared by every DC and stays as it is.
    if (palette->stock || !pPalEntries) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const size_t size = palette->entries.size();
    if (iStart >= size) return 0;
    const UINT count = UINT(std::min<size_t>(cEntries, size - iStart));
    std::copy_n(pPalEntries, count, palette->entries.begin() + iStart);
    return count;
}

UINT WINAPI GetNearestPaletteIndex(HPALETTE h, COLORREF color) {
    auto palette = PaletteOf(h);
    if (!palette) return CLR_INVALID;
    return NearestIndex(palette->entries, color);
}

COLORREF WINAPI GetNearestColor(HDC hdc, COLORREF color) {
    auto dc = w32::gdi::LookupDC(hdc);
    if (!dc) {
        SetLastError(ERROR_INVALID_HANDLE);
        return CLR_INVALID;
    }
    if ((color & 0xFF000000) == 0x01000000) {
        // PALETTEINDEX: an entry of the DC's palette.
        auto palette = w32::gdi::LookupGdiObjectAs<GdiPalette>(dc->state.palette);
        const WORD index = WORD(color & 0xFFFF);
        if (!palette || index >= palette->entries.size()) return RGB(0, 0, 0);
        const PALETTEENTRY& e = palette->entries[index];
        return RGB(e.peRed, e.peGreen, e.peBlue);
    }
    return color & 0x00FFFFFF;
}
