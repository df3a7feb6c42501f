// The internal-check reporter: a check that fails inside the driver is
// reported on the debug print (which the release build leaves empty) and
// never changes the output.
#pragma once
#include <windows.h>

struct PDEV;

// Reports a failed check at `line` of the source `file` (its base name is
// shown). While a job is open only the first check of each sheet is
// reported. `pdev` may be null.
void Dbg_Assert(PDEV* pdev, LPCSTR file, int line);
