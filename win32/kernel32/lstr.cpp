// The lstr family. As on Windows, a NULL string counts as empty for lstrlen;
// lstrcpyn always terminates inside its limit.
#include <windows.h>

namespace {

template <class Ch>
int Length(const Ch* s) {
    if (!s) return 0;
    int n = 0;
    while (s[n]) ++n;
    return n;
}

template <class Ch>
Ch* Copy(Ch* dst, const Ch* src) {
    if (!dst || !src) return nullptr;
    Ch* d = dst;
    while ((*d++ = *src++)) {
    }
    return dst;
}

template <class Ch>
Ch* CopyN(Ch* dst, const Ch* src, int maxLength) {
    if (!dst || !src) return nullptr;
    Ch* d = dst;
    int count = maxLength;
    while (count > 1 && *src) {
        --count;
        *d++ = *src++;
    }
    if (count > 0) *d = 0;
    return dst;
}

template <class Ch>
Ch* Cat(Ch* dst, const Ch* src) {
    if (!dst || !src) return nullptr;
    Copy(dst + Length(dst), src);
    return dst;
}

}  // namespace

int WINAPI lstrlenA(LPCSTR s) { return Length(s); }
int WINAPI lstrlenW(LPCWSTR s) { return Length(s); }
LPSTR WINAPI lstrcpyA(LPSTR d, LPCSTR s) { return Copy(d, s); }
LPWSTR WINAPI lstrcpyW(LPWSTR d, LPCWSTR s) { return Copy(d, s); }
LPSTR WINAPI lstrcpynA(LPSTR d, LPCSTR s, int n) { return CopyN(d, s, n); }
LPWSTR WINAPI lstrcpynW(LPWSTR d, LPCWSTR s, int n) { return CopyN(d, s, n); }
LPSTR WINAPI lstrcatA(LPSTR d, LPCSTR s) { return Cat(d, s); }
LPWSTR WINAPI lstrcatW(LPWSTR d, LPCWSTR s) { return Cat(d, s); }
