// The engine's object table.
#include "win32k/engobj.h"

#include <map>

namespace w32 {

namespace {

struct ObjectTable {
    std::map<uintptr_t, std::shared_ptr<EngineObject>> objects;
    uint32_t serial = 0;
};

ObjectTable& Table() {
    static ObjectTable table;
    return table;
}

thread_local uint64_t tOwner = 0;

}  // namespace

std::recursive_mutex& EngineLock() {
    static std::recursive_mutex lock;
    return lock;
}

uint64_t CurrentEngineOwner() { return tOwner; }

EngineOwnerScope::EngineOwnerScope(uint64_t owner) : saved_(tOwner) { tOwner = owner; }

EngineOwnerScope::~EngineOwnerScope() { tOwner = saved_; }

uintptr_t InsertEngineObject(std::shared_ptr<EngineObject> object) {
    std::lock_guard lock(EngineLock());
    ObjectTable& table = Table();
    const uint32_t serial = ++table.serial;
    // The type sits in bits 16 to 23, as in GDI's own handles; the serial
    // number above and below it keeps every handle distinct.
    const uintptr_t handle =
        (uintptr_t(serial) << 24) | (uintptr_t(BYTE(object->type)) << 16) | uintptr_t(serial & 0xFFFF);
    object->handle = handle;
    object->owner = tOwner;
    table.objects.emplace(handle, std::move(object));
    return handle;
}

std::shared_ptr<EngineObject> LookupEngineObject(const void* handle, EngineObjectType type) {
    std::lock_guard lock(EngineLock());
    auto& objects = Table().objects;
    auto found = objects.find(reinterpret_cast<uintptr_t>(handle));
    if (found == objects.end() || found->second->type != type) return nullptr;
    return found->second;
}

bool RemoveEngineObject(const void* handle, EngineObjectType type) {
    std::lock_guard lock(EngineLock());
    auto& objects = Table().objects;
    auto found = objects.find(reinterpret_cast<uintptr_t>(handle));
    if (found == objects.end() || found->second->type != type) return false;
    objects.erase(found);
    return true;
}

size_t FreeEngineObjectsOwnedBy(uint64_t owner) {
    if (!owner) return 0;
    std::lock_guard lock(EngineLock());
    return std::erase_if(Table().objects, [owner](const auto& entry) { return entry.second->owner == owner; });
}

std::shared_ptr<EngineSurface> LookupSurface(HSURF surface) {
    return std::static_pointer_cast<EngineSurface>(LookupEngineObject(surface, EngineObjectType::Surface));
}

std::shared_ptr<EnginePalette> LookupPalette(HPALETTE palette) {
    return std::static_pointer_cast<EnginePalette>(LookupEngineObject(palette, EngineObjectType::Palette));
}

std::shared_ptr<EnginePdev> LookupPdev(HDEV hdev) {
    return std::static_pointer_cast<EnginePdev>(LookupEngineObject(hdev, EngineObjectType::Pdev));
}

}  // namespace w32
