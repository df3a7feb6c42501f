// The internal-check reporter: a check that fails inside the driver is
// reported on the debug print (which the release build leaves empty) and
// never changes the output.
#pragma once
#include <windows.h>

struct PDEV;

// Reports a failed check at `line` of the source `file` (its base name is
// shown): "File:%s Line:%d\n" goes into the PDEV's report text and, with the
// document's name, to the debug print. While a job is open only the first
// check of each sheet is reported (JOBF_CHECK_REPORTED, which job control
// clears at each sheet). `pdev` may be null. Reports never change the output.
void Dbg_Assert(PDEV* pdev, LPCSTR file, int line);
