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

    bool Installed() const { return installed_; }  // this run installed the driver

private:
    bool Install(Failure& failure);

    bool open_ = false;
    bool installed_ = false;
};

// The settings of the printer "Korvan Laser" of the current machine as its
// driver gives them to a program (DocumentPropertiesW).
bool ReadDriverSettings(UiDevmode& settings, Failure& failure);

// Runs `task` before the tool has opened its machine: on a machine of its
// own, made for the task in a temporary folder with the driver installed from
// the build as on any machine of the tool, and removed again, so that no
// machine of the user's is touched. False with a message when the machine
// cannot be made or the task fails.
bool OnScratchMachine(const std::function<bool(std::string& error)>& task, std::string& error);

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
