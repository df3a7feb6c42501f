// The spooler's conversion and upgrade entry points, called through the
// loaded module (and, for the conversion, through the spooler's
// ConvertDevMode) on a machine with a printer of the driver.
#include <gtest/gtest.h>
#include <windows.h>
#include <winddiui.h>
#include <winspool.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "devmode_test_support.h"
#include "ui/ui/devmode.h"
#include "ui_fixture.h"

using namespace devmode_test;

namespace {

using ConvertFunction = BOOL(WINAPI*)(LPWSTR, PDEVMODEW, PDEVMODEW, PLONG, DWORD);
using UpgradeFunction = BOOL(WINAPI*)(DWORD, LPBYTE);

constexpr size_t kSpecVersion = 64, kDriverVersion = 66, kSize = 68, kDriverExtra = 70, kFields = 72;

// A buffer of exactly `capacity` bytes holding a devmode shape, filled with
// `fill`, so that a write past the buffer shows under the address sanitizer.
std::vector<BYTE> Devmode(WORD specVersion, WORD driverVersion, WORD size, WORD extra, BYTE fill, size_t capacity) {
    std::vector<BYTE> bytes(capacity, fill);
    WriteText(bytes.data(), 0, u"Application Printer");
    WriteInt(bytes.data(), kSpecVersion, 2, specVersion);
    WriteInt(bytes.data(), kDriverVersion, 2, driverVersion);
    WriteInt(bytes.data(), kSize, 2, size);
    WriteInt(bytes.data(), kDriverExtra, 2, extra);
    return bytes;
}
PDEVMODEW Dm(std::vector<BYTE>& bytes) { return reinterpret_cast<PDEVMODEW>(bytes.data()); }

class ConvertDevModeTest : public tam::test::UiPrinterTest {
protected:
    void SetUp() override {
        UiPrinterTest::SetUp();
        if (HasFatalFailure()) return;
        convert_ = Export<ConvertFunction>("DrvConvertDevMode");
        ASSERT_NE(convert_, nullptr);
    }
    // Calls DrvConvertDevMode with the printer's name; the last error is
    // 0xdeadbeef before the call.
    BOOL Convert(std::vector<BYTE>* in, std::vector<BYTE>* out, LONG* size, DWORD mode,
                 std::u16string printer = tam::test::kUiPrinterName) {
        SetLastError(0xdeadbeef);
        return convert_(printer.data(), in ? Dm(*in) : nullptr, out ? Dm(*out) : nullptr, size, mode);
    }
    ConvertFunction convert_ = nullptr;
};

TEST_F(ConvertDevModeTest, ExportedAtItsOrdinal) {
    EXPECT_EQ(GetProcAddress(module_, reinterpret_cast<LPCSTR>(6)), reinterpret_cast<FARPROC>(convert_));
    EXPECT_EQ(GetProcAddress(module_, reinterpret_cast<LPCSTR>(12)), GetProcAddress(module_, "DrvUpgradePrinter"));
}

// Between our 220-byte devmode and the older sizes, both ways: the out
// devmode keeps the shape the caller gave it.
struct ConversionCase {
    const char* label;
    WORD inSpecVersion, inDriver, inSize, inExtra;
    WORD outSpecVersion, outDriver, outSize, outExtra;
    LONG capacity;
    DWORD publicCopied;  // public bytes that come from the in devmode
    bool privateCopied;
};
void PrintTo(const ConversionCase& c, std::ostream* os) { *os << c.label; }
const ConversionCase kConversions[] = {
    {"Ours", 0x401, 0x600, 220, 4864, 0x401, 0x600, 220, 4864, 5084, 220, true},
    {"From192", 0x320, 0x350, 192, 112, 0x401, 0x600, 220, 4864, 5084, 192, false},
    {"From216", 0x400, 0x600, 216, 4864, 0x401, 0x600, 220, 4864, 5084, 216, true},
    {"To192", 0x401, 0x600, 220, 4864, 0x320, 0x350, 192, 112, 304, 192, false},
    {"To216", 0x401, 0x600, 220, 4864, 0x400, 0x600, 216, 4864, 5080, 216, true},
    {"LargerBuffer", 0x401, 0x600, 220, 4864, 0x401, 0x600, 220, 4864, 6000, 220, true},
};
class Conversions : public ConvertDevModeTest, public testing::WithParamInterface<ConversionCase> {};

TEST_P(Conversions, OutKeepsItsShapeAndTakesWhatItCanHold) {
    const auto& c = GetParam();
    auto in = Devmode(c.inSpecVersion, c.inDriver, c.inSize, c.inExtra, 0x22, size_t(c.inSize) + c.inExtra);
    auto out = Devmode(c.outSpecVersion, c.outDriver, c.outSize, c.outExtra, 0x33, size_t(c.capacity));
    LONG size = c.capacity;
    ASSERT_TRUE(Convert(&in, &out, &size, CDM_CONVERT)) << GetLastError();
    EXPECT_EQ(size, LONG(c.outSize + c.outExtra));
    EXPECT_EQ(ReadInt(out.data(), kSpecVersion, 2), c.outSpecVersion);
    EXPECT_EQ(ReadInt(out.data(), kDriverVersion, 2), c.outDriver);
    EXPECT_EQ(ReadInt(out.data(), kSize, 2), c.outSize);
    EXPECT_EQ(ReadInt(out.data(), kDriverExtra, 2), c.outExtra);
    for (size_t i = kFields; i < c.outSize; ++i) ASSERT_EQ(out[i], i < c.publicCopied ? 0x22 : 0x33) << i;
    for (size_t i = c.outSize; i < size_t(c.outSize) + c.outExtra; ++i)
        ASSERT_EQ(out[i], c.privateCopied ? 0x22 : 0) << i;
    for (size_t i = size_t(c.outSize) + c.outExtra; i < out.size(); ++i) ASSERT_EQ(out[i], 0x33) << i;
}
INSTANTIATE_TEST_SUITE_P(All, Conversions, testing::ValuesIn(kConversions),
                         [](const auto& info) { return std::string(info.param.label); });

struct ConvertFailureCase {
    const char* label;
    LONG capacity;
    bool withIn, withOut;
    WORD outDriver;
};
void PrintTo(const ConvertFailureCase& c, std::ostream* os) { *os << c.label; }
const ConvertFailureCase kConvertFailures[] = {
    {"BufferSmallerThanOut", 5083, true, true, 0x600},
    {"NegativeSize", -1, true, true, 0x600},
    {"NoOut", 5084, true, false, 0x600},
    {"NoIn", 5084, false, true, 0x600},
    // An out devmode without a driver version would take the in devmode's
    // 5084 bytes into a buffer of 304.
    {"AdoptedShapeOverrunsTheBuffer", 304, true, true, 0},
};
class ConvertFailures : public ConvertDevModeTest, public testing::WithParamInterface<ConvertFailureCase> {};

TEST_P(ConvertFailures, InvalidParameterAndNothingWritten) {
    const auto& c = GetParam();
    auto in = Devmode(0x401, 0x600, 220, 4864, 0x22, 5084);
    const size_t outBytes = c.outDriver ? 5084 : 304;
    auto out = c.outDriver ? Devmode(0x401, c.outDriver, 220, 4864, 0x33, c.capacity > 0 ? size_t(c.capacity) : 5084)
                           : Devmode(0x320, 0, 192, 112, 0x33, outBytes);
    const auto before = out;
    LONG size = c.capacity;
    EXPECT_FALSE(Convert(c.withIn ? &in : nullptr, c.withOut ? &out : nullptr, &size, CDM_CONVERT));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(out, before);
}
INSTANTIATE_TEST_SUITE_P(All, ConvertFailures, testing::ValuesIn(kConvertFailures),
                         [](const auto& info) { return std::string(info.param.label); });

TEST_F(ConvertDevModeTest, To351StampsTheOldFormAndFillsIt) {
    auto in = Devmode(0x401, 0x600, 220, 4864, 0x22, 5084);
    auto out = Devmode(0, 0, 0, 0, 0x33, 304);
    LONG size = 304;
    ASSERT_TRUE(Convert(&in, &out, &size, CDM_CONVERT351)) << GetLastError();
    EXPECT_EQ(size, 304);
    EXPECT_EQ(ReadInt(out.data(), kSpecVersion, 2), 0x320);
    EXPECT_EQ(ReadInt(out.data(), kDriverVersion, 2), 0x350);
    EXPECT_EQ(ReadInt(out.data(), kSize, 2), 192);
    EXPECT_EQ(ReadInt(out.data(), kDriverExtra, 2), 112);
    EXPECT_EQ(ReadText(out.data(), 0, 32), u"Application Printer");
    for (size_t i = kFields; i < 192; ++i) ASSERT_EQ(out[i], 0x22) << i;
    for (size_t i = 192; i < 304; ++i) ASSERT_EQ(out[i], 0) << i;
}

// Too little room, or no out devmode, asks for the size; a failed copy is
// an invalid parameter.
struct SizedFailureCase {
    const char* label;
    DWORD mode;
    LONG capacity;
    bool withOut;
    DWORD error;
    LONG sizeAfter;
};
void PrintTo(const SizedFailureCase& c, std::ostream* os) { *os << c.label; }
const SizedFailureCase kSizedFailures[] = {
    {"To351Short", CDM_CONVERT351, 303, true, ERROR_INSUFFICIENT_BUFFER, 304},
    {"To351NoOut", CDM_CONVERT351, 304, false, ERROR_INSUFFICIENT_BUFFER, 304},
    {"DefaultsShort", CDM_DRIVER_DEFAULT, 5083, true, ERROR_INSUFFICIENT_BUFFER, 5084},
    {"DefaultsNoOut", CDM_DRIVER_DEFAULT, 5084, false, ERROR_INSUFFICIENT_BUFFER, 5084},
    {"DefaultsNegativeSize", CDM_DRIVER_DEFAULT, -5084, true, ERROR_INSUFFICIENT_BUFFER, 5084},
};
class SizedFailures : public ConvertDevModeTest, public testing::WithParamInterface<SizedFailureCase> {};

TEST_P(SizedFailures, NeededSizeIsWrittenBack) {
    const auto& c = GetParam();
    auto in = Devmode(0x401, 0x600, 220, 4864, 0x22, 5084);
    auto out = Devmode(0x401, 0x600, 220, 4864, 0x33, c.capacity > 0 ? size_t(c.capacity) : 5084);
    const auto before = out;
    LONG size = c.capacity;
    EXPECT_FALSE(Convert(&in, c.withOut ? &out : nullptr, &size, c.mode));
    EXPECT_EQ(GetLastError(), c.error);
    EXPECT_EQ(size, c.sizeAfter);
    EXPECT_EQ(out, before);
}
INSTANTIATE_TEST_SUITE_P(All, SizedFailures, testing::ValuesIn(kSizedFailures),
                         [](const auto& info) { return std::string(info.param.label); });

TEST_F(ConvertDevModeTest, To351WithoutInFailsAsInvalidParameter) {
    auto out = Devmode(0, 0, 0, 0, 0x33, 304);
    LONG size = 304;
    EXPECT_FALSE(Convert(nullptr, &out, &size, CDM_CONVERT351));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
}

TEST_F(ConvertDevModeTest, MissingSizeIsInvalidParameterAndUnknownModesFailQuietly) {
    auto out = Devmode(0x401, 0x600, 220, 4864, 0x33, 5084);
    for (DWORD mode : {DWORD(CDM_CONVERT), DWORD(CDM_CONVERT351), DWORD(CDM_DRIVER_DEFAULT)}) {
        EXPECT_FALSE(Convert(&out, &out, nullptr, mode)) << mode;
        EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER)) << mode;
    }
    LONG size = 5084;
    for (DWORD mode : {DWORD(0), DWORD(3), DWORD(8)}) {
        EXPECT_FALSE(Convert(&out, &out, &size, mode)) << mode;
        EXPECT_EQ(GetLastError(), 0xdeadbeefu) << mode;
        EXPECT_EQ(size, 5084);
    }
}

// The driver's defaults fill the whole devmode, its private part included:
// nothing of what the buffer held before is left.
TEST_F(ConvertDevModeTest, DriverDefaultWritesPublicAndPrivateDefaults) {
    UiDevmode expected;
    ASSERT_TRUE(SetDevmodeDefaults(&expected, tam::test::kDriverName, tam::test::kDriverName));
    for (BYTE fill : {BYTE(0xA5), BYTE(0x00)}) {
        std::vector<BYTE> out(5084, fill);
        LONG size = 5084;
        ASSERT_TRUE(Convert(nullptr, &out, &size, CDM_DRIVER_DEFAULT)) << GetLastError();
        EXPECT_EQ(size, 5084);
        EXPECT_EQ(DifferingOffsets(out.data(), &expected, 5084), std::vector<size_t>{});
    }
    EXPECT_EQ(ReadText(&expected, 0, 32), tam::test::kDriverName);
    EXPECT_EQ(ReadText(&expected, 220 + 340, 256), u"Default Settings");
}

TEST_F(ConvertDevModeTest, DriverDefaultForAnUnknownPrinterFails) {
    std::vector<BYTE> out(5084, 0xA5);
    LONG size = 5084;
    EXPECT_FALSE(Convert(nullptr, &out, &size, CDM_DRIVER_DEFAULT, u"No Such Printer"));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PRINTER_NAME));
    EXPECT_EQ(size, 5084);
    EXPECT_EQ(out, std::vector<BYTE>(5084, 0xA5));
}

// Through the spooler, as a program converting a devmode for the printer
// reaches the driver: the printer's configuration file is loaded and its
// DrvConvertDevMode answers, with its result, size and last error.
TEST_F(ConvertDevModeTest, SpoolerConvertDevModeReachesTheDriver) {
    UiDevmode expected;
    ASSERT_TRUE(SetDevmodeDefaults(&expected, tam::test::kDriverName, tam::test::kDriverName));
    std::vector<BYTE> out(5084, 0xA5);
    LONG size = 5084;
    ASSERT_TRUE(ConvertDevMode(tam::test::kUiPrinterName, nullptr, Dm(out), &size, CDM_DRIVER_DEFAULT))
        << GetLastError();
    EXPECT_EQ(DifferingOffsets(out.data(), &expected, 5084), std::vector<size_t>{});

    size = 5083;
    SetLastError(0);
    EXPECT_FALSE(ConvertDevMode(tam::test::kUiPrinterName, nullptr, Dm(out), &size, CDM_DRIVER_DEFAULT));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(size, 5084);

    auto in = Devmode(0x401, 0x600, 220, 4864, 0x22, 5084);
    auto old = Devmode(0, 0, 0, 0, 0x33, 304);
    size = 304;
    ASSERT_TRUE(ConvertDevMode(tam::test::kUiPrinterName, Dm(in), Dm(old), &size, CDM_CONVERT351));
    EXPECT_EQ(ReadInt(old.data(), kSize, 2), 192);
}

// --- The upgrade ----------------------------------------------------------------------------

class UpgradePrinterTest : public tam::test::UiPrinterTest {
protected:
    void SetUp() override {
        UiPrinterTest::SetUp();
        if (HasFatalFailure()) return;
        upgrade_ = Export<UpgradeFunction>("DrvUpgradePrinter");
        ASSERT_NE(upgrade_, nullptr);
        ASSERT_NE(Printer(), nullptr);
    }
    BOOL Upgrade(DWORD level = 1, const char16_t* printerName = tam::test::kUiPrinterName) {
        std::u16string name(printerName);
        DRIVER_UPGRADE_INFO_1W info{name.data(), nullptr};
        SetLastError(0xdeadbeef);
        return upgrade_(level, reinterpret_cast<LPBYTE>(&info));
    }
    void Store(const std::vector<BYTE>& record, DWORD sizeValue) {
        ASSERT_EQ(SetPrinterDataW(Printer(), u"PrinterDataSize", REG_DWORD, reinterpret_cast<LPBYTE>(&sizeValue), 4),
                  DWORD(ERROR_SUCCESS));
        ASSERT_EQ(SetPrinterDataW(Printer(), u"PrinterData", REG_BINARY, const_cast<BYTE*>(record.data()),
                                  DWORD(record.size())),
                  DWORD(ERROR_SUCCESS));
    }
    std::vector<BYTE> Value(const char16_t* name, DWORD expectedType) {
        BYTE data[64];
        DWORD type = 0, needed = 0;
        EXPECT_EQ(GetPrinterDataW(Printer(), name, &type, data, sizeof(data), &needed), DWORD(ERROR_SUCCESS));
        EXPECT_EQ(type, expectedType);
        return std::vector<BYTE>(data, data + needed);
    }
    UpgradeFunction upgrade_ = nullptr;
};

struct UpgradeCase {
    const char* label;
    std::vector<BYTE> stored;  // empty: no record
    DWORD sizeValue;
    std::vector<BYTE> expected;
};
void PrintTo(const UpgradeCase& c, std::ostream* os) { *os << c.label; }
const UpgradeCase kUpgrades[] = {
    {"NoRecord", {}, 0, {0x00, 0x06, 8, 0, 0, 0, 0, 0}},
    {"Version500Size4", {0x00, 0x05, 4, 0}, 4, {0x00, 0x06, 8, 0, 0, 0, 0, 0}},
    // The old record's own size covers only its first four bytes.
    {"Version500Size4WithTail", {0x00, 0x05, 4, 0, 0xFF, 0xFF, 0xFF, 0xFF}, 8, {0x00, 0x06, 8, 0, 0, 0, 0, 0}},
    {"Version500Size8", {0x00, 0x05, 8, 0, 0x78, 0x56, 0x34, 0x12}, 8, {0x00, 0x06, 8, 0, 0x78, 0x56, 0x34, 0x12}},
    {"CurrentKeptAsItIs", {0x00, 0x06, 8, 0, 0x55, 0, 0, 0}, 8, {0x00, 0x06, 8, 0, 0x55, 0, 0, 0}},
    {"NewerKeptAsItIs", {0x00, 0x07, 8, 0, 1, 2, 3, 4}, 8, {0x00, 0x07, 8, 0, 1, 2, 3, 4}},
};
class Upgrades : public UpgradePrinterTest, public testing::WithParamInterface<UpgradeCase> {};

TEST_P(Upgrades, RecordComesBackAtTheCurrentVersion) {
    const auto& c = GetParam();
    if (!c.stored.empty()) Store(c.stored, c.sizeValue);
    ASSERT_TRUE(Upgrade());
    EXPECT_EQ(Value(u"PrinterData", REG_BINARY), c.expected);
    EXPECT_EQ(Value(u"PrinterDataSize", REG_DWORD), (std::vector<BYTE>{8, 0, 0, 0}));
}
INSTANTIATE_TEST_SUITE_P(All, Upgrades, testing::ValuesIn(kUpgrades),
                         [](const auto& info) { return std::string(info.param.label); });

TEST_F(UpgradePrinterTest, OnlyLevelOneWithARecordForAKnownPrinter) {
    EXPECT_FALSE(Upgrade(2));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    SetLastError(0);
    EXPECT_FALSE(upgrade_(1, nullptr));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    EXPECT_FALSE(Upgrade(1, u"No Such Printer"));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    DWORD type = 0, needed = 0;
    BYTE data[8];
    EXPECT_EQ(GetPrinterDataW(Printer(), u"PrinterData", &type, data, sizeof(data), &needed),
              DWORD(ERROR_FILE_NOT_FOUND));
}

// The spooler's upgrade must go on when the record cannot be written: the
// answer stays TRUE and the failure goes to the debug output.
TEST_F(UpgradePrinterTest, FailedWriteIsLoggedAndStillSucceeds) {
    // The machine's registry can no longer save its HKLM hive.
    const auto blocker = machineFolder() / "registry" / "HKLM.hive.new";
    ASSERT_TRUE(std::filesystem::create_directory(blocker));
    w32::DebugLogClear();
    EXPECT_TRUE(Upgrade());
    std::filesystem::remove(blocker);
    EXPECT_NE(w32::DebugLogText().find("DrvUpgradePrinter: the driver data record could not be written"),
              std::string::npos)
        << w32::DebugLogText();
}

}  // namespace
