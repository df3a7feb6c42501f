// Printer DCs: CreateDCW and CreateICW through the spooler and the graphics
// engine, GetObjectType and DeleteDC.
#include "gdi32/dc.h"
#include "win32/win32k/engine_fixture.h"
#include "winspool/spooler.h"

using tam::test::EngineTest;
using tam::test::kFakePrinter;
using Calls = std::vector<std::string>;

namespace {

class PrinterDC : public EngineTest {};

TEST_F(PrinterDC, IsCreatedForAPrinterWhateverDriverNameIsGiven) {
    InstallFakePrinter();
    for (const char16_t* driver : {(const char16_t*)nullptr, u"WINSPOOL", u"winspool", u"Korvan Fake Driver"}) {
        w32::DebugLogClear();
        HDC dc = CreateDCW(driver, kFakePrinter, u"FILE:", nullptr);
        ASSERT_NE(dc, nullptr) << GetLastError();
        EXPECT_EQ(GetObjectType(dc), DWORD(OBJ_DC));
        EXPECT_EQ(DriverCalls(), (Calls{"DrvQueryDriverInfo", "DrvEnableDriver", "DrvEnablePDEV", "DrvCompletePDEV",
                                       "DrvEnableSurface"}));
        w32::PrinterDevice* device = w32::EngineDeviceOfDC(dc);
        ASSERT_NE(device, nullptr);
        EXPECT_NE(device->SurfaceObject(), nullptr);
        EXPECT_EQ(device->deviceName, kFakePrinter);
        EXPECT_NE(DriverLine("DrvEnablePDEV", "device=Korvan Fake "), "");
        EXPECT_TRUE(DeleteDC(dc));
        EXPECT_FALSE(DriverLoaded());
    }
}

TEST_F(PrinterDC, TheProgramsSettingsReachTheDriver) {
    InstallFakeDriver();
    std::vector<BYTE> stored = MakeDevMode(DMPAPER_A5, 4, 0, 8);
    AddFakePrinter(kFakePrinter, AsDevMode(stored));
    std::vector<BYTE> settings = MakeDevMode(DMPAPER_A3, 3, 300, 24);
    HDC dc = CreateDCW(nullptr, kFakePrinter, nullptr, AsDevMode(settings));
    ASSERT_NE(dc, nullptr) << GetLastError();
    EXPECT_NE(DriverLine("DrvEnablePDEV", "devmode=[name=Korvan Fake paper=8 copies=3 quality=300 extra=24 sum=408]"),
              "")
        << DriverLine("DrvEnablePDEV");
    EXPECT_EQ(w32::EngineDeviceOfDC(dc)->pdev->devMode, settings);
    EXPECT_TRUE(DeleteDC(dc));
}

TEST_F(PrinterDC, WithoutSettingsThePrintersStoredDefaultReachesTheDriver) {
    InstallFakeDriver();
    std::vector<BYTE> stored = MakeDevMode(DMPAPER_A5, 4, 0, 8);
    AddFakePrinter(kFakePrinter, AsDevMode(stored));
    AddFakePrinter(u"Bare");  // no stored settings

    HDC dc = CreateDCW(nullptr, kFakePrinter, nullptr, nullptr);
    ASSERT_NE(dc, nullptr) << GetLastError();
    EXPECT_NE(DriverLine("DrvEnablePDEV", "devmode=[name=Korvan Fake paper=11 copies=4 quality=0 extra=8 sum=136]"), "")
        << DriverLine("DrvEnablePDEV");
    EXPECT_EQ(w32::EngineDeviceOfDC(dc)->pdev->devMode, stored);

    HDC bare = CreateDCW(nullptr, u"Bare", nullptr, nullptr);
    ASSERT_NE(bare, nullptr) << GetLastError();
    EXPECT_NE(DriverLine("DrvEnablePDEV", "device=Bare devmode=[none]"), "") << DriverLog().back();
    EXPECT_TRUE(DeleteDC(bare));
    EXPECT_TRUE(DeleteDC(dc));
}

struct RefusedCase {
    const char16_t* driver;
    const char16_t* device;
    WORD dmSize;  // settings of this size; 0 for none
    DWORD error;
};

const RefusedCase kRefused[] = {
    {nullptr, u"No Such Printer", 0, ERROR_INVALID_PRINTER_NAME},  // the spooler's answer
    {u"DISPLAY", nullptr, 0, ERROR_NOT_SUPPORTED},
    {u"display", kFakePrinter, 0, ERROR_NOT_SUPPORTED},
    {nullptr, u"\\\\.\\DISPLAY1", 0, ERROR_NOT_SUPPORTED},
    {nullptr, nullptr, 0, ERROR_INVALID_PARAMETER},
    {nullptr, u"", 0, ERROR_INVALID_PARAMETER},
    {nullptr, kFakePrinter, 12, ERROR_INVALID_PARAMETER},
    {nullptr, kFakePrinter, sizeof(DEVMODEW) + 2, ERROR_INVALID_PARAMETER},
};

void PrintTo(const RefusedCase& c, std::ostream* os) {
    *os << "driver " << (c.driver ? w32::ToUtf8(c.driver) : "null") << ", device "
        << (c.device ? w32::ToUtf8(c.device) : "null") << ", settings of " << c.dmSize;
}

class PrinterDCRefused : public PrinterDC, public testing::WithParamInterface<RefusedCase> {};

TEST_P(PrinterDCRefused, WithTheReasonAndWithoutTouchingTheDriver) {
    const RefusedCase& c = GetParam();
    InstallFakePrinter();
    std::vector<BYTE> settings = MakeDevMode(DMPAPER_A4, 1);
    if (c.dmSize) reinterpret_cast<DEVMODEW*>(settings.data())->dmSize = c.dmSize;
    for (bool information : {false, true}) {
        SetLastError(0xdeadbeef);
        const DEVMODEW* dm = c.dmSize ? AsDevMode(settings) : nullptr;
        HDC dc = information ? CreateICW(c.driver, c.device, nullptr, dm) : CreateDCW(c.driver, c.device, nullptr, dm);
        EXPECT_EQ(dc, nullptr);
        EXPECT_EQ(GetLastError(), c.error);
    }
    EXPECT_TRUE(DriverCalls().empty());
    EXPECT_TRUE(w32::LoadedDrivers().empty());
}

INSTANTIATE_TEST_SUITE_P(All, PrinterDCRefused, testing::ValuesIn(kRefused));

TEST_F(PrinterDC, FailsWithTheSpoolersErrorWhileTheSpoolerIsStopped) {
    InstallFakePrinter();
    w32::SetSpoolerRunning(false);
    SetLastError(0xdeadbeef);
    EXPECT_EQ(CreateDCW(nullptr, kFakePrinter, nullptr, nullptr), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(RPC_S_SERVER_UNAVAILABLE));
    w32::SetSpoolerRunning(true);
}

struct FailingDriverCase {
    const char16_t* wishes;
    DWORD error;
    Calls calls;
};

const FailingDriverCase kFailingDrivers[] = {
    {u"enablepdev-fails", ERROR_NOT_ENOUGH_MEMORY,
     {"DrvQueryDriverInfo", "DrvEnableDriver", "DrvEnablePDEV", "DrvDisableDriver"}},
    {u"enablesurface-fails", ERROR_BAD_DRIVER,
     {"DrvQueryDriverInfo", "DrvEnableDriver", "DrvEnablePDEV", "DrvCompletePDEV", "DrvEnableSurface",
      "DrvDisablePDEV", "DrvDisableDriver"}},
};

void PrintTo(const FailingDriverCase& c, std::ostream* os) { *os << w32::ToUtf8(c.wishes); }

class PrinterDCFailingDriver : public PrinterDC, public testing::WithParamInterface<FailingDriverCase> {};

TEST_P(PrinterDCFailingDriver, LeavesNoDCAndNothingOpenOrLoaded) {
    const FailingDriverCase& c = GetParam();
    InstallFakePrinter();
    SetDriverWishes(c.wishes);
    SetLastError(0xdeadbeef);
    EXPECT_EQ(CreateDCW(nullptr, kFakePrinter, nullptr, nullptr), nullptr);
    EXPECT_EQ(GetLastError(), c.error);
    EXPECT_EQ(DriverCalls(), c.calls);
    HANDLE printer = PrinterHandleGiven();
    ASSERT_NE(printer, nullptr);
    EXPECT_TRUE(PrinterHandleClosed(printer));
    EXPECT_FALSE(DriverLoaded());
}

INSTANTIATE_TEST_SUITE_P(All, PrinterDCFailingDriver, testing::ValuesIn(kFailingDrivers));

TEST_F(PrinterDC, DeleteDCDisablesInOrderAndUnloadsTheDriverAtTheLastDC) {
    InstallFakePrinter();
    HDC first = CreateDCW(nullptr, kFakePrinter, nullptr, nullptr);
    HDC second = CreateDCW(nullptr, kFakePrinter, nullptr, nullptr);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(first, second);
    HANDLE firstPrinter = PrinterHandleGiven(0), secondPrinter = PrinterHandleGiven(1);
    EXPECT_NE(firstPrinter, secondPrinter);  // a printer handle of its own for each DC
    EXPECT_EQ(DriverCalls(), (Calls{"DrvQueryDriverInfo", "DrvEnableDriver", "DrvEnablePDEV", "DrvCompletePDEV",
                                   "DrvEnableSurface", "DrvEnablePDEV", "DrvCompletePDEV", "DrvEnableSurface"}));

    w32::DebugLogClear();
    EXPECT_TRUE(DeleteDC(first));
    EXPECT_EQ(DriverLog(), (Calls{"DrvDisableSurface pdev=1", "DrvDisablePDEV pdev=1"}));
    EXPECT_TRUE(PrinterHandleClosed(firstPrinter));
    EXPECT_TRUE(DriverLoaded());
    SetLastError(0xdeadbeef);
    EXPECT_EQ(GetObjectType(first), 0u);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
    SetLastError(0xdeadbeef);
    EXPECT_FALSE(DeleteDC(first));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));

    EXPECT_TRUE(DeleteDC(second));
    EXPECT_EQ(DriverLog(), (Calls{"DrvDisableSurface pdev=1", "DrvDisablePDEV pdev=1", "DrvDisableSurface pdev=2",
                                 "DrvDisablePDEV pdev=2", "DrvDisableDriver"}));
    EXPECT_TRUE(PrinterHandleClosed(secondPrinter));
    EXPECT_FALSE(DriverLoaded());
}

TEST_F(PrinterDC, AnInformationContextAnswersCapabilitiesWithoutASurface) {
    InstallFakePrinter();
    HDC ic = CreateICW(nullptr, kFakePrinter, nullptr, nullptr);
    ASSERT_NE(ic, nullptr) << GetLastError();
    EXPECT_EQ(GetObjectType(ic), DWORD(OBJ_DC));
    EXPECT_EQ(DriverCalls(), (Calls{"DrvQueryDriverInfo", "DrvEnableDriver", "DrvEnablePDEV", "DrvCompletePDEV"}));
    EXPECT_EQ(w32::EngineDeviceOfDC(ic)->SurfaceObject(), nullptr);
    EXPECT_TRUE(w32::gdi::LookupDC(ic)->informationContext);
    EXPECT_EQ(GetDeviceCaps(ic, HORZRES), 4768);
    w32::DebugLogClear();
    EXPECT_TRUE(DeleteDC(ic));
    EXPECT_EQ(DriverCalls(), (Calls{"DrvDisablePDEV", "DrvDisableDriver"}));
}

TEST_F(PrinterDC, HandlesThatAreNoDCAreRefused) {
    for (HDC bad : {static_cast<HDC>(nullptr), reinterpret_cast<HDC>(0x12345)}) {
        SetLastError(0xdeadbeef);
        EXPECT_FALSE(DeleteDC(bad));
        EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
        SetLastError(0xdeadbeef);
        EXPECT_EQ(GetObjectType(bad), 0u);
        EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
        EXPECT_EQ(w32::EngineDeviceOfDC(bad), nullptr);
    }
}

}  // namespace
