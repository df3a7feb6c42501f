// MxdcGetPDEVAdjustment: the page adjustments this driver asks of a document
// converted to a fixed page format.
#include <windows.h>
#include <winddiui.h>

#include <cstddef>

#include "pcl6/intrface/util.h"
#include "ui/ui/papertable.h"

namespace {

// The imageable area's inset from every edge, micrometres.
constexpr LONG kInsetMicrons = 4000;
constexpr DWORD kAreaBytes = 4 * sizeof(LONG);

// The portrait size of the job's paper, 600-dpi units. A paper the driver
// does not know, or a custom size without a private part to measure it by,
// is the country's default paper.
void PaperSize(const DEVMODEW* devmode, DWORD devmodeBytes, LONG* width, LONG* height) {
    const BOOL a4 = IsA4Country();
    *width = a4 ? 4960 : 5100;
    *height = a4 ? 7015 : 6600;
    const INT code = devmode->dmPaperSize;
    if (!IsKnownPaperSize(code)) return;
    // The private part is read only when it lies whole inside the caller's bytes.
    const PrivateDevmode* priv = nullptr;
    if (devmode->dmDriverExtra == PRIVATE_DEVMODE_SIZE && devmode->dmSize >= offsetof(DEVMODEW, dmPaperSize) &&
        DWORD(devmode->dmSize) + PRIVATE_DEVMODE_SIZE <= devmodeBytes)
        priv = reinterpret_cast<const PrivateDevmode*>(reinterpret_cast<const BYTE*>(devmode) + devmode->dmSize);
    if (!priv && code >= CUSTOM_PAPER_FIRST) return;
    PaperMetrics metrics{};
    if (GetPaperMetrics(priv, code, DMORIENT_PORTRAIT, &metrics)) {
        *width = metrics.width;
        *height = metrics.height;
    }
}

BOOL IsNamed(const PrintNamedProperty& property, LPCWSTR name) {
    return property.propertyName && lstrcmpW(property.propertyName, name) == 0;
}

}  // namespace

extern "C" HRESULT WINAPI MxdcGetPDEVAdjustment(HANDLE, DWORD cbDevMode, PDEVMODEW pDevMode,
                                                PrintPropertiesCollection* pPDEVAdjustment) {
    if (!pPDEVAdjustment || !pPDEVAdjustment->propertiesCollection) return E_NOTIMPL;
    // The fields read here must lie inside the caller's bytes.
    const PDEVMODEW devmode =
        pDevMode && cbDevMode >= offsetof(DEVMODEW, dmPrintQuality) + sizeof(pDevMode->dmPrintQuality) ? pDevMode
                                                                                                       : nullptr;
    HRESULT result = E_NOTIMPL;
    for (ULONG i = 0; i < pPDEVAdjustment->numberOfProperties; ++i) {
        PrintNamedProperty& property = pPDEVAdjustment->propertiesCollection[i];
        PrintPropertyValue& value = property.propertyValue;
        if (IsNamed(property, u"MxdcImageableArea")) {
            if (value.ePropertyType != kPropertyTypeBuffer) return result;
            if (value.value.propertyBlob.cbBuf != kAreaBytes || !value.value.propertyBlob.pBuf || !devmode) continue;
            LONG width = 0, height = 0;
            PaperSize(devmode, cbDevMode, &width, &height);
            LONG* area = static_cast<LONG*>(value.value.propertyBlob.pBuf);
            area[0] = kInsetMicrons;
            area[1] = kInsetMicrons;
            area[2] = Dots600ToTenthMm(width) * 100 - kInsetMicrons;
            area[3] = Dots600ToTenthMm(height) * 100 - kInsetMicrons;
            result = S_OK;
        } else if (IsNamed(property, u"MxdcImageCompressionType")) {
            if (value.ePropertyType != kPropertyTypeInt32) return result;
            value.value.propertyInt32 = 0;
            result = S_OK;
        } else if (IsNamed(property, u"MxdcDotsPerInch")) {
            if (value.ePropertyType != kPropertyTypeInt32) return result;
            if (devmode && devmode->dmPrintQuality < 1) {
                value.value.propertyInt32 = 600;
                result = S_OK;
            }
        }
    }
    return result;
}
