// Tamrend.dll loaded by the graphics engine for printer device contexts of
// "Korvan Laser", as Windows loads it: the settings are made by the user
// interface's own code, and the tests reach the driver only through GDI
// (CreateDCW, GetDeviceCaps, ResetDCW, DeleteDC) and, to look at what it
// made, through the engine's record of the device.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>
#include <winddi.h>

#include <cstring>
#include <vector>

#include "gdi32/dc.h"
#include "kernel32/memory.h"
#include "machine/debuglog.h"
#include "pcl6/gdi/pdev.h"
#include "support/tamrend_fixture.h"
#include "ui/ui/devmode.h"
#include "win32k/engine.h"

namespace tam::test {

class TamrendDcTest : public TamrendMachineTest {
protected:
    void SetUp() override {
        TamrendMachineTest::SetUp();
        w32::ClearDdiCallLog();
        w32::EnableDdiCallLog(true);
        ASSERT_TRUE(SetDevmodeDefaults(&defaults_, kKorvanLaser, kKorvanLaser));
        ASSERT_EQ(InstallKorvanLaser(machine(), &defaults_.pub), DWORD(ERROR_SUCCESS));
    }

    void TearDown() override {
        for (HDC dc : open_) DeleteDC(dc);
        TamrendMachineTest::TearDown();
    }

    // The user interface's default settings of the printer.
    UiDevmode Settings() const { return defaults_; }

    // CreateDCW for the printer; the test deletes it at its end unless it
    // does so itself with Delete().
    HDC Create(const DEVMODEW* settings) {
        HDC dc = CreateDCW(nullptr, kKorvanLaser, nullptr, settings);
        if (dc) open_.push_back(dc);
        return dc;
    }
    HDC Create(const UiDevmode& settings) { return Create(&settings.pub); }

    BOOL Delete(HDC dc) {
        std::erase(open_, dc);
        return DeleteDC(dc);
    }

    // The driver's PDEV behind a DC.
    static PDEV* PdevOf(HDC dc) {
        w32::PrinterDevice* device = w32::EngineDeviceOfDC(dc);
        return device && device->pdev ? AsPdev(device->pdev->dhpdev) : nullptr;
    }

    static bool DriverLoaded() { return GetModuleHandleW(kTamrendFile) != nullptr; }

    static std::vector<std::string> EngineCalls() {
        std::vector<std::string> names;
        for (const w32::DdiCall& call : w32::DdiCallLog()) names.push_back(call.function);
        return names;
    }

private:
    UiDevmode defaults_{};
    std::vector<HDC> open_;
};

}  // namespace tam::test
