// The hives on disk: what survives a reopen, and what a damaged file does.
#include <fstream>
#include <iterator>

#include "machine/registry.h"
#include "registry_fixture.h"

using tam::test::Bytes;
using tam::test::RegistryTest;
using Strings = std::vector<std::u16string>;

namespace {

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << bytes;
}

class RegPersist : public RegistryTest {};

TEST_F(RegPersist, ValuesSurviveReopen) {
    HKEY machineKey = Create(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Korvan\\Tamsheet");
    SetString(machineKey, u"DriverName", u"Korvan Tamsheet");
    SetDword(machineKey, u"Version", 0x0301);
    const BYTE blob[] = {0, 1, 2, 3, 0xFE};
    Set(machineKey, u"Blob", REG_BINARY, blob, sizeof(blob));
    Set(machineKey, u"Raw", REG_SZ, u"ab", 4);  // no terminator
    HKEY userKey = Create(HKEY_CURRENT_USER, u"Software\\Korvan\\MixedCase");
    SetString(userKey, u"ÄpfelName", u"Grün");
    FILETIME before{};
    ASSERT_EQ(RegQueryInfoKeyW(machineKey, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                               nullptr, nullptr, &before),
              ERROR_SUCCESS);
    Make(HKEY_CURRENT_USER, u"Software\\Volatile", KEY_ALL_ACCESS, REG_OPTION_VOLATILE);
    // A volatile key holds only volatile subkeys.
    HKEY volatileKey = Open(HKEY_CURRENT_USER, u"Software\\Volatile");
    HKEY child = nullptr;
    EXPECT_EQ(RegCreateKeyExW(volatileKey, u"Child", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &child, nullptr),
              ERROR_CHILD_MUST_BE_VOLATILE);

    Reopen();
    HKEY machineAgain = Open(HKEY_LOCAL_MACHINE, u"software\\korvan\\tamsheet", KEY_READ);
    ASSERT_NE(machineAgain, nullptr);
    EXPECT_EQ(QueryString(machineAgain, u"DriverName"), u"Korvan Tamsheet");
    DWORD type = 0;
    EXPECT_EQ(Query(machineAgain, u"Version", &type), Bytes("\x01\x03\0\0", 4));
    EXPECT_EQ(type, DWORD(REG_DWORD));
    EXPECT_EQ(Query(machineAgain, u"Blob", &type), Bytes(blob, sizeof(blob)));
    EXPECT_EQ(type, DWORD(REG_BINARY));
    EXPECT_EQ(Query(machineAgain, u"Raw"), Bytes(u"ab", 4));
    EXPECT_EQ(ValueNames(machineAgain), (Strings{u"Blob", u"DriverName", u"Raw", u"Version"}));
    FILETIME after{};
    ASSERT_EQ(RegQueryInfoKeyW(machineAgain, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                               nullptr, nullptr, &after),
              ERROR_SUCCESS);
    EXPECT_EQ(after.dwLowDateTime, before.dwLowDateTime);
    EXPECT_EQ(after.dwHighDateTime, before.dwHighDateTime);

    HKEY userAgain = Open(HKEY_CURRENT_USER, u"Software\\Korvan", KEY_READ);
    EXPECT_EQ(SubkeyNames(userAgain), Strings{u"MixedCase"});
    HKEY mixed = Open(userAgain, u"MIXEDCASE", KEY_READ);
    EXPECT_EQ(ValueNames(mixed), Strings{u"ÄpfelName"});
    EXPECT_EQ(QueryString(mixed, u"äpfelname"), u"Grün");
    EXPECT_EQ(Open(HKEY_CURRENT_USER, u"Software\\Volatile", KEY_READ), nullptr);
}

TEST_F(RegPersist, HivesAreFilesInTheMachineFolder) {
    auto folder = machineFolder() / "registry";
    EXPECT_TRUE(std::filesystem::is_regular_file(folder / "HKLM.hive"));
    EXPECT_TRUE(std::filesystem::is_regular_file(folder / "HKU.hive"));
    // Each change is written at once, through a new file renamed over the old.
    std::string before = ReadFile(folder / "HKU.hive");
    SetString(Create(HKEY_CURRENT_USER, u"Software\\Korvan"), u"Name", u"x");
    EXPECT_NE(ReadFile(folder / "HKU.hive"), before);
    EXPECT_FALSE(std::filesystem::exists(folder / "HKU.hive.new"));
}

struct DamageCase {
    const char* label;
    const char* hive;
    void (*damage)(std::string& bytes);
    const char* reason;  // part of the message
};

void PrintTo(const DamageCase& c, std::ostream* os) { *os << c.label; }

const DamageCase kDamage[] = {
    {"Truncated", "HKLM.hive", [](std::string& b) { b.resize(b.size() / 2); }, "bytes but the file holds"},
    {"FlippedByte", "HKLM.hive", [](std::string& b) { b[b.size() - 3] ^= 0x40; }, "checksum"},
    {"BadMagic", "HKU.hive", [](std::string& b) { b[0] = 'X'; }, "bad magic"},
    {"HeaderOnly", "HKU.hive", [](std::string& b) { b.resize(10); }, "header"},
    {"Empty", "HKU.hive", [](std::string& b) { b.clear(); }, "header"},
};

class RegDamagedHive : public RegistryTest, public testing::WithParamInterface<DamageCase> {};

TEST_P(RegDamagedHive, OpenReportsItAndLeavesTheFile) {
    const DamageCase& c = GetParam();
    SetString(Create(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Korvan"), u"Name", u"x");
    SetString(Create(HKEY_CURRENT_USER, u"Software\\Korvan"), u"Name", u"y");
    w32::Machine::CloseCurrent();
    auto path = machineFolder() / "registry" / c.hive;
    std::string bytes = ReadFile(path);
    c.damage(bytes);
    WriteFile(path, bytes);

    try {
        w32::Machine::Open(machineFolder());
        FAIL() << "a damaged hive was accepted";
    } catch (const w32::MachineError& error) {
        std::string message = error.what();
        EXPECT_NE(message.find(c.hive), std::string::npos) << message;
        EXPECT_NE(message.find(c.reason), std::string::npos) << message;
    }
    EXPECT_EQ(ReadFile(path), bytes);
    // Whatever runs next has the memory-only default machine, not a half-loaded one.
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Korvan", 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND);
    EXPECT_TRUE(w32::Machine::Current().Folder().empty());
    EXPECT_EQ(ReadFile(path), bytes);
}

INSTANTIATE_TEST_SUITE_P(All, RegDamagedHive, testing::ValuesIn(kDamage),
                         [](const testing::TestParamInfo<DamageCase>& info) { return info.param.label; });

TEST_F(RegPersist, MemoryOnlyMachineKeepsItsRegistryInMemory) {
    w32::Machine::CloseCurrent();
    HKEY key = Create(HKEY_CURRENT_USER, u"Software\\Korvan");
    SetString(key, u"Name", u"memory");
    EXPECT_TRUE(w32::Machine::Current().Folder().empty());
    EXPECT_EQ(QueryString(key, u"Name"), u"memory");
    HKEY nt = Open(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", KEY_READ);
    EXPECT_EQ(QueryString(nt, u"CurrentBuild"), u"19045");
}

class RegPersistOtherSettings : public RegistryTest {
    w32::MachineSettings MakeSettings() const override {
        auto settings = RegistryTest::MakeSettings();
        settings.osBuild = 22631;
        settings.userName = u"Ana";
        settings.userLanguage = 0x0407;
        settings.country = 49;
        return settings;
    }
};

TEST_F(RegPersistOtherSettings, KeysFollowTheSettingsAndARenamedUserGetsAProfile) {
    HKEY nt = Open(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", KEY_READ);
    EXPECT_EQ(QueryString(nt, u"CurrentBuild"), u"22631");
    HKEY intl = Open(HKEY_CURRENT_USER, u"Control Panel\\International", KEY_READ);
    EXPECT_EQ(QueryString(intl, u"LocaleName"), u"de-DE");
    EXPECT_EQ(QueryString(intl, u"iCountry"), u"49");
    SetString(Create(HKEY_CURRENT_USER, u"Software\\Korvan"), u"Owner", u"Ana");

    machine().MutableSettings().userName = u"Ben";
    machine().SaveSettings();
    Reopen();
    EXPECT_EQ(Open(HKEY_CURRENT_USER, u"Software\\Korvan", KEY_READ), nullptr);  // Ben's own key
    EXPECT_NE(Open(HKEY_CURRENT_USER, u"Software\\Classes", KEY_READ), nullptr);
    HKEY anas = Open(HKEY_USERS, w32::UserSidString(u"Ana") + u"\\Software\\Korvan", KEY_READ);
    ASSERT_NE(anas, nullptr);
    EXPECT_EQ(QueryString(anas, u"Owner"), u"Ana");
}

}  // namespace
