#include <algorithm>
#include <cstdio>
#include <thread>

#include "registry_fixture.h"

using tam::test::RegistryTest;
using Strings = std::vector<std::u16string>;

namespace {

class RegKeys : public RegistryTest {};

TEST_F(RegKeys, CreateMakesNestedKeysAndReportsDisposition) {
    HKEY key = nullptr;
    DWORD disposition = 0;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Korvan\\Tamsheet\\Settings", 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, &key, &disposition),
              ERROR_SUCCESS);
    Track(key);
    EXPECT_EQ(disposition, DWORD(REG_CREATED_NEW_KEY));

    HKEY again = nullptr;
    disposition = 0;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Korvan\\Tamsheet\\Settings", 0, nullptr, 0, KEY_READ,
                              nullptr, &again, &disposition),
              ERROR_SUCCESS);
    Track(again);
    EXPECT_EQ(disposition, DWORD(REG_OPENED_EXISTING_KEY));
    EXPECT_NE(again, key);  // every open gives a handle of its own

    // The keys on the way were made too, and a relative create opens one.
    HKEY middle = Open(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Korvan");
    ASSERT_NE(middle, nullptr);
    EXPECT_EQ(SubkeyNames(middle), Strings{u"Tamsheet"});
    HKEY relative = nullptr;
    ASSERT_EQ(RegCreateKeyExW(middle, u"Tamsheet\\Settings", 0, nullptr, 0, KEY_READ, nullptr, &relative, &disposition),
              ERROR_SUCCESS);
    Track(relative);
    EXPECT_EQ(disposition, DWORD(REG_OPENED_EXISTING_KEY));

    // The short forms.
    HKEY shortForm = nullptr;
    ASSERT_EQ(RegCreateKeyW(middle, u"Other", &shortForm), ERROR_SUCCESS);
    Track(shortForm);
    HKEY reopened = nullptr;
    ASSERT_EQ(RegOpenKeyW(middle, u"Other", &reopened), ERROR_SUCCESS);
    Track(reopened);
    HKEY same = nullptr;
    EXPECT_EQ(RegOpenKeyW(middle, nullptr, &same), ERROR_SUCCESS);
    EXPECT_EQ(same, middle);  // no subkey: the handle given comes back
    EXPECT_EQ(SubkeyNames(middle), (Strings{u"Other", u"Tamsheet"}));
}

TEST_F(RegKeys, OpenFailuresLeaveNoHandle) {
    struct Case {
        HKEY parent;
        const char16_t* path;
        LONG status;
    };
    const Case cases[] = {
        {HKEY_LOCAL_MACHINE, u"SOFTWARE\\NoSuchVendor", ERROR_FILE_NOT_FOUND},
        {HKEY_LOCAL_MACHINE, u"SOFTWARE\\NoSuchVendor\\Deeper", ERROR_FILE_NOT_FOUND},
        {HKEY_LOCAL_MACHINE, u"\\SOFTWARE", ERROR_BAD_PATHNAME},
        {nullptr, u"SOFTWARE", ERROR_INVALID_HANDLE},
        {reinterpret_cast<HKEY>(0x1234), u"SOFTWARE", ERROR_INVALID_HANDLE},
        {HKEY_PERFORMANCE_DATA, u"Global", ERROR_NOT_SUPPORTED},
    };
    for (const auto& c : cases) {
        HKEY key = reinterpret_cast<HKEY>(0x5555);
        EXPECT_EQ(RegOpenKeyExW(c.parent, c.path, 0, KEY_READ, &key), c.status) << w32::ToUtf8(c.path);
        EXPECT_EQ(key, nullptr) << w32::ToUtf8(c.path);
    }
    EXPECT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"SOFTWARE", 0, KEY_READ, nullptr), ERROR_INVALID_PARAMETER);
    // A trailing backslash is harmless.
    EXPECT_NE(Open(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Microsoft\\", KEY_READ), nullptr);
}

TEST_F(RegKeys, CloseRefusesUnknownAndClosedHandles) {
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"SOFTWARE", 0, KEY_READ, &key), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(key), ERROR_INVALID_HANDLE);
    DWORD count = 0;
    EXPECT_EQ(RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &count, nullptr, nullptr, nullptr, nullptr, nullptr,
                               nullptr, nullptr),
              ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegCloseKey(nullptr), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegCloseKey(HKEY_LOCAL_MACHINE), ERROR_SUCCESS);  // predefined keys never close
    EXPECT_EQ(RegFlushKey(HKEY_LOCAL_MACHINE), ERROR_SUCCESS);
}

TEST_F(RegKeys, NamesIgnoreCaseAndKeepTheirFirstSpelling) {
    HKEY key = Create(HKEY_LOCAL_MACHINE, u"SOFTWARE\\KorVan");
    SetString(key, u"PortName", u"LPT1:");

    DWORD disposition = 0;
    HKEY other = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, u"software\\KORVAN", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &other,
                              &disposition),
              ERROR_SUCCESS);
    Track(other);
    EXPECT_EQ(disposition, DWORD(REG_OPENED_EXISTING_KEY));
    SetString(other, u"PORTNAME", u"USB001");

    HKEY software = Open(HKEY_LOCAL_MACHINE, u"Software", KEY_READ);
    Strings names = SubkeyNames(software);
    EXPECT_NE(std::find(names.begin(), names.end(), u"KorVan"), names.end());
    EXPECT_EQ(std::find(names.begin(), names.end(), u"KORVAN"), names.end());
    EXPECT_EQ(ValueNames(key), Strings{u"PortName"});
    EXPECT_EQ(QueryString(key, u"portname"), u"USB001");
}

TEST_F(RegKeys, EnumerationIsOrderedWithoutRegardToCase) {
    HKEY key = Create(HKEY_CURRENT_USER, u"Software\\Korvan\\Order");
    // Upper-cased names compared unit by unit: "_" (0x5F) sorts after the letters.
    for (const char16_t* name : {u"beta", u"_under", u"Alpha", u"gamma", u"ALPHA2", u"Zeta"}) {
        Make(key, name);
        SetDword(key, name, 1);
    }
    const Strings expected = {u"Alpha", u"ALPHA2", u"beta", u"gamma", u"Zeta", u"_under"};
    EXPECT_EQ(SubkeyNames(key), expected);
    EXPECT_EQ(ValueNames(key), expected);

    WCHAR name[16];
    DWORD length = 16;
    EXPECT_EQ(RegEnumKeyExW(key, 6, name, &length, nullptr, nullptr, nullptr, nullptr), ERROR_NO_MORE_ITEMS);
    EXPECT_EQ(RegEnumValueW(key, 6, name, &length, nullptr, nullptr, nullptr, nullptr), ERROR_NO_MORE_ITEMS);
    EXPECT_EQ(RegEnumKeyW(key, 1, name, 16), ERROR_SUCCESS);
    EXPECT_EQ(std::u16string(name), u"ALPHA2");
    EXPECT_EQ(RegEnumKeyW(key, 6, name, 16), ERROR_NO_MORE_ITEMS);

    // A name buffer without room for the terminator.
    length = 6;  // "ALPHA2" needs 7
    std::fill(std::begin(name), std::end(name), u'#');
    EXPECT_EQ(RegEnumKeyExW(key, 1, name, &length, nullptr, nullptr, nullptr, nullptr), ERROR_MORE_DATA);
    EXPECT_EQ(name[0], u'#');
    length = 7;
    FILETIME written{};
    EXPECT_EQ(RegEnumKeyExW(key, 1, name, &length, nullptr, nullptr, nullptr, &written), ERROR_SUCCESS);
    EXPECT_EQ(length, 6u);
    EXPECT_EQ(std::u16string(name), u"ALPHA2");
    EXPECT_NE(written.dwHighDateTime, 0u);
}

TEST_F(RegKeys, ManySubkeysEnumerateInOrder) {
    // Volatile, so that the hive file is not rewritten for each of them.
    HKEY key = Create(HKEY_CURRENT_USER, u"Software\\Many", KEY_ALL_ACCESS, REG_OPTION_VOLATILE);
    Strings expected;
    for (int i = 2999; i >= 0; --i) {
        char text[16];
        std::snprintf(text, sizeof(text), "Key%04d", i);
        std::u16string name = w32::FromUtf8(text);
        expected.push_back(name);
        Make(key, name, KEY_ALL_ACCESS, REG_OPTION_VOLATILE);
    }
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(SubkeyNames(key), expected);
    // Deleting from the front while enumerating from index 0 empties the key.
    WCHAR name[32];
    DWORD deleted = 0;
    for (;;) {
        DWORD length = 32;
        if (RegEnumKeyExW(key, 0, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        ASSERT_EQ(RegDeleteKeyW(key, name), ERROR_SUCCESS);
        ++deleted;
    }
    EXPECT_EQ(deleted, 3000u);
}

TEST_F(RegKeys, QueryInfoCountsAndLongestNames) {
    HKEY key = nullptr;
    WCHAR className[] = u"TamClass";
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, u"Software\\Info", 0, className, 0, KEY_ALL_ACCESS, nullptr, &key,
                              nullptr),
              ERROR_SUCCESS);
    Track(key);
    Make(key, u"a");
    Make(key, u"Longest Name");
    HKEY withClass = nullptr;
    WCHAR longClass[] = u"ClassOfSubkey";
    ASSERT_EQ(RegCreateKeyExW(key, u"b", 0, longClass, 0, KEY_READ, nullptr, &withClass, nullptr), ERROR_SUCCESS);
    RegCloseKey(withClass);
    SetDword(key, u"x", 7);
    BYTE blob[37] = {};
    Set(key, u"LongerValueName", REG_BINARY, blob, sizeof(blob));

    DWORD subkeys = 99, maxSubkey = 99, maxClass = 99, values = 99, maxValueName = 99, maxValue = 99, security = 99;
    FILETIME written{};
    WCHAR classBuffer[4];
    DWORD classLength = 4;
    EXPECT_EQ(RegQueryInfoKeyW(key, classBuffer, &classLength, nullptr, &subkeys, &maxSubkey, &maxClass, &values,
                               &maxValueName, &maxValue, &security, &written),
              ERROR_MORE_DATA);
    EXPECT_EQ(classLength, 8u);  // "TamClass", without its terminator
    WCHAR bigClass[16];
    classLength = 16;
    ASSERT_EQ(RegQueryInfoKeyW(key, bigClass, &classLength, nullptr, &subkeys, &maxSubkey, &maxClass, &values,
                               &maxValueName, &maxValue, &security, &written),
              ERROR_SUCCESS);
    EXPECT_EQ(std::u16string(bigClass), u"TamClass");
    EXPECT_EQ(classLength, 8u);
    EXPECT_EQ(subkeys, 3u);
    EXPECT_EQ(maxSubkey, 12u);  // "Longest Name"
    EXPECT_EQ(maxClass, 13u);   // "ClassOfSubkey"
    EXPECT_EQ(values, 2u);
    EXPECT_EQ(maxValueName, 15u);  // "LongerValueName"
    EXPECT_EQ(maxValue, 37u);
    EXPECT_EQ(security, 0u);
    EXPECT_NE(written.dwHighDateTime, 0u);
    // The class of an enumerated subkey.
    WCHAR name[8], enumClass[32];
    DWORD nameLength = 8, enumClassLength = 32;
    ASSERT_EQ(RegEnumKeyExW(key, 1, name, &nameLength, nullptr, enumClass, &enumClassLength, nullptr), ERROR_SUCCESS);
    EXPECT_EQ(std::u16string(name), u"b");
    EXPECT_EQ(std::u16string(enumClass), u"ClassOfSubkey");
    EXPECT_EQ(enumClassLength, 13u);
}

TEST_F(RegKeys, DeleteKeyRefusesSubkeysAndDeleteTreeRemovesThem) {
    HKEY key = Create(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Korvan\\Drivers\\Tamsheet\\Files");
    SetString(key, u"Main", u"Tamrend.dll");
    EXPECT_EQ(RegDeleteKeyW(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Korvan\\Drivers"), ERROR_ACCESS_DENIED);
    EXPECT_NE(Open(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Korvan\\Drivers\\Tamsheet\\Files"), nullptr);
    EXPECT_EQ(RegDeleteKeyW(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Korvan\\NoSuchKey"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegDeleteKeyW(HKEY_LOCAL_MACHINE, nullptr), ERROR_INVALID_PARAMETER);
    // A leaf goes; values do not stop it.
    EXPECT_EQ(RegDeleteKeyExW(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Korvan\\Drivers\\Tamsheet\\Files", 0, 0), ERROR_SUCCESS);
    EXPECT_EQ(Open(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Korvan\\Drivers\\Tamsheet\\Files"), nullptr);

    // A tree below a subkey, and the contents of a key.
    HKEY drivers = Create(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Korvan\\Drivers");
    Make(drivers, u"One\\Two\\Three");
    SetString(drivers, u"Version", u"3");
    EXPECT_EQ(RegDeleteTreeW(drivers, u"One"), ERROR_SUCCESS);
    EXPECT_EQ(SubkeyNames(drivers), (Strings{u"Tamsheet"}));
    EXPECT_EQ(RegDeleteTreeW(drivers, u"One"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegDeleteTreeW(drivers, nullptr), ERROR_SUCCESS);
    EXPECT_EQ(SubkeyNames(drivers), Strings{});
    EXPECT_EQ(ValueNames(drivers), Strings{});
    EXPECT_EQ(QueryString(drivers, u"Version"), u"");  // the key itself stays
    SetString(drivers, u"Version", u"4");
    EXPECT_EQ(QueryString(drivers, u"Version"), u"4");

    // Whole hives cannot go.
    EXPECT_EQ(RegDeleteTreeW(HKEY_LOCAL_MACHINE, nullptr), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegDeleteTreeW(HKEY_USERS, u".DEFAULT"), ERROR_ACCESS_DENIED);
    EXPECT_NE(Open(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion", KEY_READ), nullptr);
}

TEST_F(RegKeys, HandleToADeletedKeyReportsKeyDeleted) {
    HKEY key = Create(HKEY_CURRENT_USER, u"Software\\Doomed");
    HKEY child = Create(key, u"Child");
    SetString(key, u"Name", u"x");
    ASSERT_EQ(RegDeleteTreeW(HKEY_CURRENT_USER, u"Software\\Doomed"), ERROR_SUCCESS);

    for (HKEY stale : {key, child}) {
        DWORD size = 0, count = 0;
        WCHAR name[8];
        DWORD length = 8;
        HKEY sub = nullptr;
        EXPECT_EQ(RegQueryValueExW(stale, u"Name", nullptr, nullptr, nullptr, &size), ERROR_KEY_DELETED);
        EXPECT_EQ(RegSetValueExW(stale, u"Name", 0, REG_SZ, reinterpret_cast<const BYTE*>(u"y"), 4), ERROR_KEY_DELETED);
        EXPECT_EQ(RegEnumKeyExW(stale, 0, name, &length, nullptr, nullptr, nullptr, nullptr), ERROR_KEY_DELETED);
        EXPECT_EQ(RegQueryInfoKeyW(stale, nullptr, nullptr, nullptr, &count, nullptr, nullptr, nullptr, nullptr,
                                   nullptr, nullptr, nullptr),
                  ERROR_KEY_DELETED);
        EXPECT_EQ(RegCreateKeyExW(stale, u"New", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &sub, nullptr),
                  ERROR_KEY_DELETED);
        EXPECT_EQ(sub, nullptr);
    }
    // A new key of the same name is another key: the old handle stays stale.
    HKEY fresh = Create(HKEY_CURRENT_USER, u"Software\\Doomed");
    SetString(fresh, u"Name", u"new");
    DWORD size = 0;
    EXPECT_EQ(RegQueryValueExW(key, u"Name", nullptr, nullptr, nullptr, &size), ERROR_KEY_DELETED);
    EXPECT_EQ(QueryString(fresh, u"Name"), u"new");
}

TEST_F(RegKeys, HandlesOfAClosedMachineAreRefused) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, u"Software\\Korvan", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                              nullptr),
              ERROR_SUCCESS);
    Reopen();
    DWORD size = 0;
    EXPECT_EQ(RegQueryValueExW(key, u"x", nullptr, nullptr, nullptr, &size), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
}

TEST_F(RegKeys, ReadOnlyAndWriteOnlyHandlesAreHeldToTheirRights) {
    Make(HKEY_CURRENT_USER, u"Software\\Korvan");
    HKEY reader = Open(HKEY_CURRENT_USER, u"Software\\Korvan", KEY_READ);
    ASSERT_NE(reader, nullptr);
    EXPECT_EQ(RegSetValueExW(reader, u"x", 0, REG_SZ, reinterpret_cast<const BYTE*>(u"y"), 4), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegDeleteValueW(reader, u"x"), ERROR_ACCESS_DENIED);
    HKEY sub = nullptr;
    EXPECT_EQ(RegCreateKeyExW(reader, u"Sub", 0, nullptr, 0, KEY_READ, nullptr, &sub, nullptr), ERROR_ACCESS_DENIED);
    EXPECT_EQ(sub, nullptr);
    EXPECT_EQ(Open(HKEY_CURRENT_USER, u"Software\\Korvan\\Sub"), nullptr);  // nothing was made
    EXPECT_EQ(RegDeleteTreeW(reader, nullptr), ERROR_ACCESS_DENIED);

    HKEY writer = Open(HKEY_CURRENT_USER, u"Software\\Korvan", KEY_WRITE);
    ASSERT_NE(writer, nullptr);
    SetString(writer, u"x", u"y");
    DWORD size = 0;
    WCHAR name[8];
    DWORD length = 8;
    EXPECT_EQ(RegQueryValueExW(writer, u"x", nullptr, nullptr, nullptr, &size), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegEnumValueW(writer, 0, name, &length, nullptr, nullptr, nullptr, nullptr), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegEnumKeyExW(writer, 0, name, &length, nullptr, nullptr, nullptr, nullptr), ERROR_ACCESS_DENIED);
    EXPECT_EQ(QueryString(reader, u"x"), u"y");
    // A subkey can be made through the write handle, and generic rights map to key rights.
    Make(writer, u"Sub");
    HKEY generic = Open(HKEY_CURRENT_USER, u"Software\\Korvan", GENERIC_READ);
    ASSERT_NE(generic, nullptr);
    EXPECT_EQ(SubkeyNames(generic), Strings{u"Sub"});
    EXPECT_EQ(RegSetValueExW(generic, u"x", 0, REG_SZ, reinterpret_cast<const BYTE*>(u"z"), 4), ERROR_ACCESS_DENIED);
}

TEST_F(RegKeys, ConcurrentWritersKeepEveryValue) {
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([t] {
            std::u16string path = u"Software\\Threads\\T" + w32::FromUtf8(std::to_string(t));
            HKEY key = nullptr;
            ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                                      nullptr),
                      ERROR_SUCCESS);
            for (DWORD i = 0; i < 40; ++i) {
                std::u16string name = u"V" + w32::FromUtf8(std::to_string(i));
                ASSERT_EQ(RegSetValueExW(key, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&i), 4),
                          ERROR_SUCCESS);
                DWORD count = 0;
                ASSERT_EQ(RegQueryInfoKeyW(HKEY_CURRENT_USER, nullptr, nullptr, nullptr, &count, nullptr, nullptr,
                                           nullptr, nullptr, nullptr, nullptr, nullptr),
                          ERROR_SUCCESS);
            }
            RegCloseKey(key);
        });
    }
    for (auto& thread : threads) thread.join();
    Reopen();
    for (int t = 0; t < 4; ++t) {
        HKEY key = Open(HKEY_CURRENT_USER, u"Software\\Threads\\T" + w32::FromUtf8(std::to_string(t)), KEY_READ);
        ASSERT_NE(key, nullptr);
        EXPECT_EQ(ValueNames(key).size(), 40u);
    }
}

TEST_F(RegKeys, AnsiFormsConvertNames) {
    HKEY key = nullptr;
    DWORD disposition = 0;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Ansi", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                              &disposition),
              ERROR_SUCCESS);
    Track(key);
    EXPECT_EQ(disposition, DWORD(REG_CREATED_NEW_KEY));
    const char text[] = "Caf\xE9";  // code page 1252
    ASSERT_EQ(RegSetValueExA(key, "Name", 0, REG_SZ, reinterpret_cast<const BYTE*>(text), sizeof(text)),
              ERROR_SUCCESS);
    DWORD type = 0;
    std::vector<BYTE> data = Query(key, u"Name", &type);
    EXPECT_EQ(type, DWORD(REG_SZ));
    EXPECT_EQ(data, tam::test::Bytes(u"Caf\u00E9", 10));
    HKEY opened = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "software\\ansi", 0, KEY_READ, &opened), ERROR_SUCCESS);
    Track(opened);
    EXPECT_EQ(RegDeleteValueA(key, "Name"), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Ansi"), ERROR_SUCCESS);
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Ansi", 0, KEY_READ, &opened), ERROR_FILE_NOT_FOUND);
}

}  // namespace
