// A memory DC over a 32-bpp top-down DIB section whose bits the test reads
// directly: pixel (x, y) is the DWORD at bits[y * width + x], 0x00RRGGBB.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>

#include "support/dib_canvas.h"
#include "support/machine_fixture.h"

namespace tam::test {

// Every pixel of the rectangle [left, right) x [top, bottom).
inline PixelSet RectPixels(LONG left, LONG top, LONG right, LONG bottom) {
    PixelSet set;
    for (LONG y = top; y < bottom; ++y)
        for (LONG x = left; x < right; ++x) set.insert({x, y});
    return set;
}

class MemoryDCTest : public MachineTest {
protected:
    void SetUp() override {
        MachineTest::SetUp();
        dc_ = MakeSurface(kWidth, kHeight, bits_, bitmap_);
        Clear(RGB(255, 255, 255));
    }

    void TearDown() override {
        DeleteDC(dc_);
        DeleteObject(bitmap_);
        MachineTest::TearDown();
    }

    // A white memory DC of the size over its own DIB section.
    static HDC MakeSurface(LONG width, LONG height, DWORD*& bits, HBITMAP& bitmap) {
        return MakeDibCanvas(width, height, bits, bitmap);
    }

    void Clear(COLORREF color) {
        for (LONG i = 0; i < kWidth * kHeight; ++i) bits_[i] = DibPixel(color);
    }
    // The colour of a pixel; the fourth byte of a BI_RGB pixel means nothing
    // (inverting flips it too).
    DWORD Pixel(LONG x, LONG y) const { return bits_[y * kWidth + x] & 0xffffff; }
    // The pixels that are not white.
    PixelSet Drawn() const {
        PixelSet set;
        for (LONG y = 0; y < kHeight; ++y)
            for (LONG x = 0; x < kWidth; ++x)
                if (Pixel(x, y) != DibPixel(RGB(255, 255, 255))) set.insert({x, y});
        return set;
    }
    PixelSet PixelsOf(COLORREF color) const {
        PixelSet set;
        for (LONG y = 0; y < kHeight; ++y)
            for (LONG x = 0; x < kWidth; ++x)
                if (Pixel(x, y) == DibPixel(color)) set.insert({x, y});
        return set;
    }

    // Selects a solid pen and brush (a null one for CLR_INVALID), kept
    // until the test ends.
    void UsePen(COLORREF color, int width = 0, int style = PS_SOLID) {
        HGDIOBJ pen = color == CLR_INVALID ? GetStockObject(NULL_PEN) : CreatePen(style, width, color);
        DeleteObject(SelectObject(dc_, pen));
    }
    void UseBrush(COLORREF color) {
        HGDIOBJ brush = color == CLR_INVALID ? GetStockObject(NULL_BRUSH) : CreateSolidBrush(color);
        DeleteObject(SelectObject(dc_, brush));
    }

    static constexpr LONG kWidth = 32;
    static constexpr LONG kHeight = 24;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    DWORD* bits_ = nullptr;
};

}  // namespace tam::test
