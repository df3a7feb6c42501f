// The driver prefix, taken from the module's own file name.
#include "ui_fixture.h"

namespace tam::test {
namespace {

using DriverPrefix = UiModuleTest;

TEST_F(DriverPrefix, LoadedModuleGivesTamsheetAndItsFolder) {
    WCHAR prefix[UI_PATH_CHARS];
    ASSERT_TRUE(GetDriverBaseName(prefix));
    EXPECT_EQ(std::u16string(prefix), u"Tamsheet");
    WCHAR folder[UI_PATH_CHARS];
    ASSERT_TRUE(GetUiModuleFolder(folder));
    EXPECT_EQ(std::u16string(folder), DriverFolderPath());
    // The module path and the prefix go to the debugger output.
    std::string log = w32::DebugLogText();
    EXPECT_NE(log.find(Utf8(InDriverFolder(u"Tamsheetui.dll"))), std::string::npos) << log;
    EXPECT_NE(log.find("Driver prefix: Tamsheet\n"), std::string::npos) << log;
}

TEST_F(DriverPrefix, LoadedModuleAnswersItsEntryPoints) {
    using CanUnload = HRESULT(WINAPI*)();
    auto canUnload = reinterpret_cast<CanUnload>(GetProcAddress(module_, MAKEINTRESOURCEA(4)));
    ASSERT_NE(canUnload, nullptr);
    EXPECT_EQ(canUnload(), S_OK);
}

TEST_F(DriverPrefix, UnknownModuleFails) {
    SetUiModule(nullptr);
    WCHAR prefix[UI_PATH_CHARS] = u"stale";
    WCHAR folder[UI_PATH_CHARS] = u"stale";
    SetLastError(0);
    EXPECT_FALSE(GetDriverBaseName(prefix));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_MOD_NOT_FOUND));
    EXPECT_EQ(prefix[0], 0);
    EXPECT_FALSE(GetUiModuleFolder(folder));
    EXPECT_EQ(folder[0], 0);
}

struct PrefixCase {
    const char16_t* moduleName;
    const char16_t* prefix;
    bool holdsUi;  // else the debug output says the name holds no "ui"
};
void PrintTo(const PrefixCase& c, std::ostream* os) { *os << Utf8(c.moduleName); }

const PrefixCase kPrefixes[] = {
    {u"Tamsheetui.dll", u"Tamsheet", true},
    {u"KorvanUi.dll", u"KorvanUi", false},
    {u"Korvanui64.dll", u"Korvan", true},
    {u"Tamsuiteui.dll", u"Tams", true},  // the first "ui" ends the prefix
    {u"TamsheetUI.dll", u"TamsheetUI", false},  // compared case-sensitively
    {u"KORVAN.DRV.DLL", u"KORVAN.DRV", false},
};

class PrefixByModuleName : public UiModuleTest, public testing::WithParamInterface<PrefixCase> {};

TEST_P(PrefixByModuleName, PrefixAndDebugText) {
    const PrefixCase& c = GetParam();
    // A resource-only module under the name, in a folder of its own, stands
    // for the module.
    const std::u16string path = std::u16string(u"C:\\Program Files\\Korvan\\Renamed\\") + c.moduleName;
    InstallModule(machine(), "Tamsheetenus.res", path);
    HMODULE renamed = LoadLibraryExW(path.c_str(), nullptr, 0);
    ASSERT_NE(renamed, nullptr) << GetLastError();
    ASSERT_EQ(ModulePath(renamed), path);
    SetUiModule(renamed);
    w32::DebugLogClear();

    WCHAR prefix[UI_PATH_CHARS];
    EXPECT_TRUE(GetDriverBaseName(prefix));
    EXPECT_EQ(std::u16string(prefix), c.prefix);
    std::string log = w32::DebugLogText();
    EXPECT_NE(log.find("Driver prefix: " + Utf8(c.prefix)), std::string::npos) << log;
    EXPECT_EQ(log.find("holds no \"ui\"") == std::string::npos, c.holdsUi) << log;

    // The prefix names the other DLLs.
    WCHAR name[UI_PATH_CHARS];
    SetUserLanguage(0x0409);
    ASSERT_TRUE(BuildLanguageDllName(kDriverName, name));
    EXPECT_EQ(std::u16string(name), std::u16string(c.prefix) + u"enUS.dll");
    SetUiModule(module_);
    FreeLibrary(renamed);
}

INSTANTIATE_TEST_SUITE_P(All, PrefixByModuleName, testing::ValuesIn(kPrefixes));

}  // namespace
}  // namespace tam::test
