// A printer's spooler information in a block of the counted allocator.
#include <windows.h>
#include <winspool.h>

#include "pcl6/intrface/util.h"

namespace {

// Asks for the size first, then reads into a block of that size. The spooler
// may need more on the second call when the printer changed meanwhile, so a
// short buffer is asked again a few times.
template <class Query>
LPBYTE ReadInfo(Query query) {
    DWORD needed = 0;
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (query(nullptr, 0, &needed)) {
            // Every level holds a record: a spooler that needs no room has nothing to give.
            SetLastError(ERROR_INVALID_DATA);
            return nullptr;
        }
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || needed == 0) return nullptr;
        auto* block = static_cast<LPBYTE>(Util_GlobalAlloc(nullptr, needed));
        if (!block) return nullptr;
        DWORD size = needed;
        if (query(block, size, &needed)) return block;
        DWORD error = GetLastError();
        Util_GlobalFree(nullptr, block);
        SetLastError(error);
        if (error != ERROR_INSUFFICIENT_BUFFER) return nullptr;
    }
    return nullptr;
}

}  // namespace

LPBYTE Registry_GetHL(HANDLE printer, DWORD level) {
    LPBYTE info = ReadInfo([&](LPBYTE buffer, DWORD size, LPDWORD needed) {
        return GetPrinterW(printer, level, buffer, size, needed);
    });
    if (!info) {
        DWORD error = GetLastError();
        DebugMessage("Registry_GetHL fail, level:%d, error code is %d\n", int(level), int(error));
        SetLastError(error);
    }
    return info;
}

LPBYTE GetPrinterDriverInfo(HANDLE printer, DWORD level) {
    return ReadInfo([&](LPBYTE buffer, DWORD size, LPDWORD needed) {
        return GetPrinterDriverW(printer, nullptr, level, buffer, size, needed);
    });
}
