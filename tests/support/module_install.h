// Puts modules that the build made onto a test machine's drive, where
// LoadLibraryW finds them. The routines are the machine set-up that the
// print tool uses too (tools/machinesetup).
#pragma once
#include "machinesetup/machinesetup.h"

namespace tam::test {

// The folder holding the build's binaries: the test program's own folder.
using tam::setup::BuiltFolder;
// Copies a built module to a Windows path of the machine (see machinesetup.h).
using tam::setup::InstallModule;

}  // namespace tam::test
