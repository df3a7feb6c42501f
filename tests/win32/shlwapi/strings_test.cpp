#include <gtest/gtest.h>
#include <shlwapi.h>

#include <string>

namespace {

TEST(ShellStrings, FindCharacters) {
    const WCHAR* text = u"C:\\Windows\\System32";
    EXPECT_EQ(StrChrW(text, u'\\'), text + 2);
    EXPECT_EQ(StrChrW(text, u'x'), nullptr);
    EXPECT_EQ(StrChrW(text, u'\0'), nullptr);
    EXPECT_EQ(StrChrW(nullptr, u'a'), nullptr);
    EXPECT_EQ(StrRChrW(text, nullptr, u'\\'), text + 10);
    EXPECT_EQ(StrRChrW(text, text + 10, u'\\'), text + 2);  // the end is not searched
    EXPECT_EQ(StrRChrW(text, nullptr, u'q'), nullptr);
}

TEST(ShellStrings, FindSubstrings) {
    const WCHAR* text = u"Korvan Laser 5100 PCL XL";
    EXPECT_EQ(StrStrW(text, u"Laser"), text + 7);
    EXPECT_EQ(StrStrW(text, u"laser"), nullptr);
    EXPECT_EQ(StrStrIW(text, u"laser"), text + 7);
    EXPECT_EQ(StrStrIW(text, u"pcl xl"), text + 18);
    EXPECT_EQ(StrStrIW(text, u"pcl6"), nullptr);
    EXPECT_EQ(StrStrW(text, u""), nullptr);
    EXPECT_EQ(StrStrIW(nullptr, u"a"), nullptr);
}

TEST(ShellStrings, CompareIgnoringCaseAndCounted) {
    EXPECT_EQ(StrCmpIW(u"Tamrend.DLL", u"tamrend.dll"), 0);
    EXPECT_EQ(StrCmpIW(u"apple", u"Banana"), -1);  // as lstrcmpi orders, not by code
    EXPECT_EQ(StrCmpIW(u"b", u"A"), 1);
    EXPECT_EQ(StrCmpNW(u"Tamsheetenus.dll", u"Tamsheetdeu.dll", 8), 0);
    EXPECT_EQ(StrCmpNW(u"Tamsheetenus.dll", u"Tamsheetdeu.dll", 9), 1);
    EXPECT_EQ(StrCmpNW(u"abc", u"ABC", 3), -1);
    EXPECT_EQ(StrCmpNIW(u"abc", u"ABD", 2), 0);
    EXPECT_EQ(StrCmpNIW(u"abc", u"ABD", 3), -1);
    EXPECT_EQ(StrCmpNW(u"ab", u"abc", 5), -1);
    EXPECT_EQ(StrCmpNW(u"x", u"y", 0), 0);
}

TEST(ShellStrings, ToIntWithAndWithoutHex) {
    struct Case {
        const char16_t* text;
        int flags;
        BOOL ok;
        int value;
    };
    const Case cases[] = {
        {u"42", STIF_DEFAULT, TRUE, 42},          {u"  -17abc", STIF_DEFAULT, TRUE, -17},
        {u"+8", STIF_DEFAULT, TRUE, 8},           {u"0x1F", STIF_DEFAULT, TRUE, 0},
        {u"0x1F", STIF_SUPPORT_HEX, TRUE, 31},    {u"0XfF", STIF_SUPPORT_HEX, TRUE, 255},
        {u"-0x10", STIF_SUPPORT_HEX, TRUE, -16},  {u"0xG", STIF_SUPPORT_HEX, TRUE, 0},
        {u"abc", STIF_DEFAULT, FALSE, 0},         {u"", STIF_DEFAULT, FALSE, 0},
        {u"-", STIF_SUPPORT_HEX, FALSE, 0},       {u"4294967295", STIF_DEFAULT, TRUE, -1},
    };
    for (const auto& c : cases) {
        int value = 12345;
        EXPECT_EQ(StrToIntExW(c.text, c.flags, &value), c.ok) << testing::PrintToString(std::u16string(c.text));
        EXPECT_EQ(value, c.value) << testing::PrintToString(std::u16string(c.text));
    }
    EXPECT_EQ(StrToIntW(u"123 pages"), 123);
    EXPECT_EQ(StrToIntW(u"-5"), -5);
    EXPECT_EQ(StrToIntW(u"x"), 0);
    EXPECT_FALSE(StrToIntExW(u"1", STIF_DEFAULT, nullptr));
}

TEST(ShellStrings, TrimRemovesTheSetFromBothEnds) {
    WCHAR text[] = u"  \"Korvan\" \t";
    EXPECT_TRUE(StrTrimW(text, u" \t\""));
    EXPECT_EQ(std::u16string(text), u"Korvan");
    EXPECT_FALSE(StrTrimW(text, u" "));
    EXPECT_EQ(std::u16string(text), u"Korvan");
    WCHAR all[] = u"   ";
    EXPECT_TRUE(StrTrimW(all, u" "));
    EXPECT_EQ(std::u16string(all), u"");
}

}  // namespace
