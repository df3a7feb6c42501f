// Name checks: the forbidden characters and the in-place clean-up.
#include "ui/ui/namecheck.h"

namespace {

// In the order they are looked for.
constexpr WCHAR kForbidden[] = u"<>(),;?>:|\\/'.\"*";

bool IsForbidden(WCHAR c) {
    for (const WCHAR* f = kForbidden; *f; ++f)
        if (*f == c) return true;
    return false;
}

}  // namespace

BOOL IsValidSettingName(LPCWSTR name) {
    if (!name) return FALSE;
    for (LPCWSTR p = name; *p; ++p)
        if (IsForbidden(*p)) return FALSE;
    return TRUE;
}

LPWSTR RemoveForbiddenChars(LPWSTR name) {
    if (!name) return nullptr;
    // Walking from the end, the part after each position is already clean:
    // trimming the position's character from both ends of the part from
    // there on removes exactly that character and closes the gap.
    for (int i = lstrlenW(name) - 1; i >= 0; --i) {
        LPWSTR part = name + i;
        for (const WCHAR* f = kForbidden; *f; ++f) {
            if (*part == *f) {
                TrimChar(part, *f);
                break;
            }
        }
    }
    return name;
}

LPWSTR TrimChar(LPWSTR text, WCHAR character) {
    if (!text) return nullptr;
    int length = lstrlenW(text);
    int first = 0;
    while (first < length && text[first] == character) ++first;
    int end = length;
    while (end > first && text[end - 1] == character) --end;
    for (int i = first; i < end; ++i) text[i - first] = text[i];
    text[end - first] = 0;
    return text;
}
