// Print processors: the registry records of the DLLs that turn a job's data
// into what the port receives.
#include <windows.h>

#include "machine/paths.h"
#include "winspool/packer.h"
#include "winspool/spooler.h"
#include "winspool/store.h"

using namespace w32::spool;
using w32::RegistryKeyPtr;
using w32::RegistryValue;

namespace {

void Fill1(Packer& p, const std::u16string& name, PRINTPROCESSOR_INFO_1W& out) { out.pName = p.String(name); }

DWORD EnumImpl(Call& call, LPCWSTR pName, LPCWSTR pEnvironment, DWORD level, LPBYTE buffer, DWORD size, LPDWORD needed,
               LPDWORD returned) {
    if (DWORD status = CheckBufferArguments(buffer, size, needed, returned, true)) return status;
    if (DWORD status = CheckServerName(pName)) return status;
    Environment environment;
    if (DWORD status = ResolveEnvironment(call, pEnvironment, environment)) return status;
    if (level != 1) return ERROR_INVALID_LEVEL;
    std::vector<std::u16string> names;
    RegistryKeyPtr key = call.registry().Find(environment.key, u"Print Processors");
    for (size_t i = 0; key && i < key->SubkeyCount(); ++i) names.push_back(key->SubkeyAt(i)->Name());
    return PackRecords<PRINTPROCESSOR_INFO_1W>(names, Fill1, buffer, size, needed, returned);
}

// The DLL must already be in the environment's print-processor folder, as
// Windows requires; it is recorded, not loaded.
DWORD AddImpl(Call& call, LPCWSTR pName, LPCWSTR pEnvironment, LPCWSTR pPathName, LPCWSTR pProcessorName) {
    if (DWORD status = CheckAdministration(pName)) return status;
    Environment environment;
    if (DWORD status = ResolveEnvironment(call, pEnvironment, environment)) return status;
    std::u16string name = Text(pProcessorName), file = Text(pPathName);
    if (!IsKeyName(name) || file.empty() || file.find_first_of(u"\\/:") != std::u16string::npos)
        return ERROR_INVALID_PARAMETER;
    std::u16string path = PrintProcessorDirectory(environment) + u"\\" + file;
    DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) return ERROR_FILE_NOT_FOUND;
    return AddDllRecord(call, PrintProcessorsKey(call, environment), name, file,
                        ERROR_PRINT_PROCESSOR_ALREADY_INSTALLED);
}

DWORD DeleteImpl(Call& call, LPCWSTR pName, LPCWSTR pEnvironment, LPCWSTR pProcessorName) {
    if (DWORD status = CheckAdministration(pName)) return status;
    Environment environment;
    if (DWORD status = ResolveEnvironment(call, pEnvironment, environment)) return status;
    RegistryKeyPtr key =
        FindNamedSubkey(call.registry().Find(environment.key, u"Print Processors"), Text(pProcessorName));
    if (!key) return ERROR_UNKNOWN_PRINTPROCESSOR;
    // A processor that printers use cannot be removed.
    if (PrintersUse(call, environment, u"Print Processor", key->Name())) return ERROR_CAN_NOT_COMPLETE;
    return DWORD(call.registry().DeleteTree(key, true));
}

}  // namespace

BOOL WINAPI EnumPrintProcessorsW(LPCWSTR pName, LPCWSTR pEnvironment, DWORD Level, LPBYTE pPrintProcessorInfo,
                                 DWORD cbBuf, LPDWORD pcbNeeded, LPDWORD pcReturned) {
    return RunBool([&](Call& call) {
        return EnumImpl(call, pName, pEnvironment, Level, pPrintProcessorInfo, cbBuf, pcbNeeded, pcReturned);
    });
}

BOOL WINAPI AddPrintProcessorW(LPCWSTR pName, LPCWSTR pEnvironment, LPCWSTR pPathName, LPCWSTR pPrintProcessorName) {
    return RunBool([&](Call& call) { return AddImpl(call, pName, pEnvironment, pPathName, pPrintProcessorName); });
}

BOOL WINAPI DeletePrintProcessorW(LPCWSTR pName, LPCWSTR pEnvironment, LPCWSTR pPrintProcessorName) {
    return RunBool([&](Call& call) { return DeleteImpl(call, pName, pEnvironment, pPrintProcessorName); });
}
