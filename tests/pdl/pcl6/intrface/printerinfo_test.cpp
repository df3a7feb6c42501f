// A printer's spooler information in counted blocks.
#include <gtest/gtest.h>
#include <windows.h>

#include <ostream>
#include <string>

#include "machine/debuglog.h"
#include "pcl6/intrface/util.h"
#include "support/machine_fixture.h"
#include "support/printer_fixture.h"

namespace tam::test {
namespace {

constexpr char16_t kPrinter[] = u"Korvan Office";

class PrinterInfo : public MachineTest {
protected:
    void SetUp() override {
        MachineTest::SetUp();
        ASSERT_EQ(InstallPrinter(machine(), DriverFiles{}, kPrinter), DWORD(ERROR_SUCCESS));
        ASSERT_TRUE(OpenPrinterW(kPrinter, &printer_, nullptr));
        w32::DebugLogClear();
    }
    void TearDown() override {
        if (printer_) ClosePrinter(printer_);
        MachineTest::TearDown();
    }
    HANDLE printer_ = nullptr;
};

TEST_F(PrinterInfo, PrinterLevel2) {
    LPBYTE block = Registry_GetHL(printer_, 2);
    ASSERT_NE(block, nullptr);
    auto* info = reinterpret_cast<PRINTER_INFO_2W*>(block);
    EXPECT_EQ(std::u16string(info->pPrinterName), kPrinter);
    EXPECT_EQ(std::u16string(info->pDriverName), DriverFiles{}.name);
    EXPECT_EQ(std::u16string(info->pPortName), u"FILE:");
    EXPECT_EQ(w32::DebugLogText(), "");
    Util_GlobalFree(nullptr, block);
    SetLastError(0);
    Util_GlobalFree(nullptr, block);  // freed before: refused
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
}

struct FailureCase {
    DWORD level;
    bool validHandle;
    DWORD error;
    const char* text;
};
void PrintTo(const FailureCase& c, std::ostream* os) {
    *os << "level " << c.level << (c.validHandle ? "" : " without printer");
}

const FailureCase kFailures[] = {
    {99, true, ERROR_INVALID_LEVEL, "Registry_GetHL fail, level:99, error code is 124\n"},
    {2, false, ERROR_INVALID_HANDLE, "Registry_GetHL fail, level:2, error code is 6\n"},
};

class PrinterInfoFailure : public PrinterInfo, public testing::WithParamInterface<FailureCase> {};

TEST_P(PrinterInfoFailure, NoneAndTheDebugText) {
    const FailureCase& c = GetParam();
    SetLastError(0);
    EXPECT_EQ(Registry_GetHL(c.validHandle ? printer_ : nullptr, c.level), nullptr);
    EXPECT_EQ(GetLastError(), c.error);
    EXPECT_EQ(w32::DebugLogText(), c.text);
}

INSTANTIATE_TEST_SUITE_P(All, PrinterInfoFailure, testing::ValuesIn(kFailures));

TEST_F(PrinterInfo, DriverLevel3) {
    LPBYTE block = GetPrinterDriverInfo(printer_, 3);
    ASSERT_NE(block, nullptr);
    auto* info = reinterpret_cast<DRIVER_INFO_3W*>(block);
    EXPECT_EQ(std::u16string(info->pName), DriverFiles{}.name);
    EXPECT_EQ(std::u16string(info->pConfigFile), DriverFolder(machine()) + u"\\testui.dll");
    Util_GlobalFree(nullptr, block);

    SetLastError(0);
    EXPECT_EQ(GetPrinterDriverInfo(printer_, 99), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_LEVEL));
    EXPECT_EQ(GetPrinterDriverInfo(nullptr, 3), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
}

}  // namespace
}  // namespace tam::test
