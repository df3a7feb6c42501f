#include <windows.h>

#include "file_helpers.h"
#include "machine/registry.h"

namespace {

using tam::test::FileTest;
using tam::test::OpenForRead;
using tam::test::ScopedHandle;

TEST_F(FileTest, CopyFileHonoursFailIfExistsAndCopiesAttributes) {
    PutHostFile(u"C:\\Src\\model.dat", "model data");
    ASSERT_TRUE(SetFileAttributesW(u"C:\\Src\\model.dat", FILE_ATTRIBUTE_HIDDEN));
    PutHostFile(u"C:\\Dst\\old.dat", "old");

    SetLastError(0);
    EXPECT_TRUE(CopyFileW(u"c:\\src\\MODEL.dat", u"C:\\Dst\\Model.dat", TRUE));
    EXPECT_EQ(HostContents(u"C:\\Dst\\Model.dat"), "model data");
    EXPECT_EQ(HostNames(u"C:\\Dst"), (std::vector<std::string>{"Model.dat", "old.dat"}));
    EXPECT_EQ(GetFileAttributesW(u"C:\\Dst\\Model.dat"), DWORD(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE));

    EXPECT_FALSE(CopyFileW(u"C:\\Src\\model.dat", u"C:\\Dst\\old.dat", TRUE));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_EXISTS));
    EXPECT_EQ(HostContents(u"C:\\Dst\\old.dat"), "old");
    // A hidden source may overwrite a plain file, not the other way round.
    EXPECT_TRUE(CopyFileW(u"C:\\Src\\model.dat", u"C:\\Dst\\old.dat", FALSE));
    EXPECT_EQ(HostContents(u"C:\\Dst\\old.dat"), "model data");
    PutHostFile(u"C:\\Src\\plain.dat", "plain");
    EXPECT_FALSE(CopyFileW(u"C:\\Src\\plain.dat", u"C:\\Dst\\old.dat", FALSE));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ACCESS_DENIED));

    struct Failure {
        const char16_t* from;
        const char16_t* to;
        DWORD error;
    };
    const Failure failures[] = {
        {u"C:\\Src\\missing.dat", u"C:\\Dst\\x.dat", ERROR_FILE_NOT_FOUND},
        {u"C:\\Src\\model.dat", u"C:\\NoSuch\\x.dat", ERROR_PATH_NOT_FOUND},
        {u"C:\\Src\\model.dat", u"C:\\SRC\\Model.DAT", ERROR_SHARING_VIOLATION},
        {u"C:\\Src", u"C:\\Dst\\folder", ERROR_ACCESS_DENIED},
        {u"C:\\Src\\model.dat", u"C:\\Dst", ERROR_ACCESS_DENIED},
    };
    for (const auto& f : failures) {
        SetLastError(0);
        EXPECT_FALSE(CopyFileW(f.from, f.to, FALSE));
        EXPECT_EQ(GetLastError(), f.error) << testing::PrintToString(std::u16string(f.to));
    }
}

TEST_F(FileTest, CopyFileRefusesASourceOpenWithoutShareRead) {
    PutHostFile(u"C:\\a.txt", "a");
    ScopedHandle locked(OpenForRead(u"C:\\a.txt", 0));
    ASSERT_TRUE(locked.valid());
    SetLastError(0);
    EXPECT_FALSE(CopyFileW(u"C:\\a.txt", u"C:\\b.txt", FALSE));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_SHARING_VIOLATION));
    EXPECT_FALSE(HostExists(u"C:\\b.txt"));
}

TEST_F(FileTest, MoveFileExRenamesReplacesOnlyWhenAskedAndMovesFolders) {
    PutHostFile(u"C:\\Jobs\\a.prn", "a");
    PutHostFile(u"C:\\Jobs\\b.prn", "b");
    SetLastError(0);
    EXPECT_FALSE(MoveFileExW(u"C:\\Jobs\\a.prn", u"C:\\Jobs\\b.prn", 0));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ALREADY_EXISTS));
    EXPECT_FALSE(MoveFileW(u"C:\\Jobs\\a.prn", u"C:\\Jobs\\b.prn"));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ALREADY_EXISTS));
    EXPECT_TRUE(MoveFileExW(u"C:\\Jobs\\a.prn", u"C:\\jobs\\B.PRN", MOVEFILE_REPLACE_EXISTING));
    // The replacing file carries the name as the caller wrote it.
    EXPECT_EQ(HostNames(u"C:\\Jobs"), (std::vector<std::string>{"B.PRN"}));
    EXPECT_EQ(HostContents(u"C:\\Jobs\\B.PRN"), "a");

    EXPECT_FALSE(MoveFileW(u"C:\\Jobs\\gone.prn", u"C:\\Jobs\\x.prn"));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_NOT_FOUND));
    EXPECT_FALSE(MoveFileW(u"C:\\Jobs\\B.PRN", u"C:\\Nowhere\\x.prn"));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_PATH_NOT_FOUND));
    EXPECT_FALSE(MoveFileExW(u"C:\\Jobs\\B.PRN", u"C:\\Windows", MOVEFILE_REPLACE_EXISTING));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ACCESS_DENIED));

    // A folder moves with what it holds.
    EXPECT_TRUE(MoveFileW(u"C:\\Jobs", u"C:\\Done"));
    EXPECT_FALSE(HostExists(u"C:\\Jobs"));
    EXPECT_EQ(HostContents(u"C:\\Done\\B.PRN"), "a");
}

// The requests as the registry holds them: pairs of source and target.
std::u16string PendingRenames() {
    auto registry = w32::Registry::Current();
    std::lock_guard lock(registry->Mutex());
    auto key = registry->Find(registry->LocalMachine(), u"SYSTEM\\CurrentControlSet\\Control\\Session Manager");
    const w32::RegistryValue* value = key ? key->FindValue(u"PendingFileRenameOperations") : nullptr;
    if (!value) return u"(none)";
    EXPECT_EQ(value->type, DWORD(REG_MULTI_SZ));
    return std::u16string(reinterpret_cast<const char16_t*>(value->data.data()), value->data.size() / 2);
}

TEST_F(FileTest, MoveAfterRebootIsRecordedInTheRegistry) {
    PutHostFile(u"C:\\Windows\\System32\\old.dll", "x");
    PutHostFile(u"C:\\Windows\\System32\\new.dll", "y");
    EXPECT_TRUE(MoveFileExW(u"C:\\Windows\\System32\\old.dll", nullptr, MOVEFILE_DELAY_UNTIL_REBOOT));
    EXPECT_TRUE(MoveFileExW(u"C:\\Windows\\System32\\new.dll", u"C:\\Windows\\System32\\old.dll",
                            MOVEFILE_DELAY_UNTIL_REBOOT | MOVEFILE_REPLACE_EXISTING));
    const std::u16string oldName = u"\\??\\C:\\Windows\\System32\\old.dll";
    const std::u16string newName = u"\\??\\C:\\Windows\\System32\\new.dll";
    const std::u16string none;
    EXPECT_EQ(PendingRenames(), oldName + u'\0' + none + u'\0' + newName + u'\0' + u'!' + oldName + u'\0' + u'\0');
    // Nothing moves now, and the request outlives reopening the machine.
    EXPECT_EQ(HostContents(u"C:\\Windows\\System32\\old.dll"), "x");
    Reopen();
    EXPECT_NE(PendingRenames().find(u"new.dll"), std::u16string::npos);

    SetLastError(0);
    EXPECT_FALSE(MoveFileExW(u"C:\\Windows\\System32\\old.dll", u"C:\\x.dll",
                             MOVEFILE_DELAY_UNTIL_REBOOT | MOVEFILE_COPY_ALLOWED));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
}

class NonAdministrator : public FileTest {
protected:
    w32::MachineSettings MakeSettings() const override {
        w32::MachineSettings settings = FileTest::MakeSettings();
        settings.administrator = false;
        return settings;
    }
};

TEST_F(NonAdministrator, MayNotScheduleMovesAfterReboot) {
    PutHostFile(u"C:\\Users\\User\\a.txt", "a");
    SetLastError(0);
    EXPECT_FALSE(MoveFileExW(u"C:\\Users\\User\\a.txt", nullptr, MOVEFILE_DELAY_UNTIL_REBOOT));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ACCESS_DENIED));
    EXPECT_EQ(PendingRenames(), u"(none)");
}

TEST_F(FileTest, DeleteFileErrors) {
    struct Case {
        const char16_t* path;
        DWORD error;
    };
    PutHostFile(u"C:\\Data\\f.txt", "f");
    const Case cases[] = {
        {u"C:\\Data\\none.txt", ERROR_FILE_NOT_FOUND},
        {u"C:\\None\\f.txt", ERROR_PATH_NOT_FOUND},
        {u"C:\\Data", ERROR_ACCESS_DENIED},
        {u"C:\\Data\\f.txt\\", ERROR_INVALID_NAME},
    };
    for (const auto& c : cases) {
        SetLastError(0);
        EXPECT_FALSE(DeleteFileW(c.path));
        EXPECT_EQ(GetLastError(), c.error) << testing::PrintToString(std::u16string(c.path));
    }
    EXPECT_TRUE(DeleteFileW(u"c:\\DATA\\F.TXT"));
    EXPECT_FALSE(HostExists(u"C:\\Data\\f.txt"));
}

TEST_F(FileTest, CreateAndRemoveDirectory) {
    SetLastError(0);
    EXPECT_TRUE(CreateDirectoryW(u"C:\\Korvan", nullptr));
    EXPECT_FALSE(CreateDirectoryW(u"c:\\KORVAN", nullptr));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ALREADY_EXISTS));
    EXPECT_FALSE(CreateDirectoryW(u"C:\\Korvan\\a\\b", nullptr));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_PATH_NOT_FOUND));
    EXPECT_TRUE(CreateDirectoryW(u"C:\\Korvan\\a", nullptr));
    PutHostFile(u"C:\\Korvan\\a\\f.txt", "f");

    EXPECT_FALSE(RemoveDirectoryW(u"C:\\Korvan"));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_DIR_NOT_EMPTY));
    EXPECT_FALSE(RemoveDirectoryW(u"C:\\Korvan\\a\\f.txt"));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_DIRECTORY));
    EXPECT_FALSE(RemoveDirectoryW(u"C:\\Korvan\\zz"));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_NOT_FOUND));

    // The current directory is held open by the process.
    ASSERT_TRUE(SetCurrentDirectoryW(u"C:\\Korvan\\a"));
    ASSERT_TRUE(DeleteFileW(u"f.txt"));
    EXPECT_FALSE(RemoveDirectoryW(u"C:\\Korvan\\a"));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_SHARING_VIOLATION));
    ASSERT_TRUE(SetCurrentDirectoryW(u"C:\\"));
    EXPECT_TRUE(RemoveDirectoryW(u"C:\\Korvan\\a"));
    EXPECT_TRUE(RemoveDirectoryW(u"C:\\korvan"));
    EXPECT_FALSE(HostExists(u"C:\\Korvan"));
}

}  // namespace
