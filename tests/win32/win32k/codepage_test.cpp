// The engine's conversions with the machine's ANSI code page, its code-page
// query and EngSetLastError.
#include <windows.h>
#include <winddi.h>

#include <string>

#include "support/machine_fixture.h"

using tam::test::MachineTest;

namespace {

class EngineCodePage : public MachineTest {
protected:
    void UseCodePages(UINT ansi, UINT oem) {
        machine().MutableSettings().ansiCodePage = ansi;
        machine().MutableSettings().oemCodePage = oem;
    }
};

struct ToMultiByteCase {
    UINT ansi;
    std::u16string text;
    ULONG room;            // bytes of output buffer
    std::string expected;  // what it holds after the call
};

const ToMultiByteCase kToMultiByte[] = {
    {1252, u"Gr\u00FC\u00DFe \u20AC", 64, "Gr\xFC\xDF" "e \x80"},
    {1252, u"Gr\u00FC\u00DFe", 3, "Gr\xFC"},
    {1252, u"\u4E2D!", 64, "?!"},  // not in the page
    {1252, std::u16string(u"a\0b", 3), 64, std::string("a\0b", 3)},  // no terminator of its own
    {936, u"\u4E2D\u6587a", 64, "\xD6\xD0\xCE\xC4" "a"},
    // A double-byte character goes in whole or not at all.
    {936, u"\u4E2D\u6587a", 3, "\xD6\xD0"},
    {936, u"a\u4E2D", 2, "a"},
    {936, u"\u4E2D", 1, ""},
};

void PrintTo(const ToMultiByteCase& c, std::ostream* os) {
    *os << "cp" << c.ansi << ", " << c.text.size() << " units into " << c.room << " bytes give " << c.expected.size();
}

class EngineToMultiByte : public EngineCodePage, public testing::WithParamInterface<ToMultiByteCase> {};

TEST_P(EngineToMultiByte, ConvertsWithTheAnsiCodePageAndStopsWhereTheBufferIsFull) {
    const ToMultiByteCase& c = GetParam();
    UseCodePages(c.ansi, 437);
    std::string out(80, '\xCC');
    ULONG written = 0xdeadbeef;
    EngUnicodeToMultiByteN(out.data(), c.room, &written, c.text.data(), ULONG(c.text.size() * sizeof(WCHAR)));
    EXPECT_EQ(written, c.expected.size());
    EXPECT_EQ(out.substr(0, written), c.expected);
    EXPECT_EQ(out.substr(written), std::string(80 - written, '\xCC'));  // nothing written beyond
}

INSTANTIATE_TEST_SUITE_P(All, EngineToMultiByte, testing::ValuesIn(kToMultiByte));

struct ToUnicodeCase {
    UINT ansi;
    std::string bytes;
    ULONG room;  // bytes of output buffer
    std::u16string expected;
};

const ToUnicodeCase kToUnicode[] = {
    {1252, "\x80\xFC" "a", 64, u"\u20AC\u00FCa"},
    {1252, "abc", 4, u"ab"},
    {1252, "abc", 5, u"ab"},  // an odd byte holds no character
    {936, "\xD6\xD0\xCE\xC4", 64, u"\u4E2D\u6587"},
    {936, "\xD6\xD0\xCE\xC4", 2, u"\u4E2D"},
    {936, "a\xD6\xD0" "b", 64, u"a\u4E2Db"},
};

void PrintTo(const ToUnicodeCase& c, std::ostream* os) {
    *os << "cp" << c.ansi << ", " << c.bytes.size() << " bytes into " << c.room << " bytes give "
        << c.expected.size();
}

class EngineToUnicode : public EngineCodePage, public testing::WithParamInterface<ToUnicodeCase> {};

TEST_P(EngineToUnicode, ConvertsWithTheAnsiCodePageAndCountsBytes) {
    const ToUnicodeCase& c = GetParam();
    UseCodePages(c.ansi, 437);
    std::u16string out(40, u'\xCCCC');
    ULONG written = 0xdeadbeef;
    EngMultiByteToUnicodeN(out.data(), c.room, &written, c.bytes.data(), ULONG(c.bytes.size()));
    EXPECT_EQ(written, c.expected.size() * sizeof(WCHAR));
    EXPECT_EQ(out.substr(0, c.expected.size()), c.expected);
    EXPECT_EQ(out.substr(c.expected.size()), std::u16string(40 - c.expected.size(), u'\xCCCC'));
}

INSTANTIATE_TEST_SUITE_P(All, EngineToUnicode, testing::ValuesIn(kToUnicode));

TEST_F(EngineCodePage, NothingToConvertOrNowhereToPutItWritesNothing) {
    char bytes[4] = {'x', 'x', 'x', 'x'};
    WCHAR units[4] = {u'x', u'x', u'x', u'x'};
    ULONG written = 99;
    EngUnicodeToMultiByteN(bytes, 0, &written, u"abc", 6);
    EXPECT_EQ(written, 0u);
    written = 99;
    EngUnicodeToMultiByteN(bytes, 4, &written, u"abc", 1);  // less than one character
    EXPECT_EQ(written, 0u);
    written = 99;
    EngMultiByteToUnicodeN(units, 1, &written, "abc", 3);
    EXPECT_EQ(written, 0u);
    EXPECT_EQ(std::string(bytes, 4), "xxxx");
    EXPECT_EQ(std::u16string(units, 4), u"xxxx");

    written = 99;
    SetLastError(0);
    EngUnicodeToMultiByteN(nullptr, 4, &written, u"abc", 6);
    EXPECT_EQ(written, 0u);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    written = 99;
    SetLastError(0);
    EngMultiByteToUnicodeN(units, 8, &written, nullptr, 3);
    EXPECT_EQ(written, 0u);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));

    EngUnicodeToMultiByteN(bytes, 4, nullptr, u"ab", 4);  // the count is optional
    EXPECT_EQ(std::string(bytes, 4), "abxx");
}

TEST_F(EngineCodePage, ReportsTheMachinesCodePages) {
    USHORT oem = 0, ansi = 0;
    EngGetCurrentCodePage(&oem, &ansi);
    EXPECT_EQ(oem, 437);
    EXPECT_EQ(ansi, 1252);
    UseCodePages(936, 936);
    EngGetCurrentCodePage(&oem, &ansi);
    EXPECT_EQ(oem, 936);
    EXPECT_EQ(ansi, 936);
    ansi = 0;
    EngGetCurrentCodePage(nullptr, &ansi);
    EXPECT_EQ(ansi, 936);
}

TEST(EngineLastError, SetsTheThreadsLastError) {
    SetLastError(0);
    EngSetLastError(ERROR_BAD_DRIVER_LEVEL);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_BAD_DRIVER_LEVEL));
}

}  // namespace
