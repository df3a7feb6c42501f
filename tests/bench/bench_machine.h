// What the print-path benchmarks share: a simulated machine in a temporary
// folder with the driver package installed and the printer "Korvan Laser"
// added, the benchmarks run on it, and the process's resident memory.
#pragma once
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "machine/machine.h"
#include "machinesetup/machinesetup.h"
#include "ui/ui/devmode.h"

namespace tam::bench {

// A figure of /proc/self/status in kB ("VmRSS", "VmHWM"); -1 when missing.
inline long StatusKilobytes(const std::string& key) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(key + ":", 0) == 0) return std::strtol(line.c_str() + key.size() + 1, nullptr, 10);
    return -1;
}

// Resets the process's resident high-water mark to its resident size now.
inline bool ResetPeakResident() {
    std::ofstream clear("/proc/self/clear_refs");
    clear << "5";
    clear.flush();
    return bool(clear);
}

// The printer's settings: the user interface's defaults, which
// `adjust` may change before the printer is added with them.
inline UiDevmode& PrinterSettings() {
    static UiDevmode settings{};
    return settings;
}

// Makes the machine (`machineSettings`), runs the benchmarks asked on the
// command line and removes the machine; the program's exit code.
inline int RunOnMachine(int argc, char** argv, const char* program, const w32::MachineSettings& machineSettings,
                        const std::function<void(UiDevmode&)>& adjust = {}) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    std::filesystem::path folder;
    auto remove = [&] {
        w32::Machine::CloseCurrent();
        std::error_code ec;
        if (!folder.empty()) std::filesystem::remove_all(folder, ec);
    };
    bool ready = false;
    try {
        std::string pattern = (std::filesystem::temp_directory_path() / "tam-bench-XXXXXX").string();
        if (mkdtemp(pattern.data())) {
            folder = pattern;
            w32::Machine::Create(folder / "machine", machineSettings);
            UiDevmode& settings = PrinterSettings();
            if (SetDevmodeDefaults(&settings, tam::setup::kKorvanLaser, tam::setup::kKorvanLaser)) {
                if (adjust) adjust(settings);
                ready = tam::setup::InstallKorvanLaser(w32::Machine::Current(), &settings.pub) == ERROR_SUCCESS;
            }
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s: %s\n", program, e.what());
    }
    if (!ready) {
        std::fprintf(stderr, "%s: the machine with the driver could not be set up\n", program);
        remove();
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    remove();
    return 0;
}

}  // namespace tam::bench
