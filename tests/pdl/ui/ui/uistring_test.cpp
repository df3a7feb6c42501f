// Strings of the language DLL and the placeholder for a missing one.
#include "ui_fixture.h"

namespace tam::test {
namespace {

class UiStrings : public UiModuleTest {
protected:
    void SetUp() override {
        UiModuleTest::SetUp();
        ASSERT_TRUE(LoadLanguageDll(kDriverName, &english_));
        ASSERT_NE(english_, nullptr);
    }
    void TearDown() override {
        if (english_) FreeLibrary(english_);
        UiModuleTest::TearDown();
    }
    HMODULE english_ = nullptr;
};

struct StringCase {
    bool withDll;
    UINT id;
    int size;
    const char16_t* text;
    int result;
};
void PrintTo(const StringCase& c, std::ostream* os) {
    *os << "string " << c.id << (c.withDll ? "" : " without DLL") << " in " << c.size;
}

const StringCase kStrings[] = {
    {true, 202, 64, u"Default Settings", 16},
    {true, 146, 64, u"None", 4},
    {true, 108, 64, u"Letter 8.5 x 11 in", 18},
    {true, 5005, 64, u"Untitled", 8},
    {true, 5025, 64, u"<New>", 5},
    {true, 202, 5, u"Defa", 4},  // cut to the buffer, terminator included
    {true, 9999, 64, u"id:9999 missing!", 16},
    {false, 5005, 64, u"id:5005 missing!", 16},
    // The placeholder needs room for twice its length plus 2.
    {false, 5005, 34, u"id:5005 missing!", 16},
    {false, 5005, 33, u"", 0},
    {false, 5005, 20, u"", 0},
    {false, 7, 28, u"id:7 missing!", 13},
    {false, 7, 27, u"", 0},
};

class UiStringLoad : public UiStrings, public testing::WithParamInterface<StringCase> {};

TEST_P(UiStringLoad, TextAndLength) {
    const StringCase& c = GetParam();
    std::u16string buffer(size_t(c.size) + 4, u'#');
    EXPECT_EQ(LoadUiString(c.withDll ? english_ : nullptr, c.id, buffer.data(), c.size), c.result);
    EXPECT_EQ(std::u16string(buffer.c_str()), c.text);
    // Nothing beyond the size given.
    EXPECT_EQ(buffer.substr(size_t(c.size)), u"####");
}

INSTANTIATE_TEST_SUITE_P(All, UiStringLoad, testing::ValuesIn(kStrings));

TEST_F(UiStrings, NoBufferOrNoSizeWritesNothing) {
    WCHAR buffer[4] = u"abc";
    EXPECT_EQ(LoadUiString(english_, 202, buffer, 0), 0);
    EXPECT_EQ(std::u16string(buffer), u"abc");
    EXPECT_EQ(LoadUiString(english_, 202, nullptr, 64), 0);
}

}  // namespace
}  // namespace tam::test
