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

bool IsKeyName(const std::u16string& name) {
    return !name.empty() && name.size() <= w32::kMaxKeyNameLength && name.find(u'\\') == std::u16string::npos;
}

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
    if (DWORD status = CheckServerName(pName)) return status;
    if (!IsAdministrator()) return ERROR_ACCESS_DENIED;
    Environment environment;
    if (DWORD status = ResolveEnvironment(call, pEnvironment, environment)) return status;
    std::u16string name = Text(pProcessorName), file = Text(pPathName);
    if (!IsKeyName(name) || file.empty() || file.find_first_of(u"\\/:") != std::u16string::npos)
        return ERROR_INVALID_PARAMETER;
    std::u16string path = PrintProcessorDirectory(environment) + u"\\" + file;
    DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) return ERROR_FILE_NOT_FOUND;
    RegistryKeyPtr processors = PrintProcessorsKey(call, environment);
    if (processors->FindSubkey(name)) return ERROR_PRINT_PROCESSOR_ALREADY_INSTALLED;
    RegistryKeyPtr key;
    bool created = false;
    if (DWORD status = call.registry().CreateSubkey(processors, name, false, u"", key, created)) return status;
    call.registry().SetString(key, u"Driver", file);
    return ERROR_SUCCESS;
}

DWORD DeleteImpl(Call& call, LPCWSTR pName, LPCWSTR pEnvironment, LPCWSTR pProcessorName) {
    if (DWORD status = CheckServerName(pName)) return status;
    if (!IsAdministrator()) return ERROR_ACCESS_DENIED;
    Environment environment;
    if (DWORD status = ResolveEnvironment(call, pEnvironment, environment)) return status;
    std::u16string name = Text(pProcessorName);
    RegistryKeyPtr processors = call.registry().Find(environment.key, u"Print Processors");
    RegistryKeyPtr key = processors && IsKeyName(name) ? processors->FindSubkey(name) : nullptr;
    if (!key) return ERROR_UNKNOWN_PRINTPROCESSOR;
    // A processor that printers use cannot be removed.
    if (w32::NamesEqual(environment.name, LocalEnvironmentName())) {
        for (const auto& printer : PrinterKeys(call))
            if (w32::NamesEqual(ReadString(printer, u"Print Processor"), key->Name())) return ERROR_CAN_NOT_COMPLETE;
    }
    return DWORD(call.registry().DeleteTree(key, true));
}

}  // namespace

BOOL WINAPI EnumPrintProcessorsW(LPCWSTR pName, LPCWSTR pEnvironment, DWORD Level, LPBYTE pPrintProcessorInfo,
                                 DWORD cbBuf, LPDWORD pcbNeeded, LPDWORD pcReturned) {
    Call call;
    DWORD status = call.Begin();
    if (!status) status = EnumImpl(call, pName, pEnvironment, Level, pPrintProcessorInfo, cbBuf, pcbNeeded, pcReturned);
    return EndBool(call, status);
}

BOOL WINAPI AddPrintProcessorW(LPCWSTR pName, LPCWSTR pEnvironment, LPCWSTR pPathName, LPCWSTR pPrintProcessorName) {
    Call call;
    DWORD status = call.Begin();
    if (!status) status = AddImpl(call, pName, pEnvironment, pPathName, pPrintProcessorName);
    return EndBool(call, status);
}

BOOL WINAPI DeletePrintProcessorW(LPCWSTR pName, LPCWSTR pEnvironment, LPCWSTR pPrintProcessorName) {
    Call call;
    DWORD status = call.Begin();
    if (!status) status = DeleteImpl(call, pName, pEnvironment, pPrintProcessorName);
    return EndBool(call, status);
}
