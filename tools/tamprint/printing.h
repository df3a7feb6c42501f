// The print tool's machine and its print job: opening (or making) the
// machine with the driver installed, and printing a document through GDI
// as an application does.
#pragma once
#include <windows.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "document.h"
#include "settings.h"

namespace tamprint {

// A failure with its message; `usage` marks one caused by what the user
// gave (exit code 2) rather than by the driver, the spooler or the machine
// (exit code 1).
struct Failure {
    std::string message;
    bool usage = false;
};

// "error 50: The request is not supported." for a Win32 error code.
std::string Win32ErrorText(DWORD error);

// The machine in `folder`, current while this object lives: opened, or made
// when the folder holds none; the driver installed and the printer "Korvan
// Laser" added when missing, the driver's files refreshed from the build
// when they differ. Closing saves the machine.
class MachineSession {
public:
    MachineSession() = default;
    MachineSession(const MachineSession&) = delete;
    MachineSession& operator=(const MachineSession&) = delete;
    ~MachineSession();

    bool Open(const std::filesystem::path& folder, Failure& failure);

    // The printer's settings as its driver gives them (DocumentPropertiesW).
    bool DriverSettings(UiDevmode& settings, Failure& failure) const;
    bool Installed() const { return installed_; }  // this run installed the driver

private:
    bool Install(Failure& failure);

    bool open_ = false;
    bool installed_ = false;
};

// Told after each page with the pages done and the pages in all.
using ProgressFunction = std::function<void(size_t done, size_t total)>;

// A job the spooler holds: its id and the host file of its bytes.
struct SpooledJob {
    DWORD id = 0;
    std::filesystem::path file;
};

// Prints `document` with `settings` on "Korvan Laser" of the current machine
// and says where the spooler keeps the job. A page with settings of its own
// is printed with ResetDC to them before it (and back after it). On failure
// the document is aborted.
bool PrintDocument(const Document& document, const UiDevmode& settings, const ProgressFunction& progress,
                   SpooledJob& job, Failure& failure);

}  // namespace tamprint
