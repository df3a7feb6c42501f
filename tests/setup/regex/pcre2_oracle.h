// PCRE2's 16-bit interpreter set up as the engine's differential oracle:
// anchored at both ends, '$' at the very end only, empty classes allowed,
// line feed as the only newline, '^' in multi-line mode after a final line
// feed too, no UTF, no Unicode properties, no JIT. Its optimisations are
// off as well (auto-possessification, start-of-match and ".*" anchoring):
// they should change nothing, but in 10.42 they lose matches (for example
// "\t*(?>B*|a)\t" on two tabs, "(?:b|(?=a)c){0}" on the empty text).
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct pcre2_real_code_16;

namespace regex_test {

struct OracleResult {
    enum Kind { kMatch, kNoMatch, kCompileError, kLimit } kind = kNoMatch;
    std::vector<int> record;  // as the engine's RegexMatch: 1, N, spans of groups 0..N
    std::string error;        // the compile error text
};

class Pcre2Oracle {
public:
    // clearOptions takes options out of the oracle's set (PCRE2 bit values),
    // to show PCRE2's own defaults.
    explicit Pcre2Oracle(const std::u16string& pattern, uint32_t clearOptions = 0);
    ~Pcre2Oracle();
    Pcre2Oracle(const Pcre2Oracle&) = delete;
    Pcre2Oracle& operator=(const Pcre2Oracle&) = delete;

    bool Compiled() const { return m_code != nullptr; }
    const std::string& Error() const { return m_error; }
    OracleResult Match(const std::u16string& text, unsigned matchLimit = 5000000) const;

private:
    ::pcre2_real_code_16* m_code = nullptr;
    std::string m_error;
};

}  // namespace regex_test
