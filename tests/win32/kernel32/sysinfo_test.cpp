#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "support/machine_fixture.h"

namespace {

class SystemInfo : public tam::test::MachineTest {};

struct VersionCase {
    DWORD major, minor, build;
    bool manifested;
    DWORD reportedMajor, reportedMinor, reportedBuild;
};

const VersionCase kVersions[] = {
    {10, 0, 19045, false, 6, 2, 9200},   // Windows 10 without a manifest looks like Windows 8
    {10, 0, 19045, true, 10, 0, 19045},  // with one, the truth
    {6, 3, 9600, false, 6, 2, 9200},     // 8.1 too
    {6, 1, 7601, false, 6, 1, 7601},     // Windows 7 is reported as it is
    {5, 1, 2600, false, 5, 1, 2600},
};

TEST_F(SystemInfo, VersionFollowsTheMachineAndTheManifestRule) {
    for (const auto& c : kVersions) {
        auto& s = machine().MutableSettings();
        s.osMajor = c.major, s.osMinor = c.minor, s.osBuild = c.build, s.programManifestsVersion = c.manifested;
        OSVERSIONINFOEXW info{};
        info.dwOSVersionInfoSize = sizeof(info);
        ASSERT_TRUE(GetVersionExW(reinterpret_cast<LPOSVERSIONINFOW>(&info)));
        EXPECT_EQ(info.dwMajorVersion, c.reportedMajor) << c.major << "." << c.minor;
        EXPECT_EQ(info.dwMinorVersion, c.reportedMinor) << c.major << "." << c.minor;
        EXPECT_EQ(info.dwBuildNumber, c.reportedBuild) << c.major << "." << c.minor;
        EXPECT_EQ(info.dwPlatformId, DWORD(VER_PLATFORM_WIN32_NT));
        EXPECT_EQ(info.wProductType, VER_NT_WORKSTATION);
    }
}

TEST_F(SystemInfo, VersionRefusesAWrongRecordSize) {
    OSVERSIONINFOW info{};
    info.dwOSVersionInfoSize = 100;
    SetLastError(0);
    EXPECT_FALSE(GetVersionExW(&info));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INSUFFICIENT_BUFFER));
}

TEST_F(SystemInfo, NativeSystemInfoGivesTheArchitecture) {
    SYSTEM_INFO info{};
    GetNativeSystemInfo(&info);
    EXPECT_EQ(info.wProcessorArchitecture, PROCESSOR_ARCHITECTURE_AMD64);
    machine().MutableSettings().is64Bit = false;
    GetNativeSystemInfo(&info);
    EXPECT_EQ(info.wProcessorArchitecture, PROCESSOR_ARCHITECTURE_INTEL);
}

TEST_F(SystemInfo, ComputerNameSizeProtocol) {
    machine().MutableSettings().computerName = u"KORVAN-PC";
    WCHAR small[4];
    DWORD size = 4;
    SetLastError(0);
    EXPECT_FALSE(GetComputerNameW(small, &size));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_BUFFER_OVERFLOW));
    EXPECT_EQ(size, 10u);  // the name and its terminator
    WCHAR buffer[16];
    size = 16;
    ASSERT_TRUE(GetComputerNameW(buffer, &size));
    EXPECT_EQ(size, 9u);  // the name without its terminator
    EXPECT_EQ(std::u16string(buffer), u"KORVAN-PC");
}

TEST_F(SystemInfo, LanguagesComeFromTheMachine) {
    auto& s = machine().MutableSettings();
    s.userLanguage = 0x0804, s.systemLanguage = 0x0409, s.uiLanguage = 0x0404;
    EXPECT_EQ(GetUserDefaultLangID(), 0x0804);
    EXPECT_EQ(GetSystemDefaultLangID(), 0x0409);
    EXPECT_EQ(GetUserDefaultUILanguage(), 0x0404);
    EXPECT_EQ(GetUserDefaultLCID(), 0x0804u);
}

TEST_F(SystemInfo, LocaleCountryOfTheUserIsTheMachineSetting) {
    machine().MutableSettings().country = 44;
    WCHAR text[16];
    EXPECT_EQ(GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_ICOUNTRY, text, 16), 3);
    EXPECT_EQ(std::u16string(text), u"44");
    DWORD number = 0;
    EXPECT_EQ(GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_ICOUNTRY | LOCALE_RETURN_NUMBER,
                             reinterpret_cast<LPWSTR>(&number), sizeof(number) / sizeof(WCHAR)),
              2);
    EXPECT_EQ(number, 44u);
    // Another locale answers from its own row.
    EXPECT_GT(GetLocaleInfoW(MAKELCID(0x0411, SORT_DEFAULT), LOCALE_ICOUNTRY, text, 16), 0);
    EXPECT_EQ(std::u16string(text), u"81");
}

TEST_F(SystemInfo, LocaleInfoSizeProtocolAndErrors) {
    EXPECT_EQ(GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SISO639LANGNAME, nullptr, 0), 3);
    WCHAR one[1];
    SetLastError(0);
    EXPECT_EQ(GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SISO639LANGNAME, one, 1), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INSUFFICIENT_BUFFER));
    WCHAR name[16];
    EXPECT_EQ(GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SNAME, name, 16), 6);
    EXPECT_EQ(std::u16string(name), u"en-US");
    SetLastError(0);
    EXPECT_EQ(GetLocaleInfoW(LOCALE_USER_DEFAULT, 0x7777, name, 16), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_FLAGS));
    SetLastError(0);
    EXPECT_EQ(GetLocaleInfoW(MAKELCID(0x0477, SORT_DEFAULT), LOCALE_ICOUNTRY, name, 16), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
}

}  // namespace
