// Regions over pixman's 32-bit regions, which keep the same y-x banded
// rectangles that GDI's regions do.
#include "win32k/region.h"

#include <pixman.h>

#include <algorithm>
#include <climits>
#include <cstdint>

namespace w32 {

struct Region::Data {
    pixman_region32_t region;
    Data() { pixman_region32_init(&region); }
    Data(const Data& other) : Data() { pixman_region32_copy(&region, other.get()); }
    Data& operator=(const Data&) = delete;
    ~Data() { pixman_region32_fini(&region); }
    // pixman takes a non-const pointer even where it only reads.
    pixman_region32_t* get() const { return const_cast<pixman_region32_t*>(&region); }
};

namespace {

// pixman keeps coordinates as 32-bit ints but computes widths in them; keep
// rectangles inside a range where that cannot overflow.
constexpr LONG kLimit = INT_MAX / 2;

LONG Clamp(LONG v) { return std::clamp(v, -kLimit, kLimit); }

// The rectangle as a pixman box inside the range; false when nothing is left of it.
bool ToBox(const RECTL& rect, pixman_box32_t& box) {
    box = {Clamp(rect.left), Clamp(rect.top), Clamp(rect.right), Clamp(rect.bottom)};
    return box.x1 < box.x2 && box.y1 < box.y2;
}

}  // namespace

Region::Region() : data_(std::make_unique<Data>()) {}

Region::Region(const RECTL& rect) : data_(std::make_unique<Data>()) {
    pixman_box32_t box;
    if (ToBox(rect, box))
        pixman_region32_reset(data_->get(), &box);
}

Region::Region(const Region& other) : data_(std::make_unique<Data>(*other.data_)) {}
Region::Region(Region&& other) noexcept : data_(std::move(other.data_)) { other.data_ = std::make_unique<Data>(); }
Region& Region::operator=(const Region& other) {
    if (this != &other) pixman_region32_copy(data_->get(), other.data_->get());
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
        pixman_box32_t box;
        if (ToBox(r, box)) boxes.push_back(box);
    }
    Region result;
    // init_rects sorts, merges and bands overlapping and unordered boxes itself.
    pixman_region32_fini(result.data_->get());
    pixman_region32_init_rects(result.data_->get(), boxes.data(), int(boxes.size()));
    return result;
}

Region Region::FromSpans(std::span<const Span> spans) {
    std::vector<RECTL> rects;
    rects.reserve(spans.size());
    for (const Span& s : spans) rects.push_back({s.left, s.y, s.right, s.y + 1});
    return FromRects(rects);
}

bool Region::Empty() const { return !pixman_region32_not_empty(data_->get()); }

RECTL Region::Bounds() const {
    if (Empty()) return {};
    const pixman_box32_t* box = pixman_region32_extents(data_->get());
    return {box->x1, box->y1, box->x2, box->y2};
}

std::vector<RECTL> Region::Rects() const {
    int count = 0;
    const pixman_box32_t* boxes = pixman_region32_rectangles(data_->get(), &count);
    std::vector<RECTL> rects;
    rects.reserve(size_t(count));
    for (int i = 0; i < count; ++i) rects.push_back({boxes[i].x1, boxes[i].y1, boxes[i].x2, boxes[i].y2});
    return rects;
}

size_t Region::RectCount() const { return size_t(pixman_region32_n_rects(data_->get())); }

int Region::Complexity() const {
    const size_t n = RectCount();
    return n == 0 ? NULLREGION : n == 1 ? SIMPLEREGION : COMPLEXREGION;
}

bool Region::Contains(LONG x, LONG y) const {
    return pixman_region32_contains_point(data_->get(), x, y, nullptr);
}

bool Region::Intersects(const RECTL& rect) const {
    pixman_box32_t box;
    if (!ToBox(rect, box)) return false;
    return pixman_region32_contains_rectangle(data_->get(), &box) != PIXMAN_REGION_OUT;
}

bool Region::operator==(const Region& other) const {
    return pixman_region32_equal(data_->get(), other.data_->get());
}

void Region::Offset(LONG dx, LONG dy) {
    // Keep only what stays inside the range after the move, then move it:
    // pixman would clip boxes pushed past the 32-bit range into empty ones.
    const int64_t left = std::max<int64_t>(-kLimit, int64_t(-kLimit) - dx);
    const int64_t right = std::min<int64_t>(kLimit, int64_t(kLimit) - dx);
    const int64_t top = std::max<int64_t>(-kLimit, int64_t(-kLimit) - dy);
    const int64_t bottom = std::min<int64_t>(kLimit, int64_t(kLimit) - dy);
    if (left >= right || top >= bottom) {
        pixman_region32_clear(data_->get());
        return;
    }
    const pixman_box32_t* box = pixman_region32_extents(data_->get());
    if (box->x1 < left || box->y1 < top || box->x2 > right || box->y2 > bottom)
        pixman_region32_intersect_rect(data_->get(), data_->get(), int(left), int(top), unsigned(right - left),
                                       unsigned(bottom - top));
    pixman_region32_translate(data_->get(), dx, dy);
}

Region Region::Intersect(const Region& other) const {
    Region result;
    pixman_region32_intersect(result.data_->get(), data_->get(), other.data_->get());
    return result;
}

Region Region::Union(const Region& other) const {
    Region result;
    pixman_region32_union(result.data_->get(), data_->get(), other.data_->get());
    return result;
}

Region Region::Subtract(const Region& other) const {
    Region result;
    pixman_region32_subtract(result.data_->get(), data_->get(), other.data_->get());
    return result;
}

Region Region::Xor(const Region& other) const { return Union(other).Subtract(Intersect(other)); }

std::vector<Span> Region::Clip(std::span<const Span> spans) const {
    std::vector<Span> out;
    out.reserve(spans.size());
    int count = 0;
    const pixman_box32_t* boxes = pixman_region32_rectangles(data_->get(), &count);
    const pixman_box32_t* end = boxes + count;
    if (count == 1) {
        // One rectangle, the usual clip: no band to look for.
        const pixman_box32_t& b = boxes[0];
        for (const Span& s : spans) {
            if (s.y < b.y1 || s.y >= b.y2) continue;
            const LONG left = std::max<LONG>(s.left, b.x1), right = std::min<LONG>(s.right, b.x2);
            if (left < right) out.push_back({s.y, left, right});
        }
        return out;
    }
    for (const Span& s : spans) {
        if (s.left >= s.right) continue;
        // The band holding the row: bands run down without overlapping, so
        // both their tops and their bottoms only grow; a band's boxes share
        // top and bottom and run left to right without touching.
        const pixman_box32_t* band =
            std::upper_bound(boxes, end, s.y, [](LONG y, const pixman_box32_t& b) { return y < b.y2; });
        if (band == end || band->y1 > s.y) continue;
        const pixman_box32_t* bandEnd =
            std::upper_bound(band, end, s.y, [](LONG y, const pixman_box32_t& b) { return y < b.y1; });
        const pixman_box32_t* b =
            std::partition_point(band, bandEnd, [&](const pixman_box32_t& box) { return box.x2 <= s.left; });
        for (; b != bandEnd && b->x1 < s.right; ++b) {
            const LONG left = std::max<LONG>(s.left, b->x1), right = std::min<LONG>(s.right, b->x2);
            if (left < right) out.push_back({s.y, left, right});
        }
    }
    return out;
}

std::vector<RECTL> Region::ClipRect(const RECTL& rect) const { return Intersect(Region(rect)).Rects(); }

}  // namespace w32
