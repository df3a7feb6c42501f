// The property sheets of the user interface: the per-sheet UiContext, the
// commit of the pages' edits, and the callback of a sheet's first page. The
// sheets' entry points are the exports DrvDocumentPropertySheets and
// DrvDevicePropertySheets (winddiui.h).
#pragma once
#include <windows.h>
#include <prsht.h>

#include "ui/ui/uicontext.h"

// Bytes of the document settings a document-properties call hands out.
#define UI_DEVMODE_OUT_SIZE UI_DEVMODE_SIZE
// The icon of the sheets' header.
#define UI_SHEET_ICON_ID 64082

// A new context for `printer`: the driver's defaults, then the printer's
// own settings and `devmode` (when given) taken over as far as they pass
// their checks; its language and bitmap DLLs loaded. Null when the printer's
// information cannot be read, its driver name does not fit, memory runs out
// or the bitmap DLL cannot be loaded. The process's shared copy of the last
// context is replaced by this one's defaults.
UiContext* CreateUiContext(HANDLE printer, const DEVMODEW* devmode);
// Frees a context and its language and bitmap DLLs.
void FreeUiContext(UiContext* context);

// Commits the pages' edits into the context (and, for a document sheet whose
// call asks for it, into the caller's out DEVMODE). 1; 0 without a context.
LONG ApplyPageSettings(HWND window, UiContext* context);

// The callback of a sheet's first page: applies committed edits when the
// page is released. 1 for PSPCB_RELEASE and PSPCB_CREATE, 0 otherwise.
UINT CALLBACK PropSheetPageProc(HWND window, UINT message, LPPROPSHEETPAGEW page);
