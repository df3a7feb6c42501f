// Character case and classes. Windows maps case with the Unicode simple case
// mappings whatever the user's locale; the C.UTF-8 locale's towupper_l and
// towlower_l give the same mappings for the Basic Multilingual Plane.
#include <locale.h>
#include <wctype.h>
#include <windows.h>

#include <string>

namespace {

locale_t UnicodeLocale() {
    static locale_t locale = newlocale(LC_ALL_MASK, "C.UTF-8", (locale_t)0);
    return locale;
}

WCHAR Upper(WCHAR c) {
    if (c < 0x80) return (c >= 'a' && c <= 'z') ? WCHAR(c - 32) : c;
    if (c >= 0xD800 && c <= 0xDFFF) return c;
    locale_t l = UnicodeLocale();
    if (!l) return c;
    wint_t u = towupper_l(c, l);
    return u <= 0xFFFF ? WCHAR(u) : c;
}

WCHAR Lower(WCHAR c) {
    if (c < 0x80) return (c >= 'A' && c <= 'Z') ? WCHAR(c + 32) : c;
    if (c >= 0xD800 && c <= 0xDFFF) return c;
    locale_t l = UnicodeLocale();
    if (!l) return c;
    wint_t u = towlower_l(c, l);
    return u <= 0xFFFF ? WCHAR(u) : c;
}

bool IsAlpha(WCHAR c) {
    if (c < 0x80) return (c | 32) >= 'a' && (c | 32) <= 'z';
    locale_t l = UnicodeLocale();
    return l && iswalpha_l(c, l);
}

// The CharUpper/CharLower convention: a pointer whose high bits are zero is
// one character passed by value, and the result is that character.
bool IsSingleCharacter(const void* p) { return (reinterpret_cast<ULONG_PTR>(p) >> 16) == 0; }

}  // namespace

LPWSTR WINAPI CharUpperW(LPWSTR s) {
    if (IsSingleCharacter(s)) return reinterpret_cast<LPWSTR>(ULONG_PTR(Upper(WCHAR(reinterpret_cast<ULONG_PTR>(s)))));
    for (LPWSTR p = s; *p; ++p) *p = Upper(*p);
    return s;
}

LPWSTR WINAPI CharLowerW(LPWSTR s) {
    if (IsSingleCharacter(s)) return reinterpret_cast<LPWSTR>(ULONG_PTR(Lower(WCHAR(reinterpret_cast<ULONG_PTR>(s)))));
    for (LPWSTR p = s; *p; ++p) *p = Lower(*p);
    return s;
}

DWORD WINAPI CharUpperBuffW(LPWSTR s, DWORD n) {
    if (!s) return 0;
    for (DWORD i = 0; i < n; ++i) s[i] = Upper(s[i]);
    return n;
}

DWORD WINAPI CharLowerBuffW(LPWSTR s, DWORD n) {
    if (!s) return 0;
    for (DWORD i = 0; i < n; ++i) s[i] = Lower(s[i]);
    return n;
}

// The narrow forms work in the ANSI code page.
namespace {
template <WCHAR (*Map)(WCHAR)>
LPSTR MapNarrow(LPSTR s) {
    if (IsSingleCharacter(s)) {
        char c = char(reinterpret_cast<ULONG_PTR>(s));
        WCHAR w = 0;
        if (MultiByteToWideChar(CP_ACP, 0, &c, 1, &w, 1) != 1) return s;
        char out = c;
        BOOL used = FALSE;
        WCHAR mapped = Map(w);
        if (WideCharToMultiByte(CP_ACP, 0, &mapped, 1, &out, 1, nullptr, &used) != 1 || used) out = c;
        return reinterpret_cast<LPSTR>(ULONG_PTR(BYTE(out)));
    }
    int len = lstrlenA(s);
    if (!len) return s;
    int wlen = MultiByteToWideChar(CP_ACP, 0, s, len, nullptr, 0);
    std::u16string wide(wlen, u'\0');
    MultiByteToWideChar(CP_ACP, 0, s, len, wide.data(), wlen);
    for (auto& c : wide) c = Map(c);
    int n = WideCharToMultiByte(CP_ACP, 0, wide.data(), wlen, nullptr, 0, nullptr, nullptr);
    if (n == len) WideCharToMultiByte(CP_ACP, 0, wide.data(), wlen, s, len, nullptr, nullptr);
    return s;
}
}  // namespace

LPSTR WINAPI CharUpperA(LPSTR s) { return MapNarrow<Upper>(s); }
LPSTR WINAPI CharLowerA(LPSTR s) { return MapNarrow<Lower>(s); }

LPWSTR WINAPI CharNextW(LPCWSTR s) { return const_cast<LPWSTR>(*s ? s + 1 : s); }

LPWSTR WINAPI CharPrevW(LPCWSTR start, LPCWSTR current) {
    return const_cast<LPWSTR>(current > start ? current - 1 : start);
}

LPSTR WINAPI CharNextA(LPCSTR s) {
    if (!*s) return const_cast<LPSTR>(s);
    if (IsDBCSLeadByte(BYTE(*s)) && s[1]) return const_cast<LPSTR>(s + 2);
    return const_cast<LPSTR>(s + 1);
}

BOOL WINAPI IsCharAlphaW(WCHAR c) { return IsAlpha(c); }
BOOL WINAPI IsCharAlphaNumericW(WCHAR c) { return IsAlpha(c) || (c >= '0' && c <= '9'); }
BOOL WINAPI IsCharUpperW(WCHAR c) { return Lower(c) != c; }
BOOL WINAPI IsCharLowerW(WCHAR c) { return Upper(c) != c; }
