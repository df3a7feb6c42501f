// Making and freeing a sheet's UiContext.
#include <windows.h>
#include <winspool.h>

#include <cstring>
#include <new>

#include "pcl6/intrface/util.h"
#include "ui/res/uires.h"
#include "ui/ui/contextdevmode.h"
#include "ui/ui/devmode.h"
#include "ui/ui/devmodemerge.h"
#include "ui/ui/resdll.h"
#include "ui/ui/sheets.h"

namespace {

// The driver name, with its NUL, fits the context's 260 characters.
constexpr size_t kDriverNameBytes = sizeof(UiContext::driverName);

void ClearCustomPaperSizes(UiContext* context) {
    std::memset(context->priv->CustomPaperSize, 0, sizeof(context->priv->CustomPaperSize));
}

// The printer's level-2 information, freed with the counted allocator.
struct PrinterInfo2 {
    explicit PrinterInfo2(HANDLE printer) : block(Registry_GetHL(printer, 2)) {}
    ~PrinterInfo2() {
        if (block) Util_GlobalFree(nullptr, block);
    }
    PrinterInfo2(const PrinterInfo2&) = delete;
    PrinterInfo2& operator=(const PrinterInfo2&) = delete;
    const PRINTER_INFO_2W* operator->() const { return reinterpret_cast<const PRINTER_INFO_2W*>(block); }
    explicit operator bool() const { return block != nullptr; }
    LPBYTE block;
};

}  // namespace

UiContext* CreateUiContext(HANDLE printer, const DEVMODEW* devmode) {
    auto* context = new (std::nothrow) UiContext{};
    if (!context) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    context->pub = &context->devmode.pub;
    context->priv = &context->devmode.priv;
    context->printer = printer;

    PrinterInfo2 info(printer);
    if (!info || !info->pDriverName) {
        delete context;
        return nullptr;
    }
    if ((size_t(lstrlenW(info->pDriverName)) + 1) * sizeof(WCHAR) > kDriverNameBytes) {
        delete context;
        SetLastError(ERROR_INVALID_DATA);
        return nullptr;
    }
    lstrcpynW(context->driverName, info->pDriverName, MAX_PATH);

    BuildDevmodeKeyTable(context);
    context->trackerWords[0] = context->trackerWords[1] = 0;
    SetDevmodeDefaults(&context->devmode, context->driverName, context->driverName);
    if (GetSharedContextHolder().Set(context)) ClearCustomPaperSizes(context);

    LoadLanguageDll(context->driverName, &context->languageDll);
    if (IsRightToLeftLanguage()) {
        context->bitmapDll = context->languageDll;
    } else {
        context->bitmapDll = LoadBitmapDll();
        if (!context->bitmapDll) {
            FreeUiContext(context);
            SetLastError(ERROR_MOD_NOT_FOUND);
            return nullptr;
        }
    }

    if (info->pDevMode) AcceptIncomingDevmode(&context->devmode, info->pDevMode);
    if (devmode) AcceptIncomingDevmode(&context->devmode, devmode);

    if (context->priv->FavoriteName[0] == 0 && context->languageDll) {
        WCHAR name[256] = {};
        if (LoadStringW(context->languageDll, IDS_DEFAULT_FAVORITE, name, 256) > 0)
            lstrcpynW(context->priv->FavoriteName, name, 256);
    }
    ClearCustomPaperSizes(context);
    return context;
}

void FreeUiContext(UiContext* context) {
    if (!context) return;
    if (context->bitmapDll && context->bitmapDll != context->languageDll) FreeLibrary(context->bitmapDll);
    if (context->languageDll) FreeLibrary(context->languageDll);
    delete context;
}
