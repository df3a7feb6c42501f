// Regions over pixman's 32-bit regions, which keep the same y-x banded
// rectangles that GDI's regions do.
#include "win32k/region.h"

#include <pixman.h>

#include <algorithm>
#include <climits>

namespace w32 {

struct Region::Data {
    pixman_region32_t region;
    Data() { pixman_region32_init(&region); }
    Data(const Data& other) {
        pixman_region32_init(&region);
        pixman_region32_copy(&region, const_cast<pixman_region32_t*>(&other.region));
    }
    ~Data() { pixman_region32_fini(&region); }
};

namespace {

// pixman keeps coordinates as 32-bit ints but computes widths in them; keep
// rectangles inside a range where that cannot overflow.
constexpr LONG kLimit = INT_MAX / 2;

LONG Clamp(LONG v) { return std::clamp(v, -kLimit, kLimit); }

}  // namespace

#define Raw(data) (&(data)->region)

Region::Region() : data_(std::make_unique<Data>()) {}

Region::Region(const RECTL& rect) : data_(std::make_unique<Data>()) {
    const LONG left = Clamp(rect.left), top = Clamp(rect.top), right = Clamp(rect.right), bottom = Clamp(rect.bottom);
    if (left < right && top < bottom)
        pixman_region32_init_rect(Raw(data_), left, top, unsigned(right - left), unsigned(bottom - top));
}

Region::Region(const Region& other) : data_(std::make_unique<Data>(*other.data_)) {}
Region::Region(Region&& other) noexcept : data_(std::move(other.data_)) { other.data_ = std::make_unique<Data>(); }
Region& Region::operator=(const Region& other) {
    if (this != &other) pixman_region32_copy(Raw(data_), Raw(other.data_));
    return *this;
}
Region& Region::operator=(Region&& other) noexcept {
    std::swap(data_, other.data_);
    return *this;
}
Region::~Region() = default;

Region Region::FromRects(std::span<const RECTL> rects) {
    std::vector<pixman_box32_t> boxes;
    boxes.reserve(rects.size());
    for (const RECTL& r : rects) {
        const LONG left = Clamp(r.left), top = Clamp(r.top), right = Clamp(r.right), bottom = Clamp(r.bottom);
        if (left < right && top < bottom) boxes.push_back({left, top, right, bottom});
    }
    Region result;
    // init_rects sorts out overlapping and unordered boxes itself.
    pixman_region32_fini(Raw(result.data_));
    pixman_region32_init_rects(Raw(result.data_), boxes.data(), int(boxes.size()));
    return result;
}

Region Region::FromSpans(std::span<const Span> spans) {
    std::vector<RECTL> rects;
    rects.reserve(spans.size());
    for (const Span& s : spans) rects.push_back({s.left, s.y, s.right, s.y + 1});
    return FromRects(rects);
}

bool Region::Empty() const { return !pixman_region32_not_empty(Raw(data_)); }

RECTL Region::Bounds() const {
    if (Empty()) return {};
    const pixman_box32_t* box = pixman_region32_extents(Raw(data_));
    return {box->x1, box->y1, box->x2, box->y2};
}

std::vector<RECTL> Region::Rects() const {
    int count = 0;
    const pixman_box32_t* boxes = pixman_region32_rectangles(Raw(data_), &count);
    std::vector<RECTL> rects;
    rects.reserve(size_t(count));
    for (int i = 0; i < count; ++i) rects.push_back({boxes[i].x1, boxes[i].y1, boxes[i].x2, boxes[i].y2});
    return rects;
}

size_t Region::RectCount() const { return size_t(pixman_region32_n_rects(Raw(data_))); }

int Region::Complexity() const {
    const size_t n = RectCount();
    return n == 0 ? NULLREGION : n == 1 ? SIMPLEREGION : COMPLEXREGION;
}

bool Region::Contains(LONG x, LONG y) const {
    return pixman_region32_contains_point(Raw(data_), x, y, nullptr);
}

bool Region::Intersects(const RECTL& rect) const {
    if (rect.left >= rect.right || rect.top >= rect.bottom) return false;
    pixman_box32_t box{Clamp(rect.left), Clamp(rect.top), Clamp(rect.right), Clamp(rect.bottom)};
    return pixman_region32_contains_rectangle(Raw(data_), &box) != PIXMAN_REGION_OUT;
}

bool Region::operator==(const Region& other) const {
    return pixman_region32_equal(Raw(data_), Raw(other.data_));
}

void Region::Offset(LONG dx, LONG dy) { pixman_region32_translate(Raw(data_), dx, dy); }

Region Region::Intersect(const Region& other) const {
    Region result;
    pixman_region32_intersect(Raw(result.data_), Raw(data_), Raw(other.data_));
    return result;
}

Region Region::Union(const Region& other) const {
    Region result;
    pixman_region32_union(Raw(result.data_), Raw(data_), Raw(other.data_));
    return result;
}

Region Region::Subtract(const Region& other) const {
    Region result;
    pixman_region32_subtract(Raw(result.data_), Raw(data_), Raw(other.data_));
    return result;
}

Region Region::Xor(const Region& other) const { return Union(other).Subtract(Intersect(other)); }

std::vector<Span> Region::Clip(std::span<const Span> spans) const {
    std::vector<Span> out;
    out.reserve(spans.size());
    int count = 0;
    const pixman_box32_t* boxes = pixman_region32_rectangles(Raw(data_), &count);
    const pixman_box32_t* end = boxes + count;
    for (const Span& s : spans) {
        if (s.left >= s.right) continue;
        // The band holding the line: boxes are sorted by top, and a band's boxes share top and bottom.
        const pixman_box32_t* band =
            std::upper_bound(boxes, end, s.y, [](LONG y, const pixman_box32_t& b) { return y < b.y2; });
        for (const pixman_box32_t* b = band; b != end && b->y1 <= s.y && b->y2 > s.y; ++b) {
            const LONG left = std::max<LONG>(s.left, b->x1), right = std::min<LONG>(s.right, b->x2);
            if (left < right) out.push_back({s.y, left, right});
        }
    }
    return out;
}

std::vector<RECTL> Region::ClipRect(const RECTL& rect) const { return Intersect(Region(rect)).Rects(); }

}  // namespace w32
