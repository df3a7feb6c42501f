#include <unistd.h>
#include <windows.h>

#include <functional>
#include <string>

#include "file_helpers.h"

namespace {

using tam::test::FileTest;

// A function that fills a buffer under the size protocol.
using Filler = std::function<DWORD(DWORD size, LPWSTR buffer)>;

struct ProtocolCase {
    const char* name;
    Filler fill;
    const char16_t* expected;
};

TEST_F(FileTest, BufferFunctionsFollowTheSizeProtocol) {
    ASSERT_TRUE(SetCurrentDirectoryW(u"c:\\windows\\system32\\SPOOL"));
    const ProtocolCase cases[] = {
        {"GetTempPathW", [](DWORD n, LPWSTR b) { return GetTempPathW(n, b); },
         u"C:\\Users\\User\\AppData\\Local\\Temp\\"},
        {"GetCurrentDirectoryW", [](DWORD n, LPWSTR b) { return GetCurrentDirectoryW(n, b); },
         u"C:\\Windows\\System32\\spool"},
        {"GetEnvironmentVariableW", [](DWORD n, LPWSTR b) { return GetEnvironmentVariableW(u"windir", b, n); },
         u"C:\\Windows"},
        {"GetSystemDirectoryW", [](DWORD n, LPWSTR b) { return GetSystemDirectoryW(b, n); }, u"C:\\Windows\\System32"},
        {"GetWindowsDirectoryW", [](DWORD n, LPWSTR b) { return GetWindowsDirectoryW(b, n); }, u"C:\\Windows"},
        {"GetSystemWindowsDirectoryW", [](DWORD n, LPWSTR b) { return GetSystemWindowsDirectoryW(b, n); },
         u"C:\\Windows"},
        {"GetSystemWow64DirectoryW", [](DWORD n, LPWSTR b) { return GetSystemWow64DirectoryW(b, n); },
         u"C:\\Windows\\SysWOW64"},
        {"GetFullPathNameW", [](DWORD n, LPWSTR b) { return GetFullPathNameW(u"..\\x.dll", n, b, nullptr); },
         u"C:\\Windows\\System32\\x.dll"},
        {"GetLongPathNameW", [](DWORD n, LPWSTR b) { return GetLongPathNameW(u"c:\\windows", b, n); },
         u"c:\\windows"},
        {"GetShortPathNameW", [](DWORD n, LPWSTR b) { return GetShortPathNameW(u"C:\\Program Files", b, n); },
         u"C:\\Program Files"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::u16string expected = c.expected;
        const DWORD length = DWORD(expected.size());
        EXPECT_EQ(c.fill(0, nullptr), length + 1);
        WCHAR buffer[MAX_PATH];
        std::fill(std::begin(buffer), std::end(buffer), u'#');
        EXPECT_EQ(c.fill(length, buffer), length + 1);
        EXPECT_EQ(buffer[0], u'#');
        EXPECT_EQ(c.fill(length + 1, buffer), length);
        EXPECT_EQ(std::u16string(buffer), expected);
        EXPECT_EQ(buffer[length + 1], u'#');
    }
}

class ThirtyTwoBitMachine : public FileTest {
protected:
    w32::MachineSettings MakeSettings() const override {
        w32::MachineSettings settings = FileTest::MakeSettings();
        settings.is64Bit = false;
        return settings;
    }
};

TEST_F(ThirtyTwoBitMachine, HasNoWow64SystemFolder) {
    WCHAR buffer[MAX_PATH] = u"#";
    SetLastError(0);
    EXPECT_EQ(GetSystemWow64DirectoryW(buffer, MAX_PATH), 0u);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_CALL_NOT_IMPLEMENTED));
    EXPECT_EQ(buffer[0], u'#');
    EXPECT_EQ(GetSystemDirectoryW(buffer, MAX_PATH), 19u);
    EXPECT_EQ(std::u16string(buffer), u"C:\\Windows\\System32");
}

TEST_F(FileTest, TempPathFollowsTmpThenTemp) {
    WCHAR buffer[MAX_PATH];
    ASSERT_TRUE(SetEnvironmentVariableW(u"TMP", u"C:\\Windows\\Temp"));
    EXPECT_EQ(std::u16string(buffer, GetTempPathW(MAX_PATH, buffer)), u"C:\\Windows\\Temp\\");
    ASSERT_TRUE(SetEnvironmentVariableW(u"TMP", nullptr));
    ASSERT_TRUE(SetEnvironmentVariableW(u"TEMP", u"C:\\Scratch\\"));
    EXPECT_EQ(std::u16string(buffer, GetTempPathW(MAX_PATH, buffer)), u"C:\\Scratch\\");
}

TEST_F(FileTest, CurrentDirectoryIsTheMachinesAndKeepsTheSpellingOnDisk) {
    char hostBefore[4096];
    ASSERT_NE(getcwd(hostBefore, sizeof(hostBefore)), nullptr);
    EXPECT_TRUE(SetCurrentDirectoryW(u"c:\\PROGRAM files\\"));
    WCHAR buffer[MAX_PATH];
    EXPECT_EQ(std::u16string(buffer, GetCurrentDirectoryW(MAX_PATH, buffer)), u"C:\\Program Files");
    char hostAfter[4096];
    ASSERT_NE(getcwd(hostAfter, sizeof(hostAfter)), nullptr);
    EXPECT_STREQ(hostBefore, hostAfter);

    // Relative names are taken from there.
    HANDLE file = CreateFileW(u"note.txt", GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);
    EXPECT_TRUE(HostExists(u"C:\\Program Files\\note.txt"));

    SetLastError(0);
    EXPECT_FALSE(SetCurrentDirectoryW(u"C:\\Nowhere"));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_NOT_FOUND));
    EXPECT_FALSE(SetCurrentDirectoryW(u"C:\\Program Files\\note.txt"));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_DIRECTORY));
    EXPECT_FALSE(SetCurrentDirectoryW(u"C:\\Nowhere\\deeper"));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_PATH_NOT_FOUND));
    EXPECT_EQ(std::u16string(buffer, GetCurrentDirectoryW(MAX_PATH, buffer)), u"C:\\Program Files");
}

TEST_F(FileTest, FullPathNamesAndTheirFilePart) {
    ASSERT_TRUE(SetCurrentDirectoryW(u"C:\\Windows"));
    struct Case {
        const char16_t* path;
        const char16_t* full;
        const char16_t* filePart;  // nullptr: none
    };
    const Case cases[] = {
        {u"win.ini", u"C:\\Windows\\win.ini", u"win.ini"},
        {u"..\\Users\\.\\x", u"C:\\Users\\x", u"x"},
        {u"C:\\a\\\\b//c.txt", u"C:\\a\\b\\c.txt", u"c.txt"},
        {u"\\Temp", u"C:\\Temp", u"Temp"},
        {u"C:\\Data\\", u"C:\\Data\\", nullptr},
        {u"C:\\", u"C:\\", nullptr},
        {u"\\\\server\\share\\f.txt", u"\\\\server\\share\\f.txt", u"f.txt"},
    };
    for (const auto& c : cases) {
        WCHAR buffer[MAX_PATH];
        LPWSTR filePart = buffer + 99;
        DWORD length = GetFullPathNameW(c.path, MAX_PATH, buffer, &filePart);
        EXPECT_EQ(std::u16string(buffer, length), c.full);
        if (c.filePart) {
            ASSERT_NE(filePart, nullptr);
            EXPECT_EQ(std::u16string(filePart), c.filePart);
        } else {
            EXPECT_EQ(filePart, nullptr);
        }
    }
    SetLastError(0);
    WCHAR buffer[MAX_PATH];
    EXPECT_EQ(GetFullPathNameW(u"", MAX_PATH, buffer, nullptr), 0u);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_NAME));
    EXPECT_EQ(GetLongPathNameW(u"C:\\Windows\\none.txt", buffer, MAX_PATH), 0u);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_NOT_FOUND));
}

TEST_F(FileTest, TempFileNamesAreHexNumbersAndCreatedWhenChosen) {
    WCHAR name[MAX_PATH];
    SetLastError(0);
    EXPECT_EQ(GetTempFileNameW(u"C:\\Windows\\Temp", u"tamsheet", 0x1A2B, name), 0x1A2Bu);
    EXPECT_EQ(std::u16string(name), u"C:\\Windows\\Temp\\tam1A2B.tmp");
    EXPECT_FALSE(HostExists(name));  // a given number only makes the name
    EXPECT_EQ(GetTempFileNameW(u"C:\\Windows\\Temp\\", u"", 0x12345, name), 0x2345u);  // low 16 bits
    EXPECT_EQ(std::u16string(name), u"C:\\Windows\\Temp\\2345.tmp");

    UINT first = GetTempFileNameW(u"C:\\Windows\\Temp", u"prn", 0, name);
    ASSERT_NE(first, 0u);
    const std::u16string firstName = name;
    EXPECT_TRUE(HostExists(firstName));
    EXPECT_EQ(HostContents(firstName), "");
    WCHAR expected[MAX_PATH];
    EXPECT_EQ(GetTempFileNameW(u"C:\\Windows\\Temp", u"prn", first, expected), first);
    EXPECT_EQ(firstName, std::u16string(expected));
    UINT second = GetTempFileNameW(u"C:\\Windows\\Temp", u"prn", 0, name);
    EXPECT_NE(second, 0u);
    EXPECT_NE(second, first);
    EXPECT_TRUE(HostExists(name));

    SetLastError(0);
    EXPECT_EQ(GetTempFileNameW(u"C:\\NoSuchFolder", u"prn", 0, name), 0u);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_DIRECTORY));
}

TEST_F(FileTest, DiskSpaceComesFromTheHost) {
    ULARGE_INTEGER available{}, total{}, free{};
    ASSERT_TRUE(GetDiskFreeSpaceExW(u"C:\\", &available, &total, &free));
    EXPECT_GT(total.QuadPart, 0u);
    EXPECT_LE(free.QuadPart, total.QuadPart);
    EXPECT_LE(available.QuadPart, free.QuadPart);
    EXPECT_TRUE(GetDiskFreeSpaceExW(nullptr, &available, nullptr, nullptr));
    DWORD sectors = 0, bytes = 0, freeClusters = 0, clusters = 0;
    ASSERT_TRUE(GetDiskFreeSpaceW(u"C:\\", &sectors, &bytes, &freeClusters, &clusters));
    EXPECT_EQ(sectors * bytes, 4096u);
    EXPECT_GT(clusters, 0u);
    SetLastError(0);
    EXPECT_FALSE(GetDiskFreeSpaceExW(u"C:\\Nowhere", &available, nullptr, nullptr));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_PATH_NOT_FOUND));
}

}  // namespace
