// Helpers of the geometry tests: paths from pixel coordinates, and pixel
// sets from spans that check each pixel comes once.
#pragma once
#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <set>
#include <utility>
#include <vector>

#include "win32k/geometry.h"

namespace geometry_test {

using Pixel = std::pair<LONG, LONG>;  // x, y
using PixelSet = std::set<Pixel>;

// A figure through points in whole pixels.
inline void AddFigure(w32::DevicePath& path, std::initializer_list<Pixel> points, bool closed) {
    bool first = true;
    for (const Pixel& p : points) {
        if (first) path.MoveTo(w32::PointFix(p.first, p.second));
        else path.LineTo(w32::PointFix(p.first, p.second));
        first = false;
    }
    if (closed) path.CloseFigure();
}

inline w32::DevicePath Polygon(std::initializer_list<Pixel> points) {
    w32::DevicePath path;
    AddFigure(path, points, true);
    return path;
}

inline w32::DevicePath Polyline(std::initializer_list<Pixel> points) {
    w32::DevicePath path;
    AddFigure(path, points, false);
    return path;
}

// An open staircase of 2 * steps + 2 points: (0,0) (1,0) (1,1) (2,1) ...
// (steps,steps) (0,steps), whole pixels.
inline w32::DevicePath Staircase(LONG steps) {
    w32::DevicePath stairs;
    stairs.points.reserve(2 * size_t(steps) + 2);
    stairs.types.reserve(2 * size_t(steps) + 2);
    stairs.MoveTo(w32::PointFix(0, 0));
    for (LONG i = 0; i < steps; ++i) {
        stairs.LineTo(w32::PointFix(i + 1, i));
        stairs.LineTo(w32::PointFix(i + 1, i + 1));
    }
    stairs.LineTo(w32::PointFix(0, steps));
    return stairs;
}

// The pixels of the spans; fails the test when a pixel comes twice.
inline PixelSet Pixels(const std::vector<w32::Span>& spans) {
    PixelSet pixels;
    for (const w32::Span& s : spans)
        for (LONG x = s.left; x < s.right; ++x)
            EXPECT_TRUE(pixels.insert({x, s.y}).second) << "pixel " << x << "," << s.y << " twice";
    return pixels;
}

// The pixels of a box for which `inside` holds.
inline PixelSet PixelsWhere(LONG left, LONG top, LONG right, LONG bottom, const std::function<bool(LONG, LONG)>& inside) {
    PixelSet pixels;
    for (LONG y = top; y < bottom; ++y)
        for (LONG x = left; x < right; ++x)
            if (inside(x, y)) pixels.insert({x, y});
    return pixels;
}

}  // namespace geometry_test
