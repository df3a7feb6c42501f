// The process-wide language DLL, behind a lock: sheets on several spooler
// or application threads reach it at once. The loader's own lock is never
// taken while this one is held (the module's detach frees the DLL under the
// loader's lock), so loading and freeing happen outside it.
#include "ui/ui/processlanguage.h"

#include <mutex>

#include "ui/ui/resdll.h"

namespace {

std::mutex gLock;
HMODULE gLanguageDll = nullptr;

}  // namespace

HMODULE GetProcessLanguageDll() {
    std::lock_guard<std::mutex> hold(gLock);
    return gLanguageDll;
}

HMODULE LoadProcessLanguageDll(LPCWSTR driverName) {
    if (HMODULE loaded = GetProcessLanguageDll()) return loaded;
    HMODULE mine = nullptr;
    LoadLanguageDll(driverName, &mine);
    HMODULE spare = nullptr;
    HMODULE result = nullptr;
    {
        std::lock_guard<std::mutex> hold(gLock);
        if (!gLanguageDll)
            gLanguageDll = mine;
        else
            spare = mine;  // another thread loaded one first
        result = gLanguageDll;
    }
    if (spare) FreeLibrary(spare);
    return result;
}

void FreeProcessLanguageDll() {
    HMODULE loaded = nullptr;
    {
        std::lock_guard<std::mutex> hold(gLock);
        loaded = gLanguageDll;
        gLanguageDll = nullptr;
    }
    if (loaded) FreeLibrary(loaded);
}
