// Engine palettes: indexed colour tables, bit-field masks, and the fixed
// RGB, BGR and CMYK orders.
#include <windows.h>
#include <winddi.h>

#include "win32k/engobj.h"

namespace {

// More entries than a 16-bit index reaches are no palette.
constexpr ULONG kMaxIndexedColors = 65536;

}  // namespace

HPALETTE APIENTRY EngCreatePalette(ULONG iMode, ULONG cColors, ULONG* pulColors, FLONG flRed, FLONG flGreen,
                                   FLONG flBlue) {
    auto palette = std::make_shared<w32::EnginePalette>();
    palette->mode = iMode;
    switch (iMode) {
        case PAL_INDEXED:
            if (cColors > kMaxIndexedColors) {
                SetLastError(ERROR_INVALID_PARAMETER);
                return nullptr;
            }
            // Without a colour array the entries are black, to be filled later.
            palette->colors.assign(cColors, 0);
            if (pulColors) palette->colors.assign(pulColors, pulColors + cColors);
            break;
        case PAL_BITFIELDS:
            palette->redMask = flRed;
            palette->greenMask = flGreen;
            palette->blueMask = flBlue;
            break;
        case PAL_RGB:
        case PAL_BGR:
        case PAL_CMYK:
            break;
        default:
            SetLastError(ERROR_INVALID_PARAMETER);
            return nullptr;
    }
    return reinterpret_cast<HPALETTE>(w32::InsertEngineObject(palette));
}

BOOL APIENTRY EngDeletePalette(HPALETTE hpal) {
    if (!w32::RemoveEngineObject(hpal, w32::EngineObjectType::Palette)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}
