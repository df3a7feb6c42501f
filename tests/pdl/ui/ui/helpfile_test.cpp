// The help file and HTML Help.
#include <htmlhelp.h>

#include "hhctrl/hhctrl.h"
#include "ui_fixture.h"

namespace tam::test {
namespace {

class HelpFile : public UiModuleTest {
protected:
    void SetUp() override {
        UiModuleTest::SetUp();
        w32::ClearHtmlHelpRequests();
    }
    void PutHelpFile(std::u16string_view name) { PutMachineFile(machine(), InDriverFolder(name)); }
};

struct HelpCase {
    bool withEnGB;
    bool withEn;
    bool withEnus;
    const char16_t* used;
};
void PrintTo(const HelpCase& c, std::ostream* os) { *os << Utf8(c.used); }

const HelpCase kHelpFiles[] = {
    {true, true, true, u"TamsheetenGB.chm"},
    {false, true, true, u"Tamsheeten.chm"},
    {false, false, true, u"Tamsheetenus.chm"},
    {true, false, false, u"TamsheetenGB.chm"},
    {false, false, false, u"Tamsheetenus.chm"},  // none: the last candidate all the same
};

class HelpFilePath : public HelpFile, public testing::WithParamInterface<HelpCase> {};

TEST_P(HelpFilePath, FirstThatExists) {
    const HelpCase& c = GetParam();
    SetUserLanguage(0x0809);
    if (c.withEnGB) PutHelpFile(u"TamsheetenGB.chm");
    if (c.withEn) PutHelpFile(u"Tamsheeten.chm");
    if (c.withEnus) PutHelpFile(u"Tamsheetenus.chm");
    WCHAR path[UI_PATH_CHARS];
    GetHelpFilePath(kDriverName, path);
    EXPECT_EQ(std::u16string(path), InDriverFolder(c.used));
}

INSTANTIATE_TEST_SUITE_P(All, HelpFilePath, testing::ValuesIn(kHelpFiles));

TEST_F(HelpFile, RegistrySuffixNamesTheHelpFile) {
    SetSuffixKey(u"deDE");
    PutHelpFile(u"Tamsheetde.chm");
    WCHAR path[UI_PATH_CHARS];
    GetHelpFilePath(kDriverName, path);
    EXPECT_EQ(std::u16string(path), InDriverFolder(u"Tamsheetde.chm"));
    // The help file is no language DLL name: no flag is set.
    SetSuffixKey(u"de");
    GetHelpFilePath(kDriverName, path);
    EXPECT_EQ(std::u16string(path), InDriverFolder(u"Tamsheetde.chm"));
    EXPECT_FALSE(IsDecimalCommaLanguage());
}

TEST_F(HelpFile, TopicZeroShowsTheFileOtherTopicsOpenTheirContext) {
    PutHelpFile(u"TamsheetenUS.chm");
    HWND owner = GetActiveWindow();
    ShowHelpTopic(owner, 0, kDriverName);
    ShowHelpTopic(owner, 4711, kDriverName);
    auto requests = w32::HtmlHelpRequests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].caller, owner);
    EXPECT_EQ(requests[0].file, InDriverFolder(u"TamsheetenUS.chm"));
    EXPECT_EQ(requests[0].command, UINT(HH_DISPLAY_TOPIC));
    EXPECT_EQ(requests[0].data, 0u);
    EXPECT_NE(requests[0].shown, nullptr);
    EXPECT_EQ(requests[1].file, InDriverFolder(u"TamsheetenUS.chm"));
    EXPECT_EQ(requests[1].command, UINT(HH_HELP_CONTEXT));
    EXPECT_EQ(requests[1].data, 4711u);
    EXPECT_NE(requests[1].shown, nullptr);
}

TEST_F(HelpFile, MissingHelpFileIsStillAskedFor) {
    ShowHelpTopic(nullptr, 12, kDriverName);
    auto requests = w32::HtmlHelpRequests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].file, InDriverFolder(u"Tamsheetenus.chm"));
    EXPECT_EQ(requests[0].command, UINT(HH_HELP_CONTEXT));
    EXPECT_EQ(requests[0].shown, nullptr);  // the viewer found no file
}

TEST_F(HelpFile, UnusableRegistrationFallsBackToTheModuleName) {
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Classes\\CLSID\\" CLSID_HHCtrl_String u"\\InprocServer32", 0,
                            KEY_SET_VALUE, &key),
              ERROR_SUCCESS);
    const char16_t missing[] = u"C:\\Nowhere\\hhctrl.ocx";
    ASSERT_EQ(RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(missing), sizeof(missing)),
              ERROR_SUCCESS);
    RegCloseKey(key);
    PutHelpFile(u"Tamsheetenus.chm");
    ShowHelpTopic(nullptr, 0, kDriverName);
    auto requests = w32::HtmlHelpRequests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].command, UINT(HH_DISPLAY_TOPIC));
    EXPECT_NE(GetModuleHandleW(u"hhctrl.ocx"), nullptr);
}

}  // namespace
}  // namespace tam::test
