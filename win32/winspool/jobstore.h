// The spooler's list of jobs and the documents open on printer handles.
//
// Locks, taken in this order only: the registry's (a spooler call), then an
// open document's, then the list's. The list's lock is never held while a
// job's bytes are written, so that reading the list never waits for a write.
//
// A document's file is closed by whatever ends it: EndDocPrinter,
// AbortPrinter, ClosePrinter, a deletion of the job, a stop of the spooler or
// the machine closing.
#pragma once
#include <windows.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "winspool/jobs.h"

namespace w32::spool {

// A document being printed through a printer handle, from StartDocPrinterW
// to EndDocPrinter or AbortPrinter.
struct PrintJob {
    std::mutex lock;
    DWORD id = 0;
    HANDLE file = INVALID_HANDLE_VALUE;  // open until the document ends
    bool cancelled = false;  // deleted (SetJobW, a purge) while still open
    bool ended = false;      // the spooler stopped or the machine closed under it
    ULONGLONG size = 0;
    DWORD writeCalls = 0;  // writes with at least one byte, for the write behaviours
};
using PrintJobPtr = std::shared_ptr<PrintJob>;

// The folder of the job files and records, and the job file of an id.
std::u16string SpoolDirectory();
std::u16string SpoolFilePath(DWORD id);

DWORD NextJobId();
// Adds a new job with its open document and writes its record; 0 or the
// Win32 error of writing the record.
DWORD AddJob(const JobInfo& record, const PrintJobPtr& job);
// Changes a job's record; `save` writes it to its record file too.
void ChangeJob(DWORD id, const std::function<void(JobInfo&)>& change, bool save);
std::optional<JobInfo> JobRecord(DWORD id);
// The write behaviour for a printer's jobs (the default: none).
PrinterWriteBehaviour WriteBehaviourOf(std::u16string_view printer);

// Deletes a job: its open document (if any) is cancelled and closed, its
// file removed, and it is marked Deleted. False for an unknown id.
bool DeleteJob(DWORD id);
// Deletes every job of a printer (PRINTER_CONTROL_PURGE).
void DeletePrinterJobs(std::u16string_view printer);
// A printer was renamed: its jobs follow it.
void RenamePrinterJobs(std::u16string_view from, std::u16string_view to);
// The number of jobs listed for a printer.
DWORD PrinterJobCount(std::u16string_view printer);
// Ends every open document as Error (the spooler stopped).
void EndOpenJobs();

// Ends a document as EndDocPrinter does: the job is Printed (unless it was
// deleted or ended meanwhile).
void EndJob(PrintJob& job);
// Ends a document as AbortPrinter does: its file is removed and the job Deleted.
void AbortJob(PrintJob& job);

}  // namespace w32::spool
