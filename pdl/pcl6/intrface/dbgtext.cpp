// Debug texts of the rendering DLL. They describe values for a person
// reading the debugger output; nothing depends on them.
#include <windows.h>
#include <strsafe.h>

#include <cstdarg>

#include "pcl6/intrface/rendutil.h"
#include "pcl6/intrface/util.h"

void Dbg_Print(LPCSTR format, ...) {
#ifdef TAM_RENDER_DEBUG_PRINT
    if (!format) return;
    char text[1024];
    va_list args;
    va_start(args, format);
    StringCchVPrintfA(text, sizeof(text), format, args);
    va_end(args);
    OutputDebugStringA(text);
#else
    (void)format;
#endif
}

void Dbg_FileLine(LPCSTR file, int line) { Dbg_Print("File:%s\nLine:%d\n", file ? file : "", line); }

namespace {

// Appends to `out` within `capacity` bytes; the text is cut when it is full.
void Append(LPSTR out, int capacity, LPCSTR text) { StringCchCatA(out, size_t(capacity), text); }

}  // namespace

int Dbg_FlagNames(DWORD value, const DbgName* table, LPSTR out, int capacity) {
    if (!out || capacity <= 0) return 0;
    StringCchPrintfA(out, size_t(capacity), "0x%X_", unsigned(value));
    DWORD remaining = value;
    bool first = true;
    for (const DbgName* entry = table; entry && entry->name; ++entry) {
        if (entry->value == 0 || (value & entry->value) != entry->value) continue;
        if (!first) Append(out, capacity, " | ");
        Append(out, capacity, entry->name);
        first = false;
        remaining &= ~entry->value;
    }
    if (remaining) Append(out, capacity, " ...");
    return lstrlenA(out);
}

int Dbg_ValueName(DWORD value, const DbgName* table, LPSTR out, int capacity) {
    if (!out || capacity <= 0) return 0;
    for (const DbgName* entry = table; entry && entry->name; ++entry) {
        if (entry->value == value) {
            StringCchPrintfA(out, size_t(capacity), "%s_%X", entry->name, unsigned(value));
            return lstrlenA(out);
        }
    }
    StringCchPrintfA(out, size_t(capacity), "0x%X(%ld):?????", unsigned(value), long(LONG(value)));
    return lstrlenA(out);
}
