// The fragments of the language choice that the help file shares with the
// language DLL.
#pragma once
#include <windows.h>

#include "ui/ui/resdll.h"

// The tag of a language, as "enGB" for 0x0809: the language's two letters and
// the region's two; the two letters alone for a sublanguage without a region;
// "NEUT" for the neutral language; empty for a language the table lacks.
// The buffer holds at least 5 characters.
void LanguageTagFor(LANGID language, LPWSTR buffer);
// The suffix for a driver: its "Suffix" value when its registry key exists,
// else the tag of the user's default language (a buffer of 129 characters).
void GetLanguageSuffix(LPCWSTR driverName, LPWSTR buffer);

// The file names tried for a language file, in order: prefix + suffix +
// extension; for a suffix longer than two letters, its first two letters
// (the language without the region); then "enus". A name too long for the
// buffer is left out. Returns how many were written.
constexpr int kLanguageCandidates = 3;
int LanguageFileCandidates(LPCWSTR prefix, LPCWSTR suffix, LPCWSTR extension, WCHAR (*names)[UI_PATH_CHARS]);
