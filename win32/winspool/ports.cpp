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

bool PortInUse(Call& call, std::u16string_view port) {
    for (const auto& printer : PrinterKeys(call))
        for (const auto& used : SplitPorts(ReadString(printer, u"Port")))
            if (w32::NamesEqual(used, port)) return true;
    return false;
}

DWORD AddPortImpl(Call& call, LPCWSTR pName, DWORD level, const BYTE* data, LPCWSTR monitorName) {
    if (DWORD status = CheckServerName(pName)) return status;
    if (!IsAdministrator()) return ERROR_ACCESS_DENIED;
    if (level != 1) return ERROR_INVALID_LEVEL;
    if (!data) return ERROR_INVALID_PARAMETER;
    PORT_INFO_1W info;
    std::memcpy(&info, data, sizeof(info));
    std::u16string port = Text(info.pName);
    std::u16string monitor = Text(monitorName);
    RegistryKeyPtr monitors = call.Find(kMonitorsKey);
    RegistryKeyPtr monitorKey = monitors && !monitor.empty() && monitor.find(u'\\') == std::u16string::npos
                                    ? monitors->FindSubkey(monitor)
                                    : nullptr;
    if (!monitorKey) return ERROR_UNKNOWN_PRINT_MONITOR;
    // A local port may be a file's path; other monitors keep a key per port.
    bool local = w32::NamesEqual(monitorKey->Name(), kLocalPortMonitor);
    if (port.empty() || port.find(u',') != std::u16string::npos ||
        (!local && (port.find(u'\\') != std::u16string::npos || port.size() > w32::kMaxKeyNameLength)))
        return ERROR_INVALID_PARAMETER;
    if (FindPort(call, port)) return ERROR_ALREADY_EXISTS;
    if (local) {
        call.registry().SetString(call.Ensure(kLocalPortsKey), port, u"");
    } else {
        RegistryKeyPtr ports = call.registry().Ensure(monitorKey, u"Ports");
        RegistryKeyPtr key;
        bool created = false;
        if (DWORD status = call.registry().CreateSubkey(ports, port, false, u"", key, created)) return status;
    }
    return ERROR_SUCCESS;
}

DWORD DeletePortImpl(Call& call, LPCWSTR pName, LPCWSTR portName) {
    if (DWORD status = CheckServerName(pName)) return status;
    if (!IsAdministrator()) return ERROR_ACCESS_DENIED;
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
    if (DWORD status = CheckServerName(pName)) return status;
    if (!IsAdministrator()) return ERROR_ACCESS_DENIED;
    if (level != 2) return ERROR_INVALID_LEVEL;
    if (!data) return ERROR_INVALID_PARAMETER;
    MONITOR_INFO_2W info;
    std::memcpy(&info, data, sizeof(info));
    std::u16string name = Text(info.pName), dll = Text(info.pDLLName);
    if (name.empty() || dll.empty() || name.find(u'\\') != std::u16string::npos || name.size() > w32::kMaxKeyNameLength)
        return ERROR_INVALID_PARAMETER;
    if (DWORD status = CheckMonitorEnvironment(info.pEnvironment)) return status;
    // The monitor's DLL is recorded, not loaded.
    RegistryKeyPtr monitors = MonitorsKey(call);
    if (monitors->FindSubkey(name)) return ERROR_PRINT_MONITOR_ALREADY_INSTALLED;
    RegistryKeyPtr key;
    bool created = false;
    if (DWORD status = call.registry().CreateSubkey(monitors, name, false, u"", key, created)) return status;
    call.registry().SetString(key, u"Driver", dll);
    return ERROR_SUCCESS;
}

DWORD DeleteMonitorImpl(Call& call, LPCWSTR pName, LPCWSTR environment, LPCWSTR monitorName) {
    if (DWORD status = CheckServerName(pName)) return status;
    if (!IsAdministrator()) return ERROR_ACCESS_DENIED;
    if (DWORD status = CheckMonitorEnvironment(environment)) return status;
    std::u16string name = Text(monitorName);
    RegistryKeyPtr monitors = call.Find(kMonitorsKey);
    RegistryKeyPtr key =
        monitors && !name.empty() && name.find(u'\\') == std::u16string::npos ? monitors->FindSubkey(name) : nullptr;
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
    Call call;
    DWORD status = call.Begin();
    if (!status) status = CheckBufferArguments(pPort, cbBuf, pcbNeeded, pcReturned, true);
    if (!status) status = CheckServerName(pName);
    if (!status) {
        std::vector<PortRecord> ports = ListPorts(call);
        if (Level == 1) {
            status = PackRecords<PORT_INFO_1W>(ports, FillPort1, pPort, cbBuf, pcbNeeded, pcReturned);
        } else if (Level == 2) {
            status = PackRecords<PORT_INFO_2W>(ports, FillPort2, pPort, cbBuf, pcbNeeded, pcReturned);
        } else {
            status = ERROR_INVALID_LEVEL;
        }
    }
    return EndBool(call, status);
}

// Windows asks the user for the new port's name through the monitor's
// dialog; no monitor here has one. AddPortExW adds a port without asking.
BOOL WINAPI AddPortW(LPCWSTR pName, HWND, LPCWSTR) {
    Call call;
    DWORD status = call.Begin();
    if (!status) status = CheckServerName(pName);
    if (!status) status = ERROR_NOT_SUPPORTED;
    return EndBool(call, status);
}

BOOL WINAPI AddPortExW(LPCWSTR pName, DWORD Level, LPBYTE lpBuffer, LPCWSTR lpMonitorName) {
    Call call;
    DWORD status = call.Begin();
    if (!status) status = AddPortImpl(call, pName, Level, lpBuffer, lpMonitorName);
    return EndBool(call, status);
}

// Removes the port without asking (the monitors here have no dialogs).
BOOL WINAPI DeletePortW(LPCWSTR pName, HWND, LPCWSTR pPortName) {
    Call call;
    DWORD status = call.Begin();
    if (!status) status = DeletePortImpl(call, pName, pPortName);
    return EndBool(call, status);
}

BOOL WINAPI EnumMonitorsW(LPCWSTR pName, DWORD Level, LPBYTE pMonitor, DWORD cbBuf, LPDWORD pcbNeeded,
                          LPDWORD pcReturned) {
    Call call;
    DWORD status = call.Begin();
    if (!status) status = CheckBufferArguments(pMonitor, cbBuf, pcbNeeded, pcReturned, true);
    if (!status) status = CheckServerName(pName);
    if (!status) {
        std::vector<MonitorView> monitors = ListMonitors(call);
        if (Level == 1) {
            status = PackRecords<MONITOR_INFO_1W>(monitors, FillMonitor1, pMonitor, cbBuf, pcbNeeded, pcReturned);
        } else if (Level == 2) {
            status = PackRecords<MONITOR_INFO_2W>(monitors, FillMonitor2, pMonitor, cbBuf, pcbNeeded, pcReturned);
        } else {
            status = ERROR_INVALID_LEVEL;
        }
    }
    return EndBool(call, status);
}

BOOL WINAPI AddMonitorW(LPCWSTR pName, DWORD Level, LPBYTE pMonitors) {
    Call call;
    DWORD status = call.Begin();
    if (!status) status = AddMonitorImpl(call, pName, Level, pMonitors);
    return EndBool(call, status);
}

BOOL WINAPI DeleteMonitorW(LPCWSTR pName, LPCWSTR pEnvironment, LPCWSTR pMonitorName) {
    Call call;
    DWORD status = call.Begin();
    if (!status) status = DeleteMonitorImpl(call, pName, pEnvironment, pMonitorName);
    return EndBool(call, status);
}
