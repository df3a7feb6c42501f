// The layer's own modules: what a program loads by bare name (or by its path
// in the system folder) without any file on the machine's drive. Each Windows
// module name maps to the shared libraries of the layer that stand in for it,
// the first one present wins. A library that is not built gives
// ERROR_MOD_NOT_FOUND. Add a module here when its library exists.
#include "kernel32/loader.h"

#include "machine/paths.h"

namespace w32 {

namespace {

const SystemModuleEntry kSystemModules[] = {
    {u"kernel32.dll", {"libw32kernel32.so"}},
    {u"kernelbase.dll", {"libw32kernel32.so"}},
    {u"ntdll.dll", {"libw32kernel32.so"}},
    {u"msvcrt.dll", {"libw32msvcrt.so"}},
    {u"advapi32.dll", {"libw32advapi32.so"}},
    {u"user32.dll", {"libw32user32.so"}},
    {u"gdi32.dll", {"libw32gdi32.so"}},
    {u"comctl32.dll", {"libw32comctl32.so"}},
    {u"comdlg32.dll", {"libw32comdlg32.so", "libw32comctl32.so"}},
    {u"shell32.dll", {"libw32shell32.so"}},
    {u"shlwapi.dll", {"libw32shlwapi.so", "libw32shell32.so"}},
    {u"ole32.dll", {"libw32ole32.so"}},
    {u"oleaut32.dll", {"libw32oleaut32.so", "libw32ole32.so"}},
    {u"winspool.drv", {"libw32winspool.so"}},
    {u"spoolss.dll", {"libw32spoolss.so", "libw32winspool.so"}},
    {u"setupapi.dll", {"libw32setupapi.so"}},
    {u"cfgmgr32.dll", {"libw32cfgmgr32.so", "libw32setupapi.so"}},
    {u"newdev.dll", {"libw32newdev.so", "libw32setupapi.so"}},
    {u"ws2_32.dll", {"libw32ws2_32.so"}},
    {u"iphlpapi.dll", {"libw32iphlpapi.so"}},
    {u"gdiplus.dll", {"libw32gdiplus.so"}},
    {u"hhctrl.ocx", {"libw32hhctrl.so", "libw32shell32.so"}},
    {u"version.dll", {"libw32version.so", "libw32kernel32.so"}},
    {u"userenv.dll", {"libw32userenv.so", "libw32advapi32.so"}},
};

}  // namespace

const SystemModuleEntry* FindSystemModule(std::u16string_view fileName) {
    for (const auto& entry : kSystemModules)
        if (NamesEqual(entry.name, fileName)) return &entry;
    return nullptr;
}

const SystemModuleEntry* FindSystemModuleByLibrary(std::string_view libraryFile) {
    for (const auto& entry : kSystemModules)
        if (entry.libraries[0] && libraryFile == entry.libraries[0]) return &entry;
    return nullptr;
}

}  // namespace w32
