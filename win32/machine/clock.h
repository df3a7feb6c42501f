// The machine's clock. Real by default; a virtual clock starts at a fixed
// moment and moves only when told to (Sleep, a timed-out wait with nothing
// else to run, or a test), so that waits of seconds cost no real time.
#pragma once
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>

#include "minwindef.h"

namespace w32 {

class Clock {
public:
    // 100-nanosecond intervals since 1601-01-01 UTC, as in a FILETIME.
    ULONGLONG NowFileTime() const;
    // Milliseconds since the machine started.
    ULONGLONG TickCount() const;
    bool IsVirtual() const { return virtual_.load(); }
    void SetVirtual(bool isVirtual);
    // Moves a virtual clock forward and wakes whoever waits on it.
    void Advance(ULONGLONG milliseconds);
    // Blocks until the tick count reaches the given value (virtual: until the
    // clock has been advanced that far; real: sleeps) or until woken early by
    // the predicate becoming true after a NotifyAll.
    template <class Predicate>
    bool WaitUntilTick(std::unique_lock<std::mutex>& lock, ULONGLONG tick, Predicate ready);
    // Lock and condition shared by the layer's waits, so that advancing a
    // virtual clock wakes them.
    std::mutex& Mutex() { return mutex_; }
    void NotifyAll() { changed_.notify_all(); }

private:
    std::atomic<bool> virtual_{false};
    std::atomic<ULONGLONG> virtualMs_{0};
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
    std::mutex mutex_;
    std::condition_variable changed_;
};

// Virtual clocks start at 2026-06-01 09:00:00 UTC, the machine having run ten minutes.
constexpr ULONGLONG kVirtualEpochFileTime = 134247780000000000ull;
constexpr ULONGLONG kVirtualBootTick = 600000;

template <class Predicate>
bool Clock::WaitUntilTick(std::unique_lock<std::mutex>& lock, ULONGLONG tick, Predicate ready) {
    while (!ready()) {
        ULONGLONG now = TickCount();
        if (now >= tick) return false;
        if (IsVirtual()) {
            changed_.wait(lock);
        } else {
            changed_.wait_for(lock, std::chrono::milliseconds(tick - now));
        }
    }
    return true;
}

}  // namespace w32
