// Helpers shared by the regular-expression engine's tests.
#pragma once
#include <string>
#include <vector>

#include "setup/regex/regex.h"

namespace regex_test {

// The match record as ints: empty for no match, else 1, N and the start and
// end of groups 0..N.
inline std::vector<int> Ints(const RegexMatch& match) {
    return std::vector<int>(match.GetData(), match.GetData() + match.GetSize());
}

// Compiles pattern (which may hold NULs) and matches text as a whole.
inline std::vector<int> MatchInts(CPatternT& expression, const std::u16string& pattern, const std::u16string& text) {
    expression.Clear();
    expression.Build(pattern.data(), int(pattern.size()));
    return Ints(expression.MatchExactCore(text.data(), int(text.size())));
}

inline std::vector<int> MatchInts(const std::u16string& pattern, const std::u16string& text) {
    CPatternT expression;
    return MatchInts(expression, pattern, text);
}

// The record for group spans given as start, end pairs of groups 0..N.
inline std::vector<int> Record(std::vector<int> spans) {
    if (spans.empty()) return spans;
    std::vector<int> record{1, int(spans.size() / 2) - 1};
    record.insert(record.end(), spans.begin(), spans.end());
    return record;
}

// Printable form of a UTF-16 text for failure messages (\x{...} for non-ASCII).
std::string Show(const std::u16string& text);

}  // namespace regex_test
