// The rendering DLL's small routines: strings, temporary names, the user's
// name, parts of paths, rectangles, text conversion, memory blocks and debug
// texts.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <ostream>
#include <string>

#include "pcl6/intrface/rendutil.h"
#include "pcl6/intrface/util.h"
#include "support/machine_fixture.h"
#include "support/module_install.h"
#include "win32/kernel32/modules/testres.h"

namespace tam::test {
namespace {

using RendUtil = MachineTest;

TEST_F(RendUtil, LoadStringFromTheModuleElseNamesTheMissingId) {
    InstallModule(machine(), "TamTestDeu.res", u"C:\\Program Files\\Korvan\\TamTestDeu.dll");
    HMODULE language = LoadLibraryExW(u"TamTestDeu.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(language, nullptr);
    WCHAR buffer[20];
    EXPECT_EQ(Util_LoadString(language, IDS_HELLO, buffer, 20), 9);
    EXPECT_EQ(std::u16string(buffer), u"Guten Tag");
    EXPECT_EQ(Util_LoadString(language, 1234, buffer, 20), 16);
    EXPECT_EQ(std::u16string(buffer), u"id:1234 missing!");
    EXPECT_EQ(Util_LoadString(nullptr, IDS_HELLO, buffer, 20), 13);
    EXPECT_EQ(std::u16string(buffer), u"id:1 missing!");
    // Room for the text but not its NUL: nothing.
    EXPECT_EQ(Util_LoadString(language, 1234, buffer, 16), 0);
    EXPECT_EQ(buffer[0], 0);
    EXPECT_EQ(Util_LoadString(language, 1234, buffer, 0), 0);
    EXPECT_EQ(Util_LoadString(language, 1234, nullptr, 20), 0);
    EXPECT_TRUE(FreeLibrary(language));
}

TEST_F(RendUtil, TempFileNameInTheTemporaryFolder) {
    WCHAR name[MAX_PATH];
    const UINT unique = Util_GetTempFileName(u"pcl", name);
    ASSERT_NE(unique, 0u);
    WCHAR folder[MAX_PATH];
    ASSERT_GT(GetTempPathW(MAX_PATH, folder), 0u);
    const std::u16string path(name);
    EXPECT_EQ(path.rfind(folder, 0), 0u) << w32::ToUtf8(path);
    EXPECT_EQ(path.substr(std::u16string(folder).size(), 3), u"pcl");
    EXPECT_TRUE(std::filesystem::exists(HostPath(path)));  // the name is taken by a new, empty file
    EXPECT_EQ(Util_GetTempFileName(u"pcl", nullptr), 0u);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
}

TEST_F(RendUtil, UserNameIsCutTo31Characters) {
    WCHAR name[32];
    machine().MutableSettings().userName = u"Mei Lin";
    ASSERT_EQ(Util_GetUserName(name), TRUE);
    EXPECT_EQ(std::u16string(name), u"Mei Lin");
    machine().MutableSettings().userName = std::u16string(40, u'x');
    std::fill(std::begin(name), std::end(name), u'#');
    ASSERT_EQ(Util_GetUserName(name), TRUE);
    EXPECT_EQ(std::u16string(name), std::u16string(31, u'x'));
    EXPECT_EQ(Util_GetUserName(nullptr), FALSE);
}

struct CutCase {
    const char16_t* path;
    BOOL dropSeparator;
    const char16_t* expected;
};
class RendCutFileName : public testing::TestWithParam<CutCase> {};

TEST_P(RendCutFileName, KeepsTheFolder) {
    WCHAR path[64];
    lstrcpynW(path, GetParam().path, 64);
    const int length = Util_CutFileName(path, GetParam().dropSeparator);
    EXPECT_EQ(std::u16string(path), GetParam().expected);
    EXPECT_EQ(length, int(std::u16string(GetParam().expected).size()));
}

INSTANTIATE_TEST_SUITE_P(All, RendCutFileName,
                         testing::Values(CutCase{u"C:\\Forms\\page.dfd", FALSE, u"C:\\Forms\\"},
                                         CutCase{u"C:\\Forms\\page.dfd", TRUE, u"C:\\Forms"},
                                         CutCase{u"C:/Forms/a\\b/page", TRUE, u"C:/Forms/a\\b"},
                                         CutCase{u"page.dfd", TRUE, u"page.dfd"}, CutCase{u"", FALSE, u""},
                                         CutCase{u"C:\\", FALSE, u"C:\\"}));

TEST(RendFilePart, AfterTheLastSeparator) {
    EXPECT_EQ(std::u16string(Util_FilePart(u"C:\\Forms\\page.dfd")), u"page.dfd");
    EXPECT_EQ(std::u16string(Util_FilePart(u"C:page.dfd")), u"page.dfd");
    EXPECT_EQ(std::u16string(Util_FilePart(u"a/b\\c:d")), u"d");
    EXPECT_EQ(std::u16string(Util_FilePart(u"C:\\Forms\\")), u"");
    EXPECT_EQ(std::u16string(Util_FilePart(u"page")), u"page");
    EXPECT_EQ(Util_FilePart(nullptr), nullptr);
}

struct RectCase {
    RECTL a, b, expected;
    BOOL result;
};
void PrintTo(const RectCase& c, std::ostream* os) {
    *os << "(" << c.a.left << "," << c.a.top << "," << c.a.right << "," << c.a.bottom << ") and (" << c.b.left << ","
        << c.b.top << "," << c.b.right << "," << c.b.bottom << ")";
}
class RendIntersect : public testing::TestWithParam<RectCase> {};

TEST_P(RendIntersect, BothForms) {
    const RectCase& c = GetParam();
    RECTL out{-7, -7, -7, -7};
    EXPECT_EQ(Util_IntersectRect(&out, &c.a, &c.b), c.result);
    EXPECT_EQ(std::memcmp(&out, &c.expected, sizeof(out)), 0)
        << out.left << "," << out.top << "," << out.right << "," << out.bottom;
    auto small = [](const RECTL& r) { return Rect16{INT16(r.left), INT16(r.top), INT16(r.right), INT16(r.bottom)}; };
    const Rect16 a = small(c.a), b = small(c.b), expected = small(c.expected);
    Rect16 out16{-7, -7, -7, -7};
    EXPECT_EQ(Util_IntersectRect16(&out16, &a, &b), c.result);
    EXPECT_EQ(std::memcmp(&out16, &expected, sizeof(out16)), 0);
}

INSTANTIATE_TEST_SUITE_P(
    All, RendIntersect,
    testing::Values(RectCase{{0, 0, 100, 50}, {20, 10, 200, 30}, {20, 10, 100, 30}, TRUE},
                    RectCase{{20, 10, 200, 30}, {0, 0, 100, 50}, {20, 10, 100, 30}, TRUE},
                    RectCase{{0, 0, 10, 10}, {10, 0, 20, 10}, {10, 0, 10, 10}, TRUE},  // touching: a zero width
                    RectCase{{0, 0, 10, 10}, {11, 0, 20, 10}, {0, 0, 0, 0}, FALSE},
                    RectCase{{0, 0, 10, 10}, {0, 20, 10, 30}, {0, 0, 0, 0}, FALSE},
                    RectCase{{10, 0, 0, 10}, {0, 0, 20, 20}, {0, 0, 0, 0}, FALSE},     // right left of left
                    RectCase{{0, 10, 10, 0}, {0, 0, 20, 20}, {0, 0, 0, 0}, FALSE},
                    RectCase{{-30, -30, -10, -10}, {-20, -40, 0, -15}, {-20, -30, -10, -15}, TRUE}));

TEST(RendIntersectMissing, EmptyResult) {
    RECTL a{0, 0, 1, 1}, out{5, 5, 5, 5};
    EXPECT_EQ(Util_IntersectRect(&out, &a, nullptr), FALSE);
    EXPECT_EQ(out.left | out.top | out.right | out.bottom, 0);
    EXPECT_EQ(Util_IntersectRect(nullptr, &a, &a), FALSE);
}

using RendWideToAnsi = MachineTest;

TEST_F(RendWideToAnsi, ConvertsIntoTheRoomGiven) {
    char out[16];
    std::memset(out, '#', sizeof(out));
    EXPECT_EQ(Util_WideToAnsi(out, u"Caf\u00e9 \u0394", 16), 6);
    EXPECT_STREQ(out, "Caf\xe9 ?");
    std::memset(out, '#', sizeof(out));
    EXPECT_EQ(Util_WideToAnsi(out, u"Times New Roman", 6), 5);
    EXPECT_STREQ(out, "Times");
    EXPECT_EQ(out[6], '#');
    EXPECT_EQ(Util_WideToAnsi(out, u"", 16), 0);
    EXPECT_STREQ(out, "");
    // No room named, no write.
    std::memset(out, '#', sizeof(out));
    SetLastError(0);
    EXPECT_EQ(Util_WideToAnsi(out, u"Arial", 0), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(Util_WideToAnsi(out, u"Arial", -1), 0);
    EXPECT_EQ(out[0], '#');
}

TEST(RendMemory, ReAllocKeepsTheBytesAndTheCount) {
    LONG counter = 0;
    auto* block = static_cast<BYTE*>(Util_GlobalAlloc(&counter, 8));
    ASSERT_NE(block, nullptr);
    std::memcpy(block, "abcdefgh", 8);
    auto* grown = static_cast<BYTE*>(Util_ReAlloc(&counter, block, 20));
    ASSERT_NE(grown, nullptr);
    EXPECT_EQ(counter, 28);
    EXPECT_EQ(std::memcmp(grown, "abcdefgh", 8), 0);
    EXPECT_EQ(std::count(grown + 8, grown + 20, 0), 12);
    auto* shrunk = static_cast<BYTE*>(Util_ReAlloc(&counter, grown, 3));
    ASSERT_NE(shrunk, nullptr);
    EXPECT_EQ(counter, 11);
    EXPECT_EQ(std::memcmp(shrunk, "abc", 3), 0);
    EXPECT_EQ(Util_GlobalSize(shrunk), 3u);

    // Not a counted block: refused, the block left alone.
    BYTE foreign[16] = {};
    EXPECT_EQ(Util_ReAlloc(&counter, foreign + 8, 4), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(counter, 11);
    auto* fresh = Util_ReAlloc(&counter, nullptr, 5);
    ASSERT_NE(fresh, nullptr);
    EXPECT_EQ(counter, 24);
    Util_GlobalFree(&counter, fresh);
    Util_GlobalFree(&counter, shrunk);
    EXPECT_EQ(counter, 0);
}

TEST(RendMemory, ChainedBlocksAreFreedTogether) {
    LPVOID chain = nullptr;
    BYTE* blocks[3];
    for (DWORD i = 0; i < 3; ++i) {
        blocks[i] = static_cast<BYTE*>(Util_AllocChainBlock(&chain, 10 + i));
        ASSERT_NE(blocks[i], nullptr);
        EXPECT_EQ(std::count(blocks[i], blocks[i] + 10 + i, 0), long(10 + i));
        std::memset(blocks[i], 0xAB, 10 + i);  // the caller's bytes do not touch the links
    }
    EXPECT_NE(chain, nullptr);
    Util_FreeBlockChain(&chain);
    EXPECT_EQ(chain, nullptr);
    Util_FreeBlockChain(&chain);
    EXPECT_EQ(Util_AllocChainBlock(nullptr, 4), nullptr);
}

const DbgName kFlags[] = {{0x1, "DM_ORIENTATION"}, {0x2, "DM_PAPERSIZE"}, {0x100, "DM_COPIES"}, {0, nullptr}};

TEST(RendDebugText, FlagAndValueNames) {
    char text[64];
    EXPECT_EQ(Dbg_FlagNames(0x103, kFlags, text, 64), 47);
    EXPECT_STREQ(text, "0x103_DM_ORIENTATION | DM_PAPERSIZE | DM_COPIES");
    Dbg_FlagNames(0x8101, kFlags, text, 64);
    EXPECT_STREQ(text, "0x8101_DM_ORIENTATION | DM_COPIES ...");
    Dbg_FlagNames(0, kFlags, text, 64);
    EXPECT_STREQ(text, "0x0_");
    Dbg_FlagNames(0x103, kFlags, text, 12);
    EXPECT_STREQ(text, "0x103_DM_OR");
    Dbg_ValueName(0x100, kFlags, text, 64);
    EXPECT_STREQ(text, "DM_COPIES_100");
    Dbg_ValueName(1000, kFlags, text, 64);
    EXPECT_STREQ(text, "0x3E8(1000):?????");
    Dbg_ValueName(DWORD(-2), kFlags, text, 64);
    EXPECT_STREQ(text, "0xFFFFFFFE(-2):?????");
}

}  // namespace
}  // namespace tam::test
