// HTML Help as programs find it: by its class's registration or by name, and
// its entry point by ordinal.
#include <gtest/gtest.h>
#include <windows.h>

#include <ostream>
#include <htmlhelp.h>

#include <string>

#include "hhctrl/hhctrl.h"
#include "support/machine_fixture.h"
#include "support/printer_fixture.h"

namespace tam::test {
namespace {

class HelpViewer : public MachineTest {
protected:
    void SetUp() override {
        MachineTest::SetUp();
        w32::ClearHtmlHelpRequests();
    }

    static std::u16string RegisteredServer() {
        HKEY key = nullptr;
        EXPECT_EQ(RegOpenKeyExW(HKEY_CLASSES_ROOT, u"CLSID\\" CLSID_HHCtrl_String u"\\InprocServer32", 0, KEY_READ, &key),
                  ERROR_SUCCESS);
        WCHAR value[MAX_PATH] = {};
        DWORD type = 0, size = sizeof(value);
        EXPECT_EQ(RegQueryValueExW(key, nullptr, nullptr, &type, reinterpret_cast<LPBYTE>(value), &size), ERROR_SUCCESS);
        EXPECT_EQ(type, DWORD(REG_SZ));
        RegCloseKey(key);
        return value;
    }
};

TEST_F(HelpViewer, RegisteredOnAFreshMachine) {
    EXPECT_EQ(RegisteredServer(), u"C:\\Windows\\System32\\hhctrl.ocx");
}

TEST_F(HelpViewer, LoadsByNameAndByRegisteredPathAsOneModule) {
    HMODULE byName = LoadLibraryW(u"hhctrl.ocx");
    ASSERT_NE(byName, nullptr);
    HMODULE byPath = LoadLibraryW(RegisteredServer().c_str());
    EXPECT_EQ(byPath, byName);
    WCHAR path[MAX_PATH];
    DWORD length = GetModuleFileNameW(byName, path, MAX_PATH);
    EXPECT_EQ(std::u16string(path, length), u"C:\\Windows\\System32\\hhctrl.ocx");

    // Export 15 is HtmlHelpW, also reachable by its name.
    FARPROC byOrdinal = GetProcAddress(byName, MAKEINTRESOURCEA(HTMLHELP_ORDINAL_W));
    EXPECT_EQ(byOrdinal, reinterpret_cast<FARPROC>(&HtmlHelpW));
    EXPECT_EQ(GetProcAddress(byName, "HtmlHelpW"), byOrdinal);
    SetLastError(0);
    EXPECT_EQ(GetProcAddress(byName, MAKEINTRESOURCEA(14)), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_PROC_NOT_FOUND));
    FreeLibrary(byPath);
    FreeLibrary(byName);
}

struct RequestCase {
    UINT command;
    DWORD_PTR data;
    bool fileExists;
    bool shown;
};
void PrintTo(const RequestCase& c, std::ostream* os) {
    *os << "command " << c.command << (c.fileExists ? " with file" : " without file");
}

const RequestCase kRequests[] = {
    {HH_DISPLAY_TOPIC, 0, true, true},      {HH_HELP_CONTEXT, 4711, true, true},
    {HH_DISPLAY_TOPIC, 0, false, false},    {HH_HELP_CONTEXT, 4711, false, false},
    {HH_CLOSE_ALL, 0, true, false},
};

class HtmlHelpRequest : public HelpViewer, public testing::WithParamInterface<RequestCase> {};

TEST_P(HtmlHelpRequest, RecordedAndAnswered) {
    const RequestCase& c = GetParam();
    const std::u16string file = u"C:\\Windows\\Help\\korvan.chm";
    if (c.fileExists) PutMachineFile(machine(), file);
    HMODULE module = LoadLibraryW(u"hhctrl.ocx");
    ASSERT_NE(module, nullptr);
    auto htmlHelp = reinterpret_cast<PFN_HtmlHelpW>(GetProcAddress(module, MAKEINTRESOURCEA(HTMLHELP_ORDINAL_W)));
    ASSERT_NE(htmlHelp, nullptr);
    HWND caller = GetActiveWindow();
    // A topic inside the file does not change which file is looked for.
    std::u16string asked = c.command == HH_HELP_CONTEXT ? file : file + u"::/intro.htm";
    HWND shown = htmlHelp(caller, asked.c_str(), c.command, c.data);
    EXPECT_EQ(shown != nullptr, c.shown);

    auto requests = w32::HtmlHelpRequests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].caller, caller);
    EXPECT_EQ(requests[0].file, asked);
    EXPECT_EQ(requests[0].command, c.command);
    EXPECT_EQ(requests[0].data, c.data);
    EXPECT_EQ(requests[0].shown, shown);
    FreeLibrary(module);
}

INSTANTIATE_TEST_SUITE_P(All, HtmlHelpRequest, testing::ValuesIn(kRequests));

TEST_F(HelpViewer, CommandsTheStandInLacksFailAsNotImplemented) {
    SetLastError(0);
    EXPECT_EQ(HtmlHelpW(nullptr, u"C:\\x.chm", 0x001C, 0), nullptr);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_CALL_NOT_IMPLEMENTED));
    EXPECT_EQ(w32::HtmlHelpRequests().size(), 1u);
}

}  // namespace
}  // namespace tam::test
