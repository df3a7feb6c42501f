#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "machine/machine.h"
#include "machine/unicode.h"

namespace {

// Each test may change the machine's code pages; the fixture puts them back.
class CodePage : public testing::Test {
protected:
    void TearDown() override { w32::Machine::Current().MutableSettings() = saved_; }

    // Converts counted bytes (no terminator) and checks the size protocol on the way.
    static std::u16string ToWide(UINT cp, const std::string& bytes, DWORD flags = 0) {
        int n = MultiByteToWideChar(cp, flags, bytes.data(), int(bytes.size()), nullptr, 0);
        if (n <= 0) return u"<failed>";
        std::u16string out(size_t(n), u'\0');
        EXPECT_EQ(MultiByteToWideChar(cp, flags, bytes.data(), int(bytes.size()), out.data(), n), n);
        return out;
    }

    static std::string ToBytes(UINT cp, const std::u16string& text, BOOL* usedDefault = nullptr,
                               const char* defaultChar = nullptr) {
        int n = WideCharToMultiByte(cp, 0, text.data(), int(text.size()), nullptr, 0, defaultChar, usedDefault);
        if (n <= 0) return "<failed>";
        std::string out(size_t(n), '\0');
        EXPECT_EQ(WideCharToMultiByte(cp, 0, text.data(), int(text.size()), out.data(), n, defaultChar, usedDefault),
                  n);
        return out;
    }

    w32::MachineSettings saved_ = w32::Machine::Current().Settings();
};

TEST_F(CodePage, MachineDefaultsAre1252And437) {
    EXPECT_EQ(GetACP(), 1252u);
    EXPECT_EQ(GetOEMCP(), 437u);
    EXPECT_TRUE(IsValidCodePage(1252));
    EXPECT_TRUE(IsValidCodePage(CP_UTF8));
    EXPECT_TRUE(IsValidCodePage(936));
    EXPECT_FALSE(IsValidCodePage(12345));
}

TEST_F(CodePage, Windows1252RoundTripsEveryByteIncludingTheHoles) {
    std::string all;
    for (int b = 1; b < 256; ++b) all += char(b);
    std::u16string wide = ToWide(1252, all);
    ASSERT_EQ(wide.size(), all.size());
    struct Mapping {
        BYTE byte;
        WCHAR unit;
    };
    const Mapping expected[] = {{0x41, u'A'},      {0x80, u'\u20AC'}, {0x81, u'\u0081'}, {0x8A, u'\u0160'},
                                {0x8D, u'\u008D'}, {0x8F, u'\u008F'}, {0x90, u'\u0090'}, {0x93, u'\u201C'},
                                {0x9D, u'\u009D'}, {0x9F, u'\u0178'}, {0xA0, u'\u00A0'}, {0xE9, u'\u00E9'},
                                {0xFF, u'\u00FF'}};
    for (const auto& m : expected) EXPECT_EQ(wide[m.byte - 1], m.unit) << std::hex << int(m.byte);
    BOOL used = TRUE;
    EXPECT_EQ(ToBytes(1252, wide, &used), all);
    EXPECT_FALSE(used);
}

TEST_F(CodePage, Oem437CarriesBoxDrawing) {
    const std::string box = "\xC9\xCD\xBB\xB3\xDB\xB0";
    const std::u16string expected = u"\u2554\u2550\u2557\u2502\u2588\u2591";
    EXPECT_EQ(ToWide(437, box), expected);
    EXPECT_EQ(ToWide(CP_OEMCP, box), expected);
    EXPECT_EQ(ToBytes(437, expected), box);
    EXPECT_EQ(ToBytes(437, u"\u00E9\u00C7"), "\x82\x80");  // é and Ç have OEM places too
}

TEST_F(CodePage, Utf8BothWaysWithASurrogatePair) {
    const std::string utf8 = "Korvan \xE2\x84\xA2 \xE6\x89\x93 \xF0\x9F\x96\xA8";  // ™ 打 and U+1F5A8
    const std::u16string wide = u"Korvan \u2122 \u6253 \xD83D\xDDA8";
    EXPECT_EQ(ToWide(CP_UTF8, utf8), wide);
    EXPECT_EQ(ToBytes(CP_UTF8, wide), utf8);
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, 0, "\xF0\x9F\x96\xA8", 4, nullptr, 0), 2);  // two units for one character
}

TEST_F(CodePage, Utf8InvalidBytesBecomeReplacementOrFailWhenStrict) {
    struct Case {
        std::string bytes;
        std::u16string wide;
    };
    const Case cases[] = {
        {"a\xFF" "b", u"a\uFFFDb"},
        {"\x80", u"\uFFFD"},                      // a continuation byte alone
        {"\xC0\xAF", u"\uFFFD\uFFFD"},            // an overlong '/'
        {"\xED\xA0\x80" "x", u"\uFFFD\uFFFD\uFFFDx"},  // an encoded surrogate
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ToWide(CP_UTF8, c.bytes), c.wide);
        WCHAR buffer[16];
        SetLastError(0xdeadbeef);
        EXPECT_EQ(MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, c.bytes.data(), int(c.bytes.size()), buffer, 16),
                  0);
        EXPECT_EQ(GetLastError(), DWORD(ERROR_NO_UNICODE_TRANSLATION));
    }
    // A lone surrogate going out.
    const WCHAR lone[] = {u'a', 0xD800, u'b'};
    char out[16];
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, lone, 3, out, 16, nullptr, nullptr), 5);
    EXPECT_EQ(std::string(out, 5), "a\xEF\xBF\xBD" "b");
    SetLastError(0xdeadbeef);
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, lone, 3, out, 16, nullptr, nullptr), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_NO_UNICODE_TRANSLATION));
}

struct DbcsCase {
    UINT cp;
    std::string bytes;
    std::u16string text;
};

const DbcsCase kDbcs[] = {
    {936, "\xB4\xF2\xD3\xA1\xBB\xFA", u"\u6253\u5370\u673A"},                  // 打印机
    {936, "PCL6 \xB4\xF2\xD3\xA1", u"PCL6 \u6253\u5370"},                        // mixed with ASCII
    {932, "\x83\x76\x83\x8A\x83\x93\x83\x5E", u"\u30D7\u30EA\u30F3\u30BF"},      // プリンタ
    {932, "\x95\x5C\xB1", u"\u8868\uFF71"},  // 表 has '\' as its trail byte; ｱ is one byte
    {949, "\xC7\xC1\xB8\xB0\xC5\xCD", u"\uD504\uB9B0\uD130"},                  // 프린터
    {950, "\xA6\x4C\xAA\xED\xBE\xF7", u"\u5370\u8868\u6A5F"},                  // 印表機
};

void PrintTo(const DbcsCase& c, std::ostream* os) {
    *os << "cp" << c.cp << " bytes";
    for (char b : c.bytes) *os << ' ' << std::hex << unsigned(BYTE(b));
}

class DoubleByte : public CodePage, public testing::WithParamInterface<DbcsCase> {};

TEST_P(DoubleByte, ConvertsBothWays) {
    const auto& c = GetParam();
    EXPECT_EQ(ToWide(c.cp, c.bytes), c.text) << "code page " << c.cp;
    BOOL used = TRUE;
    EXPECT_EQ(ToBytes(c.cp, c.text, &used), c.bytes) << "code page " << c.cp;
    EXPECT_FALSE(used);
}

INSTANTIATE_TEST_SUITE_P(All, DoubleByte, testing::ValuesIn(kDbcs));

TEST_F(CodePage, SizeProtocolOfMultiByteToWideChar) {
    // Counted input has no terminator; -1 counts it.
    EXPECT_EQ(MultiByteToWideChar(1252, 0, "Tam", 3, nullptr, 0), 3);
    EXPECT_EQ(MultiByteToWideChar(1252, 0, "Tam", -1, nullptr, 0), 4);
    WCHAR exact[4] = {u'#', u'#', u'#', u'#'};
    EXPECT_EQ(MultiByteToWideChar(1252, 0, "Tam", -1, exact, 4), 4);
    EXPECT_EQ(std::u16string(exact), u"Tam");
    WCHAR small[3];
    SetLastError(0xdeadbeef);
    EXPECT_EQ(MultiByteToWideChar(1252, 0, "Tam", -1, small, 3), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INSUFFICIENT_BUFFER));
    SetLastError(0xdeadbeef);
    EXPECT_EQ(MultiByteToWideChar(936, 0, "\xB4\xF2\xD3\xA1", -1, small, 2), 0);  // needs 3
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INSUFFICIENT_BUFFER));
}

TEST_F(CodePage, SizeProtocolOfWideCharToMultiByte) {
    EXPECT_EQ(WideCharToMultiByte(936, 0, u"\u6253\u5370", -1, nullptr, 0, nullptr, nullptr), 5);
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, u"\u6253", 1, nullptr, 0, nullptr, nullptr), 3);
    char exact[5];
    EXPECT_EQ(WideCharToMultiByte(936, 0, u"\u6253\u5370", -1, exact, 5, nullptr, nullptr), 5);
    EXPECT_STREQ(exact, "\xB4\xF2\xD3\xA1");
    char small[4];
    SetLastError(0xdeadbeef);
    EXPECT_EQ(WideCharToMultiByte(936, 0, u"\u6253\u5370", -1, small, 4, nullptr, nullptr), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INSUFFICIENT_BUFFER));
    SetLastError(0xdeadbeef);
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, u"abc", -1, small, 3, nullptr, nullptr), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INSUFFICIENT_BUFFER));
}

TEST_F(CodePage, BadArgumentsAreRefused) {
    WCHAR wide[8];
    char narrow[8];
    struct Case {
        const char* what;
        std::function<int()> call;
        DWORD error;
    };
    const Case cases[] = {
        {"null source", [&] { return MultiByteToWideChar(1252, 0, nullptr, 3, wide, 8); }, ERROR_INVALID_PARAMETER},
        {"empty source", [&] { return MultiByteToWideChar(1252, 0, "abc", 0, wide, 8); }, ERROR_INVALID_PARAMETER},
        {"negative size", [&] { return MultiByteToWideChar(1252, 0, "abc", -1, wide, -1); }, ERROR_INVALID_PARAMETER},
        {"null buffer", [&] { return MultiByteToWideChar(1252, 0, "abc", -1, nullptr, 8); }, ERROR_INVALID_PARAMETER},
        {"unknown page", [&] { return MultiByteToWideChar(12345, 0, "abc", -1, wide, 8); }, ERROR_INVALID_PARAMETER},
        {"flags for utf-8", [&] { return MultiByteToWideChar(CP_UTF8, MB_PRECOMPOSED, "abc", -1, wide, 8); },
         ERROR_INVALID_FLAGS},
        {"unknown flag", [&] { return MultiByteToWideChar(1252, 0x100, "abc", -1, wide, 8); }, ERROR_INVALID_FLAGS},
        {"decomposed output", [&] { return MultiByteToWideChar(1252, MB_COMPOSITE, "\xE9", -1, wide, 8); },
         ERROR_NOT_SUPPORTED},
        {"utf-7 in", [&] { return MultiByteToWideChar(CP_UTF7, 0, "abc", -1, wide, 8); }, ERROR_NOT_SUPPORTED},
        {"utf-7 out", [&] { return WideCharToMultiByte(CP_UTF7, 0, u"abc", -1, narrow, 8, nullptr, nullptr); },
         ERROR_NOT_SUPPORTED},
        {"null wide source", [&] { return WideCharToMultiByte(1252, 0, nullptr, 3, narrow, 8, nullptr, nullptr); },
         ERROR_INVALID_PARAMETER},
        {"null narrow buffer", [&] { return WideCharToMultiByte(1252, 0, u"abc", -1, nullptr, 8, nullptr, nullptr); },
         ERROR_INVALID_PARAMETER},
        {"unknown page out", [&] { return WideCharToMultiByte(12345, 0, u"abc", -1, narrow, 8, nullptr, nullptr); },
         ERROR_INVALID_PARAMETER},
        {"unknown flag out", [&] { return WideCharToMultiByte(1252, 0x1, u"abc", -1, narrow, 8, nullptr, nullptr); },
         ERROR_INVALID_FLAGS},
        {"strict flag off utf-8",
         [&] { return WideCharToMultiByte(1252, WC_ERR_INVALID_CHARS, u"abc", -1, narrow, 8, nullptr, nullptr); },
         ERROR_INVALID_FLAGS},
    };
    for (const auto& c : cases) {
        SetLastError(0xdeadbeef);
        EXPECT_EQ(c.call(), 0) << c.what;
        EXPECT_EQ(GetLastError(), c.error) << c.what;
    }
}

TEST_F(CodePage, UnmappableCharactersUseTheDefaultCharacter) {
    BOOL used = FALSE;
    EXPECT_EQ(ToBytes(1252, u"a\u20AC\u4E2D", &used), "a\x80?");
    EXPECT_TRUE(used);
    used = FALSE;
    EXPECT_EQ(ToBytes(1252, u"\u4E2Dz", &used, "*"), "*z");
    EXPECT_TRUE(used);
    used = FALSE;
    EXPECT_EQ(ToBytes(1252, u"\xD83D\xDDA8", &used), "?");  // a surrogate pair is one character
    EXPECT_TRUE(used);
    used = FALSE;
    EXPECT_EQ(ToBytes(936, u"\u0E01\u6253", &used), "?\xB4\xF2");  // Thai has no place in 936
    EXPECT_TRUE(used);
    used = TRUE;
    EXPECT_EQ(ToBytes(936, u"\u6253", &used), "\xB4\xF2");
    EXPECT_FALSE(used);
    // Without lpUsedDefaultChar the conversion still succeeds.
    EXPECT_EQ(ToBytes(437, u"\u20AC"), "?");
}

TEST_F(CodePage, Utf8TakesNoDefaultCharacter) {
    char out[8];
    BOOL used = FALSE;
    SetLastError(0xdeadbeef);
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, u"a", -1, out, 8, "?", nullptr), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    SetLastError(0xdeadbeef);
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, 0, u"a", -1, out, 8, nullptr, &used), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
}

TEST_F(CodePage, AnsiPageFollowsTheMachine) {
    w32::Machine::Current().MutableSettings().ansiCodePage = 936;
    EXPECT_EQ(GetACP(), 936u);
    EXPECT_EQ(ToWide(CP_ACP, "\xB4\xF2\xD3\xA1\xBB\xFA"), u"\u6253\u5370\u673A");
    EXPECT_EQ(ToBytes(CP_ACP, u"\u6253\u5370\u673A"), "\xB4\xF2\xD3\xA1\xBB\xFA");
    EXPECT_TRUE(IsDBCSLeadByte(0xB4));
    EXPECT_FALSE(IsDBCSLeadByte('A'));
    CPINFO info{};
    ASSERT_TRUE(GetCPInfo(CP_ACP, &info));
    EXPECT_EQ(info.MaxCharSize, 2u);
    // The OEM page is a separate setting.
    EXPECT_EQ(ToWide(CP_OEMCP, "\xC9"), u"\u2554");
    w32::Machine::Current().MutableSettings().ansiCodePage = 1252;
    EXPECT_EQ(ToWide(CP_ACP, "\xB4"), u"\u00B4");
    EXPECT_FALSE(IsDBCSLeadByte(0xB4));
}

TEST_F(CodePage, LeadBytesOfTheDoubleBytePages) {
    struct Case {
        UINT cp;
        BYTE byte;
        BOOL lead;
    };
    const Case cases[] = {
        {932, 0x81, TRUE},  {932, 0x9F, TRUE},  {932, 0xA0, FALSE}, {932, 0xB1, FALSE}, {932, 0xDF, FALSE},
        {932, 0xE0, TRUE},  {932, 0xFC, TRUE},  {932, 0xFD, FALSE}, {932, 0x5C, FALSE}, {936, 0x80, FALSE},
        {936, 0x81, TRUE},  {936, 0xB4, TRUE},  {936, 0xFE, TRUE},  {936, 0xFF, FALSE}, {949, 0x81, TRUE},
        {949, 0xC7, TRUE},  {949, 0x7F, FALSE}, {950, 0xA6, TRUE},  {950, 0xFF, FALSE}, {1252, 0x81, FALSE},
        {1252, 0xE9, FALSE}, {CP_UTF8, 0xE6, FALSE},
    };
    for (const auto& c : cases) EXPECT_EQ(IsDBCSLeadByteEx(c.cp, c.byte), c.lead) << c.cp << " " << std::hex << int(c.byte);
    SetLastError(0xdeadbeef);
    EXPECT_FALSE(IsDBCSLeadByteEx(12345, 0x81));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
}

TEST_F(CodePage, CodePageInformation) {
    struct Case {
        UINT cp;
        UINT maxCharSize;
        std::vector<BYTE> leadRanges;
    };
    const Case cases[] = {
        {1252, 1, {}},           {437, 1, {}},           {CP_UTF8, 4, {}},         {932, 2, {0x81, 0x9F, 0xE0, 0xFC}},
        {936, 2, {0x81, 0xFE}}, {949, 2, {0x81, 0xFE}}, {950, 2, {0x81, 0xFE}}, {CP_ACP, 1, {}},
    };
    for (const auto& c : cases) {
        CPINFO info;
        std::memset(&info, 0xCC, sizeof(info));
        ASSERT_TRUE(GetCPInfo(c.cp, &info)) << c.cp;
        EXPECT_EQ(info.MaxCharSize, c.maxCharSize) << c.cp;
        EXPECT_EQ(info.DefaultChar[0], '?') << c.cp;
        EXPECT_EQ(info.DefaultChar[1], 0) << c.cp;
        std::vector<BYTE> lead(std::begin(info.LeadByte), std::end(info.LeadByte));
        std::vector<BYTE> expected = c.leadRanges;
        expected.resize(MAX_LEADBYTES, 0);  // the ranges end with a pair of zeros
        EXPECT_EQ(lead, expected) << c.cp;
    }
    CPINFO info;
    SetLastError(0xdeadbeef);
    EXPECT_FALSE(GetCPInfo(12345, &info));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    SetLastError(0xdeadbeef);
    EXPECT_FALSE(GetCPInfo(1252, nullptr));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
}

}  // namespace

namespace {

// Some pages take no conversion flag at all, and UTF-8 and GB18030 only the
// flag that makes invalid input fail: any other flag is ERROR_INVALID_FLAGS,
// before anything is converted, whether the flag is known elsewhere or not.
struct FlagCase {
    UINT page;
    DWORD flags;
    bool toWide;  // MultiByteToWideChar, else WideCharToMultiByte
};

std::vector<FlagCase> RefusedFlagCases() {
    const UINT noFlagPages[] = {CP_SYMBOL, 50220, 50221, 50222, 50225, 50227, 50229, 52936,
                                57002,     57003, 57006, 57010, 57011, CP_UTF7};
    const UINT strictOnlyPages[] = {CP_UTF8, 54936};
    std::vector<FlagCase> cases;
    for (UINT page : noFlagPages) {
        for (DWORD flags : {DWORD(MB_PRECOMPOSED), DWORD(MB_COMPOSITE), DWORD(MB_USEGLYPHCHARS),
                            DWORD(MB_ERR_INVALID_CHARS), DWORD(MB_COMPOSITE | MB_ERR_INVALID_CHARS)})
            cases.push_back({page, flags, true});
        for (DWORD flags : {DWORD(WC_COMPOSITECHECK), DWORD(WC_NO_BEST_FIT_CHARS), DWORD(WC_ERR_INVALID_CHARS)})
            cases.push_back({page, flags, false});
    }
    for (UINT page : strictOnlyPages) {
        for (DWORD flags : {DWORD(MB_PRECOMPOSED), DWORD(MB_COMPOSITE), DWORD(MB_USEGLYPHCHARS),
                            DWORD(MB_COMPOSITE | MB_ERR_INVALID_CHARS), DWORD(0x100)})
            cases.push_back({page, flags, true});
        for (DWORD flags : {DWORD(WC_COMPOSITECHECK), DWORD(WC_NO_BEST_FIT_CHARS),
                            DWORD(WC_DEFAULTCHAR | WC_ERR_INVALID_CHARS)})
            cases.push_back({page, flags, false});
    }
    // Precomposed and composite output exclude each other on any page.
    cases.push_back({1252, MB_PRECOMPOSED | MB_COMPOSITE, true});
    return cases;
}

void PrintTo(const FlagCase& c, std::ostream* os) {
    *os << (c.toWide ? "MultiByteToWideChar" : "WideCharToMultiByte") << " page " << c.page << " flags 0x" << std::hex
        << c.flags;
}

class RefusedFlags : public CodePage, public testing::WithParamInterface<FlagCase> {};

TEST_P(RefusedFlags, FailWithInvalidFlagsAndWriteNothing) {
    const FlagCase& c = GetParam();
    SetLastError(0xdeadbeef);
    if (c.toWide) {
        WCHAR wide[8] = {u'#', u'#', u'#', u'#', u'#', u'#', u'#', u'#'};
        EXPECT_EQ(MultiByteToWideChar(c.page, c.flags, "abc", -1, wide, 8), 0);
        EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_FLAGS));
        EXPECT_EQ(wide[0], u'#');
        SetLastError(0xdeadbeef);
        EXPECT_EQ(MultiByteToWideChar(c.page, c.flags, "abc", -1, nullptr, 0), 0);  // the size query too
        EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_FLAGS));
    } else {
        char narrow[8] = {'#', '#', '#', '#', '#', '#', '#', '#'};
        EXPECT_EQ(WideCharToMultiByte(c.page, c.flags, u"abc", -1, narrow, 8, nullptr, nullptr), 0);
        EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_FLAGS));
        EXPECT_EQ(narrow[0], '#');
        SetLastError(0xdeadbeef);
        EXPECT_EQ(WideCharToMultiByte(c.page, c.flags, u"abc", -1, nullptr, 0, nullptr, nullptr), 0);
        EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_FLAGS));
    }
}

INSTANTIATE_TEST_SUITE_P(All, RefusedFlags, testing::ValuesIn(RefusedFlagCases()));

TEST_F(CodePage, Utf8TakesTheFlagForInvalidInput) {
    WCHAR wide[8] = {};
    EXPECT_EQ(MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, "ab\xC3\xA9", -1, wide, 8), 4);
    EXPECT_EQ(std::u16string(wide), u"ab\x00E9");
    char narrow[8] = {};
    EXPECT_EQ(WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, u"ab\x00E9", -1, narrow, 8, nullptr, nullptr), 5);
    EXPECT_STREQ(narrow, "ab\xC3\xA9");
}

}  // namespace
