// Surfaces: every top-level window, and the desktop, draws into a 32-bit
// top-down DIB section the size of its window rectangle, as windows of a
// composited desktop do; its children draw into it through window DCs.
// A surface is made when first drawn into and made anew, keeping what fits
// of the old pixels, when its window changes size.
#include <algorithm>
#include <cstring>

#include "user32/paint.h"

namespace w32 {

Window* TopLevelLocked(Window* window) {
    while (window && window->parent && !IsRootLocked(window->parent)) window = window->parent;
    return window;
}

HBITMAP MakeDib(int width, int height, DWORD** bits) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* raw = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &raw, nullptr, 0);
    *bits = static_cast<DWORD*>(raw);
    return bitmap;
}

HBITMAP SurfaceLocked(Window* top) {
    const SIZE size{std::max(LONG(1), top->rect.right - top->rect.left),
                    std::max(LONG(1), top->rect.bottom - top->rect.top)};
    if (top->surface && top->surfaceSize.cx == size.cx && top->surfaceSize.cy == size.cy) return top->surface;
    DWORD* bits = nullptr;
    HBITMAP made = MakeDib(size.cx, size.cy, &bits);
    if (!made) return nullptr;
    if (top->surface) {
        const LONG rows = std::min(size.cy, top->surfaceSize.cy);
        const size_t bytes = size_t(std::min(size.cx, top->surfaceSize.cx)) * 4;
        for (LONG y = 0; y < rows; ++y) {
            std::memcpy(reinterpret_cast<BYTE*>(bits) + size_t(y) * size_t(size.cx) * 4,
                        static_cast<const BYTE*>(top->surfaceBits) + size_t(y) * size_t(top->surfaceSize.cx) * 4,
                        bytes);
        }
        DeleteObject(top->surface);
    }
    top->surface = made;
    top->surfaceBits = bits;
    top->surfaceSize = size;
    return made;
}

void FreeSurfaceLocked(Window* top) {
    if (top->surface) DeleteObject(top->surface);
    top->surface = nullptr;
    top->surfaceBits = nullptr;
    top->surfaceSize = SIZE{};
}

}  // namespace w32
