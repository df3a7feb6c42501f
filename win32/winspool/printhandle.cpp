#include "winspool/printhandle.h"

#include <mutex>
#include <unordered_map>

namespace w32::spool {

namespace {

std::mutex gTableLock;
std::unordered_map<ULONG_PTR, PrinterHandlePtr> gTable;
// Far from the kernel's and the registry's handles, so that one given to the
// wrong function is refused.
ULONG_PTR gNextHandle = 0x20000000;

PrinterHandlePtr Lookup(HANDLE handle) {
    std::lock_guard lock(gTableLock);
    auto it = gTable.find(reinterpret_cast<ULONG_PTR>(handle));
    return it == gTable.end() ? nullptr : it->second;
}

}  // namespace

HANDLE InsertPrinterHandle(PrinterHandlePtr handle) {
    std::lock_guard lock(gTableLock);
    ULONG_PTR value = gNextHandle;
    gNextHandle += 4;
    gTable.emplace(value, std::move(handle));
    return reinterpret_cast<HANDLE>(value);
}

bool RemovePrinterHandle(HANDLE handle) {
    std::lock_guard lock(gTableLock);
    return gTable.erase(reinterpret_cast<ULONG_PTR>(handle)) != 0;
}

void RetargetPrinterHandles(const RegistryKeyPtr& from, const RegistryKeyPtr& to) {
    std::lock_guard lock(gTableLock);
    for (auto& [value, handle] : gTable)
        if (!handle->server && handle->printer.lock() == from) handle->printer = to;
}

DWORD ResolveHandle(Call& call, HANDLE handle, PrinterHandlePtr& object, RegistryKeyPtr& key) {
    object = Lookup(handle);
    key.reset();
    if (!object || object->registry.lock() != call.registryPtr() || object->generation != SpoolerGeneration())
        return ERROR_INVALID_HANDLE;
    if (object->server) return ERROR_SUCCESS;
    key = object->printer.lock();
    if (!key || key->IsDeleted()) return ERROR_PRINTER_DELETED;
    return ERROR_SUCCESS;
}

DWORD ResolvePrinter(Call& call, HANDLE handle, PrinterHandlePtr& object, RegistryKeyPtr& key) {
    if (DWORD status = ResolveHandle(call, handle, object, key)) return status;
    return object->server ? ERROR_INVALID_HANDLE : ERROR_SUCCESS;
}

}  // namespace w32::spool
