#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <windows.h>

#include <bit>
#include <clocale>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

std::string Printable(std::u16string_view text) {
    std::string out;
    for (char16_t c : text) {
        if (c >= 0x20 && c < 0x7F) {
            out += char(c);
        } else {
            char hex[12];
            snprintf(hex, sizeof(hex), "\\u%04X", unsigned(c));
            out += hex;
        }
    }
    return out;
}

// Formats through _snwprintf and checks that the returned length and
// _scwprintf agree with the text.
template <class... Args>
std::u16string Wide(const char16_t* format, Args... args) {
    WCHAR buffer[512];
    int n = _snwprintf(buffer, 512, format, args...);
    EXPECT_GE(n, 0) << Printable(format);
    EXPECT_EQ(_scwprintf(format, args...), n) << Printable(format);
    return std::u16string(buffer, n < 0 ? 0 : size_t(n));
}

template <class... Args>
std::string Narrow(const char* format, Args... args) {
    char buffer[512];
    int n = _snprintf(buffer, 512, format, args...);
    EXPECT_GE(n, 0) << format;
    EXPECT_EQ(_scprintf(format, args...), n) << format;
    return std::string(buffer, n < 0 ? 0 : size_t(n));
}

struct WideCase {
    const char16_t* format;
    std::u16string actual;
    const char16_t* expected;
};
#define WIDE_CASE(format, expected, ...) \
    WideCase { format, Wide(format __VA_OPT__(, ) __VA_ARGS__), expected }

struct NarrowCase {
    const char* format;
    std::string actual;
    const char* expected;
};
#define NARROW_CASE(format, expected, ...) \
    NarrowCase { format, Narrow(format __VA_OPT__(, ) __VA_ARGS__), expected }

double FromBits(uint64_t bits) { return std::bit_cast<double>(bits); }

}  // namespace

TEST(CrtFormat, WideIntegerConversions) {
    const WideCase cases[] = {
        WIDE_CASE(u"%d|%i", u"-17|42", -17, 42),
        WIDE_CASE(u"%02d:%02d", u"07:30", 7, 30),
        WIDE_CASE(u"%08X", u"0000BEEF", 0xBEEFu),
        WIDE_CASE(u"%x %X %o", u"ff FF 17", 255u, 255u, 15u),
        WIDE_CASE(u"%u", u"4294967295", -1),
        WIDE_CASE(u"%#x %#X %#x", u"0x1f 0X1F 0", 31u, 31u, 0u),
        WIDE_CASE(u"%#o %#o %#.3o", u"010 0 010", 8u, 0u, 8u),
        WIDE_CASE(u"%+d %+d % d % d", u"+5 -5  5 -5", 5, -5, 5, -5),
        WIDE_CASE(u"%*d|%-*d|", u"   42|42   |", 5, 42, 5, 42),
        WIDE_CASE(u"%*d|", u"42   |", -5, 42),  // a negative width from the arguments left-justifies
        WIDE_CASE(u"%.5d|%.0d|%5.0d|", u"-00042||     |", -42, 0, 0),
        WIDE_CASE(u"%08.3d|%-08d|%+08d", u"     042|42      |+0000042", 42, 42, 42),
        WIDE_CASE(u"%#08x", u"0x00001f", 31u),
        WIDE_CASE(u"%hd %hu %hhd %hhu", u"4464 65535 44 44", 70000, -1, 300, 300),
        WIDE_CASE(u"%ld %lu %lx", u"-5 4294967295 ffffffff", LONG(-5), ULONG(0xFFFFFFFF), LONG(-1)),
        WIDE_CASE(u"%I64d", u"-1234567890123", -1234567890123LL),
        WIDE_CASE(u"%I64u %llx", u"18446744073709551615 8000000000000000", ~0ULL, 1ULL << 63),
        WIDE_CASE(u"%lld", u"-9223372036854775808", LLONG_MIN),
        WIDE_CASE(u"%I32d %I32x", u"-1 ffffffff", -1, -1),
        WIDE_CASE(u"%Id %Iu %zu %td %jd", u"-1 1099511627776 1099511627776 -2 -3", LONG_PTR(-1), SIZE_T(1) << 40,
                  size_t(1) << 40, ptrdiff_t(-2), intmax_t(-3)),
        WIDE_CASE(u"%p", u"000000000000001F", reinterpret_cast<void*>(0x1F)),
        WIDE_CASE(u"[%20p]", u"[    00007FFE12345678]", reinterpret_cast<void*>(0x7FFE12345678)),
        WIDE_CASE(u"%ld %d", u"-1 2", LONG(-1), 2),  // l takes 32 bits: the next argument is still in step
    };
    for (const auto& c : cases) EXPECT_EQ(c.actual, c.expected) << Printable(c.format);
}

TEST(CrtFormat, WideStringAndCharacterConversions) {
    const WCHAR* none = nullptr;
    const char* noneNarrow = nullptr;
    const WideCase cases[] = {
        WIDE_CASE(u"%-8s|", u"abc     |", u"abc"),
        WIDE_CASE(u"%8s|", u"     abc|", u"abc"),
        WIDE_CASE(u"%05s", u"000ab", u"ab"),  // the runtime pads strings with zeros too
        WIDE_CASE(u"%.3s|%.*s|%.0s|", u"abc|ab||", u"abcdef", 2, u"abc", u"abc"),
        WIDE_CASE(u"%s %ls %ws", u"w1 w2 w3", u"w1", u"w2", u"w3"),
        WIDE_CASE(u"%S %hs %hS", u"n1 n2 n3", "n1", "n2", "n3"),
        WIDE_CASE(u"%S", u"\x0080\x00E9", "\x80\xE9"),  // the "C" locale: byte b is U+00bb
        WIDE_CASE(u"%.2S|%-4hs|", u"ab|xy  |", "abc", "xy"),
        WIDE_CASE(u"%s %S %.3s", u"(null) (null) (nu", none, noneNarrow, none),
        WIDE_CASE(u"%c%c", u"\x20AC\x00E9", WCHAR(0x20AC), WCHAR(0xE9)),
        WIDE_CASE(u"%C%hc%lc%wc", u"AB\x0416\x0417", 'A', 'B', WCHAR(0x416), WCHAR(0x417)),
        WIDE_CASE(u"%3c|%-3c|", u"  x|y  |", u'x', u'y'),
        WIDE_CASE(u"100%%", u"100%"),
        WIDE_CASE(u"a%yb", u"ayb"),  // an unknown conversion character is copied
    };
    for (const auto& c : cases) EXPECT_EQ(c.actual, c.expected) << Printable(c.format);
}

TEST(CrtFormat, WideFloatingPoint) {
    const WideCase cases[] = {
        WIDE_CASE(u"%5.2f", u" 3.14", 3.14159),
        WIDE_CASE(u"%f|%.0f|%#.0f", u"1.500000|3|3.", 1.5, 3.0, 3.0),
        WIDE_CASE(u"%010.3f|%-9.2f|%+.1f", u"-00003.142|2.50     |+0.5", -3.14159, 2.5, 0.5),
        WIDE_CASE(u"%e %E", u"1.234568e+04 1.234568E+04", 12345.678, 12345.678),
        WIDE_CASE(u"%.2e %e", u"1.00e-300 0.000000e+00", 1e-300, 0.0),
        WIDE_CASE(u"%g %g %G %g", u"0.0001 1e-05 1E+20 100000", 0.0001, 1e-5, 1e20, 1e5),
        WIDE_CASE(u"%#g %.3g", u"1.00000 3.14", 1.0, 3.14159),
        WIDE_CASE(u"%a %A %.1a", u"0x1.0000000000000p+0 0X1.8000000000000P+1 0x1.0p+0", 1.0, 3.0, 1.0),
        WIDE_CASE(u"%f %F %5f|", u"inf -INF   inf|", HUGE_VAL, -HUGE_VAL, HUGE_VAL),
        WIDE_CASE(u"%f %f %F", u"nan -nan(ind) NAN", FromBits(0x7FF8000000000000), FromBits(0xFFF8000000000000),
                  FromBits(0x7FF8000000000000)),
        WIDE_CASE(u"%Lf", u"1.500000", 1.5L),
        WIDE_CASE(u"%*.*f", u"   2.72", 7, 2, 2.71828),
    };
    for (const auto& c : cases) EXPECT_EQ(c.actual, c.expected) << Printable(c.format);
}

TEST(CrtFormat, NarrowConversions) {
    const NarrowCase cases[] = {
        NARROW_CASE("%s|%hs", "abc|def", "abc", "def"),
        NARROW_CASE("%ls %ws %S", "w1 w2 w3", u"w1", u"w2", u"w3"),
        NARROW_CASE("%S", "\xE9?", u"\x00E9\x20AC"),  // above U+00FF there is no byte in the "C" locale
        NARROW_CASE("%.2S|%-5ls|", "ab|xy   |", u"abc", u"xy"),
        NARROW_CASE("%c%C%lc%hc", "z\xE9?y", 'z', WCHAR(0xE9), WCHAR(0x4E00), 'y'),
        NARROW_CASE("%5.1f|%-6.2e|", "  2.3|1.00e+00|", 2.26, 1.0),
        NARROW_CASE("%I64d %ld", "-5 -6", -5LL, LONG(-6)),
        NARROW_CASE("%p", "00000000DEADBEEF", reinterpret_cast<void*>(0xDEADBEEF)),
        NARROW_CASE("%s", "(null)", static_cast<const char*>(nullptr)),
        NARROW_CASE("%%|%q", "%|q"),
    };
    for (const auto& c : cases) EXPECT_EQ(c.actual, c.expected) << c.format;
}

TEST(CrtFormat, CountConversionTakesItsArgumentAndStoresNothing) {
    int stored = 77;
    EXPECT_EQ(Wide(u"ab%ncd%d", &stored, 5), u"abcd5");
    EXPECT_EQ(stored, 77);
    EXPECT_EQ(Narrow("ab%n%s", &stored, "x"), "abx");
    EXPECT_EQ(stored, 77);
}

TEST(CrtFormat, NulCharacterIsPartOfTheText) {
    WCHAR buffer[8];
    std::fill(std::begin(buffer), std::end(buffer), u'#');
    EXPECT_EQ(_snwprintf(buffer, 8, u"a%cb", 0), 3);
    EXPECT_EQ(std::u16string(buffer, 4), std::u16string(u"a\0b\0", 4));
}

// The _snwprintf contract for each relation of the text's length to count.
TEST(CrtFormat, CountedFormsReportTruncation) {
    struct Case {
        size_t count;
        int result;
        std::u16string buffer;  // the first count + 1 units afterwards
    };
    const Case cases[] = {
        {10, 5, std::u16string(u"hello\0#####", 11)},  // shorter: text and terminator
        {5, 5, u"hello#"},                               // exactly count: no terminator
        {3, -1, u"hel#"},                                // longer: count units, no terminator
        {0, -1, u"#"},
    };
    for (const auto& c : cases) {
        WCHAR wide[16];
        std::fill(std::begin(wide), std::end(wide), u'#');
        EXPECT_EQ(_snwprintf(wide, c.count, u"%s", u"hello"), c.result) << "count " << c.count;
        EXPECT_EQ(std::u16string(wide, c.count + 1), c.buffer) << "count " << c.count;

        char narrow[16];
        std::fill(std::begin(narrow), std::end(narrow), '#');
        EXPECT_EQ(_snprintf(narrow, c.count, "%s", "hello"), c.result) << "count " << c.count;
        EXPECT_EQ(std::string(narrow, c.count + 1), std::string(c.buffer.begin(), c.buffer.end()))
            << "count " << c.count;
    }
    EXPECT_EQ(_snwprintf(nullptr, 0, u"%d-%s", 1234, u"ab"), 7);
    EXPECT_EQ(_snprintf(nullptr, 0, "%d-%s", 1234, "ab"), 7);
    EXPECT_EQ(_scwprintf(u"%5d", 1), 5);
    EXPECT_EQ(_scprintf(""), 0);
    EXPECT_EQ(_snwprintf(nullptr, 4, u"x"), -1);
    EXPECT_EQ(_scwprintf(nullptr), -1);
    EXPECT_EQ(_snprintf(nullptr, 0, nullptr), -1);
}

TEST(CrtFormat, SecureFormsEmptyTheBufferOnOverflow) {
    WCHAR wide[8];
    std::fill(std::begin(wide), std::end(wide), u'#');
    EXPECT_EQ(swprintf_s(wide, 6, u"%s", u"hello"), 5);
    EXPECT_EQ(std::u16string(wide), u"hello");
    EXPECT_EQ(swprintf_s(wide, 5, u"%s", u"hello"), -1);
    EXPECT_EQ(wide[0], 0);
    EXPECT_EQ(swprintf_s(wide, 8, nullptr), -1);
    EXPECT_EQ(wide[0], 0);
    EXPECT_EQ(swprintf_s(nullptr, 8, u"x"), -1);

    char narrow[8];
    std::fill(std::begin(narrow), std::end(narrow), '#');
    EXPECT_EQ(sprintf_s(narrow, 8, "%d", 1234567), 7);
    EXPECT_EQ(std::string(narrow), "1234567");
    EXPECT_EQ(sprintf_s(narrow, 7, "%d", 1234567), -1);
    EXPECT_EQ(narrow[0], 0);
    std::fill(std::begin(narrow), std::end(narrow), '#');
    EXPECT_EQ(sprintf_s(narrow, 0, "x"), -1);
    EXPECT_EQ(narrow[0], '#');
}

TEST(CrtFormat, VaListFormsLeaveTheCallersListUsable) {
    auto twice = [](const WCHAR* format, ...) {
        va_list args;
        va_start(args, format);
        WCHAR first[32], second[32];
        int a = _vsnwprintf(first, 32, format, args);
        int b = vswprintf_s(second, 32, format, args);
        int c = _vscwprintf(format, args);
        va_end(args);
        EXPECT_EQ(a, b);
        EXPECT_EQ(a, c);
        return std::u16string(first) + u"|" + std::u16string(second);
    };
    EXPECT_EQ(twice(u"%d %s", 12, u"ab"), u"12 ab|12 ab");
}

TEST(CrtFormat, LongOutputIsFormattedInOnePass) {
    const size_t kLength = 4 * 1024 * 1024;
    std::u16string big(kLength, u'x');
    big[kLength - 1] = u'y';
    std::vector<WCHAR> buffer(kLength + 16);
    EXPECT_EQ(_snwprintf(buffer.data(), buffer.size(), u"<%s>", big.c_str()), int(kLength + 2));
    EXPECT_EQ(std::u16string(buffer.data()), u"<" + big + u">");

    std::string narrowBig(kLength, 'n');
    EXPECT_EQ(_scwprintf(u"%S%*d", narrowBig.c_str(), int(kLength), 1), int(2 * kLength));
    // A field far wider than the buffer is only counted.
    WCHAR small[4];
    EXPECT_EQ(_snwprintf(small, 4, u"%*s", 1 << 30, u"z"), -1);
    EXPECT_EQ(std::u16string(small, 4), u"    ");
    EXPECT_EQ(_scprintf("%*.1f", 1 << 30, 2.0), 1 << 30);
}

// A process that switches to a locale with a decimal comma still gets the
// runtime's "C" formatting.
// Builds a German locale into a private folder when none is installed, so that
// the decimal-comma case runs on a machine without generated locales.
const char* DecimalCommaLocale() {
    const char* names[] = {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "nl_NL.UTF-8"};
    for (const char* name : names)
        if (setlocale(LC_ALL, name) && std::string(localeconv()->decimal_point) == ",") return name;
    static std::string folder = (std::filesystem::temp_directory_path() / "tam-locales").string();
    std::filesystem::create_directories(folder);
    std::string command = "localedef -i de_DE -f UTF-8 '" + folder + "/de_DE.UTF-8' >/dev/null 2>&1";
    if (std::system(command.c_str()) != 0 && !std::filesystem::exists(folder + "/de_DE.UTF-8")) return nullptr;
    setenv("LOCPATH", folder.c_str(), 1);
    if (setlocale(LC_ALL, "de_DE.UTF-8") && std::string(localeconv()->decimal_point) == ",") return "de_DE.UTF-8";
    return nullptr;
}

TEST(CrtFormat, DecimalPointIgnoresTheProcessLocale) {
    const char* chosen = DecimalCommaLocale();
    if (!chosen) {
        setlocale(LC_ALL, "C");
        GTEST_SKIP() << "no locale with a decimal comma is available (localedef and de_DE sources missing)";
    }
    char native[32];
    snprintf(native, sizeof(native), "%.2f", 1.5);
    ASSERT_EQ(std::string(native), "1,50") << chosen;  // the C library itself follows the locale
    EXPECT_EQ(Wide(u"%.2f %e %g %a", 1.5, 1.5, 1.5, 1.5), u"1.50 1.500000e+00 1.5 0x1.8000000000000p+0");
    EXPECT_EQ(Narrow("%.2f", 1.5), "1.50");
    EXPECT_EQ(Narrow("%S", u"\x00E9\x4E00"), "\xE9?");  // string conversion stays "C" too
    setlocale(LC_ALL, "C");
}
