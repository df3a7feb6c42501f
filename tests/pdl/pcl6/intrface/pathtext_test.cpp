// Paths, OEM text and the pending temporary file.
#include <gtest/gtest.h>
#include <windows.h>

#include <ostream>
#include <cstring>
#include <filesystem>
#include <string>

#include "machine/unicode.h"
#include "pcl6/intrface/util.h"
#include "support/machine_fixture.h"
#include "support/printer_fixture.h"

namespace tam::test {
namespace {

struct TrimCase {
    const char16_t* path;
    BOOL dropSeparator;
    const char16_t* folder;
};
void PrintTo(const TrimCase& c, std::ostream* os) {
    *os << '"' << w32::ToUtf8(c.path) << (c.dropSeparator ? "\" without separator" : "\"");
}

const TrimCase kTrims[] = {
    {u"C:\\Windows\\System32\\spool\\drivers\\x64\\3\\Tamsheetui.dll", FALSE,
     u"C:\\Windows\\System32\\spool\\drivers\\x64\\3\\"},
    {u"C:\\Windows\\System32\\spool\\drivers\\x64\\3\\Tamsheetui.dll", TRUE,
     u"C:\\Windows\\System32\\spool\\drivers\\x64\\3"},
    {u"C:/Users/User/file.dat", TRUE, u"C:/Users/User"},
    {u"C:\\mixed/slash\\name", FALSE, u"C:\\mixed/slash\\"},
    {u"C:\\Folder\\", FALSE, u"C:\\Folder\\"},
    {u"C:\\Folder\\", TRUE, u"C:\\Folder"},
    {u"\\", TRUE, u""},
    {u"name.dll", FALSE, u""},  // no folder part
    {u"", FALSE, u""},
};

class TrimPath : public testing::TestWithParam<TrimCase> {};

TEST_P(TrimPath, CutAfterTheLastSeparator) {
    std::u16string path = GetParam().path;
    EXPECT_EQ(TrimToFolder(path.data(), GetParam().dropSeparator),
              int(std::char_traits<char16_t>::length(GetParam().folder)));
    EXPECT_EQ(std::u16string(path.c_str()), GetParam().folder);
}

INSTANTIATE_TEST_SUITE_P(All, TrimPath, testing::ValuesIn(kTrims));

TEST(TrimPathNull, GivesZero) { EXPECT_EQ(TrimToFolder(nullptr, TRUE), 0); }

struct OemCase {
    const char16_t* text;
    int bufferSize;
    const char* oem;  // in code page 437
};
void PrintTo(const OemCase& c, std::ostream* os) { *os << '"' << w32::ToUtf8(c.text) << "\" in " << c.bufferSize; }

const OemCase kOem[] = {
    {u"Tamsheet", 64, "Tamsheet"},
    {u"Caf\u00e9 \u00dcber", 64, "Caf\x82 \x9a" "ber"},
    {u"Caf\u00e9", 4, "Caf"},  // cut before the terminator
    {u"abc", 1, ""},
    {u"", 8, ""},
};

class OemText : public MachineTest, public testing::WithParamInterface<OemCase> {};

TEST_P(OemText, ConvertedAndTerminated) {
    char buffer[80];
    std::memset(buffer, '#', sizeof(buffer));
    WideToOem(buffer, GetParam().bufferSize, GetParam().text);
    EXPECT_STREQ(buffer, GetParam().oem);
    EXPECT_EQ(buffer[GetParam().bufferSize], '#');  // nothing past the buffer
}

INSTANTIATE_TEST_SUITE_P(All, OemText, testing::ValuesIn(kOem));

class PendingTempFile : public MachineTest {
protected:
    void TearDown() override {
        ClearPendingTempFile();
        MachineTest::TearDown();
    }
    static constexpr char16_t kFile[] = u"C:\\Users\\User\\AppData\\Local\\Temp\\tam1.tmp";
};

TEST_F(PendingTempFile, DeletedOnceWhenRecorded) {
    PutMachineFile(machine(), kFile);
    ASSERT_TRUE(std::filesystem::exists(HostPath(kFile)));
    DeletePendingTempFile();  // nothing recorded
    EXPECT_TRUE(std::filesystem::exists(HostPath(kFile)));

    ASSERT_TRUE(SetPendingTempFile(kFile));
    SetLastError(1234);
    DeletePendingTempFile();
    EXPECT_FALSE(std::filesystem::exists(HostPath(kFile)));
    EXPECT_EQ(GetLastError(), 1234u);  // the caller's last error survives

    // The record is cleared: a new file of that name stays.
    PutMachineFile(machine(), kFile);
    DeletePendingTempFile();
    EXPECT_TRUE(std::filesystem::exists(HostPath(kFile)));
}

TEST_F(PendingTempFile, ClearedRecordDeletesNothing) {
    PutMachineFile(machine(), kFile);
    ASSERT_TRUE(SetPendingTempFile(kFile));
    ClearPendingTempFile();
    DeletePendingTempFile();
    EXPECT_TRUE(std::filesystem::exists(HostPath(kFile)));
}

TEST_F(PendingTempFile, PathThatDoesNotFitIsRefused) {
    std::u16string longPath = u"C:\\" + std::u16string(MAX_PATH, u'a');
    SetLastError(0);
    EXPECT_FALSE(SetPendingTempFile(longPath.c_str()));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_FILENAME_EXCED_RANGE));
    EXPECT_FALSE(SetPendingTempFile(u""));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
}

}  // namespace
}  // namespace tam::test
