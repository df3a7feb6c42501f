// The module's entry point: the module handle is kept for the lookups of
// files beside the module.
#include <windows.h>

#include "pcl6/gdi/module.h"
#include "pcl6/gdi/nt/ddi.h"

BOOL WINAPI DllEntryPoint(HINSTANCE module, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) Tamrend_SetModule(module);
    return TRUE;
}
