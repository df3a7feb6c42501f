#include "registry_fixture.h"
#include "win32/kernel32/expand_cases.h"

using tam::test::Bytes;
using tam::test::RegistryTest;

namespace {

struct TypeCase {
    const char* label;
    DWORD type;
    std::vector<BYTE> data;
};

void PrintTo(const TypeCase& c, std::ostream* os) { *os << c.label; }

std::vector<TypeCase> TypeCases() {
    const DWORD dword = 0x12345678;
    const ULONGLONG qword = 0x1122334455667788ull;
    const BYTE binary[] = {0, 1, 2, 0xFF, 0x80};
    return {
        {"sz", REG_SZ, Bytes(u"enus", 10)},
        {"expand_sz", REG_EXPAND_SZ, Bytes(u"%SystemRoot%\\inf", 34)},
        {"multi_sz", REG_MULTI_SZ, Bytes(u"LPT1:\0USB001\0", 28)},
        {"dword", REG_DWORD, Bytes(&dword, 4)},
        {"binary", REG_BINARY, Bytes(binary, sizeof(binary))},
        {"qword", REG_QWORD, Bytes(&qword, 8)},
        {"none_empty", REG_NONE, {}},
        {"none_with_data", REG_NONE, Bytes(binary, 3)},
        {"unknown_type", 0x1234, Bytes(binary, 2)},
    };
}

class RegValueTypes : public RegistryTest, public testing::WithParamInterface<TypeCase> {};

TEST_P(RegValueTypes, StoredAsGivenAndReadWithTheSizeProtocol) {
    const TypeCase& c = GetParam();
    HKEY key = Create(HKEY_CURRENT_USER, u"Software\\Korvan\\Types");
    ASSERT_EQ(RegSetValueExW(key, u"Value", 0, c.type, c.data.empty() ? nullptr : c.data.data(), DWORD(c.data.size())),
              ERROR_SUCCESS);
    const DWORD size = DWORD(c.data.size());

    // No buffer: the size only.
    DWORD type = 0xdead, needed = 0xdead;
    EXPECT_EQ(RegQueryValueExW(key, u"Value", nullptr, &type, nullptr, &needed), ERROR_SUCCESS);
    EXPECT_EQ(type, c.type);
    EXPECT_EQ(needed, size);

    // An exact buffer: the bytes.
    std::vector<BYTE> buffer(size + 4, 0xAB);
    DWORD length = size;
    type = 0xdead;
    EXPECT_EQ(RegQueryValueExW(key, u"Value", nullptr, &type, buffer.data(), &length), ERROR_SUCCESS);
    EXPECT_EQ(length, size);
    EXPECT_EQ(type, c.type);
    EXPECT_EQ(std::vector<BYTE>(buffer.begin(), buffer.begin() + size), c.data);
    EXPECT_EQ(buffer[size], 0xAB);  // nothing written past the data

    // One byte short: ERROR_MORE_DATA, the size needed, and the type.
    if (size > 0) {
        std::vector<BYTE> small(size, 0xCD);
        length = size - 1;
        type = 0xdead;
        EXPECT_EQ(RegQueryValueExW(key, u"Value", nullptr, &type, small.data(), &length), ERROR_MORE_DATA);
        EXPECT_EQ(length, size);
        EXPECT_EQ(type, c.type);
    }

    // The enumeration reports the same.
    WCHAR name[16];
    DWORD nameLength = 16;
    type = 0xdead;
    needed = 0;
    EXPECT_EQ(RegEnumValueW(key, 0, name, &nameLength, nullptr, &type, nullptr, &needed), ERROR_SUCCESS);
    EXPECT_EQ(std::u16string(name), u"Value");
    EXPECT_EQ(nameLength, 5u);
    EXPECT_EQ(type, c.type);
    EXPECT_EQ(needed, size);
}

INSTANTIATE_TEST_SUITE_P(All, RegValueTypes, testing::ValuesIn(TypeCases()),
                         [](const testing::TestParamInfo<TypeCase>& info) { return info.param.label; });

class RegValues : public RegistryTest {};

TEST_F(RegValues, QueryProtocolErrors) {
    HKEY key = Create(HKEY_CURRENT_USER, u"Software\\Korvan");
    SetString(key, u"Suffix", u"enus");
    BYTE small[2];
    DWORD size = sizeof(small), type = 0;
    EXPECT_EQ(RegQueryValueExW(key, u"Suffix", nullptr, &type, small, &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, 10u);  // "enus" and its terminator, in bytes
    EXPECT_EQ(type, DWORD(REG_SZ));

    type = 0xdead;
    size = 0;
    EXPECT_EQ(RegQueryValueExW(key, u"Missing", nullptr, &type, nullptr, &size), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(type, 0xdeadu);
    DWORD reserved = 0;
    EXPECT_EQ(RegQueryValueExW(key, u"Suffix", &reserved, nullptr, nullptr, &size), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegQueryValueExW(key, u"Suffix", nullptr, nullptr, small, nullptr), ERROR_INVALID_PARAMETER);
    // Data but no pointer to it.
    EXPECT_EQ(RegSetValueExW(key, u"Bad", 0, REG_BINARY, nullptr, 4), ERROR_NOACCESS);
    EXPECT_EQ(RegDeleteValueW(key, u"Missing"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegDeleteValueW(key, u"SUFFIX"), ERROR_SUCCESS);
    EXPECT_EQ(RegQueryValueExW(key, u"Suffix", nullptr, nullptr, nullptr, &size), ERROR_FILE_NOT_FOUND);
}

TEST_F(RegValues, StringWithoutTerminatorIsReturnedAsStored) {
    HKEY key = Create(HKEY_CURRENT_USER, u"Software\\Korvan");
    Set(key, u"Raw", REG_SZ, u"abc", 6);
    EXPECT_EQ(Query(key, u"Raw"), Bytes(u"abc", 6));

    // RegGetValueW adds the terminator, and counts it.
    DWORD type = 0, size = 0;
    EXPECT_EQ(RegGetValueW(key, nullptr, u"Raw", RRF_RT_REG_SZ, &type, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, 8u);
    WCHAR text[4] = {u'#', u'#', u'#', u'#'};
    size = 6;
    EXPECT_EQ(RegGetValueW(key, nullptr, u"Raw", RRF_RT_REG_SZ, &type, text, &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, 8u);
    size = 8;
    EXPECT_EQ(RegGetValueW(key, nullptr, u"Raw", RRF_RT_REG_SZ, &type, text, &size), ERROR_SUCCESS);
    EXPECT_EQ(std::u16string(text), u"abc");
    EXPECT_EQ(type, DWORD(REG_SZ));

    // A list gets its final empty string.
    Set(key, u"List", REG_MULTI_SZ, u"a\0b", 6);
    WCHAR list[8];
    size = sizeof(list);
    EXPECT_EQ(RegGetValueW(key, nullptr, u"List", RRF_RT_REG_MULTI_SZ, &type, list, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, 10u);
    EXPECT_EQ(std::u16string(list, 5), std::u16string(u"a\0b\0\0", 5));
}

TEST_F(RegValues, DefaultValueHasAnEmptyName) {
    HKEY key = Create(HKEY_CURRENT_USER, u"Software\\Classes\\.tam");
    Set(key, u"", REG_SZ, u"Tam.Document", 26);
    EXPECT_EQ(Query(key, u""), Bytes(u"Tam.Document", 26));
    DWORD size = 0;
    EXPECT_EQ(RegQueryValueExW(key, nullptr, nullptr, nullptr, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, 26u);

    // The string forms of the default value, on a subkey they make.
    EXPECT_EQ(RegSetValueW(key, u"ShellNew", REG_SZ, u"NullFile", 0), ERROR_SUCCESS);
    WCHAR text[16];
    LONG length = sizeof(text);
    EXPECT_EQ(RegQueryValueW(key, u"ShellNew", text, &length), ERROR_SUCCESS);
    EXPECT_EQ(length, 18);
    EXPECT_EQ(std::u16string(text), u"NullFile");
    length = 4;
    EXPECT_EQ(RegQueryValueW(key, u"ShellNew", text, &length), ERROR_MORE_DATA);
    EXPECT_EQ(length, 18);
    // A key whose default value was never set reads as the empty string.
    Make(key, u"Empty");
    length = sizeof(text);
    EXPECT_EQ(RegQueryValueW(key, u"Empty", text, &length), ERROR_SUCCESS);
    EXPECT_EQ(length, 2);
    EXPECT_EQ(text[0], 0);
    EXPECT_EQ(RegQueryValueW(key, u"Missing", text, &length), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegSetValueW(key, u"ShellNew", REG_DWORD, u"x", 0), ERROR_INVALID_PARAMETER);
}

TEST_F(RegValues, EnumValueNameAndDataProtocols) {
    HKEY key = Create(HKEY_CURRENT_USER, u"Software\\Korvan");
    SetString(key, u"PortName", u"USB001");
    WCHAR name[16];
    std::fill(std::begin(name), std::end(name), u'#');
    DWORD nameLength = 8;  // "PortName" needs 9 with its terminator
    DWORD type = 0, size = 0;
    EXPECT_EQ(RegEnumValueW(key, 0, name, &nameLength, nullptr, &type, nullptr, &size), ERROR_MORE_DATA);
    EXPECT_EQ(name[0], u'#');

    // The name fits, the data does not: the name, the type and the size needed.
    BYTE data[4];
    nameLength = 16;
    size = sizeof(data);
    EXPECT_EQ(RegEnumValueW(key, 0, name, &nameLength, nullptr, &type, data, &size), ERROR_MORE_DATA);
    EXPECT_EQ(std::u16string(name), u"PortName");
    EXPECT_EQ(nameLength, 8u);
    EXPECT_EQ(type, DWORD(REG_SZ));
    EXPECT_EQ(size, 14u);

    BYTE big[32];
    nameLength = 16;
    size = sizeof(big);
    EXPECT_EQ(RegEnumValueW(key, 0, name, &nameLength, nullptr, &type, big, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, 14u);
    EXPECT_EQ(Bytes(big, size), Bytes(u"USB001", 14));
    EXPECT_EQ(RegEnumValueW(key, 0, name, &nameLength, nullptr, &type, big, nullptr), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegEnumValueW(key, 0, nullptr, &nameLength, nullptr, nullptr, nullptr, nullptr), ERROR_INVALID_PARAMETER);
}

TEST_F(RegValues, GetValueFiltersTypes) {
    HKEY key = Create(HKEY_CURRENT_USER, u"Software\\Korvan\\Get");
    SetString(key, u"Text", u"x");
    SetDword(key, u"Number", 5);
    ULONGLONG big = 9;
    Set(key, u"Big", REG_QWORD, &big, 8);
    BYTE four[4] = {1, 0, 0, 0}, three[3] = {1, 2, 3};
    Set(key, u"Four", REG_BINARY, four, 4);
    Set(key, u"Three", REG_BINARY, three, 3);
    Set(key, u"Short", REG_DWORD, three, 3);
    struct Case {
        const char16_t* value;
        DWORD flags;
        LONG status;
    };
    const Case cases[] = {
        {u"Text", RRF_RT_REG_SZ, ERROR_SUCCESS},
        {u"Text", RRF_RT_ANY, ERROR_SUCCESS},
        {u"Text", RRF_RT_REG_DWORD, ERROR_UNSUPPORTED_TYPE},
        {u"Number", RRF_RT_DWORD, ERROR_SUCCESS},
        {u"Number", RRF_RT_REG_QWORD, ERROR_UNSUPPORTED_TYPE},
        {u"Big", RRF_RT_QWORD, ERROR_SUCCESS},
        {u"Four", RRF_RT_DWORD, ERROR_SUCCESS},
        {u"Three", RRF_RT_DWORD, ERROR_DATATYPE_MISMATCH},
        {u"Three", RRF_RT_REG_BINARY, ERROR_SUCCESS},
        {u"Short", RRF_RT_REG_DWORD, ERROR_DATATYPE_MISMATCH},
        {u"Missing", RRF_RT_ANY, ERROR_FILE_NOT_FOUND},
        {u"Text", 0, ERROR_INVALID_PARAMETER},
        {u"Text", RRF_RT_REG_EXPAND_SZ, ERROR_INVALID_PARAMETER},  // needs RRF_NOEXPAND
    };
    for (const auto& c : cases) {
        BYTE buffer[16];
        DWORD size = sizeof(buffer);
        EXPECT_EQ(RegGetValueW(key, nullptr, c.value, c.flags, nullptr, buffer, &size), c.status)
            << w32::ToUtf8(c.value) << " flags " << c.flags;
    }
    // Through a subkey, with the buffer zeroed on failure when asked.
    DWORD number = 0, size = sizeof(number), type = 0;
    EXPECT_EQ(RegGetValueW(HKEY_CURRENT_USER, u"Software\\Korvan\\Get", u"Number", RRF_RT_REG_DWORD, &type, &number,
                           &size),
              ERROR_SUCCESS);
    EXPECT_EQ(number, 5u);
    EXPECT_EQ(type, DWORD(REG_DWORD));
    BYTE buffer[4] = {9, 9, 9, 9};
    size = 2;
    EXPECT_EQ(RegGetValueW(key, nullptr, u"Text", RRF_RT_REG_SZ | RRF_ZEROONFAILURE, nullptr, buffer, &size),
              ERROR_MORE_DATA);
    EXPECT_EQ(size, 4u);
    EXPECT_EQ(buffer[0], 0);
    EXPECT_EQ(buffer[1], 0);
    EXPECT_EQ(buffer[2], 9);  // only the buffer's given size
    EXPECT_EQ(RegGetValueW(key, u"NoSuchKey", u"Text", RRF_RT_ANY, nullptr, nullptr, &size), ERROR_FILE_NOT_FOUND);
}

TEST_F(RegValues, GetValueExpandsUnlessAskedNotTo) {
    HKEY key = Create(HKEY_CURRENT_USER, u"Software\\Korvan");
    SetString(key, u"Path", u"%USERPROFILE%\\Tam;%NO_SUCH_VARIABLE%", REG_EXPAND_SZ);
    WCHAR text[80];
    DWORD size = sizeof(text), type = 0;
    ASSERT_EQ(RegGetValueW(key, nullptr, u"Path", RRF_RT_REG_SZ, &type, text, &size), ERROR_SUCCESS);
    const std::u16string expanded = u"C:\\Users\\User\\Tam;%NO_SUCH_VARIABLE%";
    EXPECT_EQ(std::u16string(text), expanded);
    EXPECT_EQ(type, DWORD(REG_SZ));
    EXPECT_EQ(size, (expanded.size() + 1) * 2);

    size = sizeof(text);
    ASSERT_EQ(RegGetValueW(key, nullptr, u"Path", RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, &type, text, &size),
              ERROR_SUCCESS);
    EXPECT_EQ(std::u16string(text), u"%USERPROFILE%\\Tam;%NO_SUCH_VARIABLE%");
    EXPECT_EQ(type, DWORD(REG_EXPAND_SZ));
    // RegQueryValueExW never expands.
    DWORD queried = 0;
    Query(key, u"Path", &queried);
    EXPECT_EQ(queried, DWORD(REG_EXPAND_SZ));
}

// RegGetValueW reads REG_EXPAND_SZ data as ExpandEnvironmentStrings expands
// it, as REG_SZ, with the registry's size protocol in bytes.
class RegExpandTable : public RegistryTest, public testing::WithParamInterface<tam::test::ExpandCase> {};

TEST_P(RegExpandTable, GetValueExpandsAsTheEnvironmentFunctionDoes) {
    ASSERT_TRUE(tam::test::SetExpansionVariables());
    HKEY key = Create(HKEY_CURRENT_USER, u"Software\\Korvan\\Expand");
    SetString(key, u"Text", GetParam().text, REG_EXPAND_SZ);
    const std::u16string expected = GetParam().expanded;
    const DWORD needed = DWORD((expected.size() + 1) * sizeof(WCHAR));

    DWORD type = 0, size = 0;
    EXPECT_EQ(RegGetValueW(key, nullptr, u"Text", RRF_RT_REG_SZ, &type, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, needed);
    EXPECT_EQ(type, DWORD(REG_SZ));

    WCHAR text[64];
    std::fill(std::begin(text), std::end(text), u'#');
    type = 0;
    size = needed - sizeof(WCHAR);
    EXPECT_EQ(RegGetValueW(key, nullptr, u"Text", RRF_RT_REG_SZ, &type, text, &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, needed);
    EXPECT_EQ(type, DWORD(REG_SZ));

    type = 0;
    size = sizeof(text);
    EXPECT_EQ(RegGetValueW(key, nullptr, u"Text", RRF_RT_REG_SZ, &type, text, &size), ERROR_SUCCESS);
    EXPECT_EQ(std::u16string(text), expected);
    EXPECT_EQ(size, needed);
    EXPECT_EQ(type, DWORD(REG_SZ));

    // The same text read through the environment function.
    WCHAR direct[64];
    EXPECT_EQ(ExpandEnvironmentStringsW(GetParam().text, direct, 64), DWORD(expected.size() + 1));
    EXPECT_EQ(std::u16string(direct), std::u16string(text));
}

INSTANTIATE_TEST_SUITE_P(All, RegExpandTable, testing::ValuesIn(tam::test::kExpandCases));

}  // namespace
