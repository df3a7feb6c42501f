// Events: manual-reset ones stay signalled until reset; auto-reset ones let
// exactly one wait through and reset themselves as it takes them.
#include <mutex>

#include "kernel32/namedobject.h"

namespace w32 {
namespace {

class EventObject final : public NamedObject {
public:
    EventObject(bool manualReset, bool signalled) : manualReset_(manualReset), signalled_(signalled) {}

    bool IsSignalled(DWORD) const override { return signalled_; }
    bool Acquire(DWORD) override {
        if (!manualReset_) signalled_ = false;
        return false;
    }
    DWORD Signal(DWORD) override {
        Set(true);
        return ERROR_SUCCESS;
    }
    // With the wait lock held.
    void Set(bool signalled) {
        signalled_ = signalled;
        if (signalled) Clock::NotifyAll();
    }

private:
    const bool manualReset_;
    bool signalled_;
};

BOOL SetState(HANDLE handle, bool signalled) {
    auto event = LookupHandleAs<EventObject>(handle);
    if (!event) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    std::lock_guard lock(Clock::Mutex());
    event->Set(signalled);
    return TRUE;
}

}  // namespace
}  // namespace w32

HANDLE WINAPI CreateEventW(LPSECURITY_ATTRIBUTES, BOOL bManualReset, BOOL bInitialState, LPCWSTR lpName) {
    return w32::CreateNamedObject(lpName, typeid(w32::EventObject), [&] {
        return std::make_shared<w32::EventObject>(bManualReset != FALSE, bInitialState != FALSE);
    });
}

HANDLE WINAPI OpenEventW(DWORD, BOOL, LPCWSTR lpName) { return w32::OpenNamedObject(lpName, typeid(w32::EventObject)); }

BOOL WINAPI SetEvent(HANDLE hEvent) { return w32::SetState(hEvent, true); }

BOOL WINAPI ResetEvent(HANDLE hEvent) { return w32::SetState(hEvent, false); }
