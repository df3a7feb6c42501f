// Defaults of the document settings: the public DEVMODEW, the private part
// and the seeded watermark records.
#include <windows.h>

#include "pcl6/intrface/util.h"
#include "ui/ui/devmode.h"
#include "ui/ui/resdll.h"

namespace {

constexpr void CopyText(WCHAR* field, int fieldChars, const WCHAR* text) {
    for (int i = 0; i < fieldChars - 1 && text[i]; ++i) field[i] = text[i];
}

// A seeded record: the fields that differ between the seeds; the rest zero.
constexpr WatermarkRecord Seed(INT16 index, INT16 type, const WCHAR* name, const WCHAR* text, const WCHAR* face,
                               INT16 fontSize, INT16 fade, INT16 angle, INT16 scale, INT16 faceChosen, INT16 xy) {
    WatermarkRecord mark{};
    mark.index = index;
    mark.type = type;
    CopyText(mark.name, ARRAYSIZE(mark.name), name);
    CopyText(mark.text, ARRAYSIZE(mark.text), text);
    CopyText(mark.faceName, ARRAYSIZE(mark.faceName), face);
    mark.fontSize = fontSize;
    mark.fade = fade;
    mark.angle = angle;
    mark.scale = scale;
    mark.position = 5;  // centred
    mark.faceChosen = faceChosen;
    mark.x = xy;
    mark.y = xy;
    mark.grey = 1;
    return mark;
}

}  // namespace

constinit const WatermarkRecord g_SeededWatermarks[SEEDED_WATERMARK_COUNT] = {
    Seed(0, 0, u"[No Watermark]", u"", u"Arial", 54, 0, 0, 100, 0, 50),
    Seed(1, 1, u"Confidential", u"Confidential", u"Arial", 114, 1, 45, 0, 1, 50),
    Seed(2, 1, u"Watermark", u"Watermark", u"Arial", 114, 1, 45, 0, 1, 50),
    Seed(3, 1, u"<New>", u"<New>", u"Arial", 72, 1, 0, 0, 1, 50),
    Seed(3, 2, u"<New>", u"", u"", 72, 1, 0, 100, 1, 0),
};

namespace {

const WCHAR kNoWatermarkName[] = u"[No Watermark]";

// Fills the two names that come from the language DLL of the printer. The
// DLL is loaded for this and freed again; a string it does not hold leaves
// its field as it is.
void LoadDefaultNames(PrivateDevmode* priv, LPCWSTR printerName) {
    HMODULE languageDll = nullptr;
    LoadLanguageDll(printerName, &languageDll);
    if (!languageDll) return;
    WCHAR favorite[ARRAYSIZE(priv->FavoriteName)];
    if (LoadStringW(languageDll, IDS_DEFAULT_FAVORITE, favorite, ARRAYSIZE(favorite)) > 0)
        lstrcpynW(priv->FavoriteName, favorite, ARRAYSIZE(priv->FavoriteName));
    WCHAR noWatermark[ARRAYSIZE(priv->WatermarkData.name)];
    if (lstrcmpW(priv->WatermarkData.name, kNoWatermarkName) == 0 &&
        LoadStringW(languageDll, IDS_NO_WATERMARK, noWatermark, ARRAYSIZE(noWatermark)) > 0) {
        // The whole field is rewritten, so no tail of the built-in name stays behind the new one.
        ZeroMemory(priv->WatermarkData.name, sizeof(priv->WatermarkData.name));
        lstrcpynW(priv->WatermarkData.name, noWatermark, ARRAYSIZE(priv->WatermarkData.name));
    }
    FreeLibrary(languageDll);
}

}  // namespace

HRESULT SetPrivateDevmodeDefaults(PrivateDevmode* priv, LPCWSTR printerName) {
    if (!priv) return E_PENDING;
    ZeroMemory(priv, sizeof(*priv));
    CopyMemory(priv->signature, "PRIV", sizeof(priv->signature));
    priv->ColorMode = 1;
    priv->Duplex = 1;
    priv->ScaleRadio = 100;
    priv->MultipleUp = 1;
    priv->FeedOrient = 1;
    priv->MarginsAutoFit = 1;
    priv->FavoriteIndex = 26;
    priv->ColorTemperature = 1;
    priv->GammaCorrection = 3;
    priv->Thickness = 1;
    priv->ScaleCopy = 100;
    priv->WatermarkData = g_SeededWatermarks[SEEDED_WATERMARK_NONE];
    lstrcpynW(priv->HeaderFontName, u"Times New Roman", ARRAYSIZE(priv->HeaderFontName));
    priv->HeaderFontSize = 9;
    priv->HeaderBold = 1;
    // Every custom size starts as A4 in 600-dpi units.
    for (int i = 0; i < CUSTOM_PAPER_RECORD_COUNT; ++i) {
        CustomPaperRecord& paper = priv->CustomPaperSize[i];
        paper.width = 4960;
        paper.height = 7015;
        swprintf_s(paper.name, ARRAYSIZE(paper.name), u"Custom %d", i + 1);
    }
    priv->UseSoftFont = 1;
    if (printerName && printerName[0]) LoadDefaultNames(priv, printerName);
    return S_OK;
}

HRESULT SetPublicDevmodeDefaults(DEVMODEW* pub, LPCWSTR deviceName) {
    if (!pub) return E_FAIL;
    ZeroMemory(pub, sizeof(*pub));
    if (deviceName) lstrcpynW(pub->dmDeviceName, deviceName, CCHDEVICENAME);
    pub->dmSpecVersion = DM_SPECVERSION;
    pub->dmDriverVersion = UI_DEVMODE_DRIVER_VERSION;
    pub->dmSize = sizeof(DEVMODEW);
    pub->dmDriverExtra = PRIVATE_DEVMODE_SIZE;
    pub->dmFields = UI_DEVMODE_FIELDS;
    pub->dmOrientation = DMORIENT_PORTRAIT;
    // Paper sizes in tenths of a millimetre.
    if (IsA4Country()) {
        pub->dmPaperSize = DMPAPER_A4;
        pub->dmPaperWidth = 2100;
        pub->dmPaperLength = 2970;
        lstrcpynW(pub->dmFormName, u"A4", CCHFORMNAME);
    } else {
        pub->dmPaperSize = DMPAPER_LETTER;
        pub->dmPaperWidth = 2159;
        pub->dmPaperLength = 2794;
        lstrcpynW(pub->dmFormName, u"Letter", CCHFORMNAME);
    }
    pub->dmScale = 100;
    pub->dmCopies = 1;
    pub->dmDefaultSource = DMBIN_AUTO;
    pub->dmPrintQuality = 600;
    pub->dmColor = DMCOLOR_MONOCHROME;
    pub->dmDuplex = DMDUP_SIMPLEX;
    pub->dmYResolution = 600;
    pub->dmTTOption = DMTT_BITMAP;
    pub->dmCollate = DMCOLLATE_FALSE;
    pub->dmMediaType = DMMEDIA_STANDARD;
    pub->dmDitherType = 0;
    return S_OK;
}

BOOL SetDevmodeDefaults(UiDevmode* devmode, LPCWSTR deviceName, LPCWSTR printerName) {
    if (!devmode) return FALSE;
    if (FAILED(SetPublicDevmodeDefaults(&devmode->pub, deviceName))) return FALSE;
    if (FAILED(SetPrivateDevmodeDefaults(&devmode->priv, printerName))) return FALSE;
    return devmode->pub.dmDriverExtra == PRIVATE_DEVMODE_SIZE;
}
