// Character tests of the regular-expression engine. Every test works on
// 16-bit code units with the engine's own tables: the POSIX classes are the
// ASCII sets of the "C" locale and case folding maps only A-Z and a-z, so the
// answers do not depend on a locale or on the width of the C library's wide
// characters. A value above 0xFFFF (from \x{...}) is no code unit and is in no
// class.
#pragma once
#include <windows.h>

#include <cstdint>
#include <vector>

namespace regex {

// One POSIX class test, as the class names say in the "C" locale.
typedef bool (*PosixTest)(char32_t c);

bool IsAsciiAlnum(char32_t c);
bool IsAsciiAlpha(char32_t c);
bool IsAsciiAscii(char32_t c);
bool IsAsciiCntrl(char32_t c);
bool IsAsciiDigit(char32_t c);
bool IsAsciiGraph(char32_t c);
bool IsAsciiLower(char32_t c);
bool IsAsciiPrint(char32_t c);
bool IsAsciiPunct(char32_t c);
bool IsAsciiSpace(char32_t c);
bool IsAsciiUpper(char32_t c);
bool IsAsciiXdigit(char32_t c);
bool IsAsciiBlank(char32_t c);
// Word characters of \w and \b: A-Z, a-z, 0-9 and '_'.
bool IsWordChar(char32_t c);

inline char32_t ToLowerAscii(char32_t c) { return (c >= u'A' && c <= u'Z') ? c + 32 : c; }
inline char32_t ToUpperAscii(char32_t c) { return (c >= u'a' && c <= u'z') ? c - 32 : c; }
// The key under which two characters compare equal without regard to case.
inline char32_t FoldAscii(char32_t c) { return ToLowerAscii(c); }

// The POSIX class for the text collected between "[" and "]" (":name:",
// ":^name:"): the text after the first colon is compared by its start with
// "alnum:", "alpha:", ... "blank:" in that order. Returns null when no name
// fits; *negated is set when a "^" follows the first colon.
PosixTest FindPosixClass(const char* collected, bool* negated);

// A set of code units kept as an ASCII bitmap and sorted, disjoint ranges for
// the units from 0x80 up. Classes are built from ranges and merged once at
// compile time, so a test at match time is a bit test or a short search.
class CharSet {
public:
    // Adds low..high. A high end above 0xFFFF is cut to 0xFFFF; a range whose
    // low end lies above 0xFFFF or above its high end adds nothing.
    void AddRange(char32_t low, char32_t high);
    void AddChar(char32_t c) { AddRange(c, c); }
    void AddTest(PosixTest test, bool positive);  // the units the test accepts (or rejects)
    void AddSet(const CharSet& other);
    void Invert();
    // Merges the ranges; call once after the last Add and before Contains.
    void Seal();
    bool Contains(char32_t c) const {
        if (c < 128) return (m_ascii[c >> 6] >> (c & 63)) & 1;
        return ContainsHigh(c);
    }
    bool IsAsciiOnly() const { return m_high.empty(); }
    // The 128 ASCII bits, 64 at a time.
    uint64_t AsciiBits(int half) const { return m_ascii[half]; }

private:
    bool ContainsHigh(char32_t c) const;
    uint64_t m_ascii[2] = {0, 0};
    std::vector<std::pair<char16_t, char16_t>> m_high;  // low, high; sorted and disjoint after Seal
};

}  // namespace regex
