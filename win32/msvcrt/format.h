// The formatting engine under the runtime's printf family and user32's
// wsprintf: Windows conversion rules on char or WCHAR text, independent of the
// process's locale.
#pragma once
#include <cstdarg>
#include <cstddef>
#include <string>

#include "winnt.h"

#define W32_FORMAT_API __attribute__((visibility("default")))

namespace w32 {

// Where formatted text goes. The first `capacity` units land in `buffer`
// (null when capacity is 0); the rest is only counted, so one pass gives both
// the text and the length it needs.
template <class Ch>
struct FormatOutput {
    Ch* buffer = nullptr;
    size_t capacity = 0;
    size_t length = 0;

    void Put(Ch c) {
        if (length < capacity) buffer[length] = c;
        ++length;
    }
    void Put(const Ch* text, size_t count) {
        if (length < capacity) {
            size_t room = capacity - length;
            size_t n = count < room ? count : room;
            for (size_t i = 0; i < n; ++i) buffer[length + i] = text[i];
        }
        length += count;
    }
    void Fill(Ch c, size_t count) {
        if (length < capacity) {
            size_t room = capacity - length;
            size_t n = count < room ? count : room;
            for (size_t i = 0; i < n; ++i) buffer[length + i] = c;
        }
        length += count;
    }
};

// How a string or character argument of the other width becomes the output's
// width. Each converter appends to `out` at most `maxUnits` units (SIZE_MAX:
// no limit), reads the terminated source no further than those units need,
// and never ends on part of a character.
struct FormatConversions {
    void (*widen)(const char* text, size_t maxUnits, std::u16string& out);
    void (*narrow)(const WCHAR* text, size_t maxUnits, std::string& out);
};

// Which directives a function reads.
enum class FormatSyntax {
    // The runtime's: %[flags][width][.precision][size]type with the flags
    // - + space 0 #, a width and a precision that may be * (taken from the
    // arguments), the sizes hh h l ll L w j z t I I32 I64, and the types
    // d i u o x X p c C s S n e E f F g G a A.
    Runtime,
    // wsprintf's: %[-][#][0][width][.precision][size]type with '-' and '#' in
    // either order before '0', a width and a precision in digits only, the
    // sizes h and l, and the types c C d i u x X p s S. Whatever else stands
    // where the type should be is printed as it is, without taking an
    // argument, and the '%' and what was read before it are dropped: "%o"
    // prints "o", "%+d" prints "+d", "%lld" prints "ld", "%f" prints "f" and
    // "%%" prints "%". A character of value zero given to %hc or %lc (either
    // case of c) prints nothing.
    User,
};

struct FormatRules {
    FormatSyntax syntax;
    FormatConversions conversions;
};

// The runtime's rules: the "C" locale, where a byte b is the character U+00bb
// and a character above U+00FF has no byte and becomes '?'.
W32_FORMAT_API extern const FormatRules kRuntimeFormatRules;

// Formats `format` with the arguments in `args` (which it leaves untouched:
// it works on a copy) and appends the text to `out`.
template <class Ch>
W32_FORMAT_API void FormatText(FormatOutput<Ch>& out, const Ch* format, va_list args, const FormatRules& rules);

extern template void FormatText<char>(FormatOutput<char>&, const char*, va_list, const FormatRules&);
extern template void FormatText<WCHAR>(FormatOutput<WCHAR>&, const WCHAR*, va_list, const FormatRules&);

}  // namespace w32
