// Counted global-memory blocks. A block is laid out as
// {i32 total size; the caller's bytes; i32 total size} with total = size + 8;
// the caller gets the address of its bytes, and its counter (when it passes
// one) grows by the total on allocation and shrinks by it on free. The
// caller's bytes often hold records with pointers, so they start on the
// platform's strictest alignment: the global block begins with a few unused
// bytes before the leading size (not counted).
//
// Freeing checks the two recorded sizes as a guard against overruns, but it
// never reads memory at an address taken from the block itself: every live
// block is registered here with its total, so a pointer this allocator did
// not hand out (a foreign block, a pointer into the middle of a block, a
// block freed before) is recognised without touching it.
#include <windows.h>

#include <atomic>
#include <cstddef>
#include <cstring>
#include <mutex>
#include <unordered_map>

#include "pcl6/intrface/util.h"

namespace {

constexpr DWORD kGuardBytes = 2 * sizeof(INT32);
// From the start of the global block to the caller's bytes.
constexpr size_t kLead = alignof(std::max_align_t) > sizeof(INT32) ? alignof(std::max_align_t) : sizeof(INT32);

struct LiveBlocks {
    std::mutex lock;
    std::unordered_map<BYTE*, INT32> totals;  // caller's bytes -> total size
};

// Made on first use. It is not destroyed while it holds a block, since
// blocks may be freed from static destructors; but a module that is
// unloaded with every block freed takes its registry with it, so that a DLL
// loaded and unloaded again and again does not leave one behind each time.
std::mutex gLiveCreate;
LiveBlocks* gLive = nullptr;

LiveBlocks& Live() {
    std::lock_guard guard(gLiveCreate);
    if (!gLive) gLive = new LiveBlocks;
    return *gLive;
}

struct LiveBlocksRelease {
    ~LiveBlocksRelease() {
        std::lock_guard guard(gLiveCreate);
        if (gLive && gLive->totals.empty()) {
            delete gLive;
            gLive = nullptr;
        }
    }
} gLiveRelease;

INT32 ReadSize(const BYTE* at) {
    INT32 value;
    std::memcpy(&value, at, sizeof(value));
    return value;
}

void WriteSize(BYTE* at, INT32 value) { std::memcpy(at, &value, sizeof(value)); }

#ifdef TAM_RENDERING_BUILD
// Calls left until the failure a test asked for (Util_FailGlobalAlloc); 0: none.
std::atomic<DWORD> gFailCountdown{0};

bool FailThisAllocation() {
    DWORD left = gFailCountdown.load();
    while (left != 0 && !gFailCountdown.compare_exchange_weak(left, left - 1)) {
    }
    return left == 1;
}
#endif

}  // namespace

#ifdef TAM_RENDERING_BUILD
void Util_FailGlobalAlloc(DWORD nth) { gFailCountdown.store(nth); }
#endif

LPVOID Util_GlobalAlloc(LONG* byteCounter, DWORD size) {
#ifdef TAM_RENDERING_BUILD
    if (FailThisAllocation()) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
#endif
    // The total is stored as a signed 32-bit value.
    if (size > DWORD(0x7FFFFFFF) - kGuardBytes) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    const INT32 total = INT32(size + kGuardBytes);
    auto* start = static_cast<BYTE*>(GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT, kLead - sizeof(INT32) + SIZE_T(total)));
    if (!start) return nullptr;
    BYTE* bytes = start + kLead;
    WriteSize(bytes - sizeof(INT32), total);
    WriteSize(bytes + size, total);
    {
        auto& live = Live();
        std::lock_guard guard(live.lock);
        live.totals[bytes] = total;
    }
    if (byteCounter) *byteCounter += total;
    return bytes;
}

void Util_GlobalFree(LONG* byteCounter, LPVOID block) {
    if (!block) return;
    auto* bytes = static_cast<BYTE*>(block);
    INT32 total = 0;
    {
        auto& live = Live();
        std::lock_guard guard(live.lock);
        auto found = live.totals.find(bytes);
        if (found == live.totals.end()) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return;
        }
        total = found->second;
        // The sizes before and after the caller's bytes must both still read
        // the total; an overrun that changed either leaves the block alone.
        const DWORD size = DWORD(total) - kGuardBytes;
        if (ReadSize(bytes - sizeof(INT32)) != total || ReadSize(bytes + size) != total) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return;
        }
        live.totals.erase(found);
    }
    GlobalFree(bytes - kLead);
    if (byteCounter) *byteCounter -= total;
}

DWORD Util_GlobalSize(LPCVOID block) {
    if (!block) return 0;
    auto& live = Live();
    std::lock_guard guard(live.lock);
    auto found = live.totals.find(static_cast<BYTE*>(const_cast<LPVOID>(block)));
    if (found == live.totals.end()) return 0;
    return DWORD(found->second) - kGuardBytes;
}
