// The engine against PCRE2's 16-bit interpreter on the syntax both share:
// a table of hand-written patterns over texts, and a seeded generator of
// random patterns and texts. Both compare match or no match and every
// group's span. The places where this engine deliberately reads a pattern
// differently are listed once, below, with what this engine does.
#include <gtest/gtest.h>

#define PCRE2_CODE_UNIT_WIDTH 16
#include <pcre2.h>

#include <chrono>
#include <cstdlib>

#include "pattern_generator.h"
#include "pcre2_oracle.h"
#include "regex_test_util.h"
#include "support/environment_number.h"

using regex_test::Ints;
using regex_test::MatchInts;
using regex_test::OracleResult;
using regex_test::Pcre2Oracle;
using regex_test::Record;
using regex_test::Show;

namespace {

// ------------------------------------------------------------------------
// The deliberate differences: what this engine does, and proof that PCRE2
// (as the oracle is set up, or with its own default where an option of the
// oracle lines the two up) reads the same pattern otherwise. The generator
// writes none of these.
struct Difference {
    const char* what;
    std::u16string pattern;
    std::u16string text;
    std::vector<int> spans;     // this engine's groups; empty: no match
    uint32_t pcreOptionsOff;    // oracle options to drop to see PCRE2's own reading
};

const std::vector<int> kNo;

const Difference kDifferences[] = {
    {"a quantifier at the start of an atom is a character", u"*a", u"*a", {0, 2}, 0},
    {"{,n} repeats zero times", u"a{,3}", u"", {0, 0}, 0},
    {"content of braces that is no number repeats zero times", u"a{x}", u"", {0, 0}, 0},
    {"[:xdigit:] outside brackets is a class", u"[:xdigit:]{2}", u"aF", {0, 2}, 0},
    {"a POSIX name is found by its start", u"[[:alnum:x]]", u"5", {0, 1}, 0},
    {"named groups are numbered after all plain groups", u"(?<n>a)(b)", u"ab", {0, 2, 1, 2, 0, 1}, 0},
    {"a name used twice shares one number", u"(?<n>a)|(?<n>b)", u"b", {0, 1, 0, 1}, 0},
    {"an all-digit name is that group", u"(?<1>a)", u"a", {0, 1, 0, 1}, 0},
    {"\\g<name> is a back-reference", u"(?<n>a|b)\\g<n>", u"ab", kNo, 0},
    {"'$' is the end of the text only (outside multi-line mode)", u"a$\n", u"a\n", kNo, PCRE2_DOLLAR_ENDONLY},
    {"\\s holds space, tab, CR and LF only", u"\\s", u"\v", kNo, 0},
    {"\\s holds no form feed", u"\\s", u"\f", kNo, 0},
    {"\\v is the vertical tab", u"\\v", u"\n", kNo, 0},
    {"\\h and other unknown letters stand for themselves", u"\\h", u"h", {0, 1}, 0},
    {"\\x without digits is the letter x", u"\\xZ", u"xZ", {0, 2}, 0},
    {"\\0 refers to the text matched so far", u"ab\\0", u"abab", {0, 4}, 0},
    {"\\u is a hexadecimal escape", u"\\u0041", u"A", {0, 1}, 0},
    {"\\L...\\E is a lower-cased literal", u"\\LAB\\E", u"ab", {0, 2}, 0},
    {"a \\x{...} value above 0xFFFF matches nothing", u"\\x{10000}|a", u"a", {0, 1}, 0},
    {"a condition naming no group is a look-ahead", u"(?(ab)a.|c)", u"ab", {0, 2}, 0},
    {"the no branch of a condition is a whole alternative", u"(?(1)a|b|c)", u"c", {0, 1}, 0},
    {"a group's own condition is true inside it", u"(a(?(1)b|c))", u"ab", {0, 2, 0, 2}, 0},
    {"a back-reference inside its own group is the text so far", u"(a\\1)", u"aa", {0, 2, 0, 2}, 0},
    {"a back-reference to an unknown name never matches", u"a\\k<nope>?", u"a", {0, 1}, 0},
    {"a recursion to an unknown name matches empty", u"a(?R<nope>)b", u"ab", {0, 2}, 0},
    {"a recursion to a missing group matches empty", u"a(?5)b", u"ab", {0, 2}, 0},
    {"recursion goes at most 100 deep", u"a(?R)?b", std::u16string(102, u'a') + std::u16string(102, u'b'), kNo, 0},
    {"look-behind may have any length", u".*(?<=a+)b", u"aab", {0, 3}, 0},
    {"inside a look-behind the parts match right to left", u".(?<=()(?=\\1))", u"a", kNo, 0},
    {"a group repeated in a look-behind keeps its leftmost repetition", u"..(?<=(\\w){2})", u"ab", {0, 2, 0, 1}, 0},
    {"without (?g), \\G is nothing", u"a\\Gb", u"ab", {0, 2}, 0},
    {"(?x) and other letters are ignored", u"(?x)a b", u"a b", {0, 3}, 0},
    {"(?i) does not widen [:upper:]", u"(?i)[[:upper:]]", u"a", kNo, 0},
    {"an empty repetition is never kept", u"(a|)*", u"aa", {0, 2, 1, 2}, 0},
    {"an empty repetition never ends a possessive loop", u"(?:|a)*+", u"a", {0, 1}, 0},
    {"a fixed count followed by '+' is not possessive", u"(?:a|ab){1}+b", u"abb", {0, 3}, 0},
    {"a range from high to low is empty", u"[z-a]|b", u"b", {0, 1}, 0},
    {"a '-' ends no range", u"[!--]", u"\"", kNo, 0},
    {"a '-' ends no range, after a '-' either", u"[#--]", u"$", kNo, 0},
    {"a maximum below the minimum is the minimum", u"a{3,2}", u"aaa", {0, 3}, 0},
    {"an unclosed group ends with the pattern", u"(ab", u"ab", {0, 2, 0, 2}, 0},
    {"a ')' with no group open is a character", u"a)", u"a)", {0, 2}, 0},
    {"multi-line '$' comes before a carriage return", u"(?m)a$\r", u"a\r", {0, 2}, 0},
    {"\\Z comes before a final CR LF", u"a\\Z\r\n", u"a\r\n", {0, 3}, 0},
    {"the whole text must match", u"b", u"ab", kNo, PCRE2_ANCHORED | PCRE2_ENDANCHORED},
};

void PrintTo(const Difference& difference, std::ostream* os) { *os << difference.what; }

class Deliberate : public testing::TestWithParam<Difference> {};

TEST_P(Deliberate, EngineReadsItItsOwnWay) {
    const Difference& d = GetParam();
    const std::vector<int> ours = MatchInts(d.pattern, d.text);
    EXPECT_EQ(ours, Record(d.spans)) << d.what;
    Pcre2Oracle pcre(d.pattern, d.pcreOptionsOff);
    const OracleResult theirs = pcre.Match(d.text);
    EXPECT_TRUE(theirs.kind == OracleResult::kCompileError || theirs.record != ours)
        << d.what << ": PCRE2 reads it the same way, so it is no difference";
}

INSTANTIATE_TEST_SUITE_P(Differences, Deliberate, testing::ValuesIn(kDifferences),
                         [](const testing::TestParamInfo<Difference>& info) { return "D" + std::to_string(info.index); });

// ------------------------------------------------------------------------
// Hand-written patterns in the shared syntax, each over a few texts.

struct Row {
    std::u16string pattern;
    std::vector<std::u16string> texts;
};

const Row kRows[] = {
    {u"abc", {u"abc", u"ab", u"abcd", u""}},
    {u"a.c", {u"abc", u"a\nc", u"a.c", u"ac", u"a\u4E00c"}},
    {u"(?s)a.c", {u"a\nc", u"abc"}},
    {u"\\d+\\.\\d*", {u"12.", u"12.5", u".5", u"1"}},
    {u"[a-c]+[^a-c]", {u"abcx", u"abc", u"x", u"a\u00E9", u"a\xDC00"}},
    {u"[[:alpha:][:digit:]_]+", {u"ab_9", u"a-b", u"", u"\u00E9"}},
    {u"[[:^space:]]*", {u"ab", u"a b", u"", u"\u3000"}},
    {u"[[:punct:]][[:xdigit:]][[:cntrl:]][[:graph:]][[:print:]][[:blank:]]", {u"-f\t~ \t", u"_G\x01a  ", u"a0\x7Fzz "}},
    {u"[\\w.-]+@[\\w-]+\\.[a-z]{2,3}", {u"a.b-c@x-y.com", u"a@b.c", u"a@b.info", u"@b.com"}},
    {u"(a|b)*c", {u"ababc", u"c", u"abab", u"abcc"}},
    {u"(a|ab)(c|bcd)(d*)", {u"abcd", u"acd", u"abcdd", u"abc"}},
    {u"(a+)(a*)", {u"aaa", u"a"}},
    {u"(a+?)(a*)", {u"aaa"}},
    {u"(a*+)(a)", {u"aaa", u"a"}},
    {u"(a{2,3})(a*)", {u"aaaaa", u"a", u"aa"}},
    {u"(a{2,3}?)(a*)", {u"aaaaa", u"aa"}},
    {u"(a{2,}+)(a?)", {u"aaaa", u"aa"}},
    {u"(?:a{1,2}){2}b", {u"aab", u"aaab", u"aaaab", u"aaaaab", u"ab"}},
    {u"(x)?(?(1)a|b)", {u"xa", u"b", u"xb", u"a"}},
    {u"(?(?=a)ab|cd)", {u"ab", u"cd", u"ad"}},
    {u"(?(?!a)..|a)", {u"a", u"bb", u"ab"}},
    {u"(a)(b)?(?:\\2)?c", {u"abbc", u"ac", u"abc"}},
    {u"(\\w)\\1", {u"aa", u"ab", u"__"}},
    {u"(?i)(a)\\1B", {u"aAb", u"AaB", u"aab"}},
    {u"(?i)(ab)\\1", {u"abAB", u"abBA"}},
    {u"(?:(a)|b)+\\1", {u"aba", u"ba", u"abaa"}},
    {u"((a)|b)+", {u"ab", u"ba", u"bab"}},
    {u"(?=a)\\w+", {u"abc", u"bc"}},
    {u"(?!ab)\\w+", {u"ab", u"ac", u"abc"}},
    {u"\\w+(?<=c)", {u"abc", u"abd"}},
    {u"\\w+(?<!c)", {u"abc", u"abd"}},
    {u".*(?<=a|bc)x", {u"ax", u"bcx", u"cx", u"x"}},
    {u".(?<=(a))b", {u"ab", u"bb"}},
    {u".{3}(?<=\\d{3})", {u"123", u"12a"}},
    {u"(?>a|ab)c", {u"abc", u"ac"}},
    {u"(?>a+)b", {u"aab", u"b"}},
    {u"a++b", {u"aab", u"b"}},
    {u"a?+a", {u"a", u"aa"}},
    {u"(?:ab)*+ab", {u"abab", u"ab"}},
    {u"^\\w+$", {u"abc", u"ab c", u""}},
    {u"\\A\\w+\\z", {u"abc", u"ab\n"}},
    {u"\\bfoo\\b.*", {u"foo bar", u"foobar", u"foo"}},
    {u"a\\B.", {u"ab", u"a-"}},
    {u"(?m)^a$\\n^b$", {u"a\nb", u"a\nbc"}},
    {u"(?m)(^\\w+\\n?)+", {u"ab\ncd\n", u"ab\ncd", u"ab\n\ncd"}},
    {u"a\\Z\\n?", {u"a", u"a\n", u"a\n\n"}},
    {u"(?i)stra\u00DFe", {u"STRA\u00DFE", u"strasse"}},
    {u"(?i:a)b(?-i)c", {u"Abc", u"ABc", u"AbC"}},
    {u"(a(?i)b|c)", {u"aB", u"C", u"Ab"}},
    {u"(?i)[a-z]+[^x]", {u"AbCX", u"abcY", u"ABCx"}},
    {u"[\\x{4E00}-\\x{9FFF}]+", {u"\u4E00\u6587", u"\u4E00a"}},
    {u"\\x41\\x{42}\\t\\n\\e", {u"AB\t\n\x1B"}},
    {u"\\Q(a)\\E+", {u"(a)))", u"(a)", u"(a"}},
    {u"(?<year>\\d{4})-(?<month>\\d{2})", {u"2024-05", u"24-05"}},
    {u"(a)(?<x>b)\\k<x>\\1", {u"abba", u"abab"}},
    {u"(?<x>a|b)\\k<x>", {u"aa", u"ab"}},
    {u"(?:(?:a|b)c)+", {u"acbc", u"acb"}},
    {u"a(?:[])*b", {u"ab", u"axb"}},
    {u"[^]", {u"x", u"\n", u""}},
    {u"[a\\]\\-^]+", {u"a]-^", u"b"}},
    {u"[-a][a-]", {u"-a", u"a-", u"ab"}},
    {u"[--/][^--/]", {u".0", u"-/", u"/.", u"0a"}},
    {u"[a-c--/]+[b-d-z]", {u"a.-", u"/e", u"b-z"}},
    {u"[!-\\-][\\d-][-\\s]", {u"\"--", u"+7 ", u"-a\n", u".--"}},
    {u"(\\d+)(?:px|em)", {u"12px", u"12em", u"12"}},
    {u"(a|ab|abc)+$", {u"abcab", u"abcb"}},
    {u"(?:a|b)*?c", {u"abc", u"ab"}},
    {u"(?:a|b){2,}?c", {u"abc", u"ac"}},
    {u"\\S+\\s\\S+", {u"a b", u"a\tb", u"ab"}},
    {u"(?i)[[:alpha:]]+", {u"aB", u"a1"}},
    {u"(?:a|(b))+(?(1)c|d)", {u"abc", u"aad", u"abd"}},
    {u"(a|b)(?:\\1|c)*", {u"aac", u"abc", u"bcb"}},
    {u"(\\d)(?:\\.(\\d))?(?(2)e|f)", {u"1.2e", u"1f", u"1.2f"}},
    {u"(?=(\\w+))\\1:", {u"abc:", u"ab"}},
};

void PrintTo(const Row& row, std::ostream* os) { *os << Show(row.pattern); }

class Shared : public testing::TestWithParam<Row> {};

TEST_P(Shared, SameGroupsAsPcre2) {
    const Row& row = GetParam();
    Pcre2Oracle pcre(row.pattern);
    ASSERT_TRUE(pcre.Compiled()) << pcre.Error();
    CPatternT expression;
    for (const std::u16string& text : row.texts) {
        const OracleResult theirs = pcre.Match(text);
        ASSERT_NE(theirs.kind, OracleResult::kLimit);
        EXPECT_EQ(MatchInts(expression, row.pattern, text), theirs.record)
            << Show(row.pattern) << " on \"" << Show(text) << "\"";
    }
}

INSTANTIATE_TEST_SUITE_P(Table, Shared, testing::ValuesIn(kRows),
                         [](const testing::TestParamInfo<Row>& info) { return "P" + std::to_string(info.index); });

// ------------------------------------------------------------------------
// Random patterns and texts from a fixed seed. REGEX_DIFF_SEED and
// REGEX_DIFF_PATTERNS run other and longer series by hand.

TEST(Generated, SameOutcomeAndGroupsAsPcre2) {
    const uint32_t seed = uint32_t(tam::test::EnvironmentNumber("REGEX_DIFF_SEED", 20240611));
    const unsigned long patterns = tam::test::EnvironmentNumber("REGEX_DIFF_PATTERNS", 6000);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(tam::test::EnvironmentNumber("REGEX_DIFF_SECONDS", 20));
    regex_test::PatternGenerator generator(seed);
    unsigned long compared = 0, matched = 0, skipped = 0, failures = 0;
    unsigned long done = 0;
    for (; done < patterns && failures < 10 && std::chrono::steady_clock::now() < deadline; ++done) {
        const regex_test::GeneratedPattern generated = generator.Next();
        Pcre2Oracle pcre(generated.pcre);
        ASSERT_TRUE(pcre.Compiled()) << "the generator wrote a pattern PCRE2 refuses: " << Show(generated.pcre)
                                     << " (" << pcre.Error() << ")";
        CPatternT expression;
        expression.Build(generated.ours.data(), int(generated.ours.size()));
        ASSERT_EQ(expression.GetBuildStatus(), RX_BUILD_OK) << Show(generated.ours);
        expression.SetStepLimit(1000000);
        for (const std::u16string& text : generated.texts) {
            const OracleResult theirs = pcre.Match(text, 1000000);
            const std::vector<int> ours = Ints(expression.MatchExactCore(text.data(), int(text.size())));
            if (theirs.kind == OracleResult::kLimit || expression.GetLastRunResult() == RX_RUN_STEP_LIMIT) {
                ++skipped;
                continue;
            }
            ++compared;
            bool same = ours.empty() == theirs.record.empty();
            if (same && !ours.empty()) {
                matched++;
                if (generated.compareSpans) {
                    same = ours.size() == theirs.record.size() && ours.size() == 2 * generated.oursToPcre.size() + 2;
                    for (size_t group = 0; same && group < generated.oursToPcre.size(); ++group) {
                        const size_t other = size_t(generated.oursToPcre[group]);
                        same = ours[2 + 2 * group] == theirs.record[2 + 2 * other] &&
                               ours[3 + 2 * group] == theirs.record[3 + 2 * other];
                    }
                }
            }
            if (!same) {
                ++failures;
                ADD_FAILURE() << "pattern " << Show(generated.ours) << " (PCRE2: " << Show(generated.pcre) << ") on \""
                              << Show(text) << "\": engine " << testing::PrintToString(ours) << ", PCRE2 "
                              << testing::PrintToString(theirs.record);
            }
        }
    }
    std::printf("seed %u: %lu patterns, %lu texts compared (%lu matched), %lu skipped at a limit\n", unsigned(seed),
                done, compared, matched, skipped);
    // The comparison means something only when it covers matches and
    // failures alike and nearly every run ends within the limits.
    EXPECT_GT(done, 500u);
    EXPECT_GT(matched, compared / 10);
    EXPECT_LT(matched, compared - compared / 10);
    EXPECT_LT(skipped, compared / 100 + 1);
}

}  // namespace
