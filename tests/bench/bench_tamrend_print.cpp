// Printing through the whole print path: a document printed with GDI on a
// printer device context of "Korvan Laser" on a simulated machine (made in
// a temporary folder), with Tamrend.dll writing the job into the spooler.
// Four settings: plain (one page a sheet, straight to the printer), 4-up
// (four pages a sheet), and two that keep their pages: 3 collated copies
// (the pages go to the driver's temporary spool file and are replayed
// three times at the end) and reverse order (replayed once, last page
// first).
//
// Each case runs for 100, 1,000, 10,000 and 100,000 pages, so that the time
// a page takes can be seen to stay the same however long the job is (the
// page table of the kept pages grows with it), and reports:
//   pages/s          document pages printed per second (StartDoc to EndDoc)
//   sheets           sheets in the job (BeginPage operators)
//   job_kB           the job's bytes in the spooler
//   rss_growth_kB    the process's peak resident memory during one print
//                    (its high-water mark, reset before the print) less
//                    what it held before it
//   global_blocks    the GlobalAlloc/LocalAlloc blocks live after the last
//                    page, less those live before the document (the
//                    driver's page table among them)
//   spool_kB         the driver's temporary spool file after the last page
//                    (the stored pages are on disk, not in memory)
// The memory figures come from one extra print after the timed ones.
//
// Neither GDI's drawing functions for printer device contexts nor the
// driver's drawing callbacks exist yet: each page is its frame (BeginPage
// with its media, the page transform, EndPage), so the figures are those
// of the job, page and spool-file machinery.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <windows.h>
#include <winspool.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "kernel32/memory.h"
#include "bench_machine.h"
#include "machine/machine.h"
#include "machinesetup/machinesetup.h"
#include "pcl6/intrface/privdevmode.h"
#include "ui/ui/devmode.h"
#include "win32k/engine.h"
#include "winspool/jobs.h"

namespace {

using tam::setup::kKorvanLaser;

UiDevmode& g_defaults = tam::bench::PrinterSettings();
using tam::bench::ResetPeakResident;
using tam::bench::StatusKilobytes;

enum class Mode { Plain, FourUp, Collated3, Reverse };

UiDevmode SettingsFor(Mode mode) {
    UiDevmode settings = g_defaults;
    switch (mode) {
    case Mode::Plain: break;
    case Mode::FourUp: settings.priv.MultipleUp = 4; break;
    case Mode::Collated3:
        settings.pub.dmFields |= DM_COPIES | DM_COLLATE;
        settings.pub.dmCopies = 3;
        settings.pub.dmCollate = DMCOLLATE_TRUE;
        break;
    case Mode::Reverse: settings.priv.OppositeSide = 1; break;
    }
    return settings;
}

// Prints `pages` pages; the job's id, 0 when the document failed.
// `beforeEnd`, when given, runs after the last page, before EndDoc.
DWORD PrintDocument(HDC dc, int pages, const std::function<void()>& beforeEnd = {}) {
    DOCINFOW info{};
    info.cbSize = sizeof(info);
    info.lpszDocName = u"Benchmark document";
    const int job = StartDocW(dc, &info);
    if (job <= 0) return 0;
    for (int page = 1; page <= pages; ++page)
        if (StartPage(dc) <= 0 || EndPage(dc) <= 0) return 0;
    if (beforeEnd) beforeEnd();
    return EndDoc(dc) > 0 ? DWORD(job) : 0;
}

// The size of the driver's spool file ("var*.tmp" in the machine's
// temporary folder), 0 when there is none.
std::uintmax_t SpoolFileBytes(const std::filesystem::path& tempFolder) {
    std::error_code ec;
    std::uintmax_t largest = 0;
    for (const auto& entry : std::filesystem::directory_iterator(tempFolder, ec)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind("var", 0) == 0 && entry.path().extension() == ".tmp") {
            const std::uintmax_t size = std::filesystem::file_size(entry.path(), ec);
            if (!ec && size > largest) largest = size;
        }
    }
    return largest;
}

struct MemoryPeak {
    long rssGrowthKb = -1;  // -1: the high-water mark could not be reset
    long globalBlocks = 0;
    std::uintmax_t spoolBytes = 0;
};

MemoryPeak MeasurePrint(HDC dc, int pages, const std::filesystem::path& tempFolder) {
    MemoryPeak peak;
    const long blocksBefore = long(w32::LiveGlobalBlocks());
    const long rssBefore = StatusKilobytes("VmRSS");
    const bool peakReset = ResetPeakResident();
    PrintDocument(dc, pages, [&] {
        peak.globalBlocks = long(w32::LiveGlobalBlocks()) - blocksBefore;
        peak.spoolBytes = SpoolFileBytes(tempFolder);
    });
    if (peakReset) peak.rssGrowthKb = StatusKilobytes("VmHWM") - rssBefore;
    return peak;
}

std::filesystem::path MachineTempFolder() {
    WCHAR folder[MAX_PATH];
    const DWORD length = GetTempPathW(MAX_PATH, folder);
    if (length == 0 || length >= MAX_PATH) return {};
    return tam::setup::MachineHostPath(w32::Machine::Current(), folder);
}

void PrintBenchmark(benchmark::State& state, Mode mode) {
    const int pages = int(state.range(0));
    const UiDevmode settings = SettingsFor(mode);
    HDC dc = CreateDCW(u"WINSPOOL", kKorvanLaser, nullptr, &settings.pub);
    if (!dc) {
        state.SkipWithError("CreateDC failed");
        return;
    }
    DWORD lastJob = 0;
    for (auto _ : state) {
        lastJob = PrintDocument(dc, pages);
        if (!lastJob) {
            state.SkipWithError("the document failed");
            break;
        }
        state.PauseTiming();
        w32::ClearJobs();
        w32::ClearDdiCallLog();
        state.ResumeTiming();
    }
    if (lastJob) {
        state.counters["pages/s"] = benchmark::Counter(double(pages), benchmark::Counter::kIsIterationInvariantRate);
        const std::filesystem::path tempFolder = MachineTempFolder();
        const MemoryPeak peak = MeasurePrint(dc, pages, tempFolder);
        const auto jobs = w32::ListJobs(kKorvanLaser);
        if (!jobs.empty()) {
            const auto bytes = w32::ReadJobBytes(jobs.back().id);
            if (bytes) {
                size_t sheets = 0;
                // BeginPage (0x43) directly after the MediaSize attribute id (F8 25).
                for (size_t i = 2; i < bytes->size(); ++i)
                    if ((*bytes)[i] == 0x43 && (*bytes)[i - 1] == 0x25 && (*bytes)[i - 2] == 0xF8) ++sheets;
                state.counters["sheets"] = double(sheets);
                state.counters["job_kB"] = double(bytes->size()) / 1024.0;
            }
        }
        state.counters["rss_growth_kB"] = double(peak.rssGrowthKb);
        state.counters["global_blocks"] = double(peak.globalBlocks);
        state.counters["spool_kB"] = double(peak.spoolBytes) / 1024.0;
        w32::ClearJobs();
        w32::ClearDdiCallLog();
    }
    DeleteDC(dc);
}

void Pages(benchmark::internal::Benchmark* b) {
    b->Arg(100)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();
}

BENCHMARK_CAPTURE(PrintBenchmark, Plain, Mode::Plain)->Apply(Pages);
BENCHMARK_CAPTURE(PrintBenchmark, FourUp, Mode::FourUp)->Apply(Pages);
BENCHMARK_CAPTURE(PrintBenchmark, Collated3, Mode::Collated3)->Apply(Pages);
BENCHMARK_CAPTURE(PrintBenchmark, Reverse, Mode::Reverse)->Apply(Pages);

}  // namespace

int main(int argc, char** argv) {
    w32::MachineSettings machineSettings;
    machineSettings.country = 49;  // an A4 country
    return tam::bench::RunOnMachine(argc, argv, "bench_tamrend_print", machineSettings);
}
