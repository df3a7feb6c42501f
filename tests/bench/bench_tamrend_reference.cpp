// The reference document printed through the whole print path: N letter
// pages, each with a heading "Reference page K" in Arial 11 pt at (72 pt,
// 740 pt from the bottom of the page), 51 lines of "The quick brown fox
// jumps over the lazy dog 0123456789 abcdefghij" in Arial 11 pt from 720 pt
// down by 12 pt, 72 pt from the left, a rectangle from (100, 100) to
// (500, 300) pt filled with 80 % grey without an outline, and a circle
// centred at (300, 200) pt of radius 80 pt stroked in black 2 pt wide
// (points from the bottom-left corner, as a page description gives them).
// The document is drawn with GDI on a printer DC of "Korvan Laser" on a
// simulated machine made in a temporary folder, and Tamrend.dll writes the
// job into the spooler.
//
// Runs for 20 and 200 pages; the time a page costs is the difference of the
// two runs divided by 180. Reports:
//   s/page           the run's time per page (StartDoc to EndDoc)
//   job_B/page       the job's bytes per page
//   peak_rss_kB      the process's resident high-water mark after the run
//   rss_growth_kB    that high-water mark during one print less the
//                    resident size before it (flat in N when nothing grows
//                    with the document)
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <windows.h>
#include <winspool.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "bench_machine.h"
#include "machine/machine.h"
#include "machinesetup/machinesetup.h"
#include "ui/ui/devmode.h"
#include "win32k/engine.h"
#include "winspool/jobs.h"

namespace {

using tam::setup::kKorvanLaser;

UiDevmode& g_settings = tam::bench::PrinterSettings();
using tam::bench::ResetPeakResident;
using tam::bench::StatusKilobytes;

constexpr double kPageHeight = 792;  // letter, points
const char16_t kLine[] = u"The quick brown fox jumps over the lazy dog 0123456789 abcdefghij";

// A page point (from the bottom-left corner) in the DC's device pixels.
struct Frame {
    int dpiX = 600, dpiY = 600, offsetX = 0, offsetY = 0;
    int X(double points) const { return int(points * dpiX / 72.0 + 0.5) - offsetX; }
    int Y(double fromBottom) const { return int((kPageHeight - fromBottom) * dpiY / 72.0 + 0.5) - offsetY; }
    int Length(double points) const { return int(points * dpiX / 72.0 + 0.5); }
};

bool DrawPage(HDC dc, const Frame& f, HFONT font, HBRUSH grey, HPEN pen, int page) {
    SelectObject(dc, font);
    SetTextAlign(dc, TA_BASELINE | TA_LEFT);
    SetBkMode(dc, TRANSPARENT);
    const std::u16string heading = u"Reference page " + [page] {
        std::u16string digits;
        for (const char c : std::to_string(page)) digits.push_back(char16_t(c));
        return digits;
    }();
    bool ok = TextOutW(dc, f.X(72), f.Y(740), heading.c_str(), int(heading.size()));
    for (int line = 0; line < 51; ++line)
        ok = ok && TextOutW(dc, f.X(72), f.Y(720 - 12.0 * line), kLine, int(std::size(kLine) - 1));
    SelectObject(dc, GetStockObject(NULL_PEN));
    SelectObject(dc, grey);
    // The rectangle's right and bottom edges lie one pixel further out: GDI leaves them out.
    ok = ok && Rectangle(dc, f.X(100), f.Y(300), f.X(500) + 1, f.Y(100) + 1);
    SelectObject(dc, pen);
    SelectObject(dc, GetStockObject(NULL_BRUSH));
    ok = ok && Ellipse(dc, f.X(220), f.Y(280), f.X(380) + 1, f.Y(120) + 1);
    return ok;
}

DWORD PrintReference(HDC dc, int pages) {
    Frame f;
    f.dpiX = GetDeviceCaps(dc, LOGPIXELSX);
    f.dpiY = GetDeviceCaps(dc, LOGPIXELSY);
    f.offsetX = GetDeviceCaps(dc, PHYSICALOFFSETX);
    f.offsetY = GetDeviceCaps(dc, PHYSICALOFFSETY);
    LOGFONTW logFont{};
    logFont.lfHeight = -f.Length(11);
    logFont.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(logFont.lfFaceName, u"Arial", LF_FACESIZE);
    HFONT font = CreateFontIndirectW(&logFont);
    HBRUSH grey = CreateSolidBrush(RGB(51, 51, 51));  // 80 % grey: 20 % of white left
    HPEN pen = CreatePen(PS_SOLID, f.Length(2), RGB(0, 0, 0));
    DOCINFOW info{};
    info.cbSize = sizeof(info);
    info.lpszDocName = u"Reference document";
    DWORD job = 0;
    const int started = StartDocW(dc, &info);
    bool ok = started > 0 && font && grey && pen;
    for (int page = 1; ok && page <= pages; ++page)
        ok = StartPage(dc) > 0 && DrawPage(dc, f, font, grey, pen, page) && EndPage(dc) > 0;
    if (started > 0 && EndDoc(dc) > 0 && ok) job = DWORD(started);
    DeleteObject(font);
    DeleteObject(grey);
    DeleteObject(pen);
    return job;
}

void Reference(benchmark::State& state) {
    const int pages = int(state.range(0));
    HDC dc = CreateDCW(u"WINSPOOL", kKorvanLaser, nullptr, &g_settings.pub);
    if (!dc) {
        state.SkipWithError("CreateDC failed");
        return;
    }
    DWORD job = 0;
    for (auto _ : state) {
        job = PrintReference(dc, pages);
        if (!job) {
            state.SkipWithError("the document failed");
            break;
        }
        state.PauseTiming();
        w32::ClearJobs();
        state.ResumeTiming();
    }
    if (job) {
        state.counters["s/page"] = benchmark::Counter(double(pages),
                                                       benchmark::Counter::kIsIterationInvariantRate |
                                                           benchmark::Counter::kInvert);
        const long before = StatusKilobytes("VmRSS");
        const bool reset = ResetPeakResident();
        job = PrintReference(dc, pages);
        state.counters["rss_growth_kB"] = reset ? double(StatusKilobytes("VmHWM") - before) : -1.0;
        state.counters["peak_rss_kB"] = double(StatusKilobytes("VmHWM"));
        const auto bytes = job ? w32::ReadJobBytes(job) : std::nullopt;
        if (bytes) state.counters["job_B/page"] = double(bytes->size()) / pages;
        w32::ClearJobs();
    }
    DeleteDC(dc);
}

BENCHMARK(Reference)->Arg(20)->Arg(200)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    return tam::bench::RunOnMachine(argc, argv, "bench_tamrend_reference", w32::MachineSettings{}, [](UiDevmode& settings) {
        settings.pub.dmFields |= DM_PAPERSIZE;
        settings.pub.dmPaperSize = DMPAPER_LETTER;
    });
}
