// User services: character case and wsprintf. Windows and dialogs join later.
#pragma once
#include "winbase.h"

WINUSERAPI LPWSTR WINAPI CharUpperW(LPWSTR lpsz);
WINUSERAPI LPWSTR WINAPI CharLowerW(LPWSTR lpsz);
WINUSERAPI LPSTR WINAPI CharUpperA(LPSTR lpsz);
WINUSERAPI LPSTR WINAPI CharLowerA(LPSTR lpsz);
WINUSERAPI DWORD WINAPI CharUpperBuffW(LPWSTR lpsz, DWORD cchLength);
WINUSERAPI DWORD WINAPI CharLowerBuffW(LPWSTR lpsz, DWORD cchLength);
WINUSERAPI LPWSTR WINAPI CharNextW(LPCWSTR lpsz);
WINUSERAPI LPWSTR WINAPI CharPrevW(LPCWSTR lpszStart, LPCWSTR lpszCurrent);
WINUSERAPI LPSTR WINAPI CharNextA(LPCSTR lpsz);
WINUSERAPI BOOL WINAPI IsCharAlphaW(WCHAR ch);
WINUSERAPI BOOL WINAPI IsCharAlphaNumericW(WCHAR ch);
WINUSERAPI BOOL WINAPI IsCharUpperW(WCHAR ch);
WINUSERAPI BOOL WINAPI IsCharLowerW(WCHAR ch);
#define CharUpper CharUpperW
#define CharLower CharLowerW
#define CharNext CharNextW

// wsprintf writes at most 1024 characters, the terminator included.
WINUSERAPI int WINAPIV wsprintfA(LPSTR lpOut, LPCSTR lpFmt, ...);
WINUSERAPI int WINAPIV wsprintfW(LPWSTR lpOut, LPCWSTR lpFmt, ...);
WINUSERAPI int WINAPI wvsprintfA(LPSTR lpOut, LPCSTR lpFmt, va_list arglist);
WINUSERAPI int WINAPI wvsprintfW(LPWSTR lpOut, LPCWSTR lpFmt, va_list arglist);
#define wsprintf wsprintfW
#define wvsprintf wvsprintfW
