#include "charset.h"

#include <algorithm>

namespace regex {

namespace {

enum : unsigned short {
    kUpper = 0x001,
    kLower = 0x002,
    kDigit = 0x004,
    kSpace = 0x008,
    kPunct = 0x010,
    kCntrl = 0x020,
    kXdigit = 0x040,
    kBlank = 0x080,
    kPrint = 0x100,
};

// The "C" locale's classification of the 128 ASCII units.
struct AsciiTable {
    unsigned short bits[128];
    constexpr AsciiTable() : bits() {
        for (int c = 0; c < 128; ++c) {
            unsigned short b = 0;
            if (c >= 'A' && c <= 'Z') b |= kUpper;
            if (c >= 'a' && c <= 'z') b |= kLower;
            if (c >= '0' && c <= '9') b |= kDigit | kXdigit;
            if ((c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F')) b |= kXdigit;
            if ((c >= 9 && c <= 13) || c == ' ') b |= kSpace;
            if (c == ' ' || c == '\t') b |= kBlank;
            if (c < 32 || c == 127) b |= kCntrl;
            if (c >= 32 && c < 127) b |= kPrint;
            if (c > 32 && c < 127 && !(b & (kUpper | kLower | kDigit))) b |= kPunct;
            bits[c] = b;
        }
    }
};
constexpr AsciiTable kTable;

inline bool Has(char32_t c, unsigned short mask) { return c < 128 && (kTable.bits[c] & mask); }

}  // namespace

bool IsAsciiAlnum(char32_t c) { return Has(c, kUpper | kLower | kDigit); }
bool IsAsciiAlpha(char32_t c) { return Has(c, kUpper | kLower); }
bool IsAsciiAscii(char32_t c) { return c < 128; }
bool IsAsciiCntrl(char32_t c) { return Has(c, kCntrl); }
bool IsAsciiDigit(char32_t c) { return Has(c, kDigit); }
bool IsAsciiGraph(char32_t c) { return Has(c, kPrint) && c != ' '; }
bool IsAsciiLower(char32_t c) { return Has(c, kLower); }
bool IsAsciiPrint(char32_t c) { return Has(c, kPrint); }
bool IsAsciiPunct(char32_t c) { return Has(c, kPunct); }
bool IsAsciiSpace(char32_t c) { return Has(c, kSpace); }
bool IsAsciiUpper(char32_t c) { return Has(c, kUpper); }
bool IsAsciiXdigit(char32_t c) { return Has(c, kXdigit); }
bool IsAsciiBlank(char32_t c) { return Has(c, kBlank); }
bool IsWordChar(char32_t c) { return Has(c, kUpper | kLower | kDigit) || c == '_'; }

PosixTest FindPosixClass(const char* collected, bool* negated) {
    static const struct {
        const char* name;
        PosixTest test;
    } kNames[] = {
        {"alnum:", IsAsciiAlnum}, {"alpha:", IsAsciiAlpha}, {"ascii:", IsAsciiAscii},
        {"cntrl:", IsAsciiCntrl}, {"digit:", IsAsciiDigit}, {"graph:", IsAsciiGraph},
        {"lower:", IsAsciiLower}, {"print:", IsAsciiPrint}, {"punct:", IsAsciiPunct},
        {"space:", IsAsciiSpace}, {"upper:", IsAsciiUpper}, {"xdigit:", IsAsciiXdigit},
        {"blank:", IsAsciiBlank},
    };
    *negated = false;
    if (collected[0] != ':') return nullptr;
    const char* name = collected + 1;
    if (*name == '^') {
        *negated = true;
        ++name;
    }
    for (const auto& entry : kNames) {
        const char* a = name;
        const char* b = entry.name;
        while (*b && *a == *b) ++a, ++b;
        if (!*b) return entry.test;
    }
    return nullptr;
}

void CharSet::AddRange(char32_t low, char32_t high) {
    if (high > 0xFFFF) high = 0xFFFF;
    if (low > high) return;
    for (char32_t c = low; c <= high && c < 128; ++c) m_ascii[c >> 6] |= uint64_t(1) << (c & 63);
    if (high >= 128) m_high.emplace_back(char16_t(std::max<char32_t>(low, 128)), char16_t(high));
}

void CharSet::AddTest(PosixTest test, bool positive) {
    // Every test accepts ASCII units only, so the units from 0x80 up are in
    // the set exactly when the test is negated.
    for (char32_t c = 0; c < 128; ++c)
        if (test(c) == positive) m_ascii[c >> 6] |= uint64_t(1) << (c & 63);
    if (!positive) AddRange(128, 0xFFFF);
}

void CharSet::AddSet(const CharSet& other) {
    m_ascii[0] |= other.m_ascii[0];
    m_ascii[1] |= other.m_ascii[1];
    m_high.insert(m_high.end(), other.m_high.begin(), other.m_high.end());
}

void CharSet::Seal() {
    std::sort(m_high.begin(), m_high.end());
    size_t out = 0;
    for (size_t i = 0; i < m_high.size(); ++i) {
        if (out > 0 && char32_t(m_high[i].first) <= char32_t(m_high[out - 1].second) + 1) {
            m_high[out - 1].second = std::max(m_high[out - 1].second, m_high[i].second);
        } else {
            m_high[out++] = m_high[i];
        }
    }
    m_high.resize(out);
}

void CharSet::Invert() {
    Seal();
    m_ascii[0] = ~m_ascii[0];
    m_ascii[1] = ~m_ascii[1];
    std::vector<std::pair<char16_t, char16_t>> inverted;
    char32_t next = 128;
    for (const auto& range : m_high) {
        if (range.first > next) inverted.emplace_back(char16_t(next), char16_t(range.first - 1));
        next = char32_t(range.second) + 1;
    }
    if (next <= 0xFFFF) inverted.emplace_back(char16_t(next), char16_t(0xFFFF));
    m_high.swap(inverted);
}

bool CharSet::ContainsHigh(char32_t c) const {
    if (c > 0xFFFF) return false;
    // Ranges are sorted and disjoint: find the last one that starts at or below c.
    auto it = std::upper_bound(m_high.begin(), m_high.end(), c,
                               [](char32_t value, const std::pair<char16_t, char16_t>& r) { return value < char32_t(r.first); });
    if (it == m_high.begin()) return false;
    --it;
    return c <= char32_t(it->second);
}

}  // namespace regex
