// The driver's settings as a Windows program reaches them through the
// spooler, on a machine where the driver and the printer are installed as
// the print tool installs them: DocumentPropertiesW without a sheet hands the
// call to the user-interface DLL, and the settings it gives travel whole
// through SetPrinterW and GetPrinterW as the printer's and the user's.
#include <gtest/gtest.h>
#include <windows.h>
#include <winspool.h>

#include <cstring>
#include <vector>

#include "pcl6/intrface/privdevmode.h"
#include "support/tamsheetui_fixture.h"

namespace tam::test {
namespace {

using tam::setup::kKorvanLaser;
using tam::setup::kTamrendDriver;

class SpoolerSettings : public MachineTest {
protected:
    void SetUp() override {
        MachineTest::SetUp();
        ASSERT_EQ(tam::setup::InstallKorvanLaser(machine(), nullptr), DWORD(ERROR_SUCCESS));
        // The printer's own settings are the administrator's to change.
        PRINTER_DEFAULTSW access{nullptr, nullptr, PRINTER_ALL_ACCESS};
        ASSERT_TRUE(OpenPrinterW(const_cast<LPWSTR>(kKorvanLaser), &printer_, &access)) << GetLastError();
    }
    void TearDown() override {
        if (printer_) ClosePrinter(printer_);
        MachineTest::TearDown();
    }

    // The driver's settings through DocumentPropertiesW.
    UiDevmode Settings(DEVMODEW* in = nullptr) {
        UiDevmode out{};
        DWORD mode = DM_OUT_BUFFER | (in ? DM_IN_BUFFER : 0);
        EXPECT_EQ(DocumentPropertiesW(nullptr, printer_, name_, &out.pub, in, mode), IDOK) << GetLastError();
        return out;
    }

    std::vector<BYTE> PrinterDevmode(DWORD level) {
        DWORD needed = 0;
        SetLastError(0);
        EXPECT_FALSE(GetPrinterW(printer_, level, nullptr, 0, &needed));
        EXPECT_EQ(GetLastError(), DWORD(ERROR_INSUFFICIENT_BUFFER));
        std::vector<BYTE> buffer(needed);
        EXPECT_TRUE(GetPrinterW(printer_, level, buffer.data(), needed, &needed)) << GetLastError();
        const DEVMODEW* devmode = level == 2 ? reinterpret_cast<PRINTER_INFO_2W*>(buffer.data())->pDevMode
                                             : reinterpret_cast<PRINTER_INFO_8W*>(buffer.data())->pDevMode;
        if (!devmode) return {};
        const BYTE* bytes = reinterpret_cast<const BYTE*>(devmode);
        return std::vector<BYTE>(bytes, bytes + devmode->dmSize + devmode->dmDriverExtra);
    }

    static std::vector<BYTE> Bytes(const UiDevmode& devmode) {
        const BYTE* bytes = reinterpret_cast<const BYTE*>(&devmode);
        return std::vector<BYTE>(bytes, bytes + sizeof(devmode));
    }

    HANDLE printer_ = nullptr;
    WCHAR name_[16] = u"Korvan Laser";
};

TEST_F(SpoolerSettings, SizeQueryAnswersTheDriversDevmodeSize) {
    EXPECT_EQ(DocumentPropertiesW(nullptr, printer_, name_, nullptr, nullptr, 0), LONG(UI_DEVMODE_SIZE));
    // By name, without a handle.
    EXPECT_EQ(DocumentPropertiesW(nullptr, nullptr, name_, nullptr, nullptr, 0), LONG(UI_DEVMODE_SIZE));
}

TEST_F(SpoolerSettings, OutBufferGetsTheDriversSettings) {
    const UiDevmode settings = Settings();
    EXPECT_EQ(settings.pub.dmSize, 220);
    EXPECT_EQ(settings.pub.dmDriverExtra, PRIVATE_DEVMODE_SIZE);
    EXPECT_EQ(settings.pub.dmDriverVersion, 0x600);
    EXPECT_EQ(std::u16string(settings.pub.dmDeviceName), kTamrendDriver);
    EXPECT_EQ(std::memcmp(settings.priv.signature, "PRIV", 4), 0);
    EXPECT_EQ(settings.priv.MultipleUp, 1);
    EXPECT_EQ(settings.priv.ScaleRadio, 100);
}

TEST_F(SpoolerSettings, InBufferIsMergedIntoTheOut) {
    UiDevmode in = Settings();
    in.pub.dmCopies = 12;
    in.pub.dmOrientation = DMORIENT_LANDSCAPE;
    in.priv.MultipleUp = 4;
    in.priv.PageOrder = 3;
    in.priv.ScaleRadio = 9999;  // out of range: repaired
    const UiDevmode out = Settings(&in.pub);
    EXPECT_EQ(out.pub.dmCopies, 12);
    EXPECT_EQ(out.pub.dmOrientation, DMORIENT_LANDSCAPE);
    EXPECT_EQ(out.priv.MultipleUp, 4);
    EXPECT_EQ(out.priv.PageOrder, 3);
    EXPECT_EQ(out.priv.ScaleRadio, 100);
}

TEST_F(SpoolerSettings, CallsTheLayerCannotServeFail) {
    UiDevmode out{};
    SetLastError(0);
    EXPECT_LT(DocumentPropertiesW(nullptr, printer_, name_, &out.pub, nullptr, DM_IN_PROMPT | DM_OUT_BUFFER), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_NOT_SUPPORTED));
    SetLastError(0);
    EXPECT_LT(DocumentPropertiesW(nullptr, printer_, name_, nullptr, nullptr, DM_OUT_BUFFER), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    WCHAR unknown[] = u"No Such Printer";
    SetLastError(0);
    EXPECT_LT(DocumentPropertiesW(nullptr, nullptr, unknown, nullptr, nullptr, 0), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PRINTER_NAME));
}

// The printer's settings (level 8) and the user's own (level 9) keep all
// 5084 bytes, level 2 gives the user's when there are any, and the driver
// starts from them.
TEST_F(SpoolerSettings, PrinterAndUserSettingsTravelWhole) {
    UiDevmode printerSettings = Settings();
    printerSettings.pub.dmCopies = 2;
    printerSettings.priv.MultipleUp = 2;
    PRINTER_INFO_8W level8{&printerSettings.pub};
    ASSERT_TRUE(SetPrinterW(printer_, 8, reinterpret_cast<LPBYTE>(&level8), 0)) << GetLastError();
    EXPECT_EQ(PrinterDevmode(8), Bytes(printerSettings));
    EXPECT_EQ(PrinterDevmode(2), Bytes(printerSettings));
    EXPECT_EQ(PrinterDevmode(9), std::vector<BYTE>{});
    EXPECT_EQ(Settings().pub.dmCopies, 2);
    EXPECT_EQ(Settings().priv.MultipleUp, 2);

    UiDevmode userSettings = printerSettings;
    userSettings.pub.dmCopies = 5;
    userSettings.priv.MultipleUp = 8;
    PRINTER_INFO_9W level9{&userSettings.pub};
    ASSERT_TRUE(SetPrinterW(printer_, 9, reinterpret_cast<LPBYTE>(&level9), 0)) << GetLastError();
    EXPECT_EQ(PrinterDevmode(9), Bytes(userSettings));
    EXPECT_EQ(PrinterDevmode(2), Bytes(userSettings));
    EXPECT_EQ(PrinterDevmode(8), Bytes(printerSettings));
    EXPECT_EQ(Settings().pub.dmCopies, 5);
    EXPECT_EQ(Settings().priv.MultipleUp, 8);

    // Without the user's own, the printer's again.
    PRINTER_INFO_9W none{nullptr};
    ASSERT_TRUE(SetPrinterW(printer_, 9, reinterpret_cast<LPBYTE>(&none), 0));
    EXPECT_EQ(PrinterDevmode(2), Bytes(printerSettings));
    EXPECT_EQ(Settings().pub.dmCopies, 2);
}

}  // namespace
}  // namespace tam::test
