// The Eng drawing services a driver calls on engine bitmaps (EngBitBlt,
// EngFillPath, EngStretchBlt, EngEraseSurface) and the engine's cosmetic
// line fall-back, checked pixel by pixel against what the call means: the
// ROP3 truth table bit by bit, the rectangles a clip path holds, nearest
// source pixels of an exact scale, and the dash and gap lengths of a style.
#include <gtest/gtest.h>

#include <functional>
#include <random>

#include "win32k/ddiobj.h"
#include "win32k/drawing.h"

namespace {

// A 24-bit engine bitmap read and written as whole pixels (3 bytes, low first).
class EngineBitmap {
public:
    EngineBitmap(LONG width, LONG height) {
        handle_ = EngCreateBitmap(SIZEL{width, height}, 0, BMF_24BPP, BMF_TOPDOWN, nullptr);
        surface_ = w32::LookupSurface(reinterpret_cast<HSURF>(handle_));
    }
    ~EngineBitmap() { EngDeleteSurface(reinterpret_cast<HSURF>(handle_)); }

    SURFOBJ* so() const { return &surface_->so; }
    const std::shared_ptr<w32::EngineSurface>& surface() const { return surface_; }
    LONG width() const { return surface_->so.sizlBitmap.cx; }
    LONG height() const { return surface_->so.sizlBitmap.cy; }

    ULONG At(LONG x, LONG y) const {
        const BYTE* p = Row(y) + 3 * x;
        return p[0] | ULONG(p[1]) << 8 | ULONG(p[2]) << 16;
    }
    void Set(LONG x, LONG y, ULONG pixel) {
        BYTE* p = Row(y) + 3 * x;
        p[0] = BYTE(pixel), p[1] = BYTE(pixel >> 8), p[2] = BYTE(pixel >> 16);
    }
    void Fill(const std::function<ULONG(LONG, LONG)>& pixel) {
        for (LONG y = 0; y < height(); ++y)
            for (LONG x = 0; x < width(); ++x) Set(x, y, pixel(x, y));
    }

private:
    BYTE* Row(LONG y) const { return static_cast<BYTE*>(surface_->so.pvScan0) + y * surface_->so.lDelta; }
    HBITMAP handle_;
    std::shared_ptr<w32::EngineSurface> surface_;
};

bool InRect(const RECTL& r, LONG x, LONG y) { return x >= r.left && x < r.right && y >= r.top && y < r.bottom; }

// Each result bit of a ROP3 is the bit of the code at (pattern, source, destination) as an index.
ULONG Rop3(BYTE rop, ULONG pattern, ULONG source, ULONG destination) {
    ULONG out = 0;
    for (int bit = 0; bit < 24; ++bit) {
        const int index = ((pattern >> bit) & 1) << 2 | ((source >> bit) & 1) << 1 | ((destination >> bit) & 1);
        out |= ULONG((rop >> index) & 1) << bit;
    }
    return out;
}

class EngBitBltRops : public testing::TestWithParam<BYTE> {};

// Inside the target rectangle and the clip's two rectangles, every pixel is
// the ROP of pattern, source (read from its offset origin) and destination;
// everywhere else the destination is as it was.
TEST_P(EngBitBltRops, FollowTheTruthTableInsideTheClipOnly) {
    const BYTE rop = GetParam();
    std::mt19937 random(rop);
    EngineBitmap target(16, 12), source(16, 12);
    target.Fill([&](LONG, LONG) { return ULONG(random()) & 0xFFFFFF; });
    source.Fill([&](LONG, LONG) { return ULONG(random()) & 0xFFFFFF; });
    EngineBitmap before(16, 12);
    before.Fill([&](LONG x, LONG y) { return target.At(x, y); });

    const RECTL clipRects[] = {{2, 2, 6, 8}, {9, 3, 14, 6}};
    const RECTL to{1, 1, 12, 9};
    w32::EngineClip clip(w32::Region::FromRects(clipRects), to);
    ASSERT_EQ(clip.iDComplexity, ULONG(DC_COMPLEX));
    BRUSHOBJ brush{};
    brush.iSolidColor = 0x3C5AA5;
    RECTL rect = to;
    POINTL from{3, 2}, brushOrigin{0, 0};
    ASSERT_TRUE(EngBitBlt(target.so(), source.so(), nullptr, &clip, nullptr, &rect, &from, nullptr, &brush,
                          &brushOrigin, ROP4_FROM_ROP3(rop)));
    for (LONG y = 0; y < 12; ++y)
        for (LONG x = 0; x < 16; ++x) {
            const bool drawn = InRect(to, x, y) && (InRect(clipRects[0], x, y) || InRect(clipRects[1], x, y));
            const ULONG expected = drawn ? Rop3(rop, brush.iSolidColor, source.At(x - to.left + from.x,
                                                                                  y - to.top + from.y),
                                                before.At(x, y))
                                         : before.At(x, y);
            ASSERT_EQ(target.At(x, y), expected) << "rop " << int(rop) << " at " << x << "," << y;
        }
}

// Copy, invert, and, merge, pattern invert and two that read all three.
INSTANTIATE_TEST_SUITE_P(All, EngBitBltRops, testing::Values(0xCC, 0x66, 0x88, 0xBB, 0x5A, 0xE2, 0xB8));

// A path the engine made (a complex clip as a path) filled in ALTERNATE
// mode paints exactly the clip's rectangles.
TEST(EngFillPath, FillsTheRectanglesOfAClipPath) {
    EngineBitmap target(20, 16);
    RECTL whole{0, 0, 20, 16};
    ASSERT_TRUE(EngEraseSurface(target.so(), &whole, 0xFFFFFF));
    const RECTL rects[] = {{1, 2, 5, 7}, {8, 2, 12, 4}, {3, 10, 17, 15}};
    w32::EngineClip clip(w32::Region::FromRects(rects), whole);
    PATHOBJ* path = CLIPOBJ_ppoGetPath(&clip);
    ASSERT_NE(path, nullptr);
    BRUSHOBJ brush{};
    brush.iSolidColor = 0x123456;
    POINTL origin{0, 0};
    ASSERT_TRUE(EngFillPath(target.so(), path, nullptr, &brush, &origin, MIX_FROM_ROP2(R2_COPYPEN), FP_ALTERNATEMODE));
    EngDeletePath(path);
    for (LONG y = 0; y < 16; ++y)
        for (LONG x = 0; x < 20; ++x) {
            const bool inside = InRect(rects[0], x, y) || InRect(rects[1], x, y) || InRect(rects[2], x, y);
            ASSERT_EQ(target.At(x, y), inside ? 0x123456u : 0xFFFFFFu) << x << "," << y;
        }
}

// An exact scale of 3 makes each source pixel a 3x3 block; a destination
// rectangle given right to left mirrors the picture.
TEST(EngStretchBlt, ScalesByWholeBlocksAndMirrors) {
    EngineBitmap source(2, 2);
    const ULONG pixels[2][2] = {{0x111111, 0x222222}, {0x333333, 0x444444}};
    source.Fill([&](LONG x, LONG y) { return pixels[y][x]; });
    for (bool mirrored : {false, true}) {
        EngineBitmap target(8, 8);
        RECTL whole{0, 0, 8, 8};
        ASSERT_TRUE(EngEraseSurface(target.so(), &whole, 0xFFFFFF));
        RECTL to = mirrored ? RECTL{7, 1, 1, 7} : RECTL{1, 1, 7, 7}, read{0, 0, 2, 2};
        ASSERT_TRUE(EngStretchBlt(target.so(), source.so(), nullptr, nullptr, nullptr, nullptr, nullptr, &to, &read,
                                  nullptr, COLORONCOLOR));
        for (LONG y = 0; y < 8; ++y)
            for (LONG x = 0; x < 8; ++x) {
                ULONG expected = 0xFFFFFF;
                if (InRect(RECTL{1, 1, 7, 7}, x, y)) {
                    const LONG column = (x - 1) / 3;
                    expected = pixels[(y - 1) / 3][mirrored ? 1 - column : column];
                }
                ASSERT_EQ(target.At(x, y), expected) << mirrored << " at " << x << "," << y;
            }
    }
}

// The rectangle is cut to the surface; nothing outside it changes.
TEST(EngEraseSurface, PaintsTheRectangleCutToTheSurface) {
    EngineBitmap target(6, 4);
    target.Fill([](LONG x, LONG y) { return ULONG(x * 16 + y); });
    RECTL rect{4, -3, 9, 2};
    ASSERT_TRUE(EngEraseSurface(target.so(), &rect, 0xABCDEF));
    for (LONG y = 0; y < 4; ++y)
        for (LONG x = 0; x < 6; ++x)
            EXPECT_EQ(target.At(x, y), x >= 4 && y < 2 ? 0xABCDEFu : ULONG(x * 16 + y)) << x << "," << y;
    EXPECT_FALSE(EngEraseSurface(target.so(), nullptr, 0));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
}

// A dashed cosmetic line drawn by the engine: dashes of 18 pixels and gaps
// of 6 from its first point. In OPAQUE mode the gaps take the background
// colour; in TRANSPARENT mode they are left as they were.
TEST(EngineCosmeticLine, DashGapsArePaintedInTheBackgroundColourWhenOpaque) {
    for (int mode : {OPAQUE, TRANSPARENT}) {
        EngineBitmap target(64, 8);
        RECTL whole{0, 0, 64, 8};
        ASSERT_TRUE(EngEraseSurface(target.so(), &whole, 0xFFFFFF));
        w32::DrawContext dc;
        dc.target.surface = target.surface();
        dc.bkMode = mode;
        dc.bkColor = RGB(255, 0, 0);
        w32::EnginePen pen;
        pen.style = PS_DASH;
        pen.color = RGB(0, 0, 0);
        w32::DevicePath line;
        line.MoveTo(w32::PointFix(0, 3));
        line.LineTo(w32::PointFix(48, 3));
        ASSERT_TRUE(w32::DrawStrokePath(dc, line, pen)) << GetLastError();
        // Blue in the low byte: red is 0xFF0000.
        const ULONG gap = mode == OPAQUE ? 0xFF0000 : 0xFFFFFF;
        for (LONG x = 0; x < 64; ++x) {
            const ULONG expected = x >= 48 ? 0xFFFFFF : (x % 24) < 18 ? 0x000000 : gap;
            ASSERT_EQ(target.At(x, 3), expected) << mode << " at " << x;
            ASSERT_EQ(target.At(x, 2), 0xFFFFFFu);
        }
    }
}

}  // namespace
