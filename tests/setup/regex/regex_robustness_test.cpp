// No input may crash the engine: random bytes as patterns and texts, deep
// nesting, long texts, runaway patterns and failing allocations all end in
// a clean result.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <new>
#include <random>

#include "machine/debuglog.h"
#include "regex_test_util.h"
#include "support/environment_number.h"

using regex_test::Ints;
using regex_test::Record;
using regex_test::Show;

// ------------------------------------------------------------------------
// Allocation failures on demand: while armed, the allocation with the given
// number fails.
namespace {
long g_allocations = 0;
long g_failAt = -1;

void* Allocate(size_t size) {
    if (g_failAt >= 0 && g_allocations++ == g_failAt) throw std::bad_alloc();
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
}  // namespace

void* operator new(size_t size) { return Allocate(size); }
void* operator new[](size_t size) { return Allocate(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }
void operator delete[](void* p, size_t) noexcept { std::free(p); }

namespace {

// What holds for any result: no match, or 1, N and spans of groups 0..N in
// the text with start <= end, group 0 spanning the whole text.
void ExpectWellFormed(const CPatternT& expression, const std::vector<int>& record, int length,
                      const std::u16string& pattern) {
    const RegexRunResult run = expression.GetLastRunResult();
    if (record.empty()) {
        EXPECT_NE(run, RX_RUN_MATCHED) << Show(pattern);
        return;
    }
    ASSERT_EQ(run, RX_RUN_MATCHED) << Show(pattern);
    ASSERT_GE(record.size(), 4u);
    EXPECT_EQ(record[0], 1);
    EXPECT_EQ(record[1], expression.GetGroupCount());
    ASSERT_EQ(record.size(), size_t(2 * record[1] + 4)) << Show(pattern);
    EXPECT_EQ(record[2], 0);
    EXPECT_EQ(record[3], length);
    for (size_t i = 4; i < record.size(); i += 2) {
        const bool unset = record[i] == -1 && record[i + 1] == -1;
        EXPECT_TRUE(unset || (0 <= record[i] && record[i] <= record[i + 1] && record[i + 1] <= length))
            << Show(pattern) << " group " << (i - 2) / 2;
    }
}

// Patterns from fragments of syntax, and from raw 16-bit units.
TEST(Fuzz, AnyPatternCompilesAndMatchesCleanly) {
    static const char16_t* const kFragments[] = {
        u"(", u")", u"(?", u"(?:", u"(?<", u"(?'", u"(?P<", u"(?(", u"(?=", u"(?!", u"(?<=", u"(?<!", u"(?>",
        u"(?R)", u"(?1)", u"(?R<n>)", u"(?i)", u"(?-m", u"(?#", u"[", u"]", u"[^", u"[:", u":]", u"[:alpha:]",
        u"[:^xdigit:]", u"-", u"{", u"}", u"{2}", u"{1,", u"{,3}", u"*", u"+", u"?", u"|", u"^", u"$", u".",
        u"\\", u"\\1", u"\\0", u"\\k<n>", u"\\g'", u"\\k", u"\\x", u"\\x{", u"\\x{10FFFF}", u"\\u12", u"\\Q",
        u"\\E", u"\\L", u"\\U", u"\\b", u"\\B", u"\\G", u"\\A", u"\\z", u"\\Z", u"\\d", u"\\W", u"\\s", u"n",
        u">", u"'", u"a", u"b", u"1", u"0", u"P", u"R", u":", u"=", u"!", u"#", u"\u4E00", u"\xD800", u"(?<>",
        u"\\k<>", u"(?P'", u"(?2)", u"(?R'n')", u"(?(1)", u"(?(n)", u"(?s-i:", u"(?x)", u"{0}", u"{999999}", u"+?",
        u"*+", u"??", u"\\2", u"\\012", u"[\\b]", u"[a-", u"-]", u"\\p", u" ", u"\n",
    };
    const int fragmentCount = int(sizeof(kFragments) / sizeof(kFragments[0]));
    const uint32_t seed = uint32_t(tam::test::EnvironmentNumber("REGEX_FUZZ_SEED", 99));
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(tam::test::EnvironmentNumber("REGEX_FUZZ_MS", 2500));
    std::mt19937 rng(seed);
    const std::u16string textChars = u"ab1-:\n(){}[]\\\u4E00";
    CPatternT expression;
    expression.SetStepLimit(20000);
    const unsigned long most = tam::test::EnvironmentNumber("REGEX_FUZZ_PATTERNS", 200000);
    unsigned long patterns = 0, matches = 0;
    for (; patterns < most && std::chrono::steady_clock::now() < deadline; ++patterns) {
        std::u16string pattern;
        const int fragments = int(rng() % 24);
        for (int i = 0; i < fragments; ++i) {
            if (rng() % 8 == 0) {
                pattern.push_back(char16_t(rng()));  // any unit, NUL included
            } else {
                pattern += kFragments[rng() % fragmentCount];
            }
        }
        expression.Clear();
        expression.Build(pattern.data(), int(pattern.size()));
        for (int t = 0; t < 3; ++t) {
            std::u16string text;
            const int length = int(rng() % 12);
            for (int i = 0; i < length; ++i) text.push_back(textChars[rng() % textChars.size()]);
            const std::vector<int> record = Ints(expression.MatchExactCore(text.data(), int(text.size())));
            ExpectWellFormed(expression, record, int(text.size()), pattern);
            if (!record.empty()) ++matches;
            if (HasFailure()) return;
        }
    }
    std::printf("seed %u: %lu patterns, %lu matches\n", unsigned(seed), patterns, matches);
    EXPECT_GT(patterns, 1000u);
    EXPECT_GT(matches, 0u);
}

// A long text against a repeated group: the repetition is a loop over the
// backtracking stack, not a recursion, so the call stack stays flat.
TEST(LongText, RepeatedGroupOverAHundredThousandCharacters) {
    std::u16string text;
    for (int i = 0; i < 50000; ++i) text += u"ab";
    text.back() = u'c';
    CPatternT expression(u"(a|b)*c");
    RegexMatch match = expression.MatchExact(text.c_str());
    EXPECT_EQ(Ints(match), Record({0, 100000, 99998, 99999}));
    text.back() = u'b';
    EXPECT_FALSE(expression.MatchExact(text.c_str()).IsMatch());
    EXPECT_EQ(expression.GetLastRunResult(), RX_RUN_NO_MATCH);

    CPatternT lazy(u"(?:a|b)*?(c)");
    text.back() = u'c';
    EXPECT_EQ(Ints(lazy.MatchExact(text.c_str())), Record({0, 100000, 99999, 100000}));
}

struct Nesting {
    const char* what;
    std::u16string open;
    std::u16string close;
    std::u16string before;  // around the nested part in the check within the limit
    std::u16string after;
    bool matchesA;          // whether that check then matches "a"
};

void PrintTo(const Nesting& nesting, std::ostream* os) { *os << nesting.what; }

class DeepNesting : public testing::TestWithParam<Nesting> {};

// Ten thousand levels compile to nothing (no match, reported in the debug
// output); nesting well within the limit still works.
TEST_P(DeepNesting, FailsCleanlyBeyondTheLimit) {
    const Nesting& nesting = GetParam();
    std::u16string deep;
    for (int i = 0; i < 10000; ++i) deep += nesting.open;
    deep += u"a";
    for (int i = 0; i < 10000; ++i) deep += nesting.close;
    w32::DebugLogClear();
    CPatternT expression(deep.c_str());
    EXPECT_EQ(expression.GetBuildStatus() & RX_BUILD_TOO_DEEP, RX_BUILD_TOO_DEEP);
    EXPECT_FALSE(expression.MatchExact(u"a").IsMatch());
    EXPECT_EQ(expression.GetLastRunResult(), RX_RUN_NOT_COMPILED);
    EXPECT_NE(w32::DebugLogText().find("CPatternBuilderT::Build: pattern nested too deeply"), std::string::npos);

    std::u16string allowed = nesting.before;
    const int levels = CPatternBuilderT::kNestingLimit / 2;
    for (int i = 0; i < levels; ++i) allowed += nesting.open;
    allowed += u"a";
    for (int i = 0; i < levels; ++i) allowed += nesting.close;
    allowed += nesting.after;
    expression.Compile(allowed.c_str());
    EXPECT_EQ(expression.GetBuildStatus() & RX_BUILD_TOO_DEEP, 0);
    const bool matched = expression.MatchExact(u"a").IsMatch();
    if (nesting.matchesA) {
        EXPECT_TRUE(matched);
    }
    EXPECT_EQ(expression.GetLastRunResult(), matched ? RX_RUN_MATCHED : RX_RUN_NO_MATCH);
}

const Nesting kNestings[] = {
    {"groups", u"(", u")", u"", u"", true},
    {"groups without capture", u"(?:", u")", u"", u"", true},
    {"look-aheads", u"(?=", u")", u"", u"a", true},
    {"look-behinds", u"(?<=", u")", u"a", u"", true},
    {"atomic groups", u"(?>", u")", u"", u"", true},
    {"conditions", u"(?(?=a)", u")", u"", u"", true},
    {"repeated groups", u"(", u")*", u"", u"", true},
    {"classes", u"[[:", u":]]", u"", u"", false},
};

INSTANTIATE_TEST_SUITE_P(All, DeepNesting, testing::ValuesIn(kNestings),
                         [](const testing::TestParamInfo<Nesting>& info) { return "N" + std::to_string(info.index); });

// Recursion into a deep pattern would nest Match calls far beyond what the
// tree alone needs: past the call depth limit that way fails, like one past
// the recursion limit.
TEST(DeepRecursion, CallDepthLimitFailsThatWay) {
    std::u16string pattern;  // 200 levels of optional groups: a tall tree
    for (int i = 0; i < 200; ++i) pattern += u"(";
    pattern += u"a(?R)?b";
    for (int i = 0; i < 200; ++i) pattern += u")?";
    CPatternT expression(pattern.c_str());
    EXPECT_TRUE(expression.MatchExact(u"aaabbb").IsMatch());
    EXPECT_FALSE(expression.LastRunReachedDepthLimit());
    const std::u16string deep = std::u16string(60, u'a') + std::u16string(60, u'b');
    EXPECT_FALSE(expression.MatchExact(deep.c_str()).IsMatch());
    EXPECT_TRUE(expression.LastRunReachedDepthLimit());
    EXPECT_EQ(expression.GetLastRunResult(), RX_RUN_NO_MATCH);
}

// A runaway pattern stops at the step budget, says so, and gives no match.
TEST(StepBudget, RunawayPatternStopsAndSaysSo) {
    w32::DebugLogClear();
    CPatternT expression(u"(a*)*b");
    const std::u16string text = std::u16string(30, u'a') + u"cb";
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(expression.MatchExact(text.c_str()).IsMatch());
    EXPECT_EQ(expression.GetLastRunResult(), RX_RUN_STEP_LIMIT);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
    EXPECT_NE(w32::DebugLogText().find("CPatternT::MatchExact: step limit reached (10000000); no match"),
              std::string::npos);

    // The object stays usable, and a smaller budget stops a long but linear run.
    EXPECT_TRUE(expression.MatchExact(u"aab").IsMatch());
    EXPECT_EQ(expression.GetLastRunResult(), RX_RUN_MATCHED);
    // Without the 'b' that every match holds, no run is needed at all.
    EXPECT_FALSE(expression.MatchExact((std::u16string(30, u'a') + u"c").c_str()).IsMatch());
    EXPECT_EQ(expression.GetLastRunResult(), RX_RUN_NO_MATCH);
    expression.SetStepLimit(1000);
    const std::u16string linear = std::u16string(5000, u'a') + u"b";
    EXPECT_FALSE(expression.MatchExact(linear.c_str()).IsMatch());
    EXPECT_EQ(expression.GetLastRunResult(), RX_RUN_STEP_LIMIT);
}

// The backtracking stacks have a ceiling too: a repetition that would grow
// them past it ends the run with no match.
TEST(StackLimit, HugeRepetitionStopsAtTheCeiling) {
    w32::DebugLogClear();
    CPatternT expression(u"(a)*");
    expression.SetStepLimit(~0ull);
    const std::u16string text(2200000, u'a');
    EXPECT_FALSE(expression.MatchExact(text.c_str()).IsMatch());
    EXPECT_EQ(expression.GetLastRunResult(), RX_RUN_STACK_LIMIT);
    EXPECT_NE(w32::DebugLogText().find("backtracking stack limit reached"), std::string::npos);
    EXPECT_TRUE(expression.MatchExact(u"aaa").IsMatch());
}

// Every allocation of compiling and matching fails in turn: each run ends in
// the right answer or in a clean "no match" that says why.
TEST(AllocationFailure, EveryFailingAllocationIsCaught) {
    const std::u16string patterns[] = {
        u"((([:xdigit:]{1,4}):){1,6}(:([:xdigit:]{1,4})){0,5})(:((([0-1]?\\d{1,2})|(2[0-4]\\d)|(25[0-5]))"
        u"(\\.(([0-1]?\\d{1,2})|(2[0-4]\\d)|(25[0-5]))){3}))",
        u"(?<n>a|b)(?(n)\\k<n>|c)(?R<n>)?[^[:digit:]x-z]*(?<=a)",
    };
    const std::u16string texts[] = {u"fe80::1:2:192.168.0.1", u"aaba"};
    long injected = 0;
    for (int p = 0; p < 2; ++p) {
        const std::vector<int> expected = regex_test::MatchInts(patterns[p], texts[p]);
        ASSERT_FALSE(expected.empty());
        bool failureInjected = true;
        for (long failAt = 0; failureInjected; ++failAt) {
            g_allocations = 0;
            g_failAt = failAt;
            std::vector<int> record;
            int status;
            RegexRunResult run;
            {
                CPatternT expression(patterns[p].c_str());
                RegexMatch match = expression.MatchExact(texts[p].c_str());
                status = expression.GetBuildStatus();
                run = expression.GetLastRunResult();
                failureInjected = g_allocations > failAt;
                injected += failureInjected;
                g_failAt = -1;
                record = Ints(match);
            }
            g_failAt = -1;
            if (status & RX_BUILD_NO_MEMORY) {
                EXPECT_TRUE(record.empty());
                EXPECT_EQ(run, RX_RUN_NOT_COMPILED);
            } else if (record.empty()) {
                EXPECT_EQ(run, RX_RUN_NO_MEMORY) << "allocation " << failAt;
            } else {
                EXPECT_EQ(record, expected) << "allocation " << failAt;
            }
        }
    }
    EXPECT_GT(injected, 40);  // compiling and matching allocate in many places
}

}  // namespace
