#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <chrono>
#include <vector>

#include "support/machine_fixture.h"
#include "thread_helpers.h"

namespace {

using tam::test::StartThread;

class CriticalSections : public tam::test::MachineTest {
protected:
    void SetUp() override {
        MachineTest::SetUp();
        InitializeCriticalSection(&section_);
    }
    void TearDown() override {
        DeleteCriticalSection(&section_);
        MachineTest::TearDown();
    }
    BOOL TryOnOtherThread() {
        HANDLE thread = StartThread([this] {
            BOOL entered = TryEnterCriticalSection(&section_);
            if (entered) LeaveCriticalSection(&section_);
            return DWORD(entered);
        });
        WaitForSingleObject(thread, INFINITE);
        DWORD code = 2;
        GetExitCodeThread(thread, &code);
        CloseHandle(thread);
        return BOOL(code);
    }

    CRITICAL_SECTION section_;
};

TEST_F(CriticalSections, OwnerEntersAgainAndOthersWaitUntilTheLastLeave) {
    EnterCriticalSection(&section_);
    EXPECT_TRUE(TryEnterCriticalSection(&section_));
    EXPECT_EQ(section_.RecursionCount, 2);
    EXPECT_EQ(section_.OwningThread, reinterpret_cast<HANDLE>(ULONG_PTR(GetCurrentThreadId())));
    EXPECT_FALSE(TryOnOtherThread());

    LeaveCriticalSection(&section_);
    EXPECT_EQ(section_.RecursionCount, 1);
    EXPECT_FALSE(TryOnOtherThread());
    LeaveCriticalSection(&section_);
    EXPECT_EQ(section_.OwningThread, nullptr);
    EXPECT_TRUE(TryOnOtherThread());
}

TEST_F(CriticalSections, ThreadsTakeTurns) {
    constexpr int kThreads = 4, kRounds = 20000;
    long counter = 0;  // not atomic: only the critical section protects it
    std::vector<HANDLE> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.push_back(StartThread([&] {
            for (int i = 0; i < kRounds; ++i) {
                EnterCriticalSection(&section_);
                long seen = counter;
                if (i % 1000 == 0) Sleep(0);  // let another thread try while this one holds it
                counter = seen + 1;
                LeaveCriticalSection(&section_);
            }
            return DWORD(0);
        }));
    }
    EXPECT_EQ(WaitForMultipleObjects(kThreads, threads.data(), TRUE, INFINITE), WAIT_OBJECT_0);
    EXPECT_EQ(counter, long(kThreads) * kRounds);
    for (HANDLE h : threads) CloseHandle(h);
}

TEST_F(CriticalSections, WaitingForOneCountsAsBlockedOnAVirtualClock) {
    EnterCriticalSection(&section_);
    std::atomic<bool> entered{false};
    HANDLE waiter = StartThread([&] {
        EnterCriticalSection(&section_);
        entered = true;
        LeaveCriticalSection(&section_);
        return DWORD(0);
    });
    // The waiter blocks on the critical section, so the process is idle and
    // a long sleep costs no real time.
    auto start = std::chrono::steady_clock::now();
    ULONGLONG before = GetTickCount64();
    Sleep(30000);
    EXPECT_LT(tam::test::RealMsSince(start), 1000);
    EXPECT_EQ(GetTickCount64() - before, 30000u);
    EXPECT_FALSE(entered);
    LeaveCriticalSection(&section_);
    EXPECT_EQ(WaitForSingleObject(waiter, INFINITE), WAIT_OBJECT_0);
    EXPECT_TRUE(entered);
    CloseHandle(waiter);
}

TEST_F(CriticalSections, ZeroedSectionWorksWithoutInitialisation) {
    CRITICAL_SECTION zeroed{};
    EnterCriticalSection(&zeroed);
    EXPECT_EQ(zeroed.RecursionCount, 1);
    EXPECT_NE(zeroed.Impl, nullptr);
    LeaveCriticalSection(&zeroed);
    DeleteCriticalSection(&zeroed);
    EXPECT_EQ(zeroed.Impl, nullptr);

    CRITICAL_SECTION spun;
    EXPECT_TRUE(InitializeCriticalSectionAndSpinCount(&spun, 4000));
    EXPECT_EQ(spun.SpinCount, 4000u);
    EXPECT_TRUE(TryEnterCriticalSection(&spun));
    LeaveCriticalSection(&spun);
    DeleteCriticalSection(&spun);
}

}  // namespace
