// Device fonts: the fonts a printer holds itself, which its driver describes
// and draws. A PDEV whose DEVINFO.cFonts is not 0 has them; the engine asks
// the driver for them the first time a DC of the device maps or enumerates
// fonts, and keeps what it was given for the PDEV's life:
//   - the number of faces: cFonts, or, when cFonts is -1,
//     DrvQueryFont(dhpdev, 0, 0, &id) (the count comes as the pointer);
//   - each face's IFIMETRICS: DrvQueryFont(dhpdev, 0, iFace, &id) for iFace
//     1 to the count, copied (cjThis bytes), then DrvFree(pifi, id) when the
//     driver gave an id and has DrvFree;
//   - each face's characters and glyph handles: DrvQueryFontTree(dhpdev, 0,
//     iFace, QFT_GLYPHSET, &id), copied and given back the same way. A
//     driver without DrvQueryFontTree, or one that answers null, has the
//     characters wcFirstChar to wcLastChar with themselves as handles.
// A face the driver does not give, or gives shorter than the record, with
// names outside it or without a family name, is left out.
//
// Widths come from DrvQueryAdvanceWidths(dhpdev, pfo, QAW_GETWIDTHS, ...),
// asked once per realised font for all of its glyphs, as 28.4 device units
// rounded to whole pixels; a driver without it, or one that refuses, has
// every glyph fwdAveCharWidth wide.
//
// Device fonts only draw on their printer: the engine has no glyph bitmaps
// or outlines for them (FONTOBJ_cGetGlyphs answers nothing, EngTextOut
// cannot draw them), and the font file functions of GDI fail for them.
#pragma once
#include <windows.h>
#include <winddi.h>

#include <memory>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace w32 {

struct PrinterDevice;
class RealizedFont;

struct DeviceFontFace {
    ULONG iFace = 0;                 // from 1, as the driver numbers them
    std::vector<uint64_t> ifiBlock;  // the driver's IFIMETRICS with its strings, 8-byte aligned
    std::u16string familyName, faceName;
    // Characters with their glyph handles, ordered by character; and every
    // handle once, ordered.
    std::vector<std::pair<WCHAR, HGLYPH>> characters;
    std::vector<HGLYPH> handles;
    std::weak_ptr<PrinterDevice> device;  // whose driver draws and measures it

    const IFIMETRICS& Ifi() const { return *reinterpret_cast<const IFIMETRICS*>(ifiBlock.data()); }
    // The handle of a character; `*present` says whether the face has it.
    HGLYPH Glyph(WCHAR ch, bool* present = nullptr) const;
    bool HasGlyph(HGLYPH glyph) const;
};

using DeviceFontList = std::vector<std::shared_ptr<const DeviceFontFace>>;

// The device fonts of a printer DC's device, asked for once per PDEV; empty
// for a device without any (and for null).
DeviceFontList DeviceFonts(const std::shared_ptr<PrinterDevice>& device);

// The widths of `font`'s glyphs (its face's handles, in order), in device
// pixels along the baseline; false when the device is gone or the driver
// gave none.
bool QueryDeviceAdvanceWidths(const RealizedFont& font, std::vector<LONG>& widths);

}  // namespace w32
