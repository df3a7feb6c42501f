// The driver's trace routine: printf-style 8-bit text to the debugger output.
#include <windows.h>
#include <strsafe.h>

#include <cstdarg>
#include <memory>
#include <new>

#include "pcl6/intrface/util.h"

namespace {

constexpr size_t kFirstLength = 1024;  // characters, before the terminator
constexpr int kMaxTries = 10;          // the last try has 1024 << 9 characters

}  // namespace

BOOL DebugMessage(LPCSTR format, ...) {
    if (!format) return FALSE;
    std::unique_ptr<char[]> text;
    HRESULT result = STRSAFE_E_INSUFFICIENT_BUFFER;
    size_t length = kFirstLength;
    for (int attempt = 0; attempt < kMaxTries && result == STRSAFE_E_INSUFFICIENT_BUFFER; ++attempt) {
        if (attempt > 0) length *= 2;
        text.reset(new (std::nothrow) char[length + 1]);
        if (!text) return FALSE;
        va_list args;
        va_start(args, format);
        result = StringCchVPrintfA(text.get(), length + 1, format, args);
        va_end(args);
    }
    // When the tries ran out the text is written as far as it went.
    OutputDebugStringA(text.get());
    return SUCCEEDED(result) ? TRUE : FALSE;
}
