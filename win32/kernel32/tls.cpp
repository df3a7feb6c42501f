// Thread-local storage slots. Each slot has a generation that TlsFree moves
// on, so that a value a thread stored before the slot was freed reads as
// null afterwards in every thread, as Windows clears the slot everywhere.
#include <windows.h>

#include <array>
#include <atomic>
#include <mutex>
#include <vector>

namespace w32 {
namespace {

constexpr DWORD kSlotCount = TLS_MINIMUM_AVAILABLE + 1024;

struct Slot {
    std::atomic<bool> allocated{false};
    std::atomic<unsigned> generation{0};
};

std::array<Slot, kSlotCount>& Slots() {
    static auto* slots = new std::array<Slot, kSlotCount>;
    return *slots;
}

std::mutex& AllocationLock() {
    static auto* lock = new std::mutex;
    return *lock;
}

struct Value {
    unsigned generation = 0;
    LPVOID value = nullptr;
};
thread_local std::vector<Value> tValues;

bool IsAllocated(DWORD index) { return index < kSlotCount && Slots()[index].allocated.load(); }

}  // namespace
}  // namespace w32

DWORD WINAPI TlsAlloc(void) {
    std::lock_guard lock(w32::AllocationLock());
    auto& slots = w32::Slots();
    for (DWORD i = 0; i < w32::kSlotCount; ++i) {
        if (!slots[i].allocated.load()) {
            slots[i].allocated = true;
            return i;
        }
    }
    SetLastError(ERROR_NO_MORE_ITEMS);
    return TLS_OUT_OF_INDEXES;
}

LPVOID WINAPI TlsGetValue(DWORD dwTlsIndex) {
    if (!w32::IsAllocated(dwTlsIndex)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    SetLastError(ERROR_SUCCESS);
    if (dwTlsIndex >= w32::tValues.size()) return nullptr;
    const auto& entry = w32::tValues[dwTlsIndex];
    return entry.generation == w32::Slots()[dwTlsIndex].generation.load() ? entry.value : nullptr;
}

BOOL WINAPI TlsSetValue(DWORD dwTlsIndex, LPVOID lpTlsValue) {
    if (!w32::IsAllocated(dwTlsIndex)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (dwTlsIndex >= w32::tValues.size()) w32::tValues.resize(dwTlsIndex + 1);
    w32::tValues[dwTlsIndex] = {w32::Slots()[dwTlsIndex].generation.load(), lpTlsValue};
    return TRUE;
}

BOOL WINAPI TlsFree(DWORD dwTlsIndex) {
    std::lock_guard lock(w32::AllocationLock());
    if (!w32::IsAllocated(dwTlsIndex)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    auto& slot = w32::Slots()[dwTlsIndex];
    ++slot.generation;
    slot.allocated = false;
    return TRUE;
}
