#include <gtest/gtest.h>
#include <shlobj.h>

#include <filesystem>
#include <string>

#include "support/machine_fixture.h"

namespace {

struct FolderCase {
    int csidl;
    const char16_t* path64;  // on a 64-bit machine
    const char16_t* path32;  // on a 32-bit machine
};

const FolderCase kFolders[] = {
    {CSIDL_APPDATA, u"C:\\Users\\User\\AppData\\Roaming", u"C:\\Users\\User\\AppData\\Roaming"},
    {CSIDL_LOCAL_APPDATA, u"C:\\Users\\User\\AppData\\Local", u"C:\\Users\\User\\AppData\\Local"},
    {CSIDL_COMMON_APPDATA, u"C:\\ProgramData", u"C:\\ProgramData"},
    {CSIDL_PROGRAM_FILES, u"C:\\Program Files", u"C:\\Program Files"},
    {CSIDL_PROGRAM_FILESX86, u"C:\\Program Files (x86)", u"C:\\Program Files"},
    {CSIDL_SYSTEM, u"C:\\Windows\\System32", u"C:\\Windows\\System32"},
    {CSIDL_SYSTEMX86, u"C:\\Windows\\SysWOW64", u"C:\\Windows\\System32"},
    {CSIDL_WINDOWS, u"C:\\Windows", u"C:\\Windows"},
    {CSIDL_COMMON_PROGRAMS, u"C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs",
     u"C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs"},
    {CSIDL_PROGRAMS, u"C:\\Users\\User\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs",
     u"C:\\Users\\User\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs"},
    {CSIDL_DESKTOPDIRECTORY, u"C:\\Users\\User\\Desktop", u"C:\\Users\\User\\Desktop"},
    {CSIDL_COMMON_DESKTOPDIRECTORY, u"C:\\Users\\Public\\Desktop", u"C:\\Users\\Public\\Desktop"},
    {CSIDL_FONTS, u"C:\\Windows\\Fonts", u"C:\\Windows\\Fonts"},
    {CSIDL_PERSONAL, u"C:\\Users\\User\\Documents", u"C:\\Users\\User\\Documents"},
};

void PrintTo(const FolderCase& c, std::ostream* os) { *os << "CSIDL 0x" << std::hex << c.csidl; }

class SpecialFolders : public tam::test::MachineTest, public testing::WithParamInterface<FolderCase> {};

TEST_P(SpecialFolders, PathOfAFolderThatExists) {
    WCHAR path[MAX_PATH];
    EXPECT_EQ(SHGetFolderPathW(nullptr, GetParam().csidl, nullptr, SHGFP_TYPE_CURRENT, path), S_OK);
    EXPECT_EQ(std::u16string(path), GetParam().path64);
    EXPECT_TRUE(SHGetSpecialFolderPathW(nullptr, path, GetParam().csidl, FALSE));
    EXPECT_EQ(std::u16string(path), GetParam().path64);
}

TEST_P(SpecialFolders, MissingFolderIsReportedOrCreated) {
    const FolderCase& c = GetParam();
    auto host = HostPath(c.path64);
    std::filesystem::remove_all(host);
    WCHAR path[MAX_PATH] = u"junk";
    EXPECT_EQ(SHGetFolderPathW(nullptr, c.csidl, nullptr, SHGFP_TYPE_CURRENT, path),
              HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(path[0], u'\0');
    EXPECT_FALSE(std::filesystem::exists(host));

    // Without checking, the path comes anyway.
    EXPECT_EQ(SHGetFolderPathW(nullptr, c.csidl | CSIDL_FLAG_DONT_VERIFY, nullptr, SHGFP_TYPE_CURRENT, path), S_OK);
    EXPECT_EQ(std::u16string(path), c.path64);
    EXPECT_FALSE(std::filesystem::exists(host));

    EXPECT_EQ(SHGetFolderPathW(nullptr, c.csidl | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, path), S_OK);
    EXPECT_EQ(std::u16string(path), c.path64);
    EXPECT_TRUE(std::filesystem::is_directory(host));
}

INSTANTIATE_TEST_SUITE_P(All, SpecialFolders, testing::ValuesIn(kFolders));

class SpecialFolders32 : public tam::test::MachineTest, public testing::WithParamInterface<FolderCase> {
protected:
    w32::MachineSettings MakeSettings() const override {
        w32::MachineSettings settings = MachineTest::MakeSettings();
        settings.is64Bit = false;
        return settings;
    }
};

TEST_P(SpecialFolders32, PathOnAThirtyTwoBitMachine) {
    WCHAR path[MAX_PATH];
    EXPECT_EQ(SHGetFolderPathW(nullptr, GetParam().csidl | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, path),
              S_OK);
    EXPECT_EQ(std::u16string(path), GetParam().path32);
}

INSTANTIATE_TEST_SUITE_P(All, SpecialFolders32, testing::ValuesIn(kFolders));

using ShellFolders = tam::test::MachineTest;

TEST_F(ShellFolders, UnknownFolderAndMissingBufferAreInvalidArguments) {
    WCHAR path[MAX_PATH] = u"junk";
    EXPECT_EQ(SHGetFolderPathW(nullptr, 0x7F, nullptr, SHGFP_TYPE_CURRENT, path), E_INVALIDARG);
    EXPECT_EQ(path[0], u'\0');
    EXPECT_EQ(SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, nullptr), E_INVALIDARG);
    EXPECT_FALSE(SHGetSpecialFolderPathW(nullptr, path, 0x7F, TRUE));
}

TEST_F(ShellFolders, CreateDirectoryMakesEveryMissingLevel) {
    SetLastError(0xdeadbeef);
    EXPECT_EQ(SHCreateDirectoryExW(nullptr, u"C:\\ProgramData\\Korvan\\Tamsheet\\Cache", nullptr), ERROR_SUCCESS);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_SUCCESS));
    EXPECT_TRUE(std::filesystem::is_directory(HostPath(u"C:\\ProgramData\\Korvan\\Tamsheet\\Cache")));
    EXPECT_EQ(SHCreateDirectoryExW(nullptr, u"C:\\ProgramData\\Korvan\\Tamsheet\\Cache", nullptr),
              ERROR_ALREADY_EXISTS);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ALREADY_EXISTS));
    EXPECT_EQ(SHCreateDirectoryExW(nullptr, u"Korvan\\Relative", nullptr), ERROR_BAD_PATHNAME);
    EXPECT_EQ(SHCreateDirectoryExW(nullptr, u"D:\\Korvan", nullptr), ERROR_PATH_NOT_FOUND);
    // A file in the way of a level stops the creation there.
    HANDLE file = CreateFileW(u"C:\\ProgramData\\blocker", GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);
    EXPECT_EQ(SHCreateDirectoryExW(nullptr, u"C:\\ProgramData\\blocker", nullptr), ERROR_FILE_EXISTS);
    EXPECT_EQ(SHCreateDirectoryExW(nullptr, u"C:\\ProgramData\\blocker\\sub\\leaf", nullptr), ERROR_PATH_NOT_FOUND);
}

}  // namespace
