// Icons and cursors: user32's own objects (handles distinct from GDI's),
// each an image of 32-bit pixels with an AND mask.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace w32 {

// An icon's or cursor's picture: `pixels` are 0xAARRGGBB, rows top-down;
// `mask` holds 1 where the screen shows through (AND mask), one byte a
// pixel. With `alpha`, the pixels' alpha blends them and the mask only
// stands beside them.
struct IconImage {
    bool icon = true;
    POINT hotspot{};
    int width = 0;
    int height = 0;
    bool alpha = false;
    std::vector<DWORD> pixels;
    std::vector<BYTE> mask;
};

// A new icon or cursor object holding the image; with `shared`,
// DestroyIcon leaves it (LR_SHARED, the system's own).
HICON InsertIcon(IconImage image, bool shared);
// A copy of an icon's image; false (ERROR_INVALID_CURSOR_HANDLE) for a
// handle that is none.
bool IconImageOf(HICON icon, IconImage& out);

// The image scaled to a size (nearest pixel).
IconImage ScaledImage(const IconImage& image, int width, int height);

// The system's icons (IDI_*, as LoadIconW(NULL, ...) loads them) and
// cursors (IDC_*), drawn at a size; false for an id that names none.
bool SystemIconImage(WORD id, int size, IconImage& out);
bool SystemCursorImage(WORD id, int size, IconImage& out);

// An icon or cursor image from the bytes of an RT_ICON or RT_CURSOR
// resource or of an icon file's entry (a DIB of twice the height: colours,
// then the AND mask). Cursor resources begin with the hotspot. False when
// the bytes are no such image (PNG images included).
bool ParseIconBits(const BYTE* bits, size_t size, bool icon, bool withHotspot, IconImage& out);

}  // namespace w32
