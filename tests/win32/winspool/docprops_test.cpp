// DocumentPropertiesW: the spooler hands the call to the printer's
// user-interface DLL, without a PROPSHEETUI_INFO when the mode asks for no
// sheet, asking the driver for its DEVMODE's size first and telling it that
// size as the out devmode's. The driver's answer and last error are the
// caller's.
#include <winddiui.h>

#include <vector>

#include "machine/debuglog.h"
#include "spooler_fixture.h"

using tam::test::SpoolerTest;

namespace {

constexpr char16_t kPrinter[] = u"Korvan Settings";

class DocumentPropertiesTest : public SpoolerTest {
protected:
    void Install(const char* builtModule) {
        tam::test::DriverFiles driver;
        driver.name = u"Korvan Settings Driver";
        driver.configFile = u"settingsui.dll";
        driver.hostFiles[driver.configFile] = tam::setup::BuiltFolder() / builtModule;
        ASSERT_EQ(tam::test::InstallPrinter(machine(), driver, kPrinter), DWORD(ERROR_SUCCESS));
        ASSERT_TRUE(OpenPrinterW(kPrinter, &printer_, nullptr));
        w32::DebugLogClear();
    }
    void TearDown() override {
        if (printer_) ClosePrinter(printer_);
        SpoolerTest::TearDown();
    }
    // The driver's log lines, in order.
    static std::vector<std::string> DriverCalls() {
        std::vector<std::string> calls;
        const std::string log = w32::DebugLogText();
        for (size_t at = log.find("fakeui DrvDocumentPropertySheets "); at != std::string::npos;
             at = log.find("fakeui DrvDocumentPropertySheets ", at + 1))
            calls.push_back(log.substr(at + 33, log.find('\n', at) - at - 33));
        return calls;
    }

    HANDLE printer_ = nullptr;
    WCHAR name_[32] = u"Korvan Settings";
};

TEST_F(DocumentPropertiesTest, SizeQueryIsTheDriversSizeWithoutASheet) {
    Install("TamFakeUi.dll");
    EXPECT_EQ(DocumentPropertiesW(nullptr, printer_, name_, nullptr, nullptr, 0), 100);
    EXPECT_EQ(DriverCalls(), (std::vector<std::string>{"info=no mode=0 cbOut=0 in=no out=no"}));
}

TEST_F(DocumentPropertiesTest, OutBufferHasTheSizeTheDriverGave) {
    Install("TamFakeUi.dll");
    std::vector<BYTE> in(100, 0), out(100, 0);
    reinterpret_cast<DEVMODEW*>(in.data())->dmCopies = 7;
    auto* outDevmode = reinterpret_cast<DEVMODEW*>(out.data());
    EXPECT_EQ(DocumentPropertiesW(nullptr, printer_, name_, outDevmode, reinterpret_cast<DEVMODEW*>(in.data()),
                                  DM_IN_BUFFER | DM_OUT_BUFFER),
              IDOK);
    EXPECT_EQ(std::u16string(outDevmode->dmDeviceName), kPrinter);
    EXPECT_EQ(outDevmode->dmCopies, 7);
    // The in devmode goes to the driver only with DM_IN_BUFFER.
    EXPECT_EQ(DocumentPropertiesW(nullptr, printer_, name_, outDevmode, reinterpret_cast<DEVMODEW*>(in.data()),
                                  DM_OUT_BUFFER),
              IDOK);
    EXPECT_EQ(DriverCalls(), (std::vector<std::string>{
                                 "info=no mode=0 cbOut=0 in=no out=no",
                                 "info=no mode=10 cbOut=100 in=yes out=yes",
                                 "info=no mode=0 cbOut=0 in=no out=no",
                                 "info=no mode=2 cbOut=100 in=no out=yes",
                             }));
    // Without a handle the printer is opened by its name.
    EXPECT_EQ(DocumentPropertiesW(nullptr, nullptr, name_, outDevmode, nullptr, DM_OUT_BUFFER), IDOK);
}

TEST_F(DocumentPropertiesTest, WhatCannotBeDoneFails) {
    Install("TamFakeUi.dll");
    std::vector<BYTE> out(100, 0);
    auto* outDevmode = reinterpret_cast<DEVMODEW*>(out.data());
    // A sheet needs the window manager's property-sheet host.
    SetLastError(0);
    EXPECT_LT(DocumentPropertiesW(nullptr, printer_, name_, outDevmode, nullptr, DM_IN_PROMPT | DM_OUT_BUFFER), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_NOT_SUPPORTED));
    SetLastError(0);
    EXPECT_LT(DocumentPropertiesW(nullptr, printer_, name_, nullptr, nullptr, DM_OUT_BUFFER), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    SetLastError(0);
    EXPECT_LT(DocumentPropertiesW(nullptr, nullptr, nullptr, nullptr, nullptr, 0), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
    WCHAR unknown[] = u"No Such Printer";
    SetLastError(0);
    EXPECT_LT(DocumentPropertiesW(nullptr, nullptr, unknown, nullptr, nullptr, 0), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PRINTER_NAME));
}

TEST_F(DocumentPropertiesTest, DriverWithoutTheEntryPointAnswersNothing) {
    Install("TamFakeUiBare.dll");
    SetLastError(0);
    EXPECT_LT(DocumentPropertiesW(nullptr, printer_, name_, nullptr, nullptr, 0), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_NOT_SUPPORTED));
}

}  // namespace
