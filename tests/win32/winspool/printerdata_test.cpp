#include "spooler_fixture.h"

using tam::test::LaserPrinterTest;
using Names = std::vector<std::u16string>;

namespace {

const std::u16string kDataKey = u"SYSTEM\\CurrentControlSet\\Control\\Print\\Printers\\Korvan Laser\\PrinterDriverData";

class PrinterData : public LaserPrinterTest {
protected:
    static std::vector<BYTE> Bytes(const void* data, size_t size) {
        auto* p = static_cast<const BYTE*>(data);
        return std::vector<BYTE>(p, p + size);
    }
    static std::vector<BYTE> StringBytes(const std::u16string& text) {
        return Bytes(text.c_str(), (text.size() + 1) * 2);
    }
};

struct ValueCase {
    const char16_t* name;
    DWORD type;
    std::vector<BYTE> data;
};

TEST_F(PrinterData, ValuesComeBackWithTheirTypesAndSizes) {
    DWORD number = 0x12345678;
    const std::u16string multi = std::u16string(u"Tray 1") + u'\0' + u"Tray 2" + u'\0' + u'\0';
    const ValueCase cases[] = {
        {u"Model", REG_SZ, StringBytes(u"Korvan Laser 7")},
        {u"PageCount", REG_DWORD, Bytes(&number, sizeof(number))},
        {u"Settings", REG_BINARY, {1, 2, 3, 0, 5}},
        {u"Trays", REG_MULTI_SZ, Bytes(multi.data(), multi.size() * 2)},
        {u"Empty", REG_BINARY, {}},
    };
    for (const auto& c : cases)
        ASSERT_EQ(SetPrinterDataW(printer_, c.name, c.type, const_cast<LPBYTE>(c.data.data()), DWORD(c.data.size())),
                  DWORD(ERROR_SUCCESS))
            << w32::ToUtf8(c.name);

    for (const auto& c : cases) {
        SCOPED_TRACE(w32::ToUtf8(c.name));
        DWORD type = 99, needed = 0;
        // The size first: no buffer is too small unless the value is empty.
        DWORD first = GetPrinterDataW(printer_, c.name, &type, nullptr, 0, &needed);
        EXPECT_EQ(first, c.data.empty() ? DWORD(ERROR_SUCCESS) : DWORD(ERROR_MORE_DATA));
        EXPECT_EQ(needed, c.data.size());
        EXPECT_EQ(type, c.type);
        std::vector<BYTE> data(needed + 4, 0xEE);
        type = 99;
        needed = 0;
        ASSERT_EQ(GetPrinterDataW(printer_, c.name, &type, data.data(), DWORD(data.size()), &needed),
                  DWORD(ERROR_SUCCESS));
        EXPECT_EQ(needed, c.data.size());
        EXPECT_EQ(type, c.type);
        data.resize(needed);
        EXPECT_EQ(data, c.data);
    }

    // A buffer one byte short, and a value that is not there.
    BYTE small[13];
    DWORD type = 0, needed = 0;
    SetLastError(0);
    EXPECT_EQ(GetPrinterDataW(printer_, u"Model", &type, small, sizeof(small), &needed), DWORD(ERROR_MORE_DATA));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_MORE_DATA));
    EXPECT_EQ(needed, 30u);
    EXPECT_EQ(GetPrinterDataW(printer_, u"NoSuchValue", &type, small, sizeof(small), &needed),
              DWORD(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(GetPrinterDataW(printer_, u"Model", &type, small, sizeof(small), nullptr), DWORD(RPC_X_NULL_REF_POINTER));

    // The plain functions are the Ex functions on PrinterDriverData.
    BYTE buffer[64];
    ASSERT_EQ(GetPrinterDataExW(printer_, u"PrinterDriverData", u"PageCount", &type, buffer, sizeof(buffer), &needed),
              DWORD(ERROR_SUCCESS));
    EXPECT_EQ(type, DWORD(REG_DWORD));
    EXPECT_EQ(Bytes(buffer, needed), Bytes(&number, sizeof(number)));

    EXPECT_EQ(DeletePrinterDataW(printer_, u"Model"), DWORD(ERROR_SUCCESS));
    EXPECT_EQ(GetPrinterDataW(printer_, u"Model", &type, buffer, sizeof(buffer), &needed), DWORD(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(DeletePrinterDataW(printer_, u"Model"), DWORD(ERROR_FILE_NOT_FOUND));
}

TEST_F(PrinterData, EnumPrinterDataWalksTheValuesInOrder) {
    DWORD one = 1;
    ASSERT_EQ(SetPrinterDataW(printer_, u"Beta", REG_DWORD, reinterpret_cast<LPBYTE>(&one), 4), DWORD(ERROR_SUCCESS));
    std::vector<BYTE> text = StringBytes(u"a longer text value");
    ASSERT_EQ(SetPrinterDataW(printer_, u"alpha", REG_SZ, text.data(), DWORD(text.size())), DWORD(ERROR_SUCCESS));

    // Both sizes zero: the largest name and data of the key.
    DWORD nameBytes = 0, dataBytes = 0, type = 0;
    ASSERT_EQ(EnumPrinterDataW(printer_, 0, nullptr, 0, &nameBytes, &type, nullptr, 0, &dataBytes),
              DWORD(ERROR_SUCCESS));
    EXPECT_EQ(nameBytes, 12u);  // "alpha" and "Beta": five characters and the terminator
    EXPECT_EQ(dataBytes, text.size());

    Names names;
    std::vector<DWORD> types;
    for (DWORD index = 0;; ++index) {
        WCHAR name[32];
        BYTE data[64];
        DWORD status =
            EnumPrinterDataW(printer_, index, name, sizeof(name), &nameBytes, &type, data, sizeof(data), &dataBytes);
        if (status == ERROR_NO_MORE_ITEMS) break;
        ASSERT_EQ(status, DWORD(ERROR_SUCCESS));
        EXPECT_EQ(nameBytes, (std::char_traits<char16_t>::length(name) + 1) * 2);
        names.push_back(name);
        types.push_back(type);
    }
    EXPECT_EQ(names, (Names{u"alpha", u"Beta"}));
    EXPECT_EQ(types, (std::vector<DWORD>{REG_SZ, REG_DWORD}));

    // A name buffer too small for this value.
    WCHAR name[3];
    BYTE data[64];
    EXPECT_EQ(EnumPrinterDataW(printer_, 0, name, sizeof(name), &nameBytes, &type, data, sizeof(data), &dataBytes),
              DWORD(ERROR_MORE_DATA));
    EXPECT_EQ(nameBytes, 12u);
    EXPECT_EQ(dataBytes, text.size());
}

TEST_F(PrinterData, OtherKeysOfThePrinterThroughTheExFunctions) {
    DWORD level = 7;
    ASSERT_EQ(
        SetPrinterDataExW(printer_, u"Korvan\\Finisher", u"Level", REG_DWORD, reinterpret_cast<LPBYTE>(&level), 4),
        DWORD(ERROR_SUCCESS));
    std::vector<BYTE> text = StringBytes(u"stapler");
    ASSERT_EQ(SetPrinterDataExW(printer_, u"Korvan\\Finisher", u"Kind", REG_SZ, text.data(), DWORD(text.size())),
              DWORD(ERROR_SUCCESS));

    DWORD needed = 0, count = 0;
    EXPECT_EQ(EnumPrinterDataExW(printer_, u"Korvan\\Finisher", nullptr, 0, &needed, &count), DWORD(ERROR_MORE_DATA));
    EXPECT_EQ(count, 0u);
    std::vector<BYTE> buffer(needed);
    ASSERT_EQ(EnumPrinterDataExW(printer_, u"Korvan\\Finisher", buffer.data(), needed, &needed, &count),
              DWORD(ERROR_SUCCESS));
    ASSERT_EQ(count, 2u);
    auto* values = reinterpret_cast<PRINTER_ENUM_VALUESW*>(buffer.data());
    EXPECT_EQ(Str(values[0].pValueName), u"Kind");
    EXPECT_EQ(values[0].cbValueName, 10u);
    EXPECT_EQ(values[0].dwType, DWORD(REG_SZ));
    EXPECT_EQ(Bytes(values[0].pData, values[0].cbData), text);
    EXPECT_EQ(Str(values[1].pValueName), u"Level");
    EXPECT_EQ(values[1].dwType, DWORD(REG_DWORD));
    EXPECT_EQ(Bytes(values[1].pData, values[1].cbData), Bytes(&level, 4));

    WCHAR keys[64];
    ASSERT_EQ(EnumPrinterKeyW(printer_, u"", keys, sizeof(keys), &needed), DWORD(ERROR_SUCCESS));
    EXPECT_EQ(List(keys), (Names{u"Korvan", u"PrinterDriverData"}));
    EXPECT_EQ(needed, (6 + 1 + 17 + 1 + 1) * 2u);
    EXPECT_EQ(EnumPrinterKeyW(printer_, u"Korvan", keys, 4, &needed), DWORD(ERROR_MORE_DATA));
    EXPECT_EQ(needed, (8 + 1 + 1) * 2u);
    EXPECT_EQ(EnumPrinterKeyW(printer_, u"Missing", keys, sizeof(keys), &needed), DWORD(ERROR_FILE_NOT_FOUND));

    EXPECT_EQ(DeletePrinterDataExW(printer_, u"Korvan\\Finisher", u"Kind"), DWORD(ERROR_SUCCESS));
    EXPECT_EQ(DeletePrinterKeyW(printer_, u"Korvan"), DWORD(ERROR_SUCCESS));
    EXPECT_EQ(EnumPrinterDataExW(printer_, u"Korvan\\Finisher", nullptr, 0, &needed, &count),
              DWORD(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(SetPrinterDataExW(printer_, u"", u"Level", REG_DWORD, reinterpret_cast<LPBYTE>(&level), 4),
              DWORD(ERROR_INVALID_PARAMETER));
}

TEST_F(PrinterData, DataLivesInTheRegistryAcrossAReopen) {
    std::vector<BYTE> text = StringBytes(u"enus");
    ASSERT_EQ(SetPrinterDataW(printer_, u"Suffix", REG_SZ, text.data(), DWORD(text.size())), DWORD(ERROR_SUCCESS));
    Reopen();

    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, kDataKey.c_str(), 0, KEY_READ, &key), ERROR_SUCCESS);
    BYTE data[32];
    DWORD size = sizeof(data), type = 0;
    ASSERT_EQ(RegQueryValueExW(key, u"Suffix", nullptr, &type, data, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, DWORD(REG_SZ));
    EXPECT_EQ(Bytes(data, size), text);
    RegCloseKey(key);

    // Written directly, read through the spooler.
    ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, kDataKey.c_str(), 0, KEY_SET_VALUE, &key), ERROR_SUCCESS);
    DWORD direct = 42;
    ASSERT_EQ(RegSetValueExW(key, u"Direct", 0, REG_DWORD, reinterpret_cast<BYTE*>(&direct), 4), ERROR_SUCCESS);
    RegCloseKey(key);
    HANDLE printer = Open(u"Korvan Laser", PRINTER_ACCESS_USE);
    ASSERT_NE(printer, nullptr);
    DWORD value = 0, needed = 0;
    ASSERT_EQ(GetPrinterDataW(printer, u"Direct", &type, reinterpret_cast<LPBYTE>(&value), 4, &needed),
              DWORD(ERROR_SUCCESS));
    EXPECT_EQ(value, 42u);
    size = sizeof(data);
    ASSERT_EQ(GetPrinterDataW(printer, u"Suffix", &type, data, sizeof(data), &needed), DWORD(ERROR_SUCCESS));
    EXPECT_EQ(Bytes(data, needed), text);
}

TEST_F(PrinterData, ChangingNeedsAnAdministeringHandle) {
    HANDLE user = Open(u"Korvan Laser", PRINTER_ACCESS_USE);
    ASSERT_NE(user, nullptr);
    DWORD value = 1, type = 0, needed = 0;
    SetLastError(0);
    EXPECT_EQ(SetPrinterDataW(user, u"Flag", REG_DWORD, reinterpret_cast<LPBYTE>(&value), 4),
              DWORD(ERROR_ACCESS_DENIED));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ACCESS_DENIED));
    ASSERT_EQ(SetPrinterDataW(printer_, u"Flag", REG_DWORD, reinterpret_cast<LPBYTE>(&value), 4), DWORD(ERROR_SUCCESS));
    EXPECT_EQ(DeletePrinterDataW(user, u"Flag"), DWORD(ERROR_ACCESS_DENIED));
    value = 0;
    EXPECT_EQ(GetPrinterDataW(user, u"Flag", &type, reinterpret_cast<LPBYTE>(&value), 4, &needed),
              DWORD(ERROR_SUCCESS));
    EXPECT_EQ(value, 1u);
}

TEST_F(PrinterData, TheServerHandleAnswersTheSpoolersOwnValues) {
    HANDLE server = nullptr;
    ASSERT_TRUE(OpenPrinterW(nullptr, &server, nullptr));
    Track(server);
    WCHAR text[128];
    DWORD type = 0, needed = 0;
    ASSERT_EQ(GetPrinterDataW(server, SPLREG_DEFAULT_SPOOL_DIRECTORY, &type, reinterpret_cast<LPBYTE>(text),
                              sizeof(text), &needed),
              DWORD(ERROR_SUCCESS));
    EXPECT_EQ(type, DWORD(REG_SZ));
    EXPECT_EQ(std::u16string(text), u"C:\\Windows\\System32\\spool\\PRINTERS");
    ASSERT_EQ(
        GetPrinterDataW(server, SPLREG_ARCHITECTURE, &type, reinterpret_cast<LPBYTE>(text), sizeof(text), &needed),
        DWORD(ERROR_SUCCESS));
    EXPECT_EQ(std::u16string(text), u"Windows x64");
    EXPECT_EQ(needed, 24u);
    DWORD value = 0;
    EXPECT_EQ(SetPrinterDataW(server, u"BeepEnabled", REG_DWORD, reinterpret_cast<LPBYTE>(&value), 4),
              DWORD(ERROR_ACCESS_DENIED));  // opened without SERVER_ACCESS_ADMINISTER
}

}  // namespace
