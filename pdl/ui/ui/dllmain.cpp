// The module's entry points.
#include <windows.h>

#include "pcl6/intrface/util.h"
#include "ui/ui/processlanguage.h"
#include "ui/ui/resdll.h"

BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
    switch (reason) {
        case DLL_PROCESS_ATTACH:
            SetUiModule(module);
            break;
        case DLL_THREAD_ATTACH:
            ClearPendingTempFile();
            break;
        case DLL_THREAD_DETACH:
            DeletePendingTempFile();
            break;
        case DLL_PROCESS_DETACH:
            FreeProcessLanguageDll();
            break;
        default:
            break;
    }
    return TRUE;
}

extern "C" HRESULT WINAPI DllCanUnloadNow(void) { return S_OK; }
