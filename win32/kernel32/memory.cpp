// Global, local and heap memory. Every block is recorded, so that a handle or
// pointer this allocator did not make is refused with ERROR_INVALID_HANDLE
// (or ERROR_INVALID_PARAMETER for the heap functions) instead of being read.
//
// A fixed block's handle is its data pointer. A moveable block's handle is a
// separate token whose data can move on reallocation; GlobalLock counts locks
// up to 255 and returns the current address.
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <mutex>
#include <new>
#include <unordered_map>

#include "kernel32/memory.h"

namespace {

struct Block {
    void* data = nullptr;  // null for a moveable block of size 0 (discarded)
    SIZE_T size = 0;
    UINT flags = 0;
    UINT locks = 0;
    bool moveable = false;
    HANDLE heap = nullptr;  // the heap of a HeapAlloc block, else null
};

struct HeapObject {
    DWORD options = 0;
};

std::mutex gLock;
std::unordered_map<void*, Block> gBlocks;        // by handle (fixed: the data pointer)
std::unordered_map<void*, void*> gMoveableData;  // moveable data pointer -> handle
std::unordered_map<void*, HeapObject*> gHeaps;
HeapObject gProcessHeap;

// Moveable handles are distinct odd-looking tokens that never alias data.
struct MoveableToken {
    char unused;
};

void* AllocateData(SIZE_T bytes, bool zero) {
    void* p = zero ? std::calloc(bytes ? bytes : 1, 1) : std::malloc(bytes ? bytes : 1);
    return p;
}

Block* FindLocked(void* handle) {
    auto it = gBlocks.find(handle);
    return it == gBlocks.end() ? nullptr : &it->second;
}

HANDLE AllocBlock(UINT flags, SIZE_T bytes, UINT validFlags) {
    if (flags & ~validFlags) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    bool zero = flags & GMEM_ZEROINIT;
    bool moveable = flags & GMEM_MOVEABLE;
    std::lock_guard lock(gLock);
    if (!moveable) {
        void* data = AllocateData(bytes, zero);
        if (!data) {
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            return nullptr;
        }
        gBlocks[data] = Block{data, bytes, flags, 0, false, nullptr};
        return data;
    }
    void* data = nullptr;
    if (bytes) {
        data = AllocateData(bytes, zero);
        if (!data) {
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            return nullptr;
        }
    }
    auto* token = new (std::nothrow) MoveableToken;
    if (!token) {
        std::free(data);
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    gBlocks[token] = Block{data, bytes, flags, 0, true, nullptr};
    if (data) gMoveableData[data] = token;
    return token;
}

LPVOID LockBlock(HANDLE h) {
    std::lock_guard lock(gLock);
    Block* b = FindLocked(h);
    if (!b || b->heap) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    if (!b->moveable) return b->data;
    if (!b->data) {
        SetLastError(ERROR_DISCARDED);
        return nullptr;
    }
    if (b->locks < 0xFF) ++b->locks;
    return b->data;
}

BOOL UnlockBlock(HANDLE h) {
    std::lock_guard lock(gLock);
    Block* b = FindLocked(h);
    if (!b || b->heap) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (!b->moveable) return TRUE;
    if (b->locks == 0) {
        SetLastError(ERROR_NOT_LOCKED);
        return FALSE;
    }
    if (--b->locks == 0) {
        SetLastError(NO_ERROR);
        return FALSE;
    }
    return TRUE;
}

SIZE_T SizeOfBlock(HANDLE h) {
    std::lock_guard lock(gLock);
    Block* b = FindLocked(h);
    if (!b || b->heap) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    return b->data ? b->size : 0;
}

UINT FlagsOfBlock(HANDLE h, UINT discarded, UINT discardable) {
    std::lock_guard lock(gLock);
    Block* b = FindLocked(h);
    if (!b || b->heap) {
        SetLastError(ERROR_INVALID_HANDLE);
        return GMEM_INVALID_HANDLE;
    }
    UINT result = b->locks & 0xFF;
    if (b->moveable && !b->data) result |= discarded;
    if (b->flags & GMEM_DISCARDABLE) result |= discardable;
    return result;
}

HANDLE HandleOfPointer(LPCVOID p) {
    std::lock_guard lock(gLock);
    void* key = const_cast<void*>(p);
    if (auto it = gMoveableData.find(key); it != gMoveableData.end()) return it->second;
    if (Block* b = FindLocked(key); b && !b->heap && !b->moveable) return key;
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
}

HANDLE FreeBlock(HANDLE h) {
    std::lock_guard lock(gLock);
    auto it = gBlocks.find(h);
    if (it == gBlocks.end() || it->second.heap) {
        SetLastError(ERROR_INVALID_HANDLE);
        return h;
    }
    Block b = it->second;
    gBlocks.erase(it);
    if (b.moveable) {
        if (b.data) gMoveableData.erase(b.data);
        delete static_cast<MoveableToken*>(h);
    }
    std::free(b.data);
    return nullptr;
}

HANDLE ReAllocBlock(HANDLE h, SIZE_T bytes, UINT flags, UINT validFlags) {
    if (flags & ~(validFlags | GMEM_MODIFY)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    std::lock_guard lock(gLock);
    auto it = gBlocks.find(h);
    if (it == gBlocks.end() || it->second.heap) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    Block& b = it->second;
    if (flags & GMEM_MODIFY) {
        // Only the discardable attribute (and, for fixed blocks, moveability) changes.
        b.flags = (b.flags & ~GMEM_DISCARDABLE) | (flags & GMEM_DISCARDABLE);
        if (!b.moveable && (flags & GMEM_MOVEABLE)) {
            auto* token = new (std::nothrow) MoveableToken;
            if (!token) {
                SetLastError(ERROR_NOT_ENOUGH_MEMORY);
                return nullptr;
            }
            Block moved = b;
            moved.moveable = true;
            gBlocks.erase(it);
            gBlocks[token] = moved;
            gMoveableData[moved.data] = token;
            return token;
        }
        return h;
    }
    SIZE_T oldSize = b.data ? b.size : 0;
    if (!b.moveable) {
        // A fixed block keeps its address unless the caller allows a move;
        // it can always shrink in place, but growing needs GMEM_MOVEABLE.
        if (bytes > b.size && !(flags & GMEM_MOVEABLE)) {
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            return nullptr;
        }
        if (bytes <= b.size) {
            b.size = bytes;
            return h;
        }
        void* data = std::realloc(b.data, bytes);
        if (!data) {
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            return nullptr;
        }
        if (flags & GMEM_ZEROINIT) std::memset(static_cast<char*>(data) + oldSize, 0, bytes - oldSize);
        Block moved = b;
        moved.data = data;
        moved.size = bytes;
        gBlocks.erase(it);
        gBlocks[data] = moved;
        return data;
    }
    if (bytes == 0) {
        // Reallocating a moveable block to zero discards it; a locked block cannot be discarded.
        if (b.locks) {
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            return nullptr;
        }
        if (b.data) gMoveableData.erase(b.data);
        std::free(b.data);
        b.data = nullptr;
        b.size = 0;
        return h;
    }
    if (b.locks && !(flags & GMEM_MOVEABLE)) {
        // A locked block stays where its lockers see it unless the caller
        // lets it move: it can shrink in place but not grow.
        if (bytes > b.size) {
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            return nullptr;
        }
        b.size = bytes;
        return h;
    }
    void* data = b.data ? std::realloc(b.data, bytes) : AllocateData(bytes, false);
    if (!data) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    if ((flags & GMEM_ZEROINIT) && bytes > oldSize) std::memset(static_cast<char*>(data) + oldSize, 0, bytes - oldSize);
    if (b.data) gMoveableData.erase(b.data);
    gMoveableData[data] = h;
    b.data = data;
    b.size = bytes;
    return h;
}

HeapObject* FindHeap(HANDLE heap) {
    if (heap == &gProcessHeap) return &gProcessHeap;
    auto it = gHeaps.find(heap);
    return it == gHeaps.end() ? nullptr : it->second;
}

}  // namespace

size_t w32::LiveGlobalBlocks() {
    std::lock_guard lock(gLock);
    size_t count = 0;
    for (const auto& entry : gBlocks)
        if (!entry.second.heap) ++count;
    return count;
}

HGLOBAL WINAPI GlobalAlloc(UINT f, SIZE_T n) { return AllocBlock(f, n, GMEM_VALID_FLAGS); }
HGLOBAL WINAPI GlobalReAlloc(HGLOBAL h, SIZE_T n, UINT f) { return ReAllocBlock(h, n, f, GMEM_VALID_FLAGS); }
SIZE_T WINAPI GlobalSize(HGLOBAL h) { return SizeOfBlock(h); }
UINT WINAPI GlobalFlags(HGLOBAL h) { return FlagsOfBlock(h, GMEM_DISCARDED, GMEM_DISCARDABLE); }
LPVOID WINAPI GlobalLock(HGLOBAL h) { return LockBlock(h); }
BOOL WINAPI GlobalUnlock(HGLOBAL h) { return UnlockBlock(h); }
HGLOBAL WINAPI GlobalHandle(LPCVOID p) { return HandleOfPointer(p); }
HGLOBAL WINAPI GlobalFree(HGLOBAL h) { return FreeBlock(h); }

HLOCAL WINAPI LocalAlloc(UINT f, SIZE_T n) { return AllocBlock(f, n, LMEM_VALID_FLAGS); }
HLOCAL WINAPI LocalReAlloc(HLOCAL h, SIZE_T n, UINT f) { return ReAllocBlock(h, n, f, LMEM_VALID_FLAGS); }
SIZE_T WINAPI LocalSize(HLOCAL h) { return SizeOfBlock(h); }
UINT WINAPI LocalFlags(HLOCAL h) { return FlagsOfBlock(h, LMEM_DISCARDED, LMEM_DISCARDABLE); }
LPVOID WINAPI LocalLock(HLOCAL h) { return LockBlock(h); }
BOOL WINAPI LocalUnlock(HLOCAL h) { return UnlockBlock(h); }
HLOCAL WINAPI LocalHandle(LPCVOID p) { return HandleOfPointer(p); }
HLOCAL WINAPI LocalFree(HLOCAL h) { return FreeBlock(h); }

HANDLE WINAPI GetProcessHeap(void) { return &gProcessHeap; }

HANDLE WINAPI HeapCreate(DWORD options, SIZE_T, SIZE_T) {
    auto* heap = new (std::nothrow) HeapObject{options};
    if (!heap) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    std::lock_guard lock(gLock);
    gHeaps[heap] = heap;
    return heap;
}

BOOL WINAPI HeapDestroy(HANDLE heap) {
    std::lock_guard lock(gLock);
    auto it = gHeaps.find(heap);
    if (it == gHeaps.end()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    for (auto b = gBlocks.begin(); b != gBlocks.end();) {
        if (b->second.heap == heap) {
            std::free(b->second.data);
            b = gBlocks.erase(b);
        } else {
            ++b;
        }
    }
    delete it->second;
    gHeaps.erase(it);
    return TRUE;
}

LPVOID WINAPI HeapAlloc(HANDLE heap, DWORD flags, SIZE_T bytes) {
    std::lock_guard lock(gLock);
    if (!FindHeap(heap)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    void* data = AllocateData(bytes, flags & HEAP_ZERO_MEMORY);
    if (!data) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    gBlocks[data] = Block{data, bytes, 0, 0, false, heap};
    return data;
}

LPVOID WINAPI HeapReAlloc(HANDLE heap, DWORD flags, LPVOID mem, SIZE_T bytes) {
    std::lock_guard lock(gLock);
    auto it = gBlocks.find(mem);
    if (!FindHeap(heap) || it == gBlocks.end() || it->second.heap != heap) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    SIZE_T oldSize = it->second.size;
    if (flags & HEAP_REALLOC_IN_PLACE_ONLY) {
        if (bytes > oldSize) {
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            return nullptr;
        }
        it->second.size = bytes;
        return mem;
    }
    void* data = std::realloc(mem, bytes ? bytes : 1);
    if (!data) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    if ((flags & HEAP_ZERO_MEMORY) && bytes > oldSize) std::memset(static_cast<char*>(data) + oldSize, 0, bytes - oldSize);
    gBlocks.erase(it);
    gBlocks[data] = Block{data, bytes, 0, 0, false, heap};
    return data;
}

BOOL WINAPI HeapFree(HANDLE heap, DWORD, LPVOID mem) {
    if (!mem) return TRUE;
    std::lock_guard lock(gLock);
    auto it = gBlocks.find(mem);
    if (!FindHeap(heap) || it == gBlocks.end() || it->second.heap != heap) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::free(it->second.data);
    gBlocks.erase(it);
    return TRUE;
}

SIZE_T WINAPI HeapSize(HANDLE heap, DWORD, LPCVOID mem) {
    std::lock_guard lock(gLock);
    auto it = gBlocks.find(const_cast<void*>(mem));
    if (!FindHeap(heap) || it == gBlocks.end() || it->second.heap != heap) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return (SIZE_T)-1;
    }
    return it->second.size;
}
