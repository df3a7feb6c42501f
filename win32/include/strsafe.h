// Safe string routines. Header-only, as on Windows: each returns S_OK, or
// STRSAFE_E_INSUFFICIENT_BUFFER with the text cut to fit and terminated, or
// STRSAFE_E_INVALID_PARAMETER.
#pragma once
#include "windows.h"

#define STRSAFE_MAX_CCH 2147483647
#define STRSAFE_E_INSUFFICIENT_BUFFER ((HRESULT)0x8007007AL)
#define STRSAFE_E_INVALID_PARAMETER ((HRESULT)0x80070057L)
#define STRSAFE_E_END_OF_FILE ((HRESULT)0x80070026L)

namespace strsafe_detail {

template <class Ch>
inline size_t Length(const Ch* s) {
    size_t n = 0;
    while (s[n]) ++n;
    return n;
}

template <class Ch>
inline HRESULT CopyN(Ch* dest, size_t cchDest, const Ch* src, size_t cchToCopy) {
    if (cchDest == 0 || cchDest > STRSAFE_MAX_CCH) return STRSAFE_E_INVALID_PARAMETER;
    size_t i = 0;
    while (i + 1 < cchDest && i < cchToCopy && src[i]) {
        dest[i] = src[i];
        ++i;
    }
    dest[i] = 0;
    return (i < cchToCopy && src[i]) ? STRSAFE_E_INSUFFICIENT_BUFFER : S_OK;
}

template <class Ch>
inline HRESULT CatN(Ch* dest, size_t cchDest, const Ch* src, size_t cchToAppend) {
    if (cchDest == 0 || cchDest > STRSAFE_MAX_CCH) return STRSAFE_E_INVALID_PARAMETER;
    size_t used = 0;
    while (used < cchDest && dest[used]) ++used;
    if (used == cchDest) return STRSAFE_E_INVALID_PARAMETER;
    return CopyN(dest + used, cchDest - used, src, cchToAppend);
}

template <class Ch>
inline HRESULT LengthCch(const Ch* psz, size_t cchMax, size_t* pcchLength) {
    HRESULT hr = S_OK;
    size_t n = 0;
    if (!psz || cchMax > STRSAFE_MAX_CCH) {
        hr = STRSAFE_E_INVALID_PARAMETER;
    } else {
        while (n < cchMax && psz[n]) ++n;
        if (n == cchMax) hr = STRSAFE_E_INVALID_PARAMETER;
    }
    if (pcchLength) *pcchLength = SUCCEEDED(hr) ? n : 0;
    return hr;
}

inline int VPrint(WCHAR* dest, size_t count, const WCHAR* format, va_list args) {
    return _vsnwprintf(dest, count, format, args);
}
inline int VPrint(char* dest, size_t count, const char* format, va_list args) {
    return _vsnprintf(dest, count, format, args);
}

template <class Ch>
inline HRESULT VPrintf(Ch* dest, size_t cchDest, const Ch* format, va_list args) {
    if (cchDest == 0 || cchDest > STRSAFE_MAX_CCH) return STRSAFE_E_INVALID_PARAMETER;
    size_t cchMax = cchDest - 1;
    int written = VPrint(dest, cchMax, format, args);
    dest[cchMax] = 0;
    if (written < 0 || (size_t)written > cchMax) return STRSAFE_E_INSUFFICIENT_BUFFER;
    dest[written] = 0;
    return S_OK;
}

}  // namespace strsafe_detail

inline HRESULT StringCchCopyW(LPWSTR pszDest, size_t cchDest, LPCWSTR pszSrc) {
    return strsafe_detail::CopyN(pszDest, cchDest, pszSrc, STRSAFE_MAX_CCH);
}
inline HRESULT StringCchCopyA(LPSTR pszDest, size_t cchDest, LPCSTR pszSrc) {
    return strsafe_detail::CopyN(pszDest, cchDest, pszSrc, STRSAFE_MAX_CCH);
}
inline HRESULT StringCchCopyNW(LPWSTR pszDest, size_t cchDest, LPCWSTR pszSrc, size_t cchToCopy) {
    return strsafe_detail::CopyN(pszDest, cchDest, pszSrc, cchToCopy);
}
inline HRESULT StringCchCopyNA(LPSTR pszDest, size_t cchDest, LPCSTR pszSrc, size_t cchToCopy) {
    return strsafe_detail::CopyN(pszDest, cchDest, pszSrc, cchToCopy);
}
inline HRESULT StringCbCopyW(LPWSTR pszDest, size_t cbDest, LPCWSTR pszSrc) {
    return strsafe_detail::CopyN(pszDest, cbDest / sizeof(WCHAR), pszSrc, STRSAFE_MAX_CCH);
}
inline HRESULT StringCbCopyA(LPSTR pszDest, size_t cbDest, LPCSTR pszSrc) {
    return strsafe_detail::CopyN(pszDest, cbDest, pszSrc, STRSAFE_MAX_CCH);
}
inline HRESULT StringCchCatW(LPWSTR pszDest, size_t cchDest, LPCWSTR pszSrc) {
    return strsafe_detail::CatN(pszDest, cchDest, pszSrc, STRSAFE_MAX_CCH);
}
inline HRESULT StringCchCatA(LPSTR pszDest, size_t cchDest, LPCSTR pszSrc) {
    return strsafe_detail::CatN(pszDest, cchDest, pszSrc, STRSAFE_MAX_CCH);
}
inline HRESULT StringCchCatNW(LPWSTR pszDest, size_t cchDest, LPCWSTR pszSrc, size_t cchToAppend) {
    return strsafe_detail::CatN(pszDest, cchDest, pszSrc, cchToAppend);
}
inline HRESULT StringCbCatW(LPWSTR pszDest, size_t cbDest, LPCWSTR pszSrc) {
    return strsafe_detail::CatN(pszDest, cbDest / sizeof(WCHAR), pszSrc, STRSAFE_MAX_CCH);
}
inline HRESULT StringCchLengthW(LPCWSTR psz, size_t cchMax, size_t* pcchLength) {
    return strsafe_detail::LengthCch(psz, cchMax, pcchLength);
}
inline HRESULT StringCchLengthA(LPCSTR psz, size_t cchMax, size_t* pcchLength) {
    return strsafe_detail::LengthCch(psz, cchMax, pcchLength);
}
inline HRESULT StringCbLengthW(LPCWSTR psz, size_t cbMax, size_t* pcbLength) {
    size_t cch = 0;
    HRESULT hr = strsafe_detail::LengthCch(psz, cbMax / sizeof(WCHAR), &cch);
    if (pcbLength) *pcbLength = cch * sizeof(WCHAR);
    return hr;
}
inline HRESULT StringCchVPrintfW(LPWSTR pszDest, size_t cchDest, LPCWSTR pszFormat, va_list argList) {
    return strsafe_detail::VPrintf(pszDest, cchDest, pszFormat, argList);
}
inline HRESULT StringCchVPrintfA(LPSTR pszDest, size_t cchDest, LPCSTR pszFormat, va_list argList) {
    return strsafe_detail::VPrintf(pszDest, cchDest, pszFormat, argList);
}
inline HRESULT StringCchPrintfW(LPWSTR pszDest, size_t cchDest, LPCWSTR pszFormat, ...) {
    va_list args;
    va_start(args, pszFormat);
    HRESULT hr = strsafe_detail::VPrintf(pszDest, cchDest, pszFormat, args);
    va_end(args);
    return hr;
}
inline HRESULT StringCchPrintfA(LPSTR pszDest, size_t cchDest, LPCSTR pszFormat, ...) {
    va_list args;
    va_start(args, pszFormat);
    HRESULT hr = strsafe_detail::VPrintf(pszDest, cchDest, pszFormat, args);
    va_end(args);
    return hr;
}
inline HRESULT StringCbPrintfW(LPWSTR pszDest, size_t cbDest, LPCWSTR pszFormat, ...) {
    va_list args;
    va_start(args, pszFormat);
    HRESULT hr = strsafe_detail::VPrintf(pszDest, cbDest / sizeof(WCHAR), pszFormat, args);
    va_end(args);
    return hr;
}
inline HRESULT StringCbPrintfA(LPSTR pszDest, size_t cbDest, LPCSTR pszFormat, ...) {
    va_list args;
    va_start(args, pszFormat);
    HRESULT hr = strsafe_detail::VPrintf(pszDest, cbDest, pszFormat, args);
    va_end(args);
    return hr;
}
#define StringCchPrintf StringCchPrintfW
#define StringCchCopy StringCchCopyW
#define StringCchCat StringCchCatW
#define StringCchLength StringCchLengthW
#define StringCbCopy StringCbCopyW
#define StringCbPrintf StringCbPrintfW
