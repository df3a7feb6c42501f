// The key table of a UiContext and the access to private fields by key name.
// Lookup is linear over the slots and takes the first exact, case-sensitive
// match; a caller must name the field's exact size.
#include <windows.h>

#include "ui/ui/devmode.h"

namespace {

#define KEY(field) {#field, sizeof(PrivateDevmode::field), offsetof(PrivateDevmode, field)}
#define EMPTY_SLOT {"", 0, 0}

// The slots in the order the pages and the stored favourites know them.
const DevmodeKeyEntry kKeyTable[DEVMODE_KEY_SLOTS] = {
    KEY(OutputSize),        KEY(ScaleFlag),      KEY(ScaleRadio),          EMPTY_SLOT,
    KEY(FeedOrient),        KEY(PosterPrint),    KEY(MultipleUp),          KEY(PageOrder),
    KEY(PageBorder),        KEY(MixedOrient),    KEY(PosterType),          KEY(CropMarks),
    KEY(BookletPrint),      KEY(BookletBinding), KEY(BookletSubsets),      KEY(BookletSheets),
    KEY(BookletGutter),     KEY(BookletAutoFit), KEY(BoookletMargins),     KEY(Rotate),
    KEY(ImageShift),        KEY(MarginsAutoFit), KEY(Side),                KEY(PrintPosition),
    KEY(AdjustPrintPosition), KEY(LeftRight),    KEY(UpDown),              EMPTY_SLOT,
    EMPTY_SLOT,             KEY(FavoriteName),   KEY(FavoriteIndex),       KEY(FirstPageOnly),
    KEY(WatermarkData),     KEY(OverlayFlag),    KEY(OverlayFileName),     KEY(HeaderBold),
    KEY(HeaderItalic),      KEY(HeaderFontSize), KEY(HeaderFontName),      KEY(PrintItems),
    KEY(CustomPaperSize),   KEY(SourceTray),     KEY(ManualDuplex),        EMPTY_SLOT,
    EMPTY_SLOT,             KEY(DuplexIndex),    KEY(HeaderColor),         KEY(HeaderColorIndex),
    KEY(Side2),             KEY(TonerSavingMode), KEY(ScreenType),         KEY(Duplex),
    KEY(ColorMode),         EMPTY_SLOT,          KEY(ImageAdjustMode),     KEY(ImageType),
    KEY(ApplyElements),     KEY(DocumentElement), KEY(Brightness),         KEY(Constrast),
    KEY(AdjustBalance),     KEY(TargetColor),    KEY(Highlights),          KEY(Midtones),
    KEY(Shadows),           KEY(Profile),        KEY(ColorTemperature),    KEY(GammaCorrection),
    KEY(Monitor),           KEY(InputImage),     KEY(Saturation),          KEY(ImageInputIndex),
    KEY(Mismatch),          KEY(Rotate180),      KEY(Mirror),              KEY(Thickness),
    KEY(Negative),
};

#undef KEY
#undef EMPTY_SLOT

// The slot that holds `key` and lies inside the private part, or null. An
// empty slot holds no key.
const DevmodeKeyEntry* FindKey(const UiContext* context, LPCSTR key) {
    if (!key || !key[0]) return nullptr;
    for (const DevmodeKeyEntry& slot : context->keyTable) {
        if (slot.name[0] && strncmp(slot.name, key, sizeof(slot.name)) == 0) return &slot;
    }
    return nullptr;
}

bool InsidePrivatePart(const DevmodeKeyEntry& slot) {
    return slot.size > 0 && slot.offset >= 0 && slot.offset <= PRIVATE_DEVMODE_SIZE - slot.size;
}

// The checks of a read or write by key: the slot of `key`, when the
// context, key, size and buffer allow the transfer; otherwise the answer.
HRESULT FindSlot(UiContext* context, LPCSTR key, const void* buffer, INT32 size, const DevmodeKeyEntry** found) {
    *found = nullptr;
    if (!context) return E_PENDING;
    if (!context->priv) return E_FAIL;
    const DevmodeKeyEntry* slot = FindKey(context, key);
    if (!slot) return E_INVALIDARG;
    if (size != slot->size) return HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER);
    if (!buffer) return E_INVALIDARG;
    if (!InsidePrivatePart(*slot)) return E_FAIL;
    *found = slot;
    return S_OK;
}

}  // namespace

void BuildDevmodeKeyTable(UiContext* context) {
    if (!context) return;
    ZeroMemory(context->keyTable, sizeof(context->keyTable));
    CopyMemory(context->keyTable, kKeyTable, sizeof(kKeyTable));
}

HRESULT DevmodeGetValueByKey(UiContext* context, LPCSTR key, LPVOID buffer, INT32 size) {
    const DevmodeKeyEntry* slot = nullptr;
    if (const HRESULT result = FindSlot(context, key, buffer, size, &slot); result != S_OK) return result;
    CopyMemory(buffer, reinterpret_cast<const BYTE*>(context->priv) + slot->offset, size);
    return S_OK;
}

HRESULT DevmodeSetValueByKey(UiContext* context, LPCSTR key, LPCVOID buffer, INT32 size) {
    const DevmodeKeyEntry* slot = nullptr;
    if (const HRESULT result = FindSlot(context, key, buffer, size, &slot); result != S_OK) return result;
    CopyMemory(reinterpret_cast<BYTE*>(context->priv) + slot->offset, buffer, size);
    return S_OK;
}
