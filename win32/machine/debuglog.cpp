#include "machine/debuglog.h"

#include <cstdio>
#include <cstdlib>
#include <mutex>

namespace w32 {
namespace {

std::mutex gLock;
std::string gLog;

bool CopyToStderr() {
    static const bool enabled = [] {
        const char* value = std::getenv("TAM_DEBUG_STDERR");
        return value && *value && *value != '0';
    }();
    return enabled;
}

}  // namespace

void DebugLogAppend(std::string_view utf8) {
    std::lock_guard lock(gLock);
    gLog.append(utf8);
    if (CopyToStderr()) {
        std::fwrite(utf8.data(), 1, utf8.size(), stderr);
        std::fflush(stderr);
    }
}

std::string DebugLogText() {
    std::lock_guard lock(gLock);
    return gLog;
}

void DebugLogClear() {
    std::lock_guard lock(gLock);
    gLog.clear();
}

}  // namespace w32
