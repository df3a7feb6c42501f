// The layer's raster drawing against the library it is built on. A memory
// DC holds a 600-dpi A4 page (4960 x 7016 pixels, 32 bits a pixel, a DIB
// section), and each case draws the same shapes twice: once through GDI
// (PatBlt, LineTo, BitBlt on the memory DC: the handle lookups, DC state,
// clipping, ROP choice and the engine's fast paths), once with pixman
// straight on the same pixels (pixman_fill, pixman_blt). The ratio of the
// two times is GDI's overhead; it should stay within 2x.
//
//   Fill       100 x 100 solid rectangles, PATCOPY
//   HLines     horizontal and vertical one-pixel lines, 1000 pixels long
//   Blit       256 x 256 SRCCOPY copies from a second bitmap
//   Diagonal   diagonal one-pixel lines, 1000 pixels long (GDI only:
//              pixman has no aliased line drawing to compare with)
//
// Counters: items/s (shapes a second) and Mpixels/s.
#include <benchmark/benchmark.h>
#include <pixman.h>
#include <windows.h>

#include <cstdint>

namespace {

constexpr LONG kWidth = 4960;
constexpr LONG kHeight = 7016;

// A memory DC drawing into a top-down 32-bit DIB section, whose bits pixman
// sees as they are.
struct Canvas {
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ old = nullptr;
    uint32_t* bits = nullptr;

    Canvas(LONG width, LONG height) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        dc = CreateCompatibleDC(nullptr);
        void* pixels = nullptr;
        bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &pixels, nullptr, 0);
        bits = static_cast<uint32_t*>(pixels);
        old = SelectObject(dc, bitmap);
    }
    ~Canvas() {
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;
};

// The page.
struct Page : Canvas {
    Page() : Canvas(kWidth, kHeight) {}
};

constexpr int kStride = kWidth;  // in 32-bit words

void Report(benchmark::State& state, int64_t shapes, int64_t pixelsPerShape) {
    state.SetItemsProcessed(state.iterations() * shapes);
    state.counters["Mpixels/s"] = benchmark::Counter(double(state.iterations() * shapes * pixelsPerShape) / 1e6,
                                                     benchmark::Counter::kIsRate);
}

// Rectangles on a grid covering the page.
template <class Draw>
int64_t ForEachCell(LONG size, Draw draw) {
    int64_t count = 0;
    for (LONG y = 0; y + size <= kHeight; y += size + 7)
        for (LONG x = 0; x + size <= kWidth; x += size + 7, ++count) draw(x, y);
    return count;
}

void BM_Fill_Gdi(benchmark::State& state) {
    Page page;
    HBRUSH brush = CreateSolidBrush(RGB(200, 30, 60));
    HGDIOBJ old = SelectObject(page.dc, brush);
    int64_t count = 0;
    for (auto _ : state) count = ForEachCell(100, [&](LONG x, LONG y) { PatBlt(page.dc, x, y, 100, 100, PATCOPY); });
    Report(state, count, 100 * 100);
    SelectObject(page.dc, old);
    DeleteObject(brush);
}

void BM_Fill_Pixman(benchmark::State& state) {
    Page page;
    int64_t count = 0;
    for (auto _ : state)
        count = ForEachCell(100, [&](LONG x, LONG y) {
            pixman_fill(page.bits, kStride, 32, x, y, 100, 100, 0x00C81E3C);
        });
    Report(state, count, 100 * 100);
}

void BM_HLines_Gdi(benchmark::State& state) {
    Page page;
    HPEN pen = CreatePen(PS_SOLID, 0, RGB(0, 0, 255));
    HGDIOBJ old = SelectObject(page.dc, pen);
    int64_t count = 0;
    for (auto _ : state) {
        count = 0;
        for (LONG y = 0; y < kHeight; y += 9, ++count) {
            MoveToEx(page.dc, 0, y, nullptr);
            LineTo(page.dc, 1000, y);
        }
        for (LONG x = 0; x < kWidth; x += 9, ++count) {
            MoveToEx(page.dc, x, 0, nullptr);
            LineTo(page.dc, x, 1000);
        }
    }
    Report(state, count, 1000);
    SelectObject(page.dc, old);
    DeleteObject(pen);
}

void BM_HLines_Pixman(benchmark::State& state) {
    Page page;
    int64_t count = 0;
    for (auto _ : state) {
        count = 0;
        for (LONG y = 0; y < kHeight; y += 9, ++count) pixman_fill(page.bits, kStride, 32, 0, y, 1000, 1, 0x000000FF);
        for (LONG x = 0; x < kWidth; x += 9, ++count) pixman_fill(page.bits, kStride, 32, x, 0, 1, 1000, 0x000000FF);
    }
    Report(state, count, 1000);
}

void BM_Diagonal_Gdi(benchmark::State& state) {
    Page page;
    int64_t count = 0;
    for (auto _ : state) {
        count = 0;
        for (LONG y = 0; y + 1000 < kHeight; y += 9, ++count) {
            MoveToEx(page.dc, 0, y, nullptr);
            LineTo(page.dc, 1000, y + 1000);
        }
    }
    Report(state, count, 1000);
}

constexpr LONG kTile = 256;

// The source of the blits, filled with a scrambled picture.
struct Tile : Canvas {
    Tile() : Canvas(kTile, kTile) {
        for (LONG i = 0; bits && i < kTile * kTile; ++i) bits[i] = uint32_t(i * 2654435761u) & 0xFFFFFF;
    }
};

void BM_Blit_Gdi(benchmark::State& state) {
    Page page;
    Tile tile;
    int64_t count = 0;
    for (auto _ : state)
        count = ForEachCell(kTile, [&](LONG x, LONG y) { BitBlt(page.dc, x, y, kTile, kTile, tile.dc, 0, 0, SRCCOPY); });
    Report(state, count, kTile * kTile);
}

void BM_Blit_Pixman(benchmark::State& state) {
    Page page;
    Tile tile;
    int64_t count = 0;
    for (auto _ : state)
        count = ForEachCell(kTile, [&](LONG x, LONG y) {
            pixman_blt(reinterpret_cast<uint32_t*>(tile.bits), page.bits, kTile, kStride, 32, 32, 0, 0, x, y, kTile,
                       kTile);
        });
    Report(state, count, kTile * kTile);
}

}  // namespace

BENCHMARK(BM_Fill_Gdi)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Fill_Pixman)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HLines_Gdi)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HLines_Pixman)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Diagonal_Gdi)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Blit_Gdi)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Blit_Pixman)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
