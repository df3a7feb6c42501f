// The kernel's handle table: files, threads, events, mutexes, semaphores,
// processes and the other objects that CloseHandle closes. A handle is a
// small multiple of four, never reused within a process, so that a stale
// handle is refused rather than reaching another object.
#pragma once
#include <windows.h>

#include <memory>

namespace w32 {

class KernelObject {
public:
    virtual ~KernelObject() = default;
    // Called when the last handle to the object is closed (the object may live
    // on while the layer still holds a reference, e.g. a running thread).
    virtual void OnLastHandleClosed() {}
};

HANDLE InsertHandle(std::shared_ptr<KernelObject> object);
// Null when the handle is not open.
std::shared_ptr<KernelObject> LookupHandle(HANDLE handle);
template <class T>
std::shared_ptr<T> LookupHandleAs(HANDLE handle) {
    return std::dynamic_pointer_cast<T>(LookupHandle(handle));
}
// Removes the handle; false when it was not open.
bool RemoveHandle(HANDLE handle);

}  // namespace w32
