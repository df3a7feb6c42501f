// Objects a thread can wait for (threads, events, mutexes, semaphores and
// whatever other module of the layer adds): their state is guarded by the
// process-wide wait lock, Clock::Mutex(), and whoever changes it calls
// Clock::NotifyAll() before letting go of the lock.
#pragma once
#include <memory>

#include "kernel32/handles.h"
#include "machine/clock.h"

namespace w32 {

class WaitableObject : public KernelObject {
public:
    // Both with the wait lock held. Whether `threadId` could take the object
    // now; this must not change anything (it also answers for other threads).
    virtual bool IsSignalled(DWORD threadId) const = 0;
    // Takes the object for `threadId` (resets an auto-reset event, counts a
    // semaphore down, owns a mutex). True when the object was a mutex whose
    // owner ended without releasing it.
    virtual bool Acquire(DWORD threadId) {
        (void)threadId;
        return false;
    }
    // With the wait lock held: what SignalObjectAndWait does to the object
    // (sets an event, releases a mutex, releases one count of a semaphore).
    // Returns ERROR_SUCCESS or the Win32 error of the refusal.
    virtual DWORD Signal(DWORD threadId) {
        (void)threadId;
        return ERROR_INVALID_HANDLE;
    }
};

// The waitable object behind a handle, with GetCurrentThread() and
// GetCurrentProcess() as objects that never signal (the caller cannot
// outlive itself). Null when the handle is not open or not waitable.
std::shared_ptr<WaitableObject> LookupWaitable(HANDLE handle);

// The clock of the current machine.
Clock& CurrentClock();

}  // namespace w32
