// String comparison: CompareStringW/A, CompareStringOrdinal and the lstrcmp
// family.
//
// The linguistic comparison is this layer's own weight function. It gives the
// order Windows gives for the text the product compares (names, paths, model
// names) without carrying the full Unicode collation, and it is the same for
// every locale. Each character weighs at three levels:
//   primary    its group, then its place in the group:
//                1. whitespace, punctuation and symbols: the ASCII ones in the
//                   order  \t \n \v \f \r space ! " # $ % & ' ( ) * , - . / : ; ? @
//                   [ \ ] ^ _ ` { | } ~ + < = >  then every other symbol by code
//                   point;
//                2. the digits 0-9;
//                3. the Latin letters a-z, with case ignored; an accented letter
//                   of Latin-1 or Latin Extended-A weighs as its base letter;
//                4. every other letter (Greek, Cyrillic, CJK, and the Latin
//                   letters without a base letter such as ß or æ) by the code
//                   point of its lower-case form;
//   diacritic  0 for a plain letter, else the accented letter's lower-case code
//              point; a combining mark (U+0300..U+036F) adds to the diacritic of
//              the character before it and has no primary weight;
//   case       upper case, full width and katakana each weigh more than lower
//              case, narrow and hiragana.
// NUL, the control characters, the soft hyphen and the zero-width format
// characters weigh nothing. Two strings compare by their primary weights
// first, then by diacritics, then by case: the first difference decides, and a
// string that is a prefix of the other sorts first. So "a" < "A" < "b" < "B".
//
// Word sort (the default, and what lstrcmp uses) takes the hyphen and the
// apostrophe out of the three levels and compares them last, by their place
// among the other characters, so that "coop" and "co-op" sort next to each
// other (the one without the mark first).
// SORT_STRINGSORT weighs them as the symbols they are.
#include <locale.h>
#include <wctype.h>
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr DWORD kIgnoreCaseFlags = NORM_IGNORECASE | LINGUISTIC_IGNORECASE;
constexpr DWORD kKnownFlags = NORM_IGNORECASE | NORM_IGNORENONSPACE | NORM_IGNORESYMBOLS | LINGUISTIC_IGNORECASE |
                              NORM_IGNOREKANATYPE | NORM_IGNOREWIDTH | NORM_LINGUISTIC_CASING | SORT_STRINGSORT |
                              SORT_DIGITSASNUMBERS;

// Primary weight: the group in the top byte, the place in the group below.
enum Group : uint32_t { kSymbols = 1, kDigits = 2, kLatin = 3, kOtherLetters = 4 };
constexpr uint32_t Primary(Group group, uint32_t place) { return (uint32_t(group) << 24) | place; }

// Case-level bits.
constexpr uint8_t kUpper = 1, kWide = 2, kKatakana = 4;

// The ASCII whitespace, punctuation and symbols in their sort order.
constexpr char kAsciiSymbolOrder[] = "\t\n\v\f\r !\"#$%&'()*,-./:;?@[\\]^_`{|}~+<=>";

// Base letters of U+00C0..U+00FF and U+0100..U+017F; '.' marks a letter
// without one.
constexpr char kLatin1Base[] = "aaaaaa.ceeeeiiii.nooooo.ouuuuy.."
                               "aaaaaa.ceeeeiiii.nooooo.ouuuuy.y";
constexpr char kLatinExtendedABase[] = "aaaaaaccccccccdd" "ddeeeeeeeeeegggg" "gggghhhhiiiiiiii" "ii..jjkk.lllllll"
                                       "lllnnnnnn...oooo" "oo..rrrrrrssssss" "ssttttttuuuuuuuu" "uuuuwwyyyzzzzzzs";
static_assert(sizeof(kLatin1Base) == 64 + 1);
static_assert(sizeof(kLatinExtendedABase) == 128 + 1);

locale_t UnicodeLocale() {
    static locale_t locale = newlocale(LC_ALL_MASK, "C.UTF-8", (locale_t)0);
    return locale;
}

// Unicode simple case mappings, as CharLowerW/CharUpperW give them.
char32_t Lower(char32_t c) {
    if (c < 0x80) return (c >= 'A' && c <= 'Z') ? c + 32 : c;
    if (c >= 0xD800 && c <= 0xDFFF) return c;
    locale_t l = UnicodeLocale();
    return l ? char32_t(towlower_l(wint_t(c), l)) : c;
}

char32_t Upper(char32_t c) {
    if (c < 0x80) return (c >= 'a' && c <= 'z') ? c - 32 : c;
    if (c >= 0xD800 && c <= 0xDFFF) return c;
    locale_t l = UnicodeLocale();
    return l ? char32_t(towupper_l(wint_t(c), l)) : c;
}

bool WeighsNothing(char32_t c) {
    return c < 0x09 || (c >= 0x0E && c < 0x20) || (c >= 0x7F && c < 0xA0) || c == 0xAD ||
           (c >= 0x200B && c <= 0x200F) || (c >= 0x202A && c <= 0x202E) || (c >= 0x2060 && c <= 0x2064) ||
           c == 0xFEFF;
}

char LatinBase(char32_t c) {
    char base = '.';
    if (c >= 0xC0 && c <= 0xFF) base = kLatin1Base[c - 0xC0];
    else if (c >= 0x100 && c <= 0x17F) base = kLatinExtendedABase[c - 0x100];
    return base == '.' ? 0 : base;
}

struct Element {
    uint32_t primary;
    uint32_t diacritic;
    uint8_t caseBits;
};

struct WordMark {
    size_t position;  // primary elements before the mark
    char32_t mark;
};

struct Weights {
    std::vector<Element> elements;
    std::vector<WordMark> marks;
};

Weights Weigh(const WCHAR* s, size_t length, DWORD flags) {
    Weights w;
    w.elements.reserve(length);
    const bool wordSort = !(flags & SORT_STRINGSORT);
    const bool ignoreSymbols = flags & NORM_IGNORESYMBOLS;
    for (size_t i = 0; i < length; ++i) {
        char32_t c = s[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < length && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (s[i + 1] - 0xDC00);
            ++i;
        }
        if (WeighsNothing(c)) continue;
        if (c >= 0x300 && c <= 0x36F) {
            if (!w.elements.empty()) w.elements.back().diacritic = w.elements.back().diacritic * 0x70 + (c - 0x2FF);
            continue;
        }
        uint8_t caseBits = 0;
        // Full-width forms and katakana weigh as their narrow and hiragana
        // counterparts, told apart at the case level.
        if (c >= 0xFF01 && c <= 0xFF5E) {
            c -= 0xFEE0;
            caseBits |= kWide;
        } else if (c == 0x3000) {
            c = u' ';
            caseBits |= kWide;
        } else if (c >= 0x30A1 && c <= 0x30F6) {
            c -= 0x60;
            caseBits |= kKatakana;
        }
        char32_t lower = Lower(c);
        if (lower != c) caseBits |= kUpper;

        if (wordSort && (c == u'-' || c == u'\'')) {
            if (!ignoreSymbols) w.marks.push_back({w.elements.size(), c});
            continue;
        }
        Element e{0, 0, caseBits};
        if (c < 0x80) {
            if (lower >= 'a' && lower <= 'z') {
                e.primary = Primary(kLatin, lower - 'a');
            } else if (c >= '0' && c <= '9') {
                e.primary = Primary(kDigits, c - '0');
            } else {
                e.primary = Primary(kSymbols, uint32_t(std::string_view(kAsciiSymbolOrder).find(char(c))));
            }
        } else if (char base = LatinBase(c)) {
            e.primary = Primary(kLatin, base - 'a');
            e.diacritic = lower < 0x80 ? c : lower;
        } else {
            locale_t l = UnicodeLocale();
            bool letter = l ? iswalpha_l(wint_t(c), l) : c >= 0x100;
            e.primary = letter ? Primary(kOtherLetters, lower) : Primary(kSymbols, 0x100 + c);
        }
        if (ignoreSymbols && (e.primary >> 24) == kSymbols) continue;
        w.elements.push_back(e);
    }
    return w;
}

template <class T, class Key>
int CompareBy(const std::vector<T>& a, const std::vector<T>& b, Key key) {
    size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        auto ka = key(a[i]), kb = key(b[i]);
        if (ka != kb) return ka < kb ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

int CompareWeights(const Weights& a, const Weights& b, DWORD flags) {
    if (int r = CompareBy(a.elements, b.elements, [](const Element& e) { return e.primary; })) return r;
    if (!(flags & NORM_IGNORENONSPACE))
        if (int r = CompareBy(a.elements, b.elements, [](const Element& e) { return e.diacritic; })) return r;
    uint8_t caseMask = kUpper | kWide | kKatakana;
    if (flags & kIgnoreCaseFlags) caseMask &= ~kUpper;
    if (flags & NORM_IGNOREWIDTH) caseMask &= ~kWide;
    if (flags & NORM_IGNOREKANATYPE) caseMask &= ~kKatakana;
    if (int r = CompareBy(a.elements, b.elements, [caseMask](const Element& e) { return e.caseBits & caseMask; }))
        return r;
    return CompareBy(a.marks, b.marks,
                     [](const WordMark& s) { return (uint64_t(s.position) << 32) | uint64_t(s.mark); });
}

bool CheckFlags(DWORD flags) {
    if (flags & ~kKnownFlags) {
        SetLastError(ERROR_INVALID_FLAGS);
        return false;
    }
    if (flags & SORT_DIGITSASNUMBERS) {
        // Numeric ordering of digit runs is not part of this weight function.
        SetLastError(ERROR_NOT_SUPPORTED);
        return false;
    }
    return true;
}

int CompareWide(DWORD flags, const WCHAR* s1, size_t n1, const WCHAR* s2, size_t n2) {
    return CSTR_EQUAL + CompareWeights(Weigh(s1, n1, flags), Weigh(s2, n2, flags), flags);
}

size_t LengthOf(const WCHAR* s, int count) {
    if (count >= 0) return size_t(count);
    size_t n = 0;
    while (s[n]) ++n;
    return n;
}

// Converts narrow text in the machine's ANSI code page; false (with the last
// error set) if it cannot.
bool Widen(const char* s, int count, std::u16string& out) {
    int bytes = count < 0 ? int(std::strlen(s)) : count;
    out.clear();
    if (bytes == 0) return true;
    int n = MultiByteToWideChar(CP_ACP, 0, s, bytes, nullptr, 0);
    if (n <= 0) return false;
    out.resize(size_t(n));
    return MultiByteToWideChar(CP_ACP, 0, s, bytes, out.data(), n) == n;
}

// lstrcmp and lstrcmpi order a NULL string before every other string.
template <class Ch>
bool NullOrder(const Ch* s1, const Ch* s2, int& result) {
    if (s1 && s2) return false;
    result = s1 ? 1 : (s2 ? -1 : 0);
    return true;
}

}  // namespace

int WINAPI CompareStringW(LCID, DWORD flags, PCWCH s1, int count1, PCWCH s2, int count2) {
    if (!s1 || !s2) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (!CheckFlags(flags)) return 0;
    return CompareWide(flags, s1, LengthOf(s1, count1), s2, LengthOf(s2, count2));
}

int WINAPI CompareStringA(LCID, DWORD flags, PCCH s1, int count1, PCCH s2, int count2) {
    if (!s1 || !s2) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (!CheckFlags(flags)) return 0;
    std::u16string w1, w2;
    if (!Widen(s1, count1, w1) || !Widen(s2, count2, w2)) return 0;
    return CompareWide(flags, w1.data(), w1.size(), w2.data(), w2.size());
}

// Code unit by code unit; ignoring case compares the upper-case forms.
int WINAPI CompareStringOrdinal(LPCWCH s1, int count1, LPCWCH s2, int count2, BOOL ignoreCase) {
    if (!s1 || !s2 || count1 < -1 || count2 < -1) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    size_t n1 = LengthOf(s1, count1), n2 = LengthOf(s2, count2);
    for (size_t i = 0; i < n1 && i < n2; ++i) {
        char32_t a = s1[i], b = s2[i];
        if (ignoreCase) {
            a = Upper(a);
            b = Upper(b);
            // A mapping that leaves the 16-bit range keeps the unit as it is.
            if (a > 0xFFFF) a = s1[i];
            if (b > 0xFFFF) b = s2[i];
        }
        if (a != b) return a < b ? CSTR_LESS_THAN : CSTR_GREATER_THAN;
    }
    return n1 == n2 ? CSTR_EQUAL : (n1 < n2 ? CSTR_LESS_THAN : CSTR_GREATER_THAN);
}

int WINAPI lstrcmpW(LPCWSTR s1, LPCWSTR s2) {
    int result;
    if (NullOrder(s1, s2, result)) return result;
    return CompareStringW(LOCALE_USER_DEFAULT, 0, s1, -1, s2, -1) - CSTR_EQUAL;
}

int WINAPI lstrcmpiW(LPCWSTR s1, LPCWSTR s2) {
    int result;
    if (NullOrder(s1, s2, result)) return result;
    return CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, s1, -1, s2, -1) - CSTR_EQUAL;
}

int WINAPI lstrcmpA(LPCSTR s1, LPCSTR s2) {
    int result;
    if (NullOrder(s1, s2, result)) return result;
    return CompareStringA(LOCALE_USER_DEFAULT, 0, s1, -1, s2, -1) - CSTR_EQUAL;
}

int WINAPI lstrcmpiA(LPCSTR s1, LPCSTR s2) {
    int result;
    if (NullOrder(s1, s2, result)) return result;
    return CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, s1, -1, s2, -1) - CSTR_EQUAL;
}
