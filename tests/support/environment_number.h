// Numbers that tests take from the environment, so that a longer or another
// randomised series can be run by hand.
#pragma once
#include <cstdlib>

namespace tam::test {

// The whole number in the environment variable `name`, or `fallback` when
// the variable is unset, empty or not a whole number.
inline unsigned long EnvironmentNumber(const char* name, unsigned long fallback) {
    const char* value = std::getenv(name);
    if (!value || !*value) return fallback;
    char* end = nullptr;
    const unsigned long number = std::strtoul(value, &end, 10);
    return end && *end == 0 ? number : fallback;
}

}  // namespace tam::test
