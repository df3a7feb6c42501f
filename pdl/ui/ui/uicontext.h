// The per-sheet context of the user interface: what one printing-preferences
// or printer-properties sheet (or one event) edits. One zero-filled heap
// block, owned by the sheet or event that created it. Pages reach it through
// their window's extra data at index 8.
#pragma once
#include <windows.h>

#include "pcl6/intrface/privdevmode.h"

#define DEVMODE_KEY_SLOTS 77

struct _DOCUMENTPROPERTYHEADER;

// The callback through which the common property-sheet UI lets a sheet add
// pages and report results.
typedef LONG_PTR(CALLBACK* UiSheetCallback)(HANDLE sheet, UINT function, LPARAM param1, LPARAM param2);

struct UiContext {
    HANDLE hComPropSheet;
    struct _DOCUMENTPROPERTYHEADER* documentHeader;  // the call's header, kept for the commit
    UiDevmode devmode;
    UiSheetCallback pfnComPropSheet;
    // The pages reach the fields only through these two and the key table.
    PrivateDevmode* priv;
    DEVMODEW* pub;
    HANDLE printer;
    DevmodeKeyEntry keyTable[DEVMODE_KEY_SLOTS];
    INT lastPage;                 // 1 basic, 2 paper, 3 layout, 4 watermark; 0 at creation
    WCHAR driverName[MAX_PATH];   // names the language DLL; device name of the defaults
    BOOL applied;                 // the pages' edits were committed
    BOOL deviceSheet;             // 1 printer properties, 0 document properties
    BOOL readOnly;                // the call's mode holds DM_NOPERMISSION
    HMODULE languageDll;
    HMODULE bitmapDll;
    INT silentPrint;              // the device page's silent-printing choice
    DWORD trackerWords[2];        // cleared at creation for the settings change tracker
};
