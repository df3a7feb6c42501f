// The module loader, with the test modules of modules/ installed on the machine.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <string>

#include "machine/debuglog.h"
#include "support/machine_fixture.h"
#include "support/module_install.h"

namespace {

using tam::test::InstallModule;

constexpr char16_t kAppModule[] = u"C:\\Program Files\\Korvan\\TamTestMod.dll";
constexpr char16_t kSystemModule[] = u"C:\\Windows\\System32\\TamTestMod.dll";
constexpr char16_t kWindowsModule[] = u"C:\\Windows\\TamTestMod.dll";

// A function of a module as its real type (FARPROC is only a placeholder).
template <class Function>
Function Proc(HMODULE module, LPCSTR name) {
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}
template <class Function>
FARPROC AsFarProc(Function function) {
    return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(function));
}

using AddProc = int(WINAPI*)(int, int);
using IntProc = int(WINAPI*)();
using InstanceProc = HINSTANCE(WINAPI*)();

class Loader : public tam::test::MachineTest {
protected:
    void SetUp() override {
        MachineTest::SetUp();
        w32::DebugLogClear();
    }

    std::filesystem::path Install(std::u16string_view path, const char* built = "TamTestMod.dll") {
        return InstallModule(machine(), built, path);
    }

    static std::u16string FileName(HMODULE module) {
        WCHAR buffer[MAX_PATH];
        DWORD length = GetModuleFileNameW(module, buffer, MAX_PATH);
        return std::u16string(buffer, length);
    }

    // The entry point's calls by reason, as the module counts them.
    static const LONG* EntryCalls(HMODULE module) {
        return reinterpret_cast<const LONG*>(GetProcAddress(module, "TamEntryCalls"));
    }

    // Whether the built library is mapped into the process.
    static bool Mapped(const std::filesystem::path& host) {
        void* handle = dlopen(host.c_str(), RTLD_NOW | RTLD_NOLOAD);
        if (handle) dlclose(handle);
        return handle != nullptr;
    }
};

TEST_F(Loader, LoadsByNameFromTheApplicationFolderAndCallsTheEntryPoint) {
    auto host = Install(kAppModule);
    SetLastError(0xdeadbeef);
    HMODULE module = LoadLibraryW(u"tamtestmod");
    ASSERT_NE(module, nullptr);
    EXPECT_TRUE(Mapped(host));
    EXPECT_EQ(FileName(module), kAppModule);
    EXPECT_EQ(GetModuleHandleW(u"TAMTESTMOD.DLL"), module);
    EXPECT_EQ(GetModuleHandleW(kAppModule), module);

    const LONG* calls = EntryCalls(module);
    ASSERT_NE(calls, nullptr);
    EXPECT_EQ(calls[DLL_PROCESS_ATTACH], 1);
    EXPECT_EQ(calls[DLL_PROCESS_DETACH], 0);
    EXPECT_EQ(w32::DebugLogText(), "TamTestMod PROCESS_ATTACH\n");
    // The entry point got the module's handle as its instance.
    auto instance = Proc<InstanceProc>(module, "TamInstance");
    ASSERT_NE(instance, nullptr);
    EXPECT_EQ(instance(), module);
    EXPECT_TRUE(FreeLibrary(module));
}

struct SearchCase {
    bool inApplication, inSystem, inWindows;
    const char16_t* expected;  // null: not found
};
const SearchCase kSearchCases[] = {
    {true, true, true, kAppModule},
    {false, true, true, kSystemModule},
    {false, false, true, kWindowsModule},
    {true, false, false, kAppModule},
    {false, false, false, nullptr},
};

void PrintTo(const SearchCase& c, std::ostream* os) {
    *os << "application " << c.inApplication << ", system " << c.inSystem << ", windows " << c.inWindows;
}

class LoaderSearch : public Loader, public testing::WithParamInterface<SearchCase> {};

TEST_P(LoaderSearch, TriesTheApplicationThenSystemThenWindowsFolder) {
    const auto& c = GetParam();
    if (c.inApplication) Install(kAppModule);
    if (c.inSystem) Install(kSystemModule);
    if (c.inWindows) Install(kWindowsModule);
    SetLastError(0xdeadbeef);
    HMODULE module = LoadLibraryW(u"TamTestMod.dll");
    if (!c.expected) {
        EXPECT_EQ(module, nullptr);
        EXPECT_EQ(GetLastError(), DWORD(ERROR_MOD_NOT_FOUND));
        return;
    }
    ASSERT_NE(module, nullptr);
    EXPECT_EQ(FileName(module), c.expected);
    auto add = Proc<AddProc>(module, "TamAdd");
    ASSERT_NE(add, nullptr);
    EXPECT_EQ(add(2, 3), 5);
    EXPECT_TRUE(FreeLibrary(module));
}

INSTANTIATE_TEST_SUITE_P(All, LoaderSearch, testing::ValuesIn(kSearchCases),
                         [](const testing::TestParamInfo<SearchCase>& info) {
                             const auto& c = info.param;
                             std::string name = std::string(c.inApplication ? "Application" : "") +
                                                (c.inSystem ? "System" : "") + (c.inWindows ? "Windows" : "");
                             return name.empty() ? std::string("Nowhere") : name;
                         });

TEST_F(Loader, FullPathLoadsOnlyThatFileInItsOnDiskSpelling) {
    Install(kSystemModule);
    SetLastError(0xdeadbeef);
    EXPECT_EQ(LoadLibraryW(kAppModule), nullptr);  // not searched elsewhere
    EXPECT_EQ(GetLastError(), DWORD(ERROR_MOD_NOT_FOUND));

    HMODULE module = LoadLibraryW(u"c:/windows//SYSTEM32\\tamtestmod.DLL");
    ASSERT_NE(module, nullptr);
    EXPECT_EQ(FileName(module), kSystemModule);
    // The same module again, by bare name and by another spelling.
    EXPECT_EQ(LoadLibraryW(u"TAMTESTMOD"), module);
    EXPECT_EQ(LoadLibraryW(kSystemModule), module);
    for (int i = 0; i < 3; ++i) EXPECT_TRUE(FreeLibrary(module));
    EXPECT_EQ(GetModuleHandleW(u"TamTestMod.dll"), nullptr);
}

TEST_F(Loader, ExportsByNameAndOrdinal) {
    Install(kAppModule);
    HMODULE module = LoadLibraryW(u"TamTestMod.dll");
    ASSERT_NE(module, nullptr);

    auto add = Proc<AddProc>(module, "TamAdd");
    ASSERT_NE(add, nullptr);
    EXPECT_EQ(add(40, 2), 42);
    EXPECT_EQ(Proc<AddProc>(module, MAKEINTRESOURCEA(1)), add);
    // An alias of the same function, with the lowest ordinal the .def left free.
    EXPECT_EQ(Proc<AddProc>(module, "TamSum"), add);
    EXPECT_EQ(Proc<AddProc>(module, MAKEINTRESOURCEA(5)), add);
    // Ordinal only.
    auto secret = Proc<IntProc>(module, MAKEINTRESOURCEA(7));
    ASSERT_NE(secret, nullptr);
    EXPECT_EQ(secret(), 4242);

    const char* missing[] = {"TamSecret",       // NONAME
                             "TamNotExported",  // default visibility, but not in the .def
                             "GetLastError",    // exported by a library the module links
                             "tamadd",          // names are compared exactly
                             "DllMain", ""};
    for (const char* name : missing) {
        SetLastError(0xdeadbeef);
        EXPECT_EQ(GetProcAddress(module, name), nullptr) << name;
        EXPECT_EQ(GetLastError(), DWORD(ERROR_PROC_NOT_FOUND)) << name;
    }
    for (WORD ordinal : {0, 6, 8, 0xFFFF}) {
        SetLastError(0xdeadbeef);
        EXPECT_EQ(GetProcAddress(module, MAKEINTRESOURCEA(ordinal)), nullptr) << ordinal;
        EXPECT_EQ(GetLastError(), DWORD(ERROR_PROC_NOT_FOUND)) << ordinal;
    }
    EXPECT_TRUE(FreeLibrary(module));
}

TEST_F(Loader, OnlyTheDefExportsAreDynamicSymbols) {
    auto host = Install(kAppModule);
    HMODULE module = LoadLibraryW(u"TamTestMod.dll");
    ASSERT_NE(module, nullptr);
    void* library = dlopen(host.c_str(), RTLD_NOW | RTLD_NOLOAD);
    ASSERT_NE(library, nullptr);
    EXPECT_NE(dlsym(library, "TamAdd"), nullptr);
    EXPECT_NE(dlsym(library, "TamEntryCalls"), nullptr);
    EXPECT_EQ(dlsym(library, "TamNotExported"), nullptr);
    EXPECT_EQ(dlsym(library, "TamSecret"), nullptr);
    dlclose(library);
    EXPECT_TRUE(FreeLibrary(module));
}

TEST_F(Loader, CountsReferencesAndUnloadsAtTheLast) {
    auto host = Install(kAppModule);
    HMODULE first = LoadLibraryW(u"TamTestMod.dll");
    HMODULE second = LoadLibraryW(kAppModule);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(second, first);
    auto next = Proc<IntProc>(first, "TamNextCount");
    ASSERT_NE(next, nullptr);
    EXPECT_EQ(next(), 1);
    EXPECT_EQ(next(), 2);
    EXPECT_EQ(EntryCalls(first)[DLL_PROCESS_ATTACH], 1);

    EXPECT_TRUE(FreeLibrary(second));
    EXPECT_EQ(GetModuleHandleW(u"TamTestMod.dll"), first);
    EXPECT_EQ(next(), 3);
    EXPECT_EQ(w32::DebugLogText(), "TamTestMod PROCESS_ATTACH\n");

    EXPECT_TRUE(FreeLibrary(first));
    EXPECT_EQ(w32::DebugLogText(), "TamTestMod PROCESS_ATTACH\nTamTestMod PROCESS_DETACH\n");
    EXPECT_FALSE(Mapped(host));
    SetLastError(0xdeadbeef);
    EXPECT_EQ(GetModuleHandleW(u"TamTestMod.dll"), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_MOD_NOT_FOUND));
    SetLastError(0xdeadbeef);
    EXPECT_FALSE(FreeLibrary(first));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_MOD_NOT_FOUND));

    // A fresh copy: its statics start again.
    HMODULE again = LoadLibraryW(u"TamTestMod.dll");
    ASSERT_NE(again, nullptr);
    next = Proc<IntProc>(again, "TamNextCount");
    ASSERT_NE(next, nullptr);
    EXPECT_EQ(next(), 1);
    EXPECT_EQ(EntryCalls(again)[DLL_PROCESS_ATTACH], 1);
    EXPECT_TRUE(FreeLibrary(again));
}

TEST_F(Loader, EntryPointRefusingTheAttachFailsTheLoad) {
    auto host = Install(u"C:\\Program Files\\Korvan\\TamFailInit.dll", "TamFailInit.dll");
    SetLastError(0xdeadbeef);
    EXPECT_EQ(LoadLibraryW(u"TamFailInit.dll"), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_DLL_INIT_FAILED));
    EXPECT_EQ(w32::DebugLogText(), "TamFailInit PROCESS_ATTACH\nTamFailInit PROCESS_DETACH\n");
    EXPECT_FALSE(Mapped(host));
    EXPECT_EQ(GetModuleHandleW(u"TamFailInit.dll"), nullptr);
}

TEST_F(Loader, LoadingAsDataRunsNoCode) {
    auto host = Install(kAppModule);
    for (DWORD flags : {LOAD_LIBRARY_AS_DATAFILE, LOAD_LIBRARY_AS_DATAFILE_EXCLUSIVE, LOAD_LIBRARY_AS_IMAGE_RESOURCE,
                        LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE}) {
        HMODULE module = LoadLibraryExW(u"TamTestMod.dll", nullptr, flags);
        ASSERT_NE(module, nullptr) << flags;
        EXPECT_FALSE(Mapped(host)) << flags;
        EXPECT_EQ(w32::DebugLogText(), "") << flags;
        SetLastError(0xdeadbeef);
        EXPECT_EQ(GetProcAddress(module, "TamAdd"), nullptr);
        EXPECT_EQ(GetLastError(), DWORD(ERROR_PROC_NOT_FOUND));
        // Not a loaded module for the name lookups, but its resources are there.
        EXPECT_EQ(GetModuleHandleW(u"TamTestMod.dll"), nullptr);
        EXPECT_EQ(GetModuleFileNameW(module, nullptr, 0), 0u);
        EXPECT_NE(FindResourceW(module, MAKEINTRESOURCEW(300), RT_RCDATA), nullptr);
        EXPECT_TRUE(FreeLibrary(module));
    }
    // Already loaded as code: the data load shares that module.
    HMODULE code = LoadLibraryW(u"TamTestMod.dll");
    ASSERT_NE(code, nullptr);
    EXPECT_EQ(LoadLibraryExW(u"TamTestMod.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE), code);
    EXPECT_TRUE(FreeLibrary(code));
    EXPECT_NE(GetModuleHandleW(u"TamTestMod.dll"), nullptr);
    EXPECT_TRUE(FreeLibrary(code));
    EXPECT_FALSE(Mapped(host));
}

TEST_F(Loader, RefusesWhatIsNoModuleOnTheDrive) {
    auto host = Install(kAppModule);
    std::filesystem::create_directories(HostPath(u"C:\\Program Files\\Korvan\\Folder.dll"));
    {
        std::ofstream text(HostPath(u"C:\\Program Files\\Korvan\\Text.dll"));
        text << "not a module";
    }
    struct Case {
        std::u16string name;
        DWORD error;
    };
    const Case cases[] = {
        {u"NoSuch.dll", ERROR_MOD_NOT_FOUND},
        {u"C:\\Program Files\\Korvan\\NoSuch.dll", ERROR_MOD_NOT_FOUND},
        {u"D:\\TamTestMod.dll", ERROR_MOD_NOT_FOUND},
        {u"TamTestMod.exe", ERROR_MOD_NOT_FOUND},
        {u"Folder.dll", ERROR_MOD_NOT_FOUND},
        // The built file itself is not on the machine's drive.
        {w32::FromUtf8(tam::test::BuiltFolder().string() + "/TamTestMod.dll"), ERROR_MOD_NOT_FOUND},
        {u"Text.dll", ERROR_BAD_EXE_FORMAT},
        {u"", ERROR_INVALID_PARAMETER},
    };
    for (const auto& c : cases) {
        SetLastError(0xdeadbeef);
        EXPECT_EQ(LoadLibraryW(c.name.c_str()), nullptr) << w32::ToUtf8(c.name);
        EXPECT_EQ(GetLastError(), c.error) << w32::ToUtf8(c.name);
    }
    SetLastError(0xdeadbeef);
    EXPECT_EQ(LoadLibraryExW(u"TamTestMod.dll", INVALID_HANDLE_VALUE, 0), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(LoadLibraryW(nullptr), nullptr);
    EXPECT_FALSE(Mapped(host));
}

TEST_F(Loader, LayerModulesLoadByBareNameWithoutFiles) {
    struct Case {
        const char16_t* name;
        const char* exported;  // a function of that module
        FARPROC expected;
    };
    const Case cases[] = {
        {u"kernel32.dll", "GetLastError", AsFarProc(&GetLastError)},
        {u"KERNEL32", "SetLastError", AsFarProc(&SetLastError)},
        {u"C:\\Windows\\System32\\Kernel32.dll", "LoadLibraryW", AsFarProc(&LoadLibraryW)},
    };
    for (const auto& c : cases) {
        HMODULE module = LoadLibraryW(c.name);
        ASSERT_NE(module, nullptr) << w32::ToUtf8(c.name);
        EXPECT_EQ(GetProcAddress(module, c.exported), c.expected);
        EXPECT_TRUE(FreeLibrary(module));
    }
    HMODULE kernel32 = GetModuleHandleW(u"kernel32.dll");
    ASSERT_NE(kernel32, nullptr);
    EXPECT_EQ(FileName(kernel32), u"C:\\Windows\\System32\\kernel32.dll");
    // The layer's modules stay loaded.
    EXPECT_EQ(GetProcAddress(kernel32, "GetLastError"), AsFarProc(&GetLastError));
    // Only the module's own exports: not those of libraries it links.
    for (const char* name : {"strlen", "dlopen", "CharUpperW"}) {
        SetLastError(0xdeadbeef);
        EXPECT_EQ(GetProcAddress(kernel32, name), nullptr) << name;
        EXPECT_EQ(GetLastError(), DWORD(ERROR_PROC_NOT_FOUND)) << name;
    }
}

// Every module the layer lists loads by its bare name, from the system
// folder, with its exports.
TEST_F(Loader, EveryLayerModuleLoadsByItsSystemName) {
    struct Case {
        const char16_t* name;
        const char* exported;
    };
    const Case cases[] = {
        {u"kernel32.dll", "GetLastError"},     {u"msvcrt.dll", "_snwprintf"},
        {u"advapi32.dll", "RegOpenKeyExW"},    {u"user32.dll", "wsprintfW"},
        {u"gdi32.dll", "CreateDCW"},           {u"shell32.dll", "SHGetFolderPathW"},
        {u"shlwapi.dll", "PathFileExistsW"},   {u"winspool.drv", "OpenPrinterW"},
        {u"hhctrl.ocx", "HtmlHelpW"},
    };
    for (const auto& c : cases) {
        HMODULE module = LoadLibraryW(c.name);
        ASSERT_NE(module, nullptr) << w32::ToUtf8(c.name);
        EXPECT_EQ(FileName(module), u"C:\\Windows\\System32\\" + std::u16string(c.name));
        EXPECT_NE(GetProcAddress(module, c.exported), nullptr) << c.exported;
        EXPECT_EQ(GetModuleHandleW(c.name), module);
        EXPECT_TRUE(FreeLibrary(module));
    }
}

// A system name the layer does not build is no module: neither LoadLibrary
// nor GetModuleHandle falls back to a module that is there (kernel32 for
// ntdll, advapi32 for userenv, winspool for spoolss, ...).
TEST_F(Loader, AnUnbuiltSystemNameIsNotFoundAndHasNoStandIn) {
    ASSERT_NE(LoadLibraryW(u"kernel32.dll"), nullptr);
    ASSERT_NE(LoadLibraryW(u"advapi32.dll"), nullptr);
    ASSERT_NE(LoadLibraryW(u"winspool.drv"), nullptr);
    for (const char16_t* name : {u"ntdll.dll", u"kernelbase.dll", u"version.dll", u"userenv.dll", u"spoolss.dll",
                                 u"comdlg32.dll", u"oleaut32", u"C:\\Windows\\System32\\version.dll"}) {
        SetLastError(0xdeadbeef);
        EXPECT_EQ(LoadLibraryW(name), nullptr) << w32::ToUtf8(name);
        EXPECT_EQ(GetLastError(), DWORD(ERROR_MOD_NOT_FOUND)) << w32::ToUtf8(name);
        SetLastError(0xdeadbeef);
        EXPECT_EQ(GetModuleHandleW(name), nullptr) << w32::ToUtf8(name);
        EXPECT_EQ(GetLastError(), DWORD(ERROR_MOD_NOT_FOUND)) << w32::ToUtf8(name);
        HMODULE handle = reinterpret_cast<HMODULE>(1);
        SetLastError(0xdeadbeef);
        EXPECT_FALSE(GetModuleHandleExW(0, name, &handle)) << w32::ToUtf8(name);
        EXPECT_EQ(GetLastError(), DWORD(ERROR_MOD_NOT_FOUND)) << w32::ToUtf8(name);
        EXPECT_EQ(handle, nullptr);
    }
}

TEST_F(Loader, ModuleFileNameTruncatesAndTerminates) {
    const std::u16string program = machine().Settings().programPath;
    const DWORD length = DWORD(program.size());
    struct Case {
        DWORD size;
        DWORD result;
        DWORD error;  // 0: unchanged
    };
    const Case cases[] = {
        {0, 0, ERROR_INSUFFICIENT_BUFFER},
        {1, 1, ERROR_INSUFFICIENT_BUFFER},
        {10, 10, ERROR_INSUFFICIENT_BUFFER},
        {length, length, ERROR_INSUFFICIENT_BUFFER},
        {length + 1, length, 0},
        {MAX_PATH, length, 0},
    };
    for (const auto& c : cases) {
        WCHAR buffer[MAX_PATH + 1];
        std::fill(std::begin(buffer), std::end(buffer), u'#');
        SetLastError(0xdeadbeef);
        EXPECT_EQ(GetModuleFileNameW(nullptr, buffer, c.size), c.result) << c.size;
        EXPECT_EQ(GetLastError(), c.error ? c.error : 0xdeadbeef) << c.size;
        if (c.size == 0) {
            EXPECT_EQ(buffer[0], u'#');
            continue;
        }
        DWORD copied = std::min(length, c.size - 1);
        EXPECT_EQ(std::u16string(buffer, copied), program.substr(0, copied)) << c.size;
        EXPECT_EQ(buffer[copied], u'\0') << c.size;
        EXPECT_EQ(buffer[copied + 1], u'#') << c.size;
    }
    char narrow[8];
    SetLastError(0xdeadbeef);
    EXPECT_EQ(GetModuleFileNameA(nullptr, narrow, sizeof(narrow)), DWORD(sizeof(narrow)));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_STREQ(narrow, "C:\\Prog");

    // The program's module is the machine's program, also by its file name.
    HMODULE program1 = GetModuleHandleW(nullptr);
    ASSERT_NE(program1, nullptr);
    EXPECT_EQ(GetModuleHandleW(u"TAMPRINT.EXE"), program1);
    EXPECT_EQ(FileName(program1), program);
    machine().MutableSettings().programPath = u"C:\\Tools\\other.exe";
    EXPECT_EQ(FileName(nullptr), u"C:\\Tools\\other.exe");

    SetLastError(0xdeadbeef);
    WCHAR buffer[MAX_PATH];
    EXPECT_EQ(GetModuleFileNameW(reinterpret_cast<HMODULE>(buffer), buffer, MAX_PATH), 0u);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_MOD_NOT_FOUND));
}

TEST_F(Loader, ModuleHandleExCountsPinsAndFindsByAddress) {
    Install(kAppModule);
    HMODULE module = LoadLibraryW(u"TamTestMod.dll");
    ASSERT_NE(module, nullptr);
    FARPROC add = GetProcAddress(module, "TamAdd");

    HMODULE found = nullptr;
    EXPECT_TRUE(GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                                   reinterpret_cast<LPCWSTR>(add), &found));
    EXPECT_EQ(found, module);
    HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(300), RT_RCDATA);
    ASSERT_NE(resource, nullptr);
    const void* data = LockResource(LoadResource(module, resource));
    EXPECT_TRUE(GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                                   static_cast<LPCWSTR>(data), &found));
    EXPECT_EQ(found, module);
    EXPECT_TRUE(GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                                   reinterpret_cast<LPCWSTR>(&GetLastError), &found));
    EXPECT_EQ(found, GetModuleHandleW(u"kernel32.dll"));

    // Without UNCHANGED_REFCOUNT the caller holds a reference.
    EXPECT_TRUE(GetModuleHandleExW(0, u"TamTestMod.dll", &found));
    EXPECT_EQ(found, module);
    EXPECT_TRUE(FreeLibrary(module));
    EXPECT_EQ(GetModuleHandleW(u"TamTestMod.dll"), module);
    // Pinned, it is never unloaded.
    EXPECT_TRUE(GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_PIN, u"TamTestMod.dll", &found));
    EXPECT_TRUE(FreeLibrary(module));
    EXPECT_EQ(GetModuleHandleW(u"TamTestMod.dll"), module);
    EXPECT_EQ(w32::DebugLogText(), "TamTestMod PROCESS_ATTACH\n");

    SetLastError(0xdeadbeef);
    found = module;
    EXPECT_FALSE(GetModuleHandleExW(0, u"NoSuch.dll", &found));
    EXPECT_EQ(found, nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_MOD_NOT_FOUND));
    SetLastError(0xdeadbeef);
    EXPECT_FALSE(GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_PIN | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                                    u"TamTestMod.dll", &found));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
}

DWORD WINAPI DoNothing(LPVOID) { return 0; }

void RunThread() {
    HANDLE thread = CreateThread(nullptr, 0, DoNothing, nullptr, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    EXPECT_EQ(WaitForSingleObject(thread, INFINITE), WAIT_OBJECT_0);
    CloseHandle(thread);
}

TEST_F(Loader, ThreadsAttachAndDetachUntilDisabled) {
    Install(kAppModule);
    HMODULE module = LoadLibraryW(u"TamTestMod.dll");
    ASSERT_NE(module, nullptr);
    const LONG* calls = EntryCalls(module);
    ASSERT_NE(calls, nullptr);

    RunThread();
    EXPECT_EQ(calls[DLL_THREAD_ATTACH], 1);
    EXPECT_EQ(calls[DLL_THREAD_DETACH], 1);

    EXPECT_TRUE(DisableThreadLibraryCalls(module));
    RunThread();
    EXPECT_EQ(calls[DLL_THREAD_ATTACH], 1);
    EXPECT_EQ(calls[DLL_THREAD_DETACH], 1);
    EXPECT_EQ(w32::DebugLogText(), "TamTestMod PROCESS_ATTACH\nTamTestMod THREAD_ATTACH\nTamTestMod THREAD_DETACH\n");
    EXPECT_TRUE(FreeLibrary(module));

    SetLastError(0xdeadbeef);
    EXPECT_FALSE(DisableThreadLibraryCalls(module));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_MOD_NOT_FOUND));
}

}  // namespace
