#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>

namespace {

bool AllBytes(const void* p, size_t from, size_t to, BYTE value) {
    const BYTE* b = static_cast<const BYTE*>(p);
    for (size_t i = from; i < to; ++i)
        if (b[i] != value) return false;
    return true;
}

TEST(GlobalMemory, FixedHandleIsThePointer) {
    HGLOBAL h = GlobalAlloc(GMEM_FIXED, 24);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(GlobalLock(h), h);
    EXPECT_EQ(GlobalSize(h), 24u);
    EXPECT_EQ(GlobalHandle(h), h);
    EXPECT_EQ(GlobalFlags(h), 0u);
    std::memset(h, 0x5A, 24);  // the whole size is usable
    SetLastError(0xdeadbeef);
    EXPECT_EQ(GlobalFree(h), nullptr);
    EXPECT_EQ(GetLastError(), 0xdeadbeefu);
}

TEST(GlobalMemory, MoveableBlockIsReachedThroughLocks) {
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, 32);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(GlobalFlags(h) & GMEM_LOCKCOUNT, 0u);
    void* p = GlobalLock(h);
    ASSERT_NE(p, nullptr);
    EXPECT_NE(p, static_cast<void*>(h));
    EXPECT_EQ(GlobalHandle(p), h);
    std::memcpy(p, "Korvan", 7);
    EXPECT_EQ(GlobalLock(h), p);  // the same data, a second lock
    EXPECT_EQ(GlobalFlags(h) & GMEM_LOCKCOUNT, 2u);
    EXPECT_EQ(GlobalSize(h), 32u);

    SetLastError(0xdeadbeef);
    EXPECT_TRUE(GlobalUnlock(h));  // still locked once
    SetLastError(0xdeadbeef);
    EXPECT_FALSE(GlobalUnlock(h));  // the count reached zero: FALSE, but no failure
    EXPECT_EQ(GetLastError(), DWORD(NO_ERROR));
    SetLastError(0xdeadbeef);
    EXPECT_FALSE(GlobalUnlock(h));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_NOT_LOCKED));

    EXPECT_STREQ(static_cast<const char*>(GlobalLock(h)), "Korvan");
    GlobalUnlock(h);
    EXPECT_EQ(GlobalFree(h), nullptr);
}

TEST(GlobalMemory, ZeroInitialisedBlocks) {
    for (UINT flags : {UINT(GPTR), UINT(GHND)}) {
        HGLOBAL h = GlobalAlloc(flags, 300);
        ASSERT_NE(h, nullptr) << flags;
        void* p = GlobalLock(h);
        ASSERT_NE(p, nullptr);
        EXPECT_TRUE(AllBytes(p, 0, 300, 0)) << flags;
        GlobalUnlock(h);
        EXPECT_EQ(GlobalFree(h), nullptr);
    }
}

TEST(GlobalMemory, ReAllocKeepsAMoveableHandleAndItsData) {
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, 8);
    ASSERT_NE(h, nullptr);
    std::memset(GlobalLock(h), 0xAB, 8);
    GlobalUnlock(h);

    EXPECT_EQ(GlobalReAlloc(h, 4096, GMEM_ZEROINIT), h);
    EXPECT_EQ(GlobalSize(h), 4096u);
    void* p = GlobalLock(h);
    ASSERT_NE(p, nullptr);
    EXPECT_TRUE(AllBytes(p, 0, 8, 0xAB));
    EXPECT_TRUE(AllBytes(p, 8, 4096, 0));  // the growth is zeroed
    GlobalUnlock(h);

    EXPECT_EQ(GlobalReAlloc(h, 4, 0), h);
    EXPECT_EQ(GlobalSize(h), 4u);
    EXPECT_TRUE(AllBytes(GlobalLock(h), 0, 4, 0xAB));
    GlobalUnlock(h);
    EXPECT_EQ(GlobalFree(h), nullptr);
}

TEST(GlobalMemory, LockedBlockMovesOnlyWhenAllowed) {
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, 16);
    ASSERT_NE(h, nullptr);
    void* p = GlobalLock(h);
    ASSERT_NE(p, nullptr);
    std::memset(p, 0x11, 16);
    SetLastError(0xdeadbeef);
    EXPECT_EQ(GlobalReAlloc(h, 1 << 20, 0), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_NOT_ENOUGH_MEMORY));
    EXPECT_EQ(GlobalSize(h), 16u);
    EXPECT_TRUE(AllBytes(p, 0, 16, 0x11));  // the locked pointer is still good

    EXPECT_EQ(GlobalReAlloc(h, 1 << 20, GMEM_MOVEABLE), h);
    void* moved = GlobalLock(h);
    ASSERT_NE(moved, nullptr);
    EXPECT_EQ(GlobalFlags(h) & GMEM_LOCKCOUNT, 2u);  // the lock survives the move
    EXPECT_TRUE(AllBytes(moved, 0, 16, 0x11));
    EXPECT_EQ(GlobalHandle(moved), h);
    EXPECT_EQ(GlobalFree(h), nullptr);
}

TEST(GlobalMemory, FixedBlockGrowsOnlyWhenAllowedToMove) {
    HGLOBAL h = GlobalAlloc(GMEM_FIXED, 16);
    ASSERT_NE(h, nullptr);
    std::memset(h, 0x22, 16);
    EXPECT_EQ(GlobalReAlloc(h, 8, 0), h);  // shrinking happens in place
    EXPECT_EQ(GlobalSize(h), 8u);
    SetLastError(0xdeadbeef);
    EXPECT_EQ(GlobalReAlloc(h, 1 << 20, 0), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_NOT_ENOUGH_MEMORY));
    EXPECT_EQ(GlobalSize(h), 8u);

    HGLOBAL grown = GlobalReAlloc(h, 1 << 20, GMEM_MOVEABLE | GMEM_ZEROINIT);
    ASSERT_NE(grown, nullptr);
    EXPECT_EQ(GlobalSize(grown), size_t(1) << 20);
    EXPECT_EQ(GlobalLock(grown), grown);  // still a fixed block: handle and pointer agree
    EXPECT_TRUE(AllBytes(grown, 0, 8, 0x22));
    EXPECT_TRUE(AllBytes(grown, 8, 1 << 20, 0));
    EXPECT_EQ(GlobalFree(grown), nullptr);
}

TEST(GlobalMemory, RefusesHandlesItDidNotMake) {
    HGLOBAL freed = GlobalAlloc(GMEM_MOVEABLE, 8);
    ASSERT_NE(freed, nullptr);
    ASSERT_EQ(GlobalFree(freed), nullptr);
    HGLOBAL freedFixed = GlobalAlloc(GMEM_FIXED, 8);
    ASSERT_NE(freedFixed, nullptr);
    ASSERT_EQ(GlobalFree(freedFixed), nullptr);
    int onStack = 0;
    void* heapBlock = HeapAlloc(GetProcessHeap(), 0, 8);
    ASSERT_NE(heapBlock, nullptr);

    for (HGLOBAL bad : {HGLOBAL(&onStack), freed, freedFixed, HGLOBAL(heapBlock)}) {
        SetLastError(0xdeadbeef);
        EXPECT_EQ(GlobalFree(bad), bad);
        EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
        SetLastError(0xdeadbeef);
        EXPECT_EQ(GlobalLock(bad), nullptr);
        EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
        SetLastError(0xdeadbeef);
        EXPECT_EQ(GlobalSize(bad), 0u);
        EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
        SetLastError(0xdeadbeef);
        EXPECT_EQ(GlobalReAlloc(bad, 64, GMEM_MOVEABLE), nullptr);
        EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
        SetLastError(0xdeadbeef);
        EXPECT_EQ(GlobalHandle(bad), nullptr);
        EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
    }
    EXPECT_EQ(onStack, 0);
    EXPECT_TRUE(HeapFree(GetProcessHeap(), 0, heapBlock));
}

TEST(GlobalMemory, RefusesUnknownFlags) {
    SetLastError(0xdeadbeef);
    EXPECT_EQ(GlobalAlloc(0x8000, 8), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    SetLastError(0xdeadbeef);
    EXPECT_EQ(LocalAlloc(0x1000, 8), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
}

TEST(LocalMemory, AllocLockAndFree) {
    HLOCAL fixed = LocalAlloc(LPTR, 40);
    ASSERT_NE(fixed, nullptr);
    EXPECT_TRUE(AllBytes(fixed, 0, 40, 0));
    EXPECT_EQ(LocalLock(fixed), fixed);
    EXPECT_EQ(LocalSize(fixed), 40u);

    HLOCAL moveable = LocalAlloc(LHND, 40);
    ASSERT_NE(moveable, nullptr);
    void* p = LocalLock(moveable);
    ASSERT_NE(p, nullptr);
    EXPECT_TRUE(AllBytes(p, 0, 40, 0));
    EXPECT_EQ(LocalHandle(p), moveable);
    SetLastError(0xdeadbeef);
    EXPECT_FALSE(LocalUnlock(moveable));
    EXPECT_EQ(GetLastError(), DWORD(NO_ERROR));

    EXPECT_EQ(LocalFree(fixed), nullptr);
    EXPECT_EQ(LocalFree(moveable), nullptr);
    SetLastError(0xdeadbeef);
    EXPECT_EQ(LocalFree(fixed), fixed);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
}

TEST(HeapMemory, ProcessHeapAllocReAllocSizeFree) {
    HANDLE heap = GetProcessHeap();
    ASSERT_NE(heap, nullptr);
    EXPECT_EQ(GetProcessHeap(), heap);
    auto* p = static_cast<BYTE*>(HeapAlloc(heap, HEAP_ZERO_MEMORY, 100));
    ASSERT_NE(p, nullptr);
    EXPECT_TRUE(AllBytes(p, 0, 100, 0));
    EXPECT_EQ(HeapSize(heap, 0, p), 100u);
    std::memset(p, 0x33, 100);

    SetLastError(0xdeadbeef);
    EXPECT_EQ(HeapReAlloc(heap, HEAP_REALLOC_IN_PLACE_ONLY, p, 1 << 20), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_NOT_ENOUGH_MEMORY));
    EXPECT_EQ(HeapSize(heap, 0, p), 100u);

    auto* q = static_cast<BYTE*>(HeapReAlloc(heap, HEAP_ZERO_MEMORY, p, 5000));
    ASSERT_NE(q, nullptr);
    EXPECT_EQ(HeapSize(heap, 0, q), 5000u);
    EXPECT_TRUE(AllBytes(q, 0, 100, 0x33));
    EXPECT_TRUE(AllBytes(q, 100, 5000, 0));

    EXPECT_EQ(HeapReAlloc(heap, HEAP_REALLOC_IN_PLACE_ONLY, q, 10), q);
    EXPECT_EQ(HeapSize(heap, 0, q), 10u);

    EXPECT_TRUE(HeapFree(heap, 0, q));
    SetLastError(0xdeadbeef);
    EXPECT_FALSE(HeapFree(heap, 0, q));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    SetLastError(0xdeadbeef);
    EXPECT_EQ(HeapSize(heap, 0, q), SIZE_T(-1));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    EXPECT_TRUE(HeapFree(heap, 0, nullptr));
}

TEST(HeapMemory, PrivateHeapOwnsItsBlocks) {
    HANDLE heap = HeapCreate(0, 0, 0);
    ASSERT_NE(heap, nullptr);
    EXPECT_NE(heap, GetProcessHeap());
    void* a = HeapAlloc(heap, 0, 64);
    void* b = HeapAlloc(heap, HEAP_ZERO_MEMORY, 64);
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_TRUE(AllBytes(b, 0, 64, 0));
    SetLastError(0xdeadbeef);
    EXPECT_FALSE(HeapFree(GetProcessHeap(), 0, a));  // not the process heap's block
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    SetLastError(0xdeadbeef);
    EXPECT_EQ(GlobalFree(a), a);  // nor a global one
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
    EXPECT_TRUE(HeapFree(heap, 0, a));

    EXPECT_TRUE(HeapDestroy(heap));  // releases b with the heap
    SetLastError(0xdeadbeef);
    EXPECT_EQ(HeapSize(heap, 0, b), SIZE_T(-1));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    SetLastError(0xdeadbeef);
    EXPECT_EQ(HeapAlloc(heap, 0, 8), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
    SetLastError(0xdeadbeef);
    EXPECT_FALSE(HeapDestroy(heap));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
}

}  // namespace
