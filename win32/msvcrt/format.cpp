// The formatting engine: %[flags][width][.precision][size]type with the
// Windows runtime's reading of each part, or with wsprintf's narrower reading
// (FormatSyntax in format.h) for user32's functions.
//
// Sizes are LLP64: l is 32 bits, ll, I64 and j are 64, I, z and t are pointer
// sized (64 bits), h 16 and hh 8. For strings and characters h means narrow
// and l or w wide, whatever the function's own width; without a size, s and c
// are the function's own width and S and C the other one. Floating point goes
// through the C library in a "C" locale of its own, so the process's locale
// never changes the decimal point.
#include "msvcrt/format.h"

#include <locale.h>

#include <bit>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <type_traits>

#include "minwindef.h"

namespace w32 {
namespace {

enum class SizePrefix { None, Hh, H, L, Ll, LongDouble, I32, I64, PointerSize, W };

// One conversion as written after its %.
struct Directive {
    bool left = false;   // '-'
    bool plus = false;   // '+'
    bool space = false;  // ' '
    bool zero = false;   // '0'
    bool alt = false;    // '#'
    size_t width = 0;
    long long precision = -1;  // -1: none given
    SizePrefix size = SizePrefix::None;
};

constexpr size_t kMaxField = INT_MAX;

template <class Ch>
unsigned Unit(Ch c) {
    return unsigned(std::make_unsigned_t<Ch>(c));
}

template <class Ch>
size_t ParseNumber(const Ch*& p) {
    size_t value = 0;
    for (; Unit(*p) >= '0' && Unit(*p) <= '9'; ++p) {
        value = value * 10 + (Unit(*p) - '0');
        if (value > kMaxField) value = kMaxField;
    }
    return value;
}

// Whether a string or character conversion takes wide text.
template <class Ch>
bool TakesWide(unsigned type, SizePrefix size) {
    if (size == SizePrefix::H || size == SizePrefix::Hh) return false;
    if (size == SizePrefix::L || size == SizePrefix::W) return true;
    bool native = type == 's' || type == 'c';
    return native == std::is_same_v<Ch, WCHAR>;
}

// Writes text padded to the field width: spaces, or zeros with the '0' flag
// (the runtime pads strings and characters with zeros too).
template <class Ch>
void PutField(FormatOutput<Ch>& out, const Directive& field, const Ch* text, size_t length) {
    size_t pad = field.width > length ? field.width - length : 0;
    if (field.left) {
        out.Put(text, length);
        out.Fill(Ch(' '), pad);
    } else {
        out.Fill(Ch(field.zero ? '0' : ' '), pad);
        out.Put(text, length);
    }
}

template <class Ch>
void PutInteger(FormatOutput<Ch>& out, const Directive& field, unsigned long long magnitude, bool negative, bool isSigned,
                unsigned base, bool upper) {
    char digits[24];
    size_t count = 0;
    const char* alphabet = upper ? "0123456789ABCDEF" : "0123456789abcdef";
    if (!(magnitude == 0 && field.precision == 0)) {
        do {
            digits[sizeof(digits) - 1 - count++] = alphabet[magnitude % base];
            magnitude /= base;
        } while (magnitude);
    }
    const char* first = digits + sizeof(digits) - count;

    Ch prefix[3];
    size_t prefixLength = 0;
    if (isSigned) {
        if (negative)
            prefix[prefixLength++] = Ch('-');
        else if (field.plus)
            prefix[prefixLength++] = Ch('+');
        else if (field.space)
            prefix[prefixLength++] = Ch(' ');
    }
    if (field.alt && base == 16 && count && !(count == 1 && first[0] == '0')) {
        prefix[prefixLength++] = Ch('0');
        prefix[prefixLength++] = Ch(upper ? 'X' : 'x');
    }

    size_t zeros = field.precision > 0 && size_t(field.precision) > count ? size_t(field.precision) - count : 0;
    // '#' with octal makes sure the number starts with a zero.
    if (field.alt && base == 8 && zeros == 0 && (count == 0 || first[0] != '0')) zeros = 1;

    size_t body = prefixLength + zeros + count;
    size_t pad = field.width > body ? field.width - body : 0;
    // The '0' flag pads with zeros unless '-' or a precision is given.
    if (field.zero && !field.left && field.precision < 0) {
        zeros += pad;
        pad = 0;
    }
    if (!field.left) out.Fill(Ch(' '), pad);
    out.Put(prefix, prefixLength);
    out.Fill(Ch('0'), zeros);
    for (size_t i = 0; i < count; ++i) out.Put(Ch(first[i]));
    if (field.left) out.Fill(Ch(' '), pad);
}

locale_t ClassicLocale() {
    static locale_t classic = newlocale(LC_ALL_MASK, "C", locale_t(0));
    return classic;
}

// Writes ASCII text as the output's characters.
template <class Ch>
void PutAscii(FormatOutput<Ch>& out, const char* text, size_t length) {
    if constexpr (std::is_same_v<Ch, char>) {
        out.Put(text, length);
    } else {
        for (size_t i = 0; i < length; ++i) out.Put(Ch(BYTE(text[i])));
    }
}

// Not-a-number as the runtime spells it: "nan", "-nan(ind)" for the
// indeterminate value the processor makes of 0/0, "nan(snan)" for a
// signalling one.
template <class Ch>
void PutNotANumber(FormatOutput<Ch>& out, const Directive& field, double value, bool upper) {
    uint64_t bits = std::bit_cast<uint64_t>(value);
    bool negative = bits >> 63;
    bool quiet = bits & (1ull << 51);
    uint64_t payload = bits & ((1ull << 51) - 1);
    std::string text;
    if (negative)
        text += '-';
    else if (field.plus)
        text += '+';
    else if (field.space)
        text += ' ';
    text += "nan";
    if (!quiet)
        text += "(snan)";
    else if (negative && payload == 0)
        text += "(ind)";
    if (upper)
        for (char& c : text) c = char(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    size_t pad = field.width > text.size() ? field.width - text.size() : 0;
    if (!field.left) out.Fill(Ch(' '), pad);
    PutAscii(out, text.data(), text.size());
    if (field.left) out.Fill(Ch(' '), pad);
}

template <class Ch>
void PutFloat(FormatOutput<Ch>& out, const Directive& field, unsigned type, double value) {
    bool upper = type == 'E' || type == 'F' || type == 'G' || type == 'A';
    if (std::isnan(value)) {
        PutNotANumber(out, field, value, upper);
        return;
    }
    // The field width is applied here, not by the C library, so that a wide
    // field costs no buffer.
    char format[16];
    size_t f = 0;
    format[f++] = '%';
    if (field.plus) format[f++] = '+';
    if (field.space) format[f++] = ' ';
    if (field.alt) format[f++] = '#';
    format[f++] = '.';
    format[f++] = '*';
    format[f++] = char(type);
    format[f] = 0;
    // The runtime prints every hexadecimal digit of the fraction (13) when
    // %a has no precision.
    int precision = field.precision >= 0 ? int(field.precision) : (type == 'a' || type == 'A') ? 13 : 6;

    char small[128];
    std::string large;
    const char* text = small;
    locale_t previous = uselocale(ClassicLocale());
    int length = snprintf(small, sizeof(small), format, precision, value);
    if (length >= int(sizeof(small))) {
        large.resize(size_t(length) + 1);
        snprintf(large.data(), large.size(), format, precision, value);
        text = large.data();
    }
    uselocale(previous);
    if (length < 0) return;

    // Zero padding goes after the sign and a hexadecimal float's "0x".
    size_t n = size_t(length);
    size_t lead = 0;
    if (n && (text[0] == '-' || text[0] == '+' || text[0] == ' ')) lead = 1;
    if ((type == 'a' || type == 'A') && n >= lead + 2) lead += 2;
    size_t pad = field.width > n ? field.width - n : 0;
    if (field.left) {
        PutAscii(out, text, n);
        out.Fill(Ch(' '), pad);
    } else if (field.zero && std::isfinite(value)) {
        PutAscii(out, text, lead);
        out.Fill(Ch('0'), pad);
        PutAscii(out, text + lead, n - lead);
    } else {
        out.Fill(Ch(' '), pad);
        PutAscii(out, text, n);
    }
}

template <class Ch>
size_t BoundedLength(const Ch* text, long long precision) {
    size_t n = 0;
    while ((precision < 0 || n < size_t(precision)) && text[n]) ++n;
    return n;
}

template <class Ch>
void PutString(FormatOutput<Ch>& out, const Directive& field, const void* pointer, bool wide, const FormatRules& rules) {
    static const Ch kNull[] = {'(', 'n', 'u', 'l', 'l', ')', 0};
    bool native = wide == std::is_same_v<Ch, WCHAR>;
    if (!pointer || native) {
        const Ch* text = pointer ? static_cast<const Ch*>(pointer) : kNull;
        PutField(out, field, text, BoundedLength(text, field.precision));
        return;
    }
    size_t maxUnits = field.precision < 0 ? SIZE_MAX : size_t(field.precision);
    std::basic_string<Ch> converted;
    if constexpr (std::is_same_v<Ch, WCHAR>)
        rules.conversions.widen(static_cast<const char*>(pointer), maxUnits, converted);
    else
        rules.conversions.narrow(static_cast<const WCHAR*>(pointer), maxUnits, converted);
    PutField(out, field, converted.data(), converted.size());
}

template <class Ch>
void PutCharacter(FormatOutput<Ch>& out, const Directive& field, int value, bool wide, const FormatRules& rules) {
    bool native = wide == std::is_same_v<Ch, WCHAR>;
    Ch unit = Ch(value);
    // A NUL character of either width is one NUL unit of the output.
    if (native || (wide ? WCHAR(value) : char(value)) == 0) {
        PutField(out, field, &unit, 1);
        return;
    }
    std::basic_string<Ch> converted;
    if constexpr (std::is_same_v<Ch, WCHAR>) {
        const char text[2] = {char(value), 0};
        rules.conversions.widen(text, SIZE_MAX, converted);
    } else {
        const WCHAR text[2] = {WCHAR(value), 0};
        rules.conversions.narrow(text, SIZE_MAX, converted);
    }
    PutField(out, field, converted.data(), converted.size());
}

long long SignedArgument(va_list& ap, SizePrefix size) {
    switch (size) {
        case SizePrefix::Hh:
            return static_cast<signed char>(va_arg(ap, int));
        case SizePrefix::H:
            return static_cast<short>(va_arg(ap, int));
        case SizePrefix::Ll:
        case SizePrefix::I64:
        case SizePrefix::PointerSize:
            return va_arg(ap, long long);
        default:
            return va_arg(ap, int);
    }
}

unsigned long long UnsignedArgument(va_list& ap, SizePrefix size) {
    switch (size) {
        case SizePrefix::Hh:
            return static_cast<unsigned char>(va_arg(ap, unsigned));
        case SizePrefix::H:
            return static_cast<unsigned short>(va_arg(ap, unsigned));
        case SizePrefix::Ll:
        case SizePrefix::I64:
        case SizePrefix::PointerSize:
            return va_arg(ap, unsigned long long);
        default:
            return va_arg(ap, unsigned);
    }
}

// Reads a size prefix; p is left on the conversion character.
template <class Ch>
SizePrefix ParseSize(const Ch*& p) {
    switch (Unit(*p)) {
        case 'h':
            ++p;
            if (Unit(*p) == 'h') {
                ++p;
                return SizePrefix::Hh;
            }
            return SizePrefix::H;
        case 'l':
            ++p;
            if (Unit(*p) == 'l') {
                ++p;
                return SizePrefix::Ll;
            }
            return SizePrefix::L;
        case 'L':
            ++p;
            return SizePrefix::LongDouble;
        case 'w':
            ++p;
            return SizePrefix::W;
        case 'j':
            ++p;
            return SizePrefix::I64;
        case 'z':
        case 't':
            ++p;
            return SizePrefix::PointerSize;
        case 'I':
            ++p;
            if (Unit(p[0]) == '6' && Unit(p[1]) == '4') {
                p += 2;
                return SizePrefix::I64;
            }
            if (Unit(p[0]) == '3' && Unit(p[1]) == '2') {
                p += 2;
                return SizePrefix::I32;
            }
            return SizePrefix::PointerSize;
        default:
            return SizePrefix::None;
    }
}

// Reads the flags, width, precision and size of a directive in the
// runtime's syntax; p is left on the type. A '*' takes its number from the
// arguments.
template <class Ch>
void ParseRuntimeDirective(const Ch*& p, va_list& ap, Directive& field) {
    for (bool flags = true; flags;) {
        switch (Unit(*p)) {
            case '-': field.left = true; break;
            case '+': field.plus = true; break;
            case ' ': field.space = true; break;
            case '0': field.zero = true; break;
            case '#': field.alt = true; break;
            default: flags = false; continue;
        }
        ++p;
    }
    if (Unit(*p) == '*') {
        ++p;
        long long width = va_arg(ap, int);
        // A negative width from the arguments means '-' and its size.
        if (width < 0) {
            field.left = true;
            width = -width;
        }
        field.width = size_t(width) > kMaxField ? kMaxField : size_t(width);
    } else {
        field.width = ParseNumber(p);
    }
    if (Unit(*p) == '.') {
        ++p;
        if (Unit(*p) == '*') {
            ++p;
            int precision = va_arg(ap, int);
            field.precision = precision < 0 ? -1 : precision;  // negative: as if none were given
        } else {
            field.precision = (long long)ParseNumber(p);
        }
    }
    field.size = ParseSize(p);
}

// The same in wsprintf's syntax: '-' and '#' in either order, then '0', then
// digits for the width and the precision, then h or l.
template <class Ch>
void ParseUserDirective(const Ch*& p, Directive& field) {
    for (;; ++p) {
        if (Unit(*p) == '-')
            field.left = true;
        else if (Unit(*p) == '#')
            field.alt = true;
        else
            break;
    }
    if (Unit(*p) == '0') {
        field.zero = true;
        ++p;
    }
    field.width = ParseNumber(p);
    if (Unit(*p) == '.') {
        ++p;
        field.precision = (long long)ParseNumber(p);
    }
    if (Unit(*p) == 'h') {
        ++p;
        field.size = SizePrefix::H;
    } else if (Unit(*p) == 'l') {
        ++p;
        field.size = SizePrefix::L;
    }
}

// The types wsprintf converts.
bool IsUserType(unsigned type) {
    switch (type) {
        case 'c': case 'C': case 'd': case 'i': case 'u': case 'x': case 'X': case 'p': case 's': case 'S':
            return true;
        default:
            return false;
    }
}

}  // namespace

template <class Ch>
void FormatText(FormatOutput<Ch>& out, const Ch* format, va_list args, const FormatRules& rules) {
    va_list ap;
    va_copy(ap, args);
    const Ch* p = format;
    while (*p) {
        const Ch* run = p;
        while (*p && Unit(*p) != '%') ++p;
        if (p != run) out.Put(run, size_t(p - run));
        if (!*p) break;
        ++p;

        Directive field;
        if (rules.syntax == FormatSyntax::User)
            ParseUserDirective(p, field);
        else
            ParseRuntimeDirective(p, ap, field);
        if (!*p) break;
        unsigned type = Unit(*p++);
        if (rules.syntax == FormatSyntax::User && !IsUserType(type)) {
            // Not a conversion of wsprintf's: the character as it is.
            out.Put(Ch(type));
            continue;
        }

        switch (type) {
            case '%':
                out.Put(Ch('%'));
                break;
            case 'd':
            case 'i': {
                long long value = SignedArgument(ap, field.size);
                unsigned long long magnitude = value < 0 ? 0ull - (unsigned long long)value : (unsigned long long)value;
                PutInteger(out, field, magnitude, value < 0, true, 10, false);
                break;
            }
            case 'u':
                PutInteger(out, field, UnsignedArgument(ap, field.size), false, false, 10, false);
                break;
            case 'o':
                PutInteger(out, field, UnsignedArgument(ap, field.size), false, false, 8, false);
                break;
            case 'x':
            case 'X':
                PutInteger(out, field, UnsignedArgument(ap, field.size), false, false, 16, type == 'X');
                break;
            case 'p': {
                // All sixteen digits of the 64-bit address, upper case.
                auto value = reinterpret_cast<uintptr_t>(va_arg(ap, void*));
                field.precision = 2 * sizeof(void*);
                PutInteger(out, field, value, false, false, 16, true);
                break;
            }
            case 'c':
            case 'C': {
                int value = va_arg(ap, int);
                bool wide = TakesWide<Ch>(type, field.size);
                // wsprintf's %hc and %lc leave out a character of value zero.
                bool sized = field.size == SizePrefix::H || field.size == SizePrefix::L;
                if (rules.syntax == FormatSyntax::User && sized && (wide ? WCHAR(value) : char(value)) == 0) break;
                PutCharacter(out, field, value, wide, rules);
                break;
            }
            case 's':
            case 'S':
                PutString(out, field, va_arg(ap, const void*), TakesWide<Ch>(type, field.size), rules);
                break;
            case 'n':
                // Writing through the argument is not supported: it is taken
                // and nothing is stored.
                (void)va_arg(ap, void*);
                break;
            case 'e':
            case 'E':
            case 'f':
            case 'F':
            case 'g':
            case 'G':
            case 'a':
            case 'A':
                // long double is double on Windows: a caller's long double
                // prints with double's digits.
                if (field.size == SizePrefix::LongDouble)
                    PutFloat(out, field, type, double(va_arg(ap, long double)));
                else
                    PutFloat(out, field, type, va_arg(ap, double));
                break;
            default:
                // An unknown conversion character is copied as it is.
                out.Put(Ch(type));
                break;
        }
    }
    va_end(ap);
}

template W32_FORMAT_API void FormatText<char>(FormatOutput<char>&, const char*, va_list, const FormatRules&);
template W32_FORMAT_API void FormatText<WCHAR>(FormatOutput<WCHAR>&, const WCHAR*, va_list, const FormatRules&);

namespace {

void WidenBytes(const char* text, size_t maxUnits, std::u16string& out) {
    size_t n = 0;
    while (n < maxUnits && text[n]) ++n;
    size_t start = out.size();
    out.resize(start + n);
    for (size_t i = 0; i < n; ++i) out[start + i] = WCHAR(BYTE(text[i]));
}

void NarrowToBytes(const WCHAR* text, size_t maxUnits, std::string& out) {
    size_t n = 0;
    while (n < maxUnits && text[n]) ++n;
    size_t start = out.size();
    out.resize(start + n);
    for (size_t i = 0; i < n; ++i) out[start + i] = text[i] > 0xFF ? '?' : char(BYTE(text[i]));
}

}  // namespace

const FormatRules kRuntimeFormatRules = {FormatSyntax::Runtime, {WidenBytes, NarrowToBytes}};

}  // namespace w32
