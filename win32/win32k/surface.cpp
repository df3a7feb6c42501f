// Engine surfaces: device surfaces that a driver manages itself, and
// bitmaps whose memory the engine (or the caller) provides; both are reached
// by their SURFOBJ through EngLockSurface.
#include <windows.h>
#include <winddi.h>

#include <map>
#include <new>

#include "win32k/engobj.h"
#include "win32k/rasterbitmap.h"

namespace {

using w32::EngineLock;
using w32::EngineSurface;
using w32::raster::BitsPerPixelOfFormat;

// The surfaces locked now, by their SURFOBJ: a locked surface stays valid
// until it is unlocked, even when it is deleted meanwhile.
std::map<const SURFOBJ*, std::shared_ptr<EngineSurface>>& Locked() {
    static std::map<const SURFOBJ*, std::shared_ptr<EngineSurface>> locked;
    return locked;
}

HSURF Insert(const std::shared_ptr<EngineSurface>& surface) {
    HSURF handle = reinterpret_cast<HSURF>(w32::InsertEngineObject(surface));
    surface->so.hsurf = handle;
    return handle;
}

}  // namespace

HSURF APIENTRY EngCreateDeviceSurface(DHSURF dhsurf, SIZEL sizl, ULONG iFormatCompat) {
    if (!BitsPerPixelOfFormat(iFormatCompat) || sizl.cx < 0 || sizl.cy < 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    std::lock_guard lock(EngineLock());
    auto surface = std::make_shared<EngineSurface>();
    surface->so.dhsurf = dhsurf;
    surface->so.sizlBitmap = sizl;
    surface->so.iBitmapFormat = iFormatCompat;
    surface->so.iType = STYPE_DEVICE;
    return Insert(surface);
}

HBITMAP APIENTRY EngCreateBitmap(SIZEL sizl, LONG lWidth, ULONG iFormat, FLONG fl, PVOID pvBits) {
    const ULONG bits = BitsPerPixelOfFormat(iFormat);
    if (!bits) {
        // The compressed formats are valid, but the engine keeps no such bitmaps.
        SetLastError(iFormat >= BMF_4RLE && iFormat <= BMF_PNG ? ERROR_NOT_SUPPORTED : ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    const uint64_t rowBytes = (uint64_t(sizl.cx) * bits + 7) / 8;
    // Without a width of its own, a scan line takes whole 32-bit words.
    const uint64_t stride = lWidth ? uint64_t(lWidth) : (uint64_t(sizl.cx) * bits + 31) / 32 * 4;
    if (sizl.cx <= 0 || sizl.cy <= 0 || lWidth < 0 || stride < rowBytes) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    // lDelta and the offsets into the bits are 32-bit.
    const uint64_t total = stride * uint64_t(sizl.cy);
    if (total > 0x7FFFFFFF) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    auto surface = std::make_shared<EngineSurface>();
    BYTE* base = static_cast<BYTE*>(pvBits);
    if (!base) {
        if (!surface->memory.Allocate(size_t(total))) {
            SetLastError(ERROR_NOT_ENOUGH_MEMORY);
            return nullptr;
        }
        base = surface->memory.data();
    }
    SURFOBJ& so = surface->so;
    so.sizlBitmap = sizl;
    so.cjBits = ULONG(total);
    so.pvBits = base;
    // pvBits is the start of the memory; pvScan0 the top scan line, which a
    // bottom-up bitmap keeps last.
    if (fl & BMF_TOPDOWN) {
        so.pvScan0 = base;
        so.lDelta = LONG(stride);
    } else {
        so.pvScan0 = base + (total - stride);
        so.lDelta = -LONG(stride);
    }
    so.iBitmapFormat = iFormat;
    so.iType = STYPE_BITMAP;
    so.fjBitmap = USHORT(fl & (BMF_TOPDOWN | BMF_NOZEROINIT | BMF_DONTCACHE));
    std::lock_guard lock(EngineLock());
    return reinterpret_cast<HBITMAP>(Insert(surface));
}

BOOL APIENTRY EngAssociateSurface(HSURF hsurf, HDEV hdev, FLONG flHooks) {
    std::lock_guard lock(EngineLock());
    auto surface = w32::LookupSurface(hsurf);
    auto pdev = w32::LookupPdev(hdev);
    if (!surface || !pdev) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    surface->so.hdev = hdev;
    surface->so.dhpdev = pdev->dhpdev;
    surface->hooks = flHooks;
    return TRUE;
}

BOOL APIENTRY EngDeleteSurface(HSURF hsurf) {
    if (!w32::RemoveEngineObject(hsurf, w32::EngineObjectType::Surface)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}

SURFOBJ* APIENTRY EngLockSurface(HSURF hsurf) {
    std::lock_guard lock(EngineLock());
    auto surface = w32::LookupSurface(hsurf);
    if (!surface) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    ++surface->locks;
    Locked()[&surface->so] = surface;
    return &surface->so;
}

VOID APIENTRY EngUnlockSurface(SURFOBJ* pso) {
    std::lock_guard lock(EngineLock());
    auto& locked = Locked();
    auto found = locked.find(pso);
    if (found == locked.end()) return;
    if (--found->second->locks == 0) locked.erase(found);
}
