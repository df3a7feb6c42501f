// The print query of the user interface and the formatter of its messages.
#pragma once
#include <windows.h>

// Copies `format` into `buffer` (`bufferChars` characters), replacing "%!"
// with the language DLL's string whose identifier is the next argument (UINT,
// at most 255 characters; the placeholder of a missing string), "%s" with a
// wide string argument, "%c" with a character, "%d", "%u", "%x" and "%X" with
// a number as signed or unsigned decimal or lower- or upper-case
// hexadecimal; any other character after "%" is copied as it is. The output
// stops at the buffer's end and always ends with a NUL (when the buffer has
// room for one). `needed`, when given, receives the characters the whole
// text needs with its NUL. Returns the characters written, without the NUL.
int FormatQueryMessage(HMODULE languageDll, LPWSTR buffer, int bufferChars, int* needed, LPCWSTR format, ...);
