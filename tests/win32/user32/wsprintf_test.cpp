#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <strsafe.h>

#include "machine/machine.h"

namespace {

void UseAnsiCodePage(UINT page) { w32::Machine::Current().MutableSettings().ansiCodePage = page; }

template <class... Args>
std::u16string Wide(const char16_t* format, Args... args) {
    WCHAR buffer[1024];
    int n = wsprintfW(buffer, format, args...);
    EXPECT_EQ(size_t(n), std::u16string(buffer).size());
    return buffer;
}

template <class... Args>
std::string Narrow(const char* format, Args... args) {
    char buffer[1024];
    int n = wsprintfA(buffer, format, args...);
    EXPECT_EQ(size_t(n), std::string(buffer).size());
    return buffer;
}

}  // namespace

TEST(Wsprintf, WideConversions) {
    UseAnsiCodePage(1252);
    struct Case {
        std::u16string actual;
        const char16_t* expected;
    };
    const Case cases[] = {
        {Wide(u"%d|%5d|%-5d|%05d", -3, 42, 42, 42), u"-3|   42|42   |00042"},
        {Wide(u"%x %X %#x %lu %ld", 255u, 255u, 255u, ULONG(0xFFFFFFFF), LONG(-7)), u"ff FF 0xff 4294967295 -7"},
        {Wide(u"%s|%ls|%.3s|%-6s|", u"ab", u"cd", u"korvan", u"x"), u"ab|cd|kor|x     |"},
        {Wide(u"%S|%hs", "\x80uro", "n"), u"\x20ACuro|n"},  // through code page 1252
        {Wide(u"%c%C%hc", WCHAR(0x0416), 'A', '\xE9'), u"\x0416" u"A\x00E9"},
        {Wide(u"%p", reinterpret_cast<void*>(0xABC)), u"0000000000000ABC"},
        {Wide(u"%s|%S", static_cast<const WCHAR*>(nullptr), static_cast<const char*>(nullptr)), u"(null)|(null)"},
        {Wide(u"100%%"), u"100%"},
    };
    for (const auto& c : cases) EXPECT_EQ(c.actual, c.expected);
}

TEST(Wsprintf, NarrowConvertsWideTextThroughTheAnsiCodePage) {
    UseAnsiCodePage(1252);
    EXPECT_EQ(Narrow("%S", u"\x20AC \x00E9t\x00E9 \x4E00"), "\x80 \xE9t\xE9 ?");
    EXPECT_EQ(Narrow("%ls|%s|%C|%c", u"w\x0153", "n", WCHAR(0x2122), 'c'), "w\x9C|n|\x99|c");

    UseAnsiCodePage(1251);
    EXPECT_EQ(Narrow("%S", u"\x0416\x0436"), "\xC6\xE6");
    EXPECT_EQ(Wide(u"%S", "\xC6"), u"\x0416");
}

TEST(Wsprintf, PrecisionNeverSplitsADoubleByteCharacter) {
    UseAnsiCodePage(932);
    // U+3042 and U+3044 are two bytes each in code page 932.
    EXPECT_EQ(Narrow("[%.3S]", u"\x3042\x3044"), "[\x82\xA0]");
    EXPECT_EQ(Narrow("[%.4S]", u"\x3042\x3044"), "[\x82\xA0\x82\xA2]");
    EXPECT_EQ(Wide(u"[%.1S]", "\x82\xA0\x82\xA2"), u"[\x3042]");
    EXPECT_EQ(Wide(u"[%.2S]", "a\x82\xA0z"), u"[a\x3042]");
}

TEST(Wsprintf, FloatingPointConversionsPrintTheirLetter) {
    // No argument is taken: the integer after %f is still the one printed.
    EXPECT_EQ(Wide(u"%f %d %e", 42), u"f 42 e");
    EXPECT_EQ(Narrow("%.2f|%g|%u", 7u), "f|g|7");
}

// wsprintf's syntax is %[-][#][0][width][.precision][h|l]type with the types
// c C d i u x X p s S. What stands where the type should be and is none of
// those is printed as it is and takes no argument: the next conversion gets
// the argument.
TEST(Wsprintf, WhatIsNotAConversionOfItsOwnIsPrintedAsItStands) {
    struct Case {
        std::string actual;
        const char* expected;
    };
    const Case cases[] = {
        {Narrow("%o|%d", 8, 9), "o|8"},
        {Narrow("%5o|%d", 8, 9), "o|8"},
        {Narrow("%*d|%d", 5, 42), "*d|5"},
        {Narrow("%.*s|%d", 2, 3), "*s|2"},
        {Narrow("%+d|%d", 5, 6), "+d|5"},
        {Narrow("% d|%d", 5, 6), " d|5"},
        {Narrow("%lld|%d", 5, 6), "ld|5"},
        {Narrow("%hhd|%d", 5, 6), "hd|5"},
        {Narrow("%zu|%u", 5u, 6u), "zu|5"},
        {Narrow("%I64d|%d", 5, 6), "I64d|5"},
        {Narrow("%jd|%Lf|%wc", 5), "jd|Lf|wc"},
        {Narrow("%n|%d", 5), "n|5"},
        {Narrow("%e|%g|%a|%d", 5), "e|g|a|5"},
        {Narrow("%0-5d|%d", 5), "-5d|5"},  // '0' comes after '-'
        {Narrow("%%|%d", 5), "%|5"},
        {Narrow("%q%d", 5), "q5"},
    };
    for (const auto& c : cases) EXPECT_EQ(c.actual, c.expected);
    EXPECT_EQ(Wide(u"%o|%+d|%lld|%zu|%I64d|%d", 7), u"o|+d|ld|zu|I64d|7");
}

TEST(Wsprintf, DocumentedFlagsWidthPrecisionAndSizes) {
    struct Case {
        std::string actual;
        const char* expected;
    };
    const Case cases[] = {
        {Narrow("[%-6d][%6d][%06d]", -42, -42, -42), "[-42   ][   -42][-00042]"},
        {Narrow("[%#x][%#X][%-#8x][%#010x]", 255u, 255u, 255u, 255u), "[0xff][0XFF][0xff    ][0x000000ff]"},
        {Narrow("[%#-8x]", 255u), "[0xff    ]"},  // '#' and '-' in either order
        {Narrow("[%.3d][%5.3d][%.0s][%.2s]", 7, 7, "abc", "abc"), "[007][  007][][ab]"},
        {Narrow("[%hd][%hu][%hx]", 0x12345, 0x1FFFF, 0x12345), "[9029][65535][2345]"},
        {Narrow("[%ld][%li][%lu][%lx][%lX]", LONG(-9), LONG(9), ULONG(9), ULONG(0xABC), ULONG(0xABC)),
         "[-9][9][9][abc][ABC]"},
        {Narrow("[%i][%u]", -1, unsigned(-1)), "[-1][4294967295]"},
        {Narrow("[%5s][%-5s][%05s]", "ab", "ab", "ab"), "[   ab][ab   ][000ab]"},
        {Narrow("[%p]", reinterpret_cast<void*>(0x1F)), "[000000000000001F]"},
    };
    for (const auto& c : cases) EXPECT_EQ(c.actual, c.expected);
}

TEST(Wsprintf, SizedCharacterConversionsLeaveOutAZeroCharacter) {
    EXPECT_EQ(Narrow("[%hc][%lc][%hC][%lC]", 0, 0, 0, 0), "[][][][]");
    EXPECT_EQ(Wide(u"[%hc][%lc][%hc]", 0, 0, 'z'), u"[][][z]");
    // Only the low unit of the argument counts.
    EXPECT_EQ(Narrow("[%hc]", 0x100), "[]");
}

// The runtime's printf family reads its own, fuller syntax: none of the
// narrowing above reaches it.
TEST(Wsprintf, RuntimeFunctionsKeepTheirFullerSyntax) {
    const char* const format = "%o|%*d|%+d|% d|%lld|%zu|%I64x|%.1f";
    const char* const expected = "10|   42|+5| 6|-7|8|ff|2.5";
    auto args = [](auto call) { return call(8, 5, 42, 5, 6, -7LL, size_t(8), 255ULL, 2.5); };

    char narrow[64];
    EXPECT_EQ(args([&](auto... a) { return _snprintf(narrow, 64, format, a...); }), int(std::strlen(expected)));
    EXPECT_STREQ(narrow, expected);
    EXPECT_EQ(args([&](auto... a) { return sprintf_s(narrow, 64, format, a...); }), int(std::strlen(expected)));
    EXPECT_STREQ(narrow, expected);
    EXPECT_EQ(args([&](auto... a) { return StringCchPrintfA(narrow, 64, format, a...); }), S_OK);
    EXPECT_STREQ(narrow, expected);

    const char16_t* const wideFormat = u"%o|%*d|%+d|% d|%lld|%zu|%I64x|%.1f";
    const std::u16string wideExpected = u"10|   42|+5| 6|-7|8|ff|2.5";
    WCHAR wide[64];
    EXPECT_EQ(args([&](auto... a) { return _snwprintf(wide, 64, wideFormat, a...); }), int(wideExpected.size()));
    EXPECT_EQ(std::u16string(wide), wideExpected);
    EXPECT_EQ(args([&](auto... a) { return swprintf_s(wide, 64, wideFormat, a...); }), int(wideExpected.size()));
    EXPECT_EQ(std::u16string(wide), wideExpected);
    EXPECT_EQ(args([&](auto... a) { return StringCchPrintfW(wide, 64, wideFormat, a...); }), S_OK);
    EXPECT_EQ(std::u16string(wide), wideExpected);

    // wsprintf given the same format: its own reading.
    const char* const own = "o|*d|+d| d|ld|zu|I64x|f";
    EXPECT_EQ(args([&](auto... a) { return wsprintfA(narrow, format, a...); }), int(std::strlen(own)));
    EXPECT_STREQ(narrow, own);
}

TEST(Wsprintf, OutputStopsAt1024UnitsWithTheTerminator) {
    std::u16string longText(2000, u'k');
    WCHAR wide[1100];
    std::fill(std::begin(wide), std::end(wide), u'#');
    EXPECT_EQ(wsprintfW(wide, u"<%s>", longText.c_str()), 1023);
    EXPECT_EQ(wide[0], u'<');
    EXPECT_EQ(wide[1022], u'k');
    EXPECT_EQ(wide[1023], 0);
    EXPECT_EQ(wide[1024], u'#');

    char narrow[1100];
    std::fill(std::begin(narrow), std::end(narrow), '#');
    EXPECT_EQ(wsprintfA(narrow, "%1500d", 5), 1023);
    EXPECT_EQ(std::string(narrow), std::string(1023, ' '));
    EXPECT_EQ(narrow[1024], '#');

    std::u16string fits(1023, u'f');
    EXPECT_EQ(wsprintfW(wide, u"%s", fits.c_str()), 1023);
    EXPECT_EQ(std::u16string(wide), fits);
}

TEST(Wsprintf, MissingBufferOrFormatIsRejected) {
    SetLastError(0);
    EXPECT_EQ(wsprintfW(nullptr, u"x"), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    WCHAR buffer[4] = {u'#', u'#', u'#', u'#'};
    SetLastError(0);
    EXPECT_EQ(wsprintfW(buffer, nullptr), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(buffer[0], 0);
}
