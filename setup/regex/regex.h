// Setup's regular-expression engine: a backtracking matcher over UTF-16
// text with which the install wizard checks addresses, host names and port
// numbers.
//
//     CPatternT pattern(u"^[0-9]{1,15}$");
//     RegexMatch match = pattern.MatchExact(text);
//     if (match.IsMatch()) ...
//
// Every pattern compiles: malformed constructs take documented fall-backs
// (GetBuildStatus says when one was taken). A pattern nested deeper than
// kNestingLimit, or one that runs out of memory while compiling, compiles to
// nothing and never matches. A match run is bounded by a step budget; one
// that exhausts it, or its stack limit, fails and says so in the debug output.
//
// Characters are 16-bit code units; case folding and the POSIX classes are
// ASCII only. One CPatternT must not be used by two threads at once (a match
// reuses the object's buffers).
#pragma once
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "nodes.h"
#include "tokenizer.h"

// Expression flags.
enum : int {
    RX_DOT_ALL = 0x01,        // (?s): '.' matches a line feed too
    RX_MULTI_LINE = 0x02,     // (?m): '^' and '$' at line breaks
    RX_GLOBAL = 0x04,         // (?g): \G is the position where matching began
    RX_IGNORE_CASE = 0x08,    // (?i): ASCII letters without regard to case
    RX_RIGHT_TO_LEFT = 0x10,  // set for look-behind bodies
    RX_EXTENDED = 0x20,       // white space and '#' comments are not part of the pattern
};

// What Build ran into (bits).
enum : int {
    RX_BUILD_OK = 0,
    RX_BUILD_FALLBACK = 0x01,   // a malformed construct took a fall-back
    RX_BUILD_TOO_DEEP = 0x02,   // nested deeper than kNestingLimit: compiled to nothing
    RX_BUILD_NO_MEMORY = 0x04,  // allocation failed: compiled to nothing
};

// How the last MatchExact ended.
enum RegexRunResult {
    RX_RUN_MATCHED,
    RX_RUN_NO_MATCH,
    RX_RUN_NOT_COMPILED,  // no compiled expression
    RX_RUN_STEP_LIMIT,    // the step budget ran out: reported as no match
    RX_RUN_STACK_LIMIT,   // the backtracking stacks outgrew their limit: no match
    RX_RUN_NO_MEMORY,     // allocation failed: no match
};

// The result of a match: empty when there was no match; else 1, N (the
// highest group number), then the start and end index of groups 0..N, both
// -1 for a group that took no part (2N + 4 ints in all).
class RegexMatch {
public:
    RegexMatch() = default;
    RegexMatch(const RegexMatch& other) { Assign(other); }
    RegexMatch(RegexMatch&& other) noexcept { Take(other); }
    RegexMatch& operator=(const RegexMatch& other) {
        if (this != &other) Assign(other);
        return *this;
    }
    RegexMatch& operator=(RegexMatch&& other) noexcept {
        if (this != &other) {
            Free();
            Take(other);
        }
        return *this;
    }
    ~RegexMatch() { Free(); }

    bool IsMatch() const { return m_size > 0 && m_data[0] != 0; }
    int GetSize() const { return m_size; }
    int operator[](int index) const { return m_data[index]; }
    const int* GetData() const { return m_data; }
    // Highest group number, -1 without a match.
    int GetGroupCount() const { return IsMatch() ? m_data[1] : -1; }
    int GetGroupStart(int group) const { return GroupValue(group, 0); }
    int GetGroupEnd(int group) const { return GroupValue(group, 1); }

    // Empties this result, then appends all of the other's ints.
    void Assign(const RegexMatch& other);
    void RemoveAll() { m_size = 0; }
    void Add(int value) {
        if (m_size == m_capacity) Grow(m_size + 1);
        m_data[m_size++] = value;
    }
    void Reserve(int count) {
        if (count > m_capacity) Grow(count);
    }

private:
    // Results of up to 22 groups (the wizard's largest pattern has 20) live
    // in the object itself.
    static constexpr int kInline = 48;
    int GroupValue(int group, int which) const;
    void Grow(int count);
    void Free() {
        if (m_data != m_inline) delete[] m_data;
        m_data = m_inline;
        m_size = 0;
        m_capacity = kInline;
    }
    void Take(RegexMatch& other);

    int* m_data = m_inline;
    int m_size = 0;
    int m_capacity = kInline;
    int m_inline[kInline];
};

// The compiler, and the whole state of a compiled expression.
class CPatternBuilderT {
public:
    // Groups, look-arounds, conditions and nested classes deeper than this
    // make the pattern compile to nothing. The compiler and the matcher
    // recurse once per level, so this keeps their stack use small even on a
    // thread with a small stack.
    static constexpr int kNestingLimit = 250;

    CPatternBuilderT();
    ~CPatternBuilderT();
    CPatternBuilderT(const CPatternBuilderT&) = delete;
    CPatternBuilderT& operator=(const CPatternBuilderT&) = delete;

    // Deletes every element and empties every list.
    void Clear();
    // Compiles the pattern (length units, NULs allowed) with the starting
    // flags; returns the top element, null when the pattern compiled to
    // nothing. Elements of an earlier Build stay with the object until Clear.
    regex::MatchNode* Build(const WCHAR* pattern, int length, int flags = 0);

    int GetBuildStatus() const { return m_buildStatus; }
    // Highest group number.
    int GetGroupCount() const { return m_maxGroup; }

protected:
    regex::MatchNode* m_top = nullptr;
    bool m_topRightToLeft = false;

private:
    struct NamedGroup {
        std::u16string name;
        regex::MatchNode* list;
        regex::CBracketNodeT* open;
        regex::CBracketNodeT* close;
    };

    template <class T, class... Args>
    T* Make(Args&&... args);
    // Forgets the groups, names and counters of the last build.
    void ResetBuildState();
    regex::MatchNode* Predefined(int type);

    regex::MatchNode* BuildAlternative(int& flags);
    regex::MatchNode* BuildList(int& flags);
    regex::MatchNode* BuildRepeat(int& flags);
    regex::MatchNode* BuildSimple(int& flags);
    regex::MatchNode* BuildString(int flags);
    regex::MatchNode* BuildBoundary(int flags);
    regex::MatchNode* BuildBackref(int flags);
    regex::MatchNode* BuildCharset(int flags);
    regex::MatchNode* BuildPosix(int flags);
    regex::MatchNode* BuildClass(int flags);
    regex::MatchNode* BuildGroup(int& flags);
    // A group with that number, or with number -1 a named group numbered later.
    regex::MatchNode* BuildCapture(int flags, int number, const std::u16string& name);
    regex::MatchNode* BuildCondition(int flags, int at);
    regex::MatchNode* BuildRecursion(int number, const std::u16string& name);
    regex::MatchNode* BuildModifiers(int& flags, int at);
    regex::MatchNode* FinishGroup(regex::MatchNode* body);
    void ResolveNames();

    bool IsQuantifier(const regex::RegexToken& token) const;
    bool ReadQuantifier(int* minimum, int* maximum);
    // Reads the name that starts at pos and ends with terminator; returns
    // the position after the terminator, or -1 when there is none.
    int ReadName(int pos, WCHAR terminator, std::u16string* name) const;
    static bool AllDigits(const std::u16string& text, int* number);
    void NoteGroupNumber(int number);

    // Elements, in creation order; the expression owns them all. They live
    // in blocks of memory that Clear frees as a whole (compiling a pattern
    // makes many small elements).
    std::vector<regex::MatchNode*> m_elements;
    std::vector<std::unique_ptr<unsigned char[]>> m_blocks;
    size_t m_blockUsed = 0;  // bytes taken in the last block
    std::vector<regex::MatchNode*> m_groups;            // list element by group number; slot 0 the top
    std::vector<regex::CDelegateNodeT*> m_recursions;
    std::vector<NamedGroup> m_namedGroups;              // in order of appearance
    std::vector<regex::CBackrefNodeT*> m_namedBackrefs;
    std::vector<regex::CConditionNodeT*> m_conditions;
    regex::CRegexTokenizer m_tokenizer;
    int m_groupCount = 0;       // highest plain group number
    int m_namedGroupCount = 0;
    int m_maxGroup = 0;         // highest group number of any kind
    int m_nesting = 0;          // groups, look-arounds and nested classes open now
    int m_openGroups = 0;       // groups open now (a ')' closes one only then)
    int m_buildStatus = RX_BUILD_OK;
    int m_lastCloseBrace = -1;  // position of the pattern's last '}'
    regex::MatchNode* m_predefined[17] = {};
    struct PosixElement {
        regex::PosixTest test;
        bool rightToLeft;
        bool positive;
        regex::MatchNode* element;
    };
    std::vector<PosixElement> m_posixCache;  // POSIX class elements made so far
    std::vector<regex::MatchNode*> m_scratch;  // items of the lists being built
};

// A compiled expression as callers hold it.
class CPatternT : public CPatternBuilderT {
public:
    static constexpr unsigned long long kDefaultStepLimit = 10000000;

    CPatternT();
    explicit CPatternT(const WCHAR* pattern);
    // Compiles the next pattern into this object.
    void Compile(const WCHAR* pattern);
    // Matches the NUL-terminated text (null counts as empty) as a whole.
    RegexMatch MatchExact(const WCHAR* text);
    RegexMatch MatchExactCore(const WCHAR* text, int length);

    // Steps (element matches and retries) one MatchExact may take.
    void SetStepLimit(unsigned long long limit) { m_stepLimit = limit; }
    RegexRunResult GetLastRunResult() const { return m_lastRun; }
    // Whether the last run cut off a branch at the call depth limit.
    bool LastRunReachedDepthLimit() const { return m_state.depthLimitReached; }

private:
    regex::MatchState m_state;
    unsigned long long m_stepLimit = kDefaultStepLimit;
    RegexRunResult m_lastRun = RX_RUN_NOT_COMPILED;
};
