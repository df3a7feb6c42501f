// WCHAR string helpers.
#include <shlwapi.h>

#include <algorithm>
#include <string_view>

#include "machine/paths.h"

namespace {

size_t Length(LPCWSTR s) {
    size_t n = 0;
    while (s[n]) ++n;
    return n;
}

bool FoldedEqual(WCHAR a, WCHAR b) { return w32::FoldNameChar(a) == w32::FoldNameChar(b); }

template <class Equal>
LPWSTR Search(LPCWSTR text, LPCWSTR sought, Equal equal) {
    if (!text || !sought || !*sought) return nullptr;
    std::u16string_view haystack(text), needle(sought);
    auto it = std::search(haystack.begin(), haystack.end(), needle.begin(), needle.end(), equal);
    return it == haystack.end() ? nullptr : const_cast<LPWSTR>(text + (it - haystack.begin()));
}

// Up to n characters of each string, as lstrcmp/lstrcmpi order them.
int CompareCounted(LPCWSTR a, LPCWSTR b, int n, DWORD flags) {
    if (n <= 0) return 0;
    int la = int(std::min<size_t>(Length(a), size_t(n)));
    int lb = int(std::min<size_t>(Length(b), size_t(n)));
    return CompareStringW(LOCALE_USER_DEFAULT, flags, a, la, b, lb) - CSTR_EQUAL;
}

bool IsBlank(WCHAR c) { return c == u' ' || (c >= u'\t' && c <= u'\r'); }

int HexDigit(WCHAR c) {
    if (c >= u'0' && c <= u'9') return c - u'0';
    if (c >= u'a' && c <= u'f') return c - u'a' + 10;
    if (c >= u'A' && c <= u'F') return c - u'A' + 10;
    return -1;
}

}  // namespace

LPWSTR WINAPI StrChrW(LPCWSTR pszStart, WCHAR wMatch) {
    if (!pszStart) return nullptr;
    for (LPCWSTR p = pszStart; *p; ++p)
        if (*p == wMatch) return const_cast<LPWSTR>(p);
    return nullptr;
}

LPWSTR WINAPI StrRChrW(LPCWSTR pszStart, LPCWSTR pszEnd, WCHAR wMatch) {
    if (!pszStart) return nullptr;
    LPCWSTR found = nullptr;
    for (LPCWSTR p = pszStart; *p && (!pszEnd || p < pszEnd); ++p)
        if (*p == wMatch) found = p;
    return const_cast<LPWSTR>(found);
}

LPWSTR WINAPI StrStrW(LPCWSTR pszFirst, LPCWSTR pszSrch) {
    return Search(pszFirst, pszSrch, [](WCHAR a, WCHAR b) { return a == b; });
}

LPWSTR WINAPI StrStrIW(LPCWSTR pszFirst, LPCWSTR pszSrch) { return Search(pszFirst, pszSrch, FoldedEqual); }

int WINAPI StrCmpIW(LPCWSTR psz1, LPCWSTR psz2) {
    return CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, psz1, -1, psz2, -1) - CSTR_EQUAL;
}

int WINAPI StrCmpNW(LPCWSTR psz1, LPCWSTR psz2, int nChar) { return CompareCounted(psz1, psz2, nChar, 0); }

int WINAPI StrCmpNIW(LPCWSTR psz1, LPCWSTR psz2, int nChar) {
    return CompareCounted(psz1, psz2, nChar, NORM_IGNORECASE);
}

BOOL WINAPI StrToIntExW(LPCWSTR pszString, STIF_FLAGS dwFlags, int* piRet) {
    if (!piRet) return FALSE;
    *piRet = 0;
    if (!pszString) return FALSE;
    LPCWSTR p = pszString;
    while (IsBlank(*p)) ++p;
    bool negative = false;
    if (*p == u'+' || *p == u'-') negative = *p++ == u'-';
    unsigned value = 0;
    if ((dwFlags & STIF_SUPPORT_HEX) && p[0] == u'0' && (p[1] | 0x20) == u'x' && HexDigit(p[2]) >= 0) {
        for (p += 2; HexDigit(*p) >= 0; ++p) value = value * 16 + unsigned(HexDigit(*p));
    } else {
        if (*p < u'0' || *p > u'9') return FALSE;
        for (; *p >= u'0' && *p <= u'9'; ++p) value = value * 10 + unsigned(*p - u'0');
    }
    *piRet = int(negative ? 0u - value : value);
    return TRUE;
}

int WINAPI StrToIntW(LPCWSTR lpSrc) {
    int value = 0;
    StrToIntExW(lpSrc, STIF_DEFAULT, &value);
    return value;
}

BOOL WINAPI StrTrimW(LPWSTR psz, LPCWSTR pszTrimChars) {
    if (!psz || !pszTrimChars) return FALSE;
    std::u16string_view set(pszTrimChars);
    size_t length = Length(psz);
    size_t first = 0;
    while (first < length && set.find(psz[first]) != std::u16string_view::npos) ++first;
    size_t last = length;
    while (last > first && set.find(psz[last - 1]) != std::u16string_view::npos) --last;
    if (first == 0 && last == length) return FALSE;
    for (size_t i = first; i < last; ++i) psz[i - first] = psz[i];
    psz[last - first] = 0;
    return TRUE;
}
