// Threads: CreateThread runs the start routine on a POSIX thread that the
// layer counts (see machine/clock.h) from creation, or from the resume of a
// suspended one, until it ends. The thread's object is signalled at the end,
// after its mutexes are abandoned and the observers are told.
#include "kernel32/thread.h"

#include <pthread.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <mutex>
#include <vector>

#include "kernel32/mutex.h"
#include "kernel32/waitable.h"

namespace w32 {

namespace {

constexpr ULONG_PTR kCurrentThreadPseudo = ULONG_PTR(-2);
constexpr DWORD kMaximumSuspendCount = 127;

std::atomic<DWORD> gNextThreadId{0x1000};
thread_local DWORD tThreadId = 0;
// The exit code of the calling thread, set by its start routine's return or by ExitThread.
thread_local DWORD tExitCode = 0;

DWORD NewThreadId() { return gNextThreadId.fetch_add(4); }

std::mutex& ObserverLock() {
    static std::mutex* lock = new std::mutex;
    return *lock;
}
std::vector<ThreadObserver*>& Observers() {
    static auto* observers = new std::vector<ThreadObserver*>;
    return *observers;
}
std::vector<ThreadObserver*> ObserversNow() {
    std::lock_guard lock(ObserverLock());
    return Observers();
}

class ThreadObject final : public WaitableObject {
public:
    enum class State { Suspended, Running, Finished };

    ThreadObject(LPTHREAD_START_ROUTINE start, LPVOID parameter, SIZE_T stackSize)
        : id(NewThreadId()), start(start), parameter(parameter), stackSize(stackSize) {}

    bool IsSignalled(DWORD) const override { return state == State::Finished; }

    const DWORD id;
    const LPTHREAD_START_ROUTINE start;
    const LPVOID parameter;
    const SIZE_T stackSize;
    // Guarded by the wait lock.
    State state = State::Running;
    DWORD suspendCount = 0;
    DWORD exitCode = STILL_ACTIVE;
};

// Ends the thread's life in the layer when the start routine returns or
// ExitThread unwinds the thread's stack.
class ThreadFinisher {
public:
    explicit ThreadFinisher(std::shared_ptr<ThreadObject> thread) : thread_(std::move(thread)) {}
    ~ThreadFinisher() {
        auto observers = ObserversNow();
        for (auto it = observers.rbegin(); it != observers.rend(); ++it) (*it)->ThreadDetached();
        std::unique_lock lock(Clock::Mutex());
        AbandonMutexesOfCurrentThread();
        thread_->exitCode = tExitCode;
        thread_->state = ThreadObject::State::Finished;
        Clock::ThreadEnded(lock);
        Clock::NotifyAll();
    }

private:
    std::shared_ptr<ThreadObject> thread_;
};

void* ThreadMain(void* raw) {
    std::shared_ptr<ThreadObject> thread;
    {
        std::unique_ptr<std::shared_ptr<ThreadObject>> holder(static_cast<std::shared_ptr<ThreadObject>*>(raw));
        thread = *holder;
    }
    tThreadId = thread->id;
    Clock::AdoptCurrentThread();
    ThreadFinisher finisher(thread);
    for (ThreadObserver* observer : ObserversNow()) observer->ThreadAttached();
    tExitCode = thread->start(thread->parameter);
    return nullptr;
}

// Starts the POSIX thread; false when the system has none to give.
bool Launch(const std::shared_ptr<ThreadObject>& thread) {
    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    pthread_attr_setdetachstate(&attributes, PTHREAD_CREATE_DETACHED);
    // Never below the system's default, which the host's libraries expect.
    size_t defaultSize = 0;
    pthread_attr_getstacksize(&attributes, &defaultSize);
    if (thread->stackSize > defaultSize) pthread_attr_setstacksize(&attributes, thread->stackSize);

    Clock::ThreadCreated();
    auto* holder = new std::shared_ptr<ThreadObject>(thread);
    pthread_t handle;
    int error = pthread_create(&handle, &attributes, ThreadMain, holder);
    pthread_attr_destroy(&attributes);
    if (error != 0) {
        delete holder;
        Clock::ThreadNotCreated();
        return false;
    }
    return true;
}

bool IsCurrentThreadPseudo(HANDLE handle) { return reinterpret_cast<ULONG_PTR>(handle) == kCurrentThreadPseudo; }

}  // namespace

DWORD CurrentThreadId() {
    if (tThreadId == 0) tThreadId = NewThreadId();
    return tThreadId;
}

namespace {
// The layer's libraries are loaded with the program, on its main thread.
const DWORD gMainThreadId = CurrentThreadId();
}  // namespace

DWORD MainThreadId() { return gMainThreadId; }

void AddThreadObserver(ThreadObserver* observer) {
    std::lock_guard lock(ObserverLock());
    Observers().push_back(observer);
}

}  // namespace w32

using w32::ThreadObject;

HANDLE WINAPI CreateThread(LPSECURITY_ATTRIBUTES, SIZE_T dwStackSize, LPTHREAD_START_ROUTINE lpStartAddress,
                           LPVOID lpParameter, DWORD dwCreationFlags, LPDWORD lpThreadId) {
    if (!lpStartAddress || (dwCreationFlags & ~DWORD(CREATE_SUSPENDED | STACK_SIZE_PARAM_IS_A_RESERVATION))) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto thread = std::make_shared<ThreadObject>(lpStartAddress, lpParameter, dwStackSize);
    if (dwCreationFlags & CREATE_SUSPENDED) {
        thread->state = ThreadObject::State::Suspended;
        thread->suspendCount = 1;
    } else if (!w32::Launch(thread)) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    HANDLE handle = w32::InsertHandle(thread);
    if (lpThreadId) *lpThreadId = thread->id;
    return handle;
}

DWORD WINAPI ResumeThread(HANDLE hThread) {
    if (w32::IsCurrentThreadPseudo(hThread)) return 0;  // the caller runs, so it is not suspended
    auto thread = w32::LookupHandleAs<ThreadObject>(hThread);
    if (!thread) {
        SetLastError(ERROR_INVALID_HANDLE);
        return DWORD(-1);
    }
    DWORD previous;
    {
        std::lock_guard lock(w32::Clock::Mutex());
        previous = thread->suspendCount;
        if (previous == 0) return 0;
        if (--thread->suspendCount > 0 || thread->state != ThreadObject::State::Suspended) return previous;
        thread->state = ThreadObject::State::Running;
    }
    if (!w32::Launch(thread)) {
        std::lock_guard lock(w32::Clock::Mutex());
        thread->state = ThreadObject::State::Suspended;
        thread->suspendCount = 1;
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return DWORD(-1);
    }
    return previous;
}

DWORD WINAPI SuspendThread(HANDLE hThread) {
    auto thread = w32::IsCurrentThreadPseudo(hThread) ? nullptr : w32::LookupHandleAs<ThreadObject>(hThread);
    if (!thread && !w32::IsCurrentThreadPseudo(hThread)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return DWORD(-1);
    }
    std::lock_guard lock(w32::Clock::Mutex());
    if (!thread || thread->state != ThreadObject::State::Suspended) {
        // A running thread cannot be stopped at an arbitrary point here.
        SetLastError(ERROR_NOT_SUPPORTED);
        return DWORD(-1);
    }
    if (thread->suspendCount >= w32::kMaximumSuspendCount) {
        SetLastError(ERROR_SIGNAL_REFUSED);
        return DWORD(-1);
    }
    return thread->suspendCount++;
}

void WINAPI ExitThread(DWORD dwExitCode) {
    w32::tExitCode = dwExitCode;
    // Unwinds the thread's stack, so that the finisher of a layer thread runs.
    pthread_exit(nullptr);
}

BOOL WINAPI TerminateThread(HANDLE hThread, DWORD dwExitCode) {
    if (w32::IsCurrentThreadPseudo(hThread)) ExitThread(dwExitCode);
    auto thread = w32::LookupHandleAs<ThreadObject>(hThread);
    if (!thread) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (thread->id == w32::CurrentThreadId()) ExitThread(dwExitCode);
    std::lock_guard lock(w32::Clock::Mutex());
    switch (thread->state) {
        case ThreadObject::State::Suspended:
            // Never started: it ends without running its start routine.
            thread->state = ThreadObject::State::Finished;
            thread->suspendCount = 0;
            thread->exitCode = dwExitCode;
            w32::Clock::NotifyAll();
            return TRUE;
        case ThreadObject::State::Finished:
            return TRUE;  // it keeps the exit code it ended with
        case ThreadObject::State::Running:
            break;
    }
    SetLastError(ERROR_NOT_SUPPORTED);
    return FALSE;
}

BOOL WINAPI GetExitCodeThread(HANDLE hThread, LPDWORD lpExitCode) {
    if (!lpExitCode) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (w32::IsCurrentThreadPseudo(hThread)) {
        *lpExitCode = STILL_ACTIVE;
        return TRUE;
    }
    auto thread = w32::LookupHandleAs<ThreadObject>(hThread);
    if (!thread) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    std::lock_guard lock(w32::Clock::Mutex());
    *lpExitCode = thread->exitCode;
    return TRUE;
}

DWORD WINAPI GetThreadId(HANDLE Thread) {
    if (w32::IsCurrentThreadPseudo(Thread)) return w32::CurrentThreadId();
    auto thread = w32::LookupHandleAs<ThreadObject>(Thread);
    if (!thread) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    return thread->id;
}

HANDLE WINAPI GetCurrentThread(void) { return reinterpret_cast<HANDLE>(w32::kCurrentThreadPseudo); }

DWORD WINAPI GetCurrentThreadId(void) { return w32::CurrentThreadId(); }

HANDLE WINAPI GetCurrentProcess(void) { return reinterpret_cast<HANDLE>(LONG_PTR(-1)); }

DWORD WINAPI GetCurrentProcessId(void) { return DWORD(getpid()); }
