// Images through the whole print path: one page holding a full-page image,
// drawn with StretchDIBits on a printer device context of "Korvan Laser" at
// 600 dpi, through the engine and Tamrend.dll into the spooler. Two kinds:
// 24-bit colour (a smooth photograph-like gradient) and 1-bit (a checker of
// 8-pixel squares). Each runs with the source at a quarter, half and the
// whole of the page's size in each direction, and reports:
//   MB/s_in         source bytes handed to StretchDIBits per second
//   job_kB          the job's bytes
//   rss_growth_kB   the process's peak resident memory during one print
//                   less what it held before it
//   max_block_kB    the largest ReadImage block of the job: the band the
//                   image output keeps, which must not grow with the image
// The time of an iteration is the time of one page.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <windows.h>
#include <winspool.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bench_machine.h"
#include "jobdecode.h"
#include "machine/machine.h"
#include "machinesetup/machinesetup.h"
#include "ui/ui/devmode.h"
#include "winspool/jobs.h"

namespace {

using tam::setup::kKorvanLaser;

UiDevmode& g_defaults = tam::bench::PrinterSettings();
using tam::bench::ResetPeakResident;
using tam::bench::StatusKilobytes;

// A top-down DIB of `width` x `height`: 24-bit gradient or 1-bit checker.
struct Dib {
    std::vector<BYTE> header;  // BITMAPINFO with its colour table
    std::vector<BYTE> bits;
    BITMAPINFO* info() { return reinterpret_cast<BITMAPINFO*>(header.data()); }
};

Dib MakeDib(LONG width, LONG height, int bitCount) {
    Dib dib;
    dib.header.assign(sizeof(BITMAPINFOHEADER) + 2 * sizeof(RGBQUAD), 0);
    BITMAPINFOHEADER& h = dib.info()->bmiHeader;
    h.biSize = sizeof(BITMAPINFOHEADER);
    h.biWidth = width;
    h.biHeight = -height;
    h.biPlanes = 1;
    h.biBitCount = WORD(bitCount);
    h.biCompression = BI_RGB;
    const size_t stride = (size_t(width) * bitCount + 31) / 32 * 4;
    dib.bits.assign(stride * size_t(height), 0);
    if (bitCount == 1) {
        dib.info()->bmiColors[1] = RGBQUAD{255, 255, 255, 0};
        for (LONG y = 0; y < height; ++y)
            for (size_t k = 0; k < stride; ++k) dib.bits[size_t(y) * stride + k] = ((y / 8) % 2) ? 0xFF : 0x00;
    } else {
        for (LONG y = 0; y < height; ++y) {
            BYTE* row = dib.bits.data() + size_t(y) * stride;
            for (LONG x = 0; x < width; ++x) {
                row[3 * x] = BYTE(255 * x / width);
                row[3 * x + 1] = BYTE(255 * y / height);
                row[3 * x + 2] = BYTE((x + y) & 0xFF);
            }
        }
    }
    return dib;
}

DWORD PrintImagePage(HDC dc, Dib& dib, LONG width, LONG height) {
    DOCINFOW doc{};
    doc.cbSize = sizeof(doc);
    doc.lpszDocName = u"Image benchmark";
    const int job = StartDocW(dc, &doc);
    if (job <= 0 || StartPage(dc) <= 0) return 0;
    const int pageWidth = GetDeviceCaps(dc, HORZRES), pageHeight = GetDeviceCaps(dc, VERTRES);
    if (StretchDIBits(dc, 0, 0, pageWidth, pageHeight, 0, 0, width, height, dib.bits.data(), dib.info(),
                      DIB_RGB_COLORS, SRCCOPY) == 0)
        return 0;
    if (EndPage(dc) <= 0) return 0;
    return EndDoc(dc) > 0 ? DWORD(job) : 0;
}

void ImageBenchmark(benchmark::State& state, int bitCount) {
    HDC dc = CreateDCW(u"WINSPOOL", kKorvanLaser, nullptr, &g_defaults.pub);
    if (!dc) {
        state.SkipWithError("CreateDC failed");
        return;
    }
    const LONG width = LONG(GetDeviceCaps(dc, HORZRES) * state.range(0) / 4);
    const LONG height = LONG(GetDeviceCaps(dc, VERTRES) * state.range(0) / 4);
    Dib dib = MakeDib(width, height, bitCount);
    DWORD jobId = 0;
    for (auto _ : state) {
        jobId = PrintImagePage(dc, dib, width, height);
        if (!jobId) {
            state.SkipWithError("the page failed");
            break;
        }
        state.PauseTiming();
        w32::ClearJobs();
        state.ResumeTiming();
    }
    if (jobId) {
        state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(dib.bits.size()));
        state.counters["MB/s_in"] = benchmark::Counter(double(dib.bits.size()) / 1e6,
                                                       benchmark::Counter::kIsIterationInvariantRate);
        const long before = StatusKilobytes("VmRSS");
        const bool reset = ResetPeakResident();
        jobId = PrintImagePage(dc, dib, width, height);
        if (reset) state.counters["rss_growth_kB"] = double(StatusKilobytes("VmHWM") - before);
        const auto bytes = w32::ReadJobBytes(jobId);
        if (bytes) {
            state.counters["job_kB"] = double(bytes->size()) / 1024.0;
            size_t largest = 0;
            tam::job::DecodeOptions options;
            options.rowBudget = 0;
            options.keepOperators = false;
            options.onOperator = [&](const tam::job::Operator& op) {
                if (op.name == "ReadImage") largest = std::max(largest, op.data.size());
            };
            tam::job::DecodeJob(*bytes, options);
            state.counters["max_block_kB"] = double(largest) / 1024.0;
        }
        w32::ClearJobs();
    }
    DeleteDC(dc);
}

}  // namespace

// The source's size in quarters of the page's, in each direction.
BENCHMARK_CAPTURE(ImageBenchmark, Colour24, 24)->Arg(1)->Arg(2)->Arg(4)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(ImageBenchmark, Mono1, 1)->Arg(1)->Arg(2)->Arg(4)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char** argv) {
    w32::MachineSettings machineSettings;
    machineSettings.country = 49;  // an A4 country
    return tam::bench::RunOnMachine(argc, argv, "bench_tamrend_image", machineSettings);
}
