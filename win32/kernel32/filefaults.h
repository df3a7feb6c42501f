// Faults on demand for the files of the layer, for tests of a caller's
// handling of failed writes and short reads.
//
// A fault set applies to the disk files whose name (the last part of the
// path the file was opened with, as it is spelled on disk) matches
// `namePattern` (* and ? as FindFirstFileW reads them, without regard to
// case); an empty pattern matches no file. From the moment the set is made,
// the ReadFile and WriteFile calls on matching files that move at least one
// byte are counted, reads and writes apart, from 1:
//   - failNthWrite: that WriteFile fails: FALSE, nothing written,
//     *lpNumberOfBytesWritten 0, last error writeError.
//   - shortNthRead: that ReadFile reads only half of what it asks (rounded
//     down, so a one-byte read reads nothing) and returns TRUE with that
//     count; the file position moves by what was read. For a disk file a
//     short count means the end of the file, so a caller that copies a
//     range sees the file end early.
// Each fault fires once. The set lasts until it is replaced or cleared;
// calls on other files, pipes and devices are never touched.
#pragma once
#include <windows.h>

#include <string>

namespace w32 {

struct FileFaults {
    std::u16string namePattern;
    DWORD failNthWrite = 0;  // 0: none
    DWORD writeError = ERROR_WRITE_FAULT;
    DWORD shortNthRead = 0;  // 0: none
};

void SetFileFaults(const FileFaults& faults);
void ClearFileFaults();

namespace files {

class FileObject;

// What the fault set does to one transfer on `file` of `size` bytes.
enum class FaultAction { None, FailWrite, ShortRead };
FaultAction TakeReadFault(const FileObject& file, DWORD size);
// FailWrite with the error to report, or None.
FaultAction TakeWriteFault(const FileObject& file, DWORD size, DWORD& error);

}  // namespace files

}  // namespace w32
