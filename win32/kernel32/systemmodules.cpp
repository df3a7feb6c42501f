// The layer's own modules: what LoadLibraryW and GetModuleHandleW find by
// bare name (or by its path in the system folder) without any file on the
// machine's drive, as Windows finds its known system DLLs.
//
// Each Windows module name stands for the one shared library of the layer
// that exports its functions, so the table lists exactly the modules this
// tree builds. A name that is not listed is no system module: the loader
// searches the machine's folders for it as for any other module, and without
// a file there the load fails with ERROR_MOD_NOT_FOUND; it never falls back
// to another module's library. A listed library missing from the build
// folder fails the same way. Add a module here when its library is built.
#include "kernel32/loader.h"

#include "machine/paths.h"

namespace w32 {

namespace {

const SystemModuleEntry kSystemModules[] = {
    {u"kernel32.dll", "libw32kernel32.so"},
    {u"msvcrt.dll", "libw32msvcrt.so"},
    {u"advapi32.dll", "libw32advapi32.so"},
    {u"user32.dll", "libw32user32.so"},
    {u"gdi32.dll", "libw32gdi32.so"},
    {u"shell32.dll", "libw32shell32.so"},
    {u"shlwapi.dll", "libw32shlwapi.so"},
    {u"winspool.drv", "libw32winspool.so"},
    {u"hhctrl.ocx", "libw32hhctrl.so"},
};

}  // namespace

const SystemModuleEntry* FindSystemModule(std::u16string_view fileName) {
    for (const auto& entry : kSystemModules)
        if (NamesEqual(entry.name, fileName)) return &entry;
    return nullptr;
}

const SystemModuleEntry* FindSystemModuleByLibrary(std::string_view libraryFile) {
    for (const auto& entry : kSystemModules)
        if (libraryFile == entry.library) return &entry;
    return nullptr;
}

}  // namespace w32
