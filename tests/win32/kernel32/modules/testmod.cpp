// The loader's test module. Its entry point counts its calls by reason in an
// exported array and writes each call to the debug log, which outlives the
// module, so that a test sees DLL_PROCESS_DETACH after the unload too.
#include <windows.h>

#include <string>

namespace {

int gCounter = 0;  // starts again at 0 each time the module is loaded
HINSTANCE gInstance = nullptr;

const char* ReasonName(DWORD reason) {
    switch (reason) {
        case DLL_PROCESS_ATTACH: return "PROCESS_ATTACH";
        case DLL_PROCESS_DETACH: return "PROCESS_DETACH";
        case DLL_THREAD_ATTACH: return "THREAD_ATTACH";
        case DLL_THREAD_DETACH: return "THREAD_DETACH";
    }
    return "?";
}

}  // namespace

extern "C" {

LONG TamEntryCalls[4] = {0, 0, 0, 0};

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    if (reason < 4) ++TamEntryCalls[reason];
    if (reason == DLL_PROCESS_ATTACH) gInstance = instance;
    std::string line = std::string("TamTestMod ") + ReasonName(reason) + (reserved ? " (process end)\n" : "\n");
    OutputDebugStringA(line.c_str());
    return TRUE;
}

int WINAPI TamAdd(int a, int b) { return a + b; }
int WINAPI TamNextCount(void) { return ++gCounter; }
HINSTANCE WINAPI TamInstance(void) { return gInstance; }
int WINAPI TamSecret(void) { return 4242; }

// Of default visibility, even declared so, but not in the .def: the version
// script keeps it local.
__attribute__((visibility("default"))) int TamNotExported(void) { return -1; }

}  // extern "C"
