// The pattern compiler: recursive descent over the scanner's tokens into a
// tree of elements. There are no compile errors: a malformed construct takes
// a fall-back (and sets RX_BUILD_FALLBACK), so every pattern yields a tree.
#include <algorithm>
#include <cstddef>
#include <map>
#include <new>

#include "regex.h"

using namespace regex;

namespace {

constexpr int kInfinite = 0x7FFFFFFF;
// Group numbers from all-digit names above this are taken as plain names,
// so that a pattern cannot make every match allocate a huge capture index.
constexpr int kMaxGroupNumber = 65535;

bool IsDigit(WCHAR c) { return c >= u'0' && c <= u'9'; }

int FlagForLetter(WCHAR c) {
    switch (ToLowerAscii(c)) {
    case u'i': return RX_IGNORE_CASE;
    case u'm': return RX_MULTI_LINE;
    case u's': return RX_DOT_ALL;
    case u'g': return RX_GLOBAL;
    default: return 0;
    }
}

// Writes "CPatternBuilderT::Build: <what>; the expression matches nothing"
// to the debug output without allocating.
void LogBuildFailure(const char16_t* what) {
    WCHAR message[128];
    int n = 0;
    for (const char16_t* part : {u"CPatternBuilderT::Build: ", what, u"; the expression matches nothing\n"})
        while (*part && n < 126) message[n++] = *part++;
    message[n] = 0;
    try {
        OutputDebugStringW(message);
    } catch (...) {
        // The log is a courtesy: a failure to write it must not end the program.
    }
}

}  // namespace

CPatternBuilderT::CPatternBuilderT() = default;

CPatternBuilderT::~CPatternBuilderT() { Clear(); }

void CPatternBuilderT::Clear() {
    m_top = nullptr;
    m_topRightToLeft = false;
    for (auto it = m_elements.rbegin(); it != m_elements.rend(); ++it) (*it)->~MatchNode();
    m_elements.clear();
    m_blocks.clear();
    m_blockUsed = 0;
    ResetBuildState();
    std::fill(std::begin(m_predefined), std::end(m_predefined), nullptr);
    m_posixCache.clear();
    m_scratch.clear();
}

void CPatternBuilderT::ResetBuildState() {
    m_groups.clear();
    m_recursions.clear();
    m_namedGroups.clear();
    m_namedBackrefs.clear();
    m_conditions.clear();
    m_groupCount = 0;
    m_namedGroupCount = 0;
    m_maxGroup = 0;
    m_nesting = 0;
    m_openGroups = 0;
    m_buildStatus = RX_BUILD_OK;
}

namespace {
constexpr size_t kBlockSize = 8192;
}

template <class T, class... Args>
T* CPatternBuilderT::Make(Args&&... args) {
    static_assert(sizeof(T) <= kBlockSize && alignof(T) <= alignof(std::max_align_t));
    const size_t size = (sizeof(T) + alignof(std::max_align_t) - 1) & ~(alignof(std::max_align_t) - 1);
    if (m_blocks.empty() || m_blockUsed + size > kBlockSize) {
        m_blocks.push_back(std::unique_ptr<unsigned char[]>(new unsigned char[kBlockSize]));
        m_blockUsed = 0;
    }
    if (m_elements.size() == m_elements.capacity())  // so that the push below cannot fail
        m_elements.reserve(m_elements.capacity() * 2 + 64);
    T* element = new (m_blocks.back().get() + m_blockUsed) T(std::forward<Args>(args)...);
    m_blockUsed += size;
    m_elements.push_back(element);
    return element;
}

MatchNode* CPatternBuilderT::Build(const WCHAR* pattern, int length, int flags) {
    m_top = nullptr;
    m_topRightToLeft = (flags & RX_RIGHT_TO_LEFT) != 0;
    ResetBuildState();
    if (!pattern || length < 0) length = 0;

    m_scratch.clear();
    m_lastCloseBrace = -1;
    for (int i = length - 1; i >= 0; --i) {
        if (pattern[i] == u'}') {
            m_lastCloseBrace = i;
            break;
        }
    }

    try {
        m_elements.reserve(m_elements.size() + size_t(length) + 4);
        m_groups.push_back(nullptr);
        m_tokenizer.Start(pattern, length, (flags & RX_EXTENDED) != 0);
        int topFlags = flags;
        MatchNode* top = BuildAlternative(topFlags);
        if (!(m_buildStatus & RX_BUILD_TOO_DEEP)) {
            m_top = top;
            m_groups[0] = top;
            ResolveNames();
        }
    } catch (const std::bad_alloc&) {
        m_buildStatus |= RX_BUILD_NO_MEMORY;
    }
    if (m_buildStatus & (RX_BUILD_TOO_DEEP | RX_BUILD_NO_MEMORY)) {
        const int status = m_buildStatus;
        Clear();
        m_buildStatus = status;
        LogBuildFailure(status & RX_BUILD_NO_MEMORY ? u"out of memory" : u"pattern nested too deeply");
    }
    return m_top;
}

// The shared element of predefined class type 0-16; types 9-16 match right
// to left.
MatchNode* CPatternBuilderT::Predefined(int type) {
    if (m_predefined[type]) return m_predefined[type];
    typedef std::vector<std::pair<char32_t, char32_t>> Ranges;
    const bool rightToLeft = type >= 9;
    const int kind = rightToLeft ? type - 8 : type;
    Ranges ranges;
    bool positive = true;
    switch (kind) {
    case 0:
        return m_predefined[type] = Make<CEmptyNodeT>();
    case 1:
        ranges = {{0, 0xFFFF}};
        break;
    case 2:
        ranges = {{0, 9}, {11, 0xFFFF}};
        break;
    case 3:
    case 4:
        ranges = {{u'0', u'9'}, {u'A', u'Z'}, {u'_', u'_'}, {u'a', u'z'}};
        positive = kind == 3;
        break;
    case 5:
    case 6:
        // Forwards \s is space, tab, carriage return and line feed; the
        // right-to-left \s of look-behind bodies adds form feed and vertical tab.
        ranges = {{9, 10}, {13, 13}, {32, 32}};
        if (rightToLeft) ranges.push_back({11, 12});
        positive = kind == 5;
        break;
    case 7:
    case 8:
        ranges = {{u'0', u'9'}};
        positive = kind == 7;
        break;
    }
    return m_predefined[type] = Make<CRangeNodeT>(std::move(ranges), std::vector<char32_t>(),
                                                  std::vector<MatchNode*>(), rightToLeft, positive);
}

// ---------------------------------------------------------------- structure

// Branches and items gather on m_scratch above the base they start from,
// which nested lists and alternatives leave as they found it.
MatchNode* CPatternBuilderT::BuildAlternative(int& flags) {
    const size_t base = m_scratch.size();
    MatchNode* first = BuildList(flags);
    m_scratch.push_back(first);
    while (m_tokenizer.Cur().IsMeta(u'|')) {
        m_tokenizer.NextToken();
        MatchNode* branch = BuildList(flags);
        m_scratch.push_back(branch);
    }
    const size_t count = m_scratch.size() - base;
    MatchNode* result = count == 1 ? first
                                   : Make<CAlternativeNodeT>(m_scratch.data() + base, count,
                                                             (flags & RX_RIGHT_TO_LEFT) != 0);
    m_scratch.resize(base);
    return result;
}

MatchNode* CPatternBuilderT::BuildList(int& flags) {
    const bool rightToLeft = (flags & RX_RIGHT_TO_LEFT) != 0;
    const size_t base = m_scratch.size();
    for (;;) {
        const RegexToken& token = m_tokenizer.Cur();
        // A ')' with no group open is an ordinary character.
        if (token.IsEnd() || token.IsMeta(u'|') || (token.IsMeta(u')') && m_openGroups > 0)) break;
        if (MatchNode* item = BuildRepeat(flags)) m_scratch.push_back(item);
    }
    const size_t count = m_scratch.size() - base;
    MatchNode* result = count == 0   ? Predefined(0)
                        : count == 1 ? m_scratch[base]
                                     : Make<CListNodeT>(m_scratch.data() + base, count, rightToLeft);
    m_scratch.resize(base);
    return result;
}

bool CPatternBuilderT::IsQuantifier(const RegexToken& token) const {
    if (!token.meta || token.length == 0) return false;
    if (token.ch == u'*' || token.ch == u'+' || token.ch == u'?') return true;
    if (token.ch != u'{') return false;
    // A '{' with no '}' after it is an ordinary character.
    return m_lastCloseBrace > token.start;
}

// The inside of "{...}", read as text: optional blanks, up to six digits,
// optional blanks, then optionally ',' and the same again. A maximum left
// out after the comma is infinite, one below the minimum is the minimum;
// content that does not start with a digit is {0,0}. Returns whether the
// content was a well-formed count; leaves the scanner after the '}'.
bool CPatternBuilderT::ReadQuantifier(int* minimum, int* maximum) {
    const int open = m_tokenizer.Cur().start;
    int close = open + 1;
    while (m_tokenizer.At(close) != u'}') ++close;
    int p = open + 1;
    auto skipBlanks = [&] {
        while (m_tokenizer.At(p) == u' ' || m_tokenizer.At(p) == u'\t') ++p;
    };
    auto readNumber = [&](int* value) {
        int digits = 0;
        *value = 0;
        while (digits < 6 && IsDigit(m_tokenizer.At(p))) {
            *value = *value * 10 + (m_tokenizer.At(p) - u'0');
            ++p;
            ++digits;
        }
        return digits > 0;
    };
    bool clean = true;
    skipBlanks();
    if (!readNumber(minimum)) {
        *minimum = *maximum = 0;
        clean = false;
    } else {
        skipBlanks();
        if (m_tokenizer.At(p) == u',') {
            ++p;
            skipBlanks();
            if (!readNumber(maximum)) *maximum = kInfinite;
            skipBlanks();
        } else {
            *maximum = *minimum;
        }
        clean = p == close;
        if (*maximum < *minimum) {  // "{3,2}" is "{3}"
            *maximum = *minimum;
            clean = false;
        }
    }
    if (!clean) m_buildStatus |= RX_BUILD_FALLBACK;
    m_tokenizer.SkipTo(close + 1);
    return clean;
}

MatchNode* CPatternBuilderT::BuildRepeat(int& flags) {
    MatchNode* atom = BuildSimple(flags);
    if (!atom) return nullptr;
    const RegexToken& token = m_tokenizer.Cur();
    if (!IsQuantifier(token)) return atom;
    int minimum;
    int maximum;
    if (token.ch == u'{') {
        ReadQuantifier(&minimum, &maximum);
    } else {
        minimum = token.ch == u'+' ? 1 : 0;
        maximum = token.ch == u'?' ? 1 : kInfinite;
        m_tokenizer.NextToken();
    }
    const bool rightToLeft = (flags & RX_RIGHT_TO_LEFT) != 0;
    if (minimum == maximum) {
        // A fixed count has one way to match: a lazy or possessive mark changes nothing.
        if (m_tokenizer.Cur().IsMeta(u'?') || m_tokenizer.Cur().IsMeta(u'+')) m_tokenizer.NextToken();
        if (maximum == 0) return Predefined(0);
        if (minimum == 1) return atom;
        return Make<CRepeatNodeT>(atom, minimum, rightToLeft);
    }
    if (m_tokenizer.Cur().IsMeta(u'?')) {
        m_tokenizer.NextToken();
        return Make<CReluctantNodeT>(atom, minimum, maximum - minimum, rightToLeft);
    }
    if (m_tokenizer.Cur().IsMeta(u'+')) {
        m_tokenizer.NextToken();
        return Make<CPossessiveNodeT>(atom, minimum, maximum - minimum, rightToLeft);
    }
    return Make<CGreedyNodeT>(atom, minimum, maximum - minimum, rightToLeft);
}

// One atom. Returns null only for an inline modifier, which changes flags
// and matches nothing of its own.
MatchNode* CPatternBuilderT::BuildSimple(int& flags) {
    const RegexToken& token = m_tokenizer.Cur();
    if (!token.meta) return BuildString(flags);
    switch (token.ch) {
    case u'$': case u'^': case u'A': case u'B': case u'G': case u'Z': case u'b': case u'z':
        return BuildBoundary(flags);
    case u'(':
        return BuildGroup(flags);
    case u'.': case u'D': case u'S': case u'W': case u'[': case u'd': case u's': case u'w':
        return BuildCharset(flags);
    case u'\\': case u'g': case u'k':
        return BuildBackref(flags);
    default: {
        // A quantifier or brace that starts an atom, or a ')' with no group
        // open, is a character to match.
        const char32_t c = token.ch;
        m_buildStatus |= RX_BUILD_FALLBACK;
        m_tokenizer.NextToken();
        return Make<CStringNodeT>(std::u32string(1, c), (flags & RX_RIGHT_TO_LEFT) != 0,
                                  (flags & RX_IGNORE_CASE) != 0);
    }
    }
}

// A run of literal characters. The run stops before a character that a
// quantifier follows, so the quantifier takes that character alone.
MatchNode* CPatternBuilderT::BuildString(int flags) {
    std::u32string run;
    for (;;) {
        const RegexToken& token = m_tokenizer.Cur();
        if (token.meta) break;
        if (IsQuantifier(m_tokenizer.Next())) {
            if (run.empty()) {
                run += token.ch;
                m_tokenizer.NextToken();
            }
            break;
        }
        run += token.ch;
        m_tokenizer.NextToken();
    }
    return Make<CStringNodeT>(std::move(run), (flags & RX_RIGHT_TO_LEFT) != 0, (flags & RX_IGNORE_CASE) != 0);
}

MatchNode* CPatternBuilderT::BuildBoundary(int flags) {
    const char32_t c = m_tokenizer.Cur().ch;
    m_tokenizer.NextToken();
    const bool multiLine = (flags & RX_MULTI_LINE) != 0;
    switch (c) {
    case u'^':
        return Make<CBoundaryNodeT>(multiLine ? CBoundaryNodeT::kStartOfLine : CBoundaryNodeT::kStartOfText, true);
    case u'$':
        return Make<CBoundaryNodeT>(multiLine ? CBoundaryNodeT::kEndOfLine : CBoundaryNodeT::kEndOfText, true);
    case u'A':
        return Make<CBoundaryNodeT>(CBoundaryNodeT::kStartOfText, true);
    case u'z':
        return Make<CBoundaryNodeT>(CBoundaryNodeT::kEndOfText, true);
    case u'Z':
        return Make<CBoundaryNodeT>(CBoundaryNodeT::kEndBeforeFinalBreak, true);
    case u'b':
        return Make<CBoundaryNodeT>(CBoundaryNodeT::kWordBoundary, true);
    case u'B':
        return Make<CBoundaryNodeT>(CBoundaryNodeT::kWordBoundary, false);
    default:  // \G
        if (flags & RX_GLOBAL) return Make<CGlobalNodeT>();
        return Predefined(0);
    }
}

bool CPatternBuilderT::AllDigits(const std::u16string& text, int* number) {
    if (text.empty()) return false;
    long long value = 0;
    for (char16_t c : text) {
        if (!IsDigit(c)) return false;
        value = std::min<long long>(value * 10 + (c - u'0'), 0x7FFFFFFF);
    }
    *number = int(value);
    return true;
}

int CPatternBuilderT::ReadName(int pos, WCHAR terminator, std::u16string* name) const {
    name->clear();
    for (int p = pos; p < m_tokenizer.Length(); ++p) {
        const WCHAR c = m_tokenizer.At(p);
        if (c == terminator) return p + 1;
        if (c == u')') return -1;
        name->push_back(c);
    }
    return -1;
}

// \1 ... \999, \k<name>, \k'name', \g<name>, \g'name', \kN, \gN.
MatchNode* CPatternBuilderT::BuildBackref(int flags) {
    const RegexToken token = m_tokenizer.Cur();
    int number = -3;
    bool named = false;
    std::u16string name;
    int next;
    auto readDigits = [&](int p) {
        int value = 0;
        for (int i = 0; i < 3 && IsDigit(m_tokenizer.At(p)); ++i, ++p) value = value * 10 + (m_tokenizer.At(p) - u'0');
        number = value;
        return p;
    };
    if (token.ch == u'\\') {
        next = readDigits(token.start + 1);
    } else {
        const int p = token.start + 2;
        const WCHAR open = m_tokenizer.At(p);
        if (open == u'<' || open == u'\'') {
            next = ReadName(p + 1, open == u'<' ? u'>' : u'\'', &name);
            if (next >= 0 && !AllDigits(name, &number)) named = true;
        } else if (IsDigit(open)) {
            next = readDigits(p);
        } else {
            next = -1;
        }
        if (next < 0) {
            // \k or \g without a name or number: the letter itself.
            m_buildStatus |= RX_BUILD_FALLBACK;
            m_tokenizer.NextToken();
            return Make<CStringNodeT>(std::u32string(1, token.ch), (flags & RX_RIGHT_TO_LEFT) != 0,
                                      (flags & RX_IGNORE_CASE) != 0);
        }
    }
    m_tokenizer.SkipTo(next);
    auto* node = Make<CBackrefNodeT>(named ? -3 : number, (flags & RX_RIGHT_TO_LEFT) != 0,
                                     (flags & RX_IGNORE_CASE) != 0, named ? name : std::u16string());
    if (named) m_namedBackrefs.push_back(node);
    return node;
}

// ------------------------------------------------------------------ classes

MatchNode* CPatternBuilderT::BuildCharset(int flags) {
    const RegexToken& token = m_tokenizer.Cur();
    const int base = (flags & RX_RIGHT_TO_LEFT) ? 8 : 0;
    int type;
    switch (token.ch) {
    case u'.': type = (flags & RX_DOT_ALL) ? 1 : 2; break;
    case u'w': type = 3; break;
    case u'W': type = 4; break;
    case u's': type = 5; break;
    case u'S': type = 6; break;
    case u'd': type = 7; break;
    case u'D': type = 8; break;
    default:  // '['
        if (m_tokenizer.Next().IsMeta(u':'))
            if (MatchNode* posix = BuildPosix(flags)) return posix;
        return BuildClass(flags);
    }
    m_tokenizer.NextToken();
    return Predefined(type + base);
}

// "[:name:]" or "[:^name:]", inside a class or on its own. Returns null, with
// the scanner where it was, when the text names no class.
MatchNode* CPatternBuilderT::BuildPosix(int flags) {
    const CRegexTokenizer saved = m_tokenizer;
    m_tokenizer.NextToken();  // the ':'
    std::string collected;
    while (!m_tokenizer.Cur().IsEnd() && !m_tokenizer.Cur().IsMeta(u']')) {
        const char32_t c = m_tokenizer.Cur().ch;
        collected.push_back(c < 256 ? char(c) : '\0');
        m_tokenizer.NextToken();
    }
    if (m_tokenizer.Cur().IsMeta(u']')) {
        bool negated = false;
        if (PosixTest test = FindPosixClass(collected.c_str(), &negated)) {
            m_tokenizer.NextToken();
            // Elements hold no state of a match, so one element serves every
            // use of the same class within the expression.
            const bool rightToLeft = (flags & RX_RIGHT_TO_LEFT) != 0;
            for (const PosixElement& known : m_posixCache)
                if (known.test == test && known.rightToLeft == rightToLeft && known.positive == !negated)
                    return known.element;
            MatchNode* element = Make<CPosixNodeT>(test, rightToLeft, !negated);
            m_posixCache.push_back(PosixElement{test, rightToLeft, !negated, element});
            return element;
        }
    }
    m_tokenizer = saved;
    return nullptr;
}

MatchNode* CPatternBuilderT::BuildClass(int flags) {
    if (m_nesting >= kNestingLimit) {
        m_buildStatus |= RX_BUILD_TOO_DEEP;
        m_tokenizer.SkipTo(m_tokenizer.Length());
        return Predefined(0);
    }
    ++m_nesting;
    m_tokenizer.NextToken();  // the '['
    bool positive = true;
    if (m_tokenizer.Cur().IsMeta(u'^')) {
        positive = false;
        m_tokenizer.NextToken();
    }
    std::vector<std::pair<char32_t, char32_t>> ranges;
    std::vector<char32_t> singles;
    std::vector<MatchNode*> nested;
    for (;;) {
        const RegexToken& token = m_tokenizer.Cur();
        if (token.IsEnd()) {  // an unclosed class takes the rest of the pattern
            m_buildStatus |= RX_BUILD_FALLBACK;
            break;
        }
        if (token.IsMeta(u']')) {
            m_tokenizer.NextToken();
            break;
        }
        if (token.meta) {
            switch (token.ch) {
            case u'[':
                if (m_tokenizer.Next().IsMeta(u':')) {
                    nested.push_back(BuildCharset(flags));
                    continue;
                }
                break;
            case u'd': case u'D': case u's': case u'S': case u'w': case u'W':
                nested.push_back(BuildCharset(flags));
                continue;
            default:
                break;
            }
        }
        // A character followed by a '-' and an ordinary character is a
        // range. The first end may itself be a '-' ("[--/]" is '-' to '/'),
        // the last end may not ("[!--]" is '!' and '-'). Any other '-' (as
        // in "[-a]", "[a-]", "[\d-z]") stands for itself.
        if (m_tokenizer.Next().IsMeta(u'-') && !m_tokenizer.AfterNext().meta) {
            ranges.emplace_back(token.ch, m_tokenizer.AfterNext().ch);
            m_tokenizer.NextToken();
            m_tokenizer.NextToken();
            m_tokenizer.NextToken();
            continue;
        }
        // Any other token is the character it carries ('-' first or last, '^' not first, ...).
        singles.push_back(token.ch);
        m_tokenizer.NextToken();
    }
    --m_nesting;
    if (flags & RX_IGNORE_CASE) {
        const size_t rangeCount = ranges.size();
        for (size_t i = 0; i < rangeCount; ++i) {
            const char32_t low = ranges[i].first;
            const char32_t high = ranges[i].second;
            const char32_t upperLow = std::max<char32_t>(low, u'A'), upperHigh = std::min<char32_t>(high, u'Z');
            if (upperLow <= upperHigh) ranges.emplace_back(upperLow + 32, upperHigh + 32);
            const char32_t lowerLow = std::max<char32_t>(low, u'a'), lowerHigh = std::min<char32_t>(high, u'z');
            if (lowerLow <= lowerHigh) ranges.emplace_back(lowerLow - 32, lowerHigh - 32);
        }
        const size_t singleCount = singles.size();
        for (size_t i = 0; i < singleCount; ++i) {
            const char32_t c = singles[i];
            const char32_t other = IsAsciiUpper(c) ? ToLowerAscii(c) : ToUpperAscii(c);
            if (other != c && std::find(singles.begin(), singles.end(), other) == singles.end())
                singles.push_back(other);
        }
    }
    return Make<CRangeNodeT>(std::move(ranges), std::move(singles), std::move(nested),
                             (flags & RX_RIGHT_TO_LEFT) != 0, positive);
}

// ------------------------------------------------------------------- groups

MatchNode* CPatternBuilderT::FinishGroup(MatchNode* body) {
    if (m_tokenizer.Cur().IsMeta(u')')) {
        m_tokenizer.NextToken();
    } else {
        m_buildStatus |= RX_BUILD_FALLBACK;  // unclosed: the group ends with the pattern
    }
    return body;
}

void CPatternBuilderT::NoteGroupNumber(int number) {
    if (number > m_maxGroup) m_maxGroup = number;
    if (size_t(number) >= m_groups.size()) m_groups.resize(size_t(number) + 1, nullptr);
}

// A capture group: its two brackets around the body. Under right-to-left
// matching the ')' bracket is met first and opens the capture.
MatchNode* CPatternBuilderT::BuildCapture(int flags, int number, const std::u16string& name) {
    const bool rightToLeft = (flags & RX_RIGHT_TO_LEFT) != 0;
    const bool named = number < 0;  // numbered when the names are resolved
    size_t namedIndex = 0;
    if (named) {
        namedIndex = m_namedGroups.size();
        m_namedGroups.push_back(NamedGroup{name, nullptr, nullptr, nullptr});
    }
    auto* open = Make<CBracketNodeT>(number, rightToLeft, name);
    int bodyFlags = flags;
    MatchNode* body = FinishGroup(BuildAlternative(bodyFlags));
    auto* close = Make<CBracketNodeT>(number, !rightToLeft, name);
    MatchNode* const parts[] = {open, body, close};
    MatchNode* list = Make<CListNodeT>(parts, 3, rightToLeft);
    if (named) {
        m_namedGroups[namedIndex] = NamedGroup{name, list, open, close};
    } else {
        NoteGroupNumber(number);
        if (!m_groups[number]) m_groups[number] = list;
    }
    return list;
}

MatchNode* CPatternBuilderT::BuildRecursion(int number, const std::u16string& name) {
    auto* node = Make<CDelegateNodeT>(name.empty() ? number : -3, name);
    m_recursions.push_back(node);
    return node;
}

MatchNode* CPatternBuilderT::BuildGroup(int& flags) {
    const int open = m_tokenizer.Cur().start;
    if (m_nesting >= kNestingLimit) {
        m_buildStatus |= RX_BUILD_TOO_DEEP;
        m_tokenizer.SkipTo(m_tokenizer.Length());
        return Predefined(0);
    }
    ++m_nesting;
    ++m_openGroups;
    m_tokenizer.NextToken();
    MatchNode* result;
    const RegexToken& token = m_tokenizer.Cur();
    if (!token.IsMeta(u'?') || token.start != open + 1) {
        const int number = ++m_groupCount;
        NoteGroupNumber(number);
        result = BuildCapture(flags, number, std::u16string());
    } else {
        const int p = open + 2;  // the character after "(?"
        const WCHAR c = m_tokenizer.At(p);
        const WCHAR c1 = m_tokenizer.At(p + 1);
        std::u16string name;
        int after;
        int number = 0;
        auto subExpression = [&](int at, int bodyFlags) {
            m_tokenizer.SkipTo(at);
            return FinishGroup(BuildAlternative(bodyFlags));
        };
        auto namedGroup = [&](int nameStart, WCHAR terminator) -> MatchNode* {
            after = ReadName(nameStart, terminator, &name);
            if (after < 0) {  // no terminator: a group without capture from here
                m_buildStatus |= RX_BUILD_FALLBACK;
                return subExpression(nameStart, flags);
            }
            m_tokenizer.SkipTo(after);
            if (AllDigits(name, &number) && number <= kMaxGroupNumber) {
                NoteGroupNumber(number);
                return BuildCapture(flags, number, std::u16string());
            }
            // An all-digit name too large for a group number, or an empty
            // name, is kept as a name.
            if (name.empty() || AllDigits(name, &number)) m_buildStatus |= RX_BUILD_FALLBACK;
            return BuildCapture(flags, -1, name);
        };
        switch (c) {
        case u':':
            result = subExpression(p + 1, flags);
            break;
        case u'=':
        case u'!':
            result = Make<CAssertNodeT>(subExpression(p + 1, flags & ~RX_RIGHT_TO_LEFT), c == u'=');
            break;
        case u'>':
            result = Make<CIndependentNodeT>(subExpression(p + 1, flags));
            break;
        case u'<':
            if (c1 == u'=' || c1 == u'!') {
                result = Make<CAssertNodeT>(subExpression(p + 2, flags | RX_RIGHT_TO_LEFT), c1 == u'=');
            } else {
                result = namedGroup(p + 1, u'>');
            }
            break;
        case u'\'':
            result = namedGroup(p + 1, u'\'');
            break;
        case u'(':
            result = BuildCondition(flags, p);
            break;
        default:
            if (c == u'P' && (c1 == u'<' || c1 == u'\'')) {
                result = namedGroup(p + 2, c1 == u'<' ? u'>' : u'\'');
                break;
            }
            if (c == u'R') {
                if (c1 == u')') {
                    m_tokenizer.SkipTo(p + 2);
                    result = BuildRecursion(0, std::u16string());
                    break;
                }
                if (c1 == u'<' || c1 == u'\'') {
                    after = ReadName(p + 2, c1 == u'<' ? u'>' : u'\'', &name);
                    if (after >= 0 && m_tokenizer.At(after) == u')') {
                        m_tokenizer.SkipTo(after + 1);
                        result = AllDigits(name, &number) ? BuildRecursion(number, std::u16string())
                                                          : BuildRecursion(-3, name);
                        break;
                    }
                }
                if (IsDigit(c1)) {
                    int q = p + 1;
                    while (IsDigit(m_tokenizer.At(q))) ++q;
                    if (m_tokenizer.At(q) == u')') {
                        AllDigits(std::u16string(m_tokenizer.Pattern() + p + 1, m_tokenizer.Pattern() + q), &number);
                        m_tokenizer.SkipTo(q + 1);
                        result = BuildRecursion(number, std::u16string());
                        break;
                    }
                }
            }
            if (IsDigit(c)) {
                int q = p;
                while (IsDigit(m_tokenizer.At(q))) ++q;
                if (m_tokenizer.At(q) == u')') {
                    AllDigits(std::u16string(m_tokenizer.Pattern() + p, m_tokenizer.Pattern() + q), &number);
                    m_tokenizer.SkipTo(q + 1);
                    result = BuildRecursion(number, std::u16string());
                } else {  // digits without ')': a group without capture from here
                    m_buildStatus |= RX_BUILD_FALLBACK;
                    result = subExpression(p, flags);
                }
                break;
            }
            result = BuildModifiers(flags, p);
            break;
        }
    }
    --m_openGroups;
    --m_nesting;
    return result;
}

// "(?imsg-imsg)" changes the flags for the rest of the enclosing group;
// "(?imsg-imsg:...)" (or a sub-expression that starts right after the
// letters) only inside. Letters other than i, m, s and g are ignored.
MatchNode* CPatternBuilderT::BuildModifiers(int& flags, int at) {
    int set = 0;
    int cleared = 0;
    bool clearing = false;
    int q = at;
    for (;; ++q) {
        const WCHAR c = m_tokenizer.At(q);
        if (c == u'-') {
            clearing = true;
        } else if (IsAsciiAlpha(c)) {
            (clearing ? cleared : set) |= FlagForLetter(c);
        } else {
            break;
        }
    }
    const int changed = (flags | set) & ~cleared;
    const WCHAR c = m_tokenizer.At(q);
    if (c == u')') {
        flags = changed;
        m_tokenizer.SkipTo(q + 1);
        return nullptr;
    }
    if (c == u':') {
        ++q;
    } else if (c != u'(') {
        m_buildStatus |= RX_BUILD_FALLBACK;  // an unknown "(?" construct: a group without capture
    }
    m_tokenizer.SkipTo(q);
    int bodyFlags = changed;
    return FinishGroup(BuildAlternative(bodyFlags));
}

// "(?(" at position at: a look-around condition, a group number, or a name
// that is also compiled as a look-ahead for when no group has that name.
MatchNode* CPatternBuilderT::BuildCondition(int flags, int at) {
    int group = -1;
    std::u16string name;
    MatchNode* condition = nullptr;
    const WCHAR c1 = m_tokenizer.At(at + 1), c2 = m_tokenizer.At(at + 2), c3 = m_tokenizer.At(at + 3);
    if (c1 == u'?' && (c2 == u'=' || c2 == u'!' || (c2 == u'<' && (c3 == u'=' || c3 == u'!')))) {
        m_tokenizer.SkipTo(at);
        int conditionFlags = flags;
        condition = BuildGroup(conditionFlags);
    } else {
        int close = at + 1;
        while (close < m_tokenizer.Length() && m_tokenizer.At(close) != u')') ++close;
        name.assign(m_tokenizer.Pattern() + at + 1, m_tokenizer.Pattern() + close);
        int number;
        if (AllDigits(name, &number)) {
            group = number;
            name.clear();
            m_tokenizer.SkipTo(close < m_tokenizer.Length() ? close + 1 : close);
        } else {
            m_tokenizer.SkipTo(at + 1);
            int conditionFlags = flags & ~RX_RIGHT_TO_LEFT;
            condition = Make<CAssertNodeT>(FinishGroup(BuildAlternative(conditionFlags)), true);
        }
    }
    int branchFlags = flags;
    MatchNode* yes = BuildList(branchFlags);
    MatchNode* no = nullptr;
    if (m_tokenizer.Cur().IsMeta(u'|')) {
        m_tokenizer.NextToken();
        no = BuildAlternative(branchFlags);
    }
    FinishGroup(nullptr);
    auto* node = Make<CConditionNodeT>(group, name, condition, yes, no);
    if (!name.empty()) m_conditions.push_back(node);
    return node;
}

// Numbers the named groups after the plain ones (a name used again shares
// the first one's number), then points recursions, named back-references
// and named conditions at their groups.
void CPatternBuilderT::ResolveNames() {
    std::map<std::u16string, int> numbers;
    int next = m_groupCount;
    for (NamedGroup& group : m_namedGroups) {
        auto found = numbers.find(group.name);
        int number;
        if (found != numbers.end()) {
            number = found->second;
        } else {
            number = ++next;
            ++m_namedGroupCount;
            numbers.emplace(group.name, number);
        }
        group.open->SetGroup(number);
        group.close->SetGroup(number);
        NoteGroupNumber(number);
        if (!m_groups[number]) m_groups[number] = group.list;
    }
    auto lookup = [&](const std::u16string& name) {
        auto found = numbers.find(name);
        return found != numbers.end() ? found->second : -3;
    };
    for (CDelegateNodeT* recursion : m_recursions) {
        int number = recursion->GetName().empty() ? recursion->GetGroup() : lookup(recursion->GetName());
        MatchNode* target = nullptr;
        if (number == 0) {
            target = m_top;
        } else if (number > 0 && number <= m_maxGroup) {
            target = m_groups[number];
        }
        recursion->Resolve(target, number);
    }
    for (CBackrefNodeT* backref : m_namedBackrefs) backref->SetGroup(lookup(backref->GetName()));
    for (CConditionNodeT* condition : m_conditions) {
        int number = lookup(condition->GetName());
        if (number >= 0) condition->ResolveGroup(number);
    }
}
