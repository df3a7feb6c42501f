#include <windows.h>

#include <string>

#include "support/machine_fixture.h"
#include "win32/kernel32/expand_cases.h"

namespace {

using Environment = tam::test::MachineTest;

TEST_F(Environment, GetReportsTheSizeNeededWhenTheBufferIsShort) {
    const std::u16string temp = u"C:\\Users\\User\\AppData\\Local\\Temp";
    const DWORD length = DWORD(temp.size());
    SetLastError(0xdeadbeef);
    EXPECT_EQ(GetEnvironmentVariableW(u"temp", nullptr, 0), length + 1);
    WCHAR buffer[64];
    std::fill(std::begin(buffer), std::end(buffer), u'#');
    EXPECT_EQ(GetEnvironmentVariableW(u"TEMP", buffer, length), length + 1);  // no room for the terminator
    EXPECT_EQ(buffer[0], u'#');
    EXPECT_EQ(GetEnvironmentVariableW(u"TEMP", buffer, length + 1), length);
    EXPECT_EQ(std::u16string(buffer), temp);

    SetLastError(0);
    EXPECT_EQ(GetEnvironmentVariableW(u"KORVAN_NONE", buffer, 64), 0u);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ENVVAR_NOT_FOUND));
}

TEST_F(Environment, SetReplacesAndRemoves) {
    WCHAR buffer[32];
    EXPECT_TRUE(SetEnvironmentVariableW(u"Korvan_Mode", u"demo"));
    EXPECT_EQ(GetEnvironmentVariableW(u"KORVAN_MODE", buffer, 32), 4u);
    EXPECT_EQ(std::u16string(buffer), u"demo");
    EXPECT_TRUE(SetEnvironmentVariableW(u"korvan_mode", u""));
    SetLastError(0xdeadbeef);
    EXPECT_EQ(GetEnvironmentVariableW(u"Korvan_Mode", buffer, 32), 0u);  // set, but empty
    EXPECT_EQ(GetLastError(), DWORD(ERROR_SUCCESS));
    EXPECT_TRUE(SetEnvironmentVariableW(u"Korvan_Mode", nullptr));
    EXPECT_EQ(GetEnvironmentVariableW(u"Korvan_Mode", buffer, 32), 0u);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ENVVAR_NOT_FOUND));

    SetLastError(0);
    EXPECT_FALSE(SetEnvironmentVariableW(u"A=B", u"x"));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    EXPECT_FALSE(SetEnvironmentVariableW(u"", u"x"));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
}

TEST_F(Environment, ExpandReplacesKnownNamesOnly) {
    ASSERT_TRUE(SetEnvironmentVariableW(u"Driver", u"Tamrend"));
    struct Case {
        const char16_t* text;
        const char16_t* expanded;
    };
    const Case cases[] = {
        {u"%SystemRoot%\\System32", u"C:\\Windows\\System32"},
        {u"%windir%\\%DRIVER%.dll", u"C:\\Windows\\Tamrend.dll"},
        {u"%DRIVER%%DRIVER%", u"TamrendTamrend"},
        {u"%Unknown%\\x", u"%Unknown%\\x"},
        {u"100%", u"100%"},
        {u"%%", u"%%"},
        {u"no variables", u"no variables"},
        {u"", u""},
    };
    for (const auto& c : cases) {
        const std::u16string expected = c.expanded;
        WCHAR buffer[128];
        EXPECT_EQ(ExpandEnvironmentStringsW(c.text, buffer, 128), DWORD(expected.size() + 1));
        EXPECT_EQ(std::u16string(buffer), expected);
        // Too small: the size needed, the buffer left alone.
        WCHAR small[2] = {u'#', u'#'};
        if (expected.size() + 1 > 2) {
            EXPECT_EQ(ExpandEnvironmentStringsW(c.text, small, 2), DWORD(expected.size() + 1));
            EXPECT_EQ(small[0], u'#');
        }
        EXPECT_EQ(ExpandEnvironmentStringsW(c.text, nullptr, 0), DWORD(expected.size() + 1));
    }
}

}  // namespace

namespace {

using tam::test::ExpandCase;

class ExpandTable : public tam::test::MachineTest, public testing::WithParamInterface<ExpandCase> {};

TEST_P(ExpandTable, ExpandsAndFollowsTheSizeProtocol) {
    ASSERT_TRUE(tam::test::SetExpansionVariables());
    const std::u16string expected = GetParam().expanded;
    const DWORD needed = DWORD(expected.size() + 1);  // characters, the terminator included

    WCHAR buffer[64];
    std::fill(std::begin(buffer), std::end(buffer), u'#');
    EXPECT_EQ(ExpandEnvironmentStringsW(GetParam().text, buffer, 64), needed);
    EXPECT_EQ(std::u16string(buffer), expected);
    EXPECT_EQ(buffer[needed], u'#');  // nothing past the terminator

    // Exactly the room needed is enough; one less is not, and the size comes back.
    std::fill(std::begin(buffer), std::end(buffer), u'#');
    EXPECT_EQ(ExpandEnvironmentStringsW(GetParam().text, buffer, needed), needed);
    EXPECT_EQ(std::u16string(buffer), expected);
    EXPECT_EQ(ExpandEnvironmentStringsW(GetParam().text, buffer, needed - 1), needed);
    EXPECT_EQ(ExpandEnvironmentStringsW(GetParam().text, nullptr, 0), needed);
}

INSTANTIATE_TEST_SUITE_P(All, ExpandTable, testing::ValuesIn(tam::test::kExpandCases));

}  // namespace
