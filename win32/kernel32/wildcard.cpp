#include "kernel32/wildcard.h"

#include <vector>

#include "machine/paths.h"

namespace w32::files {

namespace {

enum class Token : char16_t { Star, DosStar, DosQuestion, DosDot };

struct Element {
    bool special;
    char16_t value;  // a literal character, or a Token
};

std::vector<Element> Compile(std::u16string_view pattern) {
    std::vector<Element> out;
    for (size_t i = 0; i < pattern.size(); ++i) {
        char16_t c = pattern[i];
        char16_t next = i + 1 < pattern.size() ? pattern[i + 1] : 0;
        if (c == u'?') {
            out.push_back({true, char16_t(Token::DosQuestion)});
        } else if (c == u'*') {
            out.push_back({true, char16_t(next == u'.' ? Token::DosStar : Token::Star)});
        } else if (c == u'.' && (next == u'*' || next == u'?' || i + 1 == pattern.size())) {
            out.push_back({true, char16_t(Token::DosDot)});
        } else {
            out.push_back({false, c});
        }
    }
    return out;
}

// Backtracking over (element, position), remembered so that each pair is
// tried once: the work is bounded by pattern length times name length.
class Matcher {
public:
    Matcher(std::u16string_view name, std::vector<Element> elements)
        : name_(name), elements_(std::move(elements)),
          tried_((elements_.size() + 1) * (name.size() + 1), false) {
        lastDot_ = name.rfind(u'.');
    }

    bool Match(size_t e, size_t n) {
        if (e == elements_.size()) return n == name_.size();
        size_t slot = e * (name_.size() + 1) + n;
        if (tried_[slot]) return false;
        tried_[slot] = true;
        const Element& element = elements_[e];
        bool atEnd = n == name_.size();
        if (!element.special) {
            return !atEnd && FoldNameChar(name_[n]) == FoldNameChar(element.value) && Match(e + 1, n + 1);
        }
        switch (Token(element.value)) {
            case Token::Star:
                for (size_t k = n; k <= name_.size(); ++k)
                    if (Match(e + 1, k)) return true;
                return false;
            case Token::DosStar: {
                // Up to, but not past, the last dot of the name.
                size_t limit = lastDot_ == std::u16string_view::npos || lastDot_ < n ? name_.size() : lastDot_;
                for (size_t k = n; k <= limit; ++k)
                    if (Match(e + 1, k)) return true;
                return false;
            }
            case Token::DosQuestion:
                if (atEnd || name_[n] == u'.') return Match(e + 1, n);
                return Match(e + 1, n + 1);
            case Token::DosDot:
                if (atEnd) return Match(e + 1, n);
                return name_[n] == u'.' && Match(e + 1, n + 1);
        }
        return false;
    }

private:
    std::u16string_view name_;
    std::vector<Element> elements_;
    std::vector<bool> tried_;
    size_t lastDot_;
};

}  // namespace

bool MatchesPattern(std::u16string_view name, std::u16string_view pattern) {
    if (pattern == u"*" || pattern == u"*.*") return true;
    Matcher matcher(name, Compile(pattern));
    return matcher.Match(0, 0);
}

}  // namespace w32::files
