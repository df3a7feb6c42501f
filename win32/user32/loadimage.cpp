// Loading pictures: LoadImageW, LoadIconW, LoadCursorW, LoadBitmapW and
// CreateIconFromResourceEx.
//
// Icons and cursors come from a module's RT_GROUP_ICON / RT_GROUP_CURSOR
// directory (the entry nearest the size asked for, the deepest colours
// among equals, then its RT_ICON / RT_CURSOR image), from a .ico or .cur
// file with LR_LOADFROMFILE (a machine path), or, with no module, from the
// system's own pictures (IDI_*, IDC_*; the OIC_ and OCR_ ids are the same
// numbers). The size is cx x cy; 0 takes the system's size with
// LR_DEFAULTSIZE (or for LoadIconW and LoadCursorW), else the image's own.
// Bitmaps come from RT_BITMAP resources or .bmp files, as a device-
// dependent bitmap of the screen's format, or a DIB section of the image's
// own format with LR_CREATEDIBSECTION; a size other than the image's
// stretches it. LR_SHARED gives the same handle for the same module, name
// and kind each time (system pictures are always shared). Colour-changing
// flags (LR_MONOCHROME, LR_LOADTRANSPARENT, LR_LOADMAP3DCOLORS) are not
// supported: ERROR_CALL_NOT_IMPLEMENTED. PNG-compressed icon images are not
// read (ERROR_NOT_SUPPORTED), nor run-length encoded bitmaps
// (ERROR_INVALID_DATA).
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <mutex>
#include <string>
#include <tuple>
#include <vector>

#include "user32/cursoricon.h"

namespace w32 {

namespace {

#pragma pack(push, 1)
struct IconDirHeader {
    WORD reserved;
    WORD type;  // 1 icon, 2 cursor
    WORD count;
};
struct IconFileEntry {
    BYTE width, height, colorCount, reserved;
    WORD planes;    // a cursor's hotspot x
    WORD bitCount;  // a cursor's hotspot y
    DWORD bytes;
    DWORD offset;
};
struct GroupIconEntry {
    BYTE width, height, colorCount, reserved;
    WORD planes, bitCount;
    DWORD bytes;
    WORD id;
};
struct GroupCursorEntry {
    WORD width, height;  // the height counts the mask: twice the image's
    WORD planes, bitCount;
    DWORD bytes;
    WORD id;
};
#pragma pack(pop)
static_assert(sizeof(IconDirHeader) == 6);
static_assert(sizeof(IconFileEntry) == 16);
static_assert(sizeof(GroupIconEntry) == 14);
static_assert(sizeof(GroupCursorEntry) == 14);

// A candidate image of a directory: its size, depth and where its bits are.
struct Candidate {
    int width = 0, height = 0, bits = 0;
    WORD id = 0;            // resources
    size_t offset = 0, size = 0;  // files
    POINT hotspot{};        // cursor files
};

// The candidate nearest the size (0: the first), deepest colours among equals.
size_t Choose(const std::vector<Candidate>& candidates, int width, int height) {
    size_t best = 0;
    long long bestScore = -1;
    for (size_t i = 0; i < candidates.size(); ++i) {
        const Candidate& c = candidates[i];
        const long long distance = width ? std::llabs(c.width - width) + std::llabs(c.height - height) : 0;
        const long long score = (1LL << 40) - distance * 1000 + c.bits;
        if (width == 0 && i > 0) continue;
        if (score > bestScore) {
            bestScore = score;
            best = i;
        }
    }
    return best;
}

struct SharedKey {
    HINSTANCE instance;
    std::u16string name;
    UINT type;
    int width, height;
    bool operator<(const SharedKey& o) const {
        return std::tie(instance, name, type, width, height) < std::tie(o.instance, o.name, o.type, o.width, o.height);
    }
};

std::mutex& SharedLock() {
    static auto* lock = new std::mutex;
    return *lock;
}
std::map<SharedKey, HANDLE>& Shared() {
    static auto* shared = new std::map<SharedKey, HANDLE>;
    return *shared;
}

std::u16string NameKey(LPCWSTR name) {
    if (IS_INTRESOURCE(name)) return u"#" + std::u16string(1, char16_t(reinterpret_cast<ULONG_PTR>(name)));
    std::u16string key(name);
    for (auto& c : key)
        if (c >= 'a' && c <= 'z') c = char16_t(c - 'a' + 'A');
    return key;
}

bool ReadMachineFile(LPCWSTR path, std::vector<BYTE>& bytes) {
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    const DWORD size = GetFileSize(file, nullptr);
    bytes.resize(size);
    DWORD read = 0;
    const BOOL ok = size == 0 || ReadFile(file, bytes.data(), size, &read, nullptr);
    CloseHandle(file);
    if (!ok || read != size) {
        SetLastError(ERROR_READ_FAULT);
        return false;
    }
    return true;
}

bool ResourceBytes(HINSTANCE instance, LPCWSTR name, LPCWSTR type, const BYTE*& bits, size_t& size) {
    HRSRC found = FindResourceW(instance, name, type);
    if (!found) return false;
    HGLOBAL loaded = LoadResource(instance, found);
    bits = static_cast<const BYTE*>(LockResource(loaded));
    size = SizeofResource(instance, found);
    if (!bits) {
        SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
        return false;
    }
    return true;
}

// The size to load an icon or cursor at: 0 stays 0 (the image's own)
// unless LR_DEFAULTSIZE asks for the system's.
void WantedSize(bool icon, UINT flags, int& width, int& height) {
    if (width == 0 && (flags & LR_DEFAULTSIZE)) width = GetSystemMetrics(icon ? SM_CXICON : SM_CXCURSOR);
    if (height == 0 && (flags & LR_DEFAULTSIZE)) height = GetSystemMetrics(icon ? SM_CYICON : SM_CYCURSOR);
}

IconImage Sized(IconImage image, int width, int height) {
    if (width || height) image = ScaledImage(image, width ? width : image.width, height ? height : image.height);
    return image;
}

HICON LoadIconFromModule(HINSTANCE instance, LPCWSTR name, bool icon, int width, int height, bool shared) {
    const BYTE* bits = nullptr;
    size_t size = 0;
    if (!ResourceBytes(instance, name, icon ? MAKEINTRESOURCEW(14) : MAKEINTRESOURCEW(12), bits, size)) return nullptr;
    if (size < sizeof(IconDirHeader)) {
        SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
        return nullptr;
    }
    IconDirHeader header;
    std::memcpy(&header, bits, sizeof(header));
    std::vector<Candidate> candidates;
    for (WORD i = 0; i < header.count; ++i) {
        const size_t at = sizeof(header) + size_t(i) * sizeof(GroupIconEntry);
        if (at + sizeof(GroupIconEntry) > size) break;
        Candidate c;
        if (icon) {
            GroupIconEntry e;
            std::memcpy(&e, bits + at, sizeof(e));
            c = Candidate{e.width ? e.width : 256, e.height ? e.height : 256, e.bitCount, e.id};
        } else {
            GroupCursorEntry e;
            std::memcpy(&e, bits + at, sizeof(e));
            c = Candidate{e.width, e.height / 2, e.bitCount, e.id};
        }
        candidates.push_back(c);
    }
    if (candidates.empty()) {
        SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
        return nullptr;
    }
    const Candidate& chosen = candidates[Choose(candidates, width, height)];
    const BYTE* imageBits = nullptr;
    size_t imageSize = 0;
    if (!ResourceBytes(instance, MAKEINTRESOURCEW(chosen.id), icon ? MAKEINTRESOURCEW(3) : MAKEINTRESOURCEW(1),
                       imageBits, imageSize))
        return nullptr;
    IconImage image;
    if (!ParseIconBits(imageBits, imageSize, icon, !icon, image)) return nullptr;
    return InsertIcon(Sized(std::move(image), width, height), shared);
}

HICON LoadIconFromFile(LPCWSTR path, bool icon, int width, int height) {
    std::vector<BYTE> bytes;
    if (!ReadMachineFile(path, bytes)) return nullptr;
    IconDirHeader header{};
    if (bytes.size() >= sizeof(header)) std::memcpy(&header, bytes.data(), sizeof(header));
    if (bytes.size() < sizeof(header) || header.reserved != 0 || (header.type != 1 && header.type != 2)) {
        SetLastError(ERROR_INVALID_DATA);
        return nullptr;
    }
    std::vector<Candidate> candidates;
    for (WORD i = 0; i < header.count; ++i) {
        const size_t at = sizeof(header) + size_t(i) * sizeof(IconFileEntry);
        if (at + sizeof(IconFileEntry) > bytes.size()) break;
        IconFileEntry e;
        std::memcpy(&e, bytes.data() + at, sizeof(e));
        if (size_t(e.offset) + e.bytes > bytes.size()) continue;
        Candidate c{e.width ? e.width : 256, e.height ? e.height : 256, header.type == 1 ? e.bitCount : 0, 0,
                    e.offset, e.bytes, POINT{e.planes, e.bitCount}};
        candidates.push_back(c);
    }
    if (candidates.empty()) {
        SetLastError(ERROR_INVALID_DATA);
        return nullptr;
    }
    const Candidate& chosen = candidates[Choose(candidates, width, height)];
    IconImage image;
    if (!ParseIconBits(bytes.data() + chosen.offset, chosen.size, icon, false, image)) return nullptr;
    if (header.type == 2) image.hotspot = chosen.hotspot;
    image.icon = icon;
    return InsertIcon(Sized(std::move(image), width, height), false);
}

// A packed DIB (header, colours, bits) as a bitmap of the kind asked for.
HBITMAP BitmapFromDib(const BYTE* dib, size_t size, int width, int height, UINT flags) {
    if (size < sizeof(BITMAPINFOHEADER)) {
        SetLastError(ERROR_INVALID_DATA);
        return nullptr;
    }
    BITMAPINFOHEADER header;
    std::memcpy(&header, dib, sizeof(header));
    if (header.biSize < sizeof(BITMAPINFOHEADER) || header.biWidth <= 0 || header.biHeight == 0) {
        SetLastError(ERROR_INVALID_DATA);
        return nullptr;
    }
    size_t colours = header.biClrUsed ? header.biClrUsed : (header.biBitCount <= 8 ? size_t(1) << header.biBitCount : 0);
    if (header.biCompression == BI_BITFIELDS) colours = 3;
    const size_t bitsAt = header.biSize + colours * sizeof(RGBQUAD);
    const size_t stride = ((size_t(header.biWidth) * header.biBitCount + 31) / 32) * 4;
    const size_t rows = size_t(header.biHeight < 0 ? -header.biHeight : header.biHeight);
    if ((header.biCompression != BI_RGB && header.biCompression != BI_BITFIELDS) || bitsAt + stride * rows > size) {
        SetLastError(ERROR_INVALID_DATA);
        return nullptr;
    }
    auto info = reinterpret_cast<const BITMAPINFO*>(dib);
    const void* bits = dib + bitsAt;
    const int imageWidth = header.biWidth, imageHeight = int(rows);
    if (width == 0) width = imageWidth;
    if (height == 0) height = imageHeight;
    HDC screen = GetDC(nullptr);
    HBITMAP made = nullptr;
    if (flags & LR_CREATEDIBSECTION) {
        std::vector<BYTE> changed(dib, dib + bitsAt);
        auto* changedHeader = reinterpret_cast<BITMAPINFOHEADER*>(changed.data());
        changedHeader->biWidth = width;
        changedHeader->biHeight = header.biHeight < 0 ? -height : height;
        changedHeader->biSizeImage = 0;
        void* sectionBits = nullptr;
        made = CreateDIBSection(screen, reinterpret_cast<BITMAPINFO*>(changed.data()), DIB_RGB_COLORS, &sectionBits,
                                nullptr, 0);
    } else {
        made = CreateCompatibleBitmap(screen, width, height);
    }
    ReleaseDC(nullptr, screen);
    if (!made) return nullptr;
    HDC memory = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(memory, made);
    SetStretchBltMode(memory, COLORONCOLOR);
    const int lines = StretchDIBits(memory, 0, 0, width, height, 0, 0, imageWidth, imageHeight, bits, info,
                                    DIB_RGB_COLORS, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
    if (lines == 0) {
        DeleteObject(made);
        SetLastError(ERROR_INVALID_DATA);
        return nullptr;
    }
    return made;
}

HBITMAP LoadBitmapImage(HINSTANCE instance, LPCWSTR name, int width, int height, UINT flags) {
    if (flags & LR_LOADFROMFILE) {
        std::vector<BYTE> bytes;
        if (!ReadMachineFile(name, bytes)) return nullptr;
        if (bytes.size() < sizeof(BITMAPFILEHEADER) || bytes[0] != 'B' || bytes[1] != 'M') {
            SetLastError(ERROR_INVALID_DATA);
            return nullptr;
        }
        // The DIB follows the 14-byte file header: moved to the start of its
        // own buffer so that its header is read at an aligned address.
        bytes.erase(bytes.begin(), bytes.begin() + sizeof(BITMAPFILEHEADER));
        return BitmapFromDib(bytes.data(), bytes.size(), width, height, flags);
    }
    const BYTE* bits = nullptr;
    size_t size = 0;
    if (!ResourceBytes(instance, name, MAKEINTRESOURCEW(2), bits, size)) return nullptr;
    return BitmapFromDib(bits, size, width, height, flags);
}

HANDLE LoadAnyImage(HINSTANCE instance, LPCWSTR name, UINT type, int width, int height, UINT flags) {
    if (!name) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (flags & (LR_MONOCHROME | LR_LOADTRANSPARENT | LR_LOADMAP3DCOLORS)) {
        SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
        return nullptr;
    }
    if (type == IMAGE_BITMAP) {
        if (!instance && !(flags & LR_LOADFROMFILE)) {
            SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);  // the system's OBM_ bitmaps are none here
            return nullptr;
        }
        return LoadBitmapImage(instance, name, width, height, flags);
    }
    if (type != IMAGE_ICON && type != IMAGE_CURSOR) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    const bool icon = type == IMAGE_ICON;
    WantedSize(icon, flags, width, height);
    if (flags & LR_LOADFROMFILE) return LoadIconFromFile(name, icon, width, height);
    const bool system = !instance;
    const bool shared = system || (flags & LR_SHARED);
    SharedKey key{instance, NameKey(name), type, width, height};
    if (shared) {
        std::lock_guard lock(SharedLock());
        auto it = Shared().find(key);
        if (it != Shared().end()) return it->second;
    }
    HICON made = nullptr;
    if (system) {
        if (!IS_INTRESOURCE(name)) {
            SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
            return nullptr;
        }
        const WORD id = WORD(reinterpret_cast<ULONG_PTR>(name));
        const int size = width ? width : GetSystemMetrics(icon ? SM_CXICON : SM_CXCURSOR);
        IconImage image;
        if (!(icon ? SystemIconImage(id, size, image) : SystemCursorImage(id, size, image))) {
            SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
            return nullptr;
        }
        if (height && height != size) image = ScaledImage(image, size, height);
        made = InsertIcon(std::move(image), true);
    } else {
        made = LoadIconFromModule(instance, name, icon, width, height, shared);
    }
    if (made && shared) {
        std::lock_guard lock(SharedLock());
        auto [it, added] = Shared().emplace(key, made);
        if (!added) made = static_cast<HICON>(it->second);  // another thread was first
    }
    return made;
}

// The bits of a DIB image of an icon or cursor (colours, then the mask).
bool ParseDibIcon(const BYTE* bits, size_t size, IconImage& out) {
    BITMAPINFOHEADER header;
    if (size < sizeof(header)) return false;
    std::memcpy(&header, bits, sizeof(header));
    if (header.biSize < sizeof(header) || header.biWidth <= 0 || header.biHeight <= 0 || header.biWidth > 1024 ||
        header.biHeight > 2048 || header.biCompression != BI_RGB)
        return false;
    const int width = header.biWidth, height = header.biHeight / 2;
    const UINT depth = header.biBitCount;
    if (depth != 1 && depth != 4 && depth != 8 && depth != 24 && depth != 32) return false;
    const size_t colours = header.biClrUsed ? header.biClrUsed : (depth <= 8 ? size_t(1) << depth : 0);
    const size_t tableAt = header.biSize;
    const size_t colourAt = tableAt + colours * 4;
    const size_t colourStride = ((size_t(width) * depth + 31) / 32) * 4;
    const size_t maskStride = ((size_t(width) + 31) / 32) * 4;
    const size_t maskAt = colourAt + colourStride * size_t(height);
    if (maskAt + maskStride * size_t(height) > size) return false;
    out.width = width;
    out.height = height;
    out.pixels.assign(size_t(width) * size_t(height), 0);
    out.mask.assign(out.pixels.size(), 0);
    auto tableColour = [&](size_t index) -> DWORD {
        if (index >= colours) return 0;
        const BYTE* q = bits + tableAt + index * 4;
        return DWORD(q[0]) | DWORD(q[1]) << 8 | DWORD(q[2]) << 16;
    };
    for (int y = 0; y < height; ++y) {
        const BYTE* row = bits + colourAt + size_t(height - 1 - y) * colourStride;
        const BYTE* maskRow = bits + maskAt + size_t(height - 1 - y) * maskStride;
        for (int x = 0; x < width; ++x) {
            DWORD p = 0;
            switch (depth) {
                case 1: p = tableColour((row[x / 8] >> (7 - x % 8)) & 1); break;
                case 4: p = tableColour((row[x / 2] >> (x % 2 ? 0 : 4)) & 0xF); break;
                case 8: p = tableColour(row[x]); break;
                case 24: p = DWORD(row[x * 3]) | DWORD(row[x * 3 + 1]) << 8 | DWORD(row[x * 3 + 2]) << 16; break;
                default: std::memcpy(&p, row + size_t(x) * 4, 4); break;
            }
            out.pixels[size_t(y) * width + x] = p;
            out.mask[size_t(y) * width + x] = (maskRow[x / 8] >> (7 - x % 8)) & 1;
        }
    }
    out.alpha = depth == 32 && std::any_of(out.pixels.begin(), out.pixels.end(), [](DWORD p) { return p >> 24; });
    if (!out.alpha)
        for (DWORD& p : out.pixels) p &= 0xFFFFFF;
    return true;
}

}  // namespace

bool ParseIconBits(const BYTE* bits, size_t size, bool icon, bool withHotspot, IconImage& out) {
    out = IconImage{};
    out.icon = icon;
    if (withHotspot) {
        if (size < 4) {
            SetLastError(ERROR_INVALID_DATA);
            return false;
        }
        WORD hotspot[2];
        std::memcpy(hotspot, bits, 4);
        out.hotspot = POINT{hotspot[0], hotspot[1]};
        bits += 4;
        size -= 4;
    }
    if (size >= 8 && std::memcmp(bits, "\x89PNG", 4) == 0) {
        SetLastError(ERROR_NOT_SUPPORTED);
        return false;
    }
    const POINT hotspot = out.hotspot;
    if (!ParseDibIcon(bits, size, out)) {
        SetLastError(ERROR_INVALID_DATA);
        return false;
    }
    out.icon = icon;
    out.hotspot = icon ? POINT{out.width / 2, out.height / 2} : hotspot;
    return true;
}

}  // namespace w32

using namespace w32;

HANDLE WINAPI LoadImageW(HINSTANCE instance, LPCWSTR name, UINT type, int cx, int cy, UINT flags) {
    if (cx < 0 || cy < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return LoadAnyImage(instance, name, type, cx, cy, flags);
}

HICON WINAPI LoadIconW(HINSTANCE instance, LPCWSTR name) {
    return static_cast<HICON>(LoadImageW(instance, name, IMAGE_ICON, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
}

HCURSOR WINAPI LoadCursorW(HINSTANCE instance, LPCWSTR name) {
    return static_cast<HCURSOR>(LoadImageW(instance, name, IMAGE_CURSOR, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
}

HBITMAP WINAPI LoadBitmapW(HINSTANCE instance, LPCWSTR name) {
    return static_cast<HBITMAP>(LoadImageW(instance, name, IMAGE_BITMAP, 0, 0, 0));
}

// The image of an RT_ICON or RT_CURSOR resource (a cursor's begins with its
// hotspot), at cx x cy (0: the image's own, or the system's with
// LR_DEFAULTSIZE). Only version 0x00030000 is known.
HICON WINAPI CreateIconFromResourceEx(PBYTE bits, DWORD size, BOOL icon, DWORD version, int cx, int cy, UINT flags) {
    if (!bits || version != 0x00030000) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    IconImage image;
    if (!ParseIconBits(bits, size, icon != FALSE, !icon, image)) return nullptr;
    WantedSize(icon != FALSE, flags, cx, cy);
    return InsertIcon(Sized(std::move(image), cx, cy), (flags & LR_SHARED) != 0);
}
