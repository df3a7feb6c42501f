// The module loader's records, shared by the loader, the resource functions
// and the thread code. An HMODULE (HINSTANCE) is the address of a Module
// record, not a dlopen handle.
#pragma once
#include <windows.h>

#include <filesystem>
#include <memory>
#include <mutex>
#include <string>

#include "kernel32/moduleinfo.h"
#include "kernel32/resfile.h"

namespace w32 {

enum class ModuleKind {
    Program,    // the running program (GetModuleHandleW(NULL))
    System,     // a module of the layer itself, mapped to its shared library
    Code,       // a shared library found on the machine's drive
    Resources,  // a resource-only module: a .res file under the module's name
    DataFile,   // loaded with LOAD_LIBRARY_AS_DATAFILE and friends: resources only
};

struct Module {
    ModuleKind kind = ModuleKind::Code;
    std::u16string windowsPath;     // on the machine, in the spelling on disk (not for the program)
    std::filesystem::path hostPath;  // the file that was opened
    void* library = nullptr;         // dlopen handle of a code or system module
    const TamModuleInfo* info = nullptr;
    unsigned refCount = 1;
    bool pinned = false;
    bool threadCalls = true;  // cleared by DisableThreadLibraryCalls
    bool attached = false;    // the entry point accepted DLL_PROCESS_ATTACH
    std::unique_ptr<ResFile> resources;
    bool resourcesLoaded = false;  // the program's and system modules' are read on first use

    HMODULE Handle() { return reinterpret_cast<HMODULE>(this); }
    // The path GetModuleFileNameW reports.
    std::u16string Path() const;
    // The file name part of Path().
    std::u16string BaseName() const;
};

// Held while the loader's records change and while entry points run, as
// Windows holds its loader lock. Recursive: an entry point may load modules.
std::recursive_mutex& LoaderLock();

// The record of a loaded module, the program's for NULL; null when the handle
// names no loaded module. Call with the loader lock held.
Module* FindModule(HMODULE module);

// The module's resources (read on first use for the program and the system
// modules); null when it has none. Call with the loader lock held.
const ResFile* ModuleResources(Module& module);

// The loaded module whose resources an HRSRC or resource data pointer lies
// in, preferring `hint`. Call with the loader lock held.
Module* FindModuleByResource(const void* address, Module* hint);

// Called on every thread the layer creates, at its start and at its end (the
// loader registers them as a ThreadObserver, kernel32/thread.h): the entry
// points of the loaded code modules get DLL_THREAD_ATTACH and
// DLL_THREAD_DETACH, unless DisableThreadLibraryCalls was called for them. As
// on Windows, a thread that started before a module loaded gets only the
// detach call.
void LoaderThreadAttach();
void LoaderThreadDetach();

// The layer's own modules: a Windows module name (e.g. "shell32.dll") and
// the shared library of the layer that stands in for it (a file name in the
// folder of the layer's libraries).
struct SystemModuleEntry {
    const char16_t* name;
    const char* library;
};
// Null when the name is not one of the layer's modules.
const SystemModuleEntry* FindSystemModule(std::u16string_view fileName);
// The module a library of the layer stands in for (libw32kernel32.so:
// kernel32.dll); null for another file.
const SystemModuleEntry* FindSystemModuleByLibrary(std::string_view libraryFile);

}  // namespace w32
