// Memory DCs over 32-bpp top-down DIB sections whose bits a test reads
// directly: pixel (x, y) is the DWORD at bits[y * width + x], 0x00RRGGBB;
// and the measures of a DC's text that pictures of text are checked against.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <set>
#include <string_view>
#include <utility>
#include <vector>

namespace tam::test {

using PixelSet = std::set<std::pair<LONG, LONG>>;  // (x, y)

// The DIB-section pixel of a colour: blue in the low byte.
constexpr DWORD DibPixel(COLORREF c) { return (DWORD(GetRValue(c)) << 16) | (DWORD(GetGValue(c)) << 8) | GetBValue(c); }

// A white memory DC of the size over its own DIB section.
inline HDC MakeDibCanvas(LONG width, LONG height, DWORD*& bits, HBITMAP& bitmap) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    HDC dc = CreateCompatibleDC(nullptr);
    void* pixels = nullptr;
    bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
    EXPECT_NE(bitmap, nullptr);
    bits = static_cast<DWORD*>(pixels);
    SelectObject(dc, bitmap);
    std::fill(bits, bits + size_t(width) * size_t(height), DibPixel(RGB(255, 255, 255)));
    return dc;
}

// White canvases of one size that a test makes as it goes; Release (or the
// destructor) deletes them.
class DibCanvases {
public:
    DibCanvases(LONG width, LONG height) : width_(width), height_(height) {}
    ~DibCanvases() { Release(); }
    DibCanvases(const DibCanvases&) = delete;
    DibCanvases& operator=(const DibCanvases&) = delete;

    HDC New() {
        Canvas canvas;
        canvas.dc = MakeDibCanvas(width_, height_, canvas.bits, canvas.bitmap);
        canvases_.push_back(canvas);
        return canvas.dc;
    }
    void Release() {
        for (const Canvas& canvas : canvases_) {
            DeleteDC(canvas.dc);
            DeleteObject(canvas.bitmap);
        }
        canvases_.clear();
    }

    // The pixels of the colour, and those that are not white.
    PixelSet PixelsOf(HDC dc, COLORREF color) const {
        return Select(dc, [&](DWORD pixel) { return pixel == DibPixel(color); });
    }
    PixelSet Ink(HDC dc) const {
        return Select(dc, [](DWORD pixel) { return pixel != DibPixel(RGB(255, 255, 255)); });
    }

private:
    struct Canvas {
        HDC dc = nullptr;
        HBITMAP bitmap = nullptr;
        DWORD* bits = nullptr;
    };

    // The pixels whose colour (the fourth byte means nothing) passes the test.
    template <class Test>
    PixelSet Select(HDC dc, Test test) const {
        PixelSet set;
        const auto canvas = std::find_if(canvases_.begin(), canvases_.end(), [&](const Canvas& c) { return c.dc == dc; });
        EXPECT_NE(canvas, canvases_.end());
        if (canvas == canvases_.end()) return set;
        for (LONG y = 0; y < height_; ++y)
            for (LONG x = 0; x < width_; ++x)
                if (test(canvas->bits[y * width_ + x] & 0xFFFFFF)) set.insert({x, y});
        return set;
    }

    LONG width_, height_;
    std::vector<Canvas> canvases_;
};

// The width of the text in the DC's font, and the font's metrics.
inline LONG TextExtent(HDC dc, std::u16string_view text) {
    SIZE size{};
    EXPECT_TRUE(GetTextExtentPoint32W(dc, text.data(), int(text.size()), &size));
    return size.cx;
}
inline TEXTMETRICW TextMetrics(HDC dc) {
    TEXTMETRICW tm{};
    EXPECT_TRUE(GetTextMetricsW(dc, &tm));
    return tm;
}

}  // namespace tam::test
