// The pages' access to the public DEVMODEW of a UiContext, one field per
// DM_ flag. A few reads repair the field they find out of range, so that a
// page never shows a value it cannot offer.
#include <windows.h>

#include "ui/ui/devmode.h"

namespace {

// Reads a field, writing `repair` back into it when it lies outside
// low..high.
SHORT ReadRepaired(short& field, int low, int high, SHORT repair) {
    if (field < low || field > high) field = repair;
    return field;
}

}  // namespace

HRESULT DevmodeGetPublicField(UiContext* context, DWORD selector, SHORT* value) {
    if (!context) return E_PENDING;
    DEVMODEW* pub = context->pub;
    if (!pub) return E_FAIL;
    if (!value) return E_INVALIDARG;
    switch (selector) {
        case DM_ORIENTATION: *value = ReadRepaired(pub->dmOrientation, 0, 2, DMORIENT_PORTRAIT); break;
        case DM_PAPERSIZE: *value = pub->dmPaperSize; break;
        case DM_PAPERLENGTH: *value = pub->dmPaperLength; break;
        case DM_PAPERWIDTH: *value = pub->dmPaperWidth; break;
        // The pages always start from 100 percent; the scale in force lives in
        // the private part.
        case DM_SCALE: *value = 100; break;
        case DM_COPIES: *value = ReadRepaired(pub->dmCopies, 1, 999, 1); break;
        case DM_DEFAULTSOURCE: *value = pub->dmDefaultSource; break;
        case DM_PRINTQUALITY: *value = pub->dmPrintQuality; break;
        case DM_COLOR: *value = pub->dmColor; break;
        case DM_DUPLEX: *value = ReadRepaired(pub->dmDuplex, DMDUP_SIMPLEX, DMDUP_HORIZONTAL, DMDUP_SIMPLEX); break;
        case DM_YRESOLUTION: *value = pub->dmYResolution; break;
        case DM_COLLATE:
            if (pub->dmCollate < 0) pub->dmCollate = DMCOLLATE_FALSE;
            *value = pub->dmCollate;
            break;
        case DEVMODE_SELECT_OPPOSITE: {
            PrivateDevmode* priv = context->priv;
            if (!priv) return E_FAIL;
            if (priv->OppositeSide < 0) priv->OppositeSide = 0;
            *value = priv->OppositeSide;
            break;
        }
        case DM_MEDIATYPE:
            if (pub->dmMediaType < 1 || pub->dmMediaType > 264) pub->dmMediaType = DMMEDIA_STANDARD;
            *value = static_cast<SHORT>(pub->dmMediaType);
            break;
        default: break;  // nothing to read; the value stays as it is
    }
    return S_OK;
}

HRESULT DevmodeSetPublicField(UiContext* context, DWORD selector, SHORT value, LPCWSTR text) {
    if (!context) return E_PENDING;
    DEVMODEW* pub = context->pub;
    if (!pub) return E_FAIL;
    switch (selector) {
        case DM_ORIENTATION: pub->dmOrientation = value; break;
        case DM_PAPERSIZE: pub->dmPaperSize = value; break;
        case DM_PAPERLENGTH: pub->dmPaperLength = value; break;
        case DM_PAPERWIDTH: pub->dmPaperWidth = value; break;
        case DM_SCALE:
            // The rendering DLL prints with the private copy.
            if (!context->priv) return E_FAIL;
            pub->dmScale = value;
            context->priv->ScaleCopy = value;
            break;
        case DM_COPIES: pub->dmCopies = value; break;
        case DM_DEFAULTSOURCE: pub->dmDefaultSource = value; break;
        case DM_PRINTQUALITY: pub->dmPrintQuality = value; break;
        case DM_COLOR: pub->dmColor = value; break;
        case DM_DUPLEX: pub->dmDuplex = value; break;
        case DM_YRESOLUTION: pub->dmYResolution = value; break;
        case DEVMODE_SELECT_PAPER_FIELDS: pub->dmFields |= DM_PAPERLENGTH | DM_PAPERWIDTH | DM_FORMNAME; break;
        case DM_COLLATE: pub->dmCollate = value; break;
        case DM_FORMNAME:
            if (!text) return E_INVALIDARG;
            lstrcpynW(pub->dmFormName, text, CCHFORMNAME);
            break;
        case DEVMODE_SELECT_OPPOSITE:
            if (!context->priv) return E_FAIL;
            context->priv->OppositeSide = value;
            break;
        case DM_MEDIATYPE: pub->dmMediaType = static_cast<DWORD>(static_cast<LONG>(value)); break;
        default: return E_FAIL;
    }
    return S_OK;
}
