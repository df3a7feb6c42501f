// The C runtime's string and formatting routines on WCHAR (16-bit, as on
// Windows). The C library's own wide functions use a 32-bit wchar_t here and
// must not be used on WCHAR text.
#pragma once
#include <cstdarg>
#include "winnt.h"

#define _CRTIMP extern "C" __attribute__((visibility("default")))

// Case-insensitive comparison in the "C" locale: only A-Z and a-z fold.
_CRTIMP int _wcsicmp(const WCHAR* string1, const WCHAR* string2);
_CRTIMP int _wcsnicmp(const WCHAR* string1, const WCHAR* string2, size_t count);
_CRTIMP int _stricmp(const char* string1, const char* string2);
_CRTIMP int _strnicmp(const char* string1, const char* string2, size_t count);
_CRTIMP int _wtoi(const WCHAR* str);
_CRTIMP long long _wtoi64(const WCHAR* str);
_CRTIMP long _wtol(const WCHAR* str);
_CRTIMP WCHAR* _wcsdup(const WCHAR* str);
_CRTIMP WCHAR* _wcslwr(WCHAR* str);
_CRTIMP WCHAR* _wcsupr(WCHAR* str);
_CRTIMP WCHAR* _itow(int value, WCHAR* buffer, int radix);
_CRTIMP WCHAR* _ultow(unsigned long value, WCHAR* buffer, int radix);

// Formatting with the runtime's rules: in a wide format %s is a wide string
// and %S a narrow one; l means 32 bits, I64 and ll 64 bits. The _sn forms
// return -1 when the text does not fit and then leave it unterminated.
_CRTIMP int _snwprintf(WCHAR* buffer, size_t count, const WCHAR* format, ...);
_CRTIMP int _vsnwprintf(WCHAR* buffer, size_t count, const WCHAR* format, va_list argptr);
_CRTIMP int _snprintf(char* buffer, size_t count, const char* format, ...);
_CRTIMP int _vsnprintf(char* buffer, size_t count, const char* format, va_list argptr);
_CRTIMP int _scwprintf(const WCHAR* format, ...);
_CRTIMP int _vscwprintf(const WCHAR* format, va_list argptr);
_CRTIMP int _scprintf(const char* format, ...);
_CRTIMP int _vscprintf(const char* format, va_list argptr);
_CRTIMP int swprintf_s(WCHAR* buffer, size_t sizeOfBuffer, const WCHAR* format, ...);
_CRTIMP int vswprintf_s(WCHAR* buffer, size_t sizeOfBuffer, const WCHAR* format, va_list argptr);
_CRTIMP int sprintf_s(char* buffer, size_t sizeOfBuffer, const char* format, ...);
_CRTIMP int vsprintf_s(char* buffer, size_t sizeOfBuffer, const char* format, va_list argptr);

// The C library's wcschr, wcstol and friends take a 32-bit wchar_t here and
// cannot be overloaded safely; search and parse WCHAR text with the lstr
// functions, the shell's StrChrW family or std::u16string_view.
