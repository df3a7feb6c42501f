// Waits and sleeps, all through the machine clock so that a virtual clock
// moves when the process is idle (see machine/clock.h).
#include <algorithm>
#include <mutex>
#include <thread>
#include <vector>

#include "kernel32/thread.h"
#include "kernel32/waitable.h"
#include "machine/machine.h"

namespace w32 {

namespace {

constexpr ULONG_PTR kCurrentProcessPseudo = ULONG_PTR(-1);
constexpr ULONG_PTR kCurrentThreadPseudo = ULONG_PTR(-2);

// The caller itself, as seen through GetCurrentThread() or GetCurrentProcess().
class NeverSignalled final : public WaitableObject {
public:
    bool IsSignalled(DWORD) const override { return false; }
};

using Objects = std::vector<std::shared_ptr<WaitableObject>>;

// Looks the handles up; false with the last error set when one is bad.
bool LookupAll(DWORD count, const HANDLE* handles, bool waitAll, Objects& objects) {
    if (count == 0 || count > MAXIMUM_WAIT_OBJECTS || !handles) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    for (DWORD i = 0; i < count; ++i) {
        auto object = LookupWaitable(handles[i]);
        if (!object) {
            SetLastError(ERROR_INVALID_HANDLE);
            return false;
        }
        // Waiting for all of the same object twice cannot be satisfied as one step.
        if (waitAll && std::find(objects.begin(), objects.end(), object) != objects.end()) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return false;
        }
        objects.push_back(std::move(object));
    }
    return true;
}

// With the wait lock held: waits until one (or all) of the objects can be
// taken by the calling thread, takes it (them) and returns the Win32 result.
DWORD WaitLocked(std::unique_lock<std::mutex>& lock, Clock& clock, const Objects& objects, bool waitAll,
                 DWORD milliseconds) {
    const DWORD threadId = CurrentThreadId();
    auto signalled = [threadId](const std::shared_ptr<WaitableObject>& o) { return o->IsSignalled(threadId); };
    auto ready = [&] {
        return waitAll ? std::all_of(objects.begin(), objects.end(), signalled)
                       : std::any_of(objects.begin(), objects.end(), signalled);
    };
    if (!clock.WaitUntilTick(lock, clock.DeadlineAfter(milliseconds), ready)) return WAIT_TIMEOUT;
    if (waitAll) {
        DWORD abandoned = WAIT_FAILED;
        for (DWORD i = 0; i < objects.size(); ++i) {
            if (objects[i]->Acquire(threadId) && abandoned == WAIT_FAILED) abandoned = i;
        }
        return abandoned == WAIT_FAILED ? WAIT_OBJECT_0 : WAIT_ABANDONED_0 + abandoned;
    }
    for (DWORD i = 0; i < objects.size(); ++i) {
        if (objects[i]->IsSignalled(threadId)) {
            return (objects[i]->Acquire(threadId) ? WAIT_ABANDONED_0 : WAIT_OBJECT_0) + i;
        }
    }
    return WAIT_FAILED;  // not reached: ready() held under the same lock
}

DWORD WaitForObjects(DWORD count, const HANDLE* handles, bool waitAll, DWORD milliseconds) {
    Objects objects;
    if (!LookupAll(count, handles, waitAll, objects)) return WAIT_FAILED;
    Clock& clock = CurrentClock();
    std::unique_lock lock(Clock::Mutex());
    return WaitLocked(lock, clock, objects, waitAll, milliseconds);
}

}  // namespace

std::shared_ptr<WaitableObject> LookupWaitable(HANDLE handle) {
    auto value = reinterpret_cast<ULONG_PTR>(handle);
    if (value == kCurrentProcessPseudo || value == kCurrentThreadPseudo) {
        static const auto caller = std::make_shared<NeverSignalled>();
        return caller;
    }
    return LookupHandleAs<WaitableObject>(handle);
}

Clock& CurrentClock() { return Machine::Current().TheClock(); }

}  // namespace w32

DWORD WINAPI WaitForSingleObject(HANDLE hHandle, DWORD dwMilliseconds) {
    return w32::WaitForObjects(1, &hHandle, false, dwMilliseconds);
}

DWORD WINAPI WaitForSingleObjectEx(HANDLE hHandle, DWORD dwMilliseconds, BOOL) {
    return w32::WaitForObjects(1, &hHandle, false, dwMilliseconds);
}

DWORD WINAPI WaitForMultipleObjects(DWORD nCount, const HANDLE* lpHandles, BOOL bWaitAll, DWORD dwMilliseconds) {
    return w32::WaitForObjects(nCount, lpHandles, bWaitAll != FALSE, dwMilliseconds);
}

DWORD WINAPI WaitForMultipleObjectsEx(DWORD nCount, const HANDLE* lpHandles, BOOL bWaitAll, DWORD dwMilliseconds,
                                      BOOL) {
    return w32::WaitForObjects(nCount, lpHandles, bWaitAll != FALSE, dwMilliseconds);
}

DWORD WINAPI SignalObjectAndWait(HANDLE hObjectToSignal, HANDLE hObjectToWaitOn, DWORD dwMilliseconds, BOOL) {
    auto toSignal = w32::LookupHandleAs<w32::WaitableObject>(hObjectToSignal);
    w32::Objects toWaitOn;
    if (!toSignal) {
        SetLastError(ERROR_INVALID_HANDLE);
        return WAIT_FAILED;
    }
    if (!w32::LookupAll(1, &hObjectToWaitOn, false, toWaitOn)) return WAIT_FAILED;
    w32::Clock& clock = w32::CurrentClock();
    std::unique_lock lock(w32::Clock::Mutex());
    if (DWORD error = toSignal->Signal(w32::CurrentThreadId())) {
        SetLastError(error);
        return WAIT_FAILED;
    }
    return w32::WaitLocked(lock, clock, toWaitOn, false, dwMilliseconds);
}

void WINAPI Sleep(DWORD dwMilliseconds) {
    if (dwMilliseconds == 0) {
        std::this_thread::yield();  // gives up the rest of the time slice; time does not move
        return;
    }
    w32::Clock& clock = w32::CurrentClock();
    std::unique_lock lock(w32::Clock::Mutex());
    clock.WaitUntilTick(lock, clock.DeadlineAfter(dwMilliseconds), [] { return false; });
}

DWORD WINAPI SleepEx(DWORD dwMilliseconds, BOOL) {
    Sleep(dwMilliseconds);
    return 0;
}
