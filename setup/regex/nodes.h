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
// C++ call depth follows the depth of the element tree (bounded by the
// compiler) and recursion constructs (bounded by kRecursionLimit), not the
// length of the text.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "charset.h"

namespace regex {

// One capture of a group: start and end positions (end -1 while open) and
// the nesting depth of re-entries through recursion (below 0 while the open
// group is re-entered) or, once closed, the close sequence number. prev
// links to the group's previous record so that dropping records restores
// the capture index.
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

class MatchNode;

class MatchState {
public:
    static constexpr int kRecursionLimit = 100;
    // Deepest nesting of Match and Retry calls. The compiler's nesting limit
    // keeps a tree without recursion constructs well below it; only nested
    // recursion reaches it, and then that branch fails like one that passes
    // the recursion limit.
    static constexpr int kCallDepthLimit = 4000;
    // The backtrack and capture stacks together hold at most this many ints.
    static constexpr size_t kStackLimit = size_t(1) << 24;

    void Reset(const WCHAR* text, int length, int begin, int groupCount, unsigned long long stepLimit);
    // Gives the buffers back (after a run that grew them to a limit).
    void Release();

    bool CallMatch(MatchNode* node);
    bool CallRetry(MatchNode* node);

    void Push(int value) {
        if (stack.size() >= kStackLimit) throw MatchAbort{MatchAbort::kStackLimit};
        stack.push_back(value);
    }
    void Push2(int a, int b) {
        Push(a);
        Push(b);
    }
    int Pop() {
        int value = stack.back();
        stack.pop_back();
        return value;
    }
    int Top() const { return int(stack.size()); }

    // Captures.
    void OpenCapture(int group);
    void UndoOpenCapture(int group);
    void CloseCapture(int group);
    void UndoCloseCapture(int group);
    int CaptureSize() const { return int(captures.size()); }
    // Drops the records above size, pointing each group back at its earlier record.
    void RestoreCaptures(int size);
    const CaptureRecord* LatestCapture(int group) const;

    const WCHAR* text = nullptr;
    int length = 0;
    int begin = 0;
    int pos = 0;
    int closeCounter = 0;
    int recursionLimit = kRecursionLimit;
    int depth = 0;
    bool depthLimitReached = false;
    unsigned long long steps = 0;
    unsigned long long stepLimit = 0;
    std::vector<int> stack;                // backtrack stack
    std::vector<CaptureRecord> captures;   // capture stack
    std::vector<int> captureIndex;         // latest record of each group, -1 for none
};

class MatchNode {
public:
    virtual bool Match(MatchState& state) = 0;
    virtual bool Retry(MatchState& state) = 0;
    virtual ~MatchNode() = default;

    // Width in units of an element that has exactly one way to match, moves
    // by that width and pushes nothing (a literal run or a one-character
    // class); 0 for every other element. Repetitions of such an element
    // keep only a count.
    virtual int SimpleWidth() const { return 0; }
    // The set a one-character element accepts, when it is a class; lets a
    // class take a nested class's units at compile time.
    virtual const CharSet* GetCharSet() const { return nullptr; }
};

class CEmptyNodeT : public MatchNode {
public:
    bool Match(MatchState&) override { return true; }
    bool Retry(MatchState&) override { return false; }
};

class CListNodeT : public MatchNode {
public:
    CListNodeT(std::vector<MatchNode*> items, bool rightToLeft) : m_items(std::move(items)), m_rightToLeft(rightToLeft) {}
    bool Match(MatchState& state) override;
    bool Retry(MatchState& state) override;

private:
    MatchNode* Item(int k) const { return m_rightToLeft ? m_items[m_items.size() - 1 - k] : m_items[k]; }
    bool Run(MatchState& state, int k, bool retrying);
    std::vector<MatchNode*> m_items;
    bool m_rightToLeft;
};

class CAlternativeNodeT : public MatchNode {
public:
    explicit CAlternativeNodeT(std::vector<MatchNode*> branches) : m_branches(std::move(branches)) {}
    bool Match(MatchState& state) override;
    bool Retry(MatchState& state) override;

private:
    bool MatchFrom(MatchState& state, size_t first);
    std::vector<MatchNode*> m_branches;
};

// The child exactly n times.
class CRepeatNodeT : public MatchNode {
public:
    CRepeatNodeT(MatchNode* child, int count, bool rightToLeft)
        : m_child(child), m_count(count), m_width(child->SimpleWidth()), m_step(rightToLeft ? -m_width : m_width) {}
    bool Match(MatchState& state) override;
    bool Retry(MatchState& state) override;

protected:
    // The fixed part: m_count repetitions, backtracking among them.
    bool MatchFixed(MatchState& state);
    bool RetryFixed(MatchState& state);
    bool RunFixed(MatchState& state, int k, bool retrying);

    MatchNode* m_child;
    int m_count;
    int m_width;  // SimpleWidth of the child
    int m_step;   // signed move of one repetition of a simple child
};

// Minimum repetitions, then up to m_optional more, as many as possible first.
class CGreedyNodeT : public CRepeatNodeT {
public:
    CGreedyNodeT(MatchNode* child, int minimum, int optional, bool rightToLeft)
        : CRepeatNodeT(child, minimum, rightToLeft), m_optional(optional) {}
    bool Match(MatchState& state) override;
    bool Retry(MatchState& state) override;

protected:
    void Extend(MatchState& state, int made);
    int m_optional;
};

// Minimum repetitions, then more only when what follows fails.
class CReluctantNodeT : public CRepeatNodeT {
public:
    CReluctantNodeT(MatchNode* child, int minimum, int optional, bool rightToLeft)
        : CRepeatNodeT(child, minimum, rightToLeft), m_optional(optional) {}
    bool Match(MatchState& state) override;
    bool Retry(MatchState& state) override;

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
    explicit CIndependentNodeT(MatchNode* child) : m_child(child) {}
    bool Match(MatchState& state) override;
    bool Retry(MatchState& state) override;

private:
    MatchNode* m_child;
};

// Look-ahead and look-behind (the child of a look-behind matches right to left).
class CAssertNodeT : public MatchNode {
public:
    CAssertNodeT(MatchNode* child, bool positive) : m_child(child), m_positive(positive) {}
    bool Match(MatchState& state) override;
    bool Retry(MatchState& state) override;

private:
    MatchNode* m_child;
    bool m_positive;
};

// One end of a capture group. The opening side starts a capture record, the
// closing side ends it; in a right-to-left body the ')' end is met first and
// is the opening side.
class CBracketNodeT : public MatchNode {
public:
    CBracketNodeT(int group, bool closing, std::u16string name)
        : m_group(group), m_closing(closing), m_name(std::move(name)) {}
    bool Match(MatchState& state) override;
    bool Retry(MatchState& state) override;
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
    CBackrefNodeT(int group, bool rightToLeft, bool ignoreCase, std::u16string name)
        : m_group(group), m_rightToLeft(rightToLeft), m_ignoreCase(ignoreCase), m_name(std::move(name)) {}
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
    CConditionNodeT(int group, std::u16string name, MatchNode* condition, MatchNode* yes, MatchNode* no)
        : m_group(group), m_name(std::move(name)), m_condition(condition), m_yes(yes), m_no(no) {}
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
    CDelegateNodeT(int group, std::u16string name) : m_group(group), m_name(std::move(name)) {}
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
    bool Match(MatchState& state) override;
    bool Retry(MatchState& state) override;
    int SimpleWidth() const override { return 1; }
    const CharSet* GetCharSet() const override { return &m_set; }

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
    bool Match(MatchState& state) override;
    bool Retry(MatchState& state) override;
    int SimpleWidth() const override { return int(m_chars.size()); }

private:
    std::u32string m_chars;  // folded when ignoring case
    bool m_rightToLeft;
    bool m_ignoreCase;
};

class CPosixNodeT : public MatchNode {
public:
    CPosixNodeT(PosixTest test, bool rightToLeft, bool positive);
    bool Match(MatchState& state) override;
    bool Retry(MatchState& state) override;
    int SimpleWidth() const override { return 1; }
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
    CBoundaryNodeT(Type type, bool positive) : m_type(type), m_positive(positive) {}
    bool Match(MatchState& state) override;
    bool Retry(MatchState&) override { return false; }

private:
    Type m_type;
    bool m_positive;
};

class CGlobalNodeT : public MatchNode {
public:
    bool Match(MatchState& state) override { return state.pos == state.begin; }
    bool Retry(MatchState&) override { return false; }
};

inline bool MatchState::CallMatch(MatchNode* node) {
    if (++steps > stepLimit) throw MatchAbort{MatchAbort::kStepLimit};
    if (depth >= kCallDepthLimit) {
        depthLimitReached = true;
        return false;
    }
    ++depth;
    bool matched = node->Match(*this);
    --depth;
    return matched;
}

// A Retry runs at the call depth of the Match it follows, which passed the
// depth check, so it needs none of its own.
inline bool MatchState::CallRetry(MatchNode* node) {
    if (++steps > stepLimit) throw MatchAbort{MatchAbort::kStepLimit};
    ++depth;
    bool matched = node->Retry(*this);
    --depth;
    return matched;
}

}  // namespace regex
