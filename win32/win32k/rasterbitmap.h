// Views of bitmap pixels in the uncompressed formats (BMF_1BPP to
// BMF_32BPP), and the translation of pixels between two bitmaps. Colours
// are COLORREF (0x00BBGGRR) throughout.
#pragma once
#include <windows.h>
#include <winddi.h>

#include <cstdint>
#include <vector>

namespace w32::raster {

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
};

ULONG GetPixel(const Bitmap& bitmap, LONG x, LONG y);
void SetPixel(const Bitmap& bitmap, LONG x, LONG y, ULONG pixel);
// The colour a pixel value stands for.
COLORREF PixelToColor(const Bitmap& bitmap, ULONG pixel);
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

private:
    enum class Kind { Identity, Table, Convert };
    Kind kind_ = Kind::Identity;
    std::vector<ULONG> table_;        // Table: by source index
    const Bitmap* source_ = nullptr;  // Convert: decode the source, encode the destination
    const Bitmap* destination_ = nullptr;
    bool toMonochrome_ = false;
    COLORREF bkColor_ = 0;
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
};

// Writes the bitmap as a PNG file: 24-bit colour, or 32-bit with the
// alpha byte of a 32 bits-per-pixel bitmap when `alpha`. False with the
// last error set when the file cannot be written.
bool SaveBitmapPng(const Bitmap& bitmap, const char* path, bool alpha = false);

}  // namespace w32::raster
