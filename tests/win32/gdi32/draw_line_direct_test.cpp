// Solid one-pixel lines drawn with R2_COPYPEN on a memory DC whose clip is
// one rectangle, or none, go straight into the bitmap; every other line
// goes through the engine's span list. Both ways must give the same
// pixels. Each case draws the same lines twice from the same background:
// with R2_COPYPEN (straight in), and with a mix that gives the pen's pixel
// on that background (R2_MERGEPEN on all zero bits, R2_MASKPEN on all one
// bits) and so takes the engine's way; the bits must come out equal, on
// bitmaps of every format, top-down and bottom-up, under clips inside,
// across and outside the surface, and under a world transform that puts
// the ends between pixels.
#include <windows.h>

#include <cstring>
#include <vector>

#include "support/machine_fixture.h"

namespace {

struct Format {
    const char* name;
    WORD bitCount;
    bool bottomUp;
};

void PrintTo(const Format& f, std::ostream* os) { *os << f.name; }

const Format kFormats[] = {
    {"1bpp", 1, false},  {"4bpp", 4, false},  {"8bpp", 8, false},          {"16bpp", 16, false},
    {"24bpp", 24, false}, {"32bpp", 32, false}, {"24bppBottomUp", 24, true}, {"32bppBottomUp", 32, true},
};

struct Clip {
    const char* name;
    bool set;    // false: no clip region
    RECT rect;   // device pixels; an empty one selects an empty region
    bool shows;  // some of the lines are inside it
};

constexpr LONG kWidth = 61, kHeight = 47;  // odd, so that scan lines end within a word

const Clip kClips[] = {
    {"None", false, {}, true},
    {"Inside", true, {10, 8, 40, 30}, true},
    {"AcrossTheEdges", true, {-5, 20, 30, 100}, true},
    {"OneColumn", true, {7, 0, 8, kHeight}, true},
    {"OutsideTheSurface", true, {kWidth + 2, 0, kWidth + 30, kHeight}, false},
    {"Empty", true, {0, 0, 0, 0}, false},
};

constexpr COLORREF kPen = RGB(200, 30, 60);

class DirectLines : public tam::test::MachineTest, public testing::WithParamInterface<Format> {
protected:
    void SetUp() override {
        MachineTest::SetUp();
        const Format& format = GetParam();
        std::vector<BYTE> storage(sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD));
        auto* info = reinterpret_cast<BITMAPINFO*>(storage.data());
        info->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info->bmiHeader.biWidth = kWidth;
        info->bmiHeader.biHeight = format.bottomUp ? kHeight : -kHeight;
        info->bmiHeader.biPlanes = 1;
        info->bmiHeader.biBitCount = format.bitCount;
        info->bmiHeader.biCompression = BI_RGB;
        if (format.bitCount <= 8) {
            // A table with the pen's colour far from the first and last entries.
            const int entries = 1 << format.bitCount;
            for (int i = 0; i < entries; ++i) {
                RGBQUAD& q = info->bmiColors[i];
                q.rgbRed = BYTE(i * 255 / (entries - 1));
                q.rgbGreen = BYTE((i * 97) & 0xFF);
                q.rgbBlue = BYTE(255 - i * 255 / (entries - 1));
            }
        }
        dc_ = CreateCompatibleDC(nullptr);
        void* bits = nullptr;
        bitmap_ = CreateDIBSection(dc_, info, DIB_RGB_COLORS, &bits, nullptr, 0);
        ASSERT_NE(bitmap_, nullptr);
        bits_ = static_cast<BYTE*>(bits);
        bytes_ = size_t((kWidth * format.bitCount + 31) / 32 * 4) * kHeight;
        SelectObject(dc_, bitmap_);
        pen_ = CreatePen(PS_SOLID, 0, kPen);
        SelectObject(dc_, pen_);
        SelectObject(dc_, GetStockObject(NULL_BRUSH));
    }

    void TearDown() override {
        DeleteDC(dc_);
        DeleteObject(bitmap_);
        DeleteObject(pen_);
        MachineTest::TearDown();
    }

    void UseClip(const Clip& clip) {
        if (!clip.set) {
            SelectClipRgn(dc_, nullptr);
            return;
        }
        HRGN region = CreateRectRgnIndirect(&clip.rect);
        SelectClipRgn(dc_, region);
        DeleteObject(region);
    }

    // Lines of every direction and slope, across the surface's edges and
    // outside it, one of no length, and open and closed figures of several
    // segments; then the same under a world transform.
    void DrawLines() {
        auto line = [&](int x0, int y0, int x1, int y1) {
            MoveToEx(dc_, x0, y0, nullptr);
            ASSERT_TRUE(LineTo(dc_, x1, y1));
        };
        line(-10, 5, 80, 5);    // across the surface
        line(50, 12, 3, 12);    // leftward
        line(7, -4, 7, 60);     // down, across the top and bottom
        line(20, 40, 20, 2);    // up
        line(0, 0, 46, 46);     // diagonal
        line(30, 46, 35, 0);    // steep
        line(60, 1, 0, 20);     // shallow, leftward
        line(-100, -100, -50, -20);  // outside
        line(9, 9, 9, 9);       // no length
        const POINT zigzag[] = {{2, 44}, {15, 33}, {15, 38}, {58, 38}, {58, 41}};
        ASSERT_TRUE(Polyline(dc_, zigzag, 5));
        const POINT quad[] = {{5, 40}, {55, 30}, {45, 2}, {12, 15}};
        ASSERT_TRUE(Polygon(dc_, quad, 4));
        ASSERT_TRUE(Rectangle(dc_, 2, 2, 58, 44));
        const POINT pairs[] = {{1, 30}, {60, 31}, {33, 0}, {34, 46}};
        const DWORD counts[] = {2, 2};
        ASSERT_TRUE(PolyPolyline(dc_, pairs, counts, 2));

        SetGraphicsMode(dc_, GM_ADVANCED);
        const XFORM turnless{1.3f, 0, 0, 0.7f, 0.4f, 0.55f};
        SetWorldTransform(dc_, &turnless);
        line(0, 3, 40, 3);
        line(11, 0, 11, 60);
        line(3, 50, 44, 4);
        line(40, 10, 1, 27);
        ModifyWorldTransform(dc_, nullptr, MWT_IDENTITY);
        SetGraphicsMode(dc_, GM_COMPATIBLE);
    }

    // The bits after the lines are drawn with `rop2` on a background of `fill` bytes.
    std::vector<BYTE> Draw(BYTE fill, int rop2) {
        std::memset(bits_, fill, bytes_);
        SetROP2(dc_, rop2);
        DrawLines();
        return std::vector<BYTE>(bits_, bits_ + bytes_);
    }

    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HPEN pen_ = nullptr;
    BYTE* bits_ = nullptr;
    size_t bytes_ = 0;
};

TEST_P(DirectLines, GiveTheSamePixelsAsTheEnginesSpans) {
    for (const Clip& clip : kClips) {
        SCOPED_TRACE(clip.name);
        UseClip(clip);
        bool shown = false;
        for (const BYTE fill : {BYTE(0x00), BYTE(0xFF)}) {
            SCOPED_TRACE(fill ? "on ones" : "on zeros");
            const std::vector<BYTE> direct = Draw(fill, R2_COPYPEN);
            const std::vector<BYTE> engine = Draw(fill, fill ? R2_MASKPEN : R2_MERGEPEN);
            EXPECT_EQ(direct, engine);
            shown = shown || direct != std::vector<BYTE>(bytes_, fill);
        }
        EXPECT_EQ(shown, clip.shows);
    }
}

INSTANTIATE_TEST_SUITE_P(Formats, DirectLines, testing::ValuesIn(kFormats),
                         [](const testing::TestParamInfo<Format>& info) { return std::string(info.param.name); });

}  // namespace
