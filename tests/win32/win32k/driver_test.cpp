// The engine loading a printer's graphics driver and enabling and disabling
// its PDEVs, through the engine's own entry (EnablePrinterDevice), as GDI
// uses it for a printer DC.
#include "engine_fixture.h"

using tam::test::EngineTest;
using tam::test::kFakePrinter;
using Calls = std::vector<std::string>;

namespace {

class EngineDriver : public EngineTest {
protected:
    HANDLE OpenFakePrinter(const std::u16string& name = kFakePrinter) {
        HANDLE printer = nullptr;
        EXPECT_TRUE(OpenPrinterW(name.c_str(), &printer, nullptr)) << GetLastError();
        return printer;
    }

    std::shared_ptr<w32::PrinterDevice> Enable(const DEVMODEW* devMode = nullptr, bool informationOnly = false,
                                               const std::u16string& name = kFakePrinter) {
        return w32::EnablePrinterDevice(OpenFakePrinter(name), name, devMode, informationOnly);
    }
};

TEST_F(EngineDriver, EnablesInWindowsOrderAndKeepsWhatTheDriverAnswered) {
    InstallFakePrinter();
    std::vector<BYTE> settings = MakeDevMode(DMPAPER_A4, 2, 300, 16);
    HANDLE printer = OpenFakePrinter();
    auto device = w32::EnablePrinterDevice(printer, kFakePrinter, AsDevMode(settings), false);
    ASSERT_NE(device, nullptr) << GetLastError();

    const Calls order = {"DrvQueryDriverInfo", "DrvEnableDriver", "DrvEnablePDEV", "DrvCompletePDEV",
                         "DrvEnableSurface"};
    EXPECT_EQ(DriverCalls(), order);
    EXPECT_EQ(EngineCalls(), order);
    EXPECT_EQ(DriverLine("DrvEnableDriver"),
              "DrvEnableDriver engine=0x30101 size=" + std::to_string(sizeof(DRVENABLEDATA)));
    EXPECT_EQ(DriverLine("DrvQueryDriverInfo"), "DrvQueryDriverInfo mode=1 size=4");
    std::string enable = DriverLine("DrvEnablePDEV");
    EXPECT_NE(enable.find("device=Korvan Fake devmode=[name=Korvan Fake paper=9 copies=2 quality=300 extra=16 sum=272] "
                          "patterns=6 caps=" + std::to_string(sizeof(GDIINFO)) +
                          " devinfo=" + std::to_string(sizeof(DEVINFO)) + " logaddress=none"),
              std::string::npos)
        << enable;
    EXPECT_EQ(PrinterHandleGiven(), printer);
    EXPECT_EQ(device->printer, printer);

    // The engine's view: the PDEV, its HDEV as the driver got it, and the answers.
    ASSERT_NE(device->pdev, nullptr);
    const w32::EnginePdev& pdev = *device->pdev;
    char hdev[32];
    std::snprintf(hdev, sizeof(hdev), "hdev=%p", (void*)pdev.Hdev());
    EXPECT_NE(enable.find(hdev), std::string::npos);
    EXPECT_EQ(DriverLine("DrvCompletePDEV"), std::string("DrvCompletePDEV pdev=1 ") + hdev);
    EXPECT_EQ(w32::LookupPdev(pdev.Hdev()).get(), &pdev);
    for (const w32::DdiCall& call : w32::DdiCallLog()) {
        if (call.function == "DrvEnableDriver" || call.function == "DrvQueryDriverInfo") continue;
        EXPECT_EQ(call.dhpdev, pdev.dhpdev) << call.function;
        EXPECT_EQ(call.hdev, pdev.Hdev()) << call.function;
    }
    EXPECT_EQ(pdev.gdiInfo.ulHorzRes, 4768u);
    EXPECT_EQ(pdev.gdiInfo.ulLogPixelsX, 300u);
    EXPECT_EQ(pdev.devInfo.cFonts, 2u);
    EXPECT_EQ(std::u16string(pdev.devInfo.lfDefaultFont.lfFaceName), u"Courier");
    EXPECT_NE(w32::LookupPalette(pdev.devInfo.hpalDefault), nullptr);
    EXPECT_EQ(pdev.devMode, settings);

    // The callback table: what the driver gave, nothing else.
    ASSERT_NE(device->driver, nullptr);
    EXPECT_EQ(device->driver->driverVersion, ULONG(DDI_DRIVER_VERSION_NT4));
    EXPECT_EQ(device->driver->module, GetModuleHandleW(tam::test::kFakeDriverFile));
    for (ULONG index : {INDEX_DrvEnablePDEV, INDEX_DrvCompletePDEV, INDEX_DrvDisablePDEV, INDEX_DrvEnableSurface,
                        INDEX_DrvDisableSurface, INDEX_DrvResetPDEV, INDEX_DrvStartDoc, INDEX_DrvEscape})
        EXPECT_NE(device->driver->callbacks[index], nullptr) << index;
    for (ULONG index : {INDEX_DrvPlgBlt, INDEX_DrvLineTo, INDEX_DrvQueryFontData})
        EXPECT_EQ(device->driver->callbacks[index], nullptr) << index;

    // The device surface the driver made and associated with its PDEV.
    EXPECT_EQ(DriverLine("DrvEnableSurface"), "DrvEnableSurface pdev=1 associated=1");
    SURFOBJ* so = device->SurfaceObject();
    ASSERT_NE(so, nullptr);
    EXPECT_EQ(so->hsurf, pdev.surface);
    EXPECT_EQ(so->iType, STYPE_DEVICE);
    EXPECT_EQ(so->dhsurf, reinterpret_cast<DHSURF>(pdev.dhpdev));
    EXPECT_EQ(so->dhpdev, pdev.dhpdev);
    EXPECT_EQ(so->hdev, pdev.Hdev());
    EXPECT_EQ(so->sizlBitmap.cx, 4768);
    EXPECT_EQ(so->sizlBitmap.cy, 6816);
    EXPECT_EQ(so->iBitmapFormat, ULONG(BMF_24BPP));
    EXPECT_EQ(so->pvBits, nullptr);
    EXPECT_EQ(w32::LookupSurface(pdev.surface)->hooks, 0x284EBu);

    w32::DisablePrinterDevice(*device);
}

TEST_F(EngineDriver, DisablingEndsThePdevClosesThePrinterAndUnloadsTheDriver) {
    InstallFakePrinter();
    auto device = Enable();
    ASSERT_NE(device, nullptr) << GetLastError();
    HDEV hdev = device->pdev->Hdev();
    HSURF surface = device->pdev->surface;
    HANDLE printer = device->printer;
    w32::DebugLogClear();
    w32::ClearDdiCallLog();

    w32::DisablePrinterDevice(*device);
    const Calls order = {"DrvDisableSurface", "DrvDisablePDEV", "DrvDisableDriver"};
    EXPECT_EQ(DriverCalls(), order);
    EXPECT_EQ(EngineCalls(), order);
    EXPECT_EQ(device->pdev, nullptr);
    EXPECT_EQ(device->printer, nullptr);
    EXPECT_EQ(w32::LookupPdev(hdev), nullptr);
    EXPECT_EQ(w32::LookupSurface(surface), nullptr);
    EXPECT_TRUE(PrinterHandleClosed(printer));
    EXPECT_FALSE(DriverLoaded());
    EXPECT_TRUE(w32::LoadedDrivers().empty());

    w32::DisablePrinterDevice(*device);  // a second time does nothing
    EXPECT_EQ(DriverCalls(), order);
}

TEST_F(EngineDriver, AnInformationContextHasNoSurface) {
    InstallFakePrinter();
    auto device = Enable(nullptr, true);
    ASSERT_NE(device, nullptr) << GetLastError();
    EXPECT_EQ(device->pdev->surface, nullptr);
    EXPECT_EQ(device->SurfaceObject(), nullptr);
    w32::DisablePrinterDevice(*device);
    EXPECT_EQ(DriverCalls(), (Calls{"DrvQueryDriverInfo", "DrvEnableDriver", "DrvEnablePDEV", "DrvCompletePDEV",
                                   "DrvDisablePDEV", "DrvDisableDriver"}));
}

// What the driver answers when it is enabled, and what becomes of the device.
struct EnableCase {
    const char16_t* wishes;
    DWORD error;  // ERROR_SUCCESS: the device is enabled
    Calls calls;
};

const EnableCase kEnableCases[] = {
    {u"driverversion=0x20000", ERROR_SUCCESS,
     {"DrvQueryDriverInfo", "DrvEnableDriver", "DrvEnablePDEV", "DrvCompletePDEV", "DrvEnableSurface"}},
    {u"driverversion=0x30101", ERROR_SUCCESS,
     {"DrvQueryDriverInfo", "DrvEnableDriver", "DrvEnablePDEV", "DrvCompletePDEV", "DrvEnableSurface"}},
    // The driver's own reason.
    {u"enabledriver-fails", ERROR_BAD_DRIVER_LEVEL, {"DrvQueryDriverInfo", "DrvEnableDriver"}},
    // Versions before NT 4 and after the engine's own.
    {u"driverversion=0x10000", ERROR_BAD_DRIVER_LEVEL, {"DrvQueryDriverInfo", "DrvEnableDriver", "DrvDisableDriver"}},
    {u"driverversion=0x30102", ERROR_BAD_DRIVER_LEVEL, {"DrvQueryDriverInfo", "DrvEnableDriver", "DrvDisableDriver"}},
    {u"kernelmode", ERROR_NOT_SUPPORTED, {"DrvQueryDriverInfo"}},
    {u"enablepdev-fails", ERROR_NOT_ENOUGH_MEMORY,
     {"DrvQueryDriverInfo", "DrvEnableDriver", "DrvEnablePDEV", "DrvDisableDriver"}},
    // A PDEV refused without a reason: the settings were not taken.
    {u"enablepdev-fails-silently", ERROR_INVALID_PARAMETER,
     {"DrvQueryDriverInfo", "DrvEnableDriver", "DrvEnablePDEV", "DrvDisableDriver"}},
    {u"enablesurface-fails", ERROR_BAD_DRIVER,
     {"DrvQueryDriverInfo", "DrvEnableDriver", "DrvEnablePDEV", "DrvCompletePDEV", "DrvEnableSurface",
      "DrvDisablePDEV", "DrvDisableDriver"}},
    // A surface the engine never made is no surface.
    {u"bogus-surface", ERROR_BAD_DRIVER,
     {"DrvQueryDriverInfo", "DrvEnableDriver", "DrvEnablePDEV", "DrvCompletePDEV", "DrvEnableSurface",
      "DrvDisableSurface", "DrvDisablePDEV", "DrvDisableDriver"}},
};

void PrintTo(const EnableCase& c, std::ostream* os) { *os << w32::ToUtf8(c.wishes); }

class EngineDriverEnable : public EngineDriver, public testing::WithParamInterface<EnableCase> {};

TEST_P(EngineDriverEnable, SucceedsOrUndoesEverything) {
    const EnableCase& c = GetParam();
    InstallFakePrinter();
    SetDriverWishes(c.wishes);
    HANDLE printer = OpenFakePrinter();
    SetLastError(0xdeadbeef);
    auto device = w32::EnablePrinterDevice(printer, kFakePrinter, nullptr, false);
    EXPECT_EQ(DriverCalls(), c.calls);
    EXPECT_EQ(EngineCalls(), c.calls);
    if (c.error == ERROR_SUCCESS) {
        ASSERT_NE(device, nullptr) << GetLastError();
        EXPECT_TRUE(DriverLoaded());
        w32::DisablePrinterDevice(*device);
    } else {
        EXPECT_EQ(device, nullptr);
        EXPECT_EQ(GetLastError(), c.error);
    }
    // Nothing is left behind either way.
    EXPECT_TRUE(PrinterHandleClosed(printer));
    EXPECT_FALSE(DriverLoaded());
    EXPECT_TRUE(w32::LoadedDrivers().empty());
}

INSTANTIATE_TEST_SUITE_P(All, EngineDriverEnable, testing::ValuesIn(kEnableCases));

TEST_F(EngineDriver, RefusesSettingsWithoutAPlausibleSizeBeforeLoadingTheDriver) {
    InstallFakePrinter();
    std::vector<BYTE> settings = MakeDevMode(DMPAPER_A4, 1);
    reinterpret_cast<DEVMODEW*>(settings.data())->dmSize = 40;
    HANDLE printer = OpenFakePrinter();
    SetLastError(0xdeadbeef);
    EXPECT_EQ(w32::EnablePrinterDevice(printer, kFakePrinter, AsDevMode(settings), false), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    EXPECT_TRUE(DriverCalls().empty());
    EXPECT_TRUE(PrinterHandleClosed(printer));
}

TEST_F(EngineDriver, APrinterWhoseDriverFileIsNoModuleFailsWithTheLoadersError) {
    tam::test::DriverFiles files;  // placeholder files only
    files.name = u"Placeholder Driver";
    ASSERT_EQ(tam::test::InstallPrinter(machine(), files, u"Placeholder"), DWORD(ERROR_SUCCESS));
    HANDLE printer = OpenFakePrinter(u"Placeholder");
    SetLastError(0xdeadbeef);
    EXPECT_EQ(w32::EnablePrinterDevice(printer, u"Placeholder", nullptr, false), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_BAD_EXE_FORMAT));
    EXPECT_TRUE(PrinterHandleClosed(printer));
    EXPECT_TRUE(w32::LoadedDrivers().empty());
}

TEST_F(EngineDriver, DevicesShareOneLoadOfTheirDriverUntilTheLastGoes) {
    InstallFakeDriver();
    AddFakePrinter(u"First");
    AddFakePrinter(u"Second");
    auto first = Enable(nullptr, false, u"First");
    auto second = Enable(nullptr, false, u"Second");
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(DriverCalls(), (Calls{"DrvQueryDriverInfo", "DrvEnableDriver", "DrvEnablePDEV", "DrvCompletePDEV",
                                   "DrvEnableSurface", "DrvEnablePDEV", "DrvCompletePDEV", "DrvEnableSurface"}));
    EXPECT_EQ(first->driver, second->driver);
    ASSERT_EQ(w32::LoadedDrivers().size(), 1u);
    EXPECT_EQ(w32::LoadedDrivers()[0]->users, 2u);
    EXPECT_NE(first->pdev->dhpdev, second->pdev->dhpdev);
    EXPECT_NE(DriverLine("DrvEnablePDEV", "device=Second"), "");

    // One reference in the loader for the engine's one load.
    HMODULE module = first->driver->module;
    w32::DisablePrinterDevice(*first);
    EXPECT_EQ(GetModuleHandleW(tam::test::kFakeDriverFile), module);
    EXPECT_EQ(DriverLine("DrvDisableDriver"), "");
    w32::DisablePrinterDevice(*second);
    EXPECT_EQ(DriverLine("DrvDisableDriver"), "DrvDisableDriver");
    EXPECT_FALSE(DriverLoaded());

    // A later device loads and enables the driver afresh.
    w32::DebugLogClear();
    auto third = Enable(nullptr, false, u"First");
    ASSERT_NE(third, nullptr);
    EXPECT_EQ(DriverCalls().at(1), "DrvEnableDriver");
    EXPECT_NE(DriverLine("DrvEnablePDEV", "-> pdev 1"), "");  // the module's state started again
    w32::DisablePrinterDevice(*third);
}

TEST_F(EngineDriver, FreesWhatTheDriverLeftWhenTheDeviceGoes) {
    InstallFakePrinter();
    SetDriverWishes(u"leak");
    auto device = Enable();
    ASSERT_NE(device, nullptr);
    HPALETTE palette = device->pdev->devInfo.hpalDefault;
    HSURF surface = device->pdev->surface;
    // Objects made outside the driver's calls belong to no device.
    HPALETTE mine = EngCreatePalette(PAL_BGR, 0, nullptr, 0, 0, 0);
    ASSERT_NE(mine, nullptr);

    w32::DisablePrinterDevice(*device);
    EXPECT_EQ(w32::LookupPalette(palette), nullptr);
    EXPECT_EQ(w32::LookupSurface(surface), nullptr);
    EXPECT_FALSE(EngDeletePalette(palette));
    EXPECT_TRUE(EngDeletePalette(mine));
}

}  // namespace
