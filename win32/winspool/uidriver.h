// A printer's user-interface DLL: the configuration file of its driver
// (DRIVER_INFO_2W.pConfigFile). The spooler functions that hand a call on to
// the driver (ConvertDevMode, DeviceCapabilitiesW, DocumentPropertiesW) load
// it in the caller's process for the call, as Windows' spooler client does,
// and free it when the call ends. The loader counts references, so a module
// the process already holds is the same module, with its state.
#pragma once
#include <windows.h>

namespace w32::spool {

class UiDriverModule {
public:
    UiDriverModule() = default;
    ~UiDriverModule();
    UiDriverModule(const UiDriverModule&) = delete;
    UiDriverModule& operator=(const UiDriverModule&) = delete;

    // Loads the user-interface DLL of the printer behind `printer`.
    // ERROR_SUCCESS, or the error of GetPrinterDriverW or of the loader;
    // ERROR_UNKNOWN_PRINTER_DRIVER when the driver names no configuration file.
    DWORD Load(HANDLE printer);
    // The same for a printer by name: the printer is opened for the lookup
    // and closed again (the error of OpenPrinterW when it cannot be).
    DWORD Load(LPCWSTR printerName);

    // The DLL's export `name`, or null (also before a successful Load).
    template <class Function>
    Function Export(const char* name) const {
        return module_ ? reinterpret_cast<Function>(GetProcAddress(module_, name)) : nullptr;
    }
    HMODULE Module() const { return module_; }

private:
    HMODULE module_ = nullptr;
};

}  // namespace w32::spool
