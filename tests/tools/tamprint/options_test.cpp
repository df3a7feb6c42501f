// The print tool's command line: the help lists every option with its
// values, and a wrong option, value or combination is refused with a clear
// message and exit code 2 before any machine or job file is made.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tamprint_fixture.h"

namespace tam::test {
namespace {

using Tamprint = TamprintTest;

TEST_F(Tamprint, HelpListsEveryOptionWithItsValues) {
    const RunResult help = Run({"--help"});
    EXPECT_EQ(help.code, 0);
    EXPECT_EQ(help.err, "");
    EXPECT_EQ(help.out.rfind("usage: tamprint [OPTIONS] [DOCUMENT]\n", 0), 0u) << help.out;
    for (const char* text :
         {"-o, --output FILE", "default: ./tamprint.job", "--machine DIR", "$TAM_MACHINE", "--dump", "--pages N",
          "--paper NAME", "WIDTHxHEIGHTmm", "--orientation portrait|landscape", "--copies N", "1 to 999",
          "--collate", "--duplex none|long|short", "--nup 1|2|4|8|16", "--order N", "--scale PERCENT",
          "25 to 400", "--resolution 600|1200", "\"draw\"", "points (1/72 inch)", "Exit codes: 0 printed; 1", "2 a wrong option"}) {
        EXPECT_NE(help.out.find(text), std::string::npos) << text;
    }
    // Every paper of the paper page, with its size.
    for (const char* paper : {"  letter           215.9 x 279.4", "  a4               210.0 x 297.0",
                              "  a5               148.0 x 210.0", "  legal            215.9 x 355.6",
                              "  b5               182.0 x 257.0", "  executive        184.2 x 266.7",
                              "  com10            104.8 x 241.3", "  yougata2         114.0 x 162.0"}) {
        EXPECT_NE(help.out.find(paper), std::string::npos) << paper;
    }
    EXPECT_EQ(Run({"-h"}).out, help.out);
    EXPECT_TRUE(FolderEntries().empty());
}

struct BadCase {
    const char* name;
    std::vector<std::string> args;
    const char* message;  // the whole first line of standard error
};

const BadCase kBadCases[] = {
    {"UnknownOption", {"--colour"}, "tamprint: unknown option --colour (see --help)"},
    {"UnknownShortOption", {"-x"}, "tamprint: unknown option -x (see --help)"},
    {"FlagWithValue", {"--dump=yes"}, "tamprint: --dump takes no value"},
    {"EmptyOutput", {"-o", ""}, "tamprint: -o: an empty file name"},
    {"UnknownPaper", {"--paper", "a3"},
     "tamprint: --paper a3: unknown paper \"a3\" (see --help for the papers, or give WIDTHxHEIGHTmm)"},
    {"NoCustomSize", {"--paper", "100x1.50mm"},
     "tamprint: --paper 100x1.50mm: \"100x1.50mm\" is no custom size: give WIDTHxHEIGHTmm, e.g. 100x150mm or "
     "98.5x210mm"},
    {"CustomTooWide", {"--paper=216x297mm"},
     "tamprint: --paper 216x297mm: a custom paper is 76.2 to 215.9 mm wide and 148 to 355.6 mm long, not 216 x "
     "297 mm"},
    {"CustomTooShort", {"--paper", "100x147.9mm"},
     "tamprint: --paper 100x147.9mm: a custom paper is 76.2 to 215.9 mm wide and 148 to 355.6 mm long, not 100 x "
     "147.9 mm"},
    {"Orientation", {"--orientation", "sideways"}, "tamprint: --orientation sideways: expected portrait or landscape"},
    {"NoCopies", {"--copies", "0"}, "tamprint: --copies 0: the number of copies is 1 to 999"},
    {"TooManyCopies", {"--copies", "1000"}, "tamprint: --copies 1000: the number of copies is 1 to 999"},
    {"CopiesInWords", {"--copies", "two"}, "tamprint: --copies two: the number of copies is 1 to 999"},
    {"NegativeCopies", {"--copies=-3"}, "tamprint: --copies -3: the number of copies is 1 to 999"},
    {"Duplex", {"--duplex", "both"}, "tamprint: --duplex both: expected none, long or short"},
    {"ThreeUp", {"--nup", "3"}, "tamprint: --nup 3: pages per sheet are 1, 2, 4, 8 or 16"},
    {"ThirtyTwoUp", {"--nup", "32"}, "tamprint: --nup 32: pages per sheet are 1, 2, 4, 8 or 16"},
    {"OrderOutOfRange", {"--order", "6"},
     "tamprint: --order 6: a page order is 0 or 1 with --nup 2, 2 to 5 with --nup 4, 8 or 16"},
    {"ScaleTooSmall", {"--scale", "24"}, "tamprint: --scale 24: the scale is 25 to 400 percent"},
    {"ScaleTooLarge", {"--scale", "401"}, "tamprint: --scale 401: the scale is 25 to 400 percent"},
    {"Resolution", {"--resolution", "300"}, "tamprint: --resolution 300: expected 600 or 1200"},
    {"NoSamplePages", {"--pages", "0"}, "tamprint: --pages 0: the sample has 1 to 10000 pages"},
    {"TwoDocuments", {"a.json", "b.json"}, "tamprint: more than one document: a.json and b.json"},
    {"PagesOfADocument", {"--pages", "4", "a.json"},
     "tamprint: --pages sets the pages of the built-in sample; a.json lists its own"},
    // Combinations the driver's pages refuse.
    {"OrderWithOnePagePerSheet", {"--order", "1"},
     "tamprint: --order 1: a page order needs 2 or more pages per sheet (--nup)"},
    {"FourUpOrderOfTwoUp", {"--nup", "4", "--order", "1"},
     "tamprint: --order 1: with 4 pages per sheet the page order is 2, 3, 4 or 5"},
    {"TwoUpOrderOfFourUp", {"--order", "2", "--nup", "2"},
     "tamprint: --order 2: with 2 pages per sheet the page order is 0 or 1"},
    {"ScaledNup", {"--nup", "4", "--scale", "50"},
     "tamprint: --nup 4: the scale is 50%; pages per sheet are printed at 100% only"},
    {"DuplexA5", {"--paper", "a5", "--duplex", "long"},
     "tamprint: --duplex long: a5 cannot be printed on both sides (two-sided printing takes letter, a4, legal, "
     "folio, oficio and 16k)"},
    {"DuplexEnvelope", {"--duplex", "short", "--paper", "dl"},
     "tamprint: --duplex short: dl cannot be printed on both sides (two-sided printing takes letter, a4, legal, "
     "folio, oficio and 16k)"},
    {"DuplexCustom", {"--duplex", "long", "--paper", "100x150mm"},
     "tamprint: --duplex long: custom 100 x 150 mm cannot be printed on both sides (two-sided printing takes "
     "letter, a4, legal, folio, oficio and 16k)"},
};

class RefusedCommandLine : public TamprintTest, public testing::WithParamInterface<BadCase> {};

TEST_P(RefusedCommandLine, ExitsTwoWithAClearMessageAndWritesNothing) {
    const BadCase& c = GetParam();
    const RunResult result = Print(c.args);
    EXPECT_EQ(result.code, 2);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err.substr(0, result.err.find('\n')), c.message);
    // Nothing was made: no job file, no machine.
    EXPECT_TRUE(FolderEntries().empty()) << testing::PrintToString(FolderEntries());
}

INSTANTIATE_TEST_SUITE_P(All, RefusedCommandLine, testing::ValuesIn(kBadCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Tamprint, CommandLineErrorsPointToTheHelp) {
    const RunResult unknown = Run({"--colour"});
    EXPECT_EQ(unknown.code, 2);
    EXPECT_EQ(unknown.err, "tamprint: unknown option --colour (see --help)\nTry 'tamprint --help'.\n");
    const RunResult noValue = Run({"--scale"});
    EXPECT_EQ(noValue.code, 2);
    EXPECT_EQ(noValue.err, "tamprint: --scale needs a value (see --help)\nTry 'tamprint --help'.\n");
    EXPECT_TRUE(FolderEntries().empty());
}

TEST_F(Tamprint, RefusesAnOutputItCannotWrite) {
    // A folder that does not exist, and a folder as the file.
    const RunResult missing = Run({"--machine", MachineFolder().string(), "-o", (Dir() / "no" / "job.pcl").string()});
    EXPECT_EQ(missing.code, 2);
    EXPECT_EQ(missing.err, "tamprint: cannot write the job to " + (Dir() / "no" / "job.pcl").string() +
                               ": No such file or directory\n");
    std::filesystem::create_directory(Dir() / "folder");
    const RunResult folder = Run({"--machine", MachineFolder().string(), "-o", (Dir() / "folder").string()});
    EXPECT_EQ(folder.code, 2);
    EXPECT_EQ(folder.err, "tamprint: cannot write the job to " + (Dir() / "folder").string() + ": it is a folder\n");
    EXPECT_EQ(FolderEntries(), std::vector<std::string>{"folder"});
    EXPECT_TRUE(std::filesystem::is_empty(Dir() / "folder"));
}

TEST_F(Tamprint, RefusesToWriteTheJobOverItsDocument) {
    const auto document = WriteFile("doc.json", R"({"pages": 1})");
    const RunResult result = Run({"--machine", MachineFolder().string(), "-o", "doc.json", document.string()});
    EXPECT_EQ(result.code, 2);
    EXPECT_EQ(result.err, "tamprint: the job would overwrite the document " + document.string() + " (-o doc.json)\n");
    EXPECT_EQ(ReadText(document), R"({"pages": 1})");
    EXPECT_EQ(FolderEntries(), std::vector<std::string>{"doc.json"});
}

// A folder with files but no machine is someone's folder: the tool does
// not lay a machine out in it.
TEST_F(Tamprint, RefusesAMachineFolderThatHoldsSomethingElse) {
    std::filesystem::create_directory(Dir() / "papers");
    WriteFile("papers/note.txt", "keep me");
    const RunResult result = Run({"--machine", (Dir() / "papers").string(), "-o", JobPath().string()});
    EXPECT_EQ(result.code, 2);
    EXPECT_EQ(result.err, "tamprint: cannot use the machine folder " + (Dir() / "papers").string() + ": no machine in " +
                              (Dir() / "papers").string() + " (machine.ini is missing)\n");
    EXPECT_EQ(FolderEntries(), std::vector<std::string>{"papers"});
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(Dir() / "papers"), {}), 1);
}

}  // namespace
}  // namespace tam::test
