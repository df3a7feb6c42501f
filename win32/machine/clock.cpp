#include "machine/clock.h"

#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <vector>

namespace w32 {

namespace {

// 1601-01-01 to 1970-01-01 in 100-ns units.
constexpr ULONGLONG kUnixEpochFileTime = 116444736000000000ull;

// A thread inside Clock::Wait.
struct Waiter {
    const std::function<bool()>* ready;
    ULONGLONG deadline;
    Clock* clock;  // null once the clock has gone away
};

// Process-wide: the lock and wake-up of every wait, the waits in progress and
// the number of threads the layer knows. Never destroyed, so that threads
// still running while the process exits can use it.
struct WaitState {
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<Waiter*> waiters;
    int knownThreads = 1;  // the main thread
};

WaitState& State() {
    static WaitState* state = new WaitState;
    return *state;
}

bool IsMainThread() { return syscall(SYS_gettid) == getpid(); }

// Whether the calling thread is among the known ones.
thread_local bool tKnown = IsMainThread();

}  // namespace

struct ClockInternals {
    // With the lock held: when every counted thread is blocked, moves the
    // virtual clock of the earliest deadline to it.
    static void CheckIdle() {
        WaitState& state = State();
        int blocked = 0;
        Waiter* earliest = nullptr;
        for (Waiter* waiter : state.waiters) {
            if ((*waiter->ready)()) return;
            Clock* clock = waiter->clock;
            if (clock && clock->TickCount() >= waiter->deadline) return;  // about to time out
            ++blocked;
            if (clock && !clock->closing_ && clock->IsVirtual() && waiter->deadline != Clock::kNoDeadline &&
                (!earliest || waiter->deadline < earliest->deadline)) {
                earliest = waiter;
            }
        }
        if (!earliest || blocked < state.knownThreads) return;
        earliest->clock->virtualMs_ = earliest->deadline - kVirtualBootTick;
        state.changed.notify_all();
    }
};

Clock::~Clock() {
    WaitState& state = State();
    std::unique_lock lock(state.mutex);
    closing_ = true;
    state.changed.notify_all();
    state.changed.wait(lock, [this] { return users_ == 0; });
}

ULONGLONG Clock::NowFileTime() const {
    if (IsVirtual()) return kVirtualEpochFileTime + virtualMs_.load() * 10000ull;
    auto since = std::chrono::system_clock::now().time_since_epoch();
    return kUnixEpochFileTime + ULONGLONG(std::chrono::duration_cast<std::chrono::nanoseconds>(since).count() / 100);
}

ULONGLONG Clock::TickCount() const {
    if (IsVirtual()) return kVirtualBootTick + virtualMs_.load();
    auto elapsed = std::chrono::steady_clock::now() - start_;
    return kVirtualBootTick + ULONGLONG(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
}

ULONGLONG Clock::PerformanceCounter() const {
    if (IsVirtual()) return TickCount() * 10000ull;
    auto elapsed = std::chrono::steady_clock::now() - start_;
    return kVirtualBootTick * 10000ull +
           ULONGLONG(std::chrono::duration_cast<std::chrono::nanoseconds>(elapsed).count() / 100);
}

void Clock::SetVirtual(bool isVirtual) {
    std::lock_guard lock(Mutex());
    virtual_ = isVirtual;
    virtualMs_ = 0;
    NotifyAll();
}

void Clock::Advance(ULONGLONG milliseconds) {
    std::lock_guard lock(Mutex());
    virtualMs_ += milliseconds;
    NotifyAll();
}

ULONGLONG Clock::DeadlineAfter(DWORD milliseconds) const {
    if (milliseconds == 0xFFFFFFFFu) return kNoDeadline;
    return TickCount() + milliseconds;
}

std::mutex& Clock::Mutex() { return State().mutex; }

void Clock::NotifyAll() { State().changed.notify_all(); }

void Clock::ThreadCreated() {
    std::lock_guard lock(Mutex());
    ++State().knownThreads;
}

void Clock::ThreadNotCreated() {
    std::lock_guard lock(Mutex());
    --State().knownThreads;
    ClockInternals::CheckIdle();
}

void Clock::AdoptCurrentThread() { tKnown = true; }

void Clock::ThreadEnded(std::unique_lock<std::mutex>&) {
    if (!tKnown) return;
    tKnown = false;
    --State().knownThreads;
    ClockInternals::CheckIdle();
    NotifyAll();
}

int Clock::CountedThreads() {
    std::lock_guard lock(Mutex());
    return State().knownThreads;
}

bool Clock::Wait(std::unique_lock<std::mutex>& lock, ULONGLONG tick, const std::function<bool()>& ready) {
    if (ready()) return true;
    WaitState& state = State();
    Waiter waiter{&ready, tick, this};
    ++users_;
    const bool counted = !tKnown;  // a thread the layer did not make counts while it waits
    if (counted) ++state.knownThreads;
    state.waiters.push_back(&waiter);

    bool result = false;
    for (;;) {
        if (ready()) {
            result = true;
            break;
        }
        Clock* clock = waiter.clock;
        if (clock && clock->closing_) {
            // The machine is going away: let its clock go.
            --clock->users_;
            waiter.clock = clock = nullptr;
            state.changed.notify_all();
            if (waiter.deadline != kNoDeadline) break;
        }
        if (!clock) {
            state.changed.wait(lock);
            continue;
        }
        ULONGLONG now = clock->TickCount();
        if (now >= waiter.deadline) break;
        if (clock->IsVirtual()) {
            ClockInternals::CheckIdle();
            if (clock->TickCount() != now) continue;
            state.changed.wait(lock);
        } else if (waiter.deadline == kNoDeadline) {
            state.changed.wait(lock);
        } else {
            state.changed.wait_for(lock, std::chrono::milliseconds(waiter.deadline - now));
        }
    }

    state.waiters.erase(std::find(state.waiters.begin(), state.waiters.end(), &waiter));
    if (counted) --state.knownThreads;
    if (waiter.clock) {
        --waiter.clock->users_;
        if (waiter.clock->closing_) state.changed.notify_all();
    }
    return result;
}

}  // namespace w32
