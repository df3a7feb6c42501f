// The pattern scanner of the regular-expression compiler. It turns the wide
// pattern into tokens (a character and whether it is meta) with three tokens
// of look-ahead; whether a character is meta depends on the class depth and
// on the token just before it, so the scanner carries that state along.
#pragma once
#include <windows.h>

namespace regex {

struct RegexToken {
    char32_t ch = 0;      // the character; above 0xFFFF only from \x{...} or \u{...}
    bool meta = true;     // an operator rather than a character to match
    int start = 0;        // position in the pattern
    int length = 0;       // 0 only for the end of the pattern
    bool IsEnd() const { return meta && length == 0; }
    bool IsMeta(char32_t c) const { return meta && length != 0 && ch == c; }
};

// Where scanning stands after a token.
struct RegexScanState {
    enum CaseMode { kCaseNone, kCaseLower, kCaseUpper };
    enum Previous { kPrevOther, kPrevOpenBracket, kPrevColon };
    int pos = 0;
    int classDepth = 0;
    bool literal = false;          // inside \Q, \L or \U until \E
    CaseMode caseMode = kCaseNone;
    Previous prev = kPrevOther;    // kind of the token just before
};

class CRegexTokenizer {
public:
    enum Slot { kPrev, kCur, kNext, kAfterNext };

    void Start(const WCHAR* pattern, int length, bool extended);
    // Shifts the slots by one and scans one more token into the after-next slot.
    void NextToken();
    // Continues at pattern position pos (which the parser has read past by
    // hand: the inside of braces, a group's header, a name): the current slot
    // becomes the first token there, with the scan state that followed the
    // current token.
    void SkipTo(int pos);

    const RegexToken& Prev() const { return m_tokens[kPrev]; }
    const RegexToken& Cur() const { return m_tokens[kCur]; }
    const RegexToken& Next() const { return m_tokens[kNext]; }
    const RegexToken& AfterNext() const { return m_tokens[kAfterNext]; }
    // The pattern position just after the current token.
    int CurEnd() const { return m_tokens[kCur].start + m_tokens[kCur].length; }

    const WCHAR* Pattern() const { return m_pattern; }
    int Length() const { return m_length; }
    WCHAR At(int pos) const { return pos >= 0 && pos < m_length ? m_pattern[pos] : 0; }

private:
    // Scans at m_scan; returns false when the characters there yield no
    // token (a comment, \Q, \E, white space in extended mode).
    bool ScanToken(RegexToken& token);
    void ScanNext(RegexToken& token);
    void ScanEscape(RegexToken& token);
    char32_t ApplyCase(char32_t c) const;

    const WCHAR* m_pattern = nullptr;
    int m_length = 0;
    bool m_extended = false;
    RegexScanState m_scan;                 // state after the after-next token
    RegexToken m_tokens[4];
    RegexScanState m_after[4];             // state after each slot's token
};

}  // namespace regex
