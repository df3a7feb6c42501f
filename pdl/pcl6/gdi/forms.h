// Overlay forms: a form recorded from a job into a file, or merged from one.
#pragma once
#include <windows.h>

// The extension of form files, which FormPath leaves off.
#define FORM_FILE_EXTENSION u".dfd"

// The PDEV's overlay-form state (part of the job state).
struct OverlayFormState {
    HANDLE FormWriteHandle;      // the form file being recorded; owned by the job
    WCHAR FormPath[MAX_PATH];    // its path without the ".dfd" extension
};

// What Form_CheckPath does with a form path (without its extension).
enum FormPathMode : int {
    FORM_PATH_EXISTS = 0,        // whether the form file (path + ".dfd") exists
    FORM_PATH_MAKE_FOLDERS = 1,  // makes the folders above the form file
};

// FORM_PATH_EXISTS: TRUE when the form file exists. FORM_PATH_MAKE_FOLDERS:
// creates each missing folder of the path from the left; FALSE when a level
// cannot be made because the path above it does not exist.
BOOL Form_CheckPath(LPCWSTR path, int mode);
