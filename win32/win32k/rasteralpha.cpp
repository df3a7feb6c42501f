// AlphaBlend on bitmaps: source over destination, per colour channel,
//   result = Src * SCA / 255 + Dst * (1 - SrcAlpha * SCA / 255 / 255)
// where SCA is the constant alpha and SrcAlpha the source pixel's alpha
// byte with AC_SRC_ALPHA (the source then being 32 bits per pixel with its
// colours premultiplied), else 255. Each product divided by 255 rounds to
// the nearest: Src' = round(Src * SCA / 255), A' = round(SrcAlpha * SCA /
// 255), result = Src' + round(Dst * (255 - A') / 255), at most 255. A 32
// bits-per-pixel destination's high byte is blended the same way as its
// alpha (A' + round(DstAlpha * (255 - A') / 255)). Source pixels are taken
// under each destination pixel's centre when the sizes differ.
#include <algorithm>
#include <vector>

#include "win32k/raster.h"
#include "win32k/rasterclip.h"

namespace w32::raster {

namespace {

// round(v / 255) for v in 0 .. 255 * 255.
inline ULONG Div255(ULONG v) { return (v + 128 + ((v + 128) >> 8)) >> 8; }

// The source coordinate under the centre of each destination pixel of
// [first, last), or -1 where it falls outside the source bitmap.
std::vector<LONG> Samples(LONG first, LONG last, LONG destinationLow, int64_t destinationLength,
                          LONG sourceLow, int64_t sourceLength, LONG limit) {
    std::vector<LONG> samples(size_t(last - first));
    for (LONG x = first; x < last; ++x) {
        const __int128 k = int64_t(x) - destinationLow;
        const __int128 s = sourceLow + (2 * k + 1) * sourceLength / (2 * __int128(destinationLength));
        samples[size_t(x - first)] = (s >= 0 && s < limit) ? LONG(s) : -1;
    }
    return samples;
}

bool DefaultMasks(const Bitmap& bitmap) {
    ULONG r, g, b;
    bitmap.ChannelMasks(r, g, b);
    return bitmap.format == BMF_32BPP && r == 0xFF0000 && g == 0xFF00 && b == 0xFF;
}

}  // namespace

void AlphaBlend(const Bitmap& destination, const RECTL& destinationRect, const Bitmap& source,
                const RECTL& sourceRect, BLENDFUNCTION blend, std::span<const RECTL> clip) {
    if (!destination.Usable() || !source.Usable()) return;
    if (blend.BlendOp != AC_SRC_OVER || blend.BlendFlags != 0) return;
    const bool perPixel = (blend.AlphaFormat & AC_SRC_ALPHA) != 0;
    if (perPixel && source.format != BMF_32BPP) return;
    if (destinationRect.right <= destinationRect.left || destinationRect.bottom <= destinationRect.top ||
        sourceRect.right <= sourceRect.left || sourceRect.bottom <= sourceRect.top)
        return;
    const RECTL area = IntersectRect(destinationRect, BitmapRect(destination));
    if (EmptyRect(area)) return;

    const std::vector<LONG> xs = Samples(area.left, area.right, destinationRect.left,
                                         int64_t(destinationRect.right) - destinationRect.left, sourceRect.left,
                                         int64_t(sourceRect.right) - sourceRect.left, source.width);
    const std::vector<LONG> ys = Samples(area.top, area.bottom, destinationRect.top,
                                         int64_t(destinationRect.bottom) - destinationRect.top, sourceRect.top,
                                         int64_t(sourceRect.bottom) - sourceRect.top, source.height);
    const ULONG constant = blend.SourceConstantAlpha;
    // The high byte of a 32-bit destination is its alpha unless its masks use it.
    ULONG mr, mg, mb;
    destination.ChannelMasks(mr, mg, mb);
    const bool destinationAlpha = destination.format == BMF_32BPP && !((mr | mg | mb) & 0xFF000000);
    const bool bothDefault = DefaultMasks(source) && DefaultMasks(destination);

    // Only the source columns some destination pixel takes are read.
    LONG low = source.width, high = 0;
    for (LONG sx : xs)
        if (sx >= 0) low = std::min(low, sx), high = std::max(high, sx + 1);
    if (low >= high) return;
    const size_t width = size_t(area.right - area.left);
    std::vector<ULONG> line(size_t(high - low)), d(width);
    ForEachClipped(clip, area, [&](const RECTL& r) {
        const LONG count = r.right - r.left;
        for (LONG y = r.top; y < r.bottom; ++y) {
            const LONG sy = ys[size_t(y - area.top)];
            if (sy < 0) continue;
            ReadPixels(source, low, sy, high - low, line.data());
            ReadPixels(destination, r.left, y, count, d.data());
            for (LONG i = 0; i < count; ++i) {
                const LONG sx = xs[size_t(r.left + i - area.left)];
                if (sx < 0) continue;
                const ULONG s = line[size_t(sx - low)];
                ULONG& out = d[size_t(i)];
                const ULONG sourceAlpha = perPixel ? (s >> 24) : 255;
                const ULONG a = Div255(sourceAlpha * constant), keep = 255 - a;
                auto mix = [&](ULONG sc, ULONG dc) { return std::min<ULONG>(255, Div255(sc * constant) + Div255(dc * keep)); };
                if (bothDefault) {
                    // Channel by channel in the bytes themselves.
                    ULONG result = 0;
                    for (int shift = 0; shift < 24; shift += 8)
                        result |= mix((s >> shift) & 0xFF, (out >> shift) & 0xFF) << shift;
                    out = result | (std::min<ULONG>(255, a + Div255((out >> 24) * keep)) << 24);
                    continue;
                }
                const COLORREF sc = PixelToColor(source, s), dc = PixelToColor(destination, out);
                const COLORREF mixed = RGB(mix(GetRValue(sc), GetRValue(dc)), mix(GetGValue(sc), GetGValue(dc)),
                                           mix(GetBValue(sc), GetBValue(dc)));
                ULONG pixel = ColorToPixel(destination, mixed);
                if (destinationAlpha) pixel |= std::min<ULONG>(255, a + Div255((out >> 24) * keep)) << 24;
                out = pixel;
            }
            WritePixels(destination, r.left, y, count, d.data());
        }
    });
}

}  // namespace w32::raster
