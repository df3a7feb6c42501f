/* The table that a module built with tam_module (cmake/TamModules.cmake)
   carries: its exports with their ordinals, and its entry point. The build
   generates it from the module's .def file as the exported symbol
   `tam_module_info`; the loader reads it with dlsym. A module without the
   table is still loaded: its exports are then its dynamic symbols, reachable
   by name only, and it has no entry point. Plain C, as the generated source is. */
#ifndef TAM_KERNEL32_MODULEINFO_H
#define TAM_KERNEL32_MODULEINFO_H

#ifdef __cplusplus
extern "C" {
#endif

#define TAM_MODULE_INFO_SYMBOL "tam_module_info"
#define TAM_MODULE_INFO_VERSION 1

/* Export flags. */
#define TAM_EXPORT_NONAME 0x0001 /* reachable by ordinal only */
#define TAM_EXPORT_DATA 0x0002   /* a variable, not a function */

typedef struct TamModuleExport {
    unsigned short ordinal;
    unsigned short flags;
    const char* name; /* the export name as the .def gives it */
    void* address;
} TamModuleExport;

/* Called as DllMain: (HINSTANCE, DWORD reason, LPVOID reserved) -> BOOL. */
typedef int (*TamModuleEntry)(void* instance, unsigned int reason, void* reserved);

typedef struct TamModuleInfo {
    unsigned int version;
    unsigned int exportCount;
    const TamModuleExport* exports;
    TamModuleEntry entry; /* NULL when the module names none */
    const char* entryName;
} TamModuleInfo;

#ifdef __cplusplus
}
#endif

#endif
