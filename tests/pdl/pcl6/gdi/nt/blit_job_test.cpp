// Blits printed through GDI on "Korvan Laser", checked from the decoded
// job: what each raster operation paints (a rectangle with the brush it
// needs, or an image), with which raster operation and transfer modes; the
// blits the driver hands back to the engine reaching the job as the images
// of its DrvCopyBits; and what the blit callbacks decide about the source
// and destination rectangles: clamped origins, mirrored destinations, the
// two passes of a transparent blit.
#include <gtest/gtest.h>
#include <windows.h>
#include <winddi.h>

#include <algorithm>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "print_fixture.h"
#include "support/page_marks.h"
#include "win32k/engobj.h"

namespace tam::test {
namespace {

// A mark as a test expects it.
struct ExpectedMark {
    Mark::Kind kind;
    int64_t rop;
    int64_t sourceTx;
    int64_t paintTx;
    const char* brush;  // nullptr: not checked
    RECTL box;
};

std::string Describe(const Mark& m) {
    return std::string(m.kind == Mark::Kind::Image ? "image" : "rectangle") + " rop=" + std::to_string(m.rop) +
           " tx=" + std::to_string(m.sourceTx) + "/" + std::to_string(m.paintTx) + " pen=" + m.pen +
           " brush=" + m.brush + " box=" + std::to_string(m.left) + "," + std::to_string(m.top) + "," +
           std::to_string(m.right) + "," + std::to_string(m.bottom);
}

void ExpectMark(const Mark& got, const ExpectedMark& want) {
    SCOPED_TRACE(Describe(got));
    EXPECT_EQ(got.kind, want.kind);
    EXPECT_EQ(got.rop, want.rop);
    EXPECT_EQ(got.sourceTx, want.sourceTx);
    EXPECT_EQ(got.paintTx, want.paintTx);
    if (want.brush) {
        EXPECT_EQ(got.brush, want.brush);
    }
    if (want.kind == Mark::Kind::Rectangle) {
        EXPECT_EQ(got.pen, "null");
    }
    EXPECT_EQ(got.left, want.box.left);
    EXPECT_EQ(got.top, want.box.top);
    EXPECT_EQ(got.right, want.box.right);
    EXPECT_EQ(got.bottom, want.box.bottom);
}

// An engine bitmap of 24-bit pixels (blue in the low byte), top row first,
// filled by `pixel(x, y)` as 0xRRGGBB.
class EngineBitmap {
public:
    EngineBitmap(LONG width, LONG height, ULONG format, const std::function<ULONG(LONG, LONG)>& pixel) {
        handle_ = EngCreateBitmap(SIZEL{width, height}, 0, format, BMF_TOPDOWN, nullptr);
        so_ = EngLockSurface(reinterpret_cast<HSURF>(handle_));
        const LONG bytes = format == BMF_32BPP ? 4 : 3;
        for (LONG y = 0; y < height; ++y)
            for (LONG x = 0; x < width; ++x) {
                BYTE* at = static_cast<BYTE*>(so_->pvScan0) + y * so_->lDelta + x * bytes;
                const ULONG rgb = pixel(x, y);
                at[0] = BYTE(rgb);
                at[1] = BYTE(rgb >> 8);
                at[2] = BYTE(rgb >> 16);
                if (bytes == 4) at[3] = BYTE(rgb >> 24);
            }
    }
    ~EngineBitmap() {
        EngUnlockSurface(so_);
        EngDeleteSurface(reinterpret_cast<HSURF>(handle_));
    }
    SURFOBJ* so() const { return so_; }

private:
    HBITMAP handle_ = nullptr;
    SURFOBJ* so_ = nullptr;
};

class BlitJobTest : public PrintTest {
public:
    // A DC of the default settings with a document and its page open.
    HDC OpenPage() {
        HDC dc = Create(Settings());
        EXPECT_NE(dc, nullptr) << GetLastError();
        if (!dc) return nullptr;
        jobId_ = StartDocument(dc);
        EXPECT_NE(jobId_, 0u);
        EXPECT_GT(StartPage(dc), 0) << GetLastError();
        return dc;
    }

    // Ends the page and the document; the job decoded.
    job::DecodedJob Finish(HDC dc) {
        EXPECT_GT(EndPage(dc), 0) << GetLastError();
        EXPECT_GT(EndDoc(dc), 0) << GetLastError();
        return Decode(jobId_);
    }

    // A driver callback, called the way the engine calls it (under its lock).
    template <class F>
    static F Callback(HDC dc, ULONG index) {
        w32::PrinterDevice* device = w32::EngineDeviceOfDC(dc);
        return device ? device->driver->Callback<F>(index) : nullptr;
    }
    static SURFOBJ* DeviceSurface(HDC dc) {
        w32::PrinterDevice* device = w32::EngineDeviceOfDC(dc);
        return device ? device->SurfaceObject() : nullptr;
    }

    // A memory DC holding a 24-bit bitmap of `width` x `height` filled with
    // `color`; deleted with the test.
    HDC MemoryDc(int width, int height, COLORREF color, int bits = 24) {
        // The header and a grey colour table of 256 entries for the indexed formats.
        struct {
            BITMAPINFOHEADER header;
            RGBQUAD colors[256];
        } info{};
        info.header.biSize = sizeof(BITMAPINFOHEADER);
        info.header.biWidth = width;
        info.header.biHeight = -height;
        info.header.biPlanes = 1;
        info.header.biBitCount = WORD(bits);
        info.header.biCompression = BI_RGB;
        for (int i = 0; i < 256; ++i) info.colors[i] = RGBQUAD{BYTE(i), BYTE(i), BYTE(i), 0};
        void* pixels = nullptr;
        HDC memory = CreateCompatibleDC(nullptr);
        HBITMAP bitmap = CreateDIBSection(memory, reinterpret_cast<const BITMAPINFO*>(&info), DIB_RGB_COLORS,
                                          &pixels, nullptr, 0);
        EXPECT_NE(bitmap, nullptr);
        SelectObject(memory, bitmap);
        HBRUSH brush = CreateSolidBrush(color);
        RECT all{0, 0, width, height};
        FillRect(memory, &all, brush);
        DeleteObject(brush);
        memoryDcs_.push_back({memory, bitmap});
        return memory;
    }

    void TearDown() override {
        for (auto& [memory, bitmap] : memoryDcs_) {
            DeleteDC(memory);
            DeleteObject(bitmap);
        }
        PrintTest::TearDown();
    }

    DWORD jobId_ = 0;
    std::vector<std::pair<HDC, HBITMAP>> memoryDcs_;
};

// ---- The raster operations of DrvBitBlt ---------------------------------------------

struct RopCase {
    const char* name;
    std::function<BOOL(BlitJobTest&, HDC)> draw;
    std::vector<std::string> calls;  // the driver callbacks the page sees
    std::vector<ExpectedMark> marks;
};

// A solid black brush the driver gets straight from the caller, as the
// engine passes a brush it needs no realisation for.
BRUSHOBJ BlackBrush() {
    BRUSHOBJ brush{};
    brush.iSolidColor = 0;
    return brush;
}

std::vector<RopCase> RopCases() {
    const RECTL box{100, 100, 300, 200};
    using K = Mark::Kind;
    return {
        // The destination alone, and no brush: nothing.
        {"AAAA", [](BlitJobTest&, HDC dc) { return PatBlt(dc, 100, 100, 200, 100, 0x00AA0029); }, {"DrvBitBlt"}, {}},
        {"FFFF", [](BlitJobTest&, HDC dc) { return PatBlt(dc, 100, 100, 200, 100, WHITENESS); },
         {"DrvBitBlt"}, {{K::Rectangle, 0xFF, 0, 0, "grey 255", box}}},
        {"0000", [](BlitJobTest&, HDC dc) { return PatBlt(dc, 100, 100, 200, 100, BLACKNESS); },
         {"DrvBitBlt"}, {{K::Rectangle, 0x00, 0, 0, "grey 0", box}}},
        {"5555", [](BlitJobTest&, HDC dc) { return PatBlt(dc, 100, 100, 200, 100, DSTINVERT); },
         {"DrvBitBlt"}, {{K::Rectangle, 0x55, 0, 0, "grey 0", box}}},
        {"F0F0Hatch",
         [](BlitJobTest&, HDC dc) {
             HBRUSH hatch = CreateHatchBrush(HS_CROSS, RGB(0, 0, 0));
             HGDIOBJ old = SelectObject(dc, hatch);
             const BOOL done = PatBlt(dc, 100, 100, 200, 100, PATCOPY);
             SelectObject(dc, old);
             DeleteObject(hatch);
             return done;
         },
         {"DrvBitBlt"}, {{K::Rectangle, 0xF0, 0, 0, "pattern 8", box}}},
        // The pattern where a mask is set: its gaps are transparent.
        {"AAF0",
         [](BlitJobTest&, HDC dc) {
             std::lock_guard lock(w32::EngineLock());
             auto bitBlt = BlitJobTest::Callback<PFN_DrvBitBlt>(dc, INDEX_DrvBitBlt);
             RECTL target = {100, 100, 300, 200};
             BRUSHOBJ brush = BlackBrush();
             POINTL origin{0, 0};
             return bitBlt(BlitJobTest::DeviceSurface(dc), nullptr, nullptr, nullptr, nullptr, &target, nullptr, nullptr, &brush,
                           &origin, 0xAAF0);
         },
         {}, {{K::Rectangle, 0xF0, 1, 1, "grey 0", box}}},
        {"CCCC",
         [](BlitJobTest& test, HDC dc) {
             return BitBlt(dc, 100, 100, 200, 100, test.MemoryDc(200, 100, RGB(0, 0, 0)), 0, 0, SRCCOPY);
         },
         {"DrvBitBlt"}, {{K::Image, 0xCC, 0, 0, nullptr, box}}},
        // A mask: only the engine's blit, which reaches the page as a copy.
        {"Masked",
         [](BlitJobTest& test, HDC dc) {
             HBITMAP mask = CreateBitmap(200, 100, 1, 1, nullptr);
             const BOOL done =
                 MaskBlt(dc, 100, 100, 200, 100, test.MemoryDc(200, 100, RGB(0, 0, 0)), 0, 0, mask, 0, 0,
                         MAKEROP4(SRCCOPY, 0x00AA0029));
             DeleteObject(mask);
             return done;
         },
         // The engine logs a callback when it returns: the copies it made come first.
         {"DrvCopyBits", "DrvCopyBits", "DrvBitBlt"}, {{K::Image, 0xCC, 0, 0, nullptr, box}}},
    };
}

class BlitRops : public BlitJobTest, public testing::WithParamInterface<RopCase> {};

TEST_P(BlitRops, PaintWhatTheOperationNeeds) {
    const RopCase& c = GetParam();
    HDC dc = OpenPage();
    ASSERT_NE(dc, nullptr);
    // An image first, so that every operation after it is written.
    ASSERT_TRUE(BitBlt(dc, 0, 0, 8, 8, MemoryDc(8, 8, RGB(0, 0, 0)), 0, 0, SRCCOPY));
    w32::ClearDdiCallLog();
    EXPECT_TRUE(c.draw(*this, dc)) << GetLastError();
    std::vector<std::string> calls;
    for (const std::string& name : EngineCalls())
        if (name != "DrvRealizeBrush") calls.push_back(name);
    EXPECT_EQ(calls, c.calls);

    const job::DecodedJob decoded = Finish(dc);
    std::vector<Mark> marks = Marks(decoded);
    ASSERT_FALSE(marks.empty());
    marks.erase(marks.begin());
    ASSERT_EQ(marks.size(), c.marks.size());
    for (size_t i = 0; i < marks.size(); ++i) ExpectMark(marks[i], c.marks[i]);
}
INSTANTIATE_TEST_SUITE_P(All, BlitRops, testing::ValuesIn(RopCases()),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- What the callbacks decide about the rectangles ------------------------------

// A source origin of (-10, 0) over 100 columns of a 1:1 blit: the 90
// columns from column 0, drawn where they belong, 10 pixels in.
TEST_F(BlitJobTest, NegativeOriginDrawsTheColumnsThatExistWhereTheyBelong) {
    HDC dc = OpenPage();
    ASSERT_NE(dc, nullptr);
    EngineBitmap source(100, 50, BMF_24BPP, [](LONG x, LONG) { return x < 45 ? 0x000000u : 0xFFFFFFu; });
    {
        std::lock_guard lock(w32::EngineLock());
        auto bitBlt = Callback<PFN_DrvBitBlt>(dc, INDEX_DrvBitBlt);
        RECTL target{500, 500, 600, 550};
        POINTL from{-10, 0};
        ASSERT_TRUE(bitBlt(DeviceSurface(dc), source.so(), nullptr, nullptr, nullptr, &target, &from, nullptr, nullptr,
                           nullptr, 0xCCCC));
    }
    const job::DecodedJob decoded = Finish(dc);
    const std::vector<Mark> marks = Marks(decoded);
    ASSERT_EQ(marks.size(), 1u);
    ExpectMark(marks[0], {Mark::Kind::Image, 0xCC, 0, 0, nullptr, {510, 500, 600, 550}});
    ASSERT_NE(marks[0].raster, nullptr);
    EXPECT_EQ(marks[0].raster->width, 90u);
    EXPECT_EQ(marks[0].raster->height, 50u);
}

// A destination whose left lies right of its right is drawn mirrored: the
// source's dark left half lands on the right.
TEST_F(BlitJobTest, MirroredDestinationReversesTheColumns) {
    HDC dc = OpenPage();
    ASSERT_NE(dc, nullptr);
    EngineBitmap source(100, 10, BMF_24BPP, [](LONG x, LONG) { return x < 50 ? 0x000000u : 0xFFFFFFu; });
    {
        std::lock_guard lock(w32::EngineLock());
        auto stretch = Callback<PFN_DrvStretchBlt>(dc, INDEX_DrvStretchBlt);
        RECTL to{600, 500, 500, 510}, from{0, 0, 100, 10};
        ASSERT_TRUE(stretch(DeviceSurface(dc), source.so(), nullptr, nullptr, nullptr, nullptr, nullptr, &to, &from,
                            nullptr, COLORONCOLOR));
    }
    const job::DecodedJob decoded = Finish(dc);
    const std::vector<Mark> marks = Marks(decoded);
    ASSERT_EQ(marks.size(), 1u);
    ExpectMark(marks[0], {Mark::Kind::Image, 0xCC, 0, 0, nullptr, {500, 500, 600, 510}});
    const job::Raster* raster = marks[0].raster;
    ASSERT_NE(raster, nullptr);
    ASSERT_GT(raster->width, 1u);
    EXPECT_GT(raster->Pixel(0, 0), raster->Pixel(raster->width - 1, 0));
}

// A transparent blit of 24 or 32 bits: first the mask (opaque pixels set,
// drawn black and white under 0xEE), then the copy with the transparent
// pixels white, under 0x88. Only the 24 colour bits of a 32-bit pixel count.
TEST_F(BlitJobTest, TransparentBlitIsAWhiteningMaskAndTheColoursOverIt) {
    for (ULONG format : {ULONG(BMF_24BPP), ULONG(BMF_32BPP)}) {
        SCOPED_TRACE(format);
        HDC dc = OpenPage();
        ASSERT_NE(dc, nullptr);
        // {transparent green (with a stray high byte in 32 bits), black}.
        EngineBitmap source(2, 1, format, [](LONG x, LONG) { return x == 0 ? 0xFF00FF00u : 0x000000u; });
        {
            std::lock_guard lock(w32::EngineLock());
            auto transparent = Callback<PFN_DrvTransparentBlt>(dc, INDEX_DrvTransparentBlt);
            RECTL to{200, 200, 202, 201}, from{0, 0, 2, 1};
            ASSERT_TRUE(transparent(DeviceSurface(dc), source.so(), nullptr, nullptr, &to, &from, 0x00FF00, 0));
        }
        const job::DecodedJob decoded = Finish(dc);
        const std::vector<Mark> marks = Marks(decoded);
        ASSERT_EQ(marks.size(), 2u);
        ExpectMark(marks[0], {Mark::Kind::Image, 0xEE, 0, 0, nullptr, {200, 200, 202, 201}});
        ExpectMark(marks[1], {Mark::Kind::Image, 0x88, 0, 0, nullptr, {200, 200, 202, 201}});
        ASSERT_NE(marks[0].raster, nullptr);
        ASSERT_NE(marks[1].raster, nullptr);
        const job::Raster& mask = *marks[0].raster;
        EXPECT_EQ(mask.bitsPerPixel, 1u);
        EXPECT_EQ(mask.palette, (std::vector<uint8_t>{0, 255}));
        EXPECT_EQ(mask.Pixel(0, 0), 0u);
        EXPECT_EQ(mask.Pixel(1, 0), 1u);
        const job::Raster& copy = *marks[1].raster;
        EXPECT_EQ(copy.Pixel(0, 0) & 0xFF, 255u);  // white: leaves the page
        EXPECT_EQ(copy.Pixel(1, 0) & 0xFF, 0u);    // black on the whitened pixel
    }
}

// Calls the engine draws: their answer is the engine's, and a transparent
// blit or a gradient on no sound PDEV or with no page open draws nothing.
TEST_F(BlitJobTest, HandedBackCallsAnswerWhatTheEngineDid) {
    HDC dc = OpenPage();
    ASSERT_NE(dc, nullptr);
    EngineBitmap source(4, 4, BMF_24BPP, [](LONG, LONG) { return 0u; });
    {
        std::lock_guard lock(w32::EngineLock());
        // A colour adjustment with a stretch mode the engine refuses.
        auto stretch = Callback<PFN_DrvStretchBlt>(dc, INDEX_DrvStretchBlt);
        COLORADJUSTMENT adjustment{};
        adjustment.caSize = sizeof(adjustment);
        RECTL to{0, 0, 8, 8}, from{0, 0, 4, 4};
        EXPECT_FALSE(stretch(DeviceSurface(dc), source.so(), nullptr, nullptr, nullptr, &adjustment, nullptr, &to,
                             &from, nullptr, 0));
        // A gradient whose mesh names a vertex that does not exist.
        auto gradient = Callback<PFN_DrvGradientFill>(dc, INDEX_DrvGradientFill);
        TRIVERTEX corners[2] = {{10, 10, 0, 0, 0, 0}, {20, 20, 0, 0, 0, 0}};
        GRADIENT_RECT mesh{0, 5};
        RECTL extents{10, 10, 20, 20};
        EXPECT_FALSE(gradient(DeviceSurface(dc), nullptr, nullptr, corners, 2, &mesh, 1, &extents, nullptr,
                              GRADIENT_FILL_RECT_H));
        // No PDEV of the driver's behind the surface.
        SURFOBJ stranger = *DeviceSurface(dc);
        int notAPdev = 0;
        stranger.dhpdev = reinterpret_cast<DHPDEV>(&notAPdev);
        auto transparent = Callback<PFN_DrvTransparentBlt>(dc, INDEX_DrvTransparentBlt);
        RECTL dest{0, 0, 4, 4}, read{0, 0, 4, 4};
        EXPECT_FALSE(transparent(&stranger, source.so(), nullptr, nullptr, &dest, &read, 0, 0));
        GRADIENT_RECT good{0, 1};
        EXPECT_FALSE(gradient(&stranger, nullptr, nullptr, corners, 2, &good, 1, &extents, nullptr,
                              GRADIENT_FILL_RECT_H));
    }
    EXPECT_GT(EndPage(dc), 0);
    {
        // Between pages: nothing may be drawn.
        std::lock_guard lock(w32::EngineLock());
        auto transparent = Callback<PFN_DrvTransparentBlt>(dc, INDEX_DrvTransparentBlt);
        RECTL dest{0, 0, 4, 4}, read{0, 0, 4, 4};
        EXPECT_FALSE(transparent(DeviceSurface(dc), source.so(), nullptr, nullptr, &dest, &read, 0, 0));
    }
    EXPECT_GT(EndDoc(dc), 0);
    EXPECT_TRUE(Marks(Decode(jobId_)).empty());
}

// ---- Calls the driver hands to the engine ---------------------------------------

// Drawn through GDI, each reaches the job as the image of the driver's own
// DrvCopyBits of the engine's bitmap; a triangle gradient's copy leaves the
// white around the triangle transparent.
struct PuntCase {
    const char* name;
    std::function<BOOL(BlitJobTest&, HDC)> draw;
    const char* callback;
    ExpectedMark mark;
};

std::vector<PuntCase> PuntCases() {
    using K = Mark::Kind;
    return {
        {"HalftoneStretch",
         [](BlitJobTest& test, HDC dc) {
             SetStretchBltMode(dc, HALFTONE);
             return StretchBlt(dc, 100, 100, 100, 100, test.MemoryDc(50, 50, RGB(0, 0, 0)), 0, 0, 50, 50, SRCCOPY);
         },
         "DrvStretchBlt", {K::Image, 0xCC, 0, 0, nullptr, {100, 100, 200, 200}}},
        {"EightBitTransparent",
         [](BlitJobTest& test, HDC dc) {
             return TransparentBlt(dc, 100, 100, 100, 100, test.MemoryDc(100, 100, RGB(0, 0, 0), 8), 0, 0, 100, 100,
                                   RGB(255, 255, 255));
         },
         "DrvTransparentBlt", {K::Image, 0xCC, 0, 0, nullptr, {100, 100, 200, 200}}},
        {"RectangleGradient",
         [](BlitJobTest&, HDC dc) {
             TRIVERTEX corners[2] = {{100, 100, 0, 0, 0, 0}, {200, 200, 0xFF00, 0xFF00, 0xFF00, 0}};
             GRADIENT_RECT mesh{0, 1};
             return GradientFill(dc, corners, 2, &mesh, 1, GRADIENT_FILL_RECT_H);
         },
         "DrvGradientFill", {K::Image, 0xCC, 0, 0, nullptr, {100, 100, 200, 200}}},
        {"TriangleGradient",
         [](BlitJobTest&, HDC dc) {
             TRIVERTEX corners[3] = {{100, 100, 0, 0, 0, 0}, {200, 100, 0, 0, 0, 0}, {100, 200, 0, 0, 0, 0}};
             GRADIENT_TRIANGLE mesh{0, 1, 2};
             return GradientFill(dc, corners, 3, &mesh, 1, GRADIENT_FILL_TRIANGLE);
         },
         "DrvGradientFill", {K::Image, 0xCC, 1, 0, nullptr, {100, 100, 201, 201}}},
    };
}

class PuntedBlits : public BlitJobTest, public testing::WithParamInterface<PuntCase> {};

TEST_P(PuntedBlits, ReachTheJobAsTheDriversCopy) {
    const PuntCase& c = GetParam();
    HDC dc = OpenPage();
    ASSERT_NE(dc, nullptr);
    w32::ClearDdiCallLog();
    ASSERT_TRUE(c.draw(*this, dc)) << GetLastError();
    EXPECT_EQ(EngineCalls(), (std::vector<std::string>{"DrvCopyBits", "DrvCopyBits", c.callback}));
    const std::vector<Mark> marks = Marks(Finish(dc));
    ASSERT_EQ(marks.size(), 1u);
    ExpectMark(marks[0], c.mark);
}
INSTANTIATE_TEST_SUITE_P(All, PuntedBlits, testing::ValuesIn(PuntCases()),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tam::test
