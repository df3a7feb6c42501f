// GradientFill on bitmaps. Colours interpolate in the vertices' 16-bit
// channels (COLOR16) and a pixel takes the high byte of each; a 32
// bits-per-pixel destination whose masks leave the high byte free gets the
// interpolated alpha there too. Pixels take the nearest colour the format
// has (no dithering).
//  - Rectangles cover x in [left, right) and y in [top, bottom); across them
//    (GRADIENT_FILL_RECT_H) or down (GRADIENT_FILL_RECT_V) pixel t of n
//    has (c0 * (n - t) + c1 * t) / n, rounded down, so the first pixel has
//    the near vertex's colour exactly and the far edge is never reached.
//  - Triangles cover the pixels whose centres lie inside, and those on an
//    edge only for a top edge (horizontal, the triangle below it) or a left
//    edge (the triangle to its right), so that triangles sharing an edge
//    cover each pixel once. A pixel's colour is the barycentric mix of the
//    vertex colours at its centre, rounded down.
#include <algorithm>
#include <vector>

#include "win32k/raster.h"
#include "win32k/rasterclip.h"

namespace w32::raster {

namespace {

struct Color16 {
    int64_t red, green, blue, alpha;
    static Color16 Of(const TRIVERTEX& v) { return {v.Red, v.Green, v.Blue, v.Alpha}; }
};

class PixelMaker {
public:
    explicit PixelMaker(const Bitmap& destination) : destination_(destination) {
        ULONG r, g, b;
        destination.ChannelMasks(r, g, b);
        alphaByte_ = destination.format == BMF_32BPP && !((r | g | b) & 0xFF000000);
    }
    ULONG operator()(int64_t red, int64_t green, int64_t blue, int64_t alpha) const {
        ULONG pixel = ColorToPixel(destination_, RGB(red >> 8, green >> 8, blue >> 8));
        if (alphaByte_) pixel |= ULONG(alpha >> 8) << 24;
        return pixel;
    }

private:
    const Bitmap& destination_;
    bool alphaByte_ = false;
};

// (c0 * (n - t) + c1 * t) / n for 0 <= t < n.
int64_t Lerp(int64_t c0, int64_t c1, int64_t t, int64_t n) { return (c0 * (n - t) + c1 * t) / n; }

void FillRectangle(const Bitmap& destination, const TRIVERTEX& a, const TRIVERTEX& b, bool horizontal,
                   std::span<const RECTL> clip, const PixelMaker& makePixel) {
    const RECTL rect{std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
    const RECTL area = IntersectRect(rect, BitmapRect(destination));
    // The colour at the near edge is that of the vertex on that side.
    const bool aNear = horizontal ? a.x <= b.x : a.y <= b.y;
    const Color16 near = Color16::Of(aNear ? a : b), far = Color16::Of(aNear ? b : a);
    const int64_t n = horizontal ? int64_t(rect.right) - rect.left : int64_t(rect.bottom) - rect.top;
    auto pixelAt = [&](int64_t t) {
        return makePixel(Lerp(near.red, far.red, t, n), Lerp(near.green, far.green, t, n),
                         Lerp(near.blue, far.blue, t, n), Lerp(near.alpha, far.alpha, t, n));
    };
    std::vector<ULONG> row;
    ForEachClipped(clip, area, [&](const RECTL& r) {
        if (horizontal) {
            row.resize(size_t(r.right - r.left));
            for (LONG x = r.left; x < r.right; ++x) row[size_t(x - r.left)] = pixelAt(int64_t(x) - rect.left);
            for (LONG y = r.top; y < r.bottom; ++y) WritePixels(destination, r.left, y, r.right - r.left, row.data());
        } else {
            for (LONG y = r.top; y < r.bottom; ++y)
                FillSolidRect(destination, {r.left, y, r.right, y + 1},
                              pixelAt(int64_t(y) - rect.top) & destination.PixelMask());
        }
    });
}

// The triangle in doubled coordinates (pixel centres are then odd
// integers). `Int` is wide enough for the products of the edge functions
// and the colours.
template <typename Int>
void FillTriangleIn(const Bitmap& destination, const TRIVERTEX* v[3], const RECTL& area,
                    std::span<const RECTL> clip, const PixelMaker& makePixel) {
    Int x[3], y[3];
    for (int i = 0; i < 3; ++i) x[i] = Int(v[i]->x) * 2, y[i] = Int(v[i]->y) * 2;
    Int twiceArea = (x[1] - x[0]) * (y[2] - y[0]) - (y[1] - y[0]) * (x[2] - x[0]);
    if (twiceArea == 0) return;
    if (twiceArea < 0) {
        // Ordered so that the inside is where every edge function is positive.
        std::swap(x[1], x[2]), std::swap(y[1], y[2]), std::swap(v[1], v[2]);
        twiceArea = -twiceArea;
    }
    // Edge e runs from vertex e + 1 to e + 2; its function is the weight of vertex e.
    bool includesEdge[3];
    for (int e = 0; e < 3; ++e) {
        const int a = (e + 1) % 3, b = (e + 2) % 3;
        const bool top = y[a] == y[b] && x[b] > x[a];
        const bool left = y[b] < y[a];
        includesEdge[e] = top || left;
    }
    const Color16 c[3] = {Color16::Of(*v[0]), Color16::Of(*v[1]), Color16::Of(*v[2])};
    std::vector<ULONG> row;
    std::vector<BYTE> inside;
    ForEachClipped(clip, area, [&](const RECTL& r) {
        const LONG count = r.right - r.left;
        row.resize(size_t(count)), inside.resize(size_t(count));
        for (LONG py = r.top; py < r.bottom; ++py) {
            const Int sy = Int(py) * 2 + 1;
            bool any = false;
            for (LONG px = r.left; px < r.right; ++px) {
                const Int sx = Int(px) * 2 + 1;
                Int w[3];
                bool in = true;
                for (int e = 0; e < 3 && in; ++e) {
                    const int a = (e + 1) % 3, b = (e + 2) % 3;
                    w[e] = (x[b] - x[a]) * (sy - y[a]) - (y[b] - y[a]) * (sx - x[a]);
                    in = w[e] > 0 || (w[e] == 0 && includesEdge[e]);
                }
                const size_t i = size_t(px - r.left);
                inside[i] = in;
                if (!in) continue;
                any = true;
                auto mix = [&](int64_t Color16::*channel) {
                    return int64_t((w[0] * Int(c[0].*channel) + w[1] * Int(c[1].*channel) + w[2] * Int(c[2].*channel)) /
                                   twiceArea);
                };
                row[i] = makePixel(mix(&Color16::red), mix(&Color16::green), mix(&Color16::blue), mix(&Color16::alpha));
            }
            if (!any) continue;
            // Runs of inside pixels are written as they are.
            for (LONG i = 0; i < count;) {
                if (!inside[size_t(i)]) {
                    ++i;
                    continue;
                }
                LONG end = i;
                while (end < count && inside[size_t(end)]) ++end;
                WritePixels(destination, r.left + i, py, end - i, row.data() + i);
                i = end;
            }
        }
    });
}

void FillTriangle(const Bitmap& destination, const TRIVERTEX& a, const TRIVERTEX& b, const TRIVERTEX& c,
                  std::span<const RECTL> clip, const PixelMaker& makePixel) {
    const RECTL bounds{std::min({a.x, b.x, c.x}), std::min({a.y, b.y, c.y}), std::max({a.x, b.x, c.x}),
                       std::max({a.y, b.y, c.y})};
    const RECTL area = IntersectRect(bounds, BitmapRect(destination));
    if (EmptyRect(area)) return;
    const TRIVERTEX* v[3] = {&a, &b, &c};
    // Within 2^20 the edge functions (2^43) times a colour (2^16) fit in 64 bits.
    const LONG limit = 1 << 20;
    auto small = [&](LONG value) { return value > -limit && value < limit; };
    if (small(bounds.left) && small(bounds.right) && small(bounds.top) && small(bounds.bottom))
        FillTriangleIn<int64_t>(destination, v, area, clip, makePixel);
    else
        FillTriangleIn<__int128>(destination, v, area, clip, makePixel);
}

}  // namespace

bool GradientFill(const Bitmap& destination, std::span<const TRIVERTEX> vertices, const void* mesh,
                  ULONG meshCount, ULONG mode, std::span<const RECTL> clip) {
    if (mode != GRADIENT_FILL_RECT_H && mode != GRADIENT_FILL_RECT_V && mode != GRADIENT_FILL_TRIANGLE) return false;
    if (meshCount && !mesh) return false;
    const size_t vertexCount = vertices.size();
    // Every index is checked before anything is drawn.
    if (mode == GRADIENT_FILL_TRIANGLE) {
        const auto* triangles = static_cast<const GRADIENT_TRIANGLE*>(mesh);
        for (ULONG i = 0; i < meshCount; ++i)
            if (triangles[i].Vertex1 >= vertexCount || triangles[i].Vertex2 >= vertexCount ||
                triangles[i].Vertex3 >= vertexCount)
                return false;
    } else {
        const auto* rects = static_cast<const GRADIENT_RECT*>(mesh);
        for (ULONG i = 0; i < meshCount; ++i)
            if (rects[i].UpperLeft >= vertexCount || rects[i].LowerRight >= vertexCount) return false;
    }
    if (!destination.Usable()) return true;
    const PixelMaker makePixel(destination);
    if (mode == GRADIENT_FILL_TRIANGLE) {
        const auto* triangles = static_cast<const GRADIENT_TRIANGLE*>(mesh);
        for (ULONG i = 0; i < meshCount; ++i)
            FillTriangle(destination, vertices[triangles[i].Vertex1], vertices[triangles[i].Vertex2],
                         vertices[triangles[i].Vertex3], clip, makePixel);
    } else {
        const auto* rects = static_cast<const GRADIENT_RECT*>(mesh);
        for (ULONG i = 0; i < meshCount; ++i)
            FillRectangle(destination, vertices[rects[i].UpperLeft], vertices[rects[i].LowerRight],
                          mode == GRADIENT_FILL_RECT_H, clip, makePixel);
    }
    return true;
}

}  // namespace w32::raster
