#include "kernel32/handles.h"

#include <mutex>
#include <unordered_map>

namespace w32 {

namespace {

struct Entry {
    std::shared_ptr<KernelObject> object;
};

std::mutex gLock;
std::unordered_map<ULONG_PTR, Entry> gHandles;
std::unordered_map<KernelObject*, int> gOpenCounts;  // handles open per object
ULONG_PTR gNext = 0x100;

}  // namespace

HANDLE InsertHandle(std::shared_ptr<KernelObject> object) {
    std::lock_guard lock(gLock);
    ULONG_PTR value = gNext;
    gNext += 4;
    ++gOpenCounts[object.get()];
    gHandles[value] = Entry{std::move(object)};
    return reinterpret_cast<HANDLE>(value);
}

std::shared_ptr<KernelObject> LookupHandle(HANDLE handle) {
    std::lock_guard lock(gLock);
    auto it = gHandles.find(reinterpret_cast<ULONG_PTR>(handle));
    return it == gHandles.end() ? nullptr : it->second.object;
}

bool RemoveHandle(HANDLE handle) {
    std::shared_ptr<KernelObject> object;
    {
        std::lock_guard lock(gLock);
        auto it = gHandles.find(reinterpret_cast<ULONG_PTR>(handle));
        if (it == gHandles.end()) return false;
        object = std::move(it->second.object);
        gHandles.erase(it);
        // Another handle may still refer to the object (DuplicateHandle).
        if (--gOpenCounts[object.get()] > 0) return true;
        gOpenCounts.erase(object.get());
    }
    object->OnLastHandleClosed();
    return true;
}

}  // namespace w32

BOOL WINAPI CloseHandle(HANDLE hObject) {
    if (!w32::RemoveHandle(hObject)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}
