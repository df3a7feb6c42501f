#include "pattern_generator.h"

namespace regex_test {

namespace {

// Text characters: no carriage return, vertical tab or form feed (the two
// engines read line breaks and \s differently there), some units above 127.
const char16_t kTextChars[] = u"abcAB019_-.: \n\t\u00E9\u4E00\xDC00";
const int kTextCharCount = int(sizeof(kTextChars) / sizeof(kTextChars[0])) - 1;
const int kMaxDepth = 4;

std::u16string Hex(char16_t c) {
    static const char16_t kDigits[] = u"0123456789ABCDEF";
    std::u16string out = u"\\x{";
    bool started = false;
    for (int shift = 12; shift >= 0; shift -= 4) {
        int digit = (c >> shift) & 15;
        if (digit || started || shift == 0) {
            out.push_back(kDigits[digit]);
            started = true;
        }
    }
    return out + u"}";
}

// A character written as a literal outside a class.
std::u16string LiteralText(char16_t c) {
    if (std::u16string(u".*+?()[]{}|^$\\").find(c) != std::u16string::npos) return std::u16string(u"\\") + c;
    if (c > 0x7F && c != 0xE9) return Hex(c);  // some as escapes, some as raw units
    return std::u16string(1, c);
}

// A character written as a class member.
std::u16string ClassMemberText(char16_t c) {
    if (std::u16string(u"]\\^-[").find(c) != std::u16string::npos) return std::u16string(u"\\") + c;
    if (c > 0x7F && c != 0x4E00) return Hex(c);
    return std::u16string(1, c);
}

struct PosixName {
    const char16_t* name;
    const char16_t* members;
};
const PosixName kPosix[] = {
    {u"alnum", u"a0Z"}, {u"alpha", u"aB"}, {u"ascii", u"a:"}, {u"cntrl", u"\t\n"}, {u"digit", u"19"},
    {u"graph", u"a-"}, {u"lower", u"ab"}, {u"print", u" a"}, {u"punct", u"-.:_"}, {u"space", u" \t\n"},
    {u"upper", u"AB"}, {u"xdigit", u"a9B"}, {u"blank", u" \t"},
};

}  // namespace

std::u16string PatternGenerator::RandomText(int maxLength) {
    std::u16string text;
    const int length = Pick(maxLength + 1);
    for (int i = 0; i < length; ++i) text.push_back(kTextChars[Pick(kTextCharCount)]);
    return text;
}

std::u16string PatternGenerator::Mutate(std::u16string text) {
    const int kind = Pick(3);
    const size_t at = text.empty() ? 0 : size_t(Pick(int(text.size())));
    const char16_t c = kTextChars[Pick(kTextCharCount)];
    if (kind == 0 || text.empty()) {
        text.insert(text.begin() + long(at), c);
    } else if (kind == 1) {
        text.erase(at, 1);
    } else {
        text[at] = c;
    }
    return text;
}

GeneratedPattern PatternGenerator::Next() {
    m_groups.clear();
    m_plainGroups = 0;
    m_caseless = false;
    m_compareSpans = true;
    Frag top = Alternative(Context{});

    GeneratedPattern result;
    result.ours = top.ours;
    result.pcre = top.pcre;
    result.compareSpans = m_compareSpans;
    // This engine numbers the plain groups first, then the named ones in
    // order of appearance; PCRE2 numbers all by their opening parentheses.
    result.oursToPcre.assign(m_groups.size() + 1, 0);
    int named = m_plainGroups;
    for (size_t i = 0; i < m_groups.size(); ++i) {
        const int ours = m_groups[i].named ? ++named : m_groups[i].plainNumber;
        result.oursToPcre[size_t(ours)] = int(i) + 1;
    }
    for (int i = 0; i < 3; ++i) {
        SampleState state;
        top.sample(state, m_rng);
        result.texts.push_back(state.out);
        if (i < 2) result.texts.push_back(Mutate(state.out));
    }
    result.texts.push_back(RandomText(6));
    return result;
}

PatternGenerator::Frag PatternGenerator::Alternative(const Context& context) {
    const int branches = context.fixedWidth ? 1 : 1 + (Chance(35) ? 1 + Pick(2) : 0);
    std::vector<Frag> parts;
    for (int i = 0; i < branches; ++i) parts.push_back(Sequence(context));
    if (parts.size() == 1) return parts[0];
    Frag frag;
    frag.nullable = false;
    frag.fixed = true;
    frag.width = parts[0].width;
    std::vector<Sampler> samplers;
    for (size_t i = 0; i < parts.size(); ++i) {
        if (i) {
            frag.ours += u"|";
            frag.pcre += u"|";
        }
        frag.ours += parts[i].ours;
        frag.pcre += parts[i].pcre;
        frag.nullable = frag.nullable || parts[i].nullable;
        frag.nullableRepeat = frag.nullableRepeat || parts[i].nullableRepeat;
        frag.fixed = frag.fixed && parts[i].fixed && parts[i].width == frag.width;
        samplers.push_back(parts[i].sample);
    }
    frag.sample = [samplers](SampleState& state, std::mt19937& rng) { samplers[rng() % samplers.size()](state, rng); };
    return frag;
}

PatternGenerator::Frag PatternGenerator::Sequence(const Context& context) {
    const int most = context.depth >= kMaxDepth ? 2 : 4;
    const int count = Pick(most + 1);
    Frag frag;
    frag.nullable = true;
    std::vector<Sampler> samplers;
    for (int i = 0; i < count; ++i) {
        Frag item;
        if (!context.fixedWidth && Chance(4)) {  // a modifier for the rest of the group
            static const char16_t* const kModifiers[] = {u"(?i)", u"(?-i)", u"(?s)", u"(?m)", u"(?i-s)"};
            const char16_t* modifier = kModifiers[Pick(5)];
            if (modifier[2] == u'i') m_caseless = true;
            item.ours = item.pcre = modifier;
            item.nullable = true;
            item.sample = [](SampleState&, std::mt19937&) {};
        } else {
            item = Item(context);
        }
        frag.ours += item.ours;
        frag.pcre += item.pcre;
        frag.nullable = frag.nullable && item.nullable;
        frag.nullableRepeat = frag.nullableRepeat || item.nullableRepeat;
        frag.fixed = frag.fixed && item.fixed;
        frag.width += item.width;
        samplers.push_back(item.sample);
    }
    frag.sample = [samplers](SampleState& state, std::mt19937& rng) {
        for (const Sampler& sampler : samplers) sampler(state, rng);
    };
    return frag;
}

PatternGenerator::Frag PatternGenerator::Item(const Context& context) {
    const size_t groupsBefore = m_groups.size();
    Frag atom = Atom(context);
    if (atom.ours.empty() || !Chance(30)) return atom;
    return Quantify(atom, context, groupsBefore);
}

PatternGenerator::Frag PatternGenerator::Atom(const Context& context) {
    const bool deep = context.depth >= kMaxDepth;
    for (;;) {
        const int roll = Pick(100);
        if (roll < 30) return Literal();
        if (roll < 42) return Escape();
        if (roll < 54) return Class(context.fixedWidth);
        if (roll < 57) return Posix(true);
        if (roll < 70) {
            if (!deep) return Group(context);
        } else if (roll < 76) {
            if (!deep) return LookAround(context);
        } else if (roll < 82) {
            return Anchor();
        } else if (roll < 88) {
            // Inside a look-behind a reference may be met before its group.
            if (!context.fixedWidth && !context.behind) return Backref();
        } else if (roll < 93) {
            if (!deep && !context.fixedWidth && !context.behind) return Condition(context);
        } else {
            if (!deep) return Modified(context);
        }
    }
}

PatternGenerator::Frag PatternGenerator::Literal() {
    const char16_t c = kTextChars[Pick(kTextCharCount)];
    Frag frag;
    frag.ours = frag.pcre = LiteralText(c);
    frag.width = 1;
    frag.sample = [c](SampleState& state, std::mt19937&) { state.out.push_back(c); };
    return frag;
}

PatternGenerator::Frag PatternGenerator::Escape() {
    struct EscapeKind {
        const char16_t* text;
        const char16_t* samples;
    };
    static const EscapeKind kEscapes[] = {
        {u"\\d", u"019"}, {u"\\D", u"a-\u00E9"}, {u"\\w", u"ab_0"}, {u"\\W", u"-. \u00E9"},
        {u"\\s", u" \t\n"}, {u"\\S", u"a-\u4E00"}, {u".", u"a.:\u00E9"}, {u"\\t", u"\t"},
        {u"\\n", u"\n"}, {u"\\x41", u"A"}, {u"\\x{4E00}", u"\u4E00"}, {u"\\.", u"."},
        {u"\\-", u"-"}, {u"\\:", u":"}, {u"\\x{dc00}", u"\xDC00"},
    };
    const EscapeKind& kind = kEscapes[Pick(int(sizeof(kEscapes) / sizeof(kEscapes[0])))];
    Frag frag;
    frag.ours = frag.pcre = kind.text;
    frag.width = 1;
    const std::u16string samples = kind.samples;
    frag.sample = [samples](SampleState& state, std::mt19937& rng) { state.out.push_back(samples[rng() % samples.size()]); };
    return frag;
}

PatternGenerator::Frag PatternGenerator::Class(bool fixedWidth) {
    Frag frag;
    frag.width = 1;
    if (Chance(3)) {  // the empty class, or the class of every character
        // PCRE2 refuses "[]" in a look-behind.
        const bool any = fixedWidth || Chance(50);
        frag.ours = frag.pcre = any ? u"[^]" : u"[]";
        // PCRE2 10.42 fails "[]*" and "[]?" on the empty text: no quantifier here.
        frag.noQuantifier = !any;
        frag.sample = [](SampleState& state, std::mt19937&) { state.out.push_back(u'a'); };
        return frag;
    }
    static const char16_t kMembers[] = u"abcAB019_-.:^]\\[ \u00E9\u4E00";
    static const char16_t kRanges[][2] = {{u'a', u'c'}, {u'A', u'C'}, {u'0', u'5'}, {u'x', u'z'},
                                          {0xE0, 0xFF}, {0x4E00, 0x4E10}, {u'Z', u'a'},
                                          {u'-', u':'}, {u' ', u'-'}};
    static const struct {
        const char16_t* text;
        const char16_t* members;
    } kClassEscapes[] = {{u"\\d", u"09"}, {u"\\w", u"a_"}, {u"\\s", u" \n"},
                         {u"\\D", u"a-"}, {u"\\W", u"-."}, {u"\\S", u"a."}};
    const bool negated = Chance(25);
    std::u16string body;
    std::u16string members;
    // PCRE2 10.42 drops the units above 255 from a class that holds both a
    // positive POSIX class and a negated one or a negated class escape.
    bool positivePosix = false;
    bool negatedItem = false;
    // Whether a '-' may stand unescaped depends on what comes before it.
    // Both engines take one as a character first in the class, right after
    // a range or last, and as the first end of a range in the first two
    // places. Right after a character PCRE2 takes it as the range mark, and
    // between a class escape and a character it refuses it. As the last end
    // of a range it stays escaped: PCRE2 takes a '-' there, this engine only
    // an ordinary character.
    enum { kStart, kCharacter, kRange, kSet } last = kStart;
    auto hyphenMayStart = [&] { return (last == kStart || last == kRange) && Chance(70); };
    const int items = 1 + Pick(4);
    for (int i = 0; i < items; ++i) {
        int kind = Pick(10);
        if (kind >= 7) {
            const bool wantsNegated = kind == 8 && Pick(2);
            if ((wantsNegated || kind == 9) && positivePosix) kind = 7;
        }
        if (kind < 4) {
            const char16_t c = kMembers[Pick(int(sizeof(kMembers) / sizeof(kMembers[0])) - 1)];
            // PCRE2 reads "[." and "[:" at the start as a collating element or POSIX class.
            if (body.empty() && (c == u'.' || c == u':')) body += u"\\";
            body += c == u'-' && hyphenMayStart() ? std::u16string(u"-") : ClassMemberText(c);
            members.push_back(c);
            last = kCharacter;
        } else if (kind < 7) {
            const auto& range = kRanges[Pick(int(sizeof(kRanges) / sizeof(kRanges[0])))];
            body += range[0] == u'-' && hyphenMayStart() ? std::u16string(u"-") : ClassMemberText(range[0]);
            body += u"-" + ClassMemberText(range[1]);
            members.push_back(range[0]);
            members.push_back(char16_t((range[0] + range[1]) / 2));
            members.push_back(range[1]);
            last = kRange;
        } else if (kind < 9) {
            const auto& escape = kClassEscapes[positivePosix ? Pick(3) : Pick(6)];
            body += escape.text;
            members += escape.members;
            negatedItem = negatedItem || escape.text[1] < u'a';
            last = kSet;
        } else {
            Frag posix = Posix(false);
            const bool negatedPosix = posix.ours[2] == u'^';
            if (negatedPosix ? positivePosix : negatedItem) continue;
            (negatedPosix ? negatedItem : positivePosix) = true;
            body += posix.ours;
            SampleState state;
            posix.sample(state, m_rng);
            members += state.out;
            last = kSet;
        }
    }
    if (body.empty()) {
        body = u"a";
        members = u"a";
    }
    if (Chance(15)) {  // a '-' last is a character after anything
        body += u"-";
        members.push_back(u'-');
    }
    frag.ours = frag.pcre = std::u16string(negated ? u"[^" : u"[") + body + u"]";
    frag.sample = [members, negated](SampleState& state, std::mt19937& rng) {
        if (negated || rng() % 8 == 0) {
            state.out.push_back(kTextChars[rng() % kTextCharCount]);
        } else {
            state.out.push_back(members[rng() % members.size()]);
        }
    };
    return frag;
}

// "[:name:]" inside a class, or on its own (which PCRE2 writes "[[:name:]]").
PatternGenerator::Frag PatternGenerator::Posix(bool standalone) {
    const PosixName* posix;
    do {
        posix = &kPosix[Pick(int(sizeof(kPosix) / sizeof(kPosix[0])))];
        // Without regard to case, PCRE2 widens [:upper:] and [:lower:] to
        // all letters; this engine does not.
    } while (m_caseless && (posix->name[0] == u'u' || posix->name[0] == u'l'));
    const bool negated = Chance(20);
    const std::u16string inner = std::u16string(negated ? u"[:^" : u"[:") + posix->name + u":]";
    Frag frag;
    frag.ours = inner;
    frag.pcre = standalone ? u"[" + inner + u"]" : inner;
    frag.width = 1;
    const std::u16string members = posix->members;
    frag.sample = [members, negated](SampleState& state, std::mt19937& rng) {
        state.out.push_back(negated ? kTextChars[rng() % kTextCharCount] : members[rng() % members.size()]);
    };
    return frag;
}

PatternGenerator::Frag PatternGenerator::Anchor() {
    static const char16_t* const kAnchors[] = {u"^", u"$", u"\\A", u"\\z", u"\\Z", u"\\b", u"\\B"};
    Frag frag;
    frag.ours = frag.pcre = kAnchors[Pick(7)];
    frag.nullable = true;
    frag.noQuantifier = true;
    frag.sample = [](SampleState&, std::mt19937&) {};
    return frag;
}

PatternGenerator::Frag PatternGenerator::Group(const Context& context) {
    Context inner = context;
    ++inner.depth;
    int kind = Pick(100);
    if (context.noCapture && kind < 60) kind = 60 + Pick(40);
    Frag frag;
    if (kind < 60) {
        const size_t index = m_groups.size();
        m_groups.push_back(GroupInfo());
        const bool named = kind >= 40;
        std::u16string oursOpen = u"(";
        std::u16string pcreOpen = u"(";
        if (named) {
            const std::u16string name = u"n" + std::u16string(1, char16_t(u'a' + index));
            m_groups[index].named = true;
            m_groups[index].name = name;
            static const char16_t* const kForms[][2] = {{u"(?<", u">"}, {u"(?'", u"'"}, {u"(?P<", u">"}, {u"(?P'", u"'"}};
            const auto& form = kForms[Pick(4)];
            oursOpen = form[0] + name + form[1];
            pcreOpen = u"(?<" + name + u">";
        } else {
            m_groups[index].plainNumber = ++m_plainGroups;
        }
        Frag body = Alternative(inner);
        m_groups[index].closed = true;
        frag = body;
        frag.ours = oursOpen + body.ours + u")";
        frag.pcre = pcreOpen + body.pcre + u")";
        const Sampler sample = body.sample;
        frag.sample = [sample, index](SampleState& state, std::mt19937& rng) {
            const size_t start = state.out.size();
            sample(state, rng);
            state.captured[int(index)] = state.out.substr(start);
        };
        return frag;
    }
    const bool atomic = kind >= 85;
    if (atomic) inner.atomic = true;
    Frag body = Alternative(inner);
    frag = body;
    frag.ours = (atomic ? u"(?>" : u"(?:") + body.ours + u")";
    frag.pcre = (atomic ? u"(?>" : u"(?:") + body.pcre + u")";
    return frag;
}

PatternGenerator::Frag PatternGenerator::LookAround(const Context& context) {
    Context inner = context;
    ++inner.depth;
    const bool behind = Chance(50);
    const bool negative = Chance(40);
    Frag frag;
    frag.nullable = true;
    frag.noQuantifier = true;
    frag.sample = [](SampleState&, std::mt19937&) {};
    std::u16string ours = behind ? (negative ? u"(?<!" : u"(?<=") : (negative ? u"(?!" : u"(?=");
    std::u16string pcre = ours;
    if (behind) {
        // PCRE2 needs each top-level branch of a look-behind to have one width.
        inner.fixedWidth = true;
        inner.behind = true;
        const int branches = 1 + (Chance(30) ? 1 : 0);
        for (int i = 0; i < branches; ++i) {
            Frag branch = Sequence(inner);
            ours += (i ? u"|" : u"") + branch.ours;
            pcre += (i ? u"|" : u"") + branch.pcre;
        }
    } else {
        inner.fixedWidth = false;
        Frag body = Alternative(inner);
        ours += body.ours;
        pcre += body.pcre;
        frag.nullableRepeat = body.nullableRepeat;
    }
    frag.ours = ours + u")";
    frag.pcre = pcre + u")";
    return frag;
}

// Groups that a back-reference or condition may name: closed, untouched by
// repetitions of nullable parts, and with one-digit numbers in both engines.
std::vector<size_t> PatternGenerator::ReferableGroups() const {
    std::vector<size_t> eligible;
    for (size_t i = 0; i < m_groups.size(); ++i)
        if (m_groups[i].closed && m_groups[i].reliable && i + 1 <= 9 && m_groups[i].plainNumber <= 9)
            eligible.push_back(i);
    return eligible;
}

PatternGenerator::Frag PatternGenerator::Backref() {
    const std::vector<size_t> eligible = ReferableGroups();
    if (eligible.empty()) return Literal();
    const size_t index = eligible[size_t(Pick(int(eligible.size())))];
    GroupInfo& group = m_groups[index];
    group.referenced = true;
    Frag frag;
    if (group.named) {
        static const char16_t* const kForms[][2] = {{u"\\k<", u">"}, {u"\\k'", u"'"}, {u"\\g<", u">"}, {u"\\g'", u"'"}};
        const auto& form = kForms[Pick(4)];
        frag.ours = form[0] + group.name + form[1];
        frag.pcre = u"\\k<" + group.name + u">";
    } else {
        // In a group of its own, so that no digit can follow the number.
        frag.ours = u"(?:\\" + std::u16string(1, char16_t(u'0' + group.plainNumber)) + u")";
        frag.pcre = u"(?:\\" + std::u16string(1, char16_t(u'0' + index + 1)) + u")";
    }
    frag.nullable = true;
    frag.fixed = false;
    frag.sample = [index](SampleState& state, std::mt19937&) {
        auto found = state.captured.find(int(index));
        if (found != state.captured.end()) state.out += found->second;
    };
    return frag;
}

PatternGenerator::Frag PatternGenerator::Condition(const Context& context) {
    Context inner = context;
    ++inner.depth;
    const std::vector<size_t> eligible = ReferableGroups();
    std::u16string ours;
    std::u16string pcre;
    if (!eligible.empty() && Chance(60)) {
        const size_t index = eligible[size_t(Pick(int(eligible.size())))];
        GroupInfo& group = m_groups[index];
        group.referenced = true;
        if (group.named) {
            ours = u"(?(" + group.name + u")";
            pcre = u"(?(<" + group.name + u">)";
        } else {
            ours = u"(?(" + std::u16string(1, char16_t(u'0' + group.plainNumber)) + u")";
            pcre = u"(?(" + std::u16string(1, char16_t(u'0' + index + 1)) + u")";
        }
    } else {
        // A look-around condition; its captures would be dropped here and
        // kept by PCRE2, so it holds none.
        Context condition = inner;
        condition.noCapture = true;
        Frag assertion = LookAround(condition);
        ours = u"(?" + assertion.ours;
        pcre = u"(?" + assertion.pcre;
    }
    Frag yes = Sequence(inner);
    const bool hasNo = Chance(60);
    Frag no = hasNo ? Sequence(inner) : Frag();
    Frag frag;
    frag.ours = ours + yes.ours + (hasNo ? u"|" + no.ours : u"") + u")";
    frag.pcre = pcre + yes.pcre + (hasNo ? u"|" + no.pcre : u"") + u")";
    frag.nullable = yes.nullable || !hasNo || no.nullable;
    frag.nullableRepeat = yes.nullableRepeat || no.nullableRepeat;
    frag.fixed = false;
    const Sampler yesSample = yes.sample;
    const Sampler noSample = hasNo ? no.sample : Sampler([](SampleState&, std::mt19937&) {});
    frag.sample = [yesSample, noSample](SampleState& state, std::mt19937& rng) {
        (rng() % 2 ? yesSample : noSample)(state, rng);
    };
    return frag;
}

PatternGenerator::Frag PatternGenerator::Modified(const Context& context) {
    Context inner = context;
    ++inner.depth;
    static const char16_t* const kModifiers[] = {u"(?i:", u"(?-i:", u"(?s:", u"(?m:", u"(?is:", u"(?i-m:"};
    const char16_t* modifier = kModifiers[Pick(6)];
    if (modifier[2] == u'i') m_caseless = true;
    Frag body = Alternative(inner);
    Frag frag = body;
    frag.ours = modifier + body.ours + u")";
    frag.pcre = modifier + body.pcre + u")";
    return frag;
}

PatternGenerator::Frag PatternGenerator::Quantify(Frag atom, const Context& context, size_t groupsBefore) {
    if (atom.noQuantifier) return atom;
    int minimum = 0;
    int maximum = -1;  // -1: no limit
    std::u16string text;
    int kind = context.fixedWidth ? 3 : Pick(6);
    switch (kind) {
    case 0: text = u"*"; break;
    case 1: text = u"+"; minimum = 1; break;
    case 2: text = u"?"; maximum = 1; break;
    case 3: minimum = maximum = Pick(4); break;
    case 4: minimum = Pick(3); break;
    default: minimum = Pick(3); maximum = minimum + Pick(3); break;
    }
    std::u16string suffix;
    if (!context.fixedWidth) {
        const int roll = Pick(100);
        if (roll < 15) suffix = u"?";
        else if (roll < 30 && maximum != minimum) suffix = u"+";  // "{n}+" is not possessive here
    }
    const bool variable = maximum != minimum;
    if (variable && atom.nullable) {
        bool referenced = false;
        for (size_t i = groupsBefore; i < m_groups.size(); ++i) referenced = referenced || m_groups[i].referenced;
        if (context.atomic || suffix == u"+" || referenced) {
            // Keep a nullable part out of variable repetition here.
            minimum = maximum = Pick(3);
            text.clear();
            suffix.clear();
        } else {
            for (size_t i = groupsBefore; i < m_groups.size(); ++i) m_groups[i].reliable = false;
            m_compareSpans = false;
            atom.nullableRepeat = true;
        }
    }
    if (suffix == u"+" && atom.nullableRepeat) suffix.clear();
    if (context.fixedWidth && minimum >= 2 && m_groups.size() > groupsBefore) {
        // Matched right to left, a repeated group inside a look-behind keeps
        // its leftmost repetition; PCRE2 keeps the rightmost.
        for (size_t i = groupsBefore; i < m_groups.size(); ++i) m_groups[i].reliable = false;
        m_compareSpans = false;
    }
    if (text.empty()) {
        auto number = [](int n) { return std::u16string(1, char16_t(u'0' + n)); };
        if (maximum == minimum) text = u"{" + number(minimum) + u"}";
        else if (maximum < 0) text = u"{" + number(minimum) + u",}";
        else text = u"{" + number(minimum) + u"," + number(maximum) + u"}";
    }
    Frag frag = atom;
    frag.ours = atom.ours + text + suffix;
    frag.pcre = atom.pcre + text + suffix;
    frag.nullable = atom.nullable || minimum == 0;
    frag.fixed = atom.fixed && minimum == maximum;
    frag.width = frag.fixed ? atom.width * minimum : 0;
    const Sampler sample = atom.sample;
    const int most = maximum < 0 ? minimum + 3 : maximum;
    frag.sample = [sample, minimum, most](SampleState& state, std::mt19937& rng) {
        const int count = minimum + int(rng() % unsigned(most - minimum + 1));
        for (int i = 0; i < count; ++i) sample(state, rng);
    };
    return frag;
}

}  // namespace regex_test
