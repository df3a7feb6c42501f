// Paths and text conversions of the user interface.
#include <windows.h>

#include "pcl6/intrface/util.h"

int TrimToFolder(LPWSTR path, BOOL dropSeparator) {
    if (!path) return 0;
    int separator = -1;
    int length = 0;
    for (; path[length]; ++length)
        if (path[length] == u'\\' || path[length] == u'/') separator = length;
    if (length == 0) return 0;
    // A bare file name has no folder part.
    int keep = separator < 0 ? 0 : (dropSeparator ? separator : separator + 1);
    path[keep] = 0;
    return keep;
}

void WideToOem(LPSTR buffer, int bufferSize, LPCWSTR text) {
    if (!buffer || bufferSize <= 0) return;
    buffer[0] = 0;
    if (!text || !*text) return;
    int length = lstrlenW(text);
    // Take as many whole characters as fit before the terminator.
    int count = length < bufferSize - 1 ? length : bufferSize - 1;
    while (count > 0) {
        if (count < length && text[count - 1] >= 0xD800 && text[count - 1] <= 0xDBFF) {
            --count;
            continue;
        }
        int bytes = WideCharToMultiByte(CP_OEMCP, 0, text, count, nullptr, 0, nullptr, nullptr);
        if (bytes > 0 && bytes <= bufferSize - 1) break;
        --count;
    }
    int written = count > 0 ? WideCharToMultiByte(CP_OEMCP, 0, text, count, buffer, bufferSize - 1, nullptr, nullptr) : 0;
    buffer[written > 0 ? written : 0] = 0;
}
