// The elements of a compiled expression and the state of one match run.
//
// Matching is backtracking over a tree of elements. Match tries an element at
// the current position and, on success, moves the position and pushes onto
// the state's stacks whatever its Retry needs. Retry is called only while
// those pushes are on top of the stacks: it pops them, undoes the element and
// either finds the element's next way to match (true, with new pushes) or
// fails (false) with the state as it was before the element's Match. The
// ways come in the order of ordinary depth-first backtracking, so the first
// way that reaches the end of the text is the leftmost-first match.
//
// Repetitions are loops over the explicit stacks, never recursion, so the
// C++ call depth follows the height of the element tree (bounded by the
// compiler's nesting limit) and recursion constructs, not the length of the
// text. Each recursion adds its target's height to a running total that
// must stay under kCallDepthLimit, which bounds the call depth.
#pragma once
#include <windows.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <string>
#include <vector>

#include "charset.h"

// The few dispatch helpers on the matcher's hottest path are inlined
// whatever the optimiser's size limits say.
#if defined(_MSC_VER)
#define REGEX_INLINE __forceinline
#else
#define REGEX_INLINE inline __attribute__((always_inline))
#endif

namespace regex {

// One capture of a group: start and end positions (end -1 while open) and
// the fourth value: below 0 while the open group is re-entered through
// recursion (the nesting depth), the close sequence number once closed.
// prev links to the group's previous record, so that dropping records puts
// the capture index back.
struct CaptureRecord {
    int group;
    int start;
    int end;
    int fourth;
    int prev;
};

// Why a match run stopped early.
struct MatchAbort {
    enum Reason { kStepLimit, kStackLimit } reason;
};

// The characters an element can start with (the last one it consumes when
// it matches right to left), for skipping branches that cannot match.
struct FirstSet {
    uint64_t ascii[2] = {0, 0};
    bool high = false;      // some unit from 0x80 up
    bool nullable = false;  // may consume nothing: what follows may come first
    bool any = false;       // not known: anything may come first

    void Add(char32_t c) {
        if (c < 128) {
            ascii[c >> 6] |= uint64_t(1) << (c & 63);
        } else if (c <= 0xFFFF) {
            high = true;
        }
    }
    void AddSet(const FirstSet& other) {
        ascii[0] |= other.ascii[0];
        ascii[1] |= other.ascii[1];
        high = high || other.high;
        any = any || other.any;
    }
    // Whether an element with this set cannot match at a position whose next
    // unit is c (c < 0: no unit left).
    bool Excludes(int c) const {
        if (any || nullable) return false;
        if (unsigned(c) < 128) return !((ascii[c >> 6] >> (c & 63)) & 1);
        return c < 0 || !high;
    }
};

class MatchNode;

// A stack of plain values for the match state: grows by doubling and ends
// the run (MatchAbort) instead of growing past its limit.
template <class T, size_t Limit>
class MatchStack {
public:
    MatchStack() = default;
    MatchStack(const MatchStack&) = delete;
    MatchStack& operator=(const MatchStack&) = delete;
    ~MatchStack() { delete[] m_data; }

    size_t size() const { return m_size; }
    void clear() { m_size = 0; }
    void push_back(const T& value) {
        if (m_size == m_capacity) Grow();
        m_data[m_size++] = value;
    }
    void pop_back() { --m_size; }
    T& back() { return m_data[m_size - 1]; }
    T& operator[](size_t index) { return m_data[index]; }
    const T& operator[](size_t index) const { return m_data[index]; }
    // Drops the values above size.
    void resize(size_t size) { m_size = size; }
    void Release() {
        delete[] m_data;
        m_data = nullptr;
        m_size = m_capacity = 0;
    }

private:
    void Grow() {
        if (m_capacity >= Limit) throw MatchAbort{MatchAbort::kStackLimit};
        const size_t capacity = m_capacity ? std::min(m_capacity * 2, Limit) : 32;
        T* data = new T[capacity];
        std::copy(m_data, m_data + m_size, data);
        delete[] m_data;
        m_data = data;
        m_capacity = capacity;
    }
    T* m_data = nullptr;
    size_t m_size = 0;
    size_t m_capacity = 0;
};

class MatchState {
public:
    static constexpr int kRecursionLimit = 100;
    // Bound on the nesting of Match and Retry calls: the tree height plus the
    // heights of the targets of the recursions in progress.
    static constexpr int kCallDepthLimit = 4000;
    // Ceiling of the backtracking stack (ints) and of the capture stack (records).
    static constexpr size_t kStackLimit = size_t(1) << 24;
    static constexpr size_t kCaptureLimit = kStackLimit / 8;

    void Reset(const WCHAR* text, int length, int begin, int groupCount, int topHeight, unsigned long long stepLimit);
    // Gives the buffers back (after a run that grew them to a limit).
    void Release();

    // Match and Retry of a child, counted against the step budget.
    bool CallMatch(MatchNode* node);
    bool CallRetry(MatchNode* node);
    bool Enter(MatchNode* node);

    void Push(int value) { stack.push_back(value); }
    void Push2(int a, int b) {
        Push(a);
        Push(b);
    }
    int Pop() {
        const int value = stack.back();
        stack.pop_back();
        return value;
    }
    int Top() const { return int(stack.size()); }

    // The group's latest record, null for none.
    const CaptureRecord* LatestCapture(int group) const {
        if (group < 0 || size_t(group) >= captureIndex.size()) return nullptr;
        const int index = captureIndex[size_t(group)];
        return index >= 0 ? &captures[size_t(index)] : nullptr;
    }
    int CaptureSize() const { return int(captures.size()); }
    // Drops the records above size, pointing each group back at its earlier record.
    void RestoreCaptures(int size) {
        while (int(captures.size()) > size) {
            const CaptureRecord& record = captures.back();
            captureIndex[size_t(record.group)] = record.prev;
            captures.pop_back();
        }
    }

    const WCHAR* text = nullptr;
    int length = 0;
    int begin = 0;
    int pos = 0;
    int closeCounter = 0;
    int recursionLimit = kRecursionLimit;
    int depthBound = 0;  // tree height plus the heights of active recursion targets
    bool depthLimitReached = false;
    unsigned long long steps = 0;
    unsigned long long stepLimit = 0;
    MatchStack<int, kStackLimit> stack;                // backtrack stack
    MatchStack<CaptureRecord, kCaptureLimit> captures;  // capture stack
    std::vector<int> captureIndex;         // latest record of each group, -1 for none
};

class MatchNode {
public:
    // Marks an element whose Retry must be called (see UndoStep).
    static constexpr int kNeedsRetry = INT_MIN;
    // Elements that a list runs itself, without a virtual call.
    enum Kind { kGeneral, kList, kOpenBracket, kCloseBracket, kRange, kString, kPosix };

    virtual bool Match(MatchState& state) = 0;
    virtual bool Retry(MatchState& state) = 0;
    virtual ~MatchNode() = default;

    // For an element with exactly one way to match that pushes nothing: the
    // signed move of that way, which its Retry undoes (0 for an anchor);
    // kNeedsRetry for every other element. A parent may undo such an element
    // itself instead of calling its Retry.
    virtual int UndoStep() const { return kNeedsRetry; }
    // The set a one-character class accepts; lets a class take a nested
    // class's units when it is compiled.
    virtual const CharSet* GetCharSet() const { return nullptr; }

    const FirstSet& First() const { return m_first; }
    // Longest chain of elements below and including this one.
    int Height() const { return m_height; }
    Kind GetKind() const { return m_kind; }
    // A unit that the text of every match of this element holds, -1 for none
    // known: a text without it cannot match, and needs no run at all.
    int RequiredUnit() const { return m_required; }

protected:
    FirstSet m_first;
    int m_height = 1;
    Kind m_kind = kGeneral;
    int m_required = -1;
};

inline bool MatchState::CallMatch(MatchNode* node) {
    if (++steps > stepLimit) throw MatchAbort{MatchAbort::kStepLimit};
    return node->Match(*this);
}

// A list's items: a pass through a list does bounded work, so only the
// loops around it (repetitions, alternatives, retries) count steps.
inline bool MatchState::Enter(MatchNode* node) { return node->Match(*this); }

inline bool MatchState::CallRetry(MatchNode* node) {
    if (++steps > stepLimit) throw MatchAbort{MatchAbort::kStepLimit};
    return node->Retry(*this);
}

class CEmptyNodeT : public MatchNode {
public:
    CEmptyNodeT() { m_first.nullable = true; }
    bool Match(MatchState&) override { return true; }
    bool Retry(MatchState&) override { return false; }
    int UndoStep() const override { return 0; }
};

class CListNodeT : public MatchNode {
public:
    CListNodeT(MatchNode* const* items, size_t count, bool rightToLeft);
    bool Match(MatchState& state) override;
    bool Retry(MatchState& state) override;
    int UndoStep() const override { return m_simpleStep; }
    bool Run(MatchState& state, int k, bool retrying);

private:
    struct Item {
        MatchNode* node;
        int undo;   // the node's UndoStep
        Kind kind;  // the node's kind
    };
    std::vector<Item> m_items;  // in matching order (reversed when right to left)
    int m_count = 0;            // of items
    int m_simpleStep;           // the sum of the undo steps when every item has one way
    bool m_rightToLeft;
};

class CAlternativeNodeT : public MatchNode {
public:
    CAlternativeNodeT(MatchNode* const* branches, size_t count, bool rightToLeft);
    bool Match(MatchState& state) override;
    bool Retry(MatchState& state) override;

private:
    bool MatchFrom(MatchState& state, size_t first);
    std::vector<MatchNode*> m_branches;
    bool m_rightToLeft;
};

// The child exactly n times.
class CRepeatNodeT : public MatchNode {
public:
    CRepeatNodeT(MatchNode* child, int count, bool rightToLeft);
    bool Match(MatchState& state) override;
    bool Retry(MatchState& state) override;
    int UndoStep() const override;

protected:
    // The fixed part: m_count repetitions, backtracking among them.
    bool MatchFixed(MatchState& state);
    bool RetryFixed(MatchState& state);
    bool RunFixed(MatchState& state, int k, bool retrying);
    // Matches the simple child up to most more times; returns how many.
    int RunSimple(MatchState& state, int most);
    // One repetition of the child, passed over when the next unit cannot start it.
    inline bool MatchChild(MatchState& state);

    MatchNode* m_child;
    int m_count;
    bool m_rightToLeft;
    int m_step;                  // the child's UndoStep when it has one way and a width, else 0
    const CharSet* m_childSet;   // the child's units when it is a one-character class
};

// Minimum repetitions, then up to m_optional more, as many as possible first.
class CGreedyNodeT : public CRepeatNodeT {
public:
    CGreedyNodeT(MatchNode* child, int minimum, int optional, bool rightToLeft);
    bool Match(MatchState& state) override;
    bool Retry(MatchState& state) override;
    int UndoStep() const override { return kNeedsRetry; }

protected:
    void Extend(MatchState& state, int made);
    int m_optional;
};

// Minimum repetitions, then more only when what follows fails.
class CReluctantNodeT : public CRepeatNodeT {
public:
    CReluctantNodeT(MatchNode* child, int minimum, int optional, bool rightToLeft);
    bool Match(MatchState& state) override;
    bool Retry(MatchState& state) override;
    int UndoStep() const override { return kNeedsRetry; }

private:
    int m_optional;
};

// The greedy repetition's first way, never given back.
class CPossessiveNodeT : public CGreedyNodeT {
public:
    using CGreedyNodeT::CGreedyNodeT;
    bool Match(MatchState& state) override;
    bool Retry(MatchState& state) override;
};

// (?>...): the child's first way, never given back.
class CIndependentNodeT : public MatchNode {
public:
    explicit CIndependentNodeT(MatchNode* child);
    bool Match(MatchState& state) override;
    bool Retry(MatchState& state) override;

private:
    MatchNode* m_child;
};

// Look-ahead and look-behind (the child of a look-behind matches right to left).
class CAssertNodeT : public MatchNode {
public:
    CAssertNodeT(MatchNode* child, bool positive);
    bool Match(MatchState& state) override;
    bool Retry(MatchState& state) override;

private:
    MatchNode* m_child;
    bool m_positive;
};

// One end of a capture group. The opening side starts a capture record, the
// closing side ends it; in a right-to-left body the ')' end is met first and
// is the opening side. Neither pushes anything: Retry reads from the record
// what its Match did.
class CBracketNodeT : public MatchNode {
public:
    CBracketNodeT(int group, bool closing, std::u16string name);
    bool Match(MatchState& state) override {
        if (m_closing) {
            Close(state);
        } else {
            Open(state);
        }
        return true;
    }
    bool Retry(MatchState& state) override {
        if (m_closing) {
            UndoClose(state);
        } else {
            UndoOpen(state);
        }
        return false;
    }
    inline void Open(MatchState& state) const;
    inline void Close(MatchState& state) const;
    inline void UndoOpen(MatchState& state) const;
    inline void UndoClose(MatchState& state) const;
    int GetGroup() const { return m_group; }
    void SetGroup(int group) { m_group = group; }
    const std::u16string& GetName() const { return m_name; }

private:
    int m_group;
    bool m_closing;
    std::u16string m_name;
};

class CBackrefNodeT : public MatchNode {
public:
    CBackrefNodeT(int group, bool rightToLeft, bool ignoreCase, std::u16string name);
    bool Match(MatchState& state) override;
    bool Retry(MatchState& state) override;
    int GetGroup() const { return m_group; }
    void SetGroup(int group) { m_group = group; }
    const std::u16string& GetName() const { return m_name; }

private:
    int m_group;
    bool m_rightToLeft;
    bool m_ignoreCase;
    std::u16string m_name;
};

// (?(cond)yes|no). With a group number (>= 0) the condition is whether the
// group has a record; otherwise the condition element decides (a look-around,
// or the look-ahead made from a name that names no group).
class CConditionNodeT : public MatchNode {
public:
    CConditionNodeT(int group, std::u16string name, MatchNode* condition, MatchNode* yes, MatchNode* no);
    bool Match(MatchState& state) override;
    bool Retry(MatchState& state) override;
    const std::u16string& GetName() const { return m_name; }
    // The name turned out to be a group: test that group instead of the look-ahead.
    void ResolveGroup(int group) {
        m_group = group;
        m_condition = nullptr;
    }

private:
    int m_group;
    std::u16string m_name;
    MatchNode* m_condition;
    MatchNode* m_yes;
    MatchNode* m_no;
};

// Recursion into the whole expression or into one group.
class CDelegateNodeT : public MatchNode {
public:
    CDelegateNodeT(int group, std::u16string name);
    bool Match(MatchState& state) override;
    bool Retry(MatchState& state) override;
    int GetGroup() const { return m_group; }
    const std::u16string& GetName() const { return m_name; }
    void Resolve(MatchNode* target, int group) {
        m_target = target;
        m_group = group;
    }

private:
    MatchNode* m_target = nullptr;
    int m_group;
    std::u16string m_name;
};

// A class of single characters: ranges, single characters and nested
// classes, negated when not positive. Sealed into one CharSet when built.
class CRangeNodeT : public MatchNode {
public:
    CRangeNodeT(std::vector<std::pair<char32_t, char32_t>> ranges, std::vector<char32_t> singles,
                std::vector<MatchNode*> nested, bool rightToLeft, bool positive);
    bool Match(MatchState& state) override { return MatchHere(state); }
    bool Retry(MatchState& state) override;
    int UndoStep() const override { return m_rightToLeft ? -1 : 1; }
    const CharSet* GetCharSet() const override { return &m_set; }
    bool MatchHere(MatchState& state) const {
        if (m_rightToLeft) {
            if (state.pos <= 0 || !m_set.Contains(state.text[state.pos - 1])) return false;
            --state.pos;
        } else {
            if (state.pos >= state.length || !m_set.Contains(state.text[state.pos])) return false;
            ++state.pos;
        }
        return true;
    }

private:
    std::vector<std::pair<char32_t, char32_t>> m_ranges;
    std::vector<char32_t> m_singles;
    std::vector<MatchNode*> m_nested;
    bool m_rightToLeft;
    bool m_positive;
    CharSet m_set;  // what the class accepts, negation applied
};

class CStringNodeT : public MatchNode {
public:
    CStringNodeT(std::u32string chars, bool rightToLeft, bool ignoreCase);
    bool Match(MatchState& state) override { return MatchHere(state); }
    bool MatchHere(MatchState& state) const;
    bool Retry(MatchState& state) override;
    int UndoStep() const override { return m_rightToLeft ? -int(m_chars.size()) : int(m_chars.size()); }

private:
    std::u32string m_chars;  // folded when ignoring case
    bool m_rightToLeft;
    bool m_ignoreCase;
};

class CPosixNodeT : public MatchNode {
public:
    CPosixNodeT(PosixTest test, bool rightToLeft, bool positive);
    bool Match(MatchState& state) override { return MatchHere(state); }
    bool MatchHere(MatchState& state) const {
        if (m_rightToLeft) {
            if (state.pos <= 0 || !m_set.Contains(state.text[state.pos - 1])) return false;
            --state.pos;
        } else {
            if (state.pos >= state.length || !m_set.Contains(state.text[state.pos])) return false;
            ++state.pos;
        }
        return true;
    }
    bool Retry(MatchState& state) override;
    int UndoStep() const override { return m_rightToLeft ? -1 : 1; }
    const CharSet* GetCharSet() const override { return &m_set; }

private:
    PosixTest m_test;
    bool m_rightToLeft;
    bool m_positive;
    CharSet m_set;
};

class CBoundaryNodeT : public MatchNode {
public:
    enum Type {
        kStartOfText = 0,
        kEndOfText = 1,
        kEndBeforeFinalBreak = 2,
        kStartOfLine = 3,
        kEndOfLine = 4,
        kStartOfWord = 5,
        kEndOfWord = 6,
        kWordBoundary = 7,
    };
    CBoundaryNodeT(Type type, bool positive) : m_type(type), m_positive(positive) { m_first.nullable = true; }
    bool Match(MatchState& state) override;
    bool Retry(MatchState&) override { return false; }
    int UndoStep() const override { return 0; }

private:
    Type m_type;
    bool m_positive;
};

class CGlobalNodeT : public MatchNode {
public:
    CGlobalNodeT() { m_first.nullable = true; }
    bool Match(MatchState& state) override { return state.pos == state.begin; }
    bool Retry(MatchState&) override { return false; }
    int UndoStep() const override { return 0; }
};

// Opening side: a fresh record, or one level deeper into the group's record
// when that is still open (the group re-entered through recursion).
// Closing side: one level out of a re-entered record, or the end of the
// record, numbered by the close counter.
// Matches an element, running the common single elements without a
// virtual call. Counted against the step budget when counted is set.
REGEX_INLINE bool MatchElement(MatchState& state, MatchNode* node, bool counted) {
    switch (node->GetKind()) {
    case MatchNode::kRange: return static_cast<const CRangeNodeT*>(node)->MatchHere(state);
    case MatchNode::kString: return static_cast<const CStringNodeT*>(node)->MatchHere(state);
    case MatchNode::kPosix: return static_cast<const CPosixNodeT*>(node)->MatchHere(state);
    case MatchNode::kOpenBracket:
        static_cast<const CBracketNodeT*>(node)->Open(state);
        return true;
    case MatchNode::kCloseBracket:
        static_cast<const CBracketNodeT*>(node)->Close(state);
        return true;
    case MatchNode::kList:
        if (counted && ++state.steps > state.stepLimit) throw MatchAbort{MatchAbort::kStepLimit};
        return static_cast<CListNodeT*>(node)->Run(state, 0, false);
    default: return counted ? state.CallMatch(node) : state.Enter(node);
    }
}

inline bool CRepeatNodeT::MatchChild(MatchState& state) {
    const int next = m_rightToLeft ? (state.pos > 0 ? state.text[state.pos - 1] : -1)
                                   : (state.pos < state.length ? state.text[state.pos] : -1);
    return !m_child->First().Excludes(next) && MatchElement(state, m_child, true);
}

inline bool CStringNodeT::MatchHere(MatchState& state) const {
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
            if (FoldAscii(here[i]) != m_chars[size_t(i)]) return false;
    } else {
        for (int i = 0; i < size; ++i)
            if (char32_t(here[i]) != m_chars[size_t(i)]) return false;
    }
    state.pos = m_rightToLeft ? at : at + size;
    return true;
}

// The opening side starts a fresh record, or goes one level deeper into
// the group's record when that is still open (the group re-entered through
// recursion). The capture index covers every group number of the expression.
inline void CBracketNodeT::Open(MatchState& state) const {
    int& latest = state.captureIndex[size_t(m_group)];
    if (latest >= 0 && state.captures[size_t(latest)].end == -1) {
        --state.captures[size_t(latest)].fourth;
        return;
    }
    state.captures.push_back(CaptureRecord{m_group, state.pos, -1, 0, latest});
    latest = int(state.captures.size()) - 1;
}

// The closing side leaves one level of a re-entered record, or ends the
// record, numbered by the close counter.
inline void CBracketNodeT::Close(MatchState& state) const {
    const int latest = state.captureIndex[size_t(m_group)];
    if (latest < 0) return;
    CaptureRecord& record = state.captures[size_t(latest)];
    if (record.fourth < 0) {
        ++record.fourth;
    } else {
        record.end = state.pos;
        record.fourth = state.closeCounter++;
    }
}

// Retry undoes what Match did, which the record shows: an opening side
// that lowered the fourth value raises it again, else it drops its record;
// a closing side reopens a closed record, else goes one level back in.
inline void CBracketNodeT::UndoOpen(MatchState& state) const {
    int& latest = state.captureIndex[size_t(m_group)];
    CaptureRecord& record = state.captures[size_t(latest)];
    if (record.fourth < 0) {
        ++record.fourth;
    } else {
        latest = record.prev;
        state.captures.pop_back();
    }
}

inline void CBracketNodeT::UndoClose(MatchState& state) const {
    const int latest = state.captureIndex[size_t(m_group)];
    if (latest < 0) return;
    CaptureRecord& record = state.captures[size_t(latest)];
    if (record.end != -1) {
        record.end = -1;
        record.fourth = 0;
    } else {
        --record.fourth;
    }
}

}  // namespace regex
