// ConvertDevMode: the spooler loads the printer's user-interface DLL (the
// driver's configuration file) into the caller's process and hands the call
// to its DrvConvertDevMode, whose answer is the caller's.
#include <winddiui.h>

#include "machine/debuglog.h"
#include "spooler_fixture.h"

namespace {

constexpr char16_t kPrinter[] = u"Korvan Converter";

class UiDriverTest : public tam::test::UiDriverPrinterTest {
protected:
    void InstallWithConfigFile(const std::u16string& configFile, const char* builtModule) {
        UiDriverPrinterTest::InstallWithConfigFile(kPrinter, configFile, builtModule);
    }
};

TEST_F(UiDriverTest, CallReachesTheDriverAndItsAnswerComesBack) {
    InstallWithConfigFile(u"TamFakeUi.dll", "TamFakeUi.dll");
    std::vector<BYTE> out(100, 0);
    LONG size = 100;
    SetLastError(0xdeadbeef);
    ASSERT_TRUE(ConvertDevMode(kPrinter, nullptr, reinterpret_cast<PDEVMODEW>(out.data()), &size,
                               CDM_DRIVER_DEFAULT))
        << GetLastError();
    EXPECT_EQ(size, 100);
    EXPECT_EQ(std::u16string(reinterpret_cast<PDEVMODEW>(out.data())->dmDeviceName), kPrinter);
    EXPECT_NE(w32::DebugLogText().find("fakeui DrvConvertDevMode Korvan Converter mode=4 size=100 in=no out=yes"),
              std::string::npos)
        << w32::DebugLogText();
    // The module was loaded for the call only.
    EXPECT_EQ(GetModuleHandleW(ConfigPath(u"TamFakeUi.dll").c_str()), nullptr);

    // A refusal comes back with the driver's size and last error.
    size = 10;
    SetLastError(0);
    EXPECT_FALSE(ConvertDevMode(kPrinter, nullptr, reinterpret_cast<PDEVMODEW>(out.data()), &size,
                                CDM_DRIVER_DEFAULT));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(size, 100);
    SetLastError(0);
    EXPECT_FALSE(ConvertDevMode(kPrinter, reinterpret_cast<PDEVMODEW>(out.data()),
                                reinterpret_cast<PDEVMODEW>(out.data()), &size, CDM_CONVERT));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_DATA));
    EXPECT_NE(w32::DebugLogText().find("mode=1 size=100 in=yes out=yes"), std::string::npos);
}

TEST_F(UiDriverTest, ModuleTheProcessHoldsIsTheSameModule) {
    InstallWithConfigFile(u"TamFakeUi.dll", "TamFakeUi.dll");
    HMODULE held = LoadLibraryW(ConfigPath(u"TamFakeUi.dll").c_str());
    ASSERT_NE(held, nullptr);
    std::vector<BYTE> out(100, 0);
    LONG size = 100;
    EXPECT_TRUE(ConvertDevMode(kPrinter, nullptr, reinterpret_cast<PDEVMODEW>(out.data()), &size,
                               CDM_DRIVER_DEFAULT));
    // The call's own reference is gone; the process's stays.
    EXPECT_EQ(GetModuleHandleW(ConfigPath(u"TamFakeUi.dll").c_str()), held);
    FreeLibrary(held);
    EXPECT_EQ(GetModuleHandleW(ConfigPath(u"TamFakeUi.dll").c_str()), nullptr);
}

TEST_F(UiDriverTest, DriverWithoutTheEntryPointConvertsNothing) {
    InstallWithConfigFile(u"TamFakeUiBare.dll", "TamFakeUiBare.dll");
    std::vector<BYTE> out(100, 0);
    LONG size = 100;
    SetLastError(0);
    EXPECT_FALSE(ConvertDevMode(kPrinter, nullptr, reinterpret_cast<PDEVMODEW>(out.data()), &size,
                                CDM_DRIVER_DEFAULT));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_NOT_SUPPORTED));
    EXPECT_EQ(size, 100);
    EXPECT_EQ(w32::DebugLogText().find("fakeui"), std::string::npos);
}

// A configuration file that is no module fails as the loader does.
TEST_F(UiDriverTest, ConfigurationFileThatDoesNotLoadFailsWithTheLoadersError) {
    InstallWithConfigFile(u"notamodule.dll", nullptr);
    SetLastError(0);
    ASSERT_EQ(LoadLibraryW(ConfigPath(u"notamodule.dll").c_str()), nullptr);
    const DWORD loaderError = GetLastError();
    ASSERT_NE(loaderError, 0u);
    LONG size = 100;
    SetLastError(0);
    EXPECT_FALSE(ConvertDevMode(kPrinter, nullptr, nullptr, &size, CDM_DRIVER_DEFAULT));
    EXPECT_EQ(GetLastError(), loaderError);
}

TEST_F(UiDriverTest, UnknownPrinterOrMissingArgumentsFail) {
    InstallWithConfigFile(u"TamFakeUi.dll", "TamFakeUi.dll");
    LONG size = 100;
    SetLastError(0);
    EXPECT_FALSE(ConvertDevMode(u"No Such Printer", nullptr, nullptr, &size, CDM_DRIVER_DEFAULT));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PRINTER_NAME));
    SetLastError(0);
    EXPECT_FALSE(ConvertDevMode(kPrinter, nullptr, nullptr, nullptr, CDM_DRIVER_DEFAULT));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    SetLastError(0);
    EXPECT_FALSE(ConvertDevMode(nullptr, nullptr, nullptr, &size, CDM_DRIVER_DEFAULT));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(w32::DebugLogText().find("fakeui"), std::string::npos);
}

}  // namespace
