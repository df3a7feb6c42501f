// The spooler's records as they are kept in the registry, under the keys and
// value names Windows uses:
//
//   Control\Print\Printers\<printer>            a printer (Name, Port, Printer Driver, ...)
//   Control\Print\Printers\<printer>\PrinterDriverData   its printer data
//   Control\Print\Environments\<env>\Drivers\Version-3\<driver>   a driver
//   Control\Print\Environments\<env>\Print Processors\<name>      a print processor
//   Control\Print\Monitors\<monitor>            a port monitor (Driver = its DLL)
//   Control\Print\Monitors\<monitor>\Ports\<port>   the ports of a monitor
//   SOFTWARE\Microsoft\Windows NT\CurrentVersion\Ports   the ports of the Local Port monitor
//   HKCU\Printers\DevModePerUser                the user's own DEVMODE of each printer
//   HKCU\Software\Microsoft\Windows NT\CurrentVersion\Windows  Device = the default printer
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "winspool/spooler.h"

namespace w32::spool {

// Printer names: at most this many characters, and no backslash or comma.
constexpr size_t kMaxPrinterName = 220;
bool IsValidPrinterName(std::u16string_view name);

struct PrinterRecord {
    std::u16string name;  // the key's name
    std::u16string shareName;
    std::u16string port;  // ports, comma-separated for a pool
    std::u16string driver;
    std::u16string comment;
    std::u16string location;
    std::u16string separatorFile;
    std::u16string printProcessor;
    std::u16string datatype;
    std::u16string parameters;
    DWORD attributes = 0;
    DWORD priority = 1;
    DWORD defaultPriority = 0;
    DWORD startTime = 0;  // minutes after midnight
    DWORD untilTime = 0;
    DWORD status = 0;
    DWORD deviceNotSelectedTimeout = 15000;  // milliseconds
    DWORD transmissionRetryTimeout = 45000;  // milliseconds
    std::vector<BYTE> devMode;               // the global default; empty for none
    std::vector<BYTE> userDevMode;           // the user's own, when read; empty for none
};

RegistryKeyPtr PrintersKey(Call& call);
// Null when there is no such printer.
RegistryKeyPtr FindPrinterKey(Call& call, std::u16string_view name);
// The printers' keys in name order.
std::vector<RegistryKeyPtr> PrinterKeys(Call& call);
PrinterRecord ReadPrinter(Call& call, const RegistryKeyPtr& key);
void WritePrinter(Call& call, const RegistryKeyPtr& key, const PrinterRecord& record);
// The ports of a printer's Port value.
std::vector<std::u16string> SplitPorts(std::u16string_view ports);
// Whether a printer names `name` in its value `valueName` ("Printer Driver",
// "Print Processor"). Printers use the drivers and print processors of the
// machine's own environment only: never those of another.
bool PrintersUse(Call& call, const Environment& environment, std::u16string_view valueName, std::u16string_view name);

// The user's own DEVMODE of a printer (empty for none); setting an empty one removes it.
std::vector<BYTE> ReadUserDevMode(Call& call, std::u16string_view printer);
void WriteUserDevMode(Call& call, std::u16string_view printer, const std::vector<BYTE>& devMode);

// The user's default printer: the name in the Device value, or empty.
std::u16string ReadDefaultPrinter(Call& call);
void WriteDefaultPrinter(Call& call, std::u16string_view printer);
// After a printer is added or deleted: when the user's default printer is
// missing, the first printer becomes the default (none when there is none).
void RepairDefaultPrinter(Call& call);

struct DriverRecord {
    std::u16string name;
    std::u16string environment;
    DWORD version = kDriverVersion;
    // File names (no folders): the files lie in the environment's version folder.
    std::u16string driverFile;
    std::u16string dataFile;
    std::u16string configFile;
    std::u16string helpFile;
    std::vector<std::u16string> dependentFiles;
    std::u16string monitor;
    std::u16string datatype;
    std::vector<std::u16string> previousNames;
    FILETIME date{};
    DWORDLONG driverVersion = 0;
    std::u16string manufacturer;
    std::u16string oemUrl;
    std::u16string hardwareId;
    std::u16string provider;

    // Every file the driver uses, each once.
    std::vector<std::u16string> Files() const;
};

RegistryKeyPtr DriversKey(Call& call, const Environment& environment, bool create);
RegistryKeyPtr FindDriverKey(Call& call, const Environment& environment, std::u16string_view name);
DriverRecord ReadDriver(const Environment& environment, const RegistryKeyPtr& key);
void WriteDriver(Call& call, const RegistryKeyPtr& key, const DriverRecord& record);

struct PortRecord {
    std::u16string name;
    std::u16string monitor;
    std::u16string description;
    DWORD type = PORT_TYPE_WRITE;
};

RegistryKeyPtr MonitorsKey(Call& call);
// The ports of every installed monitor, monitor by monitor.
std::vector<PortRecord> ListPorts(Call& call);
bool FindPort(Call& call, std::u16string_view name, PortRecord* port = nullptr);

RegistryKeyPtr PrintProcessorsKey(Call& call, const Environment& environment);

// Monitors and print processors are kept alike: a key of the name below
// `parent` whose Driver value names the DLL (recorded, not loaded).
// `existsError` when there is one of that name already.
DWORD AddDllRecord(Call& call, const RegistryKeyPtr& parent, std::u16string_view name, std::u16string_view dll,
                   DWORD existsError);

}  // namespace w32::spool
