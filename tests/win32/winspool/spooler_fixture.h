// A fresh machine per test, with helpers that keep spooler tests short.
// Printer handles opened through the helpers are closed when the test ends.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "machine/debuglog.h"
#include "support/machine_fixture.h"
#include "support/printer_fixture.h"

namespace tam::test {

class SpoolerTest : public MachineTest {
protected:
    void TearDown() override {
        for (HANDLE handle : handles_) ClosePrinter(handle);
        handles_.clear();
        MachineTest::TearDown();
    }

    // Null when the printer cannot be opened (the last error says why).
    HANDLE Open(const std::u16string& name, ACCESS_MASK access = PRINTER_ALL_ACCESS) {
        PRINTER_DEFAULTSW defaults{nullptr, nullptr, access};
        HANDLE handle = nullptr;
        if (!OpenPrinterW(name.c_str(), &handle, &defaults)) return nullptr;
        handles_.push_back(handle);
        return handle;
    }

    void Track(HANDLE handle) { handles_.push_back(handle); }

    // Calls a Get or Enum function the way programs do: once with no buffer
    // for the size (checking ERROR_INSUFFICIENT_BUFFER), then with a buffer of
    // that size. `call(buffer, size, &needed, &returned)` gives the BOOL.
    template <class Call>
    static std::vector<BYTE> Fetch(Call call, DWORD* count = nullptr) {
        DWORD needed = 0, returned = 12345;
        SetLastError(0xdeadbeef);
        if (call(nullptr, 0, &needed, &returned)) {
            EXPECT_EQ(needed, 0u);
            if (count) *count = returned;
            return {};
        }
        EXPECT_EQ(GetLastError(), DWORD(ERROR_INSUFFICIENT_BUFFER));
        EXPECT_GT(needed, 0u);
        std::vector<BYTE> buffer(needed);
        DWORD again = 0;
        returned = 12345;
        EXPECT_TRUE(call(buffer.data(), needed, &again, &returned)) << "error " << GetLastError();
        EXPECT_EQ(again, needed);
        if (count) *count = returned;
        return buffer;
    }

    static std::vector<BYTE> GetPrinterBytes(HANDLE printer, DWORD level) {
        return Fetch([&](LPBYTE b, DWORD n, LPDWORD need, LPDWORD) { return GetPrinterW(printer, level, b, n, need); });
    }

    static std::vector<BYTE> EnumPrinterBytes(DWORD flags, DWORD level, DWORD& count) {
        return Fetch([&](LPBYTE b, DWORD n, LPDWORD need,
                         LPDWORD ret) { return EnumPrintersW(flags, nullptr, level, b, n, need, ret); },
                     &count);
    }

    // The names EnumPrintersW gives at level 4, in its order.
    static std::vector<std::u16string> PrinterNames() {
        DWORD count = 0;
        std::vector<BYTE> buffer = EnumPrinterBytes(PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS, 4, count);
        std::vector<std::u16string> names;
        auto* info = reinterpret_cast<PRINTER_INFO_4W*>(buffer.data());
        for (DWORD i = 0; i < count; ++i) names.push_back(info[i].pPrinterName);
        return names;
    }

    // A string the spooler gave; "<null>" for none, so that a missing string
    // shows in a comparison.
    static std::u16string Str(LPCWSTR text) { return text ? std::u16string(text) : std::u16string(u"<null>"); }

    static std::vector<std::u16string> List(LPCWSTR list) {
        std::vector<std::u16string> items;
        for (const WCHAR* p = list; p && *p; p += std::char_traits<char16_t>::length(p) + 1) items.emplace_back(p);
        return items;
    }

    // A printer's DEVMODE with `extra` bytes of driver data (0x5A each).
    static std::vector<BYTE> MakeDevMode(const std::u16string& device, short paper, short copies, WORD extra = 0) {
        std::vector<BYTE> bytes(sizeof(DEVMODEW) + extra, 0x5A);
        DEVMODEW dm{};
        std::memcpy(dm.dmDeviceName, device.c_str(), std::min<size_t>(device.size(), 31) * 2);
        dm.dmSpecVersion = DM_SPECVERSION;
        dm.dmSize = sizeof(DEVMODEW);
        dm.dmDriverExtra = extra;
        dm.dmFields = DM_PAPERSIZE | DM_COPIES;
        dm.dmPaperSize = paper;
        dm.dmCopies = copies;
        std::memcpy(bytes.data(), &dm, sizeof(dm));
        return bytes;
    }
    static const DEVMODEW* AsDevMode(const std::vector<BYTE>& bytes) {
        return reinterpret_cast<const DEVMODEW*>(bytes.data());
    }
    static std::vector<BYTE> DevModeBytes(const DEVMODEW* dm) {
        if (!dm) return {};
        const BYTE* p = reinterpret_cast<const BYTE*>(dm);
        return std::vector<BYTE>(p, p + dm->dmSize + dm->dmDriverExtra);
    }

    // A driver with placeholder files, and a printer "Korvan Laser" on FILE:.
    DWORD AddLaser(const PrinterSettings& settings = {}) {
        return InstallPrinter(machine(), DriverFiles{}, u"Korvan Laser", settings);
    }

private:
    std::vector<HANDLE> handles_;
};

// A spooler test whose machine has the printer "Korvan Laser", opened with
// all access in printer_.
class LaserPrinterTest : public SpoolerTest {
protected:
    void SetUp() override {
        SpoolerTest::SetUp();
        ASSERT_EQ(AddLaser(), DWORD(ERROR_SUCCESS));
        printer_ = Open(u"Korvan Laser");
        ASSERT_NE(printer_, nullptr);
    }

    HANDLE printer_ = nullptr;
};

// A printer whose driver's configuration file, its user-interface DLL, is a
// test module: the calls the spooler hands to that DLL can then be watched.
class UiDriverPrinterTest : public SpoolerTest {
protected:
    // Installs `printer` with a driver named after it whose configuration
    // file is `configFile`: the built module `builtModule`, or a placeholder
    // file when none is given. The debug log starts empty.
    void InstallWithConfigFile(const std::u16string& printer, const std::u16string& configFile,
                               const char* builtModule) {
        DriverFiles driver;
        driver.name = printer + u" Driver";
        driver.configFile = configFile;
        if (builtModule) driver.hostFiles[configFile] = tam::setup::BuiltFolder() / builtModule;
        ASSERT_EQ(InstallPrinter(machine(), driver, printer), DWORD(ERROR_SUCCESS));
        w32::DebugLogClear();
    }
    std::u16string ConfigPath(const std::u16string& configFile) const {
        return DriverFolder(machine()) + u"\\" + configFile;
    }
};

}  // namespace tam::test
