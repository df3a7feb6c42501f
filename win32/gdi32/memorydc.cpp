// CreateCompatibleDC: a memory DC, which draws into the bitmap selected
// into it, starting with the stock 1x1 monochrome bitmap.
//
// A memory DC answers GetDeviceCaps as the device it is compatible with:
// the screen for CreateCompatibleDC(NULL), for a window's DC (and for a DC
// compatible with the screen), the printer for a DC compatible with a printer DC, whose
// capabilities it keeps for its own life.
#include <windows.h>

#include "gdi32/dc.h"

HDC WINAPI CreateCompatibleDC(HDC hdc) {
    auto dc = std::make_shared<w32::gdi::DeviceContext>();
    dc->memory = true;
    if (hdc) {
        auto other = w32::gdi::LookupDC(hdc);
        if (!other) {
            SetLastError(ERROR_INVALID_HANDLE);
            return nullptr;
        }
        std::lock_guard lock(w32::EngineLock());
        if (other->windowSurface) {
            // A window's DC is the screen's.
        } else if (other->memory) {
            dc->printerCompatible = other->printerCompatible;
            dc->compatibleGdiInfo = other->compatibleGdiInfo;
            dc->compatibleDevInfo = other->compatibleDevInfo;
        } else if (other->device && other->device->pdev) {
            dc->printerCompatible = true;
            dc->compatibleGdiInfo = other->device->pdev->gdiInfo;
            dc->compatibleDevInfo = other->device->pdev->devInfo;
        } else {
            SetLastError(ERROR_INVALID_HANDLE);
            return nullptr;
        }
    }
    HDC made = static_cast<HDC>(w32::gdi::InsertGdiObject(dc));
    w32::gdi::InitDcState(*dc);
    return made;
}
