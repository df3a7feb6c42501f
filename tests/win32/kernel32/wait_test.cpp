#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "support/machine_fixture.h"
#include "thread_helpers.h"

namespace {

class Waits : public tam::test::MachineTest {
protected:
    void TearDown() override {
        for (HANDLE h : handles_) CloseHandle(h);
        MachineTest::TearDown();
    }
    HANDLE Event(BOOL manualReset, BOOL signalled) {
        handles_.push_back(CreateEventW(nullptr, manualReset, signalled, nullptr));
        return handles_.back();
    }
    static bool IsSet(HANDLE manualEvent) { return WaitForSingleObject(manualEvent, 0) == WAIT_OBJECT_0; }

private:
    std::vector<HANDLE> handles_;
};

TEST_F(Waits, WaitAnyTakesTheFirstSignalledObjectOnly) {
    HANDLE events[] = {Event(FALSE, FALSE), Event(FALSE, TRUE), Event(FALSE, TRUE)};
    EXPECT_EQ(WaitForMultipleObjects(3, events, FALSE, 0), WAIT_OBJECT_0 + 1);
    EXPECT_EQ(WaitForMultipleObjects(3, events, FALSE, 0), WAIT_OBJECT_0 + 2);  // 1 was reset by the first wait
    EXPECT_EQ(WaitForMultipleObjects(3, events, FALSE, 0), DWORD(WAIT_TIMEOUT));
}

TEST_F(Waits, WaitAllTakesNothingUntilEveryObjectIsSignalled) {
    HANDLE semaphore = CreateSemaphoreW(nullptr, 1, 1, nullptr);
    HANDLE objects[] = {Event(FALSE, TRUE), semaphore, Event(TRUE, FALSE)};
    EXPECT_EQ(WaitForMultipleObjects(3, objects, TRUE, 0), DWORD(WAIT_TIMEOUT));
    // Neither the auto-reset event nor the semaphore was taken by the failed wait.
    EXPECT_EQ(WaitForMultipleObjects(2, objects, TRUE, 0), WAIT_OBJECT_0);
    SetEvent(objects[0]);
    ReleaseSemaphore(semaphore, 1, nullptr);

    // The last one is set by another thread while the caller waits.
    HANDLE setter = tam::test::StartThread([&] { return DWORD(SetEvent(objects[2])); });
    EXPECT_EQ(WaitForMultipleObjects(3, objects, TRUE, INFINITE), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(objects[0], 0), DWORD(WAIT_TIMEOUT));
    EXPECT_EQ(WaitForSingleObject(semaphore, 0), DWORD(WAIT_TIMEOUT));
    EXPECT_TRUE(IsSet(objects[2]));
    WaitForSingleObject(setter, INFINITE);
    CloseHandle(setter);
    CloseHandle(semaphore);
}

TEST_F(Waits, SixtyFourHandlesAreTheMost) {
    std::vector<HANDLE> events;
    for (int i = 0; i < MAXIMUM_WAIT_OBJECTS + 1; ++i) events.push_back(Event(TRUE, FALSE));
    SetEvent(events[63]);
    EXPECT_EQ(WaitForMultipleObjects(64, events.data(), FALSE, 0), WAIT_OBJECT_0 + 63);
    SetLastError(0);
    EXPECT_EQ(WaitForMultipleObjects(65, events.data(), FALSE, 0), WAIT_FAILED);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
}

TEST_F(Waits, BadArgumentsFailTheWait) {
    HANDLE closed = CreateEventW(nullptr, TRUE, TRUE, nullptr);
    CloseHandle(closed);
    HANDLE set = Event(TRUE, TRUE);
    struct Case {
        std::vector<HANDLE> handles;
        BOOL waitAll;
        DWORD error;
    };
    const Case cases[] = {
        {{}, FALSE, ERROR_INVALID_PARAMETER},
        {{set, closed}, FALSE, ERROR_INVALID_HANDLE},  // even with an earlier one signalled
        {{set, nullptr}, TRUE, ERROR_INVALID_HANDLE},
        {{set, set}, TRUE, ERROR_INVALID_PARAMETER},  // one object twice in a wait for all
    };
    for (const auto& c : cases) {
        SetLastError(0);
        EXPECT_EQ(WaitForMultipleObjects(DWORD(c.handles.size()), c.handles.data(), c.waitAll, 0), WAIT_FAILED);
        EXPECT_EQ(GetLastError(), c.error);
    }
    SetLastError(0);
    EXPECT_EQ(WaitForMultipleObjects(1, nullptr, FALSE, 0), WAIT_FAILED);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    SetLastError(0);
    EXPECT_EQ(WaitForSingleObject(closed, INFINITE), WAIT_FAILED);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
    HANDLE twice[] = {set, set};
    EXPECT_EQ(WaitForMultipleObjects(2, twice, FALSE, 0), WAIT_OBJECT_0);  // fine when any will do
}

TEST_F(Waits, SignalObjectAndWaitHandsOverInOneStep) {
    HANDLE ping = Event(FALSE, FALSE);
    HANDLE pong = Event(FALSE, FALSE);
    HANDLE partner = tam::test::StartThread([&] {
        WaitForSingleObject(ping, INFINITE);
        return DWORD(SetEvent(pong));
    });
    EXPECT_EQ(SignalObjectAndWait(ping, pong, INFINITE, FALSE), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(partner, INFINITE), WAIT_OBJECT_0);
    CloseHandle(partner);

    HANDLE mutex = CreateMutexW(nullptr, FALSE, nullptr);
    SetLastError(0);
    EXPECT_EQ(SignalObjectAndWait(mutex, pong, 0, FALSE), WAIT_FAILED);  // releasing a mutex not owned
    EXPECT_EQ(GetLastError(), DWORD(ERROR_NOT_OWNER));
    HANDLE full = CreateSemaphoreW(nullptr, 1, 1, nullptr);
    SetLastError(0);
    EXPECT_EQ(SignalObjectAndWait(full, pong, 0, FALSE), WAIT_FAILED);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_TOO_MANY_POSTS));
    // A mutex is released before the wait for the same mutex, which then takes it again.
    WaitForSingleObject(mutex, 0);
    EXPECT_EQ(SignalObjectAndWait(mutex, mutex, 0, FALSE), WAIT_OBJECT_0);
    EXPECT_TRUE(ReleaseMutex(mutex));
    CloseHandle(full);
    CloseHandle(mutex);
}

}  // namespace
