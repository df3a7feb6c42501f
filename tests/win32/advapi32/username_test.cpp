// GetUserNameW: the machine user's logon name with the character-count
// protocol of Windows.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "support/machine_fixture.h"

namespace {

using UserName = tam::test::MachineTest;

TEST_F(UserName, CopiesTheNameAndCountsItsNul) {
    machine().MutableSettings().userName = u"Mei Lin";
    WCHAR name[16];
    DWORD size = 16;
    ASSERT_TRUE(GetUserNameW(name, &size));
    EXPECT_EQ(std::u16string(name), u"Mei Lin");
    EXPECT_EQ(size, 8u);
}

TEST_F(UserName, ShortBufferGetsTheSizeNeeded) {
    machine().MutableSettings().userName = u"Mei Lin";
    WCHAR name[8];
    std::fill(std::begin(name), std::end(name), u'#');
    DWORD size = 7;
    SetLastError(0);
    EXPECT_FALSE(GetUserNameW(name, &size));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(size, 8u);
    EXPECT_EQ(name[0], u'#');
    size = 0;
    EXPECT_FALSE(GetUserNameW(nullptr, &size));
    EXPECT_EQ(size, 8u);
    SetLastError(0);
    EXPECT_FALSE(GetUserNameW(name, nullptr));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
}

}  // namespace
