// Rectangle arithmetic the raster operations share to keep every read and
// write inside the bitmaps: a call's area is cut to the destination, to
// where the source and mask exist, and then to each clip rectangle.
#pragma once
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <span>
#include <vector>

#include "win32k/rasterbitmap.h"

namespace w32::raster {

inline bool EmptyRect(const RECTL& r) { return r.left >= r.right || r.top >= r.bottom; }

inline RECTL IntersectRect(const RECTL& a, const RECTL& b) {
    return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
            std::min(a.bottom, b.bottom)};
}

inline RECTL BitmapRect(const Bitmap& bitmap) { return {0, 0, bitmap.width, bitmap.height}; }

// The rectangle a bitmap read at `origin` covers when it is laid with that
// pixel on `anchor` of the destination; coordinates are clamped to LONG.
inline RECTL PlacedRect(const Bitmap& bitmap, POINTL origin, POINTL anchor) {
    auto clamp = [](int64_t v) { return LONG(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); };
    const int64_t left = int64_t(anchor.x) - origin.x, top = int64_t(anchor.y) - origin.y;
    return {clamp(left), clamp(top), clamp(left + bitmap.width), clamp(top + bitmap.height)};
}

// Calls `paint(rect)` for each clip rectangle cut to `area`, skipping the
// empty ones. The clip rectangles must not overlap (a region's rectangles
// never do); an empty clip list paints nothing.
template <typename Paint>
void ForEachClipped(std::span<const RECTL> clip, const RECTL& area, Paint&& paint) {
    if (EmptyRect(area)) return;
    for (const RECTL& c : clip) {
        const RECTL r = IntersectRect(c, area);
        if (!EmptyRect(r)) paint(r);
    }
}

// The span of memory a bitmap's scan lines occupy, to tell whether a
// source and a destination share pixels.
inline bool SharesMemory(const Bitmap& a, const Bitmap& b) {
    auto range = [](const Bitmap& m, uintptr_t& low, uintptr_t& high) {
        const uintptr_t first = uintptr_t(m.scan0);
        const uintptr_t last = uintptr_t(m.Line(m.height - 1));
        const uintptr_t lineBytes = uintptr_t(m.delta < 0 ? -intptr_t(m.delta) : intptr_t(m.delta));
        low = std::min(first, last);
        high = std::max(first, last) + lineBytes;
    };
    uintptr_t al, ah, bl, bh;
    range(a, al, ah);
    range(b, bl, bh);
    return al < bh && bl < ah;
}

// A copy of the source scan lines a blit reads, for a source that shares
// memory with its destination: the blit then reads what was there before it
// began, whatever the order of its rectangles and rows.
struct SourceSnapshot {
    std::vector<BYTE> bytes;
    Bitmap bitmap;
    LONG firstLine = 0;

    SourceSnapshot(const Bitmap& source, LONG top, LONG bottom) {
        const size_t lineBytes = (size_t(source.width) * source.BitsPerPixel() + 7) / 8;
        bytes.resize(lineBytes * size_t(bottom - top));
        for (LONG y = top; y < bottom; ++y)
            std::memcpy(bytes.data() + size_t(y - top) * lineBytes, source.Line(y), lineBytes);
        bitmap = source;
        bitmap.scan0 = bytes.data();
        bitmap.delta = LONG(lineBytes);
        bitmap.height = bottom - top;
        firstLine = top;
    }
};

// What a ROP3 code reads: it depends on an operand when flipping that
// operand's bit changes the result for some combination of the others.
inline bool RopReadsPattern(BYTE rop3) { return ((rop3 >> 4) ^ rop3) & 0x0F; }
inline bool RopReadsSource(BYTE rop3) { return ((rop3 >> 2) ^ rop3) & 0x33; }
inline bool RopReadsDestination(BYTE rop3) { return ((rop3 >> 1) ^ rop3) & 0x55; }

// Applies a ROP3 to a run: destination[i] = rop3(pattern[i], source[i],
// destination[i]). `pattern` or `source` may be null when the code does not
// read them (they count as 0).
void ApplyRop3Run(BYTE rop3, const ULONG* pattern, const ULONG* source, ULONG* destination, LONG count);

// Writes one pixel value over a rectangle that lies inside the bitmap.
void FillSolidRect(const Bitmap& bitmap, const RECTL& rect, ULONG pixel);

}  // namespace w32::raster
