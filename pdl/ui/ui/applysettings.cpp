// The commit of the pages' edits and the first page's callback.
#include <windows.h>
#include <winddiui.h>

#include "ui/ui/devmodemerge.h"
#include "ui/ui/sheets.h"
#include "ui/ui/snapshot.h"
#include "ui/ui/threadpages.h"

LONG ApplyPageSettings(HWND window, UiContext* context) {
    if (!context) return 0;

    // The basic page learns of settings changed on the other pages since it
    // last captured them.
    if (ThreadPageSlot* slot = ThreadPageTable::Instance().FindSlot(GetCurrentThreadId())) {
        SettingsChangeTracker* tracker = slot->basic ? slot->basic->GetChangeTracker() : nullptr;
        if (tracker) {
            tracker->SetMode(context->lastPage);
            if (tracker->Compare(context->lastPage, context) == TRACKER_CHANGED) {
                slot->basic->RefreshFromContext(context);
                tracker->Capture(context);
            }
        }
    }

    if (context->pub->dmDuplex == 5) context->priv->Duplex = 5;
    context->applied = TRUE;

    if (window) {
        SetLastError(ERROR_SUCCESS);
        if (SetWindowLongPtrW(window, DWLP_MSGRESULT, PSNRET_NOERROR) == 0 && GetLastError() != ERROR_SUCCESS)
            return 1;
        SendMessageW(GetParent(window), PSM_UNCHANGED, reinterpret_cast<WPARAM>(window), 0);
    }

    if (context->deviceSheet) return 1;
    DOCUMENTPROPERTYHEADER* header = context->documentHeader;
    if (header && (header->fMode & (DM_UPDATE | DM_COPY))) {
        // The out DEVMODE is the caller's buffer of cbOut bytes.
        MergeDevmodes(context->pub, header->pdmIn, header->pdmOut, header->cbOut);
        if (context->pfnComPropSheet) context->pfnComPropSheet(context->hComPropSheet, CPSFUNC_SET_RESULT, 0, 1);
    }
    return 1;
}

UINT CALLBACK PropSheetPageProc(HWND window, UINT message, LPPROPSHEETPAGEW page) {
    switch (message) {
        case PSPCB_RELEASE: {
            auto* context = page ? reinterpret_cast<UiContext*>(page->lParam) : nullptr;
            if (context && context->applied) ApplyPageSettings(window, context);
            return 1;
        }
        case PSPCB_CREATE: return 1;
        default: return 0;
    }
}
