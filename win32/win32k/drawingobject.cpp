// The drawing objects alive now. The engine makes each for one driver call
// and lets it go when the call returns; the engine services look an object
// up here before they read past its public members. The set holds at most
// the objects of the calls under way, so it does not grow over a job.
#include <unordered_set>

#include "win32k/ddiobj.h"

namespace w32 {

namespace {

std::unordered_set<const void*>& Live() {
    static std::unordered_set<const void*> live;
    return live;
}

}  // namespace

void RegisterDrawingObject(const void* object) {
    std::lock_guard lock(EngineLock());
    Live().insert(object);
}

void UnregisterDrawingObject(const void* object) {
    std::lock_guard lock(EngineLock());
    Live().erase(object);
}

bool IsDrawingObject(const void* object) {
    std::lock_guard lock(EngineLock());
    return object && Live().count(object);
}

}  // namespace w32
