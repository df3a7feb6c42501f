// Overlay forms: a form recorded from a job into a file, or merged from one.
#pragma once
#include <windows.h>

// The PDEV's overlay-form state (part of the job state).
struct OverlayFormState {
    HANDLE FormWriteHandle;      // the form file being recorded; owned by the job
    WCHAR FormPath[MAX_PATH];    // its path without the ".dfd" extension
};
