// Strings of the language DLL, with a placeholder for a missing one.
#include <windows.h>
#include <strsafe.h>

#include "ui/ui/resdll.h"

int LoadUiString(HMODULE languageDll, UINT id, LPWSTR buffer, int size) {
    if (!buffer || size <= 0) return 0;
    buffer[0] = 0;
    if (languageDll) {
        int length = LoadStringW(languageDll, id, buffer, size);
        if (length > 0) return length;
        buffer[0] = 0;
    }
    WCHAR placeholder[32];
    StringCchPrintfW(placeholder, sizeof(placeholder) / sizeof(placeholder[0]), u"id:%d missing!", int(id));
    int length = lstrlenW(placeholder);
    // The placeholder goes in only with room for twice its length and two more.
    if (size < 2 * length + 2) return 0;
    lstrcpynW(buffer, placeholder, size);
    return length;
}
