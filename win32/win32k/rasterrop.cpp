// GDI's raster operations on pixel values and the fills that use them.
// A ROP3 code is a truth table: the result bit for pattern bit p, source
// bit s and destination bit d is bit (p << 2 | s << 1 | d) of the code. It
// works on every bit of a pixel value (indices for the indexed formats; all
// 32 bits of a 32 bits-per-pixel pixel, the unused high byte included), and
// the result is cut to the format's width when written.
#include <pixman.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "win32k/raster.h"
#include "win32k/rasterclip.h"

namespace w32::raster {

namespace {

// Evaluates any ROP3 as two levels of selection: the pattern bit picks a
// half of the table, the source bit a quarter, and each quarter is one of
// four functions of the destination (0, ~D, D, ~0), chosen here once.
struct Rop3Selector {
    ULONG whenD[4];     // for quarter q = p << 1 | s: all ones where the result is 1 with d = 1
    ULONG whenNotD[4];  // ... with d = 0

    explicit Rop3Selector(BYTE rop3) {
        for (int q = 0; q < 4; ++q) {
            whenNotD[q] = ((rop3 >> (2 * q)) & 1) ? ~0u : 0u;
            whenD[q] = ((rop3 >> (2 * q + 1)) & 1) ? ~0u : 0u;
        }
    }
    ULONG operator()(ULONG p, ULONG s, ULONG d) const {
        const ULONG q0 = (d & whenD[0]) | (~d & whenNotD[0]);  // p = 0, s = 0
        const ULONG q1 = (d & whenD[1]) | (~d & whenNotD[1]);  // p = 0, s = 1
        const ULONG q2 = (d & whenD[2]) | (~d & whenNotD[2]);  // p = 1, s = 0
        const ULONG q3 = (d & whenD[3]) | (~d & whenNotD[3]);  // p = 1, s = 1
        const ULONG notP = (s & q1) | (~s & q0);
        const ULONG withP = (s & q3) | (~s & q2);
        return (p & withP) | (~p & notP);
    }
};

template <typename Op>
void Run(const ULONG* p, const ULONG* s, ULONG* d, LONG count, Op op) {
    for (LONG i = 0; i < count; ++i) d[i] = op(p ? p[i] : 0u, s ? s[i] : 0u, d[i]);
}

// pixman fills 8, 16 and 32 bits-per-pixel memory whose scan lines start on
// 4-byte boundaries; it is given the lowest scan line and a positive stride,
// so a bottom-up bitmap's rectangle is counted from the bottom.
bool PixmanFill(const Bitmap& bitmap, const RECTL& rect, ULONG pixel) {
    const ULONG bpp = bitmap.BitsPerPixel();
    if (bpp != 8 && bpp != 16 && bpp != 32) return false;
    if ((uintptr_t(bitmap.scan0) & 3) || (bitmap.delta & 3)) return false;
    uint32_t* bits = reinterpret_cast<uint32_t*>(bitmap.scan0);
    int stride = bitmap.delta / 4, top = rect.top;
    if (bitmap.delta < 0) {
        bits = reinterpret_cast<uint32_t*>(bitmap.Line(bitmap.height - 1));
        stride = -stride;
        top = bitmap.height - rect.bottom;
    }
    return pixman_fill(bits, stride, int(bpp), rect.left, top, rect.right - rect.left, rect.bottom - rect.top, pixel);
}

void FillPackedRow(BYTE* line, LONG left, LONG right, ULONG bpp, ULONG pixel) {
    // Pixels per byte 8 (1 bit) or 2 (4 bits): partial bytes at the ends,
    // whole bytes in between.
    const LONG perByte = LONG(8 / bpp);
    const BYTE fill = bpp == 1 ? ((pixel & 1) ? 0xFF : 0x00) : BYTE((pixel & 0xF) * 0x11);
    LONG x = left;
    const ULONG one[1] = {pixel};
    Bitmap view;
    view.scan0 = line, view.format = bpp == 1 ? BMF_1BPP : BMF_4BPP;
    while (x < right && x % perByte) WritePixels(view, x++, 0, 1, one);
    const LONG wholeEnd = right - right % perByte;
    if (x < wholeEnd) {
        std::memset(line + x / perByte, fill, size_t((wholeEnd - x) / perByte));
        x = wholeEnd;
    }
    while (x < right) WritePixels(view, x++, 0, 1, one);
}

// Fills a rectangle under a ROP3 with the brush, reading the destination
// only when the code does.
class RectPainter {
public:
    RectPainter(const Bitmap& destination, const Pattern& brush, BYTE rop3)
        : destination_(destination), brush_(brush), rop3_(rop3) {
        const bool readsPattern = RopReadsPattern(rop3);
        const bool solidBrush = brush.width == 1 && brush.height == 1 && !brush.pixels.empty() &&
                                (brush.opaque.empty() || brush.opaque[0]);
        // A code that reads no destination and a pattern that does not
        // vary give one value for every pixel.
        constant_ = !RopReadsDestination(rop3) && (!readsPattern || solidBrush);
        if (constant_) constantPixel_ = ApplyRop3(rop3, readsPattern ? brush.pixels[0] : 0, 0, 0);
        else if (readsPattern) usesPattern_ = true;
        // A transparent pattern pixel leaves its destination pixel alone.
        masked_ = readsPattern && !brush.opaque.empty();
        if (masked_ && constant_) constant_ = false, usesPattern_ = true;
    }

    // True when every pixel painted takes one value, given in `pixel`.
    bool Constant(ULONG& pixel) const {
        if (constant_) pixel = constantPixel_ & destination_.PixelMask();
        return constant_;
    }

    void Paint(const RECTL& r) {
        if (constant_) {
            FillSolidRect(destination_, r, constantPixel_ & destination_.PixelMask());
            return;
        }
        const LONG count = r.right - r.left;
        if (LONG(row_.size()) < count) {
            row_.resize(size_t(count)), original_.resize(size_t(count));
            pattern_.resize(size_t(count)), opaque_.resize(size_t(count));
        }
        for (LONG y = r.top; y < r.bottom; ++y) {
            ReadPixels(destination_, r.left, y, count, row_.data());
            if (usesPattern_) brush_.Row(r.left, y, count, pattern_.data(), masked_ ? opaque_.data() : nullptr);
            if (masked_) std::copy_n(row_.data(), count, original_.data());
            ApplyRop3Run(rop3_, usesPattern_ ? pattern_.data() : nullptr, nullptr, row_.data(), count);
            if (masked_)
                for (LONG i = 0; i < count; ++i)
                    if (!opaque_[size_t(i)]) row_[size_t(i)] = original_[size_t(i)];
            WritePixels(destination_, r.left, y, count, row_.data());
        }
    }

private:
    const Bitmap& destination_;
    const Pattern& brush_;
    BYTE rop3_;
    bool constant_ = false, usesPattern_ = false, masked_ = false;
    ULONG constantPixel_ = 0;
    std::vector<ULONG> row_, original_, pattern_;
    std::vector<BYTE> opaque_;
};

}  // namespace

// A ROP2 code less one is a truth table over pen and destination, bit
// (p << 1 | d); as a ROP3 it holds for both values of the source bit.
ULONG Rop2ToRop3(int rop2) {
    if (rop2 < R2_BLACK || rop2 > R2_WHITE) return 0xAA;  // unknown mixes leave the destination
    const ULONG table = ULONG(rop2 - 1);
    ULONG rop3 = 0;
    for (ULONG index = 0; index < 8; ++index) {
        const ULONG p = index >> 2, d = index & 1;
        if ((table >> (p << 1 | d)) & 1) rop3 |= 1u << index;
    }
    return rop3;
}

ULONG ApplyRop3(BYTE rop3, ULONG pattern, ULONG source, ULONG destination) {
    return Rop3Selector(rop3)(pattern, source, destination);
}

void ApplyRop3Run(BYTE rop3, const ULONG* p, const ULONG* s, ULONG* d, LONG count) {
    // The common codes get their own loops; the rest go through the selector.
    switch (rop3) {
    case 0x00: Run(p, s, d, count, [](ULONG, ULONG, ULONG) { return 0u; }); break;               // BLACKNESS
    case 0xFF: Run(p, s, d, count, [](ULONG, ULONG, ULONG) { return ~0u; }); break;              // WHITENESS
    case 0xAA: break;                                                                             // D
    case 0xCC: Run(p, s, d, count, [](ULONG, ULONG S, ULONG) { return S; }); break;              // SRCCOPY
    case 0x33: Run(p, s, d, count, [](ULONG, ULONG S, ULONG) { return ~S; }); break;             // NOTSRCCOPY
    case 0xF0: Run(p, s, d, count, [](ULONG P, ULONG, ULONG) { return P; }); break;              // PATCOPY
    case 0x55: Run(p, s, d, count, [](ULONG, ULONG, ULONG D) { return ~D; }); break;             // DSTINVERT
    case 0x5A: Run(p, s, d, count, [](ULONG P, ULONG, ULONG D) { return P ^ D; }); break;        // PATINVERT
    case 0x66: Run(p, s, d, count, [](ULONG, ULONG S, ULONG D) { return S ^ D; }); break;        // SRCINVERT
    case 0x88: Run(p, s, d, count, [](ULONG, ULONG S, ULONG D) { return S & D; }); break;        // SRCAND
    case 0xEE: Run(p, s, d, count, [](ULONG, ULONG S, ULONG D) { return S | D; }); break;        // SRCPAINT
    case 0x44: Run(p, s, d, count, [](ULONG, ULONG S, ULONG D) { return S & ~D; }); break;       // SRCERASE
    case 0xC0: Run(p, s, d, count, [](ULONG P, ULONG S, ULONG) { return P & S; }); break;        // MERGECOPY
    case 0xBB: Run(p, s, d, count, [](ULONG, ULONG S, ULONG D) { return ~S | D; }); break;       // MERGEPAINT
    case 0xB8: Run(p, s, d, count, [](ULONG P, ULONG S, ULONG D) { return (S & D) | (~S & P); }); break;
    case 0xE2: Run(p, s, d, count, [](ULONG P, ULONG S, ULONG D) { return (S & P) | (~S & D); }); break;
    default: {
        const Rop3Selector selector(rop3);
        Run(p, s, d, count, selector);
    }
    }
}

void FillSolidRect(const Bitmap& bitmap, const RECTL& rect, ULONG pixel) {
    const ULONG bpp = bitmap.BitsPerPixel();
    const LONG count = rect.right - rect.left;
    // pixman pays a dispatch for each rectangle: worth it for areas, not
    // for the short runs of lines, which are written here directly.
    constexpr int64_t kPixmanArea = 256;
    if (int64_t(count) * (rect.bottom - rect.top) >= kPixmanArea && PixmanFill(bitmap, rect, pixel)) return;
    for (LONG y = rect.top; y < rect.bottom; ++y) {
        BYTE* line = bitmap.Line(y);
        if (bpp == 32) {
            std::fill_n(reinterpret_cast<uint32_t*>(line) + rect.left, count, uint32_t(pixel));
            continue;
        }
        if (bpp == 16) {
            std::fill_n(reinterpret_cast<uint16_t*>(line) + rect.left, count, uint16_t(pixel));
            continue;
        }
        if (bpp < 8) {
            FillPackedRow(line, rect.left, rect.right, bpp, pixel);
            continue;
        }
        // Whole bytes per pixel: write the first pixel, then double the
        // written run until the row is full.
        const size_t bytes = bpp / 8, total = size_t(count) * bytes;
        BYTE* start = line + size_t(rect.left) * bytes;
        for (size_t b = 0; b < bytes; ++b) start[b] = BYTE(pixel >> (8 * b));
        for (size_t done = bytes; done < total;) {
            const size_t chunk = std::min(done, total - done);
            std::memcpy(start + done, start, chunk);
            done += chunk;
        }
    }
}

void FillRects(const Bitmap& destination, std::span<const RECTL> rects, const Pattern& brush, BYTE rop3) {
    if (!destination.Usable() || rop3 == 0xAA) return;
    RectPainter painter(destination, brush, rop3);
    const RECTL bounds = BitmapRect(destination);
    for (const RECTL& r : rects) {
        const RECTL cut = IntersectRect(r, bounds);
        if (!EmptyRect(cut)) painter.Paint(cut);
    }
}

void FillSpans(const Bitmap& destination, std::span<const Span> spans, const Pattern& brush, BYTE rop3) {
    if (!destination.Usable() || rop3 == 0xAA) return;
    RectPainter painter(destination, brush, rop3);
    const RECTL bounds = BitmapRect(destination);
    ULONG pixel = 0;
    if (destination.BitsPerPixel() == 32 && painter.Constant(pixel)) {
        // Lines come as many short spans: write them straight into the rows.
        for (const Span& s : spans) {
            if (s.y < bounds.top || s.y >= bounds.bottom) continue;
            const LONG left = std::max(s.left, bounds.left), right = std::min(s.right, bounds.right);
            if (left < right) std::fill(reinterpret_cast<uint32_t*>(destination.Line(s.y)) + left,
                                        reinterpret_cast<uint32_t*>(destination.Line(s.y)) + right, uint32_t(pixel));
        }
        return;
    }
    for (const Span& s : spans) {
        const RECTL cut = IntersectRect({s.left, s.y, s.right, s.y + 1}, bounds);
        if (!EmptyRect(cut)) painter.Paint(cut);
    }
}

}  // namespace w32::raster
