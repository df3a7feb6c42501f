// The regular-expression engine against PCRE2's 16-bit interpreter (no JIT,
// its optimisations on, anchored at both ends as whole-text matching is),
// on the install wizard's address patterns and on a few classic
// backtracking patterns. Each case runs as Engine/<case> and Pcre2/<case>.
#include <benchmark/benchmark.h>

#define PCRE2_CODE_UNIT_WIDTH 16
#include <pcre2.h>

#include <string>
#include <vector>

#include "setup/regex/regex.h"
#include "setup/regex/wizard_patterns.h"

namespace {

using namespace regex_test;

std::u16string Repeat(const std::u16string& text, int count) {
    std::u16string out;
    for (int i = 0; i < count; ++i) out += text;
    return out;
}

struct Case {
    const char* name;
    std::u16string pattern;
    std::u16string text;
};

const std::vector<Case>& Cases() {
    static const std::vector<Case> cases = {
        {"Ipv4/valid", kIpv4, u"192.168.100.200"},
        {"Ipv4/invalid", kIpv4, u"192.168.100.256"},
        {"HostName/valid", kHostName, u"printer-01"},
        {"HostName/tooLong", kHostName, u"abcdefghij123456"},
        {"Digits/valid", kDigits, u"123456789012345"},
        {"Digits/invalid", kDigits, u"192.168.1.1"},
        {"V4/valid", kV4, u"192.168.100.200"},
        {"Ipv6P1/full", kP1, u"fe80:0:0:0:21a:2bff:fe3c:4d5e"},
        {"Ipv6P1/invalid", kP1, u"fe80::21a:2bff:fe3c:4d5e"},
        {"Ipv6P2/compressed", kP2, u"fe80::21a:2bff:fe3c:4d5e"},
        {"Ipv6P3/mapped", kP3, u"::ffff:192.168.0.1"},
        {"Ipv6P4/embedded", kP4, u"1:2:3:4:5::1.2.3.4"},
        {"Ipv6P4/invalid", kP4, u"1:2:3:4:5::1.2.3.256"},
        {"Classic/alternationStar", u"(a|b)*c", Repeat(u"ab", 500) + u"c"},
        {"Classic/nestedStarNoB", u"(a|aa)+b", Repeat(u"a", 18)},
        {"Classic/nestedStarLateFail", u"(a|aa)+b", Repeat(u"a", 18) + u"cb"},
        {"Classic/dotStarBacktrack", u".*a.*b.*c", Repeat(u"x", 60) + u"a" + Repeat(u"x", 60) + u"b" + Repeat(u"x", 60) + u"c"},
        {"Classic/email", u"[\\w.-]+@[\\w-]+(\\.[\\w-]+)*\\.[a-z]{2,6}", u"first.last-name@mail.example-host.com"},
        {"Classic/lazyQuoted", u"\"(.*?)\"(.*)", u"\"" + Repeat(u"x", 100) + u"\"" + Repeat(u"y", 100)},
        {"Classic/backref", u"(\\w+) \\1", Repeat(u"w", 50) + u" " + Repeat(u"w", 50)},
    };
    return cases;
}

void Engine(benchmark::State& state, const Case* c) {
    CPatternT expression(c->pattern.c_str());
    bool matched = false;
    for (auto _ : state) {
        RegexMatch match = expression.MatchExact(c->text.c_str());
        matched = match.IsMatch();
        benchmark::DoNotOptimize(match);
    }
    state.SetLabel(matched ? "match" : "no match");
}

void Pcre2(benchmark::State& state, const Case* c) {
    const std::u16string pattern = ForPcre2(c->pattern);
    int error = 0;
    PCRE2_SIZE offset = 0;
    pcre2_code* code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern.data()), pattern.size(),
                                     PCRE2_ANCHORED | PCRE2_ENDANCHORED | PCRE2_DOLLAR_ENDONLY, &error, &offset, nullptr);
    if (!code) {
        state.SkipWithError("PCRE2 refuses the pattern");
        return;
    }
    pcre2_match_data* data = pcre2_match_data_create_from_pattern(code, nullptr);
    int rc = 0;
    for (auto _ : state) {
        rc = pcre2_match(code, reinterpret_cast<PCRE2_SPTR>(c->text.data()), c->text.size(), 0, 0, data, nullptr);
        benchmark::DoNotOptimize(rc);
    }
    state.SetLabel(rc >= 0 ? "match" : "no match");
    pcre2_match_data_free(data);
    pcre2_code_free(code);
}

// The wizard builds its IPv6 patterns anew for each test: compiling and
// matching all four, as the network list does for one address.
void EngineIpv6Decision(benchmark::State& state) {
    const std::u16string text = u"::ffff:192.168.0.1";
    for (auto _ : state) {
        bool found = false;
        for (const std::u16string* pattern : {&kP1, &kP2, &kP3, &kP4}) {
            CPatternT expression(pattern->c_str());
            if (expression.MatchExact(text.c_str()).IsMatch()) {
                found = true;
                break;
            }
        }
        benchmark::DoNotOptimize(found);
    }
}

void Pcre2Ipv6Decision(benchmark::State& state) {
    const std::u16string text = u"::ffff:192.168.0.1";
    for (auto _ : state) {
        bool found = false;
        for (const std::u16string* pattern : {&kP1, &kP2, &kP3, &kP4}) {
            const std::u16string translated = ForPcre2(*pattern);
            int error = 0;
            PCRE2_SIZE offset = 0;
            pcre2_code* code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(translated.data()), translated.size(),
                                             PCRE2_ANCHORED | PCRE2_ENDANCHORED, &error, &offset, nullptr);
            pcre2_match_data* data = pcre2_match_data_create_from_pattern(code, nullptr);
            const int rc = pcre2_match(code, reinterpret_cast<PCRE2_SPTR>(text.data()), text.size(), 0, 0, data, nullptr);
            pcre2_match_data_free(data);
            pcre2_code_free(code);
            if (rc >= 0) {
                found = true;
                break;
            }
        }
        benchmark::DoNotOptimize(found);
    }
}

const bool kRegistered = [] {
    for (const Case& c : Cases()) {
        benchmark::RegisterBenchmark((std::string("Engine/") + c.name).c_str(), Engine, &c);
        benchmark::RegisterBenchmark((std::string("Pcre2/") + c.name).c_str(), Pcre2, &c);
    }
    benchmark::RegisterBenchmark("Engine/Ipv6Decision/compileAndMatch", EngineIpv6Decision);
    benchmark::RegisterBenchmark("Pcre2/Ipv6Decision/compileAndMatch", Pcre2Ipv6Decision);
    return true;
}();

}  // namespace

BENCHMARK_MAIN();
