#include <gtest/gtest.h>
#include <windows.h>

#include <functional>

#include "support/machine_fixture.h"
#include "thread_helpers.h"

namespace {

using tam::test::StartThread;

class Mutexes : public tam::test::MachineTest {
protected:
    // What `body` returns when run on another thread.
    static DWORD OnOtherThread(std::function<DWORD()> body) {
        HANDLE thread = StartThread(std::move(body));
        WaitForSingleObject(thread, INFINITE);
        DWORD code = 0;
        GetExitCodeThread(thread, &code);
        CloseHandle(thread);
        return code;
    }
    static DWORD ErrorOfReleaseOnOtherThread(HANDLE mutex) {
        return OnOtherThread([mutex] { return ReleaseMutex(mutex) ? DWORD(ERROR_SUCCESS) : GetLastError(); });
    }
};

TEST_F(Mutexes, OwnerTakesItAgainAndReleasesEachTake) {
    SetLastError(0xdeadbeef);
    HANDLE mutex = CreateMutexW(nullptr, TRUE, nullptr);
    ASSERT_NE(mutex, nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_SUCCESS));
    EXPECT_EQ(WaitForSingleObject(mutex, 0), WAIT_OBJECT_0);  // held twice now
    auto otherCanTake = [mutex] { return OnOtherThread([mutex] { return WaitForSingleObject(mutex, 0); }); };
    EXPECT_EQ(otherCanTake(), DWORD(WAIT_TIMEOUT));
    EXPECT_EQ(ErrorOfReleaseOnOtherThread(mutex), DWORD(ERROR_NOT_OWNER));

    EXPECT_TRUE(ReleaseMutex(mutex));
    EXPECT_EQ(otherCanTake(), DWORD(WAIT_TIMEOUT));
    EXPECT_TRUE(ReleaseMutex(mutex));
    SetLastError(0);
    EXPECT_FALSE(ReleaseMutex(mutex));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_NOT_OWNER));
    // Free now: the other thread takes it, and ends holding it.
    EXPECT_EQ(otherCanTake(), WAIT_OBJECT_0);
    CloseHandle(mutex);
}

TEST_F(Mutexes, NamedMutexOpensOnceAndIgnoresInitialOwnerWhenItExists) {
    SetLastError(0);
    EXPECT_EQ(OpenMutexW(SYNCHRONIZE, FALSE, u"Korvan.Install"), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_NOT_FOUND));

    HANDLE first = CreateMutexW(nullptr, FALSE, u"Korvan.Install");
    ASSERT_NE(first, nullptr);
    SetLastError(0);
    HANDLE second = CreateMutexW(nullptr, TRUE, u"Korvan.Install");
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ALREADY_EXISTS));
    SetLastError(0);
    EXPECT_FALSE(ReleaseMutex(second));  // not taken by the second create
    EXPECT_EQ(GetLastError(), DWORD(ERROR_NOT_OWNER));

    HANDLE opened = OpenMutexW(MUTEX_ALL_ACCESS, FALSE, u"Korvan.Install");
    ASSERT_NE(opened, nullptr);
    EXPECT_EQ(WaitForSingleObject(opened, 0), WAIT_OBJECT_0);
    EXPECT_EQ(ErrorOfReleaseOnOtherThread(first), DWORD(ERROR_NOT_OWNER));
    EXPECT_TRUE(ReleaseMutex(first));  // any handle to the same mutex
    for (HANDLE h : {first, second, opened}) CloseHandle(h);
}

TEST_F(Mutexes, OwnerEndingAbandonsIt) {
    HANDLE mutex = CreateMutexW(nullptr, FALSE, nullptr);
    HANDLE other = CreateEventW(nullptr, TRUE, TRUE, nullptr);
    // One thread returns holding the mutex, another ends through ExitThread.
    const std::function<DWORD()> enders[] = {
        [mutex] { return WaitForSingleObject(mutex, 0); },
        [mutex]() -> DWORD {
            WaitForSingleObject(mutex, 0);
            WaitForSingleObject(mutex, 0);  // taken twice: still one abandonment
            ExitThread(0);
        },
    };
    for (const auto& ender : enders) {
        EXPECT_EQ(OnOtherThread(ender), 0u);
        HANDLE both[] = {other, mutex};
        EXPECT_EQ(WaitForMultipleObjects(2, both, TRUE, 0), WAIT_ABANDONED_0 + 1);
        // The wait made the caller the owner, and the mark is gone.
        EXPECT_TRUE(ReleaseMutex(mutex));
        SetLastError(0);
        EXPECT_FALSE(ReleaseMutex(mutex));
        EXPECT_EQ(GetLastError(), DWORD(ERROR_NOT_OWNER));
        EXPECT_EQ(WaitForSingleObject(mutex, 0), WAIT_OBJECT_0);
        EXPECT_TRUE(ReleaseMutex(mutex));
    }
    CloseHandle(other);
    CloseHandle(mutex);
}

TEST_F(Mutexes, WaiterSeesAbandonmentWhenTheOwnerEndsMeanwhile) {
    HANDLE mutex = CreateMutexW(nullptr, FALSE, nullptr);
    HANDLE release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE owner = StartThread([&] {
        WaitForSingleObject(mutex, INFINITE);
        WaitForSingleObject(release, INFINITE);
        return DWORD(0);
    });
    Sleep(10);  // the owner holds the mutex and waits
    HANDLE waiter = StartThread([&] {
        DWORD result = WaitForSingleObject(mutex, INFINITE);
        ReleaseMutex(mutex);
        return result;
    });
    Sleep(10);
    SetEvent(release);
    HANDLE threads[] = {owner, waiter};
    EXPECT_EQ(WaitForMultipleObjects(2, threads, TRUE, INFINITE), WAIT_OBJECT_0);
    DWORD result = 0;
    GetExitCodeThread(waiter, &result);
    EXPECT_EQ(result, DWORD(WAIT_ABANDONED));
    for (HANDLE h : {owner, waiter, release, mutex}) CloseHandle(h);
}

}  // namespace
