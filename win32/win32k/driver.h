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

// `other`: the new PDEV of DrvResetPDEV.
void RecordDdiCall(const char* function, const EnginePdev* pdev = nullptr, const EnginePdev* other = nullptr);

}  // namespace w32
