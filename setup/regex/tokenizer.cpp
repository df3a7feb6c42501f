#include "tokenizer.h"

#include "charset.h"

namespace regex {

namespace {

int HexValue(WCHAR c) {
    if (c >= u'0' && c <= u'9') return c - u'0';
    if (c >= u'a' && c <= u'f') return c - u'a' + 10;
    if (c >= u'A' && c <= u'F') return c - u'A' + 10;
    return -1;
}

bool IsMetaOutsideClass(WCHAR c) {
    switch (c) {
    case u'$': case u'(': case u')': case u'*': case u'+': case u'.':
    case u'?': case u'{': case u'|': case u'}': case u'^': case u'[':
        return true;
    default:
        return false;
    }
}

}  // namespace

void CRegexTokenizer::Start(const WCHAR* pattern, int length, bool extended) {
    m_pattern = pattern;
    m_length = length;
    m_extended = extended;
    m_scan = RegexScanState();
    for (int i = 0; i < 4; ++i) {
        m_tokens[i] = RegexToken();
        m_after[i] = m_scan;
    }
    NextToken();
    NextToken();
    NextToken();
}

void CRegexTokenizer::NextToken() {
    for (int i = 0; i < 3; ++i) {
        m_tokens[i] = m_tokens[i + 1];
        m_after[i] = m_after[i + 1];
    }
    ScanNext(m_tokens[kAfterNext]);
    m_after[kAfterNext] = m_scan;
}

void CRegexTokenizer::SkipTo(int pos) {
    m_scan = m_after[kCur];
    m_scan.pos = pos;
    m_scan.prev = RegexScanState::kPrevOther;
    m_tokens[kPrev] = m_tokens[kCur];
    m_after[kPrev] = m_after[kCur];
    for (int i = kCur; i <= kAfterNext; ++i) {
        ScanNext(m_tokens[i]);
        m_after[i] = m_scan;
    }
}

void CRegexTokenizer::ScanNext(RegexToken& token) {
    while (!ScanToken(token)) {
    }
}

char32_t CRegexTokenizer::ApplyCase(char32_t c) const {
    switch (m_scan.caseMode) {
    case RegexScanState::kCaseLower: return ToLowerAscii(c);
    case RegexScanState::kCaseUpper: return ToUpperAscii(c);
    default: return c;
    }
}

bool CRegexTokenizer::ScanToken(RegexToken& token) {
    const int p = m_scan.pos;
    token.start = p;
    if (p >= m_length) {
        token.ch = 0;
        token.meta = true;
        token.length = 0;
        return true;
    }
    const WCHAR c = m_pattern[p];

    if (m_scan.literal) {
        if (c == u'\\' && At(p + 1) == u'E') {
            m_scan.literal = false;
            m_scan.caseMode = RegexScanState::kCaseNone;
            m_scan.pos = p + 2;
            return false;
        }
        token.ch = ApplyCase(c);
        token.meta = false;
        token.length = 1;
        m_scan.pos = p + 1;
        m_scan.prev = RegexScanState::kPrevOther;
        return true;
    }

    if (m_extended && m_scan.classDepth == 0) {
        if ((c >= 9 && c <= 13) || c == u' ') {
            m_scan.pos = p + 1;
            return false;
        }
        if (c == u'#') {
            int q = p + 1;
            while (q < m_length && m_pattern[q] != u'\n' && m_pattern[q] != u'\r') ++q;
            m_scan.pos = q;
            return false;
        }
    }

    if (c == u'(' && m_scan.classDepth == 0 && At(p + 1) == u'?' && At(p + 2) == u'#') {
        int q = p + 3;
        while (q < m_length && m_pattern[q] != u')') ++q;
        m_scan.pos = q < m_length ? q + 1 : q;
        return false;
    }

    if (c == u'\\') {
        const int before = m_scan.pos;
        ScanEscape(token);
        if (token.length == 0 && m_scan.pos != before) return false;  // \Q \E \L \U, \G in a class
        m_scan.prev = RegexScanState::kPrevOther;
        return true;
    }

    token.ch = c;
    token.length = 1;
    token.meta = false;
    m_scan.pos = p + 1;
    RegexScanState::Previous prev = m_scan.prev;
    m_scan.prev = RegexScanState::kPrevOther;
    if (m_scan.classDepth == 0) {
        if (IsMetaOutsideClass(c)) {
            token.meta = true;
            if (c == u'[') {
                ++m_scan.classDepth;
                m_scan.prev = RegexScanState::kPrevOpenBracket;
            }
        }
        return true;
    }
    switch (c) {
    case u']':
        token.meta = true;
        --m_scan.classDepth;
        break;
    case u'-':
        token.meta = true;
        break;
    case u'[':
        if (At(p + 1) == u':') {
            token.meta = true;
            ++m_scan.classDepth;
            m_scan.prev = RegexScanState::kPrevOpenBracket;
        }
        break;
    case u':':
        if (prev == RegexScanState::kPrevOpenBracket) {
            token.meta = true;
            m_scan.prev = RegexScanState::kPrevColon;
        }
        break;
    case u'^':
        if (prev == RegexScanState::kPrevOpenBracket || prev == RegexScanState::kPrevColon) token.meta = true;
        break;
    default:
        break;
    }
    return true;
}

// Scans the escape at m_scan.pos. Leaves token.length 0 (and moves on) for
// the escapes that yield no token.
void CRegexTokenizer::ScanEscape(RegexToken& token) {
    const int p = m_scan.pos;
    token.start = p;
    token.meta = false;
    if (p + 1 >= m_length) {  // a backslash at the very end stands for itself
        token.ch = u'\\';
        token.length = 1;
        m_scan.pos = p + 1;
        return;
    }
    const WCHAR e = m_pattern[p + 1];
    token.length = 2;
    if (e >= u'0' && e <= u'9') {  // a back-reference: the digits follow as their own text
        token.ch = u'\\';
        token.meta = true;
        token.length = 1;
        m_scan.pos = p + 1;
        return;
    }
    m_scan.pos = p + 2;
    switch (e) {
    case u'A': case u'B': case u'D': case u'S': case u'W': case u'Z':
    case u'd': case u'g': case u'k': case u's': case u'w': case u'z':
        token.ch = e;
        token.meta = true;
        return;
    case u'b':
        if (m_scan.classDepth == 0) {
            token.ch = u'b';
            token.meta = true;
        } else {
            token.ch = 8;
        }
        return;
    case u'G':
        if (m_scan.classDepth == 0) {
            token.ch = u'G';
            token.meta = true;
        } else {
            token.length = 0;
        }
        return;
    case u'a': token.ch = 7; return;
    case u'e': token.ch = 27; return;
    case u'f': token.ch = 12; return;
    case u'n': token.ch = 10; return;
    case u'r': token.ch = 13; return;
    case u't': token.ch = 9; return;
    case u'v': token.ch = 11; return;
    case u'E':
        m_scan.literal = false;
        m_scan.caseMode = RegexScanState::kCaseNone;
        token.length = 0;
        return;
    case u'Q':
        m_scan.literal = true;
        token.length = 0;
        return;
    case u'L':
    case u'U':
        m_scan.literal = true;
        if (m_scan.caseMode == RegexScanState::kCaseNone)
            m_scan.caseMode = e == u'L' ? RegexScanState::kCaseLower : RegexScanState::kCaseUpper;
        token.length = 0;
        return;
    case u'x':
    case u'u': {
        int q = p + 2;
        uint32_t value = 0;
        int digits = 0;
        if (At(q) == u'{') {
            ++q;
            while (digits < 8 && HexValue(At(q)) >= 0) {
                value = value * 16 + HexValue(At(q));
                ++q;
                ++digits;
            }
            if (digits == 0) {
                token.ch = e;
                return;
            }
            int close = q;
            while (close < m_length && m_pattern[close] != u'}') ++close;
            if (close < m_length) q = close + 1;
        } else {
            const int most = e == u'x' ? 2 : 4;
            while (digits < most && HexValue(At(q)) >= 0) {
                value = value * 16 + HexValue(At(q));
                ++q;
                ++digits;
            }
            if (digits == 0) {
                token.ch = e;
                return;
            }
        }
        token.ch = value;
        token.length = q - p;
        m_scan.pos = q;
        return;
    }
    default:
        token.ch = e;
        return;
    }
}

}  // namespace regex
