// tamprint: prints a document (or a built-in sample) on the printer "Korvan
// Laser" of a simulated Windows machine through the whole print path, writes
// the job the driver produced to a file and says what it wrote.
//
// Exit codes: 0 printed; 1 the driver, the spooler or the machine failed;
// 2 a wrong option, value or document. After a failure no job file is
// written.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "document.h"
#include "jobdecode.h"
#include "machine/machine.h"
#include "options.h"
#include "printing.h"
#include "settings.h"

namespace {

namespace fs = std::filesystem;
using namespace tamprint;

constexpr int kExitOk = 0, kExitFailed = 1, kExitUsage = 2;
// Documents longer than this show their progress.
constexpr size_t kProgressPages = 5;

int Refuse(const std::string& message) {
    std::fprintf(stderr, "tamprint: %s\n", message.c_str());
    return kExitUsage;
}

int Failed(const Failure& failure) {
    std::fprintf(stderr, "tamprint: %s\n", failure.message.c_str());
    return failure.usage ? kExitUsage : kExitFailed;
}

// The job file the user asked for. The job is written into a temporary file
// beside it and renamed over it only when the whole job is there, so that a
// failure leaves no job file behind (nor a half-written one). A path that
// is no regular file (a device such as /dev/stdout, a pipe) is written
// directly.
class OutputFile {
public:
    explicit OutputFile(fs::path path) : path_(std::move(path)) {}
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;
    ~OutputFile() {
        if (fd_ >= 0) close(fd_);
        if (!temporary_.empty()) {
            std::error_code ec;
            fs::remove(temporary_, ec);
        }
    }

    // Makes sure the job can be written, before anything is printed.
    bool Prepare(std::string& error) {
        struct stat info {};
        if (stat(path_.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
            if (S_ISDIR(info.st_mode)) {
                error = "cannot write the job to " + path_.string() + ": it is a folder";
                return false;
            }
            direct_ = true;
            return true;
        }
        fs::path folder = path_.parent_path();
        if (folder.empty()) folder = ".";
        std::string pattern = (folder / ("." + path_.filename().string() + ".XXXXXX")).string();
        fd_ = mkstemp(pattern.data());
        if (fd_ < 0) {
            error = "cannot write the job to " + path_.string() + ": " + std::strerror(errno);
            return false;
        }
        temporary_ = pattern;
        return true;
    }

    bool Commit(const std::vector<BYTE>& bytes, std::string& error) {
        int fd = fd_;
        if (direct_) fd = open(path_.c_str(), O_WRONLY | O_TRUNC);
        if (fd < 0) return Error(error);
        size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t wrote = write(fd, bytes.data() + done, bytes.size() - done);
            if (wrote < 0 && errno == EINTR) continue;
            if (wrote <= 0) {
                if (direct_) close(fd);
                return Error(error);
            }
            done += size_t(wrote);
        }
        if (direct_) return close(fd) == 0 || Error(error);
        // The file takes the permissions a newly made file would have.
        const mode_t mask = umask(0);
        umask(mask);
        fchmod(fd_, 0666 & ~mask);
        const bool closed = close(fd_) == 0;
        fd_ = -1;
        if (!closed || std::rename(temporary_.c_str(), path_.c_str()) != 0) return Error(error);
        temporary_.clear();
        return true;
    }

    // The path to show: absolute, so that the user finds it.
    std::string Shown() const {
        std::error_code ec;
        const fs::path absolute = fs::absolute(path_, ec);
        return (ec ? path_ : absolute.lexically_normal()).string();
    }

private:
    bool Error(std::string& error) const {
        error = "cannot write the job to " + path_.string() + ": " + std::strerror(errno);
        return false;
    }

    fs::path path_;
    fs::path temporary_;
    int fd_ = -1;
    bool direct_ = false;
};

// Sheets of paper the job prints. Each BeginPage is one side of a sheet: a
// two-sided job marks the front of each sheet (DuplexPageSide) and writes
// its back with or without a mark; every other side is a sheet of its own.
// A sheet prints as often as its EndPage's PageCopies say (the PJL copies
// when it has none).
size_t SheetsOf(const tam::job::DecodedJob& job) {
    long jobCopies = 1;
    if (const auto text = job.PjlValue("COPIES")) {
        char* end = nullptr;
        const long value = std::strtol(text->c_str(), &end, 10);
        if (end != text->c_str() && value > 0) jobCopies = value;
    }
    size_t sheets = 0;
    bool backPending = false;  // the last side was the front of a two-sided sheet
    for (const auto& [begin, end] : job.Pages()) {
        const tam::job::Attribute* side = job.ops[begin].Find("DuplexPageSide");
        const std::string_view sideName = side ? tam::job::EnumName(side->id, side->value.Int()) : "";
        const bool back = sideName == "eBackMediaSide" || (!side && backPending);
        backPending = sideName == "eFrontMediaSide";
        if (back) continue;
        const std::optional<int64_t> copies = job.ops[end].Int("PageCopies");
        sheets += size_t(copies && *copies > 0 ? *copies : jobCopies);
    }
    return sheets;
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
        document = SampleDocument(options.samplePages.value_or(3));
    }

    // The choices are checked before any machine is touched: the refusals
    // of the driver's pages do not depend on the machine.
    {
        SettingsContext check;
        if (!MakeSettings(options.choices, nullptr, nullptr, check, error)) return Refuse(error);
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

    SettingsContext settings;
    if (!MakeSettings(options.choices, u"Korvan Laser", machine.LanguageDll(), settings, error)) return Refuse(error);

    const size_t total = document.pages.size();
    bool progressShown = false;
    auto progress = [&](size_t done, size_t all) {
        if (all <= kProgressPages) return;
        std::fprintf(stderr, "\rtamprint: page %zu/%zu", done, all);
        std::fflush(stderr);
        progressShown = true;
    };
    std::vector<BYTE> job;
    const bool printed = PrintDocument(document, settings.Devmode(), progress, job, failure);
    if (progressShown) std::fputc('\n', stderr);
    if (!printed) return Failed(failure);
    if (!output.Commit(job, error)) return Failed(Failure{error});

    const tam::job::DecodedJob decoded = tam::job::DecodeJob(std::span<const uint8_t>(job.data(), job.size()));
    if (options.dump) {
        const std::string text = tam::job::FormatJob(decoded);
        std::fwrite(text.data(), 1, text.size(), stdout);
        std::fputc('\n', stdout);
    }
    std::printf("Printed \"%s\" (%s) on Korvan Laser\n", document.title.c_str(), document.source.c_str());
    std::printf("  settings: %s\n", DescribeSettings(settings.Devmode()).c_str());
    std::printf("  pages:    %zu\n", total);
    std::printf("  sheets:   %zu\n", SheetsOf(decoded));
    std::printf("  bytes:    %zu\n", job.size());
    std::printf("  job file: %s\n", output.Shown().c_str());
    std::error_code ec;
    const fs::path shownMachine = fs::absolute(machineFolder, ec);
    std::printf("  machine:  %s\n", (ec ? machineFolder : shownMachine.lexically_normal()).c_str());
    if (!decoded.Ok())
        std::fprintf(stderr, "tamprint: warning: %zu part(s) of the job do not decode, the first at offset %zu (see --dump)\n",
                     decoded.problems.size(), decoded.problems.front().offset);
    if (std::fflush(stdout) != 0) return kExitFailed;
    return kExitOk;
}
