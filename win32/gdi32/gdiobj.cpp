// GDI's handle table, and GetObjectType.
#include "gdi32/gdiobj.h"

#include <map>
#include <mutex>

namespace w32::gdi {

namespace {

struct ObjectTable {
    std::mutex lock;
    std::map<uintptr_t, std::shared_ptr<GdiObject>> objects;
    uint32_t serial = 0;
};

ObjectTable& Table() {
    static ObjectTable table;
    return table;
}

}  // namespace

HGDIOBJ InsertGdiObject(std::shared_ptr<GdiObject> object) {
    ObjectTable& table = Table();
    std::lock_guard guard(table.lock);
    const uint32_t serial = ++table.serial;
    const uintptr_t value =
        (uintptr_t(serial) << 24) | (uintptr_t(object->ObjectType() & 0x7F) << 16) | uintptr_t(serial & 0xFFFF);
    object->handle = reinterpret_cast<HGDIOBJ>(value);
    table.objects.emplace(value, std::move(object));
    return reinterpret_cast<HGDIOBJ>(value);
}

std::shared_ptr<GdiObject> LookupGdiObject(HGDIOBJ handle) {
    ObjectTable& table = Table();
    std::lock_guard guard(table.lock);
    auto found = table.objects.find(reinterpret_cast<uintptr_t>(handle));
    return found == table.objects.end() ? nullptr : found->second;
}

std::shared_ptr<GdiObject> RemoveGdiObject(HGDIOBJ handle) {
    ObjectTable& table = Table();
    std::lock_guard guard(table.lock);
    auto found = table.objects.find(reinterpret_cast<uintptr_t>(handle));
    if (found == table.objects.end()) return nullptr;
    std::shared_ptr<GdiObject> object = std::move(found->second);
    table.objects.erase(found);
    return object;
}

}  // namespace w32::gdi

DWORD WINAPI GetObjectType(HGDIOBJ h) {
    auto object = w32::gdi::LookupGdiObject(h);
    if (!object) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    return object->ObjectType();
}
