// Print jobs: what StartDocPrinterW, WritePrinter and EndDocPrinter leave on
// the machine, for tests and tools to read, and the hooks that make the
// spooler misbehave on purpose.
//
// The model:
//  - Every job gets an id from a counter of the machine: ids only grow, also
//    across reopening the machine and clearing the list.
//  - Its bytes go into its own job file "<id>.SPL" in the spool folder
//    C:\Windows\System32\spool\PRINTERS (the id in at least five digits:
//    "00007.SPL"), or into the caller's file when DOC_INFO_1W names a
//    pOutputFile. Each WritePrinter call is one write of the host file;
//    nothing is buffered, so the file holds every byte taken so far while
//    the job is spooling. Only raw data types are taken ("RAW" and its
//    form-feed variants): others would need a print processor to play them.
//  - A job without a document name (pDocName null) is "No Document Name",
//    as the queue shows such a job; an empty name stays empty.
//  - ClosePrinter with a document open ends it as EndDocPrinter does. A
//    printer deleted with a document open keeps it for the handle until it
//    is ended or aborted (a printer pending deletion); no new one starts.
//  - Beside the job file lies "<id>.SHD", the job's record (printer,
//    document, user, size, pages, state, time submitted, where the bytes
//    are). When the machine opens, the spooler reads these records back, so a
//    second run of a tool sees the jobs of the first. A job that was still
//    spooling when its machine closed (or its spooler stopped) is kept with
//    the state Error and the bytes it got.
//  - Jobs stay in the list when they are done, as on a printer that keeps
//    printed jobs: Printed after EndDocPrinter (or ClosePrinter with the
//    document still open), Deleted after AbortPrinter, SetJobW's
//    JOB_CONTROL_DELETE / JOB_CONTROL_CANCEL or a purge of the printer. A
//    deleted job's file is removed (a finished print-to-file job keeps the
//    caller's file). Only ClearJobs takes jobs off the list.
#pragma once
#include <windows.h>

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace w32 {

enum class JobState : DWORD {
    Spooling = 0,  // a document is open on a printer handle
    Printed = 1,   // the document was ended; the file holds the whole job
    Deleted = 2,   // aborted or deleted; the job file is gone
    Error = 3,     // the spooler went away before the document ended
};

struct JobInfo {
    DWORD id = 0;
    JobState state = JobState::Spooling;
    std::u16string printer;   // the printer's name when the job was last changed
    std::u16string document;  // "No Document Name" when the caller gave none
    std::u16string user;
    std::u16string datatype;  // "RAW"
    std::u16string driver;
    std::u16string printProcessor;
    std::u16string file;        // Windows path of the job's bytes
    bool toOutputFile = false;  // `file` is the caller's pOutputFile, not a spool file
    ULONGLONG size = 0;         // bytes taken so far
    DWORD pages = 0;            // StartPagePrinter calls
    FILETIME submitted{};       // UTC, from the machine's clock
    std::vector<BYTE> devMode;  // the settings the job was started with; empty for none
};

// The jobs of a printer (every job for an empty name), in id order. Names
// compare without regard to case.
std::vector<JobInfo> ListJobs(std::u16string_view printer = {});
std::optional<JobInfo> FindJob(DWORD id);
// Where the job's bytes lie on the host (empty for an unknown job).
std::filesystem::path JobHostPath(DWORD id);
// The bytes of a job's file; nullopt for an unknown job or a missing file.
std::optional<std::vector<BYTE>> ReadJobBytes(DWORD id);
// Takes every job that is not spooling off the list, removing its spool file
// and record (a caller's output file stays).
void ClearJobs();

// How the spooler takes the bytes of WritePrinter, for tests of a caller's
// error handling. A behaviour applies to each write from the moment it is
// set; writes are counted per job, from 1, counting only calls with at least
// one byte. A write goes through these steps in order:
//   1. failNthWrite: that write fails: FALSE, nothing taken, last error
//      failError.
//   2. The write takes at most maxBytesPerCall bytes, and every
//      shortWriteEvery-th write only half of what it asks (rounded up, so a
//      caller that writes the rest again always gets on). Such a short write
//      returns TRUE with the smaller count.
//   3. failAfterBytes: a write that would carry the job past that many
//      bytes takes the bytes up to it and fails (FALSE, *pcWritten = the
//      bytes taken, last error failError); every later write of the job
//      fails taking nothing.
//   4. acceptTotal: the job holds at most that many bytes, as a full disk
//      would allow: a write that does not fit whole takes nothing and fails
//      with ERROR_DISK_FULL.
// Behaviours belong to the machine's run: closing the machine drops them.
struct PrinterWriteBehaviour {
    DWORD failNthWrite = 0;  // 0: none
    DWORD maxBytesPerCall = 0;  // 0: no limit
    DWORD shortWriteEvery = 0;  // 0: none
    std::optional<ULONGLONG> failAfterBytes;
    std::optional<ULONGLONG> acceptTotal;
    DWORD failError = ERROR_WRITE_FAULT;
};

// Sets the behaviour of a printer's writes (an empty name: of every printer
// that has none of its own).
void SetPrinterWriteBehaviour(std::u16string_view printer, const PrinterWriteBehaviour& behaviour);
void ClearPrinterWriteBehaviours();

}  // namespace w32
