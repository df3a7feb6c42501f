// Semaphores: a count between zero and a maximum; a wait takes one.
#include <mutex>

#include "kernel32/namedobject.h"

namespace w32 {
namespace {

class SemaphoreObject final : public NamedObject {
public:
    SemaphoreObject(LONG count, LONG maximum) : count(count), maximum(maximum) {}

    bool IsSignalled(DWORD) const override { return count > 0; }
    bool Acquire(DWORD) override {
        --count;
        return false;
    }

    DWORD Signal(DWORD) override { return Release(1, nullptr); }
    // With the wait lock held.
    DWORD Release(LONG releaseCount, LPLONG previousCount) {
        if (releaseCount > maximum - count) return ERROR_TOO_MANY_POSTS;  // the count stays as it was
        if (previousCount) *previousCount = count;
        count += releaseCount;
        Clock::NotifyAll();
        return ERROR_SUCCESS;
    }

    // Guarded by the wait lock.
    LONG count;
    const LONG maximum;
};

}  // namespace
}  // namespace w32

HANDLE WINAPI CreateSemaphoreW(LPSECURITY_ATTRIBUTES, LONG lInitialCount, LONG lMaximumCount, LPCWSTR lpName) {
    if (lMaximumCount <= 0 || lInitialCount < 0 || lInitialCount > lMaximumCount) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    // Opening an existing semaphore by name keeps its count and maximum.
    return w32::CreateNamedObject(lpName, typeid(w32::SemaphoreObject),
                                  [&] { return std::make_shared<w32::SemaphoreObject>(lInitialCount, lMaximumCount); });
}

HANDLE WINAPI OpenSemaphoreW(DWORD, BOOL, LPCWSTR lpName) {
    return w32::OpenNamedObject(lpName, typeid(w32::SemaphoreObject));
}

BOOL WINAPI ReleaseSemaphore(HANDLE hSemaphore, LONG lReleaseCount, LPLONG lpPreviousCount) {
    auto semaphore = w32::LookupHandleAs<w32::SemaphoreObject>(hSemaphore);
    if (!semaphore) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (lReleaseCount <= 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::lock_guard lock(w32::Clock::Mutex());
    if (DWORD error = semaphore->Release(lReleaseCount, lpPreviousCount)) {
        SetLastError(error);
        return FALSE;
    }
    return TRUE;
}
