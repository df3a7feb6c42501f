// A fresh machine per test with the test printer driver (modules/fakerend.cpp)
// at hand: it installs the driver and printers that use it, sets what the
// driver is to do, and reads back the calls the driver logged.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "machine/debuglog.h"
#include "support/machine_fixture.h"
#include "support/module_install.h"
#include "support/printer_fixture.h"
#include "win32k/drawing.h"
#include "win32k/engine.h"
#include "win32k/engobj.h"

namespace tam::test {

inline constexpr char16_t kFakeDriver[] = u"Korvan Fake Driver";
inline constexpr char16_t kFakePrinter[] = u"Korvan Fake";
// The driver module's name in the driver folder.
inline constexpr char16_t kFakeDriverFile[] = u"testrend.dll";

class EngineTest : public MachineTest {
protected:
    void SetUp() override {
        MachineTest::SetUp();
        w32::DebugLogClear();
        w32::ClearDdiCallLog();
        w32::EnableDdiCallLog(true);
    }

    // The driver, once per machine.
    void InstallFakeDriver() {
        DriverFiles files;
        files.name = kFakeDriver;
        files.driverFile = kFakeDriverFile;
        files.hostFiles[kFakeDriverFile] = BuiltFolder() / "TamFakeRend.dll";
        ASSERT_EQ(InstallDriver(machine(), files), DWORD(ERROR_SUCCESS));
    }

    // A printer of the fake driver, with `devMode` as its default settings.
    void AddFakePrinter(const std::u16string& name = kFakePrinter, const DEVMODEW* devMode = nullptr) {
        PrinterSettings settings;
        settings.devMode = devMode;
        ASSERT_EQ(AddTestPrinter(name, kFakeDriver, settings), DWORD(ERROR_SUCCESS));
    }

    void InstallFakePrinter() {
        InstallFakeDriver();
        AddFakePrinter();
    }

    // What the driver is to do (see modules/fakerend.cpp); empty for its normal answers.
    void SetDriverWishes(const std::u16string& wishes) { machine().SetEnvironment(u"TAM_FAKEREND", &wishes); }

    // The lines the driver logged, without the "testrend " prefix, in order.
    static std::vector<std::string> DriverLog() {
        std::vector<std::string> lines;
        std::istringstream log(w32::DebugLogText());
        for (std::string line; std::getline(log, line);)
            if (line.rfind("testrend ", 0) == 0) lines.push_back(line.substr(9));
        return lines;
    }

    // The functions the driver was called at, in order.
    static std::vector<std::string> DriverCalls() {
        std::vector<std::string> calls;
        for (const std::string& line : DriverLog()) calls.push_back(line.substr(0, line.find(' ')));
        return calls;
    }

    // The first line the driver logged for `function` with `detail` in it; empty when none.
    static std::string DriverLine(const std::string& function, const std::string& detail = "") {
        for (const std::string& line : DriverLog())
            if ((line == function || line.rfind(function + " ", 0) == 0) && line.find(detail) != std::string::npos)
                return line;
        return {};
    }

    // The printer handle DrvEnablePDEV was given (its first call, or the n-th).
    static HANDLE PrinterHandleGiven(size_t n = 0) {
        for (const std::string& line : DriverLog()) {
            size_t at = line.find(" printer=");
            if (line.rfind("DrvEnablePDEV ", 0) != 0 || at == std::string::npos) continue;
            if (n--) continue;
            void* handle = nullptr;
            std::sscanf(line.c_str() + at + 9, "%p", &handle);
            return handle;
        }
        return nullptr;
    }

    static std::vector<std::string> EngineCalls() {
        std::vector<std::string> names;
        for (const w32::DdiCall& call : w32::DdiCallLog()) names.push_back(call.function);
        return names;
    }

    static bool DriverLoaded() { return GetModuleHandleW(kFakeDriverFile) != nullptr; }

    // True when the spooler no longer knows the handle: it was closed.
    static bool PrinterHandleClosed(HANDLE printer) {
        SetLastError(0);
        return !ClosePrinter(printer) && GetLastError() == ERROR_INVALID_HANDLE;
    }

    // A DEVMODE with `extra` driver bytes of value 0x11.
    static std::vector<BYTE> MakeDevMode(short paper, short copies, short quality = 0, WORD extra = 0) {
        std::vector<BYTE> bytes(sizeof(DEVMODEW) + extra, 0x11);
        DEVMODEW dm{};
        std::memcpy(dm.dmDeviceName, kFakePrinter, sizeof(kFakePrinter));
        dm.dmSpecVersion = DM_SPECVERSION;
        dm.dmSize = sizeof(DEVMODEW);
        dm.dmDriverExtra = extra;
        dm.dmFields = DM_PAPERSIZE | DM_COPIES | (quality ? DM_PRINTQUALITY : 0);
        dm.dmPaperSize = paper;
        dm.dmCopies = copies;
        dm.dmPrintQuality = quality;
        std::memcpy(bytes.data(), &dm, sizeof(dm));
        return bytes;
    }
    static const DEVMODEW* AsDevMode(const std::vector<BYTE>& bytes) {
        return reinterpret_cast<const DEVMODEW*>(bytes.data());
    }
};

// A printer device of the test driver to draw on through the engine, with
// the driver's log started after the device is enabled.
class DeviceDrawingTest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        InstallFakePrinter();
    }
    void TearDown() override {
        if (device_) w32::DisablePrinterDevice(*device_);
        EngineTest::TearDown();
    }

    // A device with the driver's wishes (the one made before goes first).
    w32::DrawContext Device(const std::u16string& wishes = u"") {
        if (device_) w32::DisablePrinterDevice(*device_);
        SetDriverWishes(wishes);
        HANDLE printer = nullptr;
        EXPECT_TRUE(OpenPrinterW(kFakePrinter, &printer, nullptr));
        device_ = w32::EnablePrinterDevice(printer, kFakePrinter, nullptr, false);
        EXPECT_NE(device_, nullptr);
        w32::DrawContext dc;
        if (!device_) return dc;
        dc.target.surface = w32::LookupSurface(device_->pdev->surface);
        dc.target.device = device_.get();
        w32::DebugLogClear();
        w32::ClearDdiCallLog();
        return dc;
    }

    // The driver's drawing calls, without the enabling ones.
    static std::vector<std::string> DrawingCalls() {
        std::vector<std::string> calls;
        for (const std::string& call : DriverCalls())
            if (call != "DrvEnablePDEV" && call != "DrvCompletePDEV" && call != "DrvEnableSurface")
                calls.push_back(call);
        return calls;
    }

    std::shared_ptr<w32::PrinterDevice> device_;
};

}  // namespace tam::test
