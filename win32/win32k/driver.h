// Loading and unloading printer graphics drivers, and the log of the driver
// calls the engine makes. Used by the device code of the engine.
#pragma once
#include "win32k/engine.h"

namespace w32 {

// The driver of the printer behind `printer`, loaded and enabled
// (DrvQueryDriverInfo, DrvEnableDriver) unless another device has it loaded
// already. Gives ERROR_SUCCESS or the error that stopped it.
DWORD AcquireDriver(HANDLE printer, std::shared_ptr<DriverModule>& driver);
// One device less: after the last one, DrvDisableDriver and unload.
void ReleaseDriver(std::shared_ptr<DriverModule>& driver);

// `other`: the new PDEV of DrvResetPDEV; `argument`: see DdiCall.
void RecordDdiCall(const char* function, const EnginePdev* pdev = nullptr, const EnginePdev* other = nullptr,
                   ULONG argument = 0);

// Runs driver callbacks for a device: the engine objects made meanwhile
// belong to the device. The last error is cleared first, so that after a
// failure it holds the driver's reason, if it gave one.
class DriverCall {
public:
    explicit DriverCall(const PrinterDevice& device) : owner_(device.id) { SetLastError(ERROR_SUCCESS); }

private:
    EngineOwnerScope owner_;
};

// The last error of a failed driver call; `fallback` when it set none.
inline DWORD DriverError(DWORD fallback) {
    DWORD error = GetLastError();
    return error ? error : fallback;
}

}  // namespace w32
