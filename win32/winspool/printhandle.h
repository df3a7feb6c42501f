// Printer handles: what OpenPrinterW and AddPrinterW give. They are the
// spooler's own handles, not kernel handles: they live in a table of their
// own, are never reused, and end with the run of the spooler (and the
// machine) they were opened on.
#pragma once
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "winspool/spooler.h"

namespace w32::spool {

// A document being printed through a handle (StartDocPrinterW to
// EndDocPrinter); defined by the job functions.
struct PrintJob;

struct PrinterHandle {
    std::weak_ptr<Registry> registry;
    uint64_t generation = 0;  // the spooler run it was opened in
    bool server = false;      // the print server itself rather than a printer
    // The printer's key; a key deleted (by DeletePrinter or directly in the
    // registry) means the printer is gone.
    std::weak_ptr<RegistryKey> printer;
    ACCESS_MASK access = 0;
    // From PRINTER_DEFAULTSW: what the handle's jobs use unless told otherwise.
    std::u16string datatype;
    std::vector<BYTE> devMode;
    std::shared_ptr<PrintJob> job;
};
using PrinterHandlePtr = std::shared_ptr<PrinterHandle>;

HANDLE InsertPrinterHandle(PrinterHandlePtr handle);
bool RemovePrinterHandle(HANDLE handle);
// Points the handles of a renamed printer at its new key.
void RetargetPrinterHandles(const RegistryKeyPtr& from, const RegistryKeyPtr& to);

// The handle of a call: ERROR_INVALID_HANDLE for an unknown handle or one
// from an earlier run of the spooler. For a printer handle `key` is the
// printer's key (ERROR_PRINTER_DELETED when it is gone); for the server's
// handle it is null.
DWORD ResolveHandle(Call& call, HANDLE handle, PrinterHandlePtr& object, RegistryKeyPtr& key);
// As ResolveHandle, but only a printer's handle will do (ERROR_INVALID_HANDLE
// for the server's).
DWORD ResolvePrinter(Call& call, HANDLE handle, PrinterHandlePtr& object, RegistryKeyPtr& key);

}  // namespace w32::spool
