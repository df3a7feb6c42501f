// The layer's view of threads: ids, and what other parts of the layer are
// told when a thread made by CreateThread starts and ends.
#pragma once
#include <windows.h>

namespace w32 {

// The calling thread's id. A thread made by CreateThread has the id that
// CreateThread reported; any other thread gets one on first use. Ids are
// multiples of four and never reused within the process.
DWORD CurrentThreadId();

// The id of the process's main thread (the thread that loaded the layer).
DWORD MainThreadId();

// Told about every thread made by CreateThread or _beginthreadex, on that
// thread: before its start routine runs, and after it returns or the thread
// calls ExitThread (before the thread's handle is signalled). Observers are
// added once and live as long as the process (the loader uses this for the
// thread attach and detach calls of module entry points).
class ThreadObserver {
public:
    virtual ~ThreadObserver() = default;
    virtual void ThreadAttached() {}
    virtual void ThreadDetached() {}
};
void AddThreadObserver(ThreadObserver* observer);

}  // namespace w32
