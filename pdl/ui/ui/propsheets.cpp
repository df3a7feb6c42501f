// The property-sheet entry points: printing preferences
// (DrvDocumentPropertySheets) and printer properties
// (DrvDevicePropertySheets), called by the common property-sheet UI, and by
// the spooler for a document-properties call that shows nothing.
//
// The sheets' pages come with the window layer: until then a sheet's INIT
// finds no page to add and answers as for a language DLL that holds none.
#include <windows.h>
#include <winddiui.h>

#include "pcl6/intrface/util.h"
#include "ui/ui/devmodemerge.h"
#include "ui/ui/processlanguage.h"
#include "ui/ui/sheets.h"
#include "ui/ui/threadpages.h"

namespace {

constexpr LONG kFailed = ERR_CPSUI_GETLASTERROR;

// Every return of a sheet entry point deletes a pending temporary file.
struct PendingTempFileCleanup {
    ~PendingTempFileCleanup() { DeletePendingTempFile(); }
};

// A document-properties call that shows nothing: a size query, or the
// context's settings (the printer's, then the caller's in-devmode) written
// into the caller's out-devmode.
LONG DocumentPropertiesWithoutSheet(DOCUMENTPROPERTYHEADER* header) {
    if (!header) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return kFailed;
    }
    const DWORD outCapacity = header->cbOut;
    header->cbOut = UI_DEVMODE_OUT_SIZE;
    if (header->fMode == 0 || !header->pdmOut) return UI_DEVMODE_OUT_SIZE;

    UiContext* context = CreateUiContext(header->hPrinter, header->pdmIn);
    if (!context) return kFailed;
    LONG result = 1;
    if (header->fMode & (DM_UPDATE | DM_COPY)) {
        // The out-devmode is the caller's buffer: only cbOut bytes of it are ours.
        if (!MergeDevmodes(context->pub, header->pdmIn, header->pdmOut, outCapacity)) {
            SetLastError(outCapacity < UI_DEVMODE_OUT_SIZE ? ERROR_INSUFFICIENT_BUFFER : ERROR_INVALID_PARAMETER);
            result = kFailed;
        }
    }
    FreeUiContext(context);
    return result;
}

// The sheet's title and icon.
LONG FillInfoHeader(PROPSHEETUI_INFO_HEADER* infoHeader, LPWSTR printerName) {
    if (!infoHeader) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return kFailed;
    }
    infoHeader->Flags = PSUIHDRF_PROPTITLE;
    infoHeader->pTitle = printerName;
    infoHeader->hInst = GetProcessLanguageDll();
    infoHeader->IconID = UI_SHEET_ICON_ID;
    return 1;
}

// INIT: the pages the language DLL holds templates of are added. None of
// the pages exists yet, so no page can be added: the sheet fails, and the
// context made for it is freed (no later call could find it).
LONG InitSheet(PROPSHEETUI_INFO* info, UiContext* context) {
    LoadProcessLanguageDll(context->driverName);
    FreeUiContext(context);
    info->UserData = 0;
    SetLastError(ERROR_RESOURCE_TYPE_NOT_FOUND);
    return kFailed;
}

}  // namespace

extern "C" LONG WINAPI DrvDocumentPropertySheets(PPROPSHEETUI_INFO info, LPARAM lParam) {
    PendingTempFileCleanup cleanup;
    if (!info) return DocumentPropertiesWithoutSheet(reinterpret_cast<DOCUMENTPROPERTYHEADER*>(lParam));

    auto* header = reinterpret_cast<DOCUMENTPROPERTYHEADER*>(info->lParamInit);
    if (!header) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return kFailed;
    }
    auto* context = reinterpret_cast<UiContext*>(info->UserData);
    if (info->Reason == PROPSHEETUI_REASON_INIT && !context) {
        context = CreateUiContext(header->hPrinter, header->pdmIn);
        if (!context) return kFailed;
        context->deviceSheet = FALSE;
    }
    if (context) context->readOnly = (header->fMode & DM_NOPERMISSION) ? TRUE : FALSE;

    switch (info->Reason) {
        case PROPSHEETUI_REASON_INIT:
            return InitSheet(info, context);
        case PROPSHEETUI_REASON_GET_INFO_HEADER:
            return FillInfoHeader(reinterpret_cast<PROPSHEETUI_INFO_HEADER*>(lParam), header->pszPrinterName);
        case PROPSHEETUI_REASON_DESTROY:
            FreeThreadPages();
            FreeUiContext(context);
            info->UserData = 0;
            return 1;
        case PROPSHEETUI_REASON_SET_RESULT: {
            auto* result = reinterpret_cast<SETRESULT_INFO*>(lParam);
            if (!result) {
                SetLastError(ERROR_INVALID_PARAMETER);
                return kFailed;
            }
            ApplyPageSettings(nullptr, context);
            info->Result = ULONG_PTR(result->Result);
            return 1;
        }
        default:
            SetLastError(ERROR_INVALID_PARAMETER);
            return kFailed;
    }
}

extern "C" LONG WINAPI DrvDevicePropertySheets(PPROPSHEETUI_INFO info, LPARAM lParam) {
    PendingTempFileCleanup cleanup;
    auto* header = info ? reinterpret_cast<DEVICEPROPERTYHEADER*>(info->lParamInit) : nullptr;
    if (!header) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return kFailed;
    }
    auto* context = reinterpret_cast<UiContext*>(info->UserData);
    if (info->Reason == PROPSHEETUI_REASON_INIT && !context) {
        context = CreateUiContext(header->hPrinter, nullptr);
        if (!context) return kFailed;
    }
    if (context) {
        context->deviceSheet = TRUE;
        context->readOnly = (header->Flags & DPS_NOPERMISSION) ? TRUE : FALSE;
    }

    switch (info->Reason) {
        case PROPSHEETUI_REASON_INIT:
            return InitSheet(info, context);
        case PROPSHEETUI_REASON_GET_INFO_HEADER:
            return FillInfoHeader(reinterpret_cast<PROPSHEETUI_INFO_HEADER*>(lParam), header->pszPrinterName);
        case PROPSHEETUI_REASON_DESTROY:
            FreeUiContext(context);
            info->UserData = 0;
            return 1;
        case PROPSHEETUI_REASON_SET_RESULT: {
            auto* result = reinterpret_cast<SETRESULT_INFO*>(lParam);
            if (!result) {
                SetLastError(ERROR_INVALID_PARAMETER);
                return kFailed;
            }
            info->Result = ULONG_PTR(result->Result);
            ApplyPageSettings(nullptr, context);
            return 1;
        }
        default:
            SetLastError(ERROR_INVALID_PARAMETER);
            return kFailed;
    }
}
