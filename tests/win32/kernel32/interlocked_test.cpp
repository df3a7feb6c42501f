#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "support/machine_fixture.h"
#include "thread_helpers.h"

namespace {

TEST(Interlocked, ReturnValuesAndResults) {
    struct Case {
        const char* operation;
        LONG start;
        LONG (*apply)(LONG volatile*);
        LONG returned;
        LONG after;
    };
    const Case cases[] = {
        {"Increment", 41, [](LONG volatile* v) { return InterlockedIncrement(v); }, 42, 42},
        {"Increment wraps", MAXLONG, [](LONG volatile* v) { return InterlockedIncrement(v); }, LONG(0x80000000),
         LONG(0x80000000)},
        {"Decrement", 0, [](LONG volatile* v) { return InterlockedDecrement(v); }, -1, -1},
        {"Exchange", 7, [](LONG volatile* v) { return InterlockedExchange(v, 9); }, 7, 9},
        {"ExchangeAdd", 10, [](LONG volatile* v) { return InterlockedExchangeAdd(v, -3); }, 10, 7},
        {"CompareExchange hit", 5, [](LONG volatile* v) { return InterlockedCompareExchange(v, 8, 5); }, 5, 8},
        {"CompareExchange miss", 6, [](LONG volatile* v) { return InterlockedCompareExchange(v, 8, 5); }, 6, 6},
    };
    for (const auto& c : cases) {
        LONG volatile value = c.start;
        EXPECT_EQ(c.apply(&value), c.returned) << c.operation;
        EXPECT_EQ(value, c.after) << c.operation;
    }

    int a = 0, b = 0;
    PVOID volatile slot = &a;
    EXPECT_EQ(InterlockedExchangePointer(&slot, &b), &a);
    EXPECT_EQ(slot, &b);
    EXPECT_EQ(InterlockedCompareExchangePointer(&slot, nullptr, &a), &b);  // miss: unchanged
    EXPECT_EQ(slot, &b);
    EXPECT_EQ(InterlockedCompareExchangePointer(&slot, nullptr, &b), &b);
    EXPECT_EQ(slot, nullptr);
}

class InterlockedThreads : public tam::test::MachineTest {};

TEST_F(InterlockedThreads, NoUpdateIsLost) {
    constexpr int kThreads = 4, kRounds = 100000;
    LONG volatile count = 0, balance = 0;
    std::vector<HANDLE> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.push_back(tam::test::StartThread([&] {
            for (int i = 0; i < kRounds; ++i) {
                InterlockedIncrement(&count);
                InterlockedExchangeAdd(&balance, 3);
                InterlockedDecrement(&balance);
            }
            return DWORD(0);
        }));
    }
    EXPECT_EQ(WaitForMultipleObjects(kThreads, threads.data(), TRUE, INFINITE), WAIT_OBJECT_0);
    EXPECT_EQ(count, kThreads * kRounds);
    EXPECT_EQ(balance, 2 * kThreads * kRounds);
    for (HANDLE h : threads) CloseHandle(h);
}

}  // namespace
