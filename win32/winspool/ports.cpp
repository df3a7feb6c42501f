// Port monitors and their ports.
#include <windows.h>

#include "machine/paths.h"
#include "winspool/packer.h"
#include "winspool/spooler.h"
#include "winspool/store.h"

using namespace w32::spool;
using w32::RegistryKeyPtr;
using w32::RegistryValue;

namespace {

struct MonitorView {
    std::u16string name;
    std::u16string environment;
    std::u16string dll;
};

std::vector<MonitorView> ListMonitors(Call& call) {
    std::vector<MonitorView> monitors;
    RegistryKeyPtr key = call.Find(kMonitorsKey);
    for (size_t i = 0; key && i < key->SubkeyCount(); ++i) {
        RegistryKeyPtr monitor = key->SubkeyAt(i);
        monitors.push_back(MonitorView{monitor->Name(), LocalEnvironmentName(), ReadString(monitor, u"Driver")});
    }
    return monitors;
}

void FillPort1(Packer& p, const PortRecord& r, PORT_INFO_1W& out) { out.pName = p.String(r.name); }

void FillPort2(Packer& p, const PortRecord& r, PORT_INFO_2W& out) {
    out.pPortName = p.String(r.name);
    out.pMonitorName = p.String(r.monitor);
    out.pDescription = p.String(r.description);
    out.fPortType = r.type;
    out.Reserved = 0;
}

void FillMonitor1(Packer& p, const MonitorView& m, MONITOR_INFO_1W& out) { out.pName = p.String(m.name); }

void FillMonitor2(Packer& p, const MonitorView& m, MONITOR_INFO_2W& out) {
    out.pName = p.String(m.name);
    out.pEnvironment = p.String(m.environment);
    out.pDLLName = p.String(m.dll);
}

// Monitors serve the machine's own environment only.
DWORD CheckMonitorEnvironment(LPCWSTR environment) {
    if (!environment || !*environment || w32::NamesEqual(environment, LocalEnvironmentName())) return ERROR_SUCCESS;
    return ERROR_INVALID_ENVIRONMENT;
}

// EnumPortsW and EnumMonitorsW: what `list` gives, at level 1 or 2.
template <class Item, class Info1, class Info2>
DWORD EnumLevels1And2(Call& call, LPCWSTR pName, DWORD level, std::vector<Item> (*list)(Call&),
                      void (*fill1)(Packer&, const Item&, Info1&), void (*fill2)(Packer&, const Item&, Info2&),
                      LPBYTE buffer, DWORD size, LPDWORD needed, LPDWORD returned) {
    if (DWORD status = CheckBufferArguments(buffer, size, needed, returned, true)) return status;
    if (DWORD status = CheckServerName(pName)) return status;
    std::vector<Item> items = list(call);
    if (level == 1) return PackRecords<Info1>(items, fill1, buffer, size, needed, returned);
    if (level == 2) return PackRecords<Info2>(items, fill2, buffer, size, needed, returned);
    return ERROR_INVALID_LEVEL;
}

bool PortInUse(Call& call, std::u16string_view port) {
    for (const auto& printer : PrinterKeys(call))
        for (const auto& used : SplitPorts(ReadString(printer, u"Port")))
            if (w32::NamesEqual(used, port)) return true;
    return false;
}

DWORD AddPortImpl(Call& call, LPCWSTR pName, DWORD level, const BYTE* data, LPCWSTR monitorName) {
    if (DWORD status = CheckAdministration(pName)) return status;
    if (level != 1) return ERROR_INVALID_LEVEL;
    if (!data) return ERROR_INVALID_PARAMETER;
    PORT_INFO_1W info;
    std::memcpy(&info, data, sizeof(info));
    std::u16string port = Text(info.pName);
    RegistryKeyPtr monitorKey = FindNamedSubkey(call.Find(kMonitorsKey), Text(monitorName));
    if (!monitorKey) return ERROR_UNKNOWN_PRINT_MONITOR;
    // A local port may be a file's path; other monitors keep a key per port.
    bool local = w32::NamesEqual(monitorKey->Name(), kLocalPortMonitor);
    if (port.empty() || port.find(u',') != std::u16string::npos || (!local && !IsKeyName(port)))
        return ERROR_INVALID_PARAMETER;
    if (FindPort(call, port)) return ERROR_ALREADY_EXISTS;
    if (local) {
        call.registry().SetString(call.Ensure(kLocalPortsKey), port, u"");
    } else {
        RegistryKeyPtr key;
        if (DWORD status = CreateSubkey(call, call.registry().Ensure(monitorKey, u"Ports"), port, key)) return status;
    }
    return ERROR_SUCCESS;
}

DWORD DeletePortImpl(Call& call, LPCWSTR pName, LPCWSTR portName) {
    if (DWORD status = CheckAdministration(pName)) return status;
    PortRecord port;
    if (!portName || !FindPort(call, portName, &port)) return ERROR_UNKNOWN_PORT;
    if (PortInUse(call, port.name)) return ERROR_BUSY;
    if (w32::NamesEqual(port.monitor, kLocalPortMonitor)) {
        RegistryKeyPtr local = call.Find(kLocalPortsKey);
        return local ? DWORD(call.registry().DeleteValue(local, port.name)) : DWORD(ERROR_UNKNOWN_PORT);
    }
    RegistryKeyPtr monitors = call.Find(kMonitorsKey);
    RegistryKeyPtr key = monitors ? call.registry().Find(monitors, port.monitor + u"\\Ports\\" + port.name) : nullptr;
    return key ? DWORD(call.registry().DeleteTree(key, true)) : DWORD(ERROR_UNKNOWN_PORT);
}

DWORD AddMonitorImpl(Call& call, LPCWSTR pName, DWORD level, const BYTE* data) {
    if (DWORD status = CheckAdministration(pName)) return status;
    if (level != 2) return ERROR_INVALID_LEVEL;
    if (!data) return ERROR_INVALID_PARAMETER;
    MONITOR_INFO_2W info;
    std::memcpy(&info, data, sizeof(info));
    std::u16string name = Text(info.pName), dll = Text(info.pDLLName);
    if (!IsKeyName(name) || dll.empty()) return ERROR_INVALID_PARAMETER;
    if (DWORD status = CheckMonitorEnvironment(info.pEnvironment)) return status;
    return AddDllRecord(call, MonitorsKey(call), name, dll, ERROR_PRINT_MONITOR_ALREADY_INSTALLED);
}

DWORD DeleteMonitorImpl(Call& call, LPCWSTR pName, LPCWSTR environment, LPCWSTR monitorName) {
    if (DWORD status = CheckAdministration(pName)) return status;
    if (DWORD status = CheckMonitorEnvironment(environment)) return status;
    RegistryKeyPtr key = FindNamedSubkey(call.Find(kMonitorsKey), Text(monitorName));
    if (!key) return ERROR_UNKNOWN_PRINT_MONITOR;
    // In use while a printer prints to one of its ports or a driver names it
    // as its language monitor.
    for (const auto& port : ListPorts(call))
        if (w32::NamesEqual(port.monitor, key->Name()) && PortInUse(call, port.name)) return ERROR_PRINT_MONITOR_IN_USE;
    for (const auto& environmentInfo : AllEnvironments(call)) {
        RegistryKeyPtr drivers = DriversKey(call, environmentInfo, false);
        for (size_t i = 0; drivers && i < drivers->SubkeyCount(); ++i)
            if (w32::NamesEqual(ReadString(drivers->SubkeyAt(i), u"Monitor"), key->Name()))
                return ERROR_PRINT_MONITOR_IN_USE;
    }
    return DWORD(call.registry().DeleteTree(key, true));
}

}  // namespace

BOOL WINAPI EnumPortsW(LPCWSTR pName, DWORD Level, LPBYTE pPort, DWORD cbBuf, LPDWORD pcbNeeded, LPDWORD pcReturned) {
    return RunBool([&](Call& call) {
        return EnumLevels1And2(call, pName, Level, ListPorts, FillPort1, FillPort2, pPort, cbBuf, pcbNeeded,
                               pcReturned);
    });
}

// Windows asks the user for the new port's name through the monitor's
// dialog; no monitor here has one. AddPortExW adds a port without asking.
BOOL WINAPI AddPortW(LPCWSTR pName, HWND, LPCWSTR) {
    return RunBool([&](Call&) {
        DWORD status = CheckServerName(pName);
        return status ? status : DWORD(ERROR_NOT_SUPPORTED);
    });
}

BOOL WINAPI AddPortExW(LPCWSTR pName, DWORD Level, LPBYTE lpBuffer, LPCWSTR lpMonitorName) {
    return RunBool([&](Call& call) { return AddPortImpl(call, pName, Level, lpBuffer, lpMonitorName); });
}

// Removes the port without asking (the monitors here have no dialogs).
BOOL WINAPI DeletePortW(LPCWSTR pName, HWND, LPCWSTR pPortName) {
    return RunBool([&](Call& call) { return DeletePortImpl(call, pName, pPortName); });
}

BOOL WINAPI EnumMonitorsW(LPCWSTR pName, DWORD Level, LPBYTE pMonitor, DWORD cbBuf, LPDWORD pcbNeeded,
                          LPDWORD pcReturned) {
    return RunBool([&](Call& call) {
        return EnumLevels1And2(call, pName, Level, ListMonitors, FillMonitor1, FillMonitor2, pMonitor, cbBuf, pcbNeeded,
                               pcReturned);
    });
}

BOOL WINAPI AddMonitorW(LPCWSTR pName, DWORD Level, LPBYTE pMonitors) {
    return RunBool([&](Call& call) { return AddMonitorImpl(call, pName, Level, pMonitors); });
}

BOOL WINAPI DeleteMonitorW(LPCWSTR pName, LPCWSTR pEnvironment, LPCWSTR pMonitorName) {
    return RunBool([&](Call& call) { return DeleteMonitorImpl(call, pName, pEnvironment, pMonitorName); });
}
