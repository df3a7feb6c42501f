#include "winspool/spooler.h"

#include <cstring>
#include <mutex>

#include "machine/machine.h"
#include "machine/paths.h"
#include "machine/unicode.h"
#include "winspool/jobstore.h"

namespace w32 {

namespace {

std::mutex gStateLock;
bool gRunning = true;
uint64_t gGeneration = 1;

void Restart() {
    std::lock_guard lock(gStateLock);
    gRunning = true;
    ++gGeneration;
}

// What a fresh Windows installation's spooler has: the standard monitors
// with the local ports, and the winprint print processor in every
// environment.
void LayOut(Registry& registry) {
    Registry::Batch batch(registry);
    RegistryKeyPtr hklm = registry.LocalMachine();
    RegistryKeyPtr print = registry.Ensure(hklm, spool::kPrintKey);
    RegistryKeyPtr printers = registry.Ensure(print, u"Printers");
    registry.SetString(printers, u"DefaultSpoolDirectory", u"C:\\Windows\\System32\\spool\\PRINTERS");

    RegistryKeyPtr monitors = registry.Ensure(print, u"Monitors");
    registry.SetString(registry.Ensure(monitors, spool::kLocalPortMonitor), u"Driver", u"localspl.dll");
    RegistryKeyPtr tcp = registry.Ensure(monitors, u"Standard TCP/IP Port");
    registry.SetString(tcp, u"Driver", u"tcpmon.dll");
    RegistryKeyPtr tcpPorts = registry.Ensure(tcp, u"Ports");
    registry.SetDword(tcpPorts, u"StatusUpdateEnabled", 1);
    registry.SetDword(tcpPorts, u"StatusUpdateInterval", 10);
    registry.SetString(registry.Ensure(monitors, u"USB Monitor"), u"Driver", u"usbmon.dll");

    RegistryKeyPtr ports = registry.Ensure(hklm, spool::kLocalPortsKey);
    registry.SetString(ports, u"LPT1:", u"");
    registry.SetString(ports, u"COM1:", u"9600,n,8,1");
    registry.SetString(ports, u"FILE:", u"");
    registry.SetString(ports, u"PORTPROMPT:", u"");

    RegistryKeyPtr environments = registry.Ensure(print, u"Environments");
    for (size_t i = 0; i < environments->SubkeyCount(); ++i) {
        RegistryKeyPtr environment = environments->SubkeyAt(i);
        registry.Ensure(environment, std::u16string(u"Drivers\\") + std::u16string(spool::kDriverVersionKey));
        RegistryKeyPtr winprint =
            registry.Ensure(environment, std::u16string(u"Print Processors\\") + std::u16string(spool::kWinPrint));
        registry.SetString(winprint, u"Driver", u"winprint.dll");
    }
    if (RegistryKeyPtr user = registry.CurrentUser()) registry.Ensure(user, spool::kUserWindowsKey);
}

class SpoolerComponent final : public MachineComponent {
public:
    // After the registry, which holds the spooler's state.
    int Rank() const override { return 30; }
    void Create(Machine&) override {
        if (auto registry = Registry::Current()) LayOut(*registry);
        Restart();
    }
    // A machine made by a program that did not have the spooler gets the
    // spooler's keys the first time a program with it opens the machine.
    void Open(Machine&) override {
        if (auto registry = Registry::Current()) {
            if (!registry->Find(registry->LocalMachine(), spool::kLocalPortsKey)) LayOut(*registry);
        }
        Restart();
    }
    void Close(Machine&) override {
        std::lock_guard lock(gStateLock);
        ++gGeneration;
    }
};

SpoolerComponent gComponent;
[[maybe_unused]] const bool gRegistered = (RegisterMachineComponent(&gComponent), true);

}  // namespace

void SetSpoolerRunning(bool running) {
    Machine::Current();
    bool stopped = false;
    {
        std::lock_guard lock(gStateLock);
        stopped = gRunning && !running;
        if (stopped) ++gGeneration;
        gRunning = running;
    }
    // Documents still open die with the service.
    if (stopped) spool::EndOpenJobs();
}

bool IsSpoolerRunning() {
    Machine::Current();
    std::lock_guard lock(gStateLock);
    return gRunning;
}

}  // namespace w32

namespace w32::spool {

uint64_t SpoolerGeneration() {
    std::lock_guard lock(gStateLock);
    return gGeneration;
}

// --- Calls -----------------------------------------------------------------------

DWORD Call::Begin() {
    registry_ = Registry::Current();
    if (!registry_ || !IsSpoolerRunning()) return RPC_S_SERVER_UNAVAILABLE;
    batch_.emplace(*registry_);
    if (!registry_->IsLoaded()) return RPC_S_SERVER_UNAVAILABLE;
    return ERROR_SUCCESS;
}

DWORD Call::Finish(DWORD status) {
    if (!batch_) return status;
    DWORD result = DWORD(batch_->Finish(LONG(status)));
    batch_.reset();
    return result;
}

RegistryKeyPtr Call::Find(std::u16string_view path) const { return registry_->Find(registry_->LocalMachine(), path); }

RegistryKeyPtr Call::Ensure(std::u16string_view path) { return registry_->Ensure(registry_->LocalMachine(), path); }

BOOL EndBool(Call& call, DWORD status) {
    status = call.Finish(status);
    if (status == ERROR_SUCCESS) return TRUE;
    SetLastError(status);
    return FALSE;
}

DWORD EndStatus(Call& call, DWORD status) {
    status = call.Finish(status);
    if (status != ERROR_SUCCESS) SetLastError(status);
    return status;
}

// --- Rules -----------------------------------------------------------------------

bool IsAdministrator() {
    const auto& settings = Machine::Current().Settings();
    return settings.administrator && !settings.uacFiltered;
}

bool IsThisComputer(std::u16string_view name) {
    return NamesEqual(name, Machine::Current().Settings().computerName) || NamesEqual(name, u"localhost");
}

DWORD CheckServerName(LPCWSTR name) {
    if (!name || !*name) return ERROR_SUCCESS;
    std::u16string_view text(name);
    if (text.size() > 2 && text.substr(0, 2) == u"\\\\" && IsThisComputer(text.substr(2))) return ERROR_SUCCESS;
    return ERROR_INVALID_NAME;
}

DWORD CheckAdministration(LPCWSTR serverName) {
    if (DWORD status = CheckServerName(serverName)) return status;
    return IsAdministrator() ? ERROR_SUCCESS : ERROR_ACCESS_DENIED;
}

// --- Environments ----------------------------------------------------------------

std::u16string LocalEnvironmentName() {
    return Machine::Current().Settings().is64Bit ? u"Windows x64" : u"Windows NT x86";
}

namespace {

Environment MakeEnvironment(const RegistryKeyPtr& key) {
    return Environment{key->Name(), ReadString(key, u"Directory"), key};
}

std::u16string SpoolFolder(std::u16string_view below, const Environment& environment) {
    return Machine::Current().SystemDirectory() + u"\\spool\\" + std::u16string(below) + u"\\" + environment.directory;
}

}  // namespace

DWORD ResolveEnvironment(Call& call, LPCWSTR name, Environment& environment) {
    std::u16string wanted = name && *name ? std::u16string(name) : LocalEnvironmentName();
    RegistryKeyPtr key = FindNamedSubkey(call.Find(kEnvironmentsKey), wanted);
    if (!key) return ERROR_INVALID_ENVIRONMENT;
    environment = MakeEnvironment(key);
    if (environment.directory.empty() || environment.directory.find(u'\\') != std::u16string::npos)
        return ERROR_INVALID_ENVIRONMENT;
    return ERROR_SUCCESS;
}

std::vector<Environment> AllEnvironments(Call& call) {
    std::vector<Environment> result;
    RegistryKeyPtr environments = call.Find(kEnvironmentsKey);
    for (size_t i = 0; environments && i < environments->SubkeyCount(); ++i) {
        Environment environment = MakeEnvironment(environments->SubkeyAt(i));
        if (!environment.directory.empty()) result.push_back(std::move(environment));
    }
    return result;
}

std::u16string DriverDirectory(const Environment& environment) { return SpoolFolder(u"drivers", environment); }

std::u16string DriverVersionDirectory(const Environment& environment) {
    return DriverDirectory(environment) + u"\\" + std::u16string(1, char16_t(u'0' + kDriverVersion));
}

std::u16string PrintProcessorDirectory(const Environment& environment) { return SpoolFolder(u"prtprocs", environment); }

bool IsWinPrintDatatype(std::u16string_view datatype) {
    static const char16_t* const kTypes[] = {u"RAW",          u"RAW [FF appended]", u"RAW [FF auto]", u"NT EMF 1.003",
                                             u"NT EMF 1.006", u"NT EMF 1.007",      u"NT EMF 1.008",  u"TEXT",
                                             u"XPS2GDI"};
    for (const char16_t* type : kTypes)
        if (NamesEqual(datatype, type)) return true;
    return false;
}

// --- Values ----------------------------------------------------------------------

std::u16string ReadString(const RegistryKeyPtr& key, std::u16string_view name) {
    const RegistryValue* value = key ? key->FindValue(name) : nullptr;
    if (!value || (value->type != REG_SZ && value->type != REG_EXPAND_SZ)) return {};
    std::u16string text(value->data.size() / 2, u'\0');
    if (!text.empty()) std::memcpy(text.data(), value->data.data(), text.size() * 2);
    size_t end = text.find(u'\0');
    if (end != std::u16string::npos) text.resize(end);
    return text;
}

DWORD ReadDword(const RegistryKeyPtr& key, std::u16string_view name, DWORD fallback) {
    const RegistryValue* value = key ? key->FindValue(name) : nullptr;
    if (!value || value->type != REG_DWORD || value->data.size() != 4) return fallback;
    DWORD result;
    std::memcpy(&result, value->data.data(), 4);
    return result;
}

std::vector<std::u16string> ReadMultiString(const RegistryKeyPtr& key, std::u16string_view name) {
    const RegistryValue* value = key ? key->FindValue(name) : nullptr;
    std::vector<std::u16string> items;
    if (!value || value->type != REG_MULTI_SZ) return items;
    std::u16string text(value->data.size() / 2, u'\0');
    if (!text.empty()) std::memcpy(text.data(), value->data.data(), text.size() * 2);
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find(u'\0', start);
        if (end == std::u16string::npos) end = text.size();
        if (end == start) break;
        items.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return items;
}

std::vector<BYTE> ReadBinary(const RegistryKeyPtr& key, std::u16string_view name) {
    const RegistryValue* value = key ? key->FindValue(name) : nullptr;
    if (!value || value->type != REG_BINARY) return {};
    return value->data;
}

void WriteString(Registry& registry, const RegistryKeyPtr& key, std::u16string_view name, std::u16string_view value) {
    registry.SetString(key, name, value);
}

void WriteMultiString(Registry& registry, const RegistryKeyPtr& key, std::u16string_view name,
                      const std::vector<std::u16string>& items) {
    std::u16string text;
    for (const auto& item : items) {
        text += item;
        text += u'\0';
    }
    text += u'\0';
    if (items.empty()) text += u'\0';
    registry.SetValue(key, name, REG_MULTI_SZ, text.data(), text.size() * sizeof(char16_t));
}

void WriteBinary(Registry& registry, const RegistryKeyPtr& key, std::u16string_view name,
                 const std::vector<BYTE>& data) {
    registry.SetValue(key, name, REG_BINARY, data.data(), data.size());
}

// --- Caller's data -----------------------------------------------------------------

std::u16string Text(LPCWSTR text) { return text ? std::u16string(text) : std::u16string(); }

std::vector<std::u16string> TextList(LPCWSTR list) {
    std::vector<std::u16string> items;
    for (const WCHAR* p = list; p && *p; p += WideLength(p) + 1) items.emplace_back(p);
    return items;
}

bool SameName(std::u16string_view a, std::u16string_view b) { return NamesEqual(a, b); }

DWORD DevModeBytes(const DEVMODEW* devMode, std::vector<BYTE>& bytes) {
    // Below dmFields a record cannot say which of its members hold values.
    constexpr size_t kSmallest = offsetof(DEVMODEW, dmFields) + sizeof(DWORD);
    if (!devMode || devMode->dmSize < kSmallest || devMode->dmSize > sizeof(DEVMODEW)) return ERROR_INVALID_PARAMETER;
    const BYTE* data = reinterpret_cast<const BYTE*>(devMode);
    bytes.assign(data, data + devMode->dmSize + devMode->dmDriverExtra);
    return ERROR_SUCCESS;
}

// --- Keys --------------------------------------------------------------------------

bool IsKeyName(std::u16string_view name) {
    return !name.empty() && name.size() <= kMaxKeyNameLength && name.find(u'\\') == std::u16string_view::npos;
}

// A name too long for a key names none: the registry makes no such key.
RegistryKeyPtr FindNamedSubkey(const RegistryKeyPtr& parent, std::u16string_view name) {
    return parent && IsKeyName(name) ? parent->FindSubkey(name) : nullptr;
}

DWORD CreateSubkey(Call& call, const RegistryKeyPtr& parent, std::u16string_view name, RegistryKeyPtr& key) {
    bool created = false;
    return DWORD(call.registry().CreateSubkey(parent, name, false, u"", key, created));
}

void CopyTree(Registry& registry, const RegistryKeyPtr& from, const RegistryKeyPtr& to) {
    for (size_t i = 0; i < from->ValueCount(); ++i) {
        const RegistryValue* value = from->ValueAt(i);
        registry.SetValue(to, value->name, value->type, value->data.data(), value->data.size());
    }
    for (size_t i = 0; i < from->SubkeyCount(); ++i) {
        RegistryKeyPtr child = from->SubkeyAt(i);
        RegistryKeyPtr copy;
        bool created = false;
        if (registry.CreateSubkey(to, child->Name(), child->IsVolatile(), child->ClassName(), copy, created) ==
            ERROR_SUCCESS)
            CopyTree(registry, child, copy);
    }
}

}  // namespace w32::spool
