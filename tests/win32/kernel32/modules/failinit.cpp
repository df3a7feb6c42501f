// A module whose entry point returns FALSE for DLL_PROCESS_ATTACH.
#include <windows.h>

extern "C" {

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    OutputDebugStringA(reason == DLL_PROCESS_ATTACH ? "TamFailInit PROCESS_ATTACH\n"
                       : reason == DLL_PROCESS_DETACH ? "TamFailInit PROCESS_DETACH\n"
                                                      : "TamFailInit other\n");
    return reason == DLL_PROCESS_ATTACH ? FALSE : TRUE;
}

int WINAPI TamFailInitMarker(void) { return 1; }

}  // extern "C"
