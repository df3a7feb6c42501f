// The language suffix, the language flags, and the language and bitmap DLLs
// with their fallbacks.
#include "ui_fixture.h"

namespace tam::test {
namespace {

using LanguageSuffix = UiModuleTest;

TEST_F(LanguageSuffix, RegistryValueWhenTheKeyExists) {
    SetSuffixKey(u"deDE");
    WCHAR suffix[UI_SUFFIX_CHARS] = u"stale";
    EXPECT_TRUE(ReadLanguageSuffix(kDriverName, suffix));
    EXPECT_EQ(std::u16string(suffix), u"deDE");
}

TEST_F(LanguageSuffix, KeyWithoutValueGivesEmptySuffix) {
    SetSuffixKey(nullptr);
    WCHAR suffix[UI_SUFFIX_CHARS] = u"stale";
    EXPECT_TRUE(ReadLanguageSuffix(kDriverName, suffix));
    EXPECT_EQ(suffix[0], 0);
}

TEST_F(LanguageSuffix, MissingKeyOrNameIsFalse) {
    WCHAR suffix[UI_SUFFIX_CHARS] = u"stale";
    EXPECT_FALSE(ReadLanguageSuffix(kDriverName, suffix));
    EXPECT_EQ(suffix[0], 0);
    // "Software" itself exists: no name must not read it.
    SetLastError(0);
    EXPECT_FALSE(ReadLanguageSuffix(u"", suffix));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    EXPECT_FALSE(ReadLanguageSuffix(nullptr, suffix));
}

TEST_F(LanguageSuffix, LongValueIsCutTo128Characters) {
    std::u16string longValue(200, u'x');
    longValue[127] = u'y';
    SetSuffixKey(longValue.c_str());
    WCHAR suffix[UI_SUFFIX_CHARS + 8];
    std::fill(std::begin(suffix), std::end(suffix), u'#');
    EXPECT_TRUE(ReadLanguageSuffix(kDriverName, suffix));
    EXPECT_EQ(lstrlenW(suffix), 128);
    EXPECT_EQ(suffix[127], u'y');
    EXPECT_EQ(suffix[UI_SUFFIX_CHARS], u'#');  // nothing written past the field
}

// Without the registry key the suffix is the tag of the user's language.
struct TagCase {
    LANGID language;
    const char16_t* dllName;
};
void PrintTo(const TagCase& c, std::ostream* os) { *os << "language 0x" << std::hex << c.language; }

const TagCase kTags[] = {
    {0x0409, u"TamsheetenUS.dll"}, {0x0809, u"TamsheetenGB.dll"}, {0x0804, u"TamsheetzhCN.dll"},
    {0x0404, u"TamsheetzhTW.dll"}, {0x0407, u"TamsheetdeDE.dll"}, {0x040C, u"TamsheetfrFR.dll"},
    {0x0411, u"TamsheetjaJP.dll"}, {0x0412, u"TamsheetkoKR.dll"}, {0x0419, u"TamsheetruRU.dll"},
    {0x0401, u"TamsheetarSA.dll"}, {0x040D, u"TamsheetheIL.dll"}, {0x0000, u"TamsheetNEUT.dll"},
    {0x0C0A, u"TamsheetesES.dll"}, {0x0816, u"TamsheetptPT.dll"}, {0x042F, u"TamsheetmkMK.dll"},
    {0x0009, u"Tamsheeten.dll"},  // a language without its region
    {0x0436, u"Tamsheet.dll"},    // beyond the table: no tag
};

class LanguageTag : public UiModuleTest, public testing::WithParamInterface<TagCase> {};

TEST_P(LanguageTag, NamesTheLanguageDll) {
    SetUserLanguage(GetParam().language);
    WCHAR name[UI_PATH_CHARS];
    ASSERT_TRUE(BuildLanguageDllName(kDriverName, name));
    EXPECT_EQ(std::u16string(name), GetParam().dllName);
}

INSTANTIATE_TEST_SUITE_P(All, LanguageTag, testing::ValuesIn(kTags));

TEST_F(LanguageSuffix, RegistryWinsOverTheUserLanguage) {
    SetUserLanguage(0x0407);
    SetSuffixKey(u"zhCN");
    WCHAR name[UI_PATH_CHARS];
    ASSERT_TRUE(BuildLanguageDllName(kDriverName, name));
    EXPECT_EQ(std::u16string(name), u"TamsheetzhCN.dll");
    // Another driver has no key: the user's language.
    ASSERT_TRUE(BuildLanguageDllName(u"Other Driver", name));
    EXPECT_EQ(std::u16string(name), u"TamsheetdeDE.dll");
}

struct FlagCase {
    const char16_t* suffix;
    bool decimalComma;
    bool rightToLeft;
};
void PrintTo(const FlagCase& c, std::ostream* os) { *os << "suffix \"" << Utf8(c.suffix) << '"'; }

const FlagCase kFlags[] = {
    {u"de", true, false},   {u"ru", true, false},   {u"fr", true, false},  {u"it", true, false},
    {u"no", true, false},   {u"sv", true, false},   {u"tr", true, false},  {u"DE", true, false},
    {u"deDE", false, false}, {u"ruRU", false, false}, {u"ar", false, true}, {u"he", false, true},
    {u"arSA", false, false}, {u"enus", false, false}, {u"", false, false},
};

class LanguageFlags : public UiModuleTest, public testing::WithParamInterface<FlagCase> {};

TEST_P(LanguageFlags, SetWhenTheNameIsBuilt) {
    SetSuffixKey(GetParam().suffix);
    // Reading the suffix alone sets nothing.
    WCHAR suffix[UI_SUFFIX_CHARS];
    ASSERT_TRUE(ReadLanguageSuffix(kDriverName, suffix));
    EXPECT_FALSE(IsDecimalCommaLanguage());
    EXPECT_FALSE(IsRightToLeftLanguage());

    WCHAR name[UI_PATH_CHARS];
    ASSERT_TRUE(BuildLanguageDllName(kDriverName, name));
    EXPECT_EQ(std::u16string(name), u"Tamsheet" + std::u16string(GetParam().suffix) + u".dll");
    EXPECT_EQ(bool(IsDecimalCommaLanguage()), GetParam().decimalComma);
    EXPECT_EQ(bool(IsRightToLeftLanguage()), GetParam().rightToLeft);
}

INSTANTIATE_TEST_SUITE_P(All, LanguageFlags, testing::ValuesIn(kFlags));

TEST_F(LanguageSuffix, FlagsStaySetForTheProcess) {
    WCHAR name[UI_PATH_CHARS];
    SetSuffixKey(u"de");
    ASSERT_TRUE(BuildLanguageDllName(kDriverName, name));
    SetSuffixKey(u"ar");
    HMODULE dll = nullptr;
    EXPECT_TRUE(LoadLanguageDll(kDriverName, &dll));  // loading builds the name too
    if (dll) FreeLibrary(dll);
    SetSuffixKey(u"enus");
    ASSERT_TRUE(BuildLanguageDllName(kDriverName, name));
    EXPECT_TRUE(IsDecimalCommaLanguage());
    EXPECT_TRUE(IsRightToLeftLanguage());
}

// Which language DLL loads, for the user language enGB (no registry key),
// with these modules in the driver folder besides Tamsheetenus.dll.
struct CandidateCase {
    bool withEnGB;
    bool withEn;
    bool withEnus;
    const char16_t* loaded;  // null: none loads
    const char16_t* stringOf202;
};
void PrintTo(const CandidateCase& c, std::ostream* os) {
    *os << (c.withEnGB ? "enGB " : "") << (c.withEn ? "en " : "") << (c.withEnus ? "enus" : "") << " installed";
}

const CandidateCase kCandidates[] = {
    {true, true, true, u"TamsheetenGB.dll", u"Default Settings (enGB)"},
    {false, true, true, u"Tamsheeten.dll", u"Default Settings (en)"},
    {false, false, true, u"Tamsheetenus.dll", u"Default Settings"},
    {true, false, false, u"TamsheetenGB.dll", u"Default Settings (enGB)"},
    {false, false, false, nullptr, nullptr},
};

class LanguageDllOrder : public UiModuleTest, public testing::WithParamInterface<CandidateCase> {};

TEST_P(LanguageDllOrder, FirstThatExistsLoads) {
    const CandidateCase& c = GetParam();
    SetUserLanguage(0x0809);
    if (c.withEnGB) InstallIntoDriverFolder(machine(), "TamsheetenGB.res", u"TamsheetenGB.dll");
    if (c.withEn) InstallIntoDriverFolder(machine(), "Tamsheeten.res", u"Tamsheeten.dll");
    if (!c.withEnus) RemoveFromDriverFolder(u"Tamsheetenus.dll");

    HMODULE dll = reinterpret_cast<HMODULE>(ULONG_PTR(1));
    EXPECT_TRUE(LoadLanguageDll(kDriverName, &dll));
    if (!c.loaded) {
        EXPECT_EQ(dll, nullptr);
        // Every candidate was tried, in order.
        std::string log = w32::DebugLogText();
        size_t gb = log.find(Utf8(InDriverFolder(u"TamsheetenGB.dll")));
        size_t en = log.find(Utf8(InDriverFolder(u"Tamsheeten.dll")));
        size_t enus = log.find(Utf8(InDriverFolder(u"Tamsheetenus.dll")));
        ASSERT_NE(gb, std::string::npos) << log;
        ASSERT_NE(en, std::string::npos) << log;
        ASSERT_NE(enus, std::string::npos) << log;
        EXPECT_LT(gb, en);
        EXPECT_LT(en, enus);
        return;
    }
    ASSERT_NE(dll, nullptr);
    EXPECT_EQ(ModulePath(dll), InDriverFolder(c.loaded));
    EXPECT_EQ(String(dll, 202), c.stringOf202);
    FreeLibrary(dll);
}

INSTANTIATE_TEST_SUITE_P(All, LanguageDllOrder, testing::ValuesIn(kCandidates));

TEST_F(LanguageSuffix, EmptySuffixTriesThePrefixAloneFirst) {
    SetSuffixKey(nullptr);
    InstallIntoDriverFolder(machine(), "Tamsheeten.res", u"Tamsheet.dll");
    HMODULE dll = nullptr;
    EXPECT_TRUE(LoadLanguageDll(kDriverName, &dll));
    ASSERT_NE(dll, nullptr);
    EXPECT_EQ(ModulePath(dll), InDriverFolder(u"Tamsheet.dll"));
    FreeLibrary(dll);

    // Without it, English.
    RemoveFromDriverFolder(u"Tamsheet.dll");
    EXPECT_TRUE(LoadLanguageDll(kDriverName, &dll));
    ASSERT_NE(dll, nullptr);
    EXPECT_EQ(ModulePath(dll), InDriverFolder(u"Tamsheetenus.dll"));
    FreeLibrary(dll);
}

TEST_F(LanguageSuffix, TwoLetterSuffixFallsBackToEnglish) {
    SetSuffixKey(u"ru");
    HMODULE dll = nullptr;
    EXPECT_TRUE(LoadLanguageDll(kDriverName, &dll));
    ASSERT_NE(dll, nullptr);
    EXPECT_EQ(ModulePath(dll), InDriverFolder(u"Tamsheetenus.dll"));
    FreeLibrary(dll);
    std::string log = w32::DebugLogText();
    EXPECT_NE(log.find(Utf8(InDriverFolder(u"Tamsheetru.dll"))), std::string::npos) << log;
    EXPECT_TRUE(IsDecimalCommaLanguage());
}

TEST_F(LanguageSuffix, BitmapDllBesideTheModule) {
    HMODULE bitmaps = LoadBitmapDll();
    ASSERT_NE(bitmaps, nullptr);
    EXPECT_EQ(ModulePath(bitmaps), InDriverFolder(u"TamsheetResBmp.dll"));
    FreeLibrary(bitmaps);

    RemoveFromDriverFolder(u"TamsheetResBmp.dll");
    SetLastError(0);
    EXPECT_EQ(LoadBitmapDll(), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_MOD_NOT_FOUND));
}

}  // namespace
}  // namespace tam::test
