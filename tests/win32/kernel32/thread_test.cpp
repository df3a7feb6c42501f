#include <gtest/gtest.h>
#include <unistd.h>
#include <windows.h>

#include <atomic>

#include "kernel32/thread.h"
#include "support/machine_fixture.h"
#include "thread_helpers.h"

namespace {

using tam::test::StartThread;

class Threads : public tam::test::MachineTest {};

TEST_F(Threads, ExitCodeIsStillActiveUntilTheStartRoutineReturns) {
    HANDLE go = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::atomic<DWORD> idSeen{0};
    DWORD id = 0;
    HANDLE thread = StartThread(
        [&] {
            idSeen = GetCurrentThreadId();
            WaitForSingleObject(go, INFINITE);
            return DWORD(42);
        },
        0, &id);
    ASSERT_NE(thread, nullptr);

    DWORD code = 0;
    EXPECT_TRUE(GetExitCodeThread(thread, &code));
    EXPECT_EQ(code, DWORD(STILL_ACTIVE));
    EXPECT_EQ(WaitForSingleObject(thread, 0), DWORD(WAIT_TIMEOUT));

    SetEvent(go);
    EXPECT_EQ(WaitForSingleObject(thread, INFINITE), WAIT_OBJECT_0);
    EXPECT_TRUE(GetExitCodeThread(thread, &code));
    EXPECT_EQ(code, 42u);
    EXPECT_EQ(WaitForSingleObject(thread, 0), WAIT_OBJECT_0);  // stays signalled

    // The id reported to the creator is the one the thread sees, and not the caller's.
    EXPECT_NE(id, 0u);
    EXPECT_EQ(id % 4, 0u);
    EXPECT_EQ(idSeen.load(), id);
    EXPECT_EQ(GetThreadId(thread), id);
    EXPECT_NE(GetCurrentThreadId(), id);
    EXPECT_EQ(GetCurrentThreadId(), GetCurrentThreadId());
    EXPECT_TRUE(CloseHandle(thread));
    CloseHandle(go);
}

struct SetOnDestruction {
    bool* flag;
    ~SetOnDestruction() { *flag = true; }
};

void EndFromDeepInside(bool* unwound) {
    SetOnDestruction guard{unwound};
    ExitThread(7);
}

TEST_F(Threads, ExitThreadEndsWithItsCodeAndUnwindsTheStack) {
    bool unwound = false;
    HANDLE thread = StartThread([&]() -> DWORD {
        EndFromDeepInside(&unwound);
        return 99;  // not reached
    });
    ASSERT_NE(thread, nullptr);
    EXPECT_EQ(WaitForSingleObject(thread, INFINITE), WAIT_OBJECT_0);
    DWORD code = 0;
    EXPECT_TRUE(GetExitCodeThread(thread, &code));
    EXPECT_EQ(code, 7u);
    EXPECT_TRUE(unwound);
    CloseHandle(thread);
}

std::atomic<int> gRuns{0};
DWORD WINAPI CountRun(LPVOID) {
    ++gRuns;
    return 5;
}

TEST_F(Threads, SuspendedThreadRunsWhenItsCountReachesZero) {
    gRuns = 0;
    DWORD id = 0;
    HANDLE thread = CreateThread(nullptr, 0, CountRun, nullptr, CREATE_SUSPENDED, &id);
    ASSERT_NE(thread, nullptr);
    EXPECT_NE(id, 0u);

    // Sleep returns only once every running layer thread is blocked or done,
    // so a thread started by mistake would have run by then.
    Sleep(100);
    EXPECT_EQ(gRuns.load(), 0);
    DWORD code = 0;
    GetExitCodeThread(thread, &code);
    EXPECT_EQ(code, DWORD(STILL_ACTIVE));

    EXPECT_EQ(SuspendThread(thread), 1u);  // the previous count
    EXPECT_EQ(ResumeThread(thread), 2u);
    Sleep(100);
    EXPECT_EQ(gRuns.load(), 0);
    EXPECT_EQ(WaitForSingleObject(thread, 0), DWORD(WAIT_TIMEOUT));

    EXPECT_EQ(ResumeThread(thread), 1u);
    EXPECT_EQ(WaitForSingleObject(thread, INFINITE), WAIT_OBJECT_0);
    EXPECT_EQ(gRuns.load(), 1);
    GetExitCodeThread(thread, &code);
    EXPECT_EQ(code, 5u);
    EXPECT_EQ(ResumeThread(thread), 0u);  // not suspended
    CloseHandle(thread);
}

TEST_F(Threads, RunningThreadCanBeNeitherSuspendedNorTerminated) {
    HANDLE go = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE thread = StartThread([&] { return WaitForSingleObject(go, INFINITE); });
    ASSERT_NE(thread, nullptr);

    SetLastError(0);
    EXPECT_EQ(SuspendThread(thread), DWORD(-1));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_NOT_SUPPORTED));
    SetLastError(0);
    EXPECT_FALSE(TerminateThread(thread, 3));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_NOT_SUPPORTED));

    SetEvent(go);
    EXPECT_EQ(WaitForSingleObject(thread, INFINITE), WAIT_OBJECT_0);
    DWORD code = 1;
    GetExitCodeThread(thread, &code);
    EXPECT_EQ(code, WAIT_OBJECT_0);  // the thread's own result, not the refused 3
    CloseHandle(thread);
    CloseHandle(go);
}

TEST_F(Threads, TerminatingASuspendedThreadEndsItUnrun) {
    gRuns = 0;
    HANDLE thread = CreateThread(nullptr, 0, CountRun, nullptr, CREATE_SUSPENDED, nullptr);
    ASSERT_NE(thread, nullptr);
    EXPECT_TRUE(TerminateThread(thread, 0xE0));
    EXPECT_EQ(WaitForSingleObject(thread, 0), WAIT_OBJECT_0);
    DWORD code = 0;
    EXPECT_TRUE(GetExitCodeThread(thread, &code));
    EXPECT_EQ(code, 0xE0u);
    EXPECT_EQ(ResumeThread(thread), 0u);
    Sleep(10);
    EXPECT_EQ(gRuns.load(), 0);
    CloseHandle(thread);
}

TEST_F(Threads, BadHandlesAndArgumentsAreRefused) {
    HANDLE event = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    HANDLE closed = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    CloseHandle(closed);
    for (HANDLE bad : {HANDLE(nullptr), closed, event}) {  // an event is no thread
        DWORD code = 0;
        SetLastError(0);
        EXPECT_FALSE(GetExitCodeThread(bad, &code));
        EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
        SetLastError(0);
        EXPECT_EQ(ResumeThread(bad), DWORD(-1));
        EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
        SetLastError(0);
        EXPECT_EQ(SuspendThread(bad), DWORD(-1));
        EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
        SetLastError(0);
        EXPECT_FALSE(TerminateThread(bad, 1));
        EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
    }
    SetLastError(0);
    EXPECT_EQ(CreateThread(nullptr, 0, nullptr, nullptr, 0, nullptr), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    SetLastError(0);
    EXPECT_EQ(CreateThread(nullptr, 0, CountRun, nullptr, 0x80000000u, nullptr), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    CloseHandle(event);
}

TEST_F(Threads, PseudoHandlesNameTheCaller) {
    EXPECT_EQ(GetCurrentThread(), reinterpret_cast<HANDLE>(LONG_PTR(-2)));
    EXPECT_EQ(GetCurrentProcess(), reinterpret_cast<HANDLE>(LONG_PTR(-1)));
    EXPECT_EQ(GetCurrentProcessId(), DWORD(getpid()));
    EXPECT_EQ(GetThreadId(GetCurrentThread()), GetCurrentThreadId());
    DWORD code = 0;
    EXPECT_TRUE(GetExitCodeThread(GetCurrentThread(), &code));
    EXPECT_EQ(code, DWORD(STILL_ACTIVE));
    // The caller cannot wait for its own end.
    EXPECT_EQ(WaitForSingleObject(GetCurrentThread(), 50), DWORD(WAIT_TIMEOUT));
    EXPECT_EQ(WaitForSingleObject(GetCurrentProcess(), 50), DWORD(WAIT_TIMEOUT));
}

TEST_F(Threads, ObserversHearOfEachLayerThreadOnThatThread) {
    struct Recorder : w32::ThreadObserver {
        std::atomic<DWORD> attached{0}, detached{0};
        void ThreadAttached() override { attached = GetCurrentThreadId(); }
        void ThreadDetached() override { detached = GetCurrentThreadId(); }
    };
    static Recorder recorder;  // observers live as long as the process
    w32::AddThreadObserver(&recorder);
    std::atomic<bool> attachedBeforeStart{false};
    DWORD id = 0;
    HANDLE thread = StartThread(
        [&] {
            attachedBeforeStart = recorder.attached == GetCurrentThreadId();
            return DWORD(0);
        },
        0, &id);
    ASSERT_NE(thread, nullptr);
    WaitForSingleObject(thread, INFINITE);
    EXPECT_TRUE(attachedBeforeStart);
    EXPECT_EQ(recorder.detached.load(), id);  // told before the handle was signalled
    CloseHandle(thread);
}

}  // namespace
