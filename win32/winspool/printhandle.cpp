#include "winspool/printhandle.h"

#include "kernel32/handletable.h"

namespace w32::spool {

namespace {

// Far from the kernel's and the registry's handles, so that one given to the
// wrong function is refused.
HandleTable<PrinterHandle> gTable(0x20000000);

}  // namespace

HANDLE InsertPrinterHandle(PrinterHandlePtr handle) { return gTable.Insert<HANDLE>(std::move(handle)); }

bool RemovePrinterHandle(HANDLE handle) { return gTable.Remove(handle) != nullptr; }

void RetargetPrinterHandles(const RegistryKeyPtr& from, const RegistryKeyPtr& to) {
    gTable.ForEach([&](PrinterHandle& handle) {
        if (!handle.server && handle.printer.lock() == from) handle.printer = to;
    });
}

DWORD ResolveHandle(Call& call, HANDLE handle, PrinterHandlePtr& object, RegistryKeyPtr& key) {
    object = gTable.Find(handle);
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
