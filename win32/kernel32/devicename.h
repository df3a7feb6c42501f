// Names that are not files: named pipes (\\.\pipe\name) and devices (\\.\name,
// \\?\usb#...). CreateFileW hands them here; the layer's pipes and devices
// register an opener for their kind of name.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

#include "machine/paths.h"

namespace w32 {

struct SpecialOpenRequest {
    std::u16string path;  // as the caller gave it
    PathKind kind = PathKind::Pipe;
    DWORD access = 0;     // generic rights already mapped
    DWORD share = 0;
    DWORD disposition = 0;
    DWORD flagsAndAttributes = 0;
};

// Returns a handle, or INVALID_HANDLE_VALUE with the last error set.
using SpecialPathOpener = std::function<HANDLE(const SpecialOpenRequest&)>;

// Registers (or, with an empty function, removes) the opener of pipe or device names.
void RegisterSpecialPathOpener(PathKind kind, SpecialPathOpener opener);

// Opens a pipe or device name through its opener; ERROR_FILE_NOT_FOUND while
// none is registered for that kind.
HANDLE OpenSpecialPath(const SpecialOpenRequest& request);

}  // namespace w32
