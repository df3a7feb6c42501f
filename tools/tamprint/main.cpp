// tamprint: prints a document (or a built-in sample) on the printer "Korvan
// Laser" of a simulated Windows machine through the whole print path, writes
// the job the driver produced to a file and says what it wrote.
//
// Exit codes: 0 printed; 1 the driver, the spooler or the machine failed;
// 2 a wrong option, value or document. After a failure no job file is
// written.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "document.h"
#include "jobdecode.h"
#include "machine/machine.h"
#include "mappedfile.h"
#include "options.h"
#include "outputfile.h"
#include "printing.h"
#include "progressline.h"
#include "settings.h"
#include "sheetcounter.h"
#include "winspool/jobs.h"

namespace {

namespace fs = std::filesystem;
using namespace tamprint;

constexpr int kExitOk = 0, kExitFailed = 1, kExitUsage = 2;

int Refuse(const std::string& message) {
    std::fprintf(stderr, "tamprint: %s\n", message.c_str());
    return kExitUsage;
}

int Failed(const Failure& failure) {
    std::fprintf(stderr, "tamprint: %s\n", failure.message.c_str());
    return failure.usage ? kExitUsage : kExitFailed;
}

// Takes the finished jobs off the machine's spooler when the run ends: the
// job is in the user's file, and the machine does not grow with every run.
struct SpoolerCleanup {
    ~SpoolerCleanup() { w32::ClearJobs(); }
};

// A title as the terminal shows it: control characters as '?'.
std::string Printable(const std::string& text) {
    std::string shown = text;
    for (char& c : shown)
        if ((unsigned char)c < 0x20 || c == 0x7F) c = '?';
    return shown;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    Options options;
    std::string error;
    if (!ParseOptions(args, options, error)) return Refuse(error + "\nTry 'tamprint --help'.");
    if (options.help) {
        const std::string text = HelpText();
        std::fwrite(text.data(), 1, text.size(), stdout);
        return kExitOk;
    }

    Document document;
    if (options.document) {
        if (!LoadDocument(*options.document, document, error)) return Refuse(error);
        std::error_code ec;
        if (*options.document != "-" && fs::equivalent(*options.document, options.output, ec))
            return Refuse("the job would overwrite the document " + *options.document + " (-o " + options.output + ")");
    } else {
        document = SampleDocument(options.samplePages.value_or(4));
    }

    // The choices are checked before the tool's machine is touched, against
    // the settings the driver gives a new printer (on a machine of the tool's
    // own): the refusals of the driver's pages do not depend on the machine.
    if (!options.choices.Empty()) {
        UiDevmode check;
        Failure failure;
        std::string refusal;
        if (!OnScratchMachine(
                [&](std::string& taskError) {
                    if (!ReadDriverSettings(check, failure)) {
                        taskError = failure.message;
                        return false;
                    }
                    return true;
                },
                error))
            return Failed(Failure{error});
        if (!ApplyChoices(options.choices, check, refusal)) return Refuse(refusal);
    }

    OutputFile output(options.output);
    if (!output.Prepare(error)) return Refuse(error);

    const fs::path machineFolder = options.machine ? fs::path(*options.machine) : w32::Machine::DefaultFolder();
    MachineSession machine;
    Failure failure;
    if (!machine.Open(machineFolder, failure)) return Failed(failure);
    if (machine.Installed())
        std::fprintf(stderr, "tamprint: installed the driver and the printer \"Korvan Laser\" on the machine in %s\n",
                     machineFolder.c_str());

    UiDevmode settings;
    if (!ReadDriverSettings(settings, failure)) return Failed(failure);
    if (!ApplyChoices(options.choices, settings, error)) return Refuse(error);

    const size_t total = document.pages.size();
    ProgressLine progressLine(stderr);
    SpooledJob job;
    const bool printed = PrintDocument(
        document, settings, [&](size_t done, size_t all) { progressLine.Page(done, all); }, job, failure);
    progressLine.End();
    // The job leaves the spooler whatever happens from here on.
    SpoolerCleanup cleanup;
    if (!printed) return Failed(failure);
    MappedFile bytes;
    if (!bytes.Map(job.file, error)) return Failed(Failure{error});
    if (bytes.Bytes().empty()) return Failed(Failure{"the driver wrote no job"});
    if (!output.CommitFrom(job.file, error)) return Failed(Failure{error});

    // The sheets are counted as the job decodes; only a dump keeps the
    // decoded job whole.
    SheetCounter sheets;
    tam::job::DecodeOptions decodeOptions;
    decodeOptions.onOperator = [&](const tam::job::Operator& op) { sheets.Add(op); };
    decodeOptions.keepOperators = options.dump;
    if (!options.dump) decodeOptions.rowBudget = 0;
    const tam::job::DecodedJob decoded = tam::job::DecodeJob(bytes.Bytes(), decodeOptions);
    if (options.dump) {
        const std::string text = tam::job::FormatJob(decoded);
        std::fwrite(text.data(), 1, text.size(), stdout);
        std::fputc('\n', stdout);
    }
    std::printf("Printed \"%s\" (%s) on Korvan Laser\n", Printable(document.title).c_str(),
                Printable(document.source).c_str());
    std::printf("  settings: %s\n", DescribeSettings(settings).c_str());
    std::printf("  pages:    %zu\n", total);
    std::printf("  sheets:   %zu\n", sheets.Sheets(decoded));
    std::printf("  bytes:    %zu\n", bytes.Bytes().size());
    std::printf("  job file: %s\n", output.Shown().c_str());
    std::error_code ec;
    const fs::path shownMachine = fs::absolute(machineFolder, ec);
    std::printf("  machine:  %s\n", (ec ? machineFolder : shownMachine.lexically_normal()).c_str());
    if (!decoded.Ok())
        std::fprintf(stderr, "tamprint: warning: %zu part(s) of the job do not decode, the first at offset %zu (see --dump)\n",
                     decoded.problems.size(), decoded.problems.front().offset);
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::fprintf(stderr, "tamprint: cannot write the summary to standard output: %s\n", std::strerror(errno));
        return kExitFailed;
    }
    return kExitOk;
}
