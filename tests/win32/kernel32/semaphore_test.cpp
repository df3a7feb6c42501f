#include <gtest/gtest.h>
#include <windows.h>

#include "support/machine_fixture.h"

namespace {

class Semaphores : public tam::test::MachineTest {
protected:
    // How many waits get through at once: the semaphore's count (taken).
    static int Drain(HANDLE semaphore) {
        int taken = 0;
        while (WaitForSingleObject(semaphore, 0) == WAIT_OBJECT_0) ++taken;
        return taken;
    }
};

TEST_F(Semaphores, CountsDownByWaitsAndUpByReleasesToTheMaximum) {
    HANDLE semaphore = CreateSemaphoreW(nullptr, 2, 3, nullptr);
    ASSERT_NE(semaphore, nullptr);
    EXPECT_EQ(Drain(semaphore), 2);

    LONG previous = -1;
    EXPECT_TRUE(ReleaseSemaphore(semaphore, 1, &previous));
    EXPECT_EQ(previous, 0);
    previous = -1;
    SetLastError(0);
    EXPECT_FALSE(ReleaseSemaphore(semaphore, 3, &previous));  // 1 + 3 > 3
    EXPECT_EQ(GetLastError(), DWORD(ERROR_TOO_MANY_POSTS));
    EXPECT_EQ(previous, -1);
    EXPECT_TRUE(ReleaseSemaphore(semaphore, 2, &previous));
    EXPECT_EQ(previous, 1);
    EXPECT_EQ(Drain(semaphore), 3);
    CloseHandle(semaphore);
}

TEST_F(Semaphores, BadCountsAreRefused) {
    struct Case {
        LONG initial, maximum;
    };
    for (const Case& c : {Case{0, 0}, Case{-1, 1}, Case{2, 1}, Case{0, -5}}) {
        SetLastError(0);
        EXPECT_EQ(CreateSemaphoreW(nullptr, c.initial, c.maximum, nullptr), nullptr) << c.initial << "/" << c.maximum;
        EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    }
    HANDLE semaphore = CreateSemaphoreW(nullptr, 0, 5, nullptr);
    for (LONG count : {0, -1}) {
        SetLastError(0);
        EXPECT_FALSE(ReleaseSemaphore(semaphore, count, nullptr));
        EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    }
    HANDLE event = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    SetLastError(0);
    EXPECT_FALSE(ReleaseSemaphore(event, 1, nullptr));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
    EXPECT_EQ(Drain(semaphore), 0);
    CloseHandle(event);
    CloseHandle(semaphore);
}

TEST_F(Semaphores, NamedSemaphoreKeepsItsCountWhenOpenedAgain) {
    HANDLE first = CreateSemaphoreW(nullptr, 1, 2, u"Korvan.Slots");
    SetLastError(0);
    HANDLE second = CreateSemaphoreW(nullptr, 5, 10, u"Korvan.Slots");
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ALREADY_EXISTS));
    HANDLE opened = OpenSemaphoreW(SEMAPHORE_ALL_ACCESS, FALSE, u"Korvan.Slots");
    ASSERT_NE(opened, nullptr);
    EXPECT_EQ(Drain(opened), 1);
    SetLastError(0);
    EXPECT_FALSE(ReleaseSemaphore(second, 3, nullptr));  // the maximum is still 2
    EXPECT_EQ(GetLastError(), DWORD(ERROR_TOO_MANY_POSTS));
    EXPECT_TRUE(ReleaseSemaphore(second, 2, nullptr));
    EXPECT_EQ(Drain(first), 2);
    for (HANDLE h : {first, second, opened}) CloseHandle(h);
}

}  // namespace
