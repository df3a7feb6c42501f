// The engine's own rules, as tables of (pattern, text, expected groups):
// the edge cases of the syntax and of the matcher, including the places
// where this engine deliberately differs from other engines.
#include <gtest/gtest.h>

#include "regex_test_util.h"

using regex_test::Ints;
using regex_test::MatchInts;
using regex_test::Record;
using regex_test::Show;

namespace {

struct Case {
    const char16_t* pattern;
    const char16_t* text;
    std::vector<int> spans;  // start, end of groups 0..N; empty: no match
};

void PrintTo(const Case& c, std::ostream* os) { *os << Show(c.pattern) << " on \"" << Show(c.text) << "\""; }

class Table : public testing::TestWithParam<Case> {};

TEST_P(Table, GroupsAre) {
    const Case& c = GetParam();
    CPatternT expression(c.pattern);
    RegexMatch match = expression.MatchExact(c.text);
    EXPECT_EQ(Ints(match), Record(c.spans));
    EXPECT_EQ(expression.GetLastRunResult(), c.spans.empty() ? RX_RUN_NO_MATCH : RX_RUN_MATCHED);
}

const std::vector<int> kNo;

// Syntax: how the compiler reads each construct.
const Case kSyntax[] = {
    // A standalone POSIX class is a class of its own.
    {u"([:xdigit:]{1,4})", u"aF09", {0, 4, 0, 4}},
    {u"([:xdigit:]{1,4})", u"aF09b", kNo},
    {u"([:xdigit:]{1,4})", u"g", kNo},
    {u"[:^digit:]", u"x", {0, 1}},
    {u"[:^digit:]", u"7", kNo},
    {u"[:alnum:x]", u"5", {0, 1}},   // the name is found by its start
    {u"[:alpha]", u"p", {0, 1}},     // no closing colon: an ordinary class of ':alph'
    {u"[:alpha]", u":", {0, 1}},
    {u"[:alpha]", u"x", kNo},
    {u"[[:foo:]]", u"f", {0, 1}},    // unknown name: an ordinary nested class
    {u"[[:foo:]]", u"]", kNo},
    // Quantifiers.
    {u"a{2}?", u"aa", {0, 2}},
    {u"a{2}?", u"a", kNo},
    {u"a{2}+", u"aa", {0, 2}},
    {u"a{,3}", u"", {0, 0}},
    {u"a{,3}", u"a", kNo},
    {u"a{x}", u"", {0, 0}},
    {u"a{3,1}", u"aaa", {0, 3}},
    {u"a{3,1}", u"aaaa", kNo},
    {u"a{ 2 , 3 }", u"aaa", {0, 3}},
    {u"a{2,}", u"aaaaa", {0, 5}},
    {u"a{0}b", u"b", {0, 1}},
    {u"(a){0}b", u"b", {0, 1, -1, -1}},
    {u"ab*", u"abbb", {0, 4}},
    {u"ab*", u"abab", kNo},
    {u"*a", u"*a", {0, 2}},           // a quantifier that starts an atom is a character
    {u"{3}", u"{3}", {0, 3}},
    {u"a**", u"aa*", {0, 3}},
    {u"a**", u"aa", kNo},
    {u"a{2", u"a{2", {0, 3}},         // no closing brace: a character
    // Modifiers.
    {u"(?i)abc", u"ABC", {0, 3}},
    {u"(?i:a)b", u"Ab", {0, 2}},
    {u"(?i:a)b", u"AB", kNo},
    {u"(a(?i)b|c)", u"C", {0, 1, 0, 1}},  // a modifier reaches the later alternatives
    {u"(?i)a(?-i)b", u"Ab", {0, 2}},
    {u"(?i)a(?-i)b", u"AB", kNo},
    {u"(?I)x", u"X", {0, 1}},         // letters of either case
    {u"(?x)a b", u"a b", {0, 3}},     // other letters are ignored
    {u"(?s).", u"\n", {0, 1}},
    {u".", u"\n", kNo},
    {u"(?i)[a-c]", u"B", {0, 1}},
    {u"(?i)[^a]", u"A", kNo},
    {u"(?i)[Z-a]", u"z", {0, 1}},     // the A-Z part gains z, the a-z part gains A
    {u"(?i)[Z-a]", u"A", {0, 1}},
    {u"(?i)[Z-a]", u"B", kNo},
    // Escapes.
    {u"\\x41", u"A", {0, 1}},
    {u"\\u0041", u"A", {0, 1}},
    {u"\\x{41}", u"A", {0, 1}},
    {u"\\u{4e00}", u"\u4E00", {0, 1}},
    {u"\\xZ", u"xZ", {0, 2}},
    {u"\\x", u"x", {0, 1}},
    {u"\\x{41zz}B", u"AB", {0, 2}},   // the escape runs to its closing brace
    {u"\\a\\e\\f\\n\\r\\t\\v", u"\a\x1B\f\n\r\t\v", {0, 7}},
    {u"\\h\\p\\K", u"hpK", {0, 3}},  // other letters stand for themselves
    {u"a\\", u"a\\", {0, 2}},
    {u"\\Q.*\\E+", u".**", {0, 3}},
    {u"\\Q.*\\E", u"ab", kNo},
    {u"\\LAbC\\E", u"abc", {0, 3}},
    {u"\\Uab\\E", u"AB", {0, 2}},
    {u"\\L\\UaB\\E", u"\\uab", {0, 4}},  // inside \L...\E every character is literal
    {u"a(?#note)b", u"ab", {0, 2}},
    // Classes.
    {u"[]", u"a", kNo},
    {u"[^]", u"\n", {0, 1}},
    {u"[]a]", u"a]", kNo},            // an empty class, then "a]"
    {u"[a-]", u"-", {0, 1}},
    {u"[-a]", u"-", {0, 1}},
    {u"[z-a]", u"m", kNo},
    {u"[\\b]", u"\b", {0, 1}},
    {u"[.]", u"x", kNo},
    {u"[.]", u".", {0, 1}},
    {u"[\\d-z]", u"-", {0, 1}},
    {u"[\\d-z]", u"y", kNo},
    {u"[a\\]]", u"]", {0, 1}},
    {u"[ab", u"b", {0, 1}},           // an unclosed class takes the rest
    {u"[^[:digit:]x]", u"x", kNo},
    {u"[^[:digit:]x]", u"y", {0, 1}},
    {u"\\s", u"\t", {0, 1}},
    {u"\\s", u"\f", kNo},             // forwards \s is space, tab, CR and LF
    {u"\\s", u"\v", kNo},
    {u".(?<=\\s)", u"\f", {0, 1}},    // in a look-behind it adds FF and VT
    {u"\\w\\W\\d\\D\\S", u"_!7x-", {0, 5}},
    // Anchors.
    {u"a$", u"a", {0, 1}},
    {u"a$\n", u"a\n", kNo},           // '$' is the end of the text only
    {u"(?m)a$\n^b", u"a\nb", {0, 3}},
    {u"(?m)a$\r\n^b", u"a\r\nb", {0, 4}},
    {u"(?m)a\r^b", u"a\rb", {0, 3}},
    {u"a\\Z\n", u"a\n", {0, 2}},
    {u"a\\Z\r\n", u"a\r\n", {0, 3}},
    {u"a\\Z\n\n", u"a\n\n", kNo},
    {u"\\Aa\\z", u"a", {0, 1}},
    {u"a\\bb", u"ab", kNo},
    {u"a\\b-", u"a-", {0, 2}},
    {u"a\\Bb", u"ab", {0, 2}},
    {u"\u00E9\\b", u"\u00E9", kNo},   // word characters are ASCII only
    {u"a\\Gb", u"ab", {0, 2}},        // \G without (?g) is nothing
    {u"(?g)a\\Gb", u"ab", kNo},
    {u"(?g)\\Ga", u"a", {0, 1}},
    // Groups and numbering.
    {u"(a)(?<n>b)\\k<n>\\2", u"abbb", {0, 4, 0, 1, 1, 2}},
    {u"(a)(?<n>b)(c)", u"abc", {0, 3, 0, 1, 2, 3, 1, 2}},  // named groups come after the plain ones
    {u"(?<n>a)|(?<n>b)", u"b", {0, 1, 0, 1}},               // a name used twice shares one number
    {u"(?'n'a)(?P<m>b)(?P'o'c)\\g<o>\\k'm'", u"abccb", {0, 5, 0, 1, 1, 2, 2, 3}},
    {u"(?<2>a)(b)", u"ab", {0, 2, 1, 2, 0, 1}},             // an all-digit name is that group
    {u"(?<>a)\\k<>", u"aa", {0, 2, 0, 1}},                  // even an empty name names a group
    {u"(a)\\k<1>\\g1", u"aaa", {0, 3, 0, 1}},
    {u"a\\k<nope>", u"a", kNo},        // an unknown name never matches
    {u"\\k<nope>?a", u"a", {0, 1}},
    {u"(a)\\1\\12", u"aa", kNo},       // up to three digits: group 12 does not exist
    {u"ab\\0", u"abab", {0, 4}},       // \0 is the text matched so far
    {u"(a\\1)", u"aa", {0, 2, 0, 2}},  // inside its own group: start to here
    {u"(?:(a)|b)+", u"ab", {0, 2, 0, 1}},
    {u"(a|)*", u"aa", {0, 2, 1, 2}},   // an empty repetition is never kept
    {u"(a)?b\\1", u"b", kNo},
    {u"(ab", u"ab", {0, 2, 0, 2}},     // an unclosed group ends with the pattern
    {u"a)b", u"a)b", {0, 3}},          // a ')' with no group open is a character
    {u"a|b)", u"b)", {0, 2}},
    // Look-around, atomic and possessive parts.
    {u"^(?=a)ab$", u"ab", {0, 2}},
    {u"(?<!x)y", u"y", {0, 1}},
    {u"a(?<!a)", u"a", kNo},
    {u".*(?<=a+)b", u"aab", {0, 3}},   // look-behind of any length
    {u"ab(?<=(ab))", u"ab", {0, 2, 0, 2}},
    {u"(?=(a))a", u"a", {0, 1, 0, 1}}, // captures of a positive look-ahead stay
    {u"(?!(a))b", u"b", {0, 1, -1, -1}},
    {u"a*+a", u"aaa", kNo},
    {u"(?>a|ab)c", u"abc", kNo},
    {u"(?>a|ab)bc", u"abc", {0, 3}},
    {u"(a+?)(a*)", u"aaa", {0, 3, 0, 1, 1, 3}},
    {u"(a|ab)(c|bcd)(d*)", u"abcd", {0, 4, 0, 1, 1, 4, 4, 4}},
    {u"(?i)(a)\\1", u"aA", {0, 2, 0, 1}},
    // Conditions.
    {u"(x)?(?(1)a|b|c)", u"c", {0, 1, -1, -1}},  // the no branch is a whole alternative
    {u"(x)?(?(1)a|b|c)", u"xa", {0, 2, 0, 1}},
    {u"(?(ab)a.|c)", u"ab", {0, 2}},             // an unknown name is a look-ahead
    {u"(?(ab)a.|c)", u"c", {0, 1}},
    {u"(?<n>x)?(?(n)y|z)", u"xy", {0, 2, 0, 1}},
    {u"(?<n>x)?(?(n)y|z)", u"z", {0, 1, -1, -1}},
    {u"(?<n>x)?(?(n)y|z)", u"xz", kNo},
    {u"(a(?(1)b|c))", u"ab", {0, 2, 0, 2}},      // its own group counts as set
    {u"(?(?=a)ab|cd)", u"cd", {0, 2}},
    {u"(?(?<=a)b|c)", u"c", {0, 1}},
    {u"(?(2)a|b)", u"b", {0, 1}},                // a group that does not exist
    // Recursion.
    {u"a(?R)?b", u"aabb", {0, 4}},
    {u"(a(?1)?b)c", u"aabbc", {0, 5, 0, 4}},
    {u"(?&x)a", u"&xa", {0, 3}},                // no "(?&" construct: a group from '&'
    {u"a(?R<nope>)b", u"ab", {0, 2}},            // an unknown target matches empty
    {u"a(?5)b", u"ab", {0, 2}},
};

INSTANTIATE_TEST_SUITE_P(Syntax, Table, testing::ValuesIn(kSyntax));

// A '-' in a class marks a range between a character, which may itself be a
// '-', and an ordinary character; anywhere else it is a character.
const Case kHyphens[] = {
    {u"[--/]", u".", {0, 1}},
    {u"[--/]", u"0", kNo},
    {u"[^--/]", u".", kNo},
    {u"[^--/]", u"0", {0, 1}},
    {u"[a-c--/]", u".", {0, 1}},  // a range right after a range
    {u"[b-d-z]", u"-", {0, 1}},   // a '-' right after a range is a character
    {u"[b-d-z]", u"e", kNo},
    {u"[!--]", u"-", {0, 1}},     // a '-' ends no range: '!' and '-'
    {u"[!--]", u"\"", kNo},
    {u"[#--]", u"#", {0, 1}},
    {u"[#--]", u"$", kNo},
    {u"[!-\\-]", u"\"", {0, 1}},  // an escaped '-' does
    {u"[\\d-]", u"-", {0, 1}},
    {u"[-\\d]", u"-", {0, 1}},
};

INSTANTIATE_TEST_SUITE_P(Hyphens, Table, testing::ValuesIn(kHyphens));

// The matcher finds every way to match: repetitions that once pruned end
// positions, and whole-text matching that gave up after two retries ending
// at the start, now find these matches.
const Case kCompleteBacktracking[] = {
    {u"(?:aaa|a)*aab", u"aaaab", {0, 5}},
    {u"(?:aaa|a){0,2}aab", u"aaaab", {0, 5}},
    {u"(?:b{1,3}|ba){2,5}", u"bbabba", {0, 6}},
    {u"(?:b||ba|bb){2,4}", u"bbbbab", {0, 6}},
    {u"a?" u"?(?:||)", u"a", {0, 1}},
    {u"(?:|||a)", u"a", {0, 1}},
    {u"(a*)*b", u"aaac", kNo},
    {u"(a*)*b", u"aaacb", kNo},
    {u"(a*)*b", u"aaab", {0, 4, 0, 3}},
    {u"(a|ab)*c", u"ababac", {0, 6, 4, 5}},
    {u"(?:a|b)*?b", u"aab", {0, 3}},
    {u"(a+)+b", u"aab", {0, 3, 0, 2}},
};

INSTANTIATE_TEST_SUITE_P(CompleteBacktracking, Table, testing::ValuesIn(kCompleteBacktracking));

// Classes and case folding use the engine's ASCII tables on 16-bit units:
// nothing above 127 is in a POSIX class or folds, and a \x{...} value above
// 0xFFFF is no code unit: it matches nothing, and as the top of a range it
// stands for 0xFFFF.
const Case kWideCharacters[] = {
    {u"[[:alpha:]]", u"\u4E00", kNo},
    {u"[[:alpha:]]", u"\u00E9", kNo},
    {u"[[:^alpha:]]", u"\u4E00", {0, 1}},
    {u"[[:print:]]", u"\u00A0", kNo},
    {u"[[:space:]]", u"\u3000", kNo},
    {u"[[:upper:]]", u"\u00C9", kNo},
    {u"(?i)\u00E9", u"\u00C9", kNo},
    {u"(?i)k", u"\u212A", kNo},        // Kelvin sign
    {u"(?i)[a-z]", u"\u017F", kNo},    // long s
    {u"(?i)S", u"\u017F", kNo},
    {u"\\LA\u00C9\\E", u"a\u00C9", {0, 2}},
    {u"(?i)(\u00E9)\\1", u"\u00E9\u00C9", kNo},
    {u"\\w", u"\u00B2", kNo},
    {u"\\d", u"\u0661", kNo},
    {u"\\x{10000}", u"\xD800\xDC00", kNo},
    {u"\\x{10000}?a", u"a", {0, 1}},
    {u"[\\x{10000}]", u"\xD800", kNo},
    {u"[\\x{10000}-\\x{10FFFF}]", u"\xFFFF", kNo},
    {u"[a-\\x{10FFFF}]", u"\xFFFF", {0, 1}},
    {u"[^\\x{10000}]", u"\xDC00", {0, 1}},
    {u"\\x{FFFFFFFF}|b", u"b", {0, 1}},
    {u"[\\x{D800}-\\x{DBFF}][\\x{DC00}-\\x{DFFF}]", u"\xD83D\xDDA8", {0, 2}},  // surrogates are plain units
};

INSTANTIATE_TEST_SUITE_P(WideCharacters, Table, testing::ValuesIn(kWideCharacters));

TEST(MatchRecord, AlternativeGroupsLayout) {
    CPatternT expression(u"(a)|(b)");
    RegexMatch match = expression.MatchExact(u"b");
    EXPECT_EQ(Ints(match), (std::vector<int>{1, 2, 0, 1, -1, -1, 0, 1}));
    EXPECT_TRUE(match.IsMatch());
    EXPECT_EQ(match.GetGroupCount(), 2);
    EXPECT_EQ(match.GetGroupStart(1), -1);
    EXPECT_EQ(match.GetGroupEnd(2), 1);
    EXPECT_EQ(match.GetGroupStart(3), -1);

    RegexMatch copy;
    copy.Add(7);
    copy.Assign(match);
    EXPECT_EQ(Ints(copy), Ints(match));
    EXPECT_FALSE(expression.MatchExact(u"ab").IsMatch());
    EXPECT_EQ(expression.MatchExact(u"ab").GetSize(), 0);
}

TEST(MatchRecord, NullAndEmptyTexts) {
    CPatternT digits(u"^[0-9]{1,15}$");
    EXPECT_FALSE(digits.MatchExact(nullptr).IsMatch());
    EXPECT_FALSE(digits.MatchExact(u"").IsMatch());
    EXPECT_TRUE(digits.MatchExact(u"123").IsMatch());
    EXPECT_TRUE(digits.MatchExact(u"123456789012345").IsMatch());
    EXPECT_FALSE(digits.MatchExact(u"1234567890123456").IsMatch());

    CPatternT empty(u"");
    EXPECT_EQ(Ints(empty.MatchExact(nullptr)), (std::vector<int>{1, 0, 0, 0}));
    EXPECT_FALSE(empty.MatchExact(u"a").IsMatch());
    CPatternT nullPattern(nullptr);
    EXPECT_EQ(Ints(nullPattern.MatchExact(u"")), (std::vector<int>{1, 0, 0, 0}));
}

TEST(MatchRecord, TextsWithNulUnits) {
    EXPECT_EQ(MatchInts(u"a\\x00b", std::u16string(u"a\0b", 3)), Record({0, 3}));
    EXPECT_EQ(MatchInts(std::u16string(u"a\0b", 3), std::u16string(u"a\0b", 3)), Record({0, 3}));
    EXPECT_EQ(MatchInts(u"[^a]", std::u16string(1, u'\0')), Record({0, 1}));
}

// A recursion construct that would nest more than 100 deep fails that way
// instead of going deeper: a(?R)?b takes the outer pair and 100 nested ones.
TEST(Recursion, NestsAtMostAHundredDeep) {
    CPatternT expression(u"a(?R)?b");
    for (int pairs : {1, 50, 101, 102, 150}) {
        const std::u16string text = std::u16string(pairs, u'a') + std::u16string(pairs, u'b');
        EXPECT_EQ(expression.MatchExact(text.c_str()).IsMatch(), pairs <= 101) << pairs << " pairs";
        EXPECT_FALSE(expression.LastRunReachedDepthLimit());
    }
}

// Compile empties every list of the previous expression: a name of the old
// pattern must not resolve to the old (deleted) group.
TEST(Compile, ReuseForgetsThePreviousPattern) {
    CPatternT expression(u"(?<n>a)\\k<n>(?(n)x)(?R<n>)?");
    EXPECT_TRUE(expression.MatchExact(u"aax").IsMatch());
    expression.Compile(u"(?<m>b)\\k<n>");
    EXPECT_FALSE(expression.MatchExact(u"bb").IsMatch());
    EXPECT_FALSE(expression.MatchExact(u"ba").IsMatch());
    EXPECT_EQ(expression.GetGroupCount(), 1);
    expression.Compile(u"(?<m>b)(?(n)c|d)(?R<n>)\\k<m>");
    EXPECT_EQ(Ints(expression.MatchExact(u"bdb")), Record({0, 3, 0, 1}));
    expression.Compile(u"(x)(y)(z)");
    expression.Compile(u"q");
    EXPECT_EQ(Ints(expression.MatchExact(u"q")), Record({0, 1}));
}

TEST(Build, ReportsFallbacks) {
    struct StatusCase {
        const char16_t* pattern;
        int status;
    };
    const StatusCase cases[] = {
        {u"^([1-9]|[1-9]\\d|1\\d{2}|2[0-4]\\d|25[0-5])(\\.(\\d|[1-9]\\d|1\\d{2}|2[0-4]\\d|25[0-5])){3}$", RX_BUILD_OK},
        {u"((([:xdigit:]{1,4}):){1,6}(:([:xdigit:]{1,4})){1,6})", RX_BUILD_OK},
        {u"a{2,2}b{3,}", RX_BUILD_OK},
        {u"a{,3}", RX_BUILD_FALLBACK},
        {u"a{3,2}", RX_BUILD_FALLBACK},
        {u"a{1234567}", RX_BUILD_FALLBACK},
        {u"(ab", RX_BUILD_FALLBACK},
        {u"[ab", RX_BUILD_FALLBACK},
        {u"\\k", RX_BUILD_FALLBACK},
        {u"(?|a)", RX_BUILD_FALLBACK},
        {u"(?<abc", RX_BUILD_FALLBACK},
        {u"a)", RX_BUILD_FALLBACK},
        {u"*a", RX_BUILD_FALLBACK},
    };
    for (const StatusCase& c : cases) {
        CPatternT expression(c.pattern);
        EXPECT_EQ(expression.GetBuildStatus(), c.status) << Show(c.pattern);
    }
}

TEST(Build, RightToLeftTopMatchesFromTheEnd) {
    CPatternT expression;
    const std::u16string pattern = u"(a+)(b)";
    expression.Build(pattern.data(), int(pattern.size()), RX_RIGHT_TO_LEFT);
    EXPECT_EQ(Ints(expression.MatchExact(u"aab")), Record({0, 3, 0, 2, 2, 3}));
    EXPECT_FALSE(expression.MatchExact(u"aabb").IsMatch());
}

TEST(Build, ExtendedModeSkipsBlanksAndComments) {
    CPatternT expression;
    const std::u16string pattern = u"a b # comment\n c [ ]";
    expression.Build(pattern.data(), int(pattern.size()), RX_EXTENDED);
    EXPECT_EQ(Ints(expression.MatchExact(u"abc ")), Record({0, 4}));
}

}  // namespace
