// The machine's clock, and the one place where the layer's threads block.
//
// A clock is real by default. A virtual clock starts at a fixed moment and
// moves only when a test advances it or when the layer finds the process
// idle, so that waits of seconds or minutes cost no real time.
//
// Every blocking call of the layer (WaitForSingleObject and friends, Sleep,
// a contended critical section, a message loop with no message) goes through
// Clock::WaitUntilTick with the one lock that guards every waitable object,
// Clock::Mutex(). That lets the layer tell when the process is idle:
//
//  - The layer counts the threads it knows: the process's main thread, and
//    every thread made by CreateThread or _beginthreadex from the moment it
//    is made (a thread made suspended from the moment it is resumed) until
//    its start routine returns or it calls ExitThread. Any other thread is
//    counted only while it is inside a layer wait.
//  - A thread is blocked while it is inside a layer wait whose condition is
//    false and whose deadline has not come.
//  - When every counted thread is blocked and at least one of them has a
//    deadline, a virtual clock jumps to the earliest deadline, and the waits
//    due then time out. Nothing else moves a virtual clock except Advance.
//
// So on a virtual clock Sleep(60000) in a lone thread returns at once with
// the tick count 60000 later; a wait with a time-out still sees a signal that
// another thread gives while it runs (that thread is not blocked, so the clock
// stands still until it blocks or ends); and threads sleeping different
// amounts wake in the order of their deadlines. A thread that blocks outside
// the layer (std::thread::join, a host mutex, a busy loop) counts as running:
// while it does, timed waits in other threads wait in real time for it.
// A real clock is never moved: its waits time out when the time has passed.
#pragma once
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>

#include "minwindef.h"

namespace w32 {

class Clock {
public:
    // A deadline that never comes (an INFINITE wait).
    static constexpr ULONGLONG kNoDeadline = ~0ull;

    Clock() = default;
    Clock(const Clock&) = delete;
    Clock& operator=(const Clock&) = delete;
    // Waits still pending on this clock return: those with a deadline time
    // out, those without one go on waiting for their condition.
    ~Clock();

    // 100-nanosecond intervals since 1601-01-01 UTC, as in a FILETIME.
    ULONGLONG NowFileTime() const;
    // Milliseconds since the machine started.
    ULONGLONG TickCount() const;
    // 100-nanosecond units since the machine started: the performance
    // counter, whose frequency is kPerformanceFrequency.
    ULONGLONG PerformanceCounter() const;
    static constexpr ULONGLONG kPerformanceFrequency = 10000000;

    bool IsVirtual() const { return virtual_.load(); }
    void SetVirtual(bool isVirtual);
    // Moves a virtual clock forward and wakes whoever waits on it.
    void Advance(ULONGLONG milliseconds);

    // The tick count `milliseconds` from now; kNoDeadline for INFINITE.
    ULONGLONG DeadlineAfter(DWORD milliseconds) const;

    // Blocks the calling thread, which holds `lock` on Mutex(), until ready()
    // is true (returns true) or the tick count reaches `tick` (returns false).
    // ready() is also called from other threads while this one is blocked, to
    // tell whether the process is idle: it must only read state guarded by
    // Mutex(), take no lock and not depend on which thread calls it.
    template <class Predicate>
    bool WaitUntilTick(std::unique_lock<std::mutex>& lock, ULONGLONG tick, Predicate ready) {
        std::function<bool()> check = [&ready]() -> bool { return ready(); };
        return Wait(lock, tick, check);
    }

    // The lock guarding every waitable object of the process, and the wake-up
    // for its waiters: whoever changes such an object under the lock calls
    // NotifyAll. Both are process-wide, shared by every machine's clock.
    static std::mutex& Mutex();
    static void NotifyAll();

    // Thread accounting (see above). The creator of a thread calls
    // ThreadCreated before the thread can run; the new thread calls
    // AdoptCurrentThread first thing, and ThreadEnded with `lock` held on
    // Mutex() as the last thing the layer does for it.
    static void ThreadCreated();
    // Undoes ThreadCreated when the thread could not be started after all.
    static void ThreadNotCreated();
    static void AdoptCurrentThread();
    static void ThreadEnded(std::unique_lock<std::mutex>& lock);
    // Threads counted now: known ones plus others inside a wait.
    static int CountedThreads();

private:
    bool Wait(std::unique_lock<std::mutex>& lock, ULONGLONG tick, const std::function<bool()>& ready);
    friend struct ClockInternals;

    std::atomic<bool> virtual_{false};
    std::atomic<ULONGLONG> virtualMs_{0};
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
    // Guarded by Mutex(): waits registered on this clock, and whether the
    // clock is going away.
    int users_ = 0;
    bool closing_ = false;
};

// Virtual clocks start at 2026-06-01 09:00:00 UTC, the machine having run ten minutes.
constexpr ULONGLONG kVirtualEpochFileTime = 134247780000000000ull;
constexpr ULONGLONG kVirtualBootTick = 600000;

}  // namespace w32
