// The calling program, by the executable behind the active top-level window
// (or by the title of a given window's top-level window). Both DLLs change
// behaviour for a few programs they recognise by name.
#include <windows.h>

#include "pcl6/intrface/util.h"

namespace {

// Module file names are read into this many characters (255 and the terminator).
constexpr DWORD kNameBuffer = 256;

// The module behind the program's active top-level window.
HINSTANCE ActiveWindowInstance() {
    HWND active = GetActiveWindow();
    if (!active) active = GetForegroundWindow();
    if (!active) return nullptr;
    HWND top = GetAncestor(active, GA_ROOT);
    return reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(top ? top : active, GWLP_HINSTANCE));
}

template <class Ch>
const Ch* FileNamePart(const Ch* path) {
    const Ch* name = path;
    for (const Ch* p = path; *p; ++p)
        if (*p == '\\' || *p == '/' || *p == ':') name = p + 1;
    return name;
}

}  // namespace

#ifdef TAM_RENDERING_BUILD

BOOL IsCallingApplication(LPCSTR name, HWND window) {
    if (!name) return FALSE;
    char text[kNameBuffer] = {};
    if (window) {
        HWND top = GetAncestor(window, GA_ROOT);
        WCHAR title[kNameBuffer] = {};
        if (!GetWindowTextW(top ? top : window, title, int(kNameBuffer))) return FALSE;
        if (!WideCharToMultiByte(CP_ACP, 0, title, -1, text, int(kNameBuffer), nullptr, nullptr)) return FALSE;
        text[kNameBuffer - 1] = 0;
        return lstrcmpiA(text, name) == 0;
    }
    DWORD length = GetModuleFileNameA(ActiveWindowInstance(), text, kNameBuffer);
    if (length == 0) return FALSE;
    text[kNameBuffer - 1] = 0;
    return lstrcmpiA(FileNamePart(text), name) == 0;
}

#else

BOOL IsCallingApplication(LPCWSTR name, HWND window) {
    if (!name) return FALSE;
    WCHAR text[kNameBuffer] = {};
    if (window) {
        HWND top = GetAncestor(window, GA_ROOT);
        if (!GetWindowTextW(top ? top : window, text, int(kNameBuffer))) return FALSE;
        return lstrcmpiW(text, name) == 0;
    }
    DWORD length = GetModuleFileNameW(ActiveWindowInstance(), text, kNameBuffer);
    if (length == 0) return FALSE;
    text[kNameBuffer - 1] = 0;
    return lstrcmpiW(FileNamePart(text), name) == 0;
}

#endif
