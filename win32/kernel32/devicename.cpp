#include "kernel32/devicename.h"

#include <map>
#include <mutex>

namespace w32 {

namespace {

std::mutex gLock;
std::map<PathKind, SpecialPathOpener>& Openers() {
    static std::map<PathKind, SpecialPathOpener> openers;
    return openers;
}

}  // namespace

void RegisterSpecialPathOpener(PathKind kind, SpecialPathOpener opener) {
    std::lock_guard lock(gLock);
    if (opener) {
        Openers()[kind] = std::move(opener);
    } else {
        Openers().erase(kind);
    }
}

HANDLE OpenSpecialPath(const SpecialOpenRequest& request) {
    SpecialPathOpener opener;
    {
        std::lock_guard lock(gLock);
        auto it = Openers().find(request.kind);
        if (it != Openers().end()) opener = it->second;
    }
    if (!opener) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    return opener(request);
}

}  // namespace w32
