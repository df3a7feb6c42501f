// A run of pixels on one scan line: the unit in which shapes are filled,
// clipped and painted.
#pragma once
#include <windows.h>

namespace w32 {

struct Span {
    LONG y = 0;
    LONG left = 0;   // first pixel
    LONG right = 0;  // one past the last pixel
};

}  // namespace w32
