// Icon and cursor objects: CreateIconIndirect, CreateIconFromResourceEx,
// GetIconInfo, CopyIcon, DestroyIcon, DestroyCursor, DrawIconEx, DrawIcon,
// SetCursor and GetCursor.
//
// An icon is drawn by its AND mask and colours as Windows draws one: the
// mask blanks the screen where it is 0 and the colours are then combined by
// XOR (so a colour where the mask is 1 inverts the screen), or, for an icon
// whose colours carry alpha, by blending. Shared icons (the system's, and
// those loaded with LR_SHARED) stay when DestroyIcon is called on them,
// which still answers TRUE. The cursor is kept per thread: SetCursor answers
// the one before.
#include "user32/cursoricon.h"
#include "user32/paint.h"

#include <algorithm>
#include <memory>
#include <mutex>
#include <unordered_map>

namespace w32 {

namespace {

struct IconObject {
    IconImage image;
    bool shared = false;
};

struct IconTable {
    std::mutex lock;
    std::unordered_map<uintptr_t, std::shared_ptr<IconObject>> objects;
    uint32_t serial = 0;
};

IconTable& Table() {
    static auto* table = new IconTable;
    return *table;
}

// Icon handles carry 0x60 where GDI's carry their object type.
constexpr uintptr_t kIconKind = 0x60;

std::shared_ptr<IconObject> Lookup(HICON icon) {
    IconTable& table = Table();
    std::lock_guard lock(table.lock);
    auto it = table.objects.find(reinterpret_cast<uintptr_t>(icon));
    return it == table.objects.end() ? nullptr : it->second;
}

thread_local HCURSOR tCursor = nullptr;


// The pixels of a bitmap as 0xAARRGGBB, top-down; false when it is none.
bool ReadBitmap(HBITMAP bitmap, int& width, int& height, std::vector<DWORD>& pixels) {
    BITMAP record{};
    if (!bitmap || !GetObjectW(bitmap, sizeof(record), &record)) return false;
    width = record.bmWidth;
    height = record.bmHeight;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    pixels.assign(size_t(width) * size_t(height), 0);
    HDC screen = CreateCompatibleDC(nullptr);
    const int lines = GetDIBits(screen, bitmap, 0, UINT(height), pixels.data(), &info, DIB_RGB_COLORS);
    DeleteDC(screen);
    return lines == height;
}

}  // namespace

HICON InsertIcon(IconImage image, bool shared) {
    auto object = std::make_shared<IconObject>();
    object->image = std::move(image);
    object->shared = shared;
    IconTable& table = Table();
    std::lock_guard lock(table.lock);
    const uint32_t serial = ++table.serial;
    const uintptr_t value = (uintptr_t(serial) << 24) | (kIconKind << 16) | uintptr_t(serial & 0xFFFF);
    table.objects.emplace(value, std::move(object));
    return reinterpret_cast<HICON>(value);
}

bool IconImageOf(HICON icon, IconImage& out) {
    auto object = Lookup(icon);
    if (!object) {
        SetLastError(ERROR_INVALID_CURSOR_HANDLE);
        return false;
    }
    out = object->image;
    return true;
}

IconImage ScaledImage(const IconImage& image, int width, int height) {
    if (width == image.width && height == image.height) return image;
    IconImage scaled = image;
    scaled.width = width;
    scaled.height = height;
    scaled.pixels.assign(size_t(width) * size_t(height), 0);
    scaled.mask.assign(size_t(width) * size_t(height), 1);
    scaled.hotspot = POINT{image.width ? image.hotspot.x * width / image.width : 0,
                           image.height ? image.hotspot.y * height / image.height : 0};
    for (int y = 0; y < height; ++y) {
        const int sy = y * image.height / height;
        for (int x = 0; x < width; ++x) {
            const int sx = x * image.width / width;
            scaled.pixels[size_t(y) * width + x] = image.pixels[size_t(sy) * image.width + sx];
            scaled.mask[size_t(y) * width + x] = image.mask[size_t(sy) * image.width + sx];
        }
    }
    return scaled;
}

}  // namespace w32

using namespace w32;

// The bitmaps are copied: the caller keeps and deletes its own. A colour
// bitmap of 32 bits whose alpha is not all zero blends by it; without a
// colour bitmap the mask is twice the height (AND mask, then XOR colours).
HICON WINAPI CreateIconIndirect(PICONINFO info) {
    if (!info) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    IconImage image;
    image.icon = info->fIcon != FALSE;
    image.hotspot = POINT{LONG(info->xHotspot), LONG(info->yHotspot)};  // an icon's is its centre (below)
    int maskWidth = 0, maskHeight = 0;
    std::vector<DWORD> mask;
    if (!ReadBitmap(info->hbmMask, maskWidth, maskHeight, mask)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (info->hbmColor) {
        if (!ReadBitmap(info->hbmColor, image.width, image.height, image.pixels)) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return nullptr;
        }
        BITMAP record{};
        GetObjectW(info->hbmColor, sizeof(record), &record);
        if (record.bmBitsPixel == 32)
            image.alpha = std::any_of(image.pixels.begin(), image.pixels.end(), [](DWORD p) { return p >> 24; });
    } else {
        image.width = maskWidth;
        image.height = maskHeight / 2;
        image.pixels.assign(mask.begin() + ptrdiff_t(image.width) * image.height, mask.end());
    }
    image.mask.assign(size_t(image.width) * size_t(image.height), 0);
    for (int y = 0; y < image.height && y < maskHeight; ++y)
        for (int x = 0; x < image.width && x < maskWidth; ++x)
            image.mask[size_t(y) * image.width + x] = (mask[size_t(y) * maskWidth + x] & 0xFFFFFF) ? 1 : 0;
    if (!image.alpha)
        for (DWORD& p : image.pixels) p &= 0xFFFFFF;
    if (image.icon) image.hotspot = POINT{image.width / 2, image.height / 2};
    return InsertIcon(std::move(image), false);
}

// Fresh bitmaps the caller deletes: a monochrome mask and a 32-bit colour
// bitmap.
BOOL WINAPI GetIconInfo(HICON icon, PICONINFO info) {
    IconImage image;
    if (!IconImageOf(icon, image)) return FALSE;
    if (!info) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    info->fIcon = image.icon;
    info->xHotspot = DWORD(image.hotspot.x);
    info->yHotspot = DWORD(image.hotspot.y);
    DWORD* bits = nullptr;
    info->hbmColor = MakeDib(image.width, image.height, &bits);
    if (bits) std::copy(image.pixels.begin(), image.pixels.end(), bits);
    const int stride = ((image.width + 15) / 16) * 2;
    std::vector<BYTE> maskBits(size_t(stride) * size_t(image.height), 0);
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            if (image.mask[size_t(y) * image.width + x]) maskBits[size_t(y) * stride + x / 8] |= BYTE(0x80 >> (x % 8));
    info->hbmMask = CreateBitmap(image.width, image.height, 1, 1, maskBits.data());
    return TRUE;
}

HICON WINAPI CopyIcon(HICON icon) {
    IconImage image;
    if (!IconImageOf(icon, image)) return nullptr;
    return InsertIcon(std::move(image), false);
}

BOOL WINAPI DestroyIcon(HICON icon) {
    auto object = Lookup(icon);
    if (!object) {
        SetLastError(ERROR_INVALID_CURSOR_HANDLE);
        return FALSE;
    }
    if (object->shared) return TRUE;
    IconTable& table = Table();
    std::lock_guard lock(table.lock);
    table.objects.erase(reinterpret_cast<uintptr_t>(icon));
    return TRUE;
}

BOOL WINAPI DestroyCursor(HCURSOR cursor) { return DestroyIcon(cursor); }

// cx, cy 0: the icon's own size (with DI_DEFAULTSIZE, the system's icon
// size). DI_MASK draws the mask alone, DI_IMAGE the colours alone (copied),
// DI_NORMAL the icon. Animated steps and the flicker-free brush are not
// supported (ERROR_CALL_NOT_IMPLEMENTED for a step or a brush).
BOOL WINAPI DrawIconEx(HDC hdc, int x, int y, HICON icon, int cx, int cy, UINT step, HBRUSH flickerFree,
                       UINT flags) {
    IconImage image;
    if (!IconImageOf(icon, image)) return FALSE;
    if (step != 0 || flickerFree) {
        SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
        return FALSE;
    }
    if (cx == 0) cx = (flags & DI_DEFAULTSIZE) ? GetSystemMetrics(image.icon ? SM_CXICON : SM_CXCURSOR) : image.width;
    if (cy == 0) cy = (flags & DI_DEFAULTSIZE) ? GetSystemMetrics(image.icon ? SM_CYICON : SM_CYCURSOR) : image.height;
    if ((flags & DI_NORMAL) == 0) flags |= DI_NORMAL;
    const IconImage drawn = ScaledImage(image, cx, cy);
    DWORD* colourBits = nullptr;
    DWORD* maskBits = nullptr;
    HBITMAP colour = MakeDib(cx, cy, &colourBits);
    HBITMAP mask = MakeDib(cx, cy, &maskBits);
    if (!colour || !mask) {
        if (colour) DeleteObject(colour);
        if (mask) DeleteObject(mask);
        return FALSE;
    }
    const bool blend = drawn.alpha && (flags & DI_NORMAL) == DI_NORMAL;
    for (size_t i = 0; i < drawn.pixels.size(); ++i) {
        DWORD p = drawn.pixels[i];
        if (blend) {
            // AlphaBlend takes premultiplied colours.
            const DWORD a = p >> 24;
            p = (a << 24) | ((((p >> 16) & 0xFF) * a / 255) << 16) | ((((p >> 8) & 0xFF) * a / 255) << 8) |
                ((p & 0xFF) * a / 255);
        }
        colourBits[i] = blend ? p : (p & 0xFFFFFF);
        maskBits[i] = drawn.mask[i] ? 0xFFFFFF : 0;
    }
    HDC memory = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(memory, mask);
    BOOL done = TRUE;
    if (blend) {
        SelectObject(memory, colour);
        done = AlphaBlend(hdc, x, y, cx, cy, memory, 0, 0, cx, cy, BLENDFUNCTION{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA});
    } else {
        if (flags & DI_MASK) done = BitBlt(hdc, x, y, cx, cy, memory, 0, 0, (flags & DI_IMAGE) ? SRCAND : SRCCOPY);
        if (done && (flags & DI_IMAGE)) {
            SelectObject(memory, colour);
            done = BitBlt(hdc, x, y, cx, cy, memory, 0, 0, (flags & DI_MASK) ? SRCINVERT : SRCCOPY);
        }
    }
    SelectObject(memory, old);
    DeleteDC(memory);
    DeleteObject(colour);
    DeleteObject(mask);
    return done;
}

BOOL WINAPI DrawIcon(HDC hdc, int x, int y, HICON icon) {
    return DrawIconEx(hdc, x, y, icon, 0, 0, 0, nullptr, DI_NORMAL | DI_DEFAULTSIZE);
}

HCURSOR WINAPI SetCursor(HCURSOR cursor) {
    HCURSOR previous = tCursor;
    tCursor = cursor;
    return previous;
}

HCURSOR WINAPI GetCursor(void) { return tCursor; }
