// The area of the printer's page a placed page covers, worked out from the
// page transform written in the job alone, for the tests that check where
// pages land.
#pragma once
#include <algorithm>
#include <cstdint>
#include <string>

namespace tam::test {

struct PageBox {
    double left, top, right, bottom;
};

// A page of printable extent w x h placed at origin (x, y), turned by
// `angle` and scaled by (sx, sy): rotation 90 turns the page's x axis up the
// printer's page, 270 down it, 180 turns it over.
inline PageBox PlacedPageBox(double x, double y, int64_t angle, double sx, double sy, double w, double h) {
    const double ws = w * sx, hs = h * sy;
    switch (angle) {
    case 90: return {x, y - ws, x + hs, y};
    case 180: return {x - ws, y - hs, x, y};
    case 270: return {x - hs, y, x, y + ws};
    default: return {x, y, x + ws, y + hs};
    }
}

// Whether two boxes share more than a unit each way (truncation leaves
// neighbours touching or a unit apart).
inline bool Overlap(const PageBox& a, const PageBox& b) {
    const double across = std::min(a.right, b.right) - std::max(a.left, b.left);
    const double down = std::min(a.bottom, b.bottom) - std::max(a.top, b.top);
    return across > 1 && down > 1;
}

inline std::string Describe(const PageBox& b) {
    return "[" + std::to_string(b.left) + ", " + std::to_string(b.right) + "] x [" + std::to_string(b.top) + ", " +
           std::to_string(b.bottom) + "]";
}

}  // namespace tam::test
