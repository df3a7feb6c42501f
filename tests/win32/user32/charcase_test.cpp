#include <gtest/gtest.h>
#include <windows.h>

#include <string>

TEST(CharCase, UpperAndLowerUseUnicodeMappings) {
    WCHAR text[] = u"korvan \x00e9t\x00e9 \x0444 \x00df";
    EXPECT_EQ(CharUpperW(text), text);
    EXPECT_EQ(std::u16string(text), u"KORVAN \x00C9T\x00C9 \x0424 \x00DF");  // sharp s has no single upper case
    CharLowerW(text);
    EXPECT_EQ(std::u16string(text), u"korvan \x00e9t\x00e9 \x0444 \x00df");
}

TEST(CharCase, SingleCharacterPassedInThePointer) {
    auto upper = reinterpret_cast<ULONG_PTR>(CharUpperW(reinterpret_cast<LPWSTR>(ULONG_PTR(u'q'))));
    EXPECT_EQ(upper, ULONG_PTR(u'Q'));
    auto lower = reinterpret_cast<ULONG_PTR>(CharLowerW(reinterpret_cast<LPWSTR>(ULONG_PTR(0x00C0))));
    EXPECT_EQ(lower, ULONG_PTR(0x00E0));
}

TEST(CharCase, BufferFormsStopAtTheCount) {
    WCHAR text[] = u"abcdef";
    EXPECT_EQ(CharUpperBuffW(text, 3), 3u);
    EXPECT_EQ(std::u16string(text), u"ABCdef");
}
