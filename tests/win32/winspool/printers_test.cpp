#include "spooler_fixture.h"

using tam::test::DriverFiles;
using tam::test::PrinterSettings;
using tam::test::SpoolerTest;
using Names = std::vector<std::u16string>;

namespace {

constexpr DWORD kLocal = PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS;
const std::u16string kPrintersKey = u"SYSTEM\\CurrentControlSet\\Control\\Print\\Printers";

class Printers : public SpoolerTest {
protected:
    // Every pointer of a record lies inside the buffer that holds it.
    static void ExpectInside(const std::vector<BYTE>& buffer, const void* pointer) {
        if (!pointer) return;
        auto* p = static_cast<const BYTE*>(pointer);
        EXPECT_GE(p, buffer.data());
        EXPECT_LT(p, buffer.data() + buffer.size());
    }

    static std::vector<BYTE> QueryValue(HKEY key, const char16_t* name, DWORD* type = nullptr) {
        DWORD size = 0;
        if (RegQueryValueExW(key, name, nullptr, type, nullptr, &size) != ERROR_SUCCESS) return {};
        std::vector<BYTE> data(size);
        EXPECT_EQ(RegQueryValueExW(key, name, nullptr, type, data.data(), &size), ERROR_SUCCESS);
        return data;
    }
    static std::u16string QueryString(HKEY key, const char16_t* name) {
        std::vector<BYTE> data = QueryValue(key, name);
        std::u16string text(data.size() / 2, u'\0');
        if (!text.empty()) std::memcpy(text.data(), data.data(), text.size() * 2);
        while (!text.empty() && text.back() == 0) text.pop_back();
        return text;
    }
};

TEST_F(Printers, AddedPrinterIsListedByEnumPrintersAtLevels1And2) {
    DWORD needed = 99, returned = 99;
    EXPECT_TRUE(EnumPrintersW(kLocal, nullptr, 2, nullptr, 0, &needed, &returned));  // none yet
    EXPECT_EQ(needed, 0u);
    EXPECT_EQ(returned, 0u);

    std::vector<BYTE> devMode = MakeDevMode(u"Korvan Laser", DMPAPER_A4, 2, 16);
    PrinterSettings settings;
    settings.devMode = AsDevMode(devMode);
    settings.comment = u"Second floor";
    settings.location = u"Room 12";
    ASSERT_EQ(AddLaser(settings), DWORD(ERROR_SUCCESS));

    DWORD count = 0;
    std::vector<BYTE> level1 = EnumPrinterBytes(kLocal, 1, count);
    ASSERT_EQ(count, 1u);
    auto* one = reinterpret_cast<PRINTER_INFO_1W*>(level1.data());
    EXPECT_EQ(one->Flags, DWORD(PRINTER_ENUM_ICON8));
    EXPECT_EQ(Str(one->pName), u"Korvan Laser");
    EXPECT_EQ(Str(one->pDescription), u"Korvan Laser,Korvan Test Driver,Room 12");
    EXPECT_EQ(Str(one->pComment), u"Second floor");
    for (const void* p : {(const void*)one->pName, (const void*)one->pDescription, (const void*)one->pComment})
        ExpectInside(level1, p);

    std::vector<BYTE> level2 = EnumPrinterBytes(kLocal, 2, count);
    ASSERT_EQ(count, 1u);
    auto* two = reinterpret_cast<PRINTER_INFO_2W*>(level2.data());
    EXPECT_EQ(two->pServerName, nullptr);
    EXPECT_EQ(Str(two->pPrinterName), u"Korvan Laser");
    EXPECT_EQ(Str(two->pPortName), u"FILE:");
    EXPECT_EQ(Str(two->pDriverName), u"Korvan Test Driver");
    EXPECT_EQ(Str(two->pComment), u"Second floor");
    EXPECT_EQ(Str(two->pLocation), u"Room 12");
    EXPECT_EQ(Str(two->pPrintProcessor), u"winprint");
    EXPECT_EQ(Str(two->pDatatype), u"RAW");
    EXPECT_EQ(two->Attributes, DWORD(PRINTER_ATTRIBUTE_LOCAL));
    EXPECT_EQ(two->Priority, 1u);
    EXPECT_EQ(two->Status, 0u);
    EXPECT_EQ(two->cJobs, 0u);
    ASSERT_NE(two->pDevMode, nullptr);
    EXPECT_EQ(reinterpret_cast<ULONG_PTR>(two->pDevMode) % 4, 0u);
    EXPECT_EQ(DevModeBytes(two->pDevMode), devMode);  // stored as given, driver part included
    ExpectInside(level2, two->pDevMode);
    ExpectInside(level2, reinterpret_cast<const BYTE*>(two->pDevMode) + devMode.size() - 1);
}

TEST_F(Printers, EnumPrintersSortsByNameAndKeepsTheSizeProtocol) {
    ASSERT_EQ(tam::test::InstallDriver(machine(), DriverFiles{}), DWORD(ERROR_SUCCESS));
    for (const char16_t* name : {u"zeta", u"Alpha", u"beta"})
        ASSERT_EQ(tam::test::AddTestPrinter(name, u"Korvan Test Driver"), DWORD(ERROR_SUCCESS));
    EXPECT_EQ(PrinterNames(), (Names{u"Alpha", u"beta", u"zeta"}));

    DWORD needed = 0, returned = 0;
    EXPECT_FALSE(EnumPrintersW(kLocal, nullptr, 2, nullptr, 0, &needed, &returned));
    ASSERT_GT(needed, 3 * sizeof(PRINTER_INFO_2W));
    std::vector<BYTE> buffer(needed);
    DWORD again = 0;
    returned = 7;
    SetLastError(0);
    EXPECT_FALSE(EnumPrintersW(kLocal, nullptr, 2, buffer.data(), needed - 1, &again, &returned));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(again, needed);
    EXPECT_EQ(returned, 0u);

    struct Case {
        DWORD flags, level;
        bool buffer;
        DWORD size;
        bool counts;
        DWORD error;
    };
    const Case refused[] = {
        {kLocal, 3, false, 0, true, ERROR_INVALID_LEVEL},
        {kLocal, 1, false, 64, true, ERROR_INVALID_USER_BUFFER},  // a size without a buffer
        {kLocal, 1, true, 0, false, RPC_X_NULL_REF_POINTER},      // nowhere to put the count
        {PRINTER_ENUM_LOCAL | PRINTER_ENUM_SHARED, 4, true, 0, true, ERROR_INVALID_FLAGS},
    };
    for (const auto& c : refused) {
        SetLastError(0);
        DWORD n = 0, r = 0;
        EXPECT_FALSE(EnumPrintersW(c.flags, nullptr, c.level, c.buffer ? buffer.data() : nullptr, c.size, &n,
                                   c.counts ? &r : nullptr));
        EXPECT_EQ(GetLastError(), c.error) << "level " << c.level;
    }

    // The default printer alone: the first one added.
    DWORD count = 0;
    std::vector<BYTE> defaults = EnumPrinterBytes(PRINTER_ENUM_DEFAULT, 1, count);
    ASSERT_EQ(count, 1u);
    EXPECT_EQ(Str(reinterpret_cast<PRINTER_INFO_1W*>(defaults.data())->pName), u"zeta");
}

TEST_F(Printers, GetPrinterAnswersLevels1_2And8) {
    std::vector<BYTE> devMode = MakeDevMode(u"Korvan Laser", DMPAPER_LETTER, 1, 8);
    PrinterSettings settings;
    settings.devMode = AsDevMode(devMode);
    ASSERT_EQ(AddLaser(settings), DWORD(ERROR_SUCCESS));
    HANDLE printer = Open(u"Korvan Laser", PRINTER_ACCESS_USE);
    ASSERT_NE(printer, nullptr);

    std::vector<BYTE> level1 = GetPrinterBytes(printer, 1);
    ASSERT_GE(level1.size(), sizeof(PRINTER_INFO_1W));
    EXPECT_EQ(Str(reinterpret_cast<PRINTER_INFO_1W*>(level1.data())->pName), u"Korvan Laser");

    std::vector<BYTE> level2 = GetPrinterBytes(printer, 2);
    ASSERT_GE(level2.size(), sizeof(PRINTER_INFO_2W));
    auto* two = reinterpret_cast<PRINTER_INFO_2W*>(level2.data());
    EXPECT_EQ(Str(two->pDriverName), u"Korvan Test Driver");
    EXPECT_EQ(DevModeBytes(two->pDevMode), devMode);

    std::vector<BYTE> level8 = GetPrinterBytes(printer, 8);
    ASSERT_GE(level8.size(), sizeof(PRINTER_INFO_8W));
    EXPECT_EQ(DevModeBytes(reinterpret_cast<PRINTER_INFO_8W*>(level8.data())->pDevMode), devMode);

    DWORD needed = 0;
    SetLastError(0);
    EXPECT_FALSE(GetPrinterW(printer, 2, level2.data(), DWORD(sizeof(PRINTER_INFO_2W)), &needed));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(needed, level2.size());
    SetLastError(0);
    EXPECT_FALSE(GetPrinterW(printer, 10, nullptr, 0, &needed));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_LEVEL));

    // A printer added without a DEVMODE has none until its driver gives one.
    ASSERT_EQ(tam::test::AddTestPrinter(u"Plain", u"Korvan Test Driver"), DWORD(ERROR_SUCCESS));
    HANDLE plain = Open(u"Plain", PRINTER_ACCESS_USE);
    ASSERT_NE(plain, nullptr);
    level8 = GetPrinterBytes(plain, 8);
    ASSERT_GE(level8.size(), sizeof(PRINTER_INFO_8W));
    EXPECT_EQ(reinterpret_cast<PRINTER_INFO_8W*>(level8.data())->pDevMode, nullptr);
}

TEST_F(Printers, SetPrinterChangesAreSeenThroughEveryHandle) {
    ASSERT_EQ(AddLaser(), DWORD(ERROR_SUCCESS));
    HANDLE admin = Open(u"Korvan Laser");
    HANDLE reader = Open(u"Korvan Laser", PRINTER_ACCESS_USE);
    ASSERT_NE(admin, nullptr);
    ASSERT_NE(reader, nullptr);

    std::vector<BYTE> level2 = GetPrinterBytes(admin, 2);
    auto* info = reinterpret_cast<PRINTER_INFO_2W*>(level2.data());
    std::u16string comment = u"Moved", port = u"COM1:", name = u"Korvan Laser 2";
    info->pComment = comment.data();
    info->pPortName = port.data();
    info->pPrinterName = name.data();
    ASSERT_TRUE(SetPrinterW(admin, 2, level2.data(), 0)) << GetLastError();

    // Renamed: the old name is gone, the handles follow the printer.
    EXPECT_EQ(PrinterNames(), Names{u"Korvan Laser 2"});
    std::vector<BYTE> seen = GetPrinterBytes(reader, 2);
    auto* after = reinterpret_cast<PRINTER_INFO_2W*>(seen.data());
    EXPECT_EQ(Str(after->pPrinterName), u"Korvan Laser 2");
    EXPECT_EQ(Str(after->pComment), u"Moved");
    EXPECT_EQ(Str(after->pPortName), u"COM1:");
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, (kPrintersKey + u"\\Korvan Laser 2").c_str(), 0, KEY_READ, &key),
              ERROR_SUCCESS);
    EXPECT_EQ(QueryString(key, u"Port"), u"COM1:");
    RegCloseKey(key);

    // The global DEVMODE, and a pause that shows in the status.
    std::vector<BYTE> devMode = MakeDevMode(u"Korvan Laser 2", DMPAPER_A3, 5);
    PRINTER_INFO_8W level8{const_cast<LPDEVMODEW>(AsDevMode(devMode))};
    ASSERT_TRUE(SetPrinterW(admin, 8, reinterpret_cast<LPBYTE>(&level8), 0));
    ASSERT_TRUE(SetPrinterW(admin, 0, nullptr, PRINTER_CONTROL_PAUSE));
    seen = GetPrinterBytes(reader, 2);
    after = reinterpret_cast<PRINTER_INFO_2W*>(seen.data());
    EXPECT_EQ(DevModeBytes(after->pDevMode), devMode);
    EXPECT_EQ(after->Status, DWORD(PRINTER_STATUS_PAUSED));
    ASSERT_TRUE(SetPrinterW(admin, 0, nullptr, PRINTER_CONTROL_RESUME));
    std::vector<BYTE> level6 = GetPrinterBytes(reader, 6);
    EXPECT_EQ(reinterpret_cast<PRINTER_INFO_6*>(level6.data())->dwStatus, 0u);

    // Changing needs a handle opened to administer; unknown ports and commands are refused.
    struct Case {
        HANDLE handle;
        DWORD level;
        void* data;
        DWORD command;
        DWORD error;
    };
    std::u16string missingPort = u"LPT9:";
    std::vector<BYTE> bad = GetPrinterBytes(admin, 2);
    reinterpret_cast<PRINTER_INFO_2W*>(bad.data())->pPortName = missingPort.data();
    const Case refused[] = {
        {reader, 2, seen.data(), 0, ERROR_ACCESS_DENIED},
        {reader, 0, nullptr, PRINTER_CONTROL_PAUSE, ERROR_ACCESS_DENIED},
        {admin, 2, bad.data(), 0, ERROR_UNKNOWN_PORT},
        {admin, 0, nullptr, 77, ERROR_INVALID_PRINTER_COMMAND},
        {admin, 4, seen.data(), 0, ERROR_INVALID_LEVEL},
        {admin, 2, nullptr, 0, ERROR_INVALID_PARAMETER},
    };
    for (const auto& c : refused) {
        SetLastError(0);
        EXPECT_FALSE(SetPrinterW(c.handle, c.level, static_cast<LPBYTE>(c.data), c.command));
        EXPECT_EQ(GetLastError(), c.error) << "level " << c.level << " command " << c.command;
    }
}

TEST_F(Printers, UsersOwnDevModeGoesWithLevel9AndLevel2) {
    std::vector<BYTE> global = MakeDevMode(u"Korvan Laser", DMPAPER_A4, 1);
    PrinterSettings settings;
    settings.devMode = AsDevMode(global);
    ASSERT_EQ(AddLaser(settings), DWORD(ERROR_SUCCESS));
    HANDLE user = Open(u"Korvan Laser", PRINTER_ACCESS_USE);
    ASSERT_NE(user, nullptr);

    std::vector<BYTE> level9 = GetPrinterBytes(user, 9);
    EXPECT_EQ(reinterpret_cast<PRINTER_INFO_9W*>(level9.data())->pDevMode, nullptr);

    std::vector<BYTE> mine = MakeDevMode(u"Korvan Laser", DMPAPER_LETTER, 3, 4);
    PRINTER_INFO_9W info{const_cast<LPDEVMODEW>(AsDevMode(mine))};
    ASSERT_TRUE(SetPrinterW(user, 9, reinterpret_cast<LPBYTE>(&info), 0)) << GetLastError();
    level9 = GetPrinterBytes(user, 9);
    EXPECT_EQ(DevModeBytes(reinterpret_cast<PRINTER_INFO_9W*>(level9.data())->pDevMode), mine);
    std::vector<BYTE> level2 = GetPrinterBytes(user, 2);
    EXPECT_EQ(DevModeBytes(reinterpret_cast<PRINTER_INFO_2W*>(level2.data())->pDevMode), mine);
    std::vector<BYTE> level8 = GetPrinterBytes(user, 8);
    EXPECT_EQ(DevModeBytes(reinterpret_cast<PRINTER_INFO_8W*>(level8.data())->pDevMode), global);

    // Removing it brings the printer's own back.
    info.pDevMode = nullptr;
    ASSERT_TRUE(SetPrinterW(user, 9, reinterpret_cast<LPBYTE>(&info), 0));
    level2 = GetPrinterBytes(user, 2);
    EXPECT_EQ(DevModeBytes(reinterpret_cast<PRINTER_INFO_2W*>(level2.data())->pDevMode), global);
}

TEST_F(Printers, AddPrinterRefusesWhatCannotWork) {
    ASSERT_EQ(AddLaser(), DWORD(ERROR_SUCCESS));
    struct Case {
        const char16_t* name;
        const char16_t* driver;
        const char16_t* port;
        const char16_t* processor;
        const char16_t* datatype;
        DWORD priority;
        DWORD error;
    };
    const Case cases[] = {
        {u"korvan LASER", u"Korvan Test Driver", u"FILE:", u"winprint", u"RAW", 1, ERROR_PRINTER_ALREADY_EXISTS},
        {u"Other", u"No Such Driver", u"FILE:", u"winprint", u"RAW", 1, ERROR_UNKNOWN_PRINTER_DRIVER},
        {u"Other", u"Korvan Test Driver", u"LPT7:", u"winprint", u"RAW", 1, ERROR_UNKNOWN_PORT},
        {u"Other", u"Korvan Test Driver", u"FILE:,LPT7:", u"winprint", u"RAW", 1, ERROR_UNKNOWN_PORT},
        {u"Other", u"Korvan Test Driver", u"FILE:", u"nosuchproc", u"RAW", 1, ERROR_UNKNOWN_PRINTPROCESSOR},
        {u"Other", u"Korvan Test Driver", u"FILE:", u"winprint", u"PDF", 1, ERROR_INVALID_DATATYPE},
        {u"Other", u"Korvan Test Driver", u"FILE:", u"winprint", u"RAW", 100, ERROR_INVALID_PRIORITY},
        {u"Bad\\Name", u"Korvan Test Driver", u"FILE:", u"winprint", u"RAW", 1, ERROR_INVALID_PRINTER_NAME},
        {u"Bad,Name", u"Korvan Test Driver", u"FILE:", u"winprint", u"RAW", 1, ERROR_INVALID_PRINTER_NAME},
        {u"", u"Korvan Test Driver", u"FILE:", u"winprint", u"RAW", 1, ERROR_INVALID_PRINTER_NAME},
    };
    for (const auto& c : cases) {
        std::u16string name = c.name, driver = c.driver, port = c.port, processor = c.processor, datatype = c.datatype;
        PRINTER_INFO_2W info{};
        info.pPrinterName = name.data();
        info.pDriverName = driver.data();
        info.pPortName = port.data();
        info.pPrintProcessor = processor.data();
        info.pDatatype = datatype.data();
        info.Priority = c.priority;
        SetLastError(0);
        EXPECT_EQ(AddPrinterW(nullptr, 2, reinterpret_cast<LPBYTE>(&info)), nullptr) << w32::ToUtf8(name);
        EXPECT_EQ(GetLastError(), c.error) << w32::ToUtf8(name) << " " << w32::ToUtf8(port);
    }
    EXPECT_EQ(PrinterNames(), Names{u"Korvan Laser"});

    PRINTER_INFO_2W empty{};
    SetLastError(0);
    EXPECT_EQ(AddPrinterW(nullptr, 1, reinterpret_cast<LPBYTE>(&empty)), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_LEVEL));
    SetLastError(0);
    EXPECT_EQ(AddPrinterW(u"\\\\ELSEWHERE", 2, reinterpret_cast<LPBYTE>(&empty)), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_NAME));
}

TEST_F(Printers, OpenPrinterNames) {
    ASSERT_EQ(AddLaser(), DWORD(ERROR_SUCCESS));
    struct Case {
        const char16_t* name;
        DWORD error;
    };
    const Case cases[] = {
        {u"Korvan Laser", ERROR_SUCCESS},
        {u"KORVAN LASER", ERROR_SUCCESS},
        {u"\\\\KORVAN-PC\\Korvan Laser", ERROR_SUCCESS},
        {u"\\\\korvan-pc", ERROR_SUCCESS},  // the print server
        {u"Korvan Lazer", ERROR_INVALID_PRINTER_NAME},
        {u"\\\\OTHER-PC\\Korvan Laser", ERROR_INVALID_PRINTER_NAME},
        {u"Korvan Laser,Job 4", ERROR_NOT_SUPPORTED},
    };
    for (const auto& c : cases) {
        HANDLE handle = reinterpret_cast<HANDLE>(0x1234);
        SetLastError(0);
        BOOL ok = OpenPrinterW(c.name, &handle, nullptr);
        EXPECT_EQ(ok, c.error == ERROR_SUCCESS) << w32::ToUtf8(c.name);
        if (ok) {
            EXPECT_NE(handle, nullptr);
            EXPECT_TRUE(ClosePrinter(handle));
        } else {
            EXPECT_EQ(handle, nullptr) << w32::ToUtf8(c.name);
            EXPECT_EQ(GetLastError(), c.error) << w32::ToUtf8(c.name);
        }
    }

    // The server's handle is no printer.
    HANDLE server = nullptr;
    ASSERT_TRUE(OpenPrinterW(nullptr, &server, nullptr));
    DWORD needed = 0;
    SetLastError(0);
    EXPECT_FALSE(GetPrinterW(server, 2, nullptr, 0, &needed));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
    EXPECT_TRUE(ClosePrinter(server));
    SetLastError(0);
    EXPECT_FALSE(ClosePrinter(server));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));

    // A datatype the print processor does not know is refused at open.
    std::u16string datatype = u"PDF";
    PRINTER_DEFAULTSW defaults{datatype.data(), nullptr, PRINTER_ACCESS_USE};
    HANDLE printer = nullptr;
    SetLastError(0);
    EXPECT_FALSE(OpenPrinterW(u"Korvan Laser", &printer, &defaults));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_DATATYPE));
}

TEST_F(Printers, PrinterWhoseKeyIsDeletedDirectlyIsGone) {
    ASSERT_EQ(AddLaser(), DWORD(ERROR_SUCCESS));
    HANDLE printer = Open(u"Korvan Laser", PRINTER_ACCESS_USE);
    ASSERT_NE(printer, nullptr);
    ASSERT_EQ(RegDeleteTreeW(HKEY_LOCAL_MACHINE, (kPrintersKey + u"\\Korvan Laser").c_str()), ERROR_SUCCESS);

    EXPECT_EQ(PrinterNames(), Names{});
    HANDLE again = nullptr;
    SetLastError(0);
    EXPECT_FALSE(OpenPrinterW(u"Korvan Laser", &again, nullptr));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PRINTER_NAME));
    DWORD needed = 0;
    SetLastError(0);
    EXPECT_FALSE(GetPrinterW(printer, 2, nullptr, 0, &needed));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_PRINTER_DELETED));
    // Its driver is free again.
    EXPECT_TRUE(DeletePrinterDriverW(nullptr, nullptr, u"Korvan Test Driver")) << GetLastError();
}

TEST_F(Printers, DeletePrinterRemovesItsKeyAndMovesTheDefault) {
    ASSERT_EQ(AddLaser(), DWORD(ERROR_SUCCESS));
    ASSERT_EQ(tam::test::AddTestPrinter(u"Backup", u"Korvan Test Driver"), DWORD(ERROR_SUCCESS));
    HANDLE reader = Open(u"Korvan Laser", PRINTER_ACCESS_USE);
    HANDLE admin = Open(u"Korvan Laser");
    ASSERT_NE(admin, nullptr);
    SetLastError(0);
    EXPECT_FALSE(DeletePrinter(reader));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ACCESS_DENIED));

    ASSERT_TRUE(DeletePrinter(admin));
    EXPECT_EQ(PrinterNames(), Names{u"Backup"});
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, (kPrintersKey + u"\\Korvan Laser").c_str(), 0, KEY_READ, &key),
              ERROR_FILE_NOT_FOUND);
    WCHAR name[64];
    DWORD size = 64;
    ASSERT_TRUE(GetDefaultPrinterW(name, &size));
    EXPECT_EQ(std::u16string(name), u"Backup");
    SetLastError(0);
    EXPECT_FALSE(DeletePrinter(admin));  // already gone
    EXPECT_EQ(GetLastError(), DWORD(ERROR_PRINTER_DELETED));
}

TEST_F(Printers, PrinterAndItsKeysSurviveReopeningTheMachine) {
    std::vector<BYTE> devMode = MakeDevMode(u"Korvan Laser", DMPAPER_A4, 1, 12);
    PrinterSettings settings;
    settings.devMode = AsDevMode(devMode);
    ASSERT_EQ(AddLaser(settings), DWORD(ERROR_SUCCESS));
    Reopen();

    EXPECT_EQ(PrinterNames(), Names{u"Korvan Laser"});
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, (kPrintersKey + u"\\Korvan Laser").c_str(), 0, KEY_READ, &key),
              ERROR_SUCCESS);
    EXPECT_EQ(QueryString(key, u"Name"), u"Korvan Laser");
    EXPECT_EQ(QueryString(key, u"Printer Driver"), u"Korvan Test Driver");
    EXPECT_EQ(QueryString(key, u"Port"), u"FILE:");
    EXPECT_EQ(QueryString(key, u"Print Processor"), u"winprint");
    DWORD type = 0;
    EXPECT_EQ(QueryValue(key, u"Default DevMode", &type), devMode);
    EXPECT_EQ(type, DWORD(REG_BINARY));
    std::vector<BYTE> attributes = QueryValue(key, u"Attributes", &type);
    EXPECT_EQ(type, DWORD(REG_DWORD));
    ASSERT_EQ(attributes.size(), 4u);
    EXPECT_EQ(attributes[0], BYTE(PRINTER_ATTRIBUTE_LOCAL));
    RegCloseKey(key);

    // A value changed directly is what the spooler reports.
    ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, (kPrintersKey + u"\\Korvan Laser").c_str(), 0, KEY_SET_VALUE, &key),
              ERROR_SUCCESS);
    std::u16string location = u"Basement";
    ASSERT_EQ(RegSetValueExW(key, u"Location", 0, REG_SZ, reinterpret_cast<const BYTE*>(location.c_str()),
                             DWORD((location.size() + 1) * 2)),
              ERROR_SUCCESS);
    RegCloseKey(key);
    HANDLE printer = Open(u"Korvan Laser", PRINTER_ACCESS_USE);
    ASSERT_NE(printer, nullptr);
    std::vector<BYTE> level2 = GetPrinterBytes(printer, 2);
    EXPECT_EQ(Str(reinterpret_cast<PRINTER_INFO_2W*>(level2.data())->pLocation), u"Basement");
}

TEST_F(Printers, DefaultPrinterIsTheUsersDeviceValue) {
    WCHAR name[64];
    DWORD size = 64;
    SetLastError(0);
    EXPECT_FALSE(GetDefaultPrinterW(name, &size));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_NOT_FOUND));

    // The first printer becomes the default; later ones do not.
    ASSERT_EQ(AddLaser(), DWORD(ERROR_SUCCESS));
    ASSERT_EQ(tam::test::AddTestPrinter(u"Second", u"Korvan Test Driver"), DWORD(ERROR_SUCCESS));
    size = 64;
    ASSERT_TRUE(GetDefaultPrinterW(name, &size));
    EXPECT_EQ(std::u16string(name), u"Korvan Laser");
    EXPECT_EQ(size, 13u);

    ASSERT_TRUE(SetDefaultPrinterW(u"second"));
    size = 3;
    SetLastError(0);
    EXPECT_FALSE(GetDefaultPrinterW(name, &size));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(size, 7u);
    ASSERT_TRUE(GetDefaultPrinterW(name, &size));
    EXPECT_EQ(std::u16string(name), u"Second");

    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, u"Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows", 0, KEY_READ,
                            &key),
              ERROR_SUCCESS);
    EXPECT_EQ(QueryString(key, u"Device"), u"Second,winspool,Ne00:");
    RegCloseKey(key);

    SetLastError(0);
    EXPECT_FALSE(SetDefaultPrinterW(u"Nowhere"));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PRINTER_NAME));
    SetLastError(0);
    EXPECT_FALSE(GetDefaultPrinterW(name, nullptr));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
}

}  // namespace
