// tamprint: prints a document (or a built-in sample) on the printer "Korvan
// Laser" of a simulated Windows machine through the whole print path, writes
// the job the driver produced to a file and says what it wrote.
//
// Exit codes: 0 printed; 1 the driver, the spooler or the machine failed;
// 2 a wrong option, value or document. After a failure no job file is
// written.
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "document.h"
#include "jobdecode.h"
#include "machine/machine.h"
#include "options.h"
#include "printing.h"
#include "settings.h"
#include "winspool/jobs.h"

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
// failure leaves no job file behind (nor a half-written one). A symbolic
// link is followed, so the file it points at gets the job; an existing file
// keeps its permissions. A path that is no regular file (a device such as
// /dev/stdout, a pipe) is written directly.
class OutputFile {
public:
    explicit OutputFile(fs::path path) : shown_(path), path_(std::move(path)) {}
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
        std::error_code ec;
        if (fs::is_symlink(fs::symlink_status(path_, ec))) {
            const fs::path target = fs::weakly_canonical(path_, ec);
            if (ec) {
                error = "cannot write the job to " + shown_.string() + ": " + ec.message();
                return false;
            }
            path_ = target;
        }
        struct stat info {};
        if (stat(path_.c_str(), &info) == 0) {
            if (S_ISDIR(info.st_mode)) {
                error = "cannot write the job to " + shown_.string() + ": it is a folder";
                return false;
            }
            if (!S_ISREG(info.st_mode)) {
                direct_ = true;
                return true;
            }
            mode_ = info.st_mode & 07777;
        } else {
            const mode_t mask = umask(0);
            umask(mask);
            mode_ = 0666 & ~mask;
        }
        fs::path folder = path_.parent_path();
        if (folder.empty()) folder = ".";
        std::string pattern = (folder / ("." + path_.filename().string() + ".XXXXXX")).string();
        fd_ = mkstemp(pattern.data());
        if (fd_ < 0) {
            error = "cannot write the job to " + shown_.string() + ": " + std::strerror(errno);
            return false;
        }
        temporary_ = pattern;
        return true;
    }

    // Copies the job from `source` in blocks, then puts the file in place.
    bool CommitFrom(const fs::path& source, std::string& error) {
        const int in = open(source.c_str(), O_RDONLY | O_CLOEXEC);
        if (in < 0) {
            error = "cannot read the spooler's job file " + source.string() + ": " + std::strerror(errno);
            return false;
        }
        int fd = fd_;
        if (direct_) fd = open(path_.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
        bool ok = fd >= 0 && Copy(in, fd, source, error);
        close(in);
        if (fd < 0) return Error(error);
        if (direct_) return (close(fd) == 0 && ok) || (ok && Error(error));
        if (!ok) return false;
        fchmod(fd_, mode_);
        const bool closed = close(fd_) == 0;
        fd_ = -1;
        if (!closed || std::rename(temporary_.c_str(), path_.c_str()) != 0) return Error(error);
        temporary_.clear();
        return true;
    }

    // The path to show: absolute, so that the user finds it.
    std::string Shown() const {
        std::error_code ec;
        const fs::path absolute = fs::absolute(shown_, ec);
        return (ec ? shown_ : absolute.lexically_normal()).string();
    }

private:
    bool Copy(int in, int out, const fs::path& source, std::string& error) const {
        std::vector<char> block(size_t(1) << 20);
        for (;;) {
            const ssize_t got = read(in, block.data(), block.size());
            if (got < 0 && errno == EINTR) continue;
            if (got < 0) {
                error = "cannot read the spooler's job file " + source.string() + ": " + std::strerror(errno);
                return false;
            }
            if (got == 0) return true;
            size_t done = 0;
            while (done < size_t(got)) {
                const ssize_t wrote = write(out, block.data() + done, size_t(got) - done);
                if (wrote < 0 && errno == EINTR) continue;
                if (wrote <= 0) return Error(error);
                done += size_t(wrote);
            }
        }
    }

    bool Error(std::string& error) const {
        error = "cannot write the job to " + shown_.string() + ": " + std::strerror(errno ? errno : EIO);
        return false;
    }

    fs::path shown_;  // as the user gave it
    fs::path path_;   // the file written: the link's target for a link
    fs::path temporary_;
    int fd_ = -1;
    mode_t mode_ = 0644;
    bool direct_ = false;
};

// A file mapped for reading, so that a long job is decoded without being
// read into memory.
class MappedFile {
public:
    MappedFile() = default;
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;
    ~MappedFile() {
        if (data_ && data_ != MAP_FAILED) munmap(data_, size_);
    }

    bool Map(const fs::path& path, std::string& error) {
        const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
        struct stat info {};
        if (fd < 0 || fstat(fd, &info) != 0) {
            error = "cannot read the spooler's job file " + path.string() + ": " + std::strerror(errno);
            if (fd >= 0) close(fd);
            return false;
        }
        size_ = size_t(info.st_size);
        if (size_ > 0) data_ = mmap(nullptr, size_, PROT_READ, MAP_PRIVATE, fd, 0);
        close(fd);
        if (data_ == MAP_FAILED) {
            error = "cannot read the spooler's job file " + path.string() + ": " + std::strerror(errno);
            return false;
        }
        return true;
    }

    std::span<const uint8_t> Bytes() const {
        return size_ ? std::span<const uint8_t>(static_cast<const uint8_t*>(data_), size_) : std::span<const uint8_t>();
    }

private:
    void* data_ = nullptr;
    size_t size_ = 0;
};

// Takes the finished jobs off the machine's spooler when the run ends: the
// job is in the user's file, and the machine does not grow with every run.
struct SpoolerCleanup {
    ~SpoolerCleanup() { w32::ClearJobs(); }
};

// Sheets of paper the job prints, counted operator by operator as the job
// decodes. Each BeginPage is one side of a sheet: a two-sided job marks the
// front of each sheet (DuplexPageSide) and writes its back with or without
// a mark; every other side is a sheet of its own. A sheet prints as often
// as its EndPage's PageCopies say (the PJL copies when it has none).
class SheetCounter {
public:
    void Add(const tam::job::Operator& op) {
        if (op.name == "BeginPage") {
            const tam::job::Attribute* side = op.Find("DuplexPageSide");
            const std::string_view sideName = side ? tam::job::EnumName(side->id, side->value.Int()) : "";
            const bool back = sideName == "eBackMediaSide" || (!side && backPending_);
            backPending_ = sideName == "eFrontMediaSide";
            frontOpen_ = !back;
        } else if (op.name == "EndPage" && frontOpen_) {
            frontOpen_ = false;
            const std::optional<int64_t> copies = op.Int("PageCopies");
            if (copies && *copies > 0)
                sheets_ += size_t(*copies);
            else
                ++withoutCopies_;
        }
    }

    size_t Sheets(const tam::job::DecodedJob& job) const {
        size_t jobCopies = 1;
        if (const auto text = job.PjlValue("COPIES")) {
            char* end = nullptr;
            const long value = std::strtol(text->c_str(), &end, 10);
            if (end != text->c_str() && value > 0) jobCopies = size_t(value);
        }
        return sheets_ + withoutCopies_ * jobCopies;
    }

private:
    bool backPending_ = false;  // the last side was the front of a two-sided sheet
    bool frontOpen_ = false;    // a side that starts a sheet is open
    size_t sheets_ = 0;
    size_t withoutCopies_ = 0;  // sheets whose EndPage gives no copies
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
    SpooledJob job;
    const bool printed = PrintDocument(document, settings.Devmode(), progress, job, failure);
    if (progressShown) std::fputc('\n', stderr);
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
    std::printf("  settings: %s\n", DescribeSettings(settings.Devmode()).c_str());
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
