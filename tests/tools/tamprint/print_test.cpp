// The print tool printing: the sample, each option as the job shows it, a
// document file, the decoded dump, the progress line, the machine it makes
// and reuses, and a failure of the print path.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "machine/machine.h"
#include "tamprint_fixture.h"

namespace tam::test {
namespace {

namespace fs = std::filesystem;
using TamprintJob = TamprintTest;

constexpr char kInstalled[] = "tamprint: installed the driver and the printer \"Korvan Laser\" on the machine in ";

// The summary the tool ends with.
std::string Summary(const std::string& title, const std::string& source, const std::string& settings, size_t pages,
                    size_t sheets, const fs::path& job, const fs::path& machine) {
    return "Printed \"" + title + "\" (" + source + ") on Korvan Laser\n" + "  settings: " + settings + "\n" +
           "  pages:    " + std::to_string(pages) + "\n" + "  sheets:   " + std::to_string(sheets) + "\n" +
           "  bytes:    " + std::to_string(fs::file_size(job)) + "\n" + "  job file: " + job.string() + "\n" +
           "  machine:  " + machine.string() + "\n";
}

// An attribute of an operator as the decoder writes it; "-" when missing.
std::string AttributeText(const job::Operator& op, const char* name) {
    const job::Attribute* attribute = op.Find(name);
    return attribute ? job::FormatValue(attribute->value, attribute->id) : "-";
}

std::vector<std::string> AttributeTexts(const job::DecodedJob& decoded, const char* operatorName, const char* name) {
    std::vector<std::string> texts;
    for (const job::Operator* op : decoded.Find(operatorName)) texts.push_back(AttributeText(*op, name));
    return texts;
}

TEST_F(TamprintJob, PrintsTheSampleAndSaysWhatItWrote) {
    const RunResult result = Print({});
    ASSERT_EQ(result.code, 0) << result.err;
    EXPECT_EQ(result.err, kInstalled + MachineFolder().string() + "\n");
    EXPECT_EQ(result.out, Summary("Korvan sample", "built-in sample",
                                  "letter, portrait, 1 copy, one-sided, 1 page per sheet, scale 100%", 4, 4, JobPath(),
                                  MachineFolder()));
    // Only the job and the machine: no temporary file stays behind, and the
    // machine's spooler keeps no copy of the job.
    EXPECT_EQ(FolderEntries(), (std::vector<std::string>{"machine", "out.job"}));
    const fs::path spoolFolder = MachineFolder() / "drive_c/Windows/System32/spool/PRINTERS";
    ASSERT_TRUE(fs::is_directory(spoolFolder));
    EXPECT_TRUE(fs::is_empty(spoolFolder));

    const job::DecodedJob decoded = Decode(JobPath());
    EXPECT_TRUE(decoded.Ok()) << job::FormatJob(decoded);
    EXPECT_EQ(decoded.PageCount(), 4u);
    EXPECT_EQ(decoded.PjlValue("COPIES"), "1");
    EXPECT_EQ(decoded.PjlValue("DUPLEX"), "OFF");
    EXPECT_EQ(decoded.PjlValue("PAPER"), "LETTER");  // the machine is in the United States
    EXPECT_EQ(AttributeTexts(decoded, "BeginPage", "MediaSize"),
              (std::vector<std::string>(4, "\"LETTER\"")));
    EXPECT_EQ(AttributeTexts(decoded, "BeginPage", "Orientation"),
              (std::vector<std::string>(4, "ePortraitOrientation")));
    EXPECT_EQ(decoded.Count("EndSession"), 1u);
    ASSERT_FALSE(decoded.trailer.empty());
    EXPECT_EQ(decoded.trailer[1].command, "EOJ");
}

TEST_F(TamprintJob, ReusesItsMachineAndWritesTheSameJobAgain) {
    ASSERT_EQ(Print({}).code, 0);
    const std::string first = ReadText(JobPath());
    const RunResult again = Print({});
    ASSERT_EQ(again.code, 0) << again.err;
    EXPECT_EQ(again.err, "");  // nothing installed this time
    EXPECT_EQ(ReadText(JobPath()), first);
}

// A machine made by an earlier build gets the driver's files of this one.
TEST_F(TamprintJob, RefreshesTheDriverFilesFromTheBuild) {
    ASSERT_EQ(Print({}).code, 0);
    const fs::path installed = MachineFolder() / "drive_c/Windows/System32/spool/drivers/x64/3/Tamrend.dll";
    const fs::path built = fs::read_symlink("/proc/self/exe").parent_path() / "Tamrend.dll";
    ASSERT_EQ(ReadText(installed), ReadText(built));
    std::ofstream(installed, std::ios::binary | std::ios::trunc) << "an older driver";
    const RunResult again = Print({});
    ASSERT_EQ(again.code, 0) << again.err;
    EXPECT_EQ(again.err, "");
    EXPECT_EQ(ReadText(installed), ReadText(built));
    EXPECT_EQ(Decode(JobPath()).PageCount(), 4u);
}

TEST_F(TamprintJob, UsesTheDefaultMachineAndOutputWhenNoneIsGiven) {
    const RunResult result = Run({});
    ASSERT_EQ(result.code, 0) << result.err;
    EXPECT_EQ(result.err, kInstalled + DefaultMachineFolder().string() + "\n");
    const fs::path job = Dir() / "tamprint.job";
    EXPECT_EQ(result.out, Summary("Korvan sample", "built-in sample",
                                  "letter, portrait, 1 copy, one-sided, 1 page per sheet, scale 100%", 4, 4, job,
                                  DefaultMachineFolder()));
    EXPECT_EQ(Decode(job).PageCount(), 4u);
}

// What each option makes of the four sample pages.
struct OptionCase {
    const char* name;
    std::vector<std::string> args;
    const char* settings;  // the summary's settings line
    size_t sides;          // BeginPage operators
    size_t sheets;         // the summary's sheets
    std::vector<std::pair<const char*, const char*>> pjl;        // @PJL SET values
    std::vector<std::pair<const char*, const char*>> firstPage;  // attributes of the first BeginPage
    const char* endPageCopies;                                   // PageCopies of every EndPage
    const char* pageScale;                                       // the first page's SetPageScale
};

const OptionCase kOptions[] = {
    {"PaperA4", {"--paper", "a4"}, "a4, portrait, 1 copy, one-sided, 1 page per sheet, scale 100%", 4, 4,
     {{"PAPER", "A4"}}, {{"MediaSize", "\"A4\""}, {"MediaSource", "eAutoSelect"}}, "1", "(1,1)"},
    {"PaperA5", {"--paper", "A5"}, "a5, portrait, 1 copy, one-sided, 1 page per sheet, scale 100%", 4, 4,
     {{"PAPER", "A5"}}, {{"MediaSize", "\"A5\""}}, "1", "(1,1)"},
    {"PaperLegal", {"--paper=legal"}, "legal, portrait, 1 copy, one-sided, 1 page per sheet, scale 100%", 4, 4,
     {{"PAPER", "LEGAL"}}, {{"MediaSize", "\"LEGAL\""}}, "1", "(1,1)"},
    {"PaperExecutive", {"--paper", "executive"},
     "executive, portrait, 1 copy, one-sided, 1 page per sheet, scale 100%", 4, 4, {{"PAPER", "EXEC"}},
     {{"MediaSize", "\"EXEC\""}}, "1", "(1,1)"},
    // An envelope feeds from the manual slot, as the paper page decides.
    {"EnvelopeDl", {"--paper", "dl"}, "dl, portrait, 1 copy, one-sided, 1 page per sheet, scale 100%", 4, 4,
     {{"PAPER", "DL"}}, {{"MediaSize", "\"DL\""}, {"MediaSource", "eManualFeed"}}, "1", "(1,1)"},
    {"CustomSize", {"--paper", "100x150mm"},
     "custom 100 x 150 mm, portrait, 1 copy, one-sided, 1 page per sheet, scale 100%", 4, 4, {{"PAPER", "CUSTOM"}},
     {{"CustomMediaSize", "(1000,1500)"}, {"CustomMediaSizeUnits", "eTenthsOfAMillimeter"}, {"MediaSize", "-"}},
     "1", "(1,1)"},
    {"Landscape", {"--orientation", "landscape"},
     "letter, landscape, 1 copy, one-sided, 1 page per sheet, scale 100%", 4, 4, {},
     {{"Orientation", "eLandscapeOrientation"}}, "1", "(1,1)"},
    // Uncollated copies are the printer's: each page once, printed three times.
    {"Copies", {"--copies", "3"}, "letter, portrait, 3 copies uncollated, one-sided, 1 page per sheet, scale 100%",
     4, 12, {{"COPIES", "3"}}, {}, "3", "(1,1)"},
    // Collated copies are whole documents, played again.
    {"CollatedCopies", {"--copies", "3", "--collate"},
     "letter, portrait, 3 copies collated, one-sided, 1 page per sheet, scale 100%", 12, 12, {{"COPIES", "1"}}, {},
     "1", "(1,1)"},
    {"DuplexLongEdge", {"--duplex", "long"},
     "letter, portrait, 1 copy, two-sided (long edge), 1 page per sheet, scale 100%", 4, 2,
     {{"DUPLEX", "ON"}, {"BINDING", "LONGEDGE"}},
     {{"DuplexPageMode", "eDuplexVerticalBinding"}, {"DuplexPageSide", "eFrontMediaSide"}}, "1", "(1,1)"},
    {"DuplexShortEdge", {"--duplex", "short"},
     "letter, portrait, 1 copy, two-sided (short edge), 1 page per sheet, scale 100%", 4, 2,
     {{"DUPLEX", "ON"}, {"BINDING", "SHORTEDGE"}},
     {{"DuplexPageMode", "eDuplexHorizontalBinding"}, {"DuplexPageSide", "eFrontMediaSide"}}, "1", "(1,1)"},
    {"OneSided", {"--duplex", "none"}, "letter, portrait, 1 copy, one-sided, 1 page per sheet, scale 100%", 4, 4,
     {{"DUPLEX", "OFF"}}, {{"DuplexPageMode", "-"}}, "1", "(1,1)"},
    {"TwoUp", {"--nup", "2"}, "letter, portrait, 1 copy, one-sided, 2 pages per sheet (order 0), scale 100%", 2, 2,
     {}, {}, "1", "(0.65281177,0.65281177)"},
    {"FourUp", {"--nup", "4"}, "letter, portrait, 1 copy, one-sided, 4 pages per sheet (order 2), scale 100%", 1, 1,
     {}, {}, "1", "(0.5,0.5)"},
    {"SixteenUp", {"--nup", "16"},
     "letter, portrait, 1 copy, one-sided, 16 pages per sheet (order 2), scale 100%", 1, 1, {}, {}, "1",
     "(0.25,0.25)"},
    {"Resolution1200", {"--resolution", "1200"},
     "letter, portrait, 1 copy, one-sided, 1 page per sheet, scale 100%, 1200 dpi", 4, 4, {},
     {}, "1", "(1,1)"},
    {"HalfScale", {"--scale", "50"}, "letter, portrait, 1 copy, one-sided, 1 page per sheet, scale 50%", 4, 4, {}, {},
     "1", "(0.5,0.5)"},
};

class PrintOption : public TamprintTest, public testing::WithParamInterface<OptionCase> {};

TEST_P(PrintOption, ShowsInTheJob) {
    const OptionCase& c = GetParam();
    const RunResult result = Print(c.args);
    ASSERT_EQ(result.code, 0) << result.err;
    EXPECT_NE(result.out.find("  settings: " + std::string(c.settings) + "\n"), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("  sheets:   " + std::to_string(c.sheets) + "\n"), std::string::npos) << result.out;

    const job::DecodedJob decoded = Decode(JobPath());
    EXPECT_TRUE(decoded.Ok()) << job::FormatJob(decoded);
    EXPECT_EQ(decoded.PageCount(), c.sides);
    for (const auto& [key, value] : c.pjl) EXPECT_EQ(decoded.PjlValue(key), value) << key;
    const job::Operator* first = decoded.First("BeginPage");
    ASSERT_NE(first, nullptr);
    for (const auto& [name, value] : c.firstPage) EXPECT_EQ(AttributeText(*first, name), value) << name;
    EXPECT_EQ(AttributeTexts(decoded, "EndPage", "PageCopies"), std::vector<std::string>(c.sides, c.endPageCopies));
    const job::Operator* scale = decoded.First("SetPageScale");
    ASSERT_NE(scale, nullptr);
    EXPECT_EQ(AttributeText(*scale, "PageScale"), c.pageScale);
}

INSTANTIATE_TEST_SUITE_P(All, PrintOption, testing::ValuesIn(kOptions),
                         [](const auto& info) { return std::string(info.param.name); });

// The page orders of the layout page place the sample's four pages in the
// cells of a sheet in their order.
struct OrderCase {
    const char* name;
    std::vector<std::string> args;
    std::vector<std::string> origins;  // SetPageOrigin of the pages, in order
};

const OrderCase kOrders[] = {
    // Two pages side by side on a turned sheet, left first or right first;
    // the sheet lies across the portrait page, its left half at the top.
    {"TwoUpLeftFirst", {"--nup", "2"}, {"(4279,96)", "(4279,3300)", "(4279,96)", "(4279,3300)"}},
    {"TwoUpRightFirst", {"--nup", "2", "--order", "1"}, {"(4279,3300)", "(4279,96)", "(4279,3300)", "(4279,96)"}},
    // Four cells of half the sheet each.
    {"AcrossThenDown", {"--nup", "4", "--order", "2"}, {"(96,96)", "(2550,96)", "(96,3300)", "(2550,3300)"}},
    {"DownThenAcross", {"--nup", "4", "--order", "3"}, {"(96,96)", "(96,3300)", "(2550,96)", "(2550,3300)"}},
    {"AcrossFromTheRight", {"--nup", "4", "--order", "4"}, {"(2550,96)", "(96,96)", "(2550,3300)", "(96,3300)"}},
    {"DownFromTheRight", {"--nup", "4", "--order", "5"}, {"(2550,96)", "(2550,3300)", "(96,96)", "(96,3300)"}},
};

class PageOrder : public TamprintTest, public testing::WithParamInterface<OrderCase> {};

TEST_P(PageOrder, PlacesThePagesInTheirCells) {
    const OrderCase& c = GetParam();
    const RunResult result = Print(c.args);
    ASSERT_EQ(result.code, 0) << result.err;
    EXPECT_EQ(AttributeTexts(Decode(JobPath()), "SetPageOrigin", "PageOrigin"), c.origins);
}

INSTANTIATE_TEST_SUITE_P(All, PageOrder, testing::ValuesIn(kOrders),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(TamprintJob, PrintsADocumentFile) {
    const fs::path document = WriteFile("report.json", R"(// three pages, the second turned
{
  "title": "Quarterly report",
  "pages": [{}, {"orientation": "landscape"}, {"orientation": "portrait"}]
})");
    const RunResult result = Print({"--paper", "a4", document.string()});
    ASSERT_EQ(result.code, 0) << result.err;
    EXPECT_EQ(result.out.substr(0, result.out.find('\n')),
              "Printed \"Quarterly report\" (" + document.string() + ") on Korvan Laser");
    EXPECT_NE(result.out.find("  pages:    3\n"), std::string::npos);
    const job::DecodedJob decoded = Decode(JobPath());
    EXPECT_TRUE(decoded.Ok());
    EXPECT_EQ(AttributeTexts(decoded, "BeginPage", "Orientation"),
              (std::vector<std::string>{"ePortraitOrientation", "eLandscapeOrientation", "ePortraitOrientation"}));
    // The page turned alone keeps the document's paper.
    EXPECT_EQ(AttributeTexts(decoded, "BeginPage", "MediaSize"), (std::vector<std::string>(3, "\"A4\"")));
}

TEST_F(TamprintJob, PrintsAPageCountFromStandardInputNamedByTheFile) {
    const RunResult counted = Run({"--machine", MachineFolder().string(), "-o", "count.job", "-"}, R"({"pages": 7})");
    ASSERT_EQ(counted.code, 0) << counted.err;
    // A document without a title from standard input has none.
    EXPECT_EQ(counted.out.substr(0, counted.out.find('\n')), "Printed \"\" (standard input) on Korvan Laser");
    EXPECT_EQ(Decode(Dir() / "count.job").PageCount(), 7u);

    const fs::path document = WriteFile("memo.json", R"({"pages": 2})");
    const RunResult titled = Print({document.string()});
    ASSERT_EQ(titled.code, 0) << titled.err;
    EXPECT_EQ(titled.out.substr(0, titled.out.find('\n')),
              "Printed \"memo.json\" (" + document.string() + ") on Korvan Laser");
}

TEST_F(TamprintJob, DumpsTheDecodedJobBeforeTheSummary) {
    const RunResult result = Print({"--dump", "--copies", "2"});
    ASSERT_EQ(result.code, 0) << result.err;
    const std::string dump = job::FormatJob(Decode(JobPath()));
    ASSERT_GT(result.out.size(), dump.size());
    EXPECT_EQ(result.out.substr(0, dump.size() + 1), dump + "\n");
    EXPECT_NE(dump.find(" @PJL SET COPIES=2\n"), std::string::npos) << dump;
    EXPECT_EQ(result.out.substr(dump.size() + 1, 18), "Printed \"Korvan sa");
}

// Standard error in a file (as in a log): a long document leaves the count
// of its pages once, no line or "\r" update per page; a short one nothing.
TEST_F(TamprintJob, ShowsItsProgressInAFileAsTheFinalCountOnly) {
    ASSERT_EQ(Print({"--pages", "5"}).code, 0);  // also installs: the next runs say nothing else
    const RunResult shortRun = Print({"--pages", "5"});
    ASSERT_EQ(shortRun.code, 0);
    EXPECT_EQ(shortRun.err, "");

    const RunResult longRun = Print({"--pages", "200"});
    ASSERT_EQ(longRun.code, 0);
    EXPECT_EQ(longRun.err, "tamprint: printed 200 pages\n");
    EXPECT_NE(longRun.out.find("  pages:    200\n"), std::string::npos);
    EXPECT_EQ(Decode(JobPath()).PageCount(), 200u);
}

// On a terminal the line follows the pages in place, from the first page to
// the last, updated at most every quarter of a second besides those two: a
// run of T milliseconds shows at most T / 250 + 2 updates, however many
// pages it prints.
TEST_F(TamprintJob, ShowsItsProgressOnATerminalAFewTimesASecond) {
    ASSERT_EQ(Print({"--pages", "1"}).code, 0);  // installs first
    const auto start = std::chrono::steady_clock::now();
    const RunResult run = PrintOnTerminal({"--pages", "300"});
    const auto elapsed =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
    ASSERT_EQ(run.code, 0);
    ASSERT_EQ(run.err.substr(0, 1), "\r") << run.err;
    ASSERT_EQ(run.err.back(), '\n') << run.err;
    std::vector<int> shown;
    std::istringstream updates(run.err.substr(1, run.err.size() - 2));
    for (std::string update; std::getline(updates, update, '\r');) {
        int page = 0, total = 0;
        char rest = 0;
        ASSERT_EQ(std::sscanf(update.c_str(), "tamprint: page %d/%d%c", &page, &total, &rest), 2) << update;
        EXPECT_EQ(total, 300);
        shown.push_back(page);
    }
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(shown.front(), 1);
    EXPECT_EQ(shown.back(), 300);
    EXPECT_TRUE(std::is_sorted(shown.begin(), shown.end())) << run.err;
    EXPECT_LE(int64_t(shown.size()), elapsed / 250 + 2) << run.err;
    EXPECT_EQ(Decode(JobPath()).PageCount(), 300u);
}

// A machine whose printer names a driver that is not installed: the print
// path fails, the tool says where and leaves no job file.
// Runs at the same time on one machine take turns: each gets its own whole
// job, and the machine is made once.
TEST_F(TamprintJob, RunsAtTheSameTimeOnOneMachineTakeTurns) {
    std::vector<std::vector<std::string>> runs;
    for (int pages = 1; pages <= 4; ++pages)
        runs.push_back({"--machine", MachineFolder().string(), "--pages", std::to_string(pages), "-o",
                        "run" + std::to_string(pages) + ".job"});
    const std::vector<RunResult> results = RunAtOnce(runs);
    int installs = 0;
    for (size_t i = 0; i < results.size(); ++i) {
        SCOPED_TRACE("run with " + std::to_string(i + 1) + " pages");
        ASSERT_EQ(results[i].code, 0) << results[i].err;
        EXPECT_NE(results[i].out.find("  pages:    " + std::to_string(i + 1) + "\n"), std::string::npos);
        if (results[i].err.find(kInstalled) != std::string::npos) ++installs;
        const job::DecodedJob decoded = Decode(Dir() / ("run" + std::to_string(i + 1) + ".job"));
        EXPECT_TRUE(decoded.Ok()) << job::FormatJob(decoded);
        EXPECT_EQ(decoded.PageCount(), i + 1);
    }
    EXPECT_EQ(installs, 1);
}

// -o naming a link writes the file it points at, which keeps its
// permissions.
TEST_F(TamprintJob, WritesThroughALinkAndKeepsTheFilesPermissions) {
    const fs::path target = WriteFile("kept.job", "old");
    fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write);
    fs::create_symlink(target, JobPath());
    ASSERT_EQ(Print({}).code, 0);
    EXPECT_TRUE(fs::is_symlink(JobPath()));
    EXPECT_EQ(Decode(target).PageCount(), 4u);
    EXPECT_EQ(fs::status(target).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);
}

// A failure of the print path: the tool says where, exits 1, and the job
// file of an earlier run stays as it was.
TEST_F(TamprintJob, PrintFailureExitsOneAndLeavesNoJob) {
    ASSERT_EQ(Print({}).code, 0);
    const std::string earlier = ReadText(JobPath());
    {
        w32::Machine::Open(MachineFolder());
        HKEY printer = nullptr;
        ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"SYSTEM\\CurrentControlSet\\Control\\Print\\Printers\\Korvan Laser",
                                0, KEY_SET_VALUE, &printer),
                  ERROR_SUCCESS);
        const char16_t missing[] = u"Korvan Missing Driver";
        ASSERT_EQ(RegSetValueExW(printer, u"Printer Driver", 0, REG_SZ, reinterpret_cast<const BYTE*>(missing),
                                 sizeof(missing)),
                  ERROR_SUCCESS);
        RegCloseKey(printer);
        w32::Machine::CloseCurrent();
    }
    const RunResult result = Print({});
    EXPECT_EQ(result.code, 1);
    EXPECT_EQ(result.out, "");
    // The driver is first asked for the printer's settings.
    EXPECT_EQ(result.err,
              "tamprint: the driver gives no settings for \"Korvan Laser\": error 1797: The printer driver is "
              "unknown.\n");
    EXPECT_EQ(FolderEntries(), (std::vector<std::string>{"machine", "out.job"}));
    EXPECT_EQ(ReadText(JobPath()), earlier);
}

}  // namespace
}  // namespace tam::test
