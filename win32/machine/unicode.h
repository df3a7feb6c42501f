// UTF-8 and UTF-16 conversions used inside the layer, where Windows text
// (UTF-16 WCHAR) meets Linux text (UTF-8 file names, logs, settings).
#pragma once
#include <string>
#include <string_view>

namespace w32 {

// Unpaired surrogates become U+FFFD.
std::string ToUtf8(std::u16string_view text, bool* hadInvalid = nullptr);
// Invalid bytes become U+FFFD.
std::u16string FromUtf8(std::string_view text, bool* hadInvalid = nullptr);

// Length of a NUL-terminated WCHAR string.
inline size_t WideLength(const char16_t* s) {
    size_t n = 0;
    while (s[n]) ++n;
    return n;
}

}  // namespace w32
