#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>

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
        {Wide(u"%I64d %I64x", -1234567890123LL, 1ULL << 40), u"-1234567890123 10000000000"},
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
