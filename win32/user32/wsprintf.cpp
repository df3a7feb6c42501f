// wsprintfA/W and wvsprintfA/W: wsprintf's own format syntax (FormatSyntax::User
// in msvcrt/format.h, narrower than the runtime's printf family), at most 1024
// characters written with the terminator whatever the buffer, the count
// without the terminator returned, and string or character arguments of the
// other width converted through the machine's ANSI code page.
#include <windows.h>

#include <algorithm>
#include <climits>
#include <cstring>

#include "msvcrt/format.h"

namespace {

constexpr size_t kMaxOutput = 1024;  // units, terminator included

size_t ByteLength(const char* text, size_t limit) {
    size_t n = 0;
    while (n < limit && text[n]) ++n;
    return n;
}

// Bytes of the ANSI-page character that starts with lead.
size_t CharacterBytes(UINT page, BYTE lead) {
    if (page == CP_UTF8) {
        if (lead >= 0xF0) return 4;
        if (lead >= 0xE0) return 3;
        if (lead >= 0xC0) return 2;
        return 1;
    }
    return IsDBCSLeadByteEx(page, lead) ? 2 : 1;
}

void WidenAnsi(const char* text, size_t maxUnits, std::u16string& out) {
    // Every character takes at least one unit and at most MaxCharSize bytes,
    // so that many bytes hold the characters a limit of maxUnits can show.
    CPINFO info{};
    size_t maxBytes = GetCPInfo(CP_ACP, &info) ? info.MaxCharSize : 1;
    size_t limit = maxUnits > SIZE_MAX / maxBytes ? SIZE_MAX : maxUnits * maxBytes;
    int length = int(std::min<size_t>(ByteLength(text, limit), INT_MAX));
    if (length == 0) return;
    int needed = MultiByteToWideChar(CP_ACP, 0, text, length, nullptr, 0);
    if (needed <= 0) return;
    size_t start = out.size();
    out.resize(start + size_t(needed));
    MultiByteToWideChar(CP_ACP, 0, text, length, out.data() + start, needed);
    if (size_t(needed) > maxUnits) {
        size_t keep = maxUnits;
        if (keep && out[start + keep - 1] >= 0xD800 && out[start + keep - 1] <= 0xDBFF) --keep;  // half a pair
        out.resize(start + keep);
    }
}

void NarrowAnsi(const WCHAR* text, size_t maxUnits, std::string& out) {
    // Every character gives at least one byte: maxUnits characters are enough.
    size_t length = 0;
    while (length < maxUnits && length < INT_MAX && text[length]) ++length;
    if (length == 0) return;
    int needed = WideCharToMultiByte(CP_ACP, 0, text, int(length), nullptr, 0, nullptr, nullptr);
    if (needed <= 0) return;
    size_t start = out.size();
    out.resize(start + size_t(needed));
    WideCharToMultiByte(CP_ACP, 0, text, int(length), out.data() + start, needed, nullptr, nullptr);
    if (size_t(needed) > maxUnits) {
        // Cut after the last whole character that fits.
        UINT page = GetACP();
        size_t keep = 0;
        while (keep < maxUnits) {
            size_t next = keep + CharacterBytes(page, BYTE(out[start + keep]));
            if (next > maxUnits) break;
            keep = next;
        }
        out.resize(start + keep);
    }
}

const w32::FormatRules kUserFormatRules = {w32::FormatSyntax::User, {WidenAnsi, NarrowAnsi}};

template <class Ch>
int FormatLimited(Ch* output, const Ch* format, va_list args) {
    if (!output || !format) {
        if (output) output[0] = 0;
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    w32::FormatOutput<Ch> out{output, kMaxOutput - 1};
    w32::FormatText(out, format, args, kUserFormatRules);
    size_t written = std::min(out.length, kMaxOutput - 1);
    output[written] = 0;
    return int(written);
}

}  // namespace

int WINAPI wvsprintfW(LPWSTR lpOut, LPCWSTR lpFmt, va_list arglist) { return FormatLimited(lpOut, lpFmt, arglist); }

int WINAPI wvsprintfA(LPSTR lpOut, LPCSTR lpFmt, va_list arglist) { return FormatLimited(lpOut, lpFmt, arglist); }

int WINAPIV wsprintfW(LPWSTR lpOut, LPCWSTR lpFmt, ...) {
    va_list args;
    va_start(args, lpFmt);
    int result = FormatLimited(lpOut, lpFmt, args);
    va_end(args);
    return result;
}

int WINAPIV wsprintfA(LPSTR lpOut, LPCSTR lpFmt, ...) {
    va_list args;
    va_start(args, lpFmt);
    int result = FormatLimited(lpOut, lpFmt, args);
    va_end(args);
    return result;
}
