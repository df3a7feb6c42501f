// The print tool's paper names are the driver's: each is the first word of
// the paper's name that the driver gives applications (DC_PAPERNAMES),
// lower-cased, with the driver's size (DC_PAPERSIZE).
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "machine/machine.h"
#include "machine/unicode.h"
#include "tamprint_fixture.h"

namespace tam::test {
namespace {

using TamprintPapers = TamprintTest;

struct DriverPaper {
    std::u16string name;
    WORD code;
    POINT size;
};

// The papers the driver of the tool's machine gives applications.
std::vector<DriverPaper> AskTheDriver(const std::filesystem::path& machineFolder) {
    std::vector<DriverPaper> papers;
    w32::Machine::Open(machineFolder);
    const int count = DeviceCapabilitiesW(u"Korvan Laser", nullptr, DC_PAPERS, nullptr, nullptr);
    EXPECT_EQ(count, 28);
    if (count > 0) {
        std::vector<WORD> codes(static_cast<size_t>(count));
        std::vector<WCHAR> names(static_cast<size_t>(count) * 64);
        std::vector<POINT> sizes(static_cast<size_t>(count));
        EXPECT_EQ(DeviceCapabilitiesW(u"Korvan Laser", nullptr, DC_PAPERS, reinterpret_cast<LPWSTR>(codes.data()),
                                      nullptr),
                  count);
        EXPECT_EQ(DeviceCapabilitiesW(u"Korvan Laser", nullptr, DC_PAPERNAMES, names.data(), nullptr), count);
        EXPECT_EQ(DeviceCapabilitiesW(u"Korvan Laser", nullptr, DC_PAPERSIZE, reinterpret_cast<LPWSTR>(sizes.data()),
                                      nullptr),
                  count);
        for (size_t i = 0; i < size_t(count); ++i)
            papers.push_back({std::u16string(names.data() + i * 64), codes[i], sizes[i]});
    }
    w32::Machine::CloseCurrent();
    return papers;
}

std::string FirstWordLowerCased(const std::u16string& name) {
    std::string word = w32::ToUtf8(name.substr(0, name.find(u' ')));
    for (char& c : word)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    return word;
}

TEST_F(TamprintPapers, HelpListsTheDriversPapersByTheFirstWordOfTheirNames) {
    ASSERT_EQ(Print({}).code, 0);
    const std::vector<DriverPaper> papers = AskTheDriver(MachineFolder());
    ASSERT_EQ(papers.size(), 28u);
    EXPECT_EQ(papers.front().name, u"Letter 8.5 x 11 in");

    const RunResult help = Run({"--help"});
    ASSERT_EQ(help.code, 0);
    EXPECT_NE(help.out.find("the first word of the driver's name for it, lower-cased"), std::string::npos);
    for (const DriverPaper& paper : papers) {
        char item[64];
        std::snprintf(item, sizeof item, "  %-16s %3ld.%ld x %3ld.%ld", FirstWordLowerCased(paper.name).c_str(),
                      long(paper.size.x / 10), long(paper.size.x % 10), long(paper.size.y / 10),
                      long(paper.size.y % 10));
        EXPECT_NE(help.out.find(item), std::string::npos) << item;
    }
}

// Every paper prints by its name, as the driver's paper.
TEST_F(TamprintPapers, EveryPaperPrintsByItsName) {
    ASSERT_EQ(Print({}).code, 0);
    for (const DriverPaper& paper : AskTheDriver(MachineFolder())) {
        const std::string name = FirstWordLowerCased(paper.name);
        const RunResult result = Print({"--paper", name, "--pages", "1"});
        EXPECT_EQ(result.code, 0) << name << ": " << result.err;
        EXPECT_NE(result.out.find("  settings: " + name + ", portrait"), std::string::npos) << result.out;
    }
}

}  // namespace
}  // namespace tam::test
