#include <windows.h>

#include <cstring>
#include <vector>

#include "file_helpers.h"
#include "kernel32/devicename.h"

namespace {

using tam::test::FileTest;
using tam::test::OpenForRead;
using tam::test::OpenForWrite;
using tam::test::ScopedHandle;

// --- Dispositions -------------------------------------------------------------

struct DispositionCase {
    DWORD disposition;
    bool exists;              // the file is there before the call
    bool opens;
    DWORD lastError;
    const char* contentAfter;  // nullptr: no file afterwards
};

const DispositionCase kDispositions[] = {
    {CREATE_NEW, true, false, ERROR_FILE_EXISTS, "old"},
    {CREATE_NEW, false, true, ERROR_SUCCESS, ""},
    {CREATE_ALWAYS, true, true, ERROR_ALREADY_EXISTS, ""},
    {CREATE_ALWAYS, false, true, ERROR_SUCCESS, ""},
    {OPEN_EXISTING, true, true, ERROR_SUCCESS, "old"},
    {OPEN_EXISTING, false, false, ERROR_FILE_NOT_FOUND, nullptr},
    {OPEN_ALWAYS, true, true, ERROR_ALREADY_EXISTS, "old"},
    {OPEN_ALWAYS, false, true, ERROR_SUCCESS, ""},
    {TRUNCATE_EXISTING, true, true, ERROR_SUCCESS, ""},
    {TRUNCATE_EXISTING, false, false, ERROR_FILE_NOT_FOUND, nullptr},
};

void PrintTo(const DispositionCase& c, std::ostream* os) {
    *os << "disposition " << c.disposition << (c.exists ? " over a file" : " with no file");
}

class Dispositions : public FileTest, public testing::WithParamInterface<DispositionCase> {};

TEST_P(Dispositions, OpenOrCreateAsWindowsDoes) {
    const DispositionCase& c = GetParam();
    std::filesystem::create_directories(HostPath(u"C:\\Data"));
    if (c.exists) PutHostFile(u"C:\\Data\\job.prn", "old");
    SetLastError(0xdeadbeef);
    ScopedHandle file(CreateFileW(u"C:\\Data\\job.prn", GENERIC_READ | GENERIC_WRITE, 0, nullptr, c.disposition,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    EXPECT_EQ(GetLastError(), c.lastError);
    EXPECT_EQ(file.valid(), c.opens);
    if (file.valid()) {
        EXPECT_TRUE(file.Close());
    }
    EXPECT_EQ(HostExists(u"C:\\Data\\job.prn"), c.contentAfter != nullptr);
    if (c.contentAfter) {
        EXPECT_EQ(HostContents(u"C:\\Data\\job.prn"), c.contentAfter);
    }
}

INSTANTIATE_TEST_SUITE_P(All, Dispositions, testing::ValuesIn(kDispositions));

TEST_F(FileTest, CreateAlwaysTruncatesEvenForAReader) {
    PutHostFile(u"C:\\a.txt", "old");
    SetLastError(0);
    ScopedHandle file(CreateFileW(u"C:\\a.txt", GENERIC_READ, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    EXPECT_TRUE(file.valid());
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ALREADY_EXISTS));
    EXPECT_EQ(HostContents(u"C:\\a.txt"), "");
}

TEST_F(FileTest, TruncateExistingNeedsWriteAccessAndBadDispositionsAreRefused) {
    PutHostFile(u"C:\\a.txt", "old");
    SetLastError(0);
    EXPECT_EQ(CreateFileW(u"C:\\a.txt", GENERIC_READ, 0, nullptr, TRUNCATE_EXISTING, 0, nullptr),
              INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(CreateFileW(u"C:\\a.txt", GENERIC_READ, 0, nullptr, 0, 0, nullptr), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(HostContents(u"C:\\a.txt"), "old");
}

// --- Read-only files ----------------------------------------------------------

TEST_F(FileTest, ReadOnlyFileRefusesWritingTruncationAndDeletion) {
    // The creating handle may still write what it created.
    ScopedHandle creator(CreateFileW(u"C:\\ro.dat", GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_READONLY,
                                     nullptr));
    ASSERT_TRUE(creator.valid());
    DWORD written = 0;
    EXPECT_TRUE(WriteFile(creator.get(), "keep", 4, &written, nullptr));
    EXPECT_EQ(written, 4u);
    ASSERT_TRUE(creator.Close());
    EXPECT_EQ(GetFileAttributesW(u"C:\\ro.dat"), DWORD(FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE));

    struct Attempt {
        DWORD access;
        DWORD disposition;
        DWORD flags;
    };
    const Attempt refused[] = {
        {GENERIC_WRITE, OPEN_EXISTING, 0},
        {GENERIC_READ | GENERIC_WRITE, OPEN_ALWAYS, 0},
        {FILE_APPEND_DATA, OPEN_EXISTING, 0},
        {GENERIC_WRITE, TRUNCATE_EXISTING, 0},
        {GENERIC_READ, CREATE_ALWAYS, 0},
        {GENERIC_READ, OPEN_EXISTING, FILE_FLAG_DELETE_ON_CLOSE},
    };
    for (const auto& a : refused) {
        SetLastError(0);
        EXPECT_EQ(CreateFileW(u"C:\\ro.dat", a.access, FILE_SHARE_READ, nullptr, a.disposition, a.flags, nullptr),
                  INVALID_HANDLE_VALUE)
            << "access " << std::hex << a.access << " disposition " << a.disposition;
        EXPECT_EQ(GetLastError(), DWORD(ERROR_ACCESS_DENIED));
    }
    SetLastError(0);
    EXPECT_FALSE(DeleteFileW(u"C:\\ro.dat"));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ACCESS_DENIED));

    PutHostFile(u"C:\\other.dat", "other");
    EXPECT_FALSE(MoveFileExW(u"C:\\other.dat", u"C:\\ro.dat", MOVEFILE_REPLACE_EXISTING));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ACCESS_DENIED));
    EXPECT_FALSE(CopyFileW(u"C:\\other.dat", u"C:\\ro.dat", FALSE));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ACCESS_DENIED));
    EXPECT_EQ(HostContents(u"C:\\ro.dat"), "keep");

    // Reading is allowed, and the attribute outlives the machine being reopened.
    Reopen();
    ScopedHandle reader(OpenForRead(u"C:\\ro.dat"));
    ASSERT_TRUE(reader.valid());
    char buffer[8] = {};
    DWORD read = 0;
    EXPECT_TRUE(ReadFile(reader.get(), buffer, sizeof(buffer), &read, nullptr));
    EXPECT_EQ(std::string(buffer, read), "keep");
    ASSERT_TRUE(reader.Close());
    EXPECT_FALSE(DeleteFileW(u"C:\\ro.dat"));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ACCESS_DENIED));

    EXPECT_TRUE(SetFileAttributesW(u"C:\\ro.dat", FILE_ATTRIBUTE_NORMAL));
    EXPECT_TRUE(DeleteFileW(u"C:\\ro.dat"));
    EXPECT_FALSE(HostExists(u"C:\\ro.dat"));
}

TEST_F(FileTest, ReadAndWriteNeedTheAccessTheHandleWasOpenedWith) {
    PutHostFile(u"C:\\a.txt", "abc");
    ScopedHandle reader(OpenForRead(u"C:\\a.txt", FILE_SHARE_READ | FILE_SHARE_WRITE));
    ScopedHandle writer(OpenForWrite(u"C:\\a.txt", OPEN_EXISTING, FILE_SHARE_READ));
    ASSERT_TRUE(reader.valid());
    ASSERT_TRUE(writer.valid());
    char buffer[4];
    DWORD count = 99;
    SetLastError(0);
    EXPECT_FALSE(WriteFile(reader.get(), "x", 1, &count, nullptr));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ACCESS_DENIED));
    EXPECT_EQ(count, 0u);
    count = 99;
    EXPECT_FALSE(ReadFile(writer.get(), buffer, sizeof(buffer), &count, nullptr));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ACCESS_DENIED));
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(HostContents(u"C:\\a.txt"), "abc");
    // Flushing is writing too.
    EXPECT_TRUE(FlushFileBuffers(writer.get()));
    EXPECT_FALSE(FlushFileBuffers(reader.get()));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ACCESS_DENIED));
}

// --- Sharing ------------------------------------------------------------------

// A second open meets a handle already open on the file: its access against
// the handle's share mode, its share mode against the handle's access. An
// open that overwrites (CREATE_ALWAYS, TRUNCATE_EXISTING) counts as a writer
// whatever access it asks for; OPEN_ALWAYS over an existing file only opens it.
struct ShareCase {
    DWORD heldAccess, heldShare;
    DWORD access, share, disposition;
    DWORD refusal;  // 0: the second open succeeds
};

constexpr DWORD kRead = FILE_SHARE_READ;
constexpr DWORD kWrite = FILE_SHARE_WRITE;
constexpr DWORD kDelete = FILE_SHARE_DELETE;
constexpr DWORD kSharing = ERROR_SHARING_VIOLATION;

const ShareCase kShares[] = {
    {GENERIC_READ, kRead, GENERIC_READ, kRead, OPEN_EXISTING, 0},
    {GENERIC_READ, kRead, GENERIC_WRITE, kRead, OPEN_EXISTING, kSharing},
    {GENERIC_READ, 0, GENERIC_READ, kRead, OPEN_EXISTING, kSharing},
    {GENERIC_WRITE, kRead | kWrite, GENERIC_READ, kRead, OPEN_EXISTING, kSharing},
    {GENERIC_WRITE, kRead | kWrite, GENERIC_READ, kRead | kWrite, OPEN_EXISTING, 0},
    {GENERIC_READ | GENERIC_WRITE, kRead | kWrite, GENERIC_WRITE, kRead | kWrite, OPEN_EXISTING, 0},
    // Opens that only look at attributes neither conflict nor restrict.
    {GENERIC_READ, 0, FILE_READ_ATTRIBUTES, 0, OPEN_EXISTING, 0},
    {FILE_READ_ATTRIBUTES, 0, GENERIC_WRITE, 0, OPEN_EXISTING, 0},
    {GENERIC_READ, kRead, DELETE, kRead | kWrite | kDelete, OPEN_EXISTING, kSharing},
    {GENERIC_READ, kRead | kDelete, DELETE, kRead, OPEN_EXISTING, 0},
    {DELETE, kRead | kWrite | kDelete, GENERIC_READ, kRead | kWrite, OPEN_EXISTING, kSharing},

    // Overwriting asks the holders to share writing, even for a reader or an
    // open without data access.
    {GENERIC_READ, kRead, GENERIC_READ, kRead | kWrite, CREATE_ALWAYS, kSharing},
    {GENERIC_READ, kRead, 0, kRead | kWrite | kDelete, CREATE_ALWAYS, kSharing},
    {GENERIC_READ, kRead, GENERIC_WRITE, kRead | kWrite, CREATE_ALWAYS, kSharing},
    {GENERIC_READ, kRead | kWrite, GENERIC_READ, kRead | kWrite, CREATE_ALWAYS, 0},
    {GENERIC_READ, kRead | kWrite, GENERIC_WRITE, kRead, CREATE_ALWAYS, 0},
    {GENERIC_READ, kRead | kWrite, GENERIC_WRITE, kWrite, CREATE_ALWAYS, kSharing},
    {GENERIC_WRITE, kRead | kWrite, GENERIC_WRITE, kRead, CREATE_ALWAYS, kSharing},
    {DELETE, kRead | kWrite | kDelete, GENERIC_WRITE, kRead | kWrite, CREATE_ALWAYS, kSharing},
    {DELETE, kRead | kWrite | kDelete, GENERIC_READ, kRead | kWrite | kDelete, CREATE_ALWAYS, 0},
    {FILE_READ_ATTRIBUTES, 0, GENERIC_READ, 0, CREATE_ALWAYS, 0},
    {GENERIC_READ, kRead, GENERIC_READ | GENERIC_WRITE, kRead, TRUNCATE_EXISTING, kSharing},
    {GENERIC_READ, kRead | kWrite, GENERIC_WRITE, kRead, TRUNCATE_EXISTING, 0},
    {GENERIC_READ, kRead | kWrite, GENERIC_WRITE, kWrite, TRUNCATE_EXISTING, kSharing},
    {GENERIC_READ | GENERIC_WRITE, kRead | kWrite | kDelete, GENERIC_WRITE, kRead | kWrite, TRUNCATE_EXISTING, 0},

    // OPEN_ALWAYS over an existing file is an open, checked by its own access.
    {GENERIC_READ, kRead, GENERIC_READ, kRead, OPEN_ALWAYS, 0},
    {GENERIC_READ, kRead, GENERIC_WRITE, kRead | kWrite, OPEN_ALWAYS, kSharing},
    {GENERIC_WRITE, kRead | kWrite, GENERIC_READ, kRead, OPEN_ALWAYS, kSharing},
    {GENERIC_WRITE, kRead | kWrite, GENERIC_READ, kRead | kWrite, OPEN_ALWAYS, 0},
};

void PrintTo(const ShareCase& c, std::ostream* os) {
    *os << std::hex << "held access/share " << c.heldAccess << "/" << c.heldShare << ", then access/share "
        << c.access << "/" << c.share << std::dec << " disposition " << c.disposition;
}

class ShareModes : public FileTest, public testing::WithParamInterface<ShareCase> {};

TEST_P(ShareModes, SecondOpenMeetsTheFirst) {
    const ShareCase& c = GetParam();
    PutHostFile(u"C:\\shared.txt", "data");
    ScopedHandle held(CreateFileW(u"C:\\shared.txt", c.heldAccess, c.heldShare, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held.valid());
    const bool overwrites = c.disposition == CREATE_ALWAYS || c.disposition == TRUNCATE_EXISTING;
    const bool reportsExisting = c.disposition == CREATE_ALWAYS || c.disposition == OPEN_ALWAYS;
    SetLastError(0xdeadbeef);
    ScopedHandle second(CreateFileW(u"C:\\shared.txt", c.access, c.share, nullptr, c.disposition, 0, nullptr));
    EXPECT_EQ(second.valid(), c.refusal == 0);
    if (c.refusal) {
        EXPECT_EQ(second.get(), INVALID_HANDLE_VALUE);
        EXPECT_EQ(GetLastError(), c.refusal);
        // A refused overwrite has cut nothing.
        EXPECT_EQ(HostContents(u"C:\\shared.txt"), "data");
    } else {
        EXPECT_EQ(GetLastError(), reportsExisting ? DWORD(ERROR_ALREADY_EXISTS) : DWORD(ERROR_SUCCESS));
        EXPECT_EQ(HostContents(u"C:\\shared.txt"), overwrites ? "" : "data");
    }
    // Once the first handle is closed, nothing stands in the way.
    ASSERT_TRUE(held.Close());
    if (!second.valid()) {
        ScopedHandle retry(CreateFileW(u"C:\\shared.txt", c.access, c.share, nullptr, c.disposition, 0, nullptr));
        EXPECT_TRUE(retry.valid());
        EXPECT_EQ(HostContents(u"C:\\shared.txt"), overwrites ? "" : "data");
    }
}

INSTANTIATE_TEST_SUITE_P(All, ShareModes, testing::ValuesIn(kShares));

TEST_F(FileTest, DeletingAnOpenFileNeedsShareDelete) {
    PutHostFile(u"C:\\a.txt", "a");
    PutHostFile(u"C:\\b.txt", "b");
    ScopedHandle a(OpenForRead(u"C:\\a.txt", FILE_SHARE_READ));
    ScopedHandle b(OpenForRead(u"C:\\b.txt", FILE_SHARE_READ | FILE_SHARE_DELETE));
    SetLastError(0);
    EXPECT_FALSE(DeleteFileW(u"C:\\a.txt"));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_SHARING_VIOLATION));
    EXPECT_FALSE(MoveFileW(u"C:\\a.txt", u"C:\\c.txt"));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_SHARING_VIOLATION));
    EXPECT_TRUE(HostExists(u"C:\\a.txt"));
    EXPECT_TRUE(DeleteFileW(u"C:\\b.txt"));
    EXPECT_FALSE(HostExists(u"C:\\b.txt"));
}

// --- Folders, delete on close, special names ----------------------------------

TEST_F(FileTest, FolderOpensOnlyWithBackupSemantics) {
    SetLastError(0);
    EXPECT_EQ(CreateFileW(u"C:\\Windows", GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr),
              INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ACCESS_DENIED));
    ScopedHandle folder(CreateFileW(u"C:\\Windows", GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    ASSERT_TRUE(folder.valid());
    EXPECT_EQ(GetFileType(folder.get()), DWORD(FILE_TYPE_DISK));
    BY_HANDLE_FILE_INFORMATION info{};
    EXPECT_TRUE(GetFileInformationByHandle(folder.get(), &info));
    EXPECT_EQ(info.dwFileAttributes, DWORD(FILE_ATTRIBUTE_DIRECTORY));
    char buffer[4];
    DWORD read = 0;
    EXPECT_FALSE(ReadFile(folder.get(), buffer, sizeof(buffer), &read, nullptr));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_FUNCTION));
}

TEST_F(FileTest, DeleteOnCloseRemovesTheFileWithItsLastHandle) {
    ScopedHandle file(CreateFileW(u"C:\\scratch.tmp", GENERIC_READ | GENERIC_WRITE,
                                  FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, CREATE_NEW, FILE_FLAG_DELETE_ON_CLOSE,
                                  nullptr));
    ASSERT_TRUE(file.valid());
    EXPECT_TRUE(HostExists(u"C:\\scratch.tmp"));
    // Another open must allow the deletion to come.
    SetLastError(0);
    EXPECT_EQ(OpenForRead(u"C:\\scratch.tmp", FILE_SHARE_READ), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_SHARING_VIOLATION));
    ScopedHandle second(OpenForRead(u"C:\\scratch.tmp", FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE));
    ASSERT_TRUE(second.valid());
    ASSERT_TRUE(file.Close());
    EXPECT_TRUE(HostExists(u"C:\\scratch.tmp"));
    // The file now waits for its deletion and takes no new opens.
    SetLastError(0);
    EXPECT_EQ(OpenForRead(u"C:\\scratch.tmp", FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE),
              INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ACCESS_DENIED));
    ASSERT_TRUE(second.Close());
    EXPECT_FALSE(HostExists(u"C:\\scratch.tmp"));
}

TEST_F(FileTest, PipeNamesGoToTheRegisteredOpener) {
    SetLastError(0);
    EXPECT_EQ(CreateFileW(u"\\\\.\\pipe\\spoolss", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr),
              INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_NOT_FOUND));

    w32::SpecialOpenRequest seen;
    w32::RegisterSpecialPathOpener(w32::PathKind::Pipe, [&](const w32::SpecialOpenRequest& request) {
        seen = request;
        SetLastError(ERROR_PIPE_BUSY);
        return INVALID_HANDLE_VALUE;
    });
    EXPECT_EQ(CreateFileW(u"\\\\.\\pipe\\spoolss", GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr),
              INVALID_HANDLE_VALUE);
    w32::RegisterSpecialPathOpener(w32::PathKind::Pipe, nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_PIPE_BUSY));
    EXPECT_EQ(seen.path, u"\\\\.\\pipe\\spoolss");
    EXPECT_EQ(seen.kind, w32::PathKind::Pipe);
    EXPECT_EQ(seen.access & FILE_READ_DATA, DWORD(FILE_READ_DATA));
    EXPECT_EQ(seen.disposition, DWORD(OPEN_EXISTING));
}

// --- Paths --------------------------------------------------------------------

TEST_F(FileTest, LookupIgnoresCaseAndKeepsTheSpellingOnDisk) {
    PutHostFile(u"C:\\Data\\Report.TXT", "report");
    ScopedHandle file(OpenForRead(u"c:\\DATA\\report.txt"));
    ASSERT_TRUE(file.valid());
    ASSERT_TRUE(file.Close());

    // Overwriting under another spelling keeps the file's own name.
    ScopedHandle again(OpenForWrite(u"C:\\data\\REPORT.txt", CREATE_ALWAYS));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ALREADY_EXISTS));
    ASSERT_TRUE(again.Close());
    // A new name keeps the caller's spelling.
    ScopedHandle created(OpenForWrite(u"c:\\data\\NewFile.Txt", CREATE_NEW));
    ASSERT_TRUE(created.Close());
    EXPECT_EQ(HostNames(u"C:\\Data"), (std::vector<std::string>{"NewFile.Txt", "Report.TXT"}));

    WIN32_FIND_DATAW data;
    ScopedHandle search(FindFirstFileW(u"C:\\DATA\\report.txt", &data));
    ASSERT_TRUE(search.valid());
    EXPECT_EQ(std::u16string(data.cFileName), u"Report.TXT");
    EXPECT_TRUE(FindClose(search.get()));

    // A rename that changes only the case is a rename.
    EXPECT_TRUE(MoveFileW(u"C:\\data\\report.txt", u"C:\\data\\REPORT.txt"));
    EXPECT_EQ(HostNames(u"C:\\Data"), (std::vector<std::string>{"NewFile.Txt", "REPORT.txt"}));
    EXPECT_EQ(HostContents(u"C:\\Data\\REPORT.txt"), "");
}

struct BadPathCase {
    const char16_t* path;
    DWORD error;
};

const BadPathCase kBadPaths[] = {
    {u"D:\\job.prn", ERROR_PATH_NOT_FOUND},
    {u"C:\\Missing\\job.prn", ERROR_PATH_NOT_FOUND},
    {u"\\\\server\\share\\job.prn", ERROR_BAD_NETPATH},
    {u"C:\\a<b.prn", ERROR_INVALID_NAME},
    {u"C:\\a*.prn", ERROR_INVALID_NAME},
    {u"C:\\Windows\\a|b", ERROR_INVALID_NAME},
    {u"C:\\Windows\\a\"b", ERROR_INVALID_NAME},
    {u"C:\\Win?ows\\a.txt", ERROR_INVALID_NAME},
    {u"", ERROR_PATH_NOT_FOUND},
};

void PrintTo(const BadPathCase& c, std::ostream* os) { *os << testing::PrintToString(std::u16string(c.path)); }

class BadPaths : public FileTest, public testing::WithParamInterface<BadPathCase> {};

TEST_P(BadPaths, AreRefusedWithTheWindowsError) {
    const BadPathCase& c = GetParam();
    SetLastError(0);
    EXPECT_EQ(CreateFileW(c.path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), c.error);
    SetLastError(0);
    EXPECT_EQ(GetFileAttributesW(c.path), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetLastError(), c.error);
    SetLastError(0);
    EXPECT_FALSE(CreateDirectoryW(c.path, nullptr));
    EXPECT_EQ(GetLastError(), c.error);
}

INSTANTIATE_TEST_SUITE_P(All, BadPaths, testing::ValuesIn(kBadPaths));

TEST(FilesWithoutDrive, EveryPathFailsWithPathNotFound) {
    w32::Machine::CloseCurrent();
    ASSERT_FALSE(w32::Machine::Current().HasDrive());
    SetLastError(0);
    EXPECT_EQ(CreateFileW(u"C:\\job.prn", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_PATH_NOT_FOUND));
    EXPECT_EQ(GetFileAttributesW(u"C:\\Windows"), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_PATH_NOT_FOUND));
    EXPECT_FALSE(CreateDirectoryW(u"C:\\Data", nullptr));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_PATH_NOT_FOUND));
    WIN32_FIND_DATAW data;
    EXPECT_EQ(FindFirstFileW(u"C:\\*", &data), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_PATH_NOT_FOUND));
}

// --- Data, position and size --------------------------------------------------

TEST_F(FileTest, LargeWriteAndReadRoundTrip) {
    std::vector<unsigned char> data(16 * 1024 * 1024 + 7);
    for (size_t i = 0; i < data.size(); ++i) data[i] = (unsigned char)(i * 131 + (i >> 12));
    ScopedHandle file(CreateFileW(u"C:\\big.prn", GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(file.valid());
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(file.get(), data.data(), DWORD(data.size()), &written, nullptr));
    EXPECT_EQ(written, data.size());
    LARGE_INTEGER size{};
    EXPECT_TRUE(GetFileSizeEx(file.get(), &size));
    EXPECT_EQ(size.QuadPart, LONGLONG(data.size()));

    EXPECT_EQ(SetFilePointer(file.get(), 0, nullptr, FILE_BEGIN), 0u);
    std::vector<unsigned char> back(data.size() + 100);
    DWORD read = 0;
    ASSERT_TRUE(ReadFile(file.get(), back.data(), DWORD(back.size()), &read, nullptr));
    EXPECT_EQ(read, data.size());
    back.resize(read);
    EXPECT_TRUE(back == data);
    // At the end, a read succeeds with nothing.
    read = 99;
    EXPECT_TRUE(ReadFile(file.get(), back.data(), 10, &read, nullptr));
    EXPECT_EQ(read, 0u);
    ASSERT_TRUE(file.Close());
    EXPECT_EQ(std::filesystem::file_size(HostPath(u"C:\\big.prn")), data.size());
}

TEST_F(FileTest, FilePointerUsesTheHighPartAndReportsOverflowAsWindowsDoes) {
    ScopedHandle file(CreateFileW(u"C:\\sparse.bin", GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
    ASSERT_TRUE(file.valid());
    LONG high = 1;
    EXPECT_EQ(SetFilePointer(file.get(), 0x10, &high, FILE_BEGIN), 0x10u);
    EXPECT_EQ(high, 1);
    EXPECT_TRUE(SetEndOfFile(file.get()));
    DWORD sizeHigh = 0;
    SetLastError(0xdeadbeef);
    EXPECT_EQ(GetFileSize(file.get(), &sizeHigh), 0x10u);
    EXPECT_EQ(sizeHigh, 1u);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_SUCCESS));

    // Seventeen back (a 64-bit move made of both parts) lands on 0xFFFFFFFF:
    // a valid position, told apart from a failure by the last error.
    high = -1;
    SetLastError(0xdeadbeef);
    EXPECT_EQ(SetFilePointer(file.get(), -17, &high, FILE_CURRENT), INVALID_SET_FILE_POINTER);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_SUCCESS));
    EXPECT_EQ(high, 0);

    // A move before the start fails and leaves the position alone.
    EXPECT_EQ(SetFilePointer(file.get(), -1, nullptr, FILE_BEGIN), INVALID_SET_FILE_POINTER);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_NEGATIVE_SEEK));
    LARGE_INTEGER zero{}, position{};
    EXPECT_TRUE(SetFilePointerEx(file.get(), zero, &position, FILE_CURRENT));
    EXPECT_EQ(position.QuadPart, 0xFFFFFFFFll);
    LARGE_INTEGER back{};
    back.QuadPart = -0x10;
    EXPECT_TRUE(SetFilePointerEx(file.get(), back, &position, FILE_END));
    EXPECT_EQ(position.QuadPart, 0x100000000ll);
    EXPECT_FALSE(SetFilePointerEx(file.get(), zero, &position, 7));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
}

TEST_F(FileTest, OverlappedInputAndOutputAreRefused) {
    SetLastError(0);
    EXPECT_EQ(CreateFileW(u"C:\\a.txt", GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_FLAG_OVERLAPPED, nullptr),
              INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_NOT_SUPPORTED));
    EXPECT_FALSE(HostExists(u"C:\\a.txt"));
    ScopedHandle file(OpenForWrite(u"C:\\a.txt", CREATE_NEW));
    ASSERT_TRUE(file.valid());
    OVERLAPPED overlapped{};
    DWORD written = 5;
    EXPECT_FALSE(WriteFile(file.get(), "abc", 3, &written, &overlapped));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_NOT_SUPPORTED));
    EXPECT_EQ(written, 0u);
}

TEST_F(FileTest, HandleFunctionsRefuseHandlesThatAreNotFiles) {
    HANDLE bogus = reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(0x7FFC));
    DWORD count = 0;
    char buffer[2];
    SetLastError(0);
    EXPECT_FALSE(ReadFile(bogus, buffer, 2, &count, nullptr));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
    EXPECT_FALSE(WriteFile(INVALID_HANDLE_VALUE, buffer, 2, &count, nullptr));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
    EXPECT_EQ(GetFileSize(bogus, nullptr), INVALID_FILE_SIZE);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
    EXPECT_EQ(GetFileType(bogus), DWORD(FILE_TYPE_UNKNOWN));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
}

TEST_F(FileTest, FileTimesAreSetAndReadBack) {
    ScopedHandle file(CreateFileW(u"C:\\t.txt", GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
    ASSERT_TRUE(file.valid());
    const FILETIME created{0x11223340, 0x01D00000};
    const FILETIME written{0x55667780, 0x01D80000};
    EXPECT_TRUE(SetFileTime(file.get(), &created, nullptr, &written));
    FILETIME c{}, a{}, w{};
    EXPECT_TRUE(GetFileTime(file.get(), &c, &a, &w));
    EXPECT_EQ(c.dwLowDateTime, created.dwLowDateTime);
    EXPECT_EQ(c.dwHighDateTime, created.dwHighDateTime);
    EXPECT_EQ(w.dwLowDateTime, written.dwLowDateTime);
    EXPECT_EQ(w.dwHighDateTime, written.dwHighDateTime);
    ASSERT_TRUE(file.Close());

    Reopen();
    WIN32_FILE_ATTRIBUTE_DATA data{};
    ASSERT_TRUE(GetFileAttributesExW(u"C:\\t.txt", GetFileExInfoStandard, &data));
    EXPECT_EQ(data.ftCreationTime.dwLowDateTime, created.dwLowDateTime);
    EXPECT_EQ(data.ftCreationTime.dwHighDateTime, created.dwHighDateTime);
    EXPECT_EQ(data.ftLastWriteTime.dwHighDateTime, written.dwHighDateTime);

    // Changing times needs a handle that may write attributes.
    ScopedHandle reader(OpenForRead(u"C:\\t.txt"));
    EXPECT_FALSE(SetFileTime(reader.get(), &created, nullptr, nullptr));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ACCESS_DENIED));
}

}  // namespace
