// The unit tests' view of TamsheetUI: the module installed on the machine and
// loaded, and the code under test told that it is that module, so that its
// module paths lead to the machine's driver folder.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>
#include <winspool.h>

#include <string>

#include "machine/debuglog.h"
#include "machine/unicode.h"
#include "support/tamsheetui_fixture.h"
#include "ui/ui/resdll.h"

namespace tam::test {

constexpr char16_t kDriverName[] = u"Korvan Tam 5000 PCL XL";

class UiModuleTest : public TamsheetUiMachineTest {
protected:
    void SetUp() override {
        TamsheetUiMachineTest::SetUp();
        BeforeLoading();
        if (HasFatalFailure()) return;
        module_ = LoadLibraryW(InDriverFolder(u"Tamsheetui.dll").c_str());
        ASSERT_NE(module_, nullptr) << GetLastError();
        SetUiModule(module_);
        w32::DebugLogClear();
    }

    // What a fixture puts on the machine before the module is loaded: a
    // module file must not be rewritten while the process has it loaded.
    virtual void BeforeLoading() {}

    void TearDown() override {
        SetUiModule(nullptr);
        if (module_) FreeLibrary(module_);
        TamsheetUiMachineTest::TearDown();
    }

    // HKLM\Software\<driver name>, with its "Suffix" value when one is given.
    static void SetSuffixKey(const char16_t* suffix, const char16_t* driverName = kDriverName) {
        HKEY key = nullptr;
        std::u16string name = std::u16string(u"Software\\") + driverName;
        ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, name.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                                  nullptr),
                  ERROR_SUCCESS);
        if (suffix) {
            std::u16string value(suffix);
            ASSERT_EQ(RegSetValueExW(key, u"Suffix", 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                                     DWORD((value.size() + 1) * sizeof(WCHAR))),
                      ERROR_SUCCESS);
        }
        RegCloseKey(key);
    }

    void SetUserLanguage(LANGID language) { machine().MutableSettings().userLanguage = language; }

    void RemoveFromDriverFolder(std::u16string_view fileName) {
        ASSERT_TRUE(DeleteFileW(InDriverFolder(fileName).c_str())) << w32::ToUtf8(fileName);
    }

    static std::u16string ModulePath(HMODULE module) {
        WCHAR path[MAX_PATH];
        DWORD length = GetModuleFileNameW(module, path, MAX_PATH);
        return std::u16string(path, length);
    }

    static std::u16string String(HMODULE module, UINT id) {
        WCHAR text[256];
        int length = LoadStringW(module, id, text, 256);
        return std::u16string(text, length > 0 ? size_t(length) : 0);
    }

    HMODULE module_ = nullptr;
};

// A printer whose driver has TamsheetUI as its configuration file, as an
// installed driver has: the spooler's calls that go to the user interface
// (ConvertDevMode and the like) load the same module the test loaded.
constexpr char16_t kUiPrinterName[] = u"Korvan Tam 5000";

class UiPrinterTest : public UiModuleTest {
protected:
    void BeforeLoading() override {
        DriverFiles driver;
        driver.name = kDriverName;
        driver.configFile = u"Tamsheetui.dll";
        driver.dependentFiles = {u"Tamsheetenus.dll", u"TamsheetResBmp.dll"};
        const auto built = tam::setup::BuiltFolder();
        driver.hostFiles[u"Tamsheetui.dll"] = built / "Tamsheetui.dll";
        driver.hostFiles[u"Tamsheetenus.dll"] = built / "Tamsheetenus.res";
        driver.hostFiles[u"TamsheetResBmp.dll"] = built / "TamsheetResBmp.res";
        ASSERT_EQ(InstallPrinter(machine(), driver, kUiPrinterName), DWORD(ERROR_SUCCESS));
    }

    void TearDown() override {
        if (printer_) ClosePrinter(printer_);
        UiModuleTest::TearDown();
    }

    // The printer, opened once with every right (null when it cannot be).
    HANDLE Printer() {
        if (!printer_) {
            PRINTER_DEFAULTSW defaults{nullptr, nullptr, PRINTER_ALL_ACCESS};
            if (!OpenPrinterW(kUiPrinterName, &printer_, &defaults)) printer_ = nullptr;
        }
        return printer_;
    }

    // An export of the loaded module.
    template <class Function>
    Function Export(const char* name) const {
        return reinterpret_cast<Function>(GetProcAddress(module_, name));
    }

private:
    HANDLE printer_ = nullptr;
};

inline std::string Utf8(const std::u16string& text) { return w32::ToUtf8(text); }

}  // namespace tam::test
