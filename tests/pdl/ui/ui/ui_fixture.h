// The unit tests' view of TamsheetUI: the module installed on the machine and
// loaded, and the code under test told that it is that module, so that its
// module paths lead to the machine's driver folder.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>

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
        module_ = LoadLibraryW(InDriverFolder(u"Tamsheetui.dll").c_str());
        ASSERT_NE(module_, nullptr) << GetLastError();
        SetUiModule(module_);
        w32::DebugLogClear();
    }

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

inline std::string Utf8(const std::u16string& text) { return w32::ToUtf8(text); }

}  // namespace tam::test
