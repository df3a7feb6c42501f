// Checks and clean-up of the names users type for favourites, watermarks and
// custom paper sizes. A name may hold none of the 15 characters
// < > ( ) , ; ? : | \ / ' . * and the double quote.
#pragma once
#include <windows.h>

// FALSE for no name or a name holding a forbidden character; TRUE otherwise
// (also for an empty name).
BOOL IsValidSettingName(LPCWSTR name);

// Deletes every forbidden character of `name` in place, keeping the others
// in their order. Returns `name`; none for no name.
LPWSTR RemoveForbiddenChars(LPWSTR name);

// Removes every leading and trailing `character` of `text` in place; a text
// made only of that character becomes empty. Returns `text`; none for no text.
LPWSTR TrimChar(LPWSTR text, WCHAR character);
