// Printers: adding, opening, reading, changing, listing and deleting them.
#include <windows.h>

#include "machine/paths.h"
#include "winspool/jobstore.h"
#include "winspool/packer.h"
#include "winspool/printhandle.h"
#include "winspool/spooler.h"
#include "winspool/store.h"

using namespace w32::spool;
using w32::RegistryKeyPtr;
using w32::RegistryValue;

namespace {

// --- Names and access ----------------------------------------------------------------

struct ParsedName {
    bool server = false;
    std::u16string printer;
};

// "" or null, "\\COMPUTER": the server; "Printer" or "\\COMPUTER\Printer": a
// printer of this machine. Names with a comma address ports, monitors and
// jobs ("Printer,Job 3", ",XcvMonitor Local Port"), which this spooler does
// not open yet.
DWORD ParsePrinterName(LPCWSTR name, ParsedName& parsed) {
    std::u16string_view text = name ? std::u16string_view(name) : std::u16string_view();
    if (text.size() >= 2 && text.substr(0, 2) == u"\\\\") {
        std::u16string_view rest = text.substr(2);
        size_t slash = rest.find(u'\\');
        if (!IsThisComputer(rest.substr(0, slash))) return ERROR_INVALID_PRINTER_NAME;
        text = slash == std::u16string_view::npos ? std::u16string_view() : rest.substr(slash + 1);
    }
    if (text.empty()) {
        parsed.server = true;
        return ERROR_SUCCESS;
    }
    size_t comma = text.find(u',');
    if (comma != std::u16string_view::npos) {
        std::u16string_view what = text.substr(comma + 1);
        while (!what.empty() && what.front() == u' ') what.remove_prefix(1);
        if (what.substr(0, 3) == u"Xcv" || what.substr(0, 4) == u"Job " || what.substr(0, 4) == u"Port")
            return ERROR_NOT_SUPPORTED;
        return ERROR_INVALID_PRINTER_NAME;
    }
    if (!IsValidPrinterName(text)) return ERROR_INVALID_PRINTER_NAME;
    parsed.printer = std::u16string(text);
    return ERROR_SUCCESS;
}

// The rights a handle gets, generic rights mapped as the spooler maps them;
// an administrator's rights are refused to other users.
DWORD GrantAccess(ACCESS_MASK desired, bool server, ACCESS_MASK& granted) {
    const ACCESS_MASK all = server ? SERVER_ALL_ACCESS : PRINTER_ALL_ACCESS;
    const ACCESS_MASK read = server ? SERVER_READ : PRINTER_READ;
    const ACCESS_MASK write = server ? SERVER_WRITE : PRINTER_WRITE;
    const ACCESS_MASK execute = server ? SERVER_EXECUTE : PRINTER_EXECUTE;
    ACCESS_MASK want = desired & ~(GENERIC_READ | GENERIC_WRITE | GENERIC_EXECUTE | GENERIC_ALL | MAXIMUM_ALLOWED);
    if (desired & GENERIC_READ) want |= read;
    if (desired & GENERIC_WRITE) want |= write;
    if (desired & GENERIC_EXECUTE) want |= execute;
    if (desired & GENERIC_ALL) want |= all;
    if (desired & MAXIMUM_ALLOWED) want |= IsAdministrator() ? all : read;
    if ((want & ~SYNCHRONIZE) == 0) want |= server ? SERVER_ACCESS_ENUMERATE : PRINTER_ACCESS_USE;
    const ACCESS_MASK adminRights =
        (server ? SERVER_ACCESS_ADMINISTER : PRINTER_ACCESS_ADMINISTER) | DELETE | WRITE_DAC | WRITE_OWNER;
    if ((want & adminRights) && !IsAdministrator()) return ERROR_ACCESS_DENIED;
    granted = want;
    return ERROR_SUCCESS;
}

// --- Checks of a caller's printer -------------------------------------------------------

DWORD CheckPorts(Call& call, std::u16string_view ports) {
    std::vector<std::u16string> list = SplitPorts(ports);
    if (list.empty()) return ERROR_UNKNOWN_PORT;
    for (const auto& port : list)
        if (!FindPort(call, port)) return ERROR_UNKNOWN_PORT;
    return ERROR_SUCCESS;
}

DWORD CheckDriver(Call& call, std::u16string_view driver) {
    Environment local;
    if (DWORD status = ResolveEnvironment(call, nullptr, local)) return status;
    return FindDriverKey(call, local, driver) ? ERROR_SUCCESS : ERROR_UNKNOWN_PRINTER_DRIVER;
}

// The print processor must be installed; winprint's data types are known,
// other processors' are taken on trust (their DLLs are not loaded).
DWORD CheckPrintProcessor(Call& call, std::u16string_view processor, std::u16string_view datatype) {
    Environment local;
    if (DWORD status = ResolveEnvironment(call, nullptr, local)) return status;
    if (!FindNamedSubkey(call.registry().Find(local.key, u"Print Processors"), processor))
        return ERROR_UNKNOWN_PRINTPROCESSOR;
    if (w32::NamesEqual(processor, kWinPrint) && !IsWinPrintDatatype(datatype)) return ERROR_INVALID_DATATYPE;
    return ERROR_SUCCESS;
}

DWORD CheckSeparatorFile(std::u16string_view file) {
    if (file.empty()) return ERROR_SUCCESS;
    std::u16string path(file);
    DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)
               ? ERROR_INVALID_SEPARATOR_FILE
               : ERROR_SUCCESS;
}

// Fills a record from a caller's PRINTER_INFO_2W and checks it. The record
// keeps its DEVMODE when the caller gives none.
DWORD TakePrinterInfo2(Call& call, const PRINTER_INFO_2W& info, PrinterRecord& r) {
    r.name = Text(info.pPrinterName);
    if (!IsValidPrinterName(r.name)) return ERROR_INVALID_PRINTER_NAME;
    r.driver = Text(info.pDriverName);
    if (DWORD status = CheckDriver(call, r.driver)) return status;
    r.port = Text(info.pPortName);
    if (DWORD status = CheckPorts(call, r.port)) return status;
    r.printProcessor = Text(info.pPrintProcessor);
    r.datatype = info.pDatatype && *info.pDatatype ? std::u16string(info.pDatatype) : u"RAW";
    if (DWORD status = CheckPrintProcessor(call, r.printProcessor, r.datatype)) return status;
    r.separatorFile = Text(info.pSepFile);
    if (DWORD status = CheckSeparatorFile(r.separatorFile)) return status;
    // Priority 0 asks for the lowest.
    if (info.Priority > MAX_PRIORITY || info.DefaultPriority > MAX_PRIORITY) return ERROR_INVALID_PRIORITY;
    r.priority = info.Priority ? info.Priority : MIN_PRIORITY;
    r.defaultPriority = info.DefaultPriority;
    constexpr DWORD kMinutesPerDay = 24 * 60;
    if (info.StartTime >= kMinutesPerDay || info.UntilTime >= kMinutesPerDay) return ERROR_INVALID_PARAMETER;
    r.startTime = info.StartTime;
    r.untilTime = info.UntilTime;
    r.shareName = Text(info.pShareName);
    if ((info.Attributes & PRINTER_ATTRIBUTE_SHARED) && r.shareName.empty()) return ERROR_INVALID_SHARENAME;
    if (info.pDevMode) {
        if (DWORD status = DevModeBytes(info.pDevMode, r.devMode)) return status;
    }
    r.comment = Text(info.pComment);
    r.location = Text(info.pLocation);
    r.parameters = Text(info.pParameters);
    // The printers of this spooler are its own: local, never network printers;
    // the default printer is the user's choice, not an attribute.
    r.attributes =
        (info.Attributes & ~(PRINTER_ATTRIBUTE_NETWORK | PRINTER_ATTRIBUTE_DEFAULT)) | PRINTER_ATTRIBUTE_LOCAL;
    return ERROR_SUCCESS;
}

PRINTER_INFO_2W ReadInfo2(const BYTE* data) {
    PRINTER_INFO_2W info;
    std::memcpy(&info, data, sizeof(info));
    return info;
}

// --- Filling the caller's buffer ---------------------------------------------------------

// The user's own DEVMODE when there is one, else the printer's.
const std::vector<BYTE>& EffectiveDevMode(const PrinterRecord& r) {
    return r.userDevMode.empty() ? r.devMode : r.userDevMode;
}

void Fill1(Packer& p, const PrinterRecord& r, PRINTER_INFO_1W& out) {
    out.Flags = PRINTER_ENUM_ICON8;
    out.pDescription = p.String(r.name + u"," + r.driver + u"," + r.location);
    out.pName = p.String(r.name);
    out.pComment = p.String(r.comment);
}

void Fill2(Packer& p, const PrinterRecord& r, PRINTER_INFO_2W& out) {
    out.pServerName = nullptr;  // a printer of this machine
    out.pPrinterName = p.String(r.name);
    out.pShareName = p.String(r.shareName);
    out.pPortName = p.String(r.port);
    out.pDriverName = p.String(r.driver);
    out.pComment = p.String(r.comment);
    out.pLocation = p.String(r.location);
    out.pDevMode = static_cast<LPDEVMODEW>(p.Bytes(EffectiveDevMode(r)));
    out.pSepFile = p.String(r.separatorFile);
    out.pPrintProcessor = p.String(r.printProcessor);
    out.pDatatype = p.String(r.datatype);
    out.pParameters = p.String(r.parameters);
    out.pSecurityDescriptor = nullptr;  // no security descriptors are kept
    out.Attributes = r.attributes;
    out.Priority = r.priority;
    out.DefaultPriority = r.defaultPriority;
    out.StartTime = r.startTime;
    out.UntilTime = r.untilTime;
    out.Status = r.status;
    out.cJobs = PrinterJobCount(r.name);
    out.AveragePPM = 0;
}

void Fill4(Packer& p, const PrinterRecord& r, PRINTER_INFO_4W& out) {
    out.pPrinterName = p.String(r.name);
    out.pServerName = nullptr;
    out.Attributes = r.attributes;
}

void Fill5(Packer& p, const PrinterRecord& r, PRINTER_INFO_5W& out) {
    out.pPrinterName = p.String(r.name);
    out.pPortName = p.String(r.port);
    out.Attributes = r.attributes;
    out.DeviceNotSelectedTimeout = r.deviceNotSelectedTimeout;
    out.TransmissionRetryTimeout = r.transmissionRetryTimeout;
}

void Fill6(Packer&, const PrinterRecord& r, PRINTER_INFO_6& out) { out.dwStatus = r.status; }

void Fill8(Packer& p, const PrinterRecord& r, PRINTER_INFO_8W& out) {
    out.pDevMode = static_cast<LPDEVMODEW>(p.Bytes(r.devMode));
}

void Fill9(Packer& p, const PrinterRecord& r, PRINTER_INFO_9W& out) {
    out.pDevMode = static_cast<LPDEVMODEW>(p.Bytes(r.userDevMode));
}

DWORD PackPrinters(const std::vector<PrinterRecord>& printers, DWORD level, LPBYTE buffer, DWORD size, LPDWORD needed,
                   LPDWORD returned) {
    switch (level) {
        case 1: return PackRecords<PRINTER_INFO_1W>(printers, Fill1, buffer, size, needed, returned);
        case 2: return PackRecords<PRINTER_INFO_2W>(printers, Fill2, buffer, size, needed, returned);
        case 4: return PackRecords<PRINTER_INFO_4W>(printers, Fill4, buffer, size, needed, returned);
        case 5: return PackRecords<PRINTER_INFO_5W>(printers, Fill5, buffer, size, needed, returned);
        case 6: return PackRecords<PRINTER_INFO_6>(printers, Fill6, buffer, size, needed, returned);
        case 8: return PackRecords<PRINTER_INFO_8W>(printers, Fill8, buffer, size, needed, returned);
        case 9: return PackRecords<PRINTER_INFO_9W>(printers, Fill9, buffer, size, needed, returned);
        // Security descriptors and directory publishing are not kept.
        case 3:
        case 7: return ERROR_NOT_SUPPORTED;
    }
    return ERROR_INVALID_LEVEL;
}

// --- Changes ---------------------------------------------------------------------------

// Gives a printer a new name: its key is copied under the new name and the
// old one removed; handles, the user's DEVMODE and the default follow.
DWORD RenamePrinter(Call& call, RegistryKeyPtr& key, const std::u16string& name) {
    if (w32::NamesEqual(name, key->Name())) return ERROR_SUCCESS;
    if (FindPrinterKey(call, name)) return ERROR_PRINTER_ALREADY_EXISTS;
    RegistryKeyPtr renamed;
    if (DWORD status = CreateSubkey(call, PrintersKey(call), name, renamed)) return status;
    CopyTree(call.registry(), key, renamed);
    std::u16string old = key->Name();
    std::vector<BYTE> userDevMode = ReadUserDevMode(call, old);
    bool wasDefault = w32::NamesEqual(ReadDefaultPrinter(call), old);
    call.registry().DeleteTree(key, true);
    RetargetPrinterHandles(key, renamed);
    RenamePrinterJobs(old, name);
    WriteUserDevMode(call, old, {});
    WriteUserDevMode(call, name, userDevMode);
    if (wasDefault) WriteDefaultPrinter(call, name);
    key = renamed;
    return ERROR_SUCCESS;
}

DWORD ApplyCommand(PrinterRecord& r, DWORD command, const BYTE* data) {
    switch (command) {
        case 0: return ERROR_SUCCESS;
        case PRINTER_CONTROL_PAUSE: r.status |= PRINTER_STATUS_PAUSED; return ERROR_SUCCESS;
        case PRINTER_CONTROL_RESUME: r.status &= ~DWORD(PRINTER_STATUS_PAUSED); return ERROR_SUCCESS;
        case PRINTER_CONTROL_PURGE: DeletePrinterJobs(r.name); return ERROR_SUCCESS;
        case PRINTER_CONTROL_SET_STATUS:
            if (!data) return ERROR_INVALID_PARAMETER;
            std::memcpy(&r.status, data, sizeof(DWORD));
            return ERROR_SUCCESS;
    }
    return ERROR_INVALID_PRINTER_COMMAND;
}

DWORD SetPrinterImpl(Call& call, HANDLE hPrinter, DWORD level, const BYTE* data, DWORD command) {
    PrinterHandlePtr handle;
    RegistryKeyPtr key;
    if (DWORD status = ResolvePrinter(call, hPrinter, handle, key)) return status;
    // The user's own DEVMODE is his to change; everything else is the administrator's.
    ACCESS_MASK needs = level == 9 && command == 0 ? PRINTER_ACCESS_USE : PRINTER_ACCESS_ADMINISTER;
    if ((handle->access & needs) != needs) return ERROR_ACCESS_DENIED;
    if (level != 0 && !data) return ERROR_INVALID_PARAMETER;
    if (level == 0 && command == 0) return ERROR_INVALID_PRINTER_COMMAND;
    PrinterRecord r = ReadPrinter(call, key);
    switch (level) {
        case 0: break;
        case 2: {
            PRINTER_INFO_2W info = ReadInfo2(data);
            PrinterRecord changed = r;
            if (DWORD status = TakePrinterInfo2(call, info, changed)) return status;
            if (DWORD status = RenamePrinter(call, key, changed.name)) return status;
            changed.name = key->Name();
            changed.status = r.status;  // status changes through commands and level 6
            changed.deviceNotSelectedTimeout = r.deviceNotSelectedTimeout;
            changed.transmissionRetryTimeout = r.transmissionRetryTimeout;
            r = std::move(changed);
            break;
        }
        case 5: {
            PRINTER_INFO_5W info;
            std::memcpy(&info, data, sizeof(info));
            if (DWORD status = CheckPorts(call, Text(info.pPortName))) return status;
            r.port = Text(info.pPortName);
            r.attributes =
                (info.Attributes & ~(PRINTER_ATTRIBUTE_NETWORK | PRINTER_ATTRIBUTE_DEFAULT)) | PRINTER_ATTRIBUTE_LOCAL;
            r.deviceNotSelectedTimeout = info.DeviceNotSelectedTimeout;
            r.transmissionRetryTimeout = info.TransmissionRetryTimeout;
            break;
        }
        case 6: std::memcpy(&r.status, data, sizeof(DWORD)); break;
        case 8:
        case 9: {
            PRINTER_INFO_8W info;
            std::memcpy(&info, data, sizeof(info));
            std::vector<BYTE> devMode;
            if (info.pDevMode) {
                if (DWORD status = DevModeBytes(info.pDevMode, devMode)) return status;
            } else if (level == 8) {
                return ERROR_INVALID_PARAMETER;
            }
            // Level 9 without a DEVMODE removes the user's own.
            if (level == 9) {
                WriteUserDevMode(call, r.name, devMode);
                return ApplyCommand(r, command, nullptr);
            }
            r.devMode = std::move(devMode);
            break;
        }
        case 3:
        case 7: return ERROR_NOT_SUPPORTED;
        default: return ERROR_INVALID_LEVEL;
    }
    if (DWORD status = ApplyCommand(r, command, level == 0 ? data : nullptr)) return status;
    WritePrinter(call, key, r);
    return ERROR_SUCCESS;
}

DWORD AddPrinterImpl(Call& call, LPCWSTR pName, DWORD level, const BYTE* data, HANDLE& result) {
    if (DWORD status = CheckAdministration(pName)) return status;
    if (level != 2) return ERROR_INVALID_LEVEL;
    if (!data) return ERROR_INVALID_PARAMETER;
    PRINTER_INFO_2W info = ReadInfo2(data);
    std::u16string name = Text(info.pPrinterName);
    if (!IsValidPrinterName(name)) return ERROR_INVALID_PRINTER_NAME;
    if (FindPrinterKey(call, name)) return ERROR_PRINTER_ALREADY_EXISTS;
    PrinterRecord r;
    if (DWORD status = TakePrinterInfo2(call, info, r)) return status;

    RegistryKeyPtr key;
    if (DWORD status = CreateSubkey(call, PrintersKey(call), name, key)) return status;
    WritePrinter(call, key, r);
    call.registry().Ensure(key, kPrinterDataKey);
    RepairDefaultPrinter(call);

    auto handle = std::make_shared<PrinterHandle>();
    handle->registry = call.registryPtr();
    handle->generation = SpoolerGeneration();
    handle->printer = key;
    handle->access = PRINTER_ALL_ACCESS;
    handle->datatype = r.datatype;
    result = InsertPrinterHandle(handle);
    return ERROR_SUCCESS;
}

DWORD OpenPrinterImpl(Call& call, LPCWSTR pPrinterName, const PRINTER_DEFAULTSW* defaults, HANDLE& result) {
    ParsedName parsed;
    if (DWORD status = ParsePrinterName(pPrinterName, parsed)) return status;
    RegistryKeyPtr key;
    if (!parsed.server) {
        key = FindPrinterKey(call, parsed.printer);
        if (!key) return ERROR_INVALID_PRINTER_NAME;
    }
    auto handle = std::make_shared<PrinterHandle>();
    if (DWORD status = GrantAccess(defaults ? defaults->DesiredAccess : 0, parsed.server, handle->access))
        return status;
    if (key) {
        PrinterRecord r = ReadPrinter(call, key);
        handle->datatype = r.datatype;
        if (defaults && defaults->pDatatype) {
            handle->datatype = defaults->pDatatype;
            if (w32::NamesEqual(r.printProcessor, kWinPrint) && !IsWinPrintDatatype(handle->datatype))
                return ERROR_INVALID_DATATYPE;
        }
        if (defaults && defaults->pDevMode) {
            if (DWORD status = DevModeBytes(defaults->pDevMode, handle->devMode)) return status;
        }
    }
    handle->registry = call.registryPtr();
    handle->generation = SpoolerGeneration();
    handle->server = parsed.server;
    handle->printer = key;
    result = InsertPrinterHandle(handle);
    return ERROR_SUCCESS;
}

DWORD DeletePrinterImpl(Call& call, HANDLE hPrinter) {
    PrinterHandlePtr handle;
    RegistryKeyPtr key;
    if (DWORD status = ResolvePrinter(call, hPrinter, handle, key)) return status;
    if (!(handle->access & DELETE) || !IsAdministrator()) return ERROR_ACCESS_DENIED;
    std::u16string name = key->Name();
    if (DWORD status = call.registry().DeleteTree(key, true)) return status;
    WriteUserDevMode(call, name, {});
    RepairDefaultPrinter(call);
    return ERROR_SUCCESS;
}

DWORD EnumPrintersImpl(Call& call, DWORD flags, LPCWSTR name, DWORD level, LPBYTE buffer, DWORD size, LPDWORD needed,
                       LPDWORD returned) {
    if (DWORD status = CheckBufferArguments(buffer, size, needed, returned, true)) return status;
    if (level != 1 && level != 2 && level != 4 && level != 5) return ERROR_INVALID_LEVEL;
    if (level == 4 && (flags & ~DWORD(PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS))) return ERROR_INVALID_FLAGS;
    if ((flags & PRINTER_ENUM_NAME) && CheckServerName(name)) return ERROR_INVALID_NAME;
    // This machine's printers are its local ones; it has no connections to
    // other servers' printers and sees no network.
    bool local = flags & (PRINTER_ENUM_LOCAL | PRINTER_ENUM_NAME | PRINTER_ENUM_SHARED);
    std::vector<PrinterRecord> printers;
    if (flags & PRINTER_ENUM_DEFAULT) {
        std::u16string current = ReadDefaultPrinter(call);
        if (RegistryKeyPtr key = current.empty() ? nullptr : FindPrinterKey(call, current))
            printers.push_back(ReadPrinter(call, key));
    } else if (local) {
        for (const auto& key : PrinterKeys(call)) {
            PrinterRecord r = ReadPrinter(call, key);
            if ((flags & PRINTER_ENUM_SHARED) && !(r.attributes & PRINTER_ATTRIBUTE_SHARED)) continue;
            printers.push_back(std::move(r));
        }
    }
    return PackPrinters(printers, level, buffer, size, needed, returned);
}

}  // namespace

// --- The functions -----------------------------------------------------------------------

BOOL WINAPI OpenPrinterW(LPCWSTR pPrinterName, LPHANDLE phPrinter, LPPRINTER_DEFAULTSW pDefault) {
    if (phPrinter) *phPrinter = nullptr;
    return RunBool([&](Call& call) -> DWORD {
        if (!phPrinter) return ERROR_INVALID_PARAMETER;
        HANDLE handle = nullptr;
        DWORD status = OpenPrinterImpl(call, pPrinterName, pDefault, handle);
        if (!status) *phPrinter = handle;
        return status;
    });
}

// The handle is released even when the spooler has gone away, as the client
// side of a handle is.
BOOL WINAPI ClosePrinter(HANDLE hPrinter) {
    Call call;
    DWORD status = call.Begin();
    if (!status) {
        PrinterHandlePtr handle;
        RegistryKeyPtr key;
        status = ResolveHandle(call, hPrinter, handle, key);
        if (status == ERROR_PRINTER_DELETED) status = ERROR_SUCCESS;
        // A document still open ends as EndDocPrinter would end it.
        if (!status && handle->job) {
            EndJob(*handle->job);
            handle->job.reset();
        }
    }
    if (!RemovePrinterHandle(hPrinter) && !status) status = ERROR_INVALID_HANDLE;
    return EndBool(call, status);
}

HANDLE WINAPI AddPrinterW(LPCWSTR pName, DWORD Level, LPBYTE pPrinter) {
    Call call;
    DWORD status = call.Begin();
    HANDLE handle = nullptr;
    if (!status) status = AddPrinterImpl(call, pName, Level, pPrinter, handle);
    status = call.Finish(status);
    if (status) {
        if (handle) RemovePrinterHandle(handle);
        SetLastError(status);
        return nullptr;
    }
    return handle;
}

BOOL WINAPI DeletePrinter(HANDLE hPrinter) {
    return RunBool([&](Call& call) { return DeletePrinterImpl(call, hPrinter); });
}

BOOL WINAPI GetPrinterW(HANDLE hPrinter, DWORD Level, LPBYTE pPrinter, DWORD cbBuf, LPDWORD pcbNeeded) {
    return RunBool([&](Call& call) {
        if (DWORD status = CheckBufferArguments(pPrinter, cbBuf, pcbNeeded, nullptr, false)) return status;
        PrinterHandlePtr handle;
        RegistryKeyPtr key;
        if (DWORD status = ResolvePrinter(call, hPrinter, handle, key)) return status;
        return PackPrinters({ReadPrinter(call, key)}, Level, pPrinter, cbBuf, pcbNeeded, nullptr);
    });
}

BOOL WINAPI SetPrinterW(HANDLE hPrinter, DWORD Level, LPBYTE pPrinter, DWORD Command) {
    return RunBool([&](Call& call) { return SetPrinterImpl(call, hPrinter, Level, pPrinter, Command); });
}

BOOL WINAPI EnumPrintersW(DWORD Flags, LPCWSTR Name, DWORD Level, LPBYTE pPrinterEnum, DWORD cbBuf, LPDWORD pcbNeeded,
                          LPDWORD pcReturned) {
    return RunBool([&](Call& call) {
        return EnumPrintersImpl(call, Flags, Name, Level, pPrinterEnum, cbBuf, pcbNeeded, pcReturned);
    });
}

BOOL WINAPI GetDefaultPrinterW(LPWSTR pszBuffer, LPDWORD pcchBuffer) {
    return RunBool([&](Call& call) -> DWORD {
        if (!pcchBuffer) return ERROR_INVALID_PARAMETER;
        std::u16string name = ReadDefaultPrinter(call);
        if (name.empty()) return ERROR_FILE_NOT_FOUND;
        DWORD length = DWORD(name.size() + 1);
        bool fits = pszBuffer && *pcchBuffer >= length;
        *pcchBuffer = length;
        if (!fits) return ERROR_INSUFFICIENT_BUFFER;
        std::memcpy(pszBuffer, name.c_str(), length * sizeof(WCHAR));
        return ERROR_SUCCESS;
    });
}

// Null or empty keeps a default that exists, or makes the first printer the default.
BOOL WINAPI SetDefaultPrinterW(LPCWSTR pszPrinter) {
    return RunBool([&](Call& call) -> DWORD {
        if (!pszPrinter || !*pszPrinter) {
            RepairDefaultPrinter(call);
            return ReadDefaultPrinter(call).empty() ? ERROR_INVALID_PRINTER_NAME : ERROR_SUCCESS;
        }
        RegistryKeyPtr key = FindPrinterKey(call, pszPrinter);
        if (!key) return ERROR_INVALID_PRINTER_NAME;
        WriteDefaultPrinter(call, key->Name());
        return ERROR_SUCCESS;
    });
}
