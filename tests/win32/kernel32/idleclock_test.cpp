// Waits and sleeps on the machine clock: a virtual clock jumps to the
// earliest deadline once every thread the layer counts is blocked; a real
// clock takes real time.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "support/machine_fixture.h"
#include "thread_helpers.h"

namespace {

using std::chrono::steady_clock;
using tam::test::RealMsSince;
using tam::test::StartThread;

class VirtualClock : public tam::test::MachineTest {};

TEST_F(VirtualClock, LoneSleepAndTimedWaitReturnAtOnce) {
    HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    auto start = steady_clock::now();
    ULONGLONG tick = GetTickCount64();

    Sleep(60000);
    EXPECT_EQ(GetTickCount64(), tick + 60000);
    EXPECT_EQ(WaitForSingleObject(event, 90000), DWORD(WAIT_TIMEOUT));
    EXPECT_EQ(GetTickCount64(), tick + 150000);
    HANDLE two[] = {event, event};
    EXPECT_EQ(WaitForMultipleObjects(2, two, FALSE, 2500), DWORD(WAIT_TIMEOUT));
    EXPECT_EQ(SleepEx(500, TRUE), 0u);
    EXPECT_EQ(GetTickCount64(), tick + 153000);
    EXPECT_LT(RealMsSince(start), 1000);

    SYSTEMTIME now{};
    GetSystemTime(&now);
    EXPECT_EQ(now.wHour, 9);
    EXPECT_EQ(now.wMinute, 2);
    EXPECT_EQ(now.wSecond, 33);
    CloseHandle(event);
}

TEST_F(VirtualClock, SignalFromARunningThreadBeatsALongTimeout) {
    HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE worker = StartThread([&] {
        // Real work, outside any wait: the clock must stand still meanwhile.
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        return DWORD(SetEvent(event));
    });
    auto start = steady_clock::now();
    ULONGLONG tick = GetTickCount64();
    EXPECT_EQ(WaitForSingleObject(event, 90000), WAIT_OBJECT_0);
    EXPECT_GE(RealMsSince(start), 150);
    EXPECT_EQ(GetTickCount64(), tick);
    EXPECT_EQ(WaitForSingleObject(worker, INFINITE), WAIT_OBJECT_0);
    CloseHandle(worker);
    CloseHandle(event);
}

TEST_F(VirtualClock, SleepersWakeInDeadlineOrder) {
    const DWORD naps[] = {300, 100, 200, 100000};
    std::atomic<int> woken{0};
    struct Wake {
        int order;
        ULONGLONG tick;
    };
    Wake wakes[4] = {};
    std::vector<HANDLE> threads;
    ULONGLONG start = GetTickCount64();
    for (int i = 0; i < 4; ++i) {
        threads.push_back(StartThread([&, i] {
            Sleep(naps[i]);
            wakes[i] = {woken++, GetTickCount64()};
            return DWORD(0);
        }));
    }
    auto real = steady_clock::now();
    EXPECT_EQ(WaitForMultipleObjects(4, threads.data(), TRUE, INFINITE), WAIT_OBJECT_0);
    EXPECT_LT(RealMsSince(real), 1000);
    const int expectedOrder[] = {2, 0, 1, 3};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(wakes[i].order, expectedOrder[i]) << "nap " << naps[i];
        EXPECT_EQ(wakes[i].tick, start + naps[i]) << "nap " << naps[i];
    }
    for (HANDLE h : threads) CloseHandle(h);
}

TEST_F(VirtualClock, EndedAndSuspendedThreadsDoNotHoldTheClock) {
    const int counted = w32::Clock::CountedThreads();
    HANDLE quick = StartThread([] { return DWORD(0); });
    HANDLE exiting = StartThread([]() -> DWORD { ExitThread(3); });
    HANDLE both[] = {quick, exiting};
    EXPECT_EQ(WaitForMultipleObjects(2, both, TRUE, INFINITE), WAIT_OBJECT_0);
    HANDLE suspended = StartThread([] { return DWORD(0); }, CREATE_SUSPENDED);
    EXPECT_EQ(w32::Clock::CountedThreads(), counted);

    auto start = steady_clock::now();
    ULONGLONG tick = GetTickCount64();
    Sleep(45000);
    EXPECT_LT(RealMsSince(start), 1000);
    EXPECT_EQ(GetTickCount64(), tick + 45000);

    ResumeThread(suspended);
    EXPECT_EQ(WaitForSingleObject(suspended, INFINITE), WAIT_OBJECT_0);
    EXPECT_EQ(w32::Clock::CountedThreads(), counted);
    for (HANDLE h : {quick, exiting, suspended}) CloseHandle(h);
}

TEST_F(VirtualClock, OtherThreadsCountWhileTheyWait) {
    // A thread the layer did not make counts only inside a wait: here its
    // sleep and the main thread's wait block together, so the clock moves.
    HANDLE done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    ULONGLONG wokeAt = 0;
    ULONGLONG tick = GetTickCount64();
    std::thread host([&] {
        Sleep(5000);
        wokeAt = GetTickCount64();
        SetEvent(done);
    });
    EXPECT_EQ(WaitForSingleObject(done, INFINITE), WAIT_OBJECT_0);
    host.join();
    EXPECT_EQ(wokeAt, tick + 5000);
    CloseHandle(done);
}

TEST_F(VirtualClock, WaitOutlivesItsMachine) {
    HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE waiter = StartThread([&] { return WaitForSingleObject(event, INFINITE); });
    Sleep(10);  // the waiter is in its wait
    Reopen();   // the clock it waits on goes away
    SetEvent(event);
    EXPECT_EQ(WaitForSingleObject(waiter, INFINITE), WAIT_OBJECT_0);
    DWORD result = 1;
    GetExitCodeThread(waiter, &result);
    EXPECT_EQ(result, WAIT_OBJECT_0);
    CloseHandle(waiter);
    CloseHandle(event);
}

class RealClock : public tam::test::MachineTest {
protected:
    w32::MachineSettings MakeSettings() const override {
        auto settings = MachineTest::MakeSettings();
        settings.virtualClock = false;
        return settings;
    }
};

TEST_F(RealClock, TimeOutsTakeRealTime) {
    HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    auto start = steady_clock::now();
    ULONGLONG tick = GetTickCount64();
    EXPECT_EQ(WaitForSingleObject(event, 150), DWORD(WAIT_TIMEOUT));
    EXPECT_GE(RealMsSince(start), 140);
    Sleep(100);
    EXPECT_GE(RealMsSince(start), 240);
    EXPECT_GE(GetTickCount64() - tick, 240u);

    // A signal still ends a wait early.
    HANDLE setter = StartThread([&] { return DWORD(SetEvent(event)); });
    start = steady_clock::now();
    EXPECT_EQ(WaitForSingleObject(event, 60000), WAIT_OBJECT_0);
    EXPECT_LT(RealMsSince(start), 30000);
    WaitForSingleObject(setter, INFINITE);
    CloseHandle(setter);
    CloseHandle(event);
}

}  // namespace
