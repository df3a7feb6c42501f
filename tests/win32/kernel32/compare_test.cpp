#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <ostream>
#include <string>
#include <vector>

#include "machine/machine.h"
#include "machine/unicode.h"

namespace {

std::string Show(std::u16string_view s) { return w32::ToUtf8(s); }

// Test names stay ASCII: letters and digits as they are, anything else as its code.
std::string Ascii(std::u16string_view s) {
    std::string out;
    for (char16_t c : s) {
        if ((c >= u'0' && c <= u'9') || ((c | 0x20) >= u'a' && (c | 0x20) <= u'z')) {
            out += char(c);
        } else {
            char code[8];
            std::snprintf(code, sizeof(code), "_%X_", unsigned(c));
            out += code;
        }
    }
    return out;
}

struct CompareCase {
    std::u16string a;
    std::u16string b;
    DWORD flags;
    int expected;  // CSTR_*
};

const CompareCase kCompare[] = {
    // Letters alphabetical ignoring case first, then lower case before upper.
    {u"a", u"A", 0, CSTR_LESS_THAN},
    {u"A", u"b", 0, CSTR_LESS_THAN},
    {u"apple", u"Banana", 0, CSTR_LESS_THAN},
    {u"Zebra", u"apple", 0, CSTR_GREATER_THAN},
    {u"korvan", u"Korvan", 0, CSTR_LESS_THAN},
    {u"Korvan", u"KORVAN", 0, CSTR_LESS_THAN},
    {u"Korvan", u"korvan", NORM_IGNORECASE, CSTR_EQUAL},
    {u"LaserJet", u"laserjet", LINGUISTIC_IGNORECASE, CSTR_EQUAL},
    // Case decides only when the letters are otherwise equal.
    {u"Ab", u"aC", 0, CSTR_LESS_THAN},
    // A prefix sorts first.
    {u"Tam", u"Tamrend", 0, CSTR_LESS_THAN},
    {u"", u"a", 0, CSTR_LESS_THAN},
    {u"", u"", 0, CSTR_EQUAL},
    // Punctuation and symbols before digits before letters.
    {u"_x", u"0x", 0, CSTR_LESS_THAN},
    {u"9", u"a", 0, CSTR_LESS_THAN},
    {u"~", u"0", 0, CSTR_LESS_THAN},
    {u" ", u"!", 0, CSTR_LESS_THAN},
    {u"!", u"#", 0, CSTR_LESS_THAN},
    {u"~", u"+", 0, CSTR_LESS_THAN},  // the math symbols come after the other symbols
    {u"page 10", u"page 2", 0, CSTR_LESS_THAN},  // digit by digit
    {u"C:\\Windows", u"C:\\Windows\\System32", 0, CSTR_LESS_THAN},
    {u"a.b", u"ab", 0, CSTR_LESS_THAN},
    // Word sort: hyphen and apostrophe count only when all else is equal.
    {u"co-op", u"coop", 0, CSTR_GREATER_THAN},
    {u"co-op", u"cop", 0, CSTR_LESS_THAN},
    {u"can't", u"cant", 0, CSTR_GREATER_THAN},
    {u"can't", u"canto", 0, CSTR_LESS_THAN},
    {u"Co-op", u"coop", 0, CSTR_GREATER_THAN},  // case outranks the hyphen
    {u"co-op", u"coop", NORM_IGNORESYMBOLS, CSTR_EQUAL},
    // String sort: they are symbols, before the letters.
    {u"co-op", u"coop", SORT_STRINGSORT, CSTR_LESS_THAN},
    {u"co-op", u"coat", SORT_STRINGSORT, CSTR_LESS_THAN},
    {u"co-op", u"coat", 0, CSTR_GREATER_THAN},
    {u"a-b", u"a b", SORT_STRINGSORT, CSTR_GREATER_THAN},
    // Symbols and spaces vanish under NORM_IGNORESYMBOLS.
    {u"Korvan P-2400 (PCL6)", u"korvanp2400pcl6", NORM_IGNORESYMBOLS | NORM_IGNORECASE, CSTR_EQUAL},
    // Accented Latin letters sort with their base letter, after it when equal.
    {u"e", u"\u00E9", 0, CSTR_LESS_THAN},
    {u"\u00E9", u"f", 0, CSTR_LESS_THAN},
    {u"resume", u"r\u00E9sum\u00E9", 0, CSTR_LESS_THAN},
    {u"Resume", u"r\u00E9sum\u00E9", 0, CSTR_LESS_THAN},  // the diacritic outranks the case
    {u"r\u00E9sum\u00E9", u"resume", NORM_IGNORENONSPACE, CSTR_EQUAL},
    {u"\u00C9COLE", u"\u00E9cole", NORM_IGNORECASE, CSTR_EQUAL},
    {u"\u0141\u00F3d\u017A", u"Lodz", NORM_IGNORENONSPACE | NORM_IGNORECASE, CSTR_EQUAL},
    {u"e\u0301", u"e", NORM_IGNORENONSPACE, CSTR_EQUAL},  // a combining accent
    {u"e\u0301", u"e", 0, CSTR_GREATER_THAN},
    // Greek and Cyrillic: case folded, after the Latin letters.
    {u"\u0394\u0395\u039B\u03A4\u0391", u"\u03B4\u03B5\u03BB\u03C4\u03B1", NORM_IGNORECASE, CSTR_EQUAL},
    {u"\u041F\u0420\u0418\u041D\u0422\u0415\u0420", u"\u043F\u0440\u0438\u043D\u0442\u0435\u0440", NORM_IGNORECASE,
     CSTR_EQUAL},
    {u"\u0430", u"\u0411", 0, CSTR_LESS_THAN},
    {u"z", u"\u03B1", 0, CSTR_LESS_THAN},
    // Width and kana type.
    {u"\uFF21\uFF22", u"AB", 0, CSTR_GREATER_THAN},
    {u"\uFF21\uFF22", u"AB", NORM_IGNOREWIDTH, CSTR_EQUAL},
    {u"\u30AB", u"\u304B", 0, CSTR_GREATER_THAN},
    {u"\u30AB", u"\u304B", NORM_IGNOREKANATYPE, CSTR_EQUAL},
    // Characters that weigh nothing.
    {u"ab", u"a\u00ADb", 0, CSTR_EQUAL},
    {u"ab", std::u16string(u"a\0b", 3), 0, CSTR_EQUAL},
};

void PrintTo(const CompareCase& c, std::ostream* os) {
    *os << Ascii(c.a) << " vs " << Ascii(c.b) << " flags " << std::hex << c.flags;
}

class CompareStringTable : public testing::TestWithParam<CompareCase> {};

TEST_P(CompareStringTable, OrdersAndIsAntisymmetric) {
    const auto& c = GetParam();
    SetLastError(0xdeadbeef);
    EXPECT_EQ(CompareStringW(LOCALE_USER_DEFAULT, c.flags, c.a.data(), int(c.a.size()), c.b.data(), int(c.b.size())),
              c.expected)
        << Show(c.a) << " vs " << Show(c.b);
    EXPECT_EQ(CompareStringW(LOCALE_USER_DEFAULT, c.flags, c.b.data(), int(c.b.size()), c.a.data(), int(c.a.size())),
              4 - c.expected)
        << Show(c.b) << " vs " << Show(c.a);
    EXPECT_EQ(GetLastError(), 0xdeadbeefu);
}

INSTANTIATE_TEST_SUITE_P(All, CompareStringTable, testing::ValuesIn(kCompare));

TEST(LinguisticCompare, SortsAListAsWindowsDoes) {
    std::vector<std::u16string> names = {u"b",  u"B",   u"_", u"a",  u"1",   u"A", u"#",
                                         u"+",  u"10",  u"2", u" ",  u"Ab",  u"ab", u"\u00E1"};
    std::stable_sort(names.begin(), names.end(), [](const std::u16string& x, const std::u16string& y) {
        return CompareStringW(LOCALE_USER_DEFAULT, 0, x.c_str(), -1, y.c_str(), -1) == CSTR_LESS_THAN;
    });
    const std::vector<std::u16string> expected = {u" ", u"#", u"_", u"+",      u"1",  u"10", u"2",
                                                  u"a", u"A", u"\u00E1", u"ab", u"Ab", u"b",  u"B"};
    EXPECT_EQ(names, expected);
}

TEST(LinguisticCompare, CountsAreHonouredAndNegativeMeansTerminated) {
    EXPECT_EQ(CompareStringW(LOCALE_USER_DEFAULT, 0, u"Tamrend", 3, u"Tam", -1), CSTR_EQUAL);
    EXPECT_EQ(CompareStringW(LOCALE_USER_DEFAULT, 0, u"Tamrend", -1, u"Tamsheet", 3), CSTR_GREATER_THAN);
    EXPECT_EQ(CompareStringW(LOCALE_USER_DEFAULT, 0, u"abc", -2, u"abc", 0), CSTR_GREATER_THAN);
    EXPECT_EQ(CompareStringW(LOCALE_USER_DEFAULT, 0, u"abc", 0, u"xyz", 0), CSTR_EQUAL);
}

TEST(LinguisticCompare, RefusesNullStringsAndUnknownFlags) {
    struct Case {
        const WCHAR* a;
        const WCHAR* b;
        DWORD flags;
        DWORD error;
    };
    const Case cases[] = {
        {nullptr, u"a", 0, ERROR_INVALID_PARAMETER},
        {u"a", nullptr, NORM_IGNORECASE, ERROR_INVALID_PARAMETER},
        {u"a", u"a", 0x00000100, ERROR_INVALID_FLAGS},
        {u"a", u"a", NORM_IGNORECASE | 0x80000000, ERROR_INVALID_FLAGS},
        {u"2", u"10", SORT_DIGITSASNUMBERS, ERROR_NOT_SUPPORTED},
    };
    for (const auto& c : cases) {
        SetLastError(0xdeadbeef);
        EXPECT_EQ(CompareStringW(LOCALE_USER_DEFAULT, c.flags, c.a, -1, c.b, -1), 0) << std::hex << c.flags;
        EXPECT_EQ(GetLastError(), c.error) << std::hex << c.flags;
    }
    SetLastError(0xdeadbeef);
    EXPECT_EQ(CompareStringA(LOCALE_USER_DEFAULT, 0, nullptr, -1, "a", -1), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    SetLastError(0xdeadbeef);
    EXPECT_EQ(CompareStringA(LOCALE_USER_DEFAULT, 0x00000100, "a", -1, "a", -1), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_FLAGS));
}

class NarrowCompare : public testing::Test {
protected:
    void SetUp() override { w32::Machine::Current().MutableSettings().ansiCodePage = 1252; }
    void TearDown() override { w32::Machine::Current().MutableSettings() = saved_; }

    w32::MachineSettings saved_ = w32::Machine::Current().Settings();
};

TEST_F(NarrowCompare, ReadsTheAnsiCodePage) {
    // 0xC9 is "É" in 1252 and "Й" in 1251.
    EXPECT_EQ(CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, "\xC9" "cole", -1, "\xE9" "cole", -1), CSTR_EQUAL);
    EXPECT_EQ(CompareStringA(LOCALE_USER_DEFAULT, 0, "\xE9", -1, "f", -1), CSTR_LESS_THAN);
    EXPECT_EQ(CompareStringA(LOCALE_USER_DEFAULT, 0, "Tamrend", 3, "Tam", -1), CSTR_EQUAL);
    w32::Machine::Current().MutableSettings().ansiCodePage = 1251;
    EXPECT_EQ(CompareStringA(LOCALE_USER_DEFAULT, 0, "\xE9", -1, "f", -1), CSTR_GREATER_THAN);  // "й" is Cyrillic
    EXPECT_EQ(CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, "\xC9", -1, "\xE9", -1), CSTR_EQUAL);
}

TEST(CompareStringOrdinal, ComparesCodeUnits) {
    struct Case {
        std::u16string a;
        std::u16string b;
        BOOL ignoreCase;
        int expected;
    };
    const Case cases[] = {
        {u"a", u"A", FALSE, CSTR_GREATER_THAN},  // binary: 'A' (0x41) < 'a' (0x61)
        {u"a", u"A", TRUE, CSTR_EQUAL},
        {u"co-op", u"coop", FALSE, CSTR_LESS_THAN},  // '-' is an ordinary unit here
        {u"_", u"a", FALSE, CSTR_LESS_THAN},     // '_' (0x5F) < 'a' (0x61)
        {u"_", u"a", TRUE, CSTR_GREATER_THAN},   // folded to upper case: '_' (0x5F) > 'A' (0x41)
        {u"\u00E9", u"\u00C9", TRUE, CSTR_EQUAL},
        {u"\u00E9", u"f", FALSE, CSTR_GREATER_THAN},
        {u"abc", u"ab", FALSE, CSTR_GREATER_THAN},
        {u"\uFF21", u"A", TRUE, CSTR_GREATER_THAN},  // no width folding
        {u"\xD83D\xDDA8", u"\uFFFD", FALSE, CSTR_LESS_THAN},  // UTF-16 unit order, not code point order
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CompareStringOrdinal(c.a.data(), int(c.a.size()), c.b.data(), -1, c.ignoreCase), c.expected)
            << Show(c.a) << " vs " << Show(c.b) << " ignoreCase " << c.ignoreCase;
    }
    SetLastError(0xdeadbeef);
    EXPECT_EQ(CompareStringOrdinal(nullptr, -1, u"a", -1, FALSE), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    SetLastError(0xdeadbeef);
    EXPECT_EQ(CompareStringOrdinal(u"a", -2, u"a", -1, FALSE), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
}

struct LstrCase {
    const WCHAR* a;
    const WCHAR* b;
    int cmp;   // lstrcmpW
    int cmpi;  // lstrcmpiW
};

const LstrCase kLstr[] = {
    {u"Korvan", u"Korvan", 0, 0},
    {u"korvan", u"Korvan", -1, 0},
    {u"KORVAN P2400", u"korvan p2400", 1, 0},
    {u"Tamsheetenus.dll", u"TAMSHEETENUS.DLL", -1, 0},
    {u"C:\\Windows\\System32\\spool", u"c:\\windows\\system32\\SPOOL", 1, 0},
    {u"a", u"B", -1, -1},
    {u"b", u"A", 1, 1},
    {u"Model 10", u"model 9", -1, -1},
    {u"Port_1", u"Port1", -1, -1},
    {u"co-op", u"coop", 1, 1},
    {u"\u00C9", u"\u00E9", 1, 0},
    {u"", u"x", -1, -1},
    {nullptr, u"x", -1, -1},
    {u"x", nullptr, 1, 1},
    {nullptr, nullptr, 0, 0},
};

void PrintTo(const LstrCase& c, std::ostream* os) {
    *os << (c.a ? Ascii(c.a) : "(null)") << " vs " << (c.b ? Ascii(c.b) : "(null)");
}

class LstrcmpTable : public testing::TestWithParam<LstrCase> {};

TEST_P(LstrcmpTable, ReturnsMinusOneZeroOrOne) {
    const auto& c = GetParam();
    auto name = [](const WCHAR* s) { return s ? Show(s) : std::string("(null)"); };
    EXPECT_EQ(lstrcmpW(c.a, c.b), c.cmp) << name(c.a) << " vs " << name(c.b);
    EXPECT_EQ(lstrcmpiW(c.a, c.b), c.cmpi) << name(c.a) << " vs " << name(c.b);
    EXPECT_EQ(lstrcmpW(c.b, c.a), -c.cmp);
    EXPECT_EQ(lstrcmpiW(c.b, c.a), -c.cmpi);
}

INSTANTIATE_TEST_SUITE_P(All, LstrcmpTable, testing::ValuesIn(kLstr));

TEST_F(NarrowCompare, LstrcmpNarrowFormsAgreeWithTheWideOnes) {
    EXPECT_EQ(lstrcmpA("a", "A"), -1);
    EXPECT_EQ(lstrcmpiA("a", "A"), 0);
    EXPECT_EQ(lstrcmpiA("PCL6", "pcl5"), 1);
    EXPECT_EQ(lstrcmpiA("\xC9TAT", "\xE9tat"), 0);  // 1252 "ÉTAT" and "état"
    EXPECT_EQ(lstrcmpA("co-op", "coop"), 1);
    EXPECT_EQ(lstrcmpA(nullptr, "a"), -1);
    EXPECT_EQ(lstrcmpiA("a", nullptr), 1);
}

}  // namespace
