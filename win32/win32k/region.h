// Regions: sets of pixels kept as y-x banded rectangles (top to bottom,
// then left to right), as GDI keeps them; the arithmetic is pixman's.
#pragma once
#include <windows.h>

#include <memory>
#include <span>
#include <vector>

#include "win32k/span.h"

namespace w32 {

class Region {
public:
    Region();  // empty
    explicit Region(const RECTL& rect);  // an empty or inverted rectangle gives the empty region
    Region(const Region& other);
    Region(Region&& other) noexcept;
    Region& operator=(const Region& other);
    Region& operator=(Region&& other) noexcept;
    ~Region();

    static Region FromRects(std::span<const RECTL> rects);
    static Region FromSpans(std::span<const Span> spans);

    bool Empty() const;
    RECTL Bounds() const;  // all zero when empty
    std::vector<RECTL> Rects() const;
    size_t RectCount() const;
    // NULLREGION, SIMPLEREGION or COMPLEXREGION.
    int Complexity() const;
    bool Contains(LONG x, LONG y) const;
    bool Intersects(const RECTL& rect) const;
    bool operator==(const Region& other) const;

    // Pixels moved past +-2^30 (the range regions keep, so that widths fit) are dropped.
    void Offset(LONG dx, LONG dy);
    Region Intersect(const Region& other) const;
    Region Union(const Region& other) const;
    Region Subtract(const Region& other) const;
    Region Xor(const Region& other) const;

    // The parts of the spans inside the region.
    std::vector<Span> Clip(std::span<const Span> spans) const;
    // The rectangles of the region inside `rect`.
    std::vector<RECTL> ClipRect(const RECTL& rect) const;

private:
    struct Data;
    std::unique_ptr<Data> data_;
};

}  // namespace w32
