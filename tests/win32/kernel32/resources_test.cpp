// Resources of modules, read from the .res files the build compiled from
// modules/testres.rc and modules/TamTestDeu.rc.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "kernel32/resfile.h"
#include "modules/testres.h"
#include "support/machine_fixture.h"
#include "support/module_install.h"

namespace {

using tam::test::InstallModule;

constexpr char16_t kModule[] = u"C:\\Program Files\\Korvan\\TamTestMod.dll";

class Resources : public tam::test::MachineTest {
protected:
    void SetUp() override {
        MachineTest::SetUp();
        InstallModule(machine(), "TamTestMod.dll", kModule);
        module_ = LoadLibraryW(kModule);
        ASSERT_NE(module_, nullptr);
    }
    void TearDown() override {
        if (module_) FreeLibrary(module_);
        MachineTest::TearDown();
    }

    // The bytes of a resource, found as FindResourceExW finds it.
    static std::string Bytes(HMODULE module, LPCWSTR type, LPCWSTR name, WORD language = 0) {
        HRSRC info = FindResourceExW(module, type, name, language);
        if (!info) return "<" + std::to_string(GetLastError()) + ">";
        auto* data = static_cast<const char*>(LockResource(LoadResource(module, info)));
        return std::string(data, SizeofResource(module, info));
    }

    HMODULE module_ = nullptr;
};

TEST_F(Resources, RawDataByIdAndByName) {
    HRSRC info = FindResourceW(module_, MAKEINTRESOURCEW(IDR_TABLE), RT_RCDATA);
    ASSERT_NE(info, nullptr);
    HGLOBAL loaded = LoadResource(module_, info);
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(LockResource(loaded), loaded);
    ASSERT_EQ(SizeofResource(module_, info), 9u);
    const BYTE expected[] = {0x34, 0x12, 0xEF, 0xCD, 0xAB, 0x89, 'o', 'k', 0};
    EXPECT_EQ(std::memcmp(LockResource(loaded), expected, sizeof(expected)), 0);
    EXPECT_FALSE(FreeResource(loaded));

    // A type of our own, by id and by name; names and types without regard to case, "#n" is the id n.
    const std::string config = "paper=A4\r\ncopies=2\r\n";
    EXPECT_EQ(Bytes(module_, u"TAMCONFIG", MAKEINTRESOURCEW(IDR_CONFIG)), config);
    EXPECT_EQ(Bytes(module_, u"TamConfig", u"#301"), config);
    EXPECT_EQ(Bytes(module_, u"tamconfig", u"settings"), "named");
    EXPECT_EQ(Bytes(module_, u"#10", MAKEINTRESOURCEW(IDR_TABLE)).size(), 9u);
    HRSRC narrow = FindResourceA(module_, "Settings", "TamConfig");
    EXPECT_EQ(narrow, FindResourceW(module_, u"SETTINGS", u"TAMCONFIG"));
    EXPECT_NE(narrow, nullptr);
}

TEST_F(Resources, MissingResourcesFailWithTheirErrors) {
    struct Case {
        HMODULE module;
        LPCWSTR type, name;
        DWORD error;
    };
    HMODULE kernel32 = GetModuleHandleW(u"kernel32.dll");
    ASSERT_NE(kernel32, nullptr);
    const Case cases[] = {
        {module_, u"NOSUCHTYPE", MAKEINTRESOURCEW(IDR_TABLE), ERROR_RESOURCE_TYPE_NOT_FOUND},
        {module_, RT_BITMAP, MAKEINTRESOURCEW(1), ERROR_RESOURCE_TYPE_NOT_FOUND},
        {module_, RT_RCDATA, MAKEINTRESOURCEW(999), ERROR_RESOURCE_NAME_NOT_FOUND},
        {module_, RT_RCDATA, u"Settings", ERROR_RESOURCE_NAME_NOT_FOUND},
        {module_, u"TAMCONFIG", u"#", ERROR_RESOURCE_NAME_NOT_FOUND},
        {kernel32, RT_RCDATA, MAKEINTRESOURCEW(IDR_TABLE), ERROR_RESOURCE_DATA_NOT_FOUND},
        {reinterpret_cast<HMODULE>(&kernel32), RT_RCDATA, MAKEINTRESOURCEW(IDR_TABLE), ERROR_RESOURCE_DATA_NOT_FOUND},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        SetLastError(0xdeadbeef);
        EXPECT_EQ(FindResourceExW(cases[i].module, cases[i].type, cases[i].name, 0), nullptr) << i;
        EXPECT_EQ(GetLastError(), cases[i].error) << i;
    }
    // An HRSRC that is no module's.
    SetLastError(0xdeadbeef);
    EXPECT_EQ(LoadResource(module_, reinterpret_cast<HRSRC>(module_)), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
    EXPECT_EQ(SizeofResource(module_, nullptr), 0u);
}

struct LanguageCase {
    WORD resource;
    LANGID requested, ui, user;
    const char* expected;
};
// IDR_LANGUAGES is in en-US, de-DE and neutral French; IDR_NO_ENGLISH in de-DE and neutral French.
const LanguageCase kLanguageCases[] = {
    {IDR_LANGUAGES, 0x0409, 0x0409, 0x0409, "en-US"},
    {IDR_LANGUAGES, 0x0407, 0x0409, 0x0409, "de-DE"},
    {IDR_LANGUAGES, 0x0807, 0x0409, 0x0409, "de-DE"},  // Swiss German: German with SUBLANG_DEFAULT
    {IDR_LANGUAGES, 0x040C, 0x0409, 0x0409, "fr"},     // French: French with SUBLANG_NEUTRAL
    {IDR_LANGUAGES, 0x0000, 0x0409, 0x0409, "en-US"},  // neutral: the UI language
    {IDR_LANGUAGES, 0x0000, 0x0407, 0x0409, "de-DE"},
    {IDR_LANGUAGES, 0x0411, 0x0409, 0x0409, "en-US"},  // Japanese is missing: the UI language
    {IDR_LANGUAGES, 0x0411, 0x0C07, 0x0409, "de-DE"},  // UI in Austrian German: German
    {IDR_LANGUAGES, 0x0411, 0x0413, 0x0409, "en-US"},  // neither: English (US)
    {IDR_LANGUAGES, 0x0400, 0x0409, 0x040C, "fr"},     // LANG_USER_DEFAULT: the user's language
    {IDR_NO_ENGLISH, 0x0411, 0x0413, 0x0409, "fr"},    // none of those: the first language it has
    {IDR_NO_ENGLISH, 0x0409, 0x0409, 0x0409, "fr"},
    {IDR_NO_ENGLISH, 0x0407, 0x0409, 0x0409, "de-DE"},
};

void PrintTo(const LanguageCase& c, std::ostream* os) {
    *os << "resource " << c.resource << ", language " << c.requested << ", expected " << c.expected;
}

class ResourceLanguage : public Resources, public testing::WithParamInterface<LanguageCase> {};

TEST_P(ResourceLanguage, FallsBackInOrder) {
    const auto& c = GetParam();
    machine().MutableSettings().uiLanguage = c.ui;
    machine().MutableSettings().userLanguage = c.user;
    EXPECT_EQ(Bytes(module_, RT_RCDATA, MAKEINTRESOURCEW(c.resource), c.requested), c.expected);
    if (c.requested == 0) {
        EXPECT_EQ(FindResourceW(module_, MAKEINTRESOURCEW(c.resource), RT_RCDATA),
                  FindResourceExW(module_, RT_RCDATA, MAKEINTRESOURCEW(c.resource), 0));
    }
}

std::string Hex(unsigned value) {
    char text[8];
    std::snprintf(text, sizeof(text), "%04X", value);
    return text;
}

INSTANTIATE_TEST_SUITE_P(All, ResourceLanguage, testing::ValuesIn(kLanguageCases),
                         [](const testing::TestParamInfo<LanguageCase>& info) {
                             const auto& c = info.param;
                             return "Resource" + std::to_string(c.resource) + "_Asked" + Hex(c.requested) + "_Ui" +
                                    Hex(c.ui) + "_User" + Hex(c.user);
                         });

// Reads what the enumeration functions report, as text.
std::string Describe(LPCWSTR id) {
    return IS_INTRESOURCE(id) ? std::to_string(LOWORD(reinterpret_cast<ULONG_PTR>(id))) : w32::ToUtf8(id);
}

TEST_F(Resources, EnumeratesNamesBeforeIdsAndStopsOnRequest) {
    std::vector<std::string> seen;
    auto collectType = [](HMODULE, LPWSTR type, LONG_PTR context) -> BOOL {
        reinterpret_cast<std::vector<std::string>*>(context)->push_back(Describe(type));
        return TRUE;
    };
    EXPECT_TRUE(EnumResourceTypesW(module_, collectType, reinterpret_cast<LONG_PTR>(&seen)));
    EXPECT_EQ(seen, (std::vector<std::string>{"TAMCONFIG", "5", "6", "10"}));

    auto collectName = [](HMODULE, LPCWSTR, LPWSTR name, LONG_PTR context) -> BOOL {
        reinterpret_cast<std::vector<std::string>*>(context)->push_back(Describe(name));
        return TRUE;
    };
    seen.clear();
    EXPECT_TRUE(EnumResourceNamesW(module_, u"TamConfig", collectName, reinterpret_cast<LONG_PTR>(&seen)));
    EXPECT_EQ(seen, (std::vector<std::string>{"SETTINGS", "301"}));
    seen.clear();
    EXPECT_TRUE(EnumResourceNamesW(module_, RT_RCDATA, collectName, reinterpret_cast<LONG_PTR>(&seen)));
    EXPECT_EQ(seen, (std::vector<std::string>{"300", "302", "303"}));

    std::vector<WORD> languages;
    auto collectLanguage = [](HMODULE, LPCWSTR, LPCWSTR, WORD language, LONG_PTR context) -> BOOL {
        reinterpret_cast<std::vector<WORD>*>(context)->push_back(language);
        return TRUE;
    };
    EXPECT_TRUE(EnumResourceLanguagesW(module_, RT_RCDATA, MAKEINTRESOURCEW(IDR_LANGUAGES), collectLanguage,
                                       reinterpret_cast<LONG_PTR>(&languages)));
    EXPECT_EQ(languages, (std::vector<WORD>{0x000C, 0x0407, 0x0409}));

    int calls = 0;
    auto stopAtFirst = [](HMODULE, LPWSTR, LONG_PTR context) -> BOOL {
        ++*reinterpret_cast<int*>(context);
        return FALSE;
    };
    SetLastError(0xdeadbeef);
    EXPECT_FALSE(EnumResourceTypesW(module_, stopAtFirst, reinterpret_cast<LONG_PTR>(&calls)));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_RESOURCE_ENUM_USER_STOP));
    EXPECT_EQ(calls, 1);
    SetLastError(0xdeadbeef);
    EXPECT_FALSE(EnumResourceNamesW(module_, RT_BITMAP, collectName, reinterpret_cast<LONG_PTR>(&seen)));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_RESOURCE_TYPE_NOT_FOUND));
    SetLastError(0xdeadbeef);
    EXPECT_FALSE(EnumResourceLanguagesW(module_, RT_RCDATA, MAKEINTRESOURCEW(9), collectLanguage,
                                        reinterpret_cast<LONG_PTR>(&languages)));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_RESOURCE_NAME_NOT_FOUND));
}

// A reader of dialog templates, as the dialog manager will read them.
class TemplateReader {
public:
    TemplateReader(const BYTE* data, size_t size) : data_(data), size_(size) {}
    WORD Word() { return Read<WORD>(); }
    DWORD Dword() { return Read<DWORD>(); }
    SHORT Short() { return Read<SHORT>(); }
    // A name or ordinal field: "#n" for an ordinal.
    std::u16string NameOrOrdinal() {
        WORD first = Word();
        if (first == 0xFFFF) return u"#" + w32::FromUtf8(std::to_string(Word()));
        std::u16string text;
        for (WORD c = first; c; c = Word()) text += char16_t(c);
        return text;
    }
    void AlignDword() { offset_ = (offset_ + 3) & ~size_t(3); }
    bool Overran() const { return overran_; }

private:
    template <class T>
    T Read() {
        T value{};
        if (offset_ + sizeof(T) > size_) {
            overran_ = true;
            return value;
        }
        std::memcpy(&value, data_ + offset_, sizeof(T));
        offset_ += sizeof(T);
        return value;
    }
    const BYTE* data_;
    size_t size_;
    size_t offset_ = 0;
    bool overran_ = false;
};

TEST_F(Resources, DialogTemplateReadsBack) {
    HRSRC info = FindResourceW(module_, MAKEINTRESOURCEW(IDD_PLAIN), RT_DIALOG);
    ASSERT_NE(info, nullptr);
    TemplateReader dialog(static_cast<const BYTE*>(LockResource(LoadResource(module_, info))),
                          SizeofResource(module_, info));
    DWORD style = dialog.Dword();
    EXPECT_EQ(style, DWORD(DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_SETFONT));
    EXPECT_EQ(dialog.Dword(), 0u);  // extended style
    EXPECT_EQ(dialog.Word(), 3);    // controls
    EXPECT_EQ(dialog.Short(), 10);
    EXPECT_EQ(dialog.Short(), 20);
    EXPECT_EQ(dialog.Short(), 200);
    EXPECT_EQ(dialog.Short(), 100);
    EXPECT_EQ(dialog.NameOrOrdinal(), u"");  // menu
    EXPECT_EQ(dialog.NameOrOrdinal(), u"");  // class
    EXPECT_EQ(dialog.NameOrOrdinal(), u"Plain");
    EXPECT_EQ(dialog.Word(), 8);  // point size
    EXPECT_EQ(dialog.NameOrOrdinal(), u"MS Shell Dlg");
    dialog.AlignDword();
    EXPECT_EQ(dialog.Dword(), DWORD(WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON));
    EXPECT_EQ(dialog.Dword(), 0u);
    EXPECT_EQ(dialog.Short(), 140);
    EXPECT_EQ(dialog.Short(), 80);
    EXPECT_EQ(dialog.Short(), 50);
    EXPECT_EQ(dialog.Short(), 14);
    EXPECT_EQ(dialog.Word(), IDOK);
    EXPECT_EQ(dialog.NameOrOrdinal(), u"#128");  // the button class
    EXPECT_EQ(dialog.NameOrOrdinal(), u"OK");
    EXPECT_FALSE(dialog.Overran());
}

TEST_F(Resources, ExtendedDialogTemplateReadsBack) {
    HRSRC info = FindResourceW(module_, MAKEINTRESOURCEW(IDD_EXTENDED), RT_DIALOG);
    ASSERT_NE(info, nullptr);
    TemplateReader dialog(static_cast<const BYTE*>(LockResource(LoadResource(module_, info))),
                          SizeofResource(module_, info));
    EXPECT_EQ(dialog.Word(), 1);       // version
    EXPECT_EQ(dialog.Word(), 0xFFFF);  // signature
    EXPECT_EQ(dialog.Dword(), 0u);     // help id
    EXPECT_EQ(dialog.Dword(), DWORD(WS_EX_CONTROLPARENT));
    EXPECT_EQ(dialog.Dword(), DWORD(DS_SETFONT | DS_FIXEDSYS | WS_CHILD | WS_CAPTION));
    EXPECT_EQ(dialog.Word(), 2);  // controls
    EXPECT_EQ(dialog.Short(), 0);
    EXPECT_EQ(dialog.Short(), 0);
    EXPECT_EQ(dialog.Short(), 250);
    EXPECT_EQ(dialog.Short(), 150);
    EXPECT_EQ(dialog.NameOrOrdinal(), u"");
    EXPECT_EQ(dialog.NameOrOrdinal(), u"");
    EXPECT_EQ(dialog.NameOrOrdinal(), u"Extended");
    EXPECT_EQ(dialog.Word(), 8);    // point size
    EXPECT_EQ(dialog.Word(), 400);  // weight
    dialog.Word();                  // italic and character set
    EXPECT_EQ(dialog.NameOrOrdinal(), u"MS Shell Dlg");
    dialog.AlignDword();
    EXPECT_EQ(dialog.Dword(), 0u);  // help id
    EXPECT_EQ(dialog.Dword(), 0u);  // extended style
    EXPECT_EQ(dialog.Dword(), DWORD(WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX));
    EXPECT_EQ(dialog.Short(), 7);
    EXPECT_EQ(dialog.Short(), 7);
    EXPECT_EQ(dialog.Short(), 100);
    EXPECT_EQ(dialog.Short(), 10);
    EXPECT_EQ(dialog.Dword(), DWORD(IDC_DUPLEX));
    // windres keeps a class given by name as a name (in upper case).
    EXPECT_TRUE(w32::NamesEqual(dialog.NameOrOrdinal(), u"Button"));
    EXPECT_EQ(dialog.NameOrOrdinal(), u"Duplex");
    EXPECT_FALSE(dialog.Overran());
}

TEST_F(Resources, ResourceOnlyModuleIsItsResFile) {
    InstallModule(machine(), "TamTestDeu.res", u"C:\\Program Files\\Korvan\\TamTestDeu.dll");
    HMODULE language = LoadLibraryW(u"TamTestDeu.dll");
    ASSERT_NE(language, nullptr);
    EXPECT_EQ(GetModuleHandleW(u"tamtestdeu.dll"), language);
    WCHAR path[MAX_PATH];
    EXPECT_EQ(std::u16string(path, GetModuleFileNameW(language, path, MAX_PATH)),
              u"C:\\Program Files\\Korvan\\TamTestDeu.dll");
    EXPECT_EQ(Bytes(language, RT_RCDATA, MAKEINTRESOURCEW(IDR_TABLE)), "deu");
    SetLastError(0xdeadbeef);
    EXPECT_EQ(GetProcAddress(language, "DllMain"), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_PROC_NOT_FOUND));
    // As data too, as a program loads a language module.
    HMODULE data = LoadLibraryExW(u"C:\\Program Files\\Korvan\\TamTestDeu.dll", nullptr, LOAD_LIBRARY_AS_DATAFILE);
    EXPECT_EQ(data, language);
    EXPECT_TRUE(FreeLibrary(data));
    EXPECT_TRUE(FreeLibrary(language));
    EXPECT_EQ(GetModuleHandleW(u"TamTestDeu.dll"), nullptr);
}

TEST_F(Resources, ProgramResourcesSitBesideTheProgram) {
    EXPECT_EQ(Bytes(nullptr, RT_RCDATA, MAKEINTRESOURCEW(IDR_TABLE)).size(), 9u);
    EXPECT_EQ(Bytes(GetModuleHandleW(nullptr), u"TAMCONFIG", u"Settings"), "named");
}

TEST_F(Resources, ResourcesStayValidUntilTheModuleIsFreed) {
    // The program's resources (the same script) are read before the module goes.
    ASSERT_NE(FindResourceW(nullptr, MAKEINTRESOURCEW(IDR_TABLE), RT_RCDATA), nullptr);
    HRSRC info = FindResourceW(module_, MAKEINTRESOURCEW(IDR_TABLE), RT_RCDATA);
    ASSERT_NE(info, nullptr);
    EXPECT_NE(LoadResource(nullptr, info), nullptr);  // found in its module whatever the handle says
    EXPECT_TRUE(FreeLibrary(module_));
    module_ = nullptr;
    SetLastError(0xdeadbeef);
    EXPECT_EQ(LoadResource(nullptr, info), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_HANDLE));
}

std::vector<BYTE> BuiltResFile(const char* name) {
    std::ifstream in(tam::test::BuiltFolder() / name, std::ios::binary);
    return std::vector<BYTE>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

TEST(ResFile, RefusesDamagedFiles) {
    const std::vector<BYTE> good = BuiltResFile("TamTestDeu.res");
    ASSERT_GT(good.size(), 64u);
    DWORD error = 0;
    auto parsed = w32::ResFile::Parse(good, error);
    ASSERT_NE(parsed, nullptr);
    EXPECT_EQ(parsed->EntryCount(), 2u);

    auto damage = [&](size_t offset, std::vector<BYTE> replacement) {
        std::vector<BYTE> bytes = good;
        std::copy(replacement.begin(), replacement.end(), bytes.begin() + offset);
        return bytes;
    };
    std::vector<std::vector<BYTE>> damaged = {
        {},
        std::vector<BYTE>(good.begin(), good.begin() + 20),  // inside the empty entry
        std::vector<BYTE>(good.begin(), good.begin() + 36),  // inside the next header
        std::vector<BYTE>(good.begin(), good.end() - 8),     // the last entry cut short
        damage(0, {1}),                                      // no signature
        damage(32, {0xFF, 0xFF, 0xFF, 0x7F}),                // data size beyond the file
        damage(36, {0x08, 0, 0, 0}),                         // header too small
        damage(36, {0xFF, 0xFF, 0, 0}),                      // header beyond the file
        damage(40, {'A', 0, 'B', 0}),                        // a type name running into the rest
    };
    for (size_t i = 0; i < damaged.size(); ++i) {
        error = 0;
        EXPECT_EQ(w32::ResFile::Parse(damaged[i], error), nullptr) << i;
        EXPECT_EQ(error, DWORD(ERROR_BAD_FORMAT)) << i;
    }
}

TEST_F(Resources, DamagedResourceModuleIsNoModule) {
    std::vector<BYTE> bytes = BuiltResFile("TamTestDeu.res");
    ASSERT_GT(bytes.size(), 40u);
    bytes.resize(40);
    {
        std::ofstream out(HostPath(u"C:\\Program Files\\Korvan\\Broken.dll"), std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        std::ofstream beside(HostPath(u"C:\\Program Files\\Korvan\\TamTestMod.res"), std::ios::binary);
        beside.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    }
    SetLastError(0xdeadbeef);
    EXPECT_EQ(LoadLibraryW(u"Broken.dll"), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_BAD_EXE_FORMAT));
    // A code module with damaged resources beside it does not load either.
    FreeLibrary(module_);
    module_ = nullptr;
    SetLastError(0xdeadbeef);
    EXPECT_EQ(LoadLibraryW(kModule), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_BAD_EXE_FORMAT));
}

}  // namespace
