// The engine's text objects for drivers: the FONTOBJ of a realised font on
// a PDEV (or on the bitmaps of memory DCs), and the STROBJ of one string.
//
// FONTOBJ. One per PDEV and realised font, made when the first string in
// the font is drawn there and kept for every later one, so that its iUniq
// and what the driver keeps in pvConsumer last. It goes, after the driver's
// DrvDestroyFont when the driver was given it, when the PDEV is disabled,
// or when nothing but the engine holds the realised font any more (looked
// at as new fonts come, so the fonts a device keeps stay those in use).
//   iUniq         a number of its own, never 0
//   iFace         the face's number in its file, from 1
//   iFile, iTTUniq  the font file (FontFile::Id)
//   cxMax         the font's widest advance, device pixels
//   flFontType    FO_TYPE_TRUETYPE, FO_CFF for CFF outlines, FO_SIM_BOLD and
//                 FO_SIM_ITALIC as the engine emboldens or slants,
//                 FO_DBCS_FONT for a face covering a Chinese, Japanese or
//                 Korean charset, FO_VERT_FACE for an "@" face, FO_GRAY16
//                 for smoothed text (its GLYPHBITS are then 4 bits a pixel)
//   sizLogResPpi  the device's resolution (GDIINFO ulLogPixelsX and Y); 96
//                 on memory DCs
//   ulStyleSize   the em in points at that resolution
// A device font (win32k/devicefont.h) has FO_TYPE_DEVICE (with FO_DBCS_FONT
// for a double-byte charset), iFace its number among the driver's fonts,
// iFile 0, the driver's own IFIMETRICS from FONTOBJ_pifi, its glyph set's
// handles from FONTOBJ_cGetAllGlyphHandles, and no file, bitmaps or
// outlines: the engine cannot draw it, only its printer can.
//
// STROBJ. The glyphs of one string with their reference points on the
// device. A string of at most kGlyphBatch glyphs (whose bitmaps fit in
// kGlyphBatchBytes) comes whole in pgp; a longer one has pgp null and comes
// in batches of that size through STROBJ_bEnum. Each GLYPHPOS has the
// glyph's handle and place and, when the driver's glyph mode is
// FO_GLYPHBITS, pgdf pointing at its bitmap (the same GLYPHDEF for a glyph
// that comes twice in a batch), valid until the next batch; in the modes
// FO_HGLYPHS and FO_PATHOBJ pgdf is null.
//   flAccel   SO_FLAG_DEFAULT_PLACEMENT and SO_GLYPHINDEX_TEXTOUT as the
//             string was given; SO_HORIZONTAL for a baseline along x (with
//             SO_REVERSED leftwards) and SO_VERTICAL for one along y (with
//             SO_REVERSED upwards), the places following it; SO_DXDY when
//             the places leave the baseline; SO_ESC_NOT_ORIENT for
//             glyphs turned apart from the baseline (GM_ADVANCED);
//             SO_ZERO_BEARINGS when no glyph of an unturned, unslanted
//             string has side bearings, and SO_CHAR_INC_EQUAL_BM_BASE when,
//             in one that is also horizontal and default-placed, each
//             advance equals the glyph's black box
//   ulCharInc the one advance of a horizontal left-to-right string of a
//             fixed-pitch face whose places are all that far apart; else 0
//   rclBkGround  the union of the glyph cells (the advance by the ascent
//             and descent), turned with the baseline
//   pwszOrg   the characters, null for glyph indices
#pragma once
#include <windows.h>
#include <winddi.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "win32k/ddiobj.h"
#include "win32k/fontrealize.h"
#include "win32k/ifimetrics.h"
#include "win32k/textout.h"

namespace w32 {

// The most glyphs a STROBJ hands out at once, and the most bytes of glyph
// bitmaps one batch holds (a batch has at least one glyph).
inline constexpr size_t kGlyphBatch = 128;
inline constexpr size_t kGlyphBatchBytes = 1u << 20;

// A glyph the font has: `glyph` itself, else the font's default glyph.
HGLYPH ValidGlyph(const RealizedFont& font, HGLYPH glyph);

struct EngineFont : FONTOBJ, LiveObject<EngineFont> {
    EngineFont(std::shared_ptr<const RealizedFont> font, SIZE resolution);

    std::shared_ptr<const RealizedFont> font;
    ULONG glyphMode = FO_GLYPHBITS;  // the driver's answer to DrvGetGlyphMode
    bool glyphModeAsked = false;
    bool givenToDriver = false;  // a driver callback had it: DrvDestroyFont when it goes
    EngineXform xform;           // notional space to the device
    std::optional<IfiMetrics> ifi;  // made when first asked for

    // FONTOBJ_cGetGlyphs' answer, valid until its next call.
    GLYPHDATA glyphData{};
    std::vector<uint64_t> glyphBits;
    std::optional<EnginePathObj> glyphPath;
};

EngineFont* KnownFont(const FONTOBJ* font);

// The font object of `font` on the device's current PDEV, or on memory DCs
// when `device` is null.
EngineFont& FontObjectFor(PrinterDevice* device, const std::shared_ptr<const RealizedFont>& font);
// Lets go of the font objects of a PDEV, calling the driver's
// DrvDestroyFont for each one it was given: the engine calls it before the
// PDEV is disabled.
void ReleaseFontObjects(PrinterDevice& device, const EnginePdev& pdev);

// Appends the GLYPHBITS of a glyph to `storage` and gives its byte offset
// there: one bit a pixel (rows of (width + 7) / 8 bytes), or four for a
// smoothed font (rows of (width + 1) / 2 bytes, 0 to 15 from coverage). A
// blank glyph is one blank pixel at its black box. When the font cannot
// make the bitmap (too large), a blank pixel takes its place and the answer
// is false with the last error set.
bool AppendGlyphBits(const RealizedFont& font, HGLYPH glyph, std::vector<uint64_t>& storage, size_t& offset);

// A string as the engine hands it to drivers: the glyphs (one the font
// lacks replaced by its default glyph), their reference points, and what
// the STROBJ says of their arrangement.
struct TextLayout {
    std::shared_ptr<const RealizedFont> font;
    std::vector<HGLYPH> glyphs;
    std::span<const POINTL> positions;
    std::u16string characters;  // empty for glyph indices
    FLONG accel = 0;
    ULONG charInc = 0;
    RECTL background{};  // the union of the glyph cells; empty without glyphs
    RECTL ink{};         // the union of the glyphs' black boxes

    // False (ERROR_INVALID_PARAMETER) without a font or with a place missing
    // for a glyph.
    bool Make(const TextRun& run);
};

struct EngineStrObj : STROBJ, LiveObject<EngineStrObj> {
    // `glyphMode` says whether GLYPHPOS carry bitmaps; `shift` moves every
    // place (onto the temporary bitmap of a device surface).
    EngineStrObj(const TextLayout& layout, EngineFont& font, ULONG glyphMode, POINTL shift);

    // Makes the batch that starts at glyph `first` the current one.
    void Batch(size_t first);

    const TextLayout& layout;
    EngineFont& font;
    ULONG glyphMode;
    POINTL shift;
    size_t next = 0;  // the first glyph STROBJ_bEnum gives next
    // The current batch: glyphs [batchFirst, batchEnd) with their places and bitmaps.
    size_t batchFirst = 0, batchEnd = 0;
    bool batchMade = false;
    std::vector<GLYPHPOS> positions;
    std::vector<GLYPHDEF> definitions;
    std::vector<uint64_t> bits;
};

EngineStrObj* KnownString(const STROBJ* string);

}  // namespace w32
