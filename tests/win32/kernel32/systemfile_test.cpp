// Protected system files: a file of the drive that is a symbolic link out of
// the drive (the machine's standard fonts) can be read, found and copied
// away, and nothing changes it. The changing calls run against a stand-in
// host file in the test's own folder, so that a fault never reaches the
// host's real fonts.
#include <sys/stat.h>
#include <windows.h>

#include <functional>

#include "file_helpers.h"

namespace {

using tam::test::FileTest;
using tam::test::OpenForRead;
using tam::test::ScopedHandle;

constexpr const char16_t* kLinked = u"C:\\Windows\\Fonts\\Stand-in.ttf";
const std::string kHostBytes("\x00\x01\x00\x00 the host's own font file", 29);

// What a host file is: its bytes, mode and last write time.
struct HostState {
    std::string bytes;
    mode_t mode = 0;
    struct timespec written {};
    bool operator==(const HostState& other) const {
        return bytes == other.bytes && mode == other.mode && written.tv_sec == other.written.tv_sec &&
               written.tv_nsec == other.written.tv_nsec;
    }
};

class SystemFile : public FileTest {
protected:
    void SetUp() override {
        FileTest::SetUp();
        hostFile_ = machineFolder().parent_path() / "host-fonts" / "Stand-in.ttf";
        std::filesystem::create_directories(hostFile_.parent_path());
        std::ofstream(hostFile_, std::ios::binary) << kHostBytes;
        std::filesystem::create_symlink(hostFile_, HostPath(kLinked));
        PutHostFile(u"C:\\Work\\other.ttf", "another file");
        before_ = HostFileState();
    }

    HostState HostFileState() const {
        HostState state;
        std::ifstream in(hostFile_, std::ios::binary);
        state.bytes.assign(std::istreambuf_iterator<char>(in), {});
        struct stat st {};
        stat(hostFile_.c_str(), &st);
        state.mode = st.st_mode;
        state.written = st.st_mtim;
        return state;
    }

    // The link is still in its place and the host file as it was.
    void ExpectUntouched() const {
        EXPECT_TRUE(std::filesystem::is_symlink(HostPath(kLinked)));
        EXPECT_TRUE(HostFileState() == before_) << "the host file changed";
    }

    std::filesystem::path hostFile_;
    HostState before_;
};

// A call that would change the file; true when it says it did.
struct Change {
    const char* name;
    std::function<bool()> call;
};
void PrintTo(const Change& change, std::ostream* out) { *out << change.name; }

HANDLE Open(DWORD access, DWORD disposition, DWORD flags = FILE_ATTRIBUTE_NORMAL) {
    return CreateFileW(kLinked, access, FILE_SHARE_READ, nullptr, disposition, flags, nullptr);
}

bool Opened(HANDLE handle) {
    ScopedHandle scoped(handle);
    return scoped.valid();
}

const Change kChanges[] = {
    {"OpenForWriting", [] { return Opened(Open(GENERIC_WRITE, OPEN_EXISTING)); }},
    {"OpenForAppending", [] { return Opened(Open(FILE_APPEND_DATA, OPEN_ALWAYS)); }},
    {"OpenToSetTimes", [] { return Opened(Open(FILE_WRITE_ATTRIBUTES, OPEN_EXISTING)); }},
    {"OpenToDeleteOnClose",
     [] { return Opened(Open(GENERIC_READ, OPEN_EXISTING, FILE_FLAG_DELETE_ON_CLOSE)); }},
    {"Truncate", [] { return Opened(Open(GENERIC_READ | GENERIC_WRITE, TRUNCATE_EXISTING)); }},
    {"CreateAlwaysOverIt", [] { return Opened(Open(GENERIC_READ, CREATE_ALWAYS)); }},
    {"Delete", [] { return DeleteFileW(kLinked) != FALSE; }},
    {"MakeReadOnly", [] { return SetFileAttributesW(kLinked, FILE_ATTRIBUTE_READONLY) != FALSE; }},
    {"MakeHidden", [] { return SetFileAttributesW(kLinked, FILE_ATTRIBUTE_HIDDEN) != FALSE; }},
    {"MoveOntoIt",
     [] { return MoveFileExW(u"C:\\Work\\other.ttf", kLinked, MOVEFILE_REPLACE_EXISTING) != FALSE; }},
    {"MoveItAway", [] { return MoveFileExW(kLinked, u"C:\\Work\\moved.ttf", 0) != FALSE; }},
    {"CopyOntoIt", [] { return CopyFileW(u"C:\\Work\\other.ttf", kLinked, FALSE) != FALSE; }},
};

class SystemFileChange : public SystemFile, public testing::WithParamInterface<Change> {};

TEST_P(SystemFileChange, IsDenied) {
    SetLastError(0xdeadbeef);
    EXPECT_FALSE(GetParam().call());
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ACCESS_DENIED));
    ExpectUntouched();
    EXPECT_EQ(HostContents(u"C:\\Work\\other.ttf"), "another file");
}

INSTANTIATE_TEST_SUITE_P(All, SystemFileChange, testing::ValuesIn(kChanges),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(SystemFile, ReadsFindsAndCopiesAwayAsAnOrdinaryFile) {
    ScopedHandle file(OpenForRead(kLinked));
    ASSERT_TRUE(file.valid());
    char buffer[64] = {};
    DWORD read = 0;
    ASSERT_TRUE(ReadFile(file.get(), buffer, sizeof(buffer), &read, nullptr));
    EXPECT_EQ(std::string(buffer, read), kHostBytes);
    file.Close();

    EXPECT_EQ(GetFileAttributesW(kLinked), DWORD(FILE_ATTRIBUTE_ARCHIVE));
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW(u"C:\\Windows\\Fonts\\stand-*", &found);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    FindClose(search);
    EXPECT_EQ(std::u16string(found.cFileName), u"Stand-in.ttf");
    EXPECT_EQ(found.nFileSizeLow, kHostBytes.size());

    // The copy is the program's own: it can be written, changed and deleted.
    SetLastError(0xdeadbeef);
    ASSERT_TRUE(CopyFileW(kLinked, u"C:\\Work\\copy.ttf", TRUE));
    EXPECT_FALSE(std::filesystem::is_symlink(HostPath(u"C:\\Work\\copy.ttf")));
    EXPECT_EQ(HostContents(u"C:\\Work\\copy.ttf"), kHostBytes);
    EXPECT_TRUE(SetFileAttributesW(u"C:\\Work\\copy.ttf", FILE_ATTRIBUTE_HIDDEN));
    EXPECT_TRUE(Opened(CreateFileW(u"C:\\Work\\copy.ttf", GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING, 0, nullptr)));
    EXPECT_TRUE(DeleteFileW(u"C:\\Work\\copy.ttf"));
    ExpectUntouched();
}

// Only a link out of the drive is protected: one to a file of the drive is
// an ordinary name for that file.
TEST_F(SystemFile, LinkWithinTheDriveIsAnOrdinaryFile) {
    PutHostFile(u"C:\\Work\\target.txt", "drive file");
    std::filesystem::create_symlink(HostPath(u"C:\\Work\\target.txt"), HostPath(u"C:\\Work\\link.txt"));
    EXPECT_TRUE(SetFileAttributesW(u"C:\\Work\\link.txt", FILE_ATTRIBUTE_HIDDEN));
    EXPECT_TRUE(Opened(CreateFileW(u"C:\\Work\\link.txt", GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr)));
    EXPECT_TRUE(DeleteFileW(u"C:\\Work\\link.txt"));
    EXPECT_FALSE(HostExists(u"C:\\Work\\link.txt"));
}

// The fonts of a fresh machine are such files. Only calls that would leave a
// host file as it is if they were let through are made on them.
TEST_F(FileTest, StandardFontsAreProtectedSystemFiles) {
    constexpr const char16_t* kFont = u"C:\\Windows\\Fonts\\DejaVuSans.ttf";
    SetLastError(0xdeadbeef);
    EXPECT_EQ(CreateFileW(kFont, GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ACCESS_DENIED));
    SetLastError(0xdeadbeef);
    EXPECT_FALSE(DeleteFileW(kFont));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ACCESS_DENIED));

    ScopedHandle file(OpenForRead(kFont));
    ASSERT_TRUE(file.valid());
    BYTE version[4] = {};
    DWORD read = 0;
    ASSERT_TRUE(ReadFile(file.get(), version, sizeof(version), &read, nullptr));
    EXPECT_EQ(read, 4u);
    EXPECT_EQ(version[1], 1);  // 0x00010000: a TrueType font
    EXPECT_EQ(GetFileSize(file.get(), nullptr),
              std::filesystem::file_size("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"));
}

}  // namespace
