// Pixels of the uncompressed bitmap formats as GDI lays them out: 1 bit per
// pixel with the most significant bit leftmost, 4 bits with the high nibble
// leftmost, 8 bits an index, 16 bits a little-endian word under masks
// (5-5-5 by default), 24 bits blue, green, red bytes, 32 bits a
// little-endian double word under masks (8-8-8 in the low three bytes by
// default). A pixel value of the direct formats reads as the integer those
// bytes make, so 24 and 32 bits are 0x00RRGGBB (blue in the low byte).
#include "win32k/rasterbitmap.h"

#include <bit>
#include <cstdlib>

namespace w32::raster {

namespace {

// One colour channel of a direct format: where its bits sit in the pixel.
struct Channel {
    int shift = 0;
    int bits = 0;

    explicit Channel(ULONG mask) {
        if (mask == 0) return;
        shift = std::countr_zero(mask);
        bits = std::popcount(mask);
    }
    // The channel's value widened to 8 bits by repeating its bits, so that
    // the largest value becomes 255 (5-bit 31 -> 255, not 248).
    BYTE Decode(ULONG pixel) const {
        if (bits == 0) return 0;
        const ULONG value = (pixel >> shift) & ((bits >= 32) ? ~0u : ((1u << bits) - 1));
        if (bits >= 8) return BYTE(value >> (bits - 8));
        ULONG widened = value << (8 - bits);
        for (int filled = bits; filled < 8; filled += bits) widened |= widened >> bits;
        return BYTE(widened);
    }
    // An 8-bit value cut to the channel's width (its high bits kept).
    ULONG Encode(BYTE value) const {
        if (bits == 0) return 0;
        const ULONG narrowed = (bits >= 8) ? (ULONG(value) << (bits - 8)) : (ULONG(value) >> (8 - bits));
        return narrowed << shift;
    }
};

struct Channels {
    Channel red{0}, green{0}, blue{0};
    explicit Channels(const Bitmap& bitmap) {
        ULONG r, g, b;
        bitmap.ChannelMasks(r, g, b);
        red = Channel(r), green = Channel(g), blue = Channel(b);
    }
    COLORREF Decode(ULONG pixel) const { return RGB(red.Decode(pixel), green.Decode(pixel), blue.Decode(pixel)); }
    ULONG Encode(COLORREF color) const {
        return red.Encode(GetRValue(color)) | green.Encode(GetGValue(color)) | blue.Encode(GetBValue(color));
    }
};

bool Indexed(const Bitmap& bitmap) { return bitmap.format >= BMF_1BPP && bitmap.format <= BMF_8BPP; }

// The nearest entry of a colour table: least squared distance in RGB, the
// first of equals.
ULONG NearestIndex(const std::vector<COLORREF>& colors, COLORREF color) {
    ULONG best = 0;
    LONG bestDistance = LONG(0x7fffffff);
    for (size_t i = 0; i < colors.size(); ++i) {
        const LONG dr = LONG(GetRValue(colors[i])) - GetRValue(color);
        const LONG dg = LONG(GetGValue(colors[i])) - GetGValue(color);
        const LONG db = LONG(GetBValue(colors[i])) - GetBValue(color);
        const LONG distance = dr * dr + dg * dg + db * db;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = ULONG(i);
        }
    }
    return best;
}

bool SameColors(COLORREF a, COLORREF b) { return (a & 0xFFFFFF) == (b & 0xFFFFFF); }

LONG Wrap(LONG value, LONG period) {
    const LONG r = LONG(int64_t(value) % period);
    return r < 0 ? r + period : r;
}

}  // namespace

ULONG FormatOfBitCount(UINT bitCount) {
    switch (bitCount) {
        case 1: return BMF_1BPP;
        case 4: return BMF_4BPP;
        case 8: return BMF_8BPP;
        case 16: return BMF_16BPP;
        case 24: return BMF_24BPP;
        case 32: return BMF_32BPP;
        default: return 0;
    }
}

ULONG BitsPerPixelOfFormat(ULONG format) {
    switch (format) {
    case BMF_1BPP: return 1;
    case BMF_4BPP: return 4;
    case BMF_8BPP: return 8;
    case BMF_16BPP: return 16;
    case BMF_24BPP: return 24;
    case BMF_32BPP: return 32;
    default: return 0;
    }
}

ULONG Bitmap::BitsPerPixel() const { return BitsPerPixelOfFormat(format); }

bool Bitmap::Usable() const {
    const ULONG bpp = BitsPerPixel();
    if (!scan0 || width <= 0 || height <= 0 || bpp == 0) return false;
    const int64_t lineBytes = (int64_t(width) * bpp + 7) / 8;
    return std::llabs(int64_t(delta)) >= lineBytes;
}

ULONG Bitmap::PixelMask() const {
    const ULONG bpp = BitsPerPixel();
    return bpp >= 32 ? ~0u : ((1u << bpp) - 1);
}

void Bitmap::ChannelMasks(ULONG& red, ULONG& green, ULONG& blue) const {
    red = green = blue = 0;
    if (format == BMF_16BPP) {
        if (redMask | greenMask | blueMask) {
            red = redMask, green = greenMask, blue = blueMask;
        } else {
            red = 0x7C00, green = 0x03E0, blue = 0x001F;
        }
    } else if (format == BMF_32BPP && (redMask | greenMask | blueMask)) {
        red = redMask, green = greenMask, blue = blueMask;
    } else if (format == BMF_24BPP || format == BMF_32BPP) {
        red = 0xFF0000, green = 0x00FF00, blue = 0x0000FF;
    }
}

void ReadPixels(const Bitmap& bitmap, LONG x, LONG y, LONG count, ULONG* pixels) {
    const BYTE* line = bitmap.Line(y);
    switch (bitmap.format) {
    case BMF_1BPP:
        for (LONG i = 0; i < count; ++i, ++x) pixels[i] = (line[x >> 3] >> (7 - (x & 7))) & 1;
        break;
    case BMF_4BPP:
        for (LONG i = 0; i < count; ++i, ++x) pixels[i] = (x & 1) ? (line[x >> 1] & 0xF) : (line[x >> 1] >> 4);
        break;
    case BMF_8BPP:
        for (LONG i = 0; i < count; ++i) pixels[i] = line[x + i];
        break;
    case BMF_16BPP:
        for (LONG i = 0; i < count; ++i) {
            const BYTE* p = line + 2 * intptr_t(x + i);
            pixels[i] = ULONG(p[0]) | ULONG(p[1]) << 8;
        }
        break;
    case BMF_24BPP:
        for (LONG i = 0; i < count; ++i) {
            const BYTE* p = line + 3 * intptr_t(x + i);
            pixels[i] = ULONG(p[0]) | ULONG(p[1]) << 8 | ULONG(p[2]) << 16;
        }
        break;
    case BMF_32BPP:
        for (LONG i = 0; i < count; ++i) {
            const BYTE* p = line + 4 * intptr_t(x + i);
            pixels[i] = ULONG(p[0]) | ULONG(p[1]) << 8 | ULONG(p[2]) << 16 | ULONG(p[3]) << 24;
        }
        break;
    default:
        for (LONG i = 0; i < count; ++i) pixels[i] = 0;
    }
}

void WritePixels(const Bitmap& bitmap, LONG x, LONG y, LONG count, const ULONG* pixels) {
    BYTE* line = bitmap.Line(y);
    switch (bitmap.format) {
    case BMF_1BPP:
        for (LONG i = 0; i < count; ++i, ++x) {
            const BYTE bit = BYTE(0x80 >> (x & 7));
            BYTE& b = line[x >> 3];
            b = (pixels[i] & 1) ? (b | bit) : (b & ~bit);
        }
        break;
    case BMF_4BPP:
        for (LONG i = 0; i < count; ++i, ++x) {
            BYTE& b = line[x >> 1];
            const BYTE v = BYTE(pixels[i] & 0xF);
            b = (x & 1) ? BYTE((b & 0xF0) | v) : BYTE((b & 0x0F) | (v << 4));
        }
        break;
    case BMF_8BPP:
        for (LONG i = 0; i < count; ++i) line[x + i] = BYTE(pixels[i]);
        break;
    case BMF_16BPP:
        for (LONG i = 0; i < count; ++i) {
            BYTE* p = line + 2 * intptr_t(x + i);
            p[0] = BYTE(pixels[i]), p[1] = BYTE(pixels[i] >> 8);
        }
        break;
    case BMF_24BPP:
        for (LONG i = 0; i < count; ++i) {
            BYTE* p = line + 3 * intptr_t(x + i);
            p[0] = BYTE(pixels[i]), p[1] = BYTE(pixels[i] >> 8), p[2] = BYTE(pixels[i] >> 16);
        }
        break;
    case BMF_32BPP:
        for (LONG i = 0; i < count; ++i) {
            BYTE* p = line + 4 * intptr_t(x + i);
            p[0] = BYTE(pixels[i]), p[1] = BYTE(pixels[i] >> 8), p[2] = BYTE(pixels[i] >> 16),
            p[3] = BYTE(pixels[i] >> 24);
        }
        break;
    default:
        break;
    }
}

// Single pixels outside the bitmap read as 0 and are not written.
ULONG GetPixel(const Bitmap& bitmap, LONG x, LONG y) {
    if (!bitmap.Usable() || x < 0 || y < 0 || x >= bitmap.width || y >= bitmap.height) return 0;
    ULONG pixel = 0;
    ReadPixels(bitmap, x, y, 1, &pixel);
    return pixel;
}

void SetPixel(const Bitmap& bitmap, LONG x, LONG y, ULONG pixel) {
    if (!bitmap.Usable() || x < 0 || y < 0 || x >= bitmap.width || y >= bitmap.height) return;
    WritePixels(bitmap, x, y, 1, &pixel);
}

// An index past the end of the colour table stands for black.
COLORREF PixelToColor(const Bitmap& bitmap, ULONG pixel) {
    if (Indexed(bitmap)) return pixel < bitmap.colors.size() ? (bitmap.colors[pixel] & 0xFFFFFF) : 0;
    return Channels(bitmap).Decode(pixel);
}

ULONG ColorToPixel(const Bitmap& bitmap, COLORREF color) {
    if (Indexed(bitmap)) return NearestIndex(bitmap.colors, color);
    return Channels(bitmap).Encode(color);
}

// Which colours match the background when a colour source goes to a
// monochrome destination: an indexed source compares each table entry's
// colour; a direct source compares pixel values with the background colour
// packed into its format (so colours that differ only in bits the format
// drops match, as GDI compares in the source's own pixels).
Translation Translation::Between(const Bitmap& source, const Bitmap& destination, COLORREF textColor,
                                 COLORREF bkColor) {
    Translation t;
    t.source_ = &source;
    t.destination_ = &destination;
    t.bkColor_ = bkColor;
    const bool sourceMono = source.format == BMF_1BPP, destinationMono = destination.format == BMF_1BPP;
    if (sourceMono && destinationMono) return t;  // monochrome bits copy as they are
    if (sourceMono) {
        t.kind_ = Kind::Table;
        t.table_ = {ColorToPixel(destination, textColor), ColorToPixel(destination, bkColor)};
        return t;
    }
    if (Indexed(source)) {
        const ULONG entries = 1u << source.BitsPerPixel();
        t.kind_ = Kind::Table;
        t.table_.resize(entries);
        bool identity = destination.format == source.format;
        for (ULONG i = 0; i < entries; ++i) {
            const COLORREF color = PixelToColor(source, i);
            t.table_[i] = destinationMono ? (SameColors(color, bkColor) ? 1 : 0) : ColorToPixel(destination, color);
            identity = identity && t.table_[i] == i;
        }
        if (identity) {
            t.kind_ = Kind::Identity;
            t.table_.clear();
        }
        return t;
    }
    if (destinationMono) {
        t.kind_ = Kind::Convert;
        t.toMonochrome_ = true;
        t.bkPixel_ = ColorToPixel(source, bkColor);
        return t;
    }
    if (source.format == destination.format) {
        ULONG sr, sg, sb, dr, dg, db;
        source.ChannelMasks(sr, sg, sb);
        destination.ChannelMasks(dr, dg, db);
        if (sr == dr && sg == dg && sb == db) return t;
    }
    t.kind_ = Kind::Convert;
    if (Indexed(destination)) t.nearest_.assign(1024, {~0u, 0});
    return t;
}

ULONG Translation::Convert(ULONG pixel) const {
    if (toMonochrome_) return pixel == bkPixel_ ? 1 : 0;
    const COLORREF color = PixelToColor(*source_, pixel);
    if (nearest_.empty()) return ColorToPixel(*destination_, color);
    // Keyed by the pixel itself: a slot holding ~0 is empty, and ~0 as a
    // source pixel (32 bits all set) simply never hits the cache.
    auto& slot = nearest_[(pixel ^ (pixel >> 10) ^ (pixel >> 20)) & 1023];
    if (slot.first != pixel || pixel == ~0u) slot = {pixel, ColorToPixel(*destination_, color)};
    return slot.second;
}

ULONG Translation::operator()(ULONG pixel) const {
    switch (kind_) {
    case Kind::Identity: return pixel;
    case Kind::Table: return pixel < table_.size() ? table_[pixel] : 0;
    case Kind::Convert: return Convert(pixel);
    }
    return pixel;
}

void Translation::Apply(ULONG* pixels, LONG count) const {
    switch (kind_) {
    case Kind::Identity: break;
    case Kind::Table:
        for (LONG i = 0; i < count; ++i) pixels[i] = pixels[i] < table_.size() ? table_[pixels[i]] : 0;
        break;
    case Kind::Convert:
        for (LONG i = 0; i < count; ++i) pixels[i] = Convert(pixels[i]);
        break;
    }
}

// Pattern coordinates count from the brush origin and wrap both ways, so
// pixel (origin.x, origin.y) of the destination shows pattern pixel (0, 0).
ULONG Pattern::At(LONG x, LONG y) const {
    if (width <= 0 || height <= 0 || pixels.size() < size_t(width) * size_t(height)) return 0;
    return pixels[size_t(Wrap(y - origin.y, height)) * size_t(width) + size_t(Wrap(x - origin.x, width))];
}

bool Pattern::OpaqueAt(LONG x, LONG y) const {
    if (opaque.empty()) return true;
    if (width <= 0 || height <= 0 || opaque.size() < size_t(width) * size_t(height)) return true;
    return opaque[size_t(Wrap(y - origin.y, height)) * size_t(width) + size_t(Wrap(x - origin.x, width))];
}

void Pattern::Row(LONG x, LONG y, LONG count, ULONG* out, BYTE* opaqueOut) const {
    const bool valid = width > 0 && height > 0 && pixels.size() >= size_t(width) * size_t(height);
    if (!valid) {
        for (LONG i = 0; i < count; ++i) out[i] = 0;
        if (opaqueOut)
            for (LONG i = 0; i < count; ++i) opaqueOut[i] = 1;
        return;
    }
    const size_t row = size_t(Wrap(y - origin.y, height)) * size_t(width);
    const bool masked = opaqueOut && opaque.size() >= size_t(width) * size_t(height);
    LONG column = Wrap(x - origin.x, width);
    for (LONG i = 0; i < count; ++i) {
        out[i] = pixels[row + size_t(column)];
        if (opaqueOut) opaqueOut[i] = masked ? BYTE(opaque[row + size_t(column)]) : 1;
        if (++column == width) column = 0;
    }
}

}  // namespace w32::raster
