#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <vector>

#include "support/machine_fixture.h"
#include "thread_helpers.h"

namespace {

class Events : public tam::test::MachineTest {};

struct EventCase {
    BOOL manualReset;
    BOOL initialState;
    DWORD firstWait;   // WaitForSingleObject(event, 0) right after creation
    DWORD secondWait;  // and once more
};
const EventCase kEventCases[] = {
    {TRUE, TRUE, WAIT_OBJECT_0, WAIT_OBJECT_0},
    {TRUE, FALSE, WAIT_TIMEOUT, WAIT_TIMEOUT},
    {FALSE, TRUE, WAIT_OBJECT_0, WAIT_TIMEOUT},  // the first wait resets it
    {FALSE, FALSE, WAIT_TIMEOUT, WAIT_TIMEOUT},
};

TEST_F(Events, InitialStateAndResetKinds) {
    for (const auto& c : kEventCases) {
        SCOPED_TRACE(testing::Message() << "manual " << c.manualReset << " initial " << c.initialState);
        SetLastError(0xdeadbeef);
        HANDLE event = CreateEventW(nullptr, c.manualReset, c.initialState, nullptr);
        ASSERT_NE(event, nullptr);
        EXPECT_EQ(GetLastError(), DWORD(ERROR_SUCCESS));
        EXPECT_EQ(WaitForSingleObject(event, 0), c.firstWait);
        EXPECT_EQ(WaitForSingleObject(event, 0), c.secondWait);

        EXPECT_TRUE(SetEvent(event));
        EXPECT_TRUE(SetEvent(event));  // setting a set event changes nothing
        EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_OBJECT_0);
        EXPECT_EQ(WaitForSingleObject(event, 0), c.manualReset ? WAIT_OBJECT_0 : DWORD(WAIT_TIMEOUT));

        EXPECT_TRUE(SetEvent(event));
        EXPECT_TRUE(ResetEvent(event));
        EXPECT_EQ(WaitForSingleObject(event, 0), DWORD(WAIT_TIMEOUT));
        EXPECT_TRUE(CloseHandle(event));
    }
}

// Waiters block on one event; each SetEvent lets one through (auto reset) or
// all of them (manual reset).
int WaitersReleasedBySetEvent(BOOL manualReset) {
    HANDLE event = CreateEventW(nullptr, manualReset, FALSE, nullptr);
    std::atomic<int> through{0};
    std::vector<HANDLE> threads;
    for (int i = 0; i < 3; ++i) {
        threads.push_back(tam::test::StartThread([&] {
            WaitForSingleObject(event, INFINITE);
            ++through;
            return DWORD(0);
        }));
    }
    // On a virtual clock Sleep returns once every other thread is blocked:
    // here, when all three wait for the event.
    Sleep(10);
    EXPECT_EQ(through.load(), 0);
    SetEvent(event);
    Sleep(10);  // the released ones have run and ended; the others wait again
    int released = through.load();

    for (int i = 0; i < 3 && through < 3; ++i) {
        SetEvent(event);
        Sleep(10);
    }
    for (HANDLE thread : threads) {
        EXPECT_EQ(WaitForSingleObject(thread, INFINITE), WAIT_OBJECT_0);
        CloseHandle(thread);
    }
    EXPECT_EQ(through.load(), 3);
    if (!manualReset) {
        EXPECT_EQ(WaitForSingleObject(event, 0), DWORD(WAIT_TIMEOUT));  // each set was taken
    }
    CloseHandle(event);
    return released;
}

TEST_F(Events, AutoResetReleasesExactlyOneWaiter) { EXPECT_EQ(WaitersReleasedBySetEvent(FALSE), 1); }

TEST_F(Events, ManualResetReleasesEveryWaiter) { EXPECT_EQ(WaitersReleasedBySetEvent(TRUE), 3); }

TEST_F(Events, SetAndResetRefuseOtherHandles) {
    HANDLE mutex = CreateMutexW(nullptr, FALSE, nullptr);
    HANDLE closed = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    CloseHandle(closed);
    for (HANDLE bad : {HANDLE(nullptr), closed, mutex}) {
        SetLastError(0);
        EXPECT_FALSE(SetEvent(bad));
        EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
        SetLastError(0);
        EXPECT_FALSE(ResetEvent(bad));
        EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
    }
    CloseHandle(mutex);
}

}  // namespace
