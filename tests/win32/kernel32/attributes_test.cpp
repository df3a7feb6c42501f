#include <windows.h>

#include "file_helpers.h"

namespace {

using tam::test::FileTest;
using tam::test::OpenForWrite;
using tam::test::ScopedHandle;

TEST_F(FileTest, AttributesAreKeptAndSurviveReopening) {
    ScopedHandle file(OpenForWrite(u"C:\\Data.ini", CREATE_NEW));
    ASSERT_TRUE(file.Close());
    EXPECT_EQ(GetFileAttributesW(u"C:\\Data.ini"), DWORD(FILE_ATTRIBUTE_ARCHIVE));  // new files need backing up

    EXPECT_TRUE(SetFileAttributesW(u"C:\\Data.ini", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
    EXPECT_EQ(GetFileAttributesW(u"C:\\data.INI"), DWORD(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
    EXPECT_TRUE(CreateDirectoryW(u"C:\\Folder", nullptr));
    EXPECT_EQ(GetFileAttributesW(u"C:\\Folder"), DWORD(FILE_ATTRIBUTE_DIRECTORY));
    EXPECT_TRUE(SetFileAttributesW(u"C:\\Folder", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY));
    EXPECT_EQ(GetFileAttributesW(u"C:\\Folder"), DWORD(FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY));

    Reopen();
    EXPECT_EQ(GetFileAttributesW(u"C:\\Data.ini"), DWORD(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
    EXPECT_EQ(GetFileAttributesW(u"C:\\Folder"), DWORD(FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY));
    // A read-only folder still takes new files, but is not removed.
    ScopedHandle inside(OpenForWrite(u"C:\\Folder\\f.txt", CREATE_NEW));
    EXPECT_TRUE(inside.valid());
    ASSERT_TRUE(inside.Close());
    ASSERT_TRUE(DeleteFileW(u"C:\\Folder\\f.txt"));
    EXPECT_FALSE(RemoveDirectoryW(u"C:\\Folder"));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ACCESS_DENIED));

    // Plain: reported as normal, and a write marks the file for backup again.
    EXPECT_TRUE(SetFileAttributesW(u"C:\\Data.ini", FILE_ATTRIBUTE_NORMAL));
    EXPECT_EQ(GetFileAttributesW(u"C:\\Data.ini"), DWORD(FILE_ATTRIBUTE_NORMAL));
    ScopedHandle writer(OpenForWrite(u"C:\\Data.ini"));
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(writer.get(), "x", 1, &written, nullptr));
    ASSERT_TRUE(writer.Close());
    EXPECT_EQ(GetFileAttributesW(u"C:\\Data.ini"), DWORD(FILE_ATTRIBUTE_ARCHIVE));

    SetLastError(0);
    EXPECT_FALSE(SetFileAttributesW(u"C:\\None.ini", FILE_ATTRIBUTE_NORMAL));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_NOT_FOUND));
}

TEST_F(FileTest, OverwritingAHiddenFileMustAskForHidden) {
    PutHostFile(u"C:\\h.dat", "hidden");
    ASSERT_TRUE(SetFileAttributesW(u"C:\\h.dat", FILE_ATTRIBUTE_HIDDEN));
    SetLastError(0);
    EXPECT_EQ(OpenForWrite(u"C:\\h.dat", CREATE_ALWAYS), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ACCESS_DENIED));
    EXPECT_EQ(HostContents(u"C:\\h.dat"), "hidden");
    ScopedHandle file(CreateFileW(u"C:\\h.dat", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_HIDDEN,
                                  nullptr));
    EXPECT_TRUE(file.valid());
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ALREADY_EXISTS));
    ASSERT_TRUE(file.Close());
    EXPECT_EQ(HostContents(u"C:\\h.dat"), "");
    EXPECT_EQ(GetFileAttributesW(u"C:\\h.dat"), DWORD(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE));
}

TEST_F(FileTest, NewFileTakesTheAttributesOfItsTemplate) {
    PutHostFile(u"C:\\model.dat", "m");
    ASSERT_TRUE(SetFileAttributesW(u"C:\\model.dat", FILE_ATTRIBUTE_HIDDEN));
    ScopedHandle model(
        CreateFileW(u"C:\\model.dat", GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(model.valid());
    ScopedHandle copy(CreateFileW(u"C:\\copy.dat", GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_SYSTEM,
                                  model.get()));
    ASSERT_TRUE(copy.valid());
    EXPECT_EQ(GetFileAttributesW(u"C:\\copy.dat"),
              DWORD(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE));
    SetLastError(0);
    EXPECT_EQ(CreateFileW(u"C:\\other.dat", GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0,
                          reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(0x7FFC))),
              INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
}

TEST_F(FileTest, AttributeDataGivesSizeAndTimes) {
    PutHostFile(u"C:\\Data\\f.bin", std::string(70000, 'x'));
    WIN32_FILE_ATTRIBUTE_DATA data{};
    ASSERT_TRUE(GetFileAttributesExW(u"C:\\Data\\f.bin", GetFileExInfoStandard, &data));
    EXPECT_EQ(data.dwFileAttributes, DWORD(FILE_ATTRIBUTE_ARCHIVE));
    EXPECT_EQ(data.nFileSizeLow, 70000u);
    EXPECT_EQ(data.nFileSizeHigh, 0u);
    // Written after 2020 and not in the future of the host.
    ULONGLONG written = (ULONGLONG(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime;
    EXPECT_GT(written, 132223104000000000ull);
    ASSERT_TRUE(GetFileAttributesExW(u"C:\\Data", GetFileExInfoStandard, &data));
    EXPECT_EQ(data.dwFileAttributes, DWORD(FILE_ATTRIBUTE_DIRECTORY));
    EXPECT_EQ(data.nFileSizeLow, 0u);
    SetLastError(0);
    EXPECT_FALSE(GetFileAttributesExW(u"C:\\Data\\f.bin", GetFileExMaxInfoLevel, &data));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    EXPECT_FALSE(GetFileAttributesExW(u"C:\\Data\\none", GetFileExInfoStandard, &data));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_NOT_FOUND));
}

}  // namespace
