#include "winspool/jobstore.h"

#include <cstdio>
#include <fstream>
#include <map>

#include "machine/machine.h"
#include "machine/paths.h"
#include "winspool/jobshadow.h"

namespace w32::spool {

namespace {

constexpr char16_t kSpoolDirectory[] = u"C:\\Windows\\System32\\spool\\PRINTERS";
// In the machine's folder, beside its settings: the next job id, so that ids
// keep growing after the list has been cleared.
constexpr char kCounterFile[] = "spooler-next-job-id";

struct Entry {
    JobInfo record;
    std::weak_ptr<PrintJob> open;
};

// The jobs of the current machine.
struct Store {
    std::filesystem::path driveRoot;     // empty for a machine without a drive
    std::filesystem::path machineFolder;
    DWORD nextId = 1;
    std::map<DWORD, Entry> jobs;
    std::map<std::u16string, PrinterWriteBehaviour> behaviours;  // by folded printer name; "" for every printer
};

std::mutex gLock;
Store gStore;

std::u16string Fold(std::u16string_view name) {
    std::u16string folded(name);
    for (auto& c : folded) c = FoldNameChar(c);
    return folded;
}

// "00007": at least five digits, as Windows numbers its spool files.
std::u16string IdText(DWORD id) {
    char text[16];
    std::snprintf(text, sizeof(text), "%05u", unsigned(id));
    return std::u16string(text, text + std::char_traits<char>::length(text));
}

// Host paths; empty on a machine without a drive. Called with gLock held.
std::filesystem::path HostOf(std::u16string_view windowsPath) {
    if (gStore.driveRoot.empty() || windowsPath.empty()) return {};
    return ResolveOnDrive(gStore.driveRoot, NormalizeWindowsPath(windowsPath, u"C:\\")).host;
}

std::filesystem::path ShadowHost(DWORD id) {
    return HostOf(std::u16string(kSpoolDirectory) + u"\\" + IdText(id) + u".SHD");
}

// Writes a job's record beside its file: a new file renamed over the old
// one, so that a reader finds the old record or the new, never a part.
DWORD SaveShadow(const JobInfo& job) {
    std::filesystem::path target = ShadowHost(job.id);
    if (target.empty()) return ERROR_SUCCESS;
    std::filesystem::path temporary = target;
    temporary += ".new";
    std::vector<BYTE> bytes = EncodeJobShadow(job);
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        if (!out.flush()) {
            std::error_code ec;
            std::filesystem::remove(temporary, ec);
            return ERROR_WRITE_FAULT;
        }
    }
    std::error_code ec;
    std::filesystem::rename(temporary, target, ec);
    return ec ? DWORD(ERROR_WRITE_FAULT) : DWORD(ERROR_SUCCESS);
}

void RemoveHost(const std::filesystem::path& path) {
    std::error_code ec;
    if (!path.empty()) std::filesystem::remove(path, ec);
}

// Marks a job Deleted and removes its bytes: the spool file always, the
// caller's output file only while it is incomplete. Called with gLock held.
void MarkDeleted(JobInfo& job) {
    if (job.state == JobState::Deleted) return;
    if (!job.toOutputFile || job.state == JobState::Spooling) RemoveHost(HostOf(job.file));
    job.state = JobState::Deleted;
    SaveShadow(job);
}

bool EndsWithShadow(const std::filesystem::path& path) {
    std::u16string name = path.filename().u16string();
    return name.size() > 4 && NamesEqual(std::u16string_view(name).substr(name.size() - 4), u".SHD");
}

// Reads the records beside the job files. A job that was spooling when the
// machine last closed without ending it is kept as Error with the bytes its
// file holds.
void Load() {
    std::filesystem::path folder = HostOf(kSpoolDirectory);
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        if (!EndsWithShadow(it->path())) continue;
        std::ifstream in(it->path(), std::ios::binary);
        std::vector<BYTE> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        JobInfo job;
        if (!DecodeJobShadow(bytes, job) || gStore.jobs.count(job.id)) continue;
        if (job.state == JobState::Spooling) {
            std::error_code sizeError;
            auto size = std::filesystem::file_size(HostOf(job.file), sizeError);
            if (!sizeError) job.size = size;
            job.state = JobState::Error;
            SaveShadow(job);
        }
        gStore.nextId = std::max(gStore.nextId, job.id + 1);
        gStore.jobs[job.id].record = std::move(job);
    }
    std::ifstream counter(gStore.machineFolder / kCounterFile);
    unsigned long saved = 0;
    if (counter >> saved && saved > gStore.nextId && saved <= 0xFFFFFFFFul) gStore.nextId = DWORD(saved);
}

void SaveCounter() {
    if (gStore.machineFolder.empty()) return;
    std::ofstream out(gStore.machineFolder / kCounterFile, std::ios::trunc);
    out << gStore.nextId << "\n";
}

void Reset(const Machine* machine) {
    gStore = Store{};
    if (machine && machine->HasDrive()) {
        gStore.driveRoot = machine->DriveRoot();
        gStore.machineFolder = machine->Folder();
    }
}

std::vector<PrintJobPtr> OpenJobs() {
    std::vector<PrintJobPtr> open;
    std::lock_guard lock(gLock);
    for (auto& [id, entry] : gStore.jobs)
        if (auto job = entry.open.lock()) open.push_back(job);
    return open;
}

void CloseFile(PrintJob& job) {
    if (job.file == INVALID_HANDLE_VALUE) return;
    CloseHandle(job.file);
    job.file = INVALID_HANDLE_VALUE;
}

class JobComponent final : public MachineComponent {
public:
    // After the spooler, so that its jobs end before it does.
    int Rank() const override { return 31; }
    void Create(Machine& machine) override {
        std::lock_guard lock(gLock);
        Reset(&machine);
    }
    void Open(Machine& machine) override {
        std::lock_guard lock(gLock);
        Reset(&machine);
        Load();
    }
    void Close(Machine&) override {
        EndOpenJobs();
        std::lock_guard lock(gLock);
        SaveCounter();
        Reset(nullptr);
    }
};

JobComponent gComponent;
[[maybe_unused]] const bool gRegistered = (RegisterMachineComponent(&gComponent), true);

}  // namespace

std::u16string SpoolDirectory() { return kSpoolDirectory; }

std::u16string SpoolFilePath(DWORD id) { return std::u16string(kSpoolDirectory) + u"\\" + IdText(id) + u".SPL"; }

DWORD NextJobId() {
    std::lock_guard lock(gLock);
    DWORD id = gStore.nextId++;
    if (gStore.nextId == 0) gStore.nextId = 1;
    return id;
}

DWORD AddJob(const JobInfo& record, const PrintJobPtr& job) {
    std::lock_guard lock(gLock);
    if (DWORD status = SaveShadow(record)) return status;
    Entry& entry = gStore.jobs[record.id];
    entry.record = record;
    entry.open = job;
    return ERROR_SUCCESS;
}

void ChangeJob(DWORD id, const std::function<void(JobInfo&)>& change, bool save) {
    std::lock_guard lock(gLock);
    auto it = gStore.jobs.find(id);
    if (it == gStore.jobs.end()) return;
    change(it->second.record);
    if (save) SaveShadow(it->second.record);
}

std::optional<JobInfo> JobRecord(DWORD id) {
    std::lock_guard lock(gLock);
    auto it = gStore.jobs.find(id);
    if (it == gStore.jobs.end()) return std::nullopt;
    return it->second.record;
}

PrinterWriteBehaviour WriteBehaviourOf(std::u16string_view printer) {
    std::lock_guard lock(gLock);
    if (gStore.behaviours.empty()) return {};
    auto it = gStore.behaviours.find(Fold(printer));
    if (it == gStore.behaviours.end()) it = gStore.behaviours.find(u"");
    return it == gStore.behaviours.end() ? PrinterWriteBehaviour{} : it->second;
}

bool DeleteJob(DWORD id) {
    PrintJobPtr open;
    {
        std::lock_guard lock(gLock);
        auto it = gStore.jobs.find(id);
        if (it == gStore.jobs.end()) return false;
        open = it->second.open.lock();
    }
    std::unique_lock<std::mutex> jobLock;
    if (open) {
        jobLock = std::unique_lock(open->lock);
        CloseFile(*open);
        open->cancelled = true;
    }
    std::lock_guard lock(gLock);
    auto it = gStore.jobs.find(id);
    if (it != gStore.jobs.end()) MarkDeleted(it->second.record);
    return true;
}

void DeletePrinterJobs(std::u16string_view printer) {
    for (const JobInfo& job : ListJobs(printer)) DeleteJob(job.id);
}

void RenamePrinterJobs(std::u16string_view from, std::u16string_view to) {
    std::lock_guard lock(gLock);
    for (auto& [id, entry] : gStore.jobs) {
        if (!NamesEqual(entry.record.printer, from)) continue;
        entry.record.printer = std::u16string(to);
        SaveShadow(entry.record);
    }
}

DWORD PrinterJobCount(std::u16string_view printer) {
    std::lock_guard lock(gLock);
    DWORD count = 0;
    for (const auto& [id, entry] : gStore.jobs) count += NamesEqual(entry.record.printer, printer);
    return count;
}

void EndOpenJobs() {
    for (const PrintJobPtr& job : OpenJobs()) {
        std::lock_guard jobLock(job->lock);
        CloseFile(*job);
        if (job->cancelled || job->ended) continue;
        job->ended = true;
        ChangeJob(
            job->id,
            [&](JobInfo& record) {
                record.state = JobState::Error;
                record.size = job->size;
            },
            true);
    }
}

void EndJob(PrintJob& job) {
    std::lock_guard jobLock(job.lock);
    CloseFile(job);
    if (job.cancelled || job.ended) return;
    job.ended = true;
    ChangeJob(
        job.id,
        [&](JobInfo& record) {
            record.state = JobState::Printed;
            record.size = job.size;
        },
        true);
}

void AbortJob(PrintJob& job) {
    std::lock_guard jobLock(job.lock);
    CloseFile(job);
    if (job.cancelled || job.ended) return;
    job.cancelled = true;
    std::lock_guard lock(gLock);
    auto it = gStore.jobs.find(job.id);
    if (it != gStore.jobs.end()) MarkDeleted(it->second.record);
}

}  // namespace w32::spool

namespace w32 {

using spool::gLock;
using spool::gStore;

std::vector<JobInfo> ListJobs(std::u16string_view printer) {
    std::lock_guard lock(gLock);
    std::vector<JobInfo> jobs;
    for (const auto& [id, entry] : gStore.jobs)
        if (printer.empty() || NamesEqual(entry.record.printer, printer)) jobs.push_back(entry.record);
    return jobs;
}

std::optional<JobInfo> FindJob(DWORD id) { return spool::JobRecord(id); }

std::filesystem::path JobHostPath(DWORD id) {
    std::lock_guard lock(gLock);
    auto it = gStore.jobs.find(id);
    return it == gStore.jobs.end() ? std::filesystem::path() : spool::HostOf(it->second.record.file);
}

std::optional<std::vector<BYTE>> ReadJobBytes(DWORD id) {
    std::filesystem::path path = JobHostPath(id);
    if (path.empty()) return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    return std::vector<BYTE>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void ClearJobs() {
    std::lock_guard lock(gLock);
    for (auto it = gStore.jobs.begin(); it != gStore.jobs.end();) {
        const JobInfo& job = it->second.record;
        if (job.state == JobState::Spooling) {
            ++it;
            continue;
        }
        if (!job.toOutputFile) spool::RemoveHost(spool::HostOf(job.file));
        spool::RemoveHost(spool::ShadowHost(job.id));
        it = gStore.jobs.erase(it);
    }
    spool::SaveCounter();
}

void SetPrinterWriteBehaviour(std::u16string_view printer, const PrinterWriteBehaviour& behaviour) {
    std::lock_guard lock(gLock);
    gStore.behaviours[spool::Fold(printer)] = behaviour;
}

void ClearPrinterWriteBehaviours() {
    std::lock_guard lock(gLock);
    gStore.behaviours.clear();
}

}  // namespace w32
