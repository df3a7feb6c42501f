#include <gtest/gtest.h>

#include <fstream>

#include "machine/paths.h"
#include "machine/unicode.h"
#include "support/machine_fixture.h"

namespace {

struct NormalizeCase {
    const char16_t* path;
    const char16_t* current;
    const char16_t* expected;
};

const NormalizeCase kNormalize[] = {
    {u"C:\\Windows\\System32", u"C:\\", u"C:\\Windows\\System32"},
    {u"c:/windows//system32\\", u"C:\\", u"C:\\windows\\system32"},
    {u"C:\\a\\.\\b\\..\\c", u"C:\\", u"C:\\a\\c"},
    {u"C:\\..\\..\\x", u"C:\\", u"C:\\x"},
    {u"report.txt", u"C:\\Users\\User", u"C:\\Users\\User\\report.txt"},
    {u"..\\Public", u"C:\\Users\\User", u"C:\\Users\\Public"},
    {u"\\Windows", u"C:\\Temp", u"C:\\Windows"},
    {u"C:name", u"C:\\Temp", u"C:\\Temp\\name"},
    {u"C:\\name.  ", u"C:\\", u"C:\\name"},  // trailing dots and spaces are dropped
    {u"\\\\?\\C:\\Windows", u"C:\\", u"C:\\Windows"},
    {u"C:", u"C:\\", u"C:\\"},
};

TEST(Paths, NormalizeTable) {
    for (const auto& c : kNormalize)
        EXPECT_EQ(w32::NormalizeWindowsPath(c.path, c.current), c.expected) << w32::ToUtf8(c.path);
}

TEST(Paths, ClassifiesPipesDevicesAndNetworkPaths) {
    EXPECT_EQ(w32::ClassifyPath(u"\\\\.\\pipe\\xpsnamedpipe"), w32::PathKind::Pipe);
    EXPECT_EQ(w32::ClassifyPath(u"\\\\?\\usb#vid_1234&pid_0001#serial#{28d78fad}"), w32::PathKind::Device);
    EXPECT_EQ(w32::ClassifyPath(u"\\\\server\\share\\file"), w32::PathKind::Network);
    EXPECT_EQ(w32::ClassifyPath(u"\\\\?\\C:\\Windows"), w32::PathKind::File);
    EXPECT_EQ(w32::ClassifyPath(u"C:\\Windows"), w32::PathKind::File);
}

class PathsOnDrive : public tam::test::MachineTest {};

TEST_F(PathsOnDrive, LookupIgnoresCaseAndReturnsTheSpellingOnDisk) {
    auto resolved = w32::ResolveOnDrive(machine().DriveRoot(), u"C:\\WINDOWS\\system32\\SPOOL\\Drivers\\X64\\3");
    EXPECT_EQ(resolved.error, DWORD(ERROR_SUCCESS));
    EXPECT_TRUE(resolved.exists);
    EXPECT_EQ(resolved.windows, u"C:\\Windows\\System32\\spool\\drivers\\x64\\3");
    EXPECT_TRUE(std::filesystem::is_directory(resolved.host));
}

TEST_F(PathsOnDrive, MissingLastComponentKeepsTheCallersSpelling) {
    auto resolved = w32::ResolveOnDrive(machine().DriveRoot(), u"C:\\windows\\NewFile.TXT");
    EXPECT_EQ(resolved.error, DWORD(ERROR_SUCCESS));
    EXPECT_FALSE(resolved.exists);
    EXPECT_EQ(resolved.windows, u"C:\\Windows\\NewFile.TXT");
    EXPECT_EQ(resolved.host.filename(), "NewFile.TXT");
}

TEST_F(PathsOnDrive, MissingParentOrOtherDriveIsPathNotFound) {
    EXPECT_EQ(w32::ResolveOnDrive(machine().DriveRoot(), u"C:\\NoSuchFolder\\file.txt").error,
              DWORD(ERROR_PATH_NOT_FOUND));
    EXPECT_EQ(w32::ResolveOnDrive(machine().DriveRoot(), u"D:\\file.txt").error, DWORD(ERROR_PATH_NOT_FOUND));
    // A file used as a folder.
    std::ofstream(HostPath(u"C:\\Windows\\plain.txt")) << "x";
    EXPECT_EQ(w32::ResolveOnDrive(machine().DriveRoot(), u"C:\\Windows\\plain.txt\\inner").error,
              DWORD(ERROR_PATH_NOT_FOUND));
}

TEST_F(PathsOnDrive, NonAsciiNamesFoldCase) {
    std::filesystem::create_directories(HostPath(u"C:\\Users\\Public") / w32::ToUtf8(u"\x00C9t\x00E9"));
    auto resolved = w32::ResolveOnDrive(machine().DriveRoot(), u"C:\\users\\public\\\x00E9T\x00C9");
    EXPECT_TRUE(resolved.exists);
    EXPECT_EQ(resolved.windows, u"C:\\Users\\Public\\\x00C9t\x00E9");
}

}  // namespace
