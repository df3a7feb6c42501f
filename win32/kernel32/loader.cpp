// The module loader: LoadLibrary, GetModuleHandle, GetModuleFileName,
// GetProcAddress, FreeLibrary and the entry-point calls.
//
// A code module is a shared library (dlopen RTLD_NOW | RTLD_LOCAL) built by
// tam_module (cmake/TamModules.cmake), which gives it the table of
// moduleinfo.h: exports by name and ordinal, and the entry point. The entry
// point gets DLL_PROCESS_ATTACH when the module is first loaded (FALSE fails
// the load with ERROR_DLL_INIT_FAILED, after a DLL_PROCESS_DETACH, as Windows
// does), DLL_PROCESS_DETACH before the last FreeLibrary unloads it (dlclose),
// and DLL_THREAD_ATTACH / DLL_THREAD_DETACH on every thread the layer starts
// and ends meanwhile. Modules still loaded when the process ends are not
// detached.
//
// Where Windows leaves a result open, the loader does this: a handle that
// names no loaded module gives ERROR_MOD_NOT_FOUND; GetProcAddress on a module
// without code (resource-only, or loaded as data) gives ERROR_PROC_NOT_FOUND;
// a file on the drive that is neither a shared library nor a .res file, or
// whose .res file is damaged, gives ERROR_BAD_EXE_FORMAT.
#include "kernel32/loader.h"

#include <dlfcn.h>
#include <link.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <vector>

#include "kernel32/ansitext.h"
#include "kernel32/thread.h"
#include "machine/machine.h"
#include "machine/paths.h"
#include "machine/unicode.h"

namespace w32 {

namespace {

constexpr DWORD kDataFlags = LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_DATAFILE_EXCLUSIVE | LOAD_LIBRARY_AS_IMAGE_RESOURCE;
constexpr DWORD kSearchFlags = LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_APPLICATION_DIR |
                               LOAD_LIBRARY_SEARCH_USER_DIRS | LOAD_LIBRARY_SEARCH_SYSTEM32 |
                               LOAD_LIBRARY_SEARCH_DEFAULT_DIRS;
constexpr DWORD kValidLoadFlags = 0x00001FFF;

struct LoaderState {
    std::recursive_mutex lock;
    std::vector<Module*> modules;  // loaded modules, in load order
    Module program;
};

LoaderState& State() {
    // Never destroyed: modules may be freed from static destructors.
    static auto* state = [] {
        auto* s = new LoaderState;
        s->program.kind = ModuleKind::Program;
        s->program.pinned = true;
        return s;
    }();
    return *state;
}

// Why a load failed, on standard error when the debug log goes there too.
void Note(const std::string& text) {
    static const bool enabled = [] {
        const char* value = std::getenv("TAM_DEBUG_STDERR");
        return value && *value && *value != '0';
    }();
    if (enabled) std::fprintf(stderr, "loader: %s\n", text.c_str());
}

std::u16string_view FileNamePart(std::u16string_view path) {
    auto slash = path.find_last_of(u"\\/");
    return slash == std::u16string_view::npos ? path : path.substr(slash + 1);
}

bool HasPathPart(std::u16string_view name) { return name.find_first_of(u"\\/:") != std::u16string_view::npos; }

// ".dll" is added to a file name without extension; a trailing dot asks for
// a name without extension.
std::u16string WithDefaultExtension(std::u16string name) {
    std::u16string_view file = FileNamePart(name);
    if (!file.empty() && file.back() == u'.') {
        name.pop_back();
        return name;
    }
    if (file.find(u'.') == std::u16string_view::npos) name += u".dll";
    return name;
}

bool IsLoaded(const Module* module) {
    const auto& modules = State().modules;
    return std::find(modules.begin(), modules.end(), module) != modules.end();
}

std::filesystem::path LayerLibraryFolder() {
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&LoaderLock), &info) && info.dli_fname)
        return std::filesystem::path(info.dli_fname).parent_path();
    return {};
}

link_map* LinkMapOf(void* library) {
    link_map* map = nullptr;
    if (!library || dlinfo(library, RTLD_DI_LINKMAP, &map) != 0) return nullptr;
    return map;
}

link_map* LinkMapContaining(const void* address) {
    Dl_info info{};
    link_map* map = nullptr;
    if (!dladdr1(address, &info, reinterpret_cast<void**>(&map), RTLD_DL_LINKMAP)) return nullptr;
    return map;
}

// The export table tam_module gives a library: its own (not one of a library
// it links), of the version this loader reads; null for none.
const TamModuleInfo* ModuleInfoOf(void* library) {
    auto* info = static_cast<const TamModuleInfo*>(dlsym(library, TAM_MODULE_INFO_SYMBOL));
    if (info && LinkMapContaining(info) == LinkMapOf(library) && info->version == TAM_MODULE_INFO_VERSION) return info;
    return nullptr;
}

// A module's .res file; null (noted as `what`) when it is damaged.
std::unique_ptr<ResFile> ReadResources(const std::filesystem::path& file, const char* what) {
    DWORD error = ERROR_SUCCESS;
    std::unique_ptr<ResFile> resources = ResFile::Load(file, error);
    if (!resources) Note(what + file.string());
    return resources;
}

void* ProgramLibrary() {
    static void* self = dlopen(nullptr, RTLD_NOW);
    return self;
}

bool ReadHead(const std::filesystem::path& file, BYTE (&head)[ResFile::kSignatureSize], size_t& count) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return false;
    in.read(reinterpret_cast<char*>(head), sizeof(head));
    count = size_t(in.gcount());
    return true;
}

bool IsElf(const BYTE* head, size_t count) { return count >= 4 && std::memcmp(head, "\x7f" "ELF", 4) == 0; }

// A file of the machine, when it exists and is a regular file.
bool FindOnDrive(const std::u16string& windowsPath, ResolvedPath& found) {
    Machine& machine = Machine::Current();
    if (!machine.HasDrive()) return false;
    auto normalized = NormalizeWindowsPath(windowsPath, machine.WorkingDirectory());
    if (normalized.empty()) return false;
    ResolvedPath resolved = ResolveOnDrive(machine.DriveRoot(), normalized);
    std::error_code ec;
    if (resolved.error != ERROR_SUCCESS || !resolved.exists || !std::filesystem::is_regular_file(resolved.host, ec))
        return false;
    found = std::move(resolved);
    return true;
}

// The .res file of the same base name beside a module file.
bool FindSiblingResources(const std::u16string& windowsPath, ResolvedPath& found) {
    auto slash = windowsPath.rfind(u'\\');
    if (slash == std::u16string::npos) return false;
    std::u16string file = windowsPath.substr(slash + 1);
    auto dot = file.rfind(u'.');
    if (dot != std::u16string::npos) file.resize(dot);
    return FindOnDrive(windowsPath.substr(0, slash + 1) + file + u".res", found);
}

// The folders searched for a module name without a path.
std::vector<std::u16string> SearchFolders(DWORD flags) {
    Machine& machine = Machine::Current();
    if (flags & kSearchFlags) {
        std::vector<std::u16string> folders;
        if (flags & (LOAD_LIBRARY_SEARCH_APPLICATION_DIR | LOAD_LIBRARY_SEARCH_DEFAULT_DIRS))
            folders.push_back(machine.ProgramDirectory());
        if (flags & (LOAD_LIBRARY_SEARCH_SYSTEM32 | LOAD_LIBRARY_SEARCH_DEFAULT_DIRS))
            folders.push_back(machine.SystemDirectory());
        return folders;
    }
    return {machine.ProgramDirectory(), machine.SystemDirectory(), machine.WindowsDirectory(),
            machine.WorkingDirectory()};
}

Module* FindLoadedByName(std::u16string_view name) {
    auto& state = State();
    bool byPath = HasPathPart(name);
    std::u16string normalized;
    if (byPath) normalized = NormalizeWindowsPath(name, Machine::Current().WorkingDirectory());
    for (Module* module : state.modules) {
        if (module->kind == ModuleKind::DataFile) continue;
        if (byPath ? NamesEqual(module->Path(), normalized) : NamesEqual(module->BaseName(), name)) return module;
    }
    if (byPath ? NamesEqual(state.program.Path(), normalized) : NamesEqual(state.program.BaseName(), name))
        return &state.program;
    return nullptr;
}

// The layer's module a name stands for: a bare name in the table, or the
// same name in the system folder.
const SystemModuleEntry* SystemModuleFor(std::u16string_view name) {
    if (!HasPathPart(name)) return FindSystemModule(name);
    Machine& machine = Machine::Current();
    auto normalized = NormalizeWindowsPath(name, machine.WorkingDirectory());
    auto slash = normalized.rfind(u'\\');
    if (slash == std::u16string::npos || !NamesEqual(normalized.substr(0, slash), machine.SystemDirectory()))
        return nullptr;
    return FindSystemModule(std::u16string_view(normalized).substr(slash + 1));
}

// The record of a system module, made on first use. With onlyIfMapped, a
// library not yet in the process is not loaded (GetModuleHandle).
Module* SystemModule(const SystemModuleEntry& entry, bool onlyIfMapped) {
    auto& state = State();
    for (Module* module : state.modules)
        if (module->kind == ModuleKind::System && NamesEqual(module->BaseName(), entry.name)) return module;
    std::filesystem::path path = LayerLibraryFolder() / entry.library;
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) return nullptr;
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL | (onlyIfMapped ? RTLD_NOLOAD : 0));
    if (!handle) {
        if (!onlyIfMapped) Note(dlerror());
        return nullptr;
    }
    auto* module = new Module;
    module->kind = ModuleKind::System;
    module->windowsPath = Machine::Current().SystemDirectory() + u"\\" + entry.name;
    module->hostPath = path;
    module->library = handle;
    module->pinned = true;
    // A library that carries an export table (hhctrl.ocx: its exports by
    // ordinal) is read like a code module's.
    module->info = ModuleInfoOf(handle);
    state.modules.push_back(module);
    return module;
}

int CallEntry(Module* module, DWORD reason) {
    return module->info->entry(module->Handle(), reason, nullptr);
}

bool HasEntry(const Module* module) {
    return module->kind == ModuleKind::Code && module->info && module->info->entry;
}

void Unload(Module* module) {
    auto& modules = State().modules;
    if (module->attached && HasEntry(module)) {
        module->attached = false;
        CallEntry(module, DLL_PROCESS_DETACH);
    }
    modules.erase(std::remove(modules.begin(), modules.end(), module), modules.end());
    if (module->library && dlclose(module->library) != 0) Note(dlerror());
    delete module;
}

HMODULE AddReference(Module* module) {
    if (module->kind != ModuleKind::Program && module->kind != ModuleKind::System) ++module->refCount;
    return module->Handle();
}

// A code module's load failed in dlopen: a missing library is a missing
// module, a missing symbol a missing procedure, as Windows reports them.
DWORD DlopenError() {
    const char* text = dlerror();
    std::string message = text ? text : "dlopen failed";
    Note(message);
    return message.find("undefined symbol") != std::string::npos ? ERROR_PROC_NOT_FOUND : ERROR_MOD_NOT_FOUND;
}

HMODULE LoadFromFile(const ResolvedPath& file, DWORD flags) {
    auto& state = State();
    BYTE head[ResFile::kSignatureSize];
    size_t count = 0;
    if (!ReadHead(file.host, head, count)) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    const bool asData = flags & kDataFlags;
    auto module = std::make_unique<Module>();
    module->windowsPath = file.windows;
    module->hostPath = file.host;
    module->resourcesLoaded = true;

    if (ResFile::HasSignature(head, count)) {
        module->kind = asData ? ModuleKind::DataFile : ModuleKind::Resources;
        module->resources = ReadResources(file.host, "damaged resource module ");
        if (!module->resources) {
            SetLastError(ERROR_BAD_EXE_FORMAT);
            return nullptr;
        }
        state.modules.push_back(module.get());
        return module.release()->Handle();
    }
    if (!IsElf(head, count)) {
        SetLastError(ERROR_BAD_EXE_FORMAT);
        return nullptr;
    }

    ResolvedPath resources;
    if (FindSiblingResources(file.windows, resources)) {
        module->resources = ReadResources(resources.host, "damaged resources ");
        if (!module->resources) {
            SetLastError(ERROR_BAD_EXE_FORMAT);
            return nullptr;
        }
    }
    if (asData) {
        module->kind = ModuleKind::DataFile;
        state.modules.push_back(module.get());
        return module.release()->Handle();
    }

    module->kind = ModuleKind::Code;
    void* library = dlopen(file.host.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        SetLastError(DlopenError());
        return nullptr;
    }
    // The same file reached by another path (a link on the drive) is the same
    // library in this process: it stays one module.
    for (Module* loaded : state.modules) {
        if (loaded->library == library) {
            dlclose(library);
            return AddReference(loaded);
        }
    }
    module->library = library;
    module->info = ModuleInfoOf(library);

    Module* record = module.release();
    state.modules.push_back(record);
    if (HasEntry(record) && !(flags & DONT_RESOLVE_DLL_REFERENCES)) {
        if (!CallEntry(record, DLL_PROCESS_ATTACH)) {
            // Windows tells the module it is going away, then unloads it.
            record->attached = true;
            Unload(record);
            SetLastError(ERROR_DLL_INIT_FAILED);
            return nullptr;
        }
        record->attached = true;
    }
    return record->Handle();
}

// The module an address lies in: its code or data, or its loaded resources.
Module* ModuleFromAddress(const void* address) {
    auto& state = State();
    for (Module* module : state.modules)
        if (module->resources && module->resources->ContainsAddress(address)) return module;
    if (state.program.resources && state.program.resources->ContainsAddress(address)) return &state.program;
    link_map* map = LinkMapContaining(address);
    if (!map) return nullptr;
    for (Module* module : state.modules)
        if (module->library && LinkMapOf(module->library) == map) return module;
    if (LinkMapOf(ProgramLibrary()) == map) return &state.program;
    if (map->l_name) {
        std::string file = std::filesystem::path(map->l_name).filename().string();
        if (const auto* entry = FindSystemModuleByLibrary(file)) return SystemModule(*entry, true);
    }
    return nullptr;
}

// GetModuleHandle's lookup: loaded modules (not those loaded as data), the
// program, and the layer's modules already in the process.
Module* LookupModuleName(LPCWSTR name) {
    if (!name) return &State().program;
    std::u16string full = WithDefaultExtension(name);
    if (Module* module = FindLoadedByName(full)) return module;
    if (const auto* entry = SystemModuleFor(full)) return SystemModule(*entry, true);
    return nullptr;
}

// GetModuleFileName's lookup: the path of a loaded module (not one loaded as
// data). False with ERROR_MOD_NOT_FOUND for no such module.
bool ModulePath(HMODULE handle, std::u16string& path) {
    std::lock_guard lock(LoaderLock());
    Module* module = FindModule(handle);
    if (!module || module->kind == ModuleKind::DataFile) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return false;
    }
    path = module->Path();
    return true;
}

// Copies a path with GetModuleFileName's protocol.
template <class Char>
DWORD CopyPath(const std::basic_string<Char>& path, Char* buffer, DWORD size) {
    if (size == 0) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    if (!buffer) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (path.size() < size) {
        std::copy(path.begin(), path.end(), buffer);
        buffer[path.size()] = 0;
        return DWORD(path.size());
    }
    std::copy(path.begin(), path.begin() + (size - 1), buffer);
    buffer[size - 1] = 0;
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return size;
}

class LoaderThreadObserver final : public ThreadObserver {
public:
    void ThreadAttached() override { LoaderThreadAttach(); }
    void ThreadDetached() override { LoaderThreadDetach(); }
};

const bool gObserverAdded = [] {
    static LoaderThreadObserver observer;
    AddThreadObserver(&observer);
    return true;
}();

void CallThreadEntries(DWORD reason) {
    std::lock_guard lock(LoaderLock());
    std::vector<Module*> snapshot = State().modules;
    for (Module* module : snapshot) {
        // An entry point may have freed a module meanwhile.
        if (!IsLoaded(module) || !HasEntry(module) || !module->attached || !module->threadCalls) continue;
        CallEntry(module, reason);
    }
}

}  // namespace

std::u16string Module::Path() const {
    if (kind == ModuleKind::Program) return Machine::Current().ProgramPath();
    return windowsPath;
}

std::u16string Module::BaseName() const { return std::u16string(FileNamePart(Path())); }

std::recursive_mutex& LoaderLock() { return State().lock; }

Module* FindModule(HMODULE handle) {
    auto& state = State();
    if (!handle || handle == state.program.Handle()) return &state.program;
    for (Module* module : state.modules)
        if (module->Handle() == handle) return module;
    return nullptr;
}

const ResFile* ModuleResources(Module& module) {
    if (!module.resourcesLoaded) {
        module.resourcesLoaded = true;
        std::filesystem::path file;
        if (module.kind == ModuleKind::Program) {
            // The program's resources sit beside the running executable.
            std::error_code ec;
            file = std::filesystem::read_symlink("/proc/self/exe", ec);
            if (!ec) file = file.parent_path() / (file.stem().string() + ".res");
        } else if (module.kind == ModuleKind::System) {
            // A system module's, if it has any, beside the layer's libraries.
            std::filesystem::path name(ToUtf8(module.BaseName()));
            file = module.hostPath.parent_path() / (name.stem().string() + ".res");
        }
        std::error_code ec;
        if (!file.empty() && std::filesystem::is_regular_file(file, ec))
            module.resources = ReadResources(file, "damaged resources ");
    }
    return module.resources.get();
}

Module* FindModuleByResource(const void* address, Module* hint) {
    auto owns = [&](Module* module) {
        const ResFile* resources = module ? ModuleResources(*module) : nullptr;
        return resources && (resources->EntryFromHandle(address) || resources->ContainsAddress(address));
    };
    if (owns(hint)) return hint;
    auto& state = State();
    for (Module* module : state.modules)
        if (owns(module)) return module;
    if (owns(&state.program)) return &state.program;
    return nullptr;
}

void LoaderThreadAttach() { CallThreadEntries(DLL_THREAD_ATTACH); }
void LoaderThreadDetach() { CallThreadEntries(DLL_THREAD_DETACH); }

}  // namespace w32

using namespace w32;

HMODULE WINAPI LoadLibraryExW(LPCWSTR lpLibFileName, HANDLE hFile, DWORD dwFlags) {
    if (!lpLibFileName || !*lpLibFileName || hFile || (dwFlags & ~kValidLoadFlags)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    std::u16string name = WithDefaultExtension(lpLibFileName);
    std::lock_guard lock(LoaderLock());

    if (Module* loaded = FindLoadedByName(name)) return AddReference(loaded);
    if (const auto* entry = SystemModuleFor(name)) {
        if (Module* module = SystemModule(*entry, false)) return module->Handle();
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }

    ResolvedPath file;
    bool found = false;
    if (HasPathPart(name)) {
        found = FindOnDrive(name, file);
    } else {
        for (const auto& folder : SearchFolders(dwFlags)) {
            if (FindOnDrive(folder + u"\\" + name, file)) {
                found = true;
                break;
            }
        }
    }
    if (!found) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    // Found under another spelling of a loaded module's path.
    if (Module* loaded = FindLoadedByName(file.windows)) return AddReference(loaded);
    return LoadFromFile(file, dwFlags);
}

HMODULE WINAPI LoadLibraryW(LPCWSTR lpLibFileName) { return LoadLibraryExW(lpLibFileName, nullptr, 0); }

HMODULE WINAPI LoadLibraryExA(LPCSTR lpLibFileName, HANDLE hFile, DWORD dwFlags) {
    std::u16string name;
    if (!lpLibFileName || !AnsiToWide(lpLibFileName, name)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return LoadLibraryExW(name.c_str(), hFile, dwFlags);
}

HMODULE WINAPI LoadLibraryA(LPCSTR lpLibFileName) { return LoadLibraryExA(lpLibFileName, nullptr, 0); }

BOOL WINAPI FreeLibrary(HMODULE hLibModule) {
    std::lock_guard lock(LoaderLock());
    Module* module = hLibModule ? FindModule(hLibModule) : nullptr;
    if (!module) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return FALSE;
    }
    if (module->pinned || module->refCount == 0) return TRUE;
    if (--module->refCount == 0) Unload(module);
    return TRUE;
}

void WINAPI FreeLibraryAndExitThread(HMODULE hLibModule, DWORD dwExitCode) {
    FreeLibrary(hLibModule);
    ExitThread(dwExitCode);
}

BOOL WINAPI DisableThreadLibraryCalls(HMODULE hLibModule) {
    std::lock_guard lock(LoaderLock());
    Module* module = hLibModule ? FindModule(hLibModule) : nullptr;
    if (!module || module->kind == ModuleKind::DataFile) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return FALSE;
    }
    module->threadCalls = false;
    return TRUE;
}

HMODULE WINAPI GetModuleHandleW(LPCWSTR lpModuleName) {
    std::lock_guard lock(LoaderLock());
    if (Module* module = LookupModuleName(lpModuleName)) return module->Handle();
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
}

HMODULE WINAPI GetModuleHandleA(LPCSTR lpModuleName) {
    if (!lpModuleName) return GetModuleHandleW(nullptr);
    std::u16string name;
    if (!AnsiToWide(lpModuleName, name)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return GetModuleHandleW(name.c_str());
}

BOOL WINAPI GetModuleHandleExW(DWORD dwFlags, LPCWSTR lpModuleName, HMODULE* phModule) {
    if (!phModule) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *phModule = nullptr;
    constexpr DWORD kValid = GET_MODULE_HANDLE_EX_FLAG_PIN | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT |
                             GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS;
    if ((dwFlags & ~kValid) ||
        ((dwFlags & GET_MODULE_HANDLE_EX_FLAG_PIN) && (dwFlags & GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT)) ||
        ((dwFlags & GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS) && !lpModuleName)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::lock_guard lock(LoaderLock());
    Module* module = (dwFlags & GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS) ? ModuleFromAddress(lpModuleName)
                                                                         : LookupModuleName(lpModuleName);
    if (!module) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return FALSE;
    }
    if (dwFlags & GET_MODULE_HANDLE_EX_FLAG_PIN) module->pinned = true;
    else if (!(dwFlags & GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT)) AddReference(module);
    *phModule = module->Handle();
    return TRUE;
}

DWORD WINAPI GetModuleFileNameW(HMODULE hModule, LPWSTR lpFilename, DWORD nSize) {
    std::u16string path;
    if (!ModulePath(hModule, path)) return 0;
    return CopyPath(path, lpFilename, nSize);
}

DWORD WINAPI GetModuleFileNameA(HMODULE hModule, LPSTR lpFilename, DWORD nSize) {
    std::u16string path;
    if (!ModulePath(hModule, path)) return 0;
    std::string narrow;
    int count = WideCharToMultiByte(CP_ACP, 0, path.c_str(), int(path.size()), nullptr, 0, nullptr, nullptr);
    if (count > 0) {
        narrow.assign(size_t(count), '\0');
        WideCharToMultiByte(CP_ACP, 0, path.c_str(), int(path.size()), narrow.data(), count, nullptr, nullptr);
    }
    return CopyPath(narrow, lpFilename, nSize);
}

FARPROC WINAPI GetProcAddress(HMODULE hModule, LPCSTR lpProcName) {
    std::lock_guard lock(LoaderLock());
    Module* module = FindModule(hModule);
    if (!module) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    const bool byOrdinal = IS_INTRESOURCE(lpProcName);
    const WORD ordinal = byOrdinal ? LOWORD(reinterpret_cast<ULONG_PTR>(lpProcName)) : 0;
    if (module->info) {
        const TamModuleInfo& info = *module->info;
        for (unsigned i = 0; i < info.exportCount; ++i) {
            const TamModuleExport& item = info.exports[i];
            bool match = byOrdinal ? (ordinal != 0 && item.ordinal == ordinal)
                                   : (!(item.flags & TAM_EXPORT_NONAME) && std::strcmp(item.name, lpProcName) == 0);
            if (match) return reinterpret_cast<FARPROC>(item.address);
        }
    } else if (!byOrdinal) {
        void* library = module->kind == ModuleKind::Program ? ProgramLibrary() : module->library;
        if (library) {
            dlerror();
            void* address = dlsym(library, lpProcName);
            // dlsym also searches the library's dependencies: only the
            // module's own symbols are its exports.
            if (address && LinkMapContaining(address) == LinkMapOf(library)) return reinterpret_cast<FARPROC>(address);
        }
    }
    SetLastError(ERROR_PROC_NOT_FOUND);
    return nullptr;
}
