#include "winspool/store.h"

#include <cstring>

#include "machine/paths.h"

namespace w32::spool {

namespace {

void WriteQword(Registry& registry, const RegistryKeyPtr& key, std::u16string_view name, ULONGLONG value) {
    registry.SetValue(key, name, REG_QWORD, &value, sizeof(value));
}

ULONGLONG ReadQword(const RegistryKeyPtr& key, std::u16string_view name) {
    const RegistryValue* value = key->FindValue(name);
    ULONGLONG result = 0;
    if (value && value->type == REG_QWORD && value->data.size() == sizeof(result))
        std::memcpy(&result, value->data.data(), sizeof(result));
    return result;
}

// Sets a string value, or removes it when empty, so that a record written
// again does not keep a value the new one lacks.
void WriteOptional(Registry& registry, const RegistryKeyPtr& key, std::u16string_view name, std::u16string_view value) {
    if (value.empty()) {
        registry.DeleteValue(key, name);
    } else {
        registry.SetString(key, name, value);
    }
}

}  // namespace

bool IsValidPrinterName(std::u16string_view name) {
    return !name.empty() && name.size() <= kMaxPrinterName && name.find_first_of(u"\\,") == std::u16string_view::npos;
}

// --- Printers --------------------------------------------------------------------

RegistryKeyPtr PrintersKey(Call& call) { return call.Ensure(kPrintersKey); }

RegistryKeyPtr FindPrinterKey(Call& call, std::u16string_view name) {
    if (!IsValidPrinterName(name)) return nullptr;
    RegistryKeyPtr printers = call.Find(kPrintersKey);
    return printers ? printers->FindSubkey(name) : nullptr;
}

std::vector<RegistryKeyPtr> PrinterKeys(Call& call) {
    std::vector<RegistryKeyPtr> keys;
    RegistryKeyPtr printers = call.Find(kPrintersKey);
    for (size_t i = 0; printers && i < printers->SubkeyCount(); ++i) keys.push_back(printers->SubkeyAt(i));
    return keys;
}

PrinterRecord ReadPrinter(Call& call, const RegistryKeyPtr& key) {
    PrinterRecord r;
    r.name = key->Name();
    r.shareName = ReadString(key, u"Share Name");
    r.port = ReadString(key, u"Port");
    r.driver = ReadString(key, u"Printer Driver");
    r.comment = ReadString(key, u"Description");
    r.location = ReadString(key, u"Location");
    r.separatorFile = ReadString(key, u"Separator File");
    r.printProcessor = ReadString(key, u"Print Processor");
    r.datatype = ReadString(key, u"Datatype");
    r.parameters = ReadString(key, u"Parameters");
    r.attributes = ReadDword(key, u"Attributes", 0);
    r.priority = ReadDword(key, u"Priority", 1);
    r.defaultPriority = ReadDword(key, u"Default Priority", 0);
    r.startTime = ReadDword(key, u"StartTime", 0);
    r.untilTime = ReadDword(key, u"UntilTime", 0);
    r.status = ReadDword(key, u"Status", 0);
    r.deviceNotSelectedTimeout = ReadDword(key, u"dnsTimeout", 15000);
    r.transmissionRetryTimeout = ReadDword(key, u"txTimeout", 45000);
    r.devMode = ReadBinary(key, u"Default DevMode");
    r.userDevMode = ReadUserDevMode(call, r.name);
    return r;
}

void WritePrinter(Call& call, const RegistryKeyPtr& key, const PrinterRecord& r) {
    Registry& registry = call.registry();
    registry.SetString(key, u"Name", key->Name());
    registry.SetString(key, u"Share Name", r.shareName);
    registry.SetString(key, u"Port", r.port);
    registry.SetString(key, u"Printer Driver", r.driver);
    registry.SetString(key, u"Description", r.comment);
    registry.SetString(key, u"Location", r.location);
    registry.SetString(key, u"Separator File", r.separatorFile);
    registry.SetString(key, u"Print Processor", r.printProcessor);
    registry.SetString(key, u"Datatype", r.datatype);
    registry.SetString(key, u"Parameters", r.parameters);
    registry.SetDword(key, u"Attributes", r.attributes);
    registry.SetDword(key, u"Priority", r.priority);
    registry.SetDword(key, u"Default Priority", r.defaultPriority);
    registry.SetDword(key, u"StartTime", r.startTime);
    registry.SetDword(key, u"UntilTime", r.untilTime);
    registry.SetDword(key, u"Status", r.status);
    registry.SetDword(key, u"dnsTimeout", r.deviceNotSelectedTimeout);
    registry.SetDword(key, u"txTimeout", r.transmissionRetryTimeout);
    if (r.devMode.empty()) {
        registry.DeleteValue(key, u"Default DevMode");
    } else {
        WriteBinary(registry, key, u"Default DevMode", r.devMode);
    }
}

std::vector<std::u16string> SplitPorts(std::u16string_view ports) {
    std::vector<std::u16string> result;
    size_t start = 0;
    while (start <= ports.size()) {
        size_t end = ports.find(u',', start);
        if (end == std::u16string_view::npos) end = ports.size();
        std::u16string_view port = ports.substr(start, end - start);
        while (!port.empty() && port.front() == u' ') port.remove_prefix(1);
        while (!port.empty() && port.back() == u' ') port.remove_suffix(1);
        if (!port.empty()) result.emplace_back(port);
        start = end + 1;
    }
    return result;
}

bool PrintersUse(Call& call, const Environment& environment, std::u16string_view valueName, std::u16string_view name) {
    if (!NamesEqual(environment.name, LocalEnvironmentName())) return false;
    for (const auto& printer : PrinterKeys(call))
        if (NamesEqual(ReadString(printer, valueName), name)) return true;
    return false;
}

std::vector<BYTE> ReadUserDevMode(Call& call, std::u16string_view printer) {
    RegistryKeyPtr user = call.User();
    RegistryKeyPtr key = user ? call.registry().Find(user, kUserDevModesKey) : nullptr;
    return key ? ReadBinary(key, printer) : std::vector<BYTE>();
}

void WriteUserDevMode(Call& call, std::u16string_view printer, const std::vector<BYTE>& devMode) {
    RegistryKeyPtr user = call.User();
    if (!user) return;
    if (devMode.empty()) {
        if (RegistryKeyPtr key = call.registry().Find(user, kUserDevModesKey))
            call.registry().DeleteValue(key, printer);
        return;
    }
    RegistryKeyPtr key = call.registry().Ensure(user, kUserDevModesKey);
    if (key) WriteBinary(call.registry(), key, printer, devMode);
}

std::u16string ReadDefaultPrinter(Call& call) {
    RegistryKeyPtr user = call.User();
    std::u16string device = ReadString(user ? call.registry().Find(user, kUserWindowsKey) : nullptr, u"Device");
    return device.substr(0, device.find(u','));
}

void WriteDefaultPrinter(Call& call, std::u16string_view printer) {
    RegistryKeyPtr user = call.User();
    RegistryKeyPtr key = user ? call.registry().Ensure(user, kUserWindowsKey) : nullptr;
    if (!key) return;
    if (printer.empty()) {
        call.registry().DeleteValue(key, u"Device");
    } else {
        // "name,winspool,port" is the form profile readers of [windows] device expect.
        call.registry().SetString(key, u"Device", std::u16string(printer) + u",winspool,Ne00:");
    }
}

void RepairDefaultPrinter(Call& call) {
    std::u16string current = ReadDefaultPrinter(call);
    if (!current.empty() && FindPrinterKey(call, current)) return;
    std::vector<RegistryKeyPtr> printers = PrinterKeys(call);
    WriteDefaultPrinter(call, printers.empty() ? std::u16string() : printers.front()->Name());
}

// --- Drivers ---------------------------------------------------------------------

std::vector<std::u16string> DriverRecord::Files() const {
    std::vector<std::u16string> files;
    auto add = [&](const std::u16string& file) {
        if (file.empty()) return;
        for (const auto& known : files)
            if (NamesEqual(known, file)) return;
        files.push_back(file);
    };
    add(driverFile);
    add(dataFile);
    add(configFile);
    add(helpFile);
    for (const auto& file : dependentFiles) add(file);
    return files;
}

RegistryKeyPtr DriversKey(Call& call, const Environment& environment, bool create) {
    std::u16string path = u"Drivers\\" + std::u16string(kDriverVersionKey);
    return create ? call.registry().Ensure(environment.key, path) : call.registry().Find(environment.key, path);
}

RegistryKeyPtr FindDriverKey(Call& call, const Environment& environment, std::u16string_view name) {
    return FindNamedSubkey(DriversKey(call, environment, false), name);
}

DriverRecord ReadDriver(const Environment& environment, const RegistryKeyPtr& key) {
    DriverRecord r;
    r.name = key->Name();
    r.environment = environment.name;
    r.version = ReadDword(key, u"Version", kDriverVersion);
    r.driverFile = ReadString(key, u"Driver");
    r.dataFile = ReadString(key, u"Data File");
    r.configFile = ReadString(key, u"Configuration File");
    r.helpFile = ReadString(key, u"Help File");
    r.dependentFiles = ReadMultiString(key, u"Dependent Files");
    r.monitor = ReadString(key, u"Monitor");
    r.datatype = ReadString(key, u"Datatype");
    r.previousNames = ReadMultiString(key, u"Previous Names");
    std::vector<BYTE> date = ReadBinary(key, u"DriverDateData");
    if (date.size() == sizeof(FILETIME)) std::memcpy(&r.date, date.data(), sizeof(FILETIME));
    r.driverVersion = ReadQword(key, u"DriverVersion");
    r.manufacturer = ReadString(key, u"Manufacturer");
    r.oemUrl = ReadString(key, u"OEM URL");
    r.hardwareId = ReadString(key, u"HardwareID");
    r.provider = ReadString(key, u"Provider");
    return r;
}

void WriteDriver(Call& call, const RegistryKeyPtr& key, const DriverRecord& r) {
    Registry& registry = call.registry();
    registry.SetDword(key, u"Version", r.version);
    registry.SetString(key, u"Driver", r.driverFile);
    registry.SetString(key, u"Data File", r.dataFile);
    registry.SetString(key, u"Configuration File", r.configFile);
    WriteOptional(registry, key, u"Help File", r.helpFile);
    WriteMultiString(registry, key, u"Dependent Files", r.dependentFiles);
    WriteOptional(registry, key, u"Monitor", r.monitor);
    WriteOptional(registry, key, u"Datatype", r.datatype);
    WriteMultiString(registry, key, u"Previous Names", r.previousNames);
    std::vector<BYTE> date(sizeof(FILETIME));
    std::memcpy(date.data(), &r.date, sizeof(FILETIME));
    WriteBinary(registry, key, u"DriverDateData", date);
    WriteQword(registry, key, u"DriverVersion", r.driverVersion);
    WriteOptional(registry, key, u"Manufacturer", r.manufacturer);
    WriteOptional(registry, key, u"OEM URL", r.oemUrl);
    WriteOptional(registry, key, u"HardwareID", r.hardwareId);
    WriteOptional(registry, key, u"Provider", r.provider);
}

// --- Ports -----------------------------------------------------------------------

RegistryKeyPtr MonitorsKey(Call& call) { return call.Ensure(kMonitorsKey); }

std::vector<PortRecord> ListPorts(Call& call) {
    std::vector<PortRecord> ports;
    RegistryKeyPtr monitors = call.Find(kMonitorsKey);
    for (size_t m = 0; monitors && m < monitors->SubkeyCount(); ++m) {
        RegistryKeyPtr monitor = monitors->SubkeyAt(m);
        const std::u16string& name = monitor->Name();
        if (NamesEqual(name, kLocalPortMonitor)) {
            RegistryKeyPtr local = call.Find(kLocalPortsKey);
            for (size_t i = 0; local && i < local->ValueCount(); ++i)
                ports.push_back(PortRecord{local->ValueAt(i)->name, name, name, PORT_TYPE_WRITE});
        } else if (RegistryKeyPtr own = monitor->FindSubkey(u"Ports")) {
            for (size_t i = 0; i < own->SubkeyCount(); ++i)
                ports.push_back(PortRecord{own->SubkeyAt(i)->Name(), name, name, PORT_TYPE_WRITE});
        }
    }
    return ports;
}

bool FindPort(Call& call, std::u16string_view name, PortRecord* port) {
    for (auto& candidate : ListPorts(call)) {
        if (NamesEqual(candidate.name, name)) {
            if (port) *port = std::move(candidate);
            return true;
        }
    }
    return false;
}

// --- Print processors --------------------------------------------------------------

RegistryKeyPtr PrintProcessorsKey(Call& call, const Environment& environment) {
    return call.registry().Ensure(environment.key, u"Print Processors");
}

// --- Monitors and print processors ----------------------------------------------------

DWORD AddDllRecord(Call& call, const RegistryKeyPtr& parent, std::u16string_view name, std::u16string_view dll,
                   DWORD existsError) {
    if (parent->FindSubkey(name)) return existsError;
    RegistryKeyPtr key;
    if (DWORD status = CreateSubkey(call, parent, name, key)) return status;
    call.registry().SetString(key, u"Driver", dll);
    return ERROR_SUCCESS;
}

}  // namespace w32::spool
