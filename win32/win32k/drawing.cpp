// The drawing dispatch's common part: a drawing call on a DC's surface, the
// driver callbacks it makes, and the engine's drawing when the driver does
// not draw.
//
// A device surface (STYPE_DEVICE) keeps its pixels in the driver, so the
// engine draws there through a temporary bitmap of the drawing's bounds, in
// the surface's format: DrvCopyBits copies the device's pixels into it (a
// printer driver that keeps none may leave it white, as it starts), the Eng
// function draws, and DrvCopyBits copies it back inside the clip. The
// bitmap's colours are the device palette's, except that 24 and 32 bits
// per pixel are always blue in the low byte, the order the engine draws in;
// the DrvCopyBits translations then say how the device's order differs.
#include "win32k/dispatch.h"
#include "win32k/driver.h"

namespace w32 {

RECTL PixelBounds(const RECTFX& b, LONG margin) {
    // A point at x covers pixel floor(x); the far edges are exclusive.
    return RECTL{(b.xLeft >> 4) - margin, (b.yTop >> 4) - margin, (b.xRight >> 4) + 1 + margin,
                 (b.yBottom >> 4) + 1 + margin};
}

RECTL Shifted(const RECTL& r, POINTL shift) {
    return RECTL{r.left + shift.x, r.top + shift.y, r.right + shift.x, r.bottom + shift.y};
}

DrawCall::DrawCall(const DrawContext& dc) : dc_(dc) {
    if (!dc.target.surface) {
        SetLastError(ERROR_INVALID_HANDLE);
        return;
    }
    so_ = &dc.target.surface->so;
    hooks_ = dc.target.surface->hooks;
    colors_ = ColorsOfSurface(*dc.target.surface, dc.target.device);
    const RECTL whole{0, 0, so_->sizlBitmap.cx, so_->sizlBitmap.cy};
    clip_ = dc.clip ? dc.clip->Intersect(Region(whole)) : Region(whole);
}

bool DrawCall::CallDriver(const char* function, ULONG argument, const std::function<BOOL()>& call) const {
    return CallDeviceDriver(*Device(), function, argument, call);
}

bool CallDeviceDriver(PrinterDevice& device, const char* function, ULONG argument,
                      const std::function<BOOL()>& call) {
    BOOL done;
    DWORD error = ERROR_SUCCESS;
    {
        DriverCall scope(device);
        done = call();
        if (!done) error = DriverError(ERROR_NOT_SUPPORTED);
    }
    RecordDdiCall(function, device.pdev.get(), nullptr, argument);
    if (!done) SetLastError(error);
    return done;
}

namespace {

// The colours of the temporary bitmap for a device surface.
SurfaceColors TemporaryColors(const SurfaceColors& device) {
    if (device.mode == PAL_INDEXED || device.format == BMF_16BPP) return device;
    return DefaultColors(device.format);
}

std::shared_ptr<EnginePalette> PaletteOf(const SurfaceColors& colors) {
    auto palette = std::make_shared<EnginePalette>();
    palette->mode = colors.mode;
    palette->colors = colors.colors;
    palette->redMask = colors.red, palette->greenMask = colors.green, palette->blueMask = colors.blue;
    return palette;
}

}  // namespace

bool DrawCall::DrawWithEngine(const RECTL& bounds, const std::function<bool(const EngineTarget&)>& draw) const {
    if (!so_) return false;
    if (so_->iType == STYPE_BITMAP) {
        const RECTL area = Intersect(bounds, clip_.Bounds());
        if (EmptyRect(area) || !clip_.Intersects(area)) return true;
        return draw(EngineTarget{so_, colors_, clip_, POINTL{0, 0}});
    }
    PrinterDevice* device = Device();
    if (so_->iType != STYPE_DEVICE || !device || !device->pdev) return Failed(ERROR_NOT_SUPPORTED);
    return DrawOnDeviceBitmap(*device, so_, colors_, clip_, bounds, dc_.textColor, dc_.bkColor, draw);
}

bool DrawOnDeviceBitmap(PrinterDevice& device, SURFOBJ* so, const SurfaceColors& deviceColors, const Region& clip,
                        const RECTL& bounds, COLORREF textColor, COLORREF bkColor,
                        const std::function<bool(const EngineTarget&)>& draw) {
    const RECTL area = Intersect(bounds, clip.Bounds());
    if (EmptyRect(area) || !clip.Intersects(area)) return true;

    // The temporary bitmap covers `area`; its pixel (0, 0) is the device's (area.left, area.top).
    HBITMAP handle = EngCreateBitmap(SIZEL{area.right - area.left, area.bottom - area.top}, 0, so->iBitmapFormat,
                                     BMF_TOPDOWN, nullptr);
    if (!handle) return false;
    struct Deleter {
        HBITMAP handle;
        ~Deleter() { EngDeleteSurface(reinterpret_cast<HSURF>(handle)); }
    } deleter{handle};
    auto temporary = LookupSurface(reinterpret_cast<HSURF>(handle));
    const SurfaceColors colors = TemporaryColors(deviceColors);
    temporary->palette = PaletteOf(colors);
    SURFOBJ* bitmap = &temporary->so;
    const POINTL shift{-area.left, -area.top};
    RECTL whole{0, 0, area.right - area.left, area.bottom - area.top};
    EngEraseSurface(bitmap, &whole, colors.PixelFor(RGB(255, 255, 255)));

    auto copyBits = device.driver->Callback<PFN_DrvCopyBits>(INDEX_DrvCopyBits);
    auto bitBlt = device.driver->Callback<PFN_DrvBitBlt>(INDEX_DrvBitBlt);
    {
        EngineClip all(Region(whole), whole);
        EngineXlate xlate(deviceColors, colors, textColor, bkColor, false);
        POINTL from{area.left, area.top};
        // A driver that cannot give its pixels back leaves the bitmap white.
        if (copyBits)
            CallDeviceDriver(device, "DrvCopyBits", 0, [&] { return copyBits(bitmap, so, &all, &xlate, &whole, &from); });
    }

    Region shifted = clip;
    shifted.Offset(shift.x, shift.y);
    if (!draw(EngineTarget{bitmap, colors, shifted, shift})) return false;

    EngineClip back(clip, area);
    EngineXlate xlate(colors, deviceColors, textColor, bkColor, false);
    RECTL to = area;
    POINTL from{0, 0};
    if (copyBits)
        return CallDeviceDriver(device, "DrvCopyBits", 0, [&] { return copyBits(so, bitmap, &back, &xlate, &to, &from); });
    if (bitBlt)
        return CallDeviceDriver(device, "DrvBitBlt", ROP4_FROM_ROP3(SRCCOPY >> 16), [&] {
            return bitBlt(so, bitmap, nullptr, &back, &xlate, &to, &from, nullptr, nullptr, nullptr,
                          ROP4_FROM_ROP3(SRCCOPY >> 16));
        });
    return Failed(ERROR_NOT_SUPPORTED);
}

}  // namespace w32
