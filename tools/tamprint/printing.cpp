// The print tool's machine and its print job.
#include "printing.h"

#include <windows.h>
#include <winddiui.h>
#include <winspool.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <exception>
#include <random>
#include <thread>

#include "machine/machine.h"
#include "machine/unicode.h"
#include "machinesetup/machinesetup.h"
#include "winspool/jobs.h"

namespace tamprint {
namespace {

using tam::setup::kKorvanLaser;

struct ErrorName {
    DWORD code;
    const char* text;
};

// The errors the print path reports, with their system texts.
const ErrorName kErrorTexts[] = {
    {ERROR_FILE_NOT_FOUND, "The system cannot find the file specified."},
    {ERROR_PATH_NOT_FOUND, "The system cannot find the path specified."},
    {ERROR_ACCESS_DENIED, "Access is denied."},
    {ERROR_INVALID_HANDLE, "The handle is invalid."},
    {ERROR_NOT_ENOUGH_MEMORY, "Not enough memory resources are available to process this command."},
    {ERROR_OUTOFMEMORY, "Not enough memory resources are available to complete this operation."},
    {ERROR_WRITE_FAULT, "The system cannot write to the specified device."},
    {ERROR_NOT_SUPPORTED, "The request is not supported."},
    {ERROR_INVALID_PARAMETER, "The parameter is incorrect."},
    {ERROR_DISK_FULL, "There is not enough space on the disk."},
    {ERROR_CALL_NOT_IMPLEMENTED, "This function is not supported on this system."},
    {ERROR_INSUFFICIENT_BUFFER, "The data area passed to a system call is too small."},
    {ERROR_MOD_NOT_FOUND, "The specified module could not be found."},
    {ERROR_PROC_NOT_FOUND, "The specified procedure could not be found."},
    {ERROR_INVALID_PRINTER_NAME, "The printer name is invalid."},
    {ERROR_UNKNOWN_PRINTER_DRIVER, "The printer driver is unknown."},
    {ERROR_INVALID_DATATYPE, "The specified datatype is invalid."},
    {ERROR_INVALID_PRINTER_STATE, "The state of the printer is invalid."},
};

// The settings of one page: the document's, with the page's own
// orientation, as an application changes it before ResetDC.
UiDevmode PageSettings(const UiDevmode& document, const PageDescription& page) {
    UiDevmode settings = document;
    if (page.orientation) settings.pub.dmOrientation = *page.orientation;
    return settings;
}

bool SameSettings(const UiDevmode& a, const UiDevmode& b) { return std::memcmp(&a, &b, sizeof(UiDevmode)) == 0; }

bool Fail(Failure& failure, const std::string& what, DWORD error) {
    failure = Failure{what + ": " + Win32ErrorText(error), false};
    return false;
}

}  // namespace

std::string Win32ErrorText(DWORD error) {
    std::string text = "error " + std::to_string(error);
    for (const ErrorName& known : kErrorTexts)
        if (known.code == error) return text + ": " + known.text;
    return text;
}

MachineSession::~MachineSession() {
    if (!open_) return;
    try {
        w32::Machine::CloseCurrent();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "tamprint: the machine could not be saved: %s\n", e.what());
    }
}

bool MachineSession::Open(const std::filesystem::path& folder, Failure& failure) {
    // A machine is used by one process at a time: while another run (or
    // another program) has it, this one waits for it. The choice between
    // making and opening is made again after each wait, since the other run
    // may have made the machine meanwhile.
    bool waitShown = false;
    for (;;) {
        std::error_code ec;
        // A new or empty folder gets a machine; any other folder must hold
        // one, so that a mistyped --machine never fills a folder of the
        // user's with a machine's files.
        const bool make = !std::filesystem::exists(folder, ec) ||
                          (std::filesystem::is_directory(folder, ec) && std::filesystem::is_empty(folder, ec));
        try {
            if (make)
                w32::Machine::Create(folder);
            else
                w32::Machine::Open(folder);
            break;
        } catch (const w32::MachineBusy&) {
            if (!waitShown) {
                std::fprintf(stderr, "tamprint: waiting for another program using the machine in %s\n",
                             folder.c_str());
                waitShown = true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        } catch (const std::exception& e) {
            // Another run made the machine between the look and the making.
            if (make && !std::filesystem::is_empty(folder, ec) && !ec) continue;
            failure = Failure{"cannot use the machine folder " + folder.string() + ": " + e.what(), true};
            return false;
        }
    }
    open_ = true;
    const tam::setup::DriverFiles files = tam::setup::TamrendDriverFiles();
    const auto missing = tam::setup::MissingHostFiles(files);
    if (!missing.empty()) {
        failure = Failure{"the driver is not built: " + missing.front().string() + " is missing"};
        return false;
    }
    HANDLE printer = nullptr;
    if (OpenPrinterW(const_cast<LPWSTR>(kKorvanLaser), &printer, nullptr)) {
        ClosePrinter(printer);
        try {
            tam::setup::RefreshDriverFiles(w32::Machine::Current(), files);
        } catch (const std::exception& e) {
            failure = Failure{std::string("cannot update the driver's files on the machine: ") + e.what()};
            return false;
        }
        return true;
    }
    if (GetLastError() != ERROR_INVALID_PRINTER_NAME)
        return Fail(failure, "cannot open the printer \"Korvan Laser\"", GetLastError());
    return Install(failure);
}

// The package as its installer leaves it: the driver's files in the driver
// folder, the driver registered, and the printer added with the driver's
// default settings, which the spooler asks the driver for
// (DrvConvertDevMode's CDM_DRIVER_DEFAULT), as the printer's settings.
bool MachineSession::Install(Failure& failure) {
    w32::Machine& machine = w32::Machine::Current();
    try {
        if (DWORD status = tam::setup::InstallDriver(machine, tam::setup::TamrendDriverFiles()))
            return Fail(failure, "cannot install the driver", status);
    } catch (const std::exception& e) {
        failure = Failure{std::string("cannot install the driver: ") + e.what()};
        return false;
    }
    if (DWORD status = tam::setup::AddPrinterUsing(kKorvanLaser, tam::setup::kTamrendDriver))
        return Fail(failure, "cannot add the printer \"Korvan Laser\"", status);
    installed_ = true;

    UiDevmode defaults{};
    LONG size = sizeof(defaults);
    if (!ConvertDevMode(kKorvanLaser, nullptr, &defaults.pub, &size, CDM_DRIVER_DEFAULT))
        return Fail(failure, "the driver gives no default settings for \"Korvan Laser\"", GetLastError());
    HANDLE printer = nullptr;
    PRINTER_DEFAULTSW access{nullptr, nullptr, PRINTER_ALL_ACCESS};
    if (!OpenPrinterW(const_cast<LPWSTR>(kKorvanLaser), &printer, &access))
        return Fail(failure, "cannot open the printer \"Korvan Laser\"", GetLastError());
    PRINTER_INFO_8W level8{&defaults.pub};
    const BOOL stored = SetPrinterW(printer, 8, reinterpret_cast<LPBYTE>(&level8), 0);
    const DWORD error = GetLastError();
    ClosePrinter(printer);
    if (!stored) return Fail(failure, "cannot store the settings of \"Korvan Laser\"", error);
    return true;
}

// The size of the driver's DEVMODE first, then the settings themselves.
bool ReadDriverSettings(UiDevmode& settings, Failure& failure) {
    WCHAR printer[] = u"Korvan Laser";
    const LONG size = DocumentPropertiesW(nullptr, nullptr, printer, nullptr, nullptr, 0);
    if (size < 0) return Fail(failure, "the driver gives no settings for \"Korvan Laser\"", GetLastError());
    if (size != LONG(sizeof(settings))) {
        failure = Failure{"the driver's settings are " + std::to_string(size) + " bytes, not the " +
                          std::to_string(sizeof(settings)) + " this tool writes"};
        return false;
    }
    settings = UiDevmode{};
    if (DocumentPropertiesW(nullptr, nullptr, printer, &settings.pub, nullptr, DM_OUT_BUFFER) != IDOK)
        return Fail(failure, "the driver gives no settings for \"Korvan Laser\"", GetLastError());
    return true;
}

bool OnScratchMachine(const std::function<bool(std::string& error)>& task, std::string& error) {
    std::random_device random;
    const std::filesystem::path folder = std::filesystem::temp_directory_path() /
                                         ("tamprint-scratch-" + std::to_string(random()) + std::to_string(random()));
    bool done = false;
    try {
        w32::Machine& machine = w32::Machine::Create(folder);
        if (DWORD status = tam::setup::InstallKorvanLaser(machine, nullptr))
            error = "cannot install the driver on a machine of the tool's own: " + Win32ErrorText(status);
        else
            done = task(error);
    } catch (const std::exception& e) {
        error = std::string("cannot make a machine of the tool's own: ") + e.what();
    }
    try {
        w32::Machine::CloseCurrent();
    } catch (const std::exception&) {
        // Nothing of it is kept.
    }
    std::error_code ec;
    std::filesystem::remove_all(folder, ec);
    return done;
}

bool PrintDocument(const Document& document, const UiDevmode& settings, const ProgressFunction& progress,
                   SpooledJob& job, Failure& failure) {
    HDC dc = CreateDCW(u"WINSPOOL", kKorvanLaser, nullptr, &settings.pub);
    if (!dc) return Fail(failure, "CreateDC for \"Korvan Laser\" failed", GetLastError());
    const std::u16string title = w32::FromUtf8(document.title);
    DOCINFOW info{};
    info.cbSize = sizeof(info);
    info.lpszDocName = title.c_str();
    const int jobId = StartDocW(dc, &info);
    if (jobId <= 0) {
        const DWORD error = GetLastError();
        DeleteDC(dc);
        return Fail(failure, "StartDoc failed", error);
    }
    auto abandon = [&](const std::string& what) {
        const DWORD error = GetLastError();
        AbortDoc(dc);
        DeleteDC(dc);
        return Fail(failure, what, error);
    };

    UiDevmode current = settings;
    const size_t total = document.pages.size();
    for (size_t i = 0; i < total; ++i) {
        const std::string page = "page " + std::to_string(i + 1);
        const UiDevmode wanted = PageSettings(settings, document.pages[i]);
        if (!SameSettings(wanted, current)) {
            if (!ResetDCW(dc, &wanted.pub)) return abandon("ResetDC before " + page + " failed");
            current = wanted;
        }
        if (StartPage(dc) <= 0) return abandon("StartPage (" + page + ") failed");
        // The frame is asked on each page: a page of its own orientation
        // turns the printable area and its offsets.
        const std::vector<DrawItem>& items = document.pages[i].draw;
        if (!items.empty()) {
            const DeviceFrame frame = FrameOf(dc);
            for (size_t k = 0; k < items.size(); ++k)
                if (!DrawShape(dc, frame, items[k]))
                    return abandon("drawing shape " + std::to_string(k + 1) + " of " + page + " failed");
        }
        if (EndPage(dc) <= 0) return abandon("EndPage (" + page + ") failed");
        if (progress) progress(i + 1, total);
    }
    if (EndDoc(dc) <= 0) {
        const DWORD error = GetLastError();
        DeleteDC(dc);
        return Fail(failure, "EndDoc failed", error);
    }
    DeleteDC(dc);

    const auto record = w32::FindJob(DWORD(jobId));
    if (!record || record->state != w32::JobState::Printed) {
        failure = Failure{"the spooler did not finish job " + std::to_string(jobId)};
        return false;
    }
    job.id = DWORD(jobId);
    job.file = w32::JobHostPath(job.id);
    return true;
}

}  // namespace tamprint
