// The runtime's formatting functions on char and WCHAR buffers, each a thin
// buffer contract around the shared engine in format.cpp.
#include <windows.h>

#include <cerrno>
#include <climits>

#include "msvcrt/format.h"

namespace {

// The _snprintf contract: the text and a terminator when it is shorter than
// count, the text alone (and count) when it is exactly count, the first count
// units and -1 when it is longer. A null buffer with count 0 asks for the
// length.
template <class Ch>
int FormatCounted(Ch* buffer, size_t count, const Ch* format, va_list args) {
    if (!format || (!buffer && count)) {
        errno = EINVAL;
        return -1;
    }
    w32::FormatOutput<Ch> out{buffer, count};
    w32::FormatText(out, format, args, w32::kRuntimeFormatRules);
    if (out.length > INT_MAX) return -1;
    if (!buffer) return int(out.length);
    if (out.length < count) buffer[out.length] = 0;
    return out.length <= count ? int(out.length) : -1;
}

// The length the text would have, without its terminator: the counted
// contract's question with a null buffer.
template <class Ch>
int FormatLength(const Ch* format, va_list args) {
    return FormatCounted<Ch>(nullptr, 0, format, args);
}

// The secure contract: the whole text and its terminator, or an empty buffer
// and -1.
template <class Ch>
int FormatSecure(Ch* buffer, size_t size, const Ch* format, va_list args) {
    if (!buffer || size == 0 || !format) {
        if (buffer && size) buffer[0] = 0;
        errno = EINVAL;
        return -1;
    }
    w32::FormatOutput<Ch> out{buffer, size};
    w32::FormatText(out, format, args, w32::kRuntimeFormatRules);
    if (out.length >= size || out.length > INT_MAX) {
        buffer[0] = 0;
        errno = ERANGE;
        return -1;
    }
    buffer[out.length] = 0;
    return int(out.length);
}

}  // namespace

int _vsnwprintf(WCHAR* buffer, size_t count, const WCHAR* format, va_list argptr) {
    return FormatCounted(buffer, count, format, argptr);
}

int _snwprintf(WCHAR* buffer, size_t count, const WCHAR* format, ...) {
    va_list args;
    va_start(args, format);
    int result = FormatCounted(buffer, count, format, args);
    va_end(args);
    return result;
}

int _vsnprintf(char* buffer, size_t count, const char* format, va_list argptr) {
    return FormatCounted(buffer, count, format, argptr);
}

int _snprintf(char* buffer, size_t count, const char* format, ...) {
    va_list args;
    va_start(args, format);
    int result = FormatCounted(buffer, count, format, args);
    va_end(args);
    return result;
}

int _vscwprintf(const WCHAR* format, va_list argptr) { return FormatLength(format, argptr); }

int _scwprintf(const WCHAR* format, ...) {
    va_list args;
    va_start(args, format);
    int result = FormatLength(format, args);
    va_end(args);
    return result;
}

int _vscprintf(const char* format, va_list argptr) { return FormatLength(format, argptr); }

int _scprintf(const char* format, ...) {
    va_list args;
    va_start(args, format);
    int result = FormatLength(format, args);
    va_end(args);
    return result;
}

int vswprintf_s(WCHAR* buffer, size_t sizeOfBuffer, const WCHAR* format, va_list argptr) {
    return FormatSecure(buffer, sizeOfBuffer, format, argptr);
}

int swprintf_s(WCHAR* buffer, size_t sizeOfBuffer, const WCHAR* format, ...) {
    va_list args;
    va_start(args, format);
    int result = FormatSecure(buffer, sizeOfBuffer, format, args);
    va_end(args);
    return result;
}

int vsprintf_s(char* buffer, size_t sizeOfBuffer, const char* format, va_list argptr) {
    return FormatSecure(buffer, sizeOfBuffer, format, argptr);
}

int sprintf_s(char* buffer, size_t sizeOfBuffer, const char* format, ...) {
    va_list args;
    va_start(args, format);
    int result = FormatSecure(buffer, sizeOfBuffer, format, args);
    va_end(args);
    return result;
}
