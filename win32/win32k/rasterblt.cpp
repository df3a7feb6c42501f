// BitBlt, PatBlt and MaskBlt on bitmaps: a ROP4 over pattern, source and
// destination. The ROP4 is taken as the engine gets it: a 16-bit value
// whose low byte is the foreground ROP3, used where the mask bit is 1, and
// whose high byte is the background ROP3, used where it is 0. Both bytes
// equal means no mask is read.
#include <cstring>
#include <optional>
#include <vector>

#include "win32k/raster.h"
#include "win32k/rasterclip.h"

namespace w32::raster {

void BitBlt(const Bitmap& destination, const RECTL& destinationRect, const Source& source, POINTL sourceOrigin,
            const Bitmap* mask, POINTL maskOrigin, const Pattern* brush, ULONG rop4, std::span<const RECTL> clip) {
    if (!destination.Usable()) return;
    const BYTE foreground = BYTE(rop4), background = BYTE(rop4 >> 8);
    const bool useMask = foreground != background;
    const bool readsSource = RopReadsSource(foreground) || (useMask && RopReadsSource(background));
    const bool readsPattern = RopReadsPattern(foreground) || (useMask && RopReadsPattern(background));
    // An operand the ROP needs but the caller did not give draws nothing.
    if (readsSource && (!source.bitmap || !source.bitmap->Usable())) return;
    if (useMask && (!mask || !mask->Usable() || mask->format != BMF_1BPP)) return;
    if (readsPattern && !brush) return;

    // Only pixels with a source and a mask pixel behind them are drawn.
    const POINTL anchor{destinationRect.left, destinationRect.top};
    RECTL area = IntersectRect(destinationRect, BitmapRect(destination));
    if (readsSource) area = IntersectRect(area, PlacedRect(*source.bitmap, sourceOrigin, anchor));
    if (useMask) area = IntersectRect(area, PlacedRect(*mask, maskOrigin, anchor));
    if (EmptyRect(area)) return;

    if (!readsSource && !useMask) {
        std::vector<RECTL> rects;
        ForEachClipped(clip, area, [&](const RECTL& r) { rects.push_back(r); });
        static const Pattern kNoBrush;
        FillRects(destination, rects, brush ? *brush : kNoBrush, foreground);
        return;
    }

    // Offsets from destination to source and mask coordinates (within
    // `area` they land inside those bitmaps).
    const int64_t sourceDx = int64_t(sourceOrigin.x) - destinationRect.left;
    int64_t sourceDy = int64_t(sourceOrigin.y) - destinationRect.top;
    const int64_t maskDx = int64_t(maskOrigin.x) - destinationRect.left;
    const int64_t maskDy = int64_t(maskOrigin.y) - destinationRect.top;

    const Bitmap* sourceBitmap = readsSource ? source.bitmap : nullptr;
    std::optional<SourceSnapshot> snapshot;
    if (sourceBitmap && SharesMemory(destination, *sourceBitmap)) {
        snapshot.emplace(*sourceBitmap, LONG(area.top + sourceDy), LONG(area.bottom + sourceDy));
        sourceBitmap = &snapshot->bitmap;
        sourceDy -= snapshot->firstLine;
    }
    const Translation identity;
    const Translation& translate = source.translation ? *source.translation : identity;

    // Identical pixels under SRCCOPY copy as bytes.
    const ULONG bpp = destination.BitsPerPixel();
    if (sourceBitmap && !useMask && foreground == 0xCC && translate.Identity() &&
        sourceBitmap->format == destination.format && bpp >= 8) {
        const size_t bytes = bpp / 8;
        ForEachClipped(clip, area, [&](const RECTL& r) {
            const size_t length = size_t(r.right - r.left) * bytes;
            for (LONG y = r.top; y < r.bottom; ++y)
                std::memmove(destination.Line(y) + size_t(r.left) * bytes,
                             sourceBitmap->Line(LONG(y + sourceDy)) + size_t(r.left + sourceDx) * bytes, length);
        });
        return;
    }

    const bool masked = readsPattern && !brush->opaque.empty();
    const size_t width = size_t(area.right - area.left);
    std::vector<ULONG> d(width), s(readsSource ? width : 0), p(readsPattern ? width : 0);
    std::vector<ULONG> m(useMask ? width : 0), back(useMask ? width : 0), original(masked ? width : 0);
    std::vector<BYTE> opaque(masked ? width : 0);
    ForEachClipped(clip, area, [&](const RECTL& r) {
        const LONG count = r.right - r.left;
        for (LONG y = r.top; y < r.bottom; ++y) {
            ReadPixels(destination, r.left, y, count, d.data());
            if (readsSource) {
                ReadPixels(*sourceBitmap, LONG(r.left + sourceDx), LONG(y + sourceDy), count, s.data());
                translate.Apply(s.data(), count);
            }
            if (readsPattern) brush->Row(r.left, y, count, p.data(), masked ? opaque.data() : nullptr);
            if (masked) std::copy_n(d.data(), count, original.data());
            const ULONG* pp = readsPattern ? p.data() : nullptr;
            const ULONG* sp = readsSource ? s.data() : nullptr;
            if (useMask) {
                ReadPixels(*mask, LONG(r.left + maskDx), LONG(y + maskDy), count, m.data());
                std::copy_n(d.data(), count, back.data());
                ApplyRop3Run(background, pp, sp, back.data(), count);
                ApplyRop3Run(foreground, pp, sp, d.data(), count);
                for (LONG i = 0; i < count; ++i)
                    if (!m[size_t(i)]) d[size_t(i)] = back[size_t(i)];
            } else {
                ApplyRop3Run(foreground, pp, sp, d.data(), count);
            }
            if (masked)
                for (LONG i = 0; i < count; ++i)
                    if (!opaque[size_t(i)]) d[size_t(i)] = original[size_t(i)];
            WritePixels(destination, r.left, y, count, d.data());
        }
    });
}

}  // namespace w32::raster
