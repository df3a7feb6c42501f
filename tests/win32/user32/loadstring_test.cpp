// LoadStringW and LoadStringA on the string tables of
// tests/win32/kernel32/modules/testres.rc (the test program's own resources)
// and of the German language module TamTestDeu.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "support/machine_fixture.h"
#include "support/module_install.h"
#include "win32/kernel32/modules/testres.h"

namespace {

class StringTable : public tam::test::MachineTest {};

struct StringCase {
    UINT id;
    LANGID ui;
    const char16_t* expected;
};
const StringCase kStrings[] = {
    {IDS_HELLO, 0x0409, u"Hello"},
    {IDS_PRINTER, 0x0409, u"Printer settings"},
    {IDS_LAST_OF_BLOCK, 0x0409, u"Fifteen"},            // the last slot of the first block
    {IDS_FAR, 0x0409, u"Gr\u00f6\u00dfe: 10 \u00d7 15 cm"},  // block 7
    {IDS_ENGLISH_ONLY, 0x0409, u"English only"},
    {IDS_HELLO, 0x0407, u"Hallo"},
    {IDS_FAR, 0x0407, u"Gr\u00f6\u00dfe"},
    {IDS_LAST_OF_BLOCK, 0x0407, u""},  // the German block has it empty: no other language is tried
    {IDS_HELLO, 0x0411, u"Hello"},     // no Japanese: English
};

void PrintTo(const StringCase& c, std::ostream* os) { *os << "string " << c.id << ", UI language " << c.ui; }

class StringTableCases : public StringTable, public testing::WithParamInterface<StringCase> {};

TEST_P(StringTableCases, ReadsTheStringInTheUiLanguage) {
    const auto& c = GetParam();
    machine().MutableSettings().uiLanguage = c.ui;
    WCHAR buffer[64];
    std::fill(std::begin(buffer), std::end(buffer), u'#');
    SetLastError(0xdeadbeef);
    int length = LoadStringW(nullptr, c.id, buffer, 64);
    EXPECT_EQ(std::u16string(buffer, std::max(length, 0)), c.expected);
    EXPECT_EQ(length, int(std::u16string(c.expected).size()));
    EXPECT_EQ(buffer[length], u'\0');
    EXPECT_EQ(GetLastError(), 0xdeadbeefu);  // success and empty slots leave it alone
}

INSTANTIATE_TEST_SUITE_P(All, StringTableCases, testing::ValuesIn(kStrings),
                         [](const testing::TestParamInfo<StringCase>& info) {
                             return "Id" + std::to_string(info.param.id) + "_Ui" + std::to_string(info.param.ui);
                         });

TEST_F(StringTable, ZeroLengthBufferGivesAPointerIntoTheResource) {
    const WCHAR* text = nullptr;
    int length = LoadStringW(nullptr, IDS_PRINTER, reinterpret_cast<LPWSTR>(&text), 0);
    ASSERT_EQ(length, 16);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(std::u16string(text, length), u"Printer settings");
    // It points into the string table's block, where the next count follows.
    HRSRC block = FindResourceW(nullptr, MAKEINTRESOURCEW(IDS_PRINTER / 16 + 1), RT_STRING);
    ASSERT_NE(block, nullptr);
    auto* first = static_cast<const WCHAR*>(LockResource(LoadResource(nullptr, block)));
    EXPECT_GT(text, first);
    EXPECT_LE(text + length, first + SizeofResource(nullptr, block) / sizeof(WCHAR));
    EXPECT_EQ(text[length], 0);  // IDS_EMPTY: a count of 0
    // An empty slot: length 0.
    EXPECT_EQ(LoadStringW(nullptr, IDS_EMPTY, reinterpret_cast<LPWSTR>(&text), 0), 0);
}

TEST_F(StringTable, TruncatesAndTerminates) {
    struct Case {
        int size;
        const char16_t* expected;
    };
    const Case cases[] = {{1, u""}, {2, u"P"}, {6, u"Print"}, {16, u"Printer setting"}, {17, u"Printer settings"}};
    for (const auto& c : cases) {
        WCHAR buffer[32];
        std::fill(std::begin(buffer), std::end(buffer), u'#');
        int length = LoadStringW(nullptr, IDS_PRINTER, buffer, c.size);
        EXPECT_EQ(std::u16string(buffer, length), c.expected) << c.size;
        EXPECT_EQ(buffer[length], u'\0') << c.size;
        EXPECT_EQ(buffer[c.size], u'#') << c.size;
    }
}

TEST_F(StringTable, MissingStringsFail) {
    struct Case {
        HINSTANCE module;
        UINT id;
        DWORD error;
    };
    const Case cases[] = {
        {nullptr, IDS_MISSING_BLOCK, ERROR_RESOURCE_NAME_NOT_FOUND},
        {GetModuleHandleW(u"kernel32.dll"), IDS_HELLO, ERROR_RESOURCE_DATA_NOT_FOUND},  // no resources
    };
    for (const auto& c : cases) {
        WCHAR buffer[8] = {u'#', u'#'};
        SetLastError(0xdeadbeef);
        EXPECT_EQ(LoadStringW(c.module, c.id, buffer, 8), 0) << c.id;
        EXPECT_EQ(GetLastError(), c.error) << c.id;
        EXPECT_EQ(buffer[0], u'\0') << c.id;
        const WCHAR* text = buffer;
        EXPECT_EQ(LoadStringW(c.module, c.id, reinterpret_cast<LPWSTR>(&text), 0), 0) << c.id;
        EXPECT_EQ(text, nullptr) << c.id;
    }
    SetLastError(0xdeadbeef);
    EXPECT_EQ(LoadStringW(nullptr, IDS_HELLO, nullptr, 8), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
}

TEST_F(StringTable, NarrowInTheAnsiCodePage) {
    char buffer[32];
    EXPECT_EQ(LoadStringA(nullptr, IDS_FAR, buffer, sizeof(buffer)), 17);
    EXPECT_STREQ(buffer, "Gr\xf6\xdf" "e: 10 \xd7 15 cm");
    std::fill(std::begin(buffer), std::end(buffer), '#');
    EXPECT_EQ(LoadStringA(nullptr, IDS_FAR, buffer, 4), 3);
    EXPECT_STREQ(buffer, "Gr\xf6");
    EXPECT_EQ(buffer[4], '#');
    EXPECT_EQ(LoadStringA(nullptr, IDS_MISSING_BLOCK, buffer, 4), 0);
    EXPECT_STREQ(buffer, "");
    SetLastError(0xdeadbeef);
    EXPECT_EQ(LoadStringA(nullptr, IDS_HELLO, buffer, 0), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
}

TEST_F(StringTable, LanguageModuleLoadedAsData) {
    tam::test::InstallModule(machine(), "TamTestDeu.res", u"C:\\Program Files\\Korvan\\TamTestDeu.dll");
    HMODULE language = LoadLibraryExW(u"TamTestDeu.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(language, nullptr);
    WCHAR buffer[32];
    EXPECT_EQ(LoadStringW(language, IDS_HELLO, buffer, 32), 9);
    EXPECT_EQ(std::u16string(buffer), u"Guten Tag");
    EXPECT_EQ(LoadStringW(language, IDS_PRINTER, buffer, 32), 7);
    EXPECT_EQ(std::u16string(buffer), u"Drucker");
    SetLastError(0xdeadbeef);
    EXPECT_EQ(LoadStringW(language, IDS_FAR, buffer, 32), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_RESOURCE_NAME_NOT_FOUND));
    EXPECT_TRUE(FreeLibrary(language));
}

}  // namespace
