// Records in the printer's data: the value names of each slot (the per-user
// slot ending with the user's name), the size-then-data protocol, and what a
// damaged pair gives.
#include "ui/ui/printerdata.h"

#include <gtest/gtest.h>
#include <windows.h>
#include <winspool.h>

#include <algorithm>
#include <string>
#include <vector>

#include "pcl6/intrface/util.h"
#include "ui_fixture.h"

namespace {

class PrinterDataTest : public tam::test::UiPrinterTest {
protected:
    void SetUp() override {
        UiPrinterTest::SetUp();
        if (HasFatalFailure()) return;
        ASSERT_NE(Printer(), nullptr);
    }
    void SetUser(const std::u16string& name) { machine().MutableSettings().userName = name; }

    // The names of every value of the printer's data, sorted.
    std::vector<std::u16string> ValueNames() {
        std::vector<std::u16string> names;
        for (DWORD i = 0;; ++i) {
            WCHAR name[300];
            BYTE data[8];
            DWORD nameBytes = 0, type = 0, dataBytes = 0;
            DWORD status = EnumPrinterDataW(Printer(), i, name, sizeof(name), &nameBytes, &type, data, 0, &dataBytes);
            if (status == ERROR_NO_MORE_ITEMS) break;
            // The data does not fit the empty buffer; the name comes again with room for both.
            std::vector<BYTE> room(dataBytes);
            status = EnumPrinterDataW(Printer(), i, name, sizeof(name), &nameBytes, &type, room.data(), dataBytes,
                                      &dataBytes);
            EXPECT_EQ(status, DWORD(ERROR_SUCCESS));
            names.emplace_back(name);
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    void Put(const std::u16string& name, DWORD type, const std::vector<BYTE>& data) {
        ASSERT_EQ(SetPrinterDataW(Printer(), name.c_str(), type, const_cast<BYTE*>(data.data()), DWORD(data.size())),
                  DWORD(ERROR_SUCCESS));
    }
    void PutSize(const std::u16string& name, DWORD size) {
        Put(name, REG_DWORD, std::vector<BYTE>(reinterpret_cast<BYTE*>(&size), reinterpret_cast<BYTE*>(&size) + 4));
    }
    std::vector<BYTE> Get(const std::u16string& name, DWORD expectedType) {
        BYTE data[64];
        DWORD type = 0, needed = 0;
        EXPECT_EQ(GetPrinterDataW(Printer(), name.c_str(), &type, data, sizeof(data), &needed), DWORD(ERROR_SUCCESS))
            << tam::test::Utf8(name);
        EXPECT_EQ(type, expectedType);
        return std::vector<BYTE>(data, data + needed);
    }

    // The block of a slot, freed here; empty when there is none.
    std::vector<BYTE> Read(int slot, bool* found = nullptr) {
        DWORD size = 0xdeadbeef;
        LPBYTE block = ReadPrinterDataBlock(Printer(), &size, slot);
        if (found) *found = block != nullptr;
        if (!block) return {};
        std::vector<BYTE> bytes(block, block + size);
        Util_GlobalFree(nullptr, block);
        return bytes;
    }
};

// The per-user slot carries the user's name, cut to 31 characters.
struct UserCase {
    const char* label;
    std::u16string user;
    std::u16string suffix;
};
void PrintTo(const UserCase& c, std::ostream* os) { *os << c.label; }
const UserCase kUsers[] = {
    {"Administrator", u"Administrator", u"Administrator"},
    {"ThirtyOneCharacters", u"abcdefghijklmnopqrstuvwxyzABCDE", u"abcdefghijklmnopqrstuvwxyzABCDE"},
    {"FortyCharacters", u"abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMN", u"abcdefghijklmnopqrstuvwxyzABCDE"},
};
class UserSlotNames : public PrinterDataTest, public testing::WithParamInterface<UserCase> {};

TEST_P(UserSlotNames, BothNamesEndWithTheUserName) {
    SetUser(GetParam().user);
    const std::vector<BYTE> devmode = {1, 2, 3, 4, 5};
    ASSERT_TRUE(WritePrinterDataBlock(Printer(), devmode.data(), DWORD(devmode.size()), PRINTER_DATA_USER_DEVMODE));
    const std::u16string sizeName = u"PrivateDevmodeDataSize" + GetParam().suffix;
    const std::u16string dataName = u"PrivateDevmodeData" + GetParam().suffix;
    std::vector<std::u16string> expectedNames = {sizeName, dataName};
    std::sort(expectedNames.begin(), expectedNames.end());
    EXPECT_EQ(ValueNames(), expectedNames);
    EXPECT_EQ(Get(sizeName, REG_DWORD), (std::vector<BYTE>{5, 0, 0, 0}));
    EXPECT_EQ(Get(dataName, REG_BINARY), devmode);
    EXPECT_EQ(Read(PRINTER_DATA_USER_DEVMODE), devmode);

    // Another user's record is another pair.
    SetUser(u"Guest");
    EXPECT_EQ(Read(PRINTER_DATA_USER_DEVMODE), std::vector<BYTE>{});
}
INSTANTIATE_TEST_SUITE_P(All, UserSlotNames, testing::ValuesIn(kUsers),
                         [](const auto& info) { return std::string(info.param.label); });

TEST_F(PrinterDataTest, OtherSlotsUseTheirNamesAsTheyStand) {
    const std::vector<BYTE> record = {0, 6, 8, 0, 0, 0, 0, 0};
    ASSERT_TRUE(WritePrinterDataBlock(Printer(), record.data(), 8, PRINTER_DATA_DRIVER));
    ASSERT_TRUE(WritePrinterDataBlock(Printer(), record.data(), 3, PRINTER_DATA_FONT));
    EXPECT_EQ(ValueNames(),
              (std::vector<std::u16string>{u"FontData", u"FontDataSize", u"PrinterData", u"PrinterDataSize"}));
    EXPECT_EQ(Get(u"FontData", REG_BINARY), (std::vector<BYTE>{0, 6, 8}));
    EXPECT_FALSE(WritePrinterDataBlock(Printer(), record.data(), 8, PRINTER_DATA_SLOT_COUNT));
    EXPECT_EQ(ReadPrinterDataBlock(Printer(), nullptr, -1), nullptr);
}

// What a stored pair gives, by how the two values stand.
struct PairCase {
    const char* label;
    bool withSize;
    DWORD sizeValue;
    std::vector<BYTE> data;  // empty: no data value
    bool found;
    std::vector<BYTE> block;
};
void PrintTo(const PairCase& c, std::ostream* os) { *os << c.label; }
const PairCase kPairs[] = {
    {"Matching", true, 4, {1, 2, 3, 4}, true, {1, 2, 3, 4}},
    {"SizeZero", true, 0, {1, 2, 3, 4}, false, {}},
    {"NoSizeValue", false, 0, {1, 2, 3, 4}, false, {}},
    {"NoDataValue", true, 4, {}, false, {}},
    {"DataLongerThanItsSize", true, 3, {1, 2, 3, 4}, false, {}},
    // The bytes the stored data does not reach are zero.
    {"DataShorterThanItsSize", true, 8, {1, 2, 3}, true, {1, 2, 3, 0, 0, 0, 0, 0}},
};
class StoredPairs : public PrinterDataTest, public testing::WithParamInterface<PairCase> {};

TEST_P(StoredPairs, ReadGivesTheBlockOrNone) {
    const auto& c = GetParam();
    if (c.withSize) PutSize(u"PrinterDataSize", c.sizeValue);
    if (!c.data.empty()) Put(u"PrinterData", REG_BINARY, c.data);
    bool found = false;
    EXPECT_EQ(Read(PRINTER_DATA_DRIVER, &found), c.block);
    EXPECT_EQ(found, c.found);
}
INSTANTIATE_TEST_SUITE_P(All, StoredPairs, testing::ValuesIn(kPairs),
                         [](const auto& info) { return std::string(info.param.label); });

TEST_F(PrinterDataTest, DriverDataIsANewRecordWhenNoneIsStored) {
    DriverDataRecord* record = ReadDriverData(Printer());
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->version, 0x600);
    EXPECT_EQ(record->size, 8);
    EXPECT_EQ(record->reserved, 0u);
    Util_GlobalFree(nullptr, record);
}

// An older record of four bytes reads as eight, the rest zero.
TEST_F(PrinterDataTest, ShortDriverDataRecordReadsZeroFilled) {
    PutSize(u"PrinterDataSize", 4);
    Put(u"PrinterData", REG_BINARY, {0x00, 0x05, 4, 0});
    DriverDataRecord* record = ReadDriverData(Printer());
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->version, 0x500);
    EXPECT_EQ(record->size, 4);
    EXPECT_EQ(record->reserved, 0u);
    Util_GlobalFree(nullptr, record);

    const DriverDataRecord current{0x600, 8, 0};
    ASSERT_TRUE(WriteDriverData(Printer(), &current, sizeof(current)));
    EXPECT_EQ(Get(u"PrinterData", REG_BINARY), (std::vector<BYTE>{0, 6, 8, 0, 0, 0, 0, 0}));
    EXPECT_FALSE(WriteDriverData(Printer(), &current, 9));
}

// Writing needs a handle with the right to change the printer: the failure
// is reported, with the spooler's error.
TEST_F(PrinterDataTest, WriteThroughAReadOnlyHandleFails) {
    PRINTER_DEFAULTSW defaults{nullptr, nullptr, PRINTER_ACCESS_USE};
    HANDLE reader = nullptr;
    ASSERT_TRUE(OpenPrinterW(tam::test::kUiPrinterName, &reader, &defaults));
    const BYTE data[4] = {1, 2, 3, 4};
    SetLastError(0);
    EXPECT_FALSE(WritePrinterDataBlock(reader, data, 4, PRINTER_DATA_DRIVER));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ACCESS_DENIED));
    ClosePrinter(reader);
    EXPECT_EQ(ValueNames(), std::vector<std::u16string>{});
}

struct SuffixCase {
    const char* label;
    std::u16string user, computer;
    std::u16string withoutComputer, withComputer;
};
void PrintTo(const SuffixCase& c, std::ostream* os) { *os << c.label; }
const SuffixCase kSuffixes[] = {
    {"Short", u"User", u"KORVAN-PC", u"User", u"User\\KORVAN-PC"},
    {"CutAfterTheComputerName", u"abcdefghijklmnopqrstuv", u"KORVAN-PC", u"abcdefghijklmnopqrstuv",
     u"abcdefghijklmnopqrstuv\\KORVAN-P"},
    {"UserOf31", u"abcdefghijklmnopqrstuvwxyzABCDE", u"PC", u"abcdefghijklmnopqrstuvwxyzABCDE",
     u"abcdefghijklmnopqrstuvwxyzABCDE"},
    {"UserOf40", u"abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMN", u"PC", u"abcdefghijklmnopqrstuvwxyzABCDE",
     u"abcdefghijklmnopqrstuvwxyzABCDE"},
};
class UserNameSuffix : public tam::test::MachineTest, public testing::WithParamInterface<SuffixCase> {};

TEST_P(UserNameSuffix, NameCutTo31Characters) {
    const auto& c = GetParam();
    machine().MutableSettings().userName = c.user;
    machine().MutableSettings().computerName = c.computer;
    WCHAR buffer[32];
    ASSERT_TRUE(GetUserNameSuffix(buffer, ARRAYSIZE(buffer), FALSE));
    EXPECT_EQ(std::u16string(buffer), c.withoutComputer);
    ASSERT_TRUE(GetUserNameSuffix(buffer, ARRAYSIZE(buffer), TRUE));
    EXPECT_EQ(std::u16string(buffer), c.withComputer);
    EXPECT_FALSE(GetUserNameSuffix(buffer, 31, FALSE));
}
INSTANTIATE_TEST_SUITE_P(All, UserNameSuffix, testing::ValuesIn(kSuffixes),
                         [](const auto& info) { return std::string(info.param.label); });

}  // namespace
