// The process-wide language DLL: loaded for the first sheet's driver name,
// shared by every sheet of the process (its header's icon, the message
// boxes outside a sheet) and freed when the module leaves the process.
#pragma once
#include <windows.h>

// The DLL, or null while none is loaded.
HMODULE GetProcessLanguageDll();
// Loads the language DLL for `driverName` unless one is loaded; answers the
// DLL (null when none exists). Several threads may call it at once: one load
// wins and the others get its handle.
HMODULE LoadProcessLanguageDll(LPCWSTR driverName);
// Frees the DLL (process detach).
void FreeProcessLanguageDll();
