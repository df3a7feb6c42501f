// Mutexes: owned by one thread at a time, which may take it again (each take
// needs a release). When the owner ends without releasing it, the mutex is
// abandoned: the next wait takes it and returns WAIT_ABANDONED.
#include "kernel32/mutex.h"

#include <algorithm>
#include <mutex>
#include <vector>

#include "kernel32/namedobject.h"
#include "kernel32/thread.h"

namespace w32 {
namespace {

class MutexObject;

// The mutexes the thread owns (each once, however often it took it). Only
// the owning thread touches its list, always with the wait lock held.
struct OwnedMutexes {
    std::vector<std::shared_ptr<MutexObject>> list;
    ~OwnedMutexes() {
        if (list.empty()) return;
        std::lock_guard lock(Clock::Mutex());
        AbandonMutexesOfCurrentThread();
    }
};
thread_local OwnedMutexes tOwned;

class MutexObject final : public NamedObject, public std::enable_shared_from_this<MutexObject> {
public:
    bool IsSignalled(DWORD threadId) const override { return owner_ == 0 || owner_ == threadId; }

    bool Acquire(DWORD threadId) override {
        if (owner_ == threadId) {
            ++recursion_;
            return false;
        }
        owner_ = threadId;
        recursion_ = 1;
        tOwned.list.push_back(shared_from_this());
        bool abandoned = abandoned_;
        abandoned_ = false;
        return abandoned;
    }

    DWORD Signal(DWORD threadId) override {
        if (owner_ != threadId) return ERROR_NOT_OWNER;
        if (--recursion_ > 0) return ERROR_SUCCESS;
        owner_ = 0;
        auto& list = tOwned.list;
        list.erase(std::find(list.begin(), list.end(), shared_from_this()));
        Clock::NotifyAll();
        return ERROR_SUCCESS;
    }

    // The owner ended.
    void Abandon() {
        owner_ = 0;
        recursion_ = 0;
        abandoned_ = true;
    }

private:
    // Guarded by the wait lock.
    DWORD owner_ = 0;
    DWORD recursion_ = 0;
    bool abandoned_ = false;
};

}  // namespace

void AbandonMutexesOfCurrentThread() {
    auto owned = std::move(tOwned.list);
    tOwned.list.clear();
    for (auto& mutex : owned) mutex->Abandon();
    if (!owned.empty()) Clock::NotifyAll();
}

}  // namespace w32

HANDLE WINAPI CreateMutexW(LPSECURITY_ATTRIBUTES, BOOL bInitialOwner, LPCWSTR lpName) {
    // The caller owns only a mutex it made: opening an existing one by name
    // ignores bInitialOwner.
    return w32::CreateNamedObject(lpName, typeid(w32::MutexObject), [&] {
        auto mutex = std::make_shared<w32::MutexObject>();
        if (bInitialOwner) {
            std::lock_guard lock(w32::Clock::Mutex());
            mutex->Acquire(w32::CurrentThreadId());
        }
        return mutex;
    });
}

HANDLE WINAPI OpenMutexW(DWORD, BOOL, LPCWSTR lpName) { return w32::OpenNamedObject(lpName, typeid(w32::MutexObject)); }

BOOL WINAPI ReleaseMutex(HANDLE hMutex) {
    auto mutex = w32::LookupHandleAs<w32::MutexObject>(hMutex);
    if (!mutex) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    std::lock_guard lock(w32::Clock::Mutex());
    if (DWORD error = mutex->Signal(w32::CurrentThreadId())) {
        SetLastError(error);
        return FALSE;
    }
    return TRUE;
}
