// Print jobs: StartDocPrinterW to EndDocPrinter, and the job list as
// EnumJobsW, GetJobW and SetJobW show it. The model (job files, records,
// states, the write behaviours of tests) is described in jobs.h.
#include <windows.h>

#include <algorithm>

#include "machine/machine.h"
#include "machine/paths.h"
#include "winspool/jobs.h"
#include "winspool/jobstore.h"
#include "winspool/packer.h"
#include "winspool/printhandle.h"
#include "winspool/spooler.h"
#include "winspool/store.h"

using namespace w32::spool;
using w32::JobInfo;
using w32::JobState;
using w32::RegistryKeyPtr;

namespace {

// The document name of a job whose caller gave none.
constexpr char16_t kNoDocumentName[] = u"No Document Name";

// The data types whose bytes the spooler keeps as they come; the others
// (EMF, TEXT) would need a print processor to play them.
bool IsRawDatatype(std::u16string_view datatype) {
    return w32::NamesEqual(datatype, u"RAW") || w32::NamesEqual(datatype, u"RAW [FF appended]") ||
           w32::NamesEqual(datatype, u"RAW [FF auto]");
}

// The document open on a handle. A printer deleted while the document is
// open stays for its handles until they end it, as a printer pending
// deletion does; a new document cannot start on it.
DWORD ResolveJob(Call& call, HANDLE hPrinter, PrinterHandlePtr& handle, std::u16string& printer) {
    RegistryKeyPtr key;
    DWORD status = ResolvePrinter(call, hPrinter, handle, key);
    if (status == ERROR_PRINTER_DELETED && handle->job) {
        auto record = JobRecord(handle->job->id);
        printer = record ? record->printer : std::u16string();
        return ERROR_SUCCESS;
    }
    if (status) return status;
    if (!handle->job) return ERROR_SPL_NO_STARTDOC;
    printer = key->Name();
    return ERROR_SUCCESS;
}

DWORD StartDocImpl(Call& call, HANDLE hPrinter, DWORD level, const BYTE* docInfo, DWORD& id) {
    PrinterHandlePtr handle;
    RegistryKeyPtr key;
    if (DWORD status = ResolvePrinter(call, hPrinter, handle, key)) return status;
    if (!(handle->access & PRINTER_ACCESS_USE)) return ERROR_ACCESS_DENIED;
    if (level != 1) return ERROR_INVALID_LEVEL;
    if (!docInfo) return ERROR_INVALID_PARAMETER;
    if (handle->job) return ERROR_INVALID_PRINTER_STATE;
    DOC_INFO_1W info;
    std::memcpy(&info, docInfo, sizeof(info));
    std::u16string datatype = info.pDatatype ? std::u16string(info.pDatatype) : handle->datatype;
    if (datatype.empty()) datatype = u"RAW";
    if (!IsRawDatatype(datatype)) return ERROR_INVALID_DATATYPE;

    w32::Machine& machine = w32::Machine::Current();
    PrinterRecord printer = ReadPrinter(call, key);
    JobInfo record;
    record.id = NextJobId();
    record.state = JobState::Spooling;
    record.printer = printer.name;
    record.document = info.pDocName ? std::u16string(info.pDocName) : std::u16string(kNoDocumentName);
    record.user = machine.Settings().userName;
    record.datatype = datatype;
    record.driver = printer.driver;
    record.printProcessor = printer.printProcessor;
    record.submitted = [&] {
        ULONGLONG now = machine.TheClock().NowFileTime();
        return FILETIME{DWORD(now), DWORD(now >> 32)};
    }();
    record.devMode = !handle->devMode.empty()         ? handle->devMode
                     : !printer.userDevMode.empty() ? printer.userDevMode
                                                    : printer.devMode;
    // Printing to a file: the caller's path, relative to the current folder.
    record.toOutputFile = info.pOutputFile && *info.pOutputFile;
    std::u16string target = record.toOutputFile ? std::u16string(info.pOutputFile) : SpoolFilePath(record.id);
    record.file = record.toOutputFile ? w32::NormalizeWindowsPath(target, machine.WorkingDirectory()) : target;

    DWORD lastError = GetLastError();
    HANDLE file = CreateFileW(target.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return GetLastError();
    SetLastError(lastError);
    auto job = std::make_shared<PrintJob>();
    job->id = record.id;
    job->file = file;
    if (DWORD status = AddJob(record, job)) {
        CloseHandle(file);
        DeleteFileW(target.c_str());
        return status;
    }
    handle->job = job;
    id = record.id;
    return ERROR_SUCCESS;
}

// One WritePrinter call on an open document, through the printer's write
// behaviour (jobs.h): at most one write of the host file.
DWORD WriteJob(PrintJob& job, std::u16string_view printer, const BYTE* data, DWORD size, DWORD& written) {
    written = 0;
    const w32::PrinterWriteBehaviour behaviour = WriteBehaviourOf(printer);
    std::lock_guard lock(job.lock);
    if (job.cancelled) return ERROR_PRINT_CANCELLED;
    if (job.ended || job.file == INVALID_HANDLE_VALUE) return ERROR_INVALID_HANDLE;
    if (size == 0) return ERROR_SUCCESS;
    const DWORD call = ++job.writeCalls;
    if (call == behaviour.failNthWrite) return behaviour.failError;
    DWORD take = size;
    if (behaviour.maxBytesPerCall) take = std::min(take, behaviour.maxBytesPerCall);
    if (behaviour.shortWriteEvery && call % behaviour.shortWriteEvery == 0) take = std::min(take, size - size / 2);
    bool failsAtLimit = false;
    if (behaviour.failAfterBytes) {
        const ULONGLONG limit = *behaviour.failAfterBytes;
        if (job.size >= limit) return behaviour.failError;
        if (job.size + take > limit) {
            take = DWORD(limit - job.size);
            failsAtLimit = true;
        }
    }
    if (behaviour.acceptTotal && job.size + take > *behaviour.acceptTotal) return ERROR_DISK_FULL;

    DWORD done = 0;
    DWORD status = WriteFile(job.file, data, take, &done, nullptr) ? DWORD(ERROR_SUCCESS) : GetLastError();
    job.size += done;
    written = done;
    const ULONGLONG total = job.size;
    ChangeJob(job.id, [total](JobInfo& record) { record.size = total; }, false);
    if (status) return status;
    return failsAtLimit ? behaviour.failError : DWORD(ERROR_SUCCESS);
}

// --- The job list ---------------------------------------------------------------------

struct ListedJob {
    JobInfo job;
    DWORD position;  // 1-based place in its printer's queue
};

DWORD StatusBits(JobState state) {
    switch (state) {
        case JobState::Spooling: return JOB_STATUS_SPOOLING;
        case JobState::Printed: return JOB_STATUS_PRINTED;
        case JobState::Deleted: return JOB_STATUS_DELETED;
        case JobState::Error: return JOB_STATUS_ERROR;
    }
    return 0;
}

SYSTEMTIME SystemTimeOf(const FILETIME& time) {
    SYSTEMTIME out{};
    FileTimeToSystemTime(&time, &out);
    return out;
}

// The machine that submitted the job: this one.
std::u16string MachineName() { return u"\\\\" + w32::Machine::Current().Settings().computerName; }

void Fill1(Packer& p, const ListedJob& listed, JOB_INFO_1W& out, const std::u16string& machine) {
    const JobInfo& j = listed.job;
    out.JobId = j.id;
    out.pPrinterName = p.String(j.printer);
    out.pMachineName = p.String(machine);
    out.pUserName = p.String(j.user);
    out.pDocument = p.String(j.document);
    out.pDatatype = p.String(j.datatype);
    out.pStatus = nullptr;  // a port monitor's text; none here
    out.Status = StatusBits(j.state);
    out.Priority = DEF_PRIORITY;
    out.Position = listed.position;
    out.TotalPages = j.pages;
    out.PagesPrinted = j.state == JobState::Printed ? j.pages : 0;
    out.Submitted = SystemTimeOf(j.submitted);
}

void Fill2(Packer& p, const ListedJob& listed, JOB_INFO_2W& out, const std::u16string& machine) {
    const JobInfo& j = listed.job;
    out.JobId = j.id;
    out.pPrinterName = p.String(j.printer);
    out.pMachineName = p.String(machine);
    out.pUserName = p.String(j.user);
    out.pDocument = p.String(j.document);
    out.pNotifyName = p.String(j.user);
    out.pDatatype = p.String(j.datatype);
    out.pPrintProcessor = p.String(j.printProcessor);
    out.pParameters = p.String(u"");
    out.pDriverName = p.String(j.driver);
    out.pDevMode = static_cast<LPDEVMODEW>(p.Bytes(j.devMode));
    out.pStatus = nullptr;
    out.pSecurityDescriptor = nullptr;
    out.Status = StatusBits(j.state);
    out.Priority = DEF_PRIORITY;
    out.Position = listed.position;
    out.StartTime = 0;
    out.UntilTime = 0;
    out.TotalPages = j.pages;
    // JOB_INFO_2W counts bytes in 32 bits; a larger job shows the largest count.
    out.Size = DWORD(std::min<ULONGLONG>(j.size, 0xFFFFFFFFu));
    out.Submitted = SystemTimeOf(j.submitted);
    out.Time = 0;
    out.PagesPrinted = j.state == JobState::Printed ? j.pages : 0;
}

DWORD CheckJobLevel(DWORD level) {
    if (level == 1 || level == 2) return ERROR_SUCCESS;
    // Levels 3 (job chains) and 4 (sizes in 64 bits) are not kept.
    if (level == 3 || level == 4) return ERROR_NOT_SUPPORTED;
    return ERROR_INVALID_LEVEL;
}

DWORD PackJobs(const std::vector<ListedJob>& jobs, DWORD level, LPBYTE buffer, DWORD size, LPDWORD needed,
               LPDWORD returned) {
    const std::u16string machine = MachineName();
    if (level == 1) {
        auto fill = [&](Packer& p, const ListedJob& j, JOB_INFO_1W& out) { Fill1(p, j, out, machine); };
        return PackRecords<JOB_INFO_1W>(jobs, fill, buffer, size, needed, returned);
    }
    auto fill = [&](Packer& p, const ListedJob& j, JOB_INFO_2W& out) { Fill2(p, j, out, machine); };
    return PackRecords<JOB_INFO_2W>(jobs, fill, buffer, size, needed, returned);
}

std::vector<ListedJob> QueueOf(const std::u16string& printer) {
    std::vector<ListedJob> queue;
    for (JobInfo& job : w32::ListJobs(printer)) queue.push_back({std::move(job), DWORD(queue.size() + 1)});
    return queue;
}

DWORD EnumJobsImpl(Call& call, HANDLE hPrinter, DWORD first, DWORD count, DWORD level, LPBYTE buffer, DWORD size,
                   LPDWORD needed, LPDWORD returned) {
    if (DWORD status = CheckBufferArguments(buffer, size, needed, returned, true)) return status;
    PrinterHandlePtr handle;
    RegistryKeyPtr key;
    if (DWORD status = ResolvePrinter(call, hPrinter, handle, key)) return status;
    if (DWORD status = CheckJobLevel(level)) return status;
    std::vector<ListedJob> queue = QueueOf(key->Name());
    std::vector<ListedJob> chosen;
    for (size_t i = first; i < queue.size() && chosen.size() < count; ++i) chosen.push_back(queue[i]);
    return PackJobs(chosen, level, buffer, size, needed, returned);
}

// A job of the handle's printer; ERROR_INVALID_PARAMETER for any other id.
DWORD FindPrinterJob(const RegistryKeyPtr& key, DWORD id, ListedJob& found) {
    for (ListedJob& listed : QueueOf(key->Name())) {
        if (listed.job.id != id) continue;
        found = std::move(listed);
        return ERROR_SUCCESS;
    }
    return ERROR_INVALID_PARAMETER;
}

DWORD GetJobImpl(Call& call, HANDLE hPrinter, DWORD id, DWORD level, LPBYTE buffer, DWORD size, LPDWORD needed) {
    if (DWORD status = CheckBufferArguments(buffer, size, needed, nullptr, false)) return status;
    PrinterHandlePtr handle;
    RegistryKeyPtr key;
    if (DWORD status = ResolvePrinter(call, hPrinter, handle, key)) return status;
    if (DWORD status = CheckJobLevel(level)) return status;
    ListedJob job;
    if (DWORD status = FindPrinterJob(key, id, job)) return status;
    return PackJobs({job}, level, buffer, size, needed, nullptr);
}

DWORD SetJobImpl(Call& call, HANDLE hPrinter, DWORD id, DWORD level, DWORD command) {
    PrinterHandlePtr handle;
    RegistryKeyPtr key;
    if (DWORD status = ResolvePrinter(call, hPrinter, handle, key)) return status;
    if (level > 4) return ERROR_INVALID_LEVEL;
    ListedJob job;
    if (DWORD status = FindPrinterJob(key, id, job)) return status;
    // Changing a job's document name, priority or position is not kept.
    if (level != 0) return ERROR_NOT_SUPPORTED;
    // A user may delete his own jobs; others' need the printer's administration right.
    if (!w32::NamesEqual(job.job.user, w32::Machine::Current().Settings().userName) &&
        !(handle->access & PRINTER_ACCESS_ADMINISTER))
        return ERROR_ACCESS_DENIED;
    switch (command) {
        case JOB_CONTROL_CANCEL:
        case JOB_CONTROL_DELETE: DeleteJob(id); return ERROR_SUCCESS;
        // Jobs are never sent on to a device here, so there is nothing to
        // pause, resume or restart.
        case JOB_CONTROL_PAUSE:
        case JOB_CONTROL_RESUME:
        case JOB_CONTROL_RESTART:
        case JOB_CONTROL_SENT_TO_PRINTER:
        case JOB_CONTROL_LAST_PAGE_EJECTED: return ERROR_NOT_SUPPORTED;
    }
    return ERROR_INVALID_PARAMETER;
}

}  // namespace

// --- The functions -----------------------------------------------------------------------

DWORD WINAPI StartDocPrinterW(HANDLE hPrinter, DWORD Level, LPBYTE pDocInfo) {
    Call call;
    DWORD id = 0;
    DWORD status = call.Begin();
    if (!status) status = StartDocImpl(call, hPrinter, Level, pDocInfo, id);
    return EndBool(call, status) ? id : 0;
}

BOOL WINAPI StartPagePrinter(HANDLE hPrinter) {
    return RunBool([&](Call& call) -> DWORD {
        PrinterHandlePtr handle;
        std::u16string printer;
        if (DWORD status = ResolveJob(call, hPrinter, handle, printer)) return status;
        PrintJob& job = *handle->job;
        std::lock_guard lock(job.lock);
        if (job.cancelled) return ERROR_PRINT_CANCELLED;
        ChangeJob(job.id, [](JobInfo& record) { ++record.pages; }, false);
        return ERROR_SUCCESS;
    });
}

BOOL WINAPI EndPagePrinter(HANDLE hPrinter) {
    return RunBool([&](Call& call) -> DWORD {
        PrinterHandlePtr handle;
        std::u16string printer;
        if (DWORD status = ResolveJob(call, hPrinter, handle, printer)) return status;
        std::lock_guard lock(handle->job->lock);
        return handle->job->cancelled ? DWORD(ERROR_PRINT_CANCELLED) : DWORD(ERROR_SUCCESS);
    });
}

BOOL WINAPI WritePrinter(HANDLE hPrinter, LPVOID pBuf, DWORD cbBuf, LPDWORD pcWritten) {
    if (pcWritten) *pcWritten = 0;
    return RunBool([&](Call& call) -> DWORD {
        PrinterHandlePtr handle;
        std::u16string printer;
        if (DWORD status = ResolveJob(call, hPrinter, handle, printer)) return status;
        if (!pcWritten) return ERROR_INVALID_PARAMETER;
        if (!pBuf && cbBuf) return ERROR_INVALID_USER_BUFFER;
        return WriteJob(*handle->job, printer, static_cast<const BYTE*>(pBuf), cbBuf, *pcWritten);
    });
}

BOOL WINAPI EndDocPrinter(HANDLE hPrinter) {
    return RunBool([&](Call& call) -> DWORD {
        PrinterHandlePtr handle;
        std::u16string printer;
        if (DWORD status = ResolveJob(call, hPrinter, handle, printer)) return status;
        EndJob(*handle->job);
        handle->job.reset();
        return ERROR_SUCCESS;
    });
}

BOOL WINAPI AbortPrinter(HANDLE hPrinter) {
    return RunBool([&](Call& call) -> DWORD {
        PrinterHandlePtr handle;
        std::u16string printer;
        if (DWORD status = ResolveJob(call, hPrinter, handle, printer)) return status;
        AbortJob(*handle->job);
        handle->job.reset();
        return ERROR_SUCCESS;
    });
}

BOOL WINAPI EnumJobsW(HANDLE hPrinter, DWORD FirstJob, DWORD NoJobs, DWORD Level, LPBYTE pJob, DWORD cbBuf,
                      LPDWORD pcbNeeded, LPDWORD pcReturned) {
    return RunBool([&](Call& call) {
        return EnumJobsImpl(call, hPrinter, FirstJob, NoJobs, Level, pJob, cbBuf, pcbNeeded, pcReturned);
    });
}

BOOL WINAPI GetJobW(HANDLE hPrinter, DWORD JobId, DWORD Level, LPBYTE pJob, DWORD cbBuf, LPDWORD pcbNeeded) {
    return RunBool([&](Call& call) { return GetJobImpl(call, hPrinter, JobId, Level, pJob, cbBuf, pcbNeeded); });
}

BOOL WINAPI SetJobW(HANDLE hPrinter, DWORD JobId, DWORD Level, LPBYTE pJob, DWORD Command) {
    (void)pJob;  // job settings are not changed (levels other than 0 are refused)
    return RunBool([&](Call& call) { return SetJobImpl(call, hPrinter, JobId, Level, Command); });
}
