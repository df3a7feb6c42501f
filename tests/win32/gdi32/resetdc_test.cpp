// ResetDCW: a printer DC gets a PDEV enabled with new settings, in the order
// Windows calls the driver, or keeps its old one when the driver refuses.
#include "gdi32/dc.h"
#include "win32/win32k/engine_fixture.h"

using tam::test::EngineTest;
using tam::test::kFakePrinter;
using Calls = std::vector<std::string>;

namespace {

class PrinterDCReset : public EngineTest {
protected:
    // A DC at 600 dpi; the reset asks for 300.
    HDC CreateAt600() {
        std::vector<BYTE> settings = MakeDevMode(DMPAPER_A4, 1, 600);
        return CreateDCW(nullptr, kFakePrinter, nullptr, AsDevMode(settings));
    }
};

struct ResetCase {
    const char* name;
    const char16_t* wishesAtCreate;
    const char16_t* wishesAtReset;
    DWORD error;  // ERROR_SUCCESS: the reset takes place
    Calls calls;  // what the driver logged for the reset
    int dpiAfter;  // LOGPIXELSX after the reset; 0: the DC has no PDEV left
    Calls deleteCalls;
};

const ResetCase kResets[] = {
    {"Accepted", u"", u"", ERROR_SUCCESS,
     {"DrvEnablePDEV -> pdev 2", "DrvResetPDEV old=1 new=2", "DrvDisableSurface pdev=1", "DrvDisablePDEV pdev=1",
      "DrvCompletePDEV pdev=2", "DrvEnableSurface pdev=2 associated=1"},
     300,
     {"DrvDisableSurface pdev=2", "DrvDisablePDEV pdev=2", "DrvDisableDriver"}},
    // A driver without DrvResetPDEV carries nothing over.
    {"WithoutDrvResetPDEV", u"no-resetpdev", u"no-resetpdev", ERROR_SUCCESS,
     {"DrvEnablePDEV -> pdev 2", "DrvDisableSurface pdev=1", "DrvDisablePDEV pdev=1", "DrvCompletePDEV pdev=2",
      "DrvEnableSurface pdev=2 associated=1"},
     300,
     {"DrvDisableSurface pdev=2", "DrvDisablePDEV pdev=2", "DrvDisableDriver"}},
    // Refusals keep the old PDEV with its surface.
    {"ResetRefused", u"", u"resetpdev-fails", ERROR_INVALID_DATA,
     {"DrvEnablePDEV -> pdev 2", "DrvResetPDEV old=1 new=2", "DrvDisablePDEV pdev=2"},
     600,
     {"DrvDisableSurface pdev=1", "DrvDisablePDEV pdev=1", "DrvDisableDriver"}},
    {"NewPdevRefused", u"", u"enablepdev-fails", ERROR_NOT_ENOUGH_MEMORY,
     {"DrvEnablePDEV -> failed"},
     600,
     {"DrvDisableSurface pdev=1", "DrvDisablePDEV pdev=1", "DrvDisableDriver"}},
    // The old PDEV is gone when the new surface fails: the DC is left without a device.
    {"NewSurfaceFails", u"", u"enablesurface-fails", ERROR_BAD_DRIVER,
     {"DrvEnablePDEV -> pdev 2", "DrvResetPDEV old=1 new=2", "DrvDisableSurface pdev=1", "DrvDisablePDEV pdev=1",
      "DrvCompletePDEV pdev=2", "DrvEnableSurface pdev=2 -> failed", "DrvDisablePDEV pdev=2"},
     0,
     {"DrvDisableDriver"}},
};

void PrintTo(const ResetCase& c, std::ostream* os) { *os << c.name; }

class PrinterDCResetSequence : public PrinterDCReset, public testing::WithParamInterface<ResetCase> {};

// The driver's log lines without the arguments that vary from run to run.
Calls Shortened(const Calls& lines) {
    Calls shortened;
    for (const std::string& line : lines) {
        if (line.rfind("DrvEnablePDEV ", 0) == 0)
            shortened.push_back("DrvEnablePDEV" + line.substr(line.find(" -> ")));
        else if (line.rfind("DrvCompletePDEV ", 0) == 0)
            shortened.push_back(line.substr(0, line.find(" hdev=")));
        else
            shortened.push_back(line);
    }
    return shortened;
}

TEST_P(PrinterDCResetSequence, FollowsWindowsOrder) {
    const ResetCase& c = GetParam();
    InstallFakePrinter();
    SetDriverWishes(c.wishesAtCreate);
    HDC dc = CreateAt600();
    ASSERT_NE(dc, nullptr) << GetLastError();
    w32::PrinterDevice* device = w32::EngineDeviceOfDC(dc);
    const HANDLE printer = device->printer;
    const DHPDEV oldPdev = device->pdev->dhpdev;
    w32::DebugLogClear();
    w32::ClearDdiCallLog();

    SetDriverWishes(c.wishesAtReset);
    std::vector<BYTE> settings = MakeDevMode(DMPAPER_A4, 1, 300);
    SetLastError(0xdeadbeef);
    HDC result = ResetDCW(dc, AsDevMode(settings));
    if (c.error == ERROR_SUCCESS) {
        EXPECT_EQ(result, dc);
    } else {
        EXPECT_EQ(result, nullptr);
        EXPECT_EQ(GetLastError(), c.error);
    }
    EXPECT_EQ(Shortened(DriverLog()), c.calls);
    EXPECT_NE(DriverLine("DrvEnablePDEV", "quality=300"), "");
    EXPECT_EQ(PrinterHandleGiven(), printer);  // the new PDEV prints through the DC's printer handle
    if (c.dpiAfter) {
        EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSX), c.dpiAfter);
        EXPECT_NE(device->SurfaceObject(), nullptr);
    } else {
        SetLastError(0xdeadbeef);
        EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSX), 0);
        EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
        EXPECT_EQ(device->pdev, nullptr);
    }
    if (c.error == ERROR_SUCCESS) {
        // The engine's log names both PDEVs of the carry-over.
        for (const w32::DdiCall& call : w32::DdiCallLog()) {
            if (call.function != "DrvResetPDEV") continue;
            EXPECT_EQ(call.dhpdev, oldPdev);
            EXPECT_EQ(call.dhpdevNew, device->pdev->dhpdev);
        }
    }

    w32::DebugLogClear();
    EXPECT_TRUE(DeleteDC(dc));
    EXPECT_EQ(DriverLog(), c.deleteCalls);
    EXPECT_TRUE(PrinterHandleClosed(printer));
    EXPECT_FALSE(DriverLoaded());
}

INSTANTIATE_TEST_SUITE_P(All, PrinterDCResetSequence, testing::ValuesIn(kResets),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PrinterDCReset, WithoutSettingsThePrintersStoredDefaultComesBack) {
    InstallFakeDriver();
    std::vector<BYTE> stored = MakeDevMode(DMPAPER_A5, 1, 150);
    AddFakePrinter(kFakePrinter, AsDevMode(stored));
    HDC dc = CreateAt600();
    ASSERT_NE(dc, nullptr) << GetLastError();
    EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSX), 600);
    EXPECT_EQ(ResetDCW(dc, nullptr), dc) << GetLastError();
    EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSX), 150);
    EXPECT_EQ(w32::EngineDeviceOfDC(dc)->pdev->devMode, stored);
    EXPECT_TRUE(DeleteDC(dc));
}

TEST_F(PrinterDCReset, RefusesHandlesThatAreNoDCAndSettingsWithoutAPlausibleSize) {
    InstallFakePrinter();
    HDC dc = CreateAt600();
    ASSERT_NE(dc, nullptr) << GetLastError();
    std::vector<BYTE> settings = MakeDevMode(DMPAPER_A4, 1, 300);
    w32::DebugLogClear();
    SetLastError(0xdeadbeef);
    EXPECT_EQ(ResetDCW(reinterpret_cast<HDC>(0x777), AsDevMode(settings)), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
    reinterpret_cast<DEVMODEW*>(settings.data())->dmSize = 20;
    SetLastError(0xdeadbeef);
    EXPECT_EQ(ResetDCW(dc, AsDevMode(settings)), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    EXPECT_TRUE(DriverLog().empty());
    EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSX), 600);
    EXPECT_TRUE(DeleteDC(dc));
}

}  // namespace
