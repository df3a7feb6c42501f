#include <functional>

#include "spooler_fixture.h"
#include "winspool/spooler.h"

using tam::test::DriverFiles;
using tam::test::LaserPrinterTest;
using Names = std::vector<std::u16string>;

namespace {

DWORD ErrorOf(BOOL ok) { return ok ? DWORD(ERROR_SUCCESS) : GetLastError(); }

class SpoolerService : public LaserPrinterTest {
protected:
    // Each call of the spooler, made with arguments that would otherwise
    // succeed or fail for a reason of their own; gives the error it reports.
    std::vector<std::pair<const char*, std::function<DWORD()>>> Calls() {
        HANDLE printer = printer_;
        return {
            {"OpenPrinterW",
             [=] {
                 HANDLE h = nullptr;
                 return ErrorOf(OpenPrinterW(u"Korvan Laser", &h, nullptr));
             }},
            {"GetPrinterW",
             [=] {
                 DWORD n;
                 return ErrorOf(GetPrinterW(printer, 2, nullptr, 0, &n));
             }},
            {"SetPrinterW", [=] { return ErrorOf(SetPrinterW(printer, 0, nullptr, PRINTER_CONTROL_PAUSE)); }},
            {"EnumPrintersW",
             [] {
                 DWORD n, r;
                 return ErrorOf(EnumPrintersW(PRINTER_ENUM_LOCAL, nullptr, 1, nullptr, 0, &n, &r));
             }},
            {"AddPrinterW",
             [] {
                 PRINTER_INFO_2W info{};
                 SetLastError(0);
                 return AddPrinterW(nullptr, 2, reinterpret_cast<LPBYTE>(&info)) ? DWORD(ERROR_SUCCESS)
                                                                                 : GetLastError();
             }},
            {"DeletePrinter", [=] { return ErrorOf(DeletePrinter(printer)); }},
            {"GetPrinterDriverW",
             [=] {
                 DWORD n;
                 return ErrorOf(GetPrinterDriverW(printer, nullptr, 3, nullptr, 0, &n));
             }},
            {"EnumPrinterDriversW",
             [] {
                 DWORD n, r;
                 return ErrorOf(EnumPrinterDriversW(nullptr, nullptr, 2, nullptr, 0, &n, &r));
             }},
            {"AddPrinterDriverExW", [] { return ErrorOf(AddPrinterDriverExW(nullptr, 1, nullptr, 0)); }},
            {"DeletePrinterDriverW",
             [] { return ErrorOf(DeletePrinterDriverW(nullptr, nullptr, u"Korvan Test Driver")); }},
            {"GetPrinterDriverDirectoryW",
             [] {
                 DWORD n;
                 return ErrorOf(GetPrinterDriverDirectoryW(nullptr, nullptr, 1, nullptr, 0, &n));
             }},
            {"EnumPortsW",
             [] {
                 DWORD n, r;
                 return ErrorOf(EnumPortsW(nullptr, 1, nullptr, 0, &n, &r));
             }},
            {"EnumMonitorsW",
             [] {
                 DWORD n, r;
                 return ErrorOf(EnumMonitorsW(nullptr, 1, nullptr, 0, &n, &r));
             }},
            {"AddMonitorW", [] { return ErrorOf(AddMonitorW(nullptr, 2, nullptr)); }},
            {"EnumPrintProcessorsW",
             [] {
                 DWORD n, r;
                 return ErrorOf(EnumPrintProcessorsW(nullptr, nullptr, 1, nullptr, 0, &n, &r));
             }},
            {"GetPrinterDataW",
             [=] {
                 DWORD t, n;
                 return GetPrinterDataW(printer, u"X", &t, nullptr, 0, &n);
             }},
            {"SetPrinterDataW", [=] { return SetPrinterDataW(printer, u"X", REG_BINARY, nullptr, 0); }},
            {"GetDefaultPrinterW",
             [] {
                 WCHAR b[64];
                 DWORD n = 64;
                 return ErrorOf(GetDefaultPrinterW(b, &n));
             }},
            {"SetDefaultPrinterW", [] { return ErrorOf(SetDefaultPrinterW(u"Korvan Laser")); }},
        };
    }
};

TEST_F(SpoolerService, StoppedSpoolerRefusesEveryCall) {
    w32::SetSpoolerRunning(false);
    EXPECT_FALSE(w32::IsSpoolerRunning());
    for (auto& [name, call] : Calls()) {
        SetLastError(0);
        EXPECT_EQ(call(), DWORD(RPC_S_SERVER_UNAVAILABLE)) << name;
        EXPECT_EQ(GetLastError(), DWORD(RPC_S_SERVER_UNAVAILABLE)) << name;
    }

    // Started again: the printer is still there, but handles of the earlier run are not.
    w32::SetSpoolerRunning(true);
    EXPECT_EQ(PrinterNames(), Names{u"Korvan Laser"});
    DWORD needed = 0;
    SetLastError(0);
    EXPECT_FALSE(GetPrinterW(printer_, 2, nullptr, 0, &needed));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
    EXPECT_NE(Open(u"Korvan Laser"), nullptr);
}

TEST_F(SpoolerService, HandlesEndWithTheMachineAndTheSpoolerRunsAfterAReopen) {
    w32::SetSpoolerRunning(false);
    Reopen();
    EXPECT_TRUE(w32::IsSpoolerRunning());
    DWORD needed = 0;
    SetLastError(0);
    EXPECT_FALSE(GetPrinterW(printer_, 2, nullptr, 0, &needed));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
    EXPECT_EQ(PrinterNames(), Names{u"Korvan Laser"});
}

TEST_F(SpoolerService, UsersWhoAreNotAdministratorsOnlyUsePrinters) {
    HANDLE user = Open(u"Korvan Laser", PRINTER_ACCESS_USE);
    ASSERT_NE(user, nullptr);
    machine().MutableSettings().administrator = false;

    tam::test::PutMachineFile(machine(), u"C:\\Windows\\System32\\spool\\prtprocs\\x64\\korproc.dll");
    DRIVER_INFO_3W driver{};
    driver.cVersion = 3;
    driver.pName = const_cast<LPWSTR>(u"Another Driver");
    driver.pDriverPath = const_cast<LPWSTR>(u"testrend.dll");
    driver.pDataFile = const_cast<LPWSTR>(u"testdata.gpd");
    driver.pConfigFile = const_cast<LPWSTR>(u"testui.dll");
    PRINTER_INFO_2W printer{};
    printer.pPrinterName = const_cast<LPWSTR>(u"Another");
    printer.pDriverName = const_cast<LPWSTR>(u"Korvan Test Driver");
    printer.pPortName = const_cast<LPWSTR>(u"FILE:");
    printer.pPrintProcessor = const_cast<LPWSTR>(u"winprint");
    MONITOR_INFO_2W monitor{const_cast<LPWSTR>(u"Another Monitor"), nullptr, const_cast<LPWSTR>(u"mon.dll")};
    PORT_INFO_1W port{const_cast<LPWSTR>(u"ANOTHER:")};
    const std::pair<const char*, std::function<BOOL()>> refused[] = {
        {"AddPrinterW", [&] { return AddPrinterW(nullptr, 2, reinterpret_cast<LPBYTE>(&printer)) != nullptr; }},
        {"DeletePrinter", [&] { return DeletePrinter(printer_); }},
        {"AddPrinterDriverExW",
         [&] { return AddPrinterDriverExW(nullptr, 3, reinterpret_cast<LPBYTE>(&driver), APD_COPY_NEW_FILES); }},
        {"DeletePrinterDriverExW",
         [] { return DeletePrinterDriverExW(nullptr, nullptr, u"Korvan Test Driver", 0, 0); }},
        {"AddMonitorW", [&] { return AddMonitorW(nullptr, 2, reinterpret_cast<LPBYTE>(&monitor)); }},
        {"DeleteMonitorW", [] { return DeleteMonitorW(nullptr, nullptr, u"USB Monitor"); }},
        {"AddPortExW", [&] { return AddPortExW(nullptr, 1, reinterpret_cast<LPBYTE>(&port), u"Local Port"); }},
        {"DeletePortW", [] { return DeletePortW(nullptr, nullptr, u"LPT1:"); }},
        {"AddPrintProcessorW", [] { return AddPrintProcessorW(nullptr, nullptr, u"korproc.dll", u"Korvan"); }},
        {"DeletePrintProcessorW", [] { return DeletePrintProcessorW(nullptr, nullptr, u"winprint"); }},
        {"OpenPrinterW to administer",
         [] {
             PRINTER_DEFAULTSW defaults{nullptr, nullptr, PRINTER_ALL_ACCESS};
             HANDLE h = nullptr;
             return OpenPrinterW(u"Korvan Laser", &h, &defaults);
         }},
        {"OpenPrinterW to administer the server",
         [] {
             PRINTER_DEFAULTSW defaults{nullptr, nullptr, SERVER_ACCESS_ADMINISTER};
             HANDLE h = nullptr;
             return OpenPrinterW(nullptr, &h, &defaults);
         }},
    };
    for (const auto& [name, call] : refused) {
        SetLastError(0);
        EXPECT_FALSE(call()) << name;
        EXPECT_EQ(GetLastError(), DWORD(ERROR_ACCESS_DENIED)) << name;
    }
    EXPECT_EQ(PrinterNames(), Names{u"Korvan Laser"});

    // Using a printer is every user's right; so is choosing the default.
    HANDLE mine = Open(u"Korvan Laser", PRINTER_ACCESS_USE);
    ASSERT_NE(mine, nullptr);
    std::vector<BYTE> level2 = GetPrinterBytes(mine, 2);
    EXPECT_EQ(Str(reinterpret_cast<PRINTER_INFO_2W*>(level2.data())->pPrinterName), u"Korvan Laser");
    std::vector<BYTE> devMode = MakeDevMode(u"Korvan Laser", DMPAPER_A5, 1);
    PRINTER_INFO_9W own{const_cast<LPDEVMODEW>(AsDevMode(devMode))};
    EXPECT_TRUE(SetPrinterW(user, 9, reinterpret_cast<LPBYTE>(&own), 0)) << GetLastError();
    EXPECT_TRUE(SetDefaultPrinterW(u"Korvan Laser")) << GetLastError();
}

}  // namespace
