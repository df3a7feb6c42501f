// The merged HKEY_CLASSES_ROOT, the 32-bit view, the predefined keys, and
// what a user who is not an administrator may do.
#include <algorithm>

#include "registry_fixture.h"
#include "machine/registry.h"

using tam::test::RegistryTest;
using Strings = std::vector<std::u16string>;

namespace {

bool Contains(const Strings& names, const std::u16string& name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

class RegViews : public RegistryTest {};

TEST_F(RegViews, ClassesRootMergesUserAndMachineClasses) {
    SetString(Create(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Classes\\.tam"), u"", u"Tam.Machine");
    SetString(Create(HKEY_CURRENT_USER, u"Software\\Classes\\.TAM"), u"", u"Tam.User");
    Make(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Classes\\MachineOnly");
    Make(HKEY_CURRENT_USER, u"Software\\Classes\\UserOnly");

    // Reads prefer the user's key.
    HKEY tam = Open(HKEY_CLASSES_ROOT, u".tam", KEY_READ);
    ASSERT_NE(tam, nullptr);
    EXPECT_EQ(QueryString(tam, u""), u"Tam.User");
    HKEY machineOnly = Open(HKEY_CLASSES_ROOT, u"machineonly", KEY_READ);
    EXPECT_NE(machineOnly, nullptr);

    // Both sets of subkeys, each name once, the user's spelling first (CLSID
    // is a fresh machine's own).
    Strings names = SubkeyNames(HKEY_CLASSES_ROOT);
    EXPECT_EQ(names, (Strings{u".TAM", u"CLSID", u"MachineOnly", u"UserOnly"}));
    DWORD count = 0, longest = 0;
    ASSERT_EQ(RegQueryInfoKeyW(HKEY_CLASSES_ROOT, nullptr, nullptr, nullptr, &count, &longest, nullptr, nullptr,
                               nullptr, nullptr, nullptr, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(count, 4u);
    EXPECT_EQ(longest, 11u);

    // An administrator's new key goes to the machine's classes.
    DWORD disposition = 0;
    HKEY created = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CLASSES_ROOT, u"Tam.Document\\DefaultIcon", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              &created, &disposition),
              ERROR_SUCCESS);
    Track(created);
    EXPECT_EQ(disposition, DWORD(REG_CREATED_NEW_KEY));
    SetString(created, u"", u"Tamsheetui.dll,0");
    HKEY machineSide = Open(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Classes\\Tam.Document\\DefaultIcon", KEY_READ);
    ASSERT_NE(machineSide, nullptr);
    EXPECT_EQ(QueryString(machineSide, u""), u"Tamsheetui.dll,0");
    EXPECT_EQ(Open(HKEY_CURRENT_USER, u"Software\\Classes\\Tam.Document", KEY_READ), nullptr);

    // Deleting the user's key lets the machine's show through.
    ASSERT_EQ(RegDeleteKeyW(HKEY_CLASSES_ROOT, u".tam"), ERROR_SUCCESS);
    HKEY after = Open(HKEY_CLASSES_ROOT, u".tam", KEY_READ);
    ASSERT_NE(after, nullptr);
    EXPECT_EQ(QueryString(after, u""), u"Tam.Machine");
    EXPECT_EQ(SubkeyNames(HKEY_CLASSES_ROOT), (Strings{u".tam", u"CLSID", u"MachineOnly", u"Tam.Document", u"UserOnly"}));
}

TEST_F(RegViews, ThirtyTwoBitViewOfSoftwareIsWow6432Node) {
    HKEY key = Create(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Korvan\\Tamsheet", KEY_ALL_ACCESS | KEY_WOW64_32KEY);
    SetString(key, u"Bits", u"32");
    HKEY redirected = Open(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Wow6432Node\\Korvan\\Tamsheet", KEY_READ);
    ASSERT_NE(redirected, nullptr);
    EXPECT_EQ(QueryString(redirected, u"Bits"), u"32");
    // The default view of a 64-bit process, and the explicit 64-bit view, do not see it.
    EXPECT_EQ(Open(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Korvan", KEY_READ), nullptr);
    EXPECT_EQ(Open(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Korvan", KEY_READ | KEY_WOW64_64KEY), nullptr);
    EXPECT_NE(Open(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Korvan\\Tamsheet", KEY_READ | KEY_WOW64_32KEY), nullptr);

    // SOFTWARE itself in the 32-bit view, and a relative open from the 64-bit SOFTWARE.
    HKEY software32 = Open(HKEY_LOCAL_MACHINE, u"SOFTWARE", KEY_READ | KEY_WOW64_32KEY);
    ASSERT_NE(software32, nullptr);
    EXPECT_TRUE(Contains(SubkeyNames(software32), u"Korvan"));
    HKEY software64 = Open(HKEY_LOCAL_MACHINE, u"SOFTWARE", KEY_READ);
    EXPECT_NE(Open(software64, u"Korvan", KEY_READ | KEY_WOW64_32KEY), nullptr);
    EXPECT_EQ(Open(software64, u"Korvan", KEY_READ), nullptr);

    // What each view says about the program folders.
    HKEY cv32 = Open(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion", KEY_READ | KEY_WOW64_32KEY);
    HKEY cv64 = Open(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion", KEY_READ);
    EXPECT_EQ(QueryString(cv32, u"ProgramFilesDir"), u"C:\\Program Files (x86)");
    EXPECT_EQ(QueryString(cv64, u"ProgramFilesDir"), u"C:\\Program Files");

    // Classes and keys outside SOFTWARE are the same in both views.
    HKEY classes = Create(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Classes\\Tam.Shared", KEY_ALL_ACCESS | KEY_WOW64_32KEY);
    ASSERT_NE(classes, nullptr);
    EXPECT_NE(Open(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Classes\\Tam.Shared", KEY_READ), nullptr);
    EXPECT_NE(Open(HKEY_LOCAL_MACHINE, u"SYSTEM\\CurrentControlSet\\Services", KEY_READ | KEY_WOW64_32KEY), nullptr);
    EXPECT_EQ(RegDeleteKeyExW(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Korvan\\Tamsheet", KEY_WOW64_32KEY, 0), ERROR_SUCCESS);
    EXPECT_EQ(Open(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Wow6432Node\\Korvan\\Tamsheet", KEY_READ), nullptr);
}

class RegViews32BitMachine : public RegistryTest {
    w32::MachineSettings MakeSettings() const override {
        auto settings = RegistryTest::MakeSettings();
        settings.is64Bit = false;
        return settings;
    }
};

TEST_F(RegViews32BitMachine, HasNoRedirection) {
    SetString(Create(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Korvan", KEY_ALL_ACCESS | KEY_WOW64_32KEY), u"Bits", u"32");
    HKEY plain = Open(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Korvan", KEY_READ);
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(QueryString(plain, u"Bits"), u"32");
    EXPECT_EQ(Open(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Wow6432Node", KEY_READ), nullptr);
    HKEY environments = Open(HKEY_LOCAL_MACHINE, u"SYSTEM\\CurrentControlSet\\Control\\Print\\Environments", KEY_READ);
    EXPECT_EQ(SubkeyNames(environments), Strings{u"Windows NT x86"});
}

TEST_F(RegViews, PredefinedKeysAndTheUsersKey) {
    // HKEY_CURRENT_USER is the user's key below HKEY_USERS.
    const std::u16string sid = w32::UserSidString(u"User");
    EXPECT_EQ(sid.rfind(u"S-1-5-21-", 0), 0u);
    EXPECT_EQ(sid, w32::UserSidString(u"USER"));
    Strings users = SubkeyNames(HKEY_USERS);
    EXPECT_EQ(users, (Strings{u".DEFAULT", sid}));
    SetString(Create(HKEY_CURRENT_USER, u"Software\\Korvan"), u"Where", u"user");
    HKEY viaUsers = Open(HKEY_USERS, sid + u"\\Software\\Korvan", KEY_READ);
    ASSERT_NE(viaUsers, nullptr);
    EXPECT_EQ(QueryString(viaUsers, u"Where"), u"user");
    HKEY current = nullptr;
    ASSERT_EQ(RegOpenCurrentUser(KEY_READ, &current), ERROR_SUCCESS);
    Track(current);
    HKEY viaCurrent = Open(current, u"Software\\Korvan", KEY_READ);
    ASSERT_NE(viaCurrent, nullptr);
    EXPECT_EQ(QueryString(viaCurrent, u"Where"), u"user");
    EXPECT_NE(Open(HKEY_CURRENT_CONFIG, u"", KEY_READ), nullptr);
}

TEST_F(RegViews, FreshMachineHasTheStandardKeys) {
    struct Case {
        HKEY root;
        const char16_t* path;
        const char16_t* name;
        const char16_t* value;
    };
    const Case cases[] = {
        {HKEY_LOCAL_MACHINE, u"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", u"CurrentVersion", u"6.3"},
        {HKEY_LOCAL_MACHINE, u"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", u"CurrentBuild", u"19045"},
        {HKEY_LOCAL_MACHINE, u"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", u"ProductName", u"Windows 10 Pro"},
        {HKEY_LOCAL_MACHINE, u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion", u"CommonFilesDir",
         u"C:\\Program Files\\Common Files"},
        {HKEY_LOCAL_MACHINE, u"SYSTEM\\CurrentControlSet\\Control\\Nls\\Language", u"Default", u"0409"},
        {HKEY_LOCAL_MACHINE, u"SYSTEM\\CurrentControlSet\\Control\\Print\\Environments\\Windows x64", u"Directory",
         u"x64"},
        {HKEY_CURRENT_USER, u"Control Panel\\International", u"LocaleName", u"en-US"},
        {HKEY_CURRENT_USER, u"Control Panel\\International", u"iCountry", u"1"},
        {HKEY_USERS, u".DEFAULT\\Control Panel\\International", u"Locale", u"00000409"},
    };
    for (const auto& c : cases) {
        HKEY key = Open(c.root, c.path, KEY_READ);
        ASSERT_NE(key, nullptr) << w32::ToUtf8(c.path);
        EXPECT_EQ(QueryString(key, c.name), c.value) << w32::ToUtf8(c.path) << " " << w32::ToUtf8(c.name);
    }
    for (const char16_t* path : {u"SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors",
                                 u"SYSTEM\\CurrentControlSet\\Control\\Print\\Printers",
                                 u"SYSTEM\\CurrentControlSet\\Services", u"SOFTWARE\\Classes"})
        EXPECT_NE(Open(HKEY_LOCAL_MACHINE, path, KEY_READ), nullptr) << w32::ToUtf8(path);
    HKEY nt = Open(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", KEY_READ);
    DWORD type = 0;
    EXPECT_EQ(Query(nt, u"CurrentMajorVersionNumber", &type), tam::test::Bytes("\x0a\0\0\0", 4));
    EXPECT_EQ(type, DWORD(REG_DWORD));
}

// A user who is not an elevated administrator.
struct UserCase {
    const char* label;
    bool administrator;
    bool uacFiltered;
};

void PrintTo(const UserCase& c, std::ostream* os) { *os << c.label; }

class RegStandardUser : public RegistryTest, public testing::WithParamInterface<UserCase> {
protected:
    w32::MachineSettings MakeSettings() const override {
        auto settings = RegistryTest::MakeSettings();
        settings.administrator = GetParam().administrator;
        settings.uacFiltered = GetParam().uacFiltered;
        return settings;
    }
};

TEST_P(RegStandardUser, CannotChangeTheMachinesKeys) {
    HKEY key = reinterpret_cast<HKEY>(0x5555);
    EXPECT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Korvan", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                              nullptr),
              ERROR_ACCESS_DENIED);
    EXPECT_EQ(key, nullptr);
    EXPECT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Korvan", 0, nullptr, 0, KEY_READ, nullptr, &key, nullptr),
              ERROR_ACCESS_DENIED);  // a new key is a change, whatever the rights asked
    EXPECT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"SOFTWARE", 0, KEY_WRITE, &key), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegOpenKeyExW(HKEY_USERS, u".DEFAULT", 0, KEY_SET_VALUE, &key), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegSetValueExW(HKEY_LOCAL_MACHINE, u"x", 0, REG_SZ, reinterpret_cast<const BYTE*>(u"y"), 4),
              ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegDeleteKeyW(HKEY_LOCAL_MACHINE, u"SYSTEM\\CurrentControlSet\\Control\\Print\\Monitors"),
              ERROR_ACCESS_DENIED);

    // Reading is allowed; so is opening an existing key through RegCreateKeyEx.
    DWORD disposition = 0;
    HKEY existing = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Microsoft", 0, nullptr, 0, KEY_READ, nullptr, &existing,
                              &disposition),
              ERROR_SUCCESS);
    Track(existing);
    EXPECT_EQ(disposition, DWORD(REG_OPENED_EXISTING_KEY));
    HKEY maximum = Open(HKEY_LOCAL_MACHINE, u"SOFTWARE", MAXIMUM_ALLOWED);
    ASSERT_NE(maximum, nullptr);
    EXPECT_FALSE(SubkeyNames(maximum).empty());
    EXPECT_EQ(RegSetValueExW(maximum, u"x", 0, REG_SZ, reinterpret_cast<const BYTE*>(u"y"), 4), ERROR_ACCESS_DENIED);

    // The user's own keys are his to change; his new classes go to his own part.
    SetString(Create(HKEY_CURRENT_USER, u"Software\\Korvan"), u"Name", u"mine");
    HKEY created = Create(HKEY_CLASSES_ROOT, u"Tam.UserDocument");
    ASSERT_NE(created, nullptr);
    EXPECT_NE(Open(HKEY_CURRENT_USER, u"Software\\Classes\\Tam.UserDocument", KEY_READ), nullptr);
    EXPECT_EQ(Open(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Classes\\Tam.UserDocument", KEY_READ), nullptr);
}

const UserCase kUsers[] = {{"StandardUser", false, false}, {"FilteredAdministrator", true, true}};
INSTANTIATE_TEST_SUITE_P(All, RegStandardUser, testing::ValuesIn(kUsers),
                         [](const testing::TestParamInfo<UserCase>& info) { return info.param.label; });

}  // namespace
