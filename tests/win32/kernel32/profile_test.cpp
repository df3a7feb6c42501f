#include <windows.h>

#include <string>
#include <vector>

#include "file_helpers.h"

namespace {

using tam::test::FileTest;
using Profile = FileTest;

const WCHAR kIni[] = u"C:\\Korvan\\TamsheetConfig.ini";

std::u16string Get(LPCWSTR section, LPCWSTR key, LPCWSTR fallback = u"-", LPCWSTR file = kIni) {
    WCHAR buffer[256];
    DWORD length = GetPrivateProfileStringW(section, key, fallback, buffer, 256, file);
    return std::u16string(buffer, length);
}

// A double-NUL list split into its strings.
std::vector<std::u16string> Split(const WCHAR* list, DWORD length) {
    std::vector<std::u16string> items;
    for (DWORD i = 0; i < length;) {
        std::u16string item(list + i);
        items.push_back(item);
        i += DWORD(item.size()) + 1;
    }
    return items;
}

TEST_F(Profile, WriteThenReadIgnoringCaseOfNames) {
    std::filesystem::create_directories(HostPath(u"C:\\Korvan"));
    EXPECT_TRUE(WritePrivateProfileStringW(u"Paper", u"Size", u"A4", kIni));
    EXPECT_TRUE(WritePrivateProfileStringW(u"Paper", u"Source", u"Tray 2", kIni));
    EXPECT_TRUE(WritePrivateProfileStringW(u"Finishing", u"Staple", u"Yes", kIni));
    EXPECT_TRUE(WritePrivateProfileStringW(u"PAPER", u"SIZE", u"Letter", kIni));  // replaces, keeps the key's spelling
    EXPECT_EQ(HostContents(kIni), "[Paper]\r\nSize=Letter\r\nSource=Tray 2\r\n[Finishing]\r\nStaple=Yes\r\n");

    SetLastError(0xdeadbeef);
    EXPECT_EQ(Get(u"paper", u"size"), u"Letter");
    EXPECT_EQ(GetLastError(), DWORD(ERROR_SUCCESS));
    EXPECT_EQ(Get(u"Paper", u"Missing", u"dflt  "), u"dflt");  // the default loses trailing blanks
    EXPECT_EQ(GetLastError(), DWORD(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(Get(u"Nothing", u"Size", nullptr), u"");

    WCHAR list[256];
    DWORD length = GetPrivateProfileSectionNamesW(list, 256, kIni);
    EXPECT_EQ(Split(list, length), (std::vector<std::u16string>{u"Paper", u"Finishing"}));
    EXPECT_EQ(list[length], u'\0');
    length = GetPrivateProfileStringW(u"paper", nullptr, u"", list, 256, kIni);
    EXPECT_EQ(Split(list, length), (std::vector<std::u16string>{u"Size", u"Source"}));
    length = GetPrivateProfileSectionW(u"Paper", list, 256, kIni);
    EXPECT_EQ(Split(list, length), (std::vector<std::u16string>{u"Size=Letter", u"Source=Tray 2"}));

    // A null value removes the key, a null key the whole section.
    EXPECT_TRUE(WritePrivateProfileStringW(u"Paper", u"Source", nullptr, kIni));
    EXPECT_TRUE(WritePrivateProfileStringW(u"finishing", nullptr, nullptr, kIni));
    EXPECT_EQ(HostContents(kIni), "[Paper]\r\nSize=Letter\r\n");
    EXPECT_TRUE(WritePrivateProfileStringW(u"Gone", u"Key", nullptr, kIni));  // nothing to remove
    EXPECT_EQ(HostContents(kIni), "[Paper]\r\nSize=Letter\r\n");
}

TEST_F(Profile, OtherLinesStayAsTheyWere) {
    PutHostFile(kIni,
                "; settings of the driver\r\n[Paper]\r\n  Size = A4  \r\n; keep me\r\nDuplex=\"long edge\"\r\n"
                "\r\n[Watermark]\r\nText='Draft'\r\n");
    EXPECT_EQ(Get(u"Paper", u"Size"), u"A4");
    EXPECT_EQ(Get(u"Paper", u"Duplex"), u"long edge");  // quotes are dropped
    EXPECT_EQ(Get(u"Watermark", u"Text"), u"Draft");
    EXPECT_EQ(Get(u"Paper", u"; keep me"), u"-");  // a comment is no key
    EXPECT_TRUE(WritePrivateProfileStringW(u"Paper", u"Copies", u"2", kIni));
    EXPECT_TRUE(WritePrivateProfileStringW(u"Paper", u"size", u"A3", kIni));
    EXPECT_EQ(HostContents(kIni),
              "; settings of the driver\r\n[Paper]\r\nSize=A3\r\n; keep me\r\nDuplex=\"long edge\"\r\n"
              "Copies=2\r\n\r\n[Watermark]\r\nText='Draft'\r\n");
}

TEST_F(Profile, IntegersAndBufferLimits) {
    PutHostFile(kIni, "[N]\r\nA=42\r\nB=-3\r\nC=0x1F\r\nD=abc\r\nE=\r\nF=  7 pages\r\n");
    struct Case {
        const char16_t* key;
        UINT value;
    };
    const Case cases[] = {{u"A", 42}, {u"B", UINT(-3)}, {u"C", 31}, {u"D", 0}, {u"E", 99}, {u"F", 7}, {u"Z", 99}};
    for (const auto& c : cases) {
        EXPECT_EQ(GetPrivateProfileIntW(u"N", c.key, 99, kIni), c.value)
            << testing::PrintToString(std::u16string(c.key));
    }

    WCHAR small[4] = {u'#', u'#', u'#', u'#'};
    EXPECT_EQ(GetPrivateProfileStringW(u"N", u"F", u"", small, 4, kIni), 3u);  // cut to fit, terminated
    EXPECT_EQ(std::u16string(small), u"7 p");
    WCHAR list[5];
    // Keys A..F need 12 characters; what fits ends with two NULs.
    EXPECT_EQ(GetPrivateProfileStringW(u"N", nullptr, u"", list, 5, kIni), 3u);
    EXPECT_EQ(std::u16string(list, 5), std::u16string(u"A\0B\0\0", 5));
}

TEST_F(Profile, FileKeepsItsEncoding) {
    // UTF-16 with a byte-order mark.
    std::string utf16 = "\xFF\xFE";
    for (char16_t c : std::u16string(u"[Font]\r\nName=\u03A9mega\r\n")) {
        utf16 += char(c & 0xFF);
        utf16 += char(c >> 8);
    }
    PutHostFile(u"C:\\Korvan\\wide.ini", utf16);
    EXPECT_EQ(Get(u"Font", u"Name", u"", u"C:\\Korvan\\wide.ini"), u"\u03A9mega");
    EXPECT_TRUE(WritePrivateProfileStringW(u"Font", u"Size", u"\u00E9", u"C:\\Korvan\\wide.ini"));
    std::string expected = "\xFF\xFE";
    for (char16_t c : std::u16string(u"[Font]\r\nName=\u03A9mega\r\nSize=\u00E9\r\n")) {
        expected += char(c & 0xFF);
        expected += char(c >> 8);
    }
    EXPECT_EQ(HostContents(u"C:\\Korvan\\wide.ini"), expected);

    // ANSI: the machine's code page, 1252.
    PutHostFile(u"C:\\Korvan\\ansi.ini", "[Font]\r\nName=Caf\xE9\r\n");
    EXPECT_EQ(Get(u"Font", u"Name", u"", u"C:\\Korvan\\ansi.ini"), u"Caf\u00E9");
    EXPECT_TRUE(WritePrivateProfileStringW(u"Font", u"Sign", u"\u20AC", u"C:\\Korvan\\ansi.ini"));
    EXPECT_EQ(HostContents(u"C:\\Korvan\\ansi.ini"), "[Font]\r\nName=Caf\xE9\r\nSign=\x80\r\n");
}

TEST_F(Profile, BareNamesLiveInTheWindowsFolder) {
    EXPECT_TRUE(WritePrivateProfileStringW(u"Ports", u"LPT1:", u"", u"Tamsheet.ini"));
    EXPECT_EQ(HostContents(u"C:\\Windows\\Tamsheet.ini"), "[Ports]\r\nLPT1:=\r\n");
    EXPECT_EQ(Get(u"Ports", u"lpt1:", u"none", u"tamsheet.ini"), u"");
}

TEST_F(Profile, MissingFoldersAndReadOnlyFilesRefuseWrites) {
    SetLastError(0);
    EXPECT_FALSE(WritePrivateProfileStringW(u"A", u"B", u"C", u"C:\\Nowhere\\x.ini"));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_PATH_NOT_FOUND));
    PutHostFile(kIni, "[A]\r\nB=1\r\n");
    ASSERT_TRUE(SetFileAttributesW(kIni, FILE_ATTRIBUTE_READONLY));
    EXPECT_FALSE(WritePrivateProfileStringW(u"A", u"B", u"2", kIni));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ACCESS_DENIED));
    EXPECT_EQ(Get(u"A", u"B"), u"1");
    EXPECT_EQ(Get(u"A", u"B", u"x", u"C:\\Nowhere\\x.ini"), u"x");
}

}  // namespace
