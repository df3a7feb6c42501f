#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "support/machine_fixture.h"

namespace {

class NamedObjects : public tam::test::MachineTest {};

struct NameCase {
    const char16_t* first;
    const char16_t* second;
    bool sameObject;
};
const NameCase kNameCases[] = {
    {u"Korvan.Spool", u"Korvan.Spool", true},
    {u"Local\\Korvan.Spool", u"Global\\Korvan.Spool", true},
    {u"Korvan.Spool", u"LOCAL\\Korvan.Spool", true},  // the prefix is a folder name: any case
    {u"Korvan.Spool", u"korvan.spool", false},        // the name itself keeps its case
};

TEST_F(NamedObjects, SecondCreateOfANameOpensTheSameObject) {
    for (const auto& c : kNameCases) {
        SCOPED_TRACE(w32::ToUtf8(c.first) + " / " + w32::ToUtf8(c.second));
        SetLastError(0xdeadbeef);
        HANDLE first = CreateEventW(nullptr, TRUE, FALSE, c.first);
        ASSERT_NE(first, nullptr);
        EXPECT_EQ(GetLastError(), DWORD(ERROR_SUCCESS));

        // The second create's arguments (signalled, auto reset) do not apply to an existing event.
        HANDLE second = CreateEventW(nullptr, FALSE, TRUE, c.second);
        ASSERT_NE(second, nullptr);
        EXPECT_EQ(GetLastError(), c.sameObject ? DWORD(ERROR_ALREADY_EXISTS) : DWORD(ERROR_SUCCESS));
        EXPECT_NE(second, first);
        EXPECT_EQ(WaitForSingleObject(first, 0), DWORD(WAIT_TIMEOUT));
        SetEvent(second);
        EXPECT_EQ(WaitForSingleObject(first, 0), c.sameObject ? WAIT_OBJECT_0 : DWORD(WAIT_TIMEOUT));
        CloseHandle(first);
        CloseHandle(second);
    }
}

TEST_F(NamedObjects, AllKindsShareOneNameSpace) {
    HANDLE mutex = CreateMutexW(nullptr, FALSE, u"Global\\Korvan.Setup");
    ASSERT_NE(mutex, nullptr);
    SetLastError(0);
    EXPECT_EQ(CreateEventW(nullptr, TRUE, FALSE, u"Korvan.Setup"), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
    SetLastError(0);
    EXPECT_EQ(CreateSemaphoreW(nullptr, 1, 1, u"Korvan.Setup"), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
    SetLastError(0);
    EXPECT_EQ(OpenEventW(EVENT_ALL_ACCESS, FALSE, u"Korvan.Setup"), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));

    HANDLE opened = OpenMutexW(SYNCHRONIZE, FALSE, u"Local\\Korvan.Setup");
    ASSERT_NE(opened, nullptr);
    EXPECT_NE(opened, mutex);
    CloseHandle(opened);
    CloseHandle(mutex);
}

TEST_F(NamedObjects, NameLivesWhileAHandleIsOpen) {
    SetLastError(0);
    EXPECT_EQ(OpenEventW(EVENT_ALL_ACCESS, FALSE, u"Korvan.Done"), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_NOT_FOUND));

    HANDLE created = CreateEventW(nullptr, TRUE, FALSE, u"Korvan.Done");
    HANDLE opened = OpenEventW(EVENT_MODIFY_STATE, FALSE, u"Korvan.Done");
    ASSERT_NE(opened, nullptr);
    SetEvent(opened);
    CloseHandle(created);
    // The open handle keeps the name and the state.
    HANDLE again = OpenEventW(SYNCHRONIZE, FALSE, u"Korvan.Done");
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(WaitForSingleObject(again, 0), WAIT_OBJECT_0);
    CloseHandle(again);
    CloseHandle(opened);

    SetLastError(0);
    EXPECT_EQ(OpenEventW(SYNCHRONIZE, FALSE, u"Korvan.Done"), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_NOT_FOUND));
    SetLastError(0xdeadbeef);
    HANDLE fresh = CreateEventW(nullptr, TRUE, FALSE, u"Korvan.Done");
    EXPECT_EQ(GetLastError(), DWORD(ERROR_SUCCESS));
    EXPECT_EQ(WaitForSingleObject(fresh, 0), DWORD(WAIT_TIMEOUT));  // a new event
    CloseHandle(fresh);
}

TEST_F(NamedObjects, BadNamesAreRefused) {
    struct Case {
        std::u16string name;
        DWORD error;
    };
    const Case cases[] = {
        {u"Korvan\\Spool", ERROR_PATH_NOT_FOUND},
        {u"Session\\1\\Korvan", ERROR_PATH_NOT_FOUND},
        {u"Local\\", ERROR_INVALID_NAME},
        {std::u16string(MAX_PATH + 1, u'k'), ERROR_FILENAME_EXCED_RANGE},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(w32::ToUtf8(c.name));
        SetLastError(0);
        EXPECT_EQ(CreateEventW(nullptr, TRUE, FALSE, c.name.c_str()), nullptr);
        EXPECT_EQ(GetLastError(), c.error);
        SetLastError(0);
        EXPECT_EQ(OpenMutexW(SYNCHRONIZE, FALSE, c.name.c_str()), nullptr);
        EXPECT_EQ(GetLastError(), c.error);
    }
    SetLastError(0);
    EXPECT_EQ(OpenSemaphoreW(SYNCHRONIZE, FALSE, nullptr), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));

    // An empty name makes an unnamed object.
    SetLastError(0xdeadbeef);
    HANDLE unnamed = CreateEventW(nullptr, TRUE, FALSE, u"");
    EXPECT_NE(unnamed, nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_SUCCESS));
    CloseHandle(unnamed);
}

}  // namespace
