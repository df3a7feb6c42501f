// The fault set of the layer's files: a failed write and a short read on
// files whose name matches, and nothing on any other file.
#include <windows.h>

#include <string>

#include "file_helpers.h"
#include "kernel32/filefaults.h"

namespace {

using tam::test::FileTest;
using tam::test::ScopedHandle;

class FileFaultsTest : public FileTest {
protected:
    void TearDown() override {
        w32::ClearFileFaults();
        FileTest::TearDown();
    }

    static HANDLE OpenReadWrite(LPCWSTR path) {
        return CreateFileW(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
    }

    static bool Write(HANDLE file, const std::string& bytes, DWORD* written = nullptr) {
        DWORD count = 0xdeadbeef;
        const BOOL ok = WriteFile(file, bytes.data(), DWORD(bytes.size()), &count, nullptr);
        if (written) *written = count;
        return ok != FALSE;
    }
};

TEST_F(FileFaultsTest, TheNthWriteOfAMatchingFileFailsOnceAndWritesNothing) {
    w32::FileFaults faults;
    faults.namePattern = u"VAR*.TMP";  // names compare without regard to case
    faults.failNthWrite = 3;
    faults.writeError = ERROR_DISK_FULL;
    w32::SetFileFaults(faults);

    ScopedHandle file(OpenReadWrite(u"C:\\vardo1.tmp"));
    ASSERT_TRUE(file.valid()) << GetLastError();
    DWORD written = 0;
    EXPECT_TRUE(Write(file.get(), "ab", &written));
    EXPECT_EQ(written, 2u);
    // A write of no bytes is not counted.
    EXPECT_TRUE(Write(file.get(), "", &written));
    EXPECT_TRUE(Write(file.get(), "cd"));
    SetLastError(0);
    EXPECT_FALSE(Write(file.get(), "XY", &written));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_DISK_FULL));
    EXPECT_EQ(written, 0u);
    EXPECT_TRUE(Write(file.get(), "ef", &written));
    EXPECT_EQ(written, 2u);
    ASSERT_TRUE(file.Close());
    EXPECT_EQ(HostContents(u"C:\\vardo1.tmp"), "abcdef");
}

TEST_F(FileFaultsTest, TheNthReadOfAMatchingFileReadsHalfAndTheNextGoesOnFromThere) {
    PutHostFile(u"C:\\spool\\vardo2.tmp", "0123456789");
    w32::FileFaults faults;
    faults.namePattern = u"vardo?.tmp";
    faults.shortNthRead = 2;
    w32::SetFileFaults(faults);

    ScopedHandle file(CreateFileW(u"C:\\spool\\vardo2.tmp", GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(file.valid()) << GetLastError();
    char buffer[16] = {};
    DWORD read = 0xdeadbeef;
    ASSERT_TRUE(ReadFile(file.get(), buffer, 2, &read, nullptr));
    EXPECT_EQ(std::string(buffer, read), "01");
    ASSERT_TRUE(ReadFile(file.get(), buffer, 5, &read, nullptr));
    EXPECT_EQ(std::string(buffer, read), "23");  // half of 5, rounded down
    ASSERT_TRUE(ReadFile(file.get(), buffer, 16, &read, nullptr));
    EXPECT_EQ(std::string(buffer, read), "456789");
}

TEST_F(FileFaultsTest, OtherFilesAndAClearedSetAreLeftAlone) {
    w32::FileFaults faults;
    faults.namePattern = u"var*.tmp";
    faults.failNthWrite = 1;
    faults.shortNthRead = 1;
    w32::SetFileFaults(faults);

    ScopedHandle other(OpenReadWrite(u"C:\\report.tmp"));
    ASSERT_TRUE(other.valid());
    EXPECT_TRUE(Write(other.get(), "kept"));
    ASSERT_NE(SetFilePointer(other.get(), 0, nullptr, FILE_BEGIN), INVALID_SET_FILE_POINTER);
    char buffer[8] = {};
    DWORD read = 0;
    ASSERT_TRUE(ReadFile(other.get(), buffer, 4, &read, nullptr));
    EXPECT_EQ(read, 4u);

    w32::ClearFileFaults();
    ScopedHandle matching(OpenReadWrite(u"C:\\vardo3.tmp"));
    ASSERT_TRUE(matching.valid());
    EXPECT_TRUE(Write(matching.get(), "free"));
    ASSERT_TRUE(matching.Close());
    EXPECT_EQ(HostContents(u"C:\\vardo3.tmp"), "free");
}

}  // namespace
