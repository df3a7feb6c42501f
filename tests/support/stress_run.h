// The seed and length of a randomised stress run. Each stress test runs a
// fixed series by default; TAM_STRESS_SEED and TAM_STRESS_COUNT run another
// or a longer one by hand, for instance a million damaged DEVMODEs:
//
//   TAM_STRESS_COUNT=1000000 build/bin/test_pdl_tamrend --gtest_filter='TamrendStress.*'
//
// (run the program directly: CTest stops a test after two minutes).
#pragma once
#include <string>

#include "support/environment_number.h"

namespace tam::test {

struct StressRun {
    unsigned seed;
    int count;

    // Says which series a failure belongs to, so that it can be run again.
    std::string Describe() const { return "seed " + std::to_string(seed) + ", count " + std::to_string(count); }
};

// The run of a stress test whose own series is `seed` and `count`.
inline StressRun StressRunFromEnvironment(unsigned seed, int count) {
    StressRun run;
    run.seed = unsigned(EnvironmentNumber("TAM_STRESS_SEED", seed));
    run.count = int(EnvironmentNumber("TAM_STRESS_COUNT", unsigned(count)));
    if (run.count <= 0) run.count = count;
    return run;
}

}  // namespace tam::test
