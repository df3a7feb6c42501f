// StretchBlt and TransparentBlt on bitmaps. Along each axis destination
// pixel k (counted from the near edge of the rectangle, from the far edge
// when the two rectangles point opposite ways, which mirrors) takes:
//  - COLORONCOLOR: the source pixel under its centre, floor((k + 0.5) *
//    sourceLength / destinationLength);
//  - BLACKONWHITE / WHITEONBLACK: the AND / OR of the source pixel values
//    (before translation) whose centres map into it, floor((j + 0.5) *
//    destinationLength / sourceLength) == k, or the centre pixel when none
//    does (enlarging);
//  - HALFTONE: the average colour of the source area it covers, each
//    source pixel weighted by the area of overlap (a box filter).
// Destination pixels whose source lies outside the source bitmap are left alone.
#include <algorithm>
#include <optional>
#include <vector>

#include "win32k/raster.h"
#include "win32k/rasterclip.h"

namespace w32::raster {

namespace {

using Wide = __int128;

// floor(a / b) and ceil(a / b) for b > 0.
Wide FloorDiv(Wide a, Wide b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }
Wide CeilDiv(Wide a, Wide b) { return -FloorDiv(-a, b); }

// One axis of the mapping, for the destination coordinates [first, last).
struct Axis {
    LONG first = 0;
    std::vector<LONG> sample;    // COLORONCOLOR's source coordinate; valid when inside the source
    std::vector<LONG> from, to;  // merged source coordinates, cut to the source; empty when from >= to
    std::vector<bool> sampleValid;
    // HALFTONE: the source coordinates and weights of each destination pixel.
    std::vector<size_t> weightStart;  // size + 1 entries into the two below
    std::vector<LONG> weightSource;
    std::vector<ULONG> weight;

    // `destinationLow` and `length` describe the normalised destination
    // rectangle along the axis, `sourceLow` and `sourceLength` the source;
    // `limit` is the source bitmap's size along the axis.
    Axis(LONG firstPixel, LONG lastPixel, LONG destinationLow, int64_t length, LONG sourceLow,
         int64_t sourceLength, bool mirror, LONG limit, bool halftone)
        : first(firstPixel) {
        const size_t count = size_t(lastPixel - firstPixel);
        sample.resize(count), from.resize(count), to.resize(count), sampleValid.resize(count);
        if (halftone) weightStart.assign(1, 0);
        const Wide dl = length, sl = sourceLength;
        for (size_t i = 0; i < count; ++i) {
            int64_t k = int64_t(firstPixel) + int64_t(i) - destinationLow;
            if (mirror) k = length - 1 - k;
            const Wide centre = FloorDiv((2 * Wide(k) + 1) * sl, 2 * dl);
            Wide low = CeilDiv(2 * Wide(k) * sl - dl, 2 * dl), high = CeilDiv(2 * (Wide(k) + 1) * sl - dl, 2 * dl);
            low = std::max<Wide>(low, 0), high = std::min<Wide>(high, sl);
            if (low >= high) low = centre, high = centre + 1;
            const Wide s = Wide(sourceLow) + centre;
            sampleValid[i] = s >= 0 && s < limit;
            sample[i] = sampleValid[i] ? LONG(s) : 0;
            from[i] = LONG(std::clamp<Wide>(Wide(sourceLow) + low, 0, limit));
            to[i] = LONG(std::clamp<Wide>(Wide(sourceLow) + high, 0, limit));
            if (halftone) AddWeights(k, dl, sl, sourceLow, limit);
        }
    }

    // Destination pixel k covers [k * sl, (k + 1) * sl) and source pixel j
    // covers [j * dl, (j + 1) * dl), both in units of 1/dl source pixel; the
    // overlap is scaled to parts of 4096 of the pixel's whole weight.
    void AddWeights(int64_t k, Wide dl, Wide sl, LONG sourceLow, LONG limit) {
        const Wide begin = Wide(k) * sl, end = (Wide(k) + 1) * sl;
        Wide j = FloorDiv(begin, dl), jEnd = CeilDiv(end, dl);
        j = std::max<Wide>(j, -Wide(sourceLow)), jEnd = std::min<Wide>(jEnd, Wide(limit) - sourceLow);
        for (; j < jEnd; ++j) {
            const Wide overlap = std::min(end, (j + 1) * dl) - std::max(begin, j * dl);
            if (overlap <= 0) continue;
            weightSource.push_back(LONG(Wide(sourceLow) + j));
            weight.push_back(ULONG(std::max<Wide>(1, (overlap * 4096 + sl / 2) / sl)));
        }
        weightStart.push_back(weightSource.size());
    }
};

enum class Merge { Sample, And, Or, Average };

Merge MergeFor(int stretchMode) {
    switch (stretchMode) {
    case BLACKONWHITE: return Merge::And;
    case WHITEONBLACK: return Merge::Or;
    case HALFTONE: return Merge::Average;
    default: return Merge::Sample;
    }
}

// Produces the stretched source for runs of destination pixels.
class Stretcher {
public:
    Stretcher(const Bitmap& destination, const Bitmap& source, const Translation& translate, const Axis& xs,
              const Axis& ys, Merge merge)
        : destination_(destination), source_(source), translate_(translate), xs_(xs), ys_(ys), merge_(merge) {}

    // Source pixels for destination (x0 .. x1, y) and whether each has one.
    // Sample, And and Or give source pixel values (untranslated); Average
    // gives destination pixels.
    bool Row(LONG x0, LONG x1, LONG y, ULONG* out, BYTE* valid) {
        const size_t yi = size_t(y - ys_.first), i0 = size_t(x0 - xs_.first);
        const LONG count = x1 - x0;
        LONG low = LONG(0x7fffffff), high = -1;
        for (LONG i = 0; i < count; ++i) {
            const size_t xi = i0 + size_t(i);
            bool ok;
            if (merge_ == Merge::Sample) {
                ok = xs_.sampleValid[xi];
                if (ok) low = std::min(low, xs_.sample[xi]), high = std::max(high, xs_.sample[xi] + 1);
            } else if (merge_ == Merge::Average) {
                ok = xs_.weightStart[xi] < xs_.weightStart[xi + 1];
                if (ok)
                    low = std::min(low, xs_.weightSource[xs_.weightStart[xi]]),
                    high = std::max(high, xs_.weightSource[xs_.weightStart[xi + 1] - 1] + 1);
            } else {
                ok = xs_.from[xi] < xs_.to[xi];
                if (ok) low = std::min(low, xs_.from[xi]), high = std::max(high, xs_.to[xi]);
            }
            valid[i] = ok;
        }
        if (high < 0) return false;
        const size_t width = size_t(high - low);
        if (line_.size() < width) line_.resize(width), accumulated_.resize(width), sums_.resize(3 * width);

        switch (merge_) {
        case Merge::Sample:
            if (!ys_.sampleValid[yi]) return false;
            ReadPixels(source_, low, ys_.sample[yi], LONG(width), line_.data());
            for (LONG i = 0; i < count; ++i)
                if (valid[i]) out[i] = line_[size_t(xs_.sample[i0 + size_t(i)] - low)];
            return true;
        case Merge::And:
        case Merge::Or: {
            if (ys_.from[yi] >= ys_.to[yi]) return false;
            const bool isAnd = merge_ == Merge::And;
            for (LONG sy = ys_.from[yi]; sy < ys_.to[yi]; ++sy) {
                ReadPixels(source_, low, sy, LONG(width), sy == ys_.from[yi] ? accumulated_.data() : line_.data());
                if (sy == ys_.from[yi]) continue;
                for (size_t j = 0; j < width; ++j)
                    accumulated_[j] = isAnd ? (accumulated_[j] & line_[j]) : (accumulated_[j] | line_[j]);
            }
            for (LONG i = 0; i < count; ++i) {
                if (!valid[i]) continue;
                const size_t xi = i0 + size_t(i);
                ULONG v = accumulated_[size_t(xs_.from[xi] - low)];
                for (LONG sx = xs_.from[xi] + 1; sx < xs_.to[xi]; ++sx)
                    v = isAnd ? (v & accumulated_[size_t(sx - low)]) : (v | accumulated_[size_t(sx - low)]);
                out[i] = v;
            }
            return true;
        }
        case Merge::Average:
            return Average(i0, count, yi, low, width, out, valid);
        }
        return false;
    }

private:
    // Weighted sums of the colours (as the destination shows them) down the
    // source lines, then across the columns; rounded to the nearest.
    bool Average(size_t i0, LONG count, size_t yi, LONG low, size_t width, ULONG* out, const BYTE* valid) {
        const size_t rowBegin = ys_.weightStart[yi], rowEnd = ys_.weightStart[yi + 1];
        if (rowBegin == rowEnd) return false;
        std::fill_n(sums_.begin(), 3 * width, 0);
        uint64_t rowWeight = 0;
        for (size_t w = rowBegin; w < rowEnd; ++w) {
            ReadPixels(source_, low, ys_.weightSource[w], LONG(width), line_.data());
            translate_.Apply(line_.data(), LONG(width));
            const uint64_t wy = ys_.weight[w];
            rowWeight += wy;
            for (size_t j = 0; j < width; ++j) {
                const COLORREF c = PixelToColor(destination_, line_[j]);
                sums_[3 * j] += GetRValue(c) * wy, sums_[3 * j + 1] += GetGValue(c) * wy,
                    sums_[3 * j + 2] += GetBValue(c) * wy;
            }
        }
        for (LONG i = 0; i < count; ++i) {
            if (!valid[i]) continue;
            const size_t xi = i0 + size_t(i);
            uint64_t r = 0, g = 0, b = 0, total = 0;
            for (size_t w = xs_.weightStart[xi]; w < xs_.weightStart[xi + 1]; ++w) {
                const size_t j = size_t(xs_.weightSource[w] - low);
                const uint64_t wx = xs_.weight[w];
                r += sums_[3 * j] * wx, g += sums_[3 * j + 1] * wx, b += sums_[3 * j + 2] * wx;
                total += wx;
            }
            total *= rowWeight;
            out[i] = ColorToPixel(destination_, RGB((r + total / 2) / total, (g + total / 2) / total,
                                                    (b + total / 2) / total));
        }
        return true;
    }

    const Bitmap& destination_;
    const Bitmap& source_;
    const Translation& translate_;
    const Axis& xs_;
    const Axis& ys_;
    Merge merge_;
    std::vector<ULONG> line_, accumulated_;
    std::vector<uint64_t> sums_;
};

struct Normalised {
    LONG low, high;
    bool inverted;
};
Normalised Normalise(LONG a, LONG b) { return a <= b ? Normalised{a, b, false} : Normalised{b, a, true}; }

// Everything StretchBlt and TransparentBlt share: the normalised
// rectangles, the area drawn, the axes, and a snapshot of the source when
// it shares memory with the destination.
struct StretchSetup {
    RECTL area{};
    std::optional<Axis> xs, ys;
    std::optional<SourceSnapshot> snapshot;
    const Bitmap* source = nullptr;

    bool Prepare(const Bitmap& destination, const RECTL& destinationRect, const Bitmap& sourceBitmap,
                 const RECTL& sourceRect, Merge merge) {
        const Normalised dx = Normalise(destinationRect.left, destinationRect.right);
        const Normalised dy = Normalise(destinationRect.top, destinationRect.bottom);
        const Normalised sx = Normalise(sourceRect.left, sourceRect.right);
        const Normalised sy = Normalise(sourceRect.top, sourceRect.bottom);
        const int64_t dw = int64_t(dx.high) - dx.low, dh = int64_t(dy.high) - dy.low;
        const int64_t sw = int64_t(sx.high) - sx.low, sh = int64_t(sy.high) - sy.low;
        if (dw == 0 || dh == 0 || sw == 0 || sh == 0) return false;
        area = IntersectRect({dx.low, dy.low, dx.high, dy.high}, BitmapRect(destination));
        if (EmptyRect(area)) return false;
        const bool halftone = merge == Merge::Average;
        xs.emplace(area.left, area.right, dx.low, dw, sx.low, sw, dx.inverted != sx.inverted, sourceBitmap.width,
                   halftone);
        ys.emplace(area.top, area.bottom, dy.low, dh, sy.low, sh, dy.inverted != sy.inverted, sourceBitmap.height,
                   halftone);
        source = &sourceBitmap;
        if (SharesMemory(destination, sourceBitmap)) {
            // Copy every source line the mapping can read, and renumber them.
            snapshot.emplace(sourceBitmap, 0, sourceBitmap.height);
            source = &snapshot->bitmap;
        }
        return true;
    }
};

}  // namespace

void StretchBlt(const Bitmap& destination, const RECTL& destinationRect, const Source& source,
                const RECTL& sourceRect, int stretchMode, const Pattern* brush, BYTE rop3,
                std::span<const RECTL> clip) {
    if (!destination.Usable()) return;
    const bool readsPattern = RopReadsPattern(rop3);
    if (readsPattern && !brush) return;
    if (!RopReadsSource(rop3)) {
        const RECTL normal{std::min(destinationRect.left, destinationRect.right),
                           std::min(destinationRect.top, destinationRect.bottom),
                           std::max(destinationRect.left, destinationRect.right),
                           std::max(destinationRect.top, destinationRect.bottom)};
        std::vector<RECTL> rects;
        ForEachClipped(clip, IntersectRect(normal, BitmapRect(destination)), [&](const RECTL& r) { rects.push_back(r); });
        static const Pattern kNoBrush;
        FillRects(destination, rects, brush ? *brush : kNoBrush, rop3);
        return;
    }
    if (!source.bitmap || !source.bitmap->Usable()) return;
    const Merge merge = MergeFor(stretchMode);
    StretchSetup setup;
    if (!setup.Prepare(destination, destinationRect, *source.bitmap, sourceRect, merge)) return;

    const Translation identity;
    const Translation& translate = source.translation ? *source.translation : identity;
    Stretcher stretcher(destination, *setup.source, translate, *setup.xs, *setup.ys, merge);
    const size_t width = size_t(setup.area.right - setup.area.left);
    std::vector<ULONG> s(width), d(width), p(readsPattern ? width : 0), original(width);
    std::vector<BYTE> valid(width), opaque(width);
    const bool masked = readsPattern && !brush->opaque.empty();
    ForEachClipped(clip, setup.area, [&](const RECTL& r) {
        const LONG count = r.right - r.left;
        for (LONG y = r.top; y < r.bottom; ++y) {
            if (!stretcher.Row(r.left, r.right, y, s.data(), valid.data())) continue;
            if (merge != Merge::Average) translate.Apply(s.data(), count);
            ReadPixels(destination, r.left, y, count, d.data());
            std::copy_n(d.data(), count, original.data());
            if (readsPattern) brush->Row(r.left, y, count, p.data(), masked ? opaque.data() : nullptr);
            ApplyRop3Run(rop3, readsPattern ? p.data() : nullptr, s.data(), d.data(), count);
            for (LONG i = 0; i < count; ++i)
                if (!valid[size_t(i)] || (masked && !opaque[size_t(i)])) d[size_t(i)] = original[size_t(i)];
            WritePixels(destination, r.left, y, count, d.data());
        }
    });
}

void TransparentBlt(const Bitmap& destination, const RECTL& destinationRect, const Source& source,
                    const RECTL& sourceRect, ULONG transparentPixel, std::span<const RECTL> clip) {
    if (!destination.Usable() || !source.bitmap || !source.bitmap->Usable()) return;
    StretchSetup setup;
    if (!setup.Prepare(destination, destinationRect, *source.bitmap, sourceRect, Merge::Sample)) return;
    const Translation identity;
    const Translation& translate = source.translation ? *source.translation : identity;
    Stretcher stretcher(destination, *setup.source, translate, *setup.xs, *setup.ys, Merge::Sample);
    const size_t width = size_t(setup.area.right - setup.area.left);
    std::vector<ULONG> s(width), d(width);
    std::vector<BYTE> valid(width);
    ForEachClipped(clip, setup.area, [&](const RECTL& r) {
        const LONG count = r.right - r.left;
        for (LONG y = r.top; y < r.bottom; ++y) {
            if (!stretcher.Row(r.left, r.right, y, s.data(), valid.data())) continue;
            ReadPixels(destination, r.left, y, count, d.data());
            for (LONG i = 0; i < count; ++i)
                if (valid[size_t(i)] && s[size_t(i)] != transparentPixel) d[size_t(i)] = translate(s[size_t(i)]);
            WritePixels(destination, r.left, y, count, d.data());
        }
    });
}

}  // namespace w32::raster
