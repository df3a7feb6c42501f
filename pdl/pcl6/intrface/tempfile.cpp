// The process's pending temporary file: one record of a flag and a path,
// deleted when a thread detaches and at the end of every property-sheet call.
#include <windows.h>

#include <mutex>
#include <type_traits>

#include "pcl6/intrface/util.h"

namespace {

struct PendingTempFile {
    std::mutex lock;
    bool pending = false;
    WCHAR path[MAX_PATH] = {};
};

// Constant-initialised and trivially destroyed: the record is there before
// any thread attaches, stays usable for the threads that detach at process
// exit, and leaves nothing behind when a process unloads the module (the
// spooler loads a user-interface DLL for each call it hands over).
constinit PendingTempFile gPending;

PendingTempFile& Pending() { return gPending; }

static_assert(std::is_trivially_destructible_v<PendingTempFile>);

}  // namespace

BOOL SetPendingTempFile(LPCWSTR path) {
    if (!path || !*path) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    // A cut path would name another file: refuse what does not fit.
    if (lstrlenW(path) >= MAX_PATH) {
        SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return FALSE;
    }
    auto& record = Pending();
    std::lock_guard guard(record.lock);
    lstrcpynW(record.path, path, MAX_PATH);
    record.pending = true;
    return TRUE;
}

void DeletePendingTempFile() {
    auto& record = Pending();
    std::lock_guard guard(record.lock);
    if (!record.pending) return;
    // Runs at the end of calls whose callers may still read the last error.
    DWORD error = GetLastError();
    DeleteFileW(record.path);
    SetLastError(error);
    record.pending = false;
    record.path[0] = 0;
}

void ClearPendingTempFile() {
    auto& record = Pending();
    std::lock_guard guard(record.lock);
    record.pending = false;
    record.path[0] = 0;
}
