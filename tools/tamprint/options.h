// The print tool's command line.
#pragma once
#include <optional>
#include <string>
#include <vector>

#include "settings.h"

namespace tamprint {

constexpr char kDefaultOutput[] = "tamprint.job";

struct Options {
    std::optional<std::string> document;  // a description file, "-" for standard input; none: the sample
    std::string output = kDefaultOutput;
    std::optional<std::string> machine;  // none: the default machine folder
    std::optional<int> samplePages;      // --pages
    Choices choices;
    bool dump = false;
    bool help = false;
};

// Parses the arguments after the program name. False with a message naming
// the option when they cannot be taken.
bool ParseOptions(const std::vector<std::string>& args, Options& options, std::string& error);

// The --help text.
std::string HelpText();

}  // namespace tamprint
