#include <gtest/gtest.h>
#include <windows.h>

#include <thread>

namespace {

TEST(LastError, KeepsWhatWasSet) {
    for (DWORD code : {DWORD(ERROR_FILE_NOT_FOUND), DWORD(ERROR_NO_UNICODE_TRANSLATION), 0xE0000100u, DWORD(0)}) {
        SetLastError(code);
        EXPECT_EQ(GetLastError(), code);
        EXPECT_EQ(GetLastError(), code);  // reading does not clear it
    }
}

TEST(LastError, EachThreadHasItsOwn) {
    SetLastError(ERROR_ACCESS_DENIED);
    DWORD seenAtStart = 0xdeadbeef, seenAfterSet = 0;
    std::thread other([&] {
        seenAtStart = GetLastError();
        SetLastError(ERROR_INVALID_HANDLE);
        seenAfterSet = GetLastError();
    });
    other.join();
    EXPECT_EQ(seenAtStart, 0u);  // a new thread starts with no error
    EXPECT_EQ(seenAfterSet, DWORD(ERROR_INVALID_HANDLE));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ACCESS_DENIED));
}

}  // namespace
