// Whole-text matching and the match record.
#include <algorithm>
#include <new>

#include "regex.h"

using namespace regex;

namespace {

// Writes "CPatternT::MatchExact: <what> (<limit>); no match" to the debug
// output. It allocates nothing: it runs when memory may have run out.
void LogRunFailure(const char16_t* what, unsigned long long limit) {
    WCHAR message[128];
    int n = 0;
    auto append = [&](const char16_t* text) {
        while (*text && n < 120) message[n++] = *text++;
    };
    append(u"CPatternT::MatchExact: ");
    append(what);
    if (limit) {
        char16_t digits[24];
        int count = 0;
        do {
            digits[count++] = char16_t(u'0' + limit % 10);
            limit /= 10;
        } while (limit);
        append(u" (");
        while (count > 0 && n < 120) message[n++] = digits[--count];
        append(u")");
    }
    append(u"; no match\n");
    message[n] = 0;
    try {
        OutputDebugStringW(message);
    } catch (...) {
        // The log is a courtesy: a failure to write it must not end the program.
    }
}

}  // namespace

// ---------------------------------------------------------------- RegexMatch

void RegexMatch::Assign(const RegexMatch& other) {
    if (this == &other) return;
    m_size = 0;
    Reserve(other.m_size);
    std::copy(other.m_data, other.m_data + other.m_size, m_data);
    m_size = other.m_size;
}

void RegexMatch::Grow(int count) {
    const int capacity = std::max(count, m_capacity * 2);
    int* data = new int[size_t(capacity)];
    std::copy(m_data, m_data + m_size, data);
    if (m_data != m_inline) delete[] m_data;
    m_data = data;
    m_capacity = capacity;
}

void RegexMatch::Take(RegexMatch& other) {
    if (other.m_data == other.m_inline) {
        m_data = m_inline;
        m_capacity = kInline;
        std::copy(other.m_data, other.m_data + other.m_size, m_inline);
    } else {
        m_data = other.m_data;
        m_capacity = other.m_capacity;
        other.m_data = other.m_inline;
        other.m_capacity = kInline;
    }
    m_size = other.m_size;
    other.m_size = 0;
}

int RegexMatch::GroupValue(int group, int which) const {
    if (!IsMatch() || group < 0 || group > m_data[1]) return -1;
    return m_data[2 + 2 * group + which];
}

// ----------------------------------------------------------------- CPatternT

CPatternT::CPatternT() = default;

CPatternT::CPatternT(const WCHAR* pattern) { Compile(pattern); }

void CPatternT::Compile(const WCHAR* pattern) {
    Clear();
    int length = 0;
    if (pattern)
        while (pattern[length]) ++length;
    Build(pattern, length, 0);
    m_lastRun = RX_RUN_NOT_COMPILED;
}

RegexMatch CPatternT::MatchExact(const WCHAR* text) {
    int length = 0;
    if (text)
        while (text[length]) ++length;
    return MatchExactCore(text, length);
}

// Matches from the start of the text and asks the top element for its next
// way until one ends at the end of the text: the first such way in
// backtracking order is the match. The step budget ends runaway patterns.
RegexMatch CPatternT::MatchExactCore(const WCHAR* text, int length) {
    static const WCHAR kEmpty[1] = {0};
    RegexMatch result;
    if (!m_top) {
        m_lastRun = RX_RUN_NOT_COMPILED;
        return result;
    }
    if (!text || length < 0) {
        text = kEmpty;
        length = 0;
    }
    // A text without a unit that every match holds cannot match.
    if (const int required = m_top->RequiredUnit(); required >= 0) {
        if (std::find(text, text + length, WCHAR(required)) == text + length) {
            m_state.depthLimitReached = false;
            m_lastRun = RX_RUN_NO_MATCH;
            return result;
        }
    }
    try {
        const int begin = m_topRightToLeft ? length : 0;
        const int end = m_topRightToLeft ? 0 : length;
        m_state.Reset(text, length, begin, GetGroupCount(), m_top->Height(), m_stepLimit);
        bool matched = m_state.CallMatch(m_top);
        while (matched && m_state.pos != end) matched = m_state.CallRetry(m_top);
        if (!matched) {
            m_lastRun = RX_RUN_NO_MATCH;
            return result;
        }
        const int groups = GetGroupCount();
        result.Reserve(2 * groups + 4);
        result.Add(1);
        result.Add(groups);
        result.Add(std::min(begin, m_state.pos));
        result.Add(std::max(begin, m_state.pos));
        for (int group = 1; group <= groups; ++group) {
            const int latest = m_state.captureIndex[size_t(group)];
            const CaptureRecord* record = latest >= 0 ? &m_state.captures[size_t(latest)] : nullptr;
            if (!record || record->end == -1) {
                result.Add(-1);
                result.Add(-1);
            } else {
                result.Add(std::min(record->start, record->end));
                result.Add(std::max(record->start, record->end));
            }
        }
        m_lastRun = RX_RUN_MATCHED;
    } catch (const MatchAbort& abort) {
        result.RemoveAll();
        if (abort.reason == MatchAbort::kStepLimit) {
            m_lastRun = RX_RUN_STEP_LIMIT;
            LogRunFailure(u"step limit reached", m_stepLimit);
        } else {
            m_lastRun = RX_RUN_STACK_LIMIT;
            LogRunFailure(u"backtracking stack limit reached", 0);
        }
    } catch (const std::bad_alloc&) {
        result.RemoveAll();
        m_lastRun = RX_RUN_NO_MEMORY;
        LogRunFailure(u"out of memory", 0);
    }
    if (m_lastRun != RX_RUN_MATCHED && m_lastRun != RX_RUN_NO_MATCH) m_state.Release();
    return result;
}
