#include <windows.h>

#include <string>
#include <vector>

#include "file_helpers.h"

namespace {

using tam::test::FileTest;
using tam::test::ScopedHandle;

// Every name FindFirstFileW/FindNextFileW give for a pattern, or the error.
std::vector<std::u16string> Find(const std::u16string& pattern, DWORD* error = nullptr) {
    std::vector<std::u16string> names;
    WIN32_FIND_DATAW data;
    SetLastError(0xdeadbeef);
    HANDLE search = FindFirstFileW(pattern.c_str(), &data);
    if (search == INVALID_HANDLE_VALUE) {
        if (error) *error = GetLastError();
        return names;
    }
    do names.push_back(data.cFileName);
    while (FindNextFileW(search, &data));
    if (error) *error = GetLastError();  // ERROR_NO_MORE_FILES after the last
    FindClose(search);
    return names;
}

struct WildcardCase {
    const char16_t* pattern;
    std::vector<std::u16string> names;
};

const char16_t* const kFolderNames[] = {u"readme", u"a.txt",     u"b.TXT", u"a.b.txt", u"abc",
                                        u"abc.doc", u"ab.txt",   u"data.txtx", u"x.y.z"};

const WildcardCase kWildcards[] = {
    {u"*", {u".", u"..", u"a.b.txt", u"a.txt", u"ab.txt", u"abc", u"abc.doc", u"b.TXT", u"data.txtx", u"readme",
            u"x.y.z"}},
    {u"*.*", {u".", u"..", u"a.b.txt", u"a.txt", u"ab.txt", u"abc", u"abc.doc", u"b.TXT", u"data.txtx", u"readme",
              u"x.y.z"}},
    {u"*.txt", {u"a.b.txt", u"a.txt", u"ab.txt", u"b.TXT"}},
    {u"*.", {u".", u"..", u"abc", u"readme"}},
    {u"a?.txt", {u"a.txt", u"ab.txt"}},
    {u"???", {u"abc"}},
    {u"abc.*", {u"abc", u"abc.doc"}},
    {u"A*", {u"a.b.txt", u"a.txt", u"ab.txt", u"abc", u"abc.doc"}},
    {u"*.TXT?", {u"a.b.txt", u"a.txt", u"ab.txt", u"b.TXT", u"data.txtx"}},
    {u"*y*", {u"x.y.z"}},
    {u"README", {u"readme"}},
};

void PrintTo(const WildcardCase& c, std::ostream* os) { *os << testing::PrintToString(std::u16string(c.pattern)); }

class Wildcards : public FileTest, public testing::WithParamInterface<WildcardCase> {};

TEST_P(Wildcards, MatchAsWindowsDoes) {
    std::filesystem::create_directories(HostPath(u"C:\\Match"));
    for (const char16_t* name : kFolderNames) PutHostFile(u"C:\\Match\\" + std::u16string(name), "x");
    DWORD error = 0;
    EXPECT_EQ(Find(u"C:\\Match\\" + std::u16string(GetParam().pattern), &error), GetParam().names);
    EXPECT_EQ(error, DWORD(ERROR_NO_MORE_FILES));
}

INSTANTIATE_TEST_SUITE_P(All, Wildcards, testing::ValuesIn(kWildcards));

TEST_F(FileTest, FindGivesSizesAndAttributesAndNoDotsAtTheRoot) {
    PutHostFile(u"C:\\Data\\f.bin", std::string(1234, 'x'));
    std::filesystem::create_directories(HostPath(u"C:\\Data\\Sub"));
    WIN32_FIND_DATAW data;
    ScopedHandle search(FindFirstFileW(u"C:\\Data\\f.*", &data));
    ASSERT_TRUE(search.valid());
    EXPECT_EQ(std::u16string(data.cFileName), u"f.bin");
    EXPECT_EQ(data.nFileSizeLow, 1234u);
    EXPECT_EQ(data.dwFileAttributes, DWORD(FILE_ATTRIBUTE_ARCHIVE));
    EXPECT_EQ(data.cAlternateFileName[0], u'\0');
    SetLastError(0);
    EXPECT_FALSE(FindNextFileW(search.get(), &data));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_NO_MORE_FILES));
    EXPECT_TRUE(FindClose(search.get()));
    EXPECT_FALSE(FindClose(search.get()));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));

    ScopedHandle folder(FindFirstFileW(u"C:\\Data\\S*", &data));
    ASSERT_TRUE(folder.valid());
    EXPECT_EQ(data.dwFileAttributes, DWORD(FILE_ATTRIBUTE_DIRECTORY));
    EXPECT_TRUE(FindClose(folder.get()));

    auto root = Find(u"C:\\*");
    EXPECT_FALSE(root.empty());
    EXPECT_EQ(std::count(root.begin(), root.end(), u"."), 0);
    EXPECT_EQ(std::count(root.begin(), root.end(), u"Windows"), 1);

    // A relative pattern searches the current directory.
    ASSERT_TRUE(SetCurrentDirectoryW(u"C:\\Data"));
    EXPECT_EQ(Find(u"*.bin"), (std::vector<std::u16string>{u"f.bin"}));
}

TEST_F(FileTest, FindErrors) {
    PutHostFile(u"C:\\Data\\f.bin", "x");
    struct Case {
        const char16_t* pattern;
        DWORD error;
    };
    const Case cases[] = {
        {u"C:\\Data\\*.none", ERROR_FILE_NOT_FOUND}, {u"C:\\Missing\\*", ERROR_PATH_NOT_FOUND},
        {u"C:\\Data\\", ERROR_FILE_NOT_FOUND},       {u"C:\\Da*a\\f.bin", ERROR_INVALID_NAME},
        {u"C:\\Data\\f.bin\\*", ERROR_DIRECTORY},    {u"D:\\*", ERROR_PATH_NOT_FOUND},
        {u"\\\\server\\share\\*", ERROR_BAD_NETPATH},
    };
    for (const auto& c : cases) {
        DWORD error = 0;
        EXPECT_TRUE(Find(c.pattern, &error).empty());
        EXPECT_EQ(error, c.error) << testing::PrintToString(std::u16string(c.pattern));
    }
    HANDLE file = CreateFileW(u"C:\\Data\\f.bin", GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(FindClose(file));  // not a search
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
    EXPECT_TRUE(CloseHandle(file));
}

}  // namespace
