#include "nodes.h"

#include <algorithm>

namespace regex {

// ---------------------------------------------------------------- MatchState

void MatchState::Reset(const WCHAR* matchText, int matchLength, int matchBegin, int groupCount,
                       unsigned long long limit) {
    text = matchText;
    length = matchLength;
    begin = matchBegin;
    pos = matchBegin;
    closeCounter = 0;
    recursionLimit = kRecursionLimit;
    depth = 0;
    depthLimitReached = false;
    steps = 0;
    stepLimit = limit;
    stack.clear();
    captures.clear();
    captures.push_back(CaptureRecord{0, matchBegin, -1, -1, -1});
    captureIndex.assign(size_t(groupCount) + 1, -1);
    captureIndex[0] = 0;
}

void MatchState::Release() {
    std::vector<int>().swap(stack);
    std::vector<CaptureRecord>().swap(captures);
    std::vector<int>().swap(captureIndex);
}

const CaptureRecord* MatchState::LatestCapture(int group) const {
    if (group < 0 || size_t(group) >= captureIndex.size()) return nullptr;
    int index = captureIndex[group];
    return index >= 0 ? &captures[index] : nullptr;
}

void MatchState::RestoreCaptures(int size) {
    while (int(captures.size()) > size) {
        const CaptureRecord& record = captures.back();
        captureIndex[record.group] = record.prev;
        captures.pop_back();
    }
}

// Opening side: a fresh record, or one level deeper into a record that is
// still open (the group re-entered through recursion). Pushes which of the
// two it did.
void MatchState::OpenCapture(int group) {
    if (size_t(group) >= captureIndex.size()) captureIndex.resize(size_t(group) + 1, -1);
    int index = captureIndex[group];
    if (index >= 0 && captures[index].end == -1) {
        --captures[index].fourth;
        Push(1);
        return;
    }
    if (captures.size() >= kStackLimit / 8) throw MatchAbort{MatchAbort::kStackLimit};
    captures.push_back(CaptureRecord{group, pos, -1, 0, index});
    captureIndex[group] = int(captures.size()) - 1;
    Push(2);
}

void MatchState::UndoOpenCapture(int group) {
    int action = Pop();
    int index = captureIndex[group];
    if (action == 1) {
        ++captures[index].fourth;
    } else {
        captureIndex[group] = captures[index].prev;
        captures.pop_back();
    }
}

// Closing side: leaves one level of a re-entered record, or ends the record.
void MatchState::CloseCapture(int group) {
    int index = size_t(group) < captureIndex.size() ? captureIndex[group] : -1;
    if (index < 0) {
        Push(0);
        return;
    }
    CaptureRecord& record = captures[index];
    if (record.fourth < 0) {
        ++record.fourth;
        Push(1);
    } else if (record.end == -1) {
        record.end = pos;
        record.fourth = closeCounter++;
        Push(2);
    } else {
        Push(0);
    }
}

void MatchState::UndoCloseCapture(int group) {
    int action = Pop();
    if (action == 0) return;
    CaptureRecord& record = captures[captureIndex[group]];
    if (action == 1) {
        --record.fourth;
    } else {
        record.end = -1;
        record.fourth = 0;
    }
}

// ------------------------------------------------------------------ sequences

bool CListNodeT::Run(MatchState& state, int k, bool retrying) {
    const int n = int(m_items.size());
    for (;;) {
        if (retrying) {
            for (;;) {
                if (k == 0) return false;
                --k;
                if (state.CallRetry(Item(k))) {
                    ++k;
                    break;
                }
            }
            retrying = false;
        }
        if (k == n) return true;
        if (state.CallMatch(Item(k))) {
            ++k;
        } else {
            retrying = true;
        }
    }
}

bool CListNodeT::Match(MatchState& state) { return Run(state, 0, false); }
bool CListNodeT::Retry(MatchState& state) { return Run(state, int(m_items.size()), true); }

bool CAlternativeNodeT::MatchFrom(MatchState& state, size_t first) {
    for (size_t i = first; i < m_branches.size(); ++i) {
        if (state.CallMatch(m_branches[i])) {
            state.Push(int(i));
            return true;
        }
    }
    return false;
}

bool CAlternativeNodeT::Match(MatchState& state) {
    if (m_branches.empty()) return true;
    return MatchFrom(state, 0);
}

bool CAlternativeNodeT::Retry(MatchState& state) {
    if (m_branches.empty()) return false;
    int branch = state.Pop();
    if (state.CallRetry(m_branches[branch])) {
        state.Push(branch);
        return true;
    }
    return MatchFrom(state, size_t(branch) + 1);
}

// ---------------------------------------------------------------- repetitions
//
// The stack layout of a repetition over a general child: the fixed part's
// repetitions (the child's own pushes, one after the other), then for each
// optional repetition the child's pushes followed by the position where that
// repetition started, then the count of optional repetitions. Over a simple
// child (one way, no pushes) it is just the start position and the count.

bool CRepeatNodeT::RunFixed(MatchState& state, int k, bool retrying) {
    for (;;) {
        if (retrying) {
            for (;;) {
                if (k == 0) return false;
                --k;
                if (state.CallRetry(m_child)) {
                    ++k;
                    break;
                }
            }
            retrying = false;
        }
        if (k == m_count) return true;
        if (state.CallMatch(m_child)) {
            ++k;
        } else {
            retrying = true;
        }
    }
}

bool CRepeatNodeT::MatchFixed(MatchState& state) {
    if (m_width) {
        const int start = state.pos;
        for (int i = 0; i < m_count; ++i) {
            if (!state.CallMatch(m_child)) {
                state.pos = start;
                return false;
            }
        }
        return true;
    }
    return RunFixed(state, 0, false);
}

bool CRepeatNodeT::RetryFixed(MatchState& state) {
    if (m_width) {
        state.pos -= m_count * m_step;
        return false;
    }
    return RunFixed(state, m_count, true);
}

bool CRepeatNodeT::Match(MatchState& state) { return MatchFixed(state); }
bool CRepeatNodeT::Retry(MatchState& state) { return RetryFixed(state); }

bool CGreedyNodeT::Match(MatchState& state) {
    if (m_width) {
        const int start = state.pos;
        int made = 0;
        const int most = m_count + m_optional;  // at most 0x7FFFFFFF by construction
        while (made < most && state.CallMatch(m_child)) ++made;
        if (made < m_count) {
            state.pos = start;
            return false;
        }
        state.Push2(start, made);
        return true;
    }
    if (!MatchFixed(state)) return false;
    Extend(state, 0);
    return true;
}

// Adds optional repetitions while the child matches. A repetition that
// consumes nothing is first asked for another way that does; when it has
// none it is undone and the loop stops, so no repetition beyond the minimum
// is ever empty.
void CGreedyNodeT::Extend(MatchState& state, int made) {
    while (made < m_optional) {
        const int start = state.pos;
        if (!state.CallMatch(m_child)) break;
        bool consumed = state.pos != start;
        while (!consumed && state.CallRetry(m_child)) consumed = state.pos != start;
        if (!consumed) break;
        state.Push(start);
        ++made;
    }
    state.Push(made);
}

// The next way in backtracking order: the last optional repetition's next
// non-empty way followed by as many repetitions as fit; else one repetition
// fewer; with no optional repetition left, the fixed part's next way and
// then as many repetitions as fit.
bool CGreedyNodeT::Retry(MatchState& state) {
    if (m_width) {
        int made = state.Pop();
        const int start = state.Pop();
        if (made > m_count) {
            --made;
            state.pos = start + made * m_step;
            state.Push2(start, made);
            return true;
        }
        state.pos = start;
        return false;
    }
    int made = state.Pop();
    if (made > 0) {
        const int start = state.Pop();
        while (state.CallRetry(m_child)) {
            if (state.pos != start) {
                state.Push(start);
                Extend(state, made);
                return true;
            }
        }
        state.Push(made - 1);
        return true;
    }
    if (!RetryFixed(state)) return false;
    Extend(state, 0);
    return true;
}

bool CReluctantNodeT::Match(MatchState& state) {
    if (m_width) {
        const int start = state.pos;
        if (!MatchFixed(state)) return false;
        state.Push2(start, 0);
        return true;
    }
    if (!MatchFixed(state)) return false;
    state.Push(0);
    return true;
}

// The next way in backtracking order: one more non-empty repetition; else
// the last repetition's next non-empty way (dropping repetitions that have
// none); with none left, the fixed part's next way.
bool CReluctantNodeT::Retry(MatchState& state) {
    if (m_width) {
        int made = state.Pop();
        const int start = state.Pop();
        if (made < m_optional && state.CallMatch(m_child)) {
            state.Push2(start, made + 1);
            return true;
        }
        state.pos = start;
        return false;
    }
    int made = state.Pop();
    if (made < m_optional) {
        const int start = state.pos;
        if (state.CallMatch(m_child)) {
            bool consumed = state.pos != start;
            while (!consumed && state.CallRetry(m_child)) consumed = state.pos != start;
            if (consumed) {
                state.Push(start);
                state.Push(made + 1);
                return true;
            }
        }
    }
    while (made > 0) {
        const int start = state.Pop();
        while (state.CallRetry(m_child)) {
            if (state.pos != start) {
                state.Push(start);
                state.Push(made);
                return true;
            }
        }
        --made;
    }
    if (RetryFixed(state)) {
        state.Push(0);
        return true;
    }
    return false;
}

// ------------------------------------------------ atomic and look-around parts

bool CPossessiveNodeT::Match(MatchState& state) {
    const int top = state.Top();
    const int captureSize = state.CaptureSize();
    const int start = state.pos;
    if (!CGreedyNodeT::Match(state)) return false;
    state.stack.resize(size_t(top));
    state.Push2(start, captureSize);
    return true;
}

bool CPossessiveNodeT::Retry(MatchState& state) {
    const int captureSize = state.Pop();
    state.pos = state.Pop();
    state.RestoreCaptures(captureSize);
    return false;
}

bool CIndependentNodeT::Match(MatchState& state) {
    const int top = state.Top();
    const int captureSize = state.CaptureSize();
    const int start = state.pos;
    if (!state.CallMatch(m_child)) return false;
    state.stack.resize(size_t(top));
    state.Push2(start, captureSize);
    return true;
}

bool CIndependentNodeT::Retry(MatchState& state) {
    const int captureSize = state.Pop();
    state.pos = state.Pop();
    state.RestoreCaptures(captureSize);
    return false;
}

// A look-around consumes nothing and is never retried into. Captures made
// inside a positive one stay.
bool CAssertNodeT::Match(MatchState& state) {
    const int top = state.Top();
    const int captureSize = state.CaptureSize();
    const int start = state.pos;
    const bool matched = state.CallMatch(m_child);
    state.stack.resize(size_t(top));
    state.pos = start;
    if (matched != m_positive) {
        state.RestoreCaptures(captureSize);
        return false;
    }
    state.Push(captureSize);
    return true;
}

bool CAssertNodeT::Retry(MatchState& state) {
    state.RestoreCaptures(state.Pop());
    return false;
}

// ------------------------------------------------------------ groups and refs

bool CBracketNodeT::Match(MatchState& state) {
    if (m_closing) {
        state.CloseCapture(m_group);
    } else {
        state.OpenCapture(m_group);
    }
    return true;
}

bool CBracketNodeT::Retry(MatchState& state) {
    if (m_closing) {
        state.UndoCloseCapture(m_group);
    } else {
        state.UndoOpenCapture(m_group);
    }
    return false;
}

bool CBackrefNodeT::Match(MatchState& state) {
    const CaptureRecord* record = state.LatestCapture(m_group);
    if (!record) return false;
    const int a = record->start;
    const int b = record->end == -1 ? state.pos : record->end;
    const int low = std::min(a, b);
    const int size = std::max(a, b) - low;
    int at;
    if (m_rightToLeft) {
        if (state.pos < size) return false;
        at = state.pos - size;
    } else {
        if (state.length - state.pos < size) return false;
        at = state.pos;
    }
    const WCHAR* captured = state.text + low;
    const WCHAR* here = state.text + at;
    if (m_ignoreCase) {
        for (int i = 0; i < size; ++i)
            if (FoldAscii(captured[i]) != FoldAscii(here[i])) return false;
    } else {
        for (int i = 0; i < size; ++i)
            if (captured[i] != here[i]) return false;
    }
    state.Push(state.pos);
    state.pos = m_rightToLeft ? at : at + size;
    return true;
}

bool CBackrefNodeT::Retry(MatchState& state) {
    state.pos = state.Pop();
    return false;
}

bool CConditionNodeT::Match(MatchState& state) {
    bool yes;
    if (m_group >= 0) {
        yes = state.LatestCapture(m_group) != nullptr;
    } else if (!m_condition) {
        yes = true;
    } else {
        const int top = state.Top();
        const int captureSize = state.CaptureSize();
        const int start = state.pos;
        yes = state.CallMatch(m_condition);
        state.stack.resize(size_t(top));
        state.RestoreCaptures(captureSize);
        state.pos = start;
    }
    MatchNode* branch = yes ? m_yes : m_no;
    const int captureSize = state.CaptureSize();
    if (branch && !state.CallMatch(branch)) {
        state.RestoreCaptures(captureSize);
        return false;
    }
    state.Push2(captureSize, yes ? 1 : 0);
    return true;
}

bool CConditionNodeT::Retry(MatchState& state) {
    const bool yes = state.Pop() != 0;
    const int captureSize = state.Pop();
    MatchNode* branch = yes ? m_yes : m_no;
    if (branch && state.CallRetry(branch)) {
        state.Push2(captureSize, yes ? 1 : 0);
        return true;
    }
    state.RestoreCaptures(captureSize);
    return false;
}

// The recursion limit counts the recursion constructs active on the call
// stack; Match and Retry of the target both run one level deeper.
bool CDelegateNodeT::Match(MatchState& state) {
    if (!m_target) return true;
    if (state.recursionLimit < 1) return false;
    --state.recursionLimit;
    const bool matched = state.CallMatch(m_target);
    ++state.recursionLimit;
    return matched;
}

bool CDelegateNodeT::Retry(MatchState& state) {
    if (!m_target) return false;
    --state.recursionLimit;
    const bool matched = state.CallRetry(m_target);
    ++state.recursionLimit;
    return matched;
}

// ------------------------------------------------------------ single elements

CRangeNodeT::CRangeNodeT(std::vector<std::pair<char32_t, char32_t>> ranges, std::vector<char32_t> singles,
                         std::vector<MatchNode*> nested, bool rightToLeft, bool positive)
    : m_ranges(std::move(ranges)),
      m_singles(std::move(singles)),
      m_nested(std::move(nested)),
      m_rightToLeft(rightToLeft),
      m_positive(positive) {
    for (const auto& range : m_ranges) m_set.AddRange(range.first, range.second);
    for (char32_t c : m_singles) m_set.AddChar(c);
    for (MatchNode* node : m_nested)
        if (const CharSet* set = node->GetCharSet()) m_set.AddSet(*set);
    if (!m_positive) m_set.Invert();
    m_set.Seal();
}

bool CRangeNodeT::Match(MatchState& state) {
    if (m_rightToLeft) {
        if (state.pos <= 0 || !m_set.Contains(state.text[state.pos - 1])) return false;
        --state.pos;
    } else {
        if (state.pos >= state.length || !m_set.Contains(state.text[state.pos])) return false;
        ++state.pos;
    }
    return true;
}

bool CRangeNodeT::Retry(MatchState& state) {
    state.pos += m_rightToLeft ? 1 : -1;
    return false;
}

CPosixNodeT::CPosixNodeT(PosixTest test, bool rightToLeft, bool positive)
    : m_test(test), m_rightToLeft(rightToLeft), m_positive(positive) {
    m_set.AddTest(m_test, m_positive);
    m_set.Seal();
}

bool CPosixNodeT::Match(MatchState& state) {
    if (m_rightToLeft) {
        if (state.pos <= 0 || m_test(state.text[state.pos - 1]) != m_positive) return false;
        --state.pos;
    } else {
        if (state.pos >= state.length || m_test(state.text[state.pos]) != m_positive) return false;
        ++state.pos;
    }
    return true;
}

bool CPosixNodeT::Retry(MatchState& state) {
    state.pos += m_rightToLeft ? 1 : -1;
    return false;
}

CStringNodeT::CStringNodeT(std::u32string chars, bool rightToLeft, bool ignoreCase)
    : m_chars(std::move(chars)), m_rightToLeft(rightToLeft), m_ignoreCase(ignoreCase) {
    if (m_ignoreCase)
        for (char32_t& c : m_chars) c = FoldAscii(c);
}

bool CStringNodeT::Match(MatchState& state) {
    const int size = int(m_chars.size());
    int at;
    if (m_rightToLeft) {
        if (state.pos < size) return false;
        at = state.pos - size;
    } else {
        if (state.length - state.pos < size) return false;
        at = state.pos;
    }
    const WCHAR* here = state.text + at;
    if (m_ignoreCase) {
        for (int i = 0; i < size; ++i)
            if (FoldAscii(here[i]) != m_chars[i]) return false;
    } else {
        for (int i = 0; i < size; ++i)
            if (char32_t(here[i]) != m_chars[i]) return false;
    }
    state.pos = m_rightToLeft ? at : at + size;
    return true;
}

bool CStringNodeT::Retry(MatchState& state) {
    state.pos += m_rightToLeft ? int(m_chars.size()) : -int(m_chars.size());
    return false;
}

bool CBoundaryNodeT::Match(MatchState& state) {
    const int pos = state.pos;
    const int length = state.length;
    const WCHAR* text = state.text;
    const WCHAR before = pos > 0 ? text[pos - 1] : 0;
    const WCHAR here = pos < length ? text[pos] : 0;
    const bool wordBefore = pos > 0 && IsWordChar(before);
    const bool wordHere = pos < length && IsWordChar(here);
    bool result = false;
    switch (m_type) {
    case kStartOfText:
        result = pos == 0;
        break;
    case kEndOfText:
        result = pos == length;
        break;
    case kEndBeforeFinalBreak:
        result = pos == length || (pos == length - 1 && here == u'\n') ||
                 (pos == length - 2 && here == u'\r' && text[pos + 1] == u'\n');
        break;
    case kStartOfLine:
        result = pos == 0 || before == u'\n' || (before == u'\r' && here != u'\n');
        break;
    case kEndOfLine:
        result = pos == length || here == u'\r' || (here == u'\n' && before != u'\r');
        break;
    case kStartOfWord:
        result = !wordBefore && wordHere;
        break;
    case kEndOfWord:
        result = wordBefore && !wordHere;
        break;
    case kWordBoundary:
        result = wordBefore != wordHere;
        break;
    }
    return result == m_positive;
}

}  // namespace regex
