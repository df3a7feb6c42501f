// Path and string helpers of the shell's light-weight utility library.
//
// Path functions work on buffers of MAX_PATH characters and on backslash
// paths; they look at the file system only where their names say so
// (PathFileExists, PathIsDirectory...). The string functions work on WCHAR
// text and stand in for the C library's wide functions, which are 32-bit here.
#pragma once
#include "windows.h"

#define LWSTDAPI extern "C" __attribute__((visibility("default"))) HRESULT
#define LWSTDAPI_(type) extern "C" __attribute__((visibility("default"))) type

// --- Paths on the file system ------------------------------------------------

LWSTDAPI_(BOOL) PathFileExistsW(LPCWSTR pszPath);
// FILE_ATTRIBUTE_DIRECTORY for a folder, else FALSE.
LWSTDAPI_(BOOL) PathIsDirectoryW(LPCWSTR pszPath);
// TRUE for a folder that holds nothing besides "." and "..".
LWSTDAPI_(BOOL) PathIsDirectoryEmptyW(LPCWSTR pszPath);

// --- Path text ----------------------------------------------------------------

// Appends pszMore with one backslash between, ignoring backslashes that start
// it, and resolves "." and "..". FALSE, with pszPath unchanged, when the
// result would not fit in MAX_PATH.
LWSTDAPI_(BOOL) PathAppendW(LPWSTR pszPath, LPCWSTR pszMore);
// pszDir and pszFile joined (pszFile alone when it is absolute; a pszFile
// starting with a backslash goes to the root of pszDir), "." and ".."
// resolved. Returns pszDest, or NULL with pszDest empty.
LWSTDAPI_(LPWSTR) PathCombineW(LPWSTR pszDest, LPCWSTR pszDir, LPCWSTR pszFile);
// Removes "." and ".." parts; an empty result is "\".
LWSTDAPI_(BOOL) PathCanonicalizeW(LPWSTR pszBuf, LPCWSTR pszPath);
// Removes the last name and the backslash before it, keeping a root ("C:\",
// "\"): TRUE when something was removed.
LWSTDAPI_(BOOL) PathRemoveFileSpecW(LPWSTR pszPath);
// The last name: what follows the last \, / or : that has more after it.
LWSTDAPI_(LPWSTR) PathFindFileNameW(LPCWSTR pszPath);
// The last dot of the last name, or the terminating NUL when it has none
// (a dot followed by a space does not start an extension).
LWSTDAPI_(LPWSTR) PathFindExtensionW(LPCWSTR pszPath);
LWSTDAPI_(void) PathRemoveExtensionW(LPWSTR pszPath);
// Adds a backslash unless the path is empty or ends with one; returns the
// terminating NUL, or NULL when there is no room.
LWSTDAPI_(LPWSTR) PathAddBackslashW(LPWSTR pszPath);
// Removes one trailing backslash unless the path is a root; returns where the
// last character was.
LWSTDAPI_(LPWSTR) PathRemoveBackslashW(LPWSTR pszPath);
// Keeps only the last name.
LWSTDAPI_(void) PathStripPathW(LPWSTR pszPath);
LWSTDAPI_(BOOL) PathIsRelativeW(LPCWSTR pszPath);
// "\", "C:\", "\\server" and "\\server\share".
LWSTDAPI_(BOOL) PathIsRootW(LPCWSTR pszPath);
LWSTDAPI_(BOOL) PathIsUNCW(LPCWSTR pszPath);

// --- WCHAR strings -------------------------------------------------------------

#define STIF_DEFAULT 0x00000000L
#define STIF_SUPPORT_HEX 0x00000001L
typedef int STIF_FLAGS;

// NULL when the character (never the terminator) is not found.
LWSTDAPI_(LPWSTR) StrChrW(LPCWSTR pszStart, WCHAR wMatch);
// The last occurrence before pszEnd (the whole string when pszEnd is NULL).
LWSTDAPI_(LPWSTR) StrRChrW(LPCWSTR pszStart, LPCWSTR pszEnd, WCHAR wMatch);
// NULL for an empty search string.
LWSTDAPI_(LPWSTR) StrStrW(LPCWSTR pszFirst, LPCWSTR pszSrch);
LWSTDAPI_(LPWSTR) StrStrIW(LPCWSTR pszFirst, LPCWSTR pszSrch);
// Comparisons as lstrcmp and lstrcmpi order text: -1, 0 or 1.
LWSTDAPI_(int) StrCmpIW(LPCWSTR psz1, LPCWSTR psz2);
LWSTDAPI_(int) StrCmpNW(LPCWSTR psz1, LPCWSTR psz2, int nChar);
LWSTDAPI_(int) StrCmpNIW(LPCWSTR psz1, LPCWSTR psz2, int nChar);
// Leading blanks, a sign, then decimal digits (or 0x and hex digits with
// STIF_SUPPORT_HEX); reading stops at the first other character. FALSE, with
// *piRet 0, when there is no digit.
LWSTDAPI_(BOOL) StrToIntExW(LPCWSTR pszString, STIF_FLAGS dwFlags, int* piRet);
LWSTDAPI_(int) StrToIntW(LPCWSTR lpSrc);
// Removes the given characters from both ends; TRUE when any was removed.
LWSTDAPI_(BOOL) StrTrimW(LPWSTR psz, LPCWSTR pszTrimChars);

#define PathFileExists PathFileExistsW
#define PathIsDirectory PathIsDirectoryW
#define PathIsDirectoryEmpty PathIsDirectoryEmptyW
#define PathAppend PathAppendW
#define PathCombine PathCombineW
#define PathCanonicalize PathCanonicalizeW
#define PathRemoveFileSpec PathRemoveFileSpecW
#define PathFindFileName PathFindFileNameW
#define PathFindExtension PathFindExtensionW
#define PathRemoveExtension PathRemoveExtensionW
#define PathAddBackslash PathAddBackslashW
#define PathRemoveBackslash PathRemoveBackslashW
#define PathStripPath PathStripPathW
#define PathIsRelative PathIsRelativeW
#define PathIsRoot PathIsRootW
#define PathIsUNC PathIsUNCW
#define StrChr StrChrW
#define StrRChr StrRChrW
#define StrStr StrStrW
#define StrStrI StrStrIW
#define StrCmpI StrCmpIW
#define StrCmpN StrCmpNW
#define StrCmpNI StrCmpNIW
#define StrToIntEx StrToIntExW
#define StrToInt StrToIntW
#define StrTrim StrTrimW
