// Counted global-memory blocks.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstddef>
#include <cstring>

#include "pcl6/intrface/util.h"
#include "pdl/pcl6/intrface/util_cases.h"

namespace tam::test {
namespace {

INT32 SizeAt(const void* at) {
    INT32 value;
    std::memcpy(&value, at, sizeof(value));
    return value;
}

class CountedBlock : public testing::TestWithParam<CounterCase> {};

TEST_P(CountedBlock, CounterFollowsTheBlockAndTheLayoutHoldsTheTotalTwice) {
    const CounterCase& c = GetParam();
    LONG counter = 1000;
    auto* bytes = static_cast<BYTE*>(Util_GlobalAlloc(&counter, c.size));
    ASSERT_NE(bytes, nullptr);
    EXPECT_EQ(counter, 1000 + c.added);
    for (DWORD i = 0; i < c.size; ++i) ASSERT_EQ(bytes[i], 0) << i;
    EXPECT_EQ(SizeAt(bytes - 4), c.added);
    EXPECT_EQ(SizeAt(bytes + c.size), c.added);
    // Aligned for records that hold pointers.
    EXPECT_EQ(reinterpret_cast<ULONG_PTR>(bytes) % alignof(std::max_align_t), 0u);

    Util_GlobalFree(&counter, bytes);
    EXPECT_EQ(counter, 1000);
    // Freed: a second free is refused.
    SetLastError(0);
    Util_GlobalFree(&counter, bytes);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(counter, 1000);
}

INSTANTIATE_TEST_SUITE_P(All, CountedBlock, testing::ValuesIn(kCounterSizes));

TEST(CountedMemory, WithoutCounter) {
    void* block = Util_GlobalAlloc(nullptr, 16);
    ASSERT_NE(block, nullptr);
    Util_GlobalFree(nullptr, block);
    SetLastError(0);
    Util_GlobalFree(nullptr, block);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
}

TEST(CountedMemory, TooLargeFailsAndCountsNothing) {
    LONG counter = 0;
    SetLastError(0);
    EXPECT_EQ(Util_GlobalAlloc(&counter, 0x7FFFFFF8u), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_NOT_ENOUGH_MEMORY));
    EXPECT_EQ(Util_GlobalAlloc(&counter, 0xFFFFFFFFu), nullptr);
    EXPECT_EQ(counter, 0);
}

// An overrun that changed either recorded size leaves the block allocated
// and the counter as it was.
TEST(CountedMemory, DisagreeingSizesLeaveTheBlockAlone) {
    for (int corrupt : {0, 1}) {
        LONG counter = 0;
        auto* bytes = static_cast<BYTE*>(Util_GlobalAlloc(&counter, 100));
        ASSERT_NE(bytes, nullptr);
        BYTE* sizeField = corrupt == 0 ? bytes - 4 : bytes + 100;
        BYTE saved[4];
        std::memcpy(saved, sizeField, 4);
        std::memset(sizeField, 0x41, 4);
        SetLastError(0);
        Util_GlobalFree(&counter, bytes);
        EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
        EXPECT_EQ(counter, 108);
        // Still allocated: once repaired, it frees.
        std::memcpy(sizeField, saved, 4);
        Util_GlobalFree(&counter, bytes);
        EXPECT_EQ(counter, 0);
    }
}

// Pointers this allocator did not hand out are refused without being read:
// a foreign block whose first bytes claim a huge size, a local buffer, the
// middle of a block, a block freed before.
TEST(CountedMemory, ForeignPointersAreRefusedUnread) {
    LONG counter = 0;
    auto* foreign = static_cast<BYTE*>(GlobalAlloc(GPTR, 16));
    ASSERT_NE(foreign, nullptr);
    const INT32 wild = 0x40000000;
    std::memcpy(foreign, &wild, sizeof(wild));
    BYTE local[32] = {};
    std::memcpy(local, &wild, sizeof(wild));
    auto* ours = static_cast<BYTE*>(Util_GlobalAlloc(&counter, 64));
    ASSERT_NE(ours, nullptr);
    auto* freed = static_cast<BYTE*>(Util_GlobalAlloc(&counter, 8));
    ASSERT_NE(freed, nullptr);
    Util_GlobalFree(&counter, freed);
    ASSERT_EQ(counter, 72);

    void* const refused[] = {foreign + 4, local + 4, ours + 8, ours - 4, freed, reinterpret_cast<void*>(1)};
    for (void* pointer : refused) {
        SetLastError(0);
        Util_GlobalFree(&counter, pointer);
        EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER)) << pointer;
        EXPECT_EQ(counter, 72) << pointer;
    }
    Util_GlobalFree(&counter, nullptr);
    EXPECT_EQ(counter, 72);
    EXPECT_EQ(GlobalSize(foreign), 16u);

    Util_GlobalFree(&counter, ours);
    EXPECT_EQ(counter, 0);
    GlobalFree(foreign);
}

}  // namespace
}  // namespace tam::test
