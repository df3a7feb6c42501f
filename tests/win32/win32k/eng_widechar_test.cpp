// EngWideCharToMultiByte: a driver's conversion of a string's characters to
// a code page it names, the machine's own (CP_ACP, CP_OEMCP) or any other
// the machine converts; -1 for one it does not know.
#include <windows.h>
#include <winddi.h>

#include <string>

#include "support/machine_fixture.h"

namespace {

using tam::test::MachineTest;

struct WideCharCase {
    const char* name;
    UINT codePage;
    std::u16string text;
    INT room;  // bytes of output buffer
    INT answer;
    std::string expected;  // what the buffer holds
};
void PrintTo(const WideCharCase& c, std::ostream* out) { *out << c.name; }

const WideCharCase kWideChar[] = {
    {"AnsiOfTheMachine", CP_ACP, u"Gr\u00FC\u00DFe \u20AC", 64, 7, "Gr\xFC\xDF" "e \x80"},
    {"OemOfTheMachine", CP_OEMCP, u"\u00FC", 64, 1, "\x81"},
    {"NamedDoubleBytePage", 936, u"\u4E2D\u6587a", 64, 5, "\xD6\xD0\xCE\xC4" "a"},
    {"WholeCharactersOnly", 936, u"\u4E2D\u6587a", 3, 2, "\xD6\xD0"},
    {"Utf8", CP_UTF8, u"\u00E9\U0001F600", 64, 6, "\xC3\xA9\xF0\x9F\x98\x80"},
    {"SurrogatePairWholeOrNot", CP_UTF8, u"\u00E9\U0001F600", 5, 2, "\xC3\xA9"},
    {"UnknownPage", 4711, u"abc", 64, -1, ""},
};

class EngWideChar : public MachineTest, public testing::WithParamInterface<WideCharCase> {};

TEST_P(EngWideChar, ConvertsToTheCodePageNamed) {
    const WideCharCase& c = GetParam();
    machine().MutableSettings().ansiCodePage = 1252;
    machine().MutableSettings().oemCodePage = 437;
    std::string out(80, '\xCC');
    const INT answer = EngWideCharToMultiByte(c.codePage, c.text.data(), INT(c.text.size() * sizeof(WCHAR)),
                                              out.data(), c.room);
    EXPECT_EQ(answer, c.answer);
    const size_t written = answer > 0 ? size_t(answer) : 0;
    EXPECT_EQ(out.substr(0, written), c.expected);
    EXPECT_EQ(out.substr(written), std::string(80 - written, '\xCC'));
}
INSTANTIATE_TEST_SUITE_P(All, EngWideChar, testing::ValuesIn(kWideChar),
                         [](const auto& info) { return std::string(info.param.name); });

class EngWideCharArguments : public MachineTest {};

TEST_F(EngWideCharArguments, NegativeSizesAndMissingStringsAreRefused) {
    char out[8];
    SetLastError(0);
    EXPECT_EQ(EngWideCharToMultiByte(CP_ACP, u"a", -2, out, 8), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    SetLastError(0);
    EXPECT_EQ(EngWideCharToMultiByte(CP_ACP, nullptr, 2, out, 8), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
}

}  // namespace
