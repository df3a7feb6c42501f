#include <filesystem>
#include <fstream>
#include <sstream>

#include "spooler_fixture.h"

using tam::test::DriverFiles;
using tam::test::PutMachineFile;
using tam::test::SpoolerTest;
using Names = std::vector<std::u16string>;

namespace {

const std::u16string kFolder = u"C:\\Windows\\System32\\spool\\drivers\\x64\\3";
const std::u16string kStaging = u"C:\\Windows\\System32\\spool\\drivers\\x64";
const std::u16string kMedia = u"C:\\Media\\Korvan";

class Drivers : public SpoolerTest {
protected:
    std::string ReadHost(std::u16string_view windowsPath) const {
        std::ifstream in(HostPath(windowsPath), std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    bool Exists(std::u16string_view windowsPath) const { return std::filesystem::exists(HostPath(windowsPath)); }

    // A DRIVER_INFO_6W whose strings live in this object.
    struct Info6 {
        std::u16string name = u"Korvan PCL6";
        std::u16string environment;  // null when empty
        std::u16string driver, data, config, help, monitor, datatype, mfg, url, hardware, provider;
        std::u16string dependent;  // a list: names each followed by a NUL, then one more
        std::u16string previous;
        DWORD version = 3;
        DRIVER_INFO_6W info{};

        LPBYTE Get() {
            auto text = [](std::u16string& s) { return s.empty() ? nullptr : s.data(); };
            info.cVersion = version;
            info.pName = text(name);
            info.pEnvironment = text(environment);
            info.pDriverPath = text(driver);
            info.pDataFile = text(data);
            info.pConfigFile = text(config);
            info.pHelpFile = text(help);
            info.pDependentFiles = text(dependent);
            info.pMonitorName = text(monitor);
            info.pDefaultDataType = text(datatype);
            info.pszzPreviousNames = text(previous);
            info.pszMfgName = text(mfg);
            info.pszOEMUrl = text(url);
            info.pszHardwareID = text(hardware);
            info.pszProvider = text(provider);
            return reinterpret_cast<LPBYTE>(&info);
        }
    };

    // The driver of an installer's media, named by full paths.
    Info6 MediaDriver() {
        for (const char16_t* file :
             {u"KorRend.dll", u"KorData.gpd", u"KorUI.dll", u"KorHelp.hlp", u"KorRes.dll", u"KorFont.dat"})
            PutMachineFile(machine(), kMedia + u"\\" + file);
        Info6 d;
        d.driver = kMedia + u"\\KorRend.dll";
        d.data = kMedia + u"\\KorData.gpd";
        d.config = kMedia + u"\\KorUI.dll";
        d.help = kMedia + u"\\KorHelp.hlp";
        d.dependent = kMedia + u"\\KorRes.dll" + u'\0' + kMedia + u"\\KorFont.dat" + u'\0' + u'\0';
        d.datatype = u"RAW";
        d.mfg = u"Korvan";
        d.url = u"http://korvan.example/support";
        d.hardware = u"korvan_laser_7";
        d.provider = u"Korvan Systems";
        d.previous = std::u16string(u"Korvan Old") + u'\0' + u'\0';
        d.info.ftDriverDate = FILETIME{0x11223344, 0x01d5a0b0};
        d.info.dwlDriverVersion = 0x0003000200010000ull;
        return d;
    }

    std::vector<BYTE> GetDriverBytes(HANDLE printer, DWORD level, LPCWSTR environment = nullptr) {
        return Fetch([&](LPBYTE b, DWORD n, LPDWORD need, LPDWORD) {
            return GetPrinterDriverW(printer, environment, level, b, n, need);
        });
    }

    HANDLE PrinterFor(const std::u16string& driver) {
        EXPECT_EQ(tam::test::AddTestPrinter(u"Korvan Laser", driver), DWORD(ERROR_SUCCESS));
        return Open(u"Korvan Laser", PRINTER_ACCESS_USE);
    }

    static std::vector<std::u16string> DriverNames(DWORD level = 2, LPCWSTR environment = nullptr) {
        DWORD count = 0;
        std::vector<BYTE> buffer =
            Fetch([&](LPBYTE b, DWORD n, LPDWORD need,
                      LPDWORD ret) { return EnumPrinterDriversW(nullptr, environment, level, b, n, need, ret); },
                  &count);
        std::vector<std::u16string> names;
        for (DWORD i = 0; i < count; ++i) {
            if (level == 2) names.push_back(reinterpret_cast<DRIVER_INFO_2W*>(buffer.data())[i].pName);
            if (level == 3) names.push_back(reinterpret_cast<DRIVER_INFO_3W*>(buffer.data())[i].pName);
        }
        return names;
    }
};

TEST_F(Drivers, AddedDriverFilesAreCopiedAndReadBackAtLevels2_3And6) {
    Info6 d = MediaDriver();
    ASSERT_TRUE(AddPrinterDriverExW(nullptr, 6, d.Get(), APD_COPY_NEW_FILES)) << GetLastError();
    // The files are in the driver folder now, copied, the media untouched.
    for (const char16_t* file :
         {u"KorRend.dll", u"KorData.gpd", u"KorUI.dll", u"KorHelp.hlp", u"KorRes.dll", u"KorFont.dat"}) {
        EXPECT_EQ(ReadHost(kFolder + u"\\" + file), ReadHost(kMedia + u"\\" + file)) << w32::ToUtf8(file);
        EXPECT_TRUE(Exists(kMedia + u"\\" + file));
    }

    HANDLE printer = PrinterFor(u"Korvan PCL6");
    ASSERT_NE(printer, nullptr);
    std::vector<BYTE> level2 = GetDriverBytes(printer, 2);
    auto* two = reinterpret_cast<DRIVER_INFO_2W*>(level2.data());
    EXPECT_EQ(two->cVersion, 3u);
    EXPECT_EQ(Str(two->pName), u"Korvan PCL6");
    EXPECT_EQ(Str(two->pEnvironment), u"Windows x64");
    EXPECT_EQ(Str(two->pDriverPath), kFolder + u"\\KorRend.dll");
    EXPECT_EQ(Str(two->pDataFile), kFolder + u"\\KorData.gpd");
    EXPECT_EQ(Str(two->pConfigFile), kFolder + u"\\KorUI.dll");

    std::vector<BYTE> level3 = GetDriverBytes(printer, 3);
    auto* three = reinterpret_cast<DRIVER_INFO_3W*>(level3.data());
    EXPECT_EQ(Str(three->pConfigFile), kFolder + u"\\KorUI.dll");
    EXPECT_EQ(Str(three->pHelpFile), kFolder + u"\\KorHelp.hlp");
    EXPECT_EQ(List(three->pDependentFiles), (Names{kFolder + u"\\KorRes.dll", kFolder + u"\\KorFont.dat"}));
    EXPECT_EQ(three->pMonitorName, nullptr);
    EXPECT_EQ(Str(three->pDefaultDataType), u"RAW");

    std::vector<BYTE> level6 = GetDriverBytes(printer, 6);
    auto* six = reinterpret_cast<DRIVER_INFO_6W*>(level6.data());
    EXPECT_EQ(Str(six->pDriverPath), kFolder + u"\\KorRend.dll");
    EXPECT_EQ(List(six->pszzPreviousNames), Names{u"Korvan Old"});
    EXPECT_EQ(six->ftDriverDate.dwLowDateTime, 0x11223344u);
    EXPECT_EQ(six->ftDriverDate.dwHighDateTime, 0x01d5a0b0u);
    EXPECT_EQ(six->dwlDriverVersion, 0x0003000200010000ull);
    EXPECT_EQ(Str(six->pszMfgName), u"Korvan");
    EXPECT_EQ(Str(six->pszOEMUrl), u"http://korvan.example/support");
    EXPECT_EQ(Str(six->pszHardwareID), u"korvan_laser_7");
    EXPECT_EQ(Str(six->pszProvider), u"Korvan Systems");

    // The registry holds file names only, under the key Windows uses.
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE,
                            u"SYSTEM\\CurrentControlSet\\Control\\Print\\Environments\\Windows x64\\Drivers\\"
                            u"Version-3\\Korvan PCL6",
                            0, KEY_READ, &key),
              ERROR_SUCCESS);
    WCHAR value[64];
    DWORD size = sizeof(value), type = 0;
    ASSERT_EQ(RegQueryValueExW(key, u"Driver", nullptr, &type, reinterpret_cast<LPBYTE>(value), &size), ERROR_SUCCESS);
    EXPECT_EQ(std::u16string(value), u"KorRend.dll");
    RegCloseKey(key);

    // The driver's environment may be named; another environment has no such driver.
    EXPECT_EQ(GetDriverBytes(printer, 2, u"Windows x64").size(), level2.size());
    DWORD needed = 0;
    SetLastError(0);
    EXPECT_FALSE(GetPrinterDriverW(printer, u"Windows NT x86", 2, nullptr, 0, &needed));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_UNKNOWN_PRINTER_DRIVER));
    SetLastError(0);
    EXPECT_FALSE(GetPrinterDriverW(printer, u"Windows 3.1", 2, nullptr, 0, &needed));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_ENVIRONMENT));
}

TEST_F(Drivers, EnumPrinterDriversListsEveryDriverOfTheEnvironment) {
    EXPECT_EQ(DriverNames(), Names{});
    DriverFiles second;
    second.name = u"Korvan B";
    second.driverFile = u"b.dll";
    ASSERT_EQ(tam::test::InstallDriver(machine(), second), DWORD(ERROR_SUCCESS));
    ASSERT_EQ(tam::test::InstallDriver(machine(), DriverFiles{}), DWORD(ERROR_SUCCESS));
    EXPECT_EQ(DriverNames(2), (Names{u"Korvan B", u"Korvan Test Driver"}));
    EXPECT_EQ(DriverNames(3), (Names{u"Korvan B", u"Korvan Test Driver"}));
    EXPECT_EQ(DriverNames(2, u"Windows NT x86"), Names{});

    // A driver for 32-bit clients goes to its own environment and folder.
    Info6 x86 = MediaDriver();
    x86.environment = u"Windows NT x86";
    ASSERT_TRUE(AddPrinterDriverExW(nullptr, 6, x86.Get(), APD_COPY_NEW_FILES)) << GetLastError();
    EXPECT_TRUE(Exists(u"C:\\Windows\\System32\\spool\\drivers\\W32X86\\3\\KorRend.dll"));
    EXPECT_FALSE(Exists(kFolder + u"\\KorRend.dll"));
    EXPECT_EQ(DriverNames(2, u"Windows NT x86"), Names{u"Korvan PCL6"});
    EXPECT_EQ(DriverNames(2), (Names{u"Korvan B", u"Korvan Test Driver"}));
    // Environment by environment, each in name order.
    EXPECT_EQ(DriverNames(2, u"all"), (Names{u"Korvan PCL6", u"Korvan B", u"Korvan Test Driver"}));
}

TEST_F(Drivers, BareNamesAreTakenFromTheDriverFolders) {
    // An installer's files in the driver folder move into the version folder;
    // files already there stay.
    PutMachineFile(machine(), kStaging + u"\\staged.dll");
    PutMachineFile(machine(), kFolder + u"\\inplace.gpd");
    PutMachineFile(machine(), kFolder + u"\\inplace.dll");
    std::string staged = ReadHost(kStaging + u"\\staged.dll");
    Info6 d;
    d.driver = u"staged.dll";
    d.data = u"inplace.gpd";
    d.config = u"inplace.dll";
    ASSERT_TRUE(AddPrinterDriverExW(nullptr, 6, d.Get(), 0)) << GetLastError();
    EXPECT_EQ(ReadHost(kFolder + u"\\staged.dll"), staged);
    EXPECT_FALSE(Exists(kStaging + u"\\staged.dll"));
    EXPECT_TRUE(Exists(kFolder + u"\\inplace.gpd"));

    // A file that is nowhere: nothing is installed, nothing copied.
    PutMachineFile(machine(), kMedia + u"\\new.dll");
    Info6 missing;
    missing.name = u"Korvan Missing";
    missing.driver = kMedia + u"\\new.dll";
    missing.data = u"nowhere.gpd";
    missing.config = u"inplace.dll";
    SetLastError(0);
    EXPECT_FALSE(AddPrinterDriverExW(nullptr, 6, missing.Get(), APD_COPY_ALL_FILES));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_NOT_FOUND));
    EXPECT_FALSE(Exists(kFolder + u"\\new.dll"));
    missing.data = kMedia + u"\\nowhere.gpd";
    SetLastError(0);
    EXPECT_FALSE(AddPrinterDriverExW(nullptr, 6, missing.Get(), APD_COPY_ALL_FILES));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(DriverNames(), Names{u"Korvan PCL6"});
}

TEST_F(Drivers, AddingAgainReplacesTheDriverAndCopyFlagsDecideTheFiles) {
    Info6 d = MediaDriver();
    ASSERT_TRUE(AddPrinterDriverExW(nullptr, 6, d.Get(), APD_COPY_NEW_FILES));
    HANDLE printer = PrinterFor(u"Korvan PCL6");
    ASSERT_NE(printer, nullptr);

    // The installed file is newer than the media's: only APD_COPY_ALL_FILES replaces it.
    const auto installed = HostPath(kFolder + u"\\KorRend.dll");
    const auto media = HostPath(kMedia + u"\\KorRend.dll");
    { std::ofstream(installed, std::ios::trunc) << "installed, newer"; }
    Info6 again = MediaDriver();
    std::filesystem::last_write_time(media, std::filesystem::last_write_time(installed) - std::chrono::hours(1));
    again.data = kMedia + u"\\KorFont.dat";  // a different data file this time
    ASSERT_TRUE(AddPrinterDriverExW(nullptr, 6, again.Get(), APD_COPY_NEW_FILES)) << GetLastError();
    EXPECT_EQ(ReadHost(kFolder + u"\\KorRend.dll"), "installed, newer");
    std::vector<BYTE> level2 = GetDriverBytes(printer, 2);
    EXPECT_EQ(Str(reinterpret_cast<DRIVER_INFO_2W*>(level2.data())->pDataFile), kFolder + u"\\KorFont.dat");

    ASSERT_TRUE(AddPrinterDriverExW(nullptr, 6, again.Get(), APD_COPY_ALL_FILES)) << GetLastError();
    EXPECT_EQ(ReadHost(kFolder + u"\\KorRend.dll"), ReadHost(kMedia + u"\\KorRend.dll"));
    EXPECT_EQ(DriverNames(), Names{u"Korvan PCL6"});
}

TEST_F(Drivers, AddPrinterDriverRefusesBadRecords) {
    Info6 good = MediaDriver();
    struct Case {
        const char* what;
        DWORD level;
        void (*change)(Info6&);
        DWORD flags;
        DWORD error;
    };
    const Case cases[] = {
        {"level 1", 1, [](Info6&) {}, 0, ERROR_INVALID_LEVEL},
        {"kernel-mode version", 6, [](Info6& d) { d.version = 2; }, 0, ERROR_INVALID_PARAMETER},
        {"no name", 6, [](Info6& d) { d.name.clear(); }, 0, ERROR_INVALID_PARAMETER},
        {"no config file", 6, [](Info6& d) { d.config.clear(); }, 0, ERROR_INVALID_PARAMETER},
        {"unknown environment", 6, [](Info6& d) { d.environment = u"Windows 95"; }, 0, ERROR_INVALID_ENVIRONMENT},
        {"monitor not installed", 6, [](Info6& d) { d.monitor = u"PJL Language Monitor"; }, 0,
         ERROR_UNKNOWN_PRINT_MONITOR},
        {"strict upgrade", 6, [](Info6&) {}, APD_STRICT_UPGRADE, ERROR_NOT_SUPPORTED},
    };
    for (const auto& c : cases) {
        Info6 d = good;
        c.change(d);
        SetLastError(0);
        EXPECT_FALSE(AddPrinterDriverExW(nullptr, c.level, d.Get(), c.flags)) << c.what;
        EXPECT_EQ(GetLastError(), c.error) << c.what;
    }
    SetLastError(0);
    EXPECT_FALSE(AddPrinterDriverExW(u"\\\\FILESERVER", 6, good.Get(), 0));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_NAME));
    SetLastError(0);
    EXPECT_FALSE(AddPrinterDriverW(nullptr, 3, nullptr));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(DriverNames(), Names{});

    // A language monitor that is installed is accepted.
    MONITOR_INFO_2W monitor{const_cast<LPWSTR>(u"PJL Language Monitor"), nullptr, const_cast<LPWSTR>(u"pjlmon.dll")};
    ASSERT_TRUE(AddMonitorW(nullptr, 2, reinterpret_cast<LPBYTE>(&monitor)));
    good.monitor = u"PJL Language Monitor";
    EXPECT_TRUE(AddPrinterDriverExW(nullptr, 6, good.Get(), 0)) << GetLastError();
}

TEST_F(Drivers, DriverInUseIsNotDeleted) {
    ASSERT_EQ(AddLaser(), DWORD(ERROR_SUCCESS));
    SetLastError(0);
    EXPECT_FALSE(DeletePrinterDriverW(nullptr, nullptr, u"Korvan Test Driver"));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_PRINTER_DRIVER_IN_USE));
    SetLastError(0);
    EXPECT_FALSE(DeletePrinterDriverExW(nullptr, nullptr, u"Korvan Test Driver", DPD_DELETE_ALL_FILES, 0));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_PRINTER_DRIVER_IN_USE));
    EXPECT_EQ(DriverNames(), Names{u"Korvan Test Driver"});

    HANDLE printer = Open(u"Korvan Laser");
    ASSERT_NE(printer, nullptr);
    ASSERT_TRUE(DeletePrinter(printer));
    ASSERT_TRUE(DeletePrinterDriverW(nullptr, nullptr, u"Korvan Test Driver")) << GetLastError();
    EXPECT_EQ(DriverNames(), Names{});
    EXPECT_TRUE(Exists(kFolder + u"\\testrend.dll"));  // the plain form keeps the files
    SetLastError(0);
    EXPECT_FALSE(DeletePrinterDriverW(nullptr, nullptr, u"Korvan Test Driver"));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_UNKNOWN_PRINTER_DRIVER));
}

TEST_F(Drivers, DeletingUnusedFilesKeepsFilesAnotherDriverShares) {
    DriverFiles first;
    first.dependentFiles = {u"shared.dat"};
    DriverFiles second;
    second.name = u"Korvan Other";
    second.driverFile = u"other.dll";
    second.dependentFiles = {u"shared.dat"};
    ASSERT_EQ(tam::test::InstallDriver(machine(), first), DWORD(ERROR_SUCCESS));
    ASSERT_EQ(tam::test::InstallDriver(machine(), second), DWORD(ERROR_SUCCESS));

    SetLastError(0);
    EXPECT_FALSE(DeletePrinterDriverExW(nullptr, nullptr, u"Korvan Other", DPD_DELETE_ALL_FILES, 0));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_PRINTER_DRIVER_IN_USE));
    SetLastError(0);
    EXPECT_FALSE(DeletePrinterDriverExW(nullptr, nullptr, u"Korvan Other", DPD_DELETE_SPECIFIC_VERSION, 2));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_UNKNOWN_PRINTER_DRIVER));

    ASSERT_TRUE(DeletePrinterDriverExW(nullptr, nullptr, u"Korvan Other",
                                       DPD_DELETE_UNUSED_FILES | DPD_DELETE_SPECIFIC_VERSION, 3))
        << GetLastError();
    EXPECT_FALSE(Exists(kFolder + u"\\other.dll"));
    for (const char16_t* kept : {u"shared.dat", u"testrend.dll", u"testdata.gpd", u"testui.dll"})
        EXPECT_TRUE(Exists(kFolder + u"\\" + kept)) << w32::ToUtf8(kept);
    EXPECT_EQ(DriverNames(), Names{u"Korvan Test Driver"});
}

TEST_F(Drivers, FoldersFollowTheSizeProtocol) {
    struct Case {
        decltype(&GetPrinterDriverDirectoryW) function;
        const char16_t* environment;
        const char16_t* folder;
    };
    const Case cases[] = {
        {GetPrinterDriverDirectoryW, nullptr, u"C:\\Windows\\System32\\spool\\drivers\\x64"},
        {GetPrinterDriverDirectoryW, u"Windows NT x86", u"C:\\Windows\\System32\\spool\\drivers\\W32X86"},
        {GetPrintProcessorDirectoryW, nullptr, u"C:\\Windows\\System32\\spool\\prtprocs\\x64"},
    };
    for (const auto& c : cases) {
        std::vector<BYTE> bytes = Fetch([&](LPBYTE b, DWORD n, LPDWORD need, LPDWORD) {
            return c.function(nullptr, c.environment, 1, b, n, need);
        });
        std::u16string folder(c.folder);
        ASSERT_EQ(bytes.size(), (folder.size() + 1) * 2) << w32::ToUtf8(folder);
        EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(bytes.data())), folder);
        if (!c.environment) {
            EXPECT_TRUE(std::filesystem::is_directory(HostPath(folder))) << w32::ToUtf8(folder);
        }
    }
    BYTE buffer[600];
    DWORD needed = 0;
    SetLastError(0);
    EXPECT_FALSE(GetPrinterDriverDirectoryW(nullptr, nullptr, 2, buffer, sizeof(buffer), &needed));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_LEVEL));
    SetLastError(0);
    EXPECT_FALSE(GetPrinterDriverDirectoryW(nullptr, u"Windows 95", 1, buffer, sizeof(buffer), &needed));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_ENVIRONMENT));
    SetLastError(0);
    EXPECT_FALSE(GetPrintProcessorDirectoryW(nullptr, nullptr, 1, buffer, sizeof(buffer), nullptr));
    EXPECT_EQ(GetLastError(), DWORD(RPC_X_NULL_REF_POINTER));
}

}  // namespace
