#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "support/machine_fixture.h"
#include "thread_helpers.h"

namespace {

class Tls : public tam::test::MachineTest {};

TEST_F(Tls, EachThreadHasItsOwnValue) {
    DWORD index = TlsAlloc();
    ASSERT_NE(index, TLS_OUT_OF_INDEXES);
    int mine = 1, theirs = 2;
    SetLastError(0xdeadbeef);
    EXPECT_EQ(TlsGetValue(index), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_SUCCESS));  // a stored null, not a failure
    EXPECT_TRUE(TlsSetValue(index, &mine));

    void* seenBefore = &mine;
    void* seenAfter = nullptr;
    HANDLE thread = tam::test::StartThread([&] {
        seenBefore = TlsGetValue(index);
        TlsSetValue(index, &theirs);
        seenAfter = TlsGetValue(index);
        return DWORD(0);
    });
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    EXPECT_EQ(seenBefore, nullptr);
    EXPECT_EQ(seenAfter, &theirs);
    EXPECT_EQ(TlsGetValue(index), &mine);
    EXPECT_TRUE(TlsFree(index));
}

TEST_F(Tls, FreeClearsTheSlotAndRefusesItAfterwards) {
    DWORD index = TlsAlloc();
    int value = 0;
    TlsSetValue(index, &value);
    EXPECT_TRUE(TlsFree(index));
    for (auto call :
         {+[](DWORD i) { return TlsGetValue(i) == nullptr; }, +[](DWORD i) { return TlsSetValue(i, nullptr) == FALSE; },
          +[](DWORD i) { return TlsFree(i) == FALSE; }}) {
        SetLastError(0);
        EXPECT_TRUE(call(index));
        EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
        SetLastError(0);
        EXPECT_TRUE(call(TLS_OUT_OF_INDEXES));
        EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    }
    // The lowest free slot is handed out again, empty.
    EXPECT_EQ(TlsAlloc(), index);
    EXPECT_EQ(TlsGetValue(index), nullptr);
    TlsFree(index);
}

TEST_F(Tls, SlotsRunOut) {
    std::vector<DWORD> taken;
    for (DWORD index; (index = TlsAlloc()) != TLS_OUT_OF_INDEXES;) taken.push_back(index);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_NO_MORE_ITEMS));
    // 1088 in all; the process may hold a few already.
    EXPECT_LE(taken.size(), 1088u);
    EXPECT_GE(taken.size(), 1024u);
    EXPECT_TRUE(TlsSetValue(taken.back(), &taken));
    EXPECT_EQ(TlsGetValue(taken.back()), &taken);
    for (DWORD index : taken) EXPECT_TRUE(TlsFree(index));
}

}  // namespace
