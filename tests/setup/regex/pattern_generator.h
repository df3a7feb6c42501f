// A seeded generator of random patterns in the syntax that this engine and
// PCRE2 share and read alike, each written for both engines, with texts
// sampled to match it often.
//
// It stays clear of the engine's deliberate differences (listed in
// regex_differential_test.cpp): group numbers are mapped between the two
// numberings, a quantified part that can match empty makes the group spans
// incomparable (the engine never keeps an empty repetition) and is kept out
// of atomic and possessive parts (whose first way would then differ), and
// back-references and conditions only name groups that neither of those
// touches.
#pragma once
#include <cstdint>
#include <functional>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace regex_test {

struct GeneratedPattern {
    std::u16string ours;           // for this engine
    std::u16string pcre;           // the same pattern for PCRE2
    std::vector<int> oursToPcre;   // group number in PCRE2 of each of this engine's groups
    bool compareSpans = true;      // whether group spans must agree, not only the outcome
    std::vector<std::u16string> texts;
};

class PatternGenerator {
public:
    explicit PatternGenerator(uint32_t seed) : m_rng(seed) {}
    GeneratedPattern Next();

private:
    struct SampleState {
        std::u16string out;
        std::map<int, std::u16string> captured;  // by index in m_groups
    };
    typedef std::function<void(SampleState&, std::mt19937&)> Sampler;

    struct Frag {
        std::u16string ours;
        std::u16string pcre;
        bool nullable = false;           // can match the empty string
        bool nullableRepeat = false;     // holds a variable repetition of something nullable
        bool fixed = true;               // always the same width
        int width = 0;
        bool noQuantifier = false;       // an anchor, a look-around or "[]"
        Sampler sample;
    };
    struct Context {
        int depth = 0;
        bool fixedWidth = false;  // inside a look-behind: only parts of one width
        bool atomic = false;      // inside an atomic group: no nullable repetition
        bool noCapture = false;   // inside a condition's look-around
        bool behind = false;      // inside a look-behind, whose parts match right to left
    };
    struct GroupInfo {
        bool named = false;
        std::u16string name;
        int plainNumber = 0;  // this engine's number of a plain group
        bool closed = false;
        bool reliable = true;
        bool referenced = false;
    };

    int Pick(int n) { return int(m_rng() % unsigned(n)); }
    bool Chance(int percent) { return Pick(100) < percent; }

    Frag Alternative(const Context& context);
    Frag Sequence(const Context& context);
    Frag Item(const Context& context);
    Frag Atom(const Context& context);
    Frag Literal();
    Frag Escape();
    Frag Class(bool fixedWidth);
    Frag Posix(bool standalone);
    Frag Anchor();
    Frag Group(const Context& context);
    Frag LookAround(const Context& context);
    Frag Backref();
    std::vector<size_t> ReferableGroups() const;
    Frag Condition(const Context& context);
    Frag Modified(const Context& context);
    Frag Quantify(Frag atom, const Context& context, size_t groupsBefore);

    std::u16string RandomText(int maxLength);
    std::u16string Mutate(std::u16string text);

    std::mt19937 m_rng;
    std::vector<GroupInfo> m_groups;  // in the order of their opening parentheses
    int m_plainGroups = 0;
    bool m_caseless = false;
    bool m_compareSpans = true;
};

}  // namespace regex_test
