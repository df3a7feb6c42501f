// Coverage-guided fuzzer of the job decoder (libFuzzer). Not part of the
// regular build or of CTest; see CMakeLists.txt in this folder.
#include "jobdecode.h"

#include <cstdint>
#include <cstdlib>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    tam::job::DecodeOptions options;
    options.rowBudget = size_t(1) << 20;
    options.maxProblems = 200;
    const tam::job::DecodedJob job = tam::job::DecodeJob(std::span<const uint8_t>(data, size), options);
    for (const tam::job::Problem& p : job.problems) {
        if (p.offset > size) std::abort();
    }
    if (tam::job::FormatJob(job).empty()) std::abort();
    return 0;
}
