#include "nodes.h"

#include <algorithm>

namespace regex {

namespace {

// n times a signed step, or kNeedsRetry when that does not fit comfortably.
int ScaledStep(long long n, int step) {
    if (step == MatchNode::kNeedsRetry) return MatchNode::kNeedsRetry;
    const long long total = n * step;
    return (total > INT_MAX / 2 || total < -(INT_MAX / 2)) ? MatchNode::kNeedsRetry : int(total);
}

// The unit an element moving in the given direction reads first: -1 at the edge.
inline int NextUnit(const MatchState& state, bool rightToLeft) {
    if (rightToLeft) return state.pos > 0 ? state.text[state.pos - 1] : -1;
    return state.pos < state.length ? state.text[state.pos] : -1;
}

}  // namespace

// ---------------------------------------------------------------- MatchState

void MatchState::Reset(const WCHAR* matchText, int matchLength, int matchBegin, int groupCount, int topHeight,
                       unsigned long long limit) {
    text = matchText;
    length = matchLength;
    begin = matchBegin;
    pos = matchBegin;
    closeCounter = 0;
    recursionLimit = kRecursionLimit;
    depthBound = topHeight;
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
    stack.Release();
    captures.Release();
    std::vector<int>().swap(captureIndex);
}

// ------------------------------------------------------------------ sequences

// A list among the items (a group, say) that matches in the same direction
// is taken apart into its items: matching them in a row is the same as
// matching the list, and saves a level of calls. The list element itself
// stays for recursion into its group.
CListNodeT::CListNodeT(MatchNode* const* items, size_t count, bool rightToLeft) : m_rightToLeft(rightToLeft) {
    auto takenApart = [this](MatchNode* node) {
        return node->GetKind() == kList && static_cast<CListNodeT*>(node)->m_rightToLeft == m_rightToLeft;
    };
    size_t total = 0;
    for (size_t i = 0; i < count; ++i)
        total += takenApart(items[i]) ? static_cast<CListNodeT*>(items[i])->m_items.size() : 1;
    m_items.reserve(total);
    for (size_t i = 0; i < count; ++i) {
        MatchNode* node = items[m_rightToLeft ? count - 1 - i : i];
        if (takenApart(node)) {
            const std::vector<Item>& inner = static_cast<CListNodeT*>(node)->m_items;
            m_items.insert(m_items.end(), inner.begin(), inner.end());
        } else {
            m_items.push_back(Item{node, node->UndoStep(), node->GetKind()});
        }
    }
    long long step = 0;
    bool simple = true;
    m_first.nullable = true;
    for (const Item& item : m_items) {
        if (item.undo == kNeedsRetry) {
            simple = false;
        } else {
            step += item.undo;
        }
        m_height = std::max(m_height, item.node->Height() + 1);
        if (m_first.nullable) {
            m_first.AddSet(item.node->First());
            m_first.nullable = item.node->First().nullable;
        }
    }
    m_simpleStep = (simple && step <= INT_MAX / 2 && step >= -(INT_MAX / 2)) ? int(step) : kNeedsRetry;
    m_count = int(m_items.size());
    for (const Item& item : m_items)  // every item matches: any one that knows a unit
        if (item.node->RequiredUnit() >= 0) m_required = item.node->RequiredUnit();
    m_kind = kList;
}

// Matches the items from k on, backtracking into earlier ones (first, when
// retrying, into item k - 1). Items with one way are undone here rather
// than asked to retry.
bool CListNodeT::Run(MatchState& state, int k, bool retrying) {
    const int n = m_count;
    const Item* items = m_items.data();
    for (;;) {
        if (retrying) {
            for (;;) {
                if (k == 0) return false;
                const Item& item = items[--k];
                if (item.undo != kNeedsRetry) {
                    state.pos -= item.undo;
                } else if (item.kind == kOpenBracket) {
                    static_cast<const CBracketNodeT*>(item.node)->UndoOpen(state);
                } else if (item.kind == kCloseBracket) {
                    static_cast<const CBracketNodeT*>(item.node)->UndoClose(state);
                } else if (state.CallRetry(item.node)) {
                    ++k;
                    break;
                }
            }
            retrying = false;
        }
        if (k == n) return true;
        // The common single elements run here; the rest after a look at the next unit.
        const Item& item = items[k];
        const bool matched =
            item.kind <= kList
                ? !item.node->First().Excludes(NextUnit(state, m_rightToLeft)) && MatchElement(state, item.node, false)
                : MatchElement(state, item.node, false);
        if (matched) {
            ++k;
        } else {
            retrying = true;
        }
    }
}

bool CListNodeT::Match(MatchState& state) { return Run(state, 0, false); }
bool CListNodeT::Retry(MatchState& state) { return Run(state, m_count, true); }

CAlternativeNodeT::CAlternativeNodeT(MatchNode* const* branches, size_t count, bool rightToLeft)
    : m_branches(branches, branches + count), m_rightToLeft(rightToLeft) {
    m_first.nullable = m_branches.empty();
    // A unit is required only when every branch requires it.
    m_required = m_branches.empty() ? -1 : m_branches[0]->RequiredUnit();
    for (MatchNode* branch : m_branches)
        if (branch->RequiredUnit() != m_required) m_required = -1;
    for (MatchNode* branch : m_branches) {
        m_first.AddSet(branch->First());
        m_first.nullable = m_first.nullable || branch->First().nullable;
        m_height = std::max(m_height, branch->Height() + 1);
    }
}

// The first branch from first on that matches; a branch that cannot start
// with the next unit is passed over without a call.
bool CAlternativeNodeT::MatchFrom(MatchState& state, size_t first) {
    const int next = NextUnit(state, m_rightToLeft);
    for (size_t i = first; i < m_branches.size(); ++i) {
        if (m_branches[i]->First().Excludes(next)) continue;
        if (MatchElement(state, m_branches[i], true)) {
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
    const int branch = state.Pop();
    MatchNode* node = m_branches[size_t(branch)];
    const int undo = node->UndoStep();
    if (undo != kNeedsRetry) {
        state.pos -= undo;
    } else if (state.CallRetry(node)) {
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
// repetition started, then the count of optional repetitions. Over a child
// with one way and a width it is just the start position and the count.

CRepeatNodeT::CRepeatNodeT(MatchNode* child, int count, bool rightToLeft)
    : m_child(child), m_count(count), m_rightToLeft(rightToLeft) {
    const int undo = child->UndoStep();
    m_step = (undo != kNeedsRetry && undo != 0) ? undo : 0;
    m_childSet = child->GetCharSet();
    m_height = child->Height() + 1;
    if (count > 0) {
        m_first = child->First();
        m_required = child->RequiredUnit();
    }
    m_first.nullable = m_first.nullable || count == 0;
}

int CRepeatNodeT::UndoStep() const { return ScaledStep(m_count, m_child->UndoStep()); }

int CRepeatNodeT::RunSimple(MatchState& state, int most) {
    int made = 0;
    if (m_childSet) {  // a class: test the units directly
        const WCHAR* text = state.text;
        if (m_rightToLeft) {
            const int room = std::min(most, state.pos);
            while (made < room && m_childSet->Contains(text[state.pos - 1 - made])) ++made;
            state.pos -= made;
        } else {
            const int room = std::min(most, state.length - state.pos);
            while (made < room && m_childSet->Contains(text[state.pos + made])) ++made;
            state.pos += made;
        }
    } else {
        while (made < most && MatchElement(state, m_child, true)) ++made;
    }
    state.steps += unsigned(made);
    if (state.steps > state.stepLimit) throw MatchAbort{MatchAbort::kStepLimit};
    return made;
}

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
        if (MatchChild(state)) {
            ++k;
        } else {
            retrying = true;
        }
    }
}

bool CRepeatNodeT::MatchFixed(MatchState& state) {
    if (m_step) {
        const int start = state.pos;
        if (RunSimple(state, m_count) == m_count) return true;
        state.pos = start;
        return false;
    }
    return RunFixed(state, 0, false);
}

bool CRepeatNodeT::RetryFixed(MatchState& state) {
    if (m_step) {
        state.pos -= m_count * m_step;
        return false;
    }
    return RunFixed(state, m_count, true);
}

bool CRepeatNodeT::Match(MatchState& state) { return MatchFixed(state); }
bool CRepeatNodeT::Retry(MatchState& state) { return RetryFixed(state); }

CGreedyNodeT::CGreedyNodeT(MatchNode* child, int minimum, int optional, bool rightToLeft)
    : CRepeatNodeT(child, minimum, rightToLeft), m_optional(optional) {
    m_first = child->First();
    m_first.nullable = m_first.nullable || minimum == 0;
}

bool CGreedyNodeT::Match(MatchState& state) {
    if (m_step) {
        const int start = state.pos;
        const int made = RunSimple(state, m_count + m_optional);  // at most 0x7FFFFFFF by construction
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
        if (!MatchChild(state)) break;
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
    if (m_step) {
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
    const int made = state.Pop();
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

CReluctantNodeT::CReluctantNodeT(MatchNode* child, int minimum, int optional, bool rightToLeft)
    : CRepeatNodeT(child, minimum, rightToLeft), m_optional(optional) {
    m_first = child->First();
    m_first.nullable = m_first.nullable || minimum == 0;
}

bool CReluctantNodeT::Match(MatchState& state) {
    const int start = state.pos;
    if (!MatchFixed(state)) return false;
    if (m_step) {
        state.Push2(start, 0);
    } else {
        state.Push(0);
    }
    return true;
}

// The next way in backtracking order: one more non-empty repetition; else
// the last repetition's next non-empty way (dropping repetitions that have
// none); with none left, the fixed part's next way.
bool CReluctantNodeT::Retry(MatchState& state) {
    if (m_step) {
        const int made = state.Pop();
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
        if (MatchChild(state)) {
            bool consumed = state.pos != start;
            while (!consumed && state.CallRetry(m_child)) consumed = state.pos != start;
            if (consumed) {
                state.Push2(start, made + 1);
                return true;
            }
        }
    }
    while (made > 0) {
        const int start = state.Pop();
        while (state.CallRetry(m_child)) {
            if (state.pos != start) {
                state.Push2(start, made);
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

CIndependentNodeT::CIndependentNodeT(MatchNode* child) : m_child(child) {
    m_first = child->First();
    m_required = child->RequiredUnit();
    m_height = child->Height() + 1;
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

CAssertNodeT::CAssertNodeT(MatchNode* child, bool positive) : m_child(child), m_positive(positive) {
    m_first.nullable = true;
    m_height = child->Height() + 1;
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

CBracketNodeT::CBracketNodeT(int group, bool closing, std::u16string name)
    : m_group(group), m_closing(closing), m_name(std::move(name)) {
    m_first.nullable = true;
    m_kind = closing ? kCloseBracket : kOpenBracket;
}

CBackrefNodeT::CBackrefNodeT(int group, bool rightToLeft, bool ignoreCase, std::u16string name)
    : m_group(group), m_rightToLeft(rightToLeft), m_ignoreCase(ignoreCase), m_name(std::move(name)) {
    m_first.any = true;
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

CConditionNodeT::CConditionNodeT(int group, std::u16string name, MatchNode* condition, MatchNode* yes, MatchNode* no)
    : m_group(group), m_name(std::move(name)), m_condition(condition), m_yes(yes), m_no(no) {
    m_first.any = true;
    for (MatchNode* child : {condition, yes, no})
        if (child) m_height = std::max(m_height, child->Height() + 1);
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

CDelegateNodeT::CDelegateNodeT(int group, std::u16string name) : m_group(group), m_name(std::move(name)) {
    m_first.any = true;
}

// The recursion limit counts the recursion constructs in progress. Each also
// adds its target's height to the depth bound, which keeps the nesting of
// calls under the limit; a recursion past either limit fails that way.
// Retry runs where its Match ran, within both limits.
bool CDelegateNodeT::Match(MatchState& state) {
    if (!m_target) return true;
    if (state.recursionLimit < 1) return false;
    const int height = m_target->Height();
    if (state.depthBound + height > MatchState::kCallDepthLimit) {
        state.depthLimitReached = true;
        return false;
    }
    --state.recursionLimit;
    state.depthBound += height;
    const bool matched = state.CallMatch(m_target);
    state.depthBound -= height;
    ++state.recursionLimit;
    return matched;
}

bool CDelegateNodeT::Retry(MatchState& state) {
    if (!m_target) return false;
    const int height = m_target->Height();
    --state.recursionLimit;
    state.depthBound += height;
    const bool matched = state.CallRetry(m_target);
    state.depthBound -= height;
    ++state.recursionLimit;
    return matched;
}

// ------------------------------------------------------------ single elements

namespace {

void FirstFromSet(FirstSet& first, const CharSet& set) {
    first.ascii[0] = set.AsciiBits(0);
    first.ascii[1] = set.AsciiBits(1);
    first.high = !set.IsAsciiOnly();
}

}  // namespace

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
    FirstFromSet(m_first, m_set);
    m_kind = kRange;
}

bool CRangeNodeT::Retry(MatchState& state) {
    state.pos += m_rightToLeft ? 1 : -1;
    return false;
}

CPosixNodeT::CPosixNodeT(PosixTest test, bool rightToLeft, bool positive)
    : m_test(test), m_rightToLeft(rightToLeft), m_positive(positive) {
    // The test's answers, kept as a set so that a match is one bit test.
    m_set.AddTest(m_test, m_positive);
    m_set.Seal();
    FirstFromSet(m_first, m_set);
    m_kind = kPosix;
}

bool CPosixNodeT::Retry(MatchState& state) {
    state.pos += m_rightToLeft ? 1 : -1;
    return false;
}

CStringNodeT::CStringNodeT(std::u32string chars, bool rightToLeft, bool ignoreCase)
    : m_chars(std::move(chars)), m_rightToLeft(rightToLeft), m_ignoreCase(ignoreCase) {
    if (m_ignoreCase)
        for (char32_t& c : m_chars) c = FoldAscii(c);
    if (!m_ignoreCase && !m_chars.empty() && m_chars.back() <= 0xFFFF) m_required = int(m_chars.back());
    if (m_chars.empty()) {
        m_first.nullable = true;
    } else {
        const char32_t c = m_rightToLeft ? m_chars.back() : m_chars.front();
        m_first.Add(c);
        if (m_ignoreCase) m_first.Add(ToUpperAscii(c));
    }
    m_kind = kString;
}

bool CStringNodeT::Retry(MatchState& state) {
    state.pos -= UndoStep();
    return false;
}

bool CBoundaryNodeT::Match(MatchState& state) {
    const int pos = state.pos;
    const int length = state.length;
    const WCHAR* text = state.text;
    const WCHAR before = pos > 0 ? text[pos - 1] : 0;
    const WCHAR here = pos < length ? text[pos] : 0;
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
    default: {
        const bool wordBefore = pos > 0 && IsWordChar(before);
        const bool wordHere = pos < length && IsWordChar(here);
        if (m_type == kStartOfWord) {
            result = !wordBefore && wordHere;
        } else if (m_type == kEndOfWord) {
            result = wordBefore && !wordHere;
        } else {
            result = wordBefore != wordHere;
        }
        break;
    }
    }
    return result == m_positive;
}

}  // namespace regex
