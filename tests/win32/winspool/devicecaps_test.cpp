// DeviceCapabilitiesW: the spooler loads the printer's user-interface DLL for
// the call and hands the question to its DrvDeviceCapabilities, whose answer
// is the caller's.
#include <winddiui.h>

#include "machine/debuglog.h"
#include "spooler_fixture.h"

namespace {

constexpr char16_t kPrinter[] = u"Korvan Capabilities";

class DeviceCapabilitiesTest : public tam::test::UiDriverPrinterTest {
protected:
    void InstallWithConfigFile(const std::u16string& configFile, const char* builtModule) {
        UiDriverPrinterTest::InstallWithConfigFile(kPrinter, configFile, builtModule);
    }
};

TEST_F(DeviceCapabilitiesTest, QuestionReachesTheDriverAndItsAnswerComesBack) {
    InstallWithConfigFile(u"TamFakeUi.dll", "TamFakeUi.dll");
    EXPECT_EQ(DeviceCapabilitiesW(kPrinter, u"FILE:", DC_PAPERS, nullptr, nullptr), 1002);
    EXPECT_NE(w32::DebugLogText().find(
                  "fakeui DrvDeviceCapabilities Korvan Capabilities capability=2 printer=yes out=no devmode=no"),
              std::string::npos)
        << w32::DebugLogText();

    WCHAR output[64] = {};
    DEVMODEW devmode{};
    devmode.dmSize = sizeof(devmode);
    EXPECT_EQ(DeviceCapabilitiesW(kPrinter, nullptr, DC_PAPERNAMES, output, &devmode), 1016);
    EXPECT_EQ(std::u16string(output), kPrinter);
    EXPECT_NE(w32::DebugLogText().find("capability=16 printer=yes out=yes devmode=yes"), std::string::npos);
    // The module was loaded for the calls only.
    EXPECT_EQ(GetModuleHandleW(ConfigPath(u"TamFakeUi.dll").c_str()), nullptr);
}

TEST_F(DeviceCapabilitiesTest, DriverWithoutTheEntryPointAnswersNothing) {
    InstallWithConfigFile(u"TamFakeUiBare.dll", "TamFakeUiBare.dll");
    SetLastError(0);
    EXPECT_EQ(DeviceCapabilitiesW(kPrinter, nullptr, DC_PAPERS, nullptr, nullptr), -1);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_NOT_SUPPORTED));
}

TEST_F(DeviceCapabilitiesTest, ConfigurationFileThatDoesNotLoadFailsWithTheLoadersError) {
    InstallWithConfigFile(u"notamodule.dll", nullptr);
    SetLastError(0);
    ASSERT_EQ(LoadLibraryW(ConfigPath(u"notamodule.dll").c_str()), nullptr);
    const DWORD loaderError = GetLastError();
    ASSERT_NE(loaderError, 0u);
    SetLastError(0);
    EXPECT_EQ(DeviceCapabilitiesW(kPrinter, nullptr, DC_COPIES, nullptr, nullptr), -1);
    EXPECT_EQ(GetLastError(), loaderError);
}

TEST_F(DeviceCapabilitiesTest, UnknownPrinterOrNoNameFails) {
    InstallWithConfigFile(u"TamFakeUi.dll", "TamFakeUi.dll");
    SetLastError(0);
    EXPECT_EQ(DeviceCapabilitiesW(u"No Such Printer", nullptr, DC_PAPERS, nullptr, nullptr), -1);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PRINTER_NAME));
    SetLastError(0);
    EXPECT_EQ(DeviceCapabilitiesW(nullptr, nullptr, DC_PAPERS, nullptr, nullptr), -1);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(w32::DebugLogText().find("fakeui"), std::string::npos);
}

}  // namespace
