// Modules and resources: loading libraries, exports, resources and string tables.
//
// A module is found as Windows finds it (a full path as given; else the
// program's folder, the system folder, the Windows folder and the current
// directory; ".dll" is added to a name without extension). A code module is a
// shared library carrying a .dll name; its resources are the .res file of the
// same base name beside it. A resource-only module (a language DLL) is just a
// .res file under the module's name. The layer's own system modules
// (kernel32.dll, shell32.dll, winspool.drv, ...) load by bare name.
#pragma once
#include "winbase.h"
#include "winresrc.h"

// Reasons an entry point is called with.
#define DLL_PROCESS_DETACH 0
#define DLL_PROCESS_ATTACH 1
#define DLL_THREAD_ATTACH 2
#define DLL_THREAD_DETACH 3

// The entry point of a module, when the module names one. Declared here with
// C linkage so that a module's definition gets it too.
extern "C" BOOL WINAPI DllMain(HINSTANCE hinstDLL, DWORD fdwReason, LPVOID lpvReserved);

// LoadLibraryEx flags.
#define DONT_RESOLVE_DLL_REFERENCES 0x00000001
#define LOAD_LIBRARY_AS_DATAFILE 0x00000002
#define LOAD_WITH_ALTERED_SEARCH_PATH 0x00000008
#define LOAD_IGNORE_CODE_AUTHZ_LEVEL 0x00000010
#define LOAD_LIBRARY_AS_IMAGE_RESOURCE 0x00000020
#define LOAD_LIBRARY_AS_DATAFILE_EXCLUSIVE 0x00000040
#define LOAD_LIBRARY_REQUIRE_SIGNED_TARGET 0x00000080
#define LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR 0x00000100
#define LOAD_LIBRARY_SEARCH_APPLICATION_DIR 0x00000200
#define LOAD_LIBRARY_SEARCH_USER_DIRS 0x00000400
#define LOAD_LIBRARY_SEARCH_SYSTEM32 0x00000800
#define LOAD_LIBRARY_SEARCH_DEFAULT_DIRS 0x00001000

// GetModuleHandleEx flags.
#define GET_MODULE_HANDLE_EX_FLAG_PIN 0x00000001
#define GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT 0x00000002
#define GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS 0x00000004

WINBASEAPI HMODULE WINAPI LoadLibraryW(LPCWSTR lpLibFileName);
WINBASEAPI HMODULE WINAPI LoadLibraryA(LPCSTR lpLibFileName);
// As data (LOAD_LIBRARY_AS_DATAFILE, _EXCLUSIVE, AS_IMAGE_RESOURCE) only the
// module's resources are loaded: no code runs and no entry point is called.
// hFile must be NULL.
WINBASEAPI HMODULE WINAPI LoadLibraryExW(LPCWSTR lpLibFileName, HANDLE hFile, DWORD dwFlags);
WINBASEAPI HMODULE WINAPI LoadLibraryExA(LPCSTR lpLibFileName, HANDLE hFile, DWORD dwFlags);
// Counts down the module's references; at the last one the entry point gets
// DLL_PROCESS_DETACH and the module is unloaded. The layer's system modules
// and the program stay loaded.
WINBASEAPI BOOL WINAPI FreeLibrary(HMODULE hLibModule);
WINBASEAPI __attribute__((noreturn)) void WINAPI FreeLibraryAndExitThread(HMODULE hLibModule, DWORD dwExitCode);
WINBASEAPI BOOL WINAPI DisableThreadLibraryCalls(HMODULE hLibModule);

// NULL names the program. Modules loaded as data are not found.
WINBASEAPI HMODULE WINAPI GetModuleHandleW(LPCWSTR lpModuleName);
WINBASEAPI HMODULE WINAPI GetModuleHandleA(LPCSTR lpModuleName);
WINBASEAPI BOOL WINAPI GetModuleHandleExW(DWORD dwFlags, LPCWSTR lpModuleName, HMODULE* phModule);
// The module's path on the machine (NULL: the program's). A short buffer gets
// the path cut to nSize - 1 characters and terminated; the function then
// returns nSize and sets ERROR_INSUFFICIENT_BUFFER.
WINBASEAPI DWORD WINAPI GetModuleFileNameW(HMODULE hModule, LPWSTR lpFilename, DWORD nSize);
WINBASEAPI DWORD WINAPI GetModuleFileNameA(HMODULE hModule, LPSTR lpFilename, DWORD nSize);
// By name, or by ordinal with MAKEINTRESOURCEA(ordinal).
WINBASEAPI FARPROC WINAPI GetProcAddress(HMODULE hModule, LPCSTR lpProcName);
#define LoadLibrary LoadLibraryW
#define LoadLibraryEx LoadLibraryExW
#define GetModuleHandle GetModuleHandleW
#define GetModuleHandleEx GetModuleHandleExW
#define GetModuleFileName GetModuleFileNameW

// Resources. A name or type is a string or MAKEINTRESOURCE(id); "#123" is
// the id 123. Without a language (or with LANG_NEUTRAL), and when the
// requested language is missing, the first present of these is taken: the
// language asked for, its primary language with SUBLANG_NEUTRAL, then with
// SUBLANG_DEFAULT, LANG_NEUTRAL, the user's UI language (and its primary
// language with SUBLANG_NEUTRAL and SUBLANG_DEFAULT), English (US), then the
// first language the resource has. HRSRC and HGLOBAL values point into the
// module's loaded resources and stay valid until the module is freed.
WINBASEAPI HRSRC WINAPI FindResourceW(HMODULE hModule, LPCWSTR lpName, LPCWSTR lpType);
WINBASEAPI HRSRC WINAPI FindResourceExW(HMODULE hModule, LPCWSTR lpType, LPCWSTR lpName, WORD wLanguage);
WINBASEAPI HRSRC WINAPI FindResourceA(HMODULE hModule, LPCSTR lpName, LPCSTR lpType);
WINBASEAPI HRSRC WINAPI FindResourceExA(HMODULE hModule, LPCSTR lpType, LPCSTR lpName, WORD wLanguage);
WINBASEAPI HGLOBAL WINAPI LoadResource(HMODULE hModule, HRSRC hResInfo);
WINBASEAPI LPVOID WINAPI LockResource(HGLOBAL hResData);
WINBASEAPI DWORD WINAPI SizeofResource(HMODULE hModule, HRSRC hResInfo);
// Resources need no freeing: always returns FALSE.
WINBASEAPI BOOL WINAPI FreeResource(HGLOBAL hResData);
#define FindResource FindResourceW
#define FindResourceEx FindResourceExW

// Enumeration, names before ids (names in order without regard to case,
// ids ascending), languages ascending. A callback that returns FALSE stops
// it: the function then returns FALSE with ERROR_RESOURCE_ENUM_USER_STOP.
typedef BOOL(CALLBACK* ENUMRESTYPEPROCW)(HMODULE hModule, LPWSTR lpType, LONG_PTR lParam);
typedef BOOL(CALLBACK* ENUMRESNAMEPROCW)(HMODULE hModule, LPCWSTR lpType, LPWSTR lpName, LONG_PTR lParam);
typedef BOOL(CALLBACK* ENUMRESLANGPROCW)(HMODULE hModule, LPCWSTR lpType, LPCWSTR lpName, WORD wLanguage,
                                         LONG_PTR lParam);
WINBASEAPI BOOL WINAPI EnumResourceTypesW(HMODULE hModule, ENUMRESTYPEPROCW lpEnumFunc, LONG_PTR lParam);
WINBASEAPI BOOL WINAPI EnumResourceNamesW(HMODULE hModule, LPCWSTR lpType, ENUMRESNAMEPROCW lpEnumFunc,
                                          LONG_PTR lParam);
WINBASEAPI BOOL WINAPI EnumResourceLanguagesW(HMODULE hModule, LPCWSTR lpType, LPCWSTR lpName,
                                              ENUMRESLANGPROCW lpEnumFunc, LONG_PTR lParam);
#define EnumResourceTypes EnumResourceTypesW
#define EnumResourceNames EnumResourceNamesW
#define EnumResourceLanguages EnumResourceLanguagesW
