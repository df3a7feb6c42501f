#include <gtest/gtest.h>
#include <windows.h>

#include <climits>
#include <string>

TEST(CrtString, CaseInsensitiveCompareFoldsOnlyAscii) {
    EXPECT_EQ(_wcsicmp(u"Tamsheetui.dll", u"TAMSHEETUI.DLL"), 0);
    EXPECT_LT(_wcsicmp(u"_", u"A"), 0);  // folds to lower case: '_' (0x5F) < 'a' (0x61)
    EXPECT_NE(_wcsicmp(u"\x00E9", u"\x00C9"), 0);  // e-acute is not folded in the C locale
    EXPECT_EQ(_wcsnicmp(u"Korvan Laser", u"KORVAN inkjet", 7), 0);
    EXPECT_NE(_wcsnicmp(u"Korvan Laser", u"KORVAN inkjet", 8), 0);
    EXPECT_EQ(_stricmp("Pellixpps", "PELLIXPPS"), 0);
}

TEST(CrtString, ToIntegerParsesLikeTheRuntime) {
    struct Case {
        const char16_t* text;
        int value;
    };
    const Case cases[] = {
        {u"42", 42},  {u"  -17x", -17},         {u"+8", 8},          {u"abc", 0},
        {u"", 0},     {u"99999999999", INT_MAX}, {u"-99999999999", INT_MIN}, {u"0x10", 0},
    };
    for (const auto& c : cases) EXPECT_EQ(_wtoi(c.text), c.value) << std::string(c.text, c.text + 2);
}

TEST(CrtString, IntegerToText) {
    WCHAR buffer[40];
    EXPECT_EQ(std::u16string(_itow(-1234, buffer, 10)), u"-1234");
    EXPECT_EQ(std::u16string(_itow(-1, buffer, 16)), u"ffffffff");
    EXPECT_EQ(std::u16string(_ultow(255, buffer, 2)), u"11111111");
}
