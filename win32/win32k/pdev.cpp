// Printer devices: a driver's PDEVs enabled, reset and disabled in the order
// Windows calls them.
//
//   enable:  DrvEnablePDEV, DrvCompletePDEV, DrvEnableSurface
//   reset:   DrvEnablePDEV (new), DrvResetPDEV (old, new), DrvDisableSurface
//            and DrvDisablePDEV (old), DrvCompletePDEV and DrvEnableSurface (new)
//   disable: DrvDestroyFont for the fonts the driver was given,
//            DrvDisableSurface, DrvDisablePDEV (after DrvEndDoc with
//            ED_ABORTDOC when a document is still open)
//
// An information context gets no surface. Every callback runs with the
// engine lock held and with the device as the owner of the engine objects
// the driver makes, so that what it leaves behind goes with the device.
#include <windows.h>
#include <winddi.h>
#include <winspool.h>

#include <atomic>
#include <cstring>

#include "win32k/ddiobj.h"
#include "win32k/document.h"
#include "win32k/driver.h"
#include "win32k/fontobj.h"

namespace w32 {

namespace {

std::atomic<uint64_t> gNextDeviceId{1};

// Below dmFields a record cannot say which of its members hold values; the
// public part is at most the size this layer knows.
DWORD CopyDevMode(const DEVMODEW* devMode, std::vector<BYTE>& bytes) {
    bytes.clear();
    if (!devMode) return ERROR_SUCCESS;
    constexpr size_t kSmallest = offsetof(DEVMODEW, dmFields) + sizeof(DWORD);
    if (devMode->dmSize < kSmallest || devMode->dmSize > sizeof(DEVMODEW)) return ERROR_INVALID_PARAMETER;
    const BYTE* data = reinterpret_cast<const BYTE*>(devMode);
    bytes.assign(data, data + devMode->dmSize + devMode->dmDriverExtra);
    return ERROR_SUCCESS;
}

// DrvEnablePDEV: a new PDEV with its HDEV, or null and the error.
std::shared_ptr<EnginePdev> EnablePdev(PrinterDevice& device, std::vector<BYTE> devMode, DWORD& error) {
    auto pdev = std::make_shared<EnginePdev>();
    pdev->devMode = std::move(devMode);
    pdev->device = &device;
    InsertEngineObject(pdev);
    // The driver may keep pointing at the settings and the name while the
    // PDEV lives; both stay in the PDEV record.
    pdev->deviceName = device.deviceName;
    DEVMODEW* dm = pdev->devMode.empty() ? nullptr : reinterpret_cast<DEVMODEW*>(pdev->devMode.data());
    auto enable = device.driver->Callback<PFN_DrvEnablePDEV>(INDEX_DrvEnablePDEV);
    {
        DriverCall call(device);
        pdev->dhpdev = enable(dm, nullptr, HS_DDI_MAX, pdev->patterns, sizeof(GDIINFO),
                              reinterpret_cast<ULONG*>(&pdev->gdiInfo), sizeof(DEVINFO), &pdev->devInfo,
                              pdev->Hdev(), pdev->deviceName.data(), device.printer);
        if (!pdev->dhpdev) error = DriverError(ERROR_INVALID_PARAMETER);
    }
    RecordDdiCall("DrvEnablePDEV", pdev.get());
    if (!pdev->dhpdev) {
        RemoveEngineObject(pdev->Hdev(), EngineObjectType::Pdev);
        return nullptr;
    }
    return pdev;
}

void CompletePdev(PrinterDevice& device, EnginePdev& pdev) {
    DriverCall call(device);
    device.driver->Callback<PFN_DrvCompletePDEV>(INDEX_DrvCompletePDEV)(pdev.dhpdev, pdev.Hdev());
    RecordDdiCall("DrvCompletePDEV", &pdev);
}

void DisableSurface(PrinterDevice& device, EnginePdev& pdev) {
    {
        DriverCall call(device);
        device.driver->Callback<PFN_DrvDisableSurface>(INDEX_DrvDisableSurface)(pdev.dhpdev);
    }
    RecordDdiCall("DrvDisableSurface", &pdev);
    pdev.surface = nullptr;
}

// The PDEV's fonts go (DrvDestroyFont), then DrvDisableSurface when it has
// a surface, then DrvDisablePDEV; the HDEV ends.
void DisablePdev(PrinterDevice& device, EnginePdev& pdev) {
    ReleaseFontObjects(device, pdev);
    if (pdev.surface) DisableSurface(device, pdev);
    {
        DriverCall call(device);
        device.driver->Callback<PFN_DrvDisablePDEV>(INDEX_DrvDisablePDEV)(pdev.dhpdev);
    }
    RecordDdiCall("DrvDisablePDEV", &pdev);
    RemoveEngineObject(pdev.Hdev(), EngineObjectType::Pdev);
}

// DrvEnableSurface; on failure the driver's PDEV is disabled again.
bool EnableSurface(PrinterDevice& device, EnginePdev& pdev, DWORD& error) {
    HSURF surface = nullptr;
    {
        DriverCall call(device);
        surface = device.driver->Callback<PFN_DrvEnableSurface>(INDEX_DrvEnableSurface)(pdev.dhpdev);
        if (!surface) error = DriverError(ERROR_BAD_DRIVER);
    }
    RecordDdiCall("DrvEnableSurface", &pdev);
    if (surface && !LookupSurface(surface)) {
        // Not a surface the engine made: the driver must make its surface
        // with EngCreateDeviceSurface or EngCreateBitmap.
        pdev.surface = surface;
        DisableSurface(device, pdev);
        surface = nullptr;
        error = ERROR_BAD_DRIVER;
    }
    pdev.surface = surface;
    if (!surface) DisablePdev(device, pdev);
    return surface != nullptr;
}

// What is left of a device once its PDEVs are gone.
void ReleaseDevice(PrinterDevice& device) {
    FreeEngineObjectsOwnedBy(device.id);
    FreePathsOwnedBy(device.id);
    if (device.printer) ClosePrinter(device.printer);
    device.printer = nullptr;
    ReleaseDriver(device.driver);
}

}  // namespace

SURFOBJ* PrinterDevice::SurfaceObject() const {
    if (!pdev || !pdev->surface) return nullptr;
    auto surface = LookupSurface(pdev->surface);
    return surface ? &surface->so : nullptr;
}

std::shared_ptr<PrinterDevice> EnablePrinterDevice(HANDLE printer, std::u16string_view deviceName,
                                                   const DEVMODEW* devMode, bool informationOnly) {
    std::lock_guard lock(EngineLock());
    auto device = std::make_shared<PrinterDevice>();
    device->printer = printer;
    device->deviceName = deviceName;
    device->informationOnly = informationOnly;
    device->id = gNextDeviceId++;

    std::vector<BYTE> settings;
    DWORD error = CopyDevMode(devMode, settings);
    if (!error) error = AcquireDriver(printer, device->driver);
    std::shared_ptr<EnginePdev> pdev;
    if (!error) pdev = EnablePdev(*device, std::move(settings), error);
    if (pdev) {
        CompletePdev(*device, *pdev);
        if (informationOnly || EnableSurface(*device, *pdev, error)) device->pdev = std::move(pdev);
    }
    if (!device->pdev) {
        ReleaseDevice(*device);
        SetLastError(error);
        return nullptr;
    }
    return device;
}

bool ResetPrinterDevice(PrinterDevice& device, const DEVMODEW* devMode) {
    std::lock_guard lock(EngineLock());
    if (!device.pdev) {
        SetLastError(ERROR_INVALID_HANDLE);
        return false;
    }
    std::vector<BYTE> settings;
    DWORD error = CopyDevMode(devMode, settings);
    if (error) {
        SetLastError(error);
        return false;
    }
    std::shared_ptr<EnginePdev> fresh = EnablePdev(device, std::move(settings), error);
    if (!fresh) {
        SetLastError(error);
        return false;
    }
    std::shared_ptr<EnginePdev> old = device.pdev;
    // A driver without DrvResetPDEV has no state to carry over.
    if (auto reset = device.driver->Callback<PFN_DrvResetPDEV>(INDEX_DrvResetPDEV)) {
        BOOL accepted;
        {
            DriverCall call(device);
            accepted = reset(old->dhpdev, fresh->dhpdev);
            if (!accepted) error = DriverError(ERROR_INVALID_PARAMETER);
        }
        RecordDdiCall("DrvResetPDEV", old.get(), fresh.get());
        if (!accepted) {
            DisablePdev(device, *fresh);
            SetLastError(error);
            return false;
        }
    }
    DisablePdev(device, *old);
    device.pdev = nullptr;
    CompletePdev(device, *fresh);
    if (!device.informationOnly && !EnableSurface(device, *fresh, error)) {
        SetLastError(error);
        return false;
    }
    device.pdev = std::move(fresh);
    NoteDeviceReset(device);
    return true;
}

void DisablePrinterDevice(PrinterDevice& device) {
    std::lock_guard lock(EngineLock());
    if (device.document) EndDocument(device, true);
    if (device.pdev) DisablePdev(device, *device.pdev);
    device.pdev = nullptr;
    ReleaseDevice(device);
}

}  // namespace w32
