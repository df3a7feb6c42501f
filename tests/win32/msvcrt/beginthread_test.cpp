#include <gtest/gtest.h>
#include <process.h>
#include <windows.h>

#include <cerrno>

namespace {

unsigned __stdcall Doubler(void* argument) {
    unsigned value = *static_cast<unsigned*>(argument);
    if (value == 0) _endthreadex(77);
    return value * 2;
}

TEST(BeginThread, RunsLikeCreateThreadAndEndsWithTheRoutinesCode) {
    struct Case {
        unsigned argument;
        unsigned initflag;
        DWORD exitCode;
    };
    for (const Case& c : {Case{21, 0, 42}, Case{5, CREATE_SUSPENDED, 10}, Case{0, 0, 77}}) {
        unsigned argument = c.argument;
        unsigned id = 0;
        uintptr_t handle = _beginthreadex(nullptr, 0, Doubler, &argument, c.initflag, &id);
        ASSERT_NE(handle, 0u);
        HANDLE thread = reinterpret_cast<HANDLE>(handle);
        EXPECT_EQ(GetThreadId(thread), id);
        if (c.initflag & CREATE_SUSPENDED) {
            EXPECT_EQ(WaitForSingleObject(thread, 0), DWORD(WAIT_TIMEOUT));
            EXPECT_EQ(ResumeThread(thread), 1u);
        }
        EXPECT_EQ(WaitForSingleObject(thread, INFINITE), WAIT_OBJECT_0);
        DWORD code = 0;
        EXPECT_TRUE(GetExitCodeThread(thread, &code));
        EXPECT_EQ(code, c.exitCode);
        EXPECT_TRUE(CloseHandle(thread));
    }
}

TEST(BeginThread, NullStartAddressSetsEinval) {
    errno = 0;
    unsigned id = 1234;
    EXPECT_EQ(_beginthreadex(nullptr, 0, nullptr, nullptr, 0, &id), 0u);
    EXPECT_EQ(errno, EINVAL);
    EXPECT_EQ(id, 1234u);
}

}  // namespace
