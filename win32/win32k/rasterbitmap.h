// Views of bitmap pixels in the uncompressed formats (BMF_1BPP to
// BMF_32BPP), and the translation of pixels between two bitmaps. Colours
// are COLORREF (0x00BBGGRR) throughout.
#pragma once
#include <windows.h>
#include <winddi.h>

#include <cstdint>
#include <utility>
#include <vector>

namespace w32::raster {

// Bits per pixel of an uncompressed format (BMF_1BPP to BMF_32BPP); 0 for
// any other.
ULONG BitsPerPixelOfFormat(ULONG format);
// The BMF_* format of a bit count (1, 4, 8, 16, 24, 32); 0 for any other.
ULONG FormatOfBitCount(UINT bitCount);

// The pixels of an engine bitmap, a DIB section or a DIB a program passed.
// Indexed formats carry their colour table; 16 and 32 bits per pixel carry
// masks (all zero: 5-5-5 for 16 bits, 8-8-8 for 32 bits); 24 bits per pixel
// is blue, green, red.
struct Bitmap {
    BYTE* scan0 = nullptr;  // the top scan line
    LONG delta = 0;         // bytes from one scan line to the one below; negative when stored bottom-up
    LONG width = 0;
    LONG height = 0;
    ULONG format = 0;              // BMF_*
    std::vector<COLORREF> colors;  // the colour table of 1, 4 and 8 bits per pixel
    ULONG redMask = 0, greenMask = 0, blueMask = 0;

    ULONG BitsPerPixel() const;
    BYTE* Line(LONG y) const { return scan0 + intptr_t(y) * delta; }
    // True when the view can be drawn on: pixels, a size, a known format
    // and scan lines long enough for the width.
    bool Usable() const;
    // Every bit a pixel value has (0x1, 0xF, 0xFF, 0xFFFF, 0xFFFFFF, 0xFFFFFFFF).
    ULONG PixelMask() const;
    // The masks of a 16, 24 or 32 bits-per-pixel bitmap with the defaults
    // filled in (5-5-5, 8-8-8); zero for the indexed formats.
    void ChannelMasks(ULONG& red, ULONG& green, ULONG& blue) const;
};

ULONG GetPixel(const Bitmap& bitmap, LONG x, LONG y);
void SetPixel(const Bitmap& bitmap, LONG x, LONG y, ULONG pixel);
// The colour a pixel value stands for.
COLORREF PixelToColor(const Bitmap& bitmap, ULONG pixel);
// Runs of `count` pixels from (x, y) rightwards, which must lie inside the
// bitmap: read into, or written from, one ULONG per pixel (written values
// are cut to the format's bits).
void ReadPixels(const Bitmap& bitmap, LONG x, LONG y, LONG count, ULONG* pixels);
void WritePixels(const Bitmap& bitmap, LONG x, LONG y, LONG count, const ULONG* pixels);
// The pixel value for a colour: for an indexed bitmap the nearest entry of
// its table (the first of equals), else the colour packed into the format.
ULONG ColorToPixel(const Bitmap& bitmap, COLORREF color);

// Maps the pixels of a source bitmap to those of a destination, as GDI
// does in a blit: a monochrome source takes the destination DC's text
// colour for 0 and background colour for 1; a colour source going to a
// monochrome destination gives 1 where it equals the background colour and
// 0 elsewhere; otherwise each colour goes to the nearest destination pixel.
class Translation {
public:
    Translation() = default;  // the identity
    static Translation Between(const Bitmap& source, const Bitmap& destination, COLORREF textColor,
                               COLORREF bkColor);
    ULONG operator()(ULONG pixel) const;
    bool Identity() const { return kind_ == Kind::Identity; }
    // Translates a run of pixels in place.
    void Apply(ULONG* pixels, LONG count) const;

private:
    // Convert: a source colour packed for the destination; the nearest
    // entry for an indexed destination, remembered in a small cache keyed
    // by the source pixel so that a run of one colour searches once.
    ULONG Convert(ULONG pixel) const;
    enum class Kind { Identity, Table, Convert };
    Kind kind_ = Kind::Identity;
    std::vector<ULONG> table_;        // Table: by source index
    const Bitmap* source_ = nullptr;  // Convert: decode the source, encode the destination
    const Bitmap* destination_ = nullptr;
    bool toMonochrome_ = false;
    COLORREF bkColor_ = 0;
    ULONG bkPixel_ = 0;  // Convert to monochrome: the background colour as a source pixel
    mutable std::vector<std::pair<ULONG, ULONG>> nearest_;  // Convert to indexed: source pixel, destination index
};

// A brush as the raster engine paints it: a pattern of destination pixels
// repeated from `origin`; a solid brush is a 1x1 pattern. Where `opaque`
// is not empty, a pattern pixel whose entry is false leaves the destination
// alone (hatched brushes in TRANSPARENT background mode).
struct Pattern {
    LONG width = 1;
    LONG height = 1;
    std::vector<ULONG> pixels{0};  // width * height, row by row from the top
    std::vector<bool> opaque;
    POINTL origin{};

    static Pattern Solid(ULONG pixel) {
        Pattern p;
        p.pixels = {pixel};
        return p;
    }
    ULONG At(LONG x, LONG y) const;
    bool OpaqueAt(LONG x, LONG y) const;
    // The pattern pixels of destination line y from x rightwards, and
    // (when `opaque` is not empty) whether each is opaque.
    void Row(LONG x, LONG y, LONG count, ULONG* pixels, BYTE* opaqueOut = nullptr) const;
};

// Writes the bitmap as a PNG file: 24-bit colour, or 32-bit with the
// alpha byte of a 32 bits-per-pixel bitmap when `alpha`. False with the
// last error set when the file cannot be written.
bool SaveBitmapPng(const Bitmap& bitmap, const char* path, bool alpha = false);

}  // namespace w32::raster
