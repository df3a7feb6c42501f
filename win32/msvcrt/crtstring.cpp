// The runtime's WCHAR string helpers with the "C" locale's rules: only the
// ASCII letters fold, and number parsing takes optional spaces, a sign and
// digits, stopping at the first other character.
#include <windows.h>

#include <climits>
#include <type_traits>
#include <cstdlib>

namespace {

template <class Ch>
Ch FoldLower(Ch c) {
    return (c >= 'A' && c <= 'Z') ? Ch(c + ('a' - 'A')) : c;
}

template <class Ch>
int CompareFolded(const Ch* a, const Ch* b, size_t count) {
    for (; count; --count, ++a, ++b) {
        int ca = int(std::make_unsigned_t<Ch>(FoldLower(*a)));
        int cb = int(std::make_unsigned_t<Ch>(FoldLower(*b)));
        if (ca != cb) return ca - cb;
        if (!ca) return 0;
    }
    return 0;
}

bool IsSpace(WCHAR c) { return c == ' ' || (c >= 9 && c <= 13); }

int DigitValue(WCHAR c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'z') return c - 'a' + 10;
    if (c >= 'A' && c <= 'Z') return c - 'A' + 10;
    return 99;
}

// Parses like strtoull and reports the sign separately; saturates at limit.
unsigned long long ParseUnsigned(const WCHAR* str, WCHAR** end, int base, bool& negative, bool& overflow,
                                 unsigned long long limit) {
    const WCHAR* p = str;
    negative = false;
    overflow = false;
    while (IsSpace(*p)) ++p;
    if (*p == '+' || *p == '-') negative = *p++ == '-';
    if ((base == 0 || base == 16) && p[0] == '0' && (p[1] == 'x' || p[1] == 'X') && DigitValue(p[2]) < 16) {
        p += 2;
        base = 16;
    } else if (base == 0) {
        base = p[0] == '0' ? 8 : 10;
    }
    const WCHAR* digits = p;
    unsigned long long value = 0;
    for (; DigitValue(*p) < base; ++p) {
        unsigned long long next = value * base + DigitValue(*p);
        if (value > (limit - DigitValue(*p)) / base) overflow = true;
        value = overflow ? limit : next;
    }
    if (end) *end = const_cast<WCHAR*>(p == digits ? str : p);
    return value;
}

}  // namespace

int _wcsicmp(const WCHAR* a, const WCHAR* b) { return CompareFolded(a, b, SIZE_MAX); }
int _wcsnicmp(const WCHAR* a, const WCHAR* b, size_t n) { return CompareFolded(a, b, n); }
int _stricmp(const char* a, const char* b) { return CompareFolded(a, b, SIZE_MAX); }
int _strnicmp(const char* a, const char* b, size_t n) { return CompareFolded(a, b, n); }

namespace {
int ParseLong(const WCHAR* str, WCHAR** end, int base) {
    bool negative, overflow;
    unsigned long long v = ParseUnsigned(str, end, base, negative, overflow, ULLONG_MAX);
    if (negative) return (overflow || v > 0x80000000ull) ? INT_MIN : int(-(long long)v);
    return (overflow || v > 0x7FFFFFFFull) ? INT_MAX : int(v);
}

}  // namespace

int _wtoi(const WCHAR* str) { return ParseLong(str, nullptr, 10); }
long _wtol(const WCHAR* str) { return ParseLong(str, nullptr, 10); }

long long _wtoi64(const WCHAR* str) {
    bool negative, overflow;
    unsigned long long v = ParseUnsigned(str, nullptr, 10, negative, overflow, ULLONG_MAX);
    if (negative) return (overflow || v > 0x8000000000000000ull) ? LLONG_MIN : -(long long)v;
    return (overflow || v > 0x7FFFFFFFFFFFFFFFull) ? LLONG_MAX : (long long)v;
}

WCHAR* _wcsdup(const WCHAR* str) {
    if (!str) return nullptr;
    size_t n = 0;
    while (str[n]) ++n;
    auto* copy = static_cast<WCHAR*>(std::malloc((n + 1) * sizeof(WCHAR)));
    if (copy) std::memcpy(copy, str, (n + 1) * sizeof(WCHAR));
    return copy;
}

WCHAR* _wcslwr(WCHAR* str) {
    for (WCHAR* p = str; p && *p; ++p) *p = FoldLower(*p);
    return str;
}

WCHAR* _wcsupr(WCHAR* str) {
    for (WCHAR* p = str; p && *p; ++p)
        if (*p >= 'a' && *p <= 'z') *p = WCHAR(*p - ('a' - 'A'));
    return str;
}

namespace {
WCHAR* FormatUnsigned(unsigned long long value, bool negative, WCHAR* buffer, int radix) {
    if (!buffer) return nullptr;
    if (radix < 2 || radix > 36) {
        buffer[0] = 0;
        return buffer;
    }
    WCHAR digits[72];
    int n = 0;
    do {
        int d = int(value % radix);
        digits[n++] = WCHAR(d < 10 ? '0' + d : 'a' + d - 10);
        value /= radix;
    } while (value);
    WCHAR* p = buffer;
    if (negative) *p++ = '-';
    while (n) *p++ = digits[--n];
    *p = 0;
    return buffer;
}
}  // namespace

// Only radix 10 treats the value as signed.
WCHAR* _itow(int value, WCHAR* buffer, int radix) {
    if (radix == 10 && value < 0) return FormatUnsigned(0ull - (long long)value, true, buffer, radix);
    return FormatUnsigned(unsigned(value), false, buffer, radix);
}

WCHAR* _ultow(unsigned long value, WCHAR* buffer, int radix) { return FormatUnsigned(value, false, buffer, radix); }
