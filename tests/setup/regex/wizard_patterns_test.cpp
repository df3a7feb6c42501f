// The install wizard's address patterns: the page-5 check of a typed
// address (IPv4, host name, port digits) and the IPv6 test, as tables of
// valid and invalid inputs, and against PCRE2 on every short text over the
// characters that matter.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <random>

#include "pcre2_oracle.h"
#include "regex_test_util.h"
#include "wizard_patterns.h"

namespace {

using namespace regex_test;

const std::u16string* const kAll[] = {&kV4, &kP1, &kP2, &kP3, &kP4, &kIpv4, &kHostName, &kDigits};

typedef std::function<bool(const std::u16string& pattern, const std::u16string& text)> Matcher;

bool EngineMatches(const std::u16string& pattern, const std::u16string& text) {
    CPatternT expression(pattern.c_str());
    EXPECT_EQ(expression.GetBuildStatus(), RX_BUILD_OK);
    RegexMatch match = expression.MatchExact(text.c_str());
    // The wizard's test: at least one int, and the first one nonzero.
    return match.GetSize() >= 1 && match[0] != 0;
}

bool Pcre2Matches(const std::u16string& pattern, const std::u16string& text) {
    Pcre2Oracle oracle(ForPcre2(pattern));
    EXPECT_TRUE(oracle.Compiled()) << oracle.Error();
    return oracle.Match(text).kind == OracleResult::kMatch;
}

// The IPv6 test of the network printer list, step by step.
bool IsIpv6Address(const std::u16string& text, const Matcher& matches) {
    if (text.empty()) return false;
    if (text.find_first_not_of(u"0123456789abcdefABCDEF:.") != std::u16string::npos) return false;
    const size_t colons = size_t(std::count(text.begin(), text.end(), u':'));
    if (colons > 8) return false;
    if (matches(kP1, text)) return true;
    if (colons > 7) return false;
    if (matches(kP2, text)) return true;
    if (colons > 6) return false;
    if (matches(kP3, text)) return true;
    return matches(kP4, text);
}

// Whether page 5 enables its next button for a typed address.
bool AddressAccepted(const std::u16string& text, const Matcher& matches) {
    if (text.empty()) return false;
    if (matches(kDigits, text)) return false;
    if (text == u"255.255.255.255") return false;
    if (matches(kIpv4, text)) return true;
    if (matches(kHostName, text)) return true;
    return IsIpv6Address(text, matches);
}

struct Input {
    const char16_t* text;
    bool accepted;
};

void PrintTo(const Input& input, std::ostream* os) { *os << '"' << Show(input.text) << '"'; }

const Input kTypedAddresses[] = {
    // IPv4
    {u"192.168.1.10", true}, {u"1.0.0.0", true}, {u"255.255.255.254", true}, {u"223.255.255.0", true},
    {u"0.1.2.3", false}, {u"01.2.3.4", false}, {u"1.2.3.04", false}, {u"256.1.1.1", false}, {u"1.2.3", false},
    {u"1.2.3.4.5", false}, {u" 1.2.3.4", false}, {u"1.2.3.4 ", false}, {u"1.2.3.4\n", false},
    {u"a.b", false}, {u"printer.local", false}, {u"a_b", false}, {u"\u00E41", false},
    {u"\uFF11\uFF12\uFF13", false}, {u"::", false}, {u"1.2.3.4\xD800", false},
    // Refused although a pattern matches: the digits rule comes first.
    {u"255.255.255.255", false}, {u"12345", false}, {u"123456789012345", false},
    // Host names
    {u"printer-01", true}, {u"abcdefghij12345", true}, {u"a", true}, {u"-", true}, {u"ab-", true},
    {u"deadbeef", true}, {u"12345678901234a", true}, {u"abcdefghij123456", false}, {u"1234567890123456", false},
    // IPv6
    {u"fe80::1", true}, {u"FE80::1", true}, {u"::1", true}, {u"1::", true},
    {u"", false},
};

class TypedAddress : public testing::TestWithParam<Input> {};

TEST_P(TypedAddress, NextButton) {
    const Input& input = GetParam();
    EXPECT_EQ(AddressAccepted(input.text, EngineMatches), input.accepted);
    EXPECT_EQ(AddressAccepted(input.text, Pcre2Matches), input.accepted);
}

INSTANTIATE_TEST_SUITE_P(Page5, TypedAddress, testing::ValuesIn(kTypedAddresses));

const Input kIpv6[] = {
    {u"fe80::1", true}, {u"::1", true}, {u"1::", true}, {u"::ffff:192.168.0.1", true}, {u"::192.168.0.1", true},
    {u"1:2:3:4:5:6:7:8", true}, {u"a:b:c:d:e:f:0:1", true}, {u"1:2:3:4:5:6:7::", true}, {u"::1:2:3:4:5:6", true},
    {u"1::2:3:4:5:6:7", true}, {u"1:2:3:4:5:6::7", true}, {u"fe80::21a:2bff:fe3c:4d5e", true},
    {u"1:2:3:4:5:6:1.2.3.4", true}, {u"1:2:3:4:5::1.2.3.4", true}, {u"1::1.2.3.4", true},
    {u"::ffff:001.002.003.004", true},
    {u"192.168.0.1", false}, {u"1:2:3:4:5:6:7:8:9", false}, {u"12345::", false}, {u"::", false}, {u":", false},
    {u":1", false}, {u"1:", false}, {u"1:2", false}, {u":::", false}, {u"1:::2", false}, {u"1::2::3", false},
    {u"1:2:3:4:5:6:7::8", false}, {u"1:2:3:4:5:6:7:1.2.3.4", false}, {u"::ffff:256.1.1.1", false},
    {u"::ffff:1.2.3", false}, {u"g::1", false}, {u"fe80::1%4", false}, {u"abcd", false}, {u"fe80::21a:2bff:", false},
    // Valid addresses that these patterns refuse, as the wizard has it.
    {u"::1:2:3:4:5:6:7", false},
};

class Ipv6Address : public testing::TestWithParam<Input> {};

TEST_P(Ipv6Address, Recognised) {
    const Input& input = GetParam();
    EXPECT_EQ(IsIpv6Address(input.text, EngineMatches), input.accepted);
    EXPECT_EQ(IsIpv6Address(input.text, Pcre2Matches), input.accepted);
}

INSTANTIATE_TEST_SUITE_P(NetworkList, Ipv6Address, testing::ValuesIn(kIpv6));

// Every text of up to five characters over the characters that the address
// patterns tell apart, and random longer texts: each pattern gives PCRE2's
// answer, groups included.
TEST(WizardPatterns, AgreeWithPcre2OnEveryShortText) {
    const std::u16string alphabet = u"01259aF:.";
    std::vector<std::u16string> texts{u""};
    for (size_t begin = 0, length = 1; length <= 5; ++length) {
        const size_t end = texts.size();
        for (size_t i = begin; i < end; ++i)
            for (char16_t c : alphabet) texts.push_back(texts[i] + c);
        begin = end;
    }
    std::mt19937 rng(7);
    const std::u16string wide = u"0123456789abcdefABCDEFg:.-_ \u00E9";
    for (int i = 0; i < 3000; ++i) {
        std::u16string text;
        const int length = int(rng() % 49);
        for (int j = 0; j < length; ++j) text.push_back(wide[rng() % wide.size()]);
        texts.push_back(text);
    }
    for (const std::u16string* pattern : kAll) {
        CPatternT expression(pattern->c_str());
        ASSERT_EQ(expression.GetBuildStatus(), RX_BUILD_OK);
        Pcre2Oracle oracle(ForPcre2(*pattern));
        ASSERT_TRUE(oracle.Compiled()) << oracle.Error();
        int differences = 0;
        for (const std::u16string& text : texts) {
            const std::vector<int> ours = regex_test::Ints(expression.MatchExact(text.c_str()));
            const OracleResult theirs = oracle.Match(text);
            if (ours != theirs.record && ++differences <= 5)
                ADD_FAILURE() << Show(*pattern) << " on \"" << Show(text) << "\": engine "
                              << testing::PrintToString(ours) << ", PCRE2 " << testing::PrintToString(theirs.record);
        }
        EXPECT_EQ(differences, 0) << Show(*pattern);
    }
}

}  // namespace
