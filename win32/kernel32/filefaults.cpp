// The fault set of the layer's files (filefaults.h).
#include "kernel32/filefaults.h"

#include <mutex>

#include "kernel32/fileobject.h"
#include "kernel32/wildcard.h"
#include "machine/unicode.h"

namespace w32 {

namespace {

struct FaultState {
    FileFaults faults;
    DWORD reads = 0;   // matching reads counted since the set was made
    DWORD writes = 0;  // matching writes likewise
};

std::mutex gFaultLock;
FaultState gFaults;

bool Matches(const files::FileObject& file) {
    if (gFaults.faults.namePattern.empty() || file.IsDirectory()) return false;
    const std::u16string name = FromUtf8(file.HostPath().filename().string());
    return files::MatchesPattern(name, gFaults.faults.namePattern);
}

}  // namespace

void SetFileFaults(const FileFaults& faults) {
    std::lock_guard lock(gFaultLock);
    gFaults = FaultState{faults, 0, 0};
}

void ClearFileFaults() { SetFileFaults(FileFaults{}); }

namespace files {

FaultAction TakeReadFault(const FileObject& file, DWORD size) {
    std::lock_guard lock(gFaultLock);
    if (size == 0 || !gFaults.faults.shortNthRead || !Matches(file)) return FaultAction::None;
    return ++gFaults.reads == gFaults.faults.shortNthRead ? FaultAction::ShortRead : FaultAction::None;
}

FaultAction TakeWriteFault(const FileObject& file, DWORD size, DWORD& error) {
    std::lock_guard lock(gFaultLock);
    if (size == 0 || !gFaults.faults.failNthWrite || !Matches(file)) return FaultAction::None;
    if (++gFaults.writes != gFaults.faults.failNthWrite) return FaultAction::None;
    error = gFaults.faults.writeError;
    return FaultAction::FailWrite;
}

}  // namespace files

}  // namespace w32
