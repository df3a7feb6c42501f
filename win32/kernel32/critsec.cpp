// Critical sections. The structure the caller owns points to the layer's
// lock: an owner id taken with one atomic exchange when free, and otherwise
// waited for through the machine clock like any other wait, so that a
// thread blocked on a critical section counts as idle.
#include <atomic>
#include <mutex>

#include "kernel32/thread.h"
#include "kernel32/waitable.h"

namespace w32 {
namespace {

struct CriticalSectionLock {
    std::atomic<DWORD> owner{0};
    std::atomic<int> waiters{0};
};

// The lock of a critical section, made here if the caller never initialised
// the (zeroed) structure.
CriticalSectionLock* LockOf(LPCRITICAL_SECTION section) {
    auto* lock = static_cast<CriticalSectionLock*>(__atomic_load_n(&section->Impl, __ATOMIC_ACQUIRE));
    if (lock) return lock;
    auto* fresh = new CriticalSectionLock;
    void* expected = nullptr;
    if (__atomic_compare_exchange_n(&section->Impl, &expected, fresh, false, __ATOMIC_ACQ_REL, __ATOMIC_ACQUIRE))
        return fresh;
    delete fresh;
    return static_cast<CriticalSectionLock*>(expected);
}

void TakeContended(CriticalSectionLock* lock, DWORD threadId) {
    Clock& clock = CurrentClock();
    std::unique_lock guard(Clock::Mutex());
    // Announce the wait before looking at the owner: a leaving owner clears
    // the owner before it looks at the waiters, so one of them sees the other.
    lock->waiters.fetch_add(1);
    for (;;) {
        DWORD expected = 0;
        if (lock->owner.compare_exchange_strong(expected, threadId)) break;
        clock.WaitUntilTick(guard, Clock::kNoDeadline, [lock] { return lock->owner.load() == 0; });
    }
    lock->waiters.fetch_sub(1);
}

void BecomeOwner(LPCRITICAL_SECTION section, DWORD threadId) {
    section->OwningThread = reinterpret_cast<HANDLE>(ULONG_PTR(threadId));
    section->RecursionCount = 1;
}

}  // namespace
}  // namespace w32

void WINAPI InitializeCriticalSection(LPCRITICAL_SECTION lpCriticalSection) {
    InitializeCriticalSectionAndSpinCount(lpCriticalSection, 0);
}

BOOL WINAPI InitializeCriticalSectionAndSpinCount(LPCRITICAL_SECTION lpCriticalSection, DWORD dwSpinCount) {
    if (!lpCriticalSection) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *lpCriticalSection = CRITICAL_SECTION{};
    lpCriticalSection->Impl = new w32::CriticalSectionLock;
    lpCriticalSection->SpinCount = dwSpinCount;  // kept for the caller; waits block at once
    return TRUE;
}

void WINAPI EnterCriticalSection(LPCRITICAL_SECTION lpCriticalSection) {
    if (!lpCriticalSection) return;
    auto* lock = w32::LockOf(lpCriticalSection);
    const DWORD me = w32::CurrentThreadId();
    if (lock->owner.load() == me) {
        ++lpCriticalSection->RecursionCount;
        return;
    }
    DWORD expected = 0;
    if (!lock->owner.compare_exchange_strong(expected, me)) w32::TakeContended(lock, me);
    w32::BecomeOwner(lpCriticalSection, me);
}

BOOL WINAPI TryEnterCriticalSection(LPCRITICAL_SECTION lpCriticalSection) {
    if (!lpCriticalSection) return FALSE;
    auto* lock = w32::LockOf(lpCriticalSection);
    const DWORD me = w32::CurrentThreadId();
    if (lock->owner.load() == me) {
        ++lpCriticalSection->RecursionCount;
        return TRUE;
    }
    DWORD expected = 0;
    if (!lock->owner.compare_exchange_strong(expected, me)) return FALSE;
    w32::BecomeOwner(lpCriticalSection, me);
    return TRUE;
}

void WINAPI LeaveCriticalSection(LPCRITICAL_SECTION lpCriticalSection) {
    if (!lpCriticalSection) return;
    auto* lock = w32::LockOf(lpCriticalSection);
    // Leaving a critical section the caller does not own would break it for
    // its owner: ignored.
    if (lock->owner.load() != w32::CurrentThreadId()) return;
    if (--lpCriticalSection->RecursionCount > 0) return;
    lpCriticalSection->OwningThread = nullptr;
    lock->owner.store(0);
    if (lock->waiters.load() > 0) {
        std::lock_guard guard(w32::Clock::Mutex());
        w32::Clock::NotifyAll();
    }
}

void WINAPI DeleteCriticalSection(LPCRITICAL_SECTION lpCriticalSection) {
    if (!lpCriticalSection) return;
    delete static_cast<w32::CriticalSectionLock*>(lpCriticalSection->Impl);
    *lpCriticalSection = CRITICAL_SECTION{};
}
