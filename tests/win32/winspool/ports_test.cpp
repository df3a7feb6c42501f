#include "spooler_fixture.h"

using tam::test::PrinterSettings;
using tam::test::SpoolerTest;
using Names = std::vector<std::u16string>;

namespace {

const std::u16string kMonitorsKey = u"SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors";

class PortsAndMonitors : public SpoolerTest {
protected:
    struct Port {
        std::u16string name, monitor, description;
        DWORD type;
        bool operator==(const Port&) const = default;
    };
    static std::vector<Port> Ports() {
        DWORD count = 0;
        std::vector<BYTE> buffer =
            Fetch([](LPBYTE b, DWORD n, LPDWORD need, LPDWORD ret) { return EnumPortsW(nullptr, 2, b, n, need, ret); },
                  &count);
        std::vector<Port> ports;
        auto* info = reinterpret_cast<PORT_INFO_2W*>(buffer.data());
        for (DWORD i = 0; i < count; ++i)
            ports.push_back(Port{info[i].pPortName, info[i].pMonitorName, info[i].pDescription, info[i].fPortType});
        return ports;
    }
    static Names PortNames() {
        DWORD count = 0;
        std::vector<BYTE> buffer =
            Fetch([](LPBYTE b, DWORD n, LPDWORD need, LPDWORD ret) { return EnumPortsW(nullptr, 1, b, n, need, ret); },
                  &count);
        Names names;
        for (DWORD i = 0; i < count; ++i) names.push_back(reinterpret_cast<PORT_INFO_1W*>(buffer.data())[i].pName);
        return names;
    }
    // Monitor name and DLL, from level 2.
    static std::vector<std::pair<std::u16string, std::u16string>> Monitors() {
        DWORD count = 0;
        std::vector<BYTE> buffer = Fetch(
            [](LPBYTE b, DWORD n, LPDWORD need, LPDWORD ret) { return EnumMonitorsW(nullptr, 2, b, n, need, ret); },
            &count);
        std::vector<std::pair<std::u16string, std::u16string>> monitors;
        auto* info = reinterpret_cast<MONITOR_INFO_2W*>(buffer.data());
        for (DWORD i = 0; i < count; ++i) {
            EXPECT_EQ(Str(info[i].pEnvironment), u"Windows x64");
            monitors.emplace_back(info[i].pName, info[i].pDLLName);
        }
        return monitors;
    }
    static Names Processors() {
        DWORD count = 0;
        std::vector<BYTE> buffer =
            Fetch([](LPBYTE b, DWORD n, LPDWORD need,
                     LPDWORD ret) { return EnumPrintProcessorsW(nullptr, nullptr, 1, b, n, need, ret); },
                  &count);
        Names names;
        for (DWORD i = 0; i < count; ++i)
            names.push_back(reinterpret_cast<PRINTPROCESSOR_INFO_1W*>(buffer.data())[i].pName);
        return names;
    }
    static BOOL NewPort(const char16_t* monitor, const char16_t* name) {
        PORT_INFO_1W info{const_cast<LPWSTR>(name)};
        return AddPortExW(nullptr, 1, reinterpret_cast<LPBYTE>(&info), monitor);
    }
    static BOOL NewMonitor(const char16_t* name, const char16_t* dll, const char16_t* environment = nullptr) {
        MONITOR_INFO_2W info{const_cast<LPWSTR>(name), const_cast<LPWSTR>(environment), const_cast<LPWSTR>(dll)};
        return AddMonitorW(nullptr, 2, reinterpret_cast<LPBYTE>(&info));
    }
};

TEST_F(PortsAndMonitors, FreshMachineHasTheStandardLocalPortsAndMonitors) {
    const std::vector<Port> expected = {
        {u"COM1:", u"Local Port", u"Local Port", PORT_TYPE_WRITE},
        {u"FILE:", u"Local Port", u"Local Port", PORT_TYPE_WRITE},
        {u"LPT1:", u"Local Port", u"Local Port", PORT_TYPE_WRITE},
        {u"PORTPROMPT:", u"Local Port", u"Local Port", PORT_TYPE_WRITE},
    };
    EXPECT_EQ(Ports(), expected);
    EXPECT_EQ(PortNames(), (Names{u"COM1:", u"FILE:", u"LPT1:", u"PORTPROMPT:"}));
    auto monitors = Monitors();
    ASSERT_EQ(monitors.size(), 3u);
    EXPECT_EQ(monitors[0], std::make_pair(std::u16string(u"Local Port"), std::u16string(u"localspl.dll")));
    EXPECT_EQ(monitors[1], std::make_pair(std::u16string(u"Standard TCP/IP Port"), std::u16string(u"tcpmon.dll")));
    EXPECT_EQ(monitors[2], std::make_pair(std::u16string(u"USB Monitor"), std::u16string(u"usbmon.dll")));
    EXPECT_EQ(Processors(), Names{u"winprint"});

    DWORD needed = 0, returned = 0;
    SetLastError(0);
    EXPECT_FALSE(EnumPortsW(nullptr, 3, nullptr, 0, &needed, &returned));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_LEVEL));
    SetLastError(0);
    EXPECT_FALSE(EnumMonitorsW(nullptr, 1, nullptr, 0, &needed, nullptr));
    EXPECT_EQ(GetLastError(), DWORD(RPC_X_NULL_REF_POINTER));
}

TEST_F(PortsAndMonitors, PortsAddedAndRemovedWithTheirMonitors) {
    ASSERT_TRUE(NewPort(u"Standard TCP/IP Port", u"IP_10.0.0.7")) << GetLastError();
    ASSERT_TRUE(NewPort(u"Local Port", u"C:\\Output\\job.prn")) << GetLastError();
    std::vector<Port> ports = Ports();
    ASSERT_EQ(ports.size(), 6u);
    EXPECT_EQ(ports[0], (Port{u"C:\\Output\\job.prn", u"Local Port", u"Local Port", PORT_TYPE_WRITE}));
    EXPECT_EQ(ports[5], (Port{u"IP_10.0.0.7", u"Standard TCP/IP Port", u"Standard TCP/IP Port", PORT_TYPE_WRITE}));
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, (kMonitorsKey + u"\\Standard TCP/IP Port\\Ports\\IP_10.0.0.7").c_str(),
                            0, KEY_READ, &key),
              ERROR_SUCCESS);
    RegCloseKey(key);

    struct Case {
        const char16_t* monitor;
        const char16_t* port;
        DWORD error;
    };
    const Case refused[] = {
        {u"Standard TCP/IP Port", u"ip_10.0.0.7", ERROR_ALREADY_EXISTS},
        {u"Local Port", u"LPT1:", ERROR_ALREADY_EXISTS},
        {u"No Such Monitor", u"X:", ERROR_UNKNOWN_PRINT_MONITOR},
        {u"Local Port", u"", ERROR_INVALID_PARAMETER},
    };
    for (const auto& c : refused) {
        SetLastError(0);
        EXPECT_FALSE(NewPort(c.monitor, c.port)) << w32::ToUtf8(c.port);
        EXPECT_EQ(GetLastError(), c.error) << w32::ToUtf8(c.port);
    }
    SetLastError(0);
    EXPECT_FALSE(AddPortW(nullptr, nullptr, u"Local Port"));  // it would ask the user
    EXPECT_EQ(GetLastError(), DWORD(ERROR_NOT_SUPPORTED));

    // A port a printer prints to stays; a free one goes.
    PrinterSettings settings;
    settings.port = u"IP_10.0.0.7";
    ASSERT_EQ(AddLaser(settings), DWORD(ERROR_SUCCESS));
    SetLastError(0);
    EXPECT_FALSE(DeletePortW(nullptr, nullptr, u"IP_10.0.0.7"));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_BUSY));
    EXPECT_TRUE(DeletePortW(nullptr, nullptr, u"C:\\Output\\job.prn")) << GetLastError();
    SetLastError(0);
    EXPECT_FALSE(DeletePortW(nullptr, nullptr, u"C:\\Output\\job.prn"));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_UNKNOWN_PORT));
    EXPECT_EQ(Ports().size(), 5u);

    // A port's key deleted directly is gone.
    ASSERT_EQ(
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, (kMonitorsKey + u"\\Standard TCP/IP Port\\Ports\\IP_10.0.0.7").c_str()),
        ERROR_SUCCESS);
    EXPECT_EQ(PortNames(), (Names{u"COM1:", u"FILE:", u"LPT1:", u"PORTPROMPT:"}));
}

TEST_F(PortsAndMonitors, MonitorsAreRecordsInTheRegistry) {
    ASSERT_TRUE(NewMonitor(u"Korvan Port Monitor", u"korvanmon.dll")) << GetLastError();
    auto monitors = Monitors();
    ASSERT_EQ(monitors.size(), 4u);
    EXPECT_EQ(monitors[0], std::make_pair(std::u16string(u"Korvan Port Monitor"), std::u16string(u"korvanmon.dll")));

    SetLastError(0);
    EXPECT_FALSE(NewMonitor(u"korvan port monitor", u"other.dll"));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_PRINT_MONITOR_ALREADY_INSTALLED));
    SetLastError(0);
    EXPECT_FALSE(NewMonitor(u"Other Monitor", u"other.dll", u"Windows 95"));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_ENVIRONMENT));
    MONITOR_INFO_1W level1{const_cast<LPWSTR>(u"Level One")};
    SetLastError(0);
    EXPECT_FALSE(AddMonitorW(nullptr, 1, reinterpret_cast<LPBYTE>(&level1)));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_LEVEL));

    // In use while a printer prints to one of its ports.
    ASSERT_TRUE(NewPort(u"Korvan Port Monitor", u"KOR1:"));
    PrinterSettings settings;
    settings.port = u"KOR1:";
    ASSERT_EQ(AddLaser(settings), DWORD(ERROR_SUCCESS));
    SetLastError(0);
    EXPECT_FALSE(DeleteMonitorW(nullptr, nullptr, u"Korvan Port Monitor"));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_PRINT_MONITOR_IN_USE));
    HANDLE printer = Open(u"Korvan Laser");
    ASSERT_NE(printer, nullptr);
    ASSERT_TRUE(DeletePrinter(printer));
    ASSERT_TRUE(DeleteMonitorW(nullptr, nullptr, u"Korvan Port Monitor")) << GetLastError();
    EXPECT_EQ(Monitors().size(), 3u);
    EXPECT_EQ(PortNames(), (Names{u"COM1:", u"FILE:", u"LPT1:", u"PORTPROMPT:"}));  // its ports went with it
    SetLastError(0);
    EXPECT_FALSE(DeleteMonitorW(nullptr, nullptr, u"Korvan Port Monitor"));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_UNKNOWN_PRINT_MONITOR));
}

TEST_F(PortsAndMonitors, PrintProcessorsNeedTheirFileAndAreKeptWhileUsed) {
    SetLastError(0);
    EXPECT_FALSE(AddPrintProcessorW(nullptr, nullptr, u"korproc.dll", u"Korvan Processor"));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_NOT_FOUND));
    tam::test::PutMachineFile(machine(), u"C:\\Windows\\System32\\spool\\prtprocs\\x64\\korproc.dll");
    ASSERT_TRUE(AddPrintProcessorW(nullptr, nullptr, u"korproc.dll", u"Korvan Processor")) << GetLastError();
    EXPECT_EQ(Processors(), (Names{u"Korvan Processor", u"winprint"}));
    SetLastError(0);
    EXPECT_FALSE(AddPrintProcessorW(nullptr, nullptr, u"korproc.dll", u"Korvan Processor"));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_PRINT_PROCESSOR_ALREADY_INSTALLED));

    ASSERT_EQ(AddLaser(), DWORD(ERROR_SUCCESS));  // prints with winprint
    SetLastError(0);
    EXPECT_FALSE(DeletePrintProcessorW(nullptr, nullptr, u"winprint"));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_CAN_NOT_COMPLETE));
    ASSERT_TRUE(DeletePrintProcessorW(nullptr, nullptr, u"Korvan Processor")) << GetLastError();
    SetLastError(0);
    EXPECT_FALSE(DeletePrintProcessorW(nullptr, nullptr, u"Korvan Processor"));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_UNKNOWN_PRINTPROCESSOR));
    EXPECT_EQ(Processors(), Names{u"winprint"});
}

}  // namespace
