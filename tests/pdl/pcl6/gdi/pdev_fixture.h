// Unit tests of the rendering DLL's enabling code: a machine with the
// driver package and the printer "Korvan Laser" installed, an open printer
// handle, and PDEVs enabled straight through DrvEnablePDEV from settings
// written byte by byte in the user interface's layout.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>
#include <winddi.h>
#include <winspool.h>

#include <vector>

#include "kernel32/memory.h"
#include "pcl6/gdi/nt/ddi.h"
#include "pcl6/gdi/pdev.h"
#include "pdl/pcl6/intrface/settings_image.h"
#include "support/tamrend_fixture.h"

namespace tam::test {

class PdevTest : public TamrendMachineTest {
protected:
    void SetUp() override {
        TamrendMachineTest::SetUp();
        ASSERT_EQ(InstallKorvanLaser(machine(), nullptr), DWORD(ERROR_SUCCESS));
        ASSERT_TRUE(OpenPrinterW(const_cast<LPWSTR>(kKorvanLaser), &printer_, nullptr));
    }

    void TearDown() override {
        for (PDEV* pdev : enabled_) DrvDisablePDEV(AsDhpdev(pdev));
        if (printer_) ClosePrinter(printer_);
        TamrendMachineTest::TearDown();
    }

    // The user interface's default settings for the printer.
    static ByteImage UiSettings() { return UiDefaultDevmode(kKorvanLaser); }

    // DrvEnablePDEV with `settings` and whole GDIINFO and DEVINFO answers;
    // the test disables the PDEV at its end unless it does so itself.
    PDEV* Enable(ByteImage& settings, GDIINFO* gdi = nullptr, DEVINFO* devInfo = nullptr) {
        GDIINFO gdiAnswer{};
        DEVINFO devAnswer{};
        HSURF patterns[HS_DDI_MAX];
        DHPDEV dhpdev = DrvEnablePDEV(reinterpret_cast<DEVMODEW*>(settings.data()), nullptr, HS_DDI_MAX, patterns,
                                      sizeof(GDIINFO), reinterpret_cast<ULONG*>(gdi ? gdi : &gdiAnswer),
                                      sizeof(DEVINFO), devInfo ? devInfo : &devAnswer, nullptr,
                                      const_cast<LPWSTR>(kKorvanLaser), printer_);
        if (dhpdev) enabled_.push_back(AsPdev(dhpdev));
        return AsPdev(dhpdev);
    }

    // Disables a PDEV of Enable() now.
    void Disable(PDEV* pdev) {
        DrvDisablePDEV(AsDhpdev(pdev));
        std::erase(enabled_, pdev);
    }

    HANDLE printer() const { return printer_; }

private:
    HANDLE printer_ = nullptr;
    std::vector<PDEV*> enabled_;
};

}  // namespace tam::test
