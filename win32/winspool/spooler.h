// The machine's print spooler as the winspool functions see it: whether the
// service runs, the registry keys it keeps everything in, and the steps every
// spooler function shares.
//
// Nothing is cached: every call reads the registry as it is now, so that a
// program (or a test) that changes or deletes the spooler's keys directly
// sees the effect at once. The spooler is a system service, so it changes
// its keys with the machine's own rights; who may ask it to is checked by
// each function (administrators only for printers, drivers, monitors, ports
// and print processors).
#pragma once
#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "machine/registry.h"

namespace w32 {

// Starts or stops the machine's spooler service (the service-control code
// drives this). A machine's spooler runs from when the machine is made or
// opened. While it is stopped every spooler function fails with
// RPC_S_SERVER_UNAVAILABLE; stopping it ends every printer handle, as a
// restart of the service does on Windows.
void SetSpoolerRunning(bool running);
bool IsSpoolerRunning();

}  // namespace w32

namespace w32::spool {

// Keys below HKEY_LOCAL_MACHINE.
inline constexpr std::u16string_view kPrintKey = u"SYSTEM\\CurrentControlSet\\Control\\Print";
inline constexpr std::u16string_view kPrintersKey = u"SYSTEM\\CurrentControlSet\\Control\\Print\\Printers";
inline constexpr std::u16string_view kMonitorsKey = u"SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors";
inline constexpr std::u16string_view kEnvironmentsKey = u"SYSTEM\\CurrentControlSet\\Control\\Print\\Environments";
// The ports of the Local Port monitor: one value per port.
inline constexpr std::u16string_view kLocalPortsKey = u"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Ports";
inline constexpr std::u16string_view kLocalPortMonitor = u"Local Port";
inline constexpr std::u16string_view kWinPrint = u"winprint";
// Keys below the user's key.
inline constexpr std::u16string_view kUserWindowsKey = u"Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows";
inline constexpr std::u16string_view kUserDevModesKey = u"Printers\\DevModePerUser";
// Below a printer's key: the values of GetPrinterDataW and SetPrinterDataW.
inline constexpr std::u16string_view kPrinterDataKey = u"PrinterDriverData";
// The only driver version this machine keeps (user-mode drivers).
inline constexpr DWORD kDriverVersion = 3;
inline constexpr std::u16string_view kDriverVersionKey = u"Version-3";

// Changes each time the spooler stops or its machine closes: handles made
// before belong to an earlier run of the service.
uint64_t SpoolerGeneration();

// One spooler call: the spooler must be running; the registry stays locked
// for the call and its hives are written once, at the end.
class Call {
public:
    // RPC_S_SERVER_UNAVAILABLE while the spooler is stopped.
    DWORD Begin();
    // A failed hive write turns success into ERROR_REGISTRY_IO_FAILED.
    DWORD Finish(DWORD status);

    Registry& registry() { return *registry_; }
    const std::shared_ptr<Registry>& registryPtr() const { return registry_; }
    // A key below HKLM, or null.
    RegistryKeyPtr Find(std::u16string_view path) const;
    // A key below HKLM, made when missing.
    RegistryKeyPtr Ensure(std::u16string_view path);
    // The user's key of HKEY_USERS (null if someone deleted it).
    RegistryKeyPtr User() const { return registry_->CurrentUser(); }

private:
    std::shared_ptr<Registry> registry_;
    std::optional<Registry::Batch> batch_;
};

// Ends a call of a function that returns BOOL: TRUE, or FALSE with the last error set.
BOOL EndBool(Call& call, DWORD status);
// Ends a call of a function that returns its error code (the printer-data
// functions); the last error is set too when it fails.
DWORD EndStatus(Call& call, DWORD status);

// One whole call: `body(call)` gives the status once the spooler answers,
// and the call ends with EndBool or EndStatus.
template <class Body>
DWORD RunBody(Call& call, Body& body) {
    DWORD status = call.Begin();
    return status ? status : DWORD(body(call));
}
template <class Body>
BOOL RunBool(Body body) {
    Call call;
    return EndBool(call, RunBody(call, body));
}
template <class Body>
DWORD RunStatus(Body body) {
    Call call;
    return EndStatus(call, RunBody(call, body));
}

// Whether the user is an elevated administrator (machine settings).
bool IsAdministrator();
// ERROR_INVALID_NAME unless `name` is null, empty or this computer
// ("\\NAME"); the spooler serves no other machine.
DWORD CheckServerName(LPCWSTR name);
bool IsThisComputer(std::u16string_view name);
// The check of every function that adds or removes printers, drivers,
// monitors, ports or print processors: CheckServerName, then
// ERROR_ACCESS_DENIED unless the user is an administrator.
DWORD CheckAdministration(LPCWSTR serverName);

// A printing environment: "Windows x64" and its folder name "x64".
struct Environment {
    std::u16string name;       // the key's spelling
    std::u16string directory;  // its Directory value
    RegistryKeyPtr key;
};
// The machine's own environment.
std::u16string LocalEnvironmentName();
// Null or empty is the machine's own; ERROR_INVALID_ENVIRONMENT when unknown.
DWORD ResolveEnvironment(Call& call, LPCWSTR name, Environment& environment);
std::vector<Environment> AllEnvironments(Call& call);
// C:\Windows\System32\spool\drivers\x64: where an installer puts files for AddPrinterDriverExW.
std::u16string DriverDirectory(const Environment& environment);
// C:\Windows\System32\spool\drivers\x64\3: where installed drivers' files live.
std::u16string DriverVersionDirectory(const Environment& environment);
// C:\Windows\System32\spool\prtprocs\x64.
std::u16string PrintProcessorDirectory(const Environment& environment);

// Data types the winprint print processor accepts.
bool IsWinPrintDatatype(std::u16string_view datatype);

// Values of the spooler's keys. Readers give an empty result for a missing
// value or one of another type.
std::u16string ReadString(const RegistryKeyPtr& key, std::u16string_view name);
DWORD ReadDword(const RegistryKeyPtr& key, std::u16string_view name, DWORD fallback);
std::vector<std::u16string> ReadMultiString(const RegistryKeyPtr& key, std::u16string_view name);
std::vector<BYTE> ReadBinary(const RegistryKeyPtr& key, std::u16string_view name);
void WriteString(Registry& registry, const RegistryKeyPtr& key, std::u16string_view name, std::u16string_view value);
void WriteMultiString(Registry& registry, const RegistryKeyPtr& key, std::u16string_view name,
                      const std::vector<std::u16string>& items);
void WriteBinary(Registry& registry, const RegistryKeyPtr& key, std::u16string_view name,
                 const std::vector<BYTE>& data);

// A caller's string; null is empty.
std::u16string Text(LPCWSTR text);
// A caller's list of NUL-terminated strings ending in an empty one; null is empty.
std::vector<std::u16string> TextList(LPCWSTR list);
// Names compared without regard to case.
bool SameName(std::u16string_view a, std::u16string_view b);

// A caller's DEVMODE: its whole size (public part and driver part), or
// ERROR_INVALID_PARAMETER when its sizes cannot be those of a DEVMODE.
DWORD DevModeBytes(const DEVMODEW* devMode, std::vector<BYTE>& bytes);

// Whether a caller's name can be one key's name: not empty, no backslash,
// not too long.
bool IsKeyName(std::u16string_view name);
// The subkey of that name; null when `parent` is null or the name cannot be
// a key's.
RegistryKeyPtr FindNamedSubkey(const RegistryKeyPtr& parent, std::u16string_view name);
// Creates (or opens) a plain subkey.
DWORD CreateSubkey(Call& call, const RegistryKeyPtr& parent, std::u16string_view name, RegistryKeyPtr& key);

// Copies a key's values and subkeys into another key.
void CopyTree(Registry& registry, const RegistryKeyPtr& from, const RegistryKeyPtr& to);

}  // namespace w32::spool
