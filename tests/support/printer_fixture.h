// Installs a printer driver on a test machine and adds printers that use it,
// as an installer would: the driver's files go into the machine's driver
// folder (copied from the host, or small placeholder files for tests that
// never load them), the driver is registered with AddPrinterDriverExW, and a
// printer is added with AddPrinterW. The routines are the machine set-up
// that the print tool uses too (tools/machinesetup).
#pragma once
#include <windows.h>

#include <string>

#include "machinesetup/machinesetup.h"

namespace tam::test {

using tam::setup::DriverFiles;
using tam::setup::DriverFolder;
using tam::setup::InstallDriver;
using tam::setup::InstallPrinter;
using tam::setup::PrinterSettings;
using tam::setup::PutMachineFile;

// Adds a printer with the winprint print processor and closes the handle
// AddPrinterW gives. Gives ERROR_SUCCESS or the error of AddPrinterW.
inline DWORD AddTestPrinter(const std::u16string& printerName, const std::u16string& driverName,
                            const PrinterSettings& settings = {}) {
    return tam::setup::AddPrinterUsing(printerName, driverName, settings);
}

}  // namespace tam::test
